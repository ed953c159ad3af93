#include "reports/output/orvReps_HPages.h"

#include "reports/lang/orvReps_Errs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Run.h"
#include "reports/output/orvReps_DocWriters.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryFile>

#include <algorithm>
#include <atomic>
#include <cerrno>

namespace {

const QByteArray kCrLf("\r\n");

qint32 SepWidth(const TCol& c) { return c.LeftSepWidth + c.RightSepWidth; }

// The width a column takes on its page, with its separators.
qint32 W(const TCol& c, qint32 width) { return width + SepWidth(c); }

qint32 Grown(const TCol& c, int growth) {
  if (c.AddWidth <= 0 || growth <= 0) return c.Width;
  qint32 w = c.Width + std::min(growth, c.AddWidth);
  if (c.MaxWidth > 0) w = std::min(w, c.MaxWidth);
  return w;
}

}  // namespace

// ---- TRepLines -------------------------------------------------------------------------------

qint64 TRepLines::SpoolThreshold = 256 * 1024;

TRepLines::TRepLines() = default;
TRepLines::~TRepLines() = default;

void TRepLines::SetEncoding(bool markup, bool dos) { markup_ = markup, dos_ = dos; }

void TRepLines::InsertHeadLine(const QString& text) {
  HeadPos = std::clamp<qint32>(HeadPos, 0, static_cast<qint32>(head_.size()));
  head_.insert(HeadPos++, text);
}

void TRepLines::Encode(QByteArray& into, const TRepLine& line) const {
  orvReps_DocWriters::AppendEncodedLine(into, line.Text, markup_, dos_);
  if (line.EndsLine) into += kCrLf;
}

void TRepLines::Add(const QString& text, bool endsLine) {
  if (hasLast_) {
    Encode(pending_, last_);
    if (pending_.size() > SpoolThreshold) Flush();
  }
  last_.Text = text;
  last_.EndsLine = endsLine;
  hasLast_ = true;
  ++count_;
}

void TRepLines::Flush() {
  if (pending_.isEmpty()) return;
  Spill(pending_);
  pending_.resize(0);
}

void TRepLines::Spill(const QByteArray& bytes) {
  if (!error_.isEmpty()) return;
  if (!spool_) {
    // QTemporaryFile creates the file readable and writable by its owner only.
    spool_ = std::make_unique<QTemporaryFile>(orvReps_Lib::TempDir() +
                                              QStringLiteral("/orvreps-XXXXXX.spool"));
    if (!spool_->open()) {
      error_ = spool_->fileTemplate() + QStringLiteral(": ") + spool_->errorString();
      return;
    }
  }
  if (spool_->write(bytes) != bytes.size()) {
    error_ = spool_->fileName() + QStringLiteral(": ") + spool_->errorString();
    return;
  }
  spooled_ += bytes.size();
}

void TRepLines::AppendFrom(TRepLines& other) {
  if (&other == this) return;
  if (hasLast_) Encode(pending_, last_);
  hasLast_ = false;
  if (error_.isEmpty() && !other.error_.isEmpty()) error_ = other.error_;
  if (other.spool_ && other.spooled_ > 0 && error_.isEmpty()) {
    Flush();
    // The other spool's buffered tail may fail to reach the disk: reading back fewer bytes
    // than were spooled would drop lines without a word.
    QTemporaryFile& from = *other.spool_;
    qint64 left = other.spooled_;
    if (!from.flush() || !from.seek(0)) left = -1;
    while (left > 0 && error_.isEmpty()) {
      const QByteArray chunk = from.read(std::min<qint64>(left, 1 << 16));
      if (chunk.isEmpty()) break;
      Spill(chunk);
      left -= chunk.size();
    }
    if (left != 0 && error_.isEmpty())
      error_ = from.fileName() + QStringLiteral(": ") +
               (from.error() != QFileDevice::NoError ? from.errorString()
                                                     : QStringLiteral("прочитано меньше записанного"));
  }
  pending_ += other.pending_;
  if (pending_.size() > SpoolThreshold) Flush();
  if (other.hasLast_) {
    last_ = other.last_;
    hasLast_ = true;
  }
  count_ += other.count_;
  const QString keep = error_;
  other.ClearAll();
  error_ = keep;
}

