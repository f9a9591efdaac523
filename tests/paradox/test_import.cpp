// The import is checked as a firm would use it: tables written by pxlib's own writer in the
// catalogue's layouts, read back through the engine.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "paradox/import.h"
#include "paradox/pxlib.h"
#include "pxwriter.h"
#include "store/catalogue_schema.h"
#include "store/passwords.h"
#include "support/tempfolder.h"
#include <QBuffer>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace pxtest;
using engine::EngineError;

namespace {

const QString kName = QStringLiteral("Śruba łączna żółta");
const QString kMemo = QStringLiteral("Źdźbło, gęś i ćma. ").repeated(10);

QByteArray picture(QImage::Format format, const char* kind) {
    QImage image(8, 6, format);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, kind);
    return bytes;
}

QByteArray png() {
    return picture(QImage::Format_RGB32, "PNG");
}

// A picture larger than a shared block takes, with noise so that it does not compress.
QByteArray bigPicture() {
    QImage image(120, 90, QImage::Format_RGB32);
    QRandomGenerator rng(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, rng.generate());
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    image.save(&buf, "PNG");
    return bytes;
}

// A small catalogue: items in CP1250 with long remarks, a field the layout lacks and numbers far
// above the row count; groups in CP852; lendings with dates and logicals.
void writeDrawing(const QString& folder) {
    Table rysunek;
    rysunek.columns = {autoinc(QStringLiteral("Rys_Nr")), alpha(QStringLiteral("Rys_Opis"), 50),
                       blob(QStringLiteral("Rys_Blob"))};
    rysunek.rows = {{40, QStringLiteral("Rysunek śruby"), png()},
                    {41, QStringLiteral("Rysunek zaworu"), bigPicture()}};
    write(folder, QStringLiteral("Rysunek"), rysunek);
}

void writeCatalogue(const QString& folder) {
    Table towar;
    towar.columns = {
        autoinc(QStringLiteral("Tow_nr")),       longint(QStringLiteral("Tow_Grupa_nr")),
        alpha(QStringLiteral("Tow_Nazwa"), 50),  money(QStringLiteral("Tow_SRP")),
        alpha(QStringLiteral("Tow_Uwagi"), 240), alpha(QStringLiteral("Stare_Pole"), 10),
        number(QStringLiteral("Tow_Ilosc"))};
    towar.rows = {{5, 2, kName, 12.5, kMemo, QStringLiteral("x"), 3.25},
                  {17, QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant()},
                  {900, 3, QStringLiteral("Zawór"), 0.99, QStringLiteral("krótka"), QVariant(), 1}};
    towar.headerAutoInc = 950;
    write(folder, QStringLiteral("TOWAR"), towar);

    Table grupa;
    grupa.codePage = 852;
    grupa.columns = {autoinc(QStringLiteral("Grupa_Nr")), alpha(QStringLiteral("Grupa_Nazwa"), 30)};
    grupa.rows = {{2, QStringLiteral("Łączniki")}, {3, QStringLiteral("Zawory ŻÓŁTE")}};
    write(folder, QStringLiteral("Grupa"), grupa);

    Table wyp;
    wyp.columns = {
        autoinc(QStringLiteral("Wypozycz_Nr")), longint(QStringLiteral("Wypozycz_Towar_Nr")),
        date(QStringLiteral("Wypozycz_Pobrano")), logical(QStringLiteral("Wypozycz_Oddano"))};
    // Empty numbers and dates before filled fields.
    wyp.rows = {{1, 5, QDate(2003, 2, 28), true},
                {2, 900, QDate(1999, 12, 31), false},
                {3, QVariant(), QDate(2010, 1, 4), false},
                {4, 17, QVariant(), true}};
    write(folder, QStringLiteral("Wypozycz"), wyp);
}

paradox::ImportReport run(const QString& source, const QString& dest, bool dryRun = false,
                          bool replace = false, const QString& encoding = {}) {
    paradox::ImportOptions o;
    o.source = source;
    o.destination = dest;
    o.dryRun = dryRun;
    o.replace = replace;
    o.encoding = encoding;
    return paradox::importParadox(o);
}

