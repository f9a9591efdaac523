#pragma once
#include "ui/help.h"
#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace shell {

// The program's manual, a short HTML book shown in a window of its own beside the screens. Each
// screen's topic is a section anchored by the screen's help context number.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }

    // The manual at the topic of `context`, or from its contents for 0; shown and raised.
    void showTopic(int context);
    static QUrl topicUrl(int context);

    static const QString kManualUrl; // "qrc:/pelk/help/pelk.html"

private:
    QTextBrowser* browser_;
};

// The help of a running program, registered as the help viewer while the main window lives.
// The window is made on first use and shown over the screen that asks: a modal dialog blocks
// every window but its own, so over a modal dialog the help window belongs to that dialog.
class ProgramHelpWindow : public ui::HelpViewer {
public:
    explicit ProgramHelpWindow(QWidget* mainWindow);
    ~ProgramHelpWindow() override;

    void showTopic(int context) override;
    THelpWindow* window() const { return window_; }
    void close();

private:
    QWidget* mainWindow_;
    QPointer<THelpWindow> window_;
};

} // namespace shell
