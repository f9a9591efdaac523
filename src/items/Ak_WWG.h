#pragma once
#include "ui/workdialog.h"
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;
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

namespace items {

// The template of one group ("Własności w grupach"): which attributes its items carry and in
// which order. The group is TemplateGroupNr / TemplateGroupName as the caller set them. The
// template is edited in a working table and written to Szablon as a whole on Zapisz.
class TAktualizacja_WWG : public ui::WorkDialog {
    Q_OBJECT
public:
    explicit TAktualizacja_WWG(store::MainState& state, QWidget* parent = nullptr);
    ~TAktualizacja_WWG() override;

    // The working table in use; empty while the dialog is not open.
    QString workTableName() const;

public Q_SLOTS:
    void BB_DodajClick();
    void BB_UsunClick();
    void BB_WyczyscClick();
    void SB_GoraClick();
    void SB_DolClick();
    void BB_KopiujClick();
    void BB_ModyfikacjaClick();
    void Szukaj_CechaChange();

protected:
    void showEvent(QShowEvent* event) override;
    bool filled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QVBoxLayout* buildAttributeColumn();
    QVBoxLayout* buildMoveColumn();
    QVBoxLayout* buildTemplateColumn();
    QVBoxLayout* buildEndColumn();
    void opening() override;
    void fill(int groupNr);
    void emptyWorkList();
    bool save() override;
    void release() override;
    void move(int step);
    void renumber(const QList<int>& entryOrder);
    QList<int> entriesInOrder();
    void updateButtons();
    void leaveSearchField();
    bool ready() const;

    store::MainState& st_;
    int groupNr_;
    QString groupName_;
    bool suppressSearch_ = false;
    std::unique_ptr<engine::Table> attributes_;
    std::unique_ptr<platform::WorkTable> work_;

    QLineEdit* Szukaj_Cecha;
    ui::DbGrid* DBGrid_Cechy;
    ui::DbGrid* DBGrid_Wlasnosci;
    QLabel* Label_Grupa;
    QPushButton *BB_Dodaj, *BB_Usun, *BB_Wyczysc, *BB_Kopiuj, *BB_Modyfikacja;
    QToolButton *SB_Gora, *SB_Dol;
};

} // namespace items
