// Several installations on one folder: each worker is a separate process with its own
// connection, stepped command by command (tests/engine/worker).
#include "engine/database.h"
#include "engine/error.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "support/application.h"
#include "support/backendrun.h"
#include "support/tempfolder.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <set>
#include <sqlite3.h>
#include <string>
#ifdef PELK_SERVER_RUN
#include "engine/pq.h"
#include "engine/serverlocation.h"
#endif

#ifndef ENGINE_WORKER_PATH
#define ENGINE_WORKER_PATH "build/tests/engine/engine_worker"
#endif

using namespace engine;

namespace {

constexpr int kAnswerTimeoutMs = 10000;

TableDef itemTable() {
    return TableDef{QStringLiteral("Towar"),
                    {{QStringLiteral("Tow_nr"), FieldType::AutoInc},
                     {QStringLiteral("Tow_Nazwa"), FieldType::Alpha, 50},
                     {QStringLiteral("Tow_SRP"), FieldType::Number}},
                    {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Tow_nr")}, true},
                     {QStringLiteral("wg_Tow_Nazwa"), {QStringLiteral("Tow_Nazwa")}, false}}};
}

// Another installation on the folder, answering one line per command.
class Worker {
public:
    Worker() {
        proc_.setProgram(QString::fromUtf8(ENGINE_WORKER_PATH));
        proc_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        proc_.start();
        started_ = proc_.waitForStarted(kAnswerTimeoutMs);
        EXPECT_TRUE(started_) << "engine_worker not started: " << ENGINE_WORKER_PATH;
    }
    ~Worker() {
        if (proc_.state() == QProcess::NotRunning) return;
        send("quit");
        if (!proc_.waitForFinished(kAnswerTimeoutMs)) {
            proc_.kill();
            proc_.waitForFinished(kAnswerTimeoutMs);
        }
    }

    void send(const std::string& command) {
        proc_.write(QByteArray::fromStdString(command + '\n'));
        proc_.waitForBytesWritten(kAnswerTimeoutMs);
    }

    // The next line of output; "<no answer>" when none came within the timeout.
    std::string line() {
        QDeadlineTimer deadline(kAnswerTimeoutMs);
        while (!proc_.canReadLine()) {
            if (!started_ || deadline.hasExpired() ||
                !proc_.waitForReadyRead(int(deadline.remainingTime())))
                return "<no answer>";
        }
        return proc_.readLine().trimmed().toStdString();
    }

    std::string ask(const std::string& command) {
        send(command);
        return line();
    }

    // Opens Towar in `folder` as user `user`.
    void start(const QString& folder, const std::string& user) {
        EXPECT_EQ(ask("user " + user), "ok");
        EXPECT_EQ(ask("open " + folder.toStdString() + " Towar"), "ok");
    }

    // SIGKILL: no destructor runs, no lock is given back, a transaction may be half written.
    // Returns the lines written before death and not yet read.
    std::vector<std::string> kill() {
        proc_.kill();
        proc_.waitForFinished(kAnswerTimeoutMs);
        std::vector<std::string> rest;
        for (const QByteArray& l : proc_.readAllStandardOutput().split('\n'))
            if (!l.trimmed().isEmpty()) rest.push_back(l.trimmed().toStdString());
        return rest;
    }

private:
    QProcess proc_;
    bool started_ = false;
};

#ifdef PELK_SERVER_RUN
// A plain connection to the catalogue's schema that knows nothing of the engine's locks:
// "another program" changing rows under an installation's feet. Reals read as SQLite gives them.
class RawDb {
public:
    explicit RawDb(const QString& location) {
        const auto where = parseServerLocation(location);
        conn_.reset(PQconnectdb(where.connectionString().constData()));
        EXPECT_EQ(PQstatus(conn_.get()), CONNECTION_OK) << PQerrorMessage(conn_.get());
        exec("SET search_path TO " + where.schema.toStdString());
    }

