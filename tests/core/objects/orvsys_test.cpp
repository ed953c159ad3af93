#include "core/orvsys.h"

#include "platform/classes/classregistry.h"
#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

namespace {

class TCaptioned : public TComponent {
  ORV_CLASS(TCaptioned, TComponent)
  using TComponent::TComponent;
  QString Caption;
  TComponent* Ref = nullptr;
  TNotifyEvent OnGo;
  void Go(TObject*) { ++went; }
  int went = 0;
};
ORV_DESCRIBE(TCaptioned) {
  c.Prop("Caption", &TCaptioned::Caption);
  c.Prop("Ref", &TCaptioned::Ref);
  c.Prop("OnGo", &TCaptioned::OnGo);
  c.Method("Go", &TCaptioned::Go);
}

TEST(OrvSys, ArgsToTextAndGuards) {
  EXPECT_EQ(orvsys::ArgsToText({5, true, QChar('x')}), " ... 5 .. True ... 'x'");
  EXPECT_EQ(orvsys::ArgsToText({static_cast<const TObject*>(nullptr)}), " ... nil");
  int dummy = 0;
  EXPECT_EQ(orvsys::ArgsToText({TVarRec::Pointer(&dummy)}), "");
  EXPECT_EQ(orvsys::ArgsToText({TVarRec::Pointer(nullptr), "text", 1.5}),
            " ... nil ... \"text\" ... 1.5");
  try {
    CheckNil(nullptr);
    FAIL();
  } catch (const TOrvError& e) {
    EXPECT_EQ(e.Message(), " ... \"CheckNil\" ... \"Slf = nil\"");
  }
  TComponent c(nullptr);
  c.SetName("Btn");
  try {
    CheckClass(&c, TCaptioned::StaticClass());
    FAIL();
  } catch (const TOrvError& e) {
    EXPECT_EQ(e.Message(), " ... \"CheckClass\" ... TComponent.Btn ... \"is not\" ... TCaptioned");
  }
  EXPECT_EQ(CheckClass(&c, TComponent::StaticClass()), &c);
  EXPECT_FALSE(orvsys::IsClass(&c, nullptr));
  EXPECT_EQ(orvsys::AsClassOrNil(&c, TCaptioned::StaticClass()), nullptr);
}

TEST(OrvSys, PropertiesByNameAnswerEmptyForMissingOrOtherKinds) {
  TCaptioned a(nullptr);
  TComponent other(nullptr);
  EXPECT_TRUE(orvsys::SetStrPropByName("caption", &a, "Hi"));
  EXPECT_EQ(orvsys::GetStrPropByName("Caption", &a), "Hi");
  EXPECT_FALSE(orvsys::SetStrPropByName("Tag", &a, "x"));  // another kind
  EXPECT_FALSE(orvsys::SetStrPropByName("Nope", &a, "x"));
  EXPECT_FALSE(orvsys::SetStrPropByName("Caption", nullptr, "x"));
  EXPECT_TRUE(orvsys::SetOrdPropByName("Tag", &a, 3));
  EXPECT_EQ(orvsys::GetOrdPropByName("Tag", &a), 0);  // Int64 is not read as an ordinal
  EXPECT_TRUE(orvsys::SetObjectPropByName("Ref", &a, TComponent::StaticClass(), &other));
  EXPECT_EQ(orvsys::GetObjectPropByName("Ref", &a, TComponent::StaticClass()), &other);
  EXPECT_EQ(orvsys::GetObjectPropByName("Ref", &a, TCaptioned::StaticClass()), nullptr);
  EXPECT_FALSE(orvsys::SetObjectPropByName("Ref", &a, TCaptioned::StaticClass(), &a));
  EXPECT_TRUE(
      orvsys::SetEventByName("OnGo", &a, &a, TCaptioned::StaticClass()->MethodAddress("Go")));
  a.OnGo(&a);
  EXPECT_EQ(a.went, 1);
  EXPECT_EQ(orvsys::GetMethodPropByName(&a, "OnGo").Data, &a);
  EXPECT_EQ(orvsys::ObjectCaption("", "", &a), "TCaptioned // Hi");
  a.SetName("A1");
  EXPECT_EQ(orvsys::ObjectCaption("", "", &a), "TCaptioned: A1 // Hi");
  EXPECT_EQ(orvsys::ObjectCaption("N", "C", &other), "TComponent: N // C");
  EXPECT_EQ(orvsys::ObjectCaption("", "", nullptr), "");
}

TComponent* gMainDM = nullptr;
TComponent* FindMainDM(const QString& name) {
  return gMainDM != nullptr && name.compare("MainDM", Qt::CaseInsensitive) == 0 ? gMainDM : nullptr;
}

TEST(OrvSys, ComponentsByPathOwnersAndText) {
  TComponent dm(nullptr);
  auto* commit = new TComponent(&dm);
  commit->SetName("CommitAction");
  gMainDM = &dm;
  RegisterFindGlobalComponentProc(&FindMainDM);
  EXPECT_EQ(orvsys::FindComponentByPath(nullptr, "MainDM.CommitAction"), commit);
  EXPECT_EQ(orvsys::FindComponentByPath(&dm, "commitaction"), commit);
  EXPECT_EQ(orvsys::FindComponentByPath(nullptr, "Nowhere.X"), nullptr);
  UnregisterFindGlobalComponentProc(&FindMainDM);
  gMainDM = nullptr;

  TCaptioned form(nullptr);
  auto* inner = new TComponent(&form);
  TComponent* found = nullptr;
  EXPECT_TRUE(orvsys::FindOwnerSupporting(inner, TCaptioned::StaticClass(), found));
  EXPECT_EQ(found, &form);
  TComponent* ref = nullptr;
  EXPECT_TRUE(orvsys::LinkOwnerIntf(inner, TCaptioned::StaticClass(), ref));
  IInterface* intf = nullptr;
  EXPECT_TRUE(orvsys::FindOwnerIntf(inner, IInterfaceComponentReference::IID, intf));
  orvsys::MoveToOwner(inner, &dm);
  EXPECT_EQ(inner->Owner(), &dm);

  RegisterClass(TCaptioned::StaticClass());
  EXPECT_TRUE(orvsys::ReadComponentText(
      "inherited TComponent\n  Caption = 'read'\n  OnGo = Go\nend", &form));
  EXPECT_EQ(form.Caption, "read");
  EXPECT_THROW(orvsys::ReadComponentText("inherited TComponent\n  Colour = 1\nend", &form),
               EReadError);
}

Variant Arr(std::initializer_list<Variant> v) { return VarArrayOf(v); }

TEST(OrvSys, VariantArrays) {
  const Variant a = Arr({10, 20, 30});
  EXPECT_EQ(orvsys::VarArrayLength(a), 3);
  EXPECT_EQ(orvsys::VarArrayLength(Variant(7)), 1);
  EXPECT_EQ(orvsys::VarArrayItem(a, -1).ToInt(), 30);
  EXPECT_EQ(orvsys::VarArrayItem(a, 0).ToInt(), 10);
  EXPECT_EQ(orvsys::VarArrayItem(Variant(7), 0).ToInt(), 7);
  EXPECT_THROW(orvsys::VarArrayItem(a, 3), EVariantBadIndexError);
  EXPECT_TRUE(orvsys::VarEquals(Arr({"1", 2}), Arr({1, "2"})));
  EXPECT_FALSE(orvsys::VarEquals(Arr({1, 2}), Arr({1, 2, 3})));
  EXPECT_TRUE(orvsys::VarEquals(Variant(5), Arr({5})));
  EXPECT_EQ(orvsys::VarTypeToFieldType(varInt64), 25);
  EXPECT_EQ(orvsys::VarTypeToFieldType(varCurrency), 8);
  EXPECT_EQ(orvsys::VarTypeToFieldType(varNull), 0);
}

TEST(OrvSys, ColoursStringsAndFormats) {
  EXPECT_EQ(orvsys::LightenColor(0), 0);
  EXPECT_EQ(orvsys::LightenColor(0x808080), 0xBFBFBF);
  EXPECT_EQ(orvsys::DarkenColor(0x808080), 0x414141);
  EXPECT_EQ(orvsys::LightenColor(0xFFFFFF), 0xFFFFFF);
  TStringList lines;
  lines.SetText("a\nb\nc");
  EXPECT_EQ(orvsys::JoinStrings(&lines, -1, ","), "a,b,c");
  EXPECT_EQ(orvsys::JoinStrings(&lines, 2, ";"), "a;b");
  EXPECT_EQ(orvsys::JoinStrings(&lines, 9, ","), "a,b,c");
  EXPECT_EQ(orvsys::RemoveFileExt("dir/report.html"), "dir/report");
  EXPECT_EQ(orvsys::StrToInt64Value("12345678901"), 12345678901LL);
  EXPECT_THROW(orvsys::StrToInt64Value("x"), EConvertError);
  EXPECT_EQ(orvsys::LocalizeDateTimeFormat("dd.mm.yyyy hh:nn"), "dd.mm.yyyy hh:nn");
  EXPECT_EQ(orvsys::PosDateSeparator("12.05"), 3);
  EXPECT_EQ(orvsys::PosTimeSeparator("1205"), 0);
}

}  // namespace
