#pragma once
#include <QtGlobal>

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

} // namespace orders
