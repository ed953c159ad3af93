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

const QFont& TQtTextMetrics::CurrentFont() {
  if (!cached_ || cachedFor_.Name != Font.Name || cachedFor_.Size != Font.Size ||
      cachedFor_.Style != Font.Style) {
    font_ = QFont(Font.Name);
    font_.setPointSize(Font.Size > 0 ? Font.Size : 1);
    font_.setBold(Font.Style & 1);
    font_.setItalic(Font.Style & 2);
    font_.setUnderline(Font.Style & 8);
    cachedFor_ = Font;
    cached_ = true;
  }
  return font_;
}

bool TQtTextMetrics::CharWidth(QChar c, int& width) {
  width = QFontMetrics(CurrentFont(), &device_).horizontalAdvance(c);
  return width >= 0;
}

bool TQtTextMetrics::CharWidthFloat(QChar c, int& width) {
  width =
      static_cast<int>(std::lround(QFontMetricsF(CurrentFont(), &device_).horizontalAdvance(c)));
  return width >= 0;
}

int TQtTextMetrics::TextHeight(const QString&) {
  return QFontMetrics(CurrentFont(), &device_).height();
}

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
