#include "db/orvlistdesc.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"

#include <algorithm>

// ---- Field view lists --------------------------------------------------------------------

int TFieldViewList::IndexOf(const TFieldView* view) const {
  auto it = std::find(items_.begin(), items_.end(), view);
  return it == items_.end() ? -1 : int(it - items_.begin());
}

void TFieldViewList::Insert(int index, TFieldView* view) {
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, view);
}

void TFieldViewList::Remove(const TFieldView* view) {
  auto it = std::find(items_.begin(), items_.end(), view);
  if (it != items_.end()) items_.erase(it);
}

void TFieldViewList::Move(int from, int to) {
  if (from < 0 || from >= Count() || from == to) return;
  TFieldView* v = items_[size_t(from)];
  items_.erase(items_.begin() + from);
  Insert(to, v);
}

void TFieldViews::Clear() {
  while (!items_.empty()) items_.back()->Free();  // each view leaves the list itself
}

void TViewFields::Clear() {
  while (!items_.empty()) {
    TFieldView* v = items_.back();
    items_.pop_back();
    v->viewFields_ = nullptr;
    v->Free();
  }
  IndexedCount = 0;
}

// ---- TFieldView --------------------------------------------------------------------------

TFieldView::TFieldView(TViewedFieldDesc* field) : field_(field) {
  if (field_ == nullptr) return;
  const int n = field_->FieldViews()->Count();
  field_->FieldViews()->Add(this);
  TViewedListDesc* list = field_->ViewedList();
  if (list != nullptr && list->Views() != nullptr) {
    viewFields_ = list->Views()->GetItem(n)->ViewFields();
    index_ = viewFields_->Count();
    viewFields_->Add(this);
    indexed_ = true;
  }
}

TFieldView::~TFieldView() {
  if (field_ != nullptr) field_->FieldViews()->Remove(this);
  if (viewFields_ != nullptr) {
    if (indexed_ && viewFields_->IndexedCount > 0 && viewFields_->IndexOf(this) >= 0 &&
        viewFields_->IndexOf(this) < viewFields_->IndexedCount)
      --viewFields_->IndexedCount;
    viewFields_->Remove(this);
  }
}

int TFieldView::GetIndex() const {
  return viewFields_ != nullptr ? viewFields_->IndexOf(this) : -1;
}

void TFieldView::SetIndex(int value) {
  if (viewFields_ != nullptr) viewFields_->Move(viewFields_->IndexOf(this), value);
}

void TFieldView::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  Changed();
}

void TFieldView::SetPropertyVisible(bool v) {
  if (v == propertyVisible_) return;
  propertyVisible_ = v;
  Changed();
}

void TFieldView::SetDisplayWidth(int w) {
  if (w == displayWidth_) return;
  displayWidth_ = w;
  Changed();
}

// ---- TDefaultFieldView -------------------------------------------------------------------

int TDefaultFieldView::GetIndex() const { return indexed_ ? index_ : TFieldView::GetIndex(); }

void TDefaultFieldView::SetIndex(int newIndex) {
  TViewedListDesc* list = field_ != nullptr ? field_->ViewedList() : nullptr;
  if (field_ == nullptr || field_->TFieldDesc::GetName().isEmpty() || list == nullptr) return;
  if (viewFields_ == nullptr) {
    const int n = field_->FieldViews()->IndexOf(this);
    viewFields_ = list->Views()->GetItem(std::max(n, 0))->ViewFields();
    viewFields_->Add(this);
  }
  if (!indexed_) {
    viewFields_->Move(viewFields_->IndexOf(this), viewFields_->IndexedCount);
    ++viewFields_->IndexedCount;
    indexed_ = true;
  } else {
    viewFields_->Remove(this);
    const QString& name = field_->TFieldDesc::GetName();
    int lo = 0;
    int hi = viewFields_->Count();
    while (lo < hi) {
      const int mid = (lo + hi) / 2;
      TFieldView* v = viewFields_->Item(mid);
      if (!v->indexed_) {
        viewFields_ = nullptr;
        throw Exception(QStringLiteral("Представление должно быть проиндексировано"));
      }
      int c = v->index_ < newIndex ? -1 : (v->index_ > newIndex ? 1 : 0);
      if (c == 0 && v->field_ != nullptr)
        c = v->field_->TFieldDesc::GetName().compare(name, Qt::CaseInsensitive);
      if (c == 0) {
        viewFields_ = nullptr;
        throw Exception(QStringLiteral("Дублирование представления поля"));
      }
      if (c < 0)
        lo = mid + 1;
      else
        hi = mid;
    }
    viewFields_->Insert(lo, this);
  }
  if (index_ != newIndex) {
    index_ = newIndex;
    Changed();
  }
}

