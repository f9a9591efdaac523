#pragma once
#include "orders/orderhost.h"
#include "shell/maincontroller.h"
#include "store/mainstate.h"
#include "ui/errorbox.h"
#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

namespace Ui {
class TForm_Pelk;
}
class QAbstractButton;
class QAction;
class QPrinter;

namespace orders {
class TEkr_Otworz_Zamowienie;
}
namespace offers {
class TEkr_Oferty_Spis;
class TMainForm;
enum class InsertCommand;
} // namespace offers
class QTextDocument;
class QTextEdit;

namespace shell {

class NarrowSearch;
class ProgramHelpWindow;
class TEkr_Otworz_z_listy;

// The main window: the item list over the detail notebook, the menus and the toolbar. It owns the
// main window state (with the table objects) that every other screen is handed. Its logic lives
// in MainController; this class places the controls and passes commands on.
class TForm_Pelk : public QMainWindow, public MainView, public orders::OrderHost {
    Q_OBJECT
public:
    explicit TForm_Pelk(QWidget* parent = nullptr);
    ~TForm_Pelk() override;

    store::MainState& state() { return state_; }
    MainController& controller() { return *controller_; }
    Ui::TForm_Pelk& form() { return *ui_; }

    // The window's creation steps; the caller shows the window only when this says Running.
    MainController::StartOutcome start(const QString& mainFolder);

    // --- MainView ---
    void setCommandEnabled(const QString& name, bool enabled) override;
    bool isCommandEnabled(const QString& name) const override;
    void setNotesVisible(bool visible) override;
    void setTitle(const QString& title) override;
    void setCounter(int rows) override;
    void setStatusText(const QString& text) override;
    void setFavourites(const QStringList& folders) override;
    void applyDisplayLayout(const DisplayLayout& layout) override;
    int detailTab() const override;
    void showDetailTab(int index) override;
    void selectSortChoice(int index) override;
    int sortChoice() const override;
    void showItemTable() override;
    void showItemQuery() override;
    QString searchText() const override;
    void setSearchText(const QString& text) override;
    void focusSearchField() override;
    void setPriceGridBound(bool bound) override;
    void setStartSize() override;
    void maximise() override;
    void focusItemGrid() override;

    // --- OrderHost: the document tab and the order commands (E_Glowny_orders.cpp) ---
    void orderOpened(bool open) override;
    void orderShownOnTab(bool onTab) override;
    void orderLinesChanged(bool anyLine) override;
    engine::DataSet* orderItemList() override;

public Q_SLOTS:
    // Operations other screens call.
    void OTWIERANIE_NOWYCH_BAZ();
    void Czy_Baza_Pusta();
    void Odczytaj_Konfig_I();
    void BB_TableClick();
    void BB_SQLClick();
    void Timer1Timer();
    void FormResize();

    // Commands.
    void BB_KoniecClick();
    void BB_NowyClick();
    void BB_EdycjaClick();
    void BB_KlonujClick();
    void BB_Dok_UsunClick();
    void Usu1Click();
    void BB_FiltrClick();
    void BB_ZapytanieClick();
    void Odwie1Click();
    void Drukuj1Click();
    void BB_PodgladClick();
    // The item list's printout (E_Glowny_print.cpp): printer, preview, PDF file.
    void Drukuj2Click();
    void SpeedButton2Click();
    void ZapiszPDF1Click();
    // The item list as a CSV file, and its selected rows to the clipboard (E_Glowny_export.cpp).
    void EksportujListe1Click();
    void copyItemRows();
    void Oprogramie1Click();
    void Tematy1Click();
    void Aktualneinformacje1Click();
    void BDefaultClick();
    void UlubioneChange();
    // Catalogues: the folder picker in its modes, the list of known catalogues, favourites.
    void BazaClick();
    void N1Click();
    void Nowabaza1Click();
    void Usubaz1Click();
    void Zachowajjako1Click();
    void SpeedButton4Click();
    void Dodajdoulubionych1Click();
    void Porzdkuj1Click();
    // A catalogue kept as Paradox tables imported into a new folder (E_Glowny_import.cpp).
    void Importujkatalog1Click();
    void Oglne1Click();
    void Kreatortest1Click();
    void Notatki1Click();

    // The detail notebook: go-to commands and the column widths from the display configuration.
    void BB_Wchodzi_do_idz_doClick();
    void BB_Sklada_sie_idz_doClick();
    void BB_Zamiennika_idz_doClick();
    void BB_idz_doClick(); // by the page shown
    void BB_Odswiez_GridyClick();

    // The item list.
    void Wyswietlaj_wgChange();
    void Edit_Szukaj_TowarChange();
    void DBGrid_TowaryDblClick();

    // Offers: the offer list, the editor, and the offers page's document pane.
    void Oferty1Click();
    void BB_Oferta_wroc_do_dokumentuClick();
    offers::TMainForm& offerEditor();
    offers::TEkr_Oferty_Spis& offerList();

    // The preferences dialog (E_Glowny_preferences.cpp).
    void Konfiguracja2Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The pages' controls follow the notebook's width `n` (FormResize).
    void placeDetailGrids(int n, int gridHeight);
    void placeDrawingsPage(int n, int gridHeight);
    void placePricesPage(int n, int pageHeight, int gridHeight);
    void placeDocumentPages(int n, int pageHeight, int gridHeight);
    // Installed on the application: keys typed anywhere in this window reach it first.
    class KeyPreview : public QObject {
    public:
        explicit KeyPreview(TForm_Pelk* form) : QObject(form), form_(form) {}
        bool eventFilter(QObject* watched, QEvent* event) override;

