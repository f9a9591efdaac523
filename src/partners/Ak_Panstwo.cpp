#include "partners/Ak_Panstwo.h"
#include "engine/table.h"
#include "store/mainstate.h"
#include "ui/help.h"
#include "ui/picking.h"
#include <QLineEdit>

namespace partners {

namespace {
const QString kNr = QStringLiteral("Panstwo_Nr");
const QString kName = QStringLiteral("Panstwo_Panstwo");
const QString kCode = QStringLiteral("Panstwo_Kierunek");
} // namespace

TEkr_Aktualizacja_Panstwo::TEkr_Aktualizacja_Panstwo(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Panstwo"));
    ui::setHelpContext(this, 600);
    Setup s;
    s.caption = QStringLiteral("Państwa");
    // Always the current catalogue, also for a companies dialog showing another folder.
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = QStringLiteral("Panstwa");
    s.order = kName;
    s.searchField = kName;
    s.columns = {{kName, QStringLiteral("Państwa"), 220},
                 {kCode, QStringLiteral("Tel. kierunkowy"), 0}};
    s.panelAdding = QStringLiteral("Dodawanie nowego panstwa");
    s.panelChanging = QStringLiteral("Edycja państwa");
    s.deleteQuestion = QStringLiteral("Czy na pewno chcesz usunąć zaznaczone panstwo ?");
    s.references = {{.table = QStringLiteral("Firmy"),
                     .fields = QStringLiteral("Firma_Panstwo_Nr"),
                     .keyField = kNr,
                     .message = QStringLiteral("To państwo jest wykorzystywanna przez bazę firm. "
                                               "\nUsunięcie nie jest możliwe !")}};
    s.readOnly = !state.fullRights();
    s.picking = !state.CountryPickMode.isEmpty();
    s.pickStartText = state.CountrySearchText;
    s.caretLimit = 20;
    build(std::move(s));
    name_ = addEditField(QStringLiteral("Edit_Panstwo"), QStringLiteral("Państwo :"), kName);
    addEditField(QStringLiteral("Edit_Kierunek"), QStringLiteral("Tel. kierunkowy :"), kCode);
    resize(460, 420);
}

void TEkr_Aktualizacja_Panstwo::closing() {
    st_.CountryPickMode.clear();
}

// The results are not emptied at opening: the companies dialog presets PickedCountryName and
// recognises a pick by its change.
void TEkr_Aktualizacja_Panstwo::storeResults() {
    st_.PickedCountryName = table().asString(kName);
    st_.PickedCountryNr = table().asInteger(kNr);
    st_.PickedCountryCode = table().asString(kCode);
}

bool TEkr_Aktualizacja_Panstwo::checkInput() {
    if (name_->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("Nie wprowadzona nazwa panstwa !. Zapis nie jest możliwy !"), name_);
        return false;
    }
    return true;
}

std::optional<PickedCountry> pickCountry(store::MainState& state, QWidget* parent,
                                         const QString& typed) {
    state.CountrySearchText = typed;
    state.PickedCountryName = typed;
    ui::runPicking<TEkr_Aktualizacja_Panstwo>(state, state.CountryPickMode, store::kPickingWord,
                                              parent);
    if (state.PickedCountryName == typed) return std::nullopt;
    return PickedCountry{state.PickedCountryName, state.PickedCountryNr, state.PickedCountryCode};
}

} // namespace partners
