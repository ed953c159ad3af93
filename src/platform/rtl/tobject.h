#pragma once
// The root of every class of the program. Objects are never carried as raw addresses in
// values: an object's handle is a stable 64-bit number, resolved through the table of
// live objects, so a stale or forged handle resolves to nullptr instead of a dangling pointer.
//
// Every class with metadata declares ORV_CLASS(Name, Base) in its body and describes what
// it publishes in its source file (see platform/classes/typinfo.h).
//
// Naming: T and I prefixes belong to names that scripts and stored texts know; names that
// only C++ code uses go without them.
#include "classinfo.h"

#include <QtCore/QString>

#include <type_traits>
#include <typeinfo>

class TFiler;
template <class C>
class TClassBuilder;

// Declares the class's metadata hook; the section after it is public.
#define ORV_CLASS(Name, Base)                   \
 public:                                        \
  using inherited = Base;                       \
  static TClass StaticClass();                  \
  static void Describe(TClassBuilder<Name>& c); \
  TClass ClassType() const override { return StaticClass(); }

// Answers interface queries of an interface-implementing class from its class table.
#define ORV_INTERFACES \
  IInterface* QueryInterface(const TGUID& iid) override { return GetInterface(iid); }

class TObject {
 public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject();

  static TClass StaticClass();
  // The class of this object. Classes declared with ORV_CLASS answer their own; others
  // answer a descriptor registered for their C++ type, else their nearest described base.
  virtual TClass ClassType() const;
  virtual QString ClassName() const;
  bool InheritsFrom(TClass ancestor) const;
  bool ClassNameIs(const QString& name) const;

  // Called after the constructor chain when an object is made through its class
  // reference, and before the destructor chain by Free: virtual calls reach the whole
  // object there, which they do not from constructors and destructors.
  virtual void AfterConstruction() {}
  virtual void BeforeDestruction() {}
  // Destroys the object: BeforeDestruction, then the destructors.
  void Free();
  // True from the moment Free starts: a destructor of a derived class may still be running.
  bool DestructionStarted() const { return destructionStarted_; }

  // The interface of that identity from the class's own interface table, or nullptr.
  IInterface* GetInterface(const TGUID& iid);

  // The handle of this object, registered in the live table on first use. Handles start
  // far above the range of ordinary integers and are never reused.
  qint64 ObjectHandle() const;
  // The live object with that handle, or nullptr (0, unknown, or already destroyed).
  static TObject* FromHandle(qint64 handle);
  // True when the handle belongs to a live object.
  static bool IsLiveHandle(qint64 handle) { return FromHandle(handle) != nullptr; }

 protected:
  bool destructionStarted_ = false;  // set by Free before BeforeDestruction

 private:
  mutable qint64 handle_ = 0;
};

// Registers the descriptor answered for objects of a C++ type that does not declare
// ORV_CLASS itself (classes of the runtime described from the classes layer).
void RegisterClassForType(const std::type_info& type, TClass cls);
TClass ClassForType(const std::type_info& type);

// An object that can copy itself from another (Assign) and has an owner for its name path.
class TPersistent : public TObject {
 public:
  static TClass StaticClass();
  TClass ClassType() const override;
  // Copies from source; the default asks the source to AssignTo this object, and a pair that
  // cannot copy raises EConvertError "Cannot assign a <source class> to a <class>".
  virtual void Assign(TPersistent* source);
  virtual TPersistent* GetOwner() const { return nullptr; }
  virtual QString GetNamePath() const { return ClassName(); }
  // Declares data that component text stores beside the published properties.
  virtual void DefineProperties(TFiler* filer) { (void)filer; }

 protected:
  virtual void AssignTo(TPersistent* dest);
  [[noreturn]] void AssignError(TPersistent* source);
};

// Frees an object and clears the reference (FreeAndNil, as scripts call it).
template <class T>
void FreeAndNil(T*& object) {
  T* o = object;
  object = nullptr;
  if (o == nullptr) return;
  if constexpr (std::is_base_of_v<TObject, T>) {
    o->Free();
  } else {
    delete o;
  }
}
