#pragma once
// Views of lists. A list shows in several views (grid settings); per field and view a field
// view says whether the column and the card field show, its width and its place. The n-th
// view of a field belongs to the n-th view of its list; a list view holds its field views
// in display order. Fields named "-..." are title-group headers over the columns before
// them. TDisplayedFieldDesc adds what grids read: label, hint, format, colours, styles.
#include "core/orvlib.h"
#include "db/orvlinkdesc.h"

#include <vector>

class TFieldView;
class TListDescView;
class TViewedFieldDesc;
class TTitleGroup;

// Field views in an order; the list does not own them unless a subclass says so.
class TFieldViewList {
 public:
  virtual ~TFieldViewList() = default;
  int Count() const { return int(items_.size()); }
  TFieldView* Item(int index) const {
    return index >= 0 && index < Count() ? items_[size_t(index)] : nullptr;
  }
  int IndexOf(const TFieldView* view) const;
  void Add(TFieldView* view) { items_.push_back(view); }
  void Insert(int index, TFieldView* view);
  void Remove(const TFieldView* view);
  void Move(int from, int to);

 protected:
  std::vector<TFieldView*> items_;
};

// The views of one field; frees them when cleared.
class TFieldViews : public TFieldViewList {
 public:
  ~TFieldViews() override { Clear(); }
  void Clear();
};

// The field views of one view in display order; clearing detaches each view from its
// field and frees it.
class TViewFields : public TFieldViewList {
 public:
  ~TViewFields() override { Clear(); }
  void Clear();
  int IndexedCount = 0;
};

class TFieldView : public TCoPersistent {
  ORV_CLASS(TFieldView, TCoPersistent)
  // Appended to the field's views; joins the list's view of the same position.
  explicit TFieldView(TViewedFieldDesc* field);
  ~TFieldView() override;

  TViewedFieldDesc* Field() const { return field_; }
  bool Indexed() const { return indexed_; }
  TViewFields* ViewFields() const { return viewFields_; }
  virtual int GetIndex() const;
  virtual void Changed() {}
  virtual void SetIndex(int value);
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool PropertyVisible() const { return propertyVisible_; }
  void SetPropertyVisible(bool v);
  int DisplayWidth() const { return displayWidth_; }
  void SetDisplayWidth(int w);

 protected:
  friend class TViewFields;
  friend class TViewedFieldDesc;
  friend class TDefaultFieldView;
  TViewedFieldDesc* field_;
  bool indexed_ = false;
  int index_ = 0;
  TViewFields* viewFields_ = nullptr;
  bool visible_ = true;
  bool propertyVisible_ = true;
  int displayWidth_ = 0;
};

class TDefaultFieldView : public TFieldView {
  ORV_CLASS(TDefaultFieldView, TFieldView)
  explicit TDefaultFieldView(TViewedFieldDesc* field) : TFieldView(field) {}
  int GetIndex() const override;
  // Ordered placement by (index, field name); raises "Представление должно быть
  // проиндексировано" or "Дублирование представления поля" and then stays out of the view.
  void SetIndex(int newIndex) override;
};

class TListDescView : public TIndexedCollectionItem {
  ORV_CLASS(TListDescView, TIndexedCollectionItem)
  using TCreateArg = TCollection;
  explicit TListDescView(TCollection* collection) : TIndexedCollectionItem(collection) {}
  TViewFields* ViewFields() { return &viewFields_; }
  // The named field's view in this view; nullptr without such a field.
  TFieldView* FieldViewByName(const QString& name);

 private:
  TViewFields viewFields_;
};

class TViewedListDesc;

class TListDescViews : public TCollection {
  ORV_CLASS(TListDescViews, TCollection)
  TListDescViews(TViewedListDesc* owner, TClass itemClass);
  TListDescView* Add() { return static_cast<TListDescView*>(TCollection::Add()); }
  // Adds views until the index exists.
  TListDescView* GetItem(int index);
  TViewedListDesc* ListDesc() const { return owner_; }

