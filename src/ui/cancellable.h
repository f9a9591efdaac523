#pragma once
#include <QString>
#include <functional>

class QWidget;

namespace engine {
class Database;
}

namespace ui {

// Runs a long engine call on `db` (the query builder's query) so that the user can stop it: when
// it takes longer than a moment, a progress dialog with "Anuluj" appears, and pressing it
// interrupts the running statement (sqlite3_interrupt). Returns false when it was cancelled;
// every other engine error goes on to the caller. While the statement runs only the dialog
// is served: other timers wait until it ends, so nothing touches the database meanwhile.
bool runCancellable(engine::Database& db, QWidget* parent, const QString& label,
                    const std::function<void()>& work);

// Tells how far a long piece of work has come (`text` under the dialog's label, `done` of
// `total`, 0 when not known); false once the user pressed "Anuluj", and the work stops then.
using StepReport = std::function<bool(const QString& text, qint64 done, qint64 total)>;

// Runs work that reports its steps itself (an import reading table after table): a progress
// dialog with "Anuluj" (object name "PostepPracy") appears at the first step and serves the user
// at each step, holding back other timers meanwhile. Returns false when it was cancelled; an
// engine error the work throws after the cancel counts as the cancel, any other goes on to the
// caller.
bool runWithProgress(QWidget* parent, const QString& label,
                     const std::function<void(const StepReport&)>& work);

} // namespace ui
