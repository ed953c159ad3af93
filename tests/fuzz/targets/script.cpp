// Script texts: the scanner gives tokens or ECompilerError; the compiler gives a program or
// its error text, in a fresh registry freed again with everything compiled into it. A program
// that compiles runs its main block, and the text runs as a formula block, each under a step
// and time limit: any run ends with a result or a script error.
#include "fuzz.h"

#include "core/orvcls.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvcoder.h"
#include "script/orvcodex.h"

#include <QtCore/QRegularExpression>

namespace {

void Run(TRootCls* root, const QString& text, bool compiled) {
  orvcodex::TRunLimitScope limits(orvcodex::TRunLimits{100000, 2000});
  if (compiled) {
    static const QRegularExpression named(QStringLiteral("^\\s*program\\s+(\\w+)"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = named.match(text);
    const QString name = m.hasMatch() ? m.captured(1) : QStringLiteral("Program");
    if (auto* program = dynamic_cast<TEntryItem*>(root->FindOwnItem(name))) {
      try {
        VariantArgs none;
        program->Call(nullptr, none);
      } catch (const Exception&) {}
    }
  }
  try {
    root->RunFormula(nullptr, text);
  } catch (const Exception&) {}
}

}  // namespace

ORV_FUZZ_TARGET(script) {
  const QString text = orvfuzz::Text(data, size);
  try {
    TCodeReader reader(text);
    TToken tok;
    for (reader.NextToken(tok); tok.Code != tkEOF; reader.NextToken(tok)) {}
  } catch (const ECompilerError&) {}
  TRootEnvScope env;
  TRootCls* root = orvcodeh::CreateRegistry();
  orvcode2::InstallCompiler(root);
  try {
    const bool compiled = root->Compile(text).isEmpty();  // an error comes back as text
    Run(root, text, compiled);
  } catch (...) {
    root->Free();
    throw;
  }
  root->Free();
}
