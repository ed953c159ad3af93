#include "platform/rtl/fileutils.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"

#include "support/test_support.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>

#include <random>

#include <sys/stat.h>

namespace {

const char* const kProfile = "Software\\Kestrand\\Kestrand\\DEFAULT";

// Points the store at a fresh file for one test.
class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testsupport::TempFolder();
    UseFile(folder_ + "/cfg/orv/registry");
  }
  void TearDown() override { qunsetenv("ORV_REGISTRY_FILE"); }
  void UseFile(const QString& name) {
    file_ = name;
    qputenv("ORV_REGISTRY_FILE", QFile::encodeName(name));
  }
  QString folder_, file_;
};

// Every key and value under a path, as text, for comparing two stores.
void Dump(const regstore::Path& path, QStringList& out) {
  out << "key " + path.join('\\');
  for (const QString& name : regstore::ValueNames(path)) {
    regstore::Value v;
    regstore::GetValue(path, name, v);
    out << QString("value %1 %2 %3 %4 %5")
               .arg(name)
               .arg(v.type)
               .arg(v.text)
               .arg(v.number)
               .arg(QString(v.bytes.toHex()));
  }
  for (const QString& sub : regstore::KeyNames(path)) Dump(path + QStringList{sub}, out);
}

int Mode(const QString& name) {
  struct stat st;
  return ::stat(QFile::encodeName(name).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
}

}  // namespace

TEST_F(Registry, ValuesKeepCreationOrderAndPersist) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kProfile, true));
    reg.WriteString("Zeta", "последний");
    reg.WriteInteger("alpha", -5);
    reg.WriteExpandString("Path", "%TEMP%\\x");
    reg.WriteString("ZETA", "replaced");  // same value: keeps its place and spelling
    reg.WriteBinaryData("Bytes", QByteArray("\x00\x01\xFF", 3));
    reg.WriteString("Odd \"name\" %41", "line1\nline2\t\"q\"");
    reg.WriteFloat("Pi", 3.5);
  }
  const QStringList order{"Zeta", "alpha", "Path", "Bytes", "Odd \"name\" %41", "Pi"};
  // A copy of the file, read afresh, holds the same.
  const QString copy = folder_ + "/copy";
  WriteFileAtomically(copy, ReadFileBytes(file_));
  UseFile(copy);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(QString("\\") + kProfile, false));
  EXPECT_EQ(reg.ValueNames(), order);
  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(names.ToStringList(), order);
  EXPECT_EQ(reg.ReadString("zeta"), "replaced");
  EXPECT_EQ(reg.ReadInteger("ALPHA"), -5);
  EXPECT_EQ(reg.ReadString("path"), "%TEMP%\\x");
  EXPECT_EQ(reg.ReadBinaryData("bytes"), QByteArray("\x00\x01\xFF", 3));
  EXPECT_EQ(reg.ReadString("odd \"NAME\" %41"), "line1\nline2\t\"q\"");
  EXPECT_EQ(reg.ReadFloat("pi"), 3.5);
  struct Case {
    const char* name;
    TRegDataType type;
  };
  const Case types[] = {{"Zeta", rdString},  {"alpha", rdInteger}, {"Path", rdExpandString},
                        {"Bytes", rdBinary}, {"Pi", rdBinary},     {"missing", rdUnknown}};
  for (const Case& c : types) EXPECT_EQ(reg.GetDataType(c.name), c.type) << c.name;
  EXPECT_EQ(reg.GetDataSize("alpha"), 4);
  EXPECT_EQ(reg.GetDataSize("missing"), -1);
}

