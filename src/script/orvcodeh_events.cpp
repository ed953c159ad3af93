// Events of components bound to script routines and native methods; event packages.
#include "orvcodeh.h"

#include "script/orvcodeh_p.h"

#include <QtCore/QDebug>

namespace orvcodeh {

namespace {
TMessageSink& Sink() {
  static TMessageSink sink;
  return sink;
}
}  // namespace

void SetMessageSink(TMessageSink sink) { Sink() = std::move(sink); }

void ShowBox(TBoxKind kind, const QString& text) {
  if (Sink()) {
    Sink()(kind, text);
  } else {
    qWarning().noquote() << text;
  }
}

}  // namespace orvcodeh

namespace {

// "M" + the event type's name without its first letter.
QString PackageMethodName(const QString& typeName) { return QLatin1Char('M') + typeName.mid(1); }

int ParamFlags(int typeFlags) {
  int flags = 0;
  if ((typeFlags & (TParamInfo::pfVar | TParamInfo::pfOut)) != 0) flags |= TParamItem::pfVar;
  if ((typeFlags & TParamInfo::pfConst) != 0) flags |= TParamItem::pfConst;
  if ((typeFlags & TParamInfo::pfArray) != 0) flags |= TParamItem::pfArray;
  return flags;
}

// The callable member a component's own class (its site class, else its mirror) finds.
TEntryItem* MemberOf(TComponent* component, const QString& name) {
  TCls* cls = orvcodeh::SiteCls(component);
  if (cls == nullptr) cls = orvcodeh::GetClsOf(component->ClassType());
  return orvcodeh::As<TEntryItem>(cls->FindItem(name));
}

// Walks from a component up its owners; the first whose class finds the name.
TEntryItem* FindMember(TComponent* start, const QString& name, TComponent** target) {
  for (TComponent* c = start; c != nullptr; c = c->Owner()) {
    if (TEntryItem* member = MemberOf(c, name)) {
      *target = c;
      return member;
    }
  }
  return nullptr;
}

}  // namespace

void TRootCls::BindPackage(TEntryCls* eventType) {
  if (eventType->MethodCode != nullptr) return;
  const QString method = PackageMethodName(eventType->Name());
  for (TClass package : packages_) {
    if (const TMethodInfo* code = package->MethodAddress(method)) {
      eventType->MethodCode = code;
      eventType->EventClass = package;
      return;
    }
  }
}

TEntryCls* TRootCls::EventTypeCls(const TTypeInfo* methodType) {
  if (auto* known = orvcodeh::As<TEntryCls>(TableFind(methodType->Name))) return known;
  const bool function = methodType->MethodKind == mkFunction;
  TCls* owner =
      orvcodeh::GetClsOf(function ? TFunctionCls::StaticClass() : TProcedureCls::StaticClass());
  TEntryCls* cls = function ? static_cast<TEntryCls*>(new TFunctionCls(owner))
                            : static_cast<TEntryCls*>(new TProcedureCls(owner));
  cls->ChangeName(methodType->Name);
  BindPackage(cls);
  for (const TParamInfo& p : methodType->Params) {
    auto* param = new TParamItem(cls);
    param->Flags = ParamFlags(p.Flags);
    param->ChangeName(p.Name);
    param->SetClsName(p.TypeName);
  }
  if (function) static_cast<TFunctionCls*>(cls)->SetResultClsName(methodType->ResultType);
  return cls;
}

void TRootCls::RegisterEventPackage(TClass packageClass) {
  if (packageClass == nullptr) return;
  if (std::find(packages_.begin(), packages_.end(), packageClass) == packages_.end())
    packages_.push_back(packageClass);
  for (TCls* cls : TableClasses())
    if (auto* entryCls = orvcodeh::As<TEntryCls>(cls)) BindPackage(entryCls);
}

const TMethodInfo* TRootCls::AddMethodName(TComponent* instance, const QString& name) {
  const TMethodInfo* native =
      instance != nullptr ? instance->ClassType()->MethodAddress(name) : nullptr;
  methodNames_.push_back(std::make_unique<TMethodNameHolder>(name, instance, native));
  return methodNames_.back().get();
}

