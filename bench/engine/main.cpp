// The engine benchmark: builds a catalogue of a realistic shape through the engine, then times
// the work the screens do on it, each measure once through the engine and once as the same work
// on the bare sqlite3 C API, and prints the medians side by side.
//
//   bench_engine [--items N] [--dir DIR] [--keep] [--quick] [--plans] [--analyze]
//                [--min-time S] [--repetitions N] [--iterations N] [benchmark flags...]

#include "catalogue.h"
#include "engine/database.h"
#include "engine/error.h"
#include "measures.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <unistd.h>
#include <vector>

using namespace engine;
using namespace engine::bench;

namespace {

struct Options {
    qint64 items = 100000;
    bool itemsGiven = false;
    QString dir;
    bool keep = false;
    bool quick = false;
    bool plans = false;
    bool analyze = false;
    double minTime = 0;  // seconds per repetition; 0 = the mode's default
    int repetitions = 0; // 0 = the mode's default
    long iterations = 0; // 0 = by time
};

void usage() {
    std::printf(
        "bench_engine [--items N] [--dir DIR] [--keep] [--quick] [--plans] [--analyze]\n"
        "             [--min-time S] [--repetitions N] [--iterations N] [--benchmark_...]\n"
        "  --items N   items in the catalogue (default 100000; 10 values each)\n"
        "  --dir DIR   build in DIR and keep it; a catalogue of N items already there is reused\n"
        "  --keep      keep the temporary folder (printed) instead of removing it\n"
        "  --quick     20000 items (unless --items), few repetitions: a smoke run\n"
        "  --plans     print EXPLAIN QUERY PLAN of the statements measured\n"
        "  --analyze   run ANALYZE first (the statistics stay in the folder's database)\n"
        "  --min-time S, --repetitions N   per measure (defaults 0.1 s x 11; quick 0.02 s x 3)\n"
        "  --iterations N   exactly N iterations per measure, no warm-up: for counting\n"
        "                   instructions under callgrind, which the host's speed does not sway\n");
}

// Takes our own flags out of argv, leaving Google Benchmark's.
std::optional<Options> parse(int& argc, char** argv) {
    Options o;
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "%s needs a value\n", a);
                return nullptr;
            }
            return argv[++i];
        };
        if (!std::strcmp(a, "--items")) {
            const char* v = value();
            if (!v) return std::nullopt;
            char* end = nullptr;
            o.items = std::strtoll(v, &end, 10);
            if (*end || o.items < 5000) {
                std::fprintf(stderr, "--items wants a number of at least 5000\n");
                return std::nullopt;
            }
            o.itemsGiven = true;
        } else if (!std::strcmp(a, "--dir")) {
            const char* v = value();
            if (!v) return std::nullopt;
            o.dir = QString::fromLocal8Bit(v);
        } else if (!std::strcmp(a, "--min-time") || !std::strcmp(a, "--repetitions") ||
                   !std::strcmp(a, "--iterations")) {
            const char* v = value();
            if (!v) return std::nullopt;
            char* end = nullptr;
            const double d = std::strtod(v, &end);
            if (*end || d <= 0) {
                std::fprintf(stderr, "%s wants a positive number\n", a);
                return std::nullopt;
            }
            if (a[2] == 'm')
                o.minTime = d;
            else if (a[2] == 'r')
                o.repetitions = int(d);
            else
                o.iterations = long(d);
        } else if (!std::strcmp(a, "--keep")) {
            o.keep = true;
        } else if (!std::strcmp(a, "--quick")) {
            o.quick = true;
        } else if (!std::strcmp(a, "--analyze")) {
            o.analyze = true;
        } else if (!std::strcmp(a, "--plans")) {
            o.plans = true;
        } else if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            usage();
            std::exit(0);
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    argv[argc] = nullptr;
    if (o.quick && !o.itemsGiven) o.items = 20000;
    return o;
}

double toMs(double t, benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kNanosecond:
        return t / 1e6;
    case benchmark::kMicrosecond:
        return t / 1e3;
    case benchmark::kMillisecond:
        return t;
    case benchmark::kSecond:
        return t * 1e3;
    }
    return t;
}

struct Median {
    double cpuMs = 0;  // CPU time, user and system
    double wallMs = 0; // includes time the machine gave to other processes
};

// Google Benchmark's table as usual, and the medians kept for the paired summary.
class SummaryReporter : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;
    std::map<std::string, Median> medians; // "<id>/ours" -> ms

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            const bool single = r.run_type == Run::RT_Iteration && r.repetitions <= 1;
            if (median || single)
                medians[r.run_name.function_name] = {toMs(r.GetAdjustedCPUTime(), r.time_unit),
                                                     toMs(r.GetAdjustedRealTime(), r.time_unit)};
        }
    }

    std::optional<std::pair<Median, Median>> pair(const Measure& m) const {
        auto ours = medians.find(std::string(m.id) + "/ours");
        auto raw = medians.find(std::string(m.id) + "/raw");
        if (ours == medians.end() || raw == medians.end()) return std::nullopt;
        return std::pair{ours->second, raw->second};
    }
};

