#include "fileutils.h"

#include "stringfuncs.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QMutex>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <vector>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray Native(const QString& name) { return QFile::encodeName(name); }

int LastDelimiter(const QString& s) {
  for (int i = int(s.size()) - 1; i >= 0; --i) {
    if (IsPathDelimiter(s[i])) return i;
  }
  return -1;
}

// The index of the extension's dot, or -1.
int ExtensionDot(const QString& s) {
  for (int i = int(s.size()) - 1; i >= 0; --i) {
    if (s[i] == QLatin1Char('.')) return i;
    if (IsPathDelimiter(s[i])) break;
  }
  return -1;
}

const QDate kDateOrigin(1899, 12, 30);

TDateTime ToDateTime(qint64 msecsSinceEpoch) {
  const QDateTime local = QDateTime::fromMSecsSinceEpoch(msecsSinceEpoch, Qt::LocalTime);
  return double(kDateOrigin.daysTo(local.date())) +
         double(local.time().msecsSinceStartOfDay()) / 86400000.0;
}

qint64 FromDateTime(TDateTime value) {
  const double day = std::floor(value);
  const int ms = int(std::llround((value - day) * 86400000.0));
  const QDateTime local(kDateOrigin.addDays(qint64(day)), QTime(0, 0), Qt::LocalTime);
  return local.addMSecs(ms).toMSecsSinceEpoch();
}

QChar Fold(QChar c) { return AnsiUpperChar(c); }

}  // namespace

// ---- names ----

bool IsPathDelimiter(QChar c) { return c == QLatin1Char('/') || c == QLatin1Char('\\'); }

QString ExtractFilePath(const QString& fileName) {
  return fileName.left(LastDelimiter(fileName) + 1);
}

QString ExtractFileDir(const QString& fileName) {
  const int i = LastDelimiter(fileName);
  if (i < 0) return QString();
  if (i == 0) return fileName.left(1);
  return fileName.left(i);
}

QString ExtractFileName(const QString& fileName) {
  return fileName.mid(LastDelimiter(fileName) + 1);
}

QString ExtractFileExt(const QString& fileName) {
  const int dot = ExtensionDot(fileName);
  return dot < 0 ? QString() : fileName.mid(dot);
}

QString ChangeFileExt(const QString& fileName, const QString& extension) {
  const int dot = ExtensionDot(fileName);
  return (dot < 0 ? fileName : fileName.left(dot)) + extension;
}

QString IncludeTrailingPathDelimiter(const QString& path) {
  if (!path.isEmpty() && IsPathDelimiter(path.back())) return path;
  return path + PathDelim;
}

QString ExcludeTrailingPathDelimiter(const QString& path) {
  if (path.size() > 1 && IsPathDelimiter(path.back())) return path.left(path.size() - 1);
  return path;
}

QString ExpandFileName(const QString& fileName) {
  if (fileName.isEmpty()) return QString();
  QString full = QDir::cleanPath(QDir::current().absoluteFilePath(fileName));
  if (IsPathDelimiter(fileName.back())) full = IncludeTrailingPathDelimiter(full);
  return full;
}

// ---- files and folders ----

bool FileExists(const QString& fileName) {
  struct stat st;
  return !fileName.isEmpty() && ::stat(Native(fileName).constData(), &st) == 0 &&
         !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const QString& path) {
  struct stat st;
  return !path.isEmpty() && ::stat(Native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const QString& fileName) {
  return FileExists(fileName) && ::unlink(Native(fileName).constData()) == 0;
}

bool RenameFile(const QString& oldName, const QString& newName) {
  const QByteArray from = Native(oldName);
  const QByteArray to = Native(newName);
  if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS) return false;
  // A file system without the no-replace flag: check, then rename.
  struct stat st;
  if (::lstat(to.constData(), &st) == 0) return false;
  return ::rename(from.constData(), to.constData()) == 0;
}

bool CreateDir(const QString& path) {
  return !path.isEmpty() && ::mkdir(Native(path).constData(), 0777) == 0;
}

bool RemoveDir(const QString& path) {
  return !path.isEmpty() && ::rmdir(Native(path).constData()) == 0;
}

bool ForceDirectories(const QString& path) {
  const QString dir = ExcludeTrailingPathDelimiter(path);
  if (dir.isEmpty()) return false;
  if (DirectoryExists(dir)) return true;
  const QString parent = ExtractFileDir(dir);
  if (!parent.isEmpty() && parent != dir && !ForceDirectories(parent)) return false;
  return CreateDir(dir) || DirectoryExists(dir);
}

QString GetCurrentDir() { return QDir::currentPath(); }

bool SetCurrentDir(const QString& path) { return QDir::setCurrent(path); }

