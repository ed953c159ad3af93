#include "script/orvlib99.h"

#include "controls/textstyles.h"
#include "core/orvenv.h"
#include "core/orvlib.h"
#include "core/orvmsg.h"
#include "core/orvsys.h"
#include "db/orvdbintf.h"
#include "platform/classes/binstream.h"
#include "platform/classes/typinfo.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "script/orvcodeh.h"
#include "script/orvformsvc.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <algorithm>

namespace {

TComponent* Live(qint64 handle) { return dynamic_cast<TComponent*>(TObject::FromHandle(handle)); }

// The first place of an ASCII pattern in s, letter case ignored (the pattern in lower case),
// or -1. Qt's own case-insensitive search folds every character of the line.
qsizetype IndexNoCaseAscii(const QString& s, QLatin1String lower, qsizetype from = 0) {
  const QChar* p = s.constData();
  const qsizetype n = s.size(), m = lower.size();
  for (qsizetype i = from; i + m <= n; ++i) {
    qsizetype k = 0;
    while (k < m) {
      const char16_t c = p[i + k].unicode();
      const char16_t f = c >= 'A' && c <= 'Z' ? char16_t(c | 0x20) : c;
      if (f != char16_t(lower.data()[k])) break;
      ++k;
    }
    if (k == m) return i;
  }
  return -1;
}

// Replaces every occurrence without regard to case.
void ReplaceNoCase(QString& s, QLatin1String lower, const QString& by) {
  qsizetype at = IndexNoCaseAscii(s, lower);
  while (at >= 0) {
    s.replace(at, lower.size(), by);
    at = IndexNoCaseAscii(s, lower, at + by.size());
  }
}

// The old names both hold "ADO" (any case): most lines have no such letters in a row, and a
// scan for them costs far less than the case-insensitive searches.
bool MayNameAdo(const QString& s) {
  const QChar* p = s.constData();
  for (qsizetype i = 0, n = s.size(); i + 2 < n; ++i) {
    if ((p[i].unicode() | 0x20) == 'a' && (p[i + 1].unicode() | 0x20) == 'd' &&
        (p[i + 2].unicode() | 0x20) == 'o')
      return true;
  }
  return false;
}

// The file as given, else the file of that name in the program folder; in either folder a
// name that differs only in letter case is found too. "" when there is none.
QString FindFileNoCase(const QString& fileName) {
  const QString expanded = orvlib::ExpandAppFileName(fileName);
  if (QFileInfo::exists(expanded)) return expanded;
  const QString name = QFileInfo(fileName).fileName();
  QStringList folders{QFileInfo(fileName).absolutePath()};
  const QString program = orvlib::ProgramFolder();
  if (!program.isEmpty()) folders << program;
  for (const QString& folder : folders) {
    const QString direct = QDir(folder).filePath(name);
    if (QFileInfo::exists(direct)) return direct;
    for (const QString& entry : QDir(folder).entryList(QDir::Files)) {
      if (SameText(entry, name)) return QDir(folder).filePath(entry);
    }
  }
  return QString();
}

bool gLookupInstalled = false;
TYA* gPendingArgs = nullptr;

}  // namespace

// ---- TOrvScript ---------------------------------------------------------------------------

QString TOrvScript::Chain(int frame) const {
  QStringList ids;
  for (int f = frame; f >= 0; f = frames_[size_t(f)].Parent) ids.prepend(frames_[size_t(f)].Id);
  return ids.join(QStringLiteral(" -> "));
}

bool TOrvScript::OnChain(int frame, const QString& id, int& depth) const {
  depth = 0;
  bool found = false;
  for (int f = frame; f >= 0; f = frames_[size_t(f)].Parent) {
    ++depth;
    if (SameText(frames_[size_t(f)].Id, id)) found = true;
  }
  return found;
}

void TOrvScript::WalkCondition(QStringList& work, int i, const QString& s) {
  const qsizetype at = s.indexOf(QLatin1String("{$IFDEF "), 0, Qt::CaseInsensitive);
  QString name = s.mid(at + 8);
  const qsizetype close = name.indexOf(QLatin1Char('}'));
  name = close >= 0 ? name.left(close) : name.left(name.size() - 1);
  name = orvcodes::TrimCtl(name);
  bool holds = false;
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  TCls* cls = dot >= 0 ? orvcodeh::FindCls(name.left(dot)) : orvcodeh::Registry();
  if (cls != nullptr) holds = cls->FindItem(dot >= 0 ? name.mid(dot + 1) : name) != nullptr;
  for (int j = i + 1; j < work.size(); ++j) {
    const QString& line = work.at(j);
    if (line.contains(QLatin1String("{$ELSE}"), Qt::CaseInsensitive)) {
      if (!holds) break;
      holds = false;
    } else if (line.contains(QLatin1String("{$ENDIF}"), Qt::CaseInsensitive)) {
      break;
    } else if (!holds) {
      work[j] = QStringLiteral("// ") + line;
    }
  }
}

