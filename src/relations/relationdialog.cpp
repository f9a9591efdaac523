#include "relations/relationdialog.h"
#include "engine/table.h"
#include "items/Ak_towar.h"
#include "relations/relationrows.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/searchkeys.h"
#include "ui_relationdialog.h"
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <algorithm>
#include <iterator>

namespace relations {

namespace {

const QString kItemNr = QStringLiteral("Tow_nr");
// The item list's orders, as "Wyświetlaj w/g :" offers them.
const char* const kOrders[] = {"wg_Tow_Nazwa", "wg_Tow_Nazwa2", "wg_Tow_Symbol", "wg_Tow_kod_prod"};

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

RelationDialog::RelationDialog(Relation relation, store::MainState& state, QWidget* parent)
    : ui::WorkDialog(designOf(relation).closeQuestion, parent), st_(state),
      itemName_(state.CurrentItemName),
      list_(std::make_unique<RelationList>(relation, state.CurrentCatalogueFolder, state.TempFolder,
                                           state.CurrentItemNr)),
      items_(std::make_unique<engine::Table>()), ui_(std::make_unique<Ui::RelationDialog>()) {
    buildForm();
    setWindowTitle(designOf(relation).caption);

    items_->setDatabaseName(st_.CurrentCatalogueFolder);
    items_->setTableName(QStringLiteral("Towar"));
    items_->setIndexName(QLatin1String(kOrders[0]));
    // The item itself is never offered: nothing consists of, goes into or replaces itself.
    items_->setFilter(QStringLiteral("tow_nr<>%1").arg(list_->itemNr()));
    items_->setFiltered(true);
    ui_->DBGrid_Towary->setDataSet(items_.get());
    updateButtons();
}

RelationDialog::~RelationDialog() {
    // The grid lets go of the table object before it goes.
    ui_->DBGrid_Towary->setDataSet(nullptr);
}

void RelationDialog::buildForm() {
    const RelationDesign& d = list_->design();
    ui_->setupUi(this);
    ui_->Label_ObiektTytul->setText(d.itemLabel);
    ui_->Label_Lista->setText(d.listLabel);
    ui_->Label_Obiekt->setText(itemName_);
    setupWorkingList();
    setupItemList();
    connectControls();
}

void RelationDialog::setupWorkingList() {
    const RelationDesign& d = list_->design();
    const store::DisplayConfig& cfg = st_.Display;
    rows_ = new RelationRows(
        *list_, [this](int row, const QString& typed) { return storeValue(row, typed); }, this);
    rows_->setTitles({cfg.headerName1, cfg.headerSymbol, cfg.headerProducerCode, d.valueTitle});
    ui_->DBGrid_Pozycje->setModel(rows_);
    ui_->DBGrid_Pozycje->setItemDelegateForColumn(
        RelationRows::kValueColumn,
        new RelationValueDelegate(list_->relation() == Relation::Substitutes, ui_->DBGrid_Pozycje));
    ui_->DBGrid_Pozycje->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_->DBGrid_Pozycje->setEditTriggers(
        QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
        QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked);
    ui_->DBGrid_Pozycje->setTabKeyNavigation(false);
    ui_->DBGrid_Pozycje->verticalHeader()->hide();
    ui_->DBGrid_Pozycje->verticalHeader()->setDefaultSectionSize(
        ui_->DBGrid_Pozycje->fontMetrics().height() + 6);
    ui_->DBGrid_Pozycje->setColumnWidth(0, 280);
    ui_->DBGrid_Pozycje->setColumnWidth(1, 130);
    ui_->DBGrid_Pozycje->setColumnWidth(2, 130);
    ui_->DBGrid_Pozycje->horizontalHeader()->setStretchLastSection(true);
    if (list_->relation() == Relation::GoesInto) {
        // Whichever column is entered, the pieces are what can be typed.
        connect(ui_->DBGrid_Pozycje->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) {
                    if (current.isValid() && current.column() != RelationRows::kValueColumn)
                        ui_->DBGrid_Pozycje->setCurrentIndex(
                            rows_->index(current.row(), RelationRows::kValueColumn));
                });
    }
}

// The other items, searchable in four orders.
void RelationDialog::setupItemList() {
    const store::DisplayConfig& cfg = st_.Display;
    ui_->Wyswietlaj_wg->addItems(
        {cfg.headerName1, cfg.headerName2, cfg.headerSymbol, cfg.headerProducerCode});
    ui_->DBGrid_Towary->addColumn(QStringLiteral("Tow_Nazwa"), cfg.headerName1, 280);
    ui_->DBGrid_Towary->addColumn(QStringLiteral("Tow_Symbol"), cfg.headerSymbol, 130);
    ui_->DBGrid_Towary->addColumn(QStringLiteral("Tow_Kod_Prod"), cfg.headerProducerCode, 130);
}

void RelationDialog::connectControls() {
    connect(ui_->BB_Powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_PowrotClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_AnulujClick));
    connect(ui_->BB_Zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_ZapiszClick));
    connect(ui_->BB_Nowy, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_NowyClick));
    connect(ui_->BB_Dodaj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    connect(ui_->BB_Usun, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_UsunClick));
    connect(ui_->BB_Wyczysc, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_WyczyscClick));
    connect(ui_->Edit_Szukaj_Towar, &QLineEdit::textChanged, this,
            ui::guardedSlot(this, &RelationDialog::Edit_Szukaj_TowarChange));
    connect(ui_->Edit_Szukaj_Towar, &QLineEdit::returnPressed, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    connect(ui_->Wyswietlaj_wg, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot(this, &RelationDialog::Wyswietlaj_wgChange));
    connect(ui_->DBGrid_Towary, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    connect(ui_->DBGrid_Towary, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    ui_->Edit_Szukaj_Towar->installEventFilter(this);
    ui_->DBGrid_Towary->installEventFilter(this);
    ui_->DBGrid_Pozycje->installEventFilter(this);
}

bool RelationDialog::ready() const {
    return list_->isOpen() && items_->isOpen();
}

int RelationDialog::lineCount() const {
    return rows_->rowCount();
}

QStringList RelationDialog::line(int row) const {
    QStringList out;
    for (int c = 0; c < rows_->columnCount(); ++c)
        out << rows_->text(row, c);
    return out;
}

void RelationDialog::selectLine(int row) {
    if (row >= 0 && row < lineCount())
        ui_->DBGrid_Pozycje->setCurrentIndex(rows_->index(row, RelationRows::kValueColumn));
}

bool RelationDialog::filled() const {
    return list_->isOpen();
}

// The working list from the stored relations (what was changed and not saved is dropped) and
// the item list from the catalogue as it is now.
void RelationDialog::opening() {
    ui::BusyCursor busy;
    ui_->Label_Obiekt->setText(itemName_);
    list_->open();
    rows_->reload();
    {
        const QSignalBlocker quiet(ui_->Wyswietlaj_wg);
        ui_->Wyswietlaj_wg->setCurrentIndex(0);
    }
    items_->setIndexName(QLatin1String(kOrders[0]));
    if (items_->isOpen())
        items_->refresh();
    else
        items_->open();
    items_->first();
    markChanged(false);
    afterListChange();
    if (lineCount() > 0) selectLine(0);
    if (list_->relation() == Relation::ConsistsOf)
        ui_->Edit_Szukaj_Towar->setFocus();
    else
        ui_->DBGrid_Towary->setFocus();
}

void RelationDialog::afterListChange() {
    const int at = ui_->DBGrid_Pozycje->currentIndex().row();
    rows_->reload();
    if (lineCount() > 0) selectLine(std::clamp(at, 0, lineCount() - 1));
    updateButtons();
}

void RelationDialog::updateButtons() {
    const bool entries = list_->isOpen() && !list_->isEmpty();
    const bool others = items_->isOpen() && !items_->isEmpty();
    ui_->BB_Usun->setEnabled(entries);
    ui_->BB_Wyczysc->setEnabled(entries);
    ui_->BB_Dodaj->setEnabled(others);
    ui_->DBGrid_Towary->setEnabled(others);
    if (list_->relation() == Relation::Substitutes) ui_->DBGrid_Pozycje->setEnabled(entries);
}

void RelationDialog::BB_DodajClick() {
    if (!ready() || items_->isEmpty()) return;
    switch (list_->add(items_->asInteger(kItemNr))) {
    case RelationList::Added::Duplicate:
        ui::messages().information(list_->design().duplicate);
        return;
    case RelationList::Added::Refused:
        // Gone meanwhile: the list shows what is there now.
        items_->refresh();
        updateButtons();
        return;
    case RelationList::Added::Yes:
        break;
    }
    markChanged();
    rows_->reload();
    selectLine(lineCount() - 1);
    updateButtons();
}

void RelationDialog::BB_UsunClick() {
    if (!ready() || list_->isEmpty()) return;
    const int row = ui_->DBGrid_Pozycje->currentIndex().row();
    if (row < 0) return;
    list_->remove(row);
    markChanged();
    afterListChange();
}

void RelationDialog::BB_WyczyscClick() {
    if (!ready()) return;
    list_->clear();
    markChanged();
    afterListChange();
}

bool RelationDialog::storeValue(int row, const QString& typed) {
    if (!ready() || row < 0 || row >= lineCount()) return false;
    const QVariant before = list_->entries()[row].value;
    const bool kinds = list_->relation() == Relation::Substitutes;
    const bool taken = kinds ? list_->setKind(row, typed) : list_->setPieces(row, typed);
    if (!taken) {
        ui::messages().information(
            kinds ? QStringLiteral("Rodzaj zamiennika: \"równoważnik\" lub \"zamiennik\" !")
                  : QStringLiteral("Ilość sztuk musi być liczbą większą od zera !"));
        return false;
    }
    if (list_->entries()[row].value != before) {
        markChanged();
        rows_->rowChanged(row);
    }
    return true;
}

void RelationDialog::BB_NowyClick() {
    if (!list_->isOpen()) return;
    runInBetween(
        list_->design().newItemQuestion,
        [this] {
            st_.ItemEditMode = QStringLiteral("Nowy");
            {
                items::TEkr_Aktualizacja_Towar editor(st_, this);
                ui::modalRunner().run(editor);
            }
            // The new item's own screens may have handed over another item.
            st_.CurrentItemNr = list_->itemNr();
            st_.CurrentItemName = itemName_;
            placeItemTable();
        },
        [this] { opening(); });
}

// The main window's item list back on this editor's item, in the order it had.
void RelationDialog::placeItemTable() {
    engine::Table& items = st_.TFTowar;
    if (!items.isOpen()) return;
    ui::guarded([&] {
        const QString indexName = items.indexName();
        const QString indexFields = items.indexFieldNames();
        items.refresh();
        items.setIndexFieldNames(kItemNr);
        items.findNearest({list_->itemNr()});
        if (!indexName.isEmpty())
            items.setIndexName(indexName);
        else
            items.setIndexFieldNames(indexFields);
    });
}

bool RelationDialog::save() {
    if (!list_->isOpen()) return false;
    if (!list_->save()) {
        ui::messages().information(QStringLiteral(
            "Obiekt został usunięty przez innego użytkownika. Zapis nie jest możliwy !"));
        return false;
    }
    if (st_.TFTowar.isOpen()) ui::guarded([this] { st_.TFTowar.refresh(); });
    return true;
}

void RelationDialog::release() {
    list_->close();
    rows_->reload();
    items_->close();
    updateButtons();
}

void RelationDialog::Edit_Szukaj_TowarChange() {
    if (suppressSearch_ || !items_->isOpen() || items_->isEmpty()) return;
    items_->findNearest({ui_->Edit_Szukaj_Towar->text()});
}

void RelationDialog::Wyswietlaj_wgChange(int entry) {
    if (entry < 0 || entry >= int(std::size(kOrders))) return;
    items_->setIndexName(QLatin1String(kOrders[entry]));
}

void RelationDialog::leaveSearchField() {
    const QScopedValueRollback quiet(suppressSearch_, true);
    ui_->Edit_Szukaj_Towar->clear();
}

void RelationDialog::keyPressEvent(QKeyEvent* event) {
    // Enter adds from the search field and the item list (they handle it); no button takes it.
    if (isEnter(event)) return;
    QDialog::keyPressEvent(event);
}

bool RelationDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Edit_Szukaj_Towar && event->type() == QEvent::FocusOut) {
        leaveSearchField();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == ui_->Edit_Szukaj_Towar) {
        if (items_->isOpen() && ui_->DBGrid_Towary->isEnabled() &&
            ui::searchFieldMovesList(*key, *ui_->DBGrid_Towary, *items_,
                                     [this] { leaveSearchField(); }))
            return true;
    } else if (watched == ui_->DBGrid_Towary) {
        if (ui::listKeyStartsSearch(*key, *ui_->Edit_Szukaj_Towar)) return true;
    } else if (watched == ui_->DBGrid_Pozycje && list_->relation() != Relation::Substitutes) {
        if (!key->text().isEmpty() && key->text()[0].isPrint()) markChanged();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace relations
