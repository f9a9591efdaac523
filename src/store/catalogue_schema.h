#pragma once
#include "engine/fields.h"
#include <QList>
#include <QString>

namespace store {

// The tables of a catalogue folder, in the order they are created. Every catalogue receives the
// full set, the default catalogue too.
const QList<engine::TableDef>& catalogueTables();

// One of them by name ("Towar" or "Towar.db", any letter case); nullptr for a name that is none.
const engine::TableDef* catalogueTable(const QString& name);

// Creates every catalogue table in `folder` (which must exist), replacing tables of the same
// name, and writes the display configuration row. No other table receives rows. Throws
// engine::EngineError on the first table that cannot be created; the tables before it remain.
// On success the caller tells the user with kCatalogueCreatedMessage.
void createCatalogue(const QString& folder);

// Shown (caption "Uwaga !", OK) when createCatalogue succeeded.
extern const QString kCatalogueCreatedMessage;

} // namespace store
