// The main window's item list over a large catalogue, driven through the window's own handlers
// with the screen offscreen: a keystroke in the search field, a change of the sort box and
// opening the item list (BB_TableClick), each timed until the item grid shows the result
// painted. Every step is checked afterwards (outside the time) against the order the grid must
// show, so a fast step that shows the wrong rows cannot pass.
//
//   bench_itemlist [--dir MAINDIR] [--items N] [--quick] [--runs N] [--size WxH]
//
// One run: the list is opened, names are typed letter by letter in name order, then each other
// sort choice is picked and its own kind of key typed, and the name order is picked again.

#include "engine/database.h"
#include "engine/error.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "shell/E_Glowny.h"
#include "shell/itemlist.h"
#include "shell/startup.h"
#include "store/mainfolder_schema.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include "ui_E_Glowny.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProcess>
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
constexpr qint64 kStepTimeoutMs = 120000;

constexpr double kKeystrokeTargetMs = 16;
constexpr double kSortTargetMs = 300;
constexpr double kOpenTargetMs = 500;

// What users type, per sort choice (Wyswietlaj_wg's index): frequent and rare words of the
// sample's names, Polish letters first and inside, a typo that leaves the names half-way, text
// before the first and past the last key.
const char* const kNameWords[] = {"Śruba imbusowa M8",
                                  "Łożysko kulkowe 62",
                                  "Przewód H07",
                                  "Wkręt do drewna",
                                  "Nakrętka koronowa",
                                  "Zawór kulowy",
                                  "Sprężyna naciskowa",
                                  "O-ring 96",
                                  "Klucz płaski 13",
                                  "Farba podkładowa",
                                  "Szczypce",
                                  "Łańcuch",
                                  "Kotwa",
                                  "Młotek",
                                  "Wąż ogrodowy",
                                  "Złączka",
                                  "Śrubx",
                                  "Aaaa",
                                  "Żółw"};
const char* const kName2Words[] = {"Hex bolt M10", "Ball valve 1/2", "Cable H07RN", "Deep groove",
                                   "Timing belt"};
const char* const kSymbolWords[] = {"SRB-0750007", "LOZ-0600", "KAB-02", "NAK-09"};
const char* const kMakerCodeWords[] = {"PPH 0842", "ŁOŻ 3979", "MEC 38", "ORI 93"};

struct Options {
    QString dir;
    int items = 1000000;
    bool itemsGiven = false;
    bool quick = false;
    int runs = 0; // 0: the mode's default
    int width = 1920, height = 1080;
};

void usage() {
    std::printf(
        "bench_itemlist [--dir MAINDIR] [--items N] [--quick] [--runs N] [--size WxH]\n"
        "  --dir MAINDIR  a sample main folder; made there with pelk-sample when missing\n"
        "                 (default: a temporary folder, removed afterwards)\n"
        "  --items N      items of a sample made here (default 1000000)\n"
        "  --quick        a sample of 20000 items (unless --items) in a temporary folder unless\n"
        "                 --dir, 2 runs: a smoke run\n"
        "  --runs N       how many times the scenario is played (default 3)\n"
        "  --size WxH     the main window's size (default 1920x1080; the program maximises it)\n");
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
        } else if (!std::strcmp(a, "--size")) {
            const char* v = value();
            if (!v || std::sscanf(v, "%dx%d", &o.width, &o.height) != 2 || o.width < 400 ||
                o.height < 300) {
                std::fprintf(stderr, "--size wants WxH, at least 400x300\n");
                return std::nullopt;
            }
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
    if (o.runs == 0) o.runs = o.quick ? 2 : 3;
    return o;
}

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "bench_itemlist: %s\n", qPrintable(why));
    std::fflush(stdout);
    std::exit(1);
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

qint64 sqliteKb(bool peak) {
    sqlite3_int64 now = 0, high = 0;
    if (sqlite3_status64(SQLITE_STATUS_MEMORY_USED, &now, &high, 0) != SQLITE_OK) return 0;
    return (peak ? high : now) / 1024;
}

// --- The sample ------------------------------------------------------------------------------

