#include "orvsplitter.h"

#include "platform/rtl/scopeexit.h"
#include "platform/ui/forms.h"

// ---- TOrvSplitter -----------------------------------------------------------------------

ORV_DESCRIBE(TOrvSplitter) {}

TOrvSplitter::TOrvSplitter(TComponent* owner) : TSplitter(owner) { SetResizeStyle(rsPattern); }

namespace {
bool Vertical(TAlign a) { return a == alLeft || a == alRight; }
}  // namespace

void TOrvSplitter::Paint() {
  TSplitter::Paint();
  TCanvas& c = *Canvas();
  const TColor color = TColor(ColorToRGB(Color()) ^ 0x555555);
  c.Pen()->SetColor(color);
  c.Brush()->SetColor(color);
  const int w = Width(), h = Height();
  if (!Vertical(Align())) {
    const int top = 0, bottom = h;
    c.Polygon({TPoint{h, bottom - 1}, TPoint{2 * h - 1, top}, TPoint{3 * h - 2, bottom - 1}});
    c.Polygon({TPoint{w - h - 1, top}, TPoint{w - 2 * h, bottom - 1}, TPoint{w - 3 * h + 1, top}});
  } else {
    const int left = 0, right = w;
    c.Polygon({TPoint{right - 1, w}, TPoint{left, 2 * w - 1}, TPoint{right - 1, 3 * w - 2}});
    c.Polygon({TPoint{left, h - w - 1}, TPoint{right - 1, h - 2 * w}, TPoint{left, h - 3 * w + 1}});
  }
}

void TOrvSplitter::DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TSplitter::DoMouseUp(button, shift, x, y);
  GripClick(Vertical(Align()) ? y : x);
}

void TOrvSplitter::GripClick(int c) {
  const bool vertical = Vertical(Align());
  const int a = vertical ? Left() : Top();
  const int b = vertical ? Width() : Height();
  const int d = vertical ? Height() : Width();
  const int far = Screen()->Width() + Screen()->Height();
  int target = a;
  auto restore = [&] {
    target = remembered_ - b / 2;
    remembered_ = 0;
  };
  if (c < 4 * b) {
    if (remembered_ == 0) {
      remembered_ = a + b / 2;
      target = 0;
    } else if (a == 0) {
      restore();
    } else {
      target = 0;
    }
  } else if (c > d - 4 * b) {
    if (remembered_ == 0) {
      remembered_ = a + b / 2;
      target = far;
    } else if (a == 0) {
      target = far;
    } else {
      restore();
    }
  } else if (remembered_ != 0) {
    restore();
  }
  if (target != a) MoveTo(target);
}

void TOrvSplitter::MoveTo(int position) {
  const int minSize = MinSize();
  SetMinSize(0);
  auto back = ScopeExit([&] { SetMinSize(minSize); });
  SetPosition(position);
}

// ---- TSplitterPanel ---------------------------------------------------------------------

ORV_DESCRIBE(TSplitterPanel) {
  c.Prop("Splitter", &TSplitterPanel::Splitter).Stored(false);
  c.Prop("Align", &TControl::Align, &TSplitterPanel::SetAlign).Default(alNone);
}

TSplitterPanel::TSplitterPanel(TComponent* owner) : TOrvPanel(owner) {
  SetBounds(Left(), Top(), 2, 2);
  if (owner != nullptr) SetParentComponent(owner);
}

void TSplitterPanel::SetAlign(TAlign v) {
  TOrvPanel::SetAlign(v);
  PlaceSplitter();
}

void TSplitterPanel::PlaceSplitter() {
  const TAlign a = Align();
  if (a != alTop && a != alBottom && a != alLeft && a != alRight) return;
  const bool big = Width() > 1 && Height() > 1;
  if (splitter_ == nullptr && Visible() && big) {
    splitter_ = new TOrvSplitter(Owner());
    splitter_->SetParent(Parent());
    splitter_->FreeNotification(this);
  }
  if (splitter_ == nullptr) return;
  splitter_->SetVisible(Visible() && big);
  switch (a) {
    case alTop: splitter_->SetBounds(Left(), Top() + Height(), Width(), 4); break;
    case alBottom: splitter_->SetBounds(Left(), Top() - 4, Width(), 4); break;
    case alLeft: splitter_->SetBounds(Left() + Width(), Top(), 4, Height()); break;
    default: splitter_->SetBounds(Left() - 4, Top(), 4, Height()); break;
  }
  splitter_->SetAlign(a);
}

void TSplitterPanel::WndProc(TMessage& message) {
  TOrvPanel::WndProc(message);
  if (message.Msg == CM_VISIBLECHANGED) VisibleChanged();
}

void TSplitterPanel::VisibleChanged() {
  if (Width() > 1 && Height() > 1) {
    savedWidth_ = Width();
    savedHeight_ = Height();
  }
  const bool sideways = Align() == alLeft || Align() == alRight;
  const bool upright = Align() == alTop || Align() == alBottom;
  if (Visible()) {
    if (sideways && savedWidth_ > 0) SetWidth(savedWidth_);
    if (upright && savedHeight_ > 0) SetHeight(savedHeight_);
  } else {
    if (sideways) SetWidth(1);
    if (upright) SetHeight(1);
  }
  if (splitter_ != nullptr)
    splitter_->SetVisible(Visible());
  else if (Visible())
    PlaceSplitter();
}

void TSplitterPanel::Notification(TComponent* component, TOperation operation) {
  TOrvPanel::Notification(component, operation);
  if (operation == opRemove && component != nullptr && component == splitter_) splitter_ = nullptr;
}
