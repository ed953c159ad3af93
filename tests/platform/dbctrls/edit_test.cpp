// Data-aware edits, memos and texts over an in-memory table: what they show at rest and
// while editing, how typing starts editing or is refused, Escape, writing on exit and on
// post, and errors that keep the focus and the typed text.
#include "dbctrls_test.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/dbctrls.h"

namespace {

class DBEditTest : public DBFormTest {
 public:
  TDBEdit* Edit(const char* field) {
    auto* e = Make<TDBEdit>("DBEdit1");
    e->SetDataSource(source_);
    e->SetDataField(field);
    other_ = Make<TEdit>("Other", 40);
    return e;
  }
  TEdit* other_ = nullptr;
};

TEST_F(DBEditTest, ShowsDisplayTextAtRestAndEditTextWhileFocused) {
  TDBEdit* e = Edit("AMOUNT");
  F("AMOUNT")->SetEditFormat("0.#");
  EXPECT_EQ(e->Text(), "10.50");
  Show();
  e->SetFocus();
  EXPECT_EQ(e->Text(), "10.5");
  ds_->Next();
  EXPECT_EQ(e->Text(), "20");
  other_->SetFocus();
  EXPECT_EQ(e->Text(), "20.00");
  EXPECT_EQ(e->Field(), F("AMOUNT"));
}

TEST_F(DBEditTest, TypingStartsEditAndLeavingWritesTheField) {
  TDBEdit* e = Edit("NAME");
  Show();
  e->SetFocus();
  e->SelectAll();
  Type(e, "Olga");
  EXPECT_EQ(ds_->State(), dsEdit);
  EXPECT_EQ(e->Text(), "Olga");
  EXPECT_EQ(F("NAME")->AsString(), "Иван");  // not yet written
  other_->SetFocus();
  EXPECT_EQ(F("NAME")->AsString(), "Olga");
  ds_->Post();
  EXPECT_EQ(F("NAME")->AsString(), "Olga");
  EXPECT_TRUE(headless_.Requests.empty());
}

TEST_F(DBEditTest, PostingWritesWhatIsTypedWithoutLeaving) {
  TDBEdit* e = Edit("NAME");
  Show();
  e->SetFocus();
  e->SelectAll();
  Type(e, "Zoe");
  ds_->Post();
  EXPECT_EQ(ds_->State(), dsBrowse);
  EXPECT_EQ(F("NAME")->AsString(), "Zoe");
  EXPECT_EQ(e->Text(), "Zoe");
}

TEST_F(DBEditTest, TypingIsRefusedWhenNothingMayChange) {
  struct Case {
    const char* what;
    std::function<void(DBEditTest*, TDBEdit*)> lock;
  };
  const Case cases[] = {
      {"control read-only", [](DBEditTest*, TDBEdit* e) { e->SetReadOnly(true); }},
      {"field read-only", [](DBEditTest* t, TDBEdit*) { t->F("NAME")->SetReadOnly(true); }},
      {"dataset read-only", [](DBEditTest* t, TDBEdit*) { t->ds_->SetReadOnly(true); }},
      {"source without AutoEdit", [](DBEditTest* t, TDBEdit*) { t->source_->SetAutoEdit(false); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TearDown();
    SetUp();
    TDBEdit* e = Edit("NAME");
    c.lock(this, e);
    Show();
    e->SetFocus();
    Type(e, "x");
    SendKey(e, Qt::Key_Backspace, "\b");
    SendKey(e, Qt::Key_Delete);
    EXPECT_EQ(ds_->State(), dsBrowse);
    EXPECT_EQ(e->Text(), "Иван");
  }
}

TEST_F(DBEditTest, CharactersTheFieldRefusesAreDropped) {
  TDBEdit* e = Edit("ID");
  Show();
  e->SetFocus();
  e->SelectAll();
  Type(e, "4x2");
  EXPECT_EQ(e->Text(), "42");
  other_->SetFocus();
  EXPECT_EQ(F("ID")->AsInteger(), 42);
}

TEST_F(DBEditTest, EscapeDropsTheTypedText) {
  TDBEdit* e = Edit("NAME");
  Show();
  e->SetFocus();
  Type(e, "!!");
  EXPECT_EQ(e->Text(), "Иван!!");
  SendKey(e, Qt::Key_Escape, "\x1b");
  EXPECT_EQ(e->Text(), "Иван");
  other_->SetFocus();
  EXPECT_EQ(F("NAME")->AsString(), "Иван");
}

TEST_F(DBEditTest, AConversionErrorIsShownAndTheControlKeepsFocusAndText) {
  TDBEdit* e = Edit("D");
  Show();
  e->SetFocus();
  Type(e, "32.13.2024");
  other_->SetFocus();
  DeliverPendingMessages();
  ASSERT_EQ(headless_.Requests.size(), 1u);
  EXPECT_EQ(headless_.Requests[0].Flags & 0xF0, mbIconError);
  EXPECT_TRUE(headless_.Requests[0].Text.contains("32.13.2024"))
      << headless_.Requests[0].Text.toStdString();
  EXPECT_EQ(form_->ActiveControl(), e);
  EXPECT_EQ(e->Text(), "32.13.2024");
  EXPECT_EQ(ds_->State(), dsEdit);
  // Posting meets the same error: the dataset stays in edit state with the text.
  EXPECT_THROW(ds_->Post(), Exception);
  EXPECT_EQ(ds_->State(), dsEdit);
  EXPECT_EQ(e->Text(), "32.13.2024");
}

TEST_F(DBEditTest, AFieldNameTheOpenDatasetLacksNamesTheControl) {
  auto* e = Make<TDBEdit>("DBEdit1");
  e->SetDataSource(source_);
  try {
    e->SetDataField("NOPE");
    FAIL();
  } catch (const EDatabaseError& err) {
    EXPECT_EQ(err.Message(), "DBEdit1: Field 'NOPE' not found");
  }
  EXPECT_EQ(e->Field(), nullptr);
  // Closed, the name is kept and checked when the dataset opens again.
  ds_->Close();
  e->SetDataField("NAME");
  ds_->Open();
  EXPECT_EQ(e->Field(), F("NAME"));
  EXPECT_EQ(e->Text(), "Иван");
}

TEST_F(DBEditTest, FieldFocusControlFocusesTheBoundControl) {
  TDBEdit* e = Edit("NAME");
  Show();
  other_->SetFocus();
  F("NAME")->FocusControl();
  EXPECT_EQ(form_->ActiveControl(), e);
}

TEST_F(DBEditTest, ADataSourceFreedFirstLeavesTheControlUnbound) {
  TDBEdit* e = Edit("NAME");
  delete source_;
  source_ = nullptr;
  EXPECT_EQ(e->DataSource(), nullptr);
  EXPECT_EQ(e->Field(), nullptr);
  EXPECT_EQ(e->Text(), "");
}

class DBMemoTest : public DBFormTest {};

TEST_F(DBMemoTest, EditsAMemoFieldLineByLine) {
  auto* m = Make<TDBMemo>("DBMemo1");
  m->SetDataSource(source_);
  m->SetDataField("NOTE");
  auto* other = Make<TEdit>("Other", 120);
  ASSERT_EQ(m->Lines()->Count(), 2);
  EXPECT_EQ(m->Lines()->Strings(1), "строка 2");
  Show();
  m->SetFocus();
  SendKey(m, Qt::Key_End, QString(), Qt::ControlModifier);
  SendKey(m, Qt::Key_Return, "\r");
  Type(m, "line3");
  EXPECT_EQ(ds_->State(), dsEdit);
  EXPECT_EQ(m->Lines()->Count(), 3) << m->Text().toStdString();
  other->SetFocus();
  ds_->Post();
  EXPECT_EQ(F("NOTE")->AsString(), "строка 1\r\nстрока 2\r\nline3");
  ds_->Next();
  EXPECT_EQ(m->Lines()->Count(), 0);
}

TEST_F(DBMemoTest, AReadOnlyMemoRefusesTyping) {
  auto* m = Make<TDBMemo>("DBMemo1");
  m->SetDataSource(source_);
  m->SetDataField("NOTE");
  m->SetReadOnly(true);
  Show();
  m->SetFocus();
  Type(m, "zz");
  SendKey(m, Qt::Key_Return, "\r");
  EXPECT_EQ(ds_->State(), dsBrowse);
  EXPECT_EQ(m->Lines()->Count(), 2);
}

TEST_F(DBFormTest, DBTextShowsTheDisplayTextOfTheCurrentRecord) {
  auto* t = Make<TDBText>("DBText1");
  t->SetDataSource(source_);
  t->SetDataField("AMOUNT");
  EXPECT_EQ(t->Caption(), "10.50");
  ds_->Last();
  EXPECT_EQ(t->Caption(), "5.00");
  ds_->Close();
  EXPECT_EQ(t->Caption(), "");
}

}  // namespace
