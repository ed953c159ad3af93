#include "comptext.h"

#include "platform/rtl/exceptions.h"

#include <cmath>

namespace {

struct Token {
  enum Type { End, Ident, Int, Float, String, Symbol, Binary };
  Type type = End;
  QString text;  // identifier, string value, symbol
  qint64 i = 0;
  double f = 0;
  QChar suffix;
  QByteArray binary;
  int line = 1;
};

// Objects, lists and collections nest; deeper text is refused long before the parser's
// recursion (and the recursive destructor of the parsed tree) could exhaust the stack.
constexpr int kMaxNesting = 1000;

class Parser {
 public:
  explicit Parser(const QString& text) : s_(text) { Next(); }

  TTextObject ParseObject() {
    const Nested nested(*this);
    TTextObject obj;
    obj.Line = tok_.line;
    if (IsWord("object")) {
      obj.kind = TTextObject::Object;
    } else if (IsWord("inherited")) {
      obj.kind = TTextObject::Inherited;
    } else if (IsWord("inline")) {
      obj.kind = TTextObject::Inline;
    } else {
      Error(QStringLiteral("\"object\" expected"));
    }
    Next();
    QString first = ExpectIdent(QStringLiteral("Name or class name"));
    if (IsSymbol(':')) {
      Next();
      obj.Name = first;
      obj.ClassName = ExpectIdent(QStringLiteral("Class name"));
    } else {
      obj.ClassName = first;
    }
    if (IsSymbol('[')) {  // an index of the streamed order: read and ignored
      Next();
      ExpectInt();
      ExpectSymbol(']');
    }
    while (!IsWord("end")) {
      if (tok_.type == Token::End) Error(QStringLiteral("\"end\" expected"));
      if ((IsWord("object") || IsWord("inherited") || IsWord("inline")) && !PeekIsEquals()) {
        obj.Children.push_back(ParseObject());
      } else {
        obj.Props.push_back(ParseProperty());
      }
    }
    Next();
    return obj;
  }

  void ExpectEnd() {
    if (tok_.type != Token::End) Error(QStringLiteral("Unexpected text after \"end\""));
  }

 private:
  struct Nested {
    explicit Nested(Parser& p) : parser(p) {
      if (++parser.depth_ > kMaxNesting)
        parser.Error(QStringLiteral("Nesting deeper than %1 levels").arg(kMaxNesting));
    }
    ~Nested() { --parser.depth_; }
    Parser& parser;
  };

  TTextProperty ParseProperty() {
    TTextProperty p;
    p.Line = tok_.line;
    p.Name = ExpectIdent(QStringLiteral("Property name"));
    while (IsSymbol('.')) {
      Next();
      p.Name += QLatin1Char('.') + ExpectIdent(QStringLiteral("Property name"));
    }
    ExpectSymbol('=');
    p.Value = ParseValue();
    return p;
  }

  TTextValue ParseValue() {
    const Nested nested(*this);
    TTextValue v;
    v.Line = tok_.line;
    switch (tok_.type) {
      case Token::Int:
        v.kind = TTextValue::vaInt;
        v.Int = tok_.i;
        Next();
        return v;
      case Token::Float:
        v.kind = TTextValue::vaFloat;
        v.Float = tok_.f;
        v.FloatSuffix = tok_.suffix;
        Next();
        return v;
      case Token::String: {
        v.kind = TTextValue::vaString;
        v.Str = tok_.text;
        Next();
        while (IsSymbol('+')) {
          Next();
          if (tok_.type != Token::String) Error(QStringLiteral("String expected after \"+\""));
          v.Str += tok_.text;
          Next();
        }
        return v;
      }
      case Token::Ident: {
        v.kind = TTextValue::vaIdent;
        v.Str = tok_.text;
        Next();
        while (IsSymbol('.')) {
          Next();
          v.Str += QLatin1Char('.') + ExpectIdent(QStringLiteral("Identifier"));
        }
        return v;
      }
      case Token::Binary:
        v.kind = TTextValue::vaBinary;
        v.Binary = tok_.binary;
        Next();
        return v;
      case Token::Symbol: break;
      case Token::End: Error(QStringLiteral("Value expected"));
    }
    if (IsSymbol('-') || IsSymbol('+')) {
      const bool negative = IsSymbol('-');
      Next();
      if (tok_.type == Token::Int) {
        v.kind = TTextValue::vaInt;
        v.Int = negative ? -tok_.i : tok_.i;
      } else if (tok_.type == Token::Float) {
        v.kind = TTextValue::vaFloat;
        v.Float = negative ? -tok_.f : tok_.f;
        v.FloatSuffix = tok_.suffix;
      } else {
        Error(QStringLiteral("Number expected"));
      }
      Next();
      return v;
    }
    if (IsSymbol('[')) {
      v.kind = TTextValue::vaSet;
      Next();
      while (!IsSymbol(']')) {
        v.Set << ExpectIdent(QStringLiteral("Set element"));
        if (IsSymbol(',')) {
          Next();
        } else if (!IsSymbol(']')) {
          Error(QStringLiteral("\",\" or \"]\" expected"));
        }
      }
      Next();
      return v;
    }
    if (IsSymbol('(')) {
      v.kind = TTextValue::vaList;
      Next();
      while (!IsSymbol(')')) {
        if (tok_.type == Token::End) Error(QStringLiteral("\")\" expected"));
        v.List.push_back(ParseValue());
      }
      Next();
      return v;
    }
    if (IsSymbol('<')) {
      v.kind = TTextValue::vaCollection;
      Next();
      while (!IsSymbol('>')) {
        if (!IsWord("item")) Error(QStringLiteral("\"item\" expected"));
        TTextValue::Item item;
        item.Line = tok_.line;
        Next();
        if (IsSymbol('[')) {
          Next();
          item.Index = int(ExpectInt());
          ExpectSymbol(']');
        }
        while (!IsWord("end")) {
          if (tok_.type == Token::End) Error(QStringLiteral("\"end\" expected"));
          item.Props.push_back(ParseProperty());
        }
        Next();
        v.Items.push_back(std::move(item));
      }
      Next();
      return v;
    }
    Error(QStringLiteral("Invalid value \"%1\"").arg(tok_.text));
  }

