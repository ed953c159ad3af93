// Part preparation: the steps that turn a part's recorded settings into the model the record
// loop and the writers read, in their fixed order.
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_RunKeys.h"

#include "platform/rtl/sysutils.h"

#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_Styles.h"
#include "reports/run/orvReps_ColumnKeys.h"
#include "reports/run/orvReps_Main.h"

#include <cmath>

namespace orvReps_MAINPrepare {

namespace {

using orvReps_KeyProcs::Ticks;

int Key(const char* path) { return orvReps_KeyDefs::KeyByPath(QString::fromLatin1(path)); }

QString AfterQualifier(const QString& name) {
  const int dot = name.indexOf(QLatin1Char('.'));
  return orvReps_Lib::UpperCase((dot >= 0 ? name.mid(dot + 1) : name).trimmed());
}

int FieldIndexOf(const TRepsData& data, const QString& upperName) {
  for (int i = 0; i < data.Fields.Count(); ++i)
    if (orvReps_Lib::UpperCase(data.Fields.Item(i).Name) == upperName) return i;
  return -1;
}

QString DataName(const TRepsData& d, int index) {
  return d.Name.isEmpty() ? QString(QChar(char16_t(65 + index))) : d.Name;
}

bool LevelShowsHeadTotals(const TGroupBy& g) { return g.HeadShowTotal; }

// Steps 14-18: cross-tabs, column order, cross captions, multi-record rows and unions come
// with their part of the model.
void BindCrossColumns(TRF&) {}
void ApplyColumnOrder(TRF&) {}
void ResolveUnionCols(TRF&) {}

// Row spans and the margins of rotated RTF text come with those parts of the model.
void DistributeRowSpans(TRF&) {}
void RotateRtfMargins(TRF&) {}

double PointNumber(const QString& text) {
  TFormatSettings point = FormatSettings();
  point.DecimalSeparator = QLatin1Char('.');
  return StrToFloat(text.trimmed(), point);
}

}  // namespace

void ApplyStyleValue(TRF& rf, TCellProp& p, TStyleKind kind, const QString& text, int sides) {
  const auto measure = [&] {
    return ClampToInt16(
        orvReps_CellWriters::ParseMeasure(text.trimmed(), muPoint, muTwip, rf.Out().CharWidth));
  };
  switch (kind) {
    case TStyleKind::Color: p.Color = orvReps_Values::ColorByName(text.trimmed()); return;
    case TStyleKind::BgColor: p.BgColor = orvReps_Values::ColorByName(text.trimmed()); return;
    case TStyleKind::Font: p.FontName = text; return;
    case TStyleKind::Size:
      p.FontSize = static_cast<qint32>(std::nearbyint(PointNumber(text) * 2));
      return;
    case TStyleKind::Style: orvReps_Styles::SetFontStyleText(p, text); return;
    case TStyleKind::Rotate:
      p.Rotation = static_cast<qint16>(StrToIntDef(text.trimmed(), 0));
      return;
    default: break;
  }
  for (int side = 0; side < 4; ++side) {
    if (!(sides & (1 << side))) continue;
    switch (kind) {
      case TStyleKind::Border: p.BorderWidths[side] = measure(); break;
      case TStyleKind::BorderColor:
        p.BorderColors[side] = orvReps_Values::ColorByName(text.trimmed());
        break;
      case TStyleKind::BorderStyle:
        p.BorderStyles[side] = orvReps_Values::BorderStyleByName(text.trimmed());
        break;
      case TStyleKind::Marg: p.Margins[side] = measure(); break;
      default: break;
    }
  }
}

// Each level's head and total cells: level 0's, then the level's own HEAD and TAIL style
// parameters, the newest of each kind winning.
void PrepareLevelCellProps(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsOutput& out = rf.Out();
  const int levels = p.GroupBys.Count();
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.LevelHeadProps.assign(size_t(levels), c.HeadProps);
    c.LevelTotalProps.assign(size_t(levels), c.TotalProps);
  }
  for (int l = 0; l < levels; ++l) {
    const TGroupBy& g = p.GroupBys.GetItem(l);
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      if (l > 0) {
        c.LevelHeadProps[size_t(l)] = c.LevelHeadProps[0];
        c.LevelTotalProps[size_t(l)] = c.LevelTotalProps[0];
      }
      if (!p.StyledOutput) continue;
      const auto apply = [&](const std::vector<TLevelStyleKey>& keys, TCellProp& props) {
        bool done[10] = {};
        for (auto k = keys.rbegin(); k != keys.rend(); ++k) {
          const int kind = static_cast<int>(k->Kind);
          if (done[kind]) continue;
          const QString list = rf.FormatArg(rf.Pars->GetItemText(k->ArgPos));
          bool include = true;
          if (orvReps_Values::MatchInList(0, 0, c.Alias, c.FieldName, list, include) < 0 ||
              !include)
            continue;
          done[kind] = true;
          ApplyStyleValue(rf, props, k->Kind, rf.FormatArg(rf.Pars->GetItemText(k->ArgPos + 1)),
                          k->Sides);
        }
      };
      apply(g.HeadStyleKeys, c.LevelHeadProps[size_t(l)]);
      apply(g.TailStyleKeys, c.LevelTotalProps[size_t(l)]);
      if (l == 0) {
        c.HeadProps = c.LevelHeadProps[0];
        c.TotalProps = c.LevelTotalProps[0];
      }
    }
  }
  out.TextSizes.FindOrAdd(out.Canvas.get(), out.DefFontName, out.DefFontSize, rf.DefFontStyle,
                          false, false);
}

