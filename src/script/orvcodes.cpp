#include "script/orvcodes.h"

#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvmsg.h"
#include "platform/classes/binstream.h"
#include "platform/classes/reader.h"
#include "platform/classes/classregistry.h"
#include "platform/data/dataset.h"
#include "platform/data/fields.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "script/orvformsvc.h"
#include "script/orvty.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QRegularExpression>

#include <algorithm>

namespace {

orvcodes::THostState gProcessState;
TOrvCustomScript::TFindingSink gFindingSink;

// "... line N ...": N, 1 when the text after "line " is no number; 0 without "line ".
int MessageLine(const QString& message) {
  const qsizetype at = message.indexOf(QLatin1String("line "));
  if (at < 0) return 0;
  static const QRegularExpression digits(QStringLiteral("^\\d+"));
  const QRegularExpressionMatch m = digits.match(message.mid(at + 5));
  return m.hasMatch() ? m.captured(0).toInt() : 1;
}

// "Syntax error in  (N): ...": N, 0 without it.
int CompileLine(const QString& text) {
  static const QRegularExpression line(QStringLiteral("^Syntax error in .*?\\((\\d+)\\)"));
  const QRegularExpressionMatch m = line.match(text);
  return m.hasMatch() ? m.captured(1).toInt() : 0;
}

IClsRoot* Registry() {
  TRootEnv* env = orvenv::GetRootEnv();
  return env != nullptr ? env->ClsRoot : nullptr;
}

TComponent* Live(qint64 handle) { return dynamic_cast<TComponent*>(TObject::FromHandle(handle)); }

QString UpperKey(const QString& id) { return id.toUpper(); }

}  // namespace

// ---- State and helpers ------------------------------------------------------------------

orvcodes::THostState& orvcodes::StateOf(TOrvCustomApp* app) {
  return app != nullptr ? app->State : gProcessState;
}

orvcodes::THostState& orvcodes::HostState() {
  TRootEnv* env = orvenv::GetRootEnv();
  auto* app = env != nullptr ? dynamic_cast<TOrvCustomApp*>(env->App) : nullptr;
  return StateOf(app);
}

QString orvcodes::TrimCtl(const QString& s) {
  qsizetype b = 0, e = s.size();
  while (b < e && s.at(b).unicode() <= 32) ++b;
  while (e > b && s.at(e - 1).unicode() <= 32) --e;
  return b == 0 && e == s.size() ? s : s.mid(b, e - b);
}

QStringList orvcodes::SplitLines(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = text.at(i);
    if (c != QLatin1Char('\n') && c != QLatin1Char('\r')) continue;
    lines << text.mid(start, i - start);
    if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) ++i;
    start = i + 1;
  }
  if (start < n) lines << text.mid(start);
  return lines;
}

// ---- TScriptDataSet ---------------------------------------------------------------------

TScriptDataSet::TScriptDataSet(TDataSet* dataSet) { SetDataSet(dataSet); }

TScriptDataSet::~TScriptDataSet() {
  if (TDataSet* ds = DataSet()) ds->Free();
}

TDataSet* TScriptDataSet::DataSet() const {
  return dynamic_cast<TDataSet*>(TObject::FromHandle(dataSet_));
}

void TScriptDataSet::SetDataSet(TDataSet* dataSet) {
  TDataSet* old = DataSet();
  if (old == dataSet) return;
  if (old != nullptr) old->Free();
  dataSet_ = dataSet != nullptr ? dataSet->ObjectHandle() : 0;
}

namespace {

// A SCRIPT value as lines: text of a text or memo field; a binary component stream in a
// blob as its component text; other blob bytes as code page 1251 text.
QStringList ScriptLines(TField* field) {
  if (field->IsNull()) return {};
  auto* blob = dynamic_cast<TBinaryField*>(field);
  if (blob != nullptr && dynamic_cast<TMemoField*>(field) == nullptr) {
    const QByteArray bytes = blob->AsBytes();
    if (binstream::IsComponentStream(bytes))
      return orvcodes::SplitLines(FormatComponentText(binstream::ReadComponentStream(bytes)));
    return orvcodes::SplitLines(FromAnsi(bytes));
  }
  return orvcodes::SplitLines(field->AsString());
}

}  // namespace

