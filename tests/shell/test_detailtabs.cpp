// The detail notebook under the item list: each page shows the current item's rows with the
// related values looked up, follows a move through the list, and keeps only its own tables open.
#include "shell/detailtabs.h"
#include "shell/fixture.h"
#include "support/pictures.h"
#include "support/rows.h"
#include <initializer_list>
#include <utility>

using namespace shelltest;
using testsupport::addRow;
using testsupport::pngPicture;
using Outcome = shell::MainController::StartOutcome;

namespace {

QString text(engine::DataSet& ds, const char* field) {
    return ds.asString(QLatin1String(field));
}

class DetailTabsTest : public ShellTest {
protected:
    // Items 1 Lampa, 2 Klosz, 3 Żarówka (name order: Klosz, Lampa, Żarówka). The lamp is made of
    // 2,5 shades and a bulb, and a bulb can stand in for it; the shade carries a file address.
    std::unique_ptr<shell::TForm_Pelk> startWithRelations() {
        makeMainFolder();
        addRow(catalogue, "Grupa", {{"Grupa_Nazwa", QStringLiteral("Oświetlenie")}});
        addRow(catalogue, "Firmy", {{"Firma_Skrot", QStringLiteral("Lumex")}});
        addRow(catalogue, "Towar",
               {{"Tow_Nazwa", QStringLiteral("Lampa")},
                {"Tow_Nazwa2", QStringLiteral("stojąca")},
                {"Tow_Grupa_nr", 1},
                {"Tow_Nr_Producent", 1}});
        addRow(catalogue, "Towar",
               {{"Tow_Nazwa", QStringLiteral("Klosz")},
                {"Tow_Nazwa2", QStringLiteral("szklany")},
                {"Tow_Symbol", QStringLiteral("K-1")},
                {"Tow_Kod_Prod", QStringLiteral("LX-7")},
                {"Tow_SRP", 12.5},
                {"Tow_Cena_A", 11.0}});
        addRow(catalogue, "Towar",
               {{"Tow_Nazwa", QStringLiteral("Żarówka")}, {"Tow_Symbol", QStringLiteral("Z-9")}});
        addRow(catalogue, "Cecha",
               {{"Cecha_Opis", QStringLiteral("Instrukcja")}, {"Cecha_Typ", QStringLiteral("S")}});
        addRow(catalogue, "Cecha",
               {{"Cecha_Opis", QStringLiteral("Kolor")}, {"Cecha_Typ", QStringLiteral("T")}});
        addRow(catalogue, "Opis",
               {{"Opis_Tow_Nr", 1}, {"Opis_Cecha_Nr", 2}, {"Opis_Opis", QStringLiteral("czarny")}});
        addRow(
            catalogue, "Opis",
            {{"Opis_Tow_Nr", 2}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", QStringLiteral("klosz.pdf")}});
        addRow(catalogue, "Sklada",
               {{"Sklada_Tow_Nr", 1}, {"Sklada_Nr_Czesci", 2}, {"Sklada_il_szt", 2.5}});
        addRow(catalogue, "Sklada",
               {{"Sklada_Tow_Nr", 1}, {"Sklada_Nr_Czesci", 3}, {"Sklada_il_szt", 1.0}});
        addRow(catalogue, "Zamienne", {{"Zam_Tow_Nr", 1}, {"Zam_Nr_Zam", 3}});
        // The lamp has a drawing, prices in euro and in a currency deleted since, and a loan.
        addRow(catalogue, "Rysunek",
               {{"Rys_Opis", QStringLiteral("Schemat")}, {"Rys_Blob", pngPicture()}});
        addRow(catalogue, "Grafika", {{"Grafika_Tow_Nr", 1}, {"Grafika_Rys_Nr", 1}});
        addRow(catalogue, "Waluta",
               {{"Waluta_Nazwa", QStringLiteral("EUR")}, {"Waluta_Kurs", 4.0}});
        addRow(catalogue, "Cena",
               {{"Cena_Tow_Nr", 1},
                {"Cena_Firma_Nr", 1},
                {"Cena_Waluta_Nr", 1},
                {"Cena_1", 2.5},
                {"Cena_2", 3.0},
                {"Cena_SRP", 5.0},
                {"Cena_Uwaga", QStringLiteral("od 10 szt.")}});
        addRow(catalogue, "Cena", {{"Cena_Tow_Nr", 1}, {"Cena_Waluta_Nr", 9}, {"Cena_1", 7.0}});
        addRow(catalogue, "Osoby", {{"Osoba_Nazwa", QStringLiteral("Jan Kowalski")}});
        addRow(catalogue, "Wypozycz",
               {{"Wypozycz_Towar_Nr", 1},
                {"Wypozycz_Osoba_Nr", 1},
                {"Wypozycz_Pobrano", QDate(2024, 5, 2)},
                {"Wypozycz_Ilosc", 2.0},
                {"Wypozycz_Oddano", false}});
        auto w = startWindow();
        EXPECT_EQ(outcome, Outcome::Running);
        return w;
    }
};

} // namespace

TEST_F(DetailTabsTest, GeneralDataShowsTheGroupAndProducerOfTheCurrentItem) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));
    EXPECT_EQ(f.DBText_Grupa->text(), "Oświetlenie");
    EXPECT_EQ(f.DBText_Producent->text(), "Lumex");
    goTo(*w, QStringLiteral("Klosz"));
    EXPECT_EQ(f.DBText_Grupa->text(), "") << "an item without a group shows none";
    EXPECT_EQ(f.DBText_Producent->text(), "");
    EXPECT_TRUE(s.TFGrupa.isOpen());
}

