#include "classinfo.h"

#include "exceptions.h"
#include "tobject.h"

bool TTypeInfo::IsOrdinal() const {
  switch (Kind) {
    case tkInteger:
    case tkChar:
    case tkEnumeration:
    case tkSet:
    case tkWChar:
    case tkBool:
    case tkUChar: return true;
    default: return false;
  }
}

QString TTypeInfo::EnumName(qint64 value) const {
  if (Kind == tkBool) return value == 0 ? QStringLiteral("False") : QStringLiteral("True");
  if (value < 0 || value >= EnumNames.size()) return QString();
  return EnumNames.at(int(value));
}

qint64 TTypeInfo::EnumValue(const QString& name) const {
  if (Kind == tkBool) {
    if (name.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) return 0;
    if (name.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) return 1;
    return -1;
  }
  for (int i = 0; i < EnumNames.size(); ++i) {
    if (EnumNames.at(i).compare(name, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

TMethodInfo::~TMethodInfo() {
  if (Tokenized && OnForget != nullptr) OnForget(this);
}

bool TClassInfo::InheritsFrom(TClass ancestor) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    if (c == ancestor) return true;
  }
  return false;
}

bool TClassInfo::ClassNameIs(const QString& name) const {
  return name_.compare(name, Qt::CaseInsensitive) == 0;
}

TObject* TClassInfo::Create(TObject* arg) const {
  if (!factory_) {
    throw EComponentError(
        QStringLiteral("Cannot create an instance of abstract class %1").arg(name_));
  }
  TObject* object = factory_(arg);
  object->AfterConstruction();
  return object;
}

const std::vector<const TPropInfo*>& TClassInfo::Properties() const {
  if (!allPropsReady_) {
    std::vector<const TPropInfo*> list;
    if (parent_ != nullptr) list = parent_->Properties();
    for (const auto& p : props_) {
      bool replaced = false;
      for (auto& inherited : list) {
        if (inherited->Name.compare(p->Name, Qt::CaseInsensitive) == 0) {
          inherited = p.get();
          replaced = true;
          break;
        }
      }
      if (!replaced) list.push_back(p.get());
    }
    allProps_ = std::move(list);
    allPropsReady_ = true;
  }
  return allProps_;
}

const TPropInfo* TClassInfo::FindProperty(const QString& name) const {
  for (const TPropInfo* p : Properties()) {
    if (p->Name.compare(name, Qt::CaseInsensitive) == 0) return p;
  }
  return nullptr;
}

const TMethodInfo* TClassInfo::MethodAddress(const QString& name) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const auto& m : c->methods_) {
      if (m->Name.compare(name, Qt::CaseInsensitive) == 0) return m.get();
    }
  }
  return nullptr;
}

QString TClassInfo::MethodName(const TMethodInfo* code) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const auto& m : c->methods_) {
      if (m.get() == code) return m->Name;
    }
  }
  return QString();
}

const TFieldInfo* TClassInfo::FindField(const QString& name) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const auto& f : c->fields_) {
      if (f->Name.compare(name, Qt::CaseInsensitive) == 0) return f.get();
    }
  }
  return nullptr;
}

IInterface* TClassInfo::GetInterface(TObject* instance, const TGUID& iid) const {
  for (TClass c = this; c != nullptr; c = c->parent_) {
    for (const auto& e : c->interfaces_) {
      if (e.IID.compare(iid, Qt::CaseInsensitive) == 0) return e.Get(instance);
    }
  }
  return nullptr;
}

TPropInfo& TClassInfo::AddProperty(std::unique_ptr<TPropInfo> prop) {
  prop->Declaring = this;
  props_.push_back(std::move(prop));
  allPropsReady_ = false;
  return *props_.back();
}

TMethodInfo& TClassInfo::AddMethod(std::unique_ptr<TMethodInfo> method) {
  method->Declaring = this;
  methods_.push_back(std::move(method));
  return *methods_.back();
}

TFieldInfo& TClassInfo::AddField(std::unique_ptr<TFieldInfo> field) {
  field->Declaring = this;
  fields_.push_back(std::move(field));
  return *fields_.back();
}
