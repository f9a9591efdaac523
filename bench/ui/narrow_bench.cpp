// The "zawiera" search of the main window over a large catalogue, offscreen: building the
// contains index, each keystroke of typed words until the item grid shows the narrowed list
// painted, and posting an item with the index kept. Every narrowed list is checked afterwards
// (outside the time) against the words, so a fast wrong answer cannot pass.
//
//   bench_narrow --dir MAINDIR [--runs N] [--rebuild]
//
// MAINDIR is a sample main folder (build/tools/pelk-sample MAINDIR --items 1000000).

#include "engine/containsindex.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/rowlist.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "shell/E_Glowny.h"
#include "shell/narrowsearch.h"
#include "shell/startup.h"
#include "ui/dbgrid.h"
#include "ui/errorbox.h"
#include "ui/messages.h"
#include "ui/modalrunner.h"
#include "ui/scriptfailure.h"
#include "ui_E_Glowny.h"
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

const QString kCatalogue = QStringLiteral("Dane/Glowna");
const QStringList kFields{QStringLiteral("Tow_Nazwa"), QStringLiteral("Tow_Nazwa2"),
                          QStringLiteral("Tow_Symbol"), QStringLiteral("Tow_Kod_Prod")};

// What users type: words of the sample's names, symbols and makers' codes, with and without
// Polish marks, in and out of order.
const char* const kTyped[] = {"sruba m8", "M8 ŚRUBA",    "łożysko 62", "zawor kul",
                              "8x20",     "przewod h07", "klucz 13",   "nakretka m10",
                              "srb-07",   "ocynk 6",     "pas htd",    "wąż 1/2"};

[[noreturn]] void fail(const QString& why) {
    std::fprintf(stderr, "bench_narrow: %s\n", qPrintable(why));
    std::exit(1);
}

struct Series {
    std::vector<double> ms;
    double q(double p) const {
        if (ms.empty()) return 0;
        std::vector<double> v = ms;
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
    }
    void print(const char* name, double target) const {
        std::printf("%-34s %5zu  median %8.2f  p90 %8.2f  max %8.2f ms  target p90 <= %.0f: %s\n",
                    name, ms.size(), q(0.5), q(0.9), ms.empty() ? 0 : q(1.0), target,
                    q(0.9) <= target ? "met" : "missed");
    }
};

