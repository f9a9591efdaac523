#pragma once
#include <QVariant>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct sqlite3_stmt;

namespace engine {

class Statement;

// The rows a query has read, packed: a row's values one after another, each a type byte and
// its bytes (text as UTF-8, as SQLite gives it), in large blocks. Several hundred thousand rows
// of a wide table take a fraction of what rows of QVariants would, and read back as the same
// values: integers as qint64, reals as double, text as QString, blobs as QByteArray, NULL as
// an invalid QVariant.
// One row packed the same way, for a cursor that holds a few rows and reads few of their values.
// Rows read by one statement share one block, so reading a row costs no allocation of its own.
class PackedRow {
public:
    using Block = std::shared_ptr<std::string>;
    // Appends `columns` columns of the statement's current row from column `first` on to the
    // block, and stands for them.
    void assign(const Block& block, sqlite3_stmt* stmt, int first, int columns);
    // The same for any statement: SQLite's read directly, a server's through its values.
    void assign(const Block& block, const Statement& stmt, int first, int columns);
    bool empty() const { return !block_; }
    size_t byteSize() const { return size_; }
    QVariant value(int column) const;
    std::vector<QVariant> values(int columns) const;

private:
    const char* data() const { return block_->data() + offset_; }
    Block block_;
    std::uint32_t offset_ = 0;
    std::uint32_t size_ = 0;
};

class PackedRows {
public:
    // Appends the statement's current row (its first `columns` columns).
    void append(sqlite3_stmt* stmt, int columns);
    void append(const Statement& stmt, int columns);
    void appendEmpty(int columns); // a row of `columns` NULLs
    size_t size() const { return at_.size(); }
    bool empty() const { return at_.empty(); }
    // Lets go of every row; the first block stays for the rows to come.
    void clear();
    // Lets go of the memory too.
    void release();

    QVariant value(size_t row, int column) const;
    std::vector<QVariant> row(size_t row, int columns) const;

private:
    struct Where {
        std::uint32_t block;
        std::uint32_t offset;
    };
    const char* start(size_t row) const;
    void place(); // stores the packed row in scratch_

    std::vector<std::string> blocks_; // each filled within the capacity reserved for it
    std::vector<Where> at_;
    std::string scratch_; // the row being packed, before it is placed
};

} // namespace engine
