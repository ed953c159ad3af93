// The setup text of lists: object text, clause grammar, Oracle call rewrite, date macros,
// statement numbering, and the list and field descriptions that apply them.
#include "core/orvcls.h"
#include "db/orvcounter.h"
#include "db/orvdb.h"
#include "db/orvdbdesc.h"
#include "db/orvlistsetup.h"
#include "platform/data/params.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using orvlistsetup::ParseSetup;

struct TClauseCase {
  const char* objectText;
  const char* clauses;
  bool oracle;
  const char* ins;
  const char* mod;
  const char* del;
  // expected
  const char* table;
  const char* params;
  const char* orderBy;
  bool inOut;
  const char* temps;
  const char* insOut;
  const char* modOut;
  const char* delOut;
  const char* rest;
  bool star;
  const char* filter;  // nullptr: no search
  const char* caption;
};

TEST(ListSetup, ClauseGrammar) {
  const TClauseCase cases[] = {
      {"SP_LIST :ID, :FILTER, :ORDER", "", false, "", "", "", "SP_LIST", ":ID, :FILTER, :ORDER", "",
       false, "", "", "", "", "", false, nullptr, ""},
      {"SP_LIST  ", "", false, "", "", "", "SP_LIST", "", "", false, "", "", "", "", "", false,
       nullptr, ""},
      {"P", "a ORD=(*NAME, (ID)) b", false, "", "", "", "P", "", "NAME, (ID)", true, "", "", "", "",
       "a  b", false, nullptr, ""},
      {"P", "ORD=(NAME", false, "", "", "", "P", "", "NAME", false, "", "", "", "", "", false,
       nullptr, ""},
      {"P", "*anything ~x~", false, "", "", "", "P", "", "", false, "", "", "", "", "", true,
       nullptr, ""},
      {"P", "x~A>1;Крупные~y", false, "", "", "", "P", "", "", false, "", "", "", "", "xy", false,
       "A>1", "Крупные"},
      {"P", "~A>1", false, "", "", "", "P", "", "", false, "", "", "", "", "", false, "A>1", ""},
      // Without Oracle the procedure clause stays in the text and nothing is rewritten.
      {"P", "ORAPROC=(PKG)", false, "EXEC P_I :A", "", "", "P", "", "", false, "", "EXEC P_I :A",
       "", "", "ORAPROC=(PKG)", false, nullptr, ""},
      {"P_LIST :ID", "ORAPROC=(PKG.P_LIST/TMP1/TMP2,PKGA,PKGB)", true, "EXEC P_I :ID, :NAME",
       "EXEC P_U :ID; EXEC LOG", "EXEC P_D :ID", "PKG.P_LIST", ":ID", "", false, "TMP1/TMP2",
       "CALL PKGA.P_I (:ID, :NAME)", "CALL PKGB.P_U (:ID)", "CALL P_D (:ID)", "", false, nullptr,
       ""},
      {"P_LIST", "ORAPROC=(PKG)", true, "EXEC P_I :A", "UPDATE T", "EXEC P_DEL", "PKG.P_LIST", "",
       "", false, "", "CALL PKG.P_I (:A)", "UPDATE T", "CALL PKG.P_DEL", "", false, nullptr, ""},
      {"P_LIST", "ORAPROC=(.OTHER.NAME)", true, "EXEC P_I :A", "", "", "OTHER.NAME", "", "", false,
       "", "EXEC P_I :A", "", "", "", false, nullptr, ""},
      {"P", "ORAPROC=(,PKG)", true, "", "", "EXEC FP_ITEM_D :A", "P", "", "", false, "", "", "",
       "CALL ITEM.FP_D (:A)", "", false, nullptr, ""},
      {"P", "ORAPROC=(,,,.ITEM.FP_D)", true, "", "", "EXEC FP_ITEM_D :ID", "P", "", "", false, "",
       "", "", "CALL ITEM.FP_D (:ID)", "", false, nullptr, ""},
  };
  for (const TClauseCase& c : cases) {
    SCOPED_TRACE(std::string(c.objectText) + " | " + c.clauses);
    const auto r =
        ParseSetup({S(c.objectText), S(c.ins), S(c.mod), S(c.del), S(c.clauses), c.oracle});
    EXPECT_EQ(r.TableName, S(c.table));
    EXPECT_EQ(r.Params, S(c.params));
    EXPECT_EQ(r.OrderBy, S(c.orderBy));
    EXPECT_EQ(r.OrderInOut, c.inOut);
    EXPECT_EQ(r.TempTableNames, S(c.temps));
    EXPECT_EQ(r.InsertSQL, S(c.insOut));
    EXPECT_EQ(r.ModifySQL, S(c.modOut));
    EXPECT_EQ(r.DeleteSQL, S(c.delOut));
    EXPECT_EQ(r.SetupText, S(c.rest));
    EXPECT_EQ(r.StarMarked, c.star);
    EXPECT_EQ(r.HasSearch, c.filter != nullptr);
    if (c.filter != nullptr) {
      EXPECT_EQ(r.SearchFilter, S(c.filter));
      EXPECT_EQ(r.SearchCaption, S(c.caption));
    }
  }
}

