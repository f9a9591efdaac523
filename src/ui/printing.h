#pragma once
#include "documents/report.h"

class QWidget;

// The three ways out for laid-out pages, shared by every printout of the program: straight to the
// printer, into the print preview window, into a PDF file. Each shows its own failures.
namespace ui {

// "Brak zainstalowasnej drukarki" when no printer is installed; true when the caller must stop.
bool refuseWithoutPrinter();

// Prints on the default printer (the first one when none is marked default), without a dialog.
bool printPages(const documents::PageSource& pages, const QString& title);

// The print preview window (object name "PrintPreview"), run through the modal seam.
bool previewPages(QWidget* parent, const documents::PageSource& pages, const QString& title);

// Asks for a file name and writes the pages there; nothing is written when the user cancels.
// Needs no printer.
bool savePagesAsPdf(const documents::PageSource& pages, const QString& title,
                    const QString& suggestedName);

} // namespace ui
