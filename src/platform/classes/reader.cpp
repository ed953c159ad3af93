#include "reader.h"

#include "collection.h"
#include "filer.h"
#include "classregistry.h"
#include "intidents.h"

#include "platform/rtl/stringlist.h"

#include <algorithm>

// Reads one defined property: the filer answers whether a definition took it.
class TReader::Filer : public TFiler {
 public:
  Filer(TComponent* root, const QString& name, const TTextValue& value)
      : name_(name), value_(value) {
    root_ = root;
  }
  void DefineProperty(const QString& name, const TReadProc& read, const TWriteProc&,
                      bool) override {
    if (!handled_ && name.compare(name_, Qt::CaseInsensitive) == 0 && read) {
      read(value_);
      handled_ = true;
    }
  }
  bool IsReader() const override { return true; }
  bool Handled() const { return handled_; }

 private:
  const QString& name_;
  const TTextValue& value_;
  bool handled_ = false;
};

void TReader::Fail(const QString& message, int line) {
  throw EReadError(QStringLiteral("%1 at line %2").arg(message).arg(line));
}

namespace {

// An error raised while reading, with the line added when it has none yet.
[[noreturn]] void Rethrow(const Exception& e, int line) {
  if (e.Message().contains(QLatin1String(" at line "))) e.Raise();
  std::unique_ptr<Exception> copy = e.Clone();
  copy->SetMessage(QStringLiteral("%1 at line %2").arg(e.Message()).arg(line));
  copy->Raise();
  throw;  // not reached
}

}  // namespace

TComponent* TReader::ReadRootComponent(const TTextObject& text, TComponent* root) {
  bool created = false;
  if (root == nullptr) {
    TClass cls = GetClass(text.ClassName);
    if (cls == nullptr || !cls->InheritsFrom(TComponent::StaticClass())) {
      Fail(QStringLiteral("Class %1 not found").arg(text.ClassName), text.Line);
    }
    root = dynamic_cast<TComponent*>(cls->Create(nullptr));
    created = true;
  }
  root_ = root;
  loaded_.clear();
  fixups_.clear();
  unresolved_.clear();
  try {
    if (!text.Name.isEmpty() && text.Name != root->Name()) {
      try {
        root->SetName(text.Name);
      } catch (const Exception& e) {
        Rethrow(e, text.Line);
      }
    }
    if (text.kind == TTextObject::Inline) root->SetInline(true);
    ReadComponentBody(root, text, root);
    ResolveFixups();
  } catch (...) {
    for (TComponent* c : loaded_) {
      c->SetComponentStateFlag(csReading, false);
      c->SetComponentStateFlag(csLoading, false);
    }
    loaded_.clear();
    fixups_.clear();
    if (created) root->Free();
    throw;
  }
  const std::vector<TComponent*> loaded = std::move(loaded_);
  loaded_.clear();
  for (TComponent* c : loaded) c->SetComponentStateFlag(csReading, false);
  for (TComponent* c : loaded) c->Loaded();
  return root;
}

void TReader::ReadComponentBody(TComponent* component, const TTextObject& text,
                                TComponent* lookupRoot) {
  component->SetComponentStateFlag(csLoading, true);
  component->SetComponentStateFlag(csReading, true);
  loaded_.push_back(component);
  for (const TTextProperty& p : text.Props) ReadProperty(component, p, lookupRoot);
  // Inside an inline block the inline component owns and finds the children.
  TComponent* childRoot = component->ComponentState().Contains(csInline) ? component : lookupRoot;
  for (const TTextObject& child : text.Children) ReadChild(child, component, childRoot);
}

