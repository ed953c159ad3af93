// Registration of native names, formulas and the registry's place in the root environment.
#include "script_calls.h"
#include "fixture.h"

#include "core/orvsys.h"
#include "platform/classes/classregistry.h"

namespace {

void Twice(Variant& result, TObject*, VariantArgs& args) { result = args.at(0).ToInt() * 2; }
void Bump(Variant& result, TObject* slf, VariantArgs& args) {
  args.at(0) = args.at(0).ToInt() + 1;  // a var parameter
  result = slf != nullptr ? Variant(static_cast<TGadget*>(slf)->Count) : Variant();
}

TEST_F(RegistryTest, InstalledOnceInTheRootEnvironment) {
  TRootEnv& e = env.Env();
  EXPECT_EQ(e.ClsRoot, static_cast<IClsRoot*>(root));
  ASSERT_NE(e.ClsRootDispatch, nullptr);
  EXPECT_EQ(e.ClsRootVariant.VType(), varDispatch);
  EXPECT_EQ(e.ClsRootVariant.ToDispatch(), e.ClsRootDispatch);
  EXPECT_THROW(new TRootCls, Exception);  // a second one is refused
  e.SetClsRoot(nullptr);
  EXPECT_EQ(e.ClsRoot, static_cast<IClsRoot*>(root));
}

TEST_F(RegistryTest, StartupRegistersTypeNamesPrototypesAndFunctions) {
  for (const char* name : {"String", "Integer", "Pointer", "Float", "Currency", "TCls", "TEntryCls",
                           "TSafeFunctionCls", "TEntryItem", "TValueItem", "TConstItem"})
    EXPECT_NE(orvcodeh::FindCls(QString::fromLatin1(name)), nullptr) << name;
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("Comp"))->ClsParent(),
            orvcodeh::FindCls(QStringLiteral("Float")));
  TCls* program = orvcodeh::FindCls(QStringLiteral("TProgramCls"));
  EXPECT_EQ(program->Owner(), orvcodeh::FindCls(QStringLiteral("TEntryCls")));
  EXPECT_EQ(program->NativeClass, nullptr);  // the prototype, not the mirror

  auto* formula = dynamic_cast<TFunctionCls*>(orvcodeh::FindCls(QStringLiteral("TGetValueNotify")));
  ASSERT_NE(formula, nullptr);
  EXPECT_EQ(formula->ResultClsName(), QStringLiteral("Variant"));
  auto* slf = dynamic_cast<TParamItem*>(formula->FindOwnItem(QStringLiteral("Slf")));
  ASSERT_NE(slf, nullptr);
  EXPECT_EQ(slf->ClsName(), QStringLiteral("TObject"));

  auto* calc = dynamic_cast<TEntryItem*>(root->FindOwnItem(QStringLiteral("calcformula")));
  ASSERT_NE(calc, nullptr);
  EXPECT_EQ(calc->Caption, QStringLiteral("Вычиляет формулу, заданную строкой"));
  EXPECT_EQ(calc->Cls()->Name(), QStringLiteral("TFunctionCls_0_Variant"));
}

