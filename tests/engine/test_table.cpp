#include "engine/database.h"
#include "engine/error.h"
#include "engine/query.h"
#include "engine/sqlfunctions.h"
#include "engine/table.h"
#include "support/backendrun.h"
#include "support/tempfolder.h"
#include <QDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#ifdef PELK_SERVER_RUN
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "engine/serverschema.h"
#endif

using namespace engine;

namespace {

TableDef itemTable() {
    return TableDef{QStringLiteral("Towar"),
                    {{QStringLiteral("Tow_nr"), FieldType::AutoInc},
                     {QStringLiteral("Tow_Grupa_nr"), FieldType::LongInt},
                     {QStringLiteral("Tow_Nazwa"), FieldType::Alpha, 10},
                     {QStringLiteral("Tow_SRP"), FieldType::Number},
                     {QStringLiteral("Tow_Data"), FieldType::Date},
                     {QStringLiteral("Tow_Jest"), FieldType::Logical},
                     {QStringLiteral("Tow_Uwagi"), FieldType::Memo, 240}},
                    {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Tow_Nr")}, true},
                     {QStringLiteral("wg_Tow_Nazwa"), {QStringLiteral("Tow_Nazwa")}, false}}};
}

TableDef valueTable() {
    return TableDef{QStringLiteral("Opis"),
                    {{QStringLiteral("Opis_Tow_Nr"), FieldType::LongInt},
                     {QStringLiteral("Opis_Cecha_Nr"), FieldType::LongInt},
                     {QStringLiteral("Opis_Nr"), FieldType::AutoInc},
                     {QStringLiteral("Opis_Opis"), FieldType::Alpha, 100}},
                    {{QStringLiteral("PrimaryIndex"),
                      {QStringLiteral("Opis_Tow_Nr"), QStringLiteral("Opis_Cecha_Nr"),
                       QStringLiteral("Opis_Nr")},
                      true}}};
}

struct Fixture : ::testing::Test {
    TempFolder dir;
    QString location;
    std::shared_ptr<Database> db;

    void SetUp() override {
        QString skip;
        location = backendrun::catalogueLocation(dir, &skip);
        if (location.isEmpty()) GTEST_SKIP() << skip.toStdString();
        db = Database::open(location, Database::Mode::Create);
        db->createTable(itemTable());
        db->createTable(valueTable());
    }

    QString where() const { return location; }
    QString missingLocation() const { return location + QStringLiteral("_nie_ma"); }

    void addItems(const QStringList& names) {
        Table t(where(), QStringLiteral("Towar.db"));
        t.open();
        db->transaction([&] {
            for (const auto& n : names) {
                t.append();
                t.setValue(QStringLiteral("Tow_Nazwa"), n);
                t.post();
            }
        });
    }

