// The binding of key procedures by catalogue path and its check against the keys' shapes.
#include "reports/lang/orvReps_KeyBinding.h"

#include <gtest/gtest.h>

#include <set>

using namespace orvReps_KeyBinding;

namespace {

void Dummy(TRepsRun&) {}

std::vector<TKeyBinding> BindingsOfShapes() {
  std::vector<TKeyBinding> out;
  for (const TKeyShape& s : KeyShapes())
    if (s.OnKey || s.After)
      out.push_back({s.Path, s.OnKey ? Dummy : nullptr, s.After ? Dummy : nullptr});
  return out;
}

}  // namespace

TEST(KeyBinding, ShapesCoverEveryTopLevelKeyWithTheDeclaredCounts) {
  std::set<int> top;
  int subNone = 0;
  for (const TKeyShape& s : KeyShapes()) {
    const int k = orvReps_KeyDefs::KeyByPath(QString::fromLatin1(s.Path));
    ASSERT_GE(k, 0) << s.Path;
    if (KeyDefs[k].Level == 0)
      top.insert(k);
    else
      subNone += !s.OnKey && !s.After;
  }
  EXPECT_EQ(top.size(), 173u);
  EXPECT_EQ(subNone, 30);

  QStringList errors;
  const TKeyProcs procs = BindKeyProcs(BindingsOfShapes(), &errors);
  EXPECT_TRUE(errors.isEmpty());
  const TKeyProcCounts c = CountKeyProcs(procs, true);
  EXPECT_EQ(c.OnOnly, 112);
  EXPECT_EQ(c.Both, 33);
  EXPECT_EQ(c.AfterOnly, 1);
  EXPECT_EQ(c.None, 27);
  EXPECT_TRUE(CheckKeyProcs(procs).isEmpty());
}

TEST(KeyBinding, MistakesAreReported) {
  QStringList errors;
  const TKeyBinding wrong[] = {
      {"NO.SUCH.KEY", Dummy, nullptr},
      {"HEAD.BORDERCOLOR.@HEAD.BORDER.LEFT", Dummy, nullptr},  // an alias row
      {"LABEL", Dummy, nullptr},                               // a marker without procedures
      {"MARK", Dummy, nullptr},                                // lacks its after procedure
  };
  TKeyProcs procs = BindKeyProcs(wrong, &errors);
  EXPECT_EQ(errors.size(), 2);
  const QStringList check = CheckKeyProcs(procs);
  EXPECT_EQ(check.filter(QStringLiteral("LABEL:")).size(), 1);
  EXPECT_EQ(check.filter(QStringLiteral("MARK:")).size(), 1);
  const int alias =
      orvReps_KeyDefs::KeyByPath(QStringLiteral("HEAD.BORDERCOLOR.@HEAD.BORDER.LEFT"));
  ASSERT_GE(alias, 0);
  procs[alias].OnKey = Dummy;
  EXPECT_EQ(CheckKeyProcs(procs).filter(QStringLiteral("alias row")).size(), 1);
}
