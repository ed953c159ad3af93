#pragma once
// TDBImage shows a blob field as a picture. A blob that is no image shows nothing and stays
// as it is; a picture given to the control (Picture.Assign, loading a file) starts editing
// and is written to the blob as its data.
#include "dbctrls.h"
#include "picture.h"

class TDBImage : public TCustomControl {
  ORV_CLASS(TDBImage, TCustomControl)
  ORV_DB_CONTROL_LINK
 public:
  explicit TDBImage(TComponent* owner);
  ~TDBImage() override;
  bool ReadOnly() const { return link_.ReadOnly(); }
  void SetReadOnly(bool v) { link_.SetReadOnly(v); }
  TPicture* Picture() const { return picture_.get(); }
  void SetPicture(TPicture* v) { picture_->Assign(v); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool v);
  bool Center() const { return center_; }
  void SetCenter(bool v);
  void Paint() override;
  void KeyDown(quint16& key, TShiftState shift) override;
  void DoExit() override;
  void Loaded() override;
  void PictureChanged(TObject* sender);

 private:
  void DataChange();
  void UpdateData();
  std::unique_ptr<TPicture> picture_;
  bool loading_ = false;
  bool stretch_ = false;
  bool center_ = true;
};