void TScriptDataSet::Load() {
  TDataSet* ds = DataSet();
  if (ds == nullptr || ds->Active()) return;
  cache_.clear();
  ds->Open();
  TField* idField = ds->FindField(QStringLiteral("ROOTID"));
  TField* textField = ds->FindField(QStringLiteral("SCRIPT"));
  if (idField == nullptr || textField == nullptr) return;
  for (ds->First(); !ds->Eof(); ds->Next()) {
    const QString id = idField->AsString();
    QStringList lines;
    QString error;
    try {
      lines = ScriptLines(textField);
    } catch (const Exception& e) {
      error = e.Message();
    }
    TEntry& entry = cache_[UpperKey(id)];
    if (entry.Id.isEmpty()) entry.Id = id;
    entry.Lines = std::move(lines);
    entry.LoadError = error;
  }
}

const TScriptDataSet::TEntry* TScriptDataSet::FindEntry(const QString& id) {
  Load();
  auto it = cache_.find(UpperKey(id));
  return it != cache_.end() ? &it->second : nullptr;
}

const QStringList* TScriptDataSet::FindScript(const QString& id) {
  const TEntry* entry = FindEntry(id);
  return entry != nullptr ? &entry->Lines : nullptr;
}

QString TScriptDataSet::GetScriptText(const QString& id) {
  const QStringList* lines = FindScript(id);
  return lines != nullptr ? lines->join(QStringLiteral("\r\n")) : QString();
}

// ---- Parsing ------------------------------------------------------------------------------

bool TCreatedList::Contains(const TComponent* component) const {
  return component != nullptr &&
         std::find(Items.begin(), Items.end(), component->ObjectHandle()) != Items.end();
}

TOrvScriptItem* TOrvScriptDesc::Add() {
  Items.push_back(std::make_unique<TOrvScriptItem>());
  return Items.back().get();
}

void TOrvCustomScript::SetFindingSink(TFindingSink sink) { gFindingSink = std::move(sink); }

void TOrvCustomScript::LoadLines(const QStringList& lines) {
  State = stNormal;
  ParseLines(lines);
}

void TOrvCustomScript::LoadBytes(const QByteArray& utf8) {
  LoadLines(orvcodes::SplitLines(QString::fromUtf8(utf8)));
}

void TOrvCustomScript::LoadField(TField* field) {
  if (field == nullptr) return;
  auto* blob = dynamic_cast<TBinaryField*>(field);
  if (blob == nullptr || dynamic_cast<TMemoField*>(field) != nullptr) {
    LoadLines(field->IsNull() ? QStringList() : orvcodes::SplitLines(field->AsString()));
    return;
  }
  TOrvScriptDesc* desc = NewDesc();
  TOrvScriptItem* item = desc->Add();
  try {
    auto stream = std::make_unique<TComponentStream>();
    stream->Text = binstream::ReadComponentStream(blob->AsBytes());
    item->Stream = std::move(stream);
  } catch (const std::exception& e) {
    ReportException(0, QStringLiteral("load"), QStringLiteral("Ошибка загрузки:"), e);
  }
}

void TOrvCustomScript::ParseLines(const QStringList& lines) {
  for (int i = 0; i < lines.size(); ++i) HandleLine(orvcodes::TrimCtl(lines.at(i)), i);
}

TOrvScriptDesc* TOrvCustomScript::NewDesc() {
  Descs.push_back(std::make_unique<TOrvScriptDesc>(this));
  return Descs.back().get();
}

void TOrvCustomScript::HandleLine(const QString& s, int line) {
  switch (State) {
    case stNormal: {
      const qsizetype brace = s.indexOf(QLatin1Char('{'));
      if (brace >= 0) {
        ContentLine(orvcodes::TrimCtl(s.left(brace)), line);
        State = stBrace;
        const qsizetype close = s.indexOf(QLatin1Char('}'), brace + 1);
        if (close >= 0) {
          State = stNormal;
          ContentLine(orvcodes::TrimCtl(s.mid(close + 1)), line);
        }
      } else if (s.startsWith(QLatin1Char(':'))) {
        State = stCode;
        if (Descs.empty()) HeaderLine(QStringLiteral("."), line);  // code before any header
        TOrvScriptItem* item = Descs.back()->Last();
        item->SourceName = s.mid(1);
      } else {
        ContentLine(s, line);
      }
      break;
    }
    case stCode: {
      TOrvScriptItem* item = Descs.back()->Last();
      if (s.startsWith(QLatin1Char(':'))) {
        if (item->SourceName.isEmpty() || item->SourceName.startsWith(QLatin1Char(':'))) {
          if (!item->CodeLines) item->CodeLines = std::make_unique<QStringList>();
          *item->CodeLines << QStringLiteral("END.");
          item->CodeLineNos.push_back(line);
        }
        State = stNormal;
      } else {
        if (!item->CodeLines) item->CodeLines = std::make_unique<QStringList>();
        *item->CodeLines << s;
        item->CodeLineNos.push_back(line);
      }
      break;
    }
    default: {
      const qsizetype close = s.indexOf(QLatin1Char('}'));
      if (close >= 0) {
        State = stNormal;
        ContentLine(orvcodes::TrimCtl(s.mid(close + 1)), line);
      }
      break;
    }
  }
}

