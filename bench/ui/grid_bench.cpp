// The item grid over a large catalogue: how long opening, scrolling and following the cursor take
// in a grid of screen size over the sample catalogue's items, and how many rows the grid reads
// and holds while doing it (a few windows, whatever the catalogue's size).
//
//   bench_grid [--dir MAINDIR] [--items N] [--quick] [--runs N]
//
// The whole scenario (open, scroll, keys, jumps, searches) is played several times, each time on
// a freshly opened table, and every measure is printed as the median of its runs.

#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "ui/dbgrid.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

const QString kCatalogue = QStringLiteral("Dane/Glowna"); // the sample's default catalogue
const QString kItems = QStringLiteral("Towar");
const QString kOrder = QStringLiteral("wg_Tow_Nazwa");
const char* const kColumns[] = {"Tow_Nazwa", "Tow_Nazwa2", "Tow_Symbol", "Tow_Kod_Prod", "Tow_SRP"};
// Spread over the alphabet, Polish letters included; the last one is past every name.
const char* const kPrefixes[] = {"Farba",          "Kotwa", "Łożysko", "Przewód",
                                 "Śruba imbusowa", "Zawór", "Żżż"};
constexpr int kPageDowns = 20;
constexpr qint64 kStepTimeoutMs = 120000;

struct Options {
    int items = 1000000;
    bool itemsGiven = false;
    QString dir;
    bool quick = false;
    int runs = 0; // 0: the mode's default
};

void usage() {
    std::printf("bench_grid [--dir MAINDIR] [--items N] [--quick] [--runs N]\n"
                "  --dir MAINDIR  a sample main folder; made there with pelk-sample when missing\n"
                "                 (default: a temporary folder, removed afterwards)\n"
                "  --items N      items of a sample made here (default 1000000)\n"
                "  --quick        20000 items (unless --items), 3 runs: a smoke run\n"
                "  --runs N       how many times the scenario is played (default 5)\n");
}

std::optional<Options> parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a);
                return nullptr;
            }
            return argv[++i];
        };
        auto number = [&](int min, int& out) {
            const char* v = value();
            if (!v) return false;
            char* end = nullptr;
            const long n = std::strtol(v, &end, 10);
            if (*end || n < min || n > 100000000) {
                std::fprintf(stderr, "%s wants a number of at least %d\n", a, min);
                return false;
            }
            out = int(n);
            return true;
        };
        if (!std::strcmp(a, "--items")) {
            if (!number(1000, o.items)) return std::nullopt;
            o.itemsGiven = true;
        } else if (!std::strcmp(a, "--runs")) {
            if (!number(1, o.runs)) return std::nullopt;
        } else if (!std::strcmp(a, "--dir")) {
            const char* v = value();
            if (!v) return std::nullopt;
            o.dir = QString::fromLocal8Bit(v);
        } else if (!std::strcmp(a, "--quick")) {
            o.quick = true;
        } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            usage();
            std::exit(0);
        } else {
            std::fprintf(stderr, "unknown argument %s\n", a);
            usage();
            return std::nullopt;
        }
    }
    if (o.quick && !o.itemsGiven) o.items = 20000;
    if (o.runs == 0) o.runs = o.quick ? 3 : 5;
    return o;
}

// kB from a line of /proc/self/status ("VmHWM:   12345 kB"); 0 when it cannot be read.
qint64 procStatusKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ')[0].toLongLong();
    return 0;
}

double mb(qint64 kb) {
    return double(kb) / 1024.0;
}

// --- The sample ------------------------------------------------------------------------------

bool hasSample(const QString& mainDir) {
    const QString folder = QDir(mainDir).filePath(kCatalogue);
    if (!engine::Database::exists(folder)) return false;
    try {
        return engine::Database::open(folder)->hasTable(kItems);
    } catch (const engine::EngineError&) {
        return false;
    }
}

bool makeSample(const QString& mainDir, int items) {
    const QString tool = QDir(QCoreApplication::applicationDirPath())
                             .absoluteFilePath(QStringLiteral("../tools/pelk-sample"));
    if (!QFileInfo(tool).isExecutable()) {
        std::fprintf(stderr, "no sample generator at %s (build the pelk-sample target)\n",
                     qPrintable(QDir::cleanPath(tool)));
        return false;
    }
    std::printf("making a sample of %d items in %s ...\n", items, qPrintable(mainDir));
    std::fflush(stdout);
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedChannels);
    p.start(tool, {mainDir, QStringLiteral("--items"), QString::number(items)});
    if (!p.waitForStarted() || !p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit ||
        p.exitCode() != 0) {
        std::fprintf(stderr, "pelk-sample failed\n");
        return false;
    }
    return true;
}

// --- The grid under measure ------------------------------------------------------------------

// Counts what the grid reads from the table: every window the grid's model asks for ends here.
class CountingTable : public engine::Table {
public:
    using engine::Table::Table;
    int calls = 0;
    qint64 rowsRead = 0;

protected:
    std::vector<StoredRow> storedRowsAt(int first, int count) override {
        auto rows = engine::Table::storedRowsAt(first, count);
        ++calls;
        rowsRead += qint64(rows.size());
        return rows;
    }
};

