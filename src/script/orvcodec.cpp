#include "orvcodec.h"

#include <initializer_list>

namespace orvcodec {

namespace {

template <class Text>
QString FillMarkers(Text text, std::initializer_list<const QString*> args) {
  QString out;
  auto next = args.begin();
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('%') && i + 1 < text.size() && text[i + 1] == QLatin1Char('s') &&
        next != args.end()) {
      out += **next++;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

QString Fmt(QLatin1String text, const QString& a) { return FillMarkers(text, {&a}); }

QString Fmt(QStringView text, const QString& a) { return FillMarkers(text, {&a}); }

QString Fmt(QLatin1String text, const QString& a, const QString& b) {
  return FillMarkers(text, {&a, &b});
}

}  // namespace orvcodec
