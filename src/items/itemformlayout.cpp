#include "items/itemformlayout.h"
#include "store/mainstate.h"
#include <algorithm>

namespace items {

namespace {

// Rows start under the panel's grey name.
constexpr int kFirstRow = 20;
constexpr int row(int n) {
    return kFirstRow + n * kItemRowStep;
}

// Below this sum of panel and button-row heights the window keeps its least height, which the
// right-hand buttons need.
constexpr int kCompactSum = 209;
constexpr int kCompactHeight = 245;
constexpr int kWindowMargin = 30;
// The lower row never climbs into the right-hand buttons (Powrót, Zapisz, Anuluj).
constexpr int kSideButtonsBottom = 120;

} // namespace

const std::array<ItemFieldDesign, kItemFieldCount>& itemFieldDesign() {
    using F = ItemField;
    using P = ItemPanel;
    static const std::array<ItemFieldDesign, kItemFieldCount> design{{
        {F::Grupa, P::Basic, row(0), "Edit_Grupa", "Label_Grupa", "Grupa", false},
        {F::Nazwa1, P::Basic, row(1), "Edit_Towar", "Label_Nazwa1", "Nazwa 1 :", true},
        {F::Nazwa2, P::Basic, row(2), "Edit_Nazwa2", "Label_Nazwa2", "Nazwa 2 :", true},
        {F::Symbol, P::Basic, row(3), "Edit_Kod_Tow", "Label_Symbol", "Symbol :", true},
        {F::Producent, P::Producer, row(0), "Edit_Producent", "Label_Producent",
         "Producent :", true},
        {F::KodProd, P::Producer, row(1), "Edit_Kod_Prod", "Label_Kod_Prod",
         "Kod producenta :", true},
        {F::Ilosc, P::Quantity, row(0), "Edit_Ilosc", "Label_Ilosc", "Ilość", false},
        {F::Jm, P::Quantity, row(0), "Combo_jm", "Label_jm", "j.m.", false},
        {F::Vat, P::Prices, row(0), "Combo_VAT", "Label_VAT", "Stawka VAT =", false},
        {F::Cena, P::Prices, row(1), "Edit_Cena", "Label_Cena", "Cena sprzedaży =", false},
        {F::CenaA, P::Prices, row(2), "Edit_Cena_A", "Label_Cena_A", "Cena A =", false},
        {F::CenaB, P::Prices, row(3), "Edit_Cena_B", "Label_Cena_B", "Cena B =", false},
        {F::CenaC, P::Prices, row(4), "Edit_Cena_C", "Label_Cena_C", "Cena C =", false},
    }};
    return design;
}

const ItemFieldDesign& designOf(ItemField field) {
    return itemFieldDesign()[size_t(field)];
}

const std::array<ItemPanelDesign, kItemPanelCount>& itemPanelDesign() {
    // Each panel is as high as its rows and a little room under the last one.
    static const std::array<ItemPanelDesign, kItemPanelCount> design{{
        {ItemPanel::Basic, row(4) + 4, "Panel_Podstawowy", "Panel podstawowy"},
        {ItemPanel::Producer, row(2) + 4, "Panel_Producent", "Panel firma"},
        {ItemPanel::Quantity, row(1) + 4, "Panel_Ilosc", "Panel ilość"},
        {ItemPanel::Prices, row(5) + 4, "Panel_Ceny", "Panel ceny"},
    }};
    return design;
}

bool ItemFormLayout::reachable(ItemField f) const {
    return (*this)[f].visible && panelHeight(designOf(f).panel) > 0;
}

std::optional<ItemField> ItemFormLayout::neighbour(ItemField from, int step) const {
    for (int i = int(from) + step; i >= 0 && i < kItemFieldCount; i += step)
        if (reachable(ItemField(i))) return ItemField(i);
    return std::nullopt;
}

ItemFormLayout computeItemFormLayout(const store::DisplayConfig& config) {
    ItemFormLayout layout;
    auto header = [&](ItemField f) -> const QString* {
        switch (f) {
        case ItemField::Nazwa1:
            return &config.headerName1;
        case ItemField::Nazwa2:
            return &config.headerName2;
        case ItemField::Symbol:
            return &config.headerSymbol;
        case ItemField::Producent:
            return &config.headerProducer;
        case ItemField::KodProd:
            return &config.headerProducerCode;
        default:
            return nullptr;
        }
    };
    for (const ItemFieldDesign& d : itemFieldDesign()) {
        auto& f = layout.fields[size_t(d.field)];
        f.top = d.top;
        if (const QString* h = header(d.field)) {
            f.caption = *h;
            f.visible = !h->trimmed().isEmpty();
        } else {
            f.caption = QString::fromUtf8(d.caption);
        }
    }
    // A hidden field gives its row to the fields under it in its panel.
    for (const ItemFieldDesign& hidden : itemFieldDesign()) {
        if (layout[hidden.field].visible) continue;
        for (const ItemFieldDesign& d : itemFieldDesign())
            if (d.panel == hidden.panel && d.top > hidden.top)
                layout.fields[size_t(d.field)].top -= kItemRowStep;
    }
    const bool switches[kItemPanelCount] = {config.panelBasic, config.panelProducer,
                                            config.panelQuantity, config.panelPrices};
    int top = 0;
    for (const ItemPanelDesign& p : itemPanelDesign()) {
        const size_t i = size_t(p.panel);
        int height = 0;
        if (switches[i]) {
            height = p.height;
            for (const ItemFieldDesign& d : itemFieldDesign())
                if (d.panel == p.panel && !layout[d.field].visible) height -= kItemRowStep;
        }
        layout.panelHeights[i] = height;
        layout.panelTops[i] = top;
        top += height;
    }
    layout.panelNamesVisible = config.panelVisible;
    layout.buttonRowTop = std::max(top, kSideButtonsBottom);
    const int sum = top + kItemButtonRowHeight;
    layout.windowHeight = sum > kCompactSum ? sum + kWindowMargin : kCompactHeight;
    return layout;
}

} // namespace items
