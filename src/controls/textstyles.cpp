#include "textstyles.h"

#include "core/orvsys.h"
#include "platform/classes/classregistry.h"

// ---- TTextFormat ---------------------------------------------------------------------

ORV_DESCRIBE(TTextFormat) {
  c.Prop("Alignment", &TTextFormat::Alignment, &TTextFormat::SetAlignment)
      .StoredWhen([](const TObject* o) {
        auto* f = static_cast<const TTextFormat*>(o);
        return f->AssignedValues().Contains(fvAlignment) &&
               f->Alignment() != f->InheritedAlignment();
      });
  c.Prop("AssignedValues", &TTextFormat::AssignedValues, &TTextFormat::SetAssignedValues)
      .Stored(false);
  c.Prop("Bevel", &TTextFormat::Bevel, &TTextFormat::SetBevel).Stored(false);
  c.Prop("Bottom", &TTextFormat::Bottom).StoredWhen([](const TObject* o) {
    auto* f = static_cast<const TTextFormat*>(o);
    return f->AssignedValues().Contains(fvBottom) && f->Bevel() == bvNone;
  });
  c.Prop("Color", &TTextFormat::Color, &TTextFormat::SetColor)
      .Type(TColorType())
      .StoredWhen([](const TObject* o) {
        auto* f = static_cast<const TTextFormat*>(o);
        return f->AssignedValues().Contains(fvColor) && f->Color() != f->InheritedColor();
      });
  c.Prop("Font", &TTextFormat::Font, &TTextFormat::SetFont).StoredWhen([](const TObject* o) {
    return static_cast<const TTextFormat*>(o)->AssignedValues().Contains(fvFont);
  });
  c.Prop("Layout", &TTextFormat::Layout, &TTextFormat::SetLayout).StoredWhen([](const TObject* o) {
    auto* f = static_cast<const TTextFormat*>(o);
    return f->AssignedValues().Contains(fvLayout) && f->Layout() != f->InheritedLayout();
  });
  c.Prop("Left", &TTextFormat::Left).StoredWhen([](const TObject* o) {
    auto* f = static_cast<const TTextFormat*>(o);
    return f->AssignedValues().Contains(fvLeft) && f->Bevel() == bvNone;
  });
  c.Prop("Right", &TTextFormat::Right).StoredWhen([](const TObject* o) {
    auto* f = static_cast<const TTextFormat*>(o);
    return f->AssignedValues().Contains(fvRight) && f->Bevel() == bvNone;
  });
  c.Prop("Top", &TTextFormat::Top).StoredWhen([](const TObject* o) {
    auto* f = static_cast<const TTextFormat*>(o);
    return f->AssignedValues().Contains(fvTop) && f->Bevel() == bvNone;
  });
}

TTextFormat::TTextFormat(TCollection* collection) : TTextFormat(collection, nullptr) {}

TTextFormat::TTextFormat(TCollection* collection, TTextFormat* parent)
    : TNamedCollectionItem(collection), font_(std::make_unique<TFont>()) {
  SetParent(parent);
  if (parent_ != nullptr) font_->Assign(parent_->Font());
  font_->ChangeCallback = [this] { FontChanged(); };
  for (int i = 0; i < 4; ++i) {
    pens_[size_t(i)] = std::make_unique<TPen>();
    pens_[size_t(i)]->SetStyle(psClear);
    pens_[size_t(i)]->ChangeCallback = [this, i] { PenChanged(i); };
  }
}

TTextFormat::~TTextFormat() {
  for (TTextFormat* child : children_) child->parent_ = nullptr;
  SetParent(nullptr);
}

void TTextFormat::AfterConstruction() {
  TNamedCollectionItem::AfterConstruction();
  // Descendants name their owner format only once the whole object exists.
  TTextFormat* owner = GetOwnerFormat();
  if (owner != nullptr && owner != this && owner != parent_) {
    font_->ChangeCallback = nullptr;
    font_->Assign(owner->Font());
    font_->ChangeCallback = [this] { FontChanged(); };
  }
}

