#include "reports/run/orvReps_Prepare.h"

#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_DocBlocks.h"
#include "reports/output/orvReps_DocWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_HPages.h"
#include "reports/output/orvReps_HtmlDoc.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_VirRows.h"
#include "reports/run/orvReps_ReadPass.h"
#include "reports/run/orvReps_SheetFiles.h"

#include <QtCore/QFile>

#include <climits>
#include <utility>

namespace {

// A complete record for the style sheet: the run's font, no margins.
TCellProp BaseCellProp(const TRepsOutput& out) {
  TCellProp p;
  p.FontName = out.DefFontName;
  p.Margins = {0, 0, 0, 0};
  return p;
}

// What the split reads of the part: mask rounding, growth, frozen and print-title columns.
THPagesPartSettings PartPageSettings(const TReportPart& p) {
  THPagesPartSettings s;
  s.RoundToMask = p.MaskSpanUsed;
  s.MaskUnit = p.MaskWidths.empty() ? 0 : p.MaskWidths.front();
  s.Growth = p.AddWidthUsed;
  const TPartSheetOptions& o = p.SheetOptions;
  if (o.FreezeColsCount < 0)
    s.FreezeColsName = o.FreezeColsText;
  else if (o.FreezeColsCount > 0)
    s.FreezeColsNumber = o.FreezeColsCount;
  if (o.PrintTitleColsGiven) {
    s.ThroughColsText = o.PrintTitleColsText;
    s.ThroughColsFirst = o.PrintTitleColsFirst;
    s.ThroughColsLast = o.PrintTitleColsLast;
  }
  return s;
}

}  // namespace

// The run's document over the run's horizontal pages. The first output of a file claims the
// result file; a file break, the end of the report or a sheet break joins the pages and
// writes page 1 with its head.
struct TReportSteps::TDocOut {
  explicit TDocOut(TRF& rf) : Rf(rf), Pages(rf.HPages()), Serial(Pages.Serial) {}
  TRF& Rf;
  THRepsPages& Pages;
  const quint64 Serial;
  TRepType Type = rtText;
  bool Markup = false;
  QString FileName;  // claimed by the file's first output
  THtmlDocSettings Sheet;
  QString PendingSheetName;
  bool SheetsWritten = false;
  TPartOut* Part = nullptr;

  void StartFile();
  void CloseAndJoin();
  THtmlDocSettings& HeadSettings();
  void WriteFile();
  void WriteSheetFile(int level);
  void Abandon();
};

// One part's table on the horizontal pages: its slots, the rows' view of the part, the
// writers' state and the widths the split started from (a rebuild after a mid-part join
// starts from them again, so growth is not applied twice).
struct TReportSteps::TPartOut {
  THPageSlots Slots;
  TPageRowsPart Rows;
  TDocRun Doc;
  THPagesPartSettings Settings;
  std::vector<qint32> Widths;
  TReportPart* Part = nullptr;
  bool NeedsSplit = false;
};

// ---- Document --------------------------------------------------------------------------------

void TReportSteps::TDocOut::StartFile() {
  Rf.EnsureResultFile();
  FileName = Rf.ResultFile;
}

// Every page's table is closed, then pages 2..n go below page 1; their first table call is
// replayed there so that each piece of the table stands in a table of its own.
void TReportSteps::TDocOut::CloseAndJoin() {
  if (!Part) return;
  TDocRun& d = Part->Doc;
  orvReps_DocWriters::CloseTables(d);
  // The part's later rows need its pages again: the split is made afresh before them.
  if (Pages.Count() > 1) Part->NeedsSplit = true;
  Pages.JoinPages(
      [&d](bool open, int page) {
        orvReps_DocWriters::TableClose(d, 0);
        if (open) orvReps_DocWriters::TableOpen(d, 0, page);
      },
      false);
}

