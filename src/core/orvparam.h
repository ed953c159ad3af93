#pragma once
// The program's parameters, gathered once at start-up: the command line, the registry
// profile "Software\Kestrand\Kestrand\<REG>" of the current user, and ORV.INI.
//
// Parameter lines, in order: the command-line arguments (0 is the program itself), then
// "REG=DEFAULT", then one "name=value" line per string value of the profile key. A line's
// name is the text before its first "=" (letter case ignored); the first line with a name
// gives its value, so the command line wins over the profile.
//
// Every named line and every string or integer value of the profile is also offered as a
// script constant "orv" + name; the first offer of a name wins.
#include "core/orvcls.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <vector>

class TIniFile;

// One value of the registry profile key, in the key's order.
struct TProfileValue {
  enum TKind { String, Integer, Other };
  QString Name;
  TKind Kind = Other;
  QString Text;       // String
  qint64 Number = 0;  // Integer (32-bit values)
};

// The values of a key under the current user's branch; the key is created when missing.
using TProfileReader = std::function<std::vector<TProfileValue>(const QString& keyPath)>;

// A script constant made from a parameter.
struct TParamConst {
  QString Name;  // "orv" + the parameter's name
  Variant Value;
  QString Description;  // "ParamStr(1) = 'DEBUG=Y'", "reg[0] = 'x'", "reg[2] = 5"
};
using TParamConstSink = std::function<void(const TParamConst&)>;

// Where the parameters come from; the defaults are the process's own.
struct TParamSources {
  QStringList Arguments;   // empty: the process's command line
  TProfileReader Profile;  // empty: the registry store
  QStringList IniFolders;  // empty: the current folder, then the program's folder
};

class TrParams : public IrParams {
 public:
  // Constants go to the sink when one is given, else to the one installed with
  // orvparam::SetConstSink (when there is one).
  explicit TrParams(const TParamSources& sources = TParamSources(),
                    const TParamConstSink& sink = nullptr);
  ~TrParams() override;

  // The INI file's value, or def when there is no file or no such key.
  QString ReadString(const QString& section, const QString& key, const QString& def) override;
  // The value of the first line with that name; "" when none.
  QString Value(const QString& name) override;
  int ReadInteger(const QString& section, const QString& key, int def) override;

  const QStringList& Lines() const { return lines_; }
  // The constants offered, in order, each name once.
  const std::vector<TParamConst>& Constants() const { return constants_; }
  // The INI file in use, "" when none was found.
  const QString& IniFileName() const { return iniFileName_; }
  // The profile key that was read.
  static QString ProfileKeyPath(const QString& reg);

 private:
  void Offer(const QString& name, const Variant& value, const QString& description);

  QStringList lines_;
  std::vector<TParamConst> constants_;
  TParamConstSink sink_;
  QString iniFileName_;
  std::unique_ptr<TIniFile> ini_;
};

namespace orvparam {

// The script registry installs where the constants go; nullptr removes it.
void SetConstSink(TParamConstSink sink);
// The profile values through the registry store.
std::vector<TProfileValue> ReadRegistryProfile(const QString& keyPath);
// The first "ORV.INI" of the folders (exact name first, then any letter case); "" when none.
QString FindIniFile(const QStringList& folders);

// Start-up, after the script registry: the process's parameters in the root environment's
// Params slot, their constants in the registry (unless another sink is installed), and the
// debug trace on when DEBUG=Y.
void Initialize();
void Finalize();

}  // namespace orvparam
