#include "core/orvco.h"

#include <gtest/gtest.h>

namespace {

class TProbeObject : public TCoObject {
  ORV_CLASS(TProbeObject, TCoObject)
  QStringList heard;
  void Notification(TComponent* component, TOperation operation) override {
    if (operation == opRemove) heard << component->Name();
  }
};
ORV_DESCRIBE(TProbeObject) {}

class TWatcher : public TComponent {
  ORV_CLASS(TWatcher, TComponent)
  using TComponent::TComponent;
  int removals = 0;
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component != this) ++removals;
  }
};
ORV_DESCRIBE(TWatcher) {}

TEST(OrvCo, ProxyStandsForAnObjectInFreeNotification) {
  auto* object = new TProbeObject;
  TComponent* proxy = object->GetComponent();
  ASSERT_NE(proxy, nullptr);
  EXPECT_EQ(object->GetComponent(), proxy);  // made once
  EXPECT_EQ(orvco::ObjectOf(proxy), object);
  EXPECT_EQ(orvco::ComponentOf(object), proxy);
  EXPECT_TRUE(orvco::IsSameObject(proxy, object));

  TWatcher watcher(nullptr);
  auto* other = new TComponent(nullptr);
  other->SetName("Other");
  EXPECT_TRUE(orvco::FreeNotifyObj(object, other));
  EXPECT_TRUE(orvco::LinkFreeNotify(object, &watcher));
  other->Free();
  EXPECT_EQ(object->heard, QStringList({"Other"}));  // forwarded by the proxy
  object->Free();                                    // frees its proxy; the watcher hears it
  EXPECT_EQ(watcher.removals, 1);
  EXPECT_FALSE(orvco::LinkFreeNotify(nullptr, &watcher));
}

TEST(OrvCo, LiveObjects) {
  auto* a = new TProbeObject;
  auto* plain = new TObject;
  EXPECT_FALSE(orvco::IsLiveObject(a));
  EXPECT_EQ(orvco::RegisterLiveObject(a), a);
  orvco::RegisterLiveObject(plain);
  EXPECT_TRUE(orvco::IsLiveObject(a));
  EXPECT_EQ(orvco::CheckLiveObject(plain), plain);
  a->Free();
  plain->Free();
  EXPECT_FALSE(orvco::IsLiveObject(a));
  EXPECT_EQ(orvco::CheckLiveObject(plain), nullptr);
  EXPECT_EQ(orvco::RegisterLiveObject(nullptr), nullptr);
}

TEST(OrvCo, ItemListForgetsDestroyedItemsAndCountsFromTheEnd) {
  TItemList list;
  auto* a = new TProbeObject;
  auto* b = new TComponent(nullptr);
  auto* c = new TProbeObject;
  list.Add(a);
  list.Add(b);
  list.Add(c);
  EXPECT_EQ(list.GetItem(-1), c);
  EXPECT_EQ(list.GetItem(0), a);
  b->Free();
  a->Free();
  ASSERT_EQ(list.Count(), 1);
  EXPECT_EQ(list.GetItem(0), c);
  EXPECT_EQ(list.Remove(c), 0);
  EXPECT_EQ(list.Remove(c), -1);
  c->Free();
}

class TCoOwnedItems : public TCoCollection {
 public:
  explicit TCoOwnedItems(TComponent* owner)
      : TCoCollection(TCoCollectionItem::StaticClass(), owner) {}
};

TEST(OrvCo, CompanionsOfCollectionItems) {
  TComponent form(nullptr);
  TCoOwnedItems items(&form);
  auto* item = static_cast<TCoCollectionItem*>(items.Add());
  TCoItemComponent* companion = item->Companion();
  ASSERT_NE(companion, nullptr);
  EXPECT_EQ(companion->Owner(), &form);  // owned by the collection's owner
  EXPECT_EQ(orvco::ObjectOf(companion), item);
  EXPECT_EQ(Supports<ICoObject>(item)->GetComponent(), companion);
  item->Free();  // the owned companion lives on without item
  EXPECT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(companion->Item(), nullptr);

  // An unowned companion dies with its item.
  TCollection plain(TCoCollectionItem::StaticClass());
  auto* loose = static_cast<TCoCollectionItem*>(plain.Add());
  ASSERT_NE(loose->Companion(), nullptr);
  EXPECT_EQ(loose->Companion()->Owner(), nullptr);
  TWatcher watcher(nullptr);
  loose->Companion()->FreeNotification(&watcher);
  loose->Free();
  EXPECT_EQ(watcher.removals, 1);

  // An owned companion takes its item along.
  auto* second = static_cast<TCoCollectionItem*>(items.Add());
  second->Companion()->Free();
  EXPECT_EQ(items.Count(), 0);
}

}  // namespace
