// Report formula functions that need no run: numbers, dates, words and files.
#include "core/orvlib.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/fileutils.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Runner.h"

#include <cfenv>
#include <cmath>

namespace {

const Variant& At(const VariantArgs& a, size_t i) {
  static const Variant empty;
  return i < a.size() ? a[i] : empty;
}

QString Text(const VariantArgs& a, size_t i) { return orvReps_Lib::VarToStrDef(At(a, i)); }

bool Missing(const Variant& v) { return v.IsEmpty() || v.IsNull(); }

void LeadZero(Variant& r, TObject*, VariantArgs& a) {
  const int width = At(a, 0).ToInt();
  QString s = QString::number(At(a, 1).ToInt());
  if (s.size() < width) s.prepend(QString(width - s.size(), QLatin1Char('0')));
  r = Variant(s);
}

void InvDate(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(FormatDateTime(QStringLiteral("yyyy.mm.dd"), StrToDate(Text(a, 0))));
}

// Year, month and day of a date argument; zeros for Empty and Null.
std::array<int, 3> Ymd(const Variant& v) {
  std::array<int, 3> d{0, 0, 0};
  if (!Missing(v)) DecodeDate(v.ToDateTime(), d[0], d[1], d[2]);
  return d;
}

template <int Part>
void DatePart(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(Ymd(At(a, 0))[Part]);
}

void GetDifMonth(Variant& r, TObject*, VariantArgs& a) {
  const auto d1 = Ymd(At(a, 0)), d2 = Ymd(At(a, 1));
  r = Variant((d2[0] - d1[0]) * 12 + d2[1] - d1[1]);
}

void DayOfYear(Variant& r, TObject*, VariantArgs& a) {
  const Variant& v = At(a, 0);
  if (Missing(v)) {
    r = Variant(0);
    return;
  }
  const double day = std::floor(v.ToDateTime());
  r = Variant(int(day - EncodeDate(Ymd(v)[0], 1, 1)) + 1);
}

void IfIs(Variant& r, TObject*, VariantArgs& a) {
  r = Text(a, 0) == Text(a, 1) ? At(a, 2) : At(a, 0);
}

void IsNullFn(Variant& r, TObject*, VariantArgs& a) { r = Missing(At(a, 0)) ? At(a, 1) : At(a, 0); }

void Odd(Variant& r, TObject*, VariantArgs& a) { r = Variant(At(a, 0).ToInt() % 2 != 0); }

void Sign(Variant& r, TObject*, VariantArgs& a) {
  const double x = At(a, 0).ToDouble();
  r = Variant(x > 0 ? 1 : x < 0 ? -1 : 0);
}

void BuildSumStringFn(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvlib::BuildSumString(At(a, 0).ToDouble(), Text(a, 1), Text(a, 2), Text(a, 3),
                                     Text(a, 4), Text(a, 5), At(a, 6).ToBool(), At(a, 7).ToBool()));
}

void ReplaceFn(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvReps_Lib::ReplaceAll(Text(a, 0), Text(a, 1), Text(a, 2)));
}

// The word from 1-based `start` to the next separator or the end.
QString WordFrom(const QString& list, int start, const QString& sep) {
  const int end = sep.isEmpty() ? 0 : orvReps_Lib::PosFrom(sep, list, start);
  return end > 0 ? list.mid(start - 1, end - start) : list.mid(start - 1);
}

