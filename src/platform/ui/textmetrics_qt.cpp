#include "platform/ui/textmetrics_qt.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>
#include <QtGui/QFontMetricsF>

#include <cmath>

TQtTextMetrics::TQtTextMetrics() : device_(1, 1, QImage::Format_ARGB32) {
  const int dotsPerMeter = qRound(96 / 0.0254);
  device_.setDotsPerMeterX(dotsPerMeter);
  device_.setDotsPerMeterY(dotsPerMeter);
}

TQtTextMetrics::Face& TQtTextMetrics::CurrentFace() {
  if (face_ && cachedFor_.Name == Font.Name && cachedFor_.Size == Font.Size &&
      cachedFor_.Style == Font.Style)
    return *face_;
  std::unique_ptr<Face>& face = faces_[{Font.Name, Font.Size, Font.Style}];
  if (!face) {
    QFont font(Font.Name);
    font.setPointSize(Font.Size > 0 ? Font.Size : 1);
    font.setBold(Font.Style & 1);
    font.setItalic(Font.Style & 2);
    font.setUnderline(Font.Style & 8);
    face = std::make_unique<Face>(font, &device_);
  }
  cachedFor_ = Font;
  face_ = face.get();
  return *face_;
}

bool TQtTextMetrics::CharWidth(QChar c, int& width) {
  Face& f = CurrentFace();
  if (c.unicode() >= f.widths.size()) {
    width = f.metrics.horizontalAdvance(c);
  } else {
    int& known = f.widths[c.unicode()];
    if (known < 0) known = f.metrics.horizontalAdvance(c);
    width = known;
  }
  return width >= 0;
}

bool TQtTextMetrics::CharWidthFloat(QChar c, int& width) {
  Face& f = CurrentFace();
  const auto measure = [&] {
    return static_cast<int>(std::lround(f.metricsF.horizontalAdvance(c)));
  };
  if (c.unicode() >= f.widthsF.size()) {
    width = measure();
  } else {
    int& known = f.widthsF[c.unicode()];
    if (known < 0) known = measure();
    width = known;
  }
  return width >= 0;
}

int TQtTextMetrics::TextHeight(const QString&) { return CurrentFace().metrics.height(); }

namespace orvui {

void RegisterQtTextMetrics() {
  RegisterTextMetrics([] { return std::make_unique<TQtTextMetrics>(); });
}

std::unique_ptr<QGuiApplication> StartHeadlessTextMetrics() {
  RegisterQtTextMetrics();
  if (QCoreApplication::instance()) return nullptr;
  static int argc = 3;
  static char name[] = "orv", option[] = "-platform", platform[] = "offscreen";
  static char* argv[] = {name, option, platform, nullptr};
  return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace orvui
