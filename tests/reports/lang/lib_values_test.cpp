// The report library's values, files, data-file fields and typed dates.
#include "reports/lang/orvReps_Lib.h"

#include "platform/data/fieldtypes.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QtEndian>

#include <gtest/gtest.h>

#include <sys/file.h>
#include <fcntl.h>
#include <unistd.h>

using namespace orvReps_Lib;

namespace {

Variant Literal(const char* text) {
  Variant v;
  LiteralToVariant(v, S(text));
  return v;
}

Variant Typed(const char* text, int type, bool trim = true) {
  Variant v;
  TypedTextToVariant(v, S(text), type, trim);
  return v;
}

}  // namespace

TEST(LibValues, Literals) {
  EXPECT_TRUE(Literal(" null ").IsNull());
  EXPECT_EQ(Literal("TRUE").VType(), varBoolean);
  EXPECT_FALSE(Literal("false").ToBool());
  Variant i = Literal("12");
  EXPECT_EQ(i.VType(), varInteger);
  EXPECT_EQ(i.ToInt(), 12);
  Variant f = Literal("1.5");
  EXPECT_EQ(f.VType(), varDouble);
  EXPECT_DOUBLE_EQ(f.ToDouble(), 1.5);
  EXPECT_EQ(Literal("1e5").ToString(), S("1e5"));
  EXPECT_EQ(Literal("'abc'").ToString(), S("abc"));
  EXPECT_EQ(Literal(" it's ").ToString(), S(" it's "));
  Variant d = Literal("DATE:31.12.2020");
  EXPECT_EQ(d.VType(), varDate);
  EXPECT_DOUBLE_EQ(d.ToDateTime(), EncodeDate(2020, 12, 31));
  EXPECT_EQ(Literal("DATE:xx").ToString(), S("DATE:xx"));
  EXPECT_THROW(Literal("1.x"), EConvertError);

  std::vector<Variant> values;
  EXPECT_EQ(SplitListN(S("1;'a';null;2.5"), values, 3, QLatin1Char(';')), 3);
  EXPECT_EQ(values[0].ToInt(), 1);
  EXPECT_EQ(values[1].ToString(), S("a"));
  EXPECT_TRUE(values[2].IsNull());
}

TEST(LibValues, TypedTexts) {
  EXPECT_FALSE(Typed("yes", ftBoolean).ToBool());
  EXPECT_TRUE(Typed("true", ftBoolean).ToBool());
  EXPECT_TRUE(Typed("", ftInteger).IsNull());
  EXPECT_TRUE(Typed(" NuLL ", ftString).IsNull());
  EXPECT_EQ(Typed("", ftString).ToString(), S(""));
  EXPECT_EQ(Typed(" 'Ab' ", ftString).ToString(), S("Ab"));
  EXPECT_EQ(Typed(" 'Ab' ", ftString, false).ToString(), S(" 'Ab' "));
  EXPECT_EQ(Typed("42", ftLargeint).ToInt(), 42);
  EXPECT_DOUBLE_EQ(Typed("2.25", ftCurrency).ToDouble(), 2.25);
  EXPECT_DOUBLE_EQ(Typed("garbage", ftDateTime).ToDateTime(), 0.0);
  EXPECT_THROW(Typed("4x", ftInteger), EConvertError);
  Variant v;
  PrefixedTextToVariant(v, S("i:42"), ftString, true);
  EXPECT_EQ(v.VType(), varInteger);
  PrefixedTextToVariant(v, S("I:42"), ftString, true);
  EXPECT_EQ(v.ToString(), S("I:42"));
  PrefixedTextToVariant(v, S("f:0.5"), ftString, true);
  EXPECT_DOUBLE_EQ(v.ToDouble(), 0.5);
  EXPECT_EQ(VarToStrDef(Variant::Null()), S(""));
  EXPECT_EQ(VarToStrDef(Variant(7)), S("7"));
}

TEST(LibValues, DotNumbersLeaveTheSettingsAlone) {
  TFormatSettings saved = FormatSettings();
  FormatSettings().DecimalSeparator = QLatin1Char(',');
  EXPECT_DOUBLE_EQ(StrToFloatDot(S("3.25")), 3.25);
  EXPECT_EQ(FloatToStrDot(3.25), S("3.25"));
  QString t = S("x=");
  AddFloatDot(t, -0.5);
  EXPECT_EQ(t, S("x=-0.5"));
  EXPECT_EQ(FormatSettings().DecimalSeparator, QLatin1Char(','));
  EXPECT_THROW(StrToFloatDot(S("abc")), EConvertError);
  FormatSettings() = saved;
}

TEST(LibValues, DurationsAndWeekdays) {
  EXPECT_EQ(DurationText(999), S(""));
  EXPECT_EQ(DurationText(90061000), S("1 дн 1 ч 1 мин 1 сек"));
  EXPECT_EQ(DurationText(86400000 + 2 * 3600000 + 5000), S("1 дн 2 ч 5 сек"));
  EXPECT_EQ(WeekDayName(EncodeDate(2021, 3, 15), true), S("понедельник"));
  EXPECT_EQ(WeekDayName(EncodeDate(2021, 3, 14), false), S("вс"));
}