TEST_F(RegistryTest, RegistrationNamesAndTheFirstRegistrationWins) {
  orvcodeh::GetClsOf(TGadget::StaticClass());
  TCls* gadget = orvcodeh::FindCls(QStringLiteral("TGadget"));
  ICompItem* level = root->AddProp(QStringLiteral("TGADGET.Level:TObject"), nullptr, nullptr);
  ASSERT_NE(level, nullptr);
  auto* levelItem = dynamic_cast<TPropItem*>(gadget->FindOwnItem(QStringLiteral("level")));
  EXPECT_EQ(static_cast<ICompItem*>(levelItem), level);
  EXPECT_EQ(levelItem->ClsName(), QStringLiteral("TObject"));
  EXPECT_EQ(root->AddProp(QStringLiteral("tgadget.LEVEL"), nullptr, nullptr), nullptr);
  EXPECT_EQ(root->AddProp(QStringLiteral("TBigGadget.Level"), nullptr, nullptr),
            nullptr);  // not mirrored

  orvcodeh::GetClsOf(TBigGadget::StaticClass());
  ICompItem* own = root->AddProp(QStringLiteral("TBigGadget.Level"), nullptr, nullptr);
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(static_cast<ICompItem*>(
                orvcodeh::FindCls(QStringLiteral("TBigGadget"))->FindItem(QStringLiteral("Level"))),
            own);

  IEntryItem* global = root->AddFunc(QStringLiteral("NewGadget:TGadget"), &Twice, {0});
  ASSERT_NE(global, nullptr);
  EXPECT_NE(root->FindOwnItem(QStringLiteral("NewGadget")), nullptr);

  root->RegisterTypeName(nullptr, QStringLiteral("B"));
  EXPECT_NE(root->AddProc(QStringLiteral("A.B.C"), &Twice, {0}), nullptr);
  EXPECT_NE(orvcodeh::FindCls(QStringLiteral("B"))->FindOwnItem(QStringLiteral("C")), nullptr);
}

TEST_F(RegistryTest, SignatureClassesAreSharedAndMadeFromTheKinds) {
  auto entryCls = [](IEntryItem* e) { return dynamic_cast<TEntryItem*>(e)->Cls(); };
  TCls* a = entryCls(root->AddFunc(QStringLiteral("F1"), &Twice, {0, 0}));
  TCls* b = entryCls(root->AddFunc(QStringLiteral("F2"), &Twice, {0, 0}));
  EXPECT_EQ(a, b);
  EXPECT_EQ(a->Name(), QStringLiteral("TFunctionCls_00_Variant"));
  EXPECT_EQ(a->Owner(), orvcodeh::FindCls(QStringLiteral("TFunctionCls")));

  TCls* none = entryCls(root->AddProc(QStringLiteral("P0"), &Twice, {2}));
  EXPECT_EQ(none->Name(), QStringLiteral("TProcedureCls_2"));
  EXPECT_EQ(none->CompItemCount(), 0);

  TCls* mixed = entryCls(root->AddProc(QStringLiteral("P1"), &Twice, {0, 1, 3, 4, 7}));
  EXPECT_EQ(mixed->Name(), QStringLiteral("TProcedureCls_01347"));
  const std::pair<const char*, int> params[] = {
      {"_0", 0}, {"_1", TParamItem::pfVar}, {"_2", TParamItem::pfArray}, {"_3", 0}};
  for (const auto& [name, flags] : params) {
    auto* p = dynamic_cast<TParamItem*>(mixed->FindOwnItem(QString::fromLatin1(name)));
    ASSERT_NE(p, nullptr) << name;
    EXPECT_EQ(p->Flags, flags) << name;
  }
  EXPECT_EQ(mixed->FindOwnItem(QStringLiteral("_4")), nullptr);
  EXPECT_EQ(mixed->CompItemCount(), 4);

  auto* fn = dynamic_cast<TFunctionCls*>(
      entryCls(root->AddFunc(QStringLiteral("F3:TGadget"), &Twice, {0})));
  ASSERT_NE(fn, nullptr);
  EXPECT_EQ(fn->ResultClsName(), QStringLiteral("TGadget"));
}

