#include "orders/E_Zamow.h"

#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "orders/Ed_Zam.h"
#include "orders/linebuffer.h"
#include "orders/orderhost.h"
#include "orders/zam_dane.h"
#include "partners/Ak_firma.h"
#include "partners/Ak_tel.h"
#include "platform/clock.h"
#include "store/mainstate.h"
#include "ui/E_Kalend.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_E_Zamow.h"
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace orders {

OrderHost::~OrderHost() = default;

namespace {

QString S(const char* s) {
    return QString::fromLatin1(s);
}

const QString kDateFormat = QStringLiteral("dd-MM-yyyy");

QString dateText(const QDate& d) {
    return d.isValid() ? d.toString(kDateFormat) : QString();
}

QDate dateOf(const QString& text) {
    return QDate::fromString(text, kDateFormat);
}

// The settings fields of a kind: "Od" for client orders, "Do" for supplier orders.
QString kindSetting(int kind, const char* rest) {
    return (kind == kFromClient ? QStringLiteral("Pelk_Zam_Od") : QStringLiteral("Pelk_Zam_Do")) +
           QLatin1String(rest);
}

testing::OrderPrinter& printerHook() {
    static testing::OrderPrinter hook;
    return hook;
}

const QString kDateRefusal = QStringLiteral(
    "Data terminu realizacji nie może wcześniejsza niż data wystawienia dokumentu !");

} // namespace

TEkr_Zamowienie::TEkr_Zamowienie(store::MainState& st, QWidget* parent)
    : QDialog(parent), st_(st), ui_(std::make_unique<Ui::TEkr_Zamowienie>()),
      buffer_(std::make_unique<LineBuffer>(st.TempFolder)) {
    ui_->setupUi(this);
    setModal(false);
    ui::setHelpContext(this, 2610);
    buildButtons();
    auto* grid = ui_->DBGrid_Zamowienie;
    grid->addColumn(S("Dok_Tow_Nazwa"), QStringLiteral("Nazwa pozycji"), 220);
    grid->addColumn(S("Dok_Tow_Symbol"), QStringLiteral("Symbol"), 110);
    grid->addColumn(S("Dok_Tow_Kod_Prod"), QStringLiteral("Kod prod."), 110);
    grid->addColumn(S("Dok_Tow_jm"), QStringLiteral("j.m."), 50);
    grid->addColumn(S("Dok_Tow_ilosc"), QStringLiteral("Ilość"), 60);
    grid->addColumn(S("Dok_Uwagi"), QStringLiteral("Uwagi"), 120);
    connectControls();
}

TEkr_Zamowienie::~TEkr_Zamowienie() {
    ui_->DBGrid_Zamowienie->setDataSet(nullptr);
    if (heads_ && heads_->isOpen())
        ui::guarded([this] {
            if (heads_->state() != engine::Table::State::Browse) heads_->cancel();
        });
    buffer_->remove();
}

void TEkr_Zamowienie::buildButtons() {
    auto* l = ui_->layoutButtons;
    auto add = [&](const char* name, const QString& text, void (TEkr_Zamowienie::*slot)()) {
        QPushButton* b = ui::dialogButton(this, name, text);
        l->addWidget(b);
        connect(b, &QPushButton::clicked, this, ui::guardedSlot(this, slot));
        return b;
    };
    add("BB_Zapisz", QStringLiteral("Zapisz"), &TEkr_Zamowienie::BB_ZapiszClick);
    QPushButton* preview = ui::dialogButton(this, "BB_Podglad", QStringLiteral("Podgląd"));
    QPushButton* printer = ui::dialogButton(this, "BB_Wydruk", QStringLiteral("Wydruk"));
    QPushButton* pdf = ui::dialogButton(this, "BB_PDF", QStringLiteral("Zapisz jako PDF..."));
    for (auto [b, target] :
         {std::pair{preview, PrintTarget::Preview}, std::pair{printer, PrintTarget::Printer},
          std::pair{pdf, PrintTarget::Pdf}}) {
        l->addWidget(b);
        b->setEnabled(false);
        connect(b, &QPushButton::clicked, this, ui::guardedSlot([this, t = target] { print(t); }));
    }
    QPushButton* main = ui::dialogButton(this, "BB_Ekran_Glowny", QStringLiteral("Ekran główny"));
    l->addWidget(main);
    connect(main, &QPushButton::clicked, this, ui::guardedSlot([this] { showOnTab(); }));
    add("BB_Zamknij", QStringLiteral("Zamknij"), &TEkr_Zamowienie::BB_ZamknijClick);
}

void TEkr_Zamowienie::connectControls() {
    connect(ui_->BB_Firma1, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::BB_Firma1Click));
    connect(ui_->BB_Firma2, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::BB_Firma2Click));
    connect(ui_->BB_Kontakt1, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::BB_Kontakt1Click));
    connect(ui_->BB_Kontakt2, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::BB_Kontakt2Click));
    connect(ui_->BB_Data_Wyst, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::BB_Data_WystClick));
    connect(ui_->BB_Data_Realiz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::BB_Data_RealizClick));
    connect(ui_->SpinEdit_Numer, &QSpinBox::valueChanged, this, [this] {
        if (!loading_) setChanged();
    });
    connect(ui_->SpinEdit_Numer, &QSpinBox::editingFinished, this,
            ui::guardedSlot(this, &TEkr_Zamowienie::Edit_NumerExit));
    for (QComboBox* box : {ui_->CB_Forma_Platnosci, ui_->CB_Transport})
        connect(box, &QComboBox::currentTextChanged, this, [this] {
            if (!loading_) setChanged();
        });
    // Typing in these lines is a change too: otherwise closing would drop it without asking.
    for (QLineEdit* e : textLines()) {
        connect(e, &QLineEdit::textEdited, this, [this] { setChanged(); });
        e->installEventFilter(this);
    }
    connect(ui_->DBGrid_Zamowienie, &ui::DbGrid::doubleClicked, this,
            ui::guardedSlot([this] { showOnTab(); }));
}

