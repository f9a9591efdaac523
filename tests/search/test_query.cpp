// The query builder: rows hidden by the display configuration, the pickers and "Wyczyść", the
// upper-case boxes, what each closing button leaves in the query state, in QTowar and in
// Zapytanie.txt, and reopening a query in force.
#include "search/E_Query.h"
#include "search/querybuilder.h"
#include "shell/fixture.h"
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace shelltest;
using search::TEkr_Query;

namespace {

void choose(QDialog& d, const char* combo, int index) {
    auto* c = child<QComboBox>(d, combo);
    c->setCurrentIndex(index);
    Q_EMIT c->activated(index);
}

void setText(QDialog& d, const char* edit, const QString& text) {
    child<QLineEdit>(d, edit)->setText(text);
}

class QueryTest : public ShellTest {
protected:
    std::unique_ptr<shell::TForm_Pelk> start() {
        makeMainFolder({QStringLiteral("Śruba M8"), QStringLiteral("Nakrętka")});
        auto w = startWindow();
        EXPECT_EQ(outcome, shell::MainController::StartOutcome::Running);
        auto& d = w->state().Display;
        d.headerName1 = QStringLiteral("Nazwa");
        d.headerName2 = QStringLiteral("Nazwa 2");
        d.headerSymbol = QStringLiteral("Symbol");
        d.headerProducer = QStringLiteral("Producent");
        d.headerProducerCode = QStringLiteral("Kod");
        d.panelProducer = d.panelPrices = true;
        return w;
    }

    void query(shell::TForm_Pelk& w, std::function<void(QDialog&)> action) {
        runner.on(QStringLiteral("TEkr_Query"), std::move(action));
        trigger(w, "Zapytanie1");
    }

    void pickAttribute(store::MainState& st, int nr, const char* type) {
        runner.on(QStringLiteral("TEkr_Wlasnosci"), [&st, nr, type](QDialog&) {
            st.AttributeNr = nr;
            st.AttributeName = QStringLiteral("Długość");
            st.AttributeTypeText = QLatin1String(type);
        });
    }

    QByteArray fileText(const store::MainState& st) {
        QFile f(TEkr_Query::queryFile(st));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        return f.readAll();
    }
};

} // namespace

TEST_F(QueryTest, RowsHiddenByTheDisplayConfigurationCloseTheirGaps) {
    auto w = start();
    auto& st = w->state();
    TEkr_Query full(st);
    EXPECT_EQ(full.windowTitle(), QStringLiteral("Zapytanie"));
    EXPECT_EQ(child<QLabel>(full, "Label_Nazwa1")->text(), QStringLiteral("Nazwa"));
    const int priceY = child<QLineEdit>(full, "Edit_Cena")->y();

    st.Display.panelProducer = false;
    TEkr_Query noProducer(st);
    EXPECT_EQ(noProducer.height(), full.height() - 48);
    EXPECT_TRUE(child<QLineEdit>(noProducer, "Edit_Producent")->isHidden());
    EXPECT_TRUE(child<QLineEdit>(noProducer, "Edit_Kod_Prod")->isHidden());
    EXPECT_EQ(child<QLineEdit>(noProducer, "Edit_Cena")->y(), priceY - 48);

    st.Display.panelProducer = true;
    st.Display.headerName2 = QStringLiteral("  ");
    st.Display.panelPrices = false;
    TEkr_Query other(st);
    EXPECT_EQ(other.height(), full.height() - 48);
    EXPECT_TRUE(child<QLineEdit>(other, "Edit_Nazwa2")->isHidden());
    EXPECT_TRUE(child<QLineEdit>(other, "Edit_Cena")->isHidden());
    EXPECT_EQ(child<QLineEdit>(other, "Edit_Symbol")->y(),
              child<QLineEdit>(full, "Edit_Symbol")->y() - 24);
}

