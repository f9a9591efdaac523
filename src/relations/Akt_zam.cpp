#include "relations/Akt_zam.h"

namespace relations {

TEkr_Zamienniki::TEkr_Zamienniki(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::Substitutes, state, parent) {
    setObjectName(QStringLiteral("TEkr_Zamienniki"));
}

} // namespace relations
