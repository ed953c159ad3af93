#include "core/orvclasses.h"

#include <gtest/gtest.h>

namespace {

// Counts item-level and collection-level changes.
class TCountingNames : public TNamedCollection {
 public:
  explicit TCountingNames(TClass itemClass = TNamedCollectionItem::StaticClass())
      : TNamedCollection(itemClass) {}
  int itemChanges = 0;
  int allChanges = 0;

 protected:
  void Update(TCollectionItem* item) override { ++(item != nullptr ? itemChanges : allChanges); }
};

TNamedCollectionItem* Named(TNamedCollection& c, const QString& name) {
  TNamedCollectionItem* item = c.AddItem();
  item->SetName(name);
  return item;
}

TEST(NamedCollection, LaterItemTakesOverANameAndTheIndexNeverKeepsADestroyedItem) {
  TCountingNames names;
  TNamedCollectionItem* first = Named(names, "A");
  TNamedCollectionItem* second = Named(names, "a");
  TFastStringList* index = names.GetNameIndex();
  ASSERT_EQ(index->Count(), 1);
  EXPECT_EQ(index->Get(0), "A");  // the first spelling stays
  EXPECT_EQ(names.FindItem("A"), second);
  first->Free();  // the entry names the survivor: it stays
  EXPECT_EQ(names.FindItem("a"), second);
  second->Free();
  EXPECT_EQ(names.FindItem("a"), nullptr);
  EXPECT_EQ(index->Count(), 0);

  TNamedCollectionItem* x = Named(names, "X");
  TNamedCollectionItem* y = Named(names, "x");
  x->SetName("Z");  // renaming the overtaken item leaves y's entry alone
  EXPECT_EQ(names.FindItem("x"), y);
  EXPECT_EQ(names.FindItem("z"), x);
}

TEST(NamedCollection, RenamesSignalItemChangesOnly) {
  TCountingNames names;
  TNamedCollectionItem* item = names.AddItem();
  names.itemChanges = names.allChanges = 0;
  item->SetName("One");
  EXPECT_EQ(names.itemChanges, 1);
  item->SetName("One");  // unchanged: no signal
  EXPECT_EQ(names.itemChanges, 1);
  EXPECT_EQ(names.allChanges, 0);
  item->SetDisplayName("Two");
  EXPECT_EQ(item->DisplayName(), "Two");
  EXPECT_EQ(names.FindItem("one"), nullptr);
  EXPECT_EQ(names.FindOrAdd("TWO"), item);
  TNamedCollectionItem* made = names.FindOrAdd("Three");
  EXPECT_EQ(made->GetName(), "Three");
  EXPECT_EQ(names.ItemOrNil(5), nullptr);
  EXPECT_EQ(names.ItemOrNil(0), item);
}

TEST(NamedCollection, SubCollectionsShareTheParentsIndex) {
  TNamedCollection parent(TNamedCollectionItem::StaticClass());
  TNamedSubCollection child(TNamedCollectionItem::StaticClass(), &parent, nullptr);
  Named(parent, "P");
  auto* c = static_cast<TNamedCollectionItem*>(child.Add());
  c->SetName("C");
  EXPECT_EQ(child.FindItem("p"), parent.FindItem("P"));
  EXPECT_EQ(parent.FindItem("c"), c);
  // An item moved to another named collection leaves the old index.
  TNamedCollection other(TNamedCollectionItem::StaticClass());
  c->SetCollection(&other);
  EXPECT_EQ(parent.FindItem("C"), nullptr);
  EXPECT_EQ(other.FindItem("C"), c);
}

TEST(NamedCollection, ItemByNameNamesTheClassAndTheName) {
  TObjectDescList descs(TObjectDesc::StaticClass());
  try {
    descs.ItemByName("Missing");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "TObjectDescList.ItemByName('Missing') = nil");
  }
  auto* d = static_cast<TObjectDesc*>(descs.FindOrAdd("Found"));
  EXPECT_EQ(descs.FindDesc("found"), d);
  EXPECT_NE(d->Controls(), nullptr);
}

TEST(Descriptions, CaptionFollowsTheNameOnlyWhileEqual) {
  TObjectDescList descs(TDisplayedObjectDesc::StaticClass());
  auto* followed = static_cast<TDisplayedObjectDesc*>(descs.AddItem());
  followed->SetName("X");
  followed->SetCaption("X");
  followed->SetName("Y");
  EXPECT_EQ(followed->Caption(), "Y");
  EXPECT_FALSE(followed->IsCaptionStored());
  auto* own = static_cast<TDisplayedObjectDesc*>(descs.AddItem());
  own->SetName("X");
  own->SetCaption("Z");
  own->SetName("Y2");
  EXPECT_EQ(own->Caption(), "Z");
  EXPECT_EQ(own->DisplayName(), "Z");
  EXPECT_TRUE(own->IsCaptionStored());
  EXPECT_TRUE(IsStoredProp(own, "Caption"));
  EXPECT_FALSE(IsStoredProp(followed, "Caption"));
}