bool hasSample(const QString& mainDir) {
    if (!store::isMainFolder(mainDir)) return false;
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

// --- Figures -----------------------------------------------------------------------------------

struct Series {
    std::vector<double> ms;

    void add(double v) { ms.push_back(v); }
    bool empty() const { return ms.empty(); }
    double quantile(double q) const {
        if (ms.empty()) return 0;
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        if (q == 0.5 && v.size() % 2 == 0) return (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
        return v[std::min(v.size() - 1, size_t(q * double(v.size())))];
    }
    double median() const { return quantile(0.5); }
    double min() const { return ms.empty() ? 0 : *std::min_element(ms.begin(), ms.end()); }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    int over(double limit) const {
        return int(std::count_if(ms.begin(), ms.end(), [&](double v) { return v > limit; }));
    }
};

void printTarget(const char* name, const Series& s, double target) {
    std::printf("%s: median %.2f ms (min %.2f, max %.2f), target %.0f ms: %s\n", name, s.median(),
                s.min(), s.max(), target, s.median() <= target ? "met" : "missed");
}

void printRow(const QString& name, const Series& s) {
    // Padded as text: printf would count the bytes of the Polish letters.
    std::printf("%s %6zu %9.2f %9.2f %9.2f %9.2f\n", qPrintable(name.leftJustified(46)),
                s.ms.size(), s.median(), s.quantile(0.9), s.min(), s.max());
}

// --- The window under measure ----------------------------------------------------------------

// Counts the item grid's paints: a step is over when the grid painted its result.
class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

class Bench {
public:
    Bench(shell::TForm_Pelk& w, ui::FakeMessages& messages)
        : w_(w), f_(w.form()), messages_(messages), tf_(w.state().TFTowar), grid_(f_.DBGrid_Towary),
          counter_(&w), fieldCounter_(&w) {
        grid_->viewport()->installEventFilter(&counter_);
        f_.Edit_Szukaj_Towar->installEventFilter(&fieldCounter_);
    }

    shell::TForm_Pelk& window() { return w_; }
    engine::Table& items() { return tf_; }
    ui::DbGrid* grid() { return grid_; }
    int rowCount() const { return grid_->gridModel()->rowCount(); }

    // --- What the screen shows ---

    bool rowVisible(int row) const {
        const QRect r = grid_->visualRect(grid_->gridModel()->index(row, 0));
        return r.isValid() && r.top() >= 0 && r.bottom() < grid_->viewport()->height();
    }

    std::pair<int, int> visibleRows() const {
        const int count = rowCount();
        if (count == 0) return {0, -1};
        const int first = std::max(0, grid_->rowAt(0));
        int last = grid_->rowAt(grid_->viewport()->height() - 1);
        if (last < 0) last = count - 1;
        return {first, last};
    }

    bool visibleRowsCached() const {
        const auto [first, last] = visibleRows();
        for (int r = first; r <= last; ++r)
            if (!grid_->gridModel()->isRowCached(r)) return false;
        return true;
    }

    // The grid's current index is the table's current row, and it is on the screen.
    bool followsCursor() const {
        const QModelIndex at = grid_->currentIndex();
        return at.isValid() && tf_.rowId() != 0 &&
               grid_->gridModel()->rowIdAt(at.row()) == tf_.rowId() && rowVisible(at.row());
    }

    // Runs the event loop until `done`; with `paint`, also until the grid painted since
    // `paintsBefore` and every row it shows was at hand.
    template <class Done> void waitFor(int paintsBefore, bool paint, Done&& done) {
        QElapsedTimer guard;
        guard.start();
        for (;;) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            if ((!paint || counter_.paints > paintsBefore) && visibleRowsCached() && done()) return;
            if (guard.elapsed() > kStepTimeoutMs)
                fail(QStringLiteral("the item grid did not settle within %1 s")
                         .arg(kStepTimeoutMs / 1000));
        }
    }

    // Lets timers and posted events of the previous step run before the next one is timed.
    void settle() {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        checkNoMessages();
    }

    void checkNoMessages() {
        if (messages_.count() == 0) return;
        fail(QStringLiteral("the window showed a message: %1").arg(messages_.texts().join(" / ")));
    }

    // --- The steps ---

    struct Timing {
        double handlerMs = 0; // the handler alone, returned
        double totalMs = 0;   // until the grid showed the result painted
        bool moved = false;   // the search took the cursor to another row
    };

    // One character typed into the search field, as the keyboard sends it.
    Timing keystroke(QChar c) {
        QLineEdit* field = f_.Edit_Szukaj_Towar;
        const qint64 rowBefore = tf_.rowId();
        const int paintsBefore = counter_.paints;
        const int fieldPaintsBefore = fieldCounter_.paints;
        QElapsedTimer t;
        t.start();
        QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
        Timing r;
        r.handlerMs = double(t.nsecsElapsed()) / 1e6;
        // The typed character is shown in any case; a cursor that stayed on its row leaves
        // nothing more for the grid to paint.
        waitFor(paintsBefore, false, [&] {
            return fieldCounter_.paints > fieldPaintsBefore && followsCursor() &&
                   (tf_.rowId() == rowBefore || counter_.paints > paintsBefore);
        });
        r.totalMs = double(t.nsecsElapsed()) / 1e6;
        r.moved = tf_.rowId() != rowBefore;
        QKeyEvent release(QEvent::KeyRelease, keyOf(c), Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &release);
        return r;
    }

    // The sort box set to `choice` as a pick in its list does.
    Timing sortChange(int choice) {
        const int paintsBefore = counter_.paints;
        const QString field = shell::sortChoice(choice)->field;
        QElapsedTimer t;
        t.start();
        f_.Wyswietlaj_wg->setCurrentIndex(choice);
        Timing r;
        r.handlerMs = double(t.nsecsElapsed()) / 1e6;
        waitFor(paintsBefore, true, [&] {
            return tf_.indexFieldNames().compare(field, Qt::CaseInsensitive) == 0 &&
                   followsCursor();
        });
        r.totalMs = double(t.nsecsElapsed()) / 1e6;
        return r;
    }

    Timing openList() {
        const int paintsBefore = counter_.paints;
        QElapsedTimer t;
        t.start();
        w_.BB_TableClick();
        Timing r;
        r.handlerMs = double(t.nsecsElapsed()) / 1e6;
        waitFor(paintsBefore, true, [&] {
            return tf_.isOpen() && grid_->currentIndex().row() == 0 && followsCursor();
        });
        r.totalMs = double(t.nsecsElapsed()) / 1e6;
        return r;
    }

    // Empties the search field the way a user starts a new word; not measured.
    void clearSearch() {
        focusSearch();
        f_.Edit_Szukaj_Towar->clear();
        waitFor(counter_.paints, false, [&] { return followsCursor(); });
        settle();
    }

    void focusSearch() {
        w_.focusSearchField();
        QCoreApplication::processEvents();
        if (QApplication::focusWidget() != f_.Edit_Szukaj_Towar)
            fail(QStringLiteral("the search field did not get the focus (is the window active?)"));
    }

    // --- Checks, outside the time ---

    // The rows shown are in the order of the sort choice, and the current row is the one the
    // search must find: the first whose key is not below the text.
    void checkShown(int choice, const QString& searched, bool searchedNow) {
        if (!followsCursor()) fail(QStringLiteral("the grid does not stand on the current row"));
        if (rowCount() != tf_.recordCount())
            fail(QStringLiteral("the grid counts %1 rows, the table %2")
                     .arg(rowCount())
                     .arg(tf_.recordCount()));
        const QString field = shell::sortChoice(choice)->field;
        if (tf_.indexFieldNames().compare(field, Qt::CaseInsensitive) != 0)
            fail(QStringLiteral("the table is in the order of %1, not %2")
                     .arg(tf_.indexFieldNames(), field));
        auto* model = grid_->gridModel();
        const int column = model->columnOfField(field);
        // A column the display configuration switches off cannot be read on screen; the order
        // is then the table's own, checked by the table tests.
        if (column < 0) return;
        auto key = [&](int row) { return model->data(model->index(row, column)).toString(); };
        const auto [first, last] = visibleRows();
        for (int r = first; r < last; ++r)
            if (engine::comparePolish(key(r), key(r + 1)) > 0)
                fail(QStringLiteral("rows %1 and %2 are out of the order of %3: \"%4\", \"%5\"")
                         .arg(r)
                         .arg(r + 1)
                         .arg(field, key(r), key(r + 1)));
        const int at = grid_->currentIndex().row();
        if (key(at) != tf_.asString(field))
            fail(QStringLiteral("the grid's current row shows \"%1\", the table is on \"%2\"")
                     .arg(key(at), tf_.asString(field)));
        if (!searchedNow) return;
        const bool past = engine::comparePolish(key(at), searched) < 0;
        // Past the last key the search stands on the last row.
        if (past && at != rowCount() - 1)
            fail(QStringLiteral("\"%1\" found \"%2\", which sorts before it")
                     .arg(searched, key(at)));
        if (at > 0 && model->isRowCached(at - 1) && !past &&
            engine::comparePolish(key(at - 1), searched) >= 0)
            fail(QStringLiteral("\"%1\" found \"%2\", but \"%3\" comes before it")
                     .arg(searched, key(at), key(at - 1)));
    }

private:
    static int keyOf(QChar c) {
        const QChar u = c.toUpper();
        if (u >= u'A' && u <= u'Z') return Qt::Key_A + (u.unicode() - u'A');
        if (c >= u'0' && c <= u'9') return Qt::Key_0 + (c.unicode() - u'0');
        if (c == u' ') return Qt::Key_Space;
        if (c == u'-') return Qt::Key_Minus;
        if (c == u'/') return Qt::Key_Slash;
        return Qt::Key_unknown; // Polish letters come as text
    }

    shell::TForm_Pelk& w_;
    Ui::TForm_Pelk& f_;
    ui::FakeMessages& messages_;
    engine::Table& tf_;
    ui::DbGrid* grid_;
    PaintCounter counter_;
    PaintCounter fieldCounter_; // the search field's: the typed character is on the screen
};

struct Figures {
    Series keyName, keyNameHandler, keyOther, keyFirstAfterOpen, keyFirstAfterSort;
    Series keyMoved, keyStayed; // both orders: the cursor went to another row, or stayed
    std::map<QString, Series> keyByWord;
    Series sort, sortHandler;
    std::map<int, Series> sortByChoice;
    Series open, openHandler;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto options = parse(argc, argv);
    if (!options) return 2;
    ui::Application app(argc, argv);
    shell::applyConventions();

    std::unique_ptr<QTemporaryDir> temp;
    QString mainDir = options->dir;
    if (mainDir.isEmpty()) {
        temp = std::make_unique<QTemporaryDir>(
            QDir::temp().filePath(QStringLiteral("bench_itemlist-XXXXXX")));
        if (!temp->isValid()) fail(QStringLiteral("cannot make a temporary folder"));
        mainDir = temp->path();
    }
    mainDir = QDir(mainDir).absolutePath();
    if (!hasSample(mainDir) && !makeSample(mainDir, options->items)) return 1;

    // Nothing may wait for a user: a box or a dialog ends the bench with its text.
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner runnerGuard(runner);
    ui::setScriptFailureHandler([](const QString& m) { fail(m); });

    const qint64 hwmBeforeStart = procStatusKb("VmHWM");
    Figures fig;
    Series startMs;
    int count = 0;
    QSize gridSize;
    int rowsOnScreen = 0;
    try {
        QElapsedTimer t;
        t.start();
        shell::TForm_Pelk w;
        if (w.start(mainDir) != shell::MainController::StartOutcome::Running)
            fail(QStringLiteral("the window did not start on %1").arg(mainDir));
        // The program maximises; the offscreen screen is small, so the size is set instead.
        w.setWindowState(Qt::WindowNoState);
        w.resize(options->width, options->height);
        w.show();
        w.activateWindow();
        Bench b(w, messages);
        b.waitFor(0, true, [&] { return w.isActiveWindow() && b.followsCursor(); });
        startMs.add(double(t.nsecsElapsed()) / 1e6);
        b.settle();
        b.checkShown(0, {}, false);
        count = b.rowCount();
        gridSize = b.grid()->viewport()->size();
        rowsOnScreen = b.visibleRows().second - b.visibleRows().first + 1;
        std::printf("%s: %d items, window %dx%d, grid %dx%d (%d rows on screen), %d runs\n",
                    qPrintable(mainDir), count, w.width(), w.height(), gridSize.width(),
                    gridSize.height(), rowsOnScreen, options->runs);
        std::fflush(stdout);

        auto typeWords = [&](int choice, const auto& words, bool nameOrder, Series* firstKey) {
            for (const char* word : words) {
                const QString text = QString::fromUtf8(word);
                b.clearSearch();
                QString typed;
                for (QChar c : text) {
                    typed += c;
                    const Bench::Timing r = b.keystroke(c);
                    if (firstKey) {
                        firstKey->add(r.totalMs);
                        firstKey = nullptr;
                    }
                    (r.moved ? fig.keyMoved : fig.keyStayed).add(r.totalMs);
                    if (nameOrder) {
                        fig.keyName.add(r.totalMs);
                        fig.keyNameHandler.add(r.handlerMs);
                        fig.keyByWord[text].add(r.totalMs);
                    } else {
                        fig.keyOther.add(r.totalMs);
                    }
                    b.settle();
                    b.checkShown(choice, typed, true);
                }
            }
        };
        auto sortTo = [&](int choice) {
            const Bench::Timing r = b.sortChange(choice);
            fig.sort.add(r.totalMs);
            fig.sortHandler.add(r.handlerMs);
            fig.sortByChoice[choice].add(r.totalMs);
            b.settle();
            b.checkShown(choice, {}, false);
        };

        for (int run = 0; run < options->runs; ++run) {
            // Not the state the open leaves: another order, the cursor in the middle.
            const int other = 1 + run % 3;
            w.form().Wyswietlaj_wg->setCurrentIndex(other);
            b.settle();
            b.items().setRecNo(b.rowCount() / 2);
            b.settle();

            const Bench::Timing open = b.openList();
            fig.open.add(open.totalMs);
            fig.openHandler.add(open.handlerMs);
            b.settle();
            b.checkShown(0, {}, false);

            typeWords(0, kNameWords, true, &fig.keyFirstAfterOpen);
            sortTo(1);
            typeWords(1, kName2Words, false, &fig.keyFirstAfterSort);
            sortTo(2);
            typeWords(2, kSymbolWords, false, &fig.keyFirstAfterSort);
            sortTo(3);
            typeWords(3, kMakerCodeWords, false, &fig.keyFirstAfterSort);
            sortTo(0);
            std::printf("run %d of %d done\n", run + 1, options->runs);
            std::fflush(stdout);
        }
    } catch (const engine::EngineError& e) {
        fail(e.message());
    }
    const qint64 hwm = procStatusKb("VmHWM");

    std::printf("\n");
    printTarget("keystroke in search field (name order)", fig.keyName, kKeystrokeTargetMs);
    printTarget("keystroke in search field (other sort choices)", fig.keyOther, kKeystrokeTargetMs);
    printTarget("sort change (Wyswietlaj_wg)", fig.sort, kSortTargetMs);
    printTarget("opening the item list (BB_TableClick)", fig.open, kOpenTargetMs);
    std::printf("peak memory: %.1f MB (%.1f MB before the window started)\n", mb(hwm),
                mb(hwmBeforeStart));

    std::printf("\n%-46s %6s %9s %9s %9s %9s\n", "measure (ms, until painted)", "n", "median",
                "p90", "min", "max");
    printRow(QStringLiteral("window start (start() to first paint)"), startMs);
    printRow(QStringLiteral("keystroke, name order"), fig.keyName);
    printRow(QStringLiteral("  of which the handler alone"), fig.keyNameHandler);
    printRow(QStringLiteral("  first keystroke after opening"), fig.keyFirstAfterOpen);
    for (const auto& [word, s] : fig.keyByWord)
        printRow(QStringLiteral("  \"%1\"").arg(word), s);
    printRow(QStringLiteral("keystroke, other sort choices"), fig.keyOther);
    printRow(QStringLiteral("  first keystroke after a sort change"), fig.keyFirstAfterSort);
    printRow(QStringLiteral("keystroke, all orders, cursor moved"), fig.keyMoved);
    printRow(QStringLiteral("keystroke, all orders, cursor stayed"), fig.keyStayed);
    printRow(QStringLiteral("sort change"), fig.sort);
    printRow(QStringLiteral("  of which the handler alone"), fig.sortHandler);
    for (const auto& [choice, s] : fig.sortByChoice)
        printRow(QStringLiteral("  to %1").arg(shell::sortChoice(choice)->field), s);
    printRow(QStringLiteral("opening the item list"), fig.open);
    printRow(QStringLiteral("  of which the handler alone"), fig.openHandler);
    std::printf("keystrokes over %.0f ms: %d of %zu in name order, %d of %zu in the others\n",
                kKeystrokeTargetMs, fig.keyName.over(kKeystrokeTargetMs), fig.keyName.ms.size(),
                fig.keyOther.over(kKeystrokeTargetMs), fig.keyOther.ms.size());
    std::printf("SQLite's own memory (page cache included): %.1f MB now, %.1f MB at most\n",
                mb(sqliteKb(false)), mb(sqliteKb(true)));
    std::printf("resident now: %.1f MB\n", mb(procStatusKb("VmRSS")));
    return 0;
}
