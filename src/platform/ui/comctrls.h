#pragma once
// Page controls, status bars, progress bars, tree views and list views.
//
// The tree's nodes are a model of their own (texts, images, data, expansion, order); the Qt
// view over them is made with the widget and reset after each change of the tree's shape.
// A node's expansion asks CanExpand (OnExpanding) first, whoever asks for it: code, the user
// clicking the button, or Expand(recurse).
#include "extctrls.h"

#include "platform/classes/collection.h"

#include <QtCore/QPointer>

class QTabBar;
class QTreeView;
class QListWidget;
class TTreeModel;

// ---- Page control ---------------------------------------------------------------------------

class TPageControl;

ORV_ENUM(TTabStyle, tsTabs, tsButtons, tsFlatButtons)
ORV_EVENT(TTabChangingEvent, void(TObject*, bool&),
          "procedure(Sender: TObject; var AllowChange: Boolean)")

class TTabSheet : public TWinControl {
  ORV_CLASS(TTabSheet, TWinControl)
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const;
  void SetPageControl(TPageControl* pc);
  int PageIndex() const;
  void SetPageIndex(int v);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool v);
  // The tab's place among the visible tabs; -1 when the tab is hidden.
  int TabIndex() const;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  bool Highlighted() const { return highlighted_; }
  void SetHighlighted(bool v) { highlighted_ = v; }
  void SetParent(TWinControl* parent) override;

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

 protected:
  void TextChanged() override;

 private:
  bool tabVisible_ = true;
  int imageIndex_ = -1;
  bool highlighted_ = false;
};

class TPageControl : public TWinControl {
  ORV_CLASS(TPageControl, TWinControl)
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return int(pages_.size()); }
  TTabSheet* Pages(int index) const;
  TTabSheet* ActivePage() const { return active_; }
  // Switches without OnChanging (code does); OnChange is not fired either.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int v);
  // The active tab's index among visible tabs (-1: none).
  int TabIndex() const;
  void SetTabIndex(int v);
  // The next or previous page with a visible tab, wrapping; asks OnChanging like a user.
  void SelectNextPage(bool goForward, bool checkTabVisible = true);
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
  // A user's switch: OnChanging may refuse, OnChange follows.
  bool ChangeActivePage(TTabSheet* page);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle v);
  bool CloseButtons() const { return closeButtons_; }
  void SetCloseButtons(bool v);
  TComponent* Images() const { return images_; }
  void SetImages(TComponent* v);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool v) { multiLine_ = v; }
  static constexpr int TabHeight = 22;
  // A close button was clicked on the page's tab.
  void CloseTabClicked(TTabSheet* page);
  void GetChildren(const std::function<void(TComponent*)>& proc, TComponent* root) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TNotifyEvent OnCloseTabClicked;  // the sender is the tab sheet

 protected:
  friend class TTabSheet;
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void AdjustClientRect(TRect& rect) const override;
  void AlignControlsIn(TControl* control, TRect& rect) override;
  void UpdateWidget() override;
  void Resize() override;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTabs();
  void ShowActive();

 private:
  std::vector<TTabSheet*> pages_;
  TTabSheet* active_ = nullptr;
  qint64 pendingActive_ = 0;
  TTabStyle style_ = tsTabs;
  bool closeButtons_ = false;
  bool multiLine_ = false;
  TComponent* images_ = nullptr;
  QPointer<QTabBar> tabBar_;
  bool syncing_ = false;
};

// ---- Status bar, progress bar --------------------------------------------------------------

ORV_ENUM(TStatusPanelStyle, psText, psOwnerDraw)
ORV_ENUM(TStatusPanelBevel, pbNone, pbLowered, pbRaised)

class TStatusPanel : public TCollectionItem {
  ORV_CLASS(TStatusPanel, TCollectionItem)
  explicit TStatusPanel(TCollection* collection);
  const QString& Text() const { return text_; }
  void SetText(const QString& v);
  int Width() const { return width_; }
  void SetWidth(int v);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment v);
  TStatusPanelStyle Style() const { return style_; }
  void SetStyle(TStatusPanelStyle v) { style_ = v; }
  TStatusPanelBevel Bevel() const { return bevel_; }
  void SetBevel(TStatusPanelBevel v) { bevel_ = v; }
  void Assign(TPersistent* source) override;

 private:
  QString text_;
  int width_ = 50;
  TAlignment alignment_ = taLeftJustify;
  TStatusPanelStyle style_ = psText;
  TStatusPanelBevel bevel_ = pbLowered;
};

