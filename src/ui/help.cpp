#include "ui/help.h"
#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace ui {

namespace {

const char* const kProperty = "helpContext";

HelpViewer* g_program = nullptr;

// Forwards to the window the program registered, which may come and go with the main window.
class ProgramHelp : public HelpViewer {
public:
    void showTopic(int context) override {
        if (g_program) g_program->showTopic(context);
    }
};

// Sees every key before the widget it is meant for, so no screen can swallow F1 for itself.
class HelpKey : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F1 || (key->modifiers() & ~Qt::KeypadModifier)) return false;
        // The key reaches the window object first and the focused widget after it.
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) return false;
        showHelpFor(widget);
        return true;
    }
};

} // namespace

void setHelpContext(QWidget* screen, int context) {
    screen->setProperty(kProperty, context);
}

int helpContext(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant context = w->property(kProperty);
        if (context.isValid() && context.toInt() > 0) return context.toInt();
    }
    return 0;
}

HelpViewer::~HelpViewer() = default;

HelpViewer& HelpViewer::system() {
    static ProgramHelp program;
    return program;
}

void registerHelpWindow(HelpViewer* viewer) {
    g_program = viewer;
}

void unregisterHelpWindow(HelpViewer* viewer) {
    if (g_program == viewer) g_program = nullptr;
}

void showHelpFor(const QWidget* widget) {
    helpViewer().showTopic(helpContext(widget));
}

void connectHelpButton(QAbstractButton* button) {
    QObject::connect(button, &QAbstractButton::clicked, button, [button] { showHelpFor(button); });
}

void installHelpKey(QApplication& app) {
    app.installEventFilter(new HelpKey(&app));
}

} // namespace ui
