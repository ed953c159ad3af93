// The access registry: its five queries over entries (name prefixes, owning form, control
// ids, the entry tree), the tree walk ending at a cycle of stored entries read from the demo
// as a restricted user, the walk telling controls to apply their rights, the caption path,
// and the wrappers that let scripts call control operations on any control.
#include "db/orvaccessobj.h"
#include "db/orvaccessutils.h"
#include "db/orvdb.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/zquery.h"
#include "platform/classes/classregistry.h"
#include "platform/ui/comctrls.h"
#include "platform/ui/extctrls.h"
#include "platform/ui/stdctrls.h"
#include "controls/orvaccessctrls.h"
#include "controls/orvgroupbox.h"
#include "core/orvcls.h"
#include "script/orvformsvc.h"
#include "script/orvlib99.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <memory>

using orvaccess::opEdit;
using orvaccess::opView;

namespace {

// A client form showing item ItemID.
class TTestClientForm : public TPanel, public IXOrvClientForm {
  ORV_CLASS(TTestClientForm, TPanel)
  using TPanel::TPanel;
  IInterface* QueryInterface(const TGUID& iid) override { return TComponent::QueryInterface(iid); }
  int GetItemID() override { return ItemID; }
  int ItemID = 0;
};

// An access-aware control: enabled as the registry allows below its caption path (as the
// speed buttons of the screens do); every ApplyAccess is logged, and OnApply may do more.
class TTestAccessPanel : public TPanel, public IAccessObject {
  ORV_CLASS(TTestAccessPanel, TPanel)
  using TPanel::TPanel;
  IInterface* QueryInterface(const TGUID& iid) override { return TComponent::QueryInterface(iid); }
  void ApplyAccess() override {
    if (Log != nullptr) Log->append(Name());
    if (IAccessObjects* access = orvaccessutils::AccessObjects())
      SetEnabled(access->IsAllowedBelow(this, Caption(), opView));
    if (OnApply) OnApply(this);
  }
  int GetAccessID() override { return AccessID; }
  void Click() override { ++Clicks; }
  int AccessID = 0;
  int Clicks = 0;
  QStringList* Log = nullptr;
  std::function<void(TTestAccessPanel*)> OnApply;
};

}  // namespace

ORV_DESCRIBE(TTestClientForm) { c.Implements<IXOrvClientForm>(); }
ORV_DESCRIBE(TTestAccessPanel) { c.Implements<IAccessObject>(); }

namespace {

// Answers a registry for the process-wide checker while it lives.
class TTestChecker : public IAccessChecker {
 public:
  explicit TTestChecker(IAccessObjects* registry) : registry_(registry) {
    orvaccessutils::SetAccessChecker(this);
  }
  ~TTestChecker() override { orvaccessutils::SetAccessChecker(nullptr); }
  IAccessObjects* GetAccessObjects() override { return registry_; }

 private:
  IAccessObjects* registry_;
};

// Controls owned by a client form of item 210: a group box "&Оплата" holding a button with
// access id 7 and a panel without one; a second form-less button.
class AccessControls : public ::testing::Test {
 protected:
  void SetUp() override {
    orvaccessutils::RegisterCaptionContainer(TGroupBox::StaticClass());
    orvaccessutils::RegisterCaptionContainer(TTestClientForm::StaticClass());
    form_ = std::make_unique<TTestClientForm>(nullptr);
    form_->ItemID = 210;
    form_->SetCaption(S("Документ"));
    box_ = new TGroupBox(form_.get());
    box_->SetParent(form_.get());
    box_->SetCaption(S("&Оплата"));
    button_ = new TTestAccessPanel(form_.get());
    button_->SetName(QStringLiteral("Button"));
    button_->SetParent(box_);
    button_->AccessID = 7;
    plain_ = new TPanel(form_.get());
    plain_->SetParent(box_);
    stray_ = std::make_unique<TTestAccessPanel>(nullptr);
  }
  void TearDown() override {
    stray_.reset();
    form_.reset();
    orvaccessutils::UnregisterCaptionContainer(TGroupBox::StaticClass());
    orvaccessutils::UnregisterCaptionContainer(TTestClientForm::StaticClass());
  }

