// Order documents: numbering per kind, the document number, and writing and deleting an order
// as whole transactions, also against a second installation on the same catalogue.
#include "engine/database.h"
#include "engine/error.h"
#include "engine/table.h"
#include "orders/orderdocs.h"
#include "store/catalogue_schema.h"
#include "support/application.h"
#include "support/rows.h"
#include "support/tempfolder.h"
#include <QProcess>
#include <gtest/gtest.h>

#ifndef ORDERS_WORKER_PATH
#define ORDERS_WORKER_PATH "build/tests/orders_worker"
#endif

using namespace orders;
using testsupport::addRow;

namespace {

QStringList plain(const char* a, const char* b, const char* c) {
    return {QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c), {}, {}, {}};
}

class OrderDocs : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::application();
        folder = tmp.sub(QStringLiteral("kat"));
        store::createCatalogue(folder);
        db = engine::Database::open(folder);
    }

    int order(int kind, int number) {
        return addRow(folder, "Dok_Head", {{"Dok_Typ", kind}, {"Dok_Numer", number}}, "Dok_Nr");
    }
    void line(int dokNr, const QString& name) {
        addRow(folder, "Dok_Dane", {{"Dane_Dok_Nr", dokNr}, {"Dane_Tow_Nazwa", name}});
    }
    QStringList lineNames(qint64 dokNr) {
        QStringList out;
        for (const OrderLine& l : readLines(*db, dokNr))
            out << l.name;
        return out;
    }
    std::unique_ptr<engine::Table> headsOn(qint64 dokNr) {
        auto t = std::make_unique<engine::Table>(folder, QStringLiteral("Dok_Head"));
        t->open();
        EXPECT_TRUE(t->gotoRowId(dokNr));
        return t;
    }
    QString runWorker(const QStringList& args, QProcess* keep = nullptr) {
        QProcess local;
        QProcess& p = keep ? *keep : local;
        p.start(QString::fromUtf8(ORDERS_WORKER_PATH), QStringList{folder} + args);
        EXPECT_TRUE(p.waitForStarted(10000));
        if (keep) {
            if (!p.canReadLine()) p.waitForReadyRead(10000);
            return QString::fromUtf8(p.readLine()).trimmed();
        }
        EXPECT_TRUE(p.waitForFinished(10000));
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    TempFolder tmp;
    QString folder;
    std::shared_ptr<engine::Database> db;
};

Numbering gaps(qint64 start, bool fill = true) {
    return Numbering{start, fill, plain("NUMER", "/", "ROK")};
}

TEST_F(OrderDocs, NextNumberFillsGapsFromTheStartOrFollowsTheHighest) {
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(1)), 1) << "no orders yet";
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(1, false)), 1);
    for (int n : {1, 2, 4})
        order(kFromClient, n);
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(1)), 3);
    order(kFromClient, 3);
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(1)), 5);
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(100)), 100);
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(3)), 5) << "3 and 4 taken";
    for (int n : {2, 2, 7})
        order(kToSupplier, n);
    EXPECT_EQ(nextOrderNumber(*db, kToSupplier, gaps(2)), 3) << "a number given twice";
    EXPECT_EQ(nextOrderNumber(*db, kToSupplier, gaps(1)), 1);

    order(kFromClient, 9);
    EXPECT_EQ(nextOrderNumber(*db, kFromClient, gaps(1, false)), 10);
    // Numbers are per kind: the supplier orders do not see the client ones.
    EXPECT_EQ(nextOrderNumber(*db, kToSupplier, gaps(1, false)), 8);
    order(kToSupplier, 5);
    EXPECT_TRUE(numberIsFree(*db, kToSupplier, 4));
    EXPECT_FALSE(numberIsFree(*db, kToSupplier, 5));
    EXPECT_FALSE(numberIsFree(*db, kFromClient, 9));
}

TEST_F(OrderDocs, NumberIsFreeLeavesOutTheOrderBeingSaved) {
    const int dok = order(kFromClient, 7);
    EXPECT_FALSE(numberIsFree(*db, kFromClient, 7));
    EXPECT_TRUE(numberIsFree(*db, kFromClient, 7, dok));
}

TEST_F(OrderDocs, DocumentNumberReplacesOnlyTheTokensOfOneLetterCase) {
    const QDate march(2024, 3, 15);
    EXPECT_EQ(documentNumber(plain("NUMER", "/", "ROK"), 7, march), QStringLiteral("7/2024"));
    EXPECT_EQ(documentNumber({QStringLiteral("ZK"),
                              QStringLiteral("-"),
                              QStringLiteral("MIESIĄC"),
                              QStringLiteral("/"),
                              QStringLiteral("ROK"),
                              {}},
                             12, march),
              QStringLiteral("ZK-3/2024"));
    EXPECT_EQ(documentNumber(plain("numer", "-", "Rok"), 3, march), QStringLiteral("3-Rok"));
    EXPECT_EQ(documentNumber(plain("miesiąc", ".", "rok"), 3, march), QStringLiteral("3.2024"));
    EXPECT_EQ(documentNumber(plain("TEKST", "", "Numer"), 3, march), QStringLiteral("TEKSTNumer"));
}

