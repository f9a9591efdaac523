// The "zawiera" switch of the item list: narrowing by every typed word, the counter, the whole
// list back on an empty field, the switch remembered, and a search overtaken by typing that is
// never shown. Built with PELK_SERVER_RUN the catalogue is on a server.
#include "shell/fixture.h"
#include "shell/narrowsearch.h"
#include "support/backendrun.h"
#include "support/rows.h"
#include <QCheckBox>
#include <QLabel>
#include <QTest>

using namespace shelltest;
using testsupport::addRow;

namespace {

class NarrowTest : public ShellTest {
protected:
    void SetUp() override {
        if (!backendrun::onServer()) return;
        QString skip;
        catalogue = backendrun::catalogueLocation(tmp, &skip);
        if (catalogue.isEmpty()) GTEST_SKIP() << skip.toStdString();
    }
    std::unique_ptr<shell::TForm_Pelk> start() {
        makeMainFolder();
        const char* rows[][3] = {{"Śruba imbusowa M8x20", "SRB-01", "Hex socket screw"},
                                 {"Śruba sześciokątna M10x120", "SRB-02", "Hex bolt"},
                                 {"Nakrętka M8", "NAK-01", "Nut"},
                                 {"Łożysko kulkowe", "LOZ-01", "Ball bearing"},
                                 {"Podkładka", "POD-01", "Washer M8 śruba"}};
        for (auto& r : rows)
            addRow(catalogue, "Towar",
                   {{"Tow_Nazwa", QString::fromUtf8(r[0])},
                    {"Tow_Symbol", QString::fromUtf8(r[1])},
                    {"Tow_Nazwa2", QString::fromUtf8(r[2])}});
        auto w = startWindow();
        EXPECT_EQ(outcome, shell::MainController::StartOutcome::Running);
        w->show();
        return w;
    }
    static QCheckBox* box(shell::TForm_Pelk& w) { return child<QCheckBox>(&w, "CB_Zawiera"); }
    static QLineEdit* field(shell::TForm_Pelk& w) { return w.form().Edit_Szukaj_Towar; }
    // Types the text as the user does and lets the search run.
    static void typeIn(shell::TForm_Pelk& w, const QString& text) {
        field(w)->clear();
        for (QChar c : text)
            field(w)->insert(QString(c));
        QTest::qWait(1);
        QCoreApplication::processEvents();
    }
    static QString counter(shell::TForm_Pelk& w) { return w.form().Label_Licznik->text(); }
};

TEST_F(NarrowTest, WordsNarrowTheListAndAnEmptyFieldShowsAll) {
    auto w = start();
    ASSERT_TRUE(box(*w));
    EXPECT_EQ(box(*w)->text(), QStringLiteral("zawiera"));
    EXPECT_FALSE(box(*w)->isChecked()); // off at first
    // Beside the search field, in its row.
    const QRect f = field(*w)->geometry(), b = box(*w)->geometry();
    EXPECT_EQ(box(*w)->parentWidget(), field(*w)->parentWidget());
    EXPECT_GT(b.left(), f.right());
    EXPECT_LT(std::abs(b.center().y() - f.center().y()), f.height() / 2);
    // Off: the nearest search as ever, the list keeps every item.
    typeIn(*w, QStringLiteral("Ł"));
    EXPECT_EQ(w->state().TFTowar.asString(QStringLiteral("Tow_Nazwa")),
              QStringLiteral("Łożysko kulkowe"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary).size(), 5);

    click(w.get(), "CB_Zawiera");
    ASSERT_TRUE(box(*w)->isChecked());
    const QStringList screws{QStringLiteral("Podkładka"), QStringLiteral("Śruba imbusowa M8x20")};
    typeIn(*w, QStringLiteral("sruba m8"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), screws);
    EXPECT_EQ(counter(*w), QStringLiteral("2"));
    // The same columns as the whole list, the quantity with its unit included.
    ASSERT_TRUE(w->narrowSearch().shown());
    EXPECT_TRUE(w->narrowSearch().shown()->hasField(QStringLiteral("Calc_Ilosc_jm")));
    typeIn(*w, QStringLiteral("M8 ŚRUBA"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), screws);
    // The item table follows the narrowed list, for the detail tabs and the commands.
    EXPECT_EQ(w->state().TFTowar.asString(QStringLiteral("Tow_Nazwa")),
              QStringLiteral("Podkładka"));
    QTest::keyClick(field(*w), Qt::Key_Down);
    EXPECT_EQ(w->state().TFTowar.asString(QStringLiteral("Tow_Nazwa")),
              QStringLiteral("Śruba imbusowa M8x20"));
    EXPECT_EQ(field(*w)->text(), QStringLiteral("M8 ŚRUBA")); // leaving the field keeps the words

    typeIn(*w, QStringLiteral("lozysko"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Łożysko kulkowe")});
    typeIn(*w, QString());
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary).size(), 5);
    EXPECT_EQ(counter(*w), QStringLiteral("5"));
    EXPECT_TRUE(errorTexts().isEmpty()) << errorTexts().join(u'\n').toStdString();
}

TEST_F(NarrowTest, AQueryIsNarrowedInItsOwnOrder) {
    auto w = start();
    click(w.get(), "CB_Zawiera");
    // Every item but the first, by name backwards.
    w->state().QTowar.setSql({QStringLiteral("SELECT DISTINCT Towar.*"),
                              QStringLiteral("FROM Towar"), QStringLiteral("WHERE Towar.Tow_nr>1"),
                              QStringLiteral("ORDER BY Towar.Tow_Nazwa DESC")});
    w->BB_SQLClick();
    ASSERT_TRUE(w->state().Query.queryActive);
    typeIn(*w, QStringLiteral("m"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary),
              (QStringList{QStringLiteral("Śruba sześciokątna M10x120"),
                           QStringLiteral("Podkładka"), QStringLiteral("Nakrętka M8")}));
    EXPECT_EQ(counter(*w), QStringLiteral("3"));
    typeIn(*w, QStringLiteral("sruba m8"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Podkładka")});
    // The item table (and with it the detail tabs) stands on the item shown.
    EXPECT_EQ(w->state().TFTowar.asString(QStringLiteral("Tow_Nazwa")),
              QStringLiteral("Podkładka"));
    typeIn(*w, QString());
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary).size(), 4);
    EXPECT_EQ(counter(*w), QStringLiteral("4"));
    EXPECT_TRUE(errorTexts().isEmpty()) << errorTexts().join(u'\n').toStdString();
}

TEST_F(NarrowTest, RenamedItemIsFoundAtOnceAndTheSwitchIsRemembered) {
    {
        auto w = start();
        click(w.get(), "CB_Zawiera");
        typeIn(*w, QStringLiteral("nakr"));
        ASSERT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Nakrętka M8")});
        auto& items = w->state().TFTowar;
        items.edit();
        items.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Nakrętka koronowa żółta"));
        items.post();
        QCoreApplication::processEvents();
        EXPECT_EQ(gridNames(w->form().DBGrid_Towary),
                  QStringList{QStringLiteral("Nakrętka koronowa żółta")});
        typeIn(*w, QStringLiteral("zolta kor"));
        EXPECT_EQ(gridNames(w->form().DBGrid_Towary),
                  QStringList{QStringLiteral("Nakrętka koronowa żółta")});
        EXPECT_EQ(counter(*w), QStringLiteral("1"));
    }
    auto again = startWindow();
    EXPECT_TRUE(box(*again)->isChecked());
    click(again.get(), "CB_Zawiera");
    auto third = startWindow();
    EXPECT_FALSE(box(*third)->isChecked());
}

TEST_F(NarrowTest, ASearchOvertakenByTypingIsNeverPainted) {
    // A server is asked between slices of its answer: whether a short search gets one is a
    // matter of time.
    if (backendrun::onServer()) GTEST_SKIP() << "the rows are too few to be sure of a check";
    makeMainFolder();
    // Enough rows that a search of one letter looks for keystrokes while it runs.
    engine::Database::open(catalogue)->transaction([&] {
        for (int i = 0; i < 3000; ++i)
            addRow(catalogue, "Towar",
                   {{"Tow_Nazwa", QStringLiteral("Wkręt %1 ocynk").arg(i)},
                    {"Tow_Symbol", QStringLiteral("WKR-%1").arg(i)}});
        addRow(catalogue, "Towar", {{"Tow_Nazwa", QStringLiteral("Łańcuch ogniwowy")}});
    });
    auto w = startWindow();
    ASSERT_EQ(outcome, shell::MainController::StartOutcome::Running);
    w->show();
    click(w.get(), "CB_Zawiera");
    auto& narrow = w->narrowSearch();
    int polls = 0;
    narrow.polled = [&] {
        // The user goes on typing while the first letter is searched.
        if (polls++ == 0) QTest::keyClicks(field(*w), QStringLiteral("ancuch"));
    };
    typeIn(*w, QStringLiteral("ł"));
    narrow.polled = nullptr;
    ASSERT_GT(polls, 0);
    EXPECT_EQ(field(*w)->text(), QStringLiteral("łancuch"));
    EXPECT_FALSE(narrow.paintedTexts().contains(QStringLiteral("ł")))
        << narrow.paintedTexts().join(u'|').toStdString();
    EXPECT_EQ(narrow.paintedTexts().last(), QStringLiteral("łancuch"));
    EXPECT_EQ(gridNames(w->form().DBGrid_Towary), QStringList{QStringLiteral("Łańcuch ogniwowy")});
    EXPECT_EQ(counter(*w), QStringLiteral("1"));
}

} // namespace
