// A stored card of data-aware controls read from component text, filled and rendered.
#include "dbctrls_test.h"

#include "platform/classes/comptext.h"
#include "platform/classes/reader.h"
#include "platform/rtl/datetime.h"
#include "platform/ui/dbchoice.h"
#include "platform/ui/dbctrls.h"
#include "platform/ui/dbnavigator.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QImage>

namespace {

TEST(DBCard, AStoredCardShowsItsRecordAndRenders) {
  THeadlessDialogs headless;
  TDialogServiceScope scope(&headless);
  QFile file(qEnvironmentVariable("ORV_TEST_DATA") + "/card.dfm");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  auto* form = static_cast<TCustomForm*>(CreateNewOfClass(TForm::StaticClass(), nullptr));
  TReader reader;
  reader.ReadRootComponent(ParseComponentText(QString::fromUtf8(file.readAll())), form);
  auto* table = static_cast<TMemDataSet*>(form->FindComponent("Table"));
  ASSERT_TRUE(table->Active());
  table->AppendRecord({17, "Договор поставки № 5", 125000.5,
                       Variant::FromDate(EncodeDate(2026, 12, 11)), true, "OUT",
                       "Согласовать с юристом.\r\nСрок — до конца года."});
  EXPECT_EQ(static_cast<TDBEdit*>(form->FindComponent("Title"))->Text(), "Договор поставки № 5");
  EXPECT_EQ(static_cast<TDBRadioGroup*>(form->FindComponent("Kind"))->ItemIndex(), 1);
  EXPECT_EQ(static_cast<TDBCheckBox*>(form->FindComponent("Done"))->State(), cbChecked);
  EXPECT_EQ(static_cast<TDBText*>(form->FindComponent("Number"))->Caption(), "17");
  auto* nav = static_cast<TDBNavigator*>(form->FindComponent("Navigator"));
  EXPECT_TRUE(nav->Buttons(nbDelete)->Enabled());
  EXPECT_FALSE(nav->Buttons(nbPost)->Enabled());

  QTemporaryDir dir;
  const QString out = qEnvironmentVariableIsEmpty("ORV_RENDER_OUT")
                          ? dir.filePath("card.png")
                          : qEnvironmentVariable("ORV_RENDER_OUT");
  form->RenderToPng(out);
  QImage image(out);
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), form->ClientWidth());
  form->Free();
}

}  // namespace
