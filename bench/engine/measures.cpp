#include "measures.h"
#include "catalogue.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/filterexpr.h"
#include "engine/localsql.h"
#include "engine/query.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include <benchmark/benchmark.h>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <stdexcept>

namespace engine::bench {

namespace {

const char* const kItemCols =
    "Tow_nr, Tow_Grupa_nr, Tow_Nazwa, Tow_Kod_Prod, Tow_Nr_Producent, Tow_SRP, "
    "Tow_Symbol, Tow_Uwagi, Tow_Nazwa2";
const char* const kFilter = "tow_grupa_nr=4 and tow_nazwa = 'ŚRUBA*'";
constexpr int kFilterRows = 20;
constexpr int kWalk = 1000;

std::string itemSelect(const char* tail) {
    return std::string("SELECT rowid, ") + kItemCols + " FROM Towar " + tail;
}

const std::string& sqlOpenPage() {
    static const std::string s = itemSelect("ORDER BY Tow_Nazwa COLLATE PL, rowid LIMIT 16");
    return s;
}
const char* const kSqlCount = "SELECT count(*) FROM Towar";
const std::string& sqlNearest() {
    static const std::string s =
        itemSelect("WHERE Tow_Nazwa COLLATE PL >= ?1 ORDER BY Tow_Nazwa COLLATE PL, rowid LIMIT 1");
    return s;
}
const std::string& sqlWalk() {
    // A row value seeks once and then steps along the index.
    static const std::string s = itemSelect(
        "WHERE (Tow_Nazwa, rowid) >= (?1 COLLATE PL, ?2) ORDER BY Tow_Nazwa COLLATE PL, rowid");
    return s;
}
const std::string& sqlFiltered() {
    static const std::string s = itemSelect(
        "WHERE Tow_Grupa_nr = ?1 AND Tow_Nazwa COLLATE PL >= ?2 AND Tow_Nazwa COLLATE PL < ?3 "
        "ORDER BY Tow_Nazwa COLLATE PL, rowid LIMIT 20");
    return s;
}
const std::string& sqlItemByNr() {
    static const std::string s = itemSelect("WHERE Tow_nr = ?1");
    return s;
}
const char* const kSqlDetail =
    "SELECT rowid, Opis_Tow_Nr, Opis_Cecha_Nr, Opis_Nr, Opis_Opis FROM Opis "
    "WHERE Opis_Tow_Nr = ?1 ORDER BY Opis_Cecha_Nr, Opis_Nr";
// The query measure's text with the engine's own SQL functions: the built-in upper() leaves
// Polish letters alone and CAST reads no decimal comma, so they would find other rows.
const char* const kSqlQuery =
    "SELECT DISTINCT Towar.* FROM Towar, Opis WHERE Towar.Tow_Nr = Opis.Opis_Tow_Nr "
    "AND pl_upper(Towar.Tow_Nazwa) LIKE ?1 "
    "AND Opis.Opis_Cecha_Nr = 3 AND pl_num(Opis.Opis_Opis) >= 10.5 "
    "ORDER BY Towar.Tow_Nazwa COLLATE PL, Towar.rowid";
const char* const kQueryPattern = "%ŚRUBA%";

QString qs(const char* s) {
    return QString::fromUtf8(s);
}

std::string utf8(const QString& s) {
    const QByteArray b = s.toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

std::unique_ptr<Table> openItems(BenchContext& ctx, const char* index) {
    auto t = std::make_unique<Table>(ctx.folder, QStringLiteral("Towar"));
    if (index) t->setIndexName(qs(index));
    t->open();
    return t;
}

// Steps through the rest of a data set; returns how many rows it had (current one included).
int walkToEnd(DataSet& d) {
    if (d.isEmpty()) return 0;
    int n = 1;
    for (d.next(); !d.eof(); d.next())
        ++n;
    return n;
}

// The statements of the engine's record locks, for the raw side of the saving measures.
const char* const kSqlLockHolder =
    "SELECT l.owner, o.user FROM _pelk_locks l JOIN _pelk_owners o ON o.owner = l.owner "
    "WHERE l.tbl = ?1 AND l.rid = ?2 AND l.owner <> ?3 AND o.expires > ?4";
const char* const kSqlLock =
    "INSERT OR REPLACE INTO _pelk_locks(tbl, rid, owner) VALUES(?1, ?2, ?3)";
const char* const kSqlUnlock = "DELETE FROM _pelk_locks WHERE tbl = ?1 AND rid = ?2 AND owner = ?3";
constexpr std::string_view kRawOwner = "bench-raw";

void run(RawStmt& st) {
    while (st.step()) {
    }
    st.reset();
}

// Rows made to be deleted: past every real item, so that they sort last by number. They are
// written on the connection of the side being measured: a write on the other connection would
// make the measured one read its cached pages again, a cost the measure is not about.
class InsertVictim {
public:
    // On the raw side's connection.
    explicit InsertVictim(BenchContext& c)
        : insert_(std::in_place, *c.raw, insertSql()), name_(utf8(QStringLiteral("DO USUNIĘCIA"))),
          next_(c.items + 1000000) {}
    // On the engine's connection.
    InsertVictim(BenchContext& c, std::shared_ptr<Database> db)
        : db_(std::move(db)), next_(c.items + 1000000) {}
    std::int64_t make() {
        if (insert_) {
            insert_->bind(1, std::int64_t(next_)).bind(2, std::int64_t(kScrewGroup)).bind(3, name_);
            run(*insert_);
        } else {
            Statement st = db_->prepare(QString::fromStdString(insertSql()));
            st.bindAll({next_, kScrewGroup, QStringLiteral("DO USUNIĘCIA")});
            st.step();
        }
        return std::int64_t(next_++);
    }

private:
    static std::string insertSql() {
        return std::string("INSERT INTO Towar (") + kItemCols +
               ") VALUES (?1, ?2, ?3, NULL, NULL, NULL, NULL, NULL, NULL)";
    }
    std::optional<RawStmt> insert_;
    std::shared_ptr<Database> db_;
    std::string name_;
    qint64 next_;
};

// Deletes one row on the engine's connection, outside the measured time.
void dropOnEngine(Database& db, qint64 rowid) {
    Statement st = db.prepare(QStringLiteral("DELETE FROM Towar WHERE rowid = ?"));
    st.bind(1, rowid);
    st.step();
}

// The durable work of an edit and post of one item's price on the bare C API.
class RawPostEdit {
public:
    explicit RawPostEdit(RawDb& db)
        : begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT"), held(db, kSqlLockHolder),
          lock(db, kSqlLock), unlock(db, kSqlUnlock), row(db, itemSelect("WHERE rowid = ?1")),
          update(db, "UPDATE Towar SET Tow_SRP = ?1 WHERE rowid = ?2") {}
    std::uint64_t run(std::int64_t id) {
        std::uint64_t sum = 0;
        step(begin);
        held.bind(1, std::string_view("towar")).bind(2, id).bind(3, kRawOwner);
        held.bind(4, std::int64_t(0));
        if (held.step()) sum += held.consumeRow();
        held.reset();
        lock.bind(1, std::string_view("towar")).bind(2, id).bind(3, kRawOwner);
        step(lock);
        step(commit);
        step(begin);
        row.bind(1, id);
        double old = 0;
        if (row.step()) {
            sum += row.consumeRow();
            old = sqlite3_column_double(row.handle(), 6);
        }
        row.reset();
        update.bind(1, old + 1).bind(2, id);
        step(update);
        unlock.bind(1, std::string_view("towar")).bind(2, id).bind(3, kRawOwner);
        step(unlock);
        step(commit);
        row.bind(1, id);
        if (row.step()) sum += row.consumeRow();
        row.reset();
        return sum;
    }

private:
    static void step(RawStmt& st) { engine::bench::run(st); }
    RawStmt begin, commit, held, lock, unlock, row, update;
};

template <class F> void guarded(benchmark::State& state, F&& body) {
    try {
        body();
    } catch (const EngineError& e) {
        state.SkipWithError(e.what());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

} // namespace

const std::vector<Measure>& measures() {
    static const std::vector<Measure> m = {
        {"open_name_order", "open in name order", 300},
        {"nearest_search", "nearest search", 1},
        {"next_1000", "1000 x next", 0},
        {"open_filtered", "open with filter", 0},
        {"reread_unchanged", "re-read unchanged", 0.05},
        {"detail_range", "detail range", 0.2},
        {"detail_master", "detail via master", 0},
        {"query_builder", "query builder", 0},
        {"post_edit", "edit + post", 0},
        {"append_post", "append + post", 0},
        {"delete_row", "delete", 0},
        {"post_far_jump", "edit + post, far jump", 0},
    };
    return m;
}

QStringList queryLines() {
    return {qs("SELECT DISTINCT Towar.*"),
            qs("FROM Towar , Opis"),
            qs("WHERE"),
            qs("Towar.Tow_Nr=Opis.Opis_Tow_Nr"),
            qs("and"),
            qs("Upper(Towar.Tow_Nazwa) LIKE \"%ŚRUBA%\""),
            qs("and"),
            qs("(Opis.Opis_Cecha_Nr=3 and"),
            qs("CAST(Opis.Opis_Opis AS NUMERIC)>=10.5"),
            qs(")"),
            qs("ORDER BY Towar.Tow_Nazwa")};
}

void prepareInputs(BenchContext& ctx) {
    std::mt19937_64 rng(424242);
    auto uni = [&](qint64 lo, qint64 hi) {
        return std::uniform_int_distribution<qint64>(lo, hi)(rng);
    };
    RawStmt name(*ctx.raw, "SELECT Tow_Nazwa FROM Towar WHERE rowid = ?1");
    auto nameOf = [&](qint64 rowid) {
        name.bind(1, std::int64_t(rowid));
        QString s = name.step() ? QString::fromStdString(name.text(0)) : QString();
        name.reset();
        return s;
    };

    ctx.prefixes.clear();
    ctx.prefixesUtf8.clear();
    while (ctx.prefixes.size() < 1000) {
        const QString n = nameOf(uni(1, ctx.items));
        QString p = n.left(int(uni(2, 4))).trimmed();
        if (p.size() < 2) continue;
        for (auto& c : p)
            c = uni(0, 1) ? c.toUpper() : c.toLower();
        ctx.prefixes.push_back(p);
        ctx.prefixesUtf8.push_back(utf8(p));
    }

    RawStmt after(*ctx.raw, "SELECT count(*) FROM (SELECT 1 FROM Towar WHERE (Tow_Nazwa, rowid) > "
                            "(?1 COLLATE PL, ?2) LIMIT 1000)");
    ctx.starts.clear();
    for (int tries = 0; ctx.starts.size() < 200 && tries < 10000; ++tries) {
        const qint64 rowid = uni(1, ctx.items);
        BenchContext::Start s{rowid, nameOf(rowid), {}};
        s.nameUtf8 = utf8(s.name);
        after.bind(1, std::string_view(s.nameUtf8)).bind(2, std::int64_t(rowid));
        const bool enough = after.step() && after.integer(0) >= kWalk;
        after.reset();
        if (enough) ctx.starts.push_back(std::move(s));
    }

    if (ctx.starts.empty()) throw std::runtime_error("no row has 1000 rows after it");

    ctx.detailItems.clear();
    for (int i = 0; i < 1000; ++i)
        ctx.detailItems.push_back(uni(1, ctx.items));
}

// --- Checks ---------------------------------------------------------------------------------

bool checkSameRows(BenchContext& ctx) {
    bool ok = true;
    auto differ = [&](const char* what, const QString& detail) {
        std::fprintf(stderr, "CHECK FAILED: %s: %s\n", what, detail.toUtf8().constData());
        ok = false;
    };
    RawDb& raw = *ctx.raw;

    {
        auto t = openItems(ctx, "wg_Tow_Nazwa");
        RawStmt page(raw, sqlOpenPage()), count(raw, kSqlCount);
        page.step();
        count.step();
        if (t->rowId() != page.integer(0) || t->recordCount() != count.integer(0))
            differ("open in name order", QStringLiteral("first row %1 / %2, count %3 / %4")
                                             .arg(t->rowId())
                                             .arg(page.integer(0))
                                             .arg(t->recordCount())
                                             .arg(count.integer(0)));
    }
    {
        auto t = openItems(ctx, "wg_Tow_Nazwa");
        RawStmt near(raw, sqlNearest());
        for (size_t i = 0; i < ctx.prefixes.size(); ++i) {
            t->findNearest({ctx.prefixes[i]});
            near.bind(1, std::string_view(ctx.prefixesUtf8[i]));
            const qint64 r = near.step() ? near.integer(0) : -1;
            near.reset();
            if (t->rowId() != r) {
                differ("nearest search",
                       QStringLiteral("'%1': %2 / %3").arg(ctx.prefixes[i]).arg(t->rowId()).arg(r));
                break;
            }
        }
    }
    {
        auto t = openItems(ctx, "wg_Tow_Nazwa");
        RawStmt walk(raw, sqlWalk());
        for (size_t s = 0; s < std::min<size_t>(ctx.starts.size(), 10); ++s) {
            const auto& st = ctx.starts[s];
            t->gotoRowId(st.rowid);
            walk.bind(1, std::string_view(st.nameUtf8)).bind(2, std::int64_t(st.rowid));
            for (int i = 0; i <= kWalk; ++i) {
                const qint64 r = walk.step() ? walk.integer(0) : -1;
                if (t->rowId() != r) {
                    differ("1000 x next", QStringLiteral("start %1, step %2: %3 / %4")
                                              .arg(st.rowid)
                                              .arg(i)
                                              .arg(t->rowId())
                                              .arg(r));
                    break;
                }
                t->next();
            }
            walk.reset();
        }
    }
    {
        Table t(ctx.folder, QStringLiteral("Towar"));
        t.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
        t.setFilter(qs(kFilter));
        t.setFiltered(true);
        t.open();
        RawStmt f(raw, sqlFiltered());
        const std::string from = utf8(qs(kScrewPrefix)),
                          to = utf8(prefixUpperBound(qs(kScrewPrefix)));
        f.bind(1, std::int64_t(kScrewGroup))
            .bind(2, std::string_view(from))
            .bind(3, std::string_view(to));
        int n = 0;
        for (; n < kFilterRows; ++n) {
            const qint64 r = f.step() ? f.integer(0) : -1;
            if (t.eof() && r == -1) break;
            if (t.rowId() != r) {
                differ("open with filter",
                       QStringLiteral("row %1: %2 / %3").arg(n).arg(t.rowId()).arg(r));
                break;
            }
            t.next();
        }
        if (n < kFilterRows)
            differ("open with filter", QStringLiteral("only %1 rows match").arg(n));
    }
    {
        Table opis(ctx.folder, QStringLiteral("Opis"));
        opis.open();
        auto towar = openItems(ctx, nullptr);
        Table follower(ctx.folder, QStringLiteral("Opis"));
        follower.setMaster(towar.get(), QStringLiteral("Tow_nr"));
        follower.open();
        RawStmt d(raw, kSqlDetail);
        for (size_t i = 0; i < 100 && i < ctx.detailItems.size(); ++i) {
            const qint64 nr = ctx.detailItems[i];
            opis.setRange({nr});
            towar->findKey({nr});
            d.bind(1, std::int64_t(nr));
            std::vector<qint64> want, byRange, byMaster;
            while (d.step())
                want.push_back(d.integer(0));
            d.reset();
            for (bool more = !opis.isEmpty(); more; opis.next(), more = !opis.eof())
                byRange.push_back(opis.rowId());
            for (bool more = !follower.isEmpty(); more; follower.next(), more = !follower.eof())
                byMaster.push_back(follower.rowId());
            if (want.size() != size_t(kValuesPerItem) || byRange != want || byMaster != want) {
                differ("detail", QStringLiteral("item %1: raw %2 rows, range %3, master %4")
                                     .arg(nr)
                                     .arg(want.size())
                                     .arg(byRange.size())
                                     .arg(byMaster.size()));
                break;
            }
        }
    }
    {
        Query q;
        q.setDatabaseName(ctx.folder);
        q.setSql(queryLines());
        q.open();
        RawStmt r(raw, kSqlQuery);
        r.bind(1, std::string_view(kQueryPattern));
        int n = 0;
        bool same = true;
        for (bool more = !q.isEmpty(); more; q.next(), more = !q.eof(), ++n) {
            if (!r.step() || r.integer(0) != q.value(QStringLiteral("Tow_Nr")).toLongLong()) {
                same = false;
                break;
            }
        }
        if (same && r.step()) same = false;
        if (!same)
            differ("query builder", QStringLiteral("rows differ at row %1").arg(n));
        else
            std::printf("query builder: %d rows match\n", n);
    }
    return ok;
}

void printPlans(BenchContext& ctx) {
    auto plan = [&](const char* title, const std::string& sql) {
        std::printf("%s\n  %s\n", title, sql.c_str());
        RawStmt st(*ctx.raw, "EXPLAIN QUERY PLAN " + sql);
        while (st.step())
            std::printf("    %s\n", st.text(3).c_str());
    };
    plan("open in name order (raw)", sqlOpenPage());
    plan("count (both)", kSqlCount);
    plan("nearest search (raw, and the engine's form)", sqlNearest());
    plan("1000 x next (raw)", sqlWalk());
    plan("engine's next batch",
         itemSelect("WHERE (\"Tow_Nazwa\", rowid) > (? COLLATE PL, ?) ORDER BY \"Tow_Nazwa\" "
                    "COLLATE PL, rowid LIMIT ?"));
    plan("open with filter (raw)", sqlFiltered());
    // The engine's filter condition, as the table object builds it.
    const TableDef def = itemTableDef();
    FilterResolver resolve = [&](const QString& n) -> std::optional<FilterColumn> {
        const FieldDef* f = def.field(n);
        if (!f) return std::nullopt;
        return FilterColumn{u'"' + f->name + u'"', *f};
    };
    const SqlFragment f = translateFilter(qs(kFilter), def.name, resolve);
    plan("open with filter (engine)",
         itemSelect(("WHERE (" + utf8(f.sql) + ") ORDER BY \"Tow_Nazwa\" COLLATE PL, rowid LIMIT ?")
                        .c_str()));
    plan("engine's next batch under the filter",
         itemSelect(
             ("WHERE (" + utf8(f.sql) +
              ") AND \"Tow_Nazwa\" COLLATE PL > ? ORDER BY \"Tow_Nazwa\" COLLATE PL, rowid LIMIT ?")
                 .c_str()));
    plan("re-read unchanged (raw)", "PRAGMA data_version");
    plan("detail (raw)", kSqlDetail);
    plan("item by number (raw)", sqlItemByNr());
    plan("query builder (raw)", kSqlQuery);
    const LocalSqlQuery q = translateLocalSql(
        queryLines().join(u'\n'), [&](const QString& n) { return ctx.db->tableDef(n); });
    plan("query builder (engine's translation)", utf8(q.sql));
}

// --- Measures -------------------------------------------------------------------------------

void registerMeasures(BenchContext& ctx) {
    using Fn = std::function<void(benchmark::State&)>;
    auto add = [&](const char* id, Fn ours, Fn raw) {
        for (auto& [side, fn] : {std::pair{"ours", ours}, std::pair{"raw", raw}}) {
            auto* b = benchmark::RegisterBenchmark((std::string(id) + "/" + side).c_str(),
                                                   [fn](benchmark::State& s) { fn(s); });
            b->Unit(benchmark::kMillisecond)->UseRealTime();
            if (ctx.iterations > 0)
                b->Iterations(ctx.iterations);
            else
                b->MinTime(ctx.minTime);
            if (ctx.warmUp > 0 && ctx.iterations == 0) b->MinWarmUpTime(ctx.warmUp);
            if (ctx.repetitions > 1) b->Repetitions(ctx.repetitions)->ReportAggregatesOnly(true);
        }
    };
    BenchContext* c = &ctx;

    // 1. A grid opens on the items in name order: the first rows and the row count.
    add(
        "open_name_order",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                for (auto _ : s) {
                    Table t(c->folder, QStringLiteral("Towar"));
                    t.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
                    t.open();
                    benchmark::DoNotOptimize(t.rowId());
                    benchmark::DoNotOptimize(t.recordCount());
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt page(*c->raw, sqlOpenPage()), count(*c->raw, kSqlCount);
                for (auto _ : s) {
                    std::uint64_t sum = 0;
                    while (page.step())
                        sum += page.consumeRow();
                    page.reset();
                    count.step();
                    sum += std::uint64_t(count.integer(0));
                    count.reset();
                    benchmark::DoNotOptimize(sum);
                }
            });
        });

    // 2. Typing into the search box: one nearest search per prefix.
    add(
        "nearest_search",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto t = openItems(*c, "wg_Tow_Nazwa");
                size_t k = 0;
                for (auto _ : s) {
                    t->findNearest({c->prefixes[k]});
                    benchmark::DoNotOptimize(t->rowId());
                    k = (k + 1) % c->prefixes.size();
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt near(*c->raw, sqlNearest());
                size_t k = 0;
                for (auto _ : s) {
                    near.bind(1, std::string_view(c->prefixesUtf8[k]));
                    if (near.step()) benchmark::DoNotOptimize(near.consumeRow());
                    near.reset();
                    k = (k + 1) % c->prefixes.size();
                }
            });
        });

