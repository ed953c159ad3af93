#pragma once
// A list view of the children of a data-aware tree's current node, the way a file browser
// shows a folder. The tree fills it whenever its selection changes (each item owns a copy of
// its child's data object); opening an item (double click, or Enter) selects that item in the
// tree. Opening replaces the platform's double-click and key-down processing, so the list's
// own OnDblClick and OnKeyDown never fire.
#include "dbtreenodes.h"

class TDBTreeView;

ORV_EVENT(TDBTLVOpenItemEvent, void(TObject*, TListItem*),
          "procedure(Sender: TObject; Item: TListItem)")

class TDBTreeListView : public TListView {
  ORV_CLASS(TDBTreeListView, TListView)
  explicit TDBTreeListView(TComponent* owner);
  ~TDBTreeListView() override;

  TDBTreeView* TreeView() const { return treeView_; }
  // Set by the tree's ListView property; removal-notified.
  void SetTreeView(TDBTreeView* tree);
  // Fires OnOpenItem for the selected item, then selects its id in the tree.
  void OpenSelected();
  // The host's custom-draw handler calls this: the item's font from "Tree"+n / "TreeS"+n.
  void ApplyItemTextStyle(TListItem* item, TCustomDrawState state);
  // The data object of an item, or nullptr.
  static TDBNodeObject* ItemObject(const TListItem* item);

  void DblClick() override;
  void Notification(TComponent* component, TOperation operation) override;

  TDBTLVOpenItemEvent OnOpenItem;

 protected:
  void DoKeyDown(quint16& key, TShiftState shift) override;

 private:
  TDBTreeView* treeView_ = nullptr;
};
