#include "db/orvspexec.h"

#include "core/orvcls.h"
#include "db/orvdblists.h"
#include "db/orvzeos.h"
#include "platform/data/params.h"

namespace orvspexec {

std::optional<QString> BuildCallText(const TCallInput& in) {
  if (in.Name.isEmpty()) return std::nullopt;
  const auto qualify = [&](const QString& n) { return in.Qualify ? in.Qualify(n) : n; };
  if (in.ExecName > QLatin1String(" ")) {
    if (in.DBKind != orvcls::dbkPostgres) return std::nullopt;
    QString p1 = in.Params;
    p1.replace(QLatin1String(",:ORDER"), QString());
    p1.replace(QLatin1String(", :ORDER"), QString());
    QString p2 = p1;
    p2.replace(QLatin1String(",:FILTER"), QString());
    p2.replace(QLatin1String(", :FILTER"), QString());
    auto joined = [&](QChar mark, const QString& params) {
      QString e = in.ExecName;
      e.replace(mark, QLatin1Char('(') + params + QStringLiteral(") ; SELECT * FROM "));
      return QStringLiteral("SELECT ") + e;
    };
    if (in.ExecName.contains(QLatin1Char('?'))) return joined(QLatin1Char('?'), p1);
    if (in.ExecName.contains(QLatin1Char('/'))) return joined(QLatin1Char('/'), p2);
    return QStringLiteral("SELECT * FROM ") + in.ExecName + QLatin1Char('(') + in.Params +
           QLatin1Char(')');
  }
  if (in.Name.startsWith(QLatin1Char('*')))
    return QStringLiteral("SELECT * FROM ") + qualify(in.Name.mid(1)) + QLatin1Char('(') +
           in.Params + QLatin1Char(')');
  QString n = qualify(in.Name);
  switch (in.Kind) {
    case spkExec: return QStringLiteral("EXEC ") + n + QLatin1Char(' ') + in.Params;
    case spkSelect:
      return QStringLiteral("SELECT * FROM ") + n + QLatin1Char('(') + in.Params + QLatin1Char(')');
    case spkCursor: {
      if (in.RegistryTableName) {
        const QString table = in.RegistryTableName(n);
        if (!table.isEmpty()) n = table;
      }
      if (in.HasListDesc && !in.FirstTempTable.isEmpty())
        return QStringLiteral("CALL ") + n + QLatin1Char('(') + in.Params + QLatin1Char(')');
      QString s = QStringLiteral("SELECT * FROM TABLE(") + n + QLatin1Char('(') + in.Params +
                  QStringLiteral("))");
      if (!in.FilterText.isEmpty()) s += QStringLiteral(" RES where ") + in.FilterText;
      return s;
    }
    default: return std::nullopt;
  }
}

QString TableStatement(const QString& qualifiedTable, int dbKind, const QString& indexFieldNames) {
  QString t = QStringLiteral("SELECT * FROM ") + qualifiedTable;
  if (dbKind == orvcls::dbkMSSQL) t += QStringLiteral(" WITH (NOLOCK)");
  if (indexFieldNames.trimmed() > QLatin1String(" ")) {
    QString order = indexFieldNames;
    order.replace(QLatin1Char(';'), QLatin1Char(','));
    order.remove(QLatin1String(" ASC"), Qt::CaseInsensitive);
    t += QStringLiteral(" ORDER BY ") + order;
  }
  return t;
}

}  // namespace orvspexec

// ---- TCustomSPExec -----------------------------------------------------------------------

TPersistent* TCustomSPExec::GetOwner() const { return dataSet_; }

void TCustomSPExec::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TCustomSPExec*>(source)) {
    SetDataText(other->Data());
    return;
  }
  TCoPersistent::Assign(source);
}

void TCustomSPExec::SetDataText(const QString& text) {
  data_ = text;
  const qsizetype blank = text.indexOf(QLatin1Char(' '));
  const QString name = (blank < 0 ? text : text.left(blank)).trimmed();
  const QString params = blank < 0 ? QString() : text.mid(blank).trimmed();
  const int flags = (name != name_ ? 1 : 0) | (params != params_ ? 2 : 0);
  name_ = name;
  params_ = params;
  Changed(flags);
}

void TCustomSPExec::SetNameText(const QString& name) {
  if (name == name_) return;
  name_ = name;
  data_ = name_ + QLatin1Char(' ') + params_;
  Changed(1);
}

void TCustomSPExec::SetParamsText(const QString& params) {
  if (params == params_) return;
  params_ = params;
  data_ = name_ + QLatin1Char(' ') + params_;
  Changed(2);
}

// ---- TZSPExec ----------------------------------------------------------------------------

void TZSPExec::Changed(int flags) {
  (void)flags;
  auto* ds = dynamic_cast<TOrvZeosSelectProc*>(DataSet());
  TOrvZeosControl* control = ds != nullptr ? ds->ListControl() : nullptr;
  TAliasDesc* alias = control != nullptr ? control->Alias() : nullptr;
  if (ds == nullptr || control == nullptr || alias == nullptr || Name().isEmpty() || ds->Active())
    return;
  auto* list = dynamic_cast<TListDesc*>(control->Desc());
  orvspexec::TCallInput in;
  in.Name = Name();
  in.Params = Params();
  in.ExecName = list != nullptr ? list->ExecName : QString();
  in.DBKind = orvcls::DBKind;
  in.Kind = alias->Conn() != nullptr ? alias->Conn()->SelectProcKind() : spkUnknown;
  in.Qualify = [control](const QString& n) { return control->QualifiedObjectName(n); };
  const bool orvList = ds->ListID().compare(QLatin1String("ORV"), Qt::CaseInsensitive) == 0;
  in.RegistryTableName = [orvList](const QString& n) {
    TListDesc* d = orvList ? orvdblists::GetDescList()->FindListDesc(n) : nullptr;
    return d != nullptr ? d->TableName() : QString();
  };
  in.HasListDesc = list != nullptr;
  in.FirstTempTable = list != nullptr ? list->TempTableName(0) : QString();
  if (TParam* filter = ds->Params().FindParam(QStringLiteral("FILTER")); filter != nullptr)
    in.FilterText = filter->IsNull() ? QString() : filter->AsString();
  if (std::optional<QString> sql = orvspexec::BuildCallText(in)) {
    if (*sql != ds->SQLText()) ds->SetSQLText(*sql);
  }
  ds->FillParams();
}

ORV_DESCRIBE(TCustomSPExec) {
  c.Prop("Data", &TCustomSPExec::Data, &TCustomSPExec::SetDataText).Stored(false);
  c.Prop("Name", &TCustomSPExec::Name, &TCustomSPExec::SetNameText).Stored(false);
  c.Prop("Params", &TCustomSPExec::Params, &TCustomSPExec::SetParamsText);
  c.Implements<ISPExec>();
}

ORV_DESCRIBE(TCustomSQLExec) {}
ORV_DESCRIBE(TZSPExec) {}