TEST_F(QueryTest, ExecutedQueryIsWrittenKeptAndShownAgain) {
    auto w = start();
    auto& st = w->state();
    pickAttribute(st, 7, "N");
    query(*w, [](QDialog& d) {
        choose(d, "CB_Nazwa1", search::ItemContains);
        setText(d, "Edit_Nazwa1", QStringLiteral("ŚRUBA"));
        child<QPushButton>(d, "BB_Wlasnosc")->click();
        EXPECT_EQ(child<QLabel>(d, "Label_Typ")->text(), QStringLiteral("typ liczbowy"));
        EXPECT_TRUE(child<QComboBox>(d, "CB_Wartosc")->isVisible());
        EXPECT_FALSE(child<QLabel>(d, "Label_Od")->isVisible());
        choose(d, "CB_Wartosc", 3);
        setText(d, "Edit_Wartosc1", QStringLiteral("1,25"));
        child<QPushButton>(d, "BB_Zastosuj")->click();
    });
    const QStringList want{QStringLiteral("SELECT DISTINCT Towar.*"),
                           QStringLiteral("FROM Towar  , Cecha , Opis"),
                           QStringLiteral("WHERE"),
                           QStringLiteral("Towar.Tow_Nr=Opis.Opis_Tow_Nr"),
                           QStringLiteral("and"),
                           QStringLiteral("Opis.Opis_Cecha_Nr=Cecha.Cecha_Nr"),
                           QStringLiteral("and"),
                           QStringLiteral("Upper(Towar.Tow_Nazwa) LIKE \"%ŚRUBA%\""),
                           QStringLiteral("and"),
                           QStringLiteral("(Opis.Opis_Cecha_Nr=7 and "),
                           QStringLiteral("CAST(Opis.Opis_Opis AS NUMERIC)>=1.25"),
                           QStringLiteral(")"),
                           QStringLiteral("ORDER BY Towar.Tow_Nazwa")};
    EXPECT_EQ(st.QTowar.sql(), want);
    EXPECT_EQ(fileText(st), (want.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    EXPECT_TRUE(QFile::exists(st.MainFolder + QStringLiteral("Zapytanie.txt")));
    EXPECT_TRUE(st.Query.queryActive);
    EXPECT_EQ(w->form().Label_Status->text(), QStringLiteral("ustawiono zapytanie"));
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("SpeedButton17")));
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("Filtr1")));
    w->Czy_Baza_Pusta();
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("Filtr1")));

    // "Powrót" keeps all of it, the attribute's type included; the query runs again.
    query(*w, [](QDialog& d) {
        setText(d, "Edit_Nazwa1", QStringLiteral("INNE"));
        child<QPushButton>(d, "BB_Powrot")->click();
    });
    EXPECT_TRUE(st.Query.queryActive);
    EXPECT_EQ(st.Query.attributeType, QStringLiteral("N"));
    EXPECT_EQ(st.QTowar.sql(), want);
    EXPECT_TRUE(st.QTowar.isOpen());

    // Reopened, the dialog shows what built the query and builds it again unchanged.
    query(*w, [&](QDialog& d) {
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Nazwa1")->text(), QStringLiteral("ŚRUBA"));
        EXPECT_EQ(child<QComboBox>(d, "CB_Nazwa1")->currentIndex(), search::ItemContains);
        EXPECT_EQ(child<QLabel>(d, "Label_Nazwa_Wlasnosci")->text(), QStringLiteral("Długość"));
        EXPECT_EQ(child<QLabel>(d, "Label_Typ")->text(), QStringLiteral("typ liczbowy"));
        EXPECT_EQ(child<QComboBox>(d, "CB_Wartosc")->currentText(), QStringLiteral(">="));
        EXPECT_EQ(child<QLineEdit>(d, "Edit_Wartosc1")->text(), QStringLiteral("1,25"));
        child<QPushButton>(d, "BB_Zastosuj")->click();
    });
    EXPECT_EQ(st.QTowar.sql(), want);

    // "Anuluj zapytanie": the plain table, the filter commands back.
    query(*w, [](QDialog& d) { child<QPushButton>(d, "BitBtn2")->click(); });
    EXPECT_FALSE(st.Query.queryActive);
    EXPECT_FALSE(st.Query.attributeFlag);
    EXPECT_EQ(w->form().DBGrid_Towary->dataSet(), &st.TFTowar);
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("SpeedButton17")));
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Filtr1")));

    // Opened with no query in force: no attribute, none built.
    query(*w, [](QDialog& d) {
        EXPECT_TRUE(child<QLabel>(d, "Label_Nazwa_Wlasnosci")->text().isEmpty());
        EXPECT_FALSE(child<QComboBox>(d, "CB_Wartosc")->isVisible());
        choose(d, "CB_Cena", 1);
        setText(d, "Edit_Cena", QStringLiteral("100"));
        child<QPushButton>(d, "BB_Zastosuj")->click();
    });
    EXPECT_EQ(st.QTowar.sql(),
              (QStringList{QStringLiteral("SELECT DISTINCT Towar.*"), QStringLiteral("FROM Towar "),
                           QStringLiteral("WHERE"), QStringLiteral("Towar.Tow_SRP>100"),
                           QStringLiteral("ORDER BY Towar.Tow_Nazwa")}));
}

