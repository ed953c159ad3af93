#include "reports/run/orvReps_Prepare.h"

#include "platform/rtl/datetime.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyDefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_DocWriters.h"
#include "reports/output/orvReps_VirRows.h"
#include "reports/run/orvReps_KeyArgs_p.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryFile>

#include <cerrno>

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;

const QByteArray kCrLf("\r\n");

bool ShowsTotal(const TCol& c) { return c.TotalKind != ttNone && c.TotalKind != ttCalcNotShow; }

// A complete record for the style sheet: the run's font, no margins.
TCellProp BaseCellProp(const TRepsOutput& out) {
  TCellProp p;
  p.FontName = out.DefFontName;
  p.Margins = {0, 0, 0, 0};
  return p;
}

}  // namespace

// The file being written: its body goes to a spool until the head can be written.
struct TReportSteps::TDocOut {
  TRepType Type = rtText;
  bool Markup = false, Dos = false;
  QString FileName;
  QTemporaryFile Spool;
  bool AnyLine = false;
  const TMaskSubCols* FirstPage = nullptr;
  QByteArray Bytes;  // the line being written, kept for its capacity
};

// One part's table on its (single) horizontal page.
struct TReportSteps::TPartOut {
  TMaskSubCols Mask;
  std::unique_ptr<TVirRow> Head, Body, GroupHead, Tail;
  QString GroupText;
  TCellProp GroupProps;
  const TCellProp* GroupPropsRef = &GroupProps;
  bool TableOpen = false;
  QString Line;  // the row being written, kept for its capacity
};

namespace orvReps_MAINPrepare {

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
    default: return 1;
  }
}

QString ValueText(const TCol& col, const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return {};
  switch (col.ValueType) {
    case 3:
      if (v.IsString()) return v.ToString();
      return QString::number(v.ToInt64());
    case 6:
      if (v.IsString()) return v.ToString();
      if (!col.NumberFormat.isEmpty()) return FormatFloat(col.NumberFormat, v.ToDouble());
      return FloatToStr(v.ToDouble());
    case 5: return v.ToInt64() != 0 ? col.TrueText : col.FalseText;
    case 11:
      if (v.IsString()) return v.ToString();
      if (!col.NumberFormat.isEmpty()) return FormatDateTime(col.NumberFormat, v.ToDouble());
      return DateToStr(v.ToDouble());
    default: return v.ToString();
  }
}

void SetupColumns(TRF& rf, int dataIndex, TRepsData& data, bool& anyTotal) {
  TReportPart& p = *rf.CurPart;
  bool totalsWanted = false;
  for (int i = 0; i < p.GroupBys.Count(); ++i)
    if (p.GroupBys.GetItem(i).TailShowing) totalsWanted = true;
  for (int i = 0; i < data.Fields.Count(); ++i) {
    TRepsField& f = data.Fields.Item(i);
    TCol& c = p.Cols.Add();
    c.Alias = QChar(QLatin1Char(char('A' + dataIndex)));
    c.FieldName = f.Name;
    c.DisplayName = f.Name;
    c.DataIndex = dataIndex;
    c.FieldIndex = i;
    c.DataField = &f;
    c.ValueType = ValueTypeOf(f.DataType);
    c.IsNumeric = c.ValueType == 3 || c.ValueType == 6;
    c.TrueText = QStringLiteral("True");
    c.FalseText = QStringLiteral("False");
    c.DefaultWidth = qMax<int>(f.DisplayWidth > 0 ? f.DisplayWidth : 10, f.Name.size());
    c.TotalKind = totalsWanted && c.IsNumeric ? ttSum : ttNone;
    // TOTAL and TOTALLEVEL: the newest entry naming the column wins; an excluding entry ends.
    static const int kTOTAL = orvReps_KeyDefs::KeyByPath(QStringLiteral("TOTAL"));
    static const int kTOTALLEVEL = orvReps_KeyDefs::KeyByPath(QStringLiteral("TOTALLEVEL"));
    bool kindDone = false, levelDone = false;
    for (int k = rf.PrepArgsKeys.Count() - 1; k >= 0 && totalsWanted; --k) {
      const TprepArgsKey& e = rf.PrepArgsKeys.GetItem(k);
      const bool level = e.Key == kTOTALLEVEL;
      if ((level ? levelDone : kindDone) || (e.Key != kTOTAL && !level)) continue;
      bool include = false;
      if (orvReps_Values::MatchInList(0, 0, c.Alias, c.FieldName, e.Arg1, include) < 0) continue;
      (level ? levelDone : kindDone) = true;
      if (!include) continue;
      if (level) {
        bool ok = false;
        const int n = e.Arg2.trimmed().toInt(&ok);
        c.TotalLevel = ok ? n : -1;
      } else {
        const int kind = orvReps_KeyDefs::ArgCodeIndex(kTOTAL, 1, e.Arg2);
        c.TotalKind = kind >= 0 ? static_cast<TTtlType>(kind) : ttNone;
        if (!c.IsNumeric && c.TotalKind >= ttSum && c.TotalKind <= ttAverageNotZero)
          c.TotalKind = ttNone;
      }
    }
    c.BodyProps = c.HeadProps = c.TotalProps = BaseCellProp(rf.Out());
    if (c.IsNumeric) c.BodyProps.HAlign = c.TotalProps.HAlign = 4;
    c.SavedVisible = c.Visible;
    c.SavedHidden = c.Hidden;
    c.ClampWidth();
    if (c.TotalKind != ttNone) anyTotal = true;
  }
}

}  // namespace orvReps_MAINPrepare

