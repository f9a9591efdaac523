#include "offers/E_of_spi.h"
#include "engine/table.h"
#include "offers/Ekr_of_ed.h"
#include "offers/REMain.h"
#include "platform/clock.h"
#include "store/mainstate.h"
#include "ui/E_Kalend.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_E_of_spi.h"

namespace offers {

namespace {
const QString kNr = QStringLiteral("Oferty_Nr");
const QString kDescription = QStringLiteral("Oferty_Opis");
// The sort choices and the field each orders by; the last two are searched as one types.
const char* const kSortFields[] = {"", "Oferty_Data", "Oferty_Firma", "Oferty_Opis"};
} // namespace

TEkr_Oferty_Spis::TEkr_Oferty_Spis(store::MainState& state, TMainForm& editor, QWidget* parent)
    : QDialog(parent), st_(state), editor_(editor), ui_(std::make_unique<Ui::TEkr_Oferty_Spis>()) {
    ui_->setupUi(this);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    ui::setHelpContext(this, 3100);
    ui_->BB_Pomoc->hide();
    ui_->BB_Otworz->setDefault(true);
    ui_->Wyswietlaj_wg->addItems({QStringLiteral("Nazwa pliku"), QStringLiteral("Data"),
                                  QStringLiteral("Firma"), QStringLiteral("Opis")});
    auto* grid = ui_->DBGrid_Oferty;
    grid->addColumn(kNr, QStringLiteral("Nazwa pliku"), 80);
    grid->addColumn(QStringLiteral("Oferty_Data"), QStringLiteral("Data"), 80);
    grid->addColumn(QStringLiteral("Oferty_Firma"), QStringLiteral("Firma"), 200);
    grid->addColumn(kDescription, QStringLiteral("Opis"), 330);
    const int year = platform::today().year();
    from_ = QDate(year, 1, 1);
    to_ = QDate(year, 12, 31);
    showPeriod();
    ui_->Edit_Szukaj->hide();
    ui_->Label_Szukaj->hide();
    for (QPushButton* b : {ui_->BB_Dodaj, ui_->BB_Popraw, ui_->BB_Usun})
        b->setEnabled(st_.fullRights());
    const std::pair<QPushButton*, void (TEkr_Oferty_Spis::*)()> buttons[] = {
        {ui_->BB_Od, &TEkr_Oferty_Spis::BB_OdClick},
        {ui_->BB_Do, &TEkr_Oferty_Spis::BB_DoClick},
        {ui_->BB_Dodaj, &TEkr_Oferty_Spis::BB_DodajClick},
        {ui_->BB_Popraw, &TEkr_Oferty_Spis::BB_PoprawClick},
        {ui_->BB_Usun, &TEkr_Oferty_Spis::BB_UsunClick},
        {ui_->BB_Otworz, &TEkr_Oferty_Spis::BB_OtworzClick},
        {ui_->BB_Powrot, &TEkr_Oferty_Spis::BB_PowrotClick}};
    for (const auto& [button, slot] : buttons)
        connect(button, &QPushButton::clicked, this, ui::guardedSlot(this, slot));
    connect(ui_->Wyswietlaj_wg, &QComboBox::currentIndexChanged, this,
            ui::guardedSlot([this] { Wyswietlaj_wgChange(); }));
    connect(ui_->Edit_Szukaj, &QLineEdit::textEdited, this,
            ui::guardedSlot([this] { Edit_SzukajChange(); }));
    connect(grid, &ui::DbGrid::rowDoubleClicked, this,
            ui::guardedSlot(this, &TEkr_Oferty_Spis::BB_OtworzClick));
    connect(grid, &ui::DbGrid::enterPressed, this,
            ui::guardedSlot(this, &TEkr_Oferty_Spis::BB_OtworzClick));
}

TEkr_Oferty_Spis::~TEkr_Oferty_Spis() {
    ui_->DBGrid_Oferty->setDataSet(nullptr);
}

void TEkr_Oferty_Spis::prepare() {
    auto& t = st_.TOferty;
    if (!t.isOpen()) {
        t.setIndexFieldNames(QString::fromLatin1(kSortFields[ui_->Wyswietlaj_wg->currentIndex()]));
        t.setFilter(filterText());
        t.setFiltered(true);
        t.open();
    } else {
        applyFilter();
    }
    ui_->DBGrid_Oferty->setDataSet(&t);
    t.last();
}

QString TEkr_Oferty_Spis::filterText() const {
    return QStringLiteral("Oferty_Data>=%1 and Oferty_Data<=%2")
        .arg(platform::dateText(from_), platform::dateText(to_));
}

void TEkr_Oferty_Spis::showPeriod() {
    ui_->Edit_Od->setText(platform::dateText(from_));
    ui_->Edit_Do->setText(platform::dateText(to_));
}

void TEkr_Oferty_Spis::applyFilter() {
    auto& t = st_.TOferty;
    t.setFiltered(false);
    t.setFilter(filterText());
    t.setFiltered(true);
}

void TEkr_Oferty_Spis::BB_OdClick() {
    const auto date = ui::pickDate(st_);
    if (!date) return;
    if (*date > to_) {
        ui::messages().information(
            QStringLiteral("Data początku okresu nie może być poźniejsza niż data końca okresu !"));
        return;
    }
    from_ = *date;
    showPeriod();
    applyFilter();
}

void TEkr_Oferty_Spis::BB_DoClick() {
    const auto date = ui::pickDate(st_);
    if (!date) return;
    if (*date < from_) {
        ui::messages().information(QStringLiteral(
            "Data końca okresu nie może być wcześniejsza niż data początku okresu !"));
        return;
    }
    to_ = *date;
    showPeriod();
    applyFilter();
}

void TEkr_Oferty_Spis::Wyswietlaj_wgChange() {
    const int choice = ui_->Wyswietlaj_wg->currentIndex();
    st_.TOferty.setIndexFieldNames(QString::fromLatin1(kSortFields[choice]));
    const bool search = choice >= 2;
    ui_->Edit_Szukaj->setVisible(search);
    ui_->Label_Szukaj->setVisible(search);
    ui_->Edit_Szukaj->clear();
}

void TEkr_Oferty_Spis::Edit_SzukajChange() {
    if (!st_.TOferty.isOpen()) return;
    st_.TOferty.findNearest({ui_->Edit_Szukaj->text()});
}

bool TEkr_Oferty_Spis::resumePending() {
    // The dialog's "Powrót" leaves its row being inserted or edited: whatever the user does next
    // in the list first finishes that row, in the dialog it was left in.
    if (!st_.TOferty.isOpen() || st_.TOferty.state() == engine::Table::State::Browse) return false;
    runDialog(pendingNew_);
    return true;
}

void TEkr_Oferty_Spis::runDialog(bool newOffer) {
    pendingNew_ = newOffer;
    TEkr_Oferty_Edycja dialog(st_, editor_, newOffer, this);
    if (ui::modalRunner().run(dialog) == TEkr_Oferty_Edycja::kDocument) {
        if (!newOffer) fillCompanyBlock();
        accept();
        if (editorOpened) editorOpened();
    }
}

void TEkr_Oferty_Spis::BB_DodajClick() {
    if (resumePending()) return;
    auto& t = st_.TOferty;
    t.insert();
    t.setValue(QStringLiteral("Oferty_Data"), platform::today());
    runDialog(true);
}

void TEkr_Oferty_Spis::BB_PoprawClick() {
    if (resumePending()) return;
    if (st_.TOferty.isEmpty()) return;
    st_.TOferty.edit();
    runDialog(false);
}

void TEkr_Oferty_Spis::BB_UsunClick() {
    if (resumePending()) return;
    if (st_.TOferty.isEmpty()) return;
    // Only the row goes: the offer's document stays in the offers' folder.
    if (ui::messages().question(QStringLiteral("Chcesz usunąć zaznaczoną ofertę ?")))
        st_.TOferty.remove();
}

void TEkr_Oferty_Spis::BB_OtworzClick() {
    if (resumePending()) return;
    auto& t = st_.TOferty;
    if (t.isEmpty()) return;
    if (!editor_.openOffer(t.asInteger(kNr), t.asString(kDescription))) return;
    fillCompanyBlock();
    accept();
    if (editorOpened) editorOpened();
}

void TEkr_Oferty_Spis::BB_PowrotClick() {
    reject();
}

void TEkr_Oferty_Spis::reject() {
    // Esc and the window's close button leave as "Powrót" does.
    QDialog::reject();
    if (returned) ui::guarded([this] { returned(); });
}

void TEkr_Oferty_Spis::fillCompanyBlock() {
    const QString company = st_.TOferty.asString(QStringLiteral("Oferty_Firma"));
    if (st_.DefaultCatalogueFolder.isEmpty()) return;
    engine::Table companies(st_.DefaultCatalogueFolder, QStringLiteral("Firmy"));
    companies.setIndexFieldNames(QStringLiteral("Firma_Skrot"));
    companies.open();
    if (companies.isEmpty()) return;
    companies.findNearest({company});
    if (companies.eof() || companies.isEmpty()) return;
    st_.PickedCompanyBlock = {companies.asString(QStringLiteral("Firma_Nazwa1")),
                              companies.asString(QStringLiteral("Firma_Nazwa2")),
                              companies.asString(QStringLiteral("Firma_Nazwa3")),
                              companies.asString(QStringLiteral("Firma_Ulica")),
                              companies.asString(QStringLiteral("Firma_Kod_Poczt")) + u' ' +
                                  companies.asString(QStringLiteral("Firma_Miejscowosc"))};
}

} // namespace offers
