#pragma once
#include "engine/fields.h"
#include "engine/sqldialect.h"
#include <QHash>
#include <QObject>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;
struct sqlite3;
struct sqlite3_stmt;

namespace engine {

class BackendStatement;
class BulkInsert;
class Database;
class EngineError;
class ServerBackend;

// "Folder ... nie istnieje." as every opening of a missing folder says it.
EngineError missingFolder(const QString& folder);

// A prepared statement borrowed from a database's cache; given back (reset) when it goes out of
// scope. Values are bound and read in their stored form (values.h). A SQLite statement is
// driven directly (the fast path the cursors live on); a server's through its backend.
class Statement {
public:
    Statement(Database* db, sqlite3_stmt* stmt, bool cached);
    Statement(Database* db, BackendStatement* stmt, bool cached);
    Statement(Statement&& o) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    Statement& bind(int index, const QVariant& value); // 1-based
    Statement& bindAll(const QVariantList& values, int first = 1);
    bool step(); // true while a row is there; throws EngineError on failure
    void run();  // steps to the end
    int columnCount() const;
    QVariant column(int i) const; // 0-based; NULL -> invalid QVariant
    qint64 columnInt(int i) const;
    bool columnIsNull(int i) const;
    void reset(); // back before the first row; the bound values stay
    // The SQLite statement; nullptr when the statement is a server's.
    sqlite3_stmt* handle() const { return stmt_; }

private:
    Database* db_;
    sqlite3_stmt* stmt_ = nullptr;
    BackendStatement* server_ = nullptr;
    bool cached_;
    // The UTF-8 of texts bound to the first markers, kept until the statement is given back,
    // so that SQLite reads them in place instead of copying each.
    QByteArray texts_[4];
};

// The database of one folder: a single SQLite file holding every table of the folder. One
// object per folder and process, shared by all table objects on it, so that one save touching
// several tables is one transaction and a post is seen at once by the other cursors.
class Database : public QObject {
    Q_OBJECT
public:
    enum class Mode { MustExist, Create };

    static QString fileName(); // the database file in each folder
    // The folder holds a database file; for a server location (serverlocation.h): the
    // catalogue's schema holds the engine's tables.
    static bool exists(const QString& folder);
    // A folder, or a catalogue on a server (serverlocation.h), which Mode::Create creates.
    static std::shared_ptr<Database> open(const QString& folder, Mode mode = Mode::MustExist);

    // --- Journal of the folder --------------------------------------------------------------
    // The rollback journal works everywhere, network shares included, but a long read holds
    // off every writer. A folder marked for one machine uses the write-ahead log instead, where
    // readers and a writer never wait for each other; it works only while every process on the
    // file runs on that machine, so the mark names the machine, and a marked folder is refused
    // from another one or through a network file system. The mode stays with the file: it is
    // switched here, not per process. Not while this process has the folder open.
    static QString journalMarkName();                  // the mark file in the folder
    static QString journalHost(const QString& folder); // the marked machine; empty: unmarked
    static void markForThisMachine(const QString& folder);
    static void unmark(const QString& folder);
    static QString thisMachine();

    // The user named in "locked by" messages to other installations.
    static void setUserName(const QString& name);
    static QString userName();

    ~Database() override;

    QString folder() const { return folder_; }
    sqlite3* handle() const { return db_; } // nullptr on a server
    SqlDialect dialect() const { return server_ ? SqlDialect::Postgres : SqlDialect::Sqlite; }
    bool onServer() const { return server_ != nullptr; }

    // --- Tables -----------------------------------------------------------------------------
    QStringList tables();               // sorted, names as defined, internal ones left out
    bool hasTable(const QString& name); // "Towar" or "Towar.db", any letter case
    std::optional<TableDef> tableDef(const QString& name);
    TableDef requireTable(const QString& name); // throws MissingTable
    void createTable(const TableDef& def,
                     bool replace = true); // replace=false: error when it exists
    void dropTable(const QString& name);
    void emptyTable(const QString& name); // rows go; the autoinc counters stay

    // --- Whole tables at a time ----------------------------------------------------------------
    // Within a write transaction: a table filled in bulk, as when copying a catalogue. Its
    // indexes are dropped now and built again by finish(), once, which costs less than keeping
    // them up row by row; a server's rows go by its bulk load (COPY). Nothing else may be
    // written to this database until finish() (or the object is dropped).
    std::unique_ptr<BulkInsert> bulkInsert(const QString& table);
    // Every row of a table with its row id, in row id order, values in stored form in the order
    // of the fields: one statement, so one moment's rows. A server hands them over as they
    // come, so that a table of any size takes little memory, as long as `visit` runs nothing on
    // this database (which would first take the rest of the rows into memory).
    void
    forEachStoredRow(const QString& table,
                     const std::function<void(qint64 rowid, const QVariantList& values)>& visit);

    // --- Transactions -----------------------------------------------------------------------
    // Nested: only the outermost commit writes. Write transactions begin IMMEDIATE and are
    // retried while another installation holds the database.
    void begin();
    void commit();
    void rollback();
    bool inTransaction() const { return depth_ > 0; }
    template <class F> void transaction(F&& f) {
        begin();
        try {
            f();
        } catch (...) {
            rollback();
            throw;
        }
        commit();
    }