void TOrvScript::ParseLines(const QStringList& lines) {
  QStringList work = lines;
  frames_.assign(1, TFrame{id_, -1});
  frameOf_.assign(size_t(work.size()), 0);
  lineOf_.resize(size_t(work.size()));
  for (int i = 0; i < work.size(); ++i) lineOf_[size_t(i)] = i;
  auto* app = dynamic_cast<TOrvApp*>(App);
  orvcodes::THostState& state = orvcodes::StateOf(App);
  for (int i = 0; i < work.size(); ++i) {
    QString s = orvcodes::TrimCtl(work.at(i));
    if (MayNameAdo(s)) {
      ReplaceNoCase(s, QLatin1String("torvadosplist"), QStringLiteral("TOrvZeosSPList"));
      ReplaceNoCase(s, QLatin1String("tadoquery"), QStringLiteral("TZQuery"));
    }
    if (s.contains(QLatin1Char('=')))
      ReplaceNoCase(s, QLatin1String("value = null"), QStringLiteral("//Value = null"));
    if (s.contains(QLatin1Char('{')) && IndexNoCaseAscii(s, QLatin1String("{$ifdef ")) >= 0)
      WalkCondition(work, i, s);
    if (State != stBrace && s.startsWith(QLatin1String(".."))) {
      const QString id = orvcodes::TrimCtl(s.mid(2));
      const int frame = frameOf_[size_t(i)];
      int depth = 0;
      if (OnChain(frame, id, depth) || depth >= kMaxIncludeDepth) {
        const QString text =
            QStringLiteral("Ошибка загрузки: включение по кругу: ") + Chain(frame) + " -> " + id;
        Fail(i, QStringLiteral("include cycle"), text);
        orvmsg::ShowAttention(text);
        continue;
      }
      const QString included = app != nullptr ? app->IncludeText(id) : QString();
      if (included.isEmpty()) {
        Note(i, QStringLiteral("missing script"), QStringLiteral("Скрипт не найден: ") + id);
        continue;
      }
      const QStringList add = orvcodes::SplitLines(included);
      frames_.push_back(TFrame{id, frame});
      const int newFrame = int(frames_.size()) - 1;
      for (int k = 0; k < add.size(); ++k) {
        work.insert(i + 1 + k, add.at(k));
        frameOf_.insert(frameOf_.begin() + i + 1 + k, newFrame);
        lineOf_.insert(lineOf_.begin() + i + 1 + k, k);
      }
      continue;
    }
    state.ScriptLineNo = i;
    if (s.contains(QLatin1Char('[')) && s.contains(QLatin1String("Attributes = [paNullable]")))
      continue;
    HandleLine(s, i);
  }
}

int TOrvScript::SourceLine(int line, QString& scriptId) const {
  if (line < 0 || size_t(line) >= frameOf_.size()) {
    scriptId = id_;
    return line;
  }
  scriptId = frames_[size_t(frameOf_[size_t(line)])].Id;
  return lineOf_[size_t(line)];
}

TComponent* TOrvScript::ResolveName(const QString& name, TClass itemClass, TComponent* parent) {
  IScriptFormServices& forms = orvformsvc::Forms();
  TClass appClass = forms.ApplicationClass();
  if ((appClass != nullptr && itemClass == appClass) ||
      SameText(name, QStringLiteral("Application")))
    return forms.Application();
  if (itemClass == TOrvApp::StaticClass() || SameText(name, QStringLiteral("OrvApp")))
    return orvlib99::OrvApp();
  auto* app = dynamic_cast<TOrvApp*>(App);
  if (itemClass == TOrvRoot::StaticClass() || SameText(name, QStringLiteral("OrvRoot")))
    return app != nullptr ? app->GetLastRoot() : nullptr;
  if (!name.isEmpty()) {
    if (parent != nullptr) {
      if (TComponent* c = parent->FindComponent(name)) return c;
    }
    TOrvRoot* root = app != nullptr ? app->GetLastRoot() : nullptr;
    TComponent* module = root != nullptr ? root->FindModuleBack(name) : nullptr;
    return dynamic_cast<TOrvPack*>(module) != nullptr ? nullptr : module;
  }
  return itemClass != nullptr ? nullptr : parent;
}

// ---- TOrvApp ------------------------------------------------------------------------------

