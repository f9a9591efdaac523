#pragma once
#include "ui/listdialog.h"
#include <optional>

namespace store {
class MainState;
}

namespace partners {

// The currencies of the current catalogue ("Waluty"): each one's name, its rate to the złoty and
// the date of that rate, stamped with today on every save. Purchase prices are given in these
// currencies. Picked through pickCurrency (CurrencyPickMode set meanwhile); the chosen currency is
// left in PickedCurrencyName and PickedCurrencyNr.
class TEkr_Aktualizacja_Waluta : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Waluta(store::MainState& state, QWidget* parent = nullptr);

public Q_SLOTS:
    // Enter outside the boxes saves while editing and otherwise starts changing the row, also
    // in picking mode (there Wybierz or a double-click picks).
    void BB_EnterClick() override;
    // Esc abandons an edit without asking, otherwise closes.
    void BB_EscClick() override;

protected:
    void closing() override;
    void clearResults() override;
    void storeResults() override;
    void prepareAdding() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    store::MainState& st_;
    QLineEdit* name_ = nullptr;
    QLineEdit* rate_ = nullptr;
};

struct PickedCurrency {
    QString name;
    int nr = 0;
};

// Picks a currency in the currencies dialog: the one chosen, or nothing when the list was closed
// without a choice.
std::optional<PickedCurrency> pickCurrency(store::MainState& state, QWidget* parent);

} // namespace partners
