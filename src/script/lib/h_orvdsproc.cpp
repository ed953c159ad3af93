#include "script/lib/h_orvdsproc.h"

#include "controls/dbtreeview.h"
#include "controls/orvpanels.h"
#include "controls/orvgroupbox.h"
#include "controls/orvpanels.h"
#include "controls/orvsplitter.h"
#include "controls/textstyles.h"
#include "core/orvcls.h"
#include "db/orvdbintf.h"
#include "db/orvdblists.h"
#include "db/orvdbutils.h"
#include "db/orvfields.h"
#include "db/orvlookup.h"
#include "db/orvzeossplist.h"
#include "db/orvvalues.h"
#include "db/orvzeos.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/zquery.h"
#include "script/lib/bind_app.h"
#include "script/lib/bindkit.h"
#include "script/orvcodeh.h"
#include "script/orvlib99.h"
#include "script/orvty.h"

using namespace bindkit;

namespace {

// Lets list-dataset events run script routines. Info goes whole: an object as an object
// Variant (its 64-bit handle), never cut to 32 bits.
class TOrvListEventPackage : public TEventPackage {
  ORV_CLASS(TOrvListEventPackage, TEventPackage)
  explicit TOrvListEventPackage(TComponent* owner) : TEventPackage(owner) {}
  void MOrvListEventNotify(TDataSet* sender, quint32 event, TObject* info) {
    CallVariant({orvcls::ObjToVar(sender), int(event), orvcls::ObjToVar(info)});
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
ORV_DESCRIBE(tyUpdateLinks) {}

int tyUpdateLinks::DoAfterIt(TYA* args) {
  const int code = TY::DoAfterIt(args);
  orvdblists::GetDescList()->UpdateLinks();
  return code;
}

namespace {

TDataSet* DS(TObject* s) { return Self<TDataSet>(s); }

// The dataset's own parameter list: Self is taken as that dataset.
TZAbstractRODataset* RO(TObject* s) { return Self<TZAbstractRODataset>(s); }

// A parameter by index when the Variant is a number or a Boolean, else by name.
bool ByIndex(const Variant& key) {
  switch (key.VType()) {
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return true;
    default: return false;
  }
}

Variant GetParVal(TObject* s, const VariantArgs& a) {
  TDataSet* ds = DS(s);
  const Variant& key = Arg(a, 0);
  return ByIndex(key) ? orvdbutils::GetParamValue(ds, key.ToInt())
                      : orvdbutils::GetParamValueByName(ds, key.ToString());
}

void SetParVal(TObject* s, const VariantArgs& a) {
  TDataSet* ds = DS(s);
  const Variant& key = Arg(a, 0);
  if (ByIndex(key))
    orvdbutils::SetParamValue(ds, key.ToInt(), Arg(a, 1));
  else
    orvdbutils::SetParamValueByName(ds, key.ToString(), Arg(a, 1));
}

TField* F(TObject* s) { return Self<TField>(s); }

TOrvPropDesc* PropDescOwner(TField* field) {
  TPropDesc* desc = orvdblists::FieldPropDesc(field);
  return desc != nullptr ? desc->OwnerComponent() : nullptr;
}

// The help text's "c" after "У" is a Latin letter, as the vocabulary has it.
// Several parameters through the list dataset's IParamValues; others take none.
void SetParVals(TObject* s, const VariantArgs& a) {
  TDataSet* ds = DS(s);
  if (auto* target = Supports<IParamValues>(ds)) {
    QString names = ArgStr(a, 0);
    Variant values = Arg(a, 1);
    target->SetParamValues(names, values);
  }
}

const TRow kParRows[] = {
    {TRow::Proc, "TDataSet.SetParVal", ORV_BIND(SetParVal(s, a)), "00", nullptr,
     "\u0423c\u0442\u0430\u043d\u043e\u0432\u043a\u0430 параметра"},
    {TRow::Proc, "TDataSet.SetParVals", ORV_BIND(SetParVals(s, a)), "03", nullptr,
     "\u0423c\u0442\u0430\u043d\u043e\u0432\u043a\u0430 параметров"},
};

const TRow kDataSetRows[] = {
    {TRow::Func, "TDataSet.GetDataSource",
     ORV_BIND(r = orvcls::ObjToVar(orvdbintf::GetMasterDataSource(DS(s)))), "2", nullptr,
     "Получение DataSource/MasterSource"},
    {TRow::Func, "TDataSet.GetParVal", ORV_BIND(r = GetParVal(s, a)), "0", nullptr,
     "Получение параметра"},
    {TRow::Func, "TDataSet.GetParam", ORV_BIND(r = GetParVal(s, a)), "00"},
    {TRow::Proc, "TDataSet.SetParam", ORV_BIND({
       TDataSet* ds = DS(s);
       orvdbutils::SetParamValueByName(ds, ArgStr(a, 0), Arg(a, 1));
       if (ArgBool(a, 2)) orvdbutils::RefreshDataSet(ds);
     }),
     "000"},
};

// The component's root becomes the current one before the value store is read or written.
TComponent* Rooted(TObject* s) {
  auto* component = Self<TComponent>(s);
  orvlib99::SelectOrvRoot(component);
  return component;
}

Variant Date(TDateTime d) { return Variant::FromDate(d); }
TDateTime ArgDate(const VariantArgs& a, size_t i) { return Arg(a, i).ToDateTime(); }

// The writers, then the readers, each as text, number, integer, date, time, logical value.
const TRow kValueRows[] = {
    {TRow::Proc, "TComponent.SetValueA",
     ORV_BIND(Rooted(s); orvvalues::SetValueA(ArgStr(a, 0), ArgStr(a, 1))), "00"},
    {TRow::Proc, "TComponent.SetValueN",
     ORV_BIND(Rooted(s); orvvalues::SetValueN(ArgStr(a, 0), ArgDouble(a, 1))), "00"},
    {TRow::Proc, "TComponent.SetValueI",
     ORV_BIND(Rooted(s); orvvalues::SetValueI(ArgStr(a, 0), ArgInt(a, 1))), "00"},
    {TRow::Proc, "TComponent.SetValueD",
     ORV_BIND(Rooted(s); orvvalues::SetValueD(ArgStr(a, 0), ArgDate(a, 1))), "00"},
    {TRow::Proc, "TComponent.SetValueT",
     ORV_BIND(Rooted(s); orvvalues::SetValueT(ArgStr(a, 0), ArgDate(a, 1))), "00"},
    {TRow::Proc, "TComponent.SetValueL",
     ORV_BIND(Rooted(s); orvvalues::SetValueL(ArgStr(a, 0), ArgBool(a, 1))), "00"},
    {TRow::Func, "TComponent.GetValueA",
     ORV_BIND(Rooted(s); r = orvvalues::GetValueA(ArgStr(a, 0))), "0"},
    {TRow::Func, "TComponent.GetValueN",
     ORV_BIND(Rooted(s); r = orvvalues::GetValueN(ArgStr(a, 0))), "0"},
    {TRow::Func, "TComponent.GetValueI",
     ORV_BIND(Rooted(s); r = orvvalues::GetValueI(ArgStr(a, 0))), "0"},
    {TRow::Func, "TComponent.GetValueD",
     ORV_BIND(Rooted(s); r = Date(orvvalues::GetValueD(ArgStr(a, 0)))), "0"},
    {TRow::Func, "TComponent.GetValueT",
     ORV_BIND(Rooted(s); r = Date(orvvalues::GetValueT(ArgStr(a, 0)))), "0"},
    {TRow::Func, "TComponent.GetValueL",
     ORV_BIND(Rooted(s); r = orvvalues::GetValueL(ArgStr(a, 0))), "0"},
};

const TRow kListRows[] = {
    {TRow::Proc, "RefreshTempLists", ORV_BIND(orvfields::RefreshTempLists())},
    {TRow::Func, "FindListDesc",
     ORV_BIND(r = orvcls::ObjToVar(orvdblists::GetDescList()->FindListDesc(ArgStr(a, 0)))), "0",
     nullptr, "Поиск описателя списка по его коду"},
    {TRow::Func, "TField.PropControl:TPropControl",
     ORV_BIND(r = orvcls::ObjToVar(orvdblists::FieldPropControl(F(s))))},
    {TRow::Func, "TField.PropDesc:TPropDesc",
     ORV_BIND(r = orvcls::ObjToVar(orvdblists::FieldPropDesc(F(s))))},
    {TRow::Func, "TField.PropDescOwner:TOrvPropDesc",
     ORV_BIND(r = orvcls::ObjToVar(PropDescOwner(F(s))))},
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

void RegisterDataSetBindings() {
  orvfields::RegisterFieldClasses();
  Register(kParRows);
  Register(kDataSetRows);
  // Mirroring the stored-procedure list makes its ancestor TZAbstractRODataset known.
  orvcls::RegisterClasses({TOrvZeosSPList::StaticClass()});
  Register(kOwnParamRows);
  orvlib99bind::RegisterAppBindings();
  orvcls::RegisterClasses({TTextStyles::StaticClass(), TTextStyle::StaticClass()});
  orvlib99bind::RegisterRunBindings();
  Register(kValueRows);
  orvcls::RegisterClasses({TOrvListDesc::StaticClass(), TOrvPropDesc::StaticClass(),
                           TOrvDescList::StaticClass(), tyUpdateLinks::StaticClass()});
  Register(kListRows);
  Register(kFieldRows);
  orvcls::RegisterEventPackage(TOrvListEventPackage::StaticClass());
  orvcls::RegisterClasses({TY::StaticClass()});
  orvcls::RegisterEventPackage(TYEventPackage::StaticClass());
  orvcls::RegisterClasses({TOrvLookup::StaticClass(), TOrvLookupZeos::StaticClass()});
}

// The data grid TFDBGrid takes its place after the splitter panel when it comes.
void RegisterControlClasses() {
  orvcls::RegisterClasses({TOrvPanel::StaticClass(), TOrvGroupBox::StaticClass(),
                           TOrvFilterGroupBox::StaticClass(), TSplitterPanel::StaticClass()});
}
}  // namespace h_orvdsproc
