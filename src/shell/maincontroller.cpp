#include "shell/maincontroller.h"
#include "engine/error.h"
#include "platform/clock.h"
#include "platform/launcher.h"
#include "platform/worktables.h"
#include "shell/cataloguelists.h"
#include "shell/detailtabs.h"
#include "store/folderpaths.h"
#include "store/mainfolder_schema.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include <QApplication>
#include <QDir>
#include <QGuiApplication>

namespace shell {

namespace {

const QString kItemOrder = QStringLiteral("Tow_Nazwa");
const QString kQuantityWithUnit = QStringLiteral("Calc_Ilosc_jm");

// Quantity and unit in one text, "12,5 szt", for the item grid's last column.
void quantityWithUnit(engine::DataSet* ds) {
    static const QString quantity = QStringLiteral("Tow_Ilosc");
    static const QString unit = QStringLiteral("Tow_jm");
    // A query's text may leave them out.
    if (!ds->hasField(quantity) || !ds->hasField(unit)) return;
    const QString text = ds->asString(quantity) + u' ' + ds->asString(unit);
    ds->setCalculated(kQuantityWithUnit, text.trimmed());
}

} // namespace

void addQuantityWithUnit(engine::DataSet& ds, QObject* context) {
    if (ds.hasField(kQuantityWithUnit)) return;
    ds.addCalculatedField(kQuantityWithUnit, engine::FieldType::Alpha, 60);
    QObject::connect(&ds, &engine::DataSet::calcFields, context, &quantityWithUnit);
}

MainView::~MainView() = default;

const QList<std::pair<QString, QString>>& sharedCommands() {
    static const QList<std::pair<QString, QString>> pairs{
        {QStringLiteral("SpeedButton3"), QStringLiteral("N1")},
        {QStringLiteral("SpeedButton6"), QStringLiteral("Nowy1")},
        {QStringLiteral("SpeedButton7"), QStringLiteral("Klonuj1")},
        {QStringLiteral("SpeedButton8"), QStringLiteral("Edycja2")},
        {QStringLiteral("SpeedButton17"), QStringLiteral("Filtr1")},
        {QStringLiteral("SpeedButton18"), QStringLiteral("Zapytanie1")},
        // "Składa się": the consists-of editor of the current item, as on its page.
        {QStringLiteral("SpeedButton_Sklada_sie"), QStringLiteral("Modyfikuj3")},
        {QStringLiteral("SpeedButton10"), QStringLiteral("Wasno1")},
        {QStringLiteral("SpeedButton11"), QStringLiteral("Wasno2")},
        {QStringLiteral("SpeedButton12"), QStringLiteral("Rysnki1")},
        {QStringLiteral("SpeedButton13"), QStringLiteral("Firmy1")},
        {QStringLiteral("SpeedButton14"), QStringLiteral("Pastwa1")},
        {QStringLiteral("SpeedButton15"), QStringLiteral("Ksikaadresowotelefoniczna1")},
        {QStringLiteral("SpeedButton16"), QStringLiteral("Waluty1")},
        {QStringLiteral("SpeedButton1"), QStringLiteral("Drukuj2")},
        {QStringLiteral("SpeedButton5"), QStringLiteral("Koniec1")},
    };
    return pairs;
}

// A menu item stands for its toolbar button too (sharedCommands); the toolbar's delete and its
// preview have no menu item.
const QStringList& MainController::rowCommands() {
    static const QStringList names{QStringLiteral("Zapytanie1"),   QStringLiteral("Filtr1"),
                                   QStringLiteral("Drukuj2"),      QStringLiteral("Klonuj1"),
                                   QStringLiteral("Edycja2"),      QStringLiteral("Usu1"),
                                   QStringLiteral("SpeedButton9"), QStringLiteral("SpeedButton2"),
                                   QStringLiteral("Modyfikuj3"),   QStringLiteral("ZapiszPDF1")};
    return names;
}

const QStringList& MainController::editCommands() {
    static const QStringList names{QStringLiteral("Nowy1"),        QStringLiteral("Edycja2"),
                                   QStringLiteral("Klonuj1"),      QStringLiteral("Usu1"),
                                   QStringLiteral("SpeedButton9"), QStringLiteral("Konfiguracja2")};
    return names;
}

MainController::MainController(store::MainState& state, MainView& view, QObject* parent)
    : QObject(parent), st_(state), view_(view), items_(state, view, *this),
      detailTabs_(std::make_unique<DetailTabs>(state, view)) {
    modalDialogOpen = [] {
        return qobject_cast<QApplication*>(QCoreApplication::instance()) &&
               QApplication::activeModalWidget() != nullptr;
    };
    timer_.setInterval(kRefreshIntervalMs);
    connect(&timer_, &QTimer::timeout, this, &MainController::refreshTick);

    // The query shows the same columns as the item table, the calculated one included.
    addQuantityWithUnit(st_.TFTowar, this);
    addQuantityWithUnit(st_.QTowar, this);
    auto& items = st_.TFTowar;
    connect(&items, &engine::DataSet::afterOpen, this, &MainController::showCounter);
    connect(&items, &engine::Table::afterPost, this, &MainController::showCounter);
    connect(&items, &engine::Table::afterDelete, this, &MainController::showCounter);
    connect(&items, &engine::DataSet::afterRefresh, this, &MainController::showCounter);
}

MainController::~MainController() = default;

QString MainController::expandFolder(const QString& folder) const {
    // Folders written on Windows use backslashes; links are resolved so that one folder has one
    // name wherever folders are compared.
    return expandedFolder(folder, st_.MainFolder);
}

QString MainController::title() const {
    return QStringLiteral("PELK! - ") + shownFolder(st_.CurrentCatalogueFolder);
}

// The first dialog of the start (the wizard or the login) is about to show: the splash goes.
void MainController::startDialog() {
    if (!beforeStartDialog) return;
    auto hook = std::move(beforeStartDialog);
    beforeStartDialog = nullptr;
    hook();
}

MainController::StartOutcome MainController::start(const QString& mainFolder) {
    st_.WorkMode = QStringLiteral("Przeglądanie");
    st_.Query.attributeFlag = false;
    st_.DefaultSupplierNr = 0;

    QString main = QDir::cleanPath(QDir(mainFolder).absolutePath());
    if (!main.endsWith(u'/')) main += u'/';
    st_.MainFolder = main;
    st_.TempFolder = main + store::kTempFolder;

    if (!store::isMainFolder(main) && runWizard) {
        startDialog();
        runWizard();
        // Cancelled, or its finish failed: nothing is opened.
        if (!store::isMainFolder(main)) return StartOutcome::Abandoned;
    }
    if (!store::isMainFolder(main)) {
        ui::messages().information(
            QStringLiteral("W folderze %1 brak ustawień programu (tabeli Pelk.db).\n"
                           "Program zostanie zakończony.")
                .arg(QDir::toNativeSeparators(main)));
        return StartOutcome::NoSettings;
    }
    if (!QDir::setCurrent(main)) {
        ui::messages().error(ui::errorCaption(),
                             QStringLiteral("Nie można przejść do folderu programu %1.\n"
                                            "Program zostanie zakończony.")
                                 .arg(QDir::toNativeSeparators(main)));
        return StartOutcome::Abandoned;
    }
    // A run that crashed may have left working tables behind; those of other installations
    // running on this main folder stay.
    workTables_ = std::make_unique<platform::WorkTables>(st_.TempFolder);
    ui::guarded([this] { workTables_->removeLeftovers(); });

    st_.AdminRight = true;
    try {
        readProgramSettings(main);
        if (st_.TPelk.asBoolean(QStringLiteral("Pelk_Haslo_OK"))) {
            if (!loginUser()) return StartOutcome::Abandoned;
        } else {
            openAlone();
        }
        showStartedCatalogue();
    } catch (const engine::EngineError& e) {
        // The window stays, with no catalogue open; the user sees why and can leave or open
        // another catalogue.
        ui::showError(e);
        ui::guarded([this] { noCatalogue(); });
        applyRights();
    }
    return StartOutcome::Running;
}

bool MainController::mayAdminister() const {
    return st_.AdminRight && st_.fullRights();
}

bool MainController::mayCreateCatalogues() const {
    return st_.fullRights();
}

// The default catalogue as the settings name it. A main folder copied elsewhere may still name
// the original's catalogue: its own copy stands in, the setting is put right, and the user told.
QString MainController::defaultCatalogue(const QString& main) {
    const QString stored = st_.TPelk.asString(QStringLiteral("Pelk_Katalog_Glowny"));
    const store::FoundFolder found = store::foundFolder(stored, main);
    if (found.moved) {
        ui::messages().information(
            QStringLiteral("Katalog domyślny %1 nie istnieje.\nZostanie użyty katalog %2 z "
                           "folderu głównego programu.")
                .arg(QDir::toNativeSeparators(stored), QDir::toNativeSeparators(found.folder)));
        auto& settings = st_.TPelk;
        try {
            settings.edit();
            settings.setValue(QStringLiteral("Pelk_Katalog_Glowny"),
                              store::storedFolder(found.folder, main));
            settings.post();
        } catch (const engine::EngineError&) {
            // Busy or read-only: the copy still stands in, and the notice comes next time.
            if (settings.state() != engine::Table::State::Browse) settings.cancel();
        }
    }
    return expandFolder(found.folder);
}

// The program's settings in the main folder, and the folders they name.
void MainController::readProgramSettings(const QString& main) {
    st_.TPelk.close();
    st_.TPelk.setDatabaseName(main);
    st_.TPelk.open();
    st_.DefaultCatalogueFolder = defaultCatalogue(main);
    st_.TDokumenty.setDatabaseName(st_.DefaultCatalogueFolder);
    st_.TDok_Dane.setDatabaseName(st_.DefaultCatalogueFolder);
    st_.TOferty.setDatabaseName(main + store::kOffersFolder);
    st_.TUsers.setDatabaseName(main);
    st_.TBazy.setDatabaseName(main);
    st_.RightsLevel = 2;
}

// The login the settings ask for; false when nobody logged in.
bool MainController::loginUser() {
    st_.StartupDone = false;
    if (runLogin) {
        startDialog();
        runLogin();
    } else {
        ui::messages().information(
            QStringLiteral("Ustawienia programu wymagają logowania użytkownika, którego ta "
                           "wersja programu jeszcze nie obsługuje.\nProgram zostanie zakończony."));
    }
    if (!st_.StartupDone) return false;
    QStringList favourites;
    if (!st_.TBazy.isOpen()) st_.TBazy.open();
    for (st_.TBazy.first(); !st_.TBazy.eof(); st_.TBazy.next())
        favourites << st_.TBazy.asString(QStringLiteral("Baza_Sciezka"));
    view_.setFavourites(favourites);
    return true;
}

// Without a login: one person working alone, with every right, prices included.
void MainController::openAlone() {
    st_.CurrentCatalogueFolder = st_.DefaultCatalogueFolder;
    // The favourites commands work on the catalogue really open.
    st_.CurrentCatalogueName = shownFolder(st_.DefaultCatalogueFolder);
    st_.CurrentUserNr = 0;
    st_.PriceRight = true;
    st_.StartupDone = true;
    view_.setFavourites({});
    view_.setTitle(title());
    bindCatalogueTables();
    st_.TFGrupa.open();
    st_.TFirma_Prod.open();
    st_.TFTowar.setIndexFieldNames(kItemOrder);
    view_.showItemTable();
    st_.TFTowar.open();
}

// The window shows the catalogue opened at start, with the user's rights.
void MainController::showStartedCatalogue() {
    view_.setStartSize();
    readDisplayConfig();
    st_.HomeCurrencyNr = st_.TPelk.asInteger(QStringLiteral("Pelk_Waluta_Nr"));
    st_.resetFilterState();
    emptyCheck();
    view_.showDetailTab(0);
    view_.selectSortChoice(0);
    view_.setTitle(title());
    if (st_.TFTowar.isOpen()) {
        st_.TFTowar.setIndexFieldNames(kItemOrder);
        st_.TFTowar.first();
    }
    view_.setPriceGridBound(st_.PriceRight);
    applyRights();
    view_.maximise();
    if (st_.TFTowar.isOpen())
        open_ = OpenCatalogue{st_.CurrentCatalogueFolder, st_.CurrentCatalogueName};
    timer_.start();
}

void MainController::applyRights() {
    if (!st_.AdminRight) view_.setCommandEnabled(QStringLiteral("Uytkownicy1"), false);
    if (!mayAdminister()) {
        view_.setCommandEnabled(QStringLiteral("Administrator1"), false);
        view_.setCommandEnabled(QStringLiteral("Kreatortest1"), false);
    }
    if (!mayCreateCatalogues()) {
        view_.setCommandEnabled(QStringLiteral("Nowabaza1"), false);
        view_.setCommandEnabled(QStringLiteral("Importujkatalog1"), false);
    }
    if (st_.RightsLevel == 1)
        for (const QString& name : editCommands())
            view_.setCommandEnabled(name, false);
}

void MainController::activate() {
    st_.WorkMode = QStringLiteral("Przeglądanie");
    // Whatever was busy when the window lost the focus is over by now.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        while (QGuiApplication::overrideCursor())
            QGuiApplication::restoreOverrideCursor();
}

void MainController::bindCatalogueTables() {
    const QString folder = st_.CurrentCatalogueFolder;
    auto bind = [&](engine::DataSet& ds) {
        ds.close();
        ds.setDatabaseName(folder);
    };
    for (engine::DataSet* ds : st_.catalogueTables())
        bind(*ds);
    for (engine::DataSet* ds :
         {static_cast<engine::DataSet*>(&st_.TKonfig_i), static_cast<engine::DataSet*>(&st_.TOsoby),
          static_cast<engine::DataSet*>(&st_.TWypozycz),
          static_cast<engine::DataSet*>(&st_.TTowarPomoc)})
        bind(*ds);
}

bool MainController::openCatalogue() {
    QList<engine::DataSet*> wasOpen;
    for (engine::DataSet* ds : st_.catalogueTables())
        if (ds->isOpen()) wasOpen << ds;
    // The item view's lookups, also after a start that found no catalogue to open.
    for (engine::DataSet* lookup : {static_cast<engine::DataSet*>(&st_.TFirma_Prod),
                                    static_cast<engine::DataSet*>(&st_.TFGrupa)})
        if (!wasOpen.contains(lookup)) wasOpen.prepend(lookup);
    std::optional<engine::EngineError> failure;
    {
        ui::BusyCursor busy;
        try {
            openTables(wasOpen);
        } catch (const engine::EngineError& e) {
            failure = e;
        }
    }
    if (failure) {
        // The box comes after the hourglass is gone.
        ui::showError(*failure);
        catalogueFailed(wasOpen);
        return false;
    }
    open_ = OpenCatalogue{st_.CurrentCatalogueFolder, st_.CurrentCatalogueName};
    if (st_.StartupDone) timer_.start();
    return true;
}

void MainController::openTables(const QList<engine::DataSet*>& wasOpen) {
    st_.TOsoby.close();
    st_.TWypozycz.close();
    st_.TTowarPomoc.close();
    for (engine::DataSet* ds : st_.catalogueTables()) {
        ds->close();
        ds->setDatabaseName(st_.CurrentCatalogueFolder);
    }
    for (engine::DataSet* ds :
         {static_cast<engine::DataSet*>(&st_.TKonfig_i), static_cast<engine::DataSet*>(&st_.TOsoby),
          static_cast<engine::DataSet*>(&st_.TWypozycz),
          static_cast<engine::DataSet*>(&st_.TTowarPomoc)})
        ds->setDatabaseName(st_.CurrentCatalogueFolder);
    // The main folder's tables and the order tables stay open: the old engine closed them only to
    // move its network control file, which this engine does not have.
    for (engine::DataSet* ds : wasOpen)
        ds->open();

    st_.resetFilterState();
    st_.TFTowar.setFiltered(false);
    view_.setStatusText({});
    view_.setCommandEnabled(QStringLiteral("Filtr1"), true);
    view_.setCommandEnabled(QStringLiteral("Zapytanie1"), true);
    st_.resetQueryState();

    readDisplayConfig();
    view_.selectSortChoice(0);
    tableMode();
}

void MainController::catalogueFailed(const QList<engine::DataSet*>& wasOpen) {
    const bool back = open_ && open_->folder != st_.CurrentCatalogueFolder;
    if (back) {
        st_.CurrentCatalogueFolder = open_->folder;
        st_.CurrentCatalogueName = open_->name;
    }
    view_.setTitle(title());
    if (back && ui::guarded([&] {
            ui::BusyCursor busy;
            openTables(wasOpen);
        })) {
        emptyCheck();
        if (st_.StartupDone) timer_.start();
        return;
    }
    ui::guarded([this] { noCatalogue(); });
}

void MainController::noCatalogue() {
    timer_.stop();
    open_.reset();
    detailTabs_->closeAll();
    for (engine::DataSet* ds : st_.catalogueTables())
        ds->close();
    st_.TOsoby.close();
    st_.TWypozycz.close();
    st_.TTowarPomoc.close();
    st_.resetFilterState();
    st_.resetQueryState();
    view_.setStatusText({});
    view_.setCounter(0);
    emptyCheck();
}

void MainController::tableMode() {
    items_.tableMode();
}

bool MainController::queryMode() {
    return items_.queryMode();
}

bool MainController::goToRelated(int page) {
    const int nr = detailTabs_->relatedItem(page);
    if (nr == 0) return false;
    ui::BusyCursor busy;
    try {
        if (items_.queryActive()) {
            // Among the query's answers the list stays on the query; otherwise it goes back to
            // the whole catalogue, where the filter commands are open again.
            if (st_.QTowar.isOpen() &&
                st_.QTowar.locate(QStringLiteral("Tow_nr"), QString::number(nr), false, false))
                return true;
            items_.tableMode();
            view_.setCommandEnabled(QStringLiteral("Filtr1"), true);
        }
        auto& items = st_.TFTowar;
        if (!items.isOpen()) return false;
        const QString order = items.indexFieldNames();
        items.setIndexFieldNames(QStringLiteral("Tow_Nr"));
        items.findNearest({nr});
        items.refresh();
        items.setIndexFieldNames(order); // stays on the item found
    } catch (const engine::EngineError& e) {
        ui::showError(e);
        return false;
    }
    return true;
}

void MainController::refresh() {
    items_.refresh();
    if (st_.StartupDone) timer_.start();
}

bool MainController::readDisplayConfig() {
    auto& k = st_.TKonfig_i;
    auto& d = st_.Display;
    d = store::DisplayConfig{};
    DisplayLayout l;
    bool read = true;
    try {
        k.close();
        k.setDatabaseName(st_.CurrentCatalogueFolder);
        k.open();
        if (k.isEmpty()) {
            // A configuration without its row reads as empty captions and every switch off.
            l.toolbar = l.cataloguePanel = l.tabs = false;
        } else {
            auto text = [&](const char* f) { return k.asString(QLatin1String(f)); };
            auto flag = [&](const char* f) { return k.asBoolean(QLatin1String(f)); };
            l.headerName1 = text("Konfig_I_nagl_Nazwa1");
            l.headerName2 = text("Konfig_I_nagl_Nazwa2");
            l.headerSymbol = text("Konfig_I_nagl_Symbol");
            l.headerProducer = text("Konfig_I_nagl_Producent");
            l.headerProducerCode = text("Konfig_I_nagl_Kod_Prod");
            l.toolbar = flag("Konfig_i_Ekr_Narzedzia");
            l.cataloguePanel = flag("Konfig_i_Ekr_Baza");
            l.tabs = flag("Konfig_i_Ekr_Zakladki");
            d.panelBasic = flag("Konfig_I_P_Podstawowy");
            d.panelProducer = flag("Konfig_I_P_Producent");
            d.panelQuantity = flag("Konfig_I_P_Ilosc");
            d.panelPrices = flag("Konfig_I_P_Ceny");
            d.panelVisible = flag("Konfig_I_P_Widoczne");
        }
        k.close();
    } catch (const engine::EngineError& e) {
        // No captions of the catalogue before are left standing; the toolbar and the tabs stay
        // reachable, so that the catalogue can still be worked with or left.
        ui::showError(e);
        read = false;
        l = DisplayLayout{};
        l.panels = false;
        d = store::DisplayConfig{};
    }
    d.headerName1 = l.headerName1;
    d.headerName2 = l.headerName2;
    d.headerSymbol = l.headerSymbol;
    d.headerProducer = l.headerProducer;
    d.headerProducerCode = l.headerProducerCode;
    view_.applyDisplayLayout(l);
    view_.showDetailTab(0);
    return read;
}

void MainController::emptyCheck() {
    st_.CatalogueEmpty = false;
    if (st_.TFTowar.isOpen()) {
        // In query mode the item table holds only the query's current item, and a query that
        // finds nothing must not take away the commands that lead out of it.
        const bool empty = st_.Query.queryActive ? !catalogueHasItems() : st_.TFTowar.isEmpty();
        st_.CatalogueEmpty = empty;
        for (const QString& name : rowCommands())
            view_.setCommandEnabled(name, !empty);
        // A filter in force keeps the query commands off, a query in force the filter's.
        if (!empty && st_.Filter.applied)
            view_.setCommandEnabled(QStringLiteral("Zapytanie1"), false);
        if (!empty && st_.Query.queryActive)
            view_.setCommandEnabled(QStringLiteral("Filtr1"), false);
        view_.setNotesVisible(!empty);
        view_.setCommandEnabled(QStringLiteral("Nowy1"), true);
        view_.showDetailTab(view_.detailTab());
    } else {
        // No catalogue open (it failed to open): nothing to list, add to or search in.
        st_.CatalogueEmpty = true;
        for (const QString& name : rowCommands())
            view_.setCommandEnabled(name, false);
        view_.setCommandEnabled(QStringLiteral("Nowy1"), false);
        view_.setNotesVisible(false);
    }
    if (st_.RightsLevel == 1)
        for (const QString& name : editCommands())
            view_.setCommandEnabled(name, false);
}

bool MainController::catalogueHasItems() {
    engine::Table all(st_.TFTowar.databaseName(), st_.TFTowar.tableName());
    all.open();
    return !all.isEmpty();
}

void MainController::showCounter() {
    if (st_.Query.queryActive) {
        if (st_.QTowar.isOpen()) view_.setCounter(st_.QTowar.recordCount());
    } else if (st_.TFTowar.isOpen()) {
        view_.setCounter(st_.TFTowar.recordCount());
    }
}

void MainController::refreshTick() {
    // A dialog working on the current item must not see the item list move under it.
    if (modalDialogOpen && modalDialogOpen()) return;
    auto& items = st_.TFTowar;
    if (!items.isOpen() || items.state() != engine::Table::State::Browse) return;
    try {
        // Items added or deleted elsewhere may empty the catalogue or fill it.
        if (items.refreshIfChanged() && st_.CatalogueEmpty != items.isEmpty()) emptyCheck();
    } catch (const engine::EngineError& e) {
        // One box, not one every few seconds: the re-read resumes when a catalogue is opened.
        timer_.stop();
        ui::showError(e);
    }
}

void MainController::deleteCurrentItem(const QString& question) {
    items_.deleteItem(question);
}

bool MainController::confirmExit() {
    if (!ui::messages().question(QStringLiteral("Zakończyć pracę z programem ?"))) return false;
    if (closeOpenOrder && !closeOpenOrder()) return false;
    auto& settings = st_.TPelk;
    const bool readable = ui::guarded([&] {
        if (settings.databaseName().isEmpty()) return;
        if (!settings.isOpen())
            settings.open();
        else
            settings.refreshIfChanged(); // the preferences may have been changed elsewhere
    });
    if (readable && settings.isOpen() && settings.asBoolean(QStringLiteral("Pelk_Kopia_Wykonuj")) &&
        ui::messages().question(QStringLiteral("Wykonać teraz kopię zapasową ?")))
        startBackup();
    return true;
}

void MainController::startBackup() {
    auto& settings = st_.TPelk;
    // Handed over whole: a long command line is not cut.
    const platform::LaunchResult r = platform::launcher().startProgram(
        settings.asString(QStringLiteral("Pelk_Kopia_Aplikacja")),
        settings.asString(QStringLiteral("Pelk_Kopia_Polecenie")));
    if (!r.started()) {
        // Whatever kept the program from starting, no backup was made, so its date stays.
        ui::messages().information(QStringLiteral(
            "Polecenie wykonane nieprawodłowo. Kopia zapasowa nie została wykonana !"));
        return;
    }
    try {
        settings.edit();
        settings.setValue(QStringLiteral("Pelk_Kopia_Data"), platform::today());
        settings.post();
    } catch (const engine::EngineError& e) {
        if (settings.state() != engine::Table::State::Browse) settings.cancel();
        ui::showError(e);
    }
}

void MainController::closing() {
    timer_.stop();
    if (!st_.StartupDone) return; // nobody worked in any catalogue
    ui::guarded([this] {
        auto& users = st_.TUsers;
        users.close();
        users.setDatabaseName(st_.MainFolder);
        users.open();
        if (users.findKey({st_.CurrentUserNr})) {
            users.edit();
            users.setValue(QStringLiteral("User_Baza_Sciezka"),
                           store::storedFolder(st_.CurrentCatalogueFolder, st_.MainFolder));
            users.post();
        }
        users.close();
        st_.TPelk.close();
    });
}

void MainController::wizardAgain() {
    // Every other way in is closed too, but the command itself decides: it replaces the users.
    if (!runWizard || !mayAdminister()) return;
    engine::Table* mainTables[] = {&st_.TPelk, &st_.TUsers, &st_.TBazy, &st_.Tskojarz};
    QList<engine::Table*> wasOpen;
    for (engine::Table* t : mainTables)
        if (t->isOpen()) {
            wasOpen << t;
            t->close();
        }
    const bool finished = runWizard();
    ui::guarded([&] {
        for (engine::Table* t : std::as_const(wasOpen))
            t->open();
        if (!finished) return;
        if (st_.TPelk.isOpen())
            st_.HomeCurrencyNr = st_.TPelk.asInteger(QStringLiteral("Pelk_Waluta_Nr"));
        if (st_.TBazy.isOpen()) view_.setFavourites(favouriteFolders(st_));
        // The wizard may have made the open catalogue anew.
        if (st_.StartupDone) {
            openCatalogue();
            emptyCheck();
        }
    });
}

} // namespace shell
