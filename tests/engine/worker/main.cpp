// A second installation for the sharing tests: one table object driven line by line from
// standard input, so that a test can step several processes in a known order. Every command
// gets exactly one answer line ("ok ..." or "error <kind> <message>"), flushed at once.
//
//   open FOLDER TABLE | user NAME | first | find FIELD VALUE | edit | set FIELD VALUE | post |
//   cancel | delete | get FIELD | refresh | count | append-loop N | quit
//
// append-loop N appends N rows, one post each, and prints "acked <Tow_nr>" as soon as each post
// has returned; the crash test kills the process somewhere in the middle of it.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <memory>
#include <unistd.h>

using namespace engine;

namespace {

const char* kindName(EngineError::Kind k) {
    using K = EngineError::Kind;
    switch (k) {
    case K::MissingTable:
        return "MissingTable";
    case K::MissingField:
        return "MissingField";
    case K::NoDatabase:
        return "NoDatabase";
    case K::Locked:
        return "Locked";
    case K::Changed:
        return "Changed";
    case K::Deleted:
        return "Deleted";
    case K::KeyViolation:
        return "KeyViolation";
    case K::BadFilter:
        return "BadFilter";
    case K::BadSql:
        return "BadSql";
    case K::BadValue:
        return "BadValue";
    case K::State:
        return "State";
    case K::Io:
        return "Io";
    }
    return "?";
}

void say(const QString& line) {
    // One line per answer: a message never breaks the protocol.
    QString flat = line;
    flat.replace(u'\n', u' ');
    std::fputs(flat.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

class Worker {
public:
    // Returns false when the worker should end.
    bool run(const QString& line) {
        const QString cmd = line.section(u' ', 0, 0);
        const QString arg1 = line.section(u' ', 1, 1);
        const QString rest = line.section(u' ', 2); // a value may hold spaces
        try {
            if (cmd == QLatin1String("quit")) {
                table_.reset();
                say(QStringLiteral("ok"));
                return false;
            }
            if (cmd == QLatin1String("user")) {
                Database::setUserName(line.section(u' ', 1));
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("open")) {
                table_ = std::make_unique<Table>(arg1, rest);
                table_->open();
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("first")) {
                t().first();
                say(QStringLiteral("ok %1").arg(t().rowId()));
            } else if (cmd == QLatin1String("find")) {
                if (t().indexFieldNames().compare(arg1, Qt::CaseInsensitive) != 0)
                    t().setIndexFieldNames(arg1);
                say(QStringLiteral("ok %1").arg(t().findKey({rest}) ? 1 : 0));
            } else if (cmd == QLatin1String("edit")) {
                t().edit();
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("set")) {
                t().setValue(arg1, rest);
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("post")) {
                t().post();
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("cancel")) {
                t().cancel();
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("delete")) {
                t().remove();
                say(QStringLiteral("ok"));
            } else if (cmd == QLatin1String("get")) {
                say(QStringLiteral("ok ") + t().asString(arg1));
            } else if (cmd == QLatin1String("refresh")) {
                say(QStringLiteral("ok %1").arg(t().refreshIfChanged() ? 1 : 0));
            } else if (cmd == QLatin1String("count")) {
                say(QStringLiteral("ok %1").arg(t().recordCount()));
            } else if (cmd == QLatin1String("append-loop")) {
                const int n = arg1.toInt();
                for (int i = 0; i < n; ++i) {
                    t().append();
                    t().setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("Wiersz %1").arg(i));
                    t().setValue(QStringLiteral("Tow_SRP"), i);
                    t().post();
                    say(QStringLiteral("acked %1").arg(t().asInteger(QStringLiteral("Tow_nr"))));
                }
                say(QStringLiteral("ok %1").arg(n));
            } else {
                say(QStringLiteral("error Command nieznane polecenie: ") + line);
            }
        } catch (const EngineError& e) {
            say(QStringLiteral("error %1 %2").arg(QLatin1String(kindName(e.kind())), e.message()));
        }
        return true;
    }

private:
    Table& t() {
        if (!table_)
            throw EngineError(EngineError::Kind::State, QStringLiteral("Najpierw polecenie open."));
        return *table_;
    }

    std::unique_ptr<Table> table_;
};

} // namespace

int main(int argc, char** argv) {
    // The event loop keeps the lease timer of a held lock going between commands.
    QCoreApplication app(argc, argv);
    Worker worker;
    QByteArray pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buf[4096];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) { // the test is gone
            input.setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
        pending.append(buf, n);
        qsizetype eol;
        while ((eol = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(eol)).trimmed();
            pending.remove(0, eol + 1);
            if (line.isEmpty()) continue;
            if (!worker.run(line)) {
                input.setEnabled(false);
                QCoreApplication::exit(0);
                return;
            }
        }
    });
    return app.exec();
}
