#include "store/itemdelete.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"

namespace store {

namespace {

// Where an item's own rows point at it.
struct OwnRows {
    const char* table;
    const char* field;
};
const OwnRows kOwnRows[] = {
    {"Opis", "Opis_Tow_Nr"},     {"Cena", "Cena_Tow_Nr"},        {"Grafika", "Grafika_Tow_Nr"},
    {"Sklada", "Sklada_Tow_Nr"}, {"Sklada", "Sklada_Nr_Czesci"}, {"Zamienne", "Zam_Tow_Nr"},
    {"Zamienne", "Zam_Nr_Zam"},
};

void removeRows(const QString& folder, const OwnRows& rows, qint64 itemNr) {
    engine::Table t(folder, QLatin1String(rows.table));
    t.setFilter(QStringLiteral("%1 = %2").arg(QLatin1String(rows.field)).arg(itemNr));
    t.setFiltered(true);
    t.open();
    // Each delete goes through the record locks, so a row another installation is editing stops
    // the whole deletion instead of vanishing under its editor.
    while (!t.isEmpty())
        t.remove();
}

} // namespace

void deleteItem(engine::Table& items) {
    if (!items.isOpen() || items.isEmpty())
        throw engine::EngineError(engine::EngineError::Kind::State,
                                  QStringLiteral("Nie wskazano pozycji do usunięcia."),
                                  items.tableName());
    const qint64 itemNr = items.value(QStringLiteral("Tow_nr")).toLongLong();
    const QString folder = items.databaseName();
    auto db = items.database();
    try {
        db->transaction([&] {
            if (itemNr > 0)
                for (const OwnRows& rows : kOwnRows)
                    removeRows(folder, rows, itemNr);
            // Last, so that a refusal here still finds every other row in place to roll back.
            items.remove();
        });
    } catch (const engine::EngineError&) {
        // The item may have been taken off the cursor before the commit failed: read again
        // what is really there.
        if (items.isOpen() && items.state() == engine::Table::State::Browse) {
            try {
                items.refresh();
            } catch (const engine::EngineError&) {
            }
        }
        throw;
    }
}

} // namespace store
