// orvreps SCRIPT [--db CONNINFO] [--def NAME=VALUE]... [--timeout SECONDS]
// Runs a report key script with no window: the script file is read as PARAMFILE reads files,
// queries go to the database of the libpq connection string (default: libpq's environment),
// messages go to stderr (UTF-8, a line each) and the produced result files to stdout.
// Exit codes: 0 success, 1 failed run, 2 bad arguments or no database, 3 stopped.
#include "core/orvenv.h"
#include "platform/data/field.h"
#include "platform/data/fielddefs.h"
#include "platform/data/zconnection.h"
#include "platform/data/zquery.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/stringlist.h"
#include "platform/ui/textmetrics_qt.h"
#include "reports/lang/orvReps_Lib.h"
#include "reports/run/orvReps_Prepare.h"
#include "reports/run/orvReps_Queries.h"
#include "reports/run/orvReps_Runner.h"

#include <QtGui/QGuiApplication>

#include <libpq-fe.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>
#include <unistd.h>

namespace {

void Line(FILE* to, const QString& text) {
  const QByteArray b = text.toUtf8();
  std::fwrite(b.constData(), 1, size_t(b.size()), to);
  std::fputc('\n', to);
  std::fflush(to);
}

int Usage(const QString& why) {
  if (!why.isEmpty()) Line(stderr, QStringLiteral("orvreps: ") + why);
  Line(stderr, QStringLiteral("usage: orvreps SCRIPT [--db CONNINFO] [--def NAME=VALUE]... "
                              "[--timeout SECONDS]"));
  return 2;
}

void OnSignal(int) { TRF::StopRequested = true; }

// stderr carries the run's messages: Qt's own notes about the offscreen platform stay out.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtCriticalMsg || type == QtFatalMsg) Line(stderr, QStringLiteral("orvreps: ") + text);
}

struct Args {
  QString script, conninfo;
  QList<QPair<QString, QString>> defs;
  int timeout = 0;
};

// Fills the connection from a libpq connection string; false with the parser's message.
bool ApplyConninfo(TZConnection& c, const QString& conninfo, QString& error) {
  if (conninfo.isEmpty()) return true;
  char* err = nullptr;
  PQconninfoOption* opts = PQconninfoParse(conninfo.toUtf8().constData(), &err);
  if (!opts) {
    error = err ? QString::fromUtf8(err).trimmed() : QStringLiteral("bad connection string");
    PQfreemem(err);
    return false;
  }
  for (PQconninfoOption* o = opts; o->keyword; ++o) {
    if (!o->val) continue;
    const QString k = QString::fromLatin1(o->keyword), v = QString::fromUtf8(o->val);
    if (k == QLatin1String("host") || k == QLatin1String("hostaddr"))
      c.SetHostName(v);
    else if (k == QLatin1String("port"))
      c.SetPort(v.toInt());
    else if (k == QLatin1String("dbname"))
      c.SetDatabase(v);
    else if (k == QLatin1String("user"))
      c.SetUser(v);
    else if (k == QLatin1String("password"))
      c.SetPassword(v);
    else if (k == QLatin1String("connect_timeout") || k == QLatin1String("sslmode") ||
             k == QLatin1String("options"))
      c.Properties()->Add(k + QLatin1Char('=') + v);
  }
  PQconninfoFree(opts);
  return true;
}

// A stop request must not wait for a long statement: once asked, the statement running on
// the run's connection is cancelled from a connection of our own.
class StatementCanceller {
 public:
  StatementCanceller(const QString& conninfo, int backendPid)
      : thread_([this, info = conninfo.toUtf8(), backendPid] {
          while (!done_.load()) {
            if (TRF::StopRequested.load()) {
              if (PGconn* c = PQconnectdb(info.constData())) {
                if (PQstatus(c) == CONNECTION_OK) {
                  const QByteArray sql =
                      "select pg_cancel_backend(" + QByteArray::number(backendPid) + ")";
                  PQclear(PQexec(c, sql.constData()));
                }
                PQfinish(c);
              }
              return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
          }
        }) {}
  ~StatementCanceller() {
    done_ = true;
    thread_.join();
  }

 private:
  std::atomic<bool> done_{false};
  std::thread thread_;
};

int BackendPid(TZConnection& conn) {
  TZQuery q(nullptr);
  q.SetConnection(&conn);
  q.SetSQLText(QStringLiteral("select pg_backend_pid()"));
  q.Open();
  return q.Fields()[0]->AsInteger();
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    auto value = [&](QString& out) {
      if (i + 1 >= argc) return false;
      out = QString::fromLocal8Bit(argv[++i]);
      return true;
    };
    QString v;
    if (arg == QLatin1String("--db")) {
      if (!value(a.conninfo)) return Usage(QStringLiteral("--db needs a connection string"));
    } else if (arg == QLatin1String("--def")) {
      const int eq = value(v) ? v.indexOf(QLatin1Char('=')) : -1;
      if (eq <= 0) return Usage(QStringLiteral("--def needs NAME=VALUE"));
      a.defs.append({v.left(eq), v.mid(eq + 1)});
    } else if (arg == QLatin1String("--timeout")) {
      bool ok = false;
      a.timeout = value(v) ? v.toInt(&ok) : 0;
      if (!ok || a.timeout <= 0) return Usage(QStringLiteral("--timeout needs whole seconds"));
    } else if (arg.startsWith(QLatin1String("--")) || !a.script.isEmpty()) {
      return Usage(QStringLiteral("unexpected argument ") + arg);
    } else {
      a.script = arg;
    }
  }
  if (a.script.isEmpty()) return Usage(QString());
  QString text;
  if (!orvReps_Lib::LoadFileToStr(text, a.script))
    return Usage(QStringLiteral("cannot read ") + a.script);

  qInstallMessageHandler(QtMessages);
  auto app = orvui::StartHeadlessTextMetrics();
  TZConnection conn(nullptr);
  QString error;
  if (!ApplyConninfo(conn, a.conninfo, error)) return Usage(error);
  try {
    conn.Connect();
  } catch (const Exception& e) {
    Line(stderr, QStringLiteral("orvreps: no database: ") + e.Message());
    return 2;
  }
  try {
    orvenv::Startup();
  } catch (const Exception& e) {
    Line(stderr, QStringLiteral("orvreps: start-up failed: ") + e.Message());
    return 2;
  }
  auto factory = std::make_unique<TRepsConnDataSets>(conn);
  orvReps_Run::TRunSetup& setup = orvReps_Run::RunSetup();
  setup.NonInteractive = true;
  TReportSteps steps;
  setup.Steps = &steps;
  setup.OnCreate = [&a](TRF& rf) {
    for (const auto& [name, value] : a.defs) rf.Pars->Defs.SetDef(name, value, dkScript, true);
  };
  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGALRM, OnSignal);
  if (a.timeout > 0) alarm(unsigned(a.timeout));

  std::unique_ptr<TReports> reports;
  StatementCanceller canceller(a.conninfo, BackendPid(conn));
  const bool ok = orvReps_Run::RunRepsCore(
      text, reports, [](const QString& m) { Line(stderr, QString(m).remove(QLatin1Char('\r'))); });
  if (reports)
    for (int i = 0; i < reports->Count(); ++i)
      for (const QString& f : reports->GetItem(i).Files) Line(stdout, f);
  const bool stopped = TRF::StopRequested.load();
  factory.reset();
  orvenv::Shutdown();
  if (stopped) return 3;
  return ok ? 0 : 1;
}
