// Message boxes, the daily log file, the debug trace and database error texts.
#include "platform/ui/dialogservice.h"
#include "core/orvmsg.h"

#include "platform/rtl/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "support/test_support.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace orvmsg;

namespace {

// A pinned clock, a fresh log folder and a headless dialog service for each test.
class MsgFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testsupport::TempFolder();
    SetNow(EncodeDateTime(2024, 3, 7, 10, 15, 2, 123));
    ResetLog(folder_);
    SetDebugTraceHook(nullptr);
  }
  void TearDown() override {
    SetClock(nullptr);
    ResetLog();
    SetDebugTraceHook(nullptr);
  }
  void SetNow(TDateTime now) {
    SetClock([now] { return now; });
  }
  QString LogPath() const { return folder_ + "/OrvLog07.Log"; }
  QStringList LogLines() const {
    QFile f(LogPath());
    if (!f.open(QIODevice::ReadOnly)) return {};
    QStringList lines = FromAnsi(f.readAll()).split('\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return lines;
  }
  QString Line(const QString& rest) const {
    return QStringLiteral("#%1. 07.03.2024 10:15:02.123 : ").arg(::getpid()) + rest;
  }

  QString folder_;
  THeadlessDialogs dialogs_;
  TDialogServiceScope scope_{&dialogs_};
};

}  // namespace

TEST_F(MsgFixture, BoxesShowCaptionsAndFlagsAndLogTheAnswer) {
  dialogs_.SetResponder([](const TDialogRequest& r) {
    TDialogAnswer a;
    a.Button = r.Text == "cancel?" ? idCancel : r.Text == "no?" ? idNo : DefaultButton(r.Flags);
    return a;
  });
  EXPECT_EQ(AskYesNoCancel("cancel?"), idCancel);
  EXPECT_EQ(AskYesNo("no?"), idNo);
  EXPECT_EQ(ShowAttention("Пользователь или пароль не определен!"), idOK);
  EXPECT_EQ(ShowWarning("warn"), idOK);
  EXPECT_EQ(MsgBox(QString(), "Own", 0x41), idOK);

  ASSERT_EQ(dialogs_.Requests.size(), 5u);
  const std::pair<const char*, int> shown[] = {{"Вопрос пользователю", 35},
                                               {"Вопрос пользователю", 36},
                                               {"Внимание!", 48},
                                               {"Предупреждение пользователю", 48},
                                               {"Own", 0x41}};
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(dialogs_.Requests[i].Caption, QString::fromUtf8(shown[i].first));
    EXPECT_EQ(dialogs_.Requests[i].Flags, shown[i].second);
  }
  EXPECT_EQ(LogLines(), QStringList({
                            Line("Вопрос пользователю : cancel? (35 -> 2)"),
                            Line("Вопрос пользователю : no? (36 -> 7)"),
                            Line("Внимание! : Пользователь или пароль не определен! (48 -> 1)"),
                            Line("Предупреждение пользователю : warn (48 -> 1)"),
                            Line("Own :  (65 -> 1)"),
                        }));
}

