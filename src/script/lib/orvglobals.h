#pragma once
// Named Variant values that outlive a script, divided into scopes: one per owner object
// (usually a form) and the global scope of no owner. A scope goes with its owner; a
// variable that holds an object goes with that object, and a scope emptied that way goes
// too. Owners and objects are kept as handles (any object may be one, component or not),
// so a freed owner or value is noticed, and its scope or variable freed, at the next use.
#include "core/orvclasses.h"
#include "platform/classes/component.h"
#include "platform/rtl/variant.h"

// One variable: its name is the item's name.
class TVariantCollectionItem : public TNamedCollectionItem {
  ORV_CLASS(TVariantCollectionItem, TNamedCollectionItem)
  explicit TVariantCollectionItem(TCollection* collection) : TNamedCollectionItem(collection) {}
  // Variables are looked up by name only: no companion component.
  TClass ComponentClass() const override { return nullptr; }

  const Variant& Value() const { return value_; }
  // A plain value; any former object link is dropped.
  void SetValue(const Variant& value);
  // The object as a Variant, linked: the variable goes when the object does.
  void SetObject(const TObject* object);
  // Linked to an object that no longer lives.
  bool Orphaned() const;

 private:
  Variant value_;
  qint64 object_ = 0;  // handle of the linked object, 0 for a plain value
};

// The variables of one scope, entered in the store's scope list under its key; a freed
// scope removes its entry.
class TVariantCollection : public TNamedCollection {
  ORV_CLASS(TVariantCollection, TNamedCollection)
  TVariantCollection(TFastStringList* scopes, const QString& key);
  ~TVariantCollection() override;

  const QString& Key() const { return key_; }
  TVariantCollectionItem* Find(const QString& name) const;
  TVariantCollectionItem* FindOrAdd(const QString& name);
  // The owner's object still lives (the global scope always does).
  bool OwnerLives() const;
  // Deletes the variables whose object is gone; true when any went.
  bool DropOrphans();

 private:
  TFastStringList* scopes_;
  QString key_;
};

class TGlobalVariables {
 public:
  TGlobalVariables() = default;
  TGlobalVariables(const TGlobalVariables&) = delete;
  TGlobalVariables& operator=(const TGlobalVariables&) = delete;
  ~TGlobalVariables();
  // The process-wide store, made on first use.
  static TGlobalVariables& Instance();

  // The owner's scope; made and entered when missing and `create` is set, else nullptr.
  TVariantCollection* FindScope(const TObject* owner, bool create);
  // The value under the name in the owner's scope; the integer 1 when the scope or the name
  // does not exist. Never creates a scope.
  Variant GetValue(const QString& name, const TObject* owner);
  // The object stored under the name; nullptr when there is none (a missing name too).
  TObject* GetObject(const QString& name, const TObject* owner);
  // Replacing a value drops the variable's link to a former object.
  TVariantCollectionItem* SetValue(const QString& name, const Variant& value, const TObject* owner);
  TVariantCollectionItem* SetObject(const QString& name, const TObject* object,
                                    const TObject* owner);
  void Remove(const QString& name, const TObject* owner);
  // The variable of that name in the scope of that key, or nullptr.
  TVariantCollectionItem* FindVariable(const QString& key, const QString& name);

  bool HasScope(const TObject* owner);
  int ScopeCount();
  // "0" for the global scope, else the decimal handle of the owner; and back.
  static QString ScopeKey(const TObject* owner);
  static TObject* ScopeOwner(const QString& key);

  // Frees every scope.
  void Clear();

 private:
  // Frees scopes whose owner is gone and variables whose object is gone, and scopes that
  // lost their last variable that way.
  void Purge();

  TFastStringList scopes_;  // key -> TVariantCollection
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
