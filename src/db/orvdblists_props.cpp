// Field descriptions of the registry: the LISTFLD row reader, the companion component and
// the property control of a live field.
#include "core/orvcls.h"
#include "core/orvsys.h"
#include "db/orvdblists.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/params.h"
#include "platform/rtl/sysutils.h"

// ---- TRowColumns -------------------------------------------------------------------------

TRowColumns::TRowColumns(TDataSet* dataSet) : dataSet_(dataSet) {
  static const char* const names[] = {
#define ORV_SETUP_COLUMN_NAME(name) #name,
      ORV_SETUP_COLUMNS(ORV_SETUP_COLUMN_NAME)
#undef ORV_SETUP_COLUMN_NAME
  };
  if (dataSet_ == nullptr) return;
  for (int i = 0; i < scCount; ++i)
    fields_[size_t(i)] = dataSet_->FindField(QLatin1String(names[i]));
}

bool TRowColumns::IsNull(TSetupColumn column) const {
  TField* f = Field(column);
  return f == nullptr || f->IsNull();
}

QString TRowColumns::Text(TSetupColumn column) const {
  TField* f = Field(column);
  return f == nullptr || f->IsNull() ? QString() : f->AsString();
}

namespace {
bool IsTextField(const TField* f) {
  const TFieldType t = f->DataType();
  return t == ftString || t == ftWideString || t == ftFixedChar || t == ftMemo;
}
}  // namespace

// Setup columns typed as text by one installation and as numbers by another read alike: a
// text is a number when it reads as one, and true by its first character.
int TRowColumns::Int(TSetupColumn column, int def) const {
  TField* f = Field(column);
  if (f == nullptr || f->IsNull()) return def;
  return IsTextField(f) ? StrToIntDef(f->AsString().trimmed(), def) : f->AsInteger();
}

bool TRowColumns::Bool(TSetupColumn column, bool def) const {
  TField* f = Field(column);
  if (f == nullptr || f->IsNull()) return def;
  if (!IsTextField(f)) return f->AsBoolean();
  static const QString trueChars = QStringLiteral("+1TYtyДд");
  const QString text = f->AsString();
  return !text.isEmpty() && trueChars.contains(text[0]);
}

// ---- TPropDesc ---------------------------------------------------------------------------

void TPropDesc::AfterConstruction() {
  TDisplayedFieldDesc::AfterConstruction();
  TListDesc* list = List();
  TComponent* owner = list != nullptr ? list->Companion() : nullptr;
  if (owner != nullptr && Companion() != nullptr && Companion()->Owner() == nullptr)
    owner->InsertComponent(Companion());
}

void TPropDesc::BeforeDestruction() {
  if (auto* props = dynamic_cast<TPropDescList*>(Collection()); props && props->ListIDProp == this)
    props->ListIDProp = nullptr;
  TDisplayedFieldDesc::BeforeDestruction();
}

TClass TPropDesc::ComponentClass() const { return TOrvPropDesc::StaticClass(); }

void TPropDesc::SetName(const QString& name) {
  TDisplayedFieldDesc::SetName(name);
  if (name.compare(QLatin1String("-LISTID-"), Qt::CaseInsensitive) == 0)
    if (auto* props = dynamic_cast<TPropDescList*>(Collection())) props->ListIDProp = this;
}

TOrvPropDesc* TPropDesc::OwnerComponent() const { return dynamic_cast<TOrvPropDesc*>(Companion()); }

TListDesc* TPropDesc::List() const {
  auto* props = dynamic_cast<TFieldDescList*>(Collection());
  return props != nullptr ? dynamic_cast<TListDesc*>(props->OwnerDesc()) : nullptr;
}

void TPropDesc::SetEditFormat(const QString& format) {
  if (format == QLatin1String(";;")) {
    editFormat_.clear();
    ReadOnly = true;
  } else {
    editFormat_ = format;
    ReadOnly = false;
  }
}

// ---- TOrvPropDesc ------------------------------------------------------------------------

void TOrvPropDesc::AfterConstruction() { TCoItemComponent::AfterConstruction(); }

TLinkDesc* TOrvPropDesc::Link() const {
  TPropDesc* d = ObjectDesc();
  return d != nullptr ? d->Link() : nullptr;
}

