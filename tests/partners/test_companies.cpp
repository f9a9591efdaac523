// The companies dialog: what it does beyond the list-dialog pattern.
#include "engine/table.h"
#include "partners/Ak_firma.h"
#include "platform/clipboard.h"
#include "platform/launcher.h"
#include "store/catalogue_schema.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "store/settings.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>

namespace {

using partners::TEkr_Aktualizacja_Firma;
using Mode = ui::ListDialog::Mode;

class CompaniesTest : public CatalogueDialogTest {
protected:
    CompaniesTest()
        : CatalogueDialogTest(QStringLiteral("kat")), launcherGuard_(launcher),
          clipboardGuard_(clipboard) {}

    int addRow(const QString& table, const QVariantMap& fields, const QString& in = {}) {
        return testsupport::addRow(in.isEmpty() ? folder : in, table, fields,
                                   table == QLatin1String("Firmy") ? "Firma_Nr" : "");
    }
    int addCompany(const QString& shortName, QVariantMap more = {}) {
        more.insert(QStringLiteral("Firma_Skrot"), shortName);
        return addRow(QStringLiteral("Firmy"), more);
    }
    // The stored company of that short name: field -> display text.
    QString stored(const QString& shortName, const QString& field) {
        engine::Table t(folder, QStringLiteral("Firmy"));
        t.setIndexFieldNames(QStringLiteral("Firma_Skrot"));
        t.open();
        return t.findKey({shortName}) ? t.asString(field) : QStringLiteral("<brak>");
    }

    std::unique_ptr<TEkr_Aktualizacja_Firma> open() {
        return showActive<TEkr_Aktualizacja_Firma>(state);
    }
    static QLineEdit* edit(QWidget* d, const char* name) { return lineEdit(d, name); }
    static QPushButton* button(QWidget* d, const char* name) { return pushButton(d, name); }

    platform::FakeShellLauncher launcher;
    platform::FakeClipboard clipboard;

private:
    platform::ScopedLauncher launcherGuard_;
    platform::ScopedClipboard clipboardGuard_;
};

TEST_F(CompaniesTest, NewCompanyTakesPolandAndZeroAmounts) {
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Firmy");
    // Boxes as long as their fields, not longer.
    EXPECT_EQ(edit(d.get(), "Edit_Skrot")->maxLength(), 30);
    EXPECT_EQ(edit(d.get(), "Edit_Regon")->maxLength(), 20);
    EXPECT_EQ(edit(d.get(), "Edit_NIP")->maxLength(), 20);
    EXPECT_EQ(edit(d.get(), "Edit_Kod")->maxLength(), 8);
    EXPECT_FALSE(button(d.get(), "BB_Schowek")->isEnabled()) << "no company yet";

    click(*d, "BB_Dodaj");
    EXPECT_EQ(edit(d.get(), "Edit_Panstwo")->text(), "Polska");
    EXPECT_EQ(edit(d.get(), "Edit_Platnosci")->text(), "0");
    EXPECT_TRUE(edit(d.get(), "Edit_Skrot")->hasFocus());
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Brak nazwy skróconej firmy. Zapis nie jest możliwy !");
    EXPECT_EQ(d->mode(), Mode::Adding);

    typeText(edit(d.get(), "Edit_Skrot"), "Łącznik");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored("Łącznik", "Firma_Panstwo"), "Polska");
    EXPECT_EQ(stored("Łącznik", "Firma_Panstwo_Nr"), "0");
    EXPECT_EQ(stored("Łącznik", "Firma_Zaleglosci"), "0");
    EXPECT_TRUE(button(d.get(), "BB_Schowek")->isEnabled());
    EXPECT_EQ(d->findChild<QLabel*>("DBText_Naleznosci")->text(), "0 PLN");
}

