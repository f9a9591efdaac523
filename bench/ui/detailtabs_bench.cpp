// Moving through the item list of a large catalogue with a detail page shown: each step moves the
// item table one row down and lasts until the window has handled every event the move caused (the
// page's tables re-read for the new item, both grids and the picture painted). One series per
// page: attribute values, goes into, consists of, substitutes, drawings, purchase prices.
//
//   bench_detailtabs --dir MAINDIR [--moves N] [--size WxH] [--shots FOLDER]
//
// MAINDIR is a main folder made by pelk-sample (its catalogue is Dane/Glowna).

#include "engine/error.h"
#include "engine/table.h"
#include "shell/E_Glowny.h"
#include "shell/detailtabs.h"
#include "shell/startup.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include "ui_E_Glowny.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPixmap>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr double kMoveTargetMs = 5;

struct Options {
    QString dir;
    int moves = 1000;
    int width = 1920, height = 1080;
    QString shots; // a folder for a picture of the window after each page's moves
};

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "bench_detailtabs: %s\n", qPrintable(why));
    std::exit(1);
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!std::strcmp(a, "--dir") && v) {
            o.dir = QString::fromLocal8Bit(v);
        } else if (!std::strcmp(a, "--moves") && v) {
            o.moves = std::atoi(v);
            if (o.moves < 10) return false;
        } else if (!std::strcmp(a, "--shots") && v) {
            o.shots = QString::fromLocal8Bit(v);
        } else if (!std::strcmp(a, "--size") && v) {
            if (std::sscanf(v, "%dx%d", &o.width, &o.height) != 2) return false;
        } else {
            return false;
        }
        ++i;
    }
    return !o.dir.isEmpty();
}

struct Series {
    std::vector<double> ms;
    double at(double q) const {
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        if (v.empty()) return 0;
        if (q == 0.5 && v.size() % 2 == 0) return (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
        return v[std::min(v.size() - 1, std::size_t(q * double(v.size())))];
    }
};

// Lets the window handle what is pending: posted events, repaints.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

struct Page {
    int index;
    const char* name;
    ui::DbGrid* Ui::TForm_Pelk::*grid;
    const char* table; // rows of the page's kind, and the field naming their item
    const char* itemField;
};

// The number of an item somewhere in the middle of those that have rows of `table`, so that the
// walk through the list starts where the page has something to show: in name order items of one
// kind stand together (the wholes among the wholes).
int itemWithRows(const QString& folder, const char* table, const char* itemField, int part) {
    engine::Table t(folder, QLatin1String(table));
    t.setIndexFieldNames(QLatin1String(itemField));
    t.open();
    if (t.isEmpty()) return 0;
    t.setRecNo(std::max(1, t.recordCount() * part / 8));
    return t.asInteger(QLatin1String(itemField));
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "bench_detailtabs --dir MAINDIR [--moves N] [--size WxH] [--shots FOLDER]\n");
        return 2;
    }
    ui::Application app(argc, argv);
    shell::applyConventions();
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner runnerGuard(runner);
    ui::setScriptFailureHandler([](const QString& m) { fail(m); });

    // Page 0 shows no detail grid: the move of the item list alone, for comparison.
    const Page pages[] = {
        {shell::DetailTabs::General, "0 general (no grid)", nullptr, nullptr, nullptr},
        {shell::DetailTabs::Attributes, "1 attribute values", &Ui::TForm_Pelk::DBGrid_Wlasnosci,
         "Opis", "Opis_Tow_Nr"},
        {shell::DetailTabs::GoesInto, "2 goes into", &Ui::TForm_Pelk::DBGrid_Wchodzi, "Sklada",
         "Sklada_Nr_Czesci"},
        {shell::DetailTabs::ConsistsOf, "3 consists of", &Ui::TForm_Pelk::DBGrid_Sklada, "Sklada",
         "Sklada_Tow_Nr"},
        {shell::DetailTabs::Substitutes, "4 substitutes", &Ui::TForm_Pelk::DBGrid_Zamienniki,
         "Zamienne", "Zam_Tow_Nr"},
        {shell::DetailTabs::Drawings, "5 drawings", &Ui::TForm_Pelk::DBGrid_Rysunek, "Grafika",
         "Grafika_Tow_Nr"},
        {shell::DetailTabs::Prices, "7 purchase prices", &Ui::TForm_Pelk::DBGrid_Cena, "Cena",
         "Cena_Tow_Nr"}};

    try {
        shell::TForm_Pelk w;
        const QString mainDir = QDir(o.dir).absolutePath();
        if (w.start(mainDir) != shell::MainController::StartOutcome::Running)
            fail(QStringLiteral("the window did not start on %1").arg(mainDir));
        w.setWindowState(Qt::WindowNoState);
        w.resize(o.width, o.height);
        w.show();
        settle();
        auto& items = w.state().TFTowar;
        const int count = items.recordCount();
        std::printf("%s: %d items, window %dx%d, %d moves per page\n", qPrintable(mainDir), count,
                    w.width(), w.height(), o.moves);
        std::printf("\n%-20s %9s %9s %9s %9s %9s %12s %8s\n", "page", "median", "p90", "min", "max",
                    "re-read", "with rows", "target");
        bool allMet = true;
        int start = count / 7;
        int part = 1;
        for (const Page& p : pages) {
            w.form().TNotebook->setCurrentIndex(p.index);
            // Each page moves through other items, so no page profits from another's reading.
            items.setRecNo(start);
            start += o.moves + 17;
            if (p.table) {
                const int nr =
                    itemWithRows(w.state().CurrentCatalogueFolder, p.table, p.itemField, part++);
                const QString order = items.indexFieldNames();
                items.setIndexFieldNames(QStringLiteral("Tow_Nr"));
                items.findNearest({nr});
                items.setIndexFieldNames(order);
            }
            settle();
            ui::DbGrid* grid = p.grid ? w.form().*p.grid : nullptr;
            Series s, handler; // the whole move, and the move with the re-read alone
            int withRows = 0;
            for (int i = 0; i < o.moves; ++i) {
                QElapsedTimer t;
                t.start();
                items.next();
                handler.ms.push_back(double(t.nsecsElapsed()) / 1e6);
                settle();
                s.ms.push_back(double(t.nsecsElapsed()) / 1e6);
                if (grid && grid->gridModel()->rowCount() > 0) ++withRows;
            }
            if (!o.shots.isEmpty()) {
                // Not timed: on to an item the page has something to show for.
                for (int i = 0; i < 5000 && grid && grid->gridModel()->rowCount() == 0; ++i) {
                    items.next();
                    settle();
                }
                w.grab().save(QDir(o.shots).filePath(QStringLiteral("page%1.png").arg(p.index)));
            }
            if (messages.count() > 0)
                fail(QStringLiteral("the window showed: %1").arg(messages.texts().join(" / ")));
            const bool met = s.at(0.5) <= kMoveTargetMs;
            if (grid) allMet = allMet && met;
            std::printf("%-20s %9.2f %9.2f %9.2f %9.2f %9.2f %5d of %4d %8s\n", p.name, s.at(0.5),
                        s.at(0.9), s.at(0), s.at(1), handler.at(0.5), withRows, o.moves,
                        met ? "met" : "missed");
            std::fflush(stdout);
        }
        std::printf(
            "\nmedian time per move (ms, the page re-read and painted), target %.0f ms: %s\n",
            kMoveTargetMs, allMet ? "met on every page" : "missed");
    } catch (const engine::EngineError& e) {
        fail(e.message());
    }
    return 0;
}
