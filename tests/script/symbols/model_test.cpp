// Symbols, member lists, the scope lookup and the class table.
#include "fixture.h"

namespace {

TEST_F(RegistryTest, MemberListIgnoresCaseAndRemovesOnlyTheListedItem) {
  auto* comp = new TComp(root);
  auto* first = new TConstItem(comp);
  first->ChangeName(QStringLiteral("Value"));
  EXPECT_EQ(comp->FindOwnItem(QStringLiteral("VALUE")), first);
  auto* second = new TConstItem(comp);
  second->ChangeName(QStringLiteral("VALUE"));
  EXPECT_EQ(comp->FindOwnItem(QStringLiteral("value")), second);
  EXPECT_EQ(first->Master(), comp);  // replaced in the list, still pointing at it
  first->Free();
  EXPECT_EQ(comp->FindOwnItem(QStringLiteral("value")), second);

  second->ChangeName(QStringLiteral("value"));  // a change of case only
  EXPECT_EQ(second->Name(), QStringLiteral("value"));
  EXPECT_EQ(comp->FindOwnItem(QStringLiteral("Value")), second);
  EXPECT_EQ(comp->CompItemCount(), 1);

  second->SetMaster(nullptr);
  EXPECT_EQ(comp->FindOwnItem(QStringLiteral("value")), nullptr);
  second->SetMaster(comp);
  EXPECT_EQ(comp->FindOwnItem(QStringLiteral("value")), second);
  comp->Free();
}

TEST_F(RegistryTest, ScopeLookupOrder) {
  TCls* base = orvcodeh::FindOrCreateCls(root, QStringLiteral("TBase"));
  TCls* derived = orvcodeh::FindOrCreateCls(base, QStringLiteral("TDerived"));
  EXPECT_EQ(derived->ClsParent(), base);
  auto add = [](TComp* owner, const char* name) {
    auto* item = new TConstItem(owner);
    item->ChangeName(QString::fromLatin1(name));
    return item;
  };
  TConstItem* x = add(base, "X");
  TConstItem* y = add(derived, "Y");
  ICompItem* g = root->AddGlobalConst(QStringLiteral("G"), 1);

  // A routine scope entered in the class: own members, then the enclosing class's scope.
  auto* routine = new TComp(derived);
  routine->ChangeName(QStringLiteral("Run"));
  EXPECT_EQ(routine->Master(), derived);
  TConstItem* localY = add(routine, "y");

  struct Case {
    const TComp* scope;
    const char* name;
    const ICompItem* found;
  };
  const Case cases[] = {
      {derived, "y", y},      {derived, "x", x},
      {derived, "g", g},                          // own, inherited, global
      {routine, "Y", localY},                     // own member shadows
      {routine, "X", x},      {routine, "G", g},  // then the master's rules
      {base, "Y", nullptr},   {routine, "nothing", nullptr},
  };
  for (const Case& c : cases)
    EXPECT_EQ(static_cast<const ICompItem*>(c.scope->FindItem(QString::fromLatin1(c.name))),
              c.found)
        << c.scope->Name().toStdString() << "." << c.name;

  // An explicit parent is the inheritance parent whatever the owner.
  auto* script = new TInstanceCls(root);
  script->SetClsParent(derived);
  EXPECT_EQ(script->FindItem(QStringLiteral("X")), x);
  EXPECT_EQ(script->ItemCount(), derived->ItemCount());
}

TEST_F(RegistryTest, ScopeWithoutMasterAsksTheSiteClassOfAnOwner) {
  auto* form = new TGadget(nullptr);
  auto* button = new TGadget(form);
  button->SetName(QStringLiteral("Btn"));
  auto* loose = new TComp(form);                               // owned by a form, in no member list
  EXPECT_EQ(loose->FindItem(QStringLiteral("Btn")), nullptr);  // the form has no site class

  auto* site = new TSiteInstanceCls(form);
  site->ChangeName(orvcodeh::SiteName(form));
  auto* member = new TConstItem(site);
  member->ChangeName(QStringLiteral("Btn"));
  EXPECT_EQ(orvcodeh::SiteCls(form), site);
  EXPECT_EQ(loose->FindItem(QStringLiteral("btn")), member);
  EXPECT_EQ(loose->FindItem(QStringLiteral("Other")), nullptr);
  const QString siteName = orvcodeh::SiteName(form);
  form->Free();
  EXPECT_EQ(orvcodeh::FindCls(siteName), nullptr);
}

TEST_F(RegistryTest, ClassTable) {
  EXPECT_EQ(orvcodeh::FindCls(QString()), root);
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("no such class")), nullptr);
  TCls* fallback = orvcodeh::FindCls(QStringLiteral("Float"));
  EXPECT_EQ(orvcodeh::FindClsDef(QStringLiteral("nothing"), fallback), fallback);
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("real"))->ClsParent(), fallback);

  // The last class named wins; renaming leaves the old name.
  TCls* a = orvcodeh::FindOrCreateCls(root, QStringLiteral("TSame"));
  auto* b = new TCls(root);
  b->ChangeName(QStringLiteral("tsame"));
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("TSAME")), b);
  b->ChangeName(QStringLiteral("TOther"));
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("TSame")), nullptr);  // a left the table when replaced
  a->ChangeName(QStringLiteral("TSame"));
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("TSame")), a);
  b->Free();
  EXPECT_EQ(orvcodeh::FindCls(QStringLiteral("TOther")), nullptr);

  // FindOrCreateCls moves an existing class under the owner given.
  TCls* moved = orvcodeh::FindOrCreateCls(a, QStringLiteral("Real"));
  EXPECT_EQ(moved->ClsParent(), a);
}

TEST_F(RegistryTest, TypeNameBeforeItsClassBecomesAPlaceholderThatKeepsItsMembers) {
  auto* item = new TConstItem(root);
  EXPECT_EQ(item->ClsName(), QStringLiteral(" "));
  item->SetClsName(QStringLiteral("TBigGadget"));
  TCls* placeholder = item->Cls();
  ASSERT_NE(placeholder, nullptr);
  EXPECT_EQ(placeholder->Owner(), root);
  EXPECT_EQ(placeholder->NativeClass, nullptr);
  EXPECT_NE(root->AddProp(QStringLiteral("TBigGadget.Early"), nullptr, nullptr), nullptr);

  TCls* mirror = orvcodeh::GetClsOf(TBigGadget::StaticClass());
  EXPECT_EQ(mirror, placeholder);
  EXPECT_EQ(mirror->NativeClass, TBigGadget::StaticClass());
  EXPECT_EQ(mirror->ClsParent(), orvcodeh::FindCls(QStringLiteral("TGadget")));
  EXPECT_NE(mirror->FindOwnItem(QStringLiteral("Early")), nullptr);
  EXPECT_NE(mirror->FindOwnItem(QStringLiteral("Extra")), nullptr);
  EXPECT_EQ(orvcodeh::GetClsOf(TBigGadget::StaticClass()), mirror);
  EXPECT_EQ(orvcodeh::GetClsOf(nullptr), root);
  EXPECT_EQ(item->ClsName(), QStringLiteral("TBigGadget"));
}

TEST_F(RegistryTest, FreeingACompoundClearsTheMasterOfMembersOwnedElsewhere) {
  auto* comp = new TComp(root);
  auto* stranger = new TConstItem(root);
  comp->AddItem(QStringLiteral("S"), stranger);
  EXPECT_EQ(stranger->Master(), comp);
  comp->Free();
  EXPECT_EQ(stranger->Master(), nullptr);
  stranger->Free();
}

}  // namespace
