// The working table of a dialog: gone on every way out, replaced on a rebuild, and written back to
// the catalogue all at once or not at all.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "platform/worktable.h"
#include "platform/worktables.h"
#include "support/application.h"
#include "support/printing.h"
#include "support/tempfolder.h"
#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace {

engine::TableDef lines() {
    engine::TableDef def;
    def.fields = {{QStringLiteral("L_nr"), engine::FieldType::AutoInc},
                  {QStringLiteral("L_Cecha"), engine::FieldType::LongInt},
                  {QStringLiteral("L_Poz"), engine::FieldType::LongInt}};
    def.indexes = {{QStringLiteral("PrimaryIndex"), {QStringLiteral("L_nr")}, true},
                   {QStringLiteral("wg_Poz"), {QStringLiteral("L_Poz")}}};
    return def;
}

// A catalogue-like table: rows of several owners, replaced per owner.
engine::TableDef owned() {
    engine::TableDef def;
    def.name = QStringLiteral("Szablon");
    def.fields = {{QStringLiteral("S_Grupa"), engine::FieldType::LongInt},
                  {QStringLiteral("S_Cecha"), engine::FieldType::LongInt},
                  {QStringLiteral("S_nr"), engine::FieldType::AutoInc}};
    def.indexes = {{QStringLiteral("PrimaryIndex"),
                    {QStringLiteral("S_Grupa"), QStringLiteral("S_Cecha"), QStringLiteral("S_nr")},
                    true}};
    return def;
}

class WorkTableTest : public ::testing::Test {
protected:
    WorkTableTest() {
        testsupport::application();
        temp = QDir(tmp.path()).filePath(QStringLiteral("TMP"));
        catalogue = tmp.sub(QStringLiteral("Kat"));
        engine::Database::open(catalogue, engine::Database::Mode::Create)->createTable(owned());
    }

    QStringList workTablesInTmp() {
        QStringList out = engine::Database::open(temp, engine::Database::Mode::Create)->tables();
        out.removeAll(platform::WorkTables::kRegistryTable);
        return out;
    }

    void addOwned(int group, int attribute) {
        engine::Table t(catalogue, QStringLiteral("Szablon"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("S_Grupa"), group);
        t.setValue(QStringLiteral("S_Cecha"), attribute);
        t.post();
    }

    QList<QPair<int, int>> ownedRows() {
        QList<QPair<int, int>> out;
        engine::Table t(catalogue, QStringLiteral("Szablon"));
        t.open();
        for (t.first(); !t.eof(); t.next())
            out << qMakePair(t.asInteger(QStringLiteral("S_Grupa")),
                             t.asInteger(QStringLiteral("S_Cecha")));
        return out;
    }

    TempFolder tmp;
    QString temp, catalogue;
};

TEST_F(WorkTableTest, LivesFromCreateToRemoveAndARebuildReplacesIt) {
    QString first;
    {
        platform::WorkTable work(temp, QStringLiteral("WWG"), lines());
        EXPECT_FALSE(work.exists());
        work.create();
        first = work.name();
        EXPECT_TRUE(first.startsWith(QLatin1String("WWG")));
        EXPECT_TRUE(work.table().isOpen());
        EXPECT_EQ(workTablesInTmp(), QStringList{first});

        work.create(); // the dialog is rebuilt
        EXPECT_NE(work.name(), first);
        EXPECT_EQ(workTablesInTmp(), QStringList{work.name()});

        work.remove();
        EXPECT_FALSE(work.exists());
        EXPECT_TRUE(workTablesInTmp().isEmpty());
        work.remove(); // twice is no error

        work.create(); // the dialog shown again
    }
    // The destructor is the last way out.
    EXPECT_TRUE(workTablesInTmp().isEmpty());
    // Nothing stays noted in the registry either.
    engine::Table reg(temp, platform::WorkTables::kRegistryTable);
    reg.open();
    EXPECT_TRUE(reg.isEmpty());
}

TEST_F(WorkTableTest, RowsComeInTheOrderAskedWithoutMovingTheCursor) {
    platform::WorkTable work(temp, QStringLiteral("WWG"), lines());
    work.create();
    engine::Table& t = work.table();
    for (int pos : {3, 1, 2}) {
        t.append();
        t.setValue(QStringLiteral("L_Cecha"), pos * 10);
        t.setValue(QStringLiteral("L_Poz"), pos);
        t.post();
    }
    t.first();
    const qint64 at = t.rowId();
    QList<int> attributes;
    for (const QVariantMap& row : work.rows(QStringLiteral("L_Poz")))
        attributes << row.value(QStringLiteral("L_Cecha")).toInt();
    EXPECT_EQ(attributes, (QList<int>{10, 20, 30}));
    EXPECT_EQ(t.rowId(), at);
    EXPECT_EQ(work.rows().size(), 3);
}

TEST_F(WorkTableTest, ReplaceRowsTouchesOnlyTheMatchedRows) {
    addOwned(1, 5);
    addOwned(2, 6);
    addOwned(1, 7);
    platform::RowReplacement r{QStringLiteral("Szablon"),
                               {QStringLiteral("S_Grupa")},
                               {1},
                               {{{QStringLiteral("S_Grupa"), 1}, {QStringLiteral("S_Cecha"), 9}}}};
    platform::replaceRows(catalogue, {r});
    EXPECT_EQ(ownedRows(), (QList<QPair<int, int>>{{1, 9}, {2, 6}}));

    // Nothing to write empties the owner's rows.
    r.rows.clear();
    platform::replaceRows(catalogue, {r});
    EXPECT_EQ(ownedRows(), (QList<QPair<int, int>>{{2, 6}}));
}

TEST_F(WorkTableTest, AFailedWriteBackLeavesTheCatalogueAsItWas) {
    addOwned(1, 5);
    addOwned(1, 7);
    addOwned(2, 6);
    // Group 2 goes fine, then group 1's second row names a field that is not there: the deletes
    // and the rows already written must all be undone.
    platform::RowReplacement two{
        QStringLiteral("Szablon"),
        {QStringLiteral("S_Grupa")},
        {2},
        {{{QStringLiteral("S_Grupa"), 2}, {QStringLiteral("S_Cecha"), 8}}}};
    platform::RowReplacement one{QStringLiteral("Szablon"),
                                 {QStringLiteral("S_Grupa")},
                                 {1},
                                 {{{QStringLiteral("S_Grupa"), 1}, {QStringLiteral("S_Cecha"), 1}},
                                  {{QStringLiteral("S_Grupa"), 1}, {QStringLiteral("S_Brak"), 1}}}};
    EXPECT_THROW(platform::replaceRows(catalogue, {two, one}), engine::EngineError);
    EXPECT_EQ(ownedRows(), (QList<QPair<int, int>>{{1, 5}, {1, 7}, {2, 6}}));
    EXPECT_FALSE(engine::Database::open(catalogue)->inTransaction());
}

} // namespace
