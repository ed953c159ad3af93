#include "controls/customgrid.h"

#include <gtest/gtest.h>

namespace {

class TGrid : public TOrvCustomGrid {
 public:
  TGrid() : TOrvCustomGrid(nullptr) { AfterConstruction(); }
  int Rebuilds = 0;
  int Clears = 0;
  bool Fail = false;
  bool DataActive() override { return true; }
  void ClearSelection() override { ++Clears; }
  void RebuildVectors() override {
    ++Rebuilds;
    if (Fail) throw Exception("rebuild failed");
  }
};

TEST(CustomGrid, OptionsTranslate) {
  TGrid g;
  EXPECT_EQ(g.Options().Ord(), 3197u);
  EXPECT_EQ(g.TCustomGrid::Options(),
            (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing,
                          goColMoving, goEditing}));
  struct Case {
    TOrvDBGridOptions Set;
    TOrvDBGridOptions Stored;
    TGridOptions Platform;
    int Rebuilds;
  };
  const Case cases[] = {
      {{dgRowSelect, dgEditing}, {dgRowSelect}, {goRowSelect}, 1},
      {{dgRowSelect, dgConfirmDelete}, {dgRowSelect, dgConfirmDelete}, {goRowSelect}, 0},
      {{dgTabs, dgAlwaysShowEditor, dgEditing},
       {dgTabs, dgAlwaysShowEditor, dgEditing},
       {goTabs, goAlwaysShowEditor, goEditing},
       1},
      {{dgTitles}, {dgTitles}, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Stored.Ord());
    g.Rebuilds = 0;
    g.SetOptions(c.Set);
    EXPECT_EQ(g.Options(), c.Stored);
    EXPECT_EQ(g.TCustomGrid::Options(), c.Platform);
    EXPECT_EQ(g.Rebuilds, c.Rebuilds);
  }
  // Dropping multi-select empties the selection; adding it back does not.
  g.SetOptions({dgMultiSelect});
  EXPECT_EQ(g.Clears, 0);
  g.SetOptions({});
  EXPECT_EQ(g.Clears, 1);
  g.SetOptions({dgMultiSelect});
  EXPECT_EQ(g.Clears, 1);
}

TEST(CustomGrid, LayoutBrackets) {
  TGrid g;
  g.EndLayout();  // nothing open: nothing happens
  EXPECT_EQ(g.Rebuilds, 0);
  g.BeginLayout();
  g.BeginLayout();
  g.BeginLayout();
  EXPECT_FALSE(g.UpdatesAllowed());
  EXPECT_EQ(g.Vectors()->UpdateCount(), 1);
  g.EndLayout();
  g.EndLayout();
  EXPECT_EQ(g.Rebuilds, 0);
  g.EndLayout();
  EXPECT_EQ(g.Rebuilds, 1);
  EXPECT_TRUE(g.UpdatesAllowed());
  EXPECT_EQ(g.Vectors()->UpdateCount(), 0);

  // A failing rebuild still closes the bracket and the lock.
  g.Fail = true;
  g.BeginLayout();
  EXPECT_THROW(g.EndLayout(), Exception);
  EXPECT_EQ(g.LayoutCount(), 0);
  EXPECT_EQ(g.UpdateLockCount(), 0);
  EXPECT_EQ(g.Vectors()->UpdateCount(), 0);
  g.Fail = false;

  // A change of the vectors rebuilds once, unless a lock or bracket is open.
  g.Rebuilds = 0;
  g.Vectors()->Add();
  EXPECT_EQ(g.Rebuilds, 1);
  g.BeginUpdateLock();
  g.VectorsChanged();
  EXPECT_EQ(g.Rebuilds, 1);
  EXPECT_FALSE(g.TryBeginLayout());
  g.EndUpdateLock();
  g.EndUpdateLock();  // never below zero
  EXPECT_EQ(g.UpdateLockCount(), 0);
  ASSERT_TRUE(g.TryBeginLayout());
  g.EndLayoutQuiet();
  EXPECT_EQ(g.Rebuilds, 1);
}

// Bookmarks are numbers as text; the list counts its comparisons.
class TList : public TOrvBookmarkList {
 public:
  explicit TList(TOrvCustomGrid* grid) : TOrvBookmarkList(grid) {}
  int Compares = 0;
  QString Current;
  QStringList Deleted;
  QStringList Log;
  bool BookmarkValid(const QString&) override { return true; }
  void DeleteRecordAt(const QString& b) override {
    if (b == "13") throw Exception("locked");
    Deleted << b;
  }
  int CompareBookmarks(const QString& a, const QString& b) override {
    ++Compares;
    return a.toInt() - b.toInt();
  }
  QString CurrentBookmark() override {
    TOrvBookmarkList::CurrentBookmark();
    return Current;
  }
  void DisableControls() override { Log << "disable"; }
  void EnableControls() override { Log << "enable"; }
};

TEST(BookmarkList, FindSelectAndDelete) {
  TGrid g;
  TList list(&g);
  try {
    list.CurrentRowSelected();
    ADD_FAILURE();
  } catch (const EFirstInvalidGridOperation& e) {
    EXPECT_EQ(e.Message(), "No bookmark (data set closed)");
  }
  list.SetActive(true);
  int index = -1;
  EXPECT_FALSE(list.Find("5", index));
  EXPECT_EQ(index, 0);

  for (const char* b : {"30", "10", "20", "40"}) {
    list.Current = b;
    list.SetCurrentRowSelected(true);
  }
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Item(0), "10");
  EXPECT_EQ(list.Item(3), "40");
  EXPECT_TRUE(list.Find("20", index));
  EXPECT_EQ(index, 1);
  EXPECT_FALSE(list.Find("25", index));
  EXPECT_EQ(index, 2);
  list.Compares = 0;
  EXPECT_FALSE(list.Find("25", index));  // from the cache
  EXPECT_EQ(list.Compares, 0);
  EXPECT_EQ(index, 2);

  list.Current = "20";
  EXPECT_TRUE(list.CurrentRowSelected());
  list.SetCurrentRowSelected(false);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_FALSE(list.Find("20", index));  // the change dropped the cache

  // Deleting walks from the last; a failure still enables the controls.
  list.Current = "13";
  list.SetCurrentRowSelected(true);
  EXPECT_THROW(list.DeleteSelected(), Exception);
  EXPECT_EQ(list.Deleted, (QStringList{"40", "30"}));
  EXPECT_EQ(list.Log, (QStringList{"disable", "enable"}));
  list.SetActive(false);
  EXPECT_EQ(list.Count(), 0);
}

}  // namespace
