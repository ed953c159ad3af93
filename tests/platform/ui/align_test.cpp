// The alignment engine: groups, order inside a group, client-rectangle adjustments,
// constraints and anchors, checked as a table of layouts and resizes.
#include "ui_test.h"

namespace {

struct TChild {
  const char* name;
  TAlign align;
  TRect bounds;  // as placed before the parent realigns
  TAnchors anchors{akLeft, akTop};
};

struct TLayoutCase {
  const char* title;
  std::vector<TChild> children;
  int border = 0;
  TBevelCut outer = bvNone;
  QSize resize;  // parent's size after the layout (none: unchanged)
  std::vector<TRect> expected;
};

QString Show(const TRect& r) { return RectText(r); }

}  // namespace

TEST(Align, TableOfLayouts) {
  const std::vector<TLayoutCase> cases = {
      {"top, bottom, client",
       {{"T", alTop, Bounds(0, 0, 10, 20)},
        {"B", alBottom, Bounds(0, 0, 10, 30)},
        {"C", alClient, Bounds(0, 0, 10, 10)}},
       0,
       bvNone,
       {},
       {Bounds(0, 0, 200, 20), Bounds(0, 70, 200, 30), Bounds(0, 20, 200, 50)}},
      {"left and right share what top leaves",
       {{"T", alTop, Bounds(0, 0, 10, 10)},
        {"L", alLeft, Bounds(0, 0, 40, 10)},
        {"R", alRight, Bounds(0, 0, 50, 10)}},
       0,
       bvNone,
       {},
       {Bounds(0, 0, 200, 10), Bounds(0, 10, 40, 90), Bounds(150, 10, 50, 90)}},
      {"two tops keep their order by Top",
       {{"Second", alTop, Bounds(0, 50, 10, 20)}, {"First", alTop, Bounds(0, 5, 10, 15)}},
       0,
       bvNone,
       {},
       {Bounds(0, 15, 200, 20), Bounds(0, 0, 200, 15)}},
      {"two bottoms: the lower one is outermost",
       {{"Upper", alBottom, Bounds(0, 50, 10, 20)}, {"Lower", alBottom, Bounds(0, 90, 10, 10)}},
       0,
       bvNone,
       {},
       {Bounds(0, 70, 200, 20), Bounds(0, 90, 200, 10)}},
      {"border width and a raised bevel shrink the client area",
       {{"C", alClient, Bounds(0, 0, 1, 1)}},
       3,
       bvRaised,
       {},
       {Bounds(4, 4, 192, 92)}},
      {"a resize re-runs the groups",
       {{"T", alTop, Bounds(0, 0, 10, 20)}, {"C", alClient, Bounds(0, 0, 1, 1)}},
       0,
       bvNone,
       QSize(300, 50),
       {Bounds(0, 0, 300, 20), Bounds(0, 20, 300, 30)}},
      {"anchored right and bottom keep their distances",
       {{"A", alNone, Bounds(150, 60, 40, 30), TAnchors{akRight, akBottom}}},
       0,
       bvNone,
       QSize(300, 200),
       {Bounds(250, 160, 40, 30)}},
      {"anchored left and right stretch",
       {{"A", alNone, Bounds(10, 10, 180, 20), TAnchors{akLeft, akTop, akRight}}},
       0,
       bvNone,
       QSize(100, 100),
       {Bounds(10, 10, 80, 20)}},
      {"client too small gives zero, not negative",
       {{"T", alTop, Bounds(0, 0, 10, 150)}, {"C", alClient, Bounds(0, 0, 5, 5)}},
       0,
       bvNone,
       {},
       {Bounds(0, 0, 200, 150), Bounds(0, 150, 200, 0)}},
  };
  for (const TLayoutCase& tc : cases) {
    SCOPED_TRACE(tc.title);
    TWinControl parent(nullptr);
    parent.SetBounds(0, 0, 200, 100);
    parent.SetBorderWidth(tc.border);
    parent.SetBevelOuter(tc.outer);
    std::vector<TControl*> kids;
    parent.DisableAlign();  // as while loading: the layout comes from the stored bounds
    for (const TChild& c : tc.children) {
      auto* k = new TWinControl(&parent);
      k->SetName(QLatin1String(c.name));
      k->SetBoundsRect(c.bounds);
      k->SetParent(&parent);
      k->SetAnchors(c.anchors);
      k->SetAlign(c.align);
      kids.push_back(k);
    }
    parent.EnableAlign();
    if (tc.resize.isValid()) parent.SetBounds(0, 0, tc.resize.width(), tc.resize.height());
    for (size_t i = 0; i < kids.size(); ++i) {
      EXPECT_EQ(Show(kids[i]->BoundsRect()).toStdString(), Show(tc.expected[i]).toStdString())
          << kids[i]->Name().toStdString();
    }
  }
}

