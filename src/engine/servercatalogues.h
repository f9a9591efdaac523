#pragma once
#include <QString>
#include <QStringList>

namespace engine {

// The catalogues kept on a PostgreSQL server, for choosing one without knowing its name. The
// address names the server and its database, without a schema:
//   postgresql://[user@]host[:port]/database
// (a catalogue location, schema included, is taken too: its schema is left aside). The answer
// is the names of the schemas there that hold tables and that this user may use, sorted;
// postgresql://…/database/NAME then opens one. Passwords come only from libpq's own means
// (~/.pgpass, peer or GSS authentication). Throws EngineError (NoDatabase) with the reason in
// Polish when the address is malformed or the server cannot be asked.
QStringList serverCatalogues(const QString& serverAddress);

// The catalogue location of `schema` on the server at `serverAddress` (as above).
QString catalogueOnServer(const QString& serverAddress, const QString& schema);

// Whether the location's schema exists on its server, catalogue or not; false when the server
// cannot be reached.
bool serverSchemaExists(const QString& location);
// Takes back what opening a location with Mode::Create made in a schema that held no catalogue:
// the engine's own tables and function, then the schema itself when `dropSchema` and nothing
// else is in it. A catalogue that got tables meanwhile is left whole, and whatever else the
// schema holds stays. Best effort: a server that cannot be reached is left as it is.
void removeMadeServerCatalogue(const QString& location, bool dropSchema);

} // namespace engine
