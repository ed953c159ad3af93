// Script texts: the scanner gives tokens or ECompilerError; the compiler gives a program or
// its error text, in a fresh registry that is freed again with everything compiled into it.
#include "fuzz.h"

#include "core/orvcls.h"
#include "script/orvcode2.h"
#include "script/orvcodeh.h"
#include "script/orvcoder.h"

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
    root->Compile(text);  // the error, if any, comes back as text
  } catch (...) {
    root->Free();
    throw;
  }
  root->Free();
}
