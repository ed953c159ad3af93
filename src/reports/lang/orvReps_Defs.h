#pragma once
// The run's named text variables and their substitution into key arguments (%NAME, [%NAME]).
#include <QtCore/QString>

#include <memory>
#include <vector>

enum TDefKind : qint32 { dkSystem = 0, dkScript = 1, dkSynonym = 2 };

struct TDef {
  QString Name;
  QString Value;
  qint32 Kind = dkScript;
  void Assign(const TDef& other) { Name = other.Name, Value = other.Value, Kind = other.Kind; }
};

// Kept ordered by name length, longest first, then by name ignoring case: the plain %NAME
// substitution meets the longest name first and [%NAME] is found by bisection.
class TDefs {
 public:
  TDef* SetDef(const QString& name, const QString& value, qint32 kind, bool overwrite);
  TDef* FindDef(const QString& name) const;
  void GetDefValue(QString& value, const QString& name) const;
  QString DefValue(const QString& name) const;
  void ExpandDefs(QString& s) const;

  int Count() const { return static_cast<int>(items_.size()); }
  TDef& Item(int i) const { return *items_.at(i); }

  // The variable a report dialog is working on; read by the formula that names it.
  TDef* CurrentDef = nullptr;
  // The variable last changed through a dialog element.
  TDef* LastChanged = nullptr;

 private:
  std::vector<std::unique_ptr<TDef>> items_;
};
