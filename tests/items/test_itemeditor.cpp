// The item editor: the three modes and what each writes, the group and producer lookups, the
// layout under the display configuration, the keys, the checks on saving, the following screens
// and the closing question; and the main window's item commands leading to it.
#include "items/Ak_towar.h"
#include "items/itemformlayout.h"
#include "items/itemrecords.h"
#include "shell/fixture.h"
#include "support/rows.h"
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <initializer_list>
#include <utility>

using namespace shelltest;
using items::ItemField;
using items::TEkr_Aktualizacja_Towar;
using testsupport::addRow;

namespace {

// Keys as the keyboard sends them, Polish letters included.
void typeInto(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &down);
    }
}
void press(QWidget* w, int key) {
    QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}
void retype(QLineEdit* e, const QString& text) {
    e->setFocus();
    e->selectAll();
    press(e, Qt::Key_Backspace);
    typeInto(e, text);
}
void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// The thirteen columns the editor writes.
const QStringList kEditorColumns{"Tow_Nazwa",        "Tow_Nazwa2",   "Tow_Symbol", "Tow_Grupa_Nr",
                                 "Tow_Nr_Producent", "Tow_Kod_Prod", "Tow_Ilosc",  "Tow_VAT",
                                 "Tow_jm",           "Tow_SRP",      "Tow_Cena_A", "Tow_Cena_B",
                                 "Tow_Cena_C"};

class ItemEditorTest : public ShellTest {
protected:
    void SetUp() override {
        makeMainFolder();
        st.MainFolder = main + u'/';
        st.TempFolder = main + QStringLiteral("/TMP");
        st.CurrentCatalogueFolder = catalogue;
        auto& d = st.Display;
        d.headerName1 = QStringLiteral("Pole 1");
        d.headerName2 = QStringLiteral("Pole 2");
        d.headerSymbol = QStringLiteral("Pole 3");
        d.headerProducer = QStringLiteral("Firma");
        d.headerProducerCode = QStringLiteral("Pole 4");
        d.panelBasic = d.panelProducer = d.panelQuantity = d.panelPrices = d.panelVisible = true;
        for (const char* g : {"Łożyska", "Sprężyny", "Śruby", "Wkręty"})
            groups[QString::fromUtf8(g)] =
                addRow(catalogue, "Grupa", {{"Grupa_Nazwa", QString::fromUtf8(g)}}, "Grupa_Nr");
        for (const char* c : {"Bosch", "SKF"})
            companies[QLatin1String(c)] =
                addRow(catalogue, "Firmy", {{"Firma_Skrot", QLatin1String(c)}}, "Firma_Nr");
        st.TFTowar.setDatabaseName(catalogue);
        st.TFTowar.setIndexFieldNames(QStringLiteral("Tow_Nazwa"));
    }

    // An item with every column the editor shows, and some it never touches.
    int addFullItem(const QString& name = QStringLiteral("Łożysko kulkowe"), double vat = 17) {
        return addRow(catalogue, "Towar",
                      {{"Tow_Nazwa", name},
                       {"Tow_Nazwa2", "6204"},
                       {"Tow_Symbol", "LK-6204"},
                       {"Tow_Grupa_Nr", groups.value(QStringLiteral("Łożyska"))},
                       {"Tow_Nr_Producent", companies.value(QStringLiteral("SKF"))},
                       {"Tow_Kod_Prod", "6204-2RS"},
                       {"Tow_Ilosc", 12.5},
                       {"Tow_jm", "szt"},
                       {"Tow_VAT", vat},
                       {"Tow_SRP", 10.25},
                       {"Tow_Cena_A", 9.5},
                       {"Tow_Cena_B", 9},
                       {"Tow_Cena_C", 8.75},
                       {"Tow_Uwagi", "notatka"},
                       {"Tow_SWW", "123"},
                       {"Tow_VAT_Nr", 3},
                       {"Tow_Cena_Zakupu", 5}},
                      "Tow_nr");
    }

