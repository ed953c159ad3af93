// Lookup caches, edit rights, guards, parameters and list switching, without a server.
#include "db/orvdb.h"
#include "db/orvdbclasses.h"
#include "db/orvdbintf.h"
#include "db/orvzeosdb.h"
#include "platform/data/datasource.h"
#include "platform/data/field.h"
#include "platform/data/memdataset.h"
#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"
#include "support/test_support.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(LookupCache, KeysMatchByCountAndFarHitsMoveToTheEnd) {
  TOrvLookupList one("ID");
  one.Add(Variant(5))->Value = Variant("five");
  bool found = false;
  EXPECT_EQ(one.Lookup(Variant(5), found).ToString(), "five");
  EXPECT_TRUE(found);
  EXPECT_TRUE(one.Lookup(Variant::Null(), found).IsNull());
  EXPECT_FALSE(found);
  EXPECT_EQ(one.Find(VarArrayOf({Variant(5), Variant(1)})), nullptr);

  TOrvLookupList two("A;B");
  for (int i = 0; i < 60; ++i) two.Add(VarArrayOf({Variant(i), Variant("k")}));
  // Count 60: index 9 is 51 from the end and moves, index 10 (50 from the end) stays.
  EXPECT_NE(two.Find(VarArrayOf({Variant(10), Variant("k")})), nullptr);
  EXPECT_EQ(two.Item(10)->Key.ArrayGet(0).ToInt(), 10);
  EXPECT_NE(two.Find(VarArrayOf({Variant(9), Variant("k")})), nullptr);
  EXPECT_EQ(two.Item(59)->Key.ArrayGet(0).ToInt(), 9);
  EXPECT_EQ(two.Item(9)->Key.ArrayGet(0).ToInt(), 10);
  EXPECT_EQ(two.Find(Variant(3)), nullptr);
}

TEST(LookupCache, KeepItemsSurvivesOneClearAndNewResultFieldsClear) {
  TOrvLookupList list("ID");
  list.Add(Variant(1));
  EXPECT_EQ(list.IndexOfResultField("NAME"), 0);
  EXPECT_EQ(list.Count(), 0);
  list.Add(Variant(1));
  EXPECT_EQ(list.IndexOfResultField("NAME"), 0);
  EXPECT_EQ(list.Count(), 1);
  list.KeepItems = true;
  list.Clear();
  EXPECT_EQ(list.Count(), 1);
  EXPECT_FALSE(list.KeepItems);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  list.Add(Variant(1));
  EXPECT_EQ(list.IndexOfResultField("CODE"), 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ResultFieldsText(), "NAME;CODE");
}

// A dataset that answers edit rights of its own.
class TRightsDataSet : public TMemDataSet, public IEditRights {
 public:
  explicit TRightsDataSet(TComponent* owner) : TMemDataSet(owner) {}
  bool del = true, edit = true, ins = true;
  bool CanDelete() override { return del; }
  bool CanEdit() override { return edit; }
  bool CanInsert() override { return ins; }
  IInterface* QueryInterface(const TGUID& iid) override {
    if (iid == IEditRights::IID) return static_cast<IEditRights*>(this);
    return TMemDataSet::QueryInterface(iid);
  }
};

TEST(EditRights, SourceThenDataSetThenEmptyMeansInsert) {
  TDataSource src(nullptr);
  EXPECT_FALSE(orvdbintf::CanDelete(nullptr));
  EXPECT_FALSE(orvdbintf::CanEdit(&src));  // no dataset
  TMemDataSet plain(nullptr);
  plain.FieldDefs().Add("ID", ftInteger);
  plain.CreateDataSet();
  plain.AppendRecord({Variant(1)});
  src.SetDataSet(&plain);
  EXPECT_TRUE(orvdbintf::CanDelete(&src));
  EXPECT_TRUE(orvdbintf::CanEdit(&src));
  EXPECT_TRUE(orvdbintf::CanInsert(&src));

  TRightsDataSet ds(nullptr);
  ds.FieldDefs().Add("ID", ftInteger);
  ds.CreateDataSet();
  src.SetDataSet(&ds);
  ds.ins = false;
  EXPECT_FALSE(orvdbintf::CanEdit(&src));  // empty: editing is inserting
  ds.AppendRecord({Variant(1)});
  EXPECT_TRUE(orvdbintf::CanEdit(&src));
  ds.del = false;
  EXPECT_FALSE(orvdbintf::CanDelete(&src));
  src.SetDataSet(nullptr);
}

