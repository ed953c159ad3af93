#pragma once
// The process-wide stack of progress items: an outer item for a whole job, inner items for
// its phases. Whoever observes the collection shows it; a break request clears the flag
// that long loops test before each pass.
#include "platform/classes/collection.h"

class TProgressItem : public TCollectionItem {
  ORV_CLASS(TProgressItem, TCollectionItem)
  explicit TProgressItem(TCollection* collection) : TCollectionItem(collection) {}

  // Adds one step and answers the item.
  virtual TProgressItem* IncProgress();
  // Restarts the item; the outermost item enables progress.
  virtual void Start(const QString& caption, int max);

  bool ProgressEnabled() const;

  QString Caption;
  int CurValue = 0;
  int MaxValue = 0;
  int Step = 0;
};

namespace orvprgs {

// The collection, made on first need.
TCollection* Progress();
TProgressItem* NewProgress(const QString& caption, int max);
TProgressItem* IncProgress(TProgressItem* item);
// Frees the last item; nothing when there is none.
void FreeProgress();
void BreakProgress();
bool ProgressEnabled();
// Shows a text in passing: an item of maximum 1 added and freed at once.
void ProgressText(const QString& text);

void Initialize();
void Finalize();

}  // namespace orvprgs
