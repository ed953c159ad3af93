// The built-in function components: arithmetic on the argument stack, dataset actions with
// the data source's rights, walkers, field-change hooks, fields and typed values, read from
// component text where they are used that way.
#include "fixture.h"

#include "core/orvmsg.h"
#include "db/orvdatasource.h"
#include "db/orvdbintf.h"
#include "db/orvvalues.h"
#include "platform/classes/actions.h"
#include "platform/classes/classregistry.h"
#include "platform/classes/reader.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/rtl/codepage.h"
#include "platform/rtl/exceptions.h"
#include "platform/ui/dialogservice.h"
#include "script/lib/orvlib95.h"
#include "script/lib/orvlib96.h"
#include "script/lib/orvlib97.h"
#include "script/lib/orvlib98.h"
#include "support/test_support.h"

#include <QtCore/QFile>

#include <cmath>

namespace {

// An in-memory table that publishes OnFieldChange and calls it on every field change, and
// counts the transactions started on it.
class TChangeTable : public TMemDataSet, public ITransactionControl {
  ORV_CLASS(TChangeTable, TMemDataSet)
  explicit TChangeTable(TComponent* owner) : TMemDataSet(owner) {}
  IInterface* QueryInterface(const TGUID& iid) override { return TMemDataSet::QueryInterface(iid); }
  void StartTransaction() override { ++started; }
  void Commit() override {}
  void Rollback() override {}
  int started = 0;
  void DataEvent(TDataEvent event, qintptr info) override {
    TMemDataSet::DataEvent(event, info);
    if (event == deFieldChange) OnFieldChange(reinterpret_cast<TField*>(info));
  }
  TFieldNotifyEvent OnFieldChange;
};

// The form: a table of three records (ID, PRICE, QTY) and handlers that log.
class TYDataForm : public TComponent {
  ORV_CLASS(TYDataForm, TComponent)
  explicit TYDataForm(TComponent* owner) : TComponent(owner) {
    table = new TChangeTable(this);
    table->SetName(QStringLiteral("Table"));
    table->FieldDefs().Add("ID", ftInteger);
    table->FieldDefs().Add("PRICE", ftFloat);
    table->FieldDefs().Add("QTY", ftInteger);
    table->CreateDataSet();
    for (int i = 1; i <= 3; ++i) table->AppendRecord({i, i * 1.5, i * 10});
    table->First();
  }
  int Note(TObject* sender, TObject*, int code) {
    log << static_cast<TComponent*>(sender)->Name() + QLatin1Char(':') +
               table->FieldByName("ID")->AsString();
    return code;
  }
  int Boom(TObject*, TObject*, int) { throw Exception(QStringLiteral("boom")); }
  void Changed(TField* field) { log << QStringLiteral("changed ") + field->FieldName(); }

  TChangeTable* table;
  QStringList log;
};

}  // namespace

ORV_DESCRIBE(TChangeTable) {
  c.Prop("OnFieldChange", &TChangeTable::OnFieldChange);
  c.Info().AddInterface(TInterfaceEntry{ITransactionControl::IID, [](TObject* o) -> IInterface* {
                                          return static_cast<ITransactionControl*>(
                                              static_cast<TChangeTable*>(o));
                                        }});
}
ORV_DESCRIBE(TYDataForm) {
  c.Method("Note", &TYDataForm::Note);
  c.Method("Boom", &TYDataForm::Boom);
  c.Method("Changed", &TYDataForm::Changed);
}

