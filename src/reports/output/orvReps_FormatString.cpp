#include "reports/output/orvReps_FormatString.h"

#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Defs.h"
#include "reports/lang/orvReps_Keys.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"

#include <algorithm>

namespace {

using H = TFormatCommand::THandler;
using namespace orvReps_Lib;

// ---- Handlers -------------------------------------------------------------------------------

void HLiteral(TFormatCommands&, TFormatCommand&) {}

void HConcat(TFormatCommands& f, TFormatCommand& c) {
  qsizetype n = 0;
  for (const TFormatCommand::TPart& p : c.Parts)
    n += p.Source >= 0 ? f.GetItem(p.Source).ResultText.size() : p.Literal.size();
  QString& r = c.ResultText;
  r.resize(0);
  r.reserve(n);
  for (const TFormatCommand::TPart& p : c.Parts)
    r += p.Source >= 0 ? f.GetItem(p.Source).ResultText : p.Literal;
}
void HAddText(TFormatCommands& f, TFormatCommand& c) {
  c.ResultText = c.Before ? c.Args[1] + f.ArgText(c, 2) : f.ArgText(c, 2) + c.Args[1];
}
void HRtfWrap(TFormatCommands& f, TFormatCommand& c) {
  QString header;
  f.RtfHeader(header);
  c.ResultText = QLatin1String("{\\rtf ") + header + f.ArgText(c, 1) + QLatin1Char('}');
}

QString Fill(const QString& pattern, int w) {
  if (w <= 0 || pattern.isEmpty()) return QString();
  return FillStr(pattern, w);
}

// Texts are laid out in the command's own result, so a string run again reuses its buffers.
void Place(QString& r, const QString& t, int w, int before) {
  r.resize(0);
  if (w <= 0) return;
  if (t.size() >= w) {
    r.append(t.constData(), w);
    return;
  }
  r.reserve(w);
  r.resize(before, QLatin1Char(' '));
  r.append(t);
  r.resize(w, QLatin1Char(' '));
}

void HWidth(TFormatCommands& f, TFormatCommand& c) {
  const int w = f.CommandWidth(c);
  const QString& t = f.ArgText(c, 2);
  switch (c.Kind) {
    case ctTrunc:
      c.ResultText.resize(0);
      if (w > 0) c.ResultText.append(t.constData(), std::min<qsizetype>(w, t.size()));
      break;
    case ctLeft: Place(c.ResultText, t, w, 0); break;
    case ctCenter: Place(c.ResultText, t, w, (w - t.size()) / 2); break;
    case ctRight: Place(c.ResultText, t, w, w - t.size()); break;
    case ctM:
      c.ResultText = Fill(t, w);
      if (c.RepairEntity) orvReps_CellWriters::RepairHtmlEntityEnd(c.ResultText);
      break;
    default: break;
  }
}

bool IsBlankChar(QChar c) { return c.unicode() <= 32; }

void HTrim(TFormatCommands& f, TFormatCommand& c) {
  const QString& t = f.ArgText(c, 1);
  int s = 0, e = t.size();
  if (c.Kind != ctTrimR)
    while (s < e && IsBlankChar(t[s])) ++s;
  if (c.Kind != ctTrimL)
    while (e > s && IsBlankChar(t[e - 1])) --e;
  c.ResultText = t.mid(s, e - s);
}

void HIfEmpty(TFormatCommands& f, TFormatCommand& c) {
  c.ResultText = f.ArgText(c, 1).isEmpty() ? f.ArgText(c, 2) : f.ArgText(c, 3);
}

void HIsNull(TFormatCommands& f, TFormatCommand& c) {
  const QString& t = f.ArgText(c, 1);
  c.ResultText = t.isEmpty() ? f.ArgText(c, 2) : t;
}

void HCutRight(TFormatCommands& f, TFormatCommand& c) {
  const int n = StrToInt(f.ArgText(c, 1));
  const QString& t = f.ArgText(c, 2);
  c.ResultText = n <= 0 ? QString() : n >= t.size() ? t : t.right(n);
}

void HCutMid(TFormatCommands& f, TFormatCommand& c) {
  const int start = std::max(StrToInt(f.ArgText(c, 1)), 1);
  const int count = StrToInt(f.ArgText(c, 2));
  c.ResultText = count <= 0 ? QString() : f.ArgText(c, 3).mid(start - 1, count);
}

void HConv(TFormatCommands& f, TFormatCommand& c) {
  const int kind = c.ArgSources[1] >= 0 ? RecodeKindByName(Trimmed(f.ArgText(c, 1))) : c.Width;
  c.ResultText = Recode(f.ArgText(c, 2), kind);
}

void HLoad(TFormatCommands& f, TFormatCommand& c) {
  QString t;
  if (!LoadFileToStr(t, Trimmed(f.ArgText(c, 1)))) t.clear();
  c.ResultText = t;
}

void HCase(TFormatCommands& f, TFormatCommand& c) {
  const QString& t = f.ArgText(c, 1);
  if (f.Utf8Case) {
    c.ResultText = c.Kind == ctUpper ? t.toUpper() : t.toLower();
  } else if (c.Kind == ctUpper) {
    QString& r = c.ResultText;
    r.resize(t.size());
    QChar* out = r.data();
    for (qsizetype i = 0; i < t.size(); ++i) out[i] = UpChar(t[i]);
  } else {
    c.ResultText = LowerCase(t);
  }
}

void HDot(TFormatCommands& f, TFormatCommand& c) {
  QString t = f.ArgText(c, 1);
  for (QChar& ch : t) {
    if (ch != QLatin1Char('+') && ch != QLatin1Char('-') &&
        !(ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))) {
      ch = QLatin1Char('.');
      break;
    }
  }
  c.ResultText = t;
}

