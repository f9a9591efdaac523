// Copying a large catalogue to a server and back with pelkdb copy: a sample of N items (made
// once by pelk-sample and kept for later runs), a throw-away PostgreSQL cluster, the time and
// rows per second of each direction, the copying process's peak memory, and the dumps of every
// table in the source and in the copy that came back compared.
//
//   bench_copy [--items N] [--dir FOLDER]
#include "engine/database.h"
#include "support/pgcluster.h"
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <cstdio>

namespace {

struct Run {
    bool ok = false;
    double seconds = 0;
    qint64 peakKb = 0; // VmHWM of the process as last seen before it ended
    QByteArray out;
    QByteArray err;
};

qint64 peakOf(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Runs a program, watching its peak memory; its output goes to `sink` when given (a dump of a
// million rows is hashed as it comes rather than held).
Run run(const QString& program, const QStringList& args, QCryptographicHash* sink = nullptr) {
    Run r;
    QProcess p;
    p.start(program, args);
    if (!p.waitForStarted()) return r;
    QElapsedTimer clock;
    clock.start();
    const qint64 pid = p.processId();
    auto drain = [&] {
        const QByteArray chunk = p.readAllStandardOutput();
        if (sink)
            sink->addData(chunk);
        else
            r.out += chunk;
        r.err += p.readAllStandardError();
    };
    while (!p.waitForFinished(20)) {
        r.peakKb = std::max(r.peakKb, peakOf(pid));
        drain();
        if (p.state() == QProcess::NotRunning) break;
    }
    drain();
    r.seconds = clock.elapsed() / 1000.0;
    r.ok = p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return r;
}

qint64 copiedRows(const QByteArray& out) {
    static const QRegularExpression total(QStringLiteral("\\((\\d+) wiersz"));
    const auto m = total.match(QString::fromUtf8(out));
    return m.hasMatch() ? m.captured(1).toLongLong() : 0;
}

void report(const char* what, const Run& r) {
    const qint64 rows = copiedRows(r.out);
    std::printf("%-18s %9lld rows  %7.1f s  %9.0f rows/s  peak %6.1f MB\n", what,
                static_cast<long long>(rows), r.seconds, rows / std::max(r.seconds, 1e-3),
                r.peakKb / 1024.0);
    std::fflush(stdout);
}

bool fail(const QString& message, const Run& r = {}) {
    std::fprintf(stderr, "%s\n%s\n", qPrintable(message), r.err.constData());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    qint64 items = 1000000;
    QString dir;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--items") && i + 1 < args.size())
            items = args[++i].toLongLong();
        else if (args[i] == QLatin1String("--dir") && i + 1 < args.size())
            dir = args[++i];
        else {
            std::fprintf(stderr, "usage: bench_copy [--items N] [--dir FOLDER]\n");
            return 2;
        }
    }
    if (dir.isEmpty()) dir = QDir::tempPath() + QStringLiteral("/pelk-bench-copy-%1").arg(items);
    const QString source = dir + QStringLiteral("/Dane/Glowna");
    const QString pelkdb = QStringLiteral(PELKDB_PATH);

    if (!engine::Database::exists(source)) {
        std::printf("making a sample of %lld items in %s\n", static_cast<long long>(items),
                    qPrintable(dir));
        std::fflush(stdout);
        const Run made = run(
            QStringLiteral(PELK_SAMPLE_PATH),
            {dir, QStringLiteral("--items"), QString::number(items), QStringLiteral("--replace")});
        if (!made.ok) return fail(QStringLiteral("pelk-sample failed"), made), 1;
        std::printf("sample made in %.1f s\n", made.seconds);
    }

    PgCluster cluster;
    if (!cluster.missing().isEmpty() || !cluster.running()) {
        std::fprintf(stderr, "no PostgreSQL server: %s\n", qPrintable(cluster.missing()));
        return 1;
    }
    // The server's support functions are made once per database, by the first catalogue on it:
    // a server in use has them, so they are made before the clock runs.
    engine::Database::open(cluster.location(QStringLiteral("pierwszy")),
                           engine::Database::Mode::Create);
    const QString onServer = cluster.location(QStringLiteral("kopia"));
    const QString back = dir + QStringLiteral("/z-serwera");
    QDir(back).removeRecursively();

    const Run there = run(pelkdb, {source, QStringLiteral("copy"), onServer});
    if (!there.ok) return fail(QStringLiteral("copy to the server failed"), there), 1;
    report("folder -> server", there);
    const Run home = run(pelkdb, {onServer, QStringLiteral("copy"), back});
    if (!home.ok) return fail(QStringLiteral("copy from the server failed"), home), 1;
    report("server -> folder", home);

    // The dumps of every table, source against the copy come back.
    int differing = 0;
    QElapsedTimer dumping;
    dumping.start();
    for (const QString& table : engine::Database::open(source)->tables()) {
        QCryptographicHash a(QCryptographicHash::Sha256), b(QCryptographicHash::Sha256);
        const Run x = run(pelkdb, {source, QStringLiteral("dump"), table}, &a);
        const Run y = run(pelkdb, {back, QStringLiteral("dump"), table}, &b);
        if (!x.ok || !y.ok || a.result() != b.result()) {
            ++differing;
            std::printf("dumps of %s differ\n", qPrintable(table));
        }
    }
    std::printf("dumps compared in %.1f s: %s\n", dumping.elapsed() / 1000.0,
                differing ? "DIFFERENT" : "identical");
    QDir(back).removeRecursively();
    return differing ? 1 : 0;
}
