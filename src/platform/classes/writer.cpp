#include "writer.h"

#include "intidents.h"

#include "collection.h"
#include "filer.h"

// Collects the defined properties that have data.
class TWriter::Filer : public TFiler {
 public:
  Filer(TComponent* root, const QString& prefix, std::vector<TTextProperty>& out)
      : prefix_(prefix), out_(out) {
    root_ = root;
  }
  void DefineProperty(const QString& name, const TReadProc&, const TWriteProc& write,
                      bool hasData) override {
    if (!hasData || !write) return;
    TTextProperty p;
    p.Name = prefix_ + name;
    p.Value = write();
    out_.push_back(std::move(p));
  }
  bool IsReader() const override { return false; }

 private:
  const QString& prefix_;
  std::vector<TTextProperty>& out_;
};

TTextObject TWriter::WriteRoot(TComponent* root) {
  root_ = root;
  return WriteComponent(root, true);
}

TTextObject TWriter::WriteComponent(TComponent* component, bool asRoot) {
  TTextObject obj;
  obj.kind = !asRoot && component->ComponentState().Contains(csInline) ? TTextObject::Inline
                                                                       : TTextObject::Object;
  obj.Name = component->Name();
  obj.ClassName = component->ClassName();
  component->SetComponentStateFlag(csWriting, true);
  WriteProperties(component, QString(), obj.Props, 0);
  component->SetComponentStateFlag(csWriting, false);
  component->GetChildren(
      [&](TComponent* child) {
        if (child->WritesState()) obj.Children.push_back(WriteComponent(child, false));
      },
      root_);
  return obj;
}

void TWriter::WriteProperties(TPersistent* instance, const QString& prefix,
                              std::vector<TTextProperty>& out, int depth) {
  for (const TPropInfo* p : GetPropList(instance->ClassType())) {
    if (!p->CanRead() || !p->CanWrite() || !IsStoredProp(instance, p)) continue;
    ValueOf(instance, p, prefix + p->Name, out, depth);
  }
  Filer filer(root_, prefix, out);
  DefineAllProperties(instance, &filer);
}

QString TWriter::ReferenceName(TComponent* component) const {
  if (component == root_) return root_->Name();
  if (component->Owner() == root_) return component->Name();
  if (component->Owner() != nullptr && !component->Owner()->Name().isEmpty()) {
    return component->Owner()->Name() + QLatin1Char('.') + component->Name();
  }
  return component->Name();
}

bool TWriter::ValueOf(TPersistent* instance, const TPropInfo* prop, const QString& name,
                      std::vector<TTextProperty>& out, int depth) {
  const TTypeInfo* type = prop->PropType;
  TTextValue v;
  switch (prop->Kind()) {
    case tkInteger:
    case tkInt64:
    case tkQWord:
    case tkChar:
    case tkWChar:
    case tkUChar:
    case tkEnumeration:
    case tkBool:
    case tkSet: {
      const qint64 ord = GetOrdProp(instance, prop);
      if (prop->Default != TPropInfo::NoDefault && ord == prop->Default) return false;
      if (prop->Kind() == tkEnumeration || prop->Kind() == tkBool) {
        v = TTextValue::MakeIdent(type->EnumName(ord));
      } else if (prop->Kind() == tkSet) {
        v.kind = TTextValue::vaSet;
        const QString names = GetSetProp(instance, prop);
        if (!names.isEmpty()) v.Set = names.split(QLatin1Char(','));
      } else if (prop->Kind() == tkChar || prop->Kind() == tkWChar || prop->Kind() == tkUChar) {
        v = TTextValue::MakeString(QString(QChar(char16_t(ord))));
      } else {
        QString ident;
        TIntToIdent toIdent = FindIntToIdent(type);
        if (toIdent != nullptr && toIdent(ord, ident))
          v = TTextValue::MakeIdent(ident);
        else
          v = TTextValue::MakeInt(ord);
      }
      break;
    }
    case tkFloat: {
      const double d = GetFloatProp(instance, prop);
      if (d == 0) return false;
      v = TTextValue::MakeFloat(d);
      break;
    }
    case tkSString:
    case tkLString:
    case tkAString:
    case tkWString:
    case tkUString: {
      const QString s = GetStrProp(instance, prop);
      if (s.isEmpty()) return false;
      v = TTextValue::MakeString(s);
      break;
    }
    case tkVariant: {
      const Variant value = GetVariantProp(instance, prop);
      if (value.IsEmpty()) return false;
      if (value.IsNull()) {
        v = TTextValue::MakeIdent(QStringLiteral("Null"));
      } else if (value.VType() == varBoolean) {
        v = TTextValue::MakeIdent(value.ToBool() ? QStringLiteral("True")
                                                 : QStringLiteral("False"));
      } else if (value.IsString()) {
        v = TTextValue::MakeString(value.ToString());
      } else if (value.IsOrdinal()) {
        v = TTextValue::MakeInt(value.ToInt64());
      } else if (value.IsFloat() || value.VType() == varDate || value.VType() == varCurrency) {
        v = TTextValue::MakeFloat(value.ToDouble());
        if (value.VType() == varDate) v.FloatSuffix = QLatin1Char('d');
        if (value.VType() == varCurrency) v.FloatSuffix = QLatin1Char('c');
      } else {
        return false;
      }
      break;
    }
    case tkClass: {
      TObject* o = GetObjectProp(instance, prop);
      if (o == nullptr) return false;
      if (auto* c = dynamic_cast<TComponent*>(o)) {
        if (c->Name().isEmpty()) return false;
        v = TTextValue::MakeIdent(ReferenceName(c));
        break;
      }
      if (auto* collection = dynamic_cast<TCollection*>(o)) {
        v.kind = TTextValue::vaCollection;
        for (int i = 0; i < collection->Count(); ++i) {
          TTextValue::Item item;
          WriteProperties(collection->Items(i), QString(), item.Props, depth + 1);
          v.Items.push_back(std::move(item));
        }
        break;
      }
      if (auto* sub = dynamic_cast<TPersistent*>(o); sub != nullptr && depth < 8) {
        WriteProperties(sub, name + QLatin1Char('.'), out, depth + 1);
      }
      return false;
    }
    case tkMethod: {
      const TMethod m = GetMethodProp(instance, prop);
      if (m.Code == nullptr || m.Code->Name.isEmpty()) return false;
      v = TTextValue::MakeIdent(m.Code->Name);
      break;
    }
    default: return false;
  }
  TTextProperty p;
  p.Name = name;
  p.Value = std::move(v);
  out.push_back(std::move(p));
  return true;
}

QString WriteComponentText(TComponent* root) {
  TWriter writer;
  return FormatComponentText(writer.WriteRoot(root));
}
