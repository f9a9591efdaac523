#pragma once
#include "engine/dataset.h"
#include "engine/filterexpr.h"
#include "engine/packedrows.h"
#include "engine/ring.h"
#include <QPointer>
#include <functional>
#include <map>

namespace engine {

class Statement;

// A table object: a cursor over one table of a folder in the order of its active index, with an
// optional filter, range or master link, and editing. Rows are fetched in small batches by key,
// so opening, searching and stepping cost the same on a million rows as on ten.
class Table : public DataSet {
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit Table(QObject* parent = nullptr);
    Table(const QString& folder, const QString& tableName, QObject* parent = nullptr);
    ~Table() override;

    void setTableName(const QString& name); // "Towar" or "Towar.db"; only while closed
    QString tableName() const { return tableName_; }
    const TableDef& definition() const { return def_; }

    // --- Order ---
    void setIndexFieldNames(const QString& fields); // "A;B"; empty = primary index
    void setIndexName(const QString& name);         // "wg_Tow_Nazwa", "PrimaryIndex"
    QString indexFieldNames() const;
    QString indexName() const { return indexName_; }

    // --- Which rows ---
    void setFilter(const QString& expression); // syntax checked when switched on or opened
    QString filter() const { return filterText_; }
    void setFiltered(bool on);
    bool filtered() const { return filtered_; }
    // Only rows whose first active-index fields equal `values`; cleared by cancelRange().
    void setRange(const QVariantList& values);
    void cancelRange();
    // Follow the master's current row: rows whose `detailFields` (default: the first fields of
    // the active index) equal the master's `masterFields`. nullptr ends the link.
    void setMaster(DataSet* master, const QString& masterFields, const QString& detailFields = {});

    // --- Open / close ---
    void open() override;
    void openExclusive(); // fails while another installation uses the table exclusively
    void close() override;
    bool exclusive() const { return exclusive_; }

    // --- Navigation ---
    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    int recordCount() override;
    int recNo() override;
    void setRecNo(int n) override;
    // Exact key search on the first fields of the active index; stays put when not found.
    bool findKey(const QVariantList& values);
    // Goes to the first row whose key is equal or greater; to the last row when there is none.
    void findNearest(const QVariantList& values);
    // Goes to the row with this row id (as read by rowId()); false when it is not visible.
    bool gotoRowId(qint64 rowid);
    qint64 rowId() const { return hasRow_ ? cur_.rowid : 0; }

    // Visits every row from first to last with one ordered statement, making each the current
    // row in turn (no signals). For reading a whole table in any order, indexed or not, in time
    // linear in its rows; the cursor ends on the last row.
    void forEachRow(const std::function<void()>& visit);

    // Re-reads the rows when anybody changed the database since the last read; true when it
    // did. Almost free when nothing changed.
    bool refreshIfChanged();
    void refresh(); // re-reads now, staying on the current row or its nearest successor

    // --- Editing ---
    State state() const { return state_; }
    void insert();
    void append();
    void edit(); // locks the row for other installations and re-reads it
    void post(); // durable at once, unless inside the database's transaction
    void cancel();
    void remove(); // delete the current row
    void setValue(const QString& name, const QVariant& value);
    void clearValue(const QString& name) { setValue(name, QVariant()); }
    bool modified() const { return modified_; }

Q_SIGNALS:
    void beforePost();
    void afterPost();
    void afterDelete();
    void afterCancel();
    void afterInsert();
    void afterEdit();
    void stateChanged();

protected:
    QVariant storedValue(int index) const override;
    std::vector<StoredRow> storedRowsAt(int first, int count) override;
    bool editing() const override { return state_ == State::Edit || state_ == State::Insert; }

private:
    struct Row {
        qint64 rowid = 0;
        // Stored form, one per table field: packed as read, or built here (edited rows, keys
        // only) in `v`, which then takes precedence.
        PackedRow packed;
        std::vector<QVariant> v;
        QVariant at(int field) const { return v.empty() ? packed.value(field) : v[size_t(field)]; }
        std::vector<QVariant> values(int fields) const {
            return v.empty() ? packed.values(fields) : v;
        }
    };
    struct KeyPart {
        int field; // index into def_.fields
        bool text; // compared with the PL collation
    };

