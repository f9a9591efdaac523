#include "partners/Ak_walut.h"
#include "store/mainstate.h"

namespace partners {

TEkr_Aktualizacja_Waluta::TEkr_Aktualizacja_Waluta(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Waluta"));
    setWindowTitle(QStringLiteral("Waluty"));
}

} // namespace partners
