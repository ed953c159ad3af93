// Roots: one per opened object, its arguments and name, its modules, its lifetime, and the
// names component text resolves through it.
#include "fixture.h"

#include "controls/textstyles.h"
#include "db/orvdbintf.h"
#include "platform/classes/classregistry.h"
#include "platform/data/field.h"

namespace {

class TFakeDesc : public IListDescInfo {
 public:
  QString GetKey() override { return QStringLiteral("KEYSCRIPT;MORE"); }
};
class TFakeLists : public IrLists {
 public:
  IListDescInfo* GetListDesc(const QString& name) override {
    return name == QLatin1String("L1") ? &desc : nullptr;
  }
  TFakeDesc desc;
};

class RootTest : public HostTest {
 protected:
  RootTest() { env.Env().Lists = &lists; }
  ~RootTest() override { env.Env().Lists = nullptr; }
  TFakeLists lists;
};

TEST_F(RootTest, AnObjectScriptRunsInANewRootWithItsArguments) {
  AddSource({{"OBJ", ".\nTag = 5\n!Client:TClientForm\nMDIChild = True"},
             {"KEYSCRIPT", "!Client:TClientForm\nMDIChild = True"}});
  orvlib99::RunObjScript(owner, QStringLiteral("OBJ"), QStringLiteral("L1;X"), nullptr);
  ASSERT_EQ(app->GetRootCount(), 1);
  TOrvRoot* r = app->GetLastRoot();
  EXPECT_EQ(r->Name(), "OrvRoot_1");
  EXPECT_EQ(r->Tag(), 5);
  EXPECT_EQ(r->MasterSender(), owner);
  EXPECT_EQ(r->MasterListID(), "L1");
  EXPECT_EQ(r->MasterListName(), "ObjTable");
  EXPECT_EQ(r->MasterScriptID(), "OBJ");
  EXPECT_EQ(r->MasterListChain(), "L1;X");
  EXPECT_EQ(r->MasterLists()->Count(), 2);
  EXPECT_EQ(r->FormCount(), 1);
  r->FirstForm()->Free();
  EXPECT_EQ(app->GetRootCount(), 0);

  // No script chain: the list's key is the script chain; the MDI child keeps its root.
  orvlib99::RunObjScript(owner, QString(), QStringLiteral("L1"), nullptr);
  ASSERT_EQ(app->GetRootCount(), 1);
  r = app->GetLastRoot();
  EXPECT_EQ(r->Name(), "OrvRoot_1");  // the name is free again
  EXPECT_EQ(r->MasterScriptChain(), "KEYSCRIPT;MORE");
  EXPECT_EQ(r->MasterListChain(), "L1;KEYSCRIPT;MORE");
  EXPECT_EQ(r->FormCount(), 1);

  // An unknown list or an empty list chain opens nothing.
  orvlib99::RunObjScript(owner, QStringLiteral("OBJ"), QStringLiteral("NOLIST"), nullptr);
  orvlib99::RunObjScript(owner, QStringLiteral("OBJ"), QString(), nullptr);
  EXPECT_EQ(app->GetRootCount(), 1);
}

TEST_F(RootTest, NamesTakeTheSmallestFreeNumber) {
  AddSource({{"C", "!Client:TClientForm\nMDIChild = True"}});
  for (int i = 0; i < 3; ++i)
    orvlib99::RunObjScript(owner, QStringLiteral("C"), QStringLiteral("L1"), nullptr);
  ASSERT_EQ(app->GetRootCount(), 3);
  app->GetRoot(0)->FirstForm()->Free();  // OrvRoot_1 goes with its last client form
  ASSERT_EQ(app->GetRootCount(), 2);
  orvlib99::RunObjScript(owner, QStringLiteral("C"), QStringLiteral("L1"), nullptr);
  EXPECT_EQ(app->GetLastRoot()->Name(), "OrvRoot_1");
  EXPECT_EQ(app->GetRoot(0)->Name(), "OrvRoot_2");

  // A chain ending with "!" shows the open root's MDI child instead of a new root.
  AddSource({{"C!", "!Client:TClientForm\nMDIChild = True"}});
  orvlib99::RunObjScript(owner, QStringLiteral("C!"), QStringLiteral("L1"), nullptr);
  forms.Log.clear();
  orvlib99::RunObjScript(owner, QStringLiteral("C!"), QStringLiteral("L1"), nullptr);
  EXPECT_EQ(app->GetRootCount(), 4);
  EXPECT_EQ(forms.Log, QStringList{"maximized Client"});
}

TEST_F(RootTest, ARootLivesUntilItsLastClientFormGoes) {
  TOrvRoot* r = new TOrvRoot(nullptr);
  auto* c1 = new TClientForm(r);
  auto* c2 = new TClientForm(r);
  auto* y = new TY(r);
  y->Free();  // another component goes: the open client forms stay
  EXPECT_EQ(app->GetRootCount(), 1);
  c1->Free();
  EXPECT_EQ(app->GetRootCount(), 1);
  EXPECT_EQ(r->ComponentCount(), 1);
  c2->Free();
  EXPECT_EQ(app->GetRootCount(), 0);

  // Without client forms the first component that goes takes the root along.
  r = new TOrvRoot(nullptr);
  auto* m = new TTestModule(r);
  new TTestModule(r);
  m->Free();
  EXPECT_EQ(app->GetRootCount(), 0);
}

// Frees a sibling from its destructor: the root must survive until that unwinds.
class TGreedyClient : public TClientForm {
  ORV_CLASS(TGreedyClient, TClientForm)
  explicit TGreedyClient(TComponent* owner) : TClientForm(owner) {}
  void BeforeDestruction() override {
    if (TComponent* other = Owner() != nullptr ? Owner()->FindComponent("Victim") : nullptr)
      other->Free();
    TClientForm::BeforeDestruction();
  }
};

TEST_F(RootTest, ARootFreedFromInsideADestructionGoesOnceItUnwinds) {
  TOrvRoot* r = new TOrvRoot(nullptr);
  auto* greedy = new TGreedyClient(r);
  auto* victim = new TTestModule(r);
  victim->SetName("Victim");
  const qint64 rootHandle = r->ObjectHandle();
  greedy->Free();
  EXPECT_EQ(TObject::FromHandle(rootHandle), nullptr);
  EXPECT_EQ(app->GetRootCount(), 0);
}

TEST_F(RootTest, ARootFreedDuringARunGoesWhenTheRunEnds) {
  // The script frees the root's only module while it runs in that root.
  AddSource({{"SELF",
              "!M:TTestModule\n!Killer:TY\nAfterIt = Go\n:\n"
              "function T.Go(Sender: TY; Args: TYA; Res: Integer): Integer;\n"
              "begin Note(OrvApp.RootCount); Result := 0; end;\nbegin end;\n:"}});
  orvlib99::RunObjScript(owner, QStringLiteral("SELF"), QStringLiteral("L1"), nullptr);
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(gNotes, QStringList{"1"});
  EXPECT_EQ(app->GetRootCount(), 0);  // gone before RunObjScript returned
}

TEST_F(RootTest, ModulesAndGlobalNamesResolveInTheCurrentRoot) {
  TOrvRoot* r = new TOrvRoot(nullptr);
  auto* dm1 = new TTestModule(r);
  dm1->SetName("DM");
  auto* dm2 = new TTestModule(r);
  dm2->SetName("DM2");
  orvlib99::AttachToRoot(dm1);
  orvlib99::AttachToRoot(dm2);
  EXPECT_EQ(r->FindModule("dm"), dm1);
  EXPECT_EQ(r->FindModuleByClass(TTestModule::StaticClass()), dm2);
  EXPECT_EQ(FindGlobalComponent("DM"), dm1);
  EXPECT_EQ(FindGlobalComponent("TestModule"), dm2);  // by the class "T" + name
  EXPECT_EQ(FindGlobalComponent("ORVAPP"), app);
  EXPECT_EQ(FindGlobalComponent("TextStyles"), TextStyles());

  // Modules answer object scripts run in the sender's root: the first answer ends it.
  dm2->SetTag(7);
  const Variant v = r->RunObjScriptInModules(dm1, "X ", "L1", nullptr);
  EXPECT_EQ(v.ToInt(), 7);
  EXPECT_EQ(TTestModule::calls, (QStringList{"DM:X ", "DM2:X "}));

  // RootOf walks owners; a component of no root answers the current root.
  TOrvRoot* r2 = new TOrvRoot(nullptr);
  EXPECT_EQ(app->GetLastRoot(), r2);
  EXPECT_EQ(app->RootOfComponent(dm1), r);
  EXPECT_EQ(app->GetLastRoot(), r);
  EXPECT_EQ(app->RootOfComponent(owner), r);
  dm1->Free();  // leaves Modules; r holds no client form and goes
  EXPECT_EQ(app->GetRootCount(), 1);
  EXPECT_EQ(orvlib99::GetOrvRoot(nullptr), r2);
}

TEST_F(HostTest, NoRootMeansNothingFoundAndNeedOrvRootRaises) {
  EXPECT_EQ(orvlib99::GetOrvRoot(owner), nullptr);
  EXPECT_EQ(FindGlobalComponent("DM"), nullptr);
  try {
    orvlib99::NeedOrvRoot(owner);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains("GetOrvRoot = nil")) << e.Message().toStdString();
  }
}

