// Built queries over a large catalogue, run through the main window's item list in query mode
// (BB_SQLClick) with the screen offscreen, each timed until the item grid shows its first screen
// of rows painted; beside each, the same search written by hand for SQLite on the same file with
// the engine's collation and functions registered, timed until the same number of rows has been
// stepped through. The ratio is what the translation, the cursor and the grid add.
//
//   bench_query [--dir MAINDIR] [--items N] [--runs N]
//
// The queries are built by the query builder's own text builder from settings a user would
// choose: a group with a Name 1 "zawiera tekst"; a numeric attribute from a value on; a date
// attribute "w przedziale"; Name 1 "zawiera tekst" A, most of the catalogue (timed to its
// counter and first screen, with the memory it takes). Each result is checked against the
// hand-written one.

#include "../engine/rawsqlite.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/query.h"
#include "engine/table.h"
#include "search/querybuilder.h"
#include "shell/E_Glowny.h"
#include "shell/startup.h"
#include "store/mainfolder_schema.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include "ui_E_Glowny.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace {

const QString kCatalogue = QStringLiteral("Dane/Glowna");
constexpr qint64 kTimeoutMs = 300000;
constexpr double kTargetMs = 1000;
constexpr double kTargetRatio = 1.5;

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "bench_query: %s\n", qPrintable(why));
    std::fflush(stdout);
    std::exit(1);
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    if (v.empty()) return 0;
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

struct Case {
    QString name;
    store::QueryState settings;
    std::string handSql;
    std::vector<std::string> textParams;
    std::vector<std::int64_t> intParams; // bound first, then the texts
    std::vector<double> numberParams;    // after the integers
    // SQLite by hand walks an index and stops after a screenful, where the list also counts
    // the rows: this case is for the list's memory and time, not a ratio.
    bool ratioTarget = true;
};

// The attribute of a type that most values have, and a sorted sample of its values.
struct AttributeChoice {
    int nr = 0;
    std::vector<QString> values;
};

AttributeChoice commonAttribute(engine::bench::RawDb& db, const char* type) {
    AttributeChoice c;
    engine::bench::RawStmt top(
        db, "SELECT Opis_Cecha_Nr, count(*) AS n FROM Opis JOIN Cecha ON Cecha_Nr=Opis_Cecha_Nr "
            "WHERE Cecha_Typ=?1 GROUP BY Opis_Cecha_Nr ORDER BY n DESC LIMIT 1");
    top.bind(1, std::string_view(type));
    if (!top.step()) fail(QStringLiteral("the catalogue has no attribute of type %1").arg(type));
    c.nr = int(top.integer(0));
    engine::bench::RawStmt values(
        db, "SELECT Opis_Opis FROM Opis WHERE Opis_Cecha_Nr=?1 AND Opis_Opis IS NOT NULL "
            "ORDER BY Opis_Nr LIMIT 2001");
    values.bind(1, std::int64_t(c.nr));
    while (values.step())
        c.values.push_back(QString::fromStdString(values.text(0)));
    return c;
}

// The process's memory from /proc (kB), e.g. "VmRSS:".
qint64 memoryKb(const char* key) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(qsizetype(std::strlen(key))).trimmed().split(' ')[0].toLongLong();
    return 0;
}

// The highest resident size seen while it lives, read every millisecond on a thread of its
// own (the query runs on the main thread).
class PeakMemory {
public:
    PeakMemory()
        : thread_([this] {
              while (!stop_) {
                  peakKb_ = std::max<qint64>(peakKb_, memoryKb("VmRSS:"));
                  std::this_thread::sleep_for(std::chrono::milliseconds(1));
              }
          }) {}
    ~PeakMemory() { stopNow(); }
    qint64 stopNow() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        return peakKb_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<qint64> peakKb_{0};
    std::thread thread_;
};

