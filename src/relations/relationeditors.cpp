#include "relations/relationeditors.h"
#include "ui/help.h"

namespace relations {

TEkr_Sklada_sie::TEkr_Sklada_sie(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::ConsistsOf, state, parent) {
    setObjectName(QStringLiteral("TEkr_Sklada_sie"));
    ui::setHelpContext(this, 1300);
}

TEkr_Wchodzi_do::TEkr_Wchodzi_do(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::GoesInto, state, parent) {
    setObjectName(QStringLiteral("TEkr_Wchodzi_do"));
    ui::setHelpContext(this, 1400);
}

TEkr_Zamienniki::TEkr_Zamienniki(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::Substitutes, state, parent) {
    setObjectName(QStringLiteral("TEkr_Zamienniki"));
    ui::setHelpContext(this, 1500);
}

} // namespace relations
