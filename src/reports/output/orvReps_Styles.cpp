#include "reports/output/orvReps_Styles.h"

#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_Output.h"

#include <QtCore/QMap>

#include <algorithm>

using orvReps_Lib::FloatToStrDot;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct BorderWords {
  const char* Css;
  const char* Ods;
  const char* Rtf;
};
constexpr BorderWords kBorderWords[20] = {
    {"solid ", "solid", "s"},
    {"solid ", "solid", "s"},
    {"hairline ", "dotted", "dot"},
    {"dotted ", "dashed", "dash"},
    {"dot-dot-dash ", "dash-dot-dot", "dashdd"},
    {"dot-dash ", "dash-dot", "dashd"},
    {"dashed ", "fine-dashed", "dashsm"},
    {"dot-dash-slanted ", "double-thin", "dashdotstr"},
    {"double ", "double-thin", "db"},
    {"dotted ", "dotted", "wavy"},
    {"dashed ", "double-thin", "wavydb"},
    {"double ", "double-thin", "triple"},
    {"double ", "double-thin", "tnthsg"},
    {"double ", "double-thin", "thtnsg"},
    {"double ", "double-thin", "tnthtnsg"},
    {"double ", "double-thin", "tnthlg"},
    {"double ", "double-thin", "thtnlg"},
    {"double ", "double-thin", "tnthtnlg"},
    {"double ", "double-thin", "emboss"},
    {"double ", "double-thin", "engrave"},
};

const BorderWords& Words(int code) { return kBorderWords[code >= 0 && code < 20 ? code : 0]; }

QString HexUpper(int n) { return QString::number(static_cast<uint>(n), 16).toUpper(); }

int Mirror(int align) { return align == 2 ? 4 : align == 4 ? 2 : align; }

// Twips as points with "." and the shortest general form.
QString Pt(double twips) { return FloatToStrDot(twips / 20.0); }

}  // namespace

// ---- Style lists ------------------------------------------------------------------------

TRepStyle& TRepStyles::Append(qint32 kind, const QString& name, const QString& definition,
                              bool isClass) {
  auto s = std::make_unique<TRepStyle>();
  s->Kind = kind;
  s->Name = name;
  s->Definition = definition;
  s->IsClass = isClass;
  if (kind != 2) {
    // Named and frame styles carry a zeroed record, not the not-given one.
    s->Props.Color = s->Props.BgColor = s->Props.FontSize = 0;
    s->Props.BorderColors.fill(0);
    s->Props.BorderWidths.fill(0);
    s->Props.Margins.fill(0);
    s->Props.Rotation = 0;
    s->Props.SplitLimit = 0;
  }
  items_.push_back(std::move(s));
  return *items_.back();
}

TRepStyle& TRepStyles::FindOrAddCellStyle(const TCellProp& props, const QString& prefix) {
  for (const auto& s : items_)
    if (orvReps_Styles::SameCellProp(s->Props, props)) return *s;
  const QString name = prefix + HexUpper(Count());
  TRepStyle& s = Append(2, name, QString(), true);
  s.Props = props;
  autoIndex_.insert(orvReps_Styles::CellPropHash(props), Count() - 1);
  return s;
}

TRepStyle& TRepStyles::FindCellStyle(const TCellProp& props) {
  // Rows look up the same few property records again and again: a record seen lately needs
  // no hash, only a check that it still equals the style it found.
  for (const TStyleMemo& m : memo_)
    if (m.Props == &props && orvReps_Styles::SameCellProp(items_[m.Index]->Props, props))
      return *items_[m.Index];
  TRepStyle& found = FindCellStyleByHash(props);
  const auto at =
      std::find_if(items_.begin(), items_.end(), [&](const auto& s) { return s.get() == &found; });
  memo_[memoNext_++ % memo_.size()] = {&props, int(at - items_.begin())};
  return found;
}

TRepStyle& TRepStyles::FindCellStyleByHash(const TCellProp& props) {
  const size_t h = orvReps_Styles::CellPropHash(props);
  int first = -1;
  for (auto it = autoIndex_.constFind(h); it != autoIndex_.cend() && it.key() == h; ++it) {
    if ((first < 0 || it.value() < first) &&
        orvReps_Styles::SameCellProp(items_[it.value()]->Props, props))
      first = it.value();
  }
  if (first >= 0) return *items_[first];
  return FindOrAddCellStyle(props, QStringLiteral("r"));
}

TRepStyle& TRepStyles::AddStyle(const QString& name, const QString& definition, bool isClass) {
  return Append(0, name, definition, isClass);
}

TRepStyle& TRepStyles::AddFrameStyle(const QString& name, const QString& definition, bool isClass) {
  return Append(1, name, definition, isClass);
}

int TRepStyles::IndexOfName(const QString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[i]->Name == name) return i;
  return -1;
}

QString TRepStyles::FindNameByText(const QString& definition) const {
  QString wanted = definition;
  orvReps_Styles::StripStyleNameAttrs(wanted);
  for (const auto& s : items_) {
    QString d = s->Definition;
    orvReps_Styles::StripStyleNameAttrs(d);
    if (d == wanted) return s->Name;
  }
  return QString();
}

void TRepStyles::KeepFrameStyles() {
  for (int i = Count() - 1; i >= 0; --i)
    if (items_[i]->Kind != 1) items_.erase(items_.begin() + i);
  autoIndex_.clear();
  memo_ = {};
}

void TRepStyles::Clear() {
  items_.clear();
  autoIndex_.clear();
  memo_ = {};
}

// ---- Font metrics -----------------------------------------------------------------------