void TRepLines::ClearAll() {
  head_.clear();
  HeadPos = 0;
  pending_.clear();
  spool_.reset();
  spooled_ = 0;
  last_ = TRepLine();
  hasLast_ = false;
  count_ = 0;
  error_.clear();
}

QString TRepLines::TakeError() {
  QString e;
  e.swap(error_);
  return e;
}

QString TRepLines::SpoolName() const { return spool_ ? spool_->fileName() : QString(); }

bool TRepLines::WriteTo(QIODevice& device, QString& error) {
  if (!error_.isEmpty()) {
    error = error_;
    return false;
  }
  const auto put = [&](const QByteArray& bytes) {
    if (bytes.isEmpty() || device.write(bytes) == bytes.size()) return true;
    error = device.errorString();
    return false;
  };
  QByteArray bytes;
  for (const QString& line : head_) Encode(bytes, TRepLine{line, true});
  if (!put(bytes)) return false;
  if (spool_ && spooled_ > 0) {
    if (!spool_->flush() || !spool_->seek(0)) {
      error = spool_->fileName() + QStringLiteral(": ") + spool_->errorString();
      return false;
    }
    qint64 left = spooled_;
    while (left > 0) {
      const QByteArray chunk = spool_->read(std::min<qint64>(left, 1 << 16));
      if (chunk.isEmpty()) {
        error = spool_->fileName() + QStringLiteral(": ") + spool_->errorString();
        return false;
      }
      if (!put(chunk)) return false;
      left -= chunk.size();
    }
    spool_->seek(spool_->size());
  }
  if (!put(pending_)) return false;
  bytes.resize(0);
  if (hasLast_) Encode(bytes, last_);
  return put(bytes);
}

// ---- Pages -----------------------------------------------------------------------------------

namespace {
quint64 NextSerial() {
  static std::atomic<quint64> serial{0};
  return ++serial;
}
}  // namespace

THRepsPages::THRepsPages(TRepsRun* run) : Run(run), Serial(NextSerial()) {}
THRepsPages::~THRepsPages() = default;

THRepsPage& THRepsPages::AddPage() {
  auto page = std::make_unique<THRepsPage>();
  page->DeferFirstTableCall = !pages_.empty();
  pages_.push_back(std::move(page));
  SetEncoding();
  SyncSlots();
  return *pages_.back();
}

void THRepsPages::SetEncoding() {
  const bool markup = RepType == rtHTML || RepType == rtHExcel;
  for (auto& p : pages_) p->Lines.SetEncoding(markup, Dos);
}

void THRepsPages::AttachSlots(THPageSlots& pageSlots) {
  if (!current_) current_ = &pageSlots;
  if (std::find(slotLists_.begin(), slotLists_.end(), &pageSlots) == slotLists_.end())
    slotLists_.push_back(&pageSlots);
  pageSlots.resize(pages_.size());
}

void THRepsPages::DetachSlots(THPageSlots& pageSlots) {
  if (current_ == &pageSlots) current_ = nullptr;
  slotLists_.erase(std::remove(slotLists_.begin(), slotLists_.end(), &pageSlots), slotLists_.end());
}

void THRepsPages::SyncSlots() {
  for (THPageSlots* s : slotLists_) s->resize(pages_.size());
}

void THRepsPages::Raise(int code, const QStringList& args) {
  const auto c = static_cast<TRepsErrCode>(code);
  if (Run) RaiseRepsError(*Run, c, args, false);
  throw ERepsAbort(FormatRepsErr(c, args));
}

void THRepsPages::ApplyColumnMasks(TCols& cols) {
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    c.OnAllPages = std::any_of(ThroughMasks.begin(), ThroughMasks.end(), [&](const QString& m) {
      return orvReps_Values::MatchFieldRef(0, 0, c.Alias, c.FieldName, orvReps_Lib::Trimmed(m));
    });
    c.EmptyValues.clear();
  }
  const int n = static_cast<int>(std::min(EmptyFields.size(), EmptyValues.size()));
  for (int e = n - 1; e >= 0; --e)
    for (int i = 0; i < cols.Count(); ++i) {
      TCol& c = cols.GetItem(i);
      bool include = false;
      if (orvReps_Values::MatchInList(0, 0, c.Alias, c.FieldName, EmptyFields.at(e), include) < 0 ||
          !include)
        continue;
      for (const QString& item : EmptyValues.at(e).split(QLatin1Char(','))) {
        Variant v;
        orvReps_Lib::TypedTextToVariant(v, item, c.ValueType, true);
        c.EmptyValues.push_back(v);
      }
    }
}