    // Several reads under one shared lock: with a rollback journal every statement outside a
    // transaction takes and drops the file lock, which costs more than a small read itself.
    // Nests; inside a write transaction it does nothing. No writes inside.
    class ReadScope {
    public:
        explicit ReadScope(Database& db);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        Database& db_;
        bool began_ = false;
    };

    // Gathers the statistics the query planner uses to choose between indexes; worth doing
    // after many rows were written at once.
    void analyze(const QString& table = {});

    // --- Cancelling ----------------------------------------------------------------------------
    // Called often while a statement runs; returning true stops it with an engine error saying
    // the query was cancelled. One check at a time; an empty function removes it. interrupt()
    // stops the running statement at once and may be called from the check or another thread.
    void setCancelCheck(std::function<bool()> check);
    void interrupt();

    // --- Change tracking --------------------------------------------------------------------
    // Changes whenever anybody committed a change to this database: other processes (PRAGMA
    // data_version) or this one. Costs one tiny query.
    quint64 changeStamp();
    // The stamp once the write transaction under way commits with something written.
    quint64 changeStampAfterCommit();

    // --- Statements -------------------------------------------------------------------------
    Statement prepare(const QString& sql); // cached by text
    void exec(const QString& sql);         // no rows, no parameters

    // --- Autoincrement ----------------------------------------------------------------------
    // Within a write transaction: the next value of an autoinc field, or note a value written
    // explicitly so that the counter moves past it. Never reused, not reset by emptying.
    qint64 takeAutoInc(const QString& table, const QString& field);
    void noteAutoInc(const QString& table, const QString& field, qint64 value);

    // --- Record and table locks of installations ---------------------------------------------
    // A lock belongs to this connection's owner id and lasts while its lease is renewed.
    QString ownerId() const { return ownerId_; }
    void lockRecord(const QString& table, qint64 rowid); // throws Locked naming the holder
    void unlockRecord(const QString& table, qint64 rowid);
    std::optional<QString> recordLockedBy(const QString& table, qint64 rowid); // others only
    void lockTable(const QString& table);                                      // exclusive use
    void unlockTable(const QString& table);
    std::optional<QString> tableLockedBy(const QString& table); // exclusive use by others
    void renewLease();
    // Keeps this owner's lease renewed until the database is closed, for things other than
    // record locks that must be seen as alive by other installations (working tables).
    void keepLeaseAlive();
    bool ownerAlive(const QString& owner); // a lease of that owner still runs (or it is us)
    // SQL telling whether the owner in the row aliased `owner` (of _pelk_owners) still holds
    // its locks; `nowParam` is the number of the parameter holding the current time.
    QString aliveSql(const QString& owner, int nowParam) const;

    static constexpr int kLeaseSeconds = 60;

    // Within a write transaction: data was written, so the commit tells the other cursors.
    void markWritten();
    qint64 lastInsertRowId() const;

    // Used by Statement.
    [[noreturn]] void fail(int rc, const QString& what, const QString& table = {});
    void giveBack(sqlite3_stmt* stmt);
    void giveBack(BackendStatement* stmt);

Q_SIGNALS:
    // After this process committed a change (once per outermost commit).
    void changed();

private:
    explicit Database(const QString& folder);
    void openFile(Mode mode);
    void openServer(Mode mode);
    void closeServer();
    void configure();
    void ensureInternalTables();
    void loadSchemaIfStale();
    void beginImmediate();
    qint64& seqSlot(const QString& table, const QString& field);
    void flushAutoInc();
    void maybeRenewLease();
    void holdLease();
    void releaseLease();

    QString folder_;
    sqlite3* db_ = nullptr;
    QString ownerId_;
    int depth_ = 0;
    bool wrote_ = false;
    quint64 localChanges_ = 0;
    int schemaVersion_ = -1;
    bool internalTables_ = false;
    QHash<QString, TableDef> schema_; // by lower-case bare name
    QHash<QString, sqlite3_stmt*> cache_;
    // Cached statements by the address of a text they were asked for with: a caller that keeps
    // its statement's text (a table object's reads) is answered without hashing and comparing
    // the whole text. Each entry holds its text, so the address stays that text's while the
    // entry lives.
    struct ByText {
        QString text;
        sqlite3_stmt* stmt = nullptr;
    };
    QHash<const QChar*, ByText> byText_;
    std::vector<sqlite3_stmt*> inUse_; // cached statements given out: a few at most
    qint64 leaseRenewedAt_ = 0;
    int locksHeld_ = 0;
    bool keptAlive_ = false;
    int pendingReleases_ = 0;
    int readDepth_ = 0;
    QHash<QString, qint64> seq_; // autoinc counters of the open write transaction
    bool scopeHoldsLock_ = false;
    std::optional<quint64> scopeStamp_;
    quint64 schemaStamp_ = 0;
    quint64 noTableLocksStamp_ = ~quint64(0);
    QTimer* leaseTimer_ = nullptr;
    sqlite3_stmt* dataVersion_ = nullptr;
    sqlite3_stmt* beginRead_ = nullptr; // a read scope's own, prepared once
    sqlite3_stmt* endRead_ = nullptr;
    sqlite3_stmt* beginWrite_ = nullptr;
    bool wal_ = false;
    std::function<bool()> cancelCheck_;
    // A catalogue on a server: its connection and its statements, cached by text as above.
    std::unique_ptr<ServerBackend> server_;
    QHash<QString, BackendStatement*> serverCache_;
    QHash<BackendStatement*, QString> serverInUse_;
};

} // namespace engine