TEST(Vocabulary, FieldTypeOfVariant) {
  const std::pair<Variant, TFieldType> cases[] = {
      {Variant(1), ftInteger},
      {Variant::FromSmallint(2), ftInteger},
      {Variant(1.5), ftFloat},
      {Variant(Currency::FromRaw(1)), ftFloat},
      {Variant::FromDate(1), ftDateTime},
      {Variant("x"), ftString},
      {Variant(true), ftBoolean},
      {Variant(qint64(1) << 40), ftLargeint},
      {Variant::Null(), ftUnknown},
      {Variant(), ftUnknown},
  };
  for (const auto& [v, t] : cases) EXPECT_EQ(orvdbintf::FieldTypeOfVariant(v), t);
  EXPECT_EQ(orvdbintf::FieldTypeOfVariant(Variant::Null(), ftString), ftString);
}

class TRecordingTrn : public TComponent, public ITransactionControl {
 public:
  TRecordingTrn() : TComponent(nullptr) {}
  QStringList log;
  bool failCommit = false;
  void StartTransaction() override { log << "start"; }
  void Commit() override {
    log << "commit";
    if (failCommit) throw EDatabaseError("refused");
  }
  void Rollback() override { log << "rollback"; }
  IInterface* QueryInterface(const TGUID& iid) override {
    if (iid == ITransactionControl::IID) return static_cast<ITransactionControl*>(this);
    return TComponent::QueryInterface(iid);
  }
};

TEST(Guards, AutoSaveCommitsOnNormalExitAndRollsBackOnAnException) {
  TRecordingTrn trn;
  { auto g = orvdbintf::AutoSaveTransaction(&trn); }
  EXPECT_EQ(trn.log, QStringList({"start", "commit"}));
  trn.log.clear();
  EXPECT_THROW(
      {
        auto g = orvdbintf::AutoSaveTransaction(&trn);
        throw std::runtime_error("half done");
      },
      std::runtime_error);
  EXPECT_EQ(trn.log, QStringList({"start", "rollback"}));
  trn.log.clear();
  trn.failCommit = true;
  EXPECT_THROW({ auto g = orvdbintf::AutoSaveTransaction(&trn); }, EDatabaseError);
  TComponent none(nullptr);
  auto g = orvdbintf::AutoSaveTransaction(&none);
  EXPECT_FALSE(g);
}

TEST(Guards, OnlyTheOutermostEnableControlsGuardEnables) {
  TMemDataSet ds(nullptr);
  {
    auto outer = orvdbintf::AutoEnableControls(&ds, true);
    EXPECT_TRUE(ds.ControlsDisabled());
    {
      auto inner = orvdbintf::AutoEnableControls(&ds, true);
      EXPECT_FALSE(inner);
    }
    EXPECT_TRUE(ds.ControlsDisabled());
  }
  EXPECT_FALSE(ds.ControlsDisabled());
  ds.DisableControls();
  { auto g = orvdbintf::AutoEnableControls(&ds, true); }
  EXPECT_TRUE(ds.ControlsDisabled());
  ds.EnableControls();
}