ORV_DESCRIBE(TOrvApp) {
  c.Prop("LastRoot", &TOrvApp::GetLastRoot, &TOrvApp::SetLastRoot).Stored(false);
  c.Prop("RootCount", &TOrvApp::GetRootCount).Stored(false);
  c.Prop("AccessObjects", &TOrvApp::AccessObjects).Stored(false);
  c.Info().AddInterface(TInterfaceEntry{IID_IrApp, [](TObject* o) -> IInterface* {
                                          return static_cast<IrApp*>(static_cast<TOrvApp*>(o));
                                        }});
  c.Info().AddInterface(TInterfaceEntry{IID_IrRunner, [](TObject* o) -> IInterface* {
                                          return static_cast<IrRunner*>(static_cast<TOrvApp*>(o));
                                        }});
  c.Implements<IAccessChecker>();
}

TOrvApp::TOrvApp(TComponent* owner)
    : TOrvCustomApp(owner), accessObjects_(std::make_unique<TOrvAccessObjects>()) {}

TOrvApp::~TOrvApp() = default;

void TOrvApp::BeforeDestruction() {
  TRootEnv* env = orvenv::GetRootEnv();
  if (env != nullptr && env->App == static_cast<IrApp*>(this)) env->App = nullptr;
  if (orvaccessutils::AccessChecker() == static_cast<IAccessChecker*>(this))
    orvaccessutils::SetAccessChecker(nullptr);
  TOrvCustomApp::BeforeDestruction();
  roots_.clear();
  sources_.clear();
}

void TOrvApp::AddScriptDataSet(TDataSet* dataSet) {
  sources_.push_back(std::make_unique<TScriptDataSet>(dataSet));
}

QString TOrvApp::CompileText(const QString& text) {
  Compiling = true;
  QString error;
  try {
    if (IClsRoot* reg = orvcls::RootEnv().ClsRoot) error = reg->Compile(text);
  } catch (...) {
    Compiling = false;
    throw;
  }
  if (!error.isEmpty()) {
    State.ScriptErrorFlag = true;
    orvmsg::ShowDBError(QStringLiteral("Компиляция: "), error);
  }
  Compiling = false;
  return error;
}

QString TOrvApp::SystemUnitsText() {
  QString text;
  for (auto& source : sources_) {
    source->Load();
    for (const auto& [key, entry] : source->Cache()) {
      if (!entry.Id.startsWith(QLatin1Char(':'))) continue;
      for (const QString& line : entry.Lines) text += line + QStringLiteral("\r\n");
    }
  }
  return text + QStringLiteral(" end.");
}

void TOrvApp::CompileSystemUnits() {
  if (sources_.empty() || Compiling) return;
  CompileText(SystemUnitsText());
}

QString TOrvApp::IncludeText(const QString& scriptId) {
  for (size_t i = sources_.size(); i-- > 0;) {
    if (const QStringList* lines = sources_[i]->FindScript(scriptId))
      return lines->join(QStringLiteral("\r\n"));
  }
  return QString();
}

QString TOrvApp::GetScriptText(const QString& scriptId) {
  if (sources_.empty()) return QString();
  running_.Add(orvcodes::TrimCtl(scriptId));
  // A text read inside a run never clears that run's failure.
  if (runDepth_ == 0) State.ScriptErrorFlag = false;
  return IncludeText(orvcodes::TrimCtl(scriptId));
}

bool TOrvApp::HasScript(const QString& scriptId) {
  const QString id = orvcodes::TrimCtl(scriptId);
  for (auto& source : sources_)
    if (source->FindScript(id) != nullptr) return true;
  return !FileLines(id).isEmpty();
}

QStringList TOrvApp::ScriptLines(const QString& scriptId) {
  const QString id = orvcodes::TrimCtl(scriptId);
  for (size_t i = sources_.size(); i-- > 0;) {
    if (const QStringList* lines = sources_[i]->FindScript(id)) return *lines;
  }
  return FileLines(id);
}

QStringList TOrvApp::FileLines(const QString& id) {
  QStringList lines;
  if (id.isEmpty()) return lines;
  const QString form = FindFileNoCase(id + QStringLiteral(".DFM"));
  if (!form.isEmpty()) {
    QFile f(form);
    if (f.open(QIODevice::ReadOnly)) {
      try {
        lines = orvcodes::SplitLines(FormatComponentText(binstream::ReadFormFile(f.readAll())));
      } catch (const std::exception& e) {
        State.ScriptErrorFlag = true;
        orvmsg::ShowException(QStringLiteral("Ошибка загрузки:"), &e);
        lines.clear();
      }
      if (!lines.isEmpty()) {
        lines[0] = QStringLiteral(".:");
        lines.last() = QString();
      }
    }
  }
  const QString unit = FindFileNoCase(id + QStringLiteral(".PAS"));
  if (!unit.isEmpty()) {
    QFile f(unit);
    if (f.open(QIODevice::ReadOnly)) {
      const QStringList source = orvcodes::SplitLines(FromAnsi(f.readAll()));
      bool inImplementation = false;
      bool found = false;
      for (const QString& line : source) {
        const QString t = orvcodes::TrimCtl(line);
        if (!inImplementation) {
          if (!found && SameText(t, QStringLiteral("implementation"))) {
            found = inImplementation = true;
            if (!lines.isEmpty())
              lines.last() = QStringLiteral("::::");
            else
              lines << QStringLiteral(".:") << QStringLiteral("::::");
          }
          continue;
        }
        if (orvlib::NameInList(t, QStringLiteral("initialization,finalization,end."))) break;
        lines << line;
      }
      if (found) lines.last() = QStringLiteral("::::");
    }
  }
  return lines;
}

