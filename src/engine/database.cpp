#include "engine/database.h"
#include "engine/backend.h"
#include "engine/error.h"
#include "engine/indexsql.h"
#include "engine/serverlocation.h"
#include "engine/serverschema.h"
#include "engine/sqlfunctions.h"
#include "engine/sqlname.h"
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <sqlite3.h>
#ifdef Q_OS_LINUX
#include <sys/vfs.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#endif

namespace engine {

namespace {

QString g_userName;

QHash<QString, std::weak_ptr<Database>>& registry() {
    static QHash<QString, std::weak_ptr<Database>> r;
    return r;
}

QString key(const QString& tableName) {
    return bareTableName(tableName).toLower();
}

QString sqlColumnType(FieldType t) {
    switch (t) {
    case FieldType::AutoInc:
    case FieldType::LongInt:
    case FieldType::Logical:
        return QStringLiteral("INTEGER");
    case FieldType::Number:
        return QStringLiteral("REAL");
    case FieldType::Graphic:
        return QStringLiteral("BLOB");
    default:
        return QStringLiteral("TEXT");
    }
}

qint64 now() {
    return QDateTime::currentSecsSinceEpoch();
}

// Whether a process of this machine still runs. Unknown means alive: the lease rule then
// decides, as it does for holders on other machines.
bool processRuns(qint64 pid) {
#ifdef Q_OS_UNIX
    if (pid <= 0) return true;
    return ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
    Q_UNUSED(pid);
    return true;
#endif
}

// pl_alive(host, pid, expires, now): whether an owner's locks still hold. A holder on this
// machine whose process is gone (killed, crashed) loses them at once instead of after the
// lease; one on another machine keeps them while its lease runs.
void ownerAliveFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    const qint64 expires = sqlite3_value_int64(argv[2]);
    const qint64 at = sqlite3_value_int64(argv[3]);
    bool alive = expires > at;
    if (alive && sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        static const QByteArray localHost = QSysInfo::machineHostName().toUtf8();
        const QByteArray host(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                              sqlite3_value_bytes(argv[0]));
        const qint64 pid = sqlite3_value_int64(argv[1]);
        if (host == localHost && pid != QCoreApplication::applicationPid())
            alive = processRuns(pid);
    }
    sqlite3_result_int(ctx, alive ? 1 : 0);
}

const char* const kInternalTables =
    "CREATE TABLE IF NOT EXISTS _pelk_fields(tbl TEXT NOT NULL, pos INTEGER NOT NULL,"
    " name TEXT NOT NULL, type TEXT NOT NULL, size INTEGER NOT NULL, required INTEGER NOT NULL,"
    " PRIMARY KEY(tbl, pos));"
    "CREATE TABLE IF NOT EXISTS _pelk_indexes(tbl TEXT NOT NULL, pos INTEGER NOT NULL,"
    " name TEXT NOT NULL, fields TEXT NOT NULL, is_primary INTEGER NOT NULL,"
    " PRIMARY KEY(tbl, pos));"
    "CREATE TABLE IF NOT EXISTS _pelk_seq(tbl TEXT NOT NULL, field TEXT NOT NULL,"
    " seq INTEGER NOT NULL, PRIMARY KEY(tbl, field));"
    "CREATE TABLE IF NOT EXISTS _pelk_owners(owner TEXT PRIMARY KEY, user TEXT, host TEXT,"
    " pid INTEGER, expires INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS _pelk_locks(tbl TEXT NOT NULL, rid INTEGER NOT NULL,"
    " owner TEXT NOT NULL, PRIMARY KEY(tbl, rid));"
    "CREATE TABLE IF NOT EXISTS _pelk_tablelocks(tbl TEXT PRIMARY KEY, owner TEXT NOT NULL);";

// The same tables in a catalogue's schema on a server. There the owner's "pid" is the token of
// its connection (ServerBackend::sessionToken), which the server itself holds while it lives.
const char* const kServerInternalTables =
    "CREATE TABLE IF NOT EXISTS _pelk_fields(tbl text NOT NULL, pos bigint NOT NULL,"
    " name text NOT NULL, type text NOT NULL, size bigint NOT NULL, required bigint NOT NULL,"
    " PRIMARY KEY(tbl, pos));"
    "CREATE TABLE IF NOT EXISTS _pelk_indexes(tbl text NOT NULL, pos bigint NOT NULL,"
    " name text NOT NULL, fields text NOT NULL, is_primary bigint NOT NULL,"
    " PRIMARY KEY(tbl, pos));"
    "CREATE TABLE IF NOT EXISTS _pelk_seq(tbl text NOT NULL, field text NOT NULL,"
    " seq bigint NOT NULL, PRIMARY KEY(tbl, field));"
    "CREATE TABLE IF NOT EXISTS _pelk_owners(owner text PRIMARY KEY, \"user\" text, host text,"
    " pid bigint, expires bigint NOT NULL);"
    "CREATE TABLE IF NOT EXISTS _pelk_locks(tbl text NOT NULL, rid bigint NOT NULL,"
    " owner text NOT NULL, PRIMARY KEY(tbl, rid));"
    "CREATE TABLE IF NOT EXISTS _pelk_tablelocks(tbl text PRIMARY KEY, owner text NOT NULL);";

// Network file systems, where SQLite's write-ahead log (shared memory of one machine) is unsafe.
bool onNetworkFileSystem(const QString& folder) {
#ifdef Q_OS_LINUX
    struct statfs fs {};
    if (::statfs(QFile::encodeName(folder).constData(), &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case 0x6969UL:     // NFS
    case 0x517BUL:     // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x01021997UL: // 9P
    case 0x73757245UL: // Coda
    case 0x5346414FUL: // AFS
    case 0x00C36400UL: // Ceph
        return true;
    default:
        return false;
    }
#elif defined(Q_OS_WIN)
    const QString root = QDir(folder).absolutePath().left(3);
    return folder.startsWith(QLatin1String("//")) || folder.startsWith(QLatin1String("\\\\")) ||
           GetDriveTypeW(reinterpret_cast<const wchar_t*>(root.utf16())) == DRIVE_REMOTE;
#else
    Q_UNUSED(folder);
    return false;
#endif
}

QString journalCommand(const QString& folder, const QString& mode) {
    return QStringLiteral("pelkdb \"%1\" journal %2").arg(QDir::toNativeSeparators(folder), mode);
}

// A connection outside the engine's registry, only to switch the journal of the file.
void switchJournal(const QString& folder, const char* mode) {
    const QString path = QDir(folder).filePath(Database::fileName());
    if (!QFileInfo(path).isFile())
        throw EngineError(EngineError::Kind::NoDatabase,
                          QStringLiteral("Folder %1 nie zawiera bazy danych.")
                              .arg(QDir::toNativeSeparators(folder)));
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    QString got;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 10000);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = QByteArray("PRAGMA journal_mode=") + mode;
        rc = sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
        if (rc == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
            got = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close_v2(db);
    if (got.compare(QLatin1String(mode), Qt::CaseInsensitive) != 0)
        throw EngineError(EngineError::Kind::Locked,
                          QStringLiteral("Nie można zmienić dziennika bazy danych w folderze %1: "
                                         "baza jest używana. Zamknij program na wszystkich "
                                         "komputerach i spróbuj ponownie.")
                              .arg(QDir::toNativeSeparators(folder)));
}

} // namespace

EngineError missingFolder(const QString& folder) {
    return EngineError(
        EngineError::Kind::NoDatabase,
        QStringLiteral("Folder %1 nie istnieje.").arg(QDir::toNativeSeparators(folder)));
}

// ---------------------------------------------------------------------------------------------
// Statement

Statement::Statement(Database* db, sqlite3_stmt* stmt, bool cached)
    : db_(db), stmt_(stmt), cached_(cached) {}

Statement::Statement(Database* db, BackendStatement* stmt, bool cached)
    : db_(db), server_(stmt), cached_(cached) {}

Statement::Statement(Statement&& o) noexcept
    : db_(o.db_), stmt_(o.stmt_), server_(o.server_), cached_(o.cached_) {
    o.stmt_ = nullptr;
    o.server_ = nullptr;
    for (size_t i = 0; i < std::size(texts_); ++i)
        texts_[i] = std::move(o.texts_[i]); // the bytes stay where SQLite points
}

Statement::~Statement() {
    if (server_) {
        if (cached_)
            db_->giveBack(server_);
        else
            delete server_;
        return;
    }
    if (!stmt_) return;
    if (cached_)
        db_->giveBack(stmt_);
    else
        sqlite3_finalize(stmt_);
}

void Statement::reset() {
    if (server_)
        server_->reset();
    else
        sqlite3_reset(stmt_);
}

Statement& Statement::bind(int i, const QVariant& v) {
    if (server_) {
        server_->bind(i, v);
        return *this;
    }
    // The commonest types are read in place, without QVariant's conversions.
    const int type = v.typeId();
    int rc;
    if (type == QMetaType::UnknownType || v.isNull()) {
        rc = sqlite3_bind_null(stmt_, i);
    } else {
        switch (type) {
        case QMetaType::LongLong:
            rc = sqlite3_bind_int64(stmt_, i, *static_cast<const qlonglong*>(v.constData()));
            break;
        case QMetaType::Int:
            rc = sqlite3_bind_int64(stmt_, i, *static_cast<const int*>(v.constData()));
            break;
        case QMetaType::Double:
            rc = sqlite3_bind_double(stmt_, i, *static_cast<const double*>(v.constData()));
            break;
        case QMetaType::QString: {
            QByteArray u = static_cast<const QString*>(v.constData())->toUtf8();
            const bool keep = i >= 1 && i <= int(std::size(texts_));
            rc = sqlite3_bind_text64(stmt_, i, u.constData(), sqlite3_uint64(u.size()),
                                     keep ? SQLITE_STATIC : SQLITE_TRANSIENT, SQLITE_UTF8);
            if (keep) texts_[i - 1] = std::move(u); // after the bind: the old text is let go
            break;
        }
        case QMetaType::Bool:
            rc = sqlite3_bind_int64(stmt_, i, v.toBool() ? 1 : 0);
            break;
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(stmt_, i, v.toLongLong());
            break;
        case QMetaType::Float:
            rc = sqlite3_bind_double(stmt_, i, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray b = v.toByteArray();
            rc = sqlite3_bind_blob64(stmt_, i, b.constData(), sqlite3_uint64(b.size()),
                                     SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray u = v.toString().toUtf8();
            rc = sqlite3_bind_text64(stmt_, i, u.constData(), sqlite3_uint64(u.size()),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
        }
        }
    }
    if (rc != SQLITE_OK) db_->fail(rc, QStringLiteral("bind"));
    return *this;
}

Statement& Statement::bindAll(const QVariantList& values, int first) {
    for (int i = 0; i < values.size(); ++i)
        bind(first + i, values[i]);
    return *this;
}

bool Statement::step() {
    if (server_) return server_->step();
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    QString sql = QString::fromUtf8(sqlite3_sql(stmt_));
    sqlite3_reset(stmt_);
    db_->fail(rc, sql);
}

void Statement::run() {
    while (step()) {
    }
}

int Statement::columnCount() const {
    if (server_) return server_->columnCount();
    return sqlite3_column_count(stmt_);
}

QVariant Statement::column(int i) const {
    if (server_) return server_->column(i);
    switch (sqlite3_column_type(stmt_, i)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(stmt_, i)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt_, i));
    case SQLITE_TEXT:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i)),
                              sqlite3_column_bytes(stmt_, i)));
    case SQLITE_BLOB:
        return QVariant(QByteArray(static_cast<const char*>(sqlite3_column_blob(stmt_, i)),
                                   sqlite3_column_bytes(stmt_, i)));
    default:
        return {};
    }
}

