// The engine under faults: folders that are gone or broken, dead holders of locks, folders marked
// for one machine, planted inconsistencies.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace engine;

namespace {

QString openingError(const QString& folder, const QString& table) {
    Table t(folder, table);
    try {
        t.open();
    } catch (const EngineError& e) {
        return e.message();
    }
    return {};
}

} // namespace

TEST(Faults, OpeningATableSaysWhenTheFolderIsGoneOrItsDatabaseBroken) {
    TempFolder dir;
    // What the program shows for a catalogue that was moved away: the folder, not a table.
    EXPECT_EQ(openingError(dir.path() + QStringLiteral("/Dane"), QStringLiteral("Grupa")),
              QStringLiteral("Folder %1 nie istnieje.")
                  .arg(QDir::toNativeSeparators(dir.path() + QStringLiteral("/Dane"))));
    const QString broken = dir.sub(QStringLiteral("Zepsuty"));
    {
        QFile f(QDir(broken).filePath(Database::fileName()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    EXPECT_TRUE(openingError(broken, QStringLiteral("Grupa")).contains(u"jest uszkodzona"));
    QFile f(QDir(broken).filePath(Database::fileName()));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(8192, '\x7f'));
    f.close();
    EXPECT_TRUE(openingError(broken, QStringLiteral("Grupa")).contains(u"jest uszkodzona"));
    // A folder that simply holds no database still lacks the table.
    EXPECT_TRUE(openingError(dir.sub(QStringLiteral("Pusty")), QStringLiteral("Grupa"))
                    .startsWith(u"Tabela Grupa nie istnieje"));
}

TEST(Faults, AFolderMarkedForOneMachineIsRefusedFromAnotherNamingTheCommand) {
    TempFolder dir;
    const QString folder = dir.sub(QStringLiteral("Dane"));
    Database::open(folder, Database::Mode::Create);
    Database::markForThisMachine(folder);
    EXPECT_EQ(Database::journalHost(folder), Database::thisMachine());
    {
        auto db = Database::open(folder);
        Statement st = db->prepare(QStringLiteral("PRAGMA journal_mode"));
        ASSERT_TRUE(st.step());
        EXPECT_EQ(st.column(0).toString(), u"wal");
        // Switching while this process has the folder open is refused, not half done.
        EXPECT_THROW(Database::unmark(folder), EngineError);
    }

    // The same folder reached from a second machine (its mark names another host).
    QFile mark(QDir(folder).filePath(Database::journalMarkName()));
    ASSERT_TRUE(mark.open(QIODevice::WriteOnly));
    mark.write("magazyn-2\n");
    mark.close();
    const QString refused = openingError(folder, QStringLiteral("Towar"));
    EXPECT_TRUE(refused.contains(u"tylko na komputerze magazyn-2")) << refused.toStdString();
    EXPECT_TRUE(refused.contains(u"journal delete")) << refused.toStdString();

    // Unmarked, it is shared again: the rollback journal, open from anywhere.
    Database::unmark(folder);
    EXPECT_TRUE(Database::journalHost(folder).isEmpty());
    auto db = Database::open(folder);
    Statement st = db->prepare(QStringLiteral("PRAGMA journal_mode"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.column(0).toString(), u"delete");
}
