#include "relations/Akt_skl.h"
#include "ui/help.h"

namespace relations {

TEkr_Sklada_sie::TEkr_Sklada_sie(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::ConsistsOf, state, parent) {
    setObjectName(QStringLiteral("TEkr_Sklada_sie"));
    ui::setHelpContext(this, 1300);
}

} // namespace relations
