#include "ui/printing.h"

#include "documents/painter.h"
#include "platform/printers.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/filedialogs.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace ui {

namespace {

// A printer set up for the report pages: A4 portrait, the whole paper addressed (the pages bring
// their own margins), on the printer the list names when the system knows it.
void setUp(QPrinter& printer, const QString& title) {
    const auto& list = platform::printers();
    QString name = list.defaultName();
    if (name.isEmpty()) name = list.names().value(0);
    if (!name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name))
        printer.setPrinterName(name);
    printer.setDocName(title);
    printer.setFullPage(true);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
}

void printerFailed(const QString& title) {
    messages().error(errorCaption(),
                     QStringLiteral("Nie można wydrukować dokumentu %1: drukarka odmówiła "
                                    "przyjęcia wydruku.")
                         .arg(title));
}

} // namespace

bool refuseWithoutPrinter() {
    if (platform::printers().any()) return false;
    messages().information(QStringLiteral("Brak zainstalowasnej drukarki"));
    return true;
}

bool printPages(const documents::PageSource& pages, const QString& title) {
    if (pages.count == 0) return false;
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, title);
    BusyCursor busy;
    if (!documents::paintPages(printer, pages)) {
        printer.abort();
        printerFailed(title);
        return false;
    }
    return true;
}

bool previewPages(QWidget* parent, const documents::PageSource& pages, const QString& title) {
    if (pages.count == 0) return false;
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, title);
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setObjectName(QStringLiteral("PrintPreview"));
    dialog.setWindowTitle(title);
    bool failed = false;
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, [&](QPrinter* target) {
        guarded([&] {
            BusyCursor busy;
            failed = !documents::paintPages(*target, pages) || failed;
        });
    });
    modalRunner().run(dialog);
    if (failed) printerFailed(title);
    return !failed;
}

bool savePagesAsPdf(const documents::PageSource& pages, const QString& title,
                    const QString& suggestedName) {
    if (pages.count == 0) return false;
    QString path = fileDialogs().saveFileName(QStringLiteral("Zapisz jako PDF"),
                                              QDir::home().filePath(suggestedName),
                                              QStringLiteral("Pliki PDF (*.pdf)"));
    if (path.isEmpty()) return false;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".pdf");
    QString error;
    bool written = false;
    {
        BusyCursor busy;
        written = documents::writePdf(path, pages, title, &error);
    }
    if (!written) messages().error(errorCaption(), error);
    return written;
}

} // namespace ui
