#pragma once
// pelkdb run as scripts run it: a separate process, its exit code and both outputs.
// PELKDB_PATH names the tool in each test program that includes this.
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace pelkdbrun {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

inline Result pelkdb(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PELKDB_PATH), args);
    EXPECT_TRUE(p.waitForFinished(120000)) << "pelkdb " << args.join(u' ').toStdString();
    Result r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Runs a command that must succeed and returns its output.
inline QString ok(const QStringList& args) {
    const Result r = pelkdb(args);
    EXPECT_EQ(r.code, 0) << "pelkdb " << args.join(u' ').toStdString() << "\n"
                         << r.err.toStdString();
    return r.out;
}

} // namespace pelkdbrun