namespace {

class ComponentsTest : public LibTest {
 protected:
  ComponentsTest() {
    orvlib95::Initialize();
    orvlib96::Initialize();
    orvlib97::Initialize();
    orvlib98::Initialize();
    RegisterClasses({TYDataForm::StaticClass(), TChangeTable::StaticClass(),
                     TOrvDataSource::StaticClass(), TActionList::StaticClass(),
                     TAction::StaticClass()});
    orvmsg::ResetLog(testsupport::TempFolder());
  }
  ~ComponentsTest() override {
    if (form != nullptr) form->Free();
    orvmsg::ResetLog();
  }
  void Read(const char* children) {
    form = dynamic_cast<TYDataForm*>(
        ReadComponentText(QStringLiteral("object Form1: TYDataForm\n") +
                              QString::fromUtf8(children) + QStringLiteral("end\n"),
                          nullptr));
    ASSERT_NE(form, nullptr);
  }
  template <class T = TY>
  T* Y(const char* name) const {
    return dynamic_cast<T*>(form->FindComponent(QString::fromLatin1(name)));
  }
  QStringList Boxes() {
    QStringList texts;
    for (const TDialogRequest& r : dialogs.Requests) texts << r.Caption + S(" | ") + r.Text;
    dialogs.Requests.clear();
    return texts;
  }
  static QString Stack(const TYA& args) {
    QStringList parts;
    for (int i = 0; i < args.Count(); ++i) {
      TYR* item = args.GetItem(i);
      QString value;
      try {
        value = VarToStr(item->AsVariant());
      } catch (const Exception&) {
        value = QStringLiteral("?");  // a value that is no Variant
      }
      parts << item->ClassName() + QLatin1Char(' ') + value;
    }
    return parts.join(QStringLiteral(", "));
  }

  THeadlessDialogs dialogs;
  TDialogServiceScope dialogScope{&dialogs};
  TYDataForm* form = nullptr;
};

TEST_F(ComponentsTest, ArithmeticReplacesItsOperandsOrLeavesThem) {
  struct Case {
    TClass cls;
    double left, right;
    int code;
    const char* stack;
  };
  const Case cases[] = {
      {tyAdd::StaticClass(), 2, 3, 0, "tyrFloat 5"},
      {tySub::StaticClass(), 2, 3, 0, "tyrFloat -1"},
      {tyMul::StaticClass(), 2, 3, 0, "tyrFloat 6"},
      {tyDiv::StaticClass(), 3, 2, 0, "tyrFloat 1.5"},
      {tyDiv::StaticClass(), 3, 0, 1, "tyrFloat 3, tyrFloat 0"},
      {tyMin::StaticClass(), 4, 3, 0, "tyrFloat 3"},
      {tyMin::StaticClass(), 4, NAN, 0, "tyrFloat 4"},
      {tyMax::StaticClass(), 4, 9, 0, "tyrFloat 9"},
      {tyMax::StaticClass(), NAN, 9, 0, "tyrFloat NAN"},
  };
  for (const Case& c : cases) {
    TYA args;
    args.Push(new tyrFloat(c.left));
    args.Push(new tyrFloat(c.right));
    auto* y = static_cast<TY*>(c.cls->Create(nullptr));
    EXPECT_EQ(y->Run(&args), c.code) << c.cls->ClassName().toStdString();
    EXPECT_EQ(Stack(args), S(c.stack)) << c.cls->ClassName().toStdString();
    y->Free();
  }
  // Operands of another kind are left alone.
  tyAdd add(nullptr);
  TYA mixed;
  mixed.Push(new tyrFloat(2));
  mixed.Push(new tyrInteger(3));
  EXPECT_EQ(add.Run(&mixed), 1);
  EXPECT_EQ(Stack(mixed), S("tyrFloat 2, tyrInteger 3"));
  // A tie keeps the left entry itself.
  tyMin min(nullptr);
  TYA tie;
  tie.Push(new tyrFloat(4));
  tie.Push(new tyrFloat(4));
  EXPECT_EQ(min.Run(&tie), 0);
  EXPECT_EQ(Stack(tie), S("tyrFloat 4"));
  EXPECT_TRUE(Boxes().isEmpty());
  // Too short a stack: the list's index error, shown, answer 1.
  TYA one;
  one.Push(new tyrFloat(1));
  EXPECT_EQ(add.Run(&one), 1);
  const QStringList boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1);
  EXPECT_TRUE(boxes[0].contains(S("Ошибка выполнения:"))) << boxes[0].toStdString();
  EXPECT_EQ(Stack(one), S("tyrFloat 1"));
}

