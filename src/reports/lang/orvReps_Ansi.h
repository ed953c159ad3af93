#pragma once
// Code page 1251 at the edges of the report language: character codes written in scripts
// ("#233") and the bytes of script files.
#include <QtCore/QByteArray>
#include <QtCore/QString>

namespace orvReps_Ansi {

QChar AnsiChar(int code);  // the character of a code page 1251 code (0..255)
QString AnsiToText(const QByteArray& bytes);
QByteArray TextToAnsi(const QString& text);  // characters without a code become "?"

}  // namespace orvReps_Ansi
