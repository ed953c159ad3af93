#pragma once
// The program's way to talk to the user and to leave a trace: logged message boxes, the
// daily log file, the translation of database error texts and the debug-trace hook.
//
// Log file: "OrvLog" + day of month ("07") + ".Log" in the temporary folder (TEMP, else TMP,
// else the system's), fixed by the first write of the process. The first write of a process
// appends to a file written less than 5 days before and starts an older one afresh. Lines are
// "#pid. dd.mm.yyyy hh:nn:ss.zzz : caption : text (flags -> result)" in code page 1251. The
// file is created readable by its owner only, since traced SQL may land in it. A log that
// cannot be written never disturbs the caller: logging stops for the rest of the process.
#include <QtCore/QString>

#include <exception>

class IrParams;

namespace orvmsg {

// Captions of the standard boxes.
QString QuestionCaption();   // "Вопрос пользователю"
QString AttentionCaption();  // "Внимание!"
QString WarningCaption();    // "Предупреждение пользователю"

// Modal boxes through the dialog service; each writes one log line with the answer and
// returns the code of the pressed button (1 OK, 2 Cancel, 6 Yes, 7 No).
int MsgBox(const QString& text, const QString& caption, int flags);
int AskYesNoCancel(const QString& text);  // flags 35
int AskYesNo(const QString& text);        // flags 36
int ShowAttention(const QString& text);   // flags 48
int ShowWarning(const QString& text);     // flags 48
// An attention box with TranslateDBError(message, the exception's text); switches the debug
// trace on. Nothing is shown and 0 returned without an exception.
int ShowException(const QString& message, const std::exception* error);
// The same for a database text; nothing is shown and 0 returned when it is empty.
int ShowDBError(const QString& message, const QString& dbText);

// The message combined with the database text, and the known server phrases in Russian.
QString TranslateDBError(const QString& message, const QString& dbText);

// Appends one line to the log; never raises.
void WriteLog(const QString& text, const QString& caption, int flags, int result);
// WriteLog(text, "Debug", 0, 0).
void DebugLog(const QString& text);

// The debug-trace hook: the database layer and the script actions call DebugTrace at fixed
// points; it does nothing until the trace is switched on, and then writes DebugLog lines.
using TDebugTraceProc = void (*)(const QString& text);
void DebugTrace(const QString& text);
void SetDebugTraceHook(TDebugTraceProc hook);  // nullptr: the do-nothing target
TDebugTraceProc DebugTraceHook();
// The trace moves only from off to on while the program runs.
void EnableDebugTrace();
bool DebugTraceEnabled();
// Switches the trace on when the parameter DEBUG is "Y".
void ApplyDebugParameter(IrParams& params);

// Start-up of the unit: the trace hook's do-nothing target, and the script registry's boxes
// routed through the boxes above.
void Initialize();
void ConnectScriptBoxes();

// A fatal error while the program starts: shows it and answers the process exit code (not 0).
int ReportFatalError(const std::exception& error);

// The log's state, for tests and diagnostics.
// The file in use ("" before the first write, and when nothing is logged).
QString LogFileName();
// Forgets the file so the next write chooses again; a non-empty folder replaces the
// temporary folder. Logging starts again after a failure.
void ResetLog(const QString& folder = QString());

}  // namespace orvmsg
