#include "shell/E_Wineta.h"
#include "shell/screencentre.h"
#include "ui_E_Wineta.h"
#include <QCoreApplication>

namespace shell {

TEWineta::TEWineta(QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ui_(std::make_unique<Ui::TEWineta>()) {
    ui_->setupUi(this);
}

TEWineta::~TEWineta() = default;

void TEWineta::step() {
    ui_->ProgressBar1->setValue(
        std::min(ui_->ProgressBar1->maximum(), ui_->ProgressBar1->value() + 1));
    // Painted now: the start does not return to the event loop until the main window is ready.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

int TEWineta::progress() const {
    return ui_->ProgressBar1->value();
}

void TEWineta::centre() {
    centreOnScreen(*this);
}

} // namespace shell
