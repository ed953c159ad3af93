#include "dbnavigator.h"

#include "dialogservice.h"

#include "platform/data/dataset.h"
#include "platform/data/datasource.h"
#include "platform/rtl/exceptions.h"

namespace {
constexpr TButtonSet kAllButtons = TButtonSet::FromOrd((1u << kNavButtonCount) - 1);
const char* const kButtonNames[kNavButtonCount] = {"First",  "Prior", "Next", "Last",   "Insert",
                                                   "Delete", "Edit",  "Post", "Cancel", "Refresh"};
}  // namespace

// The navigator's end of the data source: every change of state or record updates the buttons.
class TNavDataLink : public TDataLink {
 public:
  explicit TNavDataLink(TDBNavigator* nav) : nav_(nav) {}

 protected:
  void ActiveChanged() override { nav_->UpdateStates(); }
  void EditingChanged() override { nav_->UpdateStates(); }
  void DataSetChanged() override { nav_->UpdateStates(); }

 private:
  TDBNavigator* nav_;
};

// ---- TNavButton: a vector glyph per button, grey when disabled --------------------------------

void TNavButton::Paint() {
  TSpeedButton::Paint();
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  const int cx = r.Left + r.Width() / 2 + (Down() ? 1 : 0);
  const int cy = r.Top + r.Height() / 2 + (Down() ? 1 : 0);
  const int s = std::max(3, std::min(r.Width(), r.Height()) / 4);
  const TColor color = IsEnabledInTree() ? TColor(clBlack) : TColor(clGray);
  c.Pen()->SetColor(color);
  c.Pen()->SetWidth(1);
  c.Brush()->SetStyle(bsSolid);
  c.Brush()->SetColor(color);
  auto left = [&](int x) {
    c.Polygon({{x + s / 2, cy - s}, {x + s / 2, cy + s}, {x - s / 2, cy}});
  };
  auto right = [&](int x) {
    c.Polygon({{x - s / 2, cy - s}, {x - s / 2, cy + s}, {x + s / 2, cy}});
  };
  auto bar = [&](int x) { c.FillRect(Rect(x, cy - s, x + 2, cy + s + 1)); };
  switch (Index) {
    case nbFirst:
      bar(cx - s);
      left(cx + 1);
      break;
    case nbPrior: left(cx); break;
    case nbNext: right(cx); break;
    case nbLast:
      right(cx - 1);
      bar(cx + s - 1);
      break;
    case nbInsert:
      c.FillRect(Rect(cx - s, cy - 1, cx + s + 1, cy + 1));
      c.FillRect(Rect(cx - 1, cy - s, cx + 1, cy + s + 1));
      break;
    case nbDelete: c.FillRect(Rect(cx - s, cy - 1, cx + s + 1, cy + 1)); break;
    case nbEdit:
      c.Polygon({{cx - s, cy + s / 2}, {cx + s, cy + s / 2}, {cx, cy - s / 2 - 1}});
      break;
    case nbPost:
      c.Pen()->SetWidth(2);
      c.MoveTo(cx - s, cy);
      c.LineTo(cx - s / 3, cy + s - 1);
      c.LineTo(cx + s, cy - s);
      break;
    case nbCancel:
      c.Pen()->SetWidth(2);
      c.MoveTo(cx - s + 1, cy - s + 1);
      c.LineTo(cx + s - 1, cy + s - 1);
      c.MoveTo(cx + s - 1, cy - s + 1);
      c.LineTo(cx - s + 1, cy + s - 1);
      break;
    case nbRefresh:
      c.Pen()->SetWidth(2);
      c.Brush()->SetStyle(bsClear);
      c.Ellipse(Rect(cx - s, cy - s, cx + s + 1, cy + s + 1));
      c.Brush()->SetStyle(bsSolid);
      c.Brush()->SetColor(Color());
      c.FillRect(Rect(cx, cy - s - 1, cx + s + 2, cy));
      c.Brush()->SetColor(color);
      c.Polygon({{cx, cy - s - 3}, {cx, cy - s + 3}, {cx + 3, cy - s}});
      break;
  }
}

