// pelkdb copy between a folder and a catalogue on a real server, there and back: what comes
// back is what went, and the server's copy goes on numbering where the folder stopped.
#include "engine/error.h"
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