TEST_F(DetailTabsTest, AttributeValuesFollowTheItemAndZobaczOnlyForAnAddress) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Attributes);
    ASSERT_TRUE(s.TOpis.isOpen());
    EXPECT_EQ(gridNames(f.DBGrid_Wlasnosci), QStringList{"Kolor"});
    EXPECT_EQ(text(s.TOpis, "Pomoc_Typ"), "T");
    EXPECT_FALSE(f.SB_Zobacz->isEnabled());

    goTo(*w, QStringLiteral("Klosz"));
    EXPECT_EQ(gridNames(f.DBGrid_Wlasnosci), QStringList{"Instrukcja"});
    EXPECT_EQ(text(s.TOpis, "Opis_Opis"), "klosz.pdf");
    EXPECT_TRUE(f.SB_Zobacz->isEnabled()) << "type S is a file or web address";
    EXPECT_EQ(f.SB_Zobacz->toolTip(),
              QStringLiteral("Uruchoniene pliku ze skojarzonym programem lub strony WWW"));

    goTo(*w, QStringLiteral("Żarówka"));
    EXPECT_TRUE(s.TOpis.isEmpty());
    EXPECT_FALSE(f.SB_Zobacz->isEnabled()) << "no attribute, nothing to look at";

    goTo(*w, QStringLiteral("Klosz"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::General);
    EXPECT_FALSE(f.SB_Zobacz->isEnabled()) << "the page's table is closed";
}

