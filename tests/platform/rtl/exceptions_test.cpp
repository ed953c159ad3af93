#include "platform/rtl/exceptions.h"
#include "platform/rtl/formatsettings.h"
#include "platform/rtl/tobject.h"

#include <gtest/gtest.h>

TEST(Exceptions, KeepClassAndMessageThroughCloneAndRaise) {
  EConvertError e("\"x\" is an invalid integer");
  std::unique_ptr<Exception> kept = e.Clone();
  kept->AppendMessage(" [trail]");
  try {
    kept->Raise();
    FAIL();
  } catch (const EConvertError& caught) {
    EXPECT_EQ(caught.ClassName(), "EConvertError");
    EXPECT_EQ(caught.Message(), "\"x\" is an invalid integer [trail]");
  }
  EXPECT_THROW(Abort(), EAbort);
}

TEST(FormatSettings, ProgramValues) {
  const TFormatSettings& s = FormatSettings();
  EXPECT_EQ(s.ShortMonthNames[7], "Авл");
  EXPECT_EQ(s.LongDayNames[0], "Воскресенье");
  EXPECT_EQ(s.DecimalSeparator, QChar('.'));
  EXPECT_EQ(s.ThousandSeparator, QChar(' '));
  EXPECT_EQ(s.TwoDigitYearCenturyWindow, 50);
}

TEST(ObjectHandles, StaleAndForgedHandlesResolveToNothing) {
  auto* o = new TObject;
  qint64 h = o->ObjectHandle();
  EXPECT_EQ(h, o->ObjectHandle());
  EXPECT_EQ(TObject::FromHandle(h), o);
  EXPECT_EQ(TObject::FromHandle(h + 1), nullptr);
  EXPECT_EQ(TObject::FromHandle(0), nullptr);
  EXPECT_EQ(TObject::FromHandle(12345), nullptr);
  delete o;
  EXPECT_EQ(TObject::FromHandle(h), nullptr);
}

TEST(Persistent, AssignBetweenUnrelatedClassesRaises) {
  TPersistent a, b;
  try {
    a.Assign(&b);
    FAIL();
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TPersistent to a TPersistent");
  }
  EXPECT_THROW(a.Assign(nullptr), EConvertError);
}