void CheckPartDatas(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  if (p.Datas.Count() == 0) RaiseRepsError(rf, recNoBasicTable, {}, false);
  if (p.Datas.Count() > 1) ResolveLinkFields(rf);
  for (int d = 0; d < p.Datas.Count(); ++d)
    if (!p.Datas.GetItem(d) || !p.Datas.GetItem(d)->IsActive())
      RaiseRepsError(rf, recNoOpenRepQ, {}, false);
  TRepsData& main = *p.Datas.GetItem(0);
  p.MainDataEmpty = main.Eof() && main.Bof();
  for (int d = 0; d < p.Datas.Count(); ++d) p.Datas.GetItem(d)->First();
}

// A link field that names no field is refused here: reading it later would fail in the
// middle of the output.
void ResolveLinkFields(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.LinkFieldIndices.assign(static_cast<size_t>(qMax(0, p.Datas.Count() - 1)), {});
  const TRepsData& main = *p.Datas.GetItem(0);
  for (int i = 1; i < p.Datas.Count(); ++i) {
    if (i - 1 >= static_cast<int>(p.Links.size())) continue;
    const TRepsLinkPair& link = p.Links[size_t(i) - 1];
    const TRepsData& linked = *p.Datas.GetItem(i);
    auto& pairs = p.LinkFieldIndices[size_t(i) - 1];
    const int n = static_cast<int>(qMin(link.Fields1.size(), link.Fields2.size()));
    for (int j = 0; j < n; ++j) {
      const int a = FieldIndexOf(main, AfterQualifier(link.Fields1[j]));
      const int b = FieldIndexOf(linked, AfterQualifier(link.Fields2[j]));
      const auto refuse = [&](const QString& field, const TRepsData& d, int index) {
        RaiseRepsError(rf, recGeneralError,
                       {QStringLiteral("Ошибка: поле связи %1 не найдено в источнике данных %2")
                            .arg(field.trimmed(), DataName(d, index))},
                       false);
      };
      if (a < 0) refuse(link.Fields1[j], main, 0);
      if (b < 0) refuse(link.Fields2[j], linked, i);
      pairs.emplace_back(a, b);
    }
  }
}

bool LinkMatches(TRF& rf, int index) {
  TReportPart& p = *rf.CurPart;
  if (index < 1 || index - 1 >= static_cast<int>(p.LinkFieldIndices.size())) return true;
  const TRepsData& main = *p.Datas.GetItem(0);
  const TRepsData& linked = *p.Datas.GetItem(index);
  for (const auto& [a, b] : p.LinkFieldIndices[size_t(index) - 1])
    if (!(main.Fields.Item(a).GetValue() == linked.Fields.Item(b).GetValue())) return false;
  return true;
}

