// pelkdb is run as scripts run it, as a separate process on a folder, and its output is compared
// byte for byte: scripts outside the program parse it.
#include "engine/database.h"
#include "engine/table.h"
#include "support/pelkdbrun.h"
#include "support/printing.h"
#include "support/tempfolder.h"
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace engine;

namespace {

using pelkdbrun::ok;
using pelkdbrun::pelkdb;
using pelkdbrun::Result;

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool hasDatabase(const QString& folder) {
    return QFile::exists(QDir(folder).filePath(Database::fileName()));
}

struct PelkdbTest : ::testing::Test {
    TempFolder dir;
    QString folder = dir.sub(QStringLiteral("kat"));

    QString file(const QString& name, const QByteArray& bytes) {
        const QString path = dir.path() + u'/' + name;
        writeFile(path, bytes);
        return path;
    }

    // Six rows with empty, prefix, case and Polish-letter names.
    void makeList() {
        ok({folder, QStringLiteral("create"), QStringLiteral("Lista"),
            QStringLiteral("Nr:autoinc,Nazwa:alpha:20,Grupa:longint,Cena:number")});
        ok({folder, QStringLiteral("load"), QStringLiteral("Lista"),
            file(QStringLiteral("lista.csv"), "Nazwa;Grupa;Cena\nabc;2;5\nab;1;3\n;1;4\n\xc4\x84"
                                              "b;2;1\nb;1;2\nAB;2;6\n")});
    }

    QString dump(const QStringList& extra = {}, const QString& table = QStringLiteral("Lista")) {
        return ok(QStringList{folder, QStringLiteral("dump"), table} + extra);
    }
};

// The first column (Nr) of each row of a dump, header left out.
QString numbers(const QString& dumpText) {
    QStringList lines = dumpText.split(u'\n', Qt::SkipEmptyParts);
    lines.removeFirst();
    QStringList out;
    for (const auto& l : lines)
        out << l.section(u';', 0, 0);
    return out.join(u',');
}

} // namespace

