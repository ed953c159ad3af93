#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QStringList Lines(const TStrings& list) { return list.ToStringList(); }

TStringList* Make(const QStringList& lines) {
  auto* list = new TStringList;
  list->AddStrings(lines);
  return list;
}

// Counts the change notifications a list sends.
class CountingList : public TStringList {
 public:
  int changing = 0, changed = 0;

 protected:
  void Changing() override { ++changing; }
  void Changed() override { ++changed; }
};

}  // namespace

TEST(StringList, CommaTextRoundTrips) {
  struct Case {
    QStringList items;
    QString text;
  };
  const std::vector<Case> cases = {
      {{"a", "b", "c"}, "a,b,c"},
      {{"two words", "x"}, "\"two words\",x"},
      {{"a,b", "c"}, "\"a,b\",c"},
      {{"say \"hi\"", "q"}, "\"say \"\"hi\"\"\",q"},
      {{"", "b", ""}, ",b,"},
      {{""}, "\"\""},
      {{}, ""},
      {{"tab\there", "Привет мир"}, "\"tab\there\",\"Привет мир\""},
      {{"'single'"}, "'single'"},
  };
  for (const Case& c : cases) {
    std::unique_ptr<TStringList> list(Make(c.items));
    EXPECT_EQ(list->CommaText(), c.text) << c.text.toStdString();
    TStringList back;
    back.SetCommaText(c.text);
    EXPECT_EQ(Lines(back), c.items) << c.text.toStdString();
  }
}

