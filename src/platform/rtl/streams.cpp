#include "streams.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString OsErrorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

QByteArray NativeName(const QString& fileName) { return QFile::encodeName(fileName); }

int OpenRetrying(const QByteArray& name, int flags, int rights) {
  int fd;
  do {
    fd = ::open(name.constData(), flags | O_CLOEXEC, rights);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Writes all of the bytes; false with errno set on failure.
bool WriteAll(int fd, const char* data, qint64 count) {
  while (count > 0) {
    const ssize_t n = ::write(fd, data, size_t(count));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    count -= n;
  }
  return true;
}

}  // namespace

// ---- TStream ----

void TStream::ReadBuffer(void* buffer, qint64 count) {
  if (count != 0 && Read(buffer, count) != count)
    throw EReadError(QStringLiteral("Stream read error"));
}

void TStream::WriteBuffer(const void* buffer, qint64 count) {
  if (count != 0 && Write(buffer, count) != count) {
    throw EWriteError(QStringLiteral("Stream write error"));
  }
}

qint64 TStream::Size() {
  const qint64 position = Seek(0, soCurrent);
  const qint64 size = Seek(0, soEnd);
  Seek(position, soBeginning);
  return size;
}

void TStream::SetSize(qint64 size) { (void)size; }

qint64 TStream::CopyFrom(TStream* source, qint64 count) {
  if (count <= 0) {
    source->SetPosition(0);
    count = source->Size();
  }
  constexpr qint64 kChunk = 64 * 1024;
  QByteArray buffer(int(std::min(count, kChunk)), Qt::Uninitialized);
  qint64 left = count;
  while (left > 0) {
    const qint64 n = std::min(left, kChunk);
    source->ReadBuffer(buffer.data(), n);
    WriteBuffer(buffer.constData(), n);
    left -= n;
  }
  return count;
}

QByteArray TStream::ReadRest() {
  QByteArray result;
  char chunk[64 * 1024];
  for (;;) {
    const qint64 n = Read(chunk, sizeof chunk);
    if (n <= 0) break;
    result.append(chunk, n);
  }
  return result;
}

// ---- THandleStream ----

qint64 THandleStream::Read(void* buffer, qint64 count) {
  if (count <= 0) return 0;
  char* p = static_cast<char*>(buffer);
  qint64 done = 0;
  while (done < count) {
    const ssize_t n = ::read(handle_, p + done, size_t(count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) break;
    done += n;
  }
  return done;
}

qint64 THandleStream::Write(const void* buffer, qint64 count) {
  if (count <= 0) return 0;
  const char* p = static_cast<const char*>(buffer);
  qint64 done = 0;
  while (done < count) {
    const ssize_t n = ::write(handle_, p + done, size_t(count - done));
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    done += n;
  }
  return done;
}

qint64 THandleStream::Seek(qint64 offset, TSeekOrigin origin) {
  const int whence = origin == soBeginning ? SEEK_SET : (origin == soCurrent ? SEEK_CUR : SEEK_END);
  return ::lseek(handle_, off_t(offset), whence);
}

void THandleStream::SetSize(qint64 size) {
  const qint64 position = Position();
  if (::ftruncate(handle_, off_t(size)) != 0) {
    throw EInOutError(QStringLiteral("Stream write error. %1").arg(OsErrorText(errno)), errno);
  }
  if (position > size) Seek(size, soBeginning);
}

// ---- TFileStream ----

TFileStream::TFileStream(const QString& fileName, quint16 mode, int rights)
    : THandleStream(-1), fileName_(fileName) {
  const bool create = (mode & fmCreate) == fmCreate;
  const int access = mode & 0x0003;
  const int share = mode & 0x00F0;
  auto fail = [&](const QString& reason) {
    if (create) {
      throw EFCreateError(QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, reason));
    }
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, reason));
  };
  int flags = O_RDONLY;
  if (create) {
    flags = O_RDWR | O_CREAT;
  } else if (access == fmOpenRead) {
    flags = O_RDONLY;
  } else if (access == fmOpenWrite) {
    flags = O_WRONLY;
  } else if (access == fmOpenReadWrite) {
    flags = O_RDWR;
  } else {
    fail(QStringLiteral("Invalid access mode"));
  }
  handle_ = OpenRetrying(NativeName(fileName), flags, rights);
  if (handle_ < 0) fail(OsErrorText(errno));
  struct stat st;
  if (::fstat(handle_, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(handle_);
    handle_ = -1;
    fail(OsErrorText(EISDIR));
  }
  if (share == fmShareExclusive || share == fmShareDenyWrite || share == fmShareDenyRead) {
    const int op = (share == fmShareExclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    if (::flock(handle_, op) != 0) {
      ::close(handle_);
      handle_ = -1;
      fail(QStringLiteral("The file is in use by another process"));
    }
  }
  // Truncated only once the lock is held, so a file in use is left as it was.
  if (create && ::ftruncate(handle_, 0) != 0) {
    const int error = errno;
    ::close(handle_);
    handle_ = -1;
    fail(OsErrorText(error));
  }
}

TFileStream::~TFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

// ---- TMemoryStream ----

qint64 TMemoryStream::Read(void* buffer, qint64 count) {
  if (count <= 0 || position_ < 0 || position_ >= data_.size()) return 0;
  const qint64 n = std::min(count, qint64(data_.size()) - position_);
  std::memcpy(buffer, data_.constData() + position_, size_t(n));
  position_ += n;
  return n;
}

qint64 TMemoryStream::Write(const void* buffer, qint64 count) {
  if (count <= 0 || position_ < 0) return 0;
  const qint64 end = position_ + count;
  if (end > data_.size()) {
    const qint64 old = data_.size();
    data_.resize(end);
    if (position_ > old) std::memset(data_.data() + old, 0, size_t(position_ - old));
  }
  std::memcpy(data_.data() + position_, buffer, size_t(count));
  position_ = end;
  return count;
}

qint64 TMemoryStream::Seek(qint64 offset, TSeekOrigin origin) {
  switch (origin) {
    case soBeginning: position_ = offset; break;
    case soCurrent: position_ += offset; break;
    case soEnd: position_ = data_.size() + offset; break;
  }
  return position_;
}

void TMemoryStream::SetSize(qint64 size) {
  if (size < 0) size = 0;
  const qint64 old = data_.size();
  data_.resize(size);
  if (size > old) std::memset(data_.data() + old, 0, size_t(size - old));
  if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
  data_.clear();
  position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
  stream->SetPosition(0);
  const qint64 size = stream->Size();
  QByteArray bytes(size, Qt::Uninitialized);
  stream->ReadBuffer(bytes.data(), size);
  data_ = bytes;
  position_ = 0;
}

void TMemoryStream::LoadFromFile(const QString& fileName) {
  data_ = ReadFileBytes(fileName);
  position_ = 0;
}

void TMemoryStream::SaveToStream(TStream* stream) { stream->WriteBuffer(data_); }

void TMemoryStream::SaveToFile(const QString& fileName) {
  TFileStream file(fileName, fmCreate);
  SaveToStream(&file);
}

QString TStringStream::ReadString(qint64 count) {
  if (count <= 0 || position_ < 0 || position_ >= data_.size()) return QString();
  const qint64 n = std::min(count, qint64(data_.size()) - position_);
  const QString text = QString::fromUtf8(data_.constData() + position_, n);
  position_ += n;
  return text;
}

// ---- whole files ----

QByteArray ReadFileBytes(const QString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyNone);
  return file.ReadRest();
}

