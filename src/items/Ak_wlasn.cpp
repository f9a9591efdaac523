#include "items/Ak_wlasn.h"
#include "engine/table.h"
#include "items/Wartosci.h"
#include "store/attributevalues.h"
#include "store/mainstate.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/modalrunner.h"
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

namespace items {

namespace {
const QString kName = QStringLiteral("Cecha_Opis");
const QString kNr = QStringLiteral("Cecha_Nr");
const QString kType = QStringLiteral("Cecha_Typ");
const QString kTypeWord = QStringLiteral("Cecha_Typ_Slowo"); // computed: the display word

const QString kTypeChangeQuestion = QStringLiteral(
    "Typ uległ zmianie! Może to spowodować niepoprawne wyszukiwanie w trakcie wykonywania "
    "zapytania oraz podczas edycji własności obiektu.  Zapisać wprowadzone zmiany ?");
} // namespace

TEkr_Aktualizacja_Wlasnosci::TEkr_Aktualizacja_Wlasnosci(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Wlasnosci"));
    ui::setHelpContext(this, 800);
    Setup s;
    s.caption = QStringLiteral("Własności");
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = QStringLiteral("Cecha");
    s.order = kName;
    s.searchField = kName;
    s.columns = {{kName, QStringLiteral("Własność"), 230}, {kTypeWord, QStringLiteral("Typ"), 90}};
    s.panelAdding = QStringLiteral("Dodawanie nowej własności");
    s.panelChanging = QStringLiteral("Edycja własności");
    s.deleteQuestion = QStringLiteral("Czy na pewno chcesz usunąć zaznaczoną pozycję ?");
    s.references = {
        {.table = QStringLiteral("Opis"),
         .fields = QStringLiteral("Opis_Cecha_Nr"),
         .keyField = kNr,
         .message = QStringLiteral("Ta własność jest używana przez inne bazy !")},
        // A template place left pointing at a deleted attribute would give every item of the
        // group a nameless, untyped line; the template is emptied first, as for deleting a
        // group. The message names the group with the lowest number.
        {.table = QStringLiteral("Szablon"),
         .fields = QStringLiteral("Szablon_Cecha_Nr;Szablon_Grupa_Nr"),
         .keyField = kNr,
         .messageFor =
             [folder = s.folder](const engine::Table& place) {
                 const int groupNr = place.asInteger(QStringLiteral("Szablon_Grupa_Nr"));
                 engine::Table groups(folder, QStringLiteral("Grupa"));
                 groups.open();
                 const QString group = groups.findKey({groupNr})
                                           ? groups.asString(QStringLiteral("Grupa_Nazwa"))
                                           : QString::number(groupNr);
                 return QStringLiteral("Ta własność należy do szablonu grupy \"%1\" !\nUsunięcie "
                                       "nie jest możliwe !")
                     .arg(group);
             }},
    };
    s.readOnly = !state.fullRights();
    build(std::move(s));

    table().addCalculatedField(kTypeWord, engine::FieldType::Alpha, 12);
    connect(&table(), &engine::DataSet::calcFields, this, [](engine::DataSet* ds) {
        ds->setCalculated(kTypeWord, store::attributeTypeWord(ds->asString(kType)));
    });

    buildEditBoxes();

    // Looking at the values changes nothing, so a read-only user may do it too.
    auto* values =
        addOwnButton(QStringLiteral("BB_Wartosci"), QStringLiteral("Wartości ..."),
                     QStringLiteral("Wartości bieżącej własności"),
                     OwnButton{.needsRow = true, .editsData = false, .hideInPicking = true});
    connect(values, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Wlasnosci::BB_WartosciClick));
    resize(480, 440);
}

// The attribute's name and its type, chosen from the fixed list of types.
void TEkr_Aktualizacja_Wlasnosci::buildEditBoxes() {
    name_ = addEditField(QStringLiteral("Edit_Wlasnosc"), QStringLiteral("Własność :"), kName);
    type_ = new QComboBox(editPanel());
    type_->setObjectName(QStringLiteral("Combo_Typ"));
    for (const store::AttributeType& t : store::attributeTypes())
        type_->addItem(t.entry, t.letter);
    type_->setCurrentIndex(-1);
    editForm()->addRow(QStringLiteral("Typ :"), type_);
    registerEditControl(type_);
    connect(type_, &QComboBox::currentIndexChanged, this, [this] {
        if (!editing() || filling_) return;
        typeChanged_ = true;
        markChanged();
    });
}

void TEkr_Aktualizacja_Wlasnosci::prepareAdding() {
    ui::ListDialog::prepareAdding();
    QScopedValueRollback guard(filling_, true);
    type_->setCurrentIndex(-1);
    typeChanged_ = false;
}

void TEkr_Aktualizacja_Wlasnosci::prepareChanging() {
    ui::ListDialog::prepareChanging();
    QScopedValueRollback guard(filling_, true);
    type_->setCurrentIndex(store::attributeTypeIndex(table().asString(kType)));
    typeChanged_ = false;
}

bool TEkr_Aktualizacja_Wlasnosci::checkInput() {
    if (name_->text().isEmpty() || type_->currentIndex() < 0) {
        refuse(QStringLiteral("Wprowadzone dane nie są kompletne. Zapis nie jest możliwy !"),
               name_);
        return false;
    }
    if (mode() == Mode::Changing && typeChanged_ &&
        !ui::messages().question(kTypeChangeQuestion, ui::Button::No)) {
        // The whole change goes, the new name too.
        BB_AnulujClick();
        return false;
    }
    return true;
}

bool TEkr_Aktualizacja_Wlasnosci::writeRow() {
    if (!ui::ListDialog::writeRow()) return false;
    table().setValue(kType, type_->currentData().toString());
    typeChanged_ = false;
    return true;
}

void TEkr_Aktualizacja_Wlasnosci::BB_WartosciClick() {
    if (editing() || listEmpty()) return;
    const QString letter = table().asString(kType);
    if (letter == QLatin1String("S")) {
        ui::messages().information(
            QStringLiteral("Własność typu skojarzeniowego nie posiada wartości !"));
        return;
    }
    st_.AttributeNr = table().asInteger(kNr);
    st_.AttributeName = table().asString(kName);
    st_.AttributeTypeText = store::attributeTypeWord(letter);
    st_.ValuePickMode.clear();
    {
        TEkr_Wartosci values(st_, this);
        ui::modalRunner().run(values);
    }
    if (searchBox()) searchBox()->setFocus();
}

bool TEkr_Aktualizacja_Wlasnosci::eventFilter(QObject* watched, QEvent* event) {
    // Up in the type list moves through its entries, and to the name only from the first one.
    if (watched == type_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Up && type_->currentIndex() > 0)
        return false;
    return ui::ListDialog::eventFilter(watched, event);
}

} // namespace items
