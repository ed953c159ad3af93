// Links between lists: key chains, targets, list-id field names, renames and a field's link
// outliving its collection.
#include "db/orvdb.h"
#include "db/orvlinkdesc.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class LinksTest : public ::testing::Test {
 protected:
  void SetUp() override { orvdb::ResetState(); }
  void TearDown() override {
    lists.reset();
    orvdb::ResetState();
  }
  TLinkedPropDesc* Field(const char* list, const char* name) {
    auto* d = static_cast<TLinkedListDesc*>(lists->FindOrAdd(S(list)));
    auto* p = static_cast<TLinkedPropDesc*>(d->Props()->FindOrAdd(S(name)));
    return p;
  }
  std::unique_ptr<TLinkedDescList, void (*)(TLinkedDescList*)> lists{
      new TLinkedDescList(), [](TLinkedDescList* l) { l->Free(); }};
};

TEST_F(LinksTest, KeyFieldsWalkBackAlongTheChain) {
  TLinkedPropDesc* p = Field("DOCS", "P");
  TLinkedPropDesc* client = Field("DOCS", "CLIENT");
  p->Link()->Setup(S("CLIENTS"), S(""), S("ID"), S(""), S("CLIENT"), S(""));
  client->Link()->Setup(S("CLIENTS"), S(""), S(""), S(""), S(""), S(""));
  p->Link()->SetNextPropDesc(client);
  EXPECT_EQ(client->Link()->PriorPropDesc(), p);
  EXPECT_EQ(client->Link()->PriorFieldName(), S("P"));
  EXPECT_EQ(client->Link()->KeyFields(), S("ID;P;CLIENT"));
  EXPECT_EQ(p->Link()->LookupKeyFields(), S("ROOTID"));

  // A cycle of prior fields ends the walk instead of recursing for ever.
  TLinkedPropDesc* a = Field("CYCLE", "A");
  TLinkedPropDesc* b = Field("CYCLE", "B");
  TLinkedPropDesc* c = Field("CYCLE", "C");
  a->Link()->SetNextPropDesc(b);
  b->Link()->SetNextPropDesc(c);
  c->Link()->SetNextPropDesc(a);
  EXPECT_EQ(a->Link()->PriorPropDesc(), c);
  EXPECT_EQ(a->Link()->KeyFields(), S("B;C;A"));
}

