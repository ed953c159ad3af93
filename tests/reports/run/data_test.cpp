// Data objects of both kinds and the query keys over the test cluster.
#include "core/orvenv.h"
#include "platform/data/field.h"
#include "platform/data/zquery.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/run/orvReps_RunKeys.h"
#include "run_fixture.h"

#include <QtCore/QFile>

namespace {

// A hand-made table of (ID integer, NAME string) with the given rows.
std::unique_ptr<TRepsData> Hand(std::initializer_list<const char*> rows) {
  auto d = std::make_unique<TRepsData>();
  d->BindKind(TRepsData::KindHand);
  d->Fields.AddValueField("ID", ftInteger, 2);
  d->Fields.AddValueField("NAME", ftString, 4);
  for (const char* r : rows) d->AppendFromText(QString::fromUtf8(r));
  return d;
}

QStringList Walk(TRepsData& d) {
  QStringList out;
  for (d.First(); !d.Eof(); d.Next()) out << d.Fields.Item(1).GetAsString();
  return out;
}

}  // namespace

TEST(RepsData, HandMadeTable) {
  auto d = Hand({"1,one", "2", "3,three,extra"});
  d->Open();
  EXPECT_FALSE(d->Eof());
  EXPECT_EQ(d->RecordCount(), 3);
  EXPECT_EQ(Walk(*d), (QStringList{"one", "", "three"}));
  // After the end the last row stays loaded and RecNo on it.
  EXPECT_TRUE(d->Eof());
  EXPECT_EQ(d->RecNo, 2);
  EXPECT_EQ(d->Fields.Item(0).GetAsInteger(), 3);
  // A short row fills the rest with Null; Null getters answer zero values.
  d->First();
  d->Next();
  EXPECT_TRUE(d->Fields.Item(1).GetIsNull());
  EXPECT_EQ(d->Fields.Item(1).GetAsInteger(), 0);
  EXPECT_EQ(d->FieldIndex("name"), 1);
  EXPECT_EQ(d->FieldIndex("none"), -1);

  // Restore without a saved position does nothing; with one it goes back.
  d->RestorePosition();
  EXPECT_EQ(d->RecNo, 1);
  d->SavePosition();
  d->Next();
  d->RestorePosition();
  EXPECT_EQ(d->RecNo, 1);
  EXPECT_FALSE(d->Bof() || d->Eof());

  // A closed table that gets a row again gets its record list back.
  d->Close();
  EXPECT_EQ(d->StoredCount(), -1);
  d->AppendFromText("9,nine");
  d->Open();
  EXPECT_EQ(Walk(*d), QStringList{"nine"});

  auto empty = Hand({});
  empty->Open();
  EXPECT_TRUE(empty->Bof() && empty->Eof());
  EXPECT_TRUE(empty->Fields.Item(0).GetIsNull());
  EXPECT_THROW(Hand({"x,1"}), Exception);  // not an integer
}

TEST(RepsData, ListsAndCache) {
  TRepsDatas list;
  TRepsData* a = list.AddNamed("Alpha", TRepsData::KindHand, false);
  EXPECT_EQ(list.FindByName("alpha"), nullptr);
  EXPECT_EQ(list.FindByName("ALPHA"), a);
  EXPECT_EQ(list.FindAnyCase("aLPHA"), a);
  EXPECT_EQ(list.FindOrAdd("ALPHA", TRepsData::KindHand, false), a);
  list.DeleteByName("nothing");
  EXPECT_EQ(list.Count(), 1);
  list.DeleteByName("alpha");
  EXPECT_EQ(list.Count(), 0);

  TCashRecs c;
  c.FieldCount = 2;
  c.FieldNames[0] = "ID";
  c.FieldNames[1] = "NAME";
  c.CompareKinds[0] = varInteger;
  c.CompareKinds[1] = varString;
  for (const char* v : {"1", "one", "5", "five", "9", "nine"}) c.Values.emplace_back(QString(v));
  Variant r;
  for (int order : {-1, 0}) {
    c.OrderIndex = order;
    ASSERT_TRUE(c.Lookup("id", "05", "name", r)) << order;
    EXPECT_EQ(r.ToString(), "five");
    EXPECT_FALSE(c.Lookup("id", "4", "name", r));
  }
  EXPECT_FALSE(c.Lookup("id", "1", "other", r));
}

class QueryKeys : public RunTest {
 protected:
  void SetUp() override {
    UseDb();
    if (!db) return;
    db->conn.ExecuteDirect(
        "create table t(id integer primary key, name varchar(20), qty integer);"
        "insert into t values (1,'one',10),(2,'two',20),(3,'three',NULL);"
        "create table q(x integer constraint \"it's\" check (x > 0));"
        "create table dest(id integer primary key, name varchar(20), qty integer check (qty < "
        "25))");
  }
};

