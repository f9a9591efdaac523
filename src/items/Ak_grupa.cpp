#include "items/Ak_grupa.h"
#include "engine/table.h"
#include "items/Ak_WWG.h"
#include "store/mainstate.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/modalrunner.h"
#include "ui/picking.h"
#include <QLineEdit>
#include <QPushButton>

namespace items {

namespace {
const QString kName = QStringLiteral("Grupa_Nazwa");
const QString kNr = QStringLiteral("Grupa_Nr");
} // namespace

TEkr_Aktualizacja_Grupa::TEkr_Aktualizacja_Grupa(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Grupa"));
    ui::setHelpContext(this, 200);
    Setup s;
    s.caption = QStringLiteral("Grupy");
    s.folder = state.CurrentCatalogueFolder;
    s.tableName = QStringLiteral("Grupa");
    s.order = kName;
    s.searchField = kName;
    s.columns = {{kName, QStringLiteral("Grupa"), 0}};
    s.addHint = QStringLiteral("Dodawanie nowej grupy");
    s.panelAdding = QStringLiteral("Dodawanie nowej grupy");
    s.panelChanging = QStringLiteral("Edycja grupy");
    s.deleteQuestion = QStringLiteral("Czy na pewno chcesz usunąć zaznaczoną grupę ?");
    // Its items first: a group with items goes only with them; then its template, which must be
    // emptied first.
    s.references = {
        {.table = QStringLiteral("Towar"),
         .fields = QStringLiteral("Tow_Grupa_Nr"),
         .keyField = kNr,
         .message =
             QStringLiteral("W tej grupie znajdują się obiekty !\n Usunięcie nie jest możliwe !")},
        {.table = QStringLiteral("Szablon"),
         .fields = QStringLiteral("Szablon_Grupa_Nr"),
         .keyField = kNr,
         .message = QStringLiteral(
             "Ta grupa ma przyporządkowane własności !\nUsunięcie nie jest możliwe !")},
    };
    s.readOnly = !state.fullRights();
    s.picking = !state.GroupPickMode.isEmpty();
    s.pickStartText = state.PickSearchText;
    build(std::move(s));
    addEditField(QStringLiteral("Edit_Grupa"), QStringLiteral("Nazwa grupy :"), kName);
    auto* templ = addOwnButton(QStringLiteral("BB_Wlasnosci"), QStringLiteral("Własności ..."),
                               QStringLiteral("Edycja właściwości grupy"), OwnButton{});
    connect(templ, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Aktualizacja_Grupa::BB_WlasnosciClick));
    resize(460, 420);
}

void TEkr_Aktualizacja_Grupa::closing() {
    st_.GroupPickMode.clear();
}

void TEkr_Aktualizacja_Grupa::clearResults() {
    st_.PickedGroupName.clear();
    st_.PickedGroupNr = 0;
}

void TEkr_Aktualizacja_Grupa::storeResults() {
    st_.PickedGroupName = table().asString(kName);
    st_.PickedGroupNr = table().asInteger(kNr);
}

bool TEkr_Aktualizacja_Grupa::checkInput() {
    auto* name = findChild<QLineEdit*>(QStringLiteral("Edit_Grupa"));
    if (name->text().isEmpty()) {
        refuse(QStringLiteral("Nie wprowadzona nazwa grupy. Zapis nie jest możliwy !"), name);
        return false;
    }
    return true;
}

void TEkr_Aktualizacja_Grupa::BB_WlasnosciClick() {
    if (readOnly() || picking() || editing() || listEmpty()) return;
    st_.TemplateGroupName = table().asString(kName);
    st_.TemplateGroupNr = table().asInteger(kNr);
    TAktualizacja_WWG dialog(st_, this);
    ui::modalRunner().run(dialog);
}

std::optional<PickedGroup> pickGroup(store::MainState& state, QWidget* parent, const QString& typed,
                                     const QString& modeWord) {
    state.PickSearchText = typed;
    state.PickedGroupName.clear();
    state.PickedGroupNr = 0;
    ui::runPicking<TEkr_Aktualizacja_Grupa>(state, state.GroupPickMode, modeWord, parent);
    state.PickSearchText.clear();
    if (state.PickedGroupNr == 0) return std::nullopt;
    return PickedGroup{state.PickedGroupName, state.PickedGroupNr};
}

} // namespace items
