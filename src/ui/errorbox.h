#pragma once
#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

namespace engine {
class EngineError;
}

namespace ui {

// The caption of error boxes: the application's name, or "Błąd" when it has none.
QString errorCaption();

// Shows an engine error (its Polish message) in the error box, through the Messages seam.
void showError(const engine::EngineError& error);
// Any other failure: a general Polish text, with the system's own words in brackets.
void showUnexpectedError(const std::exception* error = nullptr);

// Runs `fn`; an error it throws is shown in the error box and the answer is false. For code that
// runs outside the event loop, such as start-up.
bool guarded(const std::function<void()>& fn);

// The program's application object. Any exception thrown by an event handler (a slot, a timer,
// a click) is caught here and shown in the error box: the operation stops and the program goes
// on, as users of the old program expect. It also loads Qt's Polish translations, so standard
// buttons and dialogs say "Tak", "Nie", "Anuluj".
class Application : public QApplication {
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Loads qtbase_pl; false when the translation is not installed.
    static bool installPolishTranslations();

private:
    template <class F> void report(F&& show);
    int showing_ = 0;
};

} // namespace ui
