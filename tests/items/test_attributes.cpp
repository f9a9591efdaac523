// The attributes dialog and the value list of an attribute: types, checks, deletion, picking.
#include "engine/table.h"
#include "items/Ak_wlasn.h"
#include "items/Wartosci.h"
#include "store/catalogue_schema.h"
#include "store/mainstate.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include "ui/cataloguetest.h"
#include "ui/dbgrid.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using items::TEkr_Aktualizacja_Wlasnosci;
using items::TEkr_Wartosci;
using Mode = ui::ListDialog::Mode;

const QString kIncomplete =
    QStringLiteral("Wprowadzone dane nie są kompletne. Zapis nie jest możliwy !");
const QString kTypeQuestion = QStringLiteral(
    "Typ uległ zmianie! Może to spowodować niepoprawne wyszukiwanie w trakcie wykonywania "
    "zapytania oraz podczas edycji własności obiektu.  Zapisać wprowadzone zmiany ?");

class AttributesTest : public CatalogueDialogTest {
protected:
    int addAttribute(const QString& name, const QString& letter) {
        return testsupport::addRow(
            folder, QStringLiteral("Cecha"),
            {{QStringLiteral("Cecha_Opis"), name}, {QStringLiteral("Cecha_Typ"), letter}},
            QStringLiteral("Cecha_Nr"));
    }
    // name -> type letter, in name order
    QMap<QString, QString> storedAttributes() {
        engine::Table t(folder, QStringLiteral("Cecha"));
        t.open();
        QMap<QString, QString> out;
        t.forEachRow([&] {
            out.insert(t.asString(QStringLiteral("Cecha_Opis")),
                       t.asString(QStringLiteral("Cecha_Typ")));
        });
        return out;
    }
    void addValue(int attribute, const QString& value) {
        testsupport::addRow(folder, QStringLiteral("Wartosci"),
                            {{QStringLiteral("Wartosci_Cecha_Nr"), attribute},
                             {QStringLiteral("Wartosci_Wartosc"), value}});
    }
    QStringList storedValues(int attribute) {
        engine::Table t(folder, QStringLiteral("Wartosci"));
        t.setIndexFieldNames(QStringLiteral("Wartosci_Wartosc"));
        t.open();
        QStringList out;
        t.forEachRow([&] {
            if (t.asInteger(QStringLiteral("Wartosci_Cecha_Nr")) == attribute)
                out << t.asString(QStringLiteral("Wartosci_Wartosc"));
        });
        return out;
    }

    template <class D> std::unique_ptr<D> open() { return showActive<D>(state); }
    // The value list of an attribute as the attributes dialog hands it over.
    std::unique_ptr<TEkr_Wartosci> openValues(int attribute, const QString& typeWord) {
        state.AttributeNr = attribute;
        state.AttributeName = QStringLiteral("Cecha %1").arg(attribute);
        state.AttributeTypeText = typeWord;
        return open<TEkr_Wartosci>();
    }

    template <class W = QWidget> static W* child(QWidget* d, const char* name) {
        return d->findChild<W*>(QLatin1String(name));
    }
    static void retype(QLineEdit* e, const QString& text) {
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        typeText(e, text);
    }
};

// --- Attributes dialog ---------------------------------------------------------------------------

TEST_F(AttributesTest, AddingChoosesTheTypeFromTheListAndShowsItsWord) {
    addAttribute(QStringLiteral("Stary"), QStringLiteral("X")); // no known type
    auto d = open<TEkr_Aktualizacja_Wlasnosci>();
    EXPECT_EQ(d->windowTitle(), "Własności");
    EXPECT_EQ(d->table().asString(QStringLiteral("Cecha_Typ_Slowo")), "");

    auto* combo = child<QComboBox>(d.get(), "Combo_Typ");
    const QStringList entries = {"alfanumeryczny", "liczbowy", "logiczny", "data      ",
                                 "skojarzenowy"};
    ASSERT_EQ(combo->count(), entries.size());
    for (int i = 0; i < combo->count(); ++i)
        EXPECT_EQ(combo->itemText(i), entries[i]);

    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), "Dodawanie nowej własności");
    EXPECT_EQ(combo->currentIndex(), -1) << "no type chosen at start";
    auto* name = child<QLineEdit>(d.get(), "Edit_Wlasnosc");
    EXPECT_EQ(name->maxLength(), 30);
    typeText(name, "Napięcie");

    // Without a type: refused, focus back to the name.
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, kIncomplete);
    EXPECT_TRUE(name->hasFocus());
    EXPECT_EQ(d->mode(), Mode::Adding);

    // Down from the name into the type list, two entries down, Enter saves.
    QTest::keyClick(name, Qt::Key_Down);
    ASSERT_TRUE(combo->hasFocus());
    QTest::keyClick(combo, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(combo->currentText(), "liczbowy");
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(storedAttributes().value("Napięcie"), "N");
    EXPECT_EQ(d->table().asString(QStringLiteral("Cecha_Opis")), "Napięcie");
    EXPECT_EQ(d->table().asString(QStringLiteral("Cecha_Typ_Slowo")), "liczbowy");

    // Without a name: refused as well.
    click(*d, "BB_Dodaj");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, kIncomplete);
    EXPECT_TRUE(name->hasFocus());
}

