#include "platform/data/filterexpr.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

struct FilterExpr::Node {
  enum Kind { Const, Field, Not, Neg, And, Or, Cmp, Like, IsNull, In, Arith, Call } kind;
  QString op;                // Cmp: = <> < <= > >=; Call: the function's name
  std::vector<QString> ops;  // Arith: ops[i] joins args[i] and args[i + 1] (+ - * / ||)
  int function = -1;         // Call: index in the function table
  bool negated = false;      // NOT LIKE, IS NOT NULL, NOT IN
  Variant value;             // Const
  int field = -1;
  TFieldType fieldType = ftUnknown;
  std::vector<std::unique_ptr<Node>> args;
};

namespace {

using Node = FilterExpr::Node;

struct Token {
  enum Kind { End, Number, String, Name, Op } kind = End;
  QString text;
  int pos = 0;
};

[[noreturn]] void SyntaxError(const QString& text, int pos, const QString& what) {
  if (pos < 0) pos = -1 - pos;  // a quoted name's token
  throw EDatabaseError(QStringLiteral("Filter expression error at position %1: %2 in \"%3\"")
                           .arg(pos + 1)
                           .arg(what, text));
}

// The functions filters may call; a Null argument gives Null, as in SQL.
enum FunctionId {
  fnUpper,
  fnLower,
  fnSubstring,
  fnTrim,
  fnTrimLeft,
  fnTrimRight,
  fnYear,
  fnMonth,
  fnDay,
  fnHour,
  fnMinute,
  fnSecond,
  fnGetDate,
  fnDate,
  fnTime
};
struct FunctionInfo {
  const char* name;
  int minArgs;
  int maxArgs;
};
constexpr FunctionInfo kFunctions[] = {
    {"UPPER", 1, 1},     {"LOWER", 1, 1},  {"SUBSTRING", 2, 3}, {"TRIM", 1, 2}, {"TRIMLEFT", 1, 2},
    {"TRIMRIGHT", 1, 2}, {"YEAR", 1, 1},   {"MONTH", 1, 1},     {"DAY", 1, 1},  {"HOUR", 1, 1},
    {"MINUTE", 1, 1},    {"SECOND", 1, 1}, {"GETDATE", 0, 0},   {"DATE", 1, 1}, {"TIME", 1, 1},
};

int FindFunction(const QString& name) {
  for (int i = 0; i < int(std::size(kFunctions)); ++i)
    if (name.compare(QLatin1String(kFunctions[i].name), Qt::CaseInsensitive) == 0) return i;
  return -1;
}

// Far below what the recursive parser and evaluator can take on a thread's stack.
constexpr int kMaxNesting = 256;

class Parser {
 public:
  Parser(const QString& text, const FilterExpr::Resolver& resolve) : s_(text), resolve_(resolve) {
    Next();
  }

  std::unique_ptr<Node> Parse() {
    auto n = ParseOr();
    if (tok_.kind != Token::End)
      SyntaxError(s_, tok_.pos, QStringLiteral("unexpected \"%1\"").arg(tok_.text));
    return n;
  }

 private:
  bool IsWord(const char* word) const {
    return tok_.kind == Token::Name &&
           tok_.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
  }
  bool IsOp(const char* op) const {
    return tok_.kind == Token::Op && tok_.text == QLatin1String(op);
  }

