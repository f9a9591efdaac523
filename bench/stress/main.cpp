// pelk-stress: the engine's promises under load, faults and bad input, measured on demand.
// Each run makes its own folders in a temporary place and prints its figures; the exit status is
// 1 when a promise was broken (a lost or extra update, a duplicate, a damaged database, a crash).
// Child processes are this program again, started with a hidden command.
#include "engine/check.h"
#include "engine/database.h"
#include "engine/error.h"
#include "engine/filterexpr.h"
#include "engine/localsql.h"
#include "engine/query.h"
#include "engine/table.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>
#include <functional>
#include <set>

using namespace engine;

namespace {

void say(const QString& line) {
    const QByteArray b = (line + u'\n').toUtf8();
    std::fwrite(b.constData(), 1, size_t(b.size()), stdout);
    std::fflush(stdout);
}

QString option(const QStringList& args, const QString& name, const QString& fallback) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
}

QProcess* child(const QStringList& args, QObject* parent = nullptr) {
    auto* p = new QProcess(parent);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QCoreApplication::applicationFilePath(), args);
    p->waitForStarted();
    return p;
}

QStringList outputLines(QProcess& p) {
    QStringList out;
    for (const QByteArray& l : p.readAllStandardOutput().split('\n'))
        if (!l.trimmed().isEmpty()) out << QString::fromUtf8(l.trimmed());
    return out;
}

TableDef counterTable() {
    return TableDef{QStringLiteral("Licznik"),
                    {{QStringLiteral("Nr"), FieldType::AutoInc},
                     {QStringLiteral("Wartosc"), FieldType::LongInt},
                     {QStringLiteral("Nazwa"), FieldType::Alpha, 40}},
                    {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true},
                     {QStringLiteral("Wg_nazwy"), {QStringLiteral("Nazwa")}, false}}};
}

QString makeFolder(const QTemporaryDir& tmp, bool marked, int rows = 1) {
    const QString folder = tmp.path() + QStringLiteral("/dane");
    QDir().mkpath(folder);
    {
        auto db = Database::open(folder, Database::Mode::Create);
        db->createTable(counterTable());
        if (rows > 0)
            db->exec(
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n "
                               "WHERE i<%1) INSERT INTO Licznik(Nr, Wartosc, Nazwa) SELECT i, 0, "
                               "'wiersz ' || i FROM n")
                    .arg(rows));
        db->noteAutoInc(QStringLiteral("Licznik"), QStringLiteral("Nr"), rows);
    }
    if (marked) Database::markForThisMachine(folder);
    return folder;
}

qint64 scalar(const QString& folder, const QString& sql) {
    auto db = Database::open(folder);
    Statement st = db->prepare(sql);
    return st.step() ? st.columnInt(0) : -1;
}

// --- children ------------------------------------------------------------------------------

// Adds 1 to the counter row until the time is up; prints how many adds were acknowledged.
int childCounter(const QString& folder, int seconds) {
    Database::setUserName(QStringLiteral("proces %1").arg(QCoreApplication::applicationPid()));
    Table t(folder, QStringLiteral("Licznik"));
    t.open();
    qint64 acked = 0;
    const QDeadlineTimer deadline(seconds * 1000);
    while (!deadline.hasExpired()) {
        try {
            t.refresh();
            t.first();
            t.edit();
            t.setValue(QStringLiteral("Wartosc"), t.asInteger(QStringLiteral("Wartosc")) + 1);
            t.post();
            ++acked;
        } catch (const EngineError&) {
            // Locked or changed by another: this add did not happen; try again.
            if (t.state() != Table::State::Browse) t.cancel();
        }
    }
    say(QStringLiteral("acked %1").arg(acked));
    return 0;
}

