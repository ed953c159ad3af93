#include "platform/data/rowset.h"

#include <cstring>

namespace {

// Chunks grow from small to large, so a result of a few rows (a block of a cursor, a lookup)
// takes little, and they are not zero-filled: each byte is written before it is read.
constexpr qsizetype FirstChunkSize = 16 << 10, ChunkSize = 1 << 20;

// Row block: [format byte][null bitmap][end offsets][cell bytes]. Format 0 keeps the offsets
// in 16 bits, format 1 in 32 bits (rows of 64 KiB and more).
struct RowLayout {
  int columns;
  int bitmapBytes() const { return (columns + 7) / 8; }
  static int offsetBytes(char format) { return format == 0 ? 2 : 4; }
};

inline quint32 EndOffset(const char* row, int bitmapBytes, int column) {
  const char* p = row + 1 + bitmapBytes;
  if (row[0] == 0) {
    quint16 v;
    std::memcpy(&v, p + 2 * column, 2);
    return v;
  }
  quint32 v;
  std::memcpy(&v, p + 4 * column, 4);
  return v;
}

}  // namespace

bool Rowset::IsNull(int row, int column) const {
  const char* r = rows_[size_t(row)];
  return (static_cast<unsigned char>(r[1 + column / 8]) >> (column % 8)) & 1;
}

QByteArrayView Rowset::Cell(int row, int column) const {
  const char* r = rows_[size_t(row)];
  const int n = ColumnCount();
  const int bitmap = (n + 7) / 8;
  const quint32 start = column == 0 ? 0 : EndOffset(r, bitmap, column - 1);
  const quint32 end = EndOffset(r, bitmap, column);
  const char* data = r + 1 + bitmap + n * RowLayout::offsetBytes(r[0]);
  return QByteArrayView(data + start, qsizetype(end - start));
}

char* Rowset::Allocate(qsizetype bytes) {
  if (bytes > freeLeft_) {
    const qsizetype grown = chunks_.empty() ? FirstChunkSize : qMin(ChunkSize, allocated_);
    const qsizetype size = bytes > grown / 4 ? bytes : grown;
    chunks_.push_back(std::unique_ptr<char[]>(new char[size_t(size)]));
    allocated_ += size;
    if (size == bytes) {  // a large row gets a chunk of its own; keep the current free run
      return chunks_.back().get();
    }
    free_ = chunks_.back().get();
    freeLeft_ = size;
  }
  char* p = free_;
  free_ += bytes;
  freeLeft_ -= bytes;
  return p;
}

const char* Rowset::Store(const RowsetCell* cells) {
  const int n = ColumnCount();
  const int bitmap = (n + 7) / 8;
  qsizetype data = 0;
  for (int i = 0; i < n; ++i)
    if (!cells[i].null) data += cells[i].size;
  const char format = data < 0x10000 ? 0 : 1;
  const int offBytes = RowLayout::offsetBytes(format);
  char* row = Allocate(1 + bitmap + qsizetype(n) * offBytes + data);
  row[0] = format;
  char* bits = row + 1;
  std::memset(bits, 0, size_t(bitmap));
  char* offsets = bits + bitmap;
  char* out = offsets + n * offBytes;
  quint32 end = 0;
  for (int i = 0; i < n; ++i) {
    const RowsetCell& c = cells[i];
    if (c.null) {
      bits[i / 8] = char(bits[i / 8] | (1 << (i % 8)));
    } else if (c.size > 0) {
      std::memcpy(out + end, c.data, size_t(c.size));
      end += quint32(c.size);
    }
    if (format == 0) {
      const quint16 v = quint16(end);
      std::memcpy(offsets + 2 * i, &v, 2);
    } else {
      std::memcpy(offsets + 4 * i, &end, 4);
    }
  }
  return row;
}

void Rowset::Append(const RowsetCell* cells) { rows_.push_back(Store(cells)); }

void Rowset::Insert(int row, const RowsetCell* cells) {
  rows_.insert(rows_.begin() + row, Store(cells));
}

// The old block stays in its chunk until the rowset is cleared: edits are few next to reads.
void Rowset::Replace(int row, const RowsetCell* cells) { rows_[size_t(row)] = Store(cells); }

void Rowset::Remove(int row) { rows_.erase(rows_.begin() + row); }

void Rowset::Clear() {
  rows_.clear();
  chunks_.clear();
  free_ = nullptr;
  freeLeft_ = 0;
  allocated_ = 0;
}

void Rowset::Reorder(const std::vector<int>& order) {
  std::vector<const char*> rows;
  rows.reserve(order.size());
  for (int i : order) rows.push_back(rows_[size_t(i)]);
  rows_.swap(rows);
}

qsizetype Rowset::BytesUsed() const {
  return allocated_ + qsizetype(rows_.capacity() * sizeof(const char*));
}
