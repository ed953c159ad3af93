// Calculated-field keys: CALCFIELD and the numbering columns PP and GP, whose formulas the
// keys build from the numbering functions.
#include "platform/rtl/sysutils.h"
#include "reports/lang/orvReps_KeyBinding.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/lang/orvReps_Values.h"
#include "reports/run/orvReps_KeyArgs_p.h"
#include "reports/run/orvReps_Main.h"
#include "reports/run/orvReps_RunKeys.h"

namespace {

using orvReps_KeyArgs::Arg;
using orvReps_KeyArgs::R;
using orvReps_KeyArgs::RawArg;

TRF::TNumberingDraft& Draft(TRepsRun& run) { return R(run).Numbering; }

bool FieldTypeByName(const QString& word, TFieldType& type) {
  const QString w = orvReps_Lib::UpperCase(word.trimmed());
  static const std::pair<const char*, TFieldType> kTypes[] = {{"DATE", ftDateTime},
                                                              {"FLOAT", ftFloat},
                                                              {"INTEGER", ftInteger},
                                                              {"BOOLEAN", ftBoolean},
                                                              {"STRING", ftString}};
  for (const auto& [name, t] : kTypes)
    if (w == QLatin1String(name)) {
      type = t;
      return true;
    }
  return false;
}

// Kind 1 (CALCFIELD, or a numbering of all rows) is stage 2; the others stage 1, after every
// other field.
void AddCalcField(TRF& rf, const QString& name, const QString& typeWord, const QString& formula,
                  int kind) {
  TReportPart& p = *rf.CurPart;
  p.CalcStage2Used = true;
  TRF::TCalcFieldDef def;
  def.Name = name.startsWith(QLatin1String("@.")) ? name.mid(2) : name;
  if (!FieldTypeByName(typeWord, def.Type)) RaiseRepsError(rf, recBadFieldType, {typeWord}, false);
  def.Formula = formula;
  def.Stage = kind == 1 ? 2 : 1;
  if (def.Stage == 1) p.CalcStage1Used = true;
  rf.CalcFields.push_back(def);
}

void KeyCalcField(TRepsRun& run) {
  const QString name = RawArg(run);
  const QString type = RawArg(run);
  const QString formula = RawArg(run);
  AddCalcField(R(run), name, type, formula, 1);
}

template <int Stage>
void KeyCalcStage(TRepsRun& run) {
  TRF& rf = R(run);
  if (rf.CalcFields.empty()) return;
  rf.CalcFields.back().Stage = Stage;
  TReportPart& p = *rf.CurPart;
  (Stage == 1 ? p.CalcStage1Used : Stage == 3 ? p.CalcStage3Used : p.CalcStage4Used) = true;
}

template <bool Compound>
void KeyNumbering(TRepsRun& run) {
  TRF::TNumberingDraft& d = Draft(run);
  d = {};
  d.Compound = Compound;
  d.Levels = Arg(run);
  d.Name = Compound ? QStringLiteral("GP") + QString(d.Levels).remove(QLatin1Char(','))
                    : QStringLiteral("PP") + d.Levels;
  d.TypeWord = Compound ? QStringLiteral("STRING") : QStringLiteral("INTEGER");
  d.Caption = QStringLiteral("П/п");
  d.HAlignWord = QStringLiteral("LEFT");
  d.VAlignWord = QStringLiteral("TOP");
}

void KeyNumName(TRepsRun& run) { Draft(run).Name = Arg(run); }
void KeyNumType(TRepsRun& run) { Draft(run).TypeWord = Arg(run); }
void KeyNumFormula(TRepsRun& run) { Draft(run).Formula = Arg(run); }
void KeyNumCap(TRepsRun& run) { Draft(run).Caption = Arg(run); }
void KeyNumLeadZero(TRepsRun& run) { Draft(run).LeadZero = Arg(run); }

void KeyNumForRows(TRepsRun& run) {
  const int kind = orvReps_Values::RowKindByName(orvReps_Lib::UpperCase(Arg(run).trimmed()));
  Draft(run).RowKind = kind > 0 ? kind : 2;
}

void KeyNumAlign(TRepsRun& run) {
  const QString word = Arg(run);
  const QString upper = orvReps_Lib::UpperCase(word.trimmed());
  if (orvReps_Values::HAlignByName(upper) != 0)
    Draft(run).HAlignWord = word;
  else if (orvReps_Values::VAlignByName(upper) != 0)
    Draft(run).VAlignWord = word;
}

QString NumberingFormula(TRF::TNumberingDraft& d) {
  const QString p = d.RowKind == 1   ? QStringLiteral("PP")
                    : d.RowKind == 3 ? QStringLiteral("VisiblePP")
                                     : QStringLiteral("ExistPP");
  const QString g = d.RowKind == 1   ? QStringLiteral("GP")
                    : d.RowKind == 3 ? QStringLiteral("VisibleGP")
                                     : QStringLiteral("ExistGP");
  if (!d.Compound) {
    QString f = p + QLatin1Char('(') + d.Levels + QLatin1Char(')');
    if (!d.LeadZero.isEmpty()) {
      f = QStringLiteral("LeadZero(%1,%2)").arg(StrToInt(d.LeadZero.trimmed())).arg(f);
      d.TypeWord = QStringLiteral("STRING");
    }
    return f;
  }
  QStringList levels, widths;
  QString item;
  int pos = 1;
  for (bool more = !d.Levels.isEmpty(); more;) {
    more = orvReps_Lib::NextUnescapedItem(item, d.Levels, pos, QLatin1Char(','));
    levels << item;
  }
  if (levels.isEmpty()) levels << QString();
  if (!d.LeadZero.trimmed().isEmpty()) widths = d.LeadZero.split(QLatin1Char(','));
  int next = 0;
  const auto open = [&]() {
    if (widths.isEmpty()) return QStringLiteral("IntToStr(");
    const QString w = widths.at(qMin<int>(next++, widths.size() - 1)).trimmed();
    return QStringLiteral("LeadZero(") + w + QLatin1Char(',');
  };
  QString f;
  const auto groupPiece = [&](const QString& level) {
    f += open() + g + QLatin1Char('(') + level + QStringLiteral("))+'.'+");
  };
  for (int i = 0; i + 1 < levels.size(); ++i) groupPiece(levels[i]);
  if (levels.size() == 1) groupPiece(levels.last());
  f += open() + p + QLatin1Char('(') + levels.last() + QStringLiteral("))");
  return f;
}

void KeyNumberingAfter(TRepsRun& run) {
  TRF& rf = R(run);
  TRF::TNumberingDraft& d = rf.Numbering;
  if (d.Formula.isEmpty()) d.Formula = NumberingFormula(d);
  AddCalcField(rf, d.Name, d.TypeWord, d.Formula, d.RowKind);
  const QString ref = QStringLiteral("@.") + d.Name;
  rf.NumberingList += ref + QLatin1Char(',');
  rf.NumberingCols.push_back(
      {ref, d.Caption, orvReps_Values::HAlignByName(orvReps_Lib::UpperCase(d.HAlignWord.trimmed())),
       orvReps_Values::VAlignByName(orvReps_Lib::UpperCase(d.VAlignWord.trimmed()))});
}

const TKeyBinding kBindings[] = {
    {"CALCFIELD", KeyCalcField, nullptr},
    {"CALCFIELD.FOREACHREC", KeyCalcStage<4>, nullptr},
    {"CALCFIELD.FORALLROW", KeyCalcStage<3>, nullptr},
    {"CALCFIELD.AFTERALL", KeyCalcStage<1>, nullptr},
    {"PP", KeyNumbering<false>, KeyNumberingAfter},
    {"GP", KeyNumbering<true>, KeyNumberingAfter},
    {"PP.NAME", KeyNumName, nullptr},
    {"PP.TYPE", KeyNumType, nullptr},
    {"PP.FORMULA", KeyNumFormula, nullptr},
    {"PP.FORROWS", KeyNumForRows, nullptr},
    {"PP.CAP", KeyNumCap, nullptr},
    {"PP.ALIGN", KeyNumAlign, nullptr},
    {"PP.LEADZERO", KeyNumLeadZero, nullptr},
};

}  // namespace

namespace orvReps_KeyProcs {

std::span<const TKeyBinding> CalcBindings() { return kBindings; }

}  // namespace orvReps_KeyProcs