void TRootCls::BindEvent(TComp* scope, TComponent* root, TComponent* component,
                         const TPropInfo* prop, TMethodNameHolder* holder) {
  const TMethod native{holder->Native, holder->Native != nullptr ? holder->Instance : nullptr};
  TEntryCls* eventType = EventTypeCls(prop->PropType);
  if (eventType->EventClass == nullptr ||
      !eventType->EventClass->InheritsFrom(TEntryItem::StaticClass())) {
    SetMethodProp(component, prop, native);
    return;
  }

  TComponent* target = nullptr;
  TEntryItem* member = FindMember(holder->Instance, holder->Name, &target);
  if (member == nullptr && scope != nullptr) {
    if ((member = orvcodeh::As<TEntryItem>(scope->FindItem(holder->Name))) != nullptr)
      target = root;
  }
  if (member == nullptr && holder->Native != nullptr) {
    SetMethodProp(component, prop, native);
    return;
  }
  if (member == nullptr) {
    // "Component.Method": a component of the root's owner, then its method.
    QString name = holder->Name;
    TComponent* start = root != nullptr ? root->Owner() : nullptr;
    while (start != nullptr && name.contains(QLatin1Char('.'))) {
      const qsizetype dot = name.indexOf(QLatin1Char('.'));
      start = start->FindComponent(name.left(dot));
      name = name.mid(dot + 1);
    }
    if (start != nullptr) member = FindMember(start, name, &target);
  }
  if (member == nullptr || target == nullptr) {
    orvcodeh::ShowBox(
        orvcodeh::TBoxKind::Attention,
        QStringLiteral("Загрузка: Метод \"%1.%2\" не найден")
            .arg(holder->Instance != nullptr ? holder->Instance->ClassName() : QString(),
                 holder->Name));
    SetMethodProp(component, prop, TMethod{});
    return;
  }

  auto* item = orvcodeh::As<TEventItem>(eventType->EventClass->Create(target));
  if (item == nullptr) {
    SetMethodProp(component, prop, native);
    return;
  }
  item->SetParentComponent(target);
  item->SetCls(member->Cls());
  // The member is reached through its handle: a member that is gone makes the call fail
  // instead of running freed code.
  const qint64 memberHandle = member->ObjectHandle();
  const QString memberName = member->Name();
  item->OnCall = [memberHandle, memberName](TObject* slf, VariantArgs& args) -> Variant {
    auto* m = orvcodeh::As<TEntryItem>(TObject::FromHandle(memberHandle));
    if (m == nullptr)
      throw Exception(memberName + QStringLiteral(": the script routine no longer exists"));
    return m->Call(slf, args);
  };
  SetMethodProp(component, prop, TMethod{eventType->MethodCode, item});
}

void TRootCls::BindComponentEvents(TComp* scope, TComponent* root, TComponent* component) {
  if (methodNames_.empty()) return;
  for (const TPropInfo* prop : component->ClassType()->Properties()) {
    if (prop->Kind() != tkMethod) continue;
    const TMethod value = GetMethodProp(component, prop);
    auto it = std::find_if(methodNames_.begin(), methodNames_.end(),
                           [&](const auto& h) { return h.get() == value.Code; });
    if (it == methodNames_.end()) continue;
    std::unique_ptr<TMethodNameHolder> holder = std::move(*it);
    methodNames_.erase(it);
    BindEvent(scope, root, component, prop, holder.get());
    // The event no longer refers to the holder; one that still does (a copy of the event
    // elsewhere) keeps a pending name that never runs.
    if (GetMethodProp(component, prop).Code == holder.get()) retired_.push_back(std::move(holder));
  }
  for (TComponent* owned : std::vector<TComponent*>(component->ComponentList()))
    BindComponentEvents(scope, root, owned);
}

void TRootCls::BindEvents(QString& errorText, const QStringList* lines, TComponent* instance,
                          bool bind, const QString& sourceName) {
  errorText.clear();
  if (instance == nullptr) return;
  TCls* site = orvcodeh::SiteCls(instance);
  if (lines != nullptr) {
    if (site == nullptr) {
      site = new TSiteInstanceCls(nullptr);
      site->SetClsParent(orvcodeh::GetClsOf(instance->ClassType()));
    } else {
      instance->RemoveComponent(site);
    }
  }
  struct SiteNameBack {
    TCls* site;
    TComponent* instance;
    ~SiteNameBack() {
      if (site != nullptr) site->ChangeName(orvcodeh::SiteName(instance));
    }
  } nameBack{site, instance};

  if (lines != nullptr) {
    site->ChangeName(QStringLiteral("T"));
    for (TComponent* owned : instance->ComponentList()) {
      const QString name = owned->Name();
      if (name.trimmed().isEmpty() || site->FindItem(name) != nullptr) continue;
      auto* item = new TComponentFieldItem(site);
      item->SetComponent(owned);
      item->SetCls(orvcodeh::GetClsOf(owned->ClassType()));
      item->ChangeName(name);
    }
    instance->InsertComponent(site);
    if (!lines->isEmpty() && compiler_ &&
        (sourceName.isEmpty() || sourceName.startsWith(QLatin1Char(':')))) {
      errorText = Compile(lines->join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    }
  }
  if (bind) BindComponentEvents(site, instance, instance);

  if (bind && !methodNames_.empty()) {
    QStringList names;
    for (auto& holder : methodNames_) {
      names << holder->Name;
      retired_.push_back(std::move(holder));
    }
    methodNames_.clear();
    orvcodeh::ShowBox(orvcodeh::TBoxKind::Plain,
                      instance->Name() + QStringLiteral(": ") + instance->ClassName() +
                          QStringLiteral(" has ") + QString::number(names.size()) +
                          QStringLiteral(" unknown event(s): ") + names.join(QStringLiteral(", ")));
  }
}