void THRepsPages::RoundToMask(TCols& cols, qint32 unit) {
  if (unit <= 0) return;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.AutoMaskSpan) continue;
    const qint32 total = W(c, c.Width);
    const qint32 span = std::max<qint32>((total + unit - 1) / unit, 1);
    c.CurMaskSpan = span;
    c.Width = span * unit - SepWidth(c);
  }
}

// The splitting walk. Without a trial it places the columns, adding pages; with one it uses
// the trial's widths, counts pages instead of adding them and fails (false) at the column
// that would need a page beyond the current count, leaving its index in stoppedAt.
bool THRepsPages::Split(TCols& cols, std::vector<TAW>* trial, std::vector<qint32>& widths,
                        int* stoppedAt) {
  const auto width = [&](int i) {
    const TCol& c = cols.GetItem(i);
    return W(c, trial ? (*trial)[i].Width : c.Width);
  };
  qint32 hw = 0, hn = 0, hs = 0;
  for (int i = 0; i < cols.Count(); ++i) {
    const TCol& c = cols.GetItem(i);
    if (!c.Visible || !c.OnAllPages) continue;
    hw += width(i), ++hn, hs += c.CurMaskSpan;
  }
  if (!trial && pages_.empty()) AddPage();
  int last = trial ? 0 : Count() - 1;
  widths.assign(std::max(Count(), last + 1), hw);
  qint32 n = hn, s = hs;
  int visible = 0;
  bool inRange = false;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.Visible) continue;
    if (!trial) c.VisibleNo = ++visible;
    if (c.OnAllPages) continue;
    qint32 jw = 0, jn = 0, js = 0;
    if (c.Together == 1)
      for (int j = i + 1; j < cols.Count() && cols.GetItem(j).Together > 1; ++j)
        jw += width(j), ++jn, js += cols.GetItem(j).CurMaskSpan;
    ++n, s += c.CurMaskSpan;
    const qint32 wx = width(i);
    // A TOGETHER range is never cut: only its first column may open a page, so a range
    // wider than a page overflows the page its first column opened.
    if (c.Together != 2) inRange = c.Together == 1;
    const bool newPage =
        !(inRange && c.Together == 2) &&
        ((MaxWidth > 0 && widths[last] + wx + jw > MaxWidth) || (MaxCols > 0 && n + jn > MaxCols) ||
         (MaxMaskCols > 0 && s + js > MaxMaskCols));
    if (newPage) {
      if (trial) {
        if (last + 1 >= Count()) {
          if (stoppedAt) *stoppedAt = i;
          return false;
        }
      } else {
        AddPage();
        widths.push_back(hw);
      }
      ++last;
      widths[last] = hw;
      n = hn + 1, s = hs + c.CurMaskSpan;
    }
    if (trial) {
      (*trial)[i].PrevPage = (*trial)[i].Page;
      (*trial)[i].Page = last;
    } else {
      c.HPage = last;
    }
    widths[last] += wx;
  }
  return true;
}

