#include "graphics.h"

#include "platform/classes/intidents.h"

#include "platform/classes/filer.h"
#include "platform/rtl/exceptions.h"

#include <QtCore/QBuffer>
#include <QtCore/QFile>
#include <QtCore/QHash>
#include <QtGui/QFontDatabase>
#include <QtGui/QFontMetrics>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QPolygon>

#include <cmath>

namespace {

// The classic palette: fixed, so pictures and lightened colours do not depend on the desktop.
constexpr quint32 kSystemColors[] = {
    0xC8C8C8, 0x000000, 0x6A240A, 0x808080, 0xC8D0D4, 0xFFFFFF, 0x000000, 0x000000,
    0x000000, 0xFFFFFF, 0xC8D0D4, 0xC8D0D4, 0x808080, 0x6A240A, 0xFFFFFF, 0xC8D0D4,
    0x808080, 0x808080, 0x000000, 0xC8D0D4, 0xFFFFFF, 0x404040, 0xC8D0D4, 0x000000,
    0xE1FFFF, 0xB5B5B5, 0x800000, 0xF0CAA6, 0xC0C0C0, 0x6A240A, 0xC8D0D4,
};

struct TIdent {
  qint64 value;
  const char* name;
};

constexpr TIdent kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clScrollBar, "clScrollBar"},
    {clBackground, "clBackground"},
    {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"},
    {clMenu, "clMenu"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clMenuText, "clMenuText"},
    {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"},
    {clActiveBorder, "clActiveBorder"},
    {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"},
    {clBtnShadow, "clBtnShadow"},
    {clGrayText, "clGrayText"},
    {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clInfoText, "clInfoText"},
    {clInfoBk, "clInfoBk"},
    {SystemColor(26), "clHotLight"},
    {SystemColor(27), "clGradientActiveCaption"},
    {SystemColor(28), "clGradientInactiveCaption"},
    {SystemColor(29), "clMenuHighlight"},
    {SystemColor(30), "clMenuBar"},
    {clNone, "clNone"},
    {clDefault, "clDefault"},
};

constexpr TIdent kCursors[] = {
    {crDefault, "crDefault"},     {crNone, "crNone"},           {crArrow, "crArrow"},
    {crCross, "crCross"},         {crIBeam, "crIBeam"},         {-5, "crSizeNESW"},
    {crSizeNS, "crSizeNS"},       {crSizeNWSE, "crSizeNWSE"},   {crSizeWE, "crSizeWE"},
    {crUpArrow, "crUpArrow"},     {crHourGlass, "crHourGlass"}, {crDrag, "crDrag"},
    {crNoDrop, "crNoDrop"},       {crHSplit, "crHSplit"},       {crVSplit, "crVSplit"},
    {crMultiDrag, "crMultiDrag"}, {crSQLWait, "crSQLWait"},     {crNo, "crNo"},
    {crAppStart, "crAppStart"},   {crHelp, "crHelp"},           {crHandPoint, "crHandPoint"},
    {crSizeAll, "crSizeAll"},     {crSizeAll, "crSize"},
};

constexpr TIdent kCharsets[] = {
    {0, "ANSI_CHARSET"},      {1, "DEFAULT_CHARSET"},    {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},      {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},   {134, "GB2312_CHARSET"},   {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},   {162, "TURKISH_CHARSET"},  {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},  {178, "ARABIC_CHARSET"},   {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},     {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
};

template <size_t N>
bool ToIdent(const TIdent (&table)[N], qint64 value, QString& ident) {
  for (const TIdent& i : table) {
    if (i.value == value) {
      ident = QLatin1String(i.name);
      return true;
    }
  }
  return false;
}
template <size_t N>
bool FromIdent(const TIdent (&table)[N], const QString& ident, qint64& value) {
  for (const TIdent& i : table) {
    if (ident.compare(QLatin1String(i.name), Qt::CaseInsensitive) == 0) {
      value = i.value;
      return true;
    }
  }
  return false;
}

}  // namespace

bool ColorToIdent(qint64 color, QString& ident) { return ToIdent(kColors, color, ident); }
bool IdentToColor(const QString& ident, qint64& color) { return FromIdent(kColors, ident, color); }
bool CharsetToIdent(qint64 charset, QString& ident) { return ToIdent(kCharsets, charset, ident); }
bool IdentToCharset(const QString& ident, qint64& charset) {
  return FromIdent(kCharsets, ident, charset);
}
bool CursorToIdent(qint64 cursor, QString& ident) { return ToIdent(kCursors, cursor, ident); }
bool IdentToCursor(const QString& ident, qint64& cursor) {
  return FromIdent(kCursors, ident, cursor);
}

const TTypeInfo* TColorType() {
  static const TTypeInfo* t = [] {
    const TTypeInfo* info = AliasTypeInfo(TypeInfoFor<int>(), QStringLiteral("TColor"));
    RegisterIntegerIdents(info, &IdentToColor, &ColorToIdent);
    return info;
  }();
  return t;
}
const TTypeInfo* TCursorType() {
  static const TTypeInfo* t = [] {
    const TTypeInfo* info = AliasTypeInfo(TypeInfoFor<int>(), QStringLiteral("TCursor"));
    RegisterIntegerIdents(info, &IdentToCursor, &CursorToIdent);
    return info;
  }();
  return t;
}
const TTypeInfo* TFontCharsetType() {
  static const TTypeInfo* t = [] {
    const TTypeInfo* info = AliasTypeInfo(TypeInfoFor<int>(), QStringLiteral("TFontCharset"));
    RegisterIntegerIdents(info, &IdentToCharset, &CharsetToIdent);
    return info;
  }();
  return t;
}

TColor ColorToRGB(TColor color) {
  if (color == clNone) return clWhite;
  if (color == clDefault) return clBlack;
  if (color < 0) {
    const unsigned index = unsigned(color) & 0xFF;
    return index < std::size(kSystemColors) ? TColor(kSystemColors[index]) : clBlack;
  }
  return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

TColor FromQColor(const QColor& c) { return RGB(c.red(), c.green(), c.blue()); }

TColor StringToColor(const QString& text) {
  qint64 v = 0;
  if (IdentToColor(text.trimmed(), v)) return TColor(v);
  bool ok = false;
  const QString t = text.trimmed();
  if (t.startsWith(QLatin1Char('$')))
    v = t.mid(1).toLongLong(&ok, 16);
  else
    v = t.toLongLong(&ok);
  if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid colour").arg(text));
  return TColor(v);
}

// ---- Graphics objects ----------------------------------------------------------------

ORV_DESCRIBE(TGraphicsObject) { c.Prop("OnChange", &TGraphicsObject::OnChange); }

void TGraphicsObject::Changed() {
  if (ChangeCallback) ChangeCallback();
  OnChange(this);
}

ORV_DESCRIBE(TFont) {
  c.Prop("Charset", &TFont::Charset, &TFont::SetCharset).Type(TFontCharsetType()).Default(1);
  c.Prop("Color", &TFont::Color, &TFont::SetColor).Type(TColorType());
  c.Prop("Height", &TFont::Height, &TFont::SetHeight);
  c.Prop("Name", &TFont::Name, &TFont::SetName);
  c.Prop("Pitch", &TFont::Pitch, &TFont::SetPitch).Default(fpDefault);
  c.Prop("Size", &TFont::Size, &TFont::SetSize).Stored(false);
  c.Prop("Style", &TFont::Style, &TFont::SetStyle);
}

TFont::TFont() = default;

void TFont::SetName(const QString& v) {
  if (v == name_) return;
  name_ = v;
  Changed();
}
int TFont::Size() const { return -int(std::lround(height_ * 72.0 / 96.0)); }
void TFont::SetSize(int points) { SetHeight(-int(std::lround(points * 96.0 / 72.0))); }
void TFont::SetHeight(int v) {
  if (v == height_) return;
  height_ = v;
  Changed();
}
void TFont::SetStyle(TFontStyles v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}
void TFont::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}
void TFont::SetCharset(int v) {
  if (v == charset_) return;
  charset_ = v;
  Changed();
}
void TFont::SetPitch(TFontPitch v) {
  if (v == pitch_) return;
  pitch_ = v;
  Changed();
}

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    if (Equals(*f)) return;
    name_ = f->name_;
    height_ = f->height_;
    style_ = f->style_;
    color_ = f->color_;
    charset_ = f->charset_;
    pitch_ = f->pitch_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

bool TFont::Equals(const TFont& o) const {
  return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
         charset_ == o.charset_ && pitch_ == o.pitch_;
}

namespace {

// The installed family for a name: the name itself, else its stand-in, else DejaVu Sans.
QString FindFamily(const QString& name) {
  static const struct {
    const char* from;
    const char* to;
  } kMap[] = {
      {"MS Sans Serif", "DejaVu Sans"},
      {"Microsoft Sans Serif", "DejaVu Sans"},
      {"Tahoma", "DejaVu Sans"},
      {"Verdana", "DejaVu Sans"},
      {"Arial", "Liberation Sans"},
      {"Segoe UI", "DejaVu Sans"},
      {"Times New Roman", "Liberation Serif"},
      {"Courier New", "Liberation Mono"},
      {"Courier", "DejaVu Sans Mono"},
      {"Lucida Console", "DejaVu Sans Mono"},
      {"MS Serif", "DejaVu Serif"},
  };
  static const QStringList families = QFontDatabase::families();
  if (families.contains(name, Qt::CaseInsensitive)) return name;
  for (const auto& m : kMap) {
    if (name.compare(QLatin1String(m.from), Qt::CaseInsensitive) != 0) continue;
    const QString to = QLatin1String(m.to);
    if (families.contains(to)) return to;
    // Liberation missing: the DejaVu family of the same kind.
    if (to.endsWith(QLatin1String("Mono"))) return QStringLiteral("DejaVu Sans Mono");
    if (to.endsWith(QLatin1String("Serif"))) return QStringLiteral("DejaVu Serif");
    return QStringLiteral("DejaVu Sans");
  }
  return QStringLiteral("DejaVu Sans");
}

}  // namespace

QString MapFontFamily(const QString& name) {
  static QHash<QString, QString> mapped;
  auto it = mapped.constFind(name);
  if (it != mapped.constEnd()) return it.value();
  const QString family = FindFamily(name);
  mapped.insert(name, family);
  return family;
}

void TFont::Changed() {
  qfont_.reset();
  TGraphicsObject::Changed();
}

const QFont& TFont::ToQFont() const {
  if (qfont_) return *qfont_;
  QFont f(MapFontFamily(name_));
  if (height_ < 0)
    f.setPixelSize(-height_);
  else if (height_ > 0)
    f.setPixelSize(std::max(1, height_ * 4 / 5));
  f.setBold(style_.Contains(fsBold));
  f.setItalic(style_.Contains(fsItalic));
  f.setUnderline(style_.Contains(fsUnderline));
  f.setStrikeOut(style_.Contains(fsStrikeOut));
  if (pitch_ == fpFixed) f.setFixedPitch(true);
  qfont_ = f;
  return *qfont_;
}

ORV_DESCRIBE(TPen) {
  c.Prop("Color", &TPen::Color, &TPen::SetColor).Type(TColorType()).Default(clBlack);
  c.Prop("Mode", &TPen::Mode, &TPen::SetMode).Default(pmCopy);
  c.Prop("Style", &TPen::Style, &TPen::SetStyle).Default(psSolid);
  c.Prop("Width", &TPen::Width, &TPen::SetWidth).Default(1);
}
void TPen::SetColor(TColor v) {
  if (v == color_) return;
  color_ = v;
  Changed();
}
void TPen::SetWidth(int v) {
  if (v == width_) return;
  width_ = v;
  Changed();
}
void TPen::SetStyle(TPenStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}
void TPen::SetMode(TPenMode v) {
  if (v == mode_) return;
  mode_ = v;
  Changed();
}
void TPen::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPen*>(source)) {
    color_ = p->color_;
    width_ = p->width_;
    style_ = p->style_;
    mode_ = p->mode_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

ORV_DESCRIBE(TBrush) {
  c.Prop("Color", &TBrush::Color, &TBrush::SetColor).Type(TColorType()).Default(clWhite);
  c.Prop("Style", &TBrush::Style, &TBrush::SetStyle).Default(bsSolid);
}
void TBrush::SetColor(TColor v) {
  if (v == color_ && style_ != bsClear) return;
  color_ = v;
  if (style_ == bsClear) style_ = bsSolid;
  Changed();
}
void TBrush::SetStyle(TBrushStyle v) {
  if (v == style_) return;
  style_ = v;
  Changed();
}
void TBrush::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TBrush*>(source)) {
    color_ = b->color_;
    style_ = b->style_;
    Changed();
    return;
  }
  TPersistent::Assign(source);
}

