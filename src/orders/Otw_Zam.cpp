#include "orders/Otw_Zam.h"

#include "engine/error.h"
#include "engine/table.h"
#include "orders/orderdocs.h"
#include "orders/ordereditorentry.h"
#include "orders/orderlistlogic.h"
#include "orders/orderprinting.h"
#include "platform/clock.h"
#include "store/mainstate.h"
#include "ui/E_Kalend.h"
#include "ui/busycursor.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/searchkeys.h"
#include "ui_Otw_Zam.h"
#include <QKeyEvent>

namespace orders {

namespace {

constexpr int kHelpContext = 2400;

TEkr_Otworz_Zamowienie*& mainList() {
    static TEkr_Otworz_Zamowienie* list = nullptr;
    return list;
}

QString field(const char* name) {
    return QLatin1String(name);
}

bool isEnter(const QKeyEvent* key) {
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

void setMainOrderList(TEkr_Otworz_Zamowienie* list) {
    mainList() = list;
}

TEkr_Otworz_Zamowienie* mainOrderList() {
    return mainList();
}

bool showOrderListPreset(store::MainState& state) {
    TEkr_Otworz_Zamowienie* list = mainList();
    if (!list) return false;
    openOrderTables(state);
    list->showPreset();
    return true;
}

TEkr_Otworz_Zamowienie::TEkr_Otworz_Zamowienie(store::MainState& state, QWidget* mainWindow,
                                               QWidget* parent)
    : QDialog(parent), st_(state), mainWindow_(mainWindow),
      ui_(std::make_unique<Ui::TEkr_Otworz_Zamowienie>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, kHelpContext);
    setWindowFlag(Qt::WindowMinMaxButtonsHint);
    ui_->Label_Rodzaj->hide();
    ui_->Combo_Rodzaj->hide();
    ui_->BB_Pomoc->hide();
    for (QPushButton* more : {ui_->BB_Okres_Od, ui_->BB_Okres_Do})
        more->setFixedWidth(more->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    for (QLineEdit* date : {ui_->Edit_Okres_Od, ui_->Edit_Okres_Do}) {
        date->setFixedWidth(date->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00000")) +
                            12);
        date->setFocusPolicy(Qt::NoFocus);
    }
    // The period is the current year until the user picks another.
    const int year = platform::today().year();
    from_ = QDate(year, 1, 1);
    to_ = QDate(year, 12, 31);
    showPeriod();
    ui_->Combo_Pokaz->setCurrentIndex(int(ShowChoice::NotCompleted));
    ui_->Combo_Wyswietlaj_wg->setCurrentIndex(int(SortChoice::Number));
    setUpGrids();
    applySort();
    connectControls();
}

TEkr_Otworz_Zamowienie::~TEkr_Otworz_Zamowienie() {
    if (mainList() == this) mainList() = nullptr;
    // The grids let go of the main window's tables, which outlive this list.
    ui_->DBGrid_Zamowienia->setDataSet(nullptr);
    ui_->DBGrid_Pozycje->setDataSet(nullptr);
}

void TEkr_Otworz_Zamowienie::setUpGrids() {
    ui::DbGrid* orders = ui_->DBGrid_Zamowienia;
    orders->addColumn(field("Dok_Numer_Dok"), QStringLiteral("Nr"), 110);
    orders->addColumn(field("Dok_Data_Wyst"), QStringLiteral("Z dnia"), 80);
    orders->addColumn(field("Dok_Data_Realiz"), QStringLiteral("Data realiz."), 80);
    orders->addColumn(field("Dok_Firma_Skrot"), QStringLiteral("Adresat / Zamawiający"), 260);
    orders->setDataSet(&st_.TDokumenty);

    ui::DbGrid* lines = ui_->DBGrid_Pozycje;
    lines->addColumn(field("Dane_Tow_Nazwa"), QStringLiteral("Nazwa pozycji"), 260);
    lines->addColumn(field("Dane_Tow_Symbol"), QStringLiteral("Symbol"), 110);
    lines->addColumn(field("Dane_Tow_Kod_Prod"), QStringLiteral("Kod producenta"), 110);
    lines->addColumn(field("Dane_jm"), QStringLiteral("j.m."), 40);
    lines->addColumn(field("Dane_Ilosc"), QStringLiteral("Ilość"), 60);
    lines->addColumn(field("Dane_Uwagi"), QStringLiteral("Uwagi"), 160);
    lines->setDataSet(&st_.TDok_Dane);
    lines->setFocusPolicy(Qt::ClickFocus);
}

void TEkr_Otworz_Zamowienie::connectControls() {
    using T = TEkr_Otworz_Zamowienie;
    const std::pair<QPushButton*, void (T::*)()> buttons[] = {
        {ui_->BB_Otworz, &T::BB_OtworzClick},     {ui_->BB_Usun, &T::BB_UsunClick},
        {ui_->BB_Dodaj, &T::BB_DodajClick},       {ui_->BB_Zrealizowane, &T::BB_ZrealizowaneClick},
        {ui_->BB_Wydruk, &T::BB_WydrukClick},     {ui_->BB_Podglad, &T::BB_PodgladClick},
        {ui_->BB_PDF, &T::BB_PDFClick},           {ui_->BB_Odswiez, &T::BB_OdswiezClick},
        {ui_->BB_Powrot, &T::BB_PowrotClick},     {ui_->BB_Okres_Od, &T::BB_Okres_OdClick},
        {ui_->BB_Okres_Do, &T::BB_Okres_DoClick},
    };
    for (const auto& [button, slot] : buttons)
        connect(button, &QPushButton::clicked, this, ui::guardedSlot(this, slot));
    connect(ui_->Combo_Pokaz, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot([this] { Combo_PokazChange(); }));
    connect(ui_->Combo_Rodzaj, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot([this] { Combo_RodzajChange(); }));
    connect(ui_->Combo_Wyswietlaj_wg, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot([this] { Combo_Wyswietlaj_wgChange(); }));
    connect(ui_->Edit_Szukaj, &QLineEdit::textChanged, this,
            ui::guardedSlot([this] { Edit_SzukajChange(); }));
    connect(ui_->DBGrid_Zamowienia, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &T::DBGrid_ZamowieniaDblClick));
    connect(ui_->DBGrid_Zamowienia, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &T::BB_OtworzClick));
    // The buttons follow the current order and whether it has lines.
    for (engine::DataSet* ds : {static_cast<engine::DataSet*>(&st_.TDokumenty),
                                static_cast<engine::DataSet*>(&st_.TDok_Dane)}) {
        connect(ds, &engine::DataSet::afterScroll, this, &T::updateButtons);
        connect(ds, &engine::DataSet::afterRefresh, this, &T::updateButtons);
        connect(ds, &engine::DataSet::afterOpen, this, &T::updateButtons);
        connect(ds, &engine::DataSet::afterClose, this, &T::updateButtons);
    }
    connect(&st_.TDokumenty, &engine::Table::afterPost, this, &T::updateButtons);
    connect(&st_.TDokumenty, &engine::Table::afterDelete, this, &T::updateButtons);
    ui_->Edit_Szukaj->installEventFilter(this);
    ui_->DBGrid_Zamowienia->installEventFilter(this);
}

// --- Ways in ----------------------------------------------------------------------------------

void TEkr_Otworz_Zamowienie::showKind(int kindIndex) {
    st_.OrderListPreset.set = false;
    openOrderTables(st_);
    {
        const QSignalBlocker quiet(ui_->Combo_Rodzaj);
        ui_->Combo_Rodzaj->setCurrentIndex(kindIndex == 1 ? 1 : 0);
    }
    setWindowTitle(listCaption(kindOfIndex(kindIndex)));
    if (isVisible())
        activate();
    else
        show();
    raise();
    activateWindow();
}

void TEkr_Otworz_Zamowienie::showPreset() {
    setWindowTitle(listCaption(kindOfIndex(st_.OrderListPreset.kindIndex)));
    if (isVisible())
        activate();
    else
        show();
    raise();
    activateWindow();
}

void TEkr_Otworz_Zamowienie::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ui::guarded([this] { activate(); });
}

