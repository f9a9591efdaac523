#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace paradox {

struct ImportOptions {
    QString source;          // the folder of the Paradox tables
    QString destination;     // the catalogue (or main) folder to write
    bool mainFolder = false; // the main folder's tables instead of a catalogue's
    bool dryRun = false;     // read everything, write nothing
    QString encoding;        // overrides the code page of the table headers
    bool replace = false;    // an existing catalogue in the destination may be replaced
};

// What became of one table of the layout.
struct TableReport {
    QString table;                // the layout's name, "Towar"
    QString file;                 // the source file read, empty when the source lacks the table
    QString encoding;             // the code page its text was read in
    qint64 rows = 0;              // rows read (and, unless a dry run, written)
    QStringList skippedFields;    // fields of the source the layout does not have
    QStringList missingFields;    // fields of the layout the source lacks (left empty)
    QStringList unreadableRows;   // "wiersz N: why"
    QStringList unreadableFields; // "Pole w wierszu N: why", left empty in a row kept
};

struct ImportReport {
    bool dryRun = false;
    QList<TableReport> tables;
    QStringList copiedFiles; // text files of the main folder taken along
    // Lines for the user: one per table, then what was skipped or could not be read.
    QStringList lines() const;
};

// Called as each table starts (0 rows done) and after each batch of its rows; returning false
// cancels the import (DEST stays as it was).
using Progress = std::function<bool(const QString& table, qint64 rowsDone, qint64 rowsTotal)>;

// Imports the Paradox tables of `options.source` as described for `pelkdb import-paradox`. The
// tables are written into a new folder beside the destination, one transaction each, and moved
// into place only when all succeeded; so any failure (a broken table, a cancel, a full disk)
// leaves the destination as it was. Throws engine::EngineError with a message for the user.
ImportReport importParadox(const ImportOptions& options, const Progress& progress = {});

// Whether `source` holds a table of a catalogue (or of the main folder) to import.
bool holdsTables(const QString& source, bool mainFolder);

// The message of an import cancelled through `progress`.
extern const QString kImportCancelledMessage;

} // namespace paradox
