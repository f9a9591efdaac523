#include "shell/E_Glowny.h"
#include "engine/error.h"
#include "items/Ak_towar.h"
#include "offers/REMain.h"
#include "platform/launcher.h"
#include "platform/printers.h"
#include "shell/E_About.h"
#include "shell/detailtabs.h"
#include "shell/helpwindow.h"
#include "ui/help.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"
#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QToolButton>

namespace shell {

const QString kMakerAddress = QStringLiteral("https://www.example.pl/pelk/");

namespace {

// Controls that start hidden: the order toolbar and the document tab's grid wait for an open
// order, the offers page's pane for a text moved there, the default button is never seen.
const char* const kHiddenAtStart[] = {"SpeedButton_Dok_Dodaj",
                                      "SpeedButton_Dok_Edycja",
                                      "SpeedButton_Dok_Usun",
                                      "BDefault",
                                      "DBGrid_Dokument",
                                      "BB_Dok_Dodaj",
                                      "BB_Dok_Wstaw",
                                      "BB_Dok_Edycja",
                                      "BB_Dok_Usun",
                                      "BB_Dok_Wydruk",
                                      "BB_Podglad",
                                      "BB_Dok_Ludzik",
                                      "BB_Dok_Do_Zakladki",
                                      "Panel_Oferty"};

// The item grid's columns: field, designed title, width.
struct ColumnDesign {
    const char* field;
    const char* title;
    int width;
};
const ColumnDesign kItemColumns[] = {
    {"Tow_Nazwa", "Nazwa 1", 330},     {"Tow_Nazwa2", "Nazwa 2", 330},
    {"Tow_Symbol", "Symbol ", 130},    {"Tow_kod_prod", "Kod prod.", 130},
    {"Tow_SRP", "Cena sprzedaży", 80}, {"Tow_Cena_A", "Cena A", 80},
    {"Tow_Cena_B", "Cena B", 80},      {"Tow_Cena_C", "Cena C", 80},
    {"Calc_Ilosc_jm", "Ilość", 50}};

// Goes-into and consists-of grids differ only in two field names of the related item.
QList<ColumnDesign> relationColumns(const char* name2, const char* price) {
    return {{"Pomoc_Tow_Nazwa", "Nazwa 1", 330}, {name2, "Nazwa 2", 330},
            {"Pomoc_Tow_Symbol", "Symbol", 130}, {"Pomoc_Tow_Symbol_Prod", "Kod prod.", 130},
            {"Sklada_il_szt", "Ilość", 50},      {price, "Cena sprzedaży", 80},
            {"Pomoc_Tow_Cena_A", "Cena A", 80},  {"Pomoc_Tow_Cena_B", "Cena B", 80},
            {"Pomoc_Tow_Cena_C", "Cena C", 80}};
}
const ColumnDesign kSubstituteColumns[] = {
    {"Zam_Tow_Nazwa", "Nazwa 1", 330},       {"Pomoc_Tow_Nazwa2", "Nazwa 2", 330},
    {"Zam_Tow_Symbol", "Symbol", 130},       {"Zam_Tow_Kod_Prod", "Kod prod.", 130},
    {"Pomoc_Tow_SRP", "Cena sprzedaży", 80}, {"Pomoc_Tow_Cena_A", "Cena A", 80},
    {"Pomoc_Tow_Cena_B", "Cena B", 80},      {"Pomoc_Tow_Cena_C", "Cena C", 80}};

template <class Columns> void addColumns(ui::DbGrid* grid, const Columns& columns) {
    for (const ColumnDesign& c : columns)
        grid->addColumn(QLatin1String(c.field), QString::fromUtf8(c.title), c.width);
}

} // namespace

TForm_Pelk::TForm_Pelk(QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm_Pelk>()) {
    ui_->setupUi(this);
    ui::setHelpContext(this, 100);
    help_ = std::make_unique<ProgramHelpWindow>(this);
    controller_ = std::make_unique<MainController>(state_, *this);
    controller_->runItemEditor = [this] {
        items::TEkr_Aktualizacja_Towar editor(state_, this);
        ui::modalRunner().run(editor);
    };
    ui_->Menu_Raporty_Oferty->menuAction()->setVisible(false);
    for (const char* name : kHiddenAtStart)
        findChild<QWidget*>(QLatin1String(name))->hide();
    popupMenu_ = new QMenu(this);
    popupMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    for (QAction* a : {ui_->Wstawnagwek1, ui_->Wstawstopk1, ui_->Wstawfirm1, ui_->Wstawobiekt1,
                       ui_->Wstawdanezbiecejzakadki1, ui_->Wstawwchodzido1, ui_->Wstawskadasi1,
                       ui_->Wstawzamienniki1, ui_->Wstawnotatki1, ui_->Wstawcenyzakupu1})
        popupMenu_->addAction(a);
    setUpGrids();
    setUpLayout();
    shareToolbarCommands();
    setUpToolbar();
    setUpKeys();
    registerCommands();
    connectCommands();
    connectStartScreens();
    connectOffers();
    connectCompose();
    setUpNarrowSearch();
    ui_->Edit_Szukaj_Towar->installEventFilter(this);
    ui_->DBGrid_Towary->installEventFilter(this);
    // Pages are laid out when the notebook has placed them, i.e. on their own resize.
    for (int i = 0; i < ui_->TNotebook->count(); ++i)
        ui_->TNotebook->widget(i)->installEventFilter(this);
    connect(ui_->TNotebook, &QTabWidget::currentChanged, this, &TForm_Pelk::FormResize);
    connect(ui_->TNotebook, &QTabWidget::currentChanged, this, [this](int page) {
        ui::guarded([this, page] { controller_->detailTabs().tabChanged(page); });
    });
    qApp->installEventFilter(new KeyPreview(this)); // the window sees keys before its controls
}

TForm_Pelk::~TForm_Pelk() {
    // The grids must let go of the table objects before the state goes.
    for (ui::DbGrid* g : findChildren<ui::DbGrid*>())
        g->setDataSet(nullptr);
}

void TForm_Pelk::setUpGrids() {
    auto& s = state_;
    addColumns(ui_->DBGrid_Towary, kItemColumns);
    ui_->DBGrid_Towary->setDataSet(&s.TFTowar);
    addColumns(ui_->DBGrid_Wchodzi, relationColumns("Pomoc_Towar_Nazwa2", "Pomoc_SRP"));
    ui_->DBGrid_Wchodzi->setDataSet(&s.TWchodzi);
    addColumns(ui_->DBGrid_Sklada, relationColumns("Pomoc_Tow_Nazwa2", "Pomoc_Tow_SRP"));
    ui_->DBGrid_Sklada->setDataSet(&s.TSklada);
    addColumns(ui_->DBGrid_Zamienniki, kSubstituteColumns);
    ui_->DBGrid_Zamienniki->setDataSet(&s.TZamienniki);
    ui_->DBGrid_Wlasnosci->addColumn(QStringLiteral("Nowa_Cecha"), QStringLiteral("Własność"), 150);
    ui_->DBGrid_Wlasnosci->addColumn(QStringLiteral("Opis_Opis"), QStringLiteral("Wartość"), 380);
    ui_->DBGrid_Wlasnosci->setDataSet(&s.TOpis);
    ui_->DBGrid_Rysunek->setDataSet(&s.TGrafika);

    ui_->DBText_Grupa->setDataSet(&s.TFGrupa);
    ui_->DBText_Grupa->setField(QStringLiteral("Grupa_Nazwa"));
    ui_->DBText_Producent->setDataSet(&s.TFirma_Prod);
    ui_->DBText_Producent->setField(QStringLiteral("Firma_Skrot"));
    ui_->DBText_Nazwa1->setDataSet(&s.TFTowar);
    ui_->DBText_Nazwa1->setField(QStringLiteral("Tow_Nazwa"));
    ui_->DBText_Nazwa2->setDataSet(&s.TFTowar);
    ui_->DBText_Nazwa2->setField(QStringLiteral("Tow_Nazwa2"));
    ui_->DBText_Symbol_Prod->setDataSet(&s.TFTowar);
    ui_->DBText_Symbol_Prod->setField(QStringLiteral("Tow_Kod_Prod"));
    ui_->DBText_SRP->setDataSet(&s.TFTowar);
    ui_->DBText_SRP->setField(QStringLiteral("Tow_SRP"));
    ui_->DBText_SRP->setMoney(true);
    setUpMoneyColumns();
    ui_->DBMemo_Uwagi->setDataSet(&s.TFTowar);
    ui_->DBMemo_Uwagi->setField(QStringLiteral("Tow_Uwagi"));
}

void TForm_Pelk::command(QAction* action, void (TForm_Pelk::*slot)()) {
    connect(action, &QAction::triggered, this, guard([this, slot] { (this->*slot)(); }));
}

void TForm_Pelk::command(QAbstractButton* button, void (TForm_Pelk::*slot)()) {
    connect(button, &QAbstractButton::clicked, this, guard([this, slot] { (this->*slot)(); }));
}

void TForm_Pelk::shareToolbarCommands() {
    for (const auto& [button, action] : sharedCommands()) {
        auto* b = findChild<QToolButton*>(button);
        auto* a = findChild<QAction*>(action);
        Q_ASSERT(b && a);
        if (b && a) b->setDefaultAction(a); // its caption, hint and enabled state from then on
    }
}

void TForm_Pelk::registerCommands() {
    for (QAction* a : findChildren<QAction*>())
        if (!a->objectName().isEmpty()) commands_.insert(a->objectName(), a);
    for (QMenu* m : findChildren<QMenu*>())
        if (!m->objectName().isEmpty()) commands_.insert(m->objectName(), m->menuAction());
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        if (b->objectName().isEmpty()) continue;
        auto* tool = qobject_cast<QToolButton*>(b);
        QObject* command = b;
        if (tool && tool->defaultAction()) command = tool->defaultAction();
        commands_.insert(b->objectName(), command);
    }
}