// ---- Canvas --------------------------------------------------------------------------

ORV_DESCRIBE(TCanvas) {
  c.Prop("Brush", &TCanvas::Brush, &TCanvas::SetBrush);
  c.Prop("Font", &TCanvas::Font, &TCanvas::SetFont);
  c.Prop("Pen", &TCanvas::Pen, &TCanvas::SetPen);
}

TCanvas::TCanvas()
    : font_(std::make_unique<TFont>()),
      pen_(std::make_unique<TPen>()),
      brush_(std::make_unique<TBrush>()) {}
TCanvas::~TCanvas() = default;

int TCanvas::TextWidth(const QString& text) {
  return QFontMetrics(font_->ToQFont()).horizontalAdvance(text);
}
int TCanvas::TextHeight(const QString& text) {
  (void)text;
  return QFontMetrics(font_->ToQFont()).height();
}

void TCanvas::ApplyPen() {
  if (painter_ == nullptr) return;
  if (pen_->Style() == psClear || pen_->Mode() == pmNop) {
    painter_->setPen(Qt::NoPen);
    return;
  }
  QPen p(ToQColor(pen_->Color()));
  p.setWidth(pen_->Width());
  switch (pen_->Style()) {
    case psDash: p.setStyle(Qt::DashLine); break;
    case psDot: p.setStyle(Qt::DotLine); break;
    case psDashDot: p.setStyle(Qt::DashDotLine); break;
    case psDashDotDot: p.setStyle(Qt::DashDotDotLine); break;
    default: break;
  }
  painter_->setPen(p);
}

