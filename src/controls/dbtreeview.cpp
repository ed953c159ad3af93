#include "dbtreeview.h"

#include "dbtreelistview.h"
#include "textstyles.h"

#include "core/orvclasses.h"
#include "core/orvcls.h"
#include "core/orvsys.h"
#include "platform/classes/classregistry.h"
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/zquery.h"
#include "platform/rtl/scopeexit.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/messages.h"

#include <QtCore/QHash>

// The fields of one dataset that node rows are read from, looked up once per read.
struct TDBTreeView::RowFields {
  TField* name = nullptr;
  TField* enabled = nullptr;
  TField* imageIndex = nullptr;
  TField* selectedIndex = nullptr;
  TField* stateIndex = nullptr;
  TField* count = nullptr;
  TField* textStyle = nullptr;
  TField* typeId = nullptr;
  std::vector<TField*> ids;
};

namespace {

bool IsIntegerType(TVarType t) {
  switch (t) {
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varQWord: return true;
    default: return false;
  }
}

bool IsFloatType(TVarType t) { return t == varSingle || t == varDouble || t == varCurrency; }

// Integer reads: an integer value, or a floating one on an Oracle connection; else the default.
int ReadInt(const TField* field, int def) {
  if (field == nullptr) return def;
  const Variant v = field->Value();
  if (IsIntegerType(v.VType()) || (IsFloatType(v.VType()) && orvcls::IsOracle())) return v.ToInt();
  return def;
}

// Boolean reads: a Boolean, or an integer or floating value (non-zero is True); else the default.
bool ReadBool(const TField* field, bool def) {
  if (field == nullptr) return def;
  const Variant v = field->Value();
  if (v.VType() == varBoolean) return v.ToBool();
  if (IsIntegerType(v.VType())) return v.RawInt64() != 0;
  if (IsFloatType(v.VType())) return v.ToDouble() != 0;
  return def;
}

bool IsEmptyId(const Variant& id) {
  if (!id.IsArray()) return id.IsEmpty() || id.IsNull();
  const int n = orvsys::VarArrayLength(id);
  for (int i = 0; i < n; ++i) {
    const Variant e = orvsys::VarArrayItem(id, i);
    if (!e.IsEmpty() && !e.IsNull()) return false;
  }
  return true;
}

// The children of one node by id, consistent with VarEquals: integer ids by value, others by
// their texts (elements of different types compare by text, and an integer's text is its
// decimal digits). The first child of an id wins.
class TChildIndex {
 public:
  void Reserve(qsizetype n) { ints_.reserve(n); }
  void Add(const Variant& id, TTreeNode* node) {
    qint64 v = 0;
    if (AsInteger(id, v)) {
      if (!ints_.contains(v)) ints_.insert(v, node);
    } else {
      const QString key = Text(id);
      if (!texts_.contains(key)) texts_.insert(key, node);
    }
  }
  TTreeNode* Find(const Variant& id) const {
    qint64 v = 0;
    if (AsInteger(id, v)) {
      if (TTreeNode* n = ints_.value(v)) return n;
      return texts_.isEmpty() ? nullptr : texts_.value(QString::number(v));
    }
    const QString key = Text(id);
    if (TTreeNode* n = texts_.value(key)) return n;
    bool ok = false;
    const qint64 parsed = key.toLongLong(&ok);
    return ok && QString::number(parsed) == key ? ints_.value(parsed) : nullptr;
  }

 private:
  static bool AsInteger(const Variant& id, qint64& v) {
    if (!IsIntegerType(id.VType()) || id.VType() == varQWord) return false;
    v = id.RawInt64();
    return true;
  }
  static QString Text(const Variant& id) {
    const int n = orvsys::VarArrayLength(id);
    QString key;
    for (int i = 0; i < n; ++i) {
      if (i > 0) key += QChar(0x1F);
      key += VarToStr(orvsys::VarArrayItem(id, i));
    }
    return key;
  }
  QHash<qint64, TTreeNode*> ints_;
  QHash<QString, TTreeNode*> texts_;
};

bool IsBlank(const Variant& v) { return v.IsEmpty() || v.IsNull(); }

// Parameter values: a blank value never equals a set one, whatever their texts.
bool SameParamValue(const Variant& a, const Variant& b) {
  if (IsBlank(a) || IsBlank(b)) return IsBlank(a) && IsBlank(b);
  return orvsys::VarEquals(a, b);
}

TDBNodeObject* ObjectOf(TTreeNode* node) {
  auto* d = dynamic_cast<TDBTreeNode*>(node);
  return d != nullptr ? d->NodeObject() : nullptr;
}

QString DataSetName(const TDataSet* ds) {
  return ds->Name().isEmpty() ? ds->ClassName() : ds->Name();
}

// Messages by number reach the tree through the class table.
const bool kMessagesRegistered = [] {
  RegisterMessageHandler(
      TDBTreeView::StaticClass(), TDBTreeView::CM_SELECTDATASETITEM,
      [](TObject* self, TMessage&) { static_cast<TDBTreeView*>(self)->SelectDataSetItem(); });
  return true;
}();

}  // namespace

