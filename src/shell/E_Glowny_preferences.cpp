// The preferences dialog from the main window, and the window taking what it saved.
#include "preferences/Preferencje.h"
#include "shell/E_Glowny.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"

namespace shell {

void TForm_Pelk::connectPreferences() {
    command(ui_->Konfiguracja2, &TForm_Pelk::Konfiguracja2Click);
}

void TForm_Pelk::Konfiguracja2Click() {
    if (!state_.fullRights()) return;
    bool saved = false, display = false;
    {
        preferences::TEkr_Preferencje dialog(state_, this);
        ui::modalRunner().run(dialog);
        saved = dialog.saved();
        display = dialog.displaySaved();
    }
    if (saved) preferencesSaved(display);
}

// The new captions, panels, columns and home currency are taken at once; the default catalogue
// waits for the next start, since the orders were bound to it at start-up.
void TForm_Pelk::preferencesSaved(bool display) {
    if (state_.TPelk.isOpen()) {
        state_.TPelk.refreshIfChanged();
        state_.HomeCurrencyNr = state_.TPelk.asInteger(QStringLiteral("Pelk_Waluta_Nr"));
    }
    if (!display || !state_.StartupDone || state_.CurrentCatalogueFolder.isEmpty()) return;
    const int page = detailTab();
    Odczytaj_Konfig_I();
    showDetailTab(page);
    BB_Odswiez_GridyClick();
}

} // namespace shell