TEST_F(DetailTabsTest, RelationPagesShowTheRelatedItemsAndFollowAMove) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));

    f.TNotebook->setCurrentIndex(shell::DetailTabs::ConsistsOf);
    EXPECT_EQ(gridNames(f.DBGrid_Sklada), (QStringList{"Klosz", "Żarówka"}));
    s.TSklada.first();
    EXPECT_EQ(text(s.TSklada, "Pomoc_Tow_Nazwa2"), "szklany");
    EXPECT_EQ(text(s.TSklada, "Pomoc_Tow_Symbol"), "K-1");
    EXPECT_EQ(text(s.TSklada, "Pomoc_Tow_Symbol_Prod"), "LX-7");
    EXPECT_DOUBLE_EQ(s.TSklada.asFloat(QStringLiteral("Pomoc_Tow_SRP")), 12.5);
    EXPECT_DOUBLE_EQ(s.TSklada.asFloat(QStringLiteral("Pomoc_Tow_Cena_A")), 11.0);
    EXPECT_DOUBLE_EQ(s.TSklada.asFloat(QStringLiteral("Sklada_il_szt")), 2.5);
    goTo(*w, QStringLiteral("Klosz"));
    EXPECT_TRUE(gridNames(f.DBGrid_Sklada).isEmpty()) << "the shade has no parts";

    f.TNotebook->setCurrentIndex(shell::DetailTabs::GoesInto);
    EXPECT_EQ(gridNames(f.DBGrid_Wchodzi), QStringList{"Lampa"});
    EXPECT_EQ(text(s.TWchodzi, "Pomoc_Towar_Nazwa2"), "stojąca");
    EXPECT_DOUBLE_EQ(s.TWchodzi.asFloat(QStringLiteral("Sklada_il_szt")), 2.5);
    goTo(*w, QStringLiteral("Lampa"));
    EXPECT_TRUE(gridNames(f.DBGrid_Wchodzi).isEmpty()) << "the lamp goes into nothing";

    f.TNotebook->setCurrentIndex(shell::DetailTabs::Substitutes);
    EXPECT_EQ(gridNames(f.DBGrid_Zamienniki), QStringList{"Żarówka"});
    EXPECT_EQ(text(s.TZamienniki, "Zam_Tow_Symbol"), "Z-9");
    goTo(*w, QStringLiteral("Żarówka"));
    EXPECT_TRUE(gridNames(f.DBGrid_Zamienniki).isEmpty()) << "a substitute is stored one way";
}

TEST_F(DetailTabsTest, OnlyTheVisiblePagesTablesAreOpen) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    const std::pair<int, QList<engine::DataSet*>> pages[] = {
        {shell::DetailTabs::Attributes, {&s.TOpis, &s.TCecha}},
        {shell::DetailTabs::GoesInto, {&s.TWchodzi, &s.TPomoc_Towar}},
        {shell::DetailTabs::ConsistsOf, {&s.TSklada, &s.TPomoc_Towar}},
        {shell::DetailTabs::Substitutes, {&s.TZamienniki, &s.TPomoc_Towar}},
        {shell::DetailTabs::Drawings, {&s.TGrafika, &s.TRysunek, &s.TPodglad_Rys}},
        {shell::DetailTabs::Prices, {&s.TCeny, &s.TPomocFirma, &s.TPomocWaluta}},
        {shell::DetailTabs::Lending, {&s.TWypozycz}},
        {shell::DetailTabs::Notes, {}},
        {shell::DetailTabs::General, {}}};
    const QList<engine::DataSet*> details = {
        &s.TOpis,    &s.TCecha, &s.TWchodzi, &s.TSklada,      &s.TZamienniki, &s.TPomoc_Towar,
        &s.TGrafika, &s.TCeny,  &s.TRysunek, &s.TPodglad_Rys, &s.TWypozycz};
    for (const auto& [page, open] : pages) {
        f.TNotebook->setCurrentIndex(page);
        for (engine::DataSet* t : details)
            EXPECT_EQ(t->isOpen(), open.contains(t))
                << "page " << page << ", table " << t->displayName().toStdString();
    }
}

TEST_F(DetailTabsTest, InQueryModeThePagesFollowTheQuerysItem) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    f.TNotebook->setCurrentIndex(shell::DetailTabs::ConsistsOf);
    s.QTowar.close();
    s.QTowar.setSql({QStringLiteral("SELECT * FROM Towar"), QStringLiteral("ORDER BY Tow_Nazwa")});
    s.Query.queryActive = true;
    // The list's query mode is a procedure of the window with no button of its own.
    w->BB_SQLClick();
    ASSERT_EQ(f.DBGrid_Towary->dataSet(), &s.QTowar);
    EXPECT_TRUE(gridNames(f.DBGrid_Sklada).isEmpty()) << "Klosz first";
    s.QTowar.next();
    EXPECT_EQ(text(s.QTowar, "Tow_Nazwa"), "Lampa");
    EXPECT_EQ(gridNames(f.DBGrid_Sklada), (QStringList{"Klosz", "Żarówka"}));
}

