// Control-flow keys. A parsed script is a flat item list, so every jump is a scan for the
// partner key, counting nesting. A jumping procedure leaves the counter one item before the
// next to run: the interpreter adds one after each procedure.
#include "platform/rtl/sysutils.h"
#include "platform/rtl/variant.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_KeyArgs_p.h"

namespace {

using orvReps_KeyArgs::R;

struct FlowKeys {
  int If, Else, End, Switch, Case, CaseElse, SwitchEnd, While, WhileBreak, WhileEnd, SubBegin,
      SubEnd, Sub, Label;
};

const FlowKeys& K() {
  static const FlowKeys k = [] {
    auto at = [](const char* p) { return orvReps_KeyDefs::KeyByPath(QString::fromLatin1(p)); };
    return FlowKeys{at("IF"),       at("ELSE"),      at("END"),   at("SWITCH"),     at("CASE"),
                    at("CASEELSE"), at("SWITCHEND"), at("WHILE"), at("WHILEBREAK"), at("WHILEEND"),
                    at("SUBBEGIN"), at("SUBEND"),    at("SUB"),   at("LABEL")};
  }();
  return k;
}

constexpr int MaxOpenSubs = 999;

TRepsPars& P(TRepsRun& run) { return *run.Pars; }
int KeyAt(TRepsRun& run) { return P(run).Item(P(run).PC).Key; }
bool CanAdvance(TRepsRun& run) { return P(run).PC < P(run).Count() - 1; }

bool Condition(TRepsRun& run) {
  QString text;
  run.NextKeyArg(text);
  Variant v;
  orvReps_CellWriters::CompileCondition(v, R(run).Out(), text);
  return v.ToBool();
}

// Forward to the partner at depth 0; `open` nests, `close` unnests. Stops on any of the
// `stops` keys at depth 0; false when the list ended first (the counter on its last item).
bool ScanForward(TRepsRun& run, int open, int close, int stopA, int stopB = -2) {
  int depth = 0;
  while (CanAdvance(run)) {
    ++P(run).PC;
    const int k = KeyAt(run);
    if (depth == 0 && (k == stopA || k == stopB)) return true;
    if (k == open)
      ++depth;
    else if (k == close)
      --depth;
  }
  return false;
}

void KeyIf(TRepsRun& run) {
  if (!Condition(run)) ScanForward(run, K().If, K().End, K().Else, K().End);
}

void KeyElse(TRepsRun& run) { ScanForward(run, K().If, K().End, K().End); }

void KeyWhile(TRepsRun& run) {
  if (!Condition(run)) ScanForward(run, K().While, K().WhileEnd, K().WhileEnd);
}

void KeyWhileBreak(TRepsRun& run) { ScanForward(run, K().While, K().WhileEnd, K().WhileEnd); }

void KeyWhileEnd(TRepsRun& run) {
  TRepsPars& p = P(run);
  int depth = 0;
  while (p.PC > 0) {
    --p.PC;
    const int k = p.Item(p.PC).Key;
    if (k == K().WhileEnd) {
      ++depth;
    } else if (k == K().While) {
      if (depth == 0) {
        --p.PC;  // the interpreter's step lands on the WHILE itself
        return;
      }
      --depth;
    }
  }
  throw Exception(QStringLiteral("Не найден -While для -WhileEnd"));
}

void NoSequel(TRepsRun& run) { RaiseRepsError(run, recNoSequelSwitch, {}, false); }

bool CaseHolds(const QString& list, const QString& value) {
  QString item;
  int pos = 1;
  for (;;) {
    const bool more = orvReps_Lib::NextUnescapedItem(item, list, pos, QLatin1Char(','));
    if (item == value) return true;
    if (!more) return false;
  }
}

void KeySwitch(TRepsRun& run) {
  QString value;
  run.NextKeyArg(value);
  TRepsPars& p = P(run);
  int depth = 0;
  while (CanAdvance(run)) {
    ++p.PC;
    const int k = KeyAt(run);
    if (depth > 0) {
      if (k == K().SwitchEnd)
        --depth;
      else if (k == K().Switch)
        ++depth;
    } else if (k == K().Switch) {
      depth = 1;
      ++p.PC;
    } else if (k == K().Case) {
      QString list;
      run.NextKeyArg(list);
      if (CaseHolds(list, value)) return;
    } else if (k == K().CaseElse || k == K().SwitchEnd) {
      return;
    }
  }
  NoSequel(run);
}

// The branch that ran ends at the next CASE or CASEELSE: on to the SWITCHEND.
void KeyCase(TRepsRun& run) {
  TRepsPars& p = P(run);
  int depth = 0;
  while (CanAdvance(run)) {
    ++p.PC;
    const int k = KeyAt(run);
    if (k == K().Switch) {
      ++depth;
    } else if (k == K().SwitchEnd) {
      if (depth <= 0) return;
      --depth;
    }
  }
  NoSequel(run);
}

void KeySubBegin(TRepsRun& run) {
  TRepsPars& p = P(run);
  int depth = 0;
  while (CanAdvance(run)) {
    ++p.PC;
    const int k = KeyAt(run);
    if (k == K().SubEnd) {
      if (depth == 0) return;
      --depth;
    } else if (k == K().SubBegin) {
      ++p.PC;
      ++depth;
    }
  }
}

// The argument item after the first key `key` whose raw name matches, or -1.
int FindNamed(TRepsRun& run, int key, const QString& upperName) {
  const TRepsPars& p = P(run);
  for (int i = 0; i < p.Count() - 1; ++i)
    if (p.Item(i).Key == key && orvReps_Lib::UpperCase(p.GetItemText(i + 1)) == upperName)
      return i + 1;
  return -1;
}

void KeySub(TRepsRun& run) {
  QString name;
  run.NextKeyArg(name);
  name = orvReps_Lib::UpperCase(name);
  TRF& rf = R(run);
  if (rf.SubStack.size() >= MaxOpenSubs) RaiseRepsError(run, recSubLimit, {name}, false);
  const int body = FindNamed(run, K().SubBegin, name);
  if (body < 0) return;
  rf.SubStack.push_back(P(run).PC);
  P(run).PC = body;
}

void KeySubEnd(TRepsRun& run) {
  TRF& rf = R(run);
  if (rf.SubStack.empty()) return;
  P(run).PC = rf.SubStack.back();
  rf.SubStack.pop_back();
}

void KeyGoto(TRepsRun& run) {
  QString name;
  run.NextKeyArg(name);
  name = orvReps_Lib::UpperCase(name);
  const int target = FindNamed(run, K().Label, name);
  if (target < 0) RaiseRepsError(run, recNoLabel, {name}, false);
  P(run).PC = target;
}

const TKeyBinding kBindings[] = {
    {"IF", KeyIf, nullptr},
    {"ELSE", KeyElse, nullptr},
    {"SWITCH", KeySwitch, nullptr},
    {"CASE", KeyCase, nullptr},
    {"CASEELSE", KeyCase, nullptr},
    {"WHILE", KeyWhile, nullptr},
    {"WHILEBREAK", KeyWhileBreak, nullptr},
    {"WHILEEND", KeyWhileEnd, nullptr},
    {"SUBBEGIN", KeySubBegin, nullptr},
    {"SUBEND", KeySubEnd, nullptr},
    {"SUB", KeySub, nullptr},
    {"GOTO", KeyGoto, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> FlowBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
