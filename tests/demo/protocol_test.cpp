// The demo database against the manifest of what the client calls, and the manifest against
// the names the client code uses.
#include "demo_conn.h"

#include <QtCore/QDirIterator>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QSet>
#include <QtCore/QTextStream>

#include <map>

using namespace demotest;

namespace {

struct Entry {
  QString object, kind, params;
  QStringList columns;
};

QString SourceDir() { return qEnvironmentVariable("ORV_DEMO_SOURCE"); }

std::vector<Entry> Manifest() {
  std::vector<Entry> out;
  QFile f(SourceDir() + "/protocol.tsv");
  if (!f.open(QIODevice::ReadOnly)) return out;
  for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QStringList c = line.split('\t');
    if (c.size() < 5) {
      ADD_FAILURE() << "manifest line with fewer than 5 columns: " << line.toStdString();
      continue;
    }
    out.push_back({c[0], c[1], c[2], c[3].isEmpty() ? QStringList() : c[3].split(',')});
  }
  return out;
}

// Items of a parameter text, split at commas outside quotes.
QStringList SplitParams(const QString& text) {
  QStringList items;
  QString cur;
  QChar quote;
  for (QChar ch : text) {
    if (!quote.isNull()) {
      if (ch == quote) quote = QChar();
    } else if (ch == '\'' || ch == '"') {
      quote = ch;
    } else if (ch == ',') {
      items << cur.trimmed();
      cur.clear();
      continue;
    }
    cur += ch;
  }
  if (!cur.trimmed().isEmpty() || !items.isEmpty()) items << cur.trimmed();
  return items;
}

// Quoted list ids (Cyrillic words joined by "_") and server procedure names in a text.
QSet<QString> NamesIn(const QString& text) {
  static const QRegularExpression listId(
      QStringLiteral("\"(\\p{Cyrillic}+(?:_[\\p{Cyrillic}0-9]+)+)\""));
  static const QRegularExpression proc(
      QStringLiteral("\\b((?:FP|SP|XP|DP)_[A-Z0-9_]+|sf_[a-z0-9_]+)\\b"));
  QSet<QString> out;
  for (const auto& re : {listId, proc}) {
    auto it = re.globalMatch(text);
    while (it.hasNext()) out.insert(it.next().captured(1).toLower());
  }
  return out;
}

