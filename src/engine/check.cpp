#include "engine/check.h"
#include "engine/database.h"
#include "engine/servercheck.h"
#include "engine/sqlname.h"
#include <QDateTime>

namespace engine {

namespace {

bool hasInternalTables(Database& db) {
    Statement st = db.prepare(
        QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND name IN "
                       "('_pelk_seq', '_pelk_locks', '_pelk_tablelocks', '_pelk_owners')"));
    return st.step() && st.columnInt(0) == 4;
}

void checkCounters(Database& db, const QStringList& tables, QStringList& findings) {
    for (const QString& name : tables) {
        const TableDef def = db.requireTable(name);
        for (const FieldDef& f : def.fields) {
            if (f.type != FieldType::AutoInc) continue;
            qint64 highest = 0;
            {
                Statement st = db.prepare(
                    QStringLiteral("SELECT max(%1) FROM %2").arg(quoted(f.name), quoted(def.name)));
                if (st.step()) highest = st.columnInt(0);
            }
            qint64 counter = 0;
            {
                Statement st = db.prepare(
                    QStringLiteral("SELECT seq FROM _pelk_seq WHERE tbl=?1 AND field=?2"));
                st.bindAll({def.name.toLower(), f.name.toLower()});
                if (st.step()) counter = st.columnInt(0);
            }
            if (counter < highest)
                findings << QStringLiteral("Tabela %1: licznik pola %2 (%3) jest mniejszy niż "
                                           "najwyższa wartość pola (%4).")
                                .arg(def.name, f.name)
                                .arg(counter)
                                .arg(highest);
        }
    }
}

void checkLocks(Database& db, QStringList& findings) {
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (const char* table : {"_pelk_locks", "_pelk_tablelocks"}) {
        Statement st = db.prepare(
            QStringLiteral("SELECT l.tbl, l.owner, o.\"user\" FROM %1 l LEFT JOIN _pelk_owners o "
                           "ON o.owner = l.owner WHERE o.owner IS NULL OR NOT %2 "
                           "ORDER BY l.tbl, l.owner")
                .arg(QLatin1String(table), db.aliveSql(QStringLiteral("o"), 1)));
        st.bind(1, now);
        while (st.step()) {
            const QString user = st.column(2).toString();
            const auto def = db.tableDef(st.column(0).toString());
            findings << QStringLiteral("Tabela %1: blokada nieczynnego użytkownika %2 (%3).")
                            .arg(def ? def->name : st.column(0).toString(),
                                 user.isEmpty() ? QStringLiteral("?") : user,
                                 st.column(1).toString());
        }
    }
}

} // namespace

QStringList checkDatabase(Database& db) {
    QStringList findings;
    if (db.onServer()) {
        QStringList sound;
        if (!checkServerCatalogue(db, findings, sound)) return findings;
        checkCounters(db, sound, findings);
        checkLocks(db, findings);
        return findings;
    }
    {
        Statement st = db.prepare(QStringLiteral("PRAGMA integrity_check"));
        while (st.step()) {
            const QString line = st.column(0).toString();
            if (line != QLatin1String("ok")) findings << line;
        }
    }
    if (!hasInternalTables(db)) return findings;
    checkCounters(db, db.tables(), findings);
    checkLocks(db, findings);
    return findings;
}

} // namespace engine
