// Attribute values: the checks and text forms of each type, the item values dialog on its working
// table, and the attribute picker.
#include "attributes_fixture.h"
#include "items/Ak_WWG.h"
#include "items/Tow_wlasn.h"
#include "items/Wlasnosci.h"
#include "store/attributevalues.h"
#include "ui/dbgrid.h"
#include <QLabel>
#include <QTableView>

using items::TEkr_Tow_Wlasnosci;
using store::ValueFault;

namespace {

// --- The checks and forms, below the dialogs
// ------------------------------------------------------

TEST(AttributeValueForms, TypeLettersAndWords) {
    EXPECT_EQ(store::attributeTypeWord("A"), QStringLiteral("alfanumer."));
    EXPECT_EQ(store::attributeTypeWord("S"), QStringLiteral("skojarz."));
    EXPECT_EQ(store::attributeTypeWord("X"), QString());
    EXPECT_EQ(store::attributeTypeLetter("data"), QStringLiteral("D"));
    EXPECT_EQ(store::attributeTypeIndex("D"), 3);
    EXPECT_EQ(store::attributeTypes()[3].entry, QStringLiteral("data      "));
}

TEST(AttributeValueForms, ValueListEntriesAreCheckedByTypeWordAndKeptAsTyped) {
    EXPECT_EQ(store::checkListValue("liczbowy", "12,5"), ValueFault::None);
    EXPECT_EQ(store::checkListValue("liczbowy", "-3"), ValueFault::None);
    EXPECT_EQ(store::checkListValue("liczbowy", "12.5"), ValueFault::NotNumber);
    EXPECT_EQ(store::checkListValue("liczbowy", "12,5,1"), ValueFault::NotNumber);
    EXPECT_EQ(store::checkListValue("logiczny", "T"), ValueFault::None);
    EXPECT_EQ(store::checkListValue("logiczny", "N"), ValueFault::None);
    EXPECT_EQ(store::checkListValue("logiczny", "t"), ValueFault::NotLogical);
    EXPECT_EQ(store::checkListValue("logiczny", "Tak"), ValueFault::NotLogical);
    EXPECT_EQ(store::checkListValue("data", "5-3-1999"), ValueFault::None);
    EXPECT_EQ(store::checkListValue("data", "31-02-1999"), ValueFault::NotDate);
    EXPECT_EQ(store::checkListValue("data", "05.03.1999"), ValueFault::NotDate);
    EXPECT_EQ(store::checkListValue("alfanumer.", "cokolwiek"), ValueFault::None);
    // The query builder hands over the letter: no word, no check.
    EXPECT_EQ(store::checkListValue("N", "abc"), ValueFault::None);
    EXPECT_EQ(store::valueFaultMessage(ValueFault::NotLogical),
              QStringLiteral("To nie jest wartość logiczna [\"T\" lub \"N\"] !"));
}

TEST(AttributeValueForms, ItemValuesAreCheckedAndTurnedBetweenShownAndStored) {
    EXPECT_EQ(store::checkItemValue("L", "t").shown, QStringLiteral("T"));
    EXPECT_EQ(store::checkItemValue("L", "Tak").fault, ValueFault::NotLogical);
    EXPECT_EQ(store::checkItemValue("D", "5-3-1999").shown, QStringLiteral("05-03-1999"));
    EXPECT_EQ(store::checkItemValue("D", "31-02-1999").fault, ValueFault::NotDate);
    EXPECT_EQ(store::checkItemValue("N", "12.5").fault, ValueFault::NotNumber);
    EXPECT_EQ(store::checkItemValue("N", "12,5").shown, QStringLiteral("12,5"));
    for (const char* letter : {"A", "N", "L", "D", "S"})
        EXPECT_EQ(store::checkItemValue(letter, "").fault, ValueFault::None) << letter;

    EXPECT_EQ(store::storedValue("N", "12,5"), QStringLiteral("12.5"));
    EXPECT_EQ(store::shownValue("N", "12.5"), QStringLiteral("12,5"));
    EXPECT_EQ(store::storedValue("D", "05-03-1999"), QStringLiteral("05.03.1999"));
    EXPECT_EQ(store::shownValue("D", "05.03.1999"), QStringLiteral("05-03-1999"));
    EXPECT_EQ(store::storedValue("A", "1,5-2"), QStringLiteral("1,5-2"));
    EXPECT_EQ(store::shownValue("S", "C:\\a.b-c"), QStringLiteral("C:\\a.b-c"));
}

// --- The item values dialog ---------------------------------------------------------------------

class ItemValuesTest : public attrtest::AttributeTest {
protected:
    ItemValuesTest() {
        number = addAttribute(QStringLiteral("Napięcie"), QStringLiteral("N"));
        yesNo = addAttribute(QStringLiteral("Ekranowany"), QStringLiteral("L"));
        date = addAttribute(QStringLiteral("Atest"), QStringLiteral("D"));
        text = addAttribute(QStringLiteral("Kolor"), QStringLiteral("A"));
        file = addAttribute(QStringLiteral("Karta"), QStringLiteral("S"));
        group = addGroup(QStringLiteral("Kable"));
        setTemplate(group, {number, yesNo, date, text, file});
        item = addItem(QStringLiteral("Przewód"), group);
        makeCurrent(item);
    }

