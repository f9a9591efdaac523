#pragma once
#include <QVariantList>

namespace engine {

// Rows written into one table in bulk (Database::bulkInsert): each row as it was read from
// another catalogue, its row id kept, without the checks and the reading back a post does.
class BulkInsert {
public:
    virtual ~BulkInsert() = default;
    // A row's id and its values in stored form (values.h), in the order of the table's fields.
    virtual void add(qint64 rowid, const QVariantList& values) = 0;
    // Writes what is left and builds the table's indexes; throws EngineError (a unique index
    // meeting a duplicate key, a value the database refuses). Dropped unfinished, the rows
    // written so far stand only until the transaction is rolled back, which it then has to be.
    virtual void finish() = 0;
};

} // namespace engine
