#pragma once
// The one converter between the program's QString text and the 8-bit code pages that files,
// peers and character codes use. Code page 1251 ("ANSI") is the program's own; 866 (the OEM
// page), KOI8-R and KOI8-U serve data files and report outputs; UTF-8 is here so callers can
// choose any of them through one value.
//
// Every 8-bit page decodes all 256 bytes (1251's unassigned 0x98 becomes U+0098 and encodes
// back to 0x98, so every byte round-trips). Encoding writes "?" for a character that the page
// cannot carry: one "?" per character, a surrogate pair included. Callers that can carry such
// a character otherwise (character references, RTF \u) ask CharCode first.
#include <QtCore/QByteArray>
#include <QtCore/QString>

enum class TCodePage { Cp1251, Cp866, Koi8R, Koi8U, Utf8 };

QString FromCodePage(const QByteArray& bytes, TCodePage page);
QByteArray ToCodePage(const QString& text, TCodePage page);

// Code page 1251, the program's default at every edge.
QString FromAnsi(const QByteArray& bytes);
QByteArray ToAnsi(const QString& text);

// The character of one byte of an 8-bit page (Utf8 decodes bytes below 0x80 only; others
// give U+FFFD).
QChar CodePageChar(TCodePage page, uchar code);
// The byte of a character in an 8-bit page, or -1 when the page has none (for Utf8: the
// character's code when below 0x80, else -1).
int CharCode(QChar c, TCodePage page);
inline bool HasCharCode(QChar c, TCodePage page) { return CharCode(c, page) >= 0; }

// Character codes as scripts and reports see them: code page 1251.
// Chr takes the low byte of the code (Chr(256 + 65) is "A"): scripts rely on the wrap.
QChar Chr(int code);
// A character without a 1251 code answers 63, the "?" it becomes in 8-bit output.
int Ord(QChar c);
