#include "engine/servercheck.h"
#include "engine/database.h"
#include "engine/pgfunctions.h"
#include "engine/serverlocation.h"
#include "engine/serverschema.h"
#include "engine/sqldialect.h"
#include "engine/sqlname.h"
#include <QHash>
#include <QSet>

namespace engine {

namespace {

// Rows read at once while comparing sort keys: memory stays the same on a table of millions.
constexpr int kBatchRows = 500;
// Wrong sort keys named one by one per table; the rest are only counted.
constexpr int kNamedKeys = 20;

const char* const kInternalTables[] = {"_pelk_state",     "_pelk_fields", "_pelk_indexes",
                                       "_pelk_seq",       "_pelk_owners", "_pelk_locks",
                                       "_pelk_tablelocks"};

bool exists(Database& db, const QString& sql, const QVariantList& values) {
    Statement st = db.prepare(sql);
    st.bindAll(values);
    return st.step() && st.columnInt(0) > 0;
}

// The tables of the schema, by lower-case name (as the definitions name them).
QHash<QString, QString> serverTables(Database& db, const QString& schema) {
    Statement st = db.prepare(QStringLiteral(
        "SELECT c.relname FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "WHERE n.nspname = ?1 AND c.relkind IN ('r', 'p')"));
    st.bind(1, schema);
    QHash<QString, QString> out;
    while (st.step()) {
        const QString name = st.column(0).toString();
        out.insert(name.toLower(), name);
    }
    return out;
}

bool checkSupport(Database& db, const QString& schema, QStringList& findings) {
    if (!exists(db,
                QStringLiteral("SELECT count(*) FROM pg_proc p JOIN pg_namespace n ON n.oid = "
                               "p.pronamespace WHERE n.nspname = ?1 AND p.proname = ?2"),
                {pgFunctionsSchema(), pgFunctionsVersionFunction()}))
        findings << QStringLiteral("Brak schematu %1 z funkcjami pomocniczymi katalogów na "
                                   "serwerze.")
                        .arg(pgFunctionsSchema());
    if (!exists(db,
                QStringLiteral("SELECT count(*) FROM pg_proc p JOIN pg_namespace n ON n.oid = "
                               "p.pronamespace WHERE n.nspname = ?1 AND p.proname = '_pelk_touch'"),
                {schema}))
        findings << QStringLiteral("Brak funkcji _pelk_touch, przez którą zapisy są widoczne dla "
                                   "innych użytkowników.");
    const QHash<QString, QString> tables = serverTables(db, schema);
    bool complete = true;
    for (const char* name : kInternalTables) {
        if (tables.contains(QLatin1String(name))) continue;
        findings << QStringLiteral("Brak tabeli wewnętrznej %1.").arg(QLatin1String(name));
        complete = false;
    }
    if (tables.contains(QStringLiteral("_pelk_state")) &&
        !exists(db, QStringLiteral("SELECT count(*) FROM _pelk_state WHERE id = 1"), {}))
        findings << QStringLiteral("Brak wiersza stanu katalogu w tabeli _pelk_state.");
    return complete;
}

// Whether every column of the definition is there with its type; says what is not.
bool checkColumns(Database& db, const QString& schema, const TableDef& def, QStringList& findings) {
    QHash<QString, QString> present;
    {
        Statement st = db.prepare(
            QStringLiteral("SELECT column_name, data_type FROM information_schema.columns WHERE "
                           "table_schema = ?1 AND table_name = ?2"));
        st.bindAll({schema, def.name});
        while (st.step())
            present.insert(st.column(0).toString(), st.column(1).toString());
    }
    QList<ServerColumn> expected{{QStringLiteral("rowid"), QStringLiteral("bigint")}};
    for (const FieldDef& f : def.fields)
        expected << serverColumnsOf(f);
    bool complete = true;
    for (const ServerColumn& c : std::as_const(expected)) {
        const auto it = present.constFind(c.name);
        if (it == present.constEnd()) {
            findings << QStringLiteral("Tabela %1: brak kolumny %2.").arg(def.name, c.name);
            complete = false;
        } else if (*it != c.type) {
            findings << QStringLiteral("Tabela %1: kolumna %2 ma typ %3 zamiast %4.")
                            .arg(def.name, c.name, *it, c.type);
            complete = false;
        }
    }
    return complete;
}

void checkIndexes(Database& db, const QString& schema, const TableDef& def, QStringList& findings) {
    struct Found {
        bool unique;
        bool valid;
    };
    QHash<QString, Found> present;
    {
        Statement st = db.prepare(QStringLiteral(
            "SELECT c.relname, i.indisunique, i.indisvalid FROM pg_index i "
            "JOIN pg_class c ON c.oid = i.indexrelid JOIN pg_class t ON t.oid = i.indrelid "
            "JOIN pg_namespace n ON n.oid = t.relnamespace WHERE n.nspname = ?1 AND "
            "t.relname = ?2"));
        st.bindAll({schema, def.name});
        while (st.step())
            present.insert(st.column(0).toString(), {st.columnInt(1) != 0, st.columnInt(2) != 0});
    }
    for (const IndexDef& ix : def.indexes) {
        const auto it = present.constFind(serverStoredName(serverIndexName(def, ix)));
        if (it == present.constEnd())
            findings << QStringLiteral("Tabela %1: brak indeksu %2.").arg(def.name, ix.name);
        else if (!it->valid)
            findings << QStringLiteral("Tabela %1: indeks %2 jest nieważny (jego tworzenie "
                                       "zostało przerwane).")
                            .arg(def.name, ix.name);
        else if (ix.primary && !it->unique)
            findings << QStringLiteral("Tabela %1: indeks główny %2 nie pilnuje niepowtarzalności "
                                       "klucza.")
                            .arg(def.name, ix.name);
    }
    if (!exists(db,
                QStringLiteral("SELECT count(*) FROM pg_trigger g JOIN pg_class t ON t.oid = "
                               "g.tgrelid JOIN pg_namespace n ON n.oid = t.relnamespace WHERE "
                               "n.nspname = ?1 AND t.relname = ?2 AND g.tgname = ?3"),
                {schema, def.name, serverStoredName(serverChangeTriggerName(def))}))
        findings << QStringLiteral("Tabela %1: brak wyzwalacza %2, przez który zapisy innych "
                                   "programów są widoczne dla użytkowników.")
                        .arg(def.name, serverChangeTriggerName(def));
}

// Every text column's companion against the key of its text, a batch of rows at a time in row
// id order.
void checkSortKeys(Database& db, const TableDef& def, QStringList& findings) {
    QList<const FieldDef*> texts;
    for (const FieldDef& f : def.fields)
        if (isTextColumn(f.type)) texts << &f;
    if (texts.isEmpty()) return;
    QList<const FieldDef*> key;
    if (const IndexDef* primary = def.primaryIndex())
        for (const QString& name : primary->fields)
            if (const FieldDef* f = def.field(name)) key << f;
    QStringList columns{QStringLiteral("rowid")};
    for (const FieldDef* f : std::as_const(key))
        columns << quoted(f->name);
    for (const FieldDef* f : std::as_const(texts))
        columns << quoted(f->name) << quoted(sortKeyColumn(f->name));
    const QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE rowid > ?1 ORDER BY rowid LIMIT %3")
                            .arg(columns.join(QStringLiteral(", ")), quoted(def.name))
                            .arg(kBatchRows);
    qint64 after = 0, wrong = 0;
    for (int rows = kBatchRows; rows == kBatchRows;) {
        Statement st = db.prepare(sql);
        st.bind(1, after);
        for (rows = 0; st.step(); ++rows) {
            after = st.columnInt(0);
            const int first = 1 + int(key.size());
            for (int i = 0; i < texts.size(); ++i) {
                const QVariant value = st.column(first + 2 * i);
                const QVariant stored = st.column(first + 2 * i + 1);
                const QVariant expected = sortKeyOf(value);
                const bool missing = stored.isNull() && !expected.isNull();
                if (stored.isNull() == expected.isNull() &&
                    (expected.isNull() || stored.toByteArray() == expected.toByteArray()))
                    continue;
                if (++wrong > kNamedKeys) continue;
                QString row;
                if (key.isEmpty()) {
                    row = QStringLiteral("wiersz nr %1").arg(after);
                } else {
                    QStringList values;
                    for (int k = 0; k < key.size(); ++k)
                        values << st.column(1 + k).toString();
                    row =
                        QStringLiteral("wiersz o kluczu %1").arg(values.join(QStringLiteral(", ")));
                }
                findings << QStringLiteral("Tabela %1, %2, pole %3: %4.")
                                .arg(def.name, row, texts[i]->name,
                                     missing ? QStringLiteral("brak klucza sortowania")
                                             : QStringLiteral("niezgodny klucz sortowania"));
            }
        }
    }
    if (wrong > 0)
        findings << QStringLiteral("Tabela %1: błędnych lub brakujących kluczy sortowania: %2%3.")
                        .arg(def.name, QString::number(wrong),
                             wrong > kNamedKeys
                                 ? QStringLiteral(" (wymieniono pierwsze %1)").arg(kNamedKeys)
                                 : QString());
}

} // namespace

bool checkServerCatalogue(Database& db, QStringList& findings, QStringList& sound) {
    const QString schema = parseServerLocation(db.folder()).schema;
    if (!checkSupport(db, schema, findings)) return false;
    const QHash<QString, QString> tables = serverTables(db, schema);
    QStringList defined;
    {
        Statement st = db.prepare(QStringLiteral(
            "SELECT tbl FROM _pelk_fields UNION SELECT tbl FROM _pelk_indexes ORDER BY 1"));
        while (st.step())
            defined << st.column(0).toString();
    }
    for (const QString& name : std::as_const(defined)) {
        if (!tables.contains(name)) {
            findings << QStringLiteral("Tabela %1 jest opisana w katalogu, ale nie istnieje %2.")
                            .arg(name, inLocation(db.folder()));
            continue;
        }
        const TableDef def = db.requireTable(tables.value(name));
        const bool complete = checkColumns(db, schema, def, findings);
        checkIndexes(db, schema, def, findings);
        if (!complete) continue;
        checkSortKeys(db, def, findings);
        sound << def.name;
    }
    return true;
}

} // namespace engine
