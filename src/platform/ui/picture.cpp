#include "picture.h"

#include "platform/classes/filer.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"

#include <QtCore/QFile>

ORV_DESCRIBE(TPicture) { c.Prop("OnChange", &TPicture::OnChange); }
ORV_DESCRIBE(TIcon) {}

TPicture::TPicture() : bitmap_(std::make_unique<TBitmap>()) {}
TPicture::~TPicture() = default;

TBitmap* TPicture::Bitmap() {
  kept_.clear();
  return bitmap_.get();
}

void TPicture::Changed() { OnChange(this); }

bool TPicture::LoadFromData(const QByteArray& data) {
  const bool ok = bitmap_->LoadFromData(data);
  kept_ = data;
  Changed();
  return ok;
}

QByteArray TPicture::SaveToData() const {
  if (!kept_.isEmpty()) return kept_;
  return bitmap_->Empty() ? QByteArray() : bitmap_->SaveToData();
}

bool TPicture::LoadFromFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    throw EFOpenError(QStringLiteral("Cannot open file \"%1\"").arg(path));
  return LoadFromData(f.readAll());
}

void TPicture::SaveToFile(const QString& path) const { WriteFileAtomically(path, SaveToData()); }

void TPicture::Clear() {
  bitmap_ = std::make_unique<TBitmap>();
  kept_.clear();
  Changed();
}

void TPicture::Assign(TPersistent* source) {
  if (source == nullptr) {
    Clear();
  } else if (auto* p = dynamic_cast<TPicture*>(source)) {
    bitmap_->Assign(p->bitmap_.get());
    kept_ = p->kept_;
    Changed();
  } else if (auto* b = dynamic_cast<TBitmap*>(source)) {
    bitmap_->Assign(b);
    kept_.clear();
    Changed();
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::DefineProperties(TFiler* filer) {
  filer->DefineBinaryProperty(
      QStringLiteral("Data"), [this](const QByteArray& data) { LoadFromData(data); },
      [this]() { return SaveToData(); }, !SaveToData().isEmpty());
}
