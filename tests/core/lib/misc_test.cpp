// Variant tests, file helpers, the dialog helpers and the cell-text layout.
#include "platform/ui/dialogservice.h"
#include "core/orvlib.h"

#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/tobject.h"
#include "support/test_support.h"

#include <QtCore/QFile>
#include <gtest/gtest.h>

using namespace orvlib;

TEST(VariantTests, EmptyNullAndKeys) {
  EXPECT_TRUE(VarIsEmptyOrNull(Variant()));
  EXPECT_TRUE(VarIsEmptyOrNull(Null()));
  EXPECT_TRUE(VarIsEmptyOrNull(Variant::FromInterface(nullptr)));
  EXPECT_FALSE(VarIsEmptyOrNull(Variant(0)));
  EXPECT_FALSE(VarIsEmptyOrNull(Variant("")));

  EXPECT_TRUE(VarIsEmptyKey(VarArrayOf({Null(), Variant()})));
  EXPECT_FALSE(VarIsEmptyKey(VarArrayOf({Null(), Variant(5)})));
  EXPECT_TRUE(VarIsEmptyKey(VarArrayCreate(0, -1)));
  EXPECT_TRUE(VarIsEmptyKey(VarArrayCreate(3, 4)));  // any low bound
  EXPECT_FALSE(VarIsEmptyKey(Variant(0)));
  EXPECT_TRUE(VarIsEmptyKey(Null()));

  std::vector<Variant> values = {Variant(1), Variant("x")};
  ClearVars(values);
  EXPECT_TRUE(values[0].IsEmpty() && values[1].IsEmpty());
}

TEST(VariantTests, CheckVarConvertibleRaisesOnlyForImpossibleConversions) {
  const Variant a = Null(), b(5);
  EXPECT_NO_THROW(CheckVarConvertible(a, b));
  EXPECT_TRUE(a.IsNull());  // neither side changes
  EXPECT_NO_THROW(CheckVarConvertible(Variant("x"), Variant()));
  EXPECT_NO_THROW(CheckVarConvertible(Variant(1), Variant(2)));
  EXPECT_THROW(CheckVarConvertible(Null(), VarArrayOf({Variant(1)})), EVariantError);
}

TEST(VariantTests, CompareFloatAndSqrPow) {
  struct Case {
    double a, b;
    int expected;
  };
  const Case cases[] = {{1, 1, 0},       {1.00005, 1, 0},  {0.0001, 0, 0}, {0, 0.0001, 0},
                        {0.00011, 0, 1}, {0, 0.00011, -1}, {-5, 5, -1},    {5, -5, 1}};
  for (const Case& c : cases) EXPECT_EQ(CompareFloat(c.a, c.b), c.expected) << c.a << " " << c.b;

  EXPECT_NEAR(SqrPow(2, 3), 8, 1e-12);
  EXPECT_NEAR(SqrPow(9, 0.5), 3, 1e-12);
  EXPECT_EQ(SqrPow(0, 2), 0);
  EXPECT_THROW(SqrPow(-1, 2), EInvalidOp);
  EXPECT_THROW(SqrPow(0, -1), EInvalidOp);
}

TEST(FileHelpers, ProgramFolderAndAppFileNames) {
  const QString folder = ProgramFolder();
  ASSERT_FALSE(folder.isEmpty());
  EXPECT_TRUE(folder.endsWith('/'));
  EXPECT_TRUE(ProgramFileName().startsWith(folder));

  const QString existing = testsupport::TempFolder() + "/present.txt";
  QFile f(existing);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  EXPECT_EQ(ExpandAppFileName(existing), existing);
  EXPECT_EQ(ExpandAppFileName("no-such-file.cfg"), folder + "no-such-file.cfg");
}

