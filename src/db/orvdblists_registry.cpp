// The metadata registry: made on first use, filled from the setup tables, links resolved
// and title lines aligned once the fields are read.
#include "core/orvcls.h"
#include "core/orvenv.h"
#include "core/orvmsg.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvprgs.h"
#include "db/orvspexec.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"

#include <QtCore/QSet>

namespace {

TOrvDescList* gRegistry = nullptr;

const QString kGridSetupsList = QStringLiteral("фп_гриднастройки");

// The progress dots of a load: one " ." for each new leading character of the ids.
class TLoadDots {
 public:
  explicit TLoadDots(QString text) : text_(std::move(text)) {}
  void Row(const QString& id) {
    const QChar c = (id + QLatin1Char(' '))[0];
    if (c != previous_ && !seen_.contains(c.toUpper())) {
      seen_.insert(c.toUpper());
      dots_ += QStringLiteral(" .");
      orvprgs::ProgressText(text_ + dots_);
    }
    previous_ = c;
  }

 private:
  QString text_;
  QString dots_;
  QSet<QChar> seen_;
  QChar previous_ = QChar(0xFFFF);
};

int LineBreaks(const QString& text) { return int(text.count(QLatin1Char('\r'))); }

bool IsGroupEntry(TPropDesc* d) { return d->TFieldDesc::GetName().startsWith(QLatin1Char('-')); }

void PadTo(TPropDesc* d, int lines) {
  const int have = LineBreaks(d->Caption());
  if (have >= lines) return;
  d->SetDisplayLabel(d->Caption() + QString(lines - have, QLatin1Char('\r')));
}

}  // namespace

// ---- TOrvDescList ------------------------------------------------------------------------

TOrvDescList::TOrvDescList(TComponent* owner) : TComponent(owner), lists_(new TDescList(this)) {}

TOrvDescList::~TOrvDescList() {
  if (TRootEnv* env = orvenv::GetRootEnv(); env != nullptr && env->Lists == this)
    env->Lists = nullptr;
  if (gRegistry == this) gRegistry = nullptr;
  TDescList* lists = lists_;
  lists_ = nullptr;
  lists->Free();
}

TListDesc* TOrvDescList::AddListDesc(const QString& name) {
  orvmsg::DebugTrace(QStringLiteral("TOrvDescList.AddListDesc('") + name + QStringLiteral("').1"));
  if (TListDesc* existing = FindListDesc(name)) return existing;
  auto* d = dynamic_cast<TListDesc*>(lists_->FindOrAdd(name));
  if (name.compare(kGridSetupsList, Qt::CaseInsensitive) == 0) HasGridSetups = true;
  orvmsg::DebugTrace(QStringLiteral("TOrvDescList.AddListDesc('") + name + QStringLiteral("').2"));
  return d;
}

TListDesc* TOrvDescList::FindListDesc(const QString& name) const {
  return lists_ != nullptr ? lists_->FindDesc(name) : nullptr;
}

IListDescInfo* TOrvDescList::GetListDesc(const QString& name) { return FindListDesc(name); }

void TOrvDescList::LoadListsFrom(TDataSet* dataSet) {
  if (dataSet == nullptr) return;
  TField* root = dataSet->FieldByName(QStringLiteral("ROOTID"));
  TRowColumns columns(dataSet);
  TLoadDots dots(QStringLiteral("Загружаются списки"));
  for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
    const QString id = root->AsString();
    dots.Row(id);
    TListDesc* d = AddListDesc(id);
    if (auto* component = dynamic_cast<TOrvDataListDesc*>(d->Companion()))
      component->LoadFromRow(columns);
  }
  orvprgs::ProgressText(QStringLiteral("Списки загружены"));
}

