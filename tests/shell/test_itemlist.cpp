// The item list of the main window: search as one types in both modes, the keys of the search
// field and the grid, the sort box, the item commands with their rights and the query run again
// after them, and the display configuration of each catalogue.
#include "shell/fixture.h"
#include "support/rows.h"
#include <QTest>
#include <initializer_list>
#include <utility>

using namespace shelltest;
using testsupport::addRow;
using Outcome = shell::MainController::StartOutcome;

namespace {

QStringList list(const char* items) {
    return QString::fromUtf8(items).split(u'|');
}

// A key as the keyboard sends it, Polish letters included (QTest's own only knows Latin-1).
void press(QWidget* w, const QString& text, int key = Qt::Key_unknown) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &down);
}

// Typing into the search field, each character a change of its text.
void type(QLineEdit* field, const QString& text) {
    for (QChar c : text)
        field->insert(QString(c));
}

QString name(engine::DataSet& ds) {
    return ds.asString(QStringLiteral("Tow_Nazwa"));
}

// kPriceQuery finds ABC, abd, Łańcuch, Łopata, żuraw.
const QStringList kPriceQuery =
    list("SELECT DISTINCT Towar.*|FROM Towar |WHERE|Towar.Tow_SRP>5|ORDER BY Towar.Tow_Nazwa");

class ItemListTest : public ShellTest {
protected:
    // Names, symbols and prices chosen so that letter case, Polish letters and the order of the
    // symbols all matter.
    std::unique_ptr<shell::TForm_Pelk> startWithItems(bool login = false) {
        makeMainFolder({}, login);
        const QStringList names = list("Abażur|ABC|abd|lina|Łańcuch|Łopata|Zawór|żuraw");
        const QStringList symbols = list("S-05|S-01|S-08|S-03|S-07|S-02|S-06|S-04");
        const double prices[] = {3, 12, 7, 2, 9, 15, 1, 30};
        for (int i = 0; i < names.size(); ++i)
            addRow(catalogue, "Towar",
                   {{"Tow_Nazwa", names[i]}, {"Tow_Symbol", symbols[i]}, {"Tow_SRP", prices[i]}});
        if (login) return nullptr;
        auto w = startWindow();
        EXPECT_EQ(outcome, Outcome::Running);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }

    void runQuery(shell::TForm_Pelk& w, const QStringList& lines) {
        w.state().QTowar.close();
        w.state().QTowar.setSql(lines);
        w.state().Query.queryActive = true; // as the query builder leaves it
        // The list's query mode is a procedure of the window with no button of its own.
        w.BB_SQLClick();
    }
};

} // namespace

TEST_F(ItemListTest, TypingFindsTheNearestKeyIgnoringCaseWithPolishLetters) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();
    auto* field = f.Edit_Szukaj_Towar;

    type(field, QStringLiteral("abc"));
    EXPECT_EQ(name(s.TFTowar), "ABC");
    QCoreApplication::processEvents();
    EXPECT_EQ(f.DBGrid_Towary->currentIndex().row(), 1) << "the grid did not follow";
    type(field, QStringLiteral("e"));
    EXPECT_EQ(name(s.TFTowar), "abd") << "nearest after abce";
    field->clear();
    type(field, QStringLiteral("Ł"));
    EXPECT_EQ(name(s.TFTowar), "Łańcuch") << "ł sorts after l";
    type(field, QStringLiteral("O"));
    EXPECT_EQ(name(s.TFTowar), "Łopata");
    field->clear();
    type(field, QStringLiteral("zzz"));
    EXPECT_EQ(name(s.TFTowar), "żuraw") << "ż sorts after z";

    // Another sort choice orders the list by its field, keeps the current item and is searched.
    f.Wyswietlaj_wg->setCurrentIndex(2);
    EXPECT_EQ(s.TFTowar.indexFieldNames(), "Tow_Symbol");
    EXPECT_EQ(name(s.TFTowar), "żuraw");
    EXPECT_EQ(gridNames(f.DBGrid_Towary).mid(0, 3), list("ABC|Łopata|lina"));
    field->clear();
    type(field, QStringLiteral("s-07"));
    EXPECT_EQ(name(s.TFTowar), "Łańcuch");
}