void TOrvCustomScript::ContentLine(const QString& text, int line) {
  QString s = text;
  for (qsizetype at = s.indexOf(QLatin1Char('/')); at >= 0;
       at = s.indexOf(QLatin1Char('/'), at + 1)) {
    if (at + 1 < s.size() && s.at(at + 1) == QLatin1Char('/')) {
      s = orvcodes::TrimCtl(s.left(at));
      break;
    }
  }
  if (s.isEmpty()) return;
  if (s.startsWith(QLatin1Char('!')) || s.startsWith(QLatin1Char('.'))) {
    HeaderLine(s, line);
    return;
  }
  if (Descs.empty()) {
    HeaderLine(QStringLiteral("."), line);
    Descs.back()->Last()->IsRaw = true;
  }
  TOrvScriptItem* item = Descs.back()->Last();
  if (!item->TextLines) item->TextLines = std::make_unique<QStringList>();
  *item->TextLines << s;
  item->TextLineNos.push_back(line);
}

void TOrvCustomScript::HeaderLine(const QString& header, int line) {
  TOrvScriptDesc* desc = NewDesc();
  QString s = orvcodes::TrimCtl(header);
  for (;;) {
    qsizetype p = s.indexOf(QLatin1Char('!'), 1);
    if (p < 0) p = s.indexOf(QLatin1Char('.'), 1);
    TOrvScriptItem* item = desc->Add();
    item->FirstLine = line;
    if (p < 0) {
      ItemHeader(item, s);
      return;
    }
    ItemHeader(item, s.left(p));
    s = orvcodes::TrimCtl(s.mid(p));
  }
}

namespace {

TClass ComponentClass(const QString& name) {
  TClass cls = name.isEmpty() ? nullptr : GetClass(name);
  return cls != nullptr && cls->InheritsFrom(TComponent::StaticClass()) ? cls : nullptr;
}

std::unique_ptr<QStringList> SplitParams(const QString& text) {
  auto list = std::make_unique<QStringList>();
  for (const QString& p : text.split(QLatin1Char(':'))) *list << orvcodes::TrimCtl(p);
  return list;
}

}  // namespace

void TOrvCustomScript::ItemHeader(TOrvScriptItem* item, const QString& header) {
  const QString h = orvcodes::TrimCtl(header);
  item->IsBang = h.startsWith(QLatin1Char('!'));
  const QString r = h.mid(1);
  const qsizetype colon = r.indexOf(QLatin1Char(':'));
  if (colon < 0) {
    if (TClass cls = ComponentClass(r))
      item->ItemClass = cls;
    else
      item->Name = r;
    return;
  }
  const QString first = orvcodes::TrimCtl(r.left(colon));
  const QString rest = orvcodes::TrimCtl(r.mid(colon + 1));
  if (TClass cls = ComponentClass(first)) {
    item->ItemClass = cls;
    item->Params = SplitParams(rest);
    return;
  }
  item->Name = first;
  const qsizetype colon2 = rest.indexOf(QLatin1Char(':'));
  if (colon2 < 0) {
    if (TClass cls = ComponentClass(rest))
      item->ItemClass = cls;
    else
      item->Params = std::make_unique<QStringList>(QStringList{rest});
    return;
  }
  if (TClass cls = ComponentClass(orvcodes::TrimCtl(rest.left(colon2)))) {
    item->ItemClass = cls;
    item->Params = SplitParams(rest.mid(colon2 + 1));
  } else {
    item->Params = SplitParams(rest);
  }
}

