#include "reports/run/orvReps_Prepare.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_DocBlocks.h"
#include "reports/output/orvReps_DocWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_VirRows.h"
#include "reports/run/orvReps_KeyArgs_p.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryFile>

#include <cerrno>

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;

const QByteArray kCrLf("\r\n");

// A complete record for the style sheet: the run's font, no margins.
TCellProp BaseCellProp(const TRepsOutput& out) {
  TCellProp p;
  p.FontName = out.DefFontName;
  p.Margins = {0, 0, 0, 0};
  return p;
}

}  // namespace

// The document being written, on the one horizontal page the steps lay a part on. A file's
// body goes to an owner-only spool until its head can be written; a file break starts the
// next file on the next output.
struct TReportSteps::TDocOut : TDocPages {
  explicit TDocOut(TRF& rf) : Rf(rf) {}
  TRF& Rf;
  TRepType Type = rtText;
  bool Markup = false, Dos = false;
  QString FileName;
  std::unique_ptr<QTemporaryFile> Spool;
  // The last line's break is still to be written; STICK TAIL joined the tail's first text.
  bool BreakDue = false, TailJoined = false;
  QByteArray Bytes;  // the line being written, kept for its capacity
  TDocPageState Page;
  TPartOut* Part = nullptr;

  int Count() override { return 1; }
  TDocPageState& State(int) override { return Page; }
  THPageSlot& Slot(int) override;
  void AddOutput(int page, const QString& text, int kind) override;
  void WriteFile() override;
  void ForgetResultFile() override { Rf.ResultFile.clear(); }
  void Open();
  void Abandon();
};

// One part's table on its (single) horizontal page.
struct TReportSteps::TPartOut {
  THPageSlots Slots;
  TPageRowsPart Rows;
  TDocRun Doc;
};

// ---- Document --------------------------------------------------------------------------------

THPageSlot& TReportSteps::TDocOut::Slot(int) { return Part->Slots[0]; }

void TReportSteps::TDocOut::Open() {
  Rf.EnsureResultFile();
  FileName = Rf.ResultFile;
  Spool = std::make_unique<QTemporaryFile>(orvReps_Lib::TempDir() +
                                           QStringLiteral("/orvreps-XXXXXX.spool"));
  if (!Spool->open())
    RaiseRepsError(Rf, recGeneralError,
                   {QStringLiteral("не создан временный файл: %1").arg(Spool->errorString())},
                   false);
  BreakDue = false;
}

void TReportSteps::TDocOut::AddOutput(int page, const QString& text, int kind) {
  if (!Spool) Open();
  if (kind != okFrame && kind != LastOutKind && page == 0) LastOutKind = kind;
  if (Capture && page == 0) Capture->append(text);
  const TReportPart* p = Rf.CurPart;
  QByteArray& bytes = Bytes;
  bytes.resize(0);
  // STICK ALL keeps everything on one line; STICK TAIL joins a tail's first text to the line
  // before it.
  if (p && p->StickTail && InTail && !TailJoined) {
    BreakDue = false;
    TailJoined = true;
  }
  if (!InTail) TailJoined = false;
  if (BreakDue) bytes += kCrLf;
  BreakDue = !p || p->LineBreaks || p->StickTail;
  const int caseMode = p ? p->CaseMode : 0;
  if (caseMode == 0)
    orvReps_DocWriters::AppendEncodedLine(bytes, text, Markup, Dos);
  else
    orvReps_DocWriters::AppendEncodedLine(
        bytes, orvReps_DocWriters::MapCase(text, caseMode, Markup), Markup, Dos);
  if (Spool->write(bytes) != bytes.size())
    RaiseRepsError(Rf, recGeneralError,
                   {QStringLiteral("ошибка записи в файл %1: %2")
                        .arg(Spool->fileName(), Spool->errorString())},
                   false);
}

