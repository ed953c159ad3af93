#include "orvsys.h"

#include "platform/classes/reader.h"
#include "platform/ui/graphics.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/sysutils.h"

#include <algorithm>

TObject* CheckNil(TObject* object) {
  if (object == nullptr) orvsys::RaiseError({"CheckNil", "Slf = nil"});
  return object;
}

TObject* CheckClass(TObject* object, TClass cls) {
  if (object == nullptr) {
    orvsys::RaiseError({"CheckClass", "Slf = nil", "is not",
                        TVarRec::Class(cls != nullptr ? cls->ClassName() : QString())});
  }
  if (cls == nullptr || !object->InheritsFrom(cls)) {
    orvsys::RaiseError({"CheckClass", object, "is not",
                        TVarRec::Class(cls != nullptr ? cls->ClassName() : QString())});
  }
  return object;
}

namespace orvsys {

namespace {
const QString kSep = QStringLiteral(" ... ");

QString ObjectName(const TObject* object) {
  const TPropInfo* p = GetPropInfo(object, QStringLiteral("Name"));
  if (p == nullptr || !p->CanRead()) return QString();
  const TTypeKind k = p->Kind();
  if (k != tkAString && k != tkLString && k != tkSString && k != tkWString && k != tkUString)
    return QString();
  return GetStrProp(object, p);
}
}  // namespace

QString ArgsToText(const TVarRecs& args) {
  QString text;
  for (const TVarRec& a : args) {
    switch (a.VType) {
      case TVarRec::vtInteger:
      case TVarRec::vtInt64: text += kSep + QString::number(a.VInt); break;
      case TVarRec::vtQWord: text += kSep + QString::number(a.VQWord); break;
      case TVarRec::vtBoolean:
        text += QStringLiteral(" .. ") +
                (a.VInt != 0 ? QStringLiteral("True") : QStringLiteral("False"));
        break;
      case TVarRec::vtChar:
      case TVarRec::vtWideChar:
        text += kSep + QLatin1Char('\'') + a.VString + QLatin1Char('\'');
        break;
      case TVarRec::vtExtended: text += kSep + FloatToStr(a.VExtended); break;
      case TVarRec::vtCurrency: text += kSep + CurrToStr(a.VCurrency); break;
      case TVarRec::vtString: text += kSep + QLatin1Char('"') + a.VString + QLatin1Char('"'); break;
      case TVarRec::vtPointer:
        if (a.VPointer == nullptr) text += kSep + QStringLiteral("nil");
        break;
      case TVarRec::vtObject:
        if (a.VObject == nullptr) {
          text += kSep + QStringLiteral("nil");
        } else {
          text += kSep + a.VObject->ClassName() + QLatin1Char('.') + ObjectName(a.VObject);
        }
        break;
      case TVarRec::vtClass: text += kSep + a.VString; break;
      case TVarRec::vtVariant: text += kSep + VarToStr(a.VVariant); break;
    }
  }
  return text;
}

void RaiseError(const TVarRecs& args) { throw TOrvError(ArgsToText(args)); }

bool IsClass(const TObject* object, TClass cls) {
  return object != nullptr && cls != nullptr && object->InheritsFrom(cls);
}

bool IsClassOut(TObject* object, TClass cls, TObject*& result) {
  const bool ok = IsClass(object, cls);
  result = ok ? object : nullptr;
  return ok;
}

TObject* AsClassOrNil(TObject* object, TClass cls) {
  return IsClass(object, cls) ? object : nullptr;
}

namespace {
const TPropInfo* PropOfKinds(TObject* object, const QString& name,
                             std::initializer_list<TTypeKind> kinds) {
  const TPropInfo* p = object != nullptr ? GetPropInfo(object, name) : nullptr;
  if (p == nullptr) return nullptr;
  return std::find(kinds.begin(), kinds.end(), p->Kind()) != kinds.end() ? p : nullptr;
}
const std::initializer_list<TTypeKind> kStringKinds = {tkSString, tkLString, tkAString, tkWString,
                                                       tkUString};
}  // namespace

TMethod GetMethodPropByName(TObject* object, const QString& name) {
  const TPropInfo* p = PropOfKinds(object, name, {tkMethod});
  return p != nullptr && p->CanRead() ? GetMethodProp(object, p) : TMethod{};
}

bool SetMethodPropByName(const QString& name, TObject* object, const TMethod& method) {
  const TPropInfo* p = PropOfKinds(object, name, {tkMethod});
  if (p == nullptr || !p->CanWrite()) return false;
  SetMethodProp(object, p, method);
  return true;
}

bool SetEventByName(const QString& name, TObject* object, TObject* data, const TMethodInfo* code) {
  return SetMethodPropByName(name, object, TMethod{code, data});
}

qint64 GetOrdPropByName(const QString& name, TObject* object) {
  const TPropInfo* p = PropOfKinds(
      object, name,
      {tkInteger, tkChar, tkEnumeration, tkInterface, tkClass, tkWChar, tkBool, tkSet, tkUChar});
  if (p == nullptr || !p->CanRead()) return 0;
  if (p->Kind() == tkInterface) return GetInterfaceProp(object, p) != nullptr ? 1 : 0;
  return GetOrdProp(object, p);
}

bool SetOrdPropByName(const QString& name, TObject* object, qint64 value) {
  const TPropInfo* p = PropOfKinds(object, name,
                                   {tkInteger, tkChar, tkEnumeration, tkClass, tkWChar, tkBool,
                                    tkSet, tkUChar, tkInt64, tkQWord});
  if (p == nullptr || !p->CanWrite()) return false;
  SetOrdProp(object, p, value);
  return true;
}

QString GetStrPropByName(const QString& name, TObject* object) {
  const TPropInfo* p = PropOfKinds(object, name, kStringKinds);
  return p != nullptr && p->CanRead() ? GetStrProp(object, p) : QString();
}

bool SetStrPropByName(const QString& name, TObject* object, const QString& value) {
  const TPropInfo* p = PropOfKinds(object, name, kStringKinds);
  if (p == nullptr || !p->CanWrite()) return false;
  SetStrProp(object, p, value);
  return true;
}

TObject* GetObjectPropByName(const QString& name, TObject* object, TClass cls) {
  const TPropInfo* p = PropOfKinds(object, name, {tkClass});
  if (p == nullptr || !p->CanRead()) return nullptr;
  TClass declared = p->PropType->ClassType();
  if (cls != nullptr && (declared == nullptr || !declared->InheritsFrom(cls))) return nullptr;
  return GetObjectProp(object, p);
}

bool SetObjectPropByName(const QString& name, TObject* object, TClass cls, TObject* value) {
  const TPropInfo* p = PropOfKinds(object, name, {tkClass});
  if (p == nullptr || !p->CanWrite()) return false;
  TClass declared = p->PropType->ClassType();
  if (cls != nullptr && (declared == nullptr || !declared->InheritsFrom(cls))) return false;
  if (value != nullptr && cls != nullptr && !value->InheritsFrom(cls)) return false;
  SetObjectProp(object, p, value);
  return true;
}

QString ObjectCaption(const QString& name, const QString& caption, TObject* object) {
  if (object == nullptr) return QString();
  QString text = object->ClassName();
  const QString n = name.isEmpty() ? GetStrPropByName(QStringLiteral("Name"), object) : name;
  if (!n.isEmpty()) text += QStringLiteral(": ") + n;
  const QString c =
      caption.isEmpty() ? GetStrPropByName(QStringLiteral("Caption"), object) : caption;
  if (!c.isEmpty()) text += QStringLiteral(" // ") + c;
  return text;
}

bool QueryIntf(IInterface* intf, const TGUID& iid, IInterface*& result) {
  result = nullptr;
  if (intf == nullptr) return false;
  result = intf->QueryInterface(iid);
  return result != nullptr;
}

bool IntfSupports(IInterface* intf, const TGUID& iid, IInterface*& result) {
  return QueryIntf(intf, iid, result);
}

bool GetObjIntf(TObject* object, const TGUID& iid, IInterface*& result) {
  result = object != nullptr ? object->GetInterface(iid) : nullptr;
  return result != nullptr;
}

bool GetIntf(TObject* object, const TGUID& iid, IInterface*& result) {
  if (GetObjIntf(object, iid, result)) return true;
  auto* c = dynamic_cast<TComponent*>(object);
  if (c != nullptr && c->VCLComObject() != nullptr) result = c->VCLComObject()->QueryInterface(iid);
  return result != nullptr;
}

bool QueryObjIntf(TObject* object, const TGUID& iid, IInterface*& result) {
  result = nullptr;
  if (object == nullptr) return false;
  // The object's IUnknown is the first interface of its table.
  for (TClass c = object->ClassType(); c != nullptr; c = c->ClassParent()) {
    if (!c->OwnInterfaces().empty()) {
      IInterface* unknown = c->OwnInterfaces().front().Get(object);
      return QueryIntf(unknown, iid, result);
    }
  }
  return false;
}

bool FindOwnerIntf(TComponent* component, const TGUID& iid, IInterface*& result) {
  result = nullptr;
  for (TComponent* c = component; c != nullptr; c = c->Owner()) {
    if (GetObjIntf(c, iid, result)) return true;
  }
  return false;
}

bool FindOwnerIntfEx(TComponent* component, const TGUID& iid, IInterface*& result) {
  result = nullptr;
  for (TComponent* c = component != nullptr ? component->Owner() : nullptr; c != nullptr;
       c = c->Owner()) {
    if (GetIntf(c, iid, result)) return true;
  }
  return false;
}

bool FindOwnerSupporting(TComponent* component, TClass cls, TComponent*& result) {
  result = nullptr;
  for (TComponent* c = component != nullptr ? component->Owner() : nullptr; c != nullptr;
       c = c->Owner()) {
    if (c->InheritsFrom(cls)) {
      result = c;
      return true;
    }
  }
  return false;
}

bool LinkOwnerIntf(TComponent* component, TClass cls, TComponent*& reference) {
  if (reference == nullptr && FindOwnerSupporting(component, cls, reference)) {
    reference->FreeNotification(component);
  }
  return reference != nullptr;
}

void FreeCoIntf(IInterface*& intf) {
  if (intf == nullptr) return;
  auto* ref = QueryAs<ICoObject>(intf);
  intf = nullptr;
  if (ref == nullptr) return;
  TComponent* component = ref->GetComponent();
  TObject* object = orvco::ObjectOf(component);
  if (object != nullptr) object->Free();
}

bool ReadComponentText(const QString& text, TComponent* component) {
  ::ReadComponentText(text, component);
  return true;
}

TComponent* FindComponentByPath(TComponent* root, const QString& path) {
  QString rest = path;
  const int dot = path.indexOf(QLatin1Char('.'));
  if (dot >= 0) {
    root = FindGlobalComponent(path.left(dot));
    rest = path.mid(dot + 1);
  }
  return root != nullptr ? root->FindComponent(rest) : nullptr;
}

void MoveToOwner(TComponent* component, TComponent* newOwner) {
  if (component == nullptr) return;
  if (component->Owner() != nullptr) component->Owner()->RemoveComponent(component);
  if (newOwner != nullptr) newOwner->InsertComponent(component);
}

void SaveStringToFile(const QString& content, const QString& fileName) {
  TFileStream file(fileName, fmCreate);
  file.WriteBuffer(ToAnsi(content));
}

int VarArrayLength(const Variant& v) {
  if (!v.IsArray()) return 1;
  return v.ArrayHighBound() - v.ArrayLowBound() + 1;
}

Variant VarArrayItem(const Variant& v, int index) {
  if (!v.IsArray()) {
    if (index == 0 || index == -1) return v;
    throw EVariantBadIndexError(QStringLiteral("Variant array index out of bounds"));
  }
  const int at = index >= 0 ? v.ArrayLowBound() + index : v.ArrayHighBound() + 1 + index;
  return v.ArrayGet(at);
}

bool VarArrayEquals(const Variant& a, const Variant& b) {
  const int n = VarArrayLength(a);
  if (n != VarArrayLength(b)) return false;
  for (int i = 0; i < n; ++i) {
    const Variant x = VarArrayItem(a, i);
    const Variant y = VarArrayItem(b, i);
    if (x.VType() != y.VType()) {
      if (VarToStr(x) != VarToStr(y)) return false;
    } else if (!(x == y)) {
      return false;
    }
  }
  return true;
}

bool VarEquals(const Variant& a, const Variant& b) { return VarArrayEquals(a, b); }

int VarTypeToFieldType(TVarType type) {
  // Ordinals of TFieldType: 0 unknown, 1 string, 2 smallint, 3 integer, 5 Boolean,
  // 6 float, 8 BCD, 11 date-time, 25 large integer.
  switch (type) {
    case varSmallint:
    case varShortInt:
    case varByte: return 2;
    case varInteger:
    case varWord: return 3;
    case varSingle:
    case varDouble:
    case varLongWord:
    case varQWord: return 6;
    case varCurrency: return 8;
    case varDate: return 11;
    case varOleStr:
    case varString: return 1;
    case varBoolean: return 5;
    case varInt64: return 25;
    default: return 0;
  }
}

int PosDateSeparator(const QString& text) {
  return int(text.indexOf(FormatSettings().DateSeparator)) + 1;
}
int PosTimeSeparator(const QString& text) {
  return int(text.indexOf(FormatSettings().TimeSeparator)) + 1;
}

QString LocalizeDateTimeFormat(const QString& format) {
  QString result = format;
  result.replace(QLatin1Char(':'), FormatSettings().TimeSeparator);
  result.replace(QLatin1Char('.'), FormatSettings().DateSeparator);
  return result;
}

QString FormatDateTimeLocal(const QString& format, double moment) {
  return FormatDateTime(LocalizeDateTimeFormat(format), moment);
}

QString JoinStrings(const TStrings* list, int n, const QString& separator) {
  if (list == nullptr) return QString();
  const int count = n >= 1 ? std::min(n, list->Count()) : list->Count();
  QStringList lines;
  for (int i = 0; i < count; ++i) lines << list->Get(i);
  return lines.join(separator);
}

QString RemoveFileExt(const QString& fileName) { return ChangeFileExt(fileName, QString()); }

qint64 StrToInt64Value(const QString& text) { return StrToInt64(text); }

QString IntToStrVar(qint64 value) { return IntToStr(value); }

namespace {
quint32 DefaultSysColor(TColor color) { return quint32(::ColorToRGB(color)); }
TSysColorResolver gSysColor = &DefaultSysColor;

TColor Shade(TColor color, int direction) {
  const quint32 rgb = color < 0 ? gSysColor(color) : quint32(color);
  quint32 out = 0;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int c = int((rgb >> shift) & 0xFF);
    const int d = std::min(c / 2, 127 - c / 2);
    out |= quint32(std::clamp(c + direction * d, 0, 255)) << shift;
  }
  return TColor(out);
}
}  // namespace

void SetSysColorResolver(TSysColorResolver resolver) {
  gSysColor = resolver != nullptr ? resolver : &DefaultSysColor;
}

TColor LightenColor(TColor color) { return Shade(color, 1); }
TColor DarkenColor(TColor color) { return Shade(color, -1); }

}  // namespace orvsys