void PrepareRefreshFlags(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const int levels = p.GroupBys.Count();
  for (int i = 0; i < levels; ++i) {
    TGroupBy& g = p.GroupBys.GetItem(i);
    g.RefreshesPart = g.RefreshesDatas = false;
  }
  p.RefreshPartEachRow = p.RefreshPartByLevel = false;
  p.RefreshDatasEachRow = p.RefreshDatasByLevel = false;
  const auto mark = [&](const TRepsData& d, bool part) {
    if (!d.RefreshSQL) return;
    if (d.RefreshLevel < 0) {
      (part ? p.RefreshPartEachRow : p.RefreshDatasEachRow) = true;
      return;
    }
    if (d.RefreshLevel >= levels)
      RaiseRepsError(rf, recBadRefreshByGroupNum, {QString::number(d.RefreshLevel)}, false);
    TGroupBy& g = p.GroupBys.GetItem(d.RefreshLevel);
    (part ? g.RefreshesPart : g.RefreshesDatas) = true;
    (part ? p.RefreshPartByLevel : p.RefreshDatasByLevel) = true;
  };
  for (int d = 0; d < p.Datas.Count(); ++d) mark(*p.Datas.GetItem(d), true);
  for (int d = 0; d < rf.RepsDatas.Count(); ++d) mark(*rf.RepsDatas.GetItem(d), false);
}

QString CaptionText(TRF& rf, const TCol& c) {
  static const int kCap = Key("CAP"), kColTitle = Key("COLTITLE");
  QString v;
  const TColumnKeyQuery cap{c.Alias, c.FieldName, kCap};
  if (KeyValueForColumn(rf, cap, v)) return v;
  const TColumnKeyQuery title{c.Alias, c.FieldName, kColTitle};
  if (KeyValueForColumn(rf, title, v)) return v;
  if (c.DataIndex == -1) {
    const QString ref = QStringLiteral("@.") + orvReps_Lib::UpperCase(c.FieldName);
    for (const auto& n : rf.NumberingCols)
      if (orvReps_Lib::UpperCase(n.Ref) == ref) return n.Caption;
  }
  return c.FieldName;
}

void PrepareCaptions(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.DisplayName = CaptionText(rf, c);
    c.HeadFormat = std::shared_ptr<TFormatCommands>(orvReps_FormatString::CompileFormatString(
        c.DisplayName, rf.Out(), rf.Out().IsMarkupType(), false, false, false,
        rf.Out().RepType == rtFlatODS));
  }
}

void PrepareMultiRecordRows(TRF& rf) {
  // Packed and cross-tab columns are what make a row take several records.
  rf.CurPart->MultiRecordRows = false;
}

void PrepareCalcStages(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  bool used[5] = {};
  for (int i = 0; i < p.Cols.Count(); ++i) {
    const qint32 stage = p.Cols.GetItem(i).CalcKind;
    if (stage >= 2 && stage <= 4) used[stage] = true;
  }
  p.CalcStage2Used = p.CalcStage2Used && used[2];
  p.CalcStage3Used = p.CalcStage3Used && used[3];
  p.CalcStage4Used = p.CalcStage4Used && used[4];
}

// Frozen and print-title rows given by area count the rows written above the level that
// shows the area; only spreadsheets have them.
void PrepareSheetAreas(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const TRepType t = rf.Out().RepType;
  const bool sheet = t == rtHExcel || t == rtFlatODS;
  const TSheetOptions& o = rf.SheetOptions;
  TPartSheetOptions& s = p.SheetOptions;
  s.FreezeArea = sheet ? o.FreezeArea : 11;
  s.FreezeLevel = o.FreezeLevel;
  s.PrintTitleFirstArea = sheet ? o.PrintTitleFirstArea : 11;
  s.PrintTitleFirstLevel = o.PrintTitleFirstLevel;
  s.PrintTitleLastArea = o.PrintTitleLastArea;
  s.PrintTitleLastLevel = o.PrintTitleLastLevel;
  if (p.TableWanted) {
    if (s.FreezeArea != 11) p.GroupBys.FindLevelByShowKind(s.FreezeLevel, s.FreezeArea, false);
    if (s.PrintTitleFirstArea != 11)
      p.GroupBys.FindLevelByShowKind(s.PrintTitleFirstLevel, s.PrintTitleFirstArea, true);
    if (s.PrintTitleLastArea != 11)
      p.GroupBys.FindLevelByShowKind(s.PrintTitleLastLevel, s.PrintTitleLastArea, true);
  }
  s.FreezeRowCount = sheet ? o.FreezeRowCount : 0;
  s.PrintTitleRowsText = sheet ? o.PrintTitleRowsText : QString();
}