    void exec(const std::string& sql) {
        pq::Result r(PQexec(conn_.get(), sql.c_str()));
        EXPECT_EQ(PQresultStatus(r.get()), PGRES_COMMAND_OK)
            << sql << ": " << PQerrorMessage(conn_.get());
    }

    std::string text(const std::string& sql) {
        pq::Result r(PQexec(conn_.get(), sql.c_str()));
        EXPECT_EQ(PQresultStatus(r.get()), PGRES_TUPLES_OK)
            << sql << ": " << PQerrorMessage(conn_.get());
        if (PQntuples(r.get()) == 0) return "<none>";
        if (PQgetisnull(r.get(), 0, 0)) return "<null>";
        std::string out = PQgetvalue(r.get(), 0, 0);
        if (PQftype(r.get(), 0) == 701 && out.find_first_of(".e") == std::string::npos) out += ".0";
        return out;
    }

private:
    pq::Connection conn_;
};
#else
// A plain SQLite connection that knows nothing of the engine's locks: "another program"
// changing rows under an installation's feet.
class RawDb {
public:
    explicit RawDb(const QString& folder) {
        const QByteArray path = QDir(folder).filePath(Database::fileName()).toUtf8();
        EXPECT_EQ(sqlite3_open_v2(path.constData(), &db_, SQLITE_OPEN_READWRITE, nullptr),
                  SQLITE_OK);
        sqlite3_busy_timeout(db_, kAnswerTimeoutMs);
        registerSqlFunctions(db_); // the indexes order text with the PL collation
    }
    ~RawDb() { sqlite3_close_v2(db_); }

    void exec(const std::string& sql) {
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &err), SQLITE_OK)
            << sql << ": " << (err ? err : "");
        sqlite3_free(err);
    }

    // The first column of the first row as text; "<none>" when there is no row.
    std::string text(const std::string& sql) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.c_str(), -1, &st, nullptr), SQLITE_OK) << sql;
        std::string out = "<none>";
        if (st && sqlite3_step(st) == SQLITE_ROW) {
            const unsigned char* t = sqlite3_column_text(st, 0);
            out = t ? reinterpret_cast<const char*>(t) : "<null>";
        }
        sqlite3_finalize(st);
        return out;
    }

private:
    sqlite3* db_ = nullptr;
};
#endif

bool startsWith(const std::string& s, const std::string& prefix) {
    return s.rfind(prefix, 0) == 0;
}

struct Sharing : ::testing::Test {
    TempFolder dir;
    QString location;

    QString where() const { return location; }

    void SetUp() override {
        QString skip;
        location = backendrun::catalogueLocation(dir, &skip);
        if (location.isEmpty()) GTEST_SKIP() << skip.toStdString();
        testsupport::application();
        auto db = Database::open(where(), Database::Mode::Create);
        db->createTable(itemTable());
        Table t(where(), QStringLiteral("Towar"));
        t.open();
        // Tow_nr 1, 2, 3
        for (auto [name, price] : {std::pair{"Młotek", 10}, {"Śruba", 2}, {"Wkręt", 1}}) {
            t.append();
            t.setValue(QStringLiteral("Tow_Nazwa"), QString::fromUtf8(name));
            t.setValue(QStringLiteral("Tow_SRP"), price);
            t.post();
        }
    }
};

} // namespace

