// The main window's daily conveniences: prices shown as money, the item list taken out as a
// spreadsheet file or through the clipboard, and sorting by a click on a column header.
#include "shell/E_Glowny.h"

#include "ui_E_Glowny.h"

namespace shell {

void TForm_Pelk::setUpMoneyColumns() {
    const QStringList prices{QStringLiteral("Tow_SRP"),          QStringLiteral("Tow_Cena_A"),
                             QStringLiteral("Tow_Cena_B"),       QStringLiteral("Tow_Cena_C"),
                             QStringLiteral("Pomoc_SRP"),        QStringLiteral("Pomoc_Tow_SRP"),
                             QStringLiteral("Pomoc_Tow_Cena_A"), QStringLiteral("Pomoc_Tow_Cena_B"),
                             QStringLiteral("Pomoc_Tow_Cena_C")};
    for (ui::DbGrid* grid :
         {ui_->DBGrid_Towary, ui_->DBGrid_Wchodzi, ui_->DBGrid_Sklada, ui_->DBGrid_Zamienniki})
        grid->setMoneyFields(prices);
}

} // namespace shell