qint64 Statement::columnInt(int i) const {
    if (server_) return server_->columnInt(i);
    return sqlite3_column_int64(stmt_, i);
}

bool Statement::columnIsNull(int i) const {
    if (server_) return server_->columnIsNull(i);
    return sqlite3_column_type(stmt_, i) == SQLITE_NULL;
}

// ---------------------------------------------------------------------------------------------
// Database

QString Database::fileName() {
    return QStringLiteral("tabele.sqlite");
}

bool Database::exists(const QString& folder) {
    if (isServerLocation(folder)) {
        const QString location = folder.trimmed();
        if (auto it = registry().find(location); it != registry().end() && !it->expired())
            return true;
        return serverCatalogueExists(location);
    }
    return QFileInfo(QDir(folder).filePath(fileName())).isFile();
}

QString Database::journalMarkName() {
    return QStringLiteral("tabele.komputer");
}

QString Database::thisMachine() {
    return QSysInfo::machineHostName();
}

QString Database::journalHost(const QString& folder) {
    QFile f(QDir(folder).filePath(journalMarkName()));
    if (!f.open(QIODevice::ReadOnly)) return {};
    const QString host = QString::fromUtf8(f.readLine()).trimmed();
    // A mark that names nobody still marks the folder: it must not silently mean "shared".
    return host.isEmpty() ? QStringLiteral("?") : host;
}

void Database::markForThisMachine(const QString& folder) {
    const QString canonical = QDir(folder).absolutePath();
    if (!QDir(canonical).exists()) throw missingFolder(canonical);
    if (auto it = registry().find(canonical); it != registry().end() && !it->expired())
        throw EngineError(EngineError::Kind::State,
                          QStringLiteral("Folder %1 jest otwarty w tym programie.")
                              .arg(QDir::toNativeSeparators(canonical)));
    if (onNetworkFileSystem(canonical))
        throw EngineError(EngineError::Kind::Io,
                          QStringLiteral("Folder %1 leży w sieci: dziennik zapisu z wyprzedzeniem "
                                         "działa tylko na dysku komputera, na którym pracują "
                                         "wszystkie korzystające z niego programy.")
                              .arg(QDir::toNativeSeparators(canonical)));
    // The mark first: whoever opens the folder from now on already finds it.
    QSaveFile mark(QDir(canonical).filePath(journalMarkName()));
    if (!mark.open(QIODevice::WriteOnly) || mark.write((thisMachine() + u'\n').toUtf8()) < 0 ||
        !mark.commit())
        throw EngineError(EngineError::Kind::Io,
                          QStringLiteral("Nie można zapisać oznaczenia folderu %1.")
                              .arg(QDir::toNativeSeparators(canonical)));
    try {
        switchJournal(canonical, "wal");
    } catch (...) {
        QFile::remove(QDir(canonical).filePath(journalMarkName()));
        throw;
    }
}

