#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_Oferty_Edycja;
}
namespace store {
class MainState;
}

namespace offers {

class TMainForm;

// The offer dialog: the date, company and description of the offer row being inserted or edited
// in the main window's offer table. It closes with kDocument when the editor was given the offer.
class TEkr_Oferty_Edycja : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDocument = 2;
    TEkr_Oferty_Edycja(store::MainState& state, TMainForm& editor, bool newOffer,
                       QWidget* parent = nullptr);
    ~TEkr_Oferty_Edycja() override;

public Q_SLOTS:
    void BB_DataClick();
    void BB_FirmaClick();
    void BB_ZapiszClick();
    void BB_DokumentClick();
    void BB_AnulujClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showRow();
    bool saveRow(); // posts the row; for a new offer also writes its empty document

    store::MainState& st_;
    TMainForm& editor_;
    bool newOffer_;
    std::unique_ptr<Ui::TEkr_Oferty_Edycja> ui_;
};

} // namespace offers
