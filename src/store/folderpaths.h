#pragma once
#include <QString>

namespace store {

// Folders kept in the main folder's settings (the default catalogue, each user's last
// catalogue). A folder inside the main folder is kept relative to it, so that a main folder
// copied or restored elsewhere goes on using its own catalogues, not the original's.
// A location on a database server ("postgresql://...") is no folder and is kept as given.
QString storedFolder(const QString& folder, const QString& mainFolder);
bool serverLocation(const QString& folder);

struct FoundFolder {
    QString folder;     // absolute; empty when nothing was stored
    bool moved = false; // the stored folder is gone and a folder of the main folder stood in
};

// A stored folder as an absolute path; relative and absolute forms are both read. An absolute
// folder that no longer holds a database (asked of the engine) is looked for by its trailing parts
// under the main folder (the last folder, the last two, ...): the first that holds a database is
// taken. A server location is taken as it is.
FoundFolder foundFolder(const QString& stored, const QString& mainFolder);

} // namespace store
