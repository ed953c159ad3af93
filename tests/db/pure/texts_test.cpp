// Connection texts, their resolution, application-server modes and server-kind texts: all
// without a server.
#include "core/orvcls.h"
#include "db/orvappserverintf.h"
#include "db/orvcounter.h"
#include "db/orvdb.h"
#include "db/orvzeosdb.h"
#include "db/orvzeossetup.h"
#include "platform/data/zconnection.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct TConnCase {
  const char* text;
  const char* host;
  const char* database;
  const char* user;
  const char* password;
  const char* protocol;
};

TEST(ConnectionText, KeysDefaultsAndTheSecondKeyWins) {
  const TConnCase cases[] = {
      {"HostName=h1;Data Source=h2", "h2", "orv", "postgres", "", "postgresql-8"},
      {"HostName=h1", "h1", "orv", "postgres", "", "postgresql-8"},
      {"", "127.0.0.1", "orv", "postgres", "", "postgresql-8"},
      {"Database=a;Initial Catalog=b;User=u;User ID=v", "127.0.0.1", "b", "v", "", "postgresql-8"},
      {"Password=\"s3cr;et", "127.0.0.1", "orv", "postgres", "s3cr", "postgresql-8"},
      {"Password='pw';;Protocol=postgresql", "127.0.0.1", "orv", "postgres", "pw", "postgresql"},
      {"Password=\"pw\"", "127.0.0.1", "orv", "postgres", "pw", "postgresql-8"},
      {"password=x; User ID=y;Data Source=", "127.0.0.1", "orv", "postgres", "x", "postgresql-8"},
  };
  for (const TConnCase& c : cases) {
    SCOPED_TRACE(c.text);
    TZConnection conn(nullptr);
    orvzeosdb::ApplyConnectionText(&conn, QString::fromUtf8(c.text));
    EXPECT_EQ(conn.HostName(), QString::fromUtf8(c.host));
    EXPECT_EQ(conn.Database(), QString::fromUtf8(c.database));
    EXPECT_EQ(conn.User(), QString::fromUtf8(c.user));
    EXPECT_EQ(conn.Password(), QString::fromUtf8(c.password));
    EXPECT_EQ(conn.Protocol(), QString::fromUtf8(c.protocol));
    EXPECT_TRUE(conn.AutoEncodeStrings);
  }
}

TEST(ConnectionText, EmptyPasswordKeepsTheCurrentOneAndPortMustBeDecimal) {
  TZConnection conn(nullptr);
  conn.SetPassword("old");
  conn.SetPort(5433);
  orvzeosdb::ApplyConnectionText(&conn, "Password=;Port=");
  EXPECT_EQ(conn.Password(), "old");
  EXPECT_EQ(conn.Port(), 5433);
  EXPECT_THROW(orvzeosdb::ApplyConnectionText(&conn, "Port=54x"), EConvertError);
  orvzeosdb::ApplyConnectionText(nullptr, "Port=1");  // nothing to apply to
}

TEST(ConnectionText, MsSqlProtocolGetsItsDriverLines) {
  TZConnection pg(nullptr), ms(nullptr);
  orvzeosdb::ApplyConnectionText(&pg, "Protocol=postgresql-8");
  orvzeosdb::ApplyConnectionText(&ms, "Protocol=MSSQL");
  EXPECT_EQ(pg.Properties()->Count(), 0);
  EXPECT_EQ(ms.Properties()->ToStringList(),
            QStringList({"controls_cp=CP_UTF16", "AutoEncodeStrings=ON"}));
}

TEST(ConnectionText, NewConnectionsPromptForAQuestionMarkAndReadUncommittedOnMsSql) {
  TZConnection* ms = orvzeosdb::NewConnection("Protocol=MsSql_2005;Password=?");
  EXPECT_TRUE(ms->LoginPrompt);
  EXPECT_EQ(ms->Password(), "");
  EXPECT_EQ(ms->TransactIsolationLevel, tiReadUncommitted);
  EXPECT_EQ(ms->Tag(), qint64(qintptr(ms)));
  ms->Free();
  TZConnection* pg = orvzeosdb::NewConnection("Password=\"?x\"");
  EXPECT_FALSE(pg->LoginPrompt);
  EXPECT_EQ(pg->Password(), "?x");
  EXPECT_EQ(pg->TransactIsolationLevel, tiNone);
  pg->Free();
}

