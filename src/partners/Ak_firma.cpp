#include "partners/Ak_firma.h"
#include "engine/error.h"
#include "engine/table.h"
#include "orders/Otw_Zam.h"
#include "partners/Ak_Panstwo.h"
#include "partners/Ak_miast.h"
#include "partners/Ak_tel.h"
#include "platform/clipboard.h"
#include "platform/launcher.h"
#include "store/attributevalues.h"
#include "store/mainstate.h"
#include "store/settings.h"
#include "ui/busycursor.h"
#include "ui/buttons.h"
#include "ui/dbgrid.h"
#include "ui/dbtext.h"
#include "ui/errorbox.h"
#include "ui/fieldlink.h"
#include "ui/help.h"
#include "ui/modalrunner.h"
#include "ui/picking.h"
#include "ui_Ak_firma.h"
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace partners {

namespace {

const QString kNr = QStringLiteral("Firma_Nr");
const QString kShort = QStringLiteral("Firma_Skrot");
const QString kNip = QStringLiteral("Firma_NIP");
const QString kTown = QStringLiteral("Firma_Miejscowosc");
const QString kCountry = QStringLiteral("Firma_Panstwo");
const QString kTownNr = QStringLiteral("Firma_Miasto_Nr");
const QString kCountryNr = QStringLiteral("Firma_Panstwo_Nr");
const QString kPayments = QStringLiteral("Firma_Zaleglosci");
const QString kReceivables = QStringLiteral("Firma_Naleznosci");
const QString kContact = QStringLiteral("Telefon_Kontakt");
const QString kContactNr = QStringLiteral("Telefon_Nr_Tel");

// The boxes of the pages "Adres" (0) and "Dodatkowe" (1), in the order Up and Down go through
// them; their captions are on the form.
struct BoxLayout {
    const char* name;
    const char* field;
    int page;
};
const BoxLayout kBoxes[] = {
    {"Edit_Skrot", "Firma_Skrot", 0},
    {"Edit_Nazwa1", "Firma_Nazwa1", 0},
    {"Edit_Nazwa2", "Firma_Nazwa2", 0},
    {"Edit_Nazwa3", "Firma_Nazwa3", 0},
    {"Edit_Panstwo", "Firma_Panstwo", 0},
    {"Edit_Miejscowosc", "Firma_Miejscowosc", 0},
    {"Edit_Kod", "Firma_Kod_Poczt", 0},
    {"Edit_Ulica", "Firma_Ulica", 0},
    {"Edit_Regon", "Firma_Regon", 1},
    {"Edit_NIP", "Firma_NIP", 1},
    {"Edit_Bank", "Firma_Bank", 1},
    {"Edit_Konto", "Firma_Konto", 1},
    {"Edit_Platnosci", "Firma_Zaleglosci", 1},
    {"Edit_Naleznosci", "Firma_Naleznosci", 1},
    {"Edit_Uwagi", "Firma_Uwagi", 1},
};

// The orders of "Wyświetlaj w/g :", in the order of its entries.
const char* const kOrders[] = {"Firma_Skrot", "Firma_NIP", "Firma_Miejscowosc"};

bool isAmount(const QString& field) {
    return field == kPayments || field == kReceivables;
}

// A parameter handed to a program whole, even when the address holds blanks.
QString asOneParameter(const QString& text) {
    if (text.contains(u'"') || !text.contains(u' ')) return text;
    return u'"' + text + u'"';
}

// What the desktop's browser is given: a bare "www.firma.pl" is no address to it.
QString webAddress(const QString& text) {
    if (text.contains(QLatin1String("://"))) return text;
    return QStringLiteral("http://") + text;
}

} // namespace

TEkr_Aktualizacja_Firma::TEkr_Aktualizacja_Firma(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state), contacts_(std::make_unique<engine::Table>()),
      ui_(std::make_unique<Ui::FirmaPages>()) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Firma"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 300);
    // The caller's folder serves this opening only.
    folder_ = state.CompanyFolder.isEmpty() ? state.CurrentCatalogueFolder : state.CompanyFolder;
    state.CompanyFolder.clear();

    Setup s;
    s.caption = QStringLiteral("Firmy");
    s.folder = folder_;
    s.tableName = QStringLiteral("Firmy");
    s.order = kShort;
    s.searchField = kShort;
    s.columns = {{kShort, QStringLiteral("Nazwa skrócona"), 200},
                 {kNip, QStringLiteral("NIP"), 120},
                 {kTown, QStringLiteral("Miejscowość"), 160}};
    s.addHint = QStringLiteral("Dodawanie nowej firmy");
    s.deleteQuestion = QStringLiteral("Czy chcesz usunąć zaznaczoną firmę!");
    s.deleteDefault = ui::Button::Yes;
    // Only producers hold a company back: its purchase prices, orders and contacts do not.
    s.references = {{.table = QStringLiteral("Towar"),
                     .fields = QStringLiteral("Tow_Nr_Producent"),
                     .keyField = kNr,
                     .message = QStringLiteral("Ta firma jest wykorzystywanna przez inne bazy. "
                                               "\nUsunięcie nie jest możliwe !")}};
    s.readOnly = !state.fullRights();
    s.picking = !state.CompanyPickMode.isEmpty();
    s.pickStartText = state.CompanySearchText;
    s.caretLimit = 20;
    // A read-only user picks with Enter in the search field only.
    s.readOnlySeesWybierz = false;
    build(std::move(s));

    buildOrderChoice();

    buildPages();
    for (const Box& b : boxes_)
        limitToField(b.edit, b.field);
    auto* copy = addOwnButton(QStringLiteral("BB_Schowek"), QStringLiteral("Do schowka"),
                              QStringLiteral("Kopiowanie adresu firmy do schowka"),
                              OwnButton{true, false, true});
    connect(copy, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_SchowekClick));
    auto* fromClient =
        addOwnButton(QStringLiteral("BB_Od_Klienta"), QStringLiteral("Od klienta"),
                     QStringLiteral("Zamówienia od klienta"), OwnButton{true, false, true});
    connect(fromClient, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_Od_KlientaClick));
    auto* toSupplier =
        addOwnButton(QStringLiteral("BB_Do_Dostawcy"), QStringLiteral("Do dostawcy"),
                     QStringLiteral("Zamówienia do dostawcy"), OwnButton{true, false, true});
    connect(toSupplier, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_Do_DostawcyClick));

    connect(contacts_.get(), &engine::DataSet::afterScroll, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    connect(contacts_.get(), &engine::DataSet::afterRefresh, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    connect(contacts_.get(), &engine::DataSet::afterOpen, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    connect(contacts_.get(), &engine::DataSet::afterClose, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    resize(640, 620);
}

// "Wyświetlaj w/g :" beside the search field: the order of the list and of the search.
void TEkr_Aktualizacja_Firma::buildOrderChoice() {
    order_ = new QComboBox(this);
    order_->setObjectName(QStringLiteral("ComboBox_Wg"));
    order_->addItems(
        {QStringLiteral("Nazwa skrócona"), QStringLiteral("NIP"), QStringLiteral("Miejscowość")});
    auto* orderLabel = new QLabel(QStringLiteral("Wyświetlaj w/g :"), this);
    orderLabel->setBuddy(order_);
    for (auto* row : layout()->findChildren<QBoxLayout*>()) {
        if (row->indexOf(searchBox()) < 0) continue;
        row->addSpacing(12);
        row->addWidget(orderLabel);
        row->addWidget(order_);
        break;
    }
    connect(order_, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::ComboBox_WgChange));
}

TEkr_Aktualizacja_Firma::~TEkr_Aktualizacja_Firma() {
    // The contacts follow the companies' table, which the base gives back after this.
    if (contacts_->isOpen()) {
        contacts_->setMaster(nullptr, {});
        contacts_->close();
    }
}

// --- Building ---------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::buildPages() {
    // The pages stay under the list while browsing, showing the current company; they take the
    // place of the edit panel, which this dialog never shows.
    pages_ = new QTabWidget(this);
    ui_->setupUi(pages_);
    listColumn()->addWidget(pages_);
    stacks_ << ui_->TabSheet_Adres << ui_->TabSheet_Dodatkowe;
    for (const BoxLayout& box : kBoxes)
        bindBox(QString::fromLatin1(box.name), QString::fromLatin1(box.field), box.page);
    setupListButtons();

    connect(pages_, &QTabWidget::tabBarClicked, this, [this] {
        if (editing()) parkFocus();
    });
    connect(pages_, &QTabWidget::currentChanged, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::pageShown));
    setupContactsPage();
}

