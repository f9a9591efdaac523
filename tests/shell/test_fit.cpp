// The main window on a small screen: it fits 1024 x 700 with every control of the list on it,
// the toolbar has icons on a system without an icon theme, the menus carry the standard
// shortcuts beside the list's own keys, and Tab goes round the list, not the toolbar.
#include "offers/E_of_spi.h"
#include "offers/REMain.h"
#include "orders/E_Zamow.h"
#include "orders/Otw_Zam.h"
#include "shell/fixture.h"
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QTabBar>
#include <QToolBar>
#include <QToolButton>

using namespace shelltest;

namespace {

const QSize kSmallScreen(1024, 700);

class FitTest : public ShellTest {
protected:
    std::unique_ptr<shell::TForm_Pelk> startShown() {
        makeMainFolder(
            {QStringLiteral("Adapter"), QStringLiteral("Łożysko"), QStringLiteral("Zawór")});
        auto w = startWindow();
        EXPECT_EQ(outcome, shell::MainController::StartOutcome::Running);
        w->setWindowState(Qt::WindowNoState);
        w->resize(kSmallScreen);
        w->show();
        w->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(w.get()));
        return w;
    }

    static QList<QToolButton*> toolbarButtons(shell::TForm_Pelk& w) {
        QList<QToolButton*> buttons;
        for (QToolButton* b : w.form().Panel_Narzedzi->findChildren<QToolButton*>())
            if (b->objectName().startsWith(QLatin1String("SpeedButton"))) buttons << b;
        return buttons;
    }
};

bool inside(const QWidget& window, const QWidget* w) {
    return window.rect().contains(QRect(w->mapTo(&window, QPoint(0, 0)), w->size()));
}

} // namespace

TEST_F(FitTest, WindowFitsTheSmallScreenWithEveryControlOfTheListOnIt) {
    auto w = startShown();
    auto& f = w->form();
    const QSize least = w->minimumSizeHint();
    EXPECT_LE(least.width(), kSmallScreen.width());
    EXPECT_LE(least.height(), kSmallScreen.height());
    ASSERT_EQ(w->size(), kSmallScreen) << "something holds the window larger";

    for (QWidget* c : std::initializer_list<QWidget*>{
             f.Edit_Szukaj_Towar, f.Panel_Status, f.Label_Wyswietlaj_wg, f.Wyswietlaj_wg,
             f.DBGrid_Towary, f.TNotebook, f.GB_Liczba_Pozycji, f.SpeedButton5})
        EXPECT_TRUE(c->isVisible() && inside(*w, c)) << c->objectName().toStdString();
    EXPECT_GE(f.SpeedButton5->mapTo(w.get(), QPoint(0, 0)).x() + f.SpeedButton5->width(),
              w->width() - 16)
        << "Koniec keeps to the right edge";
    // The last column ends inside the grid's scroll area; the counter shows the items.
    EXPECT_EQ(f.Label_Licznik->text(), QStringLiteral("3"));
    EXPECT_TRUE(f.DBGrid_Towary->horizontalScrollBar()->isVisible() ||
                f.DBGrid_Towary->horizontalHeader()->length() <=
                    f.DBGrid_Towary->viewport()->width());

    // Every command of the bar is on it; with the captions beside the icons the groups that no
    // longer fit wait behind the bar's extension button instead of widening the window.
    for (QToolButton* b : toolbarButtons(*w))
        EXPECT_TRUE(b->isHidden() || inside(*w, b)) << b->objectName().toStdString();
    w->findChild<QAction*>(QStringLiteral("toolbarTextUnder"))->setChecked(false);
    QApplication::processEvents();
    EXPECT_LE(w->minimumSizeHint().width(), kSmallScreen.width());
    EXPECT_EQ(w->width(), kSmallScreen.width());
    auto* extension =
        f.Panel_Narzedzi->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
    ASSERT_NE(extension, nullptr);
    EXPECT_TRUE(extension->isVisible());
    EXPECT_TRUE(inside(*w, extension));
}

TEST_F(FitTest, ToolbarIconsComeWithTheProgramWhenTheDesktopHasNoTheme) {
    const QStringList paths = QIcon::themeSearchPaths(), fallback = QIcon::fallbackSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({tmp.sub(QStringLiteral("ikony"))});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("brak"));
    makeMainFolder();
    auto w = startWindow();
    for (QToolButton* b : toolbarButtons(*w)) {
        EXPECT_FALSE(b->icon().isNull()) << b->objectName().toStdString();
        EXPECT_FALSE(b->icon().pixmap(24).isNull()) << b->objectName().toStdString();
    }
    // A shared command shows the same icon in its menu.
    EXPECT_FALSE(w->form().Nowy1->icon().isNull());
    QIcon::setThemeName(theme);
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackSearchPaths(fallback);
}

