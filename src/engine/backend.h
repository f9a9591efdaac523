#pragma once
#include "engine/sqldialect.h"
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <utility>

namespace engine {

// A prepared statement of a server backend: what Statement does for SQLite through its own
// fast path, any other backend does through this.
class BackendStatement {
public:
    virtual ~BackendStatement() = default;
    virtual void bind(int index, const QVariant& value) = 0; // 1-based, stored form
    virtual bool step() = 0;                                 // throws EngineError
    virtual void reset() = 0;                                // back before the first row
    virtual void clearBindings() = 0;
    virtual int columnCount() const = 0;
    virtual QVariant column(int i) const = 0; // stored form; NULL -> invalid QVariant
    virtual qint64 columnInt(int i) const = 0;
    virtual bool columnIsNull(int i) const = 0;
};

// Rows poured into one table by the server's bulk load, in the open write transaction. While it
// is under way the connection runs nothing else; dropped unfinished, it abandons the load, and
// the transaction then only rolls back.
class BackendCopy {
public:
    // How a column travels: as the server stores it (bigint, double precision, text, bytea).
    enum class Column { Integer, Real, Text, Bytes };
    virtual ~BackendCopy() = default;
    virtual void add(const QVariantList& row) = 0; // a value per column; null -> NULL
    virtual void finish() = 0;                     // throws EngineError for a refused row
};

// The connection of a Database whose tables are not in a folder's SQLite file. Database keeps
// everything the backends share (nested transactions, the schema cache, autoincrement
// counters, record locks as rows of its internal tables) and asks the backend only for what
// differs: statements, the transaction's start and end, the change counter and the listing of
// tables. The SQLite side of the same seam is Database's own code.
class ServerBackend {
public:
    virtual ~ServerBackend() = default;
    virtual SqlDialect dialect() const = 0;
    virtual QString location() const = 0; // as named in messages

    virtual std::unique_ptr<BackendStatement> prepare(const QString& sql) = 0;
    virtual void exec(const QString& sql) = 0; // no rows, no parameters
    virtual std::unique_ptr<BackendCopy>
    copyIn(const QString& table, const QList<std::pair<QString, BackendCopy::Column>>& columns) = 0;

    // One writer at a time per catalogue, as with SQLite's write lock: begin waits for it.
    virtual void beginWrite() = 0;
    // `wrote`: the transaction changed data, so the catalogue's change counter moves with it.
    virtual void commitWrite(bool wrote) = 0;
    virtual void rollbackWrite() = 0;
    // Within a write transaction: the schema changed (tables created or dropped).
    virtual void noteSchemaChange() = 0;

    // The catalogue's change counter as committed; one round trip. schemaVersion() is the
    // schema counter read by the same trip.
    virtual quint64 changeCounter() = 0;
    virtual qint64 schemaVersion() const = 0;

    virtual QStringList tableNames() = 0; // every table of the catalogue, internal ones too
    // Columns (name, server type) of a table the engine did not create.
    virtual QList<std::pair<QString, QString>> columnsOf(const QString& table) = 0;

    // Stands for this connection while it lives: other installations see our locks end with it.
    virtual qint64 sessionToken() const = 0;
    virtual void interrupt() = 0;
    // Asked every few milliseconds while a statement runs; true cancels it (as Database's).
    virtual void setCancelCheck(std::function<bool()> check) = 0;
};

// Opens the backend of a server location (Mode::Create also creates the catalogue's schema);
// throws EngineError (NoDatabase) when it cannot.
std::unique_ptr<ServerBackend> openServerBackend(const QString& location, bool create);
// Whether the location names an existing catalogue on its server (its schema holds the engine's
// tables); false when the server cannot be reached.
bool serverCatalogueExists(const QString& location);

} // namespace engine
