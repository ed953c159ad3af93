#pragma once
// Parsers of key-argument words (output types, alignments, colours, styles, Boolean words,
// field types, column lists and field references) and small helpers for the markup the
// writers produce. Words are compared upper-cased; an unknown word gives the stated default.
#include "platform/data/fieldtypes.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

enum TRepType : qint32 { rtNone, rtExcel, rtReps, rtText, rtHTML, rtRTF, rtHExcel, rtFlatODS };

// One row of the output-type table.
struct TPropRepType {
  const char* Caption;  // UTF-8
  bool CanHideRows;
  bool SecondFlag;  // read by the writers
  const char* TypeWord;
  const char* Ext;
  const char* SheetExt;
  TRepType TypeUsed;       // the writer a type word selects
  const char* FormatWord;  // the RepFormat variable
};
const TPropRepType& PropRepType(TRepType type);

inline constexpr qint32 clNoColor = 536870911;  // 0x1FFFFFFF: no colour

namespace orvReps_Values {

int RepTypeByExt(const QString& ext);  // ".XLS" -> 1 ...; else 0
int AlignByName(const QString& word, int def);
int HAlignByName(const QString& word);
int VAlignByName(const QString& word);
void SetAlignByName(const QString& word, int& hAlign, int& vAlign);
qint32 ColorByName(const QString& word);
int HideKindByName(const QString& word);
int RowKindByName(const QString& word);
int BorderStyleByName(const QString& word);
int StyleAreaByName(const QString& word, int& n);  // 11 when unknown
bool IsTrueWord(const QString& word);
bool IsNotFalseWord(const QString& word);
QString BoolToXmlText(bool value);
bool FieldTypeByLetter(const QString& text, int& fieldType);
int FieldKindByName(const QString& word);
int NavLimitByName(const QString& word);
int SpanKindByWord(const QString& word, bool& hideBorders);
int WrapKindByName(const QString& word);
int SplitKindByWord(const QString& word);
int MmToTwips(const QString& text);  // raises EConvertError for a text that is no integer

// Markup helpers. Positions are 1-based.
bool SkipRtfControl(const QString& text, int& pos);
bool SkipHtmlTag(const QString& text, int& pos);
bool IsRtfPar(const QString& text, int pos, int& next);
bool IsHtmlBr(const QString& text, int pos, int& next);
bool IsRtfDelimiter(QChar c);
bool ExtractAfterMarker(QString& word, const QString& text, int& pos, int& markerPos,
                        const QString& marker);
bool SplitCallSyntax(const QString& text, QString& name, QString& args);
void QuoteScriptValue(QString& result, const QString& value);
void EscapeBrackets(QString& result, const QString& text, QChar escape, bool keepDoubled);
void EscapeExcelFormat(QString& result, const QString& value);
void AddRowOutline(QString& html, int level, bool hidden);
int RowCountOfMarkup(bool flatOds, const QString& text);
bool FindTagAttr(const QString& tag, const QString& attrName, QString& value, int start,
                 int& tagEnd);
// widths: one width per code page 1251 code (256 entries).
qint64 TextWidthByTable(const qint32* widths, const QString& text, int from, int to);
// Splits at each separator, cutting pieces longer than maxLength (no limit when 0 or less).
int SplitToStrings(QStringList* list, const QString& text, const QString& separator,
                   TRepType repType, int maxLength);

// Spreadsheet column names: 1 "A" .. 26 "Z", 27 "AA" ... 703 "AAA"; 0 or less gives "".
void ExcelColName(QString& name, int column);
int ExcelColNum(const QString& letters, int def);

// Column references: [level~][qualifier:][alias.]NAME[?param=value]; alias "A" by default.
bool SplitAliasName(const QString& ref, QString& alias, QString& name);
void ParseFieldRef(const QString& ref, QString& alias, QString& name, QString& qualifier,
                   QString& levelPrefix, QString& paramName, QString& paramValue);
bool SameFieldRef(const QString& a, const QString& b);
bool MatchFieldRef(int scope, int level, const QString& alias, const QString& fieldName,
                   const QString& pattern);
// Position (from 1) of the entry that selects the field, -1 when none; "-ref" entries exclude.
int MatchInList(int scope, int level, const QString& alias, const QString& fieldName,
                const QString& list, bool& include);
bool ParseColOrderItem(QString& entry, int& crossNo, int& from, int& to, int& crossIndex,
                       const QString& list, int& pos);

}  // namespace orvReps_Values

namespace orvReps_Keys {
int RepTypeByName(const QString& word);  // a type word -> the type it selects; else 0
}
