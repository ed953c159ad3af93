#include "gridwidget.h"

#include "grids.h"
#include "widgetbridge.h"

#include <QtGui/QPainter>
#include <QtWidgets/QAbstractScrollArea>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QScrollBar>

namespace {

// Bar actions as the classic scroll codes.
int ActionCode(int action) {
  switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return SB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return SB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return SB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return SB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return SB_TOP;
    case QAbstractSlider::SliderToMaximum: return SB_BOTTOM;
    case QAbstractSlider::SliderMove: return SB_THUMBTRACK;
    default: return -1;
  }
}

class TGridLineEdit : public TBridge<QLineEdit> {
 public:
  using TBridge<QLineEdit>::TBridge;
};

}  // namespace

class TGridWidget : public TBridge<QAbstractScrollArea> {
 public:
  explicit TGridWidget(TCustomGrid* grid, QWidget* parent)
      : TBridge<QAbstractScrollArea>(parent), grid_(grid) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    viewport()->setMouseTracking(true);
    for (int bar : {SB_HORZ, SB_VERT}) {
      QScrollBar* b = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
      connect(b, &QAbstractSlider::actionTriggered, this, [this, b, bar](int action) {
        const int code = ActionCode(action);
        if (code < 0) return;
        // The slider has not moved yet: the core decides where the bar goes.
        const int pos = b->sliderPosition();
        Run([&] { grid_->ScrollAction(bar, code, pos); });
        Resync();
      });
      connect(b, &QAbstractSlider::sliderReleased, this, [this, b, bar] {
        Run([&] { grid_->ScrollAction(bar, SB_THUMBPOSITION, b->sliderPosition()); });
        Resync();
      });
    }
  }

  QLineEdit* Editor() const { return editor_; }
  QLineEdit* MakeEditor() {
    if (editor_ == nullptr) {
      editor_ = new TGridLineEdit(viewport());
      editor_->setFrame(false);
      BindWidget(editor_, grid_);
      connect(editor_, &QLineEdit::textEdited, this,
              [this](const QString& text) { Run([&] { grid_->EditorTextChanged(text); }); });
    }
    return editor_;
  }
  void Resync() {
    if (!syncing_) gridwidget::SyncScrollBars(grid_, this);
  }
  bool syncing_ = false;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(viewport());
    TCanvas canvas;
    canvas.SetPainter(&painter);
    Run([&] { grid_->PaintTo(canvas); });
    canvas.SetPainter(nullptr);
  }
  void resizeEvent(QResizeEvent* e) override {
    QAbstractScrollArea::resizeEvent(e);
    Run([&] { grid_->SetViewportSize(viewport()->width(), viewport()->height()); });
  }
  void wheelEvent(QWheelEvent* e) override {
    const TShiftState shift = ShiftFromModifiers(int(e->modifiers()));
    const TPoint p{int(e->position().x()), int(e->position().y())};
    Run([&] {
      if (e->angleDelta().y() < 0)
        grid_->DoMouseWheelDown(shift, p);
      else if (e->angleDelta().y() > 0)
        grid_->DoMouseWheelUp(shift, p);
    });
    e->accept();
  }
  void scrollContentsBy(int, int) override {}

 private:
  template <class F>
  void Run(F&& f) {
    if (TObject::FromHandle(handle_) == nullptr) return;
    f();
  }
  TCustomGrid* grid_;
  qint64 handle_ = grid_->ObjectHandle();
  QLineEdit* editor_ = nullptr;
};

namespace gridwidget {

QWidget* Create(TCustomGrid* grid, QWidget* parent) {
  auto* w = new TGridWidget(grid, parent);
  QMetaObject::invokeMethod(
      w,
      [w, grid, h = grid->ObjectHandle()] {
        if (TObject::FromHandle(h) == nullptr) return;
        grid->SetViewportSize(w->viewport()->width(), w->viewport()->height());
      },
      Qt::QueuedConnection);
  return w;
}

void SyncScrollBars(TCustomGrid* grid, QWidget* widget) {
  auto* w = dynamic_cast<TGridWidget*>(widget);
  if (w == nullptr) return;
  w->syncing_ = true;
  for (int bar : {SB_HORZ, SB_VERT}) {
    QScrollBar* b = bar == SB_VERT ? w->verticalScrollBar() : w->horizontalScrollBar();
    int max = 0, pos = 0, page = 1;
    grid->ScrollRange(bar, max, pos, page);
    const TScrollStyle s = grid->ScrollBars();
    const bool wanted = s == ssBoth || (bar == SB_VERT ? s == ssVertical : s == ssHorizontal);
    (bar == SB_VERT
         ? w->setVerticalScrollBarPolicy(wanted ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff)
         : w->setHorizontalScrollBarPolicy(wanted ? Qt::ScrollBarAsNeeded
                                                  : Qt::ScrollBarAlwaysOff));
    b->setRange(0, std::max(0, max));
    b->setPageStep(page);
    b->setSingleStep(1);
    b->setSliderPosition(pos);
  }
  w->syncing_ = false;
  w->viewport()->update();
}

void SyncEditor(TCustomGrid* grid, QWidget* widget) {
  auto* w = dynamic_cast<TGridWidget*>(widget);
  if (w == nullptr) return;
  if (!grid->EditorMode()) {
    if (QLineEdit* e = w->Editor()) e->hide();
    return;
  }
  QLineEdit* e = w->MakeEditor();
  const TRect r = grid->CellRect(grid->Col(), grid->Row());
  if (r.IsEmpty()) {
    e->hide();
    return;
  }
  e->setGeometry(r.ToQRect());
  if (e->text() != grid->EditorText()) e->setText(grid->EditorText());
  e->setFont(grid->Font()->ToQFont());
  e->setMaxLength(grid->GetMaxLength() > 0 ? grid->GetMaxLength() : 32767);
  e->setEchoMode(grid->GetPasswordChar().isNull() ? QLineEdit::Normal : QLineEdit::Password);
  e->setReadOnly(!grid->CanEditModify());
  if (!e->isVisible()) {
    e->show();
    e->selectAll();
    if (w->hasFocus()) e->setFocus();
  }
}

QWidget* EditorWidget(QWidget* widget) {
  auto* w = dynamic_cast<TGridWidget*>(widget);
  return w != nullptr ? w->Editor() : nullptr;
}

}  // namespace gridwidget
