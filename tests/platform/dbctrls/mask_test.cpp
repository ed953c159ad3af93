// The edit-mask language as a table, typing into masked lines, and a masked data-aware edit.
#include "dbctrls_test.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/maskedit.h"

namespace {

TEST(EditMask, TextsBothWays) {
  struct Row {
    const char* mask;
    const char* text;  // given to EditTextFromText
    const char* edit;  // the edit text shown
    const char* back;  // TextFromEditText of it
    int missing;       // FirstMissing of it
  };
  const Row rows[] = {
      {"!99/99/0000;1;_", "12.05.2024", "12.05.2024", "12.05.2024", -1},
      {"!99/99/0000;1;_", "", "__.__.____", "", -1},
      {"00:00;1;_", "7:3", "7_:__", "7 :", 1},  // position by position
      {"(000) 000-00-00;0;_", "9161234567", "(916) 123-45-67", "9161234567", -1},
      {"(000) 000-00-00;0;*", "916", "(916) ***-**-**", "916", 6},
      {">LL<ll;1;_", "abCD", "ABcd", "ABcd", -1},
      {">L<>l;1;_", "aB", "AB", "AB", -1},
      {"\\A\\;00;0;_", "12", "A;12", "12", -1},
      {"999;0; ", "5", "5  ", "5", -1},
      {"!999;0; ", "5", "  5", "5", -1},
      {"#9;1;_", "-4", "-4", "-4", -1},
      {"CcAa;1;_", "$ x1", "$_x1", "$ x1", -1},
      {"LL;1;_", "1a", "_a", "a", 0},
      {"000_00;1;_", "123 45", "123 45", "123 45", -1},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.mask) + " / " + r.text);
    const TEditMask m{QString::fromUtf8(r.mask)};
    const QString edit = m.EditTextFromText(QString::fromUtf8(r.text));
    EXPECT_EQ(edit, QString::fromUtf8(r.edit));
    EXPECT_EQ(m.TextFromEditText(edit), QString::fromUtf8(r.back));
    EXPECT_EQ(m.FirstMissing(edit), r.missing);
  }
}

TEST(EditMask, SectionsAndPositions) {
  const TEditMask m(QStringLiteral("!99/99/0000;0;*"));
  EXPECT_FALSE(m.SaveLiterals());
  EXPECT_EQ(m.Blank(), QChar('*'));
  EXPECT_EQ(m.Length(), 10);
  EXPECT_TRUE(m.IsLiteral(2));
  EXPECT_EQ(m.NextInput(2), 3);
  EXPECT_EQ(m.NextInput(2, true), 1);
  EXPECT_TRUE(m.Accept(0, QChar('x')).isNull());
  EXPECT_EQ(TEditMask(QStringLiteral("0000")).SaveLiterals(), true);
  EXPECT_TRUE(TEditMask(QString()).IsEmpty());
}

class MaskEditTest : public DBFormTest {};

TEST_F(MaskEditTest, TypingFillsPositionsAndSkipsLiterals) {
  auto* e = Make<TMaskEdit>("Phone");
  e->SetEditMask("(000) 000-00-00;0;_");
  Show();
  e->SetFocus();
  e->SetSelStart(0);
  Type(e, "91x61234");
  EXPECT_EQ(e->EditText(), "(916) 123-4_-__");
  EXPECT_EQ(e->Text(), "9161234");
  EXPECT_THROW(e->ValidateEdit(), EDBEditError);
  EXPECT_EQ(e->SelStart(), 11);
  Type(e, "567");
  EXPECT_NO_THROW(e->ValidateEdit());
  SendKey(e, Qt::Key_Backspace, "\b");
  EXPECT_EQ(e->EditText(), "(916) 123-45-6_");
  e->SetText("4951112233");
  EXPECT_EQ(e->EditText(), "(495) 111-22-33");
}

TEST_F(MaskEditTest, ADataAwareEditTakesTheFieldsMask) {
  F("KIND")->SetEditMask(">LL;1;_");
  auto* e = Make<TDBEdit>("Kind");
  e->SetDataSource(source_);
  e->SetDataField("KIND");
  auto* other = Make<TEdit>("Other", 40);
  EXPECT_EQ(e->EditMask(), ">LL;1;_");
  EXPECT_EQ(e->EditText(), "A_");
  Show();
  e->SetFocus();
  e->SetSelStart(0);
  Type(e, "q");
  EXPECT_EQ(ds_->State(), dsEdit);
  EXPECT_EQ(e->EditText(), "Q_");
  other->SetFocus();  // the second letter is required
  DeliverPendingMessages();
  ASSERT_EQ(headless_.Requests.size(), 1u);
  EXPECT_TRUE(headless_.Requests[0].Text.startsWith("Invalid input value"));
  EXPECT_EQ(form_->ActiveControl(), e);
  e->SetSelStart(1);
  Type(e, "w");
  other->SetFocus();
  EXPECT_EQ(F("KIND")->AsString(), "QW");
}

}  // namespace
