#pragma once
#include "engine/dataset.h"
#include <vector>

namespace engine {

// The rows of one table named by their row ids, in the order given: what a narrowing search
// found, shown like a table. Rows are read by id as the cursor or a grid reaches them; a row
// deleted meanwhile shows empty. Read-only.
class RowList : public DataSet {
    Q_OBJECT
public:
    explicit RowList(QObject* parent = nullptr);
    ~RowList() override;

    void setTableName(const QString& name); // only while closed
    QString tableName() const { return tableName_; }

    void open() override;
    void close() override;
    // Shows these rows instead, on the first of them: the grids re-read (afterRefresh).
    void setRows(std::vector<qint64> rowids);
    const std::vector<qint64>& rows() const { return ids_; }

    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    int recordCount() override;
    int recNo() override;
    void setRecNo(int n) override;
    qint64 rowId() const { return hasRow_ ? ids_[pos_] : 0; }
    // Goes to the row with this id; false (staying put) when it is not in the list.
    bool gotoRowId(qint64 rowid);

protected:
    QVariant storedValue(int index) const override;
    std::vector<StoredRow> storedRowsAt(int first, int count) override;

private:
    std::vector<QVariant> readRow(qint64 rowid);
    void moveTo(size_t index);
    void showEmpty();

    QString tableName_;
    QString selectSql_;
    std::vector<qint64> ids_;
    size_t pos_ = 0;
    std::vector<QVariant> cur_;
};

} // namespace engine