// One field of the company: its read-only view and its edit box.
void TEkr_Aktualizacja_Firma::bindBox(const QString& name, const QString& field, int page) {
    const QString suffix = name.mid(5); // after "Edit_"
    auto* shown = pages_->findChild<QLabel*>(QStringLiteral("DBText_") + suffix);
    if (isAmount(field)) {
        auto* link = new ui::FieldLink(
            [shown](const QString& text) {
                shown->setText(text.isEmpty() ? QString() : text + QStringLiteral(" PLN"));
            },
            shown);
        link->setField(field);
        amountLinks_ << link;
    } else {
        auto* text = static_cast<ui::DbText*>(shown);
        text->setField(field);
        texts_ << text;
    }
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* edit = pages_->findChild<QLineEdit*>(name);
    if (isAmount(field)) edit->setMaxLength(30);
    registerEditControl(edit);
    boxes_.append({edit, field, page});
}

// The "..." beside the country and the town.
void TEkr_Aktualizacja_Firma::setupListButtons() {
    country_ = ui_->Edit_Panstwo;
    city_ = ui_->Edit_Miejscowosc;
    for (QPushButton* more : {ui_->BB_Panstwo, ui_->BB_Miasto})
        more->setFixedWidth(more->fontMetrics().horizontalAdvance(QStringLiteral("...")) + 16);
    // The buttons take no focus: leaving the box would end the edit.
    connect(ui_->BB_Panstwo, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_PanstwoClick));
    connect(ui_->BB_Miasto, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_MiastoClick));
}