void THRepsPages::ExpandColumnsToFit(TCols& cols, THPageSlots& pageSlots) {
  current_ = &pageSlots;
  if (!growth_) return;
  std::vector<TAW> aw(cols.Count());
  qint32 g = 0;
  for (int i = 0; i < cols.Count(); ++i) {
    const TCol& c = cols.GetItem(i);
    if (!c.Visible) continue;
    aw[i].Page = aw[i].PrevPage = c.HPage;
    g = std::max(g, c.AddWidth);
  }
  int accepted = 0;
  std::vector<qint32> widths;
  for (int k = 1; k <= g; ++k) {
    for (int i = 0; i < cols.Count(); ++i) aw[i].Width = Grown(cols.GetItem(i), k);
    int stopped = cols.Count();
    if (!Split(cols, &aw, widths, &stopped)) {
      // The columns this trial placed hold the accepted pages in PrevPage.
      for (int i = 0; i < stopped; ++i)
        if (cols.GetItem(i).Visible && !cols.GetItem(i).OnAllPages) aw[i].Page = aw[i].PrevPage;
      break;
    }
    accepted = k;
  }
  if (accepted == 0) return;
  for (int i = 0; i < cols.Count(); ++i) {
    TCol& c = cols.GetItem(i);
    if (!c.Visible) continue;
    c.Width = Grown(c, accepted);
    // Every column follows the accepted layout, widened or not: the order across pages holds.
    if (!c.OnAllPages) c.HPage = aw[i].Page;
  }
  RecomputeWidths(cols);
}

void THRepsPages::RecomputeWidths(TCols& cols) {
  if (!current_) return;
  for (int p = 0; p < Count() && p < static_cast<int>(current_->size()); ++p) {
    qint32 sum = 0;
    for (int i = 0; i < cols.Count(); ++i) {
      const TCol& c = cols.GetItem(i);
      if (c.IsOnHPage(p)) sum += W(c, c.Width);
    }
    (*current_)[p].TableWidth = sum;
  }
}

// Each column's first mask column on each page, columns in order.
void THRepsPages::LayOffsets(TCols& cols) {
  for (int i = 0; i < cols.Count(); ++i) cols.GetItem(i).HPageOffsets.assign(Count(), -1);
  for (int p = 0; p < Count(); ++p) {
    qint32 s = 0;
    for (int i = 0; i < cols.Count(); ++i) {
      TCol& c = cols.GetItem(i);
      if (!c.IsOnHPage(p)) continue;
      c.HPageOffsets[p] = s;
      s += c.CurMaskSpan;
    }
  }
}

void THRepsPages::SheetColumns(TCols& cols, const THPagesPartSettings& part) {
  // First and last mask columns (1-based) of a column on page 1.
  const auto lastMask = [](const TCol& c) { return c.GetHPagePos(0, false); };
  const auto firstMask = [](const TCol& c) { return c.GetHPagePos(0, true); };
  qint32 freeze = -1;
  if (!part.FreezeColsName.isEmpty()) {
    const TCol* c = cols.FindCol(orvReps_Lib::UpperCase(part.FreezeColsName));
    if (c && c->IsOnHPage(0)) freeze = lastMask(*c);
  } else if (part.FreezeColsNumber >= 0) {
    qint32 total = 0, seen = 0;
    for (int i = 0; i < cols.Count(); ++i) {
      const TCol& c = cols.GetItem(i);
      if (!c.IsOnHPage(0)) continue;
      total += c.CurMaskSpan;
      if (++seen == part.FreezeColsNumber) {
        freeze = lastMask(c);
        break;
      }
    }
    if (freeze < 0) freeze = total;
  }
  if (freeze >= 0) {
    if (FreezeCols < 0) FreezeCols = freeze;
    DefFreezeCols = freeze;
  }
  QString titles = part.ThroughColsText;
  if (titles.isEmpty() && !part.ThroughColsFirst.isEmpty() && !part.ThroughColsLast.isEmpty()) {
    const TCol* a = cols.FindCol(orvReps_Lib::UpperCase(part.ThroughColsFirst));
    const TCol* b = cols.FindCol(orvReps_Lib::UpperCase(part.ThroughColsLast));
    if (a && b && a->IsOnHPage(0) && b->IsOnHPage(0) && firstMask(*a) <= lastMask(*b)) {
      QString from, to;
      orvReps_Values::ExcelColName(from, firstMask(*a));
      orvReps_Values::ExcelColName(to, lastMask(*b));
      titles = QLatin1Char('$') + from + QStringLiteral(":$") + to;
    }
  }
  PartPrintTitleCols = titles;
  if (PrintTitleCols.isEmpty()) PrintTitleCols = titles;
}

