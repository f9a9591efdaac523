#include "items/Ak_towar.h"
#include "drawings/Kart_Gr.h"
#include "items/Ak_grupa.h"
#include "items/Tow_wlasn.h"
#include "items/itemrecords.h"
#include "partners/Ak_firma.h"
#include "prices/Akt_ceny.h"
#include "relations/Akt_skl.h"
#include "relations/Akt_wdz.h"
#include "relations/Akt_zam.h"
#include "store/mainstate.h"
#include "ui/buttons.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_Ak_towar.h"
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace items {

namespace {

const QString kNew = QStringLiteral("Nowy");
const QString kChange = QStringLiteral("Edycja");
const QString kClone = QStringLiteral("Klonuj");

// Designed geometry of the window (the heights come from the layout computation).
constexpr int kWindowWidth = 640;
constexpr int kPanelWidth = 490;
constexpr int kLabelLeft = 8;
constexpr int kLabelWidth = 112;
constexpr int kControlLeft = 124;
constexpr int kControlHeight = 21;
constexpr int kSideLeft = 502;
constexpr int kSideWidth = 128;

struct ControlShape {
    int left = kControlLeft;
    int width = 300;
    int maxLength = 0; // 0: no limit
};

ControlShape shapeOf(ItemField f) {
    switch (f) {
    case ItemField::Grupa:
        return {kControlLeft, 270, 30};
    case ItemField::Nazwa1:
    case ItemField::Nazwa2:
        return {kControlLeft, 300, 50};
    case ItemField::Symbol:
        return {kControlLeft, 180, 25};
    case ItemField::Producent:
        return {kControlLeft, 270, 50};
    case ItemField::KodProd:
        return {kControlLeft, 180, 25};
    case ItemField::Ilosc:
        return {kControlLeft, 100, 0};
    case ItemField::Jm:
        return {300, 80, 15};
    case ItemField::Vat:
        return {kControlLeft, 80, 0};
    default:
        return {kControlLeft, 120, 0};
    }
}

bool isNumberField(ItemField f) {
    switch (f) {
    case ItemField::Ilosc:
    case ItemField::Cena:
    case ItemField::CenaA:
    case ItemField::CenaB:
    case ItemField::CenaC:
        return true;
    default:
        return false;
    }
}

} // namespace

TEkr_Aktualizacja_Towar::TEkr_Aktualizacja_Towar(store::MainState& state, QWidget* parent)
    : QDialog(parent), st_(state),
      records_(std::make_unique<ItemRecords>(state.CurrentCatalogueFolder)),
      ui_(std::make_unique<Ui::TEkr_Aktualizacja_Towar>()) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Towar"));
    ui::setHelpContext(this, 400);
    setWindowTitle(QStringLiteral("Obiekt"));
    buildForm();
    layout_ = computeItemFormLayout(st_.Display);
    applyLayout();
    // The item is the one the list stands on now, whatever happens to the list later.
    auto& items = st_.TFTowar;
    if (items.isOpen() && !items.isEmpty()) openedOnNr_ = items.asInteger(QStringLiteral("Tow_nr"));
}

TEkr_Aktualizacja_Towar::~TEkr_Aktualizacja_Towar() = default;

void TEkr_Aktualizacja_Towar::buildForm() {
    // The fields first: they come before the form's buttons as Tab goes and in the first focus.
    buildPanels();
    buildFields();
    ui_->setupUi(this);
    Panel_Przyciski = ui_->Panel_Przyciski;
    buildLookupButtons();
    connectFrameButtons();
}

void TEkr_Aktualizacja_Towar::buildPanels() {
    for (const ItemPanelDesign& p : itemPanelDesign()) {
        auto* panel = new QFrame(this);
        panel->setObjectName(QLatin1String(p.name));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Raised);
        auto* name = new QLabel(QString::fromUtf8(p.caption), panel);
        name->setObjectName(QStringLiteral("Label_") + QLatin1String(p.name));
        name->setGeometry(4, 2, 200, 16);
        name->setStyleSheet(QStringLiteral("color: grey;"));
        panels_[size_t(p.panel)] = panel;
        panelNames_[size_t(p.panel)] = name;
    }
}