void TEkr_Otworz_Zamowienie::activate() {
    openOrderTables(st_);
    if (st_.OrderListPreset.set) {
        const store::OrderListPresetState preset = st_.OrderListPreset;
        st_.OrderListPreset.set = false;
        {
            const QSignalBlocker quietKind(ui_->Combo_Rodzaj);
            const QSignalBlocker quietSort(ui_->Combo_Wyswietlaj_wg);
            ui_->Combo_Rodzaj->setCurrentIndex(preset.kindIndex == 1 ? 1 : 0);
            ui_->Combo_Wyswietlaj_wg->setCurrentIndex(qBound(0, preset.sortIndex, 3));
        }
        // The preset's kind is filtered at once: the list must not show the other kind's
        // orders under the company's name.
        applyFilter();
        applySort();
        ui_->Edit_Szukaj->setText(preset.searchText);
        Edit_SzukajChange(); // also when the text was already there
    } else {
        applyFilter();
        st_.TDokumenty.last();
    }
    const store::DisplayConfig& d = st_.Display;
    if (!d.headerSymbol.isEmpty())
        ui_->DBGrid_Pozycje->setColumnTitle(field("Dane_Tow_Symbol"), d.headerSymbol);
    if (!d.headerProducerCode.isEmpty())
        ui_->DBGrid_Pozycje->setColumnTitle(field("Dane_Tow_Kod_Prod"), d.headerProducerCode);
    updateButtons();
}