void THRepsPages::Build(TCols& cols, THPageSlots& pageSlots, const THPagesPartSettings& part,
                        const std::function<void(int)>& buildRows) {
  AttachSlots(pageSlots);
  current_ = &pageSlots;
  growth_ = part.Growth;
  // Special fields, column unions and title columns of levels come before the split; the
  // parts that need them hook in here.
  if (part.RoundToMask) RoundToMask(cols, part.MaskUnit);
  std::vector<qint32> widths;
  Split(cols, nullptr, widths, nullptr);
  for (int p = 0; p < Count(); ++p) pageSlots[p].TableWidth = widths[p];
  ExpandColumnsToFit(cols, pageSlots);
  LayOffsets(cols);
  if (buildRows)
    for (int p = 0; p < Count(); ++p) buildRows(p);
  if (RepType == rtHExcel || RepType == rtFlatODS) SheetColumns(cols, part);
}

void THRepsPages::JoinPages(const std::function<void(bool, int)>& tableCall, bool closeAtEnd,
                            const std::function<void()>& finish) {
  if (!pages_.empty()) {
    THRepsPage& first = *pages_.front();
    for (int p = 1; p < Count(); ++p) {
      THRepsPage& page = *pages_[p];
      if (!page.DeferFirstTableCall && tableCall) tableCall(page.DeferredTableOpen, p);
      first.Lines.AppendFrom(page.Lines);
      first.TableOpen = page.TableOpen;
      first.RowCount += page.RowCount;
    }
    const QString err = first.Lines.TakeError();
    while (Count() > 1) pages_.pop_back();
    SyncSlots();
    if (!err.isEmpty())
      Raise(recGeneralError, {QStringLiteral("ошибка записи во временный файл %1").arg(err)});
  }
  if (closeAtEnd && finish) finish();
}

void THRepsPages::AddOutput(int page, const QString& text, int kind) {
  if (page < 0 || page >= Count()) return;
  if (!FileStarted) {
    FileStarted = true;
    if (OnStartFile) OnStartFile();
  }
  THRepsPage& pg = *pages_[page];
  if (kind != 3 && kind != LastOutKind && page == 0) {
    if (RepType == rtRTF && LastOutKind == 4 && kind == 2)
      pg.Lines.Add(QStringLiteral("\\par"), true);
    LastOutKind = kind;
  }
  const QString& mapped =
      CaseMode == 0 ? text : orvReps_DocWriters::MapCase(text, CaseMode, RepType);
  if (!InTail) tailJoined_ = false;
  switch (Stick) {
    case smAll: pg.Lines.Add(mapped, false); break;
    case smTail:
      if (InTail && !tailJoined_) {
        if (TRepLine* last = pg.Lines.Last()) last->EndsLine = false;
        tailJoined_ = true;
      }
      pg.Lines.Add(mapped, true);
      break;
    default: pg.Lines.Add(mapped, true); break;
  }
  if (Capture && page == 0) Capture->append(text);
  const QString err = pg.Lines.TakeError();
  if (!err.isEmpty())
    Raise(recGeneralError, {QStringLiteral("ошибка записи во временный файл %1").arg(err)});
}

void THRepsPages::WriteResultFile(const QString& fileName, TRepLines& lines, bool append) {
  QFile file(fileName);
  const bool existed = QFileInfo::exists(fileName);
  const bool appending = append && existed;
  errno = 0;
  if (!file.open(appending ? QIODevice::WriteOnly | QIODevice::Append
                           : QIODevice::WriteOnly | QIODevice::Truncate)) {
    const int err = errno;
    Raise(recNoOpenFile, {QString::number(err), fileName});
  }
  QString why;
  const bool ok = lines.WriteTo(file, why) && file.flush();
  if (ok) {
    file.close();
    return;
  }
  if (why.isEmpty()) why = file.errorString();
  file.close();
  // A file this write made and cut short is not left behind as if it were the report.
  if (!existed) QFile::remove(fileName);
  Raise(recGeneralError, {QStringLiteral("ошибка записи в файл %1: %2").arg(fileName, why)});
}

qint64 THRepsPages::WriteFirstPage(const QString& fileName, bool append) {
  QElapsedTimer t;
  t.start();
  if (pages_.empty()) AddPage();
  WriteResultFile(fileName, pages_.front()->Lines, append);
  return t.elapsed();
}
