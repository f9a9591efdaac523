#pragma once
#include <QStringList>

namespace engine {

class Database;

// What checkDatabase finds in a catalogue on a server, where the server keeps its own storage
// sound and what can go wrong is the engine's layout: the support functions and the state row
// gone, a defined table or column or index missing, a sort key that does not match its text
// (written by another program, or by hand). Appends one Polish sentence per finding, and the
// tables whose columns are all there, which the checks shared with a folder may then read, to
// `sound`. False when the engine's internal tables are not all there to go on with.
bool checkServerCatalogue(Database& db, QStringList& findings, QStringList& sound);

} // namespace engine