void TOrvPropDesc::SetLink(TLinkDesc* link) {
  if (TLinkDesc* own = Link(); own != nullptr && link != nullptr) own->Assign(link);
}

namespace {
QString WithLineBreaks(const QString& text) {
  QString t = text;
  t.replace(QLatin1String("~'"), QLatin1String("\r"));
  return t;
}
}  // namespace

void TOrvPropDesc::LoadFromRow(TDataSet* row) {
  TRowColumns columns(row);
  LoadFromRow(columns);
}

void TOrvPropDesc::LoadFromRow(TRowColumns& row) {
  TPropDesc* d = ObjectDesc();
  if (d == nullptr) return;
  QString name = row.Text(scFIELDNAME).toUpper();
  if (!orvcls::IsOracle() && name.endsWith(QLatin1Char('_')) && name.count(QLatin1Char('_')) == 1)
    name.chop(1);
  if (d->GetName() != name) d->SetName(name);

  const QString lookupKeys =
      row.Has(scLISTFIELDNAME) ? row.Text(scLISTFIELDNAME) : row.Text(scLOOKUPKEYFIELDS);
  d->Link()->Setup(row.Text(scLINKLISTID), lookupKeys, row.Text(scKEYFIELDS),
                   row.Text(scLISTIDFIELDNAME), row.Text(scNEXTFIELDNAME), row.Text(scLINKID));
  d->Search = row.Bool(scSEARCH);
  d->DisplayFormat = row.Text(scDISPLAYFORMAT);
  d->SetEditFormat(row.Text(scEDITFORMAT));

  TFieldView* view = d->GetDefaultView();
  view->SetVisible(row.Bool(scVISIBLE, true));
  d->ControlFlag = false;
  view->SetPropertyVisible(row.Bool(scPROPERTYVISIBLE, view->Visible()));

  int index = 0;
  for (TSetupColumn column : {scINDEX, scAINDEX, scFIELDINDEX}) {
    if (!row.IsNull(column)) {
      index = row.Int(column);
      break;
    }
  }
  SetTag(index);
  view->SetIndex(index);
  int tag = 0;
  for (TSetupColumn column : {scTAG, scATAG}) {
    if (!row.IsNull(column)) {
      tag = row.Int(column);
      break;
    }
  }
  SetTag(tag);
  view->SetDisplayWidth(row.Int(scDISPLAYWIDTH));

  d->SetCaptions(WithLineBreaks(row.Text(scNAME)), WithLineBreaks(row.Text(scDISPLAYLABEL)),
                 row.Text(scHINT));

  QString self = row.Text(scSELFFIELDNAME);
  if (self.startsWith(QLatin1Char('-'))) {
    qsizetype i = 1;
    int n = 0;
    while (i < self.size() && self[i].unicode() >= '0' && self[i].unicode() <= '9' && n < 100000)
      n = n * 10 + (self[i++].unicode() - '0');
    if (n > 0 && i < self.size())
      self = name.left(qMax<qsizetype>(0, name.size() - n)) + self.mid(i);
  }
  d->SelfFieldName = self;
  d->SetParentFieldName(row.Text(scPARENTFIELDNAME));
  d->SetParamName(row.Text(scPARAMNAME));
  d->DefaultValue = row.Text(scDEFAULTVALUE);

  const bool key = name.compare(QLatin1String("ROOTID"), Qt::CaseInsensitive) == 0 ||
                   name.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0;
  d->CustomField = row.Bool(scCUSTOMFIELD, key);

  QString property = row.Text(scPROPERTYNAME);
  if (property.isEmpty()) property = d->GetName();
  d->SetPropertyName(property);
  if (d->Link()->LinkID().isEmpty()) d->Link()->SetLinkID(property);

  d->Required = row.Bool(scREQUIRED);
  d->ImageDisplay = row.Has(scISIMAGEINDEX) ? row.Bool(scISIMAGEINDEX) : row.Bool(scIMAGEDISPLAY);
  static const TSetupColumn styles[] = {scTITLESTYLE, scSTANDARDSTYLE, scSELECTEDROWSTYLE,
                                        scSELECTEDCELLSTYLE};
  for (int i = 0; i < 4; ++i) d->StyleNames[i] = row.Text(styles[i]);
  d->Role = quint16(row.Int(scROLE));
  d->SetPropertyName(property);
  d->SelfFieldName = d->SelfFieldName.toUpper();

  TListDesc* list = d->List();
  if (list != nullptr && list->HasSumTitle() && !name.startsWith(QLatin1Char('-'))) {
    const int i = view->GetIndex();
    TPropDesc* title = list->Props()->FindOrAdd(QStringLiteral("-%1C").arg(2 * i));
    title->SetCaptions(d->DisplayName(), d->DisplayLabel(), d->StoredHint());
    title->GetDefaultView()->SetIndex(2 * i + 1);
    view->SetIndex(2 * i);
  }
}

