// The registry over hand-made setup rows: built-ins, list and field rows with their column
// fallbacks, sum titles, failures that keep what was read, title alignment.
#include "core/orvcls.h"
#include "db/orvdb.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvzeos.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    orvdblists::FreeDescList();
    orvdb::ResetState();
    registry = orvdblists::GetDescList();
  }
  void TearDown() override {
    orvdblists::FreeDescList();
    orvdb::ResetState();
    orvcls::DBKind = 0;
  }
  // A table of text columns with the rows given.
  static void Rows(TMemDataSet& ds, const QStringList& columns,
                   const std::vector<std::vector<Variant>>& rows) {
    for (const QString& c : columns) ds.FieldDefs().Add(c, ftString, 100);
    ds.CreateDataSet();
    for (const auto& r : rows) {
      ds.Append();
      for (size_t i = 0; i < r.size(); ++i) ds.Fields().Fields(int(i))->SetValue(r[i]);
      ds.Post();
    }
  }
  TOrvDescList* registry = nullptr;
};

const Variant N = Variant::Null();
Variant T(const char* s) { return Variant(S(s)); }

TEST_F(RegistryTest, AliasesAndBuiltInsComeFirst) {
  EXPECT_NE(registry->FindListDesc(S("  SETUP  ")), nullptr);
  EXPECT_EQ(registry->FindListDesc(S("orv"))->Caption(), S("Основные данные"));
  TListDesc* user = registry->FindListDesc(S("xp_user"));
  ASSERT_NE(user, nullptr);
  EXPECT_EQ(user->TableName(), S("XP_USER"));
  EXPECT_EQ(user->Caption(), S("Аутентификация пользователя"));
  EXPECT_EQ(user->SetupText, S("ORAPROC=(UACCESS.XP_USER/LOGIN)"));
  EXPECT_EQ(registry->Lists()->Count(), 6);
  EXPECT_EQ(registry->AddListDesc(S("Xp_User")), user);
  EXPECT_FALSE(registry->HasGridSetups);
  registry->AddListDesc(S("ФП_ГРИДНАСТРОЙКИ"));
  EXPECT_TRUE(registry->HasGridSetups);
  EXPECT_EQ(orvdblists::GetDescList(), registry);
  EXPECT_EQ(user->Companion()->Name(), S("MD5_") + orvdbutils::StrToMD5(S("XP_USER")));
}

TEST_F(RegistryTest, ListRowsWithTheirFallbacks) {
  TMemDataSet lists(nullptr);
  Rows(lists,
       {"ROOTID", "NAME", "COMPONENTNAME", "SCRIPTID", "KEY", "PARENTID", "TABLE", "TABLENAME",
        "TTLALIASES", "PRIMARYFIELDS", "ALIASID"},
       {{T("A"), T("Список А"), T(" TPL"), T("S1"), N, T("777"), T("P_A :ID"), T("P_X"), N, T("ID"),
         T("ORV")},
        {T("B"), T("Список Б"), N, T("S2"), T("K2"), N, N, T("P_B"), T("~X>1~"), N, N},
        {T("A"), T("Снова А"), N, N, N, N, T("P_A2"), N, N, N, T("ORV")}});
  registry->LoadListsFrom(&lists);
  TListDesc* a = registry->FindListDesc(S("A"));
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->Caption(), S("Снова А"));
  EXPECT_EQ(a->TableName(), S("P_A2"));
  EXPECT_EQ(registry->Lists()->Count(), 8);
  TListDesc* b = registry->FindListDesc(S("B"));
  // KEY wins over SCRIPTID even when null; TABLE wins over TABLENAME.
  EXPECT_EQ(b->EntryDesc()->Key(), S("K2"));
  EXPECT_EQ(b->TableName(), S(""));
  EXPECT_EQ(b->SearchObjects()->Count(), 1);
  EXPECT_FALSE(b->HasSumTitle());
  EXPECT_EQ(b->AliasID(), S("  SETUP  "));

  TMemDataSet first(nullptr);
  Rows(first, {"ROOTID", "COMPONENTNAME", "PARENTID", "TABLE"},
       {{T("T"), T(" TPL"), T("777"), T("P_T :ID")}});
  registry->LoadListsFrom(&first);
  TListDesc* t = registry->FindListDesc(S("T"));
  EXPECT_TRUE(t->IsTemplate);
  EXPECT_EQ(t->Companion()->Name(), S("TPL"));
  EXPECT_TRUE(t->HasSumTitle());
  EXPECT_EQ(t->Params, S(":ID"));
}

