// The item list exported to a CSV file over a large catalogue, offscreen: the grid over the item
// table in name order with the main window's columns, written by the export as the menu command
// writes it. The file is checked afterwards (outside the time): one line per item and the
// captions.
//
//   bench_export --dir MAINDIR [--items N] [--runs N]
//
// MAINDIR is a sample main folder; it is made there with pelk-sample (N items, 1,000,000 unless
// told) when it holds no catalogue.

#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "shell/itemlistexport.h"
#include "ui/dbgrid.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kTargetSeconds = 20;

bool makeSample(const QString& mainDir, int items) {
    const QString tool = QDir(QCoreApplication::applicationDirPath())
                             .absoluteFilePath(QStringLiteral("../tools/pelk-sample"));
    if (!QFileInfo(tool).isExecutable()) {
        std::fprintf(stderr, "no sample generator at %s\n", qPrintable(QDir::cleanPath(tool)));
        return false;
    }
    std::printf("making a sample of %d items in %s ...\n", items, qPrintable(mainDir));
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(tool, {mainDir, QStringLiteral("--items"), QString::number(items)});
    return p.waitForStarted() && p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit &&
           p.exitCode() == 0;
}

qint64 lineCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    qint64 lines = 0;
    while (!f.atEnd()) {
        const QByteArray chunk = f.read(1 << 20);
        lines += chunk.count('\n');
    }
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QString mainDir;
    int items = 1000000;
    int runs = 3;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
            mainDir = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--items") && i + 1 < argc)
            items = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else {
            std::fprintf(stderr, "usage: bench_export --dir MAINDIR [--items N] [--runs N]\n");
            return 2;
        }
    }
    if (mainDir.isEmpty()) {
        std::fprintf(stderr, "usage: bench_export --dir MAINDIR [--items N] [--runs N]\n");
        return 2;
    }
    const QString catalogue = QDir(mainDir).filePath(QStringLiteral("Dane/Glowna"));
    if (!engine::Database::exists(catalogue) && !makeSample(mainDir, items)) return 1;
    try {
        engine::Table towar(catalogue, QStringLiteral("Towar"));
        towar.setIndexFieldNames(QStringLiteral("Tow_Nazwa"));
        towar.open();
        ui::DbGrid grid;
        // The main window's item columns.
        const char* const columns[][2] = {
            {"Tow_Nazwa", "Nazwa 1"},      {"Tow_Nazwa2", "Nazwa 2"},     {"Tow_Symbol", "Symbol"},
            {"Tow_kod_prod", "Kod prod."}, {"Tow_SRP", "Cena sprzedaży"}, {"Tow_Cena_A", "Cena A"},
            {"Tow_Cena_B", "Cena B"},      {"Tow_Cena_C", "Cena C"}};
        for (const auto& c : columns)
            grid.addColumn(QLatin1String(c[0]), QString::fromUtf8(c[1]), 80);
        grid.setDataSet(&towar);
        grid.resize(1000, 600);
        grid.show();
        QTemporaryDir out;
        const QString path = out.filePath(QStringLiteral("lista.csv"));
        const auto source = shell::itemListSource(grid);
        std::printf("exporting %d items, %lld columns\n", source.rows,
                    static_cast<long long>(source.columns.size()));
        double worst = 0;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer t;
            t.start();
            QString error;
            const auto result = shell::writeItemListCsv(
                source, path, [](int, int) { return true; }, &error);
            const double s = t.nsecsElapsed() / 1e9;
            worst = std::max(worst, s);
            if (result != shell::ExportResult::Written) {
                std::fprintf(stderr, "export failed: %s\n", qPrintable(error));
                return 1;
            }
            const qint64 lines = lineCount(path);
            std::printf("run %d: %.2f s, %.1f MB, %lld lines\n", run + 1, s,
                        QFileInfo(path).size() / 1e6, static_cast<long long>(lines));
            if (lines < source.rows + 1) {
                std::fprintf(stderr, "the file misses rows\n");
                return 1;
            }
        }
        std::printf("export of %d items: worst %.2f s (target %.0f s) %s\n", source.rows, worst,
                    kTargetSeconds, worst <= kTargetSeconds ? "ok" : "OVER");
    } catch (const engine::EngineError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
