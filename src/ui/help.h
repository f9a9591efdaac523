#pragma once
#include "platform/seam.h"
#include <QList>

class QAbstractButton;
class QApplication;
class QWidget;

namespace ui {

// Every screen names its topic in the program's help by a context number; F1 and a screen's
// "Pomoc" button open the help at the topic of the screen they are pressed in. Topic 0 is the
// help's contents.
void setHelpContext(QWidget* screen, int context);
// The context of the nearest widget on the way up from `widget` (itself, its parents, the window
// that opened its window) that names one; 0 when none does.
int helpContext(const QWidget* widget);

// Shows the help at a topic. The program's help window registers itself as the system viewer;
// tests install a stand-in and see which topic was asked for.
class HelpViewer {
public:
    virtual ~HelpViewer();
    // The help window the program registered; nothing happens while none is registered.
    static HelpViewer& system();
    virtual void showTopic(int context) = 0;
};

// The program's help window comes with the main window and goes with it.
void registerHelpWindow(HelpViewer* viewer);
void unregisterHelpWindow(HelpViewer* viewer);

// A test double: remembers the topics asked for.
class FakeHelpViewer : public HelpViewer {
public:
    void showTopic(int context) override { topics << context; }
    QList<int> topics;
};

inline HelpViewer& helpViewer() {
    return platform::Seam<HelpViewer>::get();
}
using ScopedHelpViewer = platform::Seam<HelpViewer>::Override;

// The help at the topic of the screen `widget` is on.
void showHelpFor(const QWidget* widget);
// A "Pomoc" button: the topic of the screen it is on.
void connectHelpButton(QAbstractButton* button);
// F1 anywhere in the application: the topic of the screen the key was pressed in.
void installHelpKey(QApplication& app);

} // namespace ui
