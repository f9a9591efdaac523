#pragma once
#include <QByteArray>
#include <QList>
#include <QString>
#include <stdexcept>

namespace paradox {

// A field of a Paradox table as its header declares it (pxlib's type codes).
struct SourceField {
    QString name;
    int type = 0;
    int length = 0;
};

// A value as the table holds it: numbers, dates (days), times and logicals as integers, money,
// numbers and timestamps as reals, text, memos and pictures as the bytes stored.
struct SourceValue {
    enum class Kind : unsigned char { Null, Integer, Real, Bytes };
    Kind kind = Kind::Null;
    qint64 integer = 0;
    double real = 0;
    QByteArray bytes;
};

// Receives a table as it is read.
class RowSink {
public:
    virtual ~RowSink() = default;
    virtual void fields(const QList<SourceField>& fields) = 0;
    virtual void row(qint64 recordNumber, const QList<SourceValue>& values) = 0;
    // A row that could not be read; `why` is the library's own message.
    virtual void unreadableRow(qint64 recordNumber, const QString& why) = 0;
    // A field of the next row that could not be read (a damaged .mb file); the row comes with
    // the field empty.
    virtual void unreadableField(qint64 recordNumber, const QString& field, const QString& why) = 0;
};

// A table the library could not read to the end (it failed to open it, stopped, or crashed).
class BrokenTable : public std::runtime_error {
public:
    explicit BrokenTable(const QString& why);
    const QString& why() const { return why_; }

private:
    QString why_;
};

// Reads every row of the table file `dbPath` (with its memo and picture file `mbPath`, empty
// when there is none) through pxlib in a child process, so that a crash inside the library ends
// only the child. Rows reach `sink` as they are read. Throws BrokenTable; whatever `sink`
// throws leaves with the child stopped.
void readTable(const QString& dbPath, const QString& mbPath, RowSink& sink);

} // namespace paradox
