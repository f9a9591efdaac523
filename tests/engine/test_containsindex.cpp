// The contains index of a table: words found anywhere in the folded texts, kept by every write,
// made again when the table was made anew, and left alone by pelkdb's load and check. Built with
// PELK_SERVER_RUN the same tests run on a catalogue on a server, expecting the same rows.
#include "engine/containsindex.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "support/backendrun.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace engine;

namespace {

const QStringList kFields{QStringLiteral("Tow_Nazwa"), QStringLiteral("Tow_Nazwa2"),
                          QStringLiteral("Tow_Symbol"), QStringLiteral("Tow_Kod_Prod")};

TableDef itemTable() {
    TableDef def;
    def.name = QStringLiteral("Towar");
    def.fields = {{QStringLiteral("Tow_nr"), FieldType::AutoInc, 0, false},
                  {QStringLiteral("Tow_Nazwa"), FieldType::Alpha, 50, false},
                  {QStringLiteral("Tow_Nazwa2"), FieldType::Alpha, 50, false},
                  {QStringLiteral("Tow_Symbol"), FieldType::Alpha, 25, false},
                  {QStringLiteral("Tow_Kod_Prod"), FieldType::Alpha, 25, false}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Tow_nr")}, true},
                   {QStringLiteral("wg_Tow_Nazwa"), {QStringLiteral("Tow_Nazwa")}, false}};
    return def;
}

struct ContainsIndexTest : ::testing::Test {
    TempFolder dir;
    QString folder;
    std::shared_ptr<Database> db;
    std::unique_ptr<ContainsIndex> index;

    void SetUp() override {
        QString skip;
        folder = backendrun::onServer() ? backendrun::catalogueLocation(dir, &skip)
                                        : dir.sub(QStringLiteral("kat"));
        if (folder.isEmpty()) GTEST_SKIP() << skip.toStdString();
        db = Database::open(folder, Database::Mode::Create);
        db->createTable(itemTable());
        index = std::make_unique<ContainsIndex>(db, QStringLiteral("Towar"), kFields);
    }