void TEkr_Aktualizacja_Firma::setupContactsPage() {
    auto* grid = contactsGrid_ = ui_->DBGrid_Telefon;
    grid->addColumn(kContact, QStringLiteral("Kontakt / osoba"), 150);
    grid->addColumn(kContactNr, QStringLiteral("tel. / fax / e-mail / WWW"), 190);
    // A read-only user may look at the contacts this way too; the contacts dialog keeps him
    // from changing them.
    connect(grid, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_KontaktyClick));
    connect(ui_->BB_Kontakty, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_KontaktyClick));
    connect(ui_->BB_WWW, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_WWWClick));
    connect(ui_->BB_Email, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Firma::BB_EmailClick));
}

void TEkr_Aktualizacja_Firma::showPage(int page) {
    if (pages_->currentIndex() == page) return;
    // Hiding the page with the focused box would send the focus out of the boxes, and that ends
    // an unchanged edit. The caller puts the focus where it belongs.
    parkFocus();
    pages_->setCurrentIndex(page);
}

void TEkr_Aktualizacja_Firma::parkFocus() {
    if (QWidget* focus = focusWidget(); focus && pages_->isAncestorOf(focus)) focus->clearFocus();
}

void TEkr_Aktualizacja_Firma::pageShown(int page) {
    // A page chosen by its tab while editing: into its first box.
    if (!editing() || page > 1) return;
    if (QWidget* focus = focusWidget(); focus && focus->isVisible() && focus->hasFocus()) return;
    for (const Box& b : boxes_)
        if (b.page == page) return b.edit->setFocus();
}

QLineEdit* TEkr_Aktualizacja_Firma::box(const QString& field) const {
    for (const Box& b : boxes_)
        if (b.field.compare(field, Qt::CaseInsensitive) == 0) return b.edit;
    return nullptr;
}

// --- Opening and closing ----------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::opened() {
    ui::BusyCursor busy;
    for (auto* text : texts_)
        text->setDataSet(&table());
    for (auto* link : amountLinks_)
        link->setDataSet(&table());

    contacts_->setDatabaseName(folder_);
    contacts_->setTableName(QStringLiteral("Telefon"));
    contacts_->setMaster(&table(), kNr, QStringLiteral("Telefon_Firma_nr"));
    contacts_->open();
    contactsGrid_->setDataSet(contacts_.get());

    // Emptied on every opening, picking or not: a caller never reads an earlier choice.
    st_.PickedCompanyName.clear();
    st_.PickedCompanyNr = 0;
    order_->setCurrentIndex(0);
    showPage(0);
    updateContactButtons();
}

