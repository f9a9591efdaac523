#include "csv.h"
#include <QIODevice>

namespace pelkdb {

QString csvField(const QString& value) {
    bool needsQuotes = false;
    for (QChar c : value) {
        if (c == u';' || c == u'"' || c == u'\n' || c == u'\r') {
            needsQuotes = true;
            break;
        }
    }
    if (!needsQuotes) return value;
    QString q = value;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

CsvWriter::CsvWriter(FILE* out) : out_(out) {}

void CsvWriter::writeRow(const QStringList& values) {
    QString line;
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (i > 0) line += u';';
        line += csvField(values[i]);
    }
    writeLine(line);
}

void CsvWriter::writeLine(const QString& line) {
    QByteArray bytes = line.toUtf8();
    bytes += '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out_);
}

bool CsvWriter::finish() {
    return std::fflush(out_) == 0 && !std::ferror(out_);
}

CsvError::CsvError(qint64 line, const QString& message)
    : std::runtime_error(message.toStdString()), line_(line), message_(message) {}

CsvReader::CsvReader(QIODevice* in) : in_(in), decoder_(QStringDecoder::Utf8) {}

bool CsvReader::refill() {
    if (atEnd_) return false;
    buf_.remove(0, pos_);
    pos_ = 0;
    const QByteArray chunk = in_->read(1 << 20);
    if (chunk.isEmpty()) {
        atEnd_ = true;
        return false;
    }
    const qsizetype oldSize = buf_.size();
    buf_ += decoder_.decode(chunk);
    if (decoder_.hasError()) {
        qsizetype bad = buf_.indexOf(QChar(QChar::ReplacementCharacter), oldSize);
        if (bad < 0) bad = buf_.size();
        const qint64 line = line_ + QStringView(buf_).mid(pos_, bad - pos_).count(u'\n');
        throw CsvError(line, QStringLiteral("plik nie jest zapisany w kodowaniu UTF-8"));
    }
    if (!started_) {
        started_ = true;
        // The decoder drops a leading byte-order mark; one that survived a re-encoding is
        // dropped here.
        if (buf_.startsWith(QChar(0xFEFF))) buf_.remove(0, 1);
    }
    return true;
}

int CsvReader::peek() {
    while (pos_ >= buf_.size())
        if (!refill()) return -1;
    return buf_.at(pos_).unicode();
}

bool CsvReader::next(QStringList& fields) {
    fields.clear();
    for (;;) {
        const int c = peek();
        if (c < 0) return false;
        if (c == '\n') {
            take();
            ++line_;
        } else if (c == '\r') {
            take();
            if (peek() == '\n') take();
            ++line_;
        } else {
            break;
        }
    }
    recordLine_ = line_;
    QString field;
    for (;;) {
        field.clear();
        int c = peek();
        if (c == '"') {
            take();
            for (;;) {
                c = peek();
                if (c < 0)
                    throw CsvError(recordLine_, QStringLiteral("cudzysłów otwarty w tym wierszu "
                                                               "nie został zamknięty"));
                take();
                if (c == '"') {
                    if (peek() == '"') {
                        take();
                        field += u'"';
                        continue;
                    }
                    break;
                }
                if (c == '\n') ++line_;
                field += QChar(char16_t(c));
            }
            c = peek();
            if (c >= 0 && c != ';' && c != '\n' && c != '\r')
                throw CsvError(line_, QStringLiteral("po cudzysłowie zamykającym wartość musi być "
                                                     "\";\" albo koniec wiersza"));
        } else {
            // A quote inside an unquoted value is taken literally.
            while (c >= 0 && c != ';' && c != '\n' && c != '\r') {
                field += QChar(char16_t(c));
                take();
                c = peek();
            }
        }
        fields << field;
        if (c == ';') {
            take();
            continue;
        }
        if (c == '\r') {
            take();
            if (peek() == '\n') take();
            ++line_;
        } else if (c == '\n') {
            take();
            ++line_;
        }
        return true;
    }
}

} // namespace pelkdb
