#pragma once
#include "support/application.h"
#include "support/printing.h"
#include "support/widgets.h"
#include "ui/errorbox.h"
#include "ui/scriptfailure.h"
#include <QStringList>
#include <gtest/gtest.h>

// The program's application object, with the seams' test doubles failing the running test.
inline ui::Application& testApp() {
    static ui::Application& app = []() -> ui::Application& {
        auto& a = testsupport::application<ui::Application>();
        ui::setScriptFailureHandler([](const QString& m) { ADD_FAILURE() << m.toStdString(); });
        return a;
    }();
    return app;
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

using testsupport::child;
using testsupport::click;
using testsupport::typeText;

inline QLineEdit* lineEdit(QWidget* d, const char* name) {
    return d->findChild<QLineEdit*>(QLatin1String(name));
}
inline QPushButton* pushButton(QWidget* d, const char* name) {
    return d->findChild<QPushButton*>(QLatin1String(name));
}