void DerivePassFlags(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.LevelStatsNeeded = p.ColsIfUsed || p.HasRowsIf;
  for (int i = 0; i < p.GroupBys.Count() && !p.LevelStatsNeeded; ++i) {
    const TGroupBy& g = p.GroupBys.GetItem(i);
    bool rowsLess = false;
    for (const auto* rules : {g.HeadRowsLess, g.TailRowsLess})
      for (int k = 0; k < 2; ++k)
        for (int s = 0; s < 2; ++s) rowsLess = rowsLess || rules[k][s].Threshold != 0;
    // USETOTAL needs the group's totals only for a text before or after the head.
    p.LevelStatsNeeded =
        LevelShowsHeadTotals(g) || (g.UseTotal && g.HasHeadTexts()) || rowsLess;
  }
  const TRepType t = rf.Out().RepType;
  p.PreviewNeeded = p.LevelStatsNeeded || p.AutoWidthUsed || t == rtHTML || t == rtHExcel ||
                    t == rtFlatODS || p.RowSpansUsed;
}

void InitHasDataFlags(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsData& main = *p.Datas.GetItem(0);
  main.HasData = !main.Eof();
  for (int i = 1; i < p.Datas.Count(); ++i) {
    TRepsData& d = *p.Datas.GetItem(i);
    d.HasData = !d.Eof() && LinkMatches(rf, i);
  }
}

// Separators of text output, border widths of the styled ones.
void PrepareSeparators(TRF& rf) {
  static const int kLeft = Key("SEPLEFT"), kRight = Key("SEPRIGHT"), kBottom = Key("SEPBOTTOM");
  TReportPart& p = *rf.CurPart;
  const TRepType t = rf.Out().RepType;
  if (t == rtText) {
    // A blank when SEPSTR gives none.
    const QString sep = rf.SepStr.isEmpty() ? QStringLiteral(" ") : rf.SepStr;
    TCol* lastKept = nullptr;
    bool lastRightGiven = false;
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      QString v;
      c.LeftSep = KeyValueForColumn(rf, {c.Alias, c.FieldName, kLeft}, v) ? v : QString();
      const bool rightGiven = KeyValueForColumn(rf, {c.Alias, c.FieldName, kRight}, v);
      c.RightSep = rightGiven ? v : sep;
      c.BottomSep = KeyValueForColumn(rf, {c.Alias, c.FieldName, kBottom}, v) ? v : QString();
      if (c.Visible) {
        lastKept = &c;
        lastRightGiven = rightGiven;
      }
    }
    if (lastKept && !lastRightGiven && lastKept->Kind == 0) lastKept->RightSep.clear();
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      c.LeftSepWidth = static_cast<qint32>(c.LeftSep.size());
      c.RightSepWidth = static_cast<qint32>(c.RightSep.size());
    }
    return;
  }
  if (t != rtHTML && t != rtRTF && t != rtHExcel && t != rtFlatODS) return;
  const auto sideMax = [](const TCol& c, int side) {
    qint16 w = c.BodyProps.BorderWidths[side];
    for (const auto* list : {&c.LevelHeadProps, &c.LevelTotalProps})
      for (const TCellProp& pr : *list) w = qMax(w, pr.BorderWidths[side]);
    return w;
  };
  TCol* prev = nullptr;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.LeftSep.clear();
    c.RightSep.clear();
    c.LeftSepWidth = sideMax(c, 0);
    c.RightSepWidth = sideMax(c, 2);
    if (t != rtHTML || !c.Visible) continue;
    // Neighbouring borders of an HTML table collapse into the wider one.
    if (prev) {
      const auto collapse = [](TCellProp& left, TCellProp& right) {
        left.BorderWidths[2] = qMax(left.BorderWidths[2], right.BorderWidths[0]);
        right.BorderWidths[0] = 0;
      };
      collapse(prev->BodyProps, c.BodyProps);
      for (size_t l = 0; l < c.LevelHeadProps.size() && l < prev->LevelHeadProps.size(); ++l) {
        collapse(prev->LevelHeadProps[l], c.LevelHeadProps[l]);
        collapse(prev->LevelTotalProps[l], c.LevelTotalProps[l]);
      }
    }
    prev = &c;
  }
  if (t != rtHTML) return;
  for (int l = p.GroupBys.Count() - 1; l >= 0; --l) {
    const TGroupBy& g = p.GroupBys.GetItem(l);
    // A text before the tail stands between the body and the total row: no shared border.
    for (int i = 0; i < p.Cols.Count() && !g.Texts[2][0]; ++i) {
      TCol& c = p.Cols.GetItem(i);
      if (size_t(l) >= c.LevelTotalProps.size()) continue;
      qint16& top = c.LevelTotalProps[size_t(l)].BorderWidths[1];
      const qint16 bottom = c.BodyProps.BorderWidths[3];
      top = bottom < top ? qint16(top - bottom) : qint16(0);
    }
    if (g.IsNewHeadLevel) break;
  }
}

