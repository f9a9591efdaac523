#pragma once
#include <QString>

namespace offers {

// Writes the document of offer `offerNr` (its row in the main folder's offer list and its file
// beside it) as a PDF file, without any window: for the command line as much as for the editor.
// A missing row or file, or an output that cannot be written, leaves no file and gives false
// with a one-line reason; a damaged document is written as far as it can be read.
bool writeOfferPdf(const QString& mainFolder, int offerNr, const QString& outFile, QString* error);

} // namespace offers
