#include "offers/offerpdf.h"
#include "engine/error.h"
#include "engine/table.h"
#include "offers/offerfiles.h"
#include "store/mainfolder_schema.h"
#include <QDir>
#include <QFileInfo>
#include <QTextDocument>

namespace offers {

namespace {

bool fail(QString* error, const QString& text) {
    if (error) *error = text;
    return false;
}

} // namespace

bool writeOfferPdf(const QString& mainFolder, int offerNr, const QString& outFile, QString* error) {
    QString description;
    try {
        engine::Table offersTable(QDir(mainFolder).filePath(store::kOffersFolder),
                                  QStringLiteral("Oferty"));
        offersTable.open();
        if (!offersTable.findKey({offerNr}))
            return fail(error, QStringLiteral("Brak oferty nr %1").arg(offerNr));
        description = offersTable.asString(QStringLiteral("Oferty_Opis"));
    } catch (const engine::EngineError& e) {
        return fail(error, e.message());
    }
    const QString path = offerFilePath(mainFolder, offerNr);
    QTextDocument doc;
    QString why;
    if (!QFileInfo(path).isFile()) return fail(error, QStringLiteral("Brak pliku %1").arg(path));
    // A document that cannot be read whole is still written as far as it was read.
    if (!loadDocument(path, doc, &why) && !stampOf(path).exists)
        return fail(error, QStringLiteral("Nie można otworzyć pliku %1 (%2)").arg(path, why));
    const QString title = description.isEmpty() ? offerFileName(offerNr) : description;
    if (!saveDocumentPdf(outFile, doc, title, &why))
        return fail(error, QStringLiteral("Nie można zapisać pliku %1 (%2)").arg(outFile, why));
    return true;
}

} // namespace offers
