#pragma once
// Reflection: how a class declares what it publishes, and the access routines that read
// and write published properties by name. Scripts, component text and the designer all
// go through these tables.
//
// A class declares ORV_CLASS(TFoo, TBase) in its body and describes itself once:
//
//   ORV_DESCRIBE(TFoo) {
//     c.Prop("Caption", &TFoo::Caption, &TFoo::SetCaption);
//     c.Prop("Tag", &TFoo::tag_).Default(0);            // a field, read and written
//     c.Prop("Count", &TFoo::Count);                     // read-only
//     c.Prop("OnClick", &TFoo::onClick_);                // an event field
//     c.Method("ButtonClick", &TFoo::ButtonClick);       // published method
//     c.Field("OkButton", &TFoo::okButton_);             // published component field
//     c.Implements<IFoo>();
//   }
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "classerrors.h"
#include "events.h"
#include "tset.h"

#include "platform/rtl/currency.h"
#include "platform/rtl/tobject.h"
#include "platform/rtl/variant.h"

#include <concepts>
#include <functional>
#include <type_traits>

// ---- Type information of C++ types --------------------------------------------------

const TTypeInfo* TypeInfoOf(int*);
const TTypeInfo* TypeInfoOf(qint16*);
const TTypeInfo* TypeInfoOf(quint16*);
const TTypeInfo* TypeInfoOf(quint8*);
const TTypeInfo* TypeInfoOf(unsigned*);
const TTypeInfo* TypeInfoOf(bool*);
const TTypeInfo* TypeInfoOf(qint64*);
const TTypeInfo* TypeInfoOf(quint64*);
const TTypeInfo* TypeInfoOf(double*);
const TTypeInfo* TypeInfoOf(float*);
const TTypeInfo* TypeInfoOf(Currency*);
const TTypeInfo* TypeInfoOf(QChar*);
const TTypeInfo* TypeInfoOf(QString*);
const TTypeInfo* TypeInfoOf(Variant*);
// TDateTime is a double in C++; properties of that type say so with .Type(...).
const TTypeInfo* TypeInfoTDateTime();
// A copy of a type's information under another name (made once per name).
const TTypeInfo* AliasTypeInfo(const TTypeInfo* base, const QString& name);

const TTypeInfo* MakeEnumTypeInfo(const QString& name, const QString& valueNames);
const TTypeInfo* MakeSetTypeInfo(const QString& name, const TTypeInfo* (*element)());
const TTypeInfo* MakeClassTypeInfo(TClass (*cls)());
const TTypeInfo* MakeInterfaceTypeInfo(const QString& name, const TGUID& iid);

template <class T>
const TTypeInfo* TypeInfoFor() {
  return TypeInfoOf(static_cast<T*>(nullptr));
}

template <class T>
concept DescribedClass = std::is_base_of_v<TObject, T>;
template <class T>
concept EventType = std::is_base_of_v<TEventBase, T> && requires {
  T::StaticTypeInfo();
};
template <class T>
concept InterfaceType =
    std::is_base_of_v<IInterface, T> && !std::is_base_of_v<TObject, T> && requires {
  T::IID;
};

template <DescribedClass T>
const TTypeInfo* TypeInfoOf(T**) {
  static const TTypeInfo* info = MakeClassTypeInfo([]() -> TClass { return T::StaticClass(); });
  return info;
}
template <EventType T>
const TTypeInfo* TypeInfoOf(T*) {
  return T::StaticTypeInfo();
}
template <InterfaceType T>
const TTypeInfo* TypeInfoOf(T**) {
  static const TTypeInfo* info = MakeInterfaceTypeInfo(T::InterfaceName(), T::IID);
  return info;
}

