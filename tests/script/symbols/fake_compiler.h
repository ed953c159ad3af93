#pragma once
// A stand-in for the script compiler, enough to drive the registry's compile paths.
//   program text: one "routine NAME" per line adds an entry NAME to the class "T" (the site
//   class being compiled), or to the registry; its calls are recorded. "error" fails.
//   formula text "Result := X;": X with a comma fails to compile; "boom" compiles to a
//   routine that raises; anything else returns X (as a number when it is one).
#include "script/orvcodeh.h"
#include "script/orvcoder.h"

#include <QtCore/QStringList>

struct FakeCalls {
  int runs = 0;
  QStringList log;  // "<routine> slf=<class name> arg=<first argument>"
};

inline FakeCalls& Calls() {
  static FakeCalls calls;
  return calls;
}

class FakeCompiler : public TClsCompiler {
 public:
  explicit FakeCompiler(QString source) : source_(std::move(source)) {}

  void CompileProgram(TEntryItem*) override {
    if (source_.contains(QLatin1String("error")))
      throw ECompilerError(QStringLiteral("Syntax error in  (1): \r\nBEGIN expected."));
    for (const QString& line : source_.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
      if (!line.startsWith(QLatin1String("routine "))) continue;
      TCls* cls = orvcodeh::FindClsDef(QStringLiteral("T"), orvcodeh::Registry());
      auto* entry = new TEntryItem(cls);
      entry->ChangeName(line.mid(8));
      const QString name = entry->Name();
      entry->OnCall = [name](TObject* slf, VariantArgs& args) -> Variant {
        Calls().log << QStringLiteral("%1 slf=%2 arg=%3")
                           .arg(name, slf != nullptr ? slf->ClassName() : QStringLiteral("nil"),
                                args.empty() ? QString() : VarToStr(args[0]));
        return Variant();
      };
    }
  }

  void CompileFunction(TEntryItem* entry) override {
    const QString expr = source_.mid(10).chopped(1);  // "Result := " ... ";"
    if (expr.contains(QLatin1Char(',')))
      throw ECompilerError(
          QStringLiteral("Syntax error in  (1): \r\nOperator delimeter expected."));
    entry->OnCall = [expr](TObject*, VariantArgs&) -> Variant {
      ++Calls().runs;
      if (expr == QLatin1String("boom")) throw Exception(QStringLiteral("boom"));
      bool number = false;
      const double value = expr.toDouble(&number);
      return number ? Variant(value) : Variant(expr);
    };
  }

  static void Install(TRootCls* root) {
    root->SetCompilerFactory(
        [](const QString& source) { return std::make_unique<FakeCompiler>(source); });
  }

 private:
  QString source_;
};
