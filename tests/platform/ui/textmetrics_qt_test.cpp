// Metrics from real fonts: only relations are asserted, never pixels, since the fonts differ
// from machine to machine.
#include "platform/ui/textmetrics_qt.h"

#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

namespace {

TEST(QtTextMetrics, MeasuresAt96DpiWithTheFontsGiven) {
  orvui::RegisterQtTextMetrics();
  std::unique_ptr<ITextMetrics> m = NewTextMetrics();
  ASSERT_NE(dynamic_cast<TQtTextMetrics*>(m.get()), nullptr);
  m->Font = {QStringLiteral("Liberation Sans"), 10, 0};
  int w = 0, i = 0, wf = 0, big = 0, bold = 0;
  ASSERT_TRUE(m->CharWidth(QLatin1Char('W'), w));
  ASSERT_TRUE(m->CharWidth(QLatin1Char('i'), i));
  ASSERT_TRUE(m->CharWidthFloat(QLatin1Char('W'), wf));
  EXPECT_GT(w, i);
  EXPECT_GT(i, 0);
  EXPECT_NEAR(w, wf, 1);
  const int height = m->TextHeight(QStringLiteral("A"));
  EXPECT_GE(height, 10);  // a 10 pt line at 96 dpi is about 13 device units
  EXPECT_LE(height, 20);
  m->Font.Size = 20;
  m->CharWidth(QLatin1Char('W'), big);
  EXPECT_GE(big, 2 * w - 2);
  m->Font = {QStringLiteral("Liberation Sans"), 20, 1};
  m->CharWidth(QLatin1Char('W'), bold);
  EXPECT_GE(bold, big);
  RegisterTextMetrics(nullptr);
  EXPECT_EQ(orvui::StartHeadlessTextMetrics(), nullptr) << "the test's application is used";
  EXPECT_NE(dynamic_cast<TQtTextMetrics*>(NewTextMetrics().get()), nullptr);
  RegisterTextMetrics(nullptr);
  EXPECT_NE(dynamic_cast<TFixedTextMetrics*>(NewTextMetrics().get()), nullptr);
}

}  // namespace