TEST(ConnectionText, SetConnectionTextOnlyTouchesAClosedConnectionWithAText) {
  TZConnection conn(nullptr);
  orvzeosdb::SetConnectionText(&conn, " ");
  EXPECT_EQ(conn.HostName(), "");
  orvzeosdb::SetConnectionText(&conn, "HostName=x");
  EXPECT_EQ(conn.HostName(), "x");
}

// Program parameters of the INI file for the resolution.
class TFakeParams : public IrParams {
 public:
  std::map<QString, QString> ini;
  QString ReadString(const QString& section, const QString& key, const QString& def) override {
    auto it = ini.find(section + "/" + key);
    return it != ini.end() ? it->second : def;
  }
  QString Value(const QString&) override { return QString(); }
  int ReadInteger(const QString& section, const QString& key, int def) override {
    auto it = ini.find(section + "/" + key);
    return it != ini.end() ? it->second.toInt() : def;
  }
};

class Resolution : public ::testing::Test {
 protected:
  void SetUp() override {
    orvdb::ResetState();
    env.Env().Params = &params;
    params.ini["Connection/ConnectionString"] = "FromIni";
  }
  void TearDown() override {
    orvdb::SetCommandLine(QString());
    orvdb::ResetState();
  }
  TRootEnvScope env;
  TFakeParams params;
};

TEST_F(Resolution, CommandLineTextNeedsAProviderAndIgnoreCmdLineZero) {
  orvdb::SetCommandLine("orv DEBUG=Y @'Provider=POSTGRES;Data Source=x' REG=A");
  EXPECT_EQ(orvdb::ResolveConnectionText(""), "Provider=POSTGRES;Data Source=x");
  params.ini["Connection/IgnoreCmdLine"] = "1";
  EXPECT_EQ(orvdb::ResolveConnectionText(""), "FromIni");
  params.ini["Connection/IgnoreCmdLine"] = "0";
  orvdb::SetCommandLine("orv @'Data Source=x'");
  EXPECT_EQ(orvdb::ResolveConnectionText(""), "FromIni");
  orvdb::SetCommandLine("orv @'PROVIDER=x");  // no closing quote
  EXPECT_EQ(orvdb::ResolveConnectionText(""), "FromIni");
  EXPECT_EQ(orvdb::ResolveConnectionText("Given"), "Given");
}

TEST_F(Resolution, ATextWithoutCredentialsReusesTheCachedTextThatExtendsIt) {
  orvdb::CacheEntry("Data Source=x;Persist Security Info=True;User ID=buh;Password=b");
  EXPECT_EQ(orvdb::ResolveConnectionText("Data Source=x"),
            "Data Source=x;Persist Security Info=True;User ID=buh;Password=b");
  EXPECT_EQ(orvdb::ResolveConnectionText("Data Source=y"), "Data Source=y");
  // Texts compare without regard to letter case in the cache.
  EXPECT_EQ(&orvdb::CacheEntry("DATA SOURCE=X;persist security info=true;user id=BUH;password=b"),
            &orvdb::ConnectionCache().front());
}

TEST_F(Resolution, TheModeComesFromTheEffectiveText) {
  params.ini["Connection/ConnectionString"] = "Data Source=x;APPSERVER=Local";
  orvappserverintf::InitAppServerMode();
  EXPECT_EQ(orvappserverintf::AppServerMode(), 3);
  orvappserverintf::Reset();
}

TEST_F(Resolution, ABadPortFailsBeforeConnectingAndIsForgotten) {
  const QString text = "Protocol=postgresql-8;HostName=/nowhere;Port=54x";
  EXPECT_THROW(orvzeosdb::GetConnection(text), EConvertError);
  EXPECT_EQ(orvdb::CacheEntry(text).Connection, nullptr);
  EXPECT_THROW(orvzeosdb::GetConnection("Protocol=mssql;Data Source=x"), EDatabaseError);
  EXPECT_EQ(orvcounter::ProcessCounter(), nullptr);
}

