#include "relations/Akt_zam.h"
#include "ui/help.h"

namespace relations {

TEkr_Zamienniki::TEkr_Zamienniki(store::MainState& state, QWidget* parent)
    : RelationDialog(Relation::Substitutes, state, parent) {
    setObjectName(QStringLiteral("TEkr_Zamienniki"));
    ui::setHelpContext(this, 1500);
}

} // namespace relations
