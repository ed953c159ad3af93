#pragma once
// The standard controls. Each keeps its state (text, items, index, check) itself and mirrors
// it into its Qt widget when there is one; what the user changes in the widget comes back
// into the control and fires the control's events.
#include "controls.h"

#include "platform/rtl/stringlist.h"

#include <QtCore/QPointer>

class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QListWidget;

ORV_ENUM(TEditCharCase, ecNormal, ecUpperCase, ecLowerCase)
ORV_ENUM(TComboBoxStyle, csDropDown, csSimple, csDropDownList, csOwnerDrawFixed,
         csOwnerDrawVariable)
ORV_ENUM(TListBoxStyle, lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual,
         lbVirtualOwnerDraw)
ORV_ENUM(TCheckBoxState, cbUnchecked, cbChecked, cbGrayed)
ORV_ENUM(TScrollBarKind, sbHorizontal, sbVertical)
ORV_ENUM(TOwnerDrawStateItem, odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault,
         odHotLight, odInactive, odNoAccel, odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit)
ORV_SET(TOwnerDrawState, TOwnerDrawStateItem)

ORV_EVENT(TDrawItemEvent, void(TObject*, int, TRect, TOwnerDrawState),
          "procedure(Control: TWinControl; Index: Integer; Rect: TRect; State: TOwnerDrawState)")
ORV_EVENT(TMeasureItemEvent, void(TObject*, int, int&),
          "procedure(Control: TWinControl; Index: Integer; var Height: Integer)")

// A string list that tells its control about every change.
class TControlStrings : public TStringList {
 public:
  std::function<void()> OnChanged;

 protected:
  void Changed() override {
    if (OnChanged) OnChanged();
  }
};

// ---- Labels ------------------------------------------------------------------------------

class TCustomLabel : public TGraphicControl {
  ORV_CLASS(TCustomLabel, TGraphicControl)
  explicit TCustomLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout v);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  TWinControl* FocusControl() const { return focusControl_; }
  void SetFocusControl(TWinControl* v);
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;
  // The caption as shown: "&&" as "&", a single "&" dropped when ShowAccelChar.
  QString DisplayText() const;

 protected:
  bool CanAutoSize(int& width, int& height) override;
  void TextChanged() override { Invalidate(); }

 private:
  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool transparent_ = false;
  bool showAccelChar_ = true;
  TWinControl* focusControl_ = nullptr;
};

class TLabel : public TCustomLabel {
  ORV_CLASS(TLabel, TCustomLabel)
  explicit TLabel(TComponent* owner) : TCustomLabel(owner) {}
};

// ---- Edits ------------------------------------------------------------------------------

class TCustomEdit : public TWinControl {
  ORV_CLASS(TCustomEdit, TWinControl)
  explicit TCustomEdit(TComponent* owner);

  QString GetText() const override;
  void SetText(const QString& v) override;
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  QString PasswordChar() const {
    return passwordChar_.isNull() ? QString() : QString(passwordChar_);
  }
  // An empty text clears the password character.
  void SetPasswordChar(const QString& v);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v);
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool v) { autoSelect_ = v; }
  TFormBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TFormBorderStyle v);
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  QString SelText() const;
  void SetSelText(const QString& v);
  void Clear() { SetText(QString()); }
  void ClearSelection() { SetSelText(QString()); }
  void SelectAll();
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // The user typed: the text as the widget has it now.
  virtual void UserChanged(const QString& text);

  TNotifyEvent OnChange;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;
  virtual void Change();
  QString ApplyCase(const QString& text) const;
  bool CanAutoSize(int& width, int& height) override;
  QString text_;
  int selStart_ = 0;
  int selLength_ = 0;

 private:
  QLineEdit* Line() const;
  int maxLength_ = 0;
  bool readOnly_ = false;
  QChar passwordChar_;
  TEditCharCase charCase_ = ecNormal;
  bool autoSelect_ = true;
  TFormBorderStyle borderStyle_ = bsSingle;
  bool modified_ = false;
  bool syncing_ = false;
};

