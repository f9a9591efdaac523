#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/mainfolder_schema.h"
#include "store/passwords.h"
#include "store/settings.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace engine;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<brak pliku>");
}

int rowCount(const QString& folder, const QString& table) {
    Table t(folder, table);
    t.open();
    return t.recordCount();
}

struct MainFolder : ::testing::Test {
    TempFolder dir;
    QString main = dir.path();
    store::MainFolderSetup setup;

    void SetUp() override {
        setup.catalogueShown = "Dane/Główna";
        setup.catalogueExpanded = main + "/Dane/Główna";
        setup.makeDefaultCatalogueFolder = true;
        setup.adminName = "Administrator";
        setup.adminPassword = "Hasło";
    }
};

TEST_F(MainFolder, SetsUpFoldersFilesTablesAndFirstRows) {
    EXPECT_FALSE(store::isMainFolder(main));
    store::createMainFolder(main, setup);
    EXPECT_TRUE(store::isMainFolder(main));

    for (const char* sub : {"TMP", "Kopie", "Oferty", "Dane", "Dane/Glowna"})
        EXPECT_TRUE(QDir(main).exists(sub)) << sub;
    EXPECT_EQ(fileBytes(main + "/naglowek.rtf"), QByteArray("System Informacji \r\nPelk !\r\n"));
    EXPECT_EQ(fileBytes(main + "/stopka.rtf"), QByteArray("System Informacji \r\nPelk !\r\n"));
    EXPECT_EQ(fileBytes(main + "/Lista.txt"), QString("Dane/Główna\r\n").toUtf8());

    auto db = Database::open(main);
    EXPECT_EQ(db->tables(), QStringList({"Bazy", "Pelk", "Skojarz", "Users"}));
    EXPECT_FALSE(db->hasTable("Oferty"));
    auto offers = Database::open(main + "/Oferty");
    ASSERT_TRUE(offers->hasTable("Oferty.db"));
    const TableDef of = *offers->tableDef("Oferty");
    ASSERT_EQ(of.indexes.size(), 4);
    EXPECT_EQ(of.indexes[3].name, "wg_Oferty_Data");
    EXPECT_EQ(of.indexes[3].fields, QStringList{"Oferty_Data"});
    EXPECT_EQ(db->tableDef("Users")->fields.size(), 9);
    EXPECT_EQ(db->tableDef("Bazy")->index("wg_Baza_Nazwa")->fields, QStringList{"Baza_Nazwa"});

    // The settings record: its layout and the first-run values.
    const TableDef pelk = *db->tableDef("Pelk");
    ASSERT_EQ(pelk.fields.size(), 56);
    EXPECT_EQ(pelk.fields[4].name, "Pelk_Logo");
    EXPECT_EQ(pelk.fields[4].type, FieldType::Graphic);
    EXPECT_EQ(pelk.fields[19].name, "Pelk_Zam_Od1");
    EXPECT_EQ(pelk.fields[30].name, "Pelk_Zam_Do6");
    EXPECT_EQ(pelk.fields[31].name, "Pelk_Zam_Od_Forma_plat");
    EXPECT_EQ(pelk.fields[39].name, "Pelk_Zam_Do_Forma_Plat");
    EXPECT_EQ(pelk.fields[39].size, 30);
    EXPECT_EQ(pelk.fields[55].name, "Pelk_Nazwa2_na_wydr");
    EXPECT_EQ(pelk.fields[46].name, "Pelk_Zam_Do_Stopka3");
    EXPECT_EQ(pelk.fields[47].name, "Pelk_Zam_Od_Autonumer");

    Table p(main, "Pelk");
    p.open();
    ASSERT_EQ(p.recordCount(), 1);
    EXPECT_EQ(p.asInteger("Pelk_Nr"), 1);
    EXPECT_EQ(p.asInteger("Pelk_Firma_Nr"), 1);
    EXPECT_EQ(p.asInteger("Pelk_Waluta_Nr"), 1);
    // Inside the main folder: kept relative, so that a copy of the folder uses its own.
    EXPECT_EQ(QDir::fromNativeSeparators(p.asString("Pelk_Katalog_Glowny")), "Dane/Główna");
    EXPECT_EQ(p.asString("Pelk_Przegladarka"), store::defaultBrowser());
    EXPECT_TRUE(p.asBoolean("Pelk_Haslo_OK"));
    EXPECT_EQ(p.asInteger("Pelk_Kopia_Co_Ile"), 2);
    EXPECT_TRUE(p.asBoolean("Pelk_Kopia_Potwierdz"));
    EXPECT_EQ(p.asInteger("Pelk_Zam_Od_Nr"), 1);
    EXPECT_EQ(p.asInteger("Pelk_Zam_Do_Nr"), 1);
    for (const char* kind : {"Od", "Do"}) {
        const QString k = QString::fromLatin1(kind);
        EXPECT_EQ(p.asString("Pelk_Zam_" + k + "1"), "NUMER");
        EXPECT_EQ(p.asString("Pelk_Zam_" + k + "2"), "/");
        EXPECT_EQ(p.asString("Pelk_Zam_" + k + "3"), "ROK");
        for (int i = 4; i <= 6; ++i)
            EXPECT_TRUE(p.isNull("Pelk_Zam_" + k + QString::number(i)));
        EXPECT_TRUE(p.asBoolean("Pelk_Zam_" + k + "_Autonumer"));
        EXPECT_TRUE(p.asBoolean("Pelk_Zam_" + k + "_Symb_Wid"));
        EXPECT_TRUE(p.asBoolean("Pelk_Zam_" + k + "_Kod_p_Wid"));
        EXPECT_TRUE(p.isNull("Pelk_Zam_" + k + "_Transport"));
    }
    EXPECT_EQ(p.asInteger("Pelk_Wyswietl_Nazwa_Nr"), 1);
    EXPECT_EQ(p.asString("Pelk_Wydruk_Jezyk"), "PL");
    EXPECT_FALSE(p.isNull("Pelk_Nazwa2_na_wydr"));
    EXPECT_FALSE(p.asBoolean("Pelk_Nazwa2_na_wydr"));
    for (const char* empty :
         {"Pelk_Kontakt_Nr", "Pelk_Logo", "Pelk_Porada_Zam", "Pelk_Podpis", "Pelk_Kopia_Wykonuj",
          "Pelk_Kopia_Aplikacja", "Pelk_Kopia_Data", "Pelk_Zam_Faktura_Nr"})
        EXPECT_TRUE(p.isNull(empty)) << empty;

    Table b(main, "Bazy");
    b.open();
    ASSERT_EQ(b.recordCount(), 1);
    EXPECT_EQ(b.asString("Baza_Sciezka"), "Dane/Główna"); // as shown, not expanded
    EXPECT_EQ(b.asInteger("Baza_User_Nr"), 1);
    EXPECT_TRUE(b.isNull("Baza_Nazwa"));

    Table u(main, "Users");
    u.open();
    ASSERT_EQ(u.recordCount(), 1);
    EXPECT_EQ(u.asInteger("User_Nr"), 1);
    EXPECT_EQ(u.asString("User_Nazwa"), "Administrator");
    // Kept as its hash only, which the typed password in any letter case still matches.
    EXPECT_TRUE(store::isPasswordHash(u.asString("User_Haslo")));
    EXPECT_FALSE(u.asString("User_Haslo").contains("Hasło", Qt::CaseInsensitive));
    EXPECT_TRUE(store::passwordMatches("hasŁO", u.asString("User_Haslo")));
    EXPECT_EQ(u.asString("User_Baza_Sciezka"), "Dane/Główna");
    EXPECT_EQ(u.asInteger("User_Uprawnienia"), 2);
    EXPECT_TRUE(u.asBoolean("User_Administrator"));
    EXPECT_TRUE(u.asBoolean("User_Ceny"));

    Table s(main, "Skojarz");
    s.open();
    QStringList rows;
    for (s.first(); !s.eof(); s.next())
        rows << s.asString("Skojarzenia_Nr") + " " + s.asString("Skojarzenia_Aplikacja") + " " +
                    s.asString("Skojarzenia_Rozszerzenie");
    EXPECT_EQ(rows, QStringList({"1 Winword.exe doc", "2 Pbrush.exe bmp", "3 Notepad.exe txt",
                                 "4 Iexplore.exe htm"}));
}