// ---- Links ------------------------------------------------------------------------------

void TDBTreeDataLink::ActiveChanged() {
  if (Active()) SendMessageTo(tree_, TDBTreeView::CM_SELECTDATASETITEM);
}

void TDBTreeDataLink::DataSetChanged() { SendMessageTo(tree_, TDBTreeView::CM_SELECTDATASETITEM); }

// ---- Reflection -------------------------------------------------------------------------

ORV_DESCRIBE(TDBTreeView) {
  c.Prop("DataSource", &TDBTreeView::DataSource, &TDBTreeView::SetDataSource);
  c.Prop("RootSource", &TDBTreeView::RootSource, &TDBTreeView::SetRootSource);
  c.Prop("NodeDataSource", &TDBTreeView::NodeDataSource, &TDBTreeView::SetNodeDataSource);
  c.Prop("DataSetSource", &TDBTreeView::DataSetSource, &TDBTreeView::SetDataSetSource);
  c.Prop("FieldNames", &TDBTreeView::FieldNames, &TDBTreeView::SetFieldNames)
      .StoredWhen([](const TObject* o) {
        return static_cast<const TDBTreeView*>(o)->FieldNames() != DefaultFieldNames();
      });
  // The single names travel inside FieldNames; the two outside it are stored when set.
  c.Prop("FieldName", &TDBTreeView::FieldName, &TDBTreeView::SetFieldName).Stored(false);
  c.Prop("FieldEnabled", &TDBTreeView::FieldEnabled, &TDBTreeView::SetFieldEnabled).Stored(false);
  c.Prop("FieldImageIndex", &TDBTreeView::FieldImageIndex, &TDBTreeView::SetFieldImageIndex)
      .Stored(false);
  c.Prop("FieldSelectedIndex", &TDBTreeView::FieldSelectedIndex,
         &TDBTreeView::SetFieldSelectedIndex)
      .Stored(false);
  c.Prop("FieldStateIndex", &TDBTreeView::FieldStateIndex, &TDBTreeView::SetFieldStateIndex)
      .Stored(false);
  c.Prop("FieldCount", &TDBTreeView::FieldCount, &TDBTreeView::SetFieldCount).Stored(false);
  c.Prop("FieldIds", &TDBTreeView::FieldIds, &TDBTreeView::SetFieldIds).Stored(false);
  c.Prop("FieldParentIds", &TDBTreeView::FieldParentIds, &TDBTreeView::SetFieldParentIds)
      .Stored(false);
  c.Prop("FieldTextStyle", &TDBTreeView::FieldTextStyle, &TDBTreeView::SetFieldTextStyle);
  c.Prop("FieldTypeID", &TDBTreeView::FieldTypeID, &TDBTreeView::SetFieldTypeID);
  c.Prop("DataSetIds", &TDBTreeView::DataSetIds, &TDBTreeView::SetDataSetIds);
  c.Prop("AutoCollapsed", &TDBTreeView::AutoCollapsed, &TDBTreeView::SetAutoCollapsed).Default(1);
  c.Prop("AutoMinimized", &TDBTreeView::AutoMinimized, &TDBTreeView::SetAutoMinimized).Default(0);
  c.Prop("AutoRootMinimized", &TDBTreeView::AutoRootMinimized, &TDBTreeView::SetAutoRootMinimized)
      .Default(1);
  c.Prop("UniqueChilds", &TDBTreeView::UniqueChilds, &TDBTreeView::SetUniqueChilds).Default(0);
  c.Prop("RootExpand", &TDBTreeView::RootExpand, &TDBTreeView::SetRootExpand).Default(0);
  c.Prop("LevelExpand", &TDBTreeView::LevelExpand, &TDBTreeView::SetLevelExpand).Default(0);
  c.Prop("ListView", &TDBTreeView::ListView, &TDBTreeView::SetListView);
  c.Prop("ReadOnly", &TDBTreeView::ReadOnly, &TDBTreeView::SetReadOnly).Default(1);
  c.Prop("OnNewItem", &TDBTreeView::OnNewItem);
  c.Prop("OnAfterChange", &TDBTreeView::OnAfterChange);
}