void TTextFormat::SetParent(TTextFormat* parent) {
  if (parent_ != nullptr) std::erase(parent_->children_, this);
  parent_ = parent;
  if (parent_ != nullptr) parent_->children_.push_back(this);
}

TTextFormat* TTextFormat::GetKindFormat(int kind) {
  TTextStyles* styles = TextStyles();
  TTextStyle* style = nullptr;
  switch (kind) {
    case 0: style = styles->FixedFormat(); break;
    case 3: style = styles->HighlightFormat(); break;
    case 4: style = styles->SumFixedFormat(); break;
    default: style = styles->BaseFormat(); break;
  }
  return style != nullptr ? style->Format() : nullptr;
}

void TTextFormat::ReportChange(bool allItems) {
  OnChange(this);
  if (parent_ != nullptr) parent_->Changed(allItems);
}

void TTextFormat::Reset() {
  const bool hadFont = assigned_.Contains(fvFont);
  assigned_ = TFormatValues();
  TTextFormat* owner = GetOwnerFormat();
  font_->ChangeCallback = nullptr;
  if (owner != nullptr && owner != this) {
    font_->Assign(owner->Font());
  } else {
    TFont fresh;
    font_->Assign(&fresh);
  }
  font_->ChangeCallback = [this] { FontChanged(); };
  ReportChange(hadFont);
}

void TTextFormat::SetAlignment(TAlignment value) {
  if (assigned_.Contains(fvAlignment) && alignment_ == value) return;
  alignment_ = value;
  assigned_.Include(fvAlignment);
  ReportChange(false);
}

TAlignment TTextFormat::Alignment() const {
  return assigned_.Contains(fvAlignment) ? alignment_ : GetDefaultAlignment();
}

TColor TTextFormat::InheritedColor() const {
  return parent_ != nullptr ? parent_->Color() : clBtnFace;
}

TColor TTextFormat::Color() const {
  return assigned_.Contains(fvColor) ? color_ : InheritedColor();
}

void TTextFormat::SetColor(TColor value) {
  if (assigned_.Contains(fvColor) && color_ == value) return;
  color_ = value;
  assigned_.Include(fvColor);
  ReportChange(false);
}

TTextLayout TTextFormat::InheritedLayout() const {
  return parent_ != nullptr ? parent_->Layout() : tlBottom;
}

TTextLayout TTextFormat::Layout() const {
  return assigned_.Contains(fvLayout) ? layout_ : InheritedLayout();
}

void TTextFormat::SetLayout(TTextLayout value) {
  if (assigned_.Contains(fvLayout) && layout_ == value) return;
  layout_ = value;
  assigned_.Include(fvLayout);
  ReportChange(false);
}

void TTextFormat::SetFont(TFont* value) {
  font_->Assign(value);  // marks fvFont through the font's handler
  font_->SetCharset(204);
}

void TTextFormat::FontChanged() {
  assigned_.Include(fvFont);
  ReportChange(true);
}

void TTextFormat::PenChanged(int index) {
  assigned_.Include(TFormatValue(fvLeft + index));
  ReportChange(true);
}

void TTextFormat::ApplyBevel(TBevelCut value, TColor color) {
  bevel_ = value;
  if (value == bvNone) {
    for (auto& pen : pens_) pen->SetStyle(psClear);
    return;
  }
  TPen* left = pens_[0].get();
  left->SetWidth(1);
  left->SetMode(pmCopy);
  left->SetStyle(psSolid);
  pens_[2]->Assign(left);
  const TColor light = orvsys::LightenColor(color);
  const TColor dark = orvsys::DarkenColor(color);
  const bool lowered = value == bvLowered;
  left->SetColor(lowered ? dark : light);
  pens_[2]->SetColor(lowered ? light : dark);
  pens_[1]->Assign(left);
  pens_[3]->Assign(pens_[2].get());
}

void TTextFormat::SetBevel(TBevelCut value) { ApplyBevel(value, Color()); }

