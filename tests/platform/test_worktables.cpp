// Working tables in TMP: their names, their owner, and the start-up clean-up that must never
// take the tables of another installation that is still running on the same main folder.
// The other installations are this test program started again as a helper (see OtherInstallation).
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "platform/worktables.h"
#include "support/application.h"
#include "support/printing.h"
#include "support/tempfolder.h"
#include <QCoreApplication>
#include <QProcess>
#include <QTextStream>
#include <cstdio>
#include <deque>
#include <gtest/gtest.h>
#include <iostream>

using namespace platform;

namespace {

const char* const kHelperFolderVar = "PELK_TEST_WORKTABLE_FOLDER";

engine::TableDef lineBuffer() {
    engine::TableDef def;
    def.fields = {{QStringLiteral("Dok_nr"), engine::FieldType::AutoInc},
                  {QStringLiteral("Dok_Tow_Nazwa"), engine::FieldType::Alpha, 50}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Dok_nr")}, true}};
    return def;
}

// Another installation: creates one working table, prints its name and keeps running until
// told to end; "exit" ends it normally without deleting the table (as a run that lost track
// of it), which leaves the table without a live owner.
class OtherInstallation {
public:
    explicit OtherInstallation(const QString& tempFolder) {
        proc_.setProgram(QCoreApplication::applicationFilePath());
        proc_.setArguments({QStringLiteral("--gtest_filter=WorkTablesHelper.*")});
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(kHelperFolderVar), tempFolder);
        proc_.setProcessEnvironment(env);
        proc_.start();
        EXPECT_TRUE(proc_.waitForStarted(10000));
        while (name_.isEmpty() && proc_.waitForReadyRead(20000)) {
            while (proc_.canReadLine()) {
                const QString line = QString::fromUtf8(proc_.readLine()).trimmed();
                if (line.startsWith(QLatin1String("table "))) name_ = line.mid(6);
            }
        }
        EXPECT_FALSE(name_.isEmpty()) << "the helper installation created no table";
    }
    ~OtherInstallation() { exit(); }
    QString table() const { return name_; }
    void exit() {
        if (proc_.state() == QProcess::NotRunning) return;
        proc_.write("exit\n");
        proc_.closeWriteChannel();
        EXPECT_TRUE(proc_.waitForFinished(20000));
    }

private:
    QProcess proc_;
    QString name_;
};

} // namespace

// Runs only inside the helper process started by OtherInstallation.
TEST(WorkTablesHelper, ActAsAnotherInstallation) {
    const QByteArray folder = qgetenv(kHelperFolderVar);
    if (folder.isEmpty()) GTEST_SKIP() << "helper for WorkTables.CleanUpKeepsTablesOfLiveOwners";
    testsupport::application();
    WorkTables tables(QString::fromUtf8(folder));
    std::cout << "table " << tables.create(QStringLiteral("TDok"), lineBuffer()).toStdString()
              << std::endl;
    std::string line;
    std::getline(std::cin, line); // until "exit" or end of input
}

TEST(WorkTables, NamesArePrefixAndTwoNumbersDrawnAgainWhenTaken) {
    testsupport::application();
    TempFolder tmp;
    std::deque<quint32> draws{12, 345, 12, 345, 999998, 0};
    std::vector<quint32> bounds;
    WorkTables tables(tmp.sub(QStringLiteral("TMP")), [&](quint32 bound) {
        bounds.push_back(bound);
        const quint32 v = draws.front();
        draws.pop_front();
        return v;
    });
    EXPECT_EQ(tables.create(QStringLiteral("skl"), lineBuffer()), QStringLiteral("skl12345"));
    // The same two numbers again: the name is taken, so a new pair is drawn.
    EXPECT_EQ(tables.create(QStringLiteral("skl"), lineBuffer()), QStringLiteral("skl9999980"));
    EXPECT_TRUE(draws.empty());
    for (quint32 b : bounds)
        EXPECT_EQ(b, 999999u);

    auto db = tables.database();
    EXPECT_TRUE(db->hasTable(QStringLiteral("skl12345")));
    EXPECT_EQ(tables.ownerOf(QStringLiteral("skl12345")), db->ownerId());
    // The table is usable like any other.
    engine::Table t(tables.folder(), QStringLiteral("skl12345"));
    t.open();
    t.append();
    t.setValue(QStringLiteral("Dok_Tow_Nazwa"), QStringLiteral("Śruba"));
    t.post();
    t.close();

    tables.remove(QStringLiteral("skl12345"));
    EXPECT_FALSE(db->hasTable(QStringLiteral("skl12345")));
    EXPECT_TRUE(tables.ownerOf(QStringLiteral("skl12345")).isEmpty());
    tables.remove(QStringLiteral("skl12345")); // already gone: no error
}

TEST(WorkTables, CleanUpKeepsTablesOfLiveOwners) {
    testsupport::application();
    TempFolder tmp;
    const QString temp = tmp.sub(QStringLiteral("TMP"));

    // Nothing in TMP yet: nothing to do, and no database is made for it.
    EXPECT_EQ(WorkTables(temp).removeLeftovers(), 0);
    EXPECT_FALSE(engine::Database::exists(temp));

    OtherInstallation running(temp);
    OtherInstallation ended(temp);
    ended.exit();

    WorkTables ours(temp);
    const QString mine = ours.create(QStringLiteral("WWG"), lineBuffer());
    auto db = ours.database();
    ASSERT_TRUE(db->hasTable(running.table()));
    ASSERT_TRUE(db->hasTable(ended.table()));

    EXPECT_EQ(ours.removeLeftovers(), 1);
    EXPECT_FALSE(db->hasTable(ended.table()));
    EXPECT_TRUE(ours.ownerOf(ended.table()).isEmpty());
    EXPECT_TRUE(db->hasTable(running.table())) << "a running installation lost its working table";
    EXPECT_TRUE(db->hasTable(mine));

    // Once that installation has ended too, its table is a leftover like any other.
    running.exit();
    EXPECT_EQ(ours.removeLeftovers(), 1);
    EXPECT_FALSE(db->hasTable(running.table()));
    EXPECT_TRUE(db->hasTable(mine));
}
