// Data components read from and written to component text through their published tables.
#include "platform/classes/reader.h"
#include "platform/classes/writer.h"
#include "platform/data/datasource.h"
#include "platform/data/datatypeinfo.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
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

// Parameters as stored texts hold them: one item per parameter, the value only
// when the parameter is bound; a stored list may lag behind the statement.
const char* const kParamsText = R"(object DM: TComponent
  object Q: TZQuery
    SQL.Strings = (
      'select * from t where id = :ID and name like :MASK and d < :UNTIL')
    Params = <
      item
        DataType = ftInteger
        Name = 'ID'
        ParamType = ptInput
        Value = 42
      end
      item
        DataType = ftString
        Name = 'MASK'
        ParamType = ptInput
        Value = 'A%'
      end
      item
        DataType = ftDateTime
        Name = 'Until'
        ParamType = ptInput
        Value = 45306.5d
      end
      item
        DataType = ftInteger
        Name = 'GONE'
        ParamType = ptInput
      end>
  end
  object P: TZStoredProc
    StoredProcName = 'calc'
    Params = <
      item
        DataType = ftInteger
        Name = 'A'
        ParamType = ptInput
      end
      item
        DataType = ftFloat
        Name = 'R'
        ParamType = ptOutput
      end>
  end
end
)";

void CheckParams(TComponent& root) {
  auto* q = dynamic_cast<TZQuery*>(root.FindComponent("Q"));
  auto* p = dynamic_cast<TZStoredProc*>(root.FindComponent("P"));
  ASSERT_TRUE(q && p);
  ASSERT_EQ(q->Params().Count(), 3);  // GONE is not in the statement
  const TParam* id = q->ParamByName("ID");
  EXPECT_EQ(id->DataType(), ftInteger);
  EXPECT_EQ(id->ParamType(), ptInput);
  EXPECT_EQ(id->AsInteger(), 42);
  EXPECT_TRUE(id->Bound());
  EXPECT_EQ(q->ParamByName("MASK")->AsString(), "A%");
  const TParam* until = q->ParamByName("UNTIL");
  EXPECT_EQ(until->DataType(), ftDateTime);
  EXPECT_EQ(until->Value().VType(), varDate);
  EXPECT_DOUBLE_EQ(until->AsDateTime(), 45306.5);
  // The procedure keeps its output parameter; the call names the input only.
  ASSERT_EQ(p->Params().Count(), 2);
  EXPECT_EQ(p->Params()[1]->ParamType(), ptOutput);
  EXPECT_EQ(p->Params()[1]->DataType(), ftFloat);
  EXPECT_EQ(p->SQLText(), "select * from calc(:A)");
}

TEST(DataComponentText, ParamsRoundTripWithTypesAndValues) {
  RegisterDataClasses();
  TComponent root(nullptr);
  ReadComponentText(QString::fromUtf8(kParamsText), &root);
  CheckParams(root);
  const QString written = WriteComponentText(&root);
  EXPECT_TRUE(written.contains("Name = 'MASK'")) << written.toStdString();
  EXPECT_FALSE(written.contains("GONE")) << written.toStdString();
  // An unbound parameter writes no value.
  EXPECT_EQ(written.count("Value = "), 3) << written.toStdString();
  TComponent again(nullptr);
  ReadComponentText(written, &again);
  CheckParams(again);
  EXPECT_EQ(WriteComponentText(&again), written);
}

TEST(DataComponentText, AnEmptyStoredListStillGetsTheStatementsParameters) {
  RegisterDataClasses();
  TComponent root(nullptr);
  ReadComponentText(QStringLiteral("object DM: TComponent\r\n"
                                   "  object Q: TZQuery\r\n"
                                   "    SQL.Strings = ('select :A, :B')\r\n"
                                   "    Params = <>\r\n"
                                   "  end\r\nend\r\n"),
                    &root);
  auto* q = dynamic_cast<TZQuery*>(root.FindComponent("Q"));
  ASSERT_TRUE(q);
  ASSERT_EQ(q->Params().Count(), 2);
  EXPECT_EQ(q->Params()[1]->Name(), "B");
  EXPECT_FALSE(q->Params()[1]->Bound());
}

