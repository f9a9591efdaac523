#pragma once
#include "shell/itemlist.h"
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace store {
class MainState;
}
namespace platform {
class WorkTables;
}
namespace engine {
class DataSet;
}

namespace shell {

class DetailTabs;

// The headers, panel switches and shown parts of the main window as the display configuration of
// the current catalogue sets them.
struct DisplayLayout {
    QString headerName1, headerName2, headerSymbol, headerProducer, headerProducerCode;
    bool toolbar = true;         // Panel_Narzedzi
    bool cataloguePanel = false; // Panel_Biezaca_Baza with the favourites box
    bool tabs = true;            // Panel_Zakladki with the detail notebook
    bool panels = true;          // false: the three panels keep their heights
};

// The toolbar buttons that are a menu item's command: (button, menu item). The window makes each
// pair one QAction; either name enables, disables and runs it.
const QList<std::pair<QString, QString>>& sharedCommands();

// The item grid's calculated column, quantity with unit ("12,5 szt"), on a data set of item rows
// (the item table, the query, the narrowed list); the data set must be closed.
void addQuantityWithUnit(engine::DataSet& ds, QObject* context);

// What the main window's logic asks of the window. The form implements it; everything behind
// these calls (which commands, when, in what order) is decided by MainController.
class MainView {
public:
    virtual ~MainView();

    // Menu items, toolbar buttons and other buttons by their names ("Nowy1", "SpeedButton6"); a
    // menu item and its toolbar button (sharedCommands) are one command.
    virtual void setCommandEnabled(const QString& name, bool enabled) = 0;
    virtual bool isCommandEnabled(const QString& name) const = 0;
    virtual void setNotesVisible(bool visible) = 0; // DBMemo_Uwagi
    virtual void setTitle(const QString& title) = 0;
    virtual void setCounter(int rows) = 0;                      // Label_Licznik
    virtual void setStatusText(const QString& text) = 0;        // Label_Status
    virtual void setFavourites(const QStringList& folders) = 0; // Ulubione
    virtual void applyDisplayLayout(const DisplayLayout& layout) = 0;
    virtual int detailTab() const = 0;
    virtual void showDetailTab(int index) = 0;
    virtual void selectSortChoice(int index) = 0; // Wyswietlaj_wg, without re-sorting
    virtual int sortChoice() const = 0;           // Wyswietlaj_wg's index
    virtual void showItemTable() = 0;             // the item grid shows TFTowar
    virtual void showItemQuery() = 0;             // the item grid shows QTowar
    // Edit_Szukaj_Towar. Setting the text is a change like typing: the search runs unless the
    // controller suppresses it.
    virtual QString searchText() const = 0;
    virtual void setSearchText(const QString& text) = 0;
    virtual void focusSearchField() = 0;            // the caret after the text
    virtual void setPriceGridBound(bool bound) = 0; // DBGrid_Cena shows TCeny or nothing
    virtual void setStartSize() = 0;                // 640 x 482 before maximising
    virtual void maximise() = 0;
    virtual void focusItemGrid() = 0;
};

// The main window's logic below the widgets: start-up, opening catalogues, the empty check, the
// periodic re-read, exit with the backup and the last catalogue. Works on the main window state
// and the seams (messages, modal runner, shell launcher, clock), so tests drive it without a
// screen.
class MainController : public QObject {
    Q_OBJECT
public:
    enum class StartOutcome {
        Running,    // the window goes on (possibly after an error already shown)
        NoSettings, // the main folder holds no settings table: the program ends
        Abandoned,  // the login was cancelled or failed: the program ends
    };

    static constexpr int kRefreshIntervalMs = 3000;

    MainController(store::MainState& state, MainView& view, QObject* parent = nullptr);
    ~MainController() override;

    store::MainState& state() { return st_; }

    // The main window's creation: folders, settings, login or the default catalogue, and the
    // first look of the window.
    StartOutcome start(const QString& mainFolder);