TEST_F(RegistryTest, EntriesCallTheirHandlerAndWriteBackVarArguments) {
  orvcodeh::GetClsOf(TGadget::StaticClass());
  auto* twice = dynamic_cast<TEntryItem*>(root->AddFunc(QStringLiteral("Twice"), &Twice, {0}));
  VariantArgs args{21};
  EXPECT_EQ(twice->Call(nullptr, args).ToInt(), 42);

  auto* bump = dynamic_cast<TEntryItem*>(root->AddFunc(QStringLiteral("TGadget.Bump"), &Bump, {1}));
  TGadget g(nullptr);
  g.Count = 5;
  VariantArgs byRef{1};
  EXPECT_EQ(bump->Call(&g, byRef).ToInt(), 5);
  EXPECT_EQ(byRef[0].ToInt(), 2);

  // Neither handler nor method: the object itself.
  auto* bare = new TEntryItem(root);
  EXPECT_EQ(orvcls::VarToObj(bare->Call(&g, args)), &g);

  IEntryItem* method = root->AddObjFunc(
      QStringLiteral("Plus"),
      [](TObject*, VariantArgs& a) { return Variant(a.at(0).ToInt() + 100); }, {0});
  EXPECT_EQ(method->Call(nullptr, args).ToInt(), 121);

  // Registered entries are native; the compiler refuses script routines of their names.
  EXPECT_TRUE(twice->IsNative());
  EXPECT_TRUE(dynamic_cast<TEntryItem*>(method)->IsNative());
  EXPECT_FALSE(bare->IsNative());
  EXPECT_EQ(orvcodeh::RedefinedRoutineText(QStringLiteral("Trim")),
            QStringLiteral("Такой метод уже определен (Trim)"));
}

TEST_F(RegistryTest, ConstantsPropertiesAndTypeNames) {
  ICompItem* pi = root->AddGlobalConst(QStringLiteral("Pi"), 3);
  EXPECT_EQ(root->AddGlobalConst(QStringLiteral("PI"), 4), pi);
  auto* item = dynamic_cast<TReservedConstItem*>(root->FindOwnItem(QStringLiteral("pi")));
  EXPECT_EQ(item->GetValue(nullptr).ToInt(), 3);

  static int stored = 0;
  root->AddProp(
      QStringLiteral("Stored:Integer"), [](Variant& r, TObject*, VariantArgs&) { r = stored; },
      [](Variant&, TObject*, VariantArgs& a) { stored = a.at(0).ToInt(); });
  auto* prop = dynamic_cast<TValueItem*>(root->FindOwnItem(QStringLiteral("Stored")));
  prop->SetValue(nullptr, 9);
  EXPECT_EQ(prop->GetValue(nullptr).ToInt(), 9);
  EXPECT_EQ(prop->ClsName(), QStringLiteral("Integer"));

  root->AddArrayProp(
      QStringLiteral("Cell"), 2,
      [](Variant& r, TObject*, VariantArgs& a) { r = a.at(0).ToInt() * 10 + a.at(1).ToInt(); },
      [](Variant&, TObject*, VariantArgs& a) {
        stored = a.at(0).ToInt() + a.at(1).ToInt() + a.at(2).ToInt();
      });
  auto* cell = dynamic_cast<TArrayPropItem*>(root->FindOwnItem(QStringLiteral("Cell")));
  EXPECT_EQ(cell->GetValue(nullptr, {3, 4}).ToInt(), 34);
  cell->SetValue(nullptr, {1, 2}, 100);
  EXPECT_EQ(stored, 103);

  // A type name that names an existing class moves it under the parent.
  TCls* gadget = orvcodeh::GetClsOf(TGadget::StaticClass());
  ICls* moved =
      root->RegisterTypeName(orvcodeh::FindCls(QStringLiteral("Float")), QStringLiteral("TGadget"));
  EXPECT_EQ(moved, static_cast<ICls*>(gadget));
  EXPECT_EQ(gadget->ClsParent(), orvcodeh::FindCls(QStringLiteral("Float")));
  EXPECT_EQ(root->FindNativeClass(QStringLiteral("tgadget")), TGadget::StaticClass());
  EXPECT_EQ(root->FindNativeClass(QStringLiteral("Float")), nullptr);
  EXPECT_EQ(root->FindNativeClass(QStringLiteral("unknown")), nullptr);
}