void HExpStr(TFormatCommands& f, TFormatCommand& c) {
  c.ResultText = WrapText(f.ArgText(c, 2), f.ArgText(c, 3), f.CommandWidth(c));
}

void HLayout(TFormatCommands& f, TFormatCommand& c) {
  c.ResultText =
      LayoutLeftCenterRight(f.ArgText(c, 2), f.ArgText(c, 3), f.ArgText(c, 4), f.CommandWidth(c));
}

// The next line of a W or V command's text, w characters wide.
void WrapNextLine(TFormatCommands& f, TFormatCommand& wrap, int w, QString& result) {
  QString line;
  int width = w;
  CutLine(line, wrap.Remaining, width, wrap.WordWrap);
  if (line.isEmpty()) {
    result = wrap.Remaining.isEmpty() ? Fill(f.ArgText(wrap, 4), w)
                                      : QString(std::max(w, 0), QLatin1Char(' '));
    return;
  }
  if (line.size() < w) {
    const QString align = wrap.ArgSources[3] >= 0 ? f.ArgText(wrap, 3).toUpper() : wrap.Args[3];
    if (align == QLatin1String("L"))
      line = PadRightTo(line, w);
    else if (align == QLatin1String("R"))
      line = PadLeftTo(line, w);
    else if (align == QLatin1String("C"))
      line = PadCenterTo(line, w);
  }
  result = line;
}

bool FoldedWrap(const TFormatCommand& c) {
  return c.WidthSource < 0 && c.Width >= 0 &&
         std::all_of(c.ArgSources.begin(), c.ArgSources.end(), [](qint32 s) { return s < 0; });
}

void HWrap(TFormatCommands& f, TFormatCommand& c) {
  if (FoldedWrap(c)) {
    c.Remaining = c.SavedText;  // the first line was cut at compile time
    return;
  }
  c.Remaining = f.ArgText(c, 5);
  WrapNextLine(f, c, f.CommandWidth(c), c.ResultText);
}

void HWrapAnd(TFormatCommands& f, TFormatCommand& c) {
  WrapNextLine(f, f.GetItem(c.WrapIndex), f.CommandWidth(c), c.ResultText);
}

void HFormula(TFormatCommands& f, TFormatCommand& c) {
  Variant v;
  try {
    if (c.Formula) c.Formula->Execute(v);
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    RaiseRepsError(f.Out.Run, recErrInFormula, {e.Message()}, false);
  }
  if (c.WantInt)
    c.IntResult = v.ToInt();
  else
    c.ResultText = VarToStr(v);
}

void HVar(TFormatCommands& f, TFormatCommand& c) {
  if (c.BoundDef) {
    c.ResultText = c.BoundDef->Value;
    return;
  }
  TRepsPars* pars = f.Out.Run.Pars;
  c.ResultText = pars ? pars->Defs.DefValue(f.ArgText(c, 1)) : QString();
}

// A key part without "=" names no key: the reference reads the current record.
void SplitStarRef(const QString& ref, QString& alias, QString& name, QString& qualifier,
                  QString& level, QString& key, QString& value) {
  orvReps_Values::ParseFieldRef(ref, alias, name, qualifier, level, key, value);
  const int q = ref.lastIndexOf(QLatin1Char('?'));
  if (q >= 0 && ref.indexOf(QLatin1Char('='), q + 1) < 0) key.clear();
}

void HStar(TFormatCommands& f, TFormatCommand& c) {
  if (c.ArgSources[1] >= 0) {
    QString alias, name, qualifier, level, key, value;
    SplitStarRef(f.ArgText(c, 1), alias, name, qualifier, level, key, value);
    c.Args[1] = alias, c.Args[2] = name, c.Args[3] = level, c.Args[4] = qualifier;
    c.Args[5] = key, c.Args[6] = value;
  }
  if (f.Out.DataAccess) {
    f.Out.DataAccess->FieldValue(f, c);
    if (c.ArgSources[1] >= 0 && !c.WantInt && f.EscapeLiterals) f.EscapeText(c.ResultText);
    return;
  }
  RaiseRepsError(f.Out.Run, recNoAlias, {c.Args[1], c.Args[2]}, false);
}

