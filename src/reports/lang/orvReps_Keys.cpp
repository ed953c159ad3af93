// The interpreter: runs parsed keys through their procedures. The lexer, items, parser and
// key lookup of the same class live in orvReps_Keys{Lexer,Items,Parser,Lookup}.cpp.
#include "reports/lang/orvReps_Keys.h"

#include "reports/lang/orvReps_Run.h"

#include <QtCore/QElapsedTimer>

int TRepsPars::KeyArgCount() {
  const int n = qMax<int>(KeyDefs[CurKey].ArgCount, 0);
  PC += n;
  return n;
}

void TRepsPars::CallKey(int key) {
  KeyHistory.push_back(TIndOfKeys{PC, 0});
  TopEntry = static_cast<int>(KeyHistory.size()) - 1;
  ExecKey(key, true);
}

void TRepsPars::ExecKey(int key, bool topLevel) {
  if (PC >= 0 && PC < Count()) {
    // An argument word met as a sub-key at run time becomes that key, so that a later jump
    // onto it runs it rather than the key of ordinal 0.
    items_[PC].State = topLevel ? 0 : 1;
    items_[PC].Key = key;
  }
  bool exact = false;
  int level = 0;
  while (ResolveKeyAlias(key, exact, level)) {}
  CurKey = key;
  const int argCount = qMax<int>(KeyDefs[key].ArgCount, 0);
  const int start = PC;
  const int last = PC + argCount;
  const TKeyProcPair procs = KeyProcs ? (*KeyProcs)[key] : TKeyProcPair{};
  if (SyntaxCheck || !procs.OnKey) {
    PC += argCount + 1;
  } else {
    procs.OnKey(*OwnerRun);
    ++PC;
    if (PC < start || PC > last + 1) return;  // the procedure jumped
  }
  while (PC < Count()) {
    const int sub = FindKey(GetItemText(PC), key);
    if (sub < 0) break;
    ExecKey(sub, false);
  }
  CurKey = key;
  if (!SyntaxCheck && procs.After) procs.After(*OwnerRun);
}

bool orvReps_Keys::ExecuteReps(const QString& text, const TKeyProcs& procs, TRepsRun& run,
                               bool parse, std::unique_ptr<TRepsPars>& pars,
                               const TExecuteCallbacks& cb, bool abortOnParseError,
                               TExecuteState& state, const QString& sourceName) {
  bool parsed = true;
  if (parse) {
    QElapsedTimer timer;
    timer.start();
    // The parser reports its own errors by its result; anything it throws (no memory, a
    // broken invariant) is no fault of the text and goes to the caller as it is.
    parsed = ParseReps(text, pars, sourceName);
    state.ParseMs = timer.elapsed();
  }
  if (!pars) pars = std::make_unique<TRepsPars>();
  TRepsPars& p = *pars;
  p.OwnerRun = &run;
  run.Pars = &p;
  if (!parsed) {
    if (cb.ParseError) cb.ParseError(run, p);
    if (abortOnParseError) throw ERepsAbort();
    return false;
  }
  p.KeyProcs = &procs;
  p.PC = 0;
  state.UnknownKeysMet = false;
  // Keys change the run's own format settings (run.Format); the process's stay untouched.
  try {
    while (p.PC < p.Count()) {
      if (state.StepMode && *state.StepMode && cb.Step) cb.Step(run);
      const TRepsPar& item = p.Item(p.PC);
      p.CurItemKey = item.Key;
      // An argument left unread by a procedure is no key: report it like an unknown word.
      if (item.State == rpsUnknown || item.State == rpsArgument) {
        state.UnknownKeysMet = true;
        const QString word = p.GetItemText(p.PC);
        if (cb.UnknownKey)
          cb.UnknownKey(run, p.PC + 1, word);
        else
          RaiseRepsError(run, recNoKnowKey, {word}, true);
        ++p.PC;
      } else {
        p.CallKey(item.Key);
      }
      if (run.PollStop()) run.BreakFlag = true;
      if (run.BreakFlag) {
        if (cb.Break) cb.Break(run);
        return false;
      }
    }
    return true;
  } catch (const EAbort&) {
    return false;
  } catch (const std::exception& e) {
    const Exception* ex = dynamic_cast<const Exception*>(&e);
    const QString message = (ex ? ex->Message() : QString::fromUtf8(e.what())) +
                            QStringLiteral("\r\nПараметр: ") + QString::number(p.PC - 1) +
                            QLatin1Char(' ') + p.GetItemText(p.PC - 1);
    if (cb.Exception) cb.Exception(run, message);
    return false;
  }
}