    private:
        TForm_Pelk* form_;
    };

    // `fn` as a slot run under the ui kit's guard: an engine error ends the command in the error
    // box and never unwinds through Qt.
    template <class F> static auto guard(F fn) {
        return [fn = std::move(fn)] { ui::guarded(fn); };
    }
    void command(QAction* action, void (TForm_Pelk::*slot)());
    void command(QAbstractButton* button, void (TForm_Pelk::*slot)());

    void setUpGrids();
    // The toolbar's groups, icons and captions (E_Glowny_toolbar.cpp).
    void setUpToolbar();
    void setToolbarTextUnder(bool under);
    // Shortcuts and the Tab order (E_Glowny_keys.cpp).
    void setUpKeys();
    void setUpMoneyColumns();
    // A menu item and its toolbar button are one QAction; every command is found by either name.
    void shareToolbarCommands();
    void registerCommands();
    void connectCommands();
    // The login and the first-run wizard.
    void connectStartScreens();
    void connectScreens(); // the commands that open another screen
    // The order list and the menu entries that show it.
    void connectOrderList();
    void connectDetailEditors();
    // A detail page's editor for the current item, as the page's double-click opens it; false
    // when it did not open (empty catalogue, rights).
    bool editDetail(int page);
    void connectDetailTabs(); // the pages' own controls: pictures, notes, go-to, loans, prices
    void showPicture();       // DBImage: the current drawing of the drawings page
    bool notesEvent(QEvent* event);
    void connectCatalogueCommands();
    void connectImportCommand();
    void connectOrderCommands();
    // The order grid of the document tab is shown (an order is open and shown on the tab).
    bool orderGridShown() const;
    // Enter's order branches: true when Enter went to the open order.
    bool orderEnter();
    void addOrderLine();    // from the current item of the item list
    void previewOrder();    // the open order's printout to the preview
    enum class ListOutput { Printer, Preview, Pdf };
    void connectPrintCommands();
    // Sortable headers, export and copy of the item list (E_Glowny_export.cpp).
    void connectListCommands();
    void sortHeaderClicked(int column);
    void showSortArrow();
    void printItemList(ListOutput output);
    void catalogueChosen(); // CurrentCatalogueFolder names another catalogue: open it
    bool filterEvent(QObject* watched, QEvent* event);
    bool handlePreviewKey(QKeyEvent* key);
    bool searchFieldEvent(QEvent* event);
    bool itemGridKey(QKeyEvent* key);
    QObject* commandObject(const QString& name) const;
    void connectOffers();
    void connectPreferences();
    // What the preferences saved, taken by the window at once; `display`: the display
    // configuration too.
    void preferencesSaved(bool display);
    void moveTextToPane();
    void offersMenus(bool shown); // PopupMenu1 and Menu_Raporty_Oferty for the offer list
    bool paneMayBeReplaced();     // the pane's changed text offered for saving
    // The remembered layout (E_Glowny_layout.cpp): the window and the dialogs at start, and the
    // item list's columns, order, current item and detail page with each catalogue. Written at
    // exit; a failure to write never keeps the window open.
    void setUpLayout();
    void restoreLayout();
    void restoreCatalogueLayout();
    void rememberCatalogueLayout(); // of the catalogue on screen, before another one opens
    void saveLayout();
    // A shown column's width in the item grid: the user's own where there is one.
    int rememberedItemWidth(const QString& field, int nominal) const;
    // The insert commands (E_Glowny_compose.cpp), into the offer editor's text while the editor
    // is shown, else into the document pane.
    void connectCompose();
    QTextEdit* composeTarget() const;
    void insertIntoDocument(offers::InsertCommand command);
    void insertListedItems(QTextDocument& doc);

    std::unique_ptr<Ui::TForm_Pelk> ui_;
    store::MainState state_;
    std::unique_ptr<MainController> controller_;
    // Each command by its names: a QAction (also for its toolbar button), a menu's action, or a
    // button that has no menu item. Made once, before any dialog of this window has controls of
    // the same names.
    QHash<QString, QObject*> commands_;
    std::unique_ptr<ProgramHelpWindow> help_;
    std::unique_ptr<QPrinter> printer_;
    class QMenu* popupMenu_ = nullptr; // PopupMenu1: the insert commands of the offers page
    // The open-from-list dialog: made on first use, kept while the window lives.
    TEkr_Otworz_z_listy* fromList_ = nullptr;
    // The order list: made with the window, shown and hidden for the whole run.
    orders::TEkr_Otworz_Zamowienie* orderList_ = nullptr;
    // Made on first use, kept while the window lives.
    offers::TMainForm* offerEditor_ = nullptr;
    offers::TEkr_Oferty_Spis* offerList_ = nullptr;
    QString paneFileName_; // the file the text on the document pane belongs to
    class WindowLayout;
    WindowLayout* layout_ = nullptr; // a child of the window
    // The program, not the user, is setting the item grid's column widths.
    bool itemWidthsByProgram_ = false;

    // The "zawiera" switch beside the search field and its search (E_Glowny_narrow.cpp).
    void setUpNarrowSearch();
    void restoreNarrowSwitch(); // as this user left it
    bool narrowSearchTyped();   // true when the narrowing search took the field's change
    bool narrowFieldEvent(QEvent* event);
    NarrowSearch* narrow_ = nullptr;

public:
    NarrowSearch& narrowSearch() { return *narrow_; }
};

// The maker's web page, opened by "Aktualne informacje".
extern const QString kMakerAddress;

} // namespace shell