QList<QLineEdit*> TEkr_Zamowienie::textLines() const {
    return {ui_->Edit_Naglowek1, ui_->Edit_Naglowek2, ui_->Edit_Naglowek3,
            ui_->Edit_Stopka1,   ui_->Edit_Stopka2,   ui_->Edit_Stopka3};
}

// --- Opening ----------------------------------------------------------------------------------

bool TEkr_Zamowienie::openOrder(qint64 dokNr, EditorOpen how) {
    if (isOrderOpen()) {
        // One order at a time: the one open stays, and is shown.
        showWholeDocument();
        return dokNr == dokNr_;
    }
    readOnly_ = !st_.fullRights();
    auto heads = std::make_unique<engine::Table>(st_.DefaultCatalogueFolder, S("Dok_Head"));
    bool opened = false;
    ui::guarded([&] {
        heads->open();
        if (!heads->findKey({dokNr})) {
            ui::messages().information(QStringLiteral("Zamówienie nie istnieje."));
            return;
        }
        // The buffer first: without it nothing of the order is loaded or locked. Made anew in
        // the TMP folder of the moment.
        buffer_ = std::make_unique<LineBuffer>(st_.TempFolder);
        buffer_->create();
        try {
            // The lock: another installation editing the order stops the opening here.
            if (!readOnly_) heads->edit();
            heads_ = std::move(heads);
            dokNr_ = dokNr;
            kind_ = heads_->asInteger(S("Dok_Typ")) == kFromClient ? kFromClient : kToSupplier;
            loading_ = true;
            clearFields();
            ui_->DBGrid_Zamowienie->setDataSet(&buffer_->table());
            if (how == EditorOpen::New) {
                prepareNew();
            } else {
                loadHeader(readHeader(*heads_));
                buffer_->appendLines(readLines(*heads_->database(), dokNr));
            }
            loading_ = false;
        } catch (...) {
            loading_ = false;
            ui_->DBGrid_Zamowienie->setDataSet(nullptr);
            if (heads_) {
                ui::guarded([&] {
                    if (heads_->state() != engine::Table::State::Browse) heads_->cancel();
                });
                heads_.reset();
            }
            dokNr_ = 0;
            buffer_->remove();
            throw;
        }
        opened = true;
    });
    if (!opened) return false;
    mode_ = how == EditorOpen::New ? WriteMode::New : WriteMode::Edit;
    st_.OrderKind = kind_;
    st_.OrderKindText = kindWord(kind_);
    st_.OrderEditMode = modeWord(mode_);
    st_.OrderOpen = true;
    st_.WorkMode = QStringLiteral("Zamówienie");
    setWindowTitle(editorCaption(kind_));
    ui_->GB_Adresat->setTitle(addresseeCaption(kind_));
    applyRights();
    changed_ = false;
    if (host_) host_->orderOpened(true);
    buffersChanged();
    showWholeDocument();
    return true;
}

