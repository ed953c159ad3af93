#include "fixture.h"

#include <gtest/gtest.h>

namespace {

QStringList Names(TClass cls) {
  QStringList names;
  for (const TPropInfo* p : GetPropList(cls)) names << p->Name;
  return names;
}

TEST(Reflection, PropertiesInDeclarationOrderWithInheritedFirst) {
  EXPECT_EQ(Names(TSample::StaticClass()),
            QStringList({"Name", "Tag", "Count", "Shape", "Shapes", "Flag", "Letter", "Ratio",
                         "When", "Caption", "Value", "Big", "Link", "Service", "OnPing", "Twice"}));
  EXPECT_EQ(TSample::StaticClass()->ClassParent(), TComponent::StaticClass());
  TSample s(nullptr);
  EXPECT_EQ(s.ClassName(), "TSample");
  EXPECT_TRUE(s.InheritsFrom(TComponent::StaticClass()));
  EXPECT_FALSE(TComponent::StaticClass()->InheritsFrom(TSample::StaticClass()));
}

TEST(Reflection, KindsAndTypeNames) {
  struct Case {
    const char* prop;
    TTypeKind kind;
    const char* type;
  };
  const Case cases[] = {{"Count", tkInteger, "Integer"},      {"Shape", tkEnumeration, "TShape"},
                        {"Shapes", tkSet, "TShapes"},         {"Flag", tkBool, "Boolean"},
                        {"Letter", tkWChar, "WideChar"},      {"Ratio", tkFloat, "Double"},
                        {"When", tkFloat, "TDateTime"},       {"Caption", tkAString, "AnsiString"},
                        {"Value", tkVariant, "Variant"},      {"Big", tkInt64, "Int64"},
                        {"Link", tkClass, "TComponent"},      {"Service", tkInterface, "ISample"},
                        {"OnPing", tkMethod, "TNotifyEvent"}, {"Tag", tkInt64, "Int64"}};
  for (const Case& c : cases) {
    const TPropInfo* p = GetPropInfo(TSample::StaticClass(), c.prop);
    ASSERT_NE(p, nullptr) << c.prop;
    EXPECT_EQ(p->Kind(), c.kind) << c.prop;
    EXPECT_EQ(p->PropType->Name, c.type) << c.prop;
  }
  const TTypeInfo* ev = GetPropInfo(TSample::StaticClass(), "OnPing")->PropType;
  ASSERT_EQ(ev->Params.size(), 1u);
  EXPECT_EQ(ev->Params[0].Name, "Sender");
  EXPECT_EQ(ev->Params[0].TypeName, "TObject");
  EXPECT_EQ(ev->MethodKind, mkProcedure);
  EXPECT_EQ(GetPropInfo(TSample::StaticClass(), "Shape")->PropType->EnumNames,
            QStringList({"shNone", "shCircle", "shSquare"}));
}

TEST(Reflection, ReadAndWriteEveryKindByName) {
  TSample s(nullptr);
  TComponent other(nullptr);
  SetOrdProp(&s, "count", 7);
  SetEnumProp(&s, "Shape", "shsquare");
  SetSetProp(&s, GetPropInfo(&s, "Shapes"), "[shCircle, shSquare]");
  SetOrdProp(&s, "Flag", 1);
  SetPropValue(&s, "Letter", Variant(QStringLiteral("Ж")));
  SetFloatProp(&s, "Ratio", 2.5);
  SetStrProp(&s, "Caption", QStringLiteral("Привет"));
  SetVariantProp(&s, "Value", Variant(12));
  SetInt64Prop(&s, "Big", qint64(1) << 40);
  SetObjectProp(&s, "Link", &other);
  SetInterfaceProp(&s, "Service", static_cast<ISample*>(&s));

  EXPECT_EQ(s.Count, 7);
  EXPECT_EQ(s.Shape, shSquare);
  EXPECT_EQ(GetEnumProp(&s, "Shape"), "shSquare");
  EXPECT_EQ(GetOrdProp(&s, "Shapes"), 6);  // bits of shCircle and shSquare
  EXPECT_EQ(GetSetProp(&s, GetPropInfo(&s, "Shapes")), "shCircle,shSquare");
  EXPECT_TRUE(s.Flag);
  EXPECT_EQ(s.Letter, QChar(0x416));
  EXPECT_EQ(GetFloatProp(&s, "Ratio"), 2.5);
  EXPECT_EQ(GetStrProp(&s, "Caption"), "Привет");
  EXPECT_EQ(GetVariantProp(&s, "Value").ToInt(), 12);
  EXPECT_EQ(GetInt64Prop(&s, "Big"), qint64(1) << 40);
  EXPECT_EQ(GetObjectProp(&s, "Link"), &other);
  EXPECT_EQ(GetObjectProp(&s, "Link", TSample::StaticClass()), nullptr);  // not a TSample
  EXPECT_EQ(s.Service, static_cast<ISample*>(&s));
  EXPECT_EQ(GetOrdProp(&s, "Twice"), 14);
  // Scripts see ordinals and handles as Int64 Variants.
  EXPECT_EQ(GetPropValue(&s, "Link").ToObject(), &other);
  EXPECT_EQ(GetPropValue(&s, "Shape").ToInt(), 2);
}

TEST(Reflection, ErrorsNameThePropertyAndRejectBadValues) {
  TSample s(nullptr);
  TComponent other(nullptr);
  try {
    GetOrdProp(&s, "NoSuchThing");
    FAIL();
  } catch (const EPropertyError& e) {
    EXPECT_TRUE(e.Message().contains("NoSuchThing")) << e.Message().toStdString();
  }
  EXPECT_THROW(SetOrdProp(&s, "Twice", 1), EPropertyError);             // read-only
  EXPECT_THROW(SetOrdProp(&s, "Shape", 3), ERangeError);                // outside the enumeration
  EXPECT_THROW(SetOrdProp(&s, "Count", qint64(1) << 33), ERangeError);  // beyond Integer
  EXPECT_THROW(SetEnumProp(&s, "Shape", "shTriangle"), EPropertyConvertError);
  EXPECT_THROW(GetStrProp(&s, "Count"), EPropertyError);             // another kind
  EXPECT_THROW(SetObjectProp(&s, "Buddy", &other), EPropertyError);  // a field, not a property
  TObject plain;
  auto* linkInfo = GetPropInfo(TSample::StaticClass(), "Link");
  EXPECT_THROW(SetObjectProp(&s, linkInfo, &plain), EInvalidCast);  // not a TComponent
  // A forged handle never becomes an object.
  EXPECT_THROW(SetOrdProp(&s, "Link", qint64(0x4F52) << 40 | 12345), EInvalidCast);
  EXPECT_EQ(s.Link, nullptr);
}

TEST(Reflection, StoredAndDefault) {
  TSample s(nullptr);
  EXPECT_FALSE(IsStoredProp(&s, "Caption"));
  s.Caption = "x";
  EXPECT_TRUE(IsStoredProp(&s, "Caption"));
  EXPECT_FALSE(IsStoredProp(&s, "Name"));
  EXPECT_EQ(GetPropInfo(&s, "Count")->Default, 0);
  EXPECT_EQ(GetPropInfo(&s, "Ratio")->Default, TPropInfo::NoDefault);
}

TEST(Reflection, MethodsFieldsAndInterfaces) {
  TClass cls = TSample::StaticClass();
  ASSERT_NE(cls->MethodAddress("PING"), nullptr);
  EXPECT_EQ(cls->MethodAddress("Nothing"), nullptr);
  EXPECT_EQ(cls->MethodName(cls->MethodAddress("pong")), "Pong");
  const TFieldInfo* f = cls->FindField("buddy");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Declaring, cls);
  EXPECT_EQ(f->FieldClass(), cls);
  TSample s(nullptr);
  TSample b(nullptr);
  f->Set(&s, &b);
  EXPECT_EQ(f->Get(&s), &b);

