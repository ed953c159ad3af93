// INSERTINTOTABLE: copies a report data object into a database table, all rows or none.
#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

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

struct Pair {
  TField* Dest = nullptr;
  TRepsField* Source = nullptr;
  QString FormatText;
  std::unique_ptr<TFormatCommands> Format;
};

struct Mapping {
  TRF& rf;
  TRepsData& src;
  TDataSet& dest;
  std::vector<Pair> pairs;
  QString error;  // M5 or M6 when the pairing failed

  QStringList Items(const QString& list) {
    QStringList out;
    orvReps_Lib::SplitList(out, list, QLatin1Char(','));
    for (QString& s : out) s = orvReps_Lib::Trimmed(s);
    out.removeAll(QString());
    return out;
  }
  bool Missing(const QString& table, const QString& field) {
    error = QStringLiteral("В таблице ") + DQ + QuoteErrText(table) + DQ +
            QStringLiteral(" не найдено поле ") + DQ + QuoteErrText(field) + DQ;
    return false;
  }
  TField* DestField(const QString& name) { return dest.FindField(name); }
  bool CheckCounts(int first, int second) {
    if (first == second) return true;
    error = QStringLiteral("Не соответствие количества полей. В таблице ") + DQ +
            QuoteErrText(rf.InsertTable) + DQ + QStringLiteral(" - ") + QString::number(first) +
            QStringLiteral(", в ") + DQ + QuoteErrText(rf.InsertSource) + DQ +
            QStringLiteral(" - ") + QString::number(second);
    return false;
  }

  bool Map() {
    const QStringList dl = Items(rf.InsertDestFields), sl = Items(rf.InsertSourceFields);
    const int dn = dest.Fields().Count(), sn = src.Fields.Count();
    auto addBySource = [&](const QString& name) {
      TRepsField* s = src.FindField(name);
      if (!s) return Missing(rf.InsertSource, name);
      TField* d = DestField(s->Name);
      if (!d) return Missing(rf.InsertTable, s->Name);
      pairs.push_back(Pair{d, s, {}, nullptr});
      return true;
    };
    if (!dl.isEmpty() && !sl.isEmpty()) {
      if (!CheckCounts(dl.size(), sl.size())) return false;
      for (int i = 0; i < dl.size(); ++i) {
        TField* d = DestField(dl[i]);
        if (!d) return Missing(rf.InsertTable, dl[i]);
        TRepsField* s = src.FindField(sl[i]);
        if (!s) return Missing(rf.InsertSource, sl[i]);
        pairs.push_back(Pair{d, s, {}, nullptr});
      }
    } else if (dl.isEmpty()) {
      if (!CheckCounts(qMin(dn, sn), sn)) return false;
      if (sl.isEmpty()) {
        for (int i = 0; i < sn; ++i)
          if (!addBySource(src.Fields.Item(i).Name)) return false;
      } else {
        for (const QString& n : sl)
          if (!addBySource(n)) return false;
      }
    } else {
      if (!CheckCounts(dn, qMin(dn, sn))) return false;
      for (const QString& n : dl) {
        TField* d = DestField(n);
        if (!d) return Missing(rf.InsertTable, n);
        TRepsField* s = src.FindField(n);
        if (!s) return Missing(rf.InsertSource, n);
        pairs.push_back(Pair{d, s, {}, nullptr});
      }
    }
    for (const auto& [destName, text] : rf.InsertFormats) {
      Pair* p = nullptr;
      for (Pair& q : pairs)
        if (q.Dest->FieldName().compare(destName, Qt::CaseInsensitive) == 0) p = &q;
      if (!p) {
        TField* d = DestField(destName);
        if (!d) return Missing(rf.InsertTable, destName);
        p = &pairs.emplace_back(Pair{d, nullptr, {}, nullptr});
      }
      p->FormatText = text;
      p->Format = orvReps_FormatString::CompileFormatString(text, rf.Out(), false, false, false,
                                                            true, false);
      if (p->Format) p->Format->BindReferences();
    }
    return true;
  }
};

}  // namespace

