// INSERTINTOTABLE: copies a report data object into a database table, all rows or none.
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_Queries.h"
#include "reports/run/orvReps_RunKeys.h"
#include "db/orvzeos.h"

namespace orvReps_ParQuery {

QString QuoteErrText(const QString& text) {
  QString r;
  orvReps_Values::EscapeBrackets(r, QString(text).replace(QLatin1Char('\''), QStringLiteral("''")),
                                 QLatin1Char('\\'), false);
  return r;
}

namespace {

const QString DQ = QStringLiteral("\"");

QString Msg(const QString& m) {
  return QString(m).replace(QLatin1Char('\''), QStringLiteral("''"));
}

void SetLastErrText(TRF& rf, const QString& text) {
  rf.Pars->Defs.SetDef(QStringLiteral("LastErrText"), text, dkSystem, true);
}

// The pairing of one INSERTINTOTABLE: each failure sets LastErrText and answers false.
struct TPairing {
  TRF& rf;
  TRepsData& src;
  TDataSet& dest;
  TInsertPairs& pairs;

  static QStringList Items(const QString& list) {
    QStringList out;
    orvReps_Lib::SplitList(out, list, QLatin1Char(','));
    for (QString& s : out) s = orvReps_Lib::Trimmed(s);
    out.removeAll(QString());
    return out;
  }
  bool Missing(const QString& table, const QString& field) {
    SetLastErrText(rf, QStringLiteral("В таблице ") + DQ + QuoteErrText(table) + DQ +
                           QStringLiteral(" не найдено поле ") + DQ + QuoteErrText(field) + DQ);
    return false;
  }
  bool CheckInsertCounts(int first, int second) {
    if (first == second) return true;
    SetLastErrText(rf, QStringLiteral("Не соответствие количества полей. В таблице ") + DQ +
                           QuoteErrText(rf.InsertTable) + DQ + QStringLiteral(" - ") +
                           QString::number(first) + QStringLiteral(", в ") + DQ +
                           QuoteErrText(rf.InsertSource) + DQ + QStringLiteral(" - ") +
                           QString::number(second));
    return false;
  }
  void Add(TField* d, TRepsField* s) {
    pairs.DestFields.push_back(d);
    pairs.Sources.push_back(TFieldValueSource{s, nullptr, {}});
  }
  bool AddInsertDest(const QString& destName, const QString& sourceName) {
    TField* d = dest.FindField(destName);
    if (!d) return Missing(rf.InsertTable, destName);
    TRepsField* s = src.FindField(sourceName);
    if (!s) return Missing(rf.InsertSource, sourceName);
    Add(d, s);
    return true;
  }
  bool AddInsertSource(const QString& name) {
    TRepsField* s = src.FindField(name);
    if (!s) return Missing(rf.InsertSource, name);
    TField* d = dest.FindField(s->Name);
    if (!d) return Missing(rf.InsertTable, s->Name);
    Add(d, s);
    return true;
  }
  bool ApplyInsertFormats() {
    for (const auto& [destName, text] : rf.InsertFormats) {
      int k = -1;
      for (size_t i = 0; i < pairs.DestFields.size(); ++i)
        if (pairs.DestFields[i]->FieldName().compare(destName, Qt::CaseInsensitive) == 0)
          k = int(i);
      if (k < 0) {
        TField* d = dest.FindField(destName);
        if (!d) return Missing(rf.InsertTable, destName);
        Add(d, nullptr);
        k = int(pairs.DestFields.size()) - 1;
      }
      TFieldValueSource& v = pairs.Sources[size_t(k)];
      v.FormatText = text;
      v.Format = orvReps_FormatString::CompileFormatString(text, rf.Out(), false, false, false,
                                                           true, false);
      if (v.Format) v.Format->BindReferences();
    }
    return true;
  }
  bool Map() {
    const QStringList dl = Items(rf.InsertDestFields), sl = Items(rf.InsertSourceFields);
    const int dn = dest.Fields().Count(), sn = src.Fields.Count();
    if (!dl.isEmpty() && !sl.isEmpty()) {
      if (!CheckInsertCounts(dl.size(), sl.size())) return false;
      for (int i = 0; i < dl.size(); ++i)
        if (!AddInsertDest(dl[i], sl[i])) return false;
    } else if (dl.isEmpty()) {
      if (!CheckInsertCounts(qMin(dn, sn), sn)) return false;
      if (sl.isEmpty()) {
        for (int i = 0; i < sn; ++i)
          if (!AddInsertSource(src.Fields.Item(i).Name)) return false;
      } else {
        for (const QString& n : sl)
          if (!AddInsertSource(n)) return false;
      }
    } else {
      if (!CheckInsertCounts(dn, qMin(dn, sn))) return false;
      for (const QString& n : dl)
        if (!AddInsertDest(n, n)) return false;
    }
    return ApplyInsertFormats();
  }
};

}  // namespace

bool MapInsertFields(TRF& rf, TRepsData& source, TDataSet& dest, TInsertPairs& pairs) {
  return TPairing{rf, source, dest, pairs}.Map();
}

void CopyInsertValue(TInsertPairs& pairs, int i, QString& where) {
  TField& dest = *pairs.DestFields[size_t(i)];
  TFieldValueSource& v = pairs.Sources[size_t(i)];
  if (v.Format) {
    QString value;
    v.Format->Execute(value, 10, 10, 10, false, nullptr, -1);
    where =
        QStringLiteral("\r\nпри задании значения поля №%1 %2 --> %3\r\n(значение: '%4')")
            .arg(i + 1)
            .arg(QuoteErrText(v.FormatText), QuoteErrText(dest.FieldName()), QuoteErrText(value));
    dest.SetAsString(value);
    return;
  }
  const QString shown = v.Source->GetIsNull()
                            ? QStringLiteral("значение: Null")
                            : QStringLiteral("значение: ") + QuoteErrText(v.Source->GetAsString());
  where = QStringLiteral("\r\nпри задании значения поля №%1 %2 --> %3\r\n(%4)")
              .arg(i + 1)
              .arg(QuoteErrText(v.Source->Name), QuoteErrText(dest.FieldName()), shown);
  dest.SetAsVariant(v.Source->GetValue());
}

void InsertIntoTable(TRF& rf) {
  struct Clear {
    TRF& rf;
    ~Clear() {
      rf.InsertDestFields.clear();
      rf.InsertSourceFields.clear();
      rf.InsertFormats.clear();
    }
  } clear{rf};
  SetLastErrText(rf, QString());
  TRepsData* src = rf.FindData(rf.InsertSource);
  if (!src) return;
  std::unique_ptr<IRepQuery> q;
  try {
    q = NewQuery(rf, 1, rf.InsertTable);
    q->DataSet()->Open();
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    SetLastErrText(rf, QStringLiteral("Ошибка при открытии таблицы ") + DQ +
                           QuoteErrText(rf.InsertTable) + DQ +
                           QStringLiteral("\r\n\r\nС сообщением: ") + Msg(e.Message()));
    return;
  }
  TDataSet& dest = *q->DataSet();
  TInsertPairs pairs;
  try {
    if (!MapInsertFields(rf, *src, dest, pairs)) return;
  } catch (const Exception& e) {
    SetLastErrText(
        rf, QStringLiteral("Ошибка при подготовки полей\r\n\r\nС сообщением: ") + Msg(e.Message()));
    return;
  }
  // A table dataset of the program is read-only to screens; the run writes through it.
  TTableWriteScope writable(dynamic_cast<TOrvZeosTLocation*>(&dest));
  std::unique_ptr<ITransactionControl> connTransactions;
  ITransactionControl* transactions = orvReps_Queries::Transactions(dest, connTransactions);
  int row = 0;
  QString where;
  try {
    // The rows go in together: a failing row takes the ones before it back out.
    if (transactions) transactions->StartTransaction();
    TTrnAutoSave together(transactions);
    for (src->First(); !src->Eof(); src->Next()) {
      ++row;
      where = QStringLiteral("\r\nпри выполнении Insert");
      dest.Insert();
      for (int i = 0; i < int(pairs.DestFields.size()); ++i) CopyInsertValue(pairs, i, where);
      where = QStringLiteral("\r\nпри выполнении Post");
      dest.Post();
    }
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    SetLastErrText(rf, QStringLiteral("Ошибка вставки в ") + DQ + QuoteErrText(rf.InsertTable) +
                           DQ + QStringLiteral(" записи номер ") + QString::number(row) + where +
                           QStringLiteral("\r\n\r\nС сообщением: ") + Msg(e.Message()));
  } catch (const std::exception& e) {
    SetLastErrText(rf, QStringLiteral("Ошибка вставки записей из таблицы ") + DQ +
                           QuoteErrText(rf.InsertSource) + DQ + QStringLiteral(" в ") + DQ +
                           rf.InsertTable + DQ + QStringLiteral("\r\n\r\nС сообщением: ") +
                           Msg(QString::fromUtf8(e.what())));
  }
}

}  // namespace orvReps_ParQuery
