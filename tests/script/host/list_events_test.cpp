// List-dataset events bound to script routines through the list event package: the query
// dataset's list events with Info whole (an object as its handle), and field events by name.
#include "fixture.h"

#include "db/orvlistevents.h"
#include "db/orvzeos.h"

namespace {

// A component of its own that publishes the field event.
class TFieldEvents : public TComponent {
  ORV_CLASS(TFieldEvents, TComponent)
  explicit TFieldEvents(TComponent* owner) : TComponent(owner) {}
  TOrvListFieldEventNotify OnListFieldEvent;
};

}  // namespace

ORV_DESCRIBE(TFieldEvents) { c.Prop("OnListFieldEvent", &TFieldEvents::OnListFieldEvent); }

namespace {

TEST_F(HostTest, ListEventsReachTheirScriptRoutines) {
  orvcls::RegisterClasses({TOrvZeosQLocation::StaticClass(), TFieldEvents::StaticClass()});
  AddSource({{"LE",
              "!Form1:TTestForm\n"
              "Tag = -999\n"
              "object Src: TOrvZeosQLocation\n"
              "OnListEvent = ListEvent\n"
              "end\n"
              "object Fields: TFieldEvents\n"
              "OnListFieldEvent = FieldEvent\n"
              "end\n"
              ":\n"
              "procedure T.ListEvent(Sender: TDataSet; Event: Integer; Info: TObject);\n"
              "begin Note(Sender); Note('e' + IntToStr(Event)); Note(Info); end;\n"
              "procedure T.FieldEvent(Sender: TObject; FieldName: string);\n"
              "begin Note(Sender); Note(FieldName); end;\n"
              "begin end;\n"
              ":"}});
  app->RunScript(owner, QStringLiteral("LE"));
  EXPECT_EQ(TakeBoxes(), QStringList());
  auto* form = owner->FindComponent(QStringLiteral("Form1"));
  ASSERT_NE(form, nullptr);
  auto* src = dynamic_cast<TOrvZeosQLocation*>(form->FindComponent(QStringLiteral("Src")));
  auto* fields = dynamic_cast<TFieldEvents*>(form->FindComponent(QStringLiteral("Fields")));
  ASSERT_NE(src, nullptr);
  ASSERT_NE(fields, nullptr);
  ASSERT_FALSE(src->OnListEvent.IsPending());
  src->ListEvent(deDataSetScroll, form);
  src->ListEvent(0xFFFFFFFFu, nullptr);
  fields->OnListFieldEvent(fields, QStringLiteral("PRICE"));
  EXPECT_EQ(gNotes, (QStringList{"Src", "e3", "Form1", "Src", "e-1", "0", "Fields", "PRICE"}));
}

}  // namespace