// Appends rows, printing each acknowledged key at once (a kill may come at any moment).
int childAppend(const QString& folder, int count) {
    Table t(folder, QStringLiteral("Licznik"));
    t.open();
    for (int i = 0; count <= 0 || i < count; ++i) {
        try {
            t.append();
            t.setValue(QStringLiteral("Nazwa"),
                       QStringLiteral("p%1 %2").arg(QCoreApplication::applicationPid()).arg(i));
            t.post();
            say(QStringLiteral("acked %1").arg(t.asInteger(QStringLiteral("Nr"))));
        } catch (const EngineError& e) {
            say(QStringLiteral("refused %1").arg(e.message()));
            if (t.state() != Table::State::Browse) t.cancel();
        }
    }
    return 0;
}

// Edits row 1 and stays in editing (holding its lock) until killed.
int childHold(const QString& folder) {
    Table t(folder, QStringLiteral("Licznik"));
    t.open();
    t.first();
    t.edit();
    say(QStringLiteral("editing"));
    QThread::sleep(3600);
    return 0;
}

// A read that would run for ever, cancelled after the given seconds.
int childLongRead(const QString& folder, double seconds) {
    auto db = Database::open(folder);
    const QDeadlineTimer deadline(qint64(seconds * 1000));
    db->setCancelCheck([deadline] { return deadline.hasExpired(); });
    Query q;
    q.setDatabaseName(folder);
    q.setSql({QStringLiteral("SELECT a.Nr FROM Licznik a, Licznik b, Licznik c WHERE "
                             "Upper(a.Nazwa) > Upper(b.Nazwa) AND Upper(b.Nazwa) > "
                             "Upper(c.Nazwa) AND Upper(c.Nazwa) > Upper(a.Nazwa)")});
    q.setUnidirectional(true);
    say(QStringLiteral("reading"));
    try {
        q.open();
    } catch (const EngineError& e) {
        say(QStringLiteral("stopped"));
        return 0;
    }
    say(QStringLiteral("finished"));
    return 0;
}

// --- runs ----------------------------------------------------------------------------------

bool runCounter(int procs, int seconds, bool marked) {
    QTemporaryDir tmp;
    const QString folder = makeFolder(tmp, marked);
    std::vector<std::unique_ptr<QProcess>> kids;
    for (int i = 0; i < procs; ++i)
        kids.emplace_back(
            child({QStringLiteral("child-counter"), folder, QString::number(seconds)}));
    qint64 acked = 0;
    for (auto& k : kids) {
        k->waitForFinished(seconds * 1000 + 60000);
        for (const QString& l : outputLines(*k))
            if (l.startsWith(u"acked ")) acked += l.mid(6).toLongLong();
    }
    const qint64 stored =
        scalar(folder, QStringLiteral("SELECT Wartosc FROM Licznik WHERE Nr = 1"));
    say(QStringLiteral("licznik (%1, %2 procesów, %3 s): potwierdzonych %4, w bazie %5, "
                       "utraconych %6, nadmiarowych %7")
            .arg(marked ? QStringLiteral("wal") : QStringLiteral("delete"))
            .arg(procs)
            .arg(seconds)
            .arg(acked)
            .arg(stored)
            .arg(std::max<qint64>(0, acked - stored))
            .arg(std::max<qint64>(0, stored - acked)));
    return acked == stored;
}

bool runAppends(int procs, int count) {
    QTemporaryDir tmp;
    const QString folder = makeFolder(tmp, false, 0);
    std::vector<std::unique_ptr<QProcess>> kids;
    for (int i = 0; i < procs; ++i)
        kids.emplace_back(child({QStringLiteral("child-append"), folder, QString::number(count)}));
    std::multiset<qint64> acked;
    int refusals = 0;
    for (auto& k : kids) {
        k->waitForFinished(600000);
        for (const QString& l : outputLines(*k))
            if (l.startsWith(u"acked "))
                acked.insert(l.mid(6).toLongLong());
            else if (l.startsWith(u"refused ") && ++refusals <= 3)
                say(QStringLiteral("  odmowa: ") + l.mid(8));
    }
    const qint64 rows = scalar(folder, QStringLiteral("SELECT count(*) FROM Licznik"));
    const qint64 duplicates =
        rows - scalar(folder, QStringLiteral("SELECT count(DISTINCT Nr) FROM Licznik"));
    qint64 missing = 0;
    {
        auto db = Database::open(folder);
        for (qint64 nr : std::set<qint64>(acked.begin(), acked.end())) {
            Statement st = db->prepare(QStringLiteral("SELECT 1 FROM Licznik WHERE Nr = ?1"));
            st.bind(1, nr);
            if (!st.step()) ++missing;
        }
    }
    const qint64 ackedTwice =
        qint64(acked.size()) - qint64(std::set<qint64>(acked.begin(), acked.end()).size());
    say(QStringLiteral("dopisywanie (%1 procesów po %2): potwierdzonych %3, w bazie %4, "
                       "duplikatów %5, brakujących %6")
            .arg(procs)
            .arg(count)
            .arg(acked.size())
            .arg(rows)
            .arg(duplicates + ackedTwice)
            .arg(missing));
    return duplicates + ackedTwice == 0 && missing == 0 && rows == qint64(acked.size());
}