QList<QVariantList> rows(const QString& folder, const QString& table, const QStringList& fields) {
    engine::Table t(folder, table);
    t.open();
    QList<QVariantList> out;
    for (t.first(); !t.eof(); t.next()) {
        QVariantList r;
        for (const QString& f : fields)
            r << t.value(f);
        out << r;
    }
    return out;
}

const paradox::TableReport* reportOf(const paradox::ImportReport& r, const QString& table) {
    for (const auto& t : r.tables)
        if (t.table == table) return &t;
    return nullptr;
}

bool siblingsLeft(const QString& parent) {
    return !QDir(parent)
                .entryList(QStringList{QStringLiteral(".*import*")},
                           QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot)
                .isEmpty();
}

} // namespace

TEST(ParadoxImport, KeepsRowsNumbersTextAndCountersOfACatalogue) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/kat");
    writeCatalogue(src);
    const auto report = run(src, dest);

    const auto items = rows(dest, QStringLiteral("Towar"),
                            {QStringLiteral("Tow_nr"), QStringLiteral("Tow_Nazwa"),
                             QStringLiteral("Tow_SRP"), QStringLiteral("Tow_Uwagi"),
                             QStringLiteral("Tow_Ilosc"), QStringLiteral("Tow_Grupa_nr")});
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0][0].toInt(), 5);
    EXPECT_EQ(items[0][1].toString(), kName);
    EXPECT_DOUBLE_EQ(items[0][2].toDouble(), 12.5);
    EXPECT_EQ(items[0][3].toString(), kMemo);
    EXPECT_DOUBLE_EQ(items[0][4].toDouble(), 3.25);
    EXPECT_EQ(items[1][0].toInt(), 17);
    for (int i = 1; i < 5; ++i)
        EXPECT_TRUE(items[1][i].isNull()) << i; // empty fields stay empty
    EXPECT_EQ(items[2][0].toInt(), 900);
    EXPECT_EQ(items[2][3].toString(), QStringLiteral("krótka"));

    // The counter moves past the highest number the table ever gave out.
    {
        engine::Table t(dest, QStringLiteral("Towar"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Nowy"));
        t.post();
        EXPECT_GT(t.asInteger(QStringLiteral("Tow_nr")), 900);
    }
    const auto groups = rows(dest, QStringLiteral("Grupa"),
                             {QStringLiteral("Grupa_Nr"), QStringLiteral("Grupa_Nazwa")});
    ASSERT_EQ(groups.size(), 2);
    EXPECT_EQ(groups[0][1].toString(), QStringLiteral("Łączniki"));
    EXPECT_EQ(groups[1][1].toString(), QStringLiteral("Zawory ŻÓŁTE"));

    const auto lent = rows(dest, QStringLiteral("Wypozycz"),
                           {QStringLiteral("Wypozycz_Pobrano"), QStringLiteral("Wypozycz_Oddano"),
                            QStringLiteral("Wypozycz_Towar_Nr")});
    ASSERT_EQ(lent.size(), 4);
    EXPECT_TRUE(lent[2][2].isNull()) << lent[2][2].toLongLong();
    EXPECT_EQ(lent[2][0].toDate(), QDate(2010, 1, 4));
    EXPECT_TRUE(lent[3][0].isNull()) << lent[3][0].toString().toStdString();
    EXPECT_EQ(lent[3][2].toInt(), 17);
    EXPECT_EQ(lent[0][0].toDate(), QDate(2003, 2, 28));
    EXPECT_TRUE(lent[0][1].toBool());
    EXPECT_EQ(lent[1][0].toDate(), QDate(1999, 12, 31));
    EXPECT_FALSE(lent[1][1].toBool());

    // Every layout table exists; the report names what was skipped and what is missing.
    auto db = engine::Database::open(dest);
    for (const auto& def : store::catalogueTables())
        EXPECT_TRUE(db->hasTable(def.name)) << def.name.toStdString();
    const auto* towar = reportOf(report, QStringLiteral("Towar"));
    ASSERT_TRUE(towar);
    EXPECT_EQ(towar->rows, 3);
    EXPECT_EQ(towar->skippedFields, QStringList{QStringLiteral("Stare_Pole")});
    EXPECT_TRUE(towar->missingFields.contains(QStringLiteral("Tow_Symbol")));
    EXPECT_EQ(reportOf(report, QStringLiteral("Grupa"))->encoding, QStringLiteral("CP852"));
    EXPECT_TRUE(report.lines().contains(QStringLiteral("Wypozycz: 4 wiersze zapisane (CP1250)")));
    EXPECT_TRUE(reportOf(report, QStringLiteral("Firmy"))->file.isEmpty());
    EXPECT_FALSE(siblingsLeft(tmp.path()));
}

TEST(ParadoxImport, EncodingOptionOverridesTheHeader) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src"));
    Table grupa; // written in CP1250 while the header says CP852, as some programs did
    grupa.codePage = 1250;
    grupa.columns = {autoinc(QStringLiteral("Grupa_Nr")), alpha(QStringLiteral("Grupa_Nazwa"), 30)};
    grupa.rows = {{1, QStringLiteral("Śruby łączące")}};
    write(src, QStringLiteral("Grupa"), grupa);
    QFile f(src + QStringLiteral("/Grupa.db"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(0x6A);
    f.write(QByteArray::fromHex("5403")); // 852
    f.close();
    run(src, tmp.path() + QStringLiteral("/a"));
    EXPECT_NE(rows(tmp.path() + QStringLiteral("/a"), QStringLiteral("Grupa"),
                   {QStringLiteral("Grupa_Nazwa")})[0][0]
                  .toString(),
              QStringLiteral("Śruby łączące"));
    run(src, tmp.path() + QStringLiteral("/b"), false, false, QStringLiteral("cp1250"));
    EXPECT_EQ(rows(tmp.path() + QStringLiteral("/b"), QStringLiteral("Grupa"),
                   {QStringLiteral("Grupa_Nazwa")})[0][0]
                  .toString(),
              QStringLiteral("Śruby łączące"));
    EXPECT_THROW(
        run(src, tmp.path() + QStringLiteral("/c"), false, false, QStringLiteral("CP99999")),
        EngineError);
}

TEST(ParadoxImport, MainFolderPasswordsAreStoredHashed) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/main");
    Table users;
    users.columns = {autoinc(QStringLiteral("User_Nr")), alpha(QStringLiteral("User_Nazwa"), 30),
                     alpha(QStringLiteral("User_Haslo"), 30),
                     longint(QStringLiteral("User_Uprawnienia")),
                     logical(QStringLiteral("User_Administrator"))};
    users.rows = {{3, QStringLiteral("Kowalski"), QStringLiteral("tajne"), 2, true},
                  {7, QStringLiteral("Gość"), QVariant(), 1, false}};
    write(src, QStringLiteral("Users"), users);
    QDir(src).mkpath(QStringLiteral("Oferty"));
    Table offers;
    offers.columns = {autoinc(QStringLiteral("Oferty_Nr")), date(QStringLiteral("Oferty_Data")),
                      alpha(QStringLiteral("Oferty_Firma"), 30)};
    offers.rows = {{12, QDate(2004, 5, 6), QStringLiteral("Hydro-Łódź")}};
    write(src + QStringLiteral("/Oferty"), QStringLiteral("Oferty"), offers);
    QFile rtf(src + QStringLiteral("/naglowek.rtf"));
    ASSERT_TRUE(rtf.open(QIODevice::WriteOnly));
    rtf.write("{\\rtf1 Firma}");
    rtf.close();

    paradox::ImportOptions o;
    o.source = src;
    o.destination = dest;
    o.mainFolder = true;
    const auto report = paradox::importParadox(o);

    const auto u = rows(dest, QStringLiteral("Users"),
                        {QStringLiteral("User_Nr"), QStringLiteral("User_Haslo")});
    ASSERT_EQ(u.size(), 2);
    EXPECT_EQ(u[0][0].toInt(), 3);
    EXPECT_TRUE(store::isPasswordHash(u[0][1].toString()));
    EXPECT_TRUE(store::passwordMatches(QStringLiteral("TAJNE"), u[0][1].toString()));
    EXPECT_TRUE(u[1][1].isNull());
    const auto of = rows(dest + QStringLiteral("/Oferty"), QStringLiteral("Oferty"),
                         {QStringLiteral("Oferty_Nr"), QStringLiteral("Oferty_Firma")});
    ASSERT_EQ(of.size(), 1);
    EXPECT_EQ(of[0][1].toString(), QStringLiteral("Hydro-Łódź"));
    EXPECT_TRUE(QFile::exists(dest + QStringLiteral("/naglowek.rtf")));
    EXPECT_TRUE(report.copiedFiles.contains(QStringLiteral("naglowek.rtf")));
    EXPECT_TRUE(engine::Database::open(dest)->hasTable(QStringLiteral("Pelk")));
}

TEST(ParadoxImport, DryRunRefusalAndReplace) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/kat");
    writeCatalogue(src);

    const auto dry = run(src, dest, true);
    EXPECT_FALSE(QFileInfo::exists(dest));
    EXPECT_TRUE(dry.lines().contains(QStringLiteral("Towar: 3 wiersze do zapisania (CP1250)")))
        << dry.lines().join(u'\n').toStdString();
    EXPECT_TRUE(dry.lines().contains(QStringLiteral("  pominięte pola: Stare_Pole")));

    run(src, dest);
    {
        engine::Table t(dest, QStringLiteral("Grupa"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Grupa_Nazwa"), QStringLiteral("Dopisana"));
        t.post();
    }
    try {
        run(src, dest);
        FAIL() << "an existing catalogue was overwritten";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("jest już katalog")));
    }
    EXPECT_EQ(rows(dest, QStringLiteral("Grupa"), {QStringLiteral("Grupa_Nr")}).size(), 3);
    run(src, dest, false, true);
    EXPECT_EQ(rows(dest, QStringLiteral("Grupa"), {QStringLiteral("Grupa_Nr")}).size(), 2);
    EXPECT_FALSE(siblingsLeft(tmp.path()));
    EXPECT_FALSE(siblingsLeft(dest));
}

