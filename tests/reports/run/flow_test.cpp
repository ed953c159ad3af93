// Control-flow keys: branches, loops, choices, subroutines and jumps over one trace variable.
#include "run_fixture.h"

namespace {

QString Trace(const char* step) { return QStringLiteral("-LET T \"%T.") + step + '"'; }

// Scripts whose text is written with `{x}` for "append .x to the trace".
QString Expand(const char* script) {
  QString s = QString::fromUtf8(script);
  for (int open = s.indexOf('{'); open >= 0; open = s.indexOf('{')) {
    const int close = s.indexOf('}', open);
    s.replace(open, close - open + 1,
              Trace(s.mid(open + 1, close - open - 1).toUtf8().constData()));
  }
  return QStringLiteral("-LET T \"\" ") + s;
}

}  // namespace

TEST_F(RunTest, ControlFlowScripts) {
  struct Case {
    const char* script;
    const char* trace;
  } cases[] = {
      // An ELSE of an inner IF is not the outer IF's.
      {"-IF 1=2 -IF 1=1 {a} -ELSE {b} -END {c} -ELSE {d} -END {e}", ".d.e"},
      {"-IF 1=1 -IF 1=2 {a} -ELSE {b} -END {c} -ELSE {d} -END {e}", ".b.c.e"},
      {"-IF false {a} -END {b}", ".b"},
      {"-IF \"Result := 2 > 1\" {a} -END", ".a"},
      // A keyword standing as an argument is no partner.
      {"-IF 1=2 -LET W END {x} -END {y}", ".y"},
      {"-LET N 0 -WHILE \"%N < 3\" -SET N \"%N+1\" {%N} -WHILEEND {end}", ".1.2.3.end"},
      {"-WHILE 1=2 {body} -WHILEEND {end}", ".end"},
      {"-LET I 0 -WHILE \"%I < 2\" -SET I \"%I+1\" -WHILE true {i%I} -WHILEBREAK {bad} "
       "-WHILEEND -WHILEEND {end}",
       ".i1.i2.end"},
      // A branch never falls through into the next CASE.
      {"-SWITCH b -CASE x {x} -CASE \"a,b,c\" {abc} -CASE b {b} -CASEELSE {else} -SWITCHEND {end}",
       ".abc.end"},
      {"-SWITCH B -CASE \"a,b\" {b} -CASEELSE {else} -SWITCHEND", ".else"},
      {"-SWITCH z -CASE a {a} -SWITCHEND {end}", ".end"},
      {"-SWITCH \"x,y\" -CASE \"a,x\\,y\" {hit} -SWITCHEND", ".hit"},
      {"-SWITCH a -CASE a -SWITCH q -CASE q {q} -SWITCHEND {after} -CASE b {b} -SWITCHEND",
       ".q.after"},
      {"-SWITCH b -CASE a -SWITCH b -CASE b {inner} -SWITCHEND -CASE b {outer} -SWITCHEND",
       ".outer"},
      {"-SUBBEGIN SUB1 {in} -SUBEND {main} -SUB sub1 {back} -SUB Sub1", ".main.in.back.in"},
      {"-SUB nosuch {on}", ".on"},
      {"-SUBBEGIN A {a} -SUB B {a2} -SUBEND -SUBBEGIN B {b} -SUBEND -SUB a {end}", ".a.b.a2.end"},
      {"-GOTO l1 {skipped} -LABEL L1 {first} -GOTO done -LABEL l1 {second} -LABEL done", ".first"},
      // A SUBEND reached without a call does nothing.
      {"-GOTO in -SUBBEGIN S -LABEL in {body} -SUBEND {after}", ".body.after"},
      {"-LET N 0 -SUBBEGIN R -SET N \"%N+1\" -IF \"%N < 999\" -SUB R -END -SUBEND -SUB R {%N}",
       ".999"},
  };
  for (const Case& c : cases) {
    const QString script = Expand(c.script);
    EXPECT_TRUE(Run(script)) << c.script << " " << messages.join('|').toStdString();
    EXPECT_EQ(Var("T"), QString::fromUtf8(c.trace)) << c.script;
  }
}

TEST_F(RunTest, ControlFlowErrorsStopTheRun) {
  struct Case {
    const char* script;
    TRepsErrCode code;
    const char* text;  // the whole message, or its start when it ends with "*"
  } cases[] = {
      {"-GOTO nowhere", recNoLabel, "Не найдена метка для перехода по -GoTo: NOWHERE"},
      {"-SWITCH a -CASE b", recNoSequelSwitch, "Не найдено продолжение ключа -Switch"},
      {"-SWITCH a -CASE a -LET X 1 -CASEELSE", recNoSequelSwitch,
       "Не найдено продолжение ключа -Switch"},
      {"-LET N 0 -SUBBEGIN R -SET N \"%N+1\" -IF \"%N < 1000\" -SUB r -END -SUBEND -SUB R",
       recSubLimit, "Переполнен стек вызова вложенных процедур -Sub \"R\""},
      {"-IF \"1 +* 2\"", recErrInFormula, "Ошибка в формуле: *"},
      {"-WHILE \"1 +* 2\"", recErrInFormula, "Ошибка в формуле: *"},
      {"-IF \"'abc'\"", recGeneralError, "Ошибка: *"},
      {"-WHILEEND", recGeneralError, "Ошибка: Не найден -While для -WhileEnd*"},
  };
  for (const Case& c : cases) {
    TRepsErrCode code = recNoPrepareScript;
    onFinish = [&](TRF& rf) {
      if (rf.Pars->Errs.Last()) code = rf.Pars->Errs.Last()->Code;
    };
    EXPECT_FALSE(Run(QString::fromUtf8(c.script) + " -LET Y 1")) << c.script;
    EXPECT_EQ(code, c.code) << c.script;
    ASSERT_EQ(messages.size(), 1) << c.script << messages.join('|').toStdString();
    const QString text = QString::fromUtf8(c.text);
    if (text.endsWith('*'))
      EXPECT_TRUE(messages[0].startsWith(text.chopped(1))) << messages[0].toStdString();
    else
      EXPECT_EQ(messages[0], text);
    EXPECT_TRUE(Var("Y").isEmpty()) << c.script;
  }
}
