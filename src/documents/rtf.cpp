#include "documents/rtf.h"

#include <QTextDocument>

namespace documents {

// Placeholder until the reader and writer are written: the text travels as plain UTF-8.
bool readRtf(const QByteArray& data, QTextDocument& doc, QString*) {
    doc.setPlainText(QString::fromUtf8(data));
    return true;
}

QByteArray writeRtf(const QTextDocument& doc) {
    return doc.toPlainText().toUtf8();
}

} // namespace documents