TEST_F(ItemListTest, KeysOfTheSearchFieldAndOfTheGrid) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();
    auto* field = f.Edit_Szukaj_Towar;
    auto* grid = f.DBGrid_Towary;

    // Leaving the field empties it without moving...
    field->setFocus();
    type(field, QStringLiteral("łop"));
    grid->setFocus();
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_EQ(name(s.TFTowar), "Łopata");
    // ... and leaving it empty does not keep the next character from searching.
    field->setFocus();
    grid->setFocus();
    field->setFocus();
    type(field, QStringLiteral("z"));
    EXPECT_EQ(name(s.TFTowar), "Zawór");

    // Down and Up: to the grid, one row on, the text gone. Enter: to the grid.
    field->clear();
    type(field, QStringLiteral("ab"));
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(name(s.TFTowar), "ABC");
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_TRUE(grid->hasFocus());
    field->setFocus();
    QTest::keyClick(field, Qt::Key_PageUp);
    EXPECT_EQ(name(s.TFTowar), "Abażur");
    field->setFocus();
    type(field, QStringLiteral("LI"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(name(s.TFTowar), "lina");
    EXPECT_TRUE(s.ItemEditMode.isEmpty()) << "Enter in the search field changed the item";

    // A character typed in the grid, Polish capitals and punctuation too, starts the search.
    press(grid, QStringLiteral("Ł"));
    EXPECT_EQ(field->text(), "Ł");
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(name(s.TFTowar), "Łańcuch");
    type(field, QStringLiteral("o"));
    EXPECT_EQ(name(s.TFTowar), "Łopata") << "typing went on in the field";
    grid->setFocus();
    press(grid, QStringLiteral("#"));
    EXPECT_EQ(field->text(), "#");

    // A blank steps through the detail tabs, after the last back to the first.
    grid->setFocus();
    w->showDetailTab(9);
    for (int expected : {10, 0, 1}) {
        press(grid, QStringLiteral(" "), Qt::Key_Space);
        EXPECT_EQ(f.TNotebook->currentIndex(), expected);
    }
    EXPECT_TRUE(field->text().isEmpty());
}

TEST_F(ItemListTest, QueryModeSearchesSortsAndRejectsABadText) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();
    auto* field = f.Edit_Szukaj_Towar;
    addRow(catalogue, "Towar", {{"Tow_Nazwa", "Kabel"}, {"Tow_Ilosc", 12.5}, {"Tow_jm", "szt"}});

    runQuery(*w, kPriceQuery);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    EXPECT_EQ(f.Label_Status->text(), "ustawiono zapytanie");
    EXPECT_EQ(f.DBGrid_Towary->dataSet(), &s.QTowar);
    EXPECT_EQ(gridNames(f.DBGrid_Towary), list("ABC|abd|Łańcuch|Łopata|żuraw"));
    EXPECT_EQ(f.Label_Licznik->text(), "5");
    EXPECT_EQ(name(s.TFTowar), "ABC") << "the item table follows the query";

    field->setFocus();
    type(field, QStringLiteral("łO"));
    EXPECT_EQ(name(s.QTowar), "Łopata");
    EXPECT_EQ(name(s.TFTowar), "Łopata");
    type(field, QStringLiteral("x"));
    EXPECT_EQ(name(s.QTowar), "Łopata") << "nothing begins with łox";
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(name(s.QTowar), "Łopata") << "in query mode only the focus moves";

    // Another sort choice replaces only the last line.
    f.Wyswietlaj_wg->setCurrentIndex(2);
    QStringList bySymbol = kPriceQuery;
    bySymbol.last() = QStringLiteral("ORDER BY Towar.Tow_Symbol");
    EXPECT_EQ(s.QTowar.sql(), bySymbol);
    EXPECT_EQ(gridNames(f.DBGrid_Towary), list("ABC|Łopata|żuraw|Łańcuch|abd"));
    type(field, QStringLiteral("s-07"));
    EXPECT_EQ(name(s.TFTowar), "Łańcuch");

    // Refresh runs the query again; quantities show with their unit here too.
    addRow(catalogue, "Towar",
           {{"Tow_Nazwa", "Bęben"}, {"Tow_Symbol", "S-09"}, {"Tow_SRP", 6}, {"Tow_Ilosc", 3}});
    f.Odwie1->trigger();
    EXPECT_EQ(f.Label_Licznik->text(), "6");
    s.QTowar.last();
    EXPECT_EQ(name(s.QTowar), "Bęben");
    EXPECT_EQ(s.QTowar.asString(QStringLiteral("Calc_Ilosc_jm")), "3");

    // A text the engine rejects (no condition at all): the message, and the plain item table.
    w->setCommandEnabled(QStringLiteral("Filtr1"), false); // as the query builder leaves it
    runQuery(*w, list("SELECT DISTINCT Towar.*|FROM Towar |WHERE|ORDER BY Towar.Tow_Nazwa"));
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, "Zapytanie sformułowane niepoprawnie !");
    EXPECT_EQ(messages.last().caption, "Uwaga !");
    EXPECT_FALSE(s.Query.queryActive);
    EXPECT_TRUE(f.Label_Status->text().isEmpty());
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Filtr1")));
    EXPECT_EQ(f.DBGrid_Towary->dataSet(), &s.TFTowar);
    EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), 0);
    EXPECT_EQ(f.Label_Licznik->text(), "10");
    field->clear();
    type(field, QStringLiteral("kab"));
    EXPECT_EQ(s.TFTowar.asString(QStringLiteral("Calc_Ilosc_jm")), "12,5 szt");
}

