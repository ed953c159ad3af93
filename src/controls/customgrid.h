#pragma once
// The base of the search grid and of every data-aware grid: the options forms and scripts
// set (translated into the base grid's), a counted layout bracket that rebuilds the vectors
// once when the outermost bracket closes, an update lock that keeps editing and focus
// painting quiet while the grid rebuilds, and the list of selected records as bookmarks.
#include "simplegrid.h"

#include "platform/data/fieldtypes.h"

#include <QtCore/QStringList>

ORV_ENUM(TOrvDBGridOption, dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize,
         dgColLines, dgRowLines, dgTabs, dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete,
         dgCancelOnExit, dgMultiSelect, dgTabOnReturn)
ORV_SET(TOrvDBGridOptions, TOrvDBGridOption)

class TOrvVector : public TGridVector {
  ORV_CLASS(TOrvVector, TGridVector)
  explicit TOrvVector(TCollection* collection) : TGridVector(collection) {}
  virtual TFieldType GetDataType() const { return ftUnknown; }
  virtual bool IsNull() const { return true; }
  virtual void GetValue(Variant& value) const { value = Variant(); }
};

class TOrvCustomGrid;

class TOrvGridVectors : public TGridVectors {
  ORV_CLASS(TOrvGridVectors, TGridVectors)
  TOrvGridVectors(TTextGrid* grid, TClass itemClass) : TGridVectors(grid, itemClass) {}
  TOrvVector* OrvVector(int index) const { return dynamic_cast<TOrvVector*>(Vector(index)); }
};

class TOrvCustomGrid : public TSimpleGrid {
  ORV_CLASS(TOrvCustomGrid, TSimpleGrid)
  explicit TOrvCustomGrid(TComponent* owner);

  static constexpr TOrvDBGridOptions kDefaultOptions{dgEditing,       dgTitles,      dgIndicator,
                                                     dgColumnResize,  dgColLines,    dgRowLines,
                                                     dgConfirmDelete, dgCancelOnExit};

  TOrvDBGridOptions Options() const { return options_; }
  void SetOptions(TOrvDBGridOptions value);
  // The base grid's options as the translation gives them.
  static TGridOptions PlatformOptions(TOrvDBGridOptions& value);
  bool TabOnReturn() const { return tabOnReturn_; }
  void SetTabOnReturn(bool v) { tabOnReturn_ = v; }

  virtual void ClearSelection() = 0;
  virtual void RebuildVectors() = 0;
  virtual void CharTyped(QChar key) { (void)key; }
  virtual void EditKeyPressed() {}

  void BeginLayout() override;
  void EndLayout() override;
  void VectorsChanged() override;
  bool UpdatesAllowed() override { return updateLock_ == 0; }

  void BeginUpdateLock() { ++updateLock_; }
  void EndUpdateLock() {
    if (updateLock_ > 0) --updateLock_;
  }
  int UpdateLockCount() const { return updateLock_; }
  int LayoutCount() const { return layoutCount_; }
  bool TryBeginLayout();
  void EndLayoutQuiet();

  TOrvVector* GetSelectedOrvVector() { return dynamic_cast<TOrvVector*>(GetSelectedVector()); }

 protected:
  TTextVectors* CreateVectors() override;
  QWidget* CreateWidget(QWidget* parentWidget) override;

 private:
  void CloseBracket(bool rebuild);

  TOrvDBGridOptions options_ = kDefaultOptions;
  bool tabOnReturn_ = false;
  int layoutCount_ = 0;
  int updateLock_ = 0;
};

// The selected records of a grid, as bookmarks kept in the order CompareBookmarks gives.
class TOrvBookmarkList : public TObject {
 public:
  explicit TOrvBookmarkList(TOrvCustomGrid* grid) : grid_(grid) {}

  virtual bool BookmarkValid(const QString& bookmark) = 0;
  virtual void EnableControls() {}
  virtual void RefreshPosition() {}
  virtual void DisableControls() {}
  virtual void CheckBrowseMode() {}
  virtual void DeleteRecordAt(const QString& bookmark) = 0;
  virtual int CompareBookmarks(const QString& a, const QString& b) = 0;
  // Raises "No bookmark (data set closed)" while the data is closed.
  virtual QString CurrentBookmark();

  void Clear();
  int Count() const { return int(items_.size()); }
  const QString& Item(int i) const { return items_[i]; }
  bool Find(const QString& bookmark, int& index);
  bool CurrentRowSelected();
  void SetCurrentRowSelected(bool value);
  bool Active() const { return active_; }
  void SetActive(bool value);
  void DeleteSelected();

 private:
  void Changed();

  TOrvCustomGrid* grid_;
  QStringList items_;
  QString cachedBookmark_;
  int cachedIndex_ = -1;
  bool cachedFound_ = false;
  bool active_ = false;
};

[[noreturn]] void RaiseGridError(const QString& message);
