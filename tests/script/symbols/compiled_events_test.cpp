// Events bound to routines of compiled script code: the form's code names a handler, the
// button fires its event, and the routine runs with the form as Self and the event's
// arguments as its parameters.
#include "fixture.h"

#include "platform/classes/typinfo.h"
#include "script/orvcode2.h"

namespace {

QStringList gNotes;

// Note(x): records an object's name, or any other value as text.
void Note(Variant&, TObject*, VariantArgs& args) {
  const Variant& v = args.at(0);
  auto* component =
      v.IsOrdinal() ? dynamic_cast<TComponent*>(TObject::FromHandle(v.ToInt64())) : nullptr;
  gNotes << (component != nullptr ? component->Name() : v.ToString());
}

class CompiledEventsTest : public RegistryTest {
 protected:
  CompiledEventsTest() {
    orvcode2::InstallCompiler(root);
    root->AddProc(QStringLiteral("Note"), &Note, {0});
    root->RegisterEventPackage(TTestPackage::StaticClass());
    gNotes.clear();
    form = new TGadget(nullptr);
    form->SetName(QStringLiteral("Form1"));
    button = new TGadget(form);
    button->SetName(QStringLiteral("Btn"));
    button->Caption = QStringLiteral("OK");
  }
  ~CompiledEventsTest() override { form->Free(); }

  // Names the handler in the button's event, as component text does, and compiles the
  // form's code with the events bound.
  QString Load(const char* handler, const char* code) {
    const TMethodInfo* pending = root->AddMethodName(form, QString::fromLatin1(handler));
    SetMethodProp(button, QStringLiteral("OnPing"), TMethod{pending, form});
    QString error;
    const QStringList lines = QString::fromUtf8(code).split(QLatin1Char('\n'));
    root->BindEvents(error, &lines, form, true, QString());
    return error;
  }

  TGadget* form;
  TGadget* button;
};

TEST_F(CompiledEventsTest, TheBoundRoutineRunsWithTheFormAsSelfAndTheEventsArguments) {
  ASSERT_EQ(Load("BtnClick",
                 "procedure T.BtnClick(Sender: TObject);\n"
                 "begin\n"
                 "  Note(Sender); Note(Self); Note(Btn.Caption);\n"
                 "  Btn.Count := Btn.Count + 10;\n"
                 "end;\n"
                 "begin end."),
            QString());
  ASSERT_TRUE(button->OnPing.Assigned());
  button->OnPing(form);  // the sender is whatever the firing component passes
  EXPECT_EQ(gNotes,
            (QStringList{QStringLiteral("Form1"), QStringLiteral("Form1"), QStringLiteral("OK")}));
  gNotes.clear();
  button->OnPing(button);
  EXPECT_EQ(gNotes,
            (QStringList{QStringLiteral("Btn"), QStringLiteral("Form1"), QStringLiteral("OK")}));
  EXPECT_EQ(button->Count, 20);
}

TEST_F(CompiledEventsTest, ARunTimeErrorOfTheHandlerCarriesItsTrail) {
  ASSERT_EQ(Load("BtnClick",
                 "procedure T.BtnClick(Sender: TObject);\n"
                 "begin Note(1); Note(1 mod 0); end;\n"
                 "begin end."),
            QString());
  try {
    button->OnPing(button);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Division by zero\r\nBtnClick.7:tiTwo"));
  }
  EXPECT_EQ(gNotes, QStringList{QStringLiteral("1")});
}

TEST_F(CompiledEventsTest, ARoutineThatIsGoneRaisesInsteadOfRunning) {
  ASSERT_EQ(Load("BtnClick",
                 "procedure T.BtnClick(Sender: TObject); begin Note(Sender); end;\nbegin end."),
            QString());
  TCls* site = orvcodeh::SiteCls(form);
  ASSERT_NE(site, nullptr);
  TCompItem* routine = site->FindOwnItem(QStringLiteral("BtnClick"));
  ASSERT_NE(routine, nullptr);
  button->OnPing(button);
  EXPECT_EQ(gNotes, QStringList{QStringLiteral("Btn")});

  routine->Free();
  try {
    button->OnPing(button);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("BtnClick: the script routine no longer exists"));
  }
  EXPECT_EQ(gNotes, QStringList{QStringLiteral("Btn")});
}

TEST_F(CompiledEventsTest, CompileErrorsComeBackWithTheirLine) {
  EXPECT_EQ(Load("BtnClick",
                 "procedure T.BtnClick(Sender: TObject);\n"
                 "begin\n"
                 "  Nowhere(Sender);\n"
                 "end;\n"
                 "begin end."),
            QStringLiteral("Syntax error in  (3): \r\nNowhere\n not found."));
}

}  // namespace