THtmlDocSettings& TReportSteps::TDocOut::HeadSettings() {
  THtmlDocSettings& s = Sheet;
  const TReportPart& p = *Rf.CurPart;
  s.Title = Rf.Title;
  s.Dos = Pages.Dos;
  s.HeadTag = p.HeadTag;
  s.BodyTag = p.BodyTag;
  s.ViewKind = Rf.ViewMode > 0 ? Rf.ViewMode : -1;
  if (Part) s.RowBreaksXml = Part->Doc.RowBreaksXml;
  const TSheetOptions& o = Rf.SheetOptions;
  s.ShowGrid = o.ShowGrid;
  s.ShowHeadings = o.ShowHeadings;
  s.ShowOutline = o.ShowOutline;
  s.SummaryAbove = o.SummaryAbove;
  s.SummaryRight = o.SummaryRight;
  s.TabsGiven = o.TabsGiven;
  s.ShowTabs = o.ShowTabs;
  s.ShowHorScroll = o.ShowHorScroll;
  s.ShowVerScroll = o.ShowVerScroll;
  s.FitWidth = o.FitWidth;
  s.FitHeight = o.FitHeight;
  s.PrintScale = o.PrintScale;
  s.Zoom = o.Zoom;
  s.BlackAndWhite = o.BlackAndWhite;
  s.Protect = o.Protect;
  s.PaperSizeIndex = Rf.PageSettings.Paper.PaperSizeIndex;
  s.FreezeCols = Pages.FreezeCols;
  // Rows given by area are the rows the head wrote above it on this sheet.
  const TPartSheetOptions& po = p.SheetOptions;
  s.FreezeRows = po.FreezeArea != 11 ? (Part ? Part->Doc.TitleRows.FreezeRows : 0)
                                     : po.FreezeRowCount;
  s.PrintTitleCols = Pages.PrintTitleCols;
  s.PrintTitleRows = po.PrintTitleFirstArea != 11
                         ? (Part ? orvReps_DocWriters::CountedTitleRows(Part->Doc) : QString())
                         : po.PrintTitleRowsText;
  return s;
}

void TReportSteps::TDocOut::WriteFile() {
  if (!Pages.FileStarted) {
    Pages.FileStarted = true;
    StartFile();
  }
  CloseAndJoin();
  if (SheetsWritten) {
    // The rest of the workbook is its last sheet; the main file lists the sheets.
    // Its name comes from the level that breaks to sheets, as the earlier sheets' did.
    int level = -1;
    if (Part)
      for (int i = 0; i < Part->Rows.Groups->Count() && level < 0; ++i)
        if (Part->Rows.Groups->GetItem(i).SheetName) level = i;
    WriteSheetFile(level);
    THtmlDocSettings& s = HeadSettings();
    auto host = orvReps_SheetFiles::Host(Rf, Pages, s, PendingSheetName, {});
    orvReps_DocWriters::WriteFrameset(host);
    SheetsWritten = false;
    s.PrintTitlesXml.clear();
  } else {
    if (Markup) {
      THtmlDocSettings& s = HeadSettings();
      orvReps_DocWriters::InsertHead(
          Pages, orvReps_DocWriters::HtmlHead(Rf.Out(), Type, s,
                                              Part ? Part->Slots[0].MaskCols.get() : nullptr));
      s.PrintTitlesXml.clear();
      Pages.AddOutput(0, orvReps_DocWriters::DocTail(), okFrame);
    }
    Pages.WriteFirstPage(FileName, Rf.AppendMode);
    Pages.GetItem(0).Lines.ClearAll();
  }
  Pages.GetItem(0).TableOpen = false;
  Pages.FileStarted = false;
  FileName.clear();
}