void PrepareKeyFields(TRF& rf) {
  static const int kKey = Key("KEYFIELDS"), kNoKey = Key("NOKEYFIELDS");
  TReportPart& p = *rf.CurPart;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.IsKeyField = false;
    if (!p.MultiRecordRows) continue;
    c.IsKeyField = rf.KeyFieldsGiven ? KeyListedColumn(rf, {c.Alias, c.FieldName, kKey})
                                     : c.Kind == 0 && c.DataIndex >= 0;
    if (rf.NoKeyFieldsGiven && KeyListedColumn(rf, {c.Alias, c.FieldName, kNoKey}))
      c.IsKeyField = false;
  }
}

void PrepareCellProps(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsOutput& out = rf.Out();
  PrepareTextRows(rf);
  PrepareKeyFields(rf);
  PrepareTogether(rf);
  PrepareLevelCellProps(rf);
  PrepareSeparators(rf);
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.LevelHeadProps.empty()) continue;
    c.HeadProps = c.LevelHeadProps[0];
    c.TotalProps = c.LevelTotalProps[0];
  }
  if (p.StyledOutput)
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      for (size_t l = 0; l < c.LevelHeadProps.size(); ++l) {
        out.Styles.FindOrAddCellStyle(c.LevelHeadProps[l], QStringLiteral("r"));
        out.Styles.FindOrAddCellStyle(c.LevelTotalProps[l], QStringLiteral("r"));
      }
    }
  TCellProp& d = p.DefaultProps;
  d = TCellProp();
  d.Color = 0;
  d.BgColor = 16777215;
  d.FontName = out.DefFontName;
  d.FontSize = out.DefFontSize;
  orvReps_Styles::SetFontStyleBits(d, rf.DefFontStyle);
  d.BorderWidths = {0, 0, 0, 0};
  d.Margins = {10, 0, 10, 0};
  d.HAlign = 2;
  d.VAlign = 3;
  d.TextSize = nullptr;
  if (d.SplitMode == 0) d.SplitMode = 1;
  DistributeRowSpans(rf);
  if (out.RepType == rtRTF) RotateRtfMargins(rf);
}