void RegisterDBTreeClasses() {
  RegisterClasses({TDBTreeView::StaticClass(), TDBTreeListView::StaticClass()});
  orvcls::RegisterClasses({TDBTreeView::StaticClass(), TDBTreeListView::StaticClass()});
}

// ---- Construction -----------------------------------------------------------------------

const QString& TDBTreeView::DefaultFieldNames() {
  static const QString names =
      QStringLiteral("NAME;ENABLED;IMAGEINDEX;SELECTEDINDEX;STATEINDEX;COUNT;ID;PARENTID");
  return names;
}

TDBTreeView::TDBTreeView(TComponent* owner)
    : TCustomDBTreeView(owner),
      dataLink_(std::make_unique<TDBTreeDataLink>(this)),
      rootLink_(std::make_unique<TDBTreeRootLink>(this)),
      fieldIds_(std::make_unique<TStringList>()),
      fieldParentIds_(std::make_unique<TStringList>()) {
  SetFieldNames(DefaultFieldNames());
  SetReadOnly(true);
}

TDBTreeView::~TDBTreeView() {
  // The nodes go while the whole view still hears of them.
  Items()->BeginUpdate();
  Items()->Clear();
  dataLink_->SetDataSource(nullptr);
  rootLink_->SetDataSource(nullptr);
}

TTreeNode* TDBTreeView::CreateNode() { return new TDBTreeNode(Items()); }

void TDBTreeView::NodeDestroyed(TTreeNode* node) {
  if (dropTargetNode_ == node) dropTargetNode_ = nullptr;
  if (highlightNode_ == node) highlightNode_ = nullptr;
  if (popupNode_ == node) popupNode_ = nullptr;
}

// ---- Datasets ---------------------------------------------------------------------------

void TDBTreeView::SetDataSource(TDataSource* v) {
  if (v == DataSource()) return;
  dataLink_->SetDataSource(v);
  if (v != nullptr) v->FreeNotification(this);
}

void TDBTreeView::SetRootSource(TDataSource* v) {
  if (v == RootSource()) return;
  rootLink_->SetDataSource(v);
  if (v != nullptr) v->FreeNotification(this);
}

void TDBTreeView::SetNodeDataSource(TDataSource* v) {
  nodeDataSource_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

void TDBTreeView::SetDataSetSource(TDataSource* v) {
  dataSetSource_ = v;
  if (v != nullptr) v->FreeNotification(this);
}

TDataSet* TDBTreeView::GetItemDataSet() const {
  return dataSetSource_ != nullptr ? dataSetSource_->DataSet() : nullptr;
}
TDataSet* TDBTreeView::NodeDataSet() const {
  return nodeDataSource_ != nullptr ? nodeDataSource_->DataSet() : nullptr;
}
TDataSet* TDBTreeView::RootDataSet() const { return rootLink_->DataSet(); }

void TDBTreeView::Notification(TComponent* component, TOperation operation) {
  TCustomDBTreeView::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == listView_) listView_ = nullptr;
  if (component == nodeDataSource_) nodeDataSource_ = nullptr;
  if (component == dataSetSource_) dataSetSource_ = nullptr;
  if (component == DataSource()) dataLink_->SetDataSource(nullptr);
  if (component == RootSource()) rootLink_->SetDataSource(nullptr);
}

void TDBTreeView::SetListView(TDBTreeListView* v) {
  if (v == listView_) return;
  listView_ = v;
  if (v == nullptr) return;
  v->SetTreeView(this);
  v->FreeNotification(this);
  FillListView();
}

// ---- Field names ------------------------------------------------------------------------

QString TDBTreeView::FieldNames() const {
  QStringList parts(std::begin(fields_), std::end(fields_));
  for (int i = 0; i < fieldIds_->Count(); ++i) parts << fieldIds_->Strings(i);
  for (int i = 0; i < fieldParentIds_->Count(); ++i) parts << fieldParentIds_->Strings(i);
  return parts.join(QLatin1Char(';'));
}

void TDBTreeView::SetFieldNames(const QString& v) {
  QStringList parts = v.split(QLatin1Char(';'));
  if (!parts.isEmpty() && parts.last().isEmpty()) parts.removeLast();  // a closing ";"
  QStringList ids = parts.mid(6);
  const qsizetype half = ids.size() / 2;
  const QStringList parents = ids.mid(half);
  ids = ids.mid(0, half);
  if (ids.isEmpty())
    throw Exception(
        QString::fromUtf8("Неверный список полей дерева \"%1\": нет поля ключа").arg(v));
  for (int i = 0; i < 6; ++i) fields_[i] = i < parts.size() ? parts[i] : QString();
  fieldIds_->Clear();
  for (const QString& s : ids) fieldIds_->Add(s);
  fieldParentIds_->Clear();
  for (const QString& s : parents) fieldParentIds_->Add(s);
}

