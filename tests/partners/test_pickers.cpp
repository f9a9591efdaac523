// Picking companies, cities, countries, currencies and contacts for another screen: what each
// picker hands over, what it gives back, and that the picking mode never outlives the pick.
#include "partners/Ak_Panstwo.h"
#include "partners/Ak_firma.h"
#include "partners/Ak_miast.h"
#include "partners/Ak_tel.h"
#include "partners/Ak_walut.h"
#include "store/catalogue_schema.h"
#include "support/rows.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include <QDir>
#include <QLabel>
#include <QTest>

namespace {

using testsupport::addRow;

class PickersTest : public CatalogueDialogTest {
protected:
    PickersTest() : CatalogueDialogTest(QStringLiteral("kat")) {}

    // A script that checks the mode word the dialog was opened with and chooses the row the
    // search text `find` leads to (none: Wybierz on the row the dialog stands on).
    ui::ScriptedModalRunner::Action choose(QString* modeSeen, const QString& find = {}) {
        return [modeSeen, find](QDialog& d) {
            auto& list = static_cast<ui::ListDialog&>(d);
            *modeSeen = list.picking() ? QStringLiteral("picking") : QStringLiteral("browsing");
            if (!find.isEmpty()) list.searchBox()->setText(find);
            list.button(QStringLiteral("BB_Wybierz"))->click();
        };
    }
};

TEST_F(PickersTest, CompanyFromAnotherFolderComesWithItsBlock) {
    const QString other = tmp.path() + QStringLiteral("/glowny");
    QDir().mkpath(other);
    store::createCatalogue(other);
    addRow(other, "Firmy", {{"Firma_Skrot", "Alfa"}});
    addRow(other, "Firmy",
           {{"Firma_Skrot", "Beta"},
            {"Firma_Nazwa1", "Beta SA"},
            {"Firma_Kod_Poczt", "30-001"},
            {"Firma_Miejscowosc", "Kraków"}});
    addRow(folder, "Firmy", {{"Firma_Skrot", "Beta z bieżącego"}});

    QString seen;
    QString typed;
    runner.on("TEkr_Aktualizacja_Firma", [&](QDialog& d) {
        auto& list = static_cast<ui::ListDialog&>(d);
        typed = list.searchBox()->text();
        EXPECT_EQ(state.CompanyPickMode, "Wybieranie");
        choose (&seen)(d);
    });
    const auto picked = partners::pickCompany(state, nullptr, QStringLiteral("Be"), other);
    ASSERT_TRUE(picked);
    EXPECT_EQ(typed, "Be");
    EXPECT_EQ(picked->nr, 2) << "the other folder's Beta";
    EXPECT_EQ(picked->name, "Beta");
    EXPECT_EQ(picked->block, QStringList({"Beta SA", "", "", "", "30-001 Kraków"}));
    EXPECT_TRUE(state.CompanyPickMode.isEmpty());
    EXPECT_TRUE(state.CompanyFolder.isEmpty());
    EXPECT_TRUE(state.CompanySearchText.isEmpty());

    // Closed without a choice: nothing, and the block of the company picked before stays.
    runner.on("TEkr_Aktualizacja_Firma");
    EXPECT_FALSE(partners::pickCompany(state, nullptr, QStringLiteral("Al")));
    EXPECT_EQ(state.PickedCompanyBlock.value(0), "Beta SA");
    EXPECT_TRUE(state.CompanyPickMode.isEmpty());
}

TEST_F(PickersTest, CityAndCountryCountOnlyANameOtherThanTheTypedOne) {
    addRow(folder, "Miasta",
           {{"Miasto_Nr", 4}, {"Miasto_Nazwa", "Kraków"}, {"Miasto_Tel_Kierunkowy", "12"}});
    addRow(folder, "Panstwa", {{"Panstwo_Panstwo", "Czechy"}});
    addRow(folder, "Panstwa", {{"Panstwo_Panstwo", "Polska"}, {"Panstwo_Kierunek", "48"}});

    QString seen;
    runner.on("TEkr_Aktualizacja_Miasto", choose(&seen));
    const auto city = partners::pickCity(state, nullptr, QStringLiteral("Kra"));
    EXPECT_EQ(seen, "picking");
    ASSERT_TRUE(city);
    EXPECT_EQ(city->name, "Kraków");
    EXPECT_EQ(city->nr, 4);
    EXPECT_EQ(city->code, "12");
    EXPECT_TRUE(state.CityPickMode.isEmpty());

    runner.on("TEkr_Aktualizacja_Panstwo", choose(&seen, QStringLiteral("Pol")));
    const auto country = partners::pickCountry(state, nullptr, QStringLiteral("Cz"));
    ASSERT_TRUE(country);
    EXPECT_EQ(country->name, "Polska");
    EXPECT_EQ(country->nr, 2);
    EXPECT_EQ(country->code, "48");

    // Choosing the very name typed is no pick, and neither is closing the list.
    runner.on("TEkr_Aktualizacja_Panstwo", choose(&seen));
    EXPECT_FALSE(partners::pickCountry(state, nullptr, QStringLiteral("Polska")));
    runner.on("TEkr_Aktualizacja_Panstwo");
    EXPECT_FALSE(partners::pickCountry(state, nullptr, QStringLiteral("Czechy")));
    EXPECT_TRUE(state.CountryPickMode.isEmpty());
}

TEST_F(PickersTest, CurrencyAndContactComeBackAsChosenOrNotAtAll) {
    addRow(folder, "Waluta", {{"Waluta_Nazwa", "EUR"}, {"Waluta_Kurs", 4.3}});
    state.CurrencySearchText = QStringLiteral("left behind");
    QString seen;
    runner.on("TEkr_Aktualizacja_Waluta", choose(&seen));
    const auto currency = partners::pickCurrency(state, nullptr);
    EXPECT_EQ(seen, "picking");
    ASSERT_TRUE(currency);
    EXPECT_EQ(currency->name, "EUR");
    EXPECT_EQ(currency->nr, 1);
    EXPECT_TRUE(state.CurrencySearchText.isEmpty());
    EXPECT_TRUE(state.CurrencyPickMode.isEmpty());

    // The contacts of the company named, in the folder given.
    const QString other = tmp.path() + QStringLiteral("/glowny");
    QDir().mkpath(other);
    store::createCatalogue(other);
    addRow(other, "Telefon", {{"Telefon_Firma_Nr", 3}, {"Telefon_Kontakt", "Obcy"}});
    addRow(other, "Telefon", {{"Telefon_Firma_Nr", 5}, {"Telefon_Kontakt", "Nowak"}});
    QString shownCompany;
    runner.on("TEkr_Aktualizacja_Telefony", [&](QDialog& d) {
        shownCompany = d.findChild<QLabel*>(QStringLiteral("Label_Firma"))->text();
        choose (&seen)(d);
    });
    EXPECT_EQ(partners::pickContact(state, nullptr, 5, QStringLiteral("Firma A"), other),
              std::optional<int>(2));
    EXPECT_EQ(shownCompany, "Firma A");
    EXPECT_TRUE(state.CompanyFolder.isEmpty());
    EXPECT_TRUE(state.ContactPickMode.isEmpty());

    // A company without contacts: Enter picks and closes with nothing.
    runner.on("TEkr_Aktualizacja_Telefony",
              [](QDialog& d) { QTest::keyClick(&d, Qt::Key_Return); });
    EXPECT_FALSE(partners::pickContact(state, nullptr, 9, QStringLiteral("Pusta"), other));
}

} // namespace
