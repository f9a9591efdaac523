// The insert commands over a large catalogue, offscreen, through the offer editor's "Wstaw" menu
// with the editor shown: every item of a filtered list (about 10,000 of a million) written into
// the document, and each single-item command on items that have rows of its kind. Each time
// lasts until the window has handled every event the command caused (the text laid out and
// painted). Every column of the item list and of the detail lists is switched on for the runs,
// the widest lines there are, and switched back afterwards.
//
//   bench_compose --dir MAINDIR [--items N] [--filter TEXT] [--runs N] [--repeats N]
//
// MAINDIR is a main folder; it is made there with pelk-sample (N items, 1,000,000 unless told)
// when it holds no catalogue. The list is filtered by TEXT (the filter dialog's syntax,
// "Tow_Nazwa = 'Farba*'" unless told).

#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "offers/REMain.h"
#include "offers/composelines.h"
#include "shell/E_Glowny.h"
#include "shell/startup.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr double kListedTargetS = 2;
constexpr double kSingleTargetMs = 50;

struct Options {
    QString dir;
    int items = 1000000;
    QString filter = QStringLiteral("Tow_Nazwa = 'Farba*'");
    int runs = 3;
    int repeats = 30;
};

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "bench_compose: %s\n", qPrintable(why));
    std::exit(1);
}

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!v) return false;
        if (!std::strcmp(a, "--dir"))
            o.dir = QString::fromLocal8Bit(v);
        else if (!std::strcmp(a, "--items"))
            o.items = std::atoi(v);
        else if (!std::strcmp(a, "--filter"))
            o.filter = QString::fromLocal8Bit(v);
        else if (!std::strcmp(a, "--runs"))
            o.runs = std::max(1, std::atoi(v));
        else if (!std::strcmp(a, "--repeats"))
            o.repeats = std::max(1, std::atoi(v));
        else
            return false;
        ++i;
    }
    return !o.dir.isEmpty();
}

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

// Lets the window handle what is pending: posted events, layout, repaints.
void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

double at(std::vector<double> v, double q) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(q * double(v.size())))];
}

// Every switch of every list on (`on`), or the row as it was put back.
class AllColumns {
public:
    explicit AllColumns(const QString& folder) : konfig_(folder, QStringLiteral("Konfig_i")) {
        konfig_.open();
        if (konfig_.isEmpty()) fail(QStringLiteral("the catalogue has no display configuration"));
        for (const char* g : {"i", "iW", "iS", "iZ"})
            for (const char* c : {"Nazwa1", "Nazwa2", "Symbol", "Kod_Prod", "Cena_SRP", "Cena_A",
                                  "Cena_B", "Cena_C", "Ilosc"}) {
                const QString name =
                    QStringLiteral("Konfig_%1_%2").arg(QLatin1String(g), QLatin1String(c));
                if (konfig_.hasField(name)) saved_.emplace_back(name, konfig_.value(name));
            }
        write(true);
    }
    ~AllColumns() {
        try {
            write(false);
        } catch (const engine::EngineError& e) {
            std::fprintf(stderr, "the configuration was not put back: %s\n",
                         qPrintable(e.message()));
        }
    }

private:
    void write(bool on) {
        konfig_.edit();
        for (const auto& [name, value] : saved_)
            konfig_.setValue(name, on ? QVariant(true) : value);
        konfig_.post();
    }
    engine::Table konfig_;
    std::vector<std::pair<QString, QVariant>> saved_;
};

// An item that has rows in `table`, the `n`-th such row's item in the table's order.
int itemWithRows(const QString& folder, const char* table, const char* itemField, int n) {
    engine::Table t(folder, QLatin1String(table));
    t.setIndexFieldNames(QLatin1String(itemField));
    t.open();
    if (t.isEmpty()) return 0;
    t.setRecNo(std::max(1, t.recordCount() / 40 * (n + 1)));
    return t.asInteger(QLatin1String(itemField));
}

