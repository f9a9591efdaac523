#pragma once
#include <QApplication>
#include <QString>
#include <concepts>
#include <exception>
#include <functional>
#include <utility>

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

// Runs `fn`; an error it throws is shown in the error box and the answer is false. The one place
// where a handler's engine errors end: every slot, event handler and start-up step that can reach
// the engine runs through it (directly or through guardedSlot), so nothing unwinds through Qt.
bool guarded(const std::function<void()>& fn);

// A slot for connect() that runs under guarded():
//   connect(button, &QPushButton::clicked, this, ui::guardedSlot(this, &TDialog::BB_XClick));
//   connect(edit, &QLineEdit::textChanged, this, ui::guardedSlot([this](const QString& t) {...}));
// A functor gets the signal's arguments it takes, as with a plain connect.
template <class F> auto guardedSlot(F fn) {
    return [fn = std::move(fn)](auto&&... args) requires std::invocable<F&, decltype(args)...> {
        guarded([&] { std::invoke(fn, std::forward<decltype(args)>(args)...); });
    };
}
template <class Obj, class C, class R, class... Args>
auto guardedSlot(Obj* object, R (C::*slot)(Args...)) {
    return [object, slot](Args... args) {
        guarded([&] { (object->*slot)(std::forward<Args>(args)...); });
    };
}

// The program's application object. Handlers catch their own errors through guarded(); an
// exception that still reaches the event loop is a handler that forgot it, which is undefined
// behaviour in Qt: it is logged as a fault (receiver and event) and, as a last resort, shown in
// the error box so that the program goes on. It also loads Qt's Polish translations, so standard
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