TEST(ParadoxImport, TruncatedTableIsNamedAndLeavesTheDestinationAsItWas) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/kat");
    writeCatalogue(src);
    run(src, dest);
    QFile f(src + QStringLiteral("/Wypozycz.db"));
    ASSERT_TRUE(f.resize(f.size() - 100));
    try {
        run(src, dest, false, true);
        FAIL() << "a truncated table was imported";
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Wypozycz"))) << e.message().toStdString();
    }
    EXPECT_EQ(rows(dest, QStringLiteral("Towar"), {QStringLiteral("Tow_nr")}).size(), 3);
    EXPECT_FALSE(siblingsLeft(tmp.path()));
    EXPECT_FALSE(siblingsLeft(dest));
}

// Truncated and corrupted tables and memo files: the import either succeeds or reports an
// error, and the process goes on.
TEST(ParadoxImport, DamagedFilesNeverBringTheImporterDown) {
    TempFolder tmp;
    const QString clean = tmp.sub(QStringLiteral("clean"));
    writeCatalogue(clean);
    QRandomGenerator rng(24);
    const QStringList files{QStringLiteral("TOWAR.db"), QStringLiteral("Grupa.db"),
                            QStringLiteral("Wypozycz.db")};
    int failures = 0;
    for (int round = 0; round < 30; ++round) {
        const QString src = tmp.sub(QStringLiteral("f%1").arg(round));
        for (const QString& e : QDir(clean).entryList(QDir::Files))
            QFile::copy(clean + u'/' + e, src + u'/' + e);
        const QString victim = src + u'/' + files[rng.bounded(files.size())];
        QFile f(victim);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        if (rng.bounded(3) == 0) {
            bytes.truncate(rng.bounded(bytes.size()));
        } else {
            for (int k = 0, n = 1 + rng.bounded(12); k < n; ++k) {
                // Mostly the header and the first blocks, where the sizes and pointers are.
                const int at = rng.bounded(
                    std::min<qsizetype>(bytes.size(), rng.bounded(2) ? 0x100 : bytes.size()));
                bytes[at] = char(rng.bounded(256));
            }
        }
        f.resize(0);
        f.write(bytes);
        f.close();
        try {
            run(src, tmp.path() + QStringLiteral("/d%1").arg(round), round % 8 != 0);
        } catch (const EngineError&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);
}

// Memos longer than the record's leader live in the .mb file: in a block shared by small blobs
// or in a block of their own; a short one stays whole in the record.
TEST(ParadoxImport, MemoInTheBlobFileIsKept) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/kat");
    Table towar;
    towar.columns = {autoinc(QStringLiteral("Tow_nr")), memo(QStringLiteral("Tow_Uwagi"))};
    const QString shared = QStringLiteral("Źdźbło, gęś i ćma. ").repeated(40);
    const QString own = QStringLiteral("Łożysko kulkowe. ").repeated(300);
    towar.rows = {{1, shared},
                  {2, QStringLiteral("krótko")},
                  {3, own},
                  {4, QVariant()},
                  {5, QStringLiteral("Dwie notatki w jednym bloku.")}};
    write(src, QStringLiteral("Towar"), towar);
    const auto report = run(src, dest);
    const auto memos = rows(dest, QStringLiteral("Towar"), {QStringLiteral("Tow_Uwagi")});
    ASSERT_EQ(memos.size(), 5);
    EXPECT_EQ(memos[0][0].toString(), shared);
    EXPECT_EQ(memos[1][0].toString(), QStringLiteral("krótko"));
    EXPECT_EQ(memos[2][0].toString(), own);
    EXPECT_TRUE(memos[3][0].isNull());
    EXPECT_EQ(memos[4][0].toString(), QStringLiteral("Dwie notatki w jednym bloku."));
    EXPECT_TRUE(reportOf(report, QStringLiteral("Towar"))->unreadableFields.isEmpty());
}

