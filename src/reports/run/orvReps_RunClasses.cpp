#include "reports/run/orvReps_RunClasses.h"

#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Main.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

TReportFrame& TReportFrames::AddFrame(const QString& name, const QString& style,
                                      const QString& text, bool asFrameCommand, bool cover) {
  const QString u = orvReps_Lib::UpperCase(name);
  TReportFrame* f = FindByName(u);
  if (!f) f = &items_.emplace_back();
  f->Name = u;
  f->Style = style;
  f->Text = text;
  f->AsFrameCommand = asFrameCommand;
  f->Cover = cover;
  return *f;
}

TReportFrame* TReportFrames::FindByName(const QString& name) {
  const QString u = orvReps_Lib::UpperCase(name);
  for (TReportFrame& f : items_)
    if (f.Name == u) return &f;
  return nullptr;
}

TIfMoreLine& TIfMoreLines::Add(const QString& cols, quint8 direction, qint32 count,
                               const QString& text1, const QString& text2) {
  return items_.emplace_back(TIfMoreLine{cols, direction, count, text1, text2});
}

const TIfMoreLine* TIfMoreLines::FindFor(quint8 direction, const QString& colName,
                                         const QString& colField) const {
  for (int i = Count() - 1; i >= 0; --i) {
    const TIfMoreLine& r = items_[i];
    if (r.Direction != direction) continue;
    bool include = false;
    const QString name = colField.isEmpty() ? colName : colField;
    if (orvReps_Values::MatchInList(0, -1, QStringLiteral("A"), name, r.Cols, include) > 0 &&
        include)
      return &r;
  }
  return nullptr;
}

void TValOnDiaps::Insert(int index, qint32 from, qint32 to, qint32 value) {
  items_.insert(items_.begin() + qBound(0, index, Count()), TValOnDiap{from, to, value});
}

void TValOnDiaps::InsertRange(qint32 from, qint32 to, qint32 value) {
  int i = 0;
  while (i < Count() && items_[i].From < from) ++i;
  if (i < Count()) {
    items_.insert(items_.begin() + i, TValOnDiap{from, to, value});
    if (i > 0 && items_[i - 1].To >= from) items_[i - 1].To = from - 1;
    for (int j = i + 1; j < Count();) {
      TValOnDiap& r = items_[j];
      if (r.From > to) break;
      if (r.To <= to) {
        items_.erase(items_.begin() + j);
        continue;
      }
      r.From = to + 1;
      break;
    }
    return;
  }
  if (!items_.empty() && items_.back().To >= from) {
    TValOnDiap& last = items_.back();
    const TValOnDiap old = last;
    last.To = from - 1;
    items_.push_back({from, to, value});
    if (old.To > to) items_.push_back({to + 1, old.To, old.Value});
    return;
  }
  items_.push_back({from, to, value});
}

qint32 TValOnDiaps::ValueAt(qint32 x, qint32 def) const {
  for (const TValOnDiap& d : items_)
    if (d.From <= x && x <= d.To) return d.Value;
  return def;
}

TprepArgsKey& TprepArgsKeys::Add3(qint32 key, const QString& a1, const QString& a2,
                                  const QString& a3) {
  return items_.emplace_back(TprepArgsKey{key, a1, a2, a3, 0});
}

// ---- Produced reports -----------------------------------------------------------------------

bool TReport::DeleteFiles() {
  if (Files.isEmpty()) return true;
  bool all = true;
  for (const QString& f : Files)
    if (!QFile::remove(f)) all = false;
  if (!FilesDir.isEmpty() && !QDir().rmdir(FilesDir)) all = false;
  State = all ? 2 : 1;
  return all;
}

void TReports::SetLastFilesDir(const QString& dir) {
  if (TReport* r = Last()) r->FilesDir = dir;
}

void TReports::AddFileToLast(const QString& fileName) {
  if (TReport* r = Last()) r->Files.append(fileName);
}

TReport& TReports::Add() { return *items_.emplace_back(std::make_unique<TReport>()); }

void TReports::Truncate(int count) {
  if (count >= 0 && count < Count()) items_.resize(static_cast<size_t>(count));
}

void TReports::Assign(const TReports& source) {
  for (const auto& s : source.items_) {
    TReport& r = Add();
    r.Files = s->Files;
    r.FilesDir = s->FilesDir;
    r.Title = s->Title;
    r.Opened = s->Opened;
    r.Showing = s->Showing;
    r.RepType = s->RepType;
  }
}

