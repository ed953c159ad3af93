#pragma once
// Text metrics from the fonts Qt finds (fontconfig on Linux), at a fixed 96 dpi whatever the
// screen, so report widths do not change with the display. Needs a QGuiApplication; headless
// runs start one on the offscreen platform.
#include "platform/rtl/textmetrics.h"

#include <QtGui/QFont>
#include <QtGui/QFontMetrics>
#include <QtGui/QFontMetricsF>
#include <QtGui/QImage>

#include <array>
#include <map>
#include <memory>
#include <tuple>

class TQtTextMetrics : public ITextMetrics {
 public:
  TQtTextMetrics();
  bool CharWidth(QChar c, int& width) override;
  bool CharWidthFloat(QChar c, int& width) override;
  int TextHeight(const QString& text) override;

 private:
  // One font's metrics and the widths asked of it so far: reports measure every cell text
  // character by character, and each QFontMetrics made afresh looks its font engine up again.
  struct Face {
    explicit Face(const QFont& font, QPaintDevice* device)
        : font(font), metrics(font, device), metricsF(font, device) {
      widths.fill(-1);
      widthsF.fill(-1);
    }
    QFont font;
    QFontMetrics metrics;
    QFontMetricsF metricsF;
    std::array<int, 0x500> widths, widthsF;  // Latin and Cyrillic; -1 not asked yet
  };
  Face& CurrentFace();
  QImage device_;  // only its resolution is used
  TMetricsFont cachedFor_;
  Face* face_ = nullptr;
  std::map<std::tuple<QString, int, int>, std::unique_ptr<Face>> faces_;
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
