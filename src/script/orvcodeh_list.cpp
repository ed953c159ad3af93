// A readable listing of the registry, for review of what scripts can reach.
#include "orvcodeh.h"

#include <algorithm>

namespace {

QString KindOf(const TCompItem* item) {
  if (dynamic_cast<const TEntryItem*>(item) != nullptr)
    return dynamic_cast<const TFunctionCls*>(item->Cls()) != nullptr ? QStringLiteral("function")
                                                                     : QStringLiteral("procedure");
  if (dynamic_cast<const TSysPropItem*>(item) != nullptr)
    return QStringLiteral("published property");
  if (dynamic_cast<const TSysFieldItem*>(item) != nullptr) return QStringLiteral("published field");
  if (dynamic_cast<const TComponentFieldItem*>(item) != nullptr)
    return QStringLiteral("component field");
  if (dynamic_cast<const TArrayItem*>(item) != nullptr) return QStringLiteral("indexed property");
  if (dynamic_cast<const TConstArrayItem*>(item) != nullptr)
    return QStringLiteral("indexed constant");
  if (dynamic_cast<const TPropItem*>(item) != nullptr) return QStringLiteral("property");
  if (dynamic_cast<const TReservedConstItem*>(item) != nullptr) return QStringLiteral("constant");
  if (dynamic_cast<const TParamItem*>(item) != nullptr) return QStringLiteral("parameter");
  if (dynamic_cast<const TConstItem*>(item) != nullptr) return QStringLiteral("value");
  return item->ClassName();
}

bool HasSetter(const TCompItem* item) {
  if (auto* sys = dynamic_cast<const TSysPropItem*>(item)) return sys->PropInfo()->CanWrite();
  if (auto* v = dynamic_cast<const TValueItem*>(item))
    return v->SetHandler != nullptr || bool(v->OnSetValueCall) || bool(v->OnSetValue);
  if (auto* a = dynamic_cast<const TArrayItem*>(item))
    return a->SetHandler != nullptr || bool(a->OnSetValueCall) || bool(a->OnSetValue);
  return false;
}

}  // namespace

namespace orvcodeh {

QStringList RegistryListing(const TRootCls* root) {
  QStringList lines;
  if (root == nullptr) return lines;
  for (TCls* cls : root->TableClasses()) {
    const QString owner = cls == root ? QString() : cls->Name() + QLatin1Char('.');
    for (TCompItem* item : cls->ItemList()) {
      QString result;
      if (auto* fn = dynamic_cast<const TFunctionCls*>(item->Cls());
          fn != nullptr && dynamic_cast<TEntryItem*>(item))
        result = fn->ResultClsName();
      else
        result = item->ClsName();
      const bool entry = dynamic_cast<TEntryItem*>(item) != nullptr;
      lines << QStringList{owner + item->Name(), KindOf(item), entry ? item->ClsName() : QString(),
                           result,
                           entry ? QString()
                                 : (HasSetter(item) ? QStringLiteral("setter")
                                                    : QStringLiteral("read-only"))}
                   .join(QLatin1Char('\t'));
    }
  }
  std::sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) < 0;
  });
  lines.removeDuplicates();
  return lines;
}

}  // namespace orvcodeh
