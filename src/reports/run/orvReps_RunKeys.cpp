// Key procedures of the run: variables, the build and result-file keys, REPNEW, the data and
// query keys, TOTAL/TOTALLEVEL; and the binding table of every procedure bound so far.
#include "reports/run/orvReps_RunKeys.h"
#include "reports/run/orvReps_Prepare.h"
#include "reports/run/orvReps_ColumnKeys.h"

#include "platform/data/dataset.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/output/orvReps_CellWriters.h"
#include "reports/output/orvReps_FormatString.h"
#include "reports/output/orvReps_RepClasses.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_Queries.h"
#include "db/orvzeos.h"

#include <QtCore/QElapsedTimer>

namespace {

using orvReps_KeyArgs::R;
using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::RawArg;

using orvReps_KeyProcs::Ticks;

void SetVar(TRF& rf, const QString& name, const QString& value, qint32 kind = dkScript) {
  rf.Pars->Defs.SetDef(name, value, kind, true);
}

void SetLastErr(TRF& rf, const QString& text) {
  SetVar(rf, QStringLiteral("LastErrText"), text, dkSystem);
}

QString Doubled(const QString& s) {
  return QString(s).replace(QLatin1Char('\''), QStringLiteral("''"));
}

// ---- Variable keys --------------------------------------------------------------------------

void KeyDef(TRepsRun& run) {
  TRF& rf = R(run);
  const QString a = RawArg(run);
  const int comma = a.indexOf(QLatin1Char(','));
  const QString name = comma >= 0 ? a.left(comma) : QString();
  const QString value = comma >= 0 ? a.mid(comma + 1) : a;
  QString expanded;
  orvReps_FormatString::FormatText(expanded, value, rf.Out(), false, -1, 10, -1, false, false);
  SetVar(rf, name, expanded);
}

void KeyLet(TRepsRun& run) {
  const QString name = RawArg(run);
  const QString value = RawArg(run);
  SetVar(R(run), name, value);
}

void KeySet(TRepsRun& run) {
  const QString name = Arg(run);
  const QString expr = Arg(run);
  orvReps_KeyProcs::SetDefByFormula(R(run), name, expr);
}

void KeySyn(TRepsRun& run) {
  const QString name = orvReps_Lib::UpperCase(RawArg(run));
  const QString text = RawArg(run);
  SetVar(R(run), name, text, dkSynonym);
}

void KeyReplaceInVar(TRepsRun& run) {
  TRF& rf = R(run);
  TDef* def = rf.Pars->Defs.FindDef(Arg(run));
  if (!def) {
    run.SkipKeyArgs(2);
    return;
  }
  const QString search = Arg(run);
  const QString repl = Arg(run);
  if (!search.isEmpty()) def->Value = orvReps_Lib::ReplaceAll(def->Value, search, repl);
}

// ---- Build and result-file keys -------------------------------------------------------------

void KeyRepBuild(TRepsRun& run) { R(run).Continued = false; }
void KeyRepBuildNoLast(TRepsRun& run) { R(run).Continued = true; }
void KeyRepBuildContinued(TRepsRun& run) {
  const QString w = orvReps_Lib::UpperCase(Arg(run));
  R(run).Continued =
      w == QLatin1String("ON") || w == QLatin1String("YES") || w == QLatin1String("TRUE");
}

void KeyRepBuildAfter(TRepsRun& run) {
  TRF& rf = R(run);
  const qint64 start = Ticks();
  rf.CurPart->LastPart = !rf.Continued;
  struct Finally {
    TRF& rf;
    qint64 start;
    ~Finally() {
      rf.CyclicPart = false;
      rf.BuildTime += Ticks() - start;
    }
  } fin{rf, start};
  rf.BuildReport();
  if (!rf.OkText.isEmpty() && rf.ShowAll) rf.WriteMes(QStringLiteral("\r") + rf.OkText, true, true);
}

void KeyFile(TRepsRun& run) {
  TRF& rf = R(run);
  if (!rf.FilesDir.isEmpty()) {
    run.SkipKeyArgs(1);
    return;
  }
  const QString text = RawArg(run);
  if (rf.FileFormat) orvReps_FormatString::UnregisterFormat(rf.FileFormat.get());
  rf.FileFormat =
      orvReps_FormatString::CompileFormatString(text, rf.Out(), false, false, false, true, false);
  if (rf.FileFormat) rf.FileFormat->BindReferences();
  rf.FileNameLimit = 0;
}

void KeyFileLimit(TRepsRun& run) { R(run).FileNameLimit = StrToInt(Arg(run)); }

void KeyRepNew(TRepsRun& run) { R(run).RepNewNoClose = false; }
void KeyRepNewNoClose(TRepsRun& run) { R(run).RepNewNoClose = true; }

void StartPart(TRF& rf) {
  rf.PartQueryIndex = 0;
  rf.CurPart->QueryNo = 0;
  rf.CurPart->Links.clear();
}

void KeyRepNewAfter(TRepsRun& run) {
  TRF& rf = R(run);
  rf.FirstReport = false;
  if (rf.Continued) {
    rf.Steps().PreparePart(rf);
    rf.SelectPart(&rf.Parts.Add());
    rf.ResetReportSettings();
    StartPart(rf);
    return;
  }
  rf.Parts.DeleteAllExcept(rf.CurPart);
  rf.ResetReportSettings();
  if (!rf.RepNewNoClose) {
    TRepsDatas& d = rf.CurPart->Datas;
    for (int i = 0; i < d.Count(); ++i)
      if (d.GetItem(i) == rf.CurData) rf.CurData = nullptr;
    d.Clear();
    StartPart(rf);
  }
}

// ---- Data keys ------------------------------------------------------------------------------

void KeyDB(TRepsRun& run) {
  TRF& rf = R(run);
  rf.DBName = Arg(run);
  const QString user = Arg(run), password = Arg(run);
  rf.DBLinks.Connect(rf.DBName, user, password);
}

void KeyDBQ(TRepsRun& run) { R(run).DBName = Arg(run); }

void DefineQuery(TRF& rf) {
  rf.QueryRawSQL = RawArg(rf);
  rf.QuerySQL = rf.FormatArg(rf.QueryRawSQL);
  rf.CurData = nullptr;
  rf.QueryFields.clear();
  rf.FieldsFromPending = false;
  rf.RefreshBy = -2;
}

void KeyOpen(TRepsRun& run) {
  TRF& rf = R(run);
  rf.QueryStartTick = Ticks();
  rf.QueryAlias = Arg(run);
  rf.SaveToFile.clear();
  DefineQuery(rf);
  rf.CashFields.clear();
}

void KeyRepQ(TRepsRun& run) {
  TRF& rf = R(run);
  rf.QueryStartTick = Ticks();
  TReportPart& p = *rf.CurPart;
  if (p.QueryNo < 1) p.QueryNo = 1;
  rf.QueryAlias = QString(QChar('A' - 1 + p.QueryNo));
  rf.SaveToFile.clear();
  if (rf.ShowAll) rf.WriteMes(QString());
  DefineQuery(rf);
  rf.SkipFormula.clear();
}

bool TopKeyIs(TRF& rf, int key) {
  TRepsPars& p = *rf.Pars;
  if (p.TopEntry < 0) return false;
  return p.Item(p.KeyHistory[p.TopEntry].ItemIndex).Key == key;
}

TRepsDatas& ListOfKey(TRF& rf) {
  return TopKeyIs(rf, orvReps_KeyDefs::KeyByPath(QStringLiteral("REPQ"))) ? rf.CurPart->Datas
                                                                          : rf.RepsDatas;
}

void OpenKeyEnd(TRF& rf, bool repq) {
  if (!rf.CurData) orvReps_ParQuery::OpenData(rf, repq ? rf.CurPart->Datas : rf.RepsDatas, 0);
  TRepsData& d = *rf.CurData;
  if (repq && !rf.SaveToFile.isEmpty() && d.Query()) {
    QString text = orvReps_Queries::SQLText(*d.Query()->DataSet());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    if (!text.endsWith(QLatin1String("\r\n"))) text += QLatin1String("\r\n");
    orvReps_Lib::SaveStrToFile(rf.SaveToFile, text);
  }
  d.Open();
  if (repq) {
    ++rf.PartQueryIndex;
    if (!rf.SkipFormula.isEmpty())
      d.SkipCode = orvReps_CellWriters::CompileFormula(rf.Out(), rf.SkipFormula);
    if (rf.RefreshBy > -2) {
      d.RefreshSQL = orvReps_FormatString::CompileFormatString(rf.QueryRawSQL, rf.Out(), false,
                                                               false, false, true, false);
      d.RefreshLevel = rf.RefreshBy;
    }
    rf.RepQTime += Ticks() - rf.QueryStartTick;
  } else {
    if (!rf.CashFields.isEmpty()) {
      orvReps_ParQuery::BuildCash(rf);
      if (!rf.CashOrdered.isEmpty() && d.CashRecs) {
        d.CashRecs->OrderIndex = d.CashRecs->IndexOfName(orvReps_Lib::UpperCase(rf.CashOrdered));
        d.CashRecs->Ascending = !rf.CashDesc;
      }
    }
    rf.OpenTime += Ticks() - rf.QueryStartTick;
  }
}

void KeyOpenAfter(TRepsRun& run) { OpenKeyEnd(R(run), false); }
void KeyRepQAfter(TRepsRun& run) { OpenKeyEnd(R(run), true); }

void KeyCash(TRepsRun& run) {
  TRF& rf = R(run);
  rf.CashFields = Arg(run);
  rf.CashOrdered.clear();
  rf.CashDesc = false;
}
void KeyCashOrdered(TRepsRun& run) { R(run).CashOrdered = Arg(run); }
void KeyCashDesc(TRepsRun& run) { R(run).CashDesc = true; }

void KeyFields(TRepsRun& run) {
  TRF& rf = R(run);
  rf.QueryFields = Arg(run);
  orvReps_ParQuery::OpenData(rf, ListOfKey(rf), 0);
}

void KeyFieldsOfTable(TRepsRun& run) {
  TRF& rf = R(run);
  rf.QueryFields = Arg(run);
  orvReps_ParQuery::OpenData(rf, ListOfKey(rf), 1);
}

void KeyFieldsFrom(TRepsRun& run) {
  TRF& rf = R(run);
  rf.FieldsFromAlias = Arg(run);
  for (QString& f : rf.FieldsFromFormats) f.clear();
  rf.FieldsFromPending = true;
}

void FlushFieldsFrom(TRF& rf) {
  if (!rf.FieldsFromPending) return;
  rf.FieldsFromPending = false;
  orvReps_ParQuery::OpenData(rf, ListOfKey(rf), 2);
}

void KeyFieldsFromAfter(TRepsRun& run) { FlushFieldsFrom(R(run)); }

template <int I>
void KeyFieldsFromFormat(TRepsRun& run) {
  R(run).FieldsFromFormats[I] = RawArg(run);
}

void KeyVals(TRepsRun& run) {
  TRF& rf = R(run);
  FlushFieldsFrom(rf);
  if (rf.CurData && rf.CurData->Kind == TRepsData::KindHand)
    rf.CurData->AppendFromText(Arg(run));
  else
    run.SkipKeyArgs(1);
}

void KeySaveToFile(TRepsRun& run) { R(run).SaveToFile = Arg(run); }
void KeySkipRecords(TRepsRun& run) { R(run).SkipFormula = Arg(run); }
void KeyRefreshBy(TRepsRun& run) {
  const QString a = Arg(run);
  R(run).RefreshBy = orvReps_Lib::UpperCase(a) == QLatin1String("EACHREC") ? -1 : StrToInt(a);
}

void KeyClose(TRepsRun& run) {
  TRF& rf = R(run);
  const QString name = Arg(run);
  // The data object may be the one INSERT and VALS work on: forget it with the object.
  if (rf.CurData && rf.CurData == rf.RepsDatas.FindAnyCase(name)) rf.CurData = nullptr;
  rf.RepsDatas.DeleteByName(name);
}

void KeyRec(TRepsRun& run) {
  TRF& rf = R(run);
  TRepsData* d = rf.FindData(Arg(run));
  const QString w = orvReps_Lib::UpperCase(Arg(run));
  if (!d) return;
  if (w == QLatin1String("NEXT"))
    d->Next();
  else if (w == QLatin1String("FIRST"))
    d->First();
}

void KeySqlTimeout(TRepsRun& run) { R(run).ReportTimeout() = StrToInt(Arg(run)); }

void KeyLink(TRepsRun& run) {
  TRF& rf = R(run);
  TReportPart& p = *rf.CurPart;
  if (p.QueryNo < 1) p.QueryNo = 1;
  TRepsLinkPair link;
  orvReps_Lib::SplitList(link.Fields1, RawArg(run), QLatin1Char(','));
  orvReps_Lib::SplitList(link.Fields2, RawArg(run), QLatin1Char(','));
  for (QString& f : link.Fields1) f = f.trimmed();
  for (QString& f : link.Fields2) f = f.trimmed();
  link.NameCount = link.Fields2.size();
  // Pair n links query n and n+1; the list grows with the pairs given.
  if (int(p.Links.size()) < p.QueryNo) p.Links.resize(size_t(p.QueryNo));
  p.Links[size_t(p.QueryNo) - 1] = link;
  ++p.QueryNo;
}

void KeyExec(TRepsRun& run) {
  TRF& rf = R(run);
  rf.SaveToFile.clear();
  rf.ExecSQL = Arg(run);
}
void KeyExecAfter(TRepsRun& run) {
  TRF& rf = R(run);
  orvReps_ParQuery::ExecStatement(rf, rf.ExecSQL, false, rf.SaveToFile);
}
void KeyTryExecAfter(TRepsRun& run) {
  TRF& rf = R(run);
  orvReps_ParQuery::ExecStatement(rf, rf.ExecSQL, true, rf.SaveToFile);
}

void KeyInsert(TRepsRun& run) {
  TRF& rf = R(run);
  TRepsData* d = rf.FindData(Arg(run));
  if (!d) {
    run.SkipKeyArgs(1);
    return;
  }
  rf.CurData = d;
  const int before = d->Bound() ? d->RecordCount() : 0;
  KeyVals(run);
  if (before < 1 && d->RecNo == 0 && d->Bound()) d->Open();
}

void KeyInsertIntoTable(TRepsRun& run) {
  TRF& rf = R(run);
  rf.InsertSource = Arg(run);
  rf.InsertTable = Arg(run);
  rf.InsertDestFields.clear();
  rf.InsertSourceFields.clear();
  rf.InsertFormats.clear();
}
void KeyInsertDest(TRepsRun& run) { R(run).InsertDestFields = Arg(run); }
void KeyInsertSource(TRepsRun& run) { R(run).InsertSourceFields = Arg(run); }
void KeyInsertFormat(TRepsRun& run) {
  const QString dest = Arg(run);
  const QString format = RawArg(run);
  R(run).InsertFormats.emplace_back(dest, format);
}
void KeyInsertIntoTableAfter(TRepsRun& run) { orvReps_ParQuery::InsertIntoTable(R(run)); }

// ---- The binding table ----------------------------------------------------------------------

const TKeyBinding kBindings[] = {
    {"DEF", KeyDef, nullptr},
    {"LET", KeyLet, nullptr},
    {"SET", KeySet, nullptr},
    {"SYN", KeySyn, nullptr},
    {"REPLACEINVAR", KeyReplaceInVar, nullptr},
    {"REPBUILD", KeyRepBuild, KeyRepBuildAfter},
    {"REPBUILD.NOLAST", KeyRepBuildNoLast, nullptr},
    {"REPBUILD.CONTINUED", KeyRepBuildContinued, nullptr},
    {"FILE", KeyFile, nullptr},
    {"FILE.LIMIT", KeyFileLimit, nullptr},
    {"REPNEW", KeyRepNew, KeyRepNewAfter},
    {"REPNEW.NOCLOSE", KeyRepNewNoClose, nullptr},
    {"DB", KeyDB, nullptr},
    {"DBQ", KeyDBQ, nullptr},
    {"OPEN", KeyOpen, KeyOpenAfter},
    {"OPEN.CASH", KeyCash, nullptr},
    {"OPEN.CASH.ORDERED", KeyCashOrdered, nullptr},
    {"OPEN.CASH.ORDERED.DESC", KeyCashDesc, nullptr},
    {"CLOSE", KeyClose, nullptr},
    {"EXEC", KeyExec, KeyExecAfter},
    {"EXEC.SAVETOFILE", KeySaveToFile, nullptr},
    {"TRYEXEC", KeyExec, KeyTryExecAfter},
    {"TRYEXEC.SAVETOFILE", KeySaveToFile, nullptr},
    {"REC", KeyRec, nullptr},
    {"SQLTIMEOUT", KeySqlTimeout, nullptr},
    {"LINK", KeyLink, nullptr},
    {"REPQ", KeyRepQ, KeyRepQAfter},
    {"REPQ.FIELDS", KeyFields, nullptr},
    {"REPQ.FIELDS.VALS", KeyVals, nullptr},
    {"REPQ.FIELDSOFTABLE", KeyFieldsOfTable, nullptr},
    {"REPQ.FIELDSFROM", KeyFieldsFrom, KeyFieldsFromAfter},
    {"REPQ.FIELDSFROM.NAME", KeyFieldsFromFormat<0>, nullptr},
    {"REPQ.FIELDSFROM.TYPE", KeyFieldsFromFormat<1>, nullptr},
    {"REPQ.FIELDSFROM.NULLABLE", KeyFieldsFromFormat<2>, nullptr},
    {"REPQ.FIELDSFROM.VALUELEN", KeyFieldsFromFormat<3>, nullptr},
    {"REPQ.FIELDSFROM.FILTER", KeyFieldsFromFormat<4>, nullptr},
    {"REPQ.SAVETOFILE", KeySaveToFile, nullptr},
    {"REPQ.SKIPRECORDS", KeySkipRecords, nullptr},
    {"REPQ.REFRESHBY", KeyRefreshBy, nullptr},
    {"INSERT", KeyInsert, nullptr},
    {"INSERTINTOTABLE", KeyInsertIntoTable, KeyInsertIntoTableAfter},
    {"INSERTINTOTABLE.DESTFIELDS", KeyInsertDest, nullptr},
    {"INSERTINTOTABLE.SOURCEFIELDS", KeyInsertSource, nullptr},
    {"INSERTINTOTABLE.FORMAT", KeyInsertFormat, nullptr},
    {"TOTAL", orvReps_RepClasses::KeyTotal, nullptr},
    {"TOTALLEVEL", orvReps_RepClasses::KeyTotal, nullptr},
    {"REPFORMAT", orvReps_OutKeys::KeyRepFormat, nullptr},
    {"UPPER", orvReps_OutKeys::KeyUpper, nullptr},
    {"LOWER", orvReps_OutKeys::KeyLower, nullptr},
    {"ASCII", orvReps_OutKeys::KeyAscii, nullptr},
    {"TAG", orvReps_OutKeys::KeyTag, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> RunBindings() { return kBindings; }

std::vector<TKeyBinding> AllBindings() {
  std::vector<TKeyBinding> all;
  for (auto family :
       {RunBindings(), FlowBindings(), MesBindings(), FileBindings(), ResultBindings(),
        OptionBindings(), LevelBindings(), ColumnBindings(), CalcBindings(), LayoutBindings(),
        StyleBindings(), SampleBindings(), PageBindings(), SheetBindings()})
    all.insert(all.end(), family.begin(), family.end());
  return all;
}

const TKeyProcs& KeyProcs() {
  static const TKeyProcs procs = orvReps_KeyBinding::BindKeyProcs(AllBindings());
  return procs;
}

void SetDefByFormula(TRF& rf, const QString& name, const QString& expression) {
  Variant v;
  orvReps_CellWriters::CompileCondition(v, rf.Out(), expression);
  SetVar(rf, name, orvReps_Lib::VarToStrDef(v));
}

}  // namespace orvReps_KeyProcs

// ---- Query services -------------------------------------------------------------------------

namespace orvReps_ParQuery {

int DecideKind(TRF& rf) {
  const bool handle =
      orvReps_Lib::UpperCase(rf.Pars->Defs.DefValue(QStringLiteral("HandleQuery"))) ==
      QLatin1String("TRUE");
  return (!rf.QueryFields.isEmpty() && handle) || rf.QuerySQL.isEmpty() ? TRepsData::KindHand
                                                                        : TRepsData::KindSQL;
}

std::unique_ptr<IRepQuery> NewQuery(TRF& rf, int kind, const QString& table) {
  std::unique_ptr<IRepQuery> q;
  try {
    q = kind == 1 ? orvReps_CellWriters::NewRepCommand(rf.Out(), table)
                  : orvReps_CellWriters::NewRepQuery(rf.Out());
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    RaiseRepsError(rf, recGeneralError, {e.Message()}, false);
  }
  if (!q || !q->DataSet())
    RaiseRepsError(rf, recGeneralError,
                   {QStringLiteral("фабрика не дала набора данных вида %1").arg(kind)}, false);
  return q;
}

void OpenData(TRF& rf, TRepsDatas& list, int fieldMode) {
  const int kind = DecideKind(rf);
  if (&list == &rf.RepsDatas) {
    rf.CurData = list.FindOrAdd(rf.QueryAlias, kind, false);
  } else if (rf.PartQueryIndex < list.Count() - 1) {
    rf.CurData = list.GetItem(rf.PartQueryIndex);
    if (!rf.CurData->External) rf.CurData->Close();
  } else {
    rf.CurData = list.AddNamed(rf.QueryAlias, kind, false);
  }
  rf.CurData->Prepare(kind);
  PrepareQuery(rf, fieldMode);
}

void PrepareQuery(TRF& rf, int fieldMode) {
  TRepsData& d = *rf.CurData;
  if (d.Kind == TRepsData::KindHand) {
    QString badName, badType;
    if (!BuildHandFields(rf, fieldMode, badName, badType))
      RaiseRepsError(rf, recBadTypeForField, {badName, badType}, false);
    return;
  }
  auto q = NewQuery(rf, 3, QString());
  TDataSet& ds = *q->DataSet();
  if (Supports<ISQLQuery>(&ds)) {
    if (rf.ShowAll && !rf.DoingText.isEmpty())
      rf.WriteMes(rf.DoingText + (rf.SQLShowText.isEmpty() ? rf.QuerySQL : rf.SQLShowText));
    // Colons of the statement are no parameters.
    orvReps_Queries::SetParamCheck(ds, false);
    orvReps_Queries::SetSQLText(ds, rf.QuerySQL);
  }
  d.SetQuery(std::move(q));
}

bool BuildHandFields(TRF& rf, int mode, QString& badName, QString& badType) {
  TRepsData& d = *rf.CurData;
  d.Fields.Clear();
  if (mode == 0) {
    const QString& list = rf.QueryFields;
    int pos = 1;
    QString item;
    bool more = !list.isEmpty();
    while (more) {
      more = orvReps_Lib::NextUnescapedItem(item, list, pos, QLatin1Char(','));
      item = orvReps_Lib::Trimmed(item);
      if (item.isEmpty()) continue;
      QString name = item, type = QStringLiteral("S");
      const int blank = item.lastIndexOf(QLatin1Char(' '));
      if (blank >= 0 && item.size() - blank - 1 == 1) {
        type = orvReps_Lib::UpperCase(item.mid(blank + 1));
        name = item.left(blank);
        while (name.endsWith(QLatin1Char(' '))) name.chop(1);
      }
      int kind = ftString;
      if (!orvReps_Values::FieldTypeByLetter(type, kind)) {
        badName = name;
        badType = type;
        return false;
      }
      d.Fields.AddValueField(name, TFieldType(kind), qMax(1, int(name.size())));
    }
  } else if (mode == 1) {
    auto q = NewQuery(rf, 1, rf.QueryFields);
    q->DataSet()->Open();
    TFields& fields = q->DataSet()->Fields();
    for (int i = 0; i < fields.Count(); ++i)
      d.Fields.AddValueField(fields[i]->FieldName(), FieldKindMap(fields[i]->DataType()),
                             fields[i]->DisplayWidth());
  } else {
    TRepsData* src = rf.FindData(orvReps_Lib::UpperCase(rf.FieldsFromAlias));
    if (!src) return true;
    std::unique_ptr<TFormatCommands> f[5];
    for (int i = 0; i < 5; ++i) {
      f[i] = orvReps_FormatString::CompileFormatString(rf.FieldsFromFormats[i], rf.Out(), false,
                                                       false, false, true, false);
      if (f[i]) f[i]->BindReferences();
    }
    auto run = [&](int i) {
      QString r;
      if (f[i]) f[i]->Execute(r, 10, 10, 10, false, nullptr, -1);
      return r;
    };
    for (src->First(); !src->Eof(); src->Next()) {
      int kind = ftString;
      orvReps_Values::FieldTypeByLetter(orvReps_Lib::UpperCase(run(1)), kind);
      TRepsHField& h = d.Fields.AddValueField(run(0), TFieldType(kind), 1);
      const QString nullable = orvReps_Lib::UpperCase(run(2).trimmed());
      h.Nullable = !(nullable == QLatin1String("0") || nullable == QLatin1String("FALSE") ||
                     nullable == QLatin1String("NO") || nullable == QLatin1String("N") ||
                     nullable == QLatin1String("OFF"));
      const QString len = run(3);
      h.ValueLen = len.trimmed().isEmpty() ? -1 : StrToInt(len);
      h.Filter = run(4);
    }
  }
  d.ClearRecords();
  return true;
}

void BuildCash(TRF& rf) {
  TRepsData& d = *rf.CurData;
  d.CashRecs = std::make_unique<TCashRecs>();
  d.HasCash = true;
  TCashRecs& c = *d.CashRecs;
  for (int i = 0; i < d.Fields.Count() && c.FieldCount < TCashRecs::MaxFields; ++i) {
    TRepsField& f = d.Fields.Item(i);
    bool include = false;
    if (orvReps_Values::MatchInList(0, -1, QStringLiteral("A"), f.Name, rf.CashFields, include) <=
            0 ||
        !include)
      continue;
    const int k = c.FieldCount++;
    c.FieldNames[k] = orvReps_Lib::UpperCase(f.Name);
    c.CacheFields[k] = &f;
    c.CompareKinds[k] = f.DataType == ftInteger    ? varInteger
                        : f.DataType == ftBoolean  ? varBoolean
                        : f.DataType == ftFloat    ? varDouble
                        : f.DataType == ftDateTime ? varDate
                                                   : varString;
  }
  if (c.FieldCount == 0) return;
  for (d.First(); !d.Eof(); d.Next())
    for (int k = 0; k < c.FieldCount; ++k) c.Values.emplace_back(c.CacheFields[k]->GetAsString());
}

void ExecStatement(TRF& rf, const QString& statement, bool tryOnly, const QString& file) {
  const qint64 start = Ticks();
  auto q = NewQuery(rf, 3, QString());
  TDataSet& ds = *q->DataSet();
  orvReps_Queries::SetParamCheck(ds, false);
  orvReps_Queries::SetSQLText(ds, statement);
  if (rf.ShowAll && !rf.DoingText.isEmpty())
    rf.WriteMes(rf.DoingText + (rf.SQLShowText.isEmpty()
                                    ? orvReps_Queries::SQLText(ds)
                                    : rf.SQLShowText + QStringLiteral("\r\n")));
  if (!file.isEmpty()) orvReps_Lib::SaveStrToFile(file, orvReps_Queries::SQLText(ds));
  SetLastErr(rf, QString());
  try {
    orvReps_Queries::ExecSQL(ds);
  } catch (const ERepsAbort&) {
    throw;
  } catch (const Exception& e) {
    SetLastErr(rf, Doubled(e.Message()) + QLatin1Char(' '));
    if (!tryOnly) RaiseRepsError(rf, recGeneralError, {e.Message()}, false);
    if (rf.ShowAll && !rf.TryExecText.isEmpty()) rf.WriteMes(rf.TryExecText);
  }
  rf.ExecTime += Ticks() - start;
}

}  // namespace orvReps_ParQuery

qint64 orvReps_KeyProcs::Ticks() {
  static QElapsedTimer t = [] {
    QElapsedTimer e;
    e.start();
    return e;
  }();
  return t.elapsed();
}
