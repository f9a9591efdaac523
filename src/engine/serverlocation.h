#pragma once
#include <QByteArray>
#include <QString>

namespace engine {

// A catalogue kept on a PostgreSQL server instead of in a folder:
//   postgresql://[user@]host[:port]/database/schema
//   postgresql:///database/schema          (the server's local socket)
// The host may be a socket folder written percent-encoded, as libpq itself accepts it
// (postgresql://%2Ftmp%2Fpg/database/schema). One schema holds one catalogue's tables.
// Passwords are left to libpq's own means (~/.pgpass, peer authentication): a location that
// carries one is refused, since locations are stored in plain catalogue lists.
struct ServerLocation {
    QString user; // empty: libpq's default (the system user's name)
    QString host; // empty: the default local socket; starting with '/': a socket folder
    int port = 0; // 0: libpq's default
    QString database;
    QString schema; // letters, digits and underscores only, so it never needs escaping

    // The connection string for PQconnectdb, in key='value' form, without the schema.
    QByteArray connectionString() const;
};

// Whether the text names a catalogue on a server rather than a folder; says nothing about
// whether it is well formed.
bool isServerLocation(const QString& location);

// Where a catalogue is, as messages say it: "w folderze /ścieżka" for a folder, "w katalogu na
// serwerze postgresql://…" for a server location (which never carries a password).
QString inLocation(const QString& location);

// Splits a server location; throws EngineError (NoDatabase) saying what is wrong with it.
ServerLocation parseServerLocation(const QString& location);

// Whether the name can be a catalogue's schema: a letter or underscore first, then letters,
// digits and underscores, at most 63 characters, not one of the server's own schemas.
bool isValidSchemaName(const QString& name);

} // namespace engine