void TOrvDescList::LoadPropsFrom(TDataSet* dataSet) {
  if (dataSet == nullptr) return;
  orvmsg::DebugTrace(QStringLiteral("TOrvDescList.LoadPropsFrom.1"));
  TField* root = dataSet->FieldByName(QStringLiteral("ROOTID"));
  TField* fieldName = dataSet->FieldByName(QStringLiteral("FieldName"));
  TRowColumns columns(dataSet);
  TLoadDots dots(QStringLiteral("Загружаются поля"));
  const bool trace = orvmsg::DebugTraceEnabled();
  bool first = true;
  QString previous;
  TListDesc* list = nullptr;
  for (dataSet->First(); !dataSet->Eof(); dataSet->Next()) {
    const QString id = root->AsString();
    dots.Row(id);
    if (first || id != previous) list = FindListDesc(id);
    first = false;
    previous = id;
    if (list == nullptr) continue;
    const QString name = fieldName->AsString();
    if (trace)
      orvmsg::DebugTrace(QStringLiteral("TOrvDescList.LoadPropsFrom.2 ... '") + id +
                         QStringLiteral("', '") + name + QLatin1Char('\''));
    TPropDesc* prop = list->Props()->FindOrAdd(name);
    if (auto* component = prop != nullptr ? prop->OwnerComponent() : nullptr)
      component->LoadFromRow(columns);
  }
  orvmsg::DebugTrace(QStringLiteral("TOrvDescList.LoadPropsFrom.3 ... complete"));
  orvprgs::ProgressText(QStringLiteral("Поля загружены"));
}

void TOrvDescList::ResolveLinks() {
  for (int l = 0; l < lists_->Count(); ++l) {
    TListDesc* list = lists_->GetItem(l);
    TPropDescList* props = list->Props();
    const int count = props->Count();
    for (int pass = 0; pass < count - 1; ++pass) {
      for (int p = 0; p <= count - 2 - pass; ++p) {
        TFieldView* a = props->GetItem(p)->GetDefaultView();
        TFieldView* b = props->GetItem(p + 1)->GetDefaultView();
        if (b->GetIndex() < a->GetIndex()) b->SetIndex(p);
      }
    }
    for (int i = 0; i < count; ++i) {
      TPropDesc* d = props->GetItem(i);
      TLinkDesc* link = d->Link();
      if (link == nullptr || link->ListDesc() == nullptr || link->NextPropDesc() != nullptr)
        continue;
      QStringList chain;
      std::vector<TPropDesc*> visited;
      for (TPropDesc* p = d; p != nullptr;) {
        if (std::find(visited.begin(), visited.end(), p) != visited.end()) break;
        visited.push_back(p);
        if (!p->Link()->LinkID().isEmpty()) chain << p->Link()->LinkID();
        const QString next = p->Link()->NextFieldName();
        p = next.isEmpty() ? nullptr : props->FindDesc(next);
      }
      link->SetLinkIDChain(chain.join(QLatin1Char(';')));
      const QString next = link->NextFieldName();
      link->SetNextPropDesc(next.isEmpty() ? nullptr : props->FindDesc(next));
    }
  }
}

void TOrvDescList::UpdateLinks() {
  if (LinksUpdated) return;
  LinksUpdated = true;
  ResolveLinks();
}

void TOrvDescList::AlignTitleLines(TListDesc* list) {
  TPropDescList* props = list != nullptr ? list->Props() : nullptr;
  if (props == nullptr) return;
  const int count = props->Count();
  bool groupBeforeField = false;
  for (int i = 0; i + 1 < count; ++i)
    if (IsGroupEntry(props->GetItem(i)) && !IsGroupEntry(props->GetItem(i + 1)))
      groupBeforeField = true;
  if (!groupBeforeField) {
    int most = 0;
    for (int i = 0; i < count; ++i)
      if (!IsGroupEntry(props->GetItem(i)))
        most = qMax(most, LineBreaks(props->GetItem(i)->Caption()));
    for (int i = 0; i < count; ++i) PadTo(props->GetItem(i), most);
    return;
  }
  int runStart = -1;
  for (int i = 0; i < count; ++i) {
    TPropDesc* d = props->GetItem(i);
    if (!IsGroupEntry(d)) {
      if (runStart < 0) runStart = i;
      continue;
    }
    if (runStart >= 0) {
      int most = 0;
      for (int k = runStart; k < i; ++k)
        most = qMax(most, LineBreaks(props->GetItem(k)->Caption()));
      for (int k = runStart; k < i; ++k) PadTo(props->GetItem(k), most);
      runStart = -1;
    }
  }
}

void TOrvDescList::AlignAllTitleLines() {
  for (int l = 0; l < lists_->Count(); ++l) AlignTitleLines(lists_->GetItem(l));
}

// ---- Routines ----------------------------------------------------------------------------