TEST_F(QueryTest, PriceThatIsNoNumberIsRefusedAndNothingChanges) {
    auto w = start();
    auto& st = w->state();
    const QStringList before = st.QTowar.sql();
    auto d = std::make_unique<TEkr_Query>(st, w.get());
    d->show();
    choose(*d, "CB_Cena", 0);
    setText(*d, "Edit_Cena", QStringLiteral("10 or 1=1"));
    child<QPushButton>(*d, "BB_Zastosuj")->click();
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Zapytanie sformułowane niepoprawnie !"));
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(st.QTowar.sql(), before);
    EXPECT_FALSE(st.Query.queryActive);
    EXPECT_FALSE(QFile::exists(TEkr_Query::queryFile(st)));
}

TEST_F(QueryTest, GroupPickerPicksOrLeavesNic) {
    auto w = start();
    auto& st = w->state();
    TEkr_Query d(st, w.get());
    d.show();
    pickAttribute(st, 2, "A");
    child<QPushButton>(d, "BB_Wlasnosc")->click();
    EXPECT_EQ(st.TemplateGroupNr, -1);
    EXPECT_EQ(child<QLabel>(d, "Label_Typ")->text(), QStringLiteral("typ alfanumer."));

    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa"), [&](QDialog&) {
        EXPECT_EQ(st.GroupPickMode, QStringLiteral("Wybieranie"));
        EXPECT_EQ(st.PickSearchText, QStringLiteral("ŚRU"));
        st.PickedGroupNr = 12;
        st.PickedGroupName = QStringLiteral("Śruby");
    });
    setText(d, "Edit_Grupa", QStringLiteral("ŚRU"));
    child<QPushButton>(d, "BB_Grupa")->click();
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Grupa")->text(), QStringLiteral("ŚRUBY"));
    EXPECT_EQ(child<QComboBox>(d, "CB_Grupa")->currentIndex(), search::ItemEquals);
    // The picked group takes the attribute away: the attributes depend on the group.
    EXPECT_TRUE(child<QLabel>(d, "Label_Typ")->text().isEmpty());
    EXPECT_FALSE(child<QComboBox>(d, "CB_Wartosc")->isVisible());
    pickAttribute(st, 3, "D");
    child<QPushButton>(d, "BB_Wlasnosc")->click();
    EXPECT_EQ(st.TemplateGroupNr, 12);

    runner.on(QStringLiteral("TEkr_Aktualizacja_Grupa")); // closed without a pick
    setText(d, "Edit_Grupa", QStringLiteral("ŚRUB"));
    child<QPushButton>(d, "BB_Grupa")->click();
    EXPECT_EQ(child<QComboBox>(d, "CB_Grupa")->currentText(), QStringLiteral("nic"));
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Grupa")->text(), QStringLiteral("ŚRUB"));
    child<QPushButton>(d, "BB_Wyczysc")->click();
    child<QPushButton>(d, "BB_Zastosuj")->click();
    EXPECT_EQ(st.QTowar.sql(),
              (QStringList{QStringLiteral("SELECT DISTINCT Towar.*"),
                           QStringLiteral("FROM Towar , Grupa"), QStringLiteral("WHERE"),
                           QStringLiteral("Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr"),
                           QStringLiteral("ORDER BY Towar.Tow_Nazwa")}));
}