QWidget* TEkr_Aktualizacja_Towar::makeControl(ItemField f, QWidget* panel) {
    if (f == ItemField::Vat) {
        auto* combo = new QComboBox(panel);
        combo->addItems(vatEntries());
        combo->setCurrentIndex(-1);
        connect(combo, &QComboBox::activated, this, [this] { changed_ = true; });
        Combo_VAT = combo;
        return combo;
    }
    auto* edit = new QLineEdit(panel);
    if (const int length = shapeOf(f).maxLength; length > 0) edit->setMaxLength(length);
    connect(edit, &QLineEdit::textEdited, this, [this, edit, f](const QString& text) {
        changed_ = true;
        if (f == ItemField::Grupa) groupTyped_ = true;
        if (f == ItemField::Producent) producerTyped_ = true;
        // The decimal separator is the comma, whatever key was used for it.
        if (isNumberField(f) && text.contains(u'.')) {
            const int at = edit->cursorPosition();
            QString t = text;
            edit->setText(t.replace(u'.', u','));
            edit->setCursorPosition(at);
        }
    });
    return edit;
}

void TEkr_Aktualizacja_Towar::buildFields() {
    QWidget* previous = nullptr;
    for (const ItemFieldDesign& d : itemFieldDesign()) {
        QWidget* panel = panels_[size_t(d.panel)];
        QWidget* control = makeControl(d.field, panel);
        control->setObjectName(QLatin1String(d.control));
        control->installEventFilter(this);
        controls_[size_t(d.field)] = control;
        auto* label = new QLabel(QString::fromUtf8(d.caption), panel);
        label->setObjectName(QLatin1String(d.label));
        labels_[size_t(d.field)] = label;
        if (previous) setTabOrder(previous, control);
        previous = control;
    }
    auto edit = [this](ItemField f) { return static_cast<QLineEdit*>(control(f)); };
    Edit_Grupa = edit(ItemField::Grupa);
    Edit_Towar = edit(ItemField::Nazwa1);
    Edit_Nazwa2 = edit(ItemField::Nazwa2);
    Edit_Kod_Tow = edit(ItemField::Symbol);
    Edit_Producent = edit(ItemField::Producent);
    Edit_Kod_Prod = edit(ItemField::KodProd);
    Edit_Ilosc = edit(ItemField::Ilosc);
    Combo_jm = edit(ItemField::Jm);
    Edit_Cena = edit(ItemField::Cena);
    Edit_Cena_A = edit(ItemField::CenaA);
    Edit_Cena_B = edit(ItemField::CenaB);
    Edit_Cena_C = edit(ItemField::CenaC);
}

// The "..." beside the group and the producer, and the currency after the prices.
void TEkr_Aktualizacja_Towar::buildLookupButtons() {
    BB_Grupy = ui::dialogButton(panels_[size_t(ItemPanel::Basic)], QStringLiteral("BB_Grupy"),
                                QStringLiteral("..."));
    BB_Producenci = ui::dialogButton(panels_[size_t(ItemPanel::Producer)],
                                     QStringLiteral("BB_Producenci"), QStringLiteral("..."));
    BB_Grupy->setFocusPolicy(Qt::NoFocus);
    BB_Producenci->setFocusPolicy(Qt::NoFocus);
    connect(BB_Grupy, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_GrupyClick));
    connect(BB_Producenci, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_ProducenciClick));
    for (ItemField f : {ItemField::Cena, ItemField::CenaA, ItemField::CenaB, ItemField::CenaC}) {
        auto* zl = new QLabel(QStringLiteral("zł"), control(f)->parentWidget());
        zl->setObjectName(QLatin1String(designOf(f).control) + QStringLiteral("_zl"));
        zl->setGeometry(kControlLeft + shapeOf(f).width + 6, 0, 20, kControlHeight);
        zl->setProperty("followsField", int(f));
    }
}

