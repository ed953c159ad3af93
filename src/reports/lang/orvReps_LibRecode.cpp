// Six fixed 256-entry tables between code page 1251, 866, KOI8-R and KOI8-U. The letters come
// from the runtime's code-page converter; the rest follows the report generator's own rules.
#include "platform/rtl/codepage.h"
#include "reports/lang/orvReps_Lib.h"

#include <array>
#include <initializer_list>

namespace orvReps_Lib {

namespace {

using Table = std::array<uchar, 256>;

struct Replace {
  uchar to;
  std::initializer_list<uchar> bytes;
};

void Apply(Table& t, std::initializer_list<Replace> rules) {
  for (const Replace& r : rules)
    for (uchar b : r.bytes) t[b] = r.to;
}

// Every byte of `from` whose character `to` has maps to that character's byte; others to
// the byte itself (the callers replace those).
Table Mapped(TCodePage from, TCodePage to, int first = 0x80) {
  Table t;
  for (int b = 0; b < 256; ++b) {
    t[b] = static_cast<uchar>(b);
    if (b < first) continue;
    const int k = CharCode(CodePageChar(from, static_cast<uchar>(b)), to);
    if (k >= 0) t[b] = static_cast<uchar>(k);
  }
  return t;
}

Table AnsiToKoi8() {
  Table t = Mapped(TCodePage::Cp1251, TCodePage::Koi8R, 0xC0);  // the letters А..я
  // Ё and ё both go to their KOI8 codes; the other signs of 0x80..0xBF stay as they are.
  Apply(t, {{0xB3, {0xA8}}, {0xA3, {0xB8}}, {0x20, {0xA0}}, {0x97, {0xB9}}});
  return t;
}

Table AnsiToDos() {
  Table t = Mapped(TCodePage::Cp1251, TCodePage::Cp866);
  Apply(t, {{0x5F, {0x80, 0x81, 0x83, 0x88, 0x8A, 0x8C, 0x8D, 0x8E, 0x8F, 0x90, 0x98, 0x9A,
                    0x9C, 0x9D, 0x9E, 0x9F, 0xA3, 0xA5, 0xB2, 0xB3, 0xB4, 0xBC, 0xBD, 0xBE}},
            {0x27, {0x82, 0x91, 0x92}},
            {0x22, {0x84, 0x93, 0x94}},
            {0x2D, {0x96, 0x97, 0xAD}},
            {0x3C, {0x8B, 0xAB}},
            {0x3E, {0x9B, 0xBB}},
            {0x3A, {0x85}},
            {0x25, {0x89}},
            {0x54, {0x99}},
            {0x52, {0xAE}},
            {0x63, {0xA9}},
            {0x2B, {0xB1}},
            {0x07, {0x95}},
            {0x14, {0xB6}},
            {0x15, {0xA7}},
            {0xB3, {0xA6}},
            {0xBF, {0xAC}},
            {0xC5, {0x86}},
            {0xD8, {0x87}},
            {0xE7, {0xB5}}});
  return t;
}

Table Koi8ToAnsi(TCodePage koi8) {
  Table t = Mapped(TCodePage::Koi8R, TCodePage::Cp1251, 0xC0);
  Apply(t, {{0xB8, {0xA3}},
            {0xA8, {0xB3}},
            {0xB0, {0x9C}},
            {0xB7, {0x9E}},
            {0xA9, {0xBF}},
            {0x20, {0x9A}},
            {0x95, {0x95}},
            {0x2D, {0x80, 0x82, 0x85, 0x8B, 0x8C, 0x8D, 0x90, 0x91, 0x92, 0xA2, 0xAC, 0xAD, 0xAE}},
            {0xA6,
             {0x81, 0x8E, 0x8F, 0x94, 0xA1, 0xAF, 0xB0, 0xB1, 0xB2, 0xB4, 0xB5, 0xB9, 0xBA, 0xBB}},
            {0x2B, {0x86, 0x87, 0x89, 0x8A, 0xBC, 0xBD, 0xBE}},
            {0x3F, {0x93, 0x97, 0x98, 0x99, 0x9B, 0x9D, 0x9F}},
            {0x4C, {0x84, 0xA9, 0xAA, 0xAB}},
            {0x54, {0x88, 0xB6, 0xB7, 0xB8}},
            {0xAC, {0x83, 0xA6, 0xA7, 0xA8}},
            {0xE3, {0xA4, 0xA5}},
            {0x3D, {0xA0}},
            {0x76, {0x96}}});
  if (koi8 == TCodePage::Koi8U)
    Apply(t, {{0xBA, {0xA4}},
              {0xB3, {0xA6}},
              {0xBF, {0xA7}},
              {0xB4, {0xAD}},
              {0xAA, {0xB4}},
              {0xB2, {0xB6}},
              {0xAF, {0xB7}},
              {0xA5, {0xBD}},
              {0xA2, {0xAE}},
              {0xA1, {0xBE}}});
  return t;
}

Table DosToAnsi() {
  Table t = Mapped(TCodePage::Cp866, TCodePage::Cp1251);
  Apply(t, {{0x20, {0xFF}},
            {0x2D, {0xB0, 0xB1, 0xB2, 0xBC, 0xBD, 0xBE, 0xC4, 0xD5, 0xD9, 0xDA, 0xDB, 0xDC, 0xDF}},
            {0xA6,
             {0xB3, 0xB5, 0xB6, 0xB9, 0xBA, 0xC6, 0xC7, 0xCA, 0xCC, 0xCF, 0xD0, 0xDD, 0xDE, 0xFE}},
            {0x2B, {0xB4, 0xC1, 0xC3, 0xC5, 0xCE, 0xD7, 0xD8}},
            {0x4C, {0xC0, 0xC8, 0xD3, 0xD4}},
            {0x54, {0xC2, 0xCB, 0xD1, 0xD2}},
            {0xAC, {0xB7, 0xB8, 0xBB, 0xBF}},
            {0xE3, {0xC9, 0xD6}},
            {0x3D, {0xCD}},
            {0x95, {0xF9}},
            {0x76, {0xFB}}});
  return t;
}

const std::array<Table, 6>& Tables() {
  static const std::array<Table, 6> tables = {AnsiToKoi8(),
                                              AnsiToKoi8(),
                                              AnsiToDos(),
                                              Koi8ToAnsi(TCodePage::Koi8R),
                                              Koi8ToAnsi(TCodePage::Koi8U),
                                              DosToAnsi()};
  return tables;
}

}  // namespace

int RecodeKindByName(const QString& word) {
  static const char* const names[] = {"ANSI2KOI8R", "ANSI2KOI8U", "ANSI2DOS",
                                      "KOI8R2ANSI", "KOI8U2ANSI", "OEMDOS2ANSI"};
  const QString w = UpperCase(word);
  for (int i = 0; i < 6; ++i)
    if (w == QLatin1String(names[i])) return i;
  return 2;
}

QString Recode(const QString& text, int tableIndex) {
  const Table& t = Tables().at(tableIndex < 0 || tableIndex > 5 ? 2 : tableIndex);
  QString out = text;
  for (QChar& c : out) {
    const int b = CharCode(c, TCodePage::Cp1251);
    if (b >= 0) c = Chr(t[b]);
  }
  return out;
}

}  // namespace orvReps_Lib
