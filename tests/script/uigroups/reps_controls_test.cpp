// The report dialogs' control helpers.
#include "platform/ui/extctrls.h"
#include "platform/ui/forms.h"
#include "reports/lang/orvReps_LibControls.h"

#include <gtest/gtest.h>

namespace {

class Measurer : public TComponent {
  ORV_CLASS(Measurer, TComponent)
  explicit Measurer(TComponent* owner = nullptr) : TComponent(owner) {}
  void Measure(TObject*, int index, int& height) { height = index == 1 ? 30 : height; }
};
ORV_DESCRIBE(Measurer) {}

TEST(RepsControls, TextExtentsListHeightsParentsAndShadows) {
  TRecordingCanvas canvas;
  TFont font;
  font.SetSize(14);
  int w = 0, h = 0;
  orvReps_Lib::MeasureText(&canvas, &font, "абв", w, h);
  EXPECT_EQ(w, 3 * TRecordingCanvas::CharWidth);
  EXPECT_EQ(h, TRecordingCanvas::CharHeight);
  EXPECT_EQ(canvas.Font()->Size(), 14);

  TListBox list(nullptr);
  list.SetItemHeight(16);
  list.Items()->SetText("a\r\nb\r\nc");
  EXPECT_EQ(orvReps_Lib::ListItemsHeight(&list), 2 + 3 * 16);
  Measurer m;
  list.OnMeasureItem.Bind<&Measurer::Measure>(&m);
  EXPECT_EQ(orvReps_Lib::ListItemsHeight(&list), 2 + 16 + 30 + 16);

  auto* form = static_cast<TForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  auto* panel = new TPanel(form);
  panel->SetParent(form);
  auto* edit = new TEdit(form);
  edit->SetParent(panel);
  EXPECT_EQ(orvReps_Lib::FindParentOfClass(edit, TPanel::StaticClass()), panel);
  EXPECT_EQ(orvReps_Lib::FindParentOfClass(edit, TCustomForm::StaticClass()), form);
  EXPECT_EQ(orvReps_Lib::FindParentOfClass(edit, TListBox::StaticClass()), nullptr);
  EXPECT_EQ(orvReps_Lib::FindParentOfClass(form, TPanel::StaticClass()), nullptr);
  form->Free();

  orvReps_Lib::TCreateParams params{1, 2, 3};
  orvReps_Lib::AddDropShadow(params);
  EXPECT_EQ(params.WindowClassStyle, 3);
}

}  // namespace