void Database::unmark(const QString& folder) {
    const QString canonical = QDir(folder).absolutePath();
    if (!QDir(canonical).exists()) throw missingFolder(canonical);
    if (auto it = registry().find(canonical); it != registry().end() && !it->expired())
        throw EngineError(EngineError::Kind::State,
                          QStringLiteral("Folder %1 jest otwarty w tym programie.")
                              .arg(QDir::toNativeSeparators(canonical)));
    if (Database::exists(canonical)) switchJournal(canonical, "delete");
    QFile::remove(QDir(canonical).filePath(journalMarkName()));
}

void Database::setUserName(const QString& name) {
    g_userName = name;
}

QString Database::userName() {
    if (!g_userName.isEmpty()) return g_userName;
    // Without a login, the person at the computer as the system knows them, or the computer.
    for (const char* name : {"USER", "LOGNAME", "USERNAME"})
        if (QString u = qEnvironmentVariable(name).trimmed(); !u.isEmpty()) return u;
    const QString host = QSysInfo::machineHostName();
    return host.isEmpty() ? QStringLiteral("?") : host;
}

std::shared_ptr<Database> Database::open(const QString& folder, Mode mode) {
    // An empty name would mean the process's current folder: never where data belongs.
    if (folder.trimmed().isEmpty())
        throw EngineError(EngineError::Kind::NoDatabase,
                          QStringLiteral("Nie wskazano folderu bazy danych."));
    auto& reg = registry();
    // Every open of a table asks: a folder given as the registry holds it (absolute, clean) is
    // found without resolving it again.
    if (folder.startsWith(u'/'))
        if (auto it = reg.constFind(folder); it != reg.constEnd())
            if (auto db = it->lock()) return db;
    const bool server = isServerLocation(folder);
    const QString canonical = server ? folder.trimmed() : QDir(folder).absolutePath();
    if (auto it = reg.find(canonical); it != reg.end())
        if (auto db = it->lock()) return db;
    std::shared_ptr<Database> db(new Database(canonical));
    if (server)
        db->openServer(mode);
    else
        db->openFile(mode);
    reg.insert(canonical, db);
    return db;
}

Database::Database(const QString& folder) : folder_(folder) {
    ownerId_ = QString::number(QRandomGenerator::system()->generate64(), 16) + u'-' +
               QString::number(QCoreApplication::applicationPid());
}

Database::~Database() {
    if (server_) {
        closeServer();
        return;
    }
    byText_.clear();
    for (auto* s : std::as_const(cache_))
        sqlite3_finalize(s);
    cache_.clear();
    if (dataVersion_) sqlite3_finalize(dataVersion_);
    sqlite3_finalize(beginRead_);
    sqlite3_finalize(endRead_);
    sqlite3_finalize(beginWrite_);
    if (db_) {
        if (depth_ > 0) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        // Statistics for the query planner where this connection's queries showed a need;
        // usually nothing. A busy or read-only database simply skips it.
        sqlite3_exec(db_, "PRAGMA optimize", nullptr, nullptr, nullptr);
        if (internalTables_) {
            // Our locks end with us; another installation need not wait for the lease.
            const QByteArray o = ownerId_.toUtf8();
            sqlite3_stmt* st = nullptr;
            for (const char* sql : {"DELETE FROM _pelk_locks WHERE owner=?1",
                                    "DELETE FROM _pelk_tablelocks WHERE owner=?1",
                                    "DELETE FROM _pelk_owners WHERE owner=?1"}) {
                if (sqlite3_prepare_v2(db_, sql, -1, &st, nullptr) == SQLITE_OK) {
                    sqlite3_bind_text(st, 1, o.constData(), int(o.size()), SQLITE_TRANSIENT);
                    sqlite3_step(st);
                }
                sqlite3_finalize(st);
            }
        }
        sqlite3_close_v2(db_);
    }
    auto& reg = registry();
    auto it = reg.find(folder_);
    if (it != reg.end() && it->expired()) reg.erase(it);
}

void Database::openServer(Mode mode) {
    server_ = openServerBackend(folder_, mode == Mode::Create);
    if (mode == Mode::Create) transaction([&] { ensureInternalTables(); });
}

void Database::closeServer() {
    try {
        if (depth_ > 0) server_->rollbackWrite();
        if (internalTables_) {
            // Our locks end with our connection anyway; the rows go with them.
            for (const char* sql : {"DELETE FROM _pelk_locks WHERE owner=?1",
                                    "DELETE FROM _pelk_tablelocks WHERE owner=?1",
                                    "DELETE FROM _pelk_owners WHERE owner=?1"}) {
                auto st = server_->prepare(QString::fromLatin1(sql));
                st->bind(1, ownerId_);
                st->step();
            }
        }
    } catch (const EngineError&) {
        // A connection already lost: the server has ended its locks.
    }
    qDeleteAll(serverCache_);
    serverCache_.clear();
    server_.reset();
    auto& reg = registry();
    auto it = reg.find(folder_);
    if (it != reg.end() && it->expired()) reg.erase(it);
}

// In a folder the lease and the process decide; on a server the owner's connection does: its
// token is an advisory lock that ends with it.
QString Database::aliveSql(const QString& owner, int nowParam) const {
    const QString n = QString::number(nowParam);
    if (!server_) return QStringLiteral("pl_alive(%1.host, %1.pid, %1.expires, ?%2)").arg(owner, n);
    return QStringLiteral("(?%2 IS NOT NULL AND EXISTS (SELECT 1 FROM pg_locks k WHERE "
                          "k.locktype = 'advisory' AND k.objsubid = 1 AND k.granted AND "
                          "((k.classid::bigint << 32) | k.objid::bigint) = %1.pid))")
        .arg(owner, n);
}

