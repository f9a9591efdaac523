#include "orders/ordereditorentry.h"

#include "orders/E_Zamow.h"
#include "orders/orderhost.h"
#include "ui/errorbox.h"

namespace orders {

bool openOrderEditor(QWidget* mainWindow, store::MainState& st, qint64 orderNr, EditorOpen how) {
    TEkr_Zamowienie& editor = orderEditor(st, mainWindow);
    editor.setHost(dynamic_cast<OrderHost*>(mainWindow));
    return editor.openOrder(orderNr, how);
}

bool orderEditorOpen(store::MainState& st) {
    const TEkr_Zamowienie* editor = existingOrderEditor(st);
    return editor && editor->isOrderOpen();
}

void whenOrderEditorCloses(store::MainState& st, QObject* context, std::function<void()> fn) {
    QObject::connect(&orderEditor(st), &TEkr_Zamowienie::orderClosed, context,
                     ui::guardedSlot(std::move(fn)));
}

bool closeOpenOrder(store::MainState& st) {
    TEkr_Zamowienie* editor = existingOrderEditor(st);
    if (!editor || !editor->isOrderOpen()) return true;
    bool closed = false;
    ui::guarded([&] { closed = editor->closeOrder(); });
    return closed;
}

} // namespace orders
