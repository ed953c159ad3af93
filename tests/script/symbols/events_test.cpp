// Events named in component text bound to script routines, native methods and packages.
#include "script_calls.h"
#include "fixture.h"

#include "platform/classes/reader.h"
#include "platform/classes/typinfo.h"

namespace {

class EventsTest : public RegistryTest {
 protected:
  EventsTest() {
    orvcodeh::SetMessageSink([this](orvcodeh::TBoxKind kind, const QString& text) {
      boxes << (kind == orvcodeh::TBoxKind::Attention ? QStringLiteral("attention: ")
                                                      : QStringLiteral("plain: ")) +
                   text;
    });
    InstallCompilerWithTrace(root);
    Calls() = {};
    form = new TGadget(nullptr);
    form->SetName(QStringLiteral("Form1"));
    button = new TGadget(form);
    button->SetName(QStringLiteral("Btn"));
  }
  ~EventsTest() override {
    form->Free();
    orvcodeh::SetMessageSink(nullptr);
  }

  // What component text does for "OnPing = <name>": the event holds a pending name.
  void NameEvent(TGadget* target, const char* name, TComponent* instance = nullptr) {
    const TMethodInfo* pending =
        root->AddMethodName(instance != nullptr ? instance : form, QString::fromLatin1(name));
    SetMethodProp(target, QStringLiteral("OnPing"), TMethod{pending, form});
  }

  QString Bind(const QStringList* lines) {
    QString error;
    root->BindEvents(error, lines, form, true, QString());
    return error;
  }

  QStringList boxes;
  TGadget* form;
  TGadget* button;
};

TEST_F(EventsTest, PendingEventDoesNothingUntilBound) {
  root->RegisterEventPackage(TTestPackage::StaticClass());
  NameEvent(button, "BtnClick");
  EXPECT_TRUE(button->OnPing.IsPending());
  button->OnPing(button);
  EXPECT_TRUE(Calls().log.isEmpty());

  const QStringList code = SiteMethods({"BtnClick"});
  EXPECT_EQ(Bind(&code), QString());
  button->OnPing(button);
  EXPECT_EQ(Calls().log,
            QStringList{QStringLiteral("BtnClick slf=TGadget arg=%1").arg(button->ObjectHandle())});

  // The site class is back under its site name and holds the form's components.
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("T")), nullptr);
  TCls* site = orvcodeh::SiteCls(form);
  ASSERT_NE(site, nullptr);
  EXPECT_EQ(site->Owner(), form);
  EXPECT_NE(dynamic_cast<TComponentFieldItem*>(site->FindOwnItem(QStringLiteral("Btn"))), nullptr);
  EXPECT_NE(site->FindOwnItem(QStringLiteral("BtnClick")), nullptr);
  EXPECT_TRUE(boxes.isEmpty());
}

TEST_F(EventsTest, WithoutAPackageTheNativeMethodIsBound) {
  NameEvent(button, "Ping");
  const QStringList code = SiteMethods({"Ping"});
  Bind(&code);
  button->OnPing(button);
  EXPECT_EQ(form->pings, 1);
  EXPECT_TRUE(Calls().log.isEmpty());
}

TEST_F(EventsTest, WithAPackageTheScriptRoutineWinsOverTheNativeMethod) {
  root->RegisterEventPackage(TTestPackage::StaticClass());
  NameEvent(button, "Ping");
  const QStringList code = SiteMethods({"Ping"});
  Bind(&code);
  button->OnPing(button);
  EXPECT_EQ(form->pings, 0);
  EXPECT_EQ(Calls().log.size(), 1);
}

TEST_F(EventsTest, TheFirstPackageRegisteredServesTheEventType) {
  orvcodeh::GetClsOf(TGadget::StaticClass());
  root->RegisterEventPackage(TTestPackage::StaticClass());
  root->RegisterEventPackage(TSecondPackage::StaticClass());
  auto* type = dynamic_cast<TEntryCls*>(orvcodeh::FindCls(QStringLiteral("TNotifyEvent")));
  ASSERT_NE(type, nullptr);
  EXPECT_EQ(type->EventClass, TTestPackage::StaticClass());
  EXPECT_EQ(type->MethodCode,
            TTestPackage::StaticClass()->MethodAddress(QStringLiteral("MNotifyEvent")));
}

