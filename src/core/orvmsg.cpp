#include "orvmsg.h"

#include "core/orvcls.h"
#include "platform/data/zconnection.h"
#include "platform/ui/dialogservice.h"
#include "platform/ui/forms.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/stringfuncs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvmsg {

namespace {

constexpr double kLogRewriteDays = 5;

enum class TLogState { NotChosen, Chosen, Off };

struct TLog {
  TLogState State = TLogState::NotChosen;
  QString FolderOverride;
  QString FileName;
  TDateTime Day = 0;
};

TLog& Log() {
  static TLog log;
  return log;
}

void NoTrace(const QString&) {}

TDebugTraceProc gTraceHook = &NoTrace;

// Chooses the file at the first write of the process; false when nothing is to be logged.
bool ChooseLogFile(TLog& log) {
  if (log.State == TLogState::Chosen) return true;
  if (log.State == TLogState::Off) return false;
  const QString folder = log.FolderOverride.isEmpty() ? GetTempDir() : log.FolderOverride;
  if (folder.isEmpty()) {
    log.State = TLogState::Off;
    return false;
  }
  log.Day = Now();
  log.FileName = IncludeTrailingPathDelimiter(folder) + QStringLiteral("OrvLog") +
                 FormatDateTime(QStringLiteral("dd"), log.Day) + QStringLiteral(".Log");
  log.State = TLogState::Chosen;
  return true;
}

// One open-write-close; false on any failure. A file written within the last days is
// appended to, an older one (the same day of an earlier month) started afresh.
bool AppendLine(const TLog& log, const QByteArray& line) {
  TDateTime age = 0;
  const bool append = FileAge(log.FileName, age) && log.Day - age < kLogRewriteDays;
  const QByteArray path = log.FileName.toLocal8Bit();
  const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
  const int fd = ::open(path.constData(), flags, S_IRUSR | S_IWUSR);
  if (fd < 0) return false;
  (void)::fchmod(fd, S_IRUSR | S_IWUSR);  // an older file may have been made more open
  const ssize_t written = ::write(fd, line.constData(), size_t(line.size()));
  const bool closed = ::close(fd) == 0;
  return written == line.size() && closed;
}

}  // namespace

QString QuestionCaption() { return QStringLiteral("Вопрос пользователю"); }
QString AttentionCaption() { return QStringLiteral("Внимание!"); }
QString WarningCaption() { return QStringLiteral("Предупреждение пользователю"); }

void WriteLog(const QString& text, const QString& caption, int flags, int result) {
  TLog& log = Log();
  try {
    if (!ChooseLogFile(log)) return;
    // Concatenated, not formatted: the text may hold "%" itself.
    const QString line =
        QLatin1Char('#') + QString::number(qint64(::getpid())) + QStringLiteral(". ") +
        FormatDateTime(QStringLiteral("dd.mm.yyyy hh:nn:ss.zzz"), Now()) + QStringLiteral(" : ") +
        caption + QStringLiteral(" : ") + text + QStringLiteral(" (") + QString::number(flags) +
        QStringLiteral(" -> ") + QString::number(result) + QStringLiteral(")\n");
    if (!AppendLine(log, ToAnsi(line))) log.State = TLogState::Off;
  } catch (...) {
    // A log must never break the box, the handler or the statement that wrote it.
    log.State = TLogState::Off;
  }
}

void DebugLog(const QString& text) { WriteLog(text, QStringLiteral("Debug"), 0, 0); }

int MsgBox(const QString& text, const QString& caption, int flags) {
  const int result = DialogService().MessageBox(text, caption, flags);
  WriteLog(text, caption, flags, result);
  return result;
}

int AskYesNoCancel(const QString& text) {
  return MsgBox(text, QuestionCaption(), mbYesNoCancel | mbIconQuestion);
}

int AskYesNo(const QString& text) {
  return MsgBox(text, QuestionCaption(), mbYesNo | mbIconQuestion);
}

int ShowAttention(const QString& text) {
  return MsgBox(text, AttentionCaption(), mbOKOnly | mbIconExclamation);
}

int ShowWarning(const QString& text) {
  return MsgBox(text, WarningCaption(), mbOKOnly | mbIconExclamation);
}

int ShowException(const QString& message, const std::exception* error) {
  if (error == nullptr) return 0;
  const auto* own = dynamic_cast<const Exception*>(error);
  const QString text = own != nullptr ? own->Message() : QString::fromUtf8(error->what());
  EnableDebugTrace();
  return ShowAttention(TranslateDBError(message, text));
}

int ShowDBError(const QString& message, const QString& dbText) {
  if (dbText.isEmpty()) return 0;
  EnableDebugTrace();
  return ShowAttention(TranslateDBError(message, dbText));
}

QString TranslateDBError(const QString& message, const QString& dbText) {
  if (dbText.isEmpty()) return message;
  QString result;
  if (message.isEmpty()) {
    result = dbText;
  } else {
    const qsizetype colon = Pos(QStringLiteral(":"), message);
    result = colon == 0 ? message + QStringLiteral("\r\n") + dbText
                        : Copy(message, 1, colon + 1) + QStringLiteral(" ") + dbText;
  }
  static const struct {
    const char16_t* phrase;
    const char16_t* replacement;
  } kPhrases[] = {
      {u"[Microsoft][ODBC SQL Server Driver][SQL Server]", u"Сервер БД: "},
      {u"[Microsoft][ODBC SQL Server Driver]", u"Сервер БД: "},
      {u"Timeout expired", u"Время ожидания истекло\r(возможно, задан слишком сложный запрос)"},
      {u"Lock request time out period exceeded",
       u"Время ожидания истекло\r(возможно, другой пользователь измененяет те же данные, что и "
       u"Вы)"},
      {u"Login failed for user", u"Отказано в доступе пользователю"},
      {u"[DBNETLIB]ConnectionWrite (send())",
       u"Ошибка связи, обратитесь к системному администратору"},
  };
  for (const auto& p : kPhrases)
    result = StringReplace(result, QString::fromUtf16(p.phrase), QString::fromUtf16(p.replacement));
  return result;
}

void DebugTrace(const QString& text) { gTraceHook(text); }

void SetDebugTraceHook(TDebugTraceProc hook) { gTraceHook = hook != nullptr ? hook : &NoTrace; }

TDebugTraceProc DebugTraceHook() { return gTraceHook; }

void EnableDebugTrace() { gTraceHook = &DebugLog; }

bool DebugTraceEnabled() { return gTraceHook == &DebugLog; }

void ApplyDebugParameter(IrParams& params) {
  if (params.Value(QStringLiteral("DEBUG")) == QLatin1String("Y")) EnableDebugTrace();
}

void Initialize() {
  gTraceHook = &NoTrace;
  ConnectScriptBoxes();
  // Errors that reach the application's default handling show as the program's own box.
  TApplication::SetDefaultExceptionShower([](const Exception& e) { ShowException(QString(), &e); });
  // A connection text with the password "?" asks the user when the connection opens.
  SetLoginPromptHook([](TZConnection& c, QString& user, QString& password) {
    return DialogService().Login(QStringLiteral("Подключение: ") + c.Database(), user, password);
  });
}

int ReportFatalError(const std::exception& error) {
  try {
    ShowException(QString(), &error);
  } catch (...) {
    // The exit code matters more than the box.
  }
  return 1;
}

QString LogFileName() {
  const TLog& log = Log();
  return log.State == TLogState::Chosen ? log.FileName : QString();
}

void ResetLog(const QString& folder) {
  TLog& log = Log();
  log = TLog();
  log.FolderOverride = folder;
}

}  // namespace orvmsg
