// The main window's start-up screens: the first-run wizard and the login.
#include "shell/E_Glowny.h"
#include "shell/Haslo.h"
#include "shell/czaro.h"
#include "ui/errorbox.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"

namespace shell {

void TForm_Pelk::connectStartScreens() {
    controller_->runWizard = [this] {
        TEkr_Czarodziej wizard(state_, this);
        return ui::modalRunner().run(wizard) == QDialog::Accepted;
    };
    controller_->runLogin = [this] {
        state_.StartupDone = false;
        // Users that cannot be read end the start like a login given up.
        ui::guarded([this] {
            TEkr_Haslo login(state_, this);
            login.setController(controller_.get());
            ui::modalRunner().run(login);
        });
    };
    command(ui_->Kreatortest1, &TForm_Pelk::Kreatortest1Click);
}

void TForm_Pelk::Kreatortest1Click() {
    controller_->wizardAgain();
}

} // namespace shell
