// The DB group as scripts use it on an in-memory table: navigation and fields through the
// compiler, record lists, bookmarks, tryPOST, parameters and the class checks.
#include "fixture.h"

#include "core/orvsys.h"
#include "platform/data/datasource.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/dialogservice.h"
#include "script/orvcode2.h"

namespace {

class DbTest : public LibTest {
 protected:
  DbTest() {
    orvcode2::InstallCompiler(root);
    Fill(ds);
  }
  static void Fill(TMemDataSet& table) {
    table.FieldDefs().Add("ID", ftInteger);
    table.FieldDefs().Add("NAME", ftString, 20, true);
    table.FieldDefs().Add("BIG", ftLargeint);
    table.CreateDataSet();
    table.AppendRecord({1, "Анна", qint64(5000000000)});
    table.AppendRecord({2, "борис", Variant::Null()});
    table.AppendRecord({3, "Вера", qint64(-7)});
    table.First();
  }
  // "<Variant type> <text>" of the statements' result, run in a routine whose parameter d is
  // the dataset, or the error.
  QString Run(const QString& statements) {
    const QString name = QStringLiteral("Case%1").arg(++cases_);
    return Routine(QStringLiteral("function %1(d: TDataSet): Variant; begin %2 end; begin end.")
                       .arg(name, statements),
                   name);
  }
  // A routine of a compiled program called with the dataset as its one argument.
  QString Routine(const QString& program, const QString& name) {
    try {
      const QString error = root->Compile(program);
      if (!error.isEmpty()) return QStringLiteral("compile ") + error;
      auto* entry = dynamic_cast<TEntryItem*>(root->FindOwnItem(name));
      VariantArgs args{orvcls::ObjToVar(&ds)};
      return Describe(entry->Call(nullptr, args));
    } catch (const Exception& e) {
      return QStringLiteral("error ") + e.Message().section(QStringLiteral("\r\n"), 0, 0);
    }
  }
  static QString Describe(const Variant& v) {
    return QString::number(v.VType()) + QLatin1Char(' ') + VarToStr(v);
  }
  // Element 0 the count, then the values.
  static Variant Values(const VariantArgs& values, int count) {
    Variant array = VarArrayCreate(0, int(values.size()));
    array.ArrayPut(0, count);
    for (size_t i = 0; i < values.size(); ++i) array.ArrayPut(int(i) + 1, values[i]);
    return array;
  }
  TMemDataSet ds{nullptr};
  int cases_ = 0;
};

TEST_F(DbTest, ScriptsNavigateAndReadFields) {
  // Each case goes on from where the one before left the dataset.
  const std::pair<const char*, const char*> cases[] = {
      {"d.Last; Result := d.FieldByName('NAME').AsString;", "256 Вера"},
      {"d.First; d.Next; Result := d.FieldByName('id').Value;", "3 2"},
      {"d.First; Result := d.MoveBy(5);", "3 2"},
      {"Result := d.FindField('NOPE') = nil;", "11 True"},
      {"Result := d.FieldByName('NOPE').AsString;", "error Field not found : NOPE"},
      {"d.First; Result := d.FieldByName('BIG').AsInteger;", "20 5000000000"},
      {"Result := d.FieldByName('ID').AsInteger;", "3 1"},
      {"d.Next; Result := VarIsNull(d.FieldByName('BIG').AsVariant);", "11 True"},
      {"d.First; Result := d.FieldValues['NAME'];", "256 Анна"},
      {"d.Edit; d.FieldValues['NAME'] := 'Ася'; Result := d.State;", "20 2"},
      {"d.Cancel; Result := d.State;", "20 1"},
      {"Result := d.RecordCount + d.FieldCount;", "3 6"},
      // No options are read: the search stays case-sensitive.
      {"Result := d.Locate('NAME', 'БОРИС', 1);", "11 False"},
      {"Result := d.Locate('NAME', 'борис', 1) and (d.FieldByName('ID').AsInteger = 2);",
       "11 True"},
      {"d.First; Result := d.Lookup('ID', 3, 'NAME') +"
       " IntToStr(d.FieldByName('ID').AsInteger);",
       "256 Вера1"},
      {"Result := VarIsNull(d.Lookup('ID', 9, 'NAME'));", "11 True"},
      {"d.Filter := 'ID > 1'; d.Filtered := True; Result := d.RecordCount;", "3 2"},
      {"d.Filtered := False; d.Active := False; Result := d.State;", "20 0"},
  };
  for (const auto& [text, expected] : cases)
    EXPECT_EQ(Run(QString::fromUtf8(text)), QString::fromUtf8(expected)) << text;
}

TEST_F(DbTest, RecordListsAreCheckedBeforeAnythingIsWritten) {
  Call(S("TDATASET.APPENDRECORD"), {Values({9, S("Юрий"), Null()}, 3)}, &ds);
  EXPECT_EQ(ds.RecordCount(), 4);
  EXPECT_EQ(ds.FieldByName("NAME")->AsString(), S("Юрий"));
  Call(S("TDATASET.INSERTRECORD"), {Values({8, S("Ян")}, 2)}, &ds);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 8);
  EXPECT_EQ(ds.RecordCount(), 5);