TEST_F(DetailTabsTest, DrawingsPageShowsTheItemsDrawingAndItsPicture) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Drawings);
    EXPECT_EQ(gridNames(f.DBGrid_Rysunek), QStringList{"Schemat"});
    ASSERT_FALSE(f.DBImage->pixmap().isNull()) << "the stored PNG is shown as it is";
    EXPECT_EQ(f.DBImage->pixmap().size(), QSize(8, 6));
    EXPECT_FALSE(f.DBImage->hasScaledContents());
    f.CBox_Dopasowany->setChecked(true);
    EXPECT_TRUE(f.DBImage->hasScaledContents());

    goTo(*w, QStringLiteral("Klosz"));
    EXPECT_TRUE(gridNames(f.DBGrid_Rysunek).isEmpty());
    EXPECT_TRUE(f.DBImage->pixmap().isNull()) << "no drawing, no picture";

    goTo(*w, QStringLiteral("Lampa"));
    f.CBox_Widoczny->setChecked(false);
    EXPECT_FALSE(s.TPodglad_Rys.isOpen()) << "pictures not shown are not read";
    EXPECT_TRUE(f.DBImage->pixmap().isNull());
    EXPECT_TRUE(f.DBImage->isHidden());
    EXPECT_TRUE(f.CBox_Dopasowany->isHidden());
    EXPECT_TRUE(f.BB_Duzy->isHidden());
    f.CBox_Widoczny->setChecked(true);
    EXPECT_FALSE(f.DBImage->isHidden());
    EXPECT_FALSE(f.DBImage->pixmap().isNull());
}

TEST_F(DetailTabsTest, PricesPageComputesTheHomeCurrencyPrices) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Prices);
    ASSERT_EQ(f.DBGrid_Cena->gridModel()->rowCount(), 2);
    s.TCeny.first();
    EXPECT_EQ(text(s.TCeny, "Pomoc_Firma_Nazwa"), "Lumex");
    EXPECT_DOUBLE_EQ(s.TCeny.asFloat(QStringLiteral("Pomoc_Waluta_kurs")), 4.0);
    EXPECT_DOUBLE_EQ(s.TCeny.asFloat(QStringLiteral("Obl_Cena_1")), 10.0) << "2,5 at a rate of 4";
    EXPECT_DOUBLE_EQ(s.TCeny.asFloat(QStringLiteral("Obl_Cena_2")), 12.0);
    EXPECT_TRUE(s.TCeny.isNull(QStringLiteral("Obl_Cena_3"))) << "no price C, none converted";
    EXPECT_DOUBLE_EQ(s.TCeny.asFloat(QStringLiteral("Obl_Cena_SRP")), 20.0);
    EXPECT_EQ(f.DBText_Cena_Uwagi->text(), "od 10 szt.");
    // Prices and converted prices are shown as money; a price not given stays empty.
    auto* prices = f.DBGrid_Cena->gridModel();
    prices->ensureRows(0, 1);
    auto shown = [&](const char* field) {
        return prices->index(0, prices->columnOfField(QLatin1String(field))).data().toString();
    };
    EXPECT_EQ(shown("Cena_1"), "2,50");
    EXPECT_EQ(shown("Obl_Cena_1"), "10,00");
    EXPECT_EQ(shown("Obl_Cena_3"), "");
    EXPECT_EQ(shown("Cena_3"), "");
    s.TCeny.next();
    EXPECT_TRUE(s.TCeny.isNull(QStringLiteral("Pomoc_Waluta_kurs")));
    EXPECT_DOUBLE_EQ(s.TCeny.asFloat(QStringLiteral("Obl_Cena_1")), 0.0)
        << "a missing currency gives 0";
    EXPECT_EQ(f.DBText_Cena_Uwagi->text(), "");

    goTo(*w, QStringLiteral("Klosz"));
    EXPECT_EQ(f.DBGrid_Cena->gridModel()->rowCount(), 0) << "the shade has no prices";
}