void TTextFormat::SetBevelColor(TBevelCut value, TColor color) {
  ApplyBevel(value, color);
  SetColor(color);
}

void TTextFormat::SetFontColorAndBevel(TColor fontColor, TBevelCut bevel, TColor color) {
  font_->SetColor(fontColor);
  SetBevelColor(bevel, color);
}

bool TTextFormat::SameLook(const TTextFormat* other) const {
  return other != nullptr && Alignment() == other->Alignment() && Color() == other->Color() &&
         font_->Color() == other->Font()->Color() && Layout() == other->Layout();
}

bool TTextFormat::IsChanged() const {
  if (assigned_.Contains(fvAlignment) && alignment_ != InheritedAlignment()) return true;
  if (assigned_.Contains(fvColor) && color_ != InheritedColor()) return true;
  if (assigned_.Contains(fvLayout) && layout_ != InheritedLayout()) return true;
  if (assigned_.Contains(fvFont)) return true;
  const TFormatValues pens{fvLeft, fvTop, fvRight, fvBottom};
  return !(assigned_ * pens).Empty() && bevel_ == bvNone;
}

void TTextFormat::Assign(TPersistent* source) {
  auto* src = dynamic_cast<TTextFormat*>(source);
  if (src == nullptr) {
    TNamedCollectionItem::Assign(source);
    return;
  }
  const TFormatValues a = src->assigned_;
  if (a.Contains(fvAlignment)) SetAlignment(src->alignment_);
  if (a.Contains(fvColor)) SetColor(src->color_);
  if (a.Contains(fvFont)) font_->Assign(src->Font());
  if (a.Contains(fvLayout)) SetLayout(src->layout_);
  const TFormatValues pens{fvLeft, fvTop, fvRight, fvBottom};
  if (!(a * pens).Empty()) {
    bevel_ = src->bevel_;
    for (int i = 0; i < 4; ++i) {
      if (a.Contains(TFormatValue(fvLeft + i))) pens_[size_t(i)]->Assign(src->Pen(i));
    }
  }
}

void TTextFormat::DrawBorders(TCanvas* canvas, TRect& rect) const {
  if (bevel_ == bvNone) return;
  TPen saved;
  saved.Assign(canvas->Pen());
  // Corners walked left, bottom, right, top from the top-left.
  const TPoint corners[5] = {{rect.Left, rect.Top},
                             {rect.Left, rect.Bottom - 1},
                             {rect.Right - 1, rect.Bottom - 1},
                             {rect.Right - 1, rect.Top},
                             {rect.Left, rect.Top}};
  const int sideToPen[4] = {0, 3, 2, 1};
  int shrink[4] = {0, 0, 0, 0};
  for (int side = 0; side < 4; ++side) {
    TPen* pen = pens_[size_t(sideToPen[side])].get();
    if (pen->Style() == psClear) continue;
    canvas->Pen()->Assign(pen);
    canvas->MoveTo(corners[side].X, corners[side].Y);
    canvas->LineTo(corners[side + 1].X, corners[side + 1].Y);
    shrink[sideToPen[side]] = pen->Width();
  }
  rect.Left += shrink[0];
  rect.Top += shrink[1];
  rect.Right -= shrink[2];
  rect.Bottom -= shrink[3];
  canvas->Pen()->Assign(&saved);
}

// ---- TTextFormats --------------------------------------------------------------------

ORV_DESCRIBE(TTextFormats) {}

TTextFormats::TTextFormats(TPersistent* owner, TClass itemClass)
    : TNamedCollection(itemClass != nullptr ? itemClass : TTextFormat::StaticClass(), owner) {}

TTextFormat* TTextFormats::Format(int index) const {
  return dynamic_cast<TTextFormat*>(ItemOrNil(index));
}

TTextFormat* TTextFormats::FindFormat(const QString& name) const {
  return dynamic_cast<TTextFormat*>(FindItem(name));
}

// ---- Styles --------------------------------------------------------------------------

ORV_DESCRIBE(TTextStyle) { c.Prop("Format", &TTextStyle::Format, &TTextStyle::SetFormat); }