    QStringList namesInOrder(Table& t) {
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            out << t.asString(QStringLiteral("tow_nazwa"));
        return out;
    }
};

// Another connection to the catalogue, outside the engine: the order of Towar's rows by name as
// the database itself gives it, and writes the engine learns of only from the database.
class OtherConnection {
public:
#ifdef PELK_SERVER_RUN
    explicit OtherConnection(const QString& location) {
        const auto where = parseServerLocation(location);
        conn_.reset(PQconnectdb(where.connectionString().constData()));
        EXPECT_EQ(PQstatus(conn_.get()), CONNECTION_OK) << PQerrorMessage(conn_.get());
        run("SET search_path TO " + where.schema.toUtf8(), PGRES_COMMAND_OK);
    }
    std::vector<qint64> rowsByName() {
        pq::Result r =
            run(R"(SELECT rowid FROM "Towar" ORDER BY "Tow_Nazwa__k" NULLS FIRST, rowid)",
                PGRES_TUPLES_OK);
        std::vector<qint64> out;
        for (int i = 0; i < PQntuples(r.get()); ++i)
            out.push_back(QByteArray(PQgetvalue(r.get(), i, 0)).toLongLong());
        return out;
    }
    void insertName(const QString& name) {
        const QByteArray text = name.toUtf8(), key = sortKeyOf(name).toByteArray();
        const char* values[] = {text.constData(), key.constData()};
        const int lengths[] = {int(text.size()), int(key.size())};
        const int formats[] = {0, 1};
        pq::Result r(PQexecParams(conn_.get(),
                                  R"(INSERT INTO "Towar"("Tow_Nazwa", "Tow_Nazwa__k") )"
                                  "VALUES ($1, $2)",
                                  2, nullptr, values, lengths, formats, 0));
        EXPECT_EQ(PQresultStatus(r.get()), PGRES_COMMAND_OK) << PQerrorMessage(conn_.get());
    }
    void deleteByName(int offset, int count) {
        run(QByteArray(R"(DELETE FROM "Towar" WHERE rowid IN (SELECT rowid FROM "Towar" )"
                       R"(ORDER BY "Tow_Nazwa__k" NULLS FIRST, rowid LIMIT )") +
                QByteArray::number(count) + " OFFSET " + QByteArray::number(offset) + ")",
            PGRES_COMMAND_OK);
    }

private:
    pq::Result run(const QByteArray& sql, ExecStatusType expected) {
        pq::Result r(PQexec(conn_.get(), sql.constData()));
        EXPECT_EQ(PQresultStatus(r.get()), expected)
            << sql.constData() << ": " << PQerrorMessage(conn_.get());
        return r;
    }
    pq::Connection conn_;
#else
    explicit OtherConnection(const QString& folder) {
        EXPECT_EQ(
            sqlite3_open(QDir(folder).filePath(Database::fileName()).toUtf8().constData(), &raw_),
            SQLITE_OK);
        registerSqlFunctions(raw_);
    }
    ~OtherConnection() {
        sqlite3_close(raw_);
    }
    std::vector<qint64> rowsByName() {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(raw_,
                                     "SELECT rowid FROM Towar ORDER BY Tow_Nazwa COLLATE PL, rowid",
                                     -1, &st, nullptr),
                  SQLITE_OK);
        std::vector<qint64> order;
        while (sqlite3_step(st) == SQLITE_ROW)
            order.push_back(sqlite3_column_int64(st, 0));
        sqlite3_finalize(st);
        return order;
    }
    void insertName(const QString& name) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(
            sqlite3_prepare_v2(raw_, "INSERT INTO Towar(Tow_Nazwa) VALUES (?)", -1, &st, nullptr),
            SQLITE_OK);
        const QByteArray text = name.toUtf8();
        sqlite3_bind_text(st, 1, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        EXPECT_EQ(sqlite3_step(st), SQLITE_DONE);
        sqlite3_finalize(st);
    }
    void deleteByName(int offset, int count) {
        const QByteArray sql = "DELETE FROM Towar WHERE rowid IN (SELECT rowid FROM Towar ORDER "
                               "BY Tow_Nazwa COLLATE PL, rowid LIMIT " +
                               QByteArray::number(count) + " OFFSET " + QByteArray::number(offset) +
                               ")";
        EXPECT_EQ(sqlite3_exec(raw_, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    }

private:
    sqlite3* raw_ = nullptr;
#endif
};

} // namespace

TEST_F(Fixture, PolishCaseInsensitiveOrderAndNearestSearch) {
    addItems({"żaba", "Łata", "lata", "łata", "zero", "ąb", "ab", "ABC", "źle", "", "Mak", "b"});
    Table t(where(), QStringLiteral("towar"));
    t.setIndexName(QStringLiteral("WG_TOW_NAZWA"));
    t.open();
    // Empty first; a < ą < b; l < ł < m; z < ź < ż; ties ("Łata", "łata") by row id.
    EXPECT_EQ(namesInOrder(t), (QStringList{"", "ab", "ABC", "ąb", "b", "lata", "Łata", "łata",
                                            "Mak", "zero", "źle", "żaba"}));
    // Walking back gives the same rows in reverse.
    QStringList back;
    for (t.last(); !t.bof(); t.prior())
        back.prepend(t.asString(QStringLiteral("Tow_Nazwa")));
    EXPECT_EQ(back, namesInOrder(t));

    t.findNearest({QStringLiteral("ab")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "ab");
    t.findNearest({QStringLiteral("AB")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "ab");
    t.findNearest({QStringLiteral("abc")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "ABC");
    t.findNearest({QStringLiteral("ŁAT")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "Łata");
    t.findNearest({QStringLiteral("lb")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "Łata") << "ł comes after every l";
    t.findNearest({QStringLiteral("zzz")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "źle");
    t.findNearest({QStringLiteral("żz")});
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "żaba") << "past the end: the last row";
    EXPECT_EQ(t.recNo(), 12);
    EXPECT_TRUE(t.findKey({QStringLiteral("MAK")}));
    EXPECT_EQ(t.recNo(), 9);
    EXPECT_FALSE(t.findKey({QStringLiteral("Ma")}));
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "Mak") << "a failed key search stays put";
}

TEST_F(Fixture, NavigationFlagsCountsAndRecordNumbers) {
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    EXPECT_TRUE(t.isEmpty());
    EXPECT_TRUE(t.bof() && t.eof());
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.recNo(), 0);
    t.close();

    QStringList names;
    for (int i = 0; i < 300; ++i)
        names << QStringLiteral("n%1").arg(i, 3, 10, QChar(u'0'));
    addItems(names);
    t.open();
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.recordCount(), 300);
    int seen = 0;
    for (t.first(); !t.eof(); t.next())
        ++seen;
    EXPECT_EQ(seen, 300);
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 300) << "next() on the last row stays there";
    t.setRecNo(150);
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 150);
    t.moveBy(-100);
    EXPECT_EQ(t.recNo(), 50);
    t.setRecNo(290);
    t.moveBy(5);
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 295);
    t.findKey({120});
    EXPECT_EQ(t.recNo(), 120) << "computed after a search";
}