TEST_F(DetailTabsTest, WithoutThePriceRightThePricesPageStaysEmpty) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));
    // As the login leaves a user without the price right.
    s.PriceRight = false;
    w->setPriceGridBound(false);
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Prices);
    EXPECT_EQ(f.DBGrid_Cena->dataSet(), nullptr);
    EXPECT_EQ(f.DBGrid_Cena->gridModel()->rowCount(), 0);
    EXPECT_FALSE(s.TCeny.isOpen()) << "prices are not even read";
    EXPECT_EQ(f.DBText_Cena_Uwagi->text(), "") << "nor their remarks";
    bool ran = false;
    EXPECT_FALSE(
        w->controller().detailTabs().runEditor(shell::DetailTabs::Prices, [&] { ran = true; }));
    EXPECT_FALSE(ran) << "nor is their editor opened";
    s.PriceRight = true;
    EXPECT_TRUE(
        w->controller().detailTabs().runEditor(shell::DetailTabs::Prices, [&] { ran = true; }));
    EXPECT_TRUE(ran);
}

TEST_F(DetailTabsTest, LendingPageListsTheItemsLoansWithTheBorrower) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Lending);
    EXPECT_EQ(gridNames(f.DBGrid_Wypozycz), QStringList{"Jan Kowalski"});
    EXPECT_EQ(text(s.TWypozycz, "Wypozycz_Pobrano"), "02-05-2024");
    EXPECT_DOUBLE_EQ(s.TWypozycz.asFloat(QStringLiteral("Wypozycz_Ilosc")), 2.0);
    EXPECT_FALSE(s.TWypozycz.asBoolean(QStringLiteral("Wypozycz_Oddano")));
    goTo(*w, QStringLiteral("Klosz"));
    EXPECT_TRUE(gridNames(f.DBGrid_Wypozycz).isEmpty());
    f.TNotebook->setCurrentIndex(shell::DetailTabs::General);
    EXPECT_FALSE(s.TWypozycz.isOpen());
}

TEST_F(DetailTabsTest, GoToLandsOnTheWholeThePartAndTheSubstitute) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    auto current = [&] { return text(s.TFTowar, "Tow_Nazwa"); };

    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::ConsistsOf);
    s.TSklada.last();
    f.BB_Sklada_sie_idz_do->click();
    EXPECT_EQ(current(), "Żarówka") << "the part of the current row";
    EXPECT_EQ(s.TFTowar.indexFieldNames(), "Tow_Nazwa") << "the list keeps its order";
    EXPECT_EQ(f.DBGrid_Towary->currentIndex().row(), 2);

    goTo(*w, QStringLiteral("Klosz"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::GoesInto);
    f.BB_Wchodzi_do_idz_do->click();
    EXPECT_EQ(current(), "Lampa") << "the whole";

    f.TNotebook->setCurrentIndex(shell::DetailTabs::Substitutes);
    // The go-to by the page shown has no button of its own (each page has its own).
    w->BB_idz_doClick();
    EXPECT_EQ(current(), "Żarówka") << "the substitute, by the page shown";

    // The bulb has no substitute: nothing moves.
    f.BB_Zamiennika_idz_do->click();
    EXPECT_EQ(current(), "Żarówka");
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Notes);
    w->BB_idz_doClick();
    EXPECT_EQ(current(), "Żarówka") << "a page without relations goes nowhere";
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(DetailTabsTest, GoToFromTheQueryShowsTheWholeCatalogueOnTheRelatedItem) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    f.TNotebook->setCurrentIndex(shell::DetailTabs::ConsistsOf);
    s.QTowar.close();
    s.QTowar.setSql({QStringLiteral("SELECT * FROM Towar WHERE Tow_Nazwa = 'Lampa'"),
                     QStringLiteral("ORDER BY Tow_Nazwa")});
    s.Query.queryActive = true;
    // The list's query mode is a procedure of the window with no button of its own.
    w->BB_SQLClick();
    ASSERT_EQ(gridNames(f.DBGrid_Sklada), (QStringList{"Klosz", "Żarówka"}));
    w->setCommandEnabled(QStringLiteral("Filtr1"), false); // as a query in force leaves it
    f.BB_Sklada_sie_idz_do->click();
    EXPECT_EQ(f.DBGrid_Towary->dataSet(), &s.TFTowar);
    EXPECT_EQ(text(s.TFTowar, "Tow_Nazwa"), "Klosz");
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Filtr1"))) << "no query, so the filter again";

    // A related item among the query's answers keeps the query.
    s.QTowar.close();
    s.QTowar.setSql({QStringLiteral("SELECT * FROM Towar"), QStringLiteral("ORDER BY Tow_Nazwa")});
    s.Query.queryActive = true;
    // The list's query mode is a procedure of the window with no button of its own.
    w->BB_SQLClick();
    ASSERT_TRUE(
        s.QTowar.locate(QStringLiteral("Tow_Nazwa"), QStringLiteral("Lampa"), false, false));
    f.BB_Sklada_sie_idz_do->click();
    EXPECT_EQ(f.DBGrid_Towary->dataSet(), &s.QTowar);
    EXPECT_EQ(text(s.QTowar, "Tow_Nazwa"), "Klosz");
    EXPECT_EQ(text(s.TFTowar, "Tow_Nazwa"), "Klosz") << "the pages follow";
}

