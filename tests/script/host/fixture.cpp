#include "fixture.h"

#include "core/orvmsg.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/typinfo.h"
#include "platform/data/field.h"

QStringList gNotes;
QStringList TTestModule::calls;

ORV_DESCRIBE(TTestForm) {
  c.Prop("Caption", &TTestForm::Caption);
  c.Prop("Count", &TTestForm::Count).Default(0);
  c.Prop("MDIChild", &TTestForm::MDIChild).Default(0);
  c.Prop("OnPing", &TTestForm::OnPing);
}
ORV_DESCRIBE(TClientForm) {}
ORV_DESCRIBE(TNotifyPackage) { c.Method("MNotifyEvent", &TNotifyPackage::MNotifyEvent); }
ORV_DESCRIBE(TTestModule) {
  c.Info().AddInterface(TInterfaceEntry{IID_IrRunner, [](TObject* o) -> IInterface* {
                                          return static_cast<IrRunner*>(
                                              static_cast<TTestModule*>(o));
                                        }});
}

namespace {
void Note(Variant&, TObject*, VariantArgs& args) {
  const Variant& v = args.at(0);
  auto* c = v.IsOrdinal() ? dynamic_cast<TComponent*>(TObject::FromHandle(v.ToInt64())) : nullptr;
  gNotes << (c != nullptr ? c->Name() : v.ToString());
}
}  // namespace

HostTest::HostTest() : root(orvcodeh::CreateRegistry()) {
  orvcode2::InstallCompiler(root);
  orvopf::RegisterRuntimeLibrary();
  orvmsg::ConnectScriptBoxes();
  root->AddProc(QStringLiteral("Note"), &Note, {0});
  root->RegisterEventPackage(TNotifyPackage::StaticClass());
  orvcls::RegisterClasses(
      {TTestForm::StaticClass(), TClientForm::StaticClass(), TTestModule::StaticClass()});
  orvformsvc::SetForms(&forms);
  app = orvlib99::OrvApp();
  owner = new TComponent(nullptr);
  owner->SetName(QStringLiteral("Owner"));
  gNotes.clear();
  TTestModule::calls.clear();
}

HostTest::~HostTest() {
  owner->Free();
  orvlib99::FreeOrvApp();
  orvformsvc::SetForms(nullptr);
  root->Free();
}

void HostTest::AddSource(std::initializer_list<std::pair<const char*, const char*>> rows) {
  auto* ds = new TMemDataSet(nullptr);
  ds->FieldDefs().Add(QStringLiteral("ROOTID"), ftString, 64);
  ds->FieldDefs().Add(QStringLiteral("SCRIPT"), ftMemo);
  ds->CreateDataSet();
  for (const auto& [id, text] : rows)
    ds->AppendRecord({QString::fromUtf8(id),
                      text != nullptr ? Variant(QString::fromUtf8(text)) : Variant::Null()});
  ds->Close();  // the host opens it and reads it once
  app->AddScriptDataSet(ds);
}

QStringList HostTest::TakeBoxes() {
  QStringList out;
  for (const TDialogRequest& r : dialogs.Requests)
    out << r.Caption + QStringLiteral(" | ") + r.Text;
  dialogs.Requests.clear();
  return out;
}

QStringList HostTest::Running() const {
  QStringList out;
  for (int i = 0; i < app->Running()->Count(); ++i) out << app->Running()->Strings(i);
  return out;
}
