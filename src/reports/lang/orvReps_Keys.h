#pragma once
// Key scripts: the parsed item list (TRepsPars) with its lexer, include handling and the
// interpreter that walks the items key by key.
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "reports/lang/orvReps_Defs.h"
#include "reports/lang/orvReps_Errs.h"
#include "reports/lang/orvReps_KeyDefs.h"

#include <QtCore/QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TRepsRun;

struct TRepsFile {
  QString Name;
  QString Text;
};

class TRepsFiles {
 public:
  TRepsFile& AddFile(const QString& name);
  int Count() const { return static_cast<int>(items_.size()); }
  const TRepsFile& Item(int i) const { return *items_.at(i); }
  TRepsFile& Item(int i) { return *items_.at(i); }

 private:
  std::vector<std::unique_ptr<TRepsFile>> items_;
};

enum : qint8 { rpsUnknown = -2, rpsArgument = -1, rpsKey = 0 };

struct TRepsPar {
  quint8 FileIndex = 0;
  qint32 Start = 0;  // 1-based, inclusive
  qint32 End = 0;
  qint8 State = rpsArgument;  // -2 unknown word, -1 argument, 0 top-level key, n sub-key depth
  qint32 Key = -1;            // the key of a key item; -1 on arguments and unknown words
  bool HasEscapes = false;
  bool HasVars = false;
  bool Quoted = false;
};

// One executed top-level key: its item and the flags its procedures record.
struct TIndOfKeys {
  qint32 ItemIndex = 0;
  qint32 Flags = 0;
};

using TKeyProc = void (*)(TRepsRun&);
struct TKeyProcPair {
  TKeyProc OnKey = nullptr;
  TKeyProc After = nullptr;  // after the key's sub-keys
};
using TKeyProcs = std::array<TKeyProcPair, KeyCount>;

class TRepsPars {
 public:
  static constexpr int MaxFiles = 256;  // the file index of an item is 8 bits

  // Parses one text (or the file named, when fileName is not empty), appending its items.
  bool ParseText(const QString& fileName, const QString& sourceName, const QString& text);

  int Count() const { return static_cast<int>(items_.size()); }
  const TRepsPar& Item(int i) const { return items_.at(i); }
  TRepsPar& Item(int i) { return items_.at(i); }
  QString GetItemText(int index) const;  // unescaped, variables substituted
  QString GetRawText(int index) const;   // exactly as in the source
  QString GetItemFile(int index) const;

  TRepsFiles Files;
  TRepsErrs Errs;
  TDefs Defs;

  // Interpreter state.
  int PC = 0;
  int CurItemKey = -1;
  int CurKey = -1;
  bool SyntaxCheck = false;
  bool Exiting = false;
  const TKeyProcs* KeyProcs = nullptr;
  TRepsRun* OwnerRun = nullptr;
  std::vector<TIndOfKeys> KeyHistory;
  int TopEntry = -1;  // index into KeyHistory of the current top-level key
  qint64 PauseMs = 0;

  void CallKey(int key);
  void ExecKey(int key, bool topLevel);
  int KeyArgCount();
  static int FindKey(const QString& word, int parent);
  static int FindSubKey(const QString& upperWord, int level, int first, bool exactOnly);
  static bool ResolveKeyAlias(int& key, bool& exactOnly, int& level);

 private:
  struct Token {
    int start = 0, end = 0;  // 1-based, inclusive
    bool escapes = false, vars = false, quoted = false;
  };
  static bool NextToken(const QString& text, int& pos, Token& token);
  QString TokenText(int fileIndex, const Token& t) const;
  void Classify(TRepsPar& item, const QString& text);
  bool ParseFile(const QString& fileName, const QString& sourceName, const QString& text,
                 bool fromFile);

  std::vector<TRepsPar> items_;
  // Classifier state.
  int remainingArgs_ = 0;
  int lastFoundKey_ = -1;
  std::vector<int> keyStack_;
  // Files being included, to refuse an include loop.
  QStringList includeChain_;
};

namespace orvReps_Keys {

// Creates the parsed script when it is null (else clears its errors) and parses the text.
bool ParseReps(const QString& text, std::unique_ptr<TRepsPars>& pars, const QString& sourceName);
// Resolves quotes, "##", "#ddd", comments and tilde-backquote between two 1-based positions.
void UnescapeSpan(QString& s, int from, int to);

struct TExecuteCallbacks {
  std::function<void(TRepsRun&, TRepsPars&)> ParseError;
  // Default: the unknown-key report error, which lets the script go on.
  std::function<void(TRepsRun&, int itemNo, const QString& text)> UnknownKey;
  std::function<void(TRepsRun&)> Step;
  std::function<void(TRepsRun&)> Break;
  std::function<void(TRepsRun&, const QString& message)> Exception;
};

struct TExecuteState {
  // Read before every item, so that a key may switch the step hook on or off.
  const bool* StepMode = nullptr;
  bool UnknownKeysMet = false;
  qint64 ParseMs = 0;
};

// Walks the items with the program counter. True when the items were walked to the end
// without an exception; false after a parse failure, a stopping error, an exception or a break.
bool ExecuteReps(const QString& text, const TKeyProcs& procs, TRepsRun& run, bool parse,
                 std::unique_ptr<TRepsPars>& pars, const TExecuteCallbacks& callbacks,
                 bool abortOnParseError, TExecuteState& state, const QString& sourceName);

}  // namespace orvReps_Keys
