#include "support/pgcluster.h"
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString systemUser = QStringLiteral("postgres");
constexpr int port = 5432; // only names the socket file: the folder is the cluster's own

QString userName(uid_t uid) {
    const passwd* pw = getpwuid(uid);
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString();
}

QString confString(const QString& value) {
    return u'\'' + QString(value).replace(u'\'', QStringLiteral("''")) + u'\'';
}

} // namespace

PgCluster::PgCluster() : dir_(QDir::tempPath() + QStringLiteral("/pelk-pg-XXXXXX")) {
    if (!findPrograms()) return;
    if (!dir_.isValid()) {
        ADD_FAILURE() << "no temporary folder for the PostgreSQL cluster";
        return;
    }
    running_ = start();
}

PgCluster::~PgCluster() {
    if (started_) stop();
}

// Debian keeps the server programs out of PATH, in one folder per major version; the newest
// installed one is taken.
bool PgCluster::findPrograms() {
    QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!initdb.isEmpty()) {
        bin_ = QFileInfo(QFileInfo(initdb).canonicalFilePath()).absolutePath();
    } else {
        QStringList versions = QDir(QStringLiteral("/usr/lib/postgresql"))
                                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCollator numeric;
        numeric.setNumericMode(true);
        std::sort(versions.begin(), versions.end(), numeric);
        for (auto it = versions.crbegin(); it != versions.crend() && bin_.isEmpty(); ++it) {
            const QString dir = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(*it);
            if (QFileInfo(dir + QStringLiteral("/initdb")).isExecutable()) bin_ = dir;
        }
    }
    if (bin_.isEmpty()) {
        missing_ = QStringLiteral("PostgreSQL server tests skipped: initdb not found in PATH nor "
                                  "in /usr/lib/postgresql/*/bin (Debian package postgresql)");
        return false;
    }
    for (const char* program : {"pg_ctl", "postgres"}) {
        if (!QFileInfo(bin_ + u'/' + QLatin1String(program)).isExecutable()) {
            missing_ =
                QStringLiteral("PostgreSQL server tests skipped: %1 missing beside initdb in %2")
                    .arg(QLatin1String(program), bin_);
            return false;
        }
    }
    asPostgres_ = geteuid() == 0;
    if (asPostgres_) {
        if (!getpwnam("postgres")) {
            missing_ = QStringLiteral("PostgreSQL server tests skipped: running as root, and there "
                                      "is no postgres system user to own the cluster");
            return false;
        }
        if (QStandardPaths::findExecutable(QStringLiteral("runuser")).isEmpty()) {
            missing_ = QStringLiteral("PostgreSQL server tests skipped: running as root, and "
                                      "runuser is missing");
            return false;
        }
        user_ = systemUser;
    } else {
        user_ = userName(geteuid());
    }
    return true;
}

bool PgCluster::run(const QString& program, const QStringList& arguments, QString* output) {
    QProcess process;
    // The postgres user may not be allowed into the test's working folder.
    process.setWorkingDirectory(dir_.path());
    process.setProcessChannelMode(QProcess::MergedChannels);
    const QString path = bin_ + u'/' + program;
    if (asPostgres_)
        process.start(QStringLiteral("runuser"),
                      QStringList{QStringLiteral("-u"), systemUser, QStringLiteral("--"), path} +
                          arguments);
    else
        process.start(path, arguments);
    const bool finished = process.waitForFinished(120000);
    *output += QString::fromLocal8Bit(process.readAll());
    if (!finished) process.kill();
    return finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool PgCluster::start() {
    const QString data = dir_.path() + QStringLiteral("/data");
    if (asPostgres_) {
        const passwd* pw = getpwnam("postgres");
        if (chown(QFile::encodeName(dir_.path()).constData(), pw->pw_uid, pw->pw_gid) != 0) {
            ADD_FAILURE() << "cannot give " << dir_.path().toStdString() << " to the postgres user";
            return false;
        }
    }
    QString output;
    // No fsync anywhere: the cluster lives for one test.
    if (!run(QStringLiteral("initdb"),
             {QStringLiteral("-D"), data, QStringLiteral("-U"), user_, QStringLiteral("-A"),
              QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
              QStringLiteral("--locale=C"), QStringLiteral("-N")},
             &output)) {
        ADD_FAILURE() << "initdb failed:\n" << output.toStdString();
        return false;
    }
    QFile conf(data + QStringLiteral("/postgresql.conf"));
    if (!conf.open(QIODevice::Append | QIODevice::Text)) {
        ADD_FAILURE() << "cannot write " << conf.fileName().toStdString();
        return false;
    }
    conf.write(QStringLiteral("\nlisten_addresses = ''\nunix_socket_directories = %1\nport = %2\n"
                              "fsync = off\nsynchronous_commit = off\nfull_page_writes = off\n")
                   .arg(confString(dir_.path()))
                   .arg(port)
                   .toUtf8());
    conf.close();
    const QString log = dir_.path() + QStringLiteral("/server.log");
    if (!run(QStringLiteral("pg_ctl"),
             {QStringLiteral("-D"), data, QStringLiteral("-l"), log, QStringLiteral("-w"),
              QStringLiteral("-t"), QStringLiteral("60"), QStringLiteral("start")},
             &output)) {
        QFile logFile(log);
        logFile.open(QIODevice::ReadOnly);
        ADD_FAILURE() << "pg_ctl start failed:\n"
                      << output.toStdString() << logFile.readAll().toStdString();
        started_ = true; // a half-started server is still stopped by the destructor
        return false;
    }
    started_ = true;

    engine::ServerLocation maintenance;
    maintenance.user = user_;
    maintenance.host = dir_.path();
    maintenance.port = port;
    maintenance.database = QStringLiteral("postgres");
    engine::pq::Connection conn(PQconnectdb(maintenance.connectionString().constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        ADD_FAILURE() << "cannot connect to the new cluster: " << PQerrorMessage(conn.get());
        return false;
    }
    const QByteArray create = "CREATE DATABASE " + databaseName().toUtf8();
    engine::pq::Result created(PQexec(conn.get(), create.constData()));
    if (PQresultStatus(created.get()) != PGRES_COMMAND_OK) {
        ADD_FAILURE() << "cannot create the test database: " << PQerrorMessage(conn.get());
        return false;
    }
    return true;
}

// The cluster's data is thrown away, so the immediate shutdown (no checkpoint) is enough.
void PgCluster::stop() {
    const QString data = dir_.path() + QStringLiteral("/data");
    QString output;
    if (run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), data, QStringLiteral("-m"), QStringLiteral("immediate"),
             QStringLiteral("-w"), QStringLiteral("stop")},
            &output))
        return;
    // pg_ctl gone wrong must not leave a server running on a removed folder.
    QFile pidFile(data + QStringLiteral("/postmaster.pid"));
    if (pidFile.open(QIODevice::ReadOnly)) {
        const pid_t pid = pidFile.readLine().trimmed().toInt();
        if (pid > 0) ::kill(pid, SIGQUIT);
    }
    ADD_FAILURE() << "pg_ctl stop failed:\n" << output.toStdString();
}

QString PgCluster::location(const QString& schema) const {
    return QStringLiteral("postgresql://%1@%2:%3/%4/%5")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(user_)),
             QString::fromLatin1(QUrl::toPercentEncoding(dir_.path())), QString::number(port),
             databaseName(), schema);
}