TEST(ListSetup, OracleCallRewrite) {
  struct {
    const char* sql;
    const char* packages;
    const char* out;
    const char* left;
  } cases[] = {
      {"EXEC P_SAVE :ID, :NAME", "PKG", "CALL PKG.P_SAVE (:ID, :NAME)", ""},
      {"EXEC    P_DEL", "PKG,NEXT", "CALL PKG.P_DEL", "NEXT"},
      {"EXEC P :A", ".X.Y", "CALL X.Y (:A)", ""},
      {"EXEC P :A", "X.Y", "CALL X.Y (:A)", ""},
      {"EXEC P :A", "", "CALL P (:A)", ""},
      {"UPDATE T SET A=1; EXEC P", "A,B", "UPDATE T SET A=1", "B"},
      {"exec P", "A", "exec P", ""},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    QString packages = S(c.packages);
    EXPECT_EQ(orvlistsetup::OracleCall(S(c.sql), packages), S(c.out));
    EXPECT_EQ(packages, S(c.left));
  }
}

TEST(ListSetup, DateMacrosOnAFixedClock) {
  const TDateTime now = EncodeDateTime(2024, 2, 15, 10, 30, 0, 0);
  struct {
    const char* filter;
    const char* out;
  } cases[] = {
      {"D>=@30M@", "D>='2024-01-16'"},
      {"D>=@10M@", "D>='2024-02-01'"},
      {"D>=@7@ AND E<@0@", "D>='2024-02-08' AND E<'2024-02-15'"},
      {"D>=@0Q) ", "D>='2024-01-01' "},
      {"D>=@0Y@x", "D>='2024-01-01'x"},
      {"D>=@400Y@", "D>='2023-01-11'"},
      {"D>=@5", "D>='2024-02-10'"},
      {"D>=@5M", "D>='2024-02-01'"},
      {"@", "'2024-02-15'"},
      {"no macro", "no macro"},
      {"@99999999999999@", "'0001-01-01'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.filter);
    EXPECT_EQ(orvlistsetup::ExpandDateMacros(S(c.filter), now), S(c.out));
  }
}

TEST(ListSetup, NumberingAndElements) {
  EXPECT_EQ(orvlistsetup::NumberParams(S("EXEC P :NAME, :NAMEX, :OLD_NAME;"), S("NAME"), 3),
            S("EXEC P :3, :NAMEX, :-3;"));
  EXPECT_EQ(orvlistsetup::NumberParams(S("f(:ID) :ID :ID;"), S("ID"), 1), S("f(:1) :1 :1;"));
  EXPECT_EQ(orvlistsetup::ListElement(S("A/B"), 1), S("B"));
  EXPECT_EQ(orvlistsetup::ListElement(S("A/B"), 2), S(""));
  EXPECT_EQ(orvlistsetup::ListElement(S(""), 0), S(""));
}

class DescTest : public ::testing::Test {
 protected:
  void SetUp() override { orvdb::ResetState(); }
  void TearDown() override {
    SetClock(nullptr);
    orvcls::DBKind = 0;
    orvdb::ResetState();
  }
};

TEST_F(DescTest, SetupAppliesToTheListDescription) {
  TDBDescList lists;
  TDBListDesc* d = lists.FindOrAdd(S("Клиенты"));
  EXPECT_EQ(d->AliasID(), S("ORV"));
  SetClock([] { return EncodeDate(2024, 2, 15); });
  d->Setup(S("SP_CLIENTS :ID, :FILTER"), S("EXEC I :NAME"), S(""), S(""),
           S("ORD=(*NAME) ~DATE>@1@;Вчера~"));
  EXPECT_EQ(d->TableName(), S("SP_CLIENTS"));
  ASSERT_NE(d->TableDesc(), nullptr);
  EXPECT_EQ(d->Alias()->Tables()->FindDesc(S("sp_clients")), d->TableDesc());
  EXPECT_EQ(d->Params, S(":ID, :FILTER"));
  EXPECT_EQ(d->OrderBy, S("NAME"));
  EXPECT_EQ(d->OrderParamType, ptInputOutput);
  EXPECT_EQ(d->FilterParamType, ptInput);
  ASSERT_EQ(d->SearchObjects()->Count(), 1);
  EXPECT_EQ(d->SearchObjects()->FixedCount, 1);
  TOrvSearchObject* s = d->SearchObjects()->GetCurrent();
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->Filter, S("DATE>'2024-02-14'"));
  EXPECT_EQ(s->DisplayText, S("Вчера"));
  EXPECT_TRUE(s->Predefined);

  d->SetPrimaryFields(S("ID"));
  d->SetPrimaryFields(S(""));
  EXPECT_EQ(d->PrimaryFields(), S("ID"));
  EXPECT_EQ(d->IndexNames(), QStringList{S("ID")});

  d->SetAliasID(S("  SETUP  "));
  EXPECT_EQ(d->AliasID(), S("  SETUP  "));
  EXPECT_EQ(d->TableName(), S("SP_CLIENTS"));
  EXPECT_EQ(d->TableDesc()->Collection(), d->Alias()->Tables());
}

