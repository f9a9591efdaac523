#include "shell/itemlist.h"
#include "engine/database.h"
#include "engine/error.h"
#include "shell/maincontroller.h"
#include "store/itemdelete.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/cancellable.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include <QScopedValueRollback>

namespace shell {

namespace {

const QString kItemNr = QStringLiteral("Tow_nr");

} // namespace

const SortChoice* sortChoice(int index) {
    static const SortChoice choices[kSortChoices] = {
        {QStringLiteral("Tow_Nazwa"), QStringLiteral("ORDER BY Towar.Tow_Nazwa")},
        {QStringLiteral("Tow_Nazwa2"), QStringLiteral("ORDER BY Towar.Tow_Nazwa2")},
        {QStringLiteral("Tow_Symbol"), QStringLiteral("ORDER BY Towar.Tow_Symbol")},
        {QStringLiteral("Tow_Kod_Prod"), QStringLiteral("ORDER BY Towar.Tow_Kod_Prod")},
    };
    return index >= 0 && index < kSortChoices ? &choices[index] : nullptr;
}

ItemList::ItemList(store::MainState& state, MainView& view, MainController& controller)
    : st_(state), view_(view), controller_(controller) {}

bool ItemList::queryActive() const {
    return st_.Query.queryActive;
}

// --- Modes and order --------------------------------------------------------------------------

void ItemList::tableMode() {
    ui::BusyCursor busy;
    auto& items = st_.TFTowar;
    items.close();
    items.setMaster(nullptr, {});
    view_.showItemTable();
    st_.QTowar.close();
    // Before the open, so that the row counter counts the items and not a query.
    st_.Query.queryActive = false;
    items.setIndexFieldNames(sortChoice(0)->field);
    items.open();
    view_.selectSortChoice(0);
    items.first();
    view_.setStatusText({});
}

bool ItemList::queryMode() {
    auto& items = st_.TFTowar;
    auto& query = st_.QTowar;
    bool ran = true;
    bool cancelled = false;
    {
        ui::BusyCursor busy;
        try {
            items.close();
            query.close();
            // The item table (and with it the detail tabs) stands on the query's current item.
            items.setIndexFieldNames(kItemNr);
            items.setMaster(&query, kItemNr, kItemNr);
            items.open();
            view_.showItemQuery();
            // A query over a large catalogue may run long: the user can stop it ("Anuluj").
            cancelled = !ui::runCancellable(
                *engine::Database::open(st_.CurrentCatalogueFolder), nullptr,
                QStringLiteral("Trwa wykonywanie zapytania..."), [&] { query.open(); });
            if (!cancelled) query.first();
        } catch (const engine::EngineError&) {
            // A query the engine refuses is the query's text at fault: queryFailed() gives the
            // program's own message and goes back to the table, instead of the error box.
            ran = false;
        }
    }
    if (!ran) {
        queryFailed();
        return false;
    }
    if (cancelled) {
        // Stopped by the user: back to the table, with nothing to say.
        tableMode();
        return false;
    }
    st_.Query.queryActive = true;
    // The box names the order the query's rows are in, and the search looks in that field.
    const QStringList lines = query.sql();
    for (int i = 0; i < kSortChoices && !lines.isEmpty(); ++i)
        if (lines.last().trimmed().compare(sortChoice(i)->orderLine, Qt::CaseInsensitive) == 0)
            view_.selectSortChoice(i);
    view_.setStatusText(QStringLiteral("ustawiono zapytanie"));
    controller_.showCounter();
    return true;
}

// The box comes after the hourglass is gone.
void ItemList::queryFailed() {
    view_.setStatusText({});
    view_.setCommandEnabled(QStringLiteral("Filtr1"), true);
    tableMode();
    ui::messages().information(QStringLiteral("Zapytanie sformułowane niepoprawnie !"));
}

void ItemList::sortChanged(int index) {
    const SortChoice* choice = sortChoice(index);
    if (queryActive()) {
        auto& query = st_.QTowar;
        // The rest of the text is the query builder's and stays as it is.
        QStringList lines = query.sql();
        bool ran = true;
        {
            ui::BusyCursor busy;
            try {
                query.close();
                if (choice && !lines.isEmpty()) {
                    lines.removeLast();
                    lines << choice->orderLine;
                    query.setSql(lines);
                }
                query.open();
            } catch (const engine::EngineError&) {
                // As in runQuery: the query's own message, not the error box.
                ran = false;
            }
        }
        if (!ran) {
            queryFailed();
            return;
        }
        controller_.showCounter();
    } else if (choice) {
        ui::BusyCursor busy;
        st_.TFTowar.setIndexFieldNames(choice->field);
    }
    view_.focusItemGrid();
}

// --- Search -----------------------------------------------------------------------------------

void ItemList::searchTextChanged(const QString& text) {
    if (suppressSearch_) return;
    const SortChoice* choice = sortChoice(view_.sortChoice());
    if (!choice) return;
    if (queryActive()) {
        auto& query = st_.QTowar;
        if (query.isOpen() && query.hasField(choice->field))
            query.locate(choice->field, text, /*caseInsensitive*/ true, /*partial*/ true);
        return;
    }
    auto& items = st_.TFTowar;
    if (!items.isOpen() || items.state() != engine::Table::State::Browse) return;
    // The nearest key is looked up on the active index, which must be the sort choice's.
    if (items.indexFieldNames().compare(choice->field, Qt::CaseInsensitive) != 0)
        items.setIndexFieldNames(choice->field);
    items.findNearest({text});
}

void ItemList::emptySearchField() {
    if (view_.searchText().isEmpty()) return;
    const QScopedValueRollback suppressing(suppressSearch_, true);
    view_.setSearchText({});
}

bool ItemList::searchFieldKey(int key) {
    int step = 0;
    switch (key) {
    case Qt::Key_Down:
    case Qt::Key_PageDown:
        step = 1;
        break;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
        step = -1;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        view_.focusItemGrid();
        return true;
    default:
        return false;
    }
    view_.focusItemGrid();
    // In query mode the item table holds only the query's current item: only the focus moves.
    auto& items = st_.TFTowar;
    if (!queryActive() && items.isOpen() && items.state() == engine::Table::State::Browse) {
        if (step > 0)
            items.next();
        else
            items.prior();
    }
    emptySearchField();
    return true;
}

void ItemList::searchFieldLeft() {
    emptySearchField();
}

bool ItemList::gridTyped(const QString& text) {
    if (text == QLatin1String(" ")) {
        view_.showDetailTab((view_.detailTab() + 1) % kDetailTabs);
        return true;
    }
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (!c.isPrint() || c.isSpace()) return false;
    // The character is the whole search text, and searches even when it is what the field
    // already held.
    emptySearchField();
    view_.setSearchText(text);
    view_.focusSearchField();
    return true;
}

// --- Commands ---------------------------------------------------------------------------------

void ItemList::newItem() {
    if (!st_.fullRights()) return;
    runEditor("Nowy");
}

void ItemList::changeItem() {
    if (!st_.fullRights() || !view_.isCommandEnabled(QStringLiteral("SpeedButton8"))) return;
    if (!st_.TFTowar.isOpen() || st_.TFTowar.isEmpty()) return;
    runEditor("Edycja");
}

void ItemList::cloneItem() {
    if (!st_.fullRights() || !view_.isCommandEnabled(QStringLiteral("SpeedButton7"))) return;
    if (!st_.TFTowar.isOpen() || st_.TFTowar.isEmpty()) return;
    runEditor("Klonuj");
}

void ItemList::runEditor(const char* mode) {
    st_.ItemEditMode = QLatin1String(mode);
    if (!controller_.runItemEditor) return;
    controller_.runItemEditor();
    auto& query = st_.QTowar;
    if (queryActive() && query.isOpen()) {
        // The editor may have changed what the query finds: run it again and stand on the item
        // that was current.
        const int at = query.recNo();
        const qint64 nr = query.hasField(kItemNr) ? query.value(kItemNr).toLongLong() : 0;
        rerunQuery(at, nr);
    }
    view_.focusItemGrid();
    controller_.emptyCheck();
}

void ItemList::rerunQuery(int recNo, qint64 itemNr) {
    auto& query = st_.QTowar;
    bool ran = true;
    {
        ui::BusyCursor busy;
        try {
            query.close();
            query.open();
            const bool found = itemNr > 0 && query.hasField(kItemNr) &&
                               query.locate(kItemNr, QString::number(itemNr), false, false);
            // An item no longer in the result leaves its place to the row after it.
            if (!found && recNo > 1) query.setRecNo(recNo);
        } catch (const engine::EngineError&) {
            // A query the engine refuses is the query's text at fault: queryFailed() gives the
            // program's own message and goes back to the table, instead of the error box.
            ran = false;
        }
    }
    if (!ran) {
        queryFailed();
        return;
    }
    controller_.showCounter();
}

void ItemList::deleteItem(const QString& question, ui::Button defaultButton) {
    if (!st_.fullRights()) return;
    controller_.emptyCheck();
    auto& items = st_.TFTowar;
    if (st_.CatalogueEmpty || !items.isOpen() || items.isEmpty()) return;
    if (!ui::messages().question(question, defaultButton)) return;
    auto& query = st_.QTowar;
    const bool inQuery = queryActive() && query.isOpen();
    const int at = inQuery ? query.recNo() : 0;
    if (!ui::guarded([&] { store::deleteItem(items); })) return;
    if (inQuery) rerunQuery(at, 0);
    controller_.showCounter();
    view_.focusItemGrid();
    controller_.emptyCheck();
}

void ItemList::refresh() {
    if (st_.TFTowar.isOpen()) st_.TFTowar.refresh();
    if (st_.QTowar.isOpen()) st_.QTowar.refresh();
    controller_.showCounter();
}

} // namespace shell
