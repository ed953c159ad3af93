#include "editmask.h"

namespace {
const QChar kDateSeparator = QLatin1Char('.');
const QChar kTimeSeparator = QLatin1Char(':');
}  // namespace

// The sections are split at the last two unescaped ';' so that a mask may hold "\;".
TEditMask::TEditMask(const QString& mask) {
  std::vector<int> cuts;
  for (int i = 0; i < mask.size(); ++i) {
    if (mask[i] == QLatin1Char('\\')) {
      ++i;
      continue;
    }
    if (mask[i] == QLatin1Char(';')) cuts.push_back(i);
  }
  QString body = mask;
  if (cuts.size() >= 2) {
    const int a = cuts[cuts.size() - 2], b = cuts.back();
    body = mask.left(a);
    saveLiterals_ = mask.mid(a + 1, b - a - 1).trimmed() != QLatin1String("0");
    if (b + 1 < mask.size()) blank_ = mask[b + 1];
  } else if (cuts.size() == 1) {
    body = mask.left(cuts[0]);
    saveLiterals_ = mask.mid(cuts[0] + 1).trimmed() != QLatin1String("0");
  }
  Case current = Case::None;
  for (int i = 0; i < body.size(); ++i) {
    const QChar c = body[i];
    Slot s;
    s.letterCase = current;
    switch (c.unicode()) {
      case '!': leadingBlanks_ = true; continue;
      case '>': current = Case::Upper; continue;
      case '<':
        if (i + 1 < body.size() && body[i + 1] == QLatin1Char('>')) {
          current = Case::None;
          ++i;
        } else {
          current = Case::Lower;
        }
        continue;
      case '\\':
        if (i + 1 < body.size())
          s.ch = body[++i];
        else
          continue;
        break;
      case 'L':
      case 'l':
      case 'A':
      case 'a':
      case 'C':
      case 'c':
      case '0':
      case '9':
      case '#':
        s.kind = Kind::Input;
        s.ch = c;
        break;
      case ':': s.ch = kTimeSeparator; break;
      case '/': s.ch = kDateSeparator; break;
      case '_': s.ch = QLatin1Char(' '); break;
      default: s.ch = c; break;
    }
    slots_.push_back(s);
  }
}

bool TEditMask::IsLiteral(int pos) const {
  return pos >= 0 && pos < Length() && slots_[pos].kind == Kind::Literal;
}

QChar TEditMask::Accept(int pos, QChar c) const {
  if (pos < 0 || pos >= Length() || slots_[pos].kind != Kind::Input) return QChar();
  const Slot& s = slots_[pos];
  bool ok = false;
  switch (s.ch.unicode()) {
    case 'L':
    case 'l': ok = c.isLetter(); break;
    case 'A':
    case 'a': ok = c.isLetterOrNumber(); break;
    case 'C':
    case 'c': ok = c.unicode() >= 32; break;
    case '0':
    case '9': ok = c.isDigit(); break;
    case '#': ok = c.isDigit() || c == QLatin1Char('+') || c == QLatin1Char('-'); break;
  }
  if (!ok) return QChar();
  if (s.letterCase == Case::Upper) return c.toUpper();
  if (s.letterCase == Case::Lower) return c.toLower();
  return c;
}

int TEditMask::NextInput(int pos, bool backward) const {
  for (int i = pos; i >= 0 && i < Length(); i += backward ? -1 : 1)
    if (slots_[i].kind == Kind::Input) return i;
  return -1;
}

QString TEditMask::EmptyEditText() const {
  QString t;
  t.reserve(Length());
  for (const Slot& s : slots_) t += s.kind == Kind::Literal ? s.ch : blank_;
  return t;
}

QString TEditMask::EditTextFromText(const QString& text) const {
  QString edit = EmptyEditText();
  auto put = [&](int pos, QChar c) {
    if (c == QLatin1Char(' ')) return;
    const QChar ok = Accept(pos, c);
    if (!ok.isNull()) edit[pos] = ok;
  };
  if (saveLiterals_) {
    const int offset = leadingBlanks_ ? std::max(0, Length() - int(text.size())) : 0;
    for (int i = 0; i < text.size() && i + offset < Length(); ++i) put(i + offset, text[i]);
    return edit;
  }
  std::vector<int> inputs;
  for (int i = 0; i < Length(); ++i)
    if (slots_[i].kind == Kind::Input) inputs.push_back(i);
  const int n = std::min<int>(int(text.size()), int(inputs.size()));
  const int offset = leadingBlanks_ ? int(inputs.size()) - n : 0;
  for (int i = 0; i < n; ++i) put(inputs[i + offset], text[i]);
  return edit;
}

bool TEditMask::HasInput(const QString& editText) const {
  for (int i = 0; i < Length() && i < editText.size(); ++i)
    if (slots_[i].kind == Kind::Input && editText[i] != blank_ && editText[i] != QLatin1Char(' '))
      return true;
  return false;
}

QString TEditMask::TextFromEditText(const QString& editText) const {
  if (!HasInput(editText)) return QString();
  QString t;
  for (int i = 0; i < Length(); ++i) {
    const Slot& s = slots_[i];
    const QChar c = i < editText.size() ? editText[i] : blank_;
    if (s.kind == Kind::Literal) {
      if (saveLiterals_) t += s.ch;
    } else {
      t += c == blank_ ? QLatin1Char(' ') : c;
    }
  }
  return t.trimmed();
}

int TEditMask::FirstMissing(const QString& editText) const {
  if (!HasInput(editText)) return -1;
  for (int i = 0; i < Length(); ++i) {
    const Slot& s = slots_[i];
    if (s.kind != Kind::Input || !Required(s.ch)) continue;
    const QChar c = i < editText.size() ? editText[i] : blank_;
    if (c == blank_ || c == QLatin1Char(' ')) return i;
  }
  return -1;
}