TEST_F(ComponentsTest, SignAndRound) {
  tySign sign(nullptr);
  const std::pair<double, const char*> signs[] = {
      {-5, "tyrFloat -1"}, {0.25, "tyrFloat 1"}, {NAN, "tyrFloat -1"}, {0, "tyrFloat 0"}};
  for (const auto& [value, stack] : signs) {
    TYA args;
    args.Push(new tyrFloat(value));
    TYR* before = args.Top();
    EXPECT_EQ(sign.Run(&args), 0);
    EXPECT_EQ(Stack(args), S(stack)) << value;
    if (value == 0) EXPECT_EQ(args.Top(), before);
  }
  TYA text;
  text.Push(new tyrString(S("1")));
  EXPECT_EQ(sign.Run(&text), 1);

  // "RoundSum" reaches ROUNDSUM(amount, step, mode) by name.
  tyRound round(nullptr);
  round.Limit = 0.01;
  round.Mode = 2;
  TYA amount;
  amount.Push(new tyrFloat(1234.5678));
  EXPECT_EQ(round.Run(&amount), 0);
  EXPECT_EQ(Stack(amount), S("tyrFloat 1234.56"));
  EXPECT_TRUE(Boxes().isEmpty());
  TYA notFloat;
  notFloat.Push(new tyrInteger(5));
  EXPECT_EQ(round.Run(&notFloat), 1);
  EXPECT_EQ(Stack(notFloat), S("tyrInteger 5"));
}

TEST_F(ComponentsTest, DataSetActionsFollowTheSourcesVisibleActions) {
  Read(R"(  object Actions: TActionList
    object DelAction: TAction
      Visible = False
    end
    object InsAction: TAction
    end
  end
  object Source: TOrvDataSource
    DataSet = Table
    DeleteAction = DelAction
    InsertAction = InsAction
  end
  object Del: tyDS
    Action = nbDelete
    DataSet = Table
  end
  object Ins: tyDS
    Action = nbAppend
    DataSet = Table
  end
  object Editing: tyDS
    Action = nbEdit
    DataSet = Table
  end
  object Posting: tyDS
    Action = nbPost
    DataSet = Table
  end
  object Last: tyDS
    Action = nbLast
    DataSet = Table
  end
  object Copy: tyDS
    Action = nbInsertCont
    DataSet = Table
  end
)");
  TYA args;
  ASSERT_EQ(Y<tyDS>("Del")->Source(), form->FindComponent(S("Source")));
  EXPECT_EQ(Y("Del")->Run(&args), 1);
  EXPECT_EQ(Boxes(), QStringList{S("Внимание! | Удаление запрещено!")});
  EXPECT_EQ(form->table->RecordCount(), 3);
  QFile log(orvmsg::LogFileName());
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_TRUE(FromAnsi(log.readAll()).contains(S("Внимание! : Удаление запрещено! (48 -> 1)")));

  EXPECT_EQ(Y("Last")->Run(&args), 0);
  EXPECT_EQ(form->table->FieldByName("ID")->AsInteger(), 3);
  EXPECT_EQ(Y("Editing")->Run(&args), 0);  // no edit action: allowed
  EXPECT_EQ(form->table->State(), dsEdit);
  EXPECT_EQ(Y("Posting")->Run(&args), 0);
  EXPECT_EQ(form->table->State(), dsBrowse);
  EXPECT_EQ(Y("Ins")->Run(&args), 0);  // a visible insert action allows
  EXPECT_EQ(form->table->State(), dsInsert);
  form->table->Cancel();
  // The data source going leaves the dataset without rights to ask.
  form->FindComponent(S("Source"))->Free();
  EXPECT_EQ(Y<tyDS>("Del")->Source(), nullptr);
  EXPECT_EQ(Y("Del")->Run(&args), 0);
  EXPECT_EQ(form->table->RecordCount(), 2);
  // Copies need the dataset's list control: a plain table does nothing.
  EXPECT_EQ(Y("Copy")->Run(&args), 0);
  EXPECT_EQ(form->table->RecordCount(), 2);
  EXPECT_TRUE(Boxes().isEmpty());
  EXPECT_EQ(orvlib96::RefusalText(nbAppendCont), S("Добавление полной копии запрещено!"));
}

