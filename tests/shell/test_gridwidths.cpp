// Column widths of the item grid and the relation grids from the display configuration's
// switches: nominal widths, stretching to the grid with halves rounded to even, and the grid whose
// every column is switched off.
#include "shell/gridwidths.h"
#include <gtest/gtest.h>

using shell::ColumnSize;
using shell::fittedWidths;
using Widths = std::vector<int>;

TEST(GridWidths, HalvesRoundToTheEvenNeighbour) {
    EXPECT_EQ(shell::roundHalfEven(2.5), 2);
    EXPECT_EQ(shell::roundHalfEven(3.5), 4);
    EXPECT_EQ(shell::roundHalfEven(0.5), 0);
    EXPECT_EQ(shell::roundHalfEven(2.4999), 2);
    EXPECT_EQ(shell::roundHalfEven(2.5001), 3);
    EXPECT_EQ(shell::roundHalfEven(-2.5), -2);
    EXPECT_EQ(shell::roundHalfEven(-3.5), -4);
}

TEST(GridWidths, WithoutFittingShownColumnsKeepTheirNominalWidthAtAnyGridWidth) {
    const std::vector<ColumnSize> columns = {{330, true}, {330, false}, {130, true}, {50, true}};
    for (int available : {100, 510, 3000})
        EXPECT_EQ(fittedWidths(columns, false, available), (Widths{330, 0, 130, 50}));
}

TEST(GridWidths, FittingStretchesInProportionAndLeavesRoomForTheLines) {
    const std::vector<ColumnSize> columns = {{330, true}, {330, false}, {130, true}, {50, true}};
    // 510 nominal on 1020: each doubled, less 2.
    EXPECT_EQ(fittedWidths(columns, true, 1020), (Widths{658, 0, 258, 98}));
    // Squeezed to half.
    EXPECT_EQ(fittedWidths(columns, true, 255), (Widths{163, 0, 63, 23}));
    // 82.5 and 3.5: halves go to the even neighbour before the lines are taken off.
    EXPECT_EQ(fittedWidths({{80, true}, {80, true}}, true, 165), (Widths{80, 80}));
    EXPECT_EQ(fittedWidths({{50, true}, {50, true}}, true, 7), (Widths{2, 2}));
    EXPECT_EQ(fittedWidths({{50, true}, {50, true}}, true, 5), (Widths{0, 0}));
}

TEST(GridWidths, AColumnSqueezedBelowItsLinesIsHiddenNotNegative) {
    // 50 * 10 / 380 = 1.3 rounds to 1, and the lines take 2.
    EXPECT_EQ(fittedWidths({{330, true}, {50, true}}, true, 10), (Widths{7, 0}));
}

TEST(GridWidths, EveryColumnSwitchedOffSkipsTheStretching) {
    const std::vector<ColumnSize> columns = {{330, false}, {130, false}};
    EXPECT_EQ(fittedWidths(columns, true, 800), (Widths{0, 0}));
    EXPECT_EQ(fittedWidths({}, true, 800), Widths{});
}

TEST(GridWidths, TheSubstitutesFirstColumnKeepsItsOwnMargin) {
    // 80 - 5 = 75, less 5; the second as any other column.
    EXPECT_EQ(fittedWidths({{80, true}, {80, true}}, true, 160, 5), (Widths{70, 78}));
    // A hidden first column stays hidden.
    EXPECT_EQ(fittedWidths({{80, false}, {80, true}}, true, 160, 5), (Widths{0, 158}));
}

TEST(GridWidths, TheAttributeGridGivesTheNameTwoSevenths) {
    EXPECT_EQ(shell::attributeWidths(700), (std::array<int, 2>{188, 488}));
    // 2 * 600 / 7 = 171.4 and 5 * 600 / 7 = 428.6.
    EXPECT_EQ(shell::attributeWidths(600), (std::array<int, 2>{159, 417}));
}

TEST(GridWidths, EachGridHasItsColumnsInItsOwnOrder) {
    shell::GridColumns c;
    c.name2 = false;
    c.quantity = false;
    const auto item = shell::itemGridSizes(c);
    ASSERT_EQ(item.size(), 9u);
    EXPECT_FALSE(item[1].shown);
    EXPECT_EQ(item[8].nominal, 50);
    EXPECT_FALSE(item[8].shown) << "the quantity comes last in the item grid";
    const auto relation = shell::relationGridSizes(c);
    ASSERT_EQ(relation.size(), 9u);
    EXPECT_EQ(relation[4].nominal, 50);
    EXPECT_FALSE(relation[4].shown) << "the pieces follow the producer code";
    EXPECT_EQ(relation[5].nominal, 80);
    EXPECT_EQ(shell::substituteGridSizes(c).size(), 8u) << "no quantity among the substitutes";
}