  void Next() {
    const int n = s_.size();
    while (i_ < n && s_[i_].isSpace()) ++i_;
    tok_ = Token{};
    tok_.pos = i_;
    if (i_ >= n) return;
    const QChar c = s_[i_];
    if (c == u'\'') {
      QString v;
      int j = i_ + 1;
      for (;;) {
        if (j >= n) SyntaxError(s_, i_, QStringLiteral("unterminated string"));
        if (s_[j] == u'\'') {
          if (j + 1 < n && s_[j + 1] == u'\'') {
            v += u'\'';
            j += 2;
            continue;
          }
          break;
        }
        v += s_[j++];
      }
      tok_.kind = Token::String;
      tok_.text = v;
      i_ = j + 1;
      return;
    }
    if (c.isDigit() || (c == u'.' && i_ + 1 < n && s_[i_ + 1].isDigit())) {
      int j = i_;
      while (j < n && (s_[j].isDigit() || s_[j] == u'.')) ++j;
      if (j < n && (s_[j] == u'e' || s_[j] == u'E')) {
        int k = j + 1;
        if (k < n && (s_[k] == u'+' || s_[k] == u'-')) ++k;
        if (k < n && s_[k].isDigit()) {
          j = k;
          while (j < n && s_[j].isDigit()) ++j;
        }
      }
      tok_.kind = Token::Number;
      tok_.text = s_.mid(i_, j - i_);
      i_ = j;
      return;
    }
    if (c == u'"' || c == u'[') {
      const QChar close = c == u'"' ? u'"' : u']';
      const int end = s_.indexOf(close, i_ + 1);
      if (end < 0) SyntaxError(s_, i_, QStringLiteral("unterminated name"));
      tok_.kind = Token::Name;
      tok_.text = s_.mid(i_ + 1, end - i_ - 1);
      tok_.pos = -1 - i_;  // a quoted name is never a keyword
      i_ = end + 1;
      return;
    }
    if (c.isLetter() || c == u'_') {
      int j = i_;
      while (j < n && (s_[j].isLetterOrNumber() || s_[j] == u'_' || s_[j] == u'.')) ++j;
      tok_.kind = Token::Name;
      tok_.text = s_.mid(i_, j - i_);
      i_ = j;
      return;
    }
    static const char* const ops[] = {"<>", "<=", ">=", "!=", "||", "=", "<", ">",
                                      "(",  ")",  ",",  "+",  "-",  "*", "/"};
    for (const char* op : ops) {
      if (QStringView(s_).mid(i_).startsWith(QLatin1String(op))) {
        tok_.kind = Token::Op;
        tok_.text = QLatin1String(op);
        i_ += int(qstrlen(op));
        return;
      }
    }
    SyntaxError(s_, i_, QStringLiteral("unexpected character \"%1\"").arg(c));
  }

  static std::unique_ptr<Node> Make(Node::Kind kind) {
    auto n = std::make_unique<Node>();
    n->kind = kind;
    return n;
  }

  // A chain "a OR b OR c" is one node with all its terms: a filter built from a large
  // multi-selection can have tens of thousands, more than a tree of pairs can be walked.
  std::unique_ptr<Node> ParseOr() {
    const Nested nested(*this);
    auto first = ParseAnd();
    if (!IsWord("OR")) return first;
    auto n = Make(Node::Or);
    n->args.push_back(std::move(first));
    while (IsWord("OR")) {
      Next();
      n->args.push_back(ParseAnd());
    }
    return n;
  }

  std::unique_ptr<Node> ParseAnd() {
    auto first = ParseNot();
    if (!IsWord("AND")) return first;
    auto n = Make(Node::And);
    n->args.push_back(std::move(first));
    while (IsWord("AND")) {
      Next();
      n->args.push_back(ParseNot());
    }
    return n;
  }

  std::unique_ptr<Node> ParseNot() {
    if (IsWord("NOT")) {
      const Nested nested(*this);
      Next();
      auto n = Make(Node::Not);
      n->args.push_back(ParseNot());
      return n;
    }
    return ParseCompare();
  }

  std::unique_ptr<Node> ParseCompare() {
    auto left = ParseAdd();
    if (tok_.kind == Token::Op && (IsOp("=") || IsOp("<>") || IsOp("!=") || IsOp("<") ||
                                   IsOp("<=") || IsOp(">") || IsOp(">="))) {
      auto n = Make(Node::Cmp);
      n->op = tok_.text == QLatin1String("!=") ? QStringLiteral("<>") : tok_.text;
      Next();
      n->args.push_back(std::move(left));
      n->args.push_back(ParseAdd());
      return n;
    }
    bool negated = false;
    if (IsWord("NOT")) {
      Next();
      negated = true;
      if (!IsWord("LIKE") && !IsWord("IN"))
        SyntaxError(s_, tok_.pos, QStringLiteral("LIKE or IN expected"));
    }
    if (IsWord("LIKE")) {
      Next();
      auto n = Make(Node::Like);
      n->negated = negated;
      n->args.push_back(std::move(left));
      n->args.push_back(ParseAdd());
      return n;
    }
    if (IsWord("IN")) {
      Next();
      if (!IsOp("(")) SyntaxError(s_, tok_.pos, QStringLiteral("\"(\" expected"));
      auto n = Make(Node::In);
      n->negated = negated;
      n->args.push_back(std::move(left));
      do {
        Next();
        n->args.push_back(ParseAdd());
      } while (IsOp(","));
      if (!IsOp(")")) SyntaxError(s_, tok_.pos, QStringLiteral("\")\" expected"));
      Next();
      return n;
    }
    if (IsWord("IS")) {
      Next();
      auto n = Make(Node::IsNull);
      if (IsWord("NOT")) {
        n->negated = true;
        Next();
      }
      if (!IsWord("NULL")) SyntaxError(s_, tok_.pos, QStringLiteral("NULL expected"));
      Next();
      n->args.push_back(std::move(left));
      return n;
    }
    return left;
  }