void TReportSteps::TDocOut::WriteSheetFile(int level) {
  if (level >= 0 && Part) {
    const TGroupBy& g = Part->Rows.Groups->GetItem(level);
    if (g.SheetName) {
      PendingSheetName.clear();
      g.SheetName->Execute(PendingSheetName, Rf.Out().PageWidth, Part->Slots[0].TableWidth, -1,
                           false, nullptr, level);
    }
  }
  CloseAndJoin();
  THtmlDocSettings& s = HeadSettings();
  TDocRun* d = Part ? &Part->Doc : nullptr;
  auto host = orvReps_SheetFiles::Host(Rf, Pages, s, PendingSheetName, [d] {
    if (d) orvReps_DocWriters::TableClose(*d, 0);
  });
  orvReps_DocWriters::WriteSheetFile(host);
  SheetsWritten = true;
  // The next sheet starts with the part's frozen columns and no print-title names.
  Pages.FreezeCols = Pages.DefFreezeCols;
  Pages.GetItem(0).TableOpen = false;
}

void TReportSteps::TDocOut::Abandon() {
  if (!FileName.isEmpty() && Pages.FileStarted) QFile::remove(FileName);
  if (Pages.Count() > 0) Pages.GetItem(0).Lines.ClearAll();
  Pages.FileStarted = false;
  FileName.clear();
}

// ---- Steps -----------------------------------------------------------------------------------

TReportSteps::TReportSteps() = default;
TReportSteps::~TReportSteps() = default;

TReportSteps::TPartOut& TReportSteps::Part(TRF& rf) {
  if (doc_ && doc_->Serial != rf.HPages().Serial) ForgetDocument();
  auto it = parts_.find(rf.CurPart);
  if (it == parts_.end()) {
    PreparePart(rf);
    it = parts_.find(rf.CurPart);
  }
  TPartOut& po = *it->second;
  if (doc_->Part != &po || po.NeedsSplit) UsePart(rf, po);
  return po;
}

// The part becomes the one the pages write: its case, STICK and slots. Another part's pages
// are joined first: a part starts its split on one page.
void TReportSteps::UsePart(TRF& rf, TPartOut& po) {
  THRepsPages& pages = doc_->Pages;
  if (doc_->Part && doc_->Part != &po && pages.Count() > 1) doc_->CloseAndJoin();
  const TReportPart& p = *po.Part;
  doc_->Part = &po;
  pages.CaseMode = p.CaseMode;
  pages.Stick = p.StickTail ? smTail : !p.LineBreaks ? smAll : smLines;
  if (po.NeedsSplit) Rebuild(po, pages);
  pages.UseSlots(po.Slots);
  (void)rf;
}

// Splits the part's columns over the pages again and builds each page's rows.
void TReportSteps::Rebuild(TPartOut& po, THRepsPages& pages) {
  TCols& cols = *po.Rows.Cols;
  for (int i = 0; i < cols.Count() && i < static_cast<int>(po.Widths.size()); ++i)
    cols.GetItem(i).Width = po.Widths[size_t(i)];
  po.NeedsSplit = false;
  pages.Build(cols, po.Slots, po.Settings, [&po](int page) {
    THPageSlot& slot = po.Slots[size_t(page)];
    slot.GrpRows.Sync(po.Rows.Groups->Count());
    orvReps_LevelRows::BuildPageBodyRows(po.Rows, page, slot);
    orvReps_LevelRows::BuildLevelRows(po.Rows, page, slot);
  });
}

