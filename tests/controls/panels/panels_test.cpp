// Panels, group boxes, splitters and the ordered panel.
#include "controls/orvgroupbox.h"
#include "controls/orvpanels.h"
#include "controls/orvsplitter.h"
#include "controls/panelgrad.h"

#include "db/orvdbintf.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/data/memdataset.h"
#include "platform/ui/forms.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A list dataset with an applied filter.
class TFilteredData : public TMemDataSet, public IListFilter {
  ORV_CLASS(TFilteredData, TMemDataSet)
  explicit TFilteredData(TComponent* owner) : TMemDataSet(owner) {}
  QString GetFilterText() override { return Filter; }
  void SetFilterText(const QString& text) override { Filter = text; }
  QString Filter;
};

// A form that keeps a panel list, as the base form does.
class TPanelForm : public TForm, public IOrvPanelList {
  ORV_CLASS(TPanelForm, TForm)
  explicit TPanelForm(TComponent* owner) : TForm(owner) {}
  void Add(TOrvPanel* p) override { list.Add(p); }
  void Remove(TOrvPanel* p) override { list.Remove(p); }
  TOrvPanel* Get(int i) override { return list.Get(i); }
  int Count() override { return list.Count(); }
  TOrvPanelList list;
};

}  // namespace

ORV_DESCRIBE(TFilteredData) { c.Implements<IListFilter>(); }
ORV_DESCRIBE(TPanelForm) { c.Implements<IOrvPanelList>(); }

