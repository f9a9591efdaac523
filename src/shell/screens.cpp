// The main window's commands that only open another screen.
#include "items/Ak_grupa.h"
#include "items/Ak_wlasn.h"
#include "partners/Ak_Panstwo.h"
#include "partners/Ak_firma.h"
#include "partners/Ak_miast.h"
#include "partners/Ak_walut.h"
#include "shell/E_Glowny.h"
#include "shell/Uzytkown.h"
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
    };
    for (const Command& c : commands) {
        auto open = [this, run = c.run, focusGrid = c.focusGrid] {
            run(state_, this);
            if (focusGrid) focusItemGrid();
        };
        if (c.action) connect(c.action, &QAction::triggered, this, open);
        if (c.button) connect(c.button, &QAbstractButton::clicked, this, open);
    }
}

} // namespace shell
