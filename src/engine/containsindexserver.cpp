// The contains index of a catalogue on a server: the folded texts of the table's rows in a table
// of their own beside it ("id" the row id, "t" the texts, "m" the letter mask), with a GIN index
// of pg_trgm's trigrams on the texts, kept by one trigger function on the table. A word of three
// letters or more is looked up in the trigram index (LIKE '%word%'); shorter ones, which have
// no trigram of their own, are checked on the rows the longer ones leave, single letters by the
// mask. The texts are laid out as in a folder, so every word is found in the same rows.
#include "engine/containsindex.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/pgfunctions.h"
#include "engine/sqlfunctions.h"
#include "engine/sqlname.h"

namespace engine {

namespace {

using K = EngineError::Kind;

// A word as a LIKE pattern finding it anywhere (the escape character is the backslash).
QString anywhere(const QString& word) {
    QString w = word;
    w.replace(u'\\', QStringLiteral("\\\\"));
    w.replace(u'%', QStringLiteral("\\%"));
    w.replace(u'_', QStringLiteral("\\_"));
    return u'%' + w + u'%';
}

struct ServerNames {
    QString texts, trigrams, writer, rowTrigger, truncateTrigger;
};

ServerNames serverNames(const QString& base) {
    return {base, base + QStringLiteral("_trgm"), base + QStringLiteral("_pisz"),
            base + QStringLiteral("_zmiany"), base + QStringLiteral("_czysc")};
}

// The schema-qualified operator class of pg_trgm's GIN indexes. The extension is made in the
// support functions' schema when the database has none yet; where it already is, it is taken.
QString trigramOperators(Database& db) {
    auto installedIn = [&] {
        Statement st = db.prepare(
            QStringLiteral("SELECT n.nspname FROM pg_extension e JOIN pg_namespace n ON n.oid = "
                           "e.extnamespace WHERE e.extname = 'pg_trgm'"));
        return st.step() ? st.column(0).toString() : QString();
    };
    QString schema = installedIn();
    if (schema.isEmpty()) {
        auto refuse = [&](const QString& why) {
            return EngineError(K::State,
                               QStringLiteral("Nie można przygotować wyszukiwania „zawiera” w "
                                              "katalogu %1: %2")
                                   .arg(db.folder(), why));
        };
        Statement available = db.prepare(
            QStringLiteral("SELECT 1 FROM pg_available_extensions WHERE name = 'pg_trgm'"));
        if (!available.step())
            throw refuse(QStringLiteral("serwer bazy danych nie ma rozszerzenia pg_trgm. "
                                        "Administrator serwera musi zainstalować dodatki "
                                        "PostgreSQL (contrib)."));
        // Two installations making it at once take turns, as with the support functions.
        Statement lock = db.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(7369012)"));
        lock.step();
        try {
            db.exec(QStringLiteral("CREATE EXTENSION IF NOT EXISTS pg_trgm SCHEMA %1")
                        .arg(quoted(pgFunctionsSchema())));
        } catch (const EngineError&) {
            throw refuse(QStringLiteral("brak uprawnień do utworzenia rozszerzenia pg_trgm w "
                                        "bazie danych. Administrator bazy danych może je dodać "
                                        "poleceniem CREATE EXTENSION pg_trgm SCHEMA %1;")
                             .arg(pgFunctionsSchema()));
        }
        schema = installedIn();
    }
    return quoted(schema) + QStringLiteral(".gin_trgm_ops");
}

} // namespace

bool ContainsIndex::readyOnServer() {
    const ServerNames n = serverNames(fts_);
    Statement st = db_->prepare(QStringLiteral(
        "SELECT (SELECT count(*) FROM pg_class c WHERE c.relnamespace = s.oid AND c.relname IN "
        "(?1, ?2)) + (SELECT count(*) FROM pg_trigger g JOIN pg_class c ON c.oid = g.tgrelid "
        "WHERE c.relnamespace = s.oid AND lower(c.relname) = ?3 AND g.tgname IN (?4, ?5)) "
        "FROM pg_namespace s WHERE s.nspname = current_schema()"));
    st.bindAll({n.texts, n.trigrams, table_.toLower(), n.rowTrigger, n.truncateTrigger});
    return st.step() && st.columnInt(0) == 4;
}

void ContainsIndex::dropOnServer() {
    const ServerNames n = serverNames(fts_);
    db_->transaction([&] {
        // The triggers go with their function.
        db_->exec(QStringLiteral("DROP FUNCTION IF EXISTS %1() CASCADE").arg(quoted(n.writer)));
        db_->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(quoted(n.texts)));
        db_->markWritten();
    });
}

