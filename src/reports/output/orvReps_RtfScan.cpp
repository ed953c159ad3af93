#include "reports/output/orvReps_RtfScan.h"

#include <cstring>

namespace orvReps_RtfScan {
namespace {

enum : int {
  rsText,
  rsDelimiter,
  rsGroupOpen,
  rsGroupClose,
  rsBackslash,
  rsWord,
  rsBadWord,
  rsParam,
  rsEscapedChar,
  rsHex1,
  rsHex2,
  rsHexDone
};

constexpr int CharClass(char16_t c) {
  if (c >= 'g' && c <= 'z') return 0;
  if (c >= 'G' && c <= 'Z') return 1;
  if (c == ' ') return 3;
  if (c == '\r' || c == '\n') return 4;
  if (c == '{') return 5;
  if (c == '}') return 6;
  if (c == '\\') return 7;
  if (c == '-' || (c >= '0' && c <= '9')) return 8;
  if (c >= 'A' && c <= 'F') return 9;
  if (c >= 'a' && c <= 'f') return 10;
  if (c == '\'') return 11;
  return 2;
}

constexpr int kTransitions[12][12] = {
    {0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0},
    {0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0},
    {5, 6, 1, 1, 1, 8, 8, 8, 1, 6, 5, 9},
    {5, 6, 6, 1, 1, 2, 3, 4, 7, 6, 5, 0},
    {6, 6, 0, 1, 1, 2, 3, 4, 6, 6, 6, 0},
    {0, 0, 0, 1, 1, 2, 3, 4, 7, 0, 0, 0},
    {0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0},
    {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
    {11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 11},
    {0, 0, 0, 0, 1, 2, 3, 4, 0, 0, 0, 0},
};

}  // namespace

int FindKeyword(const QString& text, int first, int last) {
  const int n = last - first + 1;
  const int shortest = static_cast<int>(std::strlen(RtfColorKeywords.front()));
  const int longest = static_cast<int>(std::strlen(RtfColorKeywords.back()));
  if (n < shortest || n > longest || first < 1 || last > text.size()) return -1;
  for (int k = 0; k < static_cast<int>(RtfColorKeywords.size()); ++k) {
    const int len = static_cast<int>(std::strlen(RtfColorKeywords[k]));
    if (len > n) return -1;
    if (len == n && QStringView(text).mid(first - 1, n) == QLatin1String(RtfColorKeywords[k]))
      return k;
  }
  return -1;
}

int NextColorParam(QString& param, const QString& text, int& pos, int state) {
  if (text.size() < pos || pos < 1) return -1;
  int result = -1;
  for (int i = pos; i <= text.size(); ++i) {
    const int next = kTransitions[state][CharClass(text[i - 1].unicode())];
    if (next != state) {
      if (state == rsParam && result >= 0) {
        param = text.mid(pos - 1, i - pos);
        pos = i - 1;
        return result;
      }
      if (next == rsWord) {
        pos = i;
      } else if (next == rsParam) {
        result = FindKeyword(text, pos, i - 1);
        if (result >= 0) pos = i;
      }
    }
    state = next;
  }
  return -1;
}

}  // namespace orvReps_RtfScan
