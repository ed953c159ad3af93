// Cell formats of a column per area: wrap and split for the outputs that wrap cells
// themselves, formulas and number formats for the spreadsheet outputs.
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_ColumnKeys.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"

namespace orvReps_MAINPrepare {

namespace {

int Key(const char* path) { return orvReps_KeyDefs::KeyByPath(QString::fromLatin1(path)); }

// The value-type bit of CELLFORMAT, CELLWRAP and CELLSPLIT.
qint32 CellTypeBit(int valueType) {
  switch (valueType) {
    case 3: return 32;
    case 5: return 64;
    case 6: return 16;
    case 11: return 128;
    default: return 8;
  }
}

bool IsSheetType(TRepType t) { return t == rtHExcel || t == rtFlatODS; }

const QString kExcelText = QStringLiteral("\\@");

}  // namespace

void SetupCellFormats(TRF& rf, TCol& c) {
  static const int kCellWrap = Key("CELLWRAP"), kCellSplit = Key("CELLSPLIT"),
                   kCellFormula = Key("CELLFORMULA");
  TRepsOutput& out = rf.Out();
  const TRepType type = out.RepType;
  const qint32 typeBit = CellTypeBit(c.ValueType);
  c.HasCellFormats = true;
  struct TArea {
    TCellProp* Props;
    qint32 Bit;
    int Slot;
  };
  const TArea areas[3] = {{&c.HeadProps, 1, 0}, {&c.BodyProps, 4, 1}, {&c.TotalProps, 2, 2}};
  for (const TArea& a : areas) {
    TCellProp& p = *a.Props;
    if (type != rtHTML && type != rtRTF) {
      p.Wrap = a.Bit == 2 || (a.Bit == 4 && c.IsNumeric) ? 2 : 1;
      const TColumnKeyQuery q{c.Alias, c.FieldName, kCellWrap, 0, a.Bit | typeBit, kAnyBits};
      QString word;
      if (PreparedArgForColumn(rf, q, word) >= 0) p.Wrap = orvReps_Values::WrapKindByName(word);
      if (IsSheetType(type)) {
        QString limit, mode;
        const TColumnKeyQuery s{c.Alias, c.FieldName, kCellSplit, 0, a.Bit | typeBit, kAnyBits};
        if (KeyValuesForColumn(rf, s, limit, mode)) {
          p.SplitMode = orvReps_Values::SplitKindByWord(mode);
          p.SplitLimit = StrToIntDef(limit.trimmed(), 2147483647);
        }
      }
    }
    c.CellFormulas[a.Slot].reset();
    p.Formula.clear();
    p.NumFormat.clear();
    if (!IsSheetType(type)) continue;
    QString formula;
    const TColumnKeyQuery f{c.Alias, c.FieldName, kCellFormula, 0, a.Bit, kAnyBits};
    if (KeyValueForColumn(rf, f, formula)) {
      auto compiled = orvReps_FormatString::CompileFormatString(formula, out, true, false, false,
                                                                false, type == rtFlatODS);
      if (!compiled || compiled->Count() < 2) {
        p.Formula = formula;
      } else {
        c.CellFormulas[a.Slot] = std::move(compiled);
        rf.CurPart->FormulaWithCommands = true;
      }
    }
    ResolveCellNumberFormat(p, rf, c, a.Bit);
  }
}

void ResolveCellNumberFormat(TCellProp& props, TRF& rf, const TCol& c, qint32 areaBit) {
  static const int kCellFormat = Key("CELLFORMAT");
  props.NumFormat.clear();
  const bool ods = rf.Out().RepType == rtFlatODS;
  const qint32 bits = areaBit | CellTypeBit(c.ValueType);
  for (int skip = 0;; ++skip) {
    QString value;
    const TColumnKeyQuery q{c.Alias, c.FieldName, kCellFormat, skip, bits, kAnyBits};
    if (PreparedArgForColumn(rf, q, value) < 0) break;
    const QString upper = orvReps_Lib::UpperCase(value);
    const bool xml = upper.startsWith(QLatin1String("XML:"));
    const bool format = upper.startsWith(QLatin1String("FORMAT:"));
    const bool excel = upper.startsWith(QLatin1String("EXCEL:"));
    // The flat document's own styles (XML:, FORMAT:) come with its writer.
    if (ods || xml || format) continue;
    orvReps_Values::EscapeExcelFormat(props.NumFormat, excel ? value.mid(6) : value);
    return;
  }
  if (ods) return;
  if (areaBit == 1)
    props.NumFormat = kExcelText;
  else if (c.ValueType == 3)
    props.NumFormat = QStringLiteral("0");
  else if (c.ValueType == 6)
    props.NumFormat = QStringLiteral("General");
  else
    props.NumFormat = kExcelText;
}

}  // namespace orvReps_MAINPrepare
