#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/check.h"
#include "engine/database.h"
#include "engine/serverlocation.h"

using namespace engine;

namespace pelkdb {

// The stock sqlite3 shell cannot check our files (it lacks the collation the indexes use), so
// the check runs here, on the engine's connection; a catalogue on a server is checked the same
// way, by what the engine keeps there.
int checkCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(0, 0, {});
    auto db = Database::open(c.folder, Database::Mode::MustExist);
    const QStringList findings = checkDatabase(*db);
    for (const QString& f : findings)
        c.out.writeLine(f);
    if (findings.isEmpty())
        c.out.writeLine(
            QStringLiteral("Baza danych %1 jest w porządku.").arg(inLocation(db->folder())));
    return findings.isEmpty() ? 0 : 1;
}

} // namespace pelkdb
