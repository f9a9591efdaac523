#include "prices/Akt_ceny.h"
#include "engine/error.h"
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
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/searchkeys.h"
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

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
      firmy_(std::make_unique<engine::Table>()) {
    setObjectName(QStringLiteral("TEkr_ceny"));
    setWindowTitle(QStringLiteral("Obiekt / Ceny"));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    resize(960, 460);
    firmy_->setDatabaseName(st_.CurrentCatalogueFolder);
    firmy_->setTableName(QStringLiteral("Firmy"));
    firmy_->setIndexName(QStringLiteral("wg_Firma_Skrot"));
    buildForm();
    updateControls();
}

TEkr_ceny::~TEkr_ceny() {
    // The list lets go of its table before the table goes.
    firmyGrid_->setDataSet(nullptr);
}

void TEkr_ceny::buildForm() {
    auto* head = new QHBoxLayout;
    head->addWidget(new QLabel(QStringLiteral("Obiekt :"), this));
    obiekt_ = new QLabel(this);
    obiekt_->setObjectName(QStringLiteral("Label_Obiekt"));
    QFont bold = obiekt_->font();
    bold.setBold(true);
    obiekt_->setFont(bold);
    head->addWidget(obiekt_, 1);

    // Left: the item's prices, with the current line's remark under them.
    model_ = new PriceLinesModel(
        *sheet_,
        [this](int line, int column, const QVariant& v) { return storeCell(line, column, v); },
        this);
    ceny_ = new QTableView(this);
    ceny_->setObjectName(QStringLiteral("DBGrid_Ceny"));
    ceny_->setModel(model_);
    ceny_->setItemDelegateForColumn(PriceLinesModel::CurrencyName, new CurrencyDelegate(ceny_));
    ceny_->setSelectionMode(QAbstractItemView::SingleSelection);
    ceny_->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked);
    ceny_->setTabKeyNavigation(false);
    ceny_->verticalHeader()->hide();
    ceny_->verticalHeader()->setDefaultSectionSize(ceny_->fontMetrics().height() + 6);
    // The supplier's name takes what the prices and the currency leave.
    ceny_->horizontalHeader()->setSectionResizeMode(PriceLinesModel::Company, QHeaderView::Stretch);
    for (int c = PriceLinesModel::PriceA; c <= PriceLinesModel::PriceSrp; ++c)
        ceny_->setColumnWidth(c, 72);
    ceny_->setColumnWidth(PriceLinesModel::CurrencyName, 70);
    connect(ceny_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TEkr_ceny::showRemark);
    auto* remarkRow = new QHBoxLayout;
    auto* remarkLabel = new QLabel(QStringLiteral("Uwagi:"), this);
    uwagi_ = new QLineEdit(this);
    uwagi_->setObjectName(QStringLiteral("DBEdit_Uwagi"));
    uwagi_->setMaxLength(kRemarkLength);
    remarkLabel->setBuddy(uwagi_);
    remarkRow->addWidget(remarkLabel);
    remarkRow->addWidget(uwagi_, 1);
    connect(uwagi_, &QLineEdit::textEdited, this, [this] { markChanged(); });
    connect(uwagi_, &QLineEdit::editingFinished, this, &TEkr_ceny::commitRemark);
    auto* left = new QVBoxLayout;
    left->addWidget(ceny_, 1);
    left->addLayout(remarkRow);

    // Right: the suppliers to choose from.
    auto* companies = new QGroupBox(QStringLiteral("Firmy"), this);
    companies->setObjectName(QStringLiteral("GroupBox_Firmy"));
    auto* searchRow = new QHBoxLayout;
    auto* searchLabel = new QLabel(QStringLiteral("Szukaj:"), companies);
    szukaj_ = new QLineEdit(companies);
    szukaj_->setObjectName(QStringLiteral("Edit_Szukaj"));
    searchLabel->setBuddy(szukaj_);
    auto* firmyButton = ui::dialogButton(companies, QStringLiteral("BB_Firmy"),
                                         QStringLiteral("..."), QStringLiteral("Kartoteka firm"));
    firmyButton->setFixedWidth(28);
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(szukaj_, 1);
    searchRow->addWidget(firmyButton);
    firmyGrid_ = new ui::DbGrid(companies);
    firmyGrid_->setObjectName(QStringLiteral("DBGrid_Firmy"));
    firmyGrid_->addColumn(QStringLiteral("Firma_Skrot"), QStringLiteral("Firma"), 200);
    firmyGrid_->horizontalHeader()->setStretchLastSection(true);
    auto* address = new QGridLayout;
    address->addWidget(new QLabel(QStringLiteral("Miejscowość:"), companies), 0, 0);
    auto* town = new ui::DbText(companies);
    town->setObjectName(QStringLiteral("DBText_Miejscowosc"));
    town->setField(QStringLiteral("Firma_Miejscowosc"));
    address->addWidget(town, 0, 1);
    address->addWidget(new QLabel(QStringLiteral("Ulica:"), companies), 1, 0);
    auto* street = new ui::DbText(companies);
    street->setObjectName(QStringLiteral("DBText_Ulica"));
    street->setField(QStringLiteral("Firma_Ulica"));
    address->addWidget(street, 1, 1);
    address->setColumnStretch(1, 1);
    domyslna_ = new QCheckBox(QStringLiteral("Ustaw firmę jako domyślną"), companies);
    domyslna_->setObjectName(QStringLiteral("CheckBox_Domyslna"));
    auto* companiesLayout = new QVBoxLayout(companies);
    companiesLayout->addLayout(searchRow);
    companiesLayout->addWidget(firmyGrid_, 1);
    companiesLayout->addLayout(address);
    companiesLayout->addWidget(domyslna_);
    firmyGrid_->setDataSet(firmy_.get());
    town->setDataSet(firmy_.get());
    street->setDataSet(firmy_.get());

    // Bottom: the lines, the date they get, the dialog's end.
    dodaj_ = ui::dialogButton(this, QStringLiteral("BB_Dodaj"), QStringLiteral("Dodaj"),
                              QStringLiteral("Dodanie cen wybranej firmy"));
    usun_ = ui::dialogButton(this, QStringLiteral("BB_Usun"), QStringLiteral("Usuń"));
    wyczysc_ = ui::dialogButton(this, QStringLiteral("BB_Wyczysc"), QStringLiteral("Wyczyść"));
    auto* dateBox = new QGroupBox(QStringLiteral(" Data : "), this);
    dateBox->setObjectName(QStringLiteral("GroupBox_Data"));
    data_ = new QLineEdit(platform::dateText(date_), dateBox);
    data_->setObjectName(QStringLiteral("Edit_Data"));
    data_->setReadOnly(true);
    data_->setFixedWidth(data_->fontMetrics().horizontalAdvance(QStringLiteral("00-00-00000")) +
                         12);
    auto* dateButton = ui::dialogButton(dateBox, QStringLiteral("BB_Data"), QStringLiteral("..."),
                                        QStringLiteral("Kalendarz"));
    dateButton->setFixedWidth(28);
    auto* dateLayout = new QHBoxLayout(dateBox);
    dateLayout->addWidget(data_);
    dateLayout->addWidget(dateButton);
    auto* zapisz = ui::dialogButton(this, QStringLiteral("BB_Zapisz"), QStringLiteral("Zapisz"),
                                    QStringLiteral("Zapamiętanie edytowanych danych"));
    auto* anuluj = ui::dialogButton(this, QStringLiteral("BB_Anuluj"), QStringLiteral("Anuluj"),
                                    QStringLiteral("Rezygnacja z aktualnie wykonywanej operacji"));
    auto* powrot = ui::dialogButton(this, QStringLiteral("BB_Powrot"), QStringLiteral("Powrót"));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(dodaj_);
    bottom->addWidget(usun_);
    bottom->addWidget(wyczysc_);
    bottom->addWidget(dateBox);
    bottom->addStretch();
    bottom->addWidget(zapisz);
    bottom->addWidget(anuluj);
    bottom->addWidget(powrot);

    auto* middle = new QHBoxLayout;
    middle->addLayout(left, 3);
    middle->addWidget(companies, 2);
    auto* all = new QVBoxLayout(this);
    all->addLayout(head);
    all->addLayout(middle, 1);
    all->addLayout(bottom);

    connect(dodaj_, &QPushButton::clicked, this, &TEkr_ceny::BB_DodajClick);
    connect(usun_, &QPushButton::clicked, this, &TEkr_ceny::BB_UsunClick);
    connect(wyczysc_, &QPushButton::clicked, this, &TEkr_ceny::BB_WyczyscClick);
    connect(dateButton, &QPushButton::clicked, this, &TEkr_ceny::BB_DataClick);
    connect(firmyButton, &QPushButton::clicked, this, &TEkr_ceny::BB_FirmyClick);
    connect(zapisz, &QPushButton::clicked, this, &TEkr_ceny::BB_ZapiszClick);
    connect(anuluj, &QPushButton::clicked, this, &TEkr_ceny::BB_AnulujClick);
    connect(powrot, &QPushButton::clicked, this, &TEkr_ceny::BB_PowrotClick);
    connect(domyslna_, &QCheckBox::clicked, this, &TEkr_ceny::CheckBox_DomyslnaClick);
    connect(szukaj_, &QLineEdit::textChanged, this, &TEkr_ceny::Edit_SzukajChange);
    connect(szukaj_, &QLineEdit::returnPressed, this, &TEkr_ceny::BB_DodajClick);
    connect(firmyGrid_, &ui::DbGrid::rowDoubleClicked, this, &TEkr_ceny::BB_DodajClick);
    connect(firmyGrid_, &ui::DbGrid::enterPressed, this, &TEkr_ceny::BB_DodajClick);
    szukaj_->installEventFilter(this);
    firmyGrid_->installEventFilter(this);
    uwagi_->installEventFilter(this);
}