// --- Filter, order, search --------------------------------------------------------------------

int TEkr_Otworz_Zamowienie::kindIndex() const {
    return ui_->Combo_Rodzaj->currentIndex() == 1 ? 1 : 0;
}

QString TEkr_Otworz_Zamowienie::filterText() const {
    return orderListFilter(kindIndex(), ShowChoice(ui_->Combo_Pokaz->currentIndex()), from_, to_);
}

void TEkr_Otworz_Zamowienie::applyFilter() {
    engine::Table& t = st_.TDokumenty;
    ui::BusyCursor busy;
    t.setFiltered(false);
    t.setFilter(filterText());
    t.setFiltered(true);
    updateButtons();
}

void TEkr_Otworz_Zamowienie::applySort() {
    const auto sort = SortChoice(ui_->Combo_Wyswietlaj_wg->currentIndex());
    st_.TDokumenty.setIndexName(sortIndexName(sort));
    const bool searches = sortSearches(sort);
    ui_->Label_Szukaj->setVisible(searches);
    ui_->Edit_Szukaj->setVisible(searches);
    if (!searches) emptySearchSilently();
}

void TEkr_Otworz_Zamowienie::showPeriod() {
    ui_->Edit_Okres_Od->setText(platform::dateText(from_));
    ui_->Edit_Okres_Do->setText(platform::dateText(to_));
}

void TEkr_Otworz_Zamowienie::Combo_PokazChange() {
    applyFilter();
}

void TEkr_Otworz_Zamowienie::Combo_RodzajChange() {
    applyFilter();
}

void TEkr_Otworz_Zamowienie::Combo_Wyswietlaj_wgChange() {
    applySort();
}

void TEkr_Otworz_Zamowienie::Edit_SzukajChange() {
    engine::Table& t = st_.TDokumenty;
    if (quietSearch_ || !t.isOpen()) return;
    const QString text = ui_->Edit_Szukaj->text();
    switch (SortChoice(ui_->Combo_Wyswietlaj_wg->currentIndex())) {
    case SortChoice::Addressee:
        t.findNearest({text});
        break;
    case SortChoice::Number: {
        // The nearest order number not below the typed one; what is no number moves nothing.
        bool ok = false;
        const qint64 number = text.trimmed().toLongLong(&ok);
        if (ok) t.findNearest({number});
        break;
    }
    default:
        break;
    }
}

void TEkr_Otworz_Zamowienie::emptySearchSilently() {
    quietSearch_ = true;
    ui_->Edit_Szukaj->clear();
    quietSearch_ = false;
}

void TEkr_Otworz_Zamowienie::BB_Okres_OdClick() {
    const std::optional<QDate> picked = ui::pickDate(st_);
    if (!picked) return;
    if (*picked > to_) {
        ui::messages().information(
            QStringLiteral("Wybrabna data nie może późniejsza niż data końca okresu !"));
        return;
    }
    from_ = *picked;
    showPeriod();
    applyFilter();
}

void TEkr_Otworz_Zamowienie::BB_Okres_DoClick() {
    const std::optional<QDate> picked = ui::pickDate(st_);
    if (!picked) return;
    if (*picked < from_) {
        ui::messages().information(
            QStringLiteral("Wybrabna data nie może wcześniejsza niż data początku okresu !"));
        return;
    }
    to_ = *picked;
    showPeriod();
    applyFilter();
}

// --- Keys -------------------------------------------------------------------------------------

bool TEkr_Otworz_Zamowienie::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Edit_Szukaj && event->type() == QEvent::FocusOut) {
        emptySearchSilently();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool used = false;
    ui::guarded([&] {
        if (watched == ui_->Edit_Szukaj) {
            if (isEnter(key)) {
                ui_->DBGrid_Zamowienia->setFocus();
                used = true;
            } else if (st_.TDokumenty.isOpen()) {
                used = ui::searchFieldMovesList(*key, *ui_->DBGrid_Zamowienia, st_.TDokumenty,
                                                [this] { emptySearchSilently(); });
            }
        } else if (watched == ui_->DBGrid_Zamowienia && ui_->Edit_Szukaj->isVisible()) {
            used = ui::listKeyStartsSearch(*key, *ui_->Edit_Szukaj);
        }
    });
    return used || QDialog::eventFilter(watched, event);
}

// --- Commands ---------------------------------------------------------------------------------

qint64 TEkr_Otworz_Zamowienie::currentOrder() const {
    const engine::Table& t = st_.TDokumenty;
    if (!t.isOpen() || t.isEmpty()) return 0;
    return t.value(field("Dok_Nr")).toLongLong();
}

