#pragma once
// The grid's widget: a QAbstractScrollArea whose viewport paints the core through a
// QPainter-backed TCanvas, whose bars report their actions to ScrollAction as codes, and
// whose QLineEdit shows the core's editor. The core never reads the widget back.
class QWidget;
class TCustomGrid;

namespace gridwidget {
QWidget* Create(TCustomGrid* grid, QWidget* parent);
// Ranges, positions and visibility of the bars from the core.
void SyncScrollBars(TCustomGrid* grid, QWidget* widget);
// The line editor shown, placed and filled as the core's editor state says.
void SyncEditor(TCustomGrid* grid, QWidget* widget);
// The line editor of the grid's widget (nullptr before one was needed).
QWidget* EditorWidget(QWidget* widget);
}  // namespace gridwidget