void Database::openFile(Mode mode) {
    const QString path = QDir(folder_).filePath(fileName());
    if (!QDir(folder_).exists()) throw missingFolder(folder_);
    if (mode == Mode::MustExist && !QFileInfo(path).isFile())
        throw EngineError(EngineError::Kind::NoDatabase,
                          QStringLiteral("Folder %1 nie zawiera bazy danych.")
                              .arg(QDir::toNativeSeparators(folder_)));
    // An empty file is what a copy or a disk that broke off half-way leaves; SQLite would take
    // it for a database without tables, and every table would seem to be missing.
    if (const QString host = journalHost(folder_); !host.isEmpty()) {
        if (host != thisMachine())
            throw EngineError(
                EngineError::Kind::Io,
                QStringLiteral("Folder %1 jest oznaczony do pracy tylko na komputerze %2, a ten "
                               "komputer to %3. Aby korzystać z niego z kilku komputerów, wykonaj "
                               "na komputerze %2 polecenie: %4")
                    .arg(QDir::toNativeSeparators(folder_), host, thisMachine(),
                         journalCommand(folder_, QStringLiteral("delete"))));
        if (onNetworkFileSystem(folder_))
            throw EngineError(
                EngineError::Kind::Io,
                QStringLiteral("Folder %1 jest oznaczony do pracy tylko na komputerze %2 i nie "
                               "może być używany przez sieć. Aby korzystać z niego z kilku "
                               "komputerów, wykonaj na komputerze %2 polecenie: %3")
                    .arg(QDir::toNativeSeparators(folder_), host,
                         journalCommand(folder_, QStringLiteral("delete"))));
        wal_ = true;
    }
    if (mode == Mode::MustExist && QFileInfo(path).size() == 0)
        throw EngineError(
            EngineError::Kind::Io,
            QStringLiteral("Baza danych w folderze %1 jest uszkodzona (pusty plik %2).")
                .arg(QDir::toNativeSeparators(folder_), fileName()));
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::Create) flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
        if (db_) sqlite3_close_v2(db_);
        db_ = nullptr;
        throw EngineError(EngineError::Kind::NoDatabase,
                          QStringLiteral("Nie można otworzyć bazy danych w folderze %1 (%2).")
                              .arg(QDir::toNativeSeparators(folder_), msg));
    }
    configure();
    // Reading the schema reads the file's header: a file that is no database fails here, with
    // the message that says so, rather than as a missing table later.
    exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (mode == Mode::Create) {
        transaction([&] { ensureInternalTables(); });
    }
}

void Database::configure() {
    // A double-quoted word that the translator missed must fail, not match every row.
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    sqlite3_busy_timeout(db_, 10000);
    registerSqlFunctions(db_);
    sqlite3_create_function_v2(db_, "pl_alive", 4, SQLITE_UTF8, nullptr, ownerAliveFunction,
                               nullptr, nullptr, nullptr);
    // Rollback journal and full sync: every acknowledged post survives a crash, also on a
    // network share where WAL's shared memory cannot be used.
    // In the write-ahead log a full sync at each checkpoint and commit keeps the same promise.
    exec(wal_ ? QStringLiteral("PRAGMA journal_mode=WAL")
              : QStringLiteral("PRAGMA journal_mode=DELETE"));
    exec(QStringLiteral("PRAGMA synchronous=FULL"));
    exec(QStringLiteral("PRAGMA case_sensitive_like=ON"));
    exec(QStringLiteral("PRAGMA cache_size=-65536"));
    exec(QStringLiteral("PRAGMA temp_store=MEMORY"));
    if (sqlite3_prepare_v3(db_, "PRAGMA data_version", -1, SQLITE_PREPARE_PERSISTENT, &dataVersion_,
                           nullptr) != SQLITE_OK)
        fail(sqlite3_errcode(db_), QStringLiteral("PRAGMA data_version"));
    if (sqlite3_prepare_v3(db_, "BEGIN DEFERRED", -1, SQLITE_PREPARE_PERSISTENT, &beginRead_,
                           nullptr) != SQLITE_OK ||
        sqlite3_prepare_v3(db_, "COMMIT", -1, SQLITE_PREPARE_PERSISTENT, &endRead_, nullptr) !=
            SQLITE_OK ||
        sqlite3_prepare_v3(db_, "BEGIN IMMEDIATE", -1, SQLITE_PREPARE_PERSISTENT, &beginWrite_,
                           nullptr) != SQLITE_OK)
        fail(sqlite3_errcode(db_), QStringLiteral("BEGIN DEFERRED"));
}

void Database::fail(int rc, const QString& what, const QString& table) {
    using K = EngineError::Kind;
    const QString where = QDir::toNativeSeparators(folder_);
    const QString detail = db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QString();
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw EngineError(K::Locked,
                          QStringLiteral("Baza danych w folderze %1 jest zajęta przez innego "
                                         "użytkownika. Spróbuj ponownie.")
                              .arg(where),
                          table);
    case SQLITE_CONSTRAINT:
        throw EngineError(
            K::KeyViolation,
            QStringLiteral("Naruszenie klucza%1: taki klucz już istnieje.")
                .arg(table.isEmpty() ? QString() : QStringLiteral(" w tabeli ") + table),
            table);
    case SQLITE_READONLY:
    case SQLITE_PERM:
        throw EngineError(
            K::Io, QStringLiteral("Brak prawa zapisu do bazy danych w folderze %1.").arg(where),
            table);
    case SQLITE_FULL:
        throw EngineError(
            K::Io,
            QStringLiteral("Brak miejsca na dysku dla bazy danych w folderze %1.").arg(where),
            table);
    case SQLITE_INTERRUPT:
        throw EngineError(K::State, QStringLiteral("Zapytanie zostało przerwane."), table);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw EngineError(
            K::Io, QStringLiteral("Baza danych w folderze %1 jest uszkodzona.").arg(where), table);
    case SQLITE_CANTOPEN:
        throw EngineError(
            K::NoDatabase,
            QStringLiteral("Nie można otworzyć bazy danych w folderze %1.").arg(where), table);
    default:
        throw EngineError(
            K::Io,
            QStringLiteral("Błąd bazy danych w folderze %1: %2 (%3).").arg(where, detail, what),
            table);
    }
}

void Database::setCancelCheck(std::function<bool()> check) {
    cancelCheck_ = std::move(check);
    if (server_) {
        server_->setCancelCheck(cancelCheck_);
        return;
    }
    if (!cancelCheck_) {
        sqlite3_progress_handler(db_, 0, nullptr, nullptr);
        return;
    }
    // Some thousand steps of the virtual machine: a few checks per millisecond of work.
    sqlite3_progress_handler(
        db_, 4000,
        [](void* self) -> int {
            try {
                return static_cast<Database*>(self)->cancelCheck_() ? 1 : 0;
            } catch (...) {
                return 1; // nothing may unwind through SQLite
            }
        },
        this);
}

void Database::interrupt() {
    if (server_)
        server_->interrupt();
    else
        sqlite3_interrupt(db_);
}