TEST_F(Fixture, AutoincNeverReusedAndExplicitValuesMoveTheCounter) {
    addItems({"a", "b", "c"});
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    t.last();
    t.remove(); // 3 goes
    t.append();
    t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("d"));
    t.post();
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 4);
    t.append();
    t.setValue(QStringLiteral("Tow_nr"), 40);
    t.post();
    t.append();
    t.post();
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 41);
    t.close();
    db->emptyTable(QStringLiteral("Towar"));
    addItems({"e"});
    t.open();
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 42) << "emptying does not reset the counter";
    t.close();
    db->createTable(itemTable()); // re-created: starts again at 1
    addItems({"f"});
    t.open();
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_nr")), 1);
    // An autoinc that is not the whole primary key still counts on its own.
    Table o(where(), QStringLiteral("Opis"));
    o.open();
    for (int i = 0; i < 3; ++i) {
        o.insert();
        o.setValue(QStringLiteral("Opis_Tow_Nr"), 7);
        o.post();
    }
    o.last();
    EXPECT_EQ(o.asInteger(QStringLiteral("Opis_Nr")), 3);
}

TEST_F(Fixture, ValuesAreCutConvertedAndEmptyReadsAsZero) {
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    t.append();
    // A row inserted into an empty table reads back what was set before it is posted.
    t.setValue(QStringLiteral("Tow_Grupa_nr"), 7);
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_Grupa_nr")), 7);
    t.setValue(QStringLiteral("Tow_Grupa_nr"), QVariant());
    t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("ŚrubkaŚrubka123"));
    t.setValue(QStringLiteral("Tow_SRP"), QStringLiteral("10,5"));
    t.setValue(QStringLiteral("Tow_Data"), QStringLiteral("31-12-1999"));
    t.setValue(QStringLiteral("Tow_Jest"), QStringLiteral("T"));
    t.post();
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "ŚrubkaŚrub");
    EXPECT_DOUBLE_EQ(t.asFloat(QStringLiteral("Tow_SRP")), 10.5);
    EXPECT_EQ(t.asString(QStringLiteral("Tow_SRP")), "10,5");
    EXPECT_EQ(t.asDate(QStringLiteral("Tow_Data")), QDate(1999, 12, 31));
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Data")), "31-12-1999");
    EXPECT_TRUE(t.asBoolean(QStringLiteral("Tow_Jest")));
    // Empty fields
    EXPECT_TRUE(t.isNull(QStringLiteral("Tow_Grupa_nr")));
    EXPECT_EQ(t.asInteger(QStringLiteral("Tow_Grupa_nr")), 0);
    EXPECT_FALSE(t.asBoolean(QStringLiteral("Tow_Uwagi")));
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Uwagi")), "");
    // Bad input: a clear error, the row as it was.
    t.edit();
    EXPECT_THROW(t.setValue(QStringLiteral("Tow_SRP"), QStringLiteral("dużo")), EngineError);
    EXPECT_THROW(t.setValue(QStringLiteral("Tow_Data"), QStringLiteral("31-02-1999")), EngineError);
    EXPECT_THROW(t.setValue(QStringLiteral("Nie_Ma"), 1), EngineError);
    t.cancel();
    EXPECT_DOUBLE_EQ(t.asFloat(QStringLiteral("Tow_SRP")), 10.5);
    try {
        t.value(QStringLiteral("Nie_Ma"));
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("Nie_Ma")));
        EXPECT_EQ(e.kind(), EngineError::Kind::MissingField);
    }
}

TEST_F(Fixture, MasterDetailFollowsTheCurrentRow) {
    addItems({"a", "b", "c"});
    {
        Table o(where(), QStringLiteral("Opis"));
        o.open();
        for (int item : {1, 1, 3, 1}) {
            o.insert();
            o.setValue(QStringLiteral("Opis_Tow_Nr"), item);
            o.setValue(QStringLiteral("Opis_Cecha_Nr"), 10 - item);
            o.setValue(QStringLiteral("Opis_Opis"), QStringLiteral("v%1").arg(item));
            o.post();
        }
    }
    Table items(where(), QStringLiteral("Towar"));
    Table values(where(), QStringLiteral("Opis"));
    values.setMaster(&items, QStringLiteral("Tow_nr"));
    items.open();
    values.open();
    EXPECT_EQ(values.recordCount(), 3);
    items.next();
    EXPECT_TRUE(values.isEmpty());
    items.next();
    EXPECT_EQ(values.recordCount(), 1);
    EXPECT_EQ(values.asString(QStringLiteral("Opis_Opis")), "v3");
    // A new detail row gets its master's key.
    values.insert();
    values.setValue(QStringLiteral("Opis_Opis"), QStringLiteral("nowy"));
    values.post();
    EXPECT_EQ(values.asInteger(QStringLiteral("Opis_Tow_Nr")), 3);
    EXPECT_EQ(values.recordCount(), 2);
    items.first();
    EXPECT_EQ(values.recordCount(), 3);
}