TEST(Parameters, ByNameThroughTheListControl) {
  TZQuery q(nullptr);
  q.SetSQLText("select * from f(:ID, :Filter)");
  auto* control = new TOrvZeosControl(&q);
  EXPECT_EQ(control->ParamCount(), 2);
  EXPECT_EQ(control->FindParamIntf("filter")->GetName(), "Filter");
  EXPECT_EQ(control->FindParamIntf("NOPE"), nullptr);
  try {
    control->ParamByNameIntf("NOPE");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_TRUE(e.Message().contains("Parameter \"NOPE\" not found"));
  }
  control->ParamsChanged = false;
  IDataParamRef p = control->GetParam(0);
  p->SetValue(Variant(7));
  EXPECT_TRUE(control->ParamsChanged);
  EXPECT_EQ(q.ParamByName("ID")->Value().ToInt(), 7);
  EXPECT_EQ(p->GetIndex(), 0);
  // The dataset answers its list control's interfaces.
  EXPECT_EQ(Supports<IDBControl>(&q), static_cast<IDBControl*>(control));
  p->SetDataType(ftInteger);
  EXPECT_TRUE(orvdbintf::ParamEquals(p.get(), Variant(7)));
  EXPECT_FALSE(orvdbintf::ParamEquals(p.get(), Variant(8)));
  EXPECT_FALSE(orvdbintf::ParamEquals(p.get(), Variant("7")));
  control->Free();
}

// A query that answers IListDataSet with its list control.
class TListQuery : public TZQuery, public IListDataSet {
 public:
  explicit TListQuery(TComponent* owner) : TZQuery(owner) {}
  IDBControl* GetListControl() override { return Supports<IDBControl>(this); }
  void RefreshParams() override {}
  void Reserved() override {}
  IInterface* QueryInterface(const TGUID& iid) override {
    if (iid == IListDataSet::IID) return static_cast<IListDataSet*>(this);
    return TZQuery::QueryInterface(iid);
  }
};

TEST(Parameters, ListParametersFillFieldsAndDescriptionsFindFields) {
  TListQuery q(nullptr);
  q.SetSQLText("select :KIND as k");
  auto* control = new TOrvZeosControl(&q);
  q.ParamByName("KIND")->SetAsInteger(4);
  EXPECT_EQ(orvdbintf::FindParam(&q, "kind")->GetValue().ToInt(), 4);
  EXPECT_EQ(orvdbintf::FindParam(&q, "none"), nullptr);
  TZQuery plain(nullptr);
  EXPECT_EQ(orvdbintf::FindParam(&plain, "KIND"), nullptr);

  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("A", ftInteger);
  ds.FieldDefs().Add("B", ftInteger);
  ds.CreateDataSet();
  ds.Append();
  EXPECT_TRUE(orvdbintf::AssignParamToField(ds.FieldByName("B"), &q, "KIND"));
  EXPECT_EQ(ds.FieldByName("B")->AsInteger(), 4);
  EXPECT_FALSE(orvdbintf::AssignParamToField(ds.FieldByName("A"), &q, "none"));
  EXPECT_TRUE(ds.FieldByName("A")->IsNull());

  TDataSetDescList list;
  auto* dsDesc = static_cast<TDataSetDesc*>(list.FindOrAdd("L"));
  auto* fieldDesc = static_cast<TFieldDesc*>(dsDesc->Props()->FindOrAdd("B"));
  fieldDesc->ParamValues()->SetValues("TAG", "Total");
  TDataSetControl dsControl(nullptr, &ds);
  auto* fc = new TFieldControl(&dsControl, ds.FieldByName("B"));
  fc->SetDesc(fieldDesc);
  new TFieldControl(&dsControl, ds.FieldByName("A"));  // no description: skipped
  EXPECT_EQ(orvdbintf::FindFieldByParam(&ds, "TAG", "total"), ds.FieldByName("B"));
  EXPECT_EQ(orvdbintf::FindFieldByParam(&ds, "TAG", "other"), nullptr);
  EXPECT_EQ(dsControl.FieldControlByName("b"), fc);
  EXPECT_EQ(Supports<IFieldControlRef>(ds.FieldByName("B"))->GetFieldName(), "B");
  ds.Cancel();
  control->Free();
}