TComponent* TReader::ReadChild(const TTextObject& text, TComponent* parent,
                               TComponent* lookupRoot) {
  TComponent* component = nullptr;
  bool created = false;
  if (text.kind == TTextObject::Inherited) {
    component = lookupRoot->FindComponent(text.Name);
    if (component == nullptr) {
      Fail(QStringLiteral("Ancestor for \"%1\" not found").arg(text.Name), text.Line);
    }
  } else {
    TClass cls = GetClass(text.ClassName);
    if (cls == nullptr) Fail(QStringLiteral("Class %1 not found").arg(text.ClassName), text.Line);
    if (!cls->InheritsFrom(TComponent::StaticClass())) {
      Fail(QStringLiteral("Class %1 is not a component class").arg(text.ClassName), text.Line);
    }
    try {
      if (OnCreateComponent) component = OnCreateComponent(cls, lookupRoot);
      if (component == nullptr) component = dynamic_cast<TComponent*>(cls->Create(lookupRoot));
    } catch (const Exception& e) {
      Rethrow(e, text.Line);
    }
    created = true;
  }
  try {
    if (created) {
      if (text.kind == TTextObject::Inline) component->SetInline(true);
      try {
        component->SetName(text.Name);
        component->SetParentComponent(parent);  // a parent may refuse the child
      } catch (const Exception& e) {
        Rethrow(e, text.Line);
      }
    }
    ReadComponentBody(component, text, lookupRoot);
  } catch (...) {
    if (created) {
      // Forget it and everything read under it before it goes.
      auto keep = [component](TComponent* c) {
        for (TComponent* o = c; o != nullptr; o = o->Owner()) {
          if (o == component) return false;
        }
        return true;
      };
      loaded_.erase(
          std::remove_if(loaded_.begin(), loaded_.end(), [&](TComponent* c) { return !keep(c); }),
          loaded_.end());
      fixups_.erase(std::remove_if(fixups_.begin(), fixups_.end(),
                                   [&](const Fixup& f) {
                                     auto* c = dynamic_cast<TComponent*>(f.instance);
                                     return c != nullptr && !keep(c);
                                   }),
                    fixups_.end());
      component->Free();
    }
    throw;
  }
  return component;
}

void TReader::ReadProperty(TPersistent* instance, const TTextProperty& prop,
                           TComponent* lookupRoot) {
  try {
    const QStringList path = prop.Name.split(QLatin1Char('.'));
    TPersistent* target = instance;
    for (int i = 0; i + 1 < path.size(); ++i) {
      const TPropInfo* p = GetPropInfo(target, path[i]);
      if (p == nullptr || p->Kind() != tkClass) {
        Fail(QStringLiteral("Unknown property: \"%1\" of %2").arg(path[i], target->ClassName()),
             prop.Line);
      }
      auto* next = dynamic_cast<TPersistent*>(GetObjectProp(target, p));
      if (next == nullptr) {
        Fail(QStringLiteral("Property %1 of %2 holds no object").arg(path[i], target->ClassName()),
             prop.Line);
      }
      target = next;
    }
    const QString& name = path.last();
    if (const TPropInfo* p = GetPropInfo(target, name)) {
      SetValue(target, p, prop.Value, lookupRoot);
      return;
    }
    Filer filer(root_, name, prop.Value);
    DefineAllProperties(target, &filer);
    if (!filer.Handled()) {
      Fail(QStringLiteral("Unknown property: \"%1\" of %2").arg(name, target->ClassName()),
           prop.Line);
    }
  } catch (const Exception& e) {
    if (OnPropertyError) {
      QString message = e.Message();
      if (!message.contains(QLatin1String(" at line ")))
        message += QStringLiteral(" at line %1").arg(prop.Line);
      if (OnPropertyError(message)) return;
    }
    Rethrow(e, prop.Line);
  }
}

