// Column setup: a column per field and per calculated field, each option taken from the
// newest key whose column list names the column, else its default.
#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_Styles.h"
#include "reports/run/orvReps_ColumnKeys.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"

#include <cmath>

namespace orvReps_MAINPrepare {

namespace {

struct TKeyCodes {
  int Total, TotalLevel, NoTotal, Null, Replace, Float, Date, True, False, Width, AutoWidth,
      MinWidth, MaxWidth, Color, BgColor, Font, Size, Style, Rotate, Border, BorderColor,
      BorderStyle, Marg, AddWidth, MaxLines, ColsIf, Hide, NoVisible, Cols, ColsLevel, NoRed,
      MaskSpan, Align, Format, SkipNull;
};

const TKeyCodes& Keys() {
  static const TKeyCodes k = [] {
    const auto K = [](const char* path) {
      return orvReps_KeyDefs::KeyByPath(QString::fromLatin1(path));
    };
    return TKeyCodes{
        K("TOTAL"),       K("TOTALLEVEL"),  K("NOTOTAL"),   K("NULL"),     K("REPLACE"),
        K("FLOAT"),       K("DATE"),        K("TRUE"),      K("FALSE"),    K("WIDTH"),
        K("AUTOWIDTH"),   K("MINWIDTH"),    K("MAXWIDTH"),  K("COLOR"),    K("BGCOLOR"),
        K("FONT"),        K("SIZE"),        K("STYLE"),     K("ROTATE"),   K("BORDER"),
        K("BORDERCOLOR"), K("BORDERSTYLE"), K("MARG"),      K("ADDWIDTH"), K("MAXLINES"),
        K("COLSIF"),      K("HIDE"),        K("NOVISIBLE"), K("COLS"),     K("COLSLEVEL"),
        K("NORED"),       K("MASKSPAN"),    K("ALIGN"),     K("FORMAT"),   K("SKIPNULL")};
  }();
  return k;
}

constexpr qint32 kHead = 1, kTotal = 2, kBody = 4;
constexpr qint32 kSideBits[4] = {8, 16, 32, 64};  // left, top, right, bottom

double PointNumber(const QString& text) {
  TFormatSettings point = FormatSettings();
  point.DecimalSeparator = QLatin1Char('.');
  return StrToFloat(text.trimmed(), point);
}

// The lookups of one column.
class TColKeys {
 public:
  TColKeys(TRF& rf, const TCol& c) : rf_(rf), alias_(c.Alias), name_(c.FieldName) {}
  TColumnKeyQuery Q(int key, qint32 required = kAnyBits, qint32 anyOf = kAnyBits,
                    int skip = 0) const {
    return TColumnKeyQuery{alias_, name_, key, skip, required, anyOf};
  }
  bool Value(int key, QString& v, qint32 required = kAnyBits, qint32 anyOf = kAnyBits) {
    return KeyValueForColumn(rf_, Q(key, required, anyOf), v);
  }
  bool Listed(int key) { return KeyListedColumn(rf_, Q(key)); }
  qint32 Flags() const { return rf_.FoundKeyFlags; }