void TReportSteps::TDocOut::Abandon() {
  if (!FileName.isEmpty()) QFile::remove(FileName);
  Spool.reset();
  FileName.clear();
}

void TReportSteps::TDocOut::WriteFile() {
  if (!Spool) Open();
  QByteArray head;
  if (Markup) {
    THtmlDocSettings s;
    s.Title = Rf.Title;
    s.Dos = Dos;
    s.HeadTag = Rf.CurPart->HeadTag;
    s.BodyTag = Rf.CurPart->BodyTag;
    s.ViewKind = Rf.ViewMode > 0 ? Rf.ViewMode : -1;
    if (Part) s.RowBreaksXml = Part->Doc.RowBreaksXml;
    const QString h = orvReps_DocWriters::HtmlHead(Rf.Out(), Type, s,
                                                   Part ? Part->Slots[0].MaskCols.get() : nullptr);
    head = orvReps_DocWriters::EncodeLine(h, true, Dos);
    AddOutput(0, orvReps_DocWriters::DocTail(), okFrame);
  }
  QFile file(FileName);
  const auto fail = [&](int err) {
    const QString name = FileName;
    Abandon();
    RaiseRepsError(Rf, recNoOpenFile, {QString::number(err), name}, false);
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail(errno);
  bool ok = file.write(head) == head.size();
  Spool->seek(0);
  char buf[65536];
  for (qint64 n; ok && (n = Spool->read(buf, sizeof buf)) > 0;) ok = file.write(buf, n) == n;
  if (ok && Type == rtText && BreakDue) ok = file.write(kCrLf) == kCrLf.size();
  if (!ok || !file.flush()) return fail(errno);
  file.close();
  Spool.reset();
  FileName.clear();
  Page.TableOpen = false;
}

// ---- Steps -----------------------------------------------------------------------------------

TReportSteps::TReportSteps() = default;
TReportSteps::~TReportSteps() = default;

TReportSteps::TPartOut& TReportSteps::Part(TRF& rf) {
  auto& slot = parts_[rf.CurPart];
  if (!slot) PreparePart(rf);
  TPartOut& po = *parts_[rf.CurPart];
  doc_->Part = &po;
  return po;
}

void TReportSteps::PreparePart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const TRepType type = rf.Out().RepType;
  orvReps_MAINPrepare::PreparePart(rf);

  // One page; preparation set the separators (SEPSTR, a blank by default, for text).
  const bool text = type == rtText;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.HPage = 0;
    c.CurMaskSpan = 1;
    c.HeadText = c.DisplayName;
    rf.EscapeOutText(c.HeadText);
    c.CurProps = &c.BodyProps;
  }

  if (!doc_) {
    doc_ = std::make_unique<TDocOut>(rf);
    doc_->Type = type;
    doc_->Markup = type == rtHTML || type == rtHExcel;
    doc_->Dos = p.DosOutput;
  }
  auto out = std::make_unique<TPartOut>();
  TPartOut& po = *out;
  TPageRowsPart& rows = po.Rows;
  rows.RepType = type;
  rows.Styles = &rf.Out().Styles;
  rows.Cols = &p.Cols;
  rows.Groups = &p.GroupBys;
  rows.TitleProps = BaseCellProp(rf.Out());
  if (text) rows.RowBottomLine = p.UnderlineMask;
  po.Slots.resize(1);
  orvReps_LevelRows::BuildPageRows(rows, po.Slots);

  TDocRun& d = po.Doc;
  d.Pages = doc_.get();
  d.Part = &rows;
  d.IsGraphic = doc_->Markup;
  d.TableTag = p.TableTag;
  d.UnderlineEvery = text ? p.UnderlineEvery : 0;
  d.CopyOn = p.CopyOn;
  d.CopyLevel = p.CopyLevel;
  d.CopyCount = p.CopyCount;
  for (int i = 0; i < p.GroupBys.Count(); ++i)
    if (type == rtHExcel && p.GroupBys.GetItem(i).BreakKind == 1) d.CountsRows = true;
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
  d.LegendText = [&rf, &p](int level, int) {
    const TGroupBy& g = p.GroupBys.GetItem(level);
    QString t = g.Legend ? g.LegendText : QString();
    rf.EscapeOutText(t);
    return t;
  };
  // TEXTS of the level's areas, else the standard group text before the head. Text output
  // writes them as lines of their own, markup in the title row across the table.
  for (int i = 0; i < p.GroupBys.Count(); ++i)
    for (auto& area : p.GroupBys.GetItem(i).Texts)
      for (auto& t : area)
        if (t) t->BindReferences();
  d.LevelText = [&rf, &p, text, &po](int level, int area, int slot, TAreaText& t) {
    const TGroupBy& g = p.GroupBys.GetItem(level);
    t.Mode = text ? 0 : 1;
    const int at = TGroupBy::TextSlotOfArea(area);
    if (at >= 0 && g.Texts[at][slot]) {
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
  parts_[&p] = std::move(out);
  doc_->Part = &po;
}

void TReportSteps::ReadRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  Part(rf);
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    c.PrevValue = c.Value;
    c.Value = c.DataField ? c.DataField->GetValue() : Variant();
    c.HasValue = true;
    c.RecCount = 1;
  }
  rf.RowRecCount = 1;
  // Calculated columns once the fields are read; AFTERALL ones once the row is counted.
  CalcColumns(rf, false);
}

