#pragma once
#include "ui/listdialog.h"
#include <optional>

class QLabel;

namespace store {
class MainState;
}

namespace partners {

// The contacts of one company ("Kontakty"): persons and places with a phone, fax, e-mail or web
// address, rows of Telefon.
//
// Opened for editing by the companies dialog, which names the company in ContactOwnerNr and
// ContactCompanyName first; the list then holds that company's contacts. Opened for picking
// (pickContact, ContactPickMode set meanwhile) by the order editor and the preferences, which name
// the company in ContactCompanyNr; the chosen Telefon_Nr is left in PickedContactNr. CompanyFolder,
// when set, is the folder of Telefon instead of the current catalogue.
//
// ContactOwnerNr and CompanyFolder hold for one opening only: both are emptied when the dialog
// closes, so an owner left behind by an earlier caller never receives another company's
// contacts. A picking caller that names no owner gets new contacts for the listed company.
class TEkr_Aktualizacja_Telefony : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Telefony(store::MainState& state, QWidget* parent = nullptr);

    // The company every contact saved here is written for.
    int ownerNr() const { return owner_; }

public Q_SLOTS:
    // Esc while editing settles the edit (asking first when something was typed) and keeps the
    // dialog open; otherwise it closes.
    void BB_EscClick() override;

protected:
    void closing() override;
    void clearResults() override;
    void storeResults() override;
    bool checkInput() override;
    bool writeRow() override;

private:
    store::MainState& st_;
    int owner_ = 0;
    QLabel* company_ = nullptr;
};

// Picks one contact of company `companyNr` (shown as `companyName`) in the contacts dialog, from
// `folder` (empty: the current catalogue): the chosen contact's Telefon_Nr, or nothing.
std::optional<int> pickContact(store::MainState& state, QWidget* parent, int companyNr,
                               const QString& companyName, const QString& folder = {});

} // namespace partners