void TOrvApp::RunLines(TComponent* owner, const QStringList& lines, const QString& id) {
  TOrvScript script(this, id);
  script.LoadLines(lines);
  script.Execute(owner, nullptr);
}

TComponent* TOrvApp::RunScript(TComponent* owner, const QString& scriptId) {
  orvlib99::SelectOrvRoot(owner);
  return DoRunScript(owner, scriptId);
}

TComponent* TOrvApp::DoRunScript(TComponent* owner, const QString& scriptId) {
  const QString id = orvcodes::TrimCtl(scriptId);
  if (sources_.empty()) return owner;
  const qint64 ownerHandle = owner != nullptr ? owner->ObjectHandle() : 0;
  orvcodes::THostState& state = State;
  const bool outer = runDepth_ == 0;
  if (outer) {
    state.ScriptErrorFlag = false;
    state.ErrorScript.clear();
  }
  const bool failedBefore = state.ScriptErrorFlag;
  running_.Add(id);
  {
    TRunGuard guard(this);
    auto finish = [&] {
      errorLine_ = state.ScriptErrorLine;
      if (!state.ScriptErrorFlag || failedBefore) {
        if (running_.Count() > 0) running_.Delete(running_.Count() - 1);
      } else if (!state.ErrorScript.isEmpty() && running_.Count() > 0 &&
                 !SameText(running_.Strings(running_.Count() - 1), state.ErrorScript)) {
        // The failure lies in included lines: their script is what an editor must open.
        running_.Add(state.ErrorScript);
      }
    };
    try {
      bool ran = false;
      const bool every = id == QLatin1String("!") || id == QLatin1String(".");
      for (size_t i = sources_.size(); i-- > 0;) {
        const TScriptDataSet::TEntry* entry = sources_[i]->FindEntry(id);
        if (entry == nullptr) continue;
        if (!entry->LoadError.isEmpty()) {
          if (!state.ScriptErrorFlag) {
            state.ScriptErrorFlag = true;
            state.ScriptErrorLine = 0;
            state.ErrorScript = id;
          }
          const EReadError error(entry->LoadError);
          orvmsg::ShowException(QStringLiteral("Ошибка загрузки:"), &error);
        }
        const QStringList copy = entry->Lines;
        RunLines(ownerHandle != 0 ? Live(ownerHandle) : nullptr, copy, id);
        ran = true;
        if (!every) break;
        if (ownerHandle != 0 && Live(ownerHandle) == nullptr) break;
      }
      if (!ran) {
        const QStringList lines = FileLines(id);
        if (!lines.isEmpty()) RunLines(owner, lines, id);
      }
    } catch (...) {
      finish();
      throw;
    }
    finish();
  }
  return ownerHandle != 0 ? Live(ownerHandle) : nullptr;
}

TOrvApp::TRunGuard::TRunGuard(TOrvApp* app) : app_(app != nullptr ? app->ObjectHandle() : 0) {
  if (app != nullptr) ++app->runDepth_;
}

TOrvApp::TRunGuard::~TRunGuard() {
  auto* app = dynamic_cast<TOrvApp*>(TObject::FromHandle(app_));
  if (app == nullptr) return;
  if (--app->runDepth_ == 0) app->FreeDoomedRoots();
}

void TOrvApp::FreeDoomedRoots() {
  while (!doomed_.empty()) {
    const qint64 h = doomed_.back();
    doomed_.pop_back();
    auto* root = dynamic_cast<TOrvRoot*>(TObject::FromHandle(h));
    if (root != nullptr && !root->ComponentState().Contains(csDestroying)) root->Free();
  }
}

TOrvRoot* TOrvApp::GetLastRoot() const { return roots_.empty() ? nullptr : roots_.back(); }

void TOrvApp::SetLastRoot(TOrvRoot* root) {
  if (root == nullptr || roots_.empty() || roots_.back() == root) return;
  auto it = std::find(roots_.begin(), roots_.end(), root);
  if (it == roots_.end()) return;
  roots_.erase(it);
  roots_.push_back(root);
}