void TEkr_Aktualizacja_Firma::closing() {
    contactsGrid_->setDataSet(nullptr);
    contacts_->setMaster(nullptr, {});
    contacts_->close();
    st_.CompanyPickMode.clear();
    st_.CompanyFolder.clear();
}

void TEkr_Aktualizacja_Firma::clearResults() {
    st_.PickedCompanyName.clear();
    st_.PickedCompanyNr = 0;
}

void TEkr_Aktualizacja_Firma::storeResults() {
    st_.PickedCompanyNr = table().asInteger(kNr);
    st_.PickedCompanyName = table().asString(kShort);
    st_.PickedCompanyBlock = {
        table().asString(QStringLiteral("Firma_Nazwa1")),
        table().asString(QStringLiteral("Firma_Nazwa2")),
        table().asString(QStringLiteral("Firma_Nazwa3")),
        table().asString(QStringLiteral("Firma_Ulica")),
        table().asString(QStringLiteral("Firma_Kod_Poczt")) + u' ' + table().asString(kTown),
    };
    st_.CompanyPickMode.clear();
}

// --- Editing ----------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::showEditPanel(bool shown) {
    for (auto* stack : stacks_)
        stack->setCurrentIndex(shown ? 1 : 0);
    // The order cannot change under a row being edited.
    order_->setEnabled(!shown);
    updateContactButtons();
}

void TEkr_Aktualizacja_Firma::prepareAdding() {
    for (const Box& b : boxes_)
        b.edit->clear();
    country_->setText(QStringLiteral("Polska"));
    box(kPayments)->setText(QStringLiteral("0"));
    box(kReceivables)->setText(QStringLiteral("0"));
    countryNr_ = cityNr_ = 0;
    countryNrName_.clear();
    cityNrName_.clear();
    showPage(0);
}

void TEkr_Aktualizacja_Firma::prepareChanging() {
    for (const Box& b : boxes_) {
        if (isAmount(b.field))
            b.edit->setText(engine::formatNumber(table().asFloat(b.field)));
        else
            b.edit->setText(table().asString(b.field));
    }
    countryNr_ = table().asInteger(kCountryNr);
    cityNr_ = table().asInteger(kTownNr);
    countryNrName_ = country_->text();
    cityNrName_ = city_->text();
    showPage(0);
}

bool TEkr_Aktualizacja_Firma::checkInput() {
    auto* name = box(kShort);
    if (name->text().isEmpty()) {
        showPage(0);
        refuse(QStringLiteral("Brak nazwy skróconej firmy. Zapis nie jest możliwy !"), name);
        return false;
    }
    return true;
}

std::optional<double> TEkr_Aktualizacja_Firma::amount(QLineEdit* edit, const QString& message) {
    const QString text = edit->text();
    if (!store::isTypedNumber(text)) {
        showPage(1);
        refuse(message, edit);
        return std::nullopt;
    }
    QString plain = text.trimmed();
    plain.replace(u',', u'.');
    return plain.toDouble();
}

bool TEkr_Aktualizacja_Firma::writeRow() {
    // Both amounts first, so that a refused one leaves the row as it was before the save.
    const auto payments = amount(
        box(kPayments),
        QStringLiteral("Dane do pola platności wprowadzone niepoprawnie. Zapisywanie przerwane !"));
    if (!payments) return false;
    const auto receivables =
        amount(box(kReceivables),
               QStringLiteral(
                   "Dane do pola należności wprowadzone niepoprawnie. Zapisywanie przerwane !"));
    if (!receivables) return false;

    for (const Box& b : boxes_)
        if (!isAmount(b.field)) table().setValue(b.field, b.edit->text());
    table().setValue(kPayments, *payments);
    table().setValue(kReceivables, *receivables);
    // A number belongs to the name it was picked (or read) with; a name typed over it is a
    // place of its own, not in the lists.
    table().setValue(kCountryNr, country_->text() == countryNrName_ ? countryNr_ : 0);
    table().setValue(kTownNr, city_->text() == cityNrName_ ? cityNr_ : 0);
    return true;
}

