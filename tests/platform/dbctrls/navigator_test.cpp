// The navigator: button states as the dataset moves and edits, the actions, the delete
// confirmation answered both ways, hints and the range of BtnClick.
#include "dbctrls_test.h"

#include "platform/rtl/exceptions.h"
#include "platform/ui/dbnavigator.h"

namespace {

class NavProbe : public TComponent {
  ORV_CLASS(NavProbe, TComponent)
  explicit NavProbe(TComponent* owner = nullptr) : TComponent(owner) {}
  QStringList Log;
  void Before(TObject*, TNavigateBtn b) { Log << QStringLiteral("before %1").arg(int(b)); }
  void Click(TObject*, TNavigateBtn b) { Log << QStringLiteral("click %1").arg(int(b)); }
};
ORV_DESCRIBE(NavProbe) {}

class NavigatorTest : public DBFormTest {
 public:
  TDBNavigator* Nav() {
    auto* n = Make<TDBNavigator>("Nav");
    n->SetDataSource(source_);
    return n;
  }
  void Reopen(bool readOnly) {
    ds_->Close();
    ds_->SetReadOnly(readOnly);
    ds_->Open();
  }
  // "1" for every enabled button, nbFirst first.
  static QString States(TDBNavigator* n) {
    QString s;
    for (int i = 0; i < kNavButtonCount; ++i)
      s += n->Buttons(TNavigateBtn(i))->Enabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
  }
};

TEST_F(NavigatorTest, ButtonStatesFollowTheDataset) {
  TDBNavigator* n = Nav();
  struct Row {
    const char* what;
    std::function<void(NavigatorTest*)> step;
    const char* states;  // F P N L I D E Po C R
  };
  const Row rows[] = {
      {"first record", [](NavigatorTest*) {}, "0011111001"},
      {"middle", [](NavigatorTest* t) { t->ds_->Next(); }, "1111111001"},
      {"last", [](NavigatorTest* t) { t->ds_->Last(); }, "1100111001"},
      {"editing", [](NavigatorTest* t) { t->ds_->Edit(); }, "1100110111"},
      {"posted", [](NavigatorTest* t) { t->ds_->Post(); }, "1100111001"},
      {"inserting", [](NavigatorTest* t) { t->ds_->Insert(); }, "1111110111"},
      {"cancelled", [](NavigatorTest* t) { t->ds_->Cancel(); }, "1111111001"},
      {"read-only", [](NavigatorTest* t) { t->Reopen(true); }, "0011000000"},
      {"writable again", [](NavigatorTest* t) { t->Reopen(false); }, "0011111001"},
      {"empty", [](NavigatorTest* t) { t->ds_->EmptyDataSet(); }, "0000101001"},
      {"closed", [](NavigatorTest* t) { t->ds_->Close(); }, "0000000000"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    r.step(this);
    EXPECT_EQ(States(n), r.states);
  }
  n->SetDataSource(nullptr);
  EXPECT_EQ(States(n), "0000000000");
}

TEST_F(NavigatorTest, ClicksRunTheActionsBetweenBeforeActionAndOnClick) {
  TDBNavigator* n = Nav();
  NavProbe probe;
  n->BeforeAction.Bind<&NavProbe::Before>(&probe);
  n->OnClick.Bind<&NavProbe::Click>(&probe);
  n->BtnClick(nbLast);
  EXPECT_EQ(F("ID")->AsInteger(), 3);
  n->BtnClick(nbPrior);
  EXPECT_EQ(F("ID")->AsInteger(), 2);
  n->Buttons(nbFirst)->Click();
  EXPECT_EQ(F("ID")->AsInteger(), 1);
  n->BtnClick(nbEdit);
  EXPECT_EQ(ds_->State(), dsEdit);
  F("NAME")->SetAsString("Ян");
  n->BtnClick(nbPost);
  EXPECT_EQ(ds_->State(), dsBrowse);
  EXPECT_EQ(F("NAME")->AsString(), "Ян");
  n->BtnClick(nbInsert);
  EXPECT_EQ(ds_->State(), dsInsert);
  n->BtnClick(nbCancel);
  EXPECT_EQ(ds_->RecordCount(), 3);
  EXPECT_EQ(probe.Log.mid(0, 4), QStringList({"before 3", "click 3", "before 1", "click 1"}));
  EXPECT_EQ(probe.Log.size(), 14);
}

TEST_F(NavigatorTest, DeleteAsksFirstAndKeepsTheRecordWhenCancelled) {
  TDBNavigator* n = Nav();
  headless_.SetResponder([](const TDialogRequest&) { return TDialogAnswer{idCancel, {}, {}, {}}; });
  n->BtnClick(nbDelete);
  ASSERT_EQ(headless_.Requests.size(), 1u);
  EXPECT_EQ(headless_.Requests[0].Text, "Удалить запись?");
  EXPECT_EQ(ds_->RecordCount(), 3);
  headless_.SetResponder([](const TDialogRequest&) { return TDialogAnswer{idOK, {}, {}, {}}; });
  n->BtnClick(nbDelete);
  EXPECT_EQ(ds_->RecordCount(), 2);
  EXPECT_EQ(F("ID")->AsInteger(), 2);
  n->SetConfirmDelete(false);
  n->BtnClick(nbDelete);
  EXPECT_EQ(ds_->RecordCount(), 1);
  EXPECT_EQ(headless_.Requests.size(), 2u);
}

TEST_F(NavigatorTest, BtnClickOutsideTheButtonsIsARangeError) {
  TDBNavigator* n = Nav();
  EXPECT_THROW(n->BtnClick(10), ERangeError);
  EXPECT_THROW(n->BtnClick(-1), ERangeError);
  EXPECT_EQ(F("ID")->AsInteger(), 1);
}

TEST_F(NavigatorTest, HintsAreRussianByDefaultAndALineReplacesOne) {
  TDBNavigator* n = Nav();
  EXPECT_EQ(n->Hints()->Count(), kNavButtonCount);
  EXPECT_EQ(n->Buttons(nbDelete)->Hint(), "Удалить запись");
  EXPECT_EQ(n->Buttons(nbRefresh)->Hint(), "Обновить данные");
  n->Hints()->SetStrings(nbFirst, "В начало");
  n->Hints()->SetStrings(nbPrior, "");
  EXPECT_EQ(n->Buttons(nbFirst)->Hint(), "В начало");
  EXPECT_EQ(n->Buttons(nbPrior)->Hint(), "Предыдущая запись");
}

TEST_F(NavigatorTest, VisibleButtonsShareTheWidth) {
  TDBNavigator* n = Nav();
  n->SetVisibleButtons({nbPrior, nbNext, nbPost});
  n->SetBounds(0, 0, 100, 25);
  EXPECT_FALSE(n->Buttons(nbFirst)->Visible());
  EXPECT_EQ(n->Buttons(nbPrior)->BoundsRect(), Bounds(0, 0, 34, 25));
  EXPECT_EQ(n->Buttons(nbNext)->BoundsRect(), Bounds(34, 0, 33, 25));
  EXPECT_EQ(n->Buttons(nbPost)->BoundsRect(), Bounds(67, 0, 33, 25));
}

}  // namespace
