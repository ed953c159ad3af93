#pragma once
// MD5 digests as 32 lower-case hexadecimal digits.
#include <QtCore/QByteArray>
#include <QtCore/QString>

// The digest of the text's code-page-1251 bytes (characters without a code count as "?"),
// so that digests match those stored from 8-bit texts.
QString MD5Hex(const QString& text);
QString MD5HexOfBytes(const QByteArray& bytes);
