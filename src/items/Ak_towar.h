#pragma once
#include "items/itemformlayout.h"
#include <QDialog>
#include <array>
#include <functional>
#include <memory>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Ui {
class TEkr_Aktualizacja_Towar;
}

namespace store {
class MainState;
}

namespace items {

class ItemRecords;
struct ItemText;
struct NamedRow;

// The item editor ("Obiekt"): one item of the current catalogue created, changed or created as a
// copy of the current one, as ItemEditMode says when it opens. The fields are plain edit boxes
// filled from the item and written back in one step on saving; the item worked on is the one
// whose number was taken when the editor opened, whatever the item list does meanwhile.
class TEkr_Aktualizacja_Towar : public QDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Towar(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Aktualizacja_Towar() override;

    bool changed() const { return changed_; }
    bool stored() const { return stored_; } // the item exists in the catalogue
    int itemNr() const { return itemNr_; }  // the stored item's number; 0 before the first save
    const ItemFormLayout& formLayout() const { return layout_; }
    QWidget* control(ItemField field) const { return controls_[size_t(field)]; }

    // Esc and the close box: as Powrót.
    void reject() override;

public Q_SLOTS:
    void FormShow(); // the opening: mode, fields, layout, focus
    void BB_ZapiszClick();
    void BB_PowrotClick();
    void BB_AnulujClick();
    void BB_GrupyClick();
    void BB_ProducenciClick();
    void BB_WlasnosciClick();
    void BB_CenyClick();
    void BB_WchodziClick();
    void BB_SkladaClick();
    void BB_ZamiennikiClick();
    void BB_RysunkiClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildForm();
    void buildPanels();
    void buildFields();
    QWidget* makeControl(ItemField field, QWidget* panel);
    void buildLookupButtons();
    void connectFrameButtons();
    void applyLayout();
    void showItem(const ItemText& item);
    ItemText typedItem() const;
    bool save();
    void closeEditor();
    void finish(int result);

    void groupEnter();
    void groupLeft();
    void openGroupList();
    void setGroup(const NamedRow& group);
    void producerEnter();
    void producerLeft();
    void openCompanyList();
    void setProducer(const NamedRow& company);
    bool prefillName1();
    void resolveTyped();

    void followingScreen(const std::function<void()>& run);
    void placeItemTable();
    // The focus into a field once the current event is over (lookups run while the focus is
    // leaving a field).
    void focusLater(ItemField field);
    bool fieldKey(ItemField field, int key);

    store::MainState& st_;
    std::unique_ptr<ItemRecords> records_;
    std::unique_ptr<Ui::TEkr_Aktualizacja_Towar> ui_;
    ItemFormLayout layout_;

    std::array<QWidget*, kItemFieldCount> controls_{};
    std::array<QLabel*, kItemFieldCount> labels_{};
    std::array<QFrame*, kItemPanelCount> panels_{};
    std::array<QLabel*, kItemPanelCount> panelNames_{};
    QLineEdit* Edit_Grupa = nullptr;
    QLineEdit* Edit_Towar = nullptr;
    QLineEdit* Edit_Nazwa2 = nullptr;
    QLineEdit* Edit_Kod_Tow = nullptr;
    QLineEdit* Edit_Producent = nullptr;
    QLineEdit* Edit_Kod_Prod = nullptr;
    QLineEdit* Edit_Ilosc = nullptr;
    QLineEdit* Combo_jm = nullptr;
    QComboBox* Combo_VAT = nullptr;
    QLineEdit* Edit_Cena = nullptr;
    QLineEdit* Edit_Cena_A = nullptr;
    QLineEdit* Edit_Cena_B = nullptr;
    QLineEdit* Edit_Cena_C = nullptr;
    QPushButton* BB_Grupy = nullptr;
    QPushButton* BB_Producenci = nullptr;
    QFrame* Panel_Przyciski = nullptr;

    QString mode_;         // ItemEditMode as the last opening found it
    int openedOnNr_ = 0;   // the item list's current item when the editor opened
    int itemNr_ = 0;       // the stored item
    bool changed_ = false; // any typing or choice
    bool groupTyped_ = false;
    bool producerTyped_ = false;
    bool stored_ = false;
    bool opened_ = false;  // the first opening has run
    bool closing_ = false; // done() is on its way: leaving fields looks nothing up
    int groupNr_ = 0;
    int producerNr_ = 0;
};

} // namespace items
