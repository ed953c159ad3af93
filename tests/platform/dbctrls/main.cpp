#include "dbctrls_test.h"

#include "platform/classes/rtlclasses.h"
#include "platform/data/datatypeinfo.h"
#include "platform/ui/uiclasses.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  DescribeRuntimeClasses();
  RegisterDataClasses();
  RegisterUIClasses();
  TApplication app(nullptr);
  app.ModalTimeoutMs = 2000;
  return RUN_ALL_TESTS();
}
