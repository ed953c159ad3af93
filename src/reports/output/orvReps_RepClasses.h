#pragma once
// Small classes of a report run: a compiled formula, the RTF colour table and the names of
// the sheets written so far.
#include "platform/rtl/variant.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

class IEntryItem;

// A formula compiled by the script engine; frees its entry with itself.
class TCompileCode {
 public:
  TCompileCode() = default;
  ~TCompileCode();
  TCompileCode(const TCompileCode&) = delete;
  TCompileCode& operator=(const TCompileCode&) = delete;

  IEntryItem* Code = nullptr;
  // Errors of the formula propagate to the caller.
  void Execute(Variant& result);
};

// Colour numbers of an RTF document: a colour's index is its number; each occurs once.
class TRepColors {
 public:
  int Count() const { return static_cast<int>(colors_.size()); }
  qint32 GetItem(int i) const { return colors_.at(i); }
  // The index of the colour, appended when missing; -1 for clNoColor.
  int FindOrAdd(qint32 color);
  int IndexOf(qint32 color) const;
  void IndexText(QString& text, qint32 color);
  void AddRtfColorRef(QString& text, qint32 color);
  void WriteRtfCellBorders(QString& text, const TCellProp& props);
  void WriteRtfCellBorderSide(QString& text, QChar side, int width, qint32 color, int style);
  void WriteRtfColorTable(QString& text) const;
  void Clear() { colors_.clear(); }

 private:
  int Append(qint32 color);
  std::vector<qint32> colors_;
};

// Names compare ignoring case (Cyrillic too).
class TSheetNames {
 public:
  int Count() const { return names_.size(); }
  const QString& Name(int i) const { return names_.at(i); }
  bool IsNameFree(const QString& name) const;
  void AddUnique(QString& used, const QString& name);
  // The number of the next sheet; 1 when there is no list yet.
  static int GetSheetNum(const TSheetNames* names) { return names ? names->Count() + 1 : 1; }

 private:
  QStringList names_;
};