TEST_F(DescTest, OracleProcedureClauseAndTempTables) {
  orvcls::DBKind = 2;
  TDBDescList lists;
  TDBListDesc* d = lists.FindOrAdd(S("L"));
  d->Setup(S("P_LIST :ID"), S("EXEC P_I :ID"), S("EXEC P_U :ID"), S(""),
           S("ORAPROC=(PKG.P_LIST/TMP1/TMP2,PKGA,PKGB)"));
  EXPECT_EQ(d->TableName(), S("PKG.P_LIST"));
  EXPECT_EQ(d->InsertSQL, S("CALL PKGA.P_I (:ID)"));
  EXPECT_EQ(d->ModifySQL, S("CALL PKGB.P_U (:ID)"));
  EXPECT_EQ(d->TempTableName(0), S("TMP1"));
  EXPECT_EQ(d->TempTableName(1), S("TMP2"));
  EXPECT_EQ(d->TempTableName(2), S(""));
}

TEST_F(DescTest, StatementParamsAreNumberedOnce) {
  TDBDescList lists;
  TDBListDesc* d = lists.FindOrAdd(S("L"));
  auto* id = static_cast<TDBPropDesc*>(d->Props()->FindOrAdd(S("ID")));
  auto* name = static_cast<TDBPropDesc*>(d->Props()->FindOrAdd(S("NAME")));
  d->Props()->FindOrAdd(S("UNTAGGED"));
  id->GetComponent()->SetTag(1);
  name->GetComponent()->SetTag(2);
  d->InsertSQL = S("EXEC I :NAME, :UNTAGGED");
  d->ModifySQL = S("EXEC U :OLD_ID, :NAME");
  d->DeleteSQL = S("");
  d->NumberStatementParams();
  EXPECT_EQ(d->InsertSQL, S("EXEC I :2, :UNTAGGED"));
  EXPECT_EQ(d->ModifySQL, S("EXEC U :-1, :2"));
  EXPECT_EQ(d->DeleteSQL, S(""));
  d->InsertSQL = S("EXEC I :NAME");
  d->NumberStatementParams();
  EXPECT_EQ(d->InsertSQL, S("EXEC I :NAME"));
  EXPECT_TRUE(d->StatementsNumbered());
}