TEST_F(MainFolder, SettingUpAgainReplacesTablesButKeepsTheOffers) {
    setup.makeDefaultCatalogueFolder = false;
    setup.passwordProtection = false;
    store::createMainFolder(main, setup);
    EXPECT_FALSE(QDir(main).exists("Dane/Glowna"));
    EXPECT_TRUE(QDir(main).exists("Dane"));
    {
        Table o(main + "/Oferty", "Oferty");
        o.open();
        o.append();
        o.setValue("Oferty_Opis", "Oferta na łożyska");
        o.post();
        Table u(main, "Users");
        u.open();
        u.append();
        u.setValue("User_Nazwa", "Kowalski");
        u.post();
    }
    // A main folder whose settings table went missing is set up again.
    Database::open(main)->dropTable("Pelk");
    EXPECT_FALSE(store::isMainFolder(main));

    setup.adminName = "Szef";
    store::createMainFolder(main, setup);
    EXPECT_EQ(rowCount(main + "/Oferty", "Oferty"), 1);
    EXPECT_EQ(rowCount(main, "Users"), 1);
    EXPECT_EQ(rowCount(main, "Skojarz"), 4);
    EXPECT_EQ(rowCount(main, "Pelk"), 1);
    Table u(main, "Users");
    u.open();
    EXPECT_EQ(u.asString("User_Nazwa"), "Szef");
    EXPECT_EQ(u.asInteger("User_Nr"), 1);
    Table p(main, "Pelk");
    p.open();
    EXPECT_FALSE(p.asBoolean("Pelk_Haslo_OK"));
}

