#pragma once
#include "ui/workdialog.h"
#include <QDate>
#include <memory>

namespace Ui {
class TEkr_ceny;
}
namespace engine {
class Table;
}
namespace store {
class MainState;
}

namespace prices {

class PriceLinesModel;
class PriceSheet;

// The purchase prices of one item ("Obiekt / Ceny"): one line per supplier with three prices, a
// suggested selling price, the currency, the date and a remark. The item is CurrentItemNr when
// the dialog is made; the dialog stays with it whatever the main window does meanwhile. Zapisz
// replaces all of the item's Cena rows.
class TEkr_ceny : public ui::WorkDialog {
    Q_OBJECT
public:
    explicit TEkr_ceny(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_ceny() override;

    int itemNr() const { return itemNr_; }
    const PriceSheet& sheet() const { return *sheet_; }
    // The date the lines changed now receive (the " Data : " box).
    QDate date() const { return date_; }
    // The line the prices grid stands on; -1 when there is none.
    int currentLine() const;

    // A price typed into a line's cell (PriceLinesModel's columns), or a currency number chosen
    // for it, as when the cell is left; a text that is no number is refused with its message.
    bool storeCell(int line, int column, const QVariant& value);

    void done(int result) override;

public Q_SLOTS:
    void BB_DodajClick();
    void BB_UsunClick();
    void BB_WyczyscClick();
    void BB_DataClick();  // the calendar
    void BB_FirmyClick(); // the companies dialog
    void CheckBox_DomyslnaClick(bool checked);
    void Edit_SzukajChange();

protected:
    bool filled() const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void setupPriceGrid();
    void setupCompanyList();
    void connectControls();
    void opening() override;
    bool save() override;
    void release() override;
    void showLines(int current);
    void showRemark();
    void commitRemark();
    void updateControls();
    void leaveSearchField();
    bool companySelected() const;

    store::MainState& st_;
    int itemNr_;
    QDate date_;
    bool suppressSearch_ = false;
    std::unique_ptr<PriceSheet> sheet_;
    std::unique_ptr<engine::Table> companies_;
    std::unique_ptr<Ui::TEkr_ceny> ui_;
    PriceLinesModel* model_ = nullptr;
};

// Opens the purchase prices of CurrentItemNr, for a user with the price right only: prices are
// not shown to anybody else.
void openPurchasePrices(store::MainState& state, QWidget* parent);

} // namespace prices
