#include "partners/Ak_tel.h"
#include "engine/table.h"
#include "store/mainstate.h"
#include "ui/help.h"
#include "ui/picking.h"
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace partners {

namespace {
const QString kCompany = QStringLiteral("Telefon_Firma_Nr");
const QString kContact = QStringLiteral("Telefon_Kontakt");
const QString kPhone = QStringLiteral("Telefon_Nr_Tel");
const QString kNr = QStringLiteral("Telefon_Nr");
} // namespace

TEkr_Aktualizacja_Telefony::TEkr_Aktualizacja_Telefony(store::MainState& state, QWidget* parent)
    : ui::ListDialog(parent), st_(state) {
    setObjectName(QStringLiteral("TEkr_Aktualizacja_Telefony"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 700);
    const bool picking = !state.ContactPickMode.isEmpty();
    // The listed company: the one being edited, or the one a contact is picked for.
    const int listed = picking ? state.ContactCompanyNr : state.ContactOwnerNr;
    owner_ = state.ContactOwnerNr != 0 ? state.ContactOwnerNr : listed;

    Setup s;
    s.caption = QStringLiteral("Kontakty");
    s.folder = state.CompanyFolder.isEmpty() ? state.CurrentCatalogueFolder : state.CompanyFolder;
    state.CompanyFolder.clear();
    s.tableName = QStringLiteral("Telefon");
    // The primary order: the company's contacts sorted by contact text.
    s.columns = {{kContact, QStringLiteral("Kontakt / osoba"), 190},
                 {kPhone, QStringLiteral("tel. / fax / e-mail / WWW"), 250}};
    s.addHint = QStringLiteral("Dodawanie nowego kontaktu");
    s.panelAdding = QStringLiteral("Dodawanie nowego kontaktu");
    s.panelChanging = QStringLiteral("Edycja kontaktu");
    s.deleteQuestion = QStringLiteral("Chcesz usunąć zaznaczoną pozycję ?");
    s.deleteDefault = ui::Button::Yes;
    s.readOnly = !state.fullRights();
    s.picking = picking;
    // Picking changes nothing, so a read-only user picks for another screen as anyone does.
    s.readOnlyPicksByDoubleClick = true;
    // Without a search field the list would keep the focus with nothing to show.
    s.listDisabledWhileEmpty = true;
    build(std::move(s));

    table().setFilter(kCompany + QLatin1Char('=') + QString::number(listed));
    table().setFiltered(true);

    auto* box = new QGroupBox(QStringLiteral(" Firma : "), this);
    box->setObjectName(QStringLiteral("GroupBox_Firma"));
    company_ = new QLabel(state.ContactCompanyName, box);
    company_->setObjectName(QStringLiteral("Label_Firma"));
    auto* boxLayout = new QHBoxLayout(box);
    boxLayout->addWidget(company_);
    listColumn()->insertWidget(0, box);

    addEditField(QStringLiteral("Edit_Kontakt"), QStringLiteral("Kontakt / osoba :"), kContact);
    addEditField(QStringLiteral("Edit_Telefon"), QStringLiteral("tel. / fax / e-mail / WWW :"),
                 kPhone);
    resize(600, 420);
}

void TEkr_Aktualizacja_Telefony::closing() {
    st_.ContactPickMode.clear();
    st_.CompanyFolder.clear();
    st_.ContactOwnerNr = 0;
}

void TEkr_Aktualizacja_Telefony::clearResults() {
    st_.PickedContactNr = 0;
}

void TEkr_Aktualizacja_Telefony::storeResults() {
    st_.PickedContactNr = table().asInteger(kNr);
}

bool TEkr_Aktualizacja_Telefony::checkInput() {
    auto* contact = findChild<QLineEdit*>(QStringLiteral("Edit_Kontakt"));
    auto* phone = findChild<QLineEdit*>(QStringLiteral("Edit_Telefon"));
    // A person without a number, or a number without a person, is a contact all the same.
    if (contact->text().trimmed().isEmpty() && phone->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("Proszę wpisać wszystkie dane !"), contact);
        return false;
    }
    return true;
}

bool TEkr_Aktualizacja_Telefony::writeRow() {
    if (!ListDialog::writeRow()) return false;
    table().setValue(kCompany, owner_);
    return true;
}

void TEkr_Aktualizacja_Telefony::BB_EscClick() {
    if (editing())
        abandonEdit();
    else
        BB_PowrotClick();
}

std::optional<int> pickContact(store::MainState& state, QWidget* parent, int companyNr,
                               const QString& companyName, const QString& folder) {
    state.ContactCompanyNr = companyNr;
    state.ContactCompanyName = companyName;
    state.CompanyFolder = folder;
    state.PickedContactNr = 0;
    ui::runPicking<TEkr_Aktualizacja_Telefony>(state, state.ContactPickMode, store::kPickingWord,
                                               parent);
    state.CompanyFolder.clear();
    if (state.PickedContactNr == 0) return std::nullopt;
    return state.PickedContactNr;
}

} // namespace partners
