#pragma once
#include "relations/relationlist.h"
#include "ui/workdialog.h"
#include <memory>

namespace Ui {
class RelationDialog;
}
namespace engine {
class Table;
}
namespace store {
class MainState;
}

namespace relations {

class RelationRows;

// The editor of one relation of one item: the item's related items in a working list, the other
// items of the catalogue in a searchable list to add from, and Zapisz replacing the stored
// relations as a whole. The item is CurrentItemNr / CurrentItemName as the caller set them; the
// editor stays with it whatever the item list does meanwhile.
class RelationDialog : public ui::WorkDialog {
    Q_OBJECT
public:
    ~RelationDialog() override;

    int itemNr() const { return list_->itemNr(); }
    QString workTableName() const { return list_->workTableName(); }

    // The working list as shown: name, symbol, producer code, pieces or kind.
    int lineCount() const;
    QStringList line(int row) const;
    // A value typed into line `row`'s last column and the line stored, as when the user leaves
    // the cell; a refused value gives its message and the line keeps what it had.
    bool storeValue(int row, const QString& typed);
    // Makes line `row` the current one.
    void selectLine(int row);

public Q_SLOTS:
    void BB_DodajClick();
    void BB_UsunClick();
    void BB_WyczyscClick();
    void BB_NowyClick();
    void Edit_Szukaj_TowarChange();
    void Wyswietlaj_wgChange(int entry);

protected:
    RelationDialog(Relation relation, store::MainState& state, QWidget* parent);

    bool filled() const override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void setupWorkingList();
    void setupItemList();
    void connectControls();
    void opening() override;
    bool save() override;
    void release() override;
    void afterListChange();
    void updateButtons();
    void leaveSearchField();
    void placeItemTable();
    bool ready() const;

    store::MainState& st_;
    QString itemName_;
    std::unique_ptr<RelationList> list_;
    std::unique_ptr<engine::Table> items_;
    std::unique_ptr<Ui::RelationDialog> ui_;
    RelationRows* rows_ = nullptr;
    bool suppressSearch_ = false;
};

} // namespace relations