TEST_F(RegistryTest, CreateComponent) {
  orvcodeh::GetClsOf(TGadget::StaticClass());
  orvcodeh::GetClsOf(TPersistent::StaticClass());
  auto* create = dynamic_cast<TEntryItem*>(root->FindOwnItem(QStringLiteral("CreateComponent")));
  VariantArgs args{QStringLiteral("tgadget")};
  TObject* made = orvcls::VarToObj(create->Call(nullptr, args));
  ASSERT_NE(dynamic_cast<TGadget*>(made), nullptr);
  EXPECT_EQ(static_cast<TComponent*>(made)->Owner(), nullptr);
  made->Free();
  EXPECT_NE(GetClass(QStringLiteral("TGadget")), nullptr);  // mirroring registers it

  const std::pair<const char*, const char*> failures[] = {
      {"TNothing", " ... \"CreateComponent\" ... \"TNothing\" ... \"not found\""},
      {"Float", " ... \"CreateComponent\" ... \"Float\" ... \"is not class\""},
      {"TPersistent",
       " ... \"CreateComponent\" ... \"TPersistent\" ... \"is not component class\""}};
  for (const auto& [name, text] : failures) {
    VariantArgs a{QString::fromLatin1(name)};
    try {
      create->Call(nullptr, a);
      ADD_FAILURE() << name;
    } catch (const TOrvError& e) {  // the program's own error, which hosts catch
      EXPECT_EQ(e.Message(), QString::fromLatin1(text));
    }
  }
}

TEST_F(RegistryTest, CompileReportsErrorsAsText) {
  const QString text = QStringLiteral("procedure A; begin end; begin end.");
  EXPECT_EQ(root->Compile(text), QStringLiteral("No script compiler is installed"));
  InstallCompilerWithTrace(root);
  EXPECT_EQ(root->Compile(text), QString());
  EXPECT_NE(root->FindOwnItem(QStringLiteral("A")), nullptr);
  TCompItem* program = root->FindOwnItem(QStringLiteral("Program"));
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(program->Cls(), orvcodeh::FindCls(QStringLiteral("TProgramCls")));
  EXPECT_EQ(root->Compile(QStringLiteral("procedure B; x := 1; end; begin end.")),
            QStringLiteral("Syntax error in  (1): \r\nError in declaration block."));
  EXPECT_NE(root->FindOwnItem(QStringLiteral("Program")), program);
}

TEST_F(RegistryTest, FormulasRunInTheirScopeAndLeaveNothingBehind) {
  EXPECT_THROW(root->RunFormula(nullptr, QStringLiteral("Result := 1;")), Exception);
  InstallCompilerWithTrace(root);
  const int before = root->ComponentCount();
  EXPECT_EQ(root->RunFormula(nullptr, QStringLiteral("Result := 7;")).ToInt(), 7);
  EXPECT_EQ(root->ComponentCount(), before);

  IEntryItem* kept = root->CompileFormula(nullptr, QStringLiteral("Result := 2;"));
  EXPECT_EQ(root->FindOwnItem(QString()), dynamic_cast<TEntryItem*>(kept));
  EXPECT_EQ(dynamic_cast<TEntryItem*>(kept)->Cls(),
            orvcodeh::FindCls(QStringLiteral("TGetValueNotify")));
  EXPECT_THROW(root->CompileFormula(nullptr, QStringLiteral("Result := 1,2,3;")), ECompilerError);
  EXPECT_EQ(root->ComponentCount(), before + 1);  // the failed one is gone

  // The scope follows the context: a class of the model, else the object's mirror.
  TGadget g(nullptr);
  IEntryItem* inMirror = root->CompileFormula(&g, QStringLiteral("Result := 3;"));
  EXPECT_EQ(dynamic_cast<TEntryItem*>(inMirror)->Master(),
            orvcodeh::FindCls(QStringLiteral("TGadget")));
}

TEST_F(RegistryTest, CalcFormulaRetriesOnlyACompileErrorWithTheSignsRewritten) {
  InstallCompilerWithTrace(root);
  Calls() = {};
  EXPECT_EQ(root->CalcFormula(QStringLiteral("Counted(1,5)")).ToDouble(), 1.5);
  EXPECT_EQ(Calls().runs, 1);
  try {
    root->CalcFormula(QStringLiteral("Boom"));
    FAIL();
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().startsWith(QStringLiteral("boom\r\n"))) << e.Message().toStdString();
  }
  EXPECT_EQ(Calls().runs, 2);  // a failure at run time is not run again
  EXPECT_THROW(root->CalcFormula(QStringLiteral("1,2;3,4")),
               ECompilerError);  // rewritten, still bad
}

