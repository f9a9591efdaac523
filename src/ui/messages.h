#pragma once
#include "platform/seam.h"
#include <QList>
#include <QString>

namespace ui {

// The caption of the program's own messages.
QString cautionCaption(); // "Uwaga !"

enum class Button { Ok, Cancel, Yes, No };

// One message box as the program asks for it.
struct Message {
    enum class Kind { Information, Question, Warning, Error };
    Kind kind = Kind::Information;
    QString caption;
    QString text;
    QList<Button> buttons{Button::Ok};
    Button defaultButton = Button::Ok;
};

// Every message box of the program goes through this, so that tests see each box and answer it
// without a screen.
class Messages {
public:
    virtual ~Messages();
    static Messages& system(); // the real message boxes

    // Shows the box and returns the button chosen. Closing the box without a button counts as
    // its refusing button: Cancel, else No, else OK.
    virtual Button show(const Message& message) = 0;

    // The program's usual boxes, all captioned "Uwaga !".
    void information(const QString& text);                                  // OK
    bool question(const QString& text, Button defaultButton = Button::Yes); // Yes/No; true for Yes
    // An error reported by the engine or the system, under its own caption, OK.
    void error(const QString& caption, const QString& text);
};

// The button a box answers with when it is closed without one.
Button refusingButton(const Message& message);
QString buttonName(Button button); // "OK", "Cancel", "Yes", "No": for test reports

// The real boxes: QMessageBox with standard buttons, so Qt's Polish translation names them
// (Tak, Nie, OK, Anuluj), over the active window.
class DialogMessages : public Messages {
public:
    Button show(const Message& message) override;
};

// A test double: records every box and answers from a queue of scripted answers. A box with a
// single button offers no choice and is acknowledged without taking an answer; a box with a
// choice takes the next answer, and is a failure (reported through reportScriptFailure and
// answered with its refusing button) when none is queued or the answer is not among its buttons.
// Answers left unused when the double goes away are reported as well.
class FakeMessages : public Messages {
public:
    struct Shown {
        Message message;
        Button answer;
    };

    FakeMessages() = default;
    FakeMessages(const FakeMessages&) = delete;
    FakeMessages& operator=(const FakeMessages&) = delete;
    ~FakeMessages() override;

    FakeMessages& answer(Button button);
    FakeMessages& answerYes() { return answer(Button::Yes); }
    FakeMessages& answerNo() { return answer(Button::No); }
    int pendingAnswers() const { return int(answers_.size()); }

    Button show(const Message& message) override;

    const QList<Shown>& shown() const { return shown_; }
    int count() const { return int(shown_.size()); }
    const Message& last() const; // the most recent box; reports a failure when there is none
    QStringList texts() const;
    void clear(); // forgets the boxes shown, keeps the answers

private:
    QList<Button> answers_;
    QList<Shown> shown_;
};

// The installed implementation; the real boxes unless a test installed another.
inline Messages& messages() {
    return platform::Seam<Messages>::get();
}
// Installs a Messages for the lifetime of the guard and then puts back the previous one.
using ScopedMessages = platform::Seam<Messages>::Override;

} // namespace ui
