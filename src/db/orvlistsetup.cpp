#include "db/orvlistsetup.h"

#include "platform/rtl/datetime.h"

namespace orvlistsetup {

namespace {

// Cuts "ORD=(...)" with nested parentheses; without a matching ")" the rest is taken.
bool CutOrderClause(QString& text, QString& inner) {
  static const QString start = QStringLiteral("ORD=(");
  const qsizetype p = text.indexOf(start);
  if (p < 0) return false;
  const qsizetype from = p + start.size();
  int depth = 1;
  qsizetype q = from;
  for (; q < text.size(); ++q) {
    if (text[q] == QLatin1Char('('))
      ++depth;
    else if (text[q] == QLatin1Char(')') && --depth == 0)
      break;
  }
  inner = text.mid(from, q - from);
  text.remove(p, (q < text.size() ? q + 1 : q) - p);
  return true;
}

// Cuts "ORAPROC=(...)" up to the first ")".
bool CutProcClause(QString& text, QString& inner) {
  static const QString start = QStringLiteral("ORAPROC=(");
  const qsizetype p = text.indexOf(start);
  if (p < 0) return false;
  const qsizetype from = p + start.size();
  qsizetype q = text.indexOf(QLatin1Char(')'), from);
  if (q < 0) q = text.size();
  inner = text.mid(from, q - from);
  text.remove(p, (q < text.size() ? q + 1 : q) - p);
  return true;
}

QString TakeFirst(QString& list) {
  const qsizetype c = list.indexOf(QLatin1Char(','));
  QString first = c < 0 ? list : list.left(c);
  list = c < 0 ? QString() : list.mid(c + 1);
  return first;
}

TDateTime Earlier(TDateTime a, TDateTime b) { return a < b ? a : b; }

}  // namespace

QString OracleCall(const QString& statement, QString& packages) {
  QString s = statement;
  const qsizetype semi = s.indexOf(QLatin1Char(';'));
  if (semi >= 0) s.truncate(semi);
  const qsizetype p = s.indexOf(QLatin1String("EXEC "));
  if (p < 0) {
    TakeFirst(packages);
    return s;
  }
  qsizetype n = p + 5;
  while (n < s.size() && s[n] == QLatin1Char(' ')) ++n;
  const qsizetype blank = s.indexOf(QLatin1Char(' '), n);
  QString name = blank < 0 ? s.mid(n) : s.mid(n, blank - n);
  const QString args = blank < 0 ? QString() : s.mid(blank + 1).trimmed();
  if (!packages.isEmpty()) {
    const QString pkg = TakeFirst(packages);
    if (pkg.startsWith(QLatin1Char('.')))
      name = pkg.mid(1);
    else if (!pkg.isEmpty() && !pkg.contains(QLatin1Char('.')))
      name = pkg + QLatin1Char('.') + name;
    else if (!pkg.isEmpty())
      name = pkg;
  }
  QString result = s.left(p) + QStringLiteral("CALL ") + name;
  if (!args.isEmpty()) result += QStringLiteral(" (") + args + QLatin1Char(')');
  return result;
}

QString ExpandDateMacros(const QString& filter, TDateTime now) {
  QString text = filter;
  int y = 0, m = 0, d = 0;
  DecodeDate(now, y, m, d);
  for (qsizetype at = text.indexOf(QLatin1Char('@')); at >= 0;
       at = text.indexOf(QLatin1Char('@'))) {
    qsizetype i = at + 1;
    qint64 days = 0;
    while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128) {
      if (days < 1000000) days = days * 10 + (text[i].unicode() - '0');
      ++i;
    }
    TDateTime date = now - double(days);
    if (i < text.size()) {
      const QChar unit = text[i];
      if (unit == QLatin1Char('M')) {
        date = Earlier(date, EncodeDate(y, m, 1));
        ++i;
      } else if (unit == QLatin1Char('Q')) {
        date = Earlier(date, EncodeDate(y, (m - 1) / 3 * 3 + 1, 1));
        ++i;
      } else if (unit == QLatin1Char('Y')) {
        date = Earlier(date, EncodeDate(y, 1, 1));
        ++i;
      }
      if (i < text.size()) ++i;  // the character that closes the macro
    }
    if (date < -693593) date = -693593;  // 1 January 0001: nothing earlier has a text
    text.replace(
        at, i - at,
        QLatin1Char('\'') + FormatDateTime(QStringLiteral("yyyy-mm-dd"), date) + QLatin1Char('\''));
  }
  return text;
}