    // The editor opened as the item list opens it, on the item the list stands on.
    std::unique_ptr<TEkr_Aktualizacja_Towar> openEditor(const char* mode, int onItem = 0) {
        if (!st.TFTowar.isOpen()) st.TFTowar.open();
        st.TFTowar.refresh();
        if (onItem) st.TFTowar.gotoRowId(onItem);
        st.ItemEditMode = QLatin1String(mode);
        auto dlg = std::make_unique<TEkr_Aktualizacja_Towar>(st);
        dlg->show();
        dlg->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dlg.get()));
        settle();
        return dlg;
    }

    static QLineEdit* edit(QWidget* dlg, const char* name) {
        auto* e = dlg->findChild<QLineEdit*>(QLatin1String(name));
        EXPECT_NE(e, nullptr) << name;
        return e;
    }
    static QPushButton* button(QWidget* dlg, const char* name) {
        return dlg->findChild<QPushButton*>(QLatin1String(name));
    }

    int itemCount() {
        engine::Table t(catalogue, QStringLiteral("Towar"));
        t.open();
        return t.recordCount();
    }
    // One item's row, read afresh.
    std::unique_ptr<engine::Table> item(int nr) {
        auto t = std::make_unique<engine::Table>(catalogue, QStringLiteral("Towar"));
        t->open();
        EXPECT_TRUE(t->findKey({nr})) << nr;
        return t;
    }
    int lastItemNr() {
        engine::Table t(catalogue, QStringLiteral("Towar"));
        t.open();
        t.last();
        return t.asInteger(QStringLiteral("Tow_nr"));
    }

    // A new item with its group chosen by Enter and its name typed.
    std::unique_ptr<TEkr_Aktualizacja_Towar> newItemTyped() {
        auto dlg = openEditor("Nowy");
        typeInto(edit(dlg.get(), "Edit_Grupa"), QStringLiteral("Śruby"));
        press(edit(dlg.get(), "Edit_Grupa"), Qt::Key_Return);
        typeInto(edit(dlg.get(), "Edit_Towar"), QStringLiteral("M8x20"));
        settle();
        return dlg;
    }

    store::MainState st;
    QHash<QString, int> groups, companies;
};

TEST_F(ItemEditorTest, CloneCopiesTheThirteenFieldsAndNothingElse) {
    const int source = addFullItem();
    addRow(catalogue, "Opis", {{"Opis_Tow_Nr", source}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "x"}},
           "Opis_Nr");
    auto dlg = openEditor("Klonuj", source);
    auto* w = dlg.get();
    EXPECT_EQ(edit(w, "Edit_Grupa")->text(), QStringLiteral("Łożyska"));
    EXPECT_EQ(edit(w, "Edit_Producent")->text(), QStringLiteral("SKF"));
    EXPECT_EQ(edit(w, "Edit_Ilosc")->text(), QStringLiteral("12,5"));
    EXPECT_EQ(edit(w, "Edit_Cena_C")->text(), QStringLiteral("8,75"));
    EXPECT_EQ(w->findChild<QComboBox*>(QStringLiteral("Combo_VAT"))->currentText(),
              QStringLiteral("17"));
    EXPECT_FALSE(dlg->stored());
    EXPECT_FALSE(dlg->changed());

    button(w, "BB_Zapisz")->click();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(messages.count(), 0);
    ASSERT_EQ(itemCount(), 2);
    const int clone = lastItemNr();
    EXPECT_NE(clone, source);
    auto a = item(source);
    auto b = item(clone);
    for (const QString& c : kEditorColumns)
        EXPECT_EQ(b->value(c), a->value(c)) << c.toStdString();
    for (const char* c : {"Tow_Uwagi", "Tow_SWW", "Tow_VAT_Nr", "Tow_Cena_Zakupu"})
        EXPECT_TRUE(b->isNull(QLatin1String(c))) << c;
    engine::Table opis(catalogue, QStringLiteral("Opis"));
    opis.open();
    EXPECT_EQ(opis.recordCount(), 1); // the source's only
    // The item list stands on the new item.
    EXPECT_EQ(st.TFTowar.asInteger(QStringLiteral("Tow_nr")), clone);
}

