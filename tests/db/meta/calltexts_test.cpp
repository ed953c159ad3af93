// Call texts per dialect, the EXEC-call family, blobs, OEM and MD5.
#include "core/orvcls.h"
#include "db/orvdbutils.h"
#include "db/orvspexec.h"
#include "platform/rtl/zstream.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

using orvspexec::BuildCallText;
using orvspexec::TCallInput;

TCallInput Input(const char* name, const char* params, int dbKind, TSelectProcKind kind) {
  TCallInput in;
  in.Name = S(name);
  in.Params = S(params);
  in.DBKind = dbKind;
  in.Kind = kind;
  in.Qualify = [dbKind](const QString& n) {
    return dbKind == orvcls::dbkMSSQL ? QStringLiteral("dbo.") + n : n;
  };
  return in;
}

TEST(CallTexts, EveryDialect) {
  struct {
    TCallInput in;
    const char* out;  // nullptr: the statement stays as it is
  } cases[] = {
      {Input("SP_LIST", ":ID, :FILTER", 1, spkExec), "EXEC dbo.SP_LIST :ID, :FILTER"},
      {Input("sp_list", ":ID, :FILTER", 3, spkSelect), "SELECT * FROM sp_list(:ID, :FILTER)"},
      {Input("*sp_list", ":ID", 1, spkExec), "SELECT * FROM dbo.sp_list(:ID)"},
      {Input("P", ":ID", 2, spkCursor), "SELECT * FROM TABLE(P(:ID))"},
      {Input("P", ":ID", 0, spkUnknown), nullptr},
      {Input("P", ":ID", 2, spkCall), nullptr},
      {Input("", ":ID", 3, spkSelect), nullptr},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.in.Name.toStdString());
    auto out = BuildCallText(c.in);
    if (c.out == nullptr)
      EXPECT_FALSE(out.has_value());
    else
      EXPECT_EQ(out.value_or(S("<none>")), S(c.out));
  }
}

TEST(CallTexts, OracleFilterTempTablesAndRegistryNames) {
  TCallInput in = Input("P", ":ID, :FILTER", 2, spkCursor);
  in.FilterText = S("A>1");
  EXPECT_EQ(*BuildCallText(in), S("SELECT * FROM TABLE(P(:ID, :FILTER)) RES where A>1"));
  in.HasListDesc = true;
  in.FirstTempTable = S("TMP");
  EXPECT_EQ(*BuildCallText(in), S("CALL P(:ID, :FILTER)"));
  in.RegistryTableName = [](const QString& n) {
    return n == QLatin1String("P") ? QStringLiteral("PKG.P") : QString();
  };
  EXPECT_EQ(*BuildCallText(in), S("CALL PKG.P(:ID, :FILTER)"));
}

TEST(CallTexts, ExecNameForms) {
  TCallInput in = Input("P", ":ID, :FILTER, :ORDER", 3, spkSelect);
  in.ExecName = S("f_prepare?f_rows");
  EXPECT_EQ(*BuildCallText(in), S("SELECT f_prepare(:ID, :FILTER) ; SELECT * FROM f_rows"));
  in.ExecName = S("f_prepare/f_rows");
  EXPECT_EQ(*BuildCallText(in), S("SELECT f_prepare(:ID) ; SELECT * FROM f_rows"));
  in.ExecName = S("f_all");
  EXPECT_EQ(*BuildCallText(in), S("SELECT * FROM f_all(:ID, :FILTER, :ORDER)"));
  in.ExecName = S(" ");
  EXPECT_EQ(*BuildCallText(in), S("SELECT * FROM P(:ID, :FILTER, :ORDER)"));
  in.ExecName = S("f_all");
  in.DBKind = 1;
  EXPECT_FALSE(BuildCallText(in).has_value());
}

TEST(CallTexts, TableStatements) {
  EXPECT_EQ(orvspexec::TableStatement(S("dbo.T"), 1, S("")),
            S("SELECT * FROM dbo.T WITH (NOLOCK)"));
  EXPECT_EQ(orvspexec::TableStatement(S("T"), 3, S("A asc;B")), S("SELECT * FROM T ORDER BY A,B"));
}

TEST(CallTexts, SplitCallFamily) {
  struct {
    const char* text;
    const char* name;
    const char* args;
    bool hasArgs;
  } splits[] = {
      {"EXEC P_LIST :ID, :FILTER", "P_LIST", ":ID, :FILTER", true},
      {"EXEC P_LIST", "P_LIST", "", false},
      {"exec exec P :A", "P", ":A", true},
      {"P :A", "P", ":A", true},
      {"UPDATE T SET A=1", "UPDATE", "T SET A=1", true},
      {"EXEC P\r\n:A", "P", ":A", true},
      {"", "", "", false},
  };
  for (const auto& c : splits) {
    SCOPED_TRACE(c.text);
    QString name, args;
    EXPECT_EQ(orvdbutils::SplitCall(S(c.text), name, args), c.hasArgs);
    EXPECT_EQ(name, S(c.name));
    EXPECT_EQ(args, S(c.args));
  }
  struct {
    const char* sql;
    int kind;
    const char* select;
    const char* tran;
  } forms[] = {
      {"EXEC P_SAVE :A; EXEC P_LOG :B", 3, "select * from P_SAVE(:A)", "select * from P_SAVE(:A)"},
      {"UPDATE T SET A=1", 3, "UPDATE T SET A=1", "UPDATE T SET A=1"},
      {"SELECT * FROM f(1)", 3, "SELECT * FROM f(1)", "SELECT * FROM f(1)"},
      {"Exec P", 3, "select * from P()", "select * from P()"},
      {"EXEC P :A", 1, "EXEC P :A", "BEGIN TRAN EXEC P :A COMMIT TRAN"},
      {"BEGIN TRAN X", 1, "BEGIN TRAN X", "BEGIN TRAN X"},
      {"EXEC P :A", 2, "EXEC P :A", "EXEC P :A"},
      {" ", 3, " ", " "},
  };
  for (const auto& c : forms) {
    SCOPED_TRACE(c.sql);
    EXPECT_EQ(orvdbutils::ToSelectCall(S(c.sql), c.kind), S(c.select));
    EXPECT_EQ(orvdbutils::ExecTranText(S(c.sql), c.kind), S(c.tran));
  }
}

TEST(CallTexts, BlobsOemAndDigests) {
  EXPECT_EQ(orvdbutils::UncompressBytes("plain text"), S("plain text"));
  EXPECT_EQ(orvdbutils::UncompressBytes(ZCompress(QByteArray("\xcf\xf0\xe8\xe2\xe5\xf2"))),
            S("Привет"));
  EXPECT_EQ(orvdbutils::UncompressBytes(QByteArray()), S(""));
  QByteArray broken = ZCompress(QByteArray(1000, 'a'));
  broken.chop(3);
  EXPECT_EQ(orvdbutils::UncompressBytes(broken).size(), broken.size());

  EXPECT_EQ(orvdbutils::StrToMD5(S("")), S("d41d8cd98f00b204e9800998ecf8427e"));
  EXPECT_EQ(orvdbutils::StrToMD5(S("Привет")), orvdbutils::StrToMD5(S("Привет")));
  const QString oem = orvdbutils::ToOem(S("Привет, мир"));
  EXPECT_NE(oem, S("Привет, мир"));
  EXPECT_EQ(orvdbutils::FromOem(oem), S("Привет, мир"));
  // "П" is 0x8F in code page 866, which code page 1251 shows as "Џ".
  EXPECT_EQ(oem[0], QChar(0x040F));
}

}  // namespace
