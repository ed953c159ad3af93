// A readable listing of the registry, for review of what scripts can reach.
#include "orvcodeh.h"

#include <algorithm>

namespace {

QString KindOf(const TCompItem* item) {
  if (orvcodeh::As<TEntryItem>(item) != nullptr)
    return orvcodeh::As<TFunctionCls>(item->Cls()) != nullptr ? QStringLiteral("function")
                                                              : QStringLiteral("procedure");
  if (orvcodeh::As<TSysPropItem>(item) != nullptr) return QStringLiteral("published property");
  if (orvcodeh::As<TSysFieldItem>(item) != nullptr) return QStringLiteral("published field");
  if (orvcodeh::As<TComponentFieldItem>(item) != nullptr) return QStringLiteral("component field");
  if (orvcodeh::As<TArrayItem>(item) != nullptr) return QStringLiteral("indexed property");
  if (orvcodeh::As<TConstArrayItem>(item) != nullptr) return QStringLiteral("indexed constant");
  if (orvcodeh::As<TPropItem>(item) != nullptr) return QStringLiteral("property");
  if (orvcodeh::As<TReservedConstItem>(item) != nullptr) return QStringLiteral("constant");
  if (orvcodeh::As<TParamItem>(item) != nullptr) return QStringLiteral("parameter");
  if (orvcodeh::As<TConstItem>(item) != nullptr) return QStringLiteral("value");
  return item->ClassName();
}

bool HasSetter(const TCompItem* item) {
  if (auto* sys = orvcodeh::As<TSysPropItem>(item)) return sys->PropInfo()->CanWrite();
  if (auto* v = orvcodeh::As<TValueItem>(item))
    return v->SetHandler != nullptr || bool(v->OnSetValueCall) || bool(v->OnSetValue);
  if (auto* a = orvcodeh::As<TArrayItem>(item))
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
      if (auto* fn = orvcodeh::As<TFunctionCls>(item->Cls());
          fn != nullptr && orvcodeh::As<TEntryItem>(item))
        result = fn->ResultClsName();
      else
        result = item->ClsName();
      const bool entry = orvcodeh::As<TEntryItem>(item) != nullptr;
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