TEST_F(ItemEditorTest, VatRatesOfTodayOldOnesAndUnlistedOnesAreShownAndKept) {
    const int nr = addFullItem(QStringLiteral("Łożysko"), 22);
    const int other = addFullItem(QStringLiteral("Zawór"), 23);
    const int odd = addFullItem(QStringLiteral("Uszczelka"), 19.5);
    auto dlg = openEditor("Edycja", nr);
    auto* vat = dlg->findChild<QComboBox*>(QStringLiteral("Combo_VAT"));
    QStringList shown;
    for (int i = 0; i < vat->count(); ++i)
        shown << vat->itemText(i);
    EXPECT_EQ(shown, QStringList({"23", "8", "5", "0", "zw.", "22", "17", "12", "7"}));
    EXPECT_EQ(vat->currentText(), QStringLiteral("22"));
    // The list moves on meanwhile: the editor keeps to the item it opened on.
    st.TFTowar.gotoRowId(other);
    retype(edit(dlg.get(), "Edit_Nazwa2"), QStringLiteral("nowa"));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(item(nr)->asFloat(QStringLiteral("Tow_VAT")), 22);
    EXPECT_EQ(item(nr)->asString(QStringLiteral("Tow_Nazwa2")), QStringLiteral("nowa"));
    EXPECT_EQ(item(other)->asString(QStringLiteral("Tow_Nazwa2")), QStringLiteral("6204"));

    // A clone of an item at today's rate keeps it.
    dlg = openEditor("Klonuj", other);
    EXPECT_EQ(dlg->findChild<QComboBox*>(QStringLiteral("Combo_VAT"))->currentText(),
              QStringLiteral("23"));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(item(lastItemNr())->asFloat(QStringLiteral("Tow_VAT")), 23);

    // A rate the list does not hold is shown as it is and kept by a change and by a clone.
    dlg = openEditor("Edycja", odd);
    vat = dlg->findChild<QComboBox*>(QStringLiteral("Combo_VAT"));
    EXPECT_EQ(vat->currentText(), QStringLiteral("19,5"));
    EXPECT_EQ(vat->count(), 10);
    retype(edit(dlg.get(), "Edit_Nazwa2"), QStringLiteral("inna"));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(item(odd)->asFloat(QStringLiteral("Tow_VAT")), 19.5);
    dlg = openEditor("Klonuj", odd);
    button(dlg.get(), "BB_Zapisz")->click();
    const int clone = lastItemNr();
    EXPECT_NE(clone, odd);
    EXPECT_EQ(item(clone)->asFloat(QStringLiteral("Tow_VAT")), 19.5);
    EXPECT_EQ(itemCount(), 5);

    // "zw." has no stored value; a listed rate is stored as its number.
    dlg = openEditor("Edycja", nr);
    vat = dlg->findChild<QComboBox*>(QStringLiteral("Combo_VAT"));
    vat->setCurrentIndex(vat->findText(QStringLiteral("zw.")));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(item(nr)->asFloat(QStringLiteral("Tow_VAT")), 22);
    dlg = openEditor("Edycja", nr);
    vat = dlg->findChild<QComboBox*>(QStringLiteral("Combo_VAT"));
    vat->setCurrentIndex(vat->findText(QStringLiteral("8")));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(item(nr)->asFloat(QStringLiteral("Tow_VAT")), 8);
    EXPECT_EQ(messages.count(), 0);
}

TEST_F(ItemEditorTest, PricesShowTwoDecimalsAndAreTypedGroupedOrWithAPoint) {
    const int nr = addFullItem();
    auto dlg = openEditor("Edycja", nr);
    EXPECT_EQ(edit(dlg.get(), "Edit_Cena")->text(), QStringLiteral("10,25"));
    EXPECT_EQ(edit(dlg.get(), "Edit_Cena_B")->text(), QStringLiteral("9,00"));
    EXPECT_EQ(edit(dlg.get(), "Edit_Ilosc")->text(), QStringLiteral("12,5"));
    retype(edit(dlg.get(), "Edit_Cena"), QStringLiteral("1 200,50"));
    retype(edit(dlg.get(), "Edit_Cena_A"), QStringLiteral("1200.50"));
    edit(dlg.get(), "Edit_Cena_B")->clear();
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(messages.count(), 0);
    EXPECT_EQ(item(nr)->asFloat(QStringLiteral("Tow_SRP")), 1200.5);
    EXPECT_EQ(item(nr)->asFloat(QStringLiteral("Tow_Cena_A")), 1200.5);
    EXPECT_TRUE(item(nr)->isNull(QStringLiteral("Tow_Cena_B")));
    dlg = openEditor("Edycja", nr);
    EXPECT_EQ(edit(dlg.get(), "Edit_Cena")->text(), QString::fromUtf8("1\u202F200,50"));
    EXPECT_EQ(edit(dlg.get(), "Edit_Cena_B")->text(), QString());
}

