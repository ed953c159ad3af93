#include "script/lib/h_orvdsproc.h"

#include "controls/dbtreeview.h"
#include "controls/textstyles.h"
#include "core/orvcls.h"
#include "db/orvdbintf.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/zquery.h"
#include "script/lib/bind_app.h"
#include "script/lib/bindkit.h"
#include "script/orvcodeh.h"
#include "script/orvty.h"

using namespace bindkit;

namespace {

// Lets list-dataset events run script routines. Info goes whole: an object travels as its
// 64-bit handle.
class TOrvListEventPackage : public TEventPackage {
  ORV_CLASS(TOrvListEventPackage, TEventPackage)
  explicit TOrvListEventPackage(TComponent* owner) : TEventPackage(owner) {}
  void MOrvListEventNotify(TObject* sender, TDataEvent event, qint64 info) {
    CallVariant({orvcls::ObjToVar(sender), int(event), info});
  }
  void MOrvListFieldEventNotify(TObject* sender, const QString& fieldName) {
    CallVariant({orvcls::ObjToVar(sender), fieldName});
  }
};

// Lets the phases of function components run script routines.
class TYEventPackage : public TEventPackage {
  ORV_CLASS(TYEventPackage, TEventPackage)
  explicit TYEventPackage(TComponent* owner) : TEventPackage(owner) {}
  int MYNotifyEvent(TObject* sender, TObject* args, int res) {
    return CallVariant({orvcls::ObjToVar(sender), orvcls::ObjToVar(args), res}).ToInt();
  }
};

}  // namespace

ORV_DESCRIBE(TOrvListEventPackage) {
  c.Method("MOrvListEventNotify", &TOrvListEventPackage::MOrvListEventNotify);
  c.Method("MOrvListFieldEventNotify", &TOrvListEventPackage::MOrvListFieldEventNotify);
}
ORV_DESCRIBE(TYEventPackage) { c.Method("MYNotifyEvent", &TYEventPackage::MYNotifyEvent); }

namespace {

TDataSet* DS(TObject* s) { return Self<TDataSet>(s); }

// The dataset's own parameter list: Self is taken as that dataset.
TZAbstractRODataset* RO(TObject* s) { return Self<TZAbstractRODataset>(s); }

const TRow kDataSetRows[] = {
    {TRow::Func, "TDataSet.GetDataSource",
     ORV_BIND(r = orvcls::ObjToVar(orvdbintf::GetMasterDataSource(DS(s)))), "2", nullptr,
     "Получение DataSource/MasterSource"},
};

const TRow kOwnParamRows[] = {
    {TRow::Func, "TZAbstractRODataset.GetParam",
     ORV_BIND(r = RO(s)->ParamByName(ArgStr(a, 0))->Value()), "00"},
    {TRow::Proc, "TZAbstractRODataset.SetParam", ORV_BIND({
       TZAbstractRODataset* ds = RO(s);
       ds->ParamByName(ArgStr(a, 0))->SetValue(Arg(a, 1));
       if (ArgBool(a, 2)) {
         ds->Close();
         ds->Open();
       }
     }),
     "000"},
};

const TRow kFieldRows[] = {
    {TRow::Func, "TDataSet.FindFieldByParam:TField", ORV_BIND({
       TDataSet* ds = DS(s);
       r = orvcls::ObjToVar(orvdbintf::FindFieldByParam(ds, ArgStr(a, 0), ArgStr(a, 1)));
     }),
     "00"},
};

}  // namespace

namespace h_orvdsproc {

// The rows of the metadata model, the list datasets and the value store take their places
// here as those layers come.
void RegisterDataSetBindings() {
  Register(kDataSetRows);
  // The stored-procedure list mirrors its ancestor; until it exists the ancestor is mirrored
  // directly.
  orvcls::RegisterClasses({TZAbstractRODataset::StaticClass()});
  Register(kOwnParamRows);
  orvlib99bind::RegisterAppBindings();
  orvcls::RegisterClasses({TTextStyles::StaticClass(), TTextStyle::StaticClass()});
  orvlib99bind::RegisterRunBindings();
  Register(kFieldRows);
  orvcls::RegisterEventPackage(TOrvListEventPackage::StaticClass());
  orvcls::RegisterClasses({TY::StaticClass()});
  orvcls::RegisterEventPackage(TYEventPackage::StaticClass());
}

// The panel, group-box, splitter and grid classes take their places here as they come.
void RegisterControlClasses() { RegisterDBTreeClasses(); }
}  // namespace h_orvdsproc