void TEkr_Otworz_Zamowienie::updateButtons() {
    const bool hasOrder = currentOrder() != 0;
    const bool full = st_.fullRights();
    ui_->BB_Otworz->setEnabled(hasOrder);
    ui_->BB_Wydruk->setEnabled(hasOrder);
    ui_->BB_Podglad->setEnabled(hasOrder);
    ui_->BB_PDF->setEnabled(hasOrder && st_.TDok_Dane.isOpen() && !st_.TDok_Dane.isEmpty());
    ui_->BB_Dodaj->setEnabled(full);
    ui_->BB_Usun->setEnabled(full && hasOrder);
    ui_->BB_Zrealizowane->setEnabled(full && hasOrder);
    const bool completed = hasOrder && st_.TDokumenty.asBoolean(field("Dok_Zaplacono"));
    ui_->BB_Zrealizowane->setText(completed ? QStringLiteral("Niezrealizowane")
                                            : QStringLiteral("Zrealizowane"));
}

void TEkr_Otworz_Zamowienie::leaveForEditor() {
    // The main window's list steps aside too when the menu's modal list opened the order.
    if (mainList() && mainList() != this) mainList()->hide();
    if (isModal())
        accept();
    else
        hide();
}

void TEkr_Otworz_Zamowienie::BB_OtworzClick() {
    const qint64 dokNr = currentOrder();
    if (!dokNr) return;
    if (openOrderEditor(mainWindow_, st_, dokNr, EditorOpen::Existing)) leaveForEditor();
}

void TEkr_Otworz_Zamowienie::DBGrid_ZamowieniaDblClick() {
    BB_OtworzClick();
}

void TEkr_Otworz_Zamowienie::BB_DodajClick() {
    if (!st_.fullRights()) return;
    const int kind = kindOfIndex(kindIndex());
    CompletedAtCreation completed = CompletedAtCreation::Unset;
    if (ui_->Combo_Pokaz->currentIndex() == int(ShowChoice::NotCompleted))
        completed = CompletedAtCreation::No;
    else if (ui_->Combo_Pokaz->currentIndex() == int(ShowChoice::Completed))
        completed = CompletedAtCreation::Yes;
    CreatedOrder made;
    {
        ui::BusyCursor busy;
        made = createOrder(st_, kind, completed, platform::today());
    }
    st_.OrderKind = kind;
    st_.OrderKindText = kindWord(kind);
    if (openOrderEditor(mainWindow_, st_, made.dokNr, EditorOpen::New)) {
        leaveForEditor();
        return;
    }
    // The editor did not take the new order: its header would stay behind as an empty order
    // under the editing marker.
    engine::Table created(st_.DefaultCatalogueFolder, field("Dok_Head"));
    created.open();
    if (created.gotoRowId(made.dokNr) &&
        created.asString(field("Dok_Firma_Skrot")) == editingMarker())
        deleteOrder(created);
    st_.TDokumenty.refreshIfChanged();
    updateButtons();
}

void TEkr_Otworz_Zamowienie::BB_UsunClick() {
    if (!st_.fullRights() || !currentOrder()) return;
    if (!ui::messages().question(QStringLiteral("Chcesz usunąć zaznaczone zamówienie ?"),
                                 ui::Button::No))
        return;
    ui::BusyCursor busy;
    deleteOrder(st_.TDokumenty);
    updateButtons();
}

void TEkr_Otworz_Zamowienie::BB_ZrealizowaneClick() {
    if (!st_.fullRights() || !currentOrder()) return;
    toggleCompleted(st_.TDokumenty);
    updateButtons();
}

void TEkr_Otworz_Zamowienie::print(PrintTarget target) {
    const qint64 dokNr = currentOrder();
    if (!dokNr) return;
    printOrder(this, st_, dokNr, target);
}

void TEkr_Otworz_Zamowienie::BB_WydrukClick() {
    print(PrintTarget::Printer);
}

void TEkr_Otworz_Zamowienie::BB_PodgladClick() {
    print(PrintTarget::Preview);
}

void TEkr_Otworz_Zamowienie::BB_PDFClick() {
    if (!ui_->BB_PDF->isEnabled()) return;
    print(PrintTarget::Pdf);
}

void TEkr_Otworz_Zamowienie::BB_OdswiezClick() {
    if (!st_.TDokumenty.isOpen()) return;
    ui::BusyCursor busy;
    st_.TDokumenty.refresh();
    updateButtons();
}

void TEkr_Otworz_Zamowienie::BB_PowrotClick() {
    if (isModal())
        QDialog::reject();
    else
        hide();
}

void TEkr_Otworz_Zamowienie::reject() {
    ui::guarded([this] { BB_PowrotClick(); });
}

} // namespace orders