TEST_F(QueryKeys, QueriesHandTablesAndTheirChoice) {
  QStringList seen;
  onFinish = [&](TRF& rf) {
    for (int i = 0; i < rf.CurPart->Datas.Count(); ++i) {
      TRepsData* d = rf.CurPart->Datas.GetItem(i);
      seen << QStringLiteral("%1:%2:%3").arg(d->Name).arg(d->Kind).arg(d->RecordCount());
    }
    TRepsData* n = rf.RepsDatas.FindAnyCase("n");
    seen << (n ? QStringLiteral("N:%1:%2").arg(n->Kind).arg(n->RecordCount()) : "no N");
  };
  ASSERT_TRUE(
      Run("-REPQ \"select * from t order by id\" -LINK id id "
          "-REPQ \"select 1 as x\" FIELDS \"X i\" "
          "-LET HandleQuery true -OPEN n \"select 1\" FIELDS \"A, B f\" VALS \"a,1.5\" "
          "-SET S \"FieldVal('N.B') * 2\" -SET T \"FieldVal('NAME')\""))
      << messages.join('|').toStdString();
  // LINK moves to the next letter; FIELDS alone keeps an SQL query without HandleQuery.
  EXPECT_EQ(seen, (QStringList{"A:0:3", "B:0:1", "N:1:1"}));
  EXPECT_EQ(Var("S"), "3");
  EXPECT_EQ(Var("T"), "one");

  seen.clear();
  ASSERT_TRUE(Run("-REPQ \"select 1\" -REPQ \"select 2\"")) << messages.join('|').toStdString();
  EXPECT_EQ(seen.mid(0, 2), (QStringList{"A:0:1", "A:0:1"}));
}

TEST_F(QueryKeys, SkipCashAndMovingByHand) {
  ASSERT_TRUE(
      Run("-REPQ \"select * from t order by id\" SKIPRECORDS \"FieldVal('ID') = 1\" "
          "-REC A First -SET F \"FieldVal('NAME')\" -REC A Next -SET G \"FieldVal('NAME')\" "
          "-OPEN c \"select * from t\" CASH \"*,-QTY\" ORDERED name "
          "-SET E \"TableEOF('C')\""))
      << messages.join('|').toStdString();
  EXPECT_EQ(Var("F"), "two");
  EXPECT_EQ(Var("G"), "three");
  EXPECT_EQ(Var("E"), "True");  // the cache walk leaves it at its end

  onFinish = [](TRF& rf) {
    const TCashRecs& c = *rf.RepsDatas.FindAnyCase("c")->CashRecs;
    EXPECT_EQ(c.FieldCount, 2);
    EXPECT_EQ(c.OrderIndex, -1);  // QTY is not cached
    Variant v;
    EXPECT_TRUE(c.Lookup("ID", "2", "NAME", v));
    EXPECT_EQ(v.ToString(), "two");
  };
  EXPECT_TRUE(Run("-OPEN c \"select * from t\" CASH \"*,-QTY\" ORDERED qty"));

  // Reopening a name replaces its query; values come from the new one.
  onFinish = nullptr;
  ASSERT_TRUE(
      Run("-OPEN n \"select 1 as v\" -OPEN n \"select 2 as v\" -SET V \"FieldVal('n.v')\""));
  EXPECT_EQ(Var("V"), "2");
}

TEST_F(QueryKeys, ExecTryExecAndTheirErrors) {
  const QString file = testsupport::TempFolder() + "/stmt.sql";
  ASSERT_TRUE(Run("-EXEC \"insert into t values (4, 'four', 40)\" SAVETOFILE " + file +
                  " -TRYEXEC \"insert into q values (0)\" -LET After 1"));
  EXPECT_EQ(Var("After"), "1");
  EXPECT_TRUE(Var("LastErrText").contains("''")) << Var("LastErrText").toStdString();
  EXPECT_TRUE(Var("LastErrText").endsWith(' '));
  EXPECT_EQ(db->Scalar("select count(*) from t"), "4");
  EXPECT_TRUE(QFile::exists(file));

  EXPECT_FALSE(Run("-EXEC \"select * from nowhere\" -LET After 2"));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].startsWith(S("Ошибка: "))) << messages[0].toStdString();
  EXPECT_NE(Var("After"), "2");

  // Statement time-outs reach the server.
  EXPECT_FALSE(Run("-SQLTIMEOUT 1 -EXEC \"select pg_sleep(3)\""));
  EXPECT_TRUE(messages.join(' ').contains("timeout", Qt::CaseInsensitive) ||
              messages.join(' ').contains("statement", Qt::CaseInsensitive))
      << messages.join('|').toStdString();
  EXPECT_FALSE(Run("-SQLTIMEOUT abc"));

  // Without a factory a query stops the run and says so.
  factory.reset();
  EXPECT_FALSE(Run("-REPQ \"select 1\""));
  EXPECT_TRUE(messages.join(' ').contains(S("нет фабрики"))) << messages.join('|').toStdString();
}