TOrvRoot* TOrvApp::GetRoot(int index) const {
  if (index < 0) index += int(roots_.size());
  return index >= 0 && index < int(roots_.size()) ? roots_[size_t(index)] : nullptr;
}

TOrvRoot* TOrvApp::RootOfComponent(TComponent* component) {
  if (component == nullptr) return GetLastRoot();
  TOrvRoot* found = nullptr;
  for (TComponent* c = component; c != nullptr && found == nullptr; c = c->Owner())
    found = dynamic_cast<TOrvRoot*>(c);
  if (found == nullptr) found = GetLastRoot();
  SetLastRoot(found);
  return found;
}

IrRoot* TOrvApp::LastRoot() { return GetLastRoot(); }

IrRoot* TOrvApp::RootOf(TComponent* component) { return RootOfComponent(component); }

Variant TOrvApp::RunObjScript(TObject* sender, const QString& scriptChain, const QString& listChain,
                              TObject* value) {
  return RunObjScriptInNewRoot(sender, scriptChain, listChain, value);
}

Variant TOrvApp::RunObjScriptInNewRoot(TObject* sender, const QString& scriptChain,
                                       const QString& listChain, TObject* value) {
  const QString listId = orvlib::ListItemAt(listChain, 0);
  QString scriptId = orvlib::ListItemAt(scriptChain, 0);
  if (listId.isEmpty() && scriptId.isEmpty()) return Variant();
  if (scriptId.isEmpty() && listChain.count(QLatin1Char(';')) >= 1)
    scriptId = orvlib::ListItemAt(listChain, 1);
  IrLists* lists = orvcls::RootEnv().Lists;
  IListDescInfo* desc = lists != nullptr ? lists->GetListDesc(listId) : nullptr;
  QString lChain = listChain;
  QString sChain = scriptChain;
  if (scriptId.isEmpty()) {
    if (desc == nullptr) return Variant();
    sChain = desc->GetKey();
    lChain = orvlib::AppendListItem(listId, sChain, true, true);
    scriptId = orvlib::ListItemAt(sChain, 0);
  } else if (desc == nullptr) {
    return Variant();
  }
  TRunGuard guard(this);
  TYA*& pending = orvlib99::PendingArgs();
  delete pending;
  pending =
      new TYA(nullptr, TVarRecs{TVarRec(sender), TVarRec(static_cast<const TObject*>(value)),
                                listId, QStringLiteral("ObjTable"), scriptId, lChain, sChain});
  auto* root = new TOrvRoot(this);
  // The smallest free number: a name of a root freed earlier can be taken again.
  for (int n = 1;; ++n) {
    const QString name = QStringLiteral("OrvRoot_%1").arg(n);
    if (FindComponent(name) == nullptr) {
      root->SetName(name);
      break;
    }
  }
  RunScript(root, scriptId);
  return Variant();
}

void TOrvApp::RootLeaves(TOrvRoot* root, TComponent* component) {
  if (root->ComponentState().Contains(csDestroying) || root->DestructionStarted() ||
      ComponentState().Contains(csDestroying))
    return;
  int clientForms = 0;
  for (TComponent* c : root->ComponentList())
    if (c->ClassName() == QLatin1String("TClientForm")) ++clientForms;
  const bool lastClientForm =
      component->ClassName() == QLatin1String("TClientForm") && clientForms == 1;
  if (!lastClientForm && clientForms != 0) return;
  root->RemoveComponent(component);
  bool busy = runDepth_ > 0;
  for (TComponent* c : root->ComponentList())
    if (c->ComponentState().Contains(csDestroying) || c->DestructionStarted()) busy = true;
  if (busy) {
    if (std::find(doomed_.begin(), doomed_.end(), root->ObjectHandle()) == doomed_.end())
      doomed_.push_back(root->ObjectHandle());
    return;
  }
  root->Free();
}

void TOrvApp::Notification(TComponent* component, TOperation operation) {
  TOrvCustomApp::Notification(component, operation);
  auto* root = dynamic_cast<TOrvRoot*>(component);
  if (root != nullptr && component->Owner() == this) {
    if (operation == opInsert) {
      roots_.push_back(root);
      if (!gLookupInstalled) {
        RegisterFindGlobalComponentProc(&orvlib99::FindScriptGlobalComponent);
        gLookupInstalled = true;
      }
    } else {
      roots_.erase(std::remove(roots_.begin(), roots_.end(), root), roots_.end());
    }
    if (!ComponentState().Contains(csDestroying)) orvformsvc::Forms().PostToMainForm(0x5770, 0, 0);
    return;
  }
  if (operation == opRemove && root == nullptr) {
    if (auto* owner = dynamic_cast<TOrvRoot*>(component->Owner())) RootLeaves(owner, component);
  }
}

