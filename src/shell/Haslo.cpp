#include "shell/Haslo.h"
#include "engine/database.h"
#include "engine/error.h"
#include "shell/cataloguelists.h"
#include "shell/maincontroller.h"
#include "shell/screencentre.h"
#include "store/folderpaths.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "store/passwords.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui_Haslo.h"
#include <QDir>

namespace shell {

namespace {

const QString kWrongData =
    QStringLiteral("Wprowadzone dane nie są poprawne!.\n Proszę o ponowne wprowadzenie nazwy "
                   "użytkownika i hasła !!!");
const QString kGoodbye = QStringLiteral("Przykro mi dane nie są prawdziwe ! Do zobaczenia !");

} // namespace

TEkr_Haslo::TEkr_Haslo(store::MainState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui_(std::make_unique<Ui::TEkr_Haslo>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 1700);
    // No window buttons: the dialog is left by "Start" or "Anuluj" only.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    centreOnScreen(*this);
    connect(ui_->B_Zatwierdz, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Haslo::B_ZatwierdzClick));
    connect(ui_->B_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Haslo::B_AnulujClick));

    state_.TempFolder = QDir::cleanPath(state_.MainFolder + store::kTempFolder);
    auto& users = state_.TUsers;
    users.close();
    users.setDatabaseName(state_.MainFolder);
    users.open();
}

TEkr_Haslo::~TEkr_Haslo() = default;

void TEkr_Haslo::B_ZatwierdzClick() {
    auto& s = state_;
    s.CurrentUserNr = 0;
    s.AdminRight = true;
    store::LoginUser user;
    if (!ui::guarded([&] {
            user = store::findLoginUser(s.TUsers, ui_->ME_Nazwa->text(), ui_->ME_Haslo->text());
        }))
        return; // the users could not be read: the box said why; another try is possible

    if (!user.found()) {
        if (++failures_ < kAttempts) {
            ui::messages().information(kWrongData);
            ui_->ME_Nazwa->setFocus();
            ui_->ME_Nazwa->selectAll();
            return;
        }
        ui::messages().information(kGoodbye);
        s.StartupDone = false;
        QDialog::reject();
        return;
    }

    s.CurrentUserNr = user.nr;
    // Another installation wanting a row this one edits is told who holds it.
    engine::Database::setUserName(user.name);
    s.RightsLevel = user.rightsLevel;
    s.PriceRight = user.priceRight;
    s.AdminRight = user.adminRight;

    ui::BusyCursor busy;
    // The favourites box lists this user's entries only.
    const bool favourites = ui::guarded([&] {
        auto& bazy = s.TBazy;
        bazy.close();
        bazy.setDatabaseName(s.MainFolder);
        bazy.setFilter(QStringLiteral("Baza_User_Nr=") + QString::number(user.nr));
        bazy.setFiltered(true);
        bazy.open();
    });
    if (!favourites) return;
    openUsersCatalogue(user.catalogue);
}

QString TEkr_Haslo::expanded(const QString& folder) const {
    return expandedFolder(folder, state_.MainFolder);
}

void TEkr_Haslo::openCatalogue() {
    if (!controller_) return;
    controller_->bindCatalogueTables();
    state_.TFGrupa.open();
    state_.TFirma_Prod.open();
    controller_->tableMode();
}

void TEkr_Haslo::openUsersCatalogue(const QString& stored) {
    auto& s = state_;
    s.CurrentCatalogueName = stored;
    // The last catalogue of a user of a copied main folder: its own copy, as for the default.
    const store::FoundFolder found = store::foundFolder(stored, s.MainFolder);
    s.CurrentCatalogueFolder = expanded(found.folder);
    if (found.moved) s.CurrentCatalogueName = QDir::toNativeSeparators(s.CurrentCatalogueFolder);
    // A user made without a catalogue starts in the default one.
    if (s.CurrentCatalogueFolder.isEmpty()) {
        s.CurrentCatalogueFolder = s.DefaultCatalogueFolder;
        s.CurrentCatalogueName = shownFolder(s.DefaultCatalogueFolder);
    }
    try {
        openCatalogue();
    } catch (const engine::EngineError& e) {
        if (s.CurrentCatalogueFolder == s.DefaultCatalogueFolder) {
            ui::showError(e);
            return;
        }
        // The catalogue last worked in may have been deleted or moved since; the user is not
        // locked out for that.
        ui::messages().information(
            QStringLiteral("Nie można otworzyć katalogu %1.\n%2\nZostanie otwarty katalog "
                           "domyślny.")
                .arg(shownFolder(s.CurrentCatalogueFolder), e.message()));
        s.CurrentCatalogueFolder = s.DefaultCatalogueFolder;
        s.CurrentCatalogueName = shownFolder(s.DefaultCatalogueFolder);
        if (!ui::guarded([this] { openCatalogue(); })) return;
    }
    s.StartupDone = true;
    accept();
}

void TEkr_Haslo::B_AnulujClick() {
    reject();
}

void TEkr_Haslo::reject() {
    state_.StartupDone = false;
    QDialog::reject();
}

} // namespace shell
