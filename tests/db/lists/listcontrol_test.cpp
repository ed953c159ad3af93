// List datasets opened through their list controls on the demo: the fields as the
// descriptions give them (titles, visibility, tags, calculated and lookup fields), key
// fields, defaults of new records seen from a second session, the default keywords, and the
// description following the rows of a "-LISTID-" column.
#include "core/orvlib.h"
#include "db/orvdblists.h"
#include "db/orvlistcontrol.h"
#include "db/orvlookup.h"
#include "db/orvzeossplist.h"
#include "lists_fixture.h"
#include "platform/data/field.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/rtl/exceptions.h"
#include "support/demo_db.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

using namespace liststest;

namespace {

class ListControls : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(testsupport::DemoDatabase().isEmpty());
    ResetDatabaseState();
    connection = DemoConnection();
    registry = LoadRegistry(connection);
    orvlookup::Initialize();
    observer = Observer();
  }
  void TearDown() override {
    orvlookup::Finalize();
    ResetDatabaseState();
  }

  TListDesc* List(const char* id) {
    TListDesc* l = registry->FindListDesc(S(id));
    EXPECT_NE(l, nullptr) << id;
    return l;
  }
  TPropDesc* Prop(const char* list, const char* field) {
    return List(list)->Props()->FindOrAdd(QLatin1String(field));
  }
  std::unique_ptr<TOrvZeosSPList> Open(const char* id) {
    auto ds = std::make_unique<TOrvZeosSPList>(nullptr);
    BindList(*ds, connection, S(id));
    ds->SetUniqueKeyFields(QStringLiteral("ID"));
    ds->Open();
    return ds;
  }
  QString Db(const QString& sql) { return Scalar(*observer, sql); }

  TRootEnvScope env;
  TZConnection* connection = nullptr;
  TOrvDescList* registry = nullptr;
  std::unique_ptr<DbConnection> observer;
};

TEST_F(ListControls, OpeningAListGivesItsFieldsTheDescriptions) {
  Prop("справочник_организации", "NOTE")->GetDefaultView()->SetVisible(false);
  auto ds = Open("справочник_организации");
  TOrvZeosControl* c = ds->ListControl();
  EXPECT_EQ(c->ListID(), S("справочник_организации"));

  TField* name = ds->FieldByName(QStringLiteral("NAME"));
  EXPECT_EQ(name->DisplayLabel(), S("Наименование"));
  EXPECT_TRUE(name->Visible());
  EXPECT_TRUE(name->Required());
  EXPECT_EQ(name->Tag(), Prop("справочник_организации", "NAME")->Companion()->Tag());
  EXPECT_FALSE(ds->FieldByName(QStringLiteral("NOTE"))->Visible());
  EXPECT_FALSE(ds->FieldByName(QStringLiteral("ID"))->Visible());  // the demo hides keys
  // Every field has its property control bound to its description.
  EXPECT_EQ(orvdblists::FieldPropDesc(name), Prop("справочник_организации", "NAME"));

  // Without titles the result keeps its own labels and visibility.
  auto plain = std::make_unique<TOrvZeosSPList>(nullptr);
  BindList(*plain, connection, S("справочник_организации"));
  plain->ListControl()->AssignTitles = false;
  plain->Open();
  EXPECT_EQ(plain->FieldByName(QStringLiteral("NAME"))->DisplayLabel(), QStringLiteral("NAME"));
  EXPECT_TRUE(plain->FieldByName(QStringLiteral("NOTE"))->Visible());

  // IListFields answers for the dataset; an unknown name raises the list's own text.
  IListFields* fields = Supports<IListFields>(ds.get());
  ASSERT_NE(fields, nullptr);
  EXPECT_EQ(fields->FindField(QStringLiteral("name")), name);
  EXPECT_EQ(fields->GetListDesc(), List("справочник_организации"));
  try {
    fields->FieldByName(QStringLiteral("NOPE"));
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), S("Поле/свойство 'NOPE' не найдено"));
  }
}