  VariantArgs many(102, Variant(1));
  EXPECT_EQ(ErrorOf([&] { Call(S("TDATASET.APPENDRECORD"), {Values(many, 102)}, &ds); }),
            S("TOrvError: TDATASET.APPENDRECORD: VarArrayToArgs: argument count 102 outside "
              "0..101 (at most 101 values)"));
  EXPECT_EQ(ErrorOf([&] {
              Call(S("TDATASET.INSERTRECORD"), {Values({1, S("x")}, 5)}, &ds);
            }),
            S("TOrvError: TDATASET.INSERTRECORD: VarArrayToArgs: argument count 5 outside 0..2 "
              "(at most 101 values)"));
  EXPECT_TRUE(
      ErrorOf([&] { Call(S("TDATASET.APPENDRECORD"), {7}, &ds); }).startsWith(S("EVariantError")));
  EXPECT_EQ(ds.RecordCount(), 5);
  EXPECT_EQ(ds.State(), dsBrowse);
  // The same list through the compiler.
  EXPECT_EQ(Run(S("d.AppendRecord([2, 7, 'Зоя']); Result := d.FieldByName('NAME').AsString;")),
            S("256 Зоя"));
}

TEST_F(DbTest, BookmarksNameOneRecordOfOneOpening) {
  ds.Last();
  const Variant mark = Get(S("TDATASET.BOOKMARK"), &ds);
  ASSERT_TRUE(mark.IsArray());
  ds.First();
  Set(S("TDATASET.BOOKMARK"), &ds, mark);
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 3);

  TMemDataSet other(nullptr);
  Fill(other);
  other.Next();
  EXPECT_TRUE(ErrorOf([&] {
                Set(S("TDATASET.BOOKMARK"), &other, mark);
              }).startsWith(S("TOrvError: TDATASET.BOOKMARK: not a bookmark")));
  EXPECT_EQ(other.FieldByName("ID")->AsInteger(), 2);

  Variant forged = mark;
  forged.ArrayPut(forged.ArrayHighBound(), 1);  // the row number's high byte
  ds.First();
  EXPECT_FALSE(ErrorOf([&] { Set(S("TDATASET.BOOKMARK"), &ds, forged); }).startsWith("no error"));
  Variant wide = VarArrayCreate(0, mark.ArrayHighBound());
  for (int i = 0; i <= mark.ArrayHighBound(); ++i) wide.ArrayPut(i, mark.ArrayGet(i));
  wide.ArrayPut(5, 300);
  EXPECT_TRUE(
      ErrorOf([&] { Set(S("TDATASET.BOOKMARK"), &ds, wide); }).startsWith(S("EVariantError")));
  EXPECT_TRUE(
      ErrorOf([&] { Set(S("TDATASET.BOOKMARK"), &ds, S("abc")); }).startsWith(S("EVariantError")));
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 1);

  ds.Close();
  ds.Open();
  EXPECT_TRUE(ErrorOf([&] {
                Set(S("TDATASET.BOOKMARK"), &ds, mark);
              }).startsWith(S("TOrvError: TDATASET.BOOKMARK: not a bookmark")));
  EXPECT_EQ(ds.FieldByName("ID")->AsInteger(), 1);
  // Through the compiler the byte array travels in a Variant.
  EXPECT_EQ(Routine(S("function Back(d: TDataSet): Variant; var b: Variant;\n"
                      "begin d.Last; b := d.Bookmark; d.First; d.Bookmark := b;\n"
                      "Result := d.FieldByName('ID').AsInteger; end; begin end."),
                    S("Back")),
            S("3 3"));
}

