#include "orders/orderlayout.h"

namespace orders {

using documents::Align;
using documents::Band;
using documents::TextStyle;

namespace {

constexpr double kWidth = 190; // printable width of A4 with 10 mm margins
constexpr double kLeftBox = 91.3;
constexpr double kRightBox = 91;
constexpr double kBoxHeight = 27.8;
constexpr double kPad = 2.1; // texts start this far inside their frame

const TextStyle k6{6, false, false};
const TextStyle k7BoldItalic{7, true, true};
const TextStyle k8{8, false, false};
const TextStyle k8Bold{8, true, false};
const TextStyle k8Italic{8, false, true};
const TextStyle k8BoldItalic{8, true, true};
const TextStyle k10{10, false, false};
const TextStyle k10Bold{10, true, false};
const TextStyle k11Bold{11, true, false};
const TextStyle k16Bold{16, true, false};

double line(const TextStyle& s) {
    return documents::lineHeight(s.points);
}

QString lbl(const char* name) {
    return QString::fromLatin1(name);
}

// A company box of the client layout: a caption, three names, the street, the post code with the
// town and the contact; `prefix` names the texts (Zamawiajacy.Firma_Nazwa1, ...).
void companyBox(Band& b, const QString& prefix, double left, double width, double top,
                const QString& caption, const QString& captionName, const PrintCompany& c,
                const QString& contact) {
    const double x = left + kPad;
    const double w = width - kPad - 0.5;
    const double townX = x + (15.6 - kPad);
    double y = top + 0.3;
    b.text(captionName, x, y, w, caption, k8Bold);
    y += line(k8Bold);
    b.text(prefix + QStringLiteral(".Firma_Nazwa1"), x, y, w, c.name1, k10);
    y += line(k10);
    b.text(prefix + QStringLiteral(".Firma_Nazwa2"), x, y, w, c.name2, k10);
    y += line(k10);
    b.text(prefix + QStringLiteral(".Firma_Nazwa3"), x, y, w, c.name3, k10);
    y += line(k10);
    b.text(prefix + QStringLiteral(".Firma_Ulica"), x, y, w, c.street, k8);
    y += line(k8);
    // The post code in the small font sits on the town's base line.
    b.text(prefix + QStringLiteral(".Firma_Kod_Poczt"), x, y + 0.7, townX - x - 0.5, c.postCode,
           k8);
    b.text(prefix + QStringLiteral(".Firma_Miejscowosc"), townX, y, left + width - townX - 0.5,
           c.town, k10);
    y += line(k10) - 0.1;
    b.text(prefix + QStringLiteral(".Kontakt"), x, y, w, contact, k10);
}

void columnHeadings(Band& b, double y, const QHash<QString, QString>& cap) {
    const double h = 4.2;
    b.text(lbl("QRLabel_Nazwa"), 2.1, y, 63, cap[lbl("QRLabel_Nazwa")], k8Bold, Align::Left, h);
    b.text(lbl("QRLabel_Symbol"), 65.6, y, 30.2, cap[lbl("QRLabel_Symbol")], k8Bold, Align::Left,
           h);
    b.text(lbl("QRLabel_Kod_Prod"), 96.3, y, 28, cap[lbl("QRLabel_Kod_Prod")], k8Bold, Align::Left,
           h);
    b.text(lbl("QRLabel_j_m"), 127, y, 10.8, cap[lbl("QRLabel_j_m")], k8Bold, Align::Centre, h);
    b.text(lbl("QRLabel_Ilosc"), 138, y, 12.5, cap[lbl("QRLabel_Ilosc")], k8Bold, Align::Right, h);
    b.text(lbl("QRLabel_Uwagi"), 152.9, y, 20.2, cap[lbl("QRLabel_Uwagi")], k8Bold, Align::Left, h);
    b.text(lbl("QRLabel_Str"), 173.6, y - 0.6, 8.2, cap[lbl("QRLabel_Str")], k10, Align::Left, 4.8);
    b.pageNumber(lbl("Numer_Strony"), 182, y - 0.6, 8, k10);
}

// One order line. The symbol and producer-code fields print nothing when their setting leaves
// them unbound; their columns stay where they are.
Band detailBand(const PrintLine& l, const OrderPrintData& order, const QString& symbolName,
                const QString& codeName) {
    Band b;
    b.height = 5.3;
    const double y = 0.4, h = 4.6;
    // The name stops short of the symbol column, so that a cut name does not run into it.
    b.text(lbl("Dane_Tow_Nazwa"), 2.1, y, 62.8, l.name, k10Bold, Align::Left, h);
    b.text(symbolName, 65.9, y, 30.2, order.showSymbol ? l.symbol : QString(), k10Bold, Align::Left,
           h);
    b.text(codeName, 96.6, y, 27.8, order.showProducerCode ? l.producerCode : QString(), k10Bold,
           Align::Left, h);
    b.text(lbl("Dane_jm"), 124.9, y, 12.9, l.unit, k10Bold, Align::Centre, h);
    b.text(lbl("Dane_ilosc"), 138, y, 12.5, l.quantity, k10Bold, Align::Right, h);
    b.text(lbl("Dane_Uwagi"), 153.7, y, kWidth - 153.7, l.remarks, k10Bold, Align::Left, h);
    return b;
}

// The foot of both layouts: the order's footer lines, the signature with its dotted line, the
// credit line.
Band footerBand(const OrderPrintData& order, const QHash<QString, QString>& cap) {
    Band b;
    b.height = 68;
    b.frame(lbl("Ramka_Stopka"), 0, 1.1, kWidth, 14);
    for (int i = 0; i < 3; ++i)
        b.text(QStringLiteral("Dok_Stopka%1").arg(i + 1), kPad, 1.4 + i * line(k10), kWidth - 4,
               order.footers[i], k10);
    b.frame(lbl("Ramka_Podpis"), 0, 14.8, kWidth, 32.8);
    b.picture(lbl("DBImage_Podpis"), 114.3, 15.9, 52.9, order.signatureOff ? 0 : 26.5,
              order.signature);
    b.text(lbl("Kropki"), 110.1, 40, 78,
           QStringLiteral("..........................................................."), k10);
    b.text(lbl("QRLabel_Podpis"), 141.8, 43.9, 30, cap[lbl("QRLabel_Podpis")], k6);
    b.frame(lbl("Ramka_Oprogramowanie"), 0, 47.4, kWidth, 4.8);
    b.text(lbl("QRLabel_Oprogramowanie"), 16.9, 47.9, kWidth - 17.5, creditLine(), k7BoldItalic);
    return b;
}

void addDetails(documents::Report& report, const OrderPrintData& order, const QString& symbolName,
                const QString& codeName) {
    for (const PrintLine& l : order.lines)
        report.addDetail(detailBand(l, order, symbolName, codeName));
}

Band clientHeader(const OrderPrintData& o, const QHash<QString, QString>& cap) {
    Band b;
    b.height = 73;
    // The orderer and the recipient.
    b.frame(lbl("Ramka_Zamawiajacy"), 0, 0, kLeftBox, kBoxHeight);
    b.frame(lbl("Ramka_Odbierajacy"), kRightBox, 0, kWidth - kRightBox, kBoxHeight);
    companyBox(b, lbl("Zamawiajacy"), 0, kLeftBox, 0, cap[lbl("QRLabel_Zamawiajacy")],
               lbl("QRLabel_Zamawiajacy"), o.company, o.companyContact);
    companyBox(b, lbl("Odbiorca"), kRightBox, kWidth - kRightBox, 0,
               cap[lbl("QRLabel_Odbierajacy")], lbl("QRLabel_Odbierajacy"), o.recipient,
               o.recipientContact);

    // The owner, and the order's number, dates, payment and transport.
    const double top = 27.5;
    b.frame(lbl("Ramka_Wlasciciel"), 0, top, kLeftBox, kBoxHeight);
    b.frame(lbl("Ramka_Zamowienie"), kRightBox, top, kWidth - kRightBox, kBoxHeight);
    const double w = kLeftBox - kPad - 0.5;
    double y = top + 0.6;
    b.text(lbl("Wlasciciel.Firma_Nazwa1"), kPad, y, w, o.owner.name1, k8);
    y += line(k8);
    b.text(lbl("Wlasciciel.Firma_Nazwa2"), kPad, y, w, o.owner.name2, k8);
    y += line(k8);
    b.text(lbl("Wlasciciel.Firma_Nazwa3"), kPad, y, w, o.owner.name3, k8BoldItalic);
    y += line(k8);
    b.text(lbl("Wlasciciel.Firma_Ulica"), kPad, y, w, o.owner.street, k8Italic);
    y += line(k8);
    b.text(lbl("Wlasciciel.Firma_Kod_Poczt"), kPad, y, 13, o.owner.postCode, k8Italic);
    b.text(lbl("Wlasciciel.Firma_Miejscowosc"), 15.6, y, kLeftBox - 16.1, o.owner.town, k8Italic);
    y += line(k8);
    b.text(lbl("Telefon_Kontakt"), kPad, y, 45.8 - kPad, o.ownerContact.person, k8Italic,
           Align::Right);
    b.text(lbl("Telefon_Nr_Tel"), 46.8, y, kLeftBox - 47.3, o.ownerContact.phone, k8Italic);

    b.text(lbl("QRLabel_Zamowienie"), 92, top + 0.8, 137.8 - 92, cap[lbl("QRLabel_Zamowienie")],
           k16Bold, Align::Right);
    b.text(lbl("Dok_Numer_Dok"), 139.7, top + 2.2, 176 - 139.7, o.number, k11Bold, Align::Centre);
    const double capX = 91.6, capEnd = 118.8, valX = 120.7;
    const double rows[3] = {top + 9.6, top + 14.1, top + 18.6};
    const std::pair<const char*, QString> lines[3] = {{"QRLabel_z_dnia", o.issued},
                                                      {"QRLabel_Forma_Platnosci", o.payment},
                                                      {"QRLabel_Transport", o.transport}};
    const char* values[3] = {"Dok_Data_Wyst", "Dok_Forma_Platnosci", "Dok_Transport"};
    for (int i = 0; i < 3; ++i) {
        b.text(lbl(lines[i].first), capX, rows[i], capEnd - capX, cap[lbl(lines[i].first)], k10,
               Align::Right);
        b.text(lbl(values[i]), valX, rows[i], (i == 0 ? 159.5 : kWidth - 0.5) - valX,
               lines[i].second, k10);
    }
    b.text(lbl("QRLabel_Data_Realizacji"), 160, rows[0], kWidth - 160.5,
           cap[lbl("QRLabel_Data_Realizacji")], k10);
    b.text(lbl("Dok_Data_Realiz"), 160, rows[1], kWidth - 160.5, o.due, k10);

    // What the order is about.
    b.frame(lbl("Ramka_Naglowek"), 0, 55, kWidth, 13.5);
    for (int i = 0; i < 3; ++i)
        b.text(QStringLiteral("Dok_Naglowek%1").arg(i + 1), kPad, 55.3 + i * line(k10), kWidth - 4,
               o.headings[i], k10);

    columnHeadings(b, 68.8, cap);
    return b;
}

// The owner as the orderer of a supplier order: names, address, tax number, bank and account and
// the owner's contact.
void ordererBox(Band& b, const OrderPrintData& o, const QHash<QString, QString>& cap, double top,
                double height) {
    b.frame(lbl("Ramka_Zamawiajacy"), 0, top, kLeftBox, height);
    const double x = kPad, w = kLeftBox - kPad - 0.5;
    double y = top + 0.3;
    b.text(lbl("QRLabel_Zamawiajacy"), x, y, w, cap[lbl("QRLabel_Zamawiajacy")], k8Bold);
    y += line(k8);
    const std::pair<const char*, QString> names[3] = {{"Zamawiajacy.Firma_Nazwa1", o.owner.name1},
                                                      {"Zamawiajacy.Firma_Nazwa2", o.owner.name2},
                                                      {"Zamawiajacy.Firma_Nazwa3", o.owner.name3}};
    for (const auto& [name, text] : names) {
        b.text(lbl(name), x, y, w, text, k10);
        y += line(k10);
    }
    b.text(lbl("Zamawiajacy.Firma_Ulica"), x, y, w, o.owner.street, k8);
    y += line(k8);
    b.text(lbl("Zamawiajacy.Firma_Kod_Poczt"), x, y + 0.7, 13, o.owner.postCode, k8);
    b.text(lbl("Zamawiajacy.Firma_Miejscowosc"), 15.6, y, kLeftBox - 16.1, o.owner.town, k10);
    y += line(k10);
    const double capW = 14;
    const std::tuple<const char*, const char*, QString> facts[3] = {
        {"QRLabel_NIP", "QRT_NIP", o.owner.taxNumber},
        {"QRLabel_Bank", "QRT_Bank", o.owner.bank},
        {"QRLabel_Konto", "QRT_Konto", o.owner.account}};
    for (const auto& [caption, field, text] : facts) {
        b.text(lbl(caption), x, y, capW, cap[lbl(caption)], k8Bold);
        b.text(lbl(field), x + capW + 0.5, y, w - capW - 0.5, text, k8);
        y += line(k8);
    }
    const QString contact = QStringList{o.ownerContact.person, o.ownerContact.phone}
                                .join(QStringLiteral("  "))
                                .trimmed();
    b.text(lbl("TKontakt_Z"), x, y, w, contact, k8Italic);
}

Band supplierHeader(const OrderPrintData& o, const QHash<QString, QString>& cap) {
    Band b;
    b.height = 104;
    // The letterhead: the owner's logo and the order's number.
    if (!o.logo.isNull()) b.picture(lbl("DBImage1"), 0, 0, 70, 17, o.logo);
    b.text(lbl("QRLabel_Zamowienie"), 75, 4.5, 137.8 - 75, cap[lbl("QRLabel_Zamowienie")], k16Bold,
           Align::Right);
    b.text(lbl("Dok_Numer_Dok"), 139.7, 5.9, 176 - 139.7, o.number, k11Bold, Align::Centre);

    // The orderer (the owner) and the addressee (the supplier).
    const double top = 18, tall = 37.6;
    ordererBox(b, o, cap, top, tall);
    b.frame(lbl("Ramka_Adresat"), kRightBox, top, kWidth - kRightBox, tall);
    companyBox(b, lbl("Adresat"), kRightBox, kWidth - kRightBox, top, cap[lbl("QRLabel_Adresat")],
               lbl("QRLabel_Adresat"), o.company, o.companyContact);

    // The recipient, and the dates, payment and transport.
    const double second = top + tall - 0.3;
    b.frame(lbl("Ramka_Odbierajacy"), 0, second, kLeftBox, kBoxHeight);
    companyBox(b, lbl("Odbiorca"), 0, kLeftBox, second, cap[lbl("QRLabel_Odbierajacy")],
               lbl("QRLabel_Odbierajacy"), o.recipient, o.recipientContact);
    b.frame(lbl("Ramka_Zamowienie"), kRightBox, second, kWidth - kRightBox, kBoxHeight);
    const std::tuple<const char*, const char*, QString> facts[4] = {
        {"QRLabel_z_dnia", "Dok_Data_Wyst", o.issued},
        {"QRLabel_Data_Realizacji", "Dok_Data_Realiz", o.due},
        {"QRLabel_Forma_Platnosci", "Dok_Forma_Platnosci", o.payment},
        {"QRLabel_Transport", "Dok_Transport", o.transport}};
    const double capX = 92, capEnd = 129.5, valX = 131;
    double y = second + 2;
    for (const auto& [caption, field, text] : facts) {
        b.text(lbl(caption), capX, y, capEnd - capX, cap[lbl(caption)], k10, Align::Right);
        b.text(lbl(field), valX, y, kWidth - 0.5 - valX, text, k10);
        y += 5.8;
    }

    // What the order is about.
    const double about = second + kBoxHeight - 0.3;
    b.frame(lbl("Ramka_Naglowek"), 0, about, kWidth, 13.5);
    for (int i = 0; i < 3; ++i)
        b.text(QStringLiteral("Dok_Naglowek%1").arg(i + 1), kPad, about + 0.3 + i * line(k10),
               kWidth - 4, o.headings[i], k10);

    columnHeadings(b, about + 13.8, cap);
    return b;
}

} // namespace

QString creditLine() {
    return QStringLiteral("Oprogramowanie : System Informacji PELK! - Pracownia Programów PELK, "
                          "Gdańsk, tel. (58) 520 41 17, e-mail: pelk@pelk.com.pl");
}

QHash<QString, QString> orderCaptions(const QString& language) {
    // The captions as designed, kept for any language other than the two known ones.
    QHash<QString, QString> c{
        {lbl("QRLabel_Zamawiajacy"), QStringLiteral("Zamawiający :")},
        {lbl("QRLabel_Odbierajacy"), QStringLiteral("Odbierający :")},
        {lbl("QRLabel_Adresat"), QStringLiteral("Adresat :")},
        {lbl("QRLabel_Zamowienie"), QStringLiteral("Zamówienie :")},
        {lbl("QRLabel_z_dnia"), QStringLiteral("Z dnia : ")},
        {lbl("QRLabel_Data_Realizacji"), QStringLiteral("Data realizacji :")},
        {lbl("QRLabel_Forma_Platnosci"), QStringLiteral("Forma płatności :")},
        {lbl("QRLabel_Transport"), QStringLiteral("Transport :")},
        {lbl("QRLabel_Nazwa"), QStringLiteral("Nazwa")},
        {lbl("QRLabel_Symbol"), QStringLiteral("Symbol")},
        {lbl("QRLabel_Kod_Prod"), QStringLiteral("Kod prod.")},
        {lbl("QRLabel_j_m"), QStringLiteral("j.m.")},
        {lbl("QRLabel_Ilosc"), QStringLiteral("Ilość")},
        {lbl("QRLabel_Uwagi"), QStringLiteral("Uwagi")},
        {lbl("QRLabel_Podpis"), QStringLiteral("Podpis")},
        {lbl("QRLabel_Str"), QStringLiteral("Str.")},
        {lbl("QRLabel_NIP"), QStringLiteral("NIP :")},
        {lbl("QRLabel_Bank"), QStringLiteral("Bank :")},
        {lbl("QRLabel_Konto"), QStringLiteral("Konto :")},
    };
    if (language == QStringLiteral("PL")) {
        c[lbl("QRLabel_Odbierajacy")] = QStringLiteral("Odbiorca :");
        c[lbl("QRLabel_z_dnia")] = QStringLiteral("Z dnia :");
    } else if (language == QStringLiteral("ANG")) {
        const std::pair<const char*, QString> english[] = {
            {"QRLabel_Zamawiajacy", QStringLiteral("Purchaser :")},
            {"QRLabel_Odbierajacy", QStringLiteral("Recipient :")},
            {"QRLabel_Adresat", QStringLiteral("Addressee :")},
            {"QRLabel_Zamowienie", QStringLiteral("Order No :")},
            {"QRLabel_z_dnia", QStringLiteral("Order Date :")},
            {"QRLabel_Data_Realizacji", QStringLiteral("Realization Date :")},
            {"QRLabel_Forma_Platnosci", QStringLiteral("Payment :")},
            {"QRLabel_Transport", QStringLiteral("Transport :")},
            {"QRLabel_Nazwa", QStringLiteral("Name")},
            {"QRLabel_Symbol", QStringLiteral("Index")},
            {"QRLabel_Kod_Prod", QStringLiteral("Prod ident.")},
            {"QRLabel_j_m", QStringLiteral("Unit")},
            {"QRLabel_Ilosc", QStringLiteral("Quantity")},
            {"QRLabel_Uwagi", QStringLiteral("Comments")},
            {"QRLabel_Podpis", QStringLiteral("Signature")},
            {"QRLabel_Str", QStringLiteral("Page")},
            {"QRLabel_NIP", QStringLiteral("VAT No :")},
            {"QRLabel_Bank", QStringLiteral("Bank :")},
            {"QRLabel_Konto", QStringLiteral("Account :")},
        };
        for (const auto& [name, text] : english)
            c[lbl(name)] = text;
    }
    return c;
}

documents::Report clientOrderReport(const OrderPrintData& order) {
    const auto cap = orderCaptions(order.language);
    documents::Report report;
    report.setPageHeader(clientHeader(order, cap));
    report.setPageFooter(footerBand(order, cap));
    addDetails(report, order, lbl("Dane_Tow_Symbol"), lbl("Dane_Tow_Kod_Prod"));
    return report;
}

documents::Report supplierOrderReport(const OrderPrintData& order) {
    const auto cap = orderCaptions(order.language);
    documents::Report report;
    report.setPageHeader(supplierHeader(order, cap));
    report.setPageFooter(footerBand(order, cap));
    addDetails(report, order, lbl("QRDBText22"), lbl("QRDBText23"));
    return report;
}

documents::Report orderReport(const OrderPrintData& order) {
    return order.kind == 2 ? supplierOrderReport(order) : clientOrderReport(order);
}

} // namespace orders
