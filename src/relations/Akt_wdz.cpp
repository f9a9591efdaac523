#include "relations/Akt_wdz.h"
#include "ui/help.h"

namespace relations {

TEkr_Wchodzi_do::TEkr_Wchodzi_do(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::GoesInto, state, parent) {
    setObjectName(QStringLiteral("TEkr_Wchodzi_do"));
    ui::setHelpContext(this, 1400);
}

} // namespace relations
