// The orders over a large sample (pelk-sample --orders 100000: 100,000 orders of each kind with
// 1 to 20 lines each), offscreen:
//   - opening the order list on client orders (kind, state and period filtered) until its grids
//     are painted;
//   - moving the list to the next order, the lines grid following, until painted;
//   - reading an order of 200 lines, and writing it (header and all lines in one transaction);
//   - the next order number with gap filling over orders numbered without gaps.
//
//   bench_orders --dir MAINDIR [--moves N] [--repeat N] [--shot FILE]

#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "orders/Otw_Zam.h"
#include "orders/orderdocs.h"
#include "shell/E_Glowny.h"
#include "shell/startup.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
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

struct Options {
    QString dir;
    int moves = 1000;
    int repeat = 20;
    QString shot; // a picture of the list after the moves
};

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "bench_orders: %s\n", qPrintable(why));
    std::exit(1);
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!v) return false;
        if (!std::strcmp(a, "--dir"))
            o.dir = QString::fromLocal8Bit(v);
        else if (!std::strcmp(a, "--moves"))
            o.moves = std::max(10, std::atoi(v));
        else if (!std::strcmp(a, "--repeat"))
            o.repeat = std::max(3, std::atoi(v));
        else if (!std::strcmp(a, "--shot"))
            o.shot = QString::fromLocal8Bit(v);
        else
            return false;
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

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

template <class F> double timed(F&& f) {
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

bool allMet = true;

void report(const char* what, const Series& s, double target, const char* unit = "median") {
    const bool met = s.at(0.5) <= target;
    allMet = allMet && met;
    std::printf("%-44s %8.2f %8.2f %8.2f %8.2f %7.0f %s (%s)\n", what, s.at(0.5), s.at(0.9),
                s.at(0), s.at(1), target, met ? "met" : "MISSED", unit);
    std::fflush(stdout);
}

std::vector<orders::OrderLine> lines(int count) {
    std::vector<orders::OrderLine> out;
    for (int i = 0; i < count; ++i)
        out.push_back(orders::OrderLine{i + 1, QStringLiteral("Pozycja próbna %1").arg(i + 1),
                                        QStringLiteral("SYM-%1").arg(i, 5, 10, QLatin1Char('0')),
                                        QStringLiteral("KOD %1").arg(i), QString(), 2.5,
                                        QStringLiteral("szt")});
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "bench_orders --dir MAINDIR [--moves N] [--repeat N] [--shot FILE]\n");
        return 2;
    }
    ui::Application app(argc, argv);
    shell::applyConventions();
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner runnerGuard(runner);
    ui::setScriptFailureHandler([](const QString& m) { fail(m); });

    try {
        shell::TForm_Pelk w;
        const QString mainDir = QDir(o.dir).absolutePath();
        if (w.start(mainDir) != shell::MainController::StartOutcome::Running)
            fail(QStringLiteral("the window did not start on %1").arg(mainDir));
        w.show();
        settle();
        store::MainState& st = w.state();
        orders::TEkr_Otworz_Zamowienie* list = orders::mainOrderList();
        if (!list) fail(QStringLiteral("the window has no order list"));
        list->resize(1000, 650);
        auto db = engine::Database::open(st.DefaultCatalogueFolder);

        std::printf("%-44s %8s %8s %8s %8s %7s\n", "ms", "median", "p90", "min", "max", "target");

        // Opening the list: the first time opens the order tables too.
        Series opening;
        for (int i = 0; i < o.repeat; ++i) {
            list->hide();
            settle();
            opening.ms.push_back(timed([&] {
                list->showKind(i % 2);
                settle();
            }));
        }
        const int shown = st.TDokumenty.recordCount();
        std::printf("order list: %d orders in the period (%s)\n", shown,
                    qPrintable(st.TDokumenty.filter()));
        report("opening the order list (until painted)", opening, 100);

        list->showKind(0);
        settle();
        st.TDokumenty.first();
        settle();
        Series moving;
        int withLines = 0;
        auto* linesGrid = list->findChild<ui::DbGrid*>(QStringLiteral("DBGrid_Pozycje"));
        for (int i = 0; i < o.moves; ++i) {
            moving.ms.push_back(timed([&] {
                st.TDokumenty.next();
                settle();
            }));
            if (linesGrid->gridModel()->rowCount() > 0) ++withLines;
        }
        if (withLines < o.moves) fail(QStringLiteral("the lines grid did not follow"));
        report("next order, lines grid following", moving, 5);
        if (!o.shot.isEmpty()) list->grab().save(o.shot);

        // An order of 200 lines, written and read again and again.
        orders::Numbering numbering = orders::readNumbering(st.TPelk, orders::kFromClient);
        numbering.fillGaps = true;
        const orders::CreatedOrder made =
            orders::createOrder(st.DefaultCatalogueFolder, numbering, orders::kFromClient,
                                orders::CompletedAtCreation::No, QDate::currentDate());
        engine::Table heads(st.DefaultCatalogueFolder, QStringLiteral("Dok_Head"));
        heads.open();
        if (!heads.gotoRowId(made.dokNr)) fail(QStringLiteral("the new order is not there"));
        orders::OrderHeader header = orders::readHeader(heads);
        header.addresseeName = QStringLiteral("Próbna");
        const auto two100 = lines(200);
        orders::writeOrder(heads, header, two100, orders::WriteMode::New, numbering.pattern,
                           QDate::currentDate());
        Series reading, writing;
        for (int i = 0; i < o.repeat; ++i) {
            std::size_t count = 0;
            reading.ms.push_back(timed([&] { count = orders::readLines(*db, made.dokNr).size(); }));
            if (count != 200) fail(QStringLiteral("%1 lines read instead of 200").arg(count));
            writing.ms.push_back(timed([&] {
                orders::writeOrder(heads, header, two100, orders::WriteMode::Edit,
                                   numbering.pattern, QDate::currentDate());
            }));
        }
        report("loading an order of 200 lines", reading, 100);
        report("saving an order of 200 lines", writing, 100);
        orders::deleteOrder(heads);

        Series numberingTime;
        orders::Numbering fromOne{1, true, numbering.pattern};
        qint64 next = 0;
        for (int i = 0; i < o.repeat; ++i)
            numberingTime.ms.push_back(
                timed([&] { next = orders::nextOrderNumber(*db, orders::kFromClient, fromOne); }));
        std::printf("next client order number with gap filling from 1: %lld\n", next);
        report("next order number, gap filling", numberingTime, 50);

        if (messages.count() > 0)
            fail(QStringLiteral("the window showed: %1").arg(messages.texts().join(" / ")));
        std::printf("\n%s\n", allMet ? "every target met" : "some targets missed");
    } catch (const engine::EngineError& e) {
        fail(e.message());
    }
    return allMet ? 0 : 1;
}
