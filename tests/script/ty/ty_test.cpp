#include "platform/ui/dialogservice.h"
#include "platform/rtl/exceptions.h"
#include "script/orvty.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

namespace {

// A function component whose phases answer set codes and log what ran.
class TProbe : public TY {
  ORV_CLASS(TProbe, TY)
  explicit TProbe(TComponent* owner) : TY(owner) {}

  int Before(TObject*, TObject*, int) {
    log->append(Name() + QLatin1Char('<'));
    if (raise) throw Exception(S("boom"));
    return before;
  }
  int After(TObject*, TObject*, int) {
    log->append(Name() + QLatin1Char('>'));
    return after;
  }
  void Refuse(TObject*, bool& accept) { accept = false; }

  QStringList* log = nullptr;
  int before = 0;
  int after = 0;
  bool raise = false;
};

}  // namespace

ORV_DESCRIBE(TProbe) {}

namespace {

class TYTest : public ::testing::Test {
 protected:
  TProbe* Make(TComponent* parent, const char* name, int onResult, int before = 0, int after = 0) {
    auto* y = new TProbe(parent);
    y->SetName(S(name));
    y->OnResult = onResult;
    y->before = before;
    y->after = after;
    y->log = &log;
    y->BeforeIt.Bind<&TProbe::Before>(y);
    y->AfterIt.Bind<&TProbe::After>(y);
    return y;
  }
  QStringList log;
  TYA args;
};

TEST_F(TYTest, BareComponentAnswersZero) {
  TY y(nullptr);
  EXPECT_EQ(y.Run(&args), 0);
}

TEST_F(TYTest, ChildrenRunWhileTheCodeMatchesAndAfterOnlyOnZero) {
  TProbe* root = Make(nullptr, "R", 0, 5);
  Make(root, "A", 5, 0);  // runs on 5, leaves 0
  Make(root, "B", 5);     // 0 no longer matches
  Make(root, "C", 0, 7);  // runs on 0, leaves 7
  EXPECT_EQ(root->Run(&args), 7);
  EXPECT_EQ(log.join(QLatin1Char(' ')), S("R< A< A> C<"));
  root->Free();
}

TEST_F(TYTest, RefusalsClimbOneLevelPerRun) {
  TProbe* root = Make(nullptr, "R", 0);
  TProbe* mid = Make(root, "M", 0);
  Make(mid, "X", 0, -2);  // -2 → X answers -1 → M sees -1 and answers 0
  Make(mid, "Y", -1);     // runs on the refusal
  EXPECT_EQ(root->Run(&args), 0);
  EXPECT_EQ(log.join(QLatin1Char(' ')), S("R< M< X< Y< Y> M> R>"));
  root->Free();
}

TEST_F(TYTest, OnAcceptHasTheLastWord) {
  TProbe* root = Make(nullptr, "R", 0, 5);
  root->OnAccept.Bind<&TProbe::Refuse>(root);
  Make(root, "N", -1, -1);  // runs on the refusal; its own -1 comes back to 0
  EXPECT_EQ(root->Run(&args), 0);
  EXPECT_EQ(log.join(QLatin1Char(' ')), S("R< N< N> R>"));
  root->Free();
}

TEST_F(TYTest, ErrorsAreShownAndAnswerOne) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  TProbe* root = Make(nullptr, "R", 0);
  TProbe* bad = Make(root, "Bad", 0);
  bad->raise = true;
  Make(root, "OnOne", 1);
  EXPECT_EQ(root->Run(&args), 0);
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  const QString shown = dialogs.Requests[0].Text;
  EXPECT_TRUE(shown.startsWith(S("Ошибка выполнения:"))) << shown.toStdString();
  EXPECT_TRUE(shown.contains(S("boom")));
  EXPECT_EQ(log.join(QLatin1Char(' ')), S("R< Bad< OnOne< OnOne> R>"));
  root->Free();
}