void TReportSteps::StartDocument(TRF& rf) {
  if (doc_ && doc_->Serial != rf.HPages().Serial) ForgetDocument();
  if (doc_) return;
  const TReportPart& p = *rf.CurPart;
  doc_ = std::make_unique<TDocOut>(rf);
  TDocOut& doc = *doc_;
  doc.Type = rf.Out().RepType;
  doc.Markup = doc.Type == rtHTML || doc.Type == rtHExcel;
  THRepsPages& pages = doc.Pages;
  pages.RepType = doc.Type;
  pages.Dos = p.DosOutput;
  const TRepsPageSettings& s = rf.PageSettings;
  pages.PageWidth = s.UsableWidth == INT_MAX ? 0 : s.UsableWidth;
  // CONSTRAINT On: the page's usable width is the limit.
  pages.MaxWidth = s.MaxWidth == -2 ? (s.UsableWidth == INT_MAX ? -1 : s.UsableWidth) : s.MaxWidth;
  pages.MaxCols = s.MaxCols;
  pages.MaxMaskCols = s.MaxMaskCols;
  pages.ThroughMasks = s.ThroughCols;
  pages.EmptyFields = s.EmptyFields;
  pages.EmptyValues = s.EmptyValues;
  pages.Paper = s.Paper;
  pages.FreezeCols = pages.DefFreezeCols = -1;
  pages.PrintTitleCols.clear();
  pages.FileStarted = false;
  pages.OnStartFile = [&doc] { doc.StartFile(); };
  pages.OnWriteFile = [&doc] { doc.WriteFile(); };
  pages.OnForgetResultFile = [&doc] { doc.Rf.ResultFile.clear(); };
  pages.OnWriteSheetFile = [&doc](int level) { doc.WriteSheetFile(level); };
  if (pages.Count() == 0) pages.AddPage();
  rf.FirstPageRowCount = [&rf] {
    THRepsPages& pages = rf.HPages();
    return pages.Count() > 0 ? pages.State(0).RowCount : 0;
  };
}

// A run that ended without closing its document left it behind: its pages died with it.
void TReportSteps::ForgetDocument() {
  doc_.reset();
  parts_.clear();
}

