#pragma once
#include "engine/fields.h"
#include <QString>
#include <functional>
#include <memory>

namespace engine {
class Database;
}

namespace platform {

// Private working tables of the dialogs, in the main folder's TMP folder. A working table is
// named by a prefix ("WWG", "skl", "Cen", "TDok" ...) followed by the decimal digits of two random
// whole numbers below 999999; a name already taken is drawn again.
//
// Each working table is noted in the registry table of TMP together with its owner: the engine's
// owner id of this program's connection to TMP, whose lease is kept alive while the program runs.
// So the start-up clean-up can tell the leftovers of a crashed run (owner gone) from the tables of
// another installation working on the same main folder (owner alive), and removes only the former.
//
// The connection (and with it the owner id) lasts while any WorkTables object on the folder
// lives; the main window keeps one for the whole run, dialogs may make their own.
class WorkTables {
public:
    // Draws a number in 0 .. bound-1. Default: the program's random generator.
    using Random = std::function<quint32(quint32 bound)>;
    static constexpr quint32 kNumberBound = 999999;
    static const QString kRegistryTable; // "Robocze"

    explicit WorkTables(const QString& tempFolder, Random random = {});
    ~WorkTables();
    WorkTables(const WorkTables&) = delete;
    WorkTables& operator=(const WorkTables&) = delete;

    QString folder() const { return folder_; }

    // A name free at this moment (nothing is created).
    QString drawName(const QString& prefix);
    // Creates a working table with the fields and indexes of `layout` (its name is ignored) under
    // a freshly drawn name, noted with this program as its owner; returns the name. Creates the
    // TMP folder and its database when missing. Throws engine::EngineError.
    QString create(const QString& prefix, engine::TableDef layout);
    // Deletes a working table and its note; a table already gone is no error.
    void remove(const QString& name);
    // The start-up clean-up: deletes the noted working tables whose owner is gone. Returns how
    // many were deleted. Nothing happens when TMP holds no database yet.
    int removeLeftovers();

    // Owner noted for a working table; empty when it is not noted.
    QString ownerOf(const QString& name);

    std::shared_ptr<engine::Database> database(); // opens (creating) TMP's database

private:
    QString number();
    void ensureRegistry();

    QString folder_;
    Random random_;
    std::shared_ptr<engine::Database> db_;
};

} // namespace platform
