// The main window's daily conveniences: prices shown as money, sorting by a click on a column
// header, and the item list taken out as a spreadsheet file or through the clipboard.
#include "shell/E_Glowny.h"

#include "platform/clipboard.h"
#include "shell/itemlist.h"
#include "shell/itemlistexport.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "ui_E_Glowny.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QProgressDialog>

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

    // Rows are picked with Shift and Ctrl for copying; the current row still leads the cursor.
    ui_->DBGrid_Towary->setSelectionMode(QAbstractItemView::ExtendedSelection);

    // The export sits under the printouts in the catalogue menu.
    auto* exportList = new QAction(QStringLiteral("Eksportuj listę..."), this);
    exportList->setObjectName(QStringLiteral("EksportujListe1"));
    exportList->setToolTip(QStringLiteral("Zapisanie listy obiektów w pliku CSV"));
    exportList->setStatusTip(exportList->toolTip());
    // After the PDF file when there is one, else after the printout.
    QAction* before = qobject_cast<QAction*>(commands_.value(QStringLiteral("ZapiszPDF1")));
    const QList<QAction*> actions = ui_->Baza1->actions();
    if (!actions.contains(before)) before = ui_->Drukuj2;
    const qsizetype at = actions.indexOf(before);
    ui_->Baza1->insertAction(at < 0 ? nullptr : actions.value(at + 1), exportList);
    commands_.insert(exportList->objectName(), exportList);
    command(exportList, &TForm_Pelk::EksportujListe1Click);
}

void TForm_Pelk::EksportujListe1Click() {
    ui::DbGrid& grid = *ui_->DBGrid_Towary;
    if (!grid.dataSet() || !grid.dataSet()->isOpen()) return;
    QString path = ui::fileDialogs().saveFileName(
        QStringLiteral("Eksportuj listę"), QStringLiteral("Lista_obiektow.csv"),
        QStringLiteral("Pliki CSV (*.csv);;Wszystkie pliki (*)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".csv");
    const ItemListSource list = itemListSource(grid);
    QProgressDialog progress(QStringLiteral("Eksport listy obiektów..."), QStringLiteral("Anuluj"),
                             0, std::max(1, list.rows), this);
    progress.setObjectName(QStringLiteral("ExportProgress"));
    progress.setWindowTitle(QStringLiteral("Eksport"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(400);
    QString error;
    const ExportResult result = writeItemListCsv(
        list, path,
        [&](int done, int) {
            progress.setValue(done);
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        },
        &error);
    progress.reset();
    if (result == ExportResult::Failed)
        ui::messages().information(QStringLiteral("Nie można zapisać pliku %1 (%2).")
                                       .arg(QDir::toNativeSeparators(path), error));
    else if (result == ExportResult::Written)
        setStatusText(QStringLiteral("zapisano %1").arg(QDir::toNativeSeparators(path)));
}

void TForm_Pelk::copyItemRows() {
    ui::DbGrid& grid = *ui_->DBGrid_Towary;
    if (!grid.dataSet() || !grid.dataSet()->isOpen() || !grid.selectionModel()) return;
    QList<int> rows;
    for (const QModelIndex& index : grid.selectionModel()->selectedRows())
        rows << index.row();
    if (rows.isEmpty() && grid.currentIndex().isValid()) rows << grid.currentIndex().row();
    if (rows.isEmpty()) return;
    platform::clipboard().setText(itemListRowsAsText(itemListSource(grid), rows));
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
