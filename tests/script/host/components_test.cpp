// Built-in function components in a stored script: the host runs them with their phases
// bound to script routines through the function-component event package.
#include "fixture.h"

#include "script/lib/orvlib95.h"
#include "script/lib/orvlib98.h"

namespace {

TEST_F(HostTest, FunctionComponentsRunWithScriptPhases) {
  orvlib95::Initialize();
  orvlib98::Initialize();
  AddSource({{"Y",
              "!Outer:TY\n"
              "object Calc: TY\n"
              "AfterIt = Done\n"
              "object A: tyFloat\n"
              "Value = 2\n"
              "end\n"
              "object B: tyFloat\n"
              "Value = 3.5\n"
              "end\n"
              "object Plus: tyAdd\n"
              "end\n"
              "end\n"
              "object Five: TY\n"
              "OnResult = 5\n"
              "BeforeIt = Mark\n"
              "end\n"
              "object Zero: TY\n"
              "BeforeIt = Mark\n"
              "end\n"
              ":\n"
              "function T.Done(Sender: TY; Args: TYA; Res: Integer): Integer;\n"
              "begin Note(Sender); Result := 5; end;\n"
              "function T.Mark(Sender: TY; Args: TYA; Res: Integer): Integer;\n"
              "begin Note(Sender); Note(Res); Result := 0; end;\n"
              "begin end;\n"
              ":"}});
  app->RunScript(owner, QStringLiteral("Y"));
  EXPECT_EQ(TakeBoxes(), QStringList());
  // Calc's after phase answers 5, so the child waiting for 5 runs; its 0 lets the last run.
  EXPECT_EQ(gNotes, (QStringList{"Calc", "Five", "0", "Zero", "0"}));
}

}  // namespace