void TForm_Pelk::connectCommands() {
    command(ui_->Koniec1, &TForm_Pelk::BB_KoniecClick);
    command(ui_->Nowy1, &TForm_Pelk::BB_NowyClick);
    command(ui_->Klonuj1, &TForm_Pelk::BB_KlonujClick);
    command(ui_->Edycja2, &TForm_Pelk::BB_EdycjaClick);
    // The toolbar's delete asks in its own words, so it is a command of its own.
    command(ui_->SpeedButton9, &TForm_Pelk::BB_Dok_UsunClick);
    command(ui_->Usu1, &TForm_Pelk::Usu1Click);
    command(ui_->Filtr1, &TForm_Pelk::BB_FiltrClick);
    command(ui_->Zapytanie1, &TForm_Pelk::BB_ZapytanieClick);
    command(ui_->Odwie1, &TForm_Pelk::Odwie1Click);
    command(ui_->Drukuj1, &TForm_Pelk::Drukuj1Click);
    command(ui_->BB_Podglad, &TForm_Pelk::BB_PodgladClick);
    command(ui_->Oprogramie1, &TForm_Pelk::Oprogramie1Click);
    command(ui_->Tematy1, &TForm_Pelk::Tematy1Click);
    command(ui_->Aktualneinformacje1, &TForm_Pelk::Aktualneinformacje1Click);
    command(ui_->BDefault, &TForm_Pelk::BDefaultClick);
    command(ui_->Oglne1, &TForm_Pelk::Oglne1Click);
    command(ui_->Notatki1, &TForm_Pelk::Notatki1Click);
    const std::pair<QAction*, int> tabs[] = {
        {ui_->Poka1, 1},  {ui_->Poka2, 2},      {ui_->Poka3, 3},     {ui_->Poka4, 4},
        {ui_->Poka5, 5},  {ui_->Poka6, 7},      {ui_->Dokument1, 8}, {ui_->Oferty2, 9},
        {ui_->Poka7, 10}, {ui_->Ustawienia, 10}};
    for (const auto& [action, tab] : tabs)
        connect(action, &QAction::triggered, this,
                guard([this, index = tab] { showDetailTab(index); }));
    connect(ui_->Ulubione, &QComboBox::activated, this, guard([this] { UlubioneChange(); }));
    connect(ui_->DBGrid_Towary, &ui::DbGrid::rowDoubleClicked, this,
            guard([this] { DBGrid_TowaryDblClick(); }));
    connect(ui_->Wyswietlaj_wg, &QComboBox::currentIndexChanged, this,
            guard([this] { Wyswietlaj_wgChange(); }));
    connect(ui_->Edit_Szukaj_Towar, &QLineEdit::textChanged, this,
            guard([this] { Edit_Szukaj_TowarChange(); }));
    connectScreens();
    connectOrderList();
    connectDetailEditors();
    connectDetailTabs();
    connectCatalogueCommands();
    connectOrderCommands();
    connectPrintCommands();
    connectListCommands();
    connectPreferences();
}