void orvReps_OutClasses::AddReport(std::unique_ptr<TReports>& reports, const QString& fileName,
                                   const QString& filesDir, const QString& title, bool showing,
                                   TRepType repType) {
  if (!reports) reports = std::make_unique<TReports>();
  TReport& r = reports->Add();
  r.Files.append(fileName);
  r.FilesDir = filesDir;
  r.Title = title;
  r.Showing = showing;
  r.RepType = repType;
}

// ---- Parts ----------------------------------------------------------------------------------

TReportPart::TReportPart() = default;
TReportPart::~TReportPart() = default;

void TReportPart::ResetSettings() {
  IfMoreLines.Clear();
  HasEmptyRowRules = false;
  SheetOptions = {};
  State = 0;
  LastPart = true;
  TableWanted = true;
  EndOfData = false;
  ResumeLevel = -1;
  Resumed = ResumeInRow = false;
  AdvanceDeferred = false;
  FirstChangedLevel = -1;
  GroupProcs = false;
  CalcStage1Used = CalcStage2Used = CalcStage3Used = CalcStage4Used = false;
  RefreshDatasEachRow = false;
  AutoWidthAtEnd = false;
  RowSpansUsed = false;
  RowExists = BodyRowsWritten = true;
  RowAction = 0;
  CaseMode = 0;
  DosOutput = false;
  LineBreaks = true;
  StickTail = false;
  CountsSubRows = HasRowsIf = false;
  LimitLevel = -1;
  ColumnsFormatting = true;
  UnderlineEvery = 0;
  UnderlineMask.clear();
  CopyOn = false;
  CopyLevel = 0;
  CopyCount = 2;
  for (auto& t : CopyTexts) t.reset();
  SpecFields.clear();
  TextSplitLimit = 2147483647;
  TextSplitMode = 1;
  TotalsWanted = ColsIfUsed = AutoWidthUsed = MaskSpanUsed = false;
  AddWidthUsed = TotalFormatUsed = FormulaWithCommands = SkipNullUsed = false;
  MaskWidths.clear();
  MaskLevels.reset();
  MaskVisible.reset();
  ReplaceOnEmpty = false;
  ReplacementText.clear();
  Replacement.reset();
  Copies.reset();
  Cols.Clear();
  CalcCols = TCalcCols();
  GroupBys.DeleteFrom(1);
  GroupBys.GetItem(0).InitDefaults();
}

TReportPart& TReportParts::Add() {
  auto& p = items_.emplace_back(std::make_unique<TReportPart>());
  p->Index = Count() - 1;
  return *p;
}

void TReportParts::DeleteAllExcept(const TReportPart* keep) {
  std::erase_if(items_, [keep](const auto& p) { return p.get() != keep; });
  for (int i = 0; i < Count(); ++i) items_[i]->Index = i;
}

// ---- Prepared key arguments -----------------------------------------------------------------

void orvReps_RepClasses::PrepKeyArgs(TRF& rf, qint32 option, bool expand) {
  const int key = rf.Pars->CurKey;
  QString a1, a2, a3;
  rf.NextKeyArg(a1);
  const int n = KeyDefs[key].ArgCount;
  auto read = [&](QString& s) { expand ? rf.NextKeyArg(s) : rf.NextRawArg(s); };
  TprepArgsKey* e;
  if (n <= 1) {
    e = &rf.PrepArgsKeys.Add1(key, a1);
  } else if (n == 2) {
    read(a2);
    e = &rf.PrepArgsKeys.Add2(key, a1, a2);
  } else {
    read(a2);
    read(a3);
    e = &rf.PrepArgsKeys.Add3(key, a1, a2, a3);
  }
  e->Option = option;
}

void orvReps_RepClasses::KeyTotal(TRepsRun& run) { PrepKeyArgs(static_cast<TRF&>(run), 0, true); }

void orvReps_RepClasses::SetPrepArgsFlagsFromKey(TRepsRun& run) {
  TRF& rf = static_cast<TRF&>(run);
  if (rf.PrepArgsKeys.Count() == 0 || rf.Pars->TopEntry < 0) return;
  rf.PrepArgsKeys.GetItem(rf.PrepArgsKeys.Count() - 1).Option =
      rf.Pars->KeyHistory[rf.Pars->TopEntry].Flags;
}

void orvReps_RepClasses::KeyColsIfLevel(TRepsRun& run) {
  TRF& rf = static_cast<TRF&>(run);
  QString a;
  rf.NextKeyArg(a);
  const int level = StrToInt(a);
  if (rf.PrepArgsKeys.Count() > 0)
    rf.PrepArgsKeys.GetItem(rf.PrepArgsKeys.Count() - 1).Option = level;
}
