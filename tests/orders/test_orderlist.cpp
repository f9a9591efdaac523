// The order list: its filter for every choice and period, the ways in from the menu and from a
// company in the companies dialog, searching, the completed mark, deleting, and what a user who
// may only look is allowed.
#include "orders/Otw_Zam.h"
#include "partners/Ak_firma.h"
#include "shell/fixture.h"
#include "shell/helpwindow.h"
#include "ui/dbgrid.h"
#include "ui/help.h"
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBlock>
#include <QTextBrowser>

using namespace shelltest;
using orders::TEkr_Otworz_Zamowienie;

namespace {

class OrderListTest : public ShellTest {
protected:
    void SetUp() override { makeMainFolder({QStringLiteral("Pompa")}); }

    int company(const QString& name) {
        return testsupport::addRow(catalogue, "Firmy", {{"Firma_Skrot", name}}, "Firma_Nr");
    }
    // An order numbered `number` whose Dok_Numer_Dok is the number as text.
    int order(int kind, int number, const QDate& issued, const QVariant& completed = {},
              const QString& addressee = {}) {
        QVariantMap v{{"Dok_Typ", kind},
                      {"Dok_Numer", number},
                      {"Dok_Numer_Dok", QString::number(number)},
                      {"Dok_Data_Wyst", issued},
                      {"Dok_Firma_Skrot", addressee}};
        if (completed.isValid()) v.insert(QStringLiteral("Dok_Zaplacono"), completed);
        return testsupport::addRow(catalogue, "Dok_Head", v, "Dok_Nr");
    }
    void line(int dokNr, const QString& name) {
        testsupport::addRow(catalogue, "Dok_Dane",
                            {{"Dane_Dok_Nr", dokNr}, {"Dane_Tow_Nazwa", name}});
    }
    QVariant storedFlag(int dokNr) {
        engine::Table t(catalogue, QStringLiteral("Dok_Head"));
        t.open();
        return t.gotoRowId(dokNr) ? t.value(QStringLiteral("Dok_Zaplacono")) : QVariant(-1);
    }

    TEkr_Otworz_Zamowienie& openList(const char* command = "odklienta1") {
        trigger(*w, command);
        TEkr_Otworz_Zamowienie* list = orders::mainOrderList();
        EXPECT_TRUE(list && list->isVisible());
        return *list;
    }
    QStringList shown(TEkr_Otworz_Zamowienie& list) {
        return gridNames(child<ui::DbGrid>(list, "DBGrid_Zamowienia"));
    }
    void show(TEkr_Otworz_Zamowienie& list, int choice) {
        child<QComboBox>(list, "Combo_Pokaz")->setCurrentIndex(choice);
    }
    void sortBy(TEkr_Otworz_Zamowienie& list, int choice) {
        child<QComboBox>(list, "Combo_Wyswietlaj_wg")->setCurrentIndex(choice);
    }
    engine::Table& heads() { return w->state().TDokumenty; }
    void pickInCalendar(const QDate& date) {
        runner.on("TEkr_Kalendarz", [date](QDialog& d) {
            d.findChild<QCalendarWidget*>(QStringLiteral("Kalendarz"))->setSelectedDate(date);
            child<QPushButton>(d, "BB_Wybierz")->click();
        });
    }
    QString period(TEkr_Otworz_Zamowienie& list) {
        return child<QLineEdit>(list, "Edit_Okres_Od")->text() + u' ' +
               child<QLineEdit>(list, "Edit_Okres_Do")->text();
    }