TEST_F(PelkdbTest, UsageErrorsAndFoldersWithoutDatabase) {
    Result r = pelkdb({});
    EXPECT_EQ(r.code, 2);
    EXPECT_TRUE(r.out.contains(QStringLiteral("Użycie"))) << r.out.toStdString();
    r = pelkdb({QStringLiteral("--help")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("nearest")));

    for (const QStringList& args :
         {QStringList{folder},
          {folder, QStringLiteral("nieznane")},
          {folder, QStringLiteral("dump")},
          {folder, QStringLiteral("dump"), QStringLiteral("T"), QStringLiteral("--bzdura")},
          {folder, QStringLiteral("dump"), QStringLiteral("T"), QStringLiteral("--order"),
           QStringLiteral("A"), QStringLiteral("--index"), QStringLiteral("B")},
          {folder, QStringLiteral("nearest"), QStringLiteral("T"), QStringLiteral("x")},
          {folder, QStringLiteral("create"), QStringLiteral("T"), QStringLiteral("A:alpha")},
          {folder, QStringLiteral("create"), QStringLiteral("T"), QStringLiteral("A:tekst:10")},
          {folder, QStringLiteral("create"), QStringLiteral("T"), QStringLiteral("A:longint:4")},
          {folder, QStringLiteral("set"), QStringLiteral("T"), QStringLiteral("A=1")}}) {
        r = pelkdb(args);
        EXPECT_EQ(r.code, 2) << args.join(u' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
    }

    // Reading commands on a folder without a database: nothing listed, errors otherwise, and
    // no database file appears.
    r = pelkdb({folder, QStringLiteral("tables")});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QString());
    for (const QStringList& args :
         {QStringList{folder, QStringLiteral("schema"), QStringLiteral("Towar")},
          {folder, QStringLiteral("dump"), QStringLiteral("Towar")},
          {folder, QStringLiteral("nearest"), QStringLiteral("Towar"), QStringLiteral("--order"),
           QStringLiteral("A"), QStringLiteral("x")},
          {folder, QStringLiteral("sql"), QStringLiteral("SELECT * FROM Towar")},
          {folder, QStringLiteral("drop"), QStringLiteral("Towar")},
          {folder, QStringLiteral("empty"), QStringLiteral("Towar")},
          {folder, QStringLiteral("load"), QStringLiteral("Towar"),
           file(QStringLiteral("t.csv"), "A\n1\n")},
          {folder, QStringLiteral("set"), QStringLiteral("Towar"), QStringLiteral("--filter"),
           QStringLiteral("A=1"), QStringLiteral("A=2")}}) {
        r = pelkdb(args);
        EXPECT_EQ(r.code, 1) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Towar")) ||
                    r.err.contains(QStringLiteral("bazy")))
            << r.err.toStdString();
    }
    EXPECT_FALSE(hasDatabase(folder));

    // A definition the engine refuses leaves no database behind either.
    r = pelkdb(
        {folder, QStringLiteral("create"), QStringLiteral("T"), QStringLiteral("A:alpha:300")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(hasDatabase(folder));
}

TEST_F(PelkdbTest, CreateSchemaTablesDropEmpty) {
    ok({folder, QStringLiteral("create"), QStringLiteral("Towar"),
        QStringLiteral("Tow_Nr:AutoInc,Tow_Grupa:longint,Tow_Nazwa:ALPHA:40,Tow_Cena:number,"
                       "Tow_Data:date,Tow_Czas:timestamp,Tow_Jest:logical,Tow_Uwagi:memo:240,Tow_"
                       "Foto:graphic"),
        QStringLiteral("--primary"), QStringLiteral("tow_grupa;TOW_NR"), QStringLiteral("--index"),
        QStringLiteral("wg_Nazwa=tow_nazwa"), QStringLiteral("--index"),
        QStringLiteral("wg_Grupa_Cena=Tow_Grupa;Tow_Cena")});
    EXPECT_EQ(ok({folder, QStringLiteral("schema"), QStringLiteral("towar.db")}),
              QStringLiteral("Tow_Nr;autoinc;\n"
                             "Tow_Grupa;longint;\n"
                             "Tow_Nazwa;alpha;40\n"
                             "Tow_Cena;number;\n"
                             "Tow_Data;date;\n"
                             "Tow_Czas;timestamp;\n"
                             "Tow_Jest;logical;\n"
                             "Tow_Uwagi;memo;240\n"
                             "Tow_Foto;graphic;\n"
                             "index;PrimaryIndex;Tow_Grupa;Tow_Nr\n"
                             "index;wg_Nazwa;Tow_Nazwa\n"
                             "index;wg_Grupa_Cena;Tow_Grupa;Tow_Cena\n"));

    // Without --primary the first field is the key; an existing table needs --replace.
    ok({folder, QStringLiteral("create"), QStringLiteral("akcja"),
        QStringLiteral("Kod:alpha:3,Opis:memo")});
    EXPECT_EQ(ok({folder, QStringLiteral("schema"), QStringLiteral("Akcja")}),
              QStringLiteral("Kod;alpha;3\nOpis;memo;\nindex;PrimaryIndex;Kod\n"));
    Result r = pelkdb(
        {folder, QStringLiteral("create"), QStringLiteral("Akcja"), QStringLiteral("X:longint")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("istnieje"))) << r.err.toStdString();
    ok({folder, QStringLiteral("create"), QStringLiteral("Akcja"), QStringLiteral("X:longint"),
        QStringLiteral("--replace")});
    EXPECT_EQ(ok({folder, QStringLiteral("schema"), QStringLiteral("Akcja")}),
              QStringLiteral("X;longint;\nindex;PrimaryIndex;X\n"));

    // Sorted without regard to letter case, under the name of the last definition.
    EXPECT_EQ(ok({folder, QStringLiteral("tables")}), QStringLiteral("Akcja\nTowar\n"));

    makeList();
    ok({folder, QStringLiteral("empty"), QStringLiteral("Lista")});
    EXPECT_EQ(dump(), QStringLiteral("Nr;Nazwa;Grupa;Cena\n"));
    ok({folder, QStringLiteral("drop"), QStringLiteral("Lista.db")});
    EXPECT_EQ(ok({folder, QStringLiteral("tables")}), QStringLiteral("Akcja\nTowar\n"));
    EXPECT_EQ(pelkdb({folder, QStringLiteral("drop"), QStringLiteral("Lista")}).code, 1);
    EXPECT_EQ(pelkdb({folder, QStringLiteral("schema"), QStringLiteral("Lista")}).code, 1);
}

TEST_F(PelkdbTest, DumpWritesEveryTypeInTheAgreedForm) {
    ok({folder, QStringLiteral("create"), QStringLiteral("Proba"),
        QStringLiteral(
            "Nr:autoinc,Tekst:alpha:40,Ile:number,Kiedy:date,Czas:timestamp,Jest:logical,"
            "Uwagi:memo,Foto:graphic,Sztuk:longint")});
    EXPECT_EQ(dump({}, QStringLiteral("Proba")),
              QStringLiteral("Nr;Tekst;Ile;Kiedy;Czas;Jest;Uwagi;Foto;Sztuk\n"));
    {
        // Blobs cannot come from a load file, so the rows are written through the engine.
        Table t(folder, QStringLiteral("Proba"));
        t.open();
        auto row = [&](const QList<QPair<QString, QVariant>>& values) {
            t.append();
            for (const auto& [name, v] : values)
                t.setValue(name, v);
            t.post();
        };
        row({{QStringLiteral("Tekst"), QStringLiteral("a;b")},
             {QStringLiteral("Ile"), 10.5},
             {QStringLiteral("Kiedy"), QDate(2024, 2, 1)},
             {QStringLiteral("Czas"), QDateTime(QDate(2024, 2, 1), QTime(8, 9, 10))},
             {QStringLiteral("Jest"), true},
             {QStringLiteral("Uwagi"), QStringLiteral("linia1\nlinia2")},
             {QStringLiteral("Foto"), QByteArray(5, 'x')},
             {QStringLiteral("Sztuk"), -3}});
        row({{QStringLiteral("Tekst"), QStringLiteral("cytat \"x\"")},
             {QStringLiteral("Ile"), 1234567.125},
             {QStringLiteral("Jest"), false},
             {QStringLiteral("Sztuk"), 0}});
        row({{QStringLiteral("Ile"), 0.1}});
        row({{QStringLiteral("Ile"), 1e20}});
        row({{QStringLiteral("Ile"), -3.0}});
        row({{QStringLiteral("Ile"), 2.5e-7}});
        row({{QStringLiteral("Ile"), 1.0 / 3}});
    }
    EXPECT_EQ(dump({}, QStringLiteral("Proba")),
              QStringLiteral(
                  "Nr;Tekst;Ile;Kiedy;Czas;Jest;Uwagi;Foto;Sztuk\n"
                  "1;\"a;b\";10,5;01-02-2024;01-02-2024 08:09:10;T;\"linia1\nlinia2\";[5 B];-3\n"
                  "2;\"cytat \"\"x\"\"\";1234567,125;;;N;;;0\n"
                  "3;;0,1;;;;;;\n"
                  "4;;100000000000000000000;;;;;;\n"
                  "5;;-3;;;;;;\n"
                  "6;;0,00000025;;;;;;\n"
                  "7;;0,333333333333333;;;;;;\n"));
}

TEST_F(PelkdbTest, LoadReadsTheAcceptedFormsInOneTransaction) {
    ok({folder, QStringLiteral("create"), QStringLiteral("Towar"),
        QStringLiteral(
            "Tow_Nr:autoinc,Tow_Nazwa:alpha:5,Tow_Cena:number,Tow_Data:date,Tow_Czas:timestamp,"
            "Tow_Jest:logical,Tow_Uwagi:memo")});
    // Byte-order mark, CRLF, columns in another order and letter case, Tow_Nr missing; the
    // over-long name is cut as asked.
    ok({folder, QStringLiteral("load"), QStringLiteral("Towar"), QStringLiteral("--truncate"),
        file(
            QStringLiteral("a.csv"),
            "\xef\xbb\xbfTow_Uwagi;tow_nazwa;Tow_Cena;Tow_Data;Tow_Jest;Tow_Czas\r\n"
            "\"a \"\"b\"\"\nc\";\xc5\x9arubokr\xc4\x99t;1.5;2024-03-01;true;2024-03-01 10:11:12\r\n"
            ";ab;2,25;05-06-2023;0;\r\n"
            "x;\"c;d\";-3;;1;05-06-2023 01:02:03\r\n"
            ";;;;;\r\n"
            "y;e;1E20;1-2-2020;false;\r\n")});
    const QString expected =
        QStringLiteral("Tow_Nr;Tow_Nazwa;Tow_Cena;Tow_Data;Tow_Czas;Tow_Jest;Tow_Uwagi\n"
                       "1;Śrubo;1,5;01-03-2024;01-03-2024 10:11:12;T;\"a \"\"b\"\"\nc\"\n"
                       "2;ab;2,25;05-06-2023;;N;\n"
                       "3;\"c;d\";-3;;05-06-2023 01:02:03;T;x\n"
                       "4;;;;;;\n"
                       "5;e;100000000000000000000;01-02-2020;;N;y\n");
    EXPECT_EQ(dump({}, QStringLiteral("Towar")), expected);

    // A given autoinc value is kept and the counter moves past it; an empty one is assigned.
    ok({folder, QStringLiteral("load"), QStringLiteral("Towar"),
        file(QStringLiteral("b.csv"), "Tow_Nr;Tow_Nazwa\n10;z\n;y\n")});
    const QString afterB = expected + QStringLiteral("10;z;;;;;\n11;y;;;;;\n");
    EXPECT_EQ(dump({}, QStringLiteral("Towar")), afterB);

    // Any bad line: nothing of the file stays, and the message names the line.
    struct Bad {
        QByteArray text;
        QString line;
    };
    for (const Bad& bad :
         {Bad{"Tow_Nazwa;Tow_Cena\nok;1\nok2;2\nzle;abc\n", QStringLiteral("wiersz 4")},
          Bad{"Tow_Nazwa;Tow_Data\nok;01-01-2024\n\"z\nle\";31-02-2024\n",
              QStringLiteral("wiersz 3")},
          Bad{"Tow_Nazwa;Tow_Jest\nok;T\nzle;moze\n", QStringLiteral("wiersz 3")},
          Bad{"Tow_Nazwa;Tow_Cena\nok;1\n\"nie zamkni\xc4\x99ty;2\n", QStringLiteral("wiersz 3")},
          Bad{"Tow_Nazwa;Tow_Cena\nok;1\njeden\n", QStringLiteral("wiersz 3")},
          Bad{"Tow_Nr;Tow_Nazwa\n20;ok\n1;klucz jest\n", QStringLiteral("wiersz 3")},
          Bad{"Tow_Nazwa;Tow_Kolor\nok;1\n", QStringLiteral("wiersz 1")},
          Bad{"", QStringLiteral("wiersz 1")}}) {
        const Result r = pelkdb({folder, QStringLiteral("load"), QStringLiteral("Towar"),
                                 file(QStringLiteral("zly.csv"), bad.text)});
        EXPECT_EQ(r.code, 1) << bad.text.toStdString();
        EXPECT_TRUE(r.err.contains(bad.line)) << r.err.toStdString();
        EXPECT_EQ(dump({}, QStringLiteral("Towar")), afterB) << bad.text.toStdString();
    }

    // What dump writes, load reads back unchanged.
    ok({folder, QStringLiteral("create"), QStringLiteral("Kopia"),
        QStringLiteral(
            "Tow_Nr:autoinc,Tow_Nazwa:alpha:5,Tow_Cena:number,Tow_Data:date,Tow_Czas:timestamp,"
            "Tow_Jest:logical,Tow_Uwagi:memo")});
    ok({folder, QStringLiteral("load"), QStringLiteral("Kopia"),
        file(QStringLiteral("kopia.csv"), afterB.toUtf8())});
    EXPECT_EQ(dump({}, QStringLiteral("Kopia")), afterB);
}

TEST_F(PelkdbTest, DumpOrdersAndNearest) {
    makeList();
    // Empty first, a prefix before the longer text, letter case ignored (ties by row), ą after a.
    EXPECT_EQ(
        dump({QStringLiteral("--order"), QStringLiteral("Nazwa")}),
        QStringLiteral(
            "Nr;Nazwa;Grupa;Cena\n3;;1;4\n2;ab;1;3\n6;AB;2;6\n1;abc;2;5\n4;Ąb;2;1\n5;b;1;2\n"));
    EXPECT_EQ(numbers(dump()), QStringLiteral("1,2,3,4,5,6"));
    EXPECT_EQ(numbers(dump({QStringLiteral("--index"), QStringLiteral("primaryindex")})),
              QStringLiteral("1,2,3,4,5,6"));
    // Fields without an index.
    EXPECT_EQ(numbers(dump({QStringLiteral("--order"), QStringLiteral("cena")})),
              QStringLiteral("4,5,2,3,1,6"));
    EXPECT_EQ(numbers(dump({QStringLiteral("--order"), QStringLiteral("Grupa;Nazwa")})),
              QStringLiteral("3,2,5,6,1,4"));
    EXPECT_EQ(numbers(dump({QStringLiteral("--order"), QStringLiteral("Cena"),
                            QStringLiteral("--filter"), QStringLiteral("Grupa=2")})),
              QStringLiteral("4,1,6"));
    EXPECT_EQ(dump({QStringLiteral("--filter"), QStringLiteral("Grupa=7")}),
              QStringLiteral("Nr;Nazwa;Grupa;Cena\n"));
    EXPECT_EQ(pelkdb({folder, QStringLiteral("dump"), QStringLiteral("Lista"),
                      QStringLiteral("--index"), QStringLiteral("wg_Brak")})
                  .code,
              1);
    EXPECT_EQ(pelkdb({folder, QStringLiteral("dump"), QStringLiteral("Lista"),
                      QStringLiteral("--filter"), QStringLiteral("Grupa = = 1")})
                  .code,
              1);

    auto nearest = [&](const QString& order, const QStringList& values) {
        return ok(QStringList{folder, QStringLiteral("nearest"), QStringLiteral("Lista"),
                              QStringLiteral("--order"), order} +
                  values);
    };
    EXPECT_EQ(nearest(QStringLiteral("Nazwa"), {QStringLiteral("abd")}),
              QStringLiteral("Nr;Nazwa;Grupa;Cena\n4;Ąb;2;1\n"));
    EXPECT_EQ(numbers(nearest(QStringLiteral("Nazwa"), {QStringLiteral("AB")})),
              QStringLiteral("2"));
    // Past the end: the last row.
    EXPECT_EQ(numbers(nearest(QStringLiteral("Nazwa"), {QStringLiteral("zzz")})),
              QStringLiteral("5"));
    EXPECT_EQ(numbers(nearest(QStringLiteral("Cena"), {QStringLiteral("3,5")})),
              QStringLiteral("3"));
    // A missing second value is empty, the smallest: the first row of group 2.
    EXPECT_EQ(numbers(nearest(QStringLiteral("Grupa;Nazwa"), {QStringLiteral("2")})),
              QStringLiteral("6"));
    EXPECT_EQ(
        numbers(nearest(QStringLiteral("Grupa;Nazwa"), {QStringLiteral("1"), QStringLiteral("c")})),
        QStringLiteral("6"));
    EXPECT_EQ(numbers(nearest(QStringLiteral("Grupa;Nazwa"),
                              {QStringLiteral("-5"), QStringLiteral("b")})),
              QStringLiteral("3"));

    Result r = pelkdb({folder, QStringLiteral("nearest"), QStringLiteral("Lista"),
                       QStringLiteral("--order"), QStringLiteral("Nazwa"), QStringLiteral("a"),
                       QStringLiteral("b")});
    EXPECT_EQ(r.code, 2);
    ok({folder, QStringLiteral("empty"), QStringLiteral("Lista")});
    r = pelkdb({folder, QStringLiteral("nearest"), QStringLiteral("Lista"),
                QStringLiteral("--order"), QStringLiteral("Nazwa"), QStringLiteral("a")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.out, QStringLiteral("Nr;Nazwa;Grupa;Cena\n"));
    EXPECT_FALSE(r.err.isEmpty());
}

TEST_F(PelkdbTest, SqlAndSet) {
    makeList();
    EXPECT_EQ(
        ok({folder, QStringLiteral("sql"),
            QStringLiteral(
                "SELECT Lista.*\r\nFROM Lista\nWHERE Nazwa = \"ab\" OR Cena > 4\nORDER BY Cena")}),
        QStringLiteral("Nr;Nazwa;Grupa;Cena\n2;ab;1;3\n1;abc;2;5\n6;AB;2;6\n"));
    EXPECT_EQ(ok({folder, QStringLiteral("sql"),
                  QStringLiteral("SELECT Nazwa FROM Lista WHERE Grupa = 9")}),
              QStringLiteral("Nazwa\n"));
    Result r = pelkdb({folder, QStringLiteral("sql"), QStringLiteral("DELETE FROM Lista")});
    EXPECT_EQ(r.code, 1);
    EXPECT_FALSE(r.err.isEmpty());

    // Rows leave the filter as they change; every matching row is still changed once.
    ok({folder, QStringLiteral("set"), QStringLiteral("Lista"), QStringLiteral("--filter"),
        QStringLiteral("Grupa=1"), QStringLiteral("Grupa=3"), QStringLiteral("Cena=9,5"),
        QStringLiteral("Nazwa=zmieniony")});
    EXPECT_EQ(dump(), QStringLiteral("Nr;Nazwa;Grupa;Cena\n"
                                     "1;abc;2;5\n"
                                     "2;zmieniony;3;9,5\n"
                                     "3;zmieniony;3;9,5\n"
                                     "4;Ąb;2;1\n"
                                     "5;zmieniony;3;9,5\n"
                                     "6;AB;2;6\n"));
    const QString before = dump();
    // An empty value empties the field; a bad one changes nothing at all.
    r = pelkdb({folder, QStringLiteral("set"), QStringLiteral("Lista"), QStringLiteral("--filter"),
                QStringLiteral("Grupa=2"), QStringLiteral("Nazwa="), QStringLiteral("Cena=dużo")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Cena"))) << r.err.toStdString();
    EXPECT_EQ(dump(), before);
    r = pelkdb({folder, QStringLiteral("set"), QStringLiteral("Lista"), QStringLiteral("--filter"),
                QStringLiteral("Grupa=2"), QStringLiteral("Kolor=1")});
    EXPECT_EQ(r.code, 1);
    ok({folder, QStringLiteral("set"), QStringLiteral("Lista"), QStringLiteral("--filter"),
        QStringLiteral("Cena>5"), QStringLiteral("Nazwa=")});
    EXPECT_EQ(numbers(dump({QStringLiteral("--filter"), QStringLiteral("Nazwa=''")})),
              QStringLiteral("2,3,5,6"));
}