bool FileAge(const QString& fileName, TDateTime& age) {
  struct stat st;
  if (fileName.isEmpty() || ::stat(Native(fileName).constData(), &st) != 0) return false;
  age = ToDateTime(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
  return true;
}

bool FileSetDate(const QString& fileName, TDateTime age) {
  const qint64 ms = FromDateTime(age);
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = time_t(std::floor(double(ms) / 1000.0));
  times[1].tv_nsec = long((ms - qint64(times[1].tv_sec) * 1000) * 1000000);
  return !fileName.isEmpty() && ::utimensat(AT_FDCWD, Native(fileName).constData(), times, 0) == 0;
}

QString GetTempDir() {
  for (const char* name : {"TEMP", "TMP"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty()) return IncludeTrailingPathDelimiter(value);
  }
  return IncludeTrailingPathDelimiter(QDir::tempPath());
}

QString FindFileNoCase(const QString& folder, const QString& name) {
  if (name.isEmpty()) return QString();
  const QString dir = folder.isEmpty() ? QString() : IncludeTrailingPathDelimiter(folder);
  if (FileExists(dir + name)) return dir + name;
  QStringList entries = QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
                            .entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  for (const QString& entry : entries) {
    if (AnsiSameText(entry, name) && FileExists(dir + entry)) {
      return dir + entry;
    }
  }
  return QString();
}

bool MatchesMask(const QString& name, const QString& mask) {
  if (mask == QLatin1String("*") || mask == QLatin1String("*.*")) return true;
  QString m = mask;
  if (m.endsWith(QLatin1Char('.')) && !name.contains(QLatin1Char('.'))) m.chop(1);
  // Greedy matching with one backtrack point: linear in practice, never exponential.
  qsizetype n = 0, k = 0, starK = -1, starN = 0;
  while (n < name.size()) {
    if (k < m.size() && m[k] == QLatin1Char('*')) {
      starK = k++;
      starN = n;
    } else if (k < m.size() && (m[k] == QLatin1Char('?') || Fold(m[k]) == Fold(name[n]))) {
      ++k;
      ++n;
    } else if (starK >= 0) {
      k = starK + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (k < m.size() && m[k] == QLatin1Char('*')) ++k;
  return k == m.size();
}

// ---- FindFirst / FindNext ----

struct FindState {
  QString folder;
  QString mask;
  int attr = 0;
  QStringList names;
  int next = 0;
};

namespace {

int FillNext(TSearchRec& rec) {
  FindState* s = rec.State.get();
  if (s == nullptr) return 18;
  while (s->next < s->names.size()) {
    const QString name = s->names[s->next++];
    if (!MatchesMask(name, s->mask)) continue;
    struct stat st;
    if (::lstat(Native(s->folder + name).constData(), &st) != 0) continue;
    if (S_ISLNK(st.st_mode)) ::stat(Native(s->folder + name).constData(), &st);
    int attr = 0;
    if (S_ISDIR(st.st_mode)) attr |= faDirectory;
    if (name.startsWith(QLatin1Char('.'))) attr |= faHidden;
    if ((st.st_mode & S_IWUSR) == 0) attr |= faReadOnly;
    if (!S_ISDIR(st.st_mode)) attr |= faArchive;
    if ((attr & faDirectory) && !(s->attr & faDirectory)) continue;
    if ((attr & faHidden) && !(s->attr & faHidden)) continue;
    rec.Name = name;
    rec.Size = S_ISDIR(st.st_mode) ? 0 : qint64(st.st_size);
    rec.Attr = attr;
    rec.Time = ToDateTime(qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000);
    return 0;
  }
  return 18;
}

}  // namespace

int FindFirst(const QString& path, int attr, TSearchRec& rec) {
  auto state = std::make_shared<FindState>();
  state->folder = ExtractFilePath(path);
  state->mask = ExtractFileName(path);
  state->attr = attr;
  const QDir dir(state->folder.isEmpty() ? QStringLiteral(".") : state->folder);
  if (!dir.exists()) return 3;  // path not found
  state->names = dir.entryList(
      QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
  rec.State = state;
  const int result = FillNext(rec);
  if (result != 0) {
    rec.State.reset();
    return 2;
  }
  return 0;
}

int FindNext(TSearchRec& rec) { return FillNext(rec); }

void FindClose(TSearchRec& rec) { rec.State.reset(); }

// ---- program and process ----

namespace {

QMutex& ArgsLock() {
  static QMutex lock;
  return lock;
}

QStringList& StoredArgs() {
  static QStringList args;
  static bool loaded = false;
  if (!loaded) {
    loaded = true;
    QFile f(QStringLiteral("/proc/self/cmdline"));
    if (f.open(QIODevice::ReadOnly)) {
      const QByteArray raw = f.readAll();
      for (const QByteArray& part : raw.split('\0')) args << QFile::decodeName(part);
      if (!args.isEmpty() && raw.endsWith('\0')) args.removeLast();
    }
  }
  return args;
}

}  // namespace

void SetCommandLine(const QStringList& arguments) {
  QMutexLocker guard(&ArgsLock());
  StoredArgs() = arguments;
}

QString ProgramFileName() {
  static const QString name = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  return name;
}

QString ProgramDir() { return ExtractFilePath(ProgramFileName()); }

int ParamCount() {
  QMutexLocker guard(&ArgsLock());
  return std::max(0, int(StoredArgs().size()) - 1);
}

QString ParamStr(int index) {
  if (index == 0) return ProgramFileName();
  QMutexLocker guard(&ArgsLock());
  const QStringList& args = StoredArgs();
  return index > 0 && index < args.size() ? args[index] : QString();
}

QString CmdLine() {
  QMutexLocker guard(&ArgsLock());
  return StoredArgs().join(QLatin1Char(' '));
}

QString GetEnvironmentVariable(const QString& name) {
  if (name.isEmpty() || name.contains(QLatin1Char('='))) return QString();
  return qEnvironmentVariable(name.toLocal8Bit().constData());
}