TEST_F(QueryKeys, BadFieldTypeLetters) {
  EXPECT_FALSE(Run("-REPQ \"\" FIELDS \"A b c\""));
  ASSERT_EQ(messages.size(), 1);
  EXPECT_EQ(messages[0], S("Для поля A b указан неизвестный тип C"));
  onFinish = [](TRF& rf) { EXPECT_EQ(rf.CurPart->Datas.GetItem(0)->Fields.Item(0).Name, "A bc"); };
  EXPECT_TRUE(Run("-REPQ \"\" FIELDS \"A bc\""));
}

TEST_F(QueryKeys, InsertIntoTablePairingsAndRollback) {
  const QString src =
      "-REPQ \"\" FIELDS \"ID i, NAME, QTY i\" VALS \"1,a,5\" VALS \"2,b,30\" "
      "VALS \"3,c,6\" ";
  struct Case {
    const char* keys;
    const char* rows;       // rows in dest afterwards
    const char* errorPart;  // part of LastErrText, "" for none
    const char* names = nullptr;
  } cases[] = {
      {"-INSERTINTOTABLE A dest", "0", "записи номер 2"},
      {"-INSERTINTOTABLE A dest SOURCEFIELDS \"ID,NAME\"", "3", ""},
      {"-INSERTINTOTABLE A dest DESTFIELDS \"id,qty\" SOURCEFIELDS \"ID,ID\"", "3", ""},
      {"-INSERTINTOTABLE A dest DESTFIELDS \"id\" SOURCEFIELDS \"ID,NAME\"", "0",
       "Не соответствие количества полей"},
      {"-INSERTINTOTABLE A dest SOURCEFIELDS \"ID,NOPE\"", "0", "не найдено поле \"NOPE\""},
      {"-INSERTINTOTABLE A dest SOURCEFIELDS \"ID\" FORMAT name \"x[?1+1]\"", "3", "", "x2,x2,x2"},
      {"-INSERTINTOTABLE A nosuchtable", "0", "Ошибка при открытии таблицы"},
  };
  for (const Case& c : cases) {
    db->conn.ExecuteDirect("delete from dest");
    EXPECT_TRUE(Run(src + QString::fromUtf8(c.keys))) << c.keys << messages.join('|').toStdString();
    EXPECT_EQ(db->Scalar("select count(*) from dest"), QString::fromUtf8(c.rows)) << c.keys;
    if (*c.errorPart)
      EXPECT_TRUE(Var("LastErrText").contains(QString::fromUtf8(c.errorPart)))
          << c.keys << " -> " << Var("LastErrText").toStdString();
    else
      EXPECT_EQ(Var("LastErrText"), "") << c.keys;
    if (c.names)
      EXPECT_EQ(db->Scalar("select string_agg(name, ',' order by id) from dest"), c.names);
  }
}

namespace {
// The same datasets as the factory it wraps, without transactions of its own.
class BareFactory : public IrDataSets {
 public:
  explicit BareFactory(IrDataSets& inner) : inner_(inner) {}
  TDataSet* CreateDataSet(int kind, TComponent* owner) override {
    return inner_.CreateDataSet(kind, owner);
  }

 private:
  IrDataSets& inner_;
};
}  // namespace