void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, int rights) {
  auto fail = [&](int error) {
    throw EFCreateError(
        QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, OsErrorText(error)));
  };
  // Through a symbolic link the file it points to is replaced, not the link.
  QString target = fileName;
  const QFileInfo info(fileName);
  if (info.isSymLink()) {
    const QString resolved = info.canonicalFilePath();
    if (!resolved.isEmpty()) target = resolved;
  }
  const QByteArray native = NativeName(target);
  struct stat old;
  const bool existed = ::stat(native.constData(), &old) == 0;

  static std::atomic<unsigned> counter{0};
  QByteArray tempName;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    tempName = native + ".tmp-" + QByteArray::number(qint64(::getpid())) + "-" +
               QByteArray::number(counter++);
    fd = OpenRetrying(tempName, O_WRONLY | O_CREAT | O_EXCL, existed ? 0600 : rights);
    if (fd < 0 && errno != EEXIST) fail(errno);
  }
  if (fd < 0) fail(EEXIST);
  int error = 0;
  if (!WriteAll(fd, bytes.constData(), bytes.size())) error = errno;
  if (error == 0 && existed) {
    (void)::fchmod(fd, old.st_mode & 07777);
  }
  if (error == 0 && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && ::rename(tempName.constData(), native.constData()) != 0) error = errno;
  if (error != 0) {
    ::unlink(tempName.constData());
    fail(error);
  }
}

void AppendFileBytes(const QString& fileName, const QByteArray& bytes, int rights) {
  const int fd = OpenRetrying(NativeName(fileName), O_WRONLY | O_CREAT | O_APPEND, rights);
  if (fd < 0) {
    throw EFOpenError(
        QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, OsErrorText(errno)));
  }
  int error = WriteAll(fd, bytes.constData(), bytes.size()) ? 0 : errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error != 0) {
    throw EInOutError(
        QStringLiteral("Cannot write to file \"%1\". %2").arg(fileName, OsErrorText(error)), error);
  }
}