// Constants and the row's stages once the fields are read (FORALLROW first: groups may read
// them); AFTERALL once the row is counted.
void TReportSteps::CalcColumns(TRF& rf, bool afterAll) {
  if (afterAll) {
    rf.CalcStageColumns(1);
  } else {
    rf.SetConstColumns();
    rf.CalcStageColumns(3);
    rf.CalcEachRecordColumns();
    rf.CalcStageColumns(2);
  }
  rf.CurCol = nullptr;
}

void TReportSteps::FirstRowStep(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.PartRowCount = p.PartExistRowCount = p.PartVisibleRowCount = 0;
  p.GroupBys.ProcessBreak(p.Cols, true, {});
  // The first record opens every level, the whole part's included.
  p.FirstChangedLevel = 0;
  EvalRowRules(rf, 0);
}

// ROWSIF conditions from the level that broke, then what they and MAX leave for the row.
void TReportSteps::EvalRowRules(TRF& rf, int fromLevel) {
  TReportPart& p = *rf.CurPart;
  TGroupBys& g = p.GroupBys;
  if (fromLevel >= 0)
    g.EvalLevelConditions(fromLevel, [&](TCompileCode& code, int level) {
      const qint32 saved = rf.CurLevel;
      rf.CurLevel = level;
      Variant v;
      code.Execute(v);
      rf.CurLevel = saved;
      return v.IsNumeric() && v.ToBool();
    });
  p.RowAction = g.RowAction;
  p.BodyRowsWritten = !g.BodyDeleted;
}

void TReportSteps::GroupBreakStep(TRF& rf, bool newRow) {
  rf.GroupBreakStep(newRow);
  if (newRow) EvalRowRules(rf, rf.CurPart->FirstChangedLevel);
}

// A level's break follows its tail, before the next group opens.
void TReportSteps::LevelBreak(TRF& rf, int level) {
  const TGroupBy& g = rf.CurPart->GroupBys.GetItem(level);
  if (TBreakProc proc =
          orvReps_DocWriters::GetBreakProc(rf.Out().RepType, g.BreakKind, g.SheetName != nullptr))
    proc(Part(rf).Doc, level, false);
}

void TReportSteps::GroupHeadsStep(TRF& rf, int firstLevel) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  for (int level = qMax(0, firstLevel); level < p.GroupBys.Count(); ++level) {
    rf.CurLevel = level;
    orvReps_DocWriters::WriteGroupHead(po.Doc, level, false, true);
  }
  rf.CurLevel = -1;
}

