// HTML-for-spreadsheet documents: heads with workbook and worksheet options, protection,
// panes, print titles and row breaks against golden files, and the multi-sheet form: sheet
// files in the companion folder and the frameset that lists them.
#include "output_fixture.h"
#include "reports/output/orvReps_DocWriters.h"
#include "reports/output/orvReps_HPages.h"
#include "reports/output/orvReps_RepClasses.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

using namespace orvReps_DocWriters;

QString Golden(const char* name) {
  return testsupport::GoldenFile(QString::fromLatin1(name));
}

QByteArray ReadBytes(const QString& name) {
  QFile f(name);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

// Compares a file with its golden copy; ORV_UPDATE_GOLDEN writes the copy instead.
void ExpectGolden(const QString& file, const char* golden) {
  const QByteArray got = ReadBytes(file);
  if (qEnvironmentVariableIsSet("ORV_UPDATE_GOLDEN")) {
    QFile g(Golden(golden));
    ASSERT_TRUE(g.open(QIODevice::WriteOnly | QIODevice::Truncate));
    g.write(got);
    return;
  }
  EXPECT_EQ(got, ReadBytes(Golden(golden))) << golden;
}

// The XML island of a file, inside an element that declares its prefixes, as XML.
QString IslandProblems(const QString& file) {
  const QByteArray bytes = ReadBytes(file);
  const qsizetype from = bytes.indexOf("<xml>"), to = bytes.indexOf("</xml>");
  if (from < 0 || to < from) return QStringLiteral("no island");
  const QString wrapped = testsupport::TempFolder() + QStringLiteral("/island.xml");
  QFile f(wrapped);
  if (!f.open(QIODevice::WriteOnly)) return QStringLiteral("cannot write");
  f.write(
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?>\n"
      "<xml xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
      "xmlns:o=\"urn:schemas-microsoft-com:office:office\">");
  f.write(bytes.mid(from + 5, to - from - 5));
  f.write("</xml>\n");
  f.close();
  return testsupport::XmllintComplaints(wrapped, false);
}

void ExpectValid(const QString& file) {
  EXPECT_EQ(testsupport::XmllintComplaints(file, true), QString()) << qPrintable(file);
  EXPECT_EQ(IslandProblems(file), QString()) << qPrintable(file);
}

class HtmlDocTest : public OutputTest {
 protected:
  ~HtmlDocTest() override { TRepLines::SpoolThreshold = kThreshold; }

  // A one-cell sheet with the head of the settings in front, written to a file.
  QString Document(THtmlDocSettings& s, TRepType type = rtHExcel) {
    TRepsOutput o(run, std::make_unique<TFixedTextMetrics>());
    o.RepType = type;
    THRepsPages p(&run);
    p.RepType = type;
    p.Dos = s.Dos;
    p.AddPage();
    p.AddOutput(0, QStringLiteral("<table border=1>"), 2);
    p.AddOutput(0, U("<tr><td>Итого &amp; &lt;всё&gt;</td></tr>"), 2);
    p.AddOutput(0, QStringLiteral("</table>"), 3);
    QString head = HtmlHead(o, type, s, nullptr);
    head.chop(2);
    p.GetItem(0).Lines.InsertHeadLine(head);
    p.AddOutput(0, DocTail(), 3);
    const QString file = testsupport::TempFolder() + QStringLiteral("/doc.xls");
    p.WriteFirstPage(file, false);
    return file;
  }

  static inline const qint64 kThreshold = TRepLines::SpoolThreshold;
};

// A workbook of sheets in a temporary folder, written through the sheet-file writers.
struct Workbook {
  explicit Workbook(TRepsRun& run)
      : out(run, std::make_unique<TFixedTextMetrics>()),
        pages(&run),
        dir(testsupport::TempFolder()),
        result(dir + QStringLiteral("/book.xls")) {
    out.RepType = pages.RepType = rtHExcel;
    pages.AddPage();
    host.Out = &out;
    host.Pages = &pages;
    host.Settings = &settings;
    host.PendingSheetName = &pending;
    host.ResultFile = [this] { return result; };
    host.FilesDir = [this] {
      if (filesDir.isEmpty()) {
        filesDir = dir + QStringLiteral("/book.files");
        QDir().mkpath(filesDir);
      }
      return filesDir;
    };
    host.ForgetFilesDir = [this] { filesDir.clear(); };
    host.AddFileToLast = [this](const QString& f) { claimed << f; };
    host.CloseTable = [this] {
      if (!pages.GetItem(0).TableOpen) return;
      pages.AddOutput(0, QStringLiteral("</table>"), 3);
      pages.GetItem(0).TableOpen = false;
    };
  }
  void Sheet(const QString& name, const QString& cell) {
    pages.AddOutput(0, QStringLiteral("<table>"), 2);
    pages.GetItem(0).TableOpen = true;
    pages.AddOutput(0, QStringLiteral("<tr><td>") + cell + QStringLiteral("</td></tr>"), 2);
    pending = name;
    WriteSheetFile(host);
    // As the sheet break does: the next sheet registers its styles afresh.
    out.Styles.KeepFrameStyles();
  }
  TRepsOutput out;
  THRepsPages pages;
  THtmlDocSettings settings;
  QString pending, dir, result, filesDir;
  QStringList claimed;
  TSheetFileHost host;
};

}  // namespace