  TOrvAccessObjects access_;
  std::unique_ptr<TTestClientForm> form_;
  TGroupBox* box_ = nullptr;
  TTestAccessPanel* button_ = nullptr;
  TPanel* plain_ = nullptr;
  std::unique_ptr<TTestAccessPanel> stray_;
};

TEST_F(AccessControls, EntriesMatchByFormControlOperationAndNamePrefix) {
  TOrvAccessEntry* other = access_.AddEntry(211, opView, false, 1, 0, 7, S("Кнопка"));
  TOrvAccessEntry* plainEntry = access_.AddEntry(210, opView, false, 2, 0, 0, S("Кнопка"));
  TOrvAccessEntry* edit = access_.AddEntry(210, opEdit, false, 3, 0, 7, S("Кнопка"));
  TOrvAccessEntry* longer = access_.AddEntry(210, opView, false, 4, 0, 7, S("Кнопка \"Провести\""));
  TOrvAccessEntry* prefix = access_.AddEntry(210, opView, true, 5, 0, 7, S("Кнопка"));
  access_.AddEntry(210, opView, false, 6, 0, 7, S("Кнопка"));  // after the first match
  (void)other;

  struct Case {
    TComponent* control;
    QString name;
    int operation;
    TOrvAccessEntry* entry;
    bool allowed;
  } cases[] = {
      // The entry's name begins the requested one; not the other way round.
      {button_, S("Кнопка \"Провести\""), opView, longer, false},
      {button_, S("Кнопка \"Отменить\""), opView, prefix, true},
      {button_, S("Кноп"), opView, nullptr, true},
      {button_, S("Кнопка"), opEdit, edit, false},
      {plain_, S("Кнопка \"Провести\""), opView, plainEntry, false},
      {button_, S("Другое"), opView, nullptr, true},
      // Outside every client form nothing rules.
      {stray_.get(), S("Кнопка"), opView, nullptr, true},
      {nullptr, S("Кнопка"), opView, nullptr, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.name + QStringLiteral(" / ") + QString::number(c.operation)).toStdString());
    EXPECT_EQ(access_.FindEntry(c.control, c.name, c.operation), c.entry);
    EXPECT_EQ(access_.IsAllowed(c.control, c.name, c.operation), c.allowed);
  }
}

TEST_F(AccessControls, ChildEntriesAreDirectChildrenOnly) {
  TOrvAccessEntry* base = access_.AddEntry(210, opView, true, 10, 0, 7, S("Оплата"));
  TOrvAccessEntry* child = access_.AddEntry(210, opView, false, 11, 10, 0, S("Сумма"));
  access_.AddEntry(210, opView, false, 12, 11, 0, S("Сумма НДС"));
  EXPECT_EQ(access_.FindChildEntry(base, S("Сумма НДС"), opView), child);
  EXPECT_EQ(access_.FindChildEntry(base, S("Сумма"), opEdit), nullptr);
  EXPECT_EQ(access_.FindChildEntry(child, S("Итого"), opView), nullptr);
  EXPECT_EQ(access_.FindChildEntry(nullptr, S("Сумма"), opView), nullptr);
}

TEST_F(AccessControls, BelowTheControlsOwnEntryTheFirstMatchingDescendantRules) {
  // The button's own entry is found by its caption path "Оплата" (any operation).
  access_.AddEntry(210, opEdit, true, 20, 0, 7, S("Оплата"));
  access_.AddEntry(210, opView, true, 21, 20, 0, S("Раздел"));
  access_.AddEntry(211, opView, true, 22, 21, 0, S("Сумма"));   // another form
  access_.AddEntry(210, opView, false, 23, 21, 0, S("Сумма"));  // a grandchild
  access_.AddEntry(210, opView, true, 24, 20, 0, S("Сумма"));   // a child, but later
  access_.AddEntry(210, opView, false, 25, 99, 0, S("Итого"));  // not below
  EXPECT_FALSE(access_.IsAllowedBelow(button_, S("Сумма"), opView));
  EXPECT_TRUE(access_.IsAllowedBelow(button_, S("Итого"), opView));
  EXPECT_TRUE(access_.IsAllowedBelow(button_, S("Сумма"), opEdit));
  // No base entry for the panel's access id, no form for the stray control, and no
  // caption path once the group box is no longer a container: nothing denies.
  EXPECT_TRUE(access_.IsAllowedBelow(plain_, S("Сумма"), opView));
  EXPECT_TRUE(access_.IsAllowedBelow(stray_.get(), S("Сумма"), opView));
  orvaccessutils::UnregisterCaptionContainer(TGroupBox::StaticClass());
  // The form is a container too: its caption "Документ" now names the button.
  EXPECT_TRUE(access_.IsAllowedBelow(button_, S("Сумма"), opView));
  form_->SetCaption(QString());
  EXPECT_TRUE(access_.IsAllowedBelow(button_, S("Сумма"), opView));
}

