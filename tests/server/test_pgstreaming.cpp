// A server's statements hand their rows over as they come: another statement run on the same
// connection half-way through a result must neither lose nor mix up rows, nor fail.
#include "engine/bulkinsert.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/query.h"
#include "support/pgcluster.h"
#include <gtest/gtest.h>

using namespace engine;

namespace {

constexpr int kRows = 2500;

struct Streaming : ::testing::Test {
    PgCluster cluster;
    std::shared_ptr<Database> db;
    QString location;

    void SetUp() override {
        if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
        ASSERT_TRUE(cluster.running());
        location = cluster.location(QStringLiteral("strumien"));
        db = Database::open(location, Database::Mode::Create);
        TableDef def;
        def.name = QStringLiteral("Liczby");
        def.fields = {{QStringLiteral("Nr"), FieldType::LongInt},
                      {QStringLiteral("Slownie"), FieldType::Alpha, 20}};
        def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true}};
        db->createTable(def);
        db->transaction([&] {
            auto bulk = db->bulkInsert(def.name);
            for (int i = 1; i <= kRows; ++i)
                bulk->add(i, {i, QStringLiteral("liczba %1").arg(i)});
            bulk->finish();
        });
    }

    qint64 count() {
        Statement st = db->prepare(QStringLiteral("SELECT count(*) FROM \"Liczby\""));
        return st.step() ? st.columnInt(0) : -1;
    }
};

} // namespace

TEST_F(Streaming, OtherStatementsHalfWayThroughAResultLeaveItWhole) {
    Statement all = db->prepare(QStringLiteral("SELECT \"Nr\", \"Slownie\" FROM \"Liczby\" "
                                               "ORDER BY \"Nr\""));
    qint64 expected = 1;
    for (; expected <= 10; ++expected) {
        ASSERT_TRUE(all.step());
        EXPECT_EQ(all.columnInt(0), expected);
    }
    // A read and a whole write transaction on the same connection in the middle.
    EXPECT_EQ(count(), kRows);
    db->transaction([&] {
        Statement add = db->prepare(
            QStringLiteral("INSERT INTO \"Liczby\" (\"Nr\", \"Slownie\") VALUES (?1, ?2)"));
        add.bindAll({kRows + 1, QStringLiteral("dodana")}).run();
        db->markWritten();
    });
    while (all.step()) {
        EXPECT_EQ(all.columnInt(0), expected);
        EXPECT_EQ(all.column(1).toString(), QStringLiteral("liczba %1").arg(expected));
        ++expected;
    }
    EXPECT_EQ(expected, kRows + 1); // the row added later is not in the earlier result
    EXPECT_FALSE(all.step());
    EXPECT_EQ(count(), kRows + 1);

    // Given back half-read: the rest is left on the connection for nobody.
    all.reset();
    ASSERT_TRUE(all.step());
    ASSERT_TRUE(all.step());
    EXPECT_EQ(all.columnInt(0), 2);
    all.reset();
    EXPECT_EQ(count(), kRows + 1);
    ASSERT_TRUE(all.step());
    EXPECT_EQ(all.columnInt(0), 1);
}

// The whole-table reader, with a statement run on the same connection half-way, and local SQL:
// every row arrives once.
TEST_F(Streaming, TheRowReaderAndLocalSqlReadEveryRowOnce) {
    qint64 seen = 0, sum = 0;
    db->forEachStoredRow(QStringLiteral("Liczby"), [&](qint64 rowid, const QVariantList& v) {
        ++seen;
        sum += v[0].toLongLong();
        EXPECT_EQ(rowid, v[0].toLongLong());
        if (seen == 1500) {
            EXPECT_EQ(count(), kRows); // takes the rest of the rows aside
        }
    });
    EXPECT_EQ(seen, kRows);
    EXPECT_EQ(sum, qint64(kRows) * (kRows + 1) / 2);

    Query q;
    q.setDatabaseName(location);
    q.setSql({QStringLiteral("SELECT Nr FROM Liczby WHERE Nr > 100 ORDER BY Nr")});
    q.setUnidirectional(true);
    q.open();
    qint64 n = 0;
    for (; !q.eof(); q.next())
        EXPECT_EQ(q.value(0).toLongLong(), 101 + n++);
    EXPECT_EQ(n, kRows - 100);
}

// A statement failing after its first rows reports the error, and the connection goes on.
TEST_F(Streaming, AnErrorAfterTheFirstRowsIsReported) {
    Statement bad = db->prepare(QStringLiteral("SELECT 10 / (\"Nr\" - 2000) FROM \"Liczby\""));
    int rows = 0;
    EXPECT_THROW(
        {
            while (bad.step())
                ++rows;
        },
        EngineError);
    EXPECT_GT(rows, 0);
    EXPECT_EQ(count(), kRows);
}
