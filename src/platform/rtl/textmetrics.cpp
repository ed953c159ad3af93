#include "platform/rtl/textmetrics.h"

namespace {
TTextMetricsFactory& Factory() {
  static TTextMetricsFactory factory;
  return factory;
}
}  // namespace

bool TFixedTextMetrics::CharWidth(QChar c, int& width) {
  if (!integerQuery_) return false;
  return CharWidthFloat(c, width);
}

bool TFixedTextMetrics::CharWidthFloat(QChar, int& width) {
  width = Font.Size * 6 / 10 + ((Font.Style & 1) ? 1 : 0);
  return true;
}

int TFixedTextMetrics::TextHeight(const QString&) { return (Font.Size * 4 + 1) / 3; }

void RegisterTextMetrics(TTextMetricsFactory factory) { Factory() = std::move(factory); }

std::unique_ptr<ITextMetrics> NewTextMetrics() {
  if (Factory()) return Factory()();
  return std::make_unique<TFixedTextMetrics>();
}
