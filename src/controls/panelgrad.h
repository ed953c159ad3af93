#pragma once
// A panel that aligns its children on each side in the order they had at its first
// alignment: two children of one side keep their remembered places whatever their bounds
// say later (a moved, resized or re-shown child goes back to its place). It also stores
// gradient and hot-tracking colours, which it does not paint; leaving the hot state swaps the
// hot colours back unless OnHot refuses.
#include "platform/ui/extctrls.h"

#include <array>
#include <vector>

ORV_ENUM(TGradientKind, gkNone, gkHorizontal, gkVertical, gkRightDown, gkRightUp, gkCenterHor,
         gkCenterVer, gkCenterSquare, gkCenterRhomb, gkDiagRightDown, gkDiagRightUp,
         gkCornerLeftTop, gkCornerRightTop, gkCornerRightBottom, gkCornerLeftBottom)
ORV_EVENT(THotEvent, void(TObject*, int, bool&),
          "procedure(Sender: TObject; State: Integer; var Allow: Boolean)")

// Each of red, green and blue moved by delta, kept within 0..255.
TColor ShiftColor(TColor color, int delta);

class TPanelGrad : public TPanel {
  ORV_CLASS(TPanelGrad, TPanel)
  static constexpr TColor kNoColor = TColor(0x1FFFFFFF);
  explicit TPanelGrad(TComponent* owner);

  TGradientKind GradKind() const { return gradKind_; }
  void SetGradKind(TGradientKind v);
  TColor Color1() const { return color1_; }
  void SetColor1(TColor v);
  TColor Color2() const { return color2_; }
  void SetColor2(TColor v);
  int GradDensityPercent() const { return density_; }
  void SetGradDensityPercent(int v);
  bool ResizeParent() const { return resizeParent_; }
  // Also takes a snapshot of the panel's and its parent's sizes.
  void SetResizeParent(bool v);
  int SaveSelfWidth() const { return saved_[0]; }
  void SetSaveSelfWidth(int v) { saved_[0] = v; }
  int SaveSelfHeight() const { return saved_[1]; }
  void SetSaveSelfHeight(int v) { saved_[1] = v; }
  int SaveParentWidth() const { return saved_[2]; }
  void SetSaveParentWidth(int v) { saved_[2] = v; }
  int SaveParentHeight() const { return saved_[3]; }
  void SetSaveParentHeight(int v) { saved_[3] = v; }
  TColor HotColor() const { return hot_[0]; }
  void SetHotColor(TColor v) { hot_[0] = v; }
  TColor HotColor1() const { return hot_[1]; }
  void SetHotColor1(TColor v) { hot_[1] = v; }
  TColor HotColor2() const { return hot_[2]; }
  void SetHotColor2(TColor v) { hot_[2] = v; }
  TColor HotFontColor() const { return hot_[3]; }
  void SetHotFontColor(TColor v) { hot_[3] = v; }

  bool Hot() const { return isHot_; }
  // Enters the hot state: every hot colour that is set is swapped in.
  void EnterHot();
  void WndProc(TMessage& message) override;

  THotEvent OnHot;

 protected:
  void AlignControlsIn(TControl* control, TRect& rect) override;
  bool AlignInsertBefore(TControl* c1, TControl* c2, TAlign align) const override;
  void ControlsListChanged(TControl* control, bool inserting) override;

 private:
  void ColorsChanged();
  void LeaveHot();
  void SwapColor(int index);
  void BuildOrders();
  // The place of a child in its side's order, -1 when it has none.
  int PlaceOf(TControl* control, TAlign align) const;

  TGradientKind gradKind_ = gkNone;
  TColor color1_;
  TColor color2_;
  int density_ = 50;
  bool resizeParent_ = false;
  std::array<int, 4> saved_{-1, -1, -1, -1};
  std::array<TColor, 4> hot_{kNoColor, kNoColor, kNoColor, kNoColor};
  std::array<bool, 4> swapped_{};
  bool isHot_ = false;
  // Children of the top, bottom, left and right sides in their first order, with the size
  // each had then.
  std::array<std::vector<std::pair<TControl*, int>>, 4> orders_;
  bool ordersBuilt_ = false;
};
