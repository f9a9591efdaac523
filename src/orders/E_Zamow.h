#pragma once
#include "orders/orderdocs.h"
#include "orders/ordereditorentry.h"
#include "orders/orderprinting.h"
#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>

namespace Ui {
class TEkr_Zamowienie;
}
namespace engine {
class Table;
}
namespace store {
class MainState;
}
class QLineEdit;

namespace orders {

class LineBuffer;
class OrderHost;

// The order editor: one order's addressee and recipient, number, dates, payment, transport, the
// "Dotyczy" and "Uwagi" lines and its lines, kept in a line buffer until "Zapisz". The window is
// modeless and lives as long as the main state; the main window's document tab shows the same
// lines. While an order is open its Dok_Head row is held in editing, so no other installation
// can change or delete it.
class TEkr_Zamowienie : public QDialog {
    Q_OBJECT
public:
    TEkr_Zamowienie(store::MainState& st, QWidget* parent = nullptr);
    ~TEkr_Zamowienie() override;

    void setHost(OrderHost* host) { host_ = host; }
    // Loads the order `dokNr` of the default catalogue; false, after the box said why, when it
    // could not be opened (no line buffer, locked elsewhere). Nothing is then left in editing.
    bool openOrder(qint64 dokNr, EditorOpen how);
    bool isOrderOpen() const { return dokNr_ != 0; }
    qint64 orderNr() const { return dokNr_; }
    bool changed() const { return changed_; }
    bool readOnly() const { return readOnly_; }
    LineBuffer& buffer() { return *buffer_; }

    // The closing rules with their questions; false when the close stopped (a refused or failed
    // write), the order then stays open with its values.
    bool closeOrder();
    // Writes the order; `testEmpty` refuses an order without lines. False when refused.
    bool writeOrder(bool testEmpty);

    // Commands shared with the main window's document tab.
    void showWholeDocument();
    void showOnTab();
    void addLineFromItem();
    void insertTypedLine();
    void editLine(bool testEmpty);
    void deleteLine();
    void print(PrintTarget target);

public Q_SLOTS:
    void BB_ZapiszClick();
    void BB_ZamknijClick();
    void BB_Firma1Click();
    void BB_Firma2Click();
    void BB_Kontakt1Click();
    void BB_Kontakt2Click();
    void BB_Data_WystClick();
    void BB_Data_RealizClick();
    void Edit_NumerExit();

Q_SIGNALS:
    void orderClosed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Party {
        qint64 nr = 0;
        QString name, street, town, contact;
    };
    void buildButtons();
    void connectControls();
    void applyRights();
    void clearFields();
    void loadHeader(const OrderHeader& h);
    void prepareNew();
    void loadOwnerAsRecipient();
    Party company(qint64 nr, bool townFromCities);
    QString contactText(qint64 contactNr);
    void showParty(bool addressee, const Party& p);
    Party shownParty(bool addressee) const;
    OrderHeader collectHeader() const;
    void setChanged() { changed_ = true; }
    void buffersChanged();
    void finishClose();
    void refreshSettings();
    QList<QLineEdit*> textLines() const;

    store::MainState& st_;
    std::unique_ptr<Ui::TEkr_Zamowienie> ui_;
    std::unique_ptr<LineBuffer> buffer_;
    std::unique_ptr<engine::Table> heads_;
    OrderHost* host_ = nullptr;
    qint64 dokNr_ = 0;
    int kind_ = kFromClient;
    WriteMode mode_ = WriteMode::Edit;
    qint64 loadedNumber_ = 0;
    qint64 addresseeNr_ = 0;
    qint64 recipientNr_ = 0;
    QString pickedRecipientName_;
    bool changed_ = false;
    bool readOnly_ = false;
    bool loading_ = false;
};

namespace testing {
// Stands in for printOrder while set, so a test sees what the editor hands to the printout.
using OrderPrinter = std::function<bool(QWidget*, store::MainState&, qint64, PrintTarget)>;
void setOrderPrinter(OrderPrinter printer);
} // namespace testing

// The main state's one order editor, made on first use.
TEkr_Zamowienie& orderEditor(store::MainState& st, QWidget* parent = nullptr);
// The editor when one was made, else nullptr.
TEkr_Zamowienie* existingOrderEditor(store::MainState& st);

} // namespace orders