TEST_F(HostTest, TheScriptFunctionsReachTheApplication) {
  AddSource(
      {{"T1", ".\nTag = 3"},
       {"T2",
        "!Y:TY\nAfterIt = Go\n:\nfunction T.Go(Sender: TY; Args: TYA; Res: Integer): Integer;\n"
        "begin OrvApp.RunScript(Owner, 'T1'); Note(OrvApp.GetScriptText('T1')); "
        "Result := 0; end;\nbegin end;\n:"}});
  app->RunScript(owner, "T2");
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(owner->Tag(), 3);
  EXPECT_EQ(gNotes, QStringList{".\r\nTag = 3"});
  EXPECT_EQ(Running(), QStringList());  // the function pops what it pushed
}

}  // namespace

ORV_DESCRIBE(TGreedyClient) {}

namespace {

TEST_F(RootTest, MasterComesFromTheMasterFieldAndValuesAreShared) {
  AddSource({{"M", "!Client:TClientForm\nMDIChild = True"}});
  TOrvRoot* first = new TOrvRoot(nullptr);
  auto* module = new TTestModule(first);
  module->SetName("DataModule1");
  auto* values = new TMemDataSet(module);
  first->SetValuesDataSet(values);
  auto* ds = new TMemDataSet(module);
  ds->FieldDefs().Add(QStringLiteral("ID"), ftInteger);
  ds->CreateDataSet();
  TField* field = ds->FieldByName(QStringLiteral("ID"));
  // The sender belongs to the first root: the new root shares its values.
  orvlib99::RunObjScript(module, QStringLiteral("M"), QStringLiteral("L1"), field);
  TOrvRoot* r = app->GetLastRoot();
  ASSERT_NE(r, first);
  EXPECT_EQ(r->MasterField(), field);
  EXPECT_EQ(r->Master(), module);
  EXPECT_EQ(r->ValuesDataSet(), values);
  EXPECT_EQ(orvlib99::GetRootMasterField(r->FirstForm()), field);
  EXPECT_EQ(orvlib99::GetRootMasterListID(r->FirstForm()), "L1");
  values->Free();  // a freed values dataset is forgotten by every root that holds it
  EXPECT_EQ(r->ValuesDataSet(), nullptr);
  EXPECT_EQ(first->ValuesDataSet(), nullptr);
}

TEST_F(RootTest, PackagesKeepTheFormsOfTheirRootAndFireTheirStepEvents) {
  TOrvRoot* r = new TOrvRoot(nullptr);
  auto* pack = new TOrvPack(r);
  pack->SetName("Wizard");
  r->AddModule(pack);
  auto* other = new TOrvPack(r);  // unnamed: keeps its own forms
  auto* f1 = new TClientForm(r);
  auto* f2 = new TTestForm(r);
  EXPECT_EQ(r->FormCount(), 2);
  EXPECT_EQ(r->FirstForm(), f1);
  EXPECT_EQ(pack->GetFormHolder(), pack);  // the root's first module of that name: itself
  EXPECT_EQ(pack->LastForm(), f2);
  EXPECT_EQ(other->IndexOfForm(f2), 1);
  f2->Free();
  EXPECT_EQ(r->FormCount(), 1);
  EXPECT_EQ(pack->FormCount(), 1);
  EXPECT_EQ(r->GetFormHolder(), r);
  EXPECT_NO_THROW(pack->DoStart());  // unassigned events do nothing
  EXPECT_NO_THROW(pack->DoFinal());
}

}  // namespace
