// The item filter: its rows refilled from the kept state, the pickers and "nic", the folded
// boxes, the arrow keys, and what "Filtruj", "Anuluj filtr" and "Powrót" do to the item table,
// the status line and the query commands.
#include "search/Filtr.h"
#include "search/filterbuilder.h"
#include "shell/fixture.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace shelltest;
using search::TEkr_Filtr;

namespace {

QStringList shownNames(engine::Table& t) {
    QStringList out;
    for (t.first(); !t.eof(); t.next())
        out << t.asString(QStringLiteral("Tow_Nazwa"));
    return out;
}

class FilterTest : public ShellTest {
protected:
    std::unique_ptr<shell::TForm_Pelk> start() {
        makeMainFolder({QStringLiteral("Śruba M8"), QStringLiteral("śruba M10"),
                        QStringLiteral("O'Brien 12\" rura"), QStringLiteral("OBrien"),
                        QStringLiteral("Nakrętka")});
        auto w = startWindow();
        EXPECT_EQ(outcome, shell::MainController::StartOutcome::Running);
        return w;
    }

    void filter(shell::TForm_Pelk& w, std::function<void(QDialog&)> action) {
        runner.on(QStringLiteral("TEkr_Filtr"), std::move(action));
        trigger(w, "Filtr1");
    }
};

} // namespace

TEST_F(FilterTest, FiltrujWithEveryRowEmptyShowsAllButKeepsTheQueryOffUntilAnuluj) {
    auto w = start();
    auto& st = w->state();
    filter(*w, [](QDialog& d) { child<QPushButton>(d, "BB_Filtruj")->click(); });
    EXPECT_FALSE(st.TFTowar.filtered());
    EXPECT_EQ(st.TFTowar.recordCount(), 5);
    EXPECT_EQ(w->form().Label_Status->text(), QStringLiteral("ustawiono filtr"));
    EXPECT_EQ(w->form().Label_Licznik->text(), QStringLiteral("5"));
    for (const char* name : {"SpeedButton18", "Zapytanie1"})
        EXPECT_FALSE(w->isCommandEnabled(QLatin1String(name))) << name;
    // Adding or deleting items runs the empty check, which must not undo the exclusion.
    w->Czy_Baza_Pusta();
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("SpeedButton18")));
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("SpeedButton17")));

    filter(*w, [](QDialog& d) { child<QPushButton>(d, "BB_Anuluj")->click(); });
    EXPECT_TRUE(w->form().Label_Status->text().isEmpty());
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("SpeedButton18")));
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Zapytanie1")));
    EXPECT_FALSE(st.Filter.applied);
}

TEST_F(FilterTest, StartsWithAndQuotesNarrowTheTableAndAreKept) {
    auto w = start();
    auto& st = w->state();
    filter(*w, [](QDialog& d) {
        child<QComboBox>(d, "CB_Nazwa1")->setCurrentIndex(search::FilterStartsWith);
        child<QLineEdit>(d, "Edit_Nazwa1")->setText(QStringLiteral("śruba"));
        child<QPushButton>(d, "BB_Filtruj")->click();
    });
    EXPECT_TRUE(st.TFTowar.filtered());
    EXPECT_EQ(st.TFTowar.filter(), QStringLiteral(" tow_nazwa = 'śruba*'"));
    EXPECT_EQ(shownNames(st.TFTowar).size(), 2);
    EXPECT_EQ(st.Filter.name1, QStringLiteral("śruba"));
    EXPECT_EQ(st.Filter.name1Op, search::FilterStartsWith);

    // A quote and a double quote in the name: found, no engine error.
    filter(*w, [](QDialog& d) {
        // The dialog comes back as it was left.
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Nazwa1")->text(), QStringLiteral("śruba"));
        EXPECT_EQ(child<QComboBox>(d, "CB_Nazwa1")->currentIndex(), search::FilterStartsWith);
        child<QComboBox>(d, "CB_Nazwa1")->setCurrentIndex(search::FilterEquals);
        child<QLineEdit>(d, "Edit_Nazwa1")->setText(QStringLiteral("O'Brien 12\" rura"));
        child<QPushButton>(d, "BB_Filtruj")->click();
    });
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(shownNames(st.TFTowar), QStringList{QStringLiteral("O'Brien 12\" rura")});

    // "Powrót" changes nothing.
    filter(*w, [](QDialog& d) {
        child<QLineEdit>(d, "Edit_Nazwa1")->setText(QStringLiteral("Nakrętka"));
        child<QPushButton>(d, "BB_Powrot")->click();
    });
    EXPECT_EQ(st.Filter.name1, QStringLiteral("O'Brien 12\" rura"));
    EXPECT_EQ(shownNames(st.TFTowar).size(), 1);
}

TEST_F(FilterTest, FilterInQueryModeReturnsToTheTable) {
    auto w = start();
    auto& st = w->state();
    st.QTowar.close();
    st.QTowar.setSql({QStringLiteral("SELECT DISTINCT Towar.*"), QStringLiteral("FROM Towar "),
                      QStringLiteral("WHERE"), QStringLiteral("Towar.Tow_Nr>2"),
                      QStringLiteral("ORDER BY Towar.Tow_Nazwa")});
    st.Query.queryActive = true;
    // The list's query mode is a procedure of the window with no button of its own.
    w->BB_SQLClick();
    ASSERT_TRUE(st.Query.queryActive);
    filter(*w, [](QDialog& d) {
        child<QComboBox>(d, "CB_Nazwa1")->setCurrentIndex(search::FilterEquals);
        child<QLineEdit>(d, "Edit_Nazwa1")->setText(QStringLiteral("Nakrętka"));
        child<QPushButton>(d, "BB_Filtruj")->click();
    });
    EXPECT_FALSE(st.Query.queryActive);
    EXPECT_EQ(w->form().DBGrid_Towary->dataSet(), &st.TFTowar);
    EXPECT_EQ(w->form().Label_Licznik->text(), QStringLiteral("1"));
    EXPECT_EQ(w->form().Label_Status->text(), QStringLiteral("ustawiono filtr"));
}

