#pragma once
#include "ui/listdialog.h"

namespace store {
class MainState;
}

namespace files {

// The installation's file associations ("Skojarzenia z aplikacjami"): for each extension the
// program that opens files of it from an attribute value. Kept in the main folder, shared by
// every catalogue.
class TEkr_Skojarzenia : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Skojarzenia(store::MainState& state, QWidget* parent = nullptr);

public Q_SLOTS:
    // "...": the program chosen in a file dialog.
    void BB_AplikacjaClick();

protected:
    void prepareAdding() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;

private:
    QLineEdit* program_ = nullptr;
    QLineEdit* extension_ = nullptr;
    QPushButton* pick_ = nullptr;
};

} // namespace files
