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
