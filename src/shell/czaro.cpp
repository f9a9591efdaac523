#include "shell/czaro.h"
#include "engine/table.h"
#include "platform/clock.h"
#include "shell/Otw_baze.h"
#include "shell/cataloguelists.h"
#include "shell/screencentre.h"
#include "store/catalogue_schema.h"
#include "store/folderpaths.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_czaro.h"
#include <QDir>

namespace shell {

namespace {

const QString kHomeCurrency = QStringLiteral("PLN");

void appendRow(const QString& folder, const QString& table,
               std::initializer_list<std::pair<const char*, QVariant>> values) {
    engine::Table t(folder, table);
    t.open();
    t.append();
    for (const auto& [field, value] : values)
        t.setValue(QLatin1String(field), value);
    t.post();
    t.close();
}

} // namespace

void finishSetup(const QString& mainFolder, const SetupAnswers& a) {
    if (a.createCatalogue && !store::serverLocation(a.location)) {
        // Made when missing; one that exists is simply used. On a server the engine makes it.
        QDir().mkpath(expandedFolder(a.location, mainFolder));
    }
    const QString catalogue = expandedFolder(a.location, mainFolder);
    if (a.createCatalogue) {
        store::createCatalogue(catalogue);
        // Currency 1 and company 1 of the new catalogue, to which the settings record points.
        appendRow(catalogue, QStringLiteral("Waluta"),
                  {{"Waluta_Nazwa", kHomeCurrency},
                   {"Waluta_Kurs", 1},
                   {"Waluta_Data", platform::today()}});
        appendRow(catalogue, QStringLiteral("Firmy"),
                  {{"Firma_Skrot", a.ownerShort},
                   {"Firma_Nazwa1", a.ownerName1},
                   {"Firma_Nazwa2", a.ownerName2},
                   {"Firma_Nazwa3", a.ownerName3}});
    }
    store::MainFolderSetup setup;
    setup.catalogueShown = a.location;
    setup.catalogueExpanded = catalogue;
    setup.makeDefaultCatalogueFolder = false; // the location was made above when wanted
    setup.passwordProtection = a.passwordProtection;
    setup.adminName = a.adminName;
    setup.adminPassword = a.adminPassword;
    store::createMainFolder(mainFolder, setup);
}

TEkr_Czarodziej::TEkr_Czarodziej(store::MainState& state, QWidget* parent)
    : QDialog(parent), state_(state), ui_(std::make_unique<Ui::TEkr_Czarodziej>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 1720);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    centreOnScreen(*this);
    connect(ui_->BB_Dalej, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Czarodziej::BB_DalejClick));
    connect(ui_->BB_Wroc, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Czarodziej::BB_WrocClick));
    connect(ui_->BB_Anuluj, &QPushButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Czarodziej::BB_AnulujClick));
    connect(ui_->SB_Lokalizacja, &QToolButton::clicked, this,
            ui::guardedSlot(this, &TEkr_Czarodziej::SB_LokalizacjaClick));
    runFolderPicker = [this] {
        TOtworz_Baze picker(state_, this);
        ui::modalRunner().run(picker);
    };

    showPage(1);
    state_.CreateInPickedFolder = true;
    setLocation(defaultLocation());
    // The working folders, each on its own: one that exists (or cannot be made) does not keep
    // the others from being made.
    const QDir main(state_.MainFolder);
    for (const QString& sub :
         {store::kTempFolder, store::kBackupFolder, store::kOffersFolder, store::kDataFolder})
        main.mkpath(sub);
}

TEkr_Czarodziej::~TEkr_Czarodziej() = default;

QString TEkr_Czarodziej::location() const {
    return ui_->Label_Podstawowa_Baza_Danych->text();
}

QString TEkr_Czarodziej::defaultLocation() const {
    return QDir::toNativeSeparators(
        QDir::cleanPath(QDir(state_.MainFolder).filePath(store::kDefaultCatalogueFolder)));
}