MainController::StartOutcome TForm_Pelk::start(const QString& mainFolder) {
    const MainController::StartOutcome outcome = controller_->start(mainFolder);
    if (outcome == MainController::StartOutcome::Running) {
        restoreLayout();
        restoreNarrowSwitch();
    }
    return outcome;
}

// --- MainView ---------------------------------------------------------------------------------

QObject* TForm_Pelk::commandObject(const QString& name) const {
    return commands_.value(name);
}

void TForm_Pelk::setCommandEnabled(const QString& name, bool enabled) {
    QObject* o = commandObject(name);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setEnabled(enabled);
    else if (auto* w = qobject_cast<QWidget*>(o))
        w->setEnabled(enabled);
}

bool TForm_Pelk::isCommandEnabled(const QString& name) const {
    QObject* o = commandObject(name);
    if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
    if (auto* w = qobject_cast<QWidget*>(o)) return w->isEnabled();
    return false;
}

void TForm_Pelk::setNotesVisible(bool visible) {
    ui_->DBMemo_Uwagi->setVisible(visible);
}

void TForm_Pelk::setTitle(const QString& title) {
    setWindowTitle(title);
}

void TForm_Pelk::setCounter(int rows) {
    ui_->Label_Licznik->setText(QString::number(rows));
}

void TForm_Pelk::setStatusText(const QString& text) {
    ui_->Label_Status->setText(text);
}