TEST(ParadoxImport, PictureBlobLoadsAsAPicture) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/kat");
    writeCatalogue(src);
    writeDrawing(src);
    run(src, dest);
    const auto drawings = rows(dest, QStringLiteral("Rysunek"),
                               {QStringLiteral("Rys_Nr"), QStringLiteral("Rys_Blob")});
    ASSERT_EQ(drawings.size(), 2);
    EXPECT_EQ(drawings[0][0].toInt(), 40);
    EXPECT_EQ(drawings[0][1].toByteArray(), png());
    EXPECT_FALSE(QImage::fromData(drawings[0][1].toByteArray()).isNull());
    EXPECT_EQ(drawings[1][1].toByteArray(), bigPicture());
}

// The firm's logo and a user's signature of the main folder and a catalogue's drawing are read
// back as the program reads them for printing and showing.
TEST(ParadoxImport, LogoSignatureAndDrawingLoadAsPictures) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), main = tmp.path() + QStringLiteral("/main"),
                  kat = tmp.path() + QStringLiteral("/kat");
    const QByteArray logo = picture(QImage::Format_RGB32, "BMP"), signature = bigPicture();
    Table pelk;
    pelk.columns = {alpha(QStringLiteral("Pelk_Wydruk_Jezyk"), 10),
                    graphic(QStringLiteral("Pelk_Logo")), logical(QStringLiteral("Pelk_Podpis"))};
    pelk.rows = {{QStringLiteral("PL"), logo, true}};
    write(src, QStringLiteral("Pelk"), pelk);
    Table users;
    users.columns = {autoinc(QStringLiteral("User_Nr")), alpha(QStringLiteral("User_Nazwa"), 30),
                     graphic(QStringLiteral("User_Podpis"))};
    users.rows = {{4, QStringLiteral("Nowak"), signature}, {5, QStringLiteral("Bez"), QVariant()}};
    write(src, QStringLiteral("Users"), users);
    paradox::ImportOptions o;
    o.source = src;
    o.destination = main;
    o.mainFolder = true;
    paradox::importParadox(o);

    const auto settings = rows(main, QStringLiteral("Pelk"), {QStringLiteral("Pelk_Logo")});
    ASSERT_EQ(settings.size(), 1);
    const QImage logoImage = QImage::fromData(settings[0][0].toByteArray());
    ASSERT_FALSE(logoImage.isNull());
    EXPECT_EQ(logoImage.pixelColor(0, 0), QColor(Qt::red));
    const auto u = rows(main, QStringLiteral("Users"), {QStringLiteral("User_Podpis")});
    ASSERT_EQ(u.size(), 2);
    EXPECT_EQ(QImage::fromData(u[0][0].toByteArray()).size(), QSize(120, 90));
    EXPECT_TRUE(u[1][0].isNull());

    writeDrawing(src);
    writeCatalogue(src);
    run(src, kat);
    const auto d = rows(kat, QStringLiteral("Rysunek"), {QStringLiteral("Rys_Blob")});
    ASSERT_EQ(d.size(), 2);
    EXPECT_FALSE(QImage::fromData(d[0][0].toByteArray()).isNull());
    EXPECT_FALSE(QImage::fromData(d[1][0].toByteArray()).isNull());
}

