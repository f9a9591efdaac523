#pragma once
#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TEkr_Oferty_Spis;
}
namespace store {
class MainState;
}

namespace offers {

class TMainForm;

// The offer list over the main window's offer table: a period of offer dates, sort and search,
// and the commands that add, change, delete and open offers.
class TEkr_Oferty_Spis : public QDialog {
    Q_OBJECT
public:
    TEkr_Oferty_Spis(store::MainState& state, TMainForm& editor, QWidget* parent = nullptr);
    ~TEkr_Oferty_Spis() override;

    // Opens the offer table for the list and goes to its last row.
    void prepare();
    QString filterText() const;

    // Set by the main window: "Powrót" gives its menus back; the editor was shown.
    std::function<void()> returned;
    std::function<void()> editorOpened;

public Q_SLOTS:
    void BB_OdClick();
    void BB_DoClick();
    void Wyswietlaj_wgChange();
    void Edit_SzukajChange();
    void BB_DodajClick();
    void BB_PoprawClick();
    void BB_UsunClick();
    void BB_OtworzClick();
    void BB_PowrotClick();
    void reject() override;

private:
    void applyFilter();
    void showPeriod();
    void runDialog(bool newOffer);
    bool resumePending();
    void fillCompanyBlock();

    store::MainState& st_;
    TMainForm& editor_;
    std::unique_ptr<Ui::TEkr_Oferty_Spis> ui_;
    QDate from_, to_;
    bool pendingNew_ = false; // the row left in the offer dialog is a new offer
};

} // namespace offers
