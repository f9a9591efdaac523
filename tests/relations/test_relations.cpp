// The consists-of, goes-into and substitutes editors: what they read, offer and refuse, what
// Zapisz writes for each relation (equivalents both ways), pieces with fractions, the working
// tables' lifetime, the questions, and the screens that open them.
#include "engine/database.h"
#include "engine/table.h"
#include "items/Ak_towar.h"
#include "platform/worktable.h"
#include "platform/worktables.h"
#include "relations/Akt_skl.h"
#include "relations/Akt_wdz.h"
#include "relations/Akt_zam.h"
#include "relations/relationlist.h"
#include "support/rows.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include <QComboBox>
#include <QLabel>
#include <QTableView>
#include <algorithm>
#include <functional>

using namespace relations;

namespace {

class RelationsTest : public CatalogueDialogTest {
protected:
    RelationsTest() {
        auto& d = state.Display;
        d.headerName1 = QStringLiteral("Nazwa");
        d.headerName2 = QStringLiteral("Nazwa 2");
        d.headerSymbol = QStringLiteral("Symbol");
        d.headerProducerCode = QStringLiteral("Kod");
        for (engine::DataSet* t : state.catalogueTables())
            t->setDatabaseName(folder);
        whole = addItem(QStringLiteral("Rower"), QStringLiteral("R-1"), QStringLiteral("K-R"));
        wheel = addItem(QStringLiteral("Koło"), QStringLiteral("K-2"), QStringLiteral("K-K"));
        bolt = addItem(QStringLiteral("Śruba"), QStringLiteral("S-3"), QStringLiteral("K-S"));
        frame = addItem(QStringLiteral("Rama"), QStringLiteral("F-4"), QStringLiteral("K-F"));
    }
    ~RelationsTest() override {
        for (engine::DataSet* t : state.catalogueTables())
            t->close();
    }

    int addItem(const QString& name, const QString& symbol = {}, const QString& code = {}) {
        return testsupport::addRow(folder, QStringLiteral("Towar"),
                                   {{QStringLiteral("Tow_Nazwa"), name},
                                    {QStringLiteral("Tow_Symbol"), symbol},
                                    {QStringLiteral("Tow_Kod_Prod"), code}},
                                   QStringLiteral("Tow_nr"));
    }
    void addPart(int of, int part, const QVariant& pieces) {
        testsupport::addRow(folder, QStringLiteral("Sklada"),
                            {{QStringLiteral("Sklada_Tow_Nr"), of},
                             {QStringLiteral("Sklada_Nr_Czesci"), part},
                             {QStringLiteral("Sklada_il_szt"), pieces}});
    }
    void addSubstitute(int item, int other) {
        testsupport::addRow(
            folder, QStringLiteral("Zamienne"),
            {{QStringLiteral("Zam_Tow_Nr"), item}, {QStringLiteral("Zam_Nr_Zam"), other}});
    }
    // Every Sklada row as "whole>part:pieces", sorted.
    QStringList parts() {
        QStringList out;
        engine::Table t(folder, QStringLiteral("Sklada"));
        t.open();
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            out << QStringLiteral("%1>%2:%3")
                       .arg(name(t.asInteger(QStringLiteral("Sklada_Tow_Nr"))),
                            name(t.asInteger(QStringLiteral("Sklada_Nr_Czesci"))),
                            t.asString(QStringLiteral("Sklada_il_szt")));
        out.sort();
        return out;
    }
    // Every Zamienne row as "item>substitute", sorted.
    QStringList substitutes() {
        QStringList out;
        engine::Table t(folder, QStringLiteral("Zamienne"));
        t.open();
        for (t.first(); !t.eof() && !t.isEmpty(); t.next())
            out << name(t.asInteger(QStringLiteral("Zam_Tow_Nr"))) + u'>' +
                       name(t.asInteger(QStringLiteral("Zam_Nr_Zam")));
        out.sort();
        return out;
    }
    QString name(int nr) {
        engine::Table t(folder, QStringLiteral("Towar"));
        t.open();
        return t.findKey({nr}) ? t.asString(QStringLiteral("Tow_Nazwa")) : QString::number(nr);
    }
    QStringList workTables() {
        if (!engine::Database::exists(state.TempFolder)) return {};
        QStringList out = engine::Database::open(state.TempFolder)->tables();
        out.removeAll(platform::WorkTables::kRegistryTable);
        return out;
    }
    void makeCurrent(int item) {
        state.CurrentItemNr = item;
        state.CurrentItemName = name(item);
    }
    template <class D> void run(int item, const std::function<void(D&)>& play) {
        makeCurrent(item);
        runner.on<D>(play);
        D dialog(state);
        ui::modalRunner().run(dialog);
    }
    static QStringList names(RelationDialog& d) {
        QStringList out;
        for (int row = 0; row < d.lineCount(); ++row)
            out << d.line(row)[0];
        return out;
    }
    static QStringList values(RelationDialog& d) {
        QStringList out;
        for (int row = 0; row < d.lineCount(); ++row)
            out << d.line(row)[3];
        return out;
    }
    // The item list placed on `text` by the search field, then Dodaj.
    static void add(QDialog& d, const QString& text) {
        child<QLineEdit>(d, "Edit_Szukaj_Towar")->setText(text);
        click(d, "BB_Dodaj");
    }
    // The items the item list offers, by name.
    static QStringList offered(QDialog& d) {
        engine::DataSet* t = child<ui::DbGrid>(d, "DBGrid_Towary")->dataSet();
        QStringList out;
        for (t->first(); !t->eof() && !t->isEmpty(); t->next())
            out << t->asString(QStringLiteral("Tow_Nazwa"));
        t->first();
        return out;
    }

