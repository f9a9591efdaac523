#pragma once
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <cstdio>
#include <stdexcept>

class QIODevice;

namespace pelkdb {

// The ";"-separated text that scripts read and write: RFC 4180 quoting, UTF-8, "\n" line ends.

// A value as written in a row: between double quotes (inner quotes doubled) when it holds ";",
// a double quote or a line break.
QString csvField(const QString& value);

// Writes rows to a stream, one line each. Output is buffered; finish() reports a failed write.
class CsvWriter {
public:
    explicit CsvWriter(FILE* out);
    void writeRow(const QStringList& values);
    void writeLine(const QString& line); // written as it is, plus "\n"
    bool finish();                       // flushes; false when the stream failed

private:
    FILE* out_;
};

// A record that cannot be read; line is where the record starts (1-based).
class CsvError : public std::runtime_error {
public:
    CsvError(qint64 line, const QString& message);
    qint64 line() const { return line_; }
    const QString& message() const { return message_; }

private:
    qint64 line_;
    QString message_;
};

// Reads records from a UTF-8 stream without holding more than a chunk of it, so that files of
// millions of rows load in constant memory. Accepts a byte-order mark, "\r\n" and "\n" line
// ends, quoted values with ";", doubled quotes and line breaks inside. Lines holding nothing at
// all are passed over.
class CsvReader {
public:
    explicit CsvReader(QIODevice* in);

    // The next record, or false at the end. Throws CsvError.
    bool next(QStringList& fields);
    qint64 recordLine() const { return recordLine_; } // the line the last record began on

private:
    int peek(); // the next character, or -1 at the end
    void take() { ++pos_; }
    bool refill();

    QIODevice* in_;
    QStringDecoder decoder_;
    QString buf_;
    qsizetype pos_ = 0;
    bool atEnd_ = false;
    bool started_ = false;
    qint64 line_ = 1;
    qint64 recordLine_ = 0;
};

} // namespace pelkdb