void HCap(TFormatCommands& f, TFormatCommand& c) {
  if (c.ArgSources[1] >= 0) {
    QString alias, name;
    orvReps_Values::SplitAliasName(Trimmed(f.ArgText(c, 1)), alias, name);
    c.Args[1] = alias, c.Args[2] = name;
  }
  if (f.Out.DataAccess) {
    f.Out.DataAccess->ColumnCaption(f, c);
    return;
  }
  RaiseRepsError(f.Out.Run, recNoFieldInFmtStr, {c.Args[1] + QLatin1Char('.') + c.Args[2]}, false);
}

bool MarkupKind(TRepType t) { return t == rtHTML || t == rtHExcel || t == rtFlatODS; }

void HFont(TFormatCommands& f, TFormatCommand& c) {
  TRepsOutput& out = f.Out;
  const TRepType type = out.RepType;
  if (c.ArgSources[1] < 0 && (MarkupKind(type) || type == rtRTF)) {
    c.ResultText = c.Open + f.ArgText(c, 2) + c.Close;
    return;
  }
  const QString& spec = f.ArgText(c, 1);
  const QString& text = f.ArgText(c, 2);
  if (MarkupKind(type)) {
    orvReps_CellWriters::FontRunMarkup(out, out.Canvas.get(), c.ResultText, spec, text, true,
                                       nullptr, nullptr, type);
  } else if (type == rtRTF) {
    if (f.RichFragment) {
      qint32 newColor;
      QString newFont;
      orvReps_CellWriters::FontRunRtfLocal(out, out.Canvas.get(), c.ResultText, spec, text,
                                           f.Colors, f.FontNames, newColor, newFont, &out.TextSizes,
                                           type);
      f.Colors.FindOrAdd(newColor);
      if (!newFont.isEmpty()) f.AddRtfFont(newFont);
    } else {
      orvReps_CellWriters::FontRunRtf(out, out.Canvas.get(), c.ResultText, spec, text, true);
    }
  } else {
    c.ResultText = text;
  }
}

void HPar(TFormatCommands& f, TFormatCommand& c) {
  c.ResultText.clear();
  const QString& a = f.ArgText(c, 1);
  if (MarkupKind(f.Out.RepType))
    orvReps_CellWriters::HtmlAlignTag(c.ResultText, a);
  else if (f.Out.RepType == rtRTF)
    orvReps_CellWriters::RtfAlignWord(c.ResultText, a);
}

void HFrame(TFormatCommands& f, TFormatCommand& c) {
  if (c.ArgSources[1] < 0) {
    c.ResultText = f.ArgText(c, 2);  // the literal pieces were rewritten at compile time
    return;
  }
  TRepsOutput& out = f.Out;
  orvReps_CellWriters::WriteFrameText(out, out.Canvas.get(), c.ResultText, out.RepType,
                                      f.ArgText(c, 1), f.ArgText(c, 2), nullptr, -1, out.Styles);
}

// ---- The compiler ---------------------------------------------------------------------------

enum TScanState : quint8 {
  ssStart,
  ssOpen,
  ssClose,
  ssEscape,
  ssSeparator,
  ssText,
  ssEscaped,
  ssEnd
};

// Rows: states; columns: '[' ']' escape ';' other.
constexpr TScanState kScan[7][5] = {
    {ssOpen, ssText, ssEscape, ssText, ssText},
    {ssOpen, ssClose, ssEscape, ssSeparator, ssText},
    {ssOpen, ssClose, ssEscape, ssSeparator, ssText},
    {ssEscaped, ssEscaped, ssEscaped, ssEscaped, ssText},
    {ssOpen, ssClose, ssEscape, ssSeparator, ssText},
    {ssOpen, ssClose, ssEscape, ssSeparator, ssText},
    {ssOpen, ssClose, ssEscape, ssSeparator, ssText},
};

enum TInterpretKind : quint8 { icText, icClosed, icOpen, icSeparator };

struct TInterpretCom {
  TInterpretKind Kind = icText;
  int SpanStart = 0, SpanEnd = -1;  // 0-based, inclusive
  int EscapeCount = 0;
  TComTypes ComType = ctNone;
  int Command = -1;
};

}  // namespace

// The compiler's work list of one compilation: the items read so far and the scanner state.
class TInterpretComs {
 public:
  TInterpretComs(TFormatCommands& target, const QString& text, QChar escape)
      : t_(target), text_(text), escape_(escape) {}

  void Run() {
    const int n = text_.size();
    for (cursor_ = 0; cursor_ < n; ++cursor_) {
      const char16_t ch = text_[cursor_].unicode();
      const int cls = ch == '['                 ? 0
                      : ch == ']'               ? 1
                      : ch == escape_.unicode() ? 2
                      : ch == ';'               ? 3
                                                : 4;
      newState_ = kScan[state_][cls];
      Step();
      state_ = newState_;
    }
    newState_ = ssEnd;
    Step();
  }

 private:
  TInterpretCom& Last() { return items_.back(); }

