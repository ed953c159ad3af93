#include "fixture.h"

#include "platform/classes/collection.h"

#include <gtest/gtest.h>

namespace {

class TNote : public TCollectionItem {
  ORV_CLASS(TNote, TCollectionItem)
  using TCollectionItem::TCollectionItem;
  QString Text;
  void Assign(TPersistent* source) override {
    if (auto* n = dynamic_cast<TNote*>(source)) {
      Text = n->Text;
      return;
    }
    TCollectionItem::Assign(source);
  }
  void SetText(const QString& t) {
    Text = t;
    Changed(false);
  }

 protected:
  QString GetDisplayName() const override { return Text.isEmpty() ? ClassName() : Text; }
};
ORV_DESCRIBE(TNote) { c.Prop("Text", &TNote::Text); }

// Records Update calls: "*" for the whole collection, the item's text otherwise.
class TNotes : public TCollection {
 public:
  TNotes() : TCollection(TNote::StaticClass()) {}
  QStringList updates;
  TNote* AddNote(const QString& text) {
    auto* n = static_cast<TNote*>(Add());
    n->Text = text;
    return n;
  }
  QStringList Texts() const {
    QStringList t;
    for (int i = 0; i < Count(); ++i) t << static_cast<TNote*>(Items(i))->Text;
    return t;
  }

 protected:
  void Update(TCollectionItem* item) override {
    updates << (item == nullptr ? QStringLiteral("*") : static_cast<TNote*>(item)->Text);
  }
};

TEST(Collection, AddInsertDeleteAndIndexes) {
  TNotes notes;
  notes.AddNote("a");
  notes.AddNote("b");
  static_cast<TNote*>(notes.Insert(0))->Text = "c";
  EXPECT_EQ(notes.Texts(), QStringList({"c", "a", "b"}));
  EXPECT_EQ(notes.Items(2)->Index(), 2);
  notes.Items(0)->SetIndex(2);
  EXPECT_EQ(notes.Texts(), QStringList({"a", "b", "c"}));
  notes.Delete(1);
  EXPECT_EQ(notes.Texts(), QStringList({"a", "c"}));
  EXPECT_THROW(notes.Items(2), EListError);
  EXPECT_EQ(notes.Items(1)->DisplayName(), "c");
  EXPECT_EQ(notes.FindItemID(notes.Items(1)->ID()), notes.Items(1));
}

TEST(Collection, ItemChangeVersusWholeCollectionAndUpdateBrackets) {
  TNotes notes;
  TNote* a = notes.AddNote("a");
  notes.updates.clear();
  a->SetText("a2");
  EXPECT_EQ(notes.updates, QStringList({"a2"}));  // one item
  notes.updates.clear();
  notes.BeginUpdate();
  notes.AddNote("b");
  a->SetText("a3");
  notes.Delete(1);
  EXPECT_TRUE(notes.updates.isEmpty());
  notes.EndUpdate();
  EXPECT_EQ(notes.updates, QStringList({"*"}));  // one change of the whole collection
}

TEST(Collection, ItemsLeaveWhenFreedOrMovedAndDieWithTheCollection) {
  TNotes one;
  auto* two = new TNotes;
  TNote* a = one.AddNote("a");
  one.AddNote("b");
  a->SetCollection(two);
  EXPECT_EQ(one.Texts(), QStringList({"b"}));
  EXPECT_EQ(two->Texts(), QStringList({"a"}));
  EXPECT_EQ(a->Collection(), two);
  one.Items(0)->Free();
  EXPECT_EQ(one.Count(), 0);
  two->Free();  // frees a
  TCollection other(TCollectionItem::StaticClass());
  auto* plain = new TCollectionItem(&other);
  plain->SetCollection(&one);  // not a TNote: stays out
  EXPECT_EQ(plain->Collection(), nullptr);
  plain->Free();
}

TEST(Collection, AssignCopiesItems) {
  TNotes a;
  a.AddNote("x");
  a.AddNote("y");
  TNotes b;
  b.AddNote("old");
  b.Assign(&a);
  EXPECT_EQ(b.Texts(), QStringList({"x", "y"}));
  TComponent c(nullptr);
  EXPECT_THROW(b.Assign(&c), EConvertError);
}

}  // namespace