TEST_F(Sharing, PostOfOneInstallationIsSeenByAnotherAfterReread) {
    Worker a, b;
    a.start(where(), "Anna");
    b.start(where(), "Bartek");

    // Nothing changed since b opened; reading in another installation changes nothing either.
    EXPECT_EQ(b.ask("refresh"), "ok 0");
    EXPECT_EQ(a.ask("find Tow_Nazwa Wkręt"), "ok 1");
    EXPECT_EQ(a.ask("get Tow_SRP"), "ok 1");
    EXPECT_EQ(b.ask("refresh"), "ok 0");

    // b stands on Młotek (first by Tow_nr); a changes it.
    EXPECT_EQ(b.ask("get Tow_Nazwa"), "ok Młotek");
    EXPECT_EQ(a.ask("find Tow_Nazwa młotek"), "ok 1");
    EXPECT_EQ(a.ask("edit"), "ok");
    EXPECT_EQ(a.ask("set Tow_SRP 12,5"), "ok");
    EXPECT_EQ(a.ask("post"), "ok");
    EXPECT_EQ(b.ask("refresh"), "ok 1");
    EXPECT_EQ(b.ask("get Tow_SRP"), "ok 12,5");
    EXPECT_EQ(b.ask("refresh"), "ok 0");

    // A new row and a deleted row.
    EXPECT_EQ(a.ask("append-loop 1"), "acked 4");
    EXPECT_EQ(a.line(), "ok 1");
    EXPECT_EQ(b.ask("refresh"), "ok 1");
    EXPECT_EQ(b.ask("count"), "ok 4");
    EXPECT_EQ(b.ask("find Tow_Nazwa Wiersz 0"), "ok 1");
    EXPECT_EQ(a.ask("find Tow_Nazwa Śruba"), "ok 1");
    EXPECT_EQ(a.ask("delete"), "ok");
    EXPECT_EQ(b.ask("refresh"), "ok 1");
    EXPECT_EQ(b.ask("count"), "ok 3");
    EXPECT_EQ(b.ask("find Tow_Nazwa Śruba"), "ok 0");
}

TEST_F(Sharing, EditLocksTheRowForOtherInstallationsUntilPostOrCancel) {
    Worker a, b;
    a.start(where(), "Anna");
    b.start(where(), "Bartek");
    EXPECT_EQ(a.ask("find Tow_Nazwa Młotek"), "ok 1");
    EXPECT_EQ(b.ask("find Tow_Nazwa Młotek"), "ok 1");

    EXPECT_EQ(a.ask("edit"), "ok");
    std::string answer = b.ask("edit");
    EXPECT_TRUE(startsWith(answer, "error Locked ")) << answer;
    EXPECT_NE(answer.find("Anna"), std::string::npos) << answer;
    answer = b.ask("delete");
    EXPECT_TRUE(startsWith(answer, "error Locked ")) << answer;
    EXPECT_NE(answer.find("Anna"), std::string::npos) << answer;
    // Only that row is locked.
    EXPECT_EQ(b.ask("find Tow_Nazwa Śruba"), "ok 1");
    EXPECT_EQ(b.ask("edit"), "ok");
    EXPECT_EQ(b.ask("cancel"), "ok");

    // Cancel gives the row back...
    EXPECT_EQ(a.ask("cancel"), "ok");
    EXPECT_EQ(b.ask("find Tow_Nazwa Młotek"), "ok 1");
    EXPECT_EQ(b.ask("edit"), "ok");
    EXPECT_EQ(b.ask("set Tow_SRP 11"), "ok");
    EXPECT_EQ(b.ask("post"), "ok");

    // ...and so does post; edit reads the row afresh, so b's change is not lost.
    EXPECT_EQ(a.ask("edit"), "ok");
    EXPECT_EQ(a.ask("get Tow_SRP"), "ok 11");
    answer = b.ask("edit");
    EXPECT_TRUE(startsWith(answer, "error Locked ")) << answer;
    EXPECT_EQ(a.ask("set Tow_SRP 13"), "ok");
    EXPECT_EQ(a.ask("post"), "ok");
    EXPECT_EQ(b.ask("edit"), "ok");
    EXPECT_EQ(b.ask("get Tow_SRP"), "ok 13");
    EXPECT_EQ(b.ask("delete"), "ok");
    EXPECT_EQ(a.ask("refresh"), "ok 1");
    EXPECT_EQ(a.ask("count"), "ok 2");
}

