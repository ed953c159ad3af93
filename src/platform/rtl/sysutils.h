#pragma once
// Numbers to and from text with the rules scripts and reports rely on: integer and float
// conversion, Currency, Booleans, the general float formats and the pattern formatters.
// Every routine reads FormatSettings(); the overloads that take a TFormatSettings serve
// callers that run on their own copy of the settings (reports).
#include "currency.h"
#include "formatsettings.h"

#include <QtCore/QString>

#include <initializer_list>
#include <vector>

struct TVarRec;  // varrec.h; include it to build argument lists
using TVarRecs = std::vector<TVarRec>;

// Integers. StrToInt and StrToInt64 accept leading blanks, a sign and a "$", "x" or "0x"
// hexadecimal prefix; hexadecimal texts may fill the whole width (StrToInt("$FFFFFFFF")
// is -1). Bad texts raise EConvertError "\"%s\" is an invalid integer".
QString IntToStr(qint64 value);
// Upper-case hexadecimal with at least `digits` digits. A negative value that fits in 32
// bits shows as its 32-bit two's complement, as the Integer overload did.
QString IntToHex(qint64 value, int digits);
int StrToInt(const QString& text);
int StrToIntDef(const QString& text, int defaultValue);
bool TryStrToInt(const QString& text, int& value);
qint64 StrToInt64(const QString& text);
qint64 StrToInt64Def(const QString& text, qint64 defaultValue);
bool TryStrToInt64(const QString& text, qint64& value);

// Floats: optional blanks around, a sign, digits with the decimal separator of the
// settings, an optional exponent. A value beyond the double range is invalid; one below it
// is 0. Bad texts raise EConvertError "\"%s\" is an invalid float".
double StrToFloat(const QString& text);
double StrToFloat(const QString& text, const TFormatSettings& settings);
double StrToFloatDef(const QString& text, double defaultValue);
bool TryStrToFloat(const QString& text, double& value);
bool TryStrToFloat(const QString& text, double& value, const TFormatSettings& settings);

// Pascal's Val: `code` is 0 on success, else the 1-based position of the first character
// that does not fit (the length plus one when the text ends too early). Floats use ".".
void Val(const QString& text, int& value, int& code);
void Val(const QString& text, qint64& value, int& code);
void Val(const QString& text, double& value, int& code);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// General format with 15 significant digits: "0.1", "1E15", "1E-5", "NAN", "INF".
QString FloatToStr(double value);
QString FloatToStr(double value, const TFormatSettings& settings);
// ffGeneral/ffExponent: `precision` significant digits, `digits` = least exponent digits.
// ffFixed/ffNumber/ffCurrency: `digits` decimals; scientific when the integer part has more
// than `precision` digits.
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
QString FloatToStrF(double value, TFloatFormat format, int precision, int digits,
                    const TFormatSettings& settings);

QString CurrToStr(Currency value);
QString CurrToStr(Currency value, const TFormatSettings& settings);
QString CurrToStrF(Currency value, TFloatFormat format, int digits);
QString CurrToStrF(Currency value, TFloatFormat format, int digits,
                   const TFormatSettings& settings);
// Decimal texts become Currency exactly; digits beyond the fourth decimal round half to even.
Currency StrToCurr(const QString& text);
Currency StrToCurr(const QString& text, const TFormatSettings& settings);
Currency StrToCurrDef(const QString& text, Currency defaultValue);
bool TryStrToCurr(const QString& text, Currency& value);
bool TryStrToCurr(const QString& text, Currency& value, const TFormatSettings& settings);

// "-1"/"0", or "True"/"False" with useBoolStrs.
QString BoolToStr(bool value, bool useBoolStrs = false);
// "True"/"False" in any case, or a number (non-zero is True). Bad texts raise EConvertError
// "\"%s\" is not a valid boolean value".
bool StrToBool(const QString& text);
bool StrToBoolDef(const QString& text, bool defaultValue);
bool TryStrToBool(const QString& text, bool& value);

// Number patterns: "0" digit, "#" optional digit, "." decimal point, "," thousands grouping
// (with the thousand separator of the settings), "E+"/"E-"/"e+"/"e-" scientific with the
// zeros after it as least exponent digits, '...' and "..." literals, and up to three
// sections "positive;negative;zero". An empty pattern gives FloatToStr. Ties round half
// away from zero.
QString FormatFloat(const QString& format, double value);
QString FormatFloat(const QString& format, double value, const TFormatSettings& settings);
QString FormatCurr(const QString& format, Currency value);
QString FormatCurr(const QString& format, Currency value, const TFormatSettings& settings);

// Format: "%" [index ":"] ["-"] [width] ["." precision] type, with "*" for a number taken
// from the arguments and "%%" for a percent sign.
//   d u x  integers (u and x show negative 32-bit values as their unsigned form);
//          precision = least digits
//   e f g n m  floats and Currency: e (precision = significant digits, 15), f fixed,
//          n grouped, m money (precision = decimals: 2, 2, CurrencyDecimals), g general (15)
//   s      strings and characters; precision = most characters
//   p      pointers
// Variant arguments convert; any other mismatch raises EConvertError
// "Format '%s' invalid or incompatible with argument", a missing argument
// "No argument for format '%s'".
QString Format(const QString& format, const TVarRecs& args);
QString Format(const QString& format, const TVarRecs& args, const TFormatSettings& settings);
QString Format(const QString& format, std::initializer_list<TVarRec> args);

// Whole parts. Round takes halves to the even neighbour (Round(2.5) = 2); Round and Trunc
// raise EInvalidOp for NaN, infinities and values beyond 64 bits.
qint64 Round(double value);
qint64 Trunc(double value);
double Int(double value);   // the integer part, sign kept
double Frac(double value);  // value - Int(value), sign kept
