#include "platform/classes/rtlclasses.h"

#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  DescribeRuntimeClasses();
  return RUN_ALL_TESTS();
}
