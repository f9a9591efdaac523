#pragma once
#include "ui/listdialog.h"

class QCheckBox;

namespace store {
class MainState;
}

namespace drawings {

class PictureBox;

// The catalogue's drawing library ("Rysunki"): each picture kept once with a description, and
// attached to items elsewhere. Beside the list the current row's picture; while a row is added
// or changed the picture group takes a picture from the clipboard or a file, gives it to the
// clipboard or empties it. A picture taken into a row being changed is saved with the row at
// once and stays even when the description's change is abandoned; a new row is written only by
// Zapisz, so abandoning it leaves nothing behind.
class TEkr_Rysunki : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Rysunki(store::MainState& state, QWidget* parent = nullptr);

    PictureBox* picture() const { return picture_; }

public Q_SLOTS:
    // Enter in the search field moves to the list; elsewhere as in every list dialog.
    void BB_EnterClick() override;
    void BB_ZeSchowkaClick();
    void BB_ZPlikuClick();
    void BB_DoSchowkaClick();
    void BB_WyczyscClick();

protected:
    void opened() override;
    void prepareAdding() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;
    void showEditPanel(bool shown) override;

private:
    void buildPictureColumn();
    // Puts `bytes` into the row as its picture (see the class comment for when it is saved).
    void takePicture(const QByteArray& bytes);
    void showCurrentPicture();
    void enablePictureGroup(bool on);

    store::MainState& st_;
    QLineEdit* Edit_Opis = nullptr;
    PictureBox* picture_ = nullptr;
    QCheckBox* fit_ = nullptr;
    QList<QWidget*> pictureControls_;
    QByteArray editedPicture_; // the picture of the row being added or changed
};

} // namespace drawings