TEST_F(ItemListTest, CommandsInQueryModeRunTheQueryAgainOnTheSameItem) {
    auto w = startWithItems();
    auto& s = w->state();
    auto& f = w->form();

    // The editor as it will act: its own table objects for a new item or a copy, the current
    // row of the item table for a change.
    QStringList editorRuns;
    w->controller().runItemEditor = [&] {
        editorRuns << s.ItemEditMode;
        if (s.ItemEditMode == QLatin1String("Nowy")) {
            addRow(catalogue, "Towar", {{"Tow_Nazwa", "Bęben"}, {"Tow_SRP", 8}});
        } else if (s.ItemEditMode == QLatin1String("Edycja")) {
            s.TFTowar.edit();
            s.TFTowar.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Amfora"));
            s.TFTowar.post();
        } else {
            addRow(catalogue, "Towar", {{"Tow_Nazwa", "Amfora 2"}, {"Tow_SRP", 50}});
        }
    };

    runQuery(*w, kPriceQuery);
    type(f.Edit_Szukaj_Towar, QStringLiteral("łań"));
    f.SpeedButton6->click();
    EXPECT_EQ(gridNames(f.DBGrid_Towary), list("ABC|abd|Bęben|Łańcuch|Łopata|żuraw"));
    EXPECT_EQ(name(s.QTowar), "Łańcuch") << "not on the item that was current";
    EXPECT_EQ(name(s.TFTowar), "Łańcuch");
    EXPECT_EQ(f.Label_Licznik->text(), "6");

    // Changed so that it moves up the list: found again by its number, not by its place.
    f.Edycja2->trigger();
    EXPECT_EQ(name(s.QTowar), "Amfora");
    EXPECT_EQ(s.QTowar.recNo(), 3);
    f.Klonuj1->trigger();
    EXPECT_EQ(name(s.QTowar), "Amfora");
    EXPECT_EQ(name(s.TFTowar), "Amfora");
    EXPECT_EQ(editorRuns, list("Nowy|Edycja|Klonuj"));
    EXPECT_EQ(f.Label_Licznik->text(), "7");

    // Deleting: the query runs again and the list stands on the row that followed...
    messages.answerYes();
    f.SpeedButton9->click();
    EXPECT_EQ(messages.last().text, "Chcesz usunąć zaznaczony obiekt ?");
    EXPECT_EQ(gridNames(f.DBGrid_Towary), list("ABC|abd|Amfora 2|Bęben|Łopata|żuraw"));
    EXPECT_EQ(name(s.TFTowar), "Amfora 2");
    EXPECT_EQ(f.Label_Licznik->text(), "6");
    // ... or, after the last row, on the one before it.
    s.QTowar.last();
    messages.answerYes();
    f.Usu1->trigger();
    EXPECT_EQ(messages.last().text, "Chcesz usunąć zaznaczoną pozycję ?");
    EXPECT_EQ(name(s.QTowar), "Łopata");
    EXPECT_EQ(f.Label_Licznik->text(), "5");
    // The Delete key asks with "Tak" as the default (the typed "." defaults to "Nie").
    messages.answerNo();
    f.DBGrid_Towary->setFocus();
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_Delete);
    EXPECT_EQ(messages.last().text, "Chcesz usunąć zaznaczoną pozycję ?");
    EXPECT_EQ(messages.last().defaultButton, ui::Button::Yes);
    messages.answerNo();
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_Period, Qt::NoModifier);
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(f.Label_Licznik->text(), "5");

    // Without an editor the commands only hand over their mode.
    w->controller().runItemEditor = nullptr;
    s.ItemEditMode.clear();
    f.SpeedButton7->click();
    EXPECT_EQ(s.ItemEditMode, "Klonuj");
}

