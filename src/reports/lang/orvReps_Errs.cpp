#include "reports/lang/orvReps_Errs.h"

#include <array>

namespace {

const std::array<QString, RepsErrCodeCount>& Texts() {
  static const std::array<QString, RepsErrCodeCount> texts = {
      QStringLiteral("Ошибка подготовки скрипта"),
      QStringLiteral("Неизвестный ключ \"%s\""),
      QStringLiteral("В -GroupBy задано неизвестное имя поля: %s"),
      QStringLiteral("Индекс номера группировки %s в RefreshBy выходит за пределы массива"),
      QStringLiteral("Ошибка -RepBuild. Не указана основная SQL-таблица отчета!"),
      QStringLiteral("Не найдено ни одно известное поле в ключе -Cross: %s"),
      QStringLiteral("Не найдено поле в ключе -Cross: %s"),
      QStringLiteral("Не найдено поле %s в OrderBy в ключе -Cross"),
      QStringLiteral("Поле %s, заданное в OrderBy в ключе -Cross, не явлется Head-полем"),
      QStringLiteral("В -Cross Case неверно задан знак попадания в строке \"%s\""),
      QStringLiteral("Не удалось создать каталог: %s"),
      QStringLiteral("Не удалось создать файл: %s"),
      QStringLiteral("Файл отчета %s занят и не может быть использован!\rОсвободите файл для "
                     "использования, или поменяйте имя файла отчета!"),
      QStringLiteral("Ошибка: Не открыт запрос отчета!"),
      QStringLiteral(
          "Ошибка номер %s открытия файла: %s\r\nВозможно файл заблокирован другой программой."),
      QStringLiteral("Неправильно задан ключ -ColSpan %s,%s"),
      QStringLiteral("Не найдено продолжение ключа -Switch"),
      QStringLiteral("Переполнен стек вызова вложенных процедур -Sub \"%s\""),
      QStringLiteral("Не верно задан формат отчета: %s"),
      QStringLiteral("Для поля %s указан неизвестный тип %s"),
      QStringLiteral("Ошибка: %s"),
      QStringLiteral("Не верный тип поля: %s"),
      QStringLiteral("В форматированной строке не найдено поле %s"),
      QStringLiteral("В формулах форматированной строки не может быть вложенных конструкций"),
      QStringLiteral("В форматированной строке не найдено начало для конструкции [&...]"),
      QStringLiteral(
          "Не найдена таблица с псевдонимом \"%s\" при определении свойств поля с именем \"%s\""),
      QStringLiteral("Ошибка в формуле: %s"),
      QStringLiteral("Не найден файл: %s"),
      QStringLiteral("Не найдена метка для перехода по -GoTo: %s"),
      QStringLiteral("Неизвестное поле \"%s\" в -ColOrder"),
      QStringLiteral("Некорректный номер Cross:%d в -ColOrder. Должен быть от %d до %d"),
      QStringLiteral("В -ColOrder в Cross:%d указано не верное Body-поле \"%s\""),
  };
  return texts;
}

}  // namespace

const QString& RepsErrMessages(TRepsErrCode code) { return Texts().at(code); }

QString FormatRepsErr(TRepsErrCode code, const QStringList& args) {
  // The texts hold only %s and %d; each takes the next argument as text.
  const QString& f = RepsErrMessages(code);
  QString out;
  int next = 0;
  for (int i = 0; i < f.size(); ++i) {
    if (f[i] == QLatin1Char('%') && i + 1 < f.size() &&
        (f[i + 1] == QLatin1Char('s') || f[i + 1] == QLatin1Char('d'))) {
      out += next < args.size() ? args[next] : QString();
      ++next;
      ++i;
    } else {
      out += f[i];
    }
  }
  return out;
}

TRepsErr& TRepsErrs::AddErr(qint32 itemNo, TRepsErrCode code, const QString& message) {
  items_.push_back(TRepsErr{itemNo, code, message});
  return items_.back();
}
