// pelkdb copy between a folder and a catalogue on a real server, there and back: what comes
// back is what went, and the server's copy goes on numbering where the folder stopped.
#include "engine/error.h"
#include "engine/servercatalogues.h"
#include "support/copysample.h"
#include "support/pgcluster.h"
#include "support/tempfolder.h"

using namespace copysample;

namespace {

// Whether this engine reaches catalogues on a server at all; without its server backend a
// location is taken for a folder that is not there.
bool engineHasServerBackend(const QString& location, QString& why) {
    try {
        Database::open(location, Database::Mode::Create);
        return true;
    } catch (const EngineError& e) {
        if (!e.message().startsWith(QStringLiteral("Folder ")) ||
            !e.message().contains(QStringLiteral("postgresql:")))
            return true;
        why = e.message();
        return false;
    }
}

} // namespace

TEST(ServerCopy, AFolderGoesToTheServerAndBackUnchanged) {
    PgCluster cluster;
    if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
    ASSERT_TRUE(cluster.running());
    const QString onServer = cluster.location(QStringLiteral("katalog"));
    QString why;
    if (!engineHasServerBackend(onServer, why))
        GTEST_SKIP() << "the engine has no PostgreSQL backend: " << why.toStdString();

    TempFolder dir;
    const QString source = dir.sub(QStringLiteral("źródło"));
    const QString back = dir.path() + QStringLiteral("/z serwera");
    makeItems(source, 300, 3);
    makeGroups(source);

    ok({source, QStringLiteral("copy"), onServer});
    expectSameTables(source, onServer);
    ok({onServer, QStringLiteral("copy"), back});
    expectSameTables(source, back);
    for (const QString& table : {QStringLiteral("Grupa"), QStringLiteral("Towar")})
        EXPECT_EQ(ok({back, QStringLiteral("dump"), table}),
                  ok({source, QStringLiteral("dump"), table}));

    // A server catalogue holding tables is refused as a folder is, and replaced on request.
    const Result refused = pelkdb({back, QStringLiteral("copy"), onServer});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("zawiera już tabele")))
        << refused.err.toStdString();
    ok({back, QStringLiteral("copy"), onServer, QStringLiteral("--replace")});
    EXPECT_EQ(appendItem(onServer), 301);
}

TEST(ServerCopy, AFailedCopyLeavesTheServerAsItWas) {
    PgCluster cluster;
    if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
    ASSERT_TRUE(cluster.running());
    QString why;
    if (!engineHasServerBackend(cluster.location(QStringLiteral("pomocniczy")), why))
        GTEST_SKIP() << "the engine has no PostgreSQL backend: " << why.toStdString();
    TempFolder dir;
    const QString source = dir.sub(QStringLiteral("źródło"));
    makeGroups(source);
    makeItems(source, 20, 0);
    {
        // The server refuses the second table of the copy, after the first went in.
        auto helper = Database::open(cluster.location(QStringLiteral("pomocniczy")));
        helper->exec(QStringLiteral(
            "CREATE FUNCTION public.bez_towaru() RETURNS event_trigger LANGUAGE plpgsql AS $$ "
            "BEGIN IF current_query() LIKE '%\"Towar\"%' THEN RAISE EXCEPTION 'odmowa'; END IF; "
            "END $$"));
        helper->exec(
            QStringLiteral("CREATE EVENT TRIGGER bez_towaru ON ddl_command_start WHEN "
                           "TAG IN ('CREATE TABLE') EXECUTE FUNCTION public.bez_towaru()"));
        // A schema of another program's, and an empty one made beforehand for the catalogue.
        helper->exec(QStringLiteral("CREATE SCHEMA obcy; CREATE TABLE obcy.dane(x integer); "
                                    "CREATE SCHEMA pusty"));
    }
    auto refused = [&](const QString& schema) {
        const Result r = pelkdb({source, QStringLiteral("copy"), cluster.location(schema)});
        EXPECT_EQ(r.code, 1) << schema.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Nic nie zostało skopiowane.")))
            << r.err.toStdString();
    };

    // A schema made for the copy goes with it.
    refused(QStringLiteral("nowy"));
    EXPECT_FALSE(serverSchemaExists(cluster.location(QStringLiteral("nowy"))));
    EXPECT_FALSE(Database::exists(cluster.location(QStringLiteral("nowy"))));

    // Schemas that were there stay, with what they held and nothing of the copy.
    for (const QString& schema : {QStringLiteral("obcy"), QStringLiteral("pusty")}) {
        refused(schema);
        EXPECT_TRUE(serverSchemaExists(cluster.location(schema))) << schema.toStdString();
        EXPECT_FALSE(Database::exists(cluster.location(schema))) << schema.toStdString();
    }
    EXPECT_EQ(serverCatalogues(cluster.location(QString())),
              QStringList({QStringLiteral("obcy"), QStringLiteral("pomocniczy")}));

    // The same copy goes through once the server lets it.
    Database::open(cluster.location(QStringLiteral("pomocniczy")))
        ->exec(QStringLiteral("DROP EVENT TRIGGER bez_towaru"));
    ok({source, QStringLiteral("copy"), cluster.location(QStringLiteral("nowy"))});
    expectSameTables(source, cluster.location(QStringLiteral("nowy")));
}

