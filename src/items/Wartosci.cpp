#include "items/Wartosci.h"
#include "engine/table.h"
#include "store/attributevalues.h"
#include "store/mainstate.h"
#include "ui/help.h"
#include "ui/picking.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace items {

namespace {
const QString kValue = QStringLiteral("Wartosci_Wartosc");
const QString kAttribute = QStringLiteral("Wartosci_Cecha_Nr");
} // namespace

TEkr_Wartosci::TEkr_Wartosci(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state), typeWord_(state.AttributeTypeText) {
    setObjectName(QStringLiteral("TEkr_Wartosci"));
    ui::setHelpContext(this, 810);
    Setup s;
    s.caption = QStringLiteral("Wartości");
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = QStringLiteral("Wartosci");
    s.order = kValue;
    s.searchField = kValue;
    s.columns = {{kValue, QStringLiteral("Wartość"), 340}};
    s.panelAdding = QStringLiteral(" Dodawanie nowej wartości ");
    s.panelChanging = QStringLiteral(" Edycja wartości");
    s.deleteQuestion = QStringLiteral("Czy na pewno chcesz usunąć zaznaczoną pozycję ?");
    s.readOnly = !state.fullRights();
    s.picking = !state.ValuePickMode.isEmpty();
    s.pickStartText = state.PickSearchText;
    // Whoever picks a value, a read-only user too, may do it by double-click; outside picking a
    // double-click does nothing.
    s.readOnlyPicksByDoubleClick = true;
    s.doubleClickChanges = false;
    // A value half typed stays in the box while the user looks something up in the list.
    s.abandonOnLeavingEdit = false;
    s.exclusive = true;
    build(std::move(s));

    table().setFilter(QStringLiteral("Wartosci_Cecha_Nr=%1").arg(state.AttributeNr));
    table().setFiltered(true);

    // Which attribute the values belong to.
    auto* about = new QGroupBox(QStringLiteral(" Własność: "), this);
    about->setObjectName(QStringLiteral("GroupBox_Wlasnosc"));
    auto* aboutRow = new QHBoxLayout(about);
    auto* name = new QLabel(state.AttributeName, about);
    name->setObjectName(QStringLiteral("Label_Wlasnosc"));
    auto* typeCaption = new QLabel(QStringLiteral("Typ :"), about);
    auto* type = new QLabel(typeWord_, about);
    type->setObjectName(QStringLiteral("Label_Typ"));
    aboutRow->addWidget(name, 1);
    aboutRow->addWidget(typeCaption);
    aboutRow->addWidget(type);
    listColumn()->insertWidget(0, about);

    value_ = addEditField(QStringLiteral("Edit_Wartosc"), QStringLiteral("Wartość :"), kValue);
    resize(480, 440);
}

void TEkr_Wartosci::opened() {
    st_.PickedValue.clear();
}

void TEkr_Wartosci::closing() {
    st_.ValuePickMode.clear();
}

void TEkr_Wartosci::clearResults() {
    st_.PickedValue.clear();
}

void TEkr_Wartosci::storeResults() {
    st_.PickedValue = table().asString(kValue);
}

void TEkr_Wartosci::prepareAdding() {
    ui::ListDialog::prepareAdding();
    before_.clear();
}

void TEkr_Wartosci::prepareChanging() {
    ui::ListDialog::prepareChanging();
    before_ = value_->text();
}

bool TEkr_Wartosci::checkInput() {
    const QString text = value_->text();
    if (text.isEmpty()) {
        refuse(QStringLiteral("Nie wprowadzona wartość. Zapis nie jest możliwy !"), value_);
        return false;
    }
    // Kept as typed: the check only makes sure the value reads as its type.
    if (const auto fault = store::checkListValue(typeWord_, text);
        fault != store::ValueFault::None) {
        refuse(store::valueFaultMessage(fault), value_);
        value_->setText(before_);
        return false;
    }
    return true;
}

bool TEkr_Wartosci::writeRow() {
    if (!ui::ListDialog::writeRow()) return false;
    if (mode() == Mode::Adding) table().setValue(kAttribute, st_.AttributeNr);
    return true;
}

std::optional<QString> pickValue(store::MainState& state, QWidget* parent, int attributeNr,
                                 const QString& attributeName, const QString& typeLetter) {
    state.AttributeNr = attributeNr;
    state.AttributeName = attributeName;
    // The value list names the type by its display word.
    state.AttributeTypeText = store::attributeTypeWord(typeLetter);
    state.PickSearchText.clear();
    state.PickedValue.clear();
    ui::runPicking<TEkr_Wartosci>(state, state.ValuePickMode, store::kValueSearchWord, parent);
    if (state.PickedValue.isEmpty()) return std::nullopt;
    return state.PickedValue;
}

} // namespace items