// ---- Views of a list ---------------------------------------------------------------------

TFieldView* TListDescView::FieldViewByName(const QString& name) {
  auto* views = dynamic_cast<TListDescViews*>(Collection());
  TViewedListDesc* list = views != nullptr ? views->ListDesc() : nullptr;
  TViewedFieldDescList* props = list != nullptr ? list->ViewedProps() : nullptr;
  auto* field = props != nullptr ? dynamic_cast<TViewedFieldDesc*>(props->FindDesc(name)) : nullptr;
  return field != nullptr ? field->GetView(this) : nullptr;
}

TListDescViews::TListDescViews(TViewedListDesc* owner, TClass itemClass)
    : TCollection(itemClass != nullptr ? itemClass : TListDescView::StaticClass(), owner),
      owner_(owner) {}

TListDescView* TListDescViews::GetItem(int index) {
  while (Count() <= index) Add();
  return index >= 0 ? static_cast<TListDescView*>(Items(index)) : nullptr;
}

void TViewedListDesc::AfterConstruction() {
  TLinkedListDesc::AfterConstruction();
  views_ = CreateViews();
  views_->GetItem(1);
}

void TViewedListDesc::BeforeDestruction() {
  // Fields first, while the views their field views stand in still exist.
  if (Props() != nullptr) Props()->Clear();
  TLinkedListDesc::BeforeDestruction();
}

TViewedListDesc::~TViewedListDesc() {
  if (views_ != nullptr) views_->Free();
}

TViewedFieldDescList* TViewedListDesc::ViewedProps() const {
  return dynamic_cast<TViewedFieldDescList*>(Props());
}

TFieldDescList* TViewedListDesc::CreateProps() {
  return new TViewedFieldDescList(TDisplayedFieldDesc::StaticClass(), this);
}

TListDescViews* TViewedListDesc::CreateViews() {
  return new TListDescViews(this, TListDescView::StaticClass());
}

// ---- Title groups ------------------------------------------------------------------------

void TPropDescGroup::Remove(TViewedFieldDesc* field) {
  items_.erase(std::remove(items_.begin(), items_.end(), field), items_.end());
}

void TTitleGroup::Add(TViewedFieldDesc* field) {
  TPropDescGroup::Add(field);
  field->groupField_ = owner_;
}

void TTitleGroup::Clear() {
  for (TViewedFieldDesc* f : items_)
    if (f->groupField_ == owner_) f->groupField_ = nullptr;
  TPropDescGroup::Clear();
}

// ---- TViewedFieldDesc --------------------------------------------------------------------

void TViewedFieldDesc::BeforeDestruction() {
  if (groupField_ != nullptr && groupField_->titleGroup_) groupField_->titleGroup_->Remove(this);
  groupField_ = nullptr;
  if (titleGroup_) titleGroup_->Clear();
  fieldViews_.Clear();
  TLinkedPropDesc::BeforeDestruction();
}

TViewedFieldDesc::~TViewedFieldDesc() { fieldViews_.Clear(); }

TViewedListDesc* TViewedFieldDesc::ViewedList() const {
  return dynamic_cast<TViewedListDesc*>(ListDesc());
}

TFieldView* TViewedFieldDesc::GetDefaultView() {
  if (fieldViews_.Count() == 0) new TDefaultFieldView(this);
  return fieldViews_.Item(0);
}

