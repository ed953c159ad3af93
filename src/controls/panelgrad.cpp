#include "panelgrad.h"

#include <algorithm>

TColor ShiftColor(TColor color, int delta) {
  const TColor rgb = ColorToRGB(color);
  auto shift = [delta](int c) { return std::clamp(c + delta, 0, 255); };
  return RGB(shift(GetRValue(rgb)), shift(GetGValue(rgb)), shift(GetBValue(rgb)));
}

ORV_DESCRIBE(TPanelGrad) {
  c.Prop("GradKind", &TPanelGrad::GradKind, &TPanelGrad::SetGradKind).Default(gkNone);
  c.Prop("Color1", &TPanelGrad::Color1, &TPanelGrad::SetColor1).Type(TColorType());
  c.Prop("Color2", &TPanelGrad::Color2, &TPanelGrad::SetColor2).Type(TColorType());
  c.Prop("GradDensityPercent", &TPanelGrad::GradDensityPercent, &TPanelGrad::SetGradDensityPercent)
      .Default(50);
  c.Prop("ResizeParent", &TPanelGrad::ResizeParent, &TPanelGrad::SetResizeParent).Default(0);
  c.Prop("SaveSelfWidth", &TPanelGrad::SaveSelfWidth, &TPanelGrad::SetSaveSelfWidth).Default(-1);
  c.Prop("SaveSelfHeight", &TPanelGrad::SaveSelfHeight, &TPanelGrad::SetSaveSelfHeight).Default(-1);
  c.Prop("SaveParentWidth", &TPanelGrad::SaveParentWidth, &TPanelGrad::SetSaveParentWidth)
      .Default(-1);
  c.Prop("SaveParentHeight", &TPanelGrad::SaveParentHeight, &TPanelGrad::SetSaveParentHeight)
      .Default(-1);
  c.Prop("HotColor", &TPanelGrad::HotColor, &TPanelGrad::SetHotColor)
      .Type(TColorType())
      .Default(TPanelGrad::kNoColor);
  c.Prop("HotColor1", &TPanelGrad::HotColor1, &TPanelGrad::SetHotColor1)
      .Type(TColorType())
      .Default(TPanelGrad::kNoColor);
  c.Prop("HotColor2", &TPanelGrad::HotColor2, &TPanelGrad::SetHotColor2)
      .Type(TColorType())
      .Default(TPanelGrad::kNoColor);
  c.Prop("HotFontColor", &TPanelGrad::HotFontColor, &TPanelGrad::SetHotFontColor)
      .Type(TColorType())
      .Default(TPanelGrad::kNoColor);
  c.Prop("OnHot", &TPanelGrad::OnHot);
}

TPanelGrad::TPanelGrad(TComponent* owner) : TPanel(owner), color1_(Color()), color2_(Color()) {}

void TPanelGrad::ColorsChanged() { Perform(CM_COLORCHANGED); }

void TPanelGrad::SetGradKind(TGradientKind v) {
  gradKind_ = v;
  ColorsChanged();
}
void TPanelGrad::SetColor1(TColor v) {
  color1_ = v;
  ColorsChanged();
}
void TPanelGrad::SetColor2(TColor v) {
  color2_ = v;
  ColorsChanged();
}
void TPanelGrad::SetGradDensityPercent(int v) {
  density_ = std::clamp(v, -128, 127);
  ColorsChanged();
}

void TPanelGrad::SetResizeParent(bool v) {
  resizeParent_ = v;
  saved_[0] = Width();
  saved_[1] = Height();
  saved_[2] = Parent() != nullptr ? Parent()->Width() : -1;
  saved_[3] = Parent() != nullptr ? Parent()->Height() : -1;
}

// ---- Hot colours ------------------------------------------------------------------------

void TPanelGrad::SwapColor(int index) {
  TColor current;
  switch (index) {
    case 0: current = Color(); break;
    case 1: current = color1_; break;
    case 2: current = color2_; break;
    default: current = Font()->Color(); break;
  }
  const TColor other = hot_[size_t(index)];
  hot_[size_t(index)] = current;
  switch (index) {
    case 0: SetColor(other); break;
    case 1: color1_ = other; break;
    case 2: color2_ = other; break;
    default: Font()->SetColor(other); break;
  }
  swapped_[size_t(index)] = !swapped_[size_t(index)];
}

void TPanelGrad::EnterHot() {
  if (isHot_) return;
  isHot_ = true;
  for (int i = 0; i < 4; ++i)
    if (hot_[size_t(i)] != kNoColor) SwapColor(i);
  Invalidate();
}

void TPanelGrad::LeaveHot() {
  if (!isHot_ || !Enabled() || MouseCapture()) return;
  bool allow = true;
  OnHot(this, 1, allow);
  if (!allow) return;
  isHot_ = false;
  bool changed = false;
  for (int i = 0; i < 4; ++i) {
    if (swapped_[size_t(i)]) {
      SwapColor(i);
      changed = true;
    }
  }
  if (changed) Invalidate();
}

void TPanelGrad::WndProc(TMessage& message) {
  TPanel::WndProc(message);
  if (message.Msg == CM_MOUSELEAVE) LeaveHot();
}

// ---- Ordered alignment ------------------------------------------------------------------

namespace {
int SideIndex(TAlign a) {
  switch (a) {
    case alTop: return 0;
    case alBottom: return 1;
    case alLeft: return 2;
    case alRight: return 3;
    default: return -1;
  }
}
}  // namespace

void TPanelGrad::BuildOrders() {
  ordersBuilt_ = true;
  for (TControl* c : ControlList()) {
    const int side = SideIndex(c->Align());
    if (side < 0) continue;
    const bool byTop = side < 2;
    auto& list = orders_[size_t(side)];
    auto at = std::find_if(list.begin(), list.end(), [&](const auto& e) {
      return byTop ? c->Top() < e.first->Top() : c->Left() < e.first->Left();
    });
    list.insert(at, {c, byTop ? c->Height() : c->Width()});
  }
}

int TPanelGrad::PlaceOf(TControl* control, TAlign align) const {
  const int side = SideIndex(align);
  if (side < 0) return -1;
  const auto& list = orders_[size_t(side)];
  for (size_t i = 0; i < list.size(); ++i)
    if (list[i].first == control) return int(i);
  return -1;
}

void TPanelGrad::AlignControlsIn(TControl* control, TRect& rect) {
  if (!ordersBuilt_) BuildOrders();
  TPanel::AlignControlsIn(control, rect);
}

bool TPanelGrad::AlignInsertBefore(TControl* c1, TControl* c2, TAlign align) const {
  const int p1 = PlaceOf(c1, align);
  const int p2 = PlaceOf(c2, align);
  if (p1 < 0 || p2 < 0) return TPanel::AlignInsertBefore(c1, c2, align);
  // Top and left: the earlier place first; bottom and right: the later one lies nearer the edge.
  return align == alTop || align == alLeft ? p1 < p2 : p1 > p2;
}

void TPanelGrad::ControlsListChanged(TControl* control, bool inserting) {
  TPanel::ControlsListChanged(control, inserting);
  if (inserting) return;
  for (auto& list : orders_)
    list.erase(std::remove_if(list.begin(), list.end(),
                              [control](const auto& e) { return e.first == control; }),
               list.end());
}
