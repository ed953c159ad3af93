#pragma once
// Cell and run writers: escaping for each output type, table cells, font runs, RTF and HTML
// pieces, the property setters of keys, measure units, the version text, formula
// compilation, query creation and the frame writer.
#include "reports/output/orvReps_Output.h"

#include <QtCore/QString>

#include <memory>

class TDataSet;

// Queries of a report run come from a factory of the data layer.
class IRepQuery {
 public:
  virtual ~IRepQuery() = default;
  // The dataset the query stands for, owned by the query.
  virtual TDataSet* DataSet() = 0;
  virtual void SetActive(bool active) = 0;
  virtual void SetAutoCalcFields(bool on) = 0;
  // Each gives false when the query does not offer the interface.
  virtual bool SetListId(const QString& id) = 0;
  virtual bool SetTimeout(int seconds) = 0;
  virtual bool SetProcName(const QString& name) = 0;
};

class IRepQueryFactory {
 public:
  virtual ~IRepQueryFactory() = default;
  // kind 1 a table-location dataset, 3 a query.
  virtual std::unique_ptr<IRepQuery> Create(int kind) = 0;
};

namespace orvReps_CellWriters {

// Setters used by keys.
void SetCellColor(TRepsOutput& out, TCellProp& prop, const QString& text);
void SetCellBgColor(TRepsOutput& out, TCellProp& prop, const QString& text);
void SetCellFontName(TCellProp& prop, const QString& name);
void SetCellFontSize(TCellProp& prop, const QString& text);
void SetCellBorderWidths(TCellProp& prop, const QString& text, int mask, int charWidth);
void SetCellMargins(TCellProp& prop, const QString& text, int mask, int charWidth);
void SetCellBorderColors(TRepsOutput& out, TCellProp& prop, const QString& text, int mask);
void SetCellBorderStyles(TCellProp& prop, const QString& text, int mask);
void RemoveAttr(QString& text, const QString& attrName);

// Escaping.
void GetLineBreakTag(const TRepsOutput& out, bool allowBreaks, bool& allowed, QString& tag,
                     bool& htmlEntities);
void HtmlEscape(QString& text, const QString& lineBreak, bool nbspBlanks);
// Flat ODS text: HTML escaping, characters XML forbids become "?", a "<BR>" left in the
// text becomes a paragraph break.
void OdsEscape(QString& text, const QString& lineBreak);
// Attribute values of the document writers: "&", "<" and '"'.
void XmlAttrEscape(QString& text);
void RtfEscape(QString& text);
void RepairHtmlEntityEnd(QString& text);
inline void RepairRtfEnd(QString&) {}

// Cells.
void HtmlCell(QString& out, const QString& text, const QString& attrs, const TCellProp& props,
              TRepStyles& styles);
void HtmlExcelCell(QString& out, const QString& text, const QString& attrs, const TCellProp& props,
                   TRepStyles& styles);
void OdsCell(TRepsOutput& run, QString& out, const QString& text, const QString& attrs,
             int coveredAfter, const TCellProp& props, TRepStyles& styles, int coveredBefore,
             bool typed);

// Font runs.
bool ParseFontRunSpec(TRepsOutput& out, ITextMetrics* canvas, TCellProp& props, const QString& spec,
                      bool doRegister, TRepColors* colors, TTextSizes* textSizes, TRepType repType,
                      QString& styleName);
void FontRunMarkup(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& spec,
                   const QString& text, bool doRegister, TRepColors* colors, TTextSizes* textSizes,
                   TRepType repType);
void FontRunRtf(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& spec,
                const QString& text, bool doRegister);
void FontRunRtfLocal(TRepsOutput& out, ITextMetrics* canvas, QString& result, const QString& spec,
                     const QString& text, const TRepColors& colors, const QStringList& fontNames,
                     qint32& newColor, QString& newFont, TTextSizes* textSizes, TRepType repType);
void FontRunParts(TRepsOutput& out, ITextMetrics* canvas, const QString& spec, QString& open,
                  QString& close, bool doRegister, const TRepColors* colors,
                  const QStringList* fontNames, qint32& newColor, QString& newFont);
void HtmlFontRun(QString& open, QString& close, const TCellProp& props);
void OdsFontRun(QString& open, QString& close, const QString& styleName);
void RtfFontRun(TRepsOutput& out, QString& open, QString& close, const TCellProp& props);
void RtfFontRunIdx(QString& open, QString& close, const TCellProp& props, int colorIdx,
                   int fontIdx);
void RtfStyleWords(QString& out, qint32 style);

// RTF and HTML pieces.
void RtfFontPrefix(const TTextSizes& textSizes, QString& out, const QString& fontName, int fontSize,
                   qint32 style);
void RtfMargins(QString& out, const std::array<qint16, 4>& margins);
void RtfPageMargin(QString& out, QChar letter, int value);
void RtfHeaderFooter(QString& out, const QString& word, int distance, const QString& text);
void HtmlAlignTag(QString& out, const QString& word);
void RtfAlignWord(QString& out, const QString& word);
qint32 SwapRedBlue(qint32 color);

// Text widths in twips.
qint32 RtfTextWidth(const TTextSize& entry, int rotation, const QString& text);
qint32 HtmlTextWidth(const TTextSize& entry, int rotation, const QString& text);

// Measure units. A conversion through characters needs a positive character width: one of
// 0 or less raises EConvertError.
double ConvertMeasure(double value, TMeasUnit from, TMeasUnit to, int charWidth);
double ParseMeasure(const QString& text, TMeasUnit defaultUnit, TMeasUnit targetUnit,
                    int charWidth);
void AddMeasure(QString& text, double value, TMeasUnit from, TMeasUnit to, int charWidth);
void SetMeasureUnits(TRepsOutput& out);
QString GetVersionText();

// Formulas; errors end the run through RaiseRepsError (recErrInFormula).
std::unique_ptr<TCompileCode> CompileFormula(TRepsOutput& out, const QString& text);
void CompileCondition(Variant& result, TRepsOutput& out, const QString& text);

// Queries.
std::unique_ptr<IRepQuery> NewRepQuery(TRepsOutput& out);
std::unique_ptr<IRepQuery> NewRepCommand(TRepsOutput& out, const QString& name);
void SetupRepQuery(TRepsOutput& out, IRepQuery& query);

// Frames: wraps text (or, with cmds, the literal texts of a compiled string) in the style
// definition for the output type. upTo: with cmds, rewrite RTF only in commands before it
// (-1: all).
void WriteFrameText(TRepsOutput& out, ITextMetrics* canvas, QString& result, TRepType repType,
                    const QString& definition, const QString& text, TFormatCommands* cmds, int upTo,
                    TRepStyles& styles);

}  // namespace orvReps_CellWriters