TEST_F(AttributesTest, TypeChangeAnsweredNoKeepsNameAndType) {
    addAttribute(QStringLiteral("Napięcie"), QStringLiteral("N"));
    auto d = open<TEkr_Aktualizacja_Wlasnosci>();
    auto* name = child<QLineEdit>(d.get(), "Edit_Wlasnosc");
    auto* combo = child<QComboBox>(d.get(), "Combo_Typ");

    click(*d, "BB_Popraw");
    EXPECT_EQ(d->editPanel()->title(), "Edycja własności");
    EXPECT_EQ(combo->currentText(), "liczbowy");
    retype(name, "Napięcie znamionowe");
    QTest::keyClick(name, Qt::Key_Down);
    QTest::keyClick(combo, Qt::Key_Up); // to "alfanumeryczny", staying in the list
    EXPECT_TRUE(combo->hasFocus());
    EXPECT_EQ(combo->currentText(), "alfanumeryczny");
    QTest::keyClick(combo, Qt::Key_Up); // from the first entry back to the name
    EXPECT_TRUE(name->hasFocus());

    messages.answerNo();
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, kTypeQuestion);
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(d->mode(), Mode::Browse) << "No abandons the whole change";
    EXPECT_EQ(storedAttributes(), (QMap<QString, QString>{{"Napięcie", "N"}}));

    // Yes saves both.
    click(*d, "BB_Popraw");
    retype(name, "Opis");
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Up);
    messages.answerYes();
    click(*d, "BB_Zapisz");
    EXPECT_EQ(storedAttributes(), (QMap<QString, QString>{{"Opis", "A"}}));

    // A rename alone asks nothing.
    const int before = messages.count();
    click(*d, "BB_Popraw");
    retype(name, "Uwagi");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.count(), before);
    EXPECT_EQ(storedAttributes(), (QMap<QString, QString>{{"Uwagi", "A"}}));
}

