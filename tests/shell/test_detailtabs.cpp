// The detail notebook under the item list: each page shows the current item's rows with the
// related values looked up, follows a move through the list, and keeps only its own tables open.
#include "shell/detailtabs.h"
#include "shell/fixture.h"
#include <initializer_list>
#include <utility>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

void addRow(const QString& folder, const char* table,
            std::initializer_list<std::pair<const char*, QVariant>> values) {
    engine::Table t(folder, QLatin1String(table));
    t.open();
    t.append();
    for (const auto& [field, value] : values)
        t.setValue(QLatin1String(field), value);
    t.post();
}

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
        auto w = startWindow();
        EXPECT_EQ(outcome, Outcome::Running);
        return w;
    }

    // The list on the item of this name.
    static void goTo(shell::TForm_Pelk& w, const QString& name) {
        auto& items = w.state().TFTowar;
        for (items.first(); !items.eof(); items.next())
            if (items.asString(QStringLiteral("Tow_Nazwa")) == name) return;
        ADD_FAILURE() << "no item " << name.toStdString();
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
        {shell::DetailTabs::Notes, {}},
        {shell::DetailTabs::General, {}}};
    const QList<engine::DataSet*> details = {&s.TOpis,    &s.TCecha,      &s.TWchodzi,
                                             &s.TSklada,  &s.TZamienniki, &s.TPomoc_Towar,
                                             &s.TGrafika, &s.TCeny,       &s.TRysunek};
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
    w->BB_SQLClick();
    ASSERT_EQ(f.DBGrid_Towary->dataSet(), &s.QTowar);
    EXPECT_TRUE(gridNames(f.DBGrid_Sklada).isEmpty()) << "Klosz first";
    s.QTowar.next();
    EXPECT_EQ(text(s.QTowar, "Tow_Nazwa"), "Lampa");
    EXPECT_EQ(gridNames(f.DBGrid_Sklada), (QStringList{"Klosz", "Żarówka"}));
}
