#pragma once
#include "engine/fields.h"
#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QVariant>
#include <atomic>
#include <memory>
#include <vector>

namespace engine {

class Database;

// What table objects and query objects have in common: a current row among ordered rows,
// navigation, and fields reached by name (any letter case). Grids show either through this.
//
// Navigation follows the old desktop engines: after first() bof() is true; next() on the last
// row leaves the cursor there and sets eof(); an empty data set has both set.
class DataSet : public QObject {
    Q_OBJECT
public:
    explicit DataSet(QObject* parent = nullptr);
    ~DataSet() override;

    void setDatabaseName(const QString& folder); // the folder; only while closed
    QString databaseName() const { return folder_; }

    virtual void open() = 0;
    virtual void close() = 0;
    bool isOpen() const { return open_; }

    virtual void first() = 0;
    virtual void last() = 0;
    virtual void next() = 0;
    virtual void prior() = 0;
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    bool isEmpty() const { return open_ && !hasRow_; }
    virtual int recordCount() = 0;
    virtual int recNo() = 0;          // 1-based; 0 when empty
    virtual void setRecNo(int n) = 0; // clamps into 1..count
    void moveBy(int n);

    // --- Fields ---
    int fieldCount() const { return int(fields_.size()); }
    const QList<FieldDef>& fields() const { return fields_; }
    QStringList fieldNames() const;
    int fieldIndex(const QString& name) const; // -1 when missing
    bool hasField(const QString& name) const { return fieldIndex(name) >= 0; }
    const FieldDef& fieldDef(const QString& name) const; // throws MissingField

    // The current row's value: typed (QString, int, double, QDate, QDateTime, bool,
    // QByteArray) or an invalid QVariant when empty.
    QVariant value(const QString& name) const;
    QVariant value(int index) const;
    bool isNull(const QString& name) const;
    // Empty fields read as "", 0, 0.0, false, an invalid date.
    QString asString(const QString& name) const; // display text: dd-mm-yyyy, decimal comma, T/N
    int asInteger(const QString& name) const;
    double asFloat(const QString& name) const;
    QDate asDate(const QString& name) const;
    QDateTime asDateTime(const QString& name) const;
    bool asBoolean(const QString& name) const;
    QByteArray asBytes(const QString& name) const;

    // Calculated fields: computed for the current row by a handler of calcFields(), which sets
    // them with setCalculated(). They follow the table's own fields.
    void addCalculatedField(const QString& name, FieldType type, int size = 0);
    void setCalculated(const QString& name, const QVariant& value);

    // Lookup fields: `resultField` of the row of `lookupTable` (same folder) whose
    // `lookupKeyFields` equal this row's `keyFields` ("A;B" lists).
    void addLookupField(const QString& name, const QString& keyFields, const QString& lookupTable,
                        const QString& lookupKeyFields, const QString& resultField);

    // Rows `recNo` .. `recNo + count - 1` (1-based) as typed values of every field, calculated
    // and lookup fields included, without moving the cursor: what a grid shows.
    struct WindowRow {
        qint64 rowid = 0;
        QVariantList values;
    };
    std::vector<WindowRow> rowsAt(int recNo, int count);

    std::shared_ptr<Database> database() const { return db_; }
    QString displayName() const { return displayName_; }

Q_SIGNALS:
    void afterOpen();
    void afterClose();
    void afterScroll();  // the current row changed (also after a re-read moved it)
    void afterRefresh(); // rows were re-read: others may have changed anything
    void calcFields(engine::DataSet* dataSet);

protected:
    // Values of the current row in stored form, one per own field (not calculated/lookup).
    virtual QVariant storedValue(int index) const = 0;
    // Stored values (one per own field) of rows by position (0-based) without moving the cursor.
    using StoredRow = std::pair<qint64, std::vector<QVariant>>;
    virtual std::vector<StoredRow> storedRowsAt(int first, int count) = 0;
    // A row being edited or inserted has values even where the table has no current row.
    virtual bool editing() const { return false; }
    // Sets the field list (own fields first); calculated and lookup fields are appended.
    void setOwnFields(const QList<FieldDef>& own);
    void clearExtraCaches();
    void rowChanged() { calcValid_ = false; } // invalidates calculated values of the current row
    // afterScroll, once anybody has connected to it: stepping through rows nobody watches (a
    // lookup, a report's read) pays for no signal.
    void emitAfterScroll() {
        if (scrollWatched_.load(std::memory_order_relaxed)) Q_EMIT afterScroll();
    }
    void connectNotify(const QMetaMethod& signal) override;
    [[noreturn]] void fail(int kind, const QString& message) const;
    void requireOpen() const;
    void requireClosed() const;

    QString folder_;
    QString displayName_;
    std::shared_ptr<Database> db_;
    bool open_ = false;
    bool hasRow_ = false;
    bool bof_ = true;
    bool eof_ = true;
    int ownFieldCount_ = 0;

private:
    struct Extra;
    QVariant extraValue(int index) const;
    QVariant ownValue(int index) const;
    bool rowPresent() const { return override_ || hasRow_ || editing(); }
    QVariant lookupValue(int extraIndex) const;
    void computeCalculated() const;

    QList<FieldDef> fields_;
    QHash<QString, int> byName_; // name as defined, and lower-case -> index
    std::vector<Extra> extras_;
    mutable std::vector<QVariant> calcValues_;
    mutable bool calcValid_ = false;
    std::atomic<bool> scrollWatched_{false}; // stays set: a signal too many costs nothing wrong
    mutable bool inCalc_ = false;
    const std::vector<QVariant>* override_ =
        nullptr; // a window row standing in for the current one
};

// Display text of a typed value: dates dd-mm-yyyy, timestamps dd-mm-yyyy hh:mm:ss, numbers with
// a decimal comma (no exponent, no thousands separator, integers without decimals, up to 15
// significant digits, no trailing zeros), logicals T/N, blobs "[N B]"; empty for an empty value.
QString displayText(FieldType type, const QVariant& typedValue);
QString formatNumber(double v);

} // namespace engine
