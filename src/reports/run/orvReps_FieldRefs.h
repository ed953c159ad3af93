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
// TRF::ColValueToText of a value without the body format, for formula functions.
QString ColValueToText(TRF& rf, const TCol& col, const Variant& value, int level);
}  // namespace orvReps_FieldRefs