void TForm_Pelk::setFavourites(const QStringList& folders) {
    QSignalBlocker block(ui_->Ulubione);
    ui_->Ulubione->clear();
    ui_->Ulubione->addItems(folders);
    ui_->Ulubione->setCurrentIndex(-1);
}

void TForm_Pelk::applyDisplayLayout(const DisplayLayout& l) {
    ui_->Label_Nazwa1->setText(l.headerName1);
    ui_->LabelNazwa2->setText(l.headerName2);
    ui_->Label_Producent->setText(l.headerProducer);
    ui_->Label_Symbol_Prod->setText(l.headerProducerCode);
    {
        QSignalBlocker block(ui_->Wyswietlaj_wg);
        ui_->Wyswietlaj_wg->clear();
        ui_->Wyswietlaj_wg->addItems(
            {l.headerName1, l.headerName2, l.headerSymbol, l.headerProducerCode});
    }
    auto setHeight = [](QWidget* panel, bool shown, int height) {
        panel->setFixedHeight(shown ? height : 0);
        panel->setVisible(shown);
    };
    if (l.panels) {
        // The toolbar and the catalogue bar are as high as their contents, in any font.
        ui_->Panel_Narzedzi->setVisible(l.toolbar);
        ui_->Panel_Biezaca_Baza->setVisible(l.cataloguePanel);
        setHeight(ui_->Panel_Zakladki, l.tabs, 170);
    }

    auto titles = [&](ui::DbGrid* grid, const QStringList& fields) {
        const QString headers[] = {l.headerName1, l.headerName2, l.headerSymbol,
                                   l.headerProducerCode};
        for (int i = 0; i < 4; ++i)
            grid->setColumnTitle(fields[i], headers[i]);
    };
    titles(ui_->DBGrid_Towary, {QStringLiteral("Tow_Nazwa"), QStringLiteral("Tow_Nazwa2"),
                                QStringLiteral("Tow_Symbol"), QStringLiteral("Tow_kod_prod")});
    titles(ui_->DBGrid_Wchodzi,
           {QStringLiteral("Pomoc_Tow_Nazwa"), QStringLiteral("Pomoc_Towar_Nazwa2"),
            QStringLiteral("Pomoc_Tow_Symbol"), QStringLiteral("Pomoc_Tow_Symbol_Prod")});
    titles(ui_->DBGrid_Sklada,
           {QStringLiteral("Pomoc_Tow_Nazwa"), QStringLiteral("Pomoc_Tow_Nazwa2"),
            QStringLiteral("Pomoc_Tow_Symbol"), QStringLiteral("Pomoc_Tow_Symbol_Prod")});
    titles(ui_->DBGrid_Zamienniki,
           {QStringLiteral("Zam_Tow_Nazwa"), QStringLiteral("Pomoc_Tow_Nazwa2"),
            QStringLiteral("Zam_Tow_Symbol"), QStringLiteral("Zam_Tow_Kod_Prod")});
}

