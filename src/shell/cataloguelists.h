#pragma once
#include <QString>
#include <QStringList>

namespace store {
class MainState;
}

// The lists through which the user moves between catalogues: the list of known catalogue
// folders in the main folder's Lista.txt and the user's favourites in Bazy.db. Shared by the
// folder picker, the open-from-list dialog and the main window's favourites commands.
namespace shell {

// A folder as the program keeps it: absolute (a relative one taken from `base`), cleaned, with
// symbolic links resolved as far as the folder exists. Backslashes of folders written on Windows
// count as separators. Empty for an empty text. A catalogue on a server (postgresql://...) is
// no path: it is kept as written, only trimmed.
QString expandedFolder(const QString& folder, const QString& base);
// Whether two folder texts name the same folder once both are expanded.
bool sameFolder(const QString& a, const QString& b, const QString& base);
// A catalogue's folder as the user sees it: in the platform's form; a server location as it is.
QString shownFolder(const QString& folder);

// The tables of the folder's database when it holds catalogue tables, sorted; empty for a folder
// without any (no database, another kind of database, an unreadable one). Never creates a
// database file. A catalogue on a server is asked through the engine as a folder is.
QStringList catalogueTableNames(const QString& folder);

// --- Lista.txt: one catalogue folder a line, UTF-8, lines ended by CR LF ---
// Blank lines are left out. A missing file is an empty list; `ok` (when given) turns false
// for a file that exists but cannot be read.
QStringList readCatalogueList(const QString& mainFolder, bool* ok = nullptr);
// Rewrites the file. A file that cannot be written is reported to the user; false then.
bool writeCatalogueList(const QString& mainFolder, const QStringList& lines);
// Appends `folder` (in the platform's form) unless a line already names the same folder.
// False only when the file could not be written (already reported).
bool addToCatalogueList(const QString& mainFolder, const QString& folder);

// --- Favourites: rows of the main window's TBazy (filtered to the user's rows after a login) ---
// Baza_Sciezka of every row in table order, for the favourites box.
QStringList favouriteFolders(store::MainState& state);
// Adds CurrentCatalogueName for CurrentUserNr unless a favourite names the same folder. Nothing
// for an empty name. True when a row was added.
bool addFavourite(store::MainState& state);
// Removes the favourites naming the folder of CurrentCatalogueName. True when any was removed.
bool removeFavourite(store::MainState& state);

} // namespace shell