// Writers killed at random moments: the database passes the integrity check (with the engine's
// collation) and holds every acknowledged post; a killed editor's lock binds nobody.
bool runKills(int kills) {
    QTemporaryDir tmp;
    const QString folder = makeFolder(tmp, false);
    auto* rng = QRandomGenerator::global();
    int survived = 0, refusedEdits = 0;
    for (int k = 0; k < kills; ++k) {
        const bool holder = k % 2 == 1;
        std::unique_ptr<QProcess> p(child(
            holder ? QStringList{QStringLiteral("child-hold"), folder}
                   : QStringList{QStringLiteral("child-append"), folder, QStringLiteral("0")}));
        if (holder)
            p->waitForReadyRead(10000);
        else
            QThread::msleep(20 + rng->bounded(200));
        p->kill();
        p->waitForFinished();
        bool whole = true;
        {
            auto db = Database::open(folder);
            for (const QString& f : checkDatabase(*db))
                if (!f.contains(u"blokada")) whole = false; // dead locks are counted below
            for (const QString& l : outputLines(*p)) {
                if (!l.startsWith(u"acked ")) continue;
                Statement st = db->prepare(QStringLiteral("SELECT 1 FROM Licznik WHERE Nr = ?1"));
                st.bind(1, l.mid(6).toLongLong());
                if (!st.step()) whole = false;
            }
        }
        if (holder) {
            Table t(folder, QStringLiteral("Licznik"));
            try {
                t.open();
                t.first();
                t.edit();
                t.cancel();
            } catch (const EngineError&) {
                ++refusedEdits;
            }
        }
        if (whole) ++survived;
    }
    say(QStringLiteral("zabicia: przetrwanych %1 z %2, edycji odmówionych po zabiciu %3")
            .arg(survived)
            .arg(kills)
            .arg(refusedEdits));
    return survived == kills && refusedEdits == 0;
}

// While another process runs a long read: on a marked folder posts go on; on an unmarked one
// the read is cancelled after `cancelAfter` seconds and the waiting post goes through then.
bool runLongRead(double seconds, bool marked) {
    QTemporaryDir tmp;
    const QString folder = makeFolder(tmp, marked, 3000);
    std::unique_ptr<QProcess> reader(
        child({QStringLiteral("child-longread"), folder, QString::number(seconds)}));
    reader->waitForReadyRead(10000);
    QThread::msleep(300); // into the join
    Table t(folder, QStringLiteral("Licznik"));
    t.open();
    qint64 longest = 0;
    int posts = 0, failed = 0;
    QElapsedTimer all;
    all.start();
    while (reader->state() == QProcess::Running && all.elapsed() < qint64(seconds * 1000) + 15000) {
        QElapsedTimer one;
        one.start();
        try {
            t.refresh();
            t.first();
            t.edit();
            t.setValue(QStringLiteral("Wartosc"), t.asInteger(QStringLiteral("Wartosc")) + 1);
            t.post();
            ++posts;
        } catch (const EngineError&) {
            if (t.state() != Table::State::Browse) t.cancel();
            ++failed;
        }
        longest = std::max(longest, one.elapsed());
        reader->waitForFinished(marked ? 100 : 1);
    }
    reader->waitForFinished(30000);
    say(QStringLiteral("długi odczyt (%1, %2 s): zapisów %3, nieudanych %4, najdłuższe czekanie "
                       "zapisu %5 ms")
            .arg(marked ? QStringLiteral("wal") : QStringLiteral("delete, odczyt przerwany"))
            .arg(seconds)
            .arg(posts)
            .arg(failed)
            .arg(longest));
    return failed == 0 && (!marked || longest <= 100);
}