void TReportSteps::PreparePart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const TRepType type = rf.Out().RepType;
  orvReps_MAINPrepare::PreparePart(rf);
  StartDocument(rf);
  THRepsPages& pages = doc_->Pages;
  // A part starts its split on one page.
  if (pages.Count() > 1) doc_->CloseAndJoin();

  // Preparation set the separators (SEPSTR, a blank by default, for text).
  const bool text = type == rtText;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.HPage = 0;
    c.HeadText = c.DisplayName;
    rf.EscapeOutText(c.HeadText);
    c.CurProps = &c.BodyProps;
  }

  // A part that goes on in the sheet of the one before finds the rows above it written.
  const bool sheetGoesOn = doc_->Part && pages.LastOutKind != 0 && pages.LastOutKind != okSection;
  const TTitleRowCounts counted = doc_->Part ? doc_->Part->Doc.TitleRows : TTitleRowCounts();

  auto& slot = parts_[&p];
  if (slot) pages.DetachSlots(slot->Slots);
  slot = std::make_unique<TPartOut>();
  TPartOut& po = *slot;
  po.Part = &p;
  TPageRowsPart& rows = po.Rows;
  rows.RepType = type;
  rows.Styles = &rf.Out().Styles;
  rows.Cols = &p.Cols;
  rows.Groups = &p.GroupBys;
  rows.SheetMasks = &p.SheetMasks;
  rows.MaskWidths = p.MaskWidths;
  rows.TitleProps = BaseCellProp(rf.Out());
  if (text) rows.RowBottomLine = p.UnderlineMask;
  po.Settings = PartPageSettings(p);
  pages.ApplyColumnMasks(p.Cols);
  for (int i = 0; i < p.Cols.Count(); ++i) po.Widths.push_back(p.Cols.GetItem(i).Width);
  Rebuild(po, pages);
  // Columns restored for a pass or for a new head: split afresh with their widths. A new
  // head's rows go into tables of their own, so the open ones are closed and joined first.
  rf.LayOutPages = [this, &rf] {
    TPartOut& out = Part(rf);
    const TCols& cols = *out.Rows.Cols;
    std::vector<qint32> widths;
    for (int i = 0; i < cols.Count(); ++i) widths.push_back(cols.GetItem(i).Width);
    const bool newHead = rf.CurPart->RowNewTableLevel >= 0;
    if (!newHead && widths == out.Widths) return;
    // The split starts from one page.
    if (newHead || doc_->Pages.Count() > 1) doc_->CloseAndJoin();
    out.Widths = std::move(widths);
    out.NeedsSplit = true;
    UsePart(rf, out);
  };

  TDocRun& d = po.Doc;
  d.Pages = &pages;
  d.Part = &rows;
  d.IsGraphic = doc_->Markup;
  d.TableTag = p.TableTag;
  d.UnderlineEvery = text ? p.UnderlineEvery : 0;
  d.CopyOn = p.CopyOn;
  d.CopyLevel = p.CopyLevel;
  d.CopyCount = p.CopyCount;
  // Row breaks and row heights need the sheet's row numbers; a spreadsheet counts them in
  // every part, as a later part in the same sheet may break by rows.
  d.CountsRows = rf.RowSizeRulesPresent || type == rtHExcel;
  const TPartSheetOptions& so = p.SheetOptions;
  TTitleRowCounts& keys = d.TitleRowKeys;
  if (so.FreezeArea != 11) keys.Freeze = {so.FreezeArea, so.FreezeLevel};
  if (so.PrintTitleFirstArea != 11) {
    keys.TitleStart = {so.PrintTitleFirstArea, so.PrintTitleFirstLevel};
    keys.TitleEnd = so.PrintTitleLastArea != 11
                        ? TTitleRowLimit{so.PrintTitleLastArea, so.PrintTitleLastLevel}
                        : keys.TitleStart;
  }
  d.TitleRows = keys;
  if (sheetGoesOn) {
    d.TitleRows = counted;
    d.TitleRows.Freeze.Area = d.TitleRows.TitleStart.Area = d.TitleRows.TitleEnd.Area = saNone;
  }
  d.OnArea = [&rf](int area) { rf.SetOutputStage(area); };
  d.SetValueText = [&rf](TCol& c) {
    rf.CurCol = &c;
    c.Text = rf.ColValueToText(c, -1, c.Value, -1, c.Width, true);
    rf.CurCol = nullptr;
  };
  d.SetTotalText = [&rf](TCol& c, int level) {
    rf.CurCol = &c;
    c.TotalValue = c.GetTotalValue(level, rf.GetLevelRowCount(rf.PartTotals, level, 0));
    c.TotalText = rf.ColValueToText(c, -1, c.Value, level, c.Width, false);
    rf.CurCol = nullptr;
  };
  d.LevelValues = [&rf](int level, bool restore) {
    if (restore)
      orvReps_MAINPrepare::RestoreLevelValues(rf, level);
    else
      orvReps_MAINPrepare::SaveLevelValues(rf, level);
  };
  d.LegendText = [&rf, &p](int level, int) {
    const TGroupBy& g = p.GroupBys.GetItem(level);
    QString t = g.Legend ? g.LegendText : QString();
    rf.EscapeOutText(t);
    return t;
  };
  // TEXTS and FRAMES of the level's areas, written as preparation decided for the output
  // type, else the standard group text before the head.
  d.LevelText = [&rf, &p, text, &po](int level, int area, int slot, TAreaText& t) {
    const TGroupBy& g = p.GroupBys.GetItem(level);
    t.Mode = text ? 0 : 1;
    const int at = TGroupBy::TextSlotOfArea(area);
    if (at >= 0 && g.Texts[at][slot]) {
      t.Mode = g.TextRows[at];
      t.Text.clear();
      g.Texts[at][slot]->Execute(t.Text, rf.Out().PageWidth, po.Slots[0].TableWidth, -1, false,
                                 nullptr, level);
      return true;
    }
    if (area != saHText1 || !g.HeadShowing || !g.ShowGroup || g.GroupCols.empty()) return false;
    QStringList parts;
    for (TCol* c : g.GroupCols) parts << rf.ColValueToText(*c, -1, c->Value, -1, c->Width, false);
    t.Text = parts.join(QLatin1Char(' '));
    t.Mode = 1;
    return true;
  };
  d.CopyText = [&rf, &p](int which, QString& t) {
    const auto& f = p.CopyTexts[which];
    if (!f) return false;
    t.clear();
    f->Execute(t, rf.Out().PageWidth, rf.Out().PageWidth, -1, false, nullptr, -1);
    return true;
  };
  doc_->Part = nullptr;
  UsePart(rf, po);
}