int TForm_Pelk::detailTab() const {
    return ui_->TNotebook->currentIndex();
}

void TForm_Pelk::showDetailTab(int index) {
    ui_->TNotebook->setCurrentIndex(index);
}

void TForm_Pelk::selectSortChoice(int index) {
    {
        QSignalBlocker block(ui_->Wyswietlaj_wg);
        ui_->Wyswietlaj_wg->setCurrentIndex(index);
    }
    showSortArrow();
}

int TForm_Pelk::sortChoice() const {
    return ui_->Wyswietlaj_wg->currentIndex();
}

void TForm_Pelk::showItemTable() {
    if (ui_->DBGrid_Towary->dataSet() != &state_.TFTowar)
        ui_->DBGrid_Towary->setDataSet(&state_.TFTowar);
}

void TForm_Pelk::showItemQuery() {
    if (ui_->DBGrid_Towary->dataSet() != &state_.QTowar)
        ui_->DBGrid_Towary->setDataSet(&state_.QTowar);
}

QString TForm_Pelk::searchText() const {
    return ui_->Edit_Szukaj_Towar->text();
}

void TForm_Pelk::setSearchText(const QString& text) {
    ui_->Edit_Szukaj_Towar->setText(text); // the caret goes after the text
}

void TForm_Pelk::focusSearchField() {
    // Not Qt's tab focus, which would select the text and let the next key replace it.
    ui_->Edit_Szukaj_Towar->setFocus(Qt::OtherFocusReason);
    ui_->Edit_Szukaj_Towar->deselect();
    ui_->Edit_Szukaj_Towar->end(false);
}

void TForm_Pelk::setPriceGridBound(bool bound) {
    ui_->DBGrid_Cena->setDataSet(bound ? &state_.TCeny : nullptr);
    ui_->DBText_Cena_Uwagi->setDataSet(bound ? &state_.TCeny : nullptr);
}

void TForm_Pelk::setStartSize() {
    resize(640, 482);
}

