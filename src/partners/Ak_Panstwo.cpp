#include "partners/Ak_Panstwo.h"
#include "store/mainstate.h"

namespace partners {

TEkr_Aktualizacja_Panstwo::TEkr_Aktualizacja_Panstwo(store::MainState& state, QWidget* parent) : QDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Panstwo"));
    setWindowTitle(QStringLiteral("Państwa"));
}

} // namespace partners