TEST_F(DetailTabsTest, GoToAndDoubleClicksDoNothingOnAnEmptyCatalogue) {
    makeMainFolder();
    auto w = startWindow();
    auto& s = w->state();
    auto& f = w->form();
    ASSERT_TRUE(s.CatalogueEmpty);
    bool ran = false;
    for (int page : {shell::DetailTabs::Attributes, shell::DetailTabs::GoesInto,
                     shell::DetailTabs::ConsistsOf, shell::DetailTabs::Substitutes}) {
        f.TNotebook->setCurrentIndex(page);
        EXPECT_FALSE(w->controller().goToRelated(page));
        EXPECT_FALSE(w->controller().detailTabs().runEditor(page, [&] { ran = true; }));
    }
    f.BB_Wchodzi_do_idz_do->click();
    f.BB_Sklada_sie_idz_do->click();
    f.BB_Zamiennika_idz_do->click();
    EXPECT_FALSE(ran);
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(runner.opened().isEmpty());
}

TEST_F(DetailTabsTest, AReadOnlyUserOpensNoEditorButMayGoToARelatedItem) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    s.RightsLevel = 1;
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::ConsistsOf);
    bool ran = false;
    EXPECT_FALSE(
        w->controller().detailTabs().runEditor(shell::DetailTabs::ConsistsOf, [&] { ran = true; }));
    EXPECT_FALSE(ran);
    f.BB_Sklada_sie_idz_do->click();
    EXPECT_EQ(text(s.TFTowar, "Tow_Nazwa"), "Klosz") << "moving through the list changes nothing";
}