TEST_F(Sharing, LockOfAKilledInstallationEndsAtOnceHereAndWithItsLeaseElsewhere) {
    if (backendrun::onServer())
        GTEST_SKIP() << "na serwerze: LockOfAKilledInstallationEndsWithItsConnection";
    RawDb raw(where());
    Worker b;
    b.start(where(), "Bartek");
    EXPECT_EQ(b.ask("find Tow_Nazwa Młotek"), "ok 1");
    auto killedWhileEditing = [&](const std::string& user) {
        Worker c;
        c.start(where(), user);
        EXPECT_EQ(c.ask("find Tow_Nazwa Młotek"), "ok 1");
        EXPECT_EQ(c.ask("edit"), "ok");
        c.kill();
    };
    killedWhileEditing("Celina");
    // The lock row outlived its holder, but its process on this machine is gone: no wait.
    EXPECT_EQ(
        raw.text("SELECT count(*) FROM _pelk_locks l JOIN _pelk_owners o ON o.owner = l.owner "
                 "WHERE o.user = 'Celina'"),
        "1");
    EXPECT_EQ(b.ask("edit"), "ok");
    EXPECT_EQ(b.ask("cancel"), "ok");

    // A holder on another machine cannot be asked about its process: its lease binds.
    killedWhileEditing("Dorota");
    raw.exec("UPDATE _pelk_owners SET host = 'inny-komputer' WHERE user = 'Dorota'");
    std::string answer = b.ask("edit");
    EXPECT_TRUE(startsWith(answer, "error Locked ")) << answer;
    EXPECT_NE(answer.find("Dorota"), std::string::npos) << answer;

    // Waiting out kLeaseSeconds is what a user would do; here the lease is simply moved back.
    raw.exec("UPDATE _pelk_owners SET expires = CAST(strftime('%s','now') AS INTEGER) - 1 WHERE "
             "user = 'Dorota'");
    EXPECT_EQ(b.ask("edit"), "ok");
    EXPECT_EQ(b.ask("set Tow_SRP 15"), "ok");
    EXPECT_EQ(b.ask("post"), "ok");
    EXPECT_EQ(raw.text("SELECT Tow_SRP FROM Towar WHERE Tow_nr = 1"), "15.0");
}

TEST_F(Sharing, PostOverARowChangedOrDeletedByAnotherFailsAndWritesNothing) {
    RawDb raw(where());
    Worker a, b;
    a.start(where(), "Anna");
    b.start(where(), "Bartek");

    // Changed between a's edit and a's post by a program that ignores record locks.
    EXPECT_EQ(a.ask("find Tow_Nazwa Młotek"), "ok 1");
    EXPECT_EQ(a.ask("edit"), "ok");
    EXPECT_EQ(a.ask("set Tow_SRP 20"), "ok");
    raw.exec(R"(UPDATE "Towar" SET "Tow_SRP" = 99 WHERE "Tow_nr" = 1)");
    std::string answer = a.ask("post");
    EXPECT_TRUE(startsWith(answer, "error Changed ")) << answer;
    EXPECT_NE(answer.find("Towar"), std::string::npos) << answer;
    EXPECT_EQ(raw.text(R"(SELECT "Tow_SRP" FROM "Towar" WHERE "Tow_nr" = 1)"), "99.0");
    // The failed post keeps the row in editing and locked, until the user gives up.
    answer = b.ask("find Tow_Nazwa Młotek") + " / " + b.ask("edit");
    EXPECT_TRUE(startsWith(answer, "ok 1 / error Locked ")) << answer;
    EXPECT_EQ(a.ask("cancel"), "ok");
    EXPECT_EQ(a.ask("refresh"), "ok 1");
    EXPECT_EQ(a.ask("get Tow_SRP"), "ok 99");
    EXPECT_EQ(b.ask("edit"), "ok");
    EXPECT_EQ(b.ask("cancel"), "ok");

    // Deleted between edit and post: the post must not bring the row back.
    EXPECT_EQ(a.ask("find Tow_Nazwa Śruba"), "ok 1");
    EXPECT_EQ(a.ask("edit"), "ok");
    EXPECT_EQ(a.ask("set Tow_Nazwa Śruba M6"), "ok");
    raw.exec(R"(DELETE FROM "Towar" WHERE "Tow_nr" = 2)");
    answer = a.ask("post");
    EXPECT_TRUE(startsWith(answer, "error Deleted ")) << answer;
    EXPECT_EQ(raw.text(R"(SELECT count(*) FROM "Towar" WHERE "Tow_nr" = 2)"), "0");
    EXPECT_EQ(a.ask("cancel"), "ok");

    // Deleted by another installation while a only looked at it: neither edit nor delete works.
    EXPECT_EQ(a.ask("find Tow_Nazwa Wkręt"), "ok 1");
    EXPECT_EQ(b.ask("find Tow_Nazwa Wkręt"), "ok 1");
    EXPECT_EQ(b.ask("delete"), "ok");
    answer = a.ask("edit");
    EXPECT_TRUE(startsWith(answer, "error Deleted ")) << answer;
    answer = a.ask("delete");
    EXPECT_TRUE(startsWith(answer, "error Deleted ")) << answer;
    EXPECT_EQ(raw.text(R"(SELECT count(*) || ':' || min("Tow_nr") FROM "Towar")"), "1:1");
}