TTextStyle::TTextStyle(TComponent* owner)
    : TComponent(owner), format_(std::make_unique<TTextFormat>(nullptr)) {}

TTextStyle::~TTextStyle() = default;

const char* const TTextStyles::FieldNames[12] = {
    "FixedFormat",     "SumFixedFormat", "BaseFormat",       "SunkFormat",
    "HighlightFormat", "GroupFormat",    "GroupFixedFormat", "SunkFixedFormat",
    "AltBaseFormat",   "AltFixedFormat", "AltSunkFormat",    "AltHighlightFormat"};

ORV_DESCRIBE(TTextStyles) {
  c.Prop("FixedFormat", &TTextStyles::FixedFormat).Stored(false);
  c.Prop("SumFixedFormat", &TTextStyles::SumFixedFormat).Stored(false);
  c.Prop("BaseFormat", &TTextStyles::BaseFormat).Stored(false);
  c.Prop("SunkFormat", &TTextStyles::SunkFormat).Stored(false);
  c.Prop("HighlightFormat", &TTextStyles::HighlightFormat).Stored(false);
  c.Prop("GroupFormat", &TTextStyles::GroupFormat).Stored(false);
  c.Prop("GroupFixedFormat", &TTextStyles::GroupFixedFormat).Stored(false);
  c.Prop("SunkFixedFormat", &TTextStyles::SunkFixedFormat).Stored(false);
  c.Prop("AltBaseFormat", &TTextStyles::AltBaseFormat).Stored(false);
  c.Prop("AltFixedFormat", &TTextStyles::AltFixedFormat).Stored(false);
  c.Prop("AltSunkFormat", &TTextStyles::AltSunkFormat).Stored(false);
  c.Prop("AltHighlightFormat", &TTextStyles::AltHighlightFormat).Stored(false);
}

TTextStyles::TTextStyles(TComponent* owner) : TComponent(owner) {}

TTextStyle* TTextStyles::FindStyle(const QString& name) const {
  return dynamic_cast<TTextStyle*>(FindComponent(name));
}

TTextStyle* TTextStyles::AddStyle(const QString& name) {
  auto* style = new TTextStyle(this);
  style->SetName(name);
  for (size_t i = 0; i < fields_.size(); ++i) {
    if (name.compare(QLatin1String(FieldNames[i]), Qt::CaseInsensitive) == 0) fields_[i] = style;
  }
  return style;
}

