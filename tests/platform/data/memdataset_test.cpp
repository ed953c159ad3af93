// The dataset model on an in-memory table: sequences, navigation, bookmarks, searching,
// filters, order, data events and links.
#include "recording.h"

#include "platform/data/fields.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// ID, NAME, AMOUNT, D with four records.
void Fill(TMemDataSet& ds) {
  ds.FieldDefs().Add("ID", ftInteger);
  ds.FieldDefs().Add("NAME", ftString, 20);
  ds.FieldDefs().Add("AMOUNT", ftFloat);
  ds.FieldDefs().Add("D", ftDate);
  ds.CreateDataSet();
  ds.AppendRecord({1, "Иван", 10.5, Variant::FromDate(EncodeDate(2024, 1, 1))});
  ds.AppendRecord({2, "ёжик", 20, Variant::FromDate(EncodeDate(2024, 2, 14))});
  ds.AppendRecord({3, "Пётр", Variant::Null(), Variant::FromDate(EncodeDate(2024, 3, 1))});
  ds.AppendRecord({4, "anna", 5, Variant::Null()});
  ds.First();
}

QString Ids(TDataSet& ds) {
  QStringList ids;
  ds.DisableControls();
  const TBookmark b = ds.GetBookmark();
  for (ds.First(); !ds.Eof(); ds.Next()) ids << ds.FieldByName("ID")->AsString();
  if (!b.isEmpty() && ds.BookmarkValid(b)) ds.GotoBookmark(b);
  ds.EnableControls();
  return ids.join(',');
}

class MemDataSet : public ::testing::Test {
 protected:
  void SetUp() override { Fill(ds); }
  TRecordingDataSet ds;
};

TEST(MemDataSetSequence, OpenAndCloseCallTheStepsInOrder) {
  TRecordingDataSet ds;
  ds.FieldDefs().Add("ID", ftInteger);
  ds.Open();
  EXPECT_EQ(ds.log,
            QStringList({"BeforeOpen", "OpenCursor", "InternalOpen", "InternalInitFieldDefs",
                         "CreateFields", "AfterOpen", "AfterScroll"}));
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_TRUE(ds.IsEmpty() && ds.Bof() && ds.Eof());
  ds.log.clear();
  ds.Close();
  EXPECT_EQ(ds.log, QStringList({"BeforeClose", "AfterClose"}));
  EXPECT_EQ(ds.FieldCount(), 0);  // default fields go with the cursor
}

TEST_F(MemDataSet, InsertPostCancelDeleteSequences) {
  ds.log.clear();
  ds.Last();
  ds.log.clear();
  ds.Insert();
  EXPECT_EQ(ds.log, QStringList({"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert",
                                 "AfterScroll"}));
  EXPECT_EQ(ds.RecNo(), 4);  // inserted before the current (last) record
  ds.FieldByName("ID")->SetAsInteger(9);
  ds.log.clear();
  ds.Post();
  EXPECT_EQ(ds.log, QStringList({"BeforePost", "InternalPost", "AfterPost"}));
  EXPECT_EQ(Ids(ds), "1,2,3,9,4");

  ds.Edit();
  ds.FieldByName("NAME")->SetAsString("changed");
  EXPECT_TRUE(ds.FieldByName("NAME")->OldValue().IsNull());  // record 9 was posted without a name
  ds.log.clear();
  ds.Cancel();
  EXPECT_EQ(ds.log, QStringList({"BeforeCancel", "AfterCancel"}));

  ds.Locate("ID", 2, 0);
  ds.log.clear();
  ds.Delete();
  EXPECT_EQ(ds.log, QStringList({"BeforeDelete", "BeforeScroll", "InternalDelete", "AfterDelete",
                                 "AfterScroll"}));
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 3);  // the next record becomes current
  EXPECT_EQ(ds.RecordCount(), 4);

  ds.Append();
  ds.Cancel();
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(ds.State(), dsBrowse);
}

TEST_F(MemDataSet, EditKeepsOldValueUntilPostAndRejectsWritesOutsideEdit) {
  TField* name = ds.FieldByName("name");  // names are found without regard to case
  EXPECT_THROW(name->SetAsString("x"), EDatabaseError);
  ds.Edit();
  name->SetAsString("Ivan");
  EXPECT_EQ(name->AsString(), "Ivan");
  EXPECT_EQ(name->OldValue().ToString(), "Иван");
  EXPECT_TRUE(ds.Modified());
  ds.Post();
  EXPECT_EQ(name->AsString(), "Ivan");
  EXPECT_FALSE(ds.Modified());
  EXPECT_THROW(ds.FieldByName("NOPE"), EDatabaseError);
  try {
    ds.FieldByName("NOPE");
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), "Field not found : NOPE");
  }
  EXPECT_EQ(ds.FindField("NOPE"), nullptr);
}