TFieldView* TViewedFieldDesc::GetView(TListDescView* view) {
  TFieldView* def = GetDefaultView();
  if (view == nullptr || view->Index() < 0) return def;
  while (fieldViews_.Count() <= view->Index()) {
    auto* v = new TFieldView(this);
    v->visible_ = def->Visible();
    v->propertyVisible_ = def->PropertyVisible();
    v->displayWidth_ = def->DisplayWidth();
  }
  return fieldViews_.Item(view->Index());
}

QString TViewedFieldDesc::GroupFieldNames() const {
  QStringList names;
  if (titleGroup_)
    for (int i = 0; i < titleGroup_->Count(); ++i)
      names << titleGroup_->GetItem(i)->TFieldDesc::GetName();
  return names.join(QLatin1Char(';'));
}

void TViewedFieldDesc::SetName(const QString& name) {
  TLinkedPropDesc::SetName(name);
  ApplyTitleGroup();
}

void TViewedFieldDesc::ApplyTitleGroup() {
  const QString& name = TFieldDesc::GetName();
  auto* props = dynamic_cast<TViewedFieldDescList*>(Collection());
  if (!name.startsWith(QLatin1Char('-')) || props == nullptr || props->Count() < 2 ||
      props->GetItem(props->Count() - 1) != this)
    return;
  if (!titleGroup_) titleGroup_ = std::make_unique<TTitleGroup>(this);
  qsizetype length = name.size();
  FontSize = orvlib::TrailingNumber(name, length, 0);
  FontStyle = orvlib::ParseFontStyleLetters(name, length);
  Alignment = orvlib::ParseAlignLetter(name, length);

  const int self = props->Count() - 1;
  TViewedFieldDesc* before = props->GetItem(self - 1);
  auto isHeader = [](TViewedFieldDesc* f) {
    return f->TFieldDesc::GetName().startsWith(QLatin1Char('-'));
  };
  if (isHeader(before)) {
    for (int i = self - 1; i >= 0; --i) {
      TViewedFieldDesc* f = props->GetItem(i);
      if (isHeader(f) && f->groupField_ == nullptr) titleGroup_->Add(f);
    }
  } else {
    for (int i = self - 1; i >= 0; --i) {
      TViewedFieldDesc* f = props->GetItem(i);
      if (f->groupField_ == nullptr) break;
      titleGroup_->Add(f);
    }
  }
}

// ---- TDisplayedFieldDesc -----------------------------------------------------------------

class TDisplayedFieldDesc::TStyle : public IFieldStyle1, public IFieldStyle2, public IFieldStyle3 {
 public:
  TStyle(TDisplayedFieldDesc* owner, int word) : owner_(owner), word_(word) {}
  QString GetName() override { return owner_->TFieldDesc::GetName(); }
  QString GetCaption() override { return word_ == 2 ? owner_->Caption() : owner_->DisplayName(); }
  QString GetCaption2() override { return GetCaption(); }
  QString StyleWord(int styleIndex) override { return owner_->StyleWord(styleIndex, word_); }
  IInterface* QueryInterface(const TGUID& iid) override { return owner_->QueryInterface(iid); }

 private:
  TDisplayedFieldDesc* owner_;
  int word_;
};

TDisplayedFieldDesc::TDisplayedFieldDesc(TCollection* collection) : TViewedFieldDesc(collection) {
  for (int i = 0; i < 3; ++i) styles_[i] = std::make_unique<TStyle>(this, i + 1);
}

TDisplayedFieldDesc::~TDisplayedFieldDesc() = default;

QString TDisplayedFieldDesc::DisplayLabel() const { return label_.isEmpty() ? Caption() : label_; }

void TDisplayedFieldDesc::SetDisplayLabel(const QString& label) {
  if (label.isEmpty() || label == label_) return;
  label_ = label;
  Changed(false);
}

bool TDisplayedFieldDesc::IsDisplayLabelStored() const {
  return !label_.isEmpty() && label_ != Caption();
}

QString TDisplayedFieldDesc::FieldHint() const { return hint_.isEmpty() ? Caption() : hint_; }

