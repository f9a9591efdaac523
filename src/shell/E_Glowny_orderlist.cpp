// The main window's order list and the menu entries that show it.
#include "orders/Otw_Zam.h"
#include "shell/E_Glowny.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"

namespace shell {

void TForm_Pelk::connectOrderList() {
    orderList_ = new orders::TEkr_Otworz_Zamowienie(state_, this, this);
    orders::setMainOrderList(orderList_);
    connect(ui_->odklienta1, &QAction::triggered, this, guard([this] { orderList_->showKind(0); }));
    connect(ui_->dodostawcy1, &QAction::triggered, this,
            guard([this] { orderList_->showKind(1); }));
    // "Spis zamówień..." runs a list of its own, modally.
    connect(ui_->Otwrz1, &QAction::triggered, this, guard([this] {
                {
                    orders::TEkr_Otworz_Zamowienie list(state_, this, this);
                    ui::modalRunner().run(list);
                }
                // The tables are shared: the list still shown gets its own filter back.
                if (orderList_->isVisible()) orderList_->showKind(orderList_->kindIndex());
            }));
}

} // namespace shell
