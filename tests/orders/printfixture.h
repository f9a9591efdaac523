#pragma once
// A main folder whose default catalogue holds the owner, a client, a recipient and orders, for the
// printout tests.
#include "store/catalogue_schema.h"
#include "store/mainfolder_schema.h"
#include "store/settings.h"
#include "support/rows.h"
#include "support/tempfolder.h"

#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QImage>

namespace printtest {

inline QByteArray pngOf(const QColor& colour, QSize size = {200, 100}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

struct PrintFolder {
    TempFolder tmp;
    QString main, catalogue;
    int contactNr = 0;

    PrintFolder() {
        main = QDir(tmp.path()).absolutePath();
        catalogue = main + QStringLiteral("/Dane/Glowna");
        store::MainFolderSetup setup;
        setup.catalogueShown = catalogue;
        setup.catalogueExpanded = catalogue;
        setup.makeDefaultCatalogueFolder = true;
        setup.adminName = QStringLiteral("admin");
        setup.adminPassword = QStringLiteral("tajne");
        store::createMainFolder(main, setup);
        store::createCatalogue(catalogue);
        company(QStringLiteral("PELK Sp. z o.o."), QStringLiteral("Gdańsk"),
                {{QStringLiteral("Firma_NIP"), QStringLiteral("584-000-11-22")},
                 {QStringLiteral("Firma_Bank"), QStringLiteral("Bank Pomorski")},
                 {QStringLiteral("Firma_Konto"), QStringLiteral("11 2222 3333")},
                 {QStringLiteral("Firma_Nazwa3"), QStringLiteral("Dział Zaopatrzenia")}});
        company(QStringLiteral("Żuraw i Syn"), QStringLiteral("Łódź"));
        company(QStringLiteral("Magazyn Centralny"), QStringLiteral("Kraków"));
        contactNr = testsupport::addRow(
            catalogue, "Telefon",
            {{QStringLiteral("Telefon_Firma_nr"), 1},
             {QStringLiteral("Telefon_Kontakt"), QStringLiteral("Jan Nowak")},
             {QStringLiteral("Telefon_Nr_Tel"), QStringLiteral("58 301 22 33")}},
            "Telefon_Nr");
        set(QStringLiteral("Pelk_Firma_Nr"), 1);
        set(QStringLiteral("Pelk_Kontakt_Nr"), contactNr);
    }

    int company(const QString& name, const QString& town, QVariantMap more = {}) {
        more.insert(QStringLiteral("Firma_Nazwa1"), name);
        more.insert(QStringLiteral("Firma_Nazwa2"), QStringLiteral("Hurtownia"));
        more.insert(QStringLiteral("Firma_Ulica"), QStringLiteral("ul. Długa 5"));
        more.insert(QStringLiteral("Firma_Kod_Poczt"), QStringLiteral("80-001"));
        more.insert(QStringLiteral("Firma_Miejscowosc"), town);
        return testsupport::addRow(catalogue, "Firmy", more, "Firma_Nr");
    }

    void set(const QString& field, const QVariant& value) {
        store::Settings s(main);
        s.setValue(field, value);
        s.save();
    }

    // An order of `kind` numbered `number` with `lines` lines; returns its Dok_Nr.
    qint64 order(int kind, int number, int lines) {
        const int nr = testsupport::addRow(
            catalogue, "Dok_Head",
            {{QStringLiteral("Dok_Typ"), kind},
             {QStringLiteral("Dok_Numer"), number},
             {QStringLiteral("Dok_Numer_Dok"), QStringLiteral("%1/2024").arg(number)},
             {QStringLiteral("Dok_Firma_Nr"), 2},
             {QStringLiteral("Dok_Odbiorca_Nr"), 3},
             {QStringLiteral("Dok_Firma_Kontakt"), QStringLiteral("Pani Żaneta")},
             {QStringLiteral("Dok_Odbiorca_Kontakt"), QStringLiteral("Pan Łukasz")},
             {QStringLiteral("Dok_Data_Wyst"), QDate(2024, 5, 17)},
             {QStringLiteral("Dok_Data_Realiz"), QDate(2024, 6, 3)},
             {QStringLiteral("Dok_Forma_Platnosci"), QStringLiteral("przelew")},
             {QStringLiteral("Dok_Transport"), QStringLiteral("kurier")},
             {QStringLiteral("Dok_Naglowek1"), QStringLiteral("Dotyczy oferty 12")},
             {QStringLiteral("Dok_Stopka1"), QStringLiteral("Dziękujemy")}},
            "Dok_Nr");
        for (int i = 1; i <= lines; ++i)
            testsupport::addRow(
                catalogue, "Dok_Dane",
                {{QStringLiteral("Dane_Dok_Nr"), nr},
                 {QStringLiteral("Dane_Tow_Nazwa"), QStringLiteral("Ążęcik łożyska %1").arg(i)},
                 {QStringLiteral("Dane_Tow_Symbol"), QStringLiteral("SYM-%1").arg(i)},
                 {QStringLiteral("Dane_Tow_Kod_Prod"), QStringLiteral("KOD-%1").arg(i)},
                 {QStringLiteral("Dane_jm"), QStringLiteral("szt")},
                 {QStringLiteral("Dane_Ilosc"), 2.5 * i},
                 {QStringLiteral("Dane_Uwagi"), QStringLiteral("uwaga %1").arg(i)}});
        return nr;
    }
};

} // namespace printtest