    void run(const std::function<void(TEkr_Tow_Wlasnosci&)>& play) {
        runner.on<TEkr_Tow_Wlasnosci>(play);
        TEkr_Tow_Wlasnosci dialog(st);
        ui::modalRunner().run(dialog);
    }
    static QStringList values(TEkr_Tow_Wlasnosci& d) {
        QStringList out;
        for (int row = 0; row < d.lineCount(); ++row)
            out << d.line(row)[2];
        return out;
    }

    int number, yesNo, date, text, file, group, item;
};

TEST_F(ItemValuesTest, StoredValuesAreShownInTheirTypedFormAndSavedBack) {
    addValue(item, number, QStringLiteral("12.5"));
    addValue(item, date, QStringLiteral("05.03.1999"));
    run([&](TEkr_Tow_Wlasnosci& d) {
        ASSERT_EQ(d.lineCount(), 5);
        EXPECT_EQ(d.line(0), (QStringList{"Napięcie", "liczbowy", "12,5"}));
        EXPECT_EQ(d.line(2), (QStringList{"Atest", "data", "05-03-1999"}));
        EXPECT_EQ(d.line(4)[1], QStringLiteral("skojarz."));
        EXPECT_FALSE(d.changed());

        EXPECT_FALSE(d.storeLine(0, QStringLiteral("12.5")));
        EXPECT_EQ(messages.last().text, QStringLiteral("Wprowadzona dana nie jest liczbą !"));
        EXPECT_FALSE(d.storeLine(1, QStringLiteral("Tak")));
        EXPECT_FALSE(d.storeLine(2, QStringLiteral("31-02-1999")));
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Niepoprawnie wprowadzona data [dd-mm-rrrr]"));
        EXPECT_EQ(values(d), (QStringList{"12,5", "", "05-03-1999", "", ""}));

        EXPECT_TRUE(d.storeLine(0, QStringLiteral("7,25")));
        EXPECT_TRUE(d.storeLine(1, QStringLiteral("t")));
        EXPECT_TRUE(d.storeLine(2, QStringLiteral("5-3-2001")));
        EXPECT_TRUE(d.storeLine(3, QStringLiteral("czerwony")));
        EXPECT_EQ(values(d), (QStringList{"7,25", "T", "05-03-2001", "czerwony", ""}));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedValues(item),
              (QList<QPair<int, QString>>{
                  {number, "7.25"}, {yesNo, "T"}, {date, "05.03.2001"}, {text, "czerwony"}}));
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(ItemValuesTest, TypingIntoTheGridStoresTheLineWithItsCheck) {
    run([&](TEkr_Tow_Wlasnosci& d) {
        auto* grid = child<QTableView>(d, "DBGrid_Wlasnosci");
        auto* model = grid->model();
        EXPECT_FALSE(model->flags(model->index(0, 0)) & Qt::ItemIsEditable);
        EXPECT_TRUE(model->setData(model->index(1, 2), QStringLiteral("n"), Qt::EditRole));
        EXPECT_FALSE(model->setData(model->index(0, 2), QStringLiteral("1.5"), Qt::EditRole));
        EXPECT_EQ(values(d), (QStringList{"", "N", "", "", ""}));
        EXPECT_TRUE(d.changed());
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{yesNo, "N"}}));
}

TEST_F(ItemValuesTest, AClearedValueRemovesItsRowAndValuesOutsideTheTemplateGo) {
    const int gone = addAttribute(QStringLiteral("Stara"), QStringLiteral("A"));
    addValue(item, gone, QStringLiteral("zostaje w Opis"));
    addValue(item, text, QStringLiteral("zielony"));
    addValue(item, text, QStringLiteral("niebieski")); // a later row of one attribute wins
    addValue(item, yesNo, QStringLiteral("T"));
    const int another = addItem(QStringLiteral("Inny"), group);
    addValue(another, text, QStringLiteral("biały"));
    run([&](TEkr_Tow_Wlasnosci& d) {
        EXPECT_EQ(values(d), (QStringList{"", "T", "", "niebieski", ""}));
        EXPECT_TRUE(d.storeLine(1, QString()));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{text, "niebieski"}}));
    EXPECT_EQ(storedValues(another), (QList<QPair<int, QString>>{{text, "biały"}}));
}

TEST_F(ItemValuesTest, AnItemOfAGroupWithoutTemplateShowsNothingAndSavingEmptiesIt) {
    const int bare = addGroup(QStringLiteral("Bez szablonu"));
    const int lone = addItem(QStringLiteral("Samotny"), bare);
    addValue(lone, text, QStringLiteral("x"));
    makeCurrent(lone);
    run([&](TEkr_Tow_Wlasnosci& d) {
        EXPECT_EQ(d.lineCount(), 0);
        EXPECT_FALSE(child<QPushButton>(d, "BB_Wartosci")->isEnabled());
        click(d, "BB_Zapisz");
    });
    EXPECT_TRUE(storedValues(lone).isEmpty());
}

TEST_F(ItemValuesTest, TheDialogStaysWithTheItemItWasOpenedFor) {
    const int second = addItem(QStringLiteral("Drugi"), group);
    run([&](TEkr_Tow_Wlasnosci& d) {
        EXPECT_EQ(child<QLabel>(d, "Label_Obiekt")->text(), QStringLiteral("Przewód"));
        EXPECT_EQ(child<QLabel>(d, "Label_Grupa")->text(), QStringLiteral("Kable"));
        makeCurrent(second); // the main window moves on meanwhile
        d.storeLine(3, QStringLiteral("żółty"));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{text, "żółty"}}));
    EXPECT_TRUE(storedValues(second).isEmpty());
}

