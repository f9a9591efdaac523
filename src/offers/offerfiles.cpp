#include "offers/offerfiles.h"
#include "documents/rtf.h"
#include "store/mainfolder_schema.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>
#include <memory>

namespace offers {

QString offersFolder(const QString& mainFolder) {
    return QDir(mainFolder).filePath(store::kOffersFolder) + QLatin1Char('/');
}

QString offerFileName(int offerNr) {
    return QString::number(offerNr) + QStringLiteral(".rtf");
}

QString offerFilePath(const QString& mainFolder, int offerNr) {
    return offersFolder(mainFolder) + offerFileName(offerNr);
}

FileStamp stampOf(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) return {};
    return {true, info.size(), info.lastModified()};
}

bool loadDocument(const QString& path, QTextDocument& doc, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (error) *error = file.errorString();
        return false;
    }
    if (data.isEmpty()) {
        doc.clear();
        return true;
    }
    return documents::readRtf(data, doc, error);
}

bool saveDocument(const QString& path, const QTextDocument& doc, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    file.write(documents::writeRtf(doc));
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

bool saveDocumentPdf(const QString& path, const QTextDocument& doc, const QString& title,
                     QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error) *error = file.errorString();
        return false;
    }
    {
        QPdfWriter pdf(&file);
        pdf.setTitle(title);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setResolution(300);
        std::unique_ptr<QTextDocument> copy(doc.clone());
        copy->print(&pdf);
    }
    if (!file.commit()) {
        if (error) *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace offers