TEST(LocationControl, SwitchListNeedsAnAliasAndFixedOptionsChangeNothing) {
  TRootEnvScope env;
  orvdb::ResetState();
  TZQuery q(nullptr);
  q.SetName("Q1");
  auto* control = new TOrvZeosControl(&q);
  try {
    control->SwitchList("x", false);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Q1.AliasDesc = nil");
  }
  EXPECT_FALSE(control->Activate(false));
  control->SetDescByName("ORV");
  EXPECT_EQ(control->AliasID(), "ORV");
  control->Options = TOrvDataSetControlOptions{dcoFixedObjectName, dcoFixedDatabaseName};
  EXPECT_FALSE(control->SwitchList("x", false));
  EXPECT_EQ(control->QualifiedObjectName("F"), "F");
  control->Options = {};
  control->Alias()->SetObjectPrefix("dbo.");
  EXPECT_EQ(control->QualifiedObjectName("F"), "dbo.F");
  EXPECT_EQ(control->QualifiedObjectName(""), "");
  auto* state = Supports<ILocationControl>(&q);
  ASSERT_NE(state, nullptr);
  EXPECT_TRUE(state->EnterState(3));
  EXPECT_FALSE(state->EnterState(3));
  EXPECT_TRUE(state->LeaveState(3));
  state->SetFlag5(true);
  EXPECT_EQ(state->GetStates(), 1u << 5);
  control->Free();
  orvdb::ResetState();
}

// An owner that brings an alias list of its own.
class TListOwner : public TComponent, public IAliasListRef {
 public:
  explicit TListOwner(TOrvAliasList* list) : TComponent(nullptr), list_(list) {}
  TOrvAliasList* GetAliasList() override { return list_; }
  IInterface* QueryInterface(const TGUID& iid) override {
    if (iid == IAliasListRef::IID) return static_cast<IAliasListRef*>(this);
    return TComponent::QueryInterface(iid);
  }

 private:
  TOrvAliasList* list_;
};

TEST(Aliases, AnOwnersListWinsAndPlaceholdersTakeOnlyEmptySlots) {
  TRootEnvScope env;
  orvdb::ResetState();
  // Stands for the main data module's control, published first.
  struct TWorking : IrTrnCtrl {
    bool IsOn() override { return true; }
    bool TurnOn() override { return true; }
    bool TurnOff() override { return true; }
    void SetManualCommit(bool) override {}
    bool Commit() override { return true; }
    bool Rollback() override { return true; }
    void SetActive(bool) override {}
  } working;
  IrTrnCtrl* published = &working;
  env.Env().TrnCtrl = published;
  auto* own = new TOrvAliasList();
  EXPECT_EQ(env.Env().TrnCtrl, published);
  EXPECT_EQ(env.Env().VerCtrl, static_cast<IrVerCtrl*>(own));
  TListOwner owner(own);
  TComponent child(&owner);
  EXPECT_EQ(orvdb::GetAliasList(&child), own);
  EXPECT_EQ(orvdb::GetAliasList(), own);  // it became the process list
  EXPECT_EQ(orvdb::GetAliasListRef(&owner)->GetAliasList(), own);
  TMemDataSet ds(&owner);
  TOrvLocationControl control(nullptr, &ds);
  EXPECT_EQ(control.GetAliasList(), own);
  // Without a process counter nothing is filled.
  ds.FieldDefs().Add("N", ftInteger);
  ds.CreateDataSet();
  ds.Append();
  EXPECT_FALSE(control.AssignCounterValue(ds.FieldByName("N")));
  ds.Cancel();
  env.Env().TrnCtrl = nullptr;
  orvdb::ResetState();
  EXPECT_EQ(env.Env().Aliases, nullptr);
}

// Records the data events it receives.
class TEventDataSet : public TMemDataSet {
 public:
  explicit TEventDataSet(TComponent* owner) : TMemDataSet(owner) {}
  std::vector<std::pair<TDataEvent, qintptr>> events;
  void DataEvent(TDataEvent event, qintptr info) override {
    if (event == deDataSetChange || event == deLayoutChange || event == dePropertyChange)
      events.emplace_back(event, info);
    TMemDataSet::DataEvent(event, info);
  }
};

