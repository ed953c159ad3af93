// Running stored scripts on an owner: creation, loading, code and events, showing what was
// created, failures with their boxes and lines, and the stack of running IDs.
#include "fixture.h"

namespace {

TEST_F(HostTest, AFormUnderBangLoadsItsCodeAndIsShownModalThenFreed) {
  AddSource({{"F1",
              "!Form1:TTestForm\n"
              "Caption = 'Привет'\n"
              "OnPing = Ping\n"
              "object Inner: TTestForm\n"
              "Count = 3\n"
              "end\n"
              ":\n"
              "procedure T.Ping(Sender: TObject);\n"
              "begin Note(Sender); Note(Caption); Note(Inner.Count); end;\n"
              "begin end;\n"
              ":"}});
  forms.Log.clear();
  EXPECT_EQ(app->RunScript(owner, QStringLiteral("f1")), owner);
  EXPECT_EQ(forms.Log, QStringList{"modal Form1"});
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(owner->FindComponent(QStringLiteral("Form1")), nullptr);  // freed after the run
  EXPECT_EQ(Running(), QStringList());
}

TEST_F(HostTest, EventsNamedInTheTextRunTheCompiledCode) {
  AddSource({{"F2",
              "!Form1:TTestForm\n"
              "Tag = -999\n"
              "Caption = 'c'\n"
              "OnPing = Ping\n"
              ":\n"
              "procedure T.Ping(Sender: TObject);\n"
              "begin Note(Sender); Note(Caption); end;\n"
              "begin end;\n"
              ":"}});
  app->RunScript(owner, QStringLiteral("F2"));
  EXPECT_EQ(TakeBoxes(), QStringList());
  auto* form = dynamic_cast<TTestForm*>(owner->FindComponent(QStringLiteral("Form1")));
  ASSERT_NE(form, nullptr);  // -999: shown without waiting, and it lives on
  ASSERT_TRUE(form->OnPing.Assigned());
  ASSERT_FALSE(form->OnPing.IsPending());
  EXPECT_EQ(forms.Log, QStringList{"show Form1"});
  form->OnPing(form);
  EXPECT_EQ(gNotes, (QStringList{"Form1", "c"}));
}

TEST_F(HostTest, ADotItemSetsPropertiesOfAnExistingComponentAndKeepsItsName) {
  auto* form = new TTestForm(owner);
  form->SetName(QStringLiteral("Form1"));
  AddSource({{"P", ".Form1\nCount = 7\n.\nTag = 4"},
             {"RAW", "object Renamed: TComponent\nTag = 9\nend"}});
  app->RunScript(owner, QStringLiteral("P"));
  EXPECT_EQ(form->Count, 7);
  EXPECT_EQ(owner->Tag(), 4);  // "." alone: the owner itself
  app->RunScript(owner, QStringLiteral("RAW"));
  EXPECT_EQ(owner->Tag(), 9);
  EXPECT_EQ(owner->Name(), "Owner");  // the raw text's name is not kept
  EXPECT_EQ(TakeBoxes(), QStringList());
}

TEST_F(HostTest, FailuresShowTheirBoxAndTheFirstOneKeepsItsLine) {
  AddSource({{"BAD",
              ".\n"
              "Tag = 1\n"
              "!X:TTestForm\n"
              "Caption = 'a'\n"
              "Nonsense = 1\n"
              "!Y:TTestForm\n"
              "Caption = 'unterminated\n"
              "!Z:TTestForm\n"
              ":\n"
              "procedure T.P; begin Nowhere; end;\n"
              "begin end;\n"
              ":"}});
  app->RunScript(owner, QStringLiteral("BAD"));
  const QStringList boxes = TakeBoxes();
  ASSERT_EQ(boxes.size(), 3);
  EXPECT_EQ(boxes[0],
            "Внимание! | Ошибка чтения: Unknown property: \"Nonsense\" of TTestForm at line 3");
  EXPECT_TRUE(boxes[1].startsWith("Внимание! | Ошибка загрузки: ")) << boxes[1].toStdString();
  EXPECT_TRUE(boxes[2].startsWith("Внимание! | Компиляция:  Syntax error in  (1)"))
      << boxes[2].toStdString();
  EXPECT_EQ(app->ErrorLine(), 4);  // the unknown property's line in the script
  EXPECT_EQ(Running(), QStringList{"BAD"});
  EXPECT_EQ(owner->Tag(), 1);  // no failure stops the other items

  // A later good run pushes and pops its own ID and leaves the failed one below.
  AddSource({{"GOOD", ".\nTag = 2"}});
  app->RunScript(owner, QStringLiteral("GOOD"));
  EXPECT_EQ(Running(), QStringList{"BAD"});
  EXPECT_EQ(owner->Tag(), 2);
}

TEST_F(HostTest, ABangItemThatMadeNothingNeverFreesItsParent) {
  // No class to make it from; no name, so the item is the parent itself; a script that hands
  // the parent back.
  AddSource({{"NOCLASS", "!X:TNoSuchClassAnywhere\nTag = 5"},
             {"NONAME", "!\nTag = 5"},
             {"BACK", "!:SELF\nTag = 5"},
             {"SELF", ".\nCaption = 'x'"}});
  for (const char* id : {"NOCLASS", "NONAME", "BACK"}) {
    owner->SetTag(0);
    const qint64 handle = owner->ObjectHandle();
    EXPECT_EQ(app->RunScript(owner, QString::fromLatin1(id)), owner) << id;
    ASSERT_NE(TObject::FromHandle(handle), nullptr) << id;
    EXPECT_EQ(owner->Tag(), 5) << id;  // the text went to the parent
  }
}

TEST_F(HostTest, ACompileErrorNamesItsLineInTheScript) {
  AddSource(
      {{"C",
        "!X:TTestForm\nTag = -999\n:\nprocedure T.P;\nbegin\n  Nowhere;\nend;\nbegin end;\n:"}});
  app->RunScript(owner, QStringLiteral("C"));
  EXPECT_EQ(TakeBoxes().size(), 1);
  EXPECT_EQ(app->ErrorLine(), 5);
}

TEST_F(HostTest, ANestedFailureStaysOnTopAndTheOuterRunKeepsIt) {
  AddSource({{"OUT", "!X:TTestForm:IN\nTag = -999\n!Y:TTestForm\nBogus = 1"},
             {"IN", ".\n\nCaption = 'ok'\nAlsoBogus = 2"}});
  app->RunScript(owner, QStringLiteral("OUT"));
  EXPECT_EQ(TakeBoxes().size(), 2);
  EXPECT_EQ(Running(), (QStringList{"OUT", "IN"}));
  EXPECT_EQ(app->ErrorLine(), 3);  // in IN, whose failure came first
}

TEST_F(HostTest, AFailureInIncludedLinesNamesTheIncludedScript) {
  AddSource({{"MAIN", ".\nTag = 1\n..PART"}, {"PART", "Tag = 3\nBroken = 2"}});
  app->RunScript(owner, QStringLiteral("MAIN"));
  EXPECT_EQ(TakeBoxes().size(), 1);
  EXPECT_EQ(Running(), (QStringList{"MAIN", "PART"}));
  EXPECT_EQ(app->ErrorLine(), 1);
}

TEST_F(HostTest, SourcesAreSearchedLastFirstAndBangAndDotRunFromEach) {
  AddSource({{".", ".\nCaption = 'x'"}, {"S", ".\nTag = 1"}});  // no Caption on TComponent
  AddSource({{".", ".\nTag = 20"}, {"s", ".\nTag = 2"}});
  app->RunScript(owner, QStringLiteral("S"));
  EXPECT_EQ(owner->Tag(), 2);
  app->RunScript(owner, QStringLiteral("."));
  // The later source's "." ran first, then the earlier one's failed.
  EXPECT_EQ(owner->Tag(), 20);
  EXPECT_EQ(TakeBoxes().size(), 1);
}

TEST_F(HostTest, UnknownIdsAndEmptySourcesRunNothing) {
  app->RunScript(owner, QStringLiteral("NONE"));  // no source at all: nothing is pushed
  EXPECT_EQ(Running(), QStringList());
  AddSource({{"NULL", nullptr}, {"EMPTY", ""}});
  app->RunScript(owner, QStringLiteral("NONE"));
  app->RunScript(owner, QStringLiteral("NULL"));
  EXPECT_EQ(Running(), QStringList());
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(app->RunScript(nullptr, QStringLiteral("EMPTY")), nullptr);
}

TEST_F(HostTest, TheCacheKeepsTheFirstSpellingAndTheLastRow) {
  AddSource({{"Abc", "one"}, {"ABC", "two\r\nthree"}});
  TScriptDataSet* source = app->Source(0);
  EXPECT_EQ(source->GetScriptText(QStringLiteral("abc")), "two\r\nthree");
  EXPECT_EQ(source->Cache().at(QStringLiteral("ABC")).Id, "Abc");
  EXPECT_EQ(app->GetScriptText(QStringLiteral(" abc ")), "two\r\nthree");
  EXPECT_EQ(Running(), QStringList{"abc"});  // the editor pops it itself
}

TEST_F(HostTest, AFunctionComponentRunsWithTheScriptAndIsFreed) {
  AddSource({{"Y",
              "!Fn:TY\n"
              "AfterIt = Done\n"
              ":\n"
              "function T.Done(Sender: TY; Args: TYA; Res: Integer): Integer;\n"
              "begin Note(Sender); Result := 0; end;\n"
              "begin end;\n"
              ":"}});
  app->RunScript(owner, QStringLiteral("Y"));
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(gNotes, QStringList{"Fn"});
  EXPECT_EQ(owner->FindComponent(QStringLiteral("Fn")), nullptr);
}

TEST_F(HostTest, SystemUnitsCompileTogetherInIdOrder) {
  AddSource({{":B", "function TwiceB(x: Integer): Integer; begin Result := x * 2; end;"},
             {":a", "function PlusA(x: Integer): Integer;\nbegin Result := x + 1; end;"},
             {":c", "begin"},
             {"Z", "not a unit"}});
  EXPECT_EQ(app->SystemUnitsText(),
            "function PlusA(x: Integer): Integer;\r\nbegin Result := x + 1; end;\r\n"
            "function TwiceB(x: Integer): Integer; begin Result := x * 2; end;\r\nbegin\r\n end.");
  app->CompileSystemUnits();
  EXPECT_EQ(TakeBoxes(), QStringList());
  EXPECT_EQ(root->CalcFormula(QStringLiteral("TwiceB(PlusA(2))")).ToString(), "6");
}

}  // namespace
