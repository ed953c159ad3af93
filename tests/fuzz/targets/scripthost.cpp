// Stored script texts through the host: the first part is the script "A", the second the
// script "B" that it may include ("..B"). Parsed, created, read and compiled the way the sweep
// does it, nothing run; every failure is a box, never an escaping exception; everything
// created is freed with its owner.
#include "fuzz.h"

#include "core/orvcls.h"
#include "platform/data/memdataset.h"
#include "platform/ui/dialogservice.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvlib99.h"

ORV_FUZZ_TARGET(scripthost) {
  QByteArray first, second;
  orvfuzz::Split(orvfuzz::Bytes(data, size), first, second);
  THeadlessDialogs dialogs;
  dialogs.Record = false;
  TDialogServiceScope silent(&dialogs);
  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  TOrvApp* app = orvlib99::OrvApp();
  auto* ds = new TMemDataSet(nullptr);
  ds->FieldDefs().Add(QStringLiteral("ROOTID"), ftString, 16);
  ds->FieldDefs().Add(QStringLiteral("SCRIPT"), ftMemo);
  ds->CreateDataSet();
  ds->AppendRecord({QStringLiteral("A"), QString::fromUtf8(first)});
  ds->AppendRecord({QStringLiteral("B"), QString::fromUtf8(second)});
  ds->Close();
  app->AddScriptDataSet(ds);
  auto* owner = new TComponent(nullptr);
  {
    TOrvScript script(app, QStringLiteral("A"));
    script.NoRun = true;
    script.Lenient = true;
    script.LoadBytes(first);
    script.Execute(owner, nullptr);
  }
  owner->Free();
  orvlib99::FreeOrvApp();
  root->Free();
}
