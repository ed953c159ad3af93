#pragma once
// Graphics: colours as 0x00BBGGRR integers with the system colours of a fixed table, rectangles,
// fonts, pens, brushes and the canvas. A canvas paints through a QPainter when it has one and
// measures text without any device; TRecordingCanvas records every call as a line of text and
// measures with a fixed 7x13 font, so painting code is tested without pixels.
//
// Colour, cursor and charset identifiers ("clBtnFace", "crHourGlass", "RUSSIAN_CHARSET") are
// read and written by component text through the integer identifiers registered here.
#include "platform/classes/typinfo.h"

#include <QtCore/QRect>
#include <QtCore/QStringList>
#include <QtGui/QColor>
#include <QtGui/QFont>

#include <memory>
#include <optional>

class QPainter;
class QPixmap;
class QImage;

// ---- Colours -------------------------------------------------------------------------

using TColor = qint32;
const TTypeInfo* TColorType();
const TTypeInfo* TCursorType();
const TTypeInfo* TFontCharsetType();

enum : TColor {
  clBlack = 0x000000,
  clMaroon = 0x000080,
  clGreen = 0x008000,
  clOlive = 0x008080,
  clNavy = 0x800000,
  clPurple = 0x800080,
  clTeal = 0x808000,
  clGray = 0x808080,
  clSilver = 0xC0C0C0,
  clRed = 0x0000FF,
  clLime = 0x00FF00,
  clYellow = 0x00FFFF,
  clBlue = 0xFF0000,
  clFuchsia = 0xFF00FF,
  clAqua = 0xFFFF00,
  clWhite = 0xFFFFFF,
  clMoneyGreen = 0xC0DCC0,
  clSkyBlue = 0xF0CAA6,
  clCream = 0xF0FBFF,
  clMedGray = 0xA4A0A0,
  clNone = 0x1FFFFFFF,
  clDefault = 0x20000000,
};
// System colours: 0x80000000 | index.
constexpr TColor SystemColor(int index) { return TColor(0x80000000u | unsigned(index)); }
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1),
                 clActiveCaption = SystemColor(2), clInactiveCaption = SystemColor(3),
                 clMenu = SystemColor(4), clWindow = SystemColor(5), clWindowFrame = SystemColor(6),
                 clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10),
                 clInactiveBorder = SystemColor(11), clAppWorkSpace = SystemColor(12),
                 clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16),
                 clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                 clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22),
                 clInfoText = SystemColor(23), clInfoBk = SystemColor(24);

// The RGB value of a colour (system colours from the fixed table; clNone and clDefault give
// white and black, what stored colour values of a missing table entry have always meant).
TColor ColorToRGB(TColor color);
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);
inline int GetRValue(TColor c) { return c & 0xFF; }
inline int GetGValue(TColor c) { return (c >> 8) & 0xFF; }
inline int GetBValue(TColor c) { return (c >> 16) & 0xFF; }
inline TColor RGB(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }
// "clRed" <-> clRed; texts of other values are "$00BBGGRR" in component text.
bool ColorToIdent(qint64 color, QString& ident);
bool IdentToColor(const QString& ident, qint64& color);
TColor StringToColor(const QString& text);  // identifier, $hex or decimal; EConvertError

// Cursors: crDefault 0 .. crHandPoint -21; scripts and stored texts use these numbers.
enum : int {
  crDefault = 0,
  crNone = -1,
  crArrow = -2,
  crCross = -3,
  crIBeam = -4,
  crSize = -22,
  crSizeNESW = -6,
  crSizeNS = -7,
  crSizeNWSE = -8,
  crSizeWE = -9,
  crUpArrow = -10,
  crHourGlass = -11,
  crDrag = -12,
  crNoDrop = -13,
  crHSplit = -14,
  crVSplit = -15,
  crMultiDrag = -16,
  crSQLWait = -17,
  crNo = -18,
  crAppStart = -19,
  crHelp = -20,
  crHandPoint = -21,
  crSizeAll = -22,
};

// ---- Geometry ------------------------------------------------------------------------

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Left/Top inclusive, Right/Bottom exclusive: the coordinates scripts and stored texts use.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(const TPoint& p) const {
    return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom;
  }
  QRect ToQRect() const { return QRect(Left, Top, Width(), Height()); }
  static TRect FromQRect(const QRect& r) {
    return TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
  }
  friend bool operator==(const TRect&, const TRect&) = default;
};
inline TRect Rect(int l, int t, int r, int b) { return TRect{l, t, r, b}; }
inline TRect Bounds(int l, int t, int w, int h) { return TRect{l, t, l + w, t + h}; }

