#pragma once
#include "ui/modalrunner.h"
#include <QString>

class QWidget;

namespace ui {

// Runs a dictionary dialog for picking: the dialog's picking-mode variable `mode` holds `word`
// while it runs and is empty afterwards, also when opening the dialog fails, so that the next
// opening from the main window is no pick. The dialog is made as Dialog(state, parent) and run
// through the modal seam; its result is returned.
template <class Dialog, class State>
int runPicking(State& state, QString& mode, const QString& word, QWidget* parent) {
    struct Clear {
        QString& mode;
        ~Clear() { mode.clear(); }
    } clear{mode};
    mode = word;
    Dialog dialog(state, parent);
    return modalRunner().run(dialog);
}

} // namespace ui