qint32 TTextSize::Width(QChar c) const {
  const int code = CharCode(c, TCodePage::Cp1251);
  if (code >= 0) return CharWidths[code];
  if (NameOnly || !canvas_) return 0;
  auto it = extra_.constFind(c.unicode());
  if (it != extra_.cend()) return it.value();
  const TMetricsFont saved = canvas_->Font;
  canvas_->Font = {Font.Name, Font.Size / 2, Font.Style};
  int w = 0;
  if (!(useInteger_ ? canvas_->CharWidth(c, w) : canvas_->CharWidthFloat(c, w))) w = 0;
  canvas_->Font = saved;
  extra_.insert(c.unicode(), w * 20);
  return w * 20;
}

qint64 TTextSize::TextWidth(const QString& text, int from, int to) const {
  qint64 sum = 0;
  for (int i = std::max(from, 1); i <= std::min(to, static_cast<int>(text.size())); ++i)
    sum += Width(text[i - 1]);
  return sum;
}

TTextSizes::TTextSizes(ITextMetrics* canvas) {
  int w = -1;
  CanMeasure = canvas && canvas->CharWidth(QLatin1Char('A'), w) && w >= 0;
}

TTextSize& TTextSizes::FindOrAdd(ITextMetrics* canvas, const QString& name, int size, int style,
                                 bool nameOnly, bool atFront) {
  bool sameName = false;
  for (size_t i = 0; i < items_.size(); ++i) {
    TTextSize& e = *items_[i];
    if (e.Font.Name != name) continue;
    sameName = true;
    if (e.NameOnly == nameOnly && (nameOnly || (e.Font.Size == size && e.Font.Style == style))) {
      if (atFront && i > 0) {
        auto keep = std::move(items_[i]);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
        items_.insert(items_.begin(), std::move(keep));
      }
      return e;
    }
  }
  auto e = std::make_unique<TTextSize>();
  e->Font = {name, size, style};
  e->NameOnly = nameOnly;
  e->Duplicate = sameName && !nameOnly;
  if (!nameOnly) Measure(canvas, *e);
  TTextSize& ref = *e;
  if (atFront)
    items_.insert(items_.begin(), std::move(e));
  else
    items_.push_back(std::move(e));
  return ref;
}

void TTextSizes::Measure(ITextMetrics* canvas, TTextSize& entry) const {
  if (!canvas) return;
  entry.canvas_ = canvas;
  entry.useInteger_ = CanMeasure;
  const TMetricsFont saved = canvas->Font;
  canvas->Font = {entry.Font.Name, entry.Font.Size / 2, entry.Font.Style};
  for (int code = 0; code < 256; ++code) {
    const QChar c = CodePageChar(TCodePage::Cp1251, static_cast<uchar>(code));
    int w = 0;
    if (!(CanMeasure ? canvas->CharWidth(c, w) : canvas->CharWidthFloat(c, w))) w = 0;
    entry.CharWidths[code] = w * 20;
  }
  entry.LineHeight = canvas->TextHeight(QStringLiteral("A"));
  canvas->Font = saved;
}

int TTextSizes::FontNumber(const TTextSize& entry) const {
  int count = 0;
  for (const auto& e : items_) {
    if (e->Duplicate) continue;
    if (e->Font.Name == entry.Font.Name) return count;
    ++count;
  }
  return 0;
}

QString TTextSizes::FontNumberText(const QString& name) const {
  int count = 0;
  for (const auto& e : items_) {
    if (e->Duplicate) continue;
    if (e->Font.Name == name) return QString::number(count);
    ++count;
  }
  return QString();
}

void TTextSizes::WriteRtfFontTable(QString& text) const {
  text += QLatin1String("{\\fonttbl");
  int n = 0;
  for (const auto& e : items_) {
    if (e->Duplicate) continue;
    text += QLatin1String("\\f") + QString::number(n++) + QLatin1Char(' ') + e->Font.Name +
            QLatin1Char(';');
  }
  text += QLatin1Char('}');
}

