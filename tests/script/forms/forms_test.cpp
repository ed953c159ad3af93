// Scripts driving forms through the Controls and Forms groups: creation, properties, modal
// runs answered by the driver, the shared caption/text pair, constants and class checks.
#include "core/orvcls.h"
#include "core/orvlib_forms.h"
#include "platform/classes/rtlclasses.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/dialogservice.h"
#include "platform/ui/stdctrls.h"
#include "script/lib/orvopf.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "support/test_support.h"

#include <QtWidgets/QApplication>
#include <gtest/gtest.h>

namespace {

class ScriptFormsTest : public ::testing::Test {
 protected:
  ScriptFormsTest() : root(orvcodeh::CreateRegistry()) {
    orvopf::RegisterRuntimeLibrary();
    orvcode2::InstallCompiler(root);
  }
  ~ScriptFormsTest() override {
    Application->SetModalDriver(nullptr);
    for (int i = Screen()->FormCount() - 1; i >= 0; --i) Screen()->Forms(i)->Free();
    DeliverPendingMessages();
    root->Free();
  }
  QString Run(const QString& program, const QString& formula) {
    const QString error = root->Compile(program);
    if (!error.isEmpty()) return QStringLiteral("compile: ") + error;
    try {
      return root->CalcFormula(formula).ToString();
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message();
    }
  }
  Variant Call(const QString& name, VariantArgs args, TObject* slf) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    TCls* cls = orvcodeh::FindCls(name.left(dot));
    auto* entry =
        cls != nullptr ? dynamic_cast<TEntryItem*>(cls->FindOwnItem(name.mid(dot + 1))) : nullptr;
    if (entry == nullptr) throw std::runtime_error("no entry " + name.toStdString());
    return entry->Call(slf, args);
  }
  THeadlessDialogs dialogs;
  TDialogServiceScope scope{&dialogs};
  TRootEnvScope env;
  TRootCls* root;
};

TEST_F(ScriptFormsTest, AScriptBuildsAFormAndRunsItModally) {
  int seenCaption = 0;
  Application->SetModalDriver([&](TCustomForm* f) {
    seenCaption = f->Caption() == QStringLiteral("Окно") ? 1 : 0;
    f->SetModalResult(mrYes);
  });
  const QString program = QStringLiteral(
      "function Run: Integer;\n"
      "var F: TForm;\n"
      "begin\n"
      "  F := F.CreateNew(nil);\n"
      "  F.Caption := 'Окно';\n"
      "  F.ClientWidth := 300;\n"
      "  F.Align := alNone;\n"
      "  Result := F.ShowModal * 10 + F.ControlCount;\n"
      "  F.Free;\n"
      "end;\n"
      "begin end.");
  EXPECT_EQ(Run(program, "Run"), "60");
  EXPECT_EQ(seenCaption, 1);
}

TEST_F(ScriptFormsTest, MembersConstantsAndChecks) {
  auto* form = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  auto* caption = dynamic_cast<TValueItem*>(orvcodeh::FindCls("TControl")->FindOwnItem("CAPTION"));
  auto* text = dynamic_cast<TValueItem*>(orvcodeh::FindCls("TWINControl")->FindOwnItem("TEXT"));
  ASSERT_NE(caption, nullptr);
  ASSERT_NE(text, nullptr);
  caption->SetValue(edit, QStringLiteral("abc"));
  EXPECT_EQ(text->GetValue(edit).ToString(), "abc");
  EXPECT_EQ(root->CalcFormula("crSize").VType(), varSmallint);
  EXPECT_EQ(root->CalcFormula("crSize").ToInt(), -22);
  EXPECT_EQ(root->CalcFormula("clNavy").VType(), varInteger);
  EXPECT_EQ(root->CalcFormula("mrYes").VType(), varShortInt);
  EXPECT_EQ(orvcls::VarToObj(root->CalcFormula("Application")), Application);
  auto* count =
      dynamic_cast<TConstItem*>(orvcodeh::FindCls("TWinControl")->FindOwnItem("CONTROLCOUNT"));
  ASSERT_NE(count, nullptr);
  EXPECT_EQ(count->GetValue(form).ToInt(), 1);
  // A member on an object of another class, or on nil, fails its class check.
  TStringList other;
  for (TObject* slf : {static_cast<TObject*>(&other), static_cast<TObject*>(nullptr)}) {
    try {
      Call("TFORM.SHOWMODAL", {}, slf);
      ADD_FAILURE();
    } catch (const Exception& e) {
      EXPECT_EQ(e.ClassName(), "TOrvError");
    }
  }
  EXPECT_THROW(Call("TWINCONTROL.SCALEBY", {1, 0}, form), EDivByZero);
  // A message number dispatched through the bus answers its handler's result.
  RegisterMessageHandler(TForm::StaticClass(), 0x5770,
                         [](TObject*, TMessage& m) { m.Result = 77; });
  VariantArgs args{0x5770};
  auto* dispatch = dynamic_cast<TEntryItem*>(orvcodeh::FindCls("TOBJECT")->FindOwnItem("DISPATCH"));
  ASSERT_NE(dispatch, nullptr);
  dispatch->Call(form, args);
  EXPECT_EQ(args[0].ToInt(), 77);
  RegisterMessageHandler(TForm::StaticClass(), 0x5770, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  DescribeRuntimeClasses();
  orvlib::InitializeForms();
  TApplication app(nullptr);
  app.ModalTimeoutMs = 2000;
  return RUN_ALL_TESTS();
}
