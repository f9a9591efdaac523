#pragma once
#include "engine/fields.h"
#include <QVariantList>
#include <functional>
#include <optional>

namespace engine {

// A piece of SQLite text with its positional parameters ("?"), values in their stored form.
struct SqlFragment {
    QString sql;
    QVariantList params;
};

struct FilterColumn {
    QString sql;    // the column as written in SQLite text, e.g. "Towar"."Tow_Nazwa"
    FieldDef field; // its definition
};
using FilterResolver = std::function<std::optional<FilterColumn>(const QString& fieldName)>;

// Turns a filter expression of the table objects (`tow_grupa_nr=4 and tow_nazwa = 'ŚRUBA*'`,
// `not Dok_Zaplacono`, `Dok_Data_Wyst>=01-01-2024`) into a WHERE condition. Throws
// EngineError(BadFilter) naming the expression for anything it does not accept.
SqlFragment translateFilter(const QString& expression, const QString& tableName,
                            const FilterResolver& resolve);

} // namespace engine
