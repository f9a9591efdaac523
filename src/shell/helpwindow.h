#pragma once
#include <QWidget>

class QTextBrowser;

namespace shell {

// The program's manual, a short HTML book shown in a window of its own beside the main window.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    QTextBrowser* browser() const { return browser_; }

    static const QString kManualUrl; // "qrc:/pelk/help/pelk.html"

private:
    QTextBrowser* browser_;
};

} // namespace shell
