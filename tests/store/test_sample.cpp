// The sample generator, run as the program it is.
#include "engine/database.h"
#include "engine/table.h"
#include "store/catalogue_schema.h"
#include "store/settings.h"
#include "support/sample.h"
#include "support/tempfolder.h"
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

using namespace engine;

using testsupport::samplePath;

namespace {

struct Outcome {
    int code = -1;
    QString out, err;
};

Outcome runSample(const QStringList& args) {
    QProcess p;
    p.start(samplePath(), args);
    Outcome r;
    if (!p.waitForStarted(10000)) {
        r.err = QStringLiteral("nie uruchomiono ") + samplePath();
        return r;
    }
    p.waitForFinished(120000);
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// Every row of a table in primary key order, as text; pictures by their digest, the main
// folder's path replaced so that two runs in two folders compare.
QStringList rowsOf(const QString& folder, const QString& table, const QString& mainFolder) {
    Table t(folder, table);
    t.open();
    QStringList rows;
    for (t.first(); !t.eof(); t.next()) {
        QStringList values;
        for (const auto& f : t.fields())
            values << (f.type == FieldType::Graphic
                           ? QString::fromLatin1(QCryptographicHash::hash(t.asBytes(f.name),
                                                                          QCryptographicHash::Md5)
                                                     .toHex())
                           : t.asString(f.name).replace(mainFolder, QStringLiteral("<MAIN>")));
        rows << values.join(u';');
    }
    return rows;
}

int scalar(Database& db, const QString& sql) {
    Statement st = db.prepare(sql);
    return st.step() ? int(st.columnInt(0)) : -1;
}

struct Sample : ::testing::Test {
    TempFolder dir;

    void SetUp() override {
        if (!QFileInfo::exists(samplePath()))
            GTEST_SKIP() << "brak programu " << qPrintable(samplePath());
    }
    QString catalogueOf(const QString& main) const { return main + "/Dane/Glowna"; }
};

TEST_F(Sample, FillsEveryTableAndTheSameSeedGivesTheSameRows) {
    const QString a = dir.path() + "/a", b = dir.path() + "/b", c = dir.path() + "/c";
    for (const QString& main : {a, b}) {
        const Outcome r = runSample({main, "--items", "300", "--seed", "7"});
        ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    }
    ASSERT_EQ(runSample({c, "--items", "300", "--seed", "8"}).code, 0);

    for (const auto& def : store::catalogueTables()) {
        SCOPED_TRACE(qPrintable(def.name));
        const QStringList rowsA = rowsOf(catalogueOf(a), def.name, a);
        EXPECT_FALSE(rowsA.isEmpty());
        EXPECT_EQ(rowsA, rowsOf(catalogueOf(b), def.name, b));
    }
    EXPECT_NE(rowsOf(catalogueOf(a), "Towar", a), rowsOf(catalogueOf(c), "Towar", c));
    EXPECT_EQ(rowsOf(a, "Pelk", a), rowsOf(b, "Pelk", b));
}

TEST_F(Sample, DataAgreesWithTheSettingsAndWithItself) {
    const QString main = dir.path() + "/m";
    const Outcome r = runSample({main, "--items", "500"});
    ASSERT_EQ(r.code, 0) << qPrintable(r.err);
    const QString cat = catalogueOf(main);

    store::Settings s(main);
    EXPECT_FALSE(s.flag("Pelk_Haslo_OK")); // no login
    EXPECT_EQ(QDir::fromNativeSeparators(s.text("Pelk_Katalog_Glowny")), "Dane/Glowna");
    auto db = Database::open(cat);
    EXPECT_EQ(scalar(*db, "SELECT count(*) FROM Towar"), 500);
    EXPECT_EQ(scalar(*db, "SELECT count(*) FROM Waluta WHERE Waluta_Nr=1 AND Waluta_Nazwa='PLN' "
                          "AND Waluta_Kurs=1"),
              1);
    EXPECT_EQ(scalar(*db, QStringLiteral("SELECT Telefon_Firma_nr FROM Telefon WHERE Telefon_Nr=%1")
                              .arg(s.integer("Pelk_Kontakt_Nr"))),
              s.integer("Pelk_Firma_Nr"));

    // References lead to rows that exist.
    const char* dangling[] = {
        "SELECT count(*) FROM Towar WHERE Tow_Grupa_nr NOT IN (SELECT Grupa_Nr FROM Grupa)",
        "SELECT count(*) FROM Towar WHERE Tow_Nr_Producent NOT IN (SELECT Firma_Nr FROM Firmy)",
        "SELECT count(*) FROM Opis WHERE Opis_Cecha_Nr NOT IN (SELECT Cecha_Nr FROM Cecha)"
        " OR Opis_Tow_Nr NOT IN (SELECT Tow_nr FROM Towar)",
        "SELECT count(*) FROM Sklada WHERE Sklada_Nr_Czesci NOT IN (SELECT Tow_nr FROM Towar)"
        " OR Sklada_Tow_Nr = Sklada_Nr_Czesci",
        "SELECT count(*) FROM Cena WHERE Cena_Waluta_Nr NOT IN (SELECT Waluta_Nr FROM Waluta)"
        " OR Cena_Firma_Nr NOT IN (SELECT Firma_Nr FROM Firmy)",
        "SELECT count(*) FROM Grafika WHERE Grafika_Rys_Nr NOT IN (SELECT Rys_Nr FROM Rysunek)",
        "SELECT count(*) FROM Dok_Dane WHERE Dane_Dok_Nr NOT IN (SELECT Dok_Nr FROM Dok_Head)",
        "SELECT count(*) FROM Wypozycz WHERE Wypozycz_Osoba_Nr NOT IN (SELECT Osoba_Nr FROM Osoby)",
        "SELECT count(*) FROM Firmy WHERE Firma_Miasto_Nr NOT IN (SELECT Miasto_Nr FROM Miasta)",
        // a group's template positions run 1..n
        "SELECT count(*) FROM (SELECT Szablon_Grupa_Nr g, max(Szablon_Znaczenie) m, count(*) n "
        "FROM Szablon"
        " GROUP BY Szablon_Grupa_Nr) WHERE m <> n",
    };
    for (const char* sql : dangling)
        EXPECT_EQ(scalar(*db, sql), 0) << sql;
    EXPECT_EQ(scalar(*db, "SELECT count(DISTINCT Dok_Typ) FROM Dok_Head"), 2);
    EXPECT_EQ(scalar(*db, "SELECT count(DISTINCT Cecha_Typ) FROM Cecha"), 5);
    EXPECT_GT(scalar(*db, "SELECT count(*) FROM Sklada WHERE Sklada_Tow_Nr IN (SELECT "
                          "Sklada_Nr_Czesci FROM Sklada)"),
              0)
        << "no item both consists of parts and goes into another";

    // Attribute values are text in the stored forms of their types.
    Statement st = db->prepare(
        "SELECT c.Cecha_Typ, o.Opis_Opis FROM Opis o JOIN Cecha c ON c.Cecha_Nr=o.Opis_Cecha_Nr");
    int checked = 0;
    while (st.step()) {
        const QString type = st.column(0).toString(), value = st.column(1).toString();
        SCOPED_TRACE(qPrintable(type + " " + value));
        if (type == "N") {
            bool ok = false;
            value.toDouble(&ok);
            EXPECT_TRUE(ok && !value.contains(','));
        } else if (type == "D") {
            EXPECT_TRUE(QDate::fromString(value, "dd.MM.yyyy").isValid());
        } else if (type == "L") {
            EXPECT_TRUE(value == "T" || value == "N");
        } else if (type == "S") {
            EXPECT_TRUE(QFileInfo(value).isAbsolute() && QFileInfo::exists(value));
        }
        ++checked;
    }
    EXPECT_GT(checked, 1000);

    // The counters went past the rows written: a row added now gets the next number.
    Table t(cat, "Towar");
    t.open();
    t.append();
    t.setValue("Tow_Nazwa", "Nowy towar");
    t.post();
    EXPECT_EQ(t.asInteger("Tow_nr"), 501);
    Table o(cat, "Opis");
    o.open();
    const int values = o.recordCount();
    o.append();
    o.setValue("Opis_Tow_Nr", 501);
    o.setValue("Opis_Cecha_Nr", 1);
    o.post();
    EXPECT_EQ(o.asInteger("Opis_Nr"), values + 1);
}

TEST_F(Sample, AnExistingMainFolderIsKeptUnlessReplaced) {
    const QString main = dir.path() + "/m";
    ASSERT_EQ(runSample({main, "--items", "100"}).code, 0);
    {
        Table t(catalogueOf(main), "Grupa");
        t.open();
        t.append();
        t.setValue("Grupa_Nazwa", "Moja grupa");
        t.post();
    }
    const Outcome refused = runSample({main, "--items", "100"});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains("--replace")) << qPrintable(refused.err);
    EXPECT_TRUE(refused.err.contains("folderem głównym")) << qPrintable(refused.err);
    EXPECT_EQ(rowsOf(catalogueOf(main), "Grupa", main).last().section(';', 1), "Moja grupa");

    const Outcome replaced = runSample({main, "--items", "100", "--replace"});
    ASSERT_EQ(replaced.code, 0) << qPrintable(replaced.err);
    EXPECT_FALSE(rowsOf(catalogueOf(main), "Grupa", main).join('\n').contains("Moja grupa"));

    const Outcome bad = runSample({main, "--items", "dużo"});
    EXPECT_EQ(bad.code, 2);
    EXPECT_TRUE(bad.err.contains("Liczba towarów")) << qPrintable(bad.err);
}

} // namespace
