#include "platform/classes/rtlclasses.h"
#include "platform/ui/forms.h"
#include "platform/ui/uiclasses.h"

#include <QtWidgets/QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  DescribeRuntimeClasses();
  RegisterUIClasses();
  TApplication app(nullptr);
  app.ModalTimeoutMs = 2000;
  return RUN_ALL_TESTS();
}
