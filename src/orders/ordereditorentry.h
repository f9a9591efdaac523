#pragma once
#include <QtGlobal>
#include <functional>

class QObject;

class QWidget;
namespace store {
class MainState;
}

namespace orders {

enum class EditorOpen { New, Existing };

// Shows the order whose Dok_Nr is `orderNr` (a Dok_Head row of the default catalogue, current in
// st.TDokumenty) in the order editor, as a new order just created from the order list or as an
// existing one. Returns false, after telling the user why, when the order could not be opened
// (locked by another installation, no line buffer); nothing is then left in editing.
bool openOrderEditor(QWidget* mainWindow, store::MainState& st, qint64 orderNr, EditorOpen how);

// Whether an order is open in the editor.
bool orderEditorOpen(store::MainState& st);

// `fn` runs each time the editor has closed its order (the order list shows itself again then),
// for as long as `context` lives.
void whenOrderEditorCloses(store::MainState& st, QObject* context, std::function<void()> fn);

// The editor's closing rules for the order open in it (the program's exit runs them); false when
// they stopped, the order then stays open. True when no order is open.
bool closeOpenOrder(store::MainState& st);

} // namespace orders
