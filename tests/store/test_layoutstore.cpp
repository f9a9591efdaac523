// The remembered layout in the main folder: per user and catalogue, written in one go, the table
// made for main folders set up before it existed.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/layoutstore.h"
#include "store/mainfolder_schema.h"
#include "support/tempfolder.h"
#include <gtest/gtest.h>

using store::LayoutStore;

namespace {

struct Layouts : ::testing::Test {
    TempFolder dir;
    QString main = dir.path();

    void SetUp() override {
        store::MainFolderSetup setup;
        setup.catalogueShown = "Dane/Glowna";
        setup.catalogueExpanded = main + "/Dane/Glowna";
        setup.adminName = "admin";
        store::createMainFolder(main, setup);
    }

    LayoutStore loaded(int user) {
        LayoutStore s(main, user);
        s.load();
        return s;
    }

    int rows() {
        engine::Table t(main, store::kLayoutTable);
        t.open();
        return t.recordCount();
    }
};

TEST_F(Layouts, MainFolderWithoutTheTableGetsItAtTheFirstSave) {
    ASSERT_FALSE(engine::Database::open(main)->hasTable(store::kLayoutTable));
    LayoutStore s = loaded(0);
    EXPECT_FALSE(s.contains({}, "window/geometry"));
    EXPECT_FALSE(engine::Database::open(main)->hasTable(store::kLayoutTable))
        << "reading makes nothing";

    s.setValue({}, "window/geometry", "AdnQywADAAA=");
    s.setValue("Dane/Glowna", "items/sort", "2");
    s.save();
    EXPECT_FALSE(s.changed());

    const LayoutStore again = loaded(0);
    EXPECT_EQ(again.value({}, "window/geometry"), "AdnQywADAAA=");
    EXPECT_EQ(again.value("Dane/Glowna", "items/sort"), "2");
}

TEST_F(Layouts, EachUserAndCatalogueKeepsItsOwn) {
    LayoutStore first = loaded(1), second = loaded(2);
    first.setValue("Dane/Glowna", "items/sort", "1");
    first.setValue("Dane/Druga", "items/sort", "3");
    second.setValue("Dane/Glowna", "items/sort", "2");
    first.save();
    second.save();

    const LayoutStore one = loaded(1), two = loaded(2), nobody = loaded(0);
    EXPECT_EQ(one.value("Dane/Glowna", "items/sort"), "1");
    EXPECT_EQ(one.value("Dane/Druga", "items/sort"), "3");
    EXPECT_EQ(two.value("Dane/Glowna", "items/sort"), "2");
    EXPECT_FALSE(two.contains("Dane/Druga", "items/sort"));
    EXPECT_FALSE(nobody.contains("Dane/Glowna", "items/sort"));
}

TEST_F(Layouts, SavingAgainReplacesValuesAndWritesOnlyWhatChanged) {
    LayoutStore s = loaded(0);
    s.setValue({}, "a", "1");
    s.setValue({}, "b", "1");
    s.save();
    ASSERT_EQ(rows(), 2);

    LayoutStore next = loaded(0);
    next.setValue({}, "a", "1"); // as it was
    EXPECT_FALSE(next.changed());
    next.setValue({}, "b", "2");
    next.save();
    EXPECT_EQ(rows(), 2) << "replaced, not added";
    EXPECT_EQ(loaded(0).value({}, "b"), "2");
}

TEST_F(Layouts, AFailedSaveKeepsTheChangesForTheNextTry) {
    // A table of that name in a layout of its own: the write cannot succeed.
    engine::TableDef odd;
    odd.name = store::kLayoutTable;
    odd.fields = {{"Inne", engine::FieldType::Alpha, 10}};
    engine::Database::open(main)->createTable(odd);

    LayoutStore s(main, 0);
    EXPECT_THROW(s.load(), engine::EngineError);
    s.setValue({}, "a", "1");
    EXPECT_THROW(s.save(), engine::EngineError);
    EXPECT_TRUE(s.changed());

    engine::Database::open(main)->dropTable(store::kLayoutTable);
    s.save();
    EXPECT_EQ(loaded(0).value({}, "a"), "1");
}

} // namespace
