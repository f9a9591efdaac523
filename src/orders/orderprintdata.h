#pragma once
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

// What an order printout shows, read from the default catalogue and the main folder's settings
// record into plain values, so that laying it out needs neither the tables nor a window.
namespace orders {

struct PrintCompany {
    QString name1, name2, name3, street, postCode, town;
    QString taxNumber, bank, account;
};

struct PrintContact {
    QString person, phone; // Telefon_Kontakt, Telefon_Nr_Tel
};

struct PrintLine {
    QString name, symbol, producerCode, unit, quantity, remarks;
};

struct OrderPrintData {
    int kind = 1;        // Dok_Typ: 1 from a client, 2 to a supplier
    QString number;      // Dok_Numer_Dok
    QString issued, due; // Dok_Data_Wyst, Dok_Data_Realiz as dd-mm-yyyy
    QString payment, transport;
    QString companyContact, recipientContact; // Dok_Firma_Kontakt, Dok_Odbiorca_Kontakt
    QString headings[3], footers[3];          // Dok_Naglowek1..3, Dok_Stopka1..3
    PrintCompany company;                     // Dok_Firma_Nr: the client or the supplier
    PrintCompany recipient;                   // Dok_Odbiorca_Nr
    PrintCompany owner;                       // Pelk_Firma_Nr
    PrintContact ownerContact;                // Pelk_Kontakt_Nr
    QList<PrintLine> lines;

    // From the settings record.
    QString language; // Pelk_Wydruk_Jezyk
    bool showSymbol = true, showProducerCode = true;
    QImage logo; // Pelk_Logo; null when there is none
    // The signature: printed at its designed height unless `signatureOff` (the settings do not
    // want it), so that it takes no room.
    QImage signature;
    bool signatureOff = false;
};

// Reads order `orderNr` (Dok_Nr) of the catalogue in `catalogueFolder`, with the settings of
// `mainFolder`. The signature is that of user `userNr` when one is logged in (above 0) and the
// settings ask for it. Throws engine::EngineError when a table cannot be read; nullopt when there
// is no such order.
std::optional<OrderPrintData> loadOrderPrintData(const QString& mainFolder,
                                                 const QString& catalogueFolder, qint64 orderNr,
                                                 int userNr);

// The Dok_Nr of the order of this kind whose Dok_Numer is `number`; nullopt when there is none.
std::optional<qint64> findOrderByNumber(const QString& catalogueFolder, int kind, qint64 number);

// The default catalogue named in the settings record, as a full path.
QString defaultCatalogueOf(const QString& mainFolder);

} // namespace orders