    void add(const QString& name, const QString& name2 = {}, const QString& symbol = {},
             const QString& code = {}) {
        Table t(folder, QStringLiteral("Towar"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Tow_Nazwa"), name);
        if (!name2.isEmpty()) t.setValue(QStringLiteral("Tow_Nazwa2"), name2);
        if (!symbol.isEmpty()) t.setValue(QStringLiteral("Tow_Symbol"), symbol);
        if (!code.isEmpty()) t.setValue(QStringLiteral("Tow_Kod_Prod"), code);
        t.post();
    }

    // The names found for `text`, in name order.
    QStringList found(const QString& text) {
        Table t(folder, QStringLiteral("Towar"));
        t.open();
        const auto m = index->matching(ContainsIndex::words(text));
        const auto rows =
            ContainsIndex::narrowed(ContainsIndex::rowsInOrder(t, QStringLiteral("Tow_Nazwa")), m);
        QStringList names;
        for (qint64 id : rows) {
            EXPECT_TRUE(t.gotoRowId(id));
            names << t.asString(QStringLiteral("Tow_Nazwa"));
        }
        return names;
    }

    void addSample() {
        add(QStringLiteral("Śruba imbusowa M8x20"), QStringLiteral("Hex socket screw"),
            QStringLiteral("SRB-0001"));
        add(QStringLiteral("Łożysko kulkowe 6204"), {}, QStringLiteral("LOZ-0600"),
            QStringLiteral("ŁOŻ 3979"));
        add(QStringLiteral("Śruba sześciokątna M10x120"));
        add(QStringLiteral("Nakrętka M8"), QStringLiteral("Nut"));
        add(QStringLiteral("Podkładka"), QStringLiteral("Washer M8 śruba"));
    }
};

TEST(Folding, MarksAndCaseGoWhereverTextsAreSearched) {
    EXPECT_EQ(foldPolish(u"ŚRUBA Łożysko ŻÓŁW éÉ ß 8x20"),
              QStringLiteral("sruba lozysko zolw ee s 8x20"));
    const QStringList w = ContainsIndex::words(QStringLiteral("  M8  śruba m8 ŚRUB  "));
    // Repeats and words inside others go: "srub" is in "sruba".
    EXPECT_EQ(w, (QStringList{QStringLiteral("m8"), QStringLiteral("sruba")}));
}

TEST_F(ContainsIndexTest, EveryWordAnywhereInAnyOrderWithoutMarks) {
    addSample();
    index->build();
    ASSERT_TRUE(index->ready());
    const QStringList screwsM8{QStringLiteral("Podkładka"), QStringLiteral("Śruba imbusowa M8x20")};
    EXPECT_EQ(found(QStringLiteral("sruba m8")), screwsM8);
    EXPECT_EQ(found(QStringLiteral("M8 ŚRUBA")), screwsM8);
    EXPECT_EQ(found(QStringLiteral("lozysko")),
              QStringList{QStringLiteral("Łożysko kulkowe 6204")});
    EXPECT_EQ(found(QStringLiteral("8x20")), QStringList{QStringLiteral("Śruba imbusowa M8x20")});
    // Inside a word, in the other fields too: symbol and maker's code.
    EXPECT_EQ(found(QStringLiteral("0600 łoż")),
              QStringList{QStringLiteral("Łożysko kulkowe 6204")});
    // Two letters and one letter.
    EXPECT_EQ(found(QStringLiteral("m1")),
              QStringList{QStringLiteral("Śruba sześciokątna M10x120")});
    EXPECT_EQ(found(QStringLiteral("ż")).size(), 2);
    EXPECT_EQ(
        found(QStringLiteral("k n")),
        (QStringList{QStringLiteral("Nakrętka M8"), QStringLiteral("Śruba sześciokątna M10x120")}));
    // A word never spans two fields, nor is a missing two-letter word found.
    EXPECT_TRUE(found(QStringLiteral("m8nut")).isEmpty());
    EXPECT_TRUE(found(QStringLiteral("qz")).isEmpty());
    EXPECT_TRUE(found(QStringLiteral("sruba xyz")).isEmpty());
}

TEST_F(ContainsIndexTest, EveryWriteIsFoundAtOnce) {
    addSample();
    index->build();
    Table t(folder, QStringLiteral("Towar"));
    t.setIndexFieldNames(QStringLiteral("Tow_Nazwa"));
    t.open();
    ASSERT_TRUE(t.findKey({QStringLiteral("Nakrętka M8")}));
    t.edit();
    t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Zawleczka żółta"));
    t.post();
    EXPECT_EQ(found(QStringLiteral("zolta")), QStringList{QStringLiteral("Zawleczka żółta")});
    EXPECT_TRUE(found(QStringLiteral("nakretka")).isEmpty());
    // The field not renamed still finds it.
    EXPECT_EQ(found(QStringLiteral("nut")), QStringList{QStringLiteral("Zawleczka żółta")});
    EXPECT_TRUE(found(QStringLiteral("ó")).contains(QStringLiteral("Zawleczka żółta")));
    t.remove();
    EXPECT_TRUE(found(QStringLiteral("zolta")).isEmpty());
    add(QStringLiteral("Kołek rozporowy"));
    EXPECT_EQ(found(QStringLiteral("kolek")), QStringList{QStringLiteral("Kołek rozporowy")});
    // A failed transaction leaves the index as the table.
    db->begin();
    add(QStringLiteral("Wycofany"));
    db->rollback();
    EXPECT_TRUE(found(QStringLiteral("wycofany")).isEmpty());
}

TEST_F(ContainsIndexTest, CharactersWithoutAMaskBitAreReadFromTheTexts) {
    addSample();
    add(QStringLiteral("Kabel 3~ fazowy"), QStringLiteral("Кабель"));
    index->build();
    EXPECT_EQ(found(QStringLiteral("~")), QStringList{QStringLiteral("Kabel 3~ fazowy")});
    EXPECT_EQ(found(QStringLiteral("ка ~")), QStringList{QStringLiteral("Kabel 3~ fazowy")});
    EXPECT_EQ(found(QStringLiteral("fazowy ~")), QStringList{QStringLiteral("Kabel 3~ fazowy")});
    EXPECT_EQ(found(QStringLiteral("КАБЕЛЬ")), QStringList{QStringLiteral("Kabel 3~ fazowy")});
    EXPECT_TRUE(found(QStringLiteral("sruba ~")).isEmpty());
}

// On a server the words of three letters and more are looked up in the trigram index of the
// folded texts, not by reading every text.
TEST_F(ContainsIndexTest, ServerLooksWordsUpInTheTrigramIndex) {
    if (!backendrun::onServer()) GTEST_SKIP() << "a folder's index is SQLite's own";
    addSample();
    index->build();
    db->exec(QStringLiteral("SET enable_seqscan = off"));
    Statement st = db->prepare(
        QStringLiteral("EXPLAIN SELECT id FROM %1 WHERE t LIKE '%sruba%' AND t LIKE '%m8x%'")
            .arg(u'"' + index->indexName() + u'"'));
    QString plan;
    while (st.step())
        plan += st.column(0).toString() + u'\n';
    db->exec(QStringLiteral("RESET enable_seqscan"));
    EXPECT_TRUE(plan.contains(index->indexName() + QStringLiteral("_trgm"))) << plan.toStdString();
}

// A user who may not add the trigram extension to the database gets a message saying what is
// missing, and the catalogue is left as it was.
TEST_F(ContainsIndexTest, ServerWithoutTheExtensionSaysSo) {
    if (!backendrun::onServer()) GTEST_SKIP() << "a folder needs no extension";
    addSample();
    db->exec(
        QStringLiteral(
            "DROP EXTENSION IF EXISTS pg_trgm CASCADE; "
            "CREATE ROLE bez_praw LOGIN; GRANT USAGE, CREATE ON SCHEMA pelk_sql TO bez_praw; "
            "GRANT USAGE, CREATE ON SCHEMA \"%1\" TO bez_praw; GRANT ALL ON ALL TABLES IN SCHEMA "
            "\"%1\" TO bez_praw; GRANT ALL ON ALL SEQUENCES IN SCHEMA \"%1\" TO bez_praw; "
            "REVOKE CREATE ON DATABASE pelk_test FROM PUBLIC")
            .arg(folder.section(u'/', -1)));
    QString other = folder;
    other.replace(QRegularExpression(QStringLiteral("//[^@/]*@")), QStringLiteral("//bez_praw@"));
    auto weak = Database::open(other);
    ContainsIndex denied(weak, QStringLiteral("Towar"), kFields);
    try {
        denied.build();
        FAIL() << "the index was built without the extension";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().contains(
            QStringLiteral("brak uprawnień do utworzenia rozszerzenia pg_trgm")))
            << e.message().toStdString();
        EXPECT_TRUE(e.message().contains(QStringLiteral("„zawiera”"))) << e.message().toStdString();
    }
    EXPECT_FALSE(denied.ready());
    // Once the extension is there, the same user builds the index.
    db->exec(QStringLiteral("CREATE EXTENSION pg_trgm SCHEMA pelk_sql"));
    denied.build();
    EXPECT_TRUE(denied.ready());
    EXPECT_EQ(denied.matching(ContainsIndex::words(QStringLiteral("lozysko"))).count, 1);
}

// Signs that mean "any character" to a pattern are characters like any other.
TEST_F(ContainsIndexTest, PatternSignsAreOnlyThemselves) {
    addSample();
    add(QStringLiteral("Kabel 3~ fazowy"));
    add(QStringLiteral("Rura PCV 50%"), {}, QStringLiteral("RUR_1"));
    index->build();
    EXPECT_EQ(found(QStringLiteral("50%")), QStringList{QStringLiteral("Rura PCV 50%")});
    EXPECT_EQ(found(QStringLiteral("rur_1")), QStringList{QStringLiteral("Rura PCV 50%")});
    EXPECT_TRUE(found(QStringLiteral("l_3")).isEmpty());
    EXPECT_TRUE(found(QStringLiteral("%pc")).isEmpty());
    EXPECT_TRUE(found(QStringLiteral("_")).contains(QStringLiteral("Rura PCV 50%")));
    EXPECT_EQ(found(QStringLiteral("_")).size(), 1);
}

// Writes that pass by the table objects (an SQL statement, emptying the table) keep the index
// as well, in their own transaction.
TEST_F(ContainsIndexTest, WritesBesideTheCursorsAreKept) {
    addSample();
    index->build();
    db->transaction([&] {
        db->exec(QStringLiteral("UPDATE \"Towar\" SET \"Tow_Symbol\" = 'ZMIANA-77' WHERE "
                                "\"Tow_Nazwa\" = 'Nakrętka M8'"));
        db->exec(QStringLiteral("DELETE FROM \"Towar\" WHERE \"Tow_Nazwa\" = 'Podkładka'"));
        db->markWritten();
    });
    EXPECT_EQ(found(QStringLiteral("miana-7")), QStringList{QStringLiteral("Nakrętka M8")});
    EXPECT_EQ(found(QStringLiteral("sruba m8")),
              QStringList{QStringLiteral("Śruba imbusowa M8x20")});
    db->emptyTable(QStringLiteral("Towar"));
    EXPECT_TRUE(found(QStringLiteral("a")).isEmpty());
    EXPECT_TRUE(found(QStringLiteral("sruba")).isEmpty());
    add(QStringLiteral("Po opróżnieniu"));
    EXPECT_EQ(found(QStringLiteral("oproz")), QStringList{QStringLiteral("Po opróżnieniu")});
    EXPECT_EQ(found(QString()), QStringList{QStringLiteral("Po opróżnieniu")});
    // Another index object on the catalogue finds the index ready and searches it.
    ContainsIndex second(Database::open(folder), QStringLiteral("Towar"), kFields);
    EXPECT_TRUE(second.ready());
    EXPECT_EQ(second.matching(ContainsIndex::words(QStringLiteral("po"))).count, 1);
}

TEST_F(ContainsIndexTest, TableMadeAnewNeedsTheIndexBuiltAgain) {
    addSample();
    index->build();
    db->createTable(itemTable()); // replaces the table: its triggers go with it
    EXPECT_FALSE(index->ready());
    add(QStringLiteral("Nowy wkręt"));
    index->build();
    EXPECT_TRUE(index->ready());
    EXPECT_EQ(found(QStringLiteral("wkret")), QStringList{QStringLiteral("Nowy wkręt")});
    EXPECT_TRUE(found(QStringLiteral("sruba")).isEmpty());
    index->drop();
    EXPECT_FALSE(index->ready());
    add(QStringLiteral("Bez indeksu")); // writes work without it
}

TEST_F(ContainsIndexTest, NarrowsTheFilteredListInItsOrder) {
    addSample();
    index->build();
    Table t(folder, QStringLiteral("Towar"));
    t.setFilter(QStringLiteral("Tow_Nazwa = 'Ś*'"));
    t.setFiltered(true);
    t.open();
    const auto m = index->matching(ContainsIndex::words(QStringLiteral("m")));
    const auto rows =
        ContainsIndex::narrowed(ContainsIndex::rowsInOrder(t, QStringLiteral("Tow_Nazwa")), m);
    QStringList names;
    for (qint64 id : rows) {
        ASSERT_TRUE(t.gotoRowId(id));
        names << t.asString(QStringLiteral("Tow_Nazwa"));
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Śruba imbusowa M8x20"),
                                  QStringLiteral("Śruba sześciokątna M10x120")}));
}

