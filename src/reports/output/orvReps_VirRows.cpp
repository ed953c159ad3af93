#include "reports/output/orvReps_VirRows.h"

#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"

namespace {

const QString& EmptyText() {
  static const QString empty;
  return empty;
}

int SubColsWidth(const TMaskSubCols* mask, int from, int to) {
  int w = 0;
  if (!mask) return 0;
  for (int i = qMax(0, from); i <= to && i < mask->Count(); ++i) w += mask->GetItem(i).Width;
  return w;
}

QString AlignIn(const QString& line, int width, int hAlign) {
  if (hAlign == 3) return orvReps_Lib::AlignCenter(line, width);
  if (hAlign == 4) return orvReps_Lib::AlignRight(line, width);
  return orvReps_Lib::AlignLeft(line, width);
}

}  // namespace

const QString& TVirCell::Text() const { return TextRef ? *TextRef : EmptyText(); }

int TVirCell::RowCount(int subRowCount) const {
  if (SpanRows > 0) return SpanRows;
  if (Kind == 2) return LastSubRow - FirstSubRow + 1;
  if (Kind == 3) return subRowCount - FirstSubRow + 1;
  return 1;
}

namespace orvReps_VirRows {

QString RenderCellRule(const QString& pattern, const QString& leftSep, int width,
                       const QString& rightSep) {
  if (pattern.startsWith(QLatin1Char('|'))) {
    const QString fill = pattern.size() > 1 ? pattern.mid(1) : QStringLiteral(" ");
    return leftSep + orvReps_Lib::FillStr(fill, width) + rightSep;
  }
  return orvReps_Lib::FillStr(pattern, int(leftSep.size()) + width + int(rightSep.size()));
}

void RowOpener(QString& out, const TRowOutline& outline) {
  bool styled = false;
  if (outline.Hidden) {
    out += QLatin1String("<tr style='display:none;");
    styled = true;
  } else {
    out += QLatin1String("<tr");
  }
  if (outline.Level > 0) {
    if (!styled) out += QLatin1String(" style='");
    out += QLatin1String("mso-outline-level:") + QString::number(outline.Level) + QLatin1Char(';');
    styled = true;
  }
  if (styled) out += QLatin1Char('\'');
  out += QLatin1Char('>');
}

}  // namespace orvReps_VirRows

TVirRow::TVirRow(TRepType repType, TRepStyles* styles, TMaskSubCols* maskCols,
                 const QString& topLine, const QString& bottomLine, bool multiLine)
    : MultiLine(multiLine), RepType(repType), MaskCols(maskCols), Styles(styles) {
  if (repType == rtText) {
    TopLine = topLine;
    BottomLine = bottomLine;
  }
  if (repType == rtHExcel || repType == rtFlatODS) MaskRowCount = 1;
}

TVirCell* TVirRow::AddCell(const TVirCellSpec& s) {
  if (s.FirstCol < 0) return nullptr;
  auto cell = std::make_unique<TVirCell>();
  TVirCell& c = *cell;
  c.FirstCol = s.FirstCol, c.LastCol = s.LastCol;
  c.FirstSubRow = s.FirstSubRow, c.LastSubRow = s.LastSubRow;
  c.Piece = s.Piece, c.SpanRows = s.SpanRows, c.Kind = s.Kind;
  c.Column = s.Column;
  c.PropsRef = s.PropsRef;
  c.SplitLines = s.SplitLines;
  c.TextRef = s.TextRef;
  c.LeftSepWidth = s.LeftSepWidth, c.RightSepWidth = s.RightSepWidth;
  const int n = s.LastSubRow > s.FirstSubRow && s.Kind == 2 ? s.LastSubRow : s.FirstSubRow;
  if (n > SubRowCount) {
    if (MaskRowCount > 0) MaskRowCount += n - SubRowCount;
    SubRowCount = qint16(n);
  }
  if (RepType == rtText) {
    c.LeftSep = s.LeftSep, c.RightSep = s.RightSep;
    c.Overline = s.Overline, c.Underline = s.Underline;
    c.MaxLines = s.MaxLines, c.AltSepLines = s.AltSepLines;
    c.AltLeftSep = s.AltLeftSep, c.AltRightSep = s.AltRightSep;
    c.VerSepLines = s.VerSepLines, c.VerSepTop = s.VerSepTop, c.VerSepBottom = s.VerSepBottom;
    c.Width = SubColsWidth(MaskCols, c.FirstCol, c.LastCol) - c.LeftSepWidth - c.RightSepWidth;
    c.HasOverline = !c.Overline.isEmpty();
    c.HasUnderline = !c.Underline.isEmpty();
    if (c.HasOverline)
      c.OverlineText = orvReps_VirRows::RenderCellRule(c.Overline, c.LeftSep, c.Width, c.RightSep);
    if (c.HasUnderline)
      c.UnderlineText =
          orvReps_VirRows::RenderCellRule(c.Underline, c.LeftSep, c.Width, c.RightSep);
  }
  cells_.push_back(std::move(cell));
  return &c;
}

