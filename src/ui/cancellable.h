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

} // namespace ui