namespace {

// Values that a bulk load could mangle: the characters its formats escape, Polish letters,
// empty against missing, extreme numbers, every byte in a picture; rows deleted in the middle
// and at the end, so that row ids and counters have gaps.
void makeOddValues(const QString& folder) {
    auto db = Database::open(folder, Database::Mode::Create);
    TableDef def;
    def.name = QStringLiteral("Znaki");
    def.fields = {{QStringLiteral("Nr"), FieldType::AutoInc},
                  {QStringLiteral("Tekst"), FieldType::Alpha, 60},
                  {QStringLiteral("Uwagi"), FieldType::Memo, 10},
                  {QStringLiteral("Dnia"), FieldType::Date},
                  {QStringLiteral("Czas"), FieldType::Timestamp},
                  {QStringLiteral("Kwota"), FieldType::Number},
                  {QStringLiteral("Ile"), FieldType::LongInt},
                  {QStringLiteral("Jest"), FieldType::Logical},
                  {QStringLiteral("Obraz"), FieldType::Graphic}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true},
                   {QStringLiteral("wg_Tekst"), {QStringLiteral("Tekst")}}};
    db->createTable(def);
    const QStringList texts = {QStringLiteral("tab\tw środku"),
                               QStringLiteral("dwa\nwiersze\r\ni powrót"),
                               QStringLiteral("ukośnik \\ i \\N i \\x00"),
                               QStringLiteral("Zażółć gęślą jaźń ŻÓŁĆ"),
                               QStringLiteral("'apostrof' \"cudzysłów\" ;,"),
                               QStringLiteral(" spacje na brzegach ")};
    QByteArray allBytes;
    for (int b = 0; b < 256; ++b)
        allBytes.append(char(b));
    const double numbers[] = {0.0, -0.5, 1.0 / 3.0, 1e300, -2.5e-300, 123456789.125};
    Table t(folder, def.name);
    t.open();
    db->transaction([&] {
        for (int i = 0; i < 40; ++i) {
            t.append();
            if (i % 7 != 3) t.setValue(QStringLiteral("Tekst"), texts[i % texts.size()]);
            if (i % 3 == 0) t.setValue(QStringLiteral("Uwagi"), texts[(i + 1) % texts.size()]);
            if (i % 2 == 0) t.setValue(QStringLiteral("Dnia"), QDate(1900, 1, 1).addDays(i * 997));
            if (i % 5 != 0)
                t.setValue(QStringLiteral("Czas"),
                           QDateTime(QDate(2024, 2, 29), QTime(0, 0, 0, 1)).addSecs(i * 3601));
            if (i % 4 != 1) t.setValue(QStringLiteral("Kwota"), numbers[i % 6]);
            if (i % 6 != 2)
                t.setValue(QStringLiteral("Ile"), i % 2 ? -2147483000 - i : 2147483000 + i);
            if (i % 3 != 2) t.setValue(QStringLiteral("Jest"), i % 2 == 0);
            if (i % 9 == 0)
                t.setValue(QStringLiteral("Obraz"), QByteArray(allBytes + QByteArray::number(i)));
            t.post();
        }
    });
    for (int nr : {5, 6, 20, 39, 40}) {
        ASSERT_TRUE(t.findKey({nr}));
        t.remove();
    }
}