void TEkr_Zamowienie::clearFields() {
    addresseeNr_ = recipientNr_ = 0;
    pickedRecipientName_.clear();
    showParty(true, {});
    showParty(false, {});
    for (QLineEdit* e : textLines())
        e->clear();
}

void TEkr_Zamowienie::loadHeader(const OrderHeader& h) {
    Party a = company(h.addresseeNr, false);
    a.nr = h.addresseeNr;
    a.contact = h.addresseeContact;
    showParty(true, a);
    Party r = company(h.recipientNr, false);
    r.nr = h.recipientNr;
    r.contact = h.recipientContact;
    showParty(false, r);
    loadedNumber_ = h.number;
    ui_->SpinEdit_Numer->setValue(int(h.number));
    for (int i = 0; i < 3; ++i) {
        textLines()[i]->setText(h.headings[size_t(i)]);
        textLines()[i + 3]->setText(h.footers[size_t(i)]);
    }
    ui_->Label_Data_Wyst->setText(dateText(h.issueDate));
    ui_->Label_Data_Realiz->setText(dateText(h.completionDate));
    ui_->CB_Forma_Platnosci->setEditText(h.paymentForm);
    ui_->CB_Transport->setEditText(h.transport);
}

void TEkr_Zamowienie::refreshSettings() {
    if (!st_.TPelk.isOpen()) return;
    st_.TPelk.refreshIfChanged();
}

void TEkr_Zamowienie::prepareNew() {
    refreshSettings();
    const engine::Table& s = st_.TPelk;
    auto setting = [&](const char* rest) {
        return s.isOpen() ? s.asString(kindSetting(kind_, rest)) : QString();
    };
    const QDate today = platform::today();
    ui_->Label_Data_Wyst->setText(dateText(today));
    ui_->Label_Data_Realiz->setText(dateText(today));
    ui_->CB_Forma_Platnosci->setCurrentIndex(0);
    ui_->CB_Transport->setCurrentIndex(0);
    ui_->CB_Forma_Platnosci->setEditText(setting("_Forma_Plat"));
    ui_->CB_Transport->setEditText(setting("_Transport"));
    const char* lines[] = {"_Naglowek1", "_Naglowek2", "_Naglowek3",
                           "_Stopka1",   "_Stopka2",   "_Stopka3"};
    for (int i = 0; i < 6; ++i)
        textLines()[i]->setText(setting(lines[i]));
    loadedNumber_ = heads_->value(S("Dok_Numer")).toLongLong();
    ui_->SpinEdit_Numer->setValue(int(loadedNumber_));
    if (kind_ == kToSupplier) loadOwnerAsRecipient();
}

void TEkr_Zamowienie::loadOwnerAsRecipient() {
    const engine::Table& s = st_.TPelk;
    if (!s.isOpen()) return;
    const qint64 owner = s.asInteger(S("Pelk_Firma_Nr"));
    Party p = company(owner, true);
    if (p.nr == 0) return;
    p.contact = contactText(s.asInteger(S("Pelk_Kontakt_Nr")));
    showParty(false, p);
}