TEST_F(OrderDocs, CreatedOrderTakesTheNextNumberAndTheMarker) {
    order(kToSupplier, 1);
    const CreatedOrder made =
        createOrder(folder, gaps(1), kToSupplier, CompletedAtCreation::Yes, QDate(2024, 5, 6));
    EXPECT_EQ(made.number, 2);
    auto t = headsOn(made.dokNr);
    EXPECT_EQ(t->asString(QStringLiteral("Dok_Firma_Skrot")), editingMarker());
    EXPECT_EQ(t->asInteger(QStringLiteral("Dok_Typ")), kToSupplier);
    EXPECT_TRUE(t->asBoolean(QStringLiteral("Dok_Zaplacono")));
    EXPECT_EQ(t->asDate(QStringLiteral("Dok_Data_Wyst")), QDate(2024, 5, 6));

    const CreatedOrder unset =
        createOrder(folder, gaps(1), kToSupplier, CompletedAtCreation::Unset, QDate(2024, 5, 6));
    EXPECT_EQ(unset.number, 3);
    EXPECT_TRUE(headsOn(unset.dokNr)->isNull(QStringLiteral("Dok_Zaplacono")));
}

OrderHeader header(qint64 number) {
    OrderHeader h;
    h.number = number;
    h.issueDate = QDate(2024, 3, 1);
    h.completionDate = QDate(2024, 3, 20);
    h.addresseeNr = 4;
    h.addresseeName = QStringLiteral("Hydro-Bud");
    h.headings = {QStringLiteral("Dotyczy 1"), {}, {}};
    return h;
}

std::vector<OrderLine> lines(std::initializer_list<const char*> names) {
    std::vector<OrderLine> out;
    for (const char* n : names)
        out.push_back(OrderLine{0, QString::fromUtf8(n), {}, {}, {}, 2.5, QStringLiteral("szt")});
    return out;
}

