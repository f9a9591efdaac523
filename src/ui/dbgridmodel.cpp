#include "ui/dbgridmodel.h"
#include "engine/error.h"
#include "engine/table.h"
#include "ui/errorbox.h"
#include "ui/money.h"
#include <algorithm>

namespace ui {

using engine::FieldType;

namespace {

bool isNumeric(FieldType t) {
    return t == FieldType::AutoInc || t == FieldType::LongInt || t == FieldType::Number;
}

QString key(const QString& field) {
    return field.toLower();
}

} // namespace

DbGridModel::DbGridModel(QObject* parent) : QAbstractTableModel(parent) {
    wantedTimer_.setSingleShot(true);
    wantedTimer_.setInterval(0);
    connect(&wantedTimer_, &QTimer::timeout, this, &DbGridModel::loadWanted);
}

DbGridModel::~DbGridModel() = default;

engine::Table* DbGridModel::table() const {
    return qobject_cast<engine::Table*>(ds_.data());
}

void DbGridModel::setDataSet(engine::DataSet* dataSet) {
    for (const auto& c : connections_)
        disconnect(c);
    connections_.clear();
    ds_ = dataSet;
    if (dataSet) {
        using engine::DataSet;
        connections_ << connect(dataSet, &DataSet::afterOpen, this, &DbGridModel::reload)
                     << connect(dataSet, &DataSet::afterClose, this, &DbGridModel::reload)
                     << connect(dataSet, &DataSet::afterRefresh, this, &DbGridModel::reload)
                     << connect(dataSet, &DataSet::afterScroll, this,
                                [this] {
                                    if (isStale()) reload();
                                })
                     << connect(dataSet, &QObject::destroyed, this, &DbGridModel::reload);
        if (auto* t = table()) {
            connections_ << connect(t, &engine::Table::afterPost, this, &DbGridModel::reload)
                         << connect(t, &engine::Table::afterDelete, this, &DbGridModel::reload);
        }
    }
    reload();
}

// --- Columns ----------------------------------------------------------------------------------

DbGridModel::Column* DbGridModel::findColumn(const QString& field) {
    for (Column& c : columns_)
        if (c.field.compare(field, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

template <class F> void DbGridModel::changeColumns(F&& change) {
    beginResetModel();
    change();
    resolveColumns();
    endResetModel();
}

void DbGridModel::resolveColumns() {
    const bool haveFields = ds_ && ds_->fieldCount() > 0;
    if (!ownColumns_) {
        columns_.clear();
        if (haveFields) {
            for (const auto& f : ds_->fields()) {
                Column c;
                c.field = f.name;
                c.title = titles_.value(key(f.name), f.name);
                c.visible = !hidden_.contains(key(f.name));
                columns_.push_back(c);
            }
        }
    }
    shown_.clear();
    for (int i = 0; i < int(columns_.size()); ++i) {
        Column& c = columns_[size_t(i)];
        c.fieldIndex = haveFields ? ds_->fieldIndex(c.field) : -1;
        c.type = c.fieldIndex >= 0 ? ds_->fields()[c.fieldIndex].type : FieldType::Alpha;
        c.money = c.type == FieldType::Number && money_.contains(key(c.field));
        if (c.visible) shown_.push_back(i);
    }
}

void DbGridModel::setMoneyFields(const QStringList& fields) {
    changeColumns([&] {
        money_.clear();
        for (const QString& f : fields)
            money_.insert(key(f));
    });
}

void DbGridModel::addColumn(const QString& field, const QString& title) {
    changeColumns([&] {
        if (!ownColumns_) columns_.clear();
        ownColumns_ = true;
        Column c;
        c.field = field;
        c.title = title.isEmpty() ? field : title;
        columns_.push_back(c);
    });
}

void DbGridModel::clearColumns() {
    changeColumns([&] {
        columns_.clear();
        ownColumns_ = false;
        titles_.clear();
        hidden_.clear();
    });
}

bool DbGridModel::setColumnTitle(const QString& field, const QString& title) {
    Column* c = findColumn(field);
    if (!ownColumns_) titles_.insert(key(field), title);
    if (!c) return !ownColumns_;
    c->title = title;
    const int shownAt = columnOfField(field);
    if (shownAt >= 0) Q_EMIT headerDataChanged(Qt::Horizontal, shownAt, shownAt);
    return true;
}

bool DbGridModel::setColumnVisible(const QString& field, bool visible) {
    if (!ownColumns_) {
        if (visible)
            hidden_.remove(key(field));
        else
            hidden_.insert(key(field));
    }
    Column* c = findColumn(field);
    if (!c) return !ownColumns_;
    if (c->visible != visible) changeColumns([&] { c->visible = visible; });
    return true;
}

int DbGridModel::columnOfField(const QString& field) const {
    for (int i = 0; i < int(shown_.size()); ++i)
        if (columns_[size_t(shown_[size_t(i)])].field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QString DbGridModel::fieldOfColumn(int column) const {
    if (column < 0 || column >= int(shown_.size())) return {};
    return columns_[size_t(shown_[size_t(column)])].field;
}

// --- Loading ----------------------------------------------------------------------------------

QString DbGridModel::orderSignature() const {
    const engine::Table* t = table();
    if (!t) return {};
    return t->indexFieldNames() + u'|' + (t->filtered() ? t->filter() : QString());
}

void DbGridModel::forget() {
    windows_.clear();
    wanted_.clear();
    wantedTimer_.stop();
}

void DbGridModel::reload() {
    beginResetModel();
    forget();
    failed_ = false;
    open_ = ds_ && ds_->isOpen();
    count_ = 0;
    fieldCount_ = open_ ? ds_->fieldCount() : 0;
    signature_ = orderSignature();
    if (open_) {
        try {
            count_ = ds_->recordCount();
        } catch (const engine::EngineError& e) {
            failed(e);
        }
    }
    resolveColumns();
    endResetModel();
}

bool DbGridModel::isStale() {
    const bool open = ds_ && ds_->isOpen();
    if (open != open_) return true;
    if (!open) return false;
    if (ds_->fieldCount() != fieldCount_ || orderSignature() != signature_) return true;
    try {
        return ds_->recordCount() != count_;
    } catch (const engine::EngineError&) {
        return false; // the next load reports it
    }
}

void DbGridModel::failed(const engine::EngineError& error) {
    failed_ = true;
    // Loads run while the view paints; the box waits until the painting is over.
    QTimer::singleShot(0, this, [error] { showError(error); });
}

DbGridModel::Window* DbGridModel::findWindow(int number) {
    const int first = number * kWindowRows;
    for (Window& w : windows_)
        if (w.first == first) return &w;
    return nullptr;
}

void DbGridModel::loadWindow(int number) {
    if (failed_ || !open_ || !ds_) return;
    const int first = number * kWindowRows;
    if (first >= count_) return;
    Window w;
    w.first = first;
    try {
        ++loads_;
        w.rows = ds_->rowsAt(first + 1, std::min(kWindowRows, count_ - first));
    } catch (const engine::EngineError& e) {
        failed(e);
        return;
    }
    w.used = ++clock_;
    const int last = first + int(w.rows.size()) - 1;
    windows_.push_back(std::move(w));
    if (last >= first && !shown_.empty())
        Q_EMIT dataChanged(index(first, 0), index(last, int(shown_.size()) - 1));
}

// Drops the least recently used windows beyond the limit, never those of rows keepFrom..keepTo.
void DbGridModel::evict(int keepFrom, int keepTo) {
    auto kept = [&](const Window& w) {
        return w.first + kWindowRows - 1 >= keepFrom && w.first <= keepTo;
    };
    while (int(windows_.size()) > kMaxWindows) {
        auto victim = windows_.end();
        for (auto it = windows_.begin(); it != windows_.end(); ++it)
            if (!kept(*it) && (victim == windows_.end() || it->used < victim->used)) victim = it;
        if (victim == windows_.end()) break;
        windows_.erase(victim);
    }
}

void DbGridModel::ensureRows(int first, int last) {
    if (!open_ || failed_ || count_ <= 0) return;
    first = std::clamp(first, 0, count_ - 1);
    last = std::clamp(last, first, count_ - 1);
    for (int n = first / kWindowRows; n <= last / kWindowRows && !failed_; ++n) {
        if (Window* w = findWindow(n))
            w->used = ++clock_;
        else
            loadWindow(n);
        wanted_.remove(n);
    }
    evict(first, last);
}

void DbGridModel::loadWanted() {
    const QList<int> wanted = wanted_.values();
    wanted_.clear();
    for (int n : wanted)
        ensureRows(n * kWindowRows, n * kWindowRows);
}

const engine::DataSet::WindowRow* DbGridModel::cachedRow(int row) const {
    for (const Window& w : windows_) {
        const int at = row - w.first;
        if (at >= 0 && at < int(w.rows.size())) return &w.rows[size_t(at)];
    }
    return nullptr;
}

bool DbGridModel::isRowCached(int row) const {
    return cachedRow(row) != nullptr;
}

qint64 DbGridModel::rowIdAt(int row) const {
    const auto* r = cachedRow(row);
    return r ? r->rowid : 0;
}

int DbGridModel::cachedRowCount() const {
    int n = 0;
    for (const Window& w : windows_)
        n += int(w.rows.size());
    return n;
}

int DbGridModel::cursorRow(bool* stale, bool useRecNo) {
    if (stale) *stale = false;
    if (!ds_ || !open_ || !ds_->isOpen() || ds_->isEmpty() || count_ <= 0) return -1;
    engine::Table* t = table();
    if (t && t->rowId()) {
        for (const Window& w : windows_)
            for (size_t i = 0; i < w.rows.size(); ++i)
                if (w.rows[i].rowid == t->rowId()) return w.first + int(i);
    }
    if (!useRecNo) return kUnknownRow;
    int row = -1;
    try {
        row = ds_->recNo() - 1;
    } catch (const engine::EngineError&) {
        return -1;
    }
    if (row < 0) return -1;
    if (row >= count_ || (t && rowIdAt(row) != 0)) {
        // Outside the rows counted, or where the rows held have another one.
        if (stale) *stale = true;
        return std::min(row, count_ - 1);
    }
    return row;
}

// --- QAbstractItemModel -----------------------------------------------------------------------

int DbGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : count_;
}

int DbGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

QVariant DbGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= count_ || index.column() >= int(shown_.size()))
        return {};
    const Column& c = columns_[size_t(shown_[size_t(index.column())])];
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((isNumeric(c.type) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    if (role != Qt::DisplayRole) return {};
    const auto* r = cachedRow(index.row());
    if (!r) {
        if (!failed_) {
            wanted_.insert(index.row() / kWindowRows);
            if (!wantedTimer_.isActive()) wantedTimer_.start();
        }
        return QString();
    }
    if (c.fieldIndex < 0 || c.fieldIndex >= r->values.size()) return QString();
    if (c.money) return moneyText(r->values[c.fieldIndex]);
    QString text = engine::displayText(c.type, r->values[c.fieldIndex]);
    if (c.type == FieldType::Memo) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        text.replace(u'\n', u' ').replace(u'\r', u' ');
    }
    return text;
}

QVariant DbGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= int(shown_.size()))
        return {};
    return columns_[size_t(shown_[size_t(section)])].title;
}

Qt::ItemFlags DbGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

} // namespace ui
