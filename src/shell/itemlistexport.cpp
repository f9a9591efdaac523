#include "shell/itemlistexport.h"

#include "engine/error.h"

#include <QSaveFile>
#include <QStringEncoder>
#include <algorithm>

namespace shell {

namespace {

// Rows read and written at a time: large enough that reading is cheap, small enough that the
// progress moves and a cancel is felt at once.
constexpr int kPageRows = 2000;

bool needsQuotes(const QString& field) {
    if (field.isEmpty()) return false;
    if (field.front().isSpace() || field.back().isSpace()) return true;
    for (const QChar c : field)
        if (c == u';' || c == u'"' || c == u'\n' || c == u'\r') return true;
    return false;
}

QString tabText(QString text) {
    for (QChar& c : text)
        if (c == u'\t' || c == u'\n' || c == u'\r') c = u' ';
    return text;
}

QStringList captions(const ItemListSource& list) {
    QStringList out;
    for (const auto& c : list.columns)
        out << c.title;
    return out;
}

} // namespace

QString csvLine(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) line += u';';
        const QString& f = fields[i];
        if (!needsQuotes(f)) {
            line += f;
            continue;
        }
        line += u'"';
        line += QString(f).replace(QStringLiteral("\""), QStringLiteral("\"\""));
        line += u'"';
    }
    return line;
}

ExportResult writeItemListCsv(const ItemListSource& list, const QString& path,
                              const std::function<bool(int done, int total)>& progress,
                              QString* error) {
    QSaveFile file(path);
    auto failed = [&](const QString& why) {
        file.cancelWriting();
        if (error) *error = why;
        return ExportResult::Failed;
    };
    if (!file.open(QIODevice::WriteOnly)) return failed(file.errorString());
    const QString lineEnd = QStringLiteral("\r\n");
    QStringEncoder utf8(QStringEncoder::Utf8, QStringEncoder::Flag::WriteBom);
    QString chunk = csvLine(captions(list)) + lineEnd;
    for (int first = 0; first < list.rows; first += kPageRows) {
        if (progress && !progress(first, list.rows)) {
            file.cancelWriting();
            return ExportResult::Cancelled;
        }
        QList<QStringList> rows;
        try {
            rows = list.read ? list.read(first, std::min(kPageRows, list.rows - first))
                             : QList<QStringList>();
        } catch (const engine::EngineError&) {
            file.cancelWriting();
            throw; // the caller's guard names the table and the cause
        }
        for (const QStringList& r : rows) {
            chunk += csvLine(r);
            chunk += lineEnd;
        }
        const QByteArray bytes = utf8.encode(chunk);
        if (file.write(bytes) != bytes.size()) return failed(file.errorString());
        chunk.clear();
    }
    if (!chunk.isEmpty()) {
        const QByteArray bytes = utf8.encode(chunk);
        if (file.write(bytes) != bytes.size()) return failed(file.errorString());
    }
    if (progress) progress(list.rows, list.rows);
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return ExportResult::Failed;
    }
    return ExportResult::Written;
}

QString itemListRowsAsText(const ItemListSource& list, QList<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList lines;
    QStringList head;
    for (const QString& c : captions(list))
        head << tabText(c);
    lines << head.join(u'\t');
    // Runs of neighbouring rows are read a page at a time, not row by row.
    qsizetype i = 0;
    while (i < rows.size()) {
        const int first = rows[i];
        int count = 1;
        while (i + count < rows.size() && rows[i + count] == first + count && count < kPageRows)
            ++count;
        i += count;
        if (first < 0 || first >= list.rows || !list.read) continue;
        for (const QStringList& r : list.read(first, std::min(count, list.rows - first))) {
            QStringList fields;
            for (const QString& f : r)
                fields << tabText(f);
            lines << fields.join(u'\t');
        }
    }
    return lines.join(u'\n') + u'\n';
}

} // namespace shell
