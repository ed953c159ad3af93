#pragma once
// Byte streams of the runtime: the abstract TStream, file streams over a POSIX descriptor,
// memory, bytes and string streams.
#include "exceptions.h"
#include "tobject.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };

// Open modes of TFileStream: one access mode or'ed with one share mode, or fmCreate.
enum : quint16 {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFF00,  // create or truncate, then read and write
};

class TStream : public TObject {
 public:
  QString ClassName() const override { return QStringLiteral("TStream"); }

  // Up to count bytes; answers how many were transferred.
  virtual qint64 Read(void* buffer, qint64 count) = 0;
  virtual qint64 Write(const void* buffer, qint64 count) = 0;
  // Answers the new position.
  virtual qint64 Seek(qint64 offset, TSeekOrigin origin) = 0;

  // Exactly count bytes, else EReadError "Stream read error" / EWriteError "Stream write error".
  void ReadBuffer(void* buffer, qint64 count);
  void WriteBuffer(const void* buffer, qint64 count);
  void WriteBuffer(const QByteArray& bytes) { WriteBuffer(bytes.constData(), bytes.size()); }

  qint64 Position() { return Seek(0, soCurrent); }
  void SetPosition(qint64 position) { Seek(position, soBeginning); }
  virtual qint64 Size();
  virtual void SetSize(qint64 size);

  // Copies count bytes from source's position; count 0 copies the whole source from its
  // start. Answers the number of bytes copied.
  qint64 CopyFrom(TStream* source, qint64 count);
  // Everything from the position to the end.
  QByteArray ReadRest();
};

// A stream over an open POSIX file descriptor; the descriptor stays the caller's.
class THandleStream : public TStream {
 public:
  explicit THandleStream(int handle) : handle_(handle) {}
  QString ClassName() const override { return QStringLiteral("THandleStream"); }
  int Handle() const { return handle_; }

  qint64 Read(void* buffer, qint64 count) override;
  qint64 Write(const void* buffer, qint64 count) override;
  qint64 Seek(qint64 offset, TSeekOrigin origin) override;
  void SetSize(qint64 size) override;

 protected:
  int handle_;
};

// A named file. Raises EFCreateError 'Cannot create file "<name>". <reason>' or EFOpenError
// 'Cannot open file "<name>". <reason>'. Share modes other than deny-none take an advisory
// lock (exclusive for fmShareExclusive, shared for the deny-write and deny-read modes); a
// file locked against the request cannot be opened. Rights are the permissions of a created
// file (before the umask).
class TFileStream : public THandleStream {
 public:
  TFileStream(const QString& fileName, quint16 mode, int rights = 0666);
  ~TFileStream() override;
  QString ClassName() const override { return QStringLiteral("TFileStream"); }
  const QString& FileName() const { return fileName_; }

 private:
  QString fileName_;
};

// A growable block of memory.
class TMemoryStream : public TStream {
 public:
  QString ClassName() const override { return QStringLiteral("TMemoryStream"); }

  qint64 Read(void* buffer, qint64 count) override;
  qint64 Write(const void* buffer, qint64 count) override;
  qint64 Seek(qint64 offset, TSeekOrigin origin) override;
  qint64 Size() override { return data_.size(); }
  void SetSize(qint64 size) override;

  const char* Memory() const { return data_.constData(); }
  const QByteArray& Bytes() const { return data_; }
  void Clear();
  void LoadFromStream(TStream* stream);
  void LoadFromFile(const QString& fileName);
  void SaveToStream(TStream* stream);
  void SaveToFile(const QString& fileName);

 protected:
  QByteArray data_;
  qint64 position_ = 0;
};

// A memory stream that starts with the given bytes.
class TBytesStream : public TMemoryStream {
 public:
  explicit TBytesStream(const QByteArray& bytes = QByteArray()) { data_ = bytes; }
  QString ClassName() const override { return QStringLiteral("TBytesStream"); }
};

// A memory stream over the bytes of a text. Texts go in and out as UTF-8, so nothing is lost;
// raw bytes (a code page 1251 file, say) go in through the byte constructor.
class TStringStream : public TMemoryStream {
 public:
  explicit TStringStream(const QString& text = QString()) { data_ = text.toUtf8(); }
  explicit TStringStream(const QByteArray& bytes) { data_ = bytes; }
  QString ClassName() const override { return QStringLiteral("TStringStream"); }
  QString DataString() const { return QString::fromUtf8(data_); }
  void WriteString(const QString& text) { WriteBuffer(text.toUtf8()); }
  // Up to count bytes from the position, as UTF-8 text.
  QString ReadString(qint64 count);
};

// The whole content of a file; raises EFOpenError when it cannot be read.
QByteArray ReadFileBytes(const QString& fileName);
// Replaces the file with the bytes: written to a temporary file of the same folder and
// renamed over the target, so readers see the old or the new content, never a part.
// The target keeps its permissions; a new file gets rights (before the umask).
// Raises EFCreateError when the file cannot be written.
void WriteFileAtomically(const QString& fileName, const QByteArray& bytes, int rights = 0666);
// Appends the bytes to the file, creating it with rights (before the umask) when missing.
// One write at the end of the file: lines appended by several processes at once never mix.
// Raises EFOpenError when the file cannot be opened, EInOutError when the write fails.
void AppendFileBytes(const QString& fileName, const QByteArray& bytes, int rights = 0666);
