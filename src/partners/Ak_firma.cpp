#include "partners/Ak_firma.h"
#include "engine/error.h"
#include "engine/table.h"
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
#include "ui/fieldlink.h"
#include "ui/modalrunner.h"
#include <QComboBox>
#include <QFormLayout>
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
const QString kPicking = QStringLiteral("Wybieranie");

// The boxes of the pages "Adres" (0) and "Dodatkowe" (1), in the order Up and Down go through
// them. An empty caption continues the row above (the full name's three lines).
struct BoxLayout {
    const char* name;
    const char* caption;
    const char* field;
    int page;
};
const BoxLayout kBoxes[] = {
    {"Edit_Skrot", "Nazwa skróc. :", "Firma_Skrot", 0},
    {"Edit_Nazwa1", "Nazwa pełna :", "Firma_Nazwa1", 0},
    {"Edit_Nazwa2", "", "Firma_Nazwa2", 0},
    {"Edit_Nazwa3", "", "Firma_Nazwa3", 0},
    {"Edit_Panstwo", "Państwo :", "Firma_Panstwo", 0},
    {"Edit_Miejscowosc", "Miejscowość :", "Firma_Miejscowosc", 0},
    {"Edit_Kod", "Kod poczt. :", "Firma_Kod_Poczt", 0},
    {"Edit_Ulica", "Ulica i nr :", "Firma_Ulica", 0},
    {"Edit_Regon", "Regon :", "Firma_Regon", 1},
    {"Edit_NIP", "NIP :", "Firma_NIP", 1},
    {"Edit_Bank", "Bank :", "Firma_Bank", 1},
    {"Edit_Konto", "Konto :", "Firma_Konto", 1},
    {"Edit_Platnosci", "Płatności :", "Firma_Zaleglosci", 1},
    {"Edit_Naleznosci", "Należności :", "Firma_Naleznosci", 1},
    {"Edit_Uwagi", "Uwagi :", "Firma_Uwagi", 1},
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
    : ui::ListDialog(parent), st_(state), telefon_(std::make_unique<engine::Table>()) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Firma"));
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
    s.readOnly = !state.fullRights();
    s.picking = !state.CompanyPickMode.isEmpty();
    s.pickStartText = state.CompanySearchText;
    s.caretLimit = 20;
    // A read-only user picks with Enter in the search field only.
    s.readOnlySeesWybierz = false;
    build(std::move(s));

    // "Wyświetlaj w/g :" beside the search field: the order of the list and of the search.
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
            &TEkr_Aktualizacja_Firma::ComboBox_WgChange);

    buildPages();
    auto* copy = addOwnButton(QStringLiteral("BB_Schowek"), QStringLiteral("Do schowka"),
                              QStringLiteral("Kopiowanie adresu firmy do schowka"),
                              OwnButton{true, false, true});
    connect(copy, &QPushButton::clicked, this, &TEkr_Aktualizacja_Firma::BB_SchowekClick);

    connect(telefon_.get(), &engine::DataSet::afterScroll, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    connect(telefon_.get(), &engine::DataSet::afterRefresh, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    connect(telefon_.get(), &engine::DataSet::afterOpen, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    connect(telefon_.get(), &engine::DataSet::afterClose, this,
            &TEkr_Aktualizacja_Firma::updateContactButtons);
    resize(640, 620);
}

TEkr_Aktualizacja_Firma::~TEkr_Aktualizacja_Firma() {
    // The contacts follow the companies' table, which the base gives back after this.
    if (telefon_->isOpen()) {
        telefon_->setMaster(nullptr, {});
        telefon_->close();
    }
}

// --- Building ---------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::buildPages() {
    // The pages stay under the list while browsing, showing the current company; they take the
    // place of the edit panel, which this dialog never shows.
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("PageControl_Firma"));
    listColumn()->addWidget(pages_);

    const QStringList pageNames{QStringLiteral("Adres"), QStringLiteral("Dodatkowe")};
    const QStringList sheetNames{QStringLiteral("TabSheet_Adres"),
                                 QStringLiteral("TabSheet_Dodatkowe")};
    QList<QFormLayout*> viewForms, editForms;
    for (int p = 0; p < 2; ++p) {
        auto* stack = new QStackedWidget;
        stack->setObjectName(sheetNames[p]);
        auto* view = new QWidget;
        auto* edit = new QWidget;
        viewForms << new QFormLayout(view);
        editForms << new QFormLayout(edit);
        stack->addWidget(view);
        stack->addWidget(edit);
        pages_->addTab(stack, pageNames[p]);
        stacks_ << stack;
    }

    for (const BoxLayout& box : kBoxes) {
        const QString field = QString::fromLatin1(box.field);
        const QString caption = QString::fromUtf8(box.caption);
        const QString suffix = QString::fromLatin1(box.name).mid(5); // after "Edit_"
        QWidget* viewPage = viewForms[box.page]->parentWidget();
        QWidget* editPage = editForms[box.page]->parentWidget();

        // The read-only view.
        QLabel* shown = nullptr;
        if (isAmount(field)) {
            shown = new QLabel(viewPage);
            auto* link = new ui::FieldLink(
                [shown](const QString& text) {
                    shown->setText(text.isEmpty() ? QString() : text + QStringLiteral(" PLN"));
                },
                shown);
            link->setField(field);
            amountLinks_ << link;
        } else {
            auto* text = new ui::DbText(viewPage);
            text->setField(field);
            texts_ << text;
            shown = text;
        }
        shown->setObjectName(QStringLiteral("DBText_") + suffix);
        shown->setTextInteractionFlags(Qt::TextSelectableByMouse);
        viewForms[box.page]->addRow(caption, shown);

        // The edit box, with its "..." list or its currency.
        auto* edit = new QLineEdit(editPage);
        edit->setObjectName(QString::fromLatin1(box.name));
        if (isAmount(field)) edit->setMaxLength(30);
        QWidget* cell = edit;
        if (field == kCountry || field == kTown || isAmount(field)) {
            cell = new QWidget(editPage);
            auto* row = new QHBoxLayout(cell);
            row->setContentsMargins(0, 0, 0, 0);
            row->addWidget(edit, 1);
            if (isAmount(field)) {
                row->addWidget(new QLabel(QStringLiteral("zł"), cell));
            } else {
                const bool country = field == kCountry;
                auto* more = ui::dialogButton(
                    cell, country ? QStringLiteral("BB_Panstwo") : QStringLiteral("BB_Miasto"),
                    QStringLiteral("..."),
                    country ? QStringLiteral("Wybór państwa z listy")
                            : QStringLiteral("Wybór miejscowości z listy"));
                // Clicking it must not take the focus out of the box: that would end the edit.
                more->setFocusPolicy(Qt::NoFocus);
                more->setFixedWidth(more->fontMetrics().horizontalAdvance(QStringLiteral("...")) +
                                    16);
                row->addWidget(more);
                connect(more, &QPushButton::clicked, this,
                        country ? &TEkr_Aktualizacja_Firma::BB_PanstwoClick
                                : &TEkr_Aktualizacja_Firma::BB_MiastoClick);
                (country ? country_ : city_) = edit;
            }
        }
        editForms[box.page]->addRow(caption, cell);
        registerEditControl(edit);
        boxes_.append({edit, field, box.page});
    }

    connect(pages_, &QTabWidget::tabBarClicked, this, [this] {
        if (editing()) parkFocus();
    });
    connect(pages_, &QTabWidget::currentChanged, this, &TEkr_Aktualizacja_Firma::pageShown);
    pages_->addTab(buildContactsPage(), QStringLiteral("Kontakty"));
    pages_->widget(2)->setObjectName(QStringLiteral("TabSheet_Kontakty"));
}

