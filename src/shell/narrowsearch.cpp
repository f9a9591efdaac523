#include "shell/narrowsearch.h"
#include "engine/containsindex.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "shell/itemlist.h"
#include "shell/maincontroller.h"
#include "store/layoutstore.h"
#include "store/mainstate.h"
#include "ui/cancellable.h"
#include "ui/errorbox.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QScopedValueRollback>
#include <QWidget>
#include <memory>

namespace shell {

namespace {

const QString kItems = QStringLiteral("Towar");
const QString kItemNr = QStringLiteral("Tow_nr");
// Pole 1, Pole 2, Pole 3 and Pole 4 of the item list.
const QStringList& searchedFields() {
    static const QStringList fields{QStringLiteral("Tow_Nazwa"), QStringLiteral("Tow_Nazwa2"),
                                    QStringLiteral("Tow_Symbol"), QStringLiteral("Tow_Kod_Prod")};
    return fields;
}

const QString kSwitchKey = QStringLiteral("items/contains");

constexpr qint64 kPollEveryMs = 8;

bool isTyping(const QKeyEvent* key) {
    switch (key->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        break;
    }
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

// While a search runs, only typing into the search field gets through; every other input, every
// timer, all resizing and laying out and all painting wait until the search is over (a timer, a
// click or a grid fetching the rows it paints would use the database in the middle of the search's
// statement) and are handed over afterwards.
class InputHold : public QObject {
public:
    explicit InputHold(QObject* field) : field_(field) { qApp->installEventFilter(this); }
    ~InputHold() override {
        qApp->removeEventFilter(this);
        for (auto& [receiver, event] : held_)
            if (receiver) QCoreApplication::postEvent(receiver, event.release());
        for (const QPointer<QWidget>& w : unpainted_)
            if (w) w->update();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Timer:
            for (const auto& [receiver, held] : held_)
                if (receiver == watched && held->type() == QEvent::Timer &&
                    static_cast<QTimerEvent*>(held.get())->timerId() ==
                        static_cast<QTimerEvent*>(event)->timerId())
                    return true;
            hold(watched, new QTimerEvent(static_cast<QTimerEvent*>(event)->timerId()));
            return true;
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            if (watched == field_ && isTyping(static_cast<QKeyEvent*>(event))) return false;
            if (event->type() != QEvent::ShortcutOverride) hold(watched, event->clone());
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Close:
            hold(watched, event->clone());
            return true;
        case QEvent::Resize:
            // The window resized by the window system: its pages, placed anew, read the database.
            // The latest size is handed over afterwards.
            if (!event->spontaneous() && !watched->isWindowType()) return false;
            for (auto& [receiver, held] : held_)
                if (receiver == watched && held->type() == QEvent::Resize) {
                    held.reset(event->clone());
                    return true;
                }
            hold(watched, event->clone());
            return true;
        case QEvent::UpdateRequest:
        case QEvent::LayoutRequest:
            // Laying out resizes the window's pages, which read the database as they are placed.
            for (const auto& [receiver, held] : held_)
                if (receiver == watched && held->type() == event->type()) return true;
            hold(watched, new QEvent(event->type()));
            return true;
        case QEvent::Paint:
            if (auto* w = qobject_cast<QWidget*>(watched)) unpainted_.emplace_back(w);
            return true;
        default:
            return false;
        }
    }

private:
    void hold(QObject* receiver, QEvent* event) {
        held_.emplace_back(QPointer<QObject>(receiver), std::unique_ptr<QEvent>(event));
    }
    QPointer<QObject> field_;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> held_;
    std::vector<QPointer<QWidget>> unpainted_;
};

} // namespace

NarrowSearch::NarrowSearch(store::MainState& state, MainView& view, QObject* parent)
    : QObject(parent), st_(state), view_(view), rows_(this) {
    rows_.setObjectName(QStringLiteral("TowarZawiera"));
    addQuantityWithUnit(rows_, this); // the grid shows the same columns as for the whole list
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, [this] { ui::guarded([this] { search(); }); });
    connect(&rows_, &engine::DataSet::afterScroll, this,
            [this] { ui::guarded([this] { followCurrent(); }); });
    auto& items = st_.TFTowar;
    for (auto signal : {&engine::DataSet::afterOpen, &engine::DataSet::afterRefresh})
        connect(&items, signal, this, &NarrowSearch::listChanged);
    connect(&items, &engine::Table::afterPost, this, &NarrowSearch::listChanged);
    connect(&items, &engine::Table::afterDelete, this, &NarrowSearch::listChanged);
    for (auto signal : {&engine::DataSet::afterOpen, &engine::DataSet::afterRefresh})
        connect(&st_.QTowar, signal, this, &NarrowSearch::listChanged);
}