TEST_F(Registry, KeysIgnoreCaseAndListByName) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Kestrand\\Kestrand\\Search Keys", true));
  for (const char* sub : {"20240307101502123", "20231231235959999", "Ёлка", "ель", "Alpha"}) {
    EXPECT_TRUE(reg.CreateKey(QString::fromUtf8(sub)));
  }
  ASSERT_TRUE(reg.OpenKey("20240307101502123", false));  // relative to the open key
  EXPECT_EQ(reg.CurrentPath(), "Software\\Kestrand\\Kestrand\\Search Keys\\20240307101502123");
  reg.WriteString("ListId", "дерево_элемент");
  EXPECT_TRUE(reg.OpenKey("\\SOFTWARE\\kestrand\\KESTRAND\\search keys", false));
  EXPECT_TRUE(reg.HasSubKeys());
  EXPECT_EQ(reg.KeyNames(),
            (QStringList{"20231231235959999", "20240307101502123", "Alpha", "ель", "Ёлка"}));
  EXPECT_TRUE(reg.KeyExists("ЁЛКА"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Kestrand"));
  EXPECT_FALSE(reg.KeyExists("\\Kestrand"));

  // Deleting takes the subkeys along; an open key inside the deleted one is closed.
  ASSERT_TRUE(reg.OpenKey("\\Software\\Kestrand\\Kestrand\\Search Keys\\20240307101502123", false));
  EXPECT_TRUE(reg.DeleteKey("\\Software\\Kestrand\\Kestrand\\Search Keys"));
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.KeyExists("\\Software\\Kestrand\\Kestrand\\Search Keys\\Alpha"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Kestrand\\Kestrand"));
  EXPECT_FALSE(reg.DeleteKey("\\Software\\Kestrand\\Kestrand\\Search Keys"));
}

TEST_F(Registry, OpeningRulesAndErrors) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("Software\\Missing", false));
  EXPECT_FALSE(reg.OpenKeyReadOnly("Software\\Missing"));
  EXPECT_FALSE(reg.KeyExists("Software\\Missing"));  // asking creates nothing
  for (const char* bad : {"a\\\\b", "\\\\a", "a\\\\"}) EXPECT_FALSE(reg.OpenKey(bad, true)) << bad;
  EXPECT_THROW(reg.CreateKey("x\\\\y"), ERegistryException);
  EXPECT_FALSE(reg.DeleteKey(""));  // roots stay

  ASSERT_TRUE(reg.OpenKey("Software\\Orv\\", true));  // a trailing "\" is allowed
  reg.WriteString("s", "text");
  reg.WriteInteger("i", 7);
  struct Case {
    const char* what;
    std::function<void()> call;
    QString message;
  };
  const std::vector<Case> cases = {
      {"string as integer", [&] { reg.ReadInteger("s"); }, "Invalid data type for 's'"},
      {"integer as string", [&] { reg.ReadString("i"); }, "Invalid data type for 'i'"},
      {"missing integer", [&] { reg.ReadInteger("none"); }, "Failed to get data for 'none'"},
      {"missing float", [&] { reg.ReadFloat("none"); }, "Failed to get data for 'none'"},
      {"integer as float", [&] { reg.ReadFloat("i"); }, "Invalid data type for 'i'"},
      {"string as bytes", [&] { reg.ReadBinaryData("s"); }, "Invalid data type for 's'"},
  };
  for (const Case& c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what;
    } catch (const ERegistryException& e) {
      EXPECT_EQ(e.Message(), c.message) << c.what;
    }
  }
  EXPECT_EQ(reg.ReadString("none"), "");  // a missing string reads empty
  EXPECT_TRUE(reg.ReadBinaryData("none").isEmpty());
  char small[2];
  reg.WriteBinaryData("b", "abc");
  EXPECT_THROW(reg.ReadBinaryData("b", small, 2), ERegistryException);
  EXPECT_EQ(reg.ReadBinaryData("none", small, 2), 0);

  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\Orv"));
  EXPECT_TRUE(reg.ReadBool("i"));
  EXPECT_THROW(reg.WriteString("s", "x"), ERegistryException);
  EXPECT_FALSE(reg.DeleteValue("s"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\Orv", false));
  EXPECT_TRUE(reg.DeleteValue("S"));
  EXPECT_FALSE(reg.DeleteValue("S"));
  EXPECT_EQ(reg.ValueNames(), (QStringList{"i", "b"}));

  // The machine root is a tree of its own in the same store.
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.HasCurrentKey());
  EXPECT_FALSE(reg.KeyExists("\\Software\\Orv"));
  HKEY root = 0;
  ASSERT_TRUE(RootKeyFromName("hkey_local_machine", root));
  EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(RootKeyFromName("HKEY_NOWHERE", root));
  EXPECT_THROW(reg.SetRootKey(42), ERegistryException);
}

TEST_F(Registry, FileIsPrivateAndChangesOfOthersAreSeen) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kProfile, true));
  reg.WriteString("a", "1");
  EXPECT_EQ(Mode(file_), 0600);
  EXPECT_EQ(Mode(ExtractFileDir(file_)), 0700);
  // Another process rewrites the file: the next read sees it.
  WriteFileAtomically(file_,
                      "key \"HKEY_CURRENT_USER\\Software\\Kestrand\\Kestrand\\DEFAULT\"\n"
                      "value \"a\" sz \"2\"\nvalue \"n\" dword 4294967295\n");
  EXPECT_EQ(reg.ReadString("a"), "2");
  EXPECT_EQ(reg.ReadInteger("n"), -1);
  EXPECT_EQ(reg.ValueNames(), (QStringList{"a", "n"}));
}