    std::unique_ptr<shell::TForm_Pelk> w;
};

TEST_F(OrderListTest, TheFilterFollowsEveryChoiceAndThePeriodPickedInTheCalendars) {
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Zamówienia od klientów"));
    const QString year =
        QStringLiteral(" and Dok_Data_Wyst>=01-01-2024 and Dok_Data_Wyst<=31-12-2024");
    EXPECT_EQ(list.filterText(), QStringLiteral("Dok_Typ=1 and (not Dok_Zaplacono)") + year);
    show(list, 1);
    EXPECT_EQ(list.filterText(), QStringLiteral("Dok_Typ=1 and Dok_Zaplacono") + year);
    show(list, 2);
    EXPECT_EQ(list.filterText(), QStringLiteral("Dok_Typ=1") + year);
    EXPECT_EQ(heads().filter(), list.filterText());
    EXPECT_TRUE(heads().filtered());

    trigger(*w, "dodostawcy1");
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Zamówienia do dostawców"));
    EXPECT_EQ(heads().filter(), QStringLiteral("Dok_Typ=2") + year);

    // A start after the end and an end before the start are refused; the period stays.
    pickInCalendar(QDate(2025, 1, 5));
    click(list, "BB_Okres_Od");
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Wybrabna data nie może późniejsza niż data końca okresu !"));
    pickInCalendar(QDate(2023, 12, 31));
    click(list, "BB_Okres_Do");
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Wybrabna data nie może wcześniejsza niż data początku okresu !"));
    EXPECT_EQ(period(list), QStringLiteral("01-01-2024 31-12-2024"));
    EXPECT_EQ(heads().filter(), QStringLiteral("Dok_Typ=2") + year);

    pickInCalendar(QDate(2024, 3, 1));
    click(list, "BB_Okres_Od");
    runner.on("TEkr_Kalendarz"); // closed without a date
    click(list, "BB_Okres_Do");
    EXPECT_EQ(period(list), QStringLiteral("01-03-2024 31-12-2024"));
    EXPECT_EQ(
        heads().filter(),
        QStringLiteral("Dok_Typ=2 and Dok_Data_Wyst>=01-03-2024 and Dok_Data_Wyst<=31-12-2024"));
    EXPECT_EQ(messages.count(), 2);
}

TEST_F(OrderListTest, ThePeriodTakesItsLastDayAndAnEmptyFlagCountsAsNotCompleted) {
    order(1, 1, QDate(2024, 12, 31));      // flag never set
    order(1, 2, QDate(2025, 1, 1), false); // next year
    order(1, 3, QDate(2024, 1, 1), true);
    order(1, 4, QDate(2023, 12, 31), false); // last year
    order(2, 5, QDate(2024, 6, 1), false);   // the other kind
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    EXPECT_EQ(shown(list), QStringList{QStringLiteral("1")});
    show(list, 1);
    EXPECT_EQ(shown(list), QStringList{QStringLiteral("3")});
    show(list, 2);
    EXPECT_EQ(shown(list), (QStringList{QStringLiteral("1"), QStringLiteral("3")}));
    trigger(*w, "dodostawcy1");
    EXPECT_EQ(shown(list), QStringList{QStringLiteral("5")});
}

TEST_F(OrderListTest,
       ACompanysSupplierOrdersOpenFromTheCompaniesDialogWhateverTheListShowedBefore) {
    company(QStringLiteral("ALFA"));
    company(QStringLiteral("BETA"));
    company(QStringLiteral("GAMMA"));
    order(1, 1, QDate(2024, 2, 1), false, QStringLiteral("BETA"));
    order(2, 1, QDate(2024, 2, 1), false, QStringLiteral("ALFA"));
    const int wanted = order(2, 2, QDate(2024, 2, 2), false, QStringLiteral("BETA"));
    order(2, 3, QDate(2024, 2, 3), false, QStringLiteral("GAMMA"));
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList("odklienta1");
    click(list, "BB_Powrot");
    EXPECT_FALSE(list.isVisible());

    bool closed = false;
    runner.on<partners::TEkr_Aktualizacja_Firma>([&](partners::TEkr_Aktualizacja_Firma& d) {
        engine::Table& firms = d.table();
        for (firms.first(); !firms.eof(); firms.next())
            if (firms.asString(QStringLiteral("Firma_Skrot")) == u"BETA") break;
        click(d, "BB_Do_Dostawcy");
        closed = !d.isVisible();
    });
    trigger(*w, "Firmy1");

    EXPECT_TRUE(closed) << "the companies dialog makes way for the list";
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(list.windowTitle(), QStringLiteral("Zamówienia do dostawców"));
    EXPECT_EQ(list.kindIndex(), 1);
    EXPECT_TRUE(heads().filter().startsWith(QStringLiteral("Dok_Typ=2 ")));
    EXPECT_EQ(child<QComboBox>(list, "Combo_Wyswietlaj_wg")->currentIndex(), 0);
    EXPECT_EQ(child<QLineEdit>(list, "Edit_Szukaj")->text(), QStringLiteral("BETA"));
    EXPECT_EQ(heads().value(QStringLiteral("Dok_Nr")).toInt(), wanted);
    EXPECT_FALSE(w->state().OrderListPreset.set) << "a preset is used once";
}

TEST_F(OrderListTest, SearchingByNumberGoesToTheNearestNumberAndTheHiddenFieldTakesNoTyping) {
    for (int n : {2, 5, 9})
        order(1, n, QDate(2024, 3, n), false, QStringLiteral("Firma %1").arg(10 - n));
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    auto* search = child<QLineEdit>(list, "Edit_Szukaj");
    auto* grid = child<ui::DbGrid>(list, "DBGrid_Zamowienia");
    EXPECT_EQ(heads().asInteger(QStringLiteral("Dok_Numer")), 9)
        << "the list opens on its last row";
    search->setText(QStringLiteral("3"));
    EXPECT_EQ(heads().asInteger(QStringLiteral("Dok_Numer")), 5);
    search->setText(QStringLiteral("x3"));
    EXPECT_EQ(heads().asInteger(QStringLiteral("Dok_Numer")), 5) << "no number moves nothing";

    sortBy(list, 0);
    search->setText(QStringLiteral("firma 7"));
    EXPECT_EQ(heads().asInteger(QStringLiteral("Dok_Numer")), 2);

    sortBy(list, 2);
    EXPECT_FALSE(search->isVisible());
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_A);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(heads().asInteger(QStringLiteral("Dok_Numer")), 2);

