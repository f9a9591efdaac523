#include "documents/rtf.h"

#include "documents/rtfcodepage.h"
#include "documents/rtfreader.h"

#include <QStringDecoder>
#include <QTextDocument>

namespace documents {

namespace {

// Where "{\rtf" starts, after a byte order mark and blank space some programs put before it;
// -1 when the data is not RTF.
qsizetype rtfStart(const QByteArray& data) {
    qsizetype at = data.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (at < data.size() &&
           (data[at] == ' ' || data[at] == '\t' || data[at] == '\r' || data[at] == '\n'))
        ++at;
    return QByteArrayView(data).sliced(at).startsWith("{\\rtf") ? at : -1;
}

// A file that is not RTF is text: UTF-16 by its byte order mark, UTF-8 when it is valid UTF-8,
// otherwise the program's own code page 1250. Null bytes mean it is not text at all.
bool readPlainText(const QByteArray& data, QString& text) {
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(data.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                           : QStringConverter::Utf16BE);
        text = decoder.decode(QByteArrayView(data).sliced(2));
        return true;
    }
    if (data.contains('\0')) return false;
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    text = utf8.decode(data);
    if (utf8.hasError()) {
        text.clear();
        rtf::CodePage::forNumber(1250)->decode(data.constData(), data.size(), text);
    } else if (text.startsWith(QChar(0xFEFF))) {
        text.remove(0, 1);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Other control characters are no text a document shows (nor one the writer would keep).
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\n' && c != u'\t'; });
    return true;
}

} // namespace

bool readRtf(const QByteArray& data, QTextDocument& doc, QString* error) {
    // What was read is where the document's history starts: no undoing back into an empty page,
    // and nothing modified yet.
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.clear();
    QString note;
    bool read = true;
    const qsizetype start = rtfStart(data);
    if (start >= 0) {
        note = rtf::readInto(QByteArrayView(data).sliced(start), doc);
    } else {
        QString text;
        read = readPlainText(data, text);
        if (read)
            doc.setPlainText(text);
        else
            note = QStringLiteral("Plik nie jest dokumentem RTF ani plikiem tekstowym.");
    }
    doc.setUndoRedoEnabled(undo);
    doc.setModified(false);
    if (error) *error = note;
    return read;
}

} // namespace documents
