#pragma once
// The program's exception class, the guards every native binding calls before it touches
// its target, and a toolbox of small shared routines: published properties by name,
// interface queries with delegation and owner search, component text, Variant arrays,
// localised date formats and colour shading.
//
// The dataset helpers (BlobToStream, StreamToBlob, CacheFields, CacheParams) belong with
// the dataset model and live there.
#include "orvco.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/varrec.h"
#include "platform/rtl/variant.h"

class TStrings;

ORV_DECLARE_EXCEPTION(TOrvError, Exception)

namespace orvsys {

// The error text of an argument list: " ... " before each value (" .. " before a Boolean),
// texts in double quotes, characters in single quotes, objects as Class.Name, nil for a
// missing object or an empty pointer.
QString ArgsToText(const TVarRecs& args);
[[noreturn]] void RaiseError(const TVarRecs& args);

bool IsClass(const TObject* object, TClass cls);
bool IsClassOut(TObject* object, TClass cls, TObject*& result);
TObject* AsClassOrNil(TObject* object, TClass cls);

// Published properties by name; a missing object or property, or one of another kind,
// makes a setter answer false and a getter the empty value.
TMethod GetMethodPropByName(TObject* object, const QString& name);
bool SetMethodPropByName(const QString& name, TObject* object, const TMethod& method);
bool SetEventByName(const QString& name, TObject* object, TObject* data, const TMethodInfo* code);
qint64 GetOrdPropByName(const QString& name, TObject* object);
bool SetOrdPropByName(const QString& name, TObject* object, qint64 value);
QString GetStrPropByName(const QString& name, TObject* object);
bool SetStrPropByName(const QString& name, TObject* object, const QString& value);
TObject* GetObjectPropByName(const QString& name, TObject* object, TClass cls);
bool SetObjectPropByName(const QString& name, TObject* object, TClass cls, TObject* value);

// "Class: Name // Caption", name and caption read from the published Name and Caption
// when not given; "" for nil.
QString ObjectCaption(const QString& name, const QString& caption, TObject* object);

bool QueryIntf(IInterface* intf, const TGUID& iid, IInterface*& result);
bool IntfSupports(IInterface* intf, const TGUID& iid, IInterface*& result);
// The object's own interface table only.
bool GetObjIntf(TObject* object, const TGUID& iid, IInterface*& result);
// The own table, then the provider slot of a component.
bool GetIntf(TObject* object, const TGUID& iid, IInterface*& result);
bool QueryObjIntf(TObject* object, const TGUID& iid, IInterface*& result);
// The component, then its owners upward, each by its own table.
bool FindOwnerIntf(TComponent* component, const TGUID& iid, IInterface*& result);
// The owners upward (not the component), each through GetIntf.
bool FindOwnerIntfEx(TComponent* component, const TGUID& iid, IInterface*& result);
// The first owner upward that inherits the class.
bool FindOwnerSupporting(TComponent* component, TClass cls, TComponent*& result);
// Fills an empty reference with FindOwnerSupporting and asks the owner found to notify
// the component when it is freed; true when the reference is set.
bool LinkOwnerIntf(TComponent* component, TClass cls, TComponent*& reference);
// Frees the object behind the interface (through its component reference) and clears it.
void FreeCoIntf(IInterface*& intf);

// Reads component text into the component (errors of the reader propagate).
bool ReadComponentText(const QString& text, TComponent* component);
// "X.Y": X among the global components, then Y in it; else the path in root.
TComponent* FindComponentByPath(TComponent* root, const QString& path);
void MoveToOwner(TComponent* component, TComponent* newOwner);
// Writes the content's 1251 bytes into the file (created or truncated).
void SaveStringToFile(const QString& content, const QString& fileName);

int VarArrayLength(const Variant& v);
// Index >= 0 counts from the low bound, < 0 back from the high bound; a non-array gives
// itself for 0 and -1. Out of range raises EVariantBadIndexError.
Variant VarArrayItem(const Variant& v, int index);
bool VarEquals(const Variant& a, const Variant& b);
bool VarArrayEquals(const Variant& a, const Variant& b);
// The field type for a Variant type (ordinals of the dataset model's TFieldType).
int VarTypeToFieldType(TVarType type);

int PosDateSeparator(const QString& text);
int PosTimeSeparator(const QString& text);
QString LocalizeDateTimeFormat(const QString& format);
QString FormatDateTimeLocal(const QString& format, double moment);
// The first n lines joined (all when n < 1 or the list is shorter).
QString JoinStrings(const TStrings* list, int n, const QString& separator);
QString RemoveFileExt(const QString& fileName);
qint64 StrToInt64Value(const QString& text);
QString IntToStrVar(qint64 value);
inline int MinInt(int a, int b) { return a < b ? a : b; }

using TColor = qint32;
// System colours (high bit set) are resolved through a replaceable resolver; the screens
// install the real one.
using TSysColorResolver = quint32 (*)(TColor color);
void SetSysColorResolver(TSysColorResolver resolver);
TColor LightenColor(TColor color);
TColor DarkenColor(TColor color);

}  // namespace orvsys

// Guards: raise TOrvError when the object is missing or not of the class.
TObject* CheckNil(TObject* object);
TObject* CheckClass(TObject* object, TClass cls);
template <class T>
T* CheckClass(TObject* object) {
  return static_cast<T*>(dynamic_cast<T*>(CheckClass(object, T::StaticClass())));
}
