#include "forms_test.h"

#include "core/orvlib_forms.h"
#include "platform/classes/rtlclasses.h"
#include "platform/data/datatypeinfo.h"

#include <QtWidgets/QApplication>

void RegisterTestResources();

int main(int argc, char** argv) {
  QApplication qt(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  DescribeRuntimeClasses();
  RegisterDataClasses();
  orvlib::InitializeForms();
  RegisterFormTestClasses();
  RegisterTestResources();
  TApplication app(nullptr);
  app.ModalTimeoutMs = 2000;
  return RUN_ALL_TESTS();
}
