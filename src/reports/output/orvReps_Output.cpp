#include "reports/output/orvReps_Output.h"

#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"

TRepsOutput::TRepsOutput(TRepsRun& run, std::unique_ptr<ITextMetrics> canvas)
    : Run(run), Canvas(canvas ? std::move(canvas) : NewTextMetrics()), TextSizes(Canvas.get()) {
  TextStyles.IsTextList = true;
  DataStyles.IsTextList = true;
}

TRepsOutput::~TRepsOutput() = default;

TFormatStringReestrs& TRepsOutput::NeedFormatRegistry() {
  if (!registry_) registry_ = std::make_unique<TFormatStringReestrs>();
  return *registry_;
}

void TRepsOutput::ResetFormatRegistry() { registry_.reset(); }

void TRepsOutput::EscapeOutText(QString& text) const {
  bool allowed = false, entities = false;
  QString tag;
  orvReps_CellWriters::GetLineBreakTag(*this, true, allowed, tag, entities);
  if (!allowed) return;
  if (RepType == rtRTF)
    orvReps_CellWriters::RtfEscape(text);
  else if (RepType == rtFlatODS)
    orvReps_CellWriters::OdsEscape(text, tag);
  else
    orvReps_CellWriters::HtmlEscape(text, tag, entities);
}
