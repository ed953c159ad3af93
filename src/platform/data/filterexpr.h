#pragma once
// The local filter of a dataset: SQL-like conditions over field values, such as
// DOCDATE >= '2024-02-14' AND (NAME LIKE 'Ив%' OR KIND IS NULL). Comparisons, AND/OR/NOT,
// parentheses, quoted strings, numbers, LIKE, IN, IS [NOT] NULL, + - * / and ||.
// Null follows SQL: a comparison with Null is unknown, and only a true condition passes.
#include "platform/data/fieldtypes.h"
#include "platform/rtl/variant.h"

#include <QtCore/QString>

#include <functional>
#include <memory>

class FilterExpr {
 public:
  struct Options {
    bool caseInsensitive = false;  // string comparisons ignore letter case
    bool partialCompare = true;    // 'AB*' compared with "=" matches texts that begin with AB
  };
  // Finds a field by name: its index and type, or -1.
  using Resolver = std::function<int(const QString& name, TFieldType& type)>;
  // The value of the field with that index in the record being tested.
  using ValueOf = std::function<Variant(int index)>;

  // Raises EDatabaseError naming the position of a syntax error or an unknown field.
  FilterExpr(const QString& text, const Resolver& resolve, Options options);
  ~FilterExpr();
  FilterExpr(const FilterExpr&) = delete;
  FilterExpr& operator=(const FilterExpr&) = delete;

  bool Matches(const ValueOf& value) const;
  bool IsEmpty() const { return root_ == nullptr; }

  struct Node;

 private:
  std::unique_ptr<Node> root_;
  Options options_;
};

// SQL LIKE with % and _ (case as asked).
bool SqlLike(const QString& text, const QString& pattern, bool caseInsensitive);
