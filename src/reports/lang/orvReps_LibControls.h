#pragma once
// The report dialogs' control helpers: text extents, the height a list's items need, the
// nearest parent of a class, and the drop-shadow creation style.
#include "platform/ui/stdctrls.h"

namespace orvReps_Lib {

// The window class style a drop shadow would add.
inline constexpr int kDropShadowClassStyle = 0x20000;

// What a window is created with; the layer makes its widgets itself, so only the class style
// is kept for those who ask.
struct TCreateParams {
  int Style = 0;
  int ExStyle = 0;
  int WindowClassStyle = 0;
};

// The canvas takes the font; width and height of the text in it.
void MeasureText(TCanvas* canvas, TFont* font, const QString& text, int& width, int& height);
// 2 for a single border, plus the height of every item as OnMeasureItem reports it (the
// list's ItemHeight when it has no handler).
int ListItemsHeight(TCustomListBox* list);
// The nearest windowed parent of the class (or derived from it); nullptr when none.
TWinControl* FindParentOfClass(TControl* control, TClass cls);
// No system here offers the shadow: the parameters stay as they are.
bool SystemSupportsDropShadow();
void AddDropShadow(TCreateParams& params);

}  // namespace orvReps_Lib
