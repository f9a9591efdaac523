#include "partners/Ak_miast.h"
#include "store/mainstate.h"

namespace partners {

TEkr_Aktualizacja_Miasto::TEkr_Aktualizacja_Miasto(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Miasto"));
    setWindowTitle(QStringLiteral("Miejscowości"));
}

} // namespace partners