TEST_F(ItemEditorTest, EmptiedProducerStoresZero) {
    const int nr = addFullItem();
    auto dlg = openEditor("Edycja", nr);
    auto* producer = edit(dlg.get(), "Edit_Producent");
    retype(producer, QString());
    messages.answerNo();
    edit(dlg.get(), "Edit_Kod_Prod")->setFocus();
    settle();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Brak danych. Czy wybrać producenta z listy ?"));
    EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
    button(dlg.get(), "BB_Zapisz")->click();
    auto row = item(nr);
    EXPECT_FALSE(row->isNull(QStringLiteral("Tow_Nr_Producent")));
    EXPECT_EQ(row->asInteger(QStringLiteral("Tow_Nr_Producent")), 0);
}

TEST_F(ItemEditorTest, LeavingTheGroupFieldTakesTheNearestGroupAndPrefillsName1) {
    auto dlg = openEditor("Nowy");
    auto* group = edit(dlg.get(), "Edit_Grupa");
    auto* name1 = edit(dlg.get(), "Edit_Towar");
    ASSERT_EQ(QApplication::focusWidget(), group);
    typeInto(group, QStringLiteral("sp"));
    edit(dlg.get(), "Edit_Nazwa2")->setFocus();
    settle();
    EXPECT_EQ(group->text(), QStringLiteral("Sprężyny"));
    EXPECT_EQ(name1->text(), QStringLiteral("Sprężyny "));
    EXPECT_EQ(QApplication::focusWidget(), name1);

    // A name 1 already there stays; "ś" sorts after "s" and before "w".
    group->setFocus();
    retype(group, QStringLiteral("śa"));
    edit(dlg.get(), "Edit_Kod_Tow")->setFocus();
    settle();
    EXPECT_EQ(group->text(), QStringLiteral("Śruby"));
    EXPECT_EQ(name1->text(), QStringLiteral("Sprężyny "));
    EXPECT_EQ(messages.count(), 0);

    // An emptied group asks whether to pick one from the list.
    retype(group, QString());
    messages.answerNo();
    name1->setFocus();
    settle();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Brak danych. Czy wybrać grupę z listy ?")});
    messages.clear();
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral("Brak nazwy grupy. Zapis nie jest możliwy !")});
    EXPECT_EQ(itemCount(), 0);

    // Typed and saved without leaving the field: looked up all the same.
    retype(group, QStringLiteral("wk"));
    button(dlg.get(), "BB_Zapisz")->click();
    ASSERT_EQ(itemCount(), 1);
    EXPECT_EQ(item(lastItemNr())->asInteger(QStringLiteral("Tow_Grupa_Nr")),
              groups.value(QStringLiteral("Wkręty")));
}

TEST_F(ItemEditorTest, EnterLooksUpInTheGroupFieldAndSavesInCenaA) {
    auto dlg = openEditor("Nowy");
    auto* group = edit(dlg.get(), "Edit_Grupa");
    typeInto(group, QStringLiteral("Śruby"));
    press(group, Qt::Key_Return);
    settle();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(itemCount(), 0);
    EXPECT_EQ(edit(dlg.get(), "Edit_Towar")->text(), QStringLiteral("Śruby "));
    EXPECT_EQ(QApplication::focusWidget(), edit(dlg.get(), "Edit_Towar"));

    // A name no group has: the groups list in picking mode, started from the text.
    runner.on("TEkr_Aktualizacja_Grupa", [this](QDialog&) {
        EXPECT_EQ(st.GroupPickMode, QStringLiteral("Wybieranie"));
        EXPECT_EQ(st.PickSearchText, QStringLiteral("Xyz"));
        st.PickedGroupName = QStringLiteral("Wkręty");
        st.PickedGroupNr = groups.value(QStringLiteral("Wkręty"));
    });
    retype(group, QStringLiteral("Xyz"));
    press(group, Qt::Key_Return);
    settle();
    EXPECT_EQ(group->text(), QStringLiteral("Wkręty"));
    EXPECT_EQ(edit(dlg.get(), "Edit_Towar")->text(), QStringLiteral("Śruby "));
    EXPECT_TRUE(st.PickSearchText.isEmpty());
    EXPECT_EQ(itemCount(), 0);
    EXPECT_EQ(messages.count(), 0); // no warning for a new item

    typeInto(edit(dlg.get(), "Edit_Cena_A"), QStringLiteral("4.5"));
    EXPECT_EQ(edit(dlg.get(), "Edit_Cena_A")->text(), QStringLiteral("4,5"));
    press(edit(dlg.get(), "Edit_Cena_A"), Qt::Key_Return);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    ASSERT_EQ(itemCount(), 1);
    auto row = item(lastItemNr());
    EXPECT_EQ(row->asInteger(QStringLiteral("Tow_Grupa_Nr")),
              groups.value(QStringLiteral("Wkręty")));
    EXPECT_EQ(row->asFloat(QStringLiteral("Tow_Cena_A")), 4.5);
    EXPECT_TRUE(row->isNull(QStringLiteral("Tow_VAT")));
    EXPECT_TRUE(row->isNull(QStringLiteral("Tow_Ilosc")));
}

