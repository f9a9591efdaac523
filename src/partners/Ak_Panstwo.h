#pragma once
#include "ui/listdialog.h"

namespace store {
class MainState;
}

namespace partners {

// The countries of the current catalogue ("Państwa"), the dictionary a company's country is
// picked from (CountryPickMode set by the caller; the choice left in PickedCountryName,
// PickedCountryNr and PickedCountryCode). Country names may repeat.
class TEkr_Aktualizacja_Panstwo : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Panstwo(store::MainState& state, QWidget* parent = nullptr);

protected:
    void closing() override;
    void storeResults() override;
    bool checkInput() override;
    bool deletionAllowed() override;

private:
    store::MainState& st_;
    QLineEdit* name_ = nullptr;
};

} // namespace partners