TEST_F(AccessControls, ByNameTheFormEntryIsFoundByNameAndObjectIdInAnyForm) {
  access_.AddEntry(300, opView, true, 30, 0, 5, S("Журнал"));
  access_.AddEntry(301, opView, false, 31, 30, 0, S("Удаление"));
  access_.AddEntry(302, opView, true, 32, 0, 0, S("Журнал"));
  EXPECT_FALSE(access_.IsAllowedByName(S("Журнал документов"), S("Удаление строк"), 5, opView));
  EXPECT_TRUE(access_.IsAllowedByName(S("Журнал документов"), S("Удаление строк"), 0, opView));
  EXPECT_TRUE(access_.IsAllowedByName(S("Журнал"), S("Удаление"), 5, opEdit));
  EXPECT_TRUE(access_.IsAllowedByName(QString(), S("Удаление"), 5, opView));
}

TEST(AccessTree, ACycleOfParentIdsEndsTheSearch) {
  TOrvAccessObjects access;
  TOrvAccessEntry* a = access.AddEntry(1, opView, true, 1, 2, 0, S("А"));
  TOrvAccessEntry* b = access.AddEntry(1, opView, false, 2, 1, 0, S("Б"));
  TOrvAccessEntry* self = access.AddEntry(1, opView, true, 3, 3, 0, S("В"));
  TOrvAccessEntry* alone = access.AddEntry(1, opView, false, 4, 99, 0, S("Г"));
  EXPECT_TRUE(access.LiesBelow(b, a));
  EXPECT_TRUE(access.LiesBelow(a, b));
  EXPECT_TRUE(access.LiesBelow(a, a));  // through the cycle
  EXPECT_TRUE(access.LiesBelow(self, self));
  EXPECT_FALSE(access.LiesBelow(alone, a));
  EXPECT_FALSE(access.LiesBelow(alone, self));
  EXPECT_FALSE(access.IsAllowedByName(S("А"), S("Б"), 0, opView));
  EXPECT_TRUE(access.IsAllowedByName(S("А"), S("Г"), 0, opView));
}

// The rights of demo user sklad, read from the demo's entry list with rows the test adds:
// two items that are each other's parent.
class DemoAccessEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    auto owner = liststest::Observer();
    liststest::Exec(
        *owner,
        QStringLiteral(
            "begin;"
            "insert into items (id, parentid, typeid, name) values (9101, null, 1, 'Цикл'),"
            " (9102, 9101, 1, 'Цикл: строки'), (9103, 9102, 1, 'Цикл: сумма')"
            " on conflict do nothing;"
            "update items set parentid = 9102 where id = 9101;"
            "insert into acc_rights (itemid, typeid, uid, formid, objid, allowed, child) values"
            " (9101, -9997521, 3, 0, 0, true, true), (9102, -9997521, 3, 0, 0, true, true),"
            " (9103, -9997526, 3, 0, 0, false, true) on conflict do nothing;"
            "commit"));
    TZQuery q(nullptr);
    q.SetConnection(liststest::DemoConnection(QStringLiteral("sklad")));
    q.SetSQLText(S("select * from \"доступ_элементы\"(null, null)"));
    q.Open();
    for (; !q.Eof(); q.Next()) {
      access_.AddEntry(q.FieldByName("FORMID")->AsInteger(), q.FieldByName("TYPEID")->AsInteger(),
                       q.FieldByName("ALLOWED")->AsBoolean(), q.FieldByName("ID")->AsInteger(),
                       q.FieldByName("PARENTID")->AsInteger(), q.FieldByName("OBJID")->AsInteger(),
                       q.FieldByName("NAME")->AsString());
    }
  }
  void TearDown() override { orvdb::ResetState(); }
  TOrvAccessObjects access_;
};

TEST_F(DemoAccessEntries, ACycleInTheStoredTreeAnswersInsteadOfLooping) {
  ASSERT_GE(access_.Count(), 8);
  // Below "Цикл": the denied sum, found through the cycle 9101 -> 9102 -> 9101.
  EXPECT_FALSE(access_.IsAllowedByName(S("Цикл"), S("Цикл: сумма"), 0, opEdit));
  // A name that nothing below rules walks the whole cycle and allows.
  EXPECT_TRUE(access_.IsAllowedByName(S("Цикл"), S("Склады"), 0, opEdit));
  EXPECT_TRUE(access_.IsAllowedByName(S("Цикл: строки"), S("Цикл"), 0, opView));
}

