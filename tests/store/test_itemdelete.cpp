// Deleting an item takes the rows that belong to it alone, in one transaction, and leaves the
// records of what happened (order lines, loans) and everything shared (drawings, currencies).
#include "engine/database.h"
#include "engine/error.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "store/catalogue_schema.h"
#include "store/itemdelete.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include <QDir>
#include <gtest/gtest.h>
#include <initializer_list>
#include <sqlite3.h>
#include <utility>

using namespace engine;

namespace {

using testsupport::addRow;

// Every row of a table as "a/b" of the given fields, in primary-key order.
QStringList rows(const QString& folder, const char* table, std::initializer_list<const char*> f) {
    Table t(folder, QLatin1String(table));
    t.open();
    QStringList out;
    t.forEachRow([&] {
        QStringList values;
        for (const char* name : f)
            values << t.asString(QLatin1String(name));
        out << values.join(u'/');
    });
    return out;
}

class ItemDelete : public ::testing::Test {
protected:
    void SetUp() override {
        folder = tmp.sub(QStringLiteral("kat"));
        store::createCatalogue(folder);
        // Item 1 is deleted; 2 and 3 share relations with it.
        addRow(folder, "Towar", {{"Tow_Nazwa", "Pompa"}});
        addRow(folder, "Towar", {{"Tow_Nazwa", "Zawór"}});
        addRow(folder, "Towar", {{"Tow_Nazwa", "Wąż"}});
        addRow(folder, "Opis", {{"Opis_Tow_Nr", 1}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "10"}});
        addRow(folder, "Opis", {{"Opis_Tow_Nr", 1}, {"Opis_Cecha_Nr", 2}, {"Opis_Opis", "x"}});
        addRow(folder, "Opis", {{"Opis_Tow_Nr", 2}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "20"}});
        addRow(folder, "Waluta", {{"Waluta_Nazwa", "EUR"}, {"Waluta_Kurs", 4.3}});
        addRow(folder, "Cena", {{"Cena_Tow_Nr", 1}, {"Cena_Waluta_Nr", 1}, {"Cena_1", 10}});
        addRow(folder, "Cena", {{"Cena_Tow_Nr", 2}, {"Cena_Waluta_Nr", 1}, {"Cena_1", 20}});
        addRow(folder, "Rysunek", {{"Rys_Opis", "Schemat"}});
        addRow(folder, "Grafika", {{"Grafika_Tow_Nr", 1}, {"Grafika_Rys_Nr", 1}});
        addRow(folder, "Grafika", {{"Grafika_Tow_Nr", 2}, {"Grafika_Rys_Nr", 1}});
        for (auto [whole, part] : {std::pair{1, 2}, {2, 1}, {2, 3}, {3, 1}})
            addRow(folder, "Sklada",
                   {{"Sklada_Tow_Nr", whole}, {"Sklada_Nr_Czesci", part}, {"Sklada_il_szt", 2}});
        for (auto [item, substitute] : {std::pair{1, 2}, {2, 1}, {3, 1}, {2, 3}})
            addRow(folder, "Zamienne", {{"Zam_Tow_Nr", item}, {"Zam_Nr_Zam", substitute}});
        addRow(folder, "Dok_Dane", {{"Dane_Dok_Nr", 1}, {"Dane_Tow_Nr", 1}});
        addRow(folder, "Wypozycz", {{"Wypozycz_Towar_Nr", 1}, {"Wypozycz_Osoba_Nr", 1}});

        items = std::make_unique<Table>(folder, QStringLiteral("Towar"));
        items->setIndexFieldNames(QStringLiteral("Tow_Nazwa"));
        items->open();
        ASSERT_EQ(items->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Pompa"));
    }

    TempFolder tmp;
    QString folder;
    std::unique_ptr<Table> items;
};

TEST_F(ItemDelete, TakesTheItemsOwnRowsAndNothingElse) {
    store::deleteItem(*items);

    EXPECT_EQ(rows(folder, "Towar", {"Tow_nr"}), (QStringList{"2", "3"}));
    EXPECT_EQ(items->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Wąż"))
        << "the list stands on the next item";
    EXPECT_EQ(rows(folder, "Opis", {"Opis_Tow_Nr", "Opis_Opis"}), QStringList{"2/20"});
    EXPECT_EQ(rows(folder, "Cena", {"Cena_Tow_Nr"}), QStringList{"2"});
    EXPECT_EQ(rows(folder, "Grafika", {"Grafika_Tow_Nr"}), QStringList{"2"});
    EXPECT_EQ(rows(folder, "Sklada", {"Sklada_Tow_Nr", "Sklada_Nr_Czesci"}), QStringList{"2/3"});
    EXPECT_EQ(rows(folder, "Zamienne", {"Zam_Tow_Nr", "Zam_Nr_Zam"}), QStringList{"2/3"});
    // Shared and historical rows stay.
    EXPECT_EQ(rows(folder, "Rysunek", {"Rys_Opis"}), QStringList{"Schemat"});
    EXPECT_EQ(rows(folder, "Waluta", {"Waluta_Nazwa"}), QStringList{"EUR"});
    EXPECT_EQ(rows(folder, "Dok_Dane", {"Dane_Tow_Nr"}), QStringList{"1"});
    EXPECT_EQ(rows(folder, "Wypozycz", {"Wypozycz_Towar_Nr"}), QStringList{"1"});
}

TEST_F(ItemDelete, ARefusedDeleteLeavesEveryRowInPlace) {
    // Another installation removed the item row meanwhile, as a program without this rule would.
    sqlite3* db = nullptr;
    const QByteArray path = QDir(folder).filePath(Database::fileName()).toUtf8();
    ASSERT_EQ(sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    registerSqlFunctions(db);
    sqlite3_busy_timeout(db, 10000);
    ASSERT_EQ(sqlite3_exec(db, "DELETE FROM Towar WHERE Tow_nr = 1", nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);

    try {
        store::deleteItem(*items);
        FAIL() << "deleted an item that was gone";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::Deleted) << e.message().toStdString();
    }
    EXPECT_EQ(rows(folder, "Opis", {"Opis_Tow_Nr"}), (QStringList{"1", "1", "2"}));
    EXPECT_EQ(rows(folder, "Sklada", {"Sklada_Tow_Nr"}).size(), 4);
    EXPECT_EQ(rows(folder, "Zamienne", {"Zam_Tow_Nr"}).size(), 4);
    EXPECT_EQ(rows(folder, "Cena", {"Cena_Tow_Nr"}).size(), 2);
    EXPECT_EQ(rows(folder, "Grafika", {"Grafika_Tow_Nr"}).size(), 2);
    // The cursor shows what is really there.
    EXPECT_EQ(items->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Wąż"));
}

} // namespace