TEST_F(LinksTest, ListIDMovesTheLinkBetweenTargets) {
  TLinkedPropDesc* f = Field("DOCS", "CLIENTID");
  TLinkDesc* link = f->Link();
  link->SetListID(S("A;B"));
  auto* a = lists->FindDesc(S("a"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(link->Collection(), a->Links());
  EXPECT_EQ(link->ListID(), S("A"));
  EXPECT_EQ(link->ListIDChain(), S("A;B"));
  link->SetListID(S("C"));
  EXPECT_EQ(a->Links()->Count(), 0);
  EXPECT_EQ(lists->FindDesc(S("C"))->Links()->GetItem(0), link);
  link->SetListID(S(""));
  EXPECT_EQ(link->Collection(), nullptr);
  EXPECT_EQ(link->ListID(), S(""));

  link->SetListIDFieldName(S(""));
  EXPECT_EQ(link->ListIDFieldName(), S("CLIENTLISTID"));
  f->Rename(S("CLIENT"));
  link->SetListIDFieldName(S(""));
  EXPECT_EQ(link->ListIDFieldName(), S("CLIENTLISTID"));
  link->SetListIDFieldName(S("F.NAME;CODE;"));
  EXPECT_EQ(link->ListIDFieldName(), S("F"));
  EXPECT_EQ(link->DisplayFieldNames(), S("NAME;CODE"));
}

TEST_F(LinksTest, KeyTextsAndLookupDefaults) {
  TLinkDesc* link = Field("DOCS", "X")->Link();
  link->Setup(S("T"), S("id;code"), S("a;b"), S(""), S("NEXT"), S("L1"));
  EXPECT_EQ(link->LookupKeyFields(), S("ID;CODE"));
  EXPECT_EQ(link->LookupKeyField(), S("code"));
  EXPECT_EQ(link->KeyField(), S("b"));
  EXPECT_EQ(link->KeyParam(), S("a;b"));
  EXPECT_EQ(link->NextFieldName(), S("NEXT"));
  EXPECT_EQ(link->LinkID(), S("L1"));
  link->SetKeyFields(S(""));
  EXPECT_EQ(link->KeyField(), S(""));
  EXPECT_EQ(link->KeyParam(), S("a;b"));
  // Without a target only the link id is taken.
  TLinkDesc* none = Field("DOCS", "Y")->Link();
  none->Setup(S(""), S("K"), S("K"), S(""), S("N"), S("L2"));
  EXPECT_EQ(none->KeyParam(), S(""));
  EXPECT_EQ(none->NextFieldName(), S(""));
  EXPECT_EQ(none->LinkID(), S("L2"));
}

TEST_F(LinksTest, ParentLevelsRenamesAndChainSelection) {
  TLinkedPropDesc* f = Field("DOCS", "NAME");
  f->SetParentFieldName(S("..name"));
  EXPECT_EQ(f->ParentFieldLevel(), 3);
  EXPECT_EQ(f->ParentFieldName(), S("NAME"));
  f->SetParentFieldName(S("N"));
  EXPECT_EQ(f->ParentFieldLevel(), 1);

  f->SetPropertyName(S("NAME"));
  f->Link()->SetLinkID(S("NAME"));
  f->Rename(S("TITLE"));
  EXPECT_EQ(f->PropertyName(), S("TITLE"));
  EXPECT_EQ(f->Link()->LinkID(), S("TITLE"));
  f->Link()->SetLinkID(S("OTHER"));
  f->Rename(S("CAPTION"));
  EXPECT_EQ(f->Link()->LinkID(), S("OTHER"));
  EXPECT_EQ(f->Companion()->Name(), S("CAPTION"));

  auto* docs = static_cast<TLinkedListDesc*>(lists->FindDesc(S("DOCS")));
  TLinkedPropDesc* unlinked = Field("DOCS", "A");
  TLinkedPropDesc* linked = Field("DOCS", "B");
  unlinked->Link()->SetLinkIDChain(S("X;Y"));
  linked->Link()->SetListID(S("T"));
  linked->Link()->SetLinkIDChain(S("X;Z"));
  EXPECT_EQ(docs->FindLinkedProp(S("*")), linked);
  EXPECT_EQ(docs->FindLinkedProp(S("X;Z")), linked);
  EXPECT_EQ(docs->FindLinkedProp(S("Q")), nullptr);
  auto* t = static_cast<TLinkedListDesc*>(lists->FindDesc(S("T")));
  EXPECT_EQ(t->Links()->SourcePropByChain(S("*"), 0), linked);
  EXPECT_EQ(t->Links()->SourcePropByChain(S("X"), 1), nullptr);
}

TEST_F(LinksTest, AFieldAlwaysHasALink) {
  TLinkedPropDesc* f = Field("DOCS", "CLIENT");
  f->Link()->SetListID(S("CLIENTS"));
  auto* clients = static_cast<TLinkedListDesc*>(lists->FindDesc(S("CLIENTS")));
  clients->Links()->Clear();
  ASSERT_NE(f->Link(), nullptr);
  EXPECT_EQ(f->Link()->ListID(), S(""));
  EXPECT_EQ(f->Link()->LookupKeyFields(), S("ROOTID"));
  // Freeing the target list leaves the field with a fresh link too.
  f->Link()->SetListID(S("CLIENTS"));
  clients->Free();
  ASSERT_NE(f->Link(), nullptr);
  EXPECT_EQ(f->Link()->Collection(), nullptr);
}

}  // namespace