QString TVirRow::FullWidthLine(const QString& pattern) const {
  if (pattern.isEmpty()) return {};
  const QChar mode = pattern.at(0);
  const QString fill = pattern.size() > 1 ? pattern.mid(1) : QStringLiteral(" ");
  const int total = MaskCols ? SubColsWidth(MaskCols, 0, MaskCols->Count() - 1) : 0;
  if (mode != QLatin1Char('|')) return total > 0 ? orvReps_Lib::FillStr(fill, total) : QString();
  QString line;
  for (const auto& c : cells_)
    line += c->LeftSep + (c->Width > 0 ? orvReps_Lib::FillStr(fill, c->Width) : QString()) +
            c->RightSep;
  if (line.size() < total) line += orvReps_Lib::FillStr(fill, total - int(line.size()));
  return line.left(total);
}

void TVirRow::Prepare() {
  SingleSubRow = true;
  if (RepType == rtText) {
    TopLine = FullWidthLine(TopLine);
    BottomLine = FullWidthLine(BottomLine);
    SubRowHeights.assign(SubRowCount + 1, 0);
    HasMoreLineRules = HasSubRowKinds = false;
    for (const auto& c : cells_) {
      if (c->Kind == 1 || c->Kind == 2) HasSubRowKinds = true;
      if (c->FirstSubRow > 0) SingleSubRow = false;
      if (c->AltSepLines > 0) HasMoreLineRules = true;
      if (c->VerSepLines > 0) {
        HasMoreLineRules = true;
        c->VerSepTop = FullWidthLine(c->VerSepTop);
        c->VerSepBottom = FullWidthLine(c->VerSepBottom);
      }
    }
    return;
  }
  for (const auto& c : cells_)
    if (c->FirstSubRow > 0) SingleSubRow = false;
}

TVirCell* TVirRow::FindCellByCol(const TCol* col) {
  for (const auto& c : cells_)
    if (c->Column == col) return c.get();
  return nullptr;
}

void TVirRow::PrintAll() {
  for (const auto& c : cells_) c->Printed = true;
}

void TVirRow::Write(QString& text) {
  text.resize(0);  // keeps the capacity for the next row
  switch (RepType) {
    case rtText: WriteText(text); break;
    case rtHTML: WriteHtml(text); break;
    case rtHExcel: WriteSheet(text); break;
    default: break;
  }
}

// ---- Text ------------------------------------------------------------------------------------

