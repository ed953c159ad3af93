#include "tree_fixture.h"

#include "support/test_support.h"

#include "platform/rtl/stringlist.h"

#include <QtCore/QUuid>

namespace {
// Every column the default field names read, for any of the three queries.
const char* const kSchema = R"(
create table item (id int primary key, parent_id int, name text not null, enabled boolean,
                   image int, style int, kind int, ord int);
insert into item values
  (1, null, 'Корень', true, 0, 0, 10, 1),
  (2, 1, 'Документы', true, 1, 0, 20, 1),
  (3, 1, 'Справочники', true, 1, 0, 20, 2),
  (10, 1, 'Без счёта', true, 1, 0, 20, 3),
  (4, 2, 'Договоры', true, null, 1, 30, 1),
  (5, 2, 'Счета', false, null, 0, 30, 2),
  (7, 4, 'Договор 1', true, 5, 0, 40, 1),
  (8, 4, 'Договор 2', true, 5, 0, 40, 2),
  (9, 5, 'Счёт 1', true, 5, 0, 40, 1),
  (6, 3, 'Пусто', true, null, 0, 30, 1);
create view item_v as
  select i.id, i.parent_id as parentid, i.name, i.enabled, i.image as imageindex,
         i.image as selectedindex, null::int as stateindex,
         case when i.id = 10 then null
              else (select count(*)::int from item c where c.parent_id = i.id) end as count,
         i.style as textstyle, i.kind as typeid, i.ord
  from item i;
create function item_path(root int, ident int) returns setof item_v language sql as $$
  with recursive p(id, parent_id, lvl) as (
    select id, parent_id, 0 from item where id = ident
    union all select i.id, i.parent_id, p.lvl + 1 from item i join p on i.id = p.parent_id)
  select v.* from p join item_v v on v.id = p.id order by p.lvl desc $$;
)";
}  // namespace

void TreeDb::SetUp() {
  if (testsupport::PgHost().isEmpty()) GTEST_SKIP() << "no PostgreSQL cluster";
  owner = std::make_unique<TComponent>(nullptr);
  conn = new TZConnection(owner.get());
  conn->SetHostName(testsupport::PgHost());
  conn->SetDatabase(testsupport::PgDatabase());
  conn->SetUser(testsupport::PgUser());
  conn->Connect();
  schema = QStringLiteral("tree_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
  conn->ExecuteDirect("create schema " + schema + "; set search_path = " + schema);
  Exec(QString::fromUtf8(kSchema));
  roots = Query("select * from item_v where id = :Root", &rootsSource);
  roots->ParamByName("Root")->SetValue(1);
  children =
      Query("select * from item_v where parentid = :Ident order by ord, id", &childrenSource);
  children->AfterOpen.Bind<&TOpenCounter::Opened>(&childOpens);
  path = Query("select * from item_path(:Root, :Ident)", &pathSource);
  path->ParamByName("Root")->SetValue(1);
  tree = new TDBTreeView(owner.get());
  tree->SetName("DBTreeView");
  tree->SetRootSource(rootsSource);
  tree->SetNodeDataSource(childrenSource);
  tree->SetDataSetSource(pathSource);
  tree->SetFieldTextStyle("TEXTSTYLE");
  tree->SetFieldTypeID("TYPEID");
  tree->OnAfterChange.Bind<&TAfterChangeRecorder::Fired>(&afterChange);
}

void TreeDb::TearDown() {
  if (conn == nullptr) return;
  owner.reset();
  try {
    TZConnection c(nullptr);
    c.SetHostName(testsupport::PgHost());
    c.SetDatabase(testsupport::PgDatabase());
    c.SetUser(testsupport::PgUser());
    c.Connect();
    c.ExecuteDirect("drop schema " + schema + " cascade");
  } catch (...) {
    // The cluster is thrown away after the run anyway.
  }
}

void TreeDb::Exec(const QString& sql) { conn->ExecuteDirect(sql); }

TZReadOnlyQuery* TreeDb::Query(const QString& sql, TDataSource** source) {
  auto* q = new TZReadOnlyQuery(owner.get());
  q->SetConnection(conn);
  q->SetSQLText(sql);
  if (source != nullptr) {
    *source = new TDataSource(owner.get());
    (*source)->SetDataSet(q);
  }
  return q;
}

TDBTreeNode* TreeDb::Node(const Variant& id) {
  auto* n = dynamic_cast<TDBTreeNode*>(tree->FindNodeById(id));
  EXPECT_NE(n, nullptr) << "no node " << VarToStr(id).toStdString();
  return n;
}

QStringList TreeDb::Captions() const {
  QStringList out;
  ForEachTreeNode(tree->Items(), [&](TTreeNode* n) {
    out << QString(n->Level() * 2, QLatin1Char(' ')) + n->Text();
    return true;
  });
  return out;
}
