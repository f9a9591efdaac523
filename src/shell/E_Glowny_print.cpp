// The main window's printouts of the item list.
#include "shell/E_Glowny.h"

#include "platform/clock.h"
#include "shell/itemlistprintout.h"
#include "ui/messages.h"
#include "ui/printing.h"
#include "ui_E_Glowny.h"

#include <QMenu>

namespace shell {

void TForm_Pelk::connectPrintCommands() {
    // The PDF file sits beside the printout in the catalogue menu.
    auto* pdf = new QAction(QStringLiteral("Zapisz jako PDF..."), this);
    pdf->setObjectName(QStringLiteral("ZapiszPDF1"));
    pdf->setToolTip(QStringLiteral("Zapisanie listy obiektów w pliku PDF"));
    pdf->setStatusTip(pdf->toolTip());
    for (QMenu* menu : findChildren<QMenu*>()) {
        const QList<QAction*> actions = menu->actions();
        const qsizetype at = actions.indexOf(ui_->Drukuj2);
        if (at < 0) continue;
        menu->insertAction(actions.value(at + 1), pdf);
        break;
    }
    commands_.insert(pdf->objectName(), pdf);
    command(ui_->Drukuj2, &TForm_Pelk::Drukuj2Click);
    command(ui_->SpeedButton2, &TForm_Pelk::SpeedButton2Click);
    command(pdf, &TForm_Pelk::ZapiszPDF1Click);
}

void TForm_Pelk::Drukuj2Click() {
    printItemList(ListOutput::Printer);
}

void TForm_Pelk::SpeedButton2Click() {
    printItemList(ListOutput::Preview);
}

void TForm_Pelk::ZapiszPDF1Click() {
    printItemList(ListOutput::Pdf);
}

void TForm_Pelk::printItemList(ListOutput output) {
    if (output != ListOutput::Pdf && ui::refuseWithoutPrinter()) return;
    const QString name = state_.CurrentCatalogueName.isEmpty() ? state_.CurrentCatalogueFolder
                                                               : state_.CurrentCatalogueName;
    const auto report = itemListReport(*ui_->DBGrid_Towary, name, platform::today());
    // Counted from the rows alone, so a list of a million items is not read before the answer.
    const int pages = report.pageCount();
    if (pages > kAskAboveListPages &&
        !ui::messages().question(
            QStringLiteral("Wydruk listy obiektów zajmie %1 stron. Czy kontynuować ?").arg(pages),
            ui::Button::No))
        return;
    const QString title = QStringLiteral("Lista obiektów");
    switch (output) {
    case ListOutput::Printer:
        ui::printPages(report.pages(), title);
        break;
    case ListOutput::Preview:
        ui::previewPages(this, report.pages(), title);
        break;
    case ListOutput::Pdf:
        ui::savePagesAsPdf(report.pages(), title, QStringLiteral("Lista_obiektow.pdf"));
        break;
    }
}

} // namespace shell