TEST_F(FitTest, ToolbarGroupsAreSeparatedAndCaptionsGoUnderOrBesideTheIcons) {
    makeMainFolder();
    auto w = startWindow();
    auto& f = w->form();
    auto separators = [&] {
        int n = 0;
        for (QAction* a : f.Panel_Narzedzi->actions())
            n += a->isSeparator() && a->isVisible();
        return n;
    };
    // Catalogue, item, search, item files, company files, printing; the order group waits for
    // an open order and brings its own separator.
    EXPECT_EQ(separators(), 5);
    f.SpeedButton_Dok_Dodaj->show();
    EXPECT_EQ(separators(), 6);
    f.SpeedButton_Dok_Dodaj->hide();
    EXPECT_EQ(separators(), 5);

    auto* under = w->findChild<QAction*>(QStringLiteral("toolbarTextUnder"));
    ASSERT_NE(under, nullptr);
    EXPECT_TRUE(f.Pokaz1->actions().contains(under));
    EXPECT_TRUE(under->isCheckable());
    EXPECT_TRUE(under->isChecked());
    for (QToolButton* b : toolbarButtons(*w))
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon)
            << b->objectName().toStdString();
    under->trigger();
    for (QToolButton* b : toolbarButtons(*w))
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextBesideIcon)
            << b->objectName().toStdString();
    // The setting as another part of the program restores it, without a click.
    under->setChecked(true);
    EXPECT_EQ(f.SpeedButton17->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    EXPECT_EQ(f.SpeedButton17->text(), QStringLiteral("Filtr"));
}

TEST_F(FitTest, MenuCommandsShowStandardShortcutsAndTheListKeepsItsOwnKeys) {
    auto w = startShown();
    auto& f = w->form();
    const std::pair<const char*, QKeySequence> keys[] = {
        {"Szukaj1", QKeySequence(Qt::CTRL | Qt::Key_F)},
        {"Nowy1", QKeySequence(Qt::CTRL | Qt::Key_N)},
        {"Edycja2", QKeySequence(Qt::Key_F2)},
        {"Odwie1", QKeySequence(Qt::Key_F5)},
        {"Drukuj2", QKeySequence(Qt::CTRL | Qt::Key_P)},
        {"Koniec1", QKeySequence(Qt::ALT | Qt::Key_F4)}};
    for (const auto& [name, key] : keys) {
        auto* a = w->findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->shortcut(), key) << name;
        bool inMenu = false;
        for (QMenu* m : f.MainMenu1->findChildren<QMenu*>())
            inMenu = inMenu || m->actions().contains(a);
        EXPECT_TRUE(inMenu) << name;
    }

    QStringList modes;
    w->controller().runItemEditor = [&] { modes << w->state().ItemEditMode; };
    f.DBGrid_Towary->setFocus();
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_F2);
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_N, Qt::ControlModifier);
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_Insert); // the list's own key for a new item
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_Return); // and for a change
    EXPECT_EQ(modes, (QStringList{QStringLiteral("Edycja"), QStringLiteral("Nowy"),
                                  QStringLiteral("Nowy"), QStringLiteral("Edycja")}));

    // Ctrl+F: to the search field with its text chosen, so that typing starts a new search.
    f.Edit_Szukaj_Towar->setText(QStringLiteral("Ada"));
    f.DBGrid_Towary->setFocus();
    QTest::keyClick(f.DBGrid_Towary, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), f.Edit_Szukaj_Towar);
    EXPECT_EQ(f.Edit_Szukaj_Towar->selectedText(), QStringLiteral("Ada"));
    w->controller().runItemEditor = nullptr;
}

TEST_F(FitTest, TabGoesRoundTheSearchFieldTheListAndTheNotebook) {
    auto w = startShown();
    auto& f = w->form();
    f.Edit_Szukaj_Towar->setFocus();
    QWidget* tabs = f.TNotebook->tabBar();
    QList<QWidget*> visited;
    for (int i = 0; i < 12; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << QApplication::focusWidget();
        if (visited.last() == f.Edit_Szukaj_Towar) break;
    }
    ASSERT_GE(visited.size(), 3);
    EXPECT_EQ(visited[0], f.DBGrid_Towary);
    EXPECT_EQ(visited[1], tabs);
    EXPECT_EQ(visited.last(), f.Edit_Szukaj_Towar) << "Tab does not come back to the search field";
    for (QWidget* v : visited) {
        ASSERT_NE(v, nullptr);
        EXPECT_FALSE(qobject_cast<QToolButton*>(v)) << v->objectName().toStdString();
        EXPECT_TRUE(v == f.Edit_Szukaj_Towar || v == f.DBGrid_Towary ||
                    f.Panel_Zakladki->isAncestorOf(v))
            << v->objectName().toStdString() << " is not the list or the notebook";
    }
}

TEST_F(FitTest, TheOtherLongLivedWindowsFitTheSmallScreenToo) {
    makeMainFolder();
    auto w = startWindow();
    std::vector<std::pair<const char*, QWidget*>> windows{
        {"order list", orders::mainOrderList()},
        {"order editor", &orders::orderEditor(w->state(), w.get())},
        {"offer editor", &w->offerEditor()},
        {"offer list", &w->offerList()}};
    for (const auto& [name, window] : windows) {
        ASSERT_NE(window, nullptr) << name;
        const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
        EXPECT_LE(least.width(), kSmallScreen.width()) << name;
        EXPECT_LE(least.height(), kSmallScreen.height()) << name;
    }
}
