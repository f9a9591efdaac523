#pragma once
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace shell {

// Places a window in the middle of its screen (the primary one before it is shown), not over its
// parent: the start's dialogs come while the main window is not on screen yet. Called before the
// window is shown, it also keeps a dialog from being moved over its parent when it shows.
inline void centreOnScreen(QWidget& window) {
    QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    if (!window.testAttribute(Qt::WA_Resized)) window.adjustSize();
    QRect r = window.frameGeometry();
    r.moveCenter(screen->availableGeometry().center());
    window.move(r.topLeft());
}

} // namespace shell
