// Forms that scripts create are shown by the component layer: modal unless Tag is -999 or
// the form is an MDI child, frames inline, "Application" the layer's application object.
#include "core/orvcls.h"
#include "platform/data/memdataset.h"
#include "platform/ui/dialogservice.h"
#include "platform/ui/forms.h"
#include "script/lib/orvopf.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvlib99.h"

#include <gtest/gtest.h>

namespace {

class HostFormsTest : public ::testing::Test {
 protected:
  HostFormsTest() : root(orvcodeh::CreateRegistry()) {
    orvcode2::InstallCompiler(root);
    orvopf::RegisterRuntimeLibrary();
    app = orvlib99::OrvApp();
    owner = new TComponent(nullptr);
    auto* ds = new TMemDataSet(nullptr);
    ds->FieldDefs().Add(QStringLiteral("ROOTID"), ftString, 64);
    ds->FieldDefs().Add(QStringLiteral("SCRIPT"), ftMemo);
    ds->CreateDataSet();
    ds->AppendRecord({QStringLiteral("MODAL"), QStringLiteral("!Dlg:TForm\nCaption = 'Диалог'")});
    ds->AppendRecord({QStringLiteral("MODELESS"), QStringLiteral("!Win:TForm\nTag = -999")});
    ds->AppendRecord(
        {QStringLiteral("CHILD!"), QStringLiteral("!Child:TForm\nFormStyle = fsMDIChild")});
    ds->AppendRecord(
        {QStringLiteral("FRAME"), QStringLiteral("!Fr:TFrame\nTag = 3\n!Win2:TForm\nTag = -999")});
    ds->AppendRecord({QStringLiteral("APP"), QStringLiteral(".Application\nTitle = 'Заголовок'")});
    ds->Close();
    app->AddScriptDataSet(ds);
  }
  ~HostFormsTest() override {
    owner->Free();
    orvlib99::FreeOrvApp();
    root->Free();
    Application->SetModalDriver(nullptr);
  }
  TRootEnvScope env;
  THeadlessDialogs dialogs;
  TDialogServiceScope dialogScope{&dialogs};
  TRootCls* root;
  TOrvApp* app;
  TComponent* owner;
};

TEST_F(HostFormsTest, AFormIsShownModalAndFreedAfterwards) {
  QString shown;
  Application->SetModalDriver([&](TCustomForm* f) {
    shown = f->Name() + QLatin1Char(':') + f->Caption();
    f->SetModalResult(mrOk);
  });
  app->RunScript(owner, QStringLiteral("MODAL"));
  EXPECT_EQ(shown, "Dlg:Диалог");
  EXPECT_EQ(owner->FindComponent(QStringLiteral("Dlg")), nullptr);
  EXPECT_TRUE(dialogs.Requests.empty());
}

TEST_F(HostFormsTest, ATagMinus999FormIsShownAndLivesOn) {
  app->RunScript(owner, QStringLiteral("MODELESS"));
  auto* win = dynamic_cast<TForm*>(owner->FindComponent(QStringLiteral("Win")));
  ASSERT_NE(win, nullptr);
  EXPECT_TRUE(win->Visible());
}

TEST_F(HostFormsTest, FramesAreInlineAndTheApplicationIsTheLayers) {
  app->RunScript(owner, QStringLiteral("FRAME"));
  TComponent* frame = owner->FindComponent(QStringLiteral("Fr"));
  ASSERT_NE(frame, nullptr);  // created before the form that stopped the run
  EXPECT_TRUE(frame->ComponentState().Contains(csInline));
  EXPECT_EQ(frame->Tag(), 3);
  app->RunScript(owner, QStringLiteral("APP"));
  EXPECT_EQ(Application->Title(), "Заголовок");
  EXPECT_TRUE(dialogs.Requests.empty());
}

TEST_F(HostFormsTest, AnOpenMDIChildIsShownMaximizedInsteadOfANewRoot) {
  orvlib99::PendingArgs() = new TYA(nullptr, TVarRecs{TVarRec(static_cast<const TObject*>(owner)),
                                                      TVarRec(static_cast<const TObject*>(nullptr)),
                                                      "L", "ObjTable", "CHILD!", "L", "CHILD!"});
  auto* r = new TOrvRoot(nullptr);
  app->RunScript(r, QStringLiteral("CHILD!"));
  auto* child = dynamic_cast<TForm*>(r->FindComponent(QStringLiteral("Child")));
  ASSERT_NE(child, nullptr);  // an MDI child stops the run and lives on
  EXPECT_EQ(r->FirstForm(), child);
  EXPECT_FALSE(child->Visible());
  orvlib99::RunObjScript(owner, QStringLiteral("CHILD!"), QStringLiteral("L"), nullptr);
  EXPECT_EQ(app->GetRootCount(), 1);
  EXPECT_TRUE(child->Visible());
  EXPECT_EQ(child->WindowState(), wsMaximized);
}

}  // namespace

namespace {

// With an application object, a failed tryPOST is handled where unhandled exceptions go.
TEST_F(HostFormsTest, TryPostHandsAFailedPostToTheApplication) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add(QStringLiteral("NAME"), ftString, 10, true);
  ds.CreateDataSet();
  ds.Append();
  auto* entry = dynamic_cast<TEntryItem*>(
      orvcodeh::FindCls(QStringLiteral("TDataSet"))->FindOwnItem(QStringLiteral("tryPOST")));
  ASSERT_NE(entry, nullptr);
  VariantArgs none;
  EXPECT_FALSE(entry->Call(&ds, none).ToBool());
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  EXPECT_EQ(dialogs.Requests[0].Flags & mbIconError, mbIconError);
  EXPECT_TRUE(dialogs.Requests[0].Text.contains(QStringLiteral("NAME")));
  EXPECT_EQ(ds.State(), dsInsert);
}

}  // namespace