TComponent* TOrvCustomScript::ResolveName(const QString& name, TClass itemClass, TComponent*) {
  IScriptFormServices& forms = orvformsvc::Forms();
  TClass appClass = forms.ApplicationClass();
  if ((appClass != nullptr && itemClass == appClass) ||
      name.compare(QLatin1String("Application"), Qt::CaseInsensitive) == 0)
    return forms.Application();
  if (App != nullptr && itemClass != nullptr &&
      itemClass->InheritsFrom(TOrvCustomApp::StaticClass()) &&
      name.compare(App->Name(), Qt::CaseInsensitive) == 0)
    return App;
  return nullptr;
}

// ---- Failures ---------------------------------------------------------------------------

int TOrvCustomScript::SourceLine(int line, QString& scriptId) const {
  scriptId.clear();
  return line;
}

void TOrvCustomScript::Fail(int line, const QString& kind, const QString& text) {
  orvcodes::THostState& state = orvcodes::StateOf(App);
  QString id;
  const int at = SourceLine(line, id);
  if (!state.ScriptErrorFlag) {
    state.ScriptErrorFlag = true;
    state.ScriptErrorLine = at;
    state.ErrorScript = id;
  }
  if (gFindingSink) gFindingSink(kind, id, at, text);
}

void TOrvCustomScript::Note(int line, const QString& kind, const QString& text) {
  if (!gFindingSink) return;
  QString id;
  const int at = SourceLine(line, id);
  gFindingSink(kind, id, at, text);
}

void TOrvCustomScript::ReportException(int line, const QString& kind, const QString& prefix,
                                       const std::exception& e) {
  const auto* own = dynamic_cast<const Exception*>(&e);
  Fail(line, kind,
       prefix + QLatin1Char(' ') + (own ? own->Message() : QString::fromUtf8(e.what())));
  orvmsg::ShowException(prefix, &e);
}

void TOrvCustomScript::ReportCompile(int line, const QString& errorText) {
  Fail(line, QStringLiteral("compile"), errorText);
  orvmsg::ShowDBError(QStringLiteral("Компиляция: "), errorText);
}

// ---- Execute -------------------------------------------------------------------------------

TComponent* TOrvCustomScript::Execute(TComponent* owner, TComponent* existing) {
  if (Descs.empty()) return owner;
  TCreatedList created;
  try {
    for (auto& desc : Descs) CreateDesc(desc.get(), created, owner, existing);
  } catch (...) {
    RunCreated(created);
    throw;
  }
  RunCreated(created);
  return owner;
}

void TOrvCustomScript::AddBang(TCreatedList& created, TComponent* component) {
  if (component == nullptr) return;
  if (App != nullptr) {
    App->AddBang(created, component);
  } else if (!created.Contains(component)) {
    created.Items.push_back(component->ObjectHandle());
  }
}

void TOrvCustomScript::CreateDesc(TOrvScriptDesc* desc, TCreatedList& created, TComponent* parent,
                                  TComponent* existing) {
  orvcodes::THostState& state = orvcodes::StateOf(App);
  TComponent* p = parent;
  TComponent* k = existing;
  const qint64 parentHandle = parent != nullptr ? parent->ObjectHandle() : 0;
  // The parent belongs to the caller: a "!" item that names no component of its own, or whose
  // script hands the parent back, must not free it when the run ends.
  auto bang = [&](TComponent* component) {
    if (component != parent) AddBang(created, component);
  };
  for (auto& owned : desc->Items) {
    TOrvScriptItem* item = owned.get();
    // A parent freed by an earlier item's run takes the rest of the description with it.
    if (parentHandle != 0 && TObject::FromHandle(parentHandle) == nullptr) return;
    state.CurrentLine = SourceLine(item->FirstLine, state.CurrentScript);
    if (!state.ScriptErrorFlag) state.ScriptErrorLine = state.CurrentLine;
    if (existing == nullptr) k = ResolveName(item->Name, item->ItemClass, p);
    if (item->ItemClass != nullptr && k == nullptr) {
      qint64 made = 0;
      try {
        k = dynamic_cast<TComponent*>(item->ItemClass->Create(p));
        made = k->ObjectHandle();
        if (orvformsvc::Forms().IsFrameClass(item->ItemClass)) k->SetInline(true);
        if (IClsRoot* reg = Registry()) reg->AddComponentFields(k);
        k->SetName(item->Name);
        if (k->Owner() == nullptr && p != nullptr) p->InsertComponent(k);
        if (item->IsBang) AddBang(created, k);
      } catch (const std::exception& e) {
        ReportException(item->FirstLine, QStringLiteral("create"),
                        QStringLiteral("Ошибка создания:"), e);
        k = Live(made);
        // Nothing half-made stays: a component that no owner and no run list holds goes.
        if (k != nullptr && k->Owner() == nullptr) {
          if (item->IsBang || p == nullptr)
            AddBang(created, k);
          else
            p->InsertComponent(k);
        }
      }
    }
    if (k == nullptr && item->IsBang && item->ItemClass == nullptr)
      Note(
          item->FirstLine, QStringLiteral("unknown class"),
          QStringLiteral("Нет компонента и класса для заголовка: ") + item->Name +
              (item->Params ? QLatin1Char(':') + item->Params->join(QLatin1Char(':')) : QString()));
    if (item->Params && k != nullptr) {
      for (const QString& param : *item->Params) {
        if (param.isEmpty()) continue;
        if (NoRun) {
          if (App == nullptr || !App->HasScript(param))
            Note(item->FirstLine, QStringLiteral("missing script"),
                 QStringLiteral("Скрипт не найден: ") + param);
          continue;
        }
        k = App != nullptr ? App->DoRunScript(k, param) : k;
        if (k == nullptr) break;
        if (item->IsBang) bang(k);
      }
    }
    // A "!" item whose component could not be made loads into its parent, which is not the
    // item's to free when the run ends.
    const bool own = k != nullptr;
    k = LoadItem(item, own ? k : p, created);
    if (item->IsBang && own && k != nullptr) bang(k);
    if (k != nullptr) {
      const TPropInfo* prop = GetPropInfo(k, QStringLiteral("AfterReadComponent"));
      if (prop != nullptr && prop->Kind() == tkMethod && prop->PropType != nullptr &&
          prop->PropType->Name.compare(QLatin1String("TNotifyEvent"), Qt::CaseInsensitive) == 0) {
        TNotifyEvent event = GetMethodProp(k, prop);
        if (event.Assigned()) event(&created);
      }
    }
    p = k;
  }
}

