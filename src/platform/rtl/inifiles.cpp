#include "inifiles.h"

#include "streams.h"
#include "stringfuncs.h"
#include "stringlist.h"
#include "sysutils.h"
#include "textfile.h"

#include <QtCore/QFile>

#include <cerrno>
#include <vector>

#include <sys/stat.h>

struct IniLine {
  enum Kind { Other, Blank, Comment, Section, Entry };
  Kind kind = Other;
  QString raw;    // as in the file, without its line end
  QString name;   // of a section or an entry, trimmed
  QString value;  // of an entry, trimmed and unquoted
};

struct IniData {
  std::vector<IniLine> lines;
  TTextFileEncoding encoding = TTextFileEncoding::Ansi;
  QString lineBreak = QStringLiteral("\r\n");
  bool endsWithBreak = true;
  bool dirty = false;
  QString loadError;  // set when an existing file could not be read
  bool exists = false;
  struct stat identity {};
};

namespace {

bool IsQuote(QChar c) { return c == QLatin1Char('"') || c == QLatin1Char('\''); }

bool QuotedAtBothEnds(const QString& s) {
  return s.size() >= 2 && IsQuote(s.front()) && s.back() == s.front();
}

IniLine ParseLine(const QString& raw) {
  IniLine line;
  line.raw = raw;
  const QString t = Trim(raw);
  if (t.isEmpty()) {
    line.kind = IniLine::Blank;
  } else if (t.startsWith(QLatin1Char(';'))) {
    line.kind = IniLine::Comment;
  } else if (t.startsWith(QLatin1Char('['))) {
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (close > 0) {
      line.kind = IniLine::Section;
      line.name = Trim(t.mid(1, close - 1));
    }
  } else if (const qsizetype eq = t.indexOf(QLatin1Char('=')); eq >= 0) {
    line.kind = IniLine::Entry;
    line.name = Trim(t.left(eq));
    line.value = Trim(t.mid(eq + 1));
    if (QuotedAtBothEnds(line.value)) line.value = line.value.mid(1, line.value.size() - 2);
  }
  return line;
}

IniLine MakeEntry(const QString& name, const QString& value) {
  IniLine line;
  line.kind = IniLine::Entry;
  line.name = name;
  line.value = value;
  // Quoted when reading would otherwise change it: blanks at an end, quotes at both ends.
  const bool quote = value != Trim(value) || QuotedAtBothEnds(value);
  line.raw =
      name + QLatin1Char('=') + (quote ? QLatin1Char('"') + value + QLatin1Char('"') : value);
  return line;
}

bool SameIdentity(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

bool HasLineBreak(const QString& s) {
  return s.contains(QLatin1Char('\r')) || s.contains(QLatin1Char('\n'));
}

void CheckSectionName(const QString& section) {
  const QString t = Trim(section);
  if (t.isEmpty() || HasLineBreak(section) || section.contains(QLatin1Char(']'))) {
    throw EIniFileException(QStringLiteral("Invalid section name \"%1\"").arg(section));
  }
}

void CheckKeyName(const QString& ident) {
  const QString t = Trim(ident);
  if (t.isEmpty() || HasLineBreak(ident) || ident.contains(QLatin1Char('=')) ||
      t.startsWith(QLatin1Char('[')) || t.startsWith(QLatin1Char(';'))) {
    throw EIniFileException(QStringLiteral("Invalid key name \"%1\"").arg(ident));
  }
}

// The index of the first section of that name, or -1.
int FindSection(const IniData& d, const QString& section) {
  const QString name = Trim(section);
  for (size_t i = 0; i < d.lines.size(); ++i) {
    if (d.lines[i].kind == IniLine::Section && AnsiSameText(d.lines[i].name, name)) return int(i);
  }
  return -1;
}

// The end of the section that starts at header: the next section line or the end.
int SectionEnd(const IniData& d, int header) {
  size_t i = size_t(header) + 1;
  while (i < d.lines.size() && d.lines[i].kind != IniLine::Section) ++i;
  return int(i);
}

int FindEntry(const IniData& d, int header, const QString& ident) {
  if (header < 0) return -1;
  const QString name = Trim(ident);
  const int end = SectionEnd(d, header);
  for (int i = header + 1; i < end; ++i) {
    if (d.lines[size_t(i)].kind == IniLine::Entry && AnsiSameText(d.lines[size_t(i)].name, name)) {
      return i;
    }
  }
  return -1;
}

}  // namespace

TMemIniFile::TMemIniFile(const QString& fileName)
    : fileName_(fileName), data_(std::make_unique<IniData>()) {
  Load();
}

TMemIniFile::~TMemIniFile() = default;

void TMemIniFile::Load() {
  auto d = std::make_unique<IniData>();
  const QByteArray native = QFile::encodeName(fileName_);
  if (::stat(native.constData(), &d->identity) == 0) {
    d->exists = true;
    try {
      const TDecodedText decoded = DecodeTextFile(ReadFileBytes(fileName_));
      d->encoding = decoded.encoding;
      const QString& text = decoded.text;
      if (text.contains(QLatin1String("\r\n"))) {
        d->lineBreak = QStringLiteral("\r\n");
      } else if (text.contains(QLatin1Char('\n'))) {
        d->lineBreak = QStringLiteral("\n");
      }
      d->endsWithBreak =
          text.isEmpty() || text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r'));
      qsizetype p = 0;
      const qsizetype n = text.size();
      while (p < n) {
        const qsizetype start = p;
        while (p < n && text[p] != QLatin1Char('\r') && text[p] != QLatin1Char('\n')) ++p;
        d->lines.push_back(ParseLine(text.mid(start, p - start)));
        if (p < n && text[p] == QLatin1Char('\r')) ++p;
        if (p < n && text[p] == QLatin1Char('\n')) ++p;
      }
    } catch (const Exception& e) {
      d->lines.clear();
      d->loadError = e.Message();
    }
  }
  data_ = std::move(d);
}

bool TMemIniFile::ChangedOnDisk() const {
  struct stat now;
  const bool exists = ::stat(QFile::encodeName(fileName_).constData(), &now) == 0;
  if (exists != data_->exists) return true;
  return exists && !SameIdentity(now, data_->identity);
}

void TIniFile::Refresh() {
  if (ChangedOnDisk()) Load();
}

QString TMemIniFile::ReadString(const QString& section, const QString& ident,
                                const QString& defaultValue) {
  Refresh();
  const int entry = FindEntry(*data_, FindSection(*data_, section), ident);
  return entry >= 0 ? data_->lines[size_t(entry)].value : defaultValue;
}

int TMemIniFile::ReadInteger(const QString& section, const QString& ident, int defaultValue) {
  return StrToIntDef(ReadString(section, ident, QString()), defaultValue);
}

bool TMemIniFile::ReadBool(const QString& section, const QString& ident, bool defaultValue) {
  return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

double TMemIniFile::ReadFloat(const QString& section, const QString& ident, double defaultValue) {
  double value = 0;
  return TryStrToFloat(ReadString(section, ident, QString()), value) ? value : defaultValue;
}

void TMemIniFile::WriteString(const QString& section, const QString& ident, const QString& value) {
  CheckSectionName(section);
  CheckKeyName(ident);
  if (HasLineBreak(value)) {
    throw EIniFileException(QStringLiteral("The value of \"%1\" holds a line break").arg(ident));
  }
  Refresh();
  IniData& d = *data_;
  int header = FindSection(d, section);
  if (header < 0) {
    IniLine line;
    line.kind = IniLine::Section;
    line.name = Trim(section);
    line.raw = QLatin1Char('[') + line.name + QLatin1Char(']');
    d.lines.push_back(line);
    header = int(d.lines.size()) - 1;
  }
  const int entry = FindEntry(d, header, ident);
  if (entry >= 0) {
    IniLine& old = d.lines[size_t(entry)];
    if (old.value == value) return;
    old = MakeEntry(old.name, value);  // the key keeps its spelling
  } else {
    // After the last line of the section that is not blank.
    int at = SectionEnd(d, header);
    while (at > header + 1 && d.lines[size_t(at - 1)].kind == IniLine::Blank) --at;
    d.lines.insert(d.lines.begin() + at, MakeEntry(Trim(ident), value));
  }
  d.dirty = true;
  Modified();
}

void TMemIniFile::WriteInteger(const QString& section, const QString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

void TMemIniFile::WriteBool(const QString& section, const QString& ident, bool value) {
  WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TMemIniFile::WriteFloat(const QString& section, const QString& ident, double value) {
  WriteString(section, ident, FloatToStr(value));
}

void TMemIniFile::ReadSection(const QString& section, TStrings* idents) {
  Refresh();
  idents->BeginUpdate();
  idents->Clear();
  const int header = FindSection(*data_, section);
  if (header >= 0) {
    const int end = SectionEnd(*data_, header);
    for (int i = header + 1; i < end; ++i) {
      const IniLine& line = data_->lines[size_t(i)];
      if (line.kind == IniLine::Entry && !line.name.isEmpty()) idents->Add(line.name);
    }
  }
  idents->EndUpdate();
}

void TMemIniFile::ReadSections(TStrings* sections) {
  Refresh();
  sections->BeginUpdate();
  sections->Clear();
  QStringList seen;
  for (const IniLine& line : data_->lines) {
    if (line.kind != IniLine::Section) continue;
    if (std::any_of(seen.begin(), seen.end(),
                    [&](const QString& s) { return AnsiSameText(s, line.name); })) {
      continue;
    }
    seen << line.name;
    sections->Add(line.name);
  }
  sections->EndUpdate();
}

void TMemIniFile::ReadSectionValues(const QString& section, TStrings* lines) {
  Refresh();
  lines->BeginUpdate();
  lines->Clear();
  const int header = FindSection(*data_, section);
  if (header >= 0) {
    const int end = SectionEnd(*data_, header);
    for (int i = header + 1; i < end; ++i) {
      const IniLine& line = data_->lines[size_t(i)];
      if (line.kind == IniLine::Entry && !line.name.isEmpty()) {
        lines->Add(line.name + QLatin1Char('=') + line.value);
      }
    }
  }
  lines->EndUpdate();
}

bool TMemIniFile::SectionExists(const QString& section) {
  // A section exists when it has a key: an empty section is not written, so scripts never
  // see one.
  TStringList idents;
  ReadSection(section, &idents);
  return idents.Count() > 0;
}

bool TMemIniFile::ValueExists(const QString& section, const QString& ident) {
  Refresh();
  return FindEntry(*data_, FindSection(*data_, section), ident) >= 0;
}

void TMemIniFile::EraseSection(const QString& section) {
  Refresh();
  const int header = FindSection(*data_, section);
  if (header < 0) return;
  const int end = SectionEnd(*data_, header);
  data_->lines.erase(data_->lines.begin() + header, data_->lines.begin() + end);
  data_->dirty = true;
  Modified();
}

void TMemIniFile::DeleteKey(const QString& section, const QString& ident) {
  Refresh();
  const int entry = FindEntry(*data_, FindSection(*data_, section), ident);
  if (entry < 0) return;
  data_->lines.erase(data_->lines.begin() + entry);
  data_->dirty = true;
  Modified();
}

void TMemIniFile::UpdateFile() {
  IniData& d = *data_;
  if (!d.dirty) return;
  if (!d.loadError.isEmpty()) {
    // What could not be read is not written over with less.
    throw EIniFileException(QStringLiteral("Unable to write to %1: the file could not be read (%2)")
                                .arg(fileName_, d.loadError));
  }
  QString text;
  for (size_t i = 0; i < d.lines.size(); ++i) {
    text += d.lines[i].raw;
    if (i + 1 < d.lines.size() || d.endsWithBreak) text += d.lineBreak;
  }
  try {
    WriteFileAtomically(fileName_, EncodeTextFile(text, d.encoding));
  } catch (const Exception& e) {
    throw EIniFileException(
        QStringLiteral("Unable to write to %1. %2").arg(fileName_, e.Message()));
  }
  d.dirty = false;
  d.exists = ::stat(QFile::encodeName(fileName_).constData(), &d.identity) == 0;
}