void TEkr_Aktualizacja_Towar::connectFrameButtons() {
    connect(ui_->BB_Powrot, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_PowrotClick));
    connect(ui_->BB_Zapisz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_ZapiszClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_AnulujClick));
    // The lower row: the item's following screens.
    connect(ui_->BB_Wlasnosci, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_WlasnosciClick));
    connect(ui_->BB_Wchodzi, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_WchodziClick));
    connect(ui_->BB_Sklada, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_SkladaClick));
    connect(ui_->BB_Zamienniki, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_ZamiennikiClick));
    connect(ui_->BB_Rysunki, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_RysunkiClick));
    // Purchase prices are shown only to users with the price right.
    ui_->BB_Ceny->setEnabled(st_.PriceRight);
    connect(ui_->BB_Ceny, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Towar::BB_CenyClick));
}

void TEkr_Aktualizacja_Towar::applyLayout() {
    for (const ItemPanelDesign& p : itemPanelDesign()) {
        const size_t i = size_t(p.panel);
        const int height = layout_.panelHeights[i];
        panels_[i]->setGeometry(0, layout_.panelTops[i], kPanelWidth, height);
        panels_[i]->setVisible(height > 0);
        panelNames_[i]->setVisible(layout_.panelNamesVisible);
    }
    for (const ItemFieldDesign& d : itemFieldDesign()) {
        const auto& f = layout_[d.field];
        const ControlShape shape = shapeOf(d.field);
        QWidget* c = control(d.field);
        QLabel* label = labels_[size_t(d.field)];
        label->setText(f.caption);
        if (d.field == ItemField::Jm) {
            label->setGeometry(shape.left - 40, f.top, 36, kControlHeight);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else
            label->setGeometry(kLabelLeft, f.top, kLabelWidth, kControlHeight);
        c->setGeometry(shape.left, f.top, shape.width, kControlHeight);
        c->setVisible(f.visible);
        label->setVisible(f.visible);
    }
    BB_Grupy->setGeometry(kControlLeft + shapeOf(ItemField::Grupa).width + 4,
                          layout_[ItemField::Grupa].top, 30, kControlHeight);
    BB_Producenci->setGeometry(kControlLeft + shapeOf(ItemField::Producent).width + 4,
                               layout_[ItemField::Producent].top, 30, kControlHeight);
    BB_Producenci->setVisible(layout_[ItemField::Producent].visible);
    for (QLabel* zl : findChildren<QLabel*>()) {
        const QVariant follows = zl->property("followsField");
        if (!follows.isValid()) continue;
        const auto f = ItemField(follows.toInt());
        zl->move(zl->x(), layout_[f].top);
    }
    Panel_Przyciski->setGeometry(0, layout_.buttonRowTop, kWindowWidth, kItemButtonRowHeight);
    setFixedSize(kWindowWidth, layout_.windowHeight);
}

// --- Opening ----------------------------------------------------------------------------------

void TEkr_Aktualizacja_Towar::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (event->spontaneous()) return;
    closing_ = false;
    if (!opened_) ui::guarded([this] { FormShow(); });
}

void TEkr_Aktualizacja_Towar::FormShow() {
    opened_ = true;
    stored_ = false;
    mode_ = st_.ItemEditMode;
    ItemText item;
    if (mode_ == kChange) {
        if (itemNr_ == 0) itemNr_ = openedOnNr_;
        ui::guarded([&] { records_->read(itemNr_, item); });
        stored_ = true;
    } else if (mode_ == kClone) {
        ui::guarded([&] { records_->read(openedOnNr_, item); });
    }
    showItem(item);
    layout_ = computeItemFormLayout(st_.Display);
    applyLayout();
    if (layout_.reachable(ItemField::Grupa)) Edit_Grupa->setFocus();
    changed_ = false;
    groupTyped_ = false;
    producerTyped_ = false;
}