TEST_F(DemoAccessEntries, TheDemoDeniesTheButtonInItsOwnFormOnly) {
  // The demo denies sklad viewing "Кнопка \"Провести\"" (access id 7) in form 210.
  TTestClientForm form(nullptr);
  form.ItemID = 210;
  auto* button = new TTestAccessPanel(&form);
  button->SetParent(&form);
  button->AccessID = 7;
  EXPECT_FALSE(access_.IsAllowed(button, S("Кнопка \"Провести\""), opView));
  EXPECT_TRUE(access_.IsAllowed(button, S("Кнопка \"Отменить\""), opView));
  form.ItemID = 220;
  EXPECT_TRUE(access_.IsAllowed(button, S("Кнопка \"Провести\""), opView));
}

TEST_F(AccessControls, TheWalkTellsEveryAccessControlDepthFirstInChildOrder) {
  QStringList log;
  auto add = [&](TWinControl* parent, const QString& name, bool aware) -> TWinControl* {
    TPanel* p = aware ? new TTestAccessPanel(form_.get()) : new TPanel(form_.get());
    p->SetName(name);
    p->SetParent(parent);
    if (aware) static_cast<TTestAccessPanel*>(p)->Log = &log;
    return p;
  };
  button_->Log = &log;
  TWinControl* outer = add(form_.get(), QStringLiteral("Outer"), false);
  TWinControl* inner = add(outer, QStringLiteral("Inner"), false);
  add(inner, QStringLiteral("Deep"), true);
  TWinControl* aware = add(outer, QStringLiteral("Aware"), true);
  add(aware, QStringLiteral("AwareChild"), true);
  auto* button = new TButton(form_.get());  // buttons are walked into as well
  button->SetParent(outer);
  add(button, QStringLiteral("InButton"), true);
  add(form_.get(), QStringLiteral("Last"), true);

  orvaccessutils::ApplyAccess(form_.get());
  EXPECT_EQ(log, (QStringList{QStringLiteral("Button"), QStringLiteral("Deep"),
                              QStringLiteral("Aware"), QStringLiteral("AwareChild"),
                              QStringLiteral("InButton"), QStringLiteral("Last")}));
}

TEST_F(AccessControls, AControlFreedByItsOwnApplyAccessIsLeftAndItsSiblingVisited) {
  QStringList log;
  auto* doomed = new TTestAccessPanel(form_.get());
  doomed->SetName(QStringLiteral("Doomed"));
  doomed->SetParent(form_.get());
  doomed->Log = &log;
  auto* child = new TTestAccessPanel(doomed);
  child->SetName(QStringLiteral("Child"));
  child->SetParent(doomed);
  child->Log = &log;
  doomed->OnApply = [](TTestAccessPanel* self) { delete self; };
  auto* next = new TTestAccessPanel(form_.get());
  next->SetName(QStringLiteral("Next"));
  next->SetParent(form_.get());
  next->Log = &log;
  box_->SetParent(nullptr);

  orvaccessutils::ApplyAccess(form_.get());
  EXPECT_EQ(log, (QStringList{QStringLiteral("Doomed"), QStringLiteral("Next")}));
}

TEST_F(AccessControls, TheWalkAppliesTheCheckersRights) {
  access_.AddEntry(210, opEdit, true, 40, 0, 7, S("Оплата"));
  access_.AddEntry(210, opView, false, 41, 40, 0, S("Провести"));
  button_->SetCaption(S("Провести"));
  orvaccessutils::ApplyAccess(form_.get());
  EXPECT_TRUE(button_->Enabled());  // no checker: nothing applies
  TTestChecker checker(&access_);
  orvaccessutils::ApplyAccess(form_.get());
  EXPECT_FALSE(button_->Enabled());
}

