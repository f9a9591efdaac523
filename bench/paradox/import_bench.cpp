// Importing a large catalogue kept as Paradox tables: 100,000 items and 1,000,000 attribute
// values written with pxlib first, then imported into a new catalogue folder. Prints the time.
#include "paradox/import.h"
#include "pxwriter.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

using namespace pxtest;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int items = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int values = argc > 2 ? std::atoi(argv[2]) : 1000000;
    QTemporaryDir dir;
    const QString src = dir.filePath(QStringLiteral("src"));
    QDir().mkpath(src);

    Table towar;
    towar.columns = {autoinc(QStringLiteral("Tow_nr")), longint(QStringLiteral("Tow_Grupa_nr")),
                     alpha(QStringLiteral("Tow_Nazwa"), 50), alpha(QStringLiteral("Tow_Symbol"), 25),
                     money(QStringLiteral("Tow_SRP")), number(QStringLiteral("Tow_Ilosc"))};
    for (int i = 1; i <= items; ++i)
        towar.rows << QVariantList{i * 3, i % 40 + 1, QStringLiteral("Śruba łączna %1").arg(i),
                                   QStringLiteral("S-%1").arg(i), i * 0.25, i % 17};
    Table opis;
    opis.columns = {longint(QStringLiteral("Opis_Tow_Nr")), longint(QStringLiteral("Opis_Cecha_Nr")),
                    autoinc(QStringLiteral("Opis_Nr")), alpha(QStringLiteral("Opis_Opis"), 100)};
    for (int i = 1; i <= values; ++i)
        opis.rows << QVariantList{(i % items + 1) * 3, i % 10 + 1, i, QStringLiteral("wartość %1").arg(i % 5000)};

    QElapsedTimer writing;
    writing.start();
    write(src, QStringLiteral("Towar"), towar);
    write(src, QStringLiteral("Opis"), opis);
    std::printf("writing the Paradox tables: %.1f s\n", writing.elapsed() / 1000.0);

    paradox::ImportOptions o;
    o.source = src;
    o.destination = dir.filePath(QStringLiteral("kat"));
    QElapsedTimer importing;
    importing.start();
    const auto report = paradox::importParadox(o);
    std::printf("import of %d items and %d attribute values: %.1f s\n", items, values,
                importing.elapsed() / 1000.0);
    return 0;
}