// A damaged .mb file costs only the fields whose blobs cannot be found: the rows are kept with
// those fields empty and the report names them.
TEST(ParadoxImport, DamagedBlobFileLeavesTheFieldEmptyAndSaysSo) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src"));
    writeDrawing(src);
    QFile mb(src + QStringLiteral("/Rysunek.mb"));
    ASSERT_TRUE(mb.open(QIODevice::ReadWrite));
    mb.seek(0x1000); // the shared block of the small drawing
    mb.write("\x04");
    mb.close();
    auto report = run(src, tmp.path() + QStringLiteral("/a"));
    auto d =
        rows(tmp.path() + QStringLiteral("/a"), QStringLiteral("Rysunek"),
             {QStringLiteral("Rys_Nr"), QStringLiteral("Rys_Opis"), QStringLiteral("Rys_Blob")});
    ASSERT_EQ(d.size(), 2);
    EXPECT_EQ(d[0][1].toString(), QStringLiteral("Rysunek śruby"));
    EXPECT_TRUE(d[0][2].isNull());
    EXPECT_EQ(d[1][2].toByteArray(), bigPicture());
    ASSERT_EQ(reportOf(report, QStringLiteral("Rysunek"))->unreadableFields.size(), 1);
    EXPECT_TRUE(report.lines().contains(
        QStringLiteral("  nieodczytane pole Rys_Blob w wierszu 1: notatka lub obraz pod adresem "
                       "4096 w pliku .mb: blok innego rodzaju")))
        << report.lines().join(u'\n').toStdString();

    // The .mb file cut after its first blocks: the pointers lead outside it.
    ASSERT_TRUE(mb.resize(0x2000));
    report = run(src, tmp.path() + QStringLiteral("/b"));
    d = rows(tmp.path() + QStringLiteral("/b"), QStringLiteral("Rysunek"),
             {QStringLiteral("Rys_Blob")});
    EXPECT_TRUE(d[1][0].isNull());
    EXPECT_TRUE(reportOf(report, QStringLiteral("Rysunek"))
                    ->unreadableFields.join(u' ')
                    .contains(QStringLiteral("blok poza plikiem")));

    // Without its .mb file every blob kept there is reported.
    ASSERT_TRUE(mb.remove());
    report = run(src, tmp.path() + QStringLiteral("/c"));
    EXPECT_EQ(reportOf(report, QStringLiteral("Rysunek"))->unreadableFields.size(), 2);
}

