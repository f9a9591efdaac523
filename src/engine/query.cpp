#include "engine/query.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/localsql.h"
#include "engine/sqlfunctions.h"
#include "engine/values.h"

namespace engine {

using K = EngineError::Kind;

Query::Query(QObject* parent) : DataSet(parent) {
    displayName_ = QStringLiteral("zapytanie");
}

Query::~Query() {
    close();
}

void Query::setSql(const QStringList& lines) {
    requireClosed();
    lines_ = lines;
}

void Query::addLine(const QString& line) {
    requireClosed();
    lines_ << line;
}

void Query::clearSql() {
    requireClosed();
    lines_.clear();
}

void Query::setUnidirectional(bool on) {
    requireClosed();
    unidirectional_ = on;
}

void Query::open() {
    if (open_) return;
    db_ = Database::open(folder_, Database::Mode::MustExist);
    try {
        TableLookup lookup = [this](const QString& name) { return db_->tableDef(name); };
        const LocalSqlQuery q = translateLocalSql(lines_.join(u'\n'), lookup, db_->dialect());
        byId_ = !unidirectional_ && !q.rowTable.isEmpty();
        try {
            stmt_ = std::make_unique<Statement>(db_->prepare(byId_ ? q.idSql : q.sql));
        } catch (const EngineError& e) {
            throw EngineError(
                K::BadSql, QStringLiteral("Zapytanie SQL jest niepoprawne: %1").arg(e.message()));
        }
        stmt_->bindAll(q.params);
        setOwnFields(q.columns);
        if (byId_) {
            QStringList cols;
            for (const auto& c : q.columns)
                cols << u'"' + c.name + u'"';
            rowSql_ = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
                      QStringLiteral(" FROM \"") + q.rowTable +
                      QStringLiteral("\" WHERE rowid = ?");
        }
    } catch (...) {
        stmt_.reset();
        db_.reset();
        throw;
    }
    rows_.clear();
    ids_.clear();
    window_.clear();
    windowFirst_ = 0;
    // Rows read by id show what is saved: a change this process commits is read anew.
    if (byId_) dbConn_ = connect(db_.get(), &Database::changed, this, [this] { window_.clear(); });
    dropped_ = 0;
    done_ = false;
    open_ = true;
    // Read to the end at once: a statement left half-read between user actions holds a read
    // lock, which with the rollback journal keeps every other installation from writing.
    // Forward-only queries are read by a loop that runs to the end by itself.
    try {
        if (!unidirectional_) fetchTo(SIZE_MAX);
        first();
    } catch (...) {
        // Cancelled or failed half-way: nothing half-read stays behind.
        disconnect(dbConn_);
        stmt_.reset();
        rows_.release();
        std::vector<qint64>().swap(ids_);
        window_.release();
        open_ = false;
        hasRow_ = false;
        bof_ = eof_ = true;
        db_.reset();
        throw;
    }
    Q_EMIT afterOpen();
}

void Query::close() {
    if (!open_) return;
    disconnect(dbConn_);
    stmt_.reset();
    rows_.release();
    std::vector<qint64>().swap(ids_);
    window_.release();
    open_ = false;
    hasRow_ = false;
    bof_ = eof_ = true;
    db_.reset();
    Q_EMIT afterClose();
}

void Query::refresh() {
    requireOpen();
    const int at = recNo();
    close();
    open();
    if (at > 1) setRecNo(at);
    Q_EMIT afterRefresh();
}

bool Query::fetchTo(size_t count) {
    while (held() < count && !done_) {
        if (!stmt_->step()) {
            done_ = true;
            stmt_.reset(); // gives the statement back, so others may change the tables
            break;
        }
        if (byId_) {
            ids_.push_back(stmt_->columnInt(0));
            continue;
        }
        if (unidirectional_ && !rows_.empty()) {
            rows_.clear();
            ++dropped_;
        }
        rows_.append(*stmt_, ownFieldCount_);
    }
    return held() >= count;
}

// Rows are read by id a window at a time: what a grid shows and a little around it.
constexpr size_t kWindowRows = 128;

void Query::readById(size_t first, size_t count, PackedRows& into) const {
    Database::ReadScope reading(*db_);
    Statement st = db_->prepare(rowSql_);
    for (size_t i = first; i < first + count && i < ids_.size(); ++i) {
        st.bind(1, ids_[i]);
        if (st.step())
            into.append(st, ownFieldCount_);
        else
            into.appendEmpty(ownFieldCount_);
        st.reset();
    }
}

QVariant Query::storedAt(size_t index, int column) const {
    if (!byId_) return rows_.value(index - dropped_, column);
    if (index < windowFirst_ || index >= windowFirst_ + window_.size()) {
        window_.clear();
        // A little before the row too, for a cursor moving back.
        windowFirst_ = index >= kWindowRows / 4 ? index - kWindowRows / 4 : 0;
        readById(windowFirst_, kWindowRows, window_);
    }
    return window_.value(index - windowFirst_, column);
}

void Query::moveTo(size_t index) {
    pos_ = index;
    hasRow_ = true;
    bof_ = eof_ = false;
    rowChanged();
    emitAfterScroll();
}

bool Query::locate(const QString& field, const QString& text, bool caseInsensitive, bool partial) {
    requireOpen();
    const int f = fieldIndex(field);
    if (f < 0) (void)fieldDef(field); // throws naming the field
    const FieldDef& def = fields()[f];
    auto matches = [&](size_t row) {
        const QString v = displayText(def.type, fromStorage(def, storedAt(row, f)));
        if (partial) return caseInsensitive ? beginsWithPolish(v, text) : v.startsWith(text);
        return caseInsensitive ? comparePolish(v, text) == 0 : v == text;
    };
    for (size_t i = 0;; ++i) {
        if (i < dropped_) continue;
        if (!fetchTo(i + 1)) return false;
        if (matches(i)) {
            moveTo(i);
            return true;
        }
    }
}

void Query::first() {
    requireOpen();
    if (!fetchTo(1)) {
        hasRow_ = false;
        bof_ = eof_ = true;
        rowChanged();
        emitAfterScroll();
        return;
    }
    moveTo(0);
    bof_ = true;
}

void Query::last() {
    requireOpen();
    if (unidirectional_)
        fail(int(K::State),
             QStringLiteral("Zapytanie czytane tylko do przodu nie pozwala na ten ruch."));
    fetchTo(SIZE_MAX);
    if (held() == 0) {
        first();
        return;
    }
    moveTo(held() - 1);
    eof_ = true;
}

void Query::next() {
    requireOpen();
    if (!hasRow_ || !fetchTo(pos_ + 2)) {
        eof_ = true;
        return;
    }
    moveTo(pos_ + 1);
}

void Query::prior() {
    requireOpen();
    if (unidirectional_)
        fail(int(K::State),
             QStringLiteral("Zapytanie czytane tylko do przodu nie pozwala na ten ruch."));
    if (!hasRow_ || pos_ == 0) {
        bof_ = true;
        return;
    }
    moveTo(pos_ - 1);
}

int Query::recordCount() {
    requireOpen();
    if (unidirectional_)
        fail(int(K::State),
             QStringLiteral("Zapytanie czytane tylko do przodu nie pozwala na ten ruch."));
    fetchTo(SIZE_MAX);
    return int(held());
}

int Query::recNo() {
    requireOpen();
    return hasRow_ ? int(pos_) + 1 : 0;
}

void Query::setRecNo(int n) {
    requireOpen();
    if (unidirectional_)
        fail(int(K::State),
             QStringLiteral("Zapytanie czytane tylko do przodu nie pozwala na ten ruch."));
    if (n < 1) n = 1;
    if (!fetchTo(size_t(n))) n = int(held());
    if (n == 0) return;
    moveTo(size_t(n) - 1);
}

QVariant Query::storedValue(int index) const {
    if (!hasRow_) return {};
    return storedAt(pos_, index);
}

} // namespace engine

namespace engine {

std::vector<DataSet::StoredRow> Query::storedRowsAt(int first, int count) {
    if (unidirectional_)
        fail(int(K::State),
             QStringLiteral("Zapytanie czytane tylko do przodu nie pozwala na ten ruch."));
    std::vector<StoredRow> out;
    fetchTo(size_t(first) + size_t(count));
    if (byId_) {
        PackedRows rows;
        readById(size_t(first), size_t(count), rows);
        for (size_t i = 0; i < rows.size(); ++i)
            out.emplace_back(qint64(first) + qint64(i) + 1, rows.row(i, ownFieldCount_));
        return out;
    }
    for (size_t i = size_t(first); i < rows_.size() && i < size_t(first) + size_t(count); ++i)
        out.emplace_back(qint64(i) + 1, rows_.row(i, ownFieldCount_));
    return out;
}

} // namespace engine
