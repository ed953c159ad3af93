#pragma once
// Input parameters that a script offers to an outside shell; the run only collects them.
#include <QtCore/QString>

#include <vector>

struct TInputParam {
  QString Name;         // the parameter code, a variable name
  QString Description;  // code=value pairs separated by "|", as written
};

class TInputParams {
 public:
  void Add(const QString& name, const QString& description) {
    items_.push_back({name, description});
  }
  int Count() const { return static_cast<int>(items_.size()); }
  const TInputParam& Item(int i) const { return items_.at(i); }

 private:
  std::vector<TInputParam> items_;
};
