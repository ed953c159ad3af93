// Data components read from and written to component text through their published tables.
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/data/datasource.h"
#include "platform/data/datatypeinfo.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/data/zupdatesql.h"
#include "platform/rtl/stringlist.h"

#include <gtest/gtest.h>

namespace {

const char* const kText = R"(object DM: TComponent
  object Conn: TZConnection
    Protocol = 'postgresql-8'
    HostName = 'db.local'
    Port = 5433
    Database = 'orv'
    Properties.Strings = (
      'connect_timeout=5')
  end
  object Q: TZQuery
    Connection = Conn
    UpdateObject = U
    SQL.Strings = (
      'select * from t'
      'where id = :ID and k = :K')
    IndexFieldNames = 'NAME'
  end
  object S: TDataSource
    DataSet = Q
  end
  object U: TZUpdateSQL
    ModifySQL = 'update t set n = :N where id = :OLD_ID'
  end
end
)";

TEST(DataComponentText, ReadsAndWritesTheDataComponents) {
  RegisterDataClasses();
  TComponent root(nullptr);
  ReadComponentText(QString::fromUtf8(kText), &root);
  auto* conn = dynamic_cast<TZConnection*>(root.FindComponent("Conn"));
  auto* q = dynamic_cast<TZQuery*>(root.FindComponent("Q"));
  auto* s = dynamic_cast<TDataSource*>(root.FindComponent("S"));
  auto* u = dynamic_cast<TZUpdateSQL*>(root.FindComponent("U"));
  ASSERT_TRUE(conn && q && s && u);
  EXPECT_EQ(conn->Port(), 5433);
  EXPECT_EQ(conn->Properties()->Text(), "connect_timeout=5\r\n");
  EXPECT_EQ(q->Connection(), conn);
  EXPECT_EQ(q->UpdateObject(), u);
  EXPECT_EQ(u->DataSet(), q);
  EXPECT_EQ(q->SQLText(), "select * from t\r\nwhere id = :ID and k = :K");
  EXPECT_EQ(q->Params().Count(), 2);
  EXPECT_EQ(s->DataSet(), q);
  const QString written = WriteComponentText(&root);
  EXPECT_TRUE(written.contains("'where id = :ID and k = :K'")) << written.toStdString();
  EXPECT_TRUE(written.contains("DataSet = Q")) << written.toStdString();
  EXPECT_FALSE(written.contains("RecordCount")) << written.toStdString();
}

}  // namespace
