// Another installation for the order tests, run as its own process on the catalogue folder:
//
//   orders_worker FOLDER save KIND NUMBER   saves an order of KIND numbered NUMBER, then exits
//   orders_worker FOLDER hold DOKNR         opens order DOKNR for editing (locking it), answers
//                                           "locked", and keeps it so until a line is read
#include "engine/error.h"
#include "engine/table.h"
#include "orders/orderdocs.h"
#include <QCoreApplication>
#include <cstdio>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) return 2;
    const QString folder = args[1];
    try {
        engine::Table heads(folder, QStringLiteral("Dok_Head"));
        heads.open();
        if (args[2] == u"save") {
            // Starting at the number with gap filling gives exactly that number while it is free.
            orders::Numbering n;
            n.start = args.value(4).toLongLong();
            orders::createOrder(folder, n, args[3].toInt(), orders::CompletedAtCreation::No,
                                QDate::currentDate());
            std::puts("saved");
        }
        if (args[2] == u"hold") {
            if (!heads.gotoRowId(args[3].toLongLong())) return 3;
            heads.edit();
            std::puts("locked");
            std::fflush(stdout);
            std::string line;
            std::getline(std::cin, line);
            heads.cancel();
        }
    } catch (const engine::EngineError& e) {
        std::printf("error %s\n", e.what());
        return 1;
    }
    return 0;
}