TEST_F(ItemEditorTest, PickersOfAChangedItemWarnAndHandBackTheirChoice) {
    const int nr = addFullItem();
    auto dlg = openEditor("Edycja", nr);
    runner.on("TEkr_Aktualizacja_Grupa", [this](QDialog&) {
        EXPECT_EQ(st.PickSearchText, QStringLiteral("Łożyska"));
        st.PickedGroupName = QStringLiteral("Sprężyny");
        st.PickedGroupNr = groups.value(QStringLiteral("Sprężyny"));
    });
    runner.on("TEkr_Aktualizacja_Firma", [this](QDialog&) {
        EXPECT_EQ(st.CompanyPickMode, QStringLiteral("Wybieranie"));
        EXPECT_EQ(st.CompanySearchText, QStringLiteral("SKF"));
        st.PickedCompanyName = QStringLiteral("Bosch");
        st.PickedCompanyNr = companies.value(QStringLiteral("Bosch"));
    });
    button(dlg.get(), "BB_Grupy")->click();
    EXPECT_EQ(messages.texts(),
              QStringList{
                  QStringLiteral("Zmiana grupy spowoduje wyświetlanie niepoprawnych własności?")});
    button(dlg.get(), "BB_Producenci")->click();
    settle();
    // After the lists the window may not be active yet: the field it gives the focus to.
    EXPECT_EQ(dlg->focusWidget(), edit(dlg.get(), "Edit_Kod_Prod"));
    EXPECT_TRUE(st.CompanyPickMode.isEmpty());
    EXPECT_TRUE(dlg->changed());
    button(dlg.get(), "BB_Zapisz")->click();
    auto row = item(nr);
    EXPECT_EQ(row->asInteger(QStringLiteral("Tow_Grupa_Nr")),
              groups.value(QStringLiteral("Sprężyny")));
    EXPECT_EQ(row->asInteger(QStringLiteral("Tow_Nr_Producent")),
              companies.value(QStringLiteral("Bosch")));
    // Name 1 was not empty: it stays.
    EXPECT_EQ(row->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Łożysko kulkowe"));
}

TEST_F(ItemEditorTest, HiddenName2MovesTheFieldsUpAndDownSkipsIt) {
    st.Display.headerName2 = QStringLiteral("  ");
    auto dlg = openEditor("Nowy");
    auto* w = dlg.get();
    auto* name1 = edit(w, "Edit_Towar");
    auto* symbol = edit(w, "Edit_Kod_Tow");
    EXPECT_FALSE(edit(w, "Edit_Nazwa2")->isVisible());
    EXPECT_FALSE(w->findChild<QLabel*>(QStringLiteral("Label_Nazwa2"))->isVisible());
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("Label_Nazwa1"))->text(),
              QStringLiteral("Pole 1"));
    EXPECT_EQ(symbol->y(), items::designOf(ItemField::Symbol).top - 24);
    EXPECT_EQ(name1->y(), items::designOf(ItemField::Nazwa1).top);
    const int basic = items::itemPanelDesign()[0].height;
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("Panel_Podstawowy"))->height(), basic - 24);

    name1->setFocus();
    press(name1, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), symbol);
    press(symbol, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), name1);
    // The ends do nothing.
    auto* group = edit(w, "Edit_Grupa");
    group->setFocus();
    press(group, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), group);
    auto* cenaC = edit(w, "Edit_Cena_C");
    cenaC->setFocus();
    press(cenaC, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), cenaC);
    // Down from the unit goes through the VAT list, which Up and Down do not scroll.
    auto* unit = edit(w, "Combo_jm");
    auto* vat = w->findChild<QComboBox*>(QStringLiteral("Combo_VAT"));
    unit->setFocus();
    press(unit, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), vat);
    press(vat, Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), edit(w, "Edit_Cena"));
    EXPECT_EQ(vat->currentIndex(), -1);
}