TEST_F(TYTest, FindYMatchesExactNamesOnly) {
  TProbe* root = Make(nullptr, "R", 0);
  Make(root, "Step", 0, 3);
  EXPECT_EQ(root->FindY(S("step")), nullptr);
  EXPECT_EQ(root->RunY(S("step"), &args), -1);
  EXPECT_EQ(root->RunEvent(S("Step"), new TYA()), 3);
  root->Free();
}

TEST_F(TYTest, NestingMovesOwnership) {
  TComponent form(nullptr);
  auto* outer = new TY(&form);
  auto* inner = new TY(&form);
  inner->SetParentComponent(outer);
  EXPECT_EQ(inner->Owner(), outer);
  EXPECT_EQ(form.ComponentCount(), 1);
}

TEST(TYATest, StackAccessors) {
  TYA stack(nullptr, {TVarRec(1), TVarRec(S("1.5")), TVarRec(2.5)});
  EXPECT_EQ(stack.GetItem(-1)->AsFloat(), 2.5);
  EXPECT_EQ(stack.GetItem(0)->ClassName(), S("tyrInteger"));
  EXPECT_EQ(stack.GetItem(1)->AsFloat(), 1.5);
  EXPECT_THROW(stack.GetItem(3), EListError);
  stack.DropAndPush(nullptr, 2);
  EXPECT_EQ(stack.Count(), 1);
  TYR* top = stack.Pop();
  EXPECT_EQ(top->AsVariant().ToInt(), 1);
  top->Free();
  EXPECT_EQ(stack.Top(), nullptr);
  EXPECT_EQ(stack.Pop(), nullptr);
}

TEST(TYATest, ConversionsAndTheirErrors) {
  tyrString comma(S("1,5"));
  EXPECT_THROW(comma.AsFloat(), EConvertError);
  tyrBoolean flag(true);
  try {
    flag.AsFloat();
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), S("tyrBoolean Is Not Float"));
  }
  EXPECT_EQ(tyrDateTime(2.0).AsVariant().VType(), varDate);
  EXPECT_EQ(tyrInt64(qint64(1) << 40).AsVariant().VType(), varInt64);

  auto* value = new tyrFloat(4.5);
  tyrObject ref(value);
  EXPECT_EQ(ref.AsFloat(), 4.5);
  value->Free();
  EXPECT_EQ(ref.Value(), nullptr);
  EXPECT_THROW(ref.AsVariant(), Exception);

  TYA stack;
  try {
    stack.PushConst(TVarRec(Currency::FromInt(1)));
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), S("Параметр #12 не поодерживается"));
  }
}

}  // namespace

#include "platform/data/field.h"
#include "platform/data/memdataset.h"

namespace {

TEST(TYRFieldTest, WritesAndComparesByFieldType) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("N", ftInteger);
  ds.FieldDefs().Add("S", ftString, 20);
  ds.FieldDefs().Add("T", ftTime);
  ds.FieldDefs().Add("F", ftFloat);
  ds.CreateDataSet();
  ds.AppendRecord({1, "a", Variant::Null(), 2.5});
  ds.First();
  TField* n = ds.FieldByName("N");
  TField* str = ds.FieldByName("S");
  TField* time = ds.FieldByName("T");

  tyrInteger seven(7);
  n->Assign(&seven);  // puts the dataset into edit state
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_EQ(n->AsInteger(), 7);
  EXPECT_TRUE(seven.Equals(n));
  EXPECT_TRUE(seven.EqualsField(ds.FieldByName("F")) == false);
  tyrString text(S("A"));
  EXPECT_FALSE(text.Equals(str));  // letter case counts
  try {
    time->Assign(&seven);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), S("Can Not Assign tyrInteger To Field (T)"));
  }
  try {
    text.EqualsField(n);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), S("tyrString Is Not Equal Field (N)"));
  }

  // An object value without target clears an optional field and leaves a required one.
  tyrObject none(nullptr);
  none.AssignToField(str);
  EXPECT_TRUE(str->IsNull());
  n->SetRequired(true);
  none.AssignToField(n);
  EXPECT_EQ(n->AsInteger(), 7);
  ds.Cancel();
}

}  // namespace
