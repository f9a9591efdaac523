#pragma once
// The application object of a test program, made on first use (gtest_main owns main()). It is
// never destroyed: Qt's own globals may be gone by the time static objects are. Screen tests ask
// for the program's own application type, engine tests for a plain core application (tables start
// their lease timers only under one).
#include <QCoreApplication>
#include <cstdlib>

namespace testsupport {

template <class App = QCoreApplication> App& application() {
    static App* app = [] {
        if (auto* existing = QCoreApplication::instance()) {
            auto* same = dynamic_cast<App*>(existing);
            if (!same) std::abort(); // a test program makes one kind of application
            return same;
        }
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "pelk-test";
        static char* argv[] = {name, nullptr};
        return new App(argc, argv);
    }();
    return *app;
}

} // namespace testsupport
