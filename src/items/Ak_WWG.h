#pragma once
#include <QDialog>

namespace store {
class MainState;
}

namespace items {

// Placeholder until the dialog is built: opens empty under its caption.
class TAktualizacja_WWG : public QDialog {
    Q_OBJECT
public:
    explicit TAktualizacja_WWG(store::MainState& state, QWidget* parent = nullptr);

private:
    store::MainState& st_;
};

} // namespace items
