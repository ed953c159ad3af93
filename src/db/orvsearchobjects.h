#pragma once
// The saved searches of one list: the searches a list definition brings (fixed at the head)
// and those the screens save in the registry. The screens fill the registry part; here a
// collection holds what a list definition gives and answers the current search.
#include "platform/classes/collection.h"

class TOrvSearchObject : public TCollectionItem {
  ORV_CLASS(TOrvSearchObject, TCollectionItem)
  using TCreateArg = TCollection;
  explicit TOrvSearchObject(TCollection* collection) : TCollectionItem(collection) {}

  bool Current = false;
  bool Predefined = false;  // made by the list definition
  QString DisplayText;
  QString Filter;
};

class TOrvSearchObjects : public TCollection {
  ORV_CLASS(TOrvSearchObjects, TCollection)
  // The owner (the list description) is kept, not owned.
  TOrvSearchObjects(TPersistent* owner, TClass itemClass);

  TOrvSearchObject* Add() { return static_cast<TOrvSearchObject*>(TCollection::Add()); }
  TOrvSearchObject* Item(int index) const { return static_cast<TOrvSearchObject*>(Items(index)); }
  // Loads the saved searches once; the registry part belongs to the screens, so this only
  // settles HasCurrent and Position from what the collection holds.
  void LoadFromRegistry();
  bool Loaded() const { return loaded_; }
  // The first search marked current; nullptr when none.
  TOrvSearchObject* GetCurrent() const;

  int FixedCount = 0;  // searches at the head that come from the list definition
  bool HasCurrent = false;
  int Position = -1;

 private:
  bool loaded_ = false;
};
