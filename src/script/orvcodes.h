#pragma once
// The script host: the cache of stored scripts, the parser of script texts into items, the
// creation and loading of each item's components, and the base of the script application.
//
// A script text is a sequence of items. A header line ("!" creates, "." addresses) names a
// component and its class; the lines after it are component text for that component; lines
// between ":" lines are script code compiled into its site class. After creating the
// components of a text the host runs what they stand for.
#include "platform/classes/comptext.h"
#include "platform/classes/component.h"
#include "platform/classes/reader.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class IClsRoot;
class TDataSet;
class TField;
class TOrvCustomApp;

namespace orvcodes {

// Failures of the host since the application last cleared the flag: the first one moves
// the error line (0-based, in the script it lies in) and names that script.
struct THostState {
  bool ScriptErrorFlag = false;
  int ScriptErrorLine = 0;
  int ScriptLineNo = 0;
  QString ErrorScript;  // the script of the first failure ("" when not known)
  // The item being created and loaded: its script and first line.
  QString CurrentScript;
  int CurrentLine = 0;
};

// Time spent by a script's parts, in nanoseconds (the benchmark splits the load path so).
struct THostTimes {
  qint64 Parse = 0;    // script text and component text
  qint64 Read = 0;     // creating components and reading their text
  qint64 Compile = 0;  // compiling and binding code
};

// The state of the application published in the root environment, else of the process.
THostState& HostState();
// The state of that application (the process's without one).
THostState& StateOf(TOrvCustomApp* app);

// Trims blanks and control characters from both ends.
QString TrimCtl(const QString& s);
// A text split into lines at CR LF, LF or CR; a final line end adds no empty line.
QStringList SplitLines(const QString& text);

}  // namespace orvcodes

// The dataset of stored scripts (ROOTID, SCRIPT), read once into a cache by script ID.
class TScriptDataSet {
 public:
  // Takes ownership of the dataset.
  explicit TScriptDataSet(TDataSet* dataSet = nullptr);
  ~TScriptDataSet();
  TScriptDataSet(const TScriptDataSet&) = delete;
  TScriptDataSet& operator=(const TScriptDataSet&) = delete;

  // nullptr once the dataset was freed elsewhere.
  TDataSet* DataSet() const;
  void SetDataSet(TDataSet* dataSet);

  // Reads the table into the cache when the dataset is not open; an open dataset means the
  // cache is current. A later row of an ID (any letter case) replaces the earlier lines and
  // keeps the first spelling. A Null SCRIPT is empty; a blob holding a binary component
  // stream is cached as its component text.
  void Load();
  // The lines of the script (letter case ignored), nullptr when absent.
  const QStringList* FindScript(const QString& id);
  // The lines joined with CR LF, "" when absent.
  QString GetScriptText(const QString& id);

  struct TEntry {
    QString Id;
    QStringList Lines;
    QString LoadError;  // a SCRIPT that could not be read: the run reports it
  };
  const TEntry* FindEntry(const QString& id);
  // By ID in upper case, so in ID order without regard to case.
  const std::map<QString, TEntry>& Cache() const { return cache_; }

 private:
  qint64 dataSet_ = 0;  // handle: the dataset may be freed elsewhere
  std::map<QString, TEntry> cache_;
};

// Parsed component text that the host built (read with the host's reader, whose events wait
// for BindEvents) or that came from a binary component stream (read plainly).
class TComponentStream {
 public:
  virtual ~TComponentStream() = default;
  TTextObject Text;
  // The source line of each line of the text (1-based text line -> 0-based source line).
  std::vector<int> LineMap;
};
class TOrvMemoryStream : public TComponentStream {};

// Reads the host's component text: every method an event names becomes a pending name of the
// registry, with the root as its object, and waits for BindEvents; none is ever missing.
class TOrvReader : public TReader {
 public:
  explicit TOrvReader(IClsRoot* registry);
};

class TOrvCustomScript;

// The components an Execute created, in creation order, by handle.
class TCreatedList : public TObject {
 public:
  QString ClassName() const override { return QStringLiteral("TList"); }
  bool Contains(const TComponent* component) const;
  std::vector<qint64> Items;
};

class TOrvScriptItem {
 public:
  bool IsBang = false;
  bool IsRaw = false;
  std::unique_ptr<QStringList> CodeLines;
  std::vector<int> CodeLineNos;  // the line each code line came from
  QString Name;
  TClass ItemClass = nullptr;
  std::unique_ptr<QStringList> TextLines;
  std::vector<int> TextLineNos;  // the line each text line came from
  std::unique_ptr<QStringList> Params;
  std::unique_ptr<TComponentStream> Stream;
  int FirstLine = 0;
  QString SourceName;
};

