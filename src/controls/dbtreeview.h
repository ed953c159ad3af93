#pragma once
// The data-aware tree: nodes loaded lazily from three list datasets, the roots (RootSource),
// the children of a node (NodeDataSource) and the path from a root down to one item
// (DataSetSource, the item itself last). It keeps one current item id (SelectedId), selects
// any item by id even in branches never opened, refreshes one item in place and follows the
// current record of a bound dataset (DataSource).
//
// Ids: a node's id is its data object's Id. A row's id is the value of its FieldIds field, or
// a Variant array of the values of several FieldIds fields (a composite id). An id goes into
// the LAST parameter(s) of a dataset, element 0 first; a parameter whose value is already
// equal keeps the dataset open and unread. Only the query datasets (TZAbstractRODataset) have
// parameters to bind; another dataset, or an id with more elements than the dataset has
// parameters, raises and binds nothing.
//
// Failures: errors of the database layer (a missing field included) reach the caller; the
// dataset being read then stays open and a node whose children were being read keeps its
// children-loaded flag. Handlers detached by RefreshItem come back also after an error.
#include "dbtreenodes.h"

#include "platform/data/datasource.h"

#include <memory>

class TDataSet;
class TDBTreeView;
class TDBTreeListView;
class TStrings;
class TObjList;

ORV_EVENT(TDBTreeAfterChange, void(TObject*, const Variant&),
          "procedure(Sender: TObject; const ID: Variant)")

// The followed dataset's link: sends 0x5764 to the tree when the dataset becomes active or
// its data changes.
class TDBTreeDataLink : public TDataLink {
 public:
  explicit TDBTreeDataLink(TDBTreeView* tree) : tree_(tree) {}

 protected:
  void ActiveChanged() override;
  void DataSetChanged() override;

 private:
  TDBTreeView* tree_;
};

// The roots dataset's link (it only holds the source).
class TDBTreeRootLink : public TDataLink {
 public:
  explicit TDBTreeRootLink(TDBTreeView* tree) : tree_(tree) {}
  TDBTreeView* Tree() const { return tree_; }

 private:
  TDBTreeView* tree_;
};

class TDBTreeView : public TCustomDBTreeView {
  ORV_CLASS(TDBTreeView, TCustomDBTreeView)
  explicit TDBTreeView(TComponent* owner);
  ~TDBTreeView() override;

  // The program's message: select the node of the followed dataset's current record.
  static constexpr quint32 CM_SELECTDATASETITEM = 0x5764;
  static const QString& DefaultFieldNames();

  // ---- Datasets
  TDataSource* DataSource() const { return dataLink_->DataSource(); }
  void SetDataSource(TDataSource* v);
  TDataSource* RootSource() const { return rootLink_->DataSource(); }
  void SetRootSource(TDataSource* v);
  TDataSource* NodeDataSource() const { return nodeDataSource_; }
  void SetNodeDataSource(TDataSource* v);
  TDataSource* DataSetSource() const { return dataSetSource_; }
  void SetDataSetSource(TDataSource* v);
  TDataSource* GetDataSource() const { return DataSource(); }
  // The item/path dataset, or nullptr.
  TDataSet* GetItemDataSet() const;

  // ---- Field names
  // FieldName;FieldEnabled;FieldImageIndex;FieldSelectedIndex;FieldStateIndex;FieldCount,
  // then each id field, then each parent-id field. Setting it splits at ";": six names, then
  // ids, the second half of which become the parent ids. A text that leaves no id field
  // raises and changes nothing.
  QString FieldNames() const;
  void SetFieldNames(const QString& v);
  const QString& FieldName() const { return fields_[0]; }
  void SetFieldName(const QString& v) { fields_[0] = v; }
  const QString& FieldEnabled() const { return fields_[1]; }
  void SetFieldEnabled(const QString& v) { fields_[1] = v; }
  const QString& FieldImageIndex() const { return fields_[2]; }
  void SetFieldImageIndex(const QString& v) { fields_[2] = v; }
  const QString& FieldSelectedIndex() const { return fields_[3]; }
  void SetFieldSelectedIndex(const QString& v) { fields_[3] = v; }
  const QString& FieldStateIndex() const { return fields_[4]; }
  void SetFieldStateIndex(const QString& v) { fields_[4] = v; }
  const QString& FieldCount() const { return fields_[5]; }
  void SetFieldCount(const QString& v) { fields_[5] = v; }
  TStrings* FieldIds() const { return fieldIds_.get(); }
  void SetFieldIds(TStrings* v);
  TStrings* FieldParentIds() const { return fieldParentIds_.get(); }
  void SetFieldParentIds(TStrings* v);
  const QString& FieldTextStyle() const { return fieldTextStyle_; }
  void SetFieldTextStyle(const QString& v) { fieldTextStyle_ = v; }
  const QString& FieldTypeID() const { return fieldTypeId_; }
  void SetFieldTypeID(const QString& v) { fieldTypeId_ = v; }
  const QString& DataSetIds() const { return dataSetIds_; }
  void SetDataSetIds(const QString& v) { dataSetIds_ = v; }