std::string ms(double v) {
    const int decimals = v < 0.01 ? 5 : v < 1 ? 4 : v < 100 ? 2 : 1;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

int run(int argc, char** argv) {
    auto options = parse(argc, argv);
    if (!options) return 2;
    const Options& o = *options;
    // The two sides of a measure run in turns, repetition by repetition in a random order, so
    // that a slow spell of a shared machine falls on both rather than on the one running then.
    std::vector<char*> args(argv, argv + argc);
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    if (std::none_of(args.begin(), args.end(), [](const char* a) {
            return std::strncmp(a, "--benchmark_enable_random_interleaving", 38) == 0;
        }))
        args.push_back(interleave);
    args.push_back(nullptr);
    argc = int(args.size()) - 1;
    argv = args.data();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 2;
    QCoreApplication app(argc, argv);

    std::optional<QTemporaryDir> temp;
    QString folder = o.dir;
    if (folder.isEmpty()) {
        temp.emplace(QDir::temp().filePath(QStringLiteral("bench_engine-XXXXXX")));
        if (!temp->isValid()) {
            std::fprintf(stderr, "cannot create a temporary folder\n");
            return 1;
        }
        temp->setAutoRemove(!o.keep);
        folder = temp->path();
    } else if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", qPrintable(folder));
        return 1;
    }
    folder = QDir(folder).absolutePath();
    std::printf("catalogue folder: %s%s\n", qPrintable(folder),
                temp && !o.keep ? " (removed at the end)" : "");
    std::fflush(stdout);

    const CatalogueInfo info = prepareCatalogue(folder, o.items, !o.dir.isEmpty());
    std::string buildLine;
    {
        char buf[256];
        if (info.reused)
            std::snprintf(
                buf, sizeof buf,
                "build: reused the catalogue already in the folder (%lld items, %lld values)",
                static_cast<long long>(info.items), static_cast<long long>(info.values));
        else
            std::snprintf(
                buf, sizeof buf,
                "build: %lld items + %lld values through the engine in one transaction: %.1f s "
                "(%.0f rows/s)",
                static_cast<long long>(info.items), static_cast<long long>(info.values),
                info.buildSeconds, double(info.items + info.values) / info.buildSeconds);
        buildLine = buf;
        std::snprintf(buf, sizeof buf, "\ndatabase file: %.1f MB (%lld bytes)",
                      double(info.fileBytes) / 1048576.0, static_cast<long long>(info.fileBytes));
        buildLine += buf;
    }
    std::printf("%s\n", buildLine.c_str());

    // A catalogue made by the sample generator or loaded with pelkdb carries planner statistics;
    // one filled row by row through the program gets them from PRAGMA optimize when closed.
    // Whether the file holds some decides plans, so a fresh build gathers them like a load does.
    std::string statsLine;
    {
        auto db = Database::open(folder);
        if (o.analyze || !info.reused) {
            QElapsedTimer clock;
            clock.start();
            db->exec(QStringLiteral("ANALYZE"));
            statsLine =
                "planner statistics: ANALYZE run now, " + std::to_string(clock.elapsed()) + " ms";
        } else {
            Statement st = db->prepare(
                QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'sqlite_stat1'"));
            const bool present = st.step() && st.columnInt(0) > 0;
            statsLine = present
                            ? "planner statistics: present (sqlite_stat1, from an earlier ANALYZE)"
                            : "planner statistics: none (as the engine leaves a database)";
        }
    }
    std::printf("%s\n", statsLine.c_str());

    BenchContext ctx;
    ctx.folder = folder;
    ctx.items = o.items;
    ctx.repetitions = o.repetitions ? o.repetitions : o.quick ? 3 : 11;
    ctx.minTime = o.minTime > 0 ? o.minTime : o.quick ? 0.02 : 0.1;
    ctx.warmUp = o.quick ? 0 : 0.05;
    ctx.iterations = o.iterations;
    ctx.db = Database::open(folder);
    ctx.raw = std::make_unique<RawDb>(QDir(folder).filePath(Database::fileName()));
    prepareInputs(ctx);
    if (o.plans) printPlans(ctx);
    const bool same = checkSameRows(ctx);
    std::printf("check: %s\n", same ? "every measure reads the same rows through the engine as raw"
                                    : "DIFFERENT ROWS, see above");
    std::fflush(stdout);

    registerMeasures(ctx);
    SummaryReporter reporter(isatty(fileno(stdout)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                    : benchmark::ConsoleReporter::OO_Tabular);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    // The pairs in CPU time (user and system): on a shared machine the wall clock also counts
    // the time other processes took, which falls unevenly on the two sides. The wall clock
    // follows.
    std::printf("\n--- %lld items, medians of %d repetitions, CPU time ---\n",
                static_cast<long long>(o.items), ctx.repetitions);
    std::printf("%s\n%s\n", buildLine.c_str(), statsLine.c_str());
    auto line = [](const char* prefix, const Measure& m, double ours, double raw) {
        std::printf("%s%s: ours %s ms, raw %s ms, ratio %.2f\n", prefix, m.title, ms(ours).c_str(),
                    ms(raw).c_str(), raw > 0 ? ours / raw : 0.0);
    };
    for (const Measure& m : measures())
        if (auto p = reporter.pair(m)) line("", m, p->first.cpuMs, p->second.cpuMs);
    std::printf("wall clock:\n");
    for (const Measure& m : measures())
        if (auto p = reporter.pair(m)) line("  wall/", m, p->first.wallMs, p->second.wallMs);
    std::printf("targets at 1,000,000 items (%s), CPU time:\n",
                o.items >= 1000000 ? "this run" : "this run is smaller");
    for (const Measure& m : measures()) {
        auto p = reporter.pair(m);
        if (m.targetMs <= 0 || !p) continue;
        const bool fast = p->first.cpuMs <= m.targetMs;
        const bool close = p->first.cpuMs <= 2 * p->second.cpuMs;
        std::printf("  %s: <= %s ms %s, within 2x raw %s\n", m.title, ms(m.targetMs).c_str(),
                    fast ? "met" : "MISSED", close ? "met" : "MISSED");
    }

    ctx.raw.reset();
    ctx.db.reset();
    if (temp && o.keep) std::printf("kept: %s\n", qPrintable(folder));
    return same ? 0 : 3;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const EngineError& e) {
        std::fprintf(stderr, "engine error: %s\n", e.what());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
    }
    return 1;
}