// The build runs under the cancel check; a cancelled one leaves no part of the index behind.
TEST_F(ContainsIndexTest, ACancelledBuildLeavesNothing) {
    db->transaction([&] {
        db->exec(QStringLiteral("INSERT INTO \"Towar\"(\"Tow_nr\", \"Tow_Nazwa\") WITH RECURSIVE "
                                "c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 30000) "
                                "SELECT x + 100000, 'Śruba nr ' || x FROM c"));
        db->markWritten();
    });
    int asked = 0;
    db->setCancelCheck([&] { return ++asked >= 1; });
    EXPECT_THROW(index->build(), EngineError);
    db->setCancelCheck({});
    EXPECT_GE(asked, 1);
    EXPECT_FALSE(index->ready());
    Statement left = db->prepare(
        backendrun::onServer()
            ? QStringLiteral("SELECT (SELECT count(*) FROM pg_class c JOIN pg_namespace n ON "
                             "n.oid = c.relnamespace WHERE n.nspname = current_schema() AND "
                             "c.relname LIKE '\\_pelk\\_zawiera%') + (SELECT count(*) FROM "
                             "pg_trigger t JOIN pg_class c ON c.oid = t.tgrelid JOIN "
                             "pg_namespace n ON n.oid = c.relnamespace WHERE n.nspname = "
                             "current_schema() AND t.tgname LIKE '\\_pelk\\_zawiera%')")
            : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name LIKE "
                             "'\\_pelk\\_zawiera%' ESCAPE '\\'"));
    ASSERT_TRUE(left.step());
    EXPECT_EQ(left.columnInt(0), 0);
    add(QStringLiteral("Wkręt po przerwaniu"));
    index->build();
    EXPECT_EQ(found(QStringLiteral("29999 sruba")), QStringList{QStringLiteral("Śruba nr 29999")});
    EXPECT_EQ(found(QStringLiteral("wkret")), QStringList{QStringLiteral("Wkręt po przerwaniu")});
}

