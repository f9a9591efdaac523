#include "partners/Ak_firma.h"
#include "store/mainstate.h"

namespace partners {

TEkr_Aktualizacja_Firma::TEkr_Aktualizacja_Firma(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Firma"));
    setWindowTitle(QStringLiteral("Firmy"));
}

} // namespace partners
