// Program parameters: command line over registry profile, INI folders, script constants.
#include "core/orvmsg.h"
#include "core/orvparam.h"

#include "platform/rtl/fileutils.h"
#include "script/orvcodeh.h"
#include "platform/rtl/registry.h"
#include "support/test_support.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <gtest/gtest.h>

namespace {

// A profile of fixed values that remembers which key was asked for.
struct FakeProfile {
  std::vector<TProfileValue> values;
  QString askedKey;
  TProfileReader Reader() {
    return [this](const QString& key) {
      askedKey = key;
      return values;
    };
  }
};

TProfileValue Str(const QString& name, const QString& text) {
  return {name, TProfileValue::String, text, 0};
}
TProfileValue Int(const QString& name, qint64 number) {
  return {name, TProfileValue::Integer, QString(), number};
}

void WriteFile(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

const TParamConst* FindConst(const TrParams& params, const QString& name) {
  for (const TParamConst& c : params.Constants())
    if (c.Name == name) return &c;
  return nullptr;
}

}  // namespace

TEST(TrParams, CommandLineWinsAndNamesIgnoreCase) {
  FakeProfile profile;
  profile.values = {Str("DEBUG", "N"),
                    Str("Server", "db1"),
                    Int("X", 42),
                    {"Blob", TProfileValue::Other, QString(), 0},
                    Str("server", "db2")};
  TParamSources sources;
  sources.Arguments = {"/opt/orv/orv", "DEBUG=Y",   "REG=TEST",     "A=B=C",
                       "bare",         "=nameless", "debug=ignored"};
  sources.Profile = profile.Reader();
  sources.IniFolders = {testsupport::TempFolder()};
  TrParams params(sources);

  EXPECT_EQ(profile.askedKey, "Software\\Kestrand\\Kestrand\\TEST");
  struct Case {
    const char* name;
    const char* value;
  };
  const Case cases[] = {
      {"DEBUG", "Y"}, {"debug", "Y"}, {"REG", "TEST"},
      {"A", "B=C"},   {"bare", ""},   {"SERVER", "db1"},  // the first profile line of a name wins
      {"X", ""},                                          // integers are constants only
      {"Blob", ""},   {"", ""},       {"missing", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(params.Value(c.name), c.value) << c.name;

  EXPECT_EQ(params.Lines(),
            QStringList({"/opt/orv/orv", "DEBUG=Y", "REG=TEST", "A=B=C", "bare", "=nameless",
                         "debug=ignored", "REG=DEFAULT", "DEBUG=N", "Server=db1", "server=db2"}));
}

TEST(TrParams, ConstantsFromLinesAndProfileFirstNameWins) {
  FakeProfile profile;
  profile.values = {Str("DEBUG", "N"), Str("Server", "db1"), Int("X", 42)};
  TParamSources sources;
  sources.Arguments = {"/opt/orv/orv", "DEBUG=Y", "REG=TEST"};
  sources.Profile = profile.Reader();
  sources.IniFolders = {testsupport::TempFolder()};
  std::vector<TParamConst> sunk;
  TrParams params(sources, [&](const TParamConst& c) { sunk.push_back(c); });

  struct Case {
    const char* name;
    Variant value;
    const char* description;
  };
  const Case cases[] = {
      {"orvDEBUG", Variant("Y"), "ParamStr(1) = 'DEBUG=Y'"},
      {"orvREG", Variant("TEST"), "ParamStr(2) = 'REG=TEST'"},
      {"orvServer", Variant("db1"), "reg[1] = 'db1'"},
      {"orvX", Variant(42), "reg[2] = 42"},
  };
  ASSERT_EQ(params.Constants().size(), std::size(cases));
  ASSERT_EQ(sunk.size(), std::size(cases));
  for (size_t i = 0; i < std::size(cases); ++i) {
    const TParamConst& c = params.Constants()[i];
    EXPECT_EQ(c.Name, cases[i].name);
    EXPECT_EQ(c.Value.VType(), cases[i].value.VType()) << cases[i].name;
    EXPECT_TRUE(c.Value == cases[i].value) << cases[i].name;
    EXPECT_EQ(c.Description, cases[i].description);
    EXPECT_EQ(sunk[i].Name, c.Name);
  }
}

TEST(TrParams, DefaultProfileAndInstalledSink) {
  FakeProfile profile;
  std::vector<QString> names;
  orvparam::SetConstSink([&](const TParamConst& c) { names.push_back(c.Name); });
  TParamSources sources;
  sources.Arguments = {"orv"};
  sources.Profile = profile.Reader();
  sources.IniFolders = {testsupport::TempFolder()};
  TrParams params(sources);
  orvparam::SetConstSink(nullptr);

  EXPECT_EQ(profile.askedKey, "Software\\Kestrand\\Kestrand\\DEFAULT");
  EXPECT_EQ(params.Value("reg"), "DEFAULT");
  EXPECT_EQ(names, std::vector<QString>({"orvREG"}));
  const TParamConst* reg = FindConst(params, "orvREG");
  ASSERT_NE(reg, nullptr);
  EXPECT_EQ(reg->Description, "ParamStr(1) = 'REG=DEFAULT'");
}

TEST(TrParams, IniFromTheFirstFolderThatHasOne) {
  const QString current = testsupport::TempFolder();
  const QString program = testsupport::TempFolder();
  const QString none = testsupport::TempFolder();
  WriteFile(program + "/ORV.INI", "[Connection]\r\nIgnoreCmdLine=1\r\n");
  WriteFile(current + "/orv.ini",
            "[CONNECTION]\r\nNOCOUNT=7\r\nConnectionString=Protocol=postgresql;Database=orv\r\n"
            "[db]\r\nReportTimeout=600\r\n");
  FakeProfile profile;

  TParamSources sources;
  sources.Arguments = {"orv"};
  sources.Profile = profile.Reader();
  sources.IniFolders = {none, current, program};
  TrParams params(sources);
  EXPECT_EQ(params.IniFileName(), current + "/orv.ini");
  EXPECT_EQ(params.ReadString("Connection", "connectionstring", ""),
            "Protocol=postgresql;Database=orv");
  EXPECT_EQ(params.ReadString("DB", "ReportTimeout", "300"), "600");
  EXPECT_EQ(params.ReadString("Connection", "IgnoreCmdLine", "0"), "0");  // not the other file
  EXPECT_EQ(params.ReadInteger("CONNECTION", "NOCOUNT", 0), 7);
  EXPECT_EQ(params.ReadInteger("Connection", "ConnectionString", -1), -1);
  EXPECT_EQ(params.ReadString("HELP", "File", "ORV.CHM"), "ORV.CHM");

  // The file is read again when it changes.
  WriteFile(current + "/orv.ini", "[db]\r\nReportTimeout=30\r\n");
  EXPECT_EQ(params.ReadString("DB", "ReportTimeout", "300"), "30");

  sources.IniFolders = {none};
  TrParams without(sources);
  EXPECT_EQ(without.IniFileName(), "");
  EXPECT_EQ(without.ReadString("DB", "ReportTimeout", "300"), "300");
  EXPECT_EQ(without.ReadInteger("CONNECTION", "NOCOUNT", 3), 3);
}

TEST(TrParams, ProfileFromTheRegistryStore) {
  const QString store = testsupport::TempFolder() + "/registry";
  qputenv("ORV_REGISTRY_FILE", store.toLocal8Bit());
  {
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    ASSERT_TRUE(reg.OpenKey("Software\\Kestrand\\Kestrand\\TEST", true));
    reg.WriteString("Zeta", "z");
    reg.WriteInteger("Count", 5);
    reg.WriteExpandString("Path", "%HOME%/x");
    reg.WriteBinaryData("Raw", QByteArray("\x01\x02", 2));
    reg.WriteString("Alpha", "a");
  }
  TParamSources sources;
  sources.Arguments = {"orv", "REG=test"};
  sources.IniFolders = {testsupport::TempFolder()};
  TrParams params(sources);
  EXPECT_EQ(params.Value("zeta"), "z");
  EXPECT_EQ(params.Value("Path"), "%HOME%/x");
  EXPECT_EQ(params.Value("Count"), "");
  EXPECT_EQ(params.Lines().mid(3), QStringList({"Zeta=z", "Path=%HOME%/x", "Alpha=a"}));
  const TParamConst* count = FindConst(params, "orvCount");
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->Description, "reg[1] = 5");
  EXPECT_EQ(FindConst(params, "orvRaw"), nullptr);
  EXPECT_EQ(FindConst(params, "orvAlpha")->Description, "reg[4] = 'a'");

  // A profile that does not exist yet is created empty.
  sources.Arguments = {"orv", "REG=FRESH"};
  TrParams fresh(sources);
  EXPECT_EQ(fresh.Lines().size(), 3);
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("\\Software\\Kestrand\\Kestrand\\FRESH"));
  qunsetenv("ORV_REGISTRY_FILE");
}

TEST(TrParams, StartUpPublishesTheProcessParameters) {
  qputenv("ORV_REGISTRY_FILE", (testsupport::TempFolder() + "/registry").toLocal8Bit());
  const QString oldDir = GetCurrentDir();
  const QString current = testsupport::TempFolder();
  WriteFile(current + "/ORV.INI", "[HELP]\r\nFile=help.html\r\n");
  ASSERT_TRUE(SetCurrentDir(current));
  SetCommandLine({"/opt/orv/orv", "DEBUG=Y", "FASTSCROLL=N"});
  {
    TRootEnvScope env;
    TRootCls* registry = orvcodeh::CreateRegistry();
    orvmsg::SetDebugTraceHook(nullptr);
    orvparam::Initialize();
    ASSERT_NE(env.Env().Params, nullptr);
    EXPECT_TRUE(orvmsg::DebugTraceEnabled());
    TCompItem* debug = registry->FindItem("orvDEBUG");
    ASSERT_NE(debug, nullptr);
    EXPECT_EQ(debug->GetCaption(), "ParamStr(1) = 'DEBUG=Y'");
    EXPECT_NE(registry->FindItem("orvREG"), nullptr);
    EXPECT_EQ(env.Env().Params->Value("fastscroll"), "N");
    EXPECT_EQ(env.Env().Params->ReadString("help", "FILE", "ORV.CHM"), "help.html");
    orvparam::Finalize();
    orvmsg::SetDebugTraceHook(nullptr);
    EXPECT_EQ(env.Env().Params, nullptr);
    registry->Free();
  }
  SetCurrentDir(oldDir);
  qunsetenv("ORV_REGISTRY_FILE");
}

TEST(TrParams, DebugParameterSwitchesTheTraceOn) {
  for (const char* value : {"N", "y", "Y"}) {
    orvmsg::SetDebugTraceHook(nullptr);
    TParamSources sources;
    sources.Arguments = {"orv", QStringLiteral("DEBUG=") + value};
    sources.Profile = [](const QString&) { return std::vector<TProfileValue>(); };
    sources.IniFolders = {testsupport::TempFolder()};
    TrParams params(sources);
    orvmsg::ApplyDebugParameter(params);
    EXPECT_EQ(orvmsg::DebugTraceEnabled(), QString(value) == "Y") << value;
  }
  orvmsg::SetDebugTraceHook(nullptr);
}
