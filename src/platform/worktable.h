#pragma once
#include "engine/fields.h"
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>

namespace engine {
class Table;
}

namespace platform {

class WorkTables;

// The working table of one dialog that edits a set of rows as a whole. The dialog creates it when
// it opens (create()), edits it through table(), reads it back with rows() and writes the result
// to the catalogue with replaceRows(). create() again replaces it by a new one under a new name
// (the old one is deleted); remove() or the destructor deletes it, so no path out of the dialog
// leaves it behind in TMP.
class WorkTable {
public:
    // `prefix` is the table's name prefix ("WWG", "skl" ...); `layout` gives its fields and
    // indexes (its name is ignored).
    WorkTable(const QString& tempFolder, QString prefix, engine::TableDef layout);
    ~WorkTable();
    WorkTable(const WorkTable&) = delete;
    WorkTable& operator=(const WorkTable&) = delete;

    // A new, empty working table under a freshly drawn name, with table() opened on it in the
    // order of its primary index. The table it replaces is deleted first. Throws EngineError.
    void create();
    // Closes table() and deletes the working table; nothing when there is none. Never throws: it
    // runs on the way out of dialogs, also after a failure.
    void remove();

    bool exists() const { return !name_.isEmpty(); }
    QString name() const { return name_; }
    QString folder() const;
    engine::Table& table(); // only while exists()

    // Every row, in the order of `indexFields` ("A;B"; empty: the primary index), as field name
    // (as the layout spells it) -> typed value. table() does not move.
    QList<QVariantMap> rows(const QString& indexFields = {});

private:
    std::unique_ptr<WorkTables> tables_;
    QString prefix_;
    engine::TableDef layout_;
    QString name_;
    std::unique_ptr<engine::Table> table_;
};

// The rows of one catalogue table that a dialog replaces as a whole: every row whose
// `matchFields` equal `matchValues` is deleted, then `rows` (field name -> value) are added.
struct RowReplacement {
    QString table;
    QStringList matchFields;
    QVariantList matchValues;
    QList<QVariantMap> rows;
};

// Writes the replacements into the tables of `folder` in one transaction of that folder's
// database: all of them or, when anything fails (a row another installation holds, a full disk),
// none, and the engine error is thrown.
void replaceRows(const QString& folder, const QList<RowReplacement>& replacements);

} // namespace platform
