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

class QGuiApplication;

namespace orvui {
// Makes new report runs measure with TQtTextMetrics.
void RegisterQtTextMetrics();
// For runs without a window: registers the Qt metrics and, when the process has no Qt
// application yet, starts one on the offscreen platform (the caller keeps it alive). Call it
// before any QCoreApplication exists: fonts need a QGuiApplication.
std::unique_ptr<QGuiApplication> StartHeadlessTextMetrics();
}  // namespace orvui