namespace {

enum TDefaultKind { kPlain, kRaised, kCopy, kSunkRaised };

struct TDefaultStyle {
  const char* Name;
  TDefaultKind Kind;
  TColor Color;  // clNone: no colour assigned; for kRaised the bevel colour
  TColor FontColor;
  TFontStyles FontStyle;
  bool Pens;
  const char* CopyOf;
};

const TFontStyles kB{fsBold}, kI{fsItalic}, kBI{fsBold, fsItalic}, kS{fsStrikeOut},
    kBS{fsBold, fsStrikeOut}, kIS{fsItalic, fsStrikeOut}, kBIS{fsBold, fsItalic, fsStrikeOut};

const TDefaultStyle kDefaults[] = {
    {"BaseFormat", kPlain, 0xE1FFFF, 0, {}, true, nullptr},
    {"AltBaseFormat", kPlain, 0x00FFFF, 0, {}, true, nullptr},
    {"ABF", kCopy, clNone, 0, {}, false, "AltBaseFormat"},
    {"FixedFormat", kRaised, 0xF0CAA6, 0, {}, false, nullptr},
    {"AltFixedFormat", kRaised, 0xC0DCC0, clCaptionText, {}, false, nullptr},
    {"SumFixedFormat", kPlain, 0xFEEAC9, 0, {}, true, nullptr},
    {"AFF", kCopy, clNone, 0, {}, false, "AltFixedFormat"},
    {"GroupFormat", kPlain, clWindow, 0x000080, {}, true, nullptr},
    {"GroupFixedFormat", kRaised, 0xF0CAA6, 0x000080, {}, false, nullptr},
    {"SunkFormat", kPlain, 0xE1FFFF, 0, {}, true, nullptr},
    {"AltSunkFormat", kPlain, 0xE1FFFF, 0, {}, true, nullptr},
    {"ASF", kCopy, clNone, 0, {}, false, "AltSunkFormat"},
    {"SunkFixedFormat", kSunkRaised, 0xE1FFFF, 0, {}, true, nullptr},
    {"HighlightFormat", kPlain, clHighlight, clHighlightText, {}, true, nullptr},
    {"AltHighlightFormat", kPlain, clHighlight, clHighlightText, {}, true, nullptr},
    {"AHF", kCopy, clNone, 0, {}, false, "AltHighlightFormat"},
    {"Tree1", kPlain, clNone, clWindowText, kB, false, nullptr},
    {"TreeS1", kPlain, clHighlight, clHighlightText, kB, false, nullptr},
    {"Tree2", kPlain, clNone, clWindowText, kI, false, nullptr},
    {"TreeS2", kPlain, clHighlight, clHighlightText, kI, false, nullptr},
    {"Tree3", kPlain, clNone, clWindowText, kBI, false, nullptr},
    {"TreeS3", kPlain, clHighlight, clHighlightText, kBI, false, nullptr},
    {"Tree4", kPlain, clNone, clWindowText, kS, false, nullptr},
    {"TreeS4", kPlain, clHighlight, clHighlightText, kS, false, nullptr},
    {"Tree5", kPlain, clNone, clWindowText, kBS, false, nullptr},
    {"TreeS5", kPlain, clHighlight, clHighlightText, kBS, false, nullptr},
    {"Tree6", kPlain, clNone, clWindowText, kIS, false, nullptr},
    {"TreeS6", kPlain, clHighlight, clHighlightText, kIS, false, nullptr},
    {"Tree7", kPlain, clNone, clWindowText, kBIS, false, nullptr},
    {"TreeS7", kPlain, clHighlight, clHighlightText, kBIS, false, nullptr},
    {"Tree8", kPlain, clNone, 0x808080, {}, false, nullptr},
    {"TreeS8", kPlain, clHighlight, clHighlightText, {}, false, nullptr},
    {"Tree9", kPlain, clNone, 0x800000, {}, false, nullptr},
    {"TreeS9", kPlain, clHighlight, clHighlightText, {}, false, nullptr},
};

void AddDefaultStyles(TTextStyles* styles) {
  for (const TDefaultStyle& d : kDefaults) {
    TTextFormat* f = styles->AddStyle(QLatin1String(d.Name))->Format();
    if (d.Kind == kCopy) {
      f->Assign(styles->FindStyle(QLatin1String(d.CopyOf))->Format());
      continue;
    }
    if (d.Kind != kRaised && d.Color != clNone) f->SetColor(d.Color);
    f->Font()->SetColor(d.FontColor);
    if (!d.FontStyle.Empty()) f->Font()->SetStyle(d.FontStyle);
    if (d.Pens) {
      for (int i = 0; i < 4; ++i) {
        f->Pen(i)->SetMode(pmNop);
        f->Pen(i)->SetStyle(psSolid);
      }
    }
    if (d.Kind == kRaised) f->SetBevelColor(bvRaised, d.Color);
    if (d.Kind == kSunkRaised) f->SetBevel(bvRaised);
  }
}

TTextStyles*& Container() {
  static TTextStyles* container = nullptr;
  return container;
}

}  // namespace

TTextStyles* TextStyles() {
  TTextStyles*& c = Container();
  if (c == nullptr) {
    c = new TTextStyles(nullptr);
    AddDefaultStyles(c);
  }
  return c;
}

void ResetTextStyles() { FreeAndNil(Container()); }

void RegisterTextStyleClasses() {
  RegisterClasses(
      {TTextFormat::StaticClass(), TTextStyle::StaticClass(), TTextStyles::StaticClass()});
}
