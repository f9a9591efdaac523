#pragma once
#include "relations/relationdialog.h"

namespace relations {

// The items that can replace the current item, one way or both ways.
class TEkr_Zamienniki : public RelationDialog {
    Q_OBJECT
public:
    explicit TEkr_Zamienniki(store::MainState& state, QWidget* parent = nullptr);
};

} // namespace relations
