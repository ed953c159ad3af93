#include "md5.h"

#include "codepage.h"

#include <QtCore/QCryptographicHash>

QString MD5Hex(const QString& text) { return MD5HexOfBytes(ToAnsi(text)); }

QString MD5HexOfBytes(const QByteArray& bytes) {
  return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}