// --- fuzzing -------------------------------------------------------------------------------

// Texts built from the pieces the parsers know, cut and spliced at random: deep nesting, broken
// quotes, stray operators. A parser may refuse any of them, with an engine error, never crash.
QString randomText(QRandomGenerator& rng, const QStringList& pieces, int maxPieces) {
    QString s;
    const int n = 1 + int(rng.bounded(maxPieces));
    for (int i = 0; i < n; ++i) {
        const int r = int(rng.bounded(100));
        if (r < 3) {
            s += QString(int(rng.bounded(400)), u'(');
        } else if (r < 5) {
            s += QString(QChar(char16_t(rng.bounded(0x20, 0x250))));
        } else {
            s += pieces[int(rng.bounded(int(pieces.size())))];
            s += u' ';
        }
    }
    if (rng.bounded(10) == 0 && !s.isEmpty()) s.truncate(int(rng.bounded(int(s.size()))));
    return s;
}

// A condition as people write them, nested at random; with `sql` in the local SQL's words.
QString condition(QRandomGenerator& rng, int depth, bool sql) {
    static const QStringList columns = {QStringLiteral("Tow_nr"), QStringLiteral("Tow_Nazwa"),
                                        QStringLiteral("Tow_SRP"), QStringLiteral("Tow_Data")};
    static const QStringList ops = {QStringLiteral("="), QStringLiteral("<>"), QStringLiteral(">="),
                                    QStringLiteral("<")};
    static const QStringList values = {QStringLiteral("12"),     QStringLiteral("'ŚRUBA*'"),
                                       QStringLiteral("'a''b'"), QStringLiteral("01-02-2024"),
                                       QStringLiteral("-3.5"),   QStringLiteral("\"x%\"")};
    const int r = int(rng.bounded(depth > 6 ? 2 : 7));
    const QString col = columns[int(rng.bounded(int(columns.size())))];
    const QString val = values[int(rng.bounded(int(values.size())))];
    switch (r) {
    case 0:
        return col + ops[int(rng.bounded(int(ops.size())))] + val;
    case 1:
        return sql ? QStringLiteral("Upper(%1) LIKE %2").arg(col, val)
                   : col + QStringLiteral("=") + val;
    case 2:
        return u'(' + condition(rng, depth + 1, sql) + u')';
    case 3:
        return QStringLiteral("not ") + condition(rng, depth + 1, sql);
    case 4:
        return condition(rng, depth + 1, sql) + QStringLiteral(" and ") +
               condition(rng, depth + 1, sql);
    case 5:
        return condition(rng, depth + 1, sql) + QStringLiteral(" or ") +
               condition(rng, depth + 1, sql);
    default:
        return sql ? QStringLiteral("CAST(%1 AS NUMERIC) BETWEEN 1 AND %2").arg(col, val)
                   : col + QStringLiteral(">") + val;
    }
}

// A good text, or one broken at a random place by a random piece.
QString mutated(QRandomGenerator& rng, QString text, const QStringList& pieces) {
    const int cuts = int(rng.bounded(4));
    for (int i = 0; i < cuts && !text.isEmpty(); ++i) {
        const int at = int(rng.bounded(int(text.size())));
        switch (rng.bounded(3)) {
        case 0:
            text.remove(at, 1 + int(rng.bounded(5)));
            break;
        case 1:
            text.insert(at, pieces[int(rng.bounded(int(pieces.size())))]);
            break;
        default:
            text.insert(at, QString(1 + int(rng.bounded(300)), u'('));
        }
    }
    return text;
}