void TDBTreeView::SetFieldIds(TStrings* v) { fieldIds_->Assign(v); }
void TDBTreeView::SetFieldParentIds(TStrings* v) { fieldParentIds_->Assign(v); }

// ---- Reading rows -----------------------------------------------------------------------

TDBTreeView::RowFields TDBTreeView::ResolveFields(TDataSet* ds) const {
  auto field = [ds](const QString& name) -> TField* {
    return name.isEmpty() ? nullptr : ds->FieldByName(name);
  };
  RowFields f;
  f.name = field(fields_[0]);
  f.enabled = field(fields_[1]);
  f.imageIndex = field(fields_[2]);
  f.selectedIndex = field(fields_[3]);
  f.stateIndex = field(fields_[4]);
  f.count = field(fields_[5]);
  f.textStyle = field(fieldTextStyle_);
  f.typeId = field(fieldTypeId_);
  for (int i = 0; i < fieldIds_->Count(); ++i) f.ids.push_back(field(fieldIds_->Strings(i)));
  return f;
}

Variant TDBTreeView::ReadId(const RowFields& f) const {
  auto value = [](const TField* field) { return field != nullptr ? field->Value() : Variant(); };
  if (f.ids.size() == 1) return value(f.ids[0]);
  VariantArgs values;
  for (const TField* field : f.ids) values.push_back(value(field));
  return VarArrayOf(values);
}

Variant TDBTreeView::ReadFollowedId() const {
  TDataSet* ds = dataLink_->DataSet();
  RowFields f;  // the followed dataset has the id fields only
  for (int i = 0; i < fieldIds_->Count(); ++i)
    f.ids.push_back(ds->FieldByName(fieldIds_->Strings(i)));
  const Variant id = ReadId(f);
  if (dataSetIds_.isEmpty()) return id;
  const Variant own = ds->FieldByName(dataSetIds_)->Value();
  TTreeNode* first = Items()->GetFirstNode();
  if (first != nullptr && orvsys::VarEquals(own, GetTreeNodeId(first))) return id;
  return own;
}

void TDBTreeView::BindId(TDataSet* ds, const Variant& id) {
  auto* query = dynamic_cast<TZAbstractRODataset*>(ds);
  if (query == nullptr)
    throw Exception(QStringLiteral("%1 (%2) has no parameters to bind a tree item id to")
                        .arg(DataSetName(ds), ds->ClassName()));
  const int count = query->Params().Count();
  const int n = orvsys::VarArrayLength(id);
  if (n > count)
    throw Exception(
        QStringLiteral("%1: the tree item id has %2 elements, the dataset %3 parameters")
            .arg(DataSetName(ds))
            .arg(n)
            .arg(count));
  for (int i = 0; i < n; ++i) {
    TParam* param = query->Params().Items(count - n + i);
    const Variant value = orvsys::VarArrayItem(id, i);
    if (SameParamValue(param->Value(), value)) continue;
    ds->Close();
    param->SetValue(value);
  }
}

void TDBTreeView::ApplyRowFields(TDBTreeNode* node, TTreeNode* parent, const RowFields& f) const {
  node->SetImageIndex(ReadInt(f.imageIndex, parent != nullptr ? parent->ImageIndex() : -1));
  node->SetSelectedIndex(
      ReadInt(f.selectedIndex, parent != nullptr ? parent->SelectedIndex() : -1));
  node->SetStateIndex(ReadInt(f.stateIndex, parent != nullptr ? parent->StateIndex() : 0));
  if (TDBNodeObject* obj = node->NodeObject()) {
    obj->SetTextStyle(ReadInt(f.textStyle, 0));
    obj->SetTypeId(ReadInt(f.typeId, 0));
  }
}

TDBTreeNode* TDBTreeView::AddRowNode(TTreeNode* parent, const RowFields& f, bool isRoot) {
  auto* obj = new TDBNodeObject(ReadId(f));
  obj->SetEnabled(ReadBool(f.enabled, true));
  obj->SetIsRoot(isRoot);
  const QString caption = f.name != nullptr ? f.name->AsString() : QString();
  auto* node = new TDBTreeNode(Items(), obj, caption);
  Items()->AddNode(node, parent, caption, isRoot ? naAdd : naAddChild);
  ApplyRowFields(node, parent, f);
  return node;
}

