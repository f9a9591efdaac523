#include "prices/Akt_ceny.h"
#include "engine/table.h"
#include "engine/values.h"
#include "partners/Ak_firma.h"
#include "platform/clock.h"
#include "prices/pricelinesmodel.h"
#include "prices/pricesheet.h"
#include "store/mainstate.h"
#include "ui/E_Kalend.h"
#include "ui/busycursor.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/dbtext.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/money.h"
#include "ui/searchkeys.h"
#include "ui_Akt_ceny.h"
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace prices {

namespace {

const QString kNotNumber = QStringLiteral("Wprowadzona dana nie jest liczbą !");
const QString kItemGone =
    QStringLiteral("Obiekt został usunięty przez innego użytkownika. Zapis nie jest możliwy !");

QList<Currency> readCurrencies(const QString& folder) {
    QList<Currency> out;
    engine::Table waluta(folder, QStringLiteral("Waluta"));
    waluta.open();
    for (waluta.first(); !waluta.eof() && !waluta.isEmpty(); waluta.next())
        out << Currency{waluta.asInteger(QStringLiteral("Waluta_Nr")),
                        waluta.asString(QStringLiteral("Waluta_Nazwa"))};
    return out;
}

} // namespace

TEkr_ceny::TEkr_ceny(store::MainState& state, QWidget* parent)
    : ui::WorkDialog(QStringLiteral("Dane zostały zmienione. Zapisać wprowadzone zmiany ?"),
                     parent),
      st_(state), itemNr_(state.CurrentItemNr), date_(platform::today()),
      sheet_(std::make_unique<PriceSheet>(state.CurrentCatalogueFolder, state.TempFolder,
                                          state.CurrentItemNr)),
      companies_(std::make_unique<engine::Table>()), ui_(std::make_unique<Ui::TEkr_ceny>()) {
    setObjectName(QStringLiteral("TEkr_ceny"));
    ui::setHelpContext(this, 1100);
    setWindowTitle(QStringLiteral("Obiekt / Ceny"));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    companies_->setDatabaseName(st_.CurrentCatalogueFolder);
    companies_->setTableName(QStringLiteral("Firmy"));
    companies_->setIndexName(QStringLiteral("wg_Firma_Skrot"));
    buildForm();
    updateControls();
}

TEkr_ceny::~TEkr_ceny() {
    // The list lets go of its table before the table goes.
    ui_->DBGrid_Firmy->setDataSet(nullptr);
}

void TEkr_ceny::buildForm() {
    ui_->setupUi(this);
    setupPriceGrid();
    setupCompanyList();
    ui_->DBEdit_Uwagi->setMaxLength(kRemarkLength);
    ui_->Edit_Data->setText(platform::dateText(date_));
    ui_->Edit_Data->setFixedWidth(
        ui_->Edit_Data->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00000")) + 12);
    connectControls();
}

void TEkr_ceny::setupPriceGrid() {
    model_ = new PriceLinesModel(
        *sheet_,
        [this](int line, int column, const QVariant& v) { return storeCell(line, column, v); },
        this);
    ui_->DBGrid_Ceny->setModel(model_);
    ui_->DBGrid_Ceny->setItemDelegateForColumn(PriceLinesModel::CurrencyName,
                                               new CurrencyDelegate(ui_->DBGrid_Ceny));
    ui_->DBGrid_Ceny->setSelectionMode(QAbstractItemView::SingleSelection);
    ui_->DBGrid_Ceny->setEditTriggers(
        QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
        QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    ui_->DBGrid_Ceny->setTabKeyNavigation(false);
    ui_->DBGrid_Ceny->verticalHeader()->hide();
    ui_->DBGrid_Ceny->verticalHeader()->setDefaultSectionSize(
        ui_->DBGrid_Ceny->fontMetrics().height() + 6);
    // The supplier's name takes what the prices and the currency leave.
    ui_->DBGrid_Ceny->horizontalHeader()->setSectionResizeMode(PriceLinesModel::Company,
                                                               QHeaderView::Stretch);
    for (int c = PriceLinesModel::PriceA; c <= PriceLinesModel::PriceSrp; ++c)
        ui_->DBGrid_Ceny->setColumnWidth(c, 72);
    ui_->DBGrid_Ceny->setColumnWidth(PriceLinesModel::CurrencyName, 70);
}

void TEkr_ceny::setupCompanyList() {
    ui_->DBGrid_Firmy->addColumn(QStringLiteral("Firma_Skrot"), QStringLiteral("Firma"), 200);
    ui_->DBGrid_Firmy->horizontalHeader()->setStretchLastSection(true);
    ui_->DBText_Miejscowosc->setField(QStringLiteral("Firma_Miejscowosc"));
    ui_->DBText_Ulica->setField(QStringLiteral("Firma_Ulica"));
    ui_->DBGrid_Firmy->setDataSet(companies_.get());
    ui_->DBText_Miejscowosc->setDataSet(companies_.get());
    ui_->DBText_Ulica->setDataSet(companies_.get());
}

void TEkr_ceny::connectControls() {
    connect(ui_->DBGrid_Ceny->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            ui::guardedSlot(this, &TEkr_ceny::showRemark));
    connect(ui_->DBEdit_Uwagi, &QLineEdit::textEdited, this, [this] { markChanged(); });
    connect(ui_->DBEdit_Uwagi, &QLineEdit::editingFinished, this,
            ui::guardedSlot(this, &TEkr_ceny::commitRemark));
    connect(ui_->BB_Dodaj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_DodajClick));
    connect(ui_->BB_Usun, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_UsunClick));
    connect(ui_->BB_Wyczysc, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_WyczyscClick));
    connect(ui_->BB_Data, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_DataClick));
    connect(ui_->BB_Firmy, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_FirmyClick));
    connect(ui_->BB_Zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_ZapiszClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_AnulujClick));
    connect(ui_->BB_Powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_PowrotClick));
    connect(ui_->CheckBox_Domyslna, &QCheckBox::clicked, this,
            ui::guardedSlot(this, &TEkr_ceny::CheckBox_DomyslnaClick));
    connect(ui_->Edit_Szukaj, &QLineEdit::textChanged, this,
            ui::guardedSlot(this, &TEkr_ceny::Edit_SzukajChange));
    connect(ui_->Edit_Szukaj, &QLineEdit::returnPressed, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_DodajClick));
    connect(ui_->DBGrid_Firmy, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_DodajClick));
    connect(ui_->DBGrid_Firmy, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &TEkr_ceny::BB_DodajClick));
    ui_->Edit_Szukaj->installEventFilter(this);
    ui_->DBGrid_Firmy->installEventFilter(this);
    ui_->DBEdit_Uwagi->installEventFilter(this);
}