struct Target {
    const char* name;
    std::function<void(QRandomGenerator&)> once; // throws EngineError when it refuses
};

std::vector<Target> fuzzTargets() {
    static const TableDef towar{QStringLiteral("Towar"),
                                {{QStringLiteral("Tow_nr"), FieldType::AutoInc},
                                 {QStringLiteral("Tow_Nazwa"), FieldType::Alpha, 50},
                                 {QStringLiteral("Tow_SRP"), FieldType::Number},
                                 {QStringLiteral("Tow_Data"), FieldType::Date},
                                 {QStringLiteral("Tow_Jest"), FieldType::Logical}}};
    static const QStringList filterPieces = {
        QStringLiteral("tow_nr"),   QStringLiteral("Tow_Nazwa"),  QStringLiteral("tow_srp"),
        QStringLiteral("Tow_Data"), QStringLiteral("Tow_Jest"),   QStringLiteral("="),
        QStringLiteral("<>"),       QStringLiteral(">="),         QStringLiteral("<"),
        QStringLiteral("and"),      QStringLiteral("or"),         QStringLiteral("not"),
        QStringLiteral("("),        QStringLiteral(")"),          QStringLiteral("'ŚRUBA*'"),
        QStringLiteral("'a''b'"),   QStringLiteral("'"),          QStringLiteral("12"),
        QStringLiteral("-3,5"),     QStringLiteral("01-02-2024"), QStringLiteral("\"x\""),
        QStringLiteral("*"),        QStringLiteral("blank")};
    static const QStringList sqlPieces = {
        QStringLiteral("SELECT"),      QStringLiteral("DISTINCT"), QStringLiteral("Towar.*"),
        QStringLiteral("FROM"),        QStringLiteral("Towar"),    QStringLiteral("Towar.db"),
        QStringLiteral("t"),           QStringLiteral("WHERE"),    QStringLiteral("Tow_nr"),
        QStringLiteral("t.Tow_Nazwa"), QStringLiteral("Upper("),   QStringLiteral("CAST("),
        QStringLiteral("AS"),          QStringLiteral("NUMERIC"),  QStringLiteral("DATE"),
        QStringLiteral(")"),           QStringLiteral("("),        QStringLiteral("LIKE"),
        QStringLiteral("BETWEEN"),     QStringLiteral("AND"),      QStringLiteral("OR"),
        QStringLiteral("NOT"),         QStringLiteral("IS"),       QStringLiteral("NULL"),
        QStringLiteral("="),           QStringLiteral(">="),       QStringLiteral("\"%ŚRUBA%\""),
        QStringLiteral("'x'"),         QStringLiteral("7"),        QStringLiteral("-1.5"),
        QStringLiteral(","),           QStringLiteral("ORDER BY"), QStringLiteral("DESC"),
        QStringLiteral(";"),           QStringLiteral("\n")};
    return {
        {"filtr",
         [](QRandomGenerator& rng) {
             const FilterResolver resolve = [](const QString& name) -> std::optional<FilterColumn> {
                 if (const FieldDef* f = towar.field(name))
                     return FilterColumn{QStringLiteral("\"Towar\".\"%1\"").arg(f->name), *f};
                 return std::nullopt;
             };
             const QString text = rng.bounded(4) == 0
                                      ? randomText(rng, filterPieces, 30)
                                      : mutated(rng, condition(rng, 0, false), filterPieces);
             translateFilter(text, QStringLiteral("Towar"), resolve);
         }},
        {"sql",
         [](QRandomGenerator& rng) {
             const TableLookup lookup = [](const QString& name) -> std::optional<TableDef> {
                 if (name.compare(u"Towar", Qt::CaseInsensitive) == 0) return towar;
                 return std::nullopt;
             };
             const QString text =
                 rng.bounded(4) == 0
                     ? randomText(rng, sqlPieces, 40)
                     : mutated(rng,
                               QStringLiteral("SELECT DISTINCT Towar.* FROM Towar WHERE ") +
                                   condition(rng, 0, true) +
                                   QStringLiteral(" ORDER BY Towar.Tow_Nazwa"),
                               sqlPieces);
             translateLocalSql(text, lookup);
         }},
        // The RTF reader joins here: {"rtf", [](QRandomGenerator& rng) { ... }}.
    };
}

