#pragma once
// A splitter with two grips that collapse the split to either end with one click and restore
// it with another, and a panel that makes and places its own splitter when aligned to a side
// and keeps its size across hiding.
//
// Collapse arithmetic (after every mouse release): a is the splitter's position across its
// axis, b its thickness, c the mouse along its length, d its length, R the remembered place
// (0: none). Near the start (c < 4b): collapse to 0 remembering a + b/2, or restore from 0.
// Near the end (c > d - 4b): collapse to the far end (screen width + height) or, from 0,
// go there; otherwise restore. Elsewhere a remembered place is restored. The move goes
// through the splitter's position operation with no minimum size, so a side can close.
#include "orvpanels.h"

class TOrvSplitter : public TSplitter {
  ORV_CLASS(TOrvSplitter, TSplitter)
  explicit TOrvSplitter(TComponent* owner);
  int Remembered() const { return remembered_; }
  void Paint() override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  // The collapse rule for a release at c along the splitter (tests call it directly).
  void GripClick(int c);

 private:
  void MoveTo(int position);
  int remembered_ = 0;
};

class TSplitterPanel : public TOrvPanel {
  ORV_CLASS(TSplitterPanel, TOrvPanel)
  explicit TSplitterPanel(TComponent* owner);
  TSplitter* Splitter() const { return splitter_; }
  // The platform's alignment, then the panel's own splitter for the four sides.
  void SetAlign(TAlign v);
  void Notification(TComponent* component, TOperation operation) override;
  void WndProc(TMessage& message) override;

 private:
  void PlaceSplitter();
  void VisibleChanged();

  TSplitter* splitter_ = nullptr;
  int savedWidth_ = 0;
  int savedHeight_ = 0;
};