Statement Database::prepare(const QString& sql) {
    if (server_) {
        auto it = serverCache_.find(sql);
        if (it != serverCache_.end() && !serverInUse_.contains(it.value())) {
            serverInUse_.insert(it.value(), sql);
            return Statement(this, it.value(), true);
        }
        BackendStatement* st = server_->prepare(sql).release();
        if (it == serverCache_.end()) {
            serverCache_.insert(sql, st);
            serverInUse_.insert(st, sql);
            return Statement(this, st, true);
        }
        return Statement(this, st, false);
    }
    sqlite3_stmt* known = nullptr;
    if (auto b = byText_.constFind(sql.constData());
        b != byText_.constEnd() && b->text.size() == sql.size())
        known = b->stmt;
    else if (auto it = cache_.constFind(sql); it != cache_.constEnd()) {
        known = it.value();
        // The same text in another buffer: the caller may ask with it again. Texts built anew
        // for each call would pile up, hence the bound.
        if (byText_.size() >= 256) byText_.clear();
        byText_.insert(sql.constData(), {sql, known});
    }
    if (known && std::find(inUse_.begin(), inUse_.end(), known) == inUse_.end()) {
        inUse_.push_back(known);
        return Statement(this, known, true);
    }
    sqlite3_stmt* st = nullptr;
    const QByteArray u = sql.toUtf8();
    int rc = sqlite3_prepare_v3(db_, u.constData(), int(u.size()), SQLITE_PREPARE_PERSISTENT, &st,
                                nullptr);
    if (rc != SQLITE_OK) fail(rc, sql);
    if (!known) {
        cache_.insert(sql, st);
        byText_.insert(sql.constData(), {sql, st});
        inUse_.push_back(st);
        return Statement(this, st, true);
    }
    return Statement(this, st, false); // the cached one is busy (nested use)
}

void Database::giveBack(sqlite3_stmt* stmt) {
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    if (auto at = std::find(inUse_.begin(), inUse_.end(), stmt); at != inUse_.end()) {
        *at = inUse_.back();
        inUse_.pop_back();
    }
}

void Database::giveBack(BackendStatement* stmt) {
    stmt->reset();
    stmt->clearBindings();
    serverInUse_.remove(stmt);
}

