#include "db/orvprgs.h"

#include "platform/classes/typinfo.h"

namespace orvprgs {

namespace {
TCollection* collection = nullptr;
bool enabled = false;
}  // namespace

TCollection* Progress() {
  if (collection == nullptr) collection = new TCollection(TProgressItem::StaticClass());
  return collection;
}

TProgressItem* NewProgress(const QString& caption, int max) {
  auto* item = static_cast<TProgressItem*>(Progress()->Add());
  item->Start(caption, max);
  item->Step = 1;
  return item;
}

TProgressItem* IncProgress(TProgressItem* item) { return item->IncProgress(); }

void FreeProgress() {
  TCollection* list = Progress();
  if (list->Count() > 0) list->Delete(list->Count() - 1);
}

void BreakProgress() { enabled = false; }
bool ProgressEnabled() { return enabled; }

void ProgressText(const QString& text) {
  TProgressItem* item = NewProgress(text, 1);
  item->Free();
}

void Initialize() { Progress(); }

void Finalize() {
  if (collection != nullptr) collection->Free();
  collection = nullptr;
}

}  // namespace orvprgs

ORV_DESCRIBE(TProgressItem) {
  c.Prop("Caption", &TProgressItem::Caption);
  c.Prop("CurValue", &TProgressItem::CurValue);
  c.Prop("MaxValue", &TProgressItem::MaxValue);
  c.Prop("ProgressEnabled", &TProgressItem::ProgressEnabled);
  c.Prop("Step", &TProgressItem::Step);
}

TProgressItem* TProgressItem::IncProgress() {
  ++CurValue;
  return this;
}

void TProgressItem::Start(const QString& caption, int max) {
  CurValue = 0;
  MaxValue = max;
  Caption = caption;
  if (Index() == 0) orvprgs::enabled = true;
}

bool TProgressItem::ProgressEnabled() const { return orvprgs::ProgressEnabled(); }