// Version control of the application, recorded.
class TRecordingVer : public IrVerCtrl {
 public:
  IInterface* QueryInterface(const TGUID&) override { return nullptr; }
  bool IsOn() override { return on; }
  bool TurnOn() override { return on = true; }
  bool TurnOff() override { return !(on = false); }
  void SetOn(bool value) override { on = value; }
  bool on = false;
};

// Every action on the second record, with all three rights hidden.
TEST_F(ComponentsTest, TheActionMatrix) {
  TRecordingVer ver;
  env.Env().VerCtrl = &ver;
  Read(R"(  object Actions: TActionList
    object Hidden: TAction
      Visible = False
    end
  end
  object Source: TOrvDataSource
    DataSet = Table
    DeleteAction = Hidden
    EditAction = Hidden
    InsertAction = Hidden
  end
  object Act: tyDS
    DataSet = Table
  end
)");
  TChangeTable* table = form->table;
  // code | box | state, record, controls disabled, transactions, version control
  auto outcome = [&](TDSActionType action) {
    table->Open();
    table->First();
    table->Next();
    Y<tyDS>("Act")->Action = action;
    TYA args;
    const int code = Y("Act")->Run(&args);
    const QStringList boxes = Boxes();
    const QString text = QStringLiteral("%1|%2|%3 %4 %5 %6 %7")
                             .arg(code)
                             .arg(boxes.join(','))
                             .arg(int(table->State()))
                             .arg(table->Active() ? table->FieldByName("ID")->AsString() : "-")
                             .arg(table->ControlsDisabled())
                             .arg(table->started)
                             .arg(ver.on);
    while (table->ControlsDisabled()) table->EnableControls();
    if (table->State() != dsBrowse && table->Active()) table->Cancel();
    table->started = 0;
    return text;
  };
  const std::pair<TDSActionType, const char*> matrix[] = {
      {nbFirst, "0||1 1 0 0 0"},
      {nbPrior, "0||1 1 0 0 0"},
      {nbNext, "0||1 3 0 0 0"},
      {nbLast, "0||1 3 0 0 0"},
      {nbInsert, "1|Внимание! | Вставка запрещена!|1 2 0 0 0"},
      {nbDelete, "1|Внимание! | Удаление запрещено!|1 2 0 0 0"},
      {nbEdit, "1|Внимание! | Редактирование запрещено!|1 2 0 0 0"},
      {nbPost, "0||1 2 0 0 0"},
      {nbCancel, "0||1 2 0 0 0"},
      {nbRefresh, "0||1 2 0 0 0"},
      {nbCheckBrowseMode, "0||1 2 0 0 0"},
      {nbDisableControls, "0||1 2 1 0 0"},
      {nbEnableControls, "0||1 2 0 0 0"},
      {nbOpen, "0||1 2 0 0 0"},
      {nbClose, "0||0 - 0 0 0"},
      {nbApplyChanges, "0||1 2 0 0 0"},
      {nbExecSQL, "0||1 2 0 1 0"},
      {nbStartTransaction, "0||1 2 0 1 0"},
      {nbCommit, "0||1 2 0 0 0"},
      {nbRollback, "0||1 2 0 0 0"},
      {nbAppend, "1|Внимание! | Добавление запрещено!|1 2 0 0 0"},
      {nbInsertCopy, "1|Внимание! | Вставка копии запрещена!|1 2 0 0 0"},
      {nbAppendCopy, "1|Внимание! | Добавление копии запрещено!|1 2 0 0 0"},
      {nbInsertCont, "1|Внимание! | Вставка полной копии запрещена!|1 2 0 0 0"},
      {nbAppendCont, "1|Внимание! | Добавление полной копии запрещено!|1 2 0 0 0"},
      {nbStartVerCtrl, "0||1 2 0 0 1"},
      {nbStopVerCtrl, "0||1 2 0 0 0"},
  };
  for (const auto& [action, expected] : matrix) EXPECT_EQ(outcome(action), S(expected)) << action;
  EXPECT_EQ(table->RecordCount(), 3);
  env.Env().VerCtrl = nullptr;
}