TEST_F(Sharing, TwoTablesOfOneProcessSeeEachOthersPostsAtOnce) {
    Table one(where(), QStringLiteral("Towar")), two(where(), QStringLiteral("Towar.db"));
    one.open();
    two.open();
    ASSERT_EQ(two.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Młotek"));

    one.edit();
    one.setValue(QStringLiteral("Tow_SRP"), 30);
    one.post();
    EXPECT_EQ(two.asFloat(QStringLiteral("Tow_SRP")), 30.0);

    one.append();
    one.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Gwóźdź"));
    one.post();
    EXPECT_EQ(two.recordCount(), 4);

    // Deleting the row the other cursor stands on moves it to the next one.
    one.first();
    one.remove();
    EXPECT_EQ(two.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Śruba"));
    EXPECT_EQ(two.recordCount(), 3);
    EXPECT_FALSE(two.refreshIfChanged());
}

// Another program takes the database between our commit and the cursor reading the saved row
// back: the change is durable, so the post or delete reports success and the cursor catches up
// at the next re-read.
TEST_F(Sharing, SaveReportedAsDoneWhenTheReadBackFindsTheDatabaseBusy) {
    if (backendrun::onServer())
        GTEST_SKIP() << "zajęty plik bazy to sprawa folderu; serwer czyta bez czekania";
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    auto db = t.database();
    sqlite3_busy_timeout(db->handle(), 50); // the read back gives up soon
    RawDb other(where());
    bool lockNext = false, locked = false;
    QObject::connect(db.get(), &Database::changed, [&] {
        if (!lockNext) return;
        other.exec("BEGIN EXCLUSIVE");
        lockNext = false;
        locked = true;
    });
    auto release = [&] {
        ASSERT_TRUE(locked);
        other.exec("COMMIT");
        locked = false;
    };

    t.append();
    t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Piła"));
    lockNext = true;
    EXPECT_NO_THROW(t.post());
    EXPECT_EQ(t.state(), Table::State::Browse);
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Piła"));
    release();
    EXPECT_EQ(other.text("SELECT count(*) FROM Towar WHERE Tow_Nazwa = 'Piła'"), "1");
    EXPECT_TRUE(t.refreshIfChanged());
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Piła"));

    t.edit();
    t.setValue(QStringLiteral("Tow_SRP"), 7);
    lockNext = true;
    EXPECT_NO_THROW(t.post());
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_SRP")), 7);
    release();
    EXPECT_EQ(other.text("SELECT Tow_SRP FROM Towar WHERE Tow_Nazwa = 'Piła'"), "7.0");

    t.first(); // Młotek, then Śruba
    lockNext = true;
    EXPECT_NO_THROW(t.remove());
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("Śruba"));
    release();
    EXPECT_EQ(other.text("SELECT count(*) FROM Towar WHERE Tow_Nazwa = 'Młotek'"), "0");
    EXPECT_TRUE(t.refreshIfChanged());
    EXPECT_EQ(t.recordCount(), 3);
}

TEST_F(Sharing, KilledWriterLosesNoAcknowledgedPost) {
    std::set<qint64> acked;
    qint64 rowsBefore = 3;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const int killAfter = 150 + int(QRandomGenerator::global()->bounded(250));
        std::vector<std::string> lines;
        {
            Worker w;
            w.start(where(), "Piotr");
            w.send("append-loop 100000");
            int seen = 0;
            while (seen < killAfter) {
                const std::string l = w.line();
                ASSERT_TRUE(startsWith(l, "acked ")) << l;
                lines.push_back(l);
                ++seen;
            }
            for (auto& l : w.kill())
                lines.push_back(l);
        }
        qint64 ackedThisRound = 0;
        for (const auto& l : lines) {
            if (!startsWith(l, "acked ")) continue; // the last line may be cut off by the kill
            acked.insert(std::stoll(l.substr(6)));
            ++ackedThisRound;
        }

        // Opening the folder rolls back a half-written post from its journal.
        auto db = Database::open(where());
        if (!db->onServer()) {
            Statement st = db->prepare(QStringLiteral("PRAGMA integrity_check"));
            ASSERT_TRUE(st.step());
            EXPECT_EQ(st.column(0).toString(), QStringLiteral("ok"));
        }
        std::set<qint64> present;
        {
            Statement st = db->prepare(QStringLiteral("SELECT \"Tow_nr\" FROM \"Towar\""));
            while (st.step())
                present.insert(st.columnInt(0));
        }
        qint64 missing = 0;
        for (qint64 nr : acked)
            if (!present.count(nr)) ++missing;
        EXPECT_EQ(missing, 0) << "of " << acked.size() << " acknowledged rows";
        // At most the post in flight went through without its acknowledgement.
        EXPECT_LE(qint64(present.size()), rowsBefore + ackedThisRound + 1);
        rowsBefore = qint64(present.size());

        // A number handed out before the crash is not handed out again.
        Table t(where(), QStringLiteral("Towar"));
        t.open();
        t.append();
        t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Po awarii"));
        t.post();
        EXPECT_GT(t.asInteger(QStringLiteral("Tow_nr")), *acked.rbegin());
        ++rowsBefore;
    }
}

