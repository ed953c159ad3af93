#pragma once
// What the interpreter and the key procedures need of a report run: the parsed script, the
// argument readers, the message log, waits and the error flow. The full run window derives
// from it; tests and unattended jobs run a plain TRepsRun.
#include "platform/rtl/formatsettings.h"
#include "reports/lang/orvReps_Errs.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <functional>

class TRepsPars;

struct TRepsRunOptions {
  // No waits for keys and no modal pauses: unattended jobs, tests and benchmarks.
  bool NonInteractive = false;
};

class TRepsRun {
 public:
  explicit TRepsRun(TRepsRunOptions options = {});
  virtual ~TRepsRun();
  TRepsRun(const TRepsRun&) = delete;
  TRepsRun& operator=(const TRepsRun&) = delete;

  TRepsPars* Pars = nullptr;
  const TRepsRunOptions Options;
  // The run's own number and date settings: keys change these, never the process's.
  TFormatSettings Format;
  bool PauseOnError = true;
  bool BreakFlag = false;
  bool Failed = false;
  bool OnExitSet = false;
  // When set, errors go here instead of the message log.
  std::function<void(const TRepsErr&)> OnError;
  std::function<void(const QString&)> OnMessage;

  // Argument readers: each moves the program counter of the parsed script.
  void NextKeyArg(QString& text);
  void NextRawArg(QString& text);
  void PeekKeyArg(QString& text, int offset) const;
  void SkipKeyArgs(int count);
  void GetItemText(int index, QString& text) const;

  // Format-string expansion of a key argument; the run window expands its constructs.
  virtual QString FormatArg(const QString& text) const { return text; }
  // The message log. An empty text writes an empty line.
  virtual void WriteMes(const QString& text);
  virtual void ColorLastMes(int color);
  // Waits until a key is pressed or the window closes; never called in a non-interactive run.
  virtual void WaitForKey() {}
  virtual void DoOnExitActions() {}
  // Asked between top-level keys: true when the run was asked from outside to stop.
  virtual bool PollStop() { return false; }

  // Unless forced, waits only when pause on error is on.
  void PauseForKey(bool force);

  QStringList Messages;   // the log of a plain run
  int LastMesColor = -1;  // colour of the last line, -1 default
};

// Shows why a script could not be parsed (the last error record, else a general text) in red
// and pauses when pause on error is on.
void ReportParseError(TRepsRun& run, const TRepsPars& pars);

// Records and shows a report error; unless it may continue, ends the script with ERepsAbort.
void RaiseRepsError(TRepsRun& run, TRepsErrCode code, const QStringList& args, bool canContinue);