void TForm_Pelk::maximise() {
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TForm_Pelk::focusItemGrid() {
    ui_->DBGrid_Towary->setFocus();
}

// --- Operations -------------------------------------------------------------------------------

void TForm_Pelk::OTWIERANIE_NOWYCH_BAZ() {
    rememberCatalogueLayout();
    controller_->openCatalogue();
    BB_Odswiez_GridyClick(); // the new catalogue's columns
    restoreCatalogueLayout();
}
void TForm_Pelk::Czy_Baza_Pusta() {
    controller_->emptyCheck();
}
void TForm_Pelk::Odczytaj_Konfig_I() {
    controller_->readDisplayConfig();
}
void TForm_Pelk::BB_TableClick() {
    controller_->tableMode();
}
void TForm_Pelk::BB_SQLClick() {
    controller_->queryMode();
}
void TForm_Pelk::Timer1Timer() {
    controller_->refreshTick();
}

void TForm_Pelk::FormResize() {
    const int w = width();
    const int n = ui_->TNotebook->width();
    QWidget* page = ui_->TNotebook->currentWidget();
    const int pageHeight = std::max(40, page ? page->height() : 118);
    const int gridHeight = pageHeight - 8;

    placeDetailGrids(n, gridHeight);

    for (QWidget* p : {ui_->Panel_Nazwa1, ui_->Panel_Nazwa2, ui_->Panel_SRP, ui_->Panel_Symbol_Prod,
                       ui_->Panel_Producent, ui_->Panel_Grupa}) {
        p->resize(std::max(140, w - 330), p->height());
        for (QWidget* text : p->findChildren<ui::DbText*>())
            text->resize(p->width() - text->x(), text->height());
    }
    ui_->BitBtn3->move(ui_->Panel_Producent->geometry().right() + 4, ui_->Panel_Producent->y());
    ui_->GB_Liczba_Pozycji->move(w - 189, ui_->GB_Liczba_Pozycji->y());

    placeDrawingsPage(n, gridHeight);
    placePricesPage(n, pageHeight, gridHeight);
    placeDocumentPages(n, pageHeight, gridHeight);
    BB_Odswiez_GridyClick();
}

void TForm_Pelk::placeDocumentPages(int n, int pageHeight, int gridHeight) {
    auto* order = ui_->DBGrid_Dokument;
    order->setGeometry(4, 4, std::max(40, n - 140), gridHeight);
    ui_->Memo_dokument_Info->setGeometry(4, 4, std::max(40, n - 12), gridHeight);
    for (QWidget* b :
         {static_cast<QWidget*>(ui_->BB_Dok_Dodaj), static_cast<QWidget*>(ui_->BB_Dok_Wstaw),
          static_cast<QWidget*>(ui_->BB_Dok_Edycja), static_cast<QWidget*>(ui_->BB_Dok_Usun)})
        b->move(n - 130, b->y());
    for (QWidget* b :
         {static_cast<QWidget*>(ui_->BB_Dok_Wydruk), static_cast<QWidget*>(ui_->BB_Podglad),
          static_cast<QWidget*>(ui_->BB_Dok_Ludzik),
          static_cast<QWidget*>(ui_->BB_Dok_Do_Zakladki)})
        b->move(n - 68, b->y());
    if (!order->isHidden() && order->model() && order->model()->columnCount() > 0)
        order->setColumnWidth(0, std::max(20, order->width() - 375));
    ui_->Panel_Oferty->setGeometry(0, 0, n, pageHeight);
    ui_->RichEdit1->setGeometry(4, 4, std::max(40, n - 80), gridHeight);
    ui_->BB_Oferta_wroc_do_dokumentu->move(n - 72, 4);
    ui_->DBGrid_Wypozycz->setGeometry(4, 30, std::max(40, n - 12), std::max(20, pageHeight - 34));
}

void TForm_Pelk::placePricesPage(int n, int pageHeight, int gridHeight) {
    QWidget* memo = ui_->DBMemo_Uwagi;
    memo->setGeometry(std::max(104, (n - memo->width()) / 2), 4, memo->width(), gridHeight);
    auto* prices = ui_->DBGrid_Cena;
    prices->setGeometry(4, 4, std::max(40, n - 12), std::max(20, pageHeight - 32));
    ui_->DBText_Cena_Uwagi->setGeometry(4, prices->geometry().bottom() + 3, std::max(40, n - 12),
                                        20);
    // The supplier takes what the prices leave of the width.
    if (prices->model() && prices->model()->columnCount() > 0) {
        int others = 0;
        for (int c = 1; c < prices->model()->columnCount(); ++c)
            others += prices->columnWidth(c);
        prices->setColumnWidth(0, std::max(120, prices->width() - others - 25));
    }
}

void TForm_Pelk::placeDrawingsPage(int n, int gridHeight) {
    auto* drawings = ui_->DBGrid_Rysunek;
    drawings->setGeometry(4, 4, std::max(40, n - 322), gridHeight);
    if (drawings->model() && drawings->model()->columnCount() > 0)
        drawings->setColumnWidth(0, std::max(20, drawings->width() - 22));
    ui_->DBImage->setGeometry(n - 303, 4, 200, gridHeight);
    for (QWidget* box :
         {static_cast<QWidget*>(ui_->CBox_Dopasowany), static_cast<QWidget*>(ui_->CBox_Widoczny)}) {
        const int boxWidth = std::max(box->width(), box->sizeHint().width());
        box->setGeometry(std::min(n - 95, n - boxWidth - 6), box->y(), boxWidth, box->height());
    }
    ui_->BB_Duzy->move(n - 79, ui_->BB_Duzy->y());
}

void TForm_Pelk::placeDetailGrids(int n, int gridHeight) {
    // The side buttons keep their whole caption also in fonts wider than the designed one.
    const std::initializer_list<QWidget*> sideButtons{ui_->SB_Zobacz, ui_->BB_Wchodzi_do_idz_do,
                                                      ui_->BB_Sklada_sie_idz_do,
                                                      ui_->BB_Zamiennika_idz_do};
    int sideWidth = 48;
    for (QWidget* b : sideButtons)
        sideWidth = std::max(sideWidth, b->sizeHint().width());
    for (QWidget* b : sideButtons)
        b->setGeometry(n - sideWidth - 6, b->y(), sideWidth, b->height());
    for (ui::DbGrid* g :
         {ui_->DBGrid_Sklada, ui_->DBGrid_Wchodzi, ui_->DBGrid_Zamienniki, ui_->DBGrid_Wlasnosci})
        g->setGeometry(4, 4, std::max(40, n - sideWidth - 16), gridHeight);
}

// --- Commands ---------------------------------------------------------------------------------

void TForm_Pelk::BB_KoniecClick() {
    close();
}

void TForm_Pelk::BB_NowyClick() {
    controller_->items().newItem();
}

void TForm_Pelk::BB_EdycjaClick() {
    controller_->items().changeItem();
}

void TForm_Pelk::BB_KlonujClick() {
    controller_->items().cloneItem();
}

void TForm_Pelk::BB_Dok_UsunClick() {
    controller_->items().deleteItem(QStringLiteral("Chcesz usunąć zaznaczony obiekt ?"));
}

void TForm_Pelk::Usu1Click() {
    controller_->items().deleteItem(QStringLiteral("Chcesz usunąć zaznaczoną pozycję ?"));
}

void TForm_Pelk::Odwie1Click() {
    controller_->refresh();
}

void TForm_Pelk::Drukuj1Click() {
    if (!platform::printers().any()) {
        ui::messages().information(QStringLiteral("Brak zainstalowasnej drukarki"));
        return;
    }
    if (!printer_) printer_ = std::make_unique<QPrinter>();
    QPrintDialog dialog(printer_.get(), this);
    dialog.setObjectName(QStringLiteral("PrinterSetupDialog"));
    ui::modalRunner().run(dialog);
}

void TForm_Pelk::BB_PodgladClick() {
    if (!platform::printers().any()) {
        ui::messages().information(QStringLiteral("Brak zainstalowasnej drukarki"));
        return;
    }
    previewOrder();
}

void TForm_Pelk::Oprogramie1Click() {
    TEkr_About about(this);
    ui::modalRunner().run(about);
}

void TForm_Pelk::Tematy1Click() {
    ui::helpViewer().showTopic(0); // the contents
}

void TForm_Pelk::Aktualneinformacje1Click() {
    const platform::LaunchResult r = platform::launcher().openDocument(kMakerAddress);
    if (!r.started())
        ui::messages().information(
            QStringLiteral("Nie można otworzyć strony %1.").arg(kMakerAddress));
}

void TForm_Pelk::BDefaultClick() {
    // Order lines first; then, from the attribute values grid, the item's attribute values; then,
    // in either case, the item editor.
    if (orderEnter()) return;
    if (QApplication::focusWidget() == ui_->DBGrid_Wlasnosci) editDetail(DetailTabs::Attributes);
    const engine::DataSet* list = ui_->DBGrid_Towary->dataSet();
    if (list && list->isOpen() && !list->isEmpty()) BB_EdycjaClick();
}

void TForm_Pelk::UlubioneChange() {
    const QString text = ui_->Ulubione->currentText();
    if (text.isEmpty()) return;
    state_.CurrentCatalogueFolder = controller_->expandFolder(text);
    state_.CurrentCatalogueName = text;
    setTitle(controller_->title());
    OTWIERANIE_NOWYCH_BAZ();
    Czy_Baza_Pusta();
}

void TForm_Pelk::Oglne1Click() {
    showDetailTab(0);
}

void TForm_Pelk::Notatki1Click() {
    showDetailTab(6);
    ui_->DBMemo_Uwagi->setFocus();
}

void TForm_Pelk::Wyswietlaj_wgChange() {
    controller_->items().sortChanged(ui_->Wyswietlaj_wg->currentIndex());
}

void TForm_Pelk::Edit_Szukaj_TowarChange() {
    if (narrowSearchTyped()) return;
    controller_->items().searchTextChanged(ui_->Edit_Szukaj_Towar->text());
}

void TForm_Pelk::DBGrid_TowaryDblClick() {
    // With the order grid shown, a double click adds the item to the open order.
    if (orderGridShown()) {
        addOrderLine();
        return;
    }
    BB_EdycjaClick();
}

// --- Events -----------------------------------------------------------------------------------

void TForm_Pelk::closeEvent(QCloseEvent* event) {
    bool textKept = false;
    ui::guarded([&] { textKept = paneMayBeReplaced(); });
    if (!textKept || (offerEditor_ && !offerEditor_->saveQuestion())) {
        event->ignore();
        return;
    }
    if (!controller_->confirmExit()) {
        event->ignore();
        return;
    }
    saveLayout();
    controller_->closing();
    help_->close();
    event->accept();
}

void TForm_Pelk::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void TForm_Pelk::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) controller_->activate();
}

