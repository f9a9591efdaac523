#include "engine/servercatalogues.h"
#include "engine/error.h"
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "engine/sqlname.h"
#include <QCollator>
#include <algorithm>

namespace engine {

namespace {

constexpr char kScheme[] = "postgresql://";
const QString kAddressForm = QStringLiteral("postgresql://[użytkownik@]serwer[:port]/baza");

[[noreturn]] void refuse(const QString& address, const QString& cause) {
    throw EngineError(EngineError::Kind::NoDatabase,
                      QStringLiteral("Niepoprawny adres serwera %1: %2. Poprawna postać to %3.")
                          .arg(address, cause, kAddressForm));
}

// The address without a trailing slash, and whether it already names a schema.
QString bare(const QString& address) {
    QString text = address.trimmed();
    while (text.endsWith(u'/') && text.size() > int(sizeof kScheme) - 1)
        text.chop(1);
    return text;
}

// The server and database of the address: the location parser does the work, given a schema
// to split off when the address has none.
ServerLocation parseAddress(const QString& address) {
    const QString text = bare(address);
    if (!isServerLocation(text))
        refuse(text, QStringLiteral("adres musi zaczynać się od %1").arg(QLatin1String(kScheme)));
    const QString rest = text.mid(int(sizeof kScheme) - 1);
    const qsizetype slash = rest.indexOf(u'/');
    if (slash < 0 || slash == rest.size() - 1)
        refuse(text, QStringLiteral("brak nazwy bazy danych"));
    const bool hasSchema = rest.indexOf(u'/', slash + 1) >= 0;
    const QString location = hasSchema ? text : text + QStringLiteral("/public");
    try {
        ServerLocation parsed = parseServerLocation(location);
        parsed.schema.clear();
        return parsed;
    } catch (const EngineError& e) {
        // The location parser's reason, said of the address as the user wrote it.
        const QString prefix =
            QStringLiteral("Niepoprawny adres katalogu na serwerze %1: ").arg(location);
        QString cause = e.message();
        if (cause.startsWith(prefix)) {
            cause = cause.mid(prefix.size());
            cause = cause.left(cause.indexOf(QStringLiteral(". Poprawna postać")));
        }
        refuse(text, cause);
    }
}

QString serverText(const ServerLocation& at) {
    QString text = at.host.isEmpty() ? QStringLiteral("lokalnym") : at.host;
    if (at.port != 0) text += u':' + QString::number(at.port);
    return text;
}

} // namespace

QStringList serverCatalogues(const QString& serverAddress) {
    const ServerLocation at = parseAddress(serverAddress);
    // A server that does not answer must not hold the program for minutes; libpq never asks
    // for a password itself, it only takes one from its own files.
    const QByteArray connection =
        at.connectionString() + " connect_timeout='10' client_encoding='UTF8'";
    pq::Connection conn(PQconnectdb(connection.constData()));
    if (!conn || PQstatus(conn.get()) != CONNECTION_OK) {
        if (conn && PQconnectionNeedsPassword(conn.get()))
            throw EngineError(EngineError::Kind::NoDatabase,
                              QStringLiteral("Serwer %1 wymaga hasła użytkownika. Program nie "
                                             "przechowuje haseł: wpisz je w pliku .pgpass "
                                             "(w systemie Windows %APPDATA%\\postgresql\\"
                                             "pgpass.conf).")
                                  .arg(serverText(at)));
        const QString why =
            conn ? QString::fromUtf8(PQerrorMessage(conn.get())).trimmed() : QString();
        throw EngineError(EngineError::Kind::NoDatabase,
                          QStringLiteral("Nie można połączyć się z bazą danych %1 na serwerze "
                                         "%2. %3")
                              .arg(at.database, serverText(at), why)
                              .trimmed());
    }
    // Schemas with at least one table that this user may reach; the server's own are none.
    const char* sql = "SELECT n.nspname FROM pg_catalog.pg_namespace n "
                      "WHERE n.nspname NOT LIKE 'pg\\_%' AND n.nspname <> 'information_schema' "
                      "AND pg_catalog.has_schema_privilege(n.oid, 'USAGE') "
                      "AND EXISTS (SELECT 1 FROM pg_catalog.pg_class c "
                      "WHERE c.relnamespace = n.oid AND c.relkind IN ('r', 'p'))";
    pq::Result result(PQexec(conn.get(), sql));
    if (PQresultStatus(result.get()) != PGRES_TUPLES_OK)
        throw EngineError(EngineError::Kind::NoDatabase,
                          QStringLiteral("Nie można odczytać listy katalogów bazy danych %1 na "
                                         "serwerze %2. %3")
                              .arg(at.database, serverText(at),
                                   QString::fromUtf8(PQerrorMessage(conn.get())).trimmed()));
    QStringList names;
    for (int row = 0; row < PQntuples(result.get()); ++row) {
        const QString name = QString::fromUtf8(PQgetvalue(result.get(), row, 0));
        // A schema whose name a catalogue location cannot carry cannot be opened either.
        if (isValidSchemaName(name)) names << name;
    }
    QCollator order;
    order.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(names.begin(), names.end(), order);
    return names;
}

QString catalogueOnServer(const QString& serverAddress, const QString& schema) {
    QString text = bare(serverAddress);
    const qsizetype rest = text.indexOf(u'/', int(sizeof kScheme) - 1);
    if (rest >= 0) {
        const qsizetype schemaSlash = text.indexOf(u'/', rest + 1);
        if (schemaSlash >= 0) text.truncate(schemaSlash);
    }
    return text + u'/' + schema;
}

namespace {

pq::Connection connectTo(const ServerLocation& where) {
    const QByteArray options =
        where.connectionString() + " client_encoding='UTF8' application_name='pelk'";
    pq::Connection conn(PQconnectdb(options.constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK) return {};
    PQsetNoticeProcessor(
        conn.get(), [](void*, const char*) {}, nullptr);
    return conn;
}

bool commandOk(PGconn* conn, const QByteArray& sql) {
    pq::Result r(PQexec(conn, sql.constData()));
    const auto status = PQresultStatus(r.get());
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

} // namespace

bool serverSchemaExists(const QString& location) {
    const ServerLocation where = parseServerLocation(location);
    pq::Connection conn = connectTo(where);
    if (!conn) return false;
    const QByteArray schema = where.schema.toUtf8();
    const char* values[] = {schema.constData()};
    pq::Result r(PQexecParams(conn.get(), "SELECT 1 FROM pg_namespace WHERE nspname = $1", 1,
                              nullptr, values, nullptr, nullptr, 0));
    return PQresultStatus(r.get()) == PGRES_TUPLES_OK && PQntuples(r.get()) > 0;
}

void removeMadeServerCatalogue(const QString& location, bool dropSchema) {
    const ServerLocation where = parseServerLocation(location);
    pq::Connection conn = connectTo(where);
    if (!conn) return;
    const QByteArray schema = quoted(where.schema).toUtf8();
    if (!commandOk(conn.get(), "BEGIN")) return;
    // Under the lock writers of the catalogue take, so that nobody makes a table meanwhile.
    if (!commandOk(conn.get(), "LOCK TABLE " + schema + "._pelk_state IN EXCLUSIVE MODE")) {
        // Not even the state table was made: nobody else writes there either.
        commandOk(conn.get(), "ROLLBACK");
        if (!commandOk(conn.get(), "BEGIN")) return;
    }
    // Tables of the catalogue made meanwhile by another installation keep it; without the
    // table of definitions (a creation cut short) there is nothing to keep.
    if (commandOk(conn.get(), "SAVEPOINT defined")) {
        pq::Result defined(
            PQexec(conn.get(),
                   QByteArray("SELECT 1 FROM " + schema + "._pelk_fields LIMIT 1").constData()));
        if (PQresultStatus(defined.get()) == PGRES_TUPLES_OK && PQntuples(defined.get()) > 0) {
            commandOk(conn.get(), "ROLLBACK");
            return;
        }
        commandOk(conn.get(), "ROLLBACK TO SAVEPOINT defined");
    }
    QByteArray drop = "DROP TABLE IF EXISTS ";
    bool first = true;
    for (const char* table : {"_pelk_state", "_pelk_fields", "_pelk_indexes", "_pelk_seq",
                              "_pelk_owners", "_pelk_locks", "_pelk_tablelocks"}) {
        drop += (first ? "" : ", ") + schema + '.' + table;
        first = false;
    }
    if (!commandOk(conn.get(), drop) ||
        !commandOk(conn.get(), "DROP FUNCTION IF EXISTS " + schema + "._pelk_touch()") ||
        !commandOk(conn.get(), "COMMIT")) {
        commandOk(conn.get(), "ROLLBACK");
        return;
    }
    // Without CASCADE: whatever another program put there meanwhile keeps the schema.
    if (dropSchema) commandOk(conn.get(), "DROP SCHEMA IF EXISTS " + schema);
}

} // namespace engine