// Corrupted and truncated .mb files and blob pointers: our reader of the .mb file is never the
// reason the import fails, and the importer always answers.
TEST(ParadoxImport, DamagedBlobFilesNeverCrashTheReader) {
    TempFolder tmp;
    const QString clean = tmp.sub(QStringLiteral("clean"));
    writeDrawing(clean);
    Table towar;
    towar.columns = {autoinc(QStringLiteral("Tow_nr")), memo(QStringLiteral("Tow_Uwagi"))};
    for (int i = 1; i <= 70; ++i) // more than one shared block
        towar.rows << QVariantList{i, QStringLiteral("Uwaga nr %1: ").arg(i).repeated(1 + i % 9)};
    towar.rows << QVariantList{71, QStringLiteral("Długa ").repeated(900)};
    write(clean, QStringLiteral("Towar"), towar);
    QRandomGenerator rng(2024);
    int reported = 0;
    for (int round = 0; round < 40; ++round) {
        const QString src = tmp.sub(QStringLiteral("f%1").arg(round));
        for (const QString& e : QDir(clean).entryList(QDir::Files))
            QFile::copy(clean + u'/' + e, src + u'/' + e);
        const bool towarFile = rng.bounded(2) == 0;
        const QString base = towarFile ? QStringLiteral("/Towar") : QStringLiteral("/Rysunek");
        QFile f(src + base + (round % 5 == 4 ? QStringLiteral(".db") : QStringLiteral(".mb")));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        if (round % 5 == 4) {
            // The pointers at the end of the records' blob fields.
            for (int k = 0, n = 1 + rng.bounded(6); k < n; ++k)
                bytes[0x800 + rng.bounded(0x800)] = char(rng.bounded(256));
        } else if (round % 5 == 3) {
            bytes.truncate(0x1000 * (1 + rng.bounded(bytes.size() / 0x1000)));
        } else {
            // Mostly block heads and the entries of the shared blocks.
            for (int k = 0, n = 1 + rng.bounded(20); k < n; ++k) {
                const qsizetype block = 0x1000 * (1 + rng.bounded(bytes.size() / 0x1000 - 1));
                bytes[block + rng.bounded(rng.bounded(2) ? 12 + 64 * 5 : 0x1000)] =
                    char(rng.bounded(256));
            }
        }
        f.resize(0);
        f.write(bytes);
        f.close();
        try {
            const auto report = run(src, tmp.path() + QStringLiteral("/d%1").arg(round));
            for (const auto& t : report.tables)
                reported += int(t.unreadableFields.size() + t.unreadableRows.size());
        } catch (const EngineError& e) {
            EXPECT_FALSE(e.message().contains(QStringLiteral("sygnał")))
                << e.message().toStdString();
            ++reported;
        }
    }
    EXPECT_GT(reported, 0);
}

