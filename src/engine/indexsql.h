#pragma once
#include "engine/fields.h"
#include <QList>
#include <QString>
#include <utility>

namespace engine {

// The autoinc field that is the row id of a folder's table: the only field of its primary index.
const FieldDef* rowidAlias(const TableDef& def);

// The indexes a table's definition asks for, as (quoted index name, CREATE INDEX statement),
// for a folder's SQLite file or for a server. A folder's primary index on the row id itself
// needs no statement.
QList<std::pair<QString, QString>> indexStatements(const TableDef& def, bool server);

} // namespace engine
