#include "reports/lang/orvReps_KeyBinding.h"

namespace orvReps_KeyBinding {

namespace {

// "?" runs the same procedure as DIALOG; PARAMFILE is resolved by the parser.
const TKeyShape kShapes[] = {
    {"VER", true, false},
    {"WHATVER", true, false},
    {"ONERR", true, false},
    {"ONEXIT", true, false},
    {"LISTVARS", true, false},
    {"PAUSE", true, false},
    {"STOP", true, false},
    {"SLEEP", true, false},
    {"DEBUG", true, false},
    {"OUT", true, false},
    {"ONDOING", true, false},
    {"ONTRYEXEC", true, false},
    {"ONSQL", true, false},
    {"ONFILE", true, false},
    {"ONOK", true, false},
    {"ONSUCCESS", true, false},
    {"ONPREPARE", true, false},
    {"PROGRESS", true, false},
    {"CLS", true, false},
    {"MES", true, false},
    {"SHOWING", true, false},
    {"DEF", true, false},
    {"SET", true, false},
    {"LET", true, false},
    {"SYN", true, false},
    {"REPLACEINVAR", true, false},
    {"IF", true, false},
    {"ELSE", true, false},
    {"END", false, false},
    {"SWITCH", true, false},
    {"CASE", true, false},
    {"CASEELSE", true, false},
    {"SWITCHEND", false, false},
    {"WHILE", true, false},
    {"WHILEBREAK", true, false},
    {"WHILEEND", true, false},
    {"SUBBEGIN", true, false},
    {"SUBEND", true, false},
    {"SUB", true, false},
    {"LABEL", false, false},
    {"GOTO", true, false},
    {"REPBUILD", true, true},
    {"FILE", true, false},
    {"REPFORMAT", true, false},
    {"TAG", true, false},
    {"UPPER", true, false},
    {"LOWER", true, false},
    {"ASCII", true, false},
    {"SAMPLE", true, false},
    {"ONSAMPLE", true, true},
    {"REPLACEREP", true, false},
    {"REPOPEN", true, false},
    {"OPENBYEXT", true, false},
    {"REPDEL", true, false},
    {"REPPRINT", true, false},
    {"DO", true, false},
    {"SAVETOFILE", true, false},
    {"SAVEVARTOFILE", true, false},
    {"DELETEFILES", true, false},
    {"COPYFILES", true, false},
    {"PARAMFILE", false, false},
    {"REPNEW", true, true},
    {"APPEND", true, false},
    {"NOCOL", true, false},
    {"COPY", true, false},
    {"STICK", true, false},
    {"UNDERLINE", true, false},
    {"SEPARATORDECIMAL", true, false},
    {"SEPARATORTHOUSAND", true, false},
    {"SEPSTR", true, false},
    {"DEFFONT", true, false},
    {"DEFSIZE", true, false},
    {"DEFSTYLE", true, false},
    {"FORM", true, false},
    {"EXIT", true, false},
    {"TEST", true, true},
    {"GROUPBY", true, false},
    {"LEVEL", true, false},
    {"BREAK", true, false},
    {"BREAKPAGE", true, false},
    {"MIN", true, false},
    {"NEWHEADBY", true, false},
    {"HEAD", true, false},
    {"TAIL", true, true},
    {"FRAME", true, false},
    {"FRAMECOVER", true, false},
    {"FRAMENO", true, false},
    {"FRAMECOVERNO", true, false},
    {"PAGE", false, true},
    {"CHARWIDTH", true, false},
    {"CONSTRAINT", false, false},
    {"OPTIONS", false, false},
    {"PP", true, true},
    {"GP", true, true},
    {"CALCFIELD", true, false},
    {"CROSS", true, true},
    {"HORIZONTAL", true, false},
    {"PACK", true, false},
    {"PACKVAR", true, false},
    {"COLORDER", true, false},
    {"COLSIF", true, false},
    {"KEYFIELDS", true, false},
    {"NOKEYFIELDS", true, false},
    {"AUTOWIDTH", true, false},
    {"ADDWIDTH", true, false},
    {"ROWHEIGHT", true, true},
    {"MASKWIDTHES", true, false},
    {"MASKLEVELS", true, false},
    {"MASKCOLS", true, false},
    {"IFMORELINES", true, false},
    {"COLSPAN", true, false},
    {"ROWSPAN", true, true},
    {"ALIGN", true, true},
    {"CELLFORMULA", true, true},
    {"CELLFORMAT", true, true},
    {"CELLWRAP", true, true},
    {"CELLSPLIT", true, true},
    {"TEXTSPLIT", true, false},
    {"FORMAT", true, true},
    {"NULL", true, true},
    {"HIDE", true, false},
    {"COLS", true, false},
    {"COLSLEVEL", true, false},
    {"NOVISIBLE", true, false},
    {"COLOR", true, true},
    {"BGCOLOR", true, true},
    {"FONT", true, true},
    {"SIZE", true, true},
    {"STYLE", true, true},
    {"ROTATE", true, true},
    {"BORDERCOLOR", true, true},
    {"BORDERSTYLE", true, true},
    {"BORDER", true, true},
    {"MARG", true, true},
    {"WIDTH", false, false},
    {"MINWIDTH", false, false},
    {"MAXWIDTH", false, false},
    {"MAXLINES", false, false},
    {"COLTITLE", false, false},
    {"CAP", false, false},
    {"REPLACE", false, false},
    {"MASKSPAN", false, false},
    {"NOTOTAL", false, false},
    {"NORED", false, false},
    {"SEPLEFT", false, false},
    {"SEPRIGHT", false, false},
    {"SEPBOTTOM", false, false},
    {"DATE", false, false},
    {"FLOAT", false, false},
    {"TRUE", false, false},
    {"FALSE", false, false},
    {"SKIPNULL", false, false},
    {"DB", true, false},
    {"DBQ", true, false},
    {"OPEN", true, true},
    {"CLOSE", true, false},
    {"EXEC", true, true},
    {"TRYEXEC", true, true},
    {"REC", true, false},
    {"SQLTIMEOUT", true, false},
    {"LINK", true, false},
    {"REPQ", true, true},
    {"INSERT", true, false},
    {"INSERTINTOTABLE", true, true},
    {"MASTER", false, false},
    {"MANUAL", false, false},
    {"INTERFACE", false, false},
    {"TOTAL", true, false},
    {"TOTALLEVEL", true, false},
    {"MARK", true, true},
    {"DIALOGSHOWING", true, false},
    {"DIALOG", true, false},
    {"?", true, false},
    {"DO.DIR", false, false},
    {"DO.NOWAIT", false, false},
    {"DO.DOS", false, false},
    {"DO.HIDE", false, false},
    {"DO.OPER", false, false},
    {"REPQ.FIXED", false, false},
    {"REPQ.READFILE.CELLS", false, false},
    {"INTERFACE.COLUMN", false, false},
    {"INTERFACE.COLUMN.TYPE", false, false},
    {"INTERFACE.REFERENCE", false, false},
    {"INTERFACE.REFERENCE.ALIAS", false, false},
    {"INTERFACE.REFERENCE.TYPE", false, false},
    {"INTERFACE.REFERENCE.TABLE", false, false},
    {"INTERFACE.REFERENCE.REMARK", false, false},
    {"INTERFACE.REFERENCE.DB", false, false},
    {"INTERFACE.REFERENCE.SQLALIAS", false, false},
    {"INTERFACE.REFERENCE.ARGUMENT", false, false},
    {"INTERFACE.REFERENCE.ARGUMENT.SYNONYM", false, false},
    {"INTERFACE.REFERENCE.ARGUMENT.CAP", false, false},
    {"INTERFACE.REFERENCE.ARGUMENT.DEFVAL", false, false},
    {"INTERFACE.REFERENCE.ARGUMENT.REMARK", false, false},
    {"INTERFACE.REFERENCE.FIELD", false, false},
    {"INTERFACE.REFERENCE.FIELD.SYNONYM", false, false},
    {"INTERFACE.REFERENCE.FIELD.CAP", false, false},
    {"INTERFACE.REFERENCE.FIELD.DIALOGCAP", false, false},
    {"INTERFACE.REFERENCE.FIELD.REMARK", false, false},
    {"INTERFACE.RUNNINGTITLE", false, false},
    {"INTERFACE.STARTTEXT", false, false},
    {"INTERFACE.HIDE", false, false},
    {"INTERFACE.HIDE.PROPS", false, false},
};

}  // namespace

std::span<const TKeyShape> KeyShapes() { return kShapes; }

TKeyProcs BindKeyProcs(std::span<const TKeyBinding> bindings, QStringList* errors) {
  TKeyProcs procs{};
  for (const TKeyBinding& b : bindings) {
    const int key = orvReps_KeyDefs::KeyByPath(QString::fromLatin1(b.Path));
    if (key < 0 || orvReps_KeyDefs::IsAlias(key)) {
      if (errors) errors->append(QStringLiteral("no key row %1").arg(QString::fromLatin1(b.Path)));
      continue;
    }
    procs[key] = TKeyProcPair{b.OnKey, b.After};
  }
  return procs;
}

QStringList CheckKeyProcs(const TKeyProcs& procs) {
  QStringList errors;
  for (const TKeyShape& s : kShapes) {
    const int key = orvReps_KeyDefs::KeyByPath(QString::fromLatin1(s.Path));
    if (key < 0) {
      errors << QStringLiteral("unknown path %1").arg(QString::fromLatin1(s.Path));
      continue;
    }
    if ((procs[key].OnKey != nullptr) != s.OnKey || (procs[key].After != nullptr) != s.After)
      errors << QStringLiteral("%1: procedures differ from the key's shape")
                    .arg(QString::fromLatin1(s.Path));
  }
  for (int k = 0; k < KeyCount; ++k)
    if (orvReps_KeyDefs::IsAlias(k) && (procs[k].OnKey || procs[k].After))
      errors << QStringLiteral("%1: an alias row never runs a procedure")
                    .arg(QString::fromLatin1(KeyPaths[k]));
  return errors;
}

TKeyProcCounts CountKeyProcs(const TKeyProcs& procs, bool topLevel) {
  TKeyProcCounts c;
  for (int k = 0; k < KeyCount; ++k) {
    if ((KeyDefs[k].Level == 0) != topLevel) continue;
    const bool on = procs[k].OnKey, after = procs[k].After;
    (on && after ? c.Both : on ? c.OnOnly : after ? c.AfterOnly : c.None)++;
  }
  return c;
}

}  // namespace orvReps_KeyBinding