    // 3. Scrolling: 1000 rows forward from a row somewhere in the middle.
    add(
        "next_1000",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto t = openItems(*c, "wg_Tow_Nazwa");
                size_t k = 0;
                for (auto _ : s) {
                    s.PauseTiming();
                    t->gotoRowId(c->starts[k].rowid);
                    k = (k + 1) % c->starts.size();
                    s.ResumeTiming();
                    for (int i = 0; i < kWalk; ++i)
                        t->next();
                    benchmark::DoNotOptimize(t->rowId());
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt walk(*c->raw, sqlWalk());
                size_t k = 0;
                for (auto _ : s) {
                    s.PauseTiming();
                    walk.reset();
                    const auto& st = c->starts[k];
                    walk.bind(1, std::string_view(st.nameUtf8)).bind(2, std::int64_t(st.rowid));
                    walk.step(); // standing on the start row, as the table is
                    k = (k + 1) % c->starts.size();
                    s.ResumeTiming();
                    std::uint64_t sum = 0;
                    for (int i = 0; i < kWalk && walk.step(); ++i)
                        sum += walk.consumeRow();
                    benchmark::DoNotOptimize(sum);
                }
                walk.reset();
            });
        });

    // 4. A filtered list: open with the filter switched on, the first 20 rows.
    add(
        "open_filtered",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                const QString filter = qs(kFilter);
                for (auto _ : s) {
                    Table t(c->folder, QStringLiteral("Towar"));
                    t.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
                    t.setFilter(filter);
                    t.setFiltered(true);
                    t.open();
                    for (int i = 1; i < kFilterRows && !t.eof(); ++i)
                        t.next();
                    benchmark::DoNotOptimize(t.rowId());
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt f(*c->raw, sqlFiltered());
                const std::string from = utf8(qs(kScrewPrefix)),
                                  to = utf8(prefixUpperBound(qs(kScrewPrefix)));
                for (auto _ : s) {
                    f.bind(1, std::int64_t(kScrewGroup))
                        .bind(2, std::string_view(from))
                        .bind(3, std::string_view(to));
                    std::uint64_t sum = 0;
                    while (f.step())
                        sum += f.consumeRow();
                    f.reset();
                    benchmark::DoNotOptimize(sum);
                }
            });
        });

    // 5. The periodic re-read of a shown table when nobody changed anything.
    add(
        "reread_unchanged",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto t = openItems(*c, "wg_Tow_Nazwa");
                for (auto _ : s)
                    benchmark::DoNotOptimize(t->refreshIfChanged());
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt dv(*c->raw, "PRAGMA data_version");
                std::int64_t last = dv.step() ? dv.integer(0) : 0;
                dv.reset();
                for (auto _ : s) {
                    bool changed = dv.step() && dv.integer(0) != last;
                    dv.reset();
                    benchmark::DoNotOptimize(changed);
                }
            });
        });

    // 6. The feature values of one item: a range on the value table, all of its rows.
    add(
        "detail_range",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                Table opis(c->folder, QStringLiteral("Opis"));
                opis.open();
                size_t k = 0;
                for (auto _ : s) {
                    opis.setRange({c->detailItems[k]});
                    benchmark::DoNotOptimize(walkToEnd(opis));
                    k = (k + 1) % c->detailItems.size();
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt d(*c->raw, kSqlDetail);
                size_t k = 0;
                for (auto _ : s) {
                    d.bind(1, std::int64_t(c->detailItems[k]));
                    std::uint64_t sum = 0;
                    while (d.step())
                        sum += d.consumeRow();
                    d.reset();
                    benchmark::DoNotOptimize(sum);
                    k = (k + 1) % c->detailItems.size();
                }
            });
        });

    // 6b. The same, the value table following the item table as its master.
    add(
        "detail_master",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto towar = openItems(*c, nullptr);
                Table opis(c->folder, QStringLiteral("Opis"));
                opis.setMaster(towar.get(), QStringLiteral("Tow_nr"));
                opis.open();
                size_t k = 0;
                for (auto _ : s) {
                    towar->findKey({c->detailItems[k]});
                    benchmark::DoNotOptimize(walkToEnd(opis));
                    k = (k + 1) % c->detailItems.size();
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt item(*c->raw, sqlItemByNr()), d(*c->raw, kSqlDetail);
                size_t k = 0;
                for (auto _ : s) {
                    const std::int64_t nr = c->detailItems[k];
                    std::uint64_t sum = 0;
                    item.bind(1, nr);
                    if (item.step()) sum += item.consumeRow();
                    item.reset();
                    d.bind(1, nr);
                    while (d.step())
                        sum += d.consumeRow();
                    d.reset();
                    benchmark::DoNotOptimize(sum);
                    k = (k + 1) % c->detailItems.size();
                }
            });
        });

    // 7. The query builder's text, opened and read to the end.
    add(
        "query_builder",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                const QStringList lines = queryLines();
                for (auto _ : s) {
                    Query q;
                    q.setDatabaseName(c->folder);
                    q.setSql(lines);
                    q.open();
                    benchmark::DoNotOptimize(walkToEnd(q));
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawStmt q(*c->raw, kSqlQuery);
                for (auto _ : s) {
                    q.bind(1, std::string_view(kQueryPattern));
                    std::uint64_t sum = 0;
                    while (q.step())
                        sum += q.consumeRow();
                    q.reset();
                    benchmark::DoNotOptimize(sum);
                }
            });
        });

    // 8. Saving: each side does the same durable work, a commit per step, full sync. An edit
    // locks the row for other installations (a commit), then checks that nobody changed it,
    // writes the field and ends the lock (a commit), and reads the row back to show it.
    add(
        "post_edit",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto t = openItems(*c, nullptr);
                const QString price = QStringLiteral("Tow_SRP");
                size_t k = 0;
                for (auto _ : s) {
                    s.PauseTiming();
                    t->findKey({c->detailItems[k]});
                    k = (k + 1) % c->detailItems.size();
                    s.ResumeTiming();
                    t->edit();
                    t->setValue(price, t->asFloat(price) + 1);
                    t->post();
                    benchmark::DoNotOptimize(t->rowId());
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawPostEdit post(*c->raw);
                size_t k = 0;
                for (auto _ : s) {
                    const std::int64_t id = c->detailItems[k];
                    k = (k + 1) % c->detailItems.size();
                    benchmark::DoNotOptimize(post.run(id));
                }
            });
        });

    // 9. A new item: its number drawn from the counter, the row and the counter written in one
    // commit, the row read back. The row goes again outside the timing.
    add(
        "append_post",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto t = openItems(*c, nullptr);
                const QString name = QStringLiteral("Tow_Nazwa"),
                              group = QStringLiteral("Tow_Grupa_nr");
                for (auto _ : s) {
                    t->append();
                    t->setValue(name, QStringLiteral("WKRĘT TESTOWY"));
                    t->setValue(group, kScrewGroup);
                    t->post();
                    s.PauseTiming();
                    dropOnEngine(*t->database(), t->rowId());
                    s.ResumeTiming();
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawDb& db = *c->raw;
                RawStmt begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT");
                RawStmt seq(db, "SELECT seq FROM _pelk_seq WHERE tbl = ?1 AND field = ?2");
                RawStmt note(db, "INSERT INTO _pelk_seq(tbl, field, seq) VALUES(?1, ?2, ?3) "
                                 "ON CONFLICT(tbl, field) DO UPDATE SET seq = max(seq, "
                                 "excluded.seq)");
                RawStmt insert(db, std::string("INSERT INTO Towar (") + kItemCols +
                                       ") VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9)");
                RawStmt row(db, itemSelect("WHERE rowid = ?1"));
                RawStmt drop(db, "DELETE FROM Towar WHERE rowid = ?1");
                const std::string name = utf8(QStringLiteral("WKRĘT TESTOWY"));
                for (auto _ : s) {
                    run(begin);
                    seq.bind(1, std::string_view("towar")).bind(2, std::string_view("tow_nr"));
                    const std::int64_t nr = (seq.step() ? seq.integer(0) : 0) + 1;
                    seq.reset();
                    insert.bind(1, nr).bind(2, std::int64_t(kScrewGroup)).bind(3, name);
                    for (int i = 4; i <= 9; ++i)
                        sqlite3_bind_null(insert.handle(), i);
                    run(insert);
                    note.bind(1, std::string_view("towar"))
                        .bind(2, std::string_view("tow_nr"))
                        .bind(3, nr);
                    run(note);
                    run(commit);
                    row.bind(1, nr);
                    std::uint64_t sum = row.step() ? row.consumeRow() : 0;
                    row.reset();
                    benchmark::DoNotOptimize(sum);
                    s.PauseTiming();
                    drop.bind(1, nr);
                    run(drop);
                    s.ResumeTiming();
                }
            });
        });

    // 10. Deleting the current item: no other installation may hold it, it must still be
    // there, one commit; then the next row in the order takes its place. The row to delete is
    // made outside the timing.
    add(
        "delete_row",
        [c](benchmark::State& s) {
            guarded(s, [&] {
                auto t = openItems(*c, nullptr);
                InsertVictim victim(*c, t->database());
                for (auto _ : s) {
                    s.PauseTiming();
                    t->gotoRowId(victim.make());
                    s.ResumeTiming();
                    t->remove();
                    benchmark::DoNotOptimize(t->rowId());
                }
            });
        },
        [c](benchmark::State& s) {
            guarded(s, [&] {
                RawDb& db = *c->raw;
                RawStmt begin(db, "BEGIN IMMEDIATE"), commit(db, "COMMIT");
                RawStmt held(db, kSqlLockHolder), row(db, itemSelect("WHERE rowid = ?1"));
                RawStmt drop(db, "DELETE FROM Towar WHERE rowid = ?1");
                RawStmt after(db, itemSelect("WHERE rowid > ?1 ORDER BY rowid LIMIT 1"));
                RawStmt before(db, itemSelect("WHERE rowid < ?1 ORDER BY rowid DESC LIMIT 1"));
                InsertVictim victim(*c);
                for (auto _ : s) {
                    s.PauseTiming();
                    const std::int64_t id = victim.make();
                    s.ResumeTiming();
                    std::uint64_t sum = 0;
                    run(begin);
                    held.bind(1, std::string_view("towar")).bind(2, id).bind(3, kRawOwner);
                    held.bind(4, std::int64_t(0));
                    if (held.step()) sum += held.consumeRow();
                    held.reset();
                    row.bind(1, id);
                    if (row.step()) sum += row.consumeRow();
                    row.reset();
                    drop.bind(1, id);
                    run(drop);
                    run(commit);
                    after.bind(1, id);
                    if (after.step()) {
                        sum += after.consumeRow();
                    } else {
                        before.bind(1, id);
                        if (before.step()) sum += before.consumeRow();
                        before.reset();
                    }
                    after.reset();
                    benchmark::DoNotOptimize(sum);
                }
            });
        });

    // 11. A jump far into the item list right after an edit of one item, as after saving an
    // item and typing another name: the cursor goes to the name, the grid asks its position
    // for the scroll bar and reads the rows around it. The positions known before the post hold
    // after it; the other side is the bare post followed by the same jump in a list that saw no
    // change, so the ratio is what the change adds to the jump.
    const auto jump = [c](Table& grid, size_t k) {
        grid.findNearest({c->prefixes[k % c->prefixes.size()]});
        const int at = grid.recNo();
        return grid.rowsAt(std::max(1, at - 10), 20).size();
    };
    add(
        "post_far_jump",
        [c, jump](benchmark::State& s) {
            guarded(s, [&] {
                auto grid = openItems(*c, "wg_Tow_Nazwa");
                auto editor = openItems(*c, nullptr);
                const QString price = QStringLiteral("Tow_SRP");
                benchmark::DoNotOptimize(jump(*grid, 0));
                size_t k = 0;
                for (auto _ : s) {
                    s.PauseTiming();
                    editor->findKey({c->detailItems[k % c->detailItems.size()]});
                    ++k;
                    s.ResumeTiming();
                    editor->edit();
                    editor->setValue(price, editor->asFloat(price) + 1);
                    editor->post();
                    benchmark::DoNotOptimize(jump(*grid, k));
                }
            });
        },
        [c, jump](benchmark::State& s) {
            guarded(s, [&] {
                auto grid = openItems(*c, "wg_Tow_Nazwa");
                RawPostEdit post(*c->raw);
                benchmark::DoNotOptimize(jump(*grid, 0));
                size_t k = 0;
                for (auto _ : s) {
                    const std::int64_t id = c->detailItems[k % c->detailItems.size()];
                    ++k;
                    benchmark::DoNotOptimize(post.run(id));
                    benchmark::DoNotOptimize(jump(*grid, k));
                }
            });
        });
}

} // namespace engine::bench
