#pragma once
// The setup text of a list as pure text functions: the object text ("NAME params"), the
// clause text of the TTLALIASES column (order clause "ORD=(...)", Oracle procedure clause
// "ORAPROC=(proc/temps,pkgs)", a leading "*", a search clause "~filter;caption~" with date
// macros), the Oracle EXEC-to-CALL rewrite and the numbering of statement parameters.
//
// Nothing here raises or reads process state: the server kind and the clock are arguments.
#include "platform/rtl/variant.h"

#include <QtCore/QString>

namespace orvlistsetup {

struct TSetupInput {
  QString ObjectText;
  QString InsertSQL, ModifySQL, DeleteSQL;
  QString Clauses;
  bool Oracle = false;
};

struct TSetupResult {
  QString ObjectName;  // the table name of the object text
  QString TableName;   // the same, or what the Oracle procedure clause made of it
  QString Params;
  QString InsertSQL, ModifySQL, DeleteSQL;
  QString SetupText;  // what the clauses leave
  bool HasOrder = false;
  QString OrderBy;
  bool OrderInOut = false;  // the order text began with "*"
  bool HasTempTables = false;
  QString TempTableNames;
  bool StarMarked = false;
  bool HasSearch = false;
  QString SearchFilter;  // with its date macros still in it
  bool HasSearchCaption = false;
  QString SearchCaption;
};

TSetupResult ParseSetup(const TSetupInput& input);

// The Oracle rewrite of one statement: cut at its first ";", "EXEC name args" becomes
// "CALL pkg.name (args)" with the package taken from the front of packages (consumed; a
// statement without "EXEC " consumes one element too).
QString OracleCall(const QString& statement, QString& packages);

// Date macros "@N", "@NM", "@NQ", "@NY" (each closed by one further character, when there
// is one) become 'yyyy-mm-dd' of now minus N days, for M/Q/Y no later than the first day
// of the month, quarter or year.
QString ExpandDateMacros(const QString& filter, TDateTime now);

// Every ":NAME" and ":OLD_NAME" followed by ";", ",", " " or ")" becomes ":N" and ":-N".
// The caller appends the ";" that lets a reference end the statement.
QString NumberParams(const QString& sql, const QString& fieldName, int tag);

// The index-th (from 0) element of a "/"-separated list; "" past the end.
QString ListElement(const QString& list, int index, QChar separator = QLatin1Char('/'));

}  // namespace orvlistsetup