TEST_F(MemDataSet, InternalPostMayCloseAndReopen) {
  ds.afterInternalPost = [this] {
    const Variant id = ds.FieldByName("ID")->Value();
    ds.Close();
    ds.Open();
    ds.Locate("ID", id, 0);
  };
  ds.Locate("ID", 3, 0);
  ds.Edit();
  ds.FieldByName("AMOUNT")->SetAsFloat(7);
  ds.log.clear();
  ds.Post();
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_TRUE(ds.log.contains("AfterPost"));
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 3);
  EXPECT_EQ(ds.FieldByName("AMOUNT")->AsFloat(), 7);
}

TEST_F(MemDataSet, RequiredFieldsAndReadOnlyDataset) {
  ds.FieldByName("NAME")->SetRequired(true);
  ds.Append();
  ds.FieldByName("ID")->SetAsInteger(5);
  EXPECT_THROW(ds.Post(), EDatabaseError);
  EXPECT_EQ(ds.State(), dsInsert);
  ds.Cancel();
  ds.SetReadOnly(true);
  EXPECT_THROW(ds.Edit(), EDatabaseError);
  EXPECT_EQ(ds.State(), dsBrowse);
}

TEST_F(MemDataSet, Navigation) {
  EXPECT_TRUE(ds.Bof());
  EXPECT_EQ(ds.RecNo(), 1);
  EXPECT_EQ(ds.MoveBy(2), 2);
  EXPECT_EQ(ds.RecNo(), 3);
  EXPECT_EQ(ds.MoveBy(5), 1);
  EXPECT_TRUE(ds.Eof());
  ds.Next();
  EXPECT_TRUE(ds.Eof());
  EXPECT_EQ(ds.RecNo(), 4);
  ds.Prior();
  EXPECT_FALSE(ds.Eof());
  EXPECT_EQ(ds.MoveBy(-10), -2);
  EXPECT_TRUE(ds.Bof());
  ds.SetRecNo(3);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 3);
  EXPECT_EQ(ds.RecordCount(), 4);
}

TEST_F(MemDataSet, BookmarksHaveATotalOrderAndDieWithTheirRecord) {
  ds.SetRecNo(2);
  const TBookmark b2 = ds.GetBookmark();
  ds.Last();
  const TBookmark b4 = ds.GetBookmark();
  EXPECT_LT(ds.CompareBookmarks(b2, b4), 0);
  EXPECT_GT(ds.CompareBookmarks(b4, b2), 0);
  EXPECT_EQ(ds.CompareBookmarks(b2, b2), 0);
  ds.GotoBookmark(b2);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 2);
  ds.SetIndexFieldNames("NAME");  // bookmarks survive a new order
  ds.GotoBookmark(b4);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 4);
  ds.Delete();
  EXPECT_FALSE(ds.BookmarkValid(b4));
  EXPECT_THROW(ds.GotoBookmark(b4), EDatabaseError);
  EXPECT_TRUE(ds.BookmarkValid(b2));
}

TEST_F(MemDataSet, LocateAndLookup) {
  struct Case {
    const char* fields;
    Variant key;
    TLocateOptions options;
    int id;  // 0: not found
  };
  const Case cases[] = {
      {"NAME", "ИВАН", loCaseInsensitive, 1},
      {"NAME", "ИВАН", 0, 0},
      {"NAME", "ЁЖ", loCaseInsensitive | loPartialKey, 2},
      {"NAME", "Пёт", loPartialKey, 3},
      {"NAME", "Пёт", 0, 0},
      {"ID", "3", 0, 3},
      {"AMOUNT", Variant::Null(), 0, 3},
      {"ID;NAME", VarArrayOf({4, "anna"}), 0, 4},
      {"ID;NAME", VarArrayOf({4, "Anna"}), 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fields);
    ds.First();
    EXPECT_EQ(ds.Locate(c.fields, c.key, c.options), c.id != 0);
    EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), c.id ? c.id : 1);  // a miss does not move
  }
  ds.First();
  EXPECT_EQ(ds.Lookup("ID", 2, "NAME").ToString(), "ёжик");
  EXPECT_TRUE(ds.Lookup("ID", 99, "NAME").IsNull());
  const Variant two = ds.Lookup("ID", 3, "NAME;AMOUNT");
  ASSERT_TRUE(two.IsArray());
  EXPECT_EQ(two.ArrayGet(0).ToString(), "Пётр");
  EXPECT_TRUE(two.ArrayGet(1).IsNull());
  EXPECT_EQ(ds.RecNo(), 1);
  const Variant values = ds.FieldValues("ID; NAME");
  EXPECT_EQ(values.ArrayGet(1).ToString(), "Иван");
}

