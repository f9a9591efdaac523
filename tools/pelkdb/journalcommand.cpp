#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/serverlocation.h"
#include <QDir>

using namespace engine;

namespace pelkdb {

// Marks a folder for one machine (the write-ahead log) or for sharing (the rollback journal).
int journalCommand(const Context& c) {
    Arguments a(c.args, {});
    a.expectPositional(0, 1, {QStringLiteral("wal|delete")});
    if (isServerLocation(c.folder))
        throw UsageError(QStringLiteral("katalog na serwerze nie ma dziennika folderu: zapisy "
                                        "i ich trwałość zapewnia serwer"));
    if (!a.positional().isEmpty()) {
        const QString mode = a.positional()[0].toLower();
        if (mode == u"wal")
            Database::markForThisMachine(c.folder);
        else if (mode == u"delete")
            Database::unmark(c.folder);
        else
            throw UsageError(
                QStringLiteral("nieznany dziennik %1 (dozwolone: wal, delete)").arg(mode));
    } else if (!QDir(c.folder).exists()) {
        throw missingFolder(c.folder);
    }
    const QString host = Database::journalHost(c.folder);
    c.out.writeLine(host.isEmpty() ? QStringLiteral("delete") : QStringLiteral("wal %1").arg(host));
    return 0;
}

} // namespace pelkdb
