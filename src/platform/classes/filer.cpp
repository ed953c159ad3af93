#include "filer.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

#include <vector>

namespace {

// String lists store their lines as "Strings = ('a' 'b')".
void StringsHook(TPersistent* instance, TFiler* filer) {
  auto* strings = dynamic_cast<TStrings*>(instance);
  if (strings == nullptr) return;
  filer->DefineProperty(
      QStringLiteral("Strings"),
      [strings](const TTextValue& value) {
        strings->BeginUpdate();
        strings->Clear();
        for (const TTextValue& line : value.List) {
          switch (line.kind) {
            case TTextValue::vaString:
            case TTextValue::vaIdent: strings->Add(line.Str); break;
            case TTextValue::vaInt: strings->Add(QString::number(line.Int)); break;
            case TTextValue::vaFloat: strings->Add(QString::number(line.Float)); break;
            default: break;
          }
        }
        strings->EndUpdate();
      },
      [strings] {
        TTextValue v;
        v.kind = TTextValue::vaList;
        for (int i = 0; i < strings->Count(); ++i)
          v.List.push_back(TTextValue::MakeString(strings->Get(i)));
        return v;
      },
      strings->Count() > 0);
}

std::vector<TDefinePropertiesHook>& Hooks() {
  static auto* hooks = new std::vector<TDefinePropertiesHook>{&StringsHook};
  return *hooks;
}

}  // namespace

void TFiler::DefineBinaryProperty(const QString& name,
                                  const std::function<void(const QByteArray&)>& read,
                                  const std::function<QByteArray()>& write, bool hasData) {
  DefineProperty(
      name,
      [read, name](const TTextValue& v) {
        if (v.kind != TTextValue::vaBinary) {
          throw EReadError(QStringLiteral("Binary data expected for %1").arg(name));
        }
        read(v.Binary);
      },
      [write] {
        TTextValue v;
        v.kind = TTextValue::vaBinary;
        v.Binary = write();
        return v;
      },
      hasData);
}

void RegisterDefinePropertiesHook(TDefinePropertiesHook hook) {
  for (TDefinePropertiesHook h : Hooks()) {
    if (h == hook) return;
  }
  Hooks().push_back(hook);
}

void DefineAllProperties(TPersistent* instance, TFiler* filer) {
  instance->DefineProperties(filer);
  for (TDefinePropertiesHook h : Hooks()) h(instance, filer);
}