void TCanvas::ApplyBrush() {
  if (painter_ == nullptr) return;
  if (brush_->Style() == bsClear)
    painter_->setBrush(Qt::NoBrush);
  else
    painter_->setBrush(ToQColor(brush_->Color()));
}

void TCanvas::TextOut(int x, int y, const QString& text) {
  if (painter_ == nullptr) return;
  const QFont f = font_->ToQFont();
  const QFontMetrics fm(f);
  if (brush_->Style() != bsClear) {
    painter_->fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()),
                       ToQColor(brush_->Color()));
  }
  painter_->setFont(f);
  painter_->setPen(ToQColor(font_->Color()));
  painter_->drawText(x, y + fm.ascent(), text);
  penPos_ = TPoint{x + fm.horizontalAdvance(text), y};
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text) {
  if (painter_ == nullptr) return;
  painter_->save();
  if (brush_->Style() != bsClear) painter_->fillRect(rect.ToQRect(), ToQColor(brush_->Color()));
  painter_->setClipRect(rect.ToQRect(), Qt::IntersectClip);
  const QFont f = font_->ToQFont();
  painter_->setFont(f);
  painter_->setPen(ToQColor(font_->Color()));
  painter_->drawText(x, y + QFontMetrics(f).ascent(), text);
  painter_->restore();
}