void TOrvCustomScript::BuildStream(TOrvScriptItem* item, TComponent* target) {
  std::unique_ptr<QStringList> lines = std::move(item->TextLines);
  std::vector<int> map;
  QStringList text;
  const int last = item->TextLineNos.empty() ? item->FirstLine : item->TextLineNos.back();
  if (item->IsRaw) {
    text = *lines;
    map = item->TextLineNos;
  } else {
    if (target != nullptr) {
      text << QStringLiteral("INHERITED TCOMPONENT");
    } else {
      const bool frame =
          item->ItemClass != nullptr && orvformsvc::Forms().IsFrameClass(item->ItemClass);
      text << (frame ? QStringLiteral("INLINE ") : QStringLiteral("OBJECT ")) +
                  (item->ItemClass != nullptr ? item->ItemClass->ClassName() : QString());
    }
    map.push_back(item->FirstLine);
    text << *lines;
    map.insert(map.end(), item->TextLineNos.begin(), item->TextLineNos.end());
    text << QString() << QStringLiteral("END");
    map.push_back(last);
    map.push_back(last);
  }
  item->TextLineNos.clear();
  try {
    auto stream = std::make_unique<TOrvMemoryStream>();
    stream->Text = ParseComponentText(text.join(QStringLiteral("\r\n")));
    stream->LineMap = std::move(map);
    item->Stream = std::move(stream);
  } catch (const std::exception& e) {
    const int n = MessageLine(QString::fromUtf8(e.what()));
    const int at =
        n >= 1 && n <= int(map.size()) ? map[n - 1] : (map.empty() ? item->FirstLine : last);
    ReportException(at, QStringLiteral("load"), QStringLiteral("Ошибка загрузки:"), e);
  }
}