// A query's items come as their numbers: on a server those are no row ids, and are looked up.
TEST_F(ContainsIndexTest, AQuerysItemNumbersBecomeRowsInTheQuerysOrder) {
    for (const auto& [nr, name] :
         {std::pair{100, "Sto"}, {7, "Siedem"}, {55, "Pięćdziesiąt pięć"}}) {
        Table t(folder, QStringLiteral("Towar"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Tow_nr"), nr);
        t.setValue(QStringLiteral("Tow_Nazwa"), QString::fromUtf8(name));
        t.post();
    }
    index->build();
    Table t(folder, QStringLiteral("Towar"));
    t.open();
    const auto m = index->matching(ContainsIndex::words(QStringLiteral("ie")));
    const auto rows = ContainsIndex::narrowed(
        ContainsIndex::rowIdsOf(t, QStringLiteral("Tow_nr"), {55, 999, 100, 7}), m);
    QStringList names;
    for (qint64 id : rows) {
        ASSERT_TRUE(t.gotoRowId(id));
        names << t.asString(QStringLiteral("Tow_Nazwa"));
    }
    EXPECT_EQ(names, (QStringList{QStringLiteral("Pięćdziesiąt pięć"), QStringLiteral("Siedem")}));
    EXPECT_THROW(ContainsIndex::rowIdsOf(t, QStringLiteral("Brak"), {1}), EngineError);
}

QString pelkdb(const QStringList& args, int* code = nullptr) {
    QProcess p;
    p.start(QStringLiteral(PELKDB_PATH), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    if (code) *code = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

TEST_F(ContainsIndexTest, PelkdbLoadIsSearchedAndCheckSeesNothingForeign) {
    addSample();
    index->build();
    db.reset();
    index.reset();
    const QString csv = dir.path() + QStringLiteral("/towar.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Tow_Nazwa;Tow_Symbol\nZawór kulowy 1/2 cala;ZAW-77\nŁańcuch ogniwowy;LAN-01\n");
    }
    int code = -1;
    const QString loaded =
        pelkdb({folder, QStringLiteral("load"), QStringLiteral("Towar"), csv}, &code);
    ASSERT_EQ(code, 0) << loaded.toStdString();
    const QString checked = pelkdb({folder, QStringLiteral("check")}, &code);
    EXPECT_EQ(code, 0) << checked.toStdString();
    EXPECT_FALSE(checked.contains(QStringLiteral("zawiera"))) << checked.toStdString();
    const QString tables = pelkdb({folder, QStringLiteral("tables")}, &code);
    EXPECT_FALSE(tables.contains(QStringLiteral("zawiera"))) << tables.toStdString();

    db = Database::open(folder);
    index = std::make_unique<ContainsIndex>(db, QStringLiteral("Towar"), kFields);
    ASSERT_TRUE(index->ready());
    EXPECT_EQ(found(QStringLiteral("lancuch")), QStringList{QStringLiteral("Łańcuch ogniwowy")});
    EXPECT_EQ(found(QStringLiteral("zaw-7")), QStringList{QStringLiteral("Zawór kulowy 1/2 cala")});
    EXPECT_EQ(found(QStringLiteral("sruba m8")).size(), 2);
}

} // namespace