void TDisplayedFieldDesc::SetFieldHint(const QString& hint) {
  if (hint.isEmpty() || hint == hint_) return;
  hint_ = hint;
  Changed(false);
}

void TDisplayedFieldDesc::SetFieldCaption(const QString& caption) {
  const QString old = Caption();
  if (label_ == old) label_ = caption;
  if (hint_ == old) hint_ = caption;
  SetCaption(caption);
}

void TDisplayedFieldDesc::SetCaptions(const QString& caption, const QString& label,
                                      const QString& hint) {
  SetFieldCaption(caption);
  SetDisplayLabel(label);
  SetFieldHint(hint);
}

void TDisplayedFieldDesc::AssignCaptions(TDisplayedFieldDesc* source) {
  if (source == nullptr) return;
  SetCaptions(source->Caption(), source->DisplayLabel(), source->StoredHint());
}

QString TDisplayedFieldDesc::StyleWord(int styleIndex, int wordIndex) const {
  if (styleIndex < 0 || styleIndex > 3 || wordIndex < 1) return QString();
  return StyleNames[styleIndex].section(QLatin1Char(';'), wordIndex - 1, wordIndex - 1);
}

IInterface* TDisplayedFieldDesc::GetStyleIntf(bool kind) {
  if (kind) return static_cast<IFieldStyle1*>(styles_[0].get());
  return static_cast<IFieldStyle2*>(styles_[1].get());
}

IInterface* TDisplayedFieldDesc::QueryInterface(const TGUID& iid) {
  if (iid == IFieldStyle1::IID) return static_cast<IFieldStyle1*>(styles_[0].get());
  if (iid == IFieldStyle2::IID) return static_cast<IFieldStyle2*>(styles_[1].get());
  if (iid == IFieldStyle3::IID) return static_cast<IFieldStyle3*>(styles_[2].get());
  return TViewedFieldDesc::QueryInterface(iid);
}

// ---- TMovesListDesc ----------------------------------------------------------------------

TMovesListDesc::TMovesListDesc(TCollection* collection)
    : TViewedListDesc(collection), strings_(new TStringList()) {}

TMovesListDesc::~TMovesListDesc() { delete strings_; }

// ---- Reflection --------------------------------------------------------------------------

ORV_DESCRIBE(TFieldView) {}

ORV_DESCRIBE(TDefaultFieldView) {
  c.Prop("Index", &TDefaultFieldView::GetIndex, &TDefaultFieldView::SetIndex).Stored(false);
  c.Prop("Visible", &TFieldView::Visible, &TFieldView::SetVisible).Default(1);
  c.Prop("PropertyVisible", &TFieldView::PropertyVisible, &TFieldView::SetPropertyVisible)
      .Default(1);
  c.Prop("DisplayWidth", &TFieldView::DisplayWidth, &TFieldView::SetDisplayWidth).Default(0);
}

ORV_DESCRIBE(TListDescView) {}
ORV_DESCRIBE(TListDescViews) {}

ORV_DESCRIBE(TViewedListDesc) {
  c.Prop("Props", &TViewedListDesc::ViewedProps);
  c.Prop("Views", &TViewedListDesc::Views);
}

ORV_DESCRIBE(TViewedFieldDesc) {
  c.Prop(
       "Alignment", [](const TViewedFieldDesc* f) { return int(f->Alignment); },
       [](TViewedFieldDesc* f, int v) { f->Alignment = orvlib::TAlignment(v); })
      .Default(0);
  c.Prop(
       "FontSize", [](const TViewedFieldDesc* f) { return f->FontSize; },
       [](TViewedFieldDesc* f, int v) { f->FontSize = v; })
      .Default(0);
  c.Prop(
       "FontStyle", [](const TViewedFieldDesc* f) { return int(f->FontStyle); },
       [](TViewedFieldDesc* f, int v) { f->FontStyle = orvlib::TFontStyles(v); })
      .Default(0);
  // Typed as the base: the class is still being described here.
  c.Prop("GroupField",
         [](const TViewedFieldDesc* f) { return static_cast<TFieldDesc*>(f->GroupField()); });
  c.Prop("GroupFieldNames", &TViewedFieldDesc::GroupFieldNames,
         [](TViewedFieldDesc*, const QString&) {})
      .Stored(false);
}

