// The demo's report, as the README's run command runs it, against this program's demo copy.
#include "demo_conn.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

TEST(DemoReport, InvoiceRegisterIsWrittenAndWellFormed) {
  REQUIRE_DEMO();
  QTemporaryDir out;
  QProcess p;
  p.start(QStringLiteral(ORVREPS_BIN),
          {QStringLiteral(ORV_DEMO_REPORTS "/invoices.rep"), QStringLiteral("--db"),
           QStringLiteral("host=%1 dbname=%2 user=buh password=%3")
               .arg(testsupport::PgHost(), testsupport::DemoDatabase(),
                    testsupport::DemoPassword(QStringLiteral("buh"))),
           QStringLiteral("--def"), QStringLiteral("OUT=") + out.path()});
  ASSERT_TRUE(p.waitForFinished(60000));
  const QString err = QString::fromUtf8(p.readAllStandardError());
  ASSERT_EQ(p.exitCode(), 0) << err.toStdString();
  const QString file = out.filePath(QStringLiteral("invoices.html"));
  EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()).trimmed(), file);

  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray html = f.readAll();
  // Code page 1251: the grand total's legend and a month's group title.
  EXPECT_TRUE(html.contains("\xc2\xf1\xe5\xe3\xee:")) << "Всего:";
  EXPECT_TRUE(html.contains("ColSpan=6>2024-01"));

  QProcess lint;
  lint.start(QStringLiteral("xmllint"),
             {QStringLiteral("--html"), QStringLiteral("--noout"), file});
  ASSERT_TRUE(lint.waitForFinished(20000));
  EXPECT_EQ(QString::fromLocal8Bit(lint.readAllStandardError()), QString());
}