TEST_F(HtmlDocTest, WorkbookHeadsMatchTheirGoldenFiles) {
  struct Case {
    const char* golden;
    std::function<void(THtmlDocSettings&)> set;
  } cases[] = {
      {"xls_options.xls",
       [](THtmlDocSettings& s) {
         s.Title = U("Отчёт");
         s.HeadTag = QStringLiteral("<base target=_top>");
         s.BodyTag = QStringLiteral("LeftMargin=0");
         s.FitWidth = 1, s.FitHeight = 0, s.PrintScale = 80, s.PaperSizeIndex = 9;
         s.BlackAndWhite = true, s.Zoom = 90;
         s.ShowGrid = s.ShowHeadings = s.ShowOutline = s.SummaryAbove = false;
         s.SummaryRight = true;
         s.TabsGiven = s.ShowTabs = true;
         s.ShowHorScroll = s.ShowVerScroll = false;
       }},
      {"xls_protection.xls",
       [](THtmlDocSettings& s) {
         // Contents, Structure, SelectUnlock, NoSelection, AllowSort, AllowObjects.
         s.Protect = (1u << 0) | (1u << 4) | (1u << 6) | (1u << 7) | (1u << 16) | (1u << 19);
       }},
      {"xls_panes.xls",
       [](THtmlDocSettings& s) {
         s.FreezeRows = 2, s.FreezeCols = 3;
         s.ViewKind = 1, s.Zoom = 75;
       }},
      {"xls_print_titles.xls",
       [](THtmlDocSettings& s) {
         s.PrintTitleCols = QStringLiteral("$A:$B");
         s.PrintTitleRows = QStringLiteral("$1:$2");
       }},
      {"xls_row_breaks.xls",
       [](THtmlDocSettings& s) {
         AddRowBreak(s, 10);
         AddRowBreak(s, 25);
         s.Dos = true;
       }},
  };
  for (const qint64 threshold : {kThreshold, qint64(5)}) {
    TRepLines::SpoolThreshold = threshold;
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.golden) + " threshold " + std::to_string(threshold));
      THtmlDocSettings s;
      c.set(s);
      const QString file = Document(s);
      ExpectGolden(file, c.golden);
      ExpectValid(file);
    }
  }
}

