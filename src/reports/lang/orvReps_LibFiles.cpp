// The file routines of the report library.
#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/fileutils.h"
#include "reports/lang/orvReps_Lib.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace orvReps_Lib {

namespace {

// Stored report scripts separate folders with a backslash.
QString LocalName(const QString& name) {
  QString s = name;
  s.replace(QLatin1Char('\\'), QLatin1Char('/'));
  return s;
}

bool EndsWithSeparator(const QString& s) {
  return s.endsWith(QLatin1Char('/')) || s.endsWith(QLatin1Char('\\'));
}

}  // namespace

bool LoadFileToStr(QString& text, const QString& fileName) {
  if (fileName.isEmpty()) return false;
  QFile f(LocalName(fileName));
  if (!f.open(QIODevice::ReadOnly)) return false;
  text = FromAnsi(f.readAll());
  return true;
}

bool SaveStrToFile(const QString& fileName, const QString& text) {
  QFile f(LocalName(fileName));
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw EFCreateError(
        QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, f.errorString()));
  const QByteArray bytes = ToAnsi(text);
  if (f.write(bytes) != bytes.size())
    throw EWriteError(
        QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, f.errorString()));
  return true;
}

bool DeleteFiles(const QString& folder, const QString& fileMask, const QString& folderMask,
                 bool removeFolder) {
  const QString dirName = LocalName(folder);
  QDir dir(dirName);
  bool ok = true;
  if (!fileMask.isEmpty()) {
    for (const QFileInfo& fi : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
      if (MatchesMask(fi.fileName(), fileMask) && !QFile::remove(fi.filePath())) ok = false;
    }
  }
  if (!folderMask.isEmpty()) {
    for (const QFileInfo& fi :
         dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)) {
      if (MatchesMask(fi.fileName(), folderMask) &&
          !DeleteFiles(fi.filePath(), fileMask, folderMask, true))
        ok = false;
    }
  }
  if (removeFolder && !QDir().rmdir(dirName)) ok = false;
  return ok;
}

bool FileCanOpen(const QString& fileName, int access) {
  int flags;
  switch (access) {
    case 0:
    case 1: flags = O_RDONLY; break;
    case 2: flags = O_WRONLY; break;
    case 3: flags = O_RDWR; break;
    default: return false;
  }
  const QByteArray path = QFile::encodeName(LocalName(fileName));
  const int fd = ::open(path.constData(), flags | O_CLOEXEC);
  if (fd < 0) return false;
  // Another program holding the file shows as a lock it keeps (programs that lock).
  const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
  ::close(fd);
  return free;
}

QString JoinDirPath(const QString& folder, const QString& subFolder) {
  if (subFolder.isEmpty()) return folder;
  QString s = folder;
  if (!s.isEmpty() && !EndsWithSeparator(s)) s += QLatin1Char('/');
  s += subFolder;
  if (!EndsWithSeparator(s)) s += QLatin1Char('/');
  return s;
}

QString CreateUniqueFile(const QString& folder, const QString& subFolder, const QString& prefix,
                         const QString& extension) {
  const QString dir = JoinDirPath(folder, subFolder);
  if (!dir.isEmpty()) QDir().mkpath(LocalName(dir));
  const QString base = dir.isEmpty() || EndsWithSeparator(dir) ? dir : dir + QLatin1Char('/');
  QString lastError;
  // Creating with "new only" takes the name atomically; a name taken meanwhile is retried.
  for (int attempt = 0; attempt < 100; ++attempt) {
    const quint32 r = QRandomGenerator::global()->bounded(2147483647u);
    const QString name = base + prefix + QString::number(r, 16).toUpper() + extension;
    QFile f(LocalName(name));
    if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return name;
    lastError = f.errorString();
    if (f.exists()) continue;
    break;  // not a name clash: the folder cannot take files
  }
  throw EFCreateError(
      QStringLiteral("Cannot create a unique file in \"%1\". %2").arg(dir, lastError));
}

QString TempDir() { return GetTempDir(); }

void ExpandEnvVars(QString& text) {
  int p = text.indexOf(QLatin1Char('%'));
  while (p >= 0) {
    const int q = text.indexOf(QLatin1Char('%'), p + 1);
    if (q < 0) return;
    const QString value =
        qEnvironmentVariable(text.mid(p + 1, q - p - 1).toLocal8Bit().constData());
    if (!value.isEmpty()) {
      text.replace(p, q - p + 1, value);
      p = text.indexOf(QLatin1Char('%'), p + value.size());
    } else {
      p = text.indexOf(QLatin1Char('%'), q + 1);
    }
  }
}

int QuestionMarks(const QString& mask, int& first, int& last) {
  first = last = 0;
  int n = 0;
  for (int i = 0; i < mask.size(); ++i) {
    if (mask[i] != QLatin1Char('?')) continue;
    if (n++ == 0) first = i + 1;
    last = i + 1;
  }
  return n;
}

QString FillQuestionMarks(const QString& mask, quint32 number, int digits) {
  const QString hex =
      QStringLiteral("%1").arg(number, qMax(digits, 1), 16, QLatin1Char('0')).toUpper();
  QString s = mask;
  int k = 0;
  for (int i = 0; i < s.size() && k < hex.size(); ++i)
    if (s[i] == QLatin1Char('?')) s[i] = hex[k++];
  return s;
}

}  // namespace orvReps_Lib