void TOrvPropDesc::SetDisplayWidth(int width) {
  if (TPropDesc* d = ObjectDesc()) d->GetDefaultView()->SetDisplayWidth(width);
}
void TOrvPropDesc::SetFieldCaption(const QString& caption) {
  if (TPropDesc* d = ObjectDesc()) d->SetFieldCaption(caption);
}
void TOrvPropDesc::SetDisplayLabel(const QString& label) {
  if (TPropDesc* d = ObjectDesc()) d->SetDisplayLabel(label);
}
void TOrvPropDesc::SetDisplayFormat(const QString& format) {
  if (TPropDesc* d = ObjectDesc()) d->DisplayFormat = format;
}
void TOrvPropDesc::SetEditFormat(const QString& format) {
  if (TPropDesc* d = ObjectDesc()) d->SetEditFormat(format);
}
void TOrvPropDesc::SetCustomField(bool on) {
  if (TPropDesc* d = ObjectDesc()) d->CustomField = on;
}
void TOrvPropDesc::SetVisible(bool on) {
  if (TPropDesc* d = ObjectDesc()) d->GetDefaultView()->SetVisible(on);
}
void TOrvPropDesc::SetPropertyVisible(bool on) {
  if (TPropDesc* d = ObjectDesc()) d->GetDefaultView()->SetPropertyVisible(on);
}
void TOrvPropDesc::SetSelfFieldName(const QString& name) {
  if (TPropDesc* d = ObjectDesc()) d->SelfFieldName = name;
}

void TOrvPropDesc::Loaded() {
  TCoItemComponent::Loaded();
  orvdblists::GetDescList()->LinksUpdated = false;
}

TCollection* TOrvPropDesc::OwnerCollection(TComponent* owner) const {
  auto* list = dynamic_cast<TOrvListDesc*>(owner);
  TListDesc* desc = list != nullptr ? list->ListDesc() : nullptr;
  return desc != nullptr ? desc->Props() : nullptr;
}

void TOrvPropDesc::AssignTo(TPersistent* dest) {
  if (TPropDesc* d = ObjectDesc()) {
    if (dynamic_cast<TField*>(dest) != nullptr || dynamic_cast<TParam*>(dest) != nullptr) {
      d->AssignTo(dest);
      return;
    }
  }
  TCoItemComponent::AssignTo(dest);
}

// ---- TPropControl ------------------------------------------------------------------------

TPropControl::~TPropControl() {
  for (TPropControl* c : linked_)
    if (c->copyTarget_ == this) c->copyTarget_ = nullptr;
  if (copyTarget_ != nullptr) copyTarget_->Forget(this);
}

void TPropControl::SetDesc(TObjectDesc* desc) {
  TFieldControl::SetDesc(dynamic_cast<TPropDesc*>(desc));
}

QString TPropControl::Caption() const {
  if (TPropDesc* d = PropDesc()) return d->DisplayName();
  if (TField* f = Field()) return f->DisplayName();
  return QStringLiteral("(Field = nil)");
}

QString TPropControl::ParentFieldName() const {
  TPropDesc* d = PropDesc();
  return d != nullptr ? d->ParentFieldName() : QString();
}

bool TPropControl::Search() const {
  TPropDesc* d = PropDesc();
  return d != nullptr && d->Search;
}

void TPropControl::SetSourceControl(TPropControl* control) { source_ = control; }

void TPropControl::LinkTo(TPropControl* target) {
  if (target == nullptr || target == this) return;
  copyTarget_ = target;
  target->linked_.push_back(this);
}

void TPropControl::Forget(TPropControl* control) {
  linked_.erase(std::remove(linked_.begin(), linked_.end(), control), linked_.end());
  if (source_ == control) source_ = nullptr;
}

