#include "engine/bulkinsert.h"
#include "engine/backend.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/indexsql.h"
#include "engine/serverschema.h"
#include "engine/sqlname.h"

namespace engine {

namespace {

using Indexes = QList<std::pair<QString, QString>>;

// A folder's table: one prepared insert per row, the row id given unless the table's autoinc
// key is the row id itself (which its value then sets).
class FolderBulkInsert final : public BulkInsert {
public:
    FolderBulkInsert(Database& db, const TableDef& def, Indexes indexes)
        : db_(db), indexes_(std::move(indexes)), keepRowid_(!rowidAlias(def)),
          statement_(db.prepare(insertSql(def, keepRowid_))) {}

    void add(qint64 rowid, const QVariantList& values) override {
        int n = 0;
        if (keepRowid_) statement_.bind(++n, rowid);
        for (const QVariant& v : values)
            statement_.bind(++n, v);
        statement_.run();
        statement_.reset();
    }

    void finish() override {
        if (indexes_.isEmpty()) return;
        // The folder's temporary storage is in memory, where SQLite sorts an index's keys whole:
        // for a large table they sort through temporary files instead, within the page cache.
        // Where the setting cannot change (temporary tables in use), they sort as they would.
        const bool spilling = tryExec("PRAGMA temp_store=FILE");
        try {
            for (const auto& [name, sql] : std::as_const(indexes_))
                db_.exec(sql);
        } catch (...) {
            if (spilling) tryExec("PRAGMA temp_store=MEMORY");
            throw;
        }
        if (spilling) tryExec("PRAGMA temp_store=MEMORY");
    }

private:
    bool tryExec(const char* sql) {
        try {
            db_.exec(QString::fromLatin1(sql));
            return true;
        } catch (const EngineError&) {
            return false;
        }
    }

    static QString insertSql(const TableDef& def, bool withRowid) {
        QStringList cols, marks;
        if (withRowid) cols << QStringLiteral("rowid");
        for (const auto& f : def.fields)
            cols << quoted(f.name);
        for (int i = 0; i < cols.size(); ++i)
            marks << QStringLiteral("?");
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quoted(def.name), cols.join(QStringLiteral(", ")),
                 marks.join(QStringLiteral(", ")));
    }

    Database& db_;
    Indexes indexes_;
    bool keepRowid_;
    Statement statement_;
};

// A server's table: the server's bulk load, each text with its sort key beside it as the engine
// writes it on every insert; afterwards the row id sequence is moved past the ids loaded.
class ServerBulkInsert final : public BulkInsert {
public:
    ServerBulkInsert(Database& db, ServerBackend& server, const TableDef& def, Indexes indexes)
        : db_(db), def_(def), indexes_(std::move(indexes)) {
        using C = BackendCopy::Column;
        QList<std::pair<QString, C>> columns{{QStringLiteral("rowid"), C::Integer}};
        for (const auto& f : def.fields) {
            text_.push_back(isTextColumn(f.type));
            switch (f.type) {
            case FieldType::AutoInc:
            case FieldType::LongInt:
            case FieldType::Logical:
                columns.append({f.name, C::Integer});
                break;
            case FieldType::Number:
                columns.append({f.name, C::Real});
                break;
            case FieldType::Graphic:
                columns.append({f.name, C::Bytes});
                break;
            default:
                columns.append({f.name, C::Text});
                columns.append({sortKeyColumn(f.name), C::Bytes});
            }
        }
        row_.reserve(columns.size());
        copy_ = server.copyIn(def.name, columns);
    }

    void add(qint64 rowid, const QVariantList& values) override {
        row_.clear();
        row_ << rowid;
        for (qsizetype i = 0; i < values.size(); ++i) {
            row_ << values[i];
            if (text_[size_t(i)]) row_ << sortKeyOf(values[i]);
        }
        copy_->add(row_);
    }

    void finish() override {
        copy_->finish();
        copy_.reset();
        const QString table = quoted(def_.name);
        db_.exec(
            QStringLiteral("SELECT setval(pg_get_serial_sequence(%1, 'rowid'), max(rowid)) "
                           "FROM %2")
                .arg(u'\'' + QString(table).replace(u'\'', QStringLiteral("''")) + u'\'', table));
        // Sorting a large table's keys in memory rather than in temporary files.
        if (!indexes_.isEmpty())
            db_.exec(QStringLiteral("SET LOCAL maintenance_work_mem = '256MB'"));
        for (const auto& [name, sql] : std::as_const(indexes_))
            db_.exec(sql);
    }

private:
    Database& db_;
    TableDef def_;
    Indexes indexes_;
    std::vector<bool> text_; // per field: a sort key follows its value
    QVariantList row_;
    std::unique_ptr<BackendCopy> copy_;
};

} // namespace

std::unique_ptr<BulkInsert> Database::bulkInsert(const QString& table) {
    if (!inTransaction())
        throw EngineError(EngineError::Kind::State,
                          QStringLiteral("Wczytanie wierszy tabeli %1 poza transakcją.").arg(table),
                          table);
    const TableDef def = requireTable(table);
    Indexes indexes = indexStatements(def, server_ != nullptr);
    for (const auto& [name, sql] : std::as_const(indexes))
        exec(QStringLiteral("DROP INDEX ") + name);
    markWritten();
    if (server_)
        return std::make_unique<ServerBulkInsert>(*this, *server_, def, std::move(indexes));
    return std::make_unique<FolderBulkInsert>(*this, def, std::move(indexes));
}

void Database::forEachStoredRow(const QString& table,
                                const std::function<void(qint64, const QVariantList&)>& visit) {
    const TableDef def = requireTable(table);
    QStringList cols{QStringLiteral("rowid")};
    for (const auto& f : def.fields)
        cols << quoted(f.name);
    Statement st = prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY rowid")
                               .arg(cols.join(QStringLiteral(", ")), quoted(def.name)));
    const int n = int(def.fields.size());
    QVariantList values;
    values.reserve(n);
    while (st.step()) {
        values.clear();
        for (int i = 1; i <= n; ++i)
            values << st.column(i);
        visit(st.columnInt(0), values);
    }
}

} // namespace engine