class TStatusBar;

class TStatusPanels : public TCollection {
  ORV_CLASS(TStatusPanels, TCollection)
  explicit TStatusPanels(TStatusBar* bar);
  TStatusPanel* Items(int index) const {
    return static_cast<TStatusPanel*>(TCollection::Items(index));
  }
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }

 protected:
  void Update(TCollectionItem* item) override;

 private:
  TStatusBar* bar_;
};

ORV_EVENT(TDrawPanelEvent, void(TObject*, TStatusPanel*, TRect),
          "procedure(StatusBar: TStatusBar; Panel: TStatusPanel; const Rect: TRect)")

class TStatusBar : public TCustomControl {
  ORV_CLASS(TStatusBar, TCustomControl)
  explicit TStatusBar(TComponent* owner);
  ~TStatusBar() override;
  TStatusPanels* Panels() const { return panels_.get(); }
  void SetPanels(TStatusPanels* v);
  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool v);
  const QString& SimpleText() const { return simpleText_; }
  void SetSimpleText(const QString& v);
  bool SizeGrip() const { return sizeGrip_; }
  void SetSizeGrip(bool v) { sizeGrip_ = v; }
  // The rectangle of a panel (the last one takes what is left).
  TRect PanelRect(int index) const;
  void Paint() override;

  TDrawPanelEvent OnDrawPanel;

 private:
  std::unique_ptr<TStatusPanels> panels_;
  bool simplePanel_ = false;
  QString simpleText_;
  bool sizeGrip_ = true;
};

class TProgressBar : public TWinControl {
  ORV_CLASS(TProgressBar, TWinControl)
  explicit TProgressBar(TComponent* owner);
  int Min() const { return min_; }
  void SetMin(int v);
  int Max() const { return max_; }
  void SetMax(int v);
  int Position() const { return position_; }
  void SetPosition(int v);
  int Step() const { return step_; }
  void SetStep(int v) { step_ = v; }
  void StepIt() { SetPosition(position_ + step_ > max_ ? min_ : position_ + step_); }
  void StepBy(int delta) { SetPosition(position_ + delta); }

 protected:
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
  int step_ = 10;
};

// ---- Tree view ---------------------------------------------------------------------------

class TTreeNodes;
class TCustomTreeView;

ORV_ENUM(TNodeAttachMode, naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert)
ORV_ENUM(TCustomDrawStateItem, cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused,
         cdsDefault, cdsHot, cdsMarked, cdsIndeterminate)
ORV_SET(TCustomDrawState, TCustomDrawStateItem)

