#pragma once
// The main window as its logic sees it, without widgets: MainController's tests drive the
// controller against this and read back what the window would show.
#include "shell/maincontroller.h"
#include "store/mainstate.h"
#include <QHash>
#include <QStringList>
#include <functional>

namespace shelltest {

class FakeMainView : public shell::MainView {
public:
    // A toolbar button that shares its menu item's command answers by the menu item's name.
    static QString commandName(const QString& name) {
        for (const auto& [button, action] : shell::sharedCommands())
            if (button == name) return action;
        return name;
    }

    void setCommandEnabled(const QString& name, bool on) override {
        enabled_[commandName(name)] = on;
    }
    // Commands start enabled, as the window's form has them.
    bool isCommandEnabled(const QString& name) const override {
        return enabled_.value(commandName(name), true);
    }
    void setNotesVisible(bool visible) override { notesVisible = visible; }
    void setTitle(const QString& t) override {
        title = t;
        steps << QStringLiteral("title");
    }
    void setCounter(int rows) override { counter = rows; }
    void setStatusText(const QString& text) override { status = text; }
    void setFavourites(const QStringList& folders) override { favourites = folders; }
    void applyDisplayLayout(const shell::DisplayLayout& l) override {
        layout = l;
        steps << QStringLiteral("layout");
    }
    int detailTab() const override { return tab; }
    void showDetailTab(int index) override { tab = index; }
    void selectSortChoice(int index) override { sort = index; }
    int sortChoice() const override { return sort; }
    void showItemTable() override { queryShown = false; }
    void showItemQuery() override { queryShown = true; }
    QString searchText() const override { return search; }
    void setSearchText(const QString& text) override {
        search = text;
        if (searchChanged) searchChanged(text); // the field's change signal
    }
    void focusSearchField() override {}
    void setPriceGridBound(bool bound) override { pricesBound = bound; }
    void setStartSize() override { steps << QStringLiteral("startSize"); }
    void maximise() override { steps << QStringLiteral("maximise"); }
    void focusItemGrid() override {}

    bool notesVisible = true;
    QString title, status, search;
    int counter = -1, tab = -1, sort = -1;
    QStringList favourites;
    shell::DisplayLayout layout;
    bool queryShown = false, pricesBound = true;
    QStringList steps; // the window's look, in the order the start set it
    std::function<void(const QString&)> searchChanged;

private:
    QHash<QString, bool> enabled_;
};

// The controller over a state of its own and the fake view, as the window would hold them.
struct ControllerRig {
    ControllerRig() {
        view.searchChanged = [this](const QString& t) { controller.items().searchTextChanged(t); };
    }
    store::MainState state;
    FakeMainView view;
    shell::MainController controller{state, view};
};

} // namespace shelltest