namespace orvdblists {

namespace {
TComponent* AppComponent() {
  TRootEnv* env = orvenv::GetRootEnv();
  auto* co = env != nullptr ? QueryAs<ICoObject>(env->App) : nullptr;
  return co != nullptr ? co->GetComponent() : nullptr;
}

struct TBuiltIn {
  const char* id;
  const char* caption;
  const char* setup;
};
const TBuiltIn kBuiltIns[] = {
    {"SP_USER", "Аутентификация пользователя", "ORAPROC=(UACCESS.XP_USER/LOGIN)"},
    {"XP_USER", "Аутентификация пользователя", "ORAPROC=(UACCESS.XP_USER/LOGIN)"},
    {"DP_USERMENU", "Пользовательское меню", "ORAPROC=(USERS.MENU)"},
    {"SP_CHANGEPASSWORD", "Смена пароля", "ORAPROC=(UACCESS.SP_CHANGEPASSWORD)"},
};
}  // namespace

TOrvDescList* GetDescList() {
  if (gRegistry == nullptr) {
    auto* registry = new TOrvDescList(AppComponent());
    registry->AfterConstruction();
    gRegistry = registry;
    orvco::ForceComponentName(registry, QStringLiteral("Lists"));
    if (TRootEnv* env = orvenv::GetRootEnv()) env->Lists = registry;
    TOrvAliasList* aliases = orvdb::GetAliasList();
    for (int i = 0; i < aliases->Count(); ++i) {
      TAliasDesc* alias = aliases->Alias(i);
      TListDesc* d = registry->AddListDesc(alias->GetName());
      if (auto* c = dynamic_cast<TOrvDataListDesc*>(d->Companion()))
        c->SetupList(alias->DisplayName(), QString(), QString(), QString(), QString(), QString(), 0,
                     alias->GetName(), QString(), QString(), QString(), QString(), QString(),
                     QString());
    }
    for (const TBuiltIn& b : kBuiltIns) {
      const QString id = QLatin1String(b.id);
      TListDesc* d = registry->AddListDesc(id);
      if (auto* c = dynamic_cast<TOrvDataListDesc*>(d->Companion()))
        c->SetupList(QString::fromUtf8(b.caption), QString(), QString(), QString(), QString(),
                     QString(), 0, QStringLiteral("ORV"), id, QString::fromUtf8(b.setup), QString(),
                     QString(), QString(), QString());
    }
  } else if (gRegistry->Owner() == nullptr) {
    if (TComponent* owner = AppComponent()) owner->InsertComponent(gRegistry);
  }
  return gRegistry;
}

TOrvDescList* ExistingDescList() { return gRegistry; }

void FreeDescList() {
  TOrvDescList* r = gRegistry;
  gRegistry = nullptr;
  if (r != nullptr) r->Free();
}

TListDesc* ObjListDesc(TObject* object) {
  if (auto* d = dynamic_cast<TListDesc*>(object)) return d;
  auto* o = Supports<IListDescObject>(object);
  return o != nullptr ? o->GetObject() : nullptr;
}

QString ListCallText(TListDesc* list, int dbKind) {
  if (list == nullptr) return QString();
  TAliasDesc* alias = list->Alias();
  orvspexec::TCallInput in;
  in.Name = list->TableName();
  in.Params = list->Params;
  in.ExecName = list->ExecName;
  in.DBKind = dbKind;
  switch (dbKind) {
    case orvcls::dbkMSSQL: in.Kind = spkExec; break;
    case orvcls::dbkOracle: in.Kind = spkCursor; break;
    case orvcls::dbkPostgres: in.Kind = spkSelect; break;
    default: in.Kind = spkUnknown; break;
  }
  in.Qualify = [alias](const QString& n) {
    return alias != nullptr && !n.isEmpty() ? alias->ObjectPrefix() + n + alias->ObjectSuffix() : n;
  };
  in.HasListDesc = true;
  in.FirstTempTable = list->TempTableName(0);
  return orvspexec::BuildCallText(in).value_or(QString());
}

}  // namespace orvdblists

ORV_DESCRIBE(TOrvDescList) {
  c.Prop("LinksUpdated", [](const TOrvDescList* r) { return r->LinksUpdated; });
  c.Prop("Lists", &TOrvDescList::Lists);
  c.Implements<IrLists>();
  c.Implements<IDescListRef>();
}
