// The DB group: datasets, data sources, fields, parameters and their constants.
#include "core/orvmsg.h"
#include "core/orvsys.h"
#include "platform/classes/rtlclasses.h"
#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/data/params.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/tlist.h"
#include "platform/ui/forms.h"
#include "script/lib/bindkit.h"
#include "script/lib/orvbindings.h"


using namespace bindkit;

namespace orvbindings {

namespace {

TDataSet* DS(TObject* s) { return Self<TDataSet>(s); }
TDataSource* Src(TObject* s) { return Self<TDataSource>(s); }
TField* F(TObject* s) { return Self<TField>(s); }
TParam* P(TObject* s) { return Self<TParam>(s); }
TParams* Ps(TObject* s) { return Self<TParams>(s); }

// An object argument of that class, or nullptr for nil.
template <class T>
T* ObjArg(const VariantArgs& a, size_t i) {
  TObject* o = ArgObj(a, i);
  return o != nullptr ? Self<T>(o) : nullptr;
}

Variant Date(TDateTime d) { return Variant::FromDate(d); }

TFieldType FieldTypeArg(const VariantArgs& a, size_t i) {
  const qint64 v = ArgInt64(a, i);
  if (v < 0 || v >= FieldTypeCount)
    throw ERangeError(QStringLiteral("DataType: %1 is no field type").arg(v));
  return TFieldType(v);
}

TParamType ParamTypeArg(const VariantArgs& a, size_t i) {
  const qint64 v = ArgInt64(a, i);
  if (v < ptUnknown || v > ptResult)
    throw ERangeError(QStringLiteral("ParamType: %1 is no parameter type").arg(v));
  return TParamType(v);
}

// ---- APPENDRECORD / INSERTRECORD: the values in the argument-list form of VarArrayToArgs

constexpr int kRecordLimit = 101;

void FillRecord(TObject* s, const VariantArgs& a, bool append, const char* binding) {
  TVarRecs recs;
  try {
    recs = orvcls::VarArrayToArgs(Arg(a, 0), kRecordLimit);
  } catch (const EVariantBadIndexError& e) {
    throw TOrvError(QStringLiteral("%1: %2 (at most %3 values)")
                        .arg(QLatin1String(binding), e.Message())
                        .arg(kRecordLimit));
  }
  TDataSet* ds = DS(s);
  VariantArgs values;
  values.reserve(recs.size());
  for (const TVarRec& rec : recs) values.push_back(rec.VVariant);
  if (append)
    ds->AppendRecord(values);
  else
    ds->InsertRecord(values);
}

// ---- BOOKMARK: the platform's bookmark behind the dataset's identity and open generation,
// so a bookmark of another dataset, of an earlier opening or made up by a script is refused.

constexpr char kBookmarkMark[4] = {'O', 'R', 'V', 'B'};
constexpr int kBookmarkHead = 4 + 8 + 4;

QByteArray BookmarkHead(const TDataSet* ds) {
  QByteArray head(kBookmarkMark, 4);
  const qint64 handle = ds->ObjectHandle();
  const qint32 generation = ds->OpenGeneration();
  head.append(reinterpret_cast<const char*>(&handle), 8);
  head.append(reinterpret_cast<const char*>(&generation), 4);
  return head;
}

Variant GetBookmark(TDataSet* ds) {
  const QByteArray bytes = BookmarkHead(ds) + ds->GetBookmark();
  Variant array = VarArrayCreate(0, int(bytes.size()) - 1, varByte);
  for (int i = 0; i < bytes.size(); ++i) array.ArrayPut(i, Variant::FromByte(quint8(bytes[i])));
  return array;
}

void SetBookmark(TDataSet* ds, const Variant& value) {
  if (!value.IsArray()) throw EVariantError(QStringLiteral("TDATASET.BOOKMARK: not a byte array"));
  QByteArray bytes;
  for (int i = value.ArrayLowBound(); i <= value.ArrayHighBound(); ++i) {
    const int b = value.ArrayGet(i).ToInt();
    if (b < 0 || b > 255)
      throw EVariantError(QStringLiteral("TDATASET.BOOKMARK: %1 is not a byte").arg(b));
    bytes.append(char(b));
  }
  if (bytes.size() < kBookmarkHead || !bytes.startsWith(BookmarkHead(ds)))
    throw TOrvError(QStringLiteral("TDATASET.BOOKMARK: not a bookmark of %1 as it is open now")
                        .arg(ds->Name()));
  ds->GotoBookmark(bytes.mid(kBookmarkHead));
}

// ---- tryPOST

// A failed post goes where unhandled exceptions go; the edit stays.
bool TryPost(TDataSet* ds) {
  try {
    ds->Post();
    return true;
  } catch (const std::exception& e) {
    if (::Application != nullptr)
      ::Application->HandleException(ds);
    else
      orvmsg::ShowException(QString(), &e);
  }
  return false;
}

// ---- ASINTEGER: large-integer fields and parameters read and write 64 bits

Variant FieldAsInteger(TField* f) {
  if (f->DataType() == ftLargeint) return Variant(f->AsLargeInt());
  return Variant(f->AsInteger());
}
void SetFieldAsInteger(TField* f, const VariantArgs& a) {
  if (f->DataType() == ftLargeint)
    f->SetAsLargeInt(ArgInt64(a, 0));
  else
    f->SetAsInteger(ArgInt(a, 0));
}
Variant ParamAsInteger(TParam* p) {
  if (p->DataType() == ftLargeint) return Variant(p->AsLargeInt());
  return Variant(p->AsInteger());
}
void SetParamAsInteger(TParam* p, const VariantArgs& a) {
  if (p->DataType() == ftLargeint)
    p->SetAsLargeInt(ArgInt64(a, 0));
  else
    p->SetAsInteger(ArgInt(a, 0));
}

void GetFieldNames(TDataSet* ds, TObject* list) {
  if (list == nullptr) return;
  auto* strings = static_cast<TStrings*>(bindkit::CheckClass(list, StringsClass()));
  QStringList names;
  ds->GetFieldNames(names);
  strings->BeginUpdate();
  strings->Clear();
  for (const QString& name : names) strings->Add(name);
  strings->EndUpdate();
}

void GetParamList(TParams* ps, TObject* list, const QString& names) {
  auto* target =
      list != nullptr ? static_cast<TList*>(bindkit::CheckClass(list, ListClass())) : nullptr;
  std::vector<TParam*> found;
  ps->GetParamList(found, names);
  if (target != nullptr)
    for (TParam* p : found) target->Add(p);
}

TObject* CreateParam(TObject* s, const VariantArgs& a) {
  TParams* collection = ObjArg<TParams>(a, 0);
  const TParamType type = ParamTypeArg(a, 1);
  auto* param = static_cast<TParam*>(CreateInstance(s, TParam::StaticClass(), collection));
  param->SetParamType(type);
  return param;
}

// clang-format off
const TConstRow kFieldTypes[] = {
    {"ftUnknown", qint64(0)}, {"ftString", qint64(1)}, {"ftSmallint", qint64(2)},
    {"ftInteger", qint64(3)}, {"ftWord", qint64(4)}, {"ftBoolean", qint64(5)},
    {"ftFloat", qint64(6)}, {"ftCurrency", qint64(7)}, {"ftBCD", qint64(8)},
    {"ftDate", qint64(9)}, {"ftTime", qint64(10)}, {"ftDateTime", qint64(11)},
    {"ftBytes", qint64(12)}, {"ftVarBytes", qint64(13)}, {"ftAutoInc", qint64(14)},
    {"ftBlob", qint64(15)}, {"ftMemo", qint64(16)}, {"ftGraphic", qint64(17)},
    {"ftFmtMemo", qint64(18)}, {"ftParadoxOle", qint64(19)}, {"ftDBaseOle", qint64(20)},
    {"ftTypedBinary", qint64(21)},
};

const TConstRow kFieldConsts[] = {
    {"upWhereAll", qint64(0)}, {"upWhereChanged", qint64(1)}, {"upWhereKeyOnly", qint64(2)},
    {"ixPrimary", qint64(0)}, {"ixUnique", qint64(1)}, {"ixDescending", qint64(2)},
    {"ixExpression", qint64(4)}, {"ixCaseInsensitive", qint64(3)},
    {"ukModify", qint64(0)}, {"ukInsert", qint64(1)}, {"ukDelete", qint64(2)},
};

const TConstRow kParamConsts[] = {
    {"ptUnknown", qint64(0)}, {"ptInput", qint64(1)}, {"ptOutput", qint64(2)},
    {"ptInputOutput", qint64(3)}, {"ptResult", qint64(4)},
};
// clang-format on

const TRow kDataSetRows[] = {
    {TRow::Proc, "TDATASET.APPEND", ORV_BIND(DS(s)->Append())},
    {TRow::Proc, "TDATASET.APPENDRECORD", ORV_BIND(FillRecord(s, a, true, "TDATASET.APPENDRECORD")),
     "0"},
    {TRow::Proc, "TDATASET.CANCEL", ORV_BIND(DS(s)->Cancel())},
    {TRow::Proc, "TDATASET.CHECKBROWSEMODE", ORV_BIND(DS(s)->CheckBrowseMode())},
    {TRow::Proc, "TDATASET.CLEARFIELDS", ORV_BIND(DS(s)->ClearFields())},
    {TRow::Proc, "TDATASET.CLOSE", ORV_BIND(DS(s)->Close())},
    {TRow::Func, "TDATASET.CONTROLSDISABLED", ORV_BIND(r = DS(s)->ControlsDisabled())},
    {TRow::Proc, "TDATASET.DELETE", ORV_BIND(DS(s)->Delete())},
    {TRow::Proc, "TDATASET.DISABLECONTROLS", ORV_BIND(DS(s)->DisableControls())},
    {TRow::Proc, "TDATASET.EDIT", ORV_BIND(DS(s)->Edit())},
    {TRow::Proc, "TDATASET.ENABLECONTROLS", ORV_BIND(DS(s)->EnableControls())},
    {TRow::Func, "TDATASET.FIELDBYNAME:TField", ORV_BIND(r = Obj(DS(s)->FieldByName(ArgStr(a, 0)))),
     "0"},
    {TRow::Func, "TDATASET.FINDFIELD:TField", ORV_BIND(r = Obj(DS(s)->FindField(ArgStr(a, 0)))),
     "0"},
    {TRow::Func, "TDATASET.FINDFIRST", ORV_BIND(r = DS(s)->FindFirst())},
    {TRow::Func, "TDATASET.FINDLAST", ORV_BIND(r = DS(s)->FindLast())},
    {TRow::Func, "TDATASET.FINDNEXT", ORV_BIND(r = DS(s)->FindNext())},
    {TRow::Func, "TDATASET.FINDPRIOR", ORV_BIND(r = DS(s)->FindPrior())},
    {TRow::Proc, "TDATASET.FIRST", ORV_BIND(DS(s)->First())},
    {TRow::Proc, "TDATASET.GETFIELDNAMES", ORV_BIND(GetFieldNames(DS(s), ArgObj(a, 0))), "0"},
    {TRow::Proc, "TDATASET.INSERT", ORV_BIND(DS(s)->Insert())},
    {TRow::Proc, "TDATASET.INSERTRECORD",
     ORV_BIND(FillRecord(s, a, false, "TDATASET.INSERTRECORD")), "0"},
    {TRow::Proc, "TDATASET.LAST", ORV_BIND(DS(s)->Last())},
    // The options are never read: the search is case-sensitive on whole values.
    {TRow::Func, "TDATASET.LOCATE", ORV_BIND(r = DS(s)->Locate(ArgStr(a, 0), Arg(a, 1), 0)), "000"},
    {TRow::Func, "TDATASET.LOOKUP",
     ORV_BIND(r = DS(s)->Lookup(ArgStr(a, 0), Arg(a, 1), ArgStr(a, 2))), "000"},
    {TRow::Func, "TDATASET.MOVEBY", ORV_BIND(r = DS(s)->MoveBy(ArgInt(a, 0))), "0"},
    {TRow::Proc, "TDATASET.NEXT", ORV_BIND(DS(s)->Next())},
    {TRow::Proc, "TDATASET.OPEN", ORV_BIND(DS(s)->Open())},
    {TRow::Proc, "TDATASET.POST", ORV_BIND(DS(s)->Post())},
    {TRow::Func, "TDATASET.tryPOST", ORV_BIND(r = TryPost(DS(s)))},
    {TRow::Proc, "TDATASET.PRIOR", ORV_BIND(DS(s)->Prior())},
    {TRow::Proc, "TDATASET.REFRESH", ORV_BIND(DS(s)->Refresh())},
    {TRow::Proc, "TDATASET.UPDATECURSORPOS", ORV_BIND(DS(s)->UpdateCursorPos())},
    {TRow::Proc, "TDATASET.UPDATERECORD", ORV_BIND(DS(s)->UpdateRecord())},
    {TRow::Prop, "TDATASET.BOF", ORV_BIND(r = DS(s)->Bof())},
    {TRow::Prop, "TDATASET.BOOKMARK", ORV_BIND(r = GetBookmark(DS(s))), "",
     ORV_BIND(SetBookmark(DS(s), Arg(a, 0)))},
    {TRow::Prop, "TDATASET.CANMODIFY", ORV_BIND(r = DS(s)->CanModify())},
    {TRow::Prop, "TDATASET.DATASOURCE:TDataSource", ORV_BIND(r = Obj(DS(s)->GetDataSource()))},
    {TRow::Prop, "TDATASET.EOF", ORV_BIND(r = DS(s)->Eof())},
    {TRow::Prop, "TDATASET.FIELDCOUNT", ORV_BIND(r = DS(s)->FieldCount())},
    {TRow::Prop, "TDATASET.FOUND", ORV_BIND(r = DS(s)->Found())},
    {TRow::Prop, "TDATASET.MODIFIED", ORV_BIND(r = DS(s)->Modified())},
    {TRow::Prop, "TDATASET.RECORDCOUNT", ORV_BIND(r = DS(s)->RecordCount())},
    {TRow::Prop, "TDATASET.STATE", ORV_BIND(r = qint64(DS(s)->State()))},
    {TRow::Prop, "TDATASET.ACTIVE", ORV_BIND(r = DS(s)->Active()), "",
     ORV_BIND(DS(s)->SetActive(ArgBool(a, 0)))},
    {TRow::Prop, "TDATASET.FILTER", ORV_BIND(r = DS(s)->Filter()), "",
     ORV_BIND(DS(s)->SetFilter(ArgStr(a, 0)))},
    {TRow::Prop, "TDATASET.FILTERED", ORV_BIND(r = DS(s)->Filtered()), "",
     ORV_BIND(DS(s)->SetFiltered(ArgBool(a, 0)))},
    // TDataSource
    {TRow::Proc, "TDATASOURCE.EDIT", ORV_BIND(Src(s)->Edit())},
    {TRow::Func, "TDATASOURCE.ISLINKEDTO", ORV_BIND({
       TDataSource* src = Src(s);
       r = src->IsLinkedTo(ObjArg<TDataSet>(a, 0));
     }),
     "0"},
    {TRow::Prop, "TDATASOURCE.DATASET:TDataSet", ORV_BIND(r = Obj(Src(s)->DataSet())), "",
     ORV_BIND({
       TDataSource* src = Src(s);
       src->SetDataSet(ObjArg<TDataSet>(a, 0));
     })},
    // TField
    {TRow::Proc, "TFIELD.CLEAR", ORV_BIND(F(s)->Clear())},
    {TRow::Proc, "TFIELD.FOCUSCONTROL", ORV_BIND(F(s)->FocusControl())},
    {TRow::Prop, "TFIELD.ASBOOLEAN", ORV_BIND(r = F(s)->AsBoolean()), "",
     ORV_BIND(F(s)->SetAsBoolean(ArgBool(a, 0)))},
    {TRow::Prop, "TFIELD.ASCURRENCY", ORV_BIND(r = F(s)->AsCurrency()), "",
     ORV_BIND(F(s)->SetAsCurrency(ArgCurr(a, 0)))},
    {TRow::Prop, "TFIELD.ASDATETIME", ORV_BIND(r = Date(F(s)->AsDateTime())), "",
     ORV_BIND(F(s)->SetAsDateTime(Arg(a, 0).ToDateTime()))},
    {TRow::Prop, "TFIELD.ASFLOAT", ORV_BIND(r = F(s)->AsFloat()), "",
     ORV_BIND(F(s)->SetAsFloat(ArgDouble(a, 0)))},
    {TRow::Prop, "TFIELD.ASINTEGER", ORV_BIND(r = FieldAsInteger(F(s))), "",
     ORV_BIND(SetFieldAsInteger(F(s), a))},
    {TRow::Prop, "TFIELD.AsLargeInt", ORV_BIND(r = F(s)->AsLargeInt()), "",
     ORV_BIND(F(s)->SetAsLargeInt(ArgInt64(a, 0)))},
    {TRow::Prop, "TFIELD.ASSTRING", ORV_BIND(r = F(s)->AsString()), "",
     ORV_BIND(F(s)->SetAsString(ArgStr(a, 0)))},
    {TRow::Prop, "TFIELD.ASVARIANT", ORV_BIND(r = F(s)->AsVariant()), "",
     ORV_BIND(F(s)->SetAsVariant(Arg(a, 0)))},
    {TRow::Prop, "TFIELD.CANMODIFY", ORV_BIND(r = F(s)->CanModify())},
    {TRow::Prop, "TFIELD.DATASET:TDataSet", ORV_BIND(r = Obj(F(s)->DataSet()))},
    {TRow::Prop, "TFIELD.DATASIZE", ORV_BIND(r = F(s)->DataSize())},
    {TRow::Prop, "TFIELD.DISPLAYNAME", ORV_BIND(r = F(s)->DisplayName())},
    {TRow::Prop, "TFIELD.DISPLAYTEXT", ORV_BIND(r = F(s)->DisplayText())},
    {TRow::Prop, "TFIELD.EDITMASK", ORV_BIND(r = F(s)->EditMask()), "",
     ORV_BIND(F(s)->SetEditMask(ArgStr(a, 0)))},
    {TRow::Prop, "TFIELD.FIELDNO", ORV_BIND(r = F(s)->FieldNo())},
    {TRow::Prop, "TFIELD.ISINDEXFIELD", ORV_BIND(r = F(s)->IsIndexField())},
    {TRow::Prop, "TFIELD.ISNULL", ORV_BIND(r = F(s)->IsNull())},
    {TRow::Prop, "TFIELD.SIZE", ORV_BIND(r = F(s)->Size()), "",
     ORV_BIND(F(s)->SetSize(ArgInt(a, 0)))},
    {TRow::Prop, "TFIELD.TEXT", ORV_BIND(r = F(s)->Text()), "",
     ORV_BIND(F(s)->SetText(ArgStr(a, 0)))},
    {TRow::Prop, "TFIELD.VALUE", ORV_BIND(r = F(s)->AsVariant()), "",
     ORV_BIND(F(s)->SetAsVariant(Arg(a, 0)))},
    {TRow::Prop, "TFIELD.NEWVALUE", ORV_BIND(r = F(s)->NewValue()), "",
     ORV_BIND(F(s)->SetNewValue(Arg(a, 0)))},
    {TRow::Prop, "TFIELD.OLDVALUE", ORV_BIND(r = F(s)->OldValue())},
    {TRow::Prop, "TFIELD.CALCULATED", ORV_BIND(r = F(s)->Calculated()), "",
     ORV_BIND(F(s)->SetCalculated(ArgBool(a, 0)))},
    {TRow::Prop, "TFIELD.LOOKUP", ORV_BIND(r = F(s)->Lookup()), "",
     ORV_BIND(F(s)->SetLookup(ArgBool(a, 0)))},
};

const TRow kParamRows[] = {
    {TRow::Func, "TPARAM.CREATE", ORV_BIND(r = Obj(CreateParam(s, a))), "00"},
    {TRow::Proc, "TPARAM.ASSIGN", ORV_BIND({
       TParam* p = P(s);
       p->Assign(ObjArg<TPersistent>(a, 0));
     }),
     "0"},
    {TRow::Proc, "TPARAM.ASSIGNFIELD", ORV_BIND({
       TParam* p = P(s);
       if (TField* f = ObjArg<TField>(a, 0)) p->AssignField(f);
     }),
     "0"},
    {TRow::Proc, "TPARAM.ASSIGNFIELDVALUE", ORV_BIND({
       TParam* p = P(s);
       if (TField* f = ObjArg<TField>(a, 0)) p->AssignFieldValue(f, Arg(a, 1));
     }),
     "00"},
    {TRow::Proc, "TPARAM.CLEAR", ORV_BIND(P(s)->Clear())},
    {TRow::Func, "TPARAM.GETDATASIZE", ORV_BIND(r = P(s)->GetDataSize())},
    {TRow::Prop, "TPARAM.ASBCD", ORV_BIND(r = P(s)->AsCurrency()), "",
     ORV_BIND(P(s)->SetAsBCD(ArgCurr(a, 0)))},
    {TRow::Prop, "TPARAM.ASBOOLEAN", ORV_BIND(r = P(s)->AsBoolean()), "",
     ORV_BIND(P(s)->SetAsBoolean(ArgBool(a, 0)))},
    {TRow::Prop, "TPARAM.ASCURRENCY", ORV_BIND(r = P(s)->AsCurrency()), "",
     ORV_BIND(P(s)->SetAsCurrency(ArgCurr(a, 0)))},
    {TRow::Prop, "TPARAM.ASDATE", ORV_BIND(r = Date(P(s)->AsDateTime())), "",
     ORV_BIND(P(s)->SetAsDate(Arg(a, 0).ToDateTime()))},
    {TRow::Prop, "TPARAM.ASDATETIME", ORV_BIND(r = Date(P(s)->AsDateTime())), "",
     ORV_BIND(P(s)->SetAsDateTime(Arg(a, 0).ToDateTime()))},
    {TRow::Prop, "TPARAM.ASFLOAT", ORV_BIND(r = P(s)->AsFloat()), "",
     ORV_BIND(P(s)->SetAsFloat(ArgDouble(a, 0)))},
    {TRow::Prop, "TPARAM.ASINTEGER", ORV_BIND(r = ParamAsInteger(P(s))), "",
     ORV_BIND(SetParamAsInteger(P(s), a))},
    {TRow::Prop, "TPARAM.AsLargeInt", ORV_BIND(r = P(s)->AsLargeInt()), "",
     ORV_BIND(P(s)->SetAsLargeInt(ArgInt64(a, 0)))},
    {TRow::Prop, "TPARAM.ASSMALLINT", ORV_BIND(r = P(s)->AsInteger()), "",
     ORV_BIND(P(s)->SetAsSmallInt(ArgInt(a, 0)))},
    {TRow::Prop, "TPARAM.ASSTRING", ORV_BIND(r = P(s)->AsString()), "",
     ORV_BIND(P(s)->SetAsString(ArgStr(a, 0)))},
    {TRow::Prop, "TPARAM.ASTIME", ORV_BIND(r = Date(P(s)->AsDateTime())), "",
     ORV_BIND(P(s)->SetAsTime(Arg(a, 0).ToDateTime()))},
    {TRow::Prop, "TPARAM.ASWORD", ORV_BIND(r = P(s)->AsInteger()), "",
     ORV_BIND(P(s)->SetAsWord(ArgInt(a, 0)))},
    {TRow::Prop, "TPARAM.BOUND", ORV_BIND(r = P(s)->Bound()), "",
     ORV_BIND(P(s)->SetBound(ArgBool(a, 0)))},
    {TRow::Prop, "TPARAM.DATATYPE", ORV_BIND(r = qint64(P(s)->DataType())), "", ORV_BIND({
       TParam* p = P(s);
       p->SetDataType(FieldTypeArg(a, 0));
     })},
    {TRow::Prop, "TPARAM.ISNULL", ORV_BIND(r = P(s)->IsNull())},
    {TRow::Prop, "TPARAM.NAME", ORV_BIND(r = P(s)->Name()), "",
     ORV_BIND(P(s)->SetName(ArgStr(a, 0)))},
    {TRow::Prop, "TPARAM.PARAMTYPE", ORV_BIND(r = qint64(P(s)->ParamType())), "", ORV_BIND({
       TParam* p = P(s);
       p->SetParamType(ParamTypeArg(a, 0));
     })},
    {TRow::Prop, "TPARAM.TEXT", ORV_BIND(r = P(s)->AsString()), "",
     ORV_BIND(P(s)->SetText(ArgStr(a, 0)))},
    {TRow::Prop, "TPARAM.VALUE", ORV_BIND(r = P(s)->Value()), "",
     ORV_BIND(P(s)->SetValue(Arg(a, 0)))},
};

const TRow kParamsRows[] = {
    {TRow::Func, "TPARAMS.CREATE",
     ORV_BIND(r = Obj(CreateInstance(s, TParams::StaticClass(), nullptr)))},
    {TRow::Proc, "TPARAMS.ASSIGN", ORV_BIND({
       TParams* ps = Ps(s);
       ps->Assign(ObjArg<TPersistent>(a, 0));
     }),
     "0"},
    {TRow::Proc, "TPARAMS.ASSIGNVALUES", ORV_BIND({
       TParams* ps = Ps(s);
       if (TParams* other = ObjArg<TParams>(a, 0)) ps->AssignValues(other);
     }),
     "0"},
    {TRow::Proc, "TPARAMS.ADDPARAM", ORV_BIND({
       TParams* ps = Ps(s);
       if (TParam* p = ObjArg<TParam>(a, 0)) ps->AddParam(p);
     }),
     "0"},
    {TRow::Proc, "TPARAMS.REMOVEPARAM", ORV_BIND({
       TParams* ps = Ps(s);
       if (TParam* p = ObjArg<TParam>(a, 0)) ps->RemoveParam(p);
     }),
     "0"},
    {TRow::Func, "TPARAMS.CREATEPARAM", ORV_BIND({
       TParams* ps = Ps(s);
       r = Obj(ps->CreateParam(FieldTypeArg(a, 0), ArgStr(a, 1), ParamTypeArg(a, 2)));
     }),
     "000"},
    {TRow::Func, "TPARAMS.COUNT", ORV_BIND(r = Ps(s)->Count())},
    {TRow::Proc, "TPARAMS.CLEAR", ORV_BIND(Ps(s)->Clear())},
    {TRow::Proc, "TPARAMS.GETPARAMLIST", ORV_BIND(GetParamList(Ps(s), ArgObj(a, 0), ArgStr(a, 1))),
     "00"},
    {TRow::Func, "TPARAMS.ISEQUAL", ORV_BIND({
       TParams* ps = Ps(s);
       r = ps->IsEqual(ObjArg<TParams>(a, 0));
     }),
     "0"},
    {TRow::Func, "TPARAMS.PARAMBYNAME:TParam", ORV_BIND(r = Obj(Ps(s)->ParamByName(ArgStr(a, 0)))),
     "0"},
};

const TRow kLastRows[] = {
    {TRow::Proc, "TField.RefreshLookupList", ORV_BIND(F(s)->RefreshLookupList())},
    {TRow::ArrayProp, "TDataSet.FieldValues", ORV_BIND(r = DS(s)->FieldValues(ArgStr(a, 0))), "",
     ORV_BIND(DS(s)->SetFieldValues(ArgStr(a, 0), Arg(a, 1)))},
};

}  // namespace

void RegisterDBBindings() {
  orvcls::RegisterClasses(
      {TDataSource::StaticClass(),    TField::StaticClass(),         TDataSet::StaticClass(),
       TParams::StaticClass(),        TParam::StaticClass(),         TStringField::StaticClass(),
       TIntegerField::StaticClass(),  TSmallintField::StaticClass(), TWordField::StaticClass(),
       TFloatField::StaticClass(),    TCurrencyField::StaticClass(), TBCDField::StaticClass(),
       TBooleanField::StaticClass(),  TDateTimeField::StaticClass(), TDateField::StaticClass(),
       TTimeField::StaticClass(),     TBlobField::StaticClass(),     TBytesField::StaticClass(),
       TVarBytesField::StaticClass(), TMemoField::StaticClass(),     TGraphicField::StaticClass()});
  Register(kFieldTypes);
  RegisterOverPublished(kDataSetRows);
  Register(kFieldConsts);
  RegisterOverPublished(kParamRows);
  Register(kParamConsts);
  Register(kParamsRows);
  Register(kLastRows);
}

}  // namespace orvbindings
