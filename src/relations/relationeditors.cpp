#include "relations/relationeditors.h"

namespace relations {

TEkr_Sklada_sie::TEkr_Sklada_sie(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::ConsistsOf, state, parent) {
    setObjectName(QStringLiteral("TEkr_Sklada_sie"));
}

TEkr_Wchodzi_do::TEkr_Wchodzi_do(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::GoesInto, state, parent) {
    setObjectName(QStringLiteral("TEkr_Wchodzi_do"));
}

TEkr_Zamienniki::TEkr_Zamienniki(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::Substitutes, state, parent) {
    setObjectName(QStringLiteral("TEkr_Zamienniki"));
}

} // namespace relations