TSetupResult ParseSetup(const TSetupInput& in) {
  TSetupResult r;
  const qsizetype blank = in.ObjectText.indexOf(QLatin1Char(' '));
  if (blank < 0) {
    r.TableName = in.ObjectText.trimmed();
  } else {
    r.TableName = in.ObjectText.left(blank).trimmed();
    r.Params = in.ObjectText.mid(blank).trimmed();
  }
  r.ObjectName = r.TableName;
  r.InsertSQL = in.InsertSQL;
  r.ModifySQL = in.ModifySQL;
  r.DeleteSQL = in.DeleteSQL;
  r.SetupText = in.Clauses;

  QString order;
  if (CutOrderClause(r.SetupText, order)) {
    r.HasOrder = true;
    if (order.startsWith(QLatin1Char('*'))) {
      order.remove(0, 1);
      r.OrderInOut = true;
    }
    r.OrderBy = order;
  }

  QString inner;
  if (in.Oracle && CutProcClause(r.SetupText, inner)) {
    QString packages;
    QString proc = inner;
    const qsizetype comma = inner.indexOf(QLatin1Char(','));
    if (comma >= 0) {
      proc = inner.left(comma);
      packages = inner.mid(comma + 1);
    }
    if (!proc.isEmpty()) {
      const qsizetype slash = proc.indexOf(QLatin1Char('/'));
      if (slash >= 0) {
        r.HasTempTables = true;
        r.TempTableNames = proc.mid(slash + 1);
        proc.truncate(slash);
      }
      if (!proc.contains(QLatin1Char('.')))
        r.TableName = proc + QLatin1Char('.') + r.TableName;
      else if (proc.startsWith(QLatin1Char('.')))
        r.TableName = proc.mid(1);
      else
        r.TableName = proc;
    }
    // A package list given in the clause serves the statements in order, also once it is
    // used up; without one a plain procedure name is every statement's package.
    const bool hasPackages = !packages.isEmpty();
    const bool procAsPackage = !proc.isEmpty() && !proc.contains(QLatin1Char('.'));
    auto rewrite = [&](const QString& sql) {
      if (hasPackages) return OracleCall(sql, packages);
      if (!procAsPackage) return sql;
      QString own = proc;
      return OracleCall(sql, own);
    };
    r.InsertSQL = rewrite(r.InsertSQL);
    r.ModifySQL = rewrite(r.ModifySQL);
    static const QString itemDelete = QStringLiteral(" FP_ITEM_D ");
    const qsizetype del = r.DeleteSQL.indexOf(itemDelete);
    if (del >= 0) {
      r.DeleteSQL.replace(del, itemDelete.size(), QStringLiteral(" ITEM.FP_D "));
      r.DeleteSQL = OracleCall(r.DeleteSQL, packages);
    } else {
      r.DeleteSQL = rewrite(r.DeleteSQL);
    }
  }

  if (r.SetupText.startsWith(QLatin1Char('*'))) {
    r.StarMarked = true;
    r.SetupText.clear();
  } else if (const qsizetype t = r.SetupText.indexOf(QLatin1Char('~')); t >= 0) {
    const qsizetype close = r.SetupText.indexOf(QLatin1Char('~'), t + 1);
    const qsizetype end = close < 0 ? r.SetupText.size() : close;
    QString clause = r.SetupText.mid(t + 1, end - t - 1);
    r.SetupText.remove(t, (close < 0 ? end : close + 1) - t);
    r.HasSearch = true;
    const qsizetype semi = clause.indexOf(QLatin1Char(';'));
    if (semi >= 0) {
      r.HasSearchCaption = true;
      r.SearchCaption = clause.mid(semi + 1);
      clause.truncate(semi);
    }
    r.SearchFilter = clause;
  }
  return r;
}

QString NumberParams(const QString& sql, const QString& fieldName, int tag) {
  QString s = sql;
  const QString n = QString::number(tag);
  for (const QChar t : {QLatin1Char(';'), QLatin1Char(','), QLatin1Char(' '), QLatin1Char(')')}) {
    s.replace(QLatin1Char(':') + fieldName + t, QLatin1Char(':') + n + t);
    s.replace(QStringLiteral(":OLD_") + fieldName + t, QStringLiteral(":-") + n + t);
  }
  return s;
}

QString ListElement(const QString& list, int index, QChar separator) {
  if (index < 0) return QString();
  const QStringList parts = list.split(separator);
  return index < parts.size() ? parts[index] : QString();
}

}  // namespace orvlistsetup
