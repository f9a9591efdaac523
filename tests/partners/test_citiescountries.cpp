// The cities and countries dialogs: what they do beyond the shared list-dialog behaviour.
#include "engine/table.h"
#include "partners/Ak_Panstwo.h"
#include "partners/Ak_miast.h"
#include "store/catalogue_schema.h"
#include "store/mainstate.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using partners::TEkr_Aktualizacja_Miasto;
using partners::TEkr_Aktualizacja_Panstwo;
using Mode = ui::ListDialog::Mode;
using State = engine::Table::State;

const QString kAdding =
    QStringLiteral("Miejscowość o takiej nazwie już istnieje. Zapis nie jest możliwy !");
const QString kChanging =
    QStringLiteral("Miejscowość o takiej nazwie już isnieje. Zapis nie jest możliwy !");

class CitiesCountriesTest : public CatalogueDialogTest {
protected:
    CitiesCountriesTest() {
        // The companies dialog may show another catalogue; these dialogs keep to the current one.
        state.CompanyFolder = folder + QStringLiteral("/inny");
    }

    // A city with the number given, as another installation or an older program left it.
    void addCity(int nr, const QString& name, const QString& code = {}) {
        testsupport::addRow(folder, QStringLiteral("Miasta"),
                            {{QStringLiteral("Miasto_Nr"), nr},
                             {QStringLiteral("Miasto_Nazwa"), name},
                             {QStringLiteral("Miasto_Tel_Kierunkowy"), code}});
    }
    int addCountry(const QString& name, const QString& code = {}) {
        return testsupport::addRow(
            folder, QStringLiteral("Panstwa"),
            {{QStringLiteral("Panstwo_Panstwo"), name}, {QStringLiteral("Panstwo_Kierunek"), code}},
            QStringLiteral("Panstwo_Nr"));
    }
    void addCompany(const QString& field, const QVariant& value) {
        testsupport::addRow(
            folder, QStringLiteral("Firmy"),
            {{QStringLiteral("Firma_Skrot"), QStringLiteral("Firma")}, {field, value}});
    }
    // "nr:name:code" of every row in number order.
    QStringList rows(const QString& table, const QString& nr, const QString& name,
                     const QString& code) {
        engine::Table t(folder, table);
        t.open();
        QStringList out;
        t.forEachRow([&] {
            out << QStringLiteral("%1:%2:%3")
                       .arg(t.asString(nr), t.asString(name), t.asString(code));
        });
        return out;
    }
    QStringList cities() {
        return rows(QStringLiteral("Miasta"), QStringLiteral("Miasto_Nr"),
                    QStringLiteral("Miasto_Nazwa"), QStringLiteral("Miasto_Tel_Kierunkowy"));
    }
    QStringList countries() {
        return rows(QStringLiteral("Panstwa"), QStringLiteral("Panstwo_Nr"),
                    QStringLiteral("Panstwo_Panstwo"), QStringLiteral("Panstwo_Kierunek"));
    }

    template <class D> std::unique_ptr<D> open() { return showActive<D>(state); }
    static QLineEdit* edit(QWidget* d, const char* name) { return lineEdit(d, name); }
    static QPushButton* button(QWidget* d, const char* name) { return pushButton(d, name); }
    static void find(ui::ListDialog& d, const QString& text) { d.searchBox()->setText(text); }

    // Adds a city through the dialog as the user would.
    static void addThrough(TEkr_Aktualizacja_Miasto& d, const QString& name,
                           const QString& code = {}) {
        click(d, "BB_Dodaj");
        typeText(edit(&d, "Edit_Miasto"), name);
        typeText(edit(&d, "Edit_Kierunkowy"), code);
        click(d, "BB_Zapisz");
    }
};

// --- Cities ----------------------------------------------------------------------------------

TEST_F(CitiesCountriesTest, NewCityTakesTheSmallestFreeNumber) {
    EXPECT_EQ(TEkr_Aktualizacja_Miasto::freeCityNr(folder), 1);
    auto d = open<TEkr_Aktualizacja_Miasto>();
    EXPECT_EQ(d->windowTitle(), "Miejscowości");
    EXPECT_EQ(edit(d.get(), "Edit_Miasto")->maxLength(), 20);
    EXPECT_EQ(edit(d.get(), "Edit_Kierunkowy")->maxLength(), 7);
    addThrough(*d, "Gdańsk", "58");
    addThrough(*d, "Kraków", "12");
    addCity(4, QStringLiteral("Opole"));
    addThrough(*d, "Łódź", "42");   // 1, 2, 4: the gap
    addThrough(*d, "Poznań", "61"); // 1, 2, 3, 4: after the last
    EXPECT_EQ(cities(),
              QStringList({"1:Gdańsk:58", "2:Kraków:12", "3:Łódź:42", "4:Opole:", "5:Poznań:61"}));
    EXPECT_EQ(d->table().asString(QStringLiteral("Miasto_Nazwa")), "Poznań");

    // A number freed by a deletion is taken again.
    find(*d, QStringLiteral("Kra"));
    messages.answerYes();
    click(*d, "BB_Usun");
    addThrough(*d, "Wrocław");
    EXPECT_EQ(cities().at(1), "2:Wrocław:");
    EXPECT_EQ(messages.count(), 1);
}

