#include "store/catalogue_schema.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/schema_text.h"

namespace store {

const QString kCatalogueCreatedMessage = QStringLiteral(
    "Nowe bazy zostały wygenerowane poprawnie. Użyj zakładki \"Indywidualne parametry "
    "wyświetlania\" w Konfiguracji programu w celu nadania odpowiednich nazw odpowiednim kolumnom "
    "nowych baz danych oraz aby ustawić widoczne panele w oknie edycji.");

namespace {

const QString kKonfig = QStringLiteral("Konfig_i");

// The column flags of the item grid (group "i") and of the goes-into, consists-of and substitutes
// grids (groups "iW", "iS", "iZ"). The substitutes grid has no quantity column.
const char* const kKonfigGroups[] = {"i", "iW", "iS", "iZ"};
const char* const kKonfigColumns[] = {"Nazwa1", "Nazwa2", "Symbol", "Kod_Prod", "Cena_SRP",
                                      "Cena_A", "Cena_B", "Cena_C", "Ilosc",    "Dopasowany"};

bool groupHasColumn(const QString& group, const QString& column) {
    return !(group == QLatin1String("iZ") && column == QLatin1String("Ilosc"));
}

QString konfigFields() {
    QStringList f{QStringLiteral("Konfig_I_Nr autoinc")};
    for (auto n : {"Nazwa1", "Nazwa2", "Symbol", "Producent", "Kod_Prod"})
        f << QStringLiteral("Konfig_I_nagl_%1 alpha 20").arg(QLatin1String(n));
    for (auto n : {"Podstawowy", "Producent", "Ilosc", "Ceny", "Widoczne"})
        f << QStringLiteral("Konfig_I_P_%1 logical").arg(QLatin1String(n));
    for (auto n : {"Narzedzia", "Baza", "Zakladki"})
        f << QStringLiteral("Konfig_i_Ekr_%1 logical").arg(QLatin1String(n));
    for (auto g : kKonfigGroups)
        for (auto c : kKonfigColumns)
            if (groupHasColumn(QLatin1String(g), QLatin1String(c)))
                f << QStringLiteral("Konfig_%1_%2 logical").arg(QLatin1String(g), QLatin1String(c));
    return f.join(u',');
}

namespace {

struct Layout {
    const char* name;
    QString fields;
    const char* indexes;
};

// The tables from "Cecha" to "Firmy", in the order a catalogue lists them.
QList<Layout> layoutsFromCecha() {
    return {
        {"Cecha", QStringLiteral("Cecha_Nr autoinc, Cecha_Opis alpha 30, Cecha_Typ alpha 1"),
         "PrimaryIndex(Cecha_Nr) wg_opisu(Cecha_Opis)"},
        {"Wartosci",
         QStringLiteral(
             "Wartosci_Nr autoinc, Wartosci_Cecha_Nr longint, Wartosci_Wartosc alpha 100"),
         "PrimaryIndex(Wartosci_Nr) wg_wartosc_cecha_nr(Wartosci_Cecha_Nr) "
         "wg_wartosci_wartosc(Wartosci_Wartosc)"},
        {"Cena",
         QStringLiteral(
             "Cena_nr autoinc, Cena_Tow_Nr longint, Cena_1 number, Cena_Waluta_Nr longint,"
             "Cena_Firma_Nr longint, Cena_2 number, Cena_3 number, Cena_Data date,"
             "Cena_Uwaga alpha 30, Cena_SRP number"),
         "PrimaryIndex(Cena_Nr) wg_Cena_Tow_Nr(Cena_Tow_Nr) wg_Cena_waluta_nr(Cena_Waluta_Nr)"},
        {"Dane", QStringLiteral("Nr autoinc, Wersja alpha 20, Data date"), "PrimaryIndex(Nr)"},
        {"Dok_Dane",
         QStringLiteral(
             "Dane_Nr autoinc, Dane_Dok_Nr longint, Dane_Tow_Nr longint,"
             "Dane_Tow_Nazwa alpha 50, Dane_Tow_Symbol alpha 25, Dane_Tow_Kod_Prod alpha 25,"
             "Dane_Uwagi alpha 30, Dane_Ilosc number, Dane_jm alpha 15"),
         "PrimaryIndex(Dane_Nr) wg_Dane_Dok_Nr(Dane_Dok_Nr)"},
        {"Dok_Head",
         QStringLiteral("Dok_Nr autoinc, Dok_Typ longint, Dok_Data_Wyst date, Dok_Data_Sprz date,"
                        "Dok_Data_Otrz date, Dok_Firma_Nr longint, Dok_Wart_Netto number,"
                        "Dok_VAT number, Dok_Wart_Brutto number, Dok_Zaplacono logical,"
                        "Dok_Termin longint, Dok_Wprowadzono timestamp, Dok_Operator alpha 30,"
                        "Dok_Numer_Dok alpha 20, Dok_Firma_Skrot alpha 30,"
                        "Dok_Data_Realiz date, Dok_Firma_Kontakt alpha 50, Dok_Odbiorca_Nr longint,"
                        "Dok_Odbiorca_Kontakt alpha 50, Dok_Forma_Platnosci alpha 30,"
                        "Dok_Transport alpha 20, Dok_Odbiorca_Skrot alpha 30,"
                        "Dok_Naglowek1 alpha 100, Dok_Naglowek2 alpha 100, Dok_Naglowek3 alpha 100,"
                        "Dok_Stopka1 alpha 100, Dok_Stopka2 alpha 100, Dok_Stopka3 alpha 100,"
                        "Dok_Numer longint"),
         "PrimaryIndex(Dok_Nr) wg_Dok_Data_Realiz(Dok_Data_Realiz) "
         "wg_Dok_Firma_Skrot(Dok_Firma_Skrot) "
         "wg_Dok_Numer_Dok(Dok_Numer_Dok) wg_Dok_Numer(Dok_Numer)"},
        {"Firmy",
         QStringLiteral(
             "Firma_Nr autoinc, Firma_Nazwa1 alpha 50, Firma_Nazwa2 alpha 50,"
             "Firma_Nazwa3 alpha 50, Firma_Ulica alpha 30, Firma_Kod alpha 15,"
             "Firma_Uwagi alpha 50, Firma_Miasto_Nr longint, Firma_Kod_Poczt alpha 8,"
             "Firma_Panstwo_Nr longint, Firma_Regon alpha 20, Firma_NIP alpha 20,"
             "Firma_Bank alpha 50, Firma_Konto alpha 50, Firma_Zaleglosci number,"
             "Firma_Naleznosci number, Firma_Skrot alpha 30, Firma_Zakup number,"
             "Firma_Sprzedaz number, Firma_Max_Naleznosci number, Firma_Nr_Upust longint,"
             "Firma_Nr_Forma_Platnosci longint, Firma_Rodzaj_Ceny longint,"
             "Firma_Platnik_VAT logical, Firma_Miejscowosc alpha 30, Firma_Panstwo alpha 30"),
         "PrimaryIndex(Firma_Nr) wg_Firma_Skrot(Firma_Skrot) wg_kodu(Firma_Kod) "
         "wg_miasto_nr(Firma_Miasto_Nr) wg_nazwy(Firma_Nazwa1) wg_Panstwo_nr(Firma_Panstwo_Nr) "
         "wg_Firma_NIP(Firma_NIP) wg_Firma_Miejscowosc(Firma_Miejscowosc)"},
    };
}

// The tables from "Grupa" to "Panstwa".
QList<Layout> layoutsFromGrupa() {
    return {
        {"Grupa", QStringLiteral("Grupa_Nr autoinc, Grupa_Nazwa alpha 30"),
         "PrimaryIndex(Grupa_Nr) wg_Grupa_Nazwa(Grupa_Nazwa)"},
        {"Konfig_i", konfigFields(), "PrimaryIndex(Konfig_I_Nr)"},
        {"Miasta",
         QStringLiteral("Miasto_Nr autoinc, Miasto_Tel_Kierunkowy alpha 7, Miasto_Nazwa alpha 20"),
         "PrimaryIndex(Miasto_Nr) wg_Nazwy(Miasto_Nazwa)"},
        {"Opis",
         QStringLiteral(
             "Opis_Tow_Nr longint, Opis_Cecha_Nr longint, Opis_Nr autoinc, Opis_Opis alpha 100"),
         "PrimaryIndex(Opis_Tow_Nr;Opis_Cecha_Nr;Opis_Nr) gw_opis_cecha_nr(Opis_Cecha_Nr)"},
        {"Osoby",
         QStringLiteral("Osoba_Nr autoinc, Osoba_Nazwa alpha 50, Osoba_Identyfikator alpha 30,"
                        "Osoba_Informacje alpha 100, Osoba_Uwagi alpha 100"),
         "PrimaryIndex(Osoba_Nr) wg_Osoba_Nazwa(Osoba_Nazwa) "
         "wg_Osoba_Identyfikator(Osoba_Identyfikator)"},
        {"Panstwa",
         QStringLiteral("Panstwo_Nr autoinc, Panstwo_Panstwo alpha 30, Panstwo_Kierunek alpha 10"),
         "PrimaryIndex(Panstwo_Nr) wg_Panstwo_Panstwo(Panstwo_Panstwo)"},
    };
}

// The tables from "Rysunek" on.
QList<Layout> layoutsFromRysunek() {
    return {
        {"Rysunek", QStringLiteral("Rys_Nr autoinc, Rys_Opis alpha 50, Rys_Blob graphic 10"),
         "PrimaryIndex(Rys_Nr) wg_Rys_Opis(Rys_Opis)"},
        {"Grafika",
         QStringLiteral("Grafika_Nr autoinc, Grafika_Tow_Nr longint, Grafika_Rys_Nr longint"),
         "PrimaryIndex(Grafika_Nr) wg_Grafika_Tow_Nr(Grafika_Tow_Nr) "
         "wg_Grafika_Rys_Nr(Grafika_Rys_Nr)"},
        {"Sklada",
         QStringLiteral("Sklada_Tow_Nr longint, Sklada_Nr_Czesci longint, Sklada_nr autoinc,"
                        "Sklada_il_szt number"),
         "PrimaryIndex(Sklada_Tow_Nr;Sklada_Nr_Czesci;Sklada_nr) "
         "wg_Sklada_Nr_Czesci(Sklada_Nr_Czesci) "
         "wg_Sklada_Tow_Nr(Sklada_Tow_Nr) wg_Sklada_Nr(Sklada_Nr)"},
        {"Szablon",
         QStringLiteral(
             "Szablon_Grupa_Nr longint, Szablon_Znaczenie longint, Szablon_Cecha_Nr longint,"
             "Szablon_nr autoinc"),
         "PrimaryIndex(Szablon_Grupa_Nr;Szablon_Znaczenie;Szablon_Cecha_Nr;Szablon_nr)"},
        {"Telefon",
         QStringLiteral("Telefon_Firma_nr longint, Telefon_Kontakt alpha 30, Telefon_Nr autoinc,"
                        "Telefon_Nr_Tel alpha 50"),
         "PrimaryIndex(Telefon_Firma_Nr;Telefon_Kontakt;Telefon_Nr) wg_Telefon_nr(Telefon_Nr)"},
        {"Towar",
         QStringLiteral(
             "Tow_nr autoinc, Tow_Grupa_nr longint, Tow_Nazwa alpha 50, Tow_Kod_Prod alpha 25,"
             "Tow_Nr_Producent longint, Tow_SRP number, Tow_Symbol alpha 25,"
             "Tow_Uwagi memo 240, Tow_SWW alpha 10, Tow_VAT number, Tow_Cena_Wewn number,"
             "Tow_Cena_Zakupu number, Tow_Cena_A number, Tow_Cena_B number,"
             "Tow_Cena_C number, Tow_Ilosc number, Tow_jm alpha 15,"
             "Tow_Cena_Zakupu_Pocz number, Tow_Zak_Waluta_Nr longint,"
             "Tow_Zak_Narz1 number, Tow_Zak_Narz2 number, Tow_Zak_Narz3 number,"
             "Tow_Zak_Narz4 number, Tow_Cena_A_Brutto number, Tow_Cena_B_Brutto number,"
             "Tow_Cena_C_Brutto number, Tow_VAT_Nr longint, Tow_Nazwa2 alpha 50"),
         "PrimaryIndex(Tow_Nr) wg_Nr_Producenta(Tow_Nr_Producent) wg_Tow_Grupa_Nr(Tow_Grupa_Nr) "
         "wg_Tow_kod_prod(Tow_Kod_Prod) wg_Tow_Nazwa(Tow_Nazwa) wg_Tow_Symbol(Tow_Symbol) "
         "wg_Tow_Nazwa2(Tow_Nazwa2)"},
        {"Wypozycz",
         QStringLiteral("Wypozycz_Nr autoinc, Wypozycz_Towar_Nr longint, Wypozycz_Osoba_Nr longint,"
                        "Wypozycz_Pobrano date, Wypozycz_Zwrocono date, Wypozycz_Ilosc number,"
                        "Wypozycz_Oddano logical"),
         "PrimaryIndex(Wypozycz_Nr) wg_Wypozycz_Towar_Nr(Wypozycz_Towar_Nr) "
         "wg_Wypozycz_Osoba_Nr(Wypozycz_Osoba_Nr)"},
        {"Waluta",
         QStringLiteral(
             "Waluta_Nr autoinc, Waluta_Nazwa alpha 15, Waluta_Kurs number, Waluta_Data date"),
         "PrimaryIndex(Waluta_Nr)"},
        {"Zamienne", QStringLiteral("Zam_Nr autoinc, Zam_Tow_Nr longint, Zam_Nr_Zam longint"),
         "PrimaryIndex(Zam_Nr) wg_Zam_Tow_Nr(Zam_Tow_Nr)"},
    };
}

} // namespace

QList<engine::TableDef> buildCatalogueTables() {
    QList<engine::TableDef> tables;
    for (const auto& l : layoutsFromCecha() + layoutsFromGrupa() + layoutsFromRysunek())
        tables << detail::tableFromText(QString::fromLatin1(l.name), l.fields,
                                        QString::fromLatin1(l.indexes));
    return tables;
}

// The row a new catalogue starts with: neutral column titles, the usual panels, and in every grid
// the name, symbol, producer code and quantity columns stretched to the grid's width.
void writeDisplayConfigRow(const QString& folder) {
    engine::Table t(folder, kKonfig);
    t.open();
    t.append();
    const std::pair<const char*, const char*> headers[] = {
        {"Konfig_I_nagl_Nazwa1", "Pole 1"},   {"Konfig_I_nagl_Nazwa2", "Pole 2"},
        {"Konfig_I_nagl_Symbol", "Pole 3"},   {"Konfig_I_nagl_Producent", "Firma"},
        {"Konfig_I_nagl_Kod_Prod", "Pole 4"},
    };
    for (const auto& [field, text] : headers)
        t.setValue(QLatin1String(field), QString::fromUtf8(text));
    for (auto n :
         {"Konfig_I_P_Podstawowy", "Konfig_I_P_Producent", "Konfig_I_P_Ilosc", "Konfig_I_P_Ceny",
          "Konfig_I_P_Widoczne", "Konfig_i_Ekr_Narzedzia", "Konfig_i_Ekr_Zakladki"})
        t.setValue(QLatin1String(n), true);
    t.setValue(QStringLiteral("Konfig_i_Ekr_Baza"), false);
    const QStringList shown{QStringLiteral("Nazwa1"), QStringLiteral("Symbol"),
                            QStringLiteral("Kod_Prod"), QStringLiteral("Ilosc"),
                            QStringLiteral("Dopasowany")};
    for (auto g : kKonfigGroups)
        for (auto c : kKonfigColumns)
            if (groupHasColumn(QLatin1String(g), QLatin1String(c)))
                t.setValue(QStringLiteral("Konfig_%1_%2").arg(QLatin1String(g), QLatin1String(c)),
                           shown.contains(QLatin1String(c)));
    t.post();
    t.close();
}

void createTables(engine::Database& db, const QString& folder) {
    for (const auto& def : catalogueTables()) {
        db.createTable(def, /*replace*/ true);
        if (def.name == kKonfig) writeDisplayConfigRow(folder);
    }
}

} // namespace

const QList<engine::TableDef>& catalogueTables() {
    static const QList<engine::TableDef> tables = buildCatalogueTables();
    return tables;
}

const engine::TableDef* catalogueTable(const QString& name) {
    const QString bare = engine::bareTableName(name);
    for (const auto& def : catalogueTables())
        if (def.name.compare(bare, Qt::CaseInsensitive) == 0) return &def;
    return nullptr;
}

void createCatalogue(const QString& folder) {
    auto db = engine::Database::open(folder, engine::Database::Mode::Create);
    // One commit for the whole catalogue: every commit is synced to disk, and on a network share
    // twenty-odd of them are what the user would wait for. Should it fail, it is done again
    // table by table, each one committed on its own, so that a failing table stops the creation
    // with the tables before it in place.
    try {
        db->transaction([&] { createTables(*db, folder); });
        return;
    } catch (const engine::EngineError&) {
    }
    createTables(*db, folder);
}

} // namespace store