  // ---- tokens ----
  bool IsWord(const char* word) const {
    return tok_.type == Token::Ident &&
           tok_.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
  }
  bool IsSymbol(char c) const { return tok_.type == Token::Symbol && tok_.text == QLatin1Char(c); }
  bool PeekIsEquals() {
    const int save = pos_, saveLine = line_;
    const Token saveTok = tok_;
    Next();
    const bool eq = IsSymbol('=');
    pos_ = save;
    line_ = saveLine;
    tok_ = saveTok;
    return eq;
  }
  QString ExpectIdent(const QString& what) {
    if (tok_.type != Token::Ident) Error(what + QStringLiteral(" expected"));
    QString t = tok_.text;
    Next();
    return t;
  }
  qint64 ExpectInt() {
    if (tok_.type != Token::Int) Error(QStringLiteral("Integer expected"));
    const qint64 v = tok_.i;
    Next();
    return v;
  }
  void ExpectSymbol(char c) {
    if (!IsSymbol(c)) Error(QStringLiteral("\"%1\" expected").arg(QLatin1Char(c)));
    Next();
  }
  [[noreturn]] void Error(const QString& message) const { ErrorAt(message, tok_.line); }
  [[noreturn]] static void ErrorAt(const QString& message, int line) {
    throw EParserError(QStringLiteral("%1 at line %2").arg(message).arg(line));
  }

  QChar Peek(int ahead = 0) const {
    return pos_ + ahead < s_.size() ? s_.at(pos_ + ahead) : QChar();
  }

  void SkipBlanks() {
    while (pos_ < s_.size()) {
      const QChar c = s_.at(pos_);
      if (c == QLatin1Char('\n')) {
        ++line_;
        ++pos_;
      } else if (c.isSpace() || c.unicode() < 32) {
        ++pos_;
      } else {
        break;
      }
    }
  }

  static bool IsIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
  static bool IsIdentPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

  void Next() {
    SkipBlanks();
    tok_ = Token();
    tok_.line = line_;
    if (pos_ >= s_.size()) return;
    const QChar c = s_.at(pos_);
    if (IsIdentStart(c)) {
      const int start = pos_;
      while (pos_ < s_.size() && IsIdentPart(s_.at(pos_))) ++pos_;
      tok_.type = Token::Ident;
      tok_.text = s_.mid(start, pos_ - start);
      return;
    }
    if (c == QLatin1Char('\'') || c == QLatin1Char('#')) return ReadString();
    if (c.isDigit() || c == QLatin1Char('$')) return ReadNumber();
    if (c == QLatin1Char('{')) return ReadBinary();
    tok_.type = Token::Symbol;
    tok_.text = c;
    ++pos_;
  }

