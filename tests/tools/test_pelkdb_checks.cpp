// pelkdb against folders and data that are not as they should be: a missing folder, a broken
// database, over-long values, odd names, a planted fault for the check command.
#include "engine/database.h"
#include "engine/table.h"
#include "support/pelkdbrun.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

using namespace engine;

namespace {

using pelkdbrun::pelkdb;
using pelkdbrun::Result;

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

TEST_F(PelkdbChecks, OverLongTextsRefuseTheLoadUnlessTruncationIsAsked) {
    ASSERT_EQ(run(folder, {"create", "Lista", "Nr:autoinc,Nazwa:alpha:50,Opis:memo"}).code, 0);
    const QByteArray fits(50, 'a');
    const QByteArray tooLong = QByteArray(50, 'b') + "\xc5\x81"; // 51 characters, the last "Ł"
    const QString csv =
        file(QStringLiteral("lista.csv"),
             "Nazwa;Opis\n" + fits + ";ok\n" + tooLong + ";" + QByteArray(100000, 'm') + "\n");
    const Result refused = run(folder, {"load", "Lista", csv.toUtf8().constData()});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("wiersz 3: wartość pola Nazwa ma 51 znaków, a "
                                                    "pole mieści 50")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains(QStringLiteral("Nic nie zostało wczytane.")));
    EXPECT_EQ(run(folder, {"dump", "Lista"}).out, QStringLiteral("Nr;Nazwa;Opis\n"));

    // Asked for, the cut is the engine's: 50 characters; memo fields are never cut.
    ASSERT_EQ(run(folder, {"load", "Lista", csv.toUtf8().constData(), "--truncate"}).code, 0);
    const QStringList rows = run(folder, {"dump", "Lista"}).out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[2].section(u';', 1, 1), QString(50, u'b'));
    EXPECT_EQ(rows[2].section(u';', 2, 2).size(), 100000);
}

TEST_F(PelkdbChecks, TableAndIndexNamesAreLettersDigitsAndUnderscores) {
    for (const char* name : {"Lista\";DROP TABLE x;--", "Lista;x", "Lis ta", "Li'sta"}) {
        const Result r = run(folder, {"create", name, "Nr:autoinc"});
        EXPECT_EQ(r.code, 1) << name;
        EXPECT_TRUE(r.err.contains(QStringLiteral("tylko litery, cyfry i znak \"_\"")))
            << r.err.toStdString();
    }
    const Result index =
        run(folder, {"create", "Lista", "Nr:autoinc,Nazwa:alpha:9", "--index", "Po\"nazwie=Nazwa"});
    EXPECT_EQ(index.code, 1);
    EXPECT_TRUE(index.err.contains(QStringLiteral("nazwa indeksu Po\"nazwie")));
    // Nothing was made by the refused definitions; Polish letters and digits are names.
    EXPECT_TRUE(run(folder, {"tables"}).out.isEmpty());
    EXPECT_EQ(run(folder, {"create", "Żurawie_2", "Nr:autoinc,Nazwa:alpha:9", "--index",
                           "Wg_nazwy_1=Nazwa"})
                  .code,
              0);
    EXPECT_EQ(run(folder, {"tables"}).out, QStringLiteral("Żurawie_2\n"));
}

TEST_F(PelkdbChecks, CheckFindsPlantedFaultsOfTheFileAndOfTheBookkeeping) {
    ASSERT_EQ(
        run(folder, {"create", "Lista", "Nr:autoinc,Nazwa:alpha:20", "--index", "Wg_nazwy=Nazwa"})
            .code,
        0);
    ASSERT_EQ(run(folder,
                  {"load", "Lista",
                   file(QStringLiteral("l.csv"), "Nazwa\nlama\nŁata\nmama\n").toUtf8().constData()})
                  .code,
              0);
    const Result sound = run(folder, {"check"});
    EXPECT_EQ(sound.code, 0) << sound.out.toStdString() << sound.err.toStdString();
    EXPECT_TRUE(sound.out.contains(QStringLiteral("jest w porządku")));

    {
        // Planted behind the engine's back: a counter below the highest key, a lock whose
        // holder's lease ran out, a lock of nobody, and an index out of step with its table.
        auto db = Database::open(folder);
        db->exec(QStringLiteral("UPDATE _pelk_seq SET seq = 1"));
        db->exec(QStringLiteral("INSERT INTO _pelk_owners VALUES('x1', 'Zenon', 'inny', 1, 5)"));
        db->exec(QStringLiteral("INSERT INTO _pelk_locks VALUES('lista', 2, 'x1')"));
        db->exec(QStringLiteral("INSERT INTO _pelk_tablelocks VALUES('lista', 'nikt')"));
        db->exec(QStringLiteral("PRAGMA writable_schema=ON"));
        db->exec(QStringLiteral("UPDATE sqlite_master SET sql = replace(sql, 'COLLATE PL', "
                                "'COLLATE NOCASE') WHERE type='index' AND name LIKE 'Lista$%'"));
    }
    const Result found = run(folder, {"check"});
    EXPECT_EQ(found.code, 1);
    EXPECT_TRUE(found.out.contains(
        QStringLiteral("Tabela Lista: licznik pola Nr (1) jest mniejszy niż najwyższa wartość "
                       "pola (3).")))
        << found.out.toStdString();
    EXPECT_TRUE(found.out.contains(QStringLiteral("blokada nieczynnego użytkownika Zenon")));
    EXPECT_TRUE(found.out.contains(QStringLiteral("blokada nieczynnego użytkownika ? (nikt)")));
    EXPECT_TRUE(found.out.contains(QStringLiteral("Lista$Wg_nazwy"))) << found.out.toStdString();
    EXPECT_FALSE(found.out.contains(QStringLiteral("w porządku")));
}

