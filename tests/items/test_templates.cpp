// Group templates: the working list, its order, copying and saving, and that the working table
// never outlives the dialog.
#include "attributes_fixture.h"
#include "engine/table.h"
#include "items/Ak_WWG.h"
#include "ui/dbgrid.h"
#include <QLabel>

using items::TAktualizacja_WWG;

namespace {

class TemplateTest : public attrtest::AttributeTest {
protected:
    TemplateTest() {
        p = addAttribute(QStringLiteral("P"), QStringLiteral("A"));
        q = addAttribute(QStringLiteral("Q"), QStringLiteral("N"));
        r = addAttribute(QStringLiteral("R"), QStringLiteral("D"));
        group = addGroup(QStringLiteral("Śruby"));
        other = addGroup(QStringLiteral("Nakrętki"));
    }

    // Runs the dialog on `group` as its caller does, with `play` as the user.
    void run(const std::function<void(TAktualizacja_WWG&)>& play, int onGroup = 0) {
        st.TemplateGroupNr = onGroup ? onGroup : group;
        st.TemplateGroupName = QStringLiteral("Śruby");
        runner.on<TAktualizacja_WWG>(play);
        TAktualizacja_WWG dialog(st);
        ui::modalRunner().run(dialog);
    }

    static engine::Table& workList(QDialog& d) {
        return *static_cast<engine::Table*>(child<ui::DbGrid>(d, "DBGrid_Wlasnosci")->dataSet());
    }
    // The template list as shown, top to bottom.
    static QStringList shown(QDialog& d) {
        auto* model = child<ui::DbGrid>(d, "DBGrid_Wlasnosci")->gridModel();
        QStringList names;
        if (model->rowCount() > 0) model->ensureRows(0, model->rowCount() - 1);
        for (int row = 0; row < model->rowCount(); ++row)
            names << model->data(model->index(row, 0)).toString();
        return names;
    }
    static void selectEntry(QDialog& d, const QString& name) {
        engine::Table& t = workList(d);
        for (t.first(); !t.eof(); t.next())
            if (t.asString(QStringLiteral("Wlasnosc_cecha_nazwa")) == name) return;
        ADD_FAILURE() << "no entry " << name.toStdString();
    }
    // The attribute list placed by typing into the search field, then Dodaj.
    static void add(QDialog& d, const QString& name) {
        child<QLineEdit>(d, "Szukaj_Cecha")->setText(name);
        click(d, "BB_Dodaj");
    }

    int p, q, r, group, other;
};

TEST_F(TemplateTest, AddingAppendsAtTheEndAndAnAttributeAlreadyThereChangesNothing) {
    setTemplate(group, {p});
    run([&](TAktualizacja_WWG& d) {
        EXPECT_EQ(child<QLabel>(d, "Label_Grupa")->text(), QStringLiteral("Śruby"));
        EXPECT_EQ(shown(d), QStringList{QStringLiteral("P")});
        add(d, QStringLiteral("P"));
        EXPECT_FALSE(d.changed());
        EXPECT_EQ(shown(d), QStringList{QStringLiteral("P")});
        add(d, QStringLiteral("R"));
        add(d, QStringLiteral("Q"));
        EXPECT_TRUE(d.changed());
        EXPECT_EQ(shown(d), (QStringList{"P", "R", "Q"}));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "R:2", "Q:3"}));
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(TemplateTest, ArrowsSwapWithTheNeighbourAndStopAtTheEnds) {
    setTemplate(group, {p, q, r});
    run([&](TAktualizacja_WWG& d) {
        selectEntry(d, QStringLiteral("Q"));
        click(d, "SB_Gora");
        EXPECT_EQ(shown(d), (QStringList{"Q", "P", "R"}));
        EXPECT_EQ(workList(d).asString(QStringLiteral("Wlasnosc_cecha_nazwa")), "Q");
        click(d, "SB_Gora"); // already first
        EXPECT_EQ(shown(d), (QStringList{"Q", "P", "R"}));
        selectEntry(d, QStringLiteral("R"));
        click(d, "SB_Dol"); // already last
        selectEntry(d, QStringLiteral("P"));
        click(d, "SB_Dol");
        EXPECT_EQ(shown(d), (QStringList{"Q", "R", "P"}));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"Q:1", "R:2", "P:3"}));
}

TEST_F(TemplateTest, MovingInATemplateWithGapsGivesEveryEntryItsOwnPlace) {
    addTemplateRow(group, p, 1);
    addTemplateRow(group, q, 4);
    addTemplateRow(group, r, 9);
    run([&](TAktualizacja_WWG& d) {
        selectEntry(d, QStringLiteral("R"));
        click(d, "SB_Gora");
        EXPECT_EQ(shown(d), (QStringList{"P", "R", "Q"}));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "R:2", "Q:3"}));
}

TEST_F(TemplateTest, RemovingAskedFirstAndTheOthersKeepTheirOrder) {
    setTemplate(group, {r, p, q});
    messages.answerNo().answerYes();
    run([&](TAktualizacja_WWG& d) {
        selectEntry(d, QStringLiteral("P"));
        click(d, "BB_Usun");
        EXPECT_EQ(shown(d), (QStringList{"R", "P", "Q"}));
        EXPECT_FALSE(d.changed());
        click(d, "BB_Usun");
        EXPECT_EQ(shown(d), (QStringList{"R", "Q"}));
        click(d, "BB_Zapisz");
    });
    ASSERT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Usunięcie własności spowoduje utratę danych we wszystkich obiektach "
                             "należących do tej grupy! Usunąć własność ?"));
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(storedTemplate(group), (QStringList{"R:1", "Q:2"}));
}

