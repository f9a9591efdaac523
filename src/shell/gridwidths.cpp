#include "shell/gridwidths.h"
#include "engine/table.h"
#include <algorithm>
#include <cmath>

namespace shell {

namespace {

constexpr int kNameWidth = 330;
constexpr int kSymbolWidth = 130;
constexpr int kPriceWidth = 80;
constexpr int kQuantityWidth = 50;
constexpr int kLines = 2; // what a column's lines take of its width

} // namespace

int roundHalfEven(double v) {
    const double down = std::floor(v);
    const double diff = v - down;
    if (diff > 0.5) return int(down) + 1;
    if (diff < 0.5) return int(down);
    return std::fmod(down, 2.0) == 0 ? int(down) : int(down) + 1;
}

std::vector<int> fittedWidths(const std::vector<ColumnSize>& columns, bool fit, int available,
                              int firstMargin) {
    std::vector<int> widths;
    widths.reserve(columns.size());
    int total = 0;
    for (const ColumnSize& c : columns) {
        widths.push_back(c.shown ? c.nominal : 0);
        total += widths.back();
    }
    if (!fit || total == 0) return widths;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const int margin = i == 0 ? firstMargin : 0;
        int w = roundHalfEven(double(widths[i]) * available / total - margin);
        if (w > 0) w -= margin ? margin : kLines;
        widths[i] = std::max(0, w);
    }
    return widths;
}

std::array<int, 2> attributeWidths(int gridWidth) {
    return {roundHalfEven(gridWidth * 2.0 / 7.0) - 12, roundHalfEven(gridWidth * 5.0 / 7.0) - 12};
}

GridColumns readGridColumns(const engine::Table& konfig, const QString& group) {
    auto flag = [&](const char* column) {
        const QString name = QStringLiteral("Konfig_%1_%2").arg(group, QLatin1String(column));
        return konfig.hasField(name) && konfig.asBoolean(name);
    };
    GridColumns c;
    c.name1 = flag("Nazwa1");
    c.name2 = flag("Nazwa2");
    c.symbol = flag("Symbol");
    c.producerCode = flag("Kod_Prod");
    c.price = flag("Cena_SRP");
    c.priceA = flag("Cena_A");
    c.priceB = flag("Cena_B");
    c.priceC = flag("Cena_C");
    c.quantity = flag("Ilosc");
    c.fit = flag("Dopasowany");
    return c;
}

std::vector<ColumnSize> itemGridSizes(const GridColumns& c) {
    return {{kNameWidth, c.name1},          {kNameWidth, c.name2},   {kSymbolWidth, c.symbol},
            {kSymbolWidth, c.producerCode}, {kPriceWidth, c.price},  {kPriceWidth, c.priceA},
            {kPriceWidth, c.priceB},        {kPriceWidth, c.priceC}, {kQuantityWidth, c.quantity}};
}

std::vector<ColumnSize> relationGridSizes(const GridColumns& c) {
    return {{kNameWidth, c.name1},          {kNameWidth, c.name2},        {kSymbolWidth, c.symbol},
            {kSymbolWidth, c.producerCode}, {kQuantityWidth, c.quantity}, {kPriceWidth, c.price},
            {kPriceWidth, c.priceA},        {kPriceWidth, c.priceB},      {kPriceWidth, c.priceC}};
}

std::vector<ColumnSize> substituteGridSizes(const GridColumns& c) {
    std::vector<ColumnSize> sizes = itemGridSizes(c);
    sizes.pop_back();
    return sizes;
}

} // namespace shell