TEST_F(AttributesTest, DeletionRefusedWhileItemsOrTemplatesUseTheAttribute) {
    const int used = addAttribute(QStringLiteral("Kolor"), QStringLiteral("A"));
    const int inTemplate = addAttribute(QStringLiteral("Masa"), QStringLiteral("N"));
    const int free = addAttribute(QStringLiteral("Średnica"), QStringLiteral("N"));
    testsupport::addRow(folder, QStringLiteral("Opis"),
                        {{"Opis_Tow_Nr", 7}, {"Opis_Cecha_Nr", used}, {"Opis_Opis", "czarny"}});
    testsupport::addRow(folder, QStringLiteral("Grupa"), {{"Grupa_Nazwa", "Śruby"}});
    testsupport::addRow(
        folder, QStringLiteral("Szablon"),
        {{"Szablon_Grupa_Nr", 1}, {"Szablon_Znaczenie", 1}, {"Szablon_Cecha_Nr", inTemplate}});
    addValue(free, QStringLiteral("10"));
    auto d = open<TEkr_Aktualizacja_Wlasnosci>();

    // The question first, No by default; No keeps the row.
    messages.answerNo();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.last().text, "Czy na pewno chcesz usunąć zaznaczoną pozycję ?");
    EXPECT_EQ(messages.last().defaultButton, ui::Button::No);
    EXPECT_EQ(storedAttributes().size(), 3);

    d->searchBox()->setText(QStringLiteral("Kolor"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.last().text, "Ta własność jest używana przez inne bazy !");
    EXPECT_TRUE(storedAttributes().contains("Kolor"));

    d->searchBox()->setText(QStringLiteral("Masa"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.last().text,
              "Ta własność należy do szablonu grupy \"Śruby\" !\nUsunięcie nie jest możliwe !");
    EXPECT_TRUE(storedAttributes().contains("Masa"));

    d->searchBox()->setText(QStringLiteral("Ś"));
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(storedAttributes().keys(), QStringList({"Kolor", "Masa"}));
    EXPECT_EQ(storedValues(free), QStringList({"10"})) << "its value list is left alone";
}

TEST_F(AttributesTest, ValuesButtonHandsTheAttributeToTheValueList) {
    addAttribute(QStringLiteral("Instrukcja"), QStringLiteral("S"));
    const int nr = addAttribute(QStringLiteral("Zgodny"), QStringLiteral("L"));
    state.ValuePickMode = QStringLiteral("Wyszukiwanie"); // left over from elsewhere
    auto d = open<TEkr_Aktualizacja_Wlasnosci>();
    auto* values = child<QPushButton>(d.get(), "BB_Wartosci");
    EXPECT_EQ(values->toolTip(), "Wartości bieżącej własności");

    // A document attribute has no values: the message and nothing opens.
    values->click();
    EXPECT_EQ(messages.last().text, "Własność typu skojarzeniowego nie posiada wartości !");
    EXPECT_TRUE(runner.opened().isEmpty());

    d->searchBox()->setText(QStringLiteral("Z"));
    runner.on<TEkr_Wartosci>([&](TEkr_Wartosci& v) {
        EXPECT_FALSE(v.picking());
        EXPECT_EQ(child<QLabel>(&v, "Label_Wlasnosc")->text(), "Zgodny");
        EXPECT_EQ(child<QLabel>(&v, "Label_Typ")->text(), "logiczny");
    });
    values->click();
    EXPECT_EQ(state.AttributeNr, nr);
    EXPECT_EQ(state.AttributeName, "Zgodny");
    EXPECT_EQ(state.AttributeTypeText, "logiczny");
    EXPECT_TRUE(d->searchBox()->hasFocus());

    // A read-only user may look at the values too, but edits nothing.
    d->close();
    state.RightsLevel = 1;
    auto ro = open<TEkr_Aktualizacja_Wlasnosci>();
    EXPECT_TRUE(child<QPushButton>(ro.get(), "BB_Wartosci")->isVisible());
    EXPECT_FALSE(child<QPushButton>(ro.get(), "BB_Dodaj")->isVisible());
}

// --- Value list ----------------------------------------------------------------------------------

TEST_F(AttributesTest, ValueListShowsAndAddsOnlyTheAttributesValues) {
    const int nr = addAttribute(QStringLiteral("Kolor"), QStringLiteral("A"));
    const int other = addAttribute(QStringLiteral("Masa"), QStringLiteral("N"));
    addValue(other, QStringLiteral("12"));
    addValue(nr, QStringLiteral("zielony"));
    auto d = openValues(nr, QStringLiteral("alfanumer."));
    EXPECT_EQ(d->windowTitle(), "Wartości");
    EXPECT_EQ(child<QGroupBox>(d.get(), "GroupBox_Wlasnosc")->title(), " Własność: ");
    EXPECT_EQ(d->table().recordCount(), 1);

    click(*d, "BB_Dodaj");
    EXPECT_EQ(d->editPanel()->title(), " Dodawanie nowej wartości ");
    auto* value = child<QLineEdit>(d.get(), "Edit_Wartosc");
    EXPECT_EQ(value->maxLength(), 100);
    click(*d, "BB_Zapisz");
    EXPECT_EQ(messages.last().text, "Nie wprowadzona wartość. Zapis nie jest możliwy !");
    EXPECT_TRUE(value->hasFocus());

    // Leaving the box does not give up what is typed.
    typeText(value, "czarny");
    d->searchBox()->setFocus();
    EXPECT_EQ(d->mode(), Mode::Adding);
    value->setFocus();
    QTest::keyClick(value, Qt::Key_Return);
    EXPECT_EQ(d->mode(), Mode::Browse);
    EXPECT_EQ(storedValues(nr), QStringList({"czarny", "zielony"}));
    EXPECT_EQ(storedValues(other), QStringList({"12"}));
    EXPECT_EQ(d->table().recordCount(), 2);
    EXPECT_EQ(d->table().asString(QStringLiteral("Wartosci_Wartosc")), "czarny");

    // Outside picking a double-click changes nothing.
    Q_EMIT d->list()->rowDoubleClicked();
    EXPECT_EQ(d->mode(), Mode::Browse);

    // Deleted after the question, without further checks.
    messages.answerYes();
    click(*d, "BB_Usun");
    EXPECT_EQ(messages.last().text, "Czy na pewno chcesz usunąć zaznaczoną pozycję ?");
    EXPECT_EQ(storedValues(nr), QStringList({"zielony"}));
}

TEST_F(AttributesTest, ValueChecksByType) {
    struct Case {
        const char* word;
        QStringList refused;
        QStringList accepted; // stored exactly as typed
        QString message;
    };
    const QList<Case> cases = {
        {"liczbowy",
         {"12.5", "abc", "1,2,3"},
         {"12,5", "-3", "7"},
         QStringLiteral("Wprowadzona dana nie jest liczbą !")},
        {"logiczny",
         {"t", "Tak", "TN", "n"},
         {"T", "N"},
         QStringLiteral("To nie jest wartość logiczna [\"T\" lub \"N\"] !")},
        {"data",
         {"31-02-1999", "5.3.1999", "1999-03-05", "5-13-1999"},
         {"5-3-1999", "29-02-2000"},
         QStringLiteral("Niepoprawnie wprowadzona data [dd-mm-rrrr]")},
        {"alfanumer.", {}, {"12.5", "Tak", "31-02-1999"}, {}},
    };
    int nr = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.word);
        ++nr;
        auto d = openValues(nr, QString::fromLatin1(c.word));
        auto* value = child<QLineEdit>(d.get(), "Edit_Wartosc");
        for (const QString& text : c.refused) {
            SCOPED_TRACE(text.toStdString());
            click(*d, "BB_Dodaj");
            typeText(value, text);
            click(*d, "BB_Zapisz");
            EXPECT_EQ(messages.last().text, c.message);
            EXPECT_EQ(value->text(), "") << "the box gets back its value from before: none";
            EXPECT_EQ(d->mode(), Mode::Adding);
            click(*d, "BB_Anuluj");
        }
        for (const QString& text : c.accepted) {
            click(*d, "BB_Dodaj");
            typeText(value, text);
            click(*d, "BB_Zapisz");
            EXPECT_EQ(d->mode(), Mode::Browse) << text.toStdString();
        }
        QStringList stored = storedValues(nr), expected = c.accepted;
        stored.sort();
        expected.sort();
        EXPECT_EQ(stored, expected);
        d->close();
    }

    // Changing: a refused value puts back the value the change began with.
    auto d = openValues(1, QStringLiteral("liczbowy"));
    d->searchBox()->setText(QStringLiteral("7"));
    click(*d, "BB_Popraw");
    EXPECT_EQ(d->editPanel()->title(), " Edycja wartości");
    auto* value = child<QLineEdit>(d.get(), "Edit_Wartosc");
    retype(value, "7.5");
    click(*d, "BB_Zapisz");
    EXPECT_EQ(value->text(), "7");
    retype(value, "7,5");
    click(*d, "BB_Zapisz");
    EXPECT_TRUE(storedValues(1).contains("7,5"));
    EXPECT_FALSE(storedValues(1).contains("7"));
}

