#pragma once
// Event values: a method reference (code + object) that component text, scripts and the
// designer read and write by name. An event keeps its object as a checked handle, so an
// event whose object is gone does nothing when fired; an unassigned or pending event (a
// method name not bound yet) does nothing either.
#include "platform/rtl/tobject.h"
#include "platform/rtl/variant.h"

#include <functional>
#include <memory>
#include <type_traits>

// The callable of a method of signature R(A...), with the object as its first argument.
template <class Sig>
struct TTypedCallable;
template <class R, class... A>
struct TTypedCallable<R(A...)> : TMethodInfo::Callable {
  explicit TTypedCallable(std::function<R(TObject*, A...)> f) : Fn(std::move(f)) {}
  std::function<R(TObject*, A...)> Fn;
};

// Identity of a C++ signature: equal for equal signatures.
template <class Sig>
const void* SignatureTag() {
  static const char tag = 0;
  return &tag;
}

// The code entry of a member function, made once per function.
template <auto Member>
const TMethodInfo* MethodCodeOf();

namespace detail {
template <class T>
struct MemberTraits;
template <class C, class R, class... A>
struct MemberTraits<R (C::*)(A...)> {
  using Class = C;
  using Sig = R(A...);
};
template <class C, class R, class... A>
struct MemberTraits<R (C::*)(A...) const> {
  using Class = C;
  using Sig = R(A...);
};

// A method entry calling the member function on the object cast to its class.
template <class C, class R, class... A, class M>
std::unique_ptr<TMethodInfo> MakeMemberMethod(const QString& name, M member) {
  auto call = std::make_shared<TTypedCallable<R(A...)>>([member](TObject* self, A... args) -> R {
    return (static_cast<C*>(self)->*member)(std::forward<A>(args)...);
  });
  return std::make_unique<TMethodInfo>(name, SignatureTag<R(A...)>(), std::move(call));
}
template <class C, class R, class... A>
std::unique_ptr<TMethodInfo> MemberMethod(const QString& name, R (C::*member)(A...)) {
  return MakeMemberMethod<C, R, A...>(name, member);
}
template <class C, class R, class... A>
std::unique_ptr<TMethodInfo> MemberMethod(const QString& name, R (C::*member)(A...) const) {
  return MakeMemberMethod<C, R, A...>(name, member);
}
}  // namespace detail

template <auto Member>
const TMethodInfo* MethodCodeOf() {
  static const TMethodInfo* code = detail::MemberMethod(QString(), Member).release();
  return code;
}

// The part of every event that does not depend on its signature.
class TEventBase {
 public:
  TMethod Method() const;  // the object is nullptr when it no longer lives
  bool Assigned() const { return code_ != nullptr; }
  bool IsPending() const { return code_ != nullptr && code_->IsPending(); }
  void Clear() {
    code_ = nullptr;
    data_ = 0;
  }
  friend bool operator==(const TEventBase& a, const TEventBase& b) {
    return a.code_ == b.code_ && a.data_ == b.data_;
  }

 protected:
  // Stores the method; raises EPropertyError when the code's signature is not sigTag.
  void Store(const TMethod& method, const void* sigTag);
  TObject* Target() const;  // the live object of a runnable method, else nullptr

  const TMethodInfo* code_ = nullptr;
  qint64 data_ = 0;  // handle of the object
};

template <class Sig>
class TEvent;

template <class R, class... A>
class TEvent<R(A...)> : public TEventBase {
 public:
  using Signature = R(A...);
  TEvent() = default;
  TEvent(const TMethod& m) { Store(m, SignatureTag<Signature>()); }  // NOLINT: implicit
  TEvent& operator=(const TMethod& m) {
    Store(m, SignatureTag<Signature>());
    return *this;
  }

  // Binds a member function of the object, published or not.
  template <auto Member>
  void Bind(TObject* object) {
    Store(TMethod{MethodCodeOf<Member>(), object}, SignatureTag<Signature>());
  }

  // Runs the handler; an unassigned, pending or orphaned event does nothing (and gives
  // the default value of the result).
  R operator()(A... args) const {
    TObject* self = Target();
    if (self == nullptr) {
      if constexpr (std::is_void_v<R>)
        return;
      else
        return R{};
    }
    const auto* call = static_cast<const TTypedCallable<Signature>*>(code_->Call.get());
    return call->Fn(self, std::forward<A>(args)...);
  }
};

// Declares an event type with the name and declaration that reflection reports, e.g.
// ORV_EVENT(TNotifyEvent, void(TObject*), "procedure(Sender: TObject)").
#define ORV_EVENT(Name, Sig, Declaration)                                           \
  struct Name : TEvent<Sig> {                                                       \
    using TEvent<Sig>::TEvent;                                                      \
    using TEvent<Sig>::operator=;                                                   \
    static const TTypeInfo* StaticTypeInfo() {                                      \
      static const TTypeInfo* info = MakeMethodTypeInfo(                            \
          QStringLiteral(#Name), QStringLiteral(Declaration), SignatureTag<Sig>()); \
      return info;                                                                  \
    }                                                                               \
  };

// The type information of an event type from its declaration text:
// "procedure(Sender: TObject; var Key: Word)" or "function(const S: string): Boolean".
const TTypeInfo* MakeMethodTypeInfo(const QString& name, const QString& declaration,
                                    const void* sigTag);

ORV_EVENT(TNotifyEvent, void(TObject*), "procedure(Sender: TObject)")

// Method references inside Variants: an opaque token (a string) from a table of
// methods. Equal methods give equal tokens; a token whose object or code is gone, an
// unknown string, Empty and Null all give an unassigned method.
Variant MethodToVariant(const TMethod& method);
TMethod VariantToMethod(const Variant& value);
