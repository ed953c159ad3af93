// Amounts in Russian words.
#include "core/orvlib.h"

#include "platform/rtl/stringfuncs.h"
#include "platform/rtl/sysutils.h"

#include <cmath>

namespace orvlib {

namespace {

using TWords10 = std::array<QString, 10>;

const TWords10& Teens() {
  static const TWords10 words = {" десять",       " одиннадцать", " двенадцать",  " тринадцать",
                                 " четырнадцать", " пятнадцать",  " шестнадцать", " семнадцать",
                                 " восемнадцать", " девятнадцать"};
  return words;
}

const TWords10& Tens() {
  static const TWords10 words = {"",
                                 "",
                                 " двадцать",
                                 " тридцать",
                                 " сорок",
                                 " пятьдесят",
                                 " шестьдесят",
                                 " семьдесят",
                                 " восемьдесят",
                                 " девяносто"};
  return words;
}

const TWords10& Hundreds() {
  static const TWords10 words = {"",         " сто",      " двести",  " триста",    " четыреста",
                                 " пятьсот", " шестьсот", " семьсот", " восемьсот", " девятьсот"};
  return words;
}

const TUnitForms& Thousands() {
  static const TUnitForms forms = {" тысяча", " тысячи", " тысяч"};
  return forms;
}

const TUnitForms& Millions() {
  static const TUnitForms forms = {" миллион", " миллиона", " миллионов"};
  return forms;
}

const TUnitForms& Milliards() {
  static const TUnitForms forms = {" миллиард", " миллиарда", " миллиардов"};
  return forms;
}

// Fixed notation with the "." point whatever the settings in force.
QString FixedText(double value, int decimals) {
  static const TFormatSettings settings = [] {
    TFormatSettings s = ProgramFormatSettings();
    s.DecimalSeparator = QLatin1Char('.');
    return s;
  }();
  return FloatToStrF(value, ffFixed, 18, decimals, settings);
}

int DigitOf(QChar c) {
  return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
}

}  // namespace

const std::array<QString, 10>& OnesWords(TGrammarKind kind) {
  static const TWords10 female = {" ",     " одна",  " две",  " три",    " четыре",
                                  " пять", " шесть", " семь", " восемь", " девять"};
  static const TWords10 male = {" ",     " один",  " два",  " три",    " четыре",
                                " пять", " шесть", " семь", " восемь", " девять"};
  static const TWords10 neuter = {" ",     " одно",  " два",  " три",    " четыре",
                                  " пять", " шесть", " семь", " восемь", " девять"};
  switch (kind) {
    case gkFemale: return female;
    case gkMale: return male;
    default: return neuter;
  }
}

QString TriadInWords(int ones, int tens, int hundreds, const std::array<QString, 10>& onesWords) {
  QString r = Hundreds()[size_t(hundreds % 10)];
  if (tens == 1) {
    r += Teens()[size_t(ones % 10)];
  } else {
    if (tens >= 2) r += Tens()[size_t(tens % 10)];
    r += onesWords[size_t(ones % 10)];
  }
  return Trim(r);
}

QString GroupInWords(int ones, int tens, int hundreds, const std::array<QString, 10>& onesWords,
                     const TUnitForms& forms, bool showWhenZero) {
  const QString words = TriadInWords(ones, tens, hundreds, onesWords);
  if (ones == 0 && tens == 0 && hundreds == 0)
    return showWhenZero ? Trim(words + forms[2]) : Trim(words);
  const QString& form = (tens == 1 || ones == 0 || ones >= 5) ? forms[2]
                        : ones == 1                           ? forms[0]
                                                              : forms[1];
  return Trim(words + form);
}

QString SumInWords(double value, const QString& prefix, const QString& suffix,
                   const TUnitForms& forms, bool withKopecks, TGrammarKind kind) {
  if (!(value >= 0) || !std::isfinite(value)) return QString();
  QString s = FixedText(value, 2);
  // The whole part has room for twelve digits; larger amounts have no words here.
  if (s.size() > 15) return QString();
  s = QString(15 - s.size(), QLatin1Char(' ')) + s;
  int d[12];
  for (int i = 0; i < 12; ++i) d[i] = DigitOf(s[i]);
  const QString kopecks = s.mid(13, 2);

  const QString milliards = GroupInWords(d[2], d[1], d[0], OnesWords(gkMale), Milliards(), false);
  const QString millions = GroupInWords(d[5], d[4], d[3], OnesWords(gkMale), Millions(), false);
  const QString thousands = GroupInWords(d[8], d[7], d[6], OnesWords(gkFemale), Thousands(), false);
  const QString units = GroupInWords(d[11], d[10], d[9], OnesWords(kind), forms, true);
  // An empty group keeps its joining blank.
  QString words = Trim(milliards + QLatin1Char(' ') + millions + QLatin1Char(' ') + thousands +
                       QLatin1Char(' ') + units) +
                  QLatin1Char(' ');
  words[0] = AnsiUpperChar(words[0]);

  return Trim(prefix + words + suffix + (withKopecks ? kopecks : QString()));
}

QString BuildSumString(double value, const QString& prefix, const QString& suffix,
                       const QString& form1, const QString& form2, const QString& form3,
                       bool withKopecks, bool masculine) {
  return SumInWords(value, prefix, suffix, {form1, form2, form3}, withKopecks,
                    masculine ? gkMale : gkFemale);
}

QString BuildCurrencyString(double value, bool withKopecks) {
  if (withKopecks)
    return SumInWords(value, QStringLiteral("Руб. "), QStringLiteral("Коп. "), TUnitForms(), true,
                      gkMale);
  return SumInWords(value, QString(), QString(),
                    {QStringLiteral(" рубль"), QStringLiteral(" рубля"), QStringLiteral(" рублей")},
                    false, gkMale);
}

QString BuildCurrencyNumString(double value, bool dash) {
  if (dash) {
    QString s = FixedText(value, 2);
    s = QString(qMax<qsizetype>(0, 15 - s.size()), QLatin1Char(' ')) + s;
    const qsizetype point = s.lastIndexOf(QLatin1Char('.'));
    if (point >= 0) s[point] = QLatin1Char('-');
    return s;
  }
  QString s = FixedText(value, 0);
  return QString(qMax<qsizetype>(0, 12 - s.size()), QLatin1Char(' ')) + s + QLatin1Char('=');
}

}  // namespace orvlib