TEST(Lists, ObjectStringListOwnsItsObjects) {
  auto* list = new TObjectStringList;
  list->OwnsObjects = true;
  auto* a = new TCoObject;
  auto* b = new TCoObject;
  TComponent watcher(nullptr);
  orvco::LinkFreeNotify(a, &watcher);
  orvco::RegisterLiveObject(a);
  orvco::RegisterLiveObject(b);
  list->AddObject("k", a);
  list->PutObject(0, a);  // itself: kept
  EXPECT_TRUE(orvco::IsLiveObject(a));
  list->PutObject(0, b);  // replaced: the old one is freed
  EXPECT_FALSE(orvco::IsLiveObject(a));
  EXPECT_EQ(list->ObjectByName("K"), b);
  EXPECT_TRUE(list->RemoveName("k"));
  EXPECT_FALSE(orvco::IsLiveObject(b));
  EXPECT_FALSE(list->RemoveName("k"));
  auto* c = new TCoObject;
  orvco::RegisterLiveObject(c);
  list->AddObject("c", c);
  list->Free();
  EXPECT_FALSE(orvco::IsLiveObject(c));
}

TEST(Lists, ObjListOwnsAndForgets) {
  auto* list = new TObjList;
  auto* a = new TCoObject;
  auto* b = new TCoObject;
  orvco::RegisterLiveObject(a);
  orvco::RegisterLiveObject(b);
  list->Add(a);
  list->Add(b);
  a->Free();  // destroyed elsewhere: leaves the list
  EXPECT_EQ(list->Count(), 1);
  list->Free();
  EXPECT_FALSE(orvco::IsLiveObject(b));
}

TEST(Indexed, PositionsFollowLeavingAndMoving) {
  TCollection items(TIndexedCollectionItem::StaticClass());
  auto* a = static_cast<TIndexedCollectionItem*>(items.Add());
  auto* b = static_cast<TIndexedCollectionItem*>(items.Add());
  auto* c = static_cast<TIndexedCollectionItem*>(items.Add());
  EXPECT_EQ(c->Position(), 2);
  a->SetCollection(nullptr);
  EXPECT_EQ(a->Position(), -1);
  EXPECT_EQ(b->Position(), 0);
  EXPECT_EQ(c->Position(), 1);
  c->SetIndex(0);
  EXPECT_EQ(c->Position(), 0);
  a->Free();
}

class IDescribed : public IInterface {
 public:
  ORV_INTERFACE_ID(IDescribed, "{0A0B0C0D-1111-2222-3333-444455556666}")
  virtual QString What() = 0;
};

class TAnsweringDesc : public TObjectDesc, public IDescribed {
  ORV_CLASS(TAnsweringDesc, TObjectDesc)
  using TObjectDesc::TObjectDesc;
  IInterface* QueryInterface(const TGUID& iid) override { return TObjectDesc::QueryInterface(iid); }
  QString What() override { return GetName(); }
};
ORV_DESCRIBE(TAnsweringDesc) { c.Implements<IDescribed>(); }

TEST(Controls, ChainAnswersForTheComponentAndUnwindsOnDestruction) {
  TObjectDescList descs(TAnsweringDesc::StaticClass());
  auto* desc = static_cast<TAnsweringDesc*>(descs.FindOrAdd("Amount"));
  TComponent owner(nullptr);
  auto* edit = new TComponent(&owner);
  edit->SetName("Edit1");
  TCollection loose(TObjectControl::StaticClass());
  auto* first = new TObjectControl(&loose, edit);
  auto* second = new TObjectControl(&loose, edit);
  EXPECT_EQ(edit->VCLComObject(), static_cast<IVCLComObject*>(second));
  EXPECT_EQ(second->NextControl(), static_cast<IVCLComObject*>(first));
  EXPECT_EQ(Supports<IDescribed>(edit), nullptr);
  first->SetDesc(desc);
  EXPECT_EQ(first->Collection(), desc->Controls());
  ASSERT_NE(Supports<IDescribed>(edit), nullptr);  // through the chain
  EXPECT_EQ(Supports<IDescribed>(edit)->What(), "Amount");
  EXPECT_EQ(first->DisplayName(), "TComponent.Edit1");
  second->Free();
  EXPECT_EQ(edit->VCLComObject(), static_cast<IVCLComObject*>(first));
  edit->Free();  // the control forgets the object
  EXPECT_EQ(first->DescribedObject(), nullptr);
  EXPECT_EQ(first->DisplayName(), "");
  first->Unbind();
  EXPECT_EQ(first->Collection(), nullptr);
  first->Free();
}

}  // namespace