TEST(Align, CausingControlFirstAndHiddenSkipped) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 100, 100);
  auto* a = new TWinControl(&parent);
  auto* b = new TWinControl(&parent);
  for (TWinControl* c : {a, b}) {
    c->SetParent(&parent);
    c->SetBounds(0, c == a ? 0 : 50, 10, 10);
    c->SetAlign(alTop);
  }
  // b lay below a; moved to a's top it goes first because it caused the realignment.
  EXPECT_EQ(b->Top(), 10);
  b->SetTop(0);
  EXPECT_EQ(b->Top(), 0);
  EXPECT_EQ(a->Top(), 10);
  a->Hide();
  EXPECT_EQ(b->Top(), 0);
  b->SetHeight(25);
  auto* client = new TWinControl(&parent);
  client->SetParent(&parent);
  client->SetAlign(alClient);
  EXPECT_EQ(Show(client->BoundsRect()), Show(Bounds(0, 25, 100, 75)));
}

TEST(Align, ConstraintsGiveBackWhatTheyRefuse) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 100, 100);
  auto* left = new TWinControl(&parent);
  left->Constraints()->MaxWidth = 30;
  left->SetParent(&parent);
  left->SetWidth(60);
  left->SetAlign(alLeft);
  auto* client = new TWinControl(&parent);
  client->Constraints()->MaxHeight = 40;
  client->SetParent(&parent);
  client->SetAlign(alClient);
  EXPECT_EQ(left->Width(), 30);
  EXPECT_EQ(Show(client->BoundsRect()), Show(Bounds(30, 0, 70, 40)));
}

class TCustomAligned : public TWinControl {
 public:
  explicit TCustomAligned(TComponent* owner) : TWinControl(owner) {}
  QStringList Order;

 protected:
  void AdjustClientRect(TRect& rect) const override {
    TWinControl::AdjustClientRect(rect);
    rect.Top += 5;  // a caption strip
  }
  bool CustomAlignInsertBefore(TControl* c1, TControl* c2) const override {
    return c1->Tag() < c2->Tag();
  }
  void CustomAlignPosition(TControl* control, int& left, int& top, int&, int&,
                           TRect& rect) override {
    Order << control->Name();
    left = rect.Left;
    top = rect.Top;
    rect.Top += control->Height();
  }
};

TEST(Align, CustomAlignmentHooks) {
  TCustomAligned parent(nullptr);
  parent.SetBounds(0, 0, 100, 100);
  parent.DisableAlign();
  for (int tag : {3, 1, 2}) {
    auto* c = new TWinControl(&parent);
    c->SetName(QStringLiteral("C%1").arg(tag));
    c->SetTag(tag);
    c->SetHeight(10);
    c->SetParent(&parent);
    c->SetAlign(alCustom);
  }
  parent.EnableAlign();
  EXPECT_EQ(parent.Order.join(','), "C1,C2,C3");
  EXPECT_EQ(static_cast<TControl*>(parent.FindComponent("C3"))->Top(), 25);
}

TEST(Align, ParentLoopsAndScaleByZeroRaise) {
  TWinControl outer(nullptr);
  auto* inner = new TWinControl(&outer);
  inner->SetParent(&outer);
  EXPECT_THROW(outer.SetParent(inner), EInvalidOperation);
  EXPECT_THROW(inner->SetParent(inner), EInvalidOperation);
  EXPECT_THROW(outer.ScaleBy(1, 0), EDivByZero);
  inner->SetBounds(10, 10, 20, 20);
  outer.ScaleBy(3, 2);
  EXPECT_EQ(Show(inner->BoundsRect()), Show(Bounds(15, 15, 30, 30)));
}