ORV_ENUM(TAlignment, taLeftJustify, taRightJustify, taCenter)
ORV_ENUM(TTextLayout, tlTop, tlCenter, tlBottom)
ORV_ENUM(TFontStyle, fsBold, fsItalic, fsUnderline, fsStrikeOut)
ORV_SET(TFontStyles, TFontStyle)
ORV_ENUM(TFontPitch, fpDefault, fpVariable, fpFixed)
ORV_ENUM(TPenStyle, psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame)
ORV_ENUM(TPenMode, pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
         pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor)
ORV_ENUM(TBrushStyle, bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross,
         bsDiagCross)

// ---- Font, pen, brush ------------------------------------------------------------------

// What changes on a graphics object tells its owner through OnChange.
class TGraphicsObject : public TPersistent {
  ORV_CLASS(TGraphicsObject, TPersistent)
  TNotifyEvent OnChange;
  // Owners that must not hear their own changes (the tree's highlight drawing) detach with
  // SetOnChangeCallback(nullptr) and put it back.
  std::function<void()> ChangeCallback;

 protected:
  virtual void Changed();
};

class TFont : public TGraphicsObject {
  ORV_CLASS(TFont, TGraphicsObject)
  TFont();

  const QString& Name() const { return name_; }
  void SetName(const QString& v);
  int Size() const;
  void SetSize(int points);
  // Negative: character height in pixels at PixelsPerInch 96; positive: cell height.
  int Height() const { return height_; }
  void SetHeight(int v);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles v);
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Charset() const { return charset_; }
  void SetCharset(int v);
  TFontPitch Pitch() const { return pitch_; }
  void SetPitch(TFontPitch v);

  void Assign(TPersistent* source) override;
  bool Equals(const TFont& other) const;
  // The Qt font: family names that stored texts give are mapped to installed ones.
  const QFont& ToQFont() const;

 protected:
  void Changed() override;

 private:
  mutable std::optional<QFont> qfont_;  // made on first use: a QFont is not cheap
  QString name_ = QStringLiteral("MS Sans Serif");
  int height_ = -11;
  TFontStyles style_;
  TColor color_ = clWindowText;
  int charset_ = 1;  // DEFAULT_CHARSET
  TFontPitch pitch_ = fpDefault;
};

// The installed family that stands for a font name stored texts give (Arial, MS Sans Serif...).
QString MapFontFamily(const QString& name);

class TPen : public TGraphicsObject {
  ORV_CLASS(TPen, TGraphicsObject)
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle v);
  TPenMode Mode() const { return mode_; }
  void SetMode(TPenMode v);
  void Assign(TPersistent* source) override;

 private:
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = psSolid;
  TPenMode mode_ = pmCopy;
};

class TBrush : public TGraphicsObject {
  ORV_CLASS(TBrush, TGraphicsObject)
  TColor Color() const { return color_; }
  void SetColor(TColor v);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle v);
  void Assign(TPersistent* source) override;

 private:
  TColor color_ = clWhite;
  TBrushStyle style_ = bsSolid;
};

// ---- Canvas --------------------------------------------------------------------------

class TGraphic;

class TCanvas : public TPersistent {
  ORV_CLASS(TCanvas, TPersistent)
  TCanvas();
  ~TCanvas() override;

  TFont* Font() const { return font_.get(); }
  void SetFont(TFont* f) { font_->Assign(f); }
  TPen* Pen() const { return pen_.get(); }
  void SetPen(TPen* p) { pen_->Assign(p); }
  TBrush* Brush() const { return brush_.get(); }
  void SetBrush(TBrush* b) { brush_->Assign(b); }
  TPoint PenPos() const { return penPos_; }
  void SetPenPos(TPoint p) { penPos_ = p; }

  // The painter drawn on; nullptr: drawing does nothing, measuring still works.
  QPainter* Painter() const { return painter_; }
  void SetPainter(QPainter* painter) { painter_ = painter; }