bool TForm_Pelk::eventFilter(QObject* watched, QEvent* event) {
    bool taken = false;
    // A key whose work failed is spent: the box said why, and the control must not act on it too.
    if (!ui::guarded([&] { taken = filterEvent(watched, event); }))
        return event->type() == QEvent::KeyPress;
    return taken;
}

bool TForm_Pelk::filterEvent(QObject* watched, QEvent* event) {
    if (watched == ui_->Edit_Szukaj_Towar) return searchFieldEvent(event);
    if (watched == ui_->DBMemo_Uwagi) return notesEvent(event);
    if (watched == ui_->DBGrid_Towary && event->type() == QEvent::KeyPress)
        return itemGridKey(static_cast<QKeyEvent*>(event));
    if (event->type() == QEvent::Resize) {
        if (watched == ui_->TNotebook->currentWidget()) FormResize();
        return false;
    }
    return false;
}

bool TForm_Pelk::searchFieldEvent(QEvent* event) {
    if (narrowFieldEvent(event)) return event->type() != QEvent::FocusOut; // the field sees it
    if (event->type() == QEvent::FocusOut) {
        // Not when the whole window goes to the background: the user comes back to the text.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::ActiveWindowFocusReason)
            controller_->items().searchFieldLeft();
        return false;
    }
    if (event->type() != QEvent::KeyPress) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    return controller_->items().searchFieldKey(key->key());
}