// Transaction control of the application, counted.
class TCountingTrn : public IrTrnCtrl {
 public:
  IInterface* QueryInterface(const TGUID&) override { return nullptr; }
  bool IsOn() override { return true; }
  bool TurnOn() override { return true; }
  bool TurnOff() override { return true; }
  void SetManualCommit(bool) override {}
  bool Commit() override { return ++commits, true; }
  bool Rollback() override { return ++rollbacks, true; }
  void SetActive(bool) override {}
  int commits = 0, rollbacks = 0;
};

TEST_F(ComponentsTest, CommitAndRollbackOnlyWithoutADataSet) {
  TCountingTrn trn;
  env.Env().TrnCtrl = &trn;
  Read("");
  tyDS ds(form);
  TYA args;
  for (TDSActionType action : {nbCommit, nbRollback, nbApplyChanges, nbExecSQL}) {
    ds.Action = action;
    ds.SetDataSet(form->table);
    EXPECT_EQ(ds.Run(&args), 0);
    ds.SetDataSet(nullptr);
    EXPECT_EQ(ds.Run(&args), 0);
  }
  EXPECT_EQ(trn.commits, 1);
  EXPECT_EQ(trn.rollbacks, 1);
  env.Env().TrnCtrl = nullptr;
}

TEST_F(ComponentsTest, WalkersScanEveryRecordAndRestoreTheControls) {
  Read(R"(  object Forward: tyDSForward
    DataSet = Table
    ControlsDisabled = True
    object Each: TY
      BeforeIt = Note
    end
  end
  object Backward: tyDSBackward
    DataSet = Table
    object Back: TY
      BeforeIt = Note
    end
  end
  object Failing: tyDSForward
    DataSet = Table
    ControlsDisabled = True
    object Bad: TY
      BeforeIt = Boom
    end
  end
)");
  TYA args;
  EXPECT_EQ(Y("Forward")->Run(&args), 0);
  EXPECT_EQ(Y("Backward")->Run(&args), 0);
  EXPECT_EQ(form->log.join(' '), S("Each:1 Each:2 Each:3 Back:3 Back:2 Back:1"));
  EXPECT_FALSE(form->table->ControlsDisabled());
  // Each record's failure is shown and the walk goes on; the last record's code answers.
  EXPECT_EQ(Y("Failing")->Run(&args), 1);
  EXPECT_FALSE(form->table->ControlsDisabled());
  EXPECT_EQ(Boxes().size(), 3);
  // A walk that fails itself gives the controls back too.
  form->table->Close();
  EXPECT_EQ(Y("Failing")->Run(&args), 1);
  EXPECT_FALSE(form->table->ControlsDisabled());
  EXPECT_EQ(Boxes().size(), 1);
  form->table->Open();
  // An empty table answers the incoming code and runs no child.
  form->table->EmptyDataSet();
  form->log.clear();
  EXPECT_EQ(Y("Forward")->Run(&args), 0);
  EXPECT_TRUE(form->log.isEmpty());
  Y<tyDSForward>("Forward")->SetDataSet(nullptr);
  EXPECT_EQ(Y("Forward")->Run(&args), 0);
}