void InsertIntoTable(TRF& rf) {
  struct Clear {
    TRF& rf;
    ~Clear() {
      rf.InsertDestFields.clear();
      rf.InsertSourceFields.clear();
      rf.InsertFormats.clear();
    }
  } clear{rf};
  rf.Pars->Defs.SetDef(QStringLiteral("LastErrText"), QString(), dkSystem, true);
  auto setErr = [&](const QString& t) {
    rf.Pars->Defs.SetDef(QStringLiteral("LastErrText"), t, dkSystem, true);
  };
  TRepsData* src = rf.FindData(rf.InsertSource);
  if (!src) return;
  std::unique_ptr<IRepsQuery> q;
  try {
    q = NewQuery(rf, 1, rf.InsertTable);
    q->DataSet().Open();
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    setErr(QStringLiteral("Ошибка при открытии таблицы ") + DQ + QuoteErrText(rf.InsertTable) + DQ +
           QStringLiteral("\r\n\r\nС сообщением: ") + Msg(e.Message()));
    return;
  }
  Mapping m{rf, *src, q->DataSet(), {}, {}};
  try {
    if (!m.Map()) {
      setErr(m.error);
      return;
    }
  } catch (const Exception& e) {
    setErr(QStringLiteral("Ошибка при подготовки полей\r\n\r\nС сообщением: ") + Msg(e.Message()));
    return;
  }
  // The rows go in together: a failing row takes the ones before it back out.
  rf.DataSets->StartTransaction();
  int row = 0;
  QString where;
  try {
    for (src->First(); !src->Eof(); src->Next()) {
      ++row;
      where = QStringLiteral("\r\nпри выполнении Insert");
      q->DataSet().Insert();
      for (size_t i = 0; i < m.pairs.size(); ++i) {
        Pair& p = m.pairs[i];
        QString value;
        if (p.Format) {
          p.Format->Execute(value, 10, 10, 10, false, nullptr, -1);
          where = QStringLiteral("\r\nпри задании значения поля №%1 %2 --> %3\r\n(значение: '%4')")
                      .arg(i + 1)
                      .arg(QuoteErrText(p.FormatText), QuoteErrText(p.Dest->FieldName()),
                           QuoteErrText(value));
          p.Dest->SetAsString(value);
        } else {
          const QString shown = p.Source->GetIsNull() ? QStringLiteral("значение: Null")
                                                      : QStringLiteral("значение: ") +
                                                            QuoteErrText(p.Source->GetAsString());
          where = QStringLiteral("\r\nпри задании значения поля №%1 %2 --> %3\r\n(%4)")
                      .arg(i + 1)
                      .arg(QuoteErrText(p.Source->Name), QuoteErrText(p.Dest->FieldName()), shown);
          p.Dest->SetAsVariant(p.Source->GetValue());
        }
      }
      where = QStringLiteral("\r\nпри выполнении Post");
      q->DataSet().Post();
    }
    rf.DataSets->Commit();
  } catch (const ERepsAbort&) {
    rf.DataSets->Rollback();
    throw;
  } catch (const Exception& e) {
    rf.DataSets->Rollback();
    setErr(QStringLiteral("Ошибка вставки в ") + DQ + QuoteErrText(rf.InsertTable) + DQ +
           QStringLiteral(" записи номер ") + QString::number(row) + where +
           QStringLiteral("\r\n\r\nС сообщением: ") + Msg(e.Message()));
  } catch (const std::exception& e) {
    rf.DataSets->Rollback();
    setErr(QStringLiteral("Ошибка вставки записей из таблицы ") + DQ +
           QuoteErrText(rf.InsertSource) + DQ + QStringLiteral(" в ") + DQ + rf.InsertTable + DQ +
           QStringLiteral("\r\n\r\nС сообщением: ") + Msg(QString::fromUtf8(e.what())));
  }
}

}  // namespace orvReps_ParQuery