NarrowSearch::~NarrowSearch() = default;

void NarrowSearch::setSearchField(QObject* field) {
    field_ = field;
}

bool NarrowSearch::setOn(bool on) {
    on_ = on;
    if (on && st_.TFTowar.isOpen() && !ensureIndex()) on_ = false;
    if (!on_) showAll();
    remember(st_, on_);
    if (on_) textChanged();
    return on_;
}

void NarrowSearch::textChanged() {
    ++generation_;
    if (!running_) timer_.start();
}

void NarrowSearch::listChanged() {
    // Only a list narrowed now is searched again; the whole list shows the change itself.
    if (on_ && active_) textChanged();
}

void NarrowSearch::runNow() {
    timer_.stop();
    search();
}

bool NarrowSearch::ensureIndex() {
    auto& items = st_.TFTowar;
    if (!items.isOpen()) return false;
    auto db = items.database();
    engine::ContainsIndex index(db, kItems, searchedFields());
    if (index.ready()) return true;
    return ui::runCancellable(*db, qobject_cast<QWidget*>(parent()),
                              QStringLiteral("Trwa przygotowanie wyszukiwania \"zawiera\"..."),
                              [&] { index.build(); });
}

bool NarrowSearch::poll() {
    static QElapsedTimer since;
    if (since.isValid() && since.elapsed() < kPollEveryMs) return false;
    since.start();
    const quint64 before = generation_;
    if (polled) polled();
    const InputHold hold(field_);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return generation_ != before;
}

void NarrowSearch::search() {
    if (running_) return; // the running search takes the latest text when it ends
    const QScopedValueRollback running(running_, true);
    auto& items = st_.TFTowar;
    for (;;) {
        const quint64 generation = generation_;
        const QString text = view_.searchText();
        const bool inQuery = st_.Query.queryActive;
        auto& query = st_.QTowar;
        if (!on_ || !items.isOpen() || (inQuery && !query.isOpen())) return showAll();
        if (inQuery && !query.hasField(kItemNr)) {
            active_ = false; // rows that are no items: the query's own search as ever
            return;
        }
        const QStringList words = engine::ContainsIndex::words(text);
        if (words.isEmpty()) {
            showAll();
            painted_ << text;
            return;
        }
        if (!ensureIndex()) return;
        auto db = items.database();
        std::vector<qint64> found;
        bool stopped = false;
        db->setCancelCheck([&] { return poll() || generation_ != generation; });
        try {
            engine::ContainsIndex index(db, kItems, searchedFields());
            const auto matches = index.matching(words);
            if (inQuery) {
                found = engine::ContainsIndex::narrowed(
                    engine::ContainsIndex::rowIdsOf(items, kItemNr, queryOrder()), matches);
            } else {
                const SortChoice* choice = sortChoice(view_.sortChoice());
                const auto& order = engine::ContainsIndex::rowsInOrder(
                    items, choice ? choice->field : items.indexFieldNames());
                found = engine::ContainsIndex::narrowed(order, matches);
            }
        } catch (const engine::EngineError&) {
            db->setCancelCheck({});
            // Stopped for a newer text: that one is searched now, this one is never shown.
            if (generation_ == generation) throw;
            stopped = true;
        }
        db->setCancelCheck({});
        if (stopped || generation_ != generation) continue;

        const qint64 current = items.rowId();
        if (rows_.isOpen() && rows_.databaseName() != items.databaseName()) rows_.close();
        if (!rows_.isOpen()) {
            rows_.setDatabaseName(items.databaseName());
            rows_.setTableName(kItems);
            rows_.open();
        }
        const bool again = active_;
        active_ = true; // before the rows: the item table follows their current row
        rows_.setRows(std::move(found));
        // A list searched again after a change stays on the item it stood on.
        if (again && current > 0) rows_.gotoRowId(current);
        Q_EMIT showing(true);
        view_.setCounter(rows_.recordCount());
        painted_ << text;
        return;
    }
}