TEST_F(ListControls, FormatsGoToTheFieldsPublishedFormatProperties) {
  Prop("документы", "SUMMA")->DisplayFormat = QStringLiteral("0.0");
  Prop("документы", "SUMMA")->SetEditFormat(QStringLiteral("0.00"));
  Prop("документы", "VAT")->DisplayFormat = QStringLiteral(" ");  // blank: left alone
  Prop("документы", "DOCDATE")->SetEditFormat(QStringLiteral("!99.99.9999"));
  auto ds = Open("документы");
  TField* summa = ds->FieldByName(QStringLiteral("SUMMA"));
  EXPECT_EQ(summa->DisplayFormat(), QStringLiteral("0.0"));
  EXPECT_EQ(summa->EditFormat(), QStringLiteral("0.00"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("VAT"))->DisplayFormat(), QString());
  // No edit format under the date display format "dd.mm.yyyy".
  EXPECT_EQ(ds->FieldByName(QStringLiteral("DOCDATE"))->EditMask(), QString());
}

TEST_F(ListControls, DescriptionsAddCalculatedAndLookupFields) {
  TPropDesc* extra = Prop("документы", "EXTRA");
  extra->SetParamName(QStringLiteral("=A20"));
  extra->DefaultValue = S("всегда");
  Prop("документы", "ORGINN")->SelfFieldName = QStringLiteral("ORGID.INN");
  Prop("документы", "NOLINK")->SelfFieldName = QStringLiteral("NUM.NAME");
  Prop("документы", "NORESULT")->SelfFieldName = QStringLiteral("ORGID.NOPE");
  // The description's calculation handler runs after the control wrote the default.
  struct CalcSink : public TObject {
    QString seen;
    int calls = 0;
    void Calc(TDataSet* d) {
      ++calls;
      seen = d->FieldByName(QStringLiteral("EXTRA"))->AsString();
    }
  } sink;
  auto* component = dynamic_cast<TOrvDataListDesc*>(List("документы")->Companion());
  ASSERT_NE(component, nullptr);
  component->OnCalcFields.Bind<&CalcSink::Calc>(&sink);
  auto ds = Open("документы");

  TField* calc = ds->FindField(QStringLiteral("EXTRA"));
  ASSERT_NE(calc, nullptr);
  EXPECT_TRUE(calc->Calculated());
  EXPECT_EQ(calc->DataType(), ftString);
  EXPECT_EQ(calc->Size(), 20);
  EXPECT_EQ(calc->DisplayText(), S("всегда"));
  EXPECT_EQ(calc->AsString(), S("всегда"));  // the value itself, not only its text
  EXPECT_GT(sink.calls, 0);
  EXPECT_EQ(sink.seen, S("всегда"));
  component->OnCalcFields.Clear();

  TField* inn = ds->FindField(QStringLiteral("ORGINN"));
  ASSERT_NE(inn, nullptr);
  EXPECT_TRUE(inn->Lookup());
  for (ds->First(); !ds->Eof(); ds->Next()) {
    const QString org = ds->FieldByName(QStringLiteral("ORGID"))->AsString();
    const QString want =
        Db(QStringLiteral("select coalesce(inn, '<none>') from orgs where id = ") + org);
    EXPECT_EQ(inn->IsNull() ? QStringLiteral("<none>") : inn->AsString(), want)
        << org.toStdString();
  }
  // Without a link or without the result field nothing is made and nothing raised.
  EXPECT_EQ(ds->FindField(QStringLiteral("NOLINK")), nullptr);
  EXPECT_EQ(ds->FindField(QStringLiteral("NORESULT")), nullptr);

  // A lookup dataset of the list gets no fields of the descriptions.
  TDataSet* lookup = List("документы")->Links()->LookupDataSet();
  ASSERT_NE(lookup, nullptr);
  lookup->Open();
  EXPECT_EQ(lookup->FindField(QStringLiteral("EXTRA")), nullptr);
  EXPECT_EQ(lookup->FindField(QStringLiteral("ORGINN")), nullptr);
}

