// Windows brought back where the user left them, and never out of reach.
#include "store/layoutstore.h"
#include "ui/windowplaces.h"
#include "uitest.h"
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace {

const QRect kLeft(0, 0, 1920, 1040);    // a screen's area above its task bar
const QRect kRight(1920, 0, 1280, 984); // a smaller screen to its right

TEST(PlacedOnScreen, AWindowWithinAScreenStaysAsItIs) {
    EXPECT_EQ(ui::placedOnScreen({100, 50, 800, 600}, {kLeft}), QRect(100, 50, 800, 600));
    EXPECT_EQ(ui::placedOnScreen({2000, 100, 800, 600}, {kLeft, kRight}),
              QRect(2000, 100, 800, 600));
    EXPECT_EQ(ui::placedOnScreen({5000, 5000, 800, 600}, {}), QRect(5000, 5000, 800, 600))
        << "no screens known: nothing to go by";
}

TEST(PlacedOnScreen, AWindowOffEveryScreenComesOntoTheNearest) {
    // The right screen was taken away: its window comes to the left one's edge.
    EXPECT_EQ(ui::placedOnScreen({2200, 100, 800, 600}, {kLeft}), QRect(1120, 100, 800, 600));
    // Far below and left of everything.
    EXPECT_EQ(ui::placedOnScreen({-3000, 4000, 640, 480}, {kLeft, kRight}),
              QRect(0, 560, 640, 480));
    // Nearer to the right screen than to the left one.
    EXPECT_EQ(ui::placedOnScreen({4000, -900, 400, 300}, {kLeft, kRight}),
              QRect(2800, 0, 400, 300));
}

TEST(PlacedOnScreen, AWindowAcrossScreensGoesToTheOneHoldingMostOfIt) {
    EXPECT_EQ(ui::placedOnScreen({1700, 100, 800, 600}, {kLeft, kRight}),
              QRect(1920, 100, 800, 600));
    EXPECT_EQ(ui::placedOnScreen({1500, 100, 800, 600}, {kLeft, kRight}),
              QRect(1120, 100, 800, 600));
    // Half above the top of the screen: the title bar must be reachable.
    EXPECT_EQ(ui::placedOnScreen({100, -300, 800, 600}, {kLeft}), QRect(100, 0, 800, 600));
}

TEST(PlacedOnScreen, AWindowLargerThanItsScreenIsMadeToFit) {
    // Left at 1920 x 1200 on a screen now smaller.
    EXPECT_EQ(ui::placedOnScreen({0, 0, 1920, 1200}, {kRight}), QRect(1920, 0, 1280, 984));
    EXPECT_EQ(ui::placedOnScreen({-50, 10, 2500, 700}, {kLeft}), QRect(0, 10, 1920, 700));
}

struct DialogPlacesTest : UiTest {
    store::LayoutStore store{QStringLiteral("/nonexistent"), 0};
    ui::DialogPlaces places{store};

    static std::unique_ptr<QDialog> dialog(const QString& name) {
        auto d = std::make_unique<QDialog>();
        d->setObjectName(name);
        d->setMinimumSize(100, 80);
        return d;
    }
    static QRect available() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(DialogPlacesTest, ADialogComesBackAsLargeAndWhereItWasLeft) {
    const QRect left(available().topLeft() + QPoint(30, 40), QSize(333, 222));
    {
        auto d = dialog("TEkr_Probny");
        d->show();
        d->setGeometry(left);
        d->hide();
    }
    EXPECT_TRUE(store.contains({}, "dialog/TEkr_Probny"));
    EXPECT_TRUE(store.changed());

    auto again = dialog("TEkr_Probny");
    again->show();
    EXPECT_EQ(again->size(), QSize(333, 222));
    EXPECT_EQ(again->geometry(), left);

    auto other = dialog("TEkr_Inny");
    other->resize(150, 100);
    other->show();
    EXPECT_EQ(other->size(), QSize(150, 100)) << "another dialog keeps its own size";
}

TEST_F(DialogPlacesTest, ADialogLeftOffScreenShowsOnScreen) {
    {
        auto d = dialog("TEkr_Daleko");
        d->show();
        d->setGeometry(available().right() + 3000, available().bottom() + 2000, 300, 200);
        d->hide();
    }
    auto again = dialog("TEkr_Daleko");
    again->show();
    EXPECT_TRUE(available().contains(again->geometry()))
        << again->geometry().x() << "," << again->geometry().y();
    EXPECT_EQ(again->size(), QSize(300, 200));
}

TEST_F(DialogPlacesTest, MessageBoxesAndNamelessDialogsAreNotRemembered) {
    QMessageBox box;
    box.setObjectName("Pytanie");
    box.show();
    box.hide();
    QDialog nameless;
    nameless.show();
    nameless.hide();
    EXPECT_FALSE(store.changed());
    EXPECT_EQ(ui::DialogPlaces::keyOf(nameless), QString());
    EXPECT_EQ(ui::DialogPlaces::keyOf(*dialog("TEkr_Filtr")), "dialog/TEkr_Filtr");
}

TEST_F(DialogPlacesTest, ATextThatIsNoGeometryLeavesTheWindowAlone) {
    store.setValue({}, "dialog/TEkr_Zepsuty", "to nie jest geometria");
    auto d = dialog("TEkr_Zepsuty");
    d->resize(210, 110);
    d->show();
    EXPECT_EQ(d->size(), QSize(210, 110));
    EXPECT_FALSE(ui::restoreWindowGeometry(*d, QString()));
}

} // namespace