void TReportSteps::WriteBodyRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  if (!p.RowExists) return;
  const bool hidden = PropRepType(rf.Out().RepType).CanHideRows && !p.RowVisible;
  orvReps_DocWriters::WriteBodyRow(po.Doc, hidden);
}

// The row is counted in the levels before the AFTERALL columns, which number it.
void TReportSteps::RowSteps(TRF& rf) {
  rf.DecideRowVisibility();
  CalcColumns(rf, true);
}

void TReportSteps::AddRowToTotals(TRF& rf) { rf.AddRowToTotals(); }

void TReportSteps::WriteEmptyRows(TRF& rf, int rows) { rf.AddEmptyRows(rows); }

// The last group closes at the end of the pass: the shallowest level with a MIN fills it.
void TReportSteps::AddMinEmptyRows(TRF& rf) {
  const TGroupBys& g = rf.CurPart->GroupBys;
  for (int level = 0; level < g.Count(); ++level)
    if (g.GetItem(level).MinCount > 0) {
      WriteEmptyRows(rf, g.MissingMinRows(level));
      return;
    }
}

int TReportSteps::LevelCount(TRF& rf) { return rf.CurPart->GroupBys.Count(); }

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
  if (!doc_) return;
  if (!rf.TailsWriting) {
    AbandonDocument();
    return;
  }
  orvReps_DocWriters::FinishPart(Part(rf).Doc, true);
  doc_.reset();
  parts_.clear();
}

void TReportSteps::AbandonDocument() {
  if (doc_) doc_->Abandon();
  doc_.reset();
  parts_.clear();
}

// ---- Keys ------------------------------------------------------------------------------------

namespace {}  // namespace

namespace orvReps_OutKeys {

void KeyRepFormat(TRepsRun& run) {
  TRF& rf = R(run);
  const QString word = Arg(run);
  const int type = orvReps_Keys::RepTypeByName(word);
  if (type == rtNone || type == rtReps) {
    rf.SetRepType(rtText);
    RaiseRepsError(rf, recBadRepFormat, {word}, false);
  }
  rf.SetRepType(static_cast<TRepType>(type));
  TReportPart& p = *rf.CurPart;
  p.HeadTag.clear();
  p.BodyTag.clear();
  p.TableTag =
      type == rtHExcel
          ? QStringLiteral("style=\"border:none\" cellspacing=0 cellpadding=0 BorderColor=Black")
          : QStringLiteral(
                "style=\"border:none\" border=1 cellspacing=0 cellpadding=0 BorderColor=Black");
  if (type == rtHTML || type == rtHExcel) p.BodyTag = QStringLiteral("LeftMargin=0 TopMargin=0");
}

void KeyUpper(TRepsRun& run) { R(run).CurPart->CaseMode = 1; }
void KeyLower(TRepsRun& run) { R(run).CurPart->CaseMode = -1; }
void KeyAscii(TRepsRun& run) { R(run).CurPart->DosOutput = true; }

void KeyTag(TRepsRun& run) {
  TRF& rf = R(run);
  const QString tag = orvReps_Lib::UpperCase(Arg(run));
  const QString mode = Arg(run);
  const QString text = Arg(run);
  TReportPart& p = *rf.CurPart;
  QString* target = tag == QLatin1String("HEAD")    ? &p.HeadTag
                    : tag == QLatin1String("BODY")  ? &p.BodyTag
                    : tag == QLatin1String("TABLE") ? &p.TableTag
                    : tag == QLatin1String("TITLE") ? &rf.Title
                                                    : nullptr;
  if (!target) return;
  if (mode == QLatin1String("+"))
    *target += QLatin1Char(' ') + text;
  else if (mode == QLatin1String("="))
    *target = text;
}

}  // namespace orvReps_OutKeys
