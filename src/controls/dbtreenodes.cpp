#include "dbtreenodes.h"

#include <algorithm>

namespace {
const char* const kUnusedNodeText = "Неиспользуемый элемент дерева";
}

ORV_DESCRIBE(TCoTreeNode) { c.Implements<ICoObject>(); }
ORV_DESCRIBE(TDBTreeNode) {}
ORV_DESCRIBE(TDBNodeObject) {}
ORV_DESCRIBE(TVarObject) {}
ORV_DESCRIBE(TCustomDBTreeView) {}

// ---- TDBTreeNode ------------------------------------------------------------------------

TDBTreeNode::TDBTreeNode(TTreeNodes* owner) : TCoTreeNode(owner) {
  SetNodeObject(new TDBNodeObject());
}

TDBTreeNode::TDBTreeNode(TTreeNodes* owner, TDBNodeObject* nodeObject, const QString& text)
    : TCoTreeNode(owner) {
  SetText(text);
  SetNodeObject(nodeObject);
}

TDBTreeNode::~TDBTreeNode() {
  if (auto* tv = dynamic_cast<TCustomDBTreeView*>(TreeView())) tv->NodeDestroyed(this);
  if (TDBNodeObject* obj = nodeObject_) {
    nodeObject_ = nullptr;
    auto& links = obj->links_;
    auto it = std::find(links.begin(), links.end(), this);
    // An object that does not list this node is not ours to free (no raising here).
    if (it != links.end()) {
      links.erase(it);
      if (links.empty()) obj->Free();
    }
  }
}

void TDBTreeNode::SetNodeObject(TDBNodeObject* obj) {
  if (obj == nodeObject_) return;
  if (TDBNodeObject* old = nodeObject_) {
    auto& links = old->links_;
    auto it = std::find(links.begin(), links.end(), this);
    if (it == links.end()) throw Exception(QString::fromUtf8(kUnusedNodeText));
    links.erase(it);
    nodeObject_ = nullptr;
    if (links.empty()) old->Free();
  }
  nodeObject_ = obj;
  if (obj != nullptr &&
      std::find(obj->links_.begin(), obj->links_.end(), this) == obj->links_.end())
    obj->links_.push_back(this);
}

void TDBTreeNode::Assign(TPersistent* source) {
  TTreeNode::Assign(source);
  if (Deleting()) return;
  auto* other = dynamic_cast<TDBTreeNode*>(source);
  if (other != nullptr && nodeObject_ != nullptr && other->nodeObject_ != nullptr)
    nodeObject_->Assign(other->nodeObject_);
}

// ---- TDBNodeObject ----------------------------------------------------------------------

TDBNodeObject* TDBNodeObject::CreateCopy(TDBNodeObject* source) {
  auto* copy = new TDBNodeObject();
  copy->Assign(source);
  return copy;
}

TDBNodeObject::~TDBNodeObject() = default;

void TDBNodeObject::BeforeDestruction() {
  if (!links_.empty()) throw Exception(QStringLiteral("TDBNodeObject.Links.Count > 0"));
  TCoPersistent::BeforeDestruction();
}

void TDBNodeObject::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TDBNodeObject*>(source);
  if (other == nullptr) {
    TCoPersistent::Assign(source);
    return;
  }
  enabled_ = other->enabled_;
  childrenLoaded_ = other->childrenLoaded_;
  isRoot_ = other->isRoot_;
  id_ = other->id_;
  textStyle_ = other->textStyle_;
}

// ---- Unit routines ----------------------------------------------------------------------

Variant GetNodeObjectId(const TDBNodeObject* obj) { return obj != nullptr ? obj->Id() : Variant(); }

Variant GetNodeId(const TDBTreeNode* node) {
  return node != nullptr ? GetNodeObjectId(node->NodeObject()) : Variant();
}

Variant GetTreeNodeId(const TTreeNode* node) {
  return GetNodeId(dynamic_cast<const TDBTreeNode*>(node));
}

void ForEachTreeNode(const TTreeNodes* nodes, const std::function<bool(TTreeNode*)>& proc) {
  if (nodes == nullptr) return;
  // An explicit stack of (node list owner, next index): deep trees do not recurse.
  std::vector<std::pair<TTreeNode*, int>> stack;
  const auto& roots = nodes->Roots();
  for (size_t r = 0; r < roots.size(); ++r) {
    if (!proc(roots[r])) return;
    stack.assign(1, {roots[r], 0});
    while (!stack.empty()) {
      auto& [parent, next] = stack.back();
      if (next >= parent->Count()) {
        stack.pop_back();
        continue;
      }
      TTreeNode* child = parent->Item(next++);
      if (!proc(child)) return;
      if (child->Count() > 0) stack.emplace_back(child, 0);
    }
  }
}

void MarkPath(TTreeNode* node, bool value) {
  if (node == nullptr) return;
  ForEachTreeNode(node->Owner(), [](TTreeNode* n) {
    if (auto* d = dynamic_cast<TDBTreeNode*>(n)) d->SetOnPath(false);
    return true;
  });
  for (TTreeNode* n = node; n != nullptr; n = n->Parent()) {
    auto* d = dynamic_cast<TDBTreeNode*>(n);
    if (d == nullptr) break;
    d->SetOnPath(value);
  }
}

void ExpandParents(TTreeNode* node) {
  if (node == nullptr) return;
  std::vector<TTreeNode*> parents;
  for (TTreeNode* p = node->Parent(); p != nullptr; p = p->Parent()) parents.push_back(p);
  for (auto it = parents.rbegin(); it != parents.rend(); ++it) (*it)->Expand(false);
}