// ---- Steps -----------------------------------------------------------------------------------

TReportSteps::TReportSteps() = default;
TReportSteps::~TReportSteps() = default;

TReportSteps::TPartOut& TReportSteps::Part(TRF& rf) {
  auto& slot = parts_[rf.CurPart];
  if (!slot) PreparePart(rf);
  return *parts_[rf.CurPart];
}

void TReportSteps::AddOutput(TRF& rf, const QString& text) {
  TDocOut& d = *doc_;
  QByteArray& bytes = d.Bytes;
  bytes.resize(0);
  if (d.AnyLine) bytes += kCrLf;
  d.AnyLine = true;
  const int caseMode = rf.CurPart ? rf.CurPart->CaseMode : 0;
  if (caseMode == 0)
    orvReps_DocWriters::AppendEncodedLine(bytes, text, d.Markup, d.Dos);
  else
    orvReps_DocWriters::AppendEncodedLine(
        bytes, orvReps_DocWriters::MapCase(text, caseMode, d.Markup), d.Markup, d.Dos);
  if (d.Spool.write(bytes) != bytes.size())
    RaiseRepsError(rf, recGeneralError,
                   {QStringLiteral("ошибка записи в файл %1: %2")
                        .arg(d.Spool.fileName(), d.Spool.errorString())},
                   false);
}

