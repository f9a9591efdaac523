#include "items/Ak_WWG.h"
#include "store/mainstate.h"

namespace items {

TAktualizacja_WWG::TAktualizacja_WWG(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TAktualizacja_WWG"));
    setWindowTitle(QStringLiteral("Własności w grupach"));
}

} // namespace items
