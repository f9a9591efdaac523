#include "ui/workdialog.h"
#include "engine/error.h"
#include "ui/errorbox.h"
#include "ui/messages.h"

namespace ui {

WorkDialog::WorkDialog(QString closeQuestion, QWidget* parent)
    : QDialog(parent), closeQuestion_(std::move(closeQuestion)) {}

void WorkDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (filled()) return;
    try {
        opening();
    } catch (const engine::EngineError& e) {
        showError(e);
    }
}

void WorkDialog::BB_ZapiszClick() {
    if (!save()) return;
    changed_ = false;
    accept();
}

void WorkDialog::BB_AnulujClick() {
    changed_ = false;
    reject();
}

void WorkDialog::BB_PowrotClick() {
    reject();
}

void WorkDialog::done(int result) {
    if (changed_ && messages().question(closeQuestion_) && !save())
        return; // the changes stay on screen
    changed_ = false;
    release();
    QDialog::done(result);
}

void WorkDialog::runInBetween(const QString& question, const std::function<void()>& run,
                              const std::function<void()>& reload) {
    bool closeAfter = false;
    if (changed_ && messages().question(question)) {
        if (!save()) return;
        changed_ = false;
        closeAfter = true;
    }
    run();
    reload();
    if (closeAfter) accept();
}

} // namespace ui