TEST_F(ComponentsTest, FieldChangesBranchOnNamesAndChainHandlers) {
  Read(R"(  object Branch: TY
    object Hook: tyOnFieldChange
      DataSet = Table
    end
    object Listed: tyFieldNames
      FieldNames = 'AMOUNT;PRICE'
      object OnListed: TY
        BeforeIt = Note
      end
    end
  end
)");
  TChangeTable* table = form->table;
  // A handler the dataset had before the hook runs first; the hook was read after it.
  auto* hook = dynamic_cast<tyOnFieldChange*>(Y("Branch")->FindComponent(S("Hook")));
  ASSERT_NE(hook, nullptr);
  ASSERT_EQ(hook->DataSet(), table);
  TFieldNotifyEvent previous;
  previous.Bind<&TYDataForm::Changed>(form);
  hook->SetDataSet(nullptr);
  table->OnFieldChange = previous;
  hook->SetDataSet(table);

  table->Edit();
  table->FieldByName("price")->SetAsFloat(7);
  table->FieldByName("QTY")->SetAsInteger(7);
  table->Cancel();
  EXPECT_EQ(form->log.join(' '), S("changed PRICE OnListed:1 changed QTY"));

  // Freed while hooked: the dataset gets its former handler back.
  hook->Free();
  EXPECT_TRUE(table->OnFieldChange == previous);
  form->log.clear();
  table->Edit();
  table->FieldByName("PRICE")->SetAsFloat(8);
  table->Cancel();
  EXPECT_EQ(form->log.join(' '), S("changed PRICE"));

  // A freed Event is forgotten; the owner is the target again.
  auto* other = new tyOnFieldChange(Y("Branch"));
  auto* target = new TY(form);
  other->SetEvent(target);
  target->Free();
  EXPECT_EQ(other->Event(), nullptr);
  // A dataset freed first is forgotten without anything to give back.
  other->SetDataSet(table);
  table->Free();
  EXPECT_EQ(other->DataSet(), nullptr);
}

TEST_F(ComponentsTest, FieldsAndTypedValues) {
  Read(R"(  object Get: tyGetField
    DataSet = Table
    FieldName = 'PRICE'
  end
  object Check: tyCheckField
    DataSet = Table
    FieldName = 'PRICE'
  end
  object Assign: tyAssignField
    DataSet = Table
    FieldName = 'QTY'
  end
  object AsFloat: tyFieldAsFloat
    DataSet = Table
    FieldName = 'PRICE'
  end
  object NoField: tyFieldAsFloat
    DataSet = Table
    FieldName = 'NONE'
  end
  object Hundred: tyFloat
    Value = 100
  end
  object Text: tyString
    Value = 'Ёж'
  end
  object Yes: tyBoolean
    Value = True
  end
  object Stored: tyGetValueA
  end
  object Seven: tyInteger
    Value = 7
  end
  object Letter: tyChar
    Value = 'Ж'
  end
  object Day: tyDateTime
    Value = 45000.5
  end
  object Obj: tyObject
    Value = Get
  end
)");
  TYA args;
  EXPECT_EQ(Y("Get")->Run(&args), 0);
  EXPECT_EQ(Y("Check")->DoBeforeIt(&args), 0);
  EXPECT_EQ(Y("AsFloat")->Run(&args), 0);
  EXPECT_EQ(Y("NoField")->Run(&args), 1);  // nothing to read: the stack stays
  EXPECT_EQ(args.Count(), 2);
  EXPECT_EQ(args.Top()->AsFloat(), 1.5);
  // The top goes into QTY (edit mode first) and is dropped.
  EXPECT_EQ(Y("Hundred")->Run(&args), 0);
  EXPECT_EQ(Y("Assign")->Run(&args), 0);
  EXPECT_EQ(form->table->State(), dsEdit);
  EXPECT_EQ(form->table->FieldByName("QTY")->AsInteger(), 100);
  EXPECT_EQ(args.Count(), 2);
  form->table->Post();
  TYA empty;
  EXPECT_EQ(Y("Assign")->Run(&empty), 0);  // an empty stack clears the field
  EXPECT_TRUE(form->table->FieldByName("QTY")->IsNull());
  EXPECT_EQ(Y("Check")->Run(&empty), 1);  // no bottom entry: the index error, shown
  Boxes();
  TYA wrong;
  wrong.Push(new tyrObject(form->table->FieldByName("QTY")));
  EXPECT_EQ(Y("Check")->DoBeforeIt(&wrong), -1);
  EXPECT_EQ(Y("Text")->Run(&wrong), 0);
  EXPECT_EQ(Y("Yes")->Run(&wrong), 0);
  EXPECT_EQ(Stack(wrong).section(S(", "), 1), S("tyrString Ёж, tyrBoolean ?"));
  TYA typed;
  for (const char* name : {"Seven", "Letter", "Day", "Obj"}) EXPECT_EQ(Y(name)->Run(&typed), 0);
  EXPECT_EQ(Stack(typed), S("tyrInteger 7, tyrChar ?, tyrDateTime 15.3.23 12:00:00, tyrObject ?"));
  EXPECT_EQ(dynamic_cast<tyrChar*>(typed.GetItem(1))->Value, S("Ж").at(0));
  EXPECT_EQ(dynamic_cast<tyrObject*>(typed.GetItem(3))->Value(), Y("Get"));
  // The value store's reader under the component's own name: a default without a row.
  EXPECT_EQ(Y("Stored")->Run(&wrong), 0);
  EXPECT_EQ(Stack(wrong).section(S(", "), -1), S("tyrString "));
  EXPECT_TRUE(Boxes().isEmpty());
}

}  // namespace