// ---- Loading ----------------------------------------------------------------------------

void TDBTreeView::LoadChildren(TTreeNode* node, bool force) {
  TDBNodeObject* obj = ObjectOf(node);
  if (obj == nullptr || !obj->Enabled()) return;
  if (!force && node->Parent() != nullptr) {
    auto* parent = dynamic_cast<TDBTreeNode*>(node->Parent());
    if (!node->Parent()->Expanded() && !(parent != nullptr && parent->OnPath())) return;
  }
  TDataSet* ds = NodeDataSet();
  if (ds == nullptr || obj->ChildrenLoaded()) return;
  obj->SetChildrenLoaded(true);
  node->SetHasChildren(false);
  BindId(ds, obj->Id());
  ds->Open();
  const RowFields f = ResolveFields(ds);
  // The node's children by id, so merging rows stays linear.
  TChildIndex known;
  if (!uniqueChilds_) {
    known.Reserve(node->Count() + std::max(0, ds->RecordCount()));
    for (int i = 0; i < node->Count(); ++i) known.Add(GetTreeNodeId(node->Item(i)), node->Item(i));
  }
  Items()->BeginUpdate();
  auto endUpdate = ScopeExit([this] { Items()->EndUpdate(); });
  while (!ds->Eof()) {
    node->SetHasChildren(true);
    const Variant id = ReadId(f);
    TTreeNode* child = uniqueChilds_ ? nullptr : known.Find(id);
    if (child == nullptr) {
      child = AddRowNode(node, f, false);
      if (!uniqueChilds_) known.Add(id, child);
    }
    child->SetHasChildren(ReadBool(f.count, true));
    ds->Next();
  }
  ds->Close();
}

bool TDBTreeView::CanExpand(TTreeNode* node) {
  bool allow = TCustomDBTreeView::CanExpand(node);
  if (allow && node->HasChildren()) {
    for (int i = 0; i < node->Count(); ++i) {
      TTreeNode* c = node->Item(i);
      if (c->Expanded() && c->Count() == 0) {
        c->Collapse(false);
        c->SetHasChildren(true);
      }
    }
    LoadChildren(node, false);
    allow = node->Count() > 0;
  }
  return allow;
}

void TDBTreeView::ResetNode(TTreeNode* node) {
  const bool had = node->HasChildren();
  node->DeleteChildren();
  if (TDBNodeObject* obj = ObjectOf(node)) obj->SetChildrenLoaded(false);
  node->Collapse(false);
  node->SetHasChildren(had);
}

void TDBTreeView::Collapse(TTreeNode* node) {
  if (autoMinimized_) {
    for (int i = 0; i < node->Count(); ++i) ResetNode(node->Item(i));
  }
  TCustomDBTreeView::Collapse(node);
}

void TDBTreeView::LoadRoots(TDataSet* roots) {
  roots->Close();
  roots->Open();
  const RowFields f = ResolveFields(roots);
  {
    Items()->BeginUpdate();
    auto endUpdate = ScopeExit([this] { Items()->EndUpdate(); });
    while (!roots->Eof()) {
      if (Items()->GetFirstNode() == nullptr) selectedId_ = ReadId(f);
      TDBTreeNode* node = AddRowNode(nullptr, f, true);
      node->SetHasChildren(true);
      roots->Next();
    }
    // Kept as it always was: of several root rows the first is dropped.
    if (Items()->Roots().size() > 1) Items()->GetFirstNode()->Delete();
  }
  ApplyLevelExpand();
}

// ---- Selecting --------------------------------------------------------------------------

TTreeNode* TDBTreeView::FindNodeById(const Variant& id) const {
  TTreeNode* found = nullptr;
  ForEachTreeNode(Items(), [&](TTreeNode* n) {
    TDBNodeObject* obj = ObjectOf(n);
    if (obj != nullptr && orvsys::VarEquals(obj->Id(), id)) {
      found = n;
      return false;
    }
    return true;
  });
  return found;
}

void TDBTreeView::SetInternalSelected(TTreeNode* node) {
  const bool saved = internalChange_;
  internalChange_ = true;
  auto restore = ScopeExit([&] { internalChange_ = saved; });
  SetSelected(node);
}

