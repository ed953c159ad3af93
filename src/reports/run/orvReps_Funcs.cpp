// Report formula functions that need no run: numbers, dates, words and files.
#include "core/orvlib.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Funcs_p.h"

#include <cfenv>
#include <cmath>

namespace {

const Variant& At(const VariantArgs& a, size_t i) {
  static const Variant empty;
  return i < a.size() ? a[i] : empty;
}

QString Text(const VariantArgs& a, size_t i) { return orvReps_Lib::VarToStrDef(At(a, i)); }

bool Missing(const Variant& v) { return v.IsEmpty() || v.IsNull(); }

// Year, month and day of a date argument; zeros for Empty and Null.
std::array<int, 3> Ymd(const Variant& v) {
  std::array<int, 3> d{0, 0, 0};
  if (!Missing(v)) DecodeDate(v.ToDateTime(), d[0], d[1], d[2]);
  return d;
}

// The word from 1-based `start` to the next separator or the end.
QString WordFrom(const QString& list, int start, const QString& sep) {
  const int end = sep.isEmpty() ? 0 : orvReps_Lib::PosFrom(sep, list, start);
  return end > 0 ? list.mid(start - 1, end - start) : list.mid(start - 1);
}

}  // namespace

namespace orvReps_Funcs {

void FnLeadZero(Variant& r, TObject*, VariantArgs& a) {
  const int width = At(a, 0).ToInt();
  QString s = QString::number(At(a, 1).ToInt());
  if (s.size() < width) s.prepend(QString(width - s.size(), QLatin1Char('0')));
  r = Variant(s);
}

void FnInvDate(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(FormatDateTime(QStringLiteral("yyyy.mm.dd"), StrToDate(Text(a, 0))));
}

void FnGetDay(Variant& r, TObject*, VariantArgs& a) { r = Variant(Ymd(At(a, 0))[2]); }
void FnGetMonth(Variant& r, TObject*, VariantArgs& a) { r = Variant(Ymd(At(a, 0))[1]); }
void FnGetYear(Variant& r, TObject*, VariantArgs& a) { r = Variant(Ymd(At(a, 0))[0]); }

void FnGetDifMonth(Variant& r, TObject*, VariantArgs& a) {
  const auto d1 = Ymd(At(a, 0)), d2 = Ymd(At(a, 1));
  r = Variant((d2[0] - d1[0]) * 12 + d2[1] - d1[1]);
}

void FnDayOfYear(Variant& r, TObject*, VariantArgs& a) {
  const Variant& v = At(a, 0);
  if (Missing(v)) {
    r = Variant(0);
    return;
  }
  const double day = std::floor(v.ToDateTime());
  r = Variant(int(day - EncodeDate(Ymd(v)[0], 1, 1)) + 1);
}

void FnIfIs(Variant& r, TObject*, VariantArgs& a) {
  r = Text(a, 0) == Text(a, 1) ? At(a, 2) : At(a, 0);
}

void FnIsNull(Variant& r, TObject*, VariantArgs& a) { r = Missing(At(a, 0)) ? At(a, 1) : At(a, 0); }

void FnOdd(Variant& r, TObject*, VariantArgs& a) { r = Variant(At(a, 0).ToInt() % 2 != 0); }

void FnSign(Variant& r, TObject*, VariantArgs& a) {
  const double x = At(a, 0).ToDouble();
  r = Variant(x > 0 ? 1 : x < 0 ? -1 : 0);
}

void FnBuildSumString(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvlib::BuildSumString(At(a, 0).ToDouble(), Text(a, 1), Text(a, 2), Text(a, 3),
                                     Text(a, 4), Text(a, 5), At(a, 6).ToBool(), At(a, 7).ToBool()));
}

void FnReplace(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvReps_Lib::ReplaceAll(Text(a, 0), Text(a, 1), Text(a, 2)));
}

void FnGetNextWord(Variant& r, TObject*, VariantArgs& a) {
  const QString list = Text(a, 0), prev = Text(a, 1), sep = Text(a, 2);
  int start = 1;
  if (!prev.isEmpty()) {
    const int found = orvReps_Lib::PosFrom(sep + prev + sep, sep + list, 1);
    if (found <= 0) {
      r = Variant(QString());
      return;
    }
    start = found + prev.size() + sep.size();
  }
  r = Variant(WordFrom(list, start, sep));
}

void FnGetWordByOrder(Variant& r, TObject*, VariantArgs& a) {
  const QString list = Text(a, 0), sep = Text(a, 2);
  const int index = At(a, 1).ToInt();
  r = Variant(QString());
  if (index < 1 || (sep.isEmpty() && index > 1)) return;
  int start = 1;
  for (int i = 1; i < index; ++i) {
    const int next = orvReps_Lib::PosFrom(sep, list, start);
    if (next <= 0) return;
    start = next + sep.size();
  }
  r = Variant(WordFrom(list, start, sep));
}

void FnTrunc(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(qint64(std::trunc(At(a, 0).ToDouble())));
}

void FnRound(Variant& r, TObject*, VariantArgs& a) {
  // Halves go to the even neighbour.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double x = std::nearbyint(At(a, 0).ToDouble());
  std::fesetround(saved);
  r = Variant(qint64(x));
}

void FnIntToBinInt(Variant& r, TObject*, VariantArgs& a) {
  const quint32 v = quint32(At(a, 0).ToInt());
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = char((v >> (24 - 8 * i)) & 0xFF);
  r = Variant(FromAnsi(bytes));
}

void FnFileExists(Variant& r, TObject*, VariantArgs& a) { r = Variant(FileExists(Text(a, 0))); }
void FnDirectoryExists(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(DirectoryExists(Text(a, 0)));
}
void FnExtractFilePath(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ExtractFilePath(Text(a, 0)));
}
void FnExtractFileName(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ExtractFileName(Text(a, 0)));
}
void FnFileAccess(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvReps_Lib::FileCanOpen(Text(a, 0), At(a, 1).ToInt()));
}

}  // namespace orvReps_Funcs
