#include "stdctrls.h"

#include "clipbrd.h"
#include "forms.h"
#include "uientry.h"
#include "widgetbridge.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QPainter>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyledItemDelegate>

int FontLineHeight(const TFont& font) { return QFontMetrics(font.ToQFont()).height(); }
int FontTextWidth(const TFont& font, const QString& text) {
  return QFontMetrics(font.ToQFont()).horizontalAdvance(text);
}

namespace {
constexpr int kNotAListKey = -2;
// The item a navigation key moves to in a list of count items (kNotAListKey for other keys
// and for an empty list).
int ListKeyIndex(quint16 key, int current, int count) {
  if (count == 0) return kNotAListKey;
  switch (key) {
    case VK_DOWN: return std::min(count - 1, current + 1);
    case VK_UP: return std::max(0, current - 1);
    case VK_HOME: return 0;
    case VK_END: return count - 1;
    default: return kNotAListKey;
  }
}

// A read-only memo still moves its caret with the keys, as edit lines do.
void SetPlainTextReadOnly(QPlainTextEdit* e, bool on) {
  e->setReadOnly(on);
  if (on) e->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

// Runs f on the control behind a widget's signal, if it still lives.
template <class C, class F>
void OnControl(qint64 handle, F&& f) {
  if (auto* c = dynamic_cast<C*>(TObject::FromHandle(handle))) SafeEntry(c, [&] { f(c); });
}
}  // namespace

// ---- TCustomLabel -------------------------------------------------------------------------

ORV_DESCRIBE(TCustomLabel) {
  c.Prop("Alignment", &TCustomLabel::Alignment, &TCustomLabel::SetAlignment).Default(taLeftJustify);
  c.Prop("FocusControl", &TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl);
  c.Prop("Layout", &TCustomLabel::Layout, &TCustomLabel::SetLayout).Default(tlTop);
  c.Prop("ShowAccelChar", &TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar).Default(1);
  c.Prop("Transparent", &TCustomLabel::Transparent, &TCustomLabel::SetTransparent).Default(0);
  c.Prop("WordWrap", &TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap).Default(0);
}
ORV_DESCRIBE(TLabel) {}

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
  SetAutoSize(true);
}

void TCustomLabel::SetAlignment(TAlignment v) {
  alignment_ = v;
  Invalidate();
}
void TCustomLabel::SetLayout(TTextLayout v) {
  layout_ = v;
  Invalidate();
}
void TCustomLabel::SetWordWrap(bool v) {
  wordWrap_ = v;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetTransparent(bool v) {
  transparent_ = v;
  Invalidate();
}
void TCustomLabel::SetShowAccelChar(bool v) {
  showAccelChar_ = v;
  AdjustSize();
  Invalidate();
}
void TCustomLabel::SetFocusControl(TWinControl* v) {
  if (focusControl_ != nullptr) focusControl_->RemoveFreeNotification(this);
  focusControl_ = v;
  if (v != nullptr) v->FreeNotification(this);
}
void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == focusControl_) focusControl_ = nullptr;
}

QString TCustomLabel::DisplayText() const {
  QString text = Caption();
  if (!showAccelChar_) return text;
  QString out;
  for (int i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&')) {
      if (i + 1 < text.size() && text[i + 1] == QLatin1Char('&')) {
        out += QLatin1Char('&');
        ++i;
      }
      continue;
    }
    out += text[i];
  }
  return out;
}

bool TCustomLabel::CanAutoSize(int& width, int& height) {
  const QString text = DisplayText();
  QFontMetrics fm(Font()->ToQFont());
  if (wordWrap_) {
    const QRect r =
        fm.boundingRect(QRect(0, 0, std::max(1, width), 100000), Qt::TextWordWrap, text);
    height = std::max(fm.height(), r.height());
    return true;
  }
  width = fm.horizontalAdvance(text.isEmpty() ? QStringLiteral(" ") : text);
  height = fm.height();
  return true;
}

void TCustomLabel::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  if (!transparent_) {
    c.Brush()->SetColor(Color());
    c.FillRect(r);
  }
  c.Brush()->SetStyle(bsClear);
  c.Font()->Assign(Font());
  const QString text = DisplayText();
  const int tw = c.TextWidth(text);
  const int th = c.TextHeight(text);
  int x = r.Left;
  if (alignment_ == taRightJustify) x = r.Right - tw;
  if (alignment_ == taCenter) x = r.Left + (r.Width() - tw) / 2;
  int y = r.Top;
  if (layout_ == tlCenter) y = r.Top + (r.Height() - th) / 2;
  if (layout_ == tlBottom) y = r.Bottom - th;
  if (!IsEnabledInTree()) c.Font()->SetColor(clGrayText);
  if (wordWrap_ && c.Painter() != nullptr) {
    c.Painter()->setFont(c.Font()->ToQFont());
    c.Painter()->setPen(ToQColor(c.Font()->Color()));
    int flags = Qt::TextWordWrap;
    flags |= alignment_ == taRightJustify ? Qt::AlignRight
             : alignment_ == taCenter     ? Qt::AlignHCenter
                                          : Qt::AlignLeft;
    c.Painter()->drawText(r.ToQRect(), flags, text);
    return;
  }
  c.TextRect(r, x, y, text);
}