void TDBTreeView::SelectById(const Variant& id) {
  TTreeNodes* items = Items();
  if (IsEmptyId(id)) {
    if (items->GetFirstNode() != nullptr) selectedId_ = ValidateSelected();
    return;
  }
  const bool empty = items->GetFirstNode() == nullptr;
  if (!empty && orvsys::VarEquals(id, selectedId_)) return;
  selectedId_ = id;
  if (empty) {
    if (TDataSet* roots = RootDataSet()) LoadRoots(roots);
  }

  TTreeNode* target = Selected();
  if (target == nullptr || !orvsys::VarEquals(GetTreeNodeId(target), selectedId_))
    target = FindNodeById(selectedId_);
  if (target != nullptr) {
    MarkPath(target, true);
  } else if (TDataSet* path = GetItemDataSet()) {
    BindId(path, selectedId_);
    path->Open();
    const RowFields f = ResolveFields(path);
    while (!path->Eof()) {
      const Variant rowId = ReadId(f);
      TTreeNode* node = FindNodeById(rowId);
      if (node == nullptr) break;
      MarkPath(node, true);
      target = node;
      if (!orvsys::VarEquals(rowId, selectedId_)) LoadChildren(node, false);
      path->Next();
    }
    path->Close();
  }

  if (items->GetFirstNode() != nullptr && target == nullptr) {
    if (retrying_) {
      // The one retry found nothing either: the tree stays as loaded, nothing selected.
      SetInternalSelected(nullptr);
      selectedId_ = Variant(-1);
      return;
    }
    RetryWithoutBound(id);
    return;
  }
  if (target != nullptr) {
    ExpandParents(target);
    SetInternalSelected(target);
  }
  ApplyAutoCollapse();
  ApplyAutoRootMinimize();
  AfterSelect();
}

