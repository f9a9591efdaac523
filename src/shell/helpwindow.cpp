#include "shell/helpwindow.h"
#include <QApplication>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

// The manual is compiled into this library; a static library must register its resources itself.
static void initShellResources() {
    Q_INIT_RESOURCE(shell);
}

namespace shell {

const QString THelpWindow::kManualUrl = QStringLiteral("qrc:/pelk/help/pelk.html");

THelpWindow::THelpWindow(QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(new QTextBrowser(this)) {
    initShellResources();
    setObjectName(QStringLiteral("THelpWindow"));
    setWindowTitle(QStringLiteral("Pomoc - System Informacji PELK!"));
    browser_->setObjectName(QStringLiteral("TextBrowser_Pomoc"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setSource(QUrl(kManualUrl));
    resize(700, 560);
}

QUrl THelpWindow::topicUrl(int context) {
    QUrl url(kManualUrl);
    if (context > 0) url.setFragment(QString::number(context));
    return url;
}

void THelpWindow::showTopic(int context) {
    const QUrl url = topicUrl(context);
    browser_->setSource(url);
    // Asked again for the topic it shows, the browser does not move by itself.
    if (context > 0)
        browser_->scrollToAnchor(url.fragment());
    else
        browser_->verticalScrollBar()->setValue(0);
    show();
    raise();
    activateWindow();
}

ProgramHelpWindow::ProgramHelpWindow(QWidget* mainWindow) : mainWindow_(mainWindow) {
    ui::registerHelpWindow(this);
}

ProgramHelpWindow::~ProgramHelpWindow() {
    ui::unregisterHelpWindow(this);
}

void ProgramHelpWindow::showTopic(int context) {
    QWidget* over = QApplication::activeModalWidget();
    if (!over) over = mainWindow_;
    if (!window_)
        window_ = new THelpWindow(over);
    else if (window_->parentWidget() != over)
        window_->setParent(over, Qt::Window);
    window_->showTopic(context);
}

void ProgramHelpWindow::close() {
    if (window_) window_->close();
}

} // namespace shell
