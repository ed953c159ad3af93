// Our simple grid against QTableView over the same store of rows x 10 columns (values
// formatted on access), same size, font and row height, offscreen: one full paint into a
// QImage, then 1,000 page-downs each followed by a full paint. Also the memory each grid
// adds over the store for 1,000 and for 1,000,000 rows (resident size, /proc/self/statm).
// Usage: bench_grids [rows]   (default 1000000)
#include "controls/simplegrid.h"
#include "platform/classes/rtlclasses.h"

#include <QtCore/QAbstractTableModel>
#include <QtGui/QImage>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <vector>

namespace {

constexpr int kCols = 10;
constexpr int kWidth = 1000, kHeight = 700, kRowHeight = 20, kColWidth = 90;

// The store: one number per cell, formatted when read.
struct TStore {
  std::vector<double> Values;
  int Rows = 0;
  explicit TStore(int rows) : Values(size_t(rows) * kCols), Rows(rows) {
    for (size_t i = 0; i < Values.size(); ++i) Values[i] = double(i) * 1.25;
  }
  QString Text(int row, int col) const {
    return QString::number(Values[size_t(row) * kCols + size_t(col)], 'f', 2);
  }
};

class TStoreGrid;

class TStoreVector : public TGridVector {
 public:
  using TGridVector::TGridVector;
  QString GetDisplayText() const override;
};

class TStoreGrid : public TSimpleGrid {
 public:
  TStoreGrid(const TStore& store) : TSimpleGrid(nullptr), Store(store) {
    AfterConstruction();
    for (int c = 0; c < kCols; ++c) {
      auto* v = new TStoreVector(Vectors());
      v->AfterConstruction();
      v->Title()->SetCaption(QStringLiteral("Column %1").arg(c));
    }
    // Our sizes leave the one-pixel grid line out; QTableView's include it.
    SetDefaultColWidth(kColWidth - 1);
    SetDefaultRowHeight(kRowHeight - 1);
    SetFixedVectors(1);
    SetLogicalVectorCount(kCols);
    SetLogicalRecordCount(store.Rows);
  }
  const TStore& Store;
  int Cursor = 0;
  bool DataActive() override { return true; }
  int GetCurrentRecord() override { return GetRecordIndex(); }
  void MoveToRecord(int r) override { Cursor = r; }
  int GetIndicatorGlyph() override { return 2; }
};

QString TStoreVector::GetDisplayText() const {
  auto* g = static_cast<TStoreGrid*>(Grid());
  return g->Store.Text(g->Cursor, Index());
}

class TStoreModel : public QAbstractTableModel {
 public:
  explicit TStoreModel(const TStore& store) : store_(store) {}
  int rowCount(const QModelIndex& p) const override { return p.isValid() ? 0 : store_.Rows; }
  int columnCount(const QModelIndex& p) const override { return p.isValid() ? 0 : kCols; }
  QVariant data(const QModelIndex& i, int role) const override {
    if (role != Qt::DisplayRole) return QVariant();
    return store_.Text(i.row(), i.column());
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (role != Qt::DisplayRole) return QVariant();
    return o == Qt::Horizontal ? QVariant(QStringLiteral("Column %1").arg(section)) : QVariant();
  }

