#pragma once
#include <QString>
#include <array>
#include <optional>

namespace store {
struct DisplayConfig;
}

namespace items {

// The item editor's fields in the order Up and Down move through them.
enum class ItemField {
    Grupa,
    Nazwa1,
    Nazwa2,
    Symbol,
    Producent,
    KodProd,
    Ilosc,
    Jm,
    Vat,
    Cena,
    CenaA,
    CenaB,
    CenaC
};
inline constexpr int kItemFieldCount = 13;

enum class ItemPanel { Basic, Producer, Quantity, Prices };
inline constexpr int kItemPanelCount = 4;

// Where a field sits as designed: its panel, its top inside the panel, its control and label.
struct ItemFieldDesign {
    ItemField field;
    ItemPanel panel;
    int top;
    const char* control;
    const char* label;
    const char* caption; // designed label text, UTF-8
    bool configurable;   // the display configuration names (and may hide) the field
};
const std::array<ItemFieldDesign, kItemFieldCount>& itemFieldDesign();
const ItemFieldDesign& designOf(ItemField field);

struct ItemPanelDesign {
    ItemPanel panel;
    int height;
    const char* name;    // objectName of the panel
    const char* caption; // its grey name, UTF-8
};
const std::array<ItemPanelDesign, kItemPanelCount>& itemPanelDesign();

inline constexpr int kItemRowStep = 24;         // one field row
inline constexpr int kItemButtonRowHeight = 40; // the lower row of buttons

// The editor's layout under one display configuration. Always computed from the designed
// positions, so computing it again gives the same result.
struct ItemFormLayout {
    struct Field {
        bool visible = true;
        int top = 0; // inside its panel
        QString caption;
    };
    std::array<Field, kItemFieldCount> fields;
    std::array<int, kItemPanelCount> panelHeights{};
    std::array<int, kItemPanelCount> panelTops{};
    bool panelNamesVisible = true;
    int buttonRowTop = 0;
    int windowHeight = 0;

    const Field& operator[](ItemField f) const { return fields[size_t(f)]; }
    int panelHeight(ItemPanel p) const { return panelHeights[size_t(p)]; }
    // Shown and in a panel that has a height: the keyboard can reach it.
    bool reachable(ItemField f) const;
    // The field Up (step -1) or Down (step +1) moves to; none at either end.
    std::optional<ItemField> neighbour(ItemField from, int step) const;
};

ItemFormLayout computeItemFormLayout(const store::DisplayConfig& config);

} // namespace items