TEST_F(MemDataSet, LocalFilter) {
  struct Case {
    const char* filter;
    const char* ids;
  };
  const Case cases[] = {
      {"ID > 2", "3,4"},
      {"D >= '2024-02-14'", "2,3"},
      {"AMOUNT IS NULL OR ID = 1", "1,3"},
      {"NOT (AMOUNT > 6)", "4"},  // Null is unknown: record 3 stays out
      {"NAME LIKE '_ва%' OR NAME LIKE 'a%a'", "1,4"},
      {"NAME = 'Пё*'", "3"},
      {"(ID = 1 OR ID = 2) AND AMOUNT < 15", "1"},
      {"ID IN (2, 4)", "2,4"},
      {"D IS NOT NULL AND amount * 2 = 21", "1"},
  };
  ds.SetFiltered(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    ds.SetFilter(c.filter);
    EXPECT_EQ(Ids(ds).toStdString(), c.ids);
  }
  ds.SetFilterOptions(foCaseInsensitive);
  ds.SetFilter("NAME = 'ANNA'");
  EXPECT_EQ(Ids(ds), "4");
  EXPECT_THROW(ds.SetFilter("ID >"), EDatabaseError);
  EXPECT_THROW(ds.SetFilter("NOPE = 1"), EDatabaseError);
  ds.SetFiltered(false);
  EXPECT_EQ(Ids(ds), "1,2,3,4");
}

TEST_F(MemDataSet, FilterFunctions) {
  struct Case {
    const char* filter;
    const char* ids;
  };
  const Case cases[] = {
      {"UPPER(NAME) = 'ИВАН'", "1"},
      {"lower(NAME) LIKE 'п%'", "3"},
      {"SUBSTRING(NAME, 2, 2) = 'ва'", "1"},
      {"SUBSTRING(NAME FROM 3) = 'na'", "4"},
      {"SUBSTRING(NAME, 0, 2) = 'a'", "4"},  // a start before 1 still uses up the length
      {"SUBSTRING(NAME, 9) = ''", "1,2,3,4"},
      {"TRIM('  ' || NAME || ' ') = 'anna'", "4"},
      {"TRIMRIGHT(TRIMLEFT(NAME, 'a'), 'a') = 'nn'", "4"},
      {"YEAR(D) = 2024 AND MONTH(D) = 2 AND DAY(D) = 14", "2"},
      {"MONTH(D) >= 2", "2,3"},  // Null in, Null out
      {"HOUR(D) = 0 AND MINUTE(D) = 0 AND SECOND(D) = 0", "1,2,3"},
      {"DATE(D) = '2024-03-01' OR TIME(D) > 0", "3"},
      {"D < GETDATE() AND D < GetDate", "1,2,3"},
      {"YEAR('2024-05-06') = ID + 2020", "4"},
  };
  ds.SetFiltered(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.filter);
    ds.SetFilter(c.filter);
    EXPECT_EQ(Ids(ds).toStdString(), c.ids);
  }
  const Case errors[] = {
      {"FOO(ID) = 1", "position 1: unknown function \"FOO\""},
      {"ID = 1 AND LOWER() = ''", "position 12: function LOWER takes 1 argument(s), not 0"},
      {"UPPER(NAME, 1) = 'A'", "function UPPER takes 1 argument(s), not 2"},
      {"SUBSTRING(NAME) = ''", "function SUBSTRING takes 2 to 3 argument(s), not 1"},
      {"UPPER(NAME = 'A'", "\")\" expected"},
  };
  for (const Case& c : errors) {
    SCOPED_TRACE(c.filter);
    try {
      ds.SetFilter(c.filter);
      FAIL();
    } catch (const EDatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(QString::fromUtf8(c.ids))) << e.what();
    }
  }
}