class TTreeNode : public TPersistent {
  ORV_CLASS(TTreeNode, TPersistent)
  using TCreateArg = TTreeNodes;
  explicit TTreeNode(TTreeNodes* owner);
  ~TTreeNode() override;

  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  const QString& Text() const { return text_; }
  void SetText(const QString& v);
  TObject* Data() const { return data_; }
  void SetData(TObject* v) { data_ = v; }
  // Any value a caller keeps with the node (scripts store a number or an object here).
  qint64 DataValue() const { return dataValue_; }
  void SetDataValue(qint64 v) { dataValue_ = v; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int v);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int v);
  bool HasChildren() const { return hasChildren_ || !children_.empty(); }
  void SetHasChildren(bool v);
  bool Expanded() const { return expanded_; }
  // Expanding asks the view's CanExpand first; a veto leaves the node collapsed.
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  bool Selected() const;
  void SetSelected(bool v);
  bool Focused() const { return Selected(); }
  bool DropTarget() const { return dropTarget_; }
  void SetDropTarget(bool v);
  bool Cut() const { return cut_; }
  void SetCut(bool v) { cut_ = v; }

  TTreeNode* Parent() const { return parent_; }
  int Level() const;
  int Count() const { return int(children_.size()); }
  TTreeNode* Item(int index) const;
  int Index() const;
  // The place in display order among all nodes.
  int AbsoluteIndex() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  // The next node in display order (children first), nullptr at the end.
  TTreeNode* GetNext() const;
  TTreeNode* GetPrev() const;
  bool HasAsParent(const TTreeNode* node) const;
  bool IsVisible() const;
  // Moves the node (with its children) relative to destination; moving a node under itself
  // raises.
  void MoveTo(TTreeNode* destination, TNodeAttachMode mode);
  void Delete();
  void DeleteChildren();
  void Assign(TPersistent* source) override;
  void MakeVisible();
  // The rectangle of the node's row in the view (empty without a widget).
  TRect DisplayRect(bool textOnly) const;
  // True while the node is being destroyed.
  bool Deleting() const { return deleting_; }

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  void Detach();
  void Attach(TTreeNode* parent, int index);

  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  QString text_;
  TObject* data_ = nullptr;
  qint64 dataValue_ = 0;
  int imageIndex_ = -1;
  int selectedIndex_ = -1;
  int stateIndex_ = -1;
  bool hasChildren_ = false;
  bool expanded_ = false;
  bool dropTarget_ = false;
  bool cut_ = false;
  bool deleting_ = false;
};

class TTreeNodes : public TPersistent {
  ORV_CLASS(TTreeNodes, TPersistent)
  explicit TTreeNodes(TCustomTreeView* owner);
  ~TTreeNodes() override;

  TCustomTreeView* Owner() const { return owner_; }
  // All nodes in display order.
  int Count() const;
  TTreeNode* Item(int index) const;
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  const std::vector<TTreeNode*>& Roots() const { return roots_; }
  // Adds after the last sibling of `sibling` (at the top level for nullptr).
  TTreeNode* Add(TTreeNode* sibling, const QString& text);
  TTreeNode* AddFirst(TTreeNode* sibling, const QString& text);
  TTreeNode* AddChild(TTreeNode* parent, const QString& text);
  TTreeNode* AddChildFirst(TTreeNode* parent, const QString& text);
  TTreeNode* Insert(TTreeNode* sibling, const QString& text);
  TTreeNode* AddObject(TTreeNode* sibling, const QString& text, TObject* data);
  TTreeNode* AddChildObject(TTreeNode* parent, const QString& text, TObject* data);
  // Places a node made by the caller (of this collection, not yet placed) relative to
  // `relative` as mode says, with the caption; nullptr makes one through CreateNode.
  TTreeNode* AddNode(TTreeNode* node, TTreeNode* relative, const QString& text,
                     TNodeAttachMode mode);
  void Delete(TTreeNode* node);
  void Clear();
  void BeginUpdate();
  void EndUpdate();
  bool Updating() const { return updateCount_ > 0; }
  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

 private:
  friend class TTreeNode;
  friend class TTreeModel;
  friend class TCustomTreeView;
  TTreeNode* NewNode(TTreeNode* parent, int index, const QString& text, TTreeNode* node = nullptr);
  void Changed();
  std::vector<TTreeNode*>& SiblingsOf(TTreeNode* parent);

  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int updateCount_ = 0;
  bool changedWhileUpdating_ = false;
};

ORV_EVENT(TTVChangedEvent, void(TObject*, TTreeNode*),
          "procedure(Sender: TObject; Node: TTreeNode)")
ORV_EVENT(TTVChangingEvent, void(TObject*, TTreeNode*, bool&),
          "procedure(Sender: TObject; Node: TTreeNode; var AllowChange: Boolean)")
ORV_EVENT(TTVExpandingEvent, void(TObject*, TTreeNode*, bool&),
          "procedure(Sender: TObject; Node: TTreeNode; var AllowExpansion: Boolean)")
ORV_EVENT(TTVCollapsingEvent, void(TObject*, TTreeNode*, bool&),
          "procedure(Sender: TObject; Node: TTreeNode; var AllowCollapse: Boolean)")
ORV_EVENT(TTVExpandedEvent, void(TObject*, TTreeNode*),
          "procedure(Sender: TObject; Node: TTreeNode)")
