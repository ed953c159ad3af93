// Reserved constants assigned to dataset fields and query parameters.
#include "fixture.h"

#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/data/params.h"

namespace {

struct TextWatch : TObject {
  int sets = 0;
  void Take(TField* f, const QString& t) {
    ++sets;
    f->SetAsString(t);
  }
};

TEST_F(RegistryTest, ReservedConstantsAssignToFieldsAndParameters) {
  auto* text = dynamic_cast<TReservedConstItem*>(
      root->AddGlobalConst(QStringLiteral("Txt"), QStringLiteral("42")));
  auto* number =
      dynamic_cast<TReservedConstItem*>(root->AddGlobalConst(QStringLiteral("Num"), 7.5));

  TMemDataSet ds(nullptr);
  ds.FieldDefs().Add(QStringLiteral("N"), ftInteger);
  ds.FieldDefs().Add(QStringLiteral("F"), ftFloat);
  ds.CreateDataSet();
  ds.Append();
  TField* n = ds.FieldByName(QStringLiteral("N"));
  TextWatch watch;
  n->OnSetText.Bind<&TextWatch::Take>(&watch);
  n->Assign(text);
  EXPECT_EQ(watch.sets, 1);  // a text goes through the field's text
  EXPECT_EQ(n->AsInteger(), 42);
  ds.FieldByName(QStringLiteral("F"))->Assign(number);
  EXPECT_EQ(ds.FieldByName(QStringLiteral("F"))->AsFloat(), 7.5);

  TParams params(nullptr);
  TParam* p = params.CreateParam(ftUnknown, QStringLiteral("P"), ptInput);
  p->Assign(text);
  EXPECT_EQ(p->DataType(), ftString);
  EXPECT_EQ(p->AsString(), QStringLiteral("42"));
  p->Assign(number);
  EXPECT_EQ(p->Value().ToDouble(), 7.5);

  TGadget other(nullptr);
  EXPECT_THROW(other.Assign(text), EConvertError);
}

}  // namespace
