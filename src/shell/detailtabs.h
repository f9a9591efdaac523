#pragma once
#include <QByteArray>
#include <QObject>
#include <functional>

namespace store {
class MainState;
}
namespace engine {
class DataSet;
}

namespace shell {

class MainView;

// The detail notebook under the item list, below the widgets: which table objects each page
// opens, their looked-up fields, their following the current item of TFTowar (which in query
// mode follows QTowar), and "Zobacz" on the attribute values page. Only the visible page's
// tables are open, so moving through the list re-reads at most one page.
class DetailTabs : public QObject {
    Q_OBJECT
public:
    enum Page {
        General = 0,
        Attributes = 1,
        GoesInto = 2,
        ConsistsOf = 3,
        Substitutes = 4,
        Drawings = 5,
        Notes = 6,
        Prices = 7,
        Order = 8,
        Offers = 9,
        Lending = 10,
    };

    // The table objects must still be closed: their looked-up fields are declared here.
    DetailTabs(store::MainState& state, MainView& view, QObject* parent = nullptr);

    // TNotebookChange: every detail table closed, then the tables of `page` opened.
    void tabChanged(int page);
    // Every detail table closed, e.g. before the catalogue tables are bound elsewhere.
    void closeAll();
    int page() const { return page_; }

    // DSOpisDataChange: "Zobacz" only for an attribute holding a file or web address.
    void attributeRowChanged();

    // A detail grid's double-click: nothing on an empty catalogue or for a read-only user, nor on
    // the prices page without the price right; otherwise the current item is handed over
    // (CurrentItemName, CurrentItemNr), `open` runs the page's editor, and the page's tables are
    // read again. False when nothing ran.
    bool runEditor(int page, const std::function<void()>& open);
    // The page's tables read again from disk, the rows following the current item.
    void rereadPage(int page);

    // The go-to commands: the item the current row of a relation page names (the whole on the
    // goes-into page, the part on the consists-of page, the substitute on the substitutes page);
    // 0 on another page, or when the page shows no row.
    int relatedItem(int page) const;

    // CBox_Widoczny: whether the drawings page loads its pictures at all.
    void setPicturesShown(bool shown);
    bool picturesShown() const { return picturesShown_; }
    // The current drawing's picture as stored (PNG, JPEG or BMP bytes); empty when there is none
    // or pictures are not shown.
    QByteArray picture() const;

    // The notes page: the memo becomes editable only for a user with full rights on an item.
    bool mayEditNotes() const;
    // The current item taken into editing for its notes; false (with the reason shown) when it
    // cannot be, e.g. while another installation edits it.
    bool beginNotes();
    // The notes as the memo holds them written to the item when they changed; the editing ends
    // either way.
    void endNotes(const QString& text);

    // The computed prices of a price row: the prices in the supplier's currency times its rate,
    // i.e. in the home currency; 0 when the currency is missing.
    static void computePrices(engine::DataSet* prices);

Q_SIGNALS:
    void pictureChanged(); // picture() may be another

private:
    void linkPricesAndLoans();
    void openPage(int page);

    store::MainState& st_;
    MainView& view_;
    int page_ = General;
    bool picturesShown_ = true;
};

} // namespace shell