QWidget* TEkr_Aktualizacja_Firma::buildContactsPage() {
    auto* page = new QWidget;
    auto* row = new QHBoxLayout(page);
    auto* grid = contactsGrid_ = new ui::DbGrid(page);
    grid->setObjectName(QStringLiteral("DBGrid_Telefon"));
    grid->addColumn(kContact, QStringLiteral("Kontakt / osoba"), 150);
    grid->addColumn(kContactNr, QStringLiteral("tel. / fax / e-mail / WWW"), 190);
    // A read-only user may look at the contacts this way too; the contacts dialog keeps him
    // from changing them.
    connect(grid, &ui::DbGrid::rowDoubleClicked, this, &TEkr_Aktualizacja_Firma::BB_KontaktyClick);
    row->addWidget(grid, 1);

    auto* buttons = new QVBoxLayout;
    const struct {
        const char* name;
        const char* text;
        const char* hint;
        void (TEkr_Aktualizacja_Firma::*slot)();
    } list[] = {
        {"BB_Kontakty", "Kontakty", "Edycja kontaktów firmy",
         &TEkr_Aktualizacja_Firma::BB_KontaktyClick},
        {"BB_WWW", "Połącz ze stroną WWW", "Otwarcie strony WWW zaznaczonego kontaktu",
         &TEkr_Aktualizacja_Firma::BB_WWWClick},
        {"BB_Email", "Wyślij e-mail", "Wysłanie listu na adres zaznaczonego kontaktu",
         &TEkr_Aktualizacja_Firma::BB_EmailClick},
    };
    for (const auto& b : list) {
        auto* w = ui::dialogButton(page, QString::fromLatin1(b.name), QString::fromUtf8(b.text));
        w->setToolTip(QString::fromUtf8(b.hint));
        connect(w, &QPushButton::clicked, this, b.slot);
        buttons->addWidget(w);
    }
    buttons->addStretch(1);
    row->addLayout(buttons);
    return page;
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
    const auto& def = table().definition();
    for (const Box& b : boxes_)
        if (const auto* f = def.field(b.field); f && f->type == engine::FieldType::Alpha && f->size)
            b.edit->setMaxLength(f->size);
    for (auto* text : texts_)
        text->setDataSet(&table());
    for (auto* link : amountLinks_)
        link->setDataSet(&table());

    telefon_->setDatabaseName(folder_);
    telefon_->setTableName(QStringLiteral("Telefon"));
    telefon_->setMaster(&table(), kNr, QStringLiteral("Telefon_Firma_nr"));
    telefon_->open();
    contactsGrid_->setDataSet(telefon_.get());

    // Emptied on every opening, picking or not: a caller never reads an earlier choice.
    st_.PickedCompanyName.clear();
    st_.PickedCompanyNr = 0;
    order_->setCurrentIndex(0);
    showPage(0);
    updateContactButtons();
}

