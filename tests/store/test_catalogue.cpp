#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "store/catalogue_schema.h"
#include "support/tempfolder.h"
#include <QDateTime>
#include <gtest/gtest.h>

using namespace engine;

namespace {

// What every catalogue table must look like after creation: field count and index names with
// their fields, written out here independently of the layouts in the store.
struct Expected {
    const char* table;
    int fields;
    const char* indexes; // "name(f1;f2) name(f)"
};

const Expected kExpected[] = {
    {"Cecha", 3, "PrimaryIndex(Cecha_Nr) wg_opisu(Cecha_Opis)"},
    {"Wartosci", 3,
     "PrimaryIndex(Wartosci_Nr) wg_wartosc_cecha_nr(Wartosci_Cecha_Nr) "
     "wg_wartosci_wartosc(Wartosci_Wartosc)"},
    {"Cena", 10,
     "PrimaryIndex(Cena_Nr) wg_Cena_Tow_Nr(Cena_Tow_Nr) wg_Cena_waluta_nr(Cena_Waluta_Nr)"},
    {"Dane", 3, "PrimaryIndex(Nr)"},
    {"Dok_Dane", 9, "PrimaryIndex(Dane_Nr) wg_Dane_Dok_Nr(Dane_Dok_Nr)"},
    {"Dok_Head", 29,
     "PrimaryIndex(Dok_Nr) wg_Dok_Data_Realiz(Dok_Data_Realiz) wg_Dok_Firma_Skrot(Dok_Firma_Skrot) "
     "wg_Dok_Numer_Dok(Dok_Numer_Dok) wg_Dok_Numer(Dok_Numer)"},
    {"Firmy", 26,
     "PrimaryIndex(Firma_Nr) wg_Firma_Skrot(Firma_Skrot) wg_kodu(Firma_Kod) "
     "wg_miasto_nr(Firma_Miasto_Nr) "
     "wg_nazwy(Firma_Nazwa1) wg_Panstwo_nr(Firma_Panstwo_Nr) wg_Firma_NIP(Firma_NIP) "
     "wg_Firma_Miejscowosc(Firma_Miejscowosc)"},
    {"Grupa", 2, "PrimaryIndex(Grupa_Nr) wg_Grupa_Nazwa(Grupa_Nazwa)"},
    {"Konfig_i", 53, "PrimaryIndex(Konfig_I_Nr)"},
    {"Miasta", 3, "PrimaryIndex(Miasto_Nr) wg_Nazwy(Miasto_Nazwa)"},
    {"Opis", 4, "PrimaryIndex(Opis_Tow_Nr;Opis_Cecha_Nr;Opis_Nr) gw_opis_cecha_nr(Opis_Cecha_Nr)"},
    {"Osoby", 5,
     "PrimaryIndex(Osoba_Nr) wg_Osoba_Nazwa(Osoba_Nazwa) "
     "wg_Osoba_Identyfikator(Osoba_Identyfikator)"},
    {"Panstwa", 3, "PrimaryIndex(Panstwo_Nr) wg_Panstwo_Panstwo(Panstwo_Panstwo)"},
    {"Rysunek", 3, "PrimaryIndex(Rys_Nr) wg_Rys_Opis(Rys_Opis)"},
    {"Grafika", 3,
     "PrimaryIndex(Grafika_Nr) wg_Grafika_Tow_Nr(Grafika_Tow_Nr) "
     "wg_Grafika_Rys_Nr(Grafika_Rys_Nr)"},
    {"Sklada", 4,
     "PrimaryIndex(Sklada_Tow_Nr;Sklada_Nr_Czesci;Sklada_nr) wg_Sklada_Nr_Czesci(Sklada_Nr_Czesci) "
     "wg_Sklada_Tow_Nr(Sklada_Tow_Nr) wg_Sklada_Nr(Sklada_Nr)"},
    {"Szablon", 4, "PrimaryIndex(Szablon_Grupa_Nr;Szablon_Znaczenie;Szablon_Cecha_Nr;Szablon_nr)"},
    {"Telefon", 4,
     "PrimaryIndex(Telefon_Firma_Nr;Telefon_Kontakt;Telefon_Nr) wg_Telefon_nr(Telefon_Nr)"},
    {"Towar", 28,
     "PrimaryIndex(Tow_Nr) wg_Nr_Producenta(Tow_Nr_Producent) wg_Tow_Grupa_Nr(Tow_Grupa_Nr) "
     "wg_Tow_kod_prod(Tow_Kod_Prod) wg_Tow_Nazwa(Tow_Nazwa) wg_Tow_Symbol(Tow_Symbol) "
     "wg_Tow_Nazwa2(Tow_Nazwa2)"},
    {"Wypozycz", 7,
     "PrimaryIndex(Wypozycz_Nr) wg_Wypozycz_Towar_Nr(Wypozycz_Towar_Nr) "
     "wg_Wypozycz_Osoba_Nr(Wypozycz_Osoba_Nr)"},
    {"Waluta", 4, "PrimaryIndex(Waluta_Nr)"},
    {"Zamienne", 3, "PrimaryIndex(Zam_Nr) wg_Zam_Tow_Nr(Zam_Tow_Nr)"},
};

// "name type size" per field, as the layouts list them.
QStringList describe(const TableDef& def) {
    QStringList out;
    for (const auto& f : def.fields) {
        QString s = f.name + u' ' + typeWord(f.type);
        if (f.size) s += u' ' + QString::number(f.size);
        out << s;
    }
    return out;
}

QString describeIndexes(const TableDef& def) {
    QStringList out;
    for (const auto& ix : def.indexes)
        out << ix.name + u'(' + ix.fields.join(u';') + u')';
    return out.join(u' ');
}

QStringList konfigFieldNames() {
    QStringList f{"Konfig_I_Nr",           "Konfig_I_nagl_Nazwa1",    "Konfig_I_nagl_Nazwa2",
                  "Konfig_I_nagl_Symbol",  "Konfig_I_nagl_Producent", "Konfig_I_nagl_Kod_Prod",
                  "Konfig_I_P_Podstawowy", "Konfig_I_P_Producent",    "Konfig_I_P_Ilosc",
                  "Konfig_I_P_Ceny",       "Konfig_I_P_Widoczne",     "Konfig_i_Ekr_Narzedzia",
                  "Konfig_i_Ekr_Baza",     "Konfig_i_Ekr_Zakladki"};
    for (QString g : {"i", "iW", "iS", "iZ"})
        for (QString c : {"Nazwa1", "Nazwa2", "Symbol", "Kod_Prod", "Cena_SRP", "Cena_A", "Cena_B",
                          "Cena_C", "Ilosc", "Dopasowany"})
            if (!(g == "iZ" && c == "Ilosc")) f << "Konfig_" + g + "_" + c;
    return f;
}

int rowCount(const QString& folder, const QString& table) {
    Table t(folder, table);
    t.open();
    return t.recordCount();
}

void addRow(const QString& folder, const QString& table,
            std::initializer_list<std::pair<QString, QVariant>> values) {
    Table t(folder, table);
    t.open();
    t.append();
    for (const auto& [f, v] : values)
        t.setValue(f, v);
    t.post();
}

struct Catalogue : ::testing::Test {
    TempFolder dir;
    QString folder = dir.sub("Glowna");
};

TEST_F(Catalogue, CreatesTheTwentyTwoTablesWithTheirLayouts) {
    store::createCatalogue(folder);
    auto db = Database::open(folder);

    QStringList expectedNames;
    for (const auto& e : kExpected)
        expectedNames << e.table;
    QStringList inStore;
    for (const auto& def : store::catalogueTables())
        inStore << def.name;
    EXPECT_EQ(inStore, expectedNames); // creation order

    QStringList present = db->tables();
    EXPECT_EQ(present.size(), 22);
    for (const auto& e : kExpected) {
        SCOPED_TRACE(e.table);
        auto def = db->tableDef(e.table);
        ASSERT_TRUE(def.has_value());
        EXPECT_EQ(def->fields.size(), e.fields);
        EXPECT_EQ(describeIndexes(*def), QString::fromLatin1(e.indexes));
        ASSERT_TRUE(def->primaryIndex());
        EXPECT_EQ(def->primaryIndex()->name, "PrimaryIndex");
        for (const auto& ix : def->indexes)
            for (const auto& f : ix.fields)
                EXPECT_TRUE(def->field(f)) << qPrintable(ix.name + " " + f);
    }

    EXPECT_EQ(describe(*db->tableDef("Dok_Head")), QStringList({"Dok_Nr autoinc",
                                                                "Dok_Typ longint",
                                                                "Dok_Data_Wyst date",
                                                                "Dok_Data_Sprz date",
                                                                "Dok_Data_Otrz date",
                                                                "Dok_Firma_Nr longint",
                                                                "Dok_Wart_Netto number",
                                                                "Dok_VAT number",
                                                                "Dok_Wart_Brutto number",
                                                                "Dok_Zaplacono logical",
                                                                "Dok_Termin longint",
                                                                "Dok_Wprowadzono timestamp",
                                                                "Dok_Operator alpha 30",
                                                                "Dok_Numer_Dok alpha 20",
                                                                "Dok_Firma_Skrot alpha 30",
                                                                "Dok_Data_Realiz date",
                                                                "Dok_Firma_Kontakt alpha 50",
                                                                "Dok_Odbiorca_Nr longint",
                                                                "Dok_Odbiorca_Kontakt alpha 50",
                                                                "Dok_Forma_Platnosci alpha 30",
                                                                "Dok_Transport alpha 20",
                                                                "Dok_Odbiorca_Skrot alpha 30",
                                                                "Dok_Naglowek1 alpha 100",
                                                                "Dok_Naglowek2 alpha 100",
                                                                "Dok_Naglowek3 alpha 100",
                                                                "Dok_Stopka1 alpha 100",
                                                                "Dok_Stopka2 alpha 100",
                                                                "Dok_Stopka3 alpha 100",
                                                                "Dok_Numer longint"}));
    EXPECT_EQ(describe(*db->tableDef("Towar")), QStringList({"Tow_nr autoinc",
                                                             "Tow_Grupa_nr longint",
                                                             "Tow_Nazwa alpha 50",
                                                             "Tow_Kod_Prod alpha 25",
                                                             "Tow_Nr_Producent longint",
                                                             "Tow_SRP number",
                                                             "Tow_Symbol alpha 25",
                                                             "Tow_Uwagi memo 240",
                                                             "Tow_SWW alpha 10",
                                                             "Tow_VAT number",
                                                             "Tow_Cena_Wewn number",
                                                             "Tow_Cena_Zakupu number",
                                                             "Tow_Cena_A number",
                                                             "Tow_Cena_B number",
                                                             "Tow_Cena_C number",
                                                             "Tow_Ilosc number",
                                                             "Tow_jm alpha 15",
                                                             "Tow_Cena_Zakupu_Pocz number",
                                                             "Tow_Zak_Waluta_Nr longint",
                                                             "Tow_Zak_Narz1 number",
                                                             "Tow_Zak_Narz2 number",
                                                             "Tow_Zak_Narz3 number",
                                                             "Tow_Zak_Narz4 number",
                                                             "Tow_Cena_A_Brutto number",
                                                             "Tow_Cena_B_Brutto number",
                                                             "Tow_Cena_C_Brutto number",
                                                             "Tow_VAT_Nr longint",
                                                             "Tow_Nazwa2 alpha 50"}));
    EXPECT_EQ(describe(*db->tableDef("Opis")),
              QStringList({"Opis_Tow_Nr longint", "Opis_Cecha_Nr longint", "Opis_Nr autoinc",
                           "Opis_Opis alpha 100"}));
    EXPECT_EQ(describe(*db->tableDef("Rysunek")),
              QStringList({"Rys_Nr autoinc", "Rys_Opis alpha 50", "Rys_Blob graphic 10"}));
    EXPECT_EQ(
        describe(*db->tableDef("Cena")),
        QStringList({"Cena_nr autoinc", "Cena_Tow_Nr longint", "Cena_1 number",
                     "Cena_Waluta_Nr longint", "Cena_Firma_Nr longint", "Cena_2 number",
                     "Cena_3 number", "Cena_Data date", "Cena_Uwaga alpha 30", "Cena_SRP number"}));

    const TableDef konfig = *db->tableDef("Konfig_i");
    QStringList names;
    for (const auto& f : konfig.fields)
        names << f.name;
    EXPECT_EQ(names, konfigFieldNames());
    for (int i = 0; i < konfig.fields.size(); ++i) {
        const FieldType want = i == 0   ? FieldType::AutoInc
                               : i <= 5 ? FieldType::Alpha
                                        : FieldType::Logical;
        EXPECT_EQ(konfig.fields[i].type, want) << qPrintable(konfig.fields[i].name);
        if (want == FieldType::Alpha) {
            EXPECT_EQ(konfig.fields[i].size, 20);
        }
    }

    // Names are one field whatever their letter case: the index on Sklada_Nr is on Sklada_nr.
    EXPECT_EQ(store::catalogueTable("sklada.DB")->name, "Sklada");
    EXPECT_EQ(store::catalogueTable("Nieznana"), nullptr);
}

TEST_F(Catalogue, OnlyTheDisplayConfigurationHasARowWithTheStartingValues) {
    store::createCatalogue(folder);
    for (const auto& e : kExpected)
        if (QLatin1String(e.table) != QLatin1String("Konfig_i")) {
            EXPECT_EQ(rowCount(folder, e.table), 0) << e.table;
        }

    Table k(folder, "Konfig_i");
    k.open();
    ASSERT_EQ(k.recordCount(), 1);
    EXPECT_EQ(k.asInteger("Konfig_I_Nr"), 1);
    EXPECT_EQ(k.asString("Konfig_I_nagl_Nazwa1"), "Pole 1");
    EXPECT_EQ(k.asString("Konfig_I_nagl_Nazwa2"), "Pole 2");
    EXPECT_EQ(k.asString("Konfig_I_nagl_Symbol"), "Pole 3");
    EXPECT_EQ(k.asString("Konfig_I_nagl_Producent"), "Firma");
    EXPECT_EQ(k.asString("Konfig_I_nagl_Kod_Prod"), "Pole 4");
    for (const QString& name : konfigFieldNames().mid(6)) {
        SCOPED_TRACE(qPrintable(name));
        // Every flag is written, so none reads as empty.
        EXPECT_FALSE(k.isNull(name));
        const QString column = name.section('_', 2); // "Cena_SRP", "P_Ceny", "Ekr_Baza"
        bool want = true;
        if (name.startsWith("Konfig_i_Ekr_Baza"))
            want = false;
        else if (QStringList{"Nazwa2", "Cena_SRP", "Cena_A", "Cena_B", "Cena_C"}.contains(column))
            want = false;
        EXPECT_EQ(k.asBoolean(name), want);
    }
}

TEST_F(Catalogue, CreatingAgainReplacesEveryTable) {
    store::createCatalogue(folder);
    addRow(folder, "Towar", {{"Tow_Nazwa", "Śruba M8"}});
    addRow(folder, "Towar", {{"Tow_Nazwa", "Nakrętka M8"}});
    addRow(folder, "Opis", {{"Opis_Tow_Nr", 1}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "10"}});
    addRow(folder, "Waluta", {{"Waluta_Nazwa", "PLN"}, {"Waluta_Kurs", 1}});
    addRow(folder, "Konfig_i", {{"Konfig_I_nagl_Nazwa1", "Druga"}});
    {
        Table k(folder, "Konfig_i");
        k.open();
        k.edit();
        k.setValue("Konfig_I_nagl_Nazwa1", "Nazwa");
        k.setValue("Konfig_i_Ekr_Baza", true);
        k.post();
    }