TEkr_Zamowienie::Party TEkr_Zamowienie::company(qint64 nr, bool townFromCities) {
    Party p;
    if (nr == 0) return p;
    engine::Table firms(st_.DefaultCatalogueFolder, S("Firmy"));
    firms.open();
    if (!firms.findKey({nr})) return p;
    p.nr = nr;
    p.name = firms.asString(S("Firma_Skrot"));
    p.street = firms.asString(S("Firma_Ulica"));
    QString town;
    if (townFromCities || !firms.hasField(S("Firma_Miejscowosc"))) {
        engine::Table cities(st_.DefaultCatalogueFolder, S("Miasta"));
        cities.open();
        if (cities.findKey({firms.asInteger(S("Firma_Miasto_Nr"))}))
            town = cities.asString(S("Miasto_Nazwa"));
    } else {
        town = firms.asString(S("Firma_Miejscowosc"));
    }
    p.town = firms.asString(S("Firma_Kod_Poczt")) + u' ' + town;
    return p;
}

QString TEkr_Zamowienie::contactText(qint64 contactNr) {
    if (contactNr == 0) return {};
    engine::Table phones(st_.DefaultCatalogueFolder, S("Telefon"));
    phones.setIndexName(S("wg_Telefon_nr"));
    phones.open();
    if (!phones.findKey({contactNr})) return {};
    return phones.asString(S("Telefon_Kontakt")) + u' ' + phones.asString(S("Telefon_Nr_Tel"));
}

void TEkr_Zamowienie::showParty(bool addressee, const Party& p) {
    (addressee ? addresseeNr_ : recipientNr_) = p.nr;
    if (addressee) {
        ui_->Label_Firma1_Nazwa->setText(p.name);
        ui_->Label_Firma1_Ulica->setText(p.street);
        ui_->Label_Firma1_Miasto->setText(p.nr ? p.town : QString());
        ui_->Label_Firma1_Kontakt->setText(p.contact);
        ui_->BB_Kontakt1->setEnabled(!readOnly_ && !p.name.isEmpty());
    } else {
        ui_->Label_Firma2_Nazwa->setText(p.name);
        ui_->Label_Firma2_Ulica->setText(p.street);
        ui_->Label_Firma2_Miasto->setText(p.nr ? p.town : QString());
        ui_->Label_Firma2_Kontakt->setText(p.contact);
        ui_->BB_Kontakt2->setEnabled(!readOnly_ && !p.name.isEmpty());
    }
}

TEkr_Zamowienie::Party TEkr_Zamowienie::shownParty(bool addressee) const {
    Party p;
    p.nr = addressee ? addresseeNr_ : recipientNr_;
    p.name = (addressee ? ui_->Label_Firma1_Nazwa : ui_->Label_Firma2_Nazwa)->text();
    p.contact = (addressee ? ui_->Label_Firma1_Kontakt : ui_->Label_Firma2_Kontakt)->text();
    return p;
}

void TEkr_Zamowienie::applyRights() {
    const bool edit = !readOnly_;
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->BB_Firma1, ui_->BB_Firma2,
                                                      ui_->BB_Data_Wyst, ui_->BB_Data_Realiz,
                                                      findChild<QPushButton*>(S("BB_Zapisz"))})
        w->setEnabled(edit);
    ui_->BB_Kontakt1->setEnabled(edit && !ui_->Label_Firma1_Nazwa->text().isEmpty());
    ui_->BB_Kontakt2->setEnabled(edit && !ui_->Label_Firma2_Nazwa->text().isEmpty());
    ui_->SpinEdit_Numer->setReadOnly(!edit);
    for (QComboBox* box : {ui_->CB_Forma_Platnosci, ui_->CB_Transport}) {
        box->setEnabled(edit);
    }
    for (QLineEdit* e : textLines())
        e->setReadOnly(!edit);
}

// --- Activation -------------------------------------------------------------------------------

void TEkr_Zamowienie::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    auto* grid = ui_->DBGrid_Zamowienie;
    const QString symbol = st_.Display.headerSymbol, code = st_.Display.headerProducerCode;
    grid->setColumnTitle(S("Dok_Tow_Symbol"), symbol.isEmpty() ? QStringLiteral("Symbol") : symbol);
    grid->setColumnTitle(S("Dok_Tow_Kod_Prod"),
                         code.isEmpty() ? QStringLiteral("Kod prod.") : code);
    ui_->BB_Firma1->setFocus();
}