int TEkr_ceny::currentLine() const {
    const int row = ui_->DBGrid_Ceny->currentIndex().row();
    return row >= 0 && row < sheet_->lines().size() ? row : -1;
}

bool TEkr_ceny::filled() const {
    return sheet_->isOpen();
}

void TEkr_ceny::opening() {
    ui::BusyCursor busy;
    const QString folder = st_.CurrentCatalogueFolder;
    {
        engine::Table towar(folder, QStringLiteral("Towar"));
        towar.open();
        if (itemNr_ > 0 && towar.findKey({itemNr_}))
            ui_->Label_Obiekt->setText(towar.asString(QStringLiteral("Tow_Nazwa")));
    }
    sheet_->open();
    model_->setCurrencies(readCurrencies(folder));
    if (companies_->isOpen())
        companies_->refresh();
    else
        companies_->open();
    companies_->first();

    int line = sheet_->lines().isEmpty() ? -1 : 0;
    bool onDefault = false;
    if (st_.DefaultSupplierNr > 0) {
        const int own = sheet_->lineOfCompany(st_.DefaultSupplierNr);
        if (own >= 0) {
            line = own;
            onDefault = true;
        }
        engine::Table byNr(folder, QStringLiteral("Firmy"));
        byNr.open();
        if (!byNr.isEmpty()) {
            byNr.findNearest({st_.DefaultSupplierNr});
            companies_->gotoRowId(byNr.rowId());
        }
    }
    ui_->CheckBox_Domyslna->setChecked(st_.DefaultSupplierNr != 0);
    date_ = platform::today();
    ui_->Edit_Data->setText(platform::dateText(date_));
    markChanged(false);
    showLines(line);
    if (onDefault)
        ui_->DBGrid_Ceny->setFocus();
    else
        ui_->DBGrid_Firmy->setFocus();
}