TEST_F(CompaniesTest, AmountsNeedTheDecimalComma) {
    addCompany("Alfa");
    auto d = open();
    click(*d, "BB_Popraw");
    auto* pay = edit(d.get(), "Edit_Platnosci");
    pay->setText(QStringLiteral("1.5"));
    edit(d.get(), "Edit_Ulica")->setText(QStringLiteral("Długa 1"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text,
              "Dane do pola platności wprowadzone niepoprawnie. Zapisywanie przerwane !");
    EXPECT_EQ(d->mode(), Mode::Changing) << "the row stays in editing";
    EXPECT_EQ(pay->text(), "1.5");
    EXPECT_EQ(edit(d.get(), "Edit_Ulica")->text(), "Długa 1");
    EXPECT_TRUE(pay->hasFocus());
    EXPECT_EQ(stored("Alfa", "Firma_Ulica"), "");

    pay->setText(QStringLiteral("1,5"));
    edit(d.get(), "Edit_Naleznosci")->setText(QStringLiteral("dużo"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text,
              "Dane do pola należności wprowadzone niepoprawnie. Zapisywanie przerwane !");
    edit(d.get(), "Edit_Naleznosci")->setText(QStringLiteral("-2,25"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored("Alfa", "Firma_Zaleglosci"), "1,5");
    EXPECT_EQ(stored("Alfa", "Firma_Naleznosci"), "-2,25");
    EXPECT_EQ(stored("Alfa", "Firma_Ulica"), "Długa 1");
    EXPECT_EQ(d->findChild<QLabel*>("DBText_Platnosci")->text(), "1,5 PLN");
}

TEST_F(CompaniesTest, CityAndCountryNumbers) {
    addCompany("Alfa", {{"Firma_Miejscowosc", "Kraków"}, {"Firma_Miasto_Nr", 7}});
    auto d = open();
    auto* city = edit(d.get(), "Edit_Miejscowosc");

    // Another street, the same town: the number stays.
    click(*d, "BB_Popraw");
    typeText(edit(d.get(), "Edit_Ulica"), "Wąska 2");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(stored("Alfa", "Firma_Miasto_Nr"), "7");

    // A pick from the cities list is taken over with its number.
    click(*d, "BB_Popraw");
    runner.on("TEkr_Aktualizacja_Miasto", [this](QDialog&) {
        EXPECT_EQ(state.CityPickMode, "Wybieranie");
        EXPECT_EQ(state.CitySearchText, "Kraków");
        EXPECT_EQ(state.PickedCityName, "Kraków");
        state.PickedCityName = QStringLiteral("Gdańsk");
        state.PickedCityNr = 5;
    });
    button(d.get(), "BB_Miasto")->click();
    EXPECT_EQ(city->text(), "Gdańsk");
    EXPECT_TRUE(d->changed());
    EXPECT_EQ(d->mode(), Mode::Changing);
    // Picking the name already in the box is not taken over.
    runner.on("TEkr_Aktualizacja_Miasto", [this](QDialog&) {
        state.PickedCityName = QStringLiteral("Gdańsk");
        state.PickedCityNr = 9;
    });
    city->setFocus();
    QTest::keyClick(city, Qt::Key_Return); // Enter in the box opens the list
    // Enter in the country box opens the countries list.
    runner.on("TEkr_Aktualizacja_Panstwo", [this](QDialog&) {
        EXPECT_EQ(state.CountrySearchText, "");
        state.PickedCountryName = QStringLiteral("Niemcy");
        state.PickedCountryNr = 3;
    });
    auto* country = edit(d.get(), "Edit_Panstwo");
    country->setFocus();
    QTest::keyClick(country, Qt::Key_Return);
    EXPECT_EQ(country->text(), "Niemcy");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(stored("Alfa", "Firma_Miejscowosc"), "Gdańsk");
    EXPECT_EQ(stored("Alfa", "Firma_Miasto_Nr"), "5");
    EXPECT_EQ(stored("Alfa", "Firma_Panstwo_Nr"), "3");

    // A town typed over the picked one is no longer the listed town.
    click(*d, "BB_Popraw");
    city->selectAll();
    typeText(city, "Sopot");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(stored("Alfa", "Firma_Miejscowosc"), "Sopot");
    EXPECT_EQ(stored("Alfa", "Firma_Miasto_Nr"), "0");
    EXPECT_EQ(stored("Alfa", "Firma_Panstwo_Nr"), "3");
}

TEST_F(CompaniesTest, DeletionIsRefusedOnlyForAProducer) {
    const int producer = addCompany("Producent");
    const int supplier = addCompany("Dostawca");
    addRow("Towar", {{"Tow_Nazwa", "Śruba"}, {"Tow_Nr_Producent", producer}});
    addRow("Cena", {{"Cena_Firma_Nr", supplier}});
    auto d = open();
    d->searchBox()->setText(QStringLiteral("Prod"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.shown()[0].message.text, "Czy chcesz usunąć zaznaczoną firmę!");
    EXPECT_EQ(messages.shown()[0].message.defaultButton, ui::Button::Yes);
    EXPECT_EQ(messages.last().text,
              "Ta firma jest wykorzystywanna przez inne bazy. \nUsunięcie nie jest możliwe !");
    EXPECT_EQ(stored("Producent", "Firma_Nr"), QString::number(producer));

    d->searchBox()->setText(QStringLiteral("Dost"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(stored("Dostawca", "Firma_Nr"), "<brak>");
}

TEST_F(CompaniesTest, ClipboardBlock) {
    const int nr = addCompany("Beta", {{"Firma_Nazwa1", "Beta sp. z o.o."},
                                       {"Firma_Nazwa3", "oddział Kraków"},
                                       {"Firma_Ulica", "Długa 5"},
                                       {"Firma_Miejscowosc", "Kraków"}});
    addCompany("Gamma");
    addRow("Telefon", {{"Telefon_Firma_nr", nr},
                       {"Telefon_Kontakt", "Jan Nowak"},
                       {"Telefon_Nr_Tel", "12 345 67 89"}});
    auto d = open();
    button(d.get(), "BB_Schowek")->click();
    EXPECT_EQ(clipboard.textHeld,
              "Beta sp. z o.o.\noddział Kraków\nDługa 5\n Kraków\nJan Nowak 12 345 67 89");
    d->searchBox()->setText(QStringLiteral("G"));
    button(d.get(), "BB_Schowek")->click();
    EXPECT_EQ(clipboard.textHeld, " ");
}

TEST_F(CompaniesTest, PickingWithEnterInTheSearchField) {
    // The companies of another folder, as orders and offers ask for them.
    const QString other = tmp.path() + QStringLiteral("/glowny");
    QDir().mkpath(other);
    store::createCatalogue(other);
    addRow("Firmy", {{"Firma_Skrot", "Alfa"}}, other);
    const int nr = addRow("Firmy",
                          {{"Firma_Skrot", "Beta"},
                           {"Firma_Nazwa1", "Beta SA"},
                           {"Firma_Ulica", "Polna 1"},
                           {"Firma_Kod_Poczt", "30-001"},
                           {"Firma_Miejscowosc", "Kraków"}},
                          other);
    state.CompanyFolder = other;
    state.CompanyPickMode = QStringLiteral("Wybieranie");
    state.CompanySearchText = QStringLiteral("Be");
    state.PickedCompanyNr = 77;
    state.PickedCompanyBlock = QStringList{"stary"};
    auto d = open();
    EXPECT_TRUE(state.CompanyFolder.isEmpty()) << "read once";
    EXPECT_EQ(state.PickedCompanyNr, 0);
    EXPECT_EQ(d->folder(), other);
    EXPECT_TRUE(button(d.get(), "BB_Wybierz")->isVisible());
    QTest::keyClick(d->searchBox(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedCompanyNr, nr);
    EXPECT_EQ(state.PickedCompanyName, "Beta");
    EXPECT_EQ(state.PickedCompanyBlock,
              QStringList({"Beta SA", "", "", "Polna 1", "30-001 Kraków"}));
    EXPECT_TRUE(state.CompanyPickMode.isEmpty());

    // Closed without a pick: nothing chosen, the block as it was.
    state.CompanyPickMode = QStringLiteral("Wybieranie");
    auto again = open();
    click(*again, "BB_Powrot");
    EXPECT_EQ(state.PickedCompanyNr, 0);
    EXPECT_TRUE(state.PickedCompanyName.isEmpty());
    EXPECT_EQ(state.PickedCompanyBlock.size(), 5);
}

TEST_F(CompaniesTest, ReadOnlyUser) {
    addCompany("Alfa");
    addCompany("Beta");
    state.RightsLevel = 1;
    state.CompanyPickMode = QStringLiteral("Wybieranie");
    auto d = open();
    for (const char* b : {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Zapisz", "BB_Anuluj",
                          "BB_Wybierz", "BB_Kontakty"})
        EXPECT_FALSE(button(d.get(), b)->isVisible()) << b;
    d->list()->setFocus();
    QTest::keyClick(d->list(), Qt::Key_Return); // nothing in the list
    QTest::keyClick(d->list(), Qt::Key_Insert);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->mode(), Mode::Browse);
    d->searchBox()->setFocus();
    typeText(d->searchBox(), "B");
    QTest::keyClick(d->searchBox(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedCompanyName, "Beta");
}

TEST_F(CompaniesTest, ContactsPage) {
    const int nr = addCompany("Alfa");
    addCompany("Beta");
    addRow("Telefon", {{"Telefon_Firma_nr", nr},
                       {"Telefon_Kontakt", "strona"},
                       {"Telefon_Nr_Tel", "www.alfa.pl"}});
    auto d = open();
    EXPECT_EQ(d->contacts().recordCount(), 1);
    EXPECT_TRUE(button(d.get(), "BB_WWW")->isEnabled());

    // Without a settings record the desktop's browser opens the address; e-mail goes to mailto.
    button(d.get(), "BB_WWW")->click();
    button(d.get(), "BB_Email")->click();
    ASSERT_EQ(launcher.requests.size(), 2u);
    EXPECT_TRUE(launcher.requests[0].program.isEmpty());
    EXPECT_EQ(launcher.requests[0].parameters, "http://www.alfa.pl");
    EXPECT_EQ(launcher.requests[1].parameters, "mailto:www.alfa.pl");

    // A browser of the settings record that exists is started with the address.
    const QString main = tmp.path() + QStringLiteral("/main/");
    store::MainFolderSetup setup;
    setup.catalogueShown = setup.catalogueExpanded = folder;
    store::createMainFolder(main, setup);
    QFile program(main + QStringLiteral("przegladarka"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    {
        store::Settings settings(main);
        settings.setValue(QStringLiteral("Pelk_Przegladarka"), program.fileName());
        settings.save();
    }
    state.MainFolder = main;
    button(d.get(), "BB_WWW")->click();
    ASSERT_EQ(launcher.requests.size(), 3u);
    EXPECT_EQ(launcher.requests[2].program, program.fileName());
    EXPECT_EQ(launcher.requests[2].parameters, "www.alfa.pl");

    // The contacts follow the company.
    d->searchBox()->setText(QStringLiteral("B"));
    EXPECT_TRUE(d->contacts().isEmpty());
    EXPECT_FALSE(button(d.get(), "BB_WWW")->isEnabled());

    // "Kontakty" while adding, then for a saved company.
    click(*d, "BB_Dodaj");
    typeText(edit(d.get(), "Edit_Skrot"), "Nowa");
    QTabBar* tabs = child<QTabWidget>(d.get(), "PageControl_Firma")->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center()); // its page
    click(*d, "BB_Kontakty");
    EXPECT_EQ(messages.last().text,
              "Aby mieć dostęp do Kontaktów najpierw kliknij przycisk Zapisz !");
    EXPECT_EQ(d->mode(), Mode::Adding);
    click(*d, "BB_Zapisz");
    runner.on("TEkr_Aktualizacja_Telefony", [this](QDialog& contacts) {
        EXPECT_EQ(state.ContactCompanyName, "Nowa");
        // On the companies' folder, handed over through CompanyFolder.
        EXPECT_EQ(dynamic_cast<ui::ListDialog&>(contacts).table().databaseName(), folder);
        addRow("Telefon",
               {{"Telefon_Firma_nr", state.ContactOwnerNr}, {"Telefon_Kontakt", "biuro"}});
    });
    button(d.get(), "BB_Kontakty")->click();
    EXPECT_EQ(d->contacts().recordCount(), 1) << "re-read after the contacts dialog";
    EXPECT_EQ(d->contacts().asString("Telefon_Kontakt"), "biuro");
}

TEST_F(CompaniesTest, OrderKeysAndEsc) {
    addCompany("Alfa", {{"Firma_NIP", "999"}});
    addCompany("Beta", {{"Firma_NIP", "111"}});
    auto d = open();
    auto* order = d->findChild<QComboBox*>("ComboBox_Wg");
    EXPECT_EQ(order->currentText(), "Nazwa skrócona");
    order->setCurrentIndex(1);
    d->table().first();
    EXPECT_EQ(d->table().asString("Firma_Skrot"), "Beta") << "ordered by NIP";
    d->searchBox()->setText(QStringLiteral("5"));
    EXPECT_EQ(d->table().asString("Firma_Skrot"), "Alfa") << "searched by NIP";

    // Up and Down go through the boxes across the pages.
    auto* pages = d->findChild<QTabWidget*>("PageControl_Firma");
    click(*d, "BB_Popraw");
    auto* street = edit(d.get(), "Edit_Ulica");
    street->setFocus();
    QTest::keyClick(street, Qt::Key_Down);
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_TRUE(edit(d.get(), "Edit_Regon")->hasFocus());
    QTest::keyClick(edit(d.get(), "Edit_Regon"), Qt::Key_Up);
    EXPECT_EQ(pages->currentIndex(), 0);
    EXPECT_TRUE(street->hasFocus());
    EXPECT_EQ(d->mode(), Mode::Changing);
    // A page chosen by its tab keeps the edit going.
    QTest::mouseClick(pages->tabBar(), Qt::LeftButton, {}, pages->tabBar()->tabRect(1).center());
    EXPECT_EQ(pages->currentIndex(), 1);
    EXPECT_TRUE(edit(d.get(), "Edit_Regon")->hasFocus());
    EXPECT_EQ(d->mode(), Mode::Changing);
    street->setFocus();

    // Esc with changes asks and stays; without changes it closes, also while editing.
    typeText(street, "x");
    messages.answerNo();
    QTest::keyClick(street, Qt::Key_Escape);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->isVisible());
    click(*d, "BB_Popraw");
    QTest::keyClick(edit(d.get(), "Edit_Skrot"), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(stored("Alfa", "Firma_Ulica"), "");
}

} // namespace

// Switching pages with the keyboard while a new company is typed keeps it being typed: the box
// that had the focus is only hidden, not left.
TEST_F(CompaniesTest, ChangingPagesByKeyboardKeepsTheTypedCompany) {
    auto d = open();
    click(*d, "BB_Dodaj");
    typeText(edit(d.get(), "Edit_Skrot"), "Łącznik");
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    QTest::keyClick(focus, Qt::Key_Tab, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : d.get(),
                    Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_EQ(edit(d.get(), "Edit_Skrot")->text(), "Łącznik");
    EXPECT_FALSE(d->searchBox()->hasFocus()) << "typing must not reach the search field";
    click(*d, "BB_Zapisz");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored("Łącznik", "Firma_Panstwo"), "Polska");
}