  ISample* intf = Supports<ISample>(&s);
  ASSERT_NE(intf, nullptr);
  EXPECT_EQ(intf->Answer(), 42);
  EXPECT_NE(Supports<IInterfaceComponentReference>(&s), nullptr);
  EXPECT_EQ(Supports<IInterfaceComponentReference>(&s)->GetComponent(), &s);
  TComponent plain(nullptr);
  EXPECT_EQ(Supports<ISample>(&plain), nullptr);
  plain.SetVCLComObject(
      static_cast<ISample*>(&s));  // the provider slot answers what the component lacks
  EXPECT_EQ(Supports<ISample>(&plain), static_cast<ISample*>(&s));
}

TEST(Events, SetCompareFireAndCopyBetweenComponents) {
  TSample a(nullptr);
  TSample b(nullptr);
  TSample handler(nullptr);
  TMethod m{TSample::StaticClass()->MethodAddress("Ping"), &handler};
  SetMethodProp(&a, "OnPing", m);
  EXPECT_EQ(GetMethodProp(&a, "OnPing"), m);
  // Written to another component's event, the same handler runs for both.
  SetPropValue(&b, "OnPing", GetPropValue(&a, "OnPing"));
  EXPECT_EQ(GetMethodProp(&b, "OnPing"), m);
  a.OnPing(&a);
  b.OnPing(&b);
  EXPECT_EQ(handler.Log, "ping:TSample;ping:TSample;");
  EXPECT_EQ(GetPropValue(&a, "OnPing"), GetPropValue(&b, "OnPing"));
  // Bound directly to an unpublished member function.
  a.OnPing.Bind<&TSample::Pong>(&handler);
  a.OnPing(&a);
  EXPECT_EQ(handler.Log, "ping:TSample;ping:TSample;pong;");
  SetMethodProp(&a, "OnPing", TMethod{});
  EXPECT_FALSE(a.OnPing.Assigned());
  a.OnPing(&a);  // nothing happens
}