TEST_F(ListControls, KeyFieldNamesComeFromThePrimaryFieldsThenTheLinksThenTheDefault) {
  auto ds = Open("справочник_организации");
  QString names;
  ds->ListControl()->GetKeyFieldNames(names, QStringLiteral("ID"));
  EXPECT_EQ(names, QStringLiteral("ID"));

  // A list without primary fields: the longest lookup key of the links into it.
  TListDesc* bare = registry->AddListDesc(QStringLiteral("bare"));
  TPropDesc* a = Prop("документы", "BAREA");
  TPropDesc* b = Prop("документ_строки", "BAREB");
  auto linkInto = [&](TPropDesc* p, const QString& keys) {
    p->Link()->Setup(QStringLiteral("bare"), keys, p->GetName(), QString(), QString(), QString());
  };
  linkInto(a, QStringLiteral("ID"));
  linkInto(b, QStringLiteral("ID;KIND"));
  TOrvZeosSPList other(nullptr);
  other.ListControl()->SetDesc(bare);
  other.ListControl()->GetKeyFieldNames(names, QStringLiteral("ID"));
  EXPECT_EQ(names, QStringLiteral("ID;KIND"));
}

TEST_F(ListControls, ANewRecordGetsItsDefaultsAndIsSavedWithThem) {
  Prop("справочник_организации", "ID")->SetParamName(QStringLiteral("COUNTER"));
  Prop("справочник_организации", "NOTE")->DefaultValue = S("новая");
  Prop("справочник_организации", "PHONE")->SetParamName(QStringLiteral("@NO_SUCH_KEY"));
  Prop("справочник_организации", "ADDRESS")->SetParamName(QStringLiteral("@NO_SUCH_KEY"));
  Prop("справочник_организации", "ADDRESS")->DefaultValue = S("не указан");
  auto ds = Open("справочник_организации");
  ds->Insert();
  TField* id = ds->FieldByName(QStringLiteral("ID"));
  ASSERT_FALSE(id->IsNull());
  EXPECT_EQ(ds->FieldByName(QStringLiteral("NOTE"))->AsString(), S("новая"));
  // A value-store key without a row gives the description's default, else the empty text.
  EXPECT_EQ(ds->FieldByName(QStringLiteral("ADDRESS"))->AsString(), S("не указан"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("PHONE"))->AsString(), QString());

  // "*" never overwrites; a list of names overwrites what it names.
  ds->FieldByName(QStringLiteral("NOTE"))->SetAsString(QStringLiteral("typed"));
  ds->ListControl()->SetDefaultValues(QStringLiteral("*"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("NOTE"))->AsString(), QStringLiteral("typed"));
  const int key = id->AsInteger();
  ds->ListControl()->SetDefaultValues(QStringLiteral("PHONE;note"));
  EXPECT_EQ(ds->FieldByName(QStringLiteral("NOTE"))->AsString(), S("новая"));
  EXPECT_EQ(id->AsInteger(), key);  // a counter never replaces a number

  ds->FieldByName(QStringLiteral("NAME"))->SetAsString(S("ООО «По умолчанию»"));
  ds->Post();
  EXPECT_EQ(Db(QStringLiteral("select name || '/' || note from orgs where id = %1").arg(key)),
            S("ООО «По умолчанию»/новая"));
}

TEST_F(ListControls, DefaultKeywordsWriteTheirValues) {
  auto ds = Open("документы");
  TListControl* c = ds->ListControl();
  ds->Insert();
  TField* num = ds->FieldByName(QStringLiteral("NUM"));
  TField* date = ds->FieldByName(QStringLiteral("DOCDATE"));
  TField* note = ds->FieldByName(QStringLiteral("NOTE"));
  TField* id = ds->FieldByName(QStringLiteral("ID"));

  id->SetAsInteger(5);
  c->ApplyDefaultKeyword(id, QStringLiteral("counter"));
  EXPECT_EQ(id->AsInteger(), 5);
  id->Clear();
  c->ApplyDefaultKeyword(id, QStringLiteral("COUNTER"));
  EXPECT_FALSE(id->IsNull());

  c->ApplyDefaultKeyword(num, QStringLiteral("NOW"));
  EXPECT_EQ(num->AsString().size(), 20);
  c->ApplyDefaultKeyword(note, QStringLiteral("SPACE"));
  EXPECT_TRUE(!note->IsNull() && note->AsString().isEmpty());
  c->ApplyDefaultKeyword(note, QStringLiteral("CLEAR"));
  EXPECT_TRUE(note->IsNull());
  // Without a master the working date.
  c->ApplyDefaultKeyword(date, QStringLiteral("PARENTDATE"));
  EXPECT_EQ(date->AsDateTime(), orvlib::OrvDefaultDate());
  date->Clear();
  c->ApplyDefaultKeyword(num, QStringLiteral("DATE"));  // not a date field
  EXPECT_EQ(num->AsString().size(), 20);
  // ":name" takes the dataset's parameter.
  ds->Params().ParamByName(QStringLiteral("ORDER"))->SetAsString(QStringLiteral("docdate"));
  c->ApplyDefaultKeyword(note, QStringLiteral(":ORDER"));
  EXPECT_EQ(note->AsString(), QStringLiteral("docdate"));
  ds->Cancel();
}

