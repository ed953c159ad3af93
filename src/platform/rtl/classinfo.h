#pragma once
// Class metadata: what a class publishes by name (properties, methods, component fields,
// interfaces) and how an instance is made through its class reference. The tables are
// plain data; src/platform/classes builds them from each class's declaration and reads
// and writes properties through them.
#include "interfaces.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>
#include <memory>
#include <vector>

class TObject;
class TClassInfo;
class TMethodInfo;
using TClass = const TClassInfo*;

enum TTypeKind {
  tkUnknown,
  tkInteger,
  tkChar,
  tkEnumeration,
  tkFloat,
  tkSet,
  tkMethod,
  tkSString,
  tkLString,
  tkAString,
  tkWString,
  tkVariant,
  tkInterface,
  tkClass,
  tkWChar,
  tkBool,
  tkInt64,
  tkQWord,
  tkUString,
  tkUChar
};
enum TOrdType { otSByte, otUByte, otSWord, otUWord, otSLong, otULong, otSQWord, otUQWord };
enum TFloatType { ftSingle, ftDouble, ftExtended, ftComp, ftCurr };
enum TMethodKind { mkProcedure, mkFunction };

// One parameter of an event type, as written in its declaration.
struct TParamInfo {
  enum Flag { pfVar = 1, pfConst = 2, pfOut = 4, pfArray = 8 };
  int Flags = 0;
  QString Name;
  QString TypeName;
};

// The type of a published property.
struct TTypeInfo {
  TTypeKind Kind = tkUnknown;
  QString Name;
  // Ordinal kinds.
  TOrdType OrdType = otSLong;
  qint64 MinValue = 0;
  qint64 MaxValue = 0;
  QStringList EnumNames;                     // tkEnumeration: names by ordinal
  const TTypeInfo* (*CompType)() = nullptr;  // tkSet: the element type
  TFloatType FloatType = ftDouble;           // tkFloat
  TClass (*ClassRef)() = nullptr;            // tkClass: the declared class
  QString InterfaceIID;                      // tkInterface
  // tkMethod: the event type's signature.
  TMethodKind MethodKind = mkProcedure;
  std::vector<TParamInfo> Params;
  QString ResultType;
  const void* SigTag = nullptr;  // identity of the C++ signature

  bool IsOrdinal() const;  // integer, char, enumeration, set, Boolean
  TClass ClassType() const { return ClassRef != nullptr ? ClassRef() : nullptr; }
  // Enumeration value name by ordinal ("" outside the range); ordinal by name (-1 if none).
  QString EnumName(qint64 value) const;
  qint64 EnumValue(const QString& name) const;
};

// A method reference: the code (a published method or a pending name) and the object
// it runs on.
struct TMethod {
  const TMethodInfo* Code = nullptr;
  TObject* Data = nullptr;
  bool Assigned() const { return Code != nullptr; }
  friend bool operator==(const TMethod& a, const TMethod& b) {
    return a.Code == b.Code && a.Data == b.Data;
  }
};

// Code of a method by name. Static entries are a class's published methods; a pending
// entry stands for a name that is not bound yet and never runs.
class TMethodInfo {
 public:
  // Type-erased callable; the event type casts it back after comparing SigTag.
  struct Callable {
    virtual ~Callable() = default;
  };

  TMethodInfo() = default;
  TMethodInfo(QString name, const void* sigTag, std::shared_ptr<const Callable> callable)
      : Name(std::move(name)), SigTag(sigTag), Call(std::move(callable)) {}
  TMethodInfo(const TMethodInfo&) = delete;
  TMethodInfo& operator=(const TMethodInfo&) = delete;
  virtual ~TMethodInfo();

  bool IsPending() const { return Call == nullptr; }

  QString Name;
  const void* SigTag = nullptr;
  std::shared_ptr<const Callable> Call;  // nullptr: a pending name
  TClass Declaring = nullptr;
  // Set when a Variant token names this code; the destructor then calls OnForget so the
  // tokens are withdrawn.
  mutable bool Tokenized = false;
  static inline void (*OnForget)(const TMethodInfo*) = nullptr;
};

