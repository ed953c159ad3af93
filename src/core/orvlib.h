#pragma once
// The program's free routines that scripts, screens and reports call everywhere: calendar
// arithmetic and Russian dates, amounts in words, ";"-lists and words, number texts, the
// name-suffix parser of field descriptions, Variant tests, key texts from the clock, file
// helpers, the dialog helpers, the shared bitmap and the cell-text layout.
//
// The field readers, comparers and writers over datasets are in orvlib_fields.h.
#include "platform/rtl/variant.h"

#include <QtCore/QString>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class TObject;
class TStrings;
class TStringList;

namespace orvlib {

// ---- dates ----------------------------------------------------------------------------
TDateTime BeginOfYear(TDateTime date);
TDateTime BeginOfMonth(TDateTime date);
TDateTime EndOfPrevMonth(TDateTime date);
TDateTime EndOfMonth(TDateTime date);
TDateTime BeginOfNextMonth(TDateTime date);
// "март 2024".
QString GetMonthStr(TDateTime date);
// "7 марта 2024 г.".
QString BuildDateString(TDateTime date);
// The default working date, or today when none is set.
TDateTime OrvDefaultDate();
// 0 clears it.
void SetOrvDefaultDate(TDateTime date);

// ---- amounts in words -------------------------------------------------------------------
// Selects the words for the last digit of a group; gkUnknown gives the neuter ones.
enum TGrammarKind { gkFemale, gkMale, gkUnknown };
// The unit words for one, few and many ("рубль", "рубля", "рублей").
using TUnitForms = std::array<QString, 3>;

// "Одна тысяча двести рублей 05". Negative values, values that are not numbers and values of
// 10^12 and more give "".
QString SumInWords(double value, const QString& prefix, const QString& suffix,
                   const TUnitForms& forms, bool withKopecks, TGrammarKind kind);
// The words of a three-digit group followed by the form that fits its last two digits.
QString GroupInWords(int ones, int tens, int hundreds, const std::array<QString, 10>& onesWords,
                     const TUnitForms& forms, bool showWhenZero);
QString TriadInWords(int ones, int tens, int hundreds, const std::array<QString, 10>& onesWords);
// The ones words of a kind, each with its leading blank (index 0 is " ").
const std::array<QString, 10>& OnesWords(TGrammarKind kind);
QString BuildSumString(double value, const QString& prefix, const QString& suffix,
                       const QString& form1, const QString& form2, const QString& form3,
                       bool withKopecks, bool masculine);
QString BuildCurrencyString(double value, bool withKopecks);
// "        1234-70" (15 characters) with dash, else "        1235=".
QString BuildCurrencyNumString(double value, bool dash);

// ---- ";"-lists and words ------------------------------------------------------------------
// The character position of the name as a whole item of the list (case ignored), 0 when absent.
int NamePosInList(const QString& name, const QString& list);
bool NameInList(const QString& name, const QString& list);
QString AppendListItem(const QString& list, const QString& item, bool takeList, bool takeItem);
// The index-th item (from 0); "" past the end; a negative index raises the list index error.
QString ListItemAt(const QString& list, int index);
// The text from position up to the separator character; position moves past it.
QString NextToken(const QString& text, const QString& separator, qsizetype& position);
void SplitToStrings(TStrings* list, const QString& text, const QString& separator);
std::unique_ptr<TStringList> SplitString(const QString& text, const QString& separator);
// The index-th word (from 1) of a text split at the separator.
QString GetWord(const QString& text, const QString& separator, int index);
// The part after the last occurrence of the separator; the whole text when there is none.
QString TextAfter(const QString& text, const QString& separator);
// "Иванов И.П." from "Иванов Иван Петрович".
QString FName2Name(const QString& fullName);

// The texts of the node and its parents, root first, each followed by the separator. Node
// is any tree node with Text() and Parent().
template <class TNode>
QString NodePath(const TNode* node, const QString& separator) {
  QString path;
  for (; node != nullptr; node = node->Parent()) path = node->Text() + separator + path;
  return path;
}

// ---- number texts ------------------------------------------------------------------------
QString IntToZeroPadded(qint64 value, int width);
// The integer text plus one, padded with "0" in front to at least the text's length.
QString IncNumberText(const QString& text);
bool IsNumberText(const QString& text);
// 0..9 as "0".."9", 10 and above as "A"...
QChar DigitChar(int digit);

// ---- name-suffix parser of field descriptions ("-CB12": centred, bold, size 12) -----------
enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = unsigned;  // bit (1 << TFontStyle)
enum TAlignment { taLeftJustify, taRightJustify, taCenter };
enum TTextLayout { tlTop, tlCenter, tlBottom };

int TrailingNumber(const QString& text, qsizetype& length, int def);
TFontStyles ParseFontStyleLetters(const QString& text, qsizetype& length);
TAlignment ParseAlignLetter(const QString& text, qsizetype length);

// ---- Variants ------------------------------------------------------------------------------
void ClearVar(Variant& value);
void ClearVars(std::vector<Variant>& values);
bool VarIsEmptyOrNull(const Variant& value);
// For an array: every element clear or Null (an array without elements too).
bool VarIsEmptyKey(const Variant& value);
// Raises the Variant conversion error when the empty or Null side cannot take the other's type.
void CheckVarConvertible(const Variant& a, const Variant& b);
// -1, 0 or 1 with a tolerance of 0.0001.
int CompareFloat(double a, double b);
// Exp(Ln(value) * power); raises EInvalidOp where that has no finite value.
double SqrPow(double value, double power);

// ---- key texts from the clock ----------------------------------------------------------------
// Form 0: the time in fixed notation, 20 characters; 16: the double's bytes in hexadecimal;
// any other: its four 16-bit words as three base-41 digits each.
QString TimeStampKey(int form);

// ---- files and dialogs -----------------------------------------------------------------------
QString ProgramFolder();
QString ExpandAppFileName(const QString& fileName);
// The chosen file, or the chosen files as lines; "" when cancelled.
QString OpenFileDialog(const QString& filter, int options);
QString SelectFile(const QString& filter);
QString SelectFiles(const QString& filter);
bool DlgYN(const QString& question);

// True without an action; else the action updates itself and answers Enabled and Visible
// (ActionVisible: Visible alone). TAction is any action with Update(), Enabled(), Visible().
template <class TAction>
bool ActionAvailable(TAction* action) {
  if (action == nullptr) return true;
  action->Update();
  return action->Enabled() && action->Visible();
}
template <class TAction>
bool ActionVisible(TAction* action) {
  if (action == nullptr) return true;
  action->Update();
  return action->Visible();
}

// Objects the script roots hold and release around a change of the current node.
inline void NoOp(const void*) {}

// ---- the shared off-screen bitmap of flicker-free cell painting ---------------------------
// The first acquire creates it through the factory the screens install, the last release
// frees it. Without a factory there is no bitmap, only the count.
using TBitmapFactory = std::function<TObject*()>;
void SetSharedBitmapFactory(TBitmapFactory factory);
void AcquireSharedBitmap();
void ReleaseSharedBitmap();
TObject* SharedBitmap();
int SharedBitmapUsers();

// ---- cell text -------------------------------------------------------------------------------
struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  bool operator==(const TRect&) const = default;
};
// Where a cell text of that size goes inside the cell (the grid's margin applied); an empty
// rectangle means nothing is drawn.
TRect CellTextRect(TRect cell, int textWidth, int textHeight, TAlignment alignment,
                   TTextLayout layout);

}  // namespace orvlib
