// The main window's daily conveniences: prices shown as money, sorting by a click on a column
// header, and the item list taken out as a spreadsheet file or through the clipboard.
#include "shell/E_Glowny.h"

#include "shell/itemlist.h"
#include "ui/errorbox.h"
#include "ui_E_Glowny.h"

#include <QHeaderView>

namespace shell {

namespace {

// The sort choice whose index orders by `field`; -1 for a column without one.
int sortChoiceOfField(const QString& field) {
    for (int i = 0; i < kSortChoices; ++i)
        if (shell::sortChoice(i)->field.compare(field, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

} // namespace

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

void TForm_Pelk::connectListCommands() {
    QHeaderView* header = ui_->DBGrid_Towary->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    connect(header, &QHeaderView::sectionClicked, this,
            [this](int column) { ui::guarded([&] { sortHeaderClicked(column); }); });
    // The grid gets its columns again when it changes between the table and the query.
    connect(ui_->DBGrid_Towary->gridModel(), &QAbstractItemModel::modelReset, this,
            [this] { showSortArrow(); });
    connect(ui_->Wyswietlaj_wg, &QComboBox::currentIndexChanged, this, [this] { showSortArrow(); });
    showSortArrow();
}

void TForm_Pelk::sortHeaderClicked(int column) {
    const int choice = sortChoiceOfField(ui_->DBGrid_Towary->gridModel()->fieldOfColumn(column));
    // The header turns its arrow at every click by itself; the arrow shows the order in force.
    showSortArrow();
    if (choice < 0 || choice == ui_->Wyswietlaj_wg->currentIndex()) return;
    if (!ui_->Wyswietlaj_wg->isEnabled()) return;
    ui_->Wyswietlaj_wg->setCurrentIndex(choice); // sorts as a choice in the box does
}

void TForm_Pelk::showSortArrow() {
    QHeaderView* header = ui_->DBGrid_Towary->horizontalHeader();
    const SortChoice* choice = shell::sortChoice(ui_->Wyswietlaj_wg->currentIndex());
    const int column = choice ? ui_->DBGrid_Towary->gridModel()->columnOfField(choice->field) : -1;
    // No arrow (-1) when the column of the order is not shown.
    header->setSortIndicator(column, Qt::AscendingOrder);
}

} // namespace shell
