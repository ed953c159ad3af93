// Report format strings and the RTF colour scan of report texts. The first byte chooses the
// output type and the compile flags, the rest is the text. A text compiles and runs for a few
// widths, its formulas on the script engine under a step and time limit: a text, or the
// report's own error (ERepsAbort) or EConvertError for a bad width, never anything else.
#include "fuzz.h"

#include "core/orvcls.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/textmetrics.h"
#include "reports/lang/orvReps_Errs.h"
#include "reports/lang/orvReps_Keys.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RtfScan.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvcodex.h"

namespace {

void ScanColours(const QString& text) {
  QString param;
  int pos = 1;
  for (int guard = 0; guard <= text.size() + 1; ++guard) {
    const int before = pos;
    if (orvReps_RtfScan::NextColorParam(param, text, pos, 0) < 0) return;
    if (pos < before || pos > text.size()) orvfuzz::Fail("colour scan out of the text");
    ++pos;
  }
  orvfuzz::Fail("colour scan does not end");
}

}  // namespace

ORV_FUZZ_TARGET(repformat) {
  if (size == 0) return;
  const quint8 flags = data[0];
  const QString text = orvfuzz::Text(data + 1, size - 1);
  ScanColours(text);

  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  {
    TRepsPars pars;
    pars.Defs.SetDef(QStringLiteral("V"), QStringLiteral("ab cd"), dkScript, true);
    TRepsRun run(TRepsRunOptions{true});
    run.Pars = &pars;
    run.OnError = [](const TRepsErr&) {};
    TRepsOutput out(run, std::make_unique<TFixedTextMetrics>());
    static const TRepType types[] = {rtText, rtRTF,    rtHTML,    rtExcel,
                                     rtReps, rtHExcel, rtFlatODS, rtNone};
    out.RepType = types[flags % 8];
    out.EscapedText = (flags & 8) != 0;
    const bool markup = (flags & 16) != 0;
    orvcodex::TRunLimitScope limits(orvcodex::TRunLimits{100000, 2000});
    try {
      auto f = orvReps_FormatString::CompileFormatString(
          text, out, markup, (flags & 32) != 0, (flags & 64) != 0, true, (flags & 128) != 0);
      if (f) {
        f->BindReferences();
        QString r;
        f->Execute(r, 20, 15, 8, false, nullptr, -1);
        f->Execute(r, 1, 0, 0, false, nullptr, -1);
        f->ExecuteUnprepared(r, 3, 1, 1);
      }
      QString r;
      orvReps_FormatString::FormatText(r, text, out, false, 0, 5, -1, markup, false);
    } catch (const ERepsAbort&) {
    } catch (const EConvertError&) {}
  }
  root->Free();
}