TComponent* TOrvCustomScript::LoadItem(TOrvScriptItem* item, TComponent* target,
                                       TCreatedList& created) {
  QElapsedTimer clock;
  if (Times != nullptr) clock.start();
  auto lap = [&](qint64 orvcodes::THostTimes::*slot) {
    if (Times == nullptr) return;
    Times->*slot += clock.nsecsElapsed();
    clock.restart();
  };
  if (item->TextLines) BuildStream(item, target);
  lap(&orvcodes::THostTimes::Parse);
  IClsRoot* reg = Registry();
  QString error;
  TComponent* result = target;
  const QStringList* code = item->CodeLines.get();
  if (!item->Stream) {
    if (target != nullptr && reg != nullptr)
      reg->BindEvents(error, code, target, false, item->SourceName);
    lap(&orvcodes::THostTimes::Compile);
  } else {
    const QString name = target != nullptr ? target->Name() : QString();
    const qint64 targetHandle = target != nullptr ? target->ObjectHandle() : 0;
    const bool host = dynamic_cast<TOrvMemoryStream*>(item->Stream.get()) != nullptr;
    TOrvReader reader(host ? reg : nullptr);
    const TComponentStream* stream = item->Stream.get();
    auto lineOf = [&](const QString& message) {
      const int n = MessageLine(message);
      if (n >= 1 && n <= int(stream->LineMap.size())) return stream->LineMap[n - 1];
      return item->FirstLine;
    };
    if (Lenient) {
      reader.OnPropertyError = [&](const QString& message) {
        if (!message.startsWith(QLatin1String("Unknown property"))) return false;
        Fail(lineOf(message), QStringLiteral("unknown property"), message);
        return true;
      };
    }
    try {
      result = reader.ReadRootComponent(stream->Text, target);
      if (target == nullptr && result != nullptr) AddBang(created, result);
    } catch (const std::exception& e) {
      ReportException(lineOf(QString::fromUtf8(e.what())), QStringLiteral("read"),
                      QStringLiteral("Ошибка чтения:"), e);
    }
    if (target != nullptr && Live(targetHandle) != nullptr) target->ChangeName(name);
    lap(&orvcodes::THostTimes::Read);
    if (result != nullptr && reg != nullptr)
      reg->BindEvents(error, code, result, true, item->SourceName);
    lap(&orvcodes::THostTimes::Compile);
  }
  if (!error.isEmpty()) {
    const int n = CompileLine(error);
    const int at =
        n >= 1 && n <= int(item->CodeLineNos.size()) ? item->CodeLineNos[n - 1] : item->FirstLine;
    ReportCompile(at, error);
  }
  item->CodeLines.reset();
  item->CodeLineNos.clear();
  return result;
}

void TOrvCustomScript::RunCreated(TCreatedList& created) {
  IScriptFormServices& forms = orvformsvc::Forms();
  auto alive = [&](qint64 handle) -> TComponent* {
    TComponent* x = Live(handle);
    if (x == nullptr) return nullptr;
    return App == nullptr || App->InBangList(x) ? x : nullptr;
  };
  bool stopped = false;
  if (!NoRun) {
    for (size_t i = 0; i < created.Items.size() && !stopped; ++i) {
      TComponent* x = alive(created.Items[i]);
      if (x == nullptr) continue;
      if (auto* y = dynamic_cast<TY*>(x)) {
        y->RunAndFree(new TYA(nullptr, TVarRecs{TVarRec(static_cast<const TObject*>(this))}));
      } else if (forms.IsForm(x)) {
        if (forms.IsMDIChild(x)) {
          stopped = true;
        } else if (x->Tag() == -999) {
          forms.Show(x);
          stopped = true;
        } else {
          forms.ShowModal(x);
        }
      } else if (Supports<IXOrvClientForm>(x) != nullptr) {
        stopped = true;
      }
    }
  }
  if (!stopped) {
    for (size_t i = created.Items.size(); i-- > 0;) {
      if (TComponent* x = alive(created.Items[i])) x->Free();
    }
  }
  created.Items.clear();
}

// ---- TOrvReader ------------------------------------------------------------------------------

TOrvReader::TOrvReader(IClsRoot* registry) {
  if (registry == nullptr) return;  // the plain read: published methods of the root's class
  OnFindMethod = [registry](TComponent* root, const QString& method) {
    return TMethod{registry->AddMethodName(root, method), root};
  };
}

// ---- TOrvCustomApp ------------------------------------------------------------------------

ORV_DESCRIBE(TOrvCustomApp) {}

void TOrvCustomApp::AddBang(TCreatedList& created, TComponent* component) {
  if (component == nullptr || created.Contains(component)) return;
  created.Items.push_back(component->ObjectHandle());
  if (std::find(bangList_.begin(), bangList_.end(), component) == bangList_.end())
    bangList_.push_back(component);
  component->FreeNotification(this);
}

bool TOrvCustomApp::InBangList(const TComponent* component) const {
  return std::find(bangList_.begin(), bangList_.end(), component) != bangList_.end();
}

TComponent* TOrvCustomApp::DoRunScript(TComponent* owner, const QString&) { return owner; }

void TOrvCustomApp::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove)
    bangList_.erase(std::remove(bangList_.begin(), bangList_.end(), component), bangList_.end());
}
