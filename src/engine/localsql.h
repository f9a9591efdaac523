#pragma once
#include "engine/fields.h"
#include "engine/sqldialect.h"
#include <QVariantList>
#include <functional>
#include <optional>

namespace engine {

struct LocalSqlQuery {
    QString sql;             // SQL text of the dialect asked for; every literal is a "?" parameter
    QVariantList params;     // in stored form (see values.h)
    QList<FieldDef> columns; // result columns: names as the header shows them, with their types
    // When every result row is one whole row of one table (`T.*`, in a defined order): that
    // table, and the same query giving the rows' ids in the same order, so that a result of
    // any size can be kept as ids and its rows read when shown. Empty otherwise.
    QString rowTable;
    QString idSql; // takes `params` like `sql`
};

using TableLookup = std::function<std::optional<TableDef>(const QString& bareName)>;

// Translates a SELECT in the local SQL dialect of the program's queries into SQLite's or
// PostgreSQL's text, finding the same rows in the same order on both. Throws
// EngineError(BadSql) for anything outside the dialect.
//
// On PostgreSQL: the tables are found through the search path (the catalogue's schema), each
// has its row id in a column "rowid" and each text column its sort key beside it (see
// sqldialect.h); the functions of pgfunctions.h are in the schema; parameters are bound with
// no type of their own, so that the server reads each as what it is compared with.
LocalSqlQuery translateLocalSql(const QString& text, const TableLookup& lookup,
                                SqlDialect dialect = SqlDialect::Sqlite);

} // namespace engine