void TEkr_Aktualizacja_Towar::showItem(const ItemText& item) {
    Edit_Grupa->setText(item.group);
    Edit_Towar->setText(item.name1);
    Edit_Nazwa2->setText(item.name2);
    Edit_Kod_Tow->setText(item.symbol);
    Edit_Producent->setText(item.producer);
    Edit_Kod_Prod->setText(item.producerCode);
    Edit_Ilosc->setText(item.quantity);
    Combo_jm->setText(item.unit);
    // A rate of long ago that the list does not hold is shown as it is, so a save keeps it.
    if (!item.vat.isEmpty() && Combo_VAT->findText(item.vat) < 0) Combo_VAT->addItem(item.vat);
    Combo_VAT->setCurrentIndex(item.vat.isEmpty() ? -1 : Combo_VAT->findText(item.vat));
    Edit_Cena->setText(item.price);
    Edit_Cena_A->setText(item.priceA);
    Edit_Cena_B->setText(item.priceB);
    Edit_Cena_C->setText(item.priceC);
    groupNr_ = item.groupNr;
    producerNr_ = item.producerNr;
}

ItemText TEkr_Aktualizacja_Towar::typedItem() const {
    ItemText item;
    item.group = Edit_Grupa->text();
    item.groupNr = groupNr_;
    item.name1 = Edit_Towar->text();
    item.name2 = Edit_Nazwa2->text();
    item.symbol = Edit_Kod_Tow->text();
    item.producer = Edit_Producent->text();
    item.producerNr = item.producer.isEmpty() ? 0 : producerNr_;
    item.producerCode = Edit_Kod_Prod->text();
    item.quantity = Edit_Ilosc->text();
    item.unit = Combo_jm->text();
    item.vat = Combo_VAT->currentText();
    item.price = Edit_Cena->text();
    item.priceA = Edit_Cena_A->text();
    item.priceB = Edit_Cena_B->text();
    item.priceC = Edit_Cena_C->text();
    return item;
}

// --- Saving and closing -----------------------------------------------------------------------

bool TEkr_Aktualizacja_Towar::save() {
    resolveTyped();
    const ItemText item = typedItem();
    const QString refusal = saveRefusal(item);
    if (!refusal.isEmpty()) {
        ui::messages().information(refusal);
        return false;
    }
    // A new or cloned item is inserted until its first save; after that the same row is
    // changed, so a save repeated after a failed one never adds a second row.
    int nr = 0;
    // A write the engine refuses (the item locked, changed or deleted by another installation)
    // is shown in the error box, and the editor keeps what was typed.
    if (!ui::guarded([&] { nr = records_->write(stored_ ? itemNr_ : 0, item); })) return false;
    if (nr == 0) {
        ui::messages().information(kBadDataMessage);
        return false;
    }
    itemNr_ = nr;
    stored_ = true;
    changed_ = groupTyped_ = producerTyped_ = false;
    placeItemTable();
    return true;
}

void TEkr_Aktualizacja_Towar::BB_ZapiszClick() {
    if (save()) finish(QDialog::Accepted);
}

void TEkr_Aktualizacja_Towar::BB_PowrotClick() {
    closeEditor();
}

void TEkr_Aktualizacja_Towar::BB_AnulujClick() {
    closeEditor();
}

void TEkr_Aktualizacja_Towar::reject() {
    closeEditor();
}

void TEkr_Aktualizacja_Towar::closeEditor() {
    if (closing_) return;
    bool saved = false;
    // A failed save has shown its message and written nothing; the editor closes either way.
    if (changed_ && ui::messages().question(kChangedQuestion)) saved = save();
    finish(saved ? QDialog::Accepted : QDialog::Rejected);
}

void TEkr_Aktualizacja_Towar::finish(int result) {
    closing_ = true;
    QDialog::done(result);
}

// After a save the item list stands on the saved item.
void TEkr_Aktualizacja_Towar::placeItemTable() {
    auto& items = st_.TFTowar;
    if (!items.isOpen() || itemNr_ <= 0) return;
    ui::guarded([&] {
        items.refresh();
        if (items.isEmpty() || items.asInteger(QStringLiteral("Tow_nr")) != itemNr_)
            items.gotoRowId(itemNr_);
    });
}

// --- Group and producer ------------------------------------------------------------------------

void TEkr_Aktualizacja_Towar::setGroup(const NamedRow& group) {
    groupNr_ = group.nr;
    Edit_Grupa->setText(group.name);
}