void TReportSteps::GroupHeadsStep(TRF& rf, int firstLevel) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  // The data objects stand on the next row's record already: heads read the part's fields
  // from the columns, as tails do.
  const bool wasBreakTails = std::exchange(rf.BreakTails, true);
  for (int level = qMax(0, firstLevel); level < p.GroupBys.Count(); ++level) {
    rf.CurLevel = level;
    orvReps_DocWriters::WriteGroupHead(po.Doc, level, false, true);
  }
  rf.BreakTails = wasBreakTails;
  rf.CurLevel = -1;
}

// The replacement of a part without its table: a TEXT of REPLACEREP outside the tables, a
// report frame as the other frames of the part are written.
void TReportSteps::WriteLeadingText(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  if (!p.Replacement) return;
  TAreaText t;
  t.Mode = 0;
  if (doc_->Markup && rf.ReportFrames.FindByName(p.ReplacementText)) t.Mode = 2;
  p.Replacement->Execute(t.Text, rf.Out().PageWidth, po.Slots[0].TableWidth, -1, false, nullptr,
                         -1);
  orvReps_DocWriters::WriteTitleText(po.Doc, 0, t, false);
}

void TReportSteps::WriteBodyRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  if (!p.RowExists) return;
  const bool hidden = PropRepType(rf.Out().RepType).CanHideRows && !p.RowVisible;
  orvReps_DocWriters::WriteBodyRow(po.Doc, hidden);
}

void TReportSteps::WriteGroupTail(TRF& rf, int level) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  if (level < 0 || level >= p.GroupBys.Count()) return;
  rf.CurLevel = level;
  rf.PartTotals = level == 0;
  orvReps_DocWriters::WriteGroupTail(po.Doc, level, true);
  // At the end of a pass the levels close here; during the pass the break clears them too.
  if (rf.TailsWriting)
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      if (level < static_cast<int>(c.Totals.size())) c.Totals[level] = TTtlSum{};
    }
  rf.CurLevel = -1;
  rf.PartTotals = false;
}

void TReportSteps::CloseTables(TRF& rf) {
  if (doc_ && doc_->Serial != rf.HPages().Serial) ForgetDocument();
  if (!doc_) return;
  if (!rf.TailsWriting) {
    AbandonDocument();
    return;
  }
  TPartOut& po = Part(rf);
  doc_->CloseAndJoin();
  orvReps_DocWriters::FinishPart(po.Doc, true);
  ReleaseDocument();
}

// After a part's pass the pages go below page 1 again.
void TReportSteps::JoinPages(TRF& rf) {
  if (!doc_ || doc_->Serial != rf.HPages().Serial) return;
  if (doc_->Pages.Count() > 1) doc_->CloseAndJoin();
}

void TReportSteps::AbandonDocument() {
  if (doc_) doc_->Abandon();
  ReleaseDocument();
}

// The pages outlive the document (they are the run's): they forget its parts and hooks.
void TReportSteps::ReleaseDocument() {
  if (doc_) {
    THRepsPages& pages = doc_->Pages;
    for (auto& [part, po] : parts_) pages.DetachSlots(po->Slots);
    pages.OnStartFile = nullptr;
    pages.OnWriteFile = nullptr;
    pages.OnForgetResultFile = nullptr;
    pages.OnWriteSheetFile = nullptr;
    pages.Capture = nullptr;
    doc_->Rf.FirstPageRowCount = nullptr;
  }
  doc_.reset();
  parts_.clear();
}

// A level's break follows its tail, before the next group opens.
void TReportSteps::LevelBreak(TRF& rf, int level) {
  // No table, no breaks between its groups.
  if (!rf.CurPart->TableWanted) return;
  const TGroupBy& g = rf.CurPart->GroupBys.GetItem(level);
  if (TBreakProc proc =
          orvReps_DocWriters::GetBreakProc(rf.Out().RepType, g.BreakKind, g.SheetName != nullptr))
    proc(Part(rf).Doc, level, false);
}
