#pragma once
#include "relations/relationdialog.h"

namespace relations {

// The composite items the current item goes into, with its pieces in each.
class TEkr_Wchodzi_do : public RelationDialog {
    Q_OBJECT
public:
    explicit TEkr_Wchodzi_do(store::MainState& state, QWidget* parent = nullptr);
};

} // namespace relations
