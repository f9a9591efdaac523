// The currencies dialog: what it does beyond the shared list-dialog behaviour.
#include "engine/table.h"
#include "partners/Ak_walut.h"
#include "platform/clock.h"
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

using partners::TEkr_Aktualizacja_Waluta;
using Mode = ui::ListDialog::Mode;

const QDate kToday(2024, 5, 17);

struct Currency {
    QString name;
    double rate;
    QDate date;
    bool operator==(const Currency&) const = default;
};

void PrintTo(const Currency& c, std::ostream* os) {
    *os << c.name.toStdString() << " " << c.rate << " "
        << c.date.toString(Qt::ISODate).toStdString();
}

class CurrenciesTest : public CatalogueDialogTest {
protected:
    CurrenciesTest() : clockGuard_(clock) {}

    int addCurrency(const QString& name, double rate, QDate date = QDate(2020, 1, 2)) {
        return testsupport::addRow(folder, QStringLiteral("Waluta"),
                                   {{QStringLiteral("Waluta_Nazwa"), name},
                                    {QStringLiteral("Waluta_Kurs"), rate},
                                    {QStringLiteral("Waluta_Data"), date}},
                                   QStringLiteral("Waluta_Nr"));
    }
    QList<Currency> stored() {
        engine::Table t(folder, QStringLiteral("Waluta"));
        t.open();
        QList<Currency> out;
        t.forEachRow([&] {
            out.append({t.asString(QStringLiteral("Waluta_Nazwa")),
                        t.asFloat(QStringLiteral("Waluta_Kurs")),
                        t.asDate(QStringLiteral("Waluta_Data"))});
        });
        return out;
    }

    std::unique_ptr<TEkr_Aktualizacja_Waluta> open() {
        return showActive<TEkr_Aktualizacja_Waluta>(state);
    }

    static QLineEdit* edit(QWidget* d, const char* name) { return lineEdit(d, name); }
    static QPushButton* button(QWidget* d, const char* name) { return pushButton(d, name); }
    static QStringList shownRow(ui::DbGrid* grid, int row) {
        auto* model = grid->gridModel();
        model->ensureRows(row, row);
        QStringList out;
        for (int c = 0; c < model->columnCount(); ++c)
            out << model->data(model->index(row, c)).toString();
        return out;
    }

    platform::FakeClock clock{kToday};

private:
    platform::ScopedClock clockGuard_;
};

TEST_F(CurrenciesTest, ListsNameRateAndDateInTheProgramsForms) {
    addCurrency("PLN", 1);
    addCurrency("EUR", 4.3215, QDate(2024, 3, 9));
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Waluty");
    EXPECT_EQ(d->searchBox(), nullptr);
    EXPECT_TRUE(d->list()->hasFocus());
    auto* model = d->list()->gridModel();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Waluta");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Kurs");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Data");
    EXPECT_EQ(shownRow(d->list(), 0), QStringList({"PLN", "1", "02-01-2020"}))
        << "in the order entered";
    EXPECT_EQ(shownRow(d->list(), 1), QStringList({"EUR", "4,3215", "09-03-2024"}));
    EXPECT_EQ(edit(d.get(), "Edit_Waluta")->maxLength(), 15);
}

TEST_F(CurrenciesTest, AddingWithADotTypedRate) {
    auto d = open();
    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), "Dodawanie nowej waluty");
    auto* name = edit(d.get(), "Edit_Waluta");
    auto* rate = edit(d.get(), "Edit_Kurs");

    // Both boxes are needed.
    typeText(name, "USD");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, " Nie wpowadzono wszystkich danych. Zapis nie jest możliwy !");
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_TRUE(rate->hasFocus());

    typeText(rate, "4.15");
    EXPECT_EQ(rate->text(), "4,15");
    QTest::keyClick(rate, Qt::Key_Return); // Enter in the rate box saves
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored(), QList<Currency>({{"USD", 4.15, kToday}}));
    EXPECT_EQ(shownRow(d->list(), 0), QStringList({"USD", "4,15", "17-05-2024"}));
}

TEST_F(CurrenciesTest, EverySaveDatesTheRateToday) {
    addCurrency("EUR", 4.3, QDate(2020, 1, 2));
    auto d = open();
    click(*d, "BB_Popraw");
    EXPECT_EQ(d->editPanel()->title(), "Edycja waluty");
    EXPECT_EQ(edit(d.get(), "Edit_Kurs")->text(), "4,3");
    auto* name = edit(d.get(), "Edit_Waluta");
    name->selectAll();
    typeText(name, "Euro");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(stored(), QList<Currency>({{"Euro", 4.3, kToday}}));
}

