#pragma once
#include "engine/dataset.h"
#include "engine/packedrows.h"
#include <QStringList>
#include <memory>
#include <vector>

namespace engine {

class Statement;

// A query object: a SELECT in the local SQL dialect, opened on a folder and read like a table.
// The result is read to its end when opened. A result of whole rows of one table in a defined
// order keeps only their ids and reads the rows shown, a window at a time, so that a result
// of any size takes little memory; any other result keeps its rows, packed.
class Query : public DataSet {
    Q_OBJECT
public:
    explicit Query(QObject* parent = nullptr);
    ~Query() override;

    // The SQL text as lines, as the screens build it. Only while closed.
    void setSql(const QStringList& lines);
    void addLine(const QString& line);
    void clearSql();
    const QStringList& sql() const { return lines_; }

    // Forward only: rows are not kept, so a result of any size streams through in constant
    // memory; prior(), last(), counts and positions are then refused. Only while closed.
    void setUnidirectional(bool on);

    void open() override; // throws EngineError(BadSql) for a text the dialect rejects
    void close() override;
    void refresh(); // runs the text again, staying on the same row number

    // Goes to the first row whose `field` equals `text`, or begins with it when `partial`,
    // letter case ignored when `caseInsensitive` (in the program's text order). Stays put and
    // returns false when no row matches.
    bool locate(const QString& field, const QString& text, bool caseInsensitive, bool partial);

    void first() override;
    void last() override;
    void next() override;
    void prior() override;
    int recordCount() override;
    int recNo() override;
    void setRecNo(int n) override;

protected:
    QVariant storedValue(int index) const override;
    std::vector<StoredRow> storedRowsAt(int first, int count) override;

private:
    bool fetchTo(size_t count); // true when row `count - 1` exists
    void moveTo(size_t index);
    size_t held() const { return byId_ ? ids_.size() : dropped_ + rows_.size(); }
    QVariant storedAt(size_t index, int column) const;
    // Reads the rows at positions [first, first + count) by id into `into`, in order; a row
    // deleted since reads as empty.
    void readById(size_t first, size_t count, PackedRows& into) const;

    bool byId_ = false;
    std::vector<qint64> ids_;
    QString rowSql_; // one row of the result's table by id
    mutable PackedRows window_;
    mutable size_t windowFirst_ = 0;
    QMetaObject::Connection dbConn_;

    QStringList lines_;
    std::unique_ptr<Statement> stmt_;
    PackedRows rows_;
    bool done_ = false;
    bool unidirectional_ = false;
    size_t dropped_ = 0; // rows already let go in forward-only mode
    size_t pos_ = 0;
};

} // namespace engine
