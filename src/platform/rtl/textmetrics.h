#pragma once
// Text measurement behind one small interface: the report writers need per-character
// advance widths and a line height of a font, nothing else. A fixed-metric provider serves
// tests and machines without fonts; the client registers a real one.
#include <QtCore/QString>

#include <functional>
#include <memory>

struct TMetricsFont {
  QString Name;
  int Size = 10;  // points
  int Style = 0;  // bit 1 bold, bit 2 italic, bit 8 underline
};

class ITextMetrics {
 public:
  virtual ~ITextMetrics() = default;
  // The font the queries measure in; callers save and restore it around their use.
  TMetricsFont Font;
  // Advance width of one character in device units (96 per inch); false when this query
  // cannot measure. Two queries, so that a caller can fall back from one to the other.
  virtual bool CharWidth(QChar c, int& width) = 0;
  virtual bool CharWidthFloat(QChar c, int& width) = 0;
  // Height of a line of the text in device units.
  virtual int TextHeight(const QString& text) = 0;
};

// Widths that depend only on the font size and style: a character is 6/10 of the size in
// points wide (one more when bold), a line 4/3 of the size high. IntegerQuery false makes
// the integer query fail, as some platforms do.
class TFixedTextMetrics : public ITextMetrics {
 public:
  explicit TFixedTextMetrics(bool integerQuery = true) : integerQuery_(integerQuery) {}
  bool CharWidth(QChar c, int& width) override;
  bool CharWidthFloat(QChar c, int& width) override;
  int TextHeight(const QString& text) override;

 private:
  bool integerQuery_;
};

using TTextMetricsFactory = std::function<std::unique_ptr<ITextMetrics>()>;
// The provider new report runs measure with; the fixed one until something is registered.
void RegisterTextMetrics(TTextMetricsFactory factory);
std::unique_ptr<ITextMetrics> NewTextMetrics();
