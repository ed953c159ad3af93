#include "dbtreelistview.h"

#include "dbtreeview.h"
#include "textstyles.h"

ORV_DESCRIBE(TDBTreeListView) { c.Prop("OnOpenItem", &TDBTreeListView::OnOpenItem); }

TDBTreeListView::TDBTreeListView(TComponent* owner) : TListView(owner) {}

TDBTreeListView::~TDBTreeListView() {
  // The items own their copies; clearing frees them while the view is whole.
  Items()->Clear();
}

TDBNodeObject* TDBTreeListView::ItemObject(const TListItem* item) {
  return item != nullptr ? dynamic_cast<TDBNodeObject*>(item->Data()) : nullptr;
}

void TDBTreeListView::SetTreeView(TDBTreeView* tree) {
  if (treeView_ != nullptr && treeView_ != tree) treeView_->RemoveFreeNotification(this);
  treeView_ = tree;
  if (tree != nullptr) tree->FreeNotification(this);
}

void TDBTreeListView::OpenSelected() {
  TListItem* item = Selected();
  if (item == nullptr) return;
  const qint64 self = ObjectHandle();
  OnOpenItem(this, item);
  if (!TObject::IsLiveHandle(self) || treeView_ == nullptr) return;
  // The item may be gone after the handler: take its id from the current selection.
  if (TDBNodeObject* obj = ItemObject(Selected())) treeView_->SelectById(obj->Id());
}

void TDBTreeListView::DblClick() { OpenSelected(); }

void TDBTreeListView::DoKeyDown(quint16& key, TShiftState shift) {
  (void)shift;
  if (key == VK_RETURN) {
    key = 0;
    OpenSelected();
  }
}

void TDBTreeListView::ApplyItemTextStyle(TListItem* item, TCustomDrawState state) {
  TDBNodeObject* obj = ItemObject(item);
  if (obj == nullptr || obj->TextStyle() < 1) return;
  const QString name =
      (state.Contains(cdsSelected) ? QStringLiteral("TreeS") : QStringLiteral("Tree")) +
      QString::number(obj->TextStyle());
  if (TTextStyle* style = TextStyles()->FindStyle(name))
    Canvas()->Font()->Assign(style->Format()->Font());
}

void TDBTreeListView::Notification(TComponent* component, TOperation operation) {
  TListView::Notification(component, operation);
  if (operation == opRemove && component == treeView_) treeView_ = nullptr;
}
