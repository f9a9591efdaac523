// The sample's orders: dated back from the day the sample is made, so that the order list's
// default view (this year's orders not completed) shows some on a fresh demo, and as many as
// --orders asks for the benchmark.
#include "engine/database.h"
#include "support/sample.h"
#include "support/tempfolder.h"
#include <QDate>
#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

qint64 scalar(engine::Database& db, const QString& sql) {
    engine::Statement st = db.prepare(sql);
    return st.step() ? st.columnInt(0) : -1;
}

bool runSample(const QStringList& args) {
    QProcess p;
    p.start(testsupport::samplePath(), args);
    return p.waitForStarted(10000) && p.waitForFinished(120000) &&
           p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

TEST(OrderSample, TheDemoHasOpenAndCompletedOrdersOfBothKindsThisYear) {
    TempFolder tmp;
    const QString main = tmp.path() + QStringLiteral("/demo");
    ASSERT_TRUE(runSample({main, QStringLiteral("--items"), QStringLiteral("300")}));
    auto db = engine::Database::open(main + QStringLiteral("/Dane/Glowna"));
    const QString thisYear = QString::number(QDate::currentDate().year());
    for (int kind : {1, 2}) {
        const QString where = QStringLiteral(" FROM Dok_Head WHERE Dok_Typ = %1 AND "
                                             "substr(Dok_Data_Wyst, 1, 4) = '%2'")
                                  .arg(kind)
                                  .arg(thisYear);
        EXPECT_GT(scalar(*db, QStringLiteral("SELECT count(*)") + where +
                                  QStringLiteral(" AND NOT coalesce(Dok_Zaplacono, 0)")),
                  0)
            << kind;
        EXPECT_EQ(scalar(*db, QStringLiteral("SELECT count(*)") + where +
                                  QStringLiteral(" AND Dok_Data_Wyst > '%1'")
                                      .arg(QDate::currentDate().toString(Qt::ISODate))),
                  0)
            << "no order from the future";
    }
    EXPECT_GT(scalar(*db, QStringLiteral("SELECT count(*) FROM Dok_Head WHERE Dok_Zaplacono")), 0);
}

TEST(OrderSample, OrdersPerKindAsAskedWithOneToTwentyLines) {
    TempFolder tmp;
    const QString main = tmp.path() + QStringLiteral("/bench");
    ASSERT_TRUE(runSample({main, QStringLiteral("--items"), QStringLiteral("200"),
                           QStringLiteral("--orders"), QStringLiteral("150")}));
    auto db = engine::Database::open(main + QStringLiteral("/Dane/Glowna"));
    for (int kind : {1, 2}) {
        const QString kindIs = QStringLiteral(" WHERE Dok_Typ = %1").arg(kind);
        EXPECT_EQ(scalar(*db, QStringLiteral("SELECT count(*) FROM Dok_Head") + kindIs), 150);
        EXPECT_EQ(
            scalar(*db, QStringLiteral("SELECT count(DISTINCT Dok_Numer) FROM Dok_Head") + kindIs),
            150)
            << "numbered without repeats";
        EXPECT_EQ(scalar(*db, QStringLiteral("SELECT max(Dok_Numer) FROM Dok_Head") + kindIs), 150)
            << "and without gaps";
    }
    const QString perOrder =
        QStringLiteral("(SELECT count(d.Dane_Nr) n FROM Dok_Head h LEFT JOIN Dok_Dane d "
                       "ON d.Dane_Dok_Nr = h.Dok_Nr GROUP BY h.Dok_Nr)");
    EXPECT_EQ(scalar(*db, QStringLiteral("SELECT min(n) FROM ") + perOrder), 1);
    EXPECT_LE(scalar(*db, QStringLiteral("SELECT max(n) FROM ") + perOrder), 20);
    EXPECT_GT(scalar(*db, QStringLiteral("SELECT max(n) FROM ") + perOrder), 12);
}

} // namespace