    store::createCatalogue(folder);
    EXPECT_EQ(Database::open(folder)->tables().size(), 22);
    for (const char* t : {"Towar", "Opis", "Waluta"})
        EXPECT_EQ(rowCount(folder, t), 0) << t;
    Table k(folder, "Konfig_i");
    k.open();
    ASSERT_EQ(k.recordCount(), 1);
    EXPECT_EQ(k.asInteger("Konfig_I_Nr"), 1);
    EXPECT_EQ(k.asString("Konfig_I_nagl_Nazwa1"), "Pole 1");
    EXPECT_FALSE(k.asBoolean("Konfig_i_Ekr_Baza"));

    // Fresh tables count from 1 again, also where the counter is not the row id.
    addRow(folder, "Towar", {{"Tow_Nazwa", "Podkładka"}});
    addRow(folder, "Opis", {{"Opis_Tow_Nr", 1}, {"Opis_Cecha_Nr", 1}, {"Opis_Opis", "x"}});
    Table t(folder, "Towar");
    t.open();
    EXPECT_EQ(t.asInteger("Tow_nr"), 1);
    Table o(folder, "Opis");
    o.open();
    EXPECT_EQ(o.asInteger("Opis_Nr"), 1);
}

TEST_F(Catalogue, AFailingTableStopsTheCreationAndLeavesTheTablesBeforeIt) {
    store::createCatalogue(folder);
    addRow(folder, "Cecha", {{"Cecha_Opis", "Średnica"}, {"Cecha_Typ", "N"}});
    addRow(folder, "Towar", {{"Tow_Nazwa", "Śruba M8"}});
    addRow(folder, "Osoby", {{"Osoba_Nazwa", "Jan Kowalski"}});

    // Another installation uses Osoby exclusively (its lease still runs), so Osoby, the twelfth
    // table, cannot be replaced.
    auto db = Database::open(folder);
    const qint64 until = QDateTime::currentSecsSinceEpoch() + 600;
    db->exec(QStringLiteral("INSERT INTO _pelk_owners(owner, user, host, pid, expires) "
                            "VALUES('inny', 'Nowak', 'stanowisko2', 1, %1)")
                 .arg(until));
    db->exec("INSERT INTO _pelk_tablelocks(tbl, owner) VALUES('osoby', 'inny')");

    try {
        store::createCatalogue(folder);
        FAIL() << "no error";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::Locked);
        EXPECT_TRUE(e.message().contains("Osoby")) << qPrintable(e.message());
        EXPECT_TRUE(e.message().contains("Nowak")) << qPrintable(e.message());
    }
    db->exec("DELETE FROM _pelk_tablelocks");
    EXPECT_EQ(rowCount(folder, "Cecha"), 0); // replaced before the failure
    EXPECT_EQ(rowCount(folder, "Konfig_i"), 1);
    EXPECT_EQ(rowCount(folder, "Osoby"), 1); // the failing table and those after it stay
    EXPECT_EQ(rowCount(folder, "Towar"), 1);
}

