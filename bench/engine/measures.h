#pragma once
#include "engine/database.h"
#include "rawsqlite.h"
#include <QString>
#include <memory>
#include <string>
#include <vector>

// The measures of the engine benchmark: each is one piece of work a screen does, timed through
// the engine ("ours") and as the same work on the bare sqlite3 C API ("raw").
namespace engine::bench {

struct Measure {
    const char* id;    // benchmark family prefix: "<id>/ours", "<id>/raw"
    const char* title; // as printed in the summary
    double targetMs;   // at 1,000,000 items; 0 = no target
};
const std::vector<Measure>& measures();

struct BenchContext {
    QString folder;
    qint64 items = 0;
    int repetitions = 5;
    double minTime = 0.2;
    double warmUp = 0.05;
    long iterations = 0; // a fixed count without warm-up instead of a time (0: by time)

    // Held for the whole run, as the program holds the database of its open folder.
    std::shared_ptr<Database> db;
    std::unique_ptr<RawDb> raw;

    // Inputs drawn once (fixed seed), the same for both sides.
    std::vector<QString> prefixes; // 2-4 leading letters of real names, mixed case
    std::vector<std::string> prefixesUtf8;
    struct Start {
        qint64 rowid;
        QString name;
        std::string nameUtf8;
    };
    std::vector<Start> starts;       // rows with at least 1000 rows after them in name order
    std::vector<qint64> detailItems; // Tow_nr of random items
};

void prepareInputs(BenchContext& ctx);
// Runs every measure once both ways and compares the rows they read; prints any difference.
bool checkSameRows(BenchContext& ctx);
// EXPLAIN QUERY PLAN of the statements the measures run.
void printPlans(BenchContext& ctx);
void registerMeasures(BenchContext& ctx);

// The query builder's text of the query measure, as a screen writes it.
QStringList queryLines();

} // namespace engine::bench