TEST_F(CitiesCountriesTest, EditingACityHoldsNoRowUntilTheSave) {
    addCity(1, QStringLiteral("Gdańsk"), QStringLiteral("58"));
    auto d = open<TEkr_Aktualizacja_Miasto>();
    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), " Dodawanie nowego miasta ");
    EXPECT_EQ(d->table().state(), State::Browse) << "Dodaj begins no row";
    click(*d, "BB_Anuluj");

    click(*d, "BB_Popraw");
    EXPECT_EQ(d->editPanel()->title(), " Edycja miejscowości ");
    EXPECT_EQ(d->table().state(), State::Browse) << "Popraw locks nothing";
    EXPECT_EQ(edit(d.get(), "Edit_Kierunkowy")->text(), "58");
    auto* code = edit(d.get(), "Edit_Kierunkowy");
    code->setFocus();
    code->selectAll();
    typeText(code, "058");
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(cities(), QStringList({"1:Gdańsk:058"}));

    // An empty name is refused.
    click(*d, "BB_Dodaj");
    typeText(edit(d.get(), "Edit_Kierunkowy"), "22");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Brak nazwy miejscowości. Zapis nie jest możliwy !");
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_TRUE(edit(d.get(), "Edit_Miasto")->hasFocus());

    // Esc abandons the edit even with the focus outside the boxes, then closes.
    typeText(edit(d.get(), "Edit_Miasto"), "X");
    d->list()->setFocus();
    EXPECT_EQ(d->mode(), Mode::Adding) << "changed: the edit stays";
    QTest::keyClick(d->list(), Qt::Key_Escape);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->isVisible());
    QTest::keyClick(d->list(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(cities(), QStringList({"1:Gdańsk:058"}));
}

TEST_F(CitiesCountriesTest, CityNamesAreUniqueRegardlessOfLetterCase) {
    addCity(1, QStringLiteral("Kraków"), QStringLiteral("12"));
    addCity(2, QStringLiteral("Łódź"), QStringLiteral("42"));
    auto d = open<TEkr_Aktualizacja_Miasto>();
    auto* name = edit(d.get(), "Edit_Miasto");

    addThrough(*d, "KRAKÓW");
    EXPECT_EQ(messages.last().text, kAdding);
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_TRUE(name->hasFocus());
    click(*d, "BB_Anuluj");

    find(*d, QStringLiteral("Łó"));
    click(*d, "BB_Popraw");
    name->selectAll();
    typeText(name, "kraków");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, kChanging);
    EXPECT_EQ(d->mode(), Mode::Changing);
    click(*d, "BB_Anuluj");
    EXPECT_EQ(messages.count(), 2);

    // A city saved under its own name, in another letter case too.
    find(*d, QStringLiteral("Kr"));
    click(*d, "BB_Popraw");
    name->selectAll();
    typeText(name, "KRAKÓW");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.count(), 2);
    EXPECT_EQ(cities(), QStringList({"1:KRAKÓW:12", "2:Łódź:42"}));
}

