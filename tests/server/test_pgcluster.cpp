#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "support/pgcluster.h"
#include <QDir>
#include <gtest/gtest.h>

namespace {

engine::pq::Result exec(PGconn* conn, const QByteArray& sql, ExecStatusType expected) {
    engine::pq::Result result(PQexec(conn, sql.constData()));
    EXPECT_EQ(PQresultStatus(result.get()), expected)
        << sql.constData() << ": " << PQerrorMessage(conn);
    return result;
}

} // namespace

// The whole path a catalogue on the server will take: the location the cluster hands out is
// parsed as a user's would be, libpq connects with the result, and a table in the schema
// keeps Polish text.
TEST(PgCluster, ServesATableInACatalogueSchemaAndIsRemovedAfterwards) {
    QString folder;
    {
        PgCluster cluster;
        if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
        ASSERT_TRUE(cluster.running());

        const auto location =
            engine::parseServerLocation(cluster.location(QStringLiteral("katalog")));
        EXPECT_EQ(location.database, PgCluster::databaseName());
        folder = location.host;
        engine::pq::Connection conn(PQconnectdb(location.connectionString().constData()));
        ASSERT_EQ(PQstatus(conn.get()), CONNECTION_OK) << PQerrorMessage(conn.get());
        ASSERT_STREQ(pg_encoding_to_char(PQclientEncoding(conn.get())), "UTF8");

        const QByteArray schema = location.schema.toUtf8();
        exec(conn.get(), "CREATE SCHEMA " + schema, PGRES_COMMAND_OK);
        exec(conn.get(), "CREATE TABLE " + schema + ".towary (nr integer PRIMARY KEY, nazwa text)",
             PGRES_COMMAND_OK);
        const char* values[] = {"7", "Śruba ząbkowana"};
        const QByteArray insert = "INSERT INTO " + schema + ".towary VALUES ($1, $2)";
        engine::pq::Result inserted(
            PQexecParams(conn.get(), insert.constData(), 2, nullptr, values, nullptr, nullptr, 0));
        EXPECT_EQ(PQresultStatus(inserted.get()), PGRES_COMMAND_OK) << PQerrorMessage(conn.get());

        const auto rows =
            exec(conn.get(), "SELECT nr, nazwa FROM " + schema + ".towary", PGRES_TUPLES_OK);
        ASSERT_EQ(PQntuples(rows.get()), 1);
        EXPECT_STREQ(PQgetvalue(rows.get(), 0, 0), "7");
        EXPECT_EQ(QString::fromUtf8(PQgetvalue(rows.get(), 0, 1)),
                  QStringLiteral("Śruba ząbkowana"));
        // The server answers on the socket in its own folder only, never on the network.
        EXPECT_TRUE(QDir(folder).exists(QStringLiteral(".s.PGSQL.5432")));
        const auto listen = exec(conn.get(), "SHOW listen_addresses", PGRES_TUPLES_OK);
        EXPECT_STREQ(PQgetvalue(listen.get(), 0, 0), "");
    }
    EXPECT_FALSE(QDir(folder).exists());
}
