#include "rawsqlite.h"
#include "engine/sqlfunctions.h"

namespace engine::bench {

RawDb::RawDb(const QString& file) {
    const QByteArray path = file.toUtf8();
    if (sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK)
        fail("open");
    sqlite3_busy_timeout(db_, 10000);
    registerSqlFunctions(db_);
    // The engine's connection settings, so that neither side wins by configuration alone.
    exec("PRAGMA journal_mode=DELETE");
    exec("PRAGMA synchronous=FULL");
    exec("PRAGMA case_sensitive_like=ON");
    exec("PRAGMA cache_size=-65536");
    exec("PRAGMA temp_store=MEMORY");
}

RawDb::~RawDb() {
    sqlite3_close_v2(db_);
}

void RawDb::exec(const char* sql) {
    if (sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) != SQLITE_OK) fail(sql);
}

void RawDb::fail(const char* what) const {
    throw std::runtime_error(std::string("sqlite: ") +
                             (db_ ? sqlite3_errmsg(db_) : "no connection") + " (" + what + ")");
}

RawStmt::RawStmt(RawDb& db, std::string_view sql) : db_(&db) {
    if (sqlite3_prepare_v3(db.handle(), sql.data(), int(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &st_, nullptr) != SQLITE_OK)
        db.fail(std::string(sql).c_str());
}

} // namespace engine::bench