  // Left-associative chains as one node, evaluated left to right.
  std::unique_ptr<Node> ParseAdd() {
    auto first = ParseMul();
    if (!IsOp("+") && !IsOp("-") && !IsOp("||")) return first;
    auto n = Make(Node::Arith);
    n->args.push_back(std::move(first));
    while (IsOp("+") || IsOp("-") || IsOp("||")) {
      n->ops.push_back(tok_.text);
      Next();
      n->args.push_back(ParseMul());
    }
    return n;
  }

  std::unique_ptr<Node> ParseMul() {
    auto first = ParseUnary();
    if (!IsOp("*") && !IsOp("/")) return first;
    auto n = Make(Node::Arith);
    n->args.push_back(std::move(first));
    while (IsOp("*") || IsOp("/")) {
      n->ops.push_back(tok_.text);
      Next();
      n->args.push_back(ParseUnary());
    }
    return n;
  }

  std::unique_ptr<Node> ParseUnary() {
    if (IsOp("-")) {
      const Nested nested(*this);
      Next();
      auto n = Make(Node::Neg);
      n->args.push_back(ParseUnary());
      return n;
    }
    return ParsePrimary();
  }

  std::unique_ptr<Node> ParsePrimary() {
    const Token t = tok_;
    switch (t.kind) {
      case Token::Number: {
        Next();
        auto n = Make(Node::Const);
        bool ok = false;
        const qint64 i = t.text.toLongLong(&ok);
        if (ok) {
          n->value = i >= INT_MIN && i <= INT_MAX ? Variant(int(i)) : Variant(i);
        } else {
          const double d = t.text.toDouble(&ok);
          if (!ok) SyntaxError(s_, t.pos, QStringLiteral("bad number \"%1\"").arg(t.text));
          n->value = Variant(d);
        }
        return n;
      }
      case Token::String: {
        Next();
        auto n = Make(Node::Const);
        n->value = Variant(t.text);
        return n;
      }
      case Token::Name: {
        if (t.pos >= 0) {
          if (IsWord("NULL")) {
            Next();
            auto n = Make(Node::Const);
            n->value = Variant::Null();
            return n;
          }
          if (IsWord("TRUE") || IsWord("FALSE")) {
            const bool v = IsWord("TRUE");
            Next();
            auto n = Make(Node::Const);
            n->value = Variant(v);
            return n;
          }
        }
        Next();
        if (t.pos >= 0 && IsOp("(")) return ParseCall(t);
        auto n = Make(Node::Field);
        n->field = resolve_(t.text, n->fieldType);
        if (n->field < 0 && t.pos >= 0 && FindFunction(t.text) == fnGetDate)
          return MakeCall(t, fnGetDate);
        if (n->field < 0)
          SyntaxError(s_, t.pos < 0 ? -1 - t.pos : t.pos,
                      QStringLiteral("field \"%1\" not found").arg(t.text));
        return n;
      }
      case Token::Op:
        if (IsOp("(")) {
          Next();
          auto n = ParseOr();
          if (!IsOp(")")) SyntaxError(s_, tok_.pos, QStringLiteral("\")\" expected"));
          Next();
          return n;
        }
        break;
      case Token::End: SyntaxError(s_, t.pos, QStringLiteral("unexpected end"));
    }
    SyntaxError(s_, t.pos, QStringLiteral("unexpected \"%1\"").arg(t.text));
  }

  std::unique_ptr<Node> MakeCall(const Token& name, int function) {
    auto n = Make(Node::Call);
    n->function = function;
    n->op = name.text.toUpper();
    return n;
  }