void TEkr_Aktualizacja_Firma::closing() {
    contactsGrid_->setDataSet(nullptr);
    telefon_->setMaster(nullptr, {});
    telefon_->close();
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

bool TEkr_Aktualizacja_Firma::deletionAllowed() {
    engine::Table items(folder_, QStringLiteral("Towar"));
    items.setIndexFieldNames(QStringLiteral("Tow_Nr_Producent"));
    items.open();
    if (items.findKey({table().asInteger(kNr)})) {
        refuse(QStringLiteral("Ta firma jest wykorzystywanna przez inne bazy. \n"
                              "Usunięcie nie jest możliwe !"));
        return false;
    }
    return true;
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
        // A changed row is left through the question; the dialog stays.
        if (ui::messages().question(
                QStringLiteral("Dane zostały zmienione. Czy zapisać wprowadzone zmiany!")))
            BB_ZapiszClick();
        if (editing()) BB_AnulujClick();
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
    const QString typed = country_->text();
    st_.CountryPickMode = kPicking;
    st_.CountrySearchText = typed;
    // The countries list leaves its results as they are when nothing is picked.
    st_.PickedCountryName = typed;
    TEkr_Aktualizacja_Panstwo dialog(st_, this);
    ui::modalRunner().run(dialog);
    if (st_.PickedCountryName != st_.CountrySearchText) {
        country_->setText(st_.PickedCountryName);
        countryNr_ = st_.PickedCountryNr;
        countryNrName_ = st_.PickedCountryName;
        markChanged();
    }
    showPage(0);
    country_->setFocus();
}

void TEkr_Aktualizacja_Firma::BB_MiastoClick() {
    if (!editing()) return;
    const QString typed = city_->text();
    st_.CityPickMode = kPicking;
    st_.CitySearchText = typed;
    st_.PickedCityName = typed;
    TEkr_Aktualizacja_Miasto dialog(st_, this);
    ui::modalRunner().run(dialog);
    if (st_.PickedCityName != st_.CitySearchText) {
        city_->setText(st_.PickedCityName);
        cityNr_ = st_.PickedCityNr;
        cityNrName_ = st_.PickedCityName;
        markChanged();
    }
    showPage(0);
    city_->setFocus();
}

// --- Contacts ---------------------------------------------------------------------------------

void TEkr_Aktualizacja_Firma::updateContactButtons() {
    if (!pages_) return;
    const bool anyContact = telefon_->isOpen() && !telefon_->isEmpty();
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
    telefon_->refresh();
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
    if (!telefon_->isOpen() || telefon_->isEmpty()) return;
    const QString address = telefon_->asString(kContactNr).trimmed();
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
    if (!telefon_->isOpen() || telefon_->isEmpty()) return;
    const QString address = telefon_->asString(kContactNr).trimmed();
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
    const bool anyContact = telefon_->isOpen() && !telefon_->isEmpty();
    lines << (anyContact ? telefon_->asString(kContact) : QString()) + u' ' +
                 (anyContact ? telefon_->asString(kContactNr) : QString());
    return lines.join(u'\n');
}

void TEkr_Aktualizacja_Firma::BB_SchowekClick() {
    if (listEmpty() || editing()) return;
    platform::clipboard().setText(clipboardText());
}

} // namespace partners