void TEkr_Czarodziej::setLocation(const QString& folder) {
    ui_->Label_Podstawowa_Baza_Danych->setText(shownFolder(folder));
}

void TEkr_Czarodziej::showPage(int page) {
    page_ = page;
    QWidget* panels[] = {ui_->Panel1, ui_->Panel2, ui_->Panel3, ui_->Panel4};
    for (int i = 0; i < 4; ++i)
        panels[i]->setVisible(i + 1 == page);
    ui_->BB_Wroc->setVisible(page > 1);
    ui_->BB_Dalej->setText(page == 4 ? QStringLiteral("Zakończ") : QStringLiteral("Dalej"));
}

void TEkr_Czarodziej::BB_DalejClick() {
    switch (page_) {
    case 1:
        showPage(2);
        ui_->Edit_Wlasciciel_Skrot->setFocus();
        break;
    case 2:
        // The proposed location again, and with it a new catalogue to be made there: an
        // existing folder chosen before would otherwise leave the proposed one unmade.
        setLocation(defaultLocation());
        state_.CreateInPickedFolder = true;
        showPage(3);
        break;
    case 3:
        showPage(4);
        ui_->Edit_Nazwa_Uzytkownika->setFocus();
        break;
    default:
        finish();
        break;
    }
}

void TEkr_Czarodziej::BB_WrocClick() {
    switch (page_) {
    case 2:
        showPage(1);
        break;
    case 3:
        showPage(2);
        ui_->Edit_Wlasciciel_Skrot->setFocus();
        break;
    case 4:
        showPage(3);
        break;
    default:
        break;
    }
}

void TEkr_Czarodziej::BB_AnulujClick() {
    reject();
}

void TEkr_Czarodziej::SB_LokalizacjaClick() {
    state_.FolderPickMode = QStringLiteral("Otwórz_Nowy");
    state_.PickedFolder.clear();
    if (runFolderPicker) runFolderPicker();
    if (!state_.PickedFolder.isEmpty()) setLocation(state_.PickedFolder);
}

void TEkr_Czarodziej::finish() {
    SetupAnswers a;
    a.ownerShort = ui_->Edit_Wlasciciel_Skrot->text().trimmed();
    a.ownerName1 = ui_->Edit_Nazwa1->text();
    a.ownerName2 = ui_->Edit_Nazwa2->text();
    a.ownerName3 = ui_->Edit_Nazwa3->text();
    a.location = location();
    a.createCatalogue = state_.CreateInPickedFolder;
    a.adminName = ui_->Edit_Nazwa_Uzytkownika->text().trimmed();
    a.adminPassword = ui_->Edit_Haslo->text();
    a.passwordProtection = ui_->CB_Haslo->isChecked();

    if (a.createCatalogue && a.ownerShort.isEmpty()) {
        ui::messages().information(
            QStringLiteral("Proszę wprowadzić nazwę skróconą właściciela !"));
        return;
    }
    if (a.adminName.isEmpty() || a.adminPassword.isEmpty()) {
        ui::messages().information(QStringLiteral("Proszę wprowadzić nazwę użytkownika i hasło !"));
        ui_->Edit_Nazwa_Uzytkownika->setFocus();
        return;
    }
    // New tables over a catalogue that is there already would empty it, orders and companies
    // included: only when the user says so.
    if (a.createCatalogue &&
        !catalogueTableNames(expandedFolder(a.location, state_.MainFolder)).isEmpty() &&
        !ui::messages().question(
            QStringLiteral("W folderze %1 jest już katalog. Czy zastąpić go nowym, pustym "
                           "katalogiem ?\n(Nie - istniejący katalog zostanie użyty bez zmian)")
                .arg(a.location),
            ui::Button::No))
        a.createCatalogue = false;

    if (!ui::guarded([&] {
            ui::BusyCursor busy;
            finishSetup(state_.MainFolder, a);
        }))
        return;
    if (a.createCatalogue) ui::messages().information(store::kCatalogueCreatedMessage);
    accept();
}

} // namespace shell
