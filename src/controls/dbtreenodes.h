#pragma once
// The nodes of the data-aware tree and the small object each node keeps for its item: the
// id (a scalar, or a Variant array for a composite id) and the flags lazy loading needs.
//
// Ownership: a TDBNodeObject is owned jointly by the nodes listed in its Links. A node takes
// its share in SetNodeObject and gives it up there or when it is destroyed; the object is
// freed with the last share. Copies made for other holders (the tree list view's items) are
// independent objects (CreateCopy) with no links.
//
// Errors: a node whose object does not list it ("Неиспользуемый элемент дерева") and an
// object freed while nodes still refer to it ("TDBNodeObject.Links.Count > 0") are broken
// ownership. They are raised by SetNodeObject and by Free; a destructor never raises, so a
// node being destroyed drops a foreign object without freeing it.
#include "core/orvco.h"
#include "platform/ui/comctrls.h"

#include <vector>

class TDBNodeObject;
class TCustomDBTreeView;

// A tree node that takes part in removal notices through a proxy component, like the
// program's other TCo classes.
class TCoTreeNode : public TTreeNode, public ICoObject {
  ORV_CLASS(TCoTreeNode, TTreeNode)
  ORV_CO_PROXIED
  explicit TCoTreeNode(TTreeNodes* owner) : TTreeNode(owner) {}
};

class TDBTreeNode : public TCoTreeNode {
  ORV_CLASS(TDBTreeNode, TCoTreeNode)
  // With a fresh data object.
  explicit TDBTreeNode(TTreeNodes* owner);
  // With the given object (may be nullptr) and caption; the node is not placed yet
  // (TTreeNodes::AddNode places it).
  TDBTreeNode(TTreeNodes* owner, TDBNodeObject* nodeObject, const QString& text);
  ~TDBTreeNode() override;

  TDBNodeObject* NodeObject() const { return nodeObject_; }
  void SetNodeObject(TDBNodeObject* obj);
  bool OnPath() const { return onPath_; }
  void SetOnPath(bool v) { onPath_ = v; }
  // The platform assignment, then the data object's values from a TDBTreeNode source.
  void Assign(TPersistent* source) override;

 private:
  TDBNodeObject* nodeObject_ = nullptr;
  bool onPath_ = false;
};

class TDBNodeObject : public TCoPersistent {
  ORV_CLASS(TDBNodeObject, TCoPersistent)
  TDBNodeObject() = default;
  explicit TDBNodeObject(const Variant& id) : id_(id) {}
  // A new object with the source's values.
  static TDBNodeObject* CreateCopy(TDBNodeObject* source);
  ~TDBNodeObject() override;
  // Raises "TDBNodeObject.Links.Count > 0" while nodes still refer to the object.
  void BeforeDestruction() override;

  const Variant& Id() const { return id_; }
  void SetId(const Variant& v) { id_ = v; }
  // The nodes that share the object (empty until the first link).
  const std::vector<TDBTreeNode*>& Links() const { return links_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { enabled_ = v; }
  bool ChildrenLoaded() const { return childrenLoaded_; }
  void SetChildrenLoaded(bool v) { childrenLoaded_ = v; }
  bool IsRoot() const { return isRoot_; }
  void SetIsRoot(bool v) { isRoot_ = v; }
  // Number n of the text styles "Tree" + n and "TreeS" + n; 0 = none.
  int TextStyle() const { return textStyle_; }
  void SetTextStyle(int v) { textStyle_ = v; }
  int TypeId() const { return typeId_; }
  void SetTypeId(int v) { typeId_ = v; }
  // Enabled, ChildrenLoaded, IsRoot, Id and TextStyle of another node object (not TypeId,
  // not Links); other sources raise the platform's assignment error.
  void Assign(TPersistent* source) override;

 private:
  friend class TDBTreeNode;
  Variant id_;
  std::vector<TDBTreeNode*> links_;
  bool enabled_ = false;
  bool childrenLoaded_ = false;
  bool isRoot_ = false;
  int textStyle_ = 0;
  int typeId_ = 0;
};

// One Variant for owning object lists of ids.
class TVarObject : public TObject {
  ORV_CLASS(TVarObject, TObject)
  TVarObject() = default;
  explicit TVarObject(const Variant& value) : Value(value) {}
  Variant Value;
};

// The platform tree view with a hook that hears of every TDBTreeNode being destroyed while
// the view still stands.
class TCustomDBTreeView : public TTreeView {
  ORV_CLASS(TCustomDBTreeView, TTreeView)
  explicit TCustomDBTreeView(TComponent* owner) : TTreeView(owner) {}
  virtual void NodeDestroyed(TTreeNode* node) { (void)node; }
};

// The id of a data object; unassigned for nullptr.
Variant GetNodeObjectId(const TDBNodeObject* obj);
// The id of a TDBTreeNode through its data object; unassigned for nullptr.
Variant GetNodeId(const TDBTreeNode* node);
// The same for any tree node: unassigned unless it is a TDBTreeNode with a data object.
Variant GetTreeNodeId(const TTreeNode* node);
// Clears OnPath on every node of the node's tree, then sets it to value on the node and on
// its ancestors while they are TDBTreeNodes.
void MarkPath(TTreeNode* node, bool value);
// Expands every ancestor of the node, the root first.
void ExpandParents(TTreeNode* node);
// Calls proc for every node of the collection in display order (children after their
// parent) until it answers false. Walks the children lists, so it stays linear.
void ForEachTreeNode(const TTreeNodes* nodes, const std::function<bool(TTreeNode*)>& proc);
