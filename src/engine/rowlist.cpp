#include "engine/rowlist.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/sqlname.h"
#include <algorithm>

namespace engine {

RowList::RowList(QObject* parent) : DataSet(parent) {}

RowList::~RowList() {
    close();
}

void RowList::setTableName(const QString& name) {
    requireClosed();
    tableName_ = name;
}

void RowList::open() {
    if (open_) return;
    db_ = Database::open(folder_, Database::Mode::MustExist);
    try {
        const TableDef def = db_->requireTable(tableName_);
        QStringList cols;
        for (const FieldDef& f : def.fields)
            cols << quoted(f.name);
        selectSql_ = QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?")
                         .arg(cols.join(QStringLiteral(", ")), quoted(def.name));
        displayName_ = def.name;
        setOwnFields(def.fields);
    } catch (...) {
        db_.reset();
        throw;
    }
    open_ = true;
    first();
    Q_EMIT afterOpen();
}

void RowList::close() {
    if (!open_) return;
    open_ = false;
    hasRow_ = false;
    bof_ = eof_ = true;
    cur_.clear();
    db_.reset();
    Q_EMIT afterClose();
}

void RowList::setRows(std::vector<qint64> rowids) {
    ids_ = std::move(rowids);
    if (!open_) return;
    Q_EMIT afterRefresh();
    first();
}

std::vector<QVariant> RowList::readRow(qint64 rowid) {
    Statement st = db_->prepare(selectSql_);
    st.bind(1, rowid);
    std::vector<QVariant> v(static_cast<size_t>(ownFieldCount_));
    if (st.step())
        for (int i = 0; i < ownFieldCount_; ++i)
            v[size_t(i)] = st.column(i);
    return v;
}

void RowList::moveTo(size_t index) {
    pos_ = index;
    cur_ = readRow(ids_[index]);
    hasRow_ = true;
    bof_ = eof_ = false;
    rowChanged();
    emitAfterScroll();
}

void RowList::showEmpty() {
    hasRow_ = false;
    bof_ = eof_ = true;
    cur_.clear();
    rowChanged();
    emitAfterScroll();
}

void RowList::first() {
    requireOpen();
    if (ids_.empty()) return showEmpty();
    moveTo(0);
    bof_ = true;
}

void RowList::last() {
    requireOpen();
    if (ids_.empty()) return showEmpty();
    moveTo(ids_.size() - 1);
    eof_ = true;
}

void RowList::next() {
    requireOpen();
    if (!hasRow_ || pos_ + 1 >= ids_.size()) {
        eof_ = true;
        return;
    }
    moveTo(pos_ + 1);
}

void RowList::prior() {
    requireOpen();
    if (!hasRow_ || pos_ == 0) {
        bof_ = true;
        return;
    }
    moveTo(pos_ - 1);
}

int RowList::recordCount() {
    requireOpen();
    return int(ids_.size());
}

int RowList::recNo() {
    requireOpen();
    return hasRow_ ? int(pos_) + 1 : 0;
}

void RowList::setRecNo(int n) {
    requireOpen();
    if (ids_.empty()) return;
    moveTo(size_t(std::clamp(n, 1, int(ids_.size()))) - 1);
}

bool RowList::gotoRowId(qint64 rowid) {
    requireOpen();
    for (size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == rowid) {
            moveTo(i);
            return true;
        }
    return false;
}

QVariant RowList::storedValue(int index) const {
    if (!hasRow_ || index < 0 || index >= int(cur_.size())) return {};
    return cur_[size_t(index)];
}

std::vector<DataSet::StoredRow> RowList::storedRowsAt(int first, int count) {
    std::vector<StoredRow> out;
    if (first < 0 || count <= 0) return out;
    Database::ReadScope reading(*db_);
    for (size_t i = size_t(first); i < ids_.size() && i < size_t(first) + size_t(count); ++i)
        out.emplace_back(ids_[i], readRow(ids_[i]));
    return out;
}

} // namespace engine
