#include "platform/clock.h"
#include "store/mainstate.h"
#include "ui/E_Kalend.h"
#include "ui/modalrunner.h"
#include "ui/uitest.h"
#include "ui_E_Kalend.h"
#include <QLineEdit>
#include <QTableView>
#include <QTest>

namespace {

// The picker as the program holds it: one object for the whole run, opened by callers through
// the modal runner, with today from a clock that stands still.
class CalendarTest : public UiTest {
protected:
    CalendarTest() : clockGuard_(clock), runnerGuard_(runner) {}

    // Opens the picker once; `user` plays the user's part on its controls.
    int open(const std::function<void(Ui::TEkr_Kalendarz&)>& user) {
        runner.on(QStringLiteral("TEkr_Kalendarz"), [&](QDialog& d) {
            EXPECT_TRUE(d.isVisible());
            EXPECT_FALSE(state.DatePicked) << "every opening starts with nothing chosen";
            Ui::TEkr_Kalendarz f = controls(d);
            user(f);
        });
        return ui::modalRunner().run(picker());
    }

    ui::TEkr_Kalendarz& picker() { return ui::datePicker(state); }

    // The form's controls, found by name as a caller's test would.
    static Ui::TEkr_Kalendarz controls(QDialog& d) {
        Ui::TEkr_Kalendarz ui;
        ui.Kalendarz = d.findChild<QCalendarWidget*>(QStringLiteral("Kalendarz"));
        ui.Edit_Miesiac = d.findChild<QComboBox*>(QStringLiteral("Edit_Miesiac"));
        ui.Edit_rok = d.findChild<QSpinBox*>(QStringLiteral("Edit_rok"));
        ui.BB_Wybierz = d.findChild<QPushButton*>(QStringLiteral("BB_Wybierz"));
        ui.BB_Anuluj = d.findChild<QPushButton*>(QStringLiteral("BB_Anuluj"));
        EXPECT_TRUE(ui.Kalendarz && ui.Edit_Miesiac && ui.Edit_rok && ui.BB_Wybierz &&
                    ui.BB_Anuluj);
        return ui;
    }

    // Moves the calendar to `date` through the month and year boxes and the day cell, as the
    // user does.
    static void showDate(Ui::TEkr_Kalendarz& f, QDate date) {
        f.Edit_rok->setValue(date.year());
        f.Edit_Miesiac->setCurrentIndex(date.month() - 1);
        const auto [view, at] = dayCell(f, date.day());
        QTest::mouseClick(view, Qt::LeftButton, {}, at);
        ASSERT_EQ(f.Kalendarz->selectedDate(), date);
    }

    // Where the shown month's day `day` is drawn.
    static std::pair<QWidget*, QPoint> dayCell(Ui::TEkr_Kalendarz& f, int day) {
        auto* view = f.Kalendarz->findChild<QTableView*>();
        auto* model = view->model();
        // A day number seen after the first of the month shown is that month's own day.
        bool inMonth = false;
        for (int r = 0; r < model->rowCount(); ++r)
            for (int c = 0; c < model->columnCount(); ++c) {
                const QModelIndex i = model->index(r, c);
                bool number = false;
                const int n = model->data(i).toInt(&number);
                if (!number) continue; // the day names' row
                if (n == 1) inMonth = !inMonth;
                if (inMonth && n == day) return {view->viewport(), view->visualRect(i).center()};
            }
        ADD_FAILURE() << "no cell for day " << day;
        return {view->viewport(), {}};
    }

