// A report whose table is replaced: REPLACEREP's text over an empty main table, a frame that
// SAMPLE names, in each output type written so far.
#include "run_fixture.h"

namespace {

const char* const kFilled = "-REPQ \"\" FIELDS \"G, NAME\" VALS \"ga,qq1\" VALS \"gb,qq2\" ";
const char* const kEmpty = "-REPQ \"\" FIELDS \"G, NAME\" ";

class Replacement : public ReportFileTest {
 protected:
  // Builds one report of the format over the data with the keys; the file's bytes.
  QByteArray Build(const char* format, const char* data, const QString& keys) {
    const QByteArray bytes =
        BuildWellFormed(QLatin1String(format), QString::fromLatin1(data) + keys);
    // Blanks of a markup text are non-breaking.
    return QByteArray(bytes).replace("&nbsp;", " ");
  }
};

}  // namespace

TEST_F(Replacement, AnEmptyTableGivesWayToTheText) {
  const QString keys =
      QStringLiteral("-GROUPBY G -REPLACEREP OnEmpty TEXT \"no rows for [=RepFormat]\"");
  for (const char* format : {"TEXT", "HTML", "HEXCEL"}) {
    SCOPED_TRACE(format);
    // Empty: the text, expanded, and nothing of the table.
    QByteArray out = Build(format, kEmpty, keys);
    EXPECT_TRUE(out.contains("no rows for " + QByteArray(format))) << out.toStdString();
    EXPECT_FALSE(out.contains("NAME")) << out.toStdString();
    EXPECT_FALSE(out.contains("<tr")) << out.toStdString();
    // Filled: the table, and no text.
    out = Build(format, kFilled, keys);
    EXPECT_TRUE(out.contains("qq2")) << out.toStdString();
    EXPECT_FALSE(out.contains("no rows")) << out.toStdString();
  }
  // Without OnEmpty the empty table stays: no text.
  const QByteArray out =
      Build("HTML", kEmpty, QStringLiteral("-REPLACEREP Never TEXT \"no rows\""));
  EXPECT_FALSE(out.contains("no rows")) << out.toStdString();
}

// The frame is written in the table's place whatever the data: no head, body, total or break.
TEST_F(Replacement, ASampleFrameReplacesTheWholeTable) {
  const struct {
    const char* format;
    const char* frame;
    const char* expect;
  } cases[] = {
      {"TEXT", "-FRAMENO Instead \"\" \"framed [=RepFormat]\"", "framed TEXT"},
      {"HTML", "-FRAMENO Instead \".c{color:red}\" \"<tr><td class=c>framed</td></tr>\"",
       "framed</td>"},
      {"HEXCEL", "-FRAMENO Instead \".c{color:red}\" \"<tr><td class=c>framed</td></tr>\"",
       "framed</td>"},
  };
  for (const auto& k : cases) {
    SCOPED_TRACE(k.format);
    const QByteArray out =
        Build(k.format, kFilled,
              QString::fromLatin1(k.frame) +
                  QStringLiteral(" -SAMPLE instead -GROUPBY G BREAK AfterAll Page -TAIL"));
    EXPECT_TRUE(out.contains(k.expect)) << out.toStdString();
    EXPECT_EQ(out.count("framed"), 1) << out.toStdString();
    EXPECT_FALSE(out.contains("qq1")) << out.toStdString();
    EXPECT_FALSE(out.contains("NAME")) << out.toStdString();
    for (const char* pageBreak : {"\f", "page-break", "RowBreak"})
      EXPECT_FALSE(out.contains(pageBreak)) << out.toStdString();
  }
}

// The frame replaced its own report; the next report of the run is built in full.
TEST_F(Replacement, TheNextReportHasItsTable) {
  const QString first = dir.filePath("first.htm"), second = dir.filePath("second.htm");
  EXPECT_TRUE(Run(QStringLiteral("-REPFORMAT HTML -FILE \"%1\" ").arg(first) +
                  QString::fromLatin1(kFilled) +
                  QStringLiteral("-FRAMENO F \"\" \"<tr><td>framed</td></tr>\" -SAMPLE F "
                                 "-REPBUILD -REPNEW -REPFORMAT HTML -FILE \"%1\" ")
                      .arg(second) +
                  QString::fromLatin1(kFilled) + QStringLiteral("-REPBUILD")))
      << messages.join('|').toStdString();
  EXPECT_TRUE(ReadBytes(first).contains("framed"));
  EXPECT_FALSE(ReadBytes(first).contains("qq1"));
  EXPECT_TRUE(ReadBytes(second).contains("qq1")) << ReadBytes(second).toStdString();
  EXPECT_FALSE(ReadBytes(second).contains("framed"));
}