bool TForm_Pelk::itemGridKey(QKeyEvent* key) {
    if (key->matches(QKeySequence::Copy)) {
        copyItemRows();
        return true;
    }
    // Ctrl or Alt alone make a shortcut; both together are how some systems report AltGr, with
    // which Polish letters are typed.
    const auto mods = key->modifiers() & (Qt::ControlModifier | Qt::AltModifier);
    if (mods == Qt::ControlModifier || mods == Qt::AltModifier) return false;
    if (key->modifiers() & Qt::MetaModifier) return false;
    return controller_->items().gridTyped(key->text());
}

bool TForm_Pelk::KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != form_) return false;
    bool taken = true; // also when the command failed: the box has said why
    ui::guarded([&] { taken = form_->handlePreviewKey(static_cast<QKeyEvent*>(event)); });
    return taken;
}

bool TForm_Pelk::handlePreviewKey(QKeyEvent* key) {
    // Typing text is for the search field, the notes and the document pane.
    QWidget* focus = QApplication::focusWidget();
    if (focus == ui_->Edit_Szukaj_Towar || focus == ui_->DBMemo_Uwagi || focus == ui_->RichEdit1 ||
        (focus && ui_->RichEdit1->isAncestorOf(focus)))
        return false;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    switch (key->key()) {
    case Qt::Key_Insert:
        BB_NowyClick();
        return true;
    case Qt::Key_Delete:
        if (isCommandEnabled(QStringLiteral("SpeedButton8")) && ui_->DBGrid_Dokument->isHidden())
            Usu1Click();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        BDefaultClick();
        return true;
    default:
        break;
    }
    if (key->text() == QLatin1String("-")) {
        BB_NowyClick();
        return true;
    }
    if (key->text() == QLatin1String(".")) {
        // A stray "." must not delete at a second keystroke: here the question defaults to "Nie".
        if (!state_.CatalogueEmpty && state_.fullRights())
            controller_->items().deleteItem(QStringLiteral("Chcesz usunąć zaznaczoną pozycję ?"),
                                            ui::Button::No);
        return true;
    }
    return false;
}

} // namespace shell
