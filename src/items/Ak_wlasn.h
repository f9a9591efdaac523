#pragma once
#include "ui/listdialog.h"

class QComboBox;
class QLineEdit;

namespace store {
class MainState;
}

namespace items {

// The attributes of the current catalogue ("Własności"): name and type of every property items
// may carry, and through "Wartości ..." the list of suggested values of each. Opened from the
// main window and from the group template dialog; it has no picking mode.
class TEkr_Aktualizacja_Wlasnosci : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Wlasnosci(store::MainState& state, QWidget* parent = nullptr);

public Q_SLOTS:
    void BB_WartosciClick(); // "Wartości ...": the value list of the current attribute

protected:
    void prepareAdding() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildEditBoxes();
    store::MainState& st_;
    QLineEdit* name_;
    QComboBox* type_;
    bool typeChanged_ = false; // the user chose another entry of the type list
    bool filling_ = false;     // the program itself sets the type list
};

} // namespace items