TEST(LibValues, DataFileFields) {
  QByteArray buf;
  auto put = [&](auto v) {
    v = qToLittleEndian(v);
    buf.append(reinterpret_cast<const char*>(&v), sizeof v);
  };
  put(qint32(-5));       // 1..4
  put(qint64(1) << 40);  // 5..12
  double d = 2.5;
  quint64 bits;
  memcpy(&bits, &d, 8);
  put(bits);              // 13..20
  put(qint32(3));         // 21..24 days
  put(qint32(12960000));  // 25..28 half a day in 1/300 s
  put(quint16(u'Ж'));     // 29..30
  put(quint16(u'x'));     // 31..32
  buf.append('\0');       // 33
  EXPECT_EQ(BufInt32(buf, 1), -5);
  EXPECT_EQ(BufInt64(buf, 5), qint64(1) << 40);
  EXPECT_DOUBLE_EQ(BufDouble(buf, 13, 1.0), 3.5);
  EXPECT_DOUBLE_EQ(BufDaySec300(buf, 21, 10.0), 13.5);
  EXPECT_EQ(BufWideStr(buf, 29, 32), S("Жx"));
  EXPECT_EQ(BufUIntLE(buf, 1, 2), 0xFFFBu);
  EXPECT_EQ(BufUIntLE(buf, 2, 1), 0u);
  EXPECT_TRUE(BufBool(buf, 1));
  EXPECT_FALSE(BufBool(buf, 33));
  EXPECT_EQ(BufInt32(buf, 32), 0);  // past the end reads nothing

  TDateTime d2 = 0;
  ASSERT_TRUE(TryStrToDateTime(S("2021.03.05 10:20:30"), d2, DataFileDateTimeSettings()));
  EXPECT_DOUBLE_EQ(d2, EncodeDateTime(2021, 3, 5, 10, 20, 30, 0));
  ASSERT_TRUE(TryStrToDate(S("2021.03.05"), d2, DataFileDateSettings()));
  EXPECT_DOUBLE_EQ(d2, EncodeDate(2021, 3, 5));
}

TEST(LibValues, DateInput) {
  const TDateTime base = EncodeDate(2021, 3, 15);
  struct Case {
    const char* text;
    bool withDay;
    int y, m, d;          // y 0: refused
    const char* message;  // start of the message when refused
  };
  const Case cases[] = {
      {"5", true, 2021, 3, 5, ""},
      {"0321", false, 2021, 3, 1, ""},
      {"0503", true, 2021, 3, 5, ""},
      {"050321", true, 2021, 3, 5, ""},
      {"032022", false, 2022, 3, 1, ""},
      {"05032019", false, 2019, 3, 1, ""},
      {" 5 3 19 ", true, 2019, 3, 5, ""},
      {"5/3", true, 2021, 3, 5, ""},
      {"3-2020.", false, 2020, 3, 1, ""},
      {"29.02.2024", true, 2024, 2, 29, ""},
      {"31.02", true, 0, 0, 0, "Неправильная дата: \"31.02\"\r\nДаты 31.2.2021 не существует\r\n"},
      {"1..2", true, 0, 0, 0, "Неправильная дата: \"1..2\"\r\nДаты 1.0.2002 не существует"},
      {"29.02.2100", true, 0, 0, 0,
       "Неправильная дата: \"29.02.2100\"\r\nДаты 29.2.2100 не существует"},
      {"12a", true, 0, 0, 0, "Неправильный формат даты: \"12a\"\r\n\r\nНаберите дату"},
      {".5", true, 0, 0, 0, "Неправильный формат даты"},
      {"5..", true, 0, 0, 0, "Неправильный формат даты"},
      {"1.2.3.4", true, 0, 0, 0, "Неправильный формат даты"},
      {"123", true, 0, 0, 0, "Неправильный формат даты"},
      {"", true, 0, 0, 0, "Неправильный формат даты"},
  };
  for (const Case& c : cases) {
    TDateTime date = -1;
    QString message;
    const bool ok = ParseDateInput(S(c.text), base, c.withDay, true, date, &message);
    EXPECT_EQ(ok, c.y != 0) << c.text;
    if (c.y) {
      EXPECT_DOUBLE_EQ(date, EncodeDate(c.y, c.m, c.d)) << c.text;
    } else {
      EXPECT_TRUE(message.startsWith(S(c.message))) << c.text << ": " << message.toStdString();
    }
  }
  QString quiet;
  TDateTime date = 0;
  EXPECT_FALSE(ParseDateInput(S("x"), base, true, false, date, &quiet));
  EXPECT_TRUE(quiet.isEmpty());
  EXPECT_EQ(DateFormatsHelp(false),
            S("\r\nНаберите дату в одном из следующих форматов:\r\n        М\r\n        ММГГ"
              "\r\n        ММГГГГ\r\n        ДДММГГГГ\r\nили через любые разделители "
              "(пробел . , / \\ * - +):\r\n        М.Г\r\n        Д.М.Г"));
  EXPECT_FALSE(ValidYMD(2100, 2, 29));
  EXPECT_TRUE(ValidYMD(2000, 2, 29));
}