  void Step() {
    if (state_ == ssText && newState_ == ssText) return;
    if (state_ == ssText || state_ == ssEscaped) {
      if (newState_ != ssEscape) Last().SpanEnd = cursor_ - 1;
    }
    switch (newState_) {
      case ssText: TextStart(); break;
      case ssEscape:
        if (state_ != ssText) items_.push_back({icText, cursor_, cursor_, 0});
        break;
      case ssEscaped:
        ++Last().EscapeCount;
        newState_ = ssText;
        break;
      case ssOpen: OpenBracket(); break;
      case ssSeparator: Separator(); break;
      case ssClose: CloseBracket(); break;
      case ssEnd: End(); break;
      default: break;
    }
  }

  void TextStart() {
    if (state_ != ssEscape) items_.push_back({icText, cursor_, cursor_, 0});
  }

  void AsText() {
    newState_ = ssText;
    TextStart();
  }

  void OpenBracket() {
    for (int k = 1; k < static_cast<int>(ComWords.size()); ++k) {
      const char* w = ComWords[k].Word;
      const int len = static_cast<int>(std::strlen(w));
      if (cursor_ + len >= text_.size()) continue;
      bool match = true;
      for (int j = 0; j < len && match; ++j) {
        char16_t c = text_[cursor_ + 1 + j].unicode();
        if (c >= 'a' && c <= 'z') c -= 32;
        match = c == static_cast<char16_t>(w[j]);
      }
      if (!match) continue;
      TInterpretCom it{icOpen, cursor_, cursor_ + len, 0};
      it.ComType = static_cast<TComTypes>(k);
      items_.push_back(it);
      cursor_ += len;
      return;
    }
    AsText();
  }

  int InnermostOpen() const {
    for (int i = static_cast<int>(items_.size()) - 1; i >= 0; --i)
      if (items_[i].Kind == icOpen) return i;
    return -1;
  }

  void NeedHave(int& open, int& need, int& have) const {
    open = InnermostOpen();
    need = open < 0 ? 0 : ComWords[items_[open].ComType].ArgCount;
    have = 1;
    for (int i = open + 1; i < static_cast<int>(items_.size()); ++i)
      if (items_[i].Kind == icSeparator) ++have;
  }

  void Separator() {
    int open, need, have;
    NeedHave(open, need, have);
    if (have >= need) {
      AsText();
      return;
    }
    items_.push_back({icSeparator, cursor_, cursor_, 0});
  }

  void CloseBracket() {
    int open, need, have;
    NeedHave(open, need, have);
    if (need <= 0) {
      AsText();
      return;
    }
    if (have < need) {
      Unwind(true);
      return;
    }
    for (int i = static_cast<int>(items_.size()) - 1; i > open;) {
      if (items_[i].Kind == icSeparator) {
        --i;  // an empty argument
        continue;
      }
      i = Reduce(i) - 1;
      if (i > open && items_[i].Kind == icSeparator) --i;
    }
    Close(open);
  }

  void End() {
    if (state_ == ssEscape && !items_.empty()) Last().SpanEnd = cursor_ - 1;
    while (InnermostOpen() >= 0) Unwind(false);
    if (items_.empty()) return;
    Reduce(static_cast<int>(items_.size()) - 1);
    if (items_.size() == 1 && items_[0].Kind == icText) {
      TFormatCommand& c = NewCommand(TFormatCommand::opLiteral);
      c.ResultText = Unescape(items_[0]);
      if (t_.EscapeLiterals) t_.EscapeText(c.ResultText);
    }
  }

  // Step 7: the construct that cannot close becomes its literal text again.
  void Unwind(bool atBracket) {
    if (atBracket) {
      if (Last().Kind == icClosed)
        items_.push_back({icText, cursor_, cursor_, 0});
      else
        Last().SpanEnd = cursor_;
    }
    int j = static_cast<int>(items_.size()) - 1;
    while (j >= 0) {
      TInterpretCom& it = items_[j];
      if (it.Kind == icOpen) {
        it.Kind = icText;
        return;
      }
      if (it.Kind == icClosed || j == 0) {
        if (it.Kind != icClosed) it.Kind = icText;
        --j;
        continue;
      }
      TInterpretCom& left = items_[j - 1];
      if (left.Kind == icClosed) {
        it.Kind = icText;
        --j;
        continue;
      }
      const bool wasOpen = left.Kind == icOpen;
      left.Kind = icText;
      left.SpanEnd = it.SpanEnd;
      left.EscapeCount += it.EscapeCount;
      items_.erase(items_.begin() + j);
      if (wasOpen) return;
      --j;
    }
  }

  QString Unescape(const TInterpretCom& it) const {
    QString s = text_.mid(it.SpanStart, it.SpanEnd - it.SpanStart + 1);
    int left = it.EscapeCount;
    for (int i = 0; left > 0 && i + 1 < s.size(); ++i) {
      if (s[i] != escape_) continue;
      const QChar f = s[i + 1];
      if (f == QLatin1Char('[') || f == QLatin1Char(']') || f == QLatin1Char(';') || f == escape_) {
        s.remove(i, 1);
        --left;
      } else {
        ++i;
      }
    }
    return s;
  }