TEST_F(Registry, DamagedFileIsReadAsFarAsPossibleAndKeptAside) {
  // Readable lines around damaged ones, values of types the program does not use, a value
  // before any key, a bad escape, a broken multi-string, invalid UTF-8 and binary garbage.
  const char raw[] =
      "# orv registry 1\n"
      "value \"orphan\" sz \"x\"\n"
      "key \"HKEY_CURRENT_USER\\Software\\Kestrand\\Kestrand\\DEFAULT\"\n"
      "value \"First\" sz \"one\"\n"
      "value \"Big\" qword -7\n"
      "value \"Lines\" multi \"a\" \"b\"\n"
      "value \"Bad\" sz \"%4\"\n"
      "value \"Broken\" multi \"a\" \"b\n"
      "value \"Raw\" type5 hex:0a0b\n"
      "garbage \xFF\xFE\x00\x01\n"
      "value \"Second\" dword 12\n"
      "key \"HKEY_CURRENT_USER\\\\Broken\"\n"
      "value \"Lost\" sz \"x\"\n"
      "key \"HKEY_CURRENT_USER\\Software\\Other\"\n"
      "value \"Third\" binary hex:01\n"
      "value \"Cut\" sz \"no end";
  const QByteArray damaged(raw, sizeof raw - 1);
  ForceDirectories(ExtractFileDir(file_));
  WriteFileAtomically(file_, damaged);
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(kProfile, false));
  EXPECT_EQ(reg.ValueNames(), (QStringList{"First", "Big", "Lines", "Raw", "Second"}));
  EXPECT_EQ(reg.GetDataType("Big"), rdUnknown);
  EXPECT_EQ(reg.GetDataType("Lines"), rdUnknown);
  EXPECT_EQ(reg.ReadBinaryData("Raw"), QByteArray("\x0a\x0b"));
  EXPECT_EQ(reg.ReadInteger("second"), 12);
  EXPECT_TRUE(reg.KeyExists("\\Software\\Other"));
  EXPECT_EQ(ReadFileBytes(file_), damaged);  // reading changes nothing

  reg.WriteString("New", "value");
  EXPECT_EQ(ReadFileBytes(file_ + ".damaged"), damaged);  // the old bytes, kept aside
  EXPECT_EQ(Mode(file_ + ".damaged"), 0600);

  // The rewritten file holds everything that was readable, types it does not use included.
  const QString original = file_;
  const QString copy = folder_ + "/copy";
  WriteFileAtomically(copy, ReadFileBytes(file_));
  UseFile(copy);
  TRegistry again;
  ASSERT_TRUE(again.OpenKey(kProfile, false));
  EXPECT_EQ(again.ValueNames(), (QStringList{"First", "Big", "Lines", "Raw", "Second", "New"}));
  EXPECT_EQ(again.GetDataSize("Big"), 8);
  EXPECT_EQ(again.ReadBinaryData("Lines"), QByteArray("a\0\0\0b\0\0\0\0\0", 10));
  ASSERT_TRUE(again.OpenKey("\\Software\\Other", false));
  EXPECT_EQ(again.ReadBinaryData("Third"), QByteArray("\x01"));

  // A second damaged file does not replace the first one kept aside.
  UseFile(original);
  WriteFileAtomically(file_, "nonsense\n");
  reg.CloseKey();
  reg.WriteString("x", "y");
  EXPECT_EQ(ReadFileBytes(file_ + ".damaged"), damaged);
  EXPECT_EQ(ReadFileBytes(file_ + ".damaged.2"), QByteArray("nonsense\n"));
}

TEST_F(Registry, UnreadableFileIsNeverWritten) {
  ForceDirectories(file_);  // a folder where the file should be: it cannot be read
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey(kProfile, true));
  EXPECT_THROW(reg.WriteString("a", "b"), ERegistryException);
  EXPECT_TRUE(DirectoryExists(file_));
}