bool runFuzz(int inputs, quint32 seed) {
    bool ok = true;
    for (const Target& target : fuzzTargets()) {
        QRandomGenerator rng(seed);
        int refused = 0;
        for (int i = 0; i < inputs; ++i) {
            try {
                target.once(rng);
            } catch (const EngineError&) {
                ++refused;
            } catch (const std::exception& e) {
                say(QStringLiteral("fuzz %1: wyjątek spoza silnika: %2")
                        .arg(QLatin1String(target.name), QString::fromLocal8Bit(e.what())));
                ok = false;
            }
        }
        say(QStringLiteral("fuzz %1 (ziarno %2): tekstów %3, odrzuconych z komunikatem %4, "
                           "awarii 0")
                .arg(QLatin1String(target.name))
                .arg(seed)
                .arg(inputs)
                .arg(refused));
    }
    return ok;
}

const char* const kUsage =
    "Użycie: pelk-stress POLECENIE [OPCJE]\n"
    "  counter  [--procs N] [--seconds S]   N procesów zwiększa jeden licznik (utracone zmiany)\n"
    "  appends  [--procs N] [--count C]     równoczesne dopisywanie (duplikaty, braki)\n"
    "  kills    [--kills K]                 K zabić piszących i edytujących w losowej chwili\n"
    "  longread [--seconds S]               zapisy w trakcie długiego odczytu (wal i delete)\n"
    "  fuzz     [--inputs N] [--seed S]     losowe filtry i teksty SQL (z sanitizerami)\n"
    "  all      [--short]                   wszystko; --short: krótka wersja dla CI\n";

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList a = QCoreApplication::arguments().mid(1);
    const QString cmd = a.value(0);
    try {
        if (cmd == u"child-counter") return childCounter(a.value(1), a.value(2).toInt());
        if (cmd == u"child-append") return childAppend(a.value(1), a.value(2).toInt());
        if (cmd == u"child-hold") return childHold(a.value(1));
        if (cmd == u"child-longread") return childLongRead(a.value(1), a.value(2).toDouble());

        const bool quick = a.contains(QStringLiteral("--short"));
        auto num = [&](const char* name, int full, int brief) {
            return option(a, QString::fromLatin1(name), QString::number(quick ? brief : full))
                .toInt();
        };
        bool ok = true;
        const bool all = cmd == u"all";
        if (all || cmd == u"counter") {
            ok &= runCounter(num("--procs", 8, 4), num("--seconds", 60, 10), false);
            ok &= runCounter(num("--procs", 8, 4), num("--seconds", 60, 10), true);
        }
        if (all || cmd == u"appends")
            ok &= runAppends(num("--procs", 8, 4), num("--count", 1500, 300));
        if (all || cmd == u"kills") ok &= runKills(num("--kills", 100, 20));
        if (all || cmd == u"longread") {
            ok &= runLongRead(num("--seconds", 30, 5), true);
            ok &= runLongRead(num("--seconds", 30, 5) / 5.0, false);
        }
        if (all || cmd == u"fuzz")
            ok &= runFuzz(num("--inputs", 5000, 2000), quint32(num("--seed", 1, 1)));
        if (!all && !cmd.startsWith(u"child-") &&
            !QStringList{QStringLiteral("counter"), QStringLiteral("appends"),
                         QStringLiteral("kills"), QStringLiteral("longread"),
                         QStringLiteral("fuzz")}
                 .contains(cmd)) {
            std::fputs(kUsage, stdout);
            return 2;
        }
        say(ok ? QStringLiteral("wynik: obietnice dotrzymane")
               : QStringLiteral("wynik: NARUSZENIE (szczegóły wyżej)"));
        return ok ? 0 : 1;
    } catch (const EngineError& e) {
        say(e.message());
        return 1;
    }
}