namespace {

// A table big enough that a triple join over it runs far longer than any test.
void makeLongReadTable(const QString& folder) {
    auto db = Database::open(folder, Database::Mode::Create);
    db->createTable(TableDef{QStringLiteral("Lista"),
                             {{QStringLiteral("Nr"), FieldType::AutoInc},
                              {QStringLiteral("Nazwa"), FieldType::Alpha, 20}},
                             {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true}}});
    db->exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE "
                            "i<3000) INSERT INTO Lista(Nr, Nazwa) SELECT i, 'w' || i FROM n"));
}

const char* const kLongRead =
    "SELECT a.Nr FROM Lista a, Lista b, Lista c WHERE Upper(a.Nazwa) > Upper(b.Nazwa) AND "
    "Upper(b.Nazwa) > Upper(c.Nazwa) AND Upper(c.Nazwa) > Upper(a.Nazwa)";

// Another installation's post: open, edit, post.
void post(const QString& folder, const QString& name) {
    Table t(folder, QStringLiteral("Lista"));
    t.open();
    t.first();
    t.edit();
    t.setValue(QStringLiteral("Nazwa"), name);
    t.post();
}

} // namespace

TEST_F(PelkdbChecks, OnAMarkedFolderAPostGoesThroughWhileAnotherProcessReadsForLong) {
    makeLongReadTable(folder);
    ASSERT_EQ(run(folder, {"journal"}).out, QStringLiteral("delete\n"));
    const Result marked = run(folder, {"journal", "wal"});
    ASSERT_EQ(marked.code, 0) << marked.err.toStdString();
    EXPECT_EQ(marked.out, QStringLiteral("wal %1\n").arg(Database::thisMachine()));

    QProcess reader;
    reader.start(QStringLiteral(PELKDB_PATH),
                 {folder, QStringLiteral("sql"), QString::fromUtf8(kLongRead),
                  QStringLiteral("--timeout"), QStringLiteral("60")});
    ASSERT_TRUE(reader.waitForStarted());
    QThread::msleep(1000); // the reader is well into its join
    // With the rollback journal this post waited for the reader and failed as busy.
    EXPECT_NO_THROW(post(folder, QStringLiteral("w trakcie")));
    EXPECT_EQ(reader.state(), QProcess::Running) << "the read ended before the post";
    reader.kill();
    reader.waitForFinished();
}

TEST_F(PelkdbChecks, ALongQueryStopsAtItsTimeoutAndFreesTheFolder) {
    makeLongReadTable(folder); // unmarked: the rollback journal
    const Result r = pelkdb({folder, QStringLiteral("sql"), QString::fromUtf8(kLongRead),
                             QStringLiteral("--timeout"), QStringLiteral("0,5")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, QStringLiteral("Zapytanie przerwane po 0,5 s (opcja --timeout).\n"));
    EXPECT_NO_THROW(post(folder, QStringLiteral("po przerwaniu")));
    EXPECT_EQ(run(folder, {"sql", "SELECT Nazwa FROM Lista WHERE Nr=1", "--timeout", "30"}).out,
              QStringLiteral("Nazwa\npo przerwaniu\n"));
    EXPECT_EQ(run(folder, {"sql", "SELECT 1", "--timeout", "nigdy"}).code, 2);
}
