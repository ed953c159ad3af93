// Data-aware check boxes, radio groups, combo and list boxes, and lookup controls.
#include "dbctrls_test.h"

#include "platform/ui/dbchoice.h"
#include "platform/ui/dblookup.h"

namespace {

class ChoiceTest : public DBFormTest {};

TEST_F(ChoiceTest, CheckBoxShowsNullGrayedAndWritesTheFirstValue) {
  auto* flag = Make<TDBCheckBox>("Flag");
  flag->SetDataSource(source_);
  flag->SetDataField("FLAG");
  auto* kind = Make<TDBCheckBox>("Kind", 30);
  kind->SetDataSource(source_);
  kind->SetDataField("KIND");
  kind->SetValueChecked("a;Yes");
  kind->SetValueUnchecked("Z;No");
  struct Row {
    int id;
    TCheckBoxState flag, kind;
  };
  for (const Row r : {Row{1, cbChecked, cbChecked}, Row{2, cbGrayed, cbGrayed},
                      Row{3, cbUnchecked, cbUnchecked}}) {
    SCOPED_TRACE(r.id);
    ds_->Locate("ID", r.id, {});
    EXPECT_EQ(flag->State(), r.flag);
    EXPECT_EQ(kind->State(), r.kind);
  }
  kind->Toggle();  // record 3: Z -> checked, written as the first checked value
  flag->Toggle();
  EXPECT_EQ(ds_->State(), dsEdit);
  ds_->Post();
  EXPECT_EQ(F("KIND")->AsString(), "a");
  EXPECT_TRUE(F("FLAG")->AsBoolean());
  kind->SetReadOnly(true);
  kind->Toggle();
  EXPECT_EQ(kind->State(), cbChecked);
  EXPECT_EQ(ds_->State(), dsBrowse);
}

TEST_F(ChoiceTest, RadioGroupValuesAndAnUnknownValue) {
  auto* g = Make<TDBRadioGroup>("Kinds");
  g->Items()->SetText("Альфа\r\nБета\r\nЗета");
  g->Values()->SetText("A\r\nB\r\nZ");
  g->SetDataSource(source_);
  g->SetDataField("KIND");
  EXPECT_EQ(g->ItemIndex(), 0);
  EXPECT_EQ(g->Value(), "A");
  ds_->Next();
  EXPECT_EQ(g->ItemIndex(), 1);
  F("KIND")->DataSet()->Edit();
  F("KIND")->SetAsString("Q");
  EXPECT_EQ(g->ItemIndex(), -1);
  ds_->Cancel();
  g->Buttons(2)->SetChecked(true);  // the user's click
  EXPECT_EQ(g->ItemIndex(), 2);
  ds_->Post();
  EXPECT_EQ(F("KIND")->AsString(), "Z");
  // Without Values the items are the values.
  g->Values()->Clear();
  g->Items()->SetText("A\r\nB\r\nZ");
  ds_->First();
  EXPECT_EQ(g->ItemIndex(), 0);
  g->SetReadOnly(true);
  g->Buttons(1)->SetChecked(true);
  EXPECT_EQ(g->ItemIndex(), 0);
  EXPECT_EQ(ds_->State(), dsBrowse);
}

TEST_F(ChoiceTest, ComboAndListBoxesEditTheFieldText) {
  auto* combo = Make<TDBComboBox>("Combo");
  combo->Items()->SetText("A\r\nB\r\nZ");
  combo->SetDataSource(source_);
  combo->SetDataField("KIND");
  auto* list = Make<TDBListBox>("List", 30);
  list->Items()->SetText("A\r\nB\r\nZ");
  list->SetDataSource(source_);
  list->SetDataField("KIND");
  EXPECT_EQ(combo->Text(), "A");
  EXPECT_EQ(list->ItemIndex(), 0);
  combo->UserSelected(2);
  EXPECT_EQ(ds_->State(), dsEdit);
  ds_->Post();
  EXPECT_EQ(F("KIND")->AsString(), "Z");
  EXPECT_EQ(list->ItemIndex(), 2);
  list->UserSelected(1);
  ds_->Post();
  EXPECT_EQ(F("KIND")->AsString(), "B");
  EXPECT_EQ(combo->Text(), "B");
}

class LookupTest : public DBFormTest {
 public:
  void SetUp() override {
    DBFormTest::SetUp();
    kinds_ = new TMemDataSet(form_);
    kinds_->SetName("Kinds");
    kinds_->FieldDefs().Add("CODE", ftString, 10);
    kinds_->FieldDefs().Add("TITLE", ftString, 30);
    kinds_->CreateDataSet();
    kinds_->AppendRecord({"A", "Альфа"});
    kinds_->AppendRecord({"B", "Бета"});
    kinds_->AppendRecord({"Z", "Зета"});
    kinds_->First();
    kindSource_ = new TDataSource(form_);
    kindSource_->SetDataSet(kinds_);
  }
  TMemDataSet* kinds_ = nullptr;
  TDataSource* kindSource_ = nullptr;
};

TEST_F(LookupTest, ChoosingAnEntryWritesItsKey) {
  auto* c = Make<TDBLookupComboBox>("Lookup");
  c->SetListSource(kindSource_);
  c->SetKeyField("CODE");
  c->SetListField("TITLE;CODE");
  c->SetDataSource(source_);
  c->SetDataField("KIND");
  EXPECT_EQ(c->Items()->Count(), 3);
  EXPECT_EQ(c->KeyValue(), Variant("A"));
  EXPECT_EQ(c->Text(), "Альфа");
  c->UserSelected(1);
  EXPECT_EQ(ds_->State(), dsEdit);
  EXPECT_EQ(F("KIND")->AsString(), "B");
  ds_->Post();
  ds_->Last();  // KIND "Z"
  EXPECT_EQ(c->Text(), "Зета");
  c->SetKeyValue("NONE");
  EXPECT_EQ(c->Text(), "");
  EXPECT_EQ(F("KIND")->AsString(), "Z");
  EXPECT_EQ(kinds_->RecNo(), 1);  // reading the list leaves its cursor alone
}

TEST_F(LookupTest, AListBoxOverALookupFieldTakesItsSettings) {
  auto* orders = new TMemDataSet(form_);
  orders->FieldDefs().Add("ID", ftInteger);
  orders->FieldDefs().Add("KIND", ftString, 10);
  for (int i = 0; i < orders->FieldDefs().Count(); ++i)
    orders->FieldDefs().Items(i)->CreateField(orders);
  auto* lf = new TStringField(orders);
  lf->SetFieldName("KINDTITLE");
  lf->SetFieldKind(fkLookup);
  lf->SetLookupDataSet(kinds_);
  lf->SetKeyFields("KIND");
  lf->SetLookupKeyFields("CODE");
  lf->SetLookupResultField("TITLE");
  lf->SetDataSet(orders);
  orders->CreateDataSet();
  orders->AppendRecord({1, "A"});
  source_->SetDataSet(orders);
  auto* l = Make<TDBLookupListBox>("Lookup");
  l->SetDataSource(source_);
  l->SetDataField("KINDTITLE");
  ASSERT_EQ(l->Items()->Count(), 3);
  EXPECT_EQ(l->ItemIndex(), 0);
  l->UserSelected(2);
  orders->Post();
  EXPECT_EQ(orders->FieldByName("KIND")->AsString(), "Z");
  EXPECT_EQ(lf->AsString(), "Зета");
}

}  // namespace
