#include "platform/rtl/streams.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <sys/stat.h>

namespace {

QString Temp(const QString& name) { return testsupport::TempFolder() + "/" + name; }

}  // namespace

TEST(MemoryStream, ReadWriteSeekAndGrow) {
  TMemoryStream s;
  s.WriteBuffer(QByteArray("hello"));
  EXPECT_EQ(s.Position(), 5);
  s.Seek(-2, soEnd);
  s.WriteBuffer(QByteArray("LO world"));
  EXPECT_EQ(s.Bytes(), QByteArray("helLO world"));
  s.SetPosition(20);  // writing past the end fills the gap with zeros
  s.WriteBuffer(QByteArray("!"));
  EXPECT_EQ(s.Size(), 21);
  EXPECT_EQ(s.Bytes().mid(11, 9), QByteArray(9, '\0'));
  char buf[4];
  s.SetPosition(19);
  EXPECT_EQ(s.Read(buf, 4), 2);
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
  s.SetPosition(-3);
  EXPECT_EQ(s.Read(buf, 1), 0);
  EXPECT_EQ(s.Write("x", 1), 0);
  s.SetPosition(10);
  s.SetSize(3);
  EXPECT_EQ(s.Position(), 3);
  EXPECT_EQ(s.Bytes(), QByteArray("hel"));
}

TEST(MemoryStream, CopyFromWholeAndPart) {
  TStringStream source(QStringLiteral("Привет, мир"));
  TMemoryStream all;
  source.SetPosition(5);
  EXPECT_EQ(all.CopyFrom(&source, 0), source.Size());  // 0: everything from the start
  EXPECT_EQ(QString::fromUtf8(all.Bytes()), QStringLiteral("Привет, мир"));
  TMemoryStream part;
  source.SetPosition(0);
  part.CopyFrom(&source, 4);
  EXPECT_EQ(QString::fromUtf8(part.Bytes()), QStringLiteral("Пр"));
  EXPECT_THROW(part.CopyFrom(&source, 1000), EReadError);
  source.SetPosition(2);
  EXPECT_EQ(source.ReadString(4), QStringLiteral("ри"));
}

TEST(FileStream, CreateOpenAndErrorTexts) {
  const QString name = Temp("data.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer(QByteArray("0123456789"));
    f.SetSize(4);
    EXPECT_EQ(f.Size(), 4);
  }
  {
    TFileStream f(name, fmOpenReadWrite);
    f.Seek(0, soEnd);
    f.WriteBuffer(QByteArray("ab"));
  }
  EXPECT_EQ(ReadFileBytes(name), QByteArray("0123ab"));
  {
    TFileStream f(name, fmOpenRead);
    EXPECT_EQ(f.Write("x", 1), 0);  // read-only handle
    EXPECT_THROW(f.WriteBuffer(QByteArray("x")), EWriteError);
  }

  const QString missing = Temp("none.txt");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_TRUE(e.Message().startsWith("Cannot open file \"" + missing + "\". "))
        << e.Message().toStdString();
  }
  try {
    TFileStream f(Temp("no/such/folder.txt"), fmCreate);
    FAIL();
  } catch (const EFCreateError& e) {
    EXPECT_TRUE(e.Message().startsWith("Cannot create file \"")) << e.Message().toStdString();
  }
  EXPECT_THROW(TFileStream(testsupport::TempFolder(), fmOpenRead), EFOpenError);  // a folder
}

TEST(FileStream, ExclusiveShareLocksOutOthersAndCreateKeepsContent) {
  const QString name = Temp("locked.txt");
  WriteFileAtomically(name, "keep");
  TFileStream holder(name, fmOpenReadWrite | fmShareExclusive);
  EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyWrite), EFOpenError);
  EXPECT_THROW(TFileStream(name, fmCreate | fmShareExclusive), EFCreateError);
  EXPECT_EQ(ReadFileBytes(name), QByteArray("keep"));  // not truncated by the refused create
  TFileStream reader(name, fmOpenRead | fmShareDenyNone);
  EXPECT_EQ(reader.Size(), 4);
}

TEST(FileStream, AtomicWriteKeepsPermissionsAndLeavesNoTemporaries) {
  const QString folder = testsupport::TempFolder();
  const QString name = folder + "/secret.ini";
  WriteFileAtomically(name, "one", 0600);
  struct stat st;
  ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ::chmod(QFile::encodeName(name).constData(), 0640);
  WriteFileAtomically(name, "two");
  ASSERT_EQ(::stat(QFile::encodeName(name).constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(ReadFileBytes(name), QByteArray("two"));
  EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"secret.ini"});  // no temporaries left

  AppendFileBytes(name, "+3");
  AppendFileBytes(folder + "/new.log", "line\r\n", 0600);
  EXPECT_EQ(ReadFileBytes(name), QByteArray("two+3"));
  EXPECT_EQ(ReadFileBytes(folder + "/new.log"), QByteArray("line\r\n"));
  EXPECT_THROW(AppendFileBytes(folder + "/none/x.log", "x"), EFOpenError);
  WriteFileAtomically(name, "two");

  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(m.Bytes(), QByteArray("two"));
  EXPECT_THROW(m.LoadFromFile(folder + "/missing"), EFOpenError);
  EXPECT_THROW(WriteFileAtomically(folder + "/none/x", "x"), EFCreateError);
}