void TReader::SetValue(TObject* instance, const TPropInfo* prop, const TTextValue& v,
                       TComponent* lookupRoot) {
  auto invalid = [&]() {
    Fail(QStringLiteral("Invalid value for property %1").arg(prop->Name), v.Line);
  };
  const TTypeInfo* type = prop->PropType;
  switch (prop->Kind()) {
    case tkInteger:
    case tkInt64:
    case tkQWord:
      if (v.kind == TTextValue::vaIdent) {
        qint64 value = 0;
        TIdentToInt toInt = FindIdentToInt(type);
        if (toInt == nullptr || !toInt(v.Str, value)) {
          Fail(QStringLiteral("Invalid value \"%1\" for property %2").arg(v.Str, prop->Name),
               v.Line);
        }
        return SetOrdProp(instance, prop, value);
      }
      if (v.kind != TTextValue::vaInt) invalid();
      return SetOrdProp(instance, prop, v.Int);
    case tkChar:
    case tkWChar:
    case tkUChar:
      if (v.kind == TTextValue::vaString && v.Str.size() == 1)
        return SetOrdProp(instance, prop, v.Str.at(0).unicode());
      if (v.kind == TTextValue::vaInt) return SetOrdProp(instance, prop, v.Int);
      invalid();
      return;
    case tkEnumeration:
    case tkBool: {
      if (v.kind == TTextValue::vaInt && prop->Kind() == tkEnumeration)
        return SetOrdProp(instance, prop, v.Int);
      if (v.kind != TTextValue::vaIdent) invalid();
      const qint64 ord = type->EnumValue(v.Str);
      if (ord < 0)
        Fail(QStringLiteral("Invalid value \"%1\" for property %2").arg(v.Str, prop->Name), v.Line);
      return SetOrdProp(instance, prop, ord);
    }
    case tkSet:
      if (v.kind != TTextValue::vaSet) invalid();
      return SetSetProp(instance, prop, v.Set.join(QLatin1Char(',')));
    case tkFloat:
      if (v.kind == TTextValue::vaInt) return SetFloatProp(instance, prop, double(v.Int));
      if (v.kind != TTextValue::vaFloat) invalid();
      return SetFloatProp(instance, prop, v.Float);
    case tkSString:
    case tkLString:
    case tkAString:
    case tkWString:
    case tkUString:
      if (v.kind != TTextValue::vaString) invalid();
      return SetStrProp(instance, prop, v.Str);
    case tkVariant: {
      Variant value;
      switch (v.kind) {
        case TTextValue::vaInt:
          value = (v.Int >= INT32_MIN && v.Int <= INT32_MAX) ? Variant(int(v.Int)) : Variant(v.Int);
          break;
        case TTextValue::vaFloat:
          if (v.FloatSuffix == QLatin1Char('d'))
            value = Variant::FromDate(v.Float);
          else if (v.FloatSuffix == QLatin1Char('c'))
            value = Variant(Currency::FromDouble(v.Float));
          else
            value = Variant(v.Float);
          break;
        case TTextValue::vaString: value = Variant(v.Str); break;
        case TTextValue::vaIdent:
          if (v.Str.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
            value = Variant(true);
          else if (v.Str.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
            value = Variant(false);
          else if (v.Str.compare(QLatin1String("Null"), Qt::CaseInsensitive) == 0)
            value = Variant::Null();
          else if (v.Str.compare(QLatin1String("Unassigned"), Qt::CaseInsensitive) != 0)
            invalid();
          break;
        default: invalid();
      }
      return SetVariantProp(instance, prop, value);
    }
    case tkClass: {
      if (v.kind == TTextValue::vaCollection || v.kind == TTextValue::vaList) {
        TObject* target = GetObjectProp(instance, prop);
        if (v.kind == TTextValue::vaCollection) return ReadCollection(target, v, lookupRoot);
        auto* strings = dynamic_cast<TStrings*>(target);
        if (strings == nullptr) invalid();
        Filer filer(root_, QStringLiteral("Strings"), v);
        DefineAllProperties(strings, &filer);
        return;
      }
      if (v.kind != TTextValue::vaIdent) invalid();
      if (v.Str.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0)
        return SetObjectProp(instance, prop, nullptr);
      fixups_.push_back(Fixup{instance, prop, v.Str, lookupRoot});
      return;
    }
    case tkInterface:
      if (v.kind != TTextValue::vaIdent) invalid();
      if (v.Str.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0)
        return SetInterfaceProp(instance, prop, nullptr);
      fixups_.push_back(Fixup{instance, prop, v.Str, lookupRoot});
      return;
    case tkMethod: {
      if (v.kind != TTextValue::vaIdent) invalid();
      if (v.Str.compare(QLatin1String("nil"), Qt::CaseInsensitive) == 0)
        return SetMethodProp(instance, prop, TMethod{});
      TMethod m;
      if (OnFindMethod) {
        m = OnFindMethod(lookupRoot, v.Str);
      } else if (const TMethodInfo* code = lookupRoot->ClassType()->MethodAddress(v.Str)) {
        m = TMethod{code, lookupRoot};
      }
      if (m.Code == nullptr) {
        throw EMethodNotFound(QStringLiteral("Method \"%1\" not found in %2 at line %3")
                                  .arg(v.Str, lookupRoot->ClassName())
                                  .arg(v.Line));
      }
      return SetMethodProp(instance, prop, m);
    }
    default: Fail(QStringLiteral("Property %1 cannot be read from text").arg(prop->Name), v.Line);
  }
}

void TReader::ReadCollection(TObject* target, const TTextValue& value, TComponent* lookupRoot) {
  auto* collection = dynamic_cast<TCollection*>(target);
  if (collection == nullptr) Fail(QStringLiteral("Collection expected"), value.Line);
  collection->BeginUpdate();
  try {
    collection->Clear();
    for (const TTextValue::Item& item : value.Items) {
      TCollectionItem* made = collection->Add();
      for (const TTextProperty& p : item.Props) ReadProperty(made, p, lookupRoot);
    }
  } catch (...) {
    collection->EndUpdate();
    throw;
  }
  collection->EndUpdate();
}

TComponent* TReader::FindReference(const QString& name, TComponent* lookupRoot) const {
  const int dot = name.indexOf(QLatin1Char('.'));
  if (dot < 0) {
    if (TComponent* c = lookupRoot->FindComponent(name)) return c;
    if (lookupRoot->Name().compare(name, Qt::CaseInsensitive) == 0) return lookupRoot;
    if (root_ != lookupRoot) {
      if (TComponent* c = root_->FindComponent(name)) return c;
    }
    return FindGlobalComponent(name);
  }
  TComponent* start = FindGlobalComponent(name.left(dot));
  if (start == nullptr && lookupRoot->Name().compare(name.left(dot), Qt::CaseInsensitive) == 0)
    start = lookupRoot;
  if (start == nullptr) start = lookupRoot->FindComponent(name.left(dot));
  QString rest = name.mid(dot + 1);
  while (start != nullptr && !rest.isEmpty()) {
    const int next = rest.indexOf(QLatin1Char('.'));
    start = start->FindComponent(next < 0 ? rest : rest.left(next));
    rest = next < 0 ? QString() : rest.mid(next + 1);
  }
  return start;
}

void TReader::ResolveFixups() {
  std::vector<Fixup> fixups = std::move(fixups_);
  fixups_.clear();
  for (const Fixup& f : fixups) {
    TComponent* c = FindReference(f.name, f.lookupRoot);
    if (c == nullptr) {
      unresolved_ << f.name;
      continue;
    }
    if (f.prop->Kind() == tkInterface) {
      IInterface* intf = c->QueryInterface(f.prop->PropType->InterfaceIID);
      if (intf != nullptr) SetInterfaceProp(f.instance, f.prop, intf);
      continue;
    }
    TClass expected = f.prop->PropType->ClassType();
    if (expected != nullptr && !c->InheritsFrom(expected)) {
      unresolved_ << f.name;
      continue;
    }
    SetObjectProp(f.instance, f.prop, c);
  }
}

TComponent* ReadComponentText(const QString& text, TComponent* root,
                              const TReader::TFindMethod& findMethod) {
  const TTextObject parsed = ParseComponentText(text);
  TReader reader;
  reader.OnFindMethod = findMethod;
  return reader.ReadRootComponent(parsed, root);
}