TEST_F(ItemListTest, AReadOnlyUserCannotAddChangeCloneOrDeleteByAnyControlOrKey) {
    startWithItems(/*login*/ true);
    shell::TForm_Pelk w;
    auto& s = w.state();
    auto& f = w.form();
    w.controller().runLogin = [&] {
        s.CurrentUserNr = 2;
        s.RightsLevel = 1;
        s.CurrentCatalogueFolder = catalogue;
        w.controller().bindCatalogueTables();
        // The list's table mode is a procedure of the window with no button of its own.
        w.BB_TableClick();
        s.StartupDone = true;
    };
    int editorRuns = 0;
    w.controller().runItemEditor = [&] { ++editorRuns; };
    ASSERT_EQ(w.start(main), Outcome::Running);
    w.show();

    auto everyWay = [&] {
        for (QAction* a : {f.Nowy1, f.Edycja2, f.Klonuj1, f.Usu1})
            a->trigger();
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{
                 f.SpeedButton6, f.SpeedButton7, f.SpeedButton8, f.SpeedButton9})
            QTest::mouseClick(b, Qt::LeftButton);
        // The handlers themselves, as other screens and later commands may call them.
        w.BB_NowyClick();
        w.BB_EdycjaClick();
        w.BB_KlonujClick();
        w.BB_Dok_UsunClick();
        w.Usu1Click();
        w.BDefaultClick();
        auto* grid = f.DBGrid_Towary;
        grid->setFocus();
        for (auto key : {Qt::Key_Insert, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(grid, key);
        press(grid, QStringLiteral("-"), Qt::Key_Minus);
        press(grid, QStringLiteral("."), Qt::Key_Period);
        QCoreApplication::processEvents();
        const QRect row = grid->visualRect(grid->model()->index(0, 0));
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    };
    everyWay();
    runQuery(w, kPriceQuery);
    ASSERT_TRUE(s.Query.queryActive);
    everyWay();

    EXPECT_EQ(editorRuns, 0);
    EXPECT_TRUE(s.ItemEditMode.isEmpty()) << s.ItemEditMode.toStdString();
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();
    // The list's table mode is a procedure of the window with no button of its own.
    w.BB_TableClick();
    EXPECT_EQ(s.TFTowar.recordCount(), 8);
}

TEST_F(ItemListTest, DisplayConfigurationSwitchesWithTheCatalogue) {
    makeMainFolder({QStringLiteral("Zawór")});
    const QString own = tmp.sub(QStringLiteral("Dane/Wlasna"));
    store::createCatalogue(own);
    addRow(own, "Towar", {{"Tow_Nazwa", "Pompa"}});
    // Name 2 shown in every grid, so that the four titles are the first four columns.
    for (const QString& folder : {catalogue, own}) {
        engine::Table k(folder, QStringLiteral("Konfig_i"));
        k.open();
        k.edit();
        for (const char* group : {"i", "iW", "iS", "iZ"})
            k.setValue(QStringLiteral("Konfig_%1_Nazwa2").arg(QLatin1String(group)), true);
        k.post();
    }
    {
        engine::Table k(own, QStringLiteral("Konfig_i"));
        k.open();
        k.edit();
        const QStringList texts = list("Nazwa|Opis|Indeks|Wytwórca|Kod wytwórcy");
        const QStringList fields = list("Nazwa1|Nazwa2|Symbol|Producent|Kod_Prod");
        for (int i = 0; i < 5; ++i)
            k.setValue(QStringLiteral("Konfig_I_nagl_") + fields[i], texts[i]);
        k.setValue(QStringLiteral("Konfig_i_Ekr_Zakladki"), false);
        k.setValue(QStringLiteral("Konfig_i_Ekr_Baza"), true);
        k.setValue(QStringLiteral("Konfig_I_P_Ceny"), false);
        k.post();
    }
    auto w = startWindow();
    ASSERT_EQ(outcome, Outcome::Running);
    w->show();
    auto& s = w->state();
    auto& f = w->form();
    auto expectShown = [&](const QStringList& titles, const QString& producer, int sort = 0,
                           int page = 0) {
        EXPECT_EQ(f.Label_Nazwa1->text(), titles[0]);
        EXPECT_EQ(f.LabelNazwa2->text(), titles[1]);
        EXPECT_EQ(f.Label_Symbol_Prod->text(), titles[3]);
        EXPECT_EQ(f.Label_Producent->text(), producer);
        QStringList entries;
        for (int i = 0; i < f.Wyswietlaj_wg->count(); ++i)
            entries << f.Wyswietlaj_wg->itemText(i);
        EXPECT_EQ(entries, titles);
        EXPECT_EQ(f.Wyswietlaj_wg->currentIndex(), sort);
        for (ui::DbGrid* g :
             {f.DBGrid_Towary, f.DBGrid_Wchodzi, f.DBGrid_Sklada, f.DBGrid_Zamienniki}) {
            QStringList headers;
            for (int c = 0; c < 4; ++c)
                headers << g->gridModel()->headerData(c, Qt::Horizontal).toString();
            EXPECT_EQ(headers, titles) << g->objectName().toStdString();
        }
        EXPECT_EQ(s.Display.headerName1, titles[0]);
        EXPECT_EQ(s.Display.headerProducer, producer);
        EXPECT_EQ(f.TNotebook->currentIndex(), page);
    };
    auto open = [&](const QString& folder) {
        s.CurrentCatalogueFolder = folder;
        w->OTWIERANIE_NOWYCH_BAZ();
    };

    expectShown(list("Pole 1|Pole 2|Pole 3|Pole 4"), QStringLiteral("Firma"));
    f.Wyswietlaj_wg->setCurrentIndex(3);
    f.TNotebook->setCurrentIndex(4);
    open(own);
    expectShown(list("Nazwa|Opis|Indeks|Kod wytwórcy"), QStringLiteral("Wytwórca"));
    EXPECT_FALSE(s.Display.panelPrices);
    EXPECT_TRUE(s.Display.panelProducer);
    EXPECT_TRUE(f.Panel_Zakladki->isHidden());
    EXPECT_EQ(f.Panel_Zakladki->height(), 0);
    EXPECT_FALSE(f.Panel_Biezaca_Baza->isHidden());
    EXPECT_GE(f.Panel_Biezaca_Baza->height(), f.Ulubione->sizeHint().height());
    EXPECT_EQ(gridNames(f.DBGrid_Towary), list("Pompa"));
    open(catalogue);
    // Back with the order and the page it was left with.
    expectShown(list("Pole 1|Pole 2|Pole 3|Pole 4"), QStringLiteral("Firma"), 3, 4);
    EXPECT_EQ(f.Panel_Zakladki->height(), 170);
    EXPECT_TRUE(f.Panel_Biezaca_Baza->isHidden());

    // Without its row: empty captions and every switch off.
    const QStringList blank(4, QString());
    engine::Database::open(own)->emptyTable(QStringLiteral("Konfig_i"));
    open(own);
    expectShown(blank, {});
    EXPECT_TRUE(f.Panel_Narzedzi->isHidden());
    EXPECT_FALSE(s.Display.panelBasic || s.Display.panelProducer || s.Display.panelVisible);
    EXPECT_TRUE(messages.shown().isEmpty()) << messages.texts().join(u'|').toStdString();

    // Without the table: the engine's error, no captions of the catalogue before, and the items
    // of this one still listed.
    open(catalogue);
    engine::Database::open(own)->dropTable(QStringLiteral("Konfig_i"));
    open(own);
    ASSERT_EQ(errorTexts().size(), 1) << messages.texts().join(u'|').toStdString();
    EXPECT_TRUE(errorTexts()[0].contains(QStringLiteral("Konfig_i")));
    expectShown(blank, {});
    EXPECT_FALSE(f.Panel_Narzedzi->isHidden());
    EXPECT_EQ(gridNames(f.DBGrid_Towary), list("Pompa"));
}
