// The report formula functions in their registration order: name, handler, parameter kinds
// (one digit per parameter, "2" for none) and help text.
#include "reports/run/orvReps_Funcs_p.h"
#include "reports/run/orvReps_Runner.h"

namespace {

using namespace orvReps_Funcs;

// Help texts begin with "Reps. " for functions that read the run and "Reps-источник. " for
// those that do not, followed by the argument list.
#define REPS "Reps. "
#define SRC "Reps-источник. "

const orvReps_Run::TFuncRow kFuncs[] = {
    {"Sum", FnSum, "0",
     REPS "('<имя поля>'). Сумма всех полей в строке таблицы с именем <имя поля>"},
    {"NotNullCount", FnNotNullCount, "0",
     REPS "('<имя поля>'). Количество полей строки с этим именем, значение которых не Null"},
    {"NullCount", FnNullCount, "0",
     REPS "('<имя поля>'). Количество полей строки с этим именем, значение которых Null"},
    {"EmptyCount", FnEmptyCount, "0",
     REPS "('<имя поля>'). Количество полей строки с этим именем, в которые не попало ни одной "
          "записи"},
    {"CheckEqualCols", FnCheckEqualCols, "000",
     REPS "('<имя поля>', <пустые>, <упакованные>). Все поля строки с этим именем равны"},
    {"CheckEqualCurCols", FnCheckEqualCurCols, "00",
     REPS "(<пустые>, <упакованные>). Все поля того же поля данных, что и текущее, равны"},
    {"GetEqualMassCurCols", FnGetEqualMassCurCols, "00",
     REPS "(<пустые>, <упакованные>). Доля полей того же поля данных, равных текущему"},
    {"CheckMaxEqualCurCols", FnCheckMaxEqualCurCols, "00",
     REPS "(<пустые>, <упакованные>). Значение текущего поля встречается чаще всех других"},
    {"FieldVal", FnFieldVal, "0",
     REPS "('<имя поля>'). Текущее значение поля источника данных: 'псевдоним.поле' или поле "
          "источника A"},
    {"ColVal", FnColVal, "0", REPS "('<имя поля>'). Значение первого поля строки с этим именем"},
    {"CurColVal", FnCurColVal, "2", REPS "(). Значение текущего поля"},
    {"ColString", FnColString, "00",
     REPS "('<имя поля>', <номер группировки>). Текст поля, как он выводится: -1 тело, 0 и "
          "больше итоги группировки"},
    {"CurColString", FnCurColString, "0",
     REPS "(<номер группировки>). Текст текущего поля, как он выводится"},
    {"BodyColVal", FnBodyColVal, "0",
     REPS "('<имя поля>'). Значение поля с этим именем в случае Cross текущего поля"},
    {"DisplaceBodyColVal", FnDisplaceBodyColVal, "00",
     REPS "(<смещение>, '<имя поля>'). Значение поля с этим именем в случае Cross, отстоящем от "
          "текущего на смещение"},
    {"ColValByHeadVal", FnColValByHeadVal, "000",
     REPS "(<номер>, <Head-значение>, '<имя поля>'). Значение поля в случае Cross с этим "
          "Head-значением"},
    {"CurRowCount", FnCurRowCount, "2", REPS "(). Количество всех строк текущей группы"},
    {"CurRowExistCount", FnCurRowExistCount, "2",
     REPS "(). Количество неудалённых строк текущей группы"},
    {"CurRowVisibleCount", FnCurRowVisibleCount, "2",
     REPS "(). Количество видимых строк текущей группы"},
    {"CurLevel", FnCurLevel, "2", REPS "(). Номер текущей группировки"},
    {"CurColName", FnCurColName, "2", REPS "(). Имя текущего поля"},
    {"CurColIsNull", FnCurColIsNull, "2", REPS "(). Значение текущего поля - Null"},
    {"CurColIsEmpty", FnCurColIsEmpty, "2",
     REPS "(). В текущее поле Cross не попало ни одной записи"},
    {"CurColValPrior", FnCurColValPrior, "2",
     REPS "(). Значение текущего поля в предыдущей записи"},
    {"CurColValNext", FnCurColValNext, "2", REPS "(). Значение текущего поля в следующей записи"},
    {"CurColHeadVal", FnCurColHeadVal, "0",
     REPS "(<индекс>). Head-значение случая Cross текущего поля с этим индексом"},
    {"CurColNum", FnCurColNum, "0",
     REPS "(<целое число>). 0 - номер поля, 1 - номер видимого поля Cross, 2 - номер случая "
          "Cross"},
    {"PP", FnPP, "0", REPS "(<номер группировки>). Номер строки в группе"},
    {"GP", FnGP, "0", REPS "(<номер группировки>). Номер группы"},
    {"ExistPP", FnExistPP, "0",
     REPS "(<номер группировки>). Номер строки в группе среди неудалённых строк"},
    {"ExistGP", FnExistGP, "0",
     REPS "(<номер группировки>). Номер группы среди групп с неудалёнными строками"},
    {"VisiblePP", FnVisiblePP, "0",
     REPS "(<номер группировки>). Номер строки в группе среди видимых строк"},
    {"VisibleGP", FnVisibleGP, "0",
     REPS "(<номер группировки>). Номер группы среди групп с видимыми строками"},
    {"LeadZero", FnLeadZero, "00",
     SRC "(<кол-во знаков>, <число>). Целое число с ведущими нулями до заданной ширины"},
    {"QnRecs", FnQnRecs, "0",
     REPS "('<имя поля>'). Количество записей поля; с пустым именем - записей в строке отчёта"},
    {"CurColQnRecs", FnCurColQnRecs, "2", REPS "(). Количество записей текущего поля"},
    {"RecordCount", FnRecordCount, "0",
     REPS "('<псевдоним таблицы>'). Количество записей источника данных; -1, если его нет"},
    {"TableBOF", FnTableBOF, "0",
     REPS "('<псевдоним таблицы>'). Источник данных стоит в начале; True, если его нет"},
    {"TableEOF", FnTableEOF, "0",
     REPS "('<псевдоним таблицы>'). Источник данных дошёл до конца; True, если его нет"},
    {"WdTab", FnWdTab, "0",
     REPS "(<номер страницы в ширину>). Ширина таблицы на первой странице в ширину"},
    {"SheetNum", FnSheetNum, "2", REPS "(). Номер текущего листа"},
    {"ReportNum", FnReportNum, "2", REPS "(). Номер строящегося отчёта"},
    {"CurColExistVals", FnCurColExistVals, "2",
     REPS "(). Количество существующих значений текущего поля в группировке"},
    {"ColExistVals", FnColExistVals, "0",
     REPS "('<имя поля>'). Количество существующих значений поля в группировке"},
    {"CurColNotNullVals", FnCurColNotNullVals, "2",
     REPS "(). Количество значений текущего поля, отличных от Null, в группировке"},
    {"ColNotNullVals", FnColNotNullVals, "0",
     REPS "('<имя поля>'). Количество значений поля, отличных от Null, в группировке"},
    {"CurColNotZeroVals", FnCurColNotZeroVals, "2",
     REPS "(). Количество значений текущего поля, отличных от Null и 0, в группировке"},
    {"ColNotZeroVals", FnColNotZeroVals, "0",
     REPS "('<имя поля>'). Количество значений поля, отличных от Null и 0, в группировке"},
    {"BodyColExistVals", FnBodyColExistVals, "0",
     REPS "('<имя поля>'). Количество существующих значений поля случая Cross текущего поля"},
    {"BodyColNotNullVals", FnBodyColNotNullVals, "0",
     REPS "('<имя поля>'). Количество значений, отличных от Null, поля случая Cross текущего "
          "поля"},
    {"BodyColNotZeroVals", FnBodyColNotZeroVals, "0",
     REPS "('<имя поля>'). Количество значений, отличных от Null и 0, поля случая Cross "
          "текущего поля"},
    {"VarExist", FnVarExist, "0",
     REPS "('<имя переменной>'). Есть ли переменная с точно таким именем (с учётом регистра)"},
    {"VarVal", FnVarVal, "0", REPS "('<имя переменной>'). Значение переменной; пусто, если её нет"},
    {"ChangedVar", FnChangedVar, "2",
     REPS "(). Имя переменной, элемент диалога которой изменил пользователь"},
    {"InvDate", FnInvDate, "0", SRC "('<дата в формате дд.мм.гггг>'). Дата в виде 'гггг.мм.дд'"},
    {"GetDay", FnGetDay, "0", SRC "(<дата>). День даты; 0 для пустого значения"},
    {"GetMonth", FnGetMonth, "0", SRC "(<дата>). Месяц даты; 0 для пустого значения"},
    {"GetYear", FnGetYear, "0", SRC "(<дата>). Год даты; 0 для пустого значения"},
    {"GetDifMonth", FnGetDifMonth, "00",
     SRC "(<дата1>, <дата2>). Разница в месяцах без учёта дней"},
    {"DayOfYear", FnDayOfYear, "0", SRC "(<дата>). Номер дня в году"},
    {"IfIs", FnIfIs, "000",
     SRC "(<значение>, <значение для сравнения>, <подстановка>). Подстановка, если значения "
         "совпадают, иначе значение"},
    {"IsNull", FnIsNull, "00",
     SRC "(<значение>,<подстановка>). Если <значение> является Null или Empty, то результат - "
         "<подстановка>, иначе результат - <значение>."},
    {"Odd", FnOdd, "0", SRC "(<целое число>). Нечётное ли число"},
    {"Sign", FnSign, "0", SRC "(<число>). Знак числа: -1, 0 или 1"},
    {"BuildSumString", FnBuildSumString, "00000000",
     SRC "(<сумма>, '<Руб.>', '<Коп.>', '<рубль>', '<рубля>', '<рублей>', <выводить копейки>, "
         "<мужской род>). Сумма прописью"},
    {"Replace", FnReplace, "000", SRC "(<строка>, <найти>, <заменить>). Замена всех вхождений"},
    {"GetNextWord", FnGetNextWord, "000",
     SRC "(<список>, <предыдущее слово>, <разделитель>). Слово списка после предыдущего"},
    {"GetWordByOrder", FnGetWordByOrder, "000",
     SRC "(<список>, <индекс слова>, <разделитель>). Слово списка по номеру"},
    {"Trunc", FnTrunc, "0", SRC "(<число>). Целая часть числа"},
    {"Round", FnRound, "0", SRC "(<число>). Ближайшее целое; половины к чётному соседу"},
    {"IntToBinInt", FnIntToBinInt, "0", SRC "(<целое число>). Четыре байта целого, старший первым"},
    {"FileExists", FnFileExists, "0", SRC "(<имя файла>). Есть ли файл"},
    {"DirectoryExists", FnDirectoryExists, "0", SRC "(<имя каталога>). Есть ли каталог"},
    {"ExtractFilePath", FnExtractFilePath, "0",
     SRC "(<имя файла>). Каталог файла с последним разделителем"},
    {"ExtractFileName", FnExtractFileName, "0", SRC "(<имя файла>). Имя и расширение файла"},
    {"FileAccess", FnFileAccess, "00",
     SRC "(<имя файла>, <флаг доступа>). Можно ли открыть файл: 0 или 1 чтение, 2 запись, 3 "
         "чтение и запись"},
};

#undef REPS
#undef SRC

}  // namespace

namespace orvReps_Run {

std::span<const TFuncRow> FormulaFuncs() { return kFuncs; }

}  // namespace orvReps_Run
