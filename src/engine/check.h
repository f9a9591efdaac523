#pragma once
#include <QStringList>

namespace engine {

class Database;

// Everything wrong with a folder's database or a catalogue on a server, one Polish sentence per
// finding; empty when it is sound. SQLite's own integrity check runs on the engine's connection,
// where the collation the indexes are ordered by exists (a stock sqlite3 shell cannot check them),
// followed by the engine's bookkeeping: autoinc counters not below the highest key, no locks of
// dead holders. A catalogue on a server gets the engine's layout checked instead of the file
// (servercheck.h), then the same bookkeeping.
QStringList checkDatabase(Database& db);

} // namespace engine