void TCanvas::FillRect(const TRect& rect) {
  if (painter_ == nullptr || brush_->Style() == bsClear) return;
  painter_->fillRect(rect.ToQRect(), ToQColor(brush_->Color()));
}

void TCanvas::FrameRect(const TRect& rect) {
  if (painter_ == nullptr) return;
  painter_->save();
  painter_->setPen(ToQColor(brush_->Color()));
  painter_->setBrush(Qt::NoBrush);
  painter_->drawRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1);
  painter_->restore();
}

void TCanvas::Rectangle(const TRect& rect) {
  if (painter_ == nullptr) return;
  ApplyPen();
  ApplyBrush();
  painter_->drawRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1);
}

void TCanvas::MoveTo(int x, int y) { penPos_ = TPoint{x, y}; }

void TCanvas::LineTo(int x, int y) {
  if (painter_ != nullptr) {
    ApplyPen();
    painter_->drawLine(penPos_.X, penPos_.Y, x, y);
  }
  penPos_ = TPoint{x, y};
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (painter_ == nullptr) return;
  ApplyPen();
  ApplyBrush();
  QPolygon poly;
  for (const TPoint& p : points) poly << QPoint(p.X, p.Y);
  painter_->drawPolygon(poly);
}

void TCanvas::Ellipse(const TRect& rect) {
  if (painter_ == nullptr) return;
  ApplyPen();
  ApplyBrush();
  painter_->drawEllipse(rect.ToQRect().adjusted(0, 0, -1, -1));
}

