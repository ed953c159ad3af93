#pragma once
// Tables of the markup outputs and the file encoding of output lines; the HTML document
// frames are in orvReps_HtmlDoc.h.
#include "reports/lang/orvReps_Values.h"
#include "reports/output/orvReps_HtmlDoc.h"
#include "reports/output/orvReps_Types.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

class TRepsOutput;

namespace orvReps_DocWriters {

QString TableOpen(TRepType type, const QString& tableTag, const TMaskSubCols* page);
QString TableClose();

// One output line as file bytes. Markup: a character without a code becomes "&#N;" and a
// control other than TAB, CR, LF "?"; text: "?" for both. dos selects code page 866.
QByteArray EncodeLine(const QString& line, bool markup, bool dos);
// The same, appended to bytes.
void AppendEncodedLine(QByteArray& bytes, const QString& line, bool markup, bool dos);
// UPPER/LOWER (caseMode 1 / -1): text output maps whole lines; markup keeps its tags and
// entity references, RTF its control words, control symbols and group braces.
QString MapCase(const QString& line, int caseMode, TRepType type);

}  // namespace orvReps_DocWriters