TEST_F(DbTest, TryPostShowsTheFailureOnceAndKeepsTheEdit) {
  THeadlessDialogs dialogs;
  TDialogServiceScope scope(&dialogs);
  EXPECT_EQ(Run(S("d.Edit; d.FieldByName('NAME').Clear; Result := d.tryPost;")), S("11 False"));
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  EXPECT_TRUE(dialogs.Requests[0].Text.contains(S("NAME")))
      << dialogs.Requests[0].Text.toStdString();
  EXPECT_EQ(ds.State(), dsEdit);
  EXPECT_EQ(Run(S("d.FieldByName('NAME').AsString := 'А'; Result := d.tryPost;")), S("11 True"));
  EXPECT_EQ(ds.State(), dsBrowse);
  EXPECT_EQ(dialogs.Requests.size(), 1u);
}

TEST_F(DbTest, ParametersThroughTheGroup) {
  EXPECT_EQ(Routine(S("function Params(d: TDataSet): Variant; var ps: TParams; p: TParam;\n"
                      "begin ps := ps.Create; p := ps.CreateParam(ftString, 'A', ptInput);\n"
                      "p.AsString := 'x'; p := p.Create(ps, ptOutput); p.Name := 'B';\n"
                      "p.AsInteger := 5;\n"
                      "Result := IntToStr(ps.Count) + ps.ParamByName('b').AsString +\n"
                      "IntToStr(ps.ParamByName('B').ParamType) + IntToStr(p.DataType); ps.Free;\n"
                      "end; begin end."),
                    S("Params")),
            S("256 2523"));
  TParams params;
  TParam* big = params.CreateParam(ftLargeint, "BIG", ptInput);
  Set(S("TPARAM.ASINTEGER"), big, qint64(6000000000));
  EXPECT_EQ(Get(S("TPARAM.ASINTEGER"), big).VType(), varInt64);
  EXPECT_EQ(Get(S("TPARAM.ASINTEGER"), big).ToInt64(), 6000000000);
  TParam* small = params.CreateParam(ftInteger, "S", ptInput);
  Set(S("TPARAM.ASINTEGER"), small, 12);
  EXPECT_EQ(Get(S("TPARAM.ASINTEGER"), small).VType(), varInteger);
  EXPECT_EQ(ErrorOf([&] { Call(S("TPARAMS.PARAMBYNAME"), {S("Z")}, &params); }),
            S("EDatabaseError: Parameter \"Z\" not found"));
  EXPECT_EQ(ErrorOf([&] { Set(S("TPARAM.DATATYPE"), big, 99); }).left(11), S("ERangeError"));
  EXPECT_EQ(Item(S("TPARAMS.COUNT"))->ClassName(), Item(S("TDATASET.MOVEBY"))->ClassName());
  TList list;
  Call(S("TPARAMS.GETPARAMLIST"), {orvcls::ObjToVar(&list), S("S;BIG")}, &params);
  ASSERT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Items(0), small);
}

TEST_F(DbTest, SourcesFieldNamesAndConstants) {
  TDataSource source(nullptr);
  Set(S("TDATASOURCE.DATASET"), &source, orvcls::ObjToVar(&ds));
  EXPECT_TRUE(Call(S("TDATASOURCE.ISLINKEDTO"), {orvcls::ObjToVar(&ds)}, &source).ToBool());
  TStringList names;
  names.Add(S("old"));
  Call(S("TDATASET.GETFIELDNAMES"), {orvcls::ObjToVar(&names)}, &ds);
  EXPECT_EQ(names.CommaText(), S("ID,NAME,BIG"));
  const std::pair<const char*, qint64> consts[] = {{"ftTypedBinary", 21}, {"ixCaseInsensitive", 3},
                                                   {"ixExpression", 4},   {"ukDelete", 2},
                                                   {"upWhereKeyOnly", 2}, {"ptResult", 4}};
  for (const auto& [name, value] : consts) {
    const Variant v = dynamic_cast<TConstItem*>(Item(S(name)))->GetValue(nullptr);
    EXPECT_EQ(v.VType(), varInt64) << name;
    EXPECT_EQ(v.ToInt64(), value) << name;
  }
  EXPECT_EQ(orvcls::VarToObj(Call(S("TDataSet.GetDataSource"), {}, &ds)), nullptr);
  EXPECT_EQ(orvcls::VarToObj(Call(S("TDataSet.FindFieldByParam"), {S("K"), S("V")}, &ds)), nullptr);
  EXPECT_NE(orvcodeh::FindCls(S("TGraphicField")), nullptr);
  // The group's rows serve every field and dataset class, mirrored before or after them.
  const std::pair<TClass, const char*> members[] = {{TIntegerField::StaticClass(), "AsInteger"},
                                                    {TLargeintField::StaticClass(), "AsInteger"},
                                                    {TMemDataSet::StaticClass(), "Active"},
                                                    {TDataSource::StaticClass(), "DataSet"}};
  for (const auto& [cls, member] : members) {
    TCompItem* item = orvcodeh::GetClsOf(cls)->FindItem(S(member));
    EXPECT_NE(orvcodeh::As<TPropItem>(item), nullptr) << member;
    EXPECT_EQ(orvcodeh::As<TSysPropItem>(item), nullptr) << member;
  }
}