TEST_F(RegistryTest, FieldRowsAndTheirRules) {
  orvcls::DBKind = 3;
  registry->AddListDesc(S("L"));
  TMemDataSet fields(nullptr);
  Rows(fields,
       {"ROOTID", "FIELDNAME", "AINDEX", "INDEX", "NAME", "EDITFORMAT", "SELFFIELDNAME",
        "LINKLISTID", "KEYFIELDS", "TAG", "CUSTOMFIELD"},
       {{T("L"), T("code_"), T("5"), N, T("Код~'товара"), T(";;"), N, N, N, T("3"), N},
        {T("L"), T("clientnm"), T("1"), T("2"), T("Клиент"), T(""), T("-2ID"), T("CLIENTS"),
         T("CLIENTID"), N, N},
        {T("L"), T("id"), T("0"), N, N, N, N, N, N, N, N},
        {T("L"), T("-listid-"), T("9"), N, N, N, N, N, N, N, T("0")},
        {T("НЕТ"), T("X"), T("0"), N, N, N, N, N, N, N, N}});
  registry->LoadPropsFrom(&fields);
  TListDesc* l = registry->FindListDesc(S("L"));
  ASSERT_EQ(l->Props()->Count(), 4);
  TPropDesc* code = l->Props()->FindDesc(S("CODE"));
  ASSERT_NE(code, nullptr);
  EXPECT_TRUE(code->ReadOnly);
  EXPECT_EQ(code->EditFormat(), S(""));
  EXPECT_EQ(code->Caption(), S("Код\rтовара"));
  EXPECT_EQ(code->GetDefaultView()->GetIndex(), 5);
  EXPECT_EQ(code->OwnerComponent()->Tag(), 3);
  EXPECT_FALSE(code->CustomField);
  TPropDesc* client = l->Props()->FindDesc(S("CLIENTNM"));
  EXPECT_FALSE(client->ReadOnly);
  EXPECT_EQ(client->GetDefaultView()->GetIndex(), 2);
  EXPECT_EQ(client->SelfFieldName, S("CLIENTID"));
  EXPECT_EQ(client->Link()->ListID(), S("CLIENTS"));
  EXPECT_EQ(client->Link()->LinkID(), S("CLIENTNM"));
  EXPECT_EQ(client->Link()->ListIDFieldName(), S("CLIENTNMLISTID"));
  EXPECT_TRUE(l->Props()->FindDesc(S("ID"))->CustomField);
  EXPECT_EQ(l->Props()->ListIDProp, l->Props()->FindDesc(S("-LISTID-")));
  EXPECT_EQ(registry->FindListDesc(S("НЕТ")), nullptr);
  EXPECT_NE(registry->FindListDesc(S("CLIENTS")), nullptr);
}

TEST_F(RegistryTest, OracleKeepsTheTrailingUnderscore) {
  orvcls::DBKind = 2;
  registry->AddListDesc(S("L"));
  TMemDataSet fields(nullptr);
  Rows(fields, {"ROOTID", "FIELDNAME"}, {{T("L"), T("code_")}, {T("L"), T("a_b_")}});
  registry->LoadPropsFrom(&fields);
  TListDesc* l = registry->FindListDesc(S("L"));
  EXPECT_NE(l->Props()->FindDesc(S("CODE_")), nullptr);
  EXPECT_NE(l->Props()->FindDesc(S("A_B_")), nullptr);
}

TEST_F(RegistryTest, SumTitlesFollowEachField) {
  TMemDataSet lists(nullptr);
  Rows(lists, {"ROOTID", "PARENTID"}, {{T("S"), T("777")}});
  registry->LoadListsFrom(&lists);
  TMemDataSet fields(nullptr);
  Rows(fields, {"ROOTID", "FIELDNAME", "INDEX", "NAME"},
       {{T("S"), T("SUMMA"), T("3"), T("Сумма")}});
  registry->LoadPropsFrom(&fields);
  TListDesc* s = registry->FindListDesc(S("S"));
  TPropDesc* title = s->Props()->FindDesc(S("-6C"));
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->Caption(), S("Сумма"));
  EXPECT_EQ(title->GetDefaultView()->GetIndex(), 7);
  EXPECT_EQ(s->Props()->FindDesc(S("SUMMA"))->GetDefaultView()->GetIndex(), 6);
}

