#pragma once
// A stable merge sort whose every index is bounds-checked, so a comparison callback that
// contradicts itself (scripts and plug-ins supply them) gives some order, never a crash.
// The library sorts assume a consistent comparison and may run off the range otherwise.
#include <algorithm>
#include <utility>
#include <vector>

template <class T, class Less>
void SafeStableSort(std::vector<T>& items, Less less) {
  const size_t n = items.size();
  constexpr size_t kRun = 16;
  // Insertion sort of short runs.
  for (size_t lo = 0; lo < n; lo += kRun) {
    const size_t hi = std::min(n, lo + kRun);
    for (size_t i = lo + 1; i < hi; ++i) {
      T value = std::move(items[i]);
      size_t j = i;
      while (j > lo && less(value, items[j - 1])) {
        items[j] = std::move(items[j - 1]);
        --j;
      }
      items[j] = std::move(value);
    }
  }
  // Bottom-up merges; on equal keys the left run goes first.
  std::vector<T> buffer(n);
  for (size_t width = kRun; width < n; width *= 2) {
    for (size_t lo = 0; lo < n; lo += 2 * width) {
      const size_t mid = std::min(n, lo + width);
      const size_t hi = std::min(n, lo + 2 * width);
      size_t a = lo, b = mid, out = lo;
      while (a < mid && b < hi)
        buffer[out++] = less(items[b], items[a]) ? std::move(items[b++]) : std::move(items[a++]);
      while (a < mid) buffer[out++] = std::move(items[a++]);
      while (b < hi) buffer[out++] = std::move(items[b++]);
    }
    items.swap(buffer);
  }
}