TEST_F(QueryKeys, RunsTakeTheirDatasetsFromThePublishedFactory) {
  // The output's query services work in a run, with the run's time-out; report queries read
  // block by block.
  QString value;
  QStringList fields;
  int timeout = -1, block = 0;
  onFinish = [&](TRF& rf) {
    auto q = orvReps_CellWriters::NewRepQuery(rf.Out());
    orvReps_Queries::SetSQLText(*q->DataSet(), "select 40 + 2 as v");
    q->DataSet()->Open();
    value = q->DataSet()->Fields()[0]->AsString();
    timeout = dynamic_cast<TZAbstractRODataset&>(*q->DataSet()).Timeout();
    auto t = orvReps_CellWriters::NewRepCommand(rf.Out(), "dest");
    t->DataSet()->Open();
    for (int i = 0; i < t->DataSet()->Fields().Count(); ++i)
      fields << t->DataSet()->Fields()[i]->FieldName();
    auto* a = rf.CurPart->Datas.GetItem(0)->Query()->DataSet();
    block = dynamic_cast<TZAbstractRODataset&>(*a).FetchBlock();
  };
  EXPECT_TRUE(Run("-SQLTIMEOUT 7 -REPQ \"select * from t\"")) << messages.join('|').toStdString();
  EXPECT_EQ(value, "42");
  EXPECT_EQ(timeout, 7);
  EXPECT_EQ(fields, (QStringList{"id", "name", "qty"}));
  EXPECT_GT(block, 0);
  onFinish = nullptr;
  EXPECT_EQ(factory->CreateDataSet(2, nullptr), nullptr);

  // Without transactions of the factory, the inserts go in all or none through the
  // destination's connection.
  TRootEnv& env = *orvenv::GetRootEnv();
  const QString src = "-REPQ \"\" FIELDS \"ID i, QTY i\" VALS \"1,5\" VALS \"2,30\" ";
  {
    BareFactory bare(*factory);
    env.SetDataSets(&bare);
    EXPECT_TRUE(Run(src + "-INSERTINTOTABLE A dest"));
    EXPECT_EQ(db->Scalar("select count(*) from dest"), "0");
    EXPECT_TRUE(Var("LastErrText").contains(S("записи номер 2")));
    env.SetDataSets(factory.get());
  }

  // A factory published over another gives it back when it goes.
  {
    TRepsConnDataSets inner(db->conn);
    EXPECT_EQ(env.DataSets, &inner);
  }
  EXPECT_EQ(env.DataSets, factory.get());
}

TEST_F(QueryKeys, EchoLinesAndSubKeysOpenIgnores) {
  orvReps_Run::RunSetup().OnCreate = [](TRF& rf) { rf.ShowAll = true; };
  ASSERT_TRUE(
      Run("-OPEN n \"select 1 as v\" SKIPRECORDS \"true\" REFRESHBY eachrec "
          "-SET V \"FieldVal('n.v')\" -TRYEXEC \"select * from nowhere\" "
          "-REPQ \"select 2\" -REPBUILD"))
      << messages.join('|').toStdString();
  EXPECT_EQ(Var("V"), "1");  // SKIPRECORDS under OPEN is accepted and ignored
  EXPECT_EQ(messages,
            (QStringList{S("Делаю: select 1 as v"), S("Делаю: select * from nowhere"),
                         "TryExec error", "", S("Делаю: select 2"), S("Готовлю файл  ..."), "\rOk",
                         S("Выполнение успешно завершено!\r\n")}));

  // A skip formula that rejects every record leaves the query at its end.
  orvReps_Run::RunSetup().OnCreate = nullptr;
  ASSERT_TRUE(
      Run("-REPQ \"select * from t\" SKIPRECORDS \"FieldVal('ID') > 0\" -REC A First "
          "-SET E \"TableEOF('A')\""));
  EXPECT_EQ(Var("E"), "True");
}

TEST_F(QueryKeys, FieldsFromAnotherDataObject) {
  const QString source = "-REPQ \"\" FIELDS \"N, T, L\" VALS \"a,i,4\" VALS \"b,x,\" ";
  QStringList fields;
  onFinish = [&](TRF& rf) {
    TRepsData* d = rf.CurPart->Datas.GetItem(1);
    for (int i = 0; i < d->Fields.Count(); ++i) {
      const TRepsField& f = d->Fields.Item(i);
      fields << QStringLiteral("%1:%2:%3:%4")
                    .arg(f.Name)
                    .arg(f.DataType)
                    .arg(f.ValueLen)
                    .arg(f.Nullable);
    }
  };
  ASSERT_TRUE(Run(source + "-REPQ \"\" FIELDSFROM a NAME \"[?'X' + FieldVal('N')]\" "
                           "TYPE \"[?FieldVal('T')]\" VALUELEN \"[?FieldVal('L')]\" "
                           "NULLABLE off VALS \"7,z\""))
      << messages.join('|').toStdString();
  // An unknown type letter gives a text field.
  EXPECT_EQ(fields, (QStringList{QStringLiteral("Xa:%1:4:0").arg(ftInteger),
                                 QStringLiteral("Xb:%1:-1:0").arg(ftString)}));
  EXPECT_FALSE(Run(source + "-REPQ \"\" FIELDSFROM a NAME x VALUELEN abc"));
  EXPECT_TRUE(messages.join(' ').contains("abc")) << messages.join('|').toStdString();
}
