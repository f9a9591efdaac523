#pragma once
#include <QDialog>

namespace store {
class MainState;
}

namespace partners {

// Placeholder until the dialog is built: opens empty under its caption.
class TEkr_Aktualizacja_Waluta : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Waluta(store::MainState& state, QWidget* parent = nullptr);

private:
    store::MainState& st_;
};

} // namespace partners