class TOrvScriptDesc {
 public:
  explicit TOrvScriptDesc(TOrvCustomScript* script) : Script(script) {}
  TOrvCustomScript* Script;
  std::vector<std::unique_ptr<TOrvScriptItem>> Items;
  TOrvScriptItem* Add();
  TOrvScriptItem* Last() const { return Items.empty() ? nullptr : Items.back().get(); }
};

class TOrvCustomScript : public TObject {
 public:
  enum TState { stNormal = 0, stCode = 1, stBrace = 2 };

  explicit TOrvCustomScript(TOrvCustomApp* app) : App(app) {}
  virtual ~TOrvCustomScript() = default;
  TOrvCustomScript(const TOrvCustomScript&) = delete;
  TOrvCustomScript& operator=(const TOrvCustomScript&) = delete;
  QString ClassName() const override { return QStringLiteral("TOrvCustomScript"); }

  // Parses the lines of a text, of a memo or string field (a Null value is empty), or of a
  // blob field holding a binary component stream (one "." item).
  void LoadLines(const QStringList& lines);
  void LoadField(TField* field);
  // UTF-8 text, for fuzzing and tools.
  void LoadBytes(const QByteArray& utf8);

  virtual void ParseLines(const QStringList& lines);
  virtual TComponent* ResolveName(const QString& name, TClass itemClass, TComponent* parent);
  // Creates, loads and runs the items on owner; the result is the owner.
  TComponent* Execute(TComponent* owner, TComponent* existing);

  TOrvCustomApp* App;
  int State = stNormal;
  std::vector<std::unique_ptr<TOrvScriptDesc>> Descs;

  // Sweep mode: items are created and loaded, code compiled and bound, but nothing the
  // items stand for runs (no function component, no form, no item parameter) and every
  // component made is freed at the end.
  bool NoRun = false;
  // Reads with the lenient reader: unknown properties are reported one by one and skipped.
  bool Lenient = false;

  // Where the host's failures go besides their boxes (the sweep): the kind ("create",
  // "load", "read", "compile", "missing script", "include cycle", "unknown property"), the
  // script and line (0-based) where it lies, and the text.
  using TFindingSink = std::function<void(const QString& kind, const QString& scriptId, int line,
                                          const QString& text)>;
  static void SetFindingSink(TFindingSink sink);
  orvcodes::THostTimes* Times = nullptr;

 protected:
  // One trimmed line through the reading state; line is its number in the parsed list.
  void HandleLine(const QString& s, int line);
  // The script and line in it of a line of the parsed list (the list itself by default).
  virtual int SourceLine(int line, QString& scriptId) const;
  // Records a failure at that parsed line: the first one since the flag was cleared moves
  // the error line and names the script; the finding sink hears of every one.
  void Fail(int line, const QString& kind, const QString& text);
  // A failure shown in an attention box ("Ошибка ...:") or as a compile error.
  void ReportException(int line, const QString& kind, const QString& prefix,
                       const std::exception& e);
  void ReportCompile(int line, const QString& errorText);
  // A finding for the sink only: the run goes on as if nothing were wrong.
  void Note(int line, const QString& kind, const QString& text);

 private:
  void ContentLine(const QString& s, int line);
  void HeaderLine(const QString& s, int line);
  void ItemHeader(TOrvScriptItem* item, const QString& header);
  TOrvScriptDesc* NewDesc();
  void CreateDesc(TOrvScriptDesc* desc, TCreatedList& created, TComponent* parent,
                  TComponent* existing);
  TComponent* LoadItem(TOrvScriptItem* item, TComponent* target, TCreatedList& created);
  void BuildStream(TOrvScriptItem* item, TComponent* target);
  void RunCreated(TCreatedList& created);
  void AddBang(TCreatedList& created, TComponent* component);
};

// The base of the script application: keeps the components scripts created under "!"
// while they live, and the host's failure state.
class TOrvCustomApp : public TComponent {
  ORV_CLASS(TOrvCustomApp, TComponent)
  using TCreateArg = TComponent;
  explicit TOrvCustomApp(TComponent* owner) : TComponent(owner) {}

  // Adds the component to the created list and to BangList when it is not in the list yet.
  void AddBang(TCreatedList& created, TComponent* component);
  bool InBangList(const TComponent* component) const;
  const std::vector<TComponent*>& BangList() const { return bangList_; }
  virtual TComponent* DoRunScript(TComponent* owner, const QString& scriptId);
  // Whether some source holds the script (the sweep checks item parameters with it).
  virtual bool HasScript(const QString& scriptId) { return !scriptId.isEmpty(); }
  void Notification(TComponent* component, TOperation operation) override;

  orvcodes::THostState State;

 private:
  std::vector<TComponent*> bangList_;
};