 private:
  const TStore& store_;
};

double Ms(std::chrono::steady_clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

template <class F>
double Median(int runs, F&& f) {
  std::vector<double> t;
  for (int i = 0; i < runs; ++i) {
    const auto s = std::chrono::steady_clock::now();
    f();
    t.push_back(Ms(std::chrono::steady_clock::now() - s));
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

long ResidentKb() {
  std::ifstream f("/proc/self/statm");
  long size = 0, resident = 0;
  f >> size >> resident;
  return resident * 4;  // 4 KiB pages
}

QTableView* MakeView(TStoreModel* model) {
  auto* v = new QTableView;
  v->setModel(model);
  v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  v->verticalHeader()->setDefaultSectionSize(kRowHeight);
  v->verticalHeader()->setFixedWidth(kColWidth);
  v->horizontalHeader()->setDefaultSectionSize(kColWidth);
  v->resize(kWidth, kHeight);
  v->show();
  return v;
}

TStoreGrid* MakeGrid(const TStore& store) {
  auto* g = new TStoreGrid(store);
  g->SetBounds(0, 0, kWidth, kHeight);
  QWidget* w = g->Widget();
  w->resize(kWidth, kHeight);
  w->show();
  QApplication::processEvents();
  auto* area = static_cast<QAbstractScrollArea*>(w);
  g->SetViewportSize(area->viewport()->width(), area->viewport()->height());
  return g;
}

// Memory a grid adds over the store, in KiB, after showing and painting it once.
template <class Make, class Paint>
long Growth(Make&& make, Paint&& paint) {
  const long before = ResidentKb();
  auto* obj = make();
  paint(obj);
  QApplication::processEvents();
  return ResidentKb() - before;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  DescribeRuntimeClasses();
  const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
  QImage image(kWidth, kHeight, QImage::Format_RGB32);

  // Memory first; one grid and one view made beforehand pay the one-time costs (fonts,
  // styles, glyphs, Qt's style objects), so the figures are what another grid adds.
  TStore tiny(10);
  MakeGrid(tiny)->Widget()->render(&image);
  MakeView(new TStoreModel(tiny))->render(&image);
  QApplication::processEvents();
  TStore small(1000);
  const long gridSmall =
      Growth([&] { return MakeGrid(small); }, [&](TStoreGrid* g) { g->Widget()->render(&image); });
  const long viewSmall = Growth([&] { return MakeView(new TStoreModel(small)); },
                                [&](QTableView* v) { v->render(&image); });
  TStore store(rows);
  const long gridLarge =
      Growth([&] { return MakeGrid(store); }, [&](TStoreGrid* g) { g->Widget()->render(&image); });
  const long viewLarge = Growth([&] { return MakeView(new TStoreModel(store)); },
                                [&](QTableView* v) { v->render(&image); });

  TStoreGrid* grid = MakeGrid(store);
  QTableView* view = MakeView(new TStoreModel(store));
  QApplication::processEvents();
  QWidget* gw = grid->Widget();
  auto* gbar = static_cast<QAbstractScrollArea*>(gw)->verticalScrollBar();

  const double gridPaint = Median(21, [&] { gw->render(&image); });
  const double viewPaint = Median(21, [&] { view->render(&image); });

  auto pages = [&](QWidget* w, QScrollBar* bar) {
    const auto s = std::chrono::steady_clock::now();
    for (int i = 0; i < 1000; ++i) {
      bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
      w->render(&image);
    }
    return Ms(std::chrono::steady_clock::now() - s);
  };
  std::vector<double> gp, vp;
  for (int r = 0; r < 3; ++r) {
    grid->ScrollAction(SB_VERT, SB_TOP, 0);
    view->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
    gp.push_back(pages(gw, gbar));
    vp.push_back(pages(view, view->verticalScrollBar()));
  }
  std::sort(gp.begin(), gp.end());
  std::sort(vp.begin(), vp.end());
  const int gridTop = grid->TopRow();
  const int viewTop = view->rowAt(0);

  std::printf("rows %d, %d columns, %dx%d, row height %d\n", rows, kCols, kWidth, kHeight,
              kRowHeight);
  std::printf("full paint        grid %8.3f ms  QTableView %8.3f ms  ratio %.2f\n", gridPaint,
              viewPaint, gridPaint / viewPaint);
  std::printf("1000 page-downs   grid %8.1f ms  QTableView %8.1f ms  ratio %.2f (medians of 3)\n",
              gp[1], vp[1], gp[1] / vp[1]);
  std::printf("after paging      grid top row %d, QTableView top row %d\n", gridTop, viewTop);
  std::printf("memory over store grid %ld KiB (1,000 rows) %ld KiB (%d rows): +%ld KiB\n",
              gridSmall, gridLarge, rows, gridLarge - gridSmall);
  std::printf("                  QTableView %ld KiB (1,000 rows) %ld KiB (%d rows): +%ld KiB\n",
              viewSmall, viewLarge, rows, viewLarge - viewSmall);
  return 0;
}
