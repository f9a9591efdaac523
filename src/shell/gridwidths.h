#pragma once
#include <QString>
#include <array>
#include <vector>

namespace engine {
class Table;
}

namespace shell {

// Rounds to the nearest whole number, a half to the even neighbour (2.5 -> 2, 3.5 -> 4), as the
// column widths of the catalogues' grids have always been computed.
int roundHalfEven(double v);

// One column of a grid sized from the display configuration: its nominal width and whether the
// configuration shows it.
struct ColumnSize {
    int nominal = 0;
    bool shown = false;
};

// The widths the columns get: a hidden column 0, a shown one its nominal width. With `fit` the
// shown columns are stretched or squeezed in proportion to fill `available`, each then 2 narrower
// for the grid's lines; a `firstMargin` is taken off the first column before rounding and again,
// instead of the 2, after it. A grid whose columns are all hidden keeps the zeros: there is
// nothing to stretch. A column squeezed below its lines is hidden (0), never negative.
std::vector<int> fittedWidths(const std::vector<ColumnSize>& columns, bool fit, int available,
                              int firstMargin = 0);
// The attribute values grid: the name two sevenths, the value five sevenths of `gridWidth`.
std::array<int, 2> attributeWidths(int gridWidth);

// The column switches of one grid in the display configuration (group "i", "iW", "iS" or "iZ"):
// name 1, name 2, symbol, producer code, selling price, prices A to C, quantity (not in "iZ"),
// and whether the shown columns fill the grid.
struct GridColumns {
    bool name1 = true, name2 = true, symbol = true, producerCode = true, price = true,
         priceA = true, priceB = true, priceC = true, quantity = true;
    bool fit = false;
};
// Reads group `group` of the configuration row `konfig` stands on.
GridColumns readGridColumns(const engine::Table& konfig, const QString& group);

// The columns of the item grid (name 1, name 2, symbol, producer code, selling price, prices A to
// C, quantity) in that order.
std::vector<ColumnSize> itemGridSizes(const GridColumns& c);
// The goes-into and consists-of grids: as the item grid, with the pieces after the producer code.
std::vector<ColumnSize> relationGridSizes(const GridColumns& c);
// The substitutes grid: as the item grid without the quantity.
std::vector<ColumnSize> substituteGridSizes(const GridColumns& c);

} // namespace shell