TEST_F(DescTest, ListAssignsItsIdOrKey) {
  TDBDescList lists;
  TDBListDesc* d = lists.FindOrAdd(S("L"));
  d->ListKey = 42;
  TParams params;
  TParam* p = params.CreateParam(ftString, S("A"), ptInput);
  d->AssignTo(p);
  EXPECT_EQ(p->AsString(), S("L"));
  p->SetDataType(ftInteger);
  d->AssignTo(p);
  EXPECT_EQ(p->AsInteger(), 42);
  p->SetDataType(ftFloat);
  EXPECT_ANY_THROW(d->AssignTo(p));
}

TEST_F(DescTest, ParamNameTypeRule) {
  TDBDescList lists;
  auto* f = static_cast<TDBPropDesc*>(lists.FindOrAdd(S("L"))->Props()->FindOrAdd(S("F")));
  f->SetParamName(S("COUNTER"));
  f->SetParamName(S("=N12"));
  EXPECT_EQ(f->FieldType, ftFloat);
  EXPECT_EQ(f->DataSize, 12);
  EXPECT_EQ(f->ParamName(), S("COUNTER"));
  f->SetParamName(S("=D"));
  EXPECT_EQ(f->FieldType, ftDate);
  EXPECT_EQ(f->DataSize, 0);
  f->DataSize = 7;
  f->SetParamName(S("=Q5"));
  EXPECT_EQ(f->FieldType, ftUnknown);
  EXPECT_EQ(f->DataSize, 7);
  EXPECT_THROW(f->SetParamName(S("=A1x")), EConvertError);
}

class TRecordingCounter : public TOrvCounter {
 public:
  TRecordingCounter() : TOrvCounter(nullptr) {}
  int NextValue(int counterId) override {
    lastId = counterId;
    return 77;
  }
  int lastId = -1;
};

TEST_F(DescTest, DefaultKeywordsFillParameters) {
  SetClock([] { return EncodeDateTime(2024, 3, 5, 12, 0, 0, 0); });
  TDBDescList lists;
  auto* f = static_cast<TDBPropDesc*>(lists.FindOrAdd(S("L"))->Props()->FindOrAdd(S("F")));
  TParams params;
  struct {
    const char* name;
    TFieldType type;
    const char* defaultValue;
    const char* text;  // expected AsString, or nullptr for Null
  } cases[] = {
      {"clear", ftString, "x", nullptr},
      {"SPACE", ftString, "x", ""},
      {"", ftString, "lit", "lit"},
      {"DATE", ftString, "d", "d"},
      {"TIME", ftDate, "", nullptr},
      {"COUNTER", ftString, "", nullptr},  // no process counter: nothing
      {"COUNTERX", ftString, "", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TParam* p = params.CreateParam(c.type, S("P"), ptInput);
    f->DefaultValue = S(c.defaultValue);
    f->SetParamName(S(c.name));
    f->AssignTo(p);
    if (c.text == nullptr)
      EXPECT_TRUE(p->IsNull());
    else
      EXPECT_EQ(p->AsString(), S(c.text));
  }
  f->DefaultValue.clear();
  TParam* d = params.CreateParam(ftDate, S("D"), ptInput);
  f->SetParamName(S("Date"));
  f->AssignTo(d);
  EXPECT_EQ(d->AsDateTime(), EncodeDate(2024, 3, 5));
  TParam* n = params.CreateParam(ftString, S("N"), ptInput);
  f->SetParamName(S("NOW"));
  f->AssignTo(n);
  EXPECT_EQ(n->AsString().size(), 20);

  TRecordingCounter counter;
  orvcounter::SetProcessCounter(&counter);
  TParam* k = params.CreateParam(ftInteger, S("K"), ptInput);
  f->SetParamName(S("COUNTER12"));
  f->AssignTo(k);
  EXPECT_EQ(counter.lastId, 12);
  EXPECT_EQ(k->AsInteger(), 77);
  f->SetParamName(S("COUNTERX"));
  EXPECT_THROW(f->AssignTo(k), EConvertError);
  orvcounter::SetProcessCounter(nullptr);
}

}  // namespace