    void openInternal(bool exclusive);
    struct Shape;
    std::shared_ptr<const Shape> shape();
    std::shared_ptr<const Shape> shape_;
    QString endSql_[2]; // rows from the last (0) or first (1) one on, under baseWhere_
    QString rowSql_[2]; // one row by id: any (0), or only when visible (1)
    std::map<quint64, QString> keyedSql_; // fetchKeyed's statements, by shape
    void buildSql();
    void requireBrowseRow(const char* what);
    void clearBuffers();
    void setCurrent(Row row);
    void setEmpty();
    std::vector<Row> fetch(bool forward, const Row* from, int limit, bool inclusive = false);
    std::vector<Row> fetchRange(const QString& cond, const QVariantList& params, bool forward,
                                int limit);
    QString selectWhere(const QString& cond, bool forward) const;
    std::vector<Row> fetchSql(const QString& sql, const QVariantList& params, int limit);
    enum class Bound { None, AtLeast, Above }; // keyedSql_ tags 3 as the rows after a row
    std::vector<Row> fetchKeyed(const QVariantList& v, int equal, Bound bound);
    bool fetchBatch(bool forward);
    std::optional<Row> readRow(qint64 rowid, bool visibleOnly);
    // One row of selectSql_, packed into `block` shared with the other rows of its statement.
    Row rowFrom(const Statement& st, const PackedRow::Block& block = nullptr) const;
    PackedRow::Block newBlock(int rows);
    PackedRow::Block spare_[2]; // blocks newBlock may hand out again
    void keepBlock(std::string& block, size_t rows);
    size_t rowBytes_ = 64;                     // a row's packed size, as last seen
    bool rowBytesSeen_ = false;                // rowBytes_ is this cursor's own
    Row keyRowFrom(const Statement& st) const; // one row of keySelectSql_: only the key fields
    int countWhere(const QString& extra, const QVariantList& params);
    std::vector<Row> rowsByOffset(bool fromStart, int offset, int limit);
    QVariantList keyValues(const QVariantList& given, const char* what) const;
    enum class End { None, Bof, Eof };
    void showFirst(std::vector<Row> rows);
    void positionAt(std::vector<Row> rows, bool forward, int recNo = 0, End end = End::None);
    void onMasterMoved();
    void onMasterValues();
    void checkBrowseMode();
    void onLocalChange();
    void emitScroll();
    void setState(State s);
    void releaseEditLock();
    void writeInsert();
    void writeUpdate();
    QString colSql(int field) const;
    QVariant keyParam(int field, const QVariant& stored) const;
    QString orderSql(bool forward) const;
    int ownIndex(const QString& name) const;

    QString tableName_;
    TableDef def_;
    QString indexName_;
    QStringList indexFields_; // as given
    std::vector<KeyPart> key_;
    QString filterText_;
    bool filtered_ = false;
    QVariantList rangeValues_;
    bool hasRange_ = false;
    QPointer<DataSet> master_;
    QStringList masterFields_;
    QStringList detailFields_;
    QVariantList masterValues_;
    bool masterEmpty_ = false;
    bool exclusive_ = false;
    bool onServer_ = false; // the table is in a catalogue on a server (its dialect, sort keys)

    // Built by buildSql()
    QString selectSql_;     // SELECT rowid, cols FROM t
    QString keySelectSql_;  // SELECT rowid, key cols FROM t: answered by the index alone
    bool keysOnly_ = false; // fetches read only the keys (for counting positions)
    QString baseWhere_;     // conditions every row must meet (may be empty)
    std::shared_ptr<const Shape> whereShape_; // what baseWhere_ was built from
    std::vector<int> whereConds_;
    QVariantList baseParams_;
    QString orderAsc_, orderDesc_;

    Row cur_;
    Row original_; // the row as read when editing began
    Row edit_;     // the row being edited or inserted
    Ring<Row> ahead_;
    Ring<Row> behind_;
    int batch_ = 16;
    bool endAhead_ = false;  // the buffer ahead reaches the last row: no need to ask again
    bool endBehind_ = false; // likewise for the first row
    int recNo_ = 0;          // 0 = unknown
    int count_ = -1;
    quint64 stamp_ = 0;
    State state_ = State::Inactive;
    bool modified_ = false;
    bool editLocked_ = false;
    bool ownWrite_ = false;
    QMetaObject::Connection dbConn_;
    // Rows whose position is known, so that a grid scrolling page by page continues from the
    // nearest one by key instead of counting from an end. Cleared whenever rows may move.
    std::map<int, Row> anchors_;
    // Keys of rows at known positions (0-based), in key order: every step-th row when read,
    // then shifted by this connection's own writes (see adjustForOwnWrite).
    struct Samples {
        quint64 stamp = 0;
        QString owner, table, fields; // whose rows, for adjusting after an own write
        bool adjustable = false;      // no conditions: every row of the table is among them
        std::vector<KeyPart> key;
        // Shared, and replaced rather than changed: a cursor takes the cached samples, often
        // thousands of rows, without copying them.
        std::shared_ptr<const std::vector<Row>> rows;
        std::vector<int> pos;
        bool empty() const { return !rows || rows->empty(); }
        int count = 0; // rows in the ordered set when last known
    };
    Samples samples_;
    void forgetPositions();
    void buildSamples();
    static QHash<QString, Samples>& sampleCache();
    QString countKey() const;
    static QHash<QString, std::pair<quint64, int>>& countCache();
    int compareKeys(const Row& a, const Row& b) const;
    static int compareKeys(const std::vector<KeyPart>& key, const Row& a, const Row& b);
    quint64 ownWriteStamp() const;
    void adjustForOwnWrite(quint64 before, const Row* gone, const Row* added);
    void forgetOwnSamples();
};

} // namespace engine