TEST_F(Catalogue, AMissingFolderIsAnEngineError) {
    EXPECT_THROW(store::createCatalogue(dir.path() + "/nie_ma"), EngineError);
}

TEST_F(Catalogue, PrimaryKeysGroupValuesByItemAndContactsByPolishText) {
    store::createCatalogue(folder);
    const std::tuple<int, int, const char*> values[] = {{2, 5, "a"}, {1, 7, "b"}, {1, 3, "c"},
                                                        {2, 1, "d"}, {1, 3, "e"}, {1, 12, "f"}};
    for (const auto& [item, attr, text] : values)
        addRow(folder, "Opis",
               {{"Opis_Tow_Nr", item}, {"Opis_Cecha_Nr", attr}, {"Opis_Opis", text}});
    Table o(folder, "Opis");
    o.open();
    QStringList order;
    for (o.first(); !o.eof(); o.next())
        order << o.asString("Opis_Opis");
    EXPECT_EQ(order, QStringList({"c", "e", "b", "f", "d", "a"}));

    const std::pair<int, const char*> contacts[] = {{2, "Żaneta"}, {1, "Łucja"}, {1, "lech"},
                                                    {1, "Źdźbło"}, {1, "Zofia"}, {1, "Ćma"},
                                                    {1, "Adam"},   {1, "cezary"}};
    for (const auto& [company, text] : contacts)
        addRow(folder, "Telefon",
               {{"Telefon_Firma_Nr", company}, {"Telefon_Kontakt", QString::fromUtf8(text)}});
    Table t(folder, "Telefon");
    t.open();
    order.clear();
    for (t.first(); !t.eof(); t.next())
        order << t.asString("Telefon_Kontakt");
    EXPECT_EQ(order,
              QStringList({"Adam", "cezary", "Ćma", "lech", "Łucja", "Zofia", "Źdźbło", "Żaneta"}));
}

} // namespace
