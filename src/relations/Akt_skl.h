#pragma once
#include "relations/relationdialog.h"

namespace relations {

// The parts the current item consists of, with their pieces.
class TEkr_Sklada_sie : public RelationDialog {
    Q_OBJECT
public:
    explicit TEkr_Sklada_sie(store::MainState& state, QWidget* parent = nullptr);
};

} // namespace relations