// What SQLite's page cache of the engine's connection to the folder holds.
std::int64_t pageCacheBytes(const QString& folder) {
    auto db = engine::Database::open(folder);
    int used = 0, high = 0;
    sqlite3_db_status(db->handle(), SQLITE_DBSTATUS_CACHE_USED, &used, &high, 0);
    return used;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QString dir;
    int items = 1000000, runs = 5;
    for (int i = 1; i < argc; ++i) {
        const bool more = i + 1 < argc;
        if (!std::strcmp(argv[i], "--dir") && more)
            dir = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--items") && more)
            items = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && more)
            runs = std::max(1, std::atoi(argv[++i]));
        else {
            std::printf("bench_query [--dir MAINDIR] [--items N] [--runs N]\n");
            return 2;
        }
    }
    ui::Application app(argc, argv);
    shell::applyConventions();

    std::unique_ptr<QTemporaryDir> temp;
    if (dir.isEmpty()) {
        temp = std::make_unique<QTemporaryDir>();
        dir = temp->path();
    }
    dir = QDir(dir).absolutePath();
    const QString folder = QDir(dir).filePath(kCatalogue);
    if (!store::isMainFolder(dir)) {
        const QString tool = QDir(QCoreApplication::applicationDirPath())
                                 .absoluteFilePath(QStringLiteral("../tools/pelk-sample"));
        std::printf("making a sample of %d items in %s ...\n", items, qPrintable(dir));
        std::fflush(stdout);
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(tool, {dir, QStringLiteral("--items"), QString::number(items)});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) fail(QStringLiteral("pelk-sample failed"));
    }

    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner runnerGuard(runner);
    ui::setScriptFailureHandler([](const QString& m) { fail(m); });

    engine::bench::RawDb raw(QDir(folder).filePath(engine::Database::fileName()));

    // --- The three searches, from the sample's own data ---
    std::vector<Case> cases;
    {
        engine::bench::RawStmt first(raw, "SELECT Tow_Grupa_Nr, Tow_Nazwa FROM Towar "
                                          "WHERE Tow_Grupa_Nr IS NOT NULL ORDER BY Tow_Nr LIMIT 1");
        if (!first.step()) fail(QStringLiteral("the catalogue has no items"));
        const int group = int(first.integer(0));
        const QString word = QString::fromStdString(first.text(1)).section(u' ', 0, 0).left(5);
        Case c;
        c.name = QStringLiteral("group %1 and Name 1 \"zawiera tekst\" %2").arg(group).arg(word);
        c.settings.groupText = QStringLiteral("GRUPA");
        c.settings.groupOp = search::ItemEquals;
        c.settings.queryGroupNr = group;
        c.settings.name1 = word;
        c.settings.name1Op = search::ItemContains;
        c.handSql = "SELECT DISTINCT Towar.* FROM Towar, Grupa WHERE "
                    "Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr AND Grupa.Grupa_Nr=?1 AND "
                    "pl_upper(Towar.Tow_Nazwa) LIKE ?2 ORDER BY Towar.Tow_Nazwa COLLATE PL";
        c.intParams = {group};
        c.textParams = {QString(u'%' + search::sqlUpper(word) + u'%').toStdString()};
        cases.push_back(c);
    }
    {
        AttributeChoice a = commonAttribute(raw, "N");
        std::vector<double> v;
        for (const QString& s : a.values)
            v.push_back(s.toDouble());
        std::sort(v.begin(), v.end());
        const double from = v[v.size() * 3 / 4];
        Case c;
        c.name = QStringLiteral("numeric attribute %1 >= %2").arg(a.nr).arg(from);
        c.settings.attributeFlag = true;
        c.settings.attributeNr = a.nr;
        c.settings.attributeType = QStringLiteral("N");
        c.settings.valueOp = 3; // ">="
        c.settings.value1 = QString::number(from).replace(u'.', u',');
        c.handSql = "SELECT DISTINCT Towar.* FROM Towar, Cecha, Opis WHERE "
                    "Towar.Tow_Nr=Opis.Opis_Tow_Nr AND Opis.Opis_Cecha_Nr=Cecha.Cecha_Nr AND "
                    "Opis.Opis_Cecha_Nr=?1 AND pl_num(Opis.Opis_Opis)>=?2 "
                    "ORDER BY Towar.Tow_Nazwa COLLATE PL";
        c.intParams = {a.nr};
        c.numberParams = {from};
        cases.push_back(c);
    }
    {
        AttributeChoice a = commonAttribute(raw, "D");
        std::vector<QDate> d;
        for (const QString& s : a.values)
            d.push_back(QDate::fromString(s, QStringLiteral("dd.MM.yyyy")));
        d.erase(std::remove_if(d.begin(), d.end(), [](const QDate& x) { return !x.isValid(); }),
                d.end());
        std::sort(d.begin(), d.end());
        if (d.empty()) fail(QStringLiteral("no dates"));
        const QDate low = d[d.size() * 2 / 5], high = d[d.size() * 3 / 5];
        Case c;
        c.name = QStringLiteral("date attribute %1 w przedziale %2 .. %3")
                     .arg(a.nr)
                     .arg(low.toString(QStringLiteral("dd-MM-yyyy")),
                          high.toString(QStringLiteral("dd-MM-yyyy")));
        c.settings.attributeFlag = true;
        c.settings.attributeNr = a.nr;
        c.settings.attributeType = QStringLiteral("D");
        c.settings.valueOp = 5; // "w przedziale"
        c.settings.value1 = low.toString(QStringLiteral("dd-MM-yyyy"));
        c.settings.value2 = high.toString(QStringLiteral("dd-MM-yyyy"));
        c.handSql = "SELECT DISTINCT Towar.* FROM Towar, Cecha, Opis WHERE "
                    "Towar.Tow_Nr=Opis.Opis_Tow_Nr AND Opis.Opis_Cecha_Nr=Cecha.Cecha_Nr AND "
                    "Opis.Opis_Cecha_Nr=?1 AND pl_date(Opis.Opis_Opis) BETWEEN ?2 AND ?3 "
                    "ORDER BY Towar.Tow_Nazwa COLLATE PL";
        c.intParams = {a.nr};
        c.textParams = {low.toString(Qt::ISODate).toStdString(),
                        high.toString(Qt::ISODate).toStdString()};
        cases.push_back(c);
    }

    {
        // A result of most of the catalogue: kept as ids, its rows read as they are shown.
        Case c;
        c.name = QStringLiteral("Name 1 \"zawiera tekst\" A");
        c.settings.name1 = QStringLiteral("A");
        c.settings.name1Op = search::ItemContains;
        c.handSql = "SELECT DISTINCT Towar.* FROM Towar WHERE pl_upper(Towar.Tow_Nazwa) LIKE ?1 "
                    "ORDER BY Towar.Tow_Nazwa COLLATE PL";
        c.textParams = {"%A%"};
        c.ratioTarget = false;
        cases.push_back(c);
    }

    shell::TForm_Pelk w;
    if (w.start(dir) != shell::MainController::StartOutcome::Running)
        fail(QStringLiteral("the window did not start"));
    w.setWindowState(Qt::WindowNoState);
    w.resize(1920, 1080);
    w.show();
    ui::DbGrid* grid = w.form().DBGrid_Towary;
    PaintCounter paints;
    grid->viewport()->installEventFilter(&paints);
    auto& st = w.state();
    auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    settle();
    auto screenRows = [&] {
        const int count = grid->gridModel()->rowCount();
        if (count == 0) return 0;
        int last = grid->rowAt(grid->viewport()->height() - 1);
        if (last < 0) last = count - 1;
        return last - std::max(0, grid->rowAt(0)) + 1;
    };
    auto firstScreenCached = [&] {
        const int n = screenRows();
        for (int r = 0; r < n; ++r)
            if (!grid->gridModel()->isRowCached(r)) return false;
        return true;
    };

    {
        engine::bench::RawStmt count(raw, "SELECT count(*) FROM Towar");
        count.step();
        std::printf("%s: %lld items, %d runs\n\n", qPrintable(dir),
                    static_cast<long long>(count.integer(0)), runs);
    }
    std::printf("%-58s %7s %10s %10s %7s\n", "query", "rows", "list ms", "sqlite ms", "ratio");
    bool met = true;
    for (Case& c : cases) {
        search::setJoinFlags(c.settings);
        const std::optional<QStringList> lines = search::queryLines(c.settings);
        if (!lines) fail(QStringLiteral("the builder refused %1").arg(c.name));

        std::vector<double> listMs, rawMs, counterMs;
        double peakMb = -1e9, cacheMb = 0;
        int rows = 0, shown = 0;
        std::vector<QString> rawFirst, listFirst; // names: equal names may come in any order
        for (int run = 0; run < runs; ++run) {
            // Back to the plain table first, as after "Anuluj zapytanie".
            w.BB_TableClick();
            settle();
            st.QTowar.close();
            st.QTowar.setSql(*lines);
            st.Query.queryActive = true;
            const int before = paints.paints;
            const qint64 rssBefore = memoryKb("VmRSS:");
            PeakMemory peakMemory;
            const std::int64_t cacheBefore = pageCacheBytes(folder);
            QElapsedTimer t;
            double counterAt = -1;
            auto opened = QObject::connect(&st.QTowar, &engine::DataSet::afterOpen, [&] {
                counterAt = double(t.nsecsElapsed()) / 1e6;
            });
            t.start();
            w.BB_SQLClick();
            QElapsedTimer guard;
            guard.start();
            for (;;) {
                QCoreApplication::processEvents(QEventLoop::AllEvents);
                if (paints.paints > before && firstScreenCached()) break;
                if (guard.elapsed() > kTimeoutMs) fail(QStringLiteral("the grid did not settle"));
            }
            listMs.push_back(double(t.nsecsElapsed()) / 1e6);
            QObject::disconnect(opened);
            counterMs.push_back(counterAt);
            const double cache = double(pageCacheBytes(folder) - cacheBefore) / 1048576.0;
            const double peak = double(peakMemory.stopNow() - rssBefore) / 1024.0;
            if (peak - cache > peakMb - cacheMb) {
                peakMb = peak;
                cacheMb = cache;
            }
            if (messages.count() > 0) fail(messages.texts().join(u'/'));
            rows = st.QTowar.recordCount();
            shown = std::max(1, screenRows());
            listFirst.clear();
            for (int r = 0; r < std::min(shown, rows); ++r) {
                st.QTowar.setRecNo(r + 1);
                listFirst.push_back(st.QTowar.asString(QStringLiteral("Tow_Nazwa")));
            }

            QElapsedTimer h;
            h.start();
            engine::bench::RawStmt s(raw, c.handSql);
            int k = 1;
            for (std::int64_t v : c.intParams)
                s.bind(k++, v);
            for (double v : c.numberParams)
                s.bind(k++, v);
            for (const std::string& v : c.textParams)
                s.bind(k++, std::string_view(v));
            rawFirst.clear();
            int nameColumn = 0;
            for (int i = 0; i < sqlite3_column_count(s.handle()); ++i)
                if (QString::fromUtf8(sqlite3_column_name(s.handle(), i))
                        .compare(QStringLiteral("Tow_Nazwa"), Qt::CaseInsensitive) == 0)
                    nameColumn = i;
            std::uint64_t sink = 0;
            while (int(rawFirst.size()) < shown && s.step()) {
                sink += s.consumeRow();
                rawFirst.push_back(QString::fromStdString(s.text(nameColumn)));
            }
            rawMs.push_back(double(h.nsecsElapsed()) / 1e6);
            if (sink == 1) std::printf(" ");
        }
        if (rawFirst != listFirst)
            fail(QStringLiteral("%1: the list's first rows differ from SQLite's").arg(c.name));
        const double lm = median(listMs), rm = median(rawMs);
        const double ratio = rm > 0 ? lm / rm : 0;
        met = met && lm <= kTargetMs && (!c.ratioTarget || ratio <= kTargetRatio);
        std::printf("%-58s %7d %10.1f %10.1f %7.2f\n", qPrintable(c.name.left(58)), rows, lm, rm,
                    ratio);
        std::printf("  counter after %.1f ms; memory while running: peak +%.1f MB, of it the "
                    "page cache +%.1f MB, beyond it %.1f MB\n",
                    median(counterMs), peakMb, cacheMb, peakMb - cacheMb);
        std::printf("  built text: %s\n", qPrintable(lines->join(u' ')));
        std::fflush(stdout);
    }
    std::printf("\ntargets: <= %.0f ms each, within %.1fx of SQLite by hand: %s\n", kTargetMs,
                kTargetRatio, met ? "met" : "missed");
    w.BB_TableClick();
    return 0;
}