TEST(AppServer, ModesFromTheConnectionText) {
  const std::pair<const char*, int> cases[] = {
      {"Data Source=x;APPSERVER=Srv", 1},
      {"APPSERVER=d", 2},
      {"appserver=Local;x=1", 3},
      {"APPSERVER=;x=1", 0},
      {"APPSERVER=Q", 0},
      {"Data Source=x", 0},
      {"MYAPPSERVER=D;APPSERVER=S", 2},
  };
  for (const auto& [text, mode] : cases) {
    SCOPED_TRACE(text);
    EXPECT_EQ(orvappserverintf::AppServerModeOf(text), mode);
  }
  orvappserverintf::SetAppServerModeFrom("APPSERVER=L");
  EXPECT_TRUE(orvappserverintf::IsAppServerMode());
  EXPECT_FALSE(orvappserverintf::IsRemoteAppServer());
  EXPECT_TRUE(orvappserverintf::GetAppData()->IsAppServerMode());
  EXPECT_EQ(orvappserverintf::GetAppData(), orvappserverintf::GetAppData());
  orvappserverintf::SetAppServerModeFrom("APPSERVER=S");
  EXPECT_TRUE(orvappserverintf::IsRemoteAppServer());
  orvappserverintf::Reset();
  EXPECT_FALSE(orvappserverintf::IsAppServerMode());
  EXPECT_EQ(orvappserverintf::ConnectionTextValue("A=1;B=two;C=3", "B", "d"), "two");
  EXPECT_EQ(orvappserverintf::ConnectionTextValue("a=1", "B", "d"), "d");
}

struct TKindCase {
  const char* database;
  const char* driver;
  int kindBefore;
  const char* driverAfter;
  int kindAfter;
  TSelectProcKind spk;
  const char* prefix;
};

TEST(ServerKinds, SetupDerivesDriverKindAndCallKind) {
  const TKindCase cases[] = {
      {"orv_PGS", "", 0, "PGS", 3, spkSelect, ""},
      {"orv_ORA", "", 0, "ORACLE", 2, spkCursor, ""},
      {"orv_ADO", "", 3, "ADO", 1, spkExec, "@"},
      {"orv_MSS", "", 0, "MSSQL", 1, spkSelect, ""},
      {"orv_IB", "", 3, "INTERBASE", 3, spkSelect, ""},
      {"orv_pgs", "", 0, "", 0, spkSelect, ""},  // suffixes are matched in capitals
      {"orv_PGS", "ADO", 0, "ADO", 0, spkExec, "@"},
      {"", "", 0, "", 0, spkUnknown, ""},
  };
  for (const TKindCase& c : cases) {
    SCOPED_TRACE(QString("%1/%2").arg(c.database, c.driver).toStdString());
    orvcls::DBKind = c.kindBefore;
    TConnDescList list;
    TConnDesc* cd = list.FindOrAdd("x");
    cd->Setup(c.database, c.driver);
    EXPECT_EQ(cd->DriverName(), c.driverAfter);
    EXPECT_EQ(orvcls::DBKind, c.kindAfter);
    EXPECT_EQ(cd->SelectProcKind(), c.spk);
    EXPECT_EQ(cd->ParamPrefix(), c.prefix);
  }
  orvcls::DBKind = 0;
}

TEST(ServerKinds, ForceFlagAndCaseSensitiveName) {
  orvcls::DBKind = 3;
  TConnDescList list;
  TConnDesc* cd = list.FindOrAdd("a");
  cd->Setup(" orv_PGS", "");
  EXPECT_TRUE(cd->Force());
  EXPECT_EQ(cd->InternalDatabaseName(), "orv_PGS");
  cd->Setup("orv_PGS", "");
  EXPECT_FALSE(cd->Force());
  cd->SetName("Mixed");
  EXPECT_TRUE(cd->CaseSensitive);
  EXPECT_EQ(cd->GetName(), "MIXED");
  cd->SetName("UPPER");
  EXPECT_FALSE(cd->CaseSensitive);
  orvcls::DBKind = 0;
}

