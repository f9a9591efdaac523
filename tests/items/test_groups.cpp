// The groups dialog, and through it the list-dialog behaviour every small dialog shares.
#include "engine/table.h"
#include "items/Ak_grupa.h"
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

using items::TEkr_Aktualizacja_Grupa;
using Mode = ui::ListDialog::Mode;

class GroupsTest : public CatalogueDialogTest {
protected:
    void addGroups(const QStringList& names) {
        for (const QString& n : names)
            testsupport::addRow(folder, "Grupa", {{QStringLiteral("Grupa_Nazwa"), n}});
    }
    int groupNr(const QString& name) {
        engine::Table t(folder, QStringLiteral("Grupa"));
        t.setIndexFieldNames(QStringLiteral("Grupa_Nazwa"));
        t.open();
        return t.findKey({name}) ? t.asInteger(QStringLiteral("Grupa_Nr")) : 0;
    }
    QStringList storedNames() {
        engine::Table t(folder, QStringLiteral("Grupa"));
        t.setIndexFieldNames(QStringLiteral("Grupa_Nazwa"));
        t.open();
        QStringList out;
        t.forEachRow([&] { out << t.asString(QStringLiteral("Grupa_Nazwa")); });
        return out;
    }

    // The dialog shown and active, as the modal runner would show it.
    std::unique_ptr<TEkr_Aktualizacja_Grupa> open() {
        return showActive<TEkr_Aktualizacja_Grupa>(state);
    }

    static QLineEdit* edit(QWidget* d, const char* name) { return lineEdit(d, name); }
    static QPushButton* button(QWidget* d, const char* name) { return pushButton(d, name); }
    static QString current(TEkr_Aktualizacja_Grupa& d) {
        return d.table().asString(QStringLiteral("Grupa_Nazwa"));
    }
};

TEST_F(GroupsTest, OpensOnFirstRowWithButtonsOfBrowsing) {
    addGroups({"Śruby", "Akcesoria", "Łożyska"});
    auto d = open();
    EXPECT_EQ(d->windowTitle(), "Grupy");
    EXPECT_EQ(current(*d), "Akcesoria");
    EXPECT_TRUE(d->searchBox()->hasFocus());
    EXPECT_FALSE(d->editPanel()->isVisible());
    for (const char* b : {"BB_Powrot", "BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Wlasnosci"})
        EXPECT_TRUE(button(d.get(), b)->isEnabled()) << b;
    EXPECT_FALSE(button(d.get(), "BB_Zapisz")->isEnabled());
    EXPECT_FALSE(button(d.get(), "BB_Anuluj")->isEnabled());
    EXPECT_FALSE(button(d.get(), "BB_Wybierz")->isVisible());
    EXPECT_EQ(button(d.get(), "BB_Dodaj")->toolTip(), "Dodawanie nowej grupy");
    EXPECT_EQ(edit(d.get(), "Edit_Grupa")->maxLength(), 30);
    // The own button waits for the template dialog's full version but opens it already.
    runner.on(QStringLiteral("TAktualizacja_WWG"));
    button(d.get(), "BB_Wlasnosci")->click();
    EXPECT_EQ(state.TemplateGroupName, "Akcesoria");
    EXPECT_EQ(state.TemplateGroupNr, groupNr("Akcesoria"));
}

TEST_F(GroupsTest, EmptyTableDisablesRowButtons) {
    auto d = open();
    EXPECT_TRUE(button(d.get(), "BB_Dodaj")->isEnabled());
    for (const char* b : {"BB_Popraw", "BB_Usun", "BB_Wlasnosci"})
        EXPECT_FALSE(button(d.get(), b)->isEnabled()) << b;
    // Disabled on an empty table; the handler, which the list's keys reach as well, refuses on its
    // own.
    d->BB_PoprawClick();
    EXPECT_EQ(d->mode(), Mode::Browse);
}

