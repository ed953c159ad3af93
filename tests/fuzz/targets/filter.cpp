// Filter texts over a small in-memory table: parse errors are EDatabaseError; a filter that
// parses is evaluated on every record (conversion errors of the data are errors too, never
// a crash). The same filter with its parts in parentheses selects the same records.
#include "fuzz.h"

#include "platform/data/fields.h"
#include "platform/data/memdataset.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"

namespace {

QString Selected(TMemDataSet& ds, const QString& filter) {
  ds.SetFilter(filter);
  QString ids;
  for (ds.First(); !ds.Eof(); ds.Next())
    ids += ds.FieldByName(QStringLiteral("ID"))->AsString() + u',';
  return ids;
}

}  // namespace

ORV_FUZZ_TARGET(filter) {
  static TMemDataSet* ds = [] {
    auto* d = new TMemDataSet(nullptr);  // one table for the whole run
    d->FieldDefs().Add(QStringLiteral("ID"), ftInteger);
    d->FieldDefs().Add(QStringLiteral("NAME"), ftString, 20);
    d->FieldDefs().Add(QStringLiteral("AMOUNT"), ftFloat);
    d->FieldDefs().Add(QStringLiteral("D"), ftDate);
    d->CreateDataSet();
    d->AppendRecord({1, QStringLiteral("Иван"), 10.5, Variant::FromDate(EncodeDate(2024, 1, 1))});
    d->AppendRecord({2, QStringLiteral("ёжик"), 20, Variant::FromDate(EncodeDate(2024, 2, 14))});
    d->AppendRecord({3, QStringLiteral("Пётр"), Variant::Null(), Variant::Null()});
    d->AppendRecord({4, QStringLiteral("anna"), -5, Variant::FromDate(EncodeDate(1899, 12, 30))});
    d->SetFiltered(true);
    return d;
  }();
  const QString text = orvfuzz::Text(data, size);
  ds->SetFilterOptions(size % 2 != 0 ? foCaseInsensitive : 0);
  QString plain;
  try {
    plain = Selected(*ds, text);
  } catch (const EDatabaseError&) {
    ds->SetFilter(QString());
    return;
  } catch (const Exception&) {  // the data did not convert
    ds->SetFilter(QString());
    return;
  }
  if (text.trimmed().isEmpty()) return;  // no filter; "()" is an error
  QString again;
  try {
    again = Selected(*ds, u'(' + text + QStringLiteral("\n)"));
  } catch (const EDatabaseError& e) {
    // Only the added level of nesting may be too much.
    if (!e.Message().contains(QStringLiteral("nesting deeper than")))
      orvfuzz::Fail("parses bare but not in parentheses", e.Message());
    again = plain;
  }
  if (again != plain) orvfuzz::Fail("parentheses changed the result", text);
  ds->SetFilter(QString());
}
