#pragma once
#include "documents/report.h"

class QPainter;
class QPagedPaintDevice;

namespace documents {

// Draws one laid-out page with `painter`, whose origin is the paper's top-left corner; the
// millimetres are turned into the device's own units. Texts are cut at their box's edge.
void paintPage(QPainter& painter, const Page& page);

// Prints the pages on a printer or PDF writer that is set to A4 without margins of its own. False
// when the device refused to start or to take a new page.
bool paintPages(QPagedPaintDevice& device, const PageSource& pages);

// Writes the pages as a PDF file with its fonts embedded. The file appears complete or not at all:
// it is written under a temporary name beside the target and then renamed over it. On failure
// `error` says why in Polish and any earlier file of that name is left as it was.
bool writePdf(const QString& path, const PageSource& pages, const QString& title,
              QString* error = nullptr);

} // namespace documents