TEST_F(TemplateTest, CopyingFromAnotherGroupFillsTheWorkingListOnly) {
    setTemplate(group, {q});
    setTemplate(other, {p, r});
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"), [&](QDialog&) {
        EXPECT_EQ(st.GroupPickMode, QStringLiteral("wybieranie"));
        st.PickedGroupNr = other;
        st.PickedGroupName = QStringLiteral("Nakrętki");
    });
    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa")); // closed without a choice
    run([&](TAktualizacja_WWG& d) {
        click(d, "BB_Kopiuj");
        EXPECT_EQ(shown(d), (QStringList{"P", "R"}));
        EXPECT_TRUE(d.changed());
        EXPECT_EQ(storedTemplate(group), QStringList{"Q:1"}); // nothing stored yet
        click(d, "BB_Kopiuj");
        EXPECT_EQ(shown(d), (QStringList{"P", "R"}));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "R:2"}));
    EXPECT_EQ(storedTemplate(other), (QStringList{"P:1", "R:2"}));
}

TEST_F(TemplateTest, AnulujStoresNothingAndClosingAsksAboutChanges) {
    setTemplate(group, {p, q});
    run([&](TAktualizacja_WWG& d) {
        click(d, "BB_Wyczysc");
        add(d, QStringLiteral("R"));
        click(d, "BB_Anuluj");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "Q:2"}));

    messages.answerNo();
    run([&](TAktualizacja_WWG& d) {
        click(d, "BB_Wyczysc");
        click(d, "BB_Powrot");
    });
    EXPECT_EQ(messages.last().text, QStringLiteral("Dane zostały zmienione. Zapamiętać!"));
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "Q:2"}));

    messages.answerYes();
    run([&](TAktualizacja_WWG& d) {
        selectEntry(d, QStringLiteral("Q"));
        click(d, "SB_Gora");
        d.reject(); // Esc or the close box
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"Q:1", "P:2"}));
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(TemplateTest, ClearedTemplateSavesNoRowsAndAGoneAttributeStaysAsNumberZero) {
    addTemplateRow(group, p, 1);
    addTemplateRow(group, 999, 2);
    run([&](TAktualizacja_WWG& d) {
        EXPECT_EQ(shown(d), (QStringList{"P", ""}));
        EXPECT_TRUE(child<QPushButton>(d, "BB_Usun")->isEnabled());
        add(d, QStringLiteral("Q"));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "0:2", "Q:3"}));

    run([&](TAktualizacja_WWG& d) {
        click(d, "BB_Wyczysc");
        EXPECT_FALSE(child<QPushButton>(d, "BB_Usun")->isEnabled());
        EXPECT_FALSE(child<QPushButton>(d, "BB_Wyczysc")->isEnabled());
        click(d, "BB_Zapisz");
    });
    EXPECT_TRUE(storedTemplate(group).isEmpty());
}

TEST_F(TemplateTest, AFailedSaveKeepsTheChangesOnScreenAndTheWorkingTableGoesOnClosing) {
    setTemplate(group, {p});
    run([&](TAktualizacja_WWG& d) {
        add(d, QStringLiteral("Q"));
        // Another installation has taken the catalogue's template table away.
        engine::Database::open(cat())->dropTable(QStringLiteral("Szablon"));
        click(d, "BB_Zapisz");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(messages.last().kind, ui::Message::Kind::Error);
        EXPECT_EQ(shown(d), (QStringList{"P", "Q"}));
        EXPECT_EQ(workTables(), QStringList{d.workTableName()});
        click(d, "BB_Anuluj");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(TemplateTest, TheAttributesDialogInBetweenRebuildsFromWhatIsStored) {
    setTemplate(group, {p});
    messages.answerNo();
    QString before;
    runner.on(QStringLiteral("TEkr_Aktualizacja_Wlasnosci"),
              [&](QDialog&) { addAttribute(QStringLiteral("Nowa"), QStringLiteral("L")); });
    run([&](TAktualizacja_WWG& d) {
        add(d, QStringLiteral("Q"));
        before = d.workTableName();
        click(d, "BB_Modyfikacja");
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Dane zostały zmienione. Zapamiętać przed przejściem do kartoteki "
                                 "własności ?"));
        EXPECT_EQ(shown(d), QStringList{QStringLiteral("P")}); // the unsaved Q is dropped
        EXPECT_FALSE(d.changed());
        EXPECT_NE(d.workTableName(), before);
        EXPECT_EQ(workTables(), QStringList{d.workTableName()});
        add(d, QStringLiteral("Nowa")); // the new attribute is offered
        EXPECT_EQ(shown(d), (QStringList{"P", "Nowa"}));
        click(d, "BB_Anuluj");
    });
    EXPECT_EQ(storedTemplate(group), QStringList{"P:1"});

    // Yes: saved first; the dialog ends once the attributes dialog is over.
    messages.answerYes();
    runner.on(QStringLiteral("TEkr_Aktualizacja_Wlasnosci"));
    run([&](TAktualizacja_WWG& d) {
        add(d, QStringLiteral("R"));
        click(d, "BB_Modyfikacja");
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(storedTemplate(group), (QStringList{"P:1", "R:2"}));
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(TemplateTest, APolishLetterTypedInTheAttributeListStartsTheSearch) {
    addAttribute(QStringLiteral("Średnica"), QStringLiteral("N"));
    run([&](TAktualizacja_WWG& d) {
        auto* attributes = child<ui::DbGrid>(d, "DBGrid_Cechy");
        attributes->setFocus();
        typeText(attributes, QStringLiteral("Ś"));
        EXPECT_EQ(child<QLineEdit>(d, "Szukaj_Cecha")->text(), QStringLiteral("Ś"));
        EXPECT_EQ(attributes->dataSet()->asString(QStringLiteral("Cecha_Opis")),
                  QStringLiteral("Średnica"));
    });
}

} // namespace
