#pragma once
#include "rng.h"
#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace engine {
class Database;
}

namespace sample {

class BulkSession;

struct Options {
    int items = 2000;
    std::uint64_t seed = 1;
    int orders = 0; // orders of each kind; 0: as many as suit the number of items
    // The day the sample is made: the orders are dated back from it, so that the order list's
    // default view (this year's orders) shows some on a fresh demo. Invalid: today.
    QDate day;
};

// Everything the table families hand on to each other: numbers of rows written earlier and
// the facts later tables refer to. Item data is not kept: any item can be made again from its
// number (makeItem), which keeps a million items out of memory.
struct Context {
    Options options;
    QString folder;          // the catalogue folder
    QString documentsFolder; // files the document attributes point to
    engine::Database* db = nullptr;
    BulkSession* session = nullptr;
    std::function<void(const QString&)> report; // progress lines

    // The day the sample pretends to be made on; every date is near it, so the same seed
    // gives the same data on any day.
    static QDate today() { return QDate(2025, 6, 30); }

    Rng rng(std::uint64_t stream, std::uint64_t index = 0) const {
        return Rng(options.seed, stream, index);
    }

    // Dictionaries
    std::vector<int> cityNrs;     // by index into words::cities()
    std::vector<int> countryNrs;  // by index into words::countries()
    std::vector<int> currencyNrs; // by index into words::currencies()
    std::vector<double> currencyRates;

    // Companies
    struct Contact {
        int nr;
        QString text; // "Telefon_Kontakt Telefon_Nr_Tel", as orders quote it
    };
    struct Company {
        int nr;
        QString shortName;
        bool foreign;
        std::vector<Contact> contacts;
    };
    std::vector<Company> companies; // index = Firma_Nr - 1; company 1 is the owner
    std::vector<int> producers, suppliers, customers;
    int ownerContactNr = 0;

    // Groups and attributes
    std::vector<int> groupNrs;                    // by group index (see items.h)
    std::vector<int> attributeNrs;                // by attribute index
    std::vector<std::vector<int>> groupProducers; // Firma_Nr per group index

    // Items
    std::vector<std::vector<int>> itemsByGroup; // Tow_nr per group index
    std::vector<std::uint8_t> itemGroup;        // group index per Tow_nr (index 0 unused)

    // Drawings
    std::vector<std::vector<int>> drawingsByGroup; // Rys_Nr per group index
    QStringList drawingFiles;                      // bitmaps written into documentsFolder
};

class RowWriter;
// "Towar: 2000 wierszy" to the progress lines.
void reportRows(const Context& c, const RowWriter& w);

// The table families, in the order they are made.
void makeDictionaries(Context& c);   // Panstwa, Miasta, Waluta, Dane
void makeCompanies(Context& c);      // Firmy, Telefon
void makeAttributes(Context& c);     // Grupa, Cecha, Wartosci, Szablon, documents
void makeDrawings(Context& c);       // Rysunek (Grafika follows the items)
void makeItems(Context& c);          // Towar, Opis, Cena, Grafika
void makeRelations(Context& c);      // Sklada, Zamienne
void makeOrders(Context& c);         // Dok_Head, Dok_Dane
void makeLending(Context& c);        // Osoby, Wypozycz
void nameDisplayColumns(Context& c); // Konfig_i headers for the sample's fields

// Fills the (freshly created) catalogue in `folder`. Returns the owner's contact (Telefon_Nr)
// for the settings record.
// The offer list's sample offers with their documents, and the header and footer files.
void makeOffers(const QString& mainFolder, const QDate& today);

int fillCatalogue(const QString& folder, const Options& options,
                  const std::function<void(const QString&)>& report);

// Streams of the random generator, one per purpose, so that adding a table family does not
// change the data of the others.
enum Stream : std::uint64_t {
    kDictionaries = 1,
    kCompanies,
    kContacts,
    kAttributes,
    kDrawings,
    kItem,
    kItemValues,
    kItemPrices,
    kItemDrawings,
    kRelations,
    kOrders,
    kLending,
};

} // namespace sample