TEST(ItemFormLayout, PanelsAndWindowHeightFollowTheConfiguration) {
    store::DisplayConfig c;
    c.headerName1 = c.headerName2 = c.headerSymbol = c.headerProducer = c.headerProducerCode =
        QStringLiteral("x");
    c.panelBasic = c.panelProducer = c.panelQuantity = c.panelPrices = c.panelVisible = true;
    const auto full = items::computeItemFormLayout(c);
    int sum = items::kItemButtonRowHeight;
    for (const auto& p : items::itemPanelDesign())
        sum += p.height;
    EXPECT_EQ(full.windowHeight, sum + 30);
    EXPECT_EQ(full.panelTops[3],
              full.panelHeights[0] + full.panelHeights[1] + full.panelHeights[2]);

    // The producer hidden with its code: the panel shrinks by both rows.
    c.headerProducer = c.headerProducerCode = QString();
    c.panelVisible = false;
    auto l = items::computeItemFormLayout(c);
    EXPECT_EQ(l.panelHeight(items::ItemPanel::Producer), items::itemPanelDesign()[1].height - 48);
    EXPECT_FALSE(l.panelNamesVisible);
    EXPECT_EQ(l.neighbour(ItemField::Symbol, 1), ItemField::Ilosc);
    EXPECT_EQ(items::computeItemFormLayout(c).windowHeight, l.windowHeight); // same every time

    // Panels switched off have no height and no reachable fields; a small window keeps 245.
    c.panelBasic = c.panelQuantity = c.panelPrices = false;
    l = items::computeItemFormLayout(c);
    EXPECT_EQ(l.panelHeight(items::ItemPanel::Basic), 0);
    EXPECT_EQ(l.neighbour(ItemField::Grupa, 1), std::nullopt);
    EXPECT_EQ(l.windowHeight, 245);
    // The lower row stays inside the window and under the right-hand buttons.
    EXPECT_LE(l.buttonRowTop + items::kItemButtonRowHeight, l.windowHeight);
    EXPECT_GE(l.buttonRowTop, 120);
}