    // The login dialog; sets StartupDone, the rights, the user and the catalogue and opens it.
    // Without one a folder whose settings ask for a login cannot be used.
    std::function<void()> runLogin;
    // Called once, before the first dialog of the start (the wizard or the login) shows: the
    // splash screen goes then, so that it does not stand over them.
    std::function<void()> beforeStartDialog;
    // The first-run wizard, modal; true when it finished and left the main folder's settings
    // behind. At start without settings: the program goes on when it made them and ends
    // otherwise. Without one such a start only says what is missing.
    std::function<bool()> runWizard;
    // The wizard once more from the main window (Kreatortest1Click): the main folder's tables
    // are let go while it replaces them and opened again afterwards. It replaces the users, so
    // only an administrator may run it (mayAdminister); for anyone else nothing happens.
    void wizardAgain();
    // The users and the main folder's setting up: an administrator with full rights, which is
    // everyone while the program runs without login.
    bool mayAdminister() const;
    // Making new catalogues ("Nowa baza..."): not for a user who may only browse.
    bool mayCreateCatalogues() const;
    // The item editor, modal, in the mode ItemEditMode hands it, on TFTowar's current row.
    // Until it exists the item commands only hand over the mode.
    std::function<void()> runItemEditor;
    // The open order's closing rules, run after Yes to the exit question; false stops the exit.
    std::function<bool()> closeOpenOrder;

    // The item list: modes, sort, search, keys and the item commands.
    ItemList& items() { return items_; }
    // The detail notebook under the item list.
    DetailTabs& detailTabs() { return *detailTabs_; }

    // Each time the window becomes active.
    void activate();
    // Re-binds the catalogue tables to CurrentCatalogueFolder (already changed by the caller) and
    // resets the item list. When the catalogue cannot be opened the error is shown and the
    // catalogue open before is opened again as it was; when that fails too, no catalogue is open
    // and no command that needs one is offered. False when the catalogue asked for did not open.
    bool openCatalogue();
    // CatalogueEmpty and the commands that need a current item.
    void emptyCheck();
    // Reads the current catalogue's display configuration into the state and the window. A
    // configuration that cannot be read is reported in the error box and reads as empty
    // captions; the panels stay as they are. False then.
    bool readDisplayConfig();
    // The item grid back on the item table, in name order, on the first row.
    void tableMode();
    // The item grid on the query whose lines QTowar holds; false (and table mode) when the
    // engine rejects them.
    bool queryMode();
    // The item table and the query read again (Odwie1Click).
    void refresh();
    // The go-to commands: the item list moves to the item that the current row of the relation
    // page `page` names (DetailTabs::relatedItem), leaving the query for the whole catalogue when
    // the query shows the list. False when there is nothing to go to.
    bool goToRelated(int page);
    // Label_Licznik: the rows of the list shown, the query's in query mode.
    void showCounter();
    // Binds every catalogue table (closed) to CurrentCatalogueFolder.
    void bindCatalogueTables();

    // One tick of the periodic re-read. Does nothing while a modal dialog is open.
    void refreshTick();
    QTimer& refreshTimer() { return timer_; }
    // Whether a modal dialog is open; replaceable for tests of the logic alone.
    std::function<bool()> modalDialogOpen;

    // Exit: the question, then the backup. False keeps the window open.
    bool confirmExit();
    // The window closes: the user's last catalogue is remembered, the main tables closed.
    void closing();

    // Deleting the current item after the question; `question` is the command's own wording.
    void deleteCurrentItem(const QString& question);

    QString title() const;
    QString expandFolder(const QString& folder) const;
    platform::WorkTables* workTables() { return workTables_.get(); }

    static const QStringList& rowCommands();  // disabled on an empty catalogue
    static const QStringList& editCommands(); // disabled for a read-only user

private:
    struct OpenCatalogue {
        QString folder, name;
    };
    void openTables(const QList<engine::DataSet*>& wasOpen);
    void catalogueFailed(const QList<engine::DataSet*>& wasOpen);
    void noCatalogue();
    void readProgramSettings(const QString& main);
    QString defaultCatalogue(const QString& main);
    bool loginUser();
    void startDialog();
    void openAlone();
    void showStartedCatalogue();
    void applyRights();
    bool catalogueHasItems();
    void startBackup();

    store::MainState& st_;
    MainView& view_;
    QTimer timer_;
    std::unique_ptr<platform::WorkTables> workTables_;
    ItemList items_;
    std::unique_ptr<DetailTabs> detailTabs_;
    // The catalogue whose tables are open, to go back to when opening another one fails.
    std::optional<OpenCatalogue> open_;
};

} // namespace shell
