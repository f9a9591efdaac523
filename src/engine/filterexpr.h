#pragma once
#include "engine/fields.h"
#include "engine/sqldialect.h"
#include <QVariantList>
#include <functional>
#include <optional>

namespace engine {

// A piece of SQL text with its positional parameters ("?"), values in their stored form (on a
// server, a text compared in the program's order binds its sort key, a QByteArray).
struct SqlFragment {
    QString sql;
    QVariantList params;
};

struct FilterColumn {
    QString sql;    // the column as written in SQL text, e.g. "Towar"."Tow_Nazwa"
    FieldDef field; // its definition
    // On a server, the sort key of the text (or date, kept as text there) as written in SQL
    // text. Left empty, a plain column ("Towar"."Tow_Nazwa") takes its companion
    // ("Towar"."Tow_Nazwa__k") and anything else pl_key() of itself.
    QString keySql = {};
};
using FilterResolver = std::function<std::optional<FilterColumn>(const QString& fieldName)>;

// Turns a filter expression of the table objects (`tow_grupa_nr=4 and tow_nazwa = 'ŚRUBA*'`,
// `not Dok_Zaplacono`, `Dok_Data_Wyst>=01-01-2024`) into a WHERE condition. Throws
// EngineError(BadFilter) naming the expression for anything it does not accept.
//
// On PostgreSQL texts are compared and "begins with" is decided on their sort keys (see
// sortkey.h), which give the program's order whatever the server's collation and let an index
// on the key column serve; the rows found are the same as on SQLite.
SqlFragment translateFilter(const QString& expression, const QString& tableName,
                            const FilterResolver& resolve, SqlDialect dialect = SqlDialect::Sqlite);

} // namespace engine