TEST_F(Fixture, LookupAndCalculatedFields) {
    addItems({"śruba", "nakrętka"});
    {
        Table o(where(), QStringLiteral("Opis"));
        o.open();
        for (int item : {2, 1, 5}) {
            o.insert();
            o.setValue(QStringLiteral("Opis_Tow_Nr"), item);
            o.setValue(QStringLiteral("Opis_Opis"), QStringLiteral("2,5"));
            o.post();
        }
    }
    Table o(where(), QStringLiteral("Opis"));
    o.addLookupField(QStringLiteral("Pomoc_Tow_Nazwa"), QStringLiteral("Opis_Tow_Nr"),
                     QStringLiteral("Towar"), QStringLiteral("Tow_nr"),
                     QStringLiteral("Tow_Nazwa"));
    o.addCalculatedField(QStringLiteral("Podwojona"), FieldType::Number);
    int calls = 0;
    QObject::connect(&o, &DataSet::calcFields, [&](DataSet* d) {
        ++calls;
        d->setCalculated(QStringLiteral("Podwojona"), d->asFloat(QStringLiteral("Opis_Opis")) * 2);
    });
    o.open();
    EXPECT_EQ(o.asString(QStringLiteral("pomoc_tow_nazwa")), "śruba");
    EXPECT_DOUBLE_EQ(o.asFloat(QStringLiteral("Podwojona")), 5.0);
    o.next();
    EXPECT_EQ(o.asString(QStringLiteral("Pomoc_Tow_Nazwa")), "nakrętka");
    o.edit();
    o.setValue(QStringLiteral("Opis_Opis"), QStringLiteral("4"));
    EXPECT_DOUBLE_EQ(o.asFloat(QStringLiteral("Podwojona")), 8.0) << "follows the edited values";
    o.post();
    o.next();
    EXPECT_TRUE(o.isNull(QStringLiteral("Pomoc_Tow_Nazwa"))) << "no item 5";
    EXPECT_GE(calls, 2);
    EXPECT_THROW(o.setCalculated(QStringLiteral("Opis_Opis"), 1), EngineError);
}

TEST_F(Fixture, FiltersRangesAndReadOnlyQueries) {
    addItems({"śruba M6", "Śruba M8", "nakrętka", "śrubka"});
    Table t(where(), QStringLiteral("Towar"));
    t.setIndexFieldNames(QStringLiteral("Tow_Nazwa"));
    t.setFilter(QStringLiteral("tow_nazwa = 'ŚRUBA*'"));
    t.setFiltered(true);
    t.open();
    EXPECT_EQ(namesInOrder(t), (QStringList{"śruba M6", "Śruba M8"}));
    EXPECT_THROW(t.setFilter(QStringLiteral("tow_nazwa = 'x")), EngineError);
    t.setFiltered(false);
    EXPECT_EQ(t.recordCount(), 4);

    Query q;
    q.setDatabaseName(where());
    q.setSql({QStringLiteral("SELECT DISTINCT Towar.*"), QStringLiteral("FROM Towar"),
              QStringLiteral("WHERE Upper(Towar.Tow_Nazwa) LIKE \"%ŚRUB%\""),
              QStringLiteral("ORDER BY Towar.Tow_Nazwa")});
    q.open();
    QStringList got;
    for (q.first(); !q.eof(); q.next())
        got << q.asString(QStringLiteral("Tow_Nazwa"));
    EXPECT_EQ(got, (QStringList{"śruba M6", "Śruba M8", "śrubka"}));
    EXPECT_EQ(q.recordCount(), 3);
    q.close();
    q.setSql({QStringLiteral("DELETE FROM Towar")});
    EXPECT_THROW(q.open(), EngineError);
}

TEST_F(Fixture, MissingTablesAndFoldersAreEngineErrors) {
    Table t(where(), QStringLiteral("Brak"));
    try {
        t.open();
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::MissingTable);
        EXPECT_TRUE(e.message().contains(QStringLiteral("Brak")));
    }
    Table u(missingLocation(), QStringLiteral("Towar"));
    EXPECT_THROW(u.open(), EngineError);
    EXPECT_FALSE(Database::exists(missingLocation()));
    EXPECT_FALSE(db->tables().contains(QStringLiteral("_pelk_fields")));
    EXPECT_EQ(db->tables(), (QStringList{"Opis", "Towar"}));
}

TEST_F(Fixture, WindowsByPositionLeaveTheCursorAlone) {
    QStringList names;
    for (int i = 0; i < 5000; ++i)
        names << QStringLiteral("w%1").arg(i, 4, 10, QChar(u'0'));
    addItems(names);
    Table t(where(), QStringLiteral("Towar"));
    t.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
    t.addCalculatedField(QStringLiteral("Dlugosc"), FieldType::LongInt);
    QObject::connect(&t, &DataSet::calcFields, [](DataSet* d) {
        d->setCalculated(QStringLiteral("Dlugosc"),
                         d->asString(QStringLiteral("Tow_Nazwa")).size());
    });
    t.open();
    t.setRecNo(10);
    const int nameIx = t.fieldIndex(QStringLiteral("Tow_Nazwa"));
    auto expectWindow = [&](int from, int count) {
        auto rows = t.rowsAt(from, count);
        ASSERT_EQ(int(rows.size()), std::min(count, 5000 - from + 1));
        for (int i = 0; i < int(rows.size()); ++i) {
            ASSERT_EQ(rows[i].values[nameIx].toString(), names[from - 1 + i])
                << "window at " << from;
            ASSERT_EQ(rows[i].values.last().toInt(), 5);
        }
    };
    // Page by page down, a jump to the end, back up, a jump into the middle.
    for (int p = 1; p < 400; p += 37)
        expectWindow(p, 37);
    expectWindow(4970, 40);
    for (int p = 4900; p > 4700; p -= 50)
        expectWindow(p, 50);
    expectWindow(2500, 30);
    expectWindow(2470, 30);
    expectWindow(2530, 30);
    EXPECT_EQ(t.recNo(), 10) << "windows do not move the cursor";
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), names[9]);
    EXPECT_EQ(t.asInteger(QStringLiteral("Dlugosc")), 5);
}