void TEkr_Aktualizacja_Towar::setProducer(const NamedRow& company) {
    producerNr_ = company.nr;
    Edit_Producent->setText(company.name);
}

// An empty name 1 starts with the group's name and a blank.
bool TEkr_Aktualizacja_Towar::prefillName1() {
    const QString group = Edit_Grupa->text();
    if (!Edit_Towar->text().isEmpty() || group.isEmpty()) return false;
    Edit_Towar->setText(group + u' ');
    return true;
}

void TEkr_Aktualizacja_Towar::groupEnter() {
    groupTyped_ = false;
    const QString text = Edit_Grupa->text();
    const auto found = text.isEmpty() ? std::nullopt : records_->groupByName(text);
    if (found) {
        setGroup(*found);
        prefillName1();
    } else {
        openGroupList();
    }
    changed_ = true;
    groupTyped_ = false;
    focusLater(ItemField::Nazwa1);
}

void TEkr_Aktualizacja_Towar::groupLeft() {
    groupTyped_ = false;
    const QString text = Edit_Grupa->text();
    if (text.isEmpty()) {
        if (ui::messages().question(kNoGroupQuestion)) openGroupList();
        return;
    }
    if (const auto found = records_->groupNearest(text)) {
        setGroup(*found);
        prefillName1();
        focusLater(ItemField::Nazwa1);
    } else {
        groupNr_ = 0; // a catalogue without groups
    }
    changed_ = true;
}

void TEkr_Aktualizacja_Towar::BB_GrupyClick() {
    openGroupList();
}

void TEkr_Aktualizacja_Towar::openGroupList() {
    // The item's attribute values follow the template of its group.
    if (st_.ItemEditMode == kChange) ui::messages().information(kGroupChangeWarning);
    const auto group = pickGroup(st_, this, Edit_Grupa->text());
    setGroup(group ? NamedRow{group->name, group->nr} : NamedRow{});
    if (layout_.reachable(ItemField::Nazwa1) && prefillName1())
        focusLater(ItemField::Nazwa1);
    else
        focusLater(ItemField::Grupa);
    changed_ = true;
    groupTyped_ = false;
}

void TEkr_Aktualizacja_Towar::producerEnter() {
    producerTyped_ = false;
    const QString text = Edit_Producent->text();
    const auto found = text.isEmpty() ? std::nullopt : records_->companyByName(text);
    if (found)
        setProducer(*found);
    else
        openCompanyList();
    producerTyped_ = false;
    focusLater(ItemField::KodProd);
}

void TEkr_Aktualizacja_Towar::producerLeft() {
    producerTyped_ = false;
    const QString text = Edit_Producent->text();
    if (text.isEmpty()) {
        producerNr_ = 0;
        if (ui::messages().question(kNoProducerQuestion)) openCompanyList();
        return;
    }
    if (const auto found = records_->companyNearest(text)) {
        setProducer(*found);
        focusLater(ItemField::KodProd);
    } else {
        producerNr_ = 0;
    }
    changed_ = true;
}

void TEkr_Aktualizacja_Towar::BB_ProducenciClick() {
    openCompanyList();
}

void TEkr_Aktualizacja_Towar::openCompanyList() {
    // The producers of the current catalogue.
    const auto producer = partners::pickCompany(st_, this, Edit_Producent->text());
    setProducer(producer ? NamedRow{producer->name, producer->nr} : NamedRow{});
    changed_ = true;
    producerTyped_ = false;
    focusLater(layout_.reachable(ItemField::KodProd) ? ItemField::KodProd : ItemField::Producent);
}

// Text typed into the group or producer field and not looked up yet (the save came before the
// field was left) is looked up as leaving the field would, without questions.
void TEkr_Aktualizacja_Towar::resolveTyped() {
    if (groupTyped_) {
        groupTyped_ = false;
        const QString text = Edit_Grupa->text();
        const auto found = text.isEmpty() ? std::nullopt : records_->groupNearest(text);
        if (found)
            setGroup(*found);
        else
            groupNr_ = 0;
    }
    if (producerTyped_) {
        producerTyped_ = false;
        const QString text = Edit_Producent->text();
        const auto found = text.isEmpty() ? std::nullopt : records_->companyNearest(text);
        if (found)
            setProducer(*found);
        else
            producerNr_ = 0;
    }
}

