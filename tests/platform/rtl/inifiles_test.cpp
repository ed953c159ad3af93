#include "platform/rtl/codepage.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// An INI file as a Windows editor leaves it: 1251, CR LF, comments, odd lines.
const char* const kOrvIni =
    "; settings of the client\r\n"
    "[HELP]\r\n"
    "File = ORV.CHM \r\n"
    "\r\n"
    "[Connection]\r\n"
    "IgnoreCmdLine=0\r\n"
    "ConnectionString=\"Provider=X;Data Source=db\"\r\n"
    "NOCOUNT=0x1F\r\n"
    "garbage line without equals\r\n"
    "[Отчёты]\r\n"
    "Путь=C:\\Отчёты\r\n"
    "[connection]\r\n"
    "IgnoreCmdLine=1\r\n";

QString WriteIni(const QByteArray& bytes) {
  const QString name = testsupport::TempFolder() + "/ORV.INI";
  WriteFileAtomically(name, bytes);
  return name;
}

QStringList Lines(TStrings& list) { return list.ToStringList(); }

}  // namespace

TEST(IniFile, ReadsWindowsFilesIgnoringCase) {
  TIniFile ini(WriteIni(ToAnsi(kOrvIni)));
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"help", "FILE", "ORV.CHM"},           // blanks around names and values go
      {"CONNECTION", "ignorecmdline", "0"},  // the first section of a name wins
      {"Connection", "ConnectionString", "Provider=X;Data Source=db"},  // quotes go
      {"ОТЧЁТЫ", "путь", "C:\\Отчёты"},                                 // Cyrillic folds too
      {"HELP", "missing", "<def>"},
      {"nosection", "File", "<def>"},
      {"Connection", "garbage line without equals", "<def>"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ini.ReadString(QString::fromUtf8(c.section), QString::fromUtf8(c.key), "<def>"),
              QString::fromUtf8(c.value))
        << c.section << "/" << c.key;
  }
  EXPECT_EQ(ini.ReadInteger("CONNECTION", "NOCOUNT", 0), 31);
  EXPECT_EQ(ini.ReadInteger("HELP", "File", 7), 7);
  EXPECT_TRUE(ini.ReadBool("connection", "NoCount", false));
  EXPECT_FALSE(ini.ReadBool("connection", "IgnoreCmdLine", true));
  EXPECT_TRUE(ini.SectionExists("отчёты"));
  EXPECT_TRUE(ini.ValueExists("help", "file"));
  EXPECT_FALSE(ini.ValueExists("help", "none"));

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(Lines(list), (QStringList{"HELP", "Connection", "Отчёты"}));
  ini.ReadSection("connection", &list);
  EXPECT_EQ(Lines(list), (QStringList{"IgnoreCmdLine", "ConnectionString", "NOCOUNT"}));
  ini.ReadSectionValues("HELP", &list);
  EXPECT_EQ(Lines(list), (QStringList{"File=ORV.CHM"}));
}

TEST(IniFile, EncodingsAreRecognised) {
  const QByteArray utf8 = QString("[Раздел]\nКлюч=Значение\n").toUtf8();
  const std::vector<QByteArray> files = {
      ToAnsi("[Раздел]\r\nКлюч=Значение\r\n"),
      "\xEF\xBB\xBF" + utf8,
      utf8,  // no mark: recognised as valid UTF-8
      [] {
        QByteArray b("\xFF\xFE");
        for (QChar c : QString("[Раздел]\r\nКлюч=Значение"))
          b.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
        return b;
      }(),
  };
  for (const QByteArray& bytes : files) {
    TMemIniFile ini(WriteIni(bytes));
    EXPECT_EQ(ini.ReadString("раздел", "ключ", ""), "Значение") << bytes.toHex().toStdString();
  }
}

