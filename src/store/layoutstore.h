#pragma once
#include "engine/fields.h"
#include <QHash>
#include <QSet>
#include <QString>
#include <utility>

namespace store {

// The main folder's table of remembered layouts: for each user (0 without login) and catalogue
// (empty for what belongs to no catalogue), texts under keys. Made when it is first written, so
// that main folders set up before it existed get it too.
extern const QString kLayoutTable; // "Uklad"
const engine::TableDef& layoutTable();

// One user's remembered layout, read once and written back in one transaction. The window sizes,
// columns and choices a user left behind are kept in the main folder with everything else, never
// in files of their own.
class LayoutStore {
public:
    LayoutStore(QString mainFolder, int userNr);

    // Reads the user's entries; a main folder without the table (or none at all) has none.
    // Throws engine::EngineError when the table cannot be read.
    void load();

    QString value(const QString& catalogue, const QString& key) const;
    bool contains(const QString& catalogue, const QString& key) const;
    // Kept in memory until save(); setting the value it already has changes nothing.
    void setValue(const QString& catalogue, const QString& key, const QString& value);

    bool changed() const { return !dirty_.isEmpty(); }
    // Writes the changed entries in one transaction, the table made first when missing. Throws
    // engine::EngineError; the changes stay to be written again then.
    void save();

    const QString& mainFolder() const { return mainFolder_; }
    int userNr() const { return userNr_; }

private:
    using Key = std::pair<QString, QString>; // catalogue, key
    QString mainFolder_;
    int userNr_;
    QHash<Key, QString> values_;
    QSet<Key> dirty_;
};

} // namespace store
