#pragma once
#include <QByteArray>
#include <QString>

class QTextDocument;

namespace documents {

// Reads a Rich Text Format file (or a plain text file) into the document, replacing its content.
// Malformed input is read as far as it can be; false with a reason in `error` only when nothing
// could be read (a binary file). When the file was read only in part (nesting deeper than the
// reader follows, a truncated file) it returns true and `error` says what was left out;
// otherwise `error` is emptied. The document is left unmodified, with no undo history.
bool readRtf(const QByteArray& data, QTextDocument& doc, QString* error = nullptr);

// Writes the document as Rich Text Format (code page 1250).
QByteArray writeRtf(const QTextDocument& doc);

} // namespace documents
