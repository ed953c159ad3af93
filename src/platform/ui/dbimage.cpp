#include "dbimage.h"

#include "dbctrls_p.h"

#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/rtl/scopeexit.h"

#include <QtGui/QPainter>

using namespace dbctrls_detail;

ORV_DESCRIBE(TDBImage) {
  ORV_DESCRIBE_DB_LINK(TDBImage);
  c.Prop("ReadOnly", &TDBImage::ReadOnly, &TDBImage::SetReadOnly).Default(0);
  c.Prop("Stretch", &TDBImage::Stretch, &TDBImage::SetStretch).Default(0);
  c.Prop("Center", &TDBImage::Center, &TDBImage::SetCenter).Default(1);
  c.Prop("Picture", &TDBImage::Picture, &TDBImage::SetPicture).Stored(false);
  c.Method("PictureChanged", &TDBImage::PictureChanged);
}
ORV_DB_CONTROL_LINK_IMPL(TDBImage, TCustomControl)

TDBImage::TDBImage(TComponent* owner)
    : TCustomControl(owner), picture_(std::make_unique<TPicture>()) {
  SetBounds(0, 0, 105, 105);
  SetTabStop(true);
  SetColor(clWindow);
  picture_->OnChange.Bind<&TDBImage::PictureChanged>(this);
  link_.SetControl(this);
  link_.OnDataChange = [this] { DataChange(); };
  link_.OnUpdateData = [this] { UpdateData(); };
}
TDBImage::~TDBImage() {
  picture_->OnChange = TNotifyEvent();
  ClearLink(link_);
}

void TDBImage::Loaded() {
  TCustomControl::Loaded();
  if (link_.Active()) link_.Reset();
}

void TDBImage::SetStretch(bool v) {
  stretch_ = v;
  Invalidate();
}
void TDBImage::SetCenter(bool v) {
  center_ = v;
  Invalidate();
}

void TDBImage::DataChange() {
  loading_ = true;
  ScopeExit done([this] { loading_ = false; });
  auto* blob = dynamic_cast<TBlobField*>(link_.Field());
  if (blob == nullptr || blob->IsNull())
    picture_->Clear();
  else if (!picture_->LoadFromData(blob->AsBytes()))
    picture_->Clear();  // no image: nothing shown, the blob itself untouched
  Invalidate();
}

// A picture given by code or the user is a change of the field, when it may change.
// Starting to edit shows the record again, so the new picture is put back afterwards.
void TDBImage::PictureChanged(TObject*) {
  if (loading_) return;
  if (!link_.Editing()) {
    TPicture wanted;
    wanted.Assign(picture_.get());
    if (!link_.Edit()) {
      DataChange();
      return;
    }
    loading_ = true;
    ScopeExit done([this] { loading_ = false; });
    picture_->Assign(&wanted);
  }
  link_.Modified();
  Invalidate();
}

void TDBImage::UpdateData() {
  auto* blob = dynamic_cast<TBlobField*>(link_.Field());
  if (blob == nullptr) return;
  if (picture_->Empty() && picture_->SaveToData().isEmpty())
    blob->Clear();
  else
    blob->SetAsBytes(picture_->SaveToData());
}

void TDBImage::KeyDown(quint16& key, TShiftState shift) {
  TCustomControl::KeyDown(key, shift);
  if (key == VK_ESCAPE && shift.Ord() == 0 && link_.IsModified()) {
    link_.Reset();
    key = 0;
  }
}

void TDBImage::DoExit() {
  if (WriteOnExit(link_, this)) TCustomControl::DoExit();
}

void TDBImage::Paint() {
  TCanvas& c = *Canvas();
  const TRect r = ClientRect();
  c.Brush()->SetColor(Color());
  c.FillRect(r);
  if (picture_->Empty()) return;
  const int w = picture_->Width(), h = picture_->Height();
  TRect target = Bounds(0, 0, w, h);
  if (stretch_) {
    target = r;
  } else if (center_) {
    target = Bounds((r.Width() - w) / 2, (r.Height() - h) / 2, w, h);
  }
  c.StretchDraw(target, picture_->Graphic());
}