class TEdit : public TCustomEdit {
  ORV_CLASS(TEdit, TCustomEdit)
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TCustomMemo : public TCustomEdit {
  ORV_CLASS(TCustomMemo, TCustomEdit)
  explicit TCustomMemo(TComponent* owner);
  ~TCustomMemo() override;

  TStrings* Lines() const { return lines_.get(); }
  void SetLines(TStrings* v) { lines_->Assign(v); }
  QString GetText() const override;
  void SetText(const QString& v) override;
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool v) { wantReturns_ = v; }
  bool WantTabs() const { return wantTabs_; }
  void SetWantTabs(bool v) { wantTabs_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  bool WantsKey(quint16 key, TShiftState shift) const override;
  void UserChanged(const QString& text) override;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;
  bool CanAutoSize(int&, int&) override { return false; }

 private:
  void LinesChanged();
  std::unique_ptr<TControlStrings> lines_;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  bool wantReturns_ = true;
  bool wantTabs_ = false;
  TAlignment alignment_ = taLeftJustify;
  bool syncing_ = false;
};

class TMemo : public TCustomMemo {
  ORV_CLASS(TMemo, TCustomMemo)
  explicit TMemo(TComponent* owner) : TCustomMemo(owner) {}
};

// ---- Combo and list boxes ----------------------------------------------------------------

class TCustomComboBox : public TWinControl {
  ORV_CLASS(TCustomComboBox, TWinControl)
  explicit TCustomComboBox(TComponent* owner);
  ~TCustomComboBox() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  QString GetText() const override;
  void SetText(const QString& v) override;
  TComboBoxStyle Style() const { return style_; }
  void SetStyle(TComboBoxStyle v);
  int DropDownCount() const { return dropDownCount_; }
  void SetDropDownCount(int v) { dropDownCount_ = v; }
  bool DroppedDown() const { return droppedDown_; }
  void SetDroppedDown(bool v);
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v) { items_->SetSorted(v); }
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int v) { maxLength_ = v; }
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v) { itemHeight_ = v; }
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase v) { charCase_ = v; }
  int SelStart() const { return selStart_; }
  void SetSelStart(int v) { selStart_ = v; }
  int SelLength() const { return selLength_; }
  void SetSelLength(int v) { selLength_ = v; }
  QString SelText() const { return GetText().mid(selStart_, selLength_); }
  void SetSelText(const QString& v);
  void SelectAll() {
    selStart_ = 0;
    selLength_ = int(GetText().size());
  }
  void Clear();
  // The user picked an item or typed.
  virtual void UserSelected(int index);
  virtual void UserTyped(const QString& text);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;
  void KeyDown(quint16& key, TShiftState shift) override;

 private:
  void ItemsChanged();
  QComboBox* Combo() const;
  std::unique_ptr<TControlStrings> items_;
  int itemIndex_ = -1;
  QString text_;
  TComboBoxStyle style_ = csDropDown;
  int dropDownCount_ = 8;
  bool droppedDown_ = false;
  int maxLength_ = 0;
  int itemHeight_ = 16;
  TEditCharCase charCase_ = ecNormal;
  int selStart_ = 0;
  int selLength_ = 0;
  bool syncing_ = false;
};

class TComboBox : public TCustomComboBox {
  ORV_CLASS(TComboBox, TCustomComboBox)
  explicit TComboBox(TComponent* owner) : TCustomComboBox(owner) {}
};

class TCustomListBox : public TWinControl {
  ORV_CLASS(TCustomListBox, TWinControl)
  explicit TCustomListBox(TComponent* owner);
  ~TCustomListBox() override;

  TStrings* Items() const { return items_.get(); }
  void SetItems(TStrings* v) { items_->Assign(v); }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int v);
  int TopIndex() const { return topIndex_; }
  void SetTopIndex(int v);
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v) { multiSelect_ = v; }
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool v) { extendedSelect_ = v; }
  bool Selected(int index) const;
  void SetSelected(int index, bool v);
  int SelCount() const;
  bool Sorted() const { return items_->Sorted(); }
  void SetSorted(bool v) { items_->SetSorted(v); }
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle v);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  int Columns() const { return columns_; }
  void SetColumns(int v) { columns_ = v; }
  bool IntegralHeight() const { return integralHeight_; }
  void SetIntegralHeight(bool v) { integralHeight_ = v; }
  void Clear() { items_->Clear(); }
  // The index of the item at a client point, -1 when none.
  int ItemAtPos(TPoint p, bool existing) const;
  TRect ItemRect(int index) const;
  // Owner drawing: OnDrawItem paints an item on the canvas; the default draws the text.
  virtual void DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
  // Paints every visible item on the canvas (a recording canvas in tests).
  void PaintItems(TCanvas& canvas);
  TCanvas* Canvas() const { return canvas_.get(); }
  virtual void UserSelected(int index);

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;
  void KeyDown(quint16& key, TShiftState shift) override;

 private:
  void ItemsChanged();
  QListWidget* List() const;
  std::unique_ptr<TControlStrings> items_;
  std::unique_ptr<TCanvas> canvas_;
  std::vector<bool> selected_;
  int itemIndex_ = -1;
  int topIndex_ = 0;
  bool multiSelect_ = false;
  bool extendedSelect_ = true;
  TListBoxStyle style_ = lbStandard;
  int itemHeight_ = 16;
  int columns_ = 0;
  bool integralHeight_ = false;
  bool syncing_ = false;
};

