#pragma once
#include <QDialog>
#include <memory>

class QCheckBox;
class QLabel;
class QPushButton;
class QScrollArea;
namespace engine {
class Table;
}
namespace store {
class MainState;
}

namespace drawings {

class PictureBox;

// The picture preview ("Podgląd rysunku"): the drawing selected in the main window's list of the
// current item's drawings (TGrafika), as large as the window allows. Its navigator moves that
// list, so the main window stands on the drawing last seen.
class TEkr_Podglad : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Podglad(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Podglad() override;

    PictureBox* picture() const { return picture_; }

public Q_SLOTS:
    void BB_PowrotClick();
    // The navigator: first, prior, next, last drawing of the item.
    void NB_FirstClick();
    void NB_PriorClick();
    void NB_NextClick();
    void NB_LastClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    QWidget* buildNavigator();
    bool listOpen() const;
    void showCurrent();
    void fitChanged(bool on);

    store::MainState& st_;
    std::unique_ptr<engine::Table> pictures_;
    QLabel* Label_Obiekt;
    QLabel* Label_Rysunek;
    QScrollArea* area_;
    PictureBox* picture_;
    QCheckBox* fit_;
    QPushButton* first_;
    QPushButton* prior_;
    QPushButton* next_;
    QPushButton* last_;
};

} // namespace drawings