TEST_F(FilterTest, PickersAndNicRemoveTheirChoice) {
    auto w = start();
    auto& st = w->state();
    st.Filter.groupName = QStringLiteral("Śruby");
    st.Filter.groupNr = 3;
    st.Filter.groupOp = 0;
    st.Filter.symbol = QStringLiteral("S-1");
    st.Filter.symbolOp = 0;
    st.Filter.producerName = QStringLiteral("Polmet");
    st.Filter.producerNr = 9;
    TEkr_Filtr d(st, w.get());
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Grupa")->text(), QStringLiteral("Śruby"));
    EXPECT_EQ(d.expression(), QStringLiteral("tow_grupa_nr=3 and tow_symbol = 'S-1' and "
                                             "tow_nr_producent=9"));

    // A group list closed without a pick takes the group away.
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"), [&](QDialog&) {
        EXPECT_EQ(st.GroupPickMode, QStringLiteral("Wybieranie"));
        EXPECT_EQ(st.PickSearchText, QStringLiteral("Śruby"));
    });
    child<QPushButton>(d, "BB_Grupa")->click();
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Grupa")->text().isEmpty());
    EXPECT_EQ(d.expression(), QStringLiteral(" tow_symbol = 'S-1' and tow_nr_producent=9"));

    // "nic" for the producer clears it here and in the kept state.
    auto* producerOp = child<QComboBox>(d, "CB_Producent");
    producerOp->setCurrentIndex(search::kFilterChoiceNothing);
    Q_EMIT producerOp->activated(search::kFilterChoiceNothing);
    EXPECT_EQ(producerOp->currentIndex(), -1);
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Producent")->text().isEmpty());
    EXPECT_EQ(st.Filter.producerNr, 0);
    EXPECT_TRUE(st.Filter.producerName.isEmpty());

    // "nic" in a text row empties it.
    auto* symbolOp = child<QComboBox>(d, "CB_Symbol");
    symbolOp->setCurrentIndex(search::FilterNothing);
    Q_EMIT symbolOp->activated(search::FilterNothing);
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Symbol")->text().isEmpty());
    EXPECT_EQ(st.Filter.symbolOp, -1);
    EXPECT_TRUE(d.expression().isEmpty());

    runner.on(QStringLiteral("TEkr_Aktualizacja_Firma"), [&](QDialog&) {
        st.PickedCompanyNr = 4;
        st.PickedCompanyName = QStringLiteral("Bosch");
    });
    child<QPushButton>(d, "BB_Producent")->click();
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Producent")->text(), QStringLiteral("Bosch"));
    EXPECT_EQ(d.expression(), QStringLiteral(" tow_nr_producent=4"));
}

TEST_F(FilterTest, CaptionsFoldedBoxesAndHeight) {
    auto w = start();
    auto& st = w->state();
    st.Display.headerName1 = QStringLiteral("Nazwa");
    st.Display.headerProducerCode = QStringLiteral("Kod producenta");
    st.Display.panelBasic = true;
    st.Display.panelProducer = true;
    TEkr_Filtr full(st);
    EXPECT_EQ(full.windowTitle(), QStringLiteral("Filtr"));
    EXPECT_EQ(child<QLabel>(full, "Label_Nazwa1")->text(), QStringLiteral("Nazwa :"));
    EXPECT_EQ(child<QLabel>(full, "Label_Kod_Prod")->text(), QStringLiteral("Kod producenta :"));
    auto* upper = child<QGroupBox>(full, "GroupBox_Towar");
    auto* lower = child<QGroupBox>(full, "GroupBox_Producent");
    auto* bar = child<QWidget>(full, "Panel_Przyciski");
    EXPECT_EQ(full.height(), upper->height() + lower->height() + bar->height() + 24);

    st.Display.panelBasic = false;
    TEkr_Filtr folded(st);
    EXPECT_TRUE(child<QGroupBox>(folded, "GroupBox_Towar")->isHidden());
    EXPECT_FALSE(child<QGroupBox>(folded, "GroupBox_Producent")->isHidden());
    EXPECT_EQ(folded.height(), full.height() - upper->height());
}

TEST_F(FilterTest, ArrowKeysMoveBetweenRows) {
    auto w = start();
    w->state().Display.panelBasic = w->state().Display.panelProducer = true;
    auto d = std::make_unique<TEkr_Filtr>(w->state());
    d->show();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    auto focusAfter = [&](const char* from, Qt::Key key) {
        child<QWidget>(*d, from)->setFocus();
        QTest::keyClick(child<QWidget>(*d, from), key);
        return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
    };
    EXPECT_EQ(focusAfter("Edit_Nazwa1", Qt::Key_Up), QStringLiteral("BB_Grupa"));
    EXPECT_EQ(focusAfter("Edit_Nazwa2", Qt::Key_Down), QStringLiteral("Edit_Symbol"));
    EXPECT_EQ(focusAfter("Edit_Symbol", Qt::Key_Up), QStringLiteral("Edit_Nazwa1"));
    EXPECT_EQ(focusAfter("Edit_Symbol", Qt::Key_Down), QStringLiteral("Edit_Kod_Prod"));
    EXPECT_EQ(focusAfter("Edit_Kod_Prod", Qt::Key_Up), QStringLiteral("Edit_Symbol"));
    EXPECT_EQ(focusAfter("Edit_Kod_Prod", Qt::Key_Down), QStringLiteral("BB_Producent"));
}