TEST_F(Registry, DamagedFilesOfAnyShapeRoundTripWhatTheyHold) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Kestrand\\Данные", true));
    reg.WriteString("Текст", "a \"b\" %c\n");
    reg.WriteExpandString("E", "%TEMP%");
    reg.WriteInteger("I", 123456);
    reg.WriteBinaryData("B", QByteArray("\x00\xFF\x10", 3));
    reg.CreateKey("Sub\\Deeper");
  }
  const QByteArray good = ReadFileBytes(file_);
  std::mt19937 random(2024);
  for (int round = 0; round < 300; ++round) {
    QByteArray bytes = good;
    const int edits = 1 + int(random() % 6);
    for (int e = 0; e < edits; ++e) {
      const int at = int(random() % bytes.size());
      switch (random() % 3) {
        case 0: bytes[at] = char(random() % 256); break;
        case 1: bytes.remove(at, 1 + int(random() % 8)); break;
        default: bytes.insert(at, char(" \"%\\\n:x"[random() % 7])); break;
      }
    }
    const QString damagedFile = folder_ + QString("/round%1").arg(round);
    UseFile(damagedFile);
    WriteFileAtomically(damagedFile, bytes);
    QStringList before;
    Dump({"HKEY_CURRENT_USER"}, before);
    TRegistry reg;
    reg.WriteString("touch", "1");  // a write at the root saves what was read
    QStringList after;
    const QString copy = damagedFile + ".copy";
    WriteFileAtomically(copy, ReadFileBytes(damagedFile));
    UseFile(copy);
    Dump({"HKEY_CURRENT_USER"}, after);
    before.insert(1, "value touch 1 1 0 ");
    ASSERT_EQ(after, before) << bytes.toStdString();
  }
}

TEST_F(Registry, DeepKeyPathsAreWrittenReadAndFreed) {
  // A path far deeper than any program makes: one line in the file, read back whole.
  regstore::Path path{"HKEY_CURRENT_USER"};
  for (int i = 0; i < 20000; ++i) path << QStringLiteral("k%1").arg(i % 7);
  ASSERT_TRUE(regstore::CreateKey(path));
  regstore::Value v;
  v.name = "Deep";
  v.type = regstore::kDWord;
  v.number = 5;
  ASSERT_TRUE(regstore::SetValue(path, v));
  const QByteArray bytes = ReadFileBytes(file_);
  EXPECT_EQ(bytes.count("\nkey "), 1);
  EXPECT_LT(bytes.size(), 2 * path.join('\\').size());

  // Another process writes a still deeper key: the old tree is freed and the new one read.
  QByteArray deeper = "key \"HKEY_CURRENT_USER";
  for (int i = 0; i < 100000; ++i) deeper += "\\d";
  WriteFileAtomically(file_, deeper + "\"\nvalue \"x\" sz \"y\"\n");
  regstore::Path deepPath{"HKEY_CURRENT_USER"};
  for (int i = 0; i < 100000; ++i) deepPath << "D";
  ASSERT_TRUE(regstore::GetValue(deepPath, "X", v));
  EXPECT_EQ(v.text, "y");
  EXPECT_FALSE(regstore::KeyExists(path));
  EXPECT_TRUE(regstore::DeleteKey({"HKEY_CURRENT_USER", "d"}));
  EXPECT_FALSE(regstore::HasSubKeys({"HKEY_CURRENT_USER"}));
}

TEST_F(Registry, KeysWithSubkeysOnlyAreImpliedByTheirSubkeys) {
  ASSERT_TRUE(regstore::CreateKey({"HKEY_CURRENT_USER", "A", "B", "C"}));
  ASSERT_TRUE(regstore::CreateKey({"HKEY_CURRENT_USER", "A", "Empty"}));
  ASSERT_TRUE(regstore::CreateKey({"HKEY_CURRENT_USER", "Z"}));
  regstore::Value v;
  v.name = "n";
  v.type = regstore::kString;
  v.text = "t";
  ASSERT_TRUE(regstore::SetValue({"HKEY_CURRENT_USER", "A"}, v));
  EXPECT_EQ(ReadFileBytes(file_), QByteArray("# orv registry 1\n"
                                             "key \"HKEY_CURRENT_USER\\A\"\nvalue \"n\" sz \"t\"\n"
                                             "key \"HKEY_CURRENT_USER\\A\\B\\C\"\n"
                                             "key \"HKEY_CURRENT_USER\\A\\Empty\"\n"
                                             "key \"HKEY_CURRENT_USER\\Z\"\n"));
  QStringList before;
  Dump({"HKEY_CURRENT_USER"}, before);
  WriteFileAtomically(file_, ReadFileBytes(file_) + "\n");  // read again from the file
  QStringList after;
  Dump({"HKEY_CURRENT_USER"}, after);
  EXPECT_EQ(after, before);
  EXPECT_EQ(regstore::KeyNames({"HKEY_CURRENT_USER", "A"}), (QStringList{"B", "Empty"}));
}