TEST_F(CurrenciesTest, ARateThatIsNoNumberKeepsTheEditAsTyped) {
    addCurrency("EUR", 4.3);
    auto d = open();
    auto* name = edit(d.get(), "Edit_Waluta");
    auto* rate = edit(d.get(), "Edit_Kurs");
    click(*d, "BB_Popraw");
    name->selectAll();
    typeText(name, "Euro");
    rate->selectAll();
    typeText(rate, "4.3.1");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, " Dane nie są poprawne ! Zapis nie jest możliwy !");
    EXPECT_EQ(d->mode(), Mode::Changing);
    EXPECT_TRUE(rate->hasFocus());
    EXPECT_EQ(name->text(), "Euro");
    EXPECT_EQ(rate->text(), "4,3,1");
    EXPECT_EQ(stored(), QList<Currency>({{"EUR", 4.3, QDate(2020, 1, 2)}}));

    // A rate of nothing is no rate either.
    rate->setText(QStringLiteral("0"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.count(), 2);
    EXPECT_EQ(d->mode(), Mode::Changing);

    // Corrected, it is saved into the same row.
    rate->setText(QStringLiteral("4,31"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored(), QList<Currency>({{"Euro", 4.31, kToday}}));
}

TEST_F(CurrenciesTest, DeletionIsRefusedOnlyForACurrencyOfAPrice) {
    const int eur = addCurrency("EUR", 4.3);
    const int usd = addCurrency("USD", 3.9);
    testsupport::addRow(folder, QStringLiteral("Cena"), {{QStringLiteral("Cena_Waluta_Nr"), eur}});
    testsupport::addRow(folder, QStringLiteral("Towar"),
                        {{QStringLiteral("Tow_Zak_Waluta_Nr"), usd}});
    auto d = open();

    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.shown()[0].message.text, "Chcesz uzunąć zaznaczoną pozycję ?");
    EXPECT_EQ(messages.shown()[0].message.defaultButton, ui::Button::No);
    EXPECT_EQ(messages.last().text, "Ta waluta jest wykorzystywana przez inne bazy !");
    EXPECT_EQ(stored().size(), 2);

    // An item's purchase currency does not hold it.
    QTest::keyClick(d->list(), Qt::Key_Down);
    messages.answerYes();
    QTest::keyClick(d->list(), Qt::Key_Delete);
    EXPECT_EQ(stored(), QList<Currency>({{"EUR", 4.3, QDate(2020, 1, 2)}}));
}

TEST_F(CurrenciesTest, EnterAndEsc) {
    addCurrency("EUR", 4.3);
    auto d = open();
    auto* name = edit(d.get(), "Edit_Waluta");

    // Esc abandons even a changed edit without a question.
    QTest::keyClick(d->list(), Qt::Key_Return); // Enter in the list: Popraw
    EXPECT_EQ(d->mode(), Mode::Changing);
    typeText(name, "X");
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(d->isVisible());

    // Enter outside the boxes saves an edit.
    click(*d, "BB_Popraw");
    typeText(name, "2");
    button(d.get(), "BB_Zapisz")->setFocus();
    EXPECT_EQ(d->mode(), Mode::Changing) << "a changed edit survives leaving the boxes";
    // The Enter button is invisible: it stands for the Enter key pressed outside the boxes.
    d->BB_EnterClick();
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(stored().first().name, "EUR2");

    QTest::keyClick(d->list(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(CurrenciesTest, PickingAndThenOpeningForEditing) {
    addCurrency("PLN", 1);
    const int eur = addCurrency("EUR", 4.3);
    state.CurrencyPickMode = QStringLiteral("Wybieranie");
    state.PickedCurrencyName = QStringLiteral("stara");
    state.PickedCurrencyNr = 99;
    auto d = open();
    EXPECT_TRUE(state.PickedCurrencyName.isEmpty()) << "emptied at opening";
    EXPECT_EQ(state.PickedCurrencyNr, 0);
    EXPECT_TRUE(button(d.get(), "BB_Wybierz")->isVisible());
    QTest::keyClick(d->list(), Qt::Key_Down);
    Q_EMIT d->list()->rowDoubleClicked();
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedCurrencyName, "EUR");
    EXPECT_EQ(state.PickedCurrencyNr, eur);
    EXPECT_TRUE(state.CurrencyPickMode.isEmpty());

    // The main window's command opens it afterwards for editing, not for picking.
    bool pickingShown = true;
    runner.on<TEkr_Aktualizacja_Waluta>([&](TEkr_Aktualizacja_Waluta& w) {
        pickingShown = w.picking() || !button(&w, "BB_Wybierz")->isHidden();
        click(w, "BB_Powrot");
    });
    TEkr_Aktualizacja_Waluta fromMain(state);
    ui::modalRunner().run(fromMain);
    EXPECT_FALSE(pickingShown);
    EXPECT_EQ(state.PickedCurrencyName, "EUR") << "a pick is kept until the next picking";
}

TEST_F(CurrenciesTest, ReadOnlyUserPicksButChangesNothing) {
    addCurrency("EUR", 4.3);
    state.RightsLevel = 1;
    state.CurrencyPickMode = QStringLiteral("Wybieranie");
    auto d = open();
    for (const char* b : {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Zapisz", "BB_Anuluj"})
        EXPECT_FALSE(button(d.get(), b)->isVisible()) << b;
    QTest::keyClick(d->list(), Qt::Key_Insert);
    QTest::keyClick(d->list(), Qt::Key_Delete);
    QTest::keyClick(d->list(), Qt::Key_Return);
    Q_EMIT d->list()->rowDoubleClicked();
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(messages.count(), 0);
    button(d.get(), "BB_Wybierz")->click();
    EXPECT_EQ(state.PickedCurrencyName, "EUR");
}

} // namespace