// --- Following screens -------------------------------------------------------------------------

void TEkr_Aktualizacja_Towar::BB_WlasnosciClick() {
    followingScreen([this] {
        TEkr_Tow_Wlasnosci values(st_, this);
        ui::modalRunner().run(values);
    });
}

void TEkr_Aktualizacja_Towar::BB_WchodziClick() {
    followingScreen([this] {
        relations::TEkr_Wchodzi_do editor(st_, this);
        ui::modalRunner().run(editor);
    });
}

void TEkr_Aktualizacja_Towar::BB_SkladaClick() {
    followingScreen([this] {
        relations::TEkr_Sklada_sie editor(st_, this);
        ui::modalRunner().run(editor);
    });
}

void TEkr_Aktualizacja_Towar::BB_ZamiennikiClick() {
    followingScreen([this] {
        relations::TEkr_Zamienniki editor(st_, this);
        ui::modalRunner().run(editor);
    });
}

void TEkr_Aktualizacja_Towar::BB_RysunkiClick() {
    followingScreen([this] {
        drawings::TEkr_Kartoteki_Rysunki pictures(st_, this);
        ui::modalRunner().run(pictures);
    });
}

void TEkr_Aktualizacja_Towar::BB_CenyClick() {
    if (!st_.PriceRight) return;
    followingScreen([this] { prices::openPurchasePrices(st_, this); });
}

void TEkr_Aktualizacja_Towar::followingScreen(const std::function<void()>& run) {
    // The screen shows the item as stored: an item not yet saved, or changes not yet saved,
    // are saved first, or the screen is not opened (changes are never dropped unasked).
    bool savedNow = false;
    if (!stored_ || changed_) {
        if (!ui::messages().question(kSaveFirstQuestion)) return;
        if (!save()) return;
        savedNow = true;
    }
    st_.ItemEditMode = kChange;
    st_.CurrentItemNr = itemNr_;
    st_.CurrentItemName = Edit_Towar->text();
    placeItemTable();
    run();
    // The screen may itself have opened an item editor for another item: this one goes on
    // with its own item.
    st_.ItemEditMode = kChange;
    FormShow();
    if (savedNow) finish(QDialog::Accepted);
}

// --- Keys and leaving fields -------------------------------------------------------------------

void TEkr_Aktualizacja_Towar::focusLater(ItemField field) {
    QTimer::singleShot(0, this, [this, field] {
        if (isVisible() && !closing_ && layout_.reachable(field)) control(field)->setFocus();
    });
}

bool TEkr_Aktualizacja_Towar::fieldKey(ItemField field, int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (const auto to = layout_.neighbour(field, key == Qt::Key_Up ? -1 : 1))
            control(*to)->setFocus(Qt::TabFocusReason);
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (field == ItemField::Grupa)
            groupEnter();
        else if (field == ItemField::Producent)
            producerEnter();
        else
            BB_ZapiszClick();
        return true;
    default:
        return false;
    }
}

bool TEkr_Aktualizacja_Towar::eventFilter(QObject* watched, QEvent* event) {
    const auto it = std::find(controls_.begin(), controls_.end(), watched);
    if (it == controls_.end()) return QDialog::eventFilter(watched, event);
    const auto field = ItemField(it - controls_.begin());
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const auto mods = key->modifiers() & ~Qt::KeypadModifier;
        // Enter saves or looks up: a failure is shown and eats the key.
        bool handled = true;
        if (mods == Qt::NoModifier) ui::guarded([&] { handled = fieldKey(field, key->key()); });
        if (mods == Qt::NoModifier && handled) return true;
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window coming up (a message, a list) is no leaving of the field.
        const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                          isVisible() && !closing_;
        ui::guarded([&] {
            if (left && field == ItemField::Grupa && groupTyped_) groupLeft();
            if (left && field == ItemField::Producent && producerTyped_) producerLeft();
        });
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace items