void TVirRow::WriteText(QString& text) {
  if (!MultiLine) {
    for (const auto& c : cells_)
      if (c->Printed) text += c->LeftSep + c->Text() + c->RightSep;
    return;
  }
  for (const auto& c : cells_) {
    if (c->Piece < 1) {
      c->Lines.clear();
      orvReps_Lib::TextToLines(c->Lines, c->Text(), c->Width, c->MaxLines, c->Props().Wrap == 1);
    } else {
      c->TopPad = c->Leftover;
    }
    c->Height = (c->SpanRows > 0 ? 0 : int(c->Lines.size())) + (c->HasOverline ? 1 : 0) +
                (c->HasUnderline ? 1 : 0);
  }
  // Sub-row heights from the kind-1 cells; kind-2 cells spread what they lack.
  if (HasSubRowKinds) {
    for (int i = 0; i <= SubRowCount; ++i) {
      int h = 1;
      for (const auto& c : cells_)
        if (c->Kind == 1 && c->FirstSubRow == i) h = qMax(h, c->Height);
      SubRowHeights[i] = h;
    }
    if (SubRowCount > 0)
      for (const auto& c : cells_) {
        if (!c->Printed || c->Kind != 2) continue;
        int have = 0;
        for (int i = c->FirstSubRow; i <= c->LastSubRow; ++i) have += SubRowHeights[i];
        const int s = c->Height - have, n = c->LastSubRow - c->FirstSubRow + 1;
        if (s <= 0 || n <= 0) continue;
        for (int i = 0; i < n - 1; ++i)
          if (s / n > 0) SubRowHeights[c->FirstSubRow + i] += s / n;
        SubRowHeights[c->LastSubRow] += s - (s / n) * (n - 1);
      }
    for (const auto& c : cells_) {
      if (!c->Printed) continue;
      if (c->Kind == 1) c->Height = SubRowHeights[c->FirstSubRow];
      if (c->Kind == 2) {
        int h = 0;
        for (int i = c->FirstSubRow; i <= c->LastSubRow; ++i) h += SubRowHeights[i];
        c->Height = h;
      }
    }
  }
  int rowHeight = 0;
  bool anyPrinted = false;
  for (size_t k = 0; k < cells_.size(); ++k) {
    TVirCell& c = *cells_[k];
    if (!c.Printed) continue;
    anyPrinted = true;
    c.Start = 0;
    if (c.FirstSubRow > 0)
      for (size_t j = 0; j < k; ++j) {
        const TVirCell& o = *cells_[j];
        if (o.Printed && o.FirstCol <= c.LastCol && c.FirstCol <= o.LastCol)
          c.Start = qMax(c.Start, o.Start + o.Height);
      }
    if (c.Height <= 0 && c.SpanRows > 0 && c.SpanRows <= c.Piece + 1)
      c.Height = int(c.Lines.size());
    rowHeight = qMax(rowHeight, c.Start + c.Height);
  }
  if (anyPrinted) rowHeight = qMax(rowHeight, 1);
  for (const auto& c : cells_) {
    if (!c->Printed) continue;
    if (c->Kind == 3) c->Height = rowHeight - c->Start;
    if (c->SpanRows > 0) {
      if (c->Piece < 1) c->TopPad = 0;
      continue;
    }
    const int rules = (c->HasOverline ? 1 : 0) + (c->HasUnderline ? 1 : 0);
    const int lines = int(c->Lines.size());
    switch (c->Props().VAlign) {
      case 3: c->TopPad = (c->Height - rules - lines) / 2 + (c->HasOverline ? 1 : 0); break;
      case 4: c->TopPad = c->Height - (c->HasUnderline ? 1 : 0) - lines; break;
      default: c->TopPad = 0;
    }
  }

  QStringList out;
  const auto moreLines = [](const TVirCell& c, int limit) {
    return limit >= 0 && limit < c.Lines.size();
  };
  if (PrintTopLine && !TopLine.isEmpty()) {
    out << TopLine;
  } else if (HasMoreLineRules) {
    for (const auto& c : cells_)
      if (c->Printed) c->UseAltSeps = moreLines(*c, c->AltSepLines);
    for (const auto& c : cells_)
      if (c->Printed && moreLines(*c, c->VerSepLines) && !c->VerSepTop.isEmpty()) {
        out << c->VerSepTop;
        break;
      }
  }
  const auto cellLine = [](const TVirCell& c, int j) {
    const QString& l = c.UseAltSeps ? c.AltLeftSep : c.LeftSep;
    const QString& r = c.UseAltSeps ? c.AltRightSep : c.RightSep;
    if (j >= c.TopPad && j < c.TopPad + c.Lines.size())
      return l + AlignIn(c.Lines.at(j - c.TopPad), c.Width, c.Props().HAlign) + r;
    if (j == 0 && c.HasOverline && c.Piece < 1) return c.OverlineText;
    if (j == c.Height - 1 && c.HasUnderline && !(c.Piece >= 0 && c.Piece < c.SpanRows))
      return c.UnderlineText;
    return l + QString(qMax(0, c.Width), QLatin1Char(' ')) + r;
  };
  for (int l = 0; l < rowHeight; ++l) {
    QString line;
    if (SingleSubRow) {
      for (const auto& c : cells_)
        if (c->Printed) line += cellLine(*c, l - c->Start);
    } else {
      int p = 0;
      for (;;) {
        const TVirCell* found = nullptr;
        for (const auto& c : cells_)
          if (c->Printed && c->FirstCol == p && l >= c->Start && l < c->Start + c->Height) {
            found = c.get();
            break;
          }
        if (!found) break;
        line += cellLine(*found, l - found->Start);
        p = found->LastCol + 1;
      }
    }
    out << line;
  }
  if (PrintBottomLine && !BottomLine.isEmpty()) {
    out << BottomLine;
  } else if (HasMoreLineRules) {
    for (const auto& c : cells_)
      if (c->Printed && moreLines(*c, c->VerSepLines) && !c->VerSepBottom.isEmpty()) {
        out << c->VerSepBottom;
        break;
      }
  }
  text = out.join(QStringLiteral("\r\n"));
  for (const auto& c : cells_) {
    if (!c->Printed || c->SpanRows <= 0) continue;
    int k = c->Height - c->TopPad;
    c->Leftover = k < 0 ? -k : 0;
    k = qMin(qMax(k, 0), int(c->Lines.size()));
    c->Lines.erase(c->Lines.begin(), c->Lines.begin() + k);
    ++c->Piece;
  }
}

