#include "controls/textstyles.h"

#include "core/orvsys.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"

#include <gtest/gtest.h>

namespace {

// Counts OnChange calls.
class TChangeCounter : public TObject {
 public:
  int Calls = 0;
  TObject* Last = nullptr;
  void Changed(TObject* sender) {
    ++Calls;
    Last = sender;
  }
};

// Records what a collection hears: "item N" or "all".
class TRecordingFormats : public TTextFormats {
 public:
  QStringList Heard;

 protected:
  void Update(TCollectionItem* item) override {
    Heard << (item == nullptr ? QStringLiteral("all")
                              : QStringLiteral("item %1").arg(item->Index()));
  }
};

// Records each line with the colour of the pen drawing it.
class TPenCanvas : public TRecordingCanvas {
 public:
  void LineTo(int x, int y) override {
    Calls << QStringLiteral("LineTo %1,%2 %3 w%4")
                 .arg(x)
                 .arg(y)
                 .arg(Pen()->Color(), 6, 16, QLatin1Char('0'))
                 .arg(Pen()->Width());
    SetPenPos(TPoint{x, y});
  }
};

TEST(TextFormat, StandaloneDefaultsAndInheritance) {
  TTextFormat parent(nullptr);
  EXPECT_EQ(parent.Color(), clBtnFace);
  EXPECT_EQ(parent.Layout(), tlBottom);
  EXPECT_EQ(parent.Alignment(), taLeftJustify);
  EXPECT_FALSE(parent.IsChanged());

  TTextFormat child(nullptr, &parent);
  parent.SetColor(clRed);
  parent.SetLayout(tlCenter);
  EXPECT_EQ(child.Color(), clRed);  // read through the parent at every call
  EXPECT_EQ(child.Layout(), tlCenter);
  child.SetColor(clRed);  // assigned, but equal to what it would inherit
  EXPECT_TRUE(child.AssignedValues().Contains(fvColor));
  EXPECT_FALSE(child.IsChanged());
  child.SetColor(clBlue);
  EXPECT_TRUE(child.IsChanged());
  EXPECT_EQ(child.Color(), clBlue);
  parent.SetColor(clGreen);
  EXPECT_EQ(child.Color(), clBlue);

  // The parent's end clears the link.
  auto* p2 = new TTextFormat(nullptr);
  TTextFormat orphan(nullptr, p2);
  p2->SetColor(clYellow);
  EXPECT_EQ(orphan.Color(), clYellow);
  p2->Free();
  EXPECT_EQ(orphan.Parent(), nullptr);
  EXPECT_EQ(orphan.Color(), clBtnFace);
}

TEST(TextFormat, ChangeReporting) {
  TChangeCounter counter;
  TRecordingFormats parents;
  auto* parent = static_cast<TTextFormat*>(parents.Add());
  TTextFormat f(nullptr, parent);
  f.OnChange.Bind<&TChangeCounter::Changed>(&counter);

  struct Step {
    const char* What;
    std::function<void()> Do;
    int Calls;
    QStringList Heard;
  };
  const Step steps[] = {
      {"colour", [&] { f.SetColor(clRed); }, 1, {"item 0"}},
      {"same colour", [&] { f.SetColor(clRed); }, 0, {}},
      {"layout", [&] { f.SetLayout(tlTop); }, 1, {"item 0"}},
      {"same layout", [&] { f.SetLayout(tlTop); }, 0, {}},
      {"alignment", [&] { f.SetAlignment(taCenter); }, 1, {"item 0"}},
      {"same alignment", [&] { f.SetAlignment(taCenter); }, 0, {}},
      {"font", [&] { f.Font()->SetColor(clBlue); }, 1, {"all"}},
      {"pen", [&] { f.Bottom()->SetColor(clBlue); }, 1, {"all"}},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(s.What);
    counter.Calls = 0;
    parents.Heard.clear();
    s.Do();
    EXPECT_EQ(counter.Calls, s.Calls);
    EXPECT_EQ(parents.Heard, s.Heard);
  }
  EXPECT_EQ(counter.Last, &f);
  EXPECT_EQ(f.AssignedValues(), (TFormatValues{fvColor, fvLayout, fvAlignment, fvFont, fvBottom}));

  // Inside an update bracket the parent's collection hears nothing; OnChange still runs.
  parents.BeginUpdate();
  parents.Heard.clear();
  counter.Calls = 0;
  f.SetColor(clGreen);
  EXPECT_EQ(counter.Calls, 1);
  EXPECT_TRUE(parents.Heard.isEmpty());
  parents.EndUpdate();

  // Reset drops every assignment; with the font assigned the parent hears "all".
  parents.Heard.clear();
  f.Reset();
  EXPECT_TRUE(f.AssignedValues().Empty());
  EXPECT_EQ(f.Color(), parent->Color());
  EXPECT_EQ(parents.Heard, QStringList{"all"});
  parents.Heard.clear();
  f.Reset();
  EXPECT_EQ(parents.Heard, QStringList{"item 0"});
}

TEST(TextFormat, AssignCopiesOnlyWhatTheSourceAssigned) {
  TTextFormat target(nullptr);
  target.SetAlignment(taRightJustify);
  target.SetLayout(tlTop);
  target.Font()->SetColor(clGreen);
  target.SetBevelColor(bvLowered, clSilver);
  const TColor leftBefore = target.Left()->Color();

  TTextFormat source(nullptr);
  source.SetColor(clAqua);
  target.Assign(&source);
  EXPECT_EQ(target.Color(), clAqua);
  EXPECT_EQ(target.Alignment(), taRightJustify);
  EXPECT_EQ(target.Layout(), tlTop);
  EXPECT_EQ(target.Font()->Color(), clGreen);
  EXPECT_EQ(target.Bevel(), bvLowered);
  EXPECT_EQ(target.Left()->Color(), leftBefore);

  // A source with pens brings its bevel value and those pens.
  TTextFormat raised(nullptr);
  raised.SetBevelColor(bvRaised, clGray);
  target.Assign(&raised);
  EXPECT_EQ(target.Bevel(), bvRaised);
  EXPECT_EQ(target.Left()->Color(), orvsys::LightenColor(clGray));
  EXPECT_FALSE(target.SameLook(&raised));  // alignment and font colour differ
  TTextFormat twin(nullptr);
  twin.Assign(&target);
  EXPECT_TRUE(twin.SameLook(&target));

  // Assigning a font marks it and stores the Cyrillic character set.
  TFont font;
  font.SetName("Arial");
  TTextFormat f(nullptr);
  f.SetFont(&font);
  EXPECT_TRUE(f.AssignedValues().Contains(fvFont));
  EXPECT_EQ(f.Font()->Charset(), 204);
}

TEST(TextFormat, BevelsAndBorders) {
  TTextFormat f(nullptr);
  f.SetBevelColor(bvRaised, 0x808080);
  EXPECT_EQ(f.Color(), 0x808080);
  const TColor light = orvsys::LightenColor(0x808080), dark = orvsys::DarkenColor(0x808080);
  EXPECT_EQ(f.Left()->Color(), light);
  EXPECT_EQ(f.Top()->Color(), light);
  EXPECT_EQ(f.Right()->Color(), dark);
  EXPECT_EQ(f.Bottom()->Color(), dark);

  TPenCanvas canvas;
  TRect r = Rect(10, 20, 50, 40);
  f.DrawBorders(&canvas, r);
  auto hex = [](TColor c) { return QStringLiteral("%1").arg(c, 6, 16, QLatin1Char('0')); };
  EXPECT_EQ(canvas.Calls, (QStringList{"MoveTo 10,20", "LineTo 10,39 " + hex(light) + " w1",
                                       "MoveTo 10,39", "LineTo 49,39 " + hex(dark) + " w1",
                                       "MoveTo 49,39", "LineTo 49,20 " + hex(dark) + " w1",
                                       "MoveTo 49,20", "LineTo 10,20 " + hex(light) + " w1"}));
  EXPECT_EQ(r, Rect(11, 21, 49, 39));

  f.SetBevel(bvLowered);
  EXPECT_EQ(f.Left()->Color(), dark);
  EXPECT_EQ(f.Right()->Color(), light);

  // A clear side is skipped and does not shrink the rectangle.
  f.Top()->SetStyle(psClear);
  canvas.Calls.clear();
  r = Rect(0, 0, 10, 10);
  f.DrawBorders(&canvas, r);
  EXPECT_EQ(canvas.Calls.size(), 6);
  EXPECT_EQ(r, Rect(1, 0, 9, 9));

  // No bevel: no border at all, even with coloured pens, and the format counts as changed.
  f.SetBevel(bvNone);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(f.Pen(i)->Style(), psClear);
  f.Left()->SetStyle(psSolid);
  canvas.Calls.clear();
  r = Rect(0, 0, 10, 10);
  f.DrawBorders(&canvas, r);
  EXPECT_TRUE(canvas.Calls.isEmpty());
  EXPECT_EQ(r, Rect(0, 0, 10, 10));
  EXPECT_TRUE(f.IsChanged());
}

TEST(TextStyles, DefaultStylesFromTheTable) {
  ResetTextStyles();
  TTextStyles* styles = TextStyles();
  QStringList names;
  for (TComponent* c : styles->ComponentList()) names << c->Name();
  EXPECT_EQ(names, (QStringList{"BaseFormat",
                                "AltBaseFormat",
                                "ABF",
                                "FixedFormat",
                                "AltFixedFormat",
                                "SumFixedFormat",
                                "AFF",
                                "GroupFormat",
                                "GroupFixedFormat",
                                "SunkFormat",
                                "AltSunkFormat",
                                "ASF",
                                "SunkFixedFormat",
                                "HighlightFormat",
                                "AltHighlightFormat",
                                "AHF",
                                "Tree1",
                                "TreeS1",
                                "Tree2",
                                "TreeS2",
                                "Tree3",
                                "TreeS3",
                                "Tree4",
                                "TreeS4",
                                "Tree5",
                                "TreeS5",
                                "Tree6",
                                "TreeS6",
                                "Tree7",
                                "TreeS7",
                                "Tree8",
                                "TreeS8",
                                "Tree9",
                                "TreeS9"}));

  struct Row {
    const char* Name;
    TColor Color;
    TColor FontColor;
    TBevelCut Bevel;
    TFontStyles Style;
  };
  const Row rows[] = {
      {"BaseFormat", 0xE1FFFF, 0, bvNone, {}},
      {"ABF", 0x00FFFF, 0, bvNone, {}},
      {"FixedFormat", 0xF0CAA6, 0, bvRaised, {}},
      {"AFF", 0xC0DCC0, clCaptionText, bvRaised, {}},
      {"SumFixedFormat", 0xFEEAC9, 0, bvNone, {}},
      {"GroupFormat", clWindow, 0x000080, bvNone, {}},
      {"GroupFixedFormat", 0xF0CAA6, 0x000080, bvRaised, {}},
      {"SunkFixedFormat", 0xE1FFFF, 0, bvRaised, {}},
      {"AHF", clHighlight, clHighlightText, bvNone, {}},
      {"Tree3", clBtnFace, clWindowText, bvNone, {fsBold, fsItalic}},
      {"TreeS7", clHighlight, clHighlightText, bvNone, {fsBold, fsItalic, fsStrikeOut}},
      {"Tree9", clBtnFace, 0x800000, bvNone, {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    TTextStyle* s = styles->FindStyle(row.Name);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->Format()->Color(), row.Color);
    EXPECT_EQ(s->Format()->Font()->Color(), row.FontColor);
    EXPECT_EQ(s->Format()->Bevel(), row.Bevel);
    EXPECT_EQ(s->Format()->Font()->Style(), row.Style);
  }
  // "pens": invisible while there is no bevel.
  TTextFormat* base = styles->BaseFormat()->Format();
  EXPECT_EQ(base->Left()->Mode(), pmNop);
  EXPECT_EQ(base->Left()->Style(), psSolid);
  EXPECT_FALSE(styles->FindStyle("Tree1")->Format()->AssignedValues().Contains(fvColor));

  EXPECT_EQ(styles->FindStyle("treeS3"), styles->FindStyle("TreeS3"));
  EXPECT_NE(styles->FindStyle("treeS3"), nullptr);
  EXPECT_EQ(styles->FindStyle("NoSuchStyle"), nullptr);
  EXPECT_EQ(styles->HighlightFormat(), styles->FindStyle("HighlightFormat"));

  // Kind formats.
  TTextFormat f(nullptr);
  EXPECT_EQ(f.GetKindFormat(0), styles->FixedFormat()->Format());
  EXPECT_EQ(f.GetKindFormat(2), styles->BaseFormat()->Format());
  EXPECT_EQ(f.GetKindFormat(3), styles->HighlightFormat()->Format());
  EXPECT_EQ(f.GetKindFormat(4), styles->SumFixedFormat()->Format());
  EXPECT_EQ(f.GetKindFormat(77), styles->BaseFormat()->Format());

  // Changes at run time stay until the container is made anew.
  styles->BaseFormat()->Format()->SetColor(clRed);
  EXPECT_EQ(TextStyles()->BaseFormat()->Format()->Color(), clRed);
  ResetTextStyles();
  EXPECT_EQ(TextStyles()->BaseFormat()->Format()->Color(), 0xE1FFFF);
}

TEST(TextStyles, ComponentTextStoresOnlyChanges) {
  RegisterTextStyleClasses();
  TTextStyles owner(nullptr);
  owner.SetName("Styles");
  TTextStyle* style = owner.AddStyle("Mine");
  TTextFormat* f = style->Format();
  f->SetColor(clBtnFace);  // assigned, equal to the inherited default: not written
  f->SetLayout(tlTop);
  f->SetAlignment(taCenter);
  f->SetBevelColor(bvRaised, clSilver);  // pens under a bevel: not written

  const QString text = WriteComponentText(&owner);
  EXPECT_TRUE(text.contains("Format.Layout = tlTop")) << text.toStdString();
  EXPECT_TRUE(text.contains("Format.Alignment = taCenter")) << text.toStdString();
  EXPECT_TRUE(text.contains("Format.Color = clSilver")) << text.toStdString();
  EXPECT_FALSE(text.contains("Bevel")) << text.toStdString();
  EXPECT_FALSE(text.contains("AssignedValues")) << text.toStdString();
  EXPECT_FALSE(text.contains("Format.Left")) << text.toStdString();
  EXPECT_FALSE(text.contains("Format.Font")) << text.toStdString();

  TTextStyles copy(nullptr);
  ReadComponentText(text, &copy);
  TTextStyle* read = copy.FindStyle("Mine");
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Format()->Layout(), tlTop);
  EXPECT_EQ(read->Format()->Alignment(), taCenter);
  EXPECT_EQ(read->Format()->Color(), clSilver);
  EXPECT_EQ(WriteComponentText(&copy), text);
}

}  // namespace
