#pragma once
#include "relations/relationdialog.h"

namespace relations {

// The parts the current item consists of, with their pieces.
class TEkr_Sklada_sie : public RelationDialog {
    Q_OBJECT
public:
    explicit TEkr_Sklada_sie(store::MainState& state, QWidget* parent = nullptr);
};

// The composite items the current item goes into, with its pieces in each.
class TEkr_Wchodzi_do : public RelationDialog {
    Q_OBJECT
public:
    explicit TEkr_Wchodzi_do(store::MainState& state, QWidget* parent = nullptr);
};

// The items that can replace the current item, one way or both ways.
class TEkr_Zamienniki : public RelationDialog {
    Q_OBJECT
public:
    explicit TEkr_Zamienniki(store::MainState& state, QWidget* parent = nullptr);
};

} // namespace relations