TEST_F(MemDataSet, IndexFieldNamesOrderKeepsCurrentRecord) {
  ds.Locate("ID", 2, 0);
  ds.SetIndexFieldNames("AMOUNT DESC; ID");
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 2);
  EXPECT_EQ(Ids(ds), "2,1,4,3");
  ds.SetIndexFieldNames("NAME");
  EXPECT_EQ(Ids(ds), "4,2,1,3");  // Latin before Cyrillic, Ё among the Е
}

TEST_F(MemDataSet, SetKeyAndGotoKeySearchTheIndexFields) {
  ds.AppendRecord({5, "Иван", 7, Variant::Null()});
  ds.SetIndexFieldNames("NAME;AMOUNT DESC");
  ds.Last();
  ds.SetKey();
  EXPECT_EQ(ds.State(), dsSetKey);
  EXPECT_TRUE(ds.FieldByName("NAME")->IsNull());  // the buffer, not the record
  ds.FieldByName("NAME")->SetAsString("Иван");
  EXPECT_THROW(ds.FieldByName("ID")->SetAsInteger(9), EDatabaseError);  // not an index field
  EXPECT_TRUE(ds.FieldByName("NAME")->CanModify());
  EXPECT_TRUE(ds.GotoKey());
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 1);  // first of the two, AMOUNT descending

  ds.EditKey();  // keeps the name
  ds.FieldByName("AMOUNT")->SetAsFloat(7);
  EXPECT_TRUE(ds.GotoKey());
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 5);

  const TBookmark here = ds.GetBookmark();
  EXPECT_FALSE(ds.FindKey({"Nobody"}));
  EXPECT_EQ(ds.CompareBookmarks(ds.GetBookmark(), here), 0);  // a miss stays put
  ds.FindNearest({"Н"});  // between "ёжик"/"Иван" and "Пётр"
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 3);
  ds.FindNearest({"яблоко"});
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 3);  // past the end: the last record

  ds.SetKey();
  ds.FieldByName("NAME")->SetAsString("anna");
  ds.Post();  // ends the key state, keeping the key
  EXPECT_EQ(ds.State(), dsBrowse);
  ds.EditKey();
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "anna");
  ds.Cancel();
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "Пётр");
  EXPECT_THROW(ds.FindKey({"a", 1, 2}), EDatabaseError);
  EXPECT_EQ(ds.State(), dsBrowse);
  ds.SetIndexFieldNames("");
  EXPECT_THROW(ds.FindKey({}), EDatabaseError);
}

class EventSink : public TObject {
 public:
  int calcCalls = 0;
  void Calc(TDataSet* ds) {
    ++calcCalls;
    ds->FieldByName("DOUBLE")->SetAsFloat(ds->FieldByName("AMOUNT")->AsFloat() * 2);
  }
};

// Codes 1 and 2 with their titles, the lookup data of the tests below.
void FillNames(TMemDataSet& names) {
  names.FieldDefs().Add("CODE", ftInteger);
  names.FieldDefs().Add("TITLE", ftString, 10);
  names.CreateDataSet();
  names.AppendRecord({1, "one"});
  names.AppendRecord({2, "two"});
}

// A lookup field TITLE on ds: its ID found as CODE in names.
TStringField* AddTitleLookup(TMemDataSet& ds, TDataSet& names) {
  auto* look = new TStringField(&ds);
  look->SetFieldName("TITLE");
  look->SetFieldKind(fkLookup);
  look->SetLookupDataSet(&names);
  look->SetKeyFields("ID");
  look->SetLookupKeyFields("CODE");
  look->SetLookupResultField("TITLE");
  return look;
}

