#include "classregistry.h"

#include "platform/rtl/exceptions.h"

#include <QtCore/QHash>

namespace {

QHash<QString, TClass>& Classes() {
  static auto* classes = new QHash<QString, TClass>;
  return *classes;
}

QString Key(const QString& name) { return name.toCaseFolded(); }

}  // namespace

void RegisterClass(TClass cls) {
  if (cls == nullptr) return;
  const QString key = Key(cls->ClassName());
  TClass existing = Classes().value(key, nullptr);
  if (existing == cls) return;
  if (existing != nullptr) {
    throw EComponentError(QStringLiteral("A class named %1 already exists").arg(cls->ClassName()));
  }
  Classes().insert(key, cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls) {
  if (cls == nullptr) return;
  const QString key = Key(cls->ClassName());
  if (Classes().value(key, nullptr) == cls) Classes().remove(key);
}

TClass GetClass(const QString& name) { return Classes().value(Key(name), nullptr); }

TClass FindClass(const QString& name) {
  TClass c = GetClass(name);
  if (c == nullptr) throw EClassNotFound(QStringLiteral("Class %1 not found").arg(name));
  return c;
}
