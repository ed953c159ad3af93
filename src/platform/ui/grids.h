#pragma once
// The base grid. Everything it does (geometry, current cell, scrolling, painting through
// DrawCell on a TCanvas, keys, mouse, the in-place editor's state) works without a widget;
// the widget (gridwidget.cpp) is a painted QAbstractScrollArea that follows the core.
//
// Scrolling is by whole cells: TopRow and LeftCol are the first scrolled row and column
// after the fixed ones. Column widths and row heights are kept only where they differ from
// the defaults, so a grid of a million rows costs no more than one of ten.
//
// Bar actions reach ScrollAction(bar, code, pos) with the classic codes, so a descendant that
// drives a bar itself (data grids scroll their dataset, not rows) overrides one method.
#include "controls.h"
#include "gridwidget.h"

#include <map>

ORV_ENUM(TGridOption, goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect,
         goDrawFocusSelected, goRowSizing, goColSizing, goRowMoving, goColMoving, goEditing, goTabs,
         goRowSelect, goAlwaysShowEditor, goThumbTracking)
ORV_SET(TGridOptions, TGridOption)
ORV_ENUM(TGridDrawStateItem, gdSelected, gdFocused, gdFixed)
ORV_SET(TGridDrawState, TGridDrawStateItem)
ORV_ENUM(TGridState, gsNormal, gsSelecting, gsRowSizing, gsColSizing, gsRowMoving, gsColMoving)

ORV_DECLARE_EXCEPTION(EGridError, Exception)

ORV_EVENT(TDrawCellEvent, void(TObject*, int, int, TRect, TGridDrawState),
          "procedure(Sender: TObject; ACol: Integer; ARow: Integer; Rect: TRect; State: "
          "TGridDrawState)")
ORV_EVENT(TSelectCellEvent, void(TObject*, int, int, bool&),
          "procedure(Sender: TObject; ACol: Integer; ARow: Integer; var CanSelect: Boolean)")

// Scroll bars and their action codes.
enum : int { SB_HORZ = 0, SB_VERT = 1 };
enum : int {
  SB_LINEUP = 0,
  SB_LINEDOWN = 1,
  SB_PAGEUP = 2,
  SB_PAGEDOWN = 3,
  SB_THUMBPOSITION = 4,
  SB_THUMBTRACK = 5,
  SB_TOP = 6,
  SB_BOTTOM = 7,
  SB_ENDSCROLL = 8,
};

struct TGridCoord {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

class TCustomGrid : public TCustomControl {
  ORV_CLASS(TCustomGrid, TCustomControl)
  explicit TCustomGrid(TComponent* owner);
  ~TCustomGrid() override;

  // ---- Geometry
  int ColCount() const { return colCount_; }
  void SetColCount(int v);
  int RowCount() const { return rowCount_; }
  void SetRowCount(int v);
  int FixedCols() const { return fixedCols_; }
  void SetFixedCols(int v);
  int FixedRows() const { return fixedRows_; }
  void SetFixedRows(int v);
  int DefaultColWidth() const { return defaultColWidth_; }
  void SetDefaultColWidth(int v);
  int DefaultRowHeight() const { return defaultRowHeight_; }
  void SetDefaultRowHeight(int v);
  int ColWidths(int col) const;
  void SetColWidths(int col, int width);
  int RowHeights(int row) const;
  void SetRowHeights(int row, int height);
  int GridLineWidth() const { return gridLineWidth_; }
  void SetGridLineWidth(int v);
  // The cell's rectangle in client coordinates; empty when the cell is not visible.
  TRect CellRect(int col, int row) const;
  // The cell under the point, or {-1, -1}.
  TGridCoord MouseCoord(int x, int y) const;
  void MouseToCell(int x, int y, int& col, int& row) const;
  // Scrolled rows and columns that fit whole in the client area.
  int VisibleRowCount() const;
  int VisibleColCount() const;
  int TopRow() const { return topRow_; }
  void SetTopRow(int v);
  int LeftCol() const { return leftCol_; }
  void SetLeftCol(int v);
  // The client size the grid lays out in (the viewport once there is a widget).
  int GridWidth() const;
  int GridHeight() const;
  void SetViewportSize(int w, int h);

  // ---- Current cell and selection
  int Col() const { return col_; }
  void SetCol(int v) { FocusCell(v, row_, true); }
  int Row() const { return row_; }
  void SetRow(int v) { FocusCell(col_, v, true); }
  // Moves the current cell when SelectCell allows it; raises EGridError out of range.
  void FocusCell(int col, int row, bool moveAnchor);
  TGridCoord Anchor() const { return anchor_; }
  TGridOptions Options() const { return options_; }
  virtual void SetOptions(TGridOptions v);
  TGridState GridState() const { return state_; }
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle v);

  // ---- Scrolling
  // A bar action; the default scrolls TopRow (SB_VERT) or LeftCol (SB_HORZ).
  virtual void ScrollAction(int bar, int code, int pos);
  // Brings the bars in line with the scroll position and range (the widget shows them).
  virtual void UpdateScrollBars();
  // The range and position of a bar, in scrolled rows or columns.
  void ScrollRange(int bar, int& max, int& pos, int& page) const;
  // Makes the current cell visible.
  void MoveToCurrentVisible();