namespace {

// A value table of the store with one row per key.
class ValueStoreTest : public ComponentsTest {
 protected:
  ValueStoreTest() {
    values.FieldDefs().Add("ROOTID", ftString, 40);
    values.FieldDefs().Add("VSTRING", ftString, 100);
    values.FieldDefs().Add("VINTEGER", ftInteger);
    values.FieldDefs().Add("VFLOAT", ftFloat);
    values.FieldDefs().Add("VDATE", ftDateTime);
    values.FieldDefs().Add("VTIME", ftDateTime);
    values.FieldDefs().Add("VBOOLEAN", ftBoolean);
    values.CreateDataSet();
    values.AppendRecord({S("Limit"), S("запас"), 12, 2.5, Null(), Null(), true});
  }
  ~ValueStoreTest() override { orvvalues::ClearValueTables(); }
  TMemDataSet values{nullptr};
};

TEST_F(ValueStoreTest, ComponentsReadAndWriteUnderTheirKeys) {
  TComponent any(nullptr);
  // Without value tables a write goes nowhere: it raises naming the key.
  EXPECT_TRUE(ErrorOf([&] {
                Call(S("TComponent.SetValueI"), {S("Limit"), 3}, &any);
              }).contains(S("\"Limit\"")));
  orvvalues::AddValueTable(&values);
  EXPECT_EQ(Call(S("TComponent.GetValueA"), {S("limit")}, &any).ToString(), S("запас"));
  EXPECT_EQ(Call(S("TComponent.GetValueI"), {S("LIMIT")}, &any).ToInt(), 12);
  EXPECT_EQ(Call(S("TComponent.GetValueL"), {S("Limit")}, &any).ToBool(), true);
  EXPECT_EQ(Call(S("TComponent.GetValueN"), {S("Missing")}, &any).ToDouble(), 0);
  Call(S("TComponent.SetValueN"), {S("Limit"), 7.25}, &any);
  Call(S("TComponent.SetValueA"), {S("Fresh"), S("новый")}, &any);
  EXPECT_EQ(values.RecordCount(), 2);
  EXPECT_EQ(Call(S("TComponent.GetValueN"), {S("Limit")}, &any).ToDouble(), 7.25);
  EXPECT_EQ(Call(S("TComponent.GetValueD"), {S("Limit")}, &any).VType(), varDate);
  EXPECT_TRUE(ErrorOf([&] {
                Call(S("TComponent.GetValueA"), {S("Limit")}, nullptr);
              }).startsWith(S("TOrvError")));

  Read(R"(  object Limit: tyGetValueN
  end
  object Fresh: tyGetValueA
  end
  object Nothing: tyGetValueI
  end
)");
  TYA args;
  for (const char* name : {"Limit", "Fresh", "Nothing"}) EXPECT_EQ(Y(name)->Run(&args), 0);
  EXPECT_EQ(Stack(args), S("tyrFloat 7.25, tyrString новый, tyrInteger 0"));
}

}  // namespace