int TEkr_ceny::currentLine() const {
    const int row = ceny_->currentIndex().row();
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
            obiekt_->setText(towar.asString(QStringLiteral("Tow_Nazwa")));
    }
    sheet_->open();
    model_->setCurrencies(readCurrencies(folder));
    if (firmy_->isOpen())
        firmy_->refresh();
    else
        firmy_->open();
    firmy_->first();

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
            firmy_->gotoRowId(byNr.rowId());
        }
    }
    domyslna_->setChecked(st_.DefaultSupplierNr != 0);
    date_ = platform::today();
    data_->setText(platform::dateText(date_));
    markChanged(false);
    showLines(line);
    if (onDefault)
        ceny_->setFocus();
    else
        firmyGrid_->setFocus();
}

void TEkr_ceny::showLines(int current) {
    model_->reload();
    if (current >= 0 && current < model_->rowCount()) {
        const int column = std::max(int(PriceLinesModel::PriceA), ceny_->currentIndex().column());
        ceny_->setCurrentIndex(model_->index(current, column));
    }
    showRemark();
    updateControls();
}

void TEkr_ceny::showRemark() {
    const int line = currentLine();
    uwagi_->setText(line >= 0 ? sheet_->lines()[line].remark : QString());
    uwagi_->setEnabled(line >= 0);
}

