// Published properties and component fields of native classes as script members.
#include "fixture.h"

namespace {

class PropsTest : public RegistryTest {
 protected:
  TValueItem* Member(TCls* cls, const char* name) {
    return dynamic_cast<TValueItem*>(cls->FindItem(QString::fromLatin1(name)));
  }
  TCls* gadget = orvcodeh::GetClsOf(TGadget::StaticClass());
};

TEST_F(PropsTest, EveryPropertyKindReadsAndWritesByName) {
  TGadget g(nullptr);
  TGadget other(nullptr);
  struct Case {
    const char* name;
    const char* itemClass;
    Variant written;
    Variant read;
  };
  const Case cases[] = {
      {"Count", "TOrdSysPropItem", Variant(7), Variant(qint64(7))},
      {"Shade", "TOrdSysPropItem", Variant(2), Variant(qint64(2))},
      {"Shades", "TOrdSysPropItem", Variant(6), Variant(qint64(6))},  // {shDark, shBlack} as bits
      {"Flag", "TOrdSysPropItem", Variant(true), Variant(qint64(1))},
      {"Letter", "TOrdSysPropItem", Variant(98), Variant(qint64(98))},
      {"Ratio", "TFloatSysPropItem", Variant(QStringLiteral("2.5")), Variant(2.5)},
      {"Caption", "TStrSysPropItem", Variant(QStringLiteral("Привет")),
       Variant(QStringLiteral("Привет"))},
      {"Data", "TVariantSysPropItem", Variant(QStringLiteral("x")), Variant(QStringLiteral("x"))},
      {"Big", "TInt64SysPropItem", Variant(qint64(1) << 40), Variant(qint64(1) << 40)},
      {"Buddy", "TClassSysPropItem", orvcls::ObjToVar(&other), orvcls::ObjToVar(&other)},
      {"Probe", "TIntfSysPropItem", Variant(), Variant::FromInterface(nullptr)},
  };
  for (const Case& c : cases) {
    TValueItem* item = Member(gadget, c.name);
    ASSERT_NE(item, nullptr) << c.name;
    EXPECT_EQ(item->ClassName(), QString::fromLatin1(c.itemClass)) << c.name;
    item->SetValue(&g, c.written);
    const Variant read = item->GetValue(&g);
    EXPECT_EQ(read.VType(), c.read.VType()) << c.name;
    EXPECT_TRUE(VarSameValue(read, c.read)) << c.name << ": " << VarToStr(read).toStdString();
  }
  EXPECT_EQ(g.Shades, (TShades{shDark, shBlack}));
  EXPECT_EQ(g.Buddy, &other);
  EXPECT_EQ(g.Letter, QLatin1Char('b'));
}

TEST_F(PropsTest, TypeClassesOfProperties) {
  EXPECT_EQ(Member(gadget, "Buddy")->Cls(), orvcodeh::FindCls(QStringLiteral("TComponent")));
  // Other types by the name of the type: a class of that name or a placeholder.
  auto* caption = dynamic_cast<TSysPropItem*>(Member(gadget, "Caption"));
  EXPECT_EQ(caption->Cls(), orvcodeh::FindCls(caption->PropInfo()->PropType->Name));
  TCls* event = Member(gadget, "OnPing")->Cls();
  ASSERT_NE(dynamic_cast<TProcedureCls*>(event), nullptr);
  EXPECT_EQ(event->Name(), QStringLiteral("TNotifyEvent"));
  EXPECT_NE(event->FindOwnItem(QStringLiteral("Sender")), nullptr);
}

TEST_F(PropsTest, InheritedPropertiesAreServedByTheParentsMember) {
  TCls* big = orvcodeh::GetClsOf(TBigGadget::StaticClass());
  EXPECT_EQ(big->FindOwnItem(QStringLiteral("Count")), nullptr);
  EXPECT_EQ(big->FindItem(QStringLiteral("Count")), gadget->FindOwnItem(QStringLiteral("Count")));
  EXPECT_NE(big->FindOwnItem(QStringLiteral("Extra")), nullptr);
  TBigGadget b(nullptr);
  Member(big, "Count")->SetValue(&b, 4);
  EXPECT_EQ(b.Count, 4);
}

TEST_F(PropsTest, MembersUsedOnNoObjectOrTheWrongObjectRaiseNamingTheMember) {
  TComponent plain(nullptr);
  for (const char* name : {"Count", "Caption", "Buddy", "OnPing"}) {
    TValueItem* item = Member(gadget, name);
    try {
      item->GetValue(nullptr);
      ADD_FAILURE() << name;
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(),
                QStringLiteral(" ... \"CheckNil\" ... \"Slf = nil\" ... \"%1\"").arg(name));
    }
    try {
      item->SetValue(&plain, Variant());
      ADD_FAILURE() << name;
    } catch (const Exception& e) {
      EXPECT_TRUE(e.Message().contains(QLatin1String(name))) << e.Message().toStdString();
    }
  }
}

TEST_F(PropsTest, EventValuesTravelBetweenComponents) {
  TGadget first(nullptr), second(nullptr);
  first.OnPing.Bind<&TGadget::Ping>(&first);
  TValueItem* onPing = Member(gadget, "OnPing");
  const Variant handler = onPing->GetValue(&first);
  onPing->SetValue(&second, handler);
  second.OnPing(&second);
  EXPECT_EQ(first.pings, 1);
  onPing->SetValue(&second, Variant());
  second.OnPing(&second);
  EXPECT_EQ(first.pings, 1);
}

TEST_F(PropsTest, ComponentFieldsOfAForm) {
  auto* form = new TGadget(nullptr);
  auto* part = new TGadget(form);
  part->SetName(QStringLiteral("Part"));
  form->Part = part;
  auto* extra = new TGadget(form);
  extra->SetName(QStringLiteral("Extra1"));
  root->AddComponentFields(form);

  auto* field = dynamic_cast<TSysFieldItem*>(gadget->FindOwnItem(QStringLiteral("Part")));
  ASSERT_NE(field, nullptr);
  EXPECT_EQ(field->Cls(), gadget);
  EXPECT_EQ(orvcls::VarToObj(field->GetValue(form)), part);
  auto* byName = dynamic_cast<TComponentFieldItem*>(gadget->FindOwnItem(QStringLiteral("Extra1")));
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(orvcls::VarToObj(byName->GetValue(form)), extra);

  // The member serves every instance of the class: each finds its own component.
  auto* form2 = new TGadget(nullptr);
  auto* extra2 = new TGadget(form2);
  extra2->SetName(QStringLiteral("Extra1"));
  EXPECT_EQ(orvcls::VarToObj(byName->GetValue(form2)), extra2);
  EXPECT_EQ(orvcls::VarToObj(byName->GetValue(form)), extra);

  TComponent plain(nullptr);
  EXPECT_THROW(field->GetValue(&plain), Exception);  // no published field of that name
  EXPECT_THROW(field->GetValue(nullptr), Exception);
  form->Free();
  form2->Free();
}

}  // namespace