TEST(MemDataSetFields, CalculatedAndLookupFields) {
  TMemDataSet names(nullptr);
  FillNames(names);

  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("ID", ftInteger);
  ds.FieldDefs().Add("AMOUNT", ftFloat);
  for (int i = 0; i < ds.FieldDefs().Count(); ++i) ds.FieldDefs().Items(i)->CreateField(&ds);
  auto* calc = new TFloatField(&ds);
  calc->SetFieldName("DOUBLE");
  calc->SetFieldKind(fkCalculated);
  calc->SetDataSet(&ds);
  auto* look = AddTitleLookup(ds, names);
  look->SetDataSet(&ds);
  EventSink sink;
  ds.OnCalcFields.Bind<&EventSink::Calc>(&sink);
  ds.CreateDataSet();
  ds.AppendRecord({2, 1.5});
  ds.AppendRecord({3, 4.0});
  ds.First();
  EXPECT_EQ(ds.FieldByName("DOUBLE")->AsFloat(), 3.0);
  EXPECT_EQ(ds.FieldByName("TITLE")->AsString(), "two");
  ds.Next();
  EXPECT_EQ(ds.FieldByName("DOUBLE")->AsFloat(), 8.0);
  EXPECT_TRUE(ds.FieldByName("TITLE")->IsNull());
  EXPECT_THROW(calc->SetAsFloat(1), EDatabaseError);  // only OnCalcFields writes it
  ds.Edit();
  ds.FieldByName("ID")->SetAsInteger(1);
  EXPECT_EQ(ds.FieldByName("TITLE")->AsString(), "one");  // recalculated on the change
  ds.Post();
  EXPECT_EQ(ds.Lookup("ID", 1, "DOUBLE").ToDouble(), 8.0);
}

// A lookup dataset that counts the questions it is asked.
class TCountingLookup : public TMemDataSet {
 public:
  using TMemDataSet::TMemDataSet;
  int calls = 0;
  Variant Lookup(const QString& keyFields, const Variant& keyValues,
                 const QString& resultFields) override {
    ++calls;
    return TMemDataSet::Lookup(keyFields, keyValues, resultFields);
  }
};

TEST(MemDataSetFields, LookupCacheKeepsResultsUntilTheLookupDataChanges) {
  TCountingLookup names(nullptr);
  FillNames(names);

  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("ID", ftInteger);
  ds.FieldDefs().Items(0)->CreateField(&ds);
  auto* look = AddTitleLookup(ds, names);
  look->SetLookupCache(true);
  look->SetDataSet(&ds);
  ds.CreateDataSet();
  for (int id : {1, 2, 1, 1, 2}) ds.AppendRecord({id});

  auto titles = [&] {
    QStringList out;
    for (ds.First(); !ds.Eof(); ds.Next()) out << look->AsString();
    return out.join(',');
  };
  names.calls = 0;
  EXPECT_EQ(titles(), "one,two,one,one,two");
  EXPECT_EQ(names.calls, 2);  // one question per key
  EXPECT_EQ(titles(), "one,two,one,one,two");
  EXPECT_EQ(names.calls, 2);

  names.First();
  names.Edit();
  names.FieldByName("TITLE")->SetAsString("uno");
  names.Post();  // the lookup data changed: the cache starts again
  EXPECT_EQ(titles(), "uno,two,uno,uno,two");
  EXPECT_EQ(names.calls, 4);

  look->RefreshLookupList();
  EXPECT_EQ(titles(), "uno,two,uno,uno,two");
  EXPECT_EQ(names.calls, 6);

  look->SetLookupCache(false);
  names.calls = 0;
  titles();
  EXPECT_EQ(names.calls, 5);
}

TEST_F(MemDataSet, LinksHearEventsWithTheirNumbers) {
  TDataSource src(nullptr);
  TRecordingLink link;
  link.SetDataSource(&src);
  src.SetDataSet(&ds);
  EXPECT_EQ(link.log, QStringList({"Active=1"}));
  link.log.clear();
  ds.Next();
  EXPECT_EQ(link.events, QList<int>({deCheckBrowseMode, deDataSetScroll}));
  EXPECT_EQ(link.log, QStringList({"Scrolled(1)"}));  // a one-record window moves with the cursor
  link.events.clear();
  link.log.clear();
  ds.Edit();
  ds.FieldByName("NAME")->SetAsString("z");
  ds.Post();
  EXPECT_EQ(link.events, QList<int>({deUpdateState, deRecordChange, deFieldChange, deUpdateRecord,
                                     deCheckBrowseMode, deUpdateState, deDataSetChange}));
  EXPECT_EQ(link.log.join(' ').toStdString(),
            "Editing=1 RecordChanged(nil) RecordChanged(NAME) Editing=0 DataSetChanged");
  link.events.clear();
  ds.FieldByName("NAME")->SetDisplayWidth(30);
  EXPECT_EQ(link.events, QList<int>({deLayoutChange}));
  link.events.clear();
  ds.Close();
  EXPECT_EQ(link.log.last(), "Active=0");
}