  TFormatCommand& NewCommand(TFormatCommand::TOp op) {
    TFormatCommand& c = t_.Append();
    c.Op = op;
    c.Handler = &HLiteral;
    c.Constant = true;
    return c;
  }

  void AddParts(std::vector<TFormatCommand::TPart>& parts, const TInterpretCom& it) {
    if (it.Kind == icText) {
      QString literal = Unescape(it);
      if (t_.EscapeLiterals) t_.EscapeText(literal);
      parts.push_back({-1, literal});
      return;
    }
    TFormatCommand& c = t_.items_[it.Command];
    if (c.Constant) {
      parts.push_back({-1, c.ResultText});
    } else if (c.Op == TFormatCommand::opConcat) {
      // Only this join refers to it: its parts move here and it runs no more.
      for (TFormatCommand::TPart& p : c.Parts) parts.push_back(std::move(p));
      c.Parts.clear();
      c.ResultText.clear();
      c.Handler = &HLiteral;
      c.Constant = true;
    } else {
      parts.push_back({it.Command, QString()});
    }
  }

  // Step 5: combines item i with its left neighbours while they are texts or commands.
  int Reduce(int i) {
    while (i > 0 && items_[i - 1].Kind != icOpen && items_[i - 1].Kind != icSeparator) {
      TInterpretCom& a = items_[i - 1];
      const TInterpretCom& b = items_[i];
      if (a.Kind == icText && b.Kind == icText) {
        a.SpanEnd = b.SpanEnd;
        a.EscapeCount += b.EscapeCount;
      } else {
        // Texts and results joined in one step: nested joins are spliced into one list.
        std::vector<TFormatCommand::TPart> parts;
        AddParts(parts, a);
        AddParts(parts, b);
        const int index = t_.Count();
        TFormatCommand& c = NewCommand(TFormatCommand::opConcat);
        c.Parts = std::move(parts);
        c.Handler = &HConcat;
        HConcat(t_, c);
        if (std::any_of(c.Parts.begin(), c.Parts.end(),
                        [](const TFormatCommand::TPart& p) { return p.Source >= 0; })) {
          c.Constant = false;
        } else {
          c.Handler = &HLiteral;
        }
        a.Kind = icClosed;
        a.Command = index;
        a.SpanEnd = b.SpanEnd;
      }
      items_.erase(items_.begin() + i);
      --i;
    }
    return i;
  }

  // Step 6.
  void Close(int open) {
    const TComTypes kind = items_[open].ComType;
    const TComWord& word = ComWords[kind];
    const int index = t_.Count();
    t_.Append();
    TFormatCommand* c = &t_.items_[index];
    c->Kind = kind;
    int n = 1, mask = 0;
    for (int i = open + 1; i < static_cast<int>(items_.size()); ++i) {
      const TInterpretCom& it = items_[i];
      if (it.Kind == icText) {
        if (n <= 5) c->Args[n] = Unescape(it);
      } else if (it.Kind == icSeparator) {
        mask <<= 1;
        ++n;
      } else if (it.Kind == icClosed) {
        if (n == 1 && word.WidthFirst) {
          c->WidthSource = it.Command;
          t_.items_[it.Command].WantInt = true;
        } else if (n <= 5) {
          c->ArgSources[n] = it.Command;
        }
        mask += 1;
      }
    }
    items_.erase(items_.begin() + open + 1, items_.end());
    items_[open].Kind = icClosed;
    items_[open].Command = index;
    Build(index, kind, mask);
  }

  void SetHandler(TFormatCommand& c, H h, bool fold) {
    c.Handler = h;
    if (fold) {
      h(t_, c);
      c.Handler = &HLiteral;
      c.Constant = true;
    }
  }

  void Escape(QString& s) const {
    if (t_.EscapeLiterals) t_.EscapeText(s);
  }

