// Level texts and report frames of a part: frames named in head and tail slots are compiled
// once per slot, their spreadsheet sub-columns merged, and the areas told how they are written.
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_MAINPrepare.h"
#include "reports/run/orvReps_Main.h"

#include <algorithm>

namespace orvReps_MAINPrepare {

namespace {

bool SheetType(TRepType t) { return t == rtHExcel || t == rtFlatODS; }

// A frame's text for a slot: a frame command for FRAME and FRAMECOVER, otherwise the text
// with the style definition applied to its literals by the output's frame writer.
std::shared_ptr<TFormatCommands> CompileFrame(TRF& rf, const TReportFrame& f) {
  TRepsOutput& out = rf.Out();
  if (f.AsFrameCommand)
    return orvReps_FormatString::CompileFormatString(
        QStringLiteral("[Frame ") + f.Style + QLatin1Char(';') + f.Text + QLatin1Char(']'), out,
        false, false, f.Cover, false, false);
  std::shared_ptr<TFormatCommands> text = orvReps_FormatString::CompileFormatString(
      f.Text, out, false, false, f.Cover, false, out.RepType == rtFlatODS);
  if (text) {
    QString unused;
    orvReps_CellWriters::WriteFrameText(out, out.Canvas.get(), unused, out.RepType, f.Style,
                                        f.Text, text.get(), -1, out.Styles);
  }
  return text;
}

// The sheet sub-columns a frame gives, made the first time a spreadsheet slot binds it.
void PrepareFrameMask(TRF& rf, TReportFrame& f, int level, int area, int page) {
  if (f.Prepared) return;
  f.Prepared = std::make_shared<TMaskSubCols>();
  f.PrepLevel = level;
  f.PrepSlot = area;
  f.PrepPos = page;
  if (level < 0) return;
  QString bad;
  if (!ReadFrameWidths(f.Style, *f.Prepared, bad)) {
    if (!f.Style.isEmpty()) rf.Out().FrameColumnWidths = true;
    return;
  }
  if (!bad.isEmpty())
    RaiseRepsError(rf, recGeneralError,
                   {QStringLiteral("Ошибка: ширина \"%1\" в рамке %2 не является числом")
                        .arg(bad, f.Name)},
                   false);
}

// Binds one slot; false when it is left alone (no frame name, no frame, an empty frame).
bool BindFrameSlot(TRF& rf, const QString& name, std::shared_ptr<TFormatCommands>& text,
                   int level, int area, int page) {
  if (name.isEmpty()) return false;
  TReportFrame* f = rf.ReportFrames.FindByName(name);
  if (!f || (f->Style.isEmpty() && f->Text.isEmpty())) return false;
  if (SheetType(rf.Out().RepType)) PrepareFrameMask(rf, *f, level, area, page);
  text.reset();
  text = CompileFrame(rf, *f);
  return true;
}

}  // namespace

bool ReadFrameWidths(const QString& definition, TMaskSubCols& mask, QString& bad) {
  bad.clear();
  qsizetype i = 0;
  while (i < definition.size() && definition[i] <= QLatin1Char(' ')) ++i;
  if (i + 1 >= definition.size() || definition[i].toUpper() != QLatin1Char('W') ||
      definition[i + 1] != QLatin1Char(':'))
    return false;
  i += 2;
  qsizetype end = i;
  while (end < definition.size() && definition[end] >= QLatin1Char('!')) ++end;
  if (end == i) return true;
  for (const QString& item : definition.mid(i, end - i).split(QLatin1Char(','))) {
    TMaskSubCol& c = mask.Add();
    if (item.isEmpty()) continue;
    int n = 0;
    if (!TryStrToInt(item, n)) {
      if (bad.isEmpty()) bad = item;
      continue;
    }
    c.Width = static_cast<qint32>(n / 2.437587);
    c.WidthSet = true;
  }
  return true;
}

void BindLevelTexts(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  // The replacement of the report is bound first and shares with no slot.
  BindFrameSlot(rf, p.ReplacementText, p.Replacement, -1, 0, 0);
  for (int l = 0; l < p.GroupBys.Count(); ++l) {
    TGroupBy& g = p.GroupBys.GetItem(l);
    for (int page = 0; page < 3; ++page)
      for (int a = 0; a < 4; ++a) {
        const QString& name = g.TextFrames[a][page];
        if (name.isEmpty()) continue;
        // An earlier page of the same area naming the same frame lends its compiled text.
        int same = -1;
        for (int q = 0; q < page && same < 0; ++q)
          if (g.FrameTexts[a][q] && g.TextFrames[a][q] == name) same = q;
        if (same >= 0) {
          g.Texts[a][page] = g.Texts[a][same];
          g.FrameTexts[a][page] = true;
          continue;
        }
        if (BindFrameSlot(rf, name, g.Texts[a][page], l, a, page)) g.FrameTexts[a][page] = true;
      }
  }
  // Field references of every level text, once per compiled text.
  for (int l = 0; l < p.GroupBys.Count(); ++l)
    for (auto& area : p.GroupBys.GetItem(l).Texts)
      for (auto& t : area)
        if (t && !t->Bound) t->BindReferences();
  if (p.Replacement && !p.Replacement->Bound) p.Replacement->BindReferences();
}

void MergeFrameMasks(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.SheetMasks = TMaskSubCols();
  std::vector<const TReportFrame*> frames;
  for (int i = 0; i < rf.ReportFrames.Count(); ++i)
    if (rf.ReportFrames.GetItem(i).Prepared) frames.push_back(&rf.ReportFrames.GetItem(i));
  // Tail slots (2, 3) go before head slots; the first page's head frames of level 0 come
  // last, so their widths win.
  const auto key = [](const TReportFrame* f) {
    const bool tail = f->PrepSlot >= 2;
    return std::make_tuple(-f->PrepPos, tail ? 0 : 1, -f->PrepSlot,
                           tail ? f->PrepLevel : -f->PrepLevel);
  };
  std::stable_sort(frames.begin(), frames.end(),
                   [&](const TReportFrame* a, const TReportFrame* b) { return key(a) < key(b); });
  for (const TReportFrame* f : frames) p.SheetMasks.MergeFrom(*f->Prepared, true);
}

void PrepareTextRows(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const TRepType t = rf.Out().RepType;
  // Each text takes its line end once, however many slots share it and however often the
  // part is built.
  const auto endLine = [&](const std::shared_ptr<TFormatCommands>& text, const QString& tail) {
    if (!text) return;
    for (const auto& w : p.LineEndedTexts)
      if (w.lock() == text) return;
    p.LineEndedTexts.push_back(text);
    text->AddText(tail, false);
  };
  const auto appendToCopies = [&](const QString& tail) {
    for (auto& c : p.CopyTexts) endLine(c, tail);
  };
  if (t == rtText) {
    for (int l = 0; l < p.GroupBys.Count(); ++l)
      std::fill(std::begin(p.GroupBys.GetItem(l).TextRows),
                std::end(p.GroupBys.GetItem(l).TextRows), 0);
    return;
  }
  if (t == rtRTF) {
    appendToCopies(QStringLiteral("\\par"));
    for (int l = 0; l < p.GroupBys.Count(); ++l) {
      TGroupBy& g = p.GroupBys.GetItem(l);
      std::fill(std::begin(g.TextRows), std::end(g.TextRows), 0);
      for (auto& area : g.Texts)
        for (auto& text : area) endLine(text, QStringLiteral("\\par"));
    }
    return;
  }
  if (t != rtHTML && t != rtHExcel && t != rtFlatODS) return;
  appendToCopies(QStringLiteral("<BR>"));
  // HTML with NEWHEADBY: the levels above the new-table level write their outer texts
  // outside the tables that level opens.
  int newTable = -1;
  if (t == rtHTML)
    for (int l = 1; l < p.GroupBys.Count() && newTable < 0; ++l)
      if (p.GroupBys.GetItem(l).IsNewHeadLevel) newTable = l;
  for (int l = 0; l < p.GroupBys.Count(); ++l) {
    TGroupBy& g = p.GroupBys.GetItem(l);
    for (int a = 0; a < 4; ++a) {
      const bool frame = g.FrameTexts[a][0] || g.FrameTexts[a][1] || g.FrameTexts[a][2];
      const bool outer = a == 0 || a == 3;
      g.TextRows[a] = frame ? 2 : (outer && l < newTable) ? 0 : 1;
    }
  }
}

// TOGETHER ranges: the first column of a range is marked 1, the rest of it 2.
void PrepareTogether(TRF& rf) {
  TCols& cols = rf.CurPart->Cols;
  for (int i = 0; i < cols.Count(); ++i) cols.GetItem(i).Together = 0;
  const auto matches = [&](int i, const QString& mask) {
    const TCol& c = cols.GetItem(i);
    return orvReps_Values::MatchFieldRef(0, 0, c.Alias, c.FieldName, mask);
  };
  for (const TTogetherCols& pair : rf.PageSettings.TogetherCols) {
    int from = 0;
    while (from < cols.Count()) {
      int first = from;
      while (first < cols.Count() && !matches(first, pair.First)) ++first;
      if (first >= cols.Count()) break;
      int last = first;
      while (last < cols.Count() && !matches(last, pair.Last)) ++last;
      if (last >= cols.Count()) break;
      cols.GetItem(first).Together = 1;
      for (int j = first + 1; j <= last; ++j) cols.GetItem(j).Together = 2;
      from = last + 1;
    }
  }
}

}  // namespace orvReps_MAINPrepare