void TCanvas::DrawFocusRect(const TRect& rect) {
  if (painter_ == nullptr) return;
  painter_->save();
  QPen p(Qt::black);
  p.setStyle(Qt::DotLine);
  painter_->setPen(p);
  painter_->setBrush(Qt::NoBrush);
  painter_->drawRect(rect.Left, rect.Top, rect.Width() - 1, rect.Height() - 1);
  painter_->restore();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (painter_ == nullptr || graphic == nullptr || graphic->Empty()) return;
  graphic->Paint(*painter_, QRect(x, y, graphic->Width(), graphic->Height()));
}

void TCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  if (painter_ == nullptr || graphic == nullptr || graphic->Empty()) return;
  graphic->Paint(*painter_, rect.ToQRect());
}

void TCanvas::ExcludeClipRect(const TRect& rect) {
  if (painter_ == nullptr) return;
  QRegion region = painter_->hasClipping() ? painter_->clipRegion() : QRegion(painter_->viewport());
  painter_->setClipRegion(region.subtracted(QRegion(rect.ToQRect())));
}

TColor TCanvas::Pixel(int x, int y) {
  if (painter_ == nullptr) return clNone;
  auto* image = dynamic_cast<QImage*>(painter_->device());
  if (image == nullptr || !image->valid(x, y)) return clNone;
  return FromQColor(image->pixelColor(x, y));
}

QString RectText(const TRect& r) {
  return QStringLiteral("%1,%2,%3,%4").arg(r.Left).arg(r.Top).arg(r.Right).arg(r.Bottom);
}

namespace {
QString ColorText(TColor c) {
  return QStringLiteral("$%1").arg(quint32(c), 8, 16, QLatin1Char('0')).toUpper();
}
}  // namespace

ORV_DESCRIBE(TRecordingCanvas) {}

void TRecordingCanvas::TextOut(int x, int y, const QString& text) {
  Calls << QStringLiteral("TextOut %1,%2 '%3' font=%4")
               .arg(x)
               .arg(y)
               .arg(text, ColorText(Font()->Color()));
  SetPenPos(TPoint{x + TextWidth(text), y});
}
void TRecordingCanvas::TextRect(const TRect& rect, int x, int y, const QString& text) {
  Calls << QStringLiteral("TextRect %1 %2,%3 '%4'").arg(RectText(rect)).arg(x).arg(y).arg(text);
}
void TRecordingCanvas::FillRect(const TRect& rect) {
  Calls << QStringLiteral("FillRect %1 brush=%2").arg(RectText(rect), ColorText(Brush()->Color()));
}
void TRecordingCanvas::FrameRect(const TRect& rect) {
  Calls << QStringLiteral("FrameRect %1").arg(RectText(rect));
}
void TRecordingCanvas::Rectangle(const TRect& rect) {
  Calls << QStringLiteral("Rectangle %1").arg(RectText(rect));
}
void TRecordingCanvas::MoveTo(int x, int y) {
  Calls << QStringLiteral("MoveTo %1,%2").arg(x).arg(y);
  SetPenPos(TPoint{x, y});
}
void TRecordingCanvas::LineTo(int x, int y) {
  Calls << QStringLiteral("LineTo %1,%2").arg(x).arg(y);
  SetPenPos(TPoint{x, y});
}
void TRecordingCanvas::Polygon(const std::vector<TPoint>& points) {
  QStringList p;
  for (const TPoint& pt : points) p << QStringLiteral("%1,%2").arg(pt.X).arg(pt.Y);
  Calls << QStringLiteral("Polygon ") + p.join(QLatin1Char(' '));
}
void TRecordingCanvas::Ellipse(const TRect& rect) {
  Calls << QStringLiteral("Ellipse %1").arg(RectText(rect));
}
void TRecordingCanvas::DrawFocusRect(const TRect& rect) {
  Calls << QStringLiteral("DrawFocusRect %1").arg(RectText(rect));
}
void TRecordingCanvas::Draw(int x, int y, TGraphic* graphic) {
  Calls << QStringLiteral("Draw %1,%2 %3x%4")
               .arg(x)
               .arg(y)
               .arg(graphic ? graphic->Width() : 0)
               .arg(graphic ? graphic->Height() : 0);
}
void TRecordingCanvas::StretchDraw(const TRect& rect, TGraphic* graphic) {
  (void)graphic;
  Calls << QStringLiteral("StretchDraw %1").arg(RectText(rect));
}
void TRecordingCanvas::ExcludeClipRect(const TRect& rect) {
  Calls << QStringLiteral("ExcludeClipRect %1").arg(RectText(rect));
}