  // NAME(arg, ...) with the current token on "("; SUBSTRING also takes (s FROM n [FOR m]).
  std::unique_ptr<Node> ParseCall(const Token& name) {
    const int function = FindFunction(name.text);
    if (function < 0)
      SyntaxError(s_, name.pos, QStringLiteral("unknown function \"%1\"").arg(name.text));
    auto n = MakeCall(name, function);
    Next();
    if (!IsOp(")")) {
      n->args.push_back(ParseOr());
      while (IsOp(",") || (function == fnSubstring &&
                           (IsWord("FROM") || (IsWord("FOR") && n->args.size() == 2)))) {
        Next();
        n->args.push_back(ParseOr());
      }
    }
    if (!IsOp(")")) SyntaxError(s_, tok_.pos, QStringLiteral("\")\" expected"));
    const FunctionInfo& f = kFunctions[function];
    const int count = int(n->args.size());
    if (count < f.minArgs || count > f.maxArgs) {
      const QString expected = f.minArgs == f.maxArgs
                                   ? QString::number(f.minArgs)
                                   : QStringLiteral("%1 to %2").arg(f.minArgs).arg(f.maxArgs);
      SyntaxError(s_, name.pos,
                  QStringLiteral("function %1 takes %2 argument(s), not %3")
                      .arg(n->op, expected)
                      .arg(count));
    }
    Next();
    return n;
  }

  // Parentheses, calls, NOT and unary minus nest; flat AND/OR/arithmetic chains do not.
  struct Nested {
    explicit Nested(Parser& p) : parser(p) {
      if (++parser.depth_ > kMaxNesting)
        SyntaxError(parser.s_, parser.tok_.pos,
                    QStringLiteral("nesting deeper than %1 levels").arg(kMaxNesting));
    }
    ~Nested() { --parser.depth_; }
    Parser& parser;
  };

  QString s_;
  const FilterExpr::Resolver& resolve_;
  int i_ = 0;
  int depth_ = 0;
  Token tok_;
};

bool IsDateType(TFieldType t) {
  return t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp;
}

// A date text as filters write it: yyyy-mm-dd[ hh:mm[:ss]], or the program's own form.
bool TextToDate(const QString& text, double& out) {
  const QString t = text.trimmed();
  int y = 0, m = 0, d = 0, hh = 0, mm = 0, ss = 0;
  QStringView v(t);
  if (v.size() >= 10 && v[4] == u'-' && v[7] == u'-') {
    bool ok1, ok2, ok3;
    y = v.mid(0, 4).toInt(&ok1);
    m = v.mid(5, 2).toInt(&ok2);
    d = v.mid(8, 2).toInt(&ok3);
    if (!(ok1 && ok2 && ok3)) return false;
    if (v.size() >= 16) {
      hh = v.mid(11, 2).toInt();
      mm = v.mid(14, 2).toInt();
      if (v.size() >= 19) ss = v.mid(17, 2).toInt();
    }
  } else {
    return TryStrToDateTime(t, out);  // the program's own date form
  }
  TDateTime date;
  if (!TryEncodeDate(y, m, d, date)) return false;
  out = date + (hh * 3600 + mm * 60 + ss) / 86400.0;
  return true;
}

}  // namespace

bool SqlLike(const QString& text, const QString& pattern, bool ci) {
  // Iterative matcher with backtracking on the last %.
  const Qt::CaseSensitivity cs = ci ? Qt::CaseInsensitive : Qt::CaseSensitive;
  int t = 0, p = 0, star = -1, mark = 0;
  auto same = [&](QChar a, QChar b) {
    return QStringView(&a, 1).compare(QStringView(&b, 1), cs) == 0;
  };
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == u'%') {
      star = p++;
      mark = t;
      continue;
    }
    if (p < pattern.size() && (pattern[p] == u'_' || same(pattern[p], text[t]))) {
      ++p;
      ++t;
      continue;
    }
    if (star >= 0) {
      p = star + 1;
      t = ++mark;
      continue;
    }
    return false;
  }
  while (p < pattern.size() && pattern[p] == u'%') ++p;
  return p == pattern.size();
}

namespace {

struct Evaluator {
  const FilterExpr::ValueOf& valueOf;
  FilterExpr::Options options;

  TFieldType TypeHint(const Node& n) const {
    return n.kind == Node::Field ? n.fieldType : ftUnknown;
  }