TEST_F(QueryTest, ValueListAndOperatorChanges) {
    auto w = start();
    auto& st = w->state();
    TEkr_Query d(st, w.get());
    d.show();
    pickAttribute(st, 5, "D");
    child<QPushButton>(d, "BB_Wlasnosc")->click();
    auto* op = child<QComboBox>(d, "CB_Wartosc");
    EXPECT_EQ(op->count(), 7);
    choose(d, "CB_Wartosc", 5); // "w przedziale"
    EXPECT_TRUE(child<QLabel>(d, "Label_Od")->isVisible());
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Wartosc2")->isVisible());
    setText(d, "Edit_Wartosc1", QStringLiteral("01-01-1999"));
    setText(d, "Edit_Wartosc2", QStringLiteral("31-12-1999"));
    choose(d, "CB_Wartosc", 6); // "nic" empties both values
    EXPECT_EQ(op->currentIndex(), -1);
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Wartosc1")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Wartosc2")->text().isEmpty());
    EXPECT_FALSE(child<QLabel>(d, "Label_Do")->isVisible());

    runner.on(QStringLiteral("TEkr_Wartosci"), [&](QDialog&) {
        EXPECT_EQ(st.ValuePickMode, QStringLiteral("Wyszukiwanie"));
        EXPECT_EQ(st.AttributeNr, 5);
        EXPECT_EQ(st.AttributeTypeText, QStringLiteral("data"));
        st.PickedValue = QStringLiteral("15-06-2001");
    });
    child<QPushButton>(d, "BB_Wartosc1")->click();
    EXPECT_EQ(child<QLineEdit>(d, "Edit_Wartosc1")->text(), QStringLiteral("15-06-2001"));
    EXPECT_EQ(op->currentText(), QStringLiteral("="));

    // "nic" in an item row empties its box; the price's "nic" empties the price.
    setText(d, "Edit_Symbol", QStringLiteral("S-1"));
    choose(d, "CB_Symbol", search::ItemNothing);
    EXPECT_EQ(child<QComboBox>(d, "CB_Symbol")->currentIndex(), -1);
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Symbol")->text().isEmpty());
    setText(d, "Edit_Cena", QStringLiteral("5"));
    choose(d, "CB_Cena", search::kPriceNothing);
    EXPECT_TRUE(child<QLineEdit>(d, "Edit_Cena")->text().isEmpty());
}

TEST_F(QueryTest, BoxesTurnTypedLettersToCapitals) {
    auto w = start();
    auto d = std::make_unique<TEkr_Query>(w->state());
    d->show();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d.get()));
    auto* name = child<QLineEdit>(*d, "Edit_Nazwa1");
    name->setFocus();
    for (QChar c : QStringLiteral("śruba ø"))
        QTest::sendKeyEvent(QTest::Click, name, Qt::Key_unknown, QString(c), Qt::NoModifier);
    EXPECT_EQ(name->text(), QStringLiteral("ŚRUBA Ø"));
    auto* price = child<QLineEdit>(*d, "Edit_Cena");
    price->setFocus();
    QTest::sendKeyEvent(QTest::Click, price, Qt::Key_unknown, QStringLiteral("e"), Qt::NoModifier);
    EXPECT_EQ(price->text(), QStringLiteral("e"));
}

TEST_F(QueryTest, HiddenButtonLoadsTheFileFromTheMainFolder) {
    auto w = start();
    auto& st = w->state();
    {
        QFile f(TEkr_Query::queryFile(st));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("SELECT DISTINCT Towar.*\r\nFROM Towar \r\nWHERE\r\nUpper(Towar.Tow_Nazwa)="
                "\"NAKR\xC4\x98TKA\"\r\nORDER BY Towar.Tow_Nazwa\r\n");
    }
    query(*w, [](QDialog& d) {
        EXPECT_TRUE(child<QPushButton>(d, "BitBtn1")->isHidden());
        child<QPushButton>(d, "BitBtn1")->click();
    });
    EXPECT_TRUE(st.Query.queryActive);
    EXPECT_EQ(st.QTowar.sql().size(), 5);
    EXPECT_EQ(st.QTowar.recordCount(), 1);
    EXPECT_EQ(st.QTowar.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Nakrętka"));
    EXPECT_FALSE(w->isCommandEnabled(QStringLiteral("SpeedButton17")));
}

TEST_F(QueryTest, RejectedTextReturnsToTheTable) {
    auto w = start();
    auto& st = w->state();
    // An attribute with no value operator: the block is empty and the engine refuses it.
    pickAttribute(st, 7, "A");
    query(*w, [](QDialog& d) {
        child<QPushButton>(d, "BB_Wlasnosc")->click();
        child<QPushButton>(d, "BB_Zastosuj")->click();
    });
    ASSERT_EQ(messages.count(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Zapytanie sformułowane niepoprawnie !"));
    EXPECT_FALSE(st.Query.queryActive);
    EXPECT_TRUE(w->isCommandEnabled(QStringLiteral("Filtr1")));
    EXPECT_EQ(w->form().DBGrid_Towary->dataSet(), &st.TFTowar);
}
