#include "ui/workdialog.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include <QTimer>

namespace ui {

WorkDialog::WorkDialog(QString closeQuestion, QWidget* parent)
    : QDialog(parent), closeQuestion_(std::move(closeQuestion)) {}

void WorkDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (filled()) return;
    setEnabled(true);
    if (!guarded([this] { opening(); })) abandonOpening();
}

// Half a set of rows is nothing to edit: the controls are out of reach and the dialog closes as
// soon as its showing is over (closing it from within the showing would leave a modal loop
// waiting for nothing); closing lets go of what was made.
void WorkDialog::abandonOpening() {
    changed_ = false;
    setEnabled(false);
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) reject();
    });
}

bool WorkDialog::trySave() {
    bool saved = false;
    guarded([this, &saved] { saved = save(); });
    return saved;
}

void WorkDialog::BB_ZapiszClick() {
    if (!trySave()) return; // the changes stay on screen
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
    if (changed_ && messages().question(closeQuestion_) && !trySave())
        return; // the changes stay on screen
    changed_ = false;
    guarded([this] { release(); });
    QDialog::done(result);
}

void WorkDialog::runInBetween(const QString& question, const std::function<void()>& run,
                              const std::function<void()>& reload) {
    bool closeAfter = false;
    if (changed_ && messages().question(question)) {
        if (!trySave()) return;
        changed_ = false;
        closeAfter = true;
    }
    guarded(run);
    // What the other screen left cannot be shown: as after a failed opening.
    if (!guarded(reload)) return abandonOpening();
    if (closeAfter) accept();
}

} // namespace ui