    sortBy(list, 1);
    EXPECT_TRUE(search->isVisible());
    QTest::keyClick(grid, Qt::Key_9);
    EXPECT_EQ(search->text(), QStringLiteral("9")) << "typing in the grid starts a search";
    EXPECT_EQ(heads().asInteger(QStringLiteral("Dok_Numer")), 9);
}

TEST_F(OrderListTest, ZrealizowaneTurnsTheMarkOverAndPdfNeedsLines) {
    const int withLines = order(1, 1, QDate(2024, 3, 1));
    line(withLines, QStringLiteral("Pompa"));
    const int bare = order(1, 2, QDate(2024, 3, 2), false);
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    auto* mark = child<QPushButton>(list, "BB_Zrealizowane");
    auto* pdf = child<QPushButton>(list, "BB_PDF");
    ASSERT_EQ(heads().value(QStringLiteral("Dok_Nr")).toInt(), bare);
    EXPECT_FALSE(pdf->isEnabled()) << "an order without lines";
    heads().prior();
    EXPECT_TRUE(pdf->isEnabled());
    EXPECT_EQ(mark->text(), QStringLiteral("Zrealizowane"));

    click(list, "BB_Zrealizowane");
    EXPECT_EQ(storedFlag(withLines), QVariant(true));
    EXPECT_EQ(shown(list), QStringList{QStringLiteral("2")}) << "gone from the not completed";

    show(list, 1);
    EXPECT_EQ(shown(list), QStringList{QStringLiteral("1")});
    EXPECT_EQ(mark->text(), QStringLiteral("Niezrealizowane"));
    click(list, "BB_Zrealizowane");
    EXPECT_EQ(storedFlag(withLines), QVariant(false));
    EXPECT_TRUE(shown(list).isEmpty());
    EXPECT_FALSE(mark->isEnabled());
}

