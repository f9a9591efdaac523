#pragma once
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

namespace ui {

// The hourglass for the length of an operation, also when it fails half-way. Without a GUI
// application (tests of the logic alone) it does nothing.
class BusyCursor {
public:
    BusyCursor() : active_(qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (active_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyCursor() {
        if (active_) QGuiApplication::restoreOverrideCursor();
    }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool active_;
};

} // namespace ui
