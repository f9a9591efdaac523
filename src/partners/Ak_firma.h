#pragma once
#include "ui/listdialog.h"
#include <memory>
#include <optional>

class QComboBox;
class QLineEdit;
class QStackedWidget;
class QTabWidget;

namespace Ui {
class FirmaPages;
}

namespace store {
class MainState;
}
namespace ui {
class DbText;
class FieldLink;
} // namespace ui

namespace partners {

// The companies of a catalogue ("Firmy"): producers, suppliers, customers and the owner. Kept
// here, with their contacts, and picked here by every screen that needs a company
// through pickCompany (CompanyPickMode set meanwhile; the choice left in PickedCompanyNr,
// PickedCompanyName and the company block PickedCompanyBlock). Works on the folder in CompanyFolder
// when the caller set one (the default catalogue for orders, offers and preferences), otherwise on
// the current catalogue.
//
// While browsing the pages "Adres" and "Dodatkowe" show the current company read-only; while a
// company is added or changed the edit boxes take their place.
class TEkr_Aktualizacja_Firma : public ui::ListDialog {
    Q_OBJECT
public:
    explicit TEkr_Aktualizacja_Firma(store::MainState& state, QWidget* parent = nullptr);
    ~TEkr_Aktualizacja_Firma() override;

    // The contacts of the current company, on the page "Kontakty".
    engine::Table& contacts() const { return *contacts_; }
    QString folder() const { return folder_; }

    // The lines "Do schowka" puts on the clipboard for the current company and contact.
    QString clipboardText() const;

public Q_SLOTS:
    void BB_KontaktyClick();  // the contacts dialog for the current company
    void BB_WWWClick();       // "Połącz ze stroną WWW"
    void BB_EmailClick();     // "Wyślij e-mail"
    void BB_SchowekClick();   // "Do schowka"
    void BB_PanstwoClick();   // "..." beside "Państwo :": the countries list
    void BB_MiastoClick();    // "..." beside "Miejscowość :": the cities list
    void ComboBox_WgChange(); // "Wyświetlaj w/g :"
    // The company's client or supplier orders, in the main window's order list.
    void BB_Od_KlientaClick();
    void BB_Do_DostawcyClick();
    void BB_EnterClick() override;
    void BB_EscClick() override;

protected:
    void opened() override;
    void closing() override;
    void clearResults() override;
    void storeResults() override;
    void prepareAdding() override;
    void prepareChanging() override;
    bool checkInput() override;
    bool writeRow() override;
    void saved() override;
    void showEditPanel(bool shown) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Box {
        QLineEdit* edit;
        QString field;
        int page; // 0 "Adres", 1 "Dodatkowe"
    };
    void buildOrderChoice();
    void showCompanyOrders(int kindIndex);
    void buildPages();
    void bindBox(const QString& name, const QString& field, int page);
    void setupListButtons();
    void setupContactsPage();
    void updateContactButtons();
    // Switches between the pages without letting the focus leave the boxes on the way.
    void showPage(int page);
    void parkFocus();
    void pageShown(int page);
    QLineEdit* box(const QString& field) const;
    // The amount typed in a box; nullopt (after the message) when it is no number.
    std::optional<double> amount(QLineEdit* edit, const QString& message);
    QString configuredBrowser() const;

    store::MainState& st_;
    QString folder_;
    std::unique_ptr<engine::Table> contacts_;
    std::unique_ptr<Ui::FirmaPages> ui_;
    QList<Box> boxes_;
    QTabWidget* pages_ = nullptr;
    QList<QStackedWidget*> stacks_;     // view or edit boxes, one per page
    QList<ui::DbText*> texts_;          // the view of the current company
    QList<ui::FieldLink*> amountLinks_; // its amounts, shown with "PLN"
    ui::DbGrid* contactsGrid_ = nullptr;
    QComboBox* order_ = nullptr;
    QLineEdit* country_ = nullptr;
    QLineEdit* city_ = nullptr;
    // The numbers of the country and city picked from their lists, and the names they belong
    // to: a name typed over afterwards no longer has a number.
    int countryNr_ = 0, cityNr_ = 0;
    QString countryNrName_, cityNrName_;
};

struct PickedCompany {
    int nr = 0;
    QString name;      // Firma_Skrot
    QStringList block; // the company block, as PickedCompanyBlock
};

// Picks a company in the companies dialog, its search field starting with `typed`, from `folder`
// (empty: the current catalogue): the company chosen, or nothing when the list was closed
// without a choice (PickedCompanyBlock then keeps the company picked before).
std::optional<PickedCompany> pickCompany(store::MainState& state, QWidget* parent,
                                         const QString& typed, const QString& folder = {});

} // namespace partners