bool SameColumn(const QString& a, const QString& b) {
  if (a == QLatin1String("SP_IDS") || b == QLatin1String("SP_IDS")) return a == b;
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

QStringList ColumnsOf(const Rowset& r) {
  QStringList out;
  for (const auto& c : r.Columns()) out << c.name;
  return out;
}

struct ProcInfo {
  int count = 0, args = 0, defaults = 0;
};

ProcInfo Proc(DbConnection& su, const QString& name) {
  auto r = su.Execute(
                 "SELECT count(*), max(pronargs), max(pronargdefaults) FROM pg_proc "
                 "WHERE proname = lower($1) AND pronamespace = 'public'::regnamespace",
                 {T(name)})
               .rows;
  ProcInfo p;
  p.count = QString::fromUtf8(r->Cell(0, 0)).toInt();
  p.args = QString::fromUtf8(r->Cell(0, 1)).toInt();
  p.defaults = QString::fromUtf8(r->Cell(0, 2)).toInt();
  return p;
}

// A value for a master parameter when a list is called with its defaults.
QString Sample(const QString& name) {
  static const std::map<QString, QString> values = {
      {"BASEID", "2"},        {"DOCID", "2"},          {"PARENTID", "210"},
      {"TYPEID", "-9997526"}, {"FORMID", "0"},         {"TRID", "210"},
      {"UID", "2"},           {"REGID", "1"},          {"TAG", "2"},
      {"NUMBER", "2"},        {"PROC", "'sp_orgs_i'"}, {"IDENT", "-1"},
  };
  auto it = values.find(name.toUpper());
  return it == values.end() ? QStringLiteral("NULL") : it->second;
}

bool IsKeyParam(const QString& item) {
  static const QStringList keys = {":ID", ":IDENT", ":ROOT", ":ROOTID", ":UID"};
  return keys.contains(item.toUpper());
}

// The call of proc with a parameter text: parameters get key, filter, order or samples.
QByteArray Call(const QString& proc, const QStringList& items, const QString& key,
                const QString& filter, const QString& order) {
  QStringList args;
  for (int i = 0; i < items.size(); ++i) {
    const QString& it = items[i];
    if (!it.startsWith(':')) {
      args << it;
    } else if (i == 0 && IsKeyParam(it)) {
      args << key;
    } else if (it.compare(":FILTER", Qt::CaseInsensitive) == 0) {
      args << filter;
    } else if (it.compare(":ORDER", Qt::CaseInsensitive) == 0) {
      args << order;
    } else {
      args << Sample(it.mid(1));
    }
  }
  return ("SELECT * FROM " + proc + "(" + args.join(", ") + ")").toUtf8();
}

QString Quote(const QString& s) { return "'" + QString(s).replace("'", "''") + "'"; }

TEST(DemoProtocol, EveryManifestEntryExistsWithItsArityAndColumns) {
  REQUIRE_DEMO();
  const auto manifest = Manifest();
  ASSERT_GT(manifest.size(), 40u);
  auto su = Superuser();
  auto orv = Login("orv");
  for (const Entry& e : manifest) {
    SCOPED_TRACE(e.object.toStdString());
    QString sql;
    if (e.kind == "table" || e.kind == "view") {
      sql = "SELECT * FROM " + e.object + " LIMIT 0";
    } else if (e.kind == "proc" || e.kind == "list") {
      QString proc = e.object;
      QString params = e.params;
      if (e.kind == "list") {
        auto r = su->Execute("SELECT \"OBJECTNAME\" FROM setup_lists_v WHERE \"ROOTID\" = $1",
                             {T(e.object)})
                     .rows;
        ASSERT_EQ(r->RowCount(), 1) << "no LISTS row";
        const QString text = QString::fromUtf8(r->Cell(0, 0));
        proc = text.section(' ', 0, 0);
        EXPECT_EQ(text.section(' ', 1).trimmed(), params) << "parameter text";
      }
      const ProcInfo p = Proc(*su, proc);
      ASSERT_EQ(p.count, 1) << proc.toStdString() << ": one function per name";
      if (e.kind == "list") {
        // FILTER is SQL: it must run with the caller's rights.
        EXPECT_EQ(Scalar(*su,
                         "SELECT count(*) FROM pg_proc WHERE prosecdef AND proname IN "
                         "(lower($1), lower($1) || '_dyn')",
                         {T(proc)}),
                  "0");
      }
      const int n = SplitParams(params).size();
      EXPECT_TRUE(n <= p.args && n >= p.args - p.defaults)
          << proc.toStdString() << " takes " << p.args << ", called with " << n;
      sql = Call(proc, SplitParams(params), "NULL", "NULL", "NULL") + " LIMIT 0";
    } else {
      continue;
    }
    auto rows = orv->Execute(sql.toUtf8(), {}).rows;
    ASSERT_TRUE(rows);
    const QStringList have = ColumnsOf(*rows);
    for (const QString& want : e.columns) {
      EXPECT_TRUE(std::any_of(have.begin(), have.end(),
                              [&](const QString& h) { return SameColumn(h, want); }))
          << "column " << want.toStdString() << " missing; has " << have.join(',').toStdString();
    }
    if (e.kind == "list" || e.kind == "proc" || e.kind == "view") {
      for (const auto& c : rows->Columns()) {
        // Views and functions answer upper-case quoted names; sizes reach the client.
        EXPECT_NE(c.name, c.name.toLower()) << "lower-case column " << c.name.toStdString();
        if (c.typeOid == 1043 || c.typeOid == 1700) {
          EXPECT_NE(c.typeMod, -1) << "column " << c.name.toStdString() << " without size";
        }
      }
    }
  }
}

TEST(DemoProtocol, EveryListRowIsConsistent) {
  REQUIRE_DEMO();
  auto su = Superuser();
  auto orv = Login("orv");
  auto lists = su->Execute(
                     "SELECT \"ROOTID\", \"OBJECTNAME\", \"ALIASID\", \"PRIMARYFIELDS\", "
                     "\"INSERTSQL\", \"MODIFYSQL\", \"DELETESQL\" FROM setup_lists_v",
                     {})
                   .rows;
  ASSERT_GT(lists->RowCount(), 40);
  std::map<QString, QStringList> columnsOf;
  auto cell = [&](int row, int col) { return QString::fromUtf8(lists->Cell(row, col)); };
  // First pass: every list's procedure runs with defaults, FILTER, ORDER and by key.
  for (int i = 0; i < lists->RowCount(); ++i) {
    const QString id = cell(i, 0), object = cell(i, 1), key = cell(i, 3);
    SCOPED_TRACE(id.toStdString());
    const QString proc = object.section(' ', 0, 0);
    const QStringList items = SplitParams(object.section(' ', 1));
    EXPECT_EQ(Scalar(*su, "SELECT count(*) FROM aliases WHERE rootid = $1", {T(cell(i, 2))}), "1");
    std::unique_ptr<Rowset> all;
    try {
      all = orv->Execute(Call(proc, items, "NULL", "NULL", "NULL"), {}).rows;
    } catch (const EDbError& e) {
      ADD_FAILURE() << "defaults: " << e.Message().toStdString();
      continue;
    }
    const QStringList cols = ColumnsOf(*all);
    columnsOf[id.toLower()] = cols;
    const QString first = cols.value(0).toLower();
    const QString filter = Quote(first + " IS NOT NULL"), order = Quote(first + " DESC");
    EXPECT_EQ(ErrorOf(*orv, Call(proc, items, "NULL", filter, order)), QString());
    EXPECT_TRUE(
        ErrorOf(*orv, Call(proc, items, "NULL", Quote("1=1; SELECT 1"), "NULL")).contains(";") ||
        !items.join(',').contains(":FILTER", Qt::CaseInsensitive));
    const int keyCol = cols.indexOf(key);
    if (!items.isEmpty() && IsKeyParam(items[0]) && keyCol >= 0 && all->RowCount() > 1) {
      const QString v = QString::fromUtf8(all->Cell(all->RowCount() - 1, keyCol));
      auto one = orv->Execute(Call(proc, items, Quote(v), "NULL", "NULL"), {}).rows;
      ASSERT_GE(one->RowCount(), 1) << "by key " << v.toStdString();
      EXPECT_EQ(QString::fromUtf8(one->Cell(0, keyCol)), v);
    }
  }
  // Second pass: fields, links and update statements.
  auto fields = su->Execute(
                      "SELECT \"ROOTID\", \"FIELDNAME\", \"LINKLISTID\", \"LISTFIELDNAME\", "
                      "\"KEYFIELDS\" FROM setup_listfld_v",
                      {})
                    .rows;
  std::map<QString, QStringList> fieldsOf;
  for (int i = 0; i < fields->RowCount(); ++i) {
    const QString list = QString::fromUtf8(fields->Cell(i, 0)).toLower();
    const QString field = QString::fromUtf8(fields->Cell(i, 1));
    fieldsOf[list] << field;
    SCOPED_TRACE((list + "." + field).toStdString());
    if (columnsOf.count(list)) {
      EXPECT_TRUE(columnsOf[list].contains(field)) << "not a result column";
    }
    const QString link = QString::fromUtf8(fields->Cell(i, 2)).toLower();
    if (link.isEmpty()) continue;
    ASSERT_TRUE(columnsOf.count(link)) << "link to a missing list";
    for (const QString& f : QString::fromUtf8(fields->Cell(i, 3)).split(';', Qt::SkipEmptyParts))
      EXPECT_TRUE(columnsOf[link].contains(f)) << "linked field " << f.toStdString();
    for (const QString& f : QString::fromUtf8(fields->Cell(i, 4)).split(';', Qt::SkipEmptyParts))
      EXPECT_TRUE(columnsOf[list].contains(f)) << "key field " << f.toStdString();
  }
  static const QRegularExpression exec(QStringLiteral("^EXEC (\\S+)\\s*(.*)$"));
  for (int i = 0; i < lists->RowCount(); ++i) {
    const QString id = cell(i, 0).toLower();
    for (int c = 4; c <= 6; ++c) {
      const QString text = cell(i, c);
      if (text.isEmpty()) continue;
      SCOPED_TRACE((id + ": " + text).toStdString());
      const auto m = exec.match(text);
      ASSERT_TRUE(m.hasMatch());
      const ProcInfo p = Proc(*su, m.captured(1));
      const QStringList items = SplitParams(m.captured(2));
      EXPECT_EQ(p.count, 1);
      EXPECT_EQ(p.args, items.size());
      for (QString item : items) {
        ASSERT_TRUE(item.startsWith(':'));
        item = item.mid(1);
        if (item.startsWith("OLD_")) item = item.mid(4);
        EXPECT_TRUE(std::any_of(fieldsOf[id].begin(), fieldsOf[id].end(),
                                [&](const QString& f) { return SameColumn(f, item); }))
            << item.toStdString() << " is not a field";
      }
    }
  }
}

TEST(DemoProtocol, ScanFindsListIdsAndProcedureNames) {
  const QString text = QStringLiteral(
      "Open(\"дерево_элемент\"); auto q = \"SELECT * FROM sf_counter(\" + n; // FP_GRIDSETUPS\n"
      "\"не_список\" \"одно\" \"Name_x\" EXEC SP_CHANGEPASSWORD; FPX_NO");
  const QSet<QString> want = {"дерево_элемент", "sf_counter", "fp_gridsetups", "не_список",
                              "sp_changepassword"};
  EXPECT_EQ(NamesIn(text), want);
}

TEST(DemoProtocol, EveryNameTheClientCodeUsesIsInTheManifest) {
  const auto manifest = Manifest();
  ASSERT_FALSE(manifest.empty());
  QSet<QString> known;
  for (const Entry& e : manifest) known.insert(e.object.toLower());
  QDirIterator it(SourceDir() + "/../src", {"*.cpp", "*.h"}, QDir::Files,
                  QDirIterator::Subdirectories);
  int files = 0;
  while (it.hasNext()) {
    QFile f(it.next());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    ++files;
    for (const QString& name : NamesIn(QString::fromUtf8(f.readAll())))
      EXPECT_TRUE(known.contains(name)) << f.fileName().toStdString() << " uses "
                                        << name.toStdString() << ", which demo/protocol.tsv lacks";
  }
  EXPECT_GT(files, 10);
}

}  // namespace
