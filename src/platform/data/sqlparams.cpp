#include "platform/data/sqlparams.h"

#include <QtCore/QHash>

namespace sqlparams {
namespace {

bool IsBodyChar(QChar c) {
  return c.isLetterOrNumber() || c == u'_' || c == u'.' || c == u'$' || c == u'#';
}

// Index just past a quoted run that starts at i (the opening quote), honouring doubled quotes
// and, for E'' strings, backslash escapes.
int SkipQuoted(const QString& s, int i, QChar quote, bool backslashes) {
  const int n = s.size();
  ++i;
  while (i < n) {
    QChar c = s[i];
    if (backslashes && c == u'\\') {
      i += 2;
      continue;
    }
    if (c == quote) {
      if (i + 1 < n && s[i + 1] == quote) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return n;
}

// A dollar-quote tag ("$$" or "$tag$") starting at i, or an empty string.
QString DollarTag(const QString& s, int i) {
  int j = i + 1;
  while (j < s.size() && (s[j].isLetterOrNumber() || s[j] == u'_')) ++j;
  if (j < s.size() && s[j] == u'$' && !(j > i + 1 && s[i + 1].isDigit()))
    return s.mid(i, j - i + 1);
  return {};
}

// Names compare ignoring case: one folded text per name keeps lookups constant-time.
QString NameKey(const QString& name) { return name.toCaseFolded(); }

}  // namespace

Parsed Parse(const QString& sql) {
  Parsed out;
  const int n = sql.size();
  int i = 0;
  int commentDepth = 0;  // /* */ comments nest
  bool lineComment = false;
  QHash<QString, int> known;
  auto addName = [&](const QString& name) {
    if (known.contains(NameKey(name))) return;
    known.insert(NameKey(name), int(out.names.size()));
    out.names.push_back(name);
  };
  while (i < n) {
    const QChar c = sql[i];
    const QChar next = i + 1 < n ? sql[i + 1] : QChar();
    if (lineComment) {
      if (c == u'\n') lineComment = false;
    } else if (commentDepth == 0 && c == u'-' && next == u'-') {
      lineComment = true;
      i += 2;
      continue;
    } else if (c == u'/' && next == u'*') {
      ++commentDepth;
      i += 2;
      continue;
    } else if (commentDepth > 0 && c == u'*' && next == u'/') {
      --commentDepth;
      i += 2;
      continue;
    }
    const bool inComment = lineComment || commentDepth > 0;
    if (!inComment) {
      if (c == u'\'') {
        const bool escapes = i > 0 && (sql[i - 1] == u'E' || sql[i - 1] == u'e') &&
                             (i < 2 || !IsBodyChar(sql[i - 2]));
        i = SkipQuoted(sql, i, c, escapes);
        continue;
      }
      if (c == u'"') {
        i = SkipQuoted(sql, i, c, false);
        continue;
      }
      if (c == u'$' && (i == 0 || !IsBodyChar(sql[i - 1]))) {
        const QString tag = DollarTag(sql, i);
        if (!tag.isEmpty()) {
          const int end = sql.indexOf(tag, i + tag.size());
          i = end < 0 ? n : end + tag.size();
          continue;
        }
      }
    }
    if (c != u':') {
      ++i;
      continue;
    }
    if (next == u':') {  // a cast; a run of colons is never a parameter
      while (i < n && sql[i] == u':') ++i;
      continue;
    }
    if (next == u'=') {
      i += 2;
      continue;
    }
    int j = i + 1;
    QString name;
    if (next == u'"') {
      const int end = sql.indexOf(u'"', j + 1);
      if (end < 0) {
        ++i;
        continue;
      }
      name = sql.mid(j + 1, end - j - 1);
      j = end + 1;
    } else {
      if (j < n && (sql[j] == u'+' || sql[j] == u'-')) ++j;
      while (j < n && sql[j] == u'.') ++j;
      const int body = j;
      while (j < n && IsBodyChar(sql[j])) ++j;
      if (j == body && !(j > i + 1 && sql[j - 1] == u'.')) {
        ++i;
        continue;
      }
      name = sql.mid(i + 1, j - i - 1);
    }
    if (name.isEmpty()) {
      i = j;
      continue;
    }
    out.refs.push_back(Ref{name, i, j - i, inComment});
    addName(name);
    i = j;
  }
  return out;
}

ServerText ToServerText(const QString& sql, const Parsed& parsed) {
  ServerText out;
  std::vector<int> numberOf(parsed.names.size(), 0);
  QHash<QString, int> indexOf;
  for (int i = 0; i < int(parsed.names.size()); ++i) indexOf.insert(NameKey(parsed.names[i]), i);
  QString text;
  text.reserve(sql.size() + 8);
  int pos = 0;
  for (const Ref& ref : parsed.refs) {
    if (ref.inComment) continue;
    const int index = indexOf.value(NameKey(ref.name), -1);
    if (index < 0) continue;  // a name the caller left out of the list
    if (numberOf[index] == 0) {
      out.order.push_back(index);
      numberOf[index] = int(out.order.size());
    }
    text += QStringView(sql).mid(pos, ref.start - pos);
    text += u'$';
    text += QString::number(numberOf[index]);
    pos = ref.start + ref.length;
  }
  text += QStringView(sql).mid(pos);
  out.text = text.toUtf8();
  return out;
}

}  // namespace sqlparams
