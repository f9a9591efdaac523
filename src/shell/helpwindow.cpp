#include "shell/helpwindow.h"
#include <QTextBrowser>
#include <QUrl>
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

} // namespace shell