TEST_F(ItemEditorTest, LettersInTheQuantityWriteNothingAndTheCorrectedSaveOneRow) {
    auto dlg = newItemTyped();
    auto* quantity = edit(dlg.get(), "Edit_Ilosc");
    typeInto(quantity, QStringLiteral("1.5"));
    EXPECT_EQ(quantity->text(), QStringLiteral("1,5"));
    retype(quantity, QStringLiteral("1,5kg"));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(messages.texts(),
              QStringList{QStringLiteral(" Dane nie są poprawne ! Zapis nie jest możliwy !")});
    EXPECT_EQ(messages.last().caption, QStringLiteral("Uwaga !"));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(quantity->text(), QStringLiteral("1,5kg"));
    EXPECT_EQ(itemCount(), 0);

    // A second failure, then the correction: exactly one row.
    retype(edit(dlg.get(), "Edit_Cena"), QStringLiteral("abc"));
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(itemCount(), 0);
    retype(quantity, QStringLiteral("1.5"));
    retype(edit(dlg.get(), "Edit_Cena"), QString());
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_FALSE(dlg->isVisible());
    ASSERT_EQ(itemCount(), 1);
    auto row = item(lastItemNr());
    EXPECT_EQ(row->asFloat(QStringLiteral("Tow_Ilosc")), 1.5);
    EXPECT_EQ(row->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Śruby M8x20"));
    EXPECT_EQ(row->asInteger(QStringLiteral("Tow_Grupa_Nr")),
              groups.value(QStringLiteral("Śruby")));
    EXPECT_EQ(row->asInteger(QStringLiteral("Tow_Nr_Producent")), 0);

    // A changed item keeps its row as it was.
    const int nr = lastItemNr();
    dlg = openEditor("Edycja", nr);
    retype(edit(dlg.get(), "Edit_Towar"), QStringLiteral("inna"));
    retype(edit(dlg.get(), "Edit_Cena_B"), QStringLiteral("x"));
    messages.clear();
    button(dlg.get(), "BB_Zapisz")->click();
    EXPECT_EQ(messages.count(), 1);
    EXPECT_EQ(item(nr)->asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Śruby M8x20"));
}

TEST_F(ItemEditorTest, ClosingAsksAboutChangesAndSavesOnYes) {
    const int nr = addFullItem();
    // Unchanged: no question.
    auto dlg = openEditor("Edycja", nr);
    press(edit(dlg.get(), "Edit_Towar"), Qt::Key_Escape);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(messages.count(), 0);

    // No: nothing written.
    dlg = newItemTyped();
    messages.answerNo();
    button(dlg.get(), "BB_Powrot")->click();
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Dane zostały zmienione. Czy zapisać wprowadzone zmiany ?"));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(itemCount(), 1);

    // Yes with a bad price: the message, the editor closes, nothing written.
    dlg = newItemTyped();
    retype(edit(dlg.get(), "Edit_Cena"), QStringLiteral("drogo"));
    messages.clear();
    messages.answerYes();
    dlg->close(); // the close box
    EXPECT_EQ(messages.count(), 2);
    EXPECT_EQ(messages.last().text,
              QStringLiteral(" Dane nie są poprawne ! Zapis nie jest możliwy !"));
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(itemCount(), 1);

    // Yes: a new item is inserted.
    dlg = newItemTyped();
    messages.answerYes();
    button(dlg.get(), "BB_Anuluj")->click();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(itemCount(), 2);
}

TEST_F(ItemEditorTest, FollowingScreenOfANewItemSavesItFirst) {
    auto dlg = newItemTyped();
    for (const char* b : {"BB_Ceny"})
        EXPECT_FALSE(button(dlg.get(), b)->isEnabled()) << b;
    messages.answerNo();
    button(dlg.get(), "BB_Wlasnosci")->click();
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Przejście do kolejnego ekranu możliwe po zapisaniu bieżącego "
                             "towaru do bazy danych. Dokonać zapisu ?"));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(itemCount(), 0);

    int seenNr = -1;
    runner.on("TEkr_Tow_Wlasnosci", [&](QDialog&) {
        EXPECT_EQ(st.ItemEditMode, QStringLiteral("Edycja"));
        seenNr = st.TFTowar.asInteger(QStringLiteral("Tow_nr"));
        EXPECT_EQ(st.CurrentItemNr, seenNr);
        // The screen leaves another mode behind; the editor keeps to its item.
        st.ItemEditMode = QStringLiteral("Nowy");
    });
    messages.answerYes();
    button(dlg.get(), "BB_Wlasnosci")->click();
    ASSERT_EQ(itemCount(), 1);
    EXPECT_EQ(seenNr, lastItemNr());
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);

    // A stored, unchanged item goes straight to the screen and the editor stays, showing it.
    dlg = openEditor("Edycja", seenNr);
    runner.on("TEkr_Tow_Wlasnosci");
    messages.clear();
    button(dlg.get(), "BB_Wlasnosci")->click();
    EXPECT_EQ(messages.count(), 0);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(edit(dlg.get(), "Edit_Towar")->text(), QStringLiteral("Śruby M8x20"));
    EXPECT_EQ(itemCount(), 1);
}

TEST_F(ItemEditorTest, MainWindowCommandsOpenTheEditor) {
    const int nr = addFullItem();
    auto w = startWindow();
    runner.on("TEkr_Aktualizacja_Towar", [](QDialog& d) {
        auto* name2 = d.findChild<QLineEdit*>(QStringLiteral("Edit_Nazwa2"));
        name2->setText(QStringLiteral("zmieniona"));
        d.findChild<QPushButton*>(QStringLiteral("BB_Zapisz"))->click();
    });
    trigger(*w, "Edycja2");
    EXPECT_EQ(item(nr)->asString(QStringLiteral("Tow_Nazwa2")), QStringLiteral("zmieniona"));
    runner.on("TEkr_Aktualizacja_Towar",
              [](QDialog& d) { d.findChild<QPushButton*>(QStringLiteral("BB_Zapisz"))->click(); });
    trigger(*w, "Klonuj1");
    EXPECT_EQ(itemCount(), 2);
    EXPECT_EQ(w->state().TFTowar.asInteger(QStringLiteral("Tow_nr")), lastItemNr());
}

} // namespace