  virtual int TextWidth(const QString& text);
  virtual int TextHeight(const QString& text);
  virtual void TextOut(int x, int y, const QString& text);
  // Text at (x, y) clipped to rect; the brush fills the rect first unless it is clear.
  virtual void TextRect(const TRect& rect, int x, int y, const QString& text);
  virtual void FillRect(const TRect& rect);
  virtual void FrameRect(const TRect& rect);
  virtual void Rectangle(const TRect& rect);
  virtual void MoveTo(int x, int y);
  virtual void LineTo(int x, int y);
  virtual void Polygon(const std::vector<TPoint>& points);
  virtual void Ellipse(const TRect& rect);
  virtual void DrawFocusRect(const TRect& rect);
  virtual void Draw(int x, int y, TGraphic* graphic);
  virtual void StretchDraw(const TRect& rect, TGraphic* graphic);
  // Leaves rect out of later painting.
  virtual void ExcludeClipRect(const TRect& rect);
  // Colour of one pixel (clNone without a device).
  virtual TColor Pixel(int x, int y);

 protected:
  void ApplyPen();
  void ApplyBrush();

 private:
  std::unique_ptr<TFont> font_;
  std::unique_ptr<TPen> pen_;
  std::unique_ptr<TBrush> brush_;
  TPoint penPos_;
  QPainter* painter_ = nullptr;
};

// Records each call ("FillRect 0,0,10,10 brush=$00FFFFFF") and measures every character 7
// pixels wide and 13 high.
class TRecordingCanvas : public TCanvas {
  ORV_CLASS(TRecordingCanvas, TCanvas)
  static constexpr int CharWidth = 7;
  static constexpr int CharHeight = 13;

  int TextWidth(const QString& text) override { return int(text.size()) * CharWidth; }
  int TextHeight(const QString&) override { return CharHeight; }
  void TextOut(int x, int y, const QString& text) override;
  void TextRect(const TRect& rect, int x, int y, const QString& text) override;
  void FillRect(const TRect& rect) override;
  void FrameRect(const TRect& rect) override;
  void Rectangle(const TRect& rect) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polygon(const std::vector<TPoint>& points) override;
  void Ellipse(const TRect& rect) override;
  void DrawFocusRect(const TRect& rect) override;
  void Draw(int x, int y, TGraphic* graphic) override;
  void StretchDraw(const TRect& rect, TGraphic* graphic) override;
  void ExcludeClipRect(const TRect& rect) override;
  TColor Pixel(int, int) override { return clNone; }

  QStringList Calls;
};

QString RectText(const TRect& r);

// ---- Pictures --------------------------------------------------------------------------

class TGraphic : public TPersistent {
  ORV_CLASS(TGraphic, TPersistent)
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual bool Empty() const = 0;
  virtual void Paint(QPainter& painter, const QRect& target) const = 0;
};

// A picture in memory. Data that does not decode is kept as it came and written back.
class TBitmap : public TGraphic {
  ORV_CLASS(TBitmap, TGraphic)
  TBitmap();
  ~TBitmap() override;

  int Width() const override;
  int Height() const override;
  void SetWidth(int w);
  void SetHeight(int h);
  void SetSize(int w, int h);
  bool Empty() const override;
  void Paint(QPainter& painter, const QRect& target) const override;
  // A canvas over the picture (valid until the bitmap changes size or goes).
  TCanvas* Canvas();
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v) { transparent_ = v; }
  TColor TransparentColor() const { return transparentColor_; }
  void SetTransparentColor(TColor c) { transparentColor_ = c; }

  // Loads PNG, BMP or any format Qt reads; true when the data decoded.
  bool LoadFromData(const QByteArray& data);
  bool LoadFromFile(const QString& path);
  const QImage& Image() const;
  void SetImage(const QImage& image);
  // The data as read when it did not decode (written back unchanged).
  const QByteArray& RawData() const { return raw_; }
  QByteArray SaveToData() const;  // PNG, or the kept raw data
  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

 private:
  void EndPaint();
  std::unique_ptr<QImage> image_;
  QByteArray raw_;
  std::unique_ptr<TCanvas> canvas_;
  std::unique_ptr<QPainter> painter_;
  bool transparent_ = false;
  TColor transparentColor_ = clNone;
};

// The character set identifiers of component text ("RUSSIAN_CHARSET" = 204).
bool CharsetToIdent(qint64 charset, QString& ident);
bool IdentToCharset(const QString& ident, qint64& charset);
bool CursorToIdent(qint64 cursor, QString& ident);
bool IdentToCursor(const QString& ident, qint64& cursor);
