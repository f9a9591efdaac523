#pragma once
#include "engine/fields.h"
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <random>

// A catalogue shaped like the program's own (items, their feature values, groups, features),
// filled with made-up but realistic Polish hardware-store goods, built through the engine.
namespace engine::bench {

TableDef itemTableDef();    // Towar
TableDef valueTableDef();   // Opis
TableDef groupTableDef();   // Grupa
TableDef featureTableDef(); // Cecha

constexpr int kValuesPerItem = 10;

// The group that holds most metric screws, and the name prefix the filter measure looks for.
constexpr int kScrewGroup = 4;
inline const char* const kScrewPrefix = "ŚRUBA";

struct GeneratedItem {
    int group = 0;
    QString name;                               // Tow_Nazwa
    QString makerCode;                          // Tow_Kod_Prod
    qint64 maker = 0;                           // Tow_Nr_Producent
    double price = 0;                           // Tow_SRP
    QString symbol;                             // Tow_Symbol
    QString notes;                              // Tow_Uwagi, often empty
    QString name2;                              // Tow_Nazwa2, often empty
    std::array<QString, kValuesPerItem> values; // Opis_Opis of features 1..10
};

// The same seed gives the same items, so a cached folder and a fresh build hold the same data.
class ItemGenerator {
public:
    explicit ItemGenerator(std::uint64_t seed = 20240611);
    GeneratedItem next();

    static QStringList groupNames();
    struct Feature {
        const char* name;
        const char* type; // N number, T text, D date
    };
    static const std::array<Feature, kValuesPerItem>& features();

private:
    std::mt19937_64 rng_;
    std::discrete_distribution<int> categoryDist_; // common goods more often
};

struct CatalogueInfo {
    qint64 items = 0;
    qint64 values = 0;
    bool reused = false;     // the folder already held this catalogue
    double buildSeconds = 0; // 0 when reused
    qint64 fileBytes = 0;
};

// Makes `folder` hold a catalogue of `items` items: reuses one already there when `reuse` is
// set and its tables hold that many items, otherwise (re)creates the tables and fills them
// through table objects in one transaction. Progress goes to stderr.
CatalogueInfo prepareCatalogue(const QString& folder, qint64 items, bool reuse);

} // namespace engine::bench
