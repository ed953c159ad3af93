#include "stringlist.h"

#include "exceptions.h"
#include "stablesort_p.h"
#include "streams.h"
#include "stringfuncs.h"

#include <algorithm>
#include <numeric>

namespace {

bool IsBlankOrControl(QChar c) { return c.unicode() <= 32; }

}  // namespace

// ---- TStrings ----

void TStrings::ListIndexError(int index) {
  throw EStringListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

void TStrings::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) ListIndexError(index);
}

void TStrings::Put(int index, const QString& s) {
  TObject* object = GetObject(index);
  Delete(index);
  InsertObject(index, s, object);
}

TObject* TStrings::GetObject(int index) const {
  CheckIndex(index);
  return nullptr;
}

void TStrings::PutObject(int index, TObject* object) {
  (void)index;
  (void)object;
}

void TStrings::InsertObject(int index, const QString& s, TObject* object) {
  Insert(index, s);
  PutObject(index, object);
}

int TStrings::Add(const QString& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const QString& s, TObject* object) {
  const int index = Add(s);
  PutObject(index, object);
  return index;
}

void TStrings::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  BeginUpdate();
  const QString s = Get(index1);
  TObject* o = GetObject(index1);
  Put(index1, Get(index2));
  PutObject(index1, GetObject(index2));
  Put(index2, s);
  PutObject(index2, o);
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  BeginUpdate();
  const QString s = Get(curIndex);
  TObject* o = GetObject(curIndex);
  Delete(curIndex);
  InsertObject(newIndex, s, o);
  EndUpdate();
}

int TStrings::IndexOf(const QString& s) const {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    if (CompareStrings(Get(i), s) == 0) return i;
  }
  return -1;
}

int TStrings::CompareStrings(const QString& a, const QString& b) const {
  return AnsiCompareText(a, b);
}

void TStrings::AddStrings(const TStrings* strings) {
  if (strings == nullptr) return;
  BeginUpdate();
  const int n = strings->Count();  // read first: adding a list to itself doubles it once
  for (int i = 0; i < n; ++i) AddObject(strings->Get(i), strings->GetObject(i));
  EndUpdate();
}

void TStrings::AddStrings(const QStringList& strings) {
  BeginUpdate();
  for (const QString& s : strings) Add(s);
  EndUpdate();
}

void TStrings::Assign(TPersistent* source) {
  auto* strings = dynamic_cast<TStrings*>(source);
  if (strings == nullptr) {
    TPersistent::Assign(source);
    return;
  }
  if (strings == this) return;
  BeginUpdate();
  Clear();
  AddStrings(strings);
  EndUpdate();
}

bool TStrings::Equals(const TStrings* other) const {
  if (other == nullptr || other->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i) {
    if (Get(i) != other->Get(i)) return false;
  }
  return true;
}

