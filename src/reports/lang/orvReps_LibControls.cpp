#include "reports/lang/orvReps_LibControls.h"

#include "platform/classes/typinfo.h"

namespace orvReps_Lib {

void MeasureText(TCanvas* canvas, TFont* font, const QString& text, int& width, int& height) {
  if (font != nullptr) canvas->SetFont(font);
  width = canvas->TextWidth(text);
  height = canvas->TextHeight(text);
}

int ListItemsHeight(TCustomListBox* list) {
  int border = 2;
  if (const TPropInfo* p = GetPropInfo(list, QStringLiteral("BorderStyle")))
    border = GetOrdProp(list, p) == bsSingle ? 2 : 0;
  int total = border;
  for (int i = 0; i < list->Items()->Count(); ++i) {
    int h = list->ItemHeight();
    list->OnMeasureItem(list, i, h);
    total += h;
  }
  return total;
}

TWinControl* FindParentOfClass(TControl* control, TClass cls) {
  for (TWinControl* p = control != nullptr ? control->Parent() : nullptr; p != nullptr;
       p = p->Parent())
    if (p->InheritsFrom(cls)) return p;
  return nullptr;
}

bool SystemSupportsDropShadow() { return false; }

void AddDropShadow(TCreateParams& params) {
  if (SystemSupportsDropShadow()) params.WindowClassStyle |= kDropShadowClassStyle;
}

}  // namespace orvReps_Lib
