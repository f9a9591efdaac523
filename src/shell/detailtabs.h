#pragma once
#include <QObject>

namespace store {
class MainState;
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

private:
    void openPage(int page);

    store::MainState& st_;
    MainView& view_;
    int page_ = General;
};

} // namespace shell
