// A query result of whole item rows kept as ids and read a window at a time must show exactly
// the rows that reading the whole result at once gives, in the same order.
#include "engine/database.h"
#include "engine/localsql.h"
#include "engine/query.h"
#include "engine/table.h"
#include "support/backendrun.h"
#include <gtest/gtest.h>

using namespace engine;

namespace {

const QString kName = QStringLiteral("Tow_Nazwa");

struct QueryWindows : ::testing::Test {
    TempFolder dir;
    QString location; // the folder, or a schema on a throw-away server
    std::shared_ptr<Database> db;

    void SetUp() override {
        QString skip;
        location = backendrun::catalogueLocation(dir, &skip);
        if (location.isEmpty()) GTEST_SKIP() << skip.toStdString();
        db = Database::open(location, Database::Mode::Create);
        db->createTable(
            TableDef{QStringLiteral("Towar"),
                     {{QStringLiteral("Tow_nr"), FieldType::AutoInc},
                      {kName, FieldType::Alpha, 30},
                      {QStringLiteral("Tow_SRP"), FieldType::Number}},
                     {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Tow_nr")}, true}}});
        db->createTable(TableDef{QStringLiteral("Opis"),
                                 {{QStringLiteral("Opis_Tow_Nr"), FieldType::LongInt},
                                  {QStringLiteral("Opis_Cecha_Nr"), FieldType::LongInt},
                                  {QStringLiteral("Opis_Opis"), FieldType::Alpha, 20}},
                                 {}});
        // 700 items, names repeating so that ties are broken by row id; every item has two
        // values of feature 1, so that the join finds each item twice and DISTINCT matters.
        Table items(location, QStringLiteral("Towar")), values(location, QStringLiteral("Opis"));
        items.open();
        values.open();
        db->transaction([&] {
            for (int i = 0; i < 700; ++i) {
                items.append();
                items.setValue(kName, QStringLiteral("%1 śruba").arg(QChar(u'A' + (i * 7) % 26)));
                items.setValue(QStringLiteral("Tow_SRP"), i);
                items.post();
                for (int k = 0; k < 2; ++k) {
                    values.append();
                    values.setValue(QStringLiteral("Opis_Tow_Nr"),
                                    items.value(QStringLiteral("Tow_nr")));
                    values.setValue(QStringLiteral("Opis_Cecha_Nr"), i % 3 ? 1 : 2);
                    values.setValue(QStringLiteral("Opis_Opis"), QString::number(k));
                    values.post();
                }
            }
        });
    }

    QStringList text() const {
        return {QStringLiteral("SELECT DISTINCT Towar.*"), QStringLiteral("FROM Towar, Opis"),
                QStringLiteral("WHERE Towar.Tow_Nr = Opis.Opis_Tow_Nr and Opis.Opis_Cecha_Nr = 1"),
                QStringLiteral("ORDER BY Towar.Tow_Nazwa DESC, Towar.Tow_SRP")};
    }

    // The whole result read at once: a forward-only query keeps nothing but reads every row.
    std::vector<QVariantList> atOnce() {
        Query q;
        q.setDatabaseName(location);
        q.setSql(text());
        q.setUnidirectional(true);
        q.open();
        std::vector<QVariantList> rows;
        for (; !q.eof(); q.next()) {
            QVariantList r;
            for (int f = 0; f < q.fieldCount(); ++f)
                r << q.value(f);
            rows.push_back(r);
        }
        return rows;
    }

    // The same rows through a grid's windows, read from the far end first and out of order.
    static std::vector<QVariantList> byWindows(Query& q) {
        const int n = q.recordCount();
        std::vector<QVariantList> rows(static_cast<size_t>(n));
        for (int start : {600, 0, 350, 100, 450, 50, 250, 150, 500, 300, 200, 400, 550, 650}) {
            for (const auto& w : q.rowsAt(start + 1, 50))
                rows[size_t(w.rowid - 1)] = w.values;
        }
        return rows;
    }

    // The same rows by moving the cursor, as the go-to commands and the counter do.
    static std::vector<QVariantList> byCursor(Query& q) {
        std::vector<QVariantList> rows;
        q.last();
        for (int i = q.recordCount(); i >= 1; --i) {
            q.setRecNo(i);
            QVariantList r;
            for (int f = 0; f < q.fieldCount(); ++f)
                r << q.value(f);
            rows.insert(rows.begin(), r);
        }
        return rows;
    }
};

} // namespace

TEST_F(QueryWindows, WholeRowsOfOneTableInADefinedOrderAreKeptAsIds) {
    auto lookup = [&](const QString& n) { return db->tableDef(n); };
    const auto whole = translateLocalSql(text().join(u'\n'), lookup);
    EXPECT_EQ(whole.rowTable, QStringLiteral("Towar"));
    // Columns of several tables, or no order: the rows themselves are kept.
    for (const char* other :
         {"SELECT DISTINCT Towar.*, Opis.Opis_Opis FROM Towar, Opis WHERE Towar.Tow_Nr = "
          "Opis.Opis_Tow_Nr ORDER BY Towar.Tow_Nazwa",
          "SELECT DISTINCT Towar.* FROM Towar, Opis WHERE Towar.Tow_Nr = Opis.Opis_Tow_Nr",
          "SELECT DISTINCT Towar.* FROM Towar, Opis WHERE Towar.Tow_Nr = Opis.Opis_Tow_Nr ORDER "
          "BY Opis.Opis_Opis",
          "SELECT DISTINCT Opis.* FROM Opis ORDER BY Opis.Opis_Opis"})
        EXPECT_TRUE(translateLocalSql(QString::fromUtf8(other), lookup).rowTable.isEmpty())
            << other;
}

TEST_F(QueryWindows, RowsReadInWindowsMatchTheRowsReadAtOnceInOrder) {
    const auto expected = atOnce();
    ASSERT_EQ(expected.size(), 466u); // two of every three items, each once
    Query q;
    q.setDatabaseName(location);
    q.setSql(text());
    q.open();
    ASSERT_EQ(q.recordCount(), 466);
    EXPECT_EQ(byWindows(q), expected);
    EXPECT_EQ(byCursor(q), expected);

    // Walking forward and locating, as the search box does in query mode.
    q.first();
    for (int i = 0; i < 300; ++i)
        q.next();
    EXPECT_EQ(q.value(kName), expected[300][1]);
    ASSERT_TRUE(q.locate(kName, QStringLiteral("c ś"), true, true));
    const auto c = std::find_if(expected.begin(), expected.end(), [](const QVariantList& r) {
        return r[1].toString().startsWith(u'C');
    });
    EXPECT_EQ(q.recNo(), int(c - expected.begin()) + 1);
}

TEST_F(QueryWindows, AfterTheCatalogueChangedTheReReadMatchesAFreshReadAtOnce) {
    Query q;
    q.setDatabaseName(location);
    q.setSql(text());
    q.open();
    q.setRecNo(200);
    const qint64 shownNr = q.value(QStringLiteral("Tow_nr")).toLongLong();

    // Another cursor renames some items (they move in the order), deletes the shown one and
    // adds new ones.
    Table items(location, QStringLiteral("Towar"));
    items.open();
    db->transaction([&] {
        for (int k = 0; k < 40; ++k) {
            items.setRecNo(1 + k * 13);
            items.edit();
            items.setValue(kName, QStringLiteral("Z nowa %1").arg(k));
            items.post();
        }
        ASSERT_TRUE(items.findKey({shownNr}));
        items.remove();
    });
    Table values(location, QStringLiteral("Opis"));
    values.open();
    for (int k = 0; k < 5; ++k) {
        items.append();
        items.setValue(kName, QStringLiteral("M dodana %1").arg(k));
        items.post();
        values.append();
        values.setValue(QStringLiteral("Opis_Tow_Nr"), items.value(QStringLiteral("Tow_nr")));
        values.setValue(QStringLiteral("Opis_Cecha_Nr"), 1);
        values.post();
    }

    // Before the re-read the deleted row reads as empty, not as another row's values.
    EXPECT_FALSE(q.value(QStringLiteral("Tow_nr")).isValid());
    q.refresh();
    const auto expected = atOnce();
    EXPECT_EQ(q.recordCount(), int(expected.size()));
    EXPECT_EQ(byWindows(q), expected);
    EXPECT_EQ(byCursor(q), expected);
}
