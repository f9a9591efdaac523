#include "ui/errorbox.h"
#include "engine/error.h"
#include "ui/help.h"
#include "ui/messages.h"
#include <QDebug>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

QString errorCaption() {
    const QString name = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                             ? QGuiApplication::applicationDisplayName()
                             : QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Błąd") : name;
}

void showError(const engine::EngineError& error) {
    messages().error(errorCaption(), error.message());
}

void showUnexpectedError(const std::exception* error) {
    QString text =
        QStringLiteral("Wystąpił nieoczekiwany błąd programu. Operacja została przerwana.");
    if (error && error->what() && *error->what())
        text += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(error->what()));
    messages().error(errorCaption(), text);
}

bool guarded(const std::function<void()>& fn) {
    try {
        fn();
        return true;
    } catch (const engine::EngineError& e) {
        showError(e);
    } catch (const std::exception& e) {
        showUnexpectedError(&e);
    }
    return false;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    installPolishTranslations();
    installHelpKey(*this);
}

bool Application::installPolishTranslations() {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(QLocale::Polish, QLocale::Poland), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

// A failure while an error box is already up (a paint handler failing again behind the box) is
// only logged: one box at a time, never a cascade of them.
template <class F> void Application::report(F&& show) {
    if (showing_ > 0) {
        qWarning("ui::Application: an error while the error box was open was not shown");
        return;
    }
    ++showing_;
    try {
        show();
    } catch (...) {
        qWarning("ui::Application: the error box itself failed");
    }
    --showing_;
}

// Which handler let an error through, for whoever reads the log: the fault is there, not here.
static void logEscaped(QObject* receiver, QEvent* event, const char* what) {
    qCritical().nospace() << "ui::Application: an error escaped an event handler unguarded ("
                          << (receiver ? receiver->metaObject()->className() : "no receiver")
                          << " \"" << (receiver ? receiver->objectName() : QString()) << "\", "
                          << (event ? event->type() : QEvent::None) << "): " << what;
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const engine::EngineError& e) {
        logEscaped(receiver, event, e.what());
        report([&] { showError(e); });
    } catch (const std::exception& e) {
        logEscaped(receiver, event, e.what());
        report([&] { showUnexpectedError(&e); });
    } catch (...) {
        logEscaped(receiver, event, "unknown exception");
        report([] { showUnexpectedError(); });
    }
    return true; // dealt with, by the box
}

} // namespace ui
