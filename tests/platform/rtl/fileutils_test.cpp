#include "platform/rtl/fileutils.h"
#include "platform/rtl/streams.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>

#include <cmath>

TEST(FileNames, SplitAtEitherDelimiter) {
  struct Case {
    const char* name;
    const char* path;
    const char* dir;
    const char* file;
    const char* ext;
  };
  const Case cases[] = {
      {"/home/u/report.txt", "/home/u/", "/home/u", "report.txt", ".txt"},
      {"C:\\Orv\\ORV.INI", "C:\\Orv\\", "C:\\Orv", "ORV.INI", ".INI"},
      {"dir.v2/name", "dir.v2/", "dir.v2", "name", ""},
      {"a.tar.gz", "", "", "a.tar.gz", ".gz"},
      {"/file", "/", "/", "file", ""},
      {"folder/", "folder/", "folder", "", ""},
      {".hidden", "", "", ".hidden", ".hidden"},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExtractFilePath(c.name), c.path) << c.name;
    EXPECT_EQ(ExtractFileDir(c.name), c.dir) << c.name;
    EXPECT_EQ(ExtractFileName(c.name), c.file) << c.name;
    EXPECT_EQ(ExtractFileExt(c.name), c.ext) << c.name;
  }
  EXPECT_EQ(ChangeFileExt("a/b.c/rep.txt", ".html"), "a/b.c/rep.html");
  EXPECT_EQ(ChangeFileExt("a.b/rep", ".pas"), "a.b/rep.pas");
  EXPECT_EQ(ChangeFileExt("rep.txt", ""), "rep");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp"), "/tmp/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("C:\\x\\"), "C:\\x\\");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "/");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/"), "/tmp");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

TEST(FileNames, ExpandAgainstCurrentFolder) {
  const QString folder = QDir(testsupport::TempFolder()).canonicalPath();
  const QString before = GetCurrentDir();
  ASSERT_TRUE(SetCurrentDir(folder));
  EXPECT_EQ(ExpandFileName("a/../b/./c.txt"), folder + "/b/c.txt");
  EXPECT_EQ(ExpandFileName("sub/"), folder + "/sub/");
  EXPECT_EQ(ExpandFileName("/x/y/../z"), "/x/z");
  EXPECT_EQ(ExpandFileName(""), "");
  SetCurrentDir(before);
}

