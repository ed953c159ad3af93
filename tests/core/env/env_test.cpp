#include "core/orvcls.h"
#include "core/orvenv.h"
#include "platform/classes/component.h"
#include "platform/classes/typinfo.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/tobject.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

#include <string>

namespace {

TEST(RootEnv, FreshEnvironmentPointsToItself) {
  TRootEnvScope scope;
  TRootEnv& env = orvcls::RootEnv();
  EXPECT_EQ(&env, &scope.Env());
  EXPECT_EQ(env.Root, &env);
  EXPECT_EQ(env.Parent, nullptr);
  EXPECT_EQ(env.ChildCount(), 0);
  EXPECT_EQ(env.GetChild(0), nullptr);
  EXPECT_TRUE(env.ClsRootVariant.IsEmpty());
  EXPECT_EQ(env.GetStatusText(), QStringLiteral(" "));
}

TEST(RootEnv, ScopeRestoresThePreviousEnvironment) {
  TRootEnv* before = orvenv::GetRootEnv();
  {
    TRootEnvScope outer;
    {
      TRootEnvScope inner;
      EXPECT_EQ(orvenv::GetRootEnv(), &inner.Env());
    }
    EXPECT_EQ(orvenv::GetRootEnv(), &outer.Env());
  }
  EXPECT_EQ(orvenv::GetRootEnv(), before);
}

TEST(RootEnv, AttachOnlyParentlessEnvironments) {
  TRootEnv top, other, child;
  top.Attach(&child);
  EXPECT_EQ(top.ChildCount(), 1);
  EXPECT_EQ(child.Parent, &top);
  EXPECT_EQ(child.Root, &top);
  other.Attach(&child);  // already has a parent
  EXPECT_EQ(other.ChildCount(), 0);
  EXPECT_EQ(child.Parent, &top);
  TRootEnv grandChild;
  child.Attach(&grandChild);
  EXPECT_EQ(grandChild.Root, &top);
}

TEST(RootEnv, InitializePublishesOnlyWhenNothingIsPublished) {
  TRootEnv* before = orvenv::GetRootEnv();
  orvenv::SetRootEnv(nullptr);
  orvcls::Initialize();
  TRootEnv* made = orvenv::GetRootEnv();
  ASSERT_NE(made, nullptr);
  orvcls::Initialize();
  EXPECT_EQ(orvenv::GetRootEnv(), made);
  orvcls::Finalize();
  EXPECT_EQ(orvenv::GetRootEnv(), nullptr);
  orvenv::SetRootEnv(before);  // Finalize freed the one it made
}

TEST(RootEnv, ReplaceableAccessPair) {
  static TRootEnv hostEnv;
  orvenv::InstallRootEnvAccess([] { return &hostEnv; }, [](TRootEnv*) {});
  EXPECT_EQ(orvenv::GetRootEnv(), &hostEnv);
  orvenv::SetRootEnv(nullptr);  // the host's setter ignores it
  EXPECT_EQ(orvenv::GetRootEnv(), &hostEnv);
  orvenv::InstallRootEnvAccess(nullptr, nullptr);
  EXPECT_NE(orvenv::GetRootEnv(), &hostEnv);
}

TEST(DBKind, DetectFromConnectionText) {
  struct Case {
    const char* text;
    int kind;
    bool oleDb;
    bool result;
  };
  const Case cases[] = {
      {"Provider=SQLOLEDB.1;Data Source=srv", orvcls::dbkMSSQL, true, false},
      {"Protocol=OrAcLe;Database=x", orvcls::dbkOracle, false, true},
      {"Protocol=postgresql-8;Database=orv", orvcls::dbkPostgres, false, false},
      {"oracle via POSTGRES", orvcls::dbkOracle, false, true},
      {"Provider=MSDASQL.1", orvcls::dbkMSSQL, false, false},
  };
  for (const Case& c : cases) {
    orvcls::DBKind = 0;
    EXPECT_EQ(orvcls::DetectDBKind(QString::fromLatin1(c.text)), c.result) << c.text;
    EXPECT_EQ(orvcls::DBKind, c.kind) << c.text;
    EXPECT_EQ(orvcls::SqlOleDbProvider, c.oleDb) << c.text;
    EXPECT_EQ(orvcls::IsOracle(), c.kind == orvcls::dbkOracle);
  }
  // An empty text keeps kind and flag, and answers for the kind in force.
  orvcls::DetectDBKind(QStringLiteral("Provider=SQLOLEDB;ORACLE"));
  EXPECT_TRUE(orvcls::DetectDBKind(QString()));
  EXPECT_EQ(orvcls::DBKind, orvcls::dbkOracle);
  EXPECT_TRUE(orvcls::SqlOleDbProvider);
  orvcls::DetectDBKind(QStringLiteral("postgres"));
  EXPECT_FALSE(orvcls::DetectDBKind(QString()));
  // Only ASCII letters are folded: a dotless-i spelling is not "ORACLE".
  orvcls::DetectDBKind(QStringLiteral("oracle").replace(QLatin1Char('c'), QChar(0x0441)));
  EXPECT_EQ(orvcls::DBKind, orvcls::dbkMSSQL);
  orvcls::DBKind = 0;
  orvcls::SqlOleDbProvider = false;
}

TEST(ObjectVariants, HandlesAreChecked) {
  auto* object = new TObject;
  const Variant v = orvcls::ObjToVar(object);
  EXPECT_EQ(v.VType(), varInt64);
  EXPECT_EQ(orvcls::VarToObj(v), object);
  EXPECT_EQ(orvcls::ObjToVar(nullptr).ToInt64(), 0);
  EXPECT_EQ(orvcls::VarToObj(Variant()), nullptr);
  EXPECT_EQ(orvcls::VarToObj(Variant::Null()), nullptr);
  EXPECT_EQ(orvcls::VarToObj(Variant(0)), nullptr);
  delete object;
  EXPECT_THROW(orvcls::VarToObj(v), EInvalidPointer);  // stale
  for (const Variant& forged : {Variant(12345), Variant(QStringLiteral("abc")), Variant(true)})
    EXPECT_THROW(orvcls::VarToObj(forged), EInvalidPointer) << VarToStr(forged).toStdString();
}

TEST(ObjectVariants, NullConvertsLeniently) {
  EXPECT_EQ(Variant::Null().ToInt(), 0);
  EXPECT_EQ(Variant::Null().ToString(), QString());
  EXPECT_FALSE(Variant::Null().ToBool());
}

Variant ArgArray(std::initializer_list<Variant> items) { return VarArrayOf(items); }

TEST(VarArrayToArgs, CopiesTheCountedElements) {
  TVarRecs none = orvcls::VarArrayToArgs(ArgArray({0, 7}));
  EXPECT_TRUE(none.empty());
  TVarRecs three = orvcls::VarArrayToArgs(ArgArray({3, QStringLiteral("a"), 2, 3.5, 99}));
  ASSERT_EQ(three.size(), 3u);
  for (const TVarRec& r : three) EXPECT_EQ(r.VType, TVarRec::vtVariant);
  EXPECT_EQ(three[0].VVariant.ToString(), QStringLiteral("a"));
  EXPECT_EQ(three[1].VVariant.ToInt(), 2);
  EXPECT_EQ(three[2].VVariant.ToDouble(), 3.5);
  three.push_back(TVarRec(5));
  orvcls::FreeVarArgs(three);
  ASSERT_EQ(three.size(), 1u);  // the entry it did not make stays
  EXPECT_EQ(three[0].VType, TVarRec::vtInteger);
}

TEST(VarArrayToArgs, CountMustFitTheArrayAndTheCapacity) {
  EXPECT_THROW(orvcls::VarArrayToArgs(ArgArray({3, 1, 2})), EVariantBadIndexError);
  EXPECT_THROW(orvcls::VarArrayToArgs(ArgArray({-1, 1})), EVariantBadIndexError);
  EXPECT_THROW(orvcls::VarArrayToArgs(ArgArray({2, 1, 2}), 1), EVariantBadIndexError);
  EXPECT_EQ(orvcls::VarArrayToArgs(ArgArray({2, 1, 2}), 2).size(), 2u);
  EXPECT_THROW(orvcls::VarArrayToArgs(Variant(3)), EVariantError);
  Variant shifted = VarArrayCreate(1, 3);  // no element 0
  EXPECT_THROW(orvcls::VarArrayToArgs(shifted), EVariantBadIndexError);
}

std::string gTrail;
void InitA() { gTrail += "a"; }
void InitB() { gTrail += "b"; }
void InitBad() { throw Exception(QStringLiteral("boom")); }
void FiniA() { gTrail += "A"; }
void FiniB() { gTrail += "B"; }

TEST(Startup, RunsInOrderOnceAndShutsDownInReverse) {
  gTrail.clear();
  const std::vector<orvenv::TStartEntry> list = {{"a", &InitA, &FiniA}, {"b", &InitB, &FiniB}};
  orvenv::Startup(list);
  orvenv::Startup(list);
  EXPECT_EQ(gTrail, "ab");
  orvenv::Shutdown();
  EXPECT_EQ(gTrail, "abBA");
}

TEST(Startup, FailureNamesTheUnitAndStopsTheRest) {
  gTrail.clear();
  const std::vector<orvenv::TStartEntry> list = {
      {"a", &InitA, &FiniA}, {"broken", &InitBad, &FiniB}, {"b", &InitB, &FiniB}};
  try {
    orvenv::Startup(list);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("boom\r\nbroken: initialization"));
  }
  orvenv::Shutdown();
  EXPECT_EQ(gTrail, "aA");
}

