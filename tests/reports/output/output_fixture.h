#pragma once
// A report run's output state over a plain run, measured with fixed metrics.
#include "reports/lang/orvReps_Keys.h"
#include "reports/output/orvReps_FormatString.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

inline QString U(const char* utf8) { return QString::fromUtf8(utf8); }

class OutputTest : public ::testing::Test {
 protected:
  OutputTest() : run(TRepsRunOptions{true}), out(run, std::make_unique<TFixedTextMetrics>()) {
    run.Pars = &pars;
    run.OnError = [this](const TRepsErr& e) { errors << e.Message; };
  }

  // Compiles and runs text once with P = 20, T = 15, C = 8.
  QString Run(const QString& text, TRepType type = rtText, bool markup = false) {
    out.RepType = type;
    auto f =
        orvReps_FormatString::CompileFormatString(text, out, markup, false, false, true, false);
    if (!f) return QStringLiteral("<none>");
    f->BindReferences();
    QString r;
    f->Execute(r, 20, 15, 8, false, nullptr, -1);
    return r;
  }

  TRepsPars pars;
  TRepsRun run;
  TRepsOutput out;
  QStringList errors;
};
