#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/error.h"
#include "paradox/import.h"

namespace pelkdb {

// Reads a folder of Paradox tables into a new catalogue (or main folder) and prints the report.
int importParadoxCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--main-folder"), false, false},
                         {QStringLiteral("--dry-run"), false, false},
                         {QStringLiteral("--encoding"), true, false},
                         {QStringLiteral("--replace"), false, false}});
    a.expectPositional(1, 1, {QStringLiteral("ŹRÓDŁO")});
    paradox::ImportOptions o;
    o.source = a.positional()[0];
    o.destination = c.folder;
    o.mainFolder = a.has(QStringLiteral("--main-folder"));
    o.dryRun = a.has(QStringLiteral("--dry-run"));
    o.encoding = a.value(QStringLiteral("--encoding"));
    o.replace = a.has(QStringLiteral("--replace"));
    if (a.has(QStringLiteral("--encoding")) && o.encoding.isEmpty())
        throw UsageError(QStringLiteral("opcja --encoding wymaga strony kodowej, np. CP1250"));
    paradox::ImportReport report;
    try {
        report = paradox::importParadox(o);
    } catch (const engine::EngineError& e) {
        if (e.kind() == engine::EngineError::Kind::State && !o.replace && !o.dryRun)
            throw engine::EngineError(
                e.kind(), e.message() + QStringLiteral(" Opcja --replace go zastąpi."), e.table());
        throw;
    }
    for (const QString& line : report.lines())
        c.out.writeLine(line);
    if (!o.dryRun) c.out.writeLine(QStringLiteral("Import zakończony."));
    return 0;
}

} // namespace pelkdb
