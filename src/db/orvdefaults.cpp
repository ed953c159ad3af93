#include "db/orvdefaults.h"

#include "core/orvlib.h"
#include "db/orvcounter.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"

namespace orvdefaults {

namespace {
QString AsciiUpper(const QString& text) {
  QString r = text;
  for (QChar& c : r)
    if (c >= QLatin1Char('a') && c <= QLatin1Char('z')) c = QChar(c.unicode() - 32);
  return r;
}
}  // namespace

TKeyword ParseKeyword(const QString& paramName, bool forFields) {
  TKeyword k;
  const QString word = AsciiUpper(paramName);
  static const QString counter = QStringLiteral("COUNTER");
  if (word.startsWith(counter)) {
    k.Kind = TKeywordKind::Counter;
    k.Number = word.mid(counter.size(), 10);
  } else if (word == QLatin1String("CLEAR")) {
    k.Kind = TKeywordKind::Clear;
  } else if (word == QLatin1String("SPACE")) {
    k.Kind = TKeywordKind::Space;
  } else if (word == QLatin1String("DATE")) {
    k.Kind = TKeywordKind::Date;
  } else if (word == QLatin1String("TIME")) {
    k.Kind = TKeywordKind::Time;
  } else if (word == QLatin1String("NOW")) {
    k.Kind = TKeywordKind::Now;
  } else if (word == QLatin1String("NOW0") || word == QLatin1String("NOW16") ||
             word == QLatin1String("NOW41")) {
    k.Kind = TKeywordKind::NowKey;
    k.Form = word.mid(3).toInt();
  } else if (forFields && word == QLatin1String("PARENTDATE")) {
    k.Kind = TKeywordKind::ParentDate;
  } else if (forFields && word.startsWith(QLatin1Char(':'))) {
    k.Kind = TKeywordKind::ParamRef;
    k.Name = paramName.mid(1);
  }
  return k;
}

bool ApplyKeyword(const TKeyword& keyword, TDefaultTarget& target) {
  const TFieldType type = target.DataType();
  switch (keyword.Kind) {
    case TKeywordKind::Counter: {
      TOrvCounter* counter = orvcounter::ProcessCounter();
      if (counter == nullptr) return true;
      const int id = keyword.Number.isEmpty() ? 0 : StrToInt(keyword.Number);
      target.AssignCounter(counter, id);
      return true;
    }
    case TKeywordKind::Clear: target.ClearValue(); return true;
    case TKeywordKind::Space: target.SetValue(Variant(QString())); return true;
    case TKeywordKind::Date:
      if (type == ftDate || type == ftDateTime)
        target.SetValue(Variant::FromDate(orvlib::OrvDefaultDate()));
      return true;
    case TKeywordKind::Time:
      if (type == ftTime || type == ftDateTime) target.SetValue(Variant::FromDate(TimeOf(Now())));
      return true;
    case TKeywordKind::Now:
      if (type == ftDateTime)
        target.SetValue(Variant::FromDate(Now()));
      else
        target.SetValue(Variant(orvlib::TimeStampKey(0)));
      return true;
    case TKeywordKind::NowKey:
      target.SetValue(Variant(orvlib::TimeStampKey(keyword.Form)));
      return true;
    default: return false;
  }
}

}  // namespace orvdefaults
