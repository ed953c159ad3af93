// List-dataset events bound to script routines through the list event package: Info whole,
// an object as its handle, and the field events with the field's name.
#include "fixture.h"

#include "platform/classes/classregistry.h"
#include "db/orvlistevents.h"

namespace {

// A component of its own that publishes the two list events.
class TListEvents : public TComponent {
  ORV_CLASS(TListEvents, TComponent)
  explicit TListEvents(TComponent* owner) : TComponent(owner) {}
  TOrvListEventNotify OnListEvent;
  TOrvListFieldEventNotify OnListFieldEvent;
};

}  // namespace

ORV_DESCRIBE(TListEvents) {
  c.Prop("OnListEvent", &TListEvents::OnListEvent);
  c.Prop("OnListFieldEvent", &TListEvents::OnListFieldEvent);
}

namespace {

TEST_F(HostTest, ListEventsReachTheirScriptRoutines) {
  orvcls::RegisterClasses({TListEvents::StaticClass()});
  AddSource({{"LE",
              "!Form1:TTestForm\n"
              "Tag = -999\n"
              "object Src: TListEvents\n"
              "OnListEvent = ListEvent\n"
              "OnListFieldEvent = FieldEvent\n"
              "end\n"
              ":\n"
              "procedure T.ListEvent(Sender: TObject; Event: Integer; Info: Variant);\n"
              "begin Note(Sender); Note('e' + IntToStr(Event)); Note('i' + IntToStr(Info));\n"
              "Note(Info); end;\n"
              "procedure T.FieldEvent(Sender: TObject; FieldName: string);\n"
              "begin Note(FieldName); end;\n"
              "begin end;\n"
              ":"}});
  app->RunScript(owner, QStringLiteral("LE"));
  EXPECT_EQ(TakeBoxes(), QStringList());
  auto* form = owner->FindComponent(QStringLiteral("Form1"));
  ASSERT_NE(form, nullptr);
  auto* src = dynamic_cast<TListEvents*>(form->FindComponent(QStringLiteral("Src")));
  ASSERT_NE(src, nullptr);
  ASSERT_FALSE(src->OnListEvent.IsPending());
  src->OnListEvent(src, deDataSetScroll, qint64(6000000000));
  src->OnListEvent(src, deFieldChange, form->ObjectHandle());
  src->OnListFieldEvent(src, QStringLiteral("PRICE"));
  EXPECT_EQ(gNotes, (QStringList{"Src", "e3", "i6000000000", "6000000000", "Src", "e0",
                                 "i" + QString::number(form->ObjectHandle()), "Form1", "PRICE"}));
}

}  // namespace