TEST_F(CitiesCountriesTest, CityUsedByACompanyNumberCannotBeDeleted) {
    addCity(1, QStringLiteral("Gdańsk"));
    addCity(2, QStringLiteral("Kraków"));
    addCompany(QStringLiteral("Firma_Miasto_Nr"), 2);
    addCompany(QStringLiteral("Firma_Miejscowosc"), QStringLiteral("Gdańsk")); // text only
    auto d = open<TEkr_Aktualizacja_Miasto>();

    find(*d, QStringLiteral("Kr"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.shown()[0].message.text, "Czy chcesz usunąć zaznaczoną pozycję ?");
    EXPECT_EQ(messages.shown()[0].message.defaultButton, ui::Button::Yes);
    EXPECT_EQ(messages.last().text, "Ta miejscowość jest wykorzystywanna przez inne bazy. \n"
                                    "Usunięcie nie jest możliwe !");
    EXPECT_EQ(cities().size(), 2);

    find(*d, QStringLiteral("Gd"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(cities(), QStringList({"2:Kraków:"}));
}

TEST_F(CitiesCountriesTest, PickingACityKeepsTheCallersPresetUntilAPick) {
    addCity(1, QStringLiteral("Gdańsk"), QStringLiteral("58"));
    addCity(2, QStringLiteral("Kraków"), QStringLiteral("12"));
    state.CityPickMode = QStringLiteral("Wybieranie");
    state.CitySearchText = QStringLiteral("Kra");
    state.PickedCityName = QStringLiteral("Kra");
    auto d = open<TEkr_Aktualizacja_Miasto>();
    EXPECT_EQ(state.PickedCityName, "Kra") << "not emptied at opening";
    EXPECT_TRUE(button(d.get(), "BB_Wybierz")->isVisible());
    EXPECT_EQ(d->searchBox()->text(), "Kra");
    click(*d, "BB_Powrot");
    EXPECT_EQ(state.PickedCityName, "Kra") << "nothing picked: the caller sees no change";
    EXPECT_TRUE(state.CityPickMode.isEmpty());

    state.CityPickMode = QStringLiteral("Wybieranie");
    state.CitySearchText = QStringLiteral("Kraków i okolice, wieś Zabierzów");
    auto again = open<TEkr_Aktualizacja_Miasto>();
    EXPECT_EQ(again->searchBox()->cursorPosition(), 20);
    EXPECT_FALSE(again->searchBox()->hasSelectedText()) << "typed on, not replaced";
    find(*again, QStringLiteral("Kr"));
    button(again.get(), "BB_Wybierz")->click();
    EXPECT_FALSE(again->isVisible());
    EXPECT_EQ(state.PickedCityName, "Kraków");
    EXPECT_EQ(state.PickedCityNr, 2);
    EXPECT_EQ(state.PickedCityCode, "12");
    EXPECT_TRUE(state.CityPickMode.isEmpty());
}

TEST_F(CitiesCountriesTest, ReadOnlyUserPicksACityWithoutWybierz) {
    addCity(1, QStringLiteral("Gdańsk"), QStringLiteral("58"));
    addCity(2, QStringLiteral("Kraków"), QStringLiteral("12"));
    state.RightsLevel = 1;
    state.CityPickMode = QStringLiteral("Wybieranie");
    auto d = open<TEkr_Aktualizacja_Miasto>();
    for (const char* b :
         {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Zapisz", "BB_Anuluj", "BB_Wybierz"})
        EXPECT_FALSE(button(d.get(), b)->isVisible()) << b;
    d->list()->setFocus();
    QTest::keyClick(d->list(), Qt::Key_Insert);
    QTest::keyClick(d->list(), Qt::Key_Delete);
    // Hidden from him; the handler, which Enter on the list reaches as well, refuses on its own.
    d->BB_PoprawClick();
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(messages.count(), 0);
    // A double-click picks for him.
    find(*d, QStringLiteral("Kr"));
    Q_EMIT d->list()->rowDoubleClicked();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedCityName, "Kraków");

    // So does Enter in the search field.
    state.CityPickMode = QStringLiteral("Wybieranie");
    auto again = open<TEkr_Aktualizacja_Miasto>();
    typeText(again->searchBox(), "g");
    QTest::keyClick(again->searchBox(), Qt::Key_Return);
    EXPECT_EQ(state.PickedCityName, "Gdańsk");
    EXPECT_EQ(state.PickedCityNr, 1);
    EXPECT_EQ(cities().size(), 2);
}

// --- Countries -------------------------------------------------------------------------------

TEST_F(CitiesCountriesTest, CountriesMayRepeatAndAddingStartsEmpty) {
    addCountry(QStringLiteral("Niemcy"), QStringLiteral("49"));
    auto d = open<TEkr_Aktualizacja_Panstwo>();
    EXPECT_EQ(d->windowTitle(), "Państwa");
    auto* name = edit(d.get(), "Edit_Panstwo");
    auto* code = edit(d.get(), "Edit_Kierunek");
    EXPECT_EQ(name->maxLength(), 30);
    EXPECT_EQ(code->maxLength(), 10);

    // Changing one, then adding: the boxes start empty, the new row begun at once.
    click(*d, "BB_Popraw");
    EXPECT_EQ(d->editPanel()->title(), "Edycja państwa");
    EXPECT_EQ(d->table().state(), State::Edit);
    typeText(code, "0");
    click(*d, "BB_Zapisz");
    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), "Dodawanie nowego panstwa");
    EXPECT_EQ(d->table().state(), State::Insert);
    EXPECT_TRUE(name->text().isEmpty());
    EXPECT_TRUE(code->text().isEmpty());

    // An empty name keeps the row in editing.
    typeText(code, "48");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Nie wprowadzona nazwa panstwa !. Zapis nie jest możliwy !");
    EXPECT_EQ(d->table().state(), State::Insert);
    EXPECT_TRUE(name->hasFocus());
    typeText(name, "Niemcy");
    QTest::keyClick(code, Qt::Key_Return);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(countries(), QStringList({"1:Niemcy:490", "2:Niemcy:48"}));
}

TEST_F(CitiesCountriesTest, CountryUsedByACompanyNumberCannotBeDeleted) {
    const int used = addCountry(QStringLiteral("Czechy"));
    addCountry(QStringLiteral("Słowacja"));
    addCompany(QStringLiteral("Firma_Panstwo_Nr"), used);
    addCompany(QStringLiteral("Firma_Panstwo"), QStringLiteral("Słowacja")); // text only
    auto d = open<TEkr_Aktualizacja_Panstwo>();

    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.shown()[0].message.text, "Czy na pewno chcesz usunąć zaznaczone panstwo ?");
    EXPECT_EQ(messages.shown()[0].message.defaultButton, ui::Button::No);
    EXPECT_EQ(messages.last().text, "To państwo jest wykorzystywanna przez bazę firm. \n"
                                    "Usunięcie nie jest możliwe !");
    EXPECT_EQ(countries().size(), 2);

    find(*d, QStringLiteral("Sł"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(countries(), QStringList({"1:Czechy:"}));
}

TEST_F(CitiesCountriesTest, PickingACountry) {
    addCountry(QStringLiteral("Czechy"), QStringLiteral("420"));
    const int nr = addCountry(QStringLiteral("Polska"), QStringLiteral("48"));
    state.CountryPickMode = QStringLiteral("Wybieranie");
    state.CountrySearchText = QStringLiteral("Po");
    state.PickedCountryName = QStringLiteral("Po");
    auto d = open<TEkr_Aktualizacja_Panstwo>();
    EXPECT_EQ(state.PickedCountryName, "Po") << "not emptied at opening";
    EXPECT_EQ(d->searchBox()->cursorPosition(), 2);
    QTest::keyClick(d->searchBox(), Qt::Key_Down); // into the list, past the end: stays
    QTest::keyClick(d->list(), Qt::Key_Return);    // Enter in the list picks
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedCountryName, "Polska");
    EXPECT_EQ(state.PickedCountryNr, nr);
    EXPECT_EQ(state.PickedCountryCode, "48");
    EXPECT_TRUE(state.CountryPickMode.isEmpty());

    // A read-only user keeps Wybierz here but changes nothing.
    state.RightsLevel = 1;
    state.CountryPickMode = QStringLiteral("Wybieranie");
    state.CountrySearchText.clear();
    auto ro = open<TEkr_Aktualizacja_Panstwo>();
    EXPECT_TRUE(button(ro.get(), "BB_Wybierz")->isVisible());
    for (const char* b : {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Zapisz", "BB_Anuluj"})
        EXPECT_FALSE(button(ro.get(), b)->isVisible()) << b;
    ro->list()->setFocus();
    QTest::keyClick(ro->list(), Qt::Key_Insert);
    QTest::keyClick(ro->list(), Qt::Key_Delete);
    EXPECT_EQ(ro->mode(), Mode::Browse);
    button(ro.get(), "BB_Wybierz")->click();
    EXPECT_EQ(state.PickedCountryName, "Czechy");
    EXPECT_EQ(countries().size(), 2);
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(CitiesCountriesTest, PickingPutsTheCaretAfterTheTwentiethCharacterAtMost) {
    const QString typed = QStringLiteral("Demokratyczna Republika Konga");
    state.CityPickMode = QStringLiteral("Wybieranie");
    state.CitySearchText = typed;
    auto city = open<TEkr_Aktualizacja_Miasto>();
    EXPECT_EQ(city->searchBox()->text(), typed);
    EXPECT_EQ(city->searchBox()->cursorPosition(), 20);

    state.CountryPickMode = QStringLiteral("Wybieranie");
    state.CountrySearchText = typed;
    auto country = open<TEkr_Aktualizacja_Panstwo>();
    EXPECT_EQ(country->searchBox()->text(), typed);
    EXPECT_EQ(country->searchBox()->cursorPosition(), 20);
}

} // namespace