void ContainsIndex::buildOnServer() {
    // Names on the server keep their letter case: take them as the catalogue defines them.
    const TableDef def = db_->requireTable(table_);
    QStringList fields;
    for (const QString& name : std::as_const(fields_)) {
        const FieldDef* f = def.field(name);
        if (!f)
            throw EngineError(
                K::MissingField,
                QStringLiteral("Pole %1 nie istnieje w tabeli %2.").arg(name, def.name), def.name);
        fields << f->name;
    }
    fields_ = fields;
    const ServerNames n = serverNames(fts_);
    const QString table = quoted(def.name);
    const QString texts = quoted(n.texts);
    QStringList watched{QStringLiteral("rowid")};
    for (const QString& f : std::as_const(fields_))
        watched << quoted(f);

    db_->transaction([&] {
        const QString operators = trigramOperators(*db_);
        db_->exec(QStringLiteral("DROP FUNCTION IF EXISTS %1() CASCADE").arg(quoted(n.writer)));
        db_->exec(QStringLiteral("DROP TABLE IF EXISTS %1").arg(texts));
        db_->exec(QStringLiteral(
                      "CREATE TABLE %1(id bigint PRIMARY KEY, t text NOT NULL, m bigint NOT NULL)")
                      .arg(texts));
        // The long steps run as statements, which the cancel check can stop.
        db_->prepare(
               QStringLiteral("WITH f AS MATERIALIZED (SELECT r.rowid, %1 AS t FROM %2 r) "
                              "INSERT INTO %3(id, t, m) SELECT rowid, t, pl_letters(t) FROM f")
                   .arg(foldedText("r"), table, texts))
            .run();
        db_->prepare(QStringLiteral("CREATE INDEX %1 ON %2 USING gin (t %3)")
                         .arg(quoted(n.trigrams), texts, operators))
            .run();
        // The search path as now (the catalogue's schema, then the support functions') stays
        // with the function, whoever writes to the table.
        db_->exec(
            QStringLiteral("CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql "
                           "SET search_path FROM CURRENT AS $pelk$\n"
                           "DECLARE x text;\n"
                           "BEGIN\n"
                           "  IF TG_OP = 'TRUNCATE' THEN\n"
                           "    TRUNCATE %2;\n"
                           "    RETURN NULL;\n"
                           "  END IF;\n"
                           "  IF TG_OP <> 'INSERT' THEN\n"
                           "    DELETE FROM %2 WHERE id = OLD.rowid;\n"
                           "  END IF;\n"
                           "  IF TG_OP <> 'DELETE' THEN\n"
                           "    x := %3;\n"
                           "    INSERT INTO %2(id, t, m) VALUES (NEW.rowid, x, pl_letters(x))\n"
                           "      ON CONFLICT (id) DO UPDATE SET t = EXCLUDED.t, m = EXCLUDED.m;\n"
                           "  END IF;\n"
                           "  RETURN NULL;\n"
                           "END $pelk$")
                .arg(quoted(n.writer), texts, foldedText("NEW")));
        db_->exec(QStringLiteral("CREATE TRIGGER %1 AFTER INSERT OR DELETE OR UPDATE OF %2 ON %3 "
                                 "FOR EACH ROW EXECUTE FUNCTION %4()")
                      .arg(quoted(n.rowTrigger), watched.join(QStringLiteral(", ")), table,
                           quoted(n.writer)));
        db_->exec(QStringLiteral("CREATE TRIGGER %1 AFTER TRUNCATE ON %2 FOR EACH STATEMENT "
                                 "EXECUTE FUNCTION %3()")
                      .arg(quoted(n.truncateTrigger), table, quoted(n.writer)));
        db_->markWritten();
    });
}

ContainsIndex::Matches ContainsIndex::matchingOnServer(const QStringList& words) {
    QStringList conds;
    QVariantList params;
    QStringList shortWords;
    quint64 want = 0;
    for (const QString& w : words) {
        const qsizetype n = w.toUcs4().size();
        if (n >= 3) {
            conds << QStringLiteral("t LIKE ?");
            params << anywhere(w);
        } else if (n == 1 && searchLetterBit(w.toUcs4().at(0)) >= 0) {
            want |= quint64(1) << searchLetterBit(w.toUcs4().at(0));
        } else if (n > 0) {
            shortWords << w;
        }
    }
    // After the trigram lookups: the server checks these on the rows those leave.
    if (want != 0) {
        conds << QStringLiteral("(m & ?) = ?");
        params << qint64(want) << qint64(want);
    }
    for (const QString& w : std::as_const(shortWords)) {
        conds << QStringLiteral("strpos(t, ?) > 0");
        params << w;
    }
    QString sql = QStringLiteral("SELECT id FROM %1").arg(quoted(serverNames(fts_).texts));
    if (!conds.isEmpty()) sql += QStringLiteral(" WHERE ") + conds.join(QStringLiteral(" AND "));
    Matches m;
    Database::ReadScope reading(*db_);
    Statement st = db_->prepare(sql);
    st.bindAll(params);
    while (st.step())
        m.mark(st.columnInt(0));
    return m;
}

} // namespace engine
