// Views of lists, ordered placement, title groups, captions and styles of displayed
// fields, grid setups and menu entries.
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class ViewsTest : public ::testing::Test {
 protected:
  void SetUp() override { orvdb::ResetState(); }
  void TearDown() override {
    lists->Free();
    orvdb::ResetState();
  }
  TListDesc* List(const char* name) { return static_cast<TListDesc*>(lists->FindOrAdd(S(name))); }
  TPropDesc* Field(TListDesc* list, const char* name) { return list->Props()->FindOrAdd(S(name)); }
  QString Order(TListDescView* view) {
    QStringList names;
    for (int i = 0; i < view->ViewFields()->Count(); ++i)
      names << view->ViewFields()->Item(i)->Field()->TFieldDesc::GetName();
    return names.join(QLatin1Char(','));
  }
  TDescList* lists = new TDescList();
};

TEST_F(ViewsTest, AFieldGetsItsViewsUpToTheOneAskedFor) {
  TListDesc* l = List("L");
  EXPECT_EQ(l->Views()->Count(), 2);
  TPropDesc* f = Field(l, "F");
  TFieldView* def = f->GetDefaultView();
  def->SetVisible(false);
  def->SetDisplayWidth(33);
  TFieldView* v5 = f->GetView(l->Views()->GetSetup(5));
  EXPECT_EQ(l->Views()->Count(), 6);
  EXPECT_EQ(f->FieldViews()->Count(), 6);
  for (int i = 1; i <= 5; ++i) {
    TFieldView* v = f->FieldViews()->Item(i);
    EXPECT_FALSE(v->Visible());
    EXPECT_EQ(v->DisplayWidth(), 33);
    EXPECT_EQ(v->ViewFields(), l->Views()->GetSetup(i)->ViewFields());
  }
  EXPECT_EQ(l->Views()->GetSetup(5)->FieldViewByName(S("f")), v5);
  EXPECT_EQ(f->GetView(nullptr), def);
}

TEST_F(ViewsTest, PlacementOrdersByIndexThenName) {
  TListDesc* l = List("L");
  for (const char* n : {"C", "B", "A", "D"}) Field(l, n)->GetDefaultView();
  Field(l, "C")->GetDefaultView()->SetIndex(1);
  Field(l, "B")->GetDefaultView()->SetIndex(1);
  Field(l, "A")->GetDefaultView()->SetIndex(2);
  Field(l, "D")->GetDefaultView()->SetIndex(0);
  EXPECT_EQ(Order(l->Views()->GetSetup(0)), S("D,B,C,A"));
  EXPECT_EQ(Field(l, "B")->GetDefaultView()->GetIndex(), 1);
  // A field leaves its view when it goes.
  l->Props()->FindDesc(S("B"))->Free();
  EXPECT_EQ(Order(l->Views()->GetSetup(0)), S("D,C,A"));
}

TEST_F(ViewsTest, TitleGroupsFromDashNames) {
  TListDesc* l = List("L");
  Field(l, "A");
  Field(l, "-G1");
  TPropDesc* g2 = Field(l, "-G2CB12");
  TPropDesc* g1 = l->Props()->FindDesc(S("-G1"));
  // The header just before it is a header too: it joins.
  EXPECT_EQ(g1->GroupField(), g2);
  EXPECT_EQ(g2->GroupFieldNames(), S("-G1"));
  EXPECT_EQ(g2->FontSize, 12);
  EXPECT_EQ(g2->FontStyle, 1u << orvlib::fsBold);
  EXPECT_EQ(g2->Alignment, orvlib::taCenter);
  // An ordinary field before a header joins only when it already has a group.
  EXPECT_EQ(l->Props()->FindDesc(S("A"))->GroupField(), nullptr);
  // Freeing the header frees its members from it.
  g2->Free();
  EXPECT_EQ(g1->GroupField(), nullptr);

  TListDesc* single = List("S");
  TPropDesc* only = Field(single, "X");
  only->SetName(S("-X"));
  EXPECT_EQ(only->TitleGroup(), nullptr);
}

