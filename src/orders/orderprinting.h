#pragma once
#include <QtGlobal>

class QWidget;
namespace store {
class MainState;
}

namespace orders {

enum class PrintTarget { Printer, Preview, Pdf };

// Prints, previews or writes to a PDF file the order whose Dok_Nr is `orderNr`, from the default
// catalogue's order tables. The caller has written the editor's pending changes first. Errors are
// shown to the user here; returns whether anything was printed or written.
bool printOrder(QWidget* parent, store::MainState& st, qint64 orderNr, PrintTarget target);

} // namespace orders