void TEkr_ceny::showLines(int current) {
    model_->reload();
    if (current >= 0 && current < model_->rowCount()) {
        const int column =
            std::max(int(PriceLinesModel::PriceA), ui_->DBGrid_Ceny->currentIndex().column());
        ui_->DBGrid_Ceny->setCurrentIndex(model_->index(current, column));
    }
    showRemark();
    updateControls();
}

void TEkr_ceny::showRemark() {
    const int line = currentLine();
    ui_->DBEdit_Uwagi->setText(line >= 0 ? sheet_->lines()[line].remark : QString());
    ui_->DBEdit_Uwagi->setEnabled(line >= 0);
}

void TEkr_ceny::commitRemark() {
    const int line = currentLine();
    if (line < 0 || !sheet_->isOpen()) return;
    ui::guarded([&] {
        if (sheet_->setRemark(line, ui_->DBEdit_Uwagi->text(), date_)) markChanged();
    });
}

void TEkr_ceny::updateControls() {
    const bool lines = sheet_->isOpen() && !sheet_->lines().isEmpty();
    const bool companies = companySelected();
    ui_->DBGrid_Ceny->setEnabled(lines);
    ui_->DBEdit_Uwagi->setEnabled(lines && currentLine() >= 0);
    ui_->BB_Usun->setEnabled(lines);
    ui_->BB_Wyczysc->setEnabled(lines);
    ui_->DBGrid_Firmy->setEnabled(companies);
    ui_->BB_Dodaj->setEnabled(companies);
}

bool TEkr_ceny::companySelected() const {
    return companies_->isOpen() && !companies_->isEmpty();
}

bool TEkr_ceny::storeCell(int line, int column, const QVariant& value) {
    if (!sheet_->isOpen() || line < 0 || line >= sheet_->lines().size()) return false;
    bool stored = true;
    const bool written = ui::guarded([&] {
        bool changed = false;
        if (column == PriceLinesModel::CurrencyName) {
            changed = sheet_->setCurrency(line, value.toInt(), date_);
        } else if (column >= PriceLinesModel::PriceA && column <= PriceLinesModel::PriceSrp) {
            const auto number = ui::moneyFromText(value.toString());
            if (!number) {
                ui::messages().information(kNotNumber);
                stored = false;
                return;
            }
            static const PriceField fields[] = {PriceField::Price1, PriceField::Price2,
                                                PriceField::Price3, PriceField::Srp};
            changed =
                sheet_->setPrice(line, fields[column - PriceLinesModel::PriceA], *number, date_);
        } else {
            stored = false;
            return;
        }
        if (changed) markChanged();
    });
    return written && stored;
}

void TEkr_ceny::BB_DodajClick() {
    if (!sheet_->isOpen() || !companySelected()) return;
    const int company = companies_->asInteger(QStringLiteral("Firma_Nr"));
    if (sheet_->lineOfCompany(company) >= 0) return;
    commitRemark();
    ui::guarded([&] {
        const int line = sheet_->add(company, companies_->asString(QStringLiteral("Firma_Skrot")),
                                     st_.HomeCurrencyNr, date_);
        markChanged();
        showLines(line);
        ui_->DBGrid_Ceny->setFocus();
    });
}