// ---- TOrvPack -----------------------------------------------------------------------------

ORV_DESCRIBE(TOrvPack) {
  c.Prop("AfterBack", &TOrvPack::AfterBack);
  c.Prop("AfterNext", &TOrvPack::AfterNext);
  c.Prop("BeforeBack", &TOrvPack::BeforeBack);
  c.Prop("BeforeNext", &TOrvPack::BeforeNext);
  c.Prop("OnFinal", &TOrvPack::OnFinal);
  c.Prop("OnStart", &TOrvPack::OnStart);
}

void TOrvPack::DoFinal() { OnFinal(this); }
void TOrvPack::DoStart() { OnStart(this); }

std::vector<TComponent*> TOrvPack::FormList() const {
  std::vector<TComponent*> out;
  IScriptFormServices& forms = orvformsvc::Forms();
  for (TComponent* c : forms_)
    if (forms.IsForm(c)) out.push_back(c);
  return out;
}

TComponent* TOrvPack::FirstForm() const {
  const auto list = FormList();
  return list.empty() ? nullptr : list.front();
}

TComponent* TOrvPack::LastForm() const {
  const auto list = FormList();
  return list.empty() ? nullptr : list.back();
}

int TOrvPack::IndexOfForm(const TComponent* form) const {
  const auto list = FormList();
  auto it = std::find(list.begin(), list.end(), form);
  return it == list.end() ? -1 : int(it - list.begin());
}

TOrvPack* TOrvPack::GetFormHolder() {
  if (dynamic_cast<TOrvRoot*>(this) != nullptr || Name().isEmpty()) return this;
  TOrvApp* app = orvlib99::FindOrvApp();
  TOrvRoot* root = app != nullptr ? app->RootOfComponent(this) : nullptr;
  auto* holder = root != nullptr ? dynamic_cast<TOrvPack*>(root->FindModule(Name())) : nullptr;
  return holder != nullptr ? holder : this;
}

void TOrvPack::Notification(TComponent* component, TOperation operation) {
  TY::Notification(component, operation);
  if (ComponentState().Contains(csDestroying)) return;
  if (operation == opRemove) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), component), forms_.end());
    return;
  }
  // Only components joining this package's owner or the package itself can be its forms.
  if (component->Owner() != this && component->Owner() != Owner()) return;
  TOrvPack* holder = GetFormHolder();
  if (std::find(holder->forms_.begin(), holder->forms_.end(), component) == holder->forms_.end())
    holder->forms_.push_back(component);
  if (holder != this) component->FreeNotification(holder);
}

// ---- TOrvRoot -----------------------------------------------------------------------------

ORV_DESCRIBE(TOrvRoot) {
  c.Implements<IrRoot>();
  c.Info().AddInterface(TInterfaceEntry{IID_IrRunner, [](TObject* o) -> IInterface* {
                                          return static_cast<IrRunner*>(static_cast<TOrvRoot*>(o));
                                        }});
  c.Prop("AfterReadComponent", &TOrvRoot::AfterReadComponent);
  c.Prop("MasterListActive", &TOrvRoot::MasterListActive, &TOrvRoot::SetMasterListActive)
      .Default(1);
  c.Prop("ValuesDataSet", &TOrvRoot::ValuesDataSet, &TOrvRoot::SetValuesDataSet);
  c.Prop("NowChangeNode", &TOrvRoot::NowChangeNode, &TOrvRoot::SetNowChangeNode).Default(0);
  c.Prop("Master", &TOrvRoot::Master).Stored(false);
  c.Prop("MasterField", &TOrvRoot::MasterField).Stored(false);
  c.Prop("MasterSender", &TOrvRoot::MasterSender).Stored(false);
  c.Prop("MasterListID", &TOrvRoot::MasterListID, &TOrvRoot::SetMasterListID).Stored(false);
  c.Prop("MasterListName", &TOrvRoot::MasterListName, &TOrvRoot::SetMasterListName).Stored(false);
  c.Prop("MasterScriptID", &TOrvRoot::MasterScriptID).Stored(false);
  c.Prop("MasterListChain", &TOrvRoot::MasterListChain).Stored(false);
  c.Prop("MasterScriptChain", &TOrvRoot::MasterScriptChain).Stored(false);
}

TOrvRoot::TOrvRoot(TComponent*) : TOrvPack(nullptr) {
  TYA*& pending = orvlib99::PendingArgs();
  args_.reset(pending != nullptr ? pending : new TYA());
  pending = nullptr;
  for (const QString& s : ArgText(5).split(QLatin1Char(';'), Qt::SkipEmptyParts))
    masterLists_.Add(s);
  for (const QString& s : ArgText(6).split(QLatin1Char(';'), Qt::SkipEmptyParts))
    masterScripts_.Add(s);
  if (auto* sender = dynamic_cast<TComponent*>(MasterSender())) {
    if (TOrvRoot* other = orvlib99::GetOrvRoot(sender)) SetValuesDataSet(other->ValuesDataSet());
  }
  orvlib99::OrvApp()->InsertComponent(this);
}

