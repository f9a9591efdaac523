#include "items/Ak_towar.h"
#include "drawings/Kart_Gr.h"
#include "engine/error.h"
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
#include "ui/messages.h"
#include "ui/modalrunner.h"
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
const QString kPicking = QStringLiteral("Wybieranie");

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
      records_(std::make_unique<ItemRecords>(state.CurrentCatalogueFolder)) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Towar"));
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

    QWidget* previous = nullptr;
    for (const ItemFieldDesign& d : itemFieldDesign()) {
        QWidget* panel = panels_[size_t(d.panel)];
        const ControlShape shape = shapeOf(d.field);
        QWidget* control = nullptr;
        if (d.field == ItemField::Vat) {
            auto* combo = new QComboBox(panel);
            combo->addItems(vatEntries());
            combo->setCurrentIndex(-1);
            connect(combo, &QComboBox::activated, this, [this] { changed_ = true; });
            control = combo;
            Combo_VAT = combo;
        } else {
            auto* edit = new QLineEdit(panel);
            if (shape.maxLength > 0) edit->setMaxLength(shape.maxLength);
            const ItemField f = d.field;
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
            control = edit;
        }
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

    BB_Grupy =
        ui::dialogButton(panels_[size_t(ItemPanel::Basic)], "BB_Grupy", QStringLiteral("..."));
    BB_Producenci = ui::dialogButton(panels_[size_t(ItemPanel::Producer)], "BB_Producenci",
                                     QStringLiteral("..."));
    BB_Grupy->setFocusPolicy(Qt::NoFocus);
    BB_Producenci->setFocusPolicy(Qt::NoFocus);
    connect(BB_Grupy, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_GrupyClick);
    connect(BB_Producenci, &QPushButton::clicked, this,
            &TEkr_Aktualizacja_Towar::BB_ProducenciClick);
    for (ItemField f : {ItemField::Cena, ItemField::CenaA, ItemField::CenaB, ItemField::CenaC}) {
        auto* zl = new QLabel(QStringLiteral("zł"), control(f)->parentWidget());
        zl->setObjectName(QLatin1String(designOf(f).control) + QStringLiteral("_zl"));
        zl->setGeometry(kControlLeft + shapeOf(f).width + 6, 0, 20, kControlHeight);
        zl->setProperty("followsField", int(f));
    }

    // Right-hand buttons.
    auto* powrot = ui::dialogButton(this, "BB_Powrot", QStringLiteral("Powrót"),
                                    QStringLiteral("Powrót do menu głównego"));
    auto* zapisz = ui::dialogButton(this, "BB_Zapisz", QStringLiteral("Zapisz"),
                                    QStringLiteral("Zapamiętanie edytowanych danych"));
    auto* anuluj = ui::dialogButton(this, "BB_Anuluj", QStringLiteral("Anuluj"),
                                    QStringLiteral("Rezygnacja z aktualnie wykonywanej operacji"));
    int top = 10;
    for (QPushButton* b : {powrot, zapisz, anuluj}) {
        b->setGeometry(kSideLeft, top, kSideWidth, 28);
        top += 36;
    }
    connect(powrot, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_PowrotClick);
    connect(zapisz, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_ZapiszClick);
    connect(anuluj, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_AnulujClick);

    // The lower row: the item's following screens. Those whose screens are not in the program
    // yet are shown disabled.
    Panel_Przyciski = new QFrame(this);
    Panel_Przyciski->setObjectName(QStringLiteral("Panel_Przyciski"));
    const std::pair<const char*, const char*> following[] = {
        {"BB_Wlasnosci", "Własności ..."}, {"BB_Wchodzi", "Wchodzi do ..."},
        {"BB_Sklada", "Składa się ..."},   {"BB_Zamienniki", "Zamienniki ..."},
        {"BB_Rysunki", "Rysunki ..."},     {"BB_Ceny", "Ceny zakupu /..."}};
    int left = 4;
    for (const auto& [name, text] : following) {
        auto* b = ui::dialogButton(Panel_Przyciski, name, QString::fromUtf8(text));
        b->setGeometry(left, 6, 102, 28);
        left += 105;
        b->setEnabled(false);
    }
    auto* wlasnosci = Panel_Przyciski->findChild<QPushButton*>(QStringLiteral("BB_Wlasnosci"));
    wlasnosci->setEnabled(true);
    connect(wlasnosci, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_WlasnosciClick);
    const std::pair<const char*, void (TEkr_Aktualizacja_Towar::*)()> relationButtons[] = {
        {"BB_Wchodzi", &TEkr_Aktualizacja_Towar::BB_WchodziClick},
        {"BB_Sklada", &TEkr_Aktualizacja_Towar::BB_SkladaClick},
        {"BB_Zamienniki", &TEkr_Aktualizacja_Towar::BB_ZamiennikiClick}};
    for (const auto& [name, slot] : relationButtons) {
        auto* b = Panel_Przyciski->findChild<QPushButton*>(QLatin1String(name));
        b->setEnabled(true);
        connect(b, &QPushButton::clicked, this, slot);
    }
    auto* rysunki = Panel_Przyciski->findChild<QPushButton*>(QStringLiteral("BB_Rysunki"));
    rysunki->setEnabled(true);
    connect(rysunki, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_RysunkiClick);
    // Purchase prices are shown only to users with the price right.
    auto* ceny = Panel_Przyciski->findChild<QPushButton*>(QStringLiteral("BB_Ceny"));
    ceny->setEnabled(st_.PriceRight);
    connect(ceny, &QPushButton::clicked, this, &TEkr_Aktualizacja_Towar::BB_CenyClick);
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
    if (!opened_) FormShow();
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
    Combo_VAT->setCurrentIndex(item.vat);
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
    item.vat = Combo_VAT->currentIndex();
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
    try {
        nr = records_->write(stored_ ? itemNr_ : 0, item);
    } catch (const engine::EngineError& e) {
        ui::messages().information(kBadDataMessage + u'\n' + e.message());
        return false;
    }
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
    st_.PickSearchText = Edit_Grupa->text();
    st_.GroupPickMode = kPicking;
    st_.PickedGroupName.clear();
    st_.PickedGroupNr = 0;
    {
        TEkr_Aktualizacja_Grupa list(st_, this);
        ui::modalRunner().run(list);
    }
    st_.GroupPickMode.clear();
    setGroup({st_.PickedGroupName, st_.PickedGroupNr});
    if (layout_.reachable(ItemField::Nazwa1) && prefillName1())
        focusLater(ItemField::Nazwa1);
    else
        focusLater(ItemField::Grupa);
    changed_ = true;
    groupTyped_ = false;
    st_.PickSearchText.clear();
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
    st_.CompanySearchText = Edit_Producent->text();
    st_.CompanyPickMode = kPicking;
    st_.CompanyFolder.clear(); // the producers of the current catalogue
    st_.PickedCompanyName.clear();
    st_.PickedCompanyNr = 0;
    {
        partners::TEkr_Aktualizacja_Firma list(st_, this);
        ui::modalRunner().run(list);
    }
    st_.CompanyPickMode.clear();
    setProducer({st_.PickedCompanyName, st_.PickedCompanyNr});
    changed_ = true;
    producerTyped_ = false;
    st_.CompanySearchText.clear();
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
        if (mods == Qt::NoModifier && fieldKey(field, key->key())) return true;
    } else if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Another window coming up (a message, a list) is no leaving of the field.
        const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                          isVisible() && !closing_;
        if (left && field == ItemField::Grupa && groupTyped_) groupLeft();
        if (left && field == ItemField::Producent && producerTyped_) producerLeft();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace items