TEST_F(DbTest, EveryMemberChecksItsClass) {
  TStringList other;
  const char* const members[] = {"TDATASET.FIRST", "TDATASOURCE.EDIT", "TFIELD.CLEAR",
                                 "TPARAM.CLEAR",   "TPARAMS.CLEAR",    "TField.RefreshLookupList"};
  for (const char* member : members) {
    EXPECT_TRUE(ErrorOf([&] { Call(S(member), {}, &other); }).contains(S("\"is not\""))) << member;
    EXPECT_TRUE(ErrorOf([&] { Call(S(member)); }).contains(S("\"Slf = nil\""))) << member;
  }
  EXPECT_TRUE(ErrorOf([&] { Get(S("TFIELD.ASSTRING"), &ds); }).startsWith(S("TOrvError")));
  EXPECT_TRUE(ErrorOf([&] { Get(S("TDATASET.STATE"), nullptr); }).startsWith(S("TOrvError")));
}

}  // namespace

#include "db/orvdblists.h"
#include "script/lib/h_orvdsproc.h"

namespace {

// The rows over the metadata registry on a table without descriptions.
TEST_F(DbTest, MetadataRowsWithoutDescriptions) {
  orvdblists::FreeDescList();
  EXPECT_EQ(orvcls::VarToObj(Call(S("FindListDesc"), {S("NO_SUCH_LIST")})), nullptr);
  TField* field = ds.FieldByName("ID");
  for (const char* member : {"TField.PropControl", "TField.PropDesc", "TField.PropDescOwner"})
    EXPECT_EQ(orvcls::VarToObj(Call(S(member), {}, field)), nullptr) << member;
  EXPECT_TRUE(ErrorOf([&] { Call(S("TField.PropDesc"), {}, &ds); }).startsWith("TOrvError"));
  EXPECT_TRUE(Call(S("RefreshTempLists")).IsEmpty());
  // A plain table has no list control: parameters read empty and write nothing.
  EXPECT_TRUE(Call(S("TDataSet.GetParVal"), {0}, &ds).IsNull());
  Call(S("TDataSet.SetParVal"), {S("X"), 1}, &ds);
  // The Latin "c" of the setter's help text is the vocabulary's own.
  const QString help = Item(S("TDataSet.SetParVal"))->GetCaption();
  EXPECT_EQ(help.at(1), QLatin1Char('c'));
  EXPECT_EQ(help.mid(2), S("тановка параметра"));
  EXPECT_EQ(Item(S("FindListDesc"))->GetCaption(), S("Поиск описателя списка по его коду"));
  EXPECT_EQ(Item(S("TDataSet.SetParVals"))->GetCaption().mid(2), S("тановка параметров"));
  Call(S("TDataSet.SetParVals"), {S("A;B"), VarArrayOf({1, 2})}, &ds);  // no IParamValues
  for (const char* cls : {"TOrvZeosSPList", "TZAbstractRODataset", "TOrvLookup", "TOrvLookupZeos",
                          "TOrvPanel", "TOrvGroupBox", "TOrvFilterGroupBox", "TSplitterPanel"})
    EXPECT_NE(orvcodeh::FindCls(S(cls)), nullptr) << cls;

  // tyUpdateLinks answers its after phase and resolves the links once.
  tyUpdateLinks links(nullptr);
  TYA args;
  EXPECT_FALSE(orvdblists::GetDescList()->LinksUpdated);
  EXPECT_EQ(links.Run(&args), 0);
  EXPECT_TRUE(orvdblists::GetDescList()->LinksUpdated);
  orvdblists::FreeDescList();
}

}  // namespace