TOrvRoot::~TOrvRoot() = default;

TObject* TOrvRoot::ArgObject(int index) const {
  if (!args_ || index >= args_->Count()) return nullptr;
  auto* o = dynamic_cast<tyrObject*>(args_->GetItem(index));
  return o != nullptr ? o->Value() : nullptr;
}

QString TOrvRoot::ArgText(int index) const {
  if (!args_ || index < 0 || index >= args_->Count()) return QString();
  return args_->GetItem(index)->AsVariant().ToString();
}

void TOrvRoot::SetArgText(int index, const QString& value) {
  if (!args_ || index < 0 || index >= args_->Count()) return;
  if (auto* s = dynamic_cast<tyrString*>(args_->GetItem(index))) s->Value = value;
}

TPersistent* TOrvRoot::MasterField() const {
  return args_ && args_->Count() >= 2 ? dynamic_cast<TPersistent*>(ArgObject(1)) : nullptr;
}

TObject* TOrvRoot::MasterSender() const { return ArgObject(0); }

TComponent* TOrvRoot::Master() const {
  if (auto* field = dynamic_cast<TField*>(MasterField())) {
    if (TDataSet* ds = field->DataSet()) return ds->Owner();
  }
  return orvformsvc::Forms().MainForm();
}

void TOrvRoot::AddModule(TComponent* module) {
  if (module == nullptr) return;
  modules_.push_back(module);
  module->FreeNotification(this);
}

void TOrvRoot::RemoveModule(TComponent* module) {
  modules_.erase(std::remove(modules_.begin(), modules_.end(), module), modules_.end());
}

TComponent* TOrvRoot::FindModuleByClass(TClass cls) const {
  if (cls == nullptr) return nullptr;
  for (size_t i = modules_.size(); i-- > 0;)
    if (modules_[i]->InheritsFrom(cls)) return modules_[i];
  return nullptr;
}

TComponent* TOrvRoot::FindModule(const QString& name) const {
  for (TComponent* m : modules_)
    if (SameText(m->Name(), name)) return m;
  return nullptr;
}

TComponent* TOrvRoot::FindModuleBack(const QString& name) const {
  for (size_t i = modules_.size(); i-- > 0;)
    if (SameText(modules_[i]->Name(), name)) return modules_[i];
  return nullptr;
}

void TOrvRoot::HoldChangeNode(TComponent* component) {
  if (holder_ != nullptr || component == nullptr) return;
  holder_ = component;
  component->FreeNotification(this);
}

void TOrvRoot::ReleaseChangeNode(TComponent* component) {
  if (component != nullptr && component == holder_) holder_ = nullptr;
}

void TOrvRoot::SetNowChangeNode(bool on) {
  if (on == nowChangeNode_) return;
  nowChangeNode_ = on;
  if (on)
    holder_ = nullptr;
  else
    ReleaseChangeNode(holder_);
}

void TOrvRoot::SetValuesDataSet(TDataSet* dataSet) {
  valuesDataSet_ = dataSet;
  if (dataSet != nullptr) dataSet->FreeNotification(this);
}

Variant TOrvRoot::RunObjScriptInModules(TObject* sender, const QString& scriptChain,
                                        const QString& listChain, TObject* value) {
  const qint64 self = ObjectHandle();
  const std::vector<TComponent*> modules = modules_;
  std::vector<qint64> handles;
  for (TComponent* m : modules) handles.push_back(m->ObjectHandle());
  for (qint64 h : handles) {
    if (TObject::FromHandle(self) == nullptr) break;
    TComponent* m = Live(h);
    auto* runner =
        m != nullptr ? dynamic_cast<IrRunner*>(ObjectInterface(m, IID_IrRunner)) : nullptr;
    if (runner == nullptr) continue;
    Variant r = runner->RunObjScript(sender, scriptChain, listChain, value);
    if (!r.IsEmpty()) return r;
  }
  return Variant();
}

Variant TOrvRoot::RunObjScript(TObject* sender, const QString& scriptChain,
                               const QString& listChain, TObject* value) {
  return RunObjScriptInModules(sender, scriptChain, listChain, value);
}

void TOrvRoot::Notification(TComponent* component, TOperation operation) {
  TOrvPack::Notification(component, operation);
  if (operation == opInsert) {
    if (component->Owner() == this) {
      if (TOrvApp* app = orvlib99::FindOrvApp()) component->FreeNotification(app);
    }
    return;
  }
  if (component == valuesDataSet_) valuesDataSet_ = nullptr;
  if (component == holder_) holder_ = nullptr;
  RemoveModule(component);
}