void TEkr_ceny::commitRemark() {
    const int line = currentLine();
    if (line < 0 || !sheet_->isOpen()) return;
    try {
        if (sheet_->setRemark(line, uwagi_->text(), date_)) markChanged();
    } catch (const engine::EngineError& e) {
        ui::showError(e);
    }
}

void TEkr_ceny::updateControls() {
    const bool lines = sheet_->isOpen() && !sheet_->lines().isEmpty();
    const bool companies = companySelected();
    ceny_->setEnabled(lines);
    uwagi_->setEnabled(lines && currentLine() >= 0);
    usun_->setEnabled(lines);
    wyczysc_->setEnabled(lines);
    firmyGrid_->setEnabled(companies);
    dodaj_->setEnabled(companies);
}

bool TEkr_ceny::companySelected() const {
    return firmy_->isOpen() && !firmy_->isEmpty();
}

bool TEkr_ceny::storeCell(int line, int column, const QVariant& value) {
    if (!sheet_->isOpen() || line < 0 || line >= sheet_->lines().size()) return false;
    try {
        bool changed = false;
        if (column == PriceLinesModel::CurrencyName) {
            changed = sheet_->setCurrency(line, value.toInt(), date_);
        } else if (column >= PriceLinesModel::PriceA && column <= PriceLinesModel::PriceSrp) {
            const QString text = value.toString().trimmed();
            QVariant number;
            if (!text.isEmpty()) {
                const auto parsed = engine::parseLooseNumber(text);
                if (!parsed) {
                    ui::messages().information(kNotNumber);
                    return false;
                }
                number = *parsed;
            }
            static const PriceField fields[] = {PriceField::Price1, PriceField::Price2,
                                                PriceField::Price3, PriceField::Srp};
            changed =
                sheet_->setPrice(line, fields[column - PriceLinesModel::PriceA], number, date_);
        } else {
            return false;
        }
        if (changed) markChanged();
    } catch (const engine::EngineError& e) {
        ui::showError(e);
        return false;
    }
    return true;
}