void PreparePart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TRepsOutput& out = rf.Out();
  const qint64 start = Ticks();
  const TRepType type = out.RepType;
  p.StyledOutput =
      type == rtExcel || type == rtHTML || type == rtRTF || type == rtHExcel || type == rtFlatODS;
  // 2: progress bookkeeping.
  if (p.Datas.Count() > 0 && p.Datas.GetItem(0) && p.Datas.GetItem(0)->IsActive()) {
    p.RecordCount = p.Datas.GetItem(0)->RecordCount();
    rf.RecordTotal += p.RecordCount;
  }
  CheckPartDatas(rf);                                                             // 3
  p.TableWanted = !rf.ReplacedByFrame && !(p.ReplaceOnEmpty && p.MainDataEmpty);  // 4
  p.NewTableLevel = -1;                                                           // 5
  p.SeveralLevels = p.GroupBys.Count() > 1;
  // 6: the page width is the page driver's own.
  p.Cols.Clear();  // 7
  p.CalcCols = TCalcCols();
  if (!p.TotalsWanted) p.TotalsWanted = p.ColsIfUsed;  // 8
  for (int i = 0; i < p.GroupBys.Count() && !p.TotalsWanted; ++i) {
    const TGroupBy& g = p.GroupBys.GetItem(i);
    p.TotalsWanted = g.TailShowing || g.HeadShowTotal || g.UseTotal;
  }
  bool anyTotal = false;  // 9
  for (int d = 0; d < p.Datas.Count(); ++d) SetupColumns(rf, d, p.Datas.GetItem(d), anyTotal);
  SetupColumns(rf, -1, nullptr, anyTotal);
  p.TotalsWanted = anyTotal || p.ColsIfUsed;
  p.Cols.ClampWidths(false);  // 10
  // The texts of the levels above the new-head level depend on it: marked before them. A
  // NEWHEADBY left from an earlier report may name no level of this one.
  if (!p.GroupBys.MarkNewHeadLevel(p.Cols, rf.NewHeadBy) && rf.NewHeadByGiven)
    RaiseRepsError(rf, recGeneralError,
                   {QStringLiteral("В -NewHeadBy задан неизвестный уровень группировки: %1")
                        .arg(rf.NewHeadBy)},
                   false);
  p.NewHeadLevel = p.GroupBys.NewHeadLevel;
  p.HasNewHeadLevel = p.NewHeadLevel > 0;
  BindLevelTexts(rf);         // 11
  QString bad;                // 12
  if (!p.GroupBys.PrepareLevels(p.Cols, bad))
    RaiseRepsError(rf, recBadGroupFieldName, {bad}, false);
  p.GroupBys.PrepareRowRules(PropRepType(type).CanHideRows);
  p.Cols.SizeTotals(p.GroupBys.Count());
  PrepareRefreshFlags(rf);                                               // 13
  BindCrossColumns(rf);                                                  // 14
  ApplyColumnOrder(rf);                                                  // 15
  PrepareCaptions(rf);                                                   // 16
  PrepareMultiRecordRows(rf);                                            // 17
  ResolveUnionCols(rf);                                                  // 18
  PrepareCalcStages(rf);                                                 // 19
  if (type == rtHExcel || type == rtFlatODS) MergeFrameMasks(rf);        // 20
  PrepareCellProps(rf);                                                  // 21
  if (TFormatStringReestrs* reg = out.FormatRegistry()) reg->BindAll();  // 22
  // 23: THROUGH marks the columns repeated on every horizontal page (page driver).
  for (int i = 0; i < p.Cols.Count(); ++i) p.Cols.GetItem(i).OnAllPages = false;
  PrepareSheetAreas(rf);                                     // 24
  rf.ResetLevelCounters(false, true);                        // 25
  if (p.CopyOn) p.Copies = std::make_unique<QStringList>();  // 26
  for (int i = 0; i < p.Cols.Count(); ++i) {                 // 27
    TCol& c = p.Cols.GetItem(i);
    c.Value = c.PrevValue = Variant::Null();
  }
  p.EndOfData = false;                      // 28
  DerivePassFlags(rf);                      // 29
  InitHasDataFlags(rf);                     // 30
  p.CurDataIndex = p.MatchedDataIndex = 0;  // 31
  rf.PrepArgsKeys = TprepArgsKeys();        // 32
  p.SheetHeader = (type == rtHExcel || type == rtFlatODS) &&  // 33
                  (p.SheetOptions.FreezeRowCount > 0 || rf.SheetOptions.PrintTitleLastRow > 0);
  rf.PrepareTime += Ticks() - start;        // 34
}

}  // namespace orvReps_MAINPrepare