    int whole, wheel, bolt, frame;
};

// --- The working list below the dialogs -------------------------------------------------------

TEST_F(RelationsTest, TheListRefusesTheItemItselfAndDuplicatesAndKeepsFractionalPieces) {
    addPart(whole, wheel, 2.5);
    addPart(whole, bolt, QVariant());
    addPart(frame, bolt, 4); // another whole's part
    RelationList list(Relation::ConsistsOf, folder, state.TempFolder, whole);
    list.open();
    ASSERT_EQ(list.entries().size(), 2);
    EXPECT_EQ(list.entries()[0].name, QStringLiteral("Koło"));
    EXPECT_EQ(list.entries()[0].symbol, QStringLiteral("K-2"));
    EXPECT_EQ(list.entries()[0].producerCode, QStringLiteral("K-K"));
    EXPECT_EQ(list.entries()[0].value.toDouble(), 2.5);
    EXPECT_TRUE(list.entries()[1].value.isNull());

    EXPECT_EQ(list.add(whole), RelationList::Added::Refused);
    EXPECT_EQ(list.add(9999), RelationList::Added::Refused);
    EXPECT_EQ(list.add(wheel), RelationList::Added::Duplicate);
    EXPECT_EQ(list.add(frame), RelationList::Added::Yes);
    EXPECT_EQ(list.entries()[2].value.toDouble(), 1.0);

    for (const char* bad : {"abc", "0", "-2", "", "1,2,3"})
        EXPECT_FALSE(list.setPieces(2, QLatin1String(bad))) << bad;
    EXPECT_TRUE(list.setPieces(2, QStringLiteral("3,25")));
    EXPECT_TRUE(list.setPieces(1, QStringLiteral("7.5")));
    EXPECT_TRUE(list.save());
    // The untouched 2.5 goes back as it was; the other whole's row stays.
    EXPECT_EQ(parts(), (QStringList{"Rama>Śruba:4", "Rower>Koło:2,5", "Rower>Rama:3,25",
                                    "Rower>Śruba:7,5"}));
    const QString table = list.workTableName();
    EXPECT_EQ(workTables(), QStringList{table});
    list.close();
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(RelationsTest, GoesIntoRewritesOnlyThisPartsRowsOfTheWholes) {
    addPart(whole, wheel, 2);
    addPart(whole, bolt, 2.5);
    addPart(frame, bolt, 6);
    addPart(frame, wheel, 1);
    RelationList list(Relation::GoesInto, folder, state.TempFolder, bolt);
    list.open();
    ASSERT_EQ(list.entries().size(), 2);
    EXPECT_EQ(list.entries()[0].name, QStringLiteral("Rower"));
    EXPECT_EQ(list.entries()[1].name, QStringLiteral("Rama"));
    list.remove(1);
    EXPECT_EQ(list.add(wheel), RelationList::Added::Yes);
    EXPECT_TRUE(list.save());
    EXPECT_EQ(parts(),
              (QStringList{"Koło>Śruba:1", "Rama>Koło:1", "Rower>Koło:2", "Rower>Śruba:2,5"}));
    list.clear();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_TRUE(list.save());
    EXPECT_EQ(parts(), (QStringList{"Rama>Koło:1", "Rower>Koło:2"}));
}

TEST_F(RelationsTest, EquivalentsAreStoredBothWaysAndOneWaySubstitutesOfOthersStay) {
    {
        RelationList a(Relation::Substitutes, folder, state.TempFolder, whole);
        a.open();
        ASSERT_EQ(a.add(wheel), RelationList::Added::Yes);
        ASSERT_EQ(a.add(bolt), RelationList::Added::Yes);
        EXPECT_EQ(a.entries()[0].value.toString(), QStringLiteral("zamiennik"));
        EXPECT_FALSE(a.setKind(0, QStringLiteral("inny")));
        EXPECT_TRUE(a.setKind(0, QStringLiteral("równoważnik")));
        EXPECT_TRUE(a.save());
    }
    EXPECT_EQ(substitutes(), (QStringList{"Koło>Rower", "Rower>Koło", "Rower>Śruba"}));
    {
        // Seen from the other side, the equivalent is one.
        RelationList b(Relation::Substitutes, folder, state.TempFolder, wheel);
        b.open();
        ASSERT_EQ(b.entries().size(), 1);
        EXPECT_EQ(b.entries()[0].name, QStringLiteral("Rower"));
        EXPECT_EQ(b.entries()[0].value.toString(), QStringLiteral("równoważnik"));
    }
    // The frame lists the whole one way; the whole does not list the frame.
    addSubstitute(frame, whole);
    {
        RelationList a(Relation::Substitutes, folder, state.TempFolder, whole);
        a.open();
        ASSERT_EQ(a.entries().size(), 2);
        EXPECT_EQ(a.entries()[0].value.toString(), QStringLiteral("równoważnik"));
        EXPECT_EQ(a.entries()[1].value.toString(), QStringLiteral("zamiennik"));
        EXPECT_TRUE(a.setKind(0, QStringLiteral("zamiennik")));
        EXPECT_TRUE(a.save());
    }
    EXPECT_EQ(substitutes(), (QStringList{"Rama>Rower", "Rower>Koło", "Rower>Śruba"}));
    {
        // Made an equivalent of the frame: exactly one row back, not a second one.
        RelationList a(Relation::Substitutes, folder, state.TempFolder, whole);
        a.open();
        ASSERT_EQ(a.add(frame), RelationList::Added::Yes);
        EXPECT_TRUE(a.setKind(2, QStringLiteral("równoważnik")));
        EXPECT_TRUE(a.save());
    }
    EXPECT_EQ(substitutes(),
              (QStringList{"Rama>Rower", "Rower>Koło", "Rower>Rama", "Rower>Śruba"}));
    {
        // Emptied and saved: the item's rows and the rows back to it go.
        RelationList a(Relation::Substitutes, folder, state.TempFolder, whole);
        a.open();
        a.clear();
        EXPECT_TRUE(a.save());
    }
    EXPECT_TRUE(substitutes().isEmpty());
}

TEST_F(RelationsTest, NothingIsWrittenForAnItemDeletedMeanwhile) {
    addPart(whole, wheel, 1);
    RelationList list(Relation::GoesInto, folder, state.TempFolder, wheel);
    list.open();
    list.clear();
    {
        engine::Table t(folder, QStringLiteral("Towar"));
        t.open();
        ASSERT_TRUE(t.findKey({wheel}));
        t.remove();
    }
    EXPECT_FALSE(list.save());
    EXPECT_EQ(parts(), QStringList{QStringLiteral("Rower>%1:1").arg(wheel)});
}

// --- The dialogs --------------------------------------------------------------------------------

TEST_F(RelationsTest, ConsistsOfOffersEveryOtherItemAndAddsWithTheDuplicateMessage) {
    addPart(whole, wheel, 2.5);
    QString table;
    run<TEkr_Sklada_sie>(whole, [&](TEkr_Sklada_sie& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Obiekt / Składa się z ..."));
        EXPECT_EQ(child<QLabel>(d, "Label_Obiekt")->text(), QStringLiteral("Rower"));
        EXPECT_EQ(offered(d), (QStringList{"Koło", "Rama", "Śruba"}));
        auto* order = child<QComboBox>(d, "Wyswietlaj_wg");
        ASSERT_EQ(order->count(), 4);
        EXPECT_EQ(order->itemText(2), QStringLiteral("Symbol"));
        EXPECT_EQ(d.line(0), (QStringList{"Koło", "K-2", "K-K", "2,5"}));
        EXPECT_FALSE(d.changed());
        table = d.workTableName();
        EXPECT_EQ(workTables(), QStringList{table});

        add(d, QStringLiteral("Ko"));
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Ten obiekt już znajduje się w tabeli Składa się z ... !"));
        EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
        EXPECT_EQ(d.lineCount(), 1);
        EXPECT_FALSE(d.changed());

        // Ordered by symbol, the search finds by symbol.
        order->setCurrentIndex(2);
        add(d, QStringLiteral("S-"));
        EXPECT_EQ(names(d), (QStringList{"Koło", "Śruba"}));
        EXPECT_TRUE(d.changed());
        EXPECT_TRUE(d.storeValue(1, QStringLiteral("1,5")));
        EXPECT_FALSE(d.storeValue(1, QStringLiteral("pół")));
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Ilość sztuk musi być liczbą większą od zera !"));
        EXPECT_EQ(values(d), (QStringList{"2,5", "1,5"}));
        // Typed into the grid's pieces cell, with the decimal comma.
        auto* grid = child<QTableView>(d, "DBGrid_Pozycje");
        d.selectLine(1);
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_3);
        auto* cell = grid->findChild<QLineEdit*>();
        ASSERT_NE(cell, nullptr);
        typeText(cell, QStringLiteral(",75"));
        QTest::keyClick(cell, Qt::Key_Return);
        QCoreApplication::processEvents(); // the cell hands its text over queued
        EXPECT_EQ(values(d), (QStringList{"2,5", "3,75"}));
        click(d, "BB_Zapisz");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(parts(), (QStringList{"Rower>Koło:2,5", "Rower>Śruba:3,75"}));
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(RelationsTest, UsunAndWyczyscEmptyTheListAndZapiszRemovesTheStoredRows) {
    addPart(whole, wheel, 1);
    addPart(whole, bolt, 2);
    addPart(frame, wheel, 3);
    run<TEkr_Sklada_sie>(whole, [&](TEkr_Sklada_sie& d) {
        d.selectLine(0);
        click(d, "BB_Usun");
        EXPECT_EQ(names(d), QStringList{"Śruba"});
        EXPECT_TRUE(d.changed());
        click(d, "BB_Wyczysc");
        EXPECT_EQ(d.lineCount(), 0);
        EXPECT_FALSE(child<QPushButton>(d, "BB_Usun")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "BB_Wyczysc")->isEnabled());
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(parts(), QStringList{"Rama>Koło:3"});
}

TEST_F(RelationsTest, ClosingWithChangesAsksAndAnulujDropsThem) {
    // No: nothing stored.
    messages.answerNo();
    run<TEkr_Wchodzi_do>(wheel, [&](TEkr_Wchodzi_do& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Obiekt / Wchodzi do ..."));
        add(d, QStringLiteral("Rower"));
        click(d, "BB_Powrot");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany ?"));
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_TRUE(parts().isEmpty());
    // Yes: saved, with the item taken when the editor opened.
    messages.answerYes();
    run<TEkr_Wchodzi_do>(wheel, [&](TEkr_Wchodzi_do& d) {
        add(d, QStringLiteral("Rower"));
        EXPECT_TRUE(d.storeValue(0, QStringLiteral("4")));
        state.CurrentItemNr = bolt; // the main window moved on meanwhile
        d.reject();                 // Esc
    });
    EXPECT_EQ(parts(), QStringList{"Rower>Koło:4"});
    // Anuluj: no question, nothing stored.
    messages.clear();
    run<TEkr_Wchodzi_do>(wheel, [&](TEkr_Wchodzi_do& d) {
        click(d, "BB_Wyczysc");
        click(d, "BB_Anuluj");
    });
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(parts(), QStringList{"Rower>Koło:4"});
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(RelationsTest, SubstitutesDialogEditsTheKindAndStoresEquivalentsBothWays) {
    addSubstitute(frame, whole); // one way, the frame's own
    run<TEkr_Zamienniki>(whole, [&](TEkr_Zamienniki& d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("Obiekt / Zamienniki"));
        EXPECT_EQ(d.lineCount(), 0);
        EXPECT_FALSE(child<QTableView>(d, "DBGrid_Pozycje")->isEnabled());
        add(d, QStringLiteral("Ko"));
        EXPECT_TRUE(child<QTableView>(d, "DBGrid_Pozycje")->isEnabled());
        EXPECT_EQ(values(d), QStringList{"zamiennik"});
        add(d, QStringLiteral("Ko"));
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Ten obiekt już znajduje się w tabeli Zamienniki !"));
        // The kind is picked from its two words in the grid's cell.
        auto* grid = child<QTableView>(d, "DBGrid_Pozycje");
        d.selectLine(0);
        grid->edit(grid->currentIndex());
        auto* kinds = grid->findChild<QComboBox*>();
        ASSERT_NE(kinds, nullptr);
        ASSERT_EQ(kinds->count(), 2);
        kinds->setCurrentIndex(0);
        Q_EMIT kinds->activated(0);
        EXPECT_EQ(values(d), QStringList{"równoważnik"});
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(substitutes(), (QStringList{"Koło>Rower", "Rama>Rower", "Rower>Koło"}));
    run<TEkr_Zamienniki>(wheel, [&](TEkr_Zamienniki& d) {
        EXPECT_EQ(d.line(0), (QStringList{"Rower", "R-1", "K-R", "równoważnik"}));
        EXPECT_TRUE(d.storeValue(0, QStringLiteral("zamiennik")));
        EXPECT_TRUE(d.changed());
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(substitutes(), (QStringList{"Koło>Rower", "Rama>Rower"}));
}

TEST_F(RelationsTest, NowyObiektRunsTheItemEditorAndRebuildsFromWhatIsStored) {
    addPart(whole, wheel, 2.5);
    state.TFTowar.setIndexFieldNames(QStringLiteral("Tow_Nazwa"));
    state.TFTowar.open();
    QString before;
    messages.answerNo();
    runner.on<items::TEkr_Aktualizacja_Towar>([&](items::TEkr_Aktualizacja_Towar&) {
        EXPECT_EQ(state.ItemEditMode, QStringLiteral("Nowy"));
        addItem(QStringLiteral("Dzwonek"));
        state.CurrentItemNr = 0; // the new item's own screens hand over another item
        state.TFTowar.refresh();
        state.TFTowar.last();
    });
    run<TEkr_Sklada_sie>(whole, [&](TEkr_Sklada_sie& d) {
        add(d, QStringLiteral("Rama"));
        before = d.workTableName();
        click(d, "BB_Nowy");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Dane zostały zmienione. Zapamiętać przed dodaniem nowego "
                                 "towaru !"));
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(names(d), QStringList{"Koło"}); // the unsaved Rama is dropped
        EXPECT_FALSE(d.changed());
        EXPECT_NE(d.workTableName(), before);
        EXPECT_EQ(workTables(), QStringList{d.workTableName()});
        EXPECT_EQ(offered(d), (QStringList{"Dzwonek", "Koło", "Rama", "Śruba"}));
        EXPECT_EQ(state.CurrentItemNr, whole);
        // The main window's list stands on the item again, in its own order.
        EXPECT_EQ(state.TFTowar.asInteger(QStringLiteral("Tow_nr")), whole);
        EXPECT_EQ(state.TFTowar.indexFieldNames(), QStringLiteral("Tow_Nazwa"));
        add(d, QStringLiteral("Dz"));
        click(d, "BB_Anuluj");
    });
    EXPECT_EQ(parts(), QStringList{"Rower>Koło:2,5"});

    // Yes: saved first; the editor ends once the item editor is over.
    messages.answerYes();
    runner.on<items::TEkr_Aktualizacja_Towar>({});
    run<TEkr_Sklada_sie>(whole, [&](TEkr_Sklada_sie& d) {
        add(d, QStringLiteral("Rama"));
        click(d, "BB_Nowy");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(parts(), (QStringList{"Rower>Koło:2,5", "Rower>Rama:1"}));
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(RelationsTest, AnEmptyCatalogueOfOthersLeavesNothingToAdd) {
    engine::Database::open(folder)->transaction([&] {
        engine::Table t(folder, QStringLiteral("Towar"));
        t.open();
        for (int nr : {wheel, bolt, frame})
            if (t.findKey({nr})) t.remove();
    });
    run<TEkr_Sklada_sie>(whole, [&](TEkr_Sklada_sie& d) {
        EXPECT_FALSE(child<QPushButton>(d, "BB_Dodaj")->isEnabled());
        EXPECT_FALSE(child<ui::DbGrid>(d, "DBGrid_Towary")->isEnabled());
        // Disabled with nothing to add; the handler refuses on its own too.
        d.BB_DodajClick();
        EXPECT_EQ(d.lineCount(), 0);
    });
}

TEST_F(RelationsTest, TheItemEditorsLowerButtonsOpenTheEditorsOnItsItem) {
    state.TFTowar.setIndexFieldNames(QStringLiteral("Tow_nr"));
    state.TFTowar.open();
    ASSERT_TRUE(state.TFTowar.findKey({bolt}));
    state.ItemEditMode = QStringLiteral("Edycja");
    items::TEkr_Aktualizacja_Towar editor(state);
    editor.show();
    QCoreApplication::processEvents();
    QStringList seen;
    auto note = [&](QDialog& d) {
        seen << d.objectName() + u':' + state.CurrentItemName;
        EXPECT_EQ(state.CurrentItemNr, bolt);
    };
    runner.on(QStringLiteral("TEkr_Wchodzi_do"), note);
    runner.on(QStringLiteral("TEkr_Sklada_sie"), note);
    runner.on(QStringLiteral("TEkr_Zamienniki"), note);
    for (const char* b : {"BB_Wchodzi", "BB_Sklada", "BB_Zamienniki"}) {
        auto* button = child<QPushButton>(editor, b);
        ASSERT_NE(button, nullptr);
        EXPECT_TRUE(button->isEnabled()) << b;
        button->click();
    }
    EXPECT_EQ(seen, (QStringList{"TEkr_Wchodzi_do:Śruba", "TEkr_Sklada_sie:Śruba",
                                 "TEkr_Zamienniki:Śruba"}));
    EXPECT_TRUE(editor.isVisible());
    editor.close();
}

TEST_F(RelationsTest, APolishLetterTypedInTheItemListStartsTheSearch) {
    run<TEkr_Sklada_sie>(whole, [&](TEkr_Sklada_sie& d) {
        auto* items = child<ui::DbGrid>(d, "DBGrid_Towary");
        items->setFocus();
        typeText(items, QStringLiteral("Ś"));
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Szukaj_Towar")->text(), QStringLiteral("Ś"));
        EXPECT_EQ(items->dataSet()->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Śruba"));
    });
}

} // namespace