TEST_F(ListControls, AppendWithSaveCarriesTheCopyableValues) {
  auto ds = Open("справочник_организации");
  ds->First();
  const QString name = ds->FieldByName(QStringLiteral("NAME"))->AsString();
  Supports<IListFields>(ds.get())->AppendWithSave();
  EXPECT_EQ(ds->State(), dsInsert);
  EXPECT_EQ(ds->FieldByName(QStringLiteral("NAME"))->AsString(), name);
  EXPECT_TRUE(ds->FieldByName(QStringLiteral("ID"))->IsNull());
  ds->Cancel();
}

TEST_F(ListControls, ADescriptionIsChosenByKeyNameOrFieldValue) {
  TListDesc* stores = List("справочник_склады");
  stores->ListKey = 17;
  TMemDataSet values(nullptr);
  values.FieldDefs().Add(QStringLiteral("T"), ftString, 40);
  values.FieldDefs().Add(QStringLiteral("I"), ftInteger);
  values.FieldDefs().Add(QStringLiteral("F"), ftFloat);
  values.CreateDataSet();
  values.Append();
  values.FieldByName(QStringLiteral("T"))->SetAsString(S("  справочник_единицы "));
  values.FieldByName(QStringLiteral("I"))->SetAsInteger(17);
  values.FieldByName(QStringLiteral("F"))->SetAsFloat(17);

  TOrvZeosSPList ds(nullptr);
  TListControl* c = ds.ListControl();
  EXPECT_EQ(c->ListID(), QStringLiteral(" "));
  c->SetDescByObject(values.FieldByName(QStringLiteral("T")));
  EXPECT_EQ(c->ListDesc(), List("справочник_единицы"));
  c->SetDescByObject(values.FieldByName(QStringLiteral("I")));
  EXPECT_EQ(c->ListDesc(), stores);
  c->SetDescByObject(values.FieldByName(QStringLiteral("F")));
  EXPECT_EQ(c->ListDesc(), nullptr);
  c->SetDescByKey(17);
  EXPECT_EQ(c->ListKey(), 17);
  c->SetDescByObject(&values);  // any other object changes nothing
  EXPECT_EQ(c->ListDesc(), stores);
  values.Cancel();
}

// Counts the property changes that name a description.
class TSwitchWatch : public TOrvZeosQLocation {
 public:
  TSwitchWatch() : TOrvZeosQLocation(nullptr) {}
  void ListEvent(quint32 event, TObject* info) override {
    if (dynamic_cast<TListDesc*>(info) != nullptr) ++Switches;
    TOrvZeosQLocation::ListEvent(event, info);
  }
  int Switches = 0;
};

// Rows naming their own list in "-LISTID-": the description follows the row, once per change.
TEST_F(ListControls, TheDescriptionFollowsTheListOfTheRow) {
  for (const char* id : {"справочник_единицы", "справочник_склады"})
    Prop(id, "-LISTID-")->GetDefaultView()->SetVisible(false);
  TSwitchWatch ds;
  ds.SetConnection(connection);
  ds.SetSQLText(
      S("select * from (values (1, 'справочник_единицы'), (2, 'справочник_склады'), "
        "(3, 'справочник_склады')) v(\"ID\", \"-LISTID-\") order by 1"));
  ds.ListControl()->SetDesc(List("справочник_единицы"));
  ds.Open();
  ASSERT_NE(ds.ListControl()->SubListField(), nullptr);
  const int afterOpen = ds.Switches;
  EXPECT_EQ(ds.ListControl()->ListID(), S("справочник_единицы"));
  ds.Next();
  EXPECT_EQ(ds.ListControl()->ListID(), S("справочник_склады"));
  EXPECT_EQ(ds.Switches, afterOpen + 1);
  ds.Next();
  EXPECT_EQ(ds.ListControl()->ListID(), S("справочник_склады"));
  EXPECT_EQ(ds.Switches, afterOpen + 1);
}

