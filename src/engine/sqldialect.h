#pragma once
#include <QString>

namespace engine {

// The SQL a catalogue's database speaks: SQLite's for a folder, PostgreSQL's for a catalogue on
// a server. Text built by the engine (table cursors, filters, local SQL) is written for one.
enum class SqlDialect { Sqlite, Postgres };

// On a server the Polish text order is not the server's own: every text column has a companion
// column holding the engine's sort key of its value (bytes compared as bytes), written by the
// engine on every insert and update and used for ordering, ranges and comparisons.
inline QString sortKeyColumn(const QString& field) { return field + QStringLiteral("__k"); }

} // namespace engine
