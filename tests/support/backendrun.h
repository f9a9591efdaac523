#pragma once
#include "support/tempfolder.h"
#include <QString>
#ifdef PELK_SERVER_RUN
#include "support/pgcluster.h"
#endif

// The engine's table tests run twice: on a folder, and, built with PELK_SERVER_RUN, on a
// catalogue in a throw-away PostgreSQL cluster shared by the tests of one executable (each test
// gets a schema of its own).
namespace backendrun {

constexpr bool onServer() {
#ifdef PELK_SERVER_RUN
    return true;
#else
    return false;
#endif
}

// Where a test's catalogue lives: the folder, or a new schema on the server. Empty, with the
// reason in `skip`, when this machine cannot run a server at all.
inline QString catalogueLocation(const TempFolder& dir, QString* skip) {
#ifdef PELK_SERVER_RUN
    (void)dir;
    static PgCluster cluster;
    if (!cluster.missing().isEmpty()) {
        *skip = QStringLiteral("PostgreSQL nie jest dostępny: ") + cluster.missing();
        return {};
    }
    static int schemas = 0;
    return cluster.location(QStringLiteral("katalog_%1").arg(++schemas));
#else
    (void)skip;
    return dir.path();
#endif
}

} // namespace backendrun
