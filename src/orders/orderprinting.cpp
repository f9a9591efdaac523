#include "orders/orderprinting.h"

#include "orders/orderlayout.h"
#include "store/mainstate.h"
#include "ui/busycursor.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/printing.h"

namespace orders {

bool printOrder(QWidget* parent, store::MainState& st, qint64 orderNr, PrintTarget target) {
    // The printer is asked about first, before anything is read; a PDF file needs none.
    if (target != PrintTarget::Pdf && ui::refuseWithoutPrinter()) return false;
    bool done = false;
    ui::guarded([&] {
        std::optional<OrderPrintData> order;
        QList<documents::Page> pages;
        {
            ui::BusyCursor busy;
            order = loadOrderPrintData(st.MainFolder, st.DefaultCatalogueFolder, orderNr,
                                       st.CurrentUserNr);
            if (order) pages = orderReport(*order).layout();
        }
        if (!order) {
            ui::messages().information(QStringLiteral("Nie znaleziono zamówienia do wydruku."));
            return;
        }
        // An order without lines prints nothing; there is no empty file to write either.
        if (pages.isEmpty()) {
            if (target == PrintTarget::Pdf)
                ui::messages().information(
                    QStringLiteral("Zamówienie nie ma pozycji - nie ma czego zapisać."));
            return;
        }
        const QString title = QStringLiteral("Zamówienie %1").arg(order->number);
        const auto source = documents::PageSource::of(std::move(pages));
        switch (target) {
        case PrintTarget::Printer:
            done = ui::printPages(source, title);
            break;
        case PrintTarget::Preview:
            done = ui::previewPages(parent, source, title);
            break;
        case PrintTarget::Pdf: {
            QString file = order->number.trimmed();
            file.replace(u'/', u'-').replace(u'\\', u'-');
            if (file.isEmpty()) file = QString::number(orderNr);
            done = ui::savePagesAsPdf(source, title, QStringLiteral("Zamowienie_%1.pdf").arg(file));
            break;
        }
        }
    });
    return done;
}

} // namespace orders