TEST_F(Fixture, SignalsSeeTheNewPositionAndWholeScansStream) {
    addItems({"e", "d", "c", "b", "a"});
    Table t(where(), QStringLiteral("Towar"));
    t.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
    t.open();
    int seen = -1;
    bool bof = false, eof = false;
    QObject::connect(&t, &DataSet::afterScroll, [&] {
        seen = t.recNo();
        bof = t.bof();
        eof = t.eof();
    });
    int refreshed = 0;
    QObject::connect(&t, &DataSet::afterRefresh, [&] { ++refreshed; });
    t.setRecNo(3);
    t.first();
    EXPECT_EQ(seen, 1);
    EXPECT_TRUE(bof);
    t.last();
    EXPECT_EQ(seen, 5);
    EXPECT_TRUE(eof);
    t.findKey({QStringLiteral("b")});
    EXPECT_EQ(seen, 2);
    t.setIndexFieldNames(QStringLiteral("Tow_nr"));
    EXPECT_EQ(refreshed, 1) << "a new order tells the views the rows changed";
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), "b") << "and keeps the current row";

    // A whole scan in an order no index serves, as the command-line dump does it.
    t.setIndexFieldNames(QStringLiteral("Tow_SRP;Tow_Nazwa"));
    QStringList names;
    t.forEachRow([&] { names << t.asString(QStringLiteral("Tow_Nazwa")); });
    EXPECT_EQ(names, (QStringList{"a", "b", "c", "d", "e"}));
    EXPECT_TRUE(t.eof());

    Query q;
    q.setDatabaseName(where());
    q.setSql({QStringLiteral("SELECT Towar.Tow_Nazwa FROM Towar ORDER BY Towar.Tow_Nazwa DESC")});
    q.setUnidirectional(true);
    q.open();
    QStringList back;
    for (q.first(); !q.eof(); q.next())
        back << q.asString(QStringLiteral("Tow_Nazwa"));
    EXPECT_EQ(back, (QStringList{"e", "d", "c", "b", "a"}));
    EXPECT_THROW(q.prior(), EngineError);
}

TEST_F(Fixture, PositionsInALongTableAgreeWithCounting) {
    // Long enough for the position samples; names repeat so that ties are broken by row id.
    QStringList names;
    for (int i = 0; i < 25000; ++i)
        names << QStringLiteral("%1 %2")
                     .arg(i % 7 == 0 ? QStringLiteral("Łata") : QStringLiteral("lata"))
                     .arg(i % 3000, 4, 10, QChar(u'0'));
    addItems(names);
    QStringList sorted = names;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const QString& a, const QString& b) { return comparePolish(a, b) < 0; });
    Table t(where(), QStringLiteral("Towar"));
    t.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
    t.open();
    for (const char* probe : {"lata 0001", "lata 1499", "Łata 0007", "łata 1500", "lata 2500"}) {
        t.findNearest({QString::fromUtf8(probe)});
        const int at = t.recNo();
        ASSERT_GE(at, 1);
        EXPECT_EQ(sorted[at - 1].toLower(), t.asString(QStringLiteral("Tow_Nazwa")).toLower())
            << probe;
        // The row before and after agree with stepping.
        t.prior();
        EXPECT_EQ(t.recNo(), at - 1);
        auto window = t.rowsAt(at - 1, 3);
        ASSERT_EQ(window.size(), 3u);
        EXPECT_EQ(window[1].rowid, [&] {
            t.next();
            return t.rowId();
        }());
    }
    // A jump into the middle by position, once samples exist, reads the same rows as stepping.
    auto mid = t.rowsAt(12345, 2);
    t.setRecNo(12345);
    EXPECT_EQ(mid[0].rowid, t.rowId());
    t.next();
    EXPECT_EQ(mid[1].rowid, t.rowId());
    // After a change the samples are rebuilt, not trusted.
    t.findNearest({QStringLiteral("lata 2000")});
    const int before = t.recNo();
    t.first();
    t.remove();
    t.findNearest({QStringLiteral("lata 2000")});
    EXPECT_EQ(t.recNo(), before - 1);
}