ORV_DESCRIBE(TViewedFieldDescList) {}

ORV_DESCRIBE(TDisplayedFieldDesc) {
  c.Prop(
       "Color", [](const TDisplayedFieldDesc* f) { return f->Color; },
       [](TDisplayedFieldDesc* f, int v) { f->Color = v; })
      .Default(0);
  c.Prop(
      "DisplayFormat", [](const TDisplayedFieldDesc* f) { return f->DisplayFormat; },
      [](TDisplayedFieldDesc* f, const QString& v) { f->DisplayFormat = v; });
  c.Prop("DisplayLabel", &TDisplayedFieldDesc::DisplayLabel, &TDisplayedFieldDesc::SetDisplayLabel)
      .StoredWhen([](const TObject* o) {
        return static_cast<const TDisplayedFieldDesc*>(o)->IsDisplayLabelStored();
      });
  c.Prop("FieldHint", &TDisplayedFieldDesc::FieldHint, &TDisplayedFieldDesc::SetFieldHint)
      .StoredWhen([](const TObject* o) {
        auto* f = static_cast<const TDisplayedFieldDesc*>(o);
        return !f->StoredHint().isEmpty() && f->StoredHint() != f->Caption();
      });
  c.Prop(
       "ImageDisplay", [](const TDisplayedFieldDesc* f) { return f->ImageDisplay; },
       [](TDisplayedFieldDesc* f, bool v) { f->ImageDisplay = v; })
      .Default(0);
  static const char* const styleNames[] = {"TitleStyleName", "StandardStyleName",
                                           "SelectedRowStyleName", "SelectedCellStyleName"};
  for (int i = 0; i < 4; ++i)
    c.Prop(
        styleNames[i], [i](const TDisplayedFieldDesc* f) { return f->StyleNames[i]; },
        [i](TDisplayedFieldDesc* f, const QString& v) { f->StyleNames[i] = v; });
  c.Prop(
       "TitleColor", [](const TDisplayedFieldDesc* f) { return f->TitleColor; },
       [](TDisplayedFieldDesc* f, int v) { f->TitleColor = v; })
      .Default(0);
  c.Implements<IFieldDisplay>();
  c.Implements<IFieldDisplayRef>();
}

ORV_DESCRIBE(TMovesListDesc) {
  c.Prop(
      "PricePrefix", [](const TMovesListDesc* d) { return d->PricePrefix; },
      [](TMovesListDesc* d, const QString& v) { d->PricePrefix = v; });
  c.Prop(
      "PriceSuffix", [](const TMovesListDesc* d) { return d->PriceSuffix; },
      [](TMovesListDesc* d, const QString& v) { d->PriceSuffix = v; });
  c.Prop("PricePropDesc", [](const TMovesListDesc* d) { return d->PricePropDesc; });
  c.Prop(
      "VCSDSTFieldNames", [](const TMovesListDesc* d) { return d->VCSDSTFieldNames; },
      [](TMovesListDesc* d, const QString& v) { d->VCSDSTFieldNames = v; });
  c.Prop(
      "VCSGRPFieldNames", [](const TMovesListDesc* d) { return d->VCSGRPFieldNames; },
      [](TMovesListDesc* d, const QString& v) { d->VCSGRPFieldNames = v; });
  c.Prop(
      "VCSSRCFieldNames", [](const TMovesListDesc* d) { return d->VCSSRCFieldNames; },
      [](TMovesListDesc* d, const QString& v) { d->VCSSRCFieldNames = v; });
  c.Prop(
      "VCSSUMFieldNames", [](const TMovesListDesc* d) { return d->VCSSUMFieldNames; },
      [](TMovesListDesc* d, const QString& v) { d->VCSSUMFieldNames = v; });
}