TEST_F(EventsTest, DottedNameFindsAComponentOfTheRootsOwner) {
  root->RegisterEventPackage(TTestPackage::StaticClass());
  auto* app = new TComponent(nullptr);
  app->InsertComponent(form);
  auto* helper = new TGadget(app);
  helper->SetName(QStringLiteral("Helper"));
  auto* helperSite = new TSiteInstanceCls(helper);
  helperSite->ChangeName(orvcodeh::SiteName(helper));
  auto* go = new TEntryItem(helperSite);
  go->ChangeName(QStringLiteral("Go"));
  go->OnCall = [](TObject* slf, VariantArgs&) {
    Calls().log << QStringLiteral("Go slf=") + static_cast<TComponent*>(slf)->Name();
    return Variant();
  };

  NameEvent(button, "Helper.Go");
  Bind(nullptr);
  button->OnPing(button);
  EXPECT_EQ(Calls().log, QStringList{QStringLiteral("Go slf=Helper")});
  app->RemoveComponent(form);
  app->Free();
}

TEST_F(EventsTest, UnknownNamesAreReportedAndLeaveTheEventEmpty) {
  root->RegisterEventPackage(TTestPackage::StaticClass());
  NameEvent(button, "Nope");
  TGadget stray(nullptr);
  stray.SetName(QStringLiteral("Stray"));
  NameEvent(&stray, "Lost", &stray);  // not reachable from the form
  const QStringList code;
  Bind(&code);
  EXPECT_FALSE(button->OnPing.Assigned());
  EXPECT_EQ(boxes,
            (QStringList{QStringLiteral("attention: Загрузка: Метод \"TGadget.Nope\" не найден"),
                         QStringLiteral("plain: Form1: TGadget has 1 unknown event(s): Lost")}));
  stray.OnPing(&stray);  // still pending: nothing runs
}

TEST_F(EventsTest, CompileErrorsComeBackAsTextAndBindingStillRuns) {
  NameEvent(button, "Ping");
  const QStringList code{QStringLiteral("procedure T.Ping(Sender: TObject); x := 1; end;")};
  EXPECT_EQ(Bind(&code), QStringLiteral("Syntax error in  (1): \r\nError in declaration block."));
  button->OnPing(button);
  EXPECT_EQ(form->pings, 1);
}

TEST_F(EventsTest, EventItemsCallTheirRoutineWithTheTargetAsObject) {
  auto* entry = new TEventItem(form);
  EXPECT_EQ(entry->GetParentComponent(), form);
  EXPECT_TRUE(entry->HasParent());
  entry->OnCall = [](TObject* slf, VariantArgs& args) {
    return Variant(static_cast<TComponent*>(slf)->Name() + args.at(0).ToString());
  };
  EXPECT_EQ(entry->CallVariant({QStringLiteral("!")}).ToString(), QStringLiteral("Form1!"));
}

}  // namespace

namespace {

TEST_F(EventsTest, ComponentTextNamesEventsThatBindEventsResolves) {
  root->RegisterEventPackage(TTestPackage::StaticClass());
  orvcodeh::GetClsOf(TGadget::StaticClass());  // mirroring registers the class for the reader
  const QString text = QStringLiteral(
      "object Card: TGadget\n"
      "  Caption = 'Карточка'\n"
      "  object OkBtn: TGadget\n"
      "    OnPing = OkClick\n"
      "  end\n"
      "end\n");
  TComponent* card = ReadComponentText(text, nullptr, [this](TComponent* r, const QString& name) {
    return TMethod{root->AddMethodName(r, name), r};
  });
  auto* ok = dynamic_cast<TGadget*>(card->FindComponent(QStringLiteral("OkBtn")));
  ASSERT_NE(ok, nullptr);
  EXPECT_TRUE(ok->OnPing.IsPending());

  QString error;
  const QStringList code = SiteMethods({"OkClick"});
  root->BindEvents(error, &code, card, true, QString());
  EXPECT_EQ(error, QString());
  ok->OnPing(ok);
  EXPECT_EQ(Calls().log,
            QStringList{QStringLiteral("OkClick slf=TGadget arg=%1").arg(ok->ObjectHandle())});
  EXPECT_TRUE(boxes.isEmpty());
  card->Free();
}

}  // namespace