void TEkr_Aktualizacja_Firma::saved() {
    showPage(0);
}

// --- Keys -------------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::BB_EnterClick() {
    if (editing()) {
        QWidget* focus = focusWidget();
        if (focus == country_) return BB_PanstwoClick();
        if (focus == city_) return BB_MiastoClick();
    }
    // A read-only user picks with Enter in the search field only.
    if (readOnly() && list()->hasFocus()) return;
    ListDialog::BB_EnterClick();
}

void TEkr_Aktualizacja_Firma::BB_EscClick() {
    if (editing() && changed()) {
        // A changed row is left through the question; the dialog stays (and so does the row,
        // as typed, when the engine refuses the save).
        abandonEdit();
        return;
    }
    BB_PowrotClick();
}

bool TEkr_Aktualizacja_Firma::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            for (int i = 0; i < boxes_.size(); ++i) {
                if (boxes_[i].edit != watched) continue;
                const int to = key == Qt::Key_Down ? i + 1 : i - 1;
                if (to < 0 || to >= boxes_.size()) return true;
                // Across the pages: Down from the street to "Dodatkowe", Up from Regon back.
                showPage(boxes_[to].page);
                boxes_[to].edit->setFocus();
                return true;
            }
        }
    }
    return ListDialog::eventFilter(watched, event);
}

// --- Order ------------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::ComboBox_WgChange() {
    const int at = order_->currentIndex();
    if (at < 0 || at >= int(std::size(kOrders)) || !table().isOpen() || editing()) return;
    table().setIndexFieldNames(QString::fromLatin1(kOrders[at]));
    list()->followCursor();
    if (searchBox() && !searchBox()->text().isEmpty()) searchFor(searchBox()->text());
}

// --- Pickers ----------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::BB_PanstwoClick() {
    if (!editing()) return;
    if (const auto picked = pickCountry(st_, this, country_->text())) {
        country_->setText(picked->name);
        countryNr_ = picked->nr;
        countryNrName_ = picked->name;
        markChanged();
    }
    showPage(0);
    country_->setFocus();
}

void TEkr_Aktualizacja_Firma::BB_MiastoClick() {
    if (!editing()) return;
    if (const auto picked = pickCity(st_, this, city_->text())) {
        city_->setText(picked->name);
        cityNr_ = picked->nr;
        cityNrName_ = picked->name;
        markChanged();
    }
    showPage(0);
    city_->setFocus();
}

// --- Contacts ---------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::updateContactButtons() {
    if (!pages_) return;
    const bool anyContact = contacts_->isOpen() && !contacts_->isEmpty();
    if (auto* b = findChild<QPushButton*>(QStringLiteral("BB_Kontakty"))) {
        b->setVisible(!readOnly());
        b->setEnabled(editing() || !listEmpty());
    }
    for (const char* name : {"BB_WWW", "BB_Email"})
        if (auto* b = findChild<QPushButton*>(QLatin1String(name))) b->setEnabled(anyContact);
}

void TEkr_Aktualizacja_Firma::BB_KontaktyClick() {
    if (mode() == Mode::Adding) {
        ui::messages().information(
            QStringLiteral("Aby mieć dostęp do Kontaktów najpierw kliknij przycisk Zapisz !"));
        return;
    }
    if (listEmpty()) return;
    st_.ContactOwnerNr = table().asInteger(kNr);
    st_.ContactCompanyNr = st_.ContactOwnerNr;
    st_.ContactCompanyName = table().asString(kShort);
    // The contacts live beside the companies, also when those are not the current catalogue's.
    st_.CompanyFolder = folder_;
    TEkr_Aktualizacja_Telefony dialog(st_, this);
    ui::modalRunner().run(dialog);
    st_.CompanyFolder.clear();
    contacts_->refresh();
    updateContactButtons();
}

