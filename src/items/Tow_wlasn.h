#pragma once
#include "ui/workdialog.h"
#include <memory>

class QLabel;
class QPushButton;
class QTableView;
namespace platform {
class WorkTable;
}
namespace store {
class MainState;
}

namespace items {

class ValueLines;

// The attribute values of one item ("Obiekt / Własności"): one line per attribute of its group's
// template, in template order, each value typed or picked and checked by the attribute's type.
// Works on the item handed over in CurrentItemNr / CurrentItemName when the dialog was made,
// whatever the item list does meanwhile. Zapisz replaces all of the item's Opis rows.
class TEkr_Tow_Wlasnosci : public ui::WorkDialog {
    Q_OBJECT
public:
    explicit TEkr_Tow_Wlasnosci(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Tow_Wlasnosci() override;

    int itemNr() const { return itemNr_; }
    // The working table in use; empty while the dialog is not open.
    QString workTableName() const;

    // A value typed for line `row` (0-based, in template order) and the line stored, as when
    // the user leaves the line: checked by its type, refused values give their message and the
    // line keeps its value. True when the value was taken.
    bool storeLine(int row, const QString& typed);
    // Lines as shown: name, type word, value.
    int lineCount() const;
    QStringList line(int row) const;

public Q_SLOTS:
    void BB_WlasnosciClick();
    void BB_WartosciClick();

protected:
    bool filled() const override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupValueGrid();
    void opening() override;
    bool save() override;
    void release() override;
    void editingBegan();
    void updateButtons();

    store::MainState& st_;
    int itemNr_ = 0;
    int groupNr_ = 0;
    QString groupName_;
    bool storing_ = false;
    std::unique_ptr<platform::WorkTable> work_;
    ValueLines* lines_;

    QLabel* Label_Obiekt;
    QLabel* Label_Grupa;
    QTableView* grid_;
    QPushButton* BB_Wartosci;
};

} // namespace items
