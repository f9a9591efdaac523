#pragma once
#include <QDateTime>
#include <QString>

class QTextDocument;

namespace offers {

// The offers' folder in the main folder (ends with a separator), and an offer's own document
// file in it: offer 12 is "12.rtf".
QString offersFolder(const QString& mainFolder);
QString offerFileName(int offerNr);
QString offerFilePath(const QString& mainFolder, int offerNr);

// What a file looked like when the editor read or wrote it, so that a save notices another
// installation's save in between.
struct FileStamp {
    bool exists = false;
    qint64 size = 0;
    QDateTime modified;
    bool operator==(const FileStamp&) const = default;
};
FileStamp stampOf(const QString& path);

// Reads a document file (rich text, or plain text) into `doc`; false with the system's reason
// when the file cannot be read, `doc` then left as it was.
bool loadDocument(const QString& path, QTextDocument& doc, QString* error);
// Writes `doc` as rich text through a temporary file that replaces `path` only when complete, so
// a failed save leaves the previous file whole.
bool saveDocument(const QString& path, const QTextDocument& doc, QString* error);
// Writes `doc` as a PDF file, the same way: nothing at `path` changes unless the whole file
// could be written.
bool saveDocumentPdf(const QString& path, const QTextDocument& doc, const QString& title,
                     QString* error);

} // namespace offers
