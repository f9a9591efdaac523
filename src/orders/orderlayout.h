#pragma once
#include "documents/report.h"
#include "orders/orderprintdata.h"

#include <QHash>

namespace orders {

// The captions of the order layouts by label name (QRLabel_Zamawiajacy, ...), for a value of
// Pelk_Wydruk_Jezyk: "PL", "ANG", or anything else for the captions the layouts were designed with.
QHash<QString, QString> orderCaptions(const QString& language);

// The client-order layout TEkr_Zam_od_Klienta and the supplier-order layout TWyd_Zam, as reports
// ready to be laid out. An order without lines makes a report without pages.
documents::Report clientOrderReport(const OrderPrintData& order);
documents::Report supplierOrderReport(const OrderPrintData& order);
// The layout the order's kind asks for.
documents::Report orderReport(const OrderPrintData& order);

// The credit line at the foot of every order.
QString creditLine();

} // namespace orders
