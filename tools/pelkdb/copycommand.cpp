#include "args.h"
#include "commands.h"
#include "csv.h"
#include "engine/bulkinsert.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/servercatalogues.h"
#include "engine/serverlocation.h"
#include "engine/table.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

using namespace engine;
using K = EngineError::Kind;

namespace pelkdb {

namespace {

const QString kNothingCopied = QStringLiteral("Nic nie zostało skopiowane.");

// Tables of more rows than this tell on stderr how far the copy has got, every as many rows.
constexpr int kProgressStep = 10000;

bool isFolder(const QString& location) {
    return !isServerLocation(location);
}

QString shown(const QString& location) {
    return isFolder(location) ? QDir::toNativeSeparators(location) : location.trimmed();
}

// Whether two locations name the same tables: a copy onto itself with --replace would drop
// what it is about to read.
bool sameLocation(const QString& a, const QString& b) {
    if (isFolder(a) != isFolder(b)) return false;
    if (isFolder(a)) {
        const QFileInfo x(a), y(b);
        if (x.exists() && y.exists()) return x.canonicalFilePath() == y.canonicalFilePath();
        return QDir::cleanPath(x.absoluteFilePath()) == QDir::cleanPath(y.absoluteFilePath());
    }
    const ServerLocation x = parseServerLocation(a), y = parseServerLocation(b);
    return x.host == y.host && x.port == y.port && x.database == y.database &&
           x.schema.compare(y.schema, Qt::CaseInsensitive) == 0;
}

// "1 wiersz", "3 wiersze", "5 wierszy", "12 wierszy", "22 wiersze".
QString counted(qint64 n, const QString& one, const QString& few, const QString& many) {
    const qint64 last = n % 10, lastTwo = n % 100;
    const QString& word =
        n == 1 ? one : (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14) ? few : many);
    return QString::number(n) + u' ' + word;
}

void progress(const QString& table, qint64 done, qint64 total) {
    const QByteArray line =
        QStringLiteral("%1: %2 z %3 wierszy\n").arg(table).arg(done).arg(total).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

// The value each autoinc counter of the source has reached, deleted rows' numbers included,
// so that the copy never hands them out again. Read by taking the next value in a transaction
// that is then rolled back: the source is left as it was.
QHash<QString, QList<std::pair<QString, qint64>>> counters(Database& db,
                                                           const QStringList& tables) {
    QHash<QString, QList<std::pair<QString, qint64>>> out;
    db.begin();
    try {
        for (const QString& table : tables)
            for (const FieldDef& f : db.requireTable(table).fields)
                if (f.type == FieldType::AutoInc)
                    out[table] << std::pair{f.name, db.takeAutoInc(table, f.name) - 1};
    } catch (...) {
        db.rollback();
        throw;
    }
    db.rollback();
    return out;
}

// Loads every row of the source's table into the destination's, row ids kept, the rows passing
// through one at a time. Returns the number of rows.
qint64 copyRows(Database& src, Database& dst, const QString& source, const TableDef& def) {
    qint64 total = 0;
    {
        Table from(source, def.name);
        from.open();
        total = from.recordCount();
    }
    const bool tell = total > kProgressStep;
    qint64 done = 0;
    auto bulk = dst.bulkInsert(def.name);
    src.forEachStoredRow(def.name, [&](qint64 rowid, const QVariantList& values) {
        bulk->add(rowid, values);
        if (++done % kProgressStep == 0 && tell) progress(def.name, done, total);
    });
    bulk->finish();
    if (tell && done % kProgressStep != 0) progress(def.name, done, total);
    return done;
}

} // namespace

// Copies every table of a folder to another location, as one transaction there: the
// destination ends either as an exact copy (layouts, rows, pictures, counters) or as it was.
int copyCommand(const Context& c) {
    Arguments a(c.args, {{QStringLiteral("--replace"), false, false}});
    a.expectPositional(1, 1, {QStringLiteral("CEL")});
    const QString source = c.folder;
    const QString dest = a.positional()[0];
    const bool replace = a.has(QStringLiteral("--replace"));
    if (dest.trimmed().isEmpty()) throw UsageError(QStringLiteral("pusta nazwa celu kopii"));
    if (isServerLocation(source)) parseServerLocation(source);
    if (isServerLocation(dest)) parseServerLocation(dest);
    if (sameLocation(source, dest))
        throw UsageError(QStringLiteral("cel kopii %1 jest jej źródłem").arg(shown(dest)));

    if (isFolder(source) && !QDir(source).exists()) throw missingFolder(source);
    if (!Database::exists(source))
        throw EngineError(K::NoDatabase,
                          QStringLiteral("Folder %1 nie zawiera bazy danych. ").arg(shown(source)) +
                              kNothingCopied);
    auto src = Database::open(source, Database::Mode::MustExist);
    const QStringList tables = src->tables();

    // What the destination holds is checked before anything is made there, and again in the
    // transaction, should another installation have made tables in the meantime.
    auto refuseTables = [&](const QStringList& present) {
        if (replace || present.isEmpty()) return;
        const QString what = isFolder(dest) ? QStringLiteral("Folder") : QStringLiteral("Katalog");
        throw EngineError(
            K::State,
            QStringLiteral("%1 %2 zawiera już tabele (%3). %4 Opcja --replace "
                           "zastąpi je kopią.")
                .arg(what, shown(dest), present.join(QStringLiteral(", ")), kNothingCopied));
    };
    const bool folderExisted = isFolder(dest) && QDir(dest).exists();
    const bool databaseExisted = Database::exists(dest);
    const bool schemaExisted = !isFolder(dest) && serverSchemaExists(dest);
    if (databaseExisted && !replace)
        refuseTables(Database::open(dest, Database::Mode::MustExist)->tables());
    const auto seq = counters(*src, tables);

    if (isFolder(dest) && !folderExisted && !QDir().mkpath(dest))
        throw EngineError(K::Io,
                          QStringLiteral("Nie można utworzyć folderu %1. ").arg(shown(dest)) +
                              kNothingCopied);
    // A database made for the copy is not left behind to pass for an empty catalogue, nor a
    // schema made for it on a server. Called once the destination's connection is closed.
    auto removeMadeDatabase = [&] {
        if (databaseExisted) return;
        if (!isFolder(dest)) {
            removeMadeServerCatalogue(dest, !schemaExisted);
            return;
        }
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(QDir(dest).filePath(Database::fileName() + QLatin1String(suffix)));
        if (!folderExisted) QDir().rmdir(dest);
    };
    QStringList lines;
    qint64 rows = 0;
    try {
        auto dst = Database::open(dest, Database::Mode::Create);
        // A consistent picture of the source: its writers wait until the copy has been read.
        Database::ReadScope reading(*src);
        dst->transaction([&] {
            refuseTables(dst->tables());
            if (replace)
                for (const QString& t : dst->tables())
                    dst->dropTable(t);
            for (const QString& table : tables) {
                const TableDef def = src->requireTable(table);
                dst->createTable(def, false);
                const qint64 n = copyRows(*src, *dst, source, def);
                for (const auto& [field, value] : seq.value(table))
                    dst->noteAutoInc(def.name, field, value);
                lines << QStringLiteral("%1: %2").arg(def.name, counted(n, QStringLiteral("wiersz"),
                                                                        QStringLiteral("wiersze"),
                                                                        QStringLiteral("wierszy")));
                rows += n;
            }
        });
    } catch (const EngineError& e) {
        removeMadeDatabase();
        if (e.message().contains(kNothingCopied)) throw;
        throw EngineError(e.kind(), e.message() + u' ' + kNothingCopied, e.table());
    } catch (...) {
        removeMadeDatabase();
        throw;
    }
    // Statistics for the query planner, as after any bulk load; the copy stands without them.
    try {
        auto dst = Database::open(dest, Database::Mode::MustExist);
        for (const QString& table : tables)
            dst->analyze(table);
    } catch (const EngineError&) {
    }
    for (const QString& line : std::as_const(lines))
        c.out.writeLine(line);
    c.out.writeLine(QStringLiteral("Skopiowano %1 (%2) z %3 do %4.")
                        .arg(counted(tables.size(), QStringLiteral("tabelę"),
                                     QStringLiteral("tabele"), QStringLiteral("tabel")),
                             counted(rows, QStringLiteral("wiersz"), QStringLiteral("wiersze"),
                                     QStringLiteral("wierszy")),
                             shown(source), shown(dest)));
    return 0;
}

} // namespace pelkdb