TEST_F(HtmlDocTest, HeadEdges) {
  struct Case {
    const char* name;
    std::function<void(THtmlDocSettings&)> set;
    TRepType type;
    QStringList has, hasNot;
  } cases[] = {
      {"no title",
       {},
       rtHTML,
       {"<HTML>\r\n<HEAD>\r\n", "charset=windows-1251"},
       {"<TITLE>", "<xml>"}},
      {"DOS", [](THtmlDocSettings& s) { s.Dos = true; }, rtHTML, {"charset=cp866"}, {}},
      {"frozen columns only",
       [](THtmlDocSettings& s) { s.FreezeCols = 2; },
       rtHExcel,
       {"<x:SplitVertical>2</x:SplitVertical><x:LeftColumnRightPane>2</x:LeftColumnRightPane>"
        "<x:ActivePane>1</x:ActivePane>"},
       {"SplitHorizontal"}},
      {"frozen rows only",
       [](THtmlDocSettings& s) { s.FreezeRows = 2; },
       rtHExcel,
       {"<x:ActivePane>2</x:ActivePane>"},
       {"SplitVertical"}},
      {"no selection wins over unlocked cells",
       [](THtmlDocSettings& s) { s.Protect = (1u << 6) | (1u << 7); },
       rtHExcel,
       {"<x:EnableSelection>NoSelection</x:EnableSelection>"},
       {}},
      {"a single workbook hides its tabs, summary defaults",
       {},
       rtHExcel,
       {"<x:HideWorkbookTabs/>", "<x:NoSummaryRowsBelowDetail/><x:NoSummaryColumnsRightDetail/>",
        "<x:ExcelWorksheet><x:Name>Лист</x:Name>"},
       {"<x:Zoom>", "FitToPage", "PrintTitles"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    THtmlDocSettings s;
    if (c.set) c.set(s);
    TRepsOutput o(run, std::make_unique<TFixedTextMetrics>());
    o.RepType = c.type;
    const QString head = HtmlHead(o, c.type, s, nullptr);
    for (const QString& w : c.has) EXPECT_TRUE(head.contains(w)) << qPrintable(w);
    for (const QString& w : c.hasNot) EXPECT_FALSE(head.contains(w)) << qPrintable(w);
  }
}

TEST_F(HtmlDocTest, IslandTextsAreEscaped) {
  THtmlDocSettings s;
  s.SheetName = U("A&B <C> \"D\" --E");
  s.PrintTitleRows = QStringLiteral("$1:$1");
  TRepsOutput o(run, std::make_unique<TFixedTextMetrics>());
  const QString head = HtmlHead(o, rtHExcel, s, nullptr);
  EXPECT_TRUE(head.contains(U("<x:Name>A&amp;B &lt;C> &quot;D&quot; -&#45;E</x:Name>")))
      << qPrintable(head);
  EXPECT_TRUE(head.contains(U("<x:Formula>=!$1:$1</x:Formula>")));
  const QString file = Document(s);
  ExpectValid(file);
}

TEST_F(HtmlDocTest, SheetFilesAndTheirFrameset) {
  for (const qint64 threshold : {kThreshold, qint64(3)}) {
    SCOPED_TRACE(threshold);
    TRepLines::SpoolThreshold = threshold;
    Workbook book(run);
    book.settings.PrintTitleRows = QStringLiteral("$1:$1");
    book.Sheet(U("Итоги & <прочее>"), QStringLiteral("1"));
    book.Sheet(U("Итоги & <прочее>"), QStringLiteral("2"));
    book.Sheet(QString(), QStringLiteral("3"));
    const QString folder = book.dir + QStringLiteral("/book.files");
    EXPECT_EQ(book.claimed,
              (QStringList{folder + "/f1.htm", folder + "/f2.htm", folder + "/f3.htm"}));
    WriteFrameset(book.host);
    EXPECT_FALSE(book.out.SheetNames) << "a next file starts a new set";
    EXPECT_TRUE(book.filesDir.isEmpty());
    ExpectGolden(book.result, "frameset.xls");
    ExpectGolden(folder + "/f2.htm", "sheet_f2.htm");
    for (const QString& f : {book.result, folder + "/f1.htm", folder + "/f3.htm"}) ExpectValid(f);
    EXPECT_TRUE(ReadBytes(folder + "/f3.htm").contains("<td>3</td>"));
  }
}

TEST_F(HtmlDocTest, AnUnwritableSheetFileFailsTheRunAndIsNotClaimed) {
  Workbook book(run);
  book.host.FilesDir = [&] { return book.dir + QStringLiteral("/missing/book.files"); };
  EXPECT_THROW(book.Sheet(QStringLiteral("S"), QStringLiteral("1")), ERepsAbort);
  EXPECT_TRUE(book.claimed.isEmpty());
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], U("Ошибка номер 2 открытия файла: ") + book.dir +
                           U("/missing/book.files/f1.htm\r\nВозможно файл заблокирован другой "
                             "программой."));
}

TEST(HtmlDoc, SheetFileNamesAndColumns) {
  EXPECT_EQ(SheetFileName(QStringLiteral("r.files"), 3), QStringLiteral("r.files/f3.htm"));
  EXPECT_EQ(SheetFileName(QStringLiteral("/t/r.files/"), 12), QStringLiteral("/t/r.files/f12.htm"));
  TMaskSubCols cols;
  cols.AddMask(1440, true, 0);
  cols.AddMask(0, true, 1);
  cols.AddMask(-1, false, 0);
  EXPECT_EQ(HExcelColumns(cols),
            QStringLiteral("<col style='mso-width-source:userset;mso-width-alt:3510.12528;'>"
                           "<col style='mso-outline-level:1;mso-width-source:userset;"
                           "mso-width-alt:0;'><col style='display:none;'>"));
}
