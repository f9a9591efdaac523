#pragma once
#include <QString>
#include <cstdint>
#include <sqlite3.h>
#include <stdexcept>
#include <string>
#include <string_view>

// The yardstick: what a careful programmer gets from the sqlite3 C API alone on the same file,
// with the same collation and functions registered (so the same indexes serve the same ORDER
// BY), the same connection settings, and prepared statements kept and re-used.
namespace engine::bench {

class RawDb {
public:
    explicit RawDb(const QString& file);
    ~RawDb();
    RawDb(const RawDb&) = delete;
    RawDb& operator=(const RawDb&) = delete;

    sqlite3* handle() const { return db_; }
    void exec(const char* sql);
    [[noreturn]] void fail(const char* what) const;

private:
    sqlite3* db_ = nullptr;
};

class RawStmt {
public:
    RawStmt(RawDb& db, std::string_view sql);
    ~RawStmt() { sqlite3_finalize(st_); }
    RawStmt(const RawStmt&) = delete;
    RawStmt& operator=(const RawStmt&) = delete;

    RawStmt& bind(int i, std::int64_t v) {
        sqlite3_bind_int64(st_, i, v);
        return *this;
    }
    RawStmt& bind(int i, double v) {
        sqlite3_bind_double(st_, i, v);
        return *this;
    }
    // The text must outlive the statement's use (no copy, as a careful caller would do).
    RawStmt& bind(int i, std::string_view utf8) {
        sqlite3_bind_text(st_, i, utf8.data(), int(utf8.size()), SQLITE_STATIC);
        return *this;
    }
    bool step() {
        const int rc = sqlite3_step(st_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) db_->fail(sqlite3_sql(st_));
        return false;
    }
    void reset() { sqlite3_reset(st_); }
    std::int64_t integer(int col) const { return sqlite3_column_int64(st_, col); }
    std::string text(int col) const {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(st_, col));
        return p ? std::string(p, size_t(sqlite3_column_bytes(st_, col))) : std::string();
    }
    // Reads every column of the current row the cheapest way the C API allows (text stays
    // UTF-8 inside SQLite); returns a number that depends on all of them.
    std::uint64_t consumeRow() const {
        std::uint64_t sum = 0;
        const int n = sqlite3_column_count(st_);
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(st_, i)) {
            case SQLITE_INTEGER:
                sum += std::uint64_t(sqlite3_column_int64(st_, i));
                break;
            case SQLITE_FLOAT:
                sum += std::uint64_t(sqlite3_column_double(st_, i));
                break;
            case SQLITE_TEXT:
                sum += std::uint64_t(sqlite3_column_text(st_, i)[0]) +
                       std::uint64_t(sqlite3_column_bytes(st_, i));
                break;
            default:
                break;
            }
        }
        return sum;
    }
    sqlite3_stmt* handle() const { return st_; }

private:
    RawDb* db_;
    sqlite3_stmt* st_ = nullptr;
};

} // namespace engine::bench
