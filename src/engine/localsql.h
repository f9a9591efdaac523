#pragma once
#include "engine/fields.h"
#include <QVariantList>
#include <functional>
#include <optional>

namespace engine {

struct LocalSqlQuery {
    QString sql;             // SQLite text; every literal is a "?" parameter
    QVariantList params;     // in stored form (see values.h)
    QList<FieldDef> columns; // result columns: names as the header shows them, with their types
    // When every result row is one whole row of one table (`T.*`, in a defined order): that
    // table, and the same query giving the rows' ids in the same order, so that a result of
    // any size can be kept as ids and its rows read when shown. Empty otherwise.
    QString rowTable;
    QString idSql; // takes `params` like `sql`
};

using TableLookup = std::function<std::optional<TableDef>(const QString& bareName)>;

// Translates a SELECT in the local SQL dialect of the program's queries into SQLite text.
// Throws EngineError(BadSql) for anything outside the dialect.
LocalSqlQuery translateLocalSql(const QString& text, const TableLookup& lookup);

} // namespace engine