void TEkr_Zamowienie::showWholeDocument() {
    if (host_) host_->orderShownOnTab(false);
    if (isHidden()) show();
    raise();
    activateWindow();
}

void TEkr_Zamowienie::showOnTab() {
    if (!isOrderOpen()) return;
    hide();
    if (host_) host_->orderShownOnTab(true);
}

// --- Companies, contacts, dates, number -------------------------------------------------------

void TEkr_Zamowienie::BB_Firma1Click() {
    if (readOnly_) return;
    const auto picked = partners::pickCompany(st_, this, ui_->Label_Firma1_Nazwa->text(),
                                              st_.DefaultCatalogueFolder);
    if (!picked || picked->nr == 0) return;
    setChanged();
    Party p = company(picked->nr, false);
    p.nr = picked->nr;
    showParty(true, p);
    ui_->BB_Kontakt1->setEnabled(true);
    // A client's order goes to the client unless another recipient was named.
    if (kind_ == kFromClient && recipientNr_ == 0) {
        Party r = company(picked->nr, true);
        r.nr = picked->nr;
        r.contact = ui_->Label_Firma2_Kontakt->text();
        pickedRecipientName_ = picked->name;
        showParty(false, r);
        ui_->BB_Kontakt2->setEnabled(true);
    }
}

void TEkr_Zamowienie::BB_Firma2Click() {
    if (readOnly_) return;
    const auto picked = partners::pickCompany(st_, this, ui_->Label_Firma2_Nazwa->text(),
                                              st_.DefaultCatalogueFolder);
    if (!picked || picked->nr == 0) return;
    setChanged();
    Party p = company(picked->nr, false);
    p.nr = picked->nr;
    pickedRecipientName_ = picked->name;
    showParty(false, p);
    ui_->BB_Kontakt2->setEnabled(true);
}

void TEkr_Zamowienie::BB_Kontakt1Click() {
    if (readOnly_ || addresseeNr_ == 0) return;
    const auto picked = partners::pickContact(
        st_, this, int(addresseeNr_), ui_->Label_Firma1_Nazwa->text(), st_.DefaultCatalogueFolder);
    if (!picked || *picked == 0) return;
    setChanged();
    const QString text = contactText(*picked);
    ui_->Label_Firma1_Kontakt->setText(text);
    if (kind_ == kFromClient && ui_->Label_Firma2_Kontakt->text().isEmpty())
        ui_->Label_Firma2_Kontakt->setText(text);
}

void TEkr_Zamowienie::BB_Kontakt2Click() {
    if (readOnly_ || recipientNr_ == 0) return;
    const auto picked = partners::pickContact(
        st_, this, int(recipientNr_), ui_->Label_Firma2_Nazwa->text(), st_.DefaultCatalogueFolder);
    if (!picked || *picked == 0) return;
    setChanged();
    ui_->Label_Firma2_Kontakt->setText(contactText(*picked));
}

void TEkr_Zamowienie::BB_Data_WystClick() {
    if (readOnly_) return;
    const auto picked = ui::pickDate(st_);
    if (!picked) return;
    const QDate completion = dateOf(ui_->Label_Data_Realiz->text());
    if (completion.isValid() && *picked > completion) {
        ui::messages().information(kDateRefusal);
        return;
    }
    ui_->Label_Data_Wyst->setText(dateText(*picked));
    setChanged();
}

void TEkr_Zamowienie::BB_Data_RealizClick() {
    if (readOnly_) return;
    const auto picked = ui::pickDate(st_);
    if (!picked) return;
    const QDate issue = dateOf(ui_->Label_Data_Wyst->text());
    if (issue.isValid() && *picked < issue) {
        ui::messages().information(kDateRefusal);
        return;
    }
    ui_->Label_Data_Realiz->setText(dateText(*picked));
    setChanged();
}

void TEkr_Zamowienie::Edit_NumerExit() {
    if (!isOrderOpen() || readOnly_) return;
    const qint64 typed = ui_->SpinEdit_Numer->value();
    if (typed == loadedNumber_) return;
    if (numberIsFree(*heads_->database(), kind_, typed, dokNr_)) return;
    ui::messages().information(numberTakenMessage());
    ui_->SpinEdit_Numer->setValue(int(loadedNumber_));
}