class PaintCounter : public QObject {
public:
    using QObject::QObject;
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Processor time of this process: on a machine shared with other work, what the search itself
// cost, whatever the wait for a processor.
double cpuMs() {
    return double(std::clock()) * 1e3 / CLOCKS_PER_SEC;
}

int keyOf(QChar c) {
    const QChar u = c.toUpper();
    if (u.unicode() >= 'A' && u.unicode() <= 'Z') return Qt::Key_A + (u.unicode() - 'A');
    if (c.isDigit()) return Qt::Key_0 + c.digitValue();
    if (c == u' ') return Qt::Key_Space;
    return Qt::Key_unknown;
}

// Every shown row holds every word (checked on the folded fields).
void checkShown(engine::RowList& rows, const QString& text) {
    const QStringList words = engine::ContainsIndex::words(text);
    const int n = std::min(rows.recordCount(), 50);
    for (const auto& r : rows.rowsAt(1, n)) {
        QString all;
        for (const QString& f : kFields)
            all += engine::foldPolish(r.values.value(rows.fieldIndex(f)).toString()) + u'\n';
        for (const QString& w : words)
            if (!all.contains(w))
                fail(QStringLiteral("\"%1\" shows a row without \"%2\": %3").arg(text, w, all));
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QString dir;
    int runs = 3;
    bool rebuild = false;
    QString shot, shotText = QStringLiteral("sruba m8");
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--dir") && i + 1 < argc)
            dir = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (!std::strcmp(argv[i], "--rebuild"))
            rebuild = true;
        else if (!std::strcmp(argv[i], "--shot") && i + 1 < argc)
            shot = QString::fromLocal8Bit(argv[++i]);
        else if (!std::strcmp(argv[i], "--text") && i + 1 < argc)
            shotText = QString::fromLocal8Bit(argv[++i]);
        else {
            std::printf("bench_narrow --dir MAINDIR [--runs N] [--rebuild] "
                        "[--shot FILE.png [--text WORDS]]\n"
                        "  --shot  only types WORDS (default \"sruba m8\") and saves the window\n");
            return 2;
        }
    }
    if (dir.isEmpty()) fail(QStringLiteral("--dir MAINDIR is needed (a pelk-sample main folder)"));
    ui::Application app(argc, argv);
    shell::applyConventions();
    ui::FakeMessages messages;
    ui::ScopedMessages messagesGuard(messages);
    ui::ScriptedModalRunner runner;
    ui::ScopedModalRunner runnerGuard(runner);
    ui::setScriptFailureHandler([](const QString& m) { fail(m); });
    const QString mainDir = QDir(dir).absolutePath();
    const QString folder = QDir(mainDir).filePath(kCatalogue);

    try {
        {
            auto db = engine::Database::open(folder);
            engine::ContainsIndex index(db, QStringLiteral("Towar"), kFields);
            if (rebuild || !index.ready()) {
                QElapsedTimer t;
                t.start();
                const double cpuBefore = cpuMs();
                index.build();
                std::printf("index build: %.1f s (processor time %.1f s)\n",
                            double(t.elapsed()) / 1000.0, (cpuMs() - cpuBefore) / 1000.0);
            }
        }
        shell::TForm_Pelk w;
        if (w.start(mainDir) != shell::MainController::StartOutcome::Running)
            fail(QStringLiteral("the window did not start on %1").arg(mainDir));
        w.setWindowState(Qt::WindowNoState);
        w.resize(1280, 800);
        w.show();
        w.activateWindow();
        for (int i = 0; i < 200 && !w.isActiveWindow(); ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        w.form().Edit_Szukaj_Towar->setFocus();
        QCoreApplication::processEvents();
        if (QApplication::focusWidget() != w.form().Edit_Szukaj_Towar)
            fail(QStringLiteral("the search field has no focus"));
        auto* box = w.findChild<QCheckBox*>(QStringLiteral("CB_Zawiera"));
        if (!box->isChecked()) box->click();
        if (!box->isChecked()) fail(QStringLiteral("the switch did not go on"));
        auto& narrow = w.narrowSearch();
        QLineEdit* field = w.form().Edit_Szukaj_Towar;
        ui::DbGrid* grid = w.form().DBGrid_Towary;
        PaintCounter paints;
        grid->viewport()->installEventFilter(&paints);
        std::printf("items: %d\n", w.state().TFTowar.recordCount());
        if (!shot.isEmpty()) {
            for (QChar c : shotText) {
                QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c));
                QApplication::sendEvent(field, &press);
                for (int i = 0; i < 20; ++i)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
            QElapsedTimer t;
            t.start();
            while (t.elapsed() < 1500)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            if (!w.grab().save(shot)) fail(QStringLiteral("cannot write ") + shot);
            std::printf("saved %s\n", qPrintable(shot));
            return 0;
        }

        Series words2, single, postMs, words2Cpu, singleCpu;
        for (int run = 0; run < runs; ++run) {
            for (const char* typed : kTyped) {
                field->clear();
                for (int i = 0; i < 5; ++i)
                    QCoreApplication::processEvents();
                QString text;
                for (QChar c : QString::fromUtf8(typed)) {
                    text += c;
                    const int before = paints.paints;
                    const int paintedBefore = int(narrow.paintedTexts().size());
                    QElapsedTimer t;
                    t.start();
                    const double cpuBefore = cpuMs();
                    QKeyEvent press(QEvent::KeyPress, keyOf(c), Qt::NoModifier, QString(c));
                    QApplication::sendEvent(field, &press);
                    for (;;) {
                        QCoreApplication::processEvents();
                        const QStringList painted = narrow.paintedTexts();
                        if (int(painted.size()) > paintedBefore && painted.last() == text &&
                            paints.paints > before)
                            break;
                        if (t.elapsed() > 60000) fail(QStringLiteral("no paint for ") + text);
                    }
                    const double ms = double(t.nsecsElapsed()) / 1e6;
                    const double cpu = cpuMs() - cpuBefore;
                    QKeyEvent release(QEvent::KeyRelease, keyOf(c), Qt::NoModifier, QString(c));
                    QApplication::sendEvent(field, &release);
                    const QStringList words = engine::ContainsIndex::words(text);
                    if (words.isEmpty()) continue;
                    bool hasSingle = false;
                    for (const QString& wd : words)
                        if (wd.size() == 1) hasSingle = true;
                    (hasSingle ? single : words2).ms.push_back(ms);
                    (hasSingle ? singleCpu : words2Cpu).ms.push_back(cpu);
                    if (engine::RowList* rows = narrow.shown()) checkShown(*rows, text);
                }
            }
        }
        // Posting an item with the index kept, on a cursor of its own: a name changed and
        // written back, each post durable; and the same inside one transaction, which leaves
        // out the disk's sync and shows what the index itself costs.
        field->clear();
        QCoreApplication::processEvents();
        Series txMs;
        {
            engine::Table t(folder, QStringLiteral("Towar"));
            t.setIndexFieldNames(QStringLiteral("Tow_nr"));
            t.open();
            auto db = t.database();
            if (!engine::ContainsIndex(db, QStringLiteral("Towar"), kFields).ready())
                fail(QStringLiteral("the index is gone"));
            auto renameAll = [&](Series& into, const QString& tail) {
                t.findNearest({500000});
                for (int i = 0; i < 200; ++i, t.next()) {
                    const QString name = t.asString(QStringLiteral("Tow_Nazwa"));
                    QElapsedTimer tm;
                    tm.start();
                    t.edit();
                    t.setValue(QStringLiteral("Tow_Nazwa"), QString(name + tail));
                    t.post();
                    into.ms.push_back(double(tm.nsecsElapsed()) / 1e6);
                }
            };
            renameAll(postMs, QStringLiteral(" x"));
            db->begin();
            renameAll(txMs, QStringLiteral(" y"));
            db->commit();
            // The names as they were.
            t.findNearest({500000});
            db->begin();
            for (int i = 0; i < 200; ++i, t.next()) {
                QString name = t.asString(QStringLiteral("Tow_Nazwa"));
                name.chop(4);
                t.edit();
                t.setValue(QStringLiteral("Tow_Nazwa"), name);
                t.post();
            }
            db->commit();
        }
        // A durable post on a table without the index: what the disk's sync costs alone.
        Series plainMs;
        {
            engine::Table t(folder, QStringLiteral("Firmy"));
            t.open();
            for (int i = 0; i < 50; ++i, t.next()) {
                const QString v = t.asString(QStringLiteral("Firma_Nazwa1"));
                QElapsedTimer tm;
                tm.start();
                t.edit();
                t.setValue(QStringLiteral("Firma_Nazwa1"), v);
                t.post();
                plainMs.ms.push_back(double(tm.nsecsElapsed()) / 1e6);
            }
        }
        double load[3] = {0, 0, 0};
        if (getloadavg(load, 3) > 0) std::printf("load average: %.2f\n", load[0]);
        words2.print("keystroke, words of 2+ letters", 50);
        words2Cpu.print("  processor time of the same", 50);
        single.print("keystroke, a single letter", 200);
        singleCpu.print("  processor time of the same", 200);
        postMs.print("post of an item, index kept", 2);
        txMs.print("  the same within one transaction", 2);
        plainMs.print("  durable post of a company (no index)", 2);
        if (messages.count() != 0) fail(messages.texts().join(QStringLiteral(" / ")));
    } catch (const engine::EngineError& e) {
        fail(e.message());
    }
    return 0;
}
