#pragma once
#include "engine/fields.h"
#include <QStringList>
#include <QVariant>
#include <memory>
#include <vector>

namespace engine {
class Database;
class Statement;
} // namespace engine

namespace sample {

class RowWriter;

// Bulk writing into one folder: rows go straight into prepared INSERTs inside one transaction
// per family of tables, which is what makes a million items a matter of a minute. Table objects
// would re-read every posted row, and a commit every few thousand rows would copy the growing
// index pages into the rollback journal again and again (measured: 2.5 times slower).
class BulkSession {
public:
    explicit BulkSession(engine::Database& db);
    ~BulkSession(); // rolls back what was not committed
    BulkSession(const BulkSession&) = delete;
    BulkSession& operator=(const BulkSession&) = delete;

    // A writer for one table, kept by the session, which moves the table's autoinc counter past
    // the rows written at every commit.
    RowWriter& writer(const QString& table, const QStringList& fields);
    void commit(); // what was written so far; the session goes on
    void finish(); // commits and ends the session
    engine::Database& database() { return db_; }

private:
    engine::Database& db_;
    std::vector<std::unique_ptr<RowWriter>> writers_;
    bool open_ = false;
};

// Appends rows to one table. The values are given for `fields` in that order, in any form the
// engine accepts for the field (see engine::toStorage). The table's autoinc field is filled in
// and its number returned.
class RowWriter {
public:
    RowWriter(BulkSession& session, const QString& table, const QStringList& fields);
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    qint64 add(const QVariantList& values);
    qint64 count() const { return count_; }
    QString table() const { return def_.name; }

private:
    friend class BulkSession;
    void noteCounter();

    BulkSession& session_;
    engine::TableDef def_;
    QString sql_;
    std::vector<engine::FieldDef> fields_; // the given fields, autoinc excluded
    QString autoField_;
    qint64 next_ = 0; // 0: not taken yet
    qint64 count_ = 0;
};

} // namespace sample