TEST(LibFiles, LoadSaveAndHelpers) {
  const QString dir = testsupport::TempFolder();
  const QString name = dir + S("/t.txt");
  EXPECT_TRUE(SaveStrToFile(name, S("Привет\r\nмир")));
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.readAll(), QByteArray("\xCF\xF0\xE8\xE2\xE5\xF2\r\n\xEC\xE8\xF0"));
  f.close();
  QString text;
  EXPECT_TRUE(LoadFileToStr(text, name));
  EXPECT_EQ(text, S("Привет\r\nмир"));
  EXPECT_FALSE(LoadFileToStr(text, S("")));
  EXPECT_FALSE(LoadFileToStr(text, dir + S("/none")));
  EXPECT_THROW(SaveStrToFile(dir + S("/no/such/dir/x"), S("x")), EFCreateError);

  EXPECT_EQ(JoinDirPath(S("/a"), S("b")), S("/a/b/"));
  EXPECT_EQ(JoinDirPath(S("/a/"), S("b/")), S("/a/b/"));
  EXPECT_EQ(JoinDirPath(S("/a"), S("")), S("/a"));
  int first = -1, last = -1;
  EXPECT_EQ(QuestionMarks(S("a?b??"), first, last), 3);
  EXPECT_EQ(first, 2);
  EXPECT_EQ(last, 5);
  EXPECT_EQ(QuestionMarks(S("ab"), first, last), 0);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(FillQuestionMarks(S("r???"), 255, 3), S("r0FF"));
  EXPECT_EQ(FillQuestionMarks(S("r?"), 255, 1), S("rF"));
  EXPECT_EQ(FillQuestionMarks(S("r????"), 10, 0), S("rA???"));
  qputenv("ORV_REPS_TEST_VAR", "val");
  QString env = S("%ORV_REPS_TEST_VAR%/x %NO_SUCH_ORV_VAR% %ORV_REPS_TEST_VAR%");
  ExpandEnvVars(env);
  EXPECT_EQ(env, S("val/x %NO_SUCH_ORV_VAR% val"));
}

TEST(LibFiles, UniqueFilesAreCreatedAndNeverShared) {
  const QString dir = testsupport::TempFolder();
  QSet<QString> names;
  for (int i = 0; i < 50; ++i) {
    const QString n = CreateUniqueFile(dir, S("sub"), S("reps"), S(".txt"));
    EXPECT_TRUE(QFile::exists(n)) << n.toStdString();
    EXPECT_TRUE(n.startsWith(dir + S("/sub/reps")));
    EXPECT_TRUE(n.endsWith(S(".txt")));
    names.insert(n);
  }
  EXPECT_EQ(names.size(), 50);
  QFile blocker(dir + S("/file"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  EXPECT_THROW(CreateUniqueFile(dir + S("/file"), S("sub"), S("r"), S(".x")), EFCreateError);
}

TEST(LibFiles, DeleteFilesAndFileCanOpen) {
  const QString dir = testsupport::TempFolder();
  QDir().mkpath(dir + S("/keep"));
  QDir().mkpath(dir + S("/tmp1/tmp2"));
  for (const char* n :
       {"/a.txt", "/B.TXT", "/c.log", "/tmp1/x.txt", "/tmp1/tmp2/y.txt", "/keep/z.txt"}) {
    QFile f(dir + S(n));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  }
  EXPECT_TRUE(DeleteFiles(dir, S("*.txt"), S("tmp*"), false));
  EXPECT_FALSE(QFile::exists(dir + S("/a.txt")));
  EXPECT_FALSE(QFile::exists(dir + S("/B.TXT")));
  EXPECT_TRUE(QFile::exists(dir + S("/c.log")));
  EXPECT_FALSE(QDir(dir + S("/tmp1")).exists());
  EXPECT_TRUE(QFile::exists(dir + S("/keep/z.txt")));
  // A folder that still holds files cannot be removed: reported, the rest goes on.
  EXPECT_FALSE(DeleteFiles(dir + S("/keep"), S("*.log"), S(""), true));

  const QString name = dir + S("/c.log");
  EXPECT_TRUE(FileCanOpen(name, 0));
  EXPECT_TRUE(FileCanOpen(name, 3));
  EXPECT_FALSE(FileCanOpen(name, 4));
  EXPECT_FALSE(FileCanOpen(dir + S("/none"), 1));
  const int fd = ::open(QFile::encodeName(name).constData(), O_RDONLY);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX), 0);
  EXPECT_FALSE(FileCanOpen(name, 1));  // held by another program
  ::close(fd);
  EXPECT_TRUE(FileCanOpen(name, 1));
}