TEST_F(AttributesTest, PickingAValue) {
    const int nr = addAttribute(QStringLiteral("Kolor"), QStringLiteral("A"));
    for (const char* v : {"biały", "czarny", "zielony"})
        addValue(nr, QString::fromUtf8(v));
    state.ValuePickMode = QStringLiteral("Wyszukiwanie");
    state.PickSearchText = QStringLiteral("cz");
    state.PickedValue = QStringLiteral("stara");
    auto d = openValues(nr, QStringLiteral("alfanumer."));
    EXPECT_TRUE(state.PickedValue.isEmpty()) << "emptied at opening";
    EXPECT_TRUE(child<QPushButton>(d.get(), "BB_Wybierz")->isVisible());
    EXPECT_EQ(d->searchBox()->text(), "cz");
    QTest::keyClick(d->searchBox(), Qt::Key_Return);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(state.PickedValue, "czarny");
    EXPECT_TRUE(state.ValuePickMode.isEmpty());

    // Powrót picks nothing.
    state.ValuePickMode = QStringLiteral("Wyszukiwanie");
    auto again = openValues(nr, QStringLiteral("alfanumer."));
    click(*again, "BB_Powrot");
    EXPECT_TRUE(state.PickedValue.isEmpty());
    EXPECT_TRUE(state.ValuePickMode.isEmpty());

    // A read-only user picks by double-click as well.
    state.RightsLevel = 1;
    state.ValuePickMode = QStringLiteral("Wyszukiwanie");
    state.PickSearchText = QStringLiteral("z");
    auto ro = openValues(nr, QStringLiteral("alfanumer."));
    Q_EMIT ro->list()->rowDoubleClicked();
    EXPECT_FALSE(ro->isVisible());
    EXPECT_EQ(state.PickedValue, "zielony");
}

} // namespace