TEST_F(AccessControls, TheCaptionPathIsTheNearestRegisteredContainersCaption) {
  auto* named = new TPanel(form_.get());  // not a registered container
  named->SetParent(box_);
  named->SetCaption(S("Панель"));
  auto* control = new TPanel(form_.get());
  control->SetParent(named);
  auto* inner = new TGroupBox(form_.get());
  inner->SetParent(named);
  auto* deep = new TPanel(form_.get());
  deep->SetParent(inner);

  struct Case {
    QString innerCaption;
    QString boxCaption;
    QString path;
  } cases[] = {
      {S("Строки"), S("&Оплата"), S("Строки")},
      {S("&"), S("&Оплата"), S("Оплата")},  // empty without its "&": skipped
      {QString(), S("Опл&ата"), S("Оплата")},
      {QString(), S("&&Оплата"), S("&Оплата")},  // only the first "&" goes
      {QString(), QString(), S("Документ")},     // up to the form
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.innerCaption + QStringLiteral(" / ") + c.boxCaption).toStdString());
    inner->SetCaption(c.innerCaption);
    box_->SetCaption(c.boxCaption);
    EXPECT_EQ(orvaccessutils::GetControlCaption(deep), c.path);
  }
  // The control's own caption never counts; nor does anything without a registered parent.
  EXPECT_EQ(orvaccessutils::GetControlCaption(box_), S("Документ"));
  EXPECT_EQ(orvaccessutils::GetControlCaption(form_.get()), QString());
  EXPECT_EQ(orvaccessutils::GetControlCaption(stray_.get()), QString());
  form_->SetCaption(QString());
  box_->SetCaption(QString());
  EXPECT_EQ(orvaccessutils::GetControlCaption(control), QString());
}

TEST(AccessStart, TheProgramsContainersNameTheControlsAndFinalizationForgetsThem) {
  orvaccessutils::Initialize();
  orvaccessctrls::Initialize();
  EXPECT_EQ(FindClass(QStringLiteral("TDummyWinControl")), TDummyWinControl::StaticClass());
  TTabSheet sheet(nullptr);
  sheet.SetCaption(S("&Строки"));
  auto* box = new TOrvGroupBox(&sheet);
  box->SetParent(&sheet);
  auto* inBox = new TPanel(&sheet);
  inBox->SetParent(box);
  auto* onSheet = new TPanel(&sheet);
  onSheet->SetParent(&sheet);
  box->SetCaption(S("Итоги"));
  EXPECT_EQ(orvaccessutils::GetControlCaption(inBox), S("Итоги"));
  EXPECT_EQ(orvaccessutils::GetControlCaption(onSheet), S("Строки"));
  orvaccessutils::Finalize();
  EXPECT_EQ(orvaccessutils::GetControlCaption(onSheet), QString());
}

// Calls a published method of cls without arguments on object.
void CallPublished(TClass cls, const char* name, TObject* object) {
  const TMethodInfo* m = cls->MethodAddress(QString::fromLatin1(name));
  ASSERT_NE(m, nullptr) << name;
  ASSERT_EQ(m->SigTag, SignatureTag<void()>());
  static_cast<const TTypedCallable<void()>*>(m->Call.get())->Fn(object);
}

TEST(DummyControls, PublishedWrappersCallTheOperationOnAnyControl) {
  TPanel parent(nullptr);
  TTestAccessPanel control(nullptr);
  CallPublished(TDummyControl::StaticClass(), "Click", &control);
  EXPECT_EQ(control.Clicks, 1);
  TOrvAccessObjects notAControl;
  CallPublished(TDummyControl::StaticClass(), "Click", &notAControl);  // nothing happens
  CallPublished(TDummyWinControl::StaticClass(), "CreateHandle", &notAControl);

  const TMethodInfo* setParent =
      TDummyControl::StaticClass()->MethodAddress(QStringLiteral("SetParent"));
  ASSERT_NE(setParent, nullptr);
  ASSERT_EQ(setParent->SigTag, SignatureTag<void(TWinControl*)>());
  static_cast<const TTypedCallable<void(TWinControl*)>*>(setParent->Call.get())
      ->Fn(&control, &parent);
  EXPECT_EQ(control.Parent(), &parent);

  EXPECT_FALSE(parent.HandleAllocated());
  CallPublished(TDummyWinControl::StaticClass(), "CreateHandle", &parent);
  EXPECT_TRUE(parent.HandleAllocated());
  EXPECT_NE(TDummyWinControl::StaticClass()->MethodAddress(QStringLiteral("SelectNext")), nullptr);
  // The common properties are reachable through the access classes too.
  EXPECT_NE(TDummyControl::StaticClass()->FindProperty(QStringLiteral("Caption")), nullptr);
  EXPECT_NE(TDummyWinControl::StaticClass()->FindProperty(QStringLiteral("TabStop")), nullptr);
  control.SetParent(nullptr);
}

TEST(ScriptApplication, PublishesItsRegistryAsTheChecker) {
  TRootEnvScope env;
  TOrvApp* app = orvlib99::OrvApp();
  ASSERT_NE(app->AccessObjects(), nullptr);
  EXPECT_EQ(orvaccessutils::AccessObjects(), app->AccessObjects());
  orvlib99::FreeOrvApp();
  EXPECT_EQ(orvaccessutils::AccessChecker(), nullptr);
}

}  // namespace