TEST(DialogHelpers, AnswersComeFromTheService) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  QStringList chosen;
  dialogs.SetResponder([&](const TDialogRequest& r) {
    TDialogAnswer a;
    if (r.Kind == TDialogKind::OpenFile) a.Files = chosen;
    if (r.Kind == TDialogKind::ConfirmYesNo) a.Button = r.Text == "yes?" ? idYes : idNo;
    return a;
  });

  chosen = {"/a/one.txt"};
  EXPECT_EQ(SelectFile("Text (*.txt)|*.txt"), "/a/one.txt");
  chosen = {"/a/one.txt", "/a/two.txt"};
  EXPECT_EQ(SelectFiles("*.*"), "/a/one.txt\r\n/a/two.txt\r\n");
  chosen = {};
  EXPECT_EQ(SelectFile("*.*"), "");

  ASSERT_EQ(dialogs.Requests.size(), 3u);
  EXPECT_EQ(dialogs.Requests[0].Text, "Text (*.txt)|*.txt");
  EXPECT_EQ(dialogs.Requests[0].Flags, OpenOptionBits({ofHideReadOnly, ofEnableSizing}));
  EXPECT_EQ(dialogs.Requests[1].Flags, OpenOptionBits({ofAllowMultiSelect}));

  EXPECT_TRUE(DlgYN("yes?"));
  EXPECT_FALSE(DlgYN("no?"));
}

TEST(CellText, RectangleFollowsAlignmentAndLayout) {
  const TRect cell{10, 20, 110, 40};  // 100 x 20
  struct Case {
    TAlignment alignment;
    TTextLayout layout;
    int width, height;
    TRect expected;
  };
  const Case cases[] = {
      {taLeftJustify, tlTop, 30, 10, {13, 23, 107, 40}},
      {taRightJustify, tlBottom, 30, 10, {76, 20, 106, 37}},
      {taCenter, tlCenter, 30, 10, {43, 25, 107, 40}},
      {taCenter, tlCenter, 33, 13, {42, 24, 107, 40}},
      // Text wider than the cell keeps its right edge and is clipped on the left.
      {taRightJustify, tlTop, 200, 10, {-94, 23, 106, 40}},
  };
  for (const Case& c : cases) {
    const TRect r = CellTextRect(cell, c.width, c.height, c.alignment, c.layout);
    EXPECT_EQ(r, c.expected) << c.alignment << "/" << c.layout;
  }
  // A cell narrower than its margins collapses: nothing is drawn.
  EXPECT_EQ(CellTextRect({0, 0, 4, 4}, 5, 5, taLeftJustify, tlTop), (TRect{3, 3, 3, 4}));
}

TEST(SharedBitmap, LivesFromFirstAcquireToLastRelease) {
  int made = 0;
  SetSharedBitmapFactory([&made] {
    ++made;
    return new TObject;
  });
  AcquireSharedBitmap();
  TObject* first = SharedBitmap();
  ASSERT_NE(first, nullptr);
  AcquireSharedBitmap();
  EXPECT_EQ(SharedBitmap(), first);
  ReleaseSharedBitmap();
  EXPECT_EQ(SharedBitmap(), first);
  ReleaseSharedBitmap();
  EXPECT_EQ(SharedBitmap(), nullptr);
  EXPECT_EQ(SharedBitmapUsers(), 0);
  ReleaseSharedBitmap();  // unbalanced: nothing happens
  EXPECT_EQ(SharedBitmapUsers(), 0);
  AcquireSharedBitmap();
  EXPECT_EQ(made, 2);
  ReleaseSharedBitmap();
  SetSharedBitmapFactory(nullptr);
}

TEST(DialogHelpers, ActionsUpdateBeforeAnswering) {
  struct Action {
    bool enabled = false, visible = true;
    int updates = 0;
    bool enableOnUpdate = true;
    void Update() {
      ++updates;
      if (enableOnUpdate) enabled = true;
    }
    bool Enabled() const { return enabled; }
    bool Visible() const { return visible; }
  };
  Action a;
  EXPECT_TRUE(ActionAvailable(&a));  // enabled by its own update
  EXPECT_EQ(a.updates, 1);
  a.visible = false;
  EXPECT_FALSE(ActionAvailable(&a));
  EXPECT_FALSE(ActionVisible(&a));
  Action hidden{false, true, 0, false};
  EXPECT_FALSE(ActionAvailable(&hidden));
  EXPECT_TRUE(ActionVisible(&hidden));
  EXPECT_TRUE(ActionAvailable<Action>(nullptr));
}
