#include "orders/ordereditorentry.h"

#include "ui/messages.h"

namespace orders {

bool openOrderEditor(QWidget*, store::MainState&, qint64, EditorOpen) {
    ui::messages().information(QStringLiteral("Edycja zamówień będzie dostępna w następnej wersji."));
    return false;
}

} // namespace orders