bool TEkr_Zamowienie::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const QList<QLineEdit*> lines = textLines();
        const int at = lines.indexOf(qobject_cast<QLineEdit*>(watched));
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (at >= 0 && (key == Qt::Key_Down || key == Qt::Key_Up)) {
            const int to = key == Qt::Key_Down ? at + 1 : at - 1;
            if (to >= 0 && to < lines.size()) lines[to]->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// --- Lines ------------------------------------------------------------------------------------

void TEkr_Zamowienie::buffersChanged() {
    const bool any = isOrderOpen() && !buffer_->isEmpty();
    for (const char* name : {"BB_Podglad", "BB_Wydruk", "BB_PDF"})
        findChild<QPushButton*>(QLatin1String(name))->setEnabled(any);
    ui_->DBGrid_Zamowienie->followCursor();
    if (host_) host_->orderLinesChanged(any);
}

void TEkr_Zamowienie::addLineFromItem() {
    if (!isOrderOpen() || readOnly_) return;
    engine::DataSet* items = host_ ? host_->orderItemList() : &st_.TFTowar;
    if (!items || !items->isOpen() || items->isEmpty()) return;
    TEkr_Zam_Dane dialog(st_, items, *buffer_, parentWidget() ? parentWidget() : this);
    if (ui::modalRunner().run(dialog) == QDialog::Accepted) setChanged();
    buffersChanged();
}

void TEkr_Zamowienie::insertTypedLine() {
    if (!isOrderOpen() || readOnly_) return;
    buffer_->appendTyped();
    setChanged();
    buffersChanged();
    editLine(false);
}

void TEkr_Zamowienie::editLine(bool testEmpty) {
    if (!isOrderOpen() || readOnly_) return;
    if (buffer_->isEmpty()) {
        if (testEmpty) return;
        return; // no row to edit, whatever the caller asked
    }
    setChanged();
    TEkr_Aktualizacja_Zamowienie dialog(st_, buffer_->table(),
                                        parentWidget() ? parentWidget() : this);
    ui::modalRunner().run(dialog);
    buffersChanged();
}

void TEkr_Zamowienie::deleteLine() {
    if (!isOrderOpen() || readOnly_) return;
    if (ui::messages().question(QStringLiteral("Chcesz usunąć zaznaczoną pozycję z zamówienia ?")))
        buffer_->deleteCurrent();
    setChanged();
    buffersChanged();
}

// --- Saving, closing, printing ----------------------------------------------------------------

OrderHeader TEkr_Zamowienie::collectHeader() const {
    OrderHeader h;
    h.number = ui_->SpinEdit_Numer->value();
    h.issueDate = dateOf(ui_->Label_Data_Wyst->text());
    h.completionDate = dateOf(ui_->Label_Data_Realiz->text());
    const Party a = shownParty(true), r = shownParty(false);
    h.addresseeNr = a.nr;
    h.addresseeName = a.name;
    h.addresseeContact = a.contact;
    h.recipientNr = r.nr;
    h.recipientName = pickedRecipientName_;
    h.recipientContact = r.contact;
    h.paymentForm = ui_->CB_Forma_Platnosci->currentText();
    h.transport = ui_->CB_Transport->currentText();
    for (int i = 0; i < 3; ++i) {
        h.headings[size_t(i)] = textLines()[i]->text();
        h.footers[size_t(i)] = textLines()[i + 3]->text();
    }
    return h;
}

bool TEkr_Zamowienie::writeOrder(bool testEmpty) {
    if (!isOrderOpen() || readOnly_) return false;
    if (testEmpty && buffer_->isEmpty()) {
        ui::messages().information(QStringLiteral(
            "Zamówienie nie zawiera żadnej pozycji. Zapisywanie zamówienia przerwane !"));
        return false;
    }
    const OrderHeader h = collectHeader();
    if (!h.issueDate.isValid() || !h.completionDate.isValid()) {
        ui::messages().information(
            QStringLiteral("Błąd wprowadzania daty. Zapisywanie zamówienia przerwane !"));
        return false;
    }
    refreshSettings();
    const QStringList pattern = readNumbering(st_.TPelk, kind_).pattern;
    const WriteResult r =
        orders::writeOrder(*heads_, h, buffer_->lines(), mode_, pattern, platform::today());
    if (r == WriteResult::NumberTaken) {
        ui::messages().information(numberTakenMessage());
        return false;
    }
    changed_ = false;
    mode_ = WriteMode::Edit;
    loadedNumber_ = h.number;
    st_.OrderEditMode = modeWord(mode_);
    return true;
}

void TEkr_Zamowienie::BB_ZapiszClick() {
    if (writeOrder(true)) finishClose();
}

void TEkr_Zamowienie::BB_ZamknijClick() {
    closeOrder();
}

bool TEkr_Zamowienie::closeOrder() {
    if (!isOrderOpen()) {
        hide();
        return true;
    }
    // A view-only user has nothing to write, and never deletes.
    if (!readOnly_) {
        if (!changed_) {
            if (buffer_->isEmpty() &&
                ui::messages().question(QStringLiteral(
                    "Zamówienie nie zawiera żadnej pozycji. Usunąć to zamówienie !")))
                deleteOrder(*heads_);
        } else if (ui::messages().question(
                       QStringLiteral("Dane zostały zmienione. Zapisać bieżące zamówienie ?"))) {
            if (!writeOrder(false)) return false;
        } else if (mode_ == WriteMode::New) {
            deleteOrder(*heads_);
        }
    }
    finishClose();
    return true;
}

void TEkr_Zamowienie::finishClose() {
    ui_->DBGrid_Zamowienie->setDataSet(nullptr);
    if (host_) host_->orderOpened(false);
    hide();
    if (heads_) {
        ui::guarded([this] {
            if (heads_->isOpen() && heads_->state() != engine::Table::State::Browse)
                heads_->cancel();
        });
        heads_.reset();
    }
    buffer_->remove();
    dokNr_ = 0;
    changed_ = false;
    st_.OrderOpen = false;
    st_.WorkMode = QStringLiteral("Przeglądanie");
    Q_EMIT orderClosed();
}

void TEkr_Zamowienie::print(PrintTarget target) {
    if (!isOrderOpen()) return;
    // What is printed is what is stored: pending changes are written first.
    if (changed_ && !readOnly_ && !writeOrder(false)) return;
    if (printerHook())
        printerHook()(this, st_, dokNr_, target);
    else
        printOrder(this, st_, dokNr_, target);
}

void TEkr_Zamowienie::closeEvent(QCloseEvent* event) {
    event->ignore();
    ui::guarded([this] { closeOrder(); });
}

void TEkr_Zamowienie::reject() {
    // Esc closes through the closing rules as "Zamknij" does.
    ui::guarded([this] { closeOrder(); });
}

void testing::setOrderPrinter(OrderPrinter printer) {
    printerHook() = std::move(printer);
}

// --- The one editor ---------------------------------------------------------------------------

namespace {

// Keeps the editor for the main state's life. The editor is a window and so cannot be the
// state's own child; this holder can.
class EditorHolder : public QObject {
public:
    explicit EditorHolder(store::MainState& st) : QObject(&st) {}
    ~EditorHolder() override { delete editor.data(); }
    QPointer<TEkr_Zamowienie> editor;
};

EditorHolder* holderOf(store::MainState& st) {
    for (QObject* child : st.children())
        if (auto* h = dynamic_cast<EditorHolder*>(child)) return h;
    return nullptr;
}

} // namespace

TEkr_Zamowienie& orderEditor(store::MainState& st, QWidget* parent) {
    EditorHolder* h = holderOf(st);
    if (!h) h = new EditorHolder(st);
    if (!h->editor) h->editor = new TEkr_Zamowienie(st, parent);
    return *h->editor;
}

TEkr_Zamowienie* existingOrderEditor(store::MainState& st) {
    EditorHolder* h = holderOf(st);
    return h ? h->editor.data() : nullptr;
}

} // namespace orders
