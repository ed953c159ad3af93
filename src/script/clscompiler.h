#pragma once
// The script compiler as the class registry sees it: made over one source text, it compiles
// the text as a program or unit, or as the body of one function, into a registry entry.
#include <QtCore/QString>

#include <functional>
#include <memory>

class TEntryItem;

class TClsCompiler {
 public:
  virtual ~TClsCompiler() = default;
  // Compiles the whole text as a program or unit into Entry.
  virtual void CompileProgram(TEntryItem* entry) = 0;
  // Compiles the text as the body of a function whose signature is Entry's class.
  virtual void CompileFunction(TEntryItem* entry) = 0;
};

// Makes the compiler over a source text; installed by the compiler once it exists. While no
// factory is installed the registry compiles nothing.
using TClsCompilerFactory = std::function<std::unique_ptr<TClsCompiler>(const QString& source)>;
