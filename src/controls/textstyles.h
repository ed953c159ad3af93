#pragma once
// Text formats and the named text styles every grid, tree view and list view draws with.
//
// A format carries only the values it has assigned (AssignedValues) and takes the rest from
// its parent format, then from fixed defaults: colour clBtnFace, layout tlBottom, alignment
// GetDefaultAlignment. Every change ends in one report: OnChange(format), then the parent's
// collection hears that the parent changed (all items for a font or pen change).
//
// The process keeps one style container, made on first use with the 34 default styles;
// scripts reach it as the global component "TEXTSTYLES".
#include "core/orvclasses.h"
#include "platform/ui/controls.h"

#include <array>
#include <memory>

ORV_ENUM(TFormatValue, fvLeft, fvTop, fvRight, fvBottom, fvAlignment, fvColor, fvFont, fvLayout)
ORV_SET(TFormatValues, TFormatValue)

class TTextFormat : public TNamedCollectionItem {
  ORV_CLASS(TTextFormat, TNamedCollectionItem)
  explicit TTextFormat(TCollection* collection);
  TTextFormat(TCollection* collection, TTextFormat* parent);
  ~TTextFormat() override;
  void AfterConstruction() override;

  // Kind 0 fixed, 1 data, 2 current record of a flipped grid, 3 focused, 4 fixed sum.
  virtual TTextFormat* GetKindFormat(int kind);
  virtual TAlignment GetDefaultAlignment() const { return taLeftJustify; }
  virtual TTextFormat* GetOwnerFormat() { return parent_ != nullptr ? parent_ : this; }
  virtual void Reset();
  virtual void SetAlignment(TAlignment value);

  TAlignment Alignment() const;
  TColor Color() const;
  void SetColor(TColor value);
  TTextLayout Layout() const;
  void SetLayout(TTextLayout value);
  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* value);
  TPen* Pen(int index) const { return pens_[size_t(index)].get(); }
  TPen* Left() const { return Pen(0); }
  TPen* Top() const { return Pen(1); }
  TPen* Right() const { return Pen(2); }
  TPen* Bottom() const { return Pen(3); }
  TBevelCut Bevel() const { return bevel_; }
  void SetBevel(TBevelCut value);
  void SetBevelColor(TBevelCut value, TColor color);
  void SetFontColorAndBevel(TColor fontColor, TBevelCut bevel, TColor color);
  TFormatValues AssignedValues() const { return assigned_; }
  void SetAssignedValues(TFormatValues v) { assigned_ = v; }
  TTextFormat* Parent() const { return parent_; }

  bool SameLook(const TTextFormat* other) const;
  bool IsChanged() const;
  void Assign(TPersistent* source) override;
  // Draws the border pens inside rect (nothing with Bevel bvNone) and shrinks rect by the
  // width of each side drawn.
  void DrawBorders(TCanvas* canvas, TRect& rect) const;

  TNotifyEvent OnChange;

  // What the value would be without its own assignment.
  TAlignment InheritedAlignment() const { return GetDefaultAlignment(); }
  TColor InheritedColor() const;
  TTextLayout InheritedLayout() const;

 protected:
  void ReportChange(bool allItems);

 private:
  void SetParent(TTextFormat* parent);
  void FontChanged();
  void PenChanged(int index);
  void ApplyBevel(TBevelCut value, TColor color);

  TAlignment alignment_ = taLeftJustify;
  TColor color_ = clBtnFace;
  TTextLayout layout_ = tlBottom;
  TFormatValues assigned_;
  TBevelCut bevel_ = bvNone;
  std::unique_ptr<TFont> font_;
  std::array<std::unique_ptr<TPen>, 4> pens_;
  TTextFormat* parent_ = nullptr;
  std::vector<TTextFormat*> children_;
};

class TTextFormats : public TNamedCollection {
  ORV_CLASS(TTextFormats, TNamedCollection)
  explicit TTextFormats(TPersistent* owner = nullptr, TClass itemClass = nullptr);
  TTextFormat* Format(int index) const;  // nullptr when out of range
  TTextFormat* FindFormat(const QString& name) const;
};

class TTextStyle : public TComponent {
  ORV_CLASS(TTextStyle, TComponent)
  explicit TTextStyle(TComponent* owner);
  ~TTextStyle() override;
  TTextFormat* Format() const { return format_.get(); }
  void SetFormat(TTextFormat* value) { format_->Assign(value); }

 private:
  std::unique_ptr<TTextFormat> format_;
};

class TTextStyles : public TComponent {
  ORV_CLASS(TTextStyles, TComponent)
  explicit TTextStyles(TComponent* owner = nullptr);

  // Case-insensitive; nullptr when no style has that name.
  TTextStyle* FindStyle(const QString& name) const;
  TTextStyle* AddStyle(const QString& name);

  TTextStyle* FixedFormat() const { return Field(0); }
  TTextStyle* SumFixedFormat() const { return Field(1); }
  TTextStyle* BaseFormat() const { return Field(2); }
  TTextStyle* SunkFormat() const { return Field(3); }
  TTextStyle* HighlightFormat() const { return Field(4); }
  TTextStyle* GroupFormat() const { return Field(5); }
  TTextStyle* GroupFixedFormat() const { return Field(6); }
  TTextStyle* SunkFixedFormat() const { return Field(7); }
  TTextStyle* AltBaseFormat() const { return Field(8); }
  TTextStyle* AltFixedFormat() const { return Field(9); }
  TTextStyle* AltSunkFormat() const { return Field(10); }
  TTextStyle* AltHighlightFormat() const { return Field(11); }

  static const char* const FieldNames[12];

 private:
  TTextStyle* Field(int i) const { return fields_[size_t(i)]; }
  std::array<TTextStyle*, 12> fields_{};
};

// The process's style container with the default styles, made on first use.
TTextStyles* TextStyles();
// Frees the container; the next TextStyles() makes a fresh one (tests).
void ResetTextStyles();
void RegisterTextStyleClasses();