TEST_F(ItemValuesTest, ValuesArePickedFromTheValueListOrForDocumentsFromAFile) {
    runner.on(QStringLiteral("TEkr_Wartosci"), [&](QDialog&) {
        EXPECT_EQ(st.ValuePickMode, QStringLiteral("Wyszukiwanie"));
        EXPECT_EQ(st.AttributeNr, date);
        EXPECT_EQ(st.AttributeName, QStringLiteral("Atest"));
        EXPECT_EQ(st.AttributeTypeText, QStringLiteral("data"));
        st.PickedValue = QStringLiteral("1-12-2020");
    });
    runner.on(QStringLiteral("TEkr_Wartosci")); // closed without a choice
    const QString path = QStringLiteral("/srv/dokumenty/karty/przewod.pdf");
    files.answers << path << QString(u'/' + QString(100, u'x'));
    run([&](TEkr_Tow_Wlasnosci& d) {
        auto* grid = child<QTableView>(d, "DBGrid_Wlasnosci");
        grid->setCurrentIndex(grid->model()->index(2, 2));
        click(d, "BB_Wartosci");
        EXPECT_EQ(d.line(2)[2], QStringLiteral("01-12-2020"));
        click(d, "BB_Wartosci");
        EXPECT_EQ(d.line(2)[2], QStringLiteral("01-12-2020"));
        EXPECT_TRUE(st.ValuePickMode.isEmpty());

        grid->setCurrentIndex(grid->model()->index(4, 2));
        click(d, "BB_Wartosci");
        EXPECT_EQ(d.line(4)[2], path);
        messages.clear();
        click(d, "BB_Wartosci"); // a path the field cannot hold
        ASSERT_EQ(messages.count(), 1);
        EXPECT_TRUE(messages.last().text.endsWith(QStringLiteral("Zapis nie jest możliwy !")));
        EXPECT_EQ(d.line(4)[2], path);
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{date, "01.12.2020"}, {file, path}}));
}

TEST_F(ItemValuesTest, ClosingAsksAboutChangesAndAnulujWritesNothing) {
    addValue(item, text, QStringLiteral("szary"));
    run([&](TEkr_Tow_Wlasnosci& d) {
        d.storeLine(3, QStringLiteral("czarny"));
        click(d, "BB_Anuluj");
    });
    EXPECT_EQ(messages.count(), 0);
    messages.answerNo();
    run([&](TEkr_Tow_Wlasnosci& d) {
        d.storeLine(3, QStringLiteral("czarny"));
        click(d, "BB_Powrot");
    });
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany ?"));
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{text, "szary"}}));
    messages.answerYes();
    run([&](TEkr_Tow_Wlasnosci& d) {
        d.storeLine(3, QStringLiteral("czarny"));
        d.reject();
    });
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{text, "czarny"}}));
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(ItemValuesTest, AFailedSaveKeepsTheValuesAndTheWorkingTableGoesOnClosing) {
    run([&](TEkr_Tow_Wlasnosci& d) {
        d.storeLine(3, QStringLiteral("czarny"));
        engine::Database::open(cat())->dropTable(QStringLiteral("Opis"));
        click(d, "BB_Zapisz");
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(messages.last().kind, ui::Message::Kind::Error);
        EXPECT_EQ(d.line(3)[2], QStringLiteral("czarny"));
        EXPECT_EQ(workTables(), QStringList{d.workTableName()});
        click(d, "BB_Anuluj");
    });
    EXPECT_TRUE(workTables().isEmpty());
}

