#include "orvparam.h"

#include "core/orvenv.h"
#include "core/orvmsg.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stringfuncs.h"
#include "platform/rtl/sysutils.h"

namespace {

TParamConstSink& InstalledSink() {
  static TParamConstSink sink;
  return sink;
}

// The name of a parameter line: the text before its first "="; "" for none.
QString LineName(const QString& line) {
  const qsizetype eq = line.indexOf(QLatin1Char('='));
  return eq > 0 ? line.left(eq) : QString();
}

}  // namespace

TrParams::TrParams(const TParamSources& sources, const TParamConstSink& sink)
    : sink_(sink ? sink : InstalledSink()) {
  QStringList arguments = sources.Arguments;
  if (arguments.isEmpty())
    for (int i = 0; i <= ParamCount(); ++i) arguments << ParamStr(i);
  lines_ = arguments;
  lines_ << QStringLiteral("REG=DEFAULT");

  for (qsizetype i = 0; i < lines_.size(); ++i) {
    const QString name = LineName(lines_[i]);
    if (name.isEmpty()) continue;
    Offer(name, Variant(Value(name)),
          QStringLiteral("ParamStr(%1) = '").arg(i) + lines_[i] + QLatin1Char('\''));
  }

  const QString keyPath = ProfileKeyPath(Value(QStringLiteral("REG")));
  const std::vector<TProfileValue> profile =
      sources.Profile ? sources.Profile(keyPath) : orvparam::ReadRegistryProfile(keyPath);
  for (size_t i = 0; i < profile.size(); ++i) {
    const TProfileValue& v = profile[i];
    const QString index = QStringLiteral("reg[%1] = ").arg(i);
    if (v.Kind == TProfileValue::String) {
      lines_ << v.Name + QLatin1Char('=') + v.Text;
      Offer(v.Name, Variant(v.Text), index + QLatin1Char('\'') + v.Text + QLatin1Char('\''));
    } else if (v.Kind == TProfileValue::Integer) {
      Offer(v.Name, Variant(int(v.Number)), index + QString::number(v.Number));
    }
  }

  QStringList folders = sources.IniFolders;
  if (folders.isEmpty()) folders << GetCurrentDir() << ProgramDir();
  iniFileName_ = orvparam::FindIniFile(folders);
  if (!iniFileName_.isEmpty()) ini_ = std::make_unique<TIniFile>(iniFileName_);
}

TrParams::~TrParams() = default;

QString TrParams::ProfileKeyPath(const QString& reg) {
  return QStringLiteral("Software\\Kestrand\\Kestrand\\") + reg;
}

void TrParams::Offer(const QString& name, const Variant& value, const QString& description) {
  const QString constName = QStringLiteral("orv") + name;
  for (const TParamConst& c : constants_)
    if (AnsiSameText(c.Name, constName)) return;  // the first offer of a name wins
  constants_.push_back({constName, value, description});
  if (sink_) sink_(constants_.back());
}

QString TrParams::Value(const QString& name) {
  if (name.isEmpty()) return QString();
  for (const QString& line : lines_) {
    const QString lineName = LineName(line);
    if (!lineName.isEmpty() && AnsiSameText(lineName, name)) return line.mid(lineName.size() + 1);
  }
  return QString();
}

QString TrParams::ReadString(const QString& section, const QString& key, const QString& def) {
  // The reader sees changes of the file made while the program runs.
  return ini_ ? ini_->ReadString(section, key, def) : def;
}

int TrParams::ReadInteger(const QString& section, const QString& key, int def) {
  return ini_ ? ini_->ReadInteger(section, key, def) : def;
}

namespace orvparam {

namespace {
std::unique_ptr<TrParams> gParams;
}

void SetConstSink(TParamConstSink sink) { InstalledSink() = std::move(sink); }

std::vector<TProfileValue> ReadRegistryProfile(const QString& keyPath) {
  std::vector<TProfileValue> values;
  try {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(keyPath, true)) return values;
    const QStringList names = reg.ValueNames();
    for (const QString& name : names) {
      TProfileValue v;
      v.Name = name;
      switch (reg.GetDataType(name)) {
        case rdString:
        case rdExpandString:
          v.Kind = TProfileValue::String;
          v.Text = reg.ReadString(name);
          break;
        case rdInteger:
          v.Kind = TProfileValue::Integer;
          v.Number = reg.ReadInteger(name);
          break;
        default: break;
      }
      values.push_back(v);
    }
    reg.CloseKey();
  } catch (const Exception& e) {
    // The program starts without its profile rather than not at all.
    orvmsg::WriteLog(e.Message(), QStringLiteral("TrParams"), 0, 0);
  }
  return values;
}

QString FindIniFile(const QStringList& folders) {
  for (const QString& folder : folders) {
    if (folder.isEmpty()) continue;
    const QString name = FindFileNoCase(folder, QStringLiteral("ORV.INI"));
    if (!name.isEmpty()) return name;
  }
  return QString();
}

// Constants into the script registry; a name it knows already keeps its value and text.
TParamConstSink RegistrySink(IClsRoot* root) {
  return [root](const TParamConst& c) {
    if (c.Name.contains(QLatin1Char(':'))) return;  // the registry reads ":" as a result class
    if (ICompItem* item = root->AddGlobalConst(c.Name, c.Value);
        item && item->GetCaption().isEmpty())
      item->SetCaption(c.Description);
  };
}

void Initialize() {
  TParamConstSink sink = InstalledSink();
  if (!sink)
    if (IClsRoot* root = orvcls::RootEnv().ClsRoot) sink = RegistrySink(root);
  gParams = std::make_unique<TrParams>(TParamSources(), sink);
  orvcls::RootEnv().Params = gParams.get();
  orvmsg::ApplyDebugParameter(*gParams);
}

void Finalize() {
  if (TRootEnv* env = orvenv::GetRootEnv(); env != nullptr && env->Params == gParams.get())
    env->Params = nullptr;
  gParams.reset();
}

}  // namespace orvparam