 private:
  TRF& rf_;
  QString alias_, name_;
};

int Measure(TRF& rf, const QString& text, TMeasUnit defaultUnit, TMeasUnit target) {
  return static_cast<int>(
      orvReps_CellWriters::ParseMeasure(text.trimmed(), defaultUnit, target, rf.Out().CharWidth));
}

const TRF::TNumberingCol* NumberingOf(const TRF& rf, const TCol& c) {
  if (c.DataIndex != -1) return nullptr;
  const QString ref = QStringLiteral("@.") + orvReps_Lib::UpperCase(c.FieldName);
  for (const auto& n : rf.NumberingCols)
    if (orvReps_Lib::UpperCase(n.Ref) == ref) return &n;
  return nullptr;
}

void SetupTotals(TRF& rf, TCol& c, TColKeys& k, bool numbering) {
  const TReportPart& p = *rf.CurPart;
  c.TotalKind = ttNone;
  c.TotalLevel = -1;
  if (!p.TotalsWanted) return;
  if (c.IsNumeric && !numbering && !k.Listed(Keys().NoTotal)) c.TotalKind = ttSum;
  QString v;
  if (PreparedArgForColumn(rf, k.Q(Keys().Total), v) >= 0) {
    const int kind = orvReps_KeyDefs::ArgCodeIndex(Keys().Total, 1, v);
    c.TotalKind = kind >= 0 ? static_cast<TTtlType>(kind) : ttNone;
  }
  if (!c.IsNumeric && c.TotalKind >= ttSum && c.TotalKind <= ttAverageNotZero) c.TotalKind = ttNone;
  if (PreparedArgForColumn(rf, k.Q(Keys().TotalLevel), v) >= 0)
    c.TotalLevel = StrToIntDef(v.trimmed(), -1);
}

qint32 NullTypeBit(int valueType) {
  switch (valueType) {
    case 6: return 2;
    case 3: return 4;
    case 5: return 8;
    case 11: return 16;
    default: return 1;
  }
}

void SetupTexts(TRF& rf, TCol& c, TColKeys& k) {
  QString v;
  c.NullText = k.Value(Keys().Null, v, NullTypeBit(c.ValueType)) ? v : QStringLiteral("Null");
  c.Replacements.clear();
  for (int skip = 0;; ++skip) {
    const int i = FindKeyForColumn(rf, k.Q(Keys().Replace, kAnyBits, kAnyBits, skip));
    if (i < 0) break;
    const int item = rf.Pars->KeyHistory[i].ItemIndex;
    c.Replacements.emplace_back(
        TextToValue(rf.FormatArg(rf.Pars->GetItemText(item + 2)), c.ValueType),
        rf.FormatArg(rf.Pars->GetItemText(item + 3)));
  }
  c.NumberFormat.clear();
  if (c.ValueType == 6 && k.Value(Keys().Float, v)) c.NumberFormat = v;
  if (c.ValueType == 11 && k.Value(Keys().Date, v)) c.NumberFormat = v;
  c.TrueText = k.Value(Keys().True, v) ? v : QStringLiteral("True");
  c.FalseText = k.Value(Keys().False, v) ? v : QStringLiteral("False");
}

void SetupWidths(TRF& rf, TCol& c, TColKeys& k) {
  TRepsOutput& out = rf.Out();
  QString v;
  c.Width = -1;
  if (k.Value(Keys().Width, v)) {
    v = v.trimmed();
    if (v.endsWith(QLatin1Char('%'))) v.chop(1);
    c.Width = Measure(rf, v, out.InputUnit, out.MeasUnit);
  }
  c.AutoWidth = false;
  c.AutoWidthPercent = 100;
  c.AutoWidthHead = c.AutoWidthTotal = true;
  c.AutoMaskSpan = false;
  if (c.Width == -1 && k.Value(Keys().AutoWidth, v)) {
    TReportPart& p = *rf.CurPart;
    const qint32 f = k.Flags();
    c.AutoWidth = true;
    p.AutoWidthUsed = true;
    c.AutoWidthPercent = PointNumber(v);
    c.AutoWidthHead = (f & 1) != 0;
    c.AutoWidthTotal = (f & 2) != 0;
    c.AutoMaskSpan = (f & 4) != 0;
    if (c.AutoMaskSpan) p.MaskSpanUsed = true;
  }
  c.MinWidth = k.Value(Keys().MinWidth, v) ? Measure(rf, v, out.InputUnit, out.MeasUnit) : -1;
  c.MaxWidth = k.Value(Keys().MaxWidth, v) ? Measure(rf, v, out.InputUnit, out.MeasUnit) : -1;
}

// Colours, fonts, borders and margins of the three areas.
void SetupCellProps(TRF& rf, TCol& c, TColKeys& k) {
  TRepsOutput& out = rf.Out();
  const TKeyCodes& K = Keys();
  const std::pair<TCellProp*, qint32> areas[3] = {
      {&c.BodyProps, kBody}, {&c.HeadProps, kHead}, {&c.TotalProps, kTotal}};
  for (const auto& [props, bit] : areas) {
    TCellProp& p = *props;
    p = TCellProp();
    QString v;
    p.Color = k.Value(K.Color, v, bit) ? orvReps_Values::ColorByName(v) : clNoColor;
    p.BgColor = k.Value(K.BgColor, v, bit) ? orvReps_Values::ColorByName(v) : clNoColor;
    p.FontName = k.Value(K.Font, v, bit) ? v : out.DefFontName;
    p.FontSize = k.Value(K.Size, v, bit) ? static_cast<qint32>(std::nearbyint(PointNumber(v) * 2))
                                         : out.DefFontSize;
    if (k.Value(K.Style, v, bit))
      orvReps_Styles::SetFontStyleText(p, v);
    else
      orvReps_Styles::SetFontStyleBits(p, rf.DefFontStyle);
    if (k.Value(K.Rotate, v, bit)) p.Rotation = static_cast<qint16>(StrToIntDef(v.trimmed(), 0));
    p.TextSize = &out.TextSizes.FindOrAdd(out.Canvas.get(), p.FontName, p.FontSize, p.FontStyle,
                                          false, false);
    for (int side = 0; side < 4; ++side) {
      const qint32 req = bit | kSideBits[side];
      p.BorderWidths[side] =
          k.Value(K.Border, v, req) ? ClampToInt16(Measure(rf, v, muPoint, muTwip)) : 10;
      p.BorderColors[side] =
          k.Value(K.BorderColor, v, req) ? orvReps_Values::ColorByName(v) : clNoColor;
      p.BorderStyles[side] =
          k.Value(K.BorderStyle, v, req) ? orvReps_Values::BorderStyleByName(v) : 0;
      p.Margins[side] =
          k.Value(K.Marg, v, req) ? ClampToInt16(Measure(rf, v, muPoint, muTwip)) : 10;
    }
  }
}

void SetupVisibility(TRF& rf, TCol& c, TColKeys& k) {
  const TKeyCodes& K = Keys();
  c.Visible = !k.Listed(K.Hide);
  if (c.Visible) c.Visible = !k.Listed(K.NoVisible);
  c.Hidden = false;
  QString v;
  if (k.Value(K.Cols, v)) {
    const qint32 kind = orvReps_Groups::ResolveHideType(orvReps_Values::HideKindByName(v.trimmed()),
                                                        PropRepType(rf.Out().RepType).CanHideRows);
    if (kind != rhtNone) {
      c.Visible = kind == rhtHide || kind == rhtShow;
      c.Hidden = kind == rhtHide;
    }
  }
  c.OutlineLevel = k.Value(K.ColsLevel, v) ? StrToIntDef(v.trimmed(), -1) : -1;
  c.SavedOutlineLevel = c.OutlineLevel;
}

void SetupColsIf(TRF& rf, TCol& c, TColKeys& k) {
  c.ColsIfCond = c.ColsIfAction = 0;
  c.ColsIfLevel = -1;
  QString cond, action;
  if (PreparedArgForColumn(rf, k.Q(Keys().ColsIf), cond, &action) < 0) return;
  // The catalogue lists AllNotExist second; the rule codes are None, AllNull, AllZero,
  // AllNotExist.
  static const qint32 kCondByCatalogue[4] = {0, 3, 1, 2};
  const int condIndex = orvReps_KeyDefs::ArgCodeIndex(Keys().ColsIf, 1, cond);
  c.ColsIfCond = condIndex >= 0 && condIndex < 4 ? kCondByCatalogue[condIndex] : 0;
  c.ColsIfAction = orvReps_Groups::ResolveHideType(
      qMax<int>(0, orvReps_KeyDefs::ArgCodeIndex(Keys().ColsIf, 2, action)),
      PropRepType(rf.Out().RepType).CanHideRows);
  c.ColsIfLevel = rf.FoundKeyFlags;
  if (c.ColsIfCond != 0 && (c.ColsIfAction != 0 || c.ColsIfLevel >= 0)) {
    rf.CurPart->ColsIfUsed = true;
    if (c.TotalKind == ttNone) c.TotalKind = ttCalcNotShow;
  }
}

void SetupAlignment(TCol& c, TColKeys& k, const TRF::TNumberingCol* numbering) {
  const std::tuple<TCellProp*, qint32, qint32, qint32> areas[3] = {
      {&c.HeadProps, kHead, 3, 2},
      {&c.BodyProps, kBody,
       numbering && numbering->HAlign ? numbering->HAlign : (c.IsNumeric ? 4 : 2),
       numbering && numbering->VAlign ? numbering->VAlign : 2},
      {&c.TotalProps, kTotal, c.IsNumeric ? 4 : 2, 2}};
  for (const auto& [props, bit, h, v] : areas) {
    QString unused;
    props->HAlign = h;
    if (k.Value(Keys().Align, unused, bit, 8 | 32 | 128)) {
      const qint32 f = k.Flags();
      props->HAlign = (f & 8) ? 2 : (f & 128) ? 3 : 4;
    }
    props->VAlign = v;
    if (k.Value(Keys().Align, unused, bit, 16 | 64 | 256)) {
      const qint32 f = k.Flags();
      props->VAlign = (f & 16) ? 2 : (f & 256) ? 3 : 4;
    }
  }
}

std::shared_ptr<TFormatCommands> CompileColumnFormat(TRF& rf, const QString& text) {
  TRepsOutput& out = rf.Out();
  return std::shared_ptr<TFormatCommands>(orvReps_FormatString::CompileFormatString(
      text, out, out.IsMarkupType(), false, false, false, out.RepType == rtFlatODS));
}

void SetupOptions(TRF& rf, TCol& c) {
  TReportPart& p = *rf.CurPart;
  TRepsOutput& out = rf.Out();
  const TKeyCodes& K = Keys();
  TColKeys k(rf, c);
  const TRF::TNumberingCol* numbering = NumberingOf(rf, c);
  c.IsNumbering = numbering != nullptr;
  SetupTotals(rf, c, k, numbering != nullptr);
  SetupTexts(rf, c, k);
  c.Totals.clear();
  c.SavedTotal = TTtlSum{};
  SetupWidths(rf, c, k);
  SetupCellProps(rf, c, k);
  QString v;
  c.AddWidth = 0;
  if (k.Value(K.AddWidth, v)) c.AddWidth = Measure(rf, v, out.InputUnit, out.MeasUnit);
  c.MaxLines = k.Value(K.MaxLines, v) ? StrToInt(v.trimmed()) : -1;
  SetupColsIf(rf, c, k);
  SetupVisibility(rf, c, k);
  c.SavedVisible = c.Visible;
  c.SavedHidden = c.Hidden;
  c.RedNegatives = c.IsNumeric && !k.Listed(K.NoRed);
  c.MaskSpan = k.Value(K.MaskSpan, v) ? StrToInt(v.trimmed()) : 1;
  c.CurMaskSpan = c.MaskSpan;
  c.Kind = 0;  // no cross-tab link
  c.MoreLinesSide = c.MoreLinesVert = 32000;
  c.MoreLinesLeft.clear();
  c.MoreLinesRight.clear();
  c.MoreLinesTop.clear();
  c.MoreLinesBottom.clear();
  if (const TIfMoreLine* r = p.IfMoreLines.FindFor(1, c.Alias, c.FieldName)) {
    c.MoreLinesSide = r->Count;
    c.MoreLinesLeft = r->Text1;
    c.MoreLinesRight = r->Text2;
  }
  if (const TIfMoreLine* r = p.IfMoreLines.FindFor(0, c.Alias, c.FieldName)) {
    c.MoreLinesVert = r->Count;
    c.MoreLinesTop = r->Text1;
    c.MoreLinesBottom = r->Text2;
  }
  SetupAlignment(c, k, numbering);
  c.BodyFormat.reset();
  c.TotalFormat.reset();
  if (k.Value(K.Format, v, kBody)) c.BodyFormat = CompileColumnFormat(rf, v);
  if (k.Value(K.Format, v, kTotal)) {
    c.TotalFormat = CompileColumnFormat(rf, v);
    p.TotalFormatUsed = true;
  }
  SetupCellFormats(rf, c);
  c.SkipNull = k.Listed(K.SkipNull);
  if (c.SkipNull) p.SkipNullUsed = true;
  c.RowSpanMode = 3;
  // Packs, page joins and marks bind here once those parts of the model exist.
  out.Styles.FindOrAddCellStyle(c.HeadProps, QStringLiteral("r"));
  out.Styles.FindOrAddCellStyle(c.TotalProps, QStringLiteral("r"));
}

int CharsToUnit(TRF& rf, int chars) {
  const TRepsOutput& out = rf.Out();
  if (out.MeasUnit == muChar) return chars;
  return static_cast<int>(
      orvReps_CellWriters::ConvertMeasure(chars, muChar, out.MeasUnit, out.CharWidth));
}

}  // namespace

int ValueTypeOf(TFieldType t) {
  switch (t) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint: return 3;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd: return 6;
    case ftBoolean: return 5;
    case ftDate:
    case ftTime:
    case ftDateTime:
    case ftTimeStamp: return 11;
    case ftVariant: return 12;
    default: return 1;
  }
}