ORV_EVENT(TTVCustomDrawItemEvent, void(TObject*, TTreeNode*, TCustomDrawState, bool&),
          "procedure(Sender: TCustomTreeView; Node: TTreeNode; State: TCustomDrawState; var "
          "DefaultDraw: Boolean)")
ORV_EVENT(TTVEditingEvent, void(TObject*, TTreeNode*, bool&),
          "procedure(Sender: TObject; Node: TTreeNode; var AllowEdit: Boolean)")

// The class of the nodes a tree makes; OnCreateNodeClass (or the virtual) may give another.
using TTreeNodeFactory = std::function<TTreeNode*(TTreeNodes*)>;

class TCustomTreeView : public TWinControl {
  ORV_CLASS(TCustomTreeView, TWinControl)
  explicit TCustomTreeView(TComponent* owner);
  ~TCustomTreeView() override;

  TTreeNodes* Items() const { return items_.get(); }
  void SetItems(TTreeNodes* v) { items_->Assign(v); }
  TTreeNode* Selected() const { return selected_; }
  // Asks OnChanging; a refusal keeps the old selection.
  void SetSelected(TTreeNode* node);
  TTreeNode* DropTarget() const;
  void SetDropTarget(TTreeNode* node);
  TTreeNode* TopItem() const;
  // The node at a client point (nullptr: none).
  TTreeNode* GetNodeAt(int x, int y) const;
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v);
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v) { hideSelection_ = v; }
  bool RightClickSelect() const { return rightClickSelect_; }
  void SetRightClickSelect(bool v) { rightClickSelect_ = v; }
  bool AutoExpand() const { return autoExpand_; }
  void SetAutoExpand(bool v) { autoExpand_ = v; }
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v) { rowSelect_ = v; }
  bool ToolTips() const { return toolTips_; }
  void SetToolTips(bool v) { toolTips_ = v; }
  int Indent() const { return indent_; }
  void SetIndent(int v);
  TComponent* Images() const { return images_; }
  void SetImages(TComponent* v);
  TComponent* StateImages() const { return stateImages_; }
  void SetStateImages(TComponent* v);
  TCanvas* Canvas() const { return canvas_.get(); }
  // Rows in display order that are shown (all ancestors expanded).
  std::vector<TTreeNode*> VisibleNodes() const;
  static constexpr int RowHeight = 18;
  void FullExpand();
  void FullCollapse();
  bool IsEditing() const { return false; }
  // Paints the visible rows on a canvas through OnCustomDrawItem (tests use a recording one).
  void PaintNodes(TCanvas& canvas);
  // The hook for a custom node class (OnCreateNodeClass, which stored forms set).
  TTreeNodeFactory NodeFactory;

  // ---- Virtuals the screens override
  virtual bool CanExpand(TTreeNode* node);
  virtual void Expand(TTreeNode* node);
  virtual bool CanCollapse(TTreeNode* node);
  virtual void Collapse(TTreeNode* node);
  virtual bool CanChange(TTreeNode* node);
  virtual void Change(TTreeNode* node);
  virtual void Delete(TTreeNode* node);
  virtual TTreeNode* CreateNode();
  // Custom drawing of one item; DefaultDraw false means the handler painted it all.
  virtual bool CustomDrawItem(TTreeNode* node, TCustomDrawState state);

  TTVChangedEvent OnChange;
  TTVChangingEvent OnChanging;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVExpandedEvent OnDeletion;
  TTVCustomDrawItemEvent OnCustomDrawItem;
  TTVEditingEvent OnEditing;

 protected:
  friend class TTreeNodes;
  friend class TTreeNode;
  friend class TTreeModel;
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void WidgetDestroyed() override;
  void UpdateWidget() override;
  void KeyDown(quint16& key, TShiftState shift) override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void NodesChanged();
  void NodeChanged(TTreeNode* node);
  void NodeDeleting(TTreeNode* node);
  void SyncView();

 private:
  std::unique_ptr<TTreeNodes> items_;
  std::unique_ptr<TCanvas> canvas_;
  TTreeNode* selected_ = nullptr;
  bool readOnly_ = false;
  bool showButtons_ = true;
  bool showLines_ = true;
  bool showRoot_ = true;
  bool hideSelection_ = true;
  bool rightClickSelect_ = false;
  bool autoExpand_ = false;
  bool rowSelect_ = false;
  bool toolTips_ = true;
  int indent_ = 19;
  TComponent* images_ = nullptr;
  TComponent* stateImages_ = nullptr;
  TTreeModel* model_ = nullptr;
  bool syncing_ = false;
};