TEST_F(RegistryTest, LateBindingResolvesNames) {
  InstallCompilerWithTrace(root);
  auto* dsp = dynamic_cast<IOrvDispatch*>(static_cast<IDispatch*>(env.Env().ClsRootDispatch));
  ASSERT_NE(dsp, nullptr);
  VariantArgs args{QStringLiteral("40")};
  EXPECT_EQ(dsp->Invoke(QStringLiteral("CALCFORMULA"), args).ToInt(), 40);
  VariantArgs none;
  EXPECT_THROW(dsp->Invoke(QStringLiteral("NoSuchName"), none), Exception);
  try {
    dsp->Invoke(QStringLiteral("ParseExpression"), none);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_TRUE(e.Message().contains(QLatin1String("no external script language")));
  }

  orvcodeh::GetClsOf(TGadget::StaticClass());
  root->AddFunc(QStringLiteral("TGadget.Bump"), &Bump, {1});
  auto* g = new TGadget(nullptr);
  g->Caption = QStringLiteral("Окно");
  g->Count = 3;
  IOrvDispatch* wrapped = root->GetDispatch(g);
  EXPECT_EQ(wrapped->Invoke(QStringLiteral("caption"), none).ToString(), QStringLiteral("Окно"));
  VariantArgs byRef{10};
  EXPECT_EQ(wrapped->Invoke(QStringLiteral("Bump"), byRef).ToInt(), 3);
  EXPECT_EQ(byRef[0].ToInt(), 11);
  g->Free();
  EXPECT_THROW(wrapped->Invoke(QStringLiteral("Caption"), none), Exception);  // the object is gone
}

}  // namespace

namespace {

TEST_F(RegistryTest, RegistrationCallsGoToTheRegistryOfTheEnvironment) {
  orvcls::RegisterClasses({TGadget::StaticClass(), TBigGadget::StaticClass()});
  EXPECT_EQ(orvcls::FindNativeClass(QStringLiteral("TBigGadget")), TBigGadget::StaticClass());
  EXPECT_EQ(orvcls::GetClassCls(TGadget::StaticClass()),
            orvcls::FindCls(QStringLiteral("tgadget")));
  EXPECT_NE(orvcls::RegisterFunc(QStringLiteral("TGadget.Twice"), &Twice, {0}), nullptr);
  EXPECT_EQ(orvcls::RegisterFunc(QStringLiteral("TGadget.Twice"), &Twice, {0}), nullptr);
  EXPECT_NE(orvcls::RegisterConst(QStringLiteral("orvREG"), QStringLiteral("DEFAULT")), nullptr);
  EXPECT_NE(orvcls::RegisterTypeName(nullptr, QStringLiteral("TDateTime")), nullptr);
  {
    TRootEnvScope bare;  // no registry here
    EXPECT_EQ(orvcls::RegisterProc(QStringLiteral("P"), &Twice, {0}), nullptr);
    EXPECT_EQ(orvcls::FindCls(QStringLiteral("TGadget")), nullptr);
  }
  EXPECT_NE(orvcls::FindCls(QStringLiteral("TGadget")), nullptr);
}

}  // namespace

namespace {

TEST_F(RegistryTest, ListingNamesKindsSignaturesResultsAndSetters) {
  root->AddProp(
      QStringLiteral("Level:Integer"), [](Variant&, TObject*, VariantArgs&) {}, nullptr);
  const QStringList lines = orvcodeh::RegistryListing(root);
  for (const char* line : {"CalcFormula\tfunction\tTFunctionCls_0_Variant\tVariant\t",
                           "Level\tproperty\t\tInteger\tread-only",
                           "TCompItem.Caption\tpublished property\t\tAnsiString\tsetter"})
    EXPECT_TRUE(lines.contains(QString::fromLatin1(line))) << line;
}

}  // namespace
