// List and field components in component text: properties they lack go to the objects
// they stand for; the field components are the list component's children.
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvlistcontrol.h"
#include "db/orvzeossplist.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/reader.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class ListTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orvdblists::FreeDescList();
    orvdb::ResetState();
    RegisterClasses({TOrvListDesc::StaticClass(), TOrvPropDesc::StaticClass()});
  }
  void TearDown() override {
    orvdblists::FreeDescList();
    orvdb::ResetState();
  }
};

TEST_F(ListTextTest, ScriptDefinedListWithFields) {
  TOrvDescList* registry = orvdblists::GetDescList();
  registry->UpdateLinks();
  const int before = registry->Lists()->Count();
  TComponent* c = ReadComponentText(S(R"(object ClientList: TOrvListDesc
  TableName = 'sp_clients'
  Params = ':ID, :FILTER'
  CustomFields = 'NAME'
  Key = 'SCRIPT7'
  object ID: TOrvPropDesc
    DefaultValue = 'COUNTER'
    FieldCaption = 'Код'
  end
  object NAME: TOrvPropDesc
    Visible = False
    KeyFields = 'A;B'
    Caption = 'Наименование'
  end
end)"),
                                    nullptr);
  auto* list = dynamic_cast<TOrvListDesc*>(c);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->Owner(), registry);
  EXPECT_EQ(registry->Lists()->Count(), before + 1);
  EXPECT_FALSE(registry->LinksUpdated);
  TListDesc* d = list->ListDesc();
  EXPECT_EQ(d->TableName(), S("sp_clients"));
  EXPECT_EQ(d->Params, S(":ID, :FILTER"));
  EXPECT_EQ(d->EntryDesc()->Key(), S("SCRIPT7"));
  ASSERT_EQ(d->Props()->Count(), 2);
  TPropDesc* name = d->Props()->FindDesc(S("NAME"));
  ASSERT_NE(name, nullptr);
  EXPECT_TRUE(name->CustomField);
  EXPECT_FALSE(name->GetDefaultView()->Visible());
  EXPECT_EQ(name->Link()->KeyParam(), S("A;B"));
  EXPECT_EQ(name->Caption(), S("Наименование"));
  EXPECT_EQ(name->GetDefaultView()->GetIndex(), 1);
  EXPECT_EQ(d->Props()->FindDesc(S("ID"))->DefaultValue, S("COUNTER"));
  EXPECT_EQ(d->Props()->FindDesc(S("ID"))->Caption(), S("Код"));

  QStringList children;
  list->GetChildren([&](TComponent* child) { children << child->Name(); }, nullptr);
  EXPECT_EQ(children, (QStringList{S("ID"), S("NAME")}));
}

TEST_F(ListTextTest, AnUnknownPropertyIsStillAnError) {
  orvdblists::GetDescList();
  EXPECT_ANY_THROW(ReadComponentText(S(R"(object L: TOrvListDesc
  NoSuchProperty = 1
end)"),
                                     nullptr));
}

TEST_F(ListTextTest, AListDatasetCarriesItsListControlsProperties) {
  RegisterClasses({TOrvZeosSPList::StaticClass()});
  TComponent* c = ReadComponentText(S(R"(object Q: TOrvZeosSPList
  AssignTitles = False
  LinkID = '  Источник  '
  LoadParams = True
end)"),
                                    nullptr);
  auto* q = dynamic_cast<TOrvZeosSPList*>(c);
  ASSERT_NE(q, nullptr);
  EXPECT_FALSE(q->ListControl()->AssignTitles);
  EXPECT_EQ(q->ListControl()->LinkID(), S("Источник"));
  EXPECT_TRUE(q->LoadParams);
  c->Free();
  EXPECT_ANY_THROW(ReadComponentText(S(R"(object Q: TOrvZeosSPList
  NoSuchProperty = 1
end)"),
                                     nullptr));
}

}  // namespace
