// Script texts into descriptions and items: headers, component text, code sections,
// comments, and the application's rewriting, conditions and includes.
#include "fixture.h"

namespace {

// One line per item: "<desc>: [!|.]name:class(params) raw text[..] code[..] src first".
QString Dump(const TOrvCustomScript& script) {
  QStringList out;
  for (size_t d = 0; d < script.Descs.size(); ++d) {
    for (const auto& item : script.Descs[d]->Items) {
      QString s =
          QString::number(d) + QStringLiteral(": ") + (item->IsBang ? "!" : ".") + item->Name;
      if (item->ItemClass != nullptr) s += QLatin1Char(':') + item->ItemClass->ClassName();
      if (item->Params)
        s += QLatin1Char('(') + item->Params->join(QLatin1Char(',')) + QLatin1Char(')');
      if (item->IsRaw) s += QStringLiteral(" raw");
      if (item->TextLines) s += QStringLiteral(" text[") + item->TextLines->join('|') + ']';
      if (item->CodeLines) s += QStringLiteral(" code[") + item->CodeLines->join('|') + ']';
      if (!item->SourceName.isEmpty()) s += QStringLiteral(" src=") + item->SourceName;
      s += QStringLiteral(" @") + QString::number(item->FirstLine);
      out << s;
    }
  }
  return out.join('\n');
}

QString Parse(const char* text, TOrvCustomApp* app = nullptr) {
  TOrvCustomScript script(app);
  script.LoadBytes(QByteArray(text));
  return Dump(script);
}

TEST_F(HostTest, ParserTable) {
  const std::pair<const char*, const char*> cases[] = {
      // Headers: name, class, parameters; a "!" further on wins over dots.
      {"!Btn:TTestForm:S1:S2", "0: !Btn:TTestForm(S1,S2) @0"},
      {".Btn:S1", "0: .Btn(S1) @0"},
      {"!TTestForm", "0: !:TTestForm @0"},
      {"!TTestForm:S1 : S2", "0: !:TTestForm(S1,S2) @0"},
      {".Btn:TTestForm", "0: .Btn:TTestForm @0"},
      {".Btn:Nope:S2", "0: .Btn(Nope,S2) @0"},
      {".A.B", "0: .A @0\n0: .B @0"},
      {".A.B!C", "0: .A.B @0\n0: !C @0"},
      // Text before any header is one raw item; "//" cuts even inside quotes.
      {"object X: TTestForm\nCaption = 'a//b'\nend",
       "0: . raw text[object X: TTestForm|Caption = 'a|end] @0"},
      // Brace comments: text before "{" and right after "}" stays.
      {".A\nx = 1 { c } y = 2\n{ open\nstill\n} z = 3", "0: .A text[x = 1|y = 2|z = 3] @0"},
      // ":" alone gets "END."; ":Name" keeps its code uncompiled; code keeps "//" and "{".
      {".A\n:\nbegin // c\n{x}\n:rest", "0: .A code[begin // c|{x}|END.] @0"},
      {".A\n:Unit1\nvar x;\n:", "0: .A code[var x;] src=Unit1 @0"},
      {".A\n::\ny\n:", "0: .A code[y|END.] src=: @0"},
      // A ":" line before any header opens the "." description.
      {":\nz\n:", "0: . code[z|END.] @0"},
      {"  \n// only a comment\n\n", ""},
      {".A\n.B\nCount = 1", "0: .A @0\n1: .B text[Count = 1] @1"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Parse(text), QString::fromUtf8(expected)) << text;
}

QString ParseApp(TOrvApp* app, const char* id, const char* text) {
  TOrvScript script(app, QString::fromUtf8(id));
  script.LoadBytes(QByteArray(text));
  return Dump(script);
}

TEST_F(HostTest, TheApplicationRewritesOldTextAndDropsNullableAttributes) {
  EXPECT_EQ(ParseApp(app, "S",
                     ".A\nobject Q: TADOQuery\nAttributes = [paNullable]\nValue = NULL\n"
                     "object P: tOrvAdoSpList\nend\nend"),
            "0: .A text[object Q: TZQuery|object P: TOrvZeosSPList|end|end] @0");
}

TEST_F(HostTest, ConditionsCommentOutTheBranchThatDoesNotHold) {
  const char* text = ".A\n{$IFDEF %1}\nCount = 1\n{$ELSE}\nCount = 2\n{$ENDIF}\n";
  const std::pair<const char*, const char*> cases[] = {
      {"Note", "0: .A text[Count = 1] @0"},               // a global routine
      {"TTestForm.Caption", "0: .A text[Count = 1] @0"},  // a member of a class
      {"NoSuchName", "0: .A text[Count = 2] @0"},
      {"NoSuchClass.Caption", "0: .A text[Count = 2] @0"},  // an unknown class: false
  };
  for (const auto& [name, expected] : cases) {
    const QByteArray t = QString::fromLatin1(text).arg(QLatin1String(name)).toUtf8();
    EXPECT_EQ(ParseApp(app, "S", t.constData()), QString::fromUtf8(expected)) << name;
  }
  // Directives in any letter case.
  EXPECT_EQ(ParseApp(app, "S", ".A\n{$ifdef Nope}\nCount = 1\n{$else}\nCount = 2\n{$endif}"),
            "0: .A text[Count = 2] @0");
  // Without {$ELSE} a false condition comments out up to {$ENDIF}.
  EXPECT_EQ(ParseApp(app, "S", ".A\n{$IFDEF Nope}\nCount = 1\n{$ENDIF}\nCaption = 'x'"),
            "0: .A text[Caption = 'x'] @0");
}

TEST_F(HostTest, IncludesInsertTheirLinesWhichKeepTheirOwnScriptAndLine) {
  AddSource({{"INC", "Count = 5\nCaption = 'i'"}, {"OUTER", "x"}});
  TOrvScript script(app, QStringLiteral("OUTER"));
  script.LoadBytes(".A\n..INC\nTag = 1");
  EXPECT_EQ(Dump(script), "0: .A text[Count = 5|Caption = 'i'|Tag = 1] @0");
  EXPECT_EQ(Running(), QStringList());  // an include pops its ID once its lines are in
}

TEST_F(HostTest, AnIncludeCycleIsCutAndNamesTheChain) {
  AddSource({{"A", ".X\nCount = 1\n..B"}, {"B", "Tag = 2\n..a"}});
  TOrvScript script(app, QStringLiteral("A"));
  script.LoadLines(*app->Source(0)->FindScript(QStringLiteral("A")));
  EXPECT_EQ(Dump(script), "0: .X text[Count = 1|Tag = 2] @0");
  EXPECT_EQ(TakeBoxes(),
            QStringList{"Внимание! | Ошибка загрузки: включение по кругу: A -> B -> a"});
  EXPECT_TRUE(app->State.ScriptErrorFlag);
  EXPECT_EQ(app->State.ErrorScript, "B");
  EXPECT_EQ(app->State.ScriptErrorLine, 1);
}

TEST_F(HostTest, ASelfIncludeIsACycleToo) {
  AddSource({{"A", ".X\n..A\nCount = 1"}});
  TOrvScript script(app, QStringLiteral("A"));
  script.LoadLines(*app->Source(0)->FindScript(QStringLiteral("A")));
  EXPECT_EQ(Dump(script), "0: .X text[Count = 1] @0");
  EXPECT_EQ(TakeBoxes().size(), 1);
}

}  // namespace
