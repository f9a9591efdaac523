#include "relations/Akt_skl.h"

namespace relations {

TEkr_Sklada_sie::TEkr_Sklada_sie(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::ConsistsOf, state, parent) {
    setObjectName(QStringLiteral("TEkr_Sklada_sie"));
}

} // namespace relations
