#include "platform/printers.h"
#include <QPrinterInfo>

namespace platform {

PrinterList& PrinterList::system() {
    static SystemPrinterList instance;
    return instance;
}

QStringList SystemPrinterList::names() const {
    return QPrinterInfo::availablePrinterNames();
}

QString SystemPrinterList::defaultName() const {
    return QPrinterInfo::defaultPrinterName();
}

} // namespace platform