  int TextCompare(const QString& a, const QString& b) const {
    const int c = a.compare(b, options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }

  // -1, 0, 1, or 2 when unknown (a Null).
  int Compare(const Variant& a, TFieldType ta, const Variant& b, TFieldType tb) const {
    if (a.IsNull() || b.IsNull()) return 2;
    if (a.IsString() && b.IsString()) return TextCompare(a.ToString(), b.ToString());
    double x = 0, y = 0;
    if (!AsNumber(a, IsDateType(ta) || IsDateType(tb) || b.VType() == varDate, x) ||
        !AsNumber(b, IsDateType(ta) || IsDateType(tb) || a.VType() == varDate, y)) {
      return TextCompare(a.ToString(), b.ToString());
    }
    return x < y ? -1 : x > y ? 1 : 0;
  }

  static bool AsNumber(const Variant& v, bool dateContext, double& out) {
    if (v.IsString()) {
      if (dateContext && TextToDate(v.ToString(), out)) return true;
      bool ok = false;
      out = v.ToString().trimmed().toDouble(&ok);
      return ok;
    }
    if (v.VType() == varBoolean) {
      out = v.ToBool() ? 1 : 0;
      return true;
    }
    try {
      out = v.ToDouble();
      return true;
    } catch (const Exception&) {
      return false;
    }
  }

  // Conditions answer a Boolean or Null (unknown).
  Variant Eval(const Node& n) const {
    switch (n.kind) {
      case Node::Const: return n.value;
      case Node::Field: return valueOf(n.field);
      case Node::Not: {
        const Variant v = Eval(*n.args[0]);
        return v.IsNull() ? v : Variant(!Truth(v));
      }
      case Node::And:
      case Node::Or: {
        // The first term that decides ends the walk; an unknown term leaves the rest unknown.
        const bool decisive = n.kind == Node::Or;
        bool unknown = false;
        for (const auto& arg : n.args) {
          const Variant v = Eval(*arg);
          if (v.IsNull()) {
            unknown = true;
          } else if (Truth(v) == decisive) {
            return Variant(decisive);
          }
        }
        return unknown ? Variant::Null() : Variant(!decisive);
      }
      case Node::Cmp: {
        const Variant a = Eval(*n.args[0]);
        const Variant b = Eval(*n.args[1]);
        if (a.IsNull() || b.IsNull()) return Variant::Null();
        if (options.partialCompare && (n.op == QLatin1String("=") || n.op == QLatin1String("<>")) &&
            b.IsString() && n.args[1]->kind == Node::Const && b.ToString().endsWith(u'*')) {
          const QString prefix = b.ToString().chopped(1);
          const bool match = a.ToString().startsWith(
              prefix, options.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive);
          return Variant(n.op == QLatin1String("=") ? match : !match);
        }
        const int c = Compare(a, TypeHint(*n.args[0]), b, TypeHint(*n.args[1]));
        if (c == 2) return Variant::Null();
        const QString& op = n.op;
        if (op == QLatin1String("=")) return Variant(c == 0);
        if (op == QLatin1String("<>")) return Variant(c != 0);
        if (op == QLatin1String("<")) return Variant(c < 0);
        if (op == QLatin1String("<=")) return Variant(c <= 0);
        if (op == QLatin1String(">")) return Variant(c > 0);
        return Variant(c >= 0);
      }
      case Node::Like: {
        const Variant a = Eval(*n.args[0]);
        const Variant b = Eval(*n.args[1]);
        if (a.IsNull() || b.IsNull()) return Variant::Null();
        const bool m = SqlLike(a.ToString(), b.ToString(), options.caseInsensitive);
        return Variant(n.negated ? !m : m);
      }
      case Node::IsNull: {
        const bool isNull = Eval(*n.args[0]).IsNull();
        return Variant(n.negated ? !isNull : isNull);
      }
      case Node::In: {
        const Variant a = Eval(*n.args[0]);
        if (a.IsNull()) return Variant::Null();
        bool unknown = false;
        for (size_t i = 1; i < n.args.size(); ++i) {
          const int c = Compare(a, TypeHint(*n.args[0]), Eval(*n.args[i]), TypeHint(*n.args[i]));
          if (c == 0) return Variant(!n.negated);
          if (c == 2) unknown = true;
        }
        return unknown ? Variant::Null() : Variant(n.negated);
      }
      case Node::Neg: {
        const Variant v = Eval(*n.args[0]);
        return v.IsNull() ? v : VarNeg(v);
      }
      case Node::Call: return Call(n);
      case Node::Arith: {
        Variant acc = Eval(*n.args[0]);
        for (size_t i = 1; i < n.args.size(); ++i) {
          const Variant b = Eval(*n.args[i]);
          if (acc.IsNull() || b.IsNull()) {
            acc = Variant::Null();
            continue;
          }
          const QString& op = n.ops[i - 1];
          if (op == QLatin1String("||")) {
            acc = Variant(acc.ToString() + b.ToString());
          } else if (op == QLatin1String("+")) {
            acc = VarAdd(acc, b);
          } else if (op == QLatin1String("-")) {
            acc = VarSub(acc, b);
          } else if (op == QLatin1String("*")) {
            acc = VarMul(acc, b);
          } else {
            acc = VarDivide(acc, b);
          }
        }
        return acc;
      }
    }
    return Variant::Null();
  }

  // A date argument: a date value, a number of days, or a date text.
  static double DateArg(const Variant& v) {
    double d = 0;
    if (v.IsString()) {
      if (!TextToDate(v.ToString(), d))
        throw EDatabaseError(
            QStringLiteral("Filter expression error: \"%1\" is not a date").arg(v.ToString()));
      return d;
    }
    return v.ToDouble();
  }

  static QString TrimChars(const QString& s, const QString& chars, bool left, bool right) {
    auto strip = [&chars](QChar c) { return chars.isNull() ? c.isSpace() : chars.contains(c); };
    int b = 0, e = s.size();
    if (left)
      while (b < e && strip(s[b])) ++b;
    if (right)
      while (e > b && strip(s[e - 1])) --e;
    return s.mid(b, e - b);
  }

  Variant Call(const Node& n) const {
    std::vector<Variant> a;
    for (const auto& arg : n.args) {
      a.push_back(Eval(*arg));
      if (a.back().IsNull()) return Variant::Null();
    }
    switch (FunctionId(n.function)) {
      case fnUpper: return Variant(a[0].ToString().toUpper());
      case fnLower: return Variant(a[0].ToString().toLower());
      case fnSubstring: {
        // SQL positions: from 1; a start before 1 still counts against the length.
        const QString text = a[0].ToString();
        const qint64 start = a[1].ToInt64();
        qint64 end = a.size() > 2 ? start + a[2].ToInt64() : qint64(text.size()) + 1;
        const qint64 from = std::max<qint64>(start, 1);
        end = std::min<qint64>(end, qint64(text.size()) + 1);
        return Variant(end <= from ? QString() : text.mid(int(from - 1), int(end - from)));
      }
      case fnTrim:
      case fnTrimLeft:
      case fnTrimRight: {
        const QString chars = a.size() > 1 ? a[1].ToString() : QString();
        return Variant(
            TrimChars(a[0].ToString(), chars, n.function != fnTrimRight, n.function != fnTrimLeft));
      }
      case fnYear:
      case fnMonth:
      case fnDay: {
        int y, m, d;
        DecodeDate(DateArg(a[0]), y, m, d);
        return Variant(n.function == fnYear ? y : n.function == fnMonth ? m : d);
      }
      case fnHour:
      case fnMinute:
      case fnSecond: {
        int h, mi, sec, ms;
        DecodeTime(DateArg(a[0]), h, mi, sec, ms);
        return Variant(n.function == fnHour ? h : n.function == fnMinute ? mi : sec);
      }
      case fnGetDate: return Variant::FromDate(Now());
      case fnDate: return Variant::FromDate(DateOf(DateArg(a[0])));
      case fnTime: return Variant::FromDate(TimeOf(DateArg(a[0])));
    }
    return Variant::Null();
  }

  static bool Truth(const Variant& v) {
    if (v.VType() == varBoolean) return v.ToBool();
    try {
      return v.ToDouble() != 0;
    } catch (const Exception&) {
      return false;
    }
  }
};

}  // namespace

FilterExpr::FilterExpr(const QString& text, const Resolver& resolve, Options options)
    : options_(options) {
  if (!text.trimmed().isEmpty()) root_ = Parser(text, resolve).Parse();
}

FilterExpr::~FilterExpr() = default;

bool FilterExpr::Matches(const ValueOf& value) const {
  if (!root_) return true;
  const Variant v = Evaluator{value, options_}.Eval(*root_);
  return !v.IsNull() && Evaluator::Truth(v);
}
