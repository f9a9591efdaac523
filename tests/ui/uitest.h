#pragma once
#include "ui/errorbox.h"
#include "ui/scriptfailure.h"
#include <QStringList>
#include <gtest/gtest.h>

// The application object of a ui test program, made on first use (gtest_main owns main()).
// It is never destroyed: Qt's own globals may be gone by the time static objects are.
inline ui::Application& testApp() {
    static ui::Application* app = [] {
        static int argc = 1;
        static char name[] = "pelk-ui-test";
        static char* argv[] = {name, nullptr};
        auto* a = new ui::Application(argc, argv);
        ui::setScriptFailureHandler([](const QString& m) { ADD_FAILURE() << m.toStdString(); });
        return a;
    }();
    return *app;
}

struct UiTest : ::testing::Test {
    UiTest() { testApp(); }
};

// Collects the failures the seams' test doubles report, instead of failing the test, while it
// lives: for tests of the doubles themselves.
class CaptureScriptFailures {
public:
    CaptureScriptFailures() {
        ui::setScriptFailureHandler([this](const QString& m) { failures << m; });
    }
    ~CaptureScriptFailures() {
        ui::setScriptFailureHandler([](const QString& m) { ADD_FAILURE() << m.toStdString(); });
    }
    QStringList failures;
};

// Readable QStrings in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// --- Dialog tests ---
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

// A dialog made with `args`, shown and active as the modal runner shows it, so that focus moves
// as for a user.
template <class D, class... Args> std::unique_ptr<D> showActive(Args&&... args) {
    auto d = std::make_unique<D>(std::forward<Args>(args)...);
    d->show();
    d->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(d.get()));
    return d;
}

// Typed key by key, Polish letters too (QTest::keyClicks knows only ASCII).
inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

inline QLineEdit* lineEdit(QWidget* d, const char* name) {
    return d->findChild<QLineEdit*>(QLatin1String(name));
}
inline QPushButton* pushButton(QWidget* d, const char* name) {
    return d->findChild<QPushButton*>(QLatin1String(name));
}