TEST(Controls, FieldDescriptionsNotifyOpenDataSetsAndFreedFieldsDropTheirControls) {
  TEventDataSet ds(nullptr);
  ds.FieldDefs().Add("A", ftInteger);
  ds.CreateDataSet();
  TFieldDescList props(TFieldDesc::StaticClass(), nullptr);
  auto* desc = static_cast<TFieldDesc*>(props.FindOrAdd("A"));
  auto* dsControl = new TDataSetControl(nullptr, &ds);
  auto* fc = new TFieldControl(dsControl, ds.FieldByName("A"));
  fc->SetDesc(desc);
  desc->NotifyDataSets(7, true);
  desc->NotifyDataSets(8, false);
  ASSERT_EQ(ds.events.size(), 2u);
  EXPECT_EQ(ds.events[0], std::make_pair(deLayoutChange, qintptr(7)));
  EXPECT_EQ(ds.events[1], std::make_pair(deDataSetChange, qintptr(8)));
  EXPECT_EQ(dsControl->FieldControlCount(), 1);
  ds.Close();  // frees its default fields
  EXPECT_EQ(dsControl->FieldControlCount(), 0);
  EXPECT_EQ(desc->Controls()->Count(), 0);  // the field's control went with its field
  desc->NotifyDataSets(9, false);
  EXPECT_EQ(ds.events.size(), 2u);
  dsControl->Free();
}

TEST(LocationControl, IdleRefreshAndNotifyWaitForASwitch) {
  TRootEnvScope env;
  orvdb::ResetState();
  TEventDataSet ds(nullptr);
  ds.FieldDefs().Add("A", ftInteger);
  ds.CreateDataSet();
  auto* control = new TOrvLocationControl(nullptr, &ds);
  control->NotifyIfIdle();
  ASSERT_EQ(ds.events.size(), 1u);
  EXPECT_EQ(ds.events[0].second, qintptr(static_cast<TObject*>(&ds)));
  control->SetState(lsSwitching, true);
  control->NotifyIfIdle();
  control->RefreshIfIdle();
  EXPECT_EQ(ds.events.size(), 1u);
  EXPECT_TRUE(ds.Active());
  control->SetState(lsSwitching, false);
  control->RefreshIfIdle();  // no alias: the dataset closes
  EXPECT_FALSE(ds.Active());
  control->Free();
  orvdb::ResetState();
}

TEST(Aliases, TablesHandOutTheirAliasTransactions) {
  TRootEnvScope env;
  orvdb::ResetState();
  TAliasDesc* alias = orvdb::GetAliasList()->GetAlias("ORV");
  TTableDesc* table = alias->Tables()->FindOrAdd("T");
  EXPECT_EQ(table->Alias(), alias);
  EXPECT_NE(Supports<ITransactionControl>(table), nullptr);
  table->StartTransaction();  // no connection: nothing to start, nothing raised
  table->Rollback();
  table->Commit();
  EXPECT_EQ(table->Indexes()->Count(), 0);
  orvdb::ResetState();
}

TEST(LocationControl, CopyableFields) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("ID", ftInteger);
  ds.FieldDefs().Add("id2", ftInteger);
  ds.FieldDefs().Add("NAME", ftString, 10);
  ds.FieldDefs().Add("D", ftDate);
  ds.FieldDefs().Add("B", ftBlob);
  ds.FieldDefs().Add("L", ftLargeint);
  ds.CreateDataSet();
  TOrvLocationControl control(nullptr, &ds);
  EXPECT_FALSE(control.IsCopyableField(ds.FieldByName("ID")));
  EXPECT_TRUE(control.IsCopyableField(ds.FieldByName("id2")));
  EXPECT_TRUE(control.IsCopyableField(ds.FieldByName("NAME")));
  EXPECT_TRUE(control.IsCopyableField(ds.FieldByName("D")));
  EXPECT_TRUE(control.IsCopyableField(ds.FieldByName("B")));
  EXPECT_FALSE(control.IsCopyableField(ds.FieldByName("L")));
  ds.FieldByName("NAME")->SetReadOnly(true);
  EXPECT_FALSE(control.IsCopyableField(ds.FieldByName("NAME")));
}

}  // namespace