 private:
  TViewedListDesc* owner_;
};

class TViewedFieldDescList;

class TViewedListDesc : public TLinkedListDesc {
  ORV_CLASS(TViewedListDesc, TLinkedListDesc)
  using TCreateArg = TCollection;
  explicit TViewedListDesc(TCollection* collection) : TLinkedListDesc(collection) {}
  ~TViewedListDesc() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;
  TListDescViews* Views() const { return views_; }
  TViewedFieldDescList* ViewedProps() const;

 protected:
  TFieldDescList* CreateProps() override;
  virtual TListDescViews* CreateViews();

 private:
  TListDescViews* views_ = nullptr;
};

// A list of fields; TTitleGroup sets and resets their GroupField.
class TPropDescGroup {
 public:
  explicit TPropDescGroup(TViewedFieldDesc* owner) : owner_(owner) {}
  virtual ~TPropDescGroup() = default;
  TViewedFieldDesc* Owner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  TViewedFieldDesc* GetItem(int index) const {
    return index >= 0 && index < Count() ? items_[size_t(index)] : nullptr;
  }
  virtual void Add(TViewedFieldDesc* field) { items_.push_back(field); }
  void Remove(TViewedFieldDesc* field);
  virtual void Clear() { items_.clear(); }

 protected:
  TViewedFieldDesc* owner_;
  std::vector<TViewedFieldDesc*> items_;
};

class TTitleGroup : public TPropDescGroup {
 public:
  using TPropDescGroup::TPropDescGroup;
  ~TTitleGroup() override { Clear(); }
  void Add(TViewedFieldDesc* field) override;
  void Clear() override;
};

class TViewedFieldDesc : public TLinkedPropDesc {
  ORV_CLASS(TViewedFieldDesc, TLinkedPropDesc)
  using TCreateArg = TCollection;
  explicit TViewedFieldDesc(TCollection* collection) : TLinkedPropDesc(collection) {}
  ~TViewedFieldDesc() override;
  void BeforeDestruction() override;

  // The name, then the title-group rule for a "-" name of the last field.
  void SetName(const QString& name) override;
  TViewedListDesc* ViewedList() const;
  TFieldViews* FieldViews() { return &fieldViews_; }
  TFieldView* GetDefaultView();
  TFieldView* GetView(TListDescView* view);

  orvlib::TAlignment Alignment = orvlib::taLeftJustify;
  orvlib::TFontStyles FontStyle = 0;
  int FontSize = 0;
  TViewedFieldDesc* GroupField() const { return groupField_; }
  TTitleGroup* TitleGroup() const { return titleGroup_.get(); }
  QString GroupFieldNames() const;

 private:
  friend class TTitleGroup;
  void ApplyTitleGroup();
  TViewedFieldDesc* groupField_ = nullptr;
  std::unique_ptr<TTitleGroup> titleGroup_;
  TFieldViews fieldViews_;
};

class TViewedFieldDescList : public TLinkedPropDescList {
  ORV_CLASS(TViewedFieldDescList, TLinkedPropDescList)
  TViewedFieldDescList(TClass itemClass, TDataSetDesc* owner)
      : TLinkedPropDescList(itemClass, owner) {}
  TViewedFieldDesc* GetItem(int index) const {
    return dynamic_cast<TViewedFieldDesc*>(ItemOrNil(index));
  }
};

// ---- Displayed fields --------------------------------------------------------------------

class IFieldStyle1;
class IFieldStyle2;

class IFieldDisplay : public IInterface {
 public:
  ORV_INTERFACE_ID(IFieldDisplay, "{CD54CAFA-6569-4A66-9A30-0EA09AAB5678}")
  virtual QString GetName() = 0;
  virtual QString GetDisplayName() = 0;
  // IFieldStyle1 for true, IFieldStyle2 for false.
  virtual IInterface* GetStyleIntf(bool kind) = 0;
  virtual QString GetHint() = 0;
  virtual bool GetImageDisplay() = 0;
  virtual TStringList* GetParamValues() = 0;
};

