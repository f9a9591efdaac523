#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace engine {
class DataSet;
class Table;
} // namespace engine

namespace offers {

// The widths of the text columns the insert commands write: names, symbols and producer codes,
// and the labels (an attribute's name, a supplier's name).
constexpr int kNameColumn = 50;
constexpr int kSymbolColumn = 25;
constexpr int kLabelColumn = 30;

extern const QString kPriceSuffix;    // " zł"
extern const QString kQuantitySuffix; // " szt."

// A text cell: the value whole, then spaces up to one past `width` (none when it is longer).
QString textCell(const QString& value, int width);
// A price, quantity or date cell: the value right-aligned after one space in 11 places, then
// `suffix`. A value longer than 10 characters is written whole.
QString amountCell(const QString& value, const QString& suffix);

// The columns one list writes, as the display configuration switches them for its grid.
struct ColumnSwitches {
    bool name1 = false, name2 = false, symbol = false, producerCode = false, price = false,
         priceA = false, priceB = false, priceC = false, quantity = false;
};
// The switches of the item list (group "i") and of the goes-into, consists-of and substitutes
// lists ("iW", "iS", "iZ").
struct ComposeSwitches {
    ColumnSwitches items, goesInto, consistsOf, substitutes;
};
// Group `group` of the configuration row `konfig` stands on.
ColumnSwitches readColumnSwitches(const engine::Table& konfig, const QString& group);
// Read from the catalogue's configuration with a table object of its own (the preferences may
// be editing the shared one); a configuration without its row switches every column off.
ComposeSwitches readComposeSwitches(const QString& catalogueFolder);

// Values are written as the engine gives their text: numbers with a decimal comma, without
// trailing zeros or grouping (12.5 is "12,5"), dates dd-mm-yyyy, texts as stored; the display
// formats of the screens do not apply.

// One item's line: name 1, name 2 (50), symbol, producer code (25), the selling price and
// prices A to C, each where switched on. `field` gives a Towar field's text.
using FieldText = std::function<QString(const QString& field)>;
QString itemLine(const FieldText& field, const ColumnSwitches& on);
// The current row of an item table or query.
QString itemLine(const engine::DataSet& item, const ColumnSwitches& on);

// The company block's texts that are not blank, in their order.
QStringList companyLines(const QStringList& block);
// "Notatki :" and the notes, one line per line of the notes.
QStringList noteLines(const QString& notes);

// The current item's detail lists read from the catalogue in `folder`, each under its title, in
// the order the detail pages show them.
QStringList attributeLines(const QString& folder, int itemNr);
QStringList goesIntoLines(const QString& folder, int itemNr, const ColumnSwitches& on);
QStringList consistsOfLines(const QString& folder, int itemNr, const ColumnSwitches& on);
QStringList substituteLines(const QString& folder, int itemNr, const ColumnSwitches& on);
// The purchase prices in the home currency, with the supplier and the date; without the price
// right only the title.
QStringList purchasePriceLines(const QString& folder, int itemNr, bool priceRight);

// Where the listed items are read from: the item table with its order and filter, or the
// query's text. A reader of its own walks them, so the list on screen keeps its place.
struct ItemListSource {
    QString folder;
    QString indexFieldNames; // table mode
    QString indexName;       // table mode, when the order is given by an index's name
    QString filter;          // table mode, when filtered
    QStringList sql;         // query mode
};
ItemListSource itemListSource(const engine::DataSet& list);
// Every listed item's line, first to last, handed on in batches; `take` returning false stops
// the walk.
void listedItemLines(const ItemListSource& source, const ColumnSwitches& on,
                     const std::function<bool(const QStringList&)>& take, int batch = 2048);

} // namespace offers
