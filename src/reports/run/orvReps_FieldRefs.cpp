#include "reports/run/orvReps_FieldRefs.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_Prepare.h"

namespace {

bool IsFraction(TFieldType t) {
  return t == ftFloat || t == ftCurrency || t == ftBCD || t == ftFMTBcd;
}

bool IsDateTime(TFieldType t) {
  return t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp;
}

bool ColumnAlias(const QString& alias) { return alias.startsWith(QLatin1Char('@')); }

TRepsData* DataOf(const TFormatCommand& c) { return static_cast<TRepsData*>(c.DataSet); }

// Cross-case columns are found again at every run: their values move between cases.
constexpr qint32 kCrossCaseKind = 3;

void FieldText(TFormatCommand& c, const TRepsField& field) {
  if (c.WantInt) {
    c.IntResult = field.GetAsInteger();
    return;
  }
  const QString& qualifier = c.Args[4];
  if (!qualifier.isEmpty() && !field.GetIsNull()) {
    if (IsFraction(field.DataType)) {
      c.ResultText = FormatFloat(qualifier, field.GetAsFloat());
      return;
    }
    if (IsDateTime(field.DataType)) {
      c.ResultText = FormatDateTime(qualifier, field.GetAsDateTime());
      return;
    }
  }
  c.ResultText = field.GetAsString();
}

void CachedText(TFormatCommand& c, const Variant& v, int compareKind) {
  if (v.IsNull() || v.IsEmpty()) {
    c.ResultText.clear();
    c.IntResult = 0;
    return;
  }
  const QString text = v.ToString();
  if (c.WantInt) {
    c.IntResult = StrToInt(text.trimmed());
    return;
  }
  const QString& qualifier = c.Args[4];
  if (!qualifier.isEmpty() && compareKind == varDouble)
    c.ResultText = FormatFloat(qualifier, v.ToDouble());
  else if (!qualifier.isEmpty() && compareKind == varDate)
    c.ResultText = FormatDateTime(qualifier, StrToDateTime(text));
  else
    c.ResultText = text;
}

// A field's text as the data path gives it, from a column's value.
void ColumnFieldText(TFormatCommand& c, const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) {
    c.ResultText.clear();
    c.IntResult = 0;
    return;
  }
  if (c.WantInt) {
    c.IntResult = v.IsString() ? StrToIntDef(v.ToString().trimmed(), 0) : v.ToInt();
    return;
  }
  const QString& qualifier = c.Args[4];
  if (!qualifier.isEmpty() && v.VType() == varDouble)
    c.ResultText = FormatFloat(qualifier, v.ToDouble());
  else if (!qualifier.isEmpty() && v.VType() == varDate)
    c.ResultText = FormatDateTime(qualifier, v.ToDouble());
  else
    c.ResultText = v.ToString();
}

void NotFound(TFormatCommand& c) {
  c.ResultText.clear();
  c.IntResult = 0;
}

}  // namespace

bool TRunFieldAccess::IsDataLetter(const QString& alias) const {
  if (alias.size() != 1 || !rf_.CurPart) return false;
  const int i = alias[0].toUpper().unicode() - 'A';
  return i >= 0 && i < rf_.CurPart->Datas.Count();
}

TCol* TRunFieldAccess::FindColumn(const TFormatCommand& c) const {
  if (c.ColumnBound) return static_cast<TCol*>(c.BoundColumn);
  if (!rf_.CurPart) return nullptr;
  return rf_.CurPart->Cols.FindColByFieldAlias(c.Args[1], c.Args[2]);
}

void TRunFieldAccess::FieldValue(TFormatCommands& f, TFormatCommand& c) {
  const QString& alias = c.Args[1];
  const bool nested = c.ArgSources[1] >= 0;
  if (!c.Resolved && !ColumnAlias(alias)) {
    c.DataSet = rf_.FindData(alias);
    // Named data objects are read from their record in a row too, as a bound reference does.
    c.OtherData = !IsDataLetter(alias);
  }
  const bool dataPath = !ColumnAlias(alias) && (!f.RowContext || (c.OtherData && c.DataSet));
  // A tail at a group break reads the part's own fields from the columns, which hold the
  // closing group's values; its data objects already stand on the next group's record.
  if (dataPath && rf_.BreakTails && !c.OtherData && c.Args[5].isEmpty())
    if (TCol* col = FindColumn(c)) return ColumnFieldText(c, *col->ValueTarget);
  if (dataPath) {
    if (!c.DataSet) RaiseRepsError(rf_, recNoAlias, {alias, c.Args[2]}, false);
    if (!c.Args[5].isEmpty())
      LookupByKey(f, c);
    else
      RecordValue(f, c);
    // Stored markup may be meant in HTML; the other markups get the text itself.
    const TRepType type = f.Out.RepType;
    if (!nested && !c.WantInt && f.EscapeLiterals && (type == rtRTF || type == rtFlatODS))
      f.EscapeText(c.ResultText);
    return;
  }
  TCol* col = FindColumn(c);
  if (!col) RaiseRepsError(rf_, recNoFieldInFmtStr, {alias + QLatin1Char('.') + c.Args[2]}, false);
  if (c.WantInt) {
    c.IntResult = col->ValueTarget->ToInt();
    return;
  }
  c.ResultText = rf_.ColValueToText(*col, -1, *col->ValueTarget, f.Level, col->Width, false);
}

