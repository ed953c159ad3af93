#pragma once
// Finds colour control words with a numeric parameter in RTF text, so that their numbers
// can be rewritten in place. Positions are 1-based.
#include <QtCore/QString>

#include <array>

namespace orvReps_RtfScan {

// Ordered by length: FindKeyword relies on it.
inline constexpr std::array<const char*, 14> RtfColorKeywords = {
    "cb",      "cf",      "acf",     "pncf",    "cfpat",     "cbpat",      "brdrcf",
    "clcbpat", "clcfpat", "chcfpat", "chcbpat", "highlight", "clcbpatraw", "clcfpatraw"};

// The index of the next listed word with a numeric parameter at or after pos, or -1. On
// success param is the parameter ("-" and digits) and pos the position of its last
// character. A parameter that runs to the end of the text is not reported.
int NextColorParam(QString& param, const QString& text, int& pos, int state);
// The index of the keyword equal to text[first..last], or -1.
int FindKeyword(const QString& text, int first, int last);

}  // namespace orvReps_RtfScan