void Database::exec(const QString& sql) {
    if (server_) {
        server_->exec(sql);
        return;
    }
    char* err = nullptr;
    int rc = sqlite3_exec(db_, sql.toUtf8().constData(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) fail(rc, sql);
}

// --- Transactions ----------------------------------------------------------------------------

void Database::beginImmediate() {
    if (server_) {
        server_->beginWrite();
        return;
    }
    // The busy handler waits inside each try; a few more tries cover the cases where SQLite
    // gives up at once to avoid a deadlock.
    for (int attempt = 0;; ++attempt) {
        int rc = sqlite3_step(beginWrite_);
        sqlite3_reset(beginWrite_);
        if (rc == SQLITE_DONE) return;
        if ((rc & 0xff) != SQLITE_BUSY || attempt >= 5) fail(rc, QStringLiteral("BEGIN IMMEDIATE"));
        QThread::msleep(50 * (attempt + 1));
    }
}

Database::ReadScope::ReadScope(Database& db) : db_(db) {
    // A server's reads never hold off a writer: nothing to save there.
    if (db_.depth_ == 0 && db_.readDepth_ == 0 && !db_.server_) {
        // A failure here only costs the saving; the reads then lock one by one.
        began_ = sqlite3_step(db_.beginRead_) == SQLITE_DONE;
        sqlite3_reset(db_.beginRead_);
        db_.scopeStamp_.reset();
        db_.scopeHoldsLock_ = began_;
    }
    ++db_.readDepth_;
}

Database::ReadScope::~ReadScope() {
    --db_.readDepth_;
    if (began_) {
        db_.scopeHoldsLock_ = false;
        db_.scopeStamp_.reset();
        sqlite3_step(db_.endRead_);
        sqlite3_reset(db_.endRead_);
    }
}

void Database::analyze(const QString& table) {
    exec(table.isEmpty() ? QStringLiteral("ANALYZE")
                         : QStringLiteral("ANALYZE ") + quoted(requireTable(table).name));
}

void Database::begin() {
    if (readDepth_ > 0 && depth_ == 0)
        throw EngineError(
            EngineError::Kind::State,
            QStringLiteral("Zapis w trakcie odczytu bazy danych %1.").arg(inLocation(folder_)));
    if (depth_ == 0) {
        beginImmediate();
        wrote_ = false;
    }
    ++depth_;
}

void Database::commit() {
    if (depth_ == 0)
        throw EngineError(EngineError::Kind::State,
                          QStringLiteral("Brak otwartej transakcji do zatwierdzenia."));
    if (depth_ > 1) {
        --depth_;
        return;
    }
    try {
        flushAutoInc();
    } catch (...) {
        rollback();
        throw;
    }
    if (server_) {
        try {
            server_->commitWrite(wrote_);
        } catch (...) {
            rollback();
            throw;
        }
    }
    for (int attempt = 0; !server_; ++attempt) {
        // The read scope's COMMIT, prepared once, serves any transaction.
        int rc = sqlite3_step(endRead_);
        sqlite3_reset(endRead_);
        if (rc == SQLITE_DONE) break;
        if ((rc & 0xff) != SQLITE_BUSY || attempt >= 5) {
            rollback();
            fail(rc, QStringLiteral("COMMIT"));
        }
        QThread::msleep(50 * (attempt + 1));
    }
    depth_ = 0;
    for (; pendingReleases_ > 0; --pendingReleases_)
        releaseLease();
    if (wrote_) {
        wrote_ = false;
        ++localChanges_;
        Q_EMIT changed();
    }
}

void Database::rollback() {
    if (depth_ == 0) return;
    depth_ = 0;
    wrote_ = false;
    pendingReleases_ = 0;
    seq_.clear();
    if (server_)
        server_->rollbackWrite();
    else
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    schemaVersion_ = -1; // a rolled-back create or drop must not stay in the cache
}

void Database::markWritten() {
    wrote_ = true;
}

qint64 Database::lastInsertRowId() const {
    if (server_) return 0; // a server's insert gives its row id back itself (RETURNING)
    return sqlite3_last_insert_rowid(db_);
}

quint64 Database::changeStamp() {
    // Inside a read scope nobody can commit: the first answer holds for the whole scope.
    if (scopeHoldsLock_ && scopeStamp_) return *scopeStamp_;
    maybeRenewLease();
    qint64 dv = 0;
    if (server_) {
        dv = qint64(server_->changeCounter());
    } else if (sqlite3_step(dataVersion_) == SQLITE_ROW)
        dv = sqlite3_column_int64(dataVersion_, 0);
    sqlite3_reset(dataVersion_);
    const quint64 stamp = (quint64(dv) << 32) ^ localChanges_;
    if (scopeHoldsLock_) scopeStamp_ = stamp;
    return stamp;
}

quint64 Database::changeStampAfterCommit() {
    return changeStamp() ^ localChanges_ ^ (localChanges_ + 1);
}

// --- Schema -----------------------------------------------------------------------------------

void Database::ensureInternalTables() {
    if (internalTables_) return;
    exec(QString::fromLatin1(server_ ? kServerInternalTables : kInternalTables));
    internalTables_ = true;
}

void Database::loadSchemaIfStale() {
    // Another installation's schema change is a commit, and so is ours: while nothing was
    // committed since the last look, the schema is the same.
    const quint64 stamp = changeStamp();
    if (schemaVersion_ >= 0 && stamp == schemaStamp_) return;
    schemaStamp_ = stamp;
    int version = 0;
    if (server_) {
        version = int(server_->schemaVersion());
    } else {
        Statement st = prepare(QStringLiteral("PRAGMA schema_version"));
        if (st.step()) version = int(st.columnInt(0));
    }
    if (version == schemaVersion_) return;
    schema_.clear();
    internalTables_ = false;
    QStringList names;
    if (server_) {
        names = server_->tableNames();
    } else {
        Statement st = prepare(QStringLiteral("SELECT name FROM sqlite_master WHERE type='table'"));
        while (st.step())
            names << st.column(0).toString();
    }
    internalTables_ = names.contains(QStringLiteral("_pelk_fields")) &&
                      names.contains(QStringLiteral("_pelk_tablelocks"));
    for (const QString& n : std::as_const(names)) {
        if (n.startsWith(QLatin1String("_pelk_")) || n.startsWith(QLatin1String("sqlite_")))
            continue;
        TableDef def;
        def.name = n;
        if (internalTables_) {
            Statement st = prepare(QStringLiteral(
                "SELECT name, type, size, required FROM _pelk_fields WHERE tbl=?1 ORDER BY pos"));
            st.bind(1, n.toLower());
            while (st.step()) {
                FieldDef f;
                f.name = st.column(0).toString();
                f.type = parseTypeWord(st.column(1).toString()).value_or(FieldType::Alpha);
                f.size = int(st.columnInt(2));
                f.required = st.columnInt(3) != 0;
                def.fields << f;
            }
            Statement ix = prepare(QStringLiteral(
                "SELECT name, fields, is_primary FROM _pelk_indexes WHERE tbl=?1 ORDER BY pos"));
            ix.bind(1, n.toLower());
            while (ix.step())
                def.indexes << IndexDef{ix.column(0).toString(),
                                        ix.column(1).toString().split(u';', Qt::SkipEmptyParts),
                                        ix.columnInt(2) != 0};
        }
        if (def.fields.isEmpty()) {
            // A table made by other means: take its columns as they are.
            QList<std::pair<QString, QString>> columns;
            if (server_) {
                columns = server_->columnsOf(n);
            } else {
                Statement st =
                    prepare(QStringLiteral("SELECT name, type FROM pragma_table_info(?1)"));
                st.bind(1, n);
                while (st.step())
                    columns.append({st.column(0).toString(), st.column(1).toString()});
            }
            for (const auto& [name, type] : std::as_const(columns)) {
                const QString t = type.toUpper();
                FieldDef f{name, FieldType::Alpha, 255, false};
                if (t.contains(QLatin1String("INT")))
                    f = {f.name, FieldType::LongInt, 0, false};
                else if (t.contains(QLatin1String("REAL")) || t.contains(QLatin1String("FLOA")) ||
                         t.contains(QLatin1String("DOUB")))
                    f = {f.name, FieldType::Number, 0, false};
                else if (t.contains(QLatin1String("BLOB")))
                    f = {f.name, FieldType::Graphic, 0, false};
                def.fields << f;
            }
        }
        schema_.insert(n.toLower(), def);
    }
    schemaVersion_ = version;
}

QStringList Database::tables() {
    loadSchemaIfStale();
    QStringList out;
    for (const auto& d : std::as_const(schema_))
        out << d.name;
    std::sort(out.begin(), out.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    return out;
}

bool Database::hasTable(const QString& name) {
    loadSchemaIfStale();
    return schema_.contains(key(name));
}

std::optional<TableDef> Database::tableDef(const QString& name) {
    loadSchemaIfStale();
    auto it = schema_.find(key(name));
    if (it == schema_.end()) return std::nullopt;
    return *it;
}

TableDef Database::requireTable(const QString& name) {
    auto d = tableDef(name);
    if (!d)
        throw EngineError(EngineError::Kind::MissingTable,
                          QStringLiteral("Tabela %1 nie istnieje %2.")
                              .arg(bareTableName(name), inLocation(folder_)),
                          bareTableName(name));
    return *d;
}

namespace {

void validate(const TableDef& def) {
    auto bad = [&](const QString& why) {
        throw EngineError(EngineError::Kind::BadValue,
                          QStringLiteral("Niepoprawna definicja tabeli %1: %2.").arg(def.name, why),
                          def.name);
    };
    if (def.name.isEmpty() || def.name.startsWith(QLatin1String("_pelk_"), Qt::CaseInsensitive) ||
        def.name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive))
        bad(QStringLiteral("niedozwolona nazwa"));
    // Quoting makes any name safe, but a name with quotes, blanks or semicolons is never meant
    // and breaks the texts (filters, local SQL, listings) that name tables and indexes.
    const auto plainName = [](const QString& n) {
        return std::all_of(n.cbegin(), n.cend(),
                           [](QChar c) { return c.isLetterOrNumber() || c == u'_'; });
    };
    if (!plainName(def.name))
        bad(QStringLiteral("nazwa może zawierać tylko litery, cyfry i znak \"_\""));
    if (def.fields.isEmpty()) bad(QStringLiteral("brak pól"));
    int autoincs = 0;
    for (int i = 0; i < def.fields.size(); ++i) {
        const auto& f = def.fields[i];
        if (f.name.trimmed().isEmpty()) bad(QStringLiteral("pole bez nazwy"));
        if (f.name.contains(u';') || f.name.contains(u'"'))
            bad(QStringLiteral("niedozwolona nazwa pola %1").arg(f.name));
        if (def.fieldIndex(f.name) != i)
            bad(QStringLiteral("pole %1 występuje dwa razy").arg(f.name));
        if (f.type == FieldType::Alpha && (f.size < 1 || f.size > 255))
            bad(QStringLiteral("pole %1 typu alpha musi mieć rozmiar od 1 do 255").arg(f.name));
        if (f.type == FieldType::AutoInc) ++autoincs;
    }
    if (autoincs > 1) bad(QStringLiteral("więcej niż jedno pole autoinc"));
    int primaries = 0;
    for (int i = 0; i < def.indexes.size(); ++i) {
        const auto& ix = def.indexes[i];
        if (ix.primary) ++primaries;
        if (ix.name.trimmed().isEmpty()) bad(QStringLiteral("indeks bez nazwy"));
        if (!plainName(ix.name))
            bad(QStringLiteral("nazwa indeksu %1 może zawierać tylko litery, cyfry i znak \"_\"")
                    .arg(ix.name));
        for (int j = 0; j < i; ++j)
            if (def.indexes[j].name.compare(ix.name, Qt::CaseInsensitive) == 0)
                bad(QStringLiteral("indeks %1 występuje dwa razy").arg(ix.name));
        if (ix.fields.isEmpty()) bad(QStringLiteral("indeks %1 nie ma pól").arg(ix.name));
        for (const auto& fn : ix.fields) {
            const FieldDef* f = def.field(fn);
            if (!f)
                bad(QStringLiteral("indeks %1 wskazuje nieistniejące pole %2").arg(ix.name, fn));
            if (f->type == FieldType::Memo || f->type == FieldType::Graphic)
                bad(QStringLiteral("pole %1 typu %2 nie może być w indeksie")
                        .arg(fn, typeWord(f->type)));
        }
    }
    if (primaries > 1) bad(QStringLiteral("więcej niż jeden indeks główny"));
}

} // namespace

void Database::createTable(const TableDef& def, bool replace) {
    validate(def);
    transaction([&] {
        ensureInternalTables();
        if (hasTable(def.name)) {
            if (!replace)
                throw EngineError(
                    EngineError::Kind::BadValue,
                    QStringLiteral("Tabela %1 już istnieje %2.").arg(def.name, inLocation(folder_)),
                    def.name);
            dropTable(def.name);
        }
        const FieldDef* rowidField = server_ ? nullptr : rowidAlias(def);
        QStringList cols;
        if (server_) cols << serverRowIdColumn();
        for (const auto& f : def.fields) {
            if (&f == rowidField)
                cols << quoted(f.name) + QStringLiteral(" INTEGER PRIMARY KEY");
            else if (server_)
                cols << serverColumns(f);
            else
                cols << quoted(f.name) + u' ' + sqlColumnType(f.type);
        }
        schemaVersion_ = -1; // the cache must not outlive the change, even inside this transaction
        exec(QStringLiteral("CREATE TABLE %1 (%2)")
                 .arg(quoted(def.name), cols.join(QStringLiteral(", "))));
        if (server_) {
            exec(serverChangeTriggerSql(def));
            server_->noteSchemaChange();
        }
        for (const auto& [name, sql] : indexStatements(def, server_ != nullptr))
            exec(sql);
        int pos = 0;
        for (const auto& ix : def.indexes) {
            Statement st = prepare(QStringLiteral("INSERT INTO _pelk_indexes(tbl, pos, name, "
                                                  "fields, is_primary) VALUES(?1,?2,?3,?4,?5)"));
            st.bindAll(
                  {def.name.toLower(), pos++, ix.name, ix.fields.join(u';'), ix.primary ? 1 : 0})
                .run();
        }
        pos = 0;
        for (const auto& f : def.fields) {
            Statement st = prepare(QStringLiteral("INSERT INTO _pelk_fields(tbl, pos, name, type, "
                                                  "size, required) VALUES(?1,?2,?3,?4,?5,?6)"));
            st.bindAll(
                  {def.name.toLower(), pos++, f.name, typeWord(f.type), f.size, f.required ? 1 : 0})
                .run();
        }
        markWritten();
    });
    schemaVersion_ = -1;
}

void Database::dropTable(const QString& name) {
    const TableDef def = requireTable(name);
    if (auto by = tableLockedBy(def.name))
        throw EngineError(
            EngineError::Kind::Locked,
            QStringLiteral("Tabela %1 jest używana na wyłączność przez użytkownika %2.")
                .arg(def.name, *by),
            def.name);
    transaction([&] {
        ensureInternalTables();
        schemaVersion_ = -1;
        exec(QStringLiteral("DROP TABLE %1").arg(quoted(def.name)));
        if (server_) server_->noteSchemaChange();
        for (auto it = seq_.begin(); it != seq_.end();)
            it = it.key().startsWith(def.name.toLower() + QChar(0x1f)) ? seq_.erase(it)
                                                                       : std::next(it);
        for (const char* sql :
             {"DELETE FROM _pelk_fields WHERE tbl=?1", "DELETE FROM _pelk_indexes WHERE tbl=?1",
              "DELETE FROM _pelk_seq WHERE tbl=?1", "DELETE FROM _pelk_locks WHERE tbl=?1",
              "DELETE FROM _pelk_tablelocks WHERE tbl=?1"}) {
            Statement st = prepare(QString::fromLatin1(sql));
            st.bind(1, def.name.toLower()).run();
        }
        markWritten();
    });
    schemaVersion_ = -1;
}

void Database::emptyTable(const QString& name) {
    const TableDef def = requireTable(name);
    transaction([&] {
        ensureInternalTables();
        Statement st = prepare(
            QStringLiteral(
                "SELECT o.\"user\" FROM _pelk_locks l JOIN _pelk_owners o ON o.owner=l.owner "
                "WHERE l.tbl=?1 AND l.owner<>?2 AND ") +
            aliveSql(QStringLiteral("o"), 3) + QStringLiteral(" LIMIT 1"));
        st.bindAll({def.name.toLower(), ownerId_, now()});
        if (st.step())
            throw EngineError(
                EngineError::Kind::Locked,
                QStringLiteral("Nie można opróżnić tabeli %1: rekord jest zablokowany przez "
                               "użytkownika %2.")
                    .arg(def.name, st.column(0).toString()),
                def.name);
        exec(QStringLiteral("DELETE FROM %1").arg(quoted(def.name)));
        Statement del = prepare(QStringLiteral("DELETE FROM _pelk_locks WHERE tbl=?1"));
        del.bind(1, def.name.toLower()).run();
        markWritten();
    });
}

// --- Autoincrement ---------------------------------------------------------------------------

// Counters are read once per write transaction, counted in memory and written back when it
// commits: a bulk load then costs one counter write instead of one per row.
qint64& Database::seqSlot(const QString& table, const QString& field) {
    const QString k = key(table) + QChar(0x1f) + field.toLower();
    auto it = seq_.find(k);
    if (it == seq_.end()) {
        ensureInternalTables();
        Statement st =
            prepare(QStringLiteral("SELECT seq FROM _pelk_seq WHERE tbl=?1 AND field=?2"));
        st.bindAll({key(table), field.toLower()});
        it = seq_.insert(k, st.step() ? st.columnInt(0) : 0);
    }
    return *it;
}

qint64 Database::takeAutoInc(const QString& table, const QString& field) {
    if (!inTransaction()) {
        qint64 v = 0;
        transaction([&] { v = takeAutoInc(table, field); });
        return v;
    }
    return ++seqSlot(table, field);
}

void Database::noteAutoInc(const QString& table, const QString& field, qint64 value) {
    if (!inTransaction()) {
        transaction([&] { noteAutoInc(table, field, value); });
        return;
    }
    qint64& slot = seqSlot(table, field);
    slot = std::max(slot, value);
}

void Database::flushAutoInc() {
    for (auto it = seq_.cbegin(); it != seq_.cend(); ++it) {
        const QStringList parts = it.key().split(QChar(0x1f));
        Statement st = prepare(QStringLiteral(
            "INSERT INTO _pelk_seq(tbl, field, seq) VALUES(?1, ?2, ?3) "
            "ON CONFLICT(tbl, field) DO UPDATE SET seq = CASE WHEN excluded.seq > _pelk_seq.seq "
            "THEN excluded.seq ELSE _pelk_seq.seq END"));
        st.bindAll({parts[0], parts[1], it.value()}).run();
    }
    seq_.clear();
}

// --- Locks ------------------------------------------------------------------------------------

void Database::renewLease() {
    auto write = [&] {
        ensureInternalTables();
        Statement st = prepare(QStringLiteral(
            "INSERT INTO _pelk_owners(owner, \"user\", host, pid, expires) VALUES(?1,?2,?3,?4,?5) "
            "ON CONFLICT(owner) DO UPDATE SET expires=excluded.expires, "
            "\"user\"=excluded.\"user\""));
        st.bindAll({ownerId_, userName(), QSysInfo::machineHostName(),
                    server_ ? server_->sessionToken() : qint64(QCoreApplication::applicationPid()),
                    now() + kLeaseSeconds})
            .run();
    };
    if (inTransaction())
        write();
    else
        transaction(write);
    leaseRenewedAt_ = now();
}

void Database::maybeRenewLease() {
    if (locksHeld_ > 0 && !inTransaction() && readDepth_ == 0 &&
        now() - leaseRenewedAt_ > kLeaseSeconds / 3)
        renewLease();
}

void Database::keepLeaseAlive() {
    if (keptAlive_) return;
    keptAlive_ = true;
    renewLease();
    holdLease();
}

void Database::holdLease() {
    ++locksHeld_;
    // Modal dialogs pause the main window's re-read, so the lease has a timer of its own.
    if (!leaseTimer_ && QCoreApplication::instance()) {
        leaseTimer_ = new QTimer(this);
        leaseTimer_->setInterval(kLeaseSeconds * 1000 / 3);
        connect(leaseTimer_, &QTimer::timeout, this, [this] {
            try {
                maybeRenewLease();
            } catch (const EngineError&) {
                // A busy database: the next tick tries again, well within the lease.
            }
        });
    }
    if (leaseTimer_ && !leaseTimer_->isActive()) leaseTimer_->start();
}

void Database::releaseLease() {
    if (locksHeld_ > 0) --locksHeld_;
    if (locksHeld_ == 0 && leaseTimer_) leaseTimer_->stop();
}

bool Database::ownerAlive(const QString& owner) {
    if (owner == ownerId_) return true;
    loadSchemaIfStale();
    if (!internalTables_) return false;
    Statement st = prepare(QStringLiteral("SELECT 1 FROM _pelk_owners o WHERE o.owner=?1 AND ") +
                           aliveSql(QStringLiteral("o"), 2));
    st.bindAll({owner, now()});
    return st.step();
}

std::optional<QString> Database::recordLockedBy(const QString& table, qint64 rowid) {
    loadSchemaIfStale();
    if (!internalTables_) return std::nullopt;
    Statement st = prepare(
        QStringLiteral(
            "SELECT l.owner, o.\"user\" FROM _pelk_locks l JOIN _pelk_owners o ON o.owner=l.owner "
            "WHERE l.tbl=?1 AND l.rid=?2 AND l.owner<>?3 AND ") +
        aliveSql(QStringLiteral("o"), 4));
    st.bindAll({key(table), rowid, ownerId_, now()});
    if (!st.step()) return std::nullopt;
    QString u = st.column(1).toString();
    return u.isEmpty() ? QStringLiteral("?") : u;
}

void Database::lockRecord(const QString& table, qint64 rowid) {
    transaction([&] {
        if (auto by = recordLockedBy(table, rowid))
            throw EngineError(
                EngineError::Kind::Locked,
                QStringLiteral("Rekord w tabeli %1 jest zablokowany przez innego użytkownika (%2).")
                    .arg(bareTableName(table), *by),
                bareTableName(table));
        if (leaseRenewedAt_ == 0 || now() - leaseRenewedAt_ > kLeaseSeconds / 3) renewLease();
        Statement st =
            prepare(QStringLiteral("INSERT INTO _pelk_locks(tbl, rid, owner) VALUES(?1,?2,?3) "
                                   "ON CONFLICT(tbl, rid) DO UPDATE SET owner=excluded.owner"));
        st.bindAll({key(table), rowid, ownerId_}).run();
    });
    holdLease();
}

void Database::unlockRecord(const QString& table, qint64 rowid) {
    auto write = [&] {
        ensureInternalTables();
        Statement st =
            prepare(QStringLiteral("DELETE FROM _pelk_locks WHERE tbl=?1 AND rid=?2 AND owner=?3"));
        st.bindAll({key(table), rowid, ownerId_}).run();
    };
    if (inTransaction()) {
        write();
        ++pendingReleases_; // the lock ends only if the transaction commits
    } else {
        transaction(write);
        releaseLease();
    }
}

std::optional<QString> Database::tableLockedBy(const QString& table) {
    loadSchemaIfStale();
    if (!internalTables_) return std::nullopt;
    // Exclusive use is rare: remember that nobody had any, until the next commit anywhere.
    const quint64 stamp = changeStamp();
    if (stamp == noTableLocksStamp_) return std::nullopt;
    {
        Statement any =
            prepare(QStringLiteral(
                        "SELECT 1 FROM _pelk_tablelocks l JOIN _pelk_owners o ON o.owner=l.owner "
                        "WHERE l.owner<>?1 AND ") +
                    aliveSql(QStringLiteral("o"), 2) + QStringLiteral(" LIMIT 1"));
        any.bindAll({ownerId_, now()});
        if (!any.step()) {
            noTableLocksStamp_ = stamp;
            return std::nullopt;
        }
    }
    Statement st = prepare(
        QStringLiteral(
            "SELECT o.\"user\" FROM _pelk_tablelocks l JOIN _pelk_owners o ON o.owner=l.owner "
            "WHERE l.tbl=?1 AND l.owner<>?2 AND ") +
        aliveSql(QStringLiteral("o"), 3));
    st.bindAll({key(table), ownerId_, now()});
    if (!st.step()) return std::nullopt;
    QString u = st.column(0).toString();
    return u.isEmpty() ? QStringLiteral("?") : u;
}

void Database::lockTable(const QString& table) {
    transaction([&] {
        if (auto by = tableLockedBy(table))
            throw EngineError(
                EngineError::Kind::Locked,
                QStringLiteral("Tabela %1 jest używana na wyłączność przez użytkownika %2.")
                    .arg(bareTableName(table), *by),
                bareTableName(table));
        Statement st = prepare(
            QStringLiteral(
                "SELECT o.\"user\" FROM _pelk_locks l JOIN _pelk_owners o ON o.owner=l.owner "
                "WHERE l.tbl=?1 AND l.owner<>?2 AND ") +
            aliveSql(QStringLiteral("o"), 3) + QStringLiteral(" LIMIT 1"));
        st.bindAll({key(table), ownerId_, now()});
        if (st.step())
            throw EngineError(EngineError::Kind::Locked,
                              QStringLiteral("Tabela %1 jest używana przez użytkownika %2.")
                                  .arg(bareTableName(table), st.column(0).toString()),
                              bareTableName(table));
        renewLease();
        Statement ins =
            prepare(QStringLiteral("INSERT INTO _pelk_tablelocks(tbl, owner) VALUES(?1,?2) "
                                   "ON CONFLICT(tbl) DO UPDATE SET owner=excluded.owner"));
        ins.bindAll({key(table), ownerId_}).run();
    });
    holdLease();
}

void Database::unlockTable(const QString& table) {
    auto write = [&] {
        ensureInternalTables();
        Statement st =
            prepare(QStringLiteral("DELETE FROM _pelk_tablelocks WHERE tbl=?1 AND owner=?2"));
        st.bindAll({key(table), ownerId_}).run();
    };
    if (inTransaction()) {
        write();
        ++pendingReleases_; // the lock ends only if the transaction commits
    } else {
        transaction(write);
        releaseLease();
    }
}

} // namespace engine