TEST(StringList, DelimitedTextParsing) {
  struct Case {
    QString text;
    bool strict;
    QStringList items;
  };
  const std::vector<Case> cases = {
      {"  a b ;c", false, {"a", "b", "c"}},  // blanks split and are skipped
      {"a;;b", false, {"a", "", "b"}},
      {"a;", false, {"a", ""}},
      {"\"a\"b;c", false, {"a", "b", "c"}},  // text after a closing quote is an item
      {"\"unterminated; x", false, {"unterminated; x"}},
      {"\"\"\"\"", false, {"\""}},
      {QString::fromUtf16(u"a\0b;\0", 5),
       false,
       {"a", "b"}},  // NUL is a blank, not an endless item
      {QString::fromUtf16(u"a\0b;\0", 5),
       true,
       {QString::fromUtf16(u"a\0b", 3), QString::fromUtf16(u"\0", 1)}},
      {"  a b ; c ", true, {"  a b ", " c "}},  // strict: only the delimiter splits
      {"a;", true, {"a", ""}},
      {";", true, {"", ""}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetDelimiter(';');
    list.SetStrictDelimiter(c.strict);
    list.SetDelimitedText(c.text);
    EXPECT_EQ(Lines(list), c.items) << c.text.toStdString();
  }
  std::unique_ptr<TStringList> list(Make({"a b", "c;d", "e"}));
  list->SetDelimiter(';');
  list->SetQuoteChar('\'');
  EXPECT_EQ(list->DelimitedText(), "'a b';'c;d';e");
  list->SetStrictDelimiter(true);
  EXPECT_EQ(list->DelimitedText(), "a b;'c;d';e");
  EXPECT_EQ(list->CommaText(), "\"a b\",c;d,e");  // CommaText keeps its own rules
}

TEST(StringList, TextJoinsWithCrLfAndSplitsEveryBreak) {
  std::unique_ptr<TStringList> list(Make({"one", "", "три"}));
  EXPECT_EQ(list->Text(), "one\r\n\r\nтри\r\n");
  struct Case {
    QString text;
    QStringList lines;
  };
  const std::vector<Case> cases = {
      {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
      {"a\r\n", {"a"}},
      {"a\n\n", {"a", ""}},
      {"\r\n", {""}},
      {"", {}},
      {"a\n\rb", {"a", "", "b"}},
  };
  for (const Case& c : cases) {
    list->SetText(c.text);
    EXPECT_EQ(Lines(*list), c.lines) << c.text.toStdString();
  }
}

TEST(StringList, NamesAndValues) {
  std::unique_ptr<TStringList> list(
      Make({"DEBUG=Y", "bare", "Ключ=знач=ение", "debug=N", "=empty"}));
  EXPECT_EQ(list->Values("debug"), "Y");  // first line wins, case ignored
  EXPECT_EQ(list->Values("КЛЮЧ"), "знач=ение");
  EXPECT_EQ(list->Values("bare"), "");
  EXPECT_EQ(list->Values(""), "empty");
  EXPECT_EQ(list->Names(1), "");
  EXPECT_EQ(list->ValueFromIndex(1), "");
  EXPECT_EQ(list->Names(2), "Ключ");
  EXPECT_EQ(list->IndexOfName("DeBuG"), 0);
  EXPECT_EQ(list->IndexOfName("missing"), -1);
  list->SetValues("debug", "1");
  EXPECT_EQ(list->Strings(0), "debug=1");
  list->SetValues("NEW", "v");
  EXPECT_EQ(list->Strings(5), "NEW=v");
  list->SetValues("ключ", "");  // an empty value deletes the line
  EXPECT_EQ(Lines(*list), (QStringList{"debug=1", "bare", "debug=N", "=empty", "NEW=v"}));
  list->SetValueFromIndex(2, "M");
  EXPECT_EQ(list->Strings(2), "debug=M");
  list->SetNameValueSeparator(':');
  list->Add("host:db");
  EXPECT_EQ(list->Values("HOST"), "db");
}

TEST(StringList, SortedWithDuplicates) {
  struct Case {
    TDuplicates duplicates;
    QStringList expected;
  };
  const std::vector<Case> cases = {
      {dupIgnore, {"Apple", "banana", "Ёж", "жук"}},
      {dupAccept, {"Apple", "apple", "banana", "Ёж", "ёж", "жук"}},
  };
  for (const Case& c : cases) {
    TStringList list;
    list.SetSorted(true);
    list.SetDuplicates(c.duplicates);
    for (const char* s : {"жук", "Apple", "banana", "Ёж", "apple", "ёж"})
      list.Add(QString::fromUtf8(s));
    EXPECT_EQ(Lines(list), c.expected) << c.duplicates;
  }
  TStringList strict;
  strict.SetSorted(true);
  strict.SetDuplicates(dupError);
  strict.Add("x");
  try {
    strict.Add("X");
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "String list does not allow duplicates");
  }
  strict.SetCaseSensitive(true);
  strict.Add("X");
  EXPECT_EQ(Lines(strict), (QStringList{"x", "X"}));  // lower case first
  EXPECT_THROW(strict.Insert(0, "a"), EStringListError);
  EXPECT_THROW(strict.SetStrings(0, "a"), EStringListError);
  EXPECT_THROW(strict.Move(0, 1), EStringListError);
  EXPECT_EQ(Lines(strict), (QStringList{"x", "X"}));

  // dupIgnore keeps the first object; the program's name index relies on the index answer.
  TStringList index;
  index.SetSorted(true);
  TObject first, second;
  EXPECT_EQ(index.AddObject("Имя", &first), 0);
  EXPECT_EQ(index.AddObject("ИМЯ", &second), 0);
  EXPECT_EQ(index.Objects(0), &first);
  EXPECT_EQ(index.Strings(0), "Имя");
}

TEST(StringList, FindIgnoresCaseWithCyrillic) {
  TStringList list;
  list.SetSorted(true);
  for (const char* s : {"дерево_элемент", "Документ", "ёлка", "Акт", "zeta", "Alpha"}) {
    list.Add(QString::fromUtf8(s));
  }
  EXPECT_EQ(Lines(list),
            (QStringList{"Alpha", "zeta", "Акт", "дерево_элемент", "Документ", "ёлка"}));
  struct Case {
    const char* s;
    bool found;
    int index;
  };
  const Case cases[] = {
      {"ДЕРЕВО_ЭЛЕМЕНТ", true, 3},
      {"документ", true, 4},
      {"ЁЛКА", true, 5},
      {"алфавит", false, 3},
      {"Б", false, 3},
      {"ялта", false, 6},
      {"", false, 0},
      {"ZETA", true, 1},
  };
  for (const Case& c : cases) {
    int index = -1;
    EXPECT_EQ(list.Find(QString::fromUtf8(c.s), index), c.found) << c.s;
    EXPECT_EQ(index, c.index) << c.s;
    EXPECT_EQ(list.IndexOf(QString::fromUtf8(c.s)), c.found ? c.index : -1) << c.s;
  }
  list.SetCaseSensitive(true);
  int index = 0;
  EXPECT_FALSE(list.Find("документ", index));
}

TEST(StringList, EditingOperationsAndIndexErrors) {
  std::unique_ptr<TStringList> list(Make({"a", "b", "c", "d"}));
  TObject o;
  list->SetObjects(1, &o);
  list->Move(1, 3);
  EXPECT_EQ(Lines(*list), (QStringList{"a", "c", "d", "b"}));
  EXPECT_EQ(list->IndexOfObject(&o), 3);
  list->Exchange(0, 3);
  EXPECT_EQ(list->Objects(0), &o);
  list->Insert(4, "e");
  list->Delete(1);
  EXPECT_EQ(Lines(*list), (QStringList{"b", "d", "a", "e"}));
  EXPECT_EQ(list->IndexOf("A"), 2);

  const std::vector<std::pair<std::function<void()>, int>> bad = {
      {[&] { list->Strings(4); }, 4},     {[&] { list->Delete(-1); }, -1},
      {[&] { list->Insert(6, ""); }, 6},  {[&] { list->Objects(9); }, 9},
      {[&] { list->Exchange(0, 7); }, 7}, {[&] { list->Names(-2); }, -2},
  };
  for (const auto& [call, index] : bad) {
    try {
      call();
      ADD_FAILURE() << index;
    } catch (const EStringListError& e) {
      EXPECT_EQ(e.Message(), QString("List index out of bounds (%1)").arg(index));
    }
  }

  TStringList copy;
  copy.Add("old");
  copy.Assign(list.get());
  EXPECT_TRUE(copy.Equals(list.get()));
  copy.SetStrings(0, "B");
  EXPECT_FALSE(copy.Equals(list.get()));  // letter case counts
  copy.AddStrings(&copy);
  EXPECT_EQ(copy.Count(), 8);
  TPersistent other;
  EXPECT_THROW(copy.Assign(&other), EConvertError);
}

TEST(StringList, ChangeNotificationsAroundUpdates) {
  CountingList list;
  list.Add("a");
  list.Add("b");
  EXPECT_EQ(list.changed, 2);
  list.BeginUpdate();
  list.BeginUpdate();
  list.SetText("x\ny\nz");
  list.Delete(0);
  list.EndUpdate();
  EXPECT_EQ(list.changed, 2);
  list.EndUpdate();
  EXPECT_EQ(list.changing, 3);
  EXPECT_EQ(list.changed, 3);
  list.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(StringList, SortsAreStableAndSurviveBadComparisons) {
  TStringList list;
  for (const char* s : {"b2", "a", "B1", "b3", "A"}) list.Add(s);
  list.CustomSort([](TStringList* l, int i, int j) {
    return l->Strings(i).toLower()[0].unicode() - l->Strings(j).toLower()[0].unicode();
  });
  EXPECT_EQ(Lines(list), (QStringList{"a", "A", "b2", "B1", "b3"}));

  std::mt19937 random(7);
  for (int i = 0; i < 2000; ++i) list.Add(QString::number(i));
  list.CustomSort([&random](TStringList*, int, int) { return int(random() % 3) - 1; });
  EXPECT_EQ(list.Count(), 2005);
  list.Sort();
  for (int i = 1; i < list.Count(); ++i)
    ASSERT_LE(list.CompareStrings(list.Strings(i - 1), list.Strings(i)), 0);
}

TEST(StringList, FilesIn1251AndMarkedUtf8) {
  const QString folder = testsupport::TempFolder();
  std::unique_ptr<TStringList> list(Make({"Привет", "line two"}));
  list->SaveToFile(folder + "/ansi.txt");
  EXPECT_EQ(ReadFileBytes(folder + "/ansi.txt"), ToAnsi("Привет\r\nline two\r\n"));

  list->Add("日本");  // no 1251 code: the file becomes UTF-8 with a mark, nothing is lost
  list->SaveToFile(folder + "/wide.txt");
  EXPECT_TRUE(ReadFileBytes(folder + "/wide.txt").startsWith("\xEF\xBB\xBF"));
  TStringList back;
  back.LoadFromFile(folder + "/wide.txt");
  EXPECT_EQ(Lines(back), Lines(*list));
  EXPECT_EQ(back.Encoding(), TTextFileEncoding::Utf8Bom);

  WriteFileAtomically(folder + "/u16.txt", QByteArray("\xFF\xFE"
                                                      "a\0\r\0\n\0\x16\x04",
                                                      10));
  back.LoadFromFile(folder + "/u16.txt");
  EXPECT_EQ(Lines(back), (QStringList{"a", "Ж"}));

  WriteFileAtomically(folder + "/linux.txt", QString("Ёлка\nёж\n").toUtf8());  // unmarked UTF-8
  back.LoadFromFile(folder + "/linux.txt");
  EXPECT_EQ(Lines(back), (QStringList{"Ёлка", "ёж"}));
  back.SaveToFile(folder + "/linux.txt");
  EXPECT_EQ(ReadFileBytes(folder + "/linux.txt"), QString("Ёлка\r\nёж\r\n").toUtf8());

  back.LoadFromFile(folder + "/ansi.txt");
  EXPECT_EQ(Lines(back), (QStringList{"Привет", "line two"}));
  EXPECT_THROW(back.LoadFromFile(folder + "/missing.txt"), EFOpenError);

  TMemoryStream stream;
  stream.WriteBuffer(QByteArray("skip|x\ry"));
  stream.SetPosition(5);
  back.LoadFromStream(&stream);
  EXPECT_EQ(Lines(back), (QStringList{"x", "y"}));
}