// Storage kinds through which property values travel, by the property type's kind:
// ordinal kinds, Int64 and QWord as qint64; floats as double; strings as QString;
// Variant; class as TObject*; method as TMethod; interface as IInterface*.
struct TPropInfo {
  QString Name;
  const TTypeInfo* PropType = nullptr;
  TClass Declaring = nullptr;
  std::function<void(const TObject*, void*)> Getter;  // empty: write-only
  std::function<void(TObject*, const void*)> Setter;  // empty: read-only
  std::function<bool(const TObject*)> StoredProc;     // empty: StoredConst holds
  bool StoredConst = true;
  static constexpr qint64 NoDefault = qint64(0x80000000);
  qint64 Default = NoDefault;  // ordinal kinds only

  TTypeKind Kind() const { return PropType->Kind; }
  bool CanRead() const { return bool(Getter); }
  bool CanWrite() const { return bool(Setter); }
};

// A published field that holds a component, with the class that declares it.
struct TFieldInfo {
  QString Name;
  TClass Declaring = nullptr;
  TClass (*FieldClass)() = nullptr;
  std::function<TObject*(const TObject*)> Get;
  std::function<void(TObject*, TObject*)> Set;
};

struct TInterfaceEntry {
  TGUID IID;
  std::function<IInterface*(TObject*)> Get;
};

class TClassInfo {
 public:
  TClassInfo(QString name, TClass parent) : name_(std::move(name)), parent_(parent) {}
  TClassInfo(const TClassInfo&) = delete;
  TClassInfo& operator=(const TClassInfo&) = delete;

  const QString& ClassName() const { return name_; }
  TClass ClassParent() const { return parent_; }
  bool InheritsFrom(TClass ancestor) const;
  // Case-insensitive comparison with the class's own name.
  bool ClassNameIs(const QString& name) const;

  // The virtual constructor. The argument is the owner of a component, the collection of a
  // collection item, or unused. Raises EComponentError for an abstract class.
  TObject* Create(TObject* arg = nullptr) const;
  bool CanCreate() const { return bool(factory_); }

  // Published properties, inherited ones first, in declaration order. A redeclared
  // property replaces the inherited one at the inherited position.
  const std::vector<const TPropInfo*>& Properties() const;
  const TPropInfo* FindProperty(const QString& name) const;  // case-insensitive
  const std::vector<std::unique_ptr<TPropInfo>>& OwnProperties() const { return props_; }

  // Published methods by name, searched up the class chain.
  const TMethodInfo* MethodAddress(const QString& name) const;
  // The name of a published method of this class chain ("" when it is not one).
  QString MethodName(const TMethodInfo* code) const;
  const std::vector<std::unique_ptr<TMethodInfo>>& OwnMethods() const { return methods_; }

  // Published fields by name, searched up the class chain.
  const TFieldInfo* FindField(const QString& name) const;
  const std::vector<std::unique_ptr<TFieldInfo>>& OwnFields() const { return fields_; }

  // The interface of that identity from this class chain's own tables, or nullptr.
  IInterface* GetInterface(TObject* instance, const TGUID& iid) const;
  const std::vector<TInterfaceEntry>& OwnInterfaces() const { return interfaces_; }

  // Filled once, while the class's descriptor is built.
  void SetFactory(std::function<TObject*(TObject*)> factory) { factory_ = std::move(factory); }
  TPropInfo& AddProperty(std::unique_ptr<TPropInfo> prop);
  TMethodInfo& AddMethod(std::unique_ptr<TMethodInfo> method);
  TFieldInfo& AddField(std::unique_ptr<TFieldInfo> field);
  void AddInterface(TInterfaceEntry entry) { interfaces_.push_back(std::move(entry)); }

 private:
  QString name_;
  TClass parent_;
  std::function<TObject*(TObject*)> factory_;
  std::vector<std::unique_ptr<TPropInfo>> props_;
  std::vector<std::unique_ptr<TMethodInfo>> methods_;
  std::vector<std::unique_ptr<TFieldInfo>> fields_;
  std::vector<TInterfaceEntry> interfaces_;
  mutable std::vector<const TPropInfo*> allProps_;
  mutable bool allPropsReady_ = false;
};
