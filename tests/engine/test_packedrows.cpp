#include "engine/packedrows.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

using engine::PackedRows;

namespace {

// Rows straight from SQLite, as a query reads them.
struct Source {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    explicit Source(const char* sql) {
        sqlite3_open(":memory:", &db);
        sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr);
    }
    ~Source() {
        sqlite3_finalize(stmt);
        sqlite3_close(db);
    }
    bool step() { return sqlite3_step(stmt) == SQLITE_ROW; }
};

} // namespace

TEST(PackedRows, EveryKindOfValueReadsBackAsItWasStored) {
    Source s("SELECT 7, -9007199254740993, 2.5, 'Łódź żółć', '', x'00ff10', x'', NULL");
    ASSERT_TRUE(s.step());
    PackedRows rows;
    rows.append(s.stmt, 8);
    rows.append(s.stmt, 8);
    ASSERT_EQ(rows.size(), 2u);
    const std::vector<QVariant> r = rows.row(1, 8);
    EXPECT_EQ(r[0], QVariant(qint64(7)));
    EXPECT_EQ(r[1].toLongLong(), -9007199254740993LL);
    EXPECT_EQ(r[2], QVariant(2.5));
    EXPECT_EQ(r[3], QVariant(QStringLiteral("Łódź żółć")));
    EXPECT_EQ(r[4].toString(), QString());
    EXPECT_EQ(r[4].typeId(), QMetaType::QString);
    EXPECT_EQ(r[5].toByteArray(), QByteArray::fromHex("00ff10"));
    EXPECT_EQ(r[6].typeId(), QMetaType::QByteArray);
    EXPECT_FALSE(r[7].isValid());
    for (int c = 0; c < 8; ++c)
        EXPECT_EQ(rows.value(0, c), r[size_t(c)]) << "column " << c;
}

TEST(PackedRows, ManyRowsAndOneLargerThanABlockKeepTheirPlaces) {
    Source s("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30000) "
             "SELECT i, printf('wiersz %d', i), CASE WHEN i = 12345 THEN zeroblob(3000000) END "
             "FROM n");
    PackedRows rows;
    while (s.step())
        rows.append(s.stmt, 3);
    ASSERT_EQ(rows.size(), 30000u);
    EXPECT_EQ(rows.value(0, 1).toString(), "wiersz 1");
    EXPECT_EQ(rows.value(12344, 2).toByteArray().size(), 3000000);
    EXPECT_EQ(rows.value(12345, 1).toString(), "wiersz 12346");
    EXPECT_EQ(rows.value(29999, 0).toLongLong(), 30000);

    rows.clear();
    EXPECT_TRUE(rows.empty());
    Source again("SELECT 'po'");
    ASSERT_TRUE(again.step());
    rows.append(again.stmt, 1);
    EXPECT_EQ(rows.value(0, 0).toString(), "po");
}

TEST(PackedRows, AWideRowIsPackedWholeAndInOrder) {
    // Wider than the columns packed in one go, with texts and empty values between numbers.
    QStringList cols;
    for (int i = 0; i < 70; ++i)
        cols << (i % 7 == 3 ? QStringLiteral("NULL")
                 : i % 2    ? QStringLiteral("'t%1ł'").arg(i)
                            : QString::number(i));
    Source s(("SELECT " + cols.join(u',')).toUtf8().constData());
    ASSERT_TRUE(s.step());
    PackedRows rows;
    rows.append(s.stmt, 70);
    const std::vector<QVariant> r = rows.row(0, 70);
    for (int i = 0; i < 70; ++i) {
        if (i % 7 == 3)
            EXPECT_FALSE(r[size_t(i)].isValid()) << i;
        else if (i % 2)
            EXPECT_EQ(r[size_t(i)], QVariant(QStringLiteral("t%1ł").arg(i))) << i;
        else
            EXPECT_EQ(r[size_t(i)], QVariant(qint64(i))) << i;
    }
}