TEST_F(RegistryTest, AMissingKeyColumnRaisesAndKeepsWhatWasRead) {
  TMemDataSet lists(nullptr);
  Rows(lists, {"NAME"}, {{T("x")}});
  EXPECT_THROW(registry->LoadListsFrom(&lists), EDatabaseError);
  registry->AddListDesc(S("L"));
  TMemDataSet fields(nullptr);
  Rows(fields, {"ROOTID"}, {{T("L")}});
  EXPECT_THROW(registry->LoadPropsFrom(&fields), EDatabaseError);
  EXPECT_NE(registry->FindListDesc(S("L")), nullptr);
  EXPECT_EQ(registry->Lists()->Count(), 7);
}

TEST_F(RegistryTest, TitleLinesAlignAndLinksResolveOnce) {
  TListDesc* l = registry->AddListDesc(S("L"));
  l->Props()->FindOrAdd(S("A"))->SetCaptions(S("Одна"), S(""), S(""));
  l->Props()->FindOrAdd(S("B"))->SetCaptions(S("Две\rстроки"), S(""), S(""));
  registry->AlignTitleLines(l);
  EXPECT_EQ(l->Props()->FindDesc(S("A"))->DisplayLabel(), S("Одна\r"));
  EXPECT_EQ(l->Props()->FindDesc(S("B"))->DisplayLabel(), S("Две\rстроки"));

  TListDesc* g = registry->AddListDesc(S("G"));
  g->Props()->FindOrAdd(S("A"))->SetCaptions(S("А"), S(""), S(""));
  g->Props()->FindOrAdd(S("B"))->SetCaptions(S("Б\r1\r2"), S(""), S(""));
  g->Props()->FindOrAdd(S("-H"))->SetCaptions(S("Группа"), S(""), S(""));
  g->Props()->FindOrAdd(S("C"))->SetCaptions(S("В"), S(""), S(""));
  g->Props()->FindOrAdd(S("D"))->SetCaptions(S("Г\r"), S(""), S(""));
  registry->AlignTitleLines(g);
  EXPECT_EQ(g->Props()->FindDesc(S("A"))->DisplayLabel(), S("А\r\r"));
  EXPECT_EQ(g->Props()->FindDesc(S("-H"))->DisplayLabel(), S("Группа"));
  EXPECT_EQ(g->Props()->FindDesc(S("C"))->DisplayLabel(), S("В"));

  TPropDesc* a = l->Props()->FindDesc(S("A"));
  TPropDesc* b = l->Props()->FindDesc(S("B"));
  a->Link()->Setup(S("T"), S(""), S(""), S(""), S("B"), S("LA"));
  b->Link()->Setup(S("T"), S(""), S(""), S(""), S(""), S("LB"));
  registry->UpdateLinks();
  EXPECT_TRUE(registry->LinksUpdated);
  EXPECT_EQ(a->Link()->LinkIDChain(), S("LA;LB"));
  EXPECT_EQ(b->Link()->PriorPropDesc(), a);
  a->Link()->SetLinkIDChain(S("changed"));
  registry->UpdateLinks();
  EXPECT_EQ(a->Link()->LinkIDChain(), S("changed"));
}

TEST(OracleCall, TheRegistryNamesTheProcedure) {
  orvdblists::FreeDescList();
  orvdb::ResetState();
  orvcls::DBKind = 2;
  orvdblists::GetDescList();
  EXPECT_EQ(orvzeos::OracleCallText(S("CALL SP_USER(:UNAME, :UPASS)")),
            S("CALL UACCESS.XP_USER(:UNAME, :UPASS)"));
  EXPECT_EQ(orvzeos::OracleCallText(S("CALL sp_user (:A)")), S("CALL UACCESS.XP_USER(:A)"));
  EXPECT_EQ(orvzeos::OracleCallText(S("CALL NOBODY(:A)")), S("CALL NOBODY(:A)"));
  EXPECT_EQ(orvzeos::OracleCallText(S("EXEC SP_USER :A")), S("EXEC SP_USER :A"));
  orvdblists::FreeDescList();
  orvdb::ResetState();
  orvcls::DBKind = 0;
}

TEST(IncCopy, NumbersGrowAndOtherTextsStay) {
  struct {
    const char* in;
    const char* out;
  } cases[] = {{"0099", "0100"}, {"7", "8"}, {"abc", "abc"}, {"1.5", "1.5"},
               {"1e3", "1e3"},   {"", ""},   {"-1", "00"},   {"99999999999", "99999999999"}};
  for (const auto& c : cases) EXPECT_EQ(orvdblists::IncCopiedText(S(c.in)), S(c.out)) << c.in;
}

}  // namespace