void TReportSteps::PreparePart(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const TRepType type = rf.Out().RepType;
  if (p.Datas.Count() == 0) RaiseRepsError(rf, recNoBasicTable, {}, false);
  p.Cols.Clear();
  bool anyTotal = false;
  for (int d = 0; d < p.Datas.Count(); ++d) {
    TRepsData& data = *p.Datas.GetItem(d);
    if (!data.IsActive()) RaiseRepsError(rf, recNoOpenRepQ, {}, false);
    orvReps_MAINPrepare::SetupColumns(rf, d, data, anyTotal);
  }
  QString bad;
  if (!p.GroupBys.PrepareLevels(p.Cols, bad))
    RaiseRepsError(rf, recBadGroupFieldName, {bad}, false);
  p.GroupBys.PrepareRowRules(PropRepType(type).CanHideRows);
  p.Cols.SizeTotals(p.GroupBys.Count());

  auto out = std::make_unique<TPartOut>();
  TPartOut& po = *out;
  po.GroupProps = BaseCellProp(rf.Out());
  // One mask column per visible column; text output puts one blank between columns.
  const bool text = type == rtText;
  int first = -1, last = -1;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (!c.Visible) continue;
    c.HPageOffsets.assign(1, po.Mask.Count());
    c.HPage = 0;
    c.CurMaskSpan = 1;
    const bool lead = first < 0;
    po.Mask.AddMask(text ? c.Width + (lead ? 0 : 1) : -1, true, 0);
    if (lead) first = po.Mask.Count() - 1;
    last = po.Mask.Count() - 1;
  }
  TRepStyles* styles = &rf.Out().Styles;
  const auto makeRow = [&](bool multi) {
    return std::make_unique<TVirRow>(type, styles, &po.Mask, QString(), QString(), multi);
  };
  po.Head = makeRow(true);
  po.Body = makeRow(true);
  po.Tail = makeRow(true);
  po.GroupHead = makeRow(true);
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (!c.Visible) continue;
    const int at = c.HPageOffsets[0];
    const bool lead = at == first;
    c.HeadText = c.FieldName;
    rf.EscapeOutText(c.HeadText);
    const auto add = [&](TVirRow& row, const QString* t, const TCellProp* const* props) {
      TVirCellSpec s;
      s.FirstCol = s.LastCol = at;
      s.Column = &c;
      s.TextRef = t;
      s.PropsRef = props;
      if (text && !lead) {
        s.LeftSep = QStringLiteral(" ");
        s.LeftSepWidth = 1;
      }
      row.AddCell(s);
    };
    c.CurProps = &c.BodyProps;
    add(*po.Head, &c.HeadText, &c.CurProps);
    add(*po.Body, &c.Text, &c.CurProps);
    add(*po.Tail, &c.TotalText, &c.CurProps);
  }
  if (first >= 0) {
    TVirCellSpec s;
    s.FirstCol = first;
    s.LastCol = last;
    s.TextRef = &po.GroupText;
    s.PropsRef = &po.GroupPropsRef;
    po.GroupHead->AddCell(s);
  }
  for (TVirRow* r : {po.Head.get(), po.Body.get(), po.Tail.get(), po.GroupHead.get()}) r->Prepare();

  if (!doc_) {
    rf.EnsureResultFile();
    doc_ = std::make_unique<TDocOut>();
    doc_->Type = type;
    doc_->Markup = type == rtHTML || type == rtHExcel;
    doc_->Dos = p.DosOutput;
    doc_->FileName = rf.ResultFile;
    doc_->FirstPage = &po.Mask;
    doc_->Spool.setFileTemplate(orvReps_Lib::TempDir() + QStringLiteral("/orvreps-XXXXXX.spool"));
    if (!doc_->Spool.open())
      RaiseRepsError(
          rf, recGeneralError,
          {QStringLiteral("не создан временный файл: %1").arg(doc_->Spool.errorString())}, false);
  }
  parts_[&p] = std::move(out);
  if (doc_->Markup) {
    AddOutput(rf, orvReps_DocWriters::TableOpen(type, p.TableTag, &po.Mask));
    po.TableOpen = true;
  }
  // The column captions: a heading row with the headings' own properties.
  for (int i = 0; i < p.Cols.Count(); ++i)
    p.Cols.GetItem(i).CurProps = &p.Cols.GetItem(i).HeadProps;
  QString line;
  po.Head->Write(line);
  AddOutput(rf, line);
  for (int i = 0; i < p.Cols.Count(); ++i)
    p.Cols.GetItem(i).CurProps = &p.Cols.GetItem(i).BodyProps;
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
}

void TReportSteps::FirstRowStep(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  p.PartRowCount = p.PartExistRowCount = p.PartVisibleRowCount = 0;
  p.FirstChangedLevel = p.GroupBys.ProcessBreak(p.Cols, true, {});
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
  p.RowExists = !g.BodyDeleted && g.RowAction != rgaDel;
}

void TReportSteps::GroupBreakStep(TRF& rf, bool newRow) {
  TReportPart& p = *rf.CurPart;
  if (!newRow) return;
  TBreakHooks hooks;
  hooks.WriteTail = [&](int level) { WriteGroupTail(rf, level); };
  hooks.AddMinRows = [&](int, int rows) { WriteEmptyRows(rf, rows); };
  // The tails see the new record's values as the next ones.
  for (int i = 0; i < p.Cols.Count(); ++i) p.Cols.GetItem(i).SavedValue = p.Cols.GetItem(i).Value;
  p.FirstChangedLevel = p.GroupBys.ProcessBreak(p.Cols, false, hooks);
  for (int i = 0; i < p.Cols.Count(); ++i) p.Cols.GetItem(i).SavedValue = Variant::Null();
  EvalRowRules(rf, p.FirstChangedLevel);
}

void TReportSteps::GroupHeadsStep(TRF& rf, int firstLevel) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  for (int level = qMax(1, firstLevel); level < p.GroupBys.Count(); ++level) {
    const TGroupBy& g = p.GroupBys.GetItem(level);
    if (!g.HeadShowing) continue;
    rf.CurLevel = level;
    QStringList parts;
    for (const TCol* c : g.GroupCols) parts << orvReps_MAINPrepare::ValueText(*c, c->Value);
    po.GroupText = parts.join(QLatin1Char(' '));
    rf.EscapeOutText(po.GroupText);
    QString line;
    po.GroupHead->Write(line);
    AddOutput(rf, line);
  }
  rf.CurLevel = -1;
}

