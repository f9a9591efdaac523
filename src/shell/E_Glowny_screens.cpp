// The main window's commands that only open another screen.
#include "drawings/Akt_rys.h"
#include "drawings/Kart_Gr.h"
#include "drawings/podglad.h"
#include "files/E_Skojarz.h"
#include "files/fileviewer.h"
#include "items/Ak_grupa.h"
#include "items/Ak_wlasn.h"
#include "items/Tow_wlasn.h"
#include "partners/Ak_Panstwo.h"
#include "partners/Ak_firma.h"
#include "partners/Ak_miast.h"
#include "partners/Ak_walut.h"
#include "prices/Akt_ceny.h"
#include "relations/Akt_skl.h"
#include "relations/Akt_wdz.h"
#include "relations/Akt_zam.h"
#include "shell/E_Glowny.h"
#include "shell/Uzytkownicy.h"
#include "shell/detailtabs.h"
#include "ui/dbgrid.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"

namespace shell {

namespace {

template <class Dialog> void runScreen(store::MainState& state, QWidget* parent) {
    Dialog dialog(state, parent);
    ui::modalRunner().run(dialog);
}

} // namespace

void TForm_Pelk::connectScreens() {
    // A menu item with a toolbar button is one action; the button needs no connection of its own.
    struct Command {
        QObject* trigger; // a QAction or a button without a menu item
        void (*run)(store::MainState&, QWidget*);
        bool focusGrid;
    };
    const Command commands[] = {
        {ui_->Wasno1, &runScreen<items::TEkr_Aktualizacja_Grupa>, false},
        {ui_->Wasno2, &runScreen<items::TEkr_Aktualizacja_Wlasnosci>, false},
        {ui_->Firmy1, &runScreen<partners::TEkr_Aktualizacja_Firma>, true},
        {ui_->BitBtn3, &runScreen<partners::TEkr_Aktualizacja_Firma>, true},
        {ui_->Pastwa1, &runScreen<partners::TEkr_Aktualizacja_Panstwo>, false},
        {ui_->Ksikaadresowotelefoniczna1, &runScreen<partners::TEkr_Aktualizacja_Miasto>, false},
        {ui_->Waluty1, &runScreen<partners::TEkr_Aktualizacja_Waluta>, true},
        {ui_->Uytkownicy1, &runScreen<TEkr_Uzytkownicy>, true},
        {ui_->Rysnki1, &runScreen<drawings::TEkr_Rysunki>, false},
        {ui_->Skojarzeniazaplikacjami1, &runScreen<files::TEkr_Skojarzenia>, false},
    };
    for (const Command& c : commands) {
        auto open = guard([this, run = c.run, focusGrid = c.focusGrid] {
            run(state_, this);
            if (focusGrid) focusItemGrid();
        });
        if (auto* action = qobject_cast<QAction*>(c.trigger))
            connect(action, &QAction::triggered, this, open);
        else if (auto* button = qobject_cast<QAbstractButton*>(c.trigger))
            connect(button, &QAbstractButton::clicked, this, open);
    }
    connect(ui_->BB_Duzy, &QAbstractButton::clicked, this,
            guard([this] { runScreen<drawings::TEkr_Podglad>(state_, this); }));
    connect(ui_->SB_Zobacz, &QAbstractButton::clicked, this,
            guard([this] { files::SB_ZobaczClick(state_); }));
}

namespace {

// The editor of each detail page, and whether the item grid takes the focus back afterwards.
struct DetailEditor {
    int page;
    void (*run)(store::MainState&, QWidget*);
    bool focusGrid;
};
const DetailEditor kDetailEditors[] = {
    {DetailTabs::Attributes, &runScreen<items::TEkr_Tow_Wlasnosci>, true},
    {DetailTabs::GoesInto, &runScreen<relations::TEkr_Wchodzi_do>, true},
    {DetailTabs::ConsistsOf, &runScreen<relations::TEkr_Sklada_sie>, true},
    {DetailTabs::Substitutes, &runScreen<relations::TEkr_Zamienniki>, true},
    {DetailTabs::Drawings, &runScreen<drawings::TEkr_Kartoteki_Rysunki>, false},
    // Opens only for a user with the price right.
    {DetailTabs::Prices, &prices::openPurchasePrices, false},
};

} // namespace

bool TForm_Pelk::editDetail(int page) {
    for (const DetailEditor& e : kDetailEditors) {
        if (e.page != page) continue;
        const bool ran =
            controller_->detailTabs().runEditor(page, [this, &e] { e.run(state_, this); });
        if (ran && e.focusGrid) focusItemGrid();
        return ran;
    }
    return false;
}

// The detail grids' double-clicks and the Modyfikuj commands, which show the page first. The
// toolbar's "Składa się" is Modyfikuj3's action.
void TForm_Pelk::connectDetailEditors() {
    const std::tuple<int, ui::DbGrid*, QAction*> editors[] = {
        {DetailTabs::Attributes, ui_->DBGrid_Wlasnosci, ui_->Modyfikuj1},
        {DetailTabs::GoesInto, ui_->DBGrid_Wchodzi, ui_->Modyfikuj2},
        {DetailTabs::ConsistsOf, ui_->DBGrid_Sklada, ui_->Modyfikuj3},
        {DetailTabs::Substitutes, ui_->DBGrid_Zamienniki, ui_->Modyfikuj4},
        {DetailTabs::Drawings, ui_->DBGrid_Rysunek, ui_->Modyfikuj5},
        {DetailTabs::Prices, ui_->DBGrid_Cena, ui_->Modyfikuj6},
    };
    for (const auto& [page, grid, modify] : editors) {
        connect(grid, &ui::DbGrid::doubleClicked, this, guard([this, p = page] { editDetail(p); }));
        connect(modify, &QAction::triggered, this, guard([this, p = page] {
                    showDetailTab(p);
                    editDetail(p);
                }));
    }
}

} // namespace shell
