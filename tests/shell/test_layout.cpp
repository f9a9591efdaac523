// The layout a user leaves is the one found at the next start: the window, the item list of each
// catalogue, the dialogs; per user, kept in the main folder.
#include "shell/fixture.h"
#include "shell/itemlist.h"
#include "store/folderpaths.h"
#include "store/layoutstore.h"
#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>

using namespace shelltest;
using Outcome = shell::MainController::StartOutcome;

namespace {

class LayoutTest : public ShellTest {
protected:
    void SetUp() override {
        makeMainFolder({QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gamma")});
        second = tmp.sub(QStringLiteral("Dane/Druga"));
        store::createCatalogue(second);
        addItems(second,
                 {QStringLiteral("Pompa"), QStringLiteral("Zawór"), QStringLiteral("Kran")});
        // Columns at their own widths, not stretched to the grid's, so that widths compare.
        for (const QString& folder : {catalogue, second}) {
            engine::Table k(folder, QStringLiteral("Konfig_i"));
            k.open();
            k.edit();
            k.setValue(QStringLiteral("Konfig_i_Dopasowany"), false);
            k.post();
        }
    }

    // The window as the program starts it, `before` done to it before its start; user > 0
    // logs in as that user.
    std::unique_ptr<shell::TForm_Pelk>
    run(int user = 0, const std::function<void(shell::TForm_Pelk&)>& before = {}) {
        auto w = std::make_unique<shell::TForm_Pelk>();
        if (user > 0) {
            setSetting(QStringLiteral("Pelk_Haslo_OK"), true);
            w->controller().runLogin = [this, user, window = w.get()] {
                auto& s = window->state();
                s.CurrentUserNr = user;
                s.RightsLevel = 2;
                s.AdminRight = s.PriceRight = true;
                s.CurrentCatalogueFolder = catalogue;
                window->controller().bindCatalogueTables();
                window->BB_TableClick();
                s.StartupDone = true;
            };
        }
        if (before) before(*w);
        EXPECT_EQ(w->start(main), Outcome::Running);
        w->show();
        return w;
    }

    void leave(std::unique_ptr<shell::TForm_Pelk>& w) {
        messages.answerYes();
        EXPECT_TRUE(w->close());
        w.reset();
    }

    void openCatalogue(shell::TForm_Pelk& w, const QString& folder) {
        w.state().CurrentCatalogueFolder = folder;
        w.OTWIERANIE_NOWYCH_BAZ();
    }

    static QString currentItem(shell::TForm_Pelk& w) {
        return w.state().TFTowar.asString(QStringLiteral("Tow_Nazwa"));
    }
    static QHeaderView* header(shell::TForm_Pelk& w) {
        return w.form().DBGrid_Towary->horizontalHeader();
    }
    static int nameWidth(shell::TForm_Pelk& w) {
        return w.form().DBGrid_Towary->fieldWidth(QStringLiteral("Tow_Nazwa"));
    }
    // As the user drags the border of the first column.
    static void dragNameColumn(shell::TForm_Pelk& w, int width) {
        header(w)->resizeSection(
            w.form().DBGrid_Towary->gridModel()->columnOfField(QStringLiteral("Tow_Nazwa")), width);
    }
    static void chooseSort(shell::TForm_Pelk& w, int index) {
        w.form().Wyswietlaj_wg->setCurrentIndex(index); // as picked in the box
    }
    static QRect screenArea() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    QString second;
};

TEST_F(LayoutTest, TheWindowComesBackAsLeftAndNeverOffTheScreen) {
    auto w = run();
    ASSERT_TRUE(w->isMaximized()) << "the first start, as always";
    w->setWindowState(Qt::WindowNoState);
    // Where the window fits on the small screen of the tests, its title bar on the screen.
    const QRect left(screenArea().topLeft() + QPoint(0, 40),
                     w->minimumSize().expandedTo({700, 500}));
    w->setGeometry(left);
    ASSERT_EQ(w->geometry(), left);
    leave(w);

    w = run();
    EXPECT_FALSE(w->isMaximized());
    EXPECT_EQ(w->geometry(), left);

    // Left on a screen that is gone since.
    w->setGeometry(
        QRect(QPoint(screenArea().right() + 2500, screenArea().bottom() + 1500), left.size()));
    leave(w);
    w = run();
    EXPECT_TRUE(screenArea().contains(w->geometry().topLeft()))
        << w->geometry().x() << "," << w->geometry().y();
    EXPECT_EQ(w->size(), left.size());

    w->setWindowState(Qt::WindowMaximized);
    leave(w);
    w = run();
    EXPECT_TRUE(w->isMaximized());
}

TEST_F(LayoutTest, EachCatalogueKeepsItsColumnsSortCurrentItemAndPage) {
    auto w = run();
    const int nominal = nameWidth(*w);
    dragNameColumn(*w, 123);
    chooseSort(*w, 2);
    goTo(*w, QStringLiteral("Beta"));
    w->showDetailTab(3);
    // Moving to another page lays the window out again; the user's width stays.
    w->showDetailTab(4);
    w->showDetailTab(3);
    EXPECT_EQ(nameWidth(*w), 123);

    openCatalogue(*w, second);
    EXPECT_EQ(nameWidth(*w), nominal) << "the other catalogue has no widths of its own yet";
    EXPECT_EQ(w->sortChoice(), 0);
    chooseSort(*w, 1);
    goTo(*w, QStringLiteral("Zawór"));
    w->showDetailTab(2);
    leave(w);

    w = run();
    EXPECT_EQ(nameWidth(*w), 123);
    EXPECT_EQ(w->sortChoice(), 2);
    EXPECT_EQ(w->state().TFTowar.indexFieldNames().toLower(), shell::sortChoice(2)->field.toLower())
        << "the list is in the order the box shows";
    EXPECT_EQ(currentItem(*w), QStringLiteral("Beta"));
    EXPECT_EQ(w->detailTab(), 3);

    openCatalogue(*w, second);
    EXPECT_EQ(nameWidth(*w), nominal);
    EXPECT_EQ(w->sortChoice(), 1);
    EXPECT_EQ(currentItem(*w), QStringLiteral("Zawór"));
    EXPECT_EQ(w->detailTab(), 2);

    // An item deleted since: the list starts at its top.
    openCatalogue(*w, catalogue);
    leave(w);
    engine::Table items(catalogue, QStringLiteral("Towar"));
    items.open();
    for (items.first(); !items.eof(); items.next())
        if (items.asString(QStringLiteral("Tow_Nazwa")) == QStringLiteral("Beta")) {
            items.remove();
            break;
        }
    items.close();
    w = run();
    EXPECT_EQ(w->state().TFTowar.recNo(), 1);
    EXPECT_TRUE(errorTexts().isEmpty()) << errorTexts().join(u'\n').toStdString();
}

TEST_F(LayoutTest, ColumnsThatFillTheGridKeepTheProportionsTheUserGaveThem) {
    engine::Table k(catalogue, QStringLiteral("Konfig_i"));
    k.open();
    k.edit();
    k.setValue(QStringLiteral("Konfig_i_Dopasowany"), true);
    k.post();
    k.close();
    auto w = run();
    auto* grid = w->form().DBGrid_Towary;
    auto proportion = [&] {
        return double(nameWidth(*w)) / grid->fieldWidth(QStringLiteral("Tow_Symbol"));
    };
    const double designed = proportion();
    dragNameColumn(*w, nameWidth(*w) / 2);
    const double given = proportion();
    ASSERT_LT(given, designed * 0.6);
    // Laid out again, the columns fill the grid in the proportions the user left.
    w->showDetailTab(2);
    EXPECT_NEAR(proportion(), given, 0.05);
    leave(w);

    w = run();
    grid = w->form().DBGrid_Towary;
    EXPECT_NEAR(proportion(), given, 0.05);
}

TEST_F(LayoutTest, EachUserFindsTheirOwnLayout) {
    auto w = run(1);
    chooseSort(*w, 3);
    w->showDetailTab(2);
    leave(w);
    {
        // Only what the user set is kept: columns nobody dragged stay as the display
        // configuration has them.
        store::LayoutStore kept(main, 1);
        kept.load();
        EXPECT_EQ(kept.value(store::storedFolder(catalogue, main), "items/sort"), "3");
        EXPECT_FALSE(kept.contains(store::storedFolder(catalogue, main), "items/widths"));
    }

    w = run(2);
    EXPECT_EQ(w->sortChoice(), 0);
    EXPECT_EQ(w->detailTab(), 0);
    chooseSort(*w, 1);
    leave(w);

    w = run(1);
    EXPECT_EQ(w->sortChoice(), 3);
    EXPECT_EQ(w->detailTab(), 2);
}

TEST_F(LayoutTest, DialogsAndTheToolbarTextsKeepTheirLookAcrossRuns) {
    auto w = run();
    // Captions under the icons are the first look; the user put them beside.
    w->findChild<QAction*>(QStringLiteral("toolbarTextUnder"))->setChecked(false);
    // Made and owned by the window, as its dialogs are.
    auto dialog = [](shell::TForm_Pelk& w, const char* name) {
        auto* d = new QDialog(&w);
        d->setObjectName(QLatin1String(name));
        return d;
    };
    QDialog* closed = dialog(*w, "TEkr_Probny");
    QDialog* open = dialog(*w, "TEkr_Dlugi"); // a long-lived window, shown at exit
    for (QDialog* d : {closed, open}) {
        d->show();
        d->resize(345, 234);
    }
    closed->hide();
    open->resize(300, 210);
    leave(w);

    w = run();
    EXPECT_FALSE(w->findChild<QAction*>(QStringLiteral("toolbarTextUnder"))->isChecked());
    QDialog* again = dialog(*w, "TEkr_Probny");
    QDialog* longLived = dialog(*w, "TEkr_Dlugi");
    again->show();
    longLived->show();
    EXPECT_EQ(again->size(), QSize(345, 234));
    EXPECT_EQ(longLived->size(), QSize(300, 210));
    leave(w);
}

TEST_F(LayoutTest, ALayoutThatCannotBeWrittenDoesNotKeepTheWindowOpen) {
    // The table under that name holds something else: reading and writing it fail.
    engine::TableDef odd;
    odd.name = store::kLayoutTable;
    odd.fields = {{QStringLiteral("Inne"), engine::FieldType::Alpha, 10}};
    engine::Database::open(main)->createTable(odd);

    auto w = run();
    chooseSort(*w, 2);
    messages.answerYes();
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(messages.count(), 1) << "only the exit question";
    EXPECT_TRUE(errorTexts().isEmpty());
    EXPECT_FALSE(w->state().TPelk.isOpen()) << "the rest of the exit was done";
}

} // namespace
