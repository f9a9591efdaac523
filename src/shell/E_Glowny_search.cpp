// The main window's filter and query commands, which exclude each other.
#include "search/E_Query.h"
#include "search/Filtr.h"
#include "shell/E_Glowny.h"
#include "ui/modalrunner.h"

namespace shell {

namespace {

// The menu items with their toolbar buttons.
void enableFilterCommands(MainView& view, bool on) {
    view.setCommandEnabled(QStringLiteral("Filtr1"), on);
}

void enableQueryCommands(MainView& view, bool on) {
    view.setCommandEnabled(QStringLiteral("Zapytanie1"), on);
}

} // namespace

void TForm_Pelk::BB_FiltrClick() {
    search::TEkr_Filtr::Outcome outcome;
    {
        search::TEkr_Filtr dialog(state_, this);
        ui::modalRunner().run(dialog);
        outcome = dialog.outcome();
    }
    if (outcome == search::TEkr_Filtr::Outcome::Applied) {
        setStatusText(QStringLiteral("ustawiono filtr"));
        enableQueryCommands(*this, false);
    } else if (outcome == search::TEkr_Filtr::Outcome::Cancelled) {
        setStatusText({});
        enableQueryCommands(*this, true);
    }
    focusItemGrid();
    if (state_.Query.queryActive) {
        controller_->tableMode();
        // Table mode empties the status line; the filter's word belongs there.
        if (outcome == search::TEkr_Filtr::Outcome::Applied)
            setStatusText(QStringLiteral("ustawiono filtr"));
    }
    if (state_.TFTowar.isOpen()) setCounter(state_.TFTowar.recordCount());
}

void TForm_Pelk::BB_ZapytanieClick() {
    search::TEkr_Query::Outcome outcome;
    {
        search::TEkr_Query dialog(state_, this);
        ui::modalRunner().run(dialog);
        outcome = dialog.outcome();
    }
    if (outcome == search::TEkr_Query::Outcome::Executed ||
        outcome == search::TEkr_Query::Outcome::Loaded)
        enableFilterCommands(*this, false);
    else if (outcome == search::TEkr_Query::Outcome::Cancelled)
        enableFilterCommands(*this, true);
    repaint();
    if (state_.Query.queryActive)
        controller_->queryMode();
    else
        controller_->tableMode();
    focusItemGrid();
}

} // namespace shell