  // What a kind computes at compile time, and the handler it keeps.
  void Build(int index, TComTypes kind, int mask) {
    TFormatCommand& c = t_.items_[index];
    const int k = ComWords[kind].ArgCount;
    auto nested = [&](int j) { return (mask >> (k - j)) & 1; };
    if (ComWords[kind].WidthFirst && !nested(1)) {
      const QString w = c.Args[1];
      const QChar u = w.size() == 1 ? w[0].toUpper() : QChar();
      c.Width = u == QLatin1Char('P')   ? -1
                : u == QLatin1Char('T') ? -2
                : u == QLatin1Char('C') ? -3
                                        : StrToInt(w);
    }
    const bool literalWidth = !nested(1) && !(c.Width >= -3 && c.Width <= -1);
    const bool fold = mask == 0;
    switch (kind) {
      case ctTrunc:
      case ctLeft:
      case ctCenter:
      case ctRight:
      case ctM:
        if (fold && literalWidth) {
          SetHandler(c, &HWidth, true);
          Escape(c.ResultText);
        } else {
          if (!nested(2)) Escape(c.Args[2]);
          c.RepairEntity = kind == ctM && nested(2) && t_.EscapeLiterals && t_.Out.RepType != rtRTF;
          SetHandler(c, &HWidth, false);
        }
        break;
      case ctTrimL:
      case ctTrimR:
      case ctTrimA: SetHandler(c, &HTrim, fold); break;
      case ctIfEmpty:
      case ctIsNull: {
        const H h = kind == ctIfEmpty ? &HIfEmpty : &HIsNull;
        if (fold) {
          SetHandler(c, h, true);
          Escape(c.ResultText);
        } else {
          for (int j = kind == ctIfEmpty ? 2 : 1; j <= k; ++j)
            if (!nested(j)) Escape(c.Args[j]);
          SetHandler(c, h, false);
        }
        break;
      }
      case ctCutRight: SetHandler(c, &HCutRight, fold); break;
      case ctCutMid: SetHandler(c, &HCutMid, fold); break;
      case ctConv:
        if (!nested(1)) c.Width = RecodeKindByName(Trimmed(c.Args[1]));
        SetHandler(c, &HConv, fold);
        break;
      case ctLoad: SetHandler(c, &HLoad, fold); break;
      case ctLower:
      case ctUpper:
        SetHandler(c, &HCase, fold);
        if (fold) Escape(c.ResultText);
        break;
      case ctDot:
        SetHandler(c, &HDot, fold);
        if (fold) Escape(c.ResultText);
        break;
      case ctExpStr: SetHandler(c, &HExpStr, fold && literalWidth); break;
      case ctA: SetHandler(c, &HLayout, fold && literalWidth); break;
      case ctW:
      case ctV:
        c.IsWrap = true;
        c.WordWrap = kind == ctW;
        c.Args[3] = c.Args[3].toUpper();
        c.SavedText = c.Args[5];
        c.Handler = &HWrap;
        c.Constant = false;
        if (fold && literalWidth && c.Width >= 0) {
          c.Remaining = c.SavedText;
          WrapNextLine(t_, c, t_.CommandWidth(c), c.ResultText);
          c.SavedText = c.Remaining;
        }
        break;
      case ctWVAnd: {
        c.WrapIndex = -1;
        for (int i = index - 1; i >= 0; --i) {
          const TFormatCommand& w = t_.items_[i];
          if (w.IsWrap && w.Args[2] == c.Args[2]) {
            c.WrapIndex = i;
            break;
          }
        }
        if (c.WrapIndex < 0) RaiseRepsError(t_.Out.Run, recNoStartForAnd, {}, false);
        c.Handler = &HWrapAnd;
        c.Constant = false;
        break;
      }
      case ctFormula:
        if (mask != 0) RaiseRepsError(t_.Out.Run, recNoConstrInFormula, {}, false);
        c.Preparable = true;
        c.Formula = orvReps_CellWriters::CompileFormula(t_.Out, c.Args[1]);
        t_.items_[index].Handler = &HFormula;
        t_.items_[index].Constant = false;
        break;
      case ctVar:
        c.Handler = &HVar;
        c.Constant = false;
        break;
      case ctStar:
        c.Preparable = true;
        if (!nested(1)) {
          QString alias, name, qualifier, level, key, value;
          SplitStarRef(c.Args[1], alias, name, qualifier, level, key, value);
          c.Args[1] = alias, c.Args[2] = name, c.Args[3] = level, c.Args[4] = qualifier;
          c.Args[5] = key, c.Args[6] = value;
        }
        c.Handler = &HStar;
        c.Constant = false;
        break;
      case ctCap:
        c.Preparable = true;
        if (!nested(1)) {
          QString alias, name;
          orvReps_Values::SplitAliasName(Trimmed(c.Args[1]), alias, name);
          c.Args[1] = alias.toUpper(), c.Args[2] = name.toUpper();
        }
        c.Handler = &HCap;
        c.Constant = false;
        break;
      case ctFont: BuildFont(c, mask); break;
      case ctPar:
        t_.HasRuns = true;
        if (t_.RichFragment) t_.Markup = true;
        SetHandler(c, &HPar, fold);
        break;
      case ctFrame: BuildFrame(index, mask); break;
      default: SetHandler(c, &HLiteral, true); break;
    }
  }