TEST(ServerKinds, PrefixRederivesTheCallKindByServer) {
  TRootEnvScope env;
  TAliasDescList list;
  const std::pair<int, TSelectProcKind> kinds[] = {
      {1, spkExec}, {2, spkCall}, {3, spkSelect}, {0, spkSelect}};
  for (const auto& [kind, spk] : kinds) {
    SCOPED_TRACE(kind);
    orvdb::ResetState();
    orvcls::DBKind = kind;
    TAliasDesc* a = list.GetAlias(QString("A%1").arg(kind));
    a->Conn()->Setup("orv", "X");
    a->SetObjectPrefix("P_");
    EXPECT_EQ(a->Conn()->SelectProcKind(), spk);
    a->SetObjectPrefix("dbo.SETUP_");
    EXPECT_EQ(a->Conn()->SelectProcKind(), spkExec);
  }
  orvdb::ResetState();
  orvcls::DBKind = 0;
}

TEST(ServerKinds, BuiltInAliasesAndTextsPerKind) {
  TRootEnvScope env;
  for (int kind : {1, 3}) {
    SCOPED_TRACE(kind);
    orvdb::ResetState();
    orvcls::DBKind = kind;
    TOrvAliasList* list = orvdb::GetAliasList();
    EXPECT_EQ(list->Count(), 2);
    TAliasDesc* setup = list->GetAlias("  SETUP  ");
    EXPECT_EQ(setup->ObjectPrefix(), kind == 1 ? "dbo.SETUP_" : "SETUP_");
    EXPECT_EQ(setup->Caption(), S("Основные настройки"));
    EXPECT_EQ(list->GetAlias("ORV")->ObjectPrefix(), kind == 1 ? "dbo." : "");
    EXPECT_EQ(env.Env().Aliases, static_cast<IrAliases*>(list));
    // The placeholders fill only empty slots.
    EXPECT_EQ(env.Env().TrnCtrl, static_cast<IrTrnCtrl*>(list));
    EXPECT_FALSE(env.Env().TrnCtrl->IsOn());
  }
  EXPECT_EQ(orvzeosdb::CounterStatement(1), "EXEC dbo.SP_COUNTER :ID");
  EXPECT_EQ(orvzeosdb::CounterStatement(2), "SELECT * FROM TABLE(COUNTER.SP(:ID))");
  EXPECT_EQ(orvzeosdb::CounterStatement(3, 17), "SELECT * FROM sf_counter(17)");
  EXPECT_EQ(orvzeosdb::CounterStatement(0), "");
  orvdb::ResetState();
  EXPECT_EQ(env.Env().Aliases, nullptr);
  orvcls::DBKind = 0;
}

TEST(ServerKinds, AliasesStatementPerKindAndSettings) {
  const QString plain = "select * from ALIASES";
  const QString quiet = "set nocount on; set dateformat ymd; set ansi_warnings off; " + plain;
  EXPECT_EQ(orvzeossetup::AliasesStatement(3, false, 1), plain);
  EXPECT_EQ(orvzeossetup::AliasesStatement(2, true, 1), plain);
  EXPECT_EQ(orvzeossetup::AliasesStatement(1, true, 0), quiet);
  EXPECT_EQ(orvzeossetup::AliasesStatement(1, false, 1), quiet);
  EXPECT_EQ(orvzeossetup::AliasesStatement(1, false, 0),
            "set dateformat ymd; set ansi_warnings off; " + plain);
  // Without a connection the choice waits for a later one.
  TOrvAliasesTable table(nullptr);
  EXPECT_EQ(table.SQLText(), plain);
  EXPECT_FALSE(table.StatementChosen());
  EXPECT_TRUE(table.Name().startsWith("_"));
  EXPECT_TRUE(table.ReadOnly());
}

}  // namespace