class TTreeView : public TCustomTreeView {
  ORV_CLASS(TTreeView, TCustomTreeView)
  explicit TTreeView(TComponent* owner) : TCustomTreeView(owner) {}
};

// ---- List view ---------------------------------------------------------------------------

class TListItems;
class TCustomListView;

ORV_ENUM(TViewStyle, vsIcon, vsSmallIcon, vsList, vsReport)

class TListItem : public TPersistent {
  ORV_CLASS(TListItem, TPersistent)
  explicit TListItem(TListItems* owner);
  ~TListItem() override;
  TListItems* Owner() const { return owner_; }
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& v);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int v);
  // The item owns its Data object: it is freed with the item or when replaced.
  TObject* Data() const { return data_; }
  void SetData(TObject* v);
  TStrings* SubItems() const { return subItems_.get(); }
  bool Selected() const;
  void SetSelected(bool v);
  int Index() const;
  void Delete();

 private:
  TListItems* owner_;
  QString caption_;
  int imageIndex_ = -1;
  TObject* data_ = nullptr;
  std::unique_ptr<TStrings> subItems_;
};

class TListItems : public TPersistent {
  ORV_CLASS(TListItems, TPersistent)
  explicit TListItems(TCustomListView* owner);
  ~TListItems() override;
  TCustomListView* Owner() const { return owner_; }
  int Count() const { return int(items_.size()); }
  TListItem* Item(int index) const;
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate() { ++updateCount_; }
  void EndUpdate();

 private:
  friend class TListItem;
  void Changed();
  TCustomListView* owner_;
  std::vector<TListItem*> items_;
  int updateCount_ = 0;
};

ORV_EVENT(TLVCustomDrawItemEvent, void(TObject*, TListItem*, TCustomDrawState, bool&),
          "procedure(Sender: TCustomListView; Item: TListItem; State: TCustomDrawState; var "
          "DefaultDraw: Boolean)")
ORV_EVENT(TLVSelectItemEvent, void(TObject*, TListItem*, bool),
          "procedure(Sender: TObject; Item: TListItem; Selected: Boolean)")

class TCustomListView : public TWinControl {
  ORV_CLASS(TCustomListView, TWinControl)
  explicit TCustomListView(TComponent* owner);
  ~TCustomListView() override;
  TListItems* Items() const { return items_.get(); }
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  TComponent* LargeImages() const { return largeImages_; }
  void SetLargeImages(TComponent* v);
  TComponent* SmallImages() const { return smallImages_; }
  void SetSmallImages(TComponent* v);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v) { multiSelect_ = v; }
  TCanvas* Canvas() const { return canvas_.get(); }
  virtual bool CustomDrawItem(TListItem* item, TCustomDrawState state);
  void PaintItems(TCanvas& canvas);
  void Notification(TComponent* component, TOperation operation) override;

  TLVCustomDrawItemEvent OnCustomDrawItem;
  TLVSelectItemEvent OnSelectItem;
  TNotifyEvent OnChange;

 protected:
  friend class TListItems;
  friend class TListItem;
  QWidget* CreateWidget(QWidget* parentWidget) override;
  void UpdateWidget() override;
  void ItemsChanged();
  void SelectFromView(int row);

 private:
  std::unique_ptr<TListItems> items_;
  std::unique_ptr<TCanvas> canvas_;
  qint64 selected_ = 0;
  TViewStyle viewStyle_ = vsIcon;
  TComponent* largeImages_ = nullptr;
  TComponent* smallImages_ = nullptr;
  bool readOnly_ = false;
  bool multiSelect_ = false;
  bool syncing_ = false;
};

class TListView : public TCustomListView {
  ORV_CLASS(TListView, TCustomListView)
  explicit TListView(TComponent* owner) : TCustomListView(owner) {}
};