ORV_DESCRIBE(TNavButton) {}

// ---- TDBNavigator -------------------------------------------------------------------------------

ORV_DESCRIBE(TDBNavigator) {
  c.Prop("DataSource", &TDBNavigator::DataSource, &TDBNavigator::SetDataSource);
  c.Prop("VisibleButtons", &TDBNavigator::VisibleButtons, &TDBNavigator::SetVisibleButtons)
      .Default(qint64(kAllButtons.Ord()));
  c.Prop("Flat", &TDBNavigator::Flat, &TDBNavigator::SetFlat).Default(0);
  c.Prop("Hints", &TDBNavigator::Hints, &TDBNavigator::SetHints).StoredWhen([](const TObject* o) {
    return !static_cast<const TDBNavigator*>(o)->HintsAreDefault();
  });
  c.Prop("ConfirmDelete", &TDBNavigator::ConfirmDelete, &TDBNavigator::SetConfirmDelete).Default(1);
  c.Prop("BeforeAction", &TDBNavigator::BeforeAction);
  c.Prop("OnClick", &TDBNavigator::OnClick);
}

const QStringList& TDBNavigator::DefaultHints() {
  static const QStringList hints = {
      QStringLiteral("Первая запись"),      QStringLiteral("Предыдущая запись"),
      QStringLiteral("Следующая запись"),   QStringLiteral("Последняя запись"),
      QStringLiteral("Вставить запись"),    QStringLiteral("Удалить запись"),
      QStringLiteral("Изменить запись"),    QStringLiteral("Сохранить изменения"),
      QStringLiteral("Отменить изменения"), QStringLiteral("Обновить данные")};
  return hints;
}

TDBNavigator::TDBNavigator(TComponent* owner)
    : TCustomPanel(owner),
      link_(std::make_unique<TNavDataLink>(this)),
      hints_(std::make_unique<TControlStrings>()),
      visible_(kAllButtons) {
  SetBevelOuter(bvNone);
  SetCaption(QString());
  for (int i = 0; i < kNavButtonCount; ++i) {
    auto* b = new TNavButton(this);
    b->Index = TNavigateBtn(i);
    b->SetName(QStringLiteral("Nav") + QLatin1String(kButtonNames[i]));
    b->SetParent(this);
    b->SetShowHint(true);
    b->OnClick.Bind<&TDBNavigator::ButtonClicked>(this);
    buttons_[i] = b;
  }
  for (const QString& h : DefaultHints()) hints_->Add(h);
  hints_->OnChanged = [this] { UpdateHints(); };
  SetBounds(Left(), Top(), 241, 25);
  UpdateHints();
  UpdateStates();
}

TDBNavigator::~TDBNavigator() {
  hints_->OnChanged = nullptr;
  link_.reset();
}

TDataSource* TDBNavigator::DataSource() const { return link_->DataSource(); }

void TDBNavigator::SetDataSource(TDataSource* source) {
  if (TDataSource* old = link_->DataSource()) old->RemoveFreeNotification(this);
  link_->SetDataSource(source);
  if (source != nullptr) source->FreeNotification(this);
  UpdateStates();
}

void TDBNavigator::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation == opRemove && link_ && component == link_->DataSource()) SetDataSource(nullptr);
}

void TDBNavigator::SetVisibleButtons(TButtonSet v) {
  visible_ = v * kAllButtons;
  ArrangeButtons();
}

void TDBNavigator::SetHints(TStrings* v) { hints_->Assign(v); }

bool TDBNavigator::HintsAreDefault() const {
  if (hints_->Count() != kNavButtonCount) return false;
  for (int i = 0; i < kNavButtonCount; ++i)
    if (hints_->Strings(i) != DefaultHints()[i]) return false;
  return true;
}

