#pragma once
// The shape every runtime-library binding shares: arguments read by position with the
// Variant conversions, the object a member is called on checked against its class, and
// registration from one table per group, rows in their fixed order (the registry keeps the
// first registration of a name).
#include "core/orvcls.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/tobject.h"

#include <span>

class TComponent;

namespace bindkit {

// Argument i, or Empty when the script passed fewer.
const Variant& Arg(const VariantArgs& args, size_t i);
inline QString ArgStr(const VariantArgs& a, size_t i) { return Arg(a, i).ToString(); }
inline int ArgInt(const VariantArgs& a, size_t i) { return Arg(a, i).ToInt(); }
inline qint64 ArgInt64(const VariantArgs& a, size_t i) { return Arg(a, i).ToInt64(); }
inline double ArgDouble(const VariantArgs& a, size_t i) { return Arg(a, i).ToDouble(); }
inline bool ArgBool(const VariantArgs& a, size_t i) { return Arg(a, i).ToBool(); }
inline Currency ArgCurr(const VariantArgs& a, size_t i) { return Arg(a, i).ToCurrency(); }
inline TObject* ArgObj(const VariantArgs& a, size_t i) { return orvcls::VarToObj(Arg(a, i)); }
// Writes a var argument back (the engine copies it into the script's variable).
void SetArg(VariantArgs& args, size_t i, const Variant& value);

// The guards of the bindings: a missing object raises with "Slf = nil", an object of
// another class with "is not".
TObject* CheckNil(TObject* slf);
TObject* CheckClass(TObject* slf, TClass cls);
template <class T>
T* Self(TObject* slf) {
  return static_cast<T*>(bindkit::CheckClass(slf, T::StaticClass()));
}

// One registration: a routine (kinds as digits, "2" for none), a property (getter and
// setter or none) or an indexed property with one index.
struct TRow {
  enum Kind : quint8 { Proc, Func, Prop, ArrayProp };
  Kind kind;
  const char* name;
  TNativeHandler handler;  // the routine, or the getter
  const char* kinds = "2";
  TNativeHandler setter = nullptr;
  const char* help = nullptr;  // the entry's help text (UTF-8), shown by the listing tools
};
struct TConstRow {
  const char* name;
  Variant value;
};

TParamKinds Kinds(const char* digits);
void Register(std::span<const TRow> rows);
// Property rows that stand in for published properties of the same names: the reflected
// member of the class, and those of its mirrored descendants, give way to the row.
void RegisterOverPublished(std::span<const TRow> rows);
void Register(std::span<const TConstRow> rows);

}  // namespace bindkit

// A handler body over the arguments `a`, the result `r` and the object `s`.
#define ORV_BIND(body)                          \
  +[](Variant& r, TObject* s, VariantArgs& a) { \
    (void)r;                                    \
    (void)s;                                    \
    (void)a;                                    \
    body;                                       \
  }

namespace bindkit {

// The creation bindings: with Self nil a new instance of the entry's class, with a live Self
// of that class or a descendant a new instance of Self's own class; a live object is never
// constructed a second time, and an unrelated Self is refused by CheckClass.
// The argument is the owner of a component or the collection of a collection item.
TObject* CreateInstance(TObject* slf, TClass entryClass, TObject* arg);

// An object as a script value.
inline Variant Obj(const TObject* o) { return orvcls::ObjToVar(o); }
// Argument i as a component (its class checked), or nullptr for nil.
TComponent* OwnerArg(const VariantArgs& a, size_t i);
// The CREATE binding of a component class: the first argument is the owner.
Variant CreateOwned(TObject* slf, TClass entryClass, const VariantArgs& a);
template <class T>
Variant Create(TObject* slf, const VariantArgs& a) {
  return CreateOwned(slf, T::StaticClass(), a);
}

}  // namespace bindkit
