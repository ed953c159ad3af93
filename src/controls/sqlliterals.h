#pragma once
// Turning what a user typed into SQL literals for the search filter: quoted texts, dates as
// 'yyyy-mm-dd' and date-times as 'yyyy-mm-dd hh:nn:ss' (read with the program's date
// settings), and a number check that accepts either decimal separator.
#include <QtCore/QChar>
#include <QtCore/QString>

// quote + s + quote, every quote inside doubled; with backquoteToApostrophe each backquote
// of s first becomes an apostrophe (doubled too when the quote is the apostrophe). The
// result is always one balanced literal.
QString QuoteText(const QString& s, QChar quote, bool backquoteToApostrophe);
// Whether s reads as a date.
bool IsValidDateText(const QString& s);
// s trimmed: with a blank inside it must read as a date and time, otherwise as a date.
bool IsValidDateTimeText(const QString& s);
// The date of s as yyyy-mm-dd, quoted with apostrophes when quote is set; a text that is no
// date raises the conversion error.
QString DateToSQL(const QString& s, bool quote);
// s trimmed: with a blank inside a date and time as 'yyyy-mm-dd hh:nn:ss', else the quoted
// date; raises the conversion error for other texts.
QString DateTimeToSQL(const QString& s);
// True when s is a number, with "." or "," as the decimal separator; otherwise one attention
// box "Неверное числовое значение "<s>"" and false.
bool CheckNumberText(const QString& s);
