#pragma once
#include "ui/listdialog.h"
#include <optional>

namespace store {
class MainState;
}

namespace partners {

// The cities of the current catalogue ("Miejscowości"), the dictionary a company's town is picked
// from through pickCity (CityPickMode set meanwhile; the choice left in PickedCityName,
// PickedCityNr and PickedCityCode). The dialog numbers new cities itself, with the smallest free
// number, and keeps city names unique regardless of letter case.
class TEkr_Aktualizacja_Miasto : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Miasto(store::MainState& state, QWidget* parent = nullptr);

    // The smallest positive number no city of `folder` carries.
    static int freeCityNr(const QString& folder);

public Q_SLOTS:
    void BB_EscClick() override;

protected:
    void closing() override;
    void storeResults() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;

private:
    store::MainState& st_;
    QLineEdit* name_ = nullptr;
    int editedNr_ = 0; // Miasto_Nr of the city Popraw began on
};

struct PickedCity {
    QString name;
    int nr = 0;
    QString code; // the dialling code
};

// Picks a city in the cities dialog, its search field starting with `typed`. The dialog leaves
// its results as they were when nothing is picked, so a pick is known by a name other than the
// typed one: choosing the typed name itself gives nothing, as closing the list does.
std::optional<PickedCity> pickCity(store::MainState& state, QWidget* parent, const QString& typed);

} // namespace partners
