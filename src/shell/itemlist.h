#pragma once
#include "ui/messages.h"
#include <QString>

namespace store {
class MainState;
}

namespace shell {

class MainView;
class MainController;

// One entry of the sort box Wyswietlaj_wg: the index field of the item table in table mode, the
// last line of the query text in query mode, and the field the search text is compared with.
struct SortChoice {
    QString field;
    QString orderLine;
};
constexpr int kSortChoices = 4;
// nullptr outside 0 .. kSortChoices - 1.
const SortChoice* sortChoice(int index);

// The detail notebook's pages, 0 to 10; a typed blank in the item grid steps through them.
constexpr int kDetailTabs = 11;

// The upper half of the main window: the item list in table mode (TFTowar in the order of the
// sort choice) or in query mode (QTowar, with TFTowar following the query's current item), the
// search as one types, the keys of the search field and of the grid, and the item commands with
// their rights and the query re-run afterwards. Part of MainController, below the widgets.
class ItemList {
public:
    ItemList(store::MainState& state, MainView& view, MainController& controller);

    // BB_TableClick: the item table in name order on its first row.
    void tableMode();
    // BB_SQLClick: the query whose lines QTowar holds. A text the engine rejects is reported
    // and the list goes back to table mode; false then.
    bool queryMode();
    // Wyswietlaj_wg changed to `index`.
    void sortChanged(int index);
    // The search field's text changed (typed, or set by the grid's typed character).
    void searchTextChanged(const QString& text);
    // A key pressed in the search field (a Qt::Key); true when the field must not see it.
    bool searchFieldKey(int key);
    // The search field lost the focus.
    void searchFieldLeft();
    // Text typed into the item grid; true when it was taken (a blank or a character that
    // starts a search).
    bool gridTyped(const QString& text);

    // The item commands. Nothing happens for a user without full rights, nor while the
    // command's own button is disabled.
    void newItem();
    void changeItem();
    void cloneItem();
    void deleteItem(const QString& question, ui::Button defaultButton = ui::Button::Yes);
    // Odwie1Click: the item table and the query read again.
    void refresh();

    bool queryActive() const;

private:
    void runEditor(const char* mode);
    void rerunQuery(int recNo, qint64 itemNr);
    void queryFailed();
    void emptySearchField();
    bool itemsShown() const;

    store::MainState& st_;
    MainView& view_;
    MainController& controller_;
    // Set only while the program itself empties the search field.
    bool suppressSearch_ = false;
};

} // namespace shell
