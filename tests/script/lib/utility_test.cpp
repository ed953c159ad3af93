// The program's own utility functions as scripts call them, their help texts, and typed
// field access by name.
#include "fixture.h"

#include "core/orvlib.h"
#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/ui/dialogservice.h"
#include "script/orvcode2.h"

namespace {

class UtilityTest : public LibTest {
 protected:
  UtilityTest() { orvcode2::InstallCompiler(root); }
  QString Calc(const char* formula) {
    try {
      return VarToStr(root->CalcFormula(QString::fromUtf8(formula)));
    } catch (const Exception& e) {
      return e.ClassName() + QStringLiteral(": ") + e.Message();
    }
  }
};

TEST_F(UtilityTest, FunctionsAsScriptsCallThem) {
  const std::pair<const char*, const char*> cases[] = {
      {"CheckNameList('price', 'AMOUNT;PRICE')", "True"},
      {"CheckNameList('pri', 'AMOUNT;PRICE')", "False"},
      {"CheckFieldNameList(5, 'A')", "False"},
      {"CheckFieldNameList('x', 'A')", "False"},
      {"FormatDateTime('dd.mm.yyyy', BeginOfYear(EncodeDate(2024, 5, 17)))", "01.01.2024"},
      {"FormatDateTime('dd.mm.yyyy', BeginOfMonth(EncodeDate(2024, 5, 17)))", "01.05.2024"},
      {"FormatDateTime('dd.mm.yyyy', BeginOfNextMonth(EncodeDate(2024, 12, 17)))", "01.01.2025"},
      {"FormatDateTime('dd.mm.yyyy', EndOfMonth(EncodeDate(2024, 2, 3)))", "29.02.2024"},
      {"FormatDateTime('dd.mm.yyyy', EndOfPrevMonth(EncodeDate(2024, 3, 3)))", "29.02.2024"},
      {"SqrPow(2, 10)", "1024"},
      {"SqrPow(-1, 2)", "EInvalidOp"},
      {"GetMonthStr(EncodeDate(2024, 3, 7))", "март 2024"},
      {"BuildDateString(EncodeDate(2024, 3, 7))", "7 марта 2024 г."},
      {"fname2name('Иванов Иван Петрович')", "Иванов И.П."},
      {"GetWord('a;b;c', ';', 2)", "b"},
      {"GetWord('abc', ';', 1)", "abc"},
      {"BuildCurrencyNumString(1234.7, True)", "        1234-70"},
      {"str2md5('')", "d41d8cd98f00b204e9800998ecf8427e"},
      {"str2md5('Привет') = str2md5(fromoem(tooem('Привет')))", "True"},
      {"Length(tooem('Ёж')) = 2", "True"},
      {"tooem('Ж') <> 'Ж'", "True"},
      {"VarIsEmpty(SetOrvDefaultDate(0))", "True"},
  };
  for (const auto& [formula, expected] : cases) {
    const QString got = Calc(formula);
    EXPECT_TRUE(got == S(expected) || got.startsWith(S(expected) + S(": ")))
        << formula << " " << got.toStdString();
  }
}

TEST_F(UtilityTest, DefaultDateAndQuestions) {
  Calc("SetOrvDefaultDate(EncodeDate(2020, 1, 2))");
  EXPECT_EQ(Calc("FormatDateTime('yyyy-mm-dd', OrvDefaultDate)"), S("2020-01-02"));
  Calc("SetOrvDefaultDate(0)");
  EXPECT_EQ(Calc("OrvDefaultDate = Date"), S("True"));

  THeadlessDialogs dialogs([](const TDialogRequest& r) {
    TDialogAnswer answer;
    answer.Button = r.Text == S("Да?") ? idYes : idNo;
    answer.Files = {S("/tmp/a.txt")};
    return answer;
  });
  TDialogServiceScope scope(&dialogs);
  EXPECT_EQ(Calc("DlgYN('Да?')"), S("True"));
  EXPECT_EQ(Calc("DlgYN('Нет?')"), S("False"));
  EXPECT_EQ(Calc("SelectFile('Тексты|*.txt')"), S("/tmp/a.txt"));
}

TEST_F(UtilityTest, HelpTextsAreTheVocabularysOwn) {
  const std::pair<const char*, const char*> help[] = {
      {"DlgYN", "Запрос в виде Yes/No"},
      {"SelectFiles", "Выбор файла по расширению"},
      {"SetOrvDefaultDate", "Дата по умолчанию"},
      {"SqrPow", "Число в любой степени (Result := Exp(Ln(Value) * Pow))"},
      {"GetMonthStr", "Дата в виде строки \"месяц ГГГГ\""},
      {"BuildDateString", "Дата в виде строки \"ДД месяца ГГГГ г.\""},
      {"dsp", "Возвражает IDispatch для заданного объекта"},
      {"tooem", ""},
      {"RunObjScript", "Запуск SCRIPT'а"},
      {"TDataSet.GetDataSource", "Получение DataSource/MasterSource"},
      {"fromoem", ""},
  };
  for (const auto& [name, text] : help) {
    ASSERT_NE(Item(S(name)), nullptr) << name;
    EXPECT_EQ(Item(S(name))->GetCaption(), S(text)) << name;
  }
}

TEST_F(UtilityTest, TypedFieldsByName) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("SUM", ftFloat);
  ds.FieldDefs().Add("OK", ftBoolean);
  ds.FieldDefs().Add("D", ftDateTime);
  ds.CreateDataSet();
  ds.Append();
  auto* asFloat = dynamic_cast<TArrayItem*>(Item(S("TDataSet.AsFloat")));
  ASSERT_NE(asFloat, nullptr);
  asFloat->SetValue(&ds, {S("SUM")}, 0.5);
  EXPECT_EQ(ds.FieldByName("SUM")->AsFloat(), 0.5);
  asFloat->SetValue(&ds, {S("SUM")}, 1e-13);
  EXPECT_TRUE(ds.FieldByName("SUM")->IsNull());
  asFloat->SetValue(&ds, {S("SUM")}, 0);
  EXPECT_TRUE(ds.FieldByName("SUM")->IsNull());
  // The same through the compiler.
  ASSERT_EQ(root->Compile(S("function Fill(d: TDataSet): Variant;\n"
                            "begin d.AsBoolean['ok'] := True; d.F['D'] := EncodeDate(2024, 1, 2);\n"
                            "d.AsString['SUM'] := '2.5';\n"
                            "Result := d.AsString['OK'] + ' ' +\n"
                            "FormatDateTime('dd.mm.yyyy', d.AsDateTime['D']) + ' ' +\n"
                            "FloatToStr(d.AsFloat['SUM'] * 2); end; begin end.")),
            QString());
  EXPECT_EQ(Call(S("Fill"), {orvcls::ObjToVar(&ds)}).ToString(), S("True 02.01.2024 5"));
  EXPECT_TRUE(ErrorOf([&] { Call(S("RefreshLookups"), {Variant()}); }).startsWith("TOrvError"));
  EXPECT_TRUE(
      ErrorOf([&] { Call(S("RefreshLookups"), {orvcls::ObjToVar(&ds)}); }).startsWith("TOrvError"));
  EXPECT_EQ(root->CalcFormula(S("CheckFieldNameList(nil, 'SUM')")).ToBool(), false);
  EXPECT_EQ(ErrorOf([&] { asFloat->GetValue(&ds, {S("NONE")}); }),
            S("EDatabaseError: Field not found : NONE"));
  TComponent notADataSet(nullptr);
  EXPECT_TRUE(
      ErrorOf([&] { asFloat->GetValue(&notADataSet, {S("SUM")}); }).startsWith("TOrvError"));

  VariantArgs args{orvcls::ObjToVar(ds.FieldByName("OK")), S("sum;ok")};
  EXPECT_TRUE(Call(S("CheckFieldNameList"), args).ToBool());
  ds.Cancel();
  ds.SetKey();
  args = {orvcls::ObjToVar(ds.FieldByName("OK")), S("ok")};
  EXPECT_FALSE(Call(S("CheckFieldNameList"), args).ToBool());
}

TEST_F(UtilityTest, DspCallsMembersByName) {
  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add("A", ftInteger);
  ds.CreateDataSet();
  ds.AppendRecord({7});
  const Variant d = Call(S("dsp"), {orvcls::ObjToVar(&ds)});
  ASSERT_EQ(d.VType(), varDispatch);
  auto* late = dynamic_cast<IOrvDispatch*>(d.ToDispatch());
  ASSERT_NE(late, nullptr);
  VariantArgs none;
  EXPECT_EQ(late->Invoke(S("RecordCount"), none).ToInt(), 1);
  VariantArgs name{S("A")};
  EXPECT_EQ(late->Invoke(S("AsInteger"), name).ToInt(), 7);
}

}  // namespace
