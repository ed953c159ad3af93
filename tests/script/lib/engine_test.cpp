// The compiler and run loop with the runtime library: registered constants wherever they
// stand, `v := v + e`, var arguments read at the call, and the program's own errors.
#include "fixture.h"

#include "core/orvsys.h"
#include "script/orvcode2.h"

namespace {

class EngineTest : public LibTest {
 protected:
  EngineTest() { orvcode2::InstallCompiler(root); }

  // "<type> <text>" of a value (arrays element by element), or "error <message>".
  static QString Describe(const Variant& v) {
    if (!v.IsArray()) return QString::number(v.VType()) + QLatin1Char(' ') + VarToStr(v);
    QStringList parts;
    for (int i = 0; i <= v.ArrayHighBound(); ++i) parts << Describe(v.ArrayGet(i));
    return QLatin1Char('[') + parts.join(QStringLiteral(", ")) + QLatin1Char(']');
  }
  template <class F>
  static QString Outcome(F&& f) {
    try {
      return Describe(f());
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message();
    }
  }
  QString Calc(const QString& formula) {
    return Outcome([&] { return root->CalcFormula(formula); });
  }
  QString RunText(const QString& statements) {
    return Outcome([&] { return root->RunFormula(nullptr, "begin " + statements + " end;"); });
  }
  QString Routine(const QString& name) {
    return Outcome([&] {
      auto* entry = dynamic_cast<TEntryItem*>(root->FindOwnItem(name));
      if (entry == nullptr) throw Exception(QStringLiteral("no routine ") + name);
      VariantArgs none;
      return entry->Call(nullptr, none);
    });
  }
};

// Every use of a constant gives what its literal value gives, with the same Variant type.
TEST_F(EngineTest, ConstantsPushOnlyTheirValueWhereverTheyStand) {
  root->AddGlobalConst(QStringLiteral("KINT"), Variant(3));
  root->AddGlobalConst(QStringLiteral("KFLOAT"), Variant(2.5));
  root->AddGlobalConst(QStringLiteral("KTEXT"), Variant(QStringLiteral("4")));
  root->AddGlobalConst(QStringLiteral("KBOOL"), Variant(true));
  const std::pair<const char*, const char*> constants[] = {
      {"KINT", "3"}, {"KFLOAT", "2.5"}, {"KTEXT", "'4'"}, {"KBOOL", "True"}, {"dupError", "2"}};
  // @ stands for the constant.
  const char* const formulas[] = {
      "@",
      "1 + @",
      "@ + 1",
      "2 * @ + @",
      "IntToStr(@) + IntToStr(@)",
      "Copy('abcdef', 2, @)",
      "Copy('abcdef', @, 2)",
      "Copy(@, 1, 1)",
      "[1, @, @]",
      "IntToStr(Length(IntToStr(@)))",
      "not (@ = 0)",
  };
  // A formula compiled while one runs (a text constant has no literal inside a quoted text:
  // '' is dropped there).
  const std::pair<const char*, const char*> nested[] = {
      {"KINT", "3"}, {"KFLOAT", "2.5"}, {"KBOOL", "True"}, {"dupError", "2"}};
  for (const auto& [name, literal] : nested)
    EXPECT_EQ(Calc(QStringLiteral("CalcFormula('%1 + 1')").arg(QLatin1String(name))),
              Calc(QStringLiteral("CalcFormula('%1 + 1')").arg(QLatin1String(literal))))
        << name;
  const char* const statements[] = {
      "SetGlobal('x', @, nil); Result := GetGlobal('x', nil);",
      "Result := @;",
      "Result := 0; Result := Result + @;",
  };
  int round = 0;
  for (const auto& [name, literal] : constants) {
    const QString n = QString::number(++round);
    auto with = [&](const char* text, const char* value) {
      return QString::fromLatin1(text).replace(QLatin1Char('@'), QString::fromLatin1(value));
    };
    for (const char* f : formulas)
      EXPECT_EQ(Calc(with(f, name)), Calc(with(f, literal))) << with(f, name).toStdString();
    for (const char* st : statements)
      EXPECT_EQ(RunText(with(st, name)), RunText(with(st, literal)))
          << with(st, name).toStdString();
    const QString routine =
        QStringLiteral(
            "function Named%1: Variant; var v: Variant;\n"
            "begin v := @; Result := [v, IntToStr(@) + IntToStr(@), 1 + @]; end;\n"
            "function Literal%1: Variant; var v: Variant;\n"
            "begin v := #; Result := [v, IntToStr(#) + IntToStr(#), 1 + #]; end;\n"
            "begin end.")
            .arg(n);
    ASSERT_EQ(root->Compile(QString(routine)
                                .replace(QLatin1Char('@'), QString::fromLatin1(name))
                                .replace(QLatin1Char('#'), QString::fromLatin1(literal))),
              QString());
    EXPECT_EQ(Routine(QStringLiteral("Named") + n), Routine(QStringLiteral("Literal") + n)) << name;
  }
  EXPECT_EQ(Calc(QStringLiteral("IntToStr(KINT) + IntToStr(KINT)")), QStringLiteral("256 33"));
  EXPECT_EQ(Calc(QStringLiteral("Copy('abcdef', 2, KINT)")), QStringLiteral("256 bcd"));
}

// `v := v + e` compiles to the plain read, operand, addition and write: its error trail names
// the same instructions as `v := (v) + e`, and e's changes to v count as in `v := (v + e)`.
TEST_F(EngineTest, AppendStatementsKeepTrailsAndOrder) {
  const char* const bodies[] = {
      // error inside the addition
      "s := 'abc'; s := s + 1;",
      "n := 1; n := n + 'x';",
      // errors before and after the statement
      "n := 5 mod 0; s := s + 'a';",
      "s := s + 'a'; n := n + 2; n := 5 mod 0;",
      "s := 'a'; s := s + IntToStr(n) + 'b'; s := s + IntToStr(n); n := n mod 0;",
      "for n := 1 to 3 do s := s + 'x'; Result := s; n := s + 1;",
  };
  int round = 0;
  for (const char* body : bodies) {
    const QString n = QString::number(++round);
    const QString plain = QString::fromLatin1(body);
    QString bracketed = plain;
    bracketed.replace(QStringLiteral("s := s +"), QStringLiteral("s := (s) +"))
        .replace(QStringLiteral("n := n +"), QStringLiteral("n := (n) +"));
    const QString program = QStringLiteral(
                                "function Plain%3: Variant; var s: String; n: Integer;\n"
                                "begin %1 Result := s; end;\n"
                                "function Bracketed%3: Variant; var s: String; n: Integer;\n"
                                "begin %2 Result := s; end;\n"
                                "begin end.")
                                .arg(plain, bracketed, n);
    ASSERT_EQ(root->Compile(program), QString()) << body;
    EXPECT_EQ(Routine(QStringLiteral("Plain") + n),
              Routine(QStringLiteral("Bracketed") + n)
                  .replace(QStringLiteral("Bracketed"), QStringLiteral("Plain")))
        << body;
  }
  ASSERT_EQ(root->Compile(QStringLiteral("function Bad: Variant; var s: String;\n"
                                         "begin s := 'abc'; s := s + 1; end; begin end.")),
            QString());
  EXPECT_TRUE(Routine(QStringLiteral("Bad")).endsWith(QLatin1String("\r\nBad.4:tiTwo")))
      << Routine(QStringLiteral("Bad")).toStdString();

  // e changes v through a var argument: v is read before e, as with brackets.
  const QString order = QStringLiteral(
      "function Make: TStringList; var sl: TStringList;\n"
      "begin sl := sl.Create; sl.Sorted := True; sl.Add('c'); sl.Add('a'); sl.Add('b');\n"
      "Result := sl; end;\n"
      "function Plain: Variant; var i: Integer; sl: TStringList;\n"
      "begin sl := Make; i := 0; i := i + sl.Find('c', i); Result := i; sl.Free; end;\n"
      "function Bracketed: Variant; var i: Integer; sl: TStringList;\n"
      "begin sl := Make; i := 0; i := (i + sl.Find('c', i)); Result := i; sl.Free; end;\n"
      "begin end.");
  ASSERT_EQ(root->Compile(order), QString());
  EXPECT_EQ(Routine(QStringLiteral("Plain")), Routine(QStringLiteral("Bracketed")));
  EXPECT_EQ(Routine(QStringLiteral("Plain")), QStringLiteral("3 -1"));  // 0 + True
}

// A var argument of a native routine takes the variable's value at the call, after the
// arguments that follow it have run.
TEST_F(EngineTest, VarArgumentsAreReadAtTheCall) {
  ASSERT_EQ(root->Compile(QStringLiteral(
                "function Run: Variant; var i: Integer; sl: TStringList;\n"
                "begin sl := sl.Create; sl.Sorted := True; sl.Add('a'); sl.Add('b');\n"
                "sl.Add('c'); i := 0; Insert('X', i, sl.Find('c', i)); Result := i; sl.Free;\n"
                "end; begin end.")),
            QString());
  // Find sets i to 2 before Insert runs: the text inserted into is "2".
  EXPECT_EQ(Routine(QStringLiteral("Run")), QStringLiteral("256 X2"));
}

TEST_F(EngineTest, CreateComponentRaisesTheProgramsError) {
  const std::pair<const char*, const char*> cases[] = {
      {"TNothing", "not found"}, {"Float", "is not class"}, {"TStrings", "is not component class"}};
  for (const auto& [name, why] : cases) {
    const QString text = QStringLiteral("CreateComponent('%1')").arg(QLatin1String(name));
    try {
      root->CalcFormula(text);
      ADD_FAILURE() << name;
    } catch (const TOrvError& e) {
      EXPECT_TRUE(
          e.Message().startsWith(QStringLiteral(" ... \"CreateComponent\" ... \"%1\" ... \"%2\"")
                                     .arg(QLatin1String(name), QLatin1String(why))))
          << e.Message().toStdString();
    }
  }
}

}  // namespace