  void ReadString() {
    tok_.type = Token::String;
    QString value;
    for (;;) {
      if (Peek() == QLatin1Char('\'')) {
        ++pos_;
        for (;;) {
          if (pos_ >= s_.size() || s_.at(pos_) == QLatin1Char('\n')) {
            ErrorAt(QStringLiteral("Unterminated string"), tok_.line);
          }
          const QChar ch = s_.at(pos_++);
          if (ch == QLatin1Char('\'')) {
            if (Peek() == QLatin1Char('\'')) {
              value += QLatin1Char('\'');
              ++pos_;
            } else {
              break;
            }
          } else {
            value += ch;
          }
        }
      } else if (Peek() == QLatin1Char('#')) {
        ++pos_;
        const int start = pos_;
        bool hex = Peek() == QLatin1Char('$');
        if (hex) ++pos_;
        const int digitsStart = pos_;
        while (pos_ < s_.size() && (hex ? isxdigit(s_.at(pos_).toLatin1()) : s_.at(pos_).isDigit()))
          ++pos_;
        bool ok = false;
        const uint code = s_.mid(digitsStart, pos_ - digitsStart).toUInt(&ok, hex ? 16 : 10);
        if (!ok || code > 0xFFFF) {
          ErrorAt(QStringLiteral("Invalid character code \"#%1\"").arg(s_.mid(start, pos_ - start)),
                  tok_.line);
        }
        value += QChar(char16_t(code));
      } else {
        break;
      }
    }
    tok_.text = value;
  }

  void ReadNumber() {
    const int start = pos_;
    if (Peek() == QLatin1Char('$')) {
      ++pos_;
      while (pos_ < s_.size() && isxdigit(s_.at(pos_).toLatin1())) ++pos_;
      bool ok = false;
      tok_.i = qint64(s_.mid(start + 1, pos_ - start - 1).toULongLong(&ok, 16));
      if (!ok)
        ErrorAt(QStringLiteral("Invalid number \"%1\"").arg(s_.mid(start, pos_ - start)),
                tok_.line);
      tok_.type = Token::Int;
      return;
    }
    bool isFloat = false;
    while (pos_ < s_.size() && s_.at(pos_).isDigit()) ++pos_;
    if (Peek() == QLatin1Char('.') && Peek(1).isDigit()) {
      isFloat = true;
      ++pos_;
      while (pos_ < s_.size() && s_.at(pos_).isDigit()) ++pos_;
    }
    if ((Peek() == QLatin1Char('e') || Peek() == QLatin1Char('E')) &&
        (Peek(1).isDigit() ||
         ((Peek(1) == QLatin1Char('-') || Peek(1) == QLatin1Char('+')) && Peek(2).isDigit()))) {
      isFloat = true;
      pos_ += 2;
      while (pos_ < s_.size() && s_.at(pos_).isDigit()) ++pos_;
    }
    const QString digits = s_.mid(start, pos_ - start);
    const QChar suffix = Peek().toLower();
    if (suffix == QLatin1Char('s') || suffix == QLatin1Char('c') || suffix == QLatin1Char('d')) {
      if (!IsIdentPart(Peek(1))) {
        isFloat = true;
        tok_.suffix = suffix;
        ++pos_;
      }
    }
    bool ok = false;
    if (isFloat) {
      tok_.type = Token::Float;
      tok_.f = digits.toDouble(&ok);
    } else {
      tok_.type = Token::Int;
      tok_.i = digits.toLongLong(&ok);
    }
    if (!ok) ErrorAt(QStringLiteral("Invalid number \"%1\"").arg(digits), tok_.line);
  }

  void ReadBinary() {
    ++pos_;
    QByteArray hex;
    for (;;) {
      if (pos_ >= s_.size()) ErrorAt(QStringLiteral("\"}\" expected"), tok_.line);
      const QChar c = s_.at(pos_++);
      if (c == QLatin1Char('}')) break;
      if (c == QLatin1Char('\n')) {
        ++line_;
      } else if (isxdigit(c.toLatin1()) && c.unicode() < 128) {
        hex += char(c.toLatin1());
      } else if (!c.isSpace()) {
        ErrorAt(QStringLiteral("Invalid binary data"), line_);
      }
    }
    if (hex.size() % 2 != 0) ErrorAt(QStringLiteral("Invalid binary data"), line_);
    tok_.type = Token::Binary;
    tok_.binary = QByteArray::fromHex(hex);
  }

