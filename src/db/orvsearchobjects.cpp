#include "db/orvsearchobjects.h"

TOrvSearchObjects::TOrvSearchObjects(TPersistent* owner, TClass itemClass)
    : TCollection(itemClass != nullptr ? itemClass : TOrvSearchObject::StaticClass(), owner) {}

void TOrvSearchObjects::LoadFromRegistry() {
  if (loaded_) return;
  loaded_ = true;
  Position = -1;
  for (int i = 0; i < Count(); ++i) {
    if (Item(i)->Current) {
      Position = i;
      break;
    }
  }
  HasCurrent = Position >= 0;
}

TOrvSearchObject* TOrvSearchObjects::GetCurrent() const {
  for (int i = 0; i < Count(); ++i)
    if (Item(i)->Current) return Item(i);
  return nullptr;
}

ORV_DESCRIBE(TOrvSearchObject) {
  c.Prop("DisplayText", &TOrvSearchObject::DisplayText);
  c.Prop("Filter", &TOrvSearchObject::Filter);
  c.Prop("Current", &TOrvSearchObject::Current).Default(0);
}

ORV_DESCRIBE(TOrvSearchObjects) { c.Prop("FixedCount", &TOrvSearchObjects::FixedCount); }