    store::MainState state;
    platform::FakeClock clock{QDate(2024, 3, 31)};
    ui::ScriptedModalRunner runner;

private:
    platform::ScopedClock clockGuard_;
    ui::ScopedModalRunner runnerGuard_;
};

TEST_F(CalendarTest, FormAndItsBoxes) {
    auto& d = picker();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Kalendarz"));
    EXPECT_TRUE(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    auto f = controls(d);
    EXPECT_EQ(f.Kalendarz->firstDayOfWeek(), Qt::Monday);
    EXPECT_EQ(f.Kalendarz->locale().language(), QLocale::Polish);
    EXPECT_EQ(f.BB_Wybierz->text(), QStringLiteral("Wybierz"));
    EXPECT_TRUE(f.BB_Wybierz->isDefault());
    EXPECT_EQ(f.BB_Anuluj->text(), QStringLiteral("Anuluj"));

    const QStringList months = {
        QStringLiteral("styczeń"),     QStringLiteral("luty"),     QStringLiteral("marzec"),
        QStringLiteral("kwiecień"),    QStringLiteral("maj"),      QStringLiteral("czerwiec"),
        QStringLiteral("lipiec"),      QStringLiteral("sierpień"), QStringLiteral("wrzesień"),
        QStringLiteral("październik"), QStringLiteral("listopad"), QStringLiteral("grudzień")};
    QStringList shown;
    for (int i = 0; i < f.Edit_Miesiac->count(); ++i)
        shown << f.Edit_Miesiac->itemText(i);
    EXPECT_EQ(shown, months);

    // Made showing today, with the boxes on today's month.
    EXPECT_EQ(d.shownDate(), QDate(2024, 3, 31));
    EXPECT_EQ(f.Edit_Miesiac->currentIndex(), 2);
    EXPECT_EQ(f.Edit_rok->value(), 2024);
    EXPECT_FALSE(state.DatePicked);

    // The year moves by its arrows, within 1990..2090, and ignores typing.
    f.Edit_rok->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(f.Edit_rok, QStringLiteral("1995"));
    EXPECT_EQ(f.Edit_rok->value(), 2024);
    EXPECT_EQ(f.Edit_rok->findChild<QLineEdit*>()->text(), QStringLiteral("2024"));
    QTest::keyClick(f.Edit_rok, Qt::Key_Up);
    EXPECT_EQ(f.Edit_rok->value(), 2025);
    EXPECT_EQ(d.shownDate(), QDate(2025, 3, 31));
    f.Edit_rok->setValue(2090);
    QTest::keyClick(f.Edit_rok, Qt::Key_Up);
    EXPECT_EQ(f.Edit_rok->value(), 2090);
    f.Edit_rok->setValue(1990);
    QTest::keyClick(f.Edit_rok, Qt::Key_Down);
    EXPECT_EQ(f.Edit_rok->value(), 1990);
    EXPECT_EQ(d.shownDate(), QDate(1990, 3, 31));
}

TEST_F(CalendarTest, DayMissingFromTheNewMonthBecomesItsLastDay) {
    auto f = controls(picker());
    f.Edit_Miesiac->setCurrentIndex(1); // 31 March 2024 -> February of a leap year
    EXPECT_EQ(picker().shownDate(), QDate(2024, 2, 29));
    f.Edit_rok->setValue(2023);
    EXPECT_EQ(picker().shownDate(), QDate(2023, 2, 28));

    f.Edit_Miesiac->setCurrentIndex(2);
    EXPECT_EQ(picker().shownDate(), QDate(2023, 3, 28)) << "the day stays where it was put";
    f.Kalendarz->setSelectedDate(QDate(2023, 3, 31));
    f.Edit_Miesiac->setCurrentIndex(1); // ... and of a common year
    EXPECT_EQ(picker().shownDate(), QDate(2023, 2, 28));
    f.Edit_Miesiac->setCurrentIndex(3);
    EXPECT_EQ(picker().shownDate(), QDate(2023, 4, 28));
}

TEST_F(CalendarTest, CalendarMovedOnItsOwnTakesTheBoxesAlong) {
    auto f = controls(picker());
    // One day on from the last of March, by the keyboard.
    QTest::keyClick(f.Kalendarz->findChild<QTableView*>(), Qt::Key_Right);
    EXPECT_EQ(picker().shownDate(), QDate(2024, 4, 1));
    EXPECT_EQ(f.Edit_Miesiac->currentIndex(), 3);
    f.Kalendarz->setSelectedDate(QDate(2024, 12, 31));
    QTest::keyClick(f.Kalendarz->findChild<QTableView*>(), Qt::Key_Right);
    EXPECT_EQ(f.Edit_Miesiac->currentIndex(), 0);
    EXPECT_EQ(f.Edit_rok->value(), 2025);
}

TEST_F(CalendarTest, ChosenWithWybierzOrDoubleClickAndReshownNextTime) {
    EXPECT_EQ(open([](Ui::TEkr_Kalendarz& f) {
                  EXPECT_EQ(f.Kalendarz->selectedDate(), QDate(2024, 3, 31));
                  showDate(f, QDate(2021, 7, 5));
                  QTest::mouseClick(f.BB_Wybierz, Qt::LeftButton);
              }),
              QDialog::Accepted);
    EXPECT_TRUE(state.DatePicked);
    EXPECT_EQ(state.PickedDate, QStringLiteral("05-07-2021"));

    state.DatePicked = true; // left over from the caller; the opening clears it
    EXPECT_EQ(open([](Ui::TEkr_Kalendarz& f) {
                  EXPECT_EQ(f.Kalendarz->selectedDate(), QDate(2021, 7, 5)) << "not today";
                  EXPECT_EQ(f.Edit_Miesiac->currentIndex(), 6);
                  EXPECT_EQ(f.Edit_rok->value(), 2021);
                  f.Edit_Miesiac->setCurrentIndex(1);
                  const auto [view, at] = dayCell(f, 17);
                  // A double-click reaches a widget as press, release, double-click.
                  QTest::mouseClick(view, Qt::LeftButton, {}, at);
                  QTest::mouseDClick(view, Qt::LeftButton, {}, at);
              }),
              QDialog::Accepted);
    EXPECT_TRUE(state.DatePicked);
    EXPECT_EQ(state.PickedDate, QStringLiteral("17-02-2021"));

    // Enter in the form picks the default button.
    EXPECT_EQ(open([](Ui::TEkr_Kalendarz& f) {
                  f.Edit_rok->setValue(2030);
                  QTest::keyClick(f.Edit_Miesiac, Qt::Key_Return);
              }),
              QDialog::Accepted);
    EXPECT_EQ(state.PickedDate, QStringLiteral("17-02-2030"));
}

TEST_F(CalendarTest, CancelledPickerKeepsThePreviousChoice) {
    open([](Ui::TEkr_Kalendarz& f) {
        showDate(f, QDate(2022, 11, 30));
        f.BB_Wybierz->click();
    });
    ASSERT_EQ(state.PickedDate, QStringLiteral("30-11-2022"));

    EXPECT_EQ(open([](Ui::TEkr_Kalendarz& f) {
                  showDate(f, QDate(2010, 1, 2));
                  QTest::mouseClick(f.BB_Anuluj, Qt::LeftButton);
              }),
              QDialog::Rejected);
    EXPECT_FALSE(state.DatePicked);
    EXPECT_EQ(state.PickedDate, QStringLiteral("30-11-2022"));

    EXPECT_EQ(open([](Ui::TEkr_Kalendarz& f) {
                  // The date shown when it was last closed, even though it was not chosen.
                  EXPECT_EQ(f.Kalendarz->selectedDate(), QDate(2010, 1, 2));
                  f.Edit_rok->setValue(2011);
                  QTest::keyClick(f.Edit_Miesiac, Qt::Key_Escape);
              }),
              QDialog::Rejected);
    EXPECT_FALSE(state.DatePicked);
    EXPECT_EQ(state.PickedDate, QStringLiteral("30-11-2022"));
}

// Two screens that each ask for a date through pickDate share the one picker: the second opens it
// where the first left it, and each learns only its own answer.
TEST_F(CalendarTest, PickDateSharesOnePickerBetweenScreens) {
    QDialog first, second;
    first.setObjectName(QStringLiteral("first"));
    second.setObjectName(QStringLiteral("second"));
    std::optional<QDate> firstAnswer, secondAnswer;
    runner.on(QStringLiteral("first"), [&](QDialog&) { firstAnswer = ui::pickDate(state); });
    runner.on(QStringLiteral("TEkr_Kalendarz"), [](QDialog& d) {
        Ui::TEkr_Kalendarz f = controls(d);
        showDate(f, QDate(2019, 9, 14));
        f.BB_Wybierz->click();
    });
    runner.on(QStringLiteral("second"), [&](QDialog&) { secondAnswer = ui::pickDate(state); });
    runner.on(QStringLiteral("TEkr_Kalendarz"), [](QDialog& d) {
        Ui::TEkr_Kalendarz f = controls(d);
        EXPECT_EQ(f.Kalendarz->selectedDate(), QDate(2019, 9, 14));
        f.BB_Anuluj->click();
    });
    ui::modalRunner().run(first);
    ui::modalRunner().run(second);

    EXPECT_EQ(firstAnswer, QDate(2019, 9, 14));
    EXPECT_EQ(secondAnswer, std::nullopt) << "cancelled";
    EXPECT_EQ(state.PickedDate, QStringLiteral("14-09-2019"));
    EXPECT_EQ(&ui::datePicker(state), &picker());
}

} // namespace