void TReportSteps::WriteBodyRow(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  if (!p.RowExists) return;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    rf.CurCol = &c;
    c.Text = orvReps_MAINPrepare::ValueText(c, c.Value);
    rf.EscapeOutText(c.Text);
  }
  rf.CurCol = nullptr;
  po.Body->Write(po.Line);
  AddOutput(rf, po.Line);
}

void TReportSteps::AddRowToTotals(TRF& rf) {
  TReportPart& p = *rf.CurPart;
  const bool visible = p.RowExists && !p.GroupBys.BodyHidden && p.RowAction != rgaHide;
  p.GroupBys.CountRow(p.RowExists, visible);
  ++p.PartRowCount;
  if (p.RowExists) ++p.PartExistRowCount;
  if (visible) ++p.PartVisibleRowCount;
  for (int i = 0; i < p.Cols.Count(); ++i) {
    TCol& c = p.Cols.GetItem(i);
    if (c.TotalKind != ttNone) p.GroupBys.AddColTotal(c, p.RowExists, visible, true);
  }
}

void TReportSteps::WriteEmptyRows(TRF& rf, int rows) {
  TReportPart& p = *rf.CurPart;
  TPartOut& po = Part(rf);
  for (int i = 0; i < p.Cols.Count(); ++i) p.Cols.GetItem(i).Text.clear();
  for (int r = 0; r < rows; ++r) {
    po.Body->Write(po.Line);
    AddOutput(rf, po.Line);
  }
}

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
  const TGroupBy& g = p.GroupBys.GetItem(level);
  rf.CurLevel = level;
  rf.PartTotals = level == 0;
  if (g.TailShowing) {
    bool legendPlaced = !g.Legend;
    for (int i = 0; i < p.Cols.Count(); ++i) {
      TCol& c = p.Cols.GetItem(i);
      c.CurProps = &c.TotalProps;
      c.TotalText.clear();
      rf.CurCol = &c;
      if (ShowsTotal(c)) {
        c.TotalText = orvReps_MAINPrepare::ValueText(c, c.GetTotalValue(level, g.RecCount));
      } else if (!legendPlaced && c.Visible) {
        c.TotalText = g.LegendText;
        legendPlaced = true;
      }
      rf.EscapeOutText(c.TotalText);
    }
    rf.CurCol = nullptr;
    QString line;
    po.Tail->Write(line);
    AddOutput(rf, line);
    for (int i = 0; i < p.Cols.Count(); ++i)
      p.Cols.GetItem(i).CurProps = &p.Cols.GetItem(i).BodyProps;
  }
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
  for (auto& [part, po] : parts_)
    if (po->TableOpen) {
      AddOutput(rf, orvReps_DocWriters::TableClose());
      po->TableOpen = false;
    }
  FinishDocument(rf);
}

void TReportSteps::AbandonDocument() {
  if (doc_ && !doc_->FileName.isEmpty()) QFile::remove(doc_->FileName);
  doc_.reset();
  parts_.clear();
}

void TReportSteps::FinishDocument(TRF& rf) {
  TDocOut& d = *doc_;
  QByteArray head;
  if (d.Markup) {
    THtmlDocSettings s;
    s.Title = rf.Title;
    s.Dos = d.Dos;
    s.HeadTag = rf.CurPart->HeadTag;
    s.BodyTag = rf.CurPart->BodyTag;
    const QString h = orvReps_DocWriters::HtmlHead(rf.Out(), d.Type, s, d.FirstPage);
    head = orvReps_DocWriters::EncodeLine(h, true, d.Dos);
    AddOutput(rf, orvReps_DocWriters::DocTail());
  }
  QFile file(d.FileName);
  const auto fail = [&](int err) {
    const QString name = d.FileName;
    AbandonDocument();
    RaiseRepsError(rf, recNoOpenFile, {QString::number(err), name}, false);
  };
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return fail(errno);
  bool ok = file.write(head) == head.size();
  d.Spool.seek(0);
  char buf[65536];
  for (qint64 n; ok && (n = d.Spool.read(buf, sizeof buf)) > 0;) ok = file.write(buf, n) == n;
  if (ok && d.Type == rtText && d.AnyLine) ok = file.write(kCrLf) == kCrLf.size();
  if (!ok || !file.flush()) return fail(errno);
  file.close();
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
