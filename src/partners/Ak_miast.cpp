#include "partners/Ak_miast.h"
#include "engine/table.h"
#include "store/mainstate.h"
#include "ui/help.h"
#include "ui/picking.h"
#include <QLineEdit>

namespace partners {

namespace {
const QString kTable = QStringLiteral("Miasta");
const QString kNr = QStringLiteral("Miasto_Nr");
const QString kName = QStringLiteral("Miasto_Nazwa");
const QString kCode = QStringLiteral("Miasto_Tel_Kierunkowy");
} // namespace

TEkr_Aktualizacja_Miasto::TEkr_Aktualizacja_Miasto(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Miasto"));
    ui::setHelpContext(this, 500);
    Setup s;
    s.caption = QStringLiteral("Miejscowości");
    // Always the current catalogue, also for a companies dialog showing another folder.
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = kTable;
    s.order = kName;
    s.searchField = kName;
    s.columns = {{kName, QStringLiteral("Miejscowość"), 200},
                 {kCode, QStringLiteral("Tel. kierunk."), 0}};
    s.panelAdding = QStringLiteral(" Dodawanie nowego miasta ");
    s.panelChanging = QStringLiteral(" Edycja miejscowości ");
    s.deleteQuestion = QStringLiteral("Czy chcesz usunąć zaznaczoną pozycję ?");
    s.deleteDefault = ui::Button::Yes;
    s.references = {{.table = QStringLiteral("Firmy"),
                     .fields = QStringLiteral("Firma_Miasto_Nr"),
                     .keyField = kNr,
                     .message = QStringLiteral("Ta miejscowość jest wykorzystywanna przez inne "
                                               "bazy. \nUsunięcie nie jest możliwe !")}};
    // The number of a new city is found only when it is saved, so no row is begun before.
    s.holdRowWhileEditing = false;
    s.readOnly = !state.fullRights();
    s.picking = !state.CityPickMode.isEmpty();
    s.pickStartText = state.CitySearchText;
    s.caretLimit = 20;
    s.readOnlySeesWybierz = false;
    s.readOnlyPicksByDoubleClick = true;
    build(std::move(s));
    name_ = addEditField(QStringLiteral("Edit_Miasto"), QStringLiteral("Miejscowość :"), kName);
    addEditField(QStringLiteral("Edit_Kierunkowy"), QStringLiteral("Tel. kierunk. :"), kCode);
    resize(440, 420);
}

int TEkr_Aktualizacja_Miasto::freeCityNr(const QString& folder) {
    engine::Table t(folder, kTable);
    t.open(); // primary order: by number
    int nr = 1;
    for (t.first(); !t.eof(); t.next()) {
        const int used = t.asInteger(kNr);
        if (used < nr) continue; // 0 or a number seen already
        if (used > nr) break;    // a gap
        ++nr;
    }
    return nr;
}

void TEkr_Aktualizacja_Miasto::closing() {
    st_.CityPickMode.clear();
}

// The results are not emptied at opening: the companies dialog presets PickedCityName and
// recognises a pick by its change.
void TEkr_Aktualizacja_Miasto::storeResults() {
    st_.PickedCityName = table().asString(kName);
    st_.PickedCityNr = table().asInteger(kNr);
    st_.PickedCityCode = table().asString(kCode);
}

void TEkr_Aktualizacja_Miasto::prepareChanging() {
    ui::ListDialog::prepareChanging();
    editedNr_ = table().asInteger(kNr);
}

bool TEkr_Aktualizacja_Miasto::checkInput() {
    const QString name = name_->text();
    if (name.trimmed().isEmpty()) {
        refuse(QStringLiteral("Brak nazwy miejscowości. Zapis nie jest możliwy !"), name_);
        return false;
    }
    // The name index ignores letter case: "kraków" is the city "Kraków".
    engine::Table t(st_.CurrentCatalogueFolder, kTable);
    t.setIndexFieldNames(kName);
    t.open();
    t.setRange({name});
    bool taken = false;
    for (t.first(); !t.eof() && !taken; t.next())
        taken = mode() == Mode::Adding || t.asInteger(kNr) != editedNr_;
    if (!taken) return true;
    refuse(
        mode() == Mode::Adding
            ? QStringLiteral("Miejscowość o takiej nazwie już istnieje. Zapis nie jest możliwy !")
            : QStringLiteral("Miejscowość o takiej nazwie już isnieje. Zapis nie jest możliwy !"),
        name_);
    return false;
}

bool TEkr_Aktualizacja_Miasto::writeRow() {
    // Stored as given: the engine keeps an assigned number instead of counting its own.
    if (mode() == Mode::Adding) table().setValue(kNr, freeCityNr(st_.CurrentCatalogueFolder));
    return ui::ListDialog::writeRow();
}

// Esc abandons an edit wherever the focus is; only while browsing it closes the dialog.
void TEkr_Aktualizacja_Miasto::BB_EscClick() {
    if (editing())
        BB_AnulujClick();
    else
        BB_PowrotClick();
}

std::optional<PickedCity> pickCity(store::MainState& state, QWidget* parent, const QString& typed) {
    state.CitySearchText = typed;
    state.PickedCityName = typed;
    ui::runPicking<TEkr_Aktualizacja_Miasto>(state, state.CityPickMode, store::kPickingWord,
                                             parent);
    if (state.PickedCityName == typed) return std::nullopt;
    return PickedCity{state.PickedCityName, state.PickedCityNr, state.PickedCityCode};
}

} // namespace partners