TEST_F(MainFolder, AFolderThatCannotBeMadeIsAnEngineError) {
    QFile blocker(main + "/zajete");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        store::createMainFolder(main + "/zajete", setup);
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().startsWith("Nie można utworzyć folderu"))
            << qPrintable(e.message());
    }
}

TEST_F(MainFolder, SettingsAreReadAndWrittenByName) {
    store::createMainFolder(main, setup);
    {
        store::Settings s(main);
        EXPECT_EQ(s.integer("pelk_firma_nr"), 1);
        EXPECT_EQ(s.text("PELK_WYDRUK_JEZYK"), "PL");
        EXPECT_TRUE(s.flag("Pelk_Haslo_OK"));
        // Never written: empty reads as 0, false, "".
        EXPECT_EQ(s.integer("Pelk_Kontakt_Nr"), 0);
        EXPECT_EQ(s.number("Pelk_Kontakt_Nr"), 0.0);
        EXPECT_FALSE(s.flag("Pelk_Kopia_Wykonuj"));
        EXPECT_EQ(s.text("Pelk_Kopia_Aplikacja"), "");
        EXPECT_FALSE(s.date("Pelk_Kopia_Data").isValid());
        EXPECT_TRUE(s.bytes("Pelk_Logo").isEmpty());
        EXPECT_FALSE(s.value("Pelk_Zam_Od_Transport").isValid());
        EXPECT_THROW(s.integer("Pelk_Nie_Ma"), EngineError);

        s.setValue("Pelk_Kontakt_Nr", 7);
        s.setValue("pelk_kopia_data", QDate(2024, 3, 15));
        s.setValue("Pelk_Zam_Od_Transport",
                   "przesyłka kurierska i coś jeszcze dłuższego"); // alpha 20
        s.setValue("Pelk_Haslo_OK", false);
        EXPECT_TRUE(s.editing());
        s.save();
        EXPECT_FALSE(s.editing());

        s.setValue("Pelk_Firma_Nr", 99);
        s.cancel();
        EXPECT_EQ(s.integer("Pelk_Firma_Nr"), 1);
    }
    store::Settings again(main);
    EXPECT_EQ(again.integer("Pelk_Kontakt_Nr"), 7);
    EXPECT_EQ(again.date("Pelk_Kopia_Data"), QDate(2024, 3, 15));
    EXPECT_EQ(again.text("Pelk_Zam_Od_Transport"), "przesyłka kurierska ");
    EXPECT_FALSE(again.flag("Pelk_Haslo_OK"));
    EXPECT_EQ(again.integer("Pelk_Firma_Nr"), 1);
    EXPECT_EQ(rowCount(main, "Pelk"), 1);

    again.setValue("Pelk_Kontakt_Nr", QVariant()); // emptied again
    again.save();
    EXPECT_EQ(store::Settings(main).integer("Pelk_Kontakt_Nr"), 0);
    EXPECT_TRUE(store::Settings(main).value("Pelk_Kontakt_Nr").isNull());
}

TEST_F(MainFolder, SettingsOfAFolderWithoutSetupAreAnEngineError) {
    EXPECT_THROW(store::Settings s(main), EngineError);
}

} // namespace