TEST_F(MsgFixture, LogFileIsNamedByDayWrittenIn1251AndPrivate) {
  WriteLog("Привет %1 %s", "Cap", 3, 4);
  EXPECT_EQ(LogFileName(), LogPath());
  QFile f(LogPath());
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray bytes = f.readAll();
  EXPECT_TRUE(bytes.contains(ToAnsi("Привет %1 %s")));
  EXPECT_TRUE(bytes.endsWith("(3 -> 4)\n"));
  struct stat st {};
  ASSERT_EQ(::stat(LogPath().toLocal8Bit().constData(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  // The file chosen by the first write is kept when the day changes.
  SetNow(EncodeDateTime(2024, 3, 8, 0, 0, 1, 0));
  DebugLog("after midnight");
  EXPECT_EQ(LogFileName(), LogPath());
  EXPECT_EQ(LogLines().size(), 2);
  EXPECT_TRUE(LogLines().back().endsWith(" : Debug : after midnight (0 -> 0)"));
}

TEST_F(MsgFixture, OldFileOfTheSameDayNumberIsStartedAfresh) {
  struct Case {
    double ageDays;
    bool kept;
  };
  for (const Case c : {Case{4, true}, Case{4.99, true}, Case{5, false}, Case{31, false}}) {
    {
      QFile f(LogPath());
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write("old line\n");
    }
    ::chmod(LogPath().toLocal8Bit().constData(), 0644);
    ASSERT_TRUE(FileSetDate(LogPath(), Now() - c.ageDays));
    ResetLog(folder_);
    WriteLog("new", "C", 0, 0);
    const QStringList lines = LogLines();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front() == "old line", c.kept) << c.ageDays;
    EXPECT_EQ(lines.size(), c.kept ? 2 : 1) << c.ageDays;
    struct stat st {};
    ::stat(LogPath().toLocal8Bit().constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << c.ageDays;
  }
}

TEST_F(MsgFixture, TemporaryFolderFromTheEnvironment) {
  const QByteArray oldTemp = qgetenv("TEMP");
  qputenv("TEMP", folder_.toLocal8Bit());
  ResetLog();
  WriteLog("x", "y", 0, 0);
  EXPECT_EQ(LogFileName(), folder_ + "/OrvLog07.Log");
  EXPECT_EQ(LogLines().size(), 1);
  if (oldTemp.isNull())
    qunsetenv("TEMP");
  else
    qputenv("TEMP", oldTemp);
}

TEST_F(MsgFixture, UnwritableLogNeverBreaksTheCaller) {
  // A folder where the file should be: every open fails, even for root.
  ASSERT_TRUE(QDir(folder_).mkdir("OrvLog07.Log"));
  EXPECT_NO_THROW(WriteLog("lost", "C", 0, 0));
  EXPECT_EQ(ShowAttention("still shown"), idOK);
  EXPECT_EQ(dialogs_.Requests.size(), 1u);
  Exception e("boom");
  EXPECT_EQ(ShowException("Ошибка сохранения", &e), idOK);
  EXPECT_EQ(LogFileName(), "");  // logging stopped

  ResetLog(folder_ + "/missing/folder");
  EXPECT_NO_THROW(DebugLog("lost too"));
}

TEST_F(MsgFixture, DebugTraceSwitchesOnWithErrorBoxesOnly) {
  DebugTrace("before start");
  EXPECT_TRUE(LogLines().isEmpty());
  EXPECT_FALSE(DebugTraceEnabled());

  EXPECT_EQ(ShowException("m", nullptr), 0);
  EXPECT_EQ(ShowDBError("m", ""), 0);
  EXPECT_TRUE(dialogs_.Requests.empty());
  EXPECT_FALSE(DebugTraceEnabled());

  EXPECT_EQ(ShowDBError("Ошибка", "Timeout expired"), idOK);
  EXPECT_TRUE(DebugTraceEnabled());
  EXPECT_EQ(dialogs_.Requests.back().Caption, "Внимание!");
  EXPECT_EQ(dialogs_.Requests.back().Text,
            "Ошибка\r\nВремя ожидания истекло\r(возможно, задан слишком сложный запрос)");
  DebugTrace("before Q.ExecSQL: select 1");
  EXPECT_TRUE(LogLines().back().endsWith(" : Debug : before Q.ExecSQL: select 1 (0 -> 0)"));

  SetDebugTraceHook(nullptr);
  const std::runtime_error foreign("std error");
  EXPECT_EQ(ShowException("", &foreign), idOK);
  EXPECT_EQ(dialogs_.Requests.back().Text, "std error");
  EXPECT_TRUE(DebugTraceEnabled());
}

TEST_F(MsgFixture, FatalStartupErrorGivesNonZeroExitCode) {
  EXPECT_NE(ReportFatalError(EDatabaseError("no server")), 0);
  ASSERT_EQ(dialogs_.Requests.size(), 1u);
  EXPECT_EQ(dialogs_.Requests[0].Text, "no server");
}

TEST(TranslateDBError, CombinesAndTranslates) {
  const QString cr = "\r";
  const QString timeout =
      "Время ожидания истекло" + cr + "(возможно, задан слишком сложный запрос)";
  const QString lock = "Время ожидания истекло" + cr +
                       "(возможно, другой пользователь измененяет те же данные, что и Вы)";
  struct Case {
    QString message, db, expected;
  };
  const Case cases[] = {
      {"Ошибка сохранения", "[Microsoft][ODBC SQL Server Driver][SQL Server]Timeout expired",
       "Ошибка сохранения\r\nСервер БД: " + timeout},
      {"", "[Microsoft][ODBC SQL Server Driver]Login failed for user 'x'.",
       "Сервер БД: Отказано в доступе пользователю 'x'."},
      {"x", "[DBNETLIB]ConnectionWrite (send()).",
       "x\r\nОшибка связи, обратитесь к системному администратору."},
      // Only the first occurrence of a phrase is replaced.
      {"", "Timeout expired; Timeout expired", timeout + "; Timeout expired"},
      // Without a database text the message comes back as it is.
      {"Timeout expired", "", "Timeout expired"},
      {"", "plain", "plain"},
      {"Ошибка:", "текст", "Ошибка: текст"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TranslateDBError(c.message, c.db), c.expected) << c.db.toStdString();
  // Through the colon and the character after it, then one blank: further words go.
  EXPECT_EQ(TranslateDBError("Ошибка: подробности ниже", "Lock request time out period exceeded"),
            "Ошибка:  " + lock);
}