void GetNextWord(Variant& r, TObject*, VariantArgs& a) {
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

void GetWordByOrder(Variant& r, TObject*, VariantArgs& a) {
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

void Trunc(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(qint64(std::trunc(At(a, 0).ToDouble())));
}

void Round(Variant& r, TObject*, VariantArgs& a) {
  // Halves go to the even neighbour.
  const int saved = std::fegetround();
  std::fesetround(FE_TONEAREST);
  const double x = std::nearbyint(At(a, 0).ToDouble());
  std::fesetround(saved);
  r = Variant(qint64(x));
}

void IntToBinInt(Variant& r, TObject*, VariantArgs& a) {
  const quint32 v = quint32(At(a, 0).ToInt());
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = char((v >> (24 - 8 * i)) & 0xFF);
  r = Variant(FromAnsi(bytes));
}

void FileExistsFn(Variant& r, TObject*, VariantArgs& a) { r = Variant(FileExists(Text(a, 0))); }
void DirectoryExistsFn(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(DirectoryExists(Text(a, 0)));
}
void ExtractFilePathFn(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ExtractFilePath(Text(a, 0)));
}
void ExtractFileNameFn(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(ExtractFileName(Text(a, 0)));
}
void FileAccess(Variant& r, TObject*, VariantArgs& a) {
  r = Variant(orvReps_Lib::FileCanOpen(Text(a, 0), At(a, 1).ToInt()));
}

const orvReps_Run::TFuncRow kFuncs[] = {
    {"LeadZero", LeadZero, "00",
     "Reps-источник. (<кол-во знаков>, <число>). Целое число с ведущими нулями до заданной "
     "ширины"},
    {"InvDate", InvDate, "0",
     "Reps-источник. ('<дата в формате дд.мм.гггг>'). Дата в виде 'гггг.мм.дд'"},
    {"GetDay", DatePart<2>, "0", "Reps-источник. (<дата>). День даты; 0 для пустого значения"},
    {"GetMonth", DatePart<1>, "0", "Reps-источник. (<дата>). Месяц даты; 0 для пустого значения"},
    {"GetYear", DatePart<0>, "0", "Reps-источник. (<дата>). Год даты; 0 для пустого значения"},
    {"GetDifMonth", GetDifMonth, "00",
     "Reps-источник. (<дата1>, <дата2>). Разница в месяцах без учёта дней"},
    {"DayOfYear", DayOfYear, "0", "Reps-источник. (<дата>). Номер дня в году"},
    {"IfIs", IfIs, "000",
     "Reps-источник. (<значение>, <значение для сравнения>, <подстановка>). Подстановка, если "
     "значения совпадают, иначе значение"},
    {"IsNull", IsNullFn, "00",
     "Reps-источник. (<значение>,<подстановка>). Если <значение> является Null или Empty, то "
     "результат - <подстановка>, иначе результат - <значение>."},
    {"Odd", Odd, "0", "Reps-источник. (<целое число>). Нечётное ли число"},
    {"Sign", Sign, "0", "Reps-источник. (<число>). Знак числа: -1, 0 или 1"},
    {"BuildSumString", BuildSumStringFn, "00000000",
     "Reps-источник. (<сумма>, '<Руб.>', '<Коп.>', '<рубль>', '<рубля>', '<рублей>', <выводить "
     "копейки>, <мужской род>). Сумма прописью"},
    {"Replace", ReplaceFn, "000",
     "Reps-источник. (<строка>, <найти>, <заменить>). Замена всех вхождений"},
    {"GetNextWord", GetNextWord, "000",
     "Reps-источник. (<список>, <предыдущее слово>, <разделитель>). Слово списка после "
     "предыдущего"},
    {"GetWordByOrder", GetWordByOrder, "000",
     "Reps-источник. (<список>, <индекс слова>, <разделитель>). Слово списка по номеру"},
    {"Trunc", Trunc, "0", "Reps-источник. (<число>). Целая часть числа"},
    {"Round", Round, "0", "Reps-источник. (<число>). Ближайшее целое; половины к чётному соседу"},
    {"IntToBinInt", IntToBinInt, "0",
     "Reps-источник. (<целое число>). Четыре байта целого, старший первым"},
    {"FileExists", FileExistsFn, "0", "Reps-источник. (<имя файла>). Есть ли файл"},
    {"DirectoryExists", DirectoryExistsFn, "0", "Reps-источник. (<имя каталога>). Есть ли каталог"},
    {"ExtractFilePath", ExtractFilePathFn, "0",
     "Reps-источник. (<имя файла>). Каталог файла с последним разделителем"},
    {"ExtractFileName", ExtractFileNameFn, "0",
     "Reps-источник. (<имя файла>). Имя и расширение файла"},
    {"FileAccess", FileAccess, "00",
     "Reps-источник. (<имя файла>, <флаг доступа>). Можно ли открыть файл: 0 или 1 чтение, 2 "
     "запись, 3 чтение и запись"},
};

}  // namespace

namespace orvReps_Run {

std::span<const TFuncRow> IndependentFuncs() { return kFuncs; }

}  // namespace orvReps_Run
