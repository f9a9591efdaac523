#include "engine/table.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/serverschema.h"
#include "engine/sqlfunctions.h"
#include "engine/values.h"
#include <QDir>
#include <algorithm>

namespace engine {

using K = EngineError::Kind;

namespace {

QString quotedIdent(const QString& s) {
    QString q = s;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

constexpr int kMaxBatch = 256;
// Enough for a screenful and for most detail ranges, so these take a single statement.
constexpr int kFirstBatch = 20;
// Position samples pay for themselves only on long tables.
constexpr int kSampleThreshold = 20000;
constexpr int kSampleStep = 512;
constexpr size_t kKeepBehind = 256;
// A change stamp no database gives: the next look re-reads.
constexpr quint64 kStale = ~quint64(0);

// Samples read by one cursor serve another on the same table only while both see the same
// fields in the same places.
QString fieldsFingerprint(const TableDef& def) {
    QString out;
    for (const auto& f : def.fields)
        out += f.name + QChar(0x1f);
    return out;
}

} // namespace

Table::Table(QObject* parent) : DataSet(parent) {}

Table::Table(const QString& folder, const QString& tableName, QObject* parent) : DataSet(parent) {
    setDatabaseName(folder);
    setTableName(tableName);
}

Table::~Table() {
    try {
        close();
    } catch (const EngineError&) {
        // Nothing sensible to do while being destroyed; locks end with their lease.
    }
}

void Table::setTableName(const QString& name) {
    requireClosed();
    tableName_ = bareTableName(name);
    displayName_ = tableName_;
}

void Table::setIndexFieldNames(const QString& fields) {
    indexFields_ = fields.split(u';', Qt::SkipEmptyParts);
    for (auto& f : indexFields_)
        f = f.trimmed();
    indexName_.clear();
    if (open_) {
        checkBrowseMode();
        const qint64 at = rowId();
        buildSql();
        if (!at || !gotoRowId(at)) first();
        Q_EMIT afterRefresh(); // the rows are others, or in another order
    }
}

void Table::setIndexName(const QString& name) {
    indexName_ = name.trimmed();
    indexFields_.clear();
    if (open_) {
        checkBrowseMode();
        const qint64 at = rowId();
        buildSql();
        if (!at || !gotoRowId(at)) first();
        Q_EMIT afterRefresh(); // the rows are others, or in another order
    }
}

QString Table::indexFieldNames() const {
    QStringList out;
    for (const auto& k : key_)
        out << std::as_const(def_.fields)[k.field].name;
    return out.join(u';');
}

void Table::setFilter(const QString& expression) {
    filterText_ = expression;
    if (open_ && filtered_) {
        checkBrowseMode();
        buildSql();
        first();
        Q_EMIT afterRefresh();
    }
}

void Table::setFiltered(bool on) {
    if (on == filtered_) return;
    filtered_ = on;
    if (open_) {
        checkBrowseMode();
        try {
            buildSql();
        } catch (...) {
            filtered_ = false;
            buildSql();
            throw;
        }
        first();
        Q_EMIT afterRefresh();
    }
}

void Table::setRange(const QVariantList& values) {
    rangeValues_ = values;
    hasRange_ = true;
    if (open_) {
        checkBrowseMode();
        buildSql();
        first();
        Q_EMIT afterRefresh();
    }
}

void Table::cancelRange() {
    hasRange_ = false;
    rangeValues_.clear();
    if (open_) {
        checkBrowseMode();
        buildSql();
        first();
        Q_EMIT afterRefresh();
    }
}

void Table::setMaster(DataSet* master, const QString& masterFields, const QString& detailFields) {
    if (master_) disconnect(master_, nullptr, this, nullptr);
    master_ = master;
    masterFields_ = masterFields.split(u';', Qt::SkipEmptyParts);
    detailFields_ = detailFields.split(u';', Qt::SkipEmptyParts);
    masterValues_.clear();
    if (master) {
        connect(master, &DataSet::afterScroll, this, &Table::onMasterMoved);
        connect(master, &DataSet::afterOpen, this, &Table::onMasterMoved);
        connect(master, &DataSet::afterClose, this, &Table::onMasterMoved);
        connect(master, &DataSet::afterRefresh, this, &Table::onMasterMoved);
    }
    if (open_) onMasterMoved();
}

// --- Open / close -----------------------------------------------------------------------------

void Table::open() {
    openInternal(false);
}
void Table::openExclusive() {
    openInternal(true);
}

void Table::openInternal(bool exclusive) {
    if (open_) return;
    if (tableName_.isEmpty())
        throw EngineError(K::MissingTable, QStringLiteral("Nie podano nazwy tabeli."));
    try {
        db_ = Database::open(folder_, Database::Mode::MustExist);
        onServer_ = db_->onServer();
    } catch (const EngineError& e) {
        // A folder without a database lacks the table; a missing folder is said as such.
        if (e.kind() != K::NoDatabase || !QDir(folder_).exists()) throw;
        throw EngineError(K::MissingTable,
                          QStringLiteral("Tabela %1 nie istnieje w folderze %2.")
                              .arg(tableName_, QDir::toNativeSeparators(folder_)),
                          tableName_);
    }
    std::vector<Row> firstRows;
    try {
        // The reads of an open under one lock; the exclusive lock below is a write, after it.
        std::optional<Database::ReadScope> reading;
        reading.emplace(*db_);
        def_ = db_->requireTable(tableName_);
        displayName_ = def_.name;
        if (auto by = db_->tableLockedBy(def_.name))
            throw EngineError(
                K::Locked,
                QStringLiteral("Tabela %1 jest używana na wyłączność przez użytkownika %2.")
                    .arg(def_.name, *by),
                def_.name);
        setOwnFields(def_.fields);
        buildSql();
        if (master_) {
            onMasterValues();
            buildSql();
        }
        stamp_ = db_->changeStamp();
        firstRows = fetch(true, nullptr, kFirstBatch);
        if (!db_->inTransaction())
            if (auto it = countCache().constFind(countKey());
                it != countCache().constEnd() && it->first == stamp_)
                count_ = it->second;
        reading.reset();
        if (exclusive) db_->lockTable(def_.name);
    } catch (...) {
        db_.reset();
        throw;
    }
    exclusive_ = exclusive;
    open_ = true;
    state_ = State::Browse;
    dbConn_ = connect(db_.get(), &Database::changed, this, &Table::onLocalChange);
    showFirst(std::move(firstRows));
    Q_EMIT afterOpen();
}

void Table::close() {
    if (!open_) return;
    if (state_ == State::Edit || state_ == State::Insert) cancel();
    disconnect(dbConn_);
    std::exception_ptr failure;
    if (exclusive_) {
        try {
            db_->unlockTable(def_.name);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    exclusive_ = false;
    open_ = false;
    hasRow_ = false;
    bof_ = eof_ = true;
    clearBuffers();
    cur_ = {};
    state_ = State::Inactive;
    db_.reset();
    whereShape_.reset(); // opened again elsewhere, the conditions may read otherwise
    Q_EMIT afterClose();
    if (failure) std::rethrow_exception(failure);
}

// --- SQL building -----------------------------------------------------------------------------

int Table::ownIndex(const QString& name) const {
    return def_.fieldIndex(name);
}

QString Table::colSql(int field) const {
    const FieldDef& f = std::as_const(def_.fields)[field];
    if (onServer_) return quotedIdent(isTextColumn(f.type) ? sortKeyColumn(f.name) : f.name);
    return quotedIdent(f.name) + (isTextType(f.type) ? QStringLiteral(" COLLATE PL") : QString());
}

// A value compared with colSql(field): on a server a text is compared by its sort key.
QVariant Table::keyParam(int field, const QVariant& stored) const {
    if (!onServer_ || !isTextColumn(std::as_const(def_.fields)[field].type)) return stored;
    return sortKeyOf(stored);
}

// The parts of a table object's statements that follow from the table's definition, the order
// and the filter text alone: opening a table again, or another cursor like it, takes them as
// they were built. A changed definition is a new field list, so it never matches an old entry.
struct Table::Shape {
    TableDef def; // holds the field list the entry was built for
    QString indexName;
    QStringList indexFields;
    QString filterText;          // empty when no filter applies
    mutable QString insertSql;   // built at the first insert
    mutable QString endSql[2];   // endSql_ of a cursor under the filter alone
    mutable size_t rowBytes = 0; // a row's packed size, as a cursor of the shape last saw it
    std::vector<KeyPart> key;
    QString selectSql, keySelectSql, orderAsc, orderDesc;
    SqlFragment filter; // empty when no filter applies
};

std::shared_ptr<const Table::Shape> Table::shape() {
    const bool filterOn = filtered_ && !filterText_.trimmed().isEmpty();
    // Moving a detail cursor to another master row rebuilds only the conditions.
    if (shape_ && shape_->def.fields.constData() == def_.fields.constData() &&
        shape_->def.indexes.constData() == def_.indexes.constData() &&
        shape_->indexName == indexName_ && shape_->indexFields == indexFields_ &&
        shape_->filterText == (filterOn ? filterText_ : QString()))
        return shape_;
    QString cacheKey = folder_ + QChar(0x1f) + def_.name + QChar(0x1f) + indexName_ + QChar(0x1f) +
                       indexFields_.join(u';');
    if (filterOn) cacheKey += QChar(0x1f) + filterText_;
    static QHash<QString, std::shared_ptr<const Shape>> cache;
    if (auto it = cache.constFind(cacheKey); it != cache.constEnd()) {
        const Shape& s = **it;
        if (s.def.fields.constData() == def_.fields.constData() &&
            s.def.indexes.constData() == def_.indexes.constData() &&
            s.def.fields.size() == def_.fields.size())
            return shape_ = *it;
    }
    auto out = std::make_shared<Shape>();
    out->def = def_;
    out->indexName = indexName_;
    out->indexFields = indexFields_;
    if (filterOn) out->filterText = filterText_;
    // Order
    QStringList names = indexFields_;
    if (names.isEmpty()) {
        const IndexDef* ix = indexName_.isEmpty() ? def_.primaryIndex() : def_.index(indexName_);
        if (!ix && !indexName_.isEmpty())
            fail(int(K::MissingField),
                 QStringLiteral("Indeks %1 nie istnieje w tabeli %2.").arg(indexName_, def_.name));
        if (ix) names = ix->fields;
    }
    std::vector<KeyPart>& key = out->key;
    for (const auto& n : names) {
        int i = ownIndex(n);
        if (i < 0)
            fail(int(K::MissingField),
                 QStringLiteral("Pole %1 nie istnieje w tabeli %2.").arg(n, def_.name));
        key.push_back({i, isTextType(std::as_const(def_.fields)[i].type)});
    }
    QStringList asc, desc;
    for (const auto& k : key) {
        // A server puts empty values last unless told; a folder puts them first.
        asc << colSql(k.field) + (onServer_ ? QStringLiteral(" NULLS FIRST") : QString());
        desc << colSql(k.field) +
                    (onServer_ ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" DESC"));
    }
    asc << QStringLiteral("rowid");
    desc << QStringLiteral("rowid DESC");

    // Columns
    QStringList cols{QStringLiteral("rowid")};
    for (const auto& f : std::as_const(def_.fields))
        cols << quotedIdent(f.name);

    if (filterOn) {
        FilterResolver resolve = [this](const QString& name) -> std::optional<FilterColumn> {
            int i = def_.fieldIndex(name);
            if (i < 0) return std::nullopt;
            return FilterColumn{quotedIdent(std::as_const(def_.fields)[i].name),
                                std::as_const(def_.fields)[i]};
        };
        out->filter = translateFilter(filterText_, def_.name, resolve, db_->dialect());
    }
    out->selectSql = QStringLiteral("SELECT ") + cols.join(QStringLiteral(", ")) +
                     QStringLiteral(" FROM ") + quotedIdent(def_.name);
    QStringList keyCols{QStringLiteral("rowid")};
    for (const auto& k : key)
        keyCols << quotedIdent(std::as_const(def_.fields)[k.field].name);
    out->keySelectSql = QStringLiteral("SELECT ") + keyCols.join(QStringLiteral(", ")) +
                        QStringLiteral(" FROM ") + quotedIdent(def_.name);
    out->orderAsc = QStringLiteral(" ORDER BY ") + asc.join(QStringLiteral(", "));
    out->orderDesc = QStringLiteral(" ORDER BY ") + desc.join(QStringLiteral(", "));
    if (cache.size() >= 64) cache.clear();
    cache.insert(cacheKey, out);
    return shape_ = out;
}

void Table::buildSql() {
    const std::shared_ptr<const Shape> sh = shape();
    const std::vector<KeyPart>& key = sh->key;

    // Conditions every row meets: the filter, then field = value for the range and the master
    // link. Their text depends only on which fields and which values are NULL, so a detail
    // cursor following its master, or a range moved to other values, keeps the text it had and
    // binds new values.
    std::vector<int> conds; // field * 2 + 1 when the value is NULL; -1: no row can match
    QVariantList params;
    params.reserve(sh->filter.params.size() + rangeValues_.size() + masterValues_.size());
    if (!sh->filter.sql.isEmpty()) params << sh->filter.params;
    auto equalTo = [&](int field, QVariant stored) {
        const bool null = stored.isNull();
        conds.push_back(field * 2 + (null ? 1 : 0));
        if (!null) params << (onServer_ ? keyParam(field, stored) : std::move(stored));
    };
    if (hasRange_) {
        for (int i = 0; i < rangeValues_.size() && i < int(key.size()); ++i)
            equalTo(key[i].field, toStorage(std::as_const(def_.fields)[key[i].field],
                                            rangeValues_[i], def_.name));
    }
    if (master_) {
        if (masterEmpty_) {
            conds.push_back(-1);
        } else {
            for (int i = 0; i < masterValues_.size(); ++i) {
                int field;
                if (i < detailFields_.size()) {
                    field = ownIndex(detailFields_[i]);
                    if (field < 0)
                        fail(int(K::MissingField),
                             QStringLiteral("Pole %1 nie istnieje w tabeli %2.")
                                 .arg(detailFields_[i], def_.name));
                } else if (i < int(key.size())) {
                    field = key[i].field;
                } else {
                    fail(int(K::MissingField),
                         QStringLiteral(
                             "Tabela %1: za mało pól indeksu dla powiązania z tabelą nadrzędną.")
                             .arg(def_.name));
                }
                equalTo(field, masterValues_[i]);
            }
        }
    }

    if (sh != whereShape_ || conds != whereConds_) {
        QStringList where;
        if (!sh->filter.sql.isEmpty()) where << u'(' + sh->filter.sql + u')';
        for (int c : conds) {
            if (c < 0)
                where << (onServer_ ? QStringLiteral("false") : QStringLiteral("0"));
            else if (c & 1)
                where << quotedIdent(std::as_const(def_.fields)[c / 2].name) +
                             QStringLiteral(" IS NULL");
            else
                where << colSql(c / 2) + QStringLiteral(" = ?");
        }
        QString newWhere = where.join(QStringLiteral(" AND "));
        if (newWhere != baseWhere_ || selectSql_ != sh->selectSql || orderAsc_ != sh->orderAsc) {
            endSql_[0].clear();
            endSql_[1].clear();
            rowSql_[0].clear();
            rowSql_[1].clear();
            keyedSql_.clear();
        }
        key_ = key;
        selectSql_ = sh->selectSql;
        keySelectSql_ = sh->keySelectSql;
        orderAsc_ = sh->orderAsc;
        orderDesc_ = sh->orderDesc;
        baseWhere_ = std::move(newWhere);
        // A new cursor reads its first rows into room for rows of the size its like saw.
        if (!rowBytesSeen_ && sh->rowBytes) rowBytes_ = sh->rowBytes;
        whereShape_ = sh;
        whereConds_ = std::move(conds);
    }
    baseParams_ = std::move(params);
    count_ = -1;
    forgetPositions();
    recNo_ = 0;
    clearBuffers();
}

// --- Fetching ---------------------------------------------------------------------------------

// Room for `rows` rows the size of the last ones read, so that the block rarely grows. A small
// block that no row holds any more serves again: searching, or moving a detail range, over and
// over allocates nothing.
PackedRow::Block Table::newBlock(int rows) {
    constexpr size_t kSpareMax = size_t(64) << 10;
    const size_t want = size_t(std::clamp(rows, 1, 1024)) * rowBytes_;
    for (auto& spare : spare_)
        if (spare && spare.use_count() == 1 && spare->capacity() <= kSpareMax) {
            spare->clear();
            spare->reserve(want);
            return spare;
        }
    auto block = std::make_shared<std::string>();
    block->reserve(want);
    if (want <= kSpareMax) {
        // Into a free place, else in place of the second (its rows keep it while they last).
        auto& place = spare_[0] ? spare_[1] : spare_[0];
        place = block;
    }
    return block;
}

// Notes the size of the rows just read; a block read short gives back its spare room.
void Table::keepBlock(std::string& block, size_t rows) {
    if (rows > 0) {
        rowBytes_ = std::clamp<size_t>(block.size() / rows + 8, 16, 4096);
        rowBytesSeen_ = true;
        if (whereShape_) whereShape_->rowBytes = rowBytes_;
    }
    if (block.capacity() > 2 * block.size() + 1024) block.shrink_to_fit();
}

Table::Row Table::rowFrom(const Statement& st, const PackedRow::Block& block) const {
    Row r;
    r.rowid = st.columnInt(0);
    r.packed.assign(block ? block : std::make_shared<std::string>(), st, 1,
                    int(def_.fields.size()));
    return r;
}

std::vector<Table::Row> Table::fetchRange(const QString& cond, const QVariantList& params,
                                          bool forward, int limit) {
    // Reading from an end, the commonest, has its text built once per set of conditions.
    QString& plain = endSql_[forward ? 1 : 0];
    const bool fromEnd = cond.isEmpty() && !keysOnly_;
    if (!fromEnd) return fetchSql(selectWhere(cond, forward), params, limit);
    if (plain.isEmpty()) {
        // Without a range or a master the text is the same for every cursor of the shape.
        const Shape* shared = whereConds_.empty() ? whereShape_.get() : nullptr;
        if (shared && !shared->endSql[forward].isEmpty()) {
            plain = shared->endSql[forward];
        } else {
            plain = selectWhere(cond, forward);
            if (shared) shared->endSql[forward] = plain;
        }
    }
    return fetchSql(plain, params, limit);
}

// The rows' statement under baseWhere_ and `cond`, in the order, up to a bound limit.
QString Table::selectWhere(const QString& cond, bool forward) const {
    QString sql = keysOnly_ ? keySelectSql_ : selectSql_;
    QStringList parts;
    if (!baseWhere_.isEmpty()) parts << baseWhere_;
    if (!cond.isEmpty()) parts << cond;
    if (!parts.isEmpty()) sql += QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    sql += forward ? orderAsc_ : orderDesc_;
    sql += QStringLiteral(" LIMIT ?");
    return sql;
}

std::vector<Table::Row> Table::fetchSql(const QString& sql, const QVariantList& params, int limit) {
    Statement st = db_->prepare(sql);
    st.bindAll(baseParams_);
    st.bindAll(params, int(baseParams_.size()) + 1);
    st.bind(int(baseParams_.size() + params.size()) + 1, limit);
    std::vector<Row> rows;
    rows.reserve(size_t(std::clamp(limit, 1, 1024)));
    const auto block = keysOnly_ ? nullptr : newBlock(limit);
    while (st.step())
        rows.push_back(keysOnly_ ? keyRowFrom(st) : rowFrom(st, block));
    if (block) keepBlock(*block, rows.size());
    return rows;
}

Table::Row Table::keyRowFrom(const Statement& st) const {
    Row r;
    r.rowid = st.columnInt(0);
    r.v.resize(def_.fields.size());
    for (size_t k = 0; k < key_.size(); ++k)
        r.v[key_[k].field] = st.column(int(k) + 1);
    return r;
}

// The rows after (or before) `from` in key order are the union of disjoint ranges, each an
// equality on a prefix of the key and an inequality on the next field. Each range is one
// index seek, and empty fields (NULL, first in the order) need no special index.
std::vector<Table::Row> Table::fetch(bool forward, const Row* from, int limit, bool inclusive) {
    if (!from) return fetchRange({}, {}, forward, limit);
    const int n = int(key_.size());
    if (forward) {
        // From a row without empty key fields, the rows after it are one range of row values:
        // a row with an empty field further on sorts first within its prefix and compares as
        // unknown exactly where it belongs before the row. One seek, one statement.
        // The collation goes with the values: SQLite seeks the index only for plain columns.
        QVariantList params;
        bool complete = true;
        for (int j = 0; j < n && complete; ++j) {
            QVariant v = from->at(key_[j].field);
            complete = !v.isNull();
            params << (onServer_ ? keyParam(key_[j].field, v) : std::move(v));
        }
        if (complete) {
            params << from->rowid;
            // The text is the same for every row: built once, kept with the keyed statements.
            QString& sql =
                keyedSql_[quint64(3) | quint64(inclusive) << 2 | quint64(keysOnly_) << 23];
            if (sql.isEmpty()) {
                QStringList cols, marks;
                for (int j = 0; j < n; ++j) {
                    const int field = key_[j].field;
                    if (onServer_) {
                        cols << colSql(field);
                        marks << QStringLiteral("?");
                    } else {
                        cols << quotedIdent(std::as_const(def_.fields)[field].name);
                        marks << (key_[j].text ? QStringLiteral("? COLLATE PL")
                                               : QStringLiteral("?"));
                    }
                }
                cols << QStringLiteral("rowid");
                marks << QStringLiteral("?");
                sql =
                    selectWhere(u'(' + cols.join(QStringLiteral(", ")) + u')' +
                                    (inclusive ? QStringLiteral(" >= (") : QStringLiteral(" > (")) +
                                    marks.join(QStringLiteral(", ")) + u')',
                                true);
            }
            return fetchSql(sql, params, limit);
        }
    }
    Database::ReadScope reading(*db_);
    std::vector<Row> out;
    for (int i = n; i >= 0 && int(out.size()) < limit; --i) {
        QStringList conds;
        QVariantList params;
        for (int j = 0; j < i; ++j) {
            const QVariant v = from->at(key_[j].field);
            if (v.isNull()) {
                conds << quotedIdent(std::as_const(def_.fields)[key_[j].field].name) +
                             QStringLiteral(" IS NULL");
            } else {
                conds << colSql(key_[j].field) + QStringLiteral(" = ?");
                params << keyParam(key_[j].field, v);
            }
        }
        auto run = [&](const QString& last, const QVariantList& lastParams) {
            QStringList c = conds;
            c << last;
            QVariantList p = params;
            p << lastParams;
            for (auto& r :
                 fetchRange(c.join(QStringLiteral(" AND ")), p, forward, limit - int(out.size())))
                out.push_back(std::move(r));
        };
        if (i == n) {
            const char* op = forward ? (inclusive ? ">=" : ">") : (inclusive ? "<=" : "<");
            run(QStringLiteral("rowid ") + QLatin1String(op) + QStringLiteral(" ?"), {from->rowid});
            continue;
        }
        const int field = key_[i].field;
        const QVariant v = from->at(field);
        const QString plain = quotedIdent(std::as_const(def_.fields)[field].name);
        if (forward) {
            if (v.isNull())
                run(plain + QStringLiteral(" IS NOT NULL"), {});
            else
                run(colSql(field) + QStringLiteral(" > ?"), {keyParam(field, v)});
        } else if (!v.isNull()) {
            run(colSql(field) + QStringLiteral(" < ?"), {keyParam(field, v)});
            if (int(out.size()) < limit) run(plain + QStringLiteral(" IS NULL"), {});
        }
    }
    return out;
}

bool Table::fetchBatch(bool forward) {
    if (!hasRow_) return false;
    bool& atEnd = forward ? endAhead_ : endBehind_;
    if (atEnd) return false;
    Ring<Row>& into = forward ? ahead_ : behind_;
    const Row* from = into.empty() ? &cur_ : &into.back();
    const int asked = batch_;
    auto rows = fetch(forward, from, asked);
    // Each batch is a statement and a lock of the file: they grow fast while rows are small,
    // and a batch of big rows (pictures, notes) stays within about a megabyte.
    const int byBytes = int(std::min<size_t>(kMaxBatch, (size_t(1) << 20) / rowBytes_));
    batch_ = std::max(16, std::min({batch_ * 2, kMaxBatch, byBytes}));
    atEnd = int(rows.size()) < asked;
    for (auto& r : rows)
        into.push_back(std::move(r));
    return !rows.empty();
}

std::optional<Table::Row> Table::readRow(qint64 rowid, bool visibleOnly) {
    QString& sql = rowSql_[visibleOnly ? 1 : 0];
    if (sql.isEmpty()) {
        sql = selectSql_ + QStringLiteral(" WHERE ");
        if (visibleOnly && !baseWhere_.isEmpty()) sql += baseWhere_ + QStringLiteral(" AND ");
        sql += QStringLiteral("rowid = ?");
    }
    Statement st = db_->prepare(sql);
    int next = 1;
    if (visibleOnly) {
        st.bindAll(baseParams_);
        next += int(baseParams_.size());
    }
    st.bind(next, rowid);
    if (!st.step()) return std::nullopt;
    return rowFrom(st);
}

int Table::countWhere(const QString& extra, const QVariantList& params) {
    QString sql = QStringLiteral("SELECT count(*) FROM ") + quotedIdent(def_.name);
    QStringList parts;
    if (!baseWhere_.isEmpty()) parts << baseWhere_;
    if (!extra.isEmpty()) parts << extra;
    if (!parts.isEmpty()) sql += QStringLiteral(" WHERE ") + parts.join(QStringLiteral(" AND "));
    Statement st = db_->prepare(sql);
    st.bindAll(baseParams_);
    st.bindAll(params, int(baseParams_.size()) + 1);
    return st.step() ? int(st.columnInt(0)) : 0;
}

void Table::clearBuffers() {
    ahead_.clear();
    behind_.clear();
    batch_ = 16;
    endAhead_ = endBehind_ = false;
}

std::vector<Table::Row> Table::rowsByOffset(bool fromStart, int offset, int limit) {
    QString sql = selectSql_;
    if (!baseWhere_.isEmpty()) sql += QStringLiteral(" WHERE ") + baseWhere_;
    sql += (fromStart ? orderAsc_ : orderDesc_) + QStringLiteral(" LIMIT ? OFFSET ?");
    Statement st = db_->prepare(sql);
    st.bindAll(baseParams_);
    st.bind(int(baseParams_.size()) + 1, limit);
    st.bind(int(baseParams_.size()) + 2, offset);
    std::vector<Row> rows;
    const auto block = newBlock(limit);
    while (st.step())
        rows.push_back(rowFrom(st, block));
    keepBlock(*block, rows.size());
    return rows;
}

// A grid asks for the rows it shows by position. Positions come from the nearest row whose
// position is known (the previous page, the cursor), by key; only a jump far from all of them
// counts rows from the nearer end.
std::vector<DataSet::StoredRow> Table::storedRowsAt(int first, int count) {
    const int total = recordCount();
    std::vector<StoredRow> out;
    if (first < 0 || first >= total || count <= 0) return out;
    count = std::min(count, total - first);
    const int last = first + count - 1;
    if (hasRow_ && recNo_ > 0 && state_ == State::Browse) anchors_.emplace(recNo_ - 1, cur_);

    constexpr int kWalk = 4096; // stepping by key beats an OFFSET only when close
    int bestCost = std::min(first, total - 1 - last);
    enum { Start, End, Before, After } how = first <= total - 1 - last ? Start : End;
    std::map<int, Row>::iterator anchor = anchors_.end();
    auto after = anchors_.lower_bound(first);
    if (after != anchors_.begin()) {
        auto before = std::prev(after);
        if (first - before->first < bestCost && first - before->first <= kWalk) {
            bestCost = first - before->first;
            how = Before;
            anchor = before;
        }
    }
    auto behind = anchors_.lower_bound(last);
    if (behind != anchors_.end() && behind->first - last < bestCost &&
        behind->first - last <= kWalk) {
        bestCost = behind->first - last;
        how = After;
        anchor = behind;
    }
    // A position sample strictly before the window serves like an anchor (its row carries only
    // the key, so it is never itself part of the window).
    const Row* from = anchor != anchors_.end() ? &anchor->second : nullptr;
    int fromPos = anchor != anchors_.end() ? anchor->first : 0;
    const auto sampleRows = samples_.rows; // held while `from` may point into them
    if (!samples_.empty() && first > 0) {
        const auto p = std::lower_bound(samples_.pos.begin(), samples_.pos.end(), first);
        if (p != samples_.pos.begin()) {
            const size_t idx = size_t(std::prev(p) - samples_.pos.begin());
            if (first - samples_.pos[idx] < bestCost) {
                how = Before;
                from = &(*sampleRows)[idx];
                fromPos = samples_.pos[idx];
            }
        }
    }

    std::vector<Row> rows;
    switch (how) {
    case Start:
        rows = rowsByOffset(true, first, count);
        break;
    case End:
        rows = rowsByOffset(false, total - 1 - last, count);
        std::reverse(rows.begin(), rows.end());
        break;
    case Before: {
        const int skip = first - fromPos; // rows between the anchor and the window, +1
        if (skip == 0) rows.push_back(*from);
        auto more = fetch(true, from, skip == 0 ? count - 1 : skip - 1 + count);
        for (size_t i = skip == 0 ? 0 : size_t(skip - 1); i < more.size(); ++i)
            rows.push_back(std::move(more[i]));
        break;
    }
    case After: {
        const int skip = anchor->first - last;
        auto more = fetch(false, &anchor->second, skip == 0 ? count - 1 : skip - 1 + count);
        std::vector<Row> back;
        if (skip == 0) back.push_back(anchor->second);
        for (size_t i = skip == 0 ? 0 : size_t(skip - 1); i < more.size(); ++i)
            back.push_back(std::move(more[i]));
        rows.assign(std::make_move_iterator(back.rbegin()), std::make_move_iterator(back.rend()));
        break;
    }
    }
    if (anchors_.size() > 256) anchors_.clear();
    if (!rows.empty()) {
        anchors_.emplace(first, rows.front());
        anchors_.emplace(first + int(rows.size()) - 1, rows.back());
    }
    for (auto& r : rows)
        out.emplace_back(r.rowid, r.values(int(def_.fields.size())));
    return out;
}

void Table::setEmpty() {
    hasRow_ = false;
    cur_ = {};
    bof_ = eof_ = true;
    recNo_ = 0;
    clearBuffers();
    rowChanged();
}

void Table::emitScroll() {
    rowChanged();
    emitAfterScroll();
}

// Takes rows fetched from an end or a search: the first is the new current row, the rest the
// buffer in that direction.
void Table::positionAt(std::vector<Row> rows, bool forward, int recNo, End end) {
    clearBuffers();
    if (rows.empty()) {
        setEmpty();
        emitScroll();
        return;
    }
    hasRow_ = true;
    cur_ = std::move(rows[0]);
    Ring<Row>& into = forward ? ahead_ : behind_;
    for (size_t i = 1; i < rows.size(); ++i)
        into.push_back(std::move(rows[i]));
    bof_ = end == End::Bof;
    eof_ = end == End::Eof;
    recNo_ = recNo; // set before the signal: handlers read the position
    emitScroll();
}

void Table::checkBrowseMode() {
    if (state_ == State::Edit || state_ == State::Insert) {
        if (modified_)
            post();
        else
            cancel();
    }
}

// --- Navigation -------------------------------------------------------------------------------

void Table::first() {
    requireOpen();
    checkBrowseMode();
    showFirst(fetch(true, nullptr, kFirstBatch));
}

void Table::showFirst(std::vector<Row> rows) {
    const bool all = rows.size() < size_t(kFirstBatch);
    const qint64 at = rows.empty() ? 0 : rows.front().rowid;
    positionAt(std::move(rows), true, 1, End::Bof);
    // Unless a handler of the scroll signal moved the cursor on.
    if (all && hasRow_ && cur_.rowid == at && !endBehind_) endAhead_ = true;
}

void Table::last() {
    requireOpen();
    checkBrowseMode();
    auto rows = fetch(false, nullptr, kFirstBatch);
    const bool all = rows.size() < size_t(kFirstBatch);
    const qint64 at = rows.empty() ? 0 : rows.front().rowid;
    positionAt(std::move(rows), false, count_ >= 0 ? count_ : 0, End::Eof);
    if (all && hasRow_ && cur_.rowid == at && !endAhead_) endBehind_ = true;
}

void Table::next() {
    requireOpen();
    checkBrowseMode();
    if (!hasRow_) {
        bof_ = eof_ = true;
        return;
    }
    if (ahead_.empty()) fetchBatch(true);
    if (ahead_.empty()) {
        eof_ = true;
        return;
    }
    behind_.push_front(std::move(cur_));
    if (behind_.size() > kKeepBehind) {
        behind_.pop_back();
        endBehind_ = false;
    }
    cur_ = ahead_.take_front();
    if (recNo_ > 0) ++recNo_;
    bof_ = eof_ = false;
    emitScroll();
}

void Table::prior() {
    requireOpen();
    checkBrowseMode();
    if (!hasRow_) {
        bof_ = eof_ = true;
        return;
    }
    if (behind_.empty()) fetchBatch(false);
    if (behind_.empty()) {
        bof_ = true;
        return;
    }
    ahead_.push_front(std::move(cur_));
    if (ahead_.size() > kKeepBehind) {
        ahead_.pop_back();
        endAhead_ = false;
    }
    cur_ = behind_.take_front();
    if (recNo_ > 0) --recNo_;
    bof_ = eof_ = false;
    emitScroll();
}

int Table::recordCount() {
    requireOpen();
    if (count_ >= 0) return count_;
    // Inside a write transaction the count may include rows that a rollback takes back.
    if (db_->inTransaction()) return count_ = countWhere({}, {});
    Database::ReadScope reading(*db_);
    const quint64 stamp = db_->changeStamp();
    if (auto it = countCache().constFind(countKey());
        it != countCache().constEnd() && it->first == stamp)
        return count_ = it->second;
    count_ = countWhere({}, {});
    auto& cache = countCache();
    if (cache.size() >= 256) cache.clear();
    cache.insert(countKey(), {stamp, count_});
    return count_;
}

// Counts outlive a close like the position samples: reopening a list, or another cursor on the
// same rows, takes the count while nobody has changed anything since it was taken. Stamps are
// comparable only within one connection, hence its owner id in the key.
QString Table::countKey() const {
    // Asked at every open: one allocation, not one per part.
    const QString& owner = db_->ownerId();
    QString key;
    key.reserve(owner.size() + def_.name.size() + baseWhere_.size() + 2 + 24 * baseParams_.size());
    key += owner;
    key += QChar(0x1f);
    key += def_.name;
    key += QChar(0x1f);
    key += baseWhere_;
    for (const QVariant& p : baseParams_) {
        key += QChar(0x1f);
        key += p.toString();
    }
    return key;
}

QHash<QString, std::pair<quint64, int>>& Table::countCache() {
    static QHash<QString, std::pair<quint64, int>> cache;
    return cache;
}

void Table::forgetPositions() {
    anchors_.clear();
    if (samples_.stamp != 0 || samples_.count != 0 || !samples_.owner.isEmpty() ||
        !samples_.empty())
        samples_ = {};
}

// Compares two rows in the active order (empty first, text in the Polish order, then row id),
// as SQLite orders them, for searching the position samples.
int Table::compareKeys(const Row& a, const Row& b) const {
    return compareKeys(key_, a, b);
}

int Table::compareKeys(const std::vector<KeyPart>& key, const Row& a, const Row& b) {
    for (const auto& k : key) {
        const QVariant x = a.at(k.field);
        const QVariant y = b.at(k.field);
        if (x.isNull() || y.isNull()) {
            if (x.isNull() != y.isNull()) return x.isNull() ? -1 : 1;
            continue;
        }
        int c;
        if (k.text) {
            c = comparePolish(x.toString(), y.toString());
        } else if (x.typeId() == QMetaType::QString || y.typeId() == QMetaType::QString) {
            c = x.toString().compare(y.toString());
        } else {
            const double dx = x.toDouble(), dy = y.toDouble();
            c = dx < dy ? -1 : (dx > dy ? 1 : 0);
        }
        if (c != 0) return c;
    }
    return a.rowid < b.rowid ? -1 : (a.rowid > b.rowid ? 1 : 0);
}

// Every kSampleStep-th row's key, read once with one index scan, so that the position of a row
// in a long table costs a search among the samples and a short walk, not a count from the start.
void Table::buildSamples() {
    samples_ = {};
    QString sql = keySelectSql_;
    if (!baseWhere_.isEmpty()) sql += QStringLiteral(" WHERE ") + baseWhere_;
    sql += orderAsc_;
    // Samples outlive a close: reopening the item list, or another cursor in the same order,
    // takes them while nobody has changed anything since they were read.
    // Stamps are comparable only within one connection, hence its owner id in the key.
    QString key = db_->ownerId() + QChar(0x1f) + sql;
    for (const QVariant& p : baseParams_)
        key += QChar(0x1f) + p.toString();
    const quint64 stamp = db_->changeStamp();
    auto& cache = sampleCache();
    if (auto it = cache.find(key); it != cache.end() && it->stamp == stamp) {
        samples_ = it.value();
        return;
    }
    Statement st = db_->prepare(sql);
    st.bindAll(baseParams_);
    int i = 0;
    std::vector<Row> rows;
    for (; st.step(); ++i)
        if (i % kSampleStep == 0) {
            rows.push_back(keyRowFrom(st));
            samples_.pos.push_back(i);
        }
    samples_.rows = std::make_shared<const std::vector<Row>>(std::move(rows));
    samples_.count = i;
    samples_.stamp = stamp;
    samples_.owner = db_->ownerId();
    samples_.table = def_.name;
    samples_.fields = fieldsFingerprint(def_);
    samples_.adjustable = baseWhere_.isEmpty();
    samples_.key = key_;
    if (cache.size() >= 8) cache.clear();
    cache.insert(key, samples_);
}

QHash<QString, Table::Samples>& Table::sampleCache() {
    static QHash<QString, Samples> cache;
    return cache;
}

// The stamp the connection will show once the write under way commits, with nobody else's
// commit in between (none can come while the write transaction holds the database).
quint64 Table::ownWriteStamp() const {
    return db_->changeStampAfterCommit();
}

// An own insert, update or delete moves every later row by one: the samples and counts read
// before it are shifted to match, instead of being read again from the whole table. Called
// inside the write's transaction; anything not exactly known (conditions, another connection's
// commit since they were read, gaps grown too long) is dropped and read again when needed.
void Table::adjustForOwnWrite(quint64 before, const Row* gone, const Row* added) {
    const quint64 after = ownWriteStamp();
    const QString owner = db_->ownerId();
    std::optional<QString> fields; // built only when samples of this table are there
    auto& cache = sampleCache();
    for (auto it = cache.begin(); it != cache.end();) {
        Samples& s = it.value();
        if (s.owner != owner) {
            ++it;
            continue;
        }
        if (s.table != def_.name) {
            // Every row of another table is where it was: this write did not touch it. Samples
            // under conditions may look into this table (an attribute filter does), so they go.
            if (s.stamp == before && s.adjustable) s.stamp = after;
            ++it;
            continue;
        }
        if (!fields) fields = fieldsFingerprint(def_);
        if (s.stamp != before || !s.adjustable || s.fields != *fields) {
            it = cache.erase(it);
            continue;
        }
        const auto less = [&s](const Row& a, const Row& b) { return compareKeys(s.key, a, b) < 0; };
        static const std::vector<Row> none;
        if (gone) {
            const std::vector<Row>& rows = s.rows ? *s.rows : none;
            auto at = std::lower_bound(rows.begin(), rows.end(), *gone, less);
            size_t i = size_t(at - rows.begin());
            if (at != rows.end() && at->rowid == gone->rowid) {
                // Seldom (one row in a sample step): the list is copied, cursors keep theirs.
                auto fewer = std::make_shared<std::vector<Row>>(rows);
                fewer->erase(fewer->begin() + std::ptrdiff_t(i));
                s.rows = std::move(fewer);
                s.pos.erase(s.pos.begin() + std::ptrdiff_t(i));
            }
            for (; i < s.pos.size(); ++i)
                --s.pos[i];
            --s.count;
        }
        if (added) {
            const std::vector<Row>& rows = s.rows ? *s.rows : none;
            auto at = std::upper_bound(rows.begin(), rows.end(), *added, less);
            for (size_t i = size_t(at - rows.begin()); i < s.pos.size(); ++i)
                ++s.pos[i];
            ++s.count;
        }
        // Walks between samples must stay short, and the first sample must stay the first row.
        bool tooLoose =
            s.pos.empty() || s.pos.front() != 0 || s.count - s.pos.back() > 4 * kSampleStep;
        for (size_t i = 1; i < s.pos.size() && !tooLoose; ++i)
            tooLoose = s.pos[i] - s.pos[i - 1] > 4 * kSampleStep;
        if (tooLoose) {
            it = cache.erase(it);
            continue;
        }
        s.stamp = after;
        ++it;
    }
    const QString whole = owner + QChar(0x1f) + def_.name + QChar(0x1f);
    for (auto it = countCache().begin(); it != countCache().end(); ++it) {
        // Whole counts of other tables (a key that ends at the table's name) stay as they were.
        const QString& key = it.key();
        if (key != whole && key.startsWith(owner + QChar(0x1f)) && key.endsWith(QChar(0x1f)) &&
            key.count(QChar(0x1f)) == 2 && it->first == before)
            it->first = after;
    }
    if (auto it = countCache().find(whole); it != countCache().end()) {
        if (it->first == before)
            *it = {after, it->second + (added ? 1 : 0) - (gone ? 1 : 0)};
        else
            countCache().erase(it);
    }
}

// A write whose commit failed: what was adjusted for it is not what the database holds.
void Table::forgetOwnSamples() {
    const QString owner = db_->ownerId();
    auto& cache = sampleCache();
    for (auto it = cache.begin(); it != cache.end();)
        it = it->owner == owner && it->table == def_.name ? cache.erase(it) : std::next(it);
    countCache().remove(owner + QChar(0x1f) + def_.name + QChar(0x1f));
}

int Table::recNo() {
    requireOpen();
    if (!hasRow_ || state_ == State::Insert) return 0;
    if (recNo_ > 0) return recNo_;
    if (recordCount() > kSampleThreshold) {
        Database::ReadScope reading(*db_);
        if (samples_.empty()) buildSamples();
        static const std::vector<Row> none;
        const auto held = samples_.rows; // the walk below may replace samples_
        const std::vector<Row>& list = held ? *held : none;
        auto after =
            std::upper_bound(list.begin(), list.end(), cur_,
                             [this](const Row& a, const Row& b) { return compareKeys(a, b) < 0; });
        if (after != list.begin()) {
            const auto sample = std::prev(after);
            const size_t idx = size_t(sample - list.begin());
            const int base = samples_.pos[idx] + 1;
            const int gap =
                (idx + 1 < samples_.pos.size() ? samples_.pos[idx + 1] : samples_.count) -
                samples_.pos[idx];
            if (sample->rowid == cur_.rowid) return recNo_ = base;
            // Only the keys: the index alone answers, no row is read.
            keysOnly_ = true;
            std::vector<Row> walk;
            try {
                walk = fetch(true, &*sample, std::max(gap, 1));
            } catch (...) {
                keysOnly_ = false;
                throw;
            }
            keysOnly_ = false;
            for (size_t j = 0; j < walk.size(); ++j)
                if (walk[j].rowid == cur_.rowid) return recNo_ = base + int(j) + 1;
        }
        // Not where the samples say: they are stale; count instead.
        samples_ = {};
    }
    // Rows before the current one: the same disjoint ranges as a backward fetch, counted.
    Database::ReadScope reading(*db_);
    int before = 0;
    const int n = int(key_.size());
    for (int i = n; i >= 0; --i) {
        QStringList conds;
        QVariantList params;
        for (int j = 0; j < i; ++j) {
            const QVariant v = cur_.at(key_[j].field);
            if (v.isNull()) {
                conds << quotedIdent(std::as_const(def_.fields)[key_[j].field].name) +
                             QStringLiteral(" IS NULL");
            } else {
                conds << colSql(key_[j].field) + QStringLiteral(" = ?");
                params << keyParam(key_[j].field, v);
            }
        }
        if (i == n) {
            before += countWhere(
                (conds + QStringList{QStringLiteral("rowid < ?")}).join(QStringLiteral(" AND ")),
                params + QVariantList{cur_.rowid});
            continue;
        }
        const int field = key_[i].field;
        const QVariant v = cur_.at(field);
        if (v.isNull()) continue;
        before += countWhere((conds + QStringList{colSql(field) + QStringLiteral(" < ?")})
                                 .join(QStringLiteral(" AND ")),
                             params + QVariantList{keyParam(field, v)});
        before +=
            countWhere((conds + QStringList{quotedIdent(std::as_const(def_.fields)[field].name) +
                                            QStringLiteral(" IS NULL")})
                           .join(QStringLiteral(" AND ")),
                       params);
    }
    recNo_ = before + 1;
    return recNo_;
}

void Table::setRecNo(int n) {
    requireOpen();
    checkBrowseMode();
    const int count = recordCount();
    if (count == 0) return;
    n = std::clamp(n, 1, count);
    const int at = hasRow_ ? recNo() : 0;
    if (at > 0 && std::abs(n - at) <= 64) {
        while (recNo_ < n && !eof_)
            next();
        while (recNo_ > n && !bof_)
            prior();
        return;
    }
    const bool fromStart = n <= count / 2 + 1;
    const int offset = fromStart ? n - 1 : count - n;
    QString sql = selectSql_;
    if (!baseWhere_.isEmpty()) sql += QStringLiteral(" WHERE ") + baseWhere_;
    sql += (fromStart ? orderAsc_ : orderDesc_) + QStringLiteral(" LIMIT 1 OFFSET ?");
    std::vector<Row> rows;
    {
        Statement st = db_->prepare(sql);
        st.bindAll(baseParams_);
        st.bind(int(baseParams_.size()) + 1, offset);
        if (st.step()) rows.push_back(rowFrom(st));
    }
    positionAt(std::move(rows), true, n);
}

QVariantList Table::keyValues(const QVariantList& given, const char* what) const {
    if (given.size() > int(key_.size()) || given.isEmpty())
        fail(int(K::BadValue),
             QStringLiteral("%1 w tabeli %2: podano %3 wartości klucza, indeks ma %4 pól.")
                 .arg(QLatin1String(what), def_.name)
                 .arg(given.size())
                 .arg(key_.size()));
    QVariantList out;
    out.reserve(given.size());
    for (int i = 0; i < given.size(); ++i)
        out << toStorage(std::as_const(def_.fields)[key_[i].field], given[i], def_.name);
    return out;
}

bool Table::findKey(const QVariantList& values) {
    requireOpen();
    checkBrowseMode();
    const QVariantList v = keyValues(values, "Szukanie klucza");
    auto rows = fetchKeyed(v, int(v.size()), Bound::None);
    if (rows.empty()) return false;
    positionAt(std::move(rows), true);
    return true;
}

void Table::findNearest(const QVariantList& values) {
    requireOpen();
    checkBrowseMode();
    const QVariantList v = keyValues(values, "Szukanie najbliższego klucza");
    const int m = int(v.size());
    std::vector<Row> rows;
    // Equal or greater in the last field given; then, field by field backwards, greater.
    for (int i = m - 1; i >= 0 && rows.empty(); --i)
        rows = fetchKeyed(v, i, i == m - 1 ? Bound::AtLeast : Bound::Above);
    if (rows.empty()) {
        last();
        return;
    }
    positionAt(std::move(rows), true);
}

// The first row whose first `equal` key fields equal `v` (an empty value: empty) and whose
// next field is bounded by `bound`. The statement's text depends only on which of the values
// are empty, so it is built once per such shape and kept with the table's other statements.
std::vector<Table::Row> Table::fetchKeyed(const QVariantList& v, int equal, Bound bound) {
    const int used = bound == Bound::None ? equal : equal + 1;
    quint64 nulls = 0;
    bool anyNull = false;
    for (int j = 0; j < used; ++j)
        if (v[j].isNull()) {
            anyNull = true;
            if (j < 40) nulls |= quint64(1) << j;
        }
    // Commonly every value given is bound as it is: the list itself serves.
    const bool asGiven = !anyNull && !onServer_ && used == int(v.size());
    QVariantList params;
    if (!asGiven) {
        params.reserve(used);
        for (int j = 0; j < used; ++j)
            if (!v[j].isNull()) params << keyParam(key_[j].field, v[j]);
    }
    const quint64 shape =
        quint64(bound) | quint64(equal) << 2 | quint64(keysOnly_) << 23 | nulls << 24;
    QString* sql = used <= 40 ? &keyedSql_[shape] : nullptr;
    QString built;
    if (!sql || sql->isEmpty()) {
        QStringList conds;
        for (int j = 0; j < used; ++j) {
            const int field = key_[j].field;
            const QString plain = quotedIdent(std::as_const(def_.fields)[field].name);
            const bool null = v[j].isNull();
            if (j < equal)
                conds << (null ? plain + QStringLiteral(" IS NULL")
                               : colSql(field) + QStringLiteral(" = ?"));
            else if (bound == Bound::AtLeast && !null) // an empty value is the smallest
                conds << colSql(field) + QStringLiteral(" >= ?");
            else if (bound == Bound::Above)
                conds << (null ? plain + QStringLiteral(" IS NOT NULL")
                               : colSql(field) + QStringLiteral(" > ?"));
        }
        built = selectWhere(conds.join(QStringLiteral(" AND ")), true);
        if (!sql)
            sql = &built;
        else
            *sql = built;
    }
    return fetchSql(*sql, asGiven ? v : params, 1);
}

bool Table::gotoRowId(qint64 rowid) {
    requireOpen();
    checkBrowseMode();
    auto r = readRow(rowid, true);
    if (!r) return false;
    std::vector<Row> rows;
    rows.push_back(std::move(*r));
    positionAt(std::move(rows), true);
    return true;
}

void Table::forEachRow(const std::function<void()>& visit) {
    requireOpen();
    checkBrowseMode();
    QString sql = selectSql_;
    if (!baseWhere_.isEmpty()) sql += QStringLiteral(" WHERE ") + baseWhere_;
    sql += orderAsc_;
    Statement st = db_->prepare(sql);
    st.bindAll(baseParams_);
    clearBuffers();
    bool any = false;
    while (st.step()) {
        cur_ = rowFrom(st);
        hasRow_ = any = true;
        recNo_ = 0;
        rowChanged();
        visit();
    }
    if (any) {
        bof_ = false;
        eof_ = true;
    } else {
        setEmpty();
    }
}

// --- Re-reading -------------------------------------------------------------------------------

bool Table::refreshIfChanged() {
    if (!open_ || state_ != State::Browse) return false;
    if (db_->changeStamp() == stamp_) return false;
    refresh();
    return true;
}

void Table::refresh() {
    requireOpen();
    checkBrowseMode();
    stamp_ = db_->changeStamp();
    clearExtraCaches();
    count_ = -1;
    forgetPositions();
    const bool had = hasRow_;
    const Row old = cur_;
    clearBuffers();
    std::vector<Row> rows;
    if (had) {
        if (auto r = readRow(old.rowid, true))
            rows.push_back(std::move(*r));
        else
            rows = fetch(true, &old, 1, true);
    }
    if (rows.empty()) {
        if (had) {
            // Nothing at or after the old position: the last row, if any.
            rows = fetch(false, nullptr, 1);
        } else {
            rows = fetch(true, nullptr, 16);
        }
    }
    const int n = int(def_.fields.size());
    const bool moved = rows.empty() != !had || (!rows.empty() && rows[0].rowid != old.rowid) ||
                       (!rows.empty() && rows[0].values(n) != old.values(n));
    recNo_ = 0;
    if (rows.empty()) {
        setEmpty();
    } else {
        hasRow_ = true;
        cur_ = std::move(rows[0]);
        for (size_t i = 1; i < rows.size(); ++i)
            ahead_.push_back(std::move(rows[i]));
        bof_ = eof_ = false;
        rowChanged();
    }
    Q_EMIT afterRefresh();
    if (moved) emitAfterScroll();
}

void Table::onLocalChange() {
    if (ownWrite_) return;
    try {
        refreshIfChanged();
    } catch (const EngineError&) {
        // Signalled from another cursor's commit; the next navigation reports any failure.
    }
}

void Table::onMasterMoved() {
    if (!open_) return;
    const QVariantList oldValues = masterValues_;
    const bool oldEmpty = masterEmpty_;
    onMasterValues();
    if (oldValues == masterValues_ && oldEmpty == masterEmpty_) {
        refreshIfChanged();
        return;
    }
    checkBrowseMode();
    buildSql();
    first();
    Q_EMIT afterRefresh();
}

void Table::onMasterValues() {
    masterValues_.clear();
    masterEmpty_ = !master_ || !master_->isOpen() || master_->isEmpty();
    if (masterEmpty_) return;
    for (int i = 0; i < masterFields_.size(); ++i) {
        QVariant typed = master_->value(masterFields_[i]);
        int field = i < detailFields_.size() ? ownIndex(detailFields_[i])
                                             : (i < int(key_.size()) ? key_[i].field : -1);
        if (field < 0) {
            masterValues_ << typed;
            continue;
        }
        QVariant stored = toStorage(std::as_const(def_.fields)[field], typed, def_.name);
        if (stored.isNull()) {
            masterEmpty_ = true; // a master row without a key has no details
            masterValues_.clear();
            return;
        }
        masterValues_ << stored;
    }
}

// --- Editing ----------------------------------------------------------------------------------

QVariant Table::storedValue(int index) const {
    if (state_ == State::Edit || state_ == State::Insert) return edit_.v[index];
    if (!hasRow_) return {};
    return cur_.at(index);
}

void Table::setState(State s) {
    if (state_ == s) return;
    state_ = s;
    Q_EMIT stateChanged();
}

void Table::insert() {
    requireOpen();
    checkBrowseMode();
    edit_ = Row{};
    edit_.v.assign(def_.fields.size(), QVariant());
    if (master_ && !masterEmpty_) {
        for (int i = 0; i < masterValues_.size(); ++i) {
            int field = i < detailFields_.size() ? ownIndex(detailFields_[i])
                                                 : (i < int(key_.size()) ? key_[i].field : -1);
            if (field >= 0) edit_.v[field] = masterValues_[i];
        }
    }
    modified_ = false;
    rowChanged();
    setState(State::Insert);
    Q_EMIT afterInsert();
}

void Table::append() {
    insert();
}

void Table::edit() {
    requireOpen();
    if (state_ == State::Edit || state_ == State::Insert) return;
    if (!hasRow_)
        fail(int(K::State),
             QStringLiteral("Tabela %1 jest pusta: nie ma czego zmieniać.").arg(def_.name));
    std::optional<Row> fresh;
    db_->transaction([&] {
        db_->lockRecord(def_.name, cur_.rowid);
        fresh = readRow(cur_.rowid, false);
        if (!fresh) {
            db_->unlockRecord(def_.name, cur_.rowid);
            throw EngineError(
                K::Deleted,
                QStringLiteral("Rekord w tabeli %1 został usunięty przez innego użytkownika.")
                    .arg(def_.name),
                def_.name);
        }
    });
    editLocked_ = true;
    cur_ = *fresh;
    original_.rowid = fresh->rowid;
    original_.v = fresh->values(int(def_.fields.size()));
    edit_ = original_;
    modified_ = false;
    rowChanged();
    setState(State::Edit);
    Q_EMIT afterEdit();
}

void Table::setValue(const QString& name, const QVariant& value) {
    requireOpen();
    if (state_ != State::Edit && state_ != State::Insert)
        fail(int(K::State), QStringLiteral("Tabela %1 nie jest w trybie edycji.").arg(def_.name));
    const int i = ownIndex(name);
    if (i < 0) {
        if (hasField(name))
            fail(int(K::BadValue),
                 QStringLiteral("Pole %1 tabeli %2 jest tylko do odczytu.").arg(name, def_.name));
        (void)fieldDef(name);
    }
    const FieldDef& f = std::as_const(def_.fields)[i];
    if (f.type == FieldType::AutoInc && state_ == State::Edit)
        fail(int(K::BadValue),
             QStringLiteral(
                 "Pole %1 tabeli %2 jest numerowane automatycznie i nie może być zmienione.")
                 .arg(f.name, def_.name));
    edit_.v[i] = toStorage(f, value, def_.name);
    modified_ = true;
    rowChanged();
}

void Table::releaseEditLock() {
    if (!editLocked_) return;
    editLocked_ = false;
    db_->unlockRecord(def_.name, original_.rowid);
}

void Table::writeInsert() {
    QStringList cols, marks;
    for (int i = 0; i < def_.fields.size(); ++i) {
        const FieldDef& f = std::as_const(def_.fields)[i];
        if (f.type == FieldType::AutoInc) {
            if (edit_.v[i].isNull())
                edit_.v[i] = db_->takeAutoInc(def_.name, f.name);
            else
                db_->noteAutoInc(def_.name, f.name, edit_.v[i].toLongLong());
        }
        if (shape_->insertSql.isEmpty()) {
            cols << quotedIdent(f.name);
            marks << QStringLiteral("?");
        }
    }
    if (shape_->insertSql.isEmpty()) {
        // A server's row gets its sort keys beside the text, and gives its row id back.
        if (onServer_)
            for (const auto& f : std::as_const(def_.fields))
                if (isTextColumn(f.type)) {
                    cols << quotedIdent(sortKeyColumn(f.name));
                    marks << QStringLiteral("?");
                }
        shape_->insertSql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(quotedIdent(def_.name), cols.join(QStringLiteral(", ")),
                                     marks.join(QStringLiteral(", ")));
        if (onServer_) shape_->insertSql += QStringLiteral(" RETURNING rowid");
    }
    Statement st = db_->prepare(shape_->insertSql);
    int n = 0;
    for (int i = 0; i < def_.fields.size(); ++i)
        st.bind(++n, edit_.v[i]);
    if (onServer_) {
        for (int i = 0; i < def_.fields.size(); ++i)
            if (isTextColumn(std::as_const(def_.fields)[i].type))
                st.bind(++n, sortKeyOf(edit_.v[i]));
        edit_.rowid = st.step() ? st.columnInt(0) : 0;
        st.run();
        return;
    }
    st.run();
    edit_.rowid = db_->lastInsertRowId();
}

void Table::writeUpdate() {
    auto disk = readRow(original_.rowid, false);
    if (!disk)
        throw EngineError(
            K::Deleted,
            QStringLiteral("Rekord w tabeli %1 został usunięty przez innego użytkownika. "
                           "Zmiany nie zostały zapisane.")
                .arg(def_.name),
            def_.name);
    if (disk->values(int(def_.fields.size())) != original_.v)
        throw EngineError(
            K::Changed,
            QStringLiteral("Rekord w tabeli %1 został zmieniony przez innego użytkownika. "
                           "Zmiany nie zostały zapisane.")
                .arg(def_.name),
            def_.name);
    QStringList sets;
    QVariantList params;
    for (int i = 0; i < def_.fields.size(); ++i) {
        if (edit_.v[i] == original_.v[i] && edit_.v[i].isNull() == original_.v[i].isNull())
            continue;
        sets << quotedIdent(std::as_const(def_.fields)[i].name) + QStringLiteral(" = ?");
        params << edit_.v[i];
        if (onServer_ && isTextColumn(std::as_const(def_.fields)[i].type)) {
            sets << quotedIdent(sortKeyColumn(std::as_const(def_.fields)[i].name)) +
                        QStringLiteral(" = ?");
            params << sortKeyOf(edit_.v[i]);
        }
    }
    if (!sets.isEmpty()) {
        Statement st =
            db_->prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                             .arg(quotedIdent(def_.name), sets.join(QStringLiteral(", "))));
        st.bindAll(params);
        st.bind(int(params.size()) + 1, original_.rowid);
        st.run();
    }
    edit_.rowid = original_.rowid;
}

void Table::post() {
    requireOpen();
    if (state_ != State::Edit && state_ != State::Insert) return;
    Q_EMIT beforePost();
    for (int i = 0; i < def_.fields.size(); ++i)
        if (std::as_const(def_.fields)[i].required && edit_.v[i].isNull() &&
            std::as_const(def_.fields)[i].type != FieldType::AutoInc)
            fail(int(K::BadValue), QStringLiteral("Pole %1 tabeli %2 musi mieć wartość.")
                                       .arg(std::as_const(def_.fields)[i].name, def_.name));
    const bool inserting = state_ == State::Insert;
    // Inside a caller's transaction a later rollback could take the write back.
    const bool adjust = !db_->inTransaction();
    ownWrite_ = true;
    try {
        db_->transaction([&] {
            const quint64 before = adjust ? db_->changeStamp() : 0;
            if (inserting) {
                writeInsert();
            } else {
                writeUpdate();
                db_->unlockRecord(def_.name, original_.rowid);
            }
            db_->markWritten();
            if (adjust) {
                // As stored: defaults and numbering fill what the edit left empty.
                const auto now = readRow(edit_.rowid, false);
                adjustForOwnWrite(before, inserting ? nullptr : &original_, now ? &*now : nullptr);
            }
        });
    } catch (EngineError& e) {
        if (adjust) forgetOwnSamples();
        ownWrite_ = false;
        if (inserting) edit_.rowid = 0;
        if (e.kind() == K::KeyViolation && e.table().isEmpty())
            throw EngineError(
                K::KeyViolation,
                QStringLiteral("Naruszenie klucza w tabeli %1: taki klucz już istnieje.")
                    .arg(def_.name),
                def_.name);
        throw;
    } catch (...) {
        if (adjust) forgetOwnSamples();
        ownWrite_ = false;
        throw;
    }
    ownWrite_ = false;
    if (!inserting) editLocked_ = false;
    modified_ = false;
    count_ = -1;
    forgetPositions();
    stamp_ = db_->changeStamp();
    clearExtraCaches();
    const qint64 rowid = edit_.rowid;
    setState(State::Browse);
    // Stand on the posted row; when it is not among the visible rows, on its neighbour. The
    // row is saved by now: a busy database while reading it back must not report the post as
    // failed, so the cursor then stands on the row as written and re-reads at the next look.
    std::vector<Row> rows;
    try {
        if (auto r = readRow(rowid, true)) {
            rows.push_back(std::move(*r));
        } else {
            Row probe = edit_;
            rows = fetch(true, &probe, 1, true);
            if (rows.empty()) rows = fetch(false, nullptr, 1);
        }
    } catch (const EngineError&) {
        rows.clear();
        rows.push_back(edit_);
        stamp_ = kStale;
    }
    positionAt(std::move(rows), true);
    Q_EMIT afterPost();
}

void Table::cancel() {
    if (state_ != State::Edit && state_ != State::Insert) return;
    const bool wasEdit = state_ == State::Edit;
    modified_ = false;
    setState(State::Browse);
    rowChanged();
    if (wasEdit) {
        try {
            releaseEditLock();
        } catch (const EngineError& e) {
            // A busy database: the lock then ends with its lease.
            if (e.kind() != K::Locked) throw;
        }
    }
    Q_EMIT afterCancel();
    emitAfterScroll();
}

void Table::remove() {
    requireOpen();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    if (!hasRow_)
        fail(int(K::State),
             QStringLiteral("Tabela %1 jest pusta: nie ma czego usuwać.").arg(def_.name));
    const Row gone = state_ == State::Edit ? original_ : cur_;
    const bool adjust = !db_->inTransaction();
    ownWrite_ = true;
    try {
        db_->transaction([&] {
            const quint64 before = adjust ? db_->changeStamp() : 0;
            if (auto by = db_->recordLockedBy(def_.name, gone.rowid))
                throw EngineError(
                    K::Locked,
                    QStringLiteral(
                        "Rekord w tabeli %1 jest zablokowany przez innego użytkownika (%2).")
                        .arg(def_.name, *by),
                    def_.name);
            const auto stored = readRow(gone.rowid, false);
            if (!stored)
                throw EngineError(
                    K::Deleted,
                    QStringLiteral(
                        "Rekord w tabeli %1 został już usunięty przez innego użytkownika.")
                        .arg(def_.name),
                    def_.name);
            Statement st = db_->prepare(
                QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(quotedIdent(def_.name)));
            st.bind(1, gone.rowid).run();
            if (editLocked_) db_->unlockRecord(def_.name, gone.rowid);
            db_->markWritten();
            if (adjust) adjustForOwnWrite(before, &*stored, nullptr);
        });
    } catch (...) {
        if (adjust) forgetOwnSamples();
        ownWrite_ = false;
        throw;
    }
    ownWrite_ = false;
    editLocked_ = false;
    modified_ = false;
    setState(State::Browse);
    count_ = -1;
    forgetPositions();
    stamp_ = db_->changeStamp();
    clearExtraCaches();
    // The next row takes its place; after the last row, the one before. The delete is
    // durable by now: when the database is busy, a neighbour read before stands in until the
    // next re-read.
    std::vector<Row> rows;
    try {
        rows = fetch(true, &gone, 1);
        if (rows.empty()) rows = fetch(false, &gone, 1);
    } catch (const EngineError&) {
        rows.clear();
        if (!ahead_.empty())
            rows.push_back(ahead_.front());
        else if (!behind_.empty())
            rows.push_back(behind_.front());
        stamp_ = kStale;
    }
    positionAt(std::move(rows), true);
    Q_EMIT afterDelete();
}

} // namespace engine