Variant TextToValue(const QString& text, int valueType) {
  switch (valueType) {
    case 3: return Variant(StrToInt64(text.trimmed()));
    case 6: return Variant(PointNumber(text));
    case 5: return Variant(orvReps_Values::IsTrueWord(text.trimmed()));
    default: return Variant(text);
  }
}

QString ValueText(const TCol& col, const Variant& v, const QString& pattern) {
  if (v.IsNull() || v.IsEmpty()) return {};
  switch (col.ValueType) {
    case 3:
      if (v.IsString()) return v.ToString();
      return QString::number(v.ToInt64());
    case 6:
      if (v.IsString()) return v.ToString();
      if (!pattern.isEmpty()) return FormatFloat(pattern, v.ToDouble());
      return FloatToStr(v.ToDouble());
    case 5: {
      bool on = false;
      if (v.VType() == varBoolean)
        on = v.ToBool();
      else if (v.IsString())
        on = orvReps_Values::IsTrueWord(v.ToString().trimmed());
      else if (v.IsNumeric())
        on = v.ToDouble() != 0;
      return on ? col.TrueText : col.FalseText;
    }
    case 11:
      if (v.IsString()) return v.ToString();
      if (!pattern.isEmpty()) return FormatDateTime(pattern, v.ToDouble());
      return DateToStr(v.ToDouble());
    default: return v.ToString();
  }
}