// Positions in a long table after writes of this program's own cursors and of another
// connection: every one must be what counting the rows afresh gives.
TEST_F(Fixture, PositionSamplesFollowOwnWritesAndOthersAreReadAgain) {
    QStringList names;
    for (int i = 0; i < 24000; ++i)
        names << QStringLiteral("%1 %2")
                     .arg(i % 5 == 0 ? QStringLiteral("Łata") : QStringLiteral("lata"))
                     .arg(i % 4000, 4, 10, QChar(u'0'));
    addItems(names);
    Table grid(where(), QStringLiteral("Towar"));
    grid.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
    grid.open();
    Table editor(where(), QStringLiteral("Towar"));
    editor.setIndexName(QStringLiteral("wg_Tow_Nazwa"));
    editor.open();
    // Samples exist before any write: a far window and a position by key.
    ASSERT_EQ(grid.rowsAt(15000, 1).size(), 1u);
    grid.findNearest({QStringLiteral("lata 3000")});
    ASSERT_GT(grid.recNo(), 0);

    const auto expectCounted = [&](const char* after) {
        // Another connection's rows and positions, read from nothing.
        const std::vector<qint64> order = OtherConnection(where()).rowsByName();
        grid.refresh();
        ASSERT_EQ(grid.recordCount(), int(order.size())) << after;
        for (int at : {1, 700, 5000, 11111, 17000, int(order.size()) - 1}) {
            auto w = grid.rowsAt(at, 2); // by position from 1
            ASSERT_EQ(w.size(), 2u) << after << " " << at;
            EXPECT_EQ(w[0].rowid, order[size_t(at) - 1]) << after << " " << at;
            EXPECT_EQ(w[1].rowid, order[size_t(at)]) << after << " " << at;
        }
        for (const char* probe : {"lata 0100", "lata 2222", "Łata 3995", "lata 3999"}) {
            grid.findNearest({QString::fromUtf8(probe)});
            const auto it = std::find(order.begin(), order.end(), grid.rowId());
            EXPECT_EQ(grid.recNo(), int(it - order.begin()) + 1) << after << " " << probe;
        }
    };

    // An edit moving a row from near the end to the start, through the other cursor.
    editor.findNearest({QStringLiteral("lata 3990")});
    editor.edit();
    editor.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("a"));
    editor.post();
    expectCounted("edit");
    // Appends at the start, in the middle and at the end, some of them sample rows' equals.
    for (const char* name : {"0", "lata 2000", "zzz", "lata 0512"}) {
        editor.append();
        editor.setValue(QStringLiteral("Tow_Nazwa"), QString::fromUtf8(name));
        editor.post();
    }
    expectCounted("appends");
    // Deletes: the first row (a sample's), one in the middle, from the grid itself.
    grid.first();
    grid.remove();
    grid.findNearest({QStringLiteral("lata 1500")});
    grid.remove();
    expectCounted("deletes");
    // Another connection's write: this program knows nothing of it and reads again.
    {
        OtherConnection other(where());
        for (const char* name : {"b", "c", "d"})
            other.insertName(QString::fromUtf8(name));
        other.deleteByName(9000, 3);
    }
    expectCounted("another connection");
    // An own write after that is adjusted from the samples read again.
    editor.findNearest({QStringLiteral("lata 0001")});
    editor.edit();
    editor.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("zz"));
    editor.post();
    expectCounted("edit after another connection");
    // Own writes to another table keep this list's samples, which must still be right after
    // the next own write to the list's own table.
    Table values(where(), QStringLiteral("Opis"));
    values.open();
    grid.rowsAt(12000, 1);
    values.append();
    values.setValue(QStringLiteral("Opis_Tow_Nr"), 1);
    values.setValue(QStringLiteral("Opis_Cecha_Nr"), 1);
    values.post();
    expectCounted("a write to another table");
    editor.findNearest({QStringLiteral("lata 0002")});
    editor.remove();
    values.first();
    values.remove();
    expectCounted("own writes to both tables");
}

TEST_F(Fixture, QueryLocateIgnoresCaseAndStaysWhenNothingMatches) {
    addItems({"Śruba M6", "nakrętka", "śrubka", "Podkładka"});
    Query q;
    q.setDatabaseName(where());
    q.setSql(
        {QStringLiteral("SELECT Towar.* FROM Towar"), QStringLiteral("ORDER BY Towar.Tow_Nazwa")});
    q.open();
    EXPECT_TRUE(q.locate(QStringLiteral("tow_nazwa"), QStringLiteral("ŚRUBK"), true, true));
    EXPECT_EQ(q.asString(QStringLiteral("Tow_Nazwa")), "śrubka");
    EXPECT_FALSE(q.locate(QStringLiteral("Tow_Nazwa"), QStringLiteral("xyz"), true, true));
    EXPECT_EQ(q.asString(QStringLiteral("Tow_Nazwa")), "śrubka") << "nothing found: the row stays";
    EXPECT_FALSE(q.locate(QStringLiteral("Tow_Nazwa"), QStringLiteral("ŚRUBKA"), false, false));
    EXPECT_TRUE(q.locate(QStringLiteral("Tow_Nazwa"), QStringLiteral("podkładka"), true, false));
    EXPECT_EQ(q.recNo(), 2);
}