void TDBNavigator::SetFlat(bool v) {
  flat_ = v;
  for (TNavButton* b : buttons_) b->SetFlat(v);
}

void TDBNavigator::UpdateHints() {
  // A missing or empty line keeps the button's default hint.
  for (int i = 0; i < kNavButtonCount; ++i) {
    const QString h = i < hints_->Count() ? hints_->Strings(i) : QString();
    buttons_[i]->SetHint(h.isEmpty() ? DefaultHints()[i] : h);
  }
}

void TDBNavigator::SetBounds(int left, int top, int width, int height) {
  TCustomPanel::SetBounds(left, top, width, height);
  ArrangeButtons();
}

void TDBNavigator::Resize() {
  TCustomPanel::Resize();
  ArrangeButtons();
}

// The visible buttons share the width; the pixels left over go one each to the first buttons.
void TDBNavigator::ArrangeButtons() {
  if (buttons_[0] == nullptr) return;
  int count = 0;
  for (int i = 0; i < kNavButtonCount; ++i) count += visible_.Contains(TNavigateBtn(i)) ? 1 : 0;
  const int w = count > 0 ? Width() / count : 0;
  int extra = count > 0 ? Width() - w * count : 0;
  int x = 0;
  for (int i = 0; i < kNavButtonCount; ++i) {
    TNavButton* b = buttons_[i];
    const bool shown = visible_.Contains(TNavigateBtn(i));
    b->SetVisible(shown);
    if (!shown) continue;
    const int bw = w + (extra > 0 ? 1 : 0);
    if (extra > 0) --extra;
    b->SetBounds(x, 0, bw, Height());
    x += bw;
  }
}

void TDBNavigator::UpdateStates() {
  TDataSet* ds = link_->DataSet();
  const bool up = Enabled() && link_->Active() && ds != nullptr;
  const bool bof = up && ds->Bof();
  const bool eof = up && ds->Eof();
  const bool canModify = up && ds->CanModify();
  const bool editing = up && link_->Editing();
  const bool on[kNavButtonCount] = {up && !bof,
                                    up && !bof,
                                    up && !eof,
                                    up && !eof,
                                    canModify,
                                    canModify && !(bof && eof),
                                    canModify && !editing,
                                    canModify && editing,
                                    canModify && editing,
                                    canModify};
  for (int i = 0; i < kNavButtonCount; ++i) buttons_[i]->SetEnabled(on[i]);
}

void TDBNavigator::ButtonClicked(TObject* sender) {
  if (auto* b = dynamic_cast<TNavButton*>(sender)) BtnClick(b->Index);
}

void TDBNavigator::BtnClick(int index) {
  if (index < 0 || index >= kNavButtonCount)
    throw ERangeError(QStringLiteral("Navigator button %1 out of range 0..%2")
                          .arg(index)
                          .arg(kNavButtonCount - 1));
  const auto button = TNavigateBtn(index);
  TDataSource* source = DataSource();
  if (source != nullptr && source->State() != dsInactive) {
    BeforeAction(this, button);
    TDataSet* ds = source->DataSet();
    switch (button) {
      case nbFirst: ds->First(); break;
      case nbPrior: ds->Prior(); break;
      case nbNext: ds->Next(); break;
      case nbLast: ds->Last(); break;
      case nbInsert: ds->Insert(); break;
      case nbEdit: ds->Edit(); break;
      case nbCancel: ds->Cancel(); break;
      case nbPost: ds->Post(); break;
      case nbRefresh: ds->Refresh(); break;
      case nbDelete:
        if (!confirmDelete_ ||
            DialogService().MessageBox(QStringLiteral("Удалить запись?"), QString(),
                                       mbOKCancel | mbIconQuestion) != idCancel)
          ds->Delete();
        break;
    }
  }
  OnClick(this, button);
}
