#pragma once
#include "platform/seam.h"
#include <QString>
#include <QStringList>

namespace platform {

// The printers installed on this computer. Printing commands refuse to start without one.
class PrinterList {
public:
    virtual ~PrinterList() = default;
    virtual QStringList names() const = 0;
    virtual QString defaultName() const = 0; // empty when there is no default printer
    bool any() const { return !names().isEmpty(); }

    static PrinterList& system();
};

using PrintersSeam = Seam<PrinterList>;
using ScopedPrinters = PrintersSeam::Override;
inline PrinterList& printers() {
    return PrintersSeam::get();
}

class SystemPrinterList : public PrinterList {
public:
    QStringList names() const override;
    QString defaultName() const override;
};

class FakePrinterList : public PrinterList {
public:
    explicit FakePrinterList(QStringList names = {}) : printerNames(std::move(names)) {}
    QStringList names() const override { return printerNames; }
    QString defaultName() const override { return printerNames.value(0); }
    QStringList printerNames;
};

} // namespace platform
