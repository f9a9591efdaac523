#pragma once
#include "engine/dataset.h"
#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <vector>

namespace engine {
class EngineError;
class Table;
} // namespace engine

namespace ui {

// The rows of a data set (table or query) as a read-only Qt model, one row per record.
//
// rowCount() is the data set's record count, read when the model is (re)loaded. Rows are read in
// windows with DataSet::rowsAt, which leaves the cursor where it is, and only a few windows are
// kept, so a million rows cost what one screenful does. data() never reads the database: a row
// that is not at hand reads as empty and its window is loaded on the next turn of the event loop.
// A view shows no empty rows when it calls ensureRows() for what it is about to paint (DbGrid
// does).
//
// The model reloads itself when the data set opens, closes or re-reads its rows, after a post or
// delete, and when it notices on a cursor move that the rows no longer match (another order or
// filter, another master row).
class DbGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kWindowRows = 64;
    static constexpr int kMaxWindows = 6;

    explicit DbGridModel(QObject* parent = nullptr);
    ~DbGridModel() override;

    void setDataSet(engine::DataSet* dataSet);
    engine::DataSet* dataSet() const { return ds_; }

    // --- Columns: by field name, letter case ignored ---
    // A model given no columns shows every field under its own name.
    void addColumn(const QString& field, const QString& title = {});
    void clearColumns();
    bool setColumnTitle(const QString& field, const QString& title); // false: no such column
    bool setColumnVisible(const QString& field, bool visible);
    // Number fields shown as money (see moneyText): two decimals, grouped thousands.
    void setMoneyFields(const QStringList& fields);
    int columnOfField(const QString& field) const; // among the shown columns; -1 when not shown
    QString fieldOfColumn(int column) const;

    // --- Rows ---
    // Makes rows first..last (0-based, clamped) available to data(), loading what is missing.
    void ensureRows(int first, int last);
    bool isRowCached(int row) const;
    qint64 rowIdAt(int row) const; // the row's id as read; 0 when the row is not at hand
    // The data set's current row as a row of the model; -1 when there is none. `stale` is set
    // when the cursor contradicts the rows held, so the model must be reloaded first. Without
    // `useRecNo` only the rows at hand are searched (by row id), and kUnknownRow is the answer
    // when the row is not among them.
    static constexpr int kUnknownRow = -2;
    int cursorRow(bool* stale = nullptr, bool useRecNo = true);
    // The data set's rows changed in a way no signal told (another order, filter or count).
    bool isStale();
    // Reads the count again and forgets every row held.
    void reload();

    // What the model did, for diagnostics and tests.
    int loadCount() const { return loads_; } // rowsAt calls since the model was made
    int cachedRowCount() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    struct Column {
        QString field;
        QString title;
        bool visible = true;
        int fieldIndex = -1; // in the data set; -1 when it has no such field
        engine::FieldType type = engine::FieldType::Alpha;
        bool money = false;
    };
    struct Window {
        int first = 0; // first row
        std::vector<engine::DataSet::WindowRow> rows;
        quint64 used = 0;
    };

    engine::Table* table() const;
    QString orderSignature() const;
    Column* findColumn(const QString& field);
    template <class F> void changeColumns(F&& change);
    void resolveColumns();
    const engine::DataSet::WindowRow* cachedRow(int row) const;
    Window* findWindow(int number);
    void loadWindow(int number);
    void loadWanted();
    void evict(int keepFrom, int keepTo);
    void failed(const engine::EngineError& error);
    void forget();

    QPointer<engine::DataSet> ds_;
    QList<QMetaObject::Connection> connections_;

    std::vector<Column> columns_; // as configured, or every field when none was
    bool ownColumns_ = false;
    QHash<QString, QString> titles_; // by lower-case field: titles given for fields not yet shown
    QSet<QString> hidden_;           // by lower-case field: likewise, fields to hide
    QSet<QString> money_;            // by lower-case field
    std::vector<int> shown_;         // visible columns, as indexes into columns_

    bool open_ = false;
    int count_ = 0;
    int fieldCount_ = 0;
    QString signature_;
    bool failed_ = false; // a load failed: nothing more is read until the next reload

    std::vector<Window> windows_;
    quint64 clock_ = 0;
    mutable QSet<int> wanted_; // windows data() was asked for but did not have
    mutable QTimer wantedTimer_;
    int loads_ = 0;
};

} // namespace ui
