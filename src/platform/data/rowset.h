#pragma once
// Rowset: the rows of a result kept compactly. Each row is one block of bytes: a null bitmap,
// the end offsets of its cells and the cells' bytes (the server's text form, or raw bytes
// for binary columns). No per-cell objects; texts become QString only when read.
#include "platform/data/fieldtypes.h"

#include <QtCore/QByteArrayView>
#include <QtCore/QString>

#include <memory>
#include <vector>

struct RowsetColumn {
  QString name;
  unsigned typeOid = 0;  // the server's type, 0 for columns made by the program
  int typeMod = -1;
  TFieldType type = ftUnknown;
  int size = 0;  // characters of a string column; scale of a numeric one
  int precision = 0;
  bool binary = false;    // cells hold raw bytes, not text
  unsigned tableOid = 0;  // the table a column is read from (0 for expressions)
  int tableColumn = 0;    // its column number in that table
};

// One cell handed to the rowset when a row is stored.
struct RowsetCell {
  const char* data = nullptr;
  qsizetype size = 0;
  bool null = true;
};

class Rowset {
 public:
  Rowset() = default;
  explicit Rowset(std::vector<RowsetColumn> columns) : columns_(std::move(columns)) {}
  Rowset(const Rowset&) = delete;
  Rowset& operator=(const Rowset&) = delete;

  const std::vector<RowsetColumn>& Columns() const { return columns_; }
  std::vector<RowsetColumn>& Columns() { return columns_; }
  int ColumnCount() const { return int(columns_.size()); }
  int RowCount() const { return int(rows_.size()); }

  bool IsNull(int row, int column) const;
  QByteArrayView Cell(int row, int column) const;  // empty for Null

  // Rows are stored from exactly ColumnCount() cells.
  void Append(const RowsetCell* cells);
  void Insert(int row, const RowsetCell* cells);
  void Replace(int row, const RowsetCell* cells);
  void Remove(int row);
  void Clear();
  // Moves row `from` to position `to` (used by local sorting).
  void Reorder(const std::vector<int>& order);  // new row i is old row order[i]

  // Bytes held, row table included (for the memory figures of the benchmark).
  qsizetype BytesUsed() const;

 private:
  const char* Store(const RowsetCell* cells);
  char* Allocate(qsizetype bytes);

  std::vector<RowsetColumn> columns_;
  std::vector<const char*> rows_;
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* free_ = nullptr;
  qsizetype freeLeft_ = 0;
  qsizetype allocated_ = 0;
};
