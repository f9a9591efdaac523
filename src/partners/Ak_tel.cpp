#include "partners/Ak_tel.h"
#include "store/mainstate.h"

namespace partners {

TEkr_Aktualizacja_Telefony::TEkr_Aktualizacja_Telefony(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Telefony"));
    setWindowTitle(QStringLiteral("Kontakty"));
}

} // namespace partners
