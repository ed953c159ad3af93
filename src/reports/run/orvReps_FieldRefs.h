#pragma once
// What format strings read from a run's data: the value of a field reference ("[*...]") from a
// data object's current record, from its keyed record cache or from a report column of the
// current row, and a column's caption ("[CAP ...]"). Installed on the run's output by TRF.
#include "reports/output/orvReps_Output.h"

class TRF;
class TCol;
class Variant;

class TRunFieldAccess : public TFormatDataAccess {
 public:
  explicit TRunFieldAccess(TRF& rf) : rf_(rf) {}
  void FieldValue(TFormatCommands& format, TFormatCommand& command) override;
  void ColumnCaption(TFormatCommands& format, TFormatCommand& command) override;
  void BindReference(TFormatCommands& format, TFormatCommand& command) override;

 private:
  // One letter naming one of the current part's data objects.
  bool IsDataLetter(const QString& alias) const;
  TCol* FindColumn(const TFormatCommand& c) const;
  void RecordValue(TFormatCommands& f, TFormatCommand& c);
  void LookupByKey(TFormatCommands& f, TFormatCommand& c);
  TRF& rf_;
};

namespace orvReps_FieldRefs {
// The text of a column value as the column prints it; level >= 0 asks for the total of that
// grouping level (when the column has a shown total kind). Texts of string columns are escaped
// for markup output; numbers, dates and the NULL/True/False texts never are.
QString ColValueToText(TRF& rf, const TCol& col, const Variant& value, int level);
}  // namespace orvReps_FieldRefs