// ---- TCustomEdit ---------------------------------------------------------------------------

ORV_DESCRIBE(TCustomEdit) {
  c.Prop("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect).Default(1);
  c.Prop("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle)
      .Type(TBorderStyleType())
      .Default(bsSingle);
  c.Prop("CharCase", &TCustomEdit::CharCase, &TCustomEdit::SetCharCase).Default(ecNormal);
  c.Prop("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength).Default(0);
  c.Prop("PasswordChar", &TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar);
  c.Prop("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly).Default(0);
  c.Prop("Text", &TCustomEdit::GetText, &TCustomEdit::SetText);
  c.Prop("OnChange", &TCustomEdit::OnChange);
}
ORV_DESCRIBE(TEdit) {}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetAutoSize(true);
}

QLineEdit* TCustomEdit::Line() const { return qobject_cast<QLineEdit*>(WidgetIfMade()); }

QString TCustomEdit::GetText() const { return text_; }

QString TCustomEdit::ApplyCase(const QString& text) const {
  switch (charCase_) {
    case ecUpperCase: return text.toUpper();
    case ecLowerCase: return text.toLower();
    default: return text;
  }
}

void TCustomEdit::SetText(const QString& v) {
  QString t = ApplyCase(v);
  if (maxLength_ > 0 && t.size() > maxLength_ && !dynamic_cast<TCustomMemo*>(this))
    t.truncate(maxLength_);
  if (t == text_) return;
  text_ = t;
  selStart_ = std::min<int>(selStart_, int(text_.size()));
  selLength_ = 0;
  if (QLineEdit* l = Line(); l != nullptr && l->text() != text_) {
    syncing_ = true;
    l->setText(text_);
    syncing_ = false;
  }
  Change();
}

void TCustomEdit::UserChanged(const QString& text) {
  if (syncing_ || text == text_) return;
  const QString cased = ApplyCase(text);
  text_ = cased;
  if (cased != text) {
    if (QLineEdit* l = Line()) {
      syncing_ = true;
      const int pos = l->cursorPosition();
      l->setText(cased);
      l->setCursorPosition(pos);
      syncing_ = false;
    }
  }
  modified_ = true;
  Change();
}

void TCustomEdit::Change() {
  Perform(CM_TEXTCHANGED);
  OnChange(this);
}

void TCustomEdit::SetMaxLength(int v) {
  maxLength_ = v;
  if (QLineEdit* l = Line()) l->setMaxLength(v > 0 ? v : 32767);
}
void TCustomEdit::SetReadOnly(bool v) {
  readOnly_ = v;
  if (QLineEdit* l = Line()) l->setReadOnly(v);
  if (auto* e = qobject_cast<QPlainTextEdit*>(WidgetIfMade())) SetPlainTextReadOnly(e, v);
}
void TCustomEdit::SetPasswordChar(const QString& v) {
  passwordChar_ = v.isEmpty() ? QChar() : v.at(0);
  if (passwordChar_ == QChar(0)) passwordChar_ = QChar();
  if (QLineEdit* l = Line())
    l->setEchoMode(passwordChar_.isNull() ? QLineEdit::Normal : QLineEdit::Password);
}
void TCustomEdit::SetCharCase(TEditCharCase v) {
  charCase_ = v;
  SetText(text_);
}
void TCustomEdit::SetBorderStyle(TFormBorderStyle v) {
  borderStyle_ = v;
  if (QLineEdit* l = Line()) l->setFrame(v != bsNone);
}

int TCustomEdit::SelStart() const {
  if (QLineEdit* l = Line(); l != nullptr && l->hasSelectedText()) return l->selectionStart();
  if (QLineEdit* l = Line()) return l->cursorPosition();
  return selStart_;
}
// Selections count in the text as shown (a masked line's edit text).
void TCustomEdit::SetSelStart(int v) {
  selStart_ = std::clamp(v, 0, int(text_.size()));
  selLength_ = 0;
  if (QLineEdit* l = Line()) l->setCursorPosition(selStart_);
}
int TCustomEdit::SelLength() const {
  if (QLineEdit* l = Line()) return int(l->selectedText().size());
  return selLength_;
}
void TCustomEdit::SetSelLength(int v) {
  const QString t = text_;
  selStart_ = SelStart();
  selLength_ = std::clamp(v, 0, int(t.size()) - selStart_);
  if (QLineEdit* l = Line()) l->setSelection(selStart_, selLength_);
}
QString TCustomEdit::SelText() const { return text_.mid(SelStart(), SelLength()); }
void TCustomEdit::SetSelText(const QString& v) {
  const int start = SelStart();
  const int len = SelLength();
  QString t = GetText();
  t.replace(start, len, v);
  SetText(t);
  selStart_ = start + int(v.size());
  selLength_ = 0;
  if (QLineEdit* l = Line()) l->setCursorPosition(selStart_);
}
void TCustomEdit::SelectAll() {
  selStart_ = 0;
  selLength_ = int(text_.size());
  if (QLineEdit* l = Line()) l->selectAll();
}
void TCustomEdit::CopyToClipboard() {
  if (SelLength() > 0) Clipboard()->SetAsText(SelText());
}
void TCustomEdit::CutToClipboard() {
  if (readOnly_ || SelLength() == 0) return;
  CopyToClipboard();
  SetSelText(QString());
}
void TCustomEdit::PasteFromClipboard() {
  if (!readOnly_) SetSelText(Clipboard()->AsText());
}

bool TCustomEdit::CanAutoSize(int& width, int& height) {
  (void)width;
  height = FontLineHeight(*Font()) + 8;
  return true;
}

QWidget* TCustomEdit::CreateWidget(QWidget* parentWidget) {
  auto* l = new TBridge<QLineEdit>(parentWidget);
  const qint64 h = ObjectHandle();
  QObject::connect(l, &QLineEdit::textEdited, [h](const QString& t) {
    OnControl<TCustomEdit>(h, [&](TCustomEdit* e) { e->UserChanged(t); });
  });
  return l;
}

void TCustomEdit::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (QLineEdit* l = Line()) {
    syncing_ = true;
    l->setText(text_);
    syncing_ = false;
    l->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
    l->setReadOnly(readOnly_);
    l->setEchoMode(passwordChar_.isNull() ? QLineEdit::Normal : QLineEdit::Password);
    l->setFrame(borderStyle_ != bsNone);
  }
}

// ---- TCustomMemo ---------------------------------------------------------------------------

ORV_DESCRIBE(TCustomMemo) {
  c.Prop("Alignment", &TCustomMemo::Alignment, &TCustomMemo::SetAlignment).Default(taLeftJustify);
  c.Prop("Lines", &TCustomMemo::Lines, &TCustomMemo::SetLines);
  c.Prop("ScrollBars", &TCustomMemo::ScrollBars, &TCustomMemo::SetScrollBars).Default(ssNone);
  c.Prop("Text", &TCustomMemo::GetText, &TCustomMemo::SetText).Stored(false);
  c.Prop("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::SetWantReturns).Default(1);
  c.Prop("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::SetWantTabs).Default(0);
  c.Prop("WordWrap", &TCustomMemo::WordWrap, &TCustomMemo::SetWordWrap).Default(1);
}
ORV_DESCRIBE(TMemo) {}

TCustomMemo::TCustomMemo(TComponent* owner)
    : TCustomEdit(owner), lines_(std::make_unique<TControlStrings>()) {
  SetAutoSize(false);
  SetBounds(0, 0, 185, 89);
  lines_->OnChanged = [this] { LinesChanged(); };
}
TCustomMemo::~TCustomMemo() { lines_->OnChanged = nullptr; }

QString TCustomMemo::GetText() const { return lines_->Text(); }

void TCustomMemo::SetText(const QString& v) { lines_->SetText(v); }

void TCustomMemo::LinesChanged() {
  if (syncing_) return;
  text_ = lines_->Text();
  if (auto* e = qobject_cast<QPlainTextEdit*>(WidgetIfMade())) {
    syncing_ = true;
    QString shown = text_;
    if (shown.endsWith(QLatin1String("\r\n"))) shown.chop(2);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (e->toPlainText() != shown) e->setPlainText(shown);
    syncing_ = false;
  }
  Change();
}

void TCustomMemo::UserChanged(const QString& text) {
  if (syncing_) return;
  syncing_ = true;
  lines_->SetText(text);
  syncing_ = false;
  text_ = lines_->Text();
  SetModified(true);
  Change();
}

void TCustomMemo::SetWordWrap(bool v) {
  wordWrap_ = v;
  if (auto* e = qobject_cast<QPlainTextEdit*>(WidgetIfMade()))
    e->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
  scrollBars_ = v;
  UpdateWidget();
}

bool TCustomMemo::WantsKey(quint16 key, TShiftState shift) const {
  if (key == VK_RETURN && shift.Ord() == 0) return wantReturns_;
  if (key == VK_TAB && !shift.Contains(ssCtrl)) return wantTabs_;
  return key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT;
}

QWidget* TCustomMemo::CreateWidget(QWidget* parentWidget) {
  auto* e = new TBridge<QPlainTextEdit>(parentWidget);
  const qint64 h = ObjectHandle();
  QObject::connect(e, &QPlainTextEdit::textChanged, [e, h] {
    OnControl<TCustomMemo>(h, [&](TCustomMemo* m) { m->UserChanged(e->toPlainText()); });
  });
  return e;
}

void TCustomMemo::UpdateWidget() {
  TWinControl::UpdateWidget();
  auto* e = qobject_cast<QPlainTextEdit*>(WidgetIfMade());
  if (e == nullptr) return;
  syncing_ = true;
  QString shown = lines_->Text();
  if (shown.endsWith(QLatin1String("\r\n"))) shown.chop(2);
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  e->setPlainText(shown);
  syncing_ = false;
  SetPlainTextReadOnly(e, ReadOnly());
  e->setLineWrapMode(wordWrap_ ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
  const bool h = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  const bool v = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  e->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

// ---- TCustomComboBox ---------------------------------------------------------------------------

ORV_DESCRIBE(TCustomComboBox) {
  c.Prop("CharCase", &TCustomComboBox::CharCase, &TCustomComboBox::SetCharCase).Default(ecNormal);
  c.Prop("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::SetDropDownCount)
      .Default(8);
  c.Prop("ItemHeight", &TCustomComboBox::ItemHeight, &TCustomComboBox::SetItemHeight);
  c.Prop("Items", &TCustomComboBox::Items, &TCustomComboBox::SetItems);
  c.Prop("ItemIndex", &TCustomComboBox::ItemIndex, &TCustomComboBox::SetItemIndex).Default(-1);
  c.Prop("MaxLength", &TCustomComboBox::MaxLength, &TCustomComboBox::SetMaxLength).Default(0);
  c.Prop("Sorted", &TCustomComboBox::Sorted, &TCustomComboBox::SetSorted).Default(0);
  c.Prop("Style", &TCustomComboBox::Style, &TCustomComboBox::SetStyle).Default(csDropDown);
  c.Prop("Text", &TCustomComboBox::GetText, &TCustomComboBox::SetText);
  c.Prop("OnChange", &TCustomComboBox::OnChange);
  c.Prop("OnCloseUp", &TCustomComboBox::OnCloseUp);
  c.Prop("OnDrawItem", &TCustomComboBox::OnDrawItem);
  c.Prop("OnDropDown", &TCustomComboBox::OnDropDown);
  c.Prop("OnMeasureItem", &TCustomComboBox::OnMeasureItem);
  c.Prop("OnSelect", &TCustomComboBox::OnSelect);
}
ORV_DESCRIBE(TComboBox) {}

TCustomComboBox::TCustomComboBox(TComponent* owner)
    : TWinControl(owner), items_(std::make_unique<TControlStrings>()) {
  SetBounds(0, 0, 145, 21);
  SetTabStop(true);
  SetColor(clWindow);
  items_->OnChanged = [this] { ItemsChanged(); };
}
TCustomComboBox::~TCustomComboBox() { items_->OnChanged = nullptr; }

QComboBox* TCustomComboBox::Combo() const { return qobject_cast<QComboBox*>(WidgetIfMade()); }

void TCustomComboBox::ItemsChanged() {
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  if (QComboBox* c = Combo()) {
    syncing_ = true;
    c->clear();
    for (int i = 0; i < items_->Count(); ++i) c->addItem(items_->Get(i));
    c->setCurrentIndex(itemIndex_);
    if (style_ != csDropDownList) c->setEditText(text_);
    syncing_ = false;
  }
}

void TCustomComboBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_->Count()) v = -1;
  itemIndex_ = v;
  text_ = v >= 0 ? items_->Get(v) : (style_ == csDropDownList ? QString() : text_);
  if (v < 0 && style_ != csDropDownList) text_.clear();
  if (QComboBox* c = Combo()) {
    syncing_ = true;
    c->setCurrentIndex(v);
    if (c->isEditable()) c->setEditText(text_);
    syncing_ = false;
  }
}

QString TCustomComboBox::GetText() const {
  if (style_ == csDropDownList) return itemIndex_ >= 0 ? items_->Get(itemIndex_) : QString();
  return text_;
}

void TCustomComboBox::SetText(const QString& v) {
  const int i = items_->IndexOf(v);
  if (style_ == csDropDownList) {
    if (i >= 0) SetItemIndex(i);
    return;
  }
  text_ = v;
  itemIndex_ = i >= 0 && items_->Get(i) == v ? i : -1;
  if (QComboBox* c = Combo()) {
    syncing_ = true;
    c->setCurrentIndex(itemIndex_);
    c->setEditText(v);
    syncing_ = false;
  }
}

void TCustomComboBox::SetSelText(const QString& v) {
  QString t = GetText();
  t.replace(selStart_, selLength_, v);
  SetText(t);
  selStart_ += int(v.size());
  selLength_ = 0;
}

void TCustomComboBox::SetStyle(TComboBoxStyle v) {
  style_ = v;
  if (QComboBox* c = Combo()) c->setEditable(v == csDropDown || v == csSimple);
}

void TCustomComboBox::SetDroppedDown(bool v) {
  if (v == droppedDown_) return;
  droppedDown_ = v;
  if (v) OnDropDown(this);
  if (QComboBox* c = Combo(); c != nullptr && c->isVisible()) {
    if (v)
      c->showPopup();
    else
      c->hidePopup();
  }
  if (!v) OnCloseUp(this);
}

void TCustomComboBox::Clear() {
  items_->Clear();
  SetItemIndex(-1);
  text_.clear();
}

void TCustomComboBox::UserSelected(int index) {
  if (syncing_ || index == itemIndex_) return;
  itemIndex_ = index;
  text_ = index >= 0 ? items_->Get(index) : QString();
  const qint64 h = ObjectHandle();
  OnChange(this);
  if (TObject::IsLiveHandle(h)) OnSelect(this);
}

void TCustomComboBox::UserTyped(const QString& text) {
  if (syncing_ || text == text_) return;
  text_ = text;
  const int i = items_->IndexOf(text);
  itemIndex_ = i >= 0 && items_->Get(i) == text ? i : -1;
  OnChange(this);
}

void TCustomComboBox::KeyDown(quint16& key, TShiftState shift) {
  if (style_ != csDropDownList || shift.Ord() != 0) return;
  const int i = ListKeyIndex(key, itemIndex_, items_->Count());
  if (i == kNotAListKey) return;
  key = 0;
  if (i != itemIndex_) {
    SetItemIndex(i);
    OnChange(this);
    OnSelect(this);
  }
}

QWidget* TCustomComboBox::CreateWidget(QWidget* parentWidget) {
  auto* c = new TBridge<QComboBox>(parentWidget);
  const qint64 h = ObjectHandle();
  QObject::connect(c, qOverload<int>(&QComboBox::activated), [h](int i) {
    OnControl<TCustomComboBox>(h, [&](TCustomComboBox* cb) { cb->UserSelected(i); });
  });
  QObject::connect(c, &QComboBox::editTextChanged, [h](const QString& t) {
    OnControl<TCustomComboBox>(h, [&](TCustomComboBox* cb) { cb->UserTyped(t); });
  });
  return c;
}

void TCustomComboBox::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (QComboBox* c = Combo()) {
    syncing_ = true;
    c->setEditable(style_ == csDropDown || style_ == csSimple);
    c->setMaxVisibleItems(std::max(1, dropDownCount_));
    syncing_ = false;
    ItemsChanged();
  }
}

// ---- TCustomListBox ---------------------------------------------------------------------------

namespace {
// Owner-drawn list items paint through the control's DrawItem.
class TListDelegate : public QStyledItemDelegate {
 public:
  TListDelegate(QObject* parent, qint64 handle) : QStyledItemDelegate(parent), handle_(handle) {}
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    auto* list = dynamic_cast<TCustomListBox*>(TObject::FromHandle(handle_));
    if (list == nullptr || list->Style() == lbStandard) {
      QStyledItemDelegate::paint(painter, option, index);
      return;
    }
    TCanvas canvas;
    canvas.SetPainter(painter);
    canvas.Font()->Assign(list->Font());
    TOwnerDrawState state;
    if (option.state & QStyle::State_Selected) state.Include(odSelected);
    if (option.state & QStyle::State_HasFocus) state.Include(odFocused);
    canvas.Brush()->SetColor(state.Contains(odSelected) ? clHighlight : list->Color());
    if (state.Contains(odSelected)) canvas.Font()->SetColor(clHighlightText);
    SafeEntry(list,
              [&] { list->DrawItem(canvas, index.row(), TRect::FromQRect(option.rect), state); });
    canvas.SetPainter(nullptr);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    auto* list = dynamic_cast<TCustomListBox*>(TObject::FromHandle(handle_));
    if (list == nullptr || list->Style() == lbStandard)
      return QStyledItemDelegate::sizeHint(option, index);
    int h = list->ItemHeight();
    if (list->Style() == lbOwnerDrawVariable) list->OnMeasureItem(list, index.row(), h);
    return QSize(option.rect.width(), h);
  }

 private:
  qint64 handle_;
};
}  // namespace

ORV_DESCRIBE(TCustomListBox) {
  c.Prop("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns).Default(0);
  c.Prop("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect)
      .Default(1);
  c.Prop("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight)
      .Default(0);
  c.Prop("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  c.Prop("ItemIndex", &TCustomListBox::ItemIndex, &TCustomListBox::SetItemIndex).Stored(false);
  c.Prop("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  c.Prop("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect).Default(0);
  c.Prop("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted).Default(0);
  c.Prop("Style", &TCustomListBox::Style, &TCustomListBox::SetStyle).Default(lbStandard);
  c.Prop("TopIndex", &TCustomListBox::TopIndex, &TCustomListBox::SetTopIndex).Stored(false);
  c.Prop("OnDrawItem", &TCustomListBox::OnDrawItem);
  c.Prop("OnMeasureItem", &TCustomListBox::OnMeasureItem);
}
ORV_DESCRIBE(TListBox) {}

TCustomListBox::TCustomListBox(TComponent* owner)
    : TWinControl(owner),
      items_(std::make_unique<TControlStrings>()),
      canvas_(std::make_unique<TCanvas>()) {
  SetBounds(0, 0, 121, 97);
  SetTabStop(true);
  SetColor(clWindow);
  items_->OnChanged = [this] { ItemsChanged(); };
}
TCustomListBox::~TCustomListBox() { items_->OnChanged = nullptr; }

QListWidget* TCustomListBox::List() const { return qobject_cast<QListWidget*>(WidgetIfMade()); }

void TCustomListBox::ItemsChanged() {
  selected_.assign(size_t(items_->Count()), false);
  if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
  if (topIndex_ >= items_->Count()) topIndex_ = std::max(0, items_->Count() - 1);
  if (QListWidget* l = List()) {
    syncing_ = true;
    l->clear();
    for (int i = 0; i < items_->Count(); ++i) l->addItem(items_->Get(i));
    l->setCurrentRow(itemIndex_);
    syncing_ = false;
  }
}

void TCustomListBox::SetItemIndex(int v) {
  if (v < -1 || v >= items_->Count()) v = -1;
  itemIndex_ = v;
  if (!multiSelect_) {
    std::fill(selected_.begin(), selected_.end(), false);
    if (v >= 0) selected_[size_t(v)] = true;
  }
  if (QListWidget* l = List()) {
    syncing_ = true;
    l->setCurrentRow(v);
    syncing_ = false;
  }
}

void TCustomListBox::SetTopIndex(int v) {
  topIndex_ = std::clamp(v, 0, std::max(0, items_->Count() - 1));
  if (QListWidget* l = List(); l != nullptr && topIndex_ < l->count())
    l->scrollToItem(l->item(topIndex_), QAbstractItemView::PositionAtTop);
}

bool TCustomListBox::Selected(int index) const {
  if (index < 0 || index >= items_->Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  return selected_[size_t(index)];
}

void TCustomListBox::SetSelected(int index, bool v) {
  if (index < 0 || index >= items_->Count())
    throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
  if (!multiSelect_) {
    SetItemIndex(v ? index : -1);
    return;
  }
  selected_[size_t(index)] = v;
  if (QListWidget* l = List()) l->item(index)->setSelected(v);
}

int TCustomListBox::SelCount() const {
  if (!multiSelect_) return -1;
  return int(std::count(selected_.begin(), selected_.end(), true));
}

void TCustomListBox::SetStyle(TListBoxStyle v) {
  style_ = v;
  Invalidate();
}

void TCustomListBox::SetItemHeight(int v) {
  if (v > 0) itemHeight_ = v;
  Invalidate();
}

TRect TCustomListBox::ItemRect(int index) const {
  const int top = (index - topIndex_) * itemHeight_;
  return Rect(0, top, ClientWidth(), top + itemHeight_);
}

int TCustomListBox::ItemAtPos(TPoint p, bool existing) const {
  if (p.Y < 0 || p.X < 0 || p.X >= ClientWidth()) return -1;
  const int i = topIndex_ + p.Y / std::max(1, itemHeight_);
  if (i < items_->Count()) return i;
  return existing ? -1 : items_->Count();
}

void TCustomListBox::DrawItem(TCanvas& canvas, int index, const TRect& rect,
                              TOwnerDrawState state) {
  if (OnDrawItem.Assigned()) {
    canvas_.reset(&canvas);
    try {
      OnDrawItem(this, index, rect, state);
    } catch (...) {
      (void)canvas_.release();
      canvas_ = std::make_unique<TCanvas>();
      throw;
    }
    (void)canvas_.release();
    canvas_ = std::make_unique<TCanvas>();
    return;
  }
  canvas.FillRect(rect);
  canvas.TextOut(rect.Left + 2, rect.Top, items_->Get(index));
}

void TCustomListBox::PaintItems(TCanvas& canvas) {
  for (int i = topIndex_; i < items_->Count(); ++i) {
    const TRect r = ItemRect(i);
    if (r.Top >= ClientHeight()) break;
    TOwnerDrawState state;
    if (selected_[size_t(i)]) state.Include(odSelected);
    canvas.Font()->Assign(Font());
    canvas.Brush()->SetColor(state.Contains(odSelected) ? clHighlight : Color());
    if (state.Contains(odSelected)) canvas.Font()->SetColor(clHighlightText);
    DrawItem(canvas, i, r, state);
  }
}

void TCustomListBox::UserSelected(int index) {
  if (syncing_ || index == itemIndex_) return;
  SetItemIndex(index);
  Click();
}

void TCustomListBox::KeyDown(quint16& key, TShiftState shift) {
  if (shift.Ord() != 0) return;
  const int i = ListKeyIndex(key, itemIndex_, items_->Count());
  if (i == kNotAListKey) return;
  key = 0;
  if (i != itemIndex_) {
    SetItemIndex(i);
    Click();
  }
}

QWidget* TCustomListBox::CreateWidget(QWidget* parentWidget) {
  auto* l = new TBridge<QListWidget>(parentWidget);
  const qint64 h = ObjectHandle();
  l->setItemDelegate(new TListDelegate(l, h));
  QObject::connect(l, &QListWidget::currentRowChanged, [h](int row) {
    OnControl<TCustomListBox>(h, [&](TCustomListBox* lb) { lb->UserSelected(row); });
  });
  l->setProperty(kNativeClickProperty, true);
  return l;
}

void TCustomListBox::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (QListWidget* l = List()) {
    l->setSelectionMode(multiSelect_ ? (extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                                        : QAbstractItemView::MultiSelection)
                                     : QAbstractItemView::SingleSelection);
    ItemsChanged();
  }
}

// ---- Buttons --------------------------------------------------------------------------------

ORV_DESCRIBE(TButtonControl) {}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) { SetTabStop(true); }

ORV_DESCRIBE(TButton) {
  c.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(0);
  c.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(0);
  c.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetColor(clBtnFace);
}

void TButton::SetDefault(bool v) {
  default_ = v;
  if (auto* b = qobject_cast<QPushButton*>(WidgetIfMade())) b->setDefault(v);
}

void TButton::Click() {
  const qint64 self = ObjectHandle();
  TCustomForm* form = ParentForm();
  const qint64 formHandle = form != nullptr ? form->ObjectHandle() : 0;
  const int result = modalResult_;
  TButtonControl::Click();
  // The result acts once the handler has run (it may have changed the form's state).
  if (result != 0 && TObject::IsLiveHandle(formHandle)) {
    if (TObject::IsLiveHandle(self)) form = ParentForm();
    if (form != nullptr) form->SetModalResult(result);
  }
}

void TButton::DefaultHandler(TMessage& message) {
  if (message.Msg == CM_DIALOGKEY) {
    const bool mine =
        (message.WParam == VK_RETURN && default_) || (message.WParam == VK_ESCAPE && cancel_);
    if (mine && Visible() && IsEnabledInTree()) {
      Click();
      message.Result = 1;
    }
    return;
  }
  TButtonControl::DefaultHandler(message);
}

QWidget* TButton::CreateWidget(QWidget* parentWidget) {
  auto* b = new TBridge<QPushButton>(parentWidget);
  b->setProperty(kNativeClickProperty, true);
  b->setAutoDefault(false);
  const qint64 h = ObjectHandle();
  QObject::connect(b, &QPushButton::clicked,
                   [h] { OnControl<TButton>(h, [](TButton* btn) { btn->Click(); }); });
  return b;
}

void TButton::TextChanged() {
  if (auto* b = qobject_cast<QPushButton*>(WidgetIfMade())) b->setText(Caption());
}

void TButton::UpdateWidget() {
  TButtonControl::UpdateWidget();
  if (auto* b = qobject_cast<QPushButton*>(WidgetIfMade())) {
    b->setText(Caption());
    b->setDefault(default_);
  }
}

ORV_DESCRIBE(TCustomCheckBox) {
  c.Prop("Alignment", &TCustomCheckBox::Alignment, &TCustomCheckBox::SetAlignment)
      .Default(taRightJustify);
  c.Prop("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::SetAllowGrayed).Default(0);
  c.Prop("Checked", &TCustomCheckBox::Checked, &TCustomCheckBox::SetChecked).Default(0);
  c.Prop("State", &TCustomCheckBox::State, &TCustomCheckBox::SetState).Default(cbUnchecked);
}
ORV_DESCRIBE(TCheckBox) {}

TCustomCheckBox::TCustomCheckBox(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetParentColor(true);
}

void TCustomCheckBox::SetState(TCheckBoxState v) {
  if (v == state_) return;
  state_ = v;
  if (auto* b = qobject_cast<QCheckBox*>(WidgetIfMade())) {
    const QSignalBlocker block(b);
    b->setCheckState(v == cbChecked  ? Qt::Checked
                     : v == cbGrayed ? Qt::PartiallyChecked
                                     : Qt::Unchecked);
  }
  if (!ComponentState().Contains(csLoading)) Click();
}

void TCustomCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked: SetState(allowGrayed_ ? cbGrayed : cbChecked); break;
    case cbGrayed: SetState(cbChecked); break;
    default: SetState(cbUnchecked); break;
  }
}

QWidget* TCustomCheckBox::CreateWidget(QWidget* parentWidget) {
  auto* b = new TBridge<QCheckBox>(parentWidget);
  b->setProperty(kNativeClickProperty, true);
  const qint64 h = ObjectHandle();
  QObject::connect(b, &QCheckBox::clicked,
                   [h] { OnControl<TCustomCheckBox>(h, [](TCustomCheckBox* c) { c->Toggle(); }); });
  return b;
}

void TCustomCheckBox::TextChanged() {
  if (auto* b = qobject_cast<QCheckBox*>(WidgetIfMade())) b->setText(Caption());
}

void TCustomCheckBox::UpdateWidget() {
  TButtonControl::UpdateWidget();
  if (auto* b = qobject_cast<QCheckBox*>(WidgetIfMade())) {
    const QSignalBlocker block(b);
    b->setText(Caption());
    b->setTristate(allowGrayed_);
    b->setCheckState(state_ == cbChecked  ? Qt::Checked
                     : state_ == cbGrayed ? Qt::PartiallyChecked
                                          : Qt::Unchecked);
    b->setLayoutDirection(alignment_ == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
  }
}

ORV_DESCRIBE(TRadioButton) {
  c.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment)
      .Default(taRightJustify);
  c.Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(0);
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
  SetBounds(0, 0, 113, 17);
  SetParentColor(true);
}

void TRadioButton::SetChecked(bool v) {
  if (v == checked_) return;
  checked_ = v;
  if (auto* b = qobject_cast<QRadioButton*>(WidgetIfMade())) {
    const QSignalBlocker block(b);
    b->setChecked(v);
  }
  if (!v) return;
  if (Parent() != nullptr) {
    for (TControl* c : Parent()->ControlList()) {
      auto* other = dynamic_cast<TRadioButton*>(c);
      if (other != nullptr && other != this) other->SetChecked(false);
    }
  }
  if (!ComponentState().Contains(csLoading)) Click();
}

QWidget* TRadioButton::CreateWidget(QWidget* parentWidget) {
  auto* b = new TBridge<QRadioButton>(parentWidget);
  b->setAutoExclusive(false);  // the layer unchecks the others itself
  b->setProperty(kNativeClickProperty, true);
  const qint64 h = ObjectHandle();
  QObject::connect(b, &QRadioButton::clicked, [h] {
    OnControl<TRadioButton>(h, [](TRadioButton* r) {
      if (!r->Checked())
        r->SetChecked(true);
      else if (auto* w = qobject_cast<QRadioButton*>(r->WidgetIfMade()))
        w->setChecked(true);
    });
  });
  return b;
}

void TRadioButton::TextChanged() {
  if (auto* b = qobject_cast<QRadioButton*>(WidgetIfMade())) b->setText(Caption());
}

void TRadioButton::UpdateWidget() {
  TButtonControl::UpdateWidget();
  if (auto* b = qobject_cast<QRadioButton*>(WidgetIfMade())) {
    const QSignalBlocker block(b);
    b->setText(Caption());
    b->setChecked(checked_);
  }
}

// ---- TScrollBar -------------------------------------------------------------------------------

ORV_DESCRIBE(TScrollBar) {
  c.Prop("Kind", &TScrollBar::Kind, &TScrollBar::SetKind).Default(sbHorizontal);
  c.Prop("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange).Default(1);
  c.Prop("Max", &TScrollBar::Max, &TScrollBar::SetMax).Default(100);
  c.Prop("Min", &TScrollBar::Min, &TScrollBar::SetMin).Default(0);
  c.Prop("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize).Default(0);
  c.Prop("Position", &TScrollBar::Position, &TScrollBar::SetPosition).Default(0);
  c.Prop("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange).Default(1);
  c.Prop("OnChange", &TScrollBar::OnChange);
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 17);
  SetTabStop(true);
}

void TScrollBar::SetKind(TScrollBarKind v) {
  if (v == kind_) return;
  kind_ = v;
  if (!ComponentState().Contains(csLoading)) SetBounds(Left(), Top(), Height(), Width());
  UpdateWidget();
}

void TScrollBar::SetParams(int position, int min, int max) {
  if (max < min) throw EInvalidOperation(QStringLiteral("Scroll bar property out of range"));
  position = std::clamp(position, min, max);
  const bool changed = position != position_;
  min_ = min;
  max_ = max;
  position_ = position;
  if (auto* s = qobject_cast<QScrollBar*>(WidgetIfMade())) {
    const QSignalBlocker block(s);
    s->setRange(min_, max_);
    s->setValue(position_);
  }
  if (changed) OnChange(this);
}

QWidget* TScrollBar::CreateWidget(QWidget* parentWidget) {
  auto* s = new TBridge<QScrollBar>(parentWidget);
  const qint64 h = ObjectHandle();
  QObject::connect(s, &QScrollBar::valueChanged, [h](int v) {
    OnControl<TScrollBar>(h, [&](TScrollBar* sb) { sb->SetPosition(v); });
  });
  return s;
}

void TScrollBar::UpdateWidget() {
  TWinControl::UpdateWidget();
  if (auto* s = qobject_cast<QScrollBar*>(WidgetIfMade())) {
    const QSignalBlocker block(s);
    s->setOrientation(kind_ == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    s->setRange(min_, max_);
    s->setValue(position_);
    s->setSingleStep(smallChange_);
    s->setPageStep(largeChange_);
  }
}

// ---- TCustomGroupBox ------------------------------------------------------------------------

ORV_DESCRIBE(TCustomGroupBox) {}
ORV_DESCRIBE(TGroupBox) {}

TCustomGroupBox::TCustomGroupBox(TComponent* owner) : TCustomControl(owner) {
  SetBounds(0, 0, 185, 105);
  SetParentColor(true);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const {
  TCustomControl::AdjustClientRect(rect);
  rect.Top += FontLineHeight(*Font());
  rect.Left += 2;
  rect.Right -= 2;
  rect.Bottom -= 2;
}

void TCustomGroupBox::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  const int h = c.TextHeight(QStringLiteral("0"));
  const TRect frame = Rect(r.Left, r.Top + h / 2, r.Right, r.Bottom);
  c.Pen()->SetColor(clBtnShadow);
  c.MoveTo(frame.Left, frame.Top);
  c.LineTo(frame.Right - 1, frame.Top);
  c.LineTo(frame.Right - 1, frame.Bottom - 1);
  c.LineTo(frame.Left, frame.Bottom - 1);
  c.LineTo(frame.Left, frame.Top);
  const QString text = Caption();
  if (!text.isEmpty()) {
    c.Brush()->SetColor(Color());
    c.TextOut(r.Left + 8, r.Top, text);
  }
}