struct Command {
    const char* name;
    const char* action; // in the offer editor's "Wstaw" menu
    const char* table;  // rows of the command's kind and the field naming their item
    const char* itemField;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr, "bench_compose --dir MAINDIR [--items N] [--filter TEXT] [--runs N] "
                             "[--repeats N]\n");
        return 2;
    }
    ui::Application app(argc, argv);
    shell::applyConventions();
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner runnerGuard(runner);
    ui::setScriptFailureHandler([](const QString& m) { fail(m); });

    const QString mainDir = QDir(o.dir).absolutePath();
    const QString catalogue = QDir(mainDir).filePath(QStringLiteral("Dane/Glowna"));
    if (!engine::Database::exists(catalogue) && !makeSample(mainDir, o.items)) return 1;

    const Command singles[] = {{"header", "nagwek1", nullptr, nullptr},
                               {"footer", "stopk1", nullptr, nullptr},
                               {"company", "firm1", nullptr, nullptr},
                               {"current item", "biecy1", nullptr, nullptr},
                               {"attributes", "danezbiecejzakadki1", "Opis", "Opis_Tow_Nr"},
                               {"goes into", "wchodzido1", "Sklada", "Sklada_Nr_Czesci"},
                               {"consists of", "skadasi1", "Sklada", "Sklada_Tow_Nr"},
                               {"substitutes", "zamienniki1", "Zamienne", "Zam_Tow_Nr"},
                               {"notes", "notatki1", nullptr, nullptr},
                               {"purchase prices", "cenyzakupu1", "Cena", "Cena_Tow_Nr"}};

    try {
        shell::TForm_Pelk w;
        if (w.start(mainDir) != shell::MainController::StartOutcome::Running)
            fail(QStringLiteral("the window did not start on %1").arg(mainDir));
        w.show();
        settle();
        auto& st = w.state();
        st.PriceRight = true;
        st.PickedCompanyBlock = {QStringLiteral("ALFA-TECH Sp. z o.o."), QString(), QString(),
                                 QStringLiteral("ul. Polna 3"), QStringLiteral("00-950 Warszawa")};
        const AllColumns columns(st.CurrentCatalogueFolder);
        offers::TMainForm& editor = w.offerEditor();
        editor.show();
        settle();
        QTextEdit* text = editor.textArea();
        auto choose = [&](const char* action) {
            auto* a = editor.findChild<QAction*>(QLatin1String(action));
            if (!a || !a->isEnabled()) fail(QStringLiteral("no command %1").arg(action));
            a->trigger();
        };

        auto& items = st.TFTowar;
        const int all = items.recordCount();
        items.setFilter(o.filter);
        items.setFiltered(true);
        items.first();
        const int listed = items.recordCount();
        items.setRecNo(listed / 2);
        const int recNo = items.recNo();
        std::printf("%s: %d items, %d listed by %s\n", qPrintable(catalogue), all, listed,
                    qPrintable(o.filter));

        std::vector<double> listedS;
        for (int run = 0; run < o.runs; ++run) {
            text->clear();
            settle();
            QElapsedTimer t;
            t.start();
            choose("wszystkiewidoczne1");
            settle();
            listedS.push_back(double(t.nsecsElapsed()) / 1e9);
            const int lines = text->document()->blockCount();
            std::printf("all listed items, run %d: %.3f s, %d lines, %.1f MB of text\n", run + 1,
                        listedS.back(), lines, text->document()->characterCount() * 2 / 1e6);
            if (lines != listed)
                fail(QStringLiteral("%1 lines for %2 items").arg(lines).arg(listed));
            if (items.recNo() != recNo) fail(QStringLiteral("the list moved"));
        }
        // The share of reading: the same walk with the lines dropped instead of written.
        {
            const auto switches = offers::readComposeSwitches(st.CurrentCatalogueFolder).items;
            QElapsedTimer t;
            t.start();
            int read = 0;
            offers::listedItemLines(offers::itemListSource(items), switches,
                                    [&](const QStringList& lines) {
                                        read += int(lines.size());
                                        return true;
                                    });
            std::printf("of which reading the %d rows and building their lines: %.3f s\n", read,
                        double(t.nsecsElapsed()) / 1e9);
        }
        const double worstListed = *std::max_element(listedS.begin(), listedS.end());
        std::printf("all %d listed items into the editor: worst %.3f s (target %.0f s) %s\n\n",
                    listed, worstListed, kListedTargetS,
                    worstListed <= kListedTargetS ? "met" : "missed");

        items.setFiltered(false);
        std::printf("%-16s %9s %9s %9s %8s  (ms, %d times each, a short document)\n", "command",
                    "median", "p90", "max", "target", o.repeats);
        bool allMet = worstListed <= kListedTargetS;
        for (const Command& c : singles) {
            std::vector<double> ms;
            for (int i = 0; i < o.repeats; ++i) {
                // Not timed: on to an item with rows of the command's kind, in a short document.
                if (c.table) {
                    const int nr = itemWithRows(st.CurrentCatalogueFolder, c.table, c.itemField, i);
                    const QString order = items.indexFieldNames();
                    items.setIndexFieldNames(QStringLiteral("Tow_nr"));
                    items.findNearest({nr});
                    items.setIndexFieldNames(order);
                } else {
                    items.setRecNo(all / 3 + i * 997);
                }
                if (text->document()->blockCount() > 200) text->clear();
                settle();
                QElapsedTimer t;
                t.start();
                choose(c.action);
                settle();
                ms.push_back(double(t.nsecsElapsed()) / 1e6);
            }
            const bool met = at(ms, 0.5) <= kSingleTargetMs;
            allMet = allMet && met;
            std::printf("%-16s %9.2f %9.2f %9.2f %8s\n", c.name, at(ms, 0.5), at(ms, 0.9),
                        at(ms, 1), met ? "met" : "missed");
        }
        if (messages.count() > 0)
            fail(QStringLiteral("the window showed: %1").arg(messages.texts().join(" / ")));
        std::printf("\ntargets (%.0f s for the list, %.0f ms median per single command): %s\n",
                    kListedTargetS, kSingleTargetMs, allMet ? "met" : "missed");
        editor.hide();
    } catch (const engine::EngineError& e) {
        fail(e.message());
    }
    return 0;
}