TEST_F(GroupsTest, AddingSavesTheRowInItsSortedPlace) {
    addGroups({"Akcesoria", "Zawory"});
    auto d = open();
    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_EQ(d->modeWord(), "Nowy");
    EXPECT_TRUE(d->editPanel()->isVisible());
    EXPECT_EQ(d->editPanel()->title(), "Dodawanie nowej grupy");
    auto* name = edit(d.get(), "Edit_Grupa");
    EXPECT_TRUE(name->hasFocus());
    for (const char* b : {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Wlasnosci"})
        EXPECT_FALSE(button(d.get(), b)->isEnabled()) << b;
    EXPECT_TRUE(button(d.get(), "BB_Zapisz")->isEnabled());

    typeText(name, "Łączniki");
    EXPECT_TRUE(d->changed());
    QTest::keyClick(name, Qt::Key_Return); // Enter in the box saves
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_FALSE(d->editPanel()->isVisible());
    EXPECT_EQ(current(*d), "Łączniki");
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Łączniki", "Zawory"}));
    EXPECT_TRUE(button(d.get(), "BB_Wlasnosci")->isEnabled());
    EXPECT_GT(groupNr("Łączniki"), groupNr("Zawory")) << "numbered by the table";

    // A name that exists already is allowed.
    click(*d, "BB_Dodaj");
    name->setText(QStringLiteral("Zawory"));
    click(*d, "BB_Zapisz");
    EXPECT_EQ(storedNames().count("Zawory"), 2);
}

TEST_F(GroupsTest, SavingWithoutANameIsRefusedAndKeepsEditing) {
    auto d = open();
    click(*d, "BB_Dodaj");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Nie wprowadzona nazwa grupy. Zapis nie jest możliwy !");
    EXPECT_EQ(messages.last().caption, "Uwaga !");
    EXPECT_EQ(d->mode(), Mode::Adding);
    EXPECT_TRUE(edit(d.get(), "Edit_Grupa")->hasFocus());
    EXPECT_TRUE(storedNames().isEmpty());
}

TEST_F(GroupsTest, ChangingRenamesTheGroupOnly) {
    addGroups({"Akcesoria", "Zawory"});
    const int nr = groupNr("Zawory");
    auto d = open();
    d->searchBox()->setText(QStringLiteral("Za"));
    EXPECT_EQ(current(*d), "Zawory");
    d->list()->setFocus();
    QTest::keyClick(d->list(), Qt::Key_Return); // Enter in the list: Popraw
    EXPECT_EQ(d->modeWord(), "Edycja");
    EXPECT_EQ(d->editPanel()->title(), "Edycja grupy");
    auto* name = edit(d.get(), "Edit_Grupa");
    EXPECT_EQ(name->text(), "Zawory");
    name->selectAll();
    typeText(name, "Armatura");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Armatura"}));
    EXPECT_EQ(groupNr("Armatura"), nr) << "the items keep pointing at the group";
    EXPECT_EQ(current(*d), "Armatura");
}

TEST_F(GroupsTest, AbandoningAnEdit) {
    addGroups({"Akcesoria", "Zawory"});
    auto d = open();
    auto* name = edit(d.get(), "Edit_Grupa");

    // Anuluj throws the typed text away.
    click(*d, "BB_Popraw");
    typeText(name, "X");
    click(*d, "BB_Anuluj");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->list()->hasFocus());
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Zawory"}));

    // Esc in the box abandons without a question.
    click(*d, "BB_Dodaj");
    typeText(name, "Nowa");
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(messages.count(), 0);

    // Leaving an untouched box for the list abandons quietly.
    click(*d, "BB_Popraw");
    d->list()->setFocus();
    EXPECT_EQ(d->mode(), Mode::Browse);

    // Leaving for the search field abandons even after changes, without a question.
    click(*d, "BB_Popraw");
    typeText(name, "zmiana");
    d->searchBox()->setFocus();
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Zawory"}));
}

TEST_F(GroupsTest, MovingInTheListAfterChangesAsks) {
    addGroups({"Akcesoria", "Zawory"});
    auto d = open();
    auto* name = edit(d.get(), "Edit_Grupa");

    // No: the change is dropped, the move happens.
    click(*d, "BB_Popraw");
    typeText(name, "2");
    d->list()->setFocus(); // changed: the edit stays
    EXPECT_EQ(d->mode(), Mode::Changing);
    messages.answerNo();
    QTest::keyClick(d->list(), Qt::Key_Down);
    EXPECT_EQ(messages.last().text, "Dane zostały zmienione. Czy zapisać wprowadzone zmiany!");
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Zawory"}));

    // Yes: saved into the row being edited, not into the one moved to.
    d->table().first();
    click(*d, "BB_Popraw");
    typeText(name, "2");
    d->list()->setFocus();
    messages.answerYes();
    QTest::keyClick(d->list(), Qt::Key_Down);
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria2", "Zawory"}));

    // Yes with a save that fails: the message, then the edit is abandoned all the same.
    click(*d, "BB_Popraw");
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Delete);
    d->list()->setFocus();
    messages.answerYes();
    QTest::keyClick(d->list(), Qt::Key_Down);
    EXPECT_EQ(messages.last().text, "Nie wprowadzona nazwa grupy. Zapis nie jest możliwy !");
    EXPECT_EQ(d->mode(), Mode::Browse);
}

