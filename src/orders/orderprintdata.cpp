#include "orders/orderprintdata.h"

#include "engine/table.h"
#include "store/settings.h"

#include <QDir>

namespace orders {

namespace {

PrintCompany readCompany(engine::Table& firms, int firmNr) {
    PrintCompany c;
    if (firmNr <= 0 || !firms.findKey({firmNr})) return c;
    auto s = [&](const char* field) { return firms.asString(QString::fromLatin1(field)); };
    c.name1 = s("Firma_Nazwa1");
    c.name2 = s("Firma_Nazwa2");
    c.name3 = s("Firma_Nazwa3");
    c.street = s("Firma_Ulica");
    c.postCode = s("Firma_Kod_Poczt");
    c.town = s("Firma_Miejscowosc");
    c.taxNumber = s("Firma_NIP");
    c.bank = s("Firma_Bank");
    c.account = s("Firma_Konto");
    return c;
}

PrintContact readContact(const QString& folder, int contactNr) {
    PrintContact c;
    if (contactNr <= 0) return c;
    engine::Table phones(folder, QStringLiteral("Telefon"));
    phones.setIndexName(QStringLiteral("wg_Telefon_nr"));
    phones.open();
    if (phones.findKey({contactNr})) {
        c.person = phones.asString(QStringLiteral("Telefon_Kontakt"));
        c.phone = phones.asString(QStringLiteral("Telefon_Nr_Tel"));
    }
    return c;
}

QImage readSignature(const QString& mainFolder, int userNr) {
    engine::Table users(mainFolder, QStringLiteral("Users"));
    users.open();
    if (!users.findKey({userNr})) return {};
    return QImage::fromData(users.asBytes(QStringLiteral("User_Podpis")));
}

void readSettings(OrderPrintData& d, const QString& mainFolder, int userNr,
                  const QString& catalogueFolder) {
    const store::Settings settings(mainFolder);
    d.language = settings.text(QStringLiteral("Pelk_Wydruk_Jezyk"));
    const QString kind = d.kind == 2 ? QStringLiteral("Do") : QStringLiteral("Od");
    d.showSymbol = settings.flag(QStringLiteral("Pelk_Zam_%1_Symb_Wid").arg(kind));
    d.showProducerCode = settings.flag(QStringLiteral("Pelk_Zam_%1_Kod_p_Wid").arg(kind));
    d.logo = QImage::fromData(settings.bytes(QStringLiteral("Pelk_Logo")));
    if (userNr > 0) {
        d.signatureOff = !settings.flag(QStringLiteral("Pelk_Podpis"));
        if (!d.signatureOff) d.signature = readSignature(mainFolder, userNr);
    }
    engine::Table firms(catalogueFolder, QStringLiteral("Firmy"));
    firms.open();
    d.owner = readCompany(firms, settings.integer(QStringLiteral("Pelk_Firma_Nr")));
    d.ownerContact =
        readContact(catalogueFolder, settings.integer(QStringLiteral("Pelk_Kontakt_Nr")));
}

} // namespace

QString defaultCatalogueOf(const QString& mainFolder) {
    const store::Settings settings(mainFolder);
    QString folder = settings.text(QStringLiteral("Pelk_Katalog_Glowny"));
    folder.replace(u'\\', u'/');
    return QDir::cleanPath(QDir(mainFolder).absoluteFilePath(folder));
}

std::optional<qint64> findOrderByNumber(const QString& catalogueFolder, int kind, qint64 number) {
    engine::Table head(catalogueFolder, QStringLiteral("Dok_Head"));
    head.setIndexName(QStringLiteral("wg_Dok_Numer"));
    head.setRange({number});
    head.open();
    for (head.first(); !head.eof(); head.next())
        if (head.asInteger(QStringLiteral("Dok_Typ")) == kind)
            return head.value(QStringLiteral("Dok_Nr")).toLongLong();
    return std::nullopt;
}

std::optional<OrderPrintData> loadOrderPrintData(const QString& mainFolder,
                                                 const QString& catalogueFolder, qint64 orderNr,
                                                 int userNr) {
    engine::Table head(catalogueFolder, QStringLiteral("Dok_Head"));
    head.open();
    if (!head.findKey({orderNr})) return std::nullopt;
    auto s = [&](const QString& field) { return head.asString(field); };

    OrderPrintData d;
    d.kind = head.asInteger(QStringLiteral("Dok_Typ"));
    d.number = s(QStringLiteral("Dok_Numer_Dok"));
    d.issued = s(QStringLiteral("Dok_Data_Wyst"));
    d.due = s(QStringLiteral("Dok_Data_Realiz"));
    d.payment = s(QStringLiteral("Dok_Forma_Platnosci"));
    d.transport = s(QStringLiteral("Dok_Transport"));
    d.companyContact = s(QStringLiteral("Dok_Firma_Kontakt"));
    d.recipientContact = s(QStringLiteral("Dok_Odbiorca_Kontakt"));
    for (int i = 0; i < 3; ++i) {
        d.headings[i] = s(QStringLiteral("Dok_Naglowek%1").arg(i + 1));
        d.footers[i] = s(QStringLiteral("Dok_Stopka%1").arg(i + 1));
    }

    engine::Table firms(catalogueFolder, QStringLiteral("Firmy"));
    firms.open();
    d.company = readCompany(firms, head.asInteger(QStringLiteral("Dok_Firma_Nr")));
    d.recipient = readCompany(firms, head.asInteger(QStringLiteral("Dok_Odbiorca_Nr")));
    readSettings(d, mainFolder, userNr, catalogueFolder);

    engine::Table lines(catalogueFolder, QStringLiteral("Dok_Dane"));
    lines.setIndexName(QStringLiteral("wg_Dane_Dok_Nr"));
    lines.setRange({orderNr});
    lines.open();
    lines.forEachRow([&] {
        PrintLine l;
        l.name = lines.asString(QStringLiteral("Dane_Tow_Nazwa"));
        l.symbol = lines.asString(QStringLiteral("Dane_Tow_Symbol"));
        l.producerCode = lines.asString(QStringLiteral("Dane_Tow_Kod_Prod"));
        l.unit = lines.asString(QStringLiteral("Dane_jm"));
        l.quantity = lines.asString(QStringLiteral("Dane_Ilosc"));
        l.remarks = lines.asString(QStringLiteral("Dane_Uwagi"));
        d.lines.append(std::move(l));
    });
    return d;
}

} // namespace orders