  const QString& s_;
  int pos_ = 0;
  int line_ = 1;
  int depth_ = 0;
  Token tok_;
};

void AppendValue(QString& out, const TTextValue& v, const QString& indent);

void AppendProps(QString& out, const std::vector<TTextProperty>& props, const QString& indent) {
  for (const TTextProperty& p : props) {
    out += indent + p.Name + QStringLiteral(" = ");
    AppendValue(out, p.Value, indent);
    out += QStringLiteral("\r\n");
  }
}

QString FloatText(double f) {
  QString t = QString::number(f, 'g', 17);
  // The shortest text that reads back as the same number.
  for (int digits = 1; digits < 17; ++digits) {
    const QString candidate = QString::number(f, 'g', digits);
    if (candidate.toDouble() == f) {
      t = candidate;
      break;
    }
  }
  if (!t.contains(QLatin1Char('.')) && !t.contains(QLatin1Char('e')) && std::isfinite(f)) {
    t += QStringLiteral(".0");
  }
  return t;
}

void AppendValue(QString& out, const TTextValue& v, const QString& indent) {
  switch (v.kind) {
    case TTextValue::vaInt: out += QString::number(v.Int); break;
    case TTextValue::vaFloat:
      out += FloatText(v.Float);
      if (!v.FloatSuffix.isNull()) out += v.FloatSuffix;
      break;
    case TTextValue::vaString: out += QuoteComponentString(v.Str); break;
    case TTextValue::vaIdent: out += v.Str; break;
    case TTextValue::vaSet:
      out += QLatin1Char('[') + v.Set.join(QStringLiteral(", ")) + QLatin1Char(']');
      break;
    case TTextValue::vaList:
      out += QLatin1Char('(');
      for (const TTextValue& item : v.List) {
        out += QStringLiteral("\r\n") + indent + QStringLiteral("  ");
        AppendValue(out, item, indent + QStringLiteral("  "));
      }
      out += QLatin1Char(')');
      break;
    case TTextValue::vaCollection:
      out += QLatin1Char('<');
      for (const TTextValue::Item& item : v.Items) {
        out += QStringLiteral("\r\n") + indent + QStringLiteral("  item\r\n");
        AppendProps(out, item.Props, indent + QStringLiteral("    "));
        out += indent + QStringLiteral("  end");
      }
      out += QLatin1Char('>');
      break;
    case TTextValue::vaBinary: {
      out += QLatin1Char('{');
      const QByteArray hex = v.Binary.toHex().toUpper();
      for (int i = 0; i < hex.size(); i += 64) {
        out += QStringLiteral("\r\n") + indent + QStringLiteral("  ") +
               QString::fromLatin1(hex.mid(i, 64));
      }
      out += QLatin1Char('}');
      break;
    }
  }
}

void AppendObject(QString& out, const TTextObject& o, const QString& indent) {
  static const char* kKeywords[] = {"object", "inherited", "inline"};
  out += indent + QLatin1String(kKeywords[o.kind]) + QLatin1Char(' ');
  if (!o.Name.isEmpty()) out += o.Name + QStringLiteral(": ");
  out += o.ClassName + QStringLiteral("\r\n");
  AppendProps(out, o.Props, indent + QStringLiteral("  "));
  for (const TTextObject& child : o.Children)
    AppendObject(out, child, indent + QStringLiteral("  "));
  out += indent + QStringLiteral("end\r\n");
}

}  // namespace

TTextValue TTextValue::MakeInt(qint64 v) {
  TTextValue t;
  t.kind = vaInt;
  t.Int = v;
  return t;
}

TTextValue TTextValue::MakeFloat(double v) {
  TTextValue t;
  t.kind = vaFloat;
  t.Float = v;
  return t;
}

TTextValue TTextValue::MakeString(QString v) {
  TTextValue t;
  t.kind = vaString;
  t.Str = std::move(v);
  return t;
}

TTextValue TTextValue::MakeIdent(QString v) {
  TTextValue t;
  t.kind = vaIdent;
  t.Str = std::move(v);
  return t;
}

TTextObject ParseComponentText(const QString& text) {
  Parser parser(text);
  TTextObject obj = parser.ParseObject();
  parser.ExpectEnd();
  return obj;
}

QString FormatComponentText(const TTextObject& object) {
  QString out;
  AppendObject(out, object, QString());
  return out;
}

QString QuoteComponentString(const QString& text) {
  if (text.isEmpty()) return QStringLiteral("''");
  QString out;
  bool inQuote = false;
  for (QChar ch : text) {
    if (ch.unicode() < 32) {
      if (inQuote) out += QLatin1Char('\'');
      inQuote = false;
      out += QLatin1Char('#') + QString::number(ch.unicode());
    } else {
      if (!inQuote) out += QLatin1Char('\'');
      inQuote = true;
      if (ch == QLatin1Char('\'')) out += QLatin1Char('\'');
      out += ch;
    }
  }
  if (inQuote) out += QLatin1Char('\'');
  return out;
}