TEST_F(GroupsTest, ClosingWhileEditingAsksAndClosesTheTable) {
    addGroups({"Akcesoria"});
    auto d = open();
    click(*d, "BB_Dodaj");
    typeText(edit(d.get(), "Edit_Grupa"), "Nowa");
    messages.answerYes();
    click(*d, "BB_Powrot");
    EXPECT_FALSE(d->isVisible());
    EXPECT_FALSE(d->table().isOpen());
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Nowa"}));
}

TEST_F(GroupsTest, DeletionAndItsReferenceChecks) {
    addGroups({"Pusta", "Z obiektami", "Z szablonem"});
    testsupport::addRow(folder, QStringLiteral("Towar"),
                        {{QStringLiteral("Tow_Grupa_Nr"), groupNr("Z obiektami")}});
    testsupport::addRow(folder, QStringLiteral("Szablon"),
                        {{QStringLiteral("Szablon_Grupa_Nr"), groupNr("Z szablonem")}});
    auto d = open();

    d->searchBox()->setText(QStringLiteral("Z ob"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.shown()[0].message.text, "Czy na pewno chcesz usunąć zaznaczoną grupę ?");
    EXPECT_EQ(messages.shown()[0].message.defaultButton, ui::Button::No);
    EXPECT_EQ(messages.last().text,
              "W tej grupie znajdują się obiekty !\n Usunięcie nie jest możliwe !");

    d->searchBox()->setText(QStringLiteral("Z sz"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.last().text,
              "Ta grupa ma przyporządkowane własności !\nUsunięcie nie jest możliwe !");
    EXPECT_EQ(storedNames().size(), 3);

    // No keeps the row; Delete in the list asks the same question.
    d->searchBox()->setText(QStringLiteral("Pu"));
    messages.answerNo();
    click(*d, "BB_Usun");
    EXPECT_EQ(storedNames().size(), 3);
    d->list()->setFocus();
    messages.answerYes();
    QTest::keyClick(d->list(), Qt::Key_Delete);
    EXPECT_EQ(storedNames(), QStringList({"Z obiektami", "Z szablonem"}));
}

TEST_F(GroupsTest, DeletingTheLastRowDisablesRowButtons) {
    addGroups({"Jedyna"});
    auto d = open();
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_TRUE(d->table().isEmpty());
    EXPECT_FALSE(button(d.get(), "BB_Popraw")->isEnabled());
    EXPECT_FALSE(button(d.get(), "BB_Usun")->isEnabled());
    EXPECT_FALSE(button(d.get(), "BB_Wlasnosci")->isEnabled());
}

TEST_F(GroupsTest, SearchAndKeys) {
    addGroups({"Akcesoria", "Bity", "Łączniki", "Łożyska", "Zawory"});
    auto d = open();
    auto* search = d->searchBox();
    typeText(search, "ł");
    EXPECT_EQ(current(*d), "Łączniki") << "nearest match in the Polish order";
    typeText(search, "o");
    EXPECT_EQ(current(*d), "Łożyska");
    search->setText(QStringLiteral("zzz"));
    EXPECT_EQ(current(*d), "Zawory") << "past the end: the last row";

    // Down leaves the field one row further and empties it without searching.
    search->setText(QStringLiteral("B"));
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_TRUE(d->list()->hasFocus());
    EXPECT_EQ(current(*d), "Łączniki");
    EXPECT_TRUE(search->text().isEmpty());

    // A letter typed in the list becomes the search text.
    QTest::keyClick(d->list(), Qt::Key_Z);
    EXPECT_TRUE(search->hasFocus());
    EXPECT_EQ(search->text(), "z");
    EXPECT_EQ(search->cursorPosition(), 1);
    EXPECT_EQ(current(*d), "Zawory");

    // Leaving the search field empties it.
    d->list()->setFocus();
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(current(*d), "Zawory");

    // Insert in the list starts adding; Esc outside a box closes the dialog.
    QTest::keyClick(d->list(), Qt::Key_Insert);
    EXPECT_EQ(d->mode(), Mode::Adding);
    click(*d, "BB_Anuluj");
    QTest::keyClick(d->list(), Qt::Key_Escape);
    EXPECT_FALSE(d->isVisible());
}

TEST_F(GroupsTest, PickingHandsBackTheChosenGroup) {
    addGroups({"Akcesoria", "Łożyska", "Zawory"});
    state.GroupPickMode = QStringLiteral("Wybieranie");
    state.PickSearchText = QStringLiteral("Ło");
    state.PickedGroupName = QStringLiteral("stara");
    state.PickedGroupNr = 99;
    auto d = open();
    EXPECT_TRUE(state.PickedGroupName.isEmpty()) << "emptied at opening";
    EXPECT_EQ(state.PickedGroupNr, 0);
    EXPECT_TRUE(button(d.get(), "BB_Wybierz")->isVisible());
    EXPECT_FALSE(button(d.get(), "BB_Wlasnosci")->isVisible());
    EXPECT_EQ(d->searchBox()->text(), "Ło");
    EXPECT_EQ(d->searchBox()->cursorPosition(), 2);
    EXPECT_EQ(current(*d), "Łożyska");
    QTest::keyClick(d->searchBox(), Qt::Key_Return); // Enter in the search field picks
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedGroupName, "Łożyska");
    EXPECT_EQ(state.PickedGroupNr, groupNr("Łożyska"));
    EXPECT_TRUE(state.GroupPickMode.isEmpty());

    // Closing without a pick leaves nothing chosen.
    state.GroupPickMode = QStringLiteral("Wybieranie");
    auto again = open();
    click(*again, "BB_Powrot");
    EXPECT_TRUE(state.PickedGroupName.isEmpty());
    EXPECT_EQ(state.PickedGroupNr, 0);
    EXPECT_TRUE(state.GroupPickMode.isEmpty());
}

TEST_F(GroupsTest, PickGroupRunsTheListForPickingAndLeavesNoModeBehind) {
    addGroups({"Akcesoria", "Łożyska"});
    QString word, start;
    runner.on("TEkr_Aktualizacja_Grupa", [&](QDialog& d) {
        word = state.GroupPickMode;
        start = static_cast<TEkr_Aktualizacja_Grupa&>(d).searchBox()->text();
        button(&d, "BB_Wybierz")->click();
    });
    const auto picked = items::pickGroup(state, nullptr, QStringLiteral("Ło"));
    ASSERT_TRUE(picked);
    EXPECT_EQ(word, "Wybieranie");
    EXPECT_EQ(start, "Ło");
    EXPECT_EQ(picked->name, "Łożyska");
    EXPECT_EQ(picked->nr, groupNr("Łożyska"));
    EXPECT_TRUE(state.GroupPickMode.isEmpty());
    EXPECT_TRUE(state.PickSearchText.isEmpty()) << "a later opening starts empty";

    // The template's copy picks with its own word; closed without a choice it gives nothing.
    runner.on("TEkr_Aktualizacja_Grupa", [&](QDialog&) { word = state.GroupPickMode; });
    EXPECT_FALSE(items::pickGroup(state, nullptr, {}, store::kTemplateCopyPickingWord));
    EXPECT_EQ(word, "wybieranie");
    EXPECT_TRUE(state.GroupPickMode.isEmpty());
}

TEST_F(GroupsTest, ReadOnlyUserSearchesAndPicksButChangesNothing) {
    addGroups({"Akcesoria", "Zawory"});
    state.RightsLevel = 1;
    auto d = open();
    for (const char* b :
         {"BB_Dodaj", "BB_Popraw", "BB_Usun", "BB_Zapisz", "BB_Anuluj", "BB_Wlasnosci"})
        EXPECT_FALSE(button(d.get(), b)->isVisible()) << b;
    d->list()->setFocus();
    QTest::keyClick(d->list(), Qt::Key_Insert);
    QTest::keyClick(d->list(), Qt::Key_Delete);
    QTest::keyClick(d->list(), Qt::Key_Return);
    QTest::keyClick(d->list(), Qt::Key_Z);
    // Hidden from him; the handlers, which the list's keys reach as well, refuse on their own.
    d->BB_DodajClick();
    d->BB_PoprawClick();
    d->BB_UsunClick();
    d->BB_WlasnosciClick();
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_TRUE(d->searchBox()->text().isEmpty()) << "typing in the list does nothing for him";
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(storedNames(), QStringList({"Akcesoria", "Zawory"}));
    d->searchBox()->setText(QStringLiteral("Z"));
    EXPECT_EQ(current(*d), "Zawory");
    d->close();

    // Picking: a double-click does nothing, Enter chooses.
    state.GroupPickMode = QStringLiteral("Wybieranie");
    auto picker = open();
    EXPECT_TRUE(button(picker.get(), "BB_Wybierz")->isVisible());
    Q_EMIT picker->list()->rowDoubleClicked();
    EXPECT_TRUE(picker->isVisible());
    picker->list()->setFocus();
    QTest::keyClick(picker->list(), Qt::Key_Return);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(state.PickedGroupName, "Akcesoria");
}

} // namespace
