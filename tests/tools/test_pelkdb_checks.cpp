// pelkdb against folders and data that are not as they should be: a missing folder, a broken
// database, over-long values, odd names, a planted fault for the check command.
#include "engine/database.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace engine;

namespace {

struct Result {
    int code = -1;
    QString out;
    QString err;
};

Result pelkdb(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(PELKDB_PATH), args);
    EXPECT_TRUE(p.waitForFinished(120000)) << "pelkdb " << args.join(u' ').toStdString();
    Result r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct PelkdbChecks : ::testing::Test {
    TempFolder dir;
    QString folder = dir.sub(QStringLiteral("kat"));

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + u'/' + name;
        writeFile(path, bytes);
        return path;
    }
    Result run(const QString& where, std::initializer_list<const char*> words) {
        QStringList args{where};
        for (const char* w : words)
            args << QString::fromUtf8(w);
        return pelkdb(args);
    }
};

} // namespace

TEST_F(PelkdbChecks, MissingFoldersAndBrokenDatabasesAreSaidAsSuch) {
    const QString missing = dir.path() + QStringLiteral("/nie-ma");
    const QString zero = dir.sub(QStringLiteral("zero"));
    writeFile(QDir(zero).filePath(Database::fileName()), {});
    const QString junk = dir.sub(QStringLiteral("junk"));
    writeFile(QDir(junk).filePath(Database::fileName()), QByteArray(4096, 'x'));

    const QList<QStringList> commands = {
        {QStringLiteral("tables")},
        {QStringLiteral("dump"), QStringLiteral("Grupa")},
        {QStringLiteral("sql"), QStringLiteral("SELECT * FROM Grupa")}};
    for (const QStringList& command : commands) {
        const Result m = pelkdb(QStringList{missing} + command);
        EXPECT_EQ(m.code, 1) << command[0].toStdString();
        EXPECT_TRUE(m.err.contains(QStringLiteral("nie-ma nie istnieje."))) << m.err.toStdString();
        for (const QString& broken : {zero, junk}) {
            const Result b = pelkdb(QStringList{broken} + command);
            EXPECT_EQ(b.code, 1) << command[0].toStdString();
            EXPECT_TRUE(b.err.contains(QStringLiteral("jest uszkodzona"))) << b.err.toStdString();
        }
    }
    // Nothing was made where nothing was.
    EXPECT_FALSE(QDir(missing).exists());
    EXPECT_EQ(QFileInfo(QDir(zero).filePath(Database::fileName())).size(), 0);

    // An existing folder without a database lists no tables and succeeds, as scripts expect.
    const Result empty = run(folder, {"tables"});
    EXPECT_EQ(empty.code, 0);
    EXPECT_TRUE(empty.out.isEmpty() && empty.err.isEmpty());
}