TEST_F(MemDataSet, DisabledControlsHearOneChangeWhenEnabled) {
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  TRecordingLink link;
  link.SetDataSource(&src);
  link.events.clear();
  ds.DisableControls();
  ds.DisableControls();
  ds.Next();
  ds.Last();
  ds.EnableControls();
  EXPECT_TRUE(ds.ControlsDisabled());
  EXPECT_TRUE(link.events.isEmpty());
  ds.EnableControls();
  EXPECT_FALSE(ds.ControlsDisabled());
  EXPECT_EQ(link.events, QList<int>({deDataSetChange}));
  link.events.clear();
  ds.DisableControls();
  ds.EnableControls();
  EXPECT_TRUE(link.events.isEmpty());  // nothing happened, nothing replayed
}

TEST_F(MemDataSet, BufferWindowFollowsTheCursor) {
  TDataSource src(nullptr);
  src.SetDataSet(&ds);
  TRecordingLink link;
  link.SetDataSource(&src);
  link.SetBufferCount(3);
  EXPECT_EQ(link.RecordCount(), 3);
  EXPECT_EQ(link.ActiveRecord(), 0);
  link.log.clear();
  ds.Next();
  ds.Next();
  EXPECT_EQ(link.log, QStringList({"Scrolled(0)", "Scrolled(0)"}));
  EXPECT_EQ(link.ActiveRecord(), 2);
  ds.Next();
  EXPECT_EQ(link.log.last(), "Scrolled(1)");
  EXPECT_EQ(link.FirstRecord(), 1);
  // A grid reads each row of its window through ActiveRecord.
  QStringList names;
  const int active = link.ActiveRecord();
  for (int i = 0; i < link.RecordCount(); ++i) {
    link.SetActiveRecord(i);
    names << ds.FieldByName("NAME")->AsString();
  }
  link.SetActiveRecord(active);
  EXPECT_EQ(names, QStringList({"ёжик", "Пётр", "anna"}));
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "anna");
  ds.First();
  EXPECT_EQ(link.FirstRecord(), 0);
}

TEST(MemDataSetMaster, MasterFieldsShowTheLinkedRecordsOnly) {
  TMemDataSet master(nullptr), detail(nullptr);
  master.FieldDefs().Add("ID", ftInteger);
  master.CreateDataSet();
  master.AppendRecord({1});
  master.AppendRecord({2});
  master.AppendRecord({3});
  detail.FieldDefs().Add("MASTER_ID", ftInteger);
  detail.FieldDefs().Add("N", ftInteger);
  detail.CreateDataSet();
  for (auto [m, n] : {std::pair{1, 10}, {2, 20}, {1, 11}, {2, 21}}) detail.AppendRecord({m, n});
  TDataSource src(nullptr);
  src.SetDataSet(&master);
  detail.SetMasterFields("ID");
  detail.SetLinkedFields("MASTER_ID");
  detail.SetMasterSource(&src);
  master.First();
  EXPECT_EQ(detail.RecordCount(), 2);
  EXPECT_EQ(detail.FieldByName("N")->AsInteger(), 10);
  master.Next();
  EXPECT_EQ(detail.RecordCount(), 2);
  EXPECT_EQ(detail.FieldByName("N")->AsInteger(), 20);
  master.Next();
  EXPECT_TRUE(detail.IsEmpty());
  detail.SetMasterSource(nullptr);
  EXPECT_EQ(detail.RecordCount(), 4);
}

}  // namespace

namespace {

// Refuses to judge record 2 by raising.
class TRaisingFilterDataSet : public TMemDataSet {
 public:
  TRaisingFilterDataSet() : TMemDataSet(nullptr) {}
  void Judge(TDataSet*, bool& accept) {
    if (FieldByName("ID")->AsInteger() == 2) throw EDatabaseError(QStringLiteral("refused"));
    accept = true;
  }
};

}  // namespace

TEST(MemDataSetFilter, AHandlerThatRaisesLeavesTheDataSetBrowsing) {
  TRaisingFilterDataSet ds;
  Fill(ds);
  ds.OnFilterRecord.Bind<&TRaisingFilterDataSet::Judge>(&ds);
  EXPECT_THROW(ds.SetFiltered(true), EDatabaseError);
  EXPECT_EQ(ds.State(), dsBrowse);
  ds.OnFilterRecord.Clear();
  ds.SetFiltered(false);
  EXPECT_EQ(Ids(ds), "1,2,3,4");
}
