#pragma once
// Text metrics from the fonts Qt finds (fontconfig on Linux), at a fixed 96 dpi whatever the
// screen, so report widths do not change with the display. Needs a QGuiApplication; headless
// runs start one on the offscreen platform.
#include "platform/rtl/textmetrics.h"

#include <QtGui/QFont>
#include <QtGui/QImage>

#include <memory>

class TQtTextMetrics : public ITextMetrics {
 public:
  TQtTextMetrics();
  bool CharWidth(QChar c, int& width) override;
  bool CharWidthFloat(QChar c, int& width) override;
  int TextHeight(const QString& text) override;

 private:
  const QFont& CurrentFont();
  QImage device_;  // only its resolution is used
  TMetricsFont cachedFor_;
  QFont font_;
  bool cached_ = false;
};

namespace orvui {
// Makes new report runs measure with TQtTextMetrics.
void RegisterQtTextMetrics();
}  // namespace orvui