namespace {

TEST(FilterGroupBox, CaptionShowsCountAndFilterOfAnOpenDataset) {
  TForm form(nullptr);
  auto* ds = new TFilteredData(&form);
  ds->FieldDefs().Add("ID", ftInteger);
  ds->FieldDefs().Items(0)->CreateField(ds);
  auto* source = new TDataSource(&form);
  source->SetDataSet(ds);
  auto* box = new TOrvFilterGroupBox(&form);
  box->SetCaption(S("Документы"));
  box->SetDataSource(source);
  EXPECT_EQ(box->Caption(), S("Документы")) << "a closed dataset: the plain caption";
  ds->Filter = S("Сумма > 10");
  ds->CreateDataSet();
  for (int id : {1, 2, 3}) ds->AppendRecord({id});
  struct Case {
    bool count, filter;
    const char* want;
  };
  const Case cases[] = {{true, true, "Документы [3]  Сумма > 10"},
                        {true, false, "Документы [3]"},
                        {false, true, "Документы  Сумма > 10"},
                        {false, false, "Документы"}};
  for (const Case& c : cases) {
    box->SetRecCountVisible(c.count);
    box->SetFilterVisible(c.filter);
    EXPECT_EQ(box->Caption(), S(c.want));
  }
  box->SetRecCountVisible(true);
  box->SetFilterVisible(true);
  ds->Delete();
  EXPECT_EQ(box->Caption(), S("Документы [2]  Сумма > 10"));
  EXPECT_EQ(box->PlainCaption(), S("Документы"));
  box->SetCaption("&");
  EXPECT_EQ(box->Caption(), "") << "'&' shows nothing, also over an open dataset";
  ds->Close();
  box->SetCaption(S("Счета"));
  EXPECT_EQ(box->Caption(), S("Счета"));
  delete source;
  EXPECT_EQ(box->DataSource(), nullptr);
  EXPECT_EQ(TOrvGroupBox(nullptr).BorderWidth(), 1);
}

TEST(OrvSplitter, GripsCollapseAndRestore) {
  TForm form(nullptr);
  form.SetClientWidth(400);
  form.SetClientHeight(300);
  auto* top = new TPanel(&form);
  top->SetParent(&form);
  top->SetHeight(100);
  top->SetAlign(alTop);
  auto* split = new TOrvSplitter(&form);
  split->SetParent(&form);
  split->SetTop(150);
  split->SetAlign(alTop);
  split->SetHeight(4);
  auto* client = new TPanel(&form);
  client->SetParent(&form);
  client->SetAlign(alClient);
  ASSERT_EQ(split->Top(), 100);
  const int b = split->Height();
  ASSERT_EQ(b, 4);
  ASSERT_EQ(split->Width(), 400);
  // The first grip: collapse to the start, then restore.
  split->GripClick(2);
  EXPECT_EQ(top->Height(), 0);
  EXPECT_EQ(split->Top(), 0);
  EXPECT_EQ(split->Remembered(), 100 + b / 2);
  split->GripClick(2);
  EXPECT_EQ(split->Top(), 100);
  EXPECT_EQ(split->Remembered(), 0);
  // The second grip: collapse to the far end; in between restores.
  split->GripClick(split->Width() - 2);
  EXPECT_EQ(client->Height(), 0);
  EXPECT_EQ(split->Top(), 300 - b);
  split->GripClick(200);
  EXPECT_EQ(split->Top(), 100);
  // A click between the grips without a remembered place changes nothing.
  split->GripClick(200);
  EXPECT_EQ(split->Top(), 100);
  EXPECT_EQ(split->MinSize(), 30) << "the minimum size is back after each move";
}

TEST(OrvSplitter, GripTrianglesAreDrawn) {
  TOrvSplitter split(nullptr);
  split.SetBounds(0, 0, 200, 5);
  split.SetAlign(alTop);
  TRecordingCanvas canvas;
  split.PaintTo(canvas);
  EXPECT_EQ(canvas.Calls.filter("Polygon").size(), 2) << canvas.Calls.join("|").toStdString();
}

TEST(SplitterPanel, MakesItsSplitterAndKeepsItsSizeAcrossHiding) {
  TForm form(nullptr);
  form.SetClientWidth(400);
  form.SetClientHeight(300);
  auto* panel = new TSplitterPanel(&form);
  EXPECT_EQ(panel->Parent(), &form) << "placed on its owner";
  EXPECT_EQ(panel->Width(), 2);
  panel->SetWidth(120);
  panel->SetAlign(alLeft);
  ASSERT_NE(panel->Splitter(), nullptr);
  TSplitter* split = panel->Splitter();
  EXPECT_EQ(split->Owner(), &form);
  EXPECT_EQ(split->Align(), alLeft);
  EXPECT_EQ(split->Width(), 4);
  EXPECT_EQ(split->Left(), 120) << "right of the panel";
  panel->SetVisible(false);
  EXPECT_EQ(panel->Width(), 1);
  EXPECT_FALSE(split->Visible());
  panel->SetVisible(true);
  EXPECT_EQ(panel->Width(), 120);
  EXPECT_TRUE(split->Visible());
  delete split;
  EXPECT_EQ(panel->Splitter(), nullptr);
}

TEST(PanelGrad, KeepsTheFirstOrderOfEachSide) {
  TForm form(nullptr);
  form.SetClientWidth(300);
  form.SetClientHeight(300);
  // Filled as a stored form fills it: no alignment before every child is there.
  auto* grad = new TPanelGrad(&form);
  grad->DisableAlign();
  grad->SetParent(&form);
  grad->SetBounds(0, 0, 300, 300);
  grad->SetBevelOuter(bvNone);
  std::vector<TPanel*> tops;
  for (int i = 0; i < 3; ++i) {
    auto* p = new TPanel(&form);
    p->SetParent(grad);
    p->SetBounds(0, i * 40, 100, 30);
    p->SetAlign(alTop);
    tops.push_back(p);
  }
  auto* right1 = new TPanel(&form);
  right1->SetParent(grad);
  right1->SetBounds(250, 200, 50, 50);
  right1->SetAlign(alRight);
  auto* right2 = new TPanel(&form);
  right2->SetParent(grad);
  right2->SetBounds(200, 200, 40, 50);
  right2->SetAlign(alRight);
  grad->EnableAlign();
  EXPECT_EQ(tops[0]->Top(), 0);
  EXPECT_EQ(tops[1]->Top(), 30);
  EXPECT_EQ(tops[2]->Top(), 60);
  EXPECT_EQ(right1->Left(), 250);
  EXPECT_EQ(right2->Left(), 210);
  // Moved to the top, resized or shown again: each keeps its first place.
  tops[2]->SetTop(0);
  EXPECT_EQ(tops[2]->Top(), 60);
  tops[0]->SetHeight(50);
  EXPECT_EQ(tops[1]->Top(), 50);
  EXPECT_EQ(tops[2]->Top(), 80);
  tops[1]->SetVisible(false);
  tops[1]->SetVisible(true);
  EXPECT_EQ(tops[1]->Top(), 50);
  right2->SetLeft(290);
  EXPECT_EQ(right1->Left(), 250) << "the later one of the right side lies nearer the edge";
}

TEST(PanelGrad, HotColoursAndShiftColor) {
  TPanelGrad grad(nullptr);
  EXPECT_EQ(grad.Color1(), grad.Color());
  EXPECT_EQ(grad.GradDensityPercent(), 50);
  EXPECT_EQ(grad.SaveSelfWidth(), -1);
  grad.SetBounds(0, 0, 80, 20);
  grad.SetResizeParent(true);
  EXPECT_EQ(grad.SaveSelfWidth(), 80);
  EXPECT_EQ(grad.SaveParentWidth(), -1);
  const TColor normal = grad.Color();
  grad.SetHotColor(clRed);
  grad.EnterHot();
  EXPECT_EQ(grad.Color(), clRed);
  struct TVeto : TObject {
    bool Allow = false;
    int States = 0;
    void Hot(TObject*, int state, bool& allow) {
      States += state;
      allow = Allow;
    }
  } veto;
  grad.OnHot.Bind<&TVeto::Hot>(&veto);
  grad.Perform(CM_MOUSELEAVE);
  EXPECT_TRUE(grad.Hot());
  EXPECT_EQ(grad.Color(), clRed);
  veto.Allow = true;
  grad.Perform(CM_MOUSELEAVE);
  EXPECT_FALSE(grad.Hot());
  EXPECT_EQ(grad.Color(), normal);
  EXPECT_EQ(grad.HotColor(), clRed);
  EXPECT_EQ(veto.States, 2);

  EXPECT_EQ(ShiftColor(RGB(10, 250, 128), 10), RGB(20, 255, 138));
  EXPECT_EQ(ShiftColor(RGB(10, 250, 128), -20), RGB(0, 230, 108));
}

TEST(OrvPanel, LeavesItsFormsListWhenFreedOrItsContentGoes) {
  TPanelForm form(nullptr);
  auto* a = new TOrvPanel(&form);
  auto* b = new TOrvPanel(&form);
  form.Add(a);
  form.Add(b);
  delete a;
  ASSERT_EQ(form.Count(), 1);
  EXPECT_EQ(form.Get(0), b);
  auto* content = new TOrvxForm(&form);
  b->SetActivePanel(content);
  delete content;
  EXPECT_EQ(b->ActivePanel(), nullptr);
  EXPECT_EQ(form.Count(), 0);
  b->SetScriptID("script@lib.so");
  EXPECT_EQ(b->ScriptID(), "") << "write-only";
  EXPECT_THROW(form.Get(0), EListError);
}

TEST(PanelText, AFormWithTheseControlsSurvivesComponentText) {
  RegisterPanelClasses();
  RegisterClasses({TForm::StaticClass(), TPanel::StaticClass()});
  TForm form(nullptr);
  form.SetName("PanelsForm");
  auto* box = new TOrvFilterGroupBox(&form);
  box->SetName("Box");
  box->SetParent(&form);
  box->SetCaption(S("Отбор"));
  box->SetRecCountVisible(false);
  auto* grad = new TPanelGrad(&form);
  grad->SetName("Grad");
  grad->SetParent(&form);
  grad->SetGradKind(gkVertical);
  grad->SetHotColor(clRed);
  auto* panel = new TOrvPanel(&form);
  panel->SetName("Panel");
  panel->SetParent(&form);
  panel->SetActiveClassID("{X}");
  panel->SetGradient(true);
  auto* btn = new TAlignedBitBtn(&form);
  btn->SetName("Btn");
  btn->SetParent(&form);
  btn->SetAlign(alRight);
  const QString text = WriteComponentText(&form);
  EXPECT_TRUE(text.contains("Align = alRight")) << text.toStdString();
  TForm copy(nullptr);
  ReadComponentText(text, &copy);
  auto* box2 = dynamic_cast<TOrvFilterGroupBox*>(copy.FindComponent("Box"));
  ASSERT_NE(box2, nullptr);
  EXPECT_EQ(box2->Caption(), S("Отбор"));
  EXPECT_FALSE(box2->RecCountVisible());
  auto* grad2 = dynamic_cast<TPanelGrad*>(copy.FindComponent("Grad"));
  ASSERT_NE(grad2, nullptr);
  EXPECT_EQ(grad2->GradKind(), gkVertical);
  EXPECT_EQ(grad2->HotColor(), clRed);
  auto* panel2 = dynamic_cast<TOrvPanel*>(copy.FindComponent("Panel"));
  ASSERT_NE(panel2, nullptr);
  EXPECT_EQ(panel2->ActiveClassID(), "{X}");
  EXPECT_TRUE(panel2->Gradient());
  EXPECT_EQ(WriteComponentText(&copy), text);
}

}  // namespace