// ---- HTML ------------------------------------------------------------------------------------

void TVirRow::WriteHtml(QString& text) {
  int lastSubRow = -1;
  for (const auto& c : cells_) {
    if (!c->Printed) continue;
    for (; lastSubRow < c->FirstSubRow; ++lastSubRow) orvReps_VirRows::RowOpener(text, Outline);
    if (c->Piece < 1) {
      QString attrs;
      if (c->LastCol > c->FirstCol)
        attrs = QLatin1String("ColSpan=") + QString::number(c->LastCol - c->FirstCol + 1);
      const int rows = c->RowCount(SubRowCount);
      if (rows > 1) {
        if (!attrs.isEmpty()) attrs += QLatin1Char(' ');
        attrs += QLatin1String("RowSpan=") + QString::number(rows);
      }
      orvReps_CellWriters::HtmlCell(text, c->Text(), attrs, c->Props(), *Styles);
    }
    if (c->SpanRows > 0) c->Piece += SubRowCount + 1;
  }
}

// ---- Spreadsheet HTML -------------------------------------------------------------------------

void TVirRow::WriteSheet(QString& text) {
  std::vector<TVirCell*> printed;
  for (const auto& c : cells_)
    if (c->Printed) printed.push_back(c.get());
  LastLine = printed.empty() ? -1 : 0;
  if (printed.empty()) return;
  for (TVirCell* c : printed) {
    c->FirstLine = c->FirstSubRow;
    c->LastLine = c->SpanRows > 0 ? c->FirstLine + (SubRowCount - c->FirstSubRow)
                                  : c->FirstLine + c->RowCount(SubRowCount) - 1;
    c->Lines.clear();
    c->SheetMultiLine = false;
    c->Height = 0;
    const TCellProp& p = c->Props();
    if ((!c->SplitLines && p.SplitMode < 2) || (c->SpanRows > 0 && c->Piece != 0)) continue;
    orvReps_Values::SplitToStrings(&c->Lines, c->Text(), QStringLiteral("<BR>"), RepType,
                                   p.SplitLimit == INT_MAX ? 0 : p.SplitLimit);
    c->SheetMultiLine = c->Lines.size() > 1;
    c->Height = qMax(0, int(c->Lines.size()) - 1);
  }
  // Cells that need more lines push the later ones down and stretch the ones beside them.
  for (TVirCell* c : printed) {
    const int d = c->Height - (c->LastLine - c->FirstLine);
    if (d <= 0) continue;
    const int at = c->LastLine;
    for (TVirCell* o : printed) {
      if (o->FirstLine > at) o->FirstLine += d;
      if (o->LastLine >= at) o->LastLine += d;
    }
  }
  int last = -1;
  for (TVirCell* c : printed) {
    const int room = c->LastLine - c->FirstLine;
    switch (c->Props().VAlign) {
      case 2: c->TopPad = 0; break;
      case 3: c->TopPad = qMax(0, (room - c->Height) / 2); break;
      default: c->TopPad = qMax(0, room - c->Height);
    }
    last = qMax(last, c->LastLine);
  }
  LastLine = qint16(last);
  for (int l = 0; l <= last; ++l) {
    orvReps_VirRows::RowOpener(text, Outline);
    int pos = 0;
    for (;;) {
      // Collection order on single-sub-row rows, sub-column order otherwise.
      TVirCell* pick = nullptr;
      for (TVirCell* c : printed) {
        if (c->FirstCol < pos) continue;
        const bool whole = l == c->FirstLine;
        const bool piece = !c->Lines.isEmpty() && l > c->FirstLine + c->TopPad &&
                           l <= c->FirstLine + c->TopPad + c->Height;
        if (!whole && !piece) continue;
        if (!pick || (!SingleSubRow && c->FirstCol < pick->FirstCol)) pick = c;
        if (SingleSubRow) break;
      }
      if (!pick) break;
      pos = pick->LastCol + 1;
      QString attrs;
      const int n = pick->LastCol - pick->FirstCol;
      if (n >= 1 && !NoColSpan) attrs = QLatin1String("ColSpan=") + QString::number(n + 1);
      const bool split = !pick->Lines.isEmpty();
      int span;
      if (!split || pick->Height == 0)
        span = l == pick->FirstLine ? pick->LastLine - pick->FirstLine + 1 : 1;
      else if (l == pick->FirstLine)
        span = pick->TopPad + 1;
      else if (l < pick->FirstLine + pick->TopPad + pick->Height)
        span = 1;
      else
        span = pick->LastLine - l + 1;
      if (span > 1) {
        if (!attrs.isEmpty()) attrs += QLatin1Char(' ');
        attrs += QLatin1String("RowSpan=") + QString::number(span);
      }
      const TCellProp& p = pick->Props();
      if (!p.Formula.isEmpty()) {
        if (!attrs.isEmpty()) attrs += QLatin1Char(' ');
        attrs += QLatin1String("x:fmla=\"") + p.Formula + QLatin1Char('"');
      }
      if (!split) {
        orvReps_CellWriters::HtmlExcelCell(text, pick->Text(), attrs, p, *Styles);
        continue;
      }
      const int index = l == pick->FirstLine ? 0 : l - pick->FirstLine - pick->TopPad;
      const QString piece =
          index >= 0 && index < pick->Lines.size() ? pick->Lines.at(index) : QString();
      orvReps_CellWriters::HtmlExcelCell(text, piece, attrs, p, *Styles);
    }
  }
  for (TVirCell* c : printed)
    if (c->SpanRows > 0) c->Piece += last + 1;
}