// Counts its paints, so that a measure ends when the screen shows the result.
class PaintedGrid : public ui::DbGrid {
public:
    using ui::DbGrid::DbGrid;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ui::DbGrid::paintEvent(event);
        ++paints;
    }
};

struct Bench {
    CountingTable* table = nullptr;
    PaintedGrid* grid = nullptr;
    int maxHeld = 0; // most rows the grid's model held at the end of any step

    ui::DbGridModel* model() const { return grid->gridModel(); }

    bool visibleRowsCached() const {
        const int count = model()->rowCount();
        if (count == 0) return true;
        const int first = std::max(0, grid->rowAt(0));
        int last = grid->rowAt(grid->viewport()->height() - 1);
        if (last < 0) last = count - 1;
        for (int r = first; r <= last; ++r)
            if (!model()->isRowCached(r)) return false;
        return true;
    }

    bool rowVisible(int row) const {
        const QRect r = grid->visualRect(model()->index(row, 0));
        return r.isValid() && r.top() >= 0 && r.bottom() < grid->viewport()->height();
    }

    // The grid's selected row is the table's current row, and it is on the screen.
    bool followsCursor() const {
        const QModelIndex at = grid->currentIndex();
        return at.isValid() && table->rowId() != 0 &&
               model()->rowIdAt(at.row()) == table->rowId() && rowVisible(at.row());
    }

    // Runs the event loop until the grid painted (after `paintsBefore`) what `done` waits for.
    template <class Done> void waitPainted(int paintsBefore, Done&& done) {
        QElapsedTimer guard;
        guard.start();
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if (grid->paints > paintsBefore && visibleRowsCached() && done()) return;
            if (guard.elapsed() > kStepTimeoutMs) {
                std::fprintf(stderr, "the grid did not settle within %lld s\n",
                             kStepTimeoutMs / 1000);
                std::exit(1);
            }
        }
    }

    // Lets timers and posted events of the previous step run before the next one is timed.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        maxHeld = std::max(maxHeld, model()->cachedRowCount());
    }

    void key(int k) {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &press);
        QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier);
        QCoreApplication::sendEvent(grid, &release);
    }
};

struct Sample {
    std::vector<double> ms;
    std::vector<int> calls; // rowsAt calls per sample
    qint64 hwmKb = 0;       // the process's peak memory after the measure's first sample
};

