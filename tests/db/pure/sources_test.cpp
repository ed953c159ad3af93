// The data source's rights and users, the null field and copy record, without a server.
#include "db/orvdatasource.h"
#include "db/orvdb.h"
#include "db/orvdblinks.h"
#include "db/orvzeossetup.h"
#include "platform/classes/reader.h"
#include "platform/classes/rtlclasses.h"
#include "platform/classes/writer.h"
#include "platform/classes/actions.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// An action whose update handler decides its state.
class TUpdatingAction : public TCustomAction {
 public:
  explicit TUpdatingAction(TComponent* owner) : TCustomAction(owner) {}
  bool allow = true;
  int updates = 0;
  bool Update() override {
    ++updates;
    SetEnabled(allow);
    return true;
  }
};

TEST(DataSource, RightsComeFromTheDataSetThenTheActions) {
  TComponent owner(nullptr);
  auto* src = new TOrvDataSource(&owner);
  EXPECT_FALSE(src->CanEdit());
  EXPECT_FALSE(orvdbintf::CanInsert(src));
  auto* ds = new TMemDataSet(&owner);
  ds->FieldDefs().Add("ID", ftInteger);
  ds->CreateDataSet();
  ds->AppendRecord({Variant(1)});
  src->SetDataSet(ds);
  EXPECT_TRUE(src->CanDelete() && src->CanEdit() && src->CanInsert());
  auto* edit = new TUpdatingAction(&owner);
  src->SetEditAction(edit);
  edit->allow = false;
  EXPECT_FALSE(orvdbintf::CanEdit(src));
  EXPECT_GE(edit->updates, 1);
  edit->allow = true;
  edit->SetVisible(false);
  EXPECT_FALSE(src->CanEdit());
  edit->SetVisible(true);
  EXPECT_TRUE(src->CanEdit());
  EXPECT_TRUE(src->CanDelete());
  edit->Free();  // a freed action no longer vetoes
  EXPECT_EQ(src->EditAction(), nullptr);
  EXPECT_TRUE(src->CanEdit());
}

TEST(DataSource, TheDataSetIsOpenWhileItHasUsers) {
  TComponent owner(nullptr);
  auto* src = new TOrvDataSource(&owner);
  auto* ds = new TMemDataSet(&owner);
  ds->FieldDefs().Add("ID", ftInteger);
  ds->CreateDataSet();
  ds->Close();
  src->SetDataSet(ds);
  auto* a = new TComponent(&owner);
  auto* b = new TComponent(&owner);
  orvdatasource::AddDataSourceUser(src, a);
  EXPECT_TRUE(ds->Active());
  src->SetUser(b, true);
  src->RemoveUser(a);
  EXPECT_TRUE(ds->Active());
  b->Free();  // a freed user leaves the list without closing
  EXPECT_EQ(src->UserCount(), 0);
  EXPECT_TRUE(ds->Active());
  orvdatasource::RemoveDataSourceUser(src, nullptr);
  EXPECT_FALSE(ds->Active());
  orvdatasource::AddDataSourceUser(nullptr, a);  // nothing to do
}

TEST(NullField, ClearsFieldsAndParametersOnly) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("S", ftString, 5);
  ds.CreateDataSet();
  ds.Append();
  ds.FieldByName("S")->SetAsString("x");
  ds.FieldByName("S")->Assign(orvdblinks::NullField());
  EXPECT_TRUE(ds.FieldByName("S")->IsNull());
  TParams params;
  TParam* p = params.CreateParam(ftInteger, "P", ptInput);
  p->SetAsInteger(3);
  p->Assign(orvdblinks::NullField());
  EXPECT_TRUE(p->IsNull());
  TStringList other;
  EXPECT_THROW(other.Assign(orvdblinks::NullField()), EConvertError);
}

TEST(CopyRecord, NewRecordTakesTheCopyableValuesAndTheBlob) {
  TRootEnvScope env;
  orvdb::ResetState();
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("ID", ftInteger);
  ds.FieldDefs().Add("NAME", ftString, 10);
  ds.FieldDefs().Add("DATA", ftBlob);
  ds.FieldDefs().Add("NOTE", ftString, 10);
  ds.CreateDataSet();
  ds.Append();
  ds.FieldByName("ID")->SetAsInteger(1);
  ds.FieldByName("NAME")->SetAsString("first");
  TMemoryStream bytes;
  const QByteArray payload(
      "\x00\x01\xff"
      "blob",
      7);
  bytes.WriteBuffer(payload.constData(), payload.size());
  static_cast<TBlobField*>(ds.FieldByName("DATA"))->LoadFromStream(&bytes);
  ds.Post();
  TOrvLocationControl control(nullptr, &ds);
  control.SetCopyRecord(true);
  control.BeforeInsert();
  EXPECT_TRUE(control.GetCopyDataInProgress());
  ds.Append();
  control.NewRecordPending = true;
  control.NewRecord();
  EXPECT_FALSE(control.GetCopyDataInProgress());
  EXPECT_TRUE(ds.FieldByName("ID")->IsNull());
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), "first");
  EXPECT_TRUE(ds.FieldByName("NOTE")->IsNull());
  TMemoryStream out;
  static_cast<TBlobField*>(ds.FieldByName("DATA"))->SaveToStream(&out);
  EXPECT_EQ(out.Bytes(), payload);
  ds.Cancel();
  orvdb::ResetState();
}

TEST(MoveFieldTo, PositionsAreClamped) {
  TMemDataSet ds(nullptr);
  for (const char* n : {"A", "B", "C"}) ds.FieldDefs().Add(n, ftInteger);
  ds.CreateDataSet();
  orvdb::MoveFieldTo(ds.FieldByName("A"), 9);
  EXPECT_EQ(ds.FieldByName("A")->Index(), 2);
  orvdb::MoveFieldTo(ds.FieldByName("A"), -1);
  EXPECT_EQ(ds.FieldByName("A")->Index(), 2);
  orvdb::MoveFieldTo(ds.FieldByName("A"), 0);
  EXPECT_EQ(ds.FieldByName("A")->Index(), 0);
}

}  // namespace

namespace {

TEST(DataSource, StoredFormsCreateItWithItsActions) {
  orvzeossetup::RegisterClasses();
  DescribeRuntimeClasses();
  TComponent root(nullptr);
  ReadComponentText(QStringLiteral("object DM: TComponent\r\n"
                                   "  object AL: TActionList\r\n"
                                   "    object EditA: TAction\r\n"
                                   "      Visible = False\r\n"
                                   "    end\r\n"
                                   "  end\r\n"
                                   "  object DS: TOrvDataSource\r\n"
                                   "    EditAction = EditA\r\n"
                                   "  end\r\n"
                                   "end\r\n"),
                    &root);
  auto* ds = dynamic_cast<TOrvDataSource*>(root.FindComponent("DS"));
  ASSERT_NE(ds, nullptr);
  EXPECT_EQ(ds->EditAction(), root.FindComponent("EditA"));
  EXPECT_FALSE(ds->CanEdit());  // no dataset, and the action is hidden
  EXPECT_TRUE(WriteComponentText(&root).contains("EditAction = EditA"));
  // An aliases table made at run time stays out of the text; a named one is written.
  auto* generated = new TOrvAliasesTable(&root);
  auto* named = new TOrvAliasesTable(&root);
  named->SetName("Aliases");
  const QString text = WriteComponentText(&root);
  EXPECT_FALSE(text.contains(generated->Name()));
  EXPECT_TRUE(text.contains("object Aliases: TOrvAliasesTable"));
}

}  // namespace
