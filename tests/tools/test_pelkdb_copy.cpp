// pelkdb copy, run as an administrator runs it: a separate process moving a whole folder's tables
// to another location. The copy is checked through the engine, as the program will read it.
#include "support/copysample.h"
#include "support/tempfolder.h"
#include <QDir>

using namespace copysample;

namespace {

struct CopyTest : ::testing::Test {
    TempFolder dir;
    QString source = dir.sub(QStringLiteral("źródło"));
    QString dest = dir.path() + QStringLiteral("/nowy/katalog");
};

} // namespace

// Layouts with their indexes, every kind of value, empty fields and pictures arrive as they
// were; the numbering goes on above the highest number ever given out, in the copy and still in
// the source, which the copy leaves untouched.
TEST_F(CopyTest, CopiesEveryTableWholeAndTheNumberingGoesOn) {
    makeItems(source, 120, 2);
    makeGroups(source);
    const auto itemsBefore = rows(source, QStringLiteral("Towar"));
    ASSERT_EQ(itemsBefore.size(), 118);

    const QString out = ok({source, QStringLiteral("copy"), dest});
    EXPECT_TRUE(out.contains(QStringLiteral("Towar: 118 wierszy"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Grupa: 3 wiersze"))) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("Skopiowano 2 tabele (121 wierszy)")))
        << out.toStdString();

    expectSameTables(source, dest);
    const auto copied = rows(dest, QStringLiteral("Towar"));
    EXPECT_EQ(copied[0][8].toByteArray(), QByteArray(kPicture + "1"));
    EXPECT_FALSE(copied[3][2].isValid()); // empty stays empty, not 0
    EXPECT_EQ(copied[3][2].isValid(), itemsBefore[3][2].isValid());
    EXPECT_EQ(copied[0][5].toDateTime().time().msec(), 250);

    // The secondary index orders the copy by the Polish collation, as it did the source.
    Table byName(dest, QStringLiteral("Towar"));
    byName.setIndexName(QStringLiteral("wg_Nazwa"));
    byName.open();
    byName.findNearest({QStringLiteral("ś")});
    EXPECT_TRUE(byName.asString(QStringLiteral("Nazwa")).startsWith(QStringLiteral("Śruba")));

    // 120 numbers were given out: neither side hands out 119 or 120 again.
    EXPECT_EQ(appendItem(dest), 121);
    EXPECT_EQ(appendItem(source), 121);
    EXPECT_EQ(rows(source, QStringLiteral("Towar")).mid(0, 118), itemsBefore);
}

// A destination holding tables is left exactly as it was unless --replace is given; with it
// the copy takes the place of all its tables. A failure half-way leaves it whole as well.
TEST_F(CopyTest, RefusesADestinationWithTablesUnlessReplacing) {
    makeGroups(source);
    const QString other = dir.sub(QStringLiteral("inny"));
    makeItems(other, 5, 0);

    Result r = pelkdb({source, QStringLiteral("copy"), other});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("zawiera już tabele (Towar)")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("--replace")));
    EXPECT_EQ(Database::open(other)->tables(), QStringList{QStringLiteral("Towar")});
    EXPECT_EQ(rows(other, QStringLiteral("Towar")).size(), 5);

    {
        // Another installation uses one of the destination's tables exclusively: replacing
        // fails, and the rows already dropped or written are rolled back.
        Database::setUserName(QStringLiteral("Kowalski"));
        Table held(other, QStringLiteral("Towar"));
        held.openExclusive();
        r = pelkdb({source, QStringLiteral("copy"), other, QStringLiteral("--replace")});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Kowalski"))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Nic nie zostało skopiowane.")));
        EXPECT_EQ(Database::open(other)->tables(), QStringList{QStringLiteral("Towar")});
        EXPECT_EQ(rows(other, QStringLiteral("Towar")).size(), 5);
    }

    ok({source, QStringLiteral("copy"), other, QStringLiteral("--replace")});
    EXPECT_EQ(Database::open(other)->tables(), QStringList{QStringLiteral("Grupa")});
    EXPECT_EQ(rows(other, QStringLiteral("Grupa")), rows(source, QStringLiteral("Grupa")));

    // An empty folder, or a database without tables, is no obstacle.
    const QString empty = dir.sub(QStringLiteral("pusty"));
    ok({source, QStringLiteral("copy"), empty});
    EXPECT_EQ(rows(empty, QStringLiteral("Grupa")).size(), 3);
}

// Calls that cannot be meant are refused before anything is made anywhere.
TEST_F(CopyTest, NonsenseIsRefusedWithNothingMade) {
    makeGroups(source);
    Result r = pelkdb({source, QStringLiteral("copy")});
    EXPECT_EQ(r.code, 2);
    // Onto itself, also under another spelling of the same folder: --replace would drop what
    // it is about to read.
    r = pelkdb({source, QStringLiteral("copy"), source + QStringLiteral("/../źródło/"),
                QStringLiteral("--replace")});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.err.contains(QStringLiteral("jest jej źródłem"))) << r.err.toStdString();
    EXPECT_EQ(rows(source, QStringLiteral("Grupa")).size(), 3);

    const QString missing = dir.path() + QStringLiteral("/brak");
    r = pelkdb({missing, QStringLiteral("copy"), dest});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nie istnieje"))) << r.err.toStdString();
    r = pelkdb({dir.sub(QStringLiteral("bez bazy")), QStringLiteral("copy"), dest});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("nie zawiera bazy danych"))) << r.err.toStdString();
    r = pelkdb({source, QStringLiteral("copy"), QStringLiteral("postgresql://serwer/baza")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("schemat"))) << r.err.toStdString();
    EXPECT_FALSE(QDir(dir.path() + QStringLiteral("/nowy")).exists());
}

// A table of tens of thousands of rows tells how far it has got, on stderr, so that the
// output scripts read stays as it is.
TEST_F(CopyTest, ReportsProgressOnLargeTables) {
    makeItems(source, 25000, 0);
    const Result r = pelkdb({source, QStringLiteral("copy"), dest});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Towar: 10000 z 25000 wierszy")))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("Towar: 25000 z 25000 wierszy")));
    EXPECT_FALSE(r.out.contains(QStringLiteral(" z 25000")));
    EXPECT_EQ(rows(dest, QStringLiteral("Towar")).size(), 25000);
}