// The tail walk follows the next-field chain of the source list's link; a cycle in the
// setup rows (A -> B -> A) ends the walk instead of hanging the row change.
TEST_F(ListControls, ACycleInTheLinkChainEndsTheTailWalk) {
  TListDesc* own = registry->AddListDesc(QStringLiteral("own"));
  own->SetAliasID(QStringLiteral("ORV"));
  TPropDesc* linkField = own->Props()->FindOrAdd(QStringLiteral("LINKF"));
  linkField->Link()->Setup(S("справочник_единицы"), QStringLiteral("ID"), QStringLiteral("LINKF"),
                           QStringLiteral("SRCLIST"), QString(), QStringLiteral("L"));
  linkField->Link()->SetLinkIDChain(QStringLiteral("L"));
  TListDesc* src = registry->AddListDesc(QStringLiteral("src"));
  TPropDesc* a = src->Props()->FindOrAdd(QStringLiteral("A"));
  TPropDesc* b = src->Props()->FindOrAdd(QStringLiteral("B"));
  for (TPropDesc* p : {a, b}) {
    p->Link()->Setup(S("справочник_единицы"), QStringLiteral("ID"), p->GetName(), QString(),
                     QString(), QStringLiteral("L"));
    p->Link()->SetLinkIDChain(QStringLiteral("L"));
  }
  a->Link()->SetNextPropDesc(b);
  b->Link()->SetNextPropDesc(a);

  TSwitchWatch ds;
  ds.SetConnection(connection);
  ds.SetSQLText(
      QStringLiteral("select 1 as \"ID\", 'src' as \"SRCLIST\", 'x' as \"A\", "
                     "'y' as \"B\""));
  ds.ListControl()->SetDesc(own);
  ds.ListControl()->SetLinkID(QStringLiteral("L"));
  ds.ListControl()->SetLinkBase(lbLinkID);
  ds.Open();
  EXPECT_EQ(ds.ListControl()->SourceList(), src);
  ds.ListControl()->SwitchListForRow();
  EXPECT_EQ(ds.ListControl()->ListDesc(), own);
}

TEST_F(ListControls, TheSourceLinkReadsRootListIdAndNeedsIt) {
  auto ds = Open("справочник_организации");
  TListControl* c = ds->ListControl();
  c->SetLinkID(S("Источник"));
  c->SetLinkBase(lbLinkID);
  QString name;
  try {
    c->FindLinkDesc(name);
    ADD_FAILURE() << "no error";
  } catch (const EDatabaseError& e) {
    EXPECT_EQ(e.Message(), S("Поле/свойство 'ROOTLISTID' не найдено"));
  }
  // Any other link id never reads that field.
  c->SetLinkID(QStringLiteral("ORGID"));
  EXPECT_FALSE(c->FindLinkDesc(name));

  // With the field: the ROOTID link of the registry list that points where the row says.
  TPropDesc* root = Prop("справочник_единицы", "ROOTID");
  root->Link()->Setup(S("справочник_склады"), QStringLiteral("ID"), QStringLiteral("ROOTID"),
                      QString(), QString(), QString());
  TOrvZeosQLocation rows(nullptr);
  rows.SetConnection(connection);
  rows.SetSQLText(S("select 1 as \"ID\", 'справочник_склады' as \"ROOTLISTID\""));
  rows.ListControl()->SetDesc(List("справочник_организации"));
  rows.Open();
  rows.ListControl()->SetLinkID(S("Источник"));
  rows.ListControl()->SetLinkBase(lbLinkID);
  ASSERT_TRUE(rows.ListControl()->FindLinkDesc(name));
  EXPECT_EQ(name, S("справочник_склады"));
}

}  // namespace