namespace orvReps_Styles {

const char* CssBorderStyleWord(int code) { return Words(code).Css; }
const char* OdsBorderStyleWord(int code) { return Words(code).Ods; }
const char* RtfBorderStyleWord(int code) { return Words(code).Rtf; }

QString HexColor(qint32 color) {
  return QLatin1Char('#') + QStringLiteral("%1")
                                .arg(static_cast<uint>(orvReps_CellWriters::SwapRedBlue(color)), 6,
                                     16, QLatin1Char('0'))
                                .toUpper();
}

// ---- Properties ---------------------------------------------------------------------------

bool SameCellProp(const TCellProp& a, const TCellProp& b) {
  return a.Color == b.Color && a.BgColor == b.BgColor && a.FontSize == b.FontSize &&
         a.BorderWidths == b.BorderWidths && a.HAlign == b.HAlign && a.VAlign == b.VAlign &&
         a.BorderColors == b.BorderColors && a.BorderStyles == b.BorderStyles &&
         a.Margins == b.Margins && a.FontStyleSet == b.FontStyleSet &&
         (!a.FontStyleSet || a.FontStyle == b.FontStyle) && a.NumFormat == b.NumFormat &&
         a.Wrap == b.Wrap && a.FontName == b.FontName && a.Rotation == b.Rotation &&
         a.SplitMode == b.SplitMode && a.SplitLimit == b.SplitLimit;
}

size_t CellPropHash(const TCellProp& p) {
  size_t h =
      qHashMulti(0, p.Color, p.BgColor, p.FontSize, p.HAlign, p.VAlign, p.FontStyleSet,
                 p.FontStyleSet ? p.FontStyle : 0, p.Wrap, p.Rotation, p.SplitMode, p.SplitLimit);
  for (int i = 0; i < 4; ++i)
    h = qHashMulti(h, p.BorderWidths[i], p.BorderColors[i], p.BorderStyles[i], p.Margins[i]);
  return qHashMulti(h, p.NumFormat, p.FontName);
}

namespace {

void RtfRotationMerge(TCellProp& r, const TCellProp& base, const TCellProp& over) {
  const int r0 = base.Rotation == crNoRotation ? 0 : base.Rotation;
  const int r1 = over.Rotation == crNoRotation ? 0 : over.Rotation;
  if (r0 == r1) {
    for (int i = 0; i < 4; ++i)
      r.Margins[i] = over.Margins[i] < 0 ? base.Margins[i] : over.Margins[i];
    r.HAlign = over.HAlign == 0 ? base.HAlign : over.HAlign;
    r.VAlign = over.VAlign == 0 ? base.VAlign : over.VAlign;
    r.Rotation = over.Rotation != crNoRotation ? over.Rotation : base.Rotation;
  } else if (over.Rotation == crNoRotation) {
    r.Rotation = base.Rotation;
    r.Margins = base.Margins;
    r.HAlign = base.HAlign;
    r.VAlign = base.VAlign;
    // Over's sides land where the base rotation turns them.
    static const int to90[4] = {1, 2, 3, 0};     // left->top, top->right, ...
    static const int toOther[4] = {3, 0, 1, 2};  // left->bottom, top->left, ...
    const int* to = r0 == 90 ? to90 : toOther;
    for (int i = 0; i < 4; ++i)
      if (over.Margins[i] >= 0) r.Margins[to[i]] = over.Margins[i];
    if (over.HAlign != 0) r.VAlign = r0 == -90 ? Mirror(over.HAlign) : over.HAlign;
    if (over.VAlign != 0) r.HAlign = r0 == -90 ? over.VAlign : Mirror(over.VAlign);
  } else {
    const int d = static_cast<qint16>(r1 - r0);
    r.Rotation = over.Rotation;
    // The base side that turns into each side.
    static const int fromM90[4] = {1, 2, 3, 0};
    static const int from90[4] = {3, 0, 1, 2};
    static const int fromOther[4] = {2, 3, 0, 1};
    const int* from = d == -90 ? fromM90 : d == 90 ? from90 : fromOther;
    for (int i = 0; i < 4; ++i)
      r.Margins[i] = over.Margins[i] >= 0 ? over.Margins[i] : base.Margins[from[i]];
    const bool half = d == 180 || d == -180;
    if (over.HAlign != 0)
      r.HAlign = over.HAlign;
    else
      r.HAlign = half ? Mirror(base.HAlign) : d == -90 ? base.VAlign : Mirror(base.VAlign);
    if (over.VAlign != 0)
      r.VAlign = over.VAlign;
    else
      r.VAlign = half ? Mirror(base.VAlign) : d == -90 ? Mirror(base.HAlign) : base.HAlign;
  }
}

}  // namespace

void MergeCellProp(TRepsOutput& out, ITextMetrics* canvas, TCellProp& r, const TCellProp& base,
                   const TCellProp& over) {
  r.Color = over.Color == -1 ? base.Color : over.Color;
  r.BgColor = over.BgColor == -1 ? base.BgColor : over.BgColor;
  r.FontName = over.FontName.isEmpty() ? base.FontName : over.FontName;
  r.FontSize = over.FontSize <= 0 ? base.FontSize : over.FontSize;
  if (!over.FontStyleSet) {
    r.FontStyle = base.FontStyle;
    r.FontStyleSet = base.FontStyleSet;
  } else {
    r.FontStyle = over.FontStyle;
    r.FontStyleSet = true;
  }
  for (int i = 0; i < 4; ++i) {
    r.BorderWidths[i] = over.BorderWidths[i] < 0 ? base.BorderWidths[i] : over.BorderWidths[i];
    r.BorderColors[i] =
        over.BorderColors[i] == clNoColor ? base.BorderColors[i] : over.BorderColors[i];
    r.BorderStyles[i] = over.BorderStyles[i] == 0 ? base.BorderStyles[i] : over.BorderStyles[i];
  }
  if (out.RepType == rtRTF) {
    RtfRotationMerge(r, base, over);
  } else {
    for (int i = 0; i < 4; ++i)
      r.Margins[i] = over.Margins[i] < 0 ? base.Margins[i] : over.Margins[i];
    r.HAlign = over.HAlign == 0 ? base.HAlign : over.HAlign;
    r.VAlign = over.VAlign == 0 ? base.VAlign : over.VAlign;
    r.Rotation = over.Rotation == crNoRotation ? base.Rotation : over.Rotation;
    r.SplitMode = over.SplitMode == 0 ? base.SplitMode : over.SplitMode;
    r.SplitLimit = over.SplitLimit == INT_MAX ? base.SplitLimit : over.SplitLimit;
  }
  r.TextSize = &out.TextSizes.FindOrAdd(canvas, r.FontName, r.FontSize, r.FontStyle, false, false);
  r.NumFormat = over.NumFormat.isEmpty() ? base.NumFormat : over.NumFormat;
  r.Wrap = over.Wrap == 0 ? base.Wrap : over.Wrap;
}

void RotateCellMargins(TCellProp& p) {
  const int h = p.HAlign, v = p.VAlign;
  auto m = p.Margins;
  if (p.Rotation == -90) {
    if (h > 1 && h <= 4) p.VAlign = 6 - h;
    if (v > 1 && v <= 4) p.HAlign = v;
    p.Margins = {m[1], m[2], m[3], m[0]};
  } else if (p.Rotation == 90) {
    if (h > 1 && h <= 4) p.VAlign = h;
    if (v > 1 && v <= 4) p.HAlign = 6 - v;
    p.Margins = {m[3], m[0], m[1], m[2]};
  }
}

void ParseFontStyle(qint32& bits, const QString& text) {
  bits = 0;
  if (text.contains(QLatin1Char('B'))) bits |= 1;
  if (text.contains(QLatin1Char('I'))) bits |= 2;
  if (text.contains(QLatin1Char('U'))) bits |= 8;
}

void SetFontStyleText(TCellProp& prop, const QString& text) {
  ParseFontStyle(prop.FontStyle, text);
  prop.FontStyleSet = true;
}

void SetFontStyleBits(TCellProp& prop, qint32 bits) {
  prop.FontStyle = bits;
  prop.FontStyleSet = true;
}

void StripStyleNameAttrs(QString& text) {
  orvReps_CellWriters::RemoveAttr(text, QStringLiteral("style:name"));
  orvReps_CellWriters::RemoveAttr(text, QStringLiteral("style:apply-style-name"));
}

// ---- CSS ----------------------------------------------------------------------------------

void CellPropToCss(QString& t, const TCellProp& p, bool inlineStyle) {
  t += p.HAlign == 3   ? QLatin1String("text-align:center;")
       : p.HAlign == 4 ? QLatin1String("text-align:right;")
                       : QLatin1String("text-align:left;");
  t += p.VAlign == 3   ? QLatin1String("vertical-align:Middle;")
       : p.VAlign == 4 ? QLatin1String("vertical-align:Bottom;")
                       : QLatin1String("vertical-align:Top;");
  static const char* sides[] = {"left", "top", "right", "bottom"};
  for (int i = 0; i < 4; ++i) {
    t += QLatin1String("border-") + QLatin1String(sides[i]) + QLatin1Char(':');
    if (p.BorderWidths[i] < 1) {
      t += QLatin1String("none;");
      continue;
    }
    t += QLatin1String(CssBorderStyleWord(p.BorderStyles[i]));
    const qint32 c = p.BorderColors[i];
    t += (c == clNoColor || c == -1) ? QStringLiteral("Black ") : HexColor(c) + QLatin1Char(' ');
    t += Pt(p.BorderWidths[i]) + QLatin1String("PT;");
  }
  t += QLatin1String("padding:") + Pt(p.Margins[1]) + QLatin1String("PT ") + Pt(p.Margins[2]) +
       QLatin1String("PT ") + Pt(p.Margins[3]) + QLatin1String("PT ") + Pt(p.Margins[0]) +
       QLatin1String("PT;");
  t += QLatin1String("font-family:") + p.FontName + QLatin1Char(';');
  if (p.FontSize > 0)
    t += QLatin1String("font-size:") + QString::number(p.FontSize / 2) + QLatin1String("pt;");
  if (p.Color == clNoColor || p.Color == -1)
    t += QLatin1String("color:windowtext;");
  else
    t += QLatin1String("color:") + HexColor(p.Color) + QLatin1Char(';');
  if (p.BgColor == clNoColor || p.BgColor == -1)
    t += QLatin1String("background:window;");
  else
    t += QLatin1String("background:") + HexColor(p.BgColor) + QLatin1Char(';');
  if (p.FontStyleSet) {
    t += (p.FontStyle & 1) ? QLatin1String("font-weight:700;") : QLatin1String("font-weight:400;");
    t += (p.FontStyle & 2) ? QLatin1String("font-style:italic;")
                           : QLatin1String("font-style:normal;");
    t += (p.FontStyle & 8) ? QLatin1String("text-decoration:underline;text-underline-style:single;")
                           : QLatin1String("text-decoration:none;");
  }
  if (!p.NumFormat.isEmpty()) {
    const QLatin1String q = inlineStyle ? QLatin1String("\"\"") : QLatin1String("\"");
    t += QLatin1String("mso-number-format:") + q + p.NumFormat + q + QLatin1Char(';');
  }
  if (p.Wrap == 1) t += QLatin1String("white-space:normal;");
  if (p.Wrap == 2) t += QLatin1String("white-space:nowrap;");
  if (p.Rotation != crNoRotation && p.Rotation != 0)
    t += QLatin1String("mso-rotate:") + QString::number(p.Rotation) + QLatin1Char(';');
}

void AddHtmlPageStyles(TRepsOutput& out) {
  out.Styles.AddStyle(
      QStringLiteral("table"),
      QStringLiteral(
          "mso-displayed-decimal-separator:\"\\,\";mso-displayed-thousand-separator:\" \";"),
      false);
  const TPaperListProp& pp = out.Paper;
  auto inches = [](double twips) { return FloatToStrDot(twips / 1440.0); };
  QString d;
  if (pp.MarginLeft >= 0 && pp.MarginTop >= 0 && pp.MarginRight >= 0 && pp.MarginBottom >= 0) {
    d += QLatin1String("margin:") + inches(pp.MarginTop) + QLatin1String("in ") +
         inches(pp.MarginRight) + QLatin1String("in ") + inches(pp.MarginBottom) +
         QLatin1String("in ") + inches(pp.MarginLeft) + QLatin1String("in;");
  }
  if (!pp.Header.isEmpty())
    d += QLatin1String("mso-header-data:\"") + pp.Header + QLatin1String("\";");
  if (!pp.Footer.isEmpty())
    d += QLatin1String("mso-footer-data:\"") + pp.Footer + QLatin1String("\";");
  if (pp.HeaderSpace >= 0)
    d += QLatin1String("mso-header-margin:") + inches(pp.HeaderSpace) + QLatin1String("in;");
  if (pp.FooterSpace >= 0)
    d += QLatin1String("mso-footer-margin:") + inches(pp.FooterSpace) + QLatin1String("in;");
  if (pp.Landscape) d += QLatin1String("mso-page-orientation:landscape;");
  if (!d.isEmpty()) out.Styles.AddStyle(QStringLiteral("@page"), d, false);
  out.Styles.AddStyle(
      QStringLiteral("style0"),
      QStringLiteral("mso-number-format:General;text-align:general;vertical-align:top;"
                     "white-space:nowrap;mso-rotate:0;mso-background-source:auto;"
                     "mso-pattern:auto;color:windowtext;font-size:") +
          FloatToStrDot(out.DefFontSize * 0.5) +
          QStringLiteral("pt;font-weight:400;font-style:normal;text-decoration:none;"
                         "font-family:\"") +
          out.DefFontName +
          QStringLiteral("\";mso-generic-font-family:auto;mso-font-charset:204;border:none;"
                         "mso-protection:locked visible;mso-style-name:Обычный;"
                         "mso-style-id:0;"),
      true);
}

// ---- Flat ODS -----------------------------------------------------------------------------

void OdsTextProps(QString& text, const TCellProp& p) {
  QStringList items;
  if (!p.FontName.isEmpty())
    items << QLatin1String("style:font-name=\"") + p.FontName + QLatin1Char('"');
  if (p.FontSize > 0)
    items << QLatin1String("fo:font-size=\"") + FloatToStrDot(p.FontSize * 0.5) +
                 QLatin1String("pt\"");
  if (p.Color != clNoColor && p.Color != -1)
    items << QLatin1String("fo:color=\"") + HexColor(p.Color) + QLatin1Char('"');
  if (p.FontStyleSet) {
    items << ((p.FontStyle & 1) ? QStringLiteral("fo:font-weight=\"bold\"")
                                : QStringLiteral("fo:font-weight=\"normal\""));
    items << ((p.FontStyle & 2) ? QStringLiteral("fo:font-style=\"italic\"")
                                : QStringLiteral("fo:font-style=\"normal\""));
    items << ((p.FontStyle & 8) ? QStringLiteral("style:text-underline-style=\"solid\" "
                                                 "style:text-underline-width=\"auto\" "
                                                 "style:text-underline-color=\"font-color\"")
                                : QStringLiteral("style:text-underline-style=\"none\""));
  }
  if (!items.isEmpty())
    text += QLatin1String("<style:text-properties ") + items.join(QLatin1Char(' ')) +
            QLatin1String("/>");
}

void OdsTextStyle(QString& text, const QString& name, const TCellProp& props) {
  text += QLatin1String("<style:style style:name=\"") + name +
          QLatin1String("\" style:family=\"text\">");
  OdsTextProps(text, props);
  text += QLatin1String("</style:style>");
}

void OdsCellStyle(QString& text, const QString& name, const TCellProp& p) {
  QString a;
  if (name != QLatin1String("Default")) a = QStringLiteral(" style:parent-style-name=\"Default\"");
  if (!p.NumFormat.isEmpty())
    a += QLatin1String(" style:data-style-name=\"") + p.NumFormat + QLatin1Char('"');
  text += QLatin1String("<style:style style:name=\"") + name +
          QLatin1String("\" style:family=\"table-cell\"") + a + QLatin1Char('>');
  OdsTextProps(text, p);
  QStringList items;
  static const char* sides[] = {"left", "top", "right", "bottom"};
  for (int i = 0; i < 4; ++i) {
    QString item = QLatin1String("fo:border-") + QLatin1String(sides[i]) + QLatin1String("=\"");
    if (p.BorderWidths[i] < 1) {
      item += QLatin1String("none\"");
    } else {
      const qint32 c = p.BorderColors[i];
      item += Pt(p.BorderWidths[i]) + QLatin1String("pt ") +
              QLatin1String(OdsBorderStyleWord(p.BorderStyles[i])) + QLatin1Char(' ') +
              ((c == clNoColor || c == -1) ? QStringLiteral("#000000") : HexColor(c)) +
              QLatin1Char('"');
    }
    items << item;
  }
  if (p.BgColor != clNoColor && p.BgColor != -1)
    items << QLatin1String("fo:background-color=\"") + HexColor(p.BgColor) + QLatin1Char('"');
  if (p.VAlign > 1)
    items << QLatin1String("style:vertical-align=\"") +
                 (p.VAlign == 3   ? QLatin1String("middle")
                  : p.VAlign == 4 ? QLatin1String("bottom")
                                  : QLatin1String("top")) +
                 QLatin1Char('"');
  if (p.Wrap != 0)
    items << QLatin1String("fo:wrap-option=\"") +
                 (p.Wrap == 1 ? QLatin1String("wrap") : QLatin1String("no-wrap")) +
                 QLatin1Char('"');
  if (p.Rotation != crNoRotation && p.Rotation != 0)
    items << QLatin1String("style:rotation-angle=\"") + QString::number(p.Rotation) +
                 QLatin1Char('"');
  text += QLatin1String("<style:table-cell-properties ") + items.join(QLatin1Char(' ')) +
          QLatin1String("/>");
  if (p.HAlign > 1)
    text += QLatin1String("<style:paragraph-properties fo:text-align=\"") +
            (p.HAlign == 3   ? QLatin1String("center")
             : p.HAlign == 4 ? QLatin1String("end")
                             : QLatin1String("left")) +
            QLatin1String("\"/>");
  text += QLatin1String("</style:style>");
}

void OdsRowStyle(QString& text, const QString& name, double heightMM, bool pageBreak) {
  text += QLatin1String("<style:style style:name=\"") + name +
          QLatin1String("\" style:family=\"table-row\"><style:table-row-properties ");
  if (heightMM >= 0)
    text += QLatin1String("style:row-height=\"") + FloatToStrDot(heightMM) + QLatin1String("mm\" ");
  if (pageBreak) text += QLatin1String("fo:break-before=\"page\" ");
  // A fixed height only holds when the row is not sized to its contents.
  text += heightMM >= 0 ? QLatin1String("style:use-optimal-row-height=\"false\"/></style:style>")
                        : QLatin1String("style:use-optimal-row-height=\"true\"/></style:style>");
}

namespace {

// Page header or footer content: author markup as it stands, plain text in a paragraph.
QString OdsHeaderContent(const QString& text) {
  if (text.isEmpty() || text.startsWith(QLatin1Char('<'))) return text;
  QString t = text;
  orvReps_CellWriters::OdsEscape(t, QStringLiteral("</text:p><text:p>"));
  return QLatin1String("<text:p>") + t + QLatin1String("</text:p>");
}

void WriteOdsStyles(const TRepStyles& list, QString& text, TRepsOutput& out,
                    const TMaskSubCols* page, const TRepStyles* textList,
                    const TRepStyles* dataList) {
  QString t;
  QMap<QString, bool> fonts;  // sorted, case-sensitive, no duplicates
  for (const QString& n : out.OdsFontNames)
    if (!n.isEmpty()) fonts.insert(n, true);
  for (int i = 0; i < list.Count(); ++i)
    if (!list.GetItem(i).Props.FontName.isEmpty())
      fonts.insert(list.GetItem(i).Props.FontName, true);
  if (textList)
    for (int i = 0; i < textList->Count(); ++i)
      if (!textList->GetItem(i).Props.FontName.isEmpty())
        fonts.insert(textList->GetItem(i).Props.FontName, true);
  QString faces;
  for (auto it = fonts.cbegin(); it != fonts.cend(); ++it) {
    QString name = it.key();
    orvReps_CellWriters::XmlAttrEscape(name);
    if (!faces.isEmpty()) faces += kCrLf;
    faces += QLatin1String("<style:font-face style:name=\"") + name +
             QLatin1String("\" svg:font-family=\"") + name + QLatin1String("\"/>") + kCrLf;
  }
  if (!faces.isEmpty())
    t += QLatin1String("<office:font-face-decls>") + kCrLf + faces +
         QLatin1String("</office:font-face-decls>") + kCrLf;
  QString c;
  if (!out.FrameColumnWidths && page) {
    for (int i = 0; i < page->Count(); ++i) {
      if (i > 0) c += kCrLf;
      c += QLatin1String("<style:style style:name=\"rco") + QString::number(i) +
           QLatin1String("\" style:family=\"table-column\"><style:table-column-properties");
      if (page->GetItem(i).Width >= 0)
        c += QLatin1String(" style:column-width=\"") +
             FloatToStrDot(page->GetItem(i).Width * 25.4 / 1440.0) + QLatin1String("mm\"");
      c += QLatin1String("/></style:style>");
    }
  }
  if (c.isEmpty() && list.Count() == 0) {
    t.clear();
  } else {
    t += QLatin1String("<office:automatic-styles>") + c + kCrLf;
    OdsRowStyle(t, QStringLiteral("rowPageBreak"), -1, true);
    t += kCrLf;
    OdsRowStyle(t, QStringLiteral("RD"), -1, false);
    t += kCrLf;
    for (int i = 0; i < list.Count(); ++i) {
      const TRepStyle& s = list.GetItem(i);
      if (s.Kind == 2)
        OdsCellStyle(t, s.Name, s.Props);
      else
        t += s.Definition;
      t += kCrLf;
    }
    if (textList) {
      QString tl;
      WriteStyleSheet(*textList, tl, out, rtFlatODS, page, nullptr, nullptr);
      if (!tl.isEmpty()) t += tl + kCrLf;
    }
    if (dataList) {
      QStringList defs;
      for (int i = 0; i < dataList->Count(); ++i) defs << dataList->GetItem(i).Definition;
      const QString d = defs.join(kCrLf);
      if (!d.isEmpty()) t += d + kCrLf;
    }
    for (const QString& layout : out.OdsPageLayouts) t += kCrLf + layout;
    t += QLatin1String("</office:automatic-styles>");
  }
  auto piece = [&t](const QString& p) {
    if (!t.isEmpty()) t += kCrLf;
    t += p;
  };
  piece(QStringLiteral("<office:master-styles>"));
  for (int i = 1; i <= out.OdsSheetSettings.size(); ++i) {
    const QString n = QString::number(i);
    piece(QLatin1String("<style:master-page style:name=\"mp") + n +
          QLatin1String("\" style:page-layout-name=\"pm") + n + QLatin1String("\">"));
    if (i <= out.OdsHeaderTexts.size())
      piece(QLatin1String("<style:header>") + OdsHeaderContent(out.OdsHeaderTexts[i - 1]) +
            QLatin1String("</style:header>"));
    if (i <= out.OdsFooterTexts.size())
      piece(QLatin1String("<style:footer>") + OdsHeaderContent(out.OdsFooterTexts[i - 1]) +
            QLatin1String("</style:footer>"));
    piece(QStringLiteral("</style:master-page>"));
  }
  piece(QStringLiteral("</office:master-styles>"));
  text += t;
}

}  // namespace

void WriteStyleSheet(const TRepStyles& list, QString& text, TRepsOutput& out, TRepType repType,
                     const TMaskSubCols* page, const TRepStyles* textList,
                     const TRepStyles* dataList) {
  switch (repType) {
    case rtHTML:
    case rtHExcel: {
      if (list.Count() == 0) return;
      text += QLatin1String("<style><!--");
      for (int i = 0; i < list.Count(); ++i) {
        const TRepStyle& s = list.GetItem(i);
        if (s.IsClass) text += QLatin1Char('.');
        text += s.Name + QLatin1Char('{');
        if (s.Kind == 2)
          CellPropToCss(text, s.Props, false);
        else
          text += s.Definition;
        text += QLatin1Char('}') + kCrLf;
      }
      text += QLatin1String("--></style>");
      return;
    }
    case rtFlatODS:
      if (list.IsTextList) {
        for (int i = 0; i < list.Count(); ++i) {
          const TRepStyle& s = list.GetItem(i);
          if (s.Kind == 2)
            OdsTextStyle(text, s.Name, s.Props);
          else
            text += s.Definition;
          text += kCrLf;
        }
        return;
      }
      WriteOdsStyles(list, text, out, page, textList, dataList);
      return;
    default: return;
  }
}

void OdsColumnList(QString& text, TRepsOutput& out, const TMaskSubCols* page) {
  if (out.FrameColumnWidths || !page) return;
  const int n = page->Count();
  int first = INT_MAX, last = -1;
  const QString titles = out.PrintTitleCols;
  if (!titles.isEmpty()) {
    const int colon = titles.indexOf(QLatin1Char(':'));
    QString a = colon < 0 ? titles : titles.left(colon);
    a.remove(QLatin1Char('$'));
    first = orvReps_Values::ExcelColNum(a, INT_MAX);
    if (first != INT_MAX) {
      if (colon < 0) {
        last = first;
      } else {
        QString b = titles.mid(colon + 1);
        b.remove(QLatin1Char('$'));
        last = orvReps_Values::ExcelColNum(b, -1);
        if (last < 0 || last < first) first = INT_MAX;
      }
    }
    if (first < 0) first = 0;
    if (last > n) last = n;
  }
  // Groups and the header range nest: a group change inside the range closes the range,
  // changes the group and opens the range again.
  bool inHeader = false;
  int prev = 0;
  for (int i = 0; i < n; ++i) {
    const TMaskSubCol& col = page->GetItem(i);
    const int level = std::max(col.Level, 0);
    if (level != prev) {
      if (inHeader) text += QLatin1String("</table:table-header-columns>");
      for (int k = prev; k < level; ++k) text += QLatin1String("<table:table-column-group>");
      for (int k = level; k < prev; ++k) text += QLatin1String("</table:table-column-group>");
      if (inHeader) text += QLatin1String("<table:table-header-columns>");
    }
    if (i + 1 == first) {
      text += QLatin1String("<table:table-header-columns>");
      inHeader = true;
    }
    QStringList attrs;
    if (!col.Visible) attrs << QStringLiteral("table:visibility=\"collapse\"");
    if (col.Width >= 0)
      attrs << QLatin1String("table:style-name=\"rco") + QString::number(i) + QLatin1Char('"');
    text += QLatin1String("<table:table-column");
    if (!attrs.isEmpty()) text += QLatin1Char(' ') + attrs.join(QLatin1Char(' '));
    text += QLatin1String("/>");
    if (inHeader && i + 1 == last) {
      text += QLatin1String("</table:table-header-columns>");
      inHeader = false;
    }
    prev = level;
  }
  if (inHeader) text += QLatin1String("</table:table-header-columns>");
  for (int k = 0; k < prev; ++k) text += QLatin1String("</table:table-column-group>");
}

// ---- FRAME definitions --------------------------------------------------------------------

namespace {

// Where the styles of a definition start: after an optional "W:word".
int AfterWidthWord(const QString& d) {
  int i = 0;
  while (i < d.size() && d[i].unicode() <= 32) ++i;
  if (i + 1 < d.size() && (d[i] == QLatin1Char('W') || d[i] == QLatin1Char('w')) &&
      d[i + 1] == QLatin1Char(':')) {
    i += 2;
    while (i < d.size() && d[i] != QLatin1Char(' ')) ++i;
  }
  return i;
}

void GiveFreshNames(TRepStyles& temp, const TRepStyles& styles) {
  for (int i = 0; i < temp.Count(); ++i)
    temp.GetItem(i).OutName = QLatin1Char('f') + HexUpper(styles.Count() + i);
}

void ParseCssRules(const QString& d, TRepStyles& temp) {
  int i = AfterWidthWord(d);
  for (;;) {
    while (i < d.size() && d[i].unicode() <= 32) ++i;
    if (i >= d.size()) return;
    bool isClass = false;
    if (d[i] == QLatin1Char('.')) {
      isClass = true;
      ++i;
    }
    int e = i;
    while (e < d.size() && d[e].unicode() > 32 && d[e] != QLatin1Char('{')) ++e;
    const QString name = d.mid(i, e - i);
    const int open = d.indexOf(QLatin1Char('{'), e);
    if (open < 0) return;
    QString body;
    int k = open + 1;
    for (; k < d.size() && d[k] != QLatin1Char('}'); ++k) {
      if (d[k] == QLatin1Char('\\') && k + 1 < d.size()) ++k;
      body += d[k];
    }
    if (k >= d.size()) return;
    TRepStyle& s = temp.AddStyle(name, body, isClass);
    s.Kind = 1;
    i = k + 1;
  }
}

void CopyCssParents(TRepStyles& temp) {
  static const QString marker = QStringLiteral("mso-style-parent");
  for (int i = 0; i < temp.Count(); ++i) {
    QString& body = temp.GetItem(i).Definition;
    const int at = body.indexOf(marker);
    if (at < 0) continue;
    int k = body.indexOf(QLatin1Char(':'), at + marker.size());
    if (k < 0) continue;
    ++k;
    while (k < body.size() && body[k] == QLatin1Char(' ')) ++k;
    int e = k;
    while (e < body.size() && body[e] != QLatin1Char(' ') && body[e] != QLatin1Char(';') &&
           body[e] != QLatin1Char('}'))
      ++e;
    const QString parent = body.mid(k, e - k);
    for (int j = 0; j < temp.Count(); ++j) {
      if (orvReps_Lib::SameText(temp.GetItem(j).Name, parent)) {
        const QString copy = temp.GetItem(j).Definition;
        body.replace(at, e - at, copy);
        break;
      }
    }
  }
}

void ParseOdsElements(const QString& d, TRepStyles& temp, QStringList& fontNames) {
  static const QString nameAttr = QStringLiteral("style:name=\"");
  static const QString fontAttr = QStringLiteral("style:font-name=\"");
  int from = AfterWidthWord(d);
  for (;;) {
    const int at = d.indexOf(nameAttr, from);
    if (at < 0) return;
    const int lt = d.lastIndexOf(QLatin1Char('<'), at);
    if (lt < from && lt < 0) return;
    if (lt < 0) return;
    int te = lt + 1;
    while (te < d.size() && d[te].unicode() > 32) ++te;
    const QString tag = d.mid(lt + 1, te - lt - 1);
    const int nameStart = at + nameAttr.size();
    const int nameEnd = d.indexOf(QLatin1Char('"'), nameStart);
    if (nameEnd < 0) return;
    const int gt = d.indexOf(QLatin1Char('>'), nameEnd);
    if (gt < 0) return;
    int end;
    if (d[gt - 1] == QLatin1Char('/')) {
      end = gt + 1;
    } else {
      const QString close = QLatin1String("</") + tag + QLatin1Char('>');
      const int c = d.indexOf(close, gt);
      if (c < 0) return;
      end = c + close.size();
    }
    const QString element = d.mid(lt, end - lt);
    TRepStyle& s = temp.AddStyle(d.mid(nameStart, nameEnd - nameStart), element, false);
    s.Kind = 1;
    s.NamePos = nameStart - lt + 1;
    for (int f = element.indexOf(fontAttr); f >= 0; f = element.indexOf(fontAttr, f + 1)) {
      const int vs = f + fontAttr.size();
      int ve = element.indexOf(QLatin1Char('"'), vs);
      if (ve < 0) ve = element.size();
      fontNames << element.mid(vs, ve - vs);
    }
    from = end;
  }
}

}  // namespace

void ParseFrameDefinition(const QString& definition, TRepStyles& temp, QStringList& fontNames,
                          const TRepStyles& styles, bool ods) {
  if (ods) {
    ParseOdsElements(definition, temp, fontNames);
  } else {
    ParseCssRules(definition, temp);
    CopyCssParents(temp);
  }
  GiveFreshNames(temp, styles);
}

void RenameClassRefs(const TRepStyles& temp, QString& text) {
  static const QString marker = QStringLiteral("class=");
  int at = text.indexOf(marker);
  while (at >= 0) {
    const int s = at + marker.size();
    int e = s;
    while (e < text.size() && text[e].unicode() > 32 && text[e] != QLatin1Char(';') &&
           text[e] != QLatin1Char('>'))
      ++e;
    const QString name = text.mid(s, e - s);
    for (int i = 0; i < temp.Count(); ++i) {
      if (temp.GetItem(i).Name == name) {
        text.replace(s, e - s, temp.GetItem(i).OutName);
        e = s + temp.GetItem(i).OutName.size();
        break;
      }
    }
    at = text.indexOf(marker, e);
  }
}

void RenameValueRefs(const TRepStyles& temp, QString& text, const QString& marker) {
  int at = text.indexOf(marker);
  while (at >= 0) {
    const int s = at + marker.size();
    int e = text.indexOf(QLatin1Char('"'), s);
    if (e < 0) e = text.size();
    const QString value = text.mid(s, e - s);
    for (int i = 0; i < temp.Count(); ++i) {
      if (temp.GetItem(i).Name == value) {
        text.replace(s, e - s, temp.GetItem(i).OutName);
        e = s + temp.GetItem(i).OutName.size();
        break;
      }
    }
    at = text.indexOf(marker, e);
  }
}

}  // namespace orvReps_Styles

void TMaskSubCols::MergeFrom(const TMaskSubCols& source, bool copyWidths) {
  if (copyWidths) {
    for (int i = 0; i < std::min(Count(), source.Count()); ++i) {
      const TMaskSubCol& s = source.GetItem(i);
      if (s.WidthSet && s.Width >= 0) {
        items_[i].Width = s.Width;
        items_[i].WidthSet = true;
      }
    }
  }
  for (int i = Count(); i < source.Count(); ++i) {
    TMaskSubCol& c = Add();
    c.Width = source.GetItem(i).Width;
    c.WidthSet = source.GetItem(i).WidthSet;
  }
}