TEST_F(OrderListTest, DeletingAsksFirstAndTakesTheLinesWithTheOrder) {
    const int first = order(1, 1, QDate(2024, 3, 1));
    line(first, QStringLiteral("a"));
    const int second = order(1, 2, QDate(2024, 3, 2));
    line(second, QStringLiteral("b"));
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    ASSERT_EQ(heads().value(QStringLiteral("Dok_Nr")).toInt(), second);
    messages.answerNo();
    click(list, "BB_Usun");
    EXPECT_EQ(messages.last().text, QStringLiteral("Chcesz usunąć zaznaczone zamówienie ?"));
    EXPECT_EQ(shown(list).size(), 2);

    messages.answerYes();
    click(list, "BB_Usun");
    EXPECT_EQ(shown(list), QStringList{QStringLiteral("1")});
    engine::Table lines(catalogue, QStringLiteral("Dok_Dane"));
    lines.open();
    EXPECT_EQ(lines.recordCount(), 1);
    EXPECT_EQ(lines.asInteger(QStringLiteral("Dane_Dok_Nr")), first);
    EXPECT_EQ(gridNames(child<ui::DbGrid>(list, "DBGrid_Pozycje")),
              QStringList{QStringLiteral("a")});
}

TEST_F(OrderListTest, AUserWhoMayOnlyLookListsAndPrintsButChangesNothing) {
    order(1, 1, QDate(2024, 3, 1));
    w = startWindow();
    w->state().RightsLevel = 1;
    TEkr_Otworz_Zamowienie& list = openList();
    for (const char* name : {"BB_Dodaj", "BB_Usun", "BB_Zrealizowane"})
        EXPECT_FALSE(child<QPushButton>(list, name)->isEnabled()) << name;
    for (const char* name : {"BB_Otworz", "BB_Wydruk", "BB_Podglad", "BB_Powrot"})
        EXPECT_TRUE(child<QPushButton>(list, name)->isEnabled()) << name;
}

TEST_F(OrderListTest, TheLinesGridTakesTheCataloguesFieldCaptions) {
    engine::Table config(catalogue, QStringLiteral("Konfig_i"));
    config.open();
    if (config.isEmpty())
        config.append();
    else
        config.edit();
    config.setValue(QStringLiteral("Konfig_I_nagl_Symbol"), QStringLiteral("Indeks"));
    config.setValue(QStringLiteral("Konfig_I_nagl_Kod_Prod"), QStringLiteral("Nr katalogowy"));
    config.post();
    config.close();
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    auto* model = child<ui::DbGrid>(list, "DBGrid_Pozycje")->model();
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Indeks"));
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Nr katalogowy"));
}

TEST_F(OrderListTest, TheOrderListCommandRunsAListOfItsOwnModally) {
    order(1, 4, QDate(2024, 3, 1));
    w = startWindow();
    bool seen = false;
    runner.on<TEkr_Otworz_Zamowienie>([&](TEkr_Otworz_Zamowienie& list) {
        seen = true;
        EXPECT_NE(&list, orders::mainOrderList());
        EXPECT_EQ(shown(list), QStringList{QStringLiteral("4")});
        auto* search = child<QLineEdit>(list, "Edit_Szukaj");
        search->setFocus();
        search->setText(QStringLiteral("4"));
        QTest::keyClick(search, Qt::Key_Down);
        EXPECT_TRUE(search->text().isEmpty()) << "leaving for the grid empties the field";
        click(list, "BB_Powrot");
        EXPECT_FALSE(list.isVisible());
    });
    trigger(*w, "Otwrz1");
    EXPECT_TRUE(seen);
    EXPECT_FALSE(orders::mainOrderList()->isVisible());

    // The main window's list, shown meanwhile on supplier orders, gets its filter back.
    TEkr_Otworz_Zamowienie& main = openList("dodostawcy1");
    runner.on<TEkr_Otworz_Zamowienie>([](TEkr_Otworz_Zamowienie& list) {
        EXPECT_TRUE(list.filterText().startsWith(QStringLiteral("Dok_Typ=1 ")));
    });
    trigger(*w, "Otwrz1");
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(heads().filter().startsWith(QStringLiteral("Dok_Typ=2 ")))
        << heads().filter().toStdString();
}

TEST_F(OrderListTest, HelpOpensAtTheListsSection) {
    w = startWindow();
    TEkr_Otworz_Zamowienie& list = openList();
    const int context = ui::helpContext(child<QWidget>(list, "DBGrid_Zamowienia"));
    shell::THelpWindow help;
    bool found = false;
    const QTextDocument* doc = help.browser()->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            found = found ||
                    it.fragment().charFormat().anchorNames().contains(QString::number(context));
    EXPECT_TRUE(found) << context;
}

} // namespace