void NarrowSearch::showAll() {
    if (!active_) return;
    active_ = false;
    Q_EMIT showing(false);
    if (st_.Query.queryActive) {
        if (st_.QTowar.isOpen()) view_.setCounter(st_.QTowar.recordCount());
    } else if (st_.TFTowar.isOpen()) {
        view_.setCounter(st_.TFTowar.recordCount());
    }
}

// The numbers of the query's items in the query's order; a row twice (a join) counts once.
std::vector<qint64> NarrowSearch::queryOrder() {
    auto& query = st_.QTowar;
    const int field = query.fieldIndex(kItemNr);
    const int count = query.recordCount();
    std::vector<qint64> out;
    out.reserve(size_t(count));
    std::vector<bool> seen;
    constexpr int kChunk = 4096;
    for (int first = 1; first <= count; first += kChunk)
        for (const auto& row : query.rowsAt(first, std::min(kChunk, count - first + 1))) {
            const qint64 nr = row.values.value(field).toLongLong();
            if (nr <= 0) continue;
            if (nr >= qint64(seen.size())) seen.resize(size_t(nr) * 2 + 1024);
            if (seen[size_t(nr)]) continue;
            seen[size_t(nr)] = true;
            out.push_back(nr);
        }
    return out;
}

void NarrowSearch::followCurrent() {
    auto& items = st_.TFTowar;
    const qint64 id = rows_.isOpen() ? rows_.rowId() : 0;
    if (!active_ || id <= 0 || !items.isOpen() || items.rowId() == id) return;
    if (items.state() != engine::Table::State::Browse) return;
    // In query mode the item table follows the query's current row, found by the item's number
    // (on a server no row id).
    if (st_.Query.queryActive)
        st_.QTowar.locate(kItemNr, QString::number(rows_.value(kItemNr).toLongLong()), false,
                          false);
    else
        items.gotoRowId(id);
}

// --- The remembered switch ---------------------------------------------------------------------

// Kept with the user's other remembered choices, for every catalogue alike. Like the rest of
// the layout, a switch that cannot be read is off and one that cannot be written is forgotten:
// neither is worth a message.
bool NarrowSearch::remembered(const store::MainState& state) {
    if (state.MainFolder.isEmpty() || !engine::Database::exists(state.MainFolder)) return false;
    try {
        store::LayoutStore layout(state.MainFolder, state.CurrentUserNr);
        layout.load();
        return layout.value({}, kSwitchKey) == QLatin1String("1");
    } catch (const engine::EngineError&) {
        return false;
    }
}

void NarrowSearch::remember(const store::MainState& state, bool on) {
    if (state.MainFolder.isEmpty() || !engine::Database::exists(state.MainFolder)) return;
    try {
        store::LayoutStore layout(state.MainFolder, state.CurrentUserNr);
        layout.load();
        layout.setValue({}, kSwitchKey, on ? QStringLiteral("1") : QStringLiteral("0"));
        if (layout.changed()) layout.save();
    } catch (const engine::EngineError&) {
    }
}

} // namespace shell