  void BuildFont(TFormatCommand& c, int mask) {
    t_.HasRuns = true;
    if (t_.RichFragment) t_.Markup = true;
    TRepsOutput& out = t_.Out;
    const TRepType type = out.RepType;
    const bool specNested = mask & 2, textNested = mask & 1;
    if (!textNested) {
      if (MarkupKind(type)) {
        bool allowed = false, entities = false;
        QString tag;
        orvReps_CellWriters::GetLineBreakTag(out, true, allowed, tag, entities);
        orvReps_CellWriters::HtmlEscape(c.Args[2], tag, entities);
      }
    }
    if (type == rtRTF && specNested && t_.RichFragment) t_.RtfRunWrap = true;
    if (!specNested && (MarkupKind(type) || type == rtRTF)) {
      qint32 newColor = clNoColor;
      QString newFont;
      if (type == rtRTF && t_.RichFragment) {
        orvReps_CellWriters::FontRunParts(out, out.Canvas.get(), c.Args[1], c.Open, c.Close, false,
                                          &t_.Colors, &t_.FontNames, newColor, newFont);
        TCellProp p;
        QString style;
        orvReps_CellWriters::ParseFontRunSpec(out, out.Canvas.get(), p, c.Args[1], false, nullptr,
                                              nullptr, type, style);
        t_.Colors.FindOrAdd(p.Color);
        if (!p.FontName.isEmpty()) t_.AddRtfFont(p.FontName);
      } else {
        orvReps_CellWriters::FontRunParts(out, out.Canvas.get(), c.Args[1], c.Open, c.Close, true,
                                          nullptr, nullptr, newColor, newFont);
      }
      if (type == rtRTF && !textNested) orvReps_CellWriters::RtfEscape(c.Args[2]);
    }
    SetHandler(c, &HFont, mask == 0);
  }

  void BuildFrame(int index, int mask) {
    TFormatCommand& c = t_.items_[index];
    t_.Markup = false;
    t_.RichFragment = true;
    TRepsOutput& out = t_.Out;
    if (mask == 0) {
      orvReps_CellWriters::WriteFrameText(out, out.Canvas.get(), c.ResultText, out.RepType,
                                          c.Args[1], c.Args[2], nullptr, -1, out.Styles);
      c.Handler = &HLiteral;
      c.Constant = true;
      return;
    }
    if (!(mask & 2)) {
      const QString def = c.Args[1];
      QString unused;
      orvReps_CellWriters::WriteFrameText(out, out.Canvas.get(), unused, out.RepType, def,
                                          QString(), &t_, index, out.Styles);
    }
    t_.items_[index].Handler = &HFrame;
    t_.items_[index].Constant = false;
  }

  TFormatCommands& t_;
  const QString& text_;
  const QChar escape_;
  std::vector<TInterpretCom> items_;
  TScanState state_ = ssStart, newState_ = ssStart;
  int cursor_ = 0;
};

// ---- TFormatCommands ------------------------------------------------------------------------

TFormatCommands::TFormatCommands(TRepsOutput& out, bool markup, bool richFragment, bool utf8Case)
    : Out(out), Markup(markup), RichFragment(richFragment), Utf8Case(utf8Case) {
  bool entities = false;
  orvReps_CellWriters::GetLineBreakTag(out, markup, EscapeLiterals, LineBreakTag, entities);
  NbspBlanks = EscapeLiterals && entities;
  orvReps_FormatString::RegisterFormat(this);
}

TFormatCommands::~TFormatCommands() { orvReps_FormatString::UnregisterFormat(this); }

qint32 TFormatCommands::CommandWidth(const TFormatCommand& c) const {
  const qint32 w = ResolveWidth(c.WidthSource >= 0 ? items_[c.WidthSource].IntResult : c.Width);
  if (w > kMaxWidth) [[unlikely]]
    RaiseRepsError(Out.Run, recGeneralError,
                   {QStringLiteral("Text too long: over %1 characters").arg(kMaxWidth)}, false);
  return w;
}

void TFormatCommands::RunAll(bool skipPreparable, bool onlyPreparable) {
  for (TFormatCommand& c : items_) {
    if (c.Constant) continue;
    if (skipPreparable && c.Preparable) continue;
    if (onlyPreparable && !c.Preparable) continue;
    c.Handler(*this, c);
  }
}

void TFormatCommands::Execute(QString& result, qint32 pageWidth, qint32 tableWidth, qint32 colWidth,
                              bool rowContext, TCol* column, qint32 level) {
  PageWidth = pageWidth, TableWidth = tableWidth, ColWidth = colWidth;
  RowContext = rowContext, Column = column, Level = level;
  RunAll(Prepared, false);
  result = items_.empty() ? QString() : items_.back().ResultText;
}

void TFormatCommands::Prepare(bool rowContext, TCol* column, qint32 level) {
  RowContext = rowContext, Column = column, Level = level;
  RunAll(false, true);
  Prepared = true;
}

void TFormatCommands::ExecuteUnprepared(QString& result, qint32 pageWidth, qint32 tableWidth,
                                        qint32 colWidth) {
  PageWidth = pageWidth, TableWidth = tableWidth, ColWidth = colWidth;
  RunAll(true, false);
  result = items_.empty() ? QString() : items_.back().ResultText;
}

void TFormatCommands::AddText(const QString& text, bool before) {
  if (items_.empty()) return;
  TFormatCommand& last = items_.back();
  if (last.Constant) {
    last.ResultText = before ? text + last.ResultText : last.ResultText + text;
    return;
  }
  const int source = Count() - 1;
  TFormatCommand& c = Append();
  c.Op = TFormatCommand::opAddText;
  c.Args[1] = text;
  c.Before = before;
  c.ArgSources[2] = source;
  c.Handler = &HAddText;
  HAddText(*this, c);
}