TEST_F(ItemValuesTest, TheTemplateDialogInBetweenBringsItsLines) {
    const int extra = addAttribute(QStringLiteral("Średnica"), QStringLiteral("N"));
    messages.answerNo();
    runner.on<items::TAktualizacja_WWG>([&](items::TAktualizacja_WWG& t) {
        EXPECT_EQ(st.TemplateGroupNr, group);
        EXPECT_EQ(st.TemplateGroupName, QStringLiteral("Kable"));
        child<QLineEdit>(t, "Szukaj_Cecha")->setText(QStringLiteral("Średnica"));
        click(t, "BB_Dodaj");
        click(t, "BB_Zapisz");
    });
    run([&](TEkr_Tow_Wlasnosci& d) {
        d.storeLine(3, QStringLiteral("czarny")); // dropped: not saved before the template
        click(d, "BB_Wlasnosci");
        ASSERT_EQ(d.lineCount(), 6);
        EXPECT_EQ(d.line(5)[0], QStringLiteral("Średnica"));
        EXPECT_EQ(values(d), (QStringList{"", "", "", "", "", ""}));
        EXPECT_EQ(workTables(), QStringList{d.workTableName()});
        d.storeLine(5, QStringLiteral("2,5"));
        click(d, "BB_Zapisz");
    });
    EXPECT_EQ(storedValues(item), (QList<QPair<int, QString>>{{extra, "2.5"}}));
    EXPECT_TRUE(workTables().isEmpty());
}

// --- The attribute picker
// -------------------------------------------------------------------------

class PickerTest : public attrtest::AttributeTest {};

TEST_F(PickerTest, OffersTheAttributesOfTemplatesAndHandsBackTheTypeLetter) {
    const int a = addAttribute(QStringLiteral("Napięcie"), QStringLiteral("N"));
    const int b = addAttribute(QStringLiteral("Kolor"), QStringLiteral("A"));
    addAttribute(QStringLiteral("Nieużywana"), QStringLiteral("L"));
    const int g1 = addGroup(QStringLiteral("Kable"));
    const int g2 = addGroup(QStringLiteral("Wtyki"));
    const int g3 = addGroup(QStringLiteral("Puste"));
    setTemplate(g1, {a, b});
    setTemplate(g2, {a});

    auto names = [](QDialog& d) {
        auto* model = child<ui::DbGrid>(d, "DBGrid_Wlasnosci")->gridModel();
        QStringList out;
        if (model->rowCount() > 0) model->ensureRows(0, model->rowCount() - 1);
        for (int row = 0; row < model->rowCount(); ++row)
            out << model->data(model->index(row, 0)).toString() + u'/' +
                       model->data(model->index(row, 1)).toString();
        out.sort();
        return out;
    };
    st.AttributeNr = 77;
    st.TemplateGroupNr = -1;
    runner.on<items::TEkr_Wlasnosci>([&](items::TEkr_Wlasnosci& d) {
        EXPECT_EQ(st.AttributeNr, 0);
        EXPECT_EQ(names(d), (QStringList{"Kolor/alfanumer.", "Napięcie/liczbowy"}));
        click(d, "BB_Powrot");
    });
    {
        items::TEkr_Wlasnosci d(st);
        ui::modalRunner().run(d);
    }
    EXPECT_EQ(st.AttributeNr, 0);

    st.TemplateGroupNr = g2;
    runner.on<items::TEkr_Wlasnosci>([&](items::TEkr_Wlasnosci& d) {
        EXPECT_EQ(names(d), QStringList{"Napięcie/liczbowy"});
        click(d, "BB_Wybierz");
    });
    {
        items::TEkr_Wlasnosci d(st);
        ui::modalRunner().run(d);
    }
    EXPECT_EQ(st.AttributeNr, a);
    EXPECT_EQ(st.AttributeName, QStringLiteral("Napięcie"));
    EXPECT_EQ(st.AttributeTypeText, QStringLiteral("N"));

    st.TemplateGroupNr = g3;
    runner.on<items::TEkr_Wlasnosci>([&](items::TEkr_Wlasnosci& d) {
        EXPECT_TRUE(child<QPushButton>(d, "BB_Wybierz")->isHidden());
    });
    items::TEkr_Wlasnosci d(st);
    ui::modalRunner().run(d);
}

} // namespace
