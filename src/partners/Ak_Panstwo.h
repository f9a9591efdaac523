#pragma once
#include "ui/listdialog.h"
#include <optional>

namespace store {
class MainState;
}

namespace partners {

// The countries of the current catalogue ("Państwa"), the dictionary a company's country is
// picked from through pickCountry (CountryPickMode set meanwhile; the choice left in
// PickedCountryName, PickedCountryNr and PickedCountryCode). Country names may repeat.
class TEkr_Aktualizacja_Panstwo : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Panstwo(store::MainState& state, QWidget* parent = nullptr);

protected:
    void closing() override;
    void storeResults() override;
    bool checkInput() override;

private:
    store::MainState& st_;
    QLineEdit* name_ = nullptr;
};

struct PickedCountry {
    QString name;
    int nr = 0;
    QString code; // the dialling code
};

// Picks a country in the countries dialog, its search field starting with `typed`. As for the
// cities, a pick is known by a name other than the typed one.
std::optional<PickedCountry> pickCountry(store::MainState& state, QWidget* parent,
                                         const QString& typed);

} // namespace partners
