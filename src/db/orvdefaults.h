#pragma once
// Default-value keywords: the words a field description's parameter name may hold to fill a
// statement parameter or a new record's field ("COUNTER", "COUNTER"+n, "CLEAR", "SPACE",
// "DATE", "TIME", "NOW", "NOW0", "NOW16", "NOW41"; fields also "PARENTDATE" and ":"+name).
// One parser and one engine serve both targets; the target says how a value is written.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>

class TOrvCounter;

namespace orvdefaults {

enum class TKeywordKind {
  None,
  Counter,  // Number: the counter's number text ("" for counter 0)
  Clear,
  Space,
  Date,
  Time,
  Now,
  NowKey,      // Form: 0, 16 or 41
  ParentDate,  // fields only
  ParamRef,    // fields only; Name: the parameter's name
};

struct TKeyword {
  TKeywordKind Kind = TKeywordKind::None;
  QString Number;
  int Form = 0;
  QString Name;
};

// Compares the ASCII-upper-cased name exactly; the field-only words only when forFields.
TKeyword ParseKeyword(const QString& paramName, bool forFields);

// What the engine writes into.
class TDefaultTarget {
 public:
  virtual ~TDefaultTarget() = default;
  virtual TFieldType DataType() const = 0;
  virtual void SetValue(const Variant& value) = 0;
  // The target's own "CLEAR".
  virtual void ClearValue() = 0;
  // The next value of the counter into the target; false when it took none.
  virtual bool AssignCounter(TOrvCounter* counter, int counterId) = 0;
};

// Applies the shared keywords; false for None and for the kinds a target handles itself
// (ParentDate, ParamRef). "COUNTER" does nothing without a process counter; a number that is
// not an integer (at most ten characters read) raises EConvertError. "DATE" and "TIME" leave
// a target of another type alone.
bool ApplyKeyword(const TKeyword& keyword, TDefaultTarget& target);

}  // namespace orvdefaults
