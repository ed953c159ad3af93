#include "customgrid.h"

ORV_DESCRIBE(TOrvVector) {}
ORV_DESCRIBE(TOrvGridVectors) {}
ORV_DESCRIBE(TOrvCustomGrid) {}

TOrvCustomGrid::TOrvCustomGrid(TComponent* owner) : TSimpleGrid(owner) {
  TOrvDBGridOptions o = options_;
  TCustomGrid::SetOptions(PlatformOptions(o));
  SetParentColor(false);
}

TTextVectors* TOrvCustomGrid::CreateVectors() {
  return new TOrvGridVectors(this, TOrvVector::StaticClass());
}

TGridOptions TOrvCustomGrid::PlatformOptions(TOrvDBGridOptions& value) {
  TGridOptions o;
  if (value.Contains(dgColLines)) o += TGridOptions{goFixedVertLine, goVertLine};
  if (value.Contains(dgRowLines)) o += TGridOptions{goFixedHorzLine, goHorzLine};
  if (value.Contains(dgColumnResize)) o += TGridOptions{goColSizing, goColMoving};
  if (value.Contains(dgTabs)) o.Include(goTabs);
  if (value.Contains(dgRowSelect)) {
    o.Include(goRowSelect);
    value -= TOrvDBGridOptions{dgEditing, dgAlwaysShowEditor};
  }
  if (value.Contains(dgEditing)) o.Include(goEditing);
  if (value.Contains(dgAlwaysShowEditor)) o.Include(goAlwaysShowEditor);
  return o;
}

void TOrvCustomGrid::SetOptions(TOrvDBGridOptions value) {
  if (value == options_) return;
  const TGridOptions platform = PlatformOptions(value);
  TCustomGrid::SetOptions(platform);
  const TOrvDBGridOptions old = options_;
  if (old.Contains(dgMultiSelect) && !value.Contains(dgMultiSelect)) ClearSelection();
  options_ = value;
  const TOrvDBGridOptions layout{dgEditing,   dgAlwaysShowEditor,   dgTitles,
                                 dgIndicator, dgColLines,           dgRowLines,
                                 dgRowSelect, dgAlwaysShowSelection};
  const TOrvDBGridOptions changed = (old - value) + (value - old);
  if (!(changed * layout).Empty()) VectorsChanged();
}

void TOrvCustomGrid::BeginLayout() {
  BeginUpdateLock();
  if (layoutCount_ == 0) Vectors()->BeginUpdate();
  ++layoutCount_;
}

void TOrvCustomGrid::CloseBracket(bool rebuild) {
  if (layoutCount_ == 0) return;
  auto close = [this] {
    if (layoutCount_ == 1) Vectors()->EndUpdate();
    --layoutCount_;
    EndUpdateLock();
  };
  if (layoutCount_ == 1 && rebuild) {
    try {
      RebuildVectors();
    } catch (...) {
      close();
      throw;
    }
  }
  close();
}

void TOrvCustomGrid::EndLayout() { CloseBracket(true); }
void TOrvCustomGrid::EndLayoutQuiet() { CloseBracket(false); }

bool TOrvCustomGrid::TryBeginLayout() {
  if (layoutCount_ > 0 || updateLock_ > 0) return false;
  BeginLayout();
  return true;
}

void TOrvCustomGrid::VectorsChanged() {
  if (TryBeginLayout()) EndLayout();
}

QWidget* TOrvCustomGrid::CreateWidget(QWidget* parentWidget) {
  BeginUpdateLock();
  QWidget* w = nullptr;
  try {
    w = TSimpleGrid::CreateWidget(parentWidget);
  } catch (...) {
    EndUpdateLock();
    throw;
  }
  EndUpdateLock();
  return w;
}

// ---- Bookmarks -----------------------------------------------------------------------

void RaiseGridError(const QString& message) { throw EFirstInvalidGridOperation(message); }

QString TOrvBookmarkList::CurrentBookmark() {
  if (!active_) RaiseGridError(QStringLiteral("No bookmark (data set closed)"));
  return QString();
}

void TOrvBookmarkList::Changed() {
  cachedBookmark_.clear();
  cachedIndex_ = -1;
  cachedFound_ = false;
}

void TOrvBookmarkList::Clear() {
  if (items_.isEmpty()) return;
  items_.clear();
  Changed();
  if (grid_ != nullptr) grid_->Invalidate();
}

bool TOrvBookmarkList::Find(const QString& bookmark, int& index) {
  if (bookmark == cachedBookmark_ && cachedIndex_ >= 0) {
    index = cachedIndex_;
    return cachedFound_;
  }
  int low = 0, high = int(items_.size()) - 1;
  bool found = false;
  while (low <= high) {
    const int middle = (low + high) / 2;
    const int c = CompareBookmarks(items_[middle], bookmark);
    if (c < 0) {
      low = middle + 1;
    } else {
      high = middle - 1;
      if (c == 0) {
        found = true;
        low = middle;
      }
    }
  }
  index = low;
  cachedBookmark_ = bookmark;
  cachedIndex_ = index;
  cachedFound_ = found;
  return found;
}

bool TOrvBookmarkList::CurrentRowSelected() {
  int index = 0;
  return Find(CurrentBookmark(), index);
}

void TOrvBookmarkList::SetCurrentRowSelected(bool value) {
  const QString bookmark = CurrentBookmark();
  if (bookmark.isEmpty()) return;
  int index = 0;
  if (Find(bookmark, index) == value) return;
  if (value)
    items_.insert(index, bookmark);
  else
    items_.removeAt(index);
  Changed();
  if (grid_ != nullptr) grid_->InvalidateCurrentVector();
}

void TOrvBookmarkList::SetActive(bool value) {
  Clear();
  active_ = value;
}

void TOrvBookmarkList::DeleteSelected() {
  DisableControls();
  try {
    for (int i = int(items_.size()) - 1; i >= 0; --i) {
      DeleteRecordAt(items_[i]);
      items_.removeAt(i);
      Changed();
    }
  } catch (...) {
    EnableControls();
    throw;
  }
  EnableControls();
}