QString TEkr_Aktualizacja_Firma::configuredBrowser() const {
    if (st_.MainFolder.isEmpty()) return {};
    try {
        store::Settings settings(st_.MainFolder);
        return settings.text(QStringLiteral("Pelk_Przegladarka")).trimmed();
    } catch (const engine::EngineError&) {
        // Without a readable settings record the desktop's browser serves.
        return {};
    }
}

void TEkr_Aktualizacja_Firma::BB_WWWClick() {
    if (!contacts_->isOpen() || contacts_->isEmpty()) return;
    const QString address = contacts_->asString(kContactNr).trimmed();
    const QString browser = configuredBrowser();
    platform::LaunchResult result;
    if (!browser.isEmpty() && !platform::SystemShellLauncher::resolveProgram(browser).isEmpty())
        result = platform::launcher().startProgram(browser, asOneParameter(address));
    else
        result = platform::launcher().openDocument(webAddress(address));
    if (!result.started())
        ui::messages().information(QStringLiteral("Nie można połączyć ze stroną WWW !\n") +
                                   result.detail);
}

void TEkr_Aktualizacja_Firma::BB_EmailClick() {
    if (!contacts_->isOpen() || contacts_->isEmpty()) return;
    const QString address = contacts_->asString(kContactNr).trimmed();
    const auto result = platform::launcher().openDocument(QStringLiteral("mailto:") + address);
    if (!result.started())
        ui::messages().information(QStringLiteral("Nie można uruchomić programu pocztowego !\n") +
                                   result.detail);
}

// --- Clipboard --------------------------------------------------------------------------------

QString TEkr_Aktualizacja_Firma::clipboardText() const {
    QStringList lines;
    for (const char* field : {"Firma_Nazwa1", "Firma_Nazwa2", "Firma_Nazwa3", "Firma_Ulica"}) {
        const QString v = table().asString(QLatin1String(field));
        if (!v.isEmpty()) lines << v;
    }
    const QString code = table().asString(QStringLiteral("Firma_Kod_Poczt"));
    const QString town = table().asString(kTown);
    if (!code.isEmpty() || !town.isEmpty()) lines << code + u' ' + town;
    const bool anyContact = contacts_->isOpen() && !contacts_->isEmpty();
    lines << (anyContact ? contacts_->asString(kContact) : QString()) + u' ' +
                 (anyContact ? contacts_->asString(kContactNr) : QString());
    return lines.join(u'\n');
}

void TEkr_Aktualizacja_Firma::BB_SchowekClick() {
    if (listEmpty() || editing()) return;
    platform::clipboard().setText(clipboardText());
}

// --- Picking ----------------------------------------------------------------------------------

std::optional<PickedCompany> pickCompany(store::MainState& state, QWidget* parent,
                                         const QString& typed, const QString& folder) {
    state.CompanySearchText = typed;
    state.CompanyFolder = folder;
    state.PickedCompanyName.clear();
    state.PickedCompanyNr = 0;
    ui::runPicking<TEkr_Aktualizacja_Firma>(state, state.CompanyPickMode, store::kPickingWord,
                                            parent);
    state.CompanySearchText.clear();
    state.CompanyFolder.clear();
    if (state.PickedCompanyNr == 0) return std::nullopt;
    return PickedCompany{state.PickedCompanyNr, state.PickedCompanyName, state.PickedCompanyBlock};
}

// The orders of the current company, in the main window's order list: it opens on the kind's
// orders sorted by addressee at the company's name, and this dialog makes way for it.
void TEkr_Aktualizacja_Firma::showCompanyOrders(int kindIndex) {
    if (listEmpty()) return;
    st_.OrderListPreset = store::OrderListPresetState{
        true, kindIndex, 0, table().asString(QStringLiteral("Firma_Skrot"))};
    if (!orders::showOrderListPreset(st_)) {
        st_.OrderListPreset.set = false;
        return;
    }
    BB_PowrotClick();
}

void TEkr_Aktualizacja_Firma::BB_Od_KlientaClick() {
    showCompanyOrders(0);
}

void TEkr_Aktualizacja_Firma::BB_Do_DostawcyClick() {
    showCompanyOrders(1);
}

} // namespace partners
