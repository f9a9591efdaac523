#include "items/Wartosci.h"
#include "store/mainstate.h"

namespace items {

TEkr_Wartosci::TEkr_Wartosci(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Wartosci"));
    setWindowTitle(QStringLiteral("Wartości"));
}

} // namespace items