class TListBox : public TCustomListBox {
  ORV_CLASS(TListBox, TCustomListBox)
  explicit TListBox(TComponent* owner) : TCustomListBox(owner) {}
};

// ---- Buttons -----------------------------------------------------------------------------

class TButtonControl : public TWinControl {
  ORV_CLASS(TButtonControl, TWinControl)
  explicit TButtonControl(TComponent* owner);
};

class TButton : public TButtonControl {
  ORV_CLASS(TButton, TButtonControl)
  explicit TButton(TComponent* owner);

  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool v) { cancel_ = v; }
  int ModalResult() const { return modalResult_; }
  void SetModalResult(int v) { modalResult_ = v; }
  // OnClick (or the action), then the button's ModalResult goes to its form.
  void Click() override;
  void DefaultHandler(TMessage& message) override;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void TextChanged() override;
  void UpdateWidget() override;

 private:
  bool default_ = false;
  bool cancel_ = false;
  int modalResult_ = 0;
};

class TCustomCheckBox : public TButtonControl {
  ORV_CLASS(TCustomCheckBox, TButtonControl)
  explicit TCustomCheckBox(TComponent* owner);

  bool Checked() const { return state_ == cbChecked; }
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  // A change fires OnClick: stored forms hang their reaction to a toggle there.
  void SetState(TCheckBoxState v);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool v) { allowGrayed_ = v; }
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }
  // A user click: the next state in turn.
  virtual void Toggle();

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void TextChanged() override;
  void UpdateWidget() override;

 private:
  TCheckBoxState state_ = cbUnchecked;
  bool allowGrayed_ = false;
  TAlignment alignment_ = taRightJustify;
};

class TCheckBox : public TCustomCheckBox {
  ORV_CLASS(TCheckBox, TCustomCheckBox)
  explicit TCheckBox(TComponent* owner) : TCustomCheckBox(owner) {}
};

class TRadioButton : public TButtonControl {
  ORV_CLASS(TRadioButton, TButtonControl)
  explicit TRadioButton(TComponent* owner);

  bool Checked() const { return checked_; }
  // Checking one unchecks the other radio buttons of the same parent.
  void SetChecked(bool v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v) { alignment_ = v; }

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void TextChanged() override;
  void UpdateWidget() override;

 private:
  bool checked_ = false;
  TAlignment alignment_ = taRightJustify;
};

// ---- Scroll bar, group box ------------------------------------------------------------------

class TScrollBar : public TWinControl {
  ORV_CLASS(TScrollBar, TWinControl)
  explicit TScrollBar(TComponent* owner);

  TScrollBarKind Kind() const { return kind_; }
  void SetKind(TScrollBarKind v);
  int Min() const { return min_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  int Max() const { return max_; }
  void SetMax(int v) { SetParams(position_, min_, v); }
  int Position() const { return position_; }
  void SetPosition(int v) { SetParams(v, min_, max_); }
  quint16 SmallChange() const { return smallChange_; }
  void SetSmallChange(quint16 v) { smallChange_ = v; }
  quint16 LargeChange() const { return largeChange_; }
  void SetLargeChange(quint16 v) { largeChange_ = v; }
  int PageSize() const { return pageSize_; }
  void SetPageSize(int v) { pageSize_ = v; }
  // Raises EInvalidOperation when min > max; the position is kept within them.
  void SetParams(int position, int min, int max);

  TNotifyEvent OnChange;

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;

 private:
  TScrollBarKind kind_ = sbHorizontal;
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  quint16 smallChange_ = 1;
  quint16 largeChange_ = 1;
  int pageSize_ = 0;
};

class TCustomGroupBox : public TCustomControl {
  ORV_CLASS(TCustomGroupBox, TCustomControl)
  explicit TCustomGroupBox(TComponent* owner);
  void Paint() override;

 protected:
  void AdjustClientRect(TRect& rect) const override;
  void TextChanged() override { Invalidate(); }
};

class TGroupBox : public TCustomGroupBox {
  ORV_CLASS(TGroupBox, TCustomGroupBox)
  explicit TGroupBox(TComponent* owner) : TCustomGroupBox(owner) {}
};

// The height of a text line in a control's font (the fixed-metric canvas when asked to).
int FontLineHeight(const TFont& font);
int FontTextWidth(const TFont& font, const QString& text);
