#pragma once
// Named Variant values that outlive a script, divided into scopes: one per owner object
// (usually a form) and the global scope of no owner. A scope goes with its owner; a
// variable that holds an object goes with that object, and a scope emptied that way goes
// too. Objects are kept as handles, so a freed owner or value is noticed at the next use.
#include "platform/classes/component.h"
#include "platform/rtl/variant.h"

#include <map>

class TGlobalVariables {
 public:
  // The process-wide store, made on first use.
  static TGlobalVariables& Instance();

  // The value under the name in the owner's scope; the integer 1 when the scope or the name
  // does not exist. Never creates a scope.
  Variant GetValue(const QString& name, const TObject* owner);
  // The object stored under the name; nullptr when there is none (a missing name too).
  TObject* GetObject(const QString& name, const TObject* owner);
  // Replacing a value drops the variable's link to a former object.
  void SetValue(const QString& name, const Variant& value, const TObject* owner);
  void SetObject(const QString& name, const TObject* object, const TObject* owner);
  void Remove(const QString& name, const TObject* owner);

  bool HasScope(const TObject* owner);
  int ScopeCount();
  // "0" for the global scope, else the decimal handle of the owner; and back.
  static QString ScopeKey(const TObject* owner);
  static TObject* ScopeOwner(const QString& key);

  void Clear() { scopes_.clear(); }

 private:
  struct Var {
    QString name;
    Variant value;
    qint64 object = 0;  // the object the variable stands for, 0 for a plain value
  };
  struct Scope {
    std::map<QString, Var> vars;  // NameKey -> variable
  };
  // Drops scopes whose owner is gone and variables whose object is gone.
  void Purge();
  Var& Put(const QString& name, const TObject* owner);

  std::map<QString, Scope> scopes_;  // key -> scope, sorted as the keys' texts
};

// Publishes the component it is placed in as a global object variable named after itself
// (or after that component when it has no name).
class TGV : public TComponent {
  ORV_CLASS(TGV, TComponent)
  explicit TGV(TComponent* owner) : TComponent(owner) {}

  void SetParentComponent(TComponent* parent) override;
  TComponent* GetParentComponent() const override { return parent_; }
  bool HasParent() const override { return parent_ != nullptr; }
  void ChangeName(const QString& name) override;
  void Notification(TComponent* component, TOperation operation) override;

  // The owner of the bound variable's scope; nullptr for the global scope or when unbound.
  TComponent* Scope() const;
  void SetScope(TComponent* scope);
  bool Bound() const { return bound_; }

 private:
  // Sets the parent under name in the scope, frees the former variable when it is another
  // one, and binds to the new one.
  void Rebind(const QString& name, const TObject* scope);

  TComponent* parent_ = nullptr;
  bool bound_ = false;
  QString varName_;
  QString scopeKey_;
};

namespace orvglobals {
void Finalize();
}  // namespace orvglobals
