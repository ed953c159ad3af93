// Hostile scripts end with a clear error and leave the host alive: nesting deeper than the
// compiler allows, runaway loops under a budget or a break, texts that would exhaust memory,
// allocation failures, recursion through natives, and the long trails of deep recursion.
#include "fixture.h"

#include "script/orvcode2.h"
#include "script/orvcodex.h"

#include <QtCore/QThread>

#include <atomic>
#include <chrono>
#include <new>
#include <thread>

namespace {

class LimitsTest : public LibTest {
 protected:
  LimitsTest() { orvcode2::InstallCompiler(root); }

  // The statements run as a formula's block.
  QString Outcome(const QString& statements) {
    try {
      return VarToStr(root->RunFormula(nullptr, "begin " + statements + " end;"));
    } catch (const Exception& e) {
      return e.ClassName() + QStringLiteral(": ") + e.Message();
    }
  }
};

QString Repeat(const char* piece, int n) { return QString::fromLatin1(piece).repeated(n); }

TEST_F(LimitsTest, NestingDeeperThanTheCompilerAllowsNamesTheLine) {
  ASSERT_EQ(root->Compile(QStringLiteral(
                "function G(x: Integer): Integer; begin Result := x; end; begin end.")),
            QString());
  const int deep = 20000;  // well past the limit, and past what the native stack held before
  struct Case {
    const char* shape;
    QString statement;
  };
  const Case cases[] = {
      {"parentheses", "x := " + Repeat("(", deep) + "1" + Repeat(")", deep) + ";"},
      {"unary minus", "x := " + Repeat("- ", deep) + "1;"},  // "--" starts a comment
      {"not", "x := " + Repeat("not ", deep) + "True;"},
      {"nested calls", "x := " + Repeat("G(", deep) + "1" + Repeat(")", deep) + ";"},
      {"set constructors", "x := " + Repeat("[", deep) + Repeat("]", deep) + ";"},
      {"begin end", Repeat("begin ", deep) + Repeat("end ", deep) + ";"},
      {"if chain", Repeat("if True then ", deep) + "x := 1;"},
      {"while", Repeat("while False do ", deep) + "x := 1;"},
      {"repeat", Repeat("repeat ", deep) + Repeat("until True; ", deep)},
  };
  int round = 0;
  for (const Case& c : cases) {
    // A routine of its own each time: a failed compile keeps what it declared.
    const QString text =
        QStringLiteral("procedure Deep%1;\nvar x: Variant;\nbegin\n%2\nend;\nbegin end.")
            .arg(++round)
            .arg(c.statement);
    EXPECT_EQ(root->Compile(text),
              QStringLiteral("Syntax error in  (4): \r\nNesting deeper than 256 levels."))
        << c.shape;
  }
  QString routines = QStringLiteral("procedure Outer;\n");
  for (int i = 0; i < deep; ++i) routines += QStringLiteral("procedure Inner%1; ").arg(i);
  routines += Repeat("begin end; ", deep) + QStringLiteral("begin end;\nbegin end.");
  EXPECT_EQ(root->Compile(routines),
            QStringLiteral("Syntax error in  (2): \r\nNesting deeper than 256 levels."));
  // Nesting that scripts write still compiles.
  EXPECT_EQ(root->CalcFormula(Repeat("(", 100) + "G(" + Repeat("- ", 100) + "2)" + Repeat(")", 100))
                .ToInt(),
            2);
}

TEST_F(LimitsTest, RunawayLoopsStopAtTheirLimitsOrABreak) {
  {
    orvcodex::TRunLimitScope limits({.MaxSteps = 100000});
    EXPECT_EQ(Outcome(QStringLiteral("while True do begin end")),
              QStringLiteral("EScriptStopped: Script stopped: over its step limit\r\n.2:tiGoto"));
  }
  {
    orvcodex::TRunLimitScope limits({.MaxMilliseconds = 100});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(
        Outcome(QStringLiteral("Result := 0; while Result < 2000000000 do Result := Result + 1"))
            .startsWith(QLatin1String("EScriptStopped: Script stopped: over its time limit")));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  }
  // No limits: a break from another thread stops the run.
  std::thread breaker([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    orvcodex::RequestBreak();
  });
  EXPECT_TRUE(Outcome(QStringLiteral("while True do begin end"))
                  .startsWith(QLatin1String("EScriptStopped: Script stopped by a break\r\n")));
  breaker.join();
  EXPECT_EQ(Outcome(QStringLiteral("Result := 6 * 7")), QStringLiteral("42"));  // host alive
}

TEST_F(LimitsTest, TextsThatOneExpressionMultipliesAreBounded) {
  const std::pair<const char*, const char*> cases[] = {
      {"Result := 'ab'; while True do Result := Result + Result;",
       "Exception: Text too long: over 67108864 characters\r\n.6:tiTwo"},
      {"Result := 'ab'; while True do Result := (Result + Result) + '';",
       "Exception: Text too long: over 67108864 characters\r\n.6:tiTwo"},
      {"Result := 'a'; SetLength(Result, 1000000000);",
       "Exception: Text too long: over 67108864 characters\r\n.5:tiVarEntry"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Outcome(QString::fromLatin1(text)), QString::fromLatin1(expected)) << text;
}

TEST_F(LimitsTest, AllocationFailureIsAScriptError) {
  root->AddFunc(QStringLiteral("Exhaust"),
                [](Variant&, TObject*, VariantArgs&) { throw std::bad_alloc(); }, {});
  EXPECT_EQ(Outcome(QStringLiteral("Result := 1 + Exhaust")),
            QStringLiteral("Exception: Out of memory\r\n.2:tiConstEntry"));
  EXPECT_EQ(Outcome(QStringLiteral("Result := 1 + 1")), QStringLiteral("2"));
}

// A property read by a script routine that reads the property again: every level nests a
// run loop on the native stack, so a small thread stack runs out long before 2,000 calls.
TEST_F(LimitsTest, RecursionThroughNativesStopsBeforeTheStackEnds) {
  ASSERT_EQ(
      root->Compile(QStringLiteral("type TLoop = class\n"
                                   "  function GetValue: Integer;\n"
                                   "  property Value: Integer read GetValue;\n"
                                   "end;\n"
                                   "function TLoop.GetValue: Integer; begin Result := Value; end;\n"
                                   "begin end.")),
      QString());
  auto* get = dynamic_cast<TEntryItem*>(
      orvcodeh::FindCls(QStringLiteral("TLoop"))->FindOwnItem(QStringLiteral("GetValue")));
  ASSERT_NE(get, nullptr);
  QString message;
  QThread* thread = QThread::create([&] {
    try {
      VariantArgs none;
      get->Call(nullptr, none);
    } catch (const Exception& e) {
      message = e.Message();
    }
  });
  thread->setStackSize(1024 * 1024);
  thread->start();
  ASSERT_TRUE(thread->wait(60000));
  delete thread;
  EXPECT_TRUE(message.startsWith(QLatin1String("TStackFrame! Stack overflow\r\nGetValue.")))
      << message.left(200).toStdString();
  EXPECT_LT(message.count(QStringLiteral("\r\n")), 25) << "the trail is compacted";
}

TEST_F(LimitsTest, DeepRecursionTrailKeepsItsEnds) {
  ASSERT_EQ(root->Compile(QStringLiteral(
                "function Deep(n: Integer): Integer; begin Result := Deep(n + 1); end;\n"
                "begin end.")),
            QString());
  const QString message = Outcome(QStringLiteral("Result := Deep(1)"));
  const QStringList lines = message.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lines.size(), 22) << message.left(300).toStdString();
  EXPECT_EQ(lines[0], QStringLiteral("Exception: TStackFrame! Stack overflow"));
  for (int i = 1; i <= 10; ++i) EXPECT_EQ(lines[i], QStringLiteral("Deep.4:tiConstEntry"));
  // 2,000 levels with the formula's own: 20 lines kept, the rest counted.
  EXPECT_EQ(lines[11], QStringLiteral("... (1980 lines left out) ..."));
  EXPECT_EQ(lines[21], QStringLiteral(".2:tiConstEntry"));
}

class TWatch : public TComponent {
 public:
  using TComponent::TComponent;
  bool gone = false;
  void Notification(TComponent* c, TOperation op) override {
    if (op == opRemove && c != this) gone = true;
    TComponent::Notification(c, op);
  }
};

TEST(OwnerlessClass, AnUnknownParentLeavesNoParentAndGoesWithTheRegistry) {
  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  ASSERT_EQ(root->Compile(QStringLiteral("type TOrphan = class(TNoSuchClass) end; begin end.")),
            QString());
  TCls* orphan = orvcodeh::FindCls(QStringLiteral("TOrphan"));
  ASSERT_NE(orphan, nullptr);
  EXPECT_EQ(orphan->ClsParent(), nullptr);
  TWatch watch(nullptr);
  orphan->FreeNotification(&watch);
  root->Free();
  EXPECT_TRUE(watch.gone);
}

}  // namespace