TEST_F(OrderDocs, WriteReplacesTheLinesAndFillsTheHeader) {
    const int dok = order(kFromClient, 1);
    line(dok, QStringLiteral("stara"));
    const int other = order(kFromClient, 2);
    line(other, QStringLiteral("cudza"));
    addRow(folder, "Dok_Head", {}); // not an order of the kind: must not matter
    auto t = headsOn(dok);
    t->edit();
    t->setValue(QStringLiteral("Dok_Zaplacono"), true);
    t->post();

    std::vector<OrderLine> ls = lines({"A", "B"});
    ls[0].itemNr = 17;
    const QStringList pattern{QStringLiteral("ZAMÓWIENIE-DOSTAWCY-"),
                              QStringLiteral("NUMER"),
                              QStringLiteral("/"),
                              QStringLiteral("ROK"),
                              {},
                              {}};
    ASSERT_EQ(writeOrder(*t, header(5), ls, WriteMode::Edit, pattern, QDate(2024, 3, 2)),
              WriteResult::Written);

    EXPECT_EQ(lineNames(dok), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(lineNames(other), QStringList{QStringLiteral("cudza")});
    const auto stored = readLines(*db, dok);
    EXPECT_EQ(stored[0].itemNr, 17);
    EXPECT_EQ(stored[1].itemNr, 0) << "a typed line keeps an empty item number";
    EXPECT_DOUBLE_EQ(stored[1].quantity, 2.5);
    auto again = headsOn(dok);
    EXPECT_EQ(again->asInteger(QStringLiteral("Dok_Numer")), 5);
    EXPECT_EQ(again->asString(QStringLiteral("Dok_Numer_Dok")),
              QStringLiteral("ZAMÓWIENIE-DOSTAWCY-"))
        << "cut to 20 characters";
    EXPECT_FALSE(again->asBoolean(QStringLiteral("Dok_Zaplacono"))) << "saving clears the flag";
    EXPECT_EQ(readHeader(*again).addresseeName, QStringLiteral("Hydro-Bud"));
    EXPECT_EQ(readHeader(*again).headings[0], QStringLiteral("Dotyczy 1"));
}

TEST_F(OrderDocs, WriteKeepsTheEditorsLockAndRefusesATakenNumber) {
    const int dok = order(kFromClient, 1);
    order(kFromClient, 2);
    line(dok, QStringLiteral("stara"));
    auto t = headsOn(dok);
    t->edit();
    EXPECT_EQ(writeOrder(*t, header(2), lines({"nowa"}), WriteMode::Edit, plain("NUMER", "", ""),
                         QDate(2024, 1, 1)),
              WriteResult::NumberTaken);
    EXPECT_EQ(t->state(), engine::Table::State::Edit);
    EXPECT_EQ(lineNames(dok), QStringList{QStringLiteral("stara")});
    EXPECT_EQ(headsOn(dok)->asInteger(QStringLiteral("Dok_Numer")), 1);

    EXPECT_EQ(writeOrder(*t, header(1), lines({"nowa"}), WriteMode::Edit, plain("NUMER", "", ""),
                         QDate(2024, 1, 1)),
              WriteResult::Written)
        << "its own number is no conflict";
    EXPECT_EQ(t->state(), engine::Table::State::Edit) << "the editor keeps the row locked";
    t->cancel();
}

TEST_F(OrderDocs, AFailureAfterTheHeaderLeavesTheWholeOrderAsItWas) {
    const int dok = order(kFromClient, 1);
    line(dok, QStringLiteral("stara 1"));
    line(dok, QStringLiteral("stara 2"));
    auto t = headsOn(dok);
    orders::testing::setWriteFault([] {
        throw engine::EngineError(engine::EngineError::Kind::Io, QStringLiteral("dysk pełny"));
    });
    EXPECT_THROW(writeOrder(*t, header(8), lines({"nowa"}), WriteMode::Edit, plain("NUMER", "", ""),
                            QDate(2024, 1, 1)),
                 engine::EngineError);
    orders::testing::setWriteFault({});

    EXPECT_EQ(lineNames(dok), (QStringList{QStringLiteral("stara 1"), QStringLiteral("stara 2")}));
    EXPECT_EQ(headsOn(dok)->asInteger(QStringLiteral("Dok_Numer")), 1);
    EXPECT_EQ(t->asInteger(QStringLiteral("Dok_Numer")), 1) << "the cursor shows what is stored";
    EXPECT_EQ(t->state(), engine::Table::State::Browse);
}

TEST_F(OrderDocs, ANumberSavedByAnotherInstallationMeanwhileStopsTheSave) {
    const int dok = order(kToSupplier, 1);
    line(dok, QStringLiteral("stara"));
    auto t = headsOn(dok);
    t->edit();
    // The editor's field was left with 2 while it was free...
    ASSERT_TRUE(numberIsFree(*db, kToSupplier, 2, dok));
    // ...then another installation saved an order numbered 2.
    ASSERT_EQ(
        runWorker({QStringLiteral("save"), QString::number(kToSupplier), QStringLiteral("2")}),
        QStringLiteral("saved"));

    EXPECT_EQ(writeOrder(*t, header(2), lines({"nowa"}), WriteMode::Edit, plain("NUMER", "", ""),
                         QDate(2024, 1, 1)),
              WriteResult::NumberTaken);
    EXPECT_EQ(lineNames(dok), QStringList{QStringLiteral("stara")});
    EXPECT_EQ(headsOn(dok)->asInteger(QStringLiteral("Dok_Numer")), 1);
    t->cancel();
}

TEST_F(OrderDocs, DeletingTakesTheLinesWithTheHeaderButNotAnOrderOpenElsewhere) {
    const int dok = order(kFromClient, 1);
    line(dok, QStringLiteral("a"));
    line(dok, QStringLiteral("b"));
    const int kept = order(kFromClient, 2);
    line(kept, QStringLiteral("c"));

    QProcess holder;
    ASSERT_EQ(runWorker({QStringLiteral("hold"), QString::number(dok)}, &holder),
              QStringLiteral("locked"));
    auto t = headsOn(dok);
    try {
        deleteOrder(*t);
        ADD_FAILURE() << "an order open in another installation was deleted";
    } catch (const engine::EngineError& e) {
        EXPECT_EQ(e.kind(), engine::EngineError::Kind::Locked);
    }
    EXPECT_EQ(lineNames(dok), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));
    EXPECT_TRUE(headsOn(dok)->gotoRowId(dok));
    holder.write("\n");
    ASSERT_TRUE(holder.waitForFinished(10000));

    t->refresh();
    ASSERT_TRUE(t->gotoRowId(dok));
    deleteOrder(*t);
    EXPECT_TRUE(lineNames(dok).isEmpty());
    EXPECT_FALSE(headsOn(kept)->gotoRowId(dok));
    EXPECT_EQ(lineNames(kept), QStringList{QStringLiteral("c")});
}

TEST_F(OrderDocs, CompletedToggleTreatsAnEmptyFlagAsNotCompleted) {
    const int dok = order(kFromClient, 1);
    auto t = headsOn(dok);
    EXPECT_TRUE(toggleCompleted(*t));
    EXPECT_TRUE(headsOn(dok)->asBoolean(QStringLiteral("Dok_Zaplacono")));
    EXPECT_FALSE(toggleCompleted(*t));
    EXPECT_FALSE(headsOn(dok)->asBoolean(QStringLiteral("Dok_Zaplacono")));
    EXPECT_FALSE(headsOn(dok)->isNull(QStringLiteral("Dok_Zaplacono")));
}

} // namespace