TEST(Events, PendingAndOrphanedEventsNeverFire) {
  TSample a(nullptr);
  TMethodInfo pending;  // a name that is not bound yet
  pending.Name = "Later";
  a.OnPing = TMethod{&pending, &a};
  EXPECT_TRUE(a.OnPing.IsPending());
  a.OnPing(&a);
  EXPECT_EQ(a.Log, "");

  auto* handler = new TSample(nullptr);
  a.OnPing.Bind<&TSample::Ping>(handler);
  const Variant token = GetPropValue(&a, "OnPing");
  handler->Free();
  a.OnPing(&a);  // its object is gone: nothing runs
  EXPECT_EQ(GetMethodProp(&a, "OnPing").Data, nullptr);
  EXPECT_FALSE(VariantToMethod(token).Assigned());
}

TEST(Events, TokensRejectForgeriesAndSignatureMismatch) {
  EXPECT_FALSE(VariantToMethod(Variant()).Assigned());
  EXPECT_FALSE(VariantToMethod(Variant(QStringLiteral("0123456789abcdef"))).Assigned());
  EXPECT_FALSE(VariantToMethod(Variant(qint64(12345))).Assigned());
  TSample a(nullptr);
  TMethod twice{TSample::StaticClass()->MethodAddress("Ping"), &a};
  const Variant token = MethodToVariant(twice);
  EXPECT_EQ(VariantToMethod(token), twice);
  EXPECT_EQ(MethodToVariant(twice), token);  // equal methods, equal tokens
  Variant pendingToken;
  {
    TMethodInfo pending;
    pendingToken = MethodToVariant(TMethod{&pending, &a});
    EXPECT_EQ(VariantToMethod(pendingToken).Code, &pending);
  }  // the code is destroyed: its tokens are withdrawn
  EXPECT_FALSE(VariantToMethod(pendingToken).Assigned());
}

struct TOtherSig : TComponent {
  ORV_CLASS(TOtherSig, TComponent)
  using TComponent::TComponent;
  void Take(int) {}
};
ORV_DESCRIBE(TOtherSig) { c.Method("Take", &TOtherSig::Take); }

TEST(Events, WrongSignatureIsRefused) {
  TSample a(nullptr);
  TOtherSig o(nullptr);
  EXPECT_THROW(
      SetMethodProp(&a, "OnPing", TMethod{TOtherSig::StaticClass()->MethodAddress("Take"), &o}),
      EPropertyError);
}

TEST(Registry, FindsClassesByNameIgnoringCaseAndCreatesThroughTheReference) {
  RegisterClasses({TSample::StaticClass(), TComponent::StaticClass()});
  EXPECT_EQ(GetClass("tsample"), TSample::StaticClass());
  EXPECT_EQ(GetClass("TNothing"), nullptr);
  try {
    FindClass("TNothing");
    FAIL();
  } catch (const EClassNotFound& e) {
    EXPECT_TRUE(e.Message().contains("TNothing"));
  }
  TComponent owner(nullptr);
  TObject* made = FindClass("TSample")->Create(&owner);
  ASSERT_NE(dynamic_cast<TSample*>(made), nullptr);
  EXPECT_EQ(static_cast<TComponent*>(static_cast<TSample*>(made))->Owner(), &owner);
  TObject plain;
  EXPECT_THROW(FindClass("TSample")->Create(&plain), EInvalidCast);  // owner must be a component
}

}  // namespace

#include "platform/rtl/stringlist.h"

namespace {

TEST(Reflection, RuntimeStringListsArePublished) {
  TStringList list;
  EXPECT_EQ(list.ClassType()->ClassName(), "TStringList");
  EXPECT_TRUE(list.InheritsFrom(GetClass("TStrings")));
  SetStrProp(&list, "Text", "a\r\nb");
  EXPECT_EQ(GetOrdProp(&list, "Count"), 2);
  EXPECT_EQ(GetStrProp(&list, "CommaText"), "a,b");
  TObject* made = FindClass("tstringlist")->Create();
  EXPECT_NE(dynamic_cast<TStringList*>(made), nullptr);
  made->Free();
}

}  // namespace
