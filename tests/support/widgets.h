#pragma once
// Controls of a screen found by object name, and buttons pressed as a user presses them.
#include <QAbstractButton>
#include <QAction>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

namespace testsupport {

template <class W = QWidget> W* child(const QWidget& parent, const char* name) {
    W* w = parent.findChild<W*>(QLatin1String(name));
    EXPECT_NE(w, nullptr) << "no control " << name;
    return w;
}
template <class W = QWidget> W* child(const QWidget* parent, const char* name) {
    return child<W>(*parent, name);
}

// A press of the button named `name`: a user reaches only a button that is shown and enabled,
// so pressing one that is not fails the test instead of running its handler anyway.
inline void click(const QWidget& parent, const char* name) {
    auto* b = child<QAbstractButton>(parent, name);
    if (!b) return;
    if (!b->isVisibleTo(b->window()) || !b->isEnabled()) {
        ADD_FAILURE() << name << " cannot be pressed: "
                      << (b->isEnabled() ? "it is hidden" : "it is disabled");
        return;
    }
    b->click();
}
inline void click(const QWidget* parent, const char* name) {
    click(*parent, name);
}

// The command named `name` chosen from the main window's menu: only an enabled, shown command
// can be chosen.
inline void trigger(const QWidget& window, const char* name) {
    auto* a = window.findChild<QAction*>(QLatin1String(name));
    if (!a) {
        ADD_FAILURE() << "no command " << name;
        return;
    }
    if (!a->isVisible() || !a->isEnabled()) {
        ADD_FAILURE() << name << " cannot be chosen: "
                      << (a->isEnabled() ? "it is hidden" : "it is disabled");
        return;
    }
    a->trigger();
}

// Typed key by key, Polish letters too (QTest::keyClicks knows only ASCII).
inline void typeText(QWidget* w, const QString& text) {
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace testsupport