void TRunFieldAccess::RecordValue(TFormatCommands&, TFormatCommand& c) {
  TRepsField* field =
      c.FieldBound ? static_cast<TRepsField*>(c.BoundField) : DataOf(c)->FindField(c.Args[2]);
  if (!field) RaiseRepsError(rf_, recNoFieldInFmtStr, {c.Args[2]}, false);
  FieldText(c, *field);
}

void TRunFieldAccess::LookupByKey(TFormatCommands& f, TFormatCommand& c) {
  TRepsData& data = *DataOf(c);
  const QString& keyName = c.Args[5];
  const QString& keyValue = c.Args[6];
  if (data.HasCash && data.CashRecs) {
    const TCashRecs& cash = *data.CashRecs;
    const int res = cash.IndexOfName(orvReps_Lib::UpperCase(c.Args[2]));
    if (res < 0) RaiseRepsError(rf_, recNoFieldInFmtStr, {c.Args[2]}, false);
    Variant v;
    if (!cash.Lookup(keyName, keyValue, c.Args[2], v)) return NotFound(c);
    return CachedText(c, v, cash.CompareKinds[res]);
  }
  TRepsField* key =
      c.BoundKeyField ? static_cast<TRepsField*>(c.BoundKeyField) : data.FindField(keyName);
  if (!key) RaiseRepsError(rf_, recNoFieldInFmtStr, {keyName}, false);
  for (data.First(); !data.Eof(); data.Next())
    if (key->GetAsString() == keyValue) return RecordValue(f, c);
  NotFound(c);
}

void TRunFieldAccess::ColumnCaption(TFormatCommands&, TFormatCommand& c) {
  TCol* col = FindColumn(c);
  if (!col) {
    // A nested argument is split without upper-casing; columns match in any case.
    if (rf_.CurPart) col = rf_.CurPart->Cols.FindColByFieldAlias(c.Args[1], c.Args[2]);
    if (!col)
      RaiseRepsError(rf_, recNoFieldInFmtStr, {c.Args[1] + QLatin1Char('.') + c.Args[2]}, false);
  }
  c.ResultText = col->DisplayName;
}

void TRunFieldAccess::BindReference(TFormatCommands& f, TFormatCommand& c) {
  QString& alias = c.Args[1];
  QString& name = c.Args[2];
  const auto bindColumn = [&] {
    if (!rf_.CurPart) return;
    TCol* col = rf_.CurPart->Cols.FindColByFieldAlias(alias, name);
    if (col && col->Kind != kCrossCaseKind) {
      c.ColumnBound = true;
      c.BoundColumn = col;
    }
  };
  if (c.Kind == ctCap) {
    if (ColumnAlias(alias) || IsDataLetter(alias)) bindColumn();
    return;
  }
  if (f.EscapeLiterals) return;  // resolved at every run
  alias = orvReps_Lib::UpperCase(alias);
  name = orvReps_Lib::UpperCase(name);
  c.Resolved = true;
  c.DataSet = nullptr;
  c.OtherData = false;
  if (!ColumnAlias(alias)) {
    c.OtherData = !IsDataLetter(alias);
    TRepsData* data = rf_.FindData(alias);
    if (!data) RaiseRepsError(rf_, recNoAlias, {alias, name}, false);
    c.DataSet = data;
    c.FieldBound = true;
    c.BoundField = data->FindField(name);
    if (!c.BoundField) RaiseRepsError(rf_, recNoFieldInFmtStr, {name}, false);
    if (!c.Args[5].isEmpty()) {
      c.BoundKeyField = data->FindField(c.Args[5]);
      if (!c.BoundKeyField) RaiseRepsError(rf_, recNoFieldInFmtStr, {c.Args[5]}, false);
    }
  }
  if (ColumnAlias(alias) || !c.OtherData) bindColumn();
}

namespace orvReps_FieldRefs {

QString ColValueToText(TRF& rf, const TCol& col, const Variant& value, int level) {
  // Without the body format nothing of the column changes.
  Variant v = value;
  return rf.ColValueToText(const_cast<TCol&>(col), -1, v, level, col.Width, false);
}

}  // namespace orvReps_FieldRefs
