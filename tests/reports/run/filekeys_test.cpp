// File keys in a temporary folder: writing, deleting and copying by masks, with their messages.
#include <QtCore/QDir>
#include <QtCore/QFile>

#include "run_fixture.h"

namespace {

void Touch(const QString& name, const QByteArray& text = "x") {
  QFile f(name);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << name.toStdString();
  f.write(text);
}

QByteArray Read(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
}

QStringList Entries(const QString& dir) {
  return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

}  // namespace

class FileKeysTest : public RunTest {
 protected:
  FileKeysTest() : dir(testsupport::TempFolder() + "/fk") {
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    qputenv("RUNCTL_FK", dir.toLocal8Bit());
  }
  ~FileKeysTest() override { qunsetenv("RUNCTL_FK"); }
  bool RunHere(const QString& script) {
    QString s = script;
    return Run(s.replace("$D", dir));
  }
  QString dir;
};

TEST_F(FileKeysTest, SaveToFileAndSaveVarToFile) {
  ASSERT_TRUE(
      RunHere(S("-SAVETOFILE $D/a.txt \"текст\" -LET Val v1 -SAVEVARTOFILE $D/b.txt val "
                "-SAVEVARTOFILE $D/c.txt NoSuchVar")))
      << messages.join('|').toStdString();
  EXPECT_EQ(Read(dir + "/a.txt"), QByteArray("\xf2\xe5\xea\xf1\xf2"));  // code page 1251
  EXPECT_EQ(Read(dir + "/b.txt"), "v1");
  EXPECT_EQ(Read(dir + "/c.txt"), "");
  EXPECT_FALSE(RunHere("-SAVETOFILE $D/no/such/a.txt x -LET Y 1"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(S("Ошибка: "))) << messages[0].toStdString();
  EXPECT_TRUE(Var("Y").isEmpty());
}

TEST_F(FileKeysTest, DeleteFilesByMasks) {
  const QString t = dir + "/T";
  auto fill = [&] {
    QDir().mkpath(t + "/sub/deep");
    QDir().mkpath(t + "/keep");
    Touch(t + "/a.tmp");
    Touch(t + "/b.txt");
    Touch(t + "/sub/c.tmp");
    Touch(t + "/sub/deep/d.txt");
  };
  fill();
  // The folder cannot go while b.txt stays.
  ASSERT_TRUE(RunHere("-LET LastErrText x -DELETEFILES \"%RUNCTL_FK%\\T|del\" *.tmp"));
  EXPECT_EQ(Var("LastErrText"), S("Были удалены не все файлы или каталоги"));
  EXPECT_EQ(Entries(t), QStringList({"b.txt", "keep", "sub"}));
  // Sub-folders matching the folder mask are emptied and removed; the folder stays.
  ASSERT_TRUE(RunHere("-DELETEFILES $D/T \"*.*|*\""));
  EXPECT_EQ(Var("LastErrText"), "");
  EXPECT_TRUE(Entries(t).isEmpty());
  ASSERT_TRUE(RunHere("-DELETEFILES \"$D/T|Del\" \"*|*\""));
  EXPECT_EQ(Var("LastErrText"), "");
  EXPECT_FALSE(QDir(t).exists());
  ASSERT_TRUE(RunHere("-LET LastErrText x -DELETEFILES $D/none *"));
  EXPECT_EQ(Var("LastErrText"), "");
}

TEST_F(FileKeysTest, CopyFilesReportsFailures) {
  QDir().mkpath(dir + "/src");
  QDir().mkpath(dir + "/dst");
  for (const char* n : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "6.dat"})
    Touch(dir + "/src/" + n, n);
  Touch(dir + "/dst/1.txt", "old");
  ASSERT_TRUE(RunHere("-COPYFILES \"%RUNCTL_FK%\\src\\*.txt\" %RUNCTL_FK%/dst"));
  EXPECT_EQ(Var("LastErrText"), "");
  EXPECT_EQ(Entries(dir + "/dst"), QStringList({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"}));
  EXPECT_EQ(Read(dir + "/dst/1.txt"), "1.txt");

  // A folder standing where a file should go makes that copy fail.
  QDir(dir + "/dst").removeRecursively();
  for (const char* n : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"})
    QDir().mkpath(dir + "/dst/" + n);
  // "/*" would open a comment in a script: the mask follows a backslash.
  ASSERT_TRUE(RunHere("-COPYFILES \"$D/src\\*.txt\" $D/dst/"));
  EXPECT_EQ(Var("LastErrText"),
            S("Некоторые файлы скопировались некорректно. Количество таких файлов: 5.\r\nфайл: "
              "1.txt\r\nфайл: 2.txt\r\nфайл: 3.txt\r\n..."));

  ASSERT_TRUE(RunHere("-COPYFILES \"$D/none\\*.txt\" $D/dst"));
  EXPECT_EQ(Var("LastErrText"),
            S("Ошибка копирования. Заданы не существующие исходные или конечные каталоги."));
  ASSERT_TRUE(RunHere("-COPYFILES \"$D/src\\*.txt\" \"\""));
  EXPECT_EQ(Var("LastErrText"), "");
}