// ---- Pictures --------------------------------------------------------------------------

ORV_DESCRIBE(TGraphic) {}

ORV_DESCRIBE(TBitmap) {
  c.Prop("Height", &TBitmap::Height, &TBitmap::SetHeight).Stored(false);
  c.Prop("Width", &TBitmap::Width, &TBitmap::SetWidth).Stored(false);
  c.Prop("Transparent", &TBitmap::transparent_).Default(0);
}

TBitmap::TBitmap() : image_(std::make_unique<QImage>()) {}
TBitmap::~TBitmap() { EndPaint(); }

void TBitmap::EndPaint() {
  if (canvas_) canvas_->SetPainter(nullptr);
  painter_.reset();
}

int TBitmap::Width() const { return image_->width(); }
int TBitmap::Height() const { return image_->height(); }
void TBitmap::SetWidth(int w) { SetSize(w, Height()); }
void TBitmap::SetHeight(int h) { SetSize(Width(), h); }
void TBitmap::SetSize(int w, int h) {
  if (w == Width() && h == Height()) return;
  EndPaint();
  QImage resized(std::max(0, w), std::max(0, h), QImage::Format_ARGB32);
  resized.fill(Qt::white);
  if (!image_->isNull()) {
    QPainter p(&resized);
    p.drawImage(0, 0, *image_);
  }
  *image_ = resized;
  raw_.clear();
}
bool TBitmap::Empty() const { return image_->isNull() && raw_.isEmpty(); }

void TBitmap::Paint(QPainter& painter, const QRect& target) const {
  if (image_->isNull()) return;
  if (transparent_) {
    const TColor key = transparentColor_ != clNone
                           ? transparentColor_
                           : FromQColor(image_->pixelColor(0, image_->height() - 1));
    QImage masked = image_->convertToFormat(QImage::Format_ARGB32);
    const QRgb k = ToQColor(key).rgb() & 0xFFFFFF;
    for (int y = 0; y < masked.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
      for (int x = 0; x < masked.width(); ++x) {
        if ((line[x] & 0xFFFFFF) == k) line[x] = 0;
      }
    }
    painter.drawImage(target, masked);
    return;
  }
  painter.drawImage(target, *image_);
}

TCanvas* TBitmap::Canvas() {
  if (!canvas_) canvas_ = std::make_unique<TCanvas>();
  if (!painter_ && !image_->isNull()) {
    painter_ = std::make_unique<QPainter>(image_.get());
    canvas_->SetPainter(painter_.get());
  }
  return canvas_.get();
}

bool TBitmap::LoadFromData(const QByteArray& data) {
  EndPaint();
  QImage img;
  if (img.loadFromData(data)) {
    *image_ = img.convertToFormat(QImage::Format_ARGB32);
    raw_.clear();
    return true;
  }
  *image_ = QImage();
  raw_ = data;
  return false;
}

bool TBitmap::LoadFromFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(path));
  return LoadFromData(f.readAll());
}

const QImage& TBitmap::Image() const { return *image_; }
void TBitmap::SetImage(const QImage& image) {
  EndPaint();
  *image_ = image.convertToFormat(QImage::Format_ARGB32);
  raw_.clear();
}

QByteArray TBitmap::SaveToData() const {
  if (!raw_.isEmpty()) return raw_;
  QByteArray out;
  if (image_->isNull()) return out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image_->save(&buffer, "PNG");
  return out;
}

void TBitmap::Assign(TPersistent* source) {
  if (source == nullptr) {
    EndPaint();
    *image_ = QImage();
    raw_.clear();
    return;
  }
  if (auto* b = dynamic_cast<TBitmap*>(source)) {
    EndPaint();
    *image_ = *b->image_;
    raw_ = b->raw_;
    transparent_ = b->transparent_;
    transparentColor_ = b->transparentColor_;
    return;
  }
  TPersistent::Assign(source);
}

void TBitmap::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      QStringLiteral("Data"), [this](const QByteArray& data) { LoadFromData(data); },
      [this]() { return SaveToData(); }, !Empty());
}
