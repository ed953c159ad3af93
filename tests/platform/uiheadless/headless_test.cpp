// A report run without a window: it starts its own offscreen application to measure text.
#include "platform/ui/textmetrics_qt.h"

#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

namespace {

TEST(HeadlessTextMetrics, StartsAnOffscreenApplication) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  std::unique_ptr<QGuiApplication> app = orvui::StartHeadlessTextMetrics();
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
  std::unique_ptr<ITextMetrics> m = NewTextMetrics();
  m->Font = {QStringLiteral("Liberation Serif"), 12, 0};
  int w = 0;
  ASSERT_TRUE(m->CharWidth(QLatin1Char('M'), w));
  EXPECT_GT(w, 0);
  EXPECT_GT(m->TextHeight(QStringLiteral("A")), 0);
  RegisterTextMetrics(nullptr);
}

}  // namespace
