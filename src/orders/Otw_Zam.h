#pragma once
#include <QDate>
#include <QDialog>
#include <memory>

namespace Ui {
class TEkr_Otworz_Zamowienie;
}
namespace store {
class MainState;
}

namespace orders {

enum class PrintTarget;

// The order list ("Zamówienia"): the orders of one kind of the default catalogue, narrowed by
// completion and by a period of issue dates, sorted and searched, with the lines of the current
// order below. From here orders are created, opened in the editor, deleted, marked completed
// and printed. It works on the main window's order tables (MainState::TDokumenty, TDok_Dane).
//
// The main window keeps one list for the whole run, shown and hidden (hidden while an order is
// open in the editor); the menu's "Otwórz" runs another one modally.
class TEkr_Otworz_Zamowienie : public QDialog {
    Q_OBJECT
public:
    // `mainWindow` is where the order editor shows an opened order.
    TEkr_Otworz_Zamowienie(store::MainState& state, QWidget* mainWindow, QWidget* parent = nullptr);
    ~TEkr_Otworz_Zamowienie() override;

    // The menu's "Od klienta" / "Do dostawcy": any preset forgotten, the kind chosen (0 client
    // orders, 1 supplier orders), the list shown with its caption.
    void showKind(int kindIndex);
    // The companies dialog's buttons: shows the list on state.OrderListPreset.
    void showPreset();

    int kindIndex() const;
    QDate periodFrom() const { return from_; }
    QDate periodTo() const { return to_; }
    QString filterText() const;

public Q_SLOTS:
    void BB_OtworzClick();
    void BB_UsunClick();
    void BB_DodajClick();
    void BB_ZrealizowaneClick(); // marks the current order completed or not completed
    void BB_WydrukClick();
    void BB_PodgladClick();
    void BB_PDFClick();
    void BB_OdswiezClick();
    void BB_PowrotClick();
    void BB_Okres_OdClick();
    void BB_Okres_DoClick();
    void Combo_PokazChange();
    void Combo_RodzajChange();
    void Combo_Wyswietlaj_wgChange();
    void Edit_SzukajChange();
    void DBGrid_ZamowieniaDblClick();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // Esc: "Powrót"
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setUpGrids();
    void connectControls();
    void activate();
    void applyFilter();
    void applySort();
    void showPeriod();
    void emptySearchSilently();
    void updateButtons();
    void print(PrintTarget target);
    // The editor took the order: the list steps aside.
    void leaveForEditor();
    qint64 currentOrder() const;

    store::MainState& st_;
    QWidget* mainWindow_;
    std::unique_ptr<Ui::TEkr_Otworz_Zamowienie> ui_;
    QDate from_, to_;
    bool quietSearch_ = false; // the list itself changes the search text
};

// The main window's long-lived list, for the screens that show it (the companies dialog).
void setMainOrderList(TEkr_Otworz_Zamowienie* list);
TEkr_Otworz_Zamowienie* mainOrderList();

// Shows the main window's list on state.OrderListPreset; false when there is no such list.
bool showOrderListPreset(store::MainState& state);

} // namespace orders
