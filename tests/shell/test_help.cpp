// F1 opens the help at the topic of the screen it is pressed in, and the help has a section for
// every screen's topic.
#include "fixture.h"
#include "shell/helpwindow.h"
#include "ui/help.h"
#include <QAbstractItemView>
#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <functional>

using namespace shelltest;

namespace {

// The anchors of the help, by name.
QSet<QString> helpAnchors() {
    shell::THelpWindow help;
    QSet<QString> names;
    const QTextDocument* doc = help.browser()->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            for (const QString& name : it.fragment().charFormat().anchorNames())
                names.insert(name);
    return names;
}

// Where a user's F1 lands in a screen: the widget with the focus, else an edit box or a list.
QWidget* keyTarget(QWidget& screen) {
    if (QWidget* focus = screen.focusWidget()) return focus;
    if (auto* edit = screen.findChild<QLineEdit*>()) return edit;
    if (auto* list = screen.findChild<QAbstractItemView*>()) return list;
    return &screen;
}

class HelpTest : public ShellTest {
protected:
    HelpTest() : helpGuard_(help) {}

    ui::FakeHelpViewer help;

private:
    ui::ScopedHelpViewer helpGuard_;
};

TEST_F(HelpTest, F1OpensTheTopicOfTheScreenItIsPressedIn) {
    makeMainFolder({QStringLiteral("Lampa"), QStringLiteral("Klosz")});
    auto w = startWindow();
    ASSERT_EQ(outcome, shell::MainController::StartOutcome::Running);
    w->state().PriceRight = true; // purchase prices open only with it
    const auto action = [&w](const char* name) {
        return [&w, name] { w->findChild<QAction*>(QLatin1String(name))->trigger(); };
    };

    struct Screen {
        const char* folder;
        const char* dialog; // nullptr: the main window itself
        int context;
        std::function<void()> open;
    };
    const Screen screens[] = {
        {"shell", nullptr, 100, {}},
        {"shell", "TEkr_Uzytkownicy", 1710, action("Uytkownicy1")},
        {"items", "TEkr_Aktualizacja_Grupa", 200, action("Wasno1")},
        {"items", "TEkr_Tow_Wlasnosci", 1010, action("Modyfikuj1")},
        {"partners", "TEkr_Aktualizacja_Firma", 300, action("Firmy1")},
        {"partners", "TEkr_Aktualizacja_Waluta", 900, action("Waluty1")},
        {"prices", "TEkr_ceny", 1100, action("Modyfikuj6")},
        {"drawings", "TEkr_Rysunki", 1200, action("Rysnki1")},
        {"drawings", "TEkr_Kartoteki_Rysunki", 1250, action("Modyfikuj5")},
        {"files", "TEkr_Skojarzenia", 1600, action("Skojarzeniazaplikacjami1")},
        {"search", "TEkr_Filtr", 2300, [&w] { w->BB_FiltrClick(); }},
        {"search", "TEkr_Query", 2000, [&w] { w->BB_ZapytanieClick(); }},
        {"relations", "TEkr_Sklada_sie", 1300, action("Modyfikuj3")},
    };
    const QSet<QString> anchors = helpAnchors();
    for (const Screen& s : screens) {
        SCOPED_TRACE(std::string(s.folder) + " " + (s.dialog ? s.dialog : "main window"));
        help.topics.clear();
        if (!s.dialog) {
            QTest::keyClick(w->form().DBGrid_Towary, Qt::Key_F1);
        } else {
            runner.on(QLatin1String(s.dialog),
                      [](QDialog& d) { QTest::keyClick(keyTarget(d), Qt::Key_F1); });
            s.open();
            EXPECT_EQ(runner.opened().value(runner.opened().size() - 1), QLatin1String(s.dialog));
        }
        EXPECT_EQ(help.topics, QList<int>{s.context});
        EXPECT_TRUE(anchors.contains(QString::number(s.context))) << "no section in the help";
    }
    EXPECT_EQ(runner.pendingScripts(), 0);
}

// Every screen's topic has its section, in Polish, in the help.
TEST(HelpPages, EveryScreenHasASection) {
    application();
    const int contexts[] = {100, 1700, 1710, 1720, 1730, 1740, 1750, 1760, 400,  200,
                            800, 810,  1000, 1010, 1020, 1300, 1400, 1500, 2300, 2000,
                            300, 700,  500,  600,  900,  1100, 1200, 1250, 2800, 1600};
    const QSet<QString> anchors = helpAnchors();
    for (int c : contexts)
        EXPECT_TRUE(anchors.contains(QString::number(c))) << c;
}

// Without a stand-in the program's own help window shows the topic, also over a modal dialog;
// "Tematy pomocy" shows the contents.
TEST_F(ShellTest, TheHelpWindowShowsTheTopicAskedFor) {
    makeMainFolder({QStringLiteral("Lampa")});
    auto w = startWindow();
    const auto shownHelp = []() -> shell::THelpWindow* {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (auto* h = qobject_cast<shell::THelpWindow*>(t); h && h->isVisible()) return h;
        return nullptr;
    };
    runner.on(QStringLiteral("TEkr_Aktualizacja_Firma"), [&](QDialog& d) {
        QTest::keyClick(keyTarget(d), Qt::Key_F1);
        shell::THelpWindow* h = shownHelp();
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(h->browser()->source(), shell::THelpWindow::topicUrl(300));
        EXPECT_TRUE(h->browser()->toPlainText().contains(QStringLiteral("Firmy")));
    });
    w->findChild<QAction*>(QStringLiteral("Firmy1"))->trigger();
    w->form().Tematy1->trigger();
    shell::THelpWindow* h = shownHelp();
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->browser()->source(), shell::THelpWindow::topicUrl(0));
}

} // namespace