  // ---- Behaviour switches
  bool AutoCollapsed() const { return autoCollapsed_; }
  void SetAutoCollapsed(bool v);
  bool AutoMinimized() const { return autoMinimized_; }
  void SetAutoMinimized(bool v);
  bool AutoRootMinimized() const { return autoRootMinimized_; }
  void SetAutoRootMinimized(bool v);
  bool UniqueChilds() const { return uniqueChilds_; }
  void SetUniqueChilds(bool v) { uniqueChilds_ = v; }
  bool RootExpand() const { return rootExpand_; }
  void SetRootExpand(bool v) { rootExpand_ = v; }
  int LevelExpand() const { return levelExpand_; }
  void SetLevelExpand(int v);
  TDBTreeListView* ListView() const { return listView_; }
  void SetListView(TDBTreeListView* v);

  // ---- State
  const Variant& SelectedId() const { return selectedId_; }
  bool InternalChange() const { return internalChange_; }
  TPoint PopupPoint() const { return popupPoint_; }
  TTreeNode* PopupNode() const { return popupNode_; }
  TTreeNode* HighlightNode() const { return highlightNode_; }
  void SetHighlightNode(TTreeNode* v) { highlightNode_ = v; }
  TTreeNode* DropTargetNode() const { return dropTargetNode_; }
  void SetDropTargetNode(TTreeNode* v) { dropTargetNode_ = v; }

  // ---- Operations
  // Makes the item with this id the current node, loading what the way to it needs.
  void SelectById(const Variant& id);
  // Reads one item and its loaded children again.
  void RefreshItem(const Variant& id, bool expand);
  // Appends (to an owning list) a TVarObject with the id of node and of each expanded
  // descendant, descending only into expanded nodes.
  void SaveExpandedIds(TTreeNode* node, TObjList* list);
  // The id of the selected node after moving the selection up past items that are gone.
  Variant ValidateSelected();
  // Whether the item/path dataset finds the item (it stays open); false without one.
  bool ItemExists(const Variant& id);
  // The first node in display order whose id equals id; nullptr when none.
  TTreeNode* FindNodeById(const Variant& id) const;
  // Reads the node's children once (unless forced, only under an expanded or marked parent).
  void LoadChildren(TTreeNode* node, bool force);
  // Fills the list view with the children of the selected node.
  void FillListView();
  // The host's custom-draw handler calls this: the node's font from "Tree"+n / "TreeS"+n.
  void ApplyItemTextStyle(TTreeNode* node);

  // ---- Overrides
  bool CanExpand(TTreeNode* node) override;
  void Collapse(TTreeNode* node) override;
  void Change(TTreeNode* node) override;
  TTreeNode* CreateNode() override;
  void NodeDestroyed(TTreeNode* node) override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  TTVChangedEvent OnNewItem;
  TDBTreeAfterChange OnAfterChange;

 protected:
  friend class TDBTreeDataLink;
  // Empty hooks around the platform's selection-change processing.
  virtual void DoBeforeChange(TTreeNode* node) { (void)node; }
  virtual void DoAfterChange(TTreeNode* node) { (void)node; }
  // The end of a select-by-id: OnAfterChange, then RootExpand.
  virtual void AfterSelect();

 public:
  // The 0x5764 handler: selects the followed dataset's current item.
  void SelectDataSetItem();

 private:
  struct RowFields;
  // Binds the id to the last parameter(s) of the dataset (see the header comment).
  static void BindId(TDataSet* dataSet, const Variant& id);
  Variant ReadId(const RowFields& f) const;
  Variant ReadFollowedId() const;
  RowFields ResolveFields(TDataSet* dataSet) const;
  void ApplyRowFields(TDBTreeNode* node, TTreeNode* parent, const RowFields& f) const;
  TDBTreeNode* AddRowNode(TTreeNode* parent, const RowFields& f, bool isRoot);
  void LoadRoots(TDataSet* roots);
  void RetryWithoutBound(const Variant& id);
  void ApplyAutoCollapse();
  void ApplyAutoRootMinimize();
  void ApplyLevelExpand();
  void ResetNode(TTreeNode* node);
  TDataSet* NodeDataSet() const;
  TDataSet* RootDataSet() const;
  void SetInternalSelected(TTreeNode* node);

  std::unique_ptr<TDBTreeDataLink> dataLink_;
  std::unique_ptr<TDBTreeRootLink> rootLink_;
  std::unique_ptr<TStrings> fieldIds_;
  std::unique_ptr<TStrings> fieldParentIds_;
  Variant selectedId_;
  bool internalChange_ = false;
  TPoint popupPoint_;
  TTreeNode* popupNode_ = nullptr;
  TTreeNode* highlightNode_ = nullptr;
  TTreeNode* dropTargetNode_ = nullptr;

  TDataSource* nodeDataSource_ = nullptr;
  TDataSource* dataSetSource_ = nullptr;
  TDBTreeListView* listView_ = nullptr;
  QString fields_[6];
  QString fieldTextStyle_;
  QString fieldTypeId_;
  QString dataSetIds_;
  bool autoCollapsed_ = true;
  bool autoMinimized_ = false;
  bool autoRootMinimized_ = true;
  bool uniqueChilds_ = false;
  bool rootExpand_ = false;
  int levelExpand_ = 0;
  bool retrying_ = false;
};

// Makes the tree and its list view known to component text and scripts.
void RegisterDBTreeClasses();