void TEkr_ceny::BB_DodajClick() {
    if (!sheet_->isOpen() || !companySelected()) return;
    const int company = firmy_->asInteger(QStringLiteral("Firma_Nr"));
    if (sheet_->lineOfCompany(company) >= 0) return;
    commitRemark();
    try {
        const int line = sheet_->add(company, firmy_->asString(QStringLiteral("Firma_Skrot")),
                                     st_.HomeCurrencyNr, date_);
        markChanged();
        showLines(line);
        ceny_->setFocus();
    } catch (const engine::EngineError& e) {
        ui::showError(e);
    }
}

void TEkr_ceny::BB_UsunClick() {
    const int line = currentLine();
    if (line < 0) return;
    try {
        sheet_->remove(line);
    } catch (const engine::EngineError& e) {
        ui::showError(e);
    }
    markChanged();
    showLines(std::min(line, int(sheet_->lines().size()) - 1));
}

void TEkr_ceny::BB_WyczyscClick() {
    if (!sheet_->isOpen()) return;
    try {
        sheet_->clear();
    } catch (const engine::EngineError& e) {
        ui::showError(e);
    }
    markChanged();
    showLines(-1);
}

void TEkr_ceny::BB_DataClick() {
    const std::optional<QDate> picked = ui::pickDate(st_);
    if (!picked) return;
    date_ = *picked;
    data_->setText(platform::dateText(date_));
}

void TEkr_ceny::BB_FirmyClick() {
    commitRemark();
    st_.CompanyPickMode.clear();
    st_.CompanyFolder.clear();
    {
        partners::TEkr_Aktualizacja_Firma companies(st_, this);
        ui::modalRunner().run(companies);
    }
    try {
        const qint64 at = firmy_->rowId();
        if (firmy_->isOpen()) firmy_->refresh();
        if (!at || !firmy_->gotoRowId(at)) firmy_->first();
    } catch (const engine::EngineError& e) {
        ui::showError(e);
    }
    updateControls();
}

void TEkr_ceny::CheckBox_DomyslnaClick(bool checked) {
    if (!checked) {
        st_.DefaultSupplierNr = 0;
        return;
    }
    // Without a company to name, nothing becomes the default.
    if (!companySelected()) {
        domyslna_->setChecked(false);
        return;
    }
    st_.DefaultSupplierNr = firmy_->asInteger(QStringLiteral("Firma_Nr"));
}

void TEkr_ceny::Edit_SzukajChange() {
    if (suppressSearch_ || !companySelected()) return;
    firmy_->findNearest({szukaj_->text()});
}

void TEkr_ceny::leaveSearchField() {
    suppressSearch_ = true;
    szukaj_->clear();
    suppressSearch_ = false;
}

bool TEkr_ceny::save() {
    if (!sheet_->isOpen()) return false;
    commitRemark();
    try {
        // Prices of an item that is gone would belong to nothing.
        if (!sheet_->itemExists()) {
            ui::messages().information(kItemGone);
            return false;
        }
        sheet_->save();
        if (st_.TFTowar.isOpen()) st_.TFTowar.refresh();
        if (st_.TCeny.isOpen()) st_.TCeny.refresh();
    } catch (const engine::EngineError& e) {
        ui::showError(e);
        return false;
    }
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
    firmy_->close();
    updateControls();
}

bool TEkr_ceny::eventFilter(QObject* watched, QEvent* event) {
    if (watched == szukaj_ && event->type() == QEvent::FocusOut) {
        leaveSearchField();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == szukaj_) {
        if (companySelected() &&
            ui::searchFieldMovesList(*key, *firmyGrid_, *firmy_, [this] { leaveSearchField(); }))
            return true;
    } else if (watched == firmyGrid_) {
        if (ui::listKeyStartsSearch(*key, *szukaj_)) return true;
    } else if (watched == uwagi_ && key->key() == Qt::Key_Up) {
        commitRemark();
        ceny_->setFocus();
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
