#pragma once
#include "ui/workdialog.h"
#include <QList>
#include <memory>

class QCheckBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
namespace engine {
class Table;
}
namespace platform {
class WorkTable;
}
namespace store {
class MainState;
}
namespace ui {
class DbGrid;
}

namespace drawings {

class PictureBox;

// The drawings of one item ("Obiekt / Rysunki"), chosen from the library on a working copy: the
// item's drawings on the left, the whole library on the right. Works on the item handed over in
// CurrentItemNr / CurrentItemName when the dialog was made; Zapisz replaces all of its Grafika
// rows.
class TEkr_Kartoteki_Rysunki : public ui::WorkDialog {
    Q_OBJECT
public:
    explicit TEkr_Kartoteki_Rysunki(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Kartoteki_Rysunki() override;

    int itemNr() const { return itemNr_; }
    QString workTableName() const; // empty while the dialog is not open
    // The drawings on the working copy, in their order: drawing number and description.
    QList<int> chosenDrawings() const;
    QStringList chosenDescriptions() const;
    ui::DbGrid* library() const { return library_; }

public Q_SLOTS:
    void BB_DodajClick();
    void BB_UsunClick();
    void BB_WyczyscClick();
    void BB_RysunkiClick();

protected:
    bool filled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QGroupBox* buildChosenSide();
    QGroupBox* buildLibrarySide();
    QHBoxLayout* buildButtonRow();
    struct Chosen {
        int entry = 0; // Grafika_Nr of the working row
        int drawing = 0;
        QString description;
    };

    void opening() override;
    bool save() override;
    void release() override;
    // The working rows read again into the grid, the row of `entry` selected (0: the first).
    void reloadChosen(int entry = 0);
    void updateButtons();
    void showChosenPicture();
    void showLibraryPicture();
    QByteArray pictureOf(int drawing);
    void emptySearch();

    store::MainState& st_;
    int itemNr_ = 0;
    QString itemName_;
    std::unique_ptr<platform::WorkTable> work_;
    std::unique_ptr<engine::Table> libraryTable_;
    std::unique_ptr<engine::Table> pictures_; // the library by drawing number
    QList<Chosen> chosen_;
    bool suppressSearch_ = false;

    QLabel* Label_Obiekt;
    QTableWidget* chosenGrid_;
    PictureBox* chosenPicture_;
    QCheckBox* chosenFit_;
    QLineEdit* search_;
    ui::DbGrid* library_;
    PictureBox* libraryPicture_;
    QCheckBox* libraryFit_;
    QPushButton* BB_Dodaj;
    QPushButton* BB_Usun;
    QPushButton* BB_Wyczysc;
    QPushButton* BB_Zapisz;
    QPushButton* BB_Anuluj;
    QPushButton* BB_Rysunki;
};

} // namespace drawings
