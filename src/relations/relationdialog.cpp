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
      towar_(std::make_unique<engine::Table>()), ui_(std::make_unique<Ui::RelationDialog>()) {
    buildForm();
    setWindowTitle(designOf(relation).caption);

    towar_->setDatabaseName(st_.CurrentCatalogueFolder);
    towar_->setTableName(QStringLiteral("Towar"));
    towar_->setIndexName(QLatin1String(kOrders[0]));
    // The item itself is never offered: nothing consists of, goes into or replaces itself.
    towar_->setFilter(QStringLiteral("tow_nr<>%1").arg(list_->itemNr()));
    towar_->setFiltered(true);
    towary_->setDataSet(towar_.get());
    updateButtons();
}

RelationDialog::~RelationDialog() {
    // The grid lets go of the table object before it goes.
    towary_->setDataSet(nullptr);
}

void RelationDialog::buildForm() {
    const RelationDesign& d = list_->design();
    ui_->setupUi(this);
    ui_->Label_ObiektTytul->setText(d.itemLabel);
    ui_->Label_Lista->setText(d.listLabel);
    obiekt_ = ui_->Label_Obiekt;
    obiekt_->setText(itemName_);
    lista_ = ui_->DBGrid_Pozycje;
    towary_ = ui_->DBGrid_Towary;
    szukaj_ = ui_->Edit_Szukaj_Towar;
    wyswietlaj_ = ui_->Wyswietlaj_wg;
    dodaj_ = ui_->BB_Dodaj;
    usun_ = ui_->BB_Usun;
    wyczysc_ = ui_->BB_Wyczysc;
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
    lista_->setModel(rows_);
    lista_->setItemDelegateForColumn(
        RelationRows::kValueColumn,
        new RelationValueDelegate(list_->relation() == Relation::Substitutes, lista_));
    lista_->setSelectionMode(QAbstractItemView::SingleSelection);
    lista_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::SelectedClicked | QAbstractItemView::DoubleClicked);
    lista_->setTabKeyNavigation(false);
    lista_->verticalHeader()->hide();
    lista_->verticalHeader()->setDefaultSectionSize(lista_->fontMetrics().height() + 6);
    lista_->setColumnWidth(0, 280);
    lista_->setColumnWidth(1, 130);
    lista_->setColumnWidth(2, 130);
    lista_->horizontalHeader()->setStretchLastSection(true);
    if (list_->relation() == Relation::GoesInto) {
        // Whichever column is entered, the pieces are what can be typed.
        connect(lista_->selectionModel(), &QItemSelectionModel::currentChanged, this,
                [this](const QModelIndex& current) {
                    if (current.isValid() && current.column() != RelationRows::kValueColumn)
                        lista_->setCurrentIndex(
                            rows_->index(current.row(), RelationRows::kValueColumn));
                });
    }
}

// The other items, searchable in four orders.
void RelationDialog::setupItemList() {
    const store::DisplayConfig& cfg = st_.Display;
    wyswietlaj_->addItems(
        {cfg.headerName1, cfg.headerName2, cfg.headerSymbol, cfg.headerProducerCode});
    towary_->addColumn(QStringLiteral("Tow_Nazwa"), cfg.headerName1, 280);
    towary_->addColumn(QStringLiteral("Tow_Symbol"), cfg.headerSymbol, 130);
    towary_->addColumn(QStringLiteral("Tow_Kod_Prod"), cfg.headerProducerCode, 130);
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
    connect(dodaj_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    connect(usun_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_UsunClick));
    connect(wyczysc_, &QPushButton::clicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_WyczyscClick));
    connect(szukaj_, &QLineEdit::textChanged, this,
            ui::guardedSlot(this, &RelationDialog::Edit_Szukaj_TowarChange));
    connect(szukaj_, &QLineEdit::returnPressed, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    connect(wyswietlaj_, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot(this, &RelationDialog::Wyswietlaj_wgChange));
    connect(towary_, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    connect(towary_, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &RelationDialog::BB_DodajClick));
    szukaj_->installEventFilter(this);
    towary_->installEventFilter(this);
    lista_->installEventFilter(this);
}

bool RelationDialog::ready() const {
    return list_->isOpen() && towar_->isOpen();
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
        lista_->setCurrentIndex(rows_->index(row, RelationRows::kValueColumn));
}

bool RelationDialog::filled() const {
    return list_->isOpen();
}

// The working list from the stored relations (what was changed and not saved is dropped) and
// the item list from the catalogue as it is now.
void RelationDialog::opening() {
    ui::BusyCursor busy;
    obiekt_->setText(itemName_);
    list_->open();
    rows_->reload();
    {
        const QSignalBlocker quiet(wyswietlaj_);
        wyswietlaj_->setCurrentIndex(0);
    }
    towar_->setIndexName(QLatin1String(kOrders[0]));
    if (towar_->isOpen())
        towar_->refresh();
    else
        towar_->open();
    towar_->first();
    markChanged(false);
    afterListChange();
    if (lineCount() > 0) selectLine(0);
    if (list_->relation() == Relation::ConsistsOf)
        szukaj_->setFocus();
    else
        towary_->setFocus();
}

void RelationDialog::afterListChange() {
    const int at = lista_->currentIndex().row();
    rows_->reload();
    if (lineCount() > 0) selectLine(std::clamp(at, 0, lineCount() - 1));
    updateButtons();
}

void RelationDialog::updateButtons() {
    const bool entries = list_->isOpen() && !list_->isEmpty();
    const bool others = towar_->isOpen() && !towar_->isEmpty();
    usun_->setEnabled(entries);
    wyczysc_->setEnabled(entries);
    dodaj_->setEnabled(others);
    towary_->setEnabled(others);
    if (list_->relation() == Relation::Substitutes) lista_->setEnabled(entries);
}

void RelationDialog::BB_DodajClick() {
    if (!ready() || towar_->isEmpty()) return;
    switch (list_->add(towar_->asInteger(kItemNr))) {
    case RelationList::Added::Duplicate:
        ui::messages().information(list_->design().duplicate);
        return;
    case RelationList::Added::Refused:
        // Gone meanwhile: the list shows what is there now.
        towar_->refresh();
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
    const int row = lista_->currentIndex().row();
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
    towar_->close();
    updateButtons();
}

void RelationDialog::Edit_Szukaj_TowarChange() {
    if (suppressSearch_ || !towar_->isOpen() || towar_->isEmpty()) return;
    towar_->findNearest({szukaj_->text()});
}

void RelationDialog::Wyswietlaj_wgChange(int entry) {
    if (entry < 0 || entry >= int(std::size(kOrders))) return;
    towar_->setIndexName(QLatin1String(kOrders[entry]));
}

void RelationDialog::leaveSearchField() {
    const QScopedValueRollback quiet(suppressSearch_, true);
    szukaj_->clear();
}

void RelationDialog::keyPressEvent(QKeyEvent* event) {
    // Enter adds from the search field and the item list (they handle it); no button takes it.
    if (isEnter(event)) return;
    QDialog::keyPressEvent(event);
}

bool RelationDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == szukaj_ && event->type() == QEvent::FocusOut) {
        leaveSearchField();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == szukaj_) {
        if (towar_->isOpen() && towary_->isEnabled() &&
            ui::searchFieldMovesList(*key, *towary_, *towar_, [this] { leaveSearchField(); }))
            return true;
    } else if (watched == towary_) {
        if (ui::listKeyStartsSearch(*key, *szukaj_)) return true;
    } else if (watched == lista_ && list_->relation() != Relation::Substitutes) {
        if (!key->text().isEmpty() && key->text()[0].isPrint()) markChanged();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace relations