TEST(IniFile, WritesKeepOtherLinesEncodingAndLineEnds) {
  const QString name = WriteIni(ToAnsi(kOrvIni));
  {
    TIniFile ini(name);
    ini.WriteString("CONNECTION", "ignorecmdline", "1");  // the key keeps its spelling
    ini.WriteInteger("help", "Size", 12);  // goes after the last key, before the blank
    ini.WriteString("Новый", "Ключ", " padded ");
    ini.DeleteKey("connection", "NOCOUNT");
    ini.WriteBool("Отчёты", "Флаг", true);
  }
  const QString expected =
      "; settings of the client\r\n"
      "[HELP]\r\n"
      "File = ORV.CHM \r\n"
      "Size=12\r\n"
      "\r\n"
      "[Connection]\r\n"
      "IgnoreCmdLine=1\r\n"
      "ConnectionString=\"Provider=X;Data Source=db\"\r\n"
      "garbage line without equals\r\n"
      "[Отчёты]\r\n"
      "Путь=C:\\Отчёты\r\n"
      "Флаг=1\r\n"
      "[connection]\r\n"
      "IgnoreCmdLine=1\r\n"
      "[Новый]\r\n"
      "Ключ=\" padded \"\r\n";
  EXPECT_EQ(ReadFileBytes(name), ToAnsi(expected));
  TMemIniFile again(name);
  EXPECT_EQ(again.ReadString("новый", "ключ", ""), " padded ");  // blanks survive the round trip

  // LF files stay LF; a character without a 1251 code turns the file into marked UTF-8.
  const QString lf = WriteIni("[A]\nx=1\n");
  TIniFile ini(lf);
  ini.WriteString("A", "y", "2");
  EXPECT_EQ(ReadFileBytes(lf), QByteArray("[A]\nx=1\ny=2\n"));
  ini.WriteString("A", "z", "日本");
  EXPECT_EQ(ReadFileBytes(lf), "\xEF\xBB\xBF" + QString("[A]\nx=1\ny=2\nz=日本\n").toUtf8());
  ini.EraseSection("a");
  EXPECT_FALSE(ini.SectionExists("A"));
}

TEST(IniFile, TIniFileSeesChangesOnDiskMemIniFileWritesOnUpdate) {
  const QString name = WriteIni("[S]\r\nk=1\r\n");
  TIniFile live(name);
  TMemIniFile cached(name);
  WriteFileAtomically(name, "[S]\r\nk=2\r\n");
  EXPECT_EQ(live.ReadString("S", "k", ""), "2");
  EXPECT_EQ(cached.ReadString("S", "k", ""), "1");
  cached.WriteString("S", "m", "3");
  EXPECT_EQ(ReadFileBytes(name), QByteArray("[S]\r\nk=2\r\n"));
  cached.UpdateFile();
  EXPECT_EQ(ReadFileBytes(name), QByteArray("[S]\r\nk=1\r\nm=3\r\n"));

  TIniFile fresh(testsupport::TempFolder() + "/new.ini");
  EXPECT_EQ(fresh.ReadString("S", "k", "def"), "def");
  fresh.WriteFloat("Числа", "Pi", 3.25);
  EXPECT_EQ(ReadFileBytes(fresh.FileName()), ToAnsi("[Числа]\r\nPi=3.25\r\n"));
  EXPECT_EQ(fresh.ReadFloat("числа", "pi", 0), 3.25);
}

TEST(IniFile, BadNamesValuesAndUnwritableFilesRaise) {
  const QString name = WriteIni("[S]\r\nk=1\r\n");
  TIniFile ini(name);
  const std::vector<std::pair<QString, QString>> badNames = {
      {"", "k"},    {"S]", "k"}, {"S\n", "k"}, {"S", ""},
      {"S", "a=b"}, {"S", "[x"}, {"S", ";x"},  {"S", "a\r"},
  };
  for (const auto& [section, key] : badNames) {
    EXPECT_THROW(ini.WriteString(section, key, "v"), EIniFileException)
        << section.toStdString() << "/" << key.toStdString();
  }
  EXPECT_THROW(ini.WriteString("S", "k", "two\r\nlines"), EIniFileException);
  EXPECT_EQ(ReadFileBytes(name), QByteArray("[S]\r\nk=1\r\n"));

  TIniFile nowhere(testsupport::TempFolder() + "/no/such/folder/x.ini");
  EXPECT_THROW(nowhere.WriteString("S", "k", "v"), EIniFileException);

  if (::geteuid() != 0) {  // root reads anything
    const QString locked = WriteIni("[S]\r\nk=1\r\n");
    ::chmod(QFile::encodeName(locked).constData(), 0200);
    TIniFile unreadable(locked);
    EXPECT_EQ(unreadable.ReadString("S", "k", "def"), "def");
    EXPECT_THROW(unreadable.WriteString("S", "k", "2"), EIniFileException);
    ::chmod(QFile::encodeName(locked).constData(), 0600);
    EXPECT_EQ(ReadFileBytes(locked), QByteArray("[S]\r\nk=1\r\n"));
  }
}
