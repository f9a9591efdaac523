#pragma once
#include "engine/rowlist.h"
#include <QObject>
#include <QTimer>
#include <functional>

namespace store {
class MainState;
}

namespace shell {

class MainView;

// The "zawiera" search of the item list: while the switch is on, the typed words narrow the list
// to the items whose Pole 1 to Pole 4 contain every word anywhere, letter case and Polish marks
// ignored, in the order the list has: the item table's (with its filter) or the query's. The
// item table stays open and follows the current row of the narrowed list (through the query in
// query mode), so the detail tabs and the item commands work as ever; an empty text shows the
// whole list again. Off, the search field keeps its nearest search.
//
// Every keystroke supersedes the search still running: it is stopped and never shown, and the
// latest text is searched instead.
class NarrowSearch : public QObject {
    Q_OBJECT
public:
    NarrowSearch(store::MainState& state, MainView& view, QObject* parent = nullptr);
    ~NarrowSearch() override;

    // The field whose typing may reach a running search.
    void setSearchField(QObject* field);

    bool on() const { return on_; }
    // Switching on builds the catalogue's index first when it has none (with a progress dialog
    // that can be cancelled; the switch stays off then). False when it is off afterwards.
    bool setOn(bool on);
    // The items shown while a text narrows the list; nullptr when the whole list shows.
    engine::RowList* shown() { return active_ ? &rows_ : nullptr; }

    // The search field's text changed; searches when the event loop is free.
    void textChanged();
    // The list's order, filter or catalogue changed: the text is searched again.
    void listChanged();
    // Searches the field's text now (unless a search is already running, which then does it).
    void runNow();

    // Test seam: called each time a running search looks for keystrokes.
    std::function<void()> polled;
    // The field texts the shown results were painted for, in order (the last one is on screen).
    QStringList paintedTexts() const { return painted_; }

    // The remembered state of the switch for this user in the main folder.
    static bool remembered(const store::MainState& state);
    static void remember(const store::MainState& state, bool on);

Q_SIGNALS:
    // The list shown changed: to the narrowed rows (true) or back to the item table (false).
    void showing(bool narrowed);

private:
    bool ensureIndex();
    void search();
    void showAll();
    std::vector<qint64> queryOrder();
    void followCurrent(); // the item table goes to the narrowed list's current item
    bool poll();          // keystrokes for the field are taken in; true when the text changed

    store::MainState& st_;
    MainView& view_;
    engine::RowList rows_;
    QTimer timer_;
    bool on_ = false;
    bool active_ = false;
    bool running_ = false;
    quint64 generation_ = 0;
    QStringList painted_;
    QObject* field_ = nullptr;
};

} // namespace shell