void TFormatCommands::RtfHeader(QString& text) const {
  if (Colors.Count() > 0) {
    QString table;
    Colors.WriteRtfColorTable(table);
    text += table;
  }
  text += QLatin1String("{\\fonttbl");
  for (int i = 0; i < FontNames.size(); ++i)
    text += QLatin1String("\\f") + QString::number(i) + QLatin1Char(' ') + FontNames[i] +
            QLatin1Char(';');
  text += QLatin1Char('}');
}

void TFormatCommands::EscapeText(QString& text) const {
  if (Out.RepType == rtRTF)
    orvReps_CellWriters::RtfEscape(text);
  else if (Out.RepType == rtFlatODS)
    orvReps_CellWriters::OdsEscape(text, LineBreakTag);
  else
    orvReps_CellWriters::HtmlEscape(text, LineBreakTag, NbspBlanks);
}

void TFormatCommands::BindReferences() {
  if (Bound) return;
  Bound = true;
  if (!Out.IsMarkupType()) Markup = false;
  for (TFormatCommand& c : items_) {
    if (c.Kind == ctVar && c.ArgSources[1] < 0 && Out.Run.Pars)
      c.BoundDef = Out.Run.Pars->Defs.FindDef(c.Args[1]);
    else if ((c.Kind == ctStar || c.Kind == ctCap) && c.ArgSources[1] < 0 && Out.DataAccess)
      Out.DataAccess->BindReference(*this, c);
  }
}

void TFormatCommands::Assign(const TFormatCommands& source) {
  // References are list positions: the copy computes from its own commands.
  items_ = source.items_;
}

void TFormatCommands::RewriteLiterals(int upTo, const std::function<void(QString&)>& f) {
  const int end = upTo < 0 ? Count() : std::min(upTo, Count());
  for (int i = 0; i < end; ++i) {
    TFormatCommand& c = items_[i];
    switch (c.Op) {
      case TFormatCommand::opLiteral: f(c.ResultText); break;
      case TFormatCommand::opConcat:
        for (TFormatCommand::TPart& p : c.Parts)
          if (p.Source < 0) f(p.Literal);
        HConcat(*this, c);
        break;
      default: break;
    }
  }
}

// ---- Registry -------------------------------------------------------------------------------

TFormatStringReestrs::~TFormatStringReestrs() {
  for (TFormatCommands* f : items_) f->registry_ = nullptr;
}

void TFormatStringReestrs::Add(TFormatCommands* format) {
  items_.push_back(format);
  format->registry_ = this;
}

void TFormatStringReestrs::Remove(TFormatCommands* format) {
  auto it = std::find(items_.begin(), items_.end(), format);
  if (it == items_.end()) return;
  items_.erase(it);
  format->registry_ = nullptr;
}

void TFormatStringReestrs::BindAll() {
  for (size_t i = 0; i < items_.size(); ++i) items_[i]->BindReferences();
}

namespace orvReps_FormatString {

std::unique_ptr<TFormatCommands> CompileFormatString(const QString& text, TRepsOutput& out,
                                                     bool markup, bool richFragment,
                                                     bool caretEscape, bool wrapRtf,
                                                     bool utf8Case) {
  if (text.isEmpty()) return nullptr;
  auto f = std::make_unique<TFormatCommands>(out, markup, richFragment, utf8Case);
  TInterpretComs(*f, text, caretEscape ? QLatin1Char('^') : QLatin1Char('\\')).Run();
  f->Prepared = false;
  if (wrapRtf && f->RichFragment && f->HasRuns) {
    if (f->RtfRunWrap) {
      const int last = f->Count() - 1;
      TFormatCommand& c = f->Append();
      c.Op = TFormatCommand::opRtfWrap;
      c.ArgSources[1] = last;
      c.Handler = &HRtfWrap;
    } else {
      QString header;
      f->RtfHeader(header);
      f->AddText(QLatin1String("{\\rtf ") + header, true);
      f->AddText(QStringLiteral("}"), false);
    }
  }
  return f;
}

void FormatText(QString& result, const QString& text, TRepsOutput& out, bool rowContext,
                int pageIndex, qint32 colWidth, qint32 level, bool markup, bool richFragment) {
  result.clear();
  auto f = CompileFormatString(text, out, markup, richFragment, false, true, false);
  if (!f) return;
  f->BindReferences();
  const qint32 table = pageIndex >= 0 && pageIndex < static_cast<int>(out.PageTableWidths.size())
                           ? out.PageTableWidths[pageIndex]
                           : 10;
  f->Execute(result, out.PageWidth, table, colWidth, rowContext, nullptr, level);
}

void AddFormatText(std::unique_ptr<TFormatCommands>& format, const QString& text, TRepsOutput& out,
                   bool before) {
  if (format)
    format->AddText(text, before);
  else
    format = CompileFormatString(text, out, false, false, false, true, false);
}

void RegisterFormat(TFormatCommands* format) { format->Out.NeedFormatRegistry().Add(format); }

void UnregisterFormat(TFormatCommands* format) {
  if (format && format->Registry()) format->Registry()->Remove(format);
}

}  // namespace orvReps_FormatString