class IFieldDisplayRef : public IFieldDisplay {
 public:
  ORV_INTERFACE_ID(IFieldDisplayRef, "{282D0068-D311-4AF1-87A1-2EC84F0DC637}")
};

// The three style interfaces share a shape: a name, a caption twice, a word of a style.
class IFieldStyle : public IInterface {
 public:
  virtual QString GetName() = 0;
  virtual QString GetCaption() = 0;
  virtual QString GetCaption2() = 0;
  virtual QString StyleWord(int styleIndex) = 0;
};
class IFieldStyle1 : public IFieldStyle {
 public:
  ORV_INTERFACE_ID(IFieldStyle1, "{F9298C42-F8EA-448B-BCA1-D7F8CF408E24}")
};
class IFieldStyle2 : public IFieldStyle {
 public:
  ORV_INTERFACE_ID(IFieldStyle2, "{D65C544C-88BC-464F-8CA1-D628F1EC6936}")
};
class IFieldStyle3 : public IFieldStyle {
 public:
  ORV_INTERFACE_ID(IFieldStyle3, "{11E2733E-3D45-411B-8CD9-B082A3BB7827}")
};

class TDisplayedFieldDesc : public TViewedFieldDesc, public IFieldDisplayRef {
  ORV_CLASS(TDisplayedFieldDesc, TViewedFieldDesc)
  using TCreateArg = TCollection;
  explicit TDisplayedFieldDesc(TCollection* collection);
  ~TDisplayedFieldDesc() override;

  qint32 Color = 0;
  QString DisplayFormat;
  bool ImageDisplay = false;
  qint32 TitleColor = 0;
  QString StyleNames[4];  // title, standard, selected row, selected cell

  // Own value, else the caption.
  QString DisplayLabel() const;
  void SetDisplayLabel(const QString& label);
  bool IsDisplayLabelStored() const;
  QString FieldHint() const;
  void SetFieldHint(const QString& hint);
  const QString& StoredHint() const { return hint_; }
  // A label or hint equal to the old caption follows the new one.
  void SetFieldCaption(const QString& caption);
  void SetCaptions(const QString& caption, const QString& label, const QString& hint);
  void AssignCaptions(TDisplayedFieldDesc* source);
  // The wordIndex-th (from 1) ";"-word of the style text styleIndex (0..3).
  QString StyleWord(int styleIndex, int wordIndex) const;

  using TViewedFieldDesc::GetName;
  QString GetName() override { return TFieldDesc::GetName(); }
  QString GetDisplayName() override { return DisplayName(); }
  IInterface* GetStyleIntf(bool kind) override;
  QString GetHint() override { return FieldHint(); }
  bool GetImageDisplay() override { return ImageDisplay; }
  TStringList* GetParamValues() override { return ParamValues(); }
  IInterface* QueryInterface(const TGUID& iid) override;

 private:
  class TStyle;
  QString label_;
  QString hint_;
  bool cleared_ = false;  // kept for stored forms; nothing reads it
  std::unique_ptr<TStyle> styles_[3];
};

class TMovesListDesc : public TViewedListDesc {
  ORV_CLASS(TMovesListDesc, TViewedListDesc)
  using TCreateArg = TCollection;
  explicit TMovesListDesc(TCollection* collection);
  ~TMovesListDesc() override;

  QString PricePrefix, PriceSuffix;
  TDisplayedFieldDesc* PricePropDesc = nullptr;
  QString VCSDSTFieldNames, VCSGRPFieldNames, VCSSRCFieldNames, VCSSUMFieldNames;
  TStringList* Strings() const { return strings_; }
  std::vector<std::unique_ptr<TPropDescGroup>>& Groups() { return groups_; }

 private:
  TStringList* strings_;
  std::vector<std::unique_ptr<TPropDescGroup>> groups_;
};