// On a server a lock is held for as long as its holder's connection lives: a killed installation's
// locks end at once, from whichever machine it worked.
TEST_F(Sharing, LockOfAKilledInstallationEndsWithItsConnection) {
    if (!backendrun::onServer()) GTEST_SKIP() << "w folderze: LockOfAKilledInstallation...";
    RawDb raw(where());
    Worker b;
    b.start(where(), "Bartek");
    EXPECT_EQ(b.ask("find Tow_Nazwa Młotek"), "ok 1");
    {
        Worker c;
        c.start(where(), "Celina");
        EXPECT_EQ(c.ask("find Tow_Nazwa Młotek"), "ok 1");
        EXPECT_EQ(c.ask("edit"), "ok");
        const std::string answer = b.ask("edit");
        EXPECT_TRUE(startsWith(answer, "error Locked ")) << answer;
        EXPECT_NE(answer.find("Celina"), std::string::npos) << answer;
        c.kill();
    }
    // The lock row outlived its holder; the holder's connection did not.
    EXPECT_EQ(raw.text(R"(SELECT count(*) FROM _pelk_locks l JOIN _pelk_owners o ON )"
                       R"(o.owner = l.owner WHERE o."user" = 'Celina')"),
              "1");
    QDeadlineTimer deadline(kAnswerTimeoutMs);
    std::string answer;
    do {
        answer = b.ask("edit"); // the server notices the closed connection within moments
    } while (answer != "ok" && !deadline.hasExpired());
    EXPECT_EQ(answer, "ok");
    EXPECT_EQ(b.ask("set Tow_SRP 15"), "ok");
    EXPECT_EQ(b.ask("post"), "ok");
    EXPECT_EQ(raw.text(R"(SELECT "Tow_SRP" FROM "Towar" WHERE "Tow_nr" = 1)"), "15.0");
}
