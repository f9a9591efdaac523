#include "ui/messages.h"
#include "ui/scriptfailure.h"
#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace ui {

QString cautionCaption() {
    return QStringLiteral("Uwaga !");
}

Messages::~Messages() = default;

void Messages::information(const QString& text) {
    show(Message{Message::Kind::Information, cautionCaption(), text, {Button::Ok}, Button::Ok});
}

bool Messages::question(const QString& text, Button defaultButton) {
    if (defaultButton != Button::No) defaultButton = Button::Yes;
    return show(Message{Message::Kind::Question,
                        cautionCaption(),
                        text,
                        {Button::Yes, Button::No},
                        defaultButton}) == Button::Yes;
}

void Messages::error(const QString& caption, const QString& text) {
    show(Message{Message::Kind::Error, caption, text, {Button::Ok}, Button::Ok});
}

Button refusingButton(const Message& message) {
    for (Button b : {Button::Cancel, Button::No, Button::Ok})
        if (message.buttons.contains(b)) return b;
    return message.buttons.isEmpty() ? Button::Ok : message.buttons.front();
}

QString buttonName(Button button) {
    switch (button) {
    case Button::Ok:
        return QStringLiteral("OK");
    case Button::Cancel:
        return QStringLiteral("Cancel");
    case Button::Yes:
        return QStringLiteral("Yes");
    case Button::No:
        return QStringLiteral("No");
    }
    return {};
}

// --- The real boxes ---------------------------------------------------------------------------

namespace {

QMessageBox::StandardButton standard(Button b) {
    switch (b) {
    case Button::Ok:
        return QMessageBox::Ok;
    case Button::Cancel:
        return QMessageBox::Cancel;
    case Button::Yes:
        return QMessageBox::Yes;
    case Button::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon icon(Message::Kind kind) {
    switch (kind) {
    case Message::Kind::Information:
        return QMessageBox::Information;
    case Message::Kind::Question:
        return QMessageBox::Question;
    case Message::Kind::Warning:
        return QMessageBox::Warning;
    case Message::Kind::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

Button DialogMessages::show(const Message& asked) {
    Message message = asked;
    if (message.buttons.isEmpty()) message.buttons << Button::Ok;
    const QList<Button>& buttons = message.buttons;
    QMessageBox::StandardButtons set;
    for (Button b : buttons)
        set |= standard(b);
    QPointer<QMessageBox> box = new QMessageBox(icon(message.kind), message.caption, message.text,
                                                set, QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose, false);
    box->setDefaultButton(standard(buttons.contains(message.defaultButton) ? message.defaultButton
                                                                           : buttons.front()));
    box->setEscapeButton(standard(refusingButton(message)));
    const int result = box->exec();
    // The parent may have gone while the box was open, taking the box with it.
    if (box) delete box.data();
    for (Button b : buttons)
        if (result == standard(b)) return b;
    return refusingButton(message);
}

// --- The test double --------------------------------------------------------------------------

FakeMessages::~FakeMessages() {
    if (answers_.isEmpty()) return;
    QStringList left;
    for (Button b : answers_)
        left << buttonName(b);
    reportScriptFailure(
        QStringLiteral("Scripted message answers never used: %1").arg(left.join(u", ")));
}

FakeMessages& FakeMessages::answer(Button button) {
    answers_ << button;
    return *this;
}

Button FakeMessages::show(const Message& message) {
    Button result = message.buttons.isEmpty() ? Button::Ok : message.buttons.front();
    if (message.buttons.size() > 1) {
        if (answers_.isEmpty()) {
            result = refusingButton(message);
            reportScriptFailure(QStringLiteral("Message box without a scripted answer: [%1] %2")
                                    .arg(message.caption, message.text));
        } else {
            const Button given = answers_.takeFirst();
            if (message.buttons.contains(given)) {
                result = given;
            } else {
                result = refusingButton(message);
                reportScriptFailure(
                    QStringLiteral("Scripted answer %1 is not a button of the box [%2] %3")
                        .arg(buttonName(given), message.caption, message.text));
            }
        }
    }
    shown_ << Shown{message, result};
    return result;
}

const Message& FakeMessages::last() const {
    static const Message none;
    if (shown_.isEmpty()) {
        reportScriptFailure(QStringLiteral("No message box was shown"));
        return none;
    }
    return shown_.back().message;
}

QStringList FakeMessages::texts() const {
    QStringList out;
    for (const auto& s : shown_)
        out << s.message.text;
    return out;
}

void FakeMessages::clear() {
    shown_.clear();
}

Messages& Messages::system() {
    static DialogMessages real;
    return real;
}

} // namespace ui