TEST_F(Fixture, TablesMadeAndDroppedInsideOneTransactionAreSeenAtOnce) {
    TableDef t{QStringLiteral("Tymczasowa"),
               {{QStringLiteral("Nr"), FieldType::AutoInc}},
               {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nr")}, true}}};
    db->transaction([&] {
        db->createTable(t);
        EXPECT_TRUE(db->hasTable(QStringLiteral("tymczasowa.db")));
        db->createTable(t); // replaces
        db->dropTable(QStringLiteral("Tymczasowa"));
        EXPECT_FALSE(db->hasTable(QStringLiteral("Tymczasowa")));
        db->createTable(t);
    });
    EXPECT_TRUE(db->hasTable(QStringLiteral("Tymczasowa")));
}

// What createTable wrote is what tableDef() reads back, field by field and index by index.
TEST_F(Fixture, TableDefinitionsReadBackExactlyAsWritten) {
    const auto same = [](const TableDef& a, const TableDef& b) {
        ASSERT_EQ(a.name, b.name);
        ASSERT_EQ(a.fields.size(), b.fields.size());
        for (qsizetype i = 0; i < a.fields.size(); ++i) {
            EXPECT_EQ(a.fields[i].name, b.fields[i].name);
            EXPECT_EQ(a.fields[i].type, b.fields[i].type) << a.fields[i].name.toStdString();
            EXPECT_EQ(a.fields[i].size, b.fields[i].size) << a.fields[i].name.toStdString();
            EXPECT_EQ(a.fields[i].required, b.fields[i].required);
        }
        ASSERT_EQ(a.indexes.size(), b.indexes.size());
        for (qsizetype i = 0; i < a.indexes.size(); ++i) {
            EXPECT_EQ(a.indexes[i].name, b.indexes[i].name);
            EXPECT_EQ(a.indexes[i].fields, b.indexes[i].fields);
            EXPECT_EQ(a.indexes[i].primary, b.indexes[i].primary);
        }
    };
    TableDef every{
        QStringLiteral("Wszystko"),
        {{QStringLiteral("Nr"), FieldType::LongInt, 0, true},
         {QStringLiteral("Nazwa"), FieldType::Alpha, 40, true},
         {QStringLiteral("Cena"), FieldType::Number},
         {QStringLiteral("Dzien"), FieldType::Date},
         {QStringLiteral("Chwila"), FieldType::Timestamp},
         {QStringLiteral("Jest"), FieldType::Logical},
         {QStringLiteral("Opis"), FieldType::Memo, 120},
         {QStringLiteral("Obraz"), FieldType::Graphic, 10},
         {QStringLiteral("Licznik"), FieldType::AutoInc}},
        {{QStringLiteral("PrimaryIndex"), {QStringLiteral("Nazwa"), QStringLiteral("Dzien")}, true},
         {QStringLiteral("wg_Ceny"), {QStringLiteral("Cena"), QStringLiteral("Nr")}}}};
    db->createTable(every);
    same(db->requireTable(QStringLiteral("wszystko.db")), every);
    same(db->requireTable(QStringLiteral("Towar")), itemTable());
    same(db->requireTable(QStringLiteral("Opis")), valueTable());

    // Values of every type come back in their stored form.
    Table t(where(), QStringLiteral("Wszystko"));
    t.open();
    t.append();
    t.setValue(QStringLiteral("Nr"), 7);
    t.setValue(QStringLiteral("Nazwa"), QStringLiteral("Żółć"));
    t.setValue(QStringLiteral("Cena"), 0.1);
    t.setValue(QStringLiteral("Dzien"), QDate(2024, 2, 29));
    t.setValue(QStringLiteral("Chwila"), QDateTime(QDate(2024, 3, 1), QTime(8, 5, 7)));
    t.setValue(QStringLiteral("Jest"), true);
    t.setValue(QStringLiteral("Obraz"), QByteArray("\x00\xff\x10", 3));
    t.post();
    t.close();
    t.open();
    EXPECT_EQ(t.asInteger(QStringLiteral("Nr")), 7);
    EXPECT_EQ(t.asString(QStringLiteral("Nazwa")), QStringLiteral("Żółć"));
    EXPECT_EQ(t.asFloat(QStringLiteral("Cena")), 0.1);
    EXPECT_EQ(t.asDate(QStringLiteral("Dzien")), QDate(2024, 2, 29));
    EXPECT_EQ(t.value(QStringLiteral("Chwila")).toDateTime(),
              QDateTime(QDate(2024, 3, 1), QTime(8, 5, 7)));
    EXPECT_TRUE(t.asBoolean(QStringLiteral("Jest")));
    EXPECT_EQ(t.value(QStringLiteral("Obraz")).toByteArray(), QByteArray("\x00\xff\x10", 3));
    EXPECT_TRUE(t.value(QStringLiteral("Opis")).isNull());
}

// A key violation in the middle of a save undoes the whole save, and the next one works.
TEST_F(Fixture, AFailedStatementUndoesItsWholeTransaction) {
    addItems({"jeden"});
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    const qint64 taken = t.asInteger(QStringLiteral("Tow_nr"));
    try {
        db->transaction([&] {
            t.append();
            t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("dwa"));
            t.post();
            t.append();
            t.setValue(QStringLiteral("Tow_nr"), taken);
            t.post();
        });
        FAIL() << "the second row has the first one's key";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::KeyViolation) << e.message().toStdString();
    }
    if (t.state() != Table::State::Browse) t.cancel();
    t.refresh();
    EXPECT_EQ(t.recordCount(), 1);
    t.append();
    t.setValue(QStringLiteral("Tow_Nazwa"), QStringLiteral("trzy"));
    t.post();
    t.refresh();
    EXPECT_EQ(namesInOrder(t), (QStringList{"jeden", "trzy"}));
}

