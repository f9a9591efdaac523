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
    struct Command {
        QAction* action;
        QAbstractButton* button;
        void (*run)(store::MainState&, QWidget*);
        bool focusGrid;
    };
    const Command commands[] = {
        {ui_->Wasno1, ui_->SpeedButton10, &runScreen<items::TEkr_Aktualizacja_Grupa>, false},
        {ui_->Wasno2, ui_->SpeedButton11, &runScreen<items::TEkr_Aktualizacja_Wlasnosci>, false},
        {ui_->Firmy1, ui_->SpeedButton13, &runScreen<partners::TEkr_Aktualizacja_Firma>, true},
        {nullptr, ui_->BitBtn3, &runScreen<partners::TEkr_Aktualizacja_Firma>, true},
        {ui_->Pastwa1, ui_->SpeedButton14, &runScreen<partners::TEkr_Aktualizacja_Panstwo>, false},
        {ui_->Ksikaadresowotelefoniczna1, ui_->SpeedButton15,
         &runScreen<partners::TEkr_Aktualizacja_Miasto>, false},
        {ui_->Waluty1, ui_->SpeedButton16, &runScreen<partners::TEkr_Aktualizacja_Waluta>, true},
        {ui_->Uytkownicy1, nullptr, &runScreen<TEkr_Uzytkownicy>, true},
        {ui_->Rysnki1, ui_->SpeedButton12, &runScreen<drawings::TEkr_Rysunki>, false},
        {ui_->Skojarzeniazaplikacjami1, nullptr, &runScreen<files::TEkr_Skojarzenia>, false},
    };
    for (const Command& c : commands) {
        auto open = [this, run = c.run, focusGrid = c.focusGrid] {
            run(state_, this);
            if (focusGrid) focusItemGrid();
        };
        if (c.action) connect(c.action, &QAction::triggered, this, open);
        if (c.button) connect(c.button, &QAbstractButton::clicked, this, open);
    }
    connect(ui_->BB_Duzy, &QAbstractButton::clicked, this,
            [this] { runScreen<drawings::TEkr_Podglad>(state_, this); });
    connect(ui_->SB_Zobacz, &QAbstractButton::clicked, this,
            [this] { files::SB_ZobaczClick(state_); });
}

// The detail grids' double-clicks and the Modyfikuj commands, which show the page first.
void TForm_Pelk::connectDetailEditors() {
    struct Editor {
        int page;
        ui::DbGrid* grid;
        QAction* modify;
        void (*run)(store::MainState&, QWidget*);
        bool focusGrid; // the item grid takes the focus back afterwards
    };
    const Editor editors[] = {
        {DetailTabs::Attributes, ui_->DBGrid_Wlasnosci, ui_->Modyfikuj1,
         &runScreen<items::TEkr_Tow_Wlasnosci>, true},
        {DetailTabs::GoesInto, ui_->DBGrid_Wchodzi, ui_->Modyfikuj2,
         &runScreen<relations::TEkr_Wchodzi_do>, true},
        {DetailTabs::ConsistsOf, ui_->DBGrid_Sklada, ui_->Modyfikuj3,
         &runScreen<relations::TEkr_Sklada_sie>, true},
        {DetailTabs::Substitutes, ui_->DBGrid_Zamienniki, ui_->Modyfikuj4,
         &runScreen<relations::TEkr_Zamienniki>, true},
        {DetailTabs::Drawings, ui_->DBGrid_Rysunek, ui_->Modyfikuj5,
         &runScreen<drawings::TEkr_Kartoteki_Rysunki>, false},
        // Opens only for a user with the price right.
        {DetailTabs::Prices, ui_->DBGrid_Cena, ui_->Modyfikuj6, &prices::openPurchasePrices, false},
    };
    for (const Editor& e : editors) {
        auto edit = [this, e] {
            const bool ran =
                controller_->detailTabs().runEditor(e.page, [this, &e] { e.run(state_, this); });
            if (ran && e.focusGrid) focusItemGrid();
        };
        connect(e.grid, &ui::DbGrid::doubleClicked, this, edit);
        connect(e.modify, &QAction::triggered, this, [this, page = e.page, edit] {
            showDetailTab(page);
            edit();
        });
    }
}

} // namespace shell