TEST(DataComponentText, OlderParameterListsRead) {
  RegisterDataClasses();
  TComponent root(nullptr);
  ReadComponentText(QStringLiteral("object DM: TComponent\r\n"
                                   "  object Q: TZQuery\r\n"
                                   "    Parameters = <\r\n"
                                   "      item\r\n"
                                   "        Name = 'ID'\r\n"
                                   "        DataType = ftInteger\r\n"
                                   "        Direction = pdInputOutput\r\n"
                                   "        Precision = 10\r\n"
                                   "        Size = 4\r\n"
                                   "      end>\r\n"
                                   "    SQL.Strings = ('select :ID')\r\n"
                                   "  end\r\nend\r\n"),
                    &root);
  auto* q = dynamic_cast<TZQuery*>(root.FindComponent("Q"));
  ASSERT_TRUE(q);
  ASSERT_EQ(q->Params().Count(), 1);
  EXPECT_EQ(q->Params()[0]->DataType(), ftInteger);
  EXPECT_EQ(q->Params()[0]->ParamType(), ptInputOutput);
  EXPECT_EQ(q->Params()[0]->Size(), 4);
  EXPECT_FALSE(WriteComponentText(&root).contains("Parameters"));
}

TEST(DataComponentText, FieldDefsOfAnInMemoryTableRoundTrip) {
  RegisterDataClasses();
  const char* const text = R"(object DM: TComponent
  object T: TMemDataSet
    FieldDefs = <
      item
        Name = 'CODE'
        Attributes = [faRequired]
        DataType = ftInteger
      end
      item
        Name = 'TITLE'
        Attributes = [faFixed]
        DataType = ftString
        Size = 12
      end
      item
        Name = 'AMOUNT'
        DataType = ftBCD
        Precision = 10
        Size = 2
      end>
  end
end
)";
  TComponent root(nullptr);
  ReadComponentText(QString::fromUtf8(text), &root);
  auto* t = dynamic_cast<TMemDataSet*>(root.FindComponent("T"));
  ASSERT_TRUE(t);
  ASSERT_EQ(t->FieldDefs().Count(), 3);
  EXPECT_TRUE(t->FieldDefs().Items(0)->Required);
  EXPECT_EQ(t->FieldDefs().Find("title")->Size, 12);
  EXPECT_EQ(t->FieldDefs().Items(2)->FieldNo, 3);
  const QString written = WriteComponentText(&root);
  TComponent again(nullptr);
  ReadComponentText(written, &again);
  EXPECT_EQ(WriteComponentText(&again), written);
  // The definitions make a working table.
  auto* t2 = dynamic_cast<TMemDataSet*>(again.FindComponent("T"));
  t2->CreateDataSet();
  auto* title = dynamic_cast<TStringField*>(t2->FieldByName("TITLE"));
  ASSERT_TRUE(title);
  EXPECT_TRUE(title->FixedChar());
  EXPECT_EQ(title->Size(), 12);
  EXPECT_TRUE(t2->FieldByName("CODE")->Required());
  t2->AppendRecord({Variant(7), Variant(QStringLiteral("seven")), Variant(1.25)});
  EXPECT_EQ(t2->FieldByName("AMOUNT")->AsFloat(), 1.25);
}

}  // namespace

// Stored texts and scripts name these members and compare their ordinals: a member inserted
// in the middle of a list would shift every one after it.
TEST(DataEnumerations, NamesAndOrdinalsStayFixed) {
  struct Case {
    const TTypeInfo* type;
    int ordinal;
    const char* name;
    int count;
  };
  const Case cases[] = {
      {TypeInfoFor<TFieldType>(), ftString, "ftString", FieldTypeCount},
      {TypeInfoFor<TFieldType>(), ftWideMemo, "ftWideMemo", 40},
      {TypeInfoFor<TFieldType>(), ftLargeint, "ftLargeint", 40},
      {TypeInfoFor<TParamType>(), ptResult, "ptResult", 5},
      {TypeInfoFor<TDataSetState>(), dsOpening, "dsOpening", 13},
      {TypeInfoFor<TDataSetState>(), dsInsert, "dsInsert", 13},
      {TypeInfoFor<TFieldKind>(), fkAggregate, "fkAggregate", 5},
      {TypeInfoFor<TFieldAttribute>(), faFixed, "faFixed", 6},
  };
  const int pinned[] = {1, 39, 25, 4, 12, 3, 4, 5};
  for (size_t i = 0; i < std::size(cases); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.ordinal, pinned[i]);
    EXPECT_EQ(c.type->EnumNames.size(), c.count);
    EXPECT_EQ(c.type->EnumNames.value(c.ordinal), QString::fromLatin1(c.name));
  }
}