// ---- Unit routines ------------------------------------------------------------------------

TOrvApp* orvlib99::FindOrvApp() {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr ? dynamic_cast<TOrvApp*>(env->App) : nullptr;
}

TOrvApp* orvlib99::OrvApp() {
  if (TOrvApp* app = FindOrvApp()) return app;
  TRootEnv& env = orvcls::RootEnv();
  auto* app = new TOrvApp(nullptr);
  app->SetName(QStringLiteral("OrvApp"));
  orvaccessutils::SetAccessChecker(app);
  env.App = app;
  if (env.Lists != nullptr) {
    auto* ref = QueryAs<IInterfaceComponentReference>(env.Lists);
    TComponent* lists = ref != nullptr ? ref->GetComponent() : nullptr;
    if (lists != nullptr && lists->Owner() == nullptr) app->InsertComponent(lists);
  }
  return app;
}

void orvlib99::FreeOrvApp() {
  if (TOrvApp* app = FindOrvApp()) app->Free();
}

TYA*& orvlib99::PendingArgs() { return gPendingArgs; }

TOrvRoot* orvlib99::GetOrvRoot(TComponent* component) {
  TOrvApp* app = FindOrvApp();
  return app != nullptr ? app->RootOfComponent(component) : nullptr;
}

void orvlib99::SelectOrvRoot(TComponent* component) { GetOrvRoot(component); }

TOrvRoot* orvlib99::NeedOrvRoot(TComponent* component) {
  TOrvRoot* root = GetOrvRoot(component);
  if (root == nullptr)
    orvsys::RaiseError(
        {TVarRec("GetOrvRoot = nil"), TVarRec(static_cast<const TObject*>(component))});
  return root;
}

void orvlib99::AttachToRoot(TComponent* module) {
  if (TOrvRoot* root = GetOrvRoot(module)) root->AddModule(module);
}

void orvlib99::DetachFromRoot(TComponent* module) {
  if (TOrvRoot* root = GetOrvRoot(module)) root->RemoveModule(module);
}

TPersistent* orvlib99::GetRootMasterField(TComponent* component) {
  return NeedOrvRoot(component)->MasterField();
}

QString orvlib99::GetRootMasterListID(TComponent* component) {
  return NeedOrvRoot(component)->ArgText(2);
}

Variant orvlib99::RunObjScript(TObject* sender, const QString& scriptChain,
                               const QString& listChain, TObject* value) {
  if (listChain.isEmpty()) return Variant();
  TOrvApp* app = OrvApp();
  TOrvApp::TRunGuard guard(app);
  if (scriptChain.endsWith(QLatin1Char('!'))) {
    for (int i = 0; i < app->GetRootCount(); ++i) {
      TOrvRoot* root = app->GetRoot(i);
      if (root->ArgText(4) != scriptChain) continue;
      IScriptFormServices& forms = orvformsvc::Forms();
      for (TComponent* form : root->FormList()) {
        if (forms.IsMDIChild(form)) {
          forms.ShowMaximized(form);
          break;
        }
      }
      return Variant();
    }
  } else if (scriptChain.endsWith(QLatin1Char(' '))) {
    TOrvRoot* root = GetOrvRoot(dynamic_cast<TComponent*>(sender));
    if (root != nullptr) root->RunObjScriptInModules(sender, scriptChain, listChain, value);
    return Variant();
  }
  app->RunObjScriptInNewRoot(sender, scriptChain, listChain, value);
  return Variant();
}

TComponent* orvlib99::FindScriptGlobalComponent(const QString& name) {
  TOrvApp* app = FindOrvApp();
  TOrvRoot* root = app != nullptr ? app->GetLastRoot() : nullptr;
  if (root == nullptr) return nullptr;
  const QString upper = name.toUpper();
  if (upper == QLatin1String("APPLICATION")) return orvformsvc::Forms().Application();
  if (upper == QLatin1String("ORVAPP")) return app;
  if (upper == QLatin1String("TEXTSTYLES")) return TextStyles();
  if (upper == QLatin1String("MASTER")) return root->Master();
  TClass native = orvcls::FindNativeClass(QStringLiteral("T") + name);
  if (native != nullptr) {
    if (TComponent* m = root->FindModuleByClass(native)) return m;
  }
  if (TComponent* m = root->FindModuleBack(name)) return m;
  if (native != nullptr) {
    const auto& owned = root->ComponentList();
    for (size_t i = owned.size(); i-- > 0;) {
      if (owned[i]->InheritsFrom(native) && !owned[i]->ComponentState().Contains(csLoading))
        return owned[i];
    }
  }
  return root->FindComponent(name);
}