void SetupColumns(TRF& rf, int dataIndex, TRepsData* data, bool& anyTotal) {
  TReportPart& p = *rf.CurPart;
  const bool calc = dataIndex < 0;
  const int count = calc ? static_cast<int>(rf.CalcFields.size()) : data->Fields.Count();
  for (int i = 0; i < count; ++i) {
    TCol& c = p.Cols.Add();
    c.Alias = QChar(char16_t(65 + dataIndex));
    c.DataIndex = dataIndex;
    c.FieldIndex = i;
    if (calc) {
      const TRF::TCalcFieldDef& def = rf.CalcFields[i];
      c.DataField = nullptr;
      c.FieldName = def.Name;
      c.ValueType = ValueTypeOf(def.Type);
      c.DefaultWidth = CharsToUnit(rf, static_cast<int>(def.Name.size()));
      c.CalcKind = def.Stage;
      c.CalcOrder = i;
      if (def.Formula.left(6).compare(QLatin1String("CONST:"), Qt::CaseInsensitive) == 0) {
        c.ConstValue = TextToValue(def.Formula.mid(6), c.ValueType);
        c.CalcKind = 6;
      } else {
        c.Formula = std::shared_ptr<TCompileCode>(
            orvReps_CellWriters::CompileFormula(rf.Out(), def.Formula));
      }
      p.CalcCols.Add(&c);
    } else {
      TRepsField& f = data->Fields.Item(i);
      c.DataField = &f;
      c.FieldName = f.Name;
      c.ValueType = ValueTypeOf(f.DataType);
      c.DefaultWidth =
          CharsToUnit(rf, qMax<int>(f.DisplayWidth > 0 ? f.DisplayWidth : 10, f.Name.size()));
    }
    c.DisplayName = c.FieldName;
    c.IsNumeric = c.ValueType == 3 || c.ValueType == 6;
    SetupOptions(rf, c);
    if (c.TotalKind != ttNone) anyTotal = true;
  }
}

}  // namespace orvReps_MAINPrepare
