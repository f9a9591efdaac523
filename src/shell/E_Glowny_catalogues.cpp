// The main window's commands that move between catalogues: the folder picker in its modes, the
// list of known catalogues and the favourites.
#include "shell/E_Glowny.h"
#include "shell/Otw_baze.h"
#include "shell/Raport_1.h"
#include "shell/cataloguelists.h"
#include "ui/modalrunner.h"
#include "ui_E_Glowny.h"

namespace shell {

void TForm_Pelk::connectCatalogueCommands() {
    command(ui_->N1, &TForm_Pelk::N1Click); // also the toolbar's SpeedButton3
    command(ui_->Nowabaza1, &TForm_Pelk::Nowabaza1Click);
    command(ui_->Usubaz1, &TForm_Pelk::Usubaz1Click);
    command(ui_->Zachowajjako1, &TForm_Pelk::Zachowajjako1Click);
    command(ui_->SpeedButton4, &TForm_Pelk::SpeedButton4Click);
    command(ui_->Dodajdoulubionych1, &TForm_Pelk::Dodajdoulubionych1Click);
    command(ui_->Porzdkuj1, &TForm_Pelk::Porzdkuj1Click);
    connectImportCommand();
}

void TForm_Pelk::BazaClick() {
    const QString before = state_.CurrentCatalogueFolder;
    {
        TOtworz_Baze picker(state_, this);
        ui::modalRunner().run(picker);
    }
    if (state_.FolderPickMode != QLatin1String("Anuluj") && state_.CurrentCatalogueFolder != before)
        catalogueChosen();
    focusItemGrid();
}

void TForm_Pelk::catalogueChosen() {
    // The title names the catalogue chosen even when opening it fails half-way.
    setTitle(controller_->title());
    OTWIERANIE_NOWYCH_BAZ(); // ends in table mode
    {
        QSignalBlocker block(ui_->Ulubione);
        ui_->Ulubione->setCurrentIndex(-1);
        if (ui_->Ulubione->isEditable()) ui_->Ulubione->clearEditText();
    }
    Czy_Baza_Pusta();
}

void TForm_Pelk::N1Click() {
    state_.FolderPickMode = QStringLiteral("Otwórz");
    BazaClick();
}

void TForm_Pelk::Nowabaza1Click() {
    // A new catalogue is a change to the data: not for a user who may only browse.
    if (!controller_->mayCreateCatalogues()) return;
    state_.FolderPickMode = QStringLiteral("Nowy");
    BazaClick();
}

void TForm_Pelk::Usubaz1Click() {
    state_.FolderPickMode = QStringLiteral("Usuń");
    BazaClick();
}

void TForm_Pelk::Zachowajjako1Click() {
    state_.FolderPickMode = QStringLiteral("Zachowaj jako");
    BazaClick();
}

void TForm_Pelk::SpeedButton4Click() {
    if (!fromList_) fromList_ = new TEkr_Otworz_z_listy(state_, this);
    if (ui::modalRunner().run(*fromList_) == QDialog::Accepted) catalogueChosen();
    focusItemGrid();
}

void TForm_Pelk::Dodajdoulubionych1Click() {
    if (addFavourite(state_)) setFavourites(favouriteFolders(state_));
}

void TForm_Pelk::Porzdkuj1Click() {
    if (removeFavourite(state_)) setFavourites(favouriteFolders(state_));
}

} // namespace shell