#ifdef PELKDB_PATH
TEST(ParadoxImport, PelkdbCommand) {
    TempFolder tmp;
    const QString src = tmp.sub(QStringLiteral("src")), dest = tmp.path() + QStringLiteral("/kat");
    writeCatalogue(src);
    auto pelkdb = [](const QStringList& args, QString* out = nullptr) {
        QProcess p;
        p.start(QStringLiteral(PELKDB_PATH), args);
        p.waitForFinished(120000);
        if (out) *out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    };
    QString out;
    EXPECT_EQ(
        pelkdb({dest, QStringLiteral("import-paradox"), src, QStringLiteral("--dry-run")}, &out),
        0);
    EXPECT_TRUE(out.contains(QStringLiteral("Towar: 3 wiersze do zapisania"))) << out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(dest));
    EXPECT_EQ(pelkdb({dest, QStringLiteral("import-paradox"), src}, &out), 0) << out.toStdString();
    EXPECT_EQ(pelkdb({dest, QStringLiteral("import-paradox"), src}, &out), 1);
    EXPECT_TRUE(out.contains(QStringLiteral("--replace"))) << out.toStdString();
    EXPECT_EQ(pelkdb({dest, QStringLiteral("import-paradox"), src, QStringLiteral("--replace")}),
              0);
    EXPECT_EQ(pelkdb({dest, QStringLiteral("import-paradox"), src, QStringLiteral("--encoding")}),
              2);
}
#endif

#if defined(PELK_SAMPLE_PATH) && defined(EXPORT_PATH)
// The sample catalogue of every table written as Paradox tables by pxlib's writer comes back
// through the import value for value, pictures and empty fields included.
TEST(ParadoxImport, SampleCatalogueComesBackTheSame) {
    TempFolder tmp;
    const QString main = tmp.path() + QStringLiteral("/main"),
                  px = tmp.path() + QStringLiteral("/px"),
                  dest = tmp.path() + QStringLiteral("/kat");
    auto runTool = [](const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        p.waitForFinished(120000);
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    };
    runTool(QStringLiteral(PELK_SAMPLE_PATH),
            {main, QStringLiteral("--items"), QStringLiteral("150")});
    const QString sample = main + QStringLiteral("/Dane/Glowna");
    runTool(QStringLiteral(EXPORT_PATH), {sample, px});
    const auto report = run(px, dest);
    for (const auto& def : store::catalogueTables()) {
        QStringList fields;
        for (const auto& f : def.fields)
            fields << f.name;
        const auto from = rows(sample, def.name, fields), to = rows(dest, def.name, fields);
        ASSERT_EQ(from.size(), to.size()) << def.name.toStdString();
        for (qsizetype r = 0; r < from.size(); ++r)
            for (qsizetype i = 0; i < fields.size(); ++i)
                EXPECT_EQ(from[r][i], to[r][i])
                    << def.name.toStdString() << " row " << r << " " << fields[i].toStdString();
        EXPECT_TRUE(reportOf(report, def.name)->unreadableFields.isEmpty());
    }
}
#endif