void TDBTreeView::RetryWithoutBound(const Variant& id) {
  Items()->Clear();
  selectedId_ = Variant(-1);
  // The roots dataset loses its master for the retry and gets it back whatever happens.
  auto* roots = dynamic_cast<TZAbstractRODataset*>(RootDataSet());
  TDataSource* master = roots != nullptr ? roots->DataSource() : nullptr;
  const qint64 masterHandle = master != nullptr ? master->ObjectHandle() : 0;
  if (master != nullptr) roots->SetDataSource(nullptr);
  auto restore = [&] {
    if (master != nullptr && TObject::IsLiveHandle(masterHandle)) roots->SetDataSource(master);
  };
  try {
    if (auto* path = dynamic_cast<TZAbstractRODataset*>(GetItemDataSet());
        path != nullptr && path->Params().Count() > 0) {
      TParam* first = path->Params().Items(0);
      if (!SameParamValue(first->Value(), id)) {
        path->Close();
        first->SetValue(id);
      }
    }
    retrying_ = true;
    auto endRetry = ScopeExit([&] { retrying_ = false; });
    SelectById(id);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TDBTreeView::AfterSelect() {
  OnAfterChange(this, selectedId_);
  TTreeNode* first = Items()->GetFirstNode();
  if (rootExpand_ && first != nullptr && first->HasChildren() && !first->Expanded())
    first->Expand(false);
}

void TDBTreeView::ApplyAutoCollapse() {
  if (!autoCollapsed_) return;
  // Children before their parent: resetting a collapsed parent may delete grandchildren.
  std::vector<TTreeNode*> order;
  std::vector<std::pair<TTreeNode*, int>> stack;
  for (TTreeNode* root : Items()->Roots()) {
    stack.assign(1, {root, 0});
    while (!stack.empty()) {
      auto& [n, next] = stack.back();
      if (next < n->Count()) {
        TTreeNode* c = n->Item(next++);
        stack.emplace_back(c, 0);
        continue;
      }
      auto* d = dynamic_cast<TDBTreeNode*>(n);
      if (n->Expanded() && (n == Selected() || d == nullptr || !d->OnPath())) order.push_back(n);
      stack.pop_back();
    }
  }
  for (TTreeNode* n : order) n->Collapse(false);
}

void TDBTreeView::ApplyAutoRootMinimize() {
  if (!autoRootMinimized_) return;
  for (TTreeNode* root : std::vector<TTreeNode*>(Items()->Roots())) {
    auto* d = dynamic_cast<TDBTreeNode*>(root);
    if (d == nullptr || !d->OnPath()) root->Delete();
  }
}

void TDBTreeView::ApplyLevelExpand() {
  TTreeNode* first = Items()->GetFirstNode();
  if (first == nullptr) return;
  FullCollapse();
  std::function<void(TTreeNode*, int)> expand = [&](TTreeNode* node, int depth) {
    if (depth > levelExpand_) return;
    node->Expand(false);
    for (int i = 0; i < node->Count(); ++i) expand(node->Item(i), depth + 1);
  };
  expand(first, 1);
}

void TDBTreeView::SetLevelExpand(int v) {
  levelExpand_ = v;
  if (!ComponentState().Contains(csLoading)) ApplyLevelExpand();
}

void TDBTreeView::SetAutoCollapsed(bool v) {
  autoCollapsed_ = v;
  if (!ComponentState().Contains(csLoading)) ApplyAutoCollapse();
}

void TDBTreeView::SetAutoRootMinimized(bool v) {
  autoRootMinimized_ = v;
  if (!ComponentState().Contains(csLoading) && Items()->GetFirstNode() != nullptr &&
      Selected() != nullptr)
    ApplyAutoRootMinimize();
}

void TDBTreeView::SetAutoMinimized(bool v) {
  autoMinimized_ = v;
  if (!v || ComponentState().Contains(csLoading)) return;
  std::function<void(const std::vector<TTreeNode*>&)> walk =
      [&](const std::vector<TTreeNode*>& nodes) {
        for (TTreeNode* n : nodes) {
          if (n->Expanded()) {
            std::vector<TTreeNode*> children;
            for (int i = 0; i < n->Count(); ++i) children.push_back(n->Item(i));
            walk(children);
          } else if (n->Count() > 0) {
            ResetNode(n);
          }
        }
      };
  walk(std::vector<TTreeNode*>(Items()->Roots()));
}

// ---- Change -----------------------------------------------------------------------------

void TDBTreeView::Change(TTreeNode* node) {
  TDBNodeObject* obj = ObjectOf(node);
  if (obj == nullptr) {
    TCustomDBTreeView::Change(node);
    return;
  }
  const qint64 self = ObjectHandle();
  if (!internalChange_ && DataSource() == nullptr) SelectById(obj->Id());
  DoBeforeChange(node);
  TCustomDBTreeView::Change(node);
  if (!TObject::IsLiveHandle(self)) return;
  DoAfterChange(node);
  selectedId_ = GetTreeNodeId(node);
  if (!internalChange_) OnNewItem(this, node);
  FillListView();
}

void TDBTreeView::SelectDataSetItem() {
  TDataSet* ds = dataLink_->DataSet();
  if (ds == nullptr || !ds->Active()) return;
  const bool saved = internalChange_;
  internalChange_ = true;
  auto restore = ScopeExit([&] { internalChange_ = saved; });
  SelectById(ReadFollowedId());
}

void TDBTreeView::Loaded() {
  TCustomDBTreeView::Loaded();
  if (DataSource() == nullptr) SelectById(Variant(0));
}

// ---- Refresh, validation ----------------------------------------------------------------

void TDBTreeView::SaveExpandedIds(TTreeNode* node, TObjList* list) {
  if (node == nullptr) return;
  list->Add(new TVarObject(GetTreeNodeId(node)));
  for (int i = 0; i < node->Count(); ++i) {
    TTreeNode* c = node->Item(i);
    if (c->Expanded()) SaveExpandedIds(c, list);
  }
}

bool TDBTreeView::ItemExists(const Variant& id) {
  TDataSet* ds = GetItemDataSet();
  if (ds == nullptr) return false;
  BindId(ds, id);
  ds->Close();
  ds->Open();
  return !ds->IsEmpty();
}

Variant TDBTreeView::ValidateSelected() {
  TTreeNode* node = Selected();
  Variant id = GetTreeNodeId(node);
  TDataSet* ds = GetItemDataSet();
  if (ds == nullptr || node == nullptr) return id;
  for (;;) {
    ds->Close();
    BindId(ds, id);
    ds->Open();
    if (!ds->IsEmpty() || node->Parent() == nullptr) break;
    TTreeNode* parent = node->Parent();
    SetSelected(parent);
    id = GetTreeNodeId(parent);
    node->Delete();
    node = parent;
  }
  ds->Close();
  return id;
}

void TDBTreeView::RefreshItem(const Variant& id, bool expand) {
  TDataSet* ds = GetItemDataSet();
  if (Items()->GetFirstNode() == nullptr || ds == nullptr) return;
  BindId(ds, id);
  ds->Open();
  const RowFields f = ResolveFields(ds);
  TTreeNode* last = nullptr;
  bool all = true;
  while (!ds->Eof()) {
    TTreeNode* node = FindNodeById(ReadId(f));
    if (node == nullptr) {
      all = false;
      break;
    }
    last = node;
    ds->Next();
  }
  if (last == nullptr) {  // nothing of the path is in the tree
    ds->Close();
    return;
  }
  TTreeNode* refreshed = nullptr;
  bool reexpand = false;
  TObjList saved;
  if (all) {
    refreshed = last;
    reexpand = last->Expanded() || expand;
    ds->Last();
    last->SetText(f.name != nullptr ? f.name->AsString() : QString());
    if (TDBNodeObject* obj = ObjectOf(last)) obj->SetEnabled(ReadBool(f.enabled, true));
    if (auto* d = dynamic_cast<TDBTreeNode*>(last)) ApplyRowFields(d, last->Parent(), f);
    if (reexpand) SaveExpandedIds(last, &saved);
    last->DeleteChildren();
    if (TDBNodeObject* obj = ObjectOf(last)) obj->SetChildrenLoaded(false);
  } else if (last->Expanded()) {
    refreshed = AddRowNode(last, f, false);
    reexpand = expand;
  } else {
    last->DeleteChildren();
    if (TDBNodeObject* obj = ObjectOf(last)) obj->SetChildrenLoaded(false);
  }
  ds->Close();
  if (refreshed == nullptr) return;
  LoadChildren(refreshed, false);
  const qint64 refreshedHandle = refreshed->ObjectHandle();
  if (saved.Count() > 0) {
    {
      const TTVChangedEvent onChange = OnChange;
      const TTVChangingEvent onChanging = OnChanging;
      OnChange.Clear();
      OnChanging.Clear();
      auto restore = ScopeExit([&] {
        OnChange = onChange;
        OnChanging = onChanging;
      });
      for (int i = 0; i < saved.Count(); ++i) {
        const Variant savedId = static_cast<TVarObject*>(saved.GetItem(i))->Value;
        if (!ItemExists(savedId)) continue;
        SelectById(savedId);
        if (Selected() != nullptr) Selected()->Expand(false);
      }
    }
    if (!TObject::IsLiveHandle(refreshedHandle)) return;
    SetSelected(refreshed);
  }
  if (TObject::IsLiveHandle(refreshedHandle)) refreshed->SetExpanded(reexpand);
}

// ---- List view, drawing, mouse ----------------------------------------------------------

void TDBTreeView::FillListView() {
  TTreeNode* node = Selected();
  if (listView_ == nullptr || node == nullptr) return;
  TListItems* items = listView_->Items();
  items->BeginUpdate();
  auto endUpdate = ScopeExit([items] { items->EndUpdate(); });
  items->Clear();
  LoadChildren(node, false);
  for (int i = 0; i < node->Count(); ++i) {
    TTreeNode* child = node->Item(i);
    TListItem* item = items->Add();
    item->SetCaption(child->Text());
    item->SetImageIndex(child->ImageIndex());
    if (TDBNodeObject* obj = ObjectOf(child)) {
      TDBNodeObject* copy = TDBNodeObject::CreateCopy(obj);
      copy->SetChildrenLoaded(child->HasChildren());
      item->SetData(copy);
    }
  }
}

void TDBTreeView::ApplyItemTextStyle(TTreeNode* node) {
  TDBNodeObject* obj = ObjectOf(node);
  if (obj == nullptr || obj->TextStyle() < 1 || node == dropTargetNode_) return;
  TCanvas* canvas = Canvas();
  TFont* font = canvas->Font();
  const bool selectedLook =
      node == highlightNode_ || (highlightNode_ == nullptr && font->Color() == clHighlightText);
  const QString name = (selectedLook ? QStringLiteral("TreeS") : QStringLiteral("Tree")) +
                       QString::number(obj->TextStyle());
  TTextStyle* style = TextStyles()->FindStyle(name);
  if (style == nullptr) return;
  if (node == highlightNode_) {
    const TNotifyEvent onChange = font->OnChange;
    const auto callback = font->ChangeCallback;
    font->OnChange.Clear();
    font->ChangeCallback = nullptr;
    auto restore = ScopeExit([&] {
      font->OnChange = onChange;
      font->ChangeCallback = callback;
    });
    font->Assign(style->Format()->Font());
  } else {
    font->Assign(style->Format()->Font());
  }
  if (font->Color() != clHighlightText) canvas->Brush()->SetColor(Color());
}

void TDBTreeView::DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (button != mbRight) {
    TCustomDBTreeView::DoMouseDown(button, shift, x, y);
    return;
  }
  popupPoint_ = TPoint{x, y};
  TTreeNode* node = GetNodeAt(x, y);
  highlightNode_ = node;
  popupNode_ = node;
  const qint64 self = ObjectHandle();
  auto clear = ScopeExit([&] {
    if (TObject::IsLiveHandle(self)) highlightNode_ = nullptr;
  });
  TCustomDBTreeView::DoMouseDown(button, shift, x, y);
}