TEST(FileMasks, WindowsSemantics) {
  struct Case {
    const char* name;
    const char* mask;
    bool match;
  };
  const Case cases[] = {
      {"report.TXT", "*.txt", true},
      {"report.txt.bak", "*.txt", false},
      {"README", "*.*", true},
      {"README", "*", true},
      {"README", "*.", true},
      {"a.b", "*.", false},
      {"Отчёт.doc", "отчЁт.*", true},
      {"ab", "a?", true},
      {"a", "a?", false},
      {"abc", "a?", false},
      {"rep12.htm", "rep??.h*", true},
      {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
      {"", "*", true},
      {"", "?", false},
      {"x", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchesMask(QString::fromUtf8(c.name), QString::fromUtf8(c.mask)), c.match)
        << c.name << " ~ " << c.mask;
  }
}

TEST(Files, CreateRenameDeleteAndFind) {
  const QString root = testsupport::TempFolder();
  const QString deep = root + "/a/b/c";
  EXPECT_TRUE(ForceDirectories(deep + "/"));
  EXPECT_TRUE(DirectoryExists(deep));
  EXPECT_FALSE(FileExists(deep));
  EXPECT_FALSE(ForceDirectories(""));
  WriteFileAtomically(root + "/ORV.INI", "x");
  WriteFileAtomically(root + "/orv.ini", "y");
  WriteFileAtomically(root + "/Отчёт.TXT", "z");
  EXPECT_TRUE(FileExists(root + "/ORV.INI"));
  EXPECT_FALSE(DirectoryExists(root + "/ORV.INI"));

  // The exact spelling wins; other spellings are found when it is missing.
  EXPECT_EQ(FindFileNoCase(root, "orv.ini"), root + "/orv.ini");
  EXPECT_EQ(FindFileNoCase(root, "Orv.Ini"), root + "/ORV.INI");
  EXPECT_EQ(FindFileNoCase(root, "отчёт.txt"), root + "/Отчёт.TXT");
  EXPECT_EQ(FindFileNoCase(root, "a"), "");  // a folder is no file
  EXPECT_EQ(FindFileNoCase(root, ""), "");

  EXPECT_FALSE(RenameFile(root + "/orv.ini", root + "/ORV.INI"));  // never replaces
  EXPECT_TRUE(RenameFile(root + "/orv.ini", root + "/other.ini"));
  EXPECT_FALSE(DeleteFile(root + "/a"));
  EXPECT_TRUE(DeleteFile(root + "/other.ini"));
  EXPECT_FALSE(DeleteFile(root + "/other.ini"));
  EXPECT_FALSE(RemoveDir(root + "/a"));  // not empty
  EXPECT_TRUE(RemoveDir(deep));
  EXPECT_TRUE(CreateDir(deep));
  EXPECT_FALSE(CreateDir(deep));

  TSearchRec rec;
  QStringList found;
  for (int r = FindFirst(root + "/*.*", faAnyFile, rec); r == 0; r = FindNext(rec)) {
    found << rec.Name + ((rec.Attr & faDirectory) ? "/" : "");
  }
  FindClose(rec);
  found.sort();
  EXPECT_EQ(found, (QStringList{"ORV.INI", "a/", "Отчёт.TXT"}));
  EXPECT_EQ(FindFirst(root + "/*.ini", 0, rec), 0);
  EXPECT_EQ(rec.Name, "ORV.INI");
  EXPECT_EQ(rec.Size, 1);
  EXPECT_EQ(FindNext(rec), 18);
  EXPECT_EQ(FindFirst(root + "/*.none", faAnyFile, rec), 2);
  EXPECT_NE(FindFirst(root + "/missing/*", faAnyFile, rec), 0);
}

TEST(Files, AgeRoundTripsInLocalTime) {
  const QString name = testsupport::TempFolder() + "/log.txt";
  WriteFileAtomically(name, "x");
  const TDateTime when = 45358.5;  // 7 March 2024, noon
  ASSERT_TRUE(FileSetDate(name, when));
  TDateTime age = 0;
  ASSERT_TRUE(FileAge(name, age));
  EXPECT_NEAR(age, when, 1e-6);
  EXPECT_FALSE(FileAge(name + ".missing", age));
}

TEST(Process, TempDirOrderAndEnvironment) {
  const QByteArray oldTemp = qgetenv("TEMP"), oldTmp = qgetenv("TMP");
  qputenv("TEMP", "/t1");
  qputenv("TMP", "/t2");
  EXPECT_EQ(GetTempDir(), "/t1/");
  qunsetenv("TEMP");
  EXPECT_EQ(GetTempDir(), "/t2/");
  qunsetenv("TMP");
  EXPECT_TRUE(GetTempDir().endsWith('/'));
  EXPECT_FALSE(GetTempDir().isEmpty());
  qputenv("ORV_TEST_VALUE", "Привет");
  EXPECT_EQ(GetEnvironmentVariable("ORV_TEST_VALUE"), "Привет");
  EXPECT_EQ(GetEnvironmentVariable("ORV_NO_SUCH_VALUE"), "");
  if (!oldTemp.isNull()) qputenv("TEMP", oldTemp);
  if (!oldTmp.isNull()) qputenv("TMP", oldTmp);
}

TEST(Process, CommandLine) {
  const QStringList saved = [] {
    QStringList a;
    for (int i = 0; i <= ParamCount(); ++i) a << ParamStr(i);
    return a;
  }();
  EXPECT_TRUE(ParamStr(0).endsWith("test_rtl"));
  EXPECT_TRUE(ProgramDir().endsWith('/'));
  SetCommandLine({"./orv", "DEBUG=Y", "user/pass word", "@'A=B'"});
  EXPECT_EQ(ParamCount(), 3);
  EXPECT_EQ(ParamStr(0), ProgramFileName());
  EXPECT_EQ(ParamStr(2), "user/pass word");
  EXPECT_EQ(ParamStr(4), "");
  EXPECT_EQ(ParamStr(-1), "");
  EXPECT_EQ(CmdLine(), "./orv DEBUG=Y user/pass word @'A=B'");
  SetCommandLine(saved);
}
