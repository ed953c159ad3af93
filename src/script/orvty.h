#pragma once
// Function components: small pieces of behaviour written into component text, nested in
// each other and run over an argument stack of typed values. A run passes the before
// phase, the scan of the children and the after phase; each answers a code: 0 done, a
// positive code a condition the caller may branch on (1 failure), a negative code a
// refusal that climbs one level per run.
#include "platform/classes/component.h"
#include "platform/classes/events.h"
#include "platform/rtl/varrec.h"

#include <memory>
#include <vector>

class TCustomAction;
class TField;
class TY;
class TYA;

ORV_EVENT(TYNotifyEvent, int(TObject*, TObject*, int),
          "function(Sender: TY; Args: TYA; Res: Integer): Integer")
ORV_EVENT(TAcceptEvent, void(TObject*, bool&), "procedure(Sender: TObject; var Accept: Boolean)")

// A typed value on the argument stack.
class TYR : public TPersistent {
 public:
  // The value a stack entry stands for.
  virtual TYR* Resolve() { return this; }
  virtual double AsFloat();     // " Is Not Float" unless the class converts
  virtual Variant AsVariant();  // " Is Not Variant" unless the class converts
  // Writes the value into the field (only when it differs); types the class does not take
  // raise "Can Not Assign".
  virtual void AssignToField(TField* field);
  // Only dataset fields compare; anything else is " Is Not Equal ".
  virtual bool Equals(TObject* other);
  virtual bool EqualsField(TField* field);

 protected:
  // A field destination is written through AssignToField, in edit state.
  void AssignTo(TPersistent* dest) override;
  [[noreturn]] void CannotAssign(const TField* field) const;
  [[noreturn]] void NotEqualField(const TField* field) const;
};

// The eleven typed values: each holds one Value.
template <class T, int Kind>
class TYRValue : public TYR {
 public:
  explicit TYRValue(T value) : Value(std::move(value)) {}
  QString ClassName() const override;
  double AsFloat() override;
  Variant AsVariant() override;
  void AssignToField(TField* field) override;
  bool EqualsField(TField* field) override;
  T Value;
};

enum TYRKind {
  ykBoolean,
  ykChar,
  ykClass,
  ykDateTime,
  ykFloat,
  ykObject,
  ykInteger,
  ykPointer,
  ykString,
  ykVariant,
  ykInt64
};
using tyrBoolean = TYRValue<bool, ykBoolean>;
using tyrChar = TYRValue<QChar, ykChar>;
using tyrClass = TYRValue<TClass, ykClass>;
using tyrDateTime = TYRValue<double, ykDateTime>;
using tyrFloat = TYRValue<double, ykFloat>;
using tyrInteger = TYRValue<int, ykInteger>;
using tyrPointer = TYRValue<const void*, ykPointer>;
using tyrString = TYRValue<QString, ykString>;
using tyrVariant = TYRValue<Variant, ykVariant>;
using tyrInt64 = TYRValue<qint64, ykInt64>;

// Refers to an object by handle: a freed target reads as none.
class tyrObject : public TYR {
 public:
  explicit tyrObject(TObject* target);
  QString ClassName() const override { return QStringLiteral("tyrObject"); }
  TObject* Value() const;
  double AsFloat() override;
  Variant AsVariant() override;
  void AssignToField(TField* field) override;

 private:
  qint64 handle_ = 0;
};

// The argument stack; the first value is the bottom. It owns its values and frees those
// left on it, top first.
class TYA : public TObject {
 public:
  explicit TYA(TObject* ref = nullptr) : Ref(ref) {}
  TYA(TObject* ref, const TVarRecs& args);
  ~TYA() override;
  QString ClassName() const override { return QStringLiteral("TYA"); }

  // A typed value for a tagged native value; unsupported kinds raise
  // "Параметр #%d не поодерживается".
  void PushConst(const TVarRec& value);
  void Push(TYR* value);
  // Index from the bottom, or from the top when negative (-1 the top); outside raises.
  TYR* GetItem(int index) const;
  TYR* Top() const;
  // Hands the top to the caller, who owns it then; nullptr on an empty stack.
  TYR* Pop();
  void Drop(int count);
  void DropAndPush(TYR* result, int count);
  int Count() const { return int(items_.size()); }

  TObject* Ref;

 private:
  std::vector<TYR*> items_;
};

class TY : public TComponent {
  ORV_CLASS(TY, TComponent)
  explicit TY(TComponent* owner) : TComponent(owner) {}

  // Before, scan and after; errors are shown as "Ошибка выполнения:" and answer 1.
  int Run(TYA* args);
  // Run, then frees the stack whatever happened.
  int RunAndFree(TYA* args);
  virtual int RunIfResult(TYA* args, int code, TY* child);
  virtual int DoAfterIt(TYA* args);
  virtual int DoBeforeIt(TYA* args);
  virtual int DoScanIt(TYA* args, int code);
  // The first owned function component of exactly that name.
  TY* FindY(const QString& name) const;
  int RunY(const QString& name, TYA* args);
  // RunY, then lets waiting messages run, and frees the stack.
  int RunEvent(const QString& name, TYA* args);

  void ChangeName(const QString& name) override;
  void Notification(TComponent* component, TOperation operation) override;
  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override { return Owner(); }
  // Nested in another function component, a component is written inside that one's
  // block; at the top it is one of its owner's own children.
  bool HasParent() const override;
  // Everything it owns is written inside its block.
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;

  TYNotifyEvent AfterIt;
  TYNotifyEvent BeforeIt;
  TAcceptEvent OnAccept;
  int OnResult = 0;
  TYNotifyEvent OnScanIt;

  // An action that must allow the run (enabled and visible after an update) and carry it
  // out (execution handled) in the before phase; free-notified.
  TCustomAction* AcceptAction() const { return acceptAction_; }
  void SetAcceptAction(TCustomAction* action);

 private:
  TCustomAction* acceptAction_ = nullptr;
};

namespace orvty {
// Where waiting messages run during RunEvent; nothing by default.
void SetProcessMessages(std::function<void()> process);
}  // namespace orvty
