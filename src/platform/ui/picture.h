#pragma once
// TPicture holds an image of any format Qt reads (BMP, PNG, JPEG, ICO). The data it was
// loaded from is written back as it came while nothing changed the image, so a JPEG stays a
// JPEG and data that does not decode is kept unchanged. TIcon is a picture read from icon
// data.
#include "graphics.h"

class TPicture : public TPersistent {
  ORV_CLASS(TPicture, TPersistent)
  TPicture();
  ~TPicture() override;

  // The image, for drawing or changing it; a change drops the kept data.
  TBitmap* Bitmap();
  TGraphic* Graphic() const { return bitmap_.get(); }
  int Width() const { return bitmap_->Width(); }
  int Height() const { return bitmap_->Height(); }
  bool Empty() const { return bitmap_->Empty(); }
  // True when the data decoded; data that does not is kept, the picture shows nothing.
  bool LoadFromData(const QByteArray& data);
  QByteArray SaveToData() const;
  bool LoadFromFile(const QString& path);
  void SaveToFile(const QString& path) const;
  void Clear();
  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnChange;

 private:
  void Changed();
  std::unique_ptr<TBitmap> bitmap_;
  QByteArray kept_;  // the data as loaded, while the image is unchanged
};

class TIcon : public TBitmap {
  ORV_CLASS(TIcon, TBitmap)
  TIcon() = default;
};
