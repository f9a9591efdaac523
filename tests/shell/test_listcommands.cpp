// The item list's daily conveniences: sorting by a click on a column header, prices shown as
// money, the list exported to a CSV file and rows copied through the clipboard.
#include "shell/fixture.h"
#include "support/rows.h"
#include <QHeaderView>
#include <QTest>

using namespace shelltest;
using testsupport::addRow;
using Outcome = shell::MainController::StartOutcome;

namespace {

QStringList list(const char* items) {
    return QString::fromUtf8(items).split(u'|');
}

void type(QLineEdit* field, const QString& text) {
    for (QChar c : text)
        field->insert(QString(c));
}

class ListCommandsTest : public ShellTest {
protected:
    std::unique_ptr<shell::TForm_Pelk> startWithItems() {
        makeMainFolder({});
        const QStringList names = list("Abażur|ABC|abd|Łopata|żuraw");
        const QStringList symbols = list("S-05|S-01|S-08|S-02|S-04");
        const double prices[] = {3, 1200.5, 7, 15, 30};
        for (int i = 0; i < names.size(); ++i)
            addRow(catalogue, "Towar",
                   {{"Tow_Nazwa", names[i]}, {"Tow_Symbol", symbols[i]}, {"Tow_SRP", prices[i]}});
        // The symbol and two prices shown in the list.
        engine::Table k(catalogue, QStringLiteral("Konfig_i"));
        k.open();
        k.edit();
        for (const char* column : {"Symbol", "Cena_SRP", "Cena_A"})
            k.setValue(QStringLiteral("Konfig_i_%1").arg(QLatin1String(column)), true);
        k.post();
        auto w = startWindow();
        EXPECT_EQ(outcome, Outcome::Running);
        w->show();
        return w;
    }

    static void clickHeader(ui::DbGrid* grid, const char* field) {
        QHeaderView* header = grid->horizontalHeader();
        const int column = grid->gridModel()->columnOfField(QLatin1String(field));
        ASSERT_GE(column, 0) << field;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 4, 4));
    }

    static int arrowColumn(ui::DbGrid* grid) {
        return grid->horizontalHeader()->sortIndicatorSection();
    }
};

TEST_F(ListCommandsTest, HeaderClicksChooseTheSortAndTheArrowShowsTheOrderInForce) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();
    auto* grid = f.DBGrid_Towary;
    const auto* model = grid->gridModel();
    const int nameColumn = model->columnOfField(QStringLiteral("Tow_Nazwa"));
    const int symbolColumn = model->columnOfField(QStringLiteral("Tow_Symbol"));
    EXPECT_EQ(arrowColumn(grid), nameColumn);

    clickHeader(grid, "Tow_Symbol");
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 2);
    EXPECT_EQ(gridNames(grid), list("ABC|Łopata|żuraw|Abażur|abd"));
    EXPECT_EQ(arrowColumn(grid), symbolColumn);
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    // A second click keeps the order (the index has one direction), and the arrow with it.
    clickHeader(grid, "Tow_Symbol");
    EXPECT_EQ(grid->horizontalHeader()->sortIndicatorOrder(), Qt::AscendingOrder);
    // A column without an index does nothing.
    clickHeader(grid, "Tow_SRP");
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 2);
    EXPECT_EQ(arrowColumn(grid), symbolColumn);
    EXPECT_EQ(gridNames(grid), list("ABC|Łopata|żuraw|Abażur|abd"));
    // The box moves the arrow too.
    f.Wyswietlaj_wg->setCurrentIndex(0);
    EXPECT_EQ(arrowColumn(grid), nameColumn);
    EXPECT_EQ(gridNames(grid), list("Abażur|ABC|abd|Łopata|żuraw"));

    // A query run while the box says Symbol lists by name: the box and the arrow say so, and
    // the search looks in the names.
    f.Wyswietlaj_wg->setCurrentIndex(2);
    s.QTowar.close();
    s.QTowar.setSql(list("SELECT DISTINCT Towar.*|FROM Towar |WHERE|Towar.Tow_SRP>5|"
                         "ORDER BY Towar.Tow_Nazwa"));
    s.Query.queryActive = true;
    w->BB_SQLClick();
    EXPECT_EQ(gridNames(grid), list("ABC|abd|Łopata|żuraw"));
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 0);
    EXPECT_EQ(arrowColumn(grid), nameColumn);
    f.Edit_Szukaj_Towar->setFocus();
    type(f.Edit_Szukaj_Towar, QStringLiteral("ło"));
    EXPECT_EQ(s.QTowar.asString(QStringLiteral("Tow_Nazwa")), "Łopata");
    // In query mode a header click orders the query's rows.
    clickHeader(grid, "Tow_Symbol");
    EXPECT_EQ(s.QTowar.sql().last(), "ORDER BY Towar.Tow_Symbol");
    EXPECT_EQ(gridNames(grid), list("ABC|Łopata|żuraw|abd"));
    EXPECT_EQ(arrowColumn(grid), symbolColumn);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
}

TEST_F(ListCommandsTest, PricesInTheListAndBesideItShowTwoDecimals) {
    auto w = startWithItems();
    auto& f = w->form();
    auto* model = f.DBGrid_Towary->gridModel();
    model->ensureRows(0, 4);
    const int price = model->columnOfField(QStringLiteral("Tow_SRP"));
    const int priceA = model->columnOfField(QStringLiteral("Tow_Cena_A"));
    EXPECT_EQ(model->index(0, price).data().toString(), "3,00");
    EXPECT_EQ(model->index(1, price).data().toString(), QString::fromUtf8("1\u202F200,50"));
    EXPECT_EQ(model->index(1, priceA).data().toString(), "") << "no price A given";
    w->state().TFTowar.gotoRowId(2);
    EXPECT_EQ(f.DBText_SRP->text(), QString::fromUtf8("1\u202F200,50"));
}

} // namespace
