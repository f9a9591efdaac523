// Help topics: the nearest screen's context on the way up, "Pomoc" buttons and F1 on one path.
#include "ui/help.h"
#include "uitest.h"
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

struct HelpTest : UiTest {
    HelpTest() : guard(help) {}
    ui::FakeHelpViewer help;
    ui::ScopedHelpViewer guard;
};

TEST_F(HelpTest, TheNearestScreenOnTheWayUpGivesTheTopic) {
    QWidget main;
    ui::setHelpContext(&main, 100);
    QDialog screen(&main); // a dialog opened from the main window
    ui::setHelpContext(&screen, 300);
    auto* panel = new QWidget(&screen);
    auto* edit = new QLineEdit(panel);
    auto* pomoc = new QPushButton(QStringLiteral("Pomoc"), panel);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(edit);
    layout->addWidget(pomoc);
    ui::connectHelpButton(pomoc);
    QDialog box(&screen); // e.g. a message: no topic of its own, its screen's
    auto* inBox = new QLineEdit(&box);
    QDialog alone; // nothing names a topic: the contents

    QTest::keyClick(edit, Qt::Key_F1);
    pomoc->click();
    QTest::keyClick(inBox, Qt::Key_F1);
    QTest::keyClick(&main, Qt::Key_F1);
    QTest::keyClick(&alone, Qt::Key_F1);
    EXPECT_EQ(help.topics, (QList<int>{300, 300, 300, 100, 0}));

    // Other keys and F1 with a modifier go on to the widget.
    QTest::keyClick(edit, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(edit, Qt::Key_A);
    EXPECT_EQ(help.topics.size(), 5);
    EXPECT_EQ(edit->text(), QStringLiteral("a"));
}

} // namespace
