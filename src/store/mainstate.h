#pragma once
#include "engine/query.h"
#include "engine/table.h"
#include <QDate>
#include <QObject>
#include <QString>
#include <QStringList>

namespace store {

// What the item filter dialog is refilled from while a catalogue is open. Operators are indexes
// into the dialog's lists; -1 means nothing chosen.
struct FilterState {
    QString groupName;
    int groupNr = 0;
    QString name1, name2, symbol, producerCode;
    QString producerName;
    int producerNr = 0;
    int name1Op = -1, name2Op = -1, symbolOp = -1, producerCodeOp = -1, groupOp = -1,
        producerOp = -1;
    // "Filtruj" was pressed, even with nothing to narrow: the query commands stay off until
    // "Anuluj filtr".
    bool applied = false;
};

// The query builder's settings, kept so that reopening it while a query is in force shows them.
struct QueryState {
    bool queryActive = false;
    QString groupText;
    int groupOp = -1;
    int queryGroupNr = 0;
    bool groupJoin = false;
    bool companyJoin = false;
    int queryCompanyNr = 0;
    bool attributeFlag = false;
    int attributeNr = 0;
    QString attributeName;
    QString attributeType; // one letter
    QString value1, value2;
    int valueOp = -1;
    QString name1, name2, symbol, producer, producerSymbol;
    int name1Op = -1, name2Op = -1, symbolOp = -1, producerOp = -1, producerSymbolOp = -1;
    QString priceText;
    int priceOp = -1;
};

// Captions and panel switches read from the catalogue's display configuration.
struct DisplayConfig {
    QString headerName1, headerName2, headerSymbol, headerProducer, headerProducerCode;
    bool panelBasic = false, panelProducer = false, panelQuantity = false, panelPrices = false,
         panelVisible = false;
};

// The order list opened from the companies dialog: on the kind choice (0 client orders, 1
// supplier orders), the sort choice and the search text, applied once by the list.
struct OrderListPresetState {
    bool set = false;
    int kindIndex = 0;
    int sortIndex = 0;
    QString searchText;
};

// The words a caller puts into a dialog's picking-mode variable (GroupPickMode, CompanyPickMode,
// ...) for as long as the dialog runs. The dialogs only ask whether a word is set; the words are
// the ones the program has always used.
inline const QString kPickingWord = QStringLiteral("Wybieranie");
// The group template's copy function picks its source group with the word in lower case.
inline const QString kTemplateCopyPickingWord = QStringLiteral("wybieranie");
// ValuePickMode: a value is picked for an item's attribute or a query condition.
inline const QString kValueSearchWord = QStringLiteral("Wyszukiwanie");

// The main window's state, hand-over variables and table objects, in one object below the
// widgets so that every screen (and every test) can use it without a window. Names follow the
// program's own vocabulary; dialogs read their parameters here and leave their results here.
class MainState : public QObject {
    Q_OBJECT
public:
    explicit MainState(QObject* parent = nullptr);
    ~MainState() override;

    // --- Folders, user, rights ---
    QString MainFolder; // ends with a separator
    QString TempFolder; // MainFolder + "TMP"
    QString DefaultCatalogueFolder;
    QString CurrentCatalogueFolder;
    QString CurrentCatalogueName;
    int CurrentUserNr = 0;
    int RightsLevel = 2; // 2 full rights, 1 read-only
    bool PriceRight = false;
    bool AdminRight = false;
    bool StartupDone = false;
    int HomeCurrencyNr = 0;
    bool CatalogueEmpty = false;
    QString WorkMode = QStringLiteral("Przeglądanie");
    QString FolderPickMode;
    FilterState Filter;
    QueryState Query;
    DisplayConfig Display;

    bool fullRights() const { return RightsLevel == 2; }

    // --- Hand-over variables (an empty name and number 0 mean nothing was chosen) ---
    QString ItemEditMode; // "Nowy", "Edycja", "Klonuj"
    int CurrentItemNr = 0;
    QString CurrentItemName;
    QString GroupPickMode, PickSearchText, PickedGroupName;
    int PickedGroupNr = 0;
    QString TemplateGroupName;
    int TemplateGroupNr = 0;
    int AttributeNr = 0;
    QString AttributeName, AttributeTypeText, ValuePickMode, PickedValue;
    QString CompanyPickMode, CompanySearchText, PickedCompanyName, CompanyFolder;
    int PickedCompanyNr = 0;
    // The company block of the company last picked: Firma_Nazwa1, Firma_Nazwa2, Firma_Nazwa3,
    // Firma_Ulica and Firma_Kod_Poczt + " " + Firma_Miejscowosc; left as it was when nothing is
    // picked.
    QStringList PickedCompanyBlock;
    QString ContactPickMode, ContactCompanyName;
    int ContactCompanyNr = 0, PickedContactNr = 0, ContactOwnerNr = 0;
    QString CityPickMode, CitySearchText, PickedCityName, PickedCityCode;
    int PickedCityNr = 0;
    QString CountryPickMode, CountrySearchText, PickedCountryName, PickedCountryCode;
    int PickedCountryNr = 0;
    QString CurrencyPickMode, CurrencySearchText, PickedCurrencyName;
    int PickedCurrencyNr = 0;
    int DefaultSupplierNr = 0;
    bool DatePicked = false;
    QString PickedDate; // dd-mm-yyyy
    QString PickedFolder;
    bool CreateInPickedFolder = false;
    int OrderKind = 0;
    QString OrderKindText, OrderEditMode;
    bool OrderOpen = false;
    OrderListPresetState OrderListPreset;

    // --- Table objects of the main folder ---
    engine::Table TPelk, TUsers, TBazy, Tskojarz, TOferty;
    // --- Order tables of the default catalogue ---
    engine::Table TDokumenty, TDok_Dane;
    // --- Catalogue tables (bound to CurrentCatalogueFolder) ---
    engine::Table TFTowar;
    engine::Query QTowar;
    engine::Table TFGrupa, TFirma_Prod, TOpis, TCecha, TWchodzi, TPomoc_Towar, TSklada, TZamienniki,
        TRysunek, TGrafika, TPodglad_Rys, TCeny, TPomocFirma, TPomocWaluta, TKonfig_i;
    // --- Lending tables ---
    engine::Table TOsoby, TWypozycz, TTowarPomoc, TWypozycz2, TOsobyPomoc;

    // The catalogue tables in the order the open-catalogue operation closes and reopens them.
    QList<engine::DataSet*> catalogueTables();

    // Start values of the filter and the query state (also when a catalogue is opened).
    void resetFilterState() { Filter = FilterState{}; }
    void resetQueryState() { Query = QueryState{}; }
};

} // namespace store
