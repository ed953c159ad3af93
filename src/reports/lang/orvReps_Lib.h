#pragma once
// The report generator's shared text routines: search, comparison, case, alignment, line
// breaking and delimited lists. Positions are 1-based; 0 means "not found". Case-insensitive
// routines fold Latin and Cyrillic letters (Ё/ё included). None of them raises.
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/variant.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

namespace orvReps_Lib {

// Case.
QChar UpChar(QChar c);
QString UpperCase(const QString& s);
void UpperCaseInPlace(QString& s);
QString LowerCase(const QString& s);

// Search.
int PosFrom(const QString& sub, const QString& text, int from);
int PosCharFrom(QChar c, const QString& text, int from);
int PosTextFrom(const QString& sub, const QString& text, int from);
int PosInRange(const QString& sub, const QString& text, int from, int to, bool caseSensitive);
int CountText(const QString& sub, const QString& text);
int LastPos(const QString& sub, const QString& text);
int LastPosFrom(int pos, const QString& sub, const QString& text);
bool StrAt(const QString& sub, const QString& text, int pos);
bool TextAt(const QString& sub, const QString& text, int pos);

// Comparison.
bool SameText(const QString& a, const QString& b);
bool SameAsUpper(const QString& upperWord, const QString& text);
bool StartsWithUpper(const QString& upperPrefix, const QString& text);
bool StartsText(const QString& prefix, const QString& text);
int CompareText(const QString& a, const QString& b);
int CompareTextAt(const QString& sub, const QString& text, int pos);

// Fill, alignment, joining. A width of 0 or less gives the empty text.
QString FillStr(const QString& pattern, int width);
QString PadRightTo(const QString& text, int width);
QString PadLeftTo(const QString& text, int width);
QString PadCenterTo(const QString& text, int width);
inline QString AlignLeft(const QString& text, int width) { return PadRightTo(text, width); }
inline QString AlignRight(const QString& text, int width) { return PadLeftTo(text, width); }
inline QString AlignCenter(const QString& text, int width) { return PadCenterTo(text, width); }
QString LayoutThree(const QString& left, const QString& centre, const QString& right, int width);
QString LayoutLeftCenterRight(const QString& left, const QString& centre, const QString& right,
                              int width);
inline QString LayoutLeftCenterRightSep(const QString& l, const QString& c, const QString& r,
                                        int width) {
  return LayoutLeftCenterRight(l, c, r, width);
}
void AddWithBlank(QString& text, const QString& addition);
void AddLine(QString& text, const QString& addition);

// Line breaking.
QString WrapText(const QString& text, const QString& tail, int width);
void TextToLines(QStringList& lines, const QString& text, int width, int maxLines, bool wordWrap);
void CutLine(QString& line, QString& text, int& width, bool breakAtSigns);

// Delimited lists; a delimiter preceded by an odd number of backslashes is escaped.
int BackslashesBefore(const QString& text, int pos);
bool SplitUnescaped(QString& head, QString& rest, QChar delimiter);
bool NextUnescapedItem(QString& item, const QString& text, int& pos, QChar delimiter);
bool NextItem(QString& item, const QString& text, int& pos, QChar delimiter);
// Stores at most maxCount items (no limit when negative); returns the number stored.
int SplitList(QStringList& items, const QString& text, QChar delimiter, int maxCount = -1);
bool ParseIntRange(const QString& text, int& first, int& last);
int FirstBlankOutsideQuotes(const QString& text);
int WordEnd(const QString& text, int from);

// Replacing and trimming.
QString ReplaceAll(const QString& text, const QString& oldText, const QString& newText);
void ReplaceRange(QString& text, const QString& newText, int from, int to);
void TrimInPlace(QString& text);
QString Trimmed(const QString& text);  // bytes up to the blank removed at both ends
bool IsBlank(const QString& text);
QString StrDef(const QString& text, const QString& def);
QString TextBefore(const QString& text, const QString& separator);
inline QString AssignStr(const QString& text) { return text; }
inline QString PathAsIs(const QString& name) { return name; }

// Values. Numbers written with a "." whatever the settings; dates in the run's short format.
void LiteralToVariant(Variant& value, const QString& text);
void TypedTextToVariant(Variant& value, const QString& text, int fieldType, bool trim);
void PrefixedTextToVariant(Variant& value, const QString& text, int fieldType, bool trim);
// Splits like SplitList (at most maxCount items) and converts each by LiteralToVariant.
int SplitListN(const QString& text, std::vector<Variant>& values, int maxCount, QChar delimiter);
QString VarToStrDef(const Variant& value);  // "" for Unassigned and Null
double StrToFloatDot(const QString& text);  // raises EConvertError
QString FloatToStrDot(double value);
void AddFloatDot(QString& text, double value);
QString DurationText(quint32 milliseconds);  // "1 дн 2 ч 5 сек"; "" below one second
QString WeekDayName(TDateTime date, bool longName);

// Settings for date texts of data files: "." and ":" separators with the short and long date
// formats "yyyy/mm/dd hh:nn:ss" (DataFileDateTimeSettings) or "yyyy/mm/dd" (DataFileDateSettings);
// every other setting empty.
const TFormatSettings& DataFileDateTimeSettings();
const TFormatSettings& DataFileDateSettings();

// Fields of data-file records; positions are 1-based byte positions.
QString BufWideStr(const QByteArray& buf, int from, int to);
qint32 BufInt32(const QByteArray& buf, int pos);
quint64 BufUIntLE(const QByteArray& buf, int from, int to);
qint64 BufInt64(const QByteArray& buf, int pos);
double BufDouble(const QByteArray& buf, int pos, double base);
double BufDaySec300(const QByteArray& buf, int pos, double base);  // days and 1/300 seconds
bool BufBool(const QByteArray& buf, int pos);

// Dates typed into report dialogs: "5", "0503", "05.03.21", "5/3" ... With showMessage set
// and a bad input, message receives the text the dialog shows in its error box.
bool ParseDateInput(const QString& text, TDateTime base, bool withDay, bool showMessage,
                    TDateTime& date, QString* message = nullptr);
QString DateFormatsHelp(bool withDay);
bool ValidYMD(int year, int month, int day);  // Gregorian leap years

// Code-page recoding of report texts. A text holds code page 1251 characters; Recode maps
// each through one of six tables (index by RecodeKindByName) and gives the characters of the
// resulting codes. A character without a 1251 code passes unchanged.
int RecodeKindByName(const QString& word);  // unknown words select ANSI2DOS (2)
QString Recode(const QString& text, int tableIndex);

// Files. Texts are read and written as code page 1251 bytes; "/" and a backslash both
// separate folders.
bool LoadFileToStr(QString& text, const QString& fileName);
bool SaveStrToFile(const QString& fileName, const QString& text);  // raises EFCreateError
bool DeleteFiles(const QString& folder, const QString& fileMask, const QString& folderMask,
                 bool removeFolder);
bool FileCanOpen(const QString& fileName, int access);
QString JoinDirPath(const QString& folder, const QString& subFolder);
// A new empty file created exclusively; raises EFCreateError when no name could be taken.
QString CreateUniqueFile(const QString& folder, const QString& subFolder, const QString& prefix,
                         const QString& extension);
QString TempDir();
void ExpandEnvVars(QString& text);
int QuestionMarks(const QString& mask, int& first, int& last);
QString FillQuestionMarks(const QString& mask, quint32 number, int digits);

}  // namespace orvReps_Lib