// Declares an enumeration with the value names reflection uses:
// ORV_ENUM(TAlign, alNone, alTop, alBottom)
#define ORV_ENUM(Name, ...)                                                    \
  enum Name { __VA_ARGS__ };                                                   \
  inline const TTypeInfo* TypeInfoOf(Name*) {                                  \
    static const TTypeInfo* info =                                             \
        MakeEnumTypeInfo(QStringLiteral(#Name), QStringLiteral(#__VA_ARGS__)); \
    return info;                                                               \
  }

// Declares a set type over an enumeration declared with ORV_ENUM:
// ORV_SET(TAnchors, TAnchorKind)
#define ORV_SET(Name, Enum)                                                                    \
  using Name = TSet<Enum>;                                                                     \
  inline const TTypeInfo* TypeInfoOf(TSet<Enum>*) {                                            \
    static const TTypeInfo* info = MakeSetTypeInfo(QStringLiteral(#Name), &TypeInfoFor<Enum>); \
    return info;                                                                               \
  }

// ---- Conversions between a property's C++ type and its storage kind -----------------

namespace detail {

[[noreturn]] void RangeError(const TTypeInfo* type, qint64 value);
[[noreturn]] void ClassError(TObject* value, TClass expected);
[[noreturn]] void InterfaceError(const TTypeInfo* type);

template <class T>
struct PropValue;  // Storage type and conversions per C++ type

template <class T>
requires(std::is_integral_v<T> && !std::is_same_v<T, bool>) struct PropValue<T> {
  using Storage = qint64;
  static Storage To(T v) { return qint64(v); }
  static T From(Storage v, const TTypeInfo* type) {
    if constexpr (sizeof(T) < 8) {
      if (v < type->MinValue || v > type->MaxValue) RangeError(type, v);
    }
    return T(v);
  }
};
template <>
struct PropValue<bool> {
  using Storage = qint64;
  static Storage To(bool v) { return v ? 1 : 0; }
  static bool From(Storage v, const TTypeInfo*) { return v != 0; }
};
template <class T>
requires std::is_enum_v<T>
struct PropValue<T> {
  using Storage = qint64;
  static Storage To(T v) { return qint64(v); }
  static T From(Storage v, const TTypeInfo* type) {
    if (v < type->MinValue || v > type->MaxValue) RangeError(type, v);
    return T(v);
  }
};
template <class E>
struct PropValue<TSet<E>> {
  using Storage = qint64;
  static Storage To(TSet<E> v) { return qint64(v.Ord()); }
  static TSet<E> From(Storage v, const TTypeInfo*) { return TSet<E>::FromOrd(quint64(v)); }
};
template <>
struct PropValue<QChar> {
  using Storage = qint64;
  static Storage To(QChar v) { return v.unicode(); }
  static QChar From(Storage v, const TTypeInfo* type) {
    if (v < 0 || v > 0xFFFF) RangeError(type, v);
    return QChar(char16_t(v));
  }
};
template <class T>
requires std::is_floating_point_v<T>
struct PropValue<T> {
  using Storage = double;
  static Storage To(T v) { return double(v); }
  static T From(Storage v, const TTypeInfo*) { return T(v); }
};
template <>
struct PropValue<Currency> {
  using Storage = double;
  static Storage To(Currency v) { return v.ToDouble(); }
  static Currency From(Storage v, const TTypeInfo*) { return Currency::FromDouble(v); }
};
template <>
struct PropValue<QString> {
  using Storage = QString;
  static const QString& To(const QString& v) { return v; }
  static const QString& From(const QString& v, const TTypeInfo*) { return v; }
};
template <>
struct PropValue<Variant> {
  using Storage = Variant;
  static const Variant& To(const Variant& v) { return v; }
  static const Variant& From(const Variant& v, const TTypeInfo*) { return v; }
};
template <DescribedClass T>
struct PropValue<T*> {
  using Storage = TObject*;
  static Storage To(T* v) { return v; }
  static T* From(Storage v, const TTypeInfo* type) {
    if (v == nullptr) return nullptr;
    auto* cast = dynamic_cast<T*>(v);
    if (cast == nullptr) ClassError(v, type->ClassType());
    return cast;
  }
};
template <InterfaceType T>
struct PropValue<T*> {
  using Storage = IInterface*;
  static Storage To(T* v) { return v; }
  static T* From(Storage v, const TTypeInfo* type) {
    if (v == nullptr) return nullptr;
    auto* cast = dynamic_cast<T*>(v);
    if (cast == nullptr) InterfaceError(type);
    return cast;
  }
};
template <EventType T>
struct PropValue<T> {
  using Storage = TMethod;
  static Storage To(const T& v) { return v.Method(); }
  static T From(const Storage& v, const TTypeInfo*) { return T(v); }
};

template <class C>
concept CreatesWithArg = requires {
  typename C::TCreateArg;
}
&&std::is_constructible_v<C, typename C::TCreateArg*>;

template <class C, class G>
using GetterResult = std::remove_cvref_t<std::invoke_result_t<G, const C*>>;

}  // namespace detail

// ---- The builder behind ORV_DESCRIBE ------------------------------------------------

class TPropBuilder {
 public:
  explicit TPropBuilder(TPropInfo& p) : p_(p) {}
  TPropBuilder& Default(qint64 value) {
    p_.Default = value;
    return *this;
  }
  TPropBuilder& Stored(bool stored) {
    p_.StoredConst = stored;
    return *this;
  }
  TPropBuilder& StoredWhen(std::function<bool(const TObject*)> test) {
    p_.StoredProc = std::move(test);
    return *this;
  }
  // Reports another type of the same kind (TDateTime for a double, TColor for an int...).
  TPropBuilder& Type(const TTypeInfo* type) {
    p_.PropType = type;
    return *this;
  }

 private:
  TPropInfo& p_;
};

template <class C>
class TClassBuilder {
 public:
  explicit TClassBuilder(TClassInfo& info) : info_(info) {}

  // A property read by getter (member function, field, or callable on const C*) and
  // written by setter (member function, field, callable on C*, or nullptr: read-only).
  template <class G, class S = std::nullptr_t>
  TPropBuilder Prop(const QString& name, G getter, S setter = nullptr) {
    using T = detail::GetterResult<C, G>;
    using PV = detail::PropValue<T>;
    using Storage = typename PV::Storage;
    auto prop = std::make_unique<TPropInfo>();
    prop->Name = name;
    prop->PropType = TypeInfoFor<T>();
    prop->Getter = [getter](const TObject* obj, void* out) {
      *static_cast<Storage*>(out) = PV::To(std::invoke(getter, static_cast<const C*>(obj)));
    };
    if constexpr (std::is_member_object_pointer_v<S> ||
                  (std::is_same_v<S, std::nullptr_t> && std::is_member_object_pointer_v<G>)) {
      auto field = [&] {
        if constexpr (std::is_same_v<S, std::nullptr_t>)
          return getter;
        else
          return setter;
      }();
      TPropInfo* p = prop.get();
      prop->Setter = [field, p](TObject* obj, const void* in) {
        static_cast<C*>(obj)->*field = PV::From(*static_cast<const Storage*>(in), p->PropType);
      };
    } else if constexpr (!std::is_same_v<S, std::nullptr_t>) {
      TPropInfo* p = prop.get();
      prop->Setter = [setter, p](TObject* obj, const void* in) {
        std::invoke(setter, static_cast<C*>(obj),
                    PV::From(*static_cast<const Storage*>(in), p->PropType));
      };
    }
    return TPropBuilder(info_.AddProperty(std::move(prop)));
  }

  // A write-only property.
  template <class T, class S>
  TPropBuilder WriteOnly(const QString& name, S setter) {
    using PV = detail::PropValue<T>;
    using Storage = typename PV::Storage;
    auto prop = std::make_unique<TPropInfo>();
    prop->Name = name;
    prop->PropType = TypeInfoFor<T>();
    TPropInfo* p = prop.get();
    prop->Setter = [setter, p](TObject* obj, const void* in) {
      std::invoke(setter, static_cast<C*>(obj),
                  PV::From(*static_cast<const Storage*>(in), p->PropType));
    };
    return TPropBuilder(info_.AddProperty(std::move(prop)));
  }

  // A published method, found by name (event binding, component text).
  template <class M>
  void Method(const QString& name, M member) {
    info_.AddMethod(detail::MemberMethod(name, member));
  }

  // A published field holding a component (or nullptr).
  template <class F>
  void Field(const QString& name, F* C::*field) {
    auto f = std::make_unique<TFieldInfo>();
    f->Name = name;
    f->FieldClass = []() -> TClass { return F::StaticClass(); };
    f->Get = [field](const TObject* obj) -> TObject* { return static_cast<const C*>(obj)->*field; };
    f->Set = [field](TObject* obj, TObject* value) {
      static_cast<C*>(obj)->*field = dynamic_cast<F*>(value);
    };
    info_.AddField(std::move(f));
  }

  template <class I>
  void Implements() {
    info_.AddInterface(TInterfaceEntry{
        I::IID, [](TObject* obj) -> IInterface* { return static_cast<I*>(static_cast<C*>(obj)); }});
  }

  TClassInfo& Info() { return info_; }

 private:
  TClassInfo& info_;
};

// The virtual constructor of a class: classes whose constructor takes an argument say so
// with `using TCreateArg = TComponent;` (owner) or `= TCollection;` (collection).
template <class C>
std::function<TObject*(TObject*)> ClassFactory(const QString& name) {
  if constexpr (std::is_abstract_v<C>) {
    return {};
  } else if constexpr (detail::CreatesWithArg<C>) {
    return [name](TObject* arg) -> TObject* {
      using A = typename C::TCreateArg;
      A* typed = arg != nullptr ? dynamic_cast<A*>(arg) : nullptr;
      if (arg != nullptr && typed == nullptr) detail::ClassError(arg, A::StaticClass());
      return new C(typed);
    };
  } else if constexpr (std::is_default_constructible_v<C>) {
    return [](TObject*) -> TObject* { return new C(); };
  } else {
    return {};
  }
}

template <class C, class Parent>
TClass BuildClassInfo(const QString& name, void (*describe)(TClassBuilder<C>&)) {
  auto* info = new TClassInfo(name, Parent::StaticClass());
  info->SetFactory(ClassFactory<C>(name));
  TClassBuilder<C> builder(*info);
  describe(builder);
  return info;
}

// Defines TFoo::StaticClass() for a class declared with ORV_CLASS; the block that follows
// is TFoo::Describe and fills the builder `c` (it may name private members).
#define ORV_DESCRIBE(Name)                                                             \
  TClass Name::StaticClass() {                                                         \
    static const TClass info =                                                         \
        BuildClassInfo<Name, Name::inherited>(QStringLiteral(#Name), &Name::Describe); \
    return info;                                                                       \
  }                                                                                    \
  void Name::Describe([[maybe_unused]] TClassBuilder<Name>& c)

// The same for a class whose C++ base is described from outside (its descriptor given by
// ParentExpr, e.g. ListClass() for a TList descendant).
#define ORV_DESCRIBE_PARENT(Name, ParentExpr)                                         \
  TClass Name::StaticClass() {                                                        \
    static const TClass info =                                                        \
        DescribeWithParent<Name>(QStringLiteral(#Name), ParentExpr, &Name::Describe); \
    return info;                                                                      \
  }                                                                                   \
  void Name::Describe([[maybe_unused]] TClassBuilder<Name>& c)

template <class C>
TClass DescribeWithParent(const QString& name, TClass parent, void (*describe)(TClassBuilder<C>&)) {
  auto* info = new TClassInfo(name, parent);
  info->SetFactory(ClassFactory<C>(name));
  TClassBuilder<C> builder(*info);
  describe(builder);
  return info;
}

// Describes a class that does not declare ORV_CLASS (a runtime class described from
// this layer): objects of exactly that C++ type answer it as their class.
template <class C, class Parent>
TClass DescribeExternalClass(const QString& name, TClass parent,
                             void (*describe)(TClassBuilder<C>&)) {
  auto* info = new TClassInfo(name, parent);
  info->SetFactory(ClassFactory<C>(name));
  TClassBuilder<C> builder(*info);
  describe(builder);
  RegisterClassForType(typeid(C), info);
  return info;
}

// ---- Access routines ----------------------------------------------------------------

// The property of that name (case-insensitive), or nullptr.
const TPropInfo* GetPropInfo(const TObject* instance, const QString& name);
const TPropInfo* GetPropInfo(TClass cls, const QString& name);
// The same, but an unknown name raises EPropertyError naming the property and the class.
const TPropInfo* FindPropInfo(const TObject* instance, const QString& name);
// Published properties, inherited ones first, in declaration order.
const std::vector<const TPropInfo*>& GetPropList(TClass cls);
bool IsPublishedProp(const TObject* instance, const QString& name);
bool PropIsType(const TObject* instance, const QString& name, TTypeKind kind);

// Ordinal kinds (integer, char, enumeration, set, Boolean), Int64 and QWord; a class
// property's ordinal is its object's handle (0 for nil).
qint64 GetOrdProp(const TObject* instance, const TPropInfo* prop);
void SetOrdProp(TObject* instance, const TPropInfo* prop, qint64 value);
qint64 GetInt64Prop(const TObject* instance, const TPropInfo* prop);
void SetInt64Prop(TObject* instance, const TPropInfo* prop, qint64 value);
double GetFloatProp(const TObject* instance, const TPropInfo* prop);
void SetFloatProp(TObject* instance, const TPropInfo* prop, double value);
QString GetStrProp(const TObject* instance, const TPropInfo* prop);
void SetStrProp(TObject* instance, const TPropInfo* prop, const QString& value);
Variant GetVariantProp(const TObject* instance, const TPropInfo* prop);
void SetVariantProp(TObject* instance, const TPropInfo* prop, const Variant& value);
// minClass: the object must inherit it (nullptr otherwise).
TObject* GetObjectProp(const TObject* instance, const TPropInfo* prop, TClass minClass = nullptr);
void SetObjectProp(TObject* instance, const TPropInfo* prop, TObject* value);
TMethod GetMethodProp(const TObject* instance, const TPropInfo* prop);
void SetMethodProp(TObject* instance, const TPropInfo* prop, const TMethod& value);
IInterface* GetInterfaceProp(const TObject* instance, const TPropInfo* prop);
void SetInterfaceProp(TObject* instance, const TPropInfo* prop, IInterface* value);
QString GetEnumProp(const TObject* instance, const TPropInfo* prop);  // value name
void SetEnumProp(TObject* instance, const TPropInfo* prop, const QString& valueName);
QString GetSetProp(const TObject* instance, const TPropInfo* prop);  // "a,b"
void SetSetProp(TObject* instance, const TPropInfo* prop, const QString& names);
bool IsStoredProp(const TObject* instance, const TPropInfo* prop);

// Any property as a Variant, the way scripts see it: ordinals and Int64 as Int64, floats
// as Double, strings, Variants as they are, objects as handles, methods as tokens,
// interfaces as interface Variants.
Variant GetPropValue(const TObject* instance, const TPropInfo* prop);
void SetPropValue(TObject* instance, const TPropInfo* prop, const Variant& value);

// By-name forms: an unknown property raises EPropertyError naming it.
qint64 GetOrdProp(const TObject* instance, const QString& name);
void SetOrdProp(TObject* instance, const QString& name, qint64 value);
qint64 GetInt64Prop(const TObject* instance, const QString& name);
void SetInt64Prop(TObject* instance, const QString& name, qint64 value);
double GetFloatProp(const TObject* instance, const QString& name);
void SetFloatProp(TObject* instance, const QString& name, double value);
QString GetStrProp(const TObject* instance, const QString& name);
void SetStrProp(TObject* instance, const QString& name, const QString& value);
Variant GetVariantProp(const TObject* instance, const QString& name);
void SetVariantProp(TObject* instance, const QString& name, const Variant& value);
TObject* GetObjectProp(const TObject* instance, const QString& name, TClass minClass = nullptr);
void SetObjectProp(TObject* instance, const QString& name, TObject* value);
TMethod GetMethodProp(const TObject* instance, const QString& name);
void SetMethodProp(TObject* instance, const QString& name, const TMethod& value);
IInterface* GetInterfaceProp(const TObject* instance, const QString& name);
void SetInterfaceProp(TObject* instance, const QString& name, IInterface* value);
QString GetEnumProp(const TObject* instance, const QString& name);
void SetEnumProp(TObject* instance, const QString& name, const QString& valueName);
Variant GetPropValue(const TObject* instance, const QString& name);
void SetPropValue(TObject* instance, const QString& name, const Variant& value);
bool IsStoredProp(const TObject* instance, const QString& name);