  // ---- Painting
  void Paint() override;
  void InvalidateCell(int col, int row);
  void InvalidateRow(int row);
  void InvalidateCol(int col);
  TColor FixedColor() const { return fixedColor_; }
  void SetFixedColor(TColor v);

  // ---- Editor
  bool EditorMode() const { return editorMode_; }
  void SetEditorMode(bool v);
  void ShowEditor();
  void HideEditor();
  // The text in the editor and whether the user changed it since it was shown.
  const QString& EditorText() const { return editText_; }
  bool EditorModified() const { return editModified_; }
  // Text typed or pasted into the editor: every change reaches SetEditText.
  void EditorTextChanged(const QString& text);
  // A character typed into the editor: false when the filter or the length refused it.
  virtual bool EditorKeyPress(QChar ch);
  // Ends editing; the text reaches CommitEditText when it was modified.
  void CommitEditor();
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v) { readOnly_ = v; }

  // ---- Input (the widget and tests call these)
  void KeyDown(quint16& key, TShiftState shift) override;
  void DoMouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoMouseMove(TShiftState shift, int x, int y) override;
  // Wheel steps: true when handled.
  virtual bool DoMouseWheelDown(TShiftState shift, TPoint pos);
  virtual bool DoMouseWheelUp(TShiftState shift, TPoint pos);
  void DoEnter() override;
  void DoExit() override;

  // Moves a column or row as dragging it does.
  void MoveColumn(int from, int to);
  void MoveRow(int from, int to);

 protected:
  virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
  virtual bool SelectCell(int col, int row);
  virtual void ColumnMoved(int from, int to) {
    (void)from;
    (void)to;
  }
  virtual void RowMoved(int from, int to) {
    (void)from;
    (void)to;
  }
  virtual void ColWidthsChanged() {}
  virtual void RowHeightsChanged() {}
  virtual void TopLeftChanged() {}
  // After the layout (sizes, counts, scroll position) changed.
  virtual void VisualChange();
  virtual void LayoutChanged() {}
  virtual void WindowCreated() {}
  // Editor hooks.
  virtual QString GetEditText(int col, int row) {
    (void)col;
    (void)row;
    return QString();
  }
  virtual void SetEditText(int col, int row, const QString& text) {
    (void)col;
    (void)row;
    (void)text;
  }
  virtual void CommitEditText(int col, int row, const QString& text) {
    (void)col;
    (void)row;
    (void)text;
  }
  virtual QString GetEditMask(int col, int row) {
    (void)col;
    (void)row;
    return QString();
  }
  virtual bool CanEditShow();
  virtual bool CanEditModify() { return !readOnly_; }
  virtual bool CanAcceptKey(QChar ch) {
    (void)ch;
    return true;
  }
  virtual int GetMaxLength() { return 0; }
  virtual QChar GetPasswordChar() { return QChar(); }
  // The widget follows the editor state (shown, text, bounds).
  virtual void UpdateEditor();
  QWidget* CreateWidget(QWidget* parentWidget) override;

  friend class TGridWidget;
  friend void gridwidget::SyncEditor(TCustomGrid* grid, QWidget* widget);

 private:
  void CheckCol(int col) const;
  void CheckRow(int row) const;
  void ClampScroll();
  int RowsFitFrom(int top) const;
  int ColsFitFrom(int left) const;
  int MaxTopRow() const;
  int MaxLeftCol() const;
  int FixedWidth() const;
  int FixedHeight() const;
  int ColAt(int x) const;
  int RowAt(int y) const;
  void Changed();
  void MoveCurrentBy(int dcol, int drow);
  static void ShiftSizes(std::map<int, int>& sizes, int from, int to);

  int colCount_ = 5;
  int rowCount_ = 5;
  int fixedCols_ = 1;
  int fixedRows_ = 1;
  int defaultColWidth_ = 64;
  int defaultRowHeight_ = 24;
  int gridLineWidth_ = 1;
  std::map<int, int> colWidths_;
  std::map<int, int> rowHeights_;
  int topRow_ = 1;
  int leftCol_ = 1;
  int col_ = 1;
  int row_ = 1;
  TGridCoord anchor_{1, 1};
  TGridOptions options_{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
  TGridState state_ = gsNormal;
  TScrollStyle scrollBars_ = ssBoth;
  TColor fixedColor_ = clBtnFace;
  int viewportW_ = -1;
  int viewportH_ = -1;
  bool editorMode_ = false;
  bool editModified_ = false;
  bool readOnly_ = false;
  QString editText_;
  int sizingIndex_ = -1;
  int sizingStart_ = 0;
  int sizingOrigin_ = 0;
  int moveFrom_ = -1;
};

// A grid of texts for screens: Cells[col, row], OnDrawCell, OnSelectCell.
class TStringGrid : public TCustomGrid {
  ORV_CLASS(TStringGrid, TCustomGrid)
  explicit TStringGrid(TComponent* owner);
  QString Cells(int col, int row) const;
  void SetCells(int col, int row, const QString& text);

  TDrawCellEvent OnDrawCell;
  TSelectCellEvent OnSelectCell;

 protected:
  void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
  bool SelectCell(int col, int row) override;
  QString GetEditText(int col, int row) override { return Cells(col, row); }
  void SetEditText(int col, int row, const QString& text) override { SetCells(col, row, text); }
  void ColumnMoved(int from, int to) override;

 private:
  std::map<std::pair<int, int>, QString> cells_;
};
