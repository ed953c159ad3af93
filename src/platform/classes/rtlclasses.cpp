// Descriptors of runtime classes that live below this layer (string lists), so scripts,
// component text and the designer see their published properties.
#include "rtlclasses.h"

#include "actions.h"
#include "classregistry.h"
#include "typinfo.h"

#include "platform/rtl/stringlist.h"
#include "platform/rtl/tlist.h"

namespace {

void DescribeStrings(TClassBuilder<TStrings>& c) {
  c.Prop("Count", [](const TStrings* s) { return s->Count(); });
  c.Prop(
       "Text", [](const TStrings* s) { return s->Text(); }, &TStrings::SetText)
      .Stored(false);
  c.Prop(
       "CommaText", [](const TStrings* s) { return s->CommaText(); }, &TStrings::SetCommaText)
      .Stored(false);
}

void DescribeStringList(TClassBuilder<TStringList>& c) {
  c.Prop("Sorted", &TStringList::Sorted, &TStringList::SetSorted).Default(0);
  c.Prop("CaseSensitive", &TStringList::CaseSensitive, &TStringList::SetCaseSensitive).Default(0);
}

}  // namespace

TClass ListClass() {
  static const TClass fp = DescribeExternalClass<TFPList, TObject>(
      QStringLiteral("TFPList"), TObject::StaticClass(), +[](TClassBuilder<TFPList>& c) {
        c.Prop("Count", [](const TFPList* l) { return l->Count(); });
      });
  static const TClass cls = DescribeExternalClass<TList, TFPList>(
      QStringLiteral("TList"), fp, +[](TClassBuilder<TList>&) {});
  return cls;
}

TClass StringsClass() {
  static const TClass cls = DescribeExternalClass<TStrings, TPersistent>(
      QStringLiteral("TStrings"), TPersistent::StaticClass(), &DescribeStrings);
  return cls;
}

TClass StringListClass() {
  static const TClass cls = DescribeExternalClass<TStringList, TStrings>(
      QStringLiteral("TStringList"), StringsClass(), &DescribeStringList);
  return cls;
}

void DescribeRuntimeClasses() {
  RegisterClasses({ListClass(), StringsClass(), StringListClass()});
  // Actions are read from component text without any code naming them.
  RegisterClasses({TBasicAction::StaticClass(), TContainedAction::StaticClass(),
                   TCustomAction::StaticClass(), TAction::StaticClass(),
                   TCustomActionList::StaticClass(), TActionList::StaticClass()});
}