struct ServerBulkCopy : ::testing::Test {
    PgCluster cluster;
    TempFolder dir;
    QString source = dir.sub(QStringLiteral("źródło"));

    void SetUp() override {
        if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
        ASSERT_TRUE(cluster.running());
        QString why;
        if (!engineHasServerBackend(cluster.location(QStringLiteral("proba")), why))
            GTEST_SKIP() << "the engine has no PostgreSQL backend: " << why.toStdString();
    }

    QString dump(const QString& location, const QString& table) {
        return ok({location, QStringLiteral("dump"), table});
    }
};

} // namespace

// Folder to server to folder: every value arrives exactly, the copies order by the Polish text
// order, and both sides go on numbering rows and counters past everything loaded.
TEST_F(ServerBulkCopy, OddValuesArriveExactlyAndNumberingGoesOn) {
    makeOddValues(source);
    makeGroups(source);
    const QString onServer = cluster.location(QStringLiteral("znaki"));
    const QString back = dir.path() + QStringLiteral("/z powrotem");

    ok({source, QStringLiteral("copy"), onServer});
    expectSameTables(source, onServer);
    ok({onServer, QStringLiteral("copy"), back});
    expectSameTables(source, back);
    for (const QString& table : {QStringLiteral("Grupa"), QStringLiteral("Znaki")}) {
        const QString original = dump(source, table);
        EXPECT_EQ(dump(onServer, table), original) << table.toStdString();
        EXPECT_EQ(dump(back, table), original) << table.toStdString();
    }

    Table byText(onServer, QStringLiteral("Znaki"));
    byText.setIndexName(QStringLiteral("wg_Tekst"));
    byText.open();
    byText.findNearest({QStringLiteral("z")});
    EXPECT_TRUE(byText.asString(QStringLiteral("Tekst")).startsWith(QStringLiteral("Zażółć")));

    // The server's own row ids were loaded, not drawn: a new row must get one past them, and
    // the counter stands above the deleted 40th row on every side.
    for (const QString& where : {onServer, back, source}) {
        Table t(where, QStringLiteral("Znaki"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Tekst"), QStringLiteral("nowy"));
        t.post();
        EXPECT_EQ(t.value(QStringLiteral("Nr")).toLongLong(), 41) << where.toStdString();
    }
}

// A row the server refuses half-way through the second table: the destination keeps exactly
// the tables and rows it had, the first table's load included, and says nothing was copied.
TEST_F(ServerBulkCopy, AFailureHalfWayLeavesTheDestinationAsItWas) {
    const QString onServer = cluster.location(QStringLiteral("pelny"));
    const QString earlier = dir.sub(QStringLiteral("wcześniej"));
    makeOddValues(earlier);
    ok({earlier, QStringLiteral("copy"), onServer});
    const QString before = dump(onServer, QStringLiteral("Znaki"));

    makeGroups(source);
    makeItems(source, 3000, 0);
    {
        // A text holding a NUL character is kept in a folder but refused by the server.
        Table t(source, QStringLiteral("Towar"));
        t.open();
        ASSERT_TRUE(t.findKey({2500}));
        t.edit();
        t.setValue(QStringLiteral("Opis"),
                   QString(QStringLiteral("przed") + QChar(0) + QStringLiteral("po")));
        t.post();
    }
    const Result r =
        pelkdb({source, QStringLiteral("copy"), onServer, QStringLiteral("--replace")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Nic nie zostało skopiowane.")))
        << r.err.toStdString();
    EXPECT_EQ(Database::open(onServer)->tables(), QStringList{QStringLiteral("Znaki")});
    EXPECT_EQ(dump(onServer, QStringLiteral("Znaki")), before);
    expectSameTables(earlier, onServer);
}