void TPropControl::Notification(TComponent* component, TOperation operation) {
  TFieldControl::Notification(component, operation);
}

QString TPropControl::GetFieldName() {
  TField* f = Field();
  return f != nullptr ? f->FieldName() : QStringLiteral("(Field = nil)");
}

IPropDescInfo* TPropControl::GetPropDescInfo() {
  TPropDesc* d = PropDesc();
  return d != nullptr && d->Companion() != nullptr ? static_cast<IPropDescInfo*>(d) : nullptr;
}

IFieldDisplay* TPropControl::GetFieldDisplay() {
  TPropDesc* d = PropDesc();
  return d != nullptr && d->Companion() != nullptr ? static_cast<IFieldDisplay*>(d) : nullptr;
}

bool TPropControl::HasCompanion() {
  TPropDesc* d = PropDesc();
  return d != nullptr && d->Companion() != nullptr;
}

int TPropControl::GetDisplayWidth(TListDescView* view) {
  TField* f = Field();
  if (TPropDesc* d = PropDesc()) {
    const int w = d->GetView(view)->DisplayWidth();
    if (w > 0 || f == nullptr) return w;
  }
  return f != nullptr ? f->DisplayWidth() : 0;
}

bool TPropControl::GetPropertyVisible(TListDescView* view) {
  if (TPropDesc* d = PropDesc()) return d->GetView(view)->PropertyVisible();
  TField* f = Field();
  return f != nullptr && f->Visible();
}

bool TPropControl::GetVisible(TListDescView* view) {
  if (TPropDesc* d = PropDesc()) return d->GetView(view)->Visible();
  TField* f = Field();
  return f != nullptr && f->Visible();
}

namespace orvdblists {

TPropControl* FieldPropControl(TField* field) {
  auto* control = Supports<IPropControl>(field);
  return control != nullptr ? dynamic_cast<TPropControl*>(control->GetPropControl()) : nullptr;
}

TPropDesc* FieldPropDesc(TField* field) {
  TPropControl* c = FieldPropControl(field);
  return c != nullptr ? c->PropDesc() : nullptr;
}

}  // namespace orvdblists

ORV_DESCRIBE(TPropDesc) {
  c.Prop(
       "CustomField", [](const TPropDesc* d) { return d->CustomField; },
       [](TPropDesc* d, bool v) { d->CustomField = v; })
      .Default(1);
  c.Prop("EditFormat", &TPropDesc::EditFormat, &TPropDesc::SetEditFormat);
  // Typed as the base: the companion's class describes this one.
  c.Prop("Owner",
         [](const TPropDesc* d) { return static_cast<TCoItemComponent*>(d->OwnerComponent()); });
  c.Prop(
       "Required", [](const TPropDesc* d) { return d->Required; },
       [](TPropDesc* d, bool v) { d->Required = v; })
      .Default(0);
  c.Prop(
       "ReadOnly", [](const TPropDesc* d) { return d->ReadOnly; },
       [](TPropDesc* d, bool v) { d->ReadOnly = v; })
      .Default(0);
  c.Prop(
       "Role", [](const TPropDesc* d) { return int(d->Role); },
       [](TPropDesc* d, int v) { d->Role = quint16(v); })
      .Default(0);
  c.Implements<IPropDescInfo>();
}

ORV_DESCRIBE(TPropDescList) {}

ORV_DESCRIBE(TOrvPropDesc) {
  c.Prop("ObjectDesc", &TOrvPropDesc::ObjectDesc);
  c.Prop("Link", &TOrvPropDesc::Link, &TOrvPropDesc::SetLink);
  // The caption as component text names it; the description stores it.
  c.Prop(
       "FieldCaption",
       [](const TOrvPropDesc* p) {
         return p->ObjectDesc() ? p->ObjectDesc()->DisplayName() : QString();
       },
       &TOrvPropDesc::SetFieldCaption)
      .Stored(false);
}

ORV_DESCRIBE(TPropControl) {
  c.Prop("Caption", &TPropControl::Caption);
  c.Prop("ParentFieldName", &TPropControl::ParentFieldName);
  c.Prop("Search", &TPropControl::Search);
  c.Implements<IPropControl>();
  c.Implements<IPropControlRef>();
}