TEST_F(DetailTabsTest, NotesAreEditedOnlyInEditModeAndSavedOnLeaving) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    auto focus = [&](QEvent::Type type) {
        QFocusEvent e(type, Qt::OtherFocusReason);
        QApplication::sendEvent(f.DBMemo_Uwagi, &e);
    };
    goTo(*w, QStringLiteral("Lampa"));
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Notes);
    EXPECT_TRUE(f.RadioButton_Podglad->isChecked());
    EXPECT_TRUE(f.RadioButton_Edycja->isEnabled());
    focus(QEvent::FocusIn);
    EXPECT_TRUE(f.DBMemo_Uwagi->isReadOnly()) << "view mode";
    focus(QEvent::FocusOut);

    f.RadioButton_Edycja->setChecked(true);
    EXPECT_FALSE(f.RadioButton_Podglad->isChecked()) << "the two exclude each other";
    focus(QEvent::FocusIn);
    EXPECT_FALSE(f.DBMemo_Uwagi->isReadOnly());
    f.DBMemo_Uwagi->setPlainText(QStringLiteral("Żarówka w komplecie"));
    focus(QEvent::FocusOut);
    EXPECT_TRUE(f.DBMemo_Uwagi->isReadOnly());
    EXPECT_TRUE(f.RadioButton_Podglad->isChecked()) << "leaving the memo returns to view";
    EXPECT_EQ(s.TFTowar.state(), engine::Table::State::Browse);
    EXPECT_EQ(text(s.TFTowar, "Tow_Uwagi"), "Żarówka w komplecie");
    engine::Table stored(catalogue, QStringLiteral("Towar"));
    stored.open();
    ASSERT_TRUE(stored.findKey({1}));
    EXPECT_EQ(text(stored, "Tow_Uwagi"), "Żarówka w komplecie");

    // Entering and leaving without a change writes nothing and leaves the row free.
    f.RadioButton_Edycja->setChecked(true);
    focus(QEvent::FocusIn);
    focus(QEvent::FocusOut);
    EXPECT_EQ(s.TFTowar.state(), engine::Table::State::Browse);
}

TEST_F(DetailTabsTest, AReadOnlyUserCannotEditTheNotes) {
    auto w = startWithRelations();
    auto& s = w->state();
    auto& f = w->form();
    s.RightsLevel = 1;
    f.TNotebook->setCurrentIndex(shell::DetailTabs::Notes);
    EXPECT_FALSE(f.RadioButton_Edycja->isEnabled());
    f.RadioButton_Edycja->setChecked(true); // as by a key the window did not stop
    QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(f.DBMemo_Uwagi, &in);
    EXPECT_TRUE(f.DBMemo_Uwagi->isReadOnly());
    EXPECT_TRUE(f.RadioButton_Podglad->isChecked());
    EXPECT_EQ(s.TFTowar.state(), engine::Table::State::Browse);
}

TEST_F(DetailTabsTest, ColumnRefreshFollowsTheConfigurationWithAndWithoutDopasowany) {
    auto w = startWithRelations();
    auto& f = w->form();
    auto setKonfig = [&](std::initializer_list<std::pair<const char*, bool>> flags) {
        engine::Table k(catalogue, QStringLiteral("Konfig_i"));
        k.open();
        k.edit();
        for (const auto& [field, on] : flags)
            k.setValue(QLatin1String(field), on);
        k.post();
    };
    auto* goesInto = f.DBGrid_Wchodzi;
    goesInto->resize(1000, goesInto->height());

    setKonfig({{"Konfig_iW_Nazwa2", true}, {"Konfig_iW_Dopasowany", false}});
    // Re-reading the grids' columns is a procedure of the window with no button.
    w->BB_Odswiez_GridyClick();
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_Tow_Nazwa")), 330);
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_Towar_Nazwa2")), 330);
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_Tow_Symbol")), 130);
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Sklada_il_szt")), 50);
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_SRP")), 0) << "switched off";

    // Shown: 330 + 330 + 130 + 130 + 50 = 970, stretched to 1000.
    setKonfig({{"Konfig_iW_Dopasowany", true}});
    w->BB_Odswiez_GridyClick();
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_Tow_Nazwa")), 338);  // 340.2
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_Tow_Symbol")), 132); // 134.0
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Sklada_il_szt")), 50);     // 51.55
    EXPECT_EQ(goesInto->fieldWidth(QStringLiteral("Pomoc_SRP")), 0);

    // The attribute grid: two sevenths and five sevenths.
    f.DBGrid_Wlasnosci->resize(700, f.DBGrid_Wlasnosci->height());
    // Re-reading the grids' columns is a procedure of the window with no button.
    w->BB_Odswiez_GridyClick();
    EXPECT_EQ(f.DBGrid_Wlasnosci->fieldWidth(QStringLiteral("Nowa_Cecha")), 188);
    EXPECT_EQ(f.DBGrid_Wlasnosci->fieldWidth(QStringLiteral("Opis_Opis")), 488);
}
