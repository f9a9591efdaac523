#include "items/Ak_wlasn.h"
#include "store/mainstate.h"

namespace items {

TEkr_Aktualizacja_Wlasnosci::TEkr_Aktualizacja_Wlasnosci(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Wlasnosci"));
    setWindowTitle(QStringLiteral("Własności"));
}

} // namespace items
