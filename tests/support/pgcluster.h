#pragma once
#include <QString>
#include <QTemporaryDir>

// A throw-away PostgreSQL server for one test: a new cluster in a temporary folder, reachable
// only through a Unix socket in that folder, with one empty database. The server is stopped
// and the folder removed when the object goes, whether the test passed or not.
//
//   PgCluster cluster;
//   if (!cluster.missing().isEmpty()) GTEST_SKIP() << cluster.missing().toStdString();
//   ASSERT_TRUE(cluster.running());
//
// initdb refuses to run as root, so under root the cluster belongs to the postgres system user
// and its programs run through runuser.
class PgCluster {
public:
    PgCluster();
    ~PgCluster();
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    // What this machine lacks to run a server (the programs, or the postgres user under root);
    // empty when nothing is missing.
    const QString& missing() const { return missing_; }
    bool running() const { return running_; }

    // The catalogue location of a schema in the cluster's database (the schema is not created).
    QString location(const QString& schema) const;
    static QString databaseName() { return QStringLiteral("pelk_test"); }

private:
    bool findPrograms();
    bool run(const QString& program, const QStringList& arguments, QString* output);
    bool start();
    void stop();

    QString bin_; // folder with initdb, pg_ctl and postgres
    bool asPostgres_ = false;
    QString user_; // the cluster's superuser
    QString missing_;
    QTemporaryDir dir_;
    bool started_ = false; // pg_ctl start was run: the destructor stops the server
    bool running_ = false;
};
