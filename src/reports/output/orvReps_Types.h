#pragma once
// Plain records of the report output: a cell's visual properties, measure units, the mask
// columns of a horizontal page and a page setup.
#include "reports/lang/orvReps_Values.h"

#include <QtCore/QString>

#include <array>
#include <climits>
#include <vector>

class TTextSize;

enum TMeasUnit : qint32 { muChar, muTwip, muPoint, muMM, muCM, muInch };

inline constexpr qint16 crNoRotation = -32768;

// Colours hold red in the lowest byte; -1 is "not given", clNoColor "no colour". Per-side
// values are left, top, right, bottom; a side mask is 1 left, 2 top, 4 right, 8 bottom.
struct TCellProp {
  qint32 Color = -1;
  qint32 BgColor = -1;
  QString FontName;
  qint32 FontSize = -1;  // half-points; 0 or less is not given
  bool FontStyleSet = false;
  qint32 FontStyle = 0;  // bit 1 bold, bit 2 italic, bit 8 underline
  std::array<qint32, 4> BorderColors{clNoColor, clNoColor, clNoColor, clNoColor};
  std::array<qint32, 4> BorderStyles{0, 0, 0, 0};
  std::array<qint16, 4> BorderWidths{-1, -1, -1, -1};  // twips
  std::array<qint16, 4> Margins{-1, -1, -1, -1};       // twips
  qint32 HAlign = 0;                                   // 2 left, 3 centre, 4 right
  qint32 VAlign = 0;                                   // 2 top, 3 middle, 4 bottom
  TTextSize* TextSize = nullptr;
  QString Formula;
  QString NumFormat;
  qint32 Wrap = 0;  // 1 wrap at words, 2 no wrap
  qint16 Rotation = crNoRotation;
  qint32 SplitMode = 0;
  qint32 SplitLimit = INT_MAX;
  qint32 ValueType = 0;  // 5 boolean, 6 float, 11 date-time
  QString ValueText;
};

// The not-given record; records are reset by copying it.
inline const TCellProp& EmptyCellProp() {
  static const TCellProp empty;
  return empty;
}

// Widths and margins are kept in 16 bits: larger values are clamped, never wrapped round
// to a negative "not given".
inline qint16 ClampToInt16(double v) {
  if (v >= 32767) return 32767;
  if (v <= -32768) return -32768;
  return static_cast<qint16>(v);
}

struct TMaskSubCol {
  qint32 Width = 0;
  bool WidthSet = false;
  bool Visible = true;
  qint32 Level = 0;
};

class TMaskSubCols {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  TMaskSubCol& GetItem(int i) { return items_.at(i); }
  const TMaskSubCol& GetItem(int i) const { return items_.at(i); }
  TMaskSubCol& Add() { return items_.emplace_back(); }
  TMaskSubCol& AddMask(qint32 width, bool visible, qint32 level) {
    TMaskSubCol& c = items_.emplace_back();
    c.Width = width, c.Visible = visible, c.Level = level;
    return c;
  }
  void MergeFrom(const TMaskSubCols& source, bool copyWidths);

 private:
  std::vector<TMaskSubCol> items_;
};

// Page setup; sizes, spaces and margins in twips, negative = not set.
struct TPaperListProp {
  qint32 PaperWidth = 0;
  qint32 PaperHeight = 0;
  QString Header;
  QString Footer;
  qint32 HeaderSpace = -1;
  qint32 FooterSpace = -1;
  qint16 MarginLeft = -1;
  qint16 MarginTop = -1;
  qint16 MarginRight = -1;
  qint16 MarginBottom = -1;
  qint32 PaperSizeIndex = -1;
  bool Landscape = false;
};
