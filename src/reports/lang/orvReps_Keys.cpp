#include "reports/lang/orvReps_Keys.h"

#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Run.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFileInfo>

TRepsFile& TRepsFiles::AddFile(const QString& name) {
  items_.push_back(std::make_unique<TRepsFile>(TRepsFile{name, QString()}));
  return *items_.back();
}

namespace {

bool IsSeparator(QChar c) { return c.unicode() <= 32; }
bool IsLineBreak(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// Index of the next CR or LF at or after i (0-based), or the length.
int LineEnd(const QString& t, int i) {
  while (i < t.size() && !IsLineBreak(t[i])) ++i;
  return i;
}

// Index just after the "*/" that closes a comment opened at i, or the length.
int CommentEnd(const QString& t, int i) {
  int e = t.indexOf(QStringLiteral("*/"), i + 2);
  return e < 0 ? t.size() : e + 2;
}

bool At(const QString& t, int i, char a, char b) {
  return i + 1 < t.size() && t[i] == QLatin1Char(a) && t[i + 1] == QLatin1Char(b);
}

}  // namespace

// ---- lexer ----

bool TRepsPars::NextToken(const QString& t, int& pos, Token& token) {
  const int n = t.size();
  int p = pos;
  while (p < n) {
    if (IsSeparator(t[p])) {
      ++p;
    } else if (At(t, p, '/', '/')) {
      p = LineEnd(t, p);
    } else if (At(t, p, '/', '*')) {
      p = CommentEnd(t, p);
    } else {
      break;
    }
  }
  if (p >= n) {
    pos = n;
    return false;
  }
  token = Token();
  const int start = p;
  int end = -1;  // 0-based index of the word's last character
  bool quoted = false;
  int quotes = 0, q1 = -1, q2 = -1;
  while (p < n) {
    const QChar c = t[p];
    if (c == QLatin1Char('"')) {
      quoted = !quoted;
      ++quotes;
      q1 = q2;
      q2 = p++;
    } else if (c == QLatin1Char('#')) {
      token.escapes = true;
      ++p;
    } else if (c == QLatin1Char('%')) {
      token.vars = true;
      ++p;
    } else if (At(t, p, '~', '`')) {
      token.escapes = true;
      p += 2;
    } else if (At(t, p, '/', '/')) {
      if (!quoted) {
        end = p - 1;
        break;  // the separator skip takes the rest of the line
      }
      token.escapes = true;
      p = LineEnd(t, p);
    } else if (At(t, p, '/', '*')) {
      const int after = CommentEnd(t, p);
      if (!quoted && (after >= n || IsSeparator(t[after]))) {
        end = p - 1;
        break;
      }
      // A comment glued into a word (or inside quotes) is removed when the word is unescaped.
      token.escapes = true;
      p = after;
    } else if (!quoted && IsSeparator(c)) {
      break;
    } else {
      ++p;
    }
  }
  if (end < 0) end = p - 1;
  pos = p;
  token.start = start + 1;
  token.end = end + 1;
  if (quotes >= 2 && q1 == start && q2 == end) {
    token.quoted = true;
    ++token.start;
    --token.end;
  } else if (quotes > 0) {
    token.escapes = true;
  }
  return true;
}

void orvReps_Keys::UnescapeSpan(QString& s, int from, int to) {
  int i = qMax(from, 1) - 1;
  int end = qMin(to, static_cast<int>(s.size()));  // exclusive, 0-based
  while (i < end) {
    const QChar c = s[i];
    if (c == QLatin1Char('"')) {
      s.remove(i, 1);
      --end;
    } else if (c == QLatin1Char('#')) {
      if (i + 1 < end && s[i + 1] == QLatin1Char('#')) {
        s.remove(i, 1);
        --end;
        ++i;
      } else if (i + 3 < end && s[i + 1].isDigit() && s[i + 2].isDigit() && s[i + 3].isDigit() &&
                 s[i + 1].unicode() < 128 && s[i + 2].unicode() < 128 && s[i + 3].unicode() < 128) {
        const int code = s.mid(i + 1, 3).toInt() % 256;
        s.replace(i, 4, Chr(code));
        end -= 3;
        ++i;
      } else {
        ++i;
      }
    } else if (c == QLatin1Char('/')) {
      if (i + 1 >= end) break;
      if (s[i + 1] == QLatin1Char('*')) {
        int e = s.indexOf(QStringLiteral("*/"), i + 2);
        const int stop = (e < 0 || e + 2 > end) ? end : e + 2;
        s.remove(i, stop - i);
        end -= stop - i;
      } else if (s[i + 1] == QLatin1Char('/')) {
        int stop = i + 2;
        while (stop < end && !IsLineBreak(s[stop])) ++stop;
        s.remove(i, stop - i);
        end -= stop - i;
      } else {
        ++i;
      }
    } else if (c == QLatin1Char('~')) {
      if (i + 1 >= end) break;
      if (s[i + 1] == QLatin1Char('`')) {
        s.replace(i, 2, QStringLiteral("\r\n"));
        i += 2;
      } else {
        ++i;
      }
    } else {
      ++i;
    }
  }
}

// ---- items ----

QString TRepsPars::TokenText(int fileIndex, const Token& t) const {
  QString s = Files.Item(fileIndex).Text.mid(t.start - 1, t.end - t.start + 1);
  if (t.escapes) orvReps_Keys::UnescapeSpan(s, 1, s.size());
  if (t.vars) Defs.ExpandDefs(s);
  return s;
}

QString TRepsPars::GetItemText(int index) const {
  if (index < 0 || index >= Count()) return QString();
  const TRepsPar& it = items_[index];
  Token t;
  t.start = it.Start;
  t.end = it.End;
  t.escapes = it.HasEscapes;
  t.vars = it.HasVars;
  return TokenText(it.FileIndex, t);
}

QString TRepsPars::GetRawText(int index) const {
  if (index < 0 || index >= Count()) return QString();
  const TRepsPar& it = items_[index];
  return Files.Item(it.FileIndex).Text.mid(it.Start - 1, it.End - it.Start + 1);
}

QString TRepsPars::GetItemFile(int index) const {
  if (index < 0 || index >= Count()) return QString();
  const int f = items_[index].FileIndex;
  return f < Files.Count() ? Files.Item(f).Name : QString();
}

// ---- parser ----

void TRepsPars::Classify(TRepsPar& item, const QString& text) {
  if (remainingArgs_ > 0) {
    item.State = rpsArgument;
    --remainingArgs_;
    return;
  }
  int key = -1;
  for (;;) {
    const int parent = keyStack_.empty() ? -1 : keyStack_.back();
    key = FindKey(text, parent);
    if (key >= 0 || parent < 0) break;
    keyStack_.pop_back();
  }
  lastFoundKey_ = key;
  if (key < 0) {
    item.State = rpsUnknown;
    keyStack_.clear();
    remainingArgs_ = 0;
    return;
  }
  keyStack_.push_back(key);
  item.Key = key;
  remainingArgs_ = qMax<int>(KeyDefs[key].ArgCount, 0);
  const int depth = static_cast<int>(keyStack_.size());
  item.State = static_cast<qint8>(depth == 1 ? 0 : depth - 1);
}

bool TRepsPars::ParseText(const QString& fileName, const QString& sourceName, const QString& text) {
  return ParseFile(fileName, sourceName, text, !fileName.isEmpty());
}

bool TRepsPars::ParseFile(const QString& fileName, const QString& sourceName, const QString& text,
                          bool fromFile) {
  QString body = text;
  QString canonical;
  if (fromFile) {
    // An include loop or more texts than an item can tell apart is refused like a missing file.
    canonical = QFileInfo(fileName).absoluteFilePath();
    if (Files.Count() >= MaxFiles || includeChain_.contains(canonical)) return false;
    if (!orvReps_Lib::LoadFileToStr(body, fileName)) return false;
  } else if (Files.Count() >= MaxFiles) {
    return false;
  }
  const int fileIndex = Files.Count();
  TRepsFile& file = Files.AddFile(fromFile ? fileName : sourceName);
  file.Text = body;
  if (body.isEmpty()) return true;

  keyStack_.clear();
  remainingArgs_ = 0;
  lastFoundKey_ = -1;
  if (fromFile) includeChain_.append(canonical);
  struct ChainPop {
    QStringList& chain;
    bool active;
    ~ChainPop() {
      if (active) chain.removeLast();
    }
  } chainPop{includeChain_, fromFile};

  const QString& src = Files.Item(fileIndex).Text;
  int pos = 0;
  Token tok;
  while (NextToken(src, pos, tok)) {
    TRepsPar item;
    item.FileIndex = static_cast<quint8>(fileIndex);
    item.Start = tok.start;
    item.End = tok.end;
    item.HasEscapes = tok.escapes;
    item.HasVars = tok.vars;
    item.Quoted = tok.quoted;
    Classify(item, TokenText(fileIndex, tok));
    items_.push_back(item);
    if (item.State != rpsKey || item.Key != keyParamFile) continue;

    Token nameTok;
    if (!NextToken(src, pos, nameTok)) return true;  // a PARAMFILE without a name does nothing
    items_.pop_back();
    const QString name = src.mid(nameTok.start - 1, nameTok.end - nameTok.start + 1);
    const int errsBefore = Errs.Count();
    if (!ParseFile(name, QString(), QString(), true)) {
      // A failure deeper down has already named its own file.
      if (Errs.Count() == errsBefore)
        Errs.AddErr(Count(), recNoFile, FormatRepsErr(recNoFile, {name}));
      return false;
    }
  }
  return true;
}

bool orvReps_Keys::ParseReps(const QString& text, std::unique_ptr<TRepsPars>& pars,
                             const QString& sourceName) {
  if (!pars)
    pars = std::make_unique<TRepsPars>();
  else
    pars->Errs.Clear();
  return pars->ParseText(QString(), sourceName, text);
}

// ---- key lookup ----

namespace {

bool SameKeyword(int key, const QString& upperWord) {
  return QLatin1String(KeyDefs[key].Keyword) == upperWord;
}

}  // namespace

bool TRepsPars::ResolveKeyAlias(int& key, bool& exactOnly, int& level) {
  const int a = KeyDefs[key].ArgCount;
  if (a >= 0) return false;
  if (a <= -10000) {
    exactOnly = true;
    key = -(a + 10000);
  } else {
    exactOnly = false;
    key = -a;
  }
  level = KeyDefs[key].Level;
  return true;
}

int TRepsPars::FindSubKey(const QString& upperWord, int level, int first, bool exactOnly) {
  if (first < 0 || first >= KeyCount) return -1;
  if (exactOnly) return SameKeyword(first, upperWord) ? first : -1;
  for (int k = first; k < KeyCount; ++k) {
    const int l = KeyDefs[k].Level;
    if (l < level) return -1;
    if (l > level) continue;
    int target = k, targetLevel = l;
    bool exact = false;
    if (ResolveKeyAlias(target, exact, targetLevel)) {
      // The catalogue's aliases only ever point backwards or into another block, never at
      // themselves, so the recursion ends.
      if (target == k) continue;
      int r = FindSubKey(upperWord, targetLevel, target, exact);
      if (r >= 0) return r;
    } else if (SameKeyword(k, upperWord)) {
      return k;
    }
  }
  return -1;
}

int TRepsPars::FindKey(const QString& word, int parent) {
  const QString w = orvReps_Lib::UpperCase(word);
  if (parent < 0) {
    if (!w.startsWith(QLatin1Char('-'))) return -1;
    const QString rest = w.mid(1);
    for (int k = 0; k < KeyCount; ++k)
      if (KeyDefs[k].Level == 0 && SameKeyword(k, rest)) return k;
    return -1;
  }
  int key = parent, level = 0;
  bool exact = false;
  ResolveKeyAlias(key, exact, level);
  return FindSubKey(w, KeyDefs[key].Level + 1, key + 1, false);
}

// ---- interpreter ----

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
    try {
      parsed = ParseReps(text, pars, sourceName);
    } catch (const std::exception&) {
      parsed = false;
    }
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
      if (state.StepMode && cb.Step) cb.Step(run);
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
