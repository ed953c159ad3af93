// A picture from a blob field, a blob that is no picture, and a picture written back.
#include "dbctrls_test.h"

#include "platform/ui/dbimage.h"

#include <QtCore/QBuffer>
#include <QtGui/QImage>

namespace {

QByteArray Png(int w, int h) {
  QImage img(w, h, QImage::Format_ARGB32);
  img.fill(Qt::red);
  QByteArray bytes;
  QBuffer buf(&bytes);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  return bytes;
}

TEST_F(DBFormTest, DBImageShowsTheBlobAndKeepsDataThatIsNoPicture) {
  auto* photos = new TMemDataSet(form_);
  photos->FieldDefs().Add("ID", ftInteger);
  photos->FieldDefs().Add("PHOTO", ftBlob);
  photos->CreateDataSet();
  auto* blob = static_cast<TBlobField*>(photos->FieldByName("PHOTO"));
  for (const QByteArray& data : {Png(8, 6), QByteArray("not an image")}) {
    photos->Append();
    blob->SetAsBytes(data);
    photos->Post();
  }
  photos->First();
  source_->SetDataSet(photos);
  auto* img = Make<TDBImage>("Photo");
  img->SetDataSource(source_);
  img->SetDataField("PHOTO");
  EXPECT_EQ(img->Picture()->Width(), 8);
  photos->Next();
  EXPECT_TRUE(img->Picture()->Empty());
  photos->Edit();
  img->DataLink()->UpdateRecord();  // nothing changed: nothing written
  photos->Post();
  EXPECT_EQ(blob->AsBytes(), QByteArray("not an image"));

  TPicture other;
  other.LoadFromData(Png(3, 2));
  img->SetPicture(&other);
  EXPECT_EQ(photos->State(), dsEdit);
  photos->Post();
  TPicture back;
  EXPECT_TRUE(back.LoadFromData(blob->AsBytes()));
  EXPECT_EQ(back.Width(), 3);
  img->SetReadOnly(true);
  img->SetPicture(nullptr);
  EXPECT_EQ(photos->State(), dsBrowse);
  EXPECT_EQ(img->Picture()->Width(), 3);
}

}  // namespace
