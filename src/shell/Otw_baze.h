#pragma once
#include <QDialog>
#include <memory>

namespace Ui {
class TOtworz_Baze;
}
namespace store {
class MainState;
}
class QFileSystemModel;
class QModelIndex;

namespace shell {

// The folder picker: a folder tree, the path of the folder shown, the tables of that folder's
// catalogue and a name field for a new folder. Made for one use: the caller sets
// FolderPickMode of the main state, runs the picker through ui::modalRunner() and reads the
// results there. It starts in the main folder's "Dane" and never changes the process's current
// folder.
//
// Modes (FolderPickMode):
// - "Otwórz": BB_Otworz, enabled only on a folder that holds a catalogue, sets
//   CurrentCatalogueFolder (expanded) and CurrentCatalogueName (as shown), switches the item
//   filter off and adds the folder to Lista.txt. The caller opens the catalogue when
//   CurrentCatalogueFolder has changed.
// - "Nowy": BB_Nowy makes the folder named in Edit inside the folder shown and a complete empty
//   catalogue in it, then sets CurrentCatalogueFolder and CurrentCatalogueName to it,
//   DefaultSupplierNr to 0, and adds it to Lista.txt. A name that cannot be made (one that
//   exists already, among others) is refused with a warning and nothing is made.
// - "Otwórz_Nowy" (the first-run wizard's choice of the default catalogue's folder): either
//   BB_Nowy makes the named folder (nothing in it) and leaves PickedFolder = that folder and
//   CreateInPickedFolder = true, or BB_Wybierz, enabled only on a folder that holds a
//   catalogue, leaves PickedFolder = the folder shown, CreateInPickedFolder = false and
//   DefaultSupplierNr = 0. Nothing else in the state changes.
// - "Importuj" (the folder of a catalogue to import): BB_Nowy, for a user with full rights,
//   makes the named folder (nothing in it) as "Nowy" would and leaves PickedFolder = that folder;
//   the caller imports into it.
// - kPickCatalogue (choosing an existing catalogue for a setting): only BB_Wybierz, enabled on a
//   folder that holds a catalogue, leaves PickedFolder = the folder shown. Nothing else changes.
// - any other word: the designed buttons, each with its usual effect.
// In the modes that choose an existing catalogue ("Otwórz", "Otwórz_Nowy", kPickCatalogue)
// BB_Serwer asks for a database server's address and lists the catalogues kept there; the one
// chosen is taken as BB_Otworz or BB_Wybierz takes a folder, its location
// (postgresql://...) standing for the folder.
// The picker ends Accepted when something was chosen. Cancelled (BB_Anuluj, Esc, the close
// button) it ends Rejected with FolderPickMode = "Anuluj" and PickedFolder empty. Folder results
// are in the platform's own form.
class TOtworz_Baze : public QDialog {
    Q_OBJECT
public:
    explicit TOtworz_Baze(store::MainState& state, QWidget* parent = nullptr);
    static const QString kPickCatalogue;
    ~TOtworz_Baze() override;

    // The folder shown (in Label2 and the file list), as browsed to.
    QString shownFolder() const { return shown_; }
    // Browses to `folder` as the user would in the tree; false (nothing changes) when it is no
    // existing folder.
    bool showFolder(const QString& folder);

public Q_SLOTS:
    void FormActivate();
    void BB_OtworzClick();
    void BB_NowyClick();
    void BB_WybierzClick();
    void BB_AnulujClick();
    void BB_SerwerClick();
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void DirectoryListBox1Change(const QModelIndex& current);
    void applyMode();
    void shownFolderChanged();
    bool holdsCatalogue() const;
    // Takes an existing catalogue (a folder's text as shown, or a server location) to open it
    // (as BB_Otworz) or as the picked folder (as BB_Wybierz), and closes the picker.
    void chooseCatalogue(const QString& shown, bool open);
    QString shownText() const;

    store::MainState& state_;
    std::unique_ptr<Ui::TOtworz_Baze> ui_;
    QFileSystemModel* folders_ = nullptr;
    QString shown_;
    bool moving_ = false; // the tree is being moved to a folder shown from code
};

} // namespace shell