int TStrings::IndexOfName(const QString& name) const {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    const QString s = Get(i);
    const qsizetype p = s.indexOf(nameValueSeparator_);
    if (p >= 0 && CompareStrings(s.left(p), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(const TObject* object) const {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    if (GetObject(i) == object) return i;
  }
  return -1;
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  if (updateCount_ == 0) return;
  if (--updateCount_ == 0) SetUpdateState(false);
}

QString TStrings::Names(int index) const {
  const QString s = Get(index);
  const qsizetype p = s.indexOf(nameValueSeparator_);
  return p >= 0 ? s.left(p) : QString();
}

QString TStrings::Values(const QString& name) const {
  const int index = IndexOfName(name);
  return index >= 0 ? ValueFromIndex(index) : QString();
}

void TStrings::SetValues(const QString& name, const QString& value) {
  const int index = IndexOfName(name);
  if (value.isEmpty()) {
    if (index >= 0) Delete(index);
  } else if (index < 0) {
    Add(name + nameValueSeparator_ + value);
  } else {
    Put(index, name + nameValueSeparator_ + value);
  }
}

QString TStrings::ValueFromIndex(int index) const {
  const QString s = Get(index);
  const qsizetype p = s.indexOf(nameValueSeparator_);
  return p >= 0 ? s.mid(p + 1) : QString();
}

void TStrings::SetValueFromIndex(int index, const QString& value) {
  if (value.isEmpty()) {
    Delete(index);
  } else {
    Put(index, Names(index) + nameValueSeparator_ + value);
  }
}

QString TStrings::DelimitedTextWith(QChar delimiter, QChar quote, bool strict) const {
  const int n = Count();
  if (n == 1 && Get(0).isEmpty()) return QString(2, quote);
  QString result;
  for (int i = 0; i < n; ++i) {
    const QString s = Get(i);
    const bool quoteIt = std::any_of(s.begin(), s.end(), [&](QChar c) {
      return c == delimiter || c == quote || (!strict && IsBlankOrControl(c));
    });
    if (i > 0) result += delimiter;
    result += quoteIt ? AnsiQuotedStr(s, quote) : s;
  }
  return result;
}

void TStrings::SetDelimitedTextWith(const QString& text, QChar delimiter, QChar quote,
                                    bool strict) {
  // Blanks separate items unless strict; a quoted item ends at its closing quote, and what
  // follows it up to the next delimiter is an item of its own. A NUL is a blank too: an item
  // ends at it, so skipping it is what moves the scan on.
  auto isSpace = [&](qsizetype i) { return !strict && i < text.size() && text[i].unicode() <= 32; };
  BeginUpdate();
  Clear();
  qsizetype p = 0;
  const qsizetype n = text.size();
  while (isSpace(p)) ++p;
  while (p < n) {
    QString item;
    if (text[p] == quote) {
      ++p;
      while (p < n) {
        if (text[p] == quote) {
          if (p + 1 < n && text[p + 1] == quote) {
            item += quote;
            p += 2;
            continue;
          }
          ++p;
          break;
        }
        item += text[p++];
      }
    } else {
      const qsizetype start = p;
      while (p < n && text[p] != delimiter && (strict || text[p].unicode() > 32)) ++p;
      item = text.mid(start, p - start);
    }
    Add(item);
    while (isSpace(p)) ++p;
    if (p < n && text[p] == delimiter) {
      if (p + 1 == n) Add(QString());
      ++p;
      while (isSpace(p)) ++p;
    }
  }
  EndUpdate();
}

QString TStrings::DelimitedText() const {
  return DelimitedTextWith(delimiter_, quoteChar_, strictDelimiter_);
}

void TStrings::SetDelimitedText(const QString& text) {
  SetDelimitedTextWith(text, delimiter_, quoteChar_, strictDelimiter_);
}

QString TStrings::CommaText() const {
  return DelimitedTextWith(QLatin1Char(','), QLatin1Char('"'), false);
}

void TStrings::SetCommaText(const QString& text) {
  SetDelimitedTextWith(text, QLatin1Char(','), QLatin1Char('"'), false);
}

QString TStrings::Text() const {
  const int n = Count();
  QStringList lines;
  lines.reserve(n);
  qsizetype size = 0;
  for (int i = 0; i < n; ++i) {
    lines << Get(i);
    size += lines.back().size() + lineBreak_.size();
  }
  QString result;
  result.reserve(size);
  for (const QString& line : lines) {
    result += line;
    result += lineBreak_;
  }
  return result;
}

void TStrings::SetText(const QString& text) {
  BeginUpdate();
  Clear();
  const qsizetype n = text.size();
  qsizetype p = 0;
  while (p < n) {
    const qsizetype start = p;
    while (p < n && text[p] != QLatin1Char('\r') && text[p] != QLatin1Char('\n')) ++p;
    Add(text.mid(start, p - start));
    if (p < n && text[p] == QLatin1Char('\r')) ++p;
    if (p < n && text[p] == QLatin1Char('\n')) ++p;
  }
  EndUpdate();
}

void TStrings::LoadFromFile(const QString& fileName) {
  TFileStream file(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::LoadFromStream(TStream* stream) {
  const TDecodedText decoded = DecodeTextFile(stream->ReadRest());
  encoding_ = decoded.encoding;
  SetText(decoded.text);
}

void TStrings::SaveToFile(const QString& fileName) {
  WriteFileAtomically(fileName, EncodeTextFile(Text(), encoding_));
}

void TStrings::SaveToStream(TStream* stream) {
  stream->WriteBuffer(EncodeTextFile(Text(), encoding_));
}

QStringList TStrings::ToStringList() const {
  QStringList result;
  const int n = Count();
  result.reserve(n);
  for (int i = 0; i < n; ++i) result << Get(i);
  return result;
}

// ---- TStringList ----

TStringList::~TStringList() = default;

QString TStringList::Get(int index) const {
  CheckIndex(index);
  return items_[index].text;
}

void TStringList::CheckNotSorted() const {
  if (sorted_) throw EStringListError(QStringLiteral("Operation not allowed on sorted list"));
}

void TStringList::Put(int index, const QString& s) {
  CheckNotSorted();
  CheckIndex(index);
  NotifyChanging();
  items_[index].text = s;
  NotifyChanged();
}

TObject* TStringList::GetObject(int index) const {
  CheckIndex(index);
  return items_[index].object;
}

void TStringList::PutObject(int index, TObject* object) {
  CheckIndex(index);
  NotifyChanging();
  items_[index].object = object;
  NotifyChanged();
}

void TStringList::InsertItem(int index, const QString& s, TObject* object) {
  NotifyChanging();
  items_.insert(index, TStringItem{s, object});
  NotifyChanged();
}

void TStringList::Insert(int index, const QString& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const QString& s, TObject* object) {
  CheckNotSorted();
  if (index < 0 || index > Count()) ListIndexError(index);
  InsertItem(index, s, object);
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  NotifyChanging();
  items_.remove(index);
  NotifyChanged();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  NotifyChanging();
  items_ = QList<TStringItem>();
  NotifyChanged();
}

int TStringList::Add(const QString& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const QString& s, TObject* object) {
  int index = Count();
  if (sorted_) {
    if (Find(s, index)) {
      switch (duplicates_) {
        case dupIgnore: return index;
        case dupError:
          throw EStringListError(QStringLiteral("String list does not allow duplicates"));
        case dupAccept:
          // After the equal lines, so lines added later stay later.
          while (index < Count() && CompareStrings(items_[index].text, s) == 0) ++index;
          break;
      }
    }
  }
  InsertItem(index, s, object);
  return index;
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  NotifyChanging();
  std::swap(items_[index1], items_[index2]);
  NotifyChanged();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckNotSorted();
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  NotifyChanging();
  auto cur = items_.begin() + curIndex;
  auto dst = items_.begin() + newIndex;
  if (curIndex < newIndex) {
    std::rotate(cur, cur + 1, dst + 1);
  } else {
    std::rotate(dst, cur, cur + 1);
  }
  NotifyChanged();
}

int TStringList::IndexOf(const QString& s) const {
  if (!sorted_) return TStrings::IndexOf(s);
  int index = 0;
  return Find(s, index) ? index : -1;
}

int TStringList::CompareStrings(const QString& a, const QString& b) const {
  return caseSensitive_ ? AnsiCompareStr(a, b) : AnsiCompareText(a, b);
}

bool TStringList::Find(const QString& s, int& index) const {
  int low = 0, high = Count() - 1;
  bool found = false;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int c = CompareStrings(items_[mid].text, s);
    if (c < 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (c == 0) found = true;
    }
  }
  index = low;
  return found;
}

void TStringList::SortItems(const std::function<bool(int, int)>& less) {
  if (items_.size() < 2) return;
  NotifyChanging();
  std::vector<int> order(items_.size());
  std::iota(order.begin(), order.end(), 0);
  SafeStableSort(order, less);
  QList<TStringItem> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[i]));
  items_.swap(sorted);
  NotifyChanged();
}

void TStringList::Sort() {
  SortItems([this](int a, int b) { return CompareStrings(items_[a].text, items_[b].text) < 0; });
}

void TStringList::CustomSort(const TStringListSortCompare& compare) {
  // The list stays as it is while comparing, so the callback may read any line.
  SortItems([this, &compare](int a, int b) { return compare(this, a, b) < 0; });
}

void TStringList::SetSorted(bool value) {
  if (value == sorted_) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (value == caseSensitive_) return;
  caseSensitive_ = value;
  if (sorted_) Sort();
}

void TStringList::SetUpdateState(bool updating) {
  if (updating) {
    Changing();
  } else {
    Changed();
  }
}