void TEkr_ceny::BB_UsunClick() {
    const int line = currentLine();
    if (line < 0) return;
    ui::guarded([&] { sheet_->remove(line); });
    markChanged();
    showLines(std::min(line, int(sheet_->lines().size()) - 1));
}

void TEkr_ceny::BB_WyczyscClick() {
    if (!sheet_->isOpen()) return;
    ui::guarded([&] { sheet_->clear(); });
    markChanged();
    showLines(-1);
}

void TEkr_ceny::BB_DataClick() {
    const std::optional<QDate> picked = ui::pickDate(st_);
    if (!picked) return;
    date_ = *picked;
    ui_->Edit_Data->setText(platform::dateText(date_));
}

void TEkr_ceny::BB_FirmyClick() {
    commitRemark();
    st_.CompanyPickMode.clear();
    st_.CompanyFolder.clear();
    {
        partners::TEkr_Aktualizacja_Firma companies(st_, this);
        ui::modalRunner().run(companies);
    }
    ui::guarded([&] {
        const qint64 at = companies_->rowId();
        if (companies_->isOpen()) companies_->refresh();
        if (!at || !companies_->gotoRowId(at)) companies_->first();
    });
    updateControls();
}

void TEkr_ceny::CheckBox_DomyslnaClick(bool checked) {
    if (!checked) {
        st_.DefaultSupplierNr = 0;
        return;
    }
    // Without a company to name, nothing becomes the default.
    if (!companySelected()) {
        ui_->CheckBox_Domyslna->setChecked(false);
        return;
    }
    st_.DefaultSupplierNr = companies_->asInteger(QStringLiteral("Firma_Nr"));
}

void TEkr_ceny::Edit_SzukajChange() {
    if (suppressSearch_ || !companySelected()) return;
    companies_->findNearest({ui_->Edit_Szukaj->text()});
}

void TEkr_ceny::leaveSearchField() {
    suppressSearch_ = true;
    ui_->Edit_Szukaj->clear();
    suppressSearch_ = false;
}

bool TEkr_ceny::save() {
    if (!sheet_->isOpen()) return false;
    commitRemark();
    // Prices of an item that is gone would belong to nothing.
    if (!sheet_->itemExists()) {
        ui::messages().information(kItemGone);
        return false;
    }
    sheet_->save();
    if (st_.TFTowar.isOpen()) st_.TFTowar.refresh();
    if (st_.TCeny.isOpen()) st_.TCeny.refresh();
    return true;
}

void TEkr_ceny::done(int result) {
    // A remark still being typed is part of the changes the closing asks about.
    if (changed()) commitRemark();
    ui::WorkDialog::done(result);
}

void TEkr_ceny::release() {
    sheet_->close();
    model_->reload();
    companies_->close();
    updateControls();
}

bool TEkr_ceny::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Edit_Szukaj && event->type() == QEvent::FocusOut) {
        leaveSearchField();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == ui_->Edit_Szukaj) {
        // Keys move the companies' table: a failure is shown and eats the key.
        bool moved = true;
        ui::guarded([&] {
            moved =
                companySelected() && ui::searchFieldMovesList(*key, *ui_->DBGrid_Firmy, *companies_,
                                                              [this] { leaveSearchField(); });
        });
        if (moved) return true;
    } else if (watched == ui_->DBGrid_Firmy) {
        if (ui::listKeyStartsSearch(*key, *ui_->Edit_Szukaj)) return true;
    } else if (watched == ui_->DBEdit_Uwagi && key->key() == Qt::Key_Up) {
        commitRemark();
        ui_->DBGrid_Ceny->setFocus();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void openPurchasePrices(store::MainState& state, QWidget* parent) {
    if (!state.PriceRight) return;
    TEkr_ceny dialog(state, parent);
    ui::modalRunner().run(dialog);
}

} // namespace prices