// A text holding a NUL character: a folder keeps it whole; a server, which stores none, refuses
// it with a message instead of keeping the text cut short at it.
TEST_F(Fixture, ATextWithANulIsKeptWholeOrRefused) {
    addItems({"jeden"});
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    const QString odd = QStringLiteral("przed") + QChar(0) + QStringLiteral("po");
    t.edit();
    t.setValue(QStringLiteral("Tow_Nazwa"), odd);
    if (backendrun::onServer()) {
        try {
            t.post();
            FAIL() << "the server took a text holding a NUL";
        } catch (const EngineError& e) {
            EXPECT_EQ(e.kind(), EngineError::Kind::BadValue) << e.message().toStdString();
        }
        if (t.state() != Table::State::Browse) t.cancel();
        t.refresh();
        EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("jeden"));
    } else {
        t.post();
        t.refresh();
        EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), odd);
    }
}

// Statements take SQLite's numbered and plain markers on either backend; a question mark inside
// quoted text is text, and values come back in their stored types.
TEST_F(Fixture, StatementsBindMarkersAndLeaveQuotedTextAlone) {
    Statement st = db->prepare(QStringLiteral("SELECT 'a?b', ?2 + 1, ?1, ?"));
    st.bindAll({QStringLiteral("żółw ?"), qint64(41), 2.5});
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.column(0).toString(), QStringLiteral("a?b"));
    EXPECT_EQ(st.columnInt(1), 42);
    EXPECT_EQ(st.column(2).toString(), QStringLiteral("żółw ?"));
    EXPECT_EQ(st.column(3), QVariant(2.5));
    EXPECT_FALSE(st.step());
    EXPECT_TRUE(Database::exists(where()));

    // Texts are read where they were bound: rebinding one, moving the statement and binding
    // past the first markers all keep every value; the statement asked for again is blank.
    const QString sql = QStringLiteral("SELECT ?1 || ?2 || ?3 || ?4 || ?5 || ?6");
    {
        Statement texts = db->prepare(sql);
        texts.bindAll({QStringLiteral("ą"), QStringLiteral("b"), QStringLiteral("ć"),
                       QStringLiteral("d"), QStringLiteral("ę"), QStringLiteral("f")});
        ASSERT_TRUE(texts.step());
        EXPECT_EQ(texts.column(0).toString(), QStringLiteral("ąbćdęf"));
        texts.reset();
        texts.bind(1, QString(QStringLiteral("x").repeated(100)));
        texts.bind(6, QStringLiteral("ż"));
        Statement moved = std::move(texts);
        ASSERT_TRUE(moved.step());
        EXPECT_EQ(moved.column(0).toString(),
                  QStringLiteral("x").repeated(100) + QStringLiteral("bćdęż"));
    }
    Statement again = db->prepare(sql);
    ASSERT_TRUE(again.step());
    EXPECT_TRUE(again.column(0).isNull());
}

// A statement asked for from the cancel check, while the server's answer to another one is
// awaited, is refused rather than taking that answer; the awaited statement ends as it should.
TEST_F(Fixture, AStatementFromTheCancelCheckLeavesTheRunningOneItsAnswer) {
    if (!backendrun::onServer()) GTEST_SKIP() << "a folder's statements run within the call";
    QString refused;
    db->setCancelCheck([&] {
        try {
            Statement nested = db->prepare(QStringLiteral("SELECT 2"));
            nested.step();
        } catch (const EngineError& e) {
            refused = e.message();
        }
        return false;
    });
    Statement st = db->prepare(QStringLiteral("SELECT 41 + 1 FROM (SELECT pg_sleep(0.05)) s"));
    ASSERT_TRUE(st.step());
    EXPECT_EQ(st.columnInt(0), 42);
    db->setCancelCheck({});
    EXPECT_TRUE(refused.contains(QStringLiteral("jeszcze odpowiada"))) << refused.toStdString();
}

// A long statement asks the cancel check while it runs and stops when told, with the engine's
// error; the connection serves the next statement as before.
TEST_F(Fixture, ALongStatementStopsWhenTheCancelCheckSaysSo) {
    int asked = 0;
    db->setCancelCheck([&] { return ++asked >= 3; });
    try {
        Statement st = db->prepare(
            QStringLiteral("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE "
                           "x < 1000000000) SELECT count(*) FROM c"));
        st.step();
        FAIL() << "the statement ran to its end";
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::State) << e.message().toStdString();
        EXPECT_EQ(e.message(), QStringLiteral("Zapytanie zostało przerwane."));
    }
    EXPECT_GE(asked, 3);
    db->setCancelCheck({});
    addItems({"dalej"});
    Table t(where(), QStringLiteral("Towar"));
    t.open();
    EXPECT_EQ(t.asString(QStringLiteral("Tow_Nazwa")), QStringLiteral("dalej"));
}