TEST(Startup, ProgramListKeepsTheUnitOrder) {
  QStringList names;
  for (const orvenv::TStartEntry& e : orvenv::StartList()) names << QString::fromLatin1(e.Name);
  // The trace hook before anything can log, the environment before the registry, the
  // registry before the parameters that become its constants.
  EXPECT_EQ(names.indexOf("orvmsg"), 0);
  EXPECT_LT(names.indexOf("orvcls"), names.indexOf("orvcodeh"));
  EXPECT_LT(names.indexOf("orvcodeh"), names.indexOf("orvparam"));
  EXPECT_LT(names.indexOf("orvparam"), names.indexOf("orvopf"));
}

TEST(Startup, ProgramStartMakesTheEnvironmentAndTheRegistry) {
  qputenv("ORV_REGISTRY_FILE", (testsupport::TempFolder() + "/registry").toUtf8());
  TRootEnv* before = orvenv::GetRootEnv();
  orvenv::SetRootEnv(nullptr);
  orvenv::Startup();
  TRootEnv* made = orvenv::GetRootEnv();
  ASSERT_NE(made, nullptr);
  ASSERT_NE(made->ClsRoot, nullptr);
  EXPECT_NE(made->Params, nullptr);
  EXPECT_NE(made->ClsRoot->FindCls(QStringLiteral("TGetValueNotify")), nullptr);
  orvenv::Shutdown();
  EXPECT_EQ(orvenv::GetRootEnv(), nullptr);
  orvenv::SetRootEnv(before);
}

}  // namespace

namespace {

class TBell : public TComponent {
  ORV_CLASS(TBell, TComponent)
  using TCreateArg = TComponent;
  explicit TBell(TComponent* owner) : TComponent(owner) {}
  void Ring(TObject*) { ++rings; }
  int rings = 0;
};

}  // namespace

ORV_DESCRIBE(TBell) { c.Method("Ring", &TBell::Ring); }

namespace {

TEST(MethodVariants, RoundTripAndUnknownTokens) {
  auto* bell = new TBell(nullptr);
  const TMethod ring{TBell::StaticClass()->MethodAddress(QStringLiteral("Ring")), bell};
  const Variant v = orvcls::MethodToVar(ring);
  EXPECT_TRUE(v.IsString());
  EXPECT_EQ(orvcls::VarToMethod(v), ring);
  EXPECT_FALSE(orvcls::VarToMethod(Variant()).Assigned());
  EXPECT_FALSE(orvcls::VarToMethod(Variant::Null()).Assigned());
  EXPECT_FALSE(orvcls::VarToMethod(Variant(QStringLiteral("0123456789abcdef"))).Assigned());
  bell->Free();
  EXPECT_EQ(orvcls::VarToMethod(v).Data, nullptr);  // the object is gone
}

}  // namespace
