#pragma once
// Report styles: comparing and merging cell properties, the run's style lists, font
// metrics, style sheets of every output type and the import of FRAME style definitions.
#include "platform/rtl/textmetrics.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <array>
#include <memory>
#include <vector>

class TRepsOutput;

struct TRepStyle {
  qint32 Kind = 0;  // 0 named, 1 from a FRAME definition, 2 automatic
  QString Name;
  TCellProp Props;  // automatic styles only; the others keep a zeroed record
  QString OutName;
  bool IsClass = false;
  QString Definition;
  qint32 NamePos = 0;
};

class TRepStyles {
 public:
  explicit TRepStyles(qint32 kind = 0) : Kind(kind) {}
  TRepStyles(const TRepStyles&) = delete;
  TRepStyles& operator=(const TRepStyles&) = delete;

  const qint32 Kind;
  bool IsTextList = false;

  int Count() const { return static_cast<int>(items_.size()); }
  TRepStyle& GetItem(int i) const { return *items_.at(i); }
  // The first style of any kind with equal properties, else a new automatic style named
  // prefix + the count in hexadecimal.
  TRepStyle& FindOrAddCellStyle(const TCellProp& props, const QString& prefix);
  // The first automatic style with equal properties, else FindOrAddCellStyle(props, "r").
  TRepStyle& FindCellStyle(const TCellProp& props);
  TRepStyle& AddStyle(const QString& name, const QString& definition, bool isClass);
  TRepStyle& AddFrameStyle(const QString& name, const QString& definition, bool isClass);
  int IndexOfName(const QString& name) const;
  QString FindNameByText(const QString& definition) const;
  void KeepFrameStyles();
  void Clear();

 private:
  TRepStyle& Append(qint32 kind, const QString& name, const QString& definition, bool isClass);
  TRepStyle& FindCellStyleByHash(const TCellProp& props);
  std::vector<std::unique_ptr<TRepStyle>> items_;
  // The styles that recent lookups found, by the address of the record looked up.
  struct TStyleMemo {
    const TCellProp* Props = nullptr;
    int Index = 0;
  };
  std::array<TStyleMemo, 8> memo_{};
  unsigned memoNext_ = 0;
  // Automatic styles by a hash of the compared fields: cells look their style up without a
  // scan of the list.
  QMultiHash<size_t, int> autoIndex_;
};

// One font's metrics: advance widths of the 256 code page 1251 characters (device units
// x 20, used as twips) and the height of a line.
class TTextSize {
 public:
  TMetricsFont Font;  // Size in half-points
  bool Duplicate = false;
  bool NameOnly = false;
  qint32 CharWidths[256] = {};
  qint32 LineHeight = 0;

  // Width of one character; one outside code page 1251 is measured once, then cached.
  qint32 Width(QChar c) const;
  qint64 TextWidth(const QString& text, int from, int to) const;  // 1-based, inclusive

 private:
  friend class TTextSizes;
  ITextMetrics* canvas_ = nullptr;
  bool useInteger_ = true;
  mutable QHash<char16_t, qint32> extra_;
};

class TTextSizes {
 public:
  explicit TTextSizes(ITextMetrics* canvas);
  TTextSizes(const TTextSizes&) = delete;
  TTextSizes& operator=(const TTextSizes&) = delete;

  bool CanMeasure = false;
  int Count() const { return static_cast<int>(items_.size()); }
  TTextSize& GetItem(int i) const { return *items_.at(i); }
  TTextSize& FindOrAdd(ITextMetrics* canvas, const QString& name, int size, int style,
                       bool nameOnly, bool atFront);
  TTextSize& FindByName(ITextMetrics* canvas, const QString& name) {
    return FindOrAdd(canvas, name, 0, 0, true, false);
  }
  int FontNumber(const TTextSize& entry) const;
  QString FontNumberText(const QString& name) const;
  void WriteRtfFontTable(QString& text) const;

 private:
  void Measure(ITextMetrics* canvas, TTextSize& entry) const;
  std::vector<std::unique_ptr<TTextSize>> items_;
};

namespace orvReps_Styles {

// Border style words per code (0 .. 19); codes out of range give the solid word.
const char* CssBorderStyleWord(int code);
const char* OdsBorderStyleWord(int code);
const char* RtfBorderStyleWord(int code);

bool SameCellProp(const TCellProp& a, const TCellProp& b);
size_t CellPropHash(const TCellProp& p);
void MergeCellProp(TRepsOutput& out, ITextMetrics* canvas, TCellProp& result, const TCellProp& base,
                   const TCellProp& over);
void RotateCellMargins(TCellProp& prop);
void ParseFontStyle(qint32& bits, const QString& text);
void SetFontStyleText(TCellProp& prop, const QString& text);
void SetFontStyleBits(TCellProp& prop, qint32 bits);
void StripStyleNameAttrs(QString& text);

// Style sheets. page: the mask columns of the horizontal page being written (may be null).
void WriteStyleSheet(const TRepStyles& list, QString& text, TRepsOutput& out, TRepType repType,
                     const TMaskSubCols* page, const TRepStyles* textList,
                     const TRepStyles* dataList);
void AddHtmlPageStyles(TRepsOutput& out);
void CellPropToCss(QString& text, const TCellProp& props, bool inlineStyle);
void OdsCellStyle(QString& text, const QString& name, const TCellProp& props);
void OdsTextStyle(QString& text, const QString& name, const TCellProp& props);
void OdsTextProps(QString& text, const TCellProp& props);
void OdsRowStyle(QString& text, const QString& name, double heightMM, bool pageBreak);
void OdsColumnList(QString& text, TRepsOutput& out, const TMaskSubCols* page);
// "#RRGGBB" of a colour value.
QString HexColor(qint32 color);

// FRAME definitions: HTML rules or ODS elements parsed into temp, each given its fresh name.
void ParseFrameDefinition(const QString& definition, TRepStyles& temp, QStringList& fontNames,
                          const TRepStyles& styles, bool ods);
void RenameClassRefs(const TRepStyles& temp, QString& text);
void RenameValueRefs(const TRepStyles& temp, QString& text, const QString& marker);

}  // namespace orvReps_Styles