// What SQLite itself holds (its page cache above all), in kB; `peak` since the start.
qint64 sqliteKb(bool peak) {
    sqlite3_int64 now = 0, high = 0;
    if (sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &now, &high, 0) != SQLITE_OK) return 0;
    return (peak ? high : now) / 1024;
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto options = parse(argc, argv);
    if (!options) return 2;
    QApplication app(argc, argv);

    std::unique_ptr<QTemporaryDir> temp;
    QString mainDir = options->dir;
    if (mainDir.isEmpty()) {
        temp = std::make_unique<QTemporaryDir>(
            QDir::temp().filePath(QStringLiteral("bench_grid-XXXXXX")));
        if (!temp->isValid()) {
            std::fprintf(stderr, "cannot make a temporary folder\n");
            return 1;
        }
        mainDir = temp->path();
    }
    mainDir = QDir(mainDir).absolutePath();
    if (!hasSample(mainDir) && !makeSample(mainDir, options->items)) return 1;
    const QString folder = QDir(mainDir).filePath(kCatalogue);

    const qint64 hwmBefore = procStatusKb("VmHWM");

    Bench b;
    CountingTable table(folder, kItems);
    table.setIndexName(kOrder);
    PaintedGrid grid;
    grid.resize(1000, 600);
    for (const char* c : kColumns)
        grid.addColumn(QString::fromLatin1(c));
    grid.setFieldWidth(QStringLiteral("Tow_Nazwa"), 300);
    grid.setFieldWidth(QStringLiteral("Tow_Nazwa2"), 250);
    grid.setDataSet(&table);
    grid.show();
    b.table = &table;
    b.grid = &grid;
    b.settle();

    std::vector<QString> order; // measures in the order they are printed
    std::map<QString, Sample> samples;
    auto measure = [&](const QString& name, auto&& work) {
        if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
        const int callsBefore = table.calls;
        QElapsedTimer t;
        t.start();
        work();
        const double ms = double(t.nsecsElapsed()) / 1e6;
        Sample& s = samples[name];
        s.ms.push_back(ms);
        s.calls.push_back(table.calls - callsBefore);
        if (s.hwmKb == 0) s.hwmKb = procStatusKb("VmHWM");
        b.settle();
    };
    // The scroll bar counts rows: its value is the top row.
    auto scrollTo = [&](int value) {
        const int before = grid.paints;
        grid.verticalScrollBar()->setValue(value);
        b.waitPainted(before, [&] { return grid.rowAt(0) == value; });
    };
    auto press = [&](int k, auto&& done) {
        const int before = grid.paints;
        b.key(k);
        b.waitPainted(before, done);
    };

    int count = 0;
    int callsPerRun = 0;
    qint64 rowsPerRun = 0;
    std::vector<double> findOnly;
    std::map<QString, std::vector<double>> byPrefix;
    try {
        for (int run = 0; run < options->runs; ++run) {
            table.close();
            b.settle();
            const int callsAtStart = table.calls;
            const qint64 rowsAtStart = table.rowsRead;

            measure(QStringLiteral("open"), [&] {
                const int before = grid.paints;
                table.open();
                b.waitPainted(before, [&] { return b.model()->isRowCached(0); });
            });
            count = b.model()->rowCount();
            QScrollBar* bar = grid.verticalScrollBar();

            measure(QStringLiteral("scroll to end"), [&] { scrollTo(bar->maximum()); });
            measure(QStringLiteral("back to top"), [&] { scrollTo(0); });
            measure(QStringLiteral("End key (cursor to last row)"), [&] {
                press(Qt::Key_End,
                      [&] { return grid.currentIndex().row() == count - 1 && b.followsCursor(); });
            });
            measure(QStringLiteral("Home key (cursor to first row)"), [&] {
                press(Qt::Key_Home,
                      [&] { return grid.currentIndex().row() == 0 && b.followsCursor(); });
            });
            measure(QStringLiteral("page down x20"), [&] {
                for (int i = 0; i < kPageDowns; ++i) {
                    const int from = grid.currentIndex().row();
                    press(Qt::Key_PageDown,
                          [&] { return grid.currentIndex().row() > from && b.followsCursor(); });
                }
            });
            measure(QStringLiteral("jump to middle"), [&] { scrollTo(bar->maximum() / 2); });
            // Far from every window held and from every row the table knows the position of.
            measure(QStringLiteral("back to top from middle"), [&] { scrollTo(0); });
            for (const char* prefix : kPrefixes) {
                measure(QStringLiteral("cursor move (findNearest + grid follows)"), [&] {
                    const int before = grid.paints;
                    QElapsedTimer find;
                    find.start();
                    table.findNearest({QString::fromUtf8(prefix)});
                    findOnly.push_back(double(find.nsecsElapsed()) / 1e6);
                    b.waitPainted(before, [&] { return b.followsCursor(); });
                    byPrefix[QString::fromUtf8(prefix)].push_back(double(find.nsecsElapsed()) /
                                                                  1e6);
                });
            }
            callsPerRun = std::max(callsPerRun, table.calls - callsAtStart);
            rowsPerRun = std::max(rowsPerRun, table.rowsRead - rowsAtStart);
        }
    } catch (const engine::EngineError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }

    const qint64 hwmAfter = procStatusKb("VmHWM");
    for (const QString& name : order)
        std::printf("%s: %.2f ms\n", qPrintable(name), median(samples[name].ms));
    std::printf("rows loaded: %lld of %d\n", rowsPerRun, count);
    std::printf("peak memory before opening: %.1f MB\n", mb(hwmBefore));
    std::printf("peak memory: %.1f MB\n", mb(hwmAfter));

    std::printf("\n%s, %d items, %d runs, grid %dx%d, %d rows on screen\n", qPrintable(folder),
                count, options->runs, grid.width(), grid.height(),
                grid.rowAt(grid.viewport()->height() - 1) - grid.rowAt(0) + 1);
    std::printf("%-42s %9s %9s %9s %14s %10s\n", "measure", "median", "min", "max", "rowsAt calls",
                "peak MB*");
    for (const QString& name : order) {
        const Sample& s = samples[name];
        std::vector<double> calls(s.calls.begin(), s.calls.end());
        std::printf("%-42s %9.2f %9.2f %9.2f %14.1f %10.1f\n", qPrintable(name), median(s.ms),
                    *std::min_element(s.ms.begin(), s.ms.end()),
                    *std::max_element(s.ms.begin(), s.ms.end()), median(calls), mb(s.hwmKb));
    }
    std::printf("%-42s %9.2f\n", "  of which Table::findNearest alone", median(findOnly));
    for (const char* prefix : kPrefixes) {
        const auto& v = byPrefix[QString::fromUtf8(prefix)];
        // Padded as text: printf would count the bytes of the Polish letters.
        const QString label =
            QStringLiteral("  \"%1\"").arg(QString::fromUtf8(prefix)).leftJustified(42);
        std::printf("%s %9.2f %9.2f %9.2f\n", qPrintable(label), median(v),
                    *std::min_element(v.begin(), v.end()), *std::max_element(v.begin(), v.end()));
    }
    std::printf("* the process's peak memory once the measure was first taken\n");
    std::printf("rowsAt calls per run: %d (windows of %d rows; the model keeps at most %d)\n",
                callsPerRun, ui::DbGridModel::kWindowRows, ui::DbGridModel::kMaxWindows);
    std::printf("rows read per run (rows loaded): %lld; rows held by the model at most: %d\n",
                rowsPerRun, b.maxHeld);
    std::printf("SQLite's own memory (page cache included): %.1f MB now, %.1f MB at most\n",
                mb(sqliteKb(false)), mb(sqliteKb(true)));
    std::printf("resident now: %.1f MB\n", mb(procStatusKb("VmRSS")));
    return 0;
}