TEST_F(ViewsTest, CaptionsLabelsHintsAndStyles) {
  TPropDesc* f = Field(List("L"), "F");
  f->SetCaptions(S("Сумма"), S(""), S(""));
  EXPECT_EQ(f->DisplayLabel(), S("Сумма"));
  EXPECT_FALSE(f->IsDisplayLabelStored());
  f->SetDisplayLabel(S("Сумма"));
  f->SetFieldHint(S("Сумма"));
  f->SetFieldCaption(S("Итог"));
  EXPECT_EQ(f->DisplayLabel(), S("Итог"));
  EXPECT_EQ(f->FieldHint(), S("Итог"));
  f->SetDisplayLabel(S("Свой"));
  f->SetFieldCaption(S("Ещё"));
  EXPECT_EQ(f->DisplayLabel(), S("Свой"));
  EXPECT_TRUE(f->IsDisplayLabelStored());
  f->SetDisplayLabel(S(""));
  EXPECT_EQ(f->DisplayLabel(), S("Свой"));

  f->StyleNames[1] = S("bold;red;big");
  EXPECT_EQ(f->StyleWord(1, 2), S("red"));
  EXPECT_EQ(f->StyleWord(1, 4), S(""));
  auto* s2 = QueryAs<IFieldStyle2>(static_cast<IFieldDisplay*>(f)->GetStyleIntf(false));
  ASSERT_NE(s2, nullptr);
  EXPECT_EQ(s2->StyleWord(1), S("red"));
  auto* s3 = QueryAs<IFieldStyle3>(static_cast<IFieldDisplay*>(f));
  ASSERT_NE(s3, nullptr);
  EXPECT_EQ(s3->StyleWord(1), S("big"));
}

TEST_F(ViewsTest, GridSetupItems) {
  TGridSetup* s = List("L")->Views()->GetSetup(0);
  s->SetItem(5, S("a"));
  s->SetItem(5, S("b"));
  EXPECT_EQ(s->ItemCount(), 1);
  EXPECT_EQ(s->GetItemValue(0), S("b"));
  for (int i = 1; i < TGridSetup::MaxItems; ++i) s->SetItem(100 + i, S("x"));
  try {
    s->SetItem(999, S("y"));
    FAIL() << "an eleventh item was taken";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), S("Превышено количество свойств пользовательских настроек"));
  }
  EXPECT_EQ(s->ItemCount(), TGridSetup::MaxItems);
  EXPECT_EQ(s->GetItemTypeID(9), 109);
  TGridSetups* views = List("M")->Views();
  EXPECT_EQ(views->GetSetup(3), views->GetSetup(3));
  EXPECT_EQ(views->Count(), 4);
}

TEST_F(ViewsTest, EntriesAndTheDefaultEntry) {
  TOrvEntryDesc* e = List("L")->EntryDesc();
  e->SetKey(S("SCRIPT1"));
  e->SetKey(S("SCRIPT1"));
  EXPECT_EQ(e->Entries()->Count(), 1);
  EXPECT_EQ(e->Entries()->Item(0)->DisplayName(), S("&_. По умолчанию"));
  EXPECT_FALSE(e->IsEntriesStored());
  auto* second = static_cast<TOrvEntryItem*>(e->Entries()->Add());
  second->ScriptID = S("S2");
  e->SetKey(S("SCRIPT3"));
  EXPECT_EQ(e->Entries()->Count(), 2);
  EXPECT_EQ(e->Key(), S("SCRIPT3"));
  second->SetShortCutText(S("Нет такой клавиши"));
  EXPECT_EQ(second->ShortCut, 0);
  second->SetShortCutText(S("Ctrl+B"));
  EXPECT_NE(second->ShortCut, 0);
  EXPECT_EQ(second->ShortCutText(), S("Ctrl+B"));
}

}  // namespace
