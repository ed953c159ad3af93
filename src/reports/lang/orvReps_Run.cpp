#include "reports/lang/orvReps_Run.h"

#include "reports/lang/orvReps_Keys.h"

TRepsRun::TRepsRun(TRepsRunOptions options) : Options(options), Format(FormatSettings()) {}

TRepsRun::~TRepsRun() = default;

void TRepsRun::NextKeyArg(QString& text) {
  NextRawArg(text);
  text = FormatArg(text);
}

void TRepsRun::NextRawArg(QString& text) {
  ++Pars->PC;
  text = Pars->GetItemText(Pars->PC);
}

void TRepsRun::PeekKeyArg(QString& text, int offset) const {
  text = FormatArg(Pars->GetItemText(Pars->PC + offset));
}

void TRepsRun::SkipKeyArgs(int count) { Pars->PC += count; }

void TRepsRun::GetItemText(int index, QString& text) const { text = Pars->GetItemText(index); }

void TRepsRun::WriteMes(const QString& text) {
  Messages.append(text);
  LastMesColor = -1;
  if (OnMessage) OnMessage(text);
}

void TRepsRun::ColorLastMes(int color) { LastMesColor = color; }

void TRepsRun::PauseForKey(bool force) {
  if (!force && !PauseOnError) return;
  if (Options.NonInteractive) return;
  WaitForKey();
}

void ReportParseError(TRepsRun& run, const TRepsPars& pars) {
  run.Failed = true;
  const TRepsErr* last = pars.Errs.Last();
  const QString message = last ? last->Message : QStringLiteral("Ошибка подготовки скрипта!");
  if (run.OnError) {
    run.OnError(last ? *last : TRepsErr{0, recNoPrepareScript, message});
  } else {
    run.WriteMes(message);
    run.ColorLastMes(255);
  }
  run.PauseForKey(false);
}

void RaiseRepsError(TRepsRun& run, TRepsErrCode code, const QStringList& args, bool canContinue) {
  run.Failed = true;
  const QString message = FormatRepsErr(code, args);
  const int itemNo = run.Pars ? run.Pars->PC : 0;
  TRepsErr err{itemNo, code, message};
  if (run.Pars) err = run.Pars->Errs.AddErr(itemNo, code, message);
  if (run.OnError) {
    run.OnError(err);
  } else {
    run.WriteMes(message);
    run.ColorLastMes(255);
  }
  if (canContinue) return;
  run.PauseForKey(false);
  if (run.OnExitSet && !(run.Pars && run.Pars->SyntaxCheck)) {
    run.OnExitSet = false;  // an error inside the on-exit actions must not run them again
    run.DoOnExitActions();
  }
  throw ERepsAbort(message);
}
