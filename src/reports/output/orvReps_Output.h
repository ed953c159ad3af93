#pragma once
// The output state of one report run: output type, style lists, colours, font metrics,
// units, the registry of compiled format strings and the sheet-level lists of flat ODS.
// The run window owns one; tests pair it with a plain TRepsRun.
#include "platform/rtl/textmetrics.h"
#include "reports/lang/orvReps_Run.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/output/orvReps_Styles.h"

#include <memory>
#include <vector>

class TFormatStringReestrs;
class TFormatCommands;
class TFormatCommand;
class IRepQueryFactory;

// What format strings read from the report's data: field values and column captions. The
// report model provides it; without one, a field reference names no data object.
class TFormatDataAccess {
 public:
  virtual ~TFormatDataAccess() = default;
  virtual void FieldValue(TFormatCommands& format, TFormatCommand& command) = 0;
  virtual void ColumnCaption(TFormatCommands& format, TFormatCommand& command) = 0;
  // Binds a literal reference once, at run preparation.
  virtual void BindReference(TFormatCommands&, TFormatCommand&) {}
};

class TRepsOutput {
 public:
  explicit TRepsOutput(TRepsRun& run, std::unique_ptr<ITextMetrics> canvas = nullptr);
  ~TRepsOutput();
  TRepsOutput(const TRepsOutput&) = delete;
  TRepsOutput& operator=(const TRepsOutput&) = delete;

  TRepsRun& Run;
  TRepType RepType = rtNone;
  std::unique_ptr<ITextMetrics> Canvas;
  TRepStyles Styles{0};
  TRepStyles TextStyles{0};
  TRepStyles DataStyles{0};
  TRepColors RepColors;
  TTextSizes TextSizes;
  std::unique_ptr<TSheetNames> SheetNames;
  QString DefFontName = QStringLiteral("Times New Roman");
  qint32 DefFontSize = 20;  // half-points
  TMeasUnit InputUnit = muChar;
  TMeasUnit MeasUnit = muChar;
  qint32 CharWidth = 120;  // twips per character of the current part
  bool EscapedText = false;
  bool NoTypedValues = false;
  bool FrameColumnWidths = false;
  qint32 ReportTimeout = 300;
  // Flat ODS.
  QStringList OdsFontNames;
  QString PrintTitleCols;
  QStringList OdsSheetSettings, OdsPageLayouts, OdsHeaderTexts, OdsFooterTexts;
  TPaperListProp Paper;
  // Widths for one-off expansions: the page width and the table width of each page.
  qint32 PageWidth = 10;
  std::vector<qint32> PageTableWidths;

  TFormatDataAccess* DataAccess = nullptr;
  IRepQueryFactory* QueryFactory = nullptr;

  // Created on first use; the run's live compiled format strings.
  TFormatStringReestrs* FormatRegistry() const { return registry_.get(); }
  TFormatStringReestrs& NeedFormatRegistry();
  // Drops the registry (a run reset); strings still alive keep working unregistered.
  void ResetFormatRegistry();

  bool IsMarkupType() const {
    return RepType == rtHTML || RepType == rtRTF || RepType == rtHExcel || RepType == rtFlatODS;
  }
  // Escapes a value for the output type (line breaks allowed).
  void EscapeOutText(QString& text) const;

 private:
  std::unique_ptr<TFormatStringReestrs> registry_;
};
