#include "reports/output/orvReps_RepClasses.h"

#include "core/orvcls.h"
#include "platform/rtl/tobject.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_Styles.h"

TCompileCode::~TCompileCode() {
  if (auto* object = dynamic_cast<TObject*>(Code)) object->Free();
}

void TCompileCode::Execute(Variant& result) {
  VariantArgs args(1);
  result = Code ? Code->Call(nullptr, args) : Variant();
}

int TRepColors::IndexOf(qint32 color) const {
  for (int i = 0; i < Count(); ++i)
    if (colors_[i] == color) return i;
  return -1;
}

int TRepColors::Append(qint32 color) {
  const int i = IndexOf(color);
  if (i >= 0) return i;
  colors_.push_back(color);
  return Count() - 1;
}

int TRepColors::FindOrAdd(qint32 color) { return color == clNoColor ? -1 : Append(color); }

void TRepColors::IndexText(QString& text, qint32 color) { text = QString::number(Append(color)); }

void TRepColors::AddRtfColorRef(QString& text, qint32 color) {
  text += QLatin1String("\\cf") + QString::number(Append(color));
}

void TRepColors::WriteRtfCellBorderSide(QString& text, QChar side, int width, qint32 color,
                                        int style) {
  if (width > 0) {
    text += QLatin1String("\\clbrdr") + side + QLatin1String("\\brdr") +
            QLatin1String(orvReps_Styles::RtfBorderStyleWord(style)) + QLatin1String("\\brdrw") +
            QString::number(width);
  }
  if (color != clNoColor) text += QLatin1String("\\brdrcf") + QString::number(Append(color));
}

void TRepColors::WriteRtfCellBorders(QString& text, const TCellProp& props) {
  static const char sides[] = "ltrb";
  for (int i = 0; i < 4; ++i)
    WriteRtfCellBorderSide(text, QLatin1Char(sides[i]), props.BorderWidths[i],
                           props.BorderColors[i], props.BorderStyles[i]);
  text += QLatin1Char(' ');
}

void TRepColors::WriteRtfColorTable(QString& text) const {
  text = QStringLiteral("{\\colortbl");
  for (qint32 c : colors_) {
    text += QLatin1String("\\red") + QString::number(c & 0xFF) + QLatin1String("\\green") +
            QString::number((c >> 8) & 0xFF) + QLatin1String("\\blue") +
            QString::number((c >> 16) & 0xFF) + QLatin1Char(';');
  }
  text += QLatin1Char('}');
}

bool TSheetNames::IsNameFree(const QString& name) const {
  for (const QString& n : names_)
    if (orvReps_Lib::SameText(n, name)) return false;
  return true;
}

void TSheetNames::AddUnique(QString& used, const QString& name) {
  used = name;
  for (int n = 2; !IsNameFree(used); ++n)
    used = name + QLatin1Char('(') + QString::number(n) + QLatin1Char(')');
  names_.append(used);
}
