#include "engine/database.h"
#include "engine/filterexpr.h"
#include "engine/localsql.h"
#include "engine/pgfunctions.h"
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "engine/sortkey.h"
#include "engine/sqlname.h"
#include "engine/values.h"
#include "support/pgcluster.h"
#include "support/tempfolder.h"
#include <gtest/gtest.h>
#include <memory>

using namespace engine;

// The same rows in a folder's SQLite database and in a schema on a server; every filter and
// every query must find the same rows, in the same order, in both.

namespace {

FieldDef fd(const char* name, FieldType type, int size = 0) {
    return FieldDef{QString::fromUtf8(name), type, size};
}

TableDef table(const char* name, QList<FieldDef> fields) {
    TableDef t;
    t.name = QString::fromUtf8(name);
    t.fields = std::move(fields);
    t.indexes = {IndexDef{QStringLiteral("PrimaryIndex"), {t.fields.first().name}, true}};
    return t;
}

const QList<TableDef>& catalogue() {
    using T = FieldType;
    static const QList<TableDef> tables = {
        table("Towar", {fd("Tow_nr", T::AutoInc), fd("Tow_Grupa_nr", T::LongInt),
                        fd("Tow_Nazwa", T::Alpha, 40), fd("Tow_SRP", T::Number),
                        fd("Tow_Kod", T::Alpha, 20)}),
        table("Grupa", {fd("Grupa_Nr", T::AutoInc), fd("Grupa_Nazwa", T::Alpha, 30)}),
        table("Dok",
              {fd("Dok_Nr", T::AutoInc), fd("Dok_Data", T::Date), fd("Dok_Czas", T::Timestamp),
               fd("Dok_Zaplacono", T::Logical), fd("Dok_Opis", T::Memo)}),
    };
    return tables;
}

std::optional<TableDef> lookup(const QString& bare) {
    for (const auto& t : catalogue())
        if (t.name.compare(bare, Qt::CaseInsensitive) == 0) return t;
    return std::nullopt;
}

// Names chosen where the orders part: case, Polish letters against their base letters, other
// accents, blanks and punctuation before letters, digits, prefixes of one another.
const QStringList kNames = {"śruba M8", "ŚRUBA M6", "Śrubka",    "Sruba",  "sruba",  "Śruba",
                            "żaba",     "Żuraw",    "źrebię",    "zebra",  "Łata",   "lata",
                            "łata",     "Lato",     "ćma",       "Cma",    "Café",   "cafe",
                            "Ąkacja",   "akacja",   "ą",         "a",      "a b",    "a-b",
                            "ab",       "O'Reilly", "o\"reilly", "10 szt", "9 szt",  "kołek 8x40",
                            "Kołek",    "KOŁEK 6",  "Ñandú",     "Ørsted", "éclair", "Eclair",
                            "中文",     "x\\y",     "x%y",       "x_y",    "",       "Ü"};
const QStringList kCodes = {"1 200,50",   "10,5",       "10.5",     "-3",         "abc",
                            "31.12.1999", "1999-06-15", "5-3-1999", "2000.01.01", "12 szt",
                            "",           "9",          "x\\y",     "1e3"};

// Runs a statement on the server and returns its rows, values as the server writes them.
class Server {
public:
    explicit Server(PGconn* conn) : conn_(conn) {}

    QList<QStringList> rows(const QString& sqliteStyle, const QVariantList& params,
                            std::string* error = nullptr) {
        const QByteArray sql = numbered(sqliteStyle).toUtf8();
        QList<QByteArray> bytes;
        std::vector<const char*> values;
        std::vector<Oid> types;
        std::vector<int> lengths, formats;
        for (const QVariant& v : params) {
            bytes << valueOf(v);
            types.push_back(v.isNull() ? 0 : typeOf(v));
            lengths.push_back(int(bytes.back().size()));
            formats.push_back(types.back() == kBytea ? 1 : 0);
        }
        for (qsizetype i = 0; i < params.size(); ++i)
            values.push_back(params[i].isNull() ? nullptr : bytes[i].constData());
        pq::Result r(PQexecParams(conn_, sql.constData(), int(values.size()), types.data(),
                                  values.data(), lengths.data(), formats.data(), 0));
        QList<QStringList> out;
        const auto status = PQresultStatus(r.get());
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
            const std::string message = std::string(PQerrorMessage(conn_)) + sql.constData();
            if (error)
                *error = message;
            else
                ADD_FAILURE() << message;
            return out;
        }
        for (int row = 0; row < PQntuples(r.get()); ++row) {
            QStringList values;
            for (int c = 0; c < PQnfields(r.get()); ++c)
                values << (PQgetisnull(r.get(), row, c)
                               ? QString()
                               : QString::fromUtf8(PQgetvalue(r.get(), row, c)));
            out << values;
        }
        return out;
    }

    void exec(const QString& sql, const QVariantList& params = {}) {
        std::string error;
        rows(sql, params, &error);
        ASSERT_TRUE(error.empty()) << error;
    }

private:
    // Parameters go typed as the engine's backend sends them: integers (and logicals) as
    // bigint, numbers as double precision, bytes as they are, everything else as text.
    static constexpr Oid kBytea = 17, kInt8 = 20, kText = 25, kFloat8 = 701;
    static Oid typeOf(const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::QByteArray:
            return kBytea;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::LongLong:
            return kInt8;
        case QMetaType::Double:
            return kFloat8;
        default:
            return kText;
        }
    }
    static QByteArray valueOf(const QVariant& v) {
        switch (v.typeId()) {
        case QMetaType::QByteArray:
            return v.toByteArray();
        case QMetaType::Bool:
            return v.toBool() ? "1" : "0";
        case QMetaType::Double:
            return QByteArray::number(v.toDouble(), 'g', 17);
        default:
            return v.toString().toUtf8();
        }
    }

    // "?" becomes $1, $2, ... outside quoted text and names.
    static QString numbered(const QString& sql) {
        QString out;
        QChar quote;
        int n = 0;
        for (const QChar c : sql) {
            if (!quote.isNull()) {
                if (c == quote) quote = QChar();
            } else if (c == u'\'' || c == u'"') {
                quote = c;
            } else if (c == u'?') {
                out += u'$' + QString::number(++n);
                continue;
            }
            out += c;
        }
        return out;
    }

    PGconn* conn_;
};

// The columns the engine gives a field on a server: dates and timestamps are kept as text in
// their stored form, and every text has its sort key beside it.
bool keyed(FieldType t) {
    return isTextType(t) || t == FieldType::Date || t == FieldType::Timestamp;
}

QString pgType(FieldType t) {
    switch (t) {
    case FieldType::AutoInc:
    case FieldType::LongInt:
    case FieldType::Logical:
        return QStringLiteral("bigint");
    case FieldType::Number:
        return QStringLiteral("double precision");
    case FieldType::Graphic:
        return QStringLiteral("bytea");
    default:
        return QStringLiteral("text");
    }
}

class PgDialect : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cluster_ = std::make_unique<PgCluster>();
        if (!cluster_->missing().isEmpty() || !cluster_->running()) return;
        const auto location = parseServerLocation(cluster_->location(QStringLiteral("katalog")));
        conn_.reset(PQconnectdb(location.connectionString().constData()));
        if (PQstatus(conn_.get()) != CONNECTION_OK) return;
        const QByteArray sql = "CREATE SCHEMA katalog; SET search_path TO katalog;\n" +
                               pgSupportFunctionsSql(QStringLiteral("katalog")).toUtf8();
        pq::Result r(PQexec(conn_.get(), sql.constData()));
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK) return;
        folder_ = std::make_unique<TempFolder>();
        lite_ = Database::open(folder_->path(), Database::Mode::Create);
        load();
        loaded_ = true;
    }
    static void TearDownTestSuite() {
        lite_.reset();
        folder_.reset();
        conn_.reset();
        cluster_.reset();
    }
    void SetUp() override {
        if (!cluster_->missing().isEmpty()) GTEST_SKIP() << cluster_->missing().toStdString();
        ASSERT_TRUE(cluster_->running());
        ASSERT_TRUE(loaded_) << PQerrorMessage(conn_.get());
    }

    // Rows written in SQLite through the engine, then copied to the server row id and all,
    // each text with its sort key beside it.
    static void load() {
        QList<QVariantList> towar, grupa, dok;
        for (int i = 0; i < kNames.size(); ++i)
            towar << QVariantList{QVariant(), i % 4 + 1, kNames[i],
                                  i % 5 == 0 ? QVariant() : QVariant(i * 7.5 - 20),
                                  kCodes[i % kCodes.size()]};
        for (const char* g : {"Śruby", "Kołki", "ąbc", "Inne"})
            grupa << QVariantList{QVariant(), QString::fromUtf8(g)};
        const char* dates[] = {"2024-01-01", "2024-06-15", "2023-12-31", nullptr, "2024-06-01"};
        for (int i = 0; i < 10; ++i)
            dok << QVariantList{
                QVariant(), dates[i % 5] ? QVariant(dates[i % 5]) : QVariant(),
                QStringLiteral("2024-06-%1 %2:30:00").arg(10 + i).arg(i * 2, 2, 10, QChar(u'0')),
                i % 3 == 2 ? QVariant() : QVariant(i % 2 == 0),
                i % 2 ? QStringLiteral("Uwagi %1").arg(i) : QStringLiteral("uwaga")};
        const QList<QVariantList>* rowsOf[] = {&towar, &grupa, &dok};
        Server server(conn_.get());
        // Texts get a collation of a real language where the server has one, so that nothing
        // found here rests on the test cluster's plain byte order.
        QString collate;
        const auto language = server.rows(
            "SELECT collname FROM pg_collation WHERE collname IN ('pl-x-icu', "
            "'und-x-icu', 'pl_PL.utf8', 'en_US.utf8') ORDER BY collprovider DESC, collname "
            "DESC LIMIT 1",
            {});
        if (!language.isEmpty()) collate = " COLLATE " + quoted(language[0][0]);
        for (int t = 0; t < catalogue().size(); ++t) {
            const TableDef& def = catalogue()[t];
            lite_->createTable(def);
            QStringList cols, marks, pgCols;
            for (const FieldDef& f : def.fields) {
                cols << quoted(f.name);
                marks << QStringLiteral("?");
                pgCols << quoted(f.name) + u' ' + pgType(f.type) +
                              (pgType(f.type) == u"text" ? collate : QString());
                if (keyed(f.type)) pgCols << quoted(sortKeyColumn(f.name)) + " bytea";
            }
            lite_->transaction([&] {
                for (QVariantList row : *rowsOf[t]) {
                    for (int i = 0; i < row.size(); ++i)
                        row[i] = toStorage(def.fields[i], row[i]);
                    if (!row[0].isValid())
                        row[0] = lite_->takeAutoInc(def.name, def.fields[0].name);
                    lite_
                        ->prepare("INSERT INTO " + quoted(def.name) + " (" + cols.join(", ") +
                                  ") VALUES (" + marks.join(", ") + ")")
                        .bindAll(row)
                        .run();
                }
            });
            server.exec("CREATE TABLE " + quoted(def.name) + " (rowid bigint PRIMARY KEY, " +
                        pgCols.join(", ") + ")");
            Statement st =
                lite_->prepare("SELECT rowid, " + cols.join(", ") + " FROM " + quoted(def.name));
            while (st.step()) {
                QVariantList values{st.column(0)};
                QStringList pgMarks{"?"};
                for (int i = 0; i < def.fields.size(); ++i) {
                    values << st.column(i + 1);
                    pgMarks << "?";
                    if (keyed(def.fields[i].type)) {
                        values << (st.column(i + 1).isNull()
                                       ? QVariant()
                                       : QVariant(polishSortKey(st.column(i + 1).toString())));
                        pgMarks << "?";
                    }
                }
                server.exec("INSERT INTO " + quoted(def.name) + " VALUES (" + pgMarks.join(", ") +
                                ")",
                            values);
            }
        }
    }

    // One row's values in a form both databases give alike.
    static QStringList shown(const QList<FieldDef>& columns, QStringList values) {
        for (int i = 0; i < values.size() && i < columns.size(); ++i) {
            QString& v = values[i];
            if (v.isNull()) {
                v = QStringLiteral("-");
                continue;
            }
            switch (columns[i].type) {
            case FieldType::AutoInc:
            case FieldType::LongInt:
            case FieldType::Number:
                v = QString::number(v.toDouble(), 'g', 15);
                break;
            case FieldType::Logical:
                v = v == u"t" || v == u"1" ? QStringLiteral("1") : QStringLiteral("0");
                break;
            default:
                break;
            }
        }
        return values;
    }

    static QList<QStringList> liteRows(const QString& sql, const QVariantList& params) {
        QList<QStringList> out;
        Statement st = lite_->prepare(sql);
        st.bindAll(params);
        while (st.step()) {
            QStringList values;
            for (int c = 0; c < st.columnCount(); ++c) {
                const QVariant v = st.column(c);
                values << (v.isNull() ? QString() : v.toString());
            }
            out << values;
        }
        return out;
    }

    // The rows of a filter on a table, by row id.
    static void expectSameRows(const QString& tableName, const QString& expression) {
        const TableDef def = *lookup(tableName);
        const FilterResolver resolve = [&](const QString& name) -> std::optional<FilterColumn> {
            const FieldDef* f = def.field(name);
            if (!f) return std::nullopt;
            return FilterColumn{quoted(def.name) + u'.' + quoted(f->name), *f};
        };
        const QString select = "SELECT rowid FROM " + quoted(def.name) + " WHERE ";
        const SqlFragment lite = translateFilter(expression, def.name, resolve);
        const SqlFragment pg = translateFilter(expression, def.name, resolve, SqlDialect::Postgres);
        const auto expected = liteRows(select + lite.sql + " ORDER BY rowid", lite.params);
        Server server(conn_.get());
        EXPECT_EQ(server.rows(select + pg.sql + " ORDER BY rowid", pg.params), expected)
            << qPrintable(expression) << "\n"
            << qPrintable(pg.sql);
        matched_ += expected.size();
    }

    static void expectSameResult(const QString& text) {
        const LocalSqlQuery lite = translateLocalSql(text, lookup);
        const LocalSqlQuery pg = translateLocalSql(text, lookup, SqlDialect::Postgres);
        ASSERT_EQ(pg.columns.size(), lite.columns.size());
        ASSERT_EQ(pg.rowTable, lite.rowTable);
        QList<QStringList> expected, got;
        for (const QStringList& row : liteRows(lite.sql, lite.params))
            expected << shown(lite.columns, row);
        Server server(conn_.get());
        for (const QStringList& row : server.rows(pg.sql, pg.params))
            got << shown(pg.columns, row);
        EXPECT_EQ(got, expected) << qPrintable(text) << "\n" << qPrintable(pg.sql);
        EXPECT_FALSE(expected.isEmpty()) << qPrintable(text);
        if (!lite.idSql.isEmpty()) {
            EXPECT_EQ(server.rows(pg.idSql, pg.params), liteRows(lite.idSql, lite.params))
                << qPrintable(text) << "\n"
                << qPrintable(pg.idSql);
        }
    }

    static inline std::unique_ptr<PgCluster> cluster_;
    static inline pq::Connection conn_;
    static inline std::unique_ptr<TempFolder> folder_;
    static inline std::shared_ptr<Database> lite_;
    static inline bool loaded_ = false;
    static inline qsizetype matched_ = 0;
};

} // namespace

TEST_F(PgDialect, FiltersOnTextFindTheSameRows) {
    matched_ = 0;
    for (const char* e : {"Tow_Nazwa = 'śruba m8'",
                          "Tow_Nazwa = 'ŚRUBA'",
                          "Tow_Nazwa <> 'ŚRUBA'",
                          "Tow_Nazwa >= 'Ś'",
                          "Tow_Nazwa < 'kołek'",
                          "Tow_Nazwa > 'lata'",
                          "Tow_Nazwa <= 'Łata'",
                          "Tow_Nazwa > ''",
                          "Tow_Nazwa = ''",
                          "Tow_Nazwa <> ''",
                          "Tow_Nazwa < 'a'",
                          "Tow_Nazwa = 'ŚR*'",
                          "Tow_Nazwa = 'sr*'",
                          "Tow_Nazwa <> 'śr*'",
                          "not Tow_Nazwa = 'Ł*'",
                          "Tow_Nazwa = 'a*'",
                          "Tow_Nazwa = '*'",
                          "Tow_Nazwa <> '*'",
                          "Tow_Nazwa = 'x\\*'",
                          "Tow_Nazwa = 'cafe'",
                          "Tow_Nazwa >= 'é' and Tow_Nazwa < 'f'",
                          "Tow_Nazwa = 'k*' or Tow_Kod = '1*'",
                          "not (Tow_Nazwa > 'm' and Tow_Grupa_nr = 2)",
                          "Tow_Kod >= '10' and Tow_Kod < '2'",
                          "Tow_SRP > 10 and Tow_Nazwa <> 'Ż*'",
                          "Tow_SRP <= 0",
                          "not Tow_SRP > 100"})
        expectSameRows(QStringLiteral("Towar"), QString::fromUtf8(e));
    for (const char* e :
         {"Dok_Zaplacono", "not Dok_Zaplacono", "Dok_Zaplacono = N", "Dok_Data >= 01.06.2024",
          "Dok_Data < '2024-06-15'", "Dok_Czas < '2024-06-15 12:00'", "Dok_Opis = 'uwag*'",
          "Dok_Opis > 'Uwagi 3'", "not Dok_Data = 2024-06-15"})
        expectSameRows(QStringLiteral("Dok"), QString::fromUtf8(e));
    EXPECT_GT(matched_, 200);
}

TEST_F(PgDialect, LocalSqlFindsTheSameRowsInTheSameOrder) {
    for (const char* q :
         {"SELECT * FROM Towar ORDER BY Tow_Nazwa",
          "SELECT Tow_Nazwa, Tow_SRP FROM Towar ORDER BY Tow_Nazwa DESC",
          "SELECT Tow_nr, Tow_Kod FROM Towar ORDER BY Tow_Kod, Tow_Nazwa DESC",
          "SELECT * FROM Towar ORDER BY Tow_SRP DESC, Tow_Grupa_nr",
          "SELECT DISTINCT Tow_Grupa_nr FROM Towar ORDER BY Tow_Grupa_nr DESC",
          "SELECT DISTINCT Tow_Nazwa FROM Towar ORDER BY Tow_Nazwa",
          "SELECT DISTINCT Upper(Tow_Nazwa) AS Duze FROM Towar ORDER BY Upper(Tow_Nazwa)",
          "SELECT DISTINCT Towar.* FROM Towar, Grupa WHERE Towar.Tow_Grupa_nr = "
          "Grupa.Grupa_Nr AND Upper(Grupa_Nazwa) LIKE '%K%' ORDER BY Towar.Tow_Nazwa",
          "SELECT DISTINCT Grupa.* FROM Grupa, Towar WHERE Tow_Grupa_nr = Grupa_Nr AND "
          "Tow_SRP > 50 ORDER BY Grupa_Nazwa DESC",
          "SELECT G.Grupa_Nazwa, T.Tow_Nazwa FROM Grupa G, Towar T WHERE G.Grupa_Nr = "
          "T.Tow_Grupa_nr ORDER BY G.Grupa_Nazwa, T.Tow_Nazwa DESC",
          "SELECT Tow_nr FROM Towar WHERE Tow_Nazwa > 'k' ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE Tow_Nazwa BETWEEN 'A' AND 'a' ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE Tow_Nazwa = 'Śruba' OR Tow_Nazwa = '' ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE Tow_Nazwa LIKE '%a_' ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE Tow_Nazwa LIKE 'x\\%' ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE Tow_Nazwa NOT LIKE '%a%' ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE Upper(Tow_Nazwa) LIKE 'ŚR%' ORDER BY Tow_nr",
          "SELECT Tow_Nazwa FROM Towar WHERE Upper(Tow_Nazwa) = 'ŚRUBA M8' ORDER BY Tow_Nazwa",
          "SELECT Tow_nr, CAST(Tow_Kod AS NUMERIC) AS Liczba FROM Towar WHERE "
          "CAST(Tow_Kod AS NUMERIC) >= 9 ORDER BY Tow_nr",
          "SELECT Tow_nr FROM Towar WHERE CAST(Tow_Kod AS NUMERIC) < 10 ORDER BY Tow_nr",
          "SELECT Tow_nr, CAST(Tow_Kod AS DATE) FROM Towar WHERE CAST(Tow_Kod AS DATE) "
          "BETWEEN '1.1.1999' AND '31.12.2000' ORDER BY CAST(Tow_Kod AS DATE) DESC",
          "SELECT Tow_nr, 'stała' AS Napis, 5 AS Piec FROM Towar WHERE Tow_nr < 4 ORDER BY "
          "Tow_nr",
          "SELECT * FROM Dok WHERE Dok_Data >= '1.6.2024' ORDER BY Dok_Data DESC",
          "SELECT Dok_Nr FROM Dok WHERE CAST(Dok_Czas AS DATE) = '15.06.2024'",
          "SELECT Dok_Nr, Dok_Zaplacono FROM Dok WHERE Dok_Zaplacono = 'N' ORDER BY Dok_Nr",
          "SELECT Dok_Nr FROM Dok WHERE Dok_Zaplacono = 1 OR Dok_Zaplacono IS NULL ORDER BY "
          "Dok_Zaplacono, Dok_Nr DESC",
          "SELECT * FROM Dok WHERE Dok_Czas BETWEEN '12.06.2024' AND '2024-06-17 23:00' ORDER "
          "BY Dok_Opis, Dok_Czas",
          "SELECT DISTINCT Dok_Zaplacono FROM Dok ORDER BY Dok_Zaplacono",
          "SELECT DISTINCT 'stała' AS Napis, Tow_Grupa_nr FROM Towar ORDER BY Tow_Grupa_nr",
          "SELECT DISTINCT Tow_SRP FROM Towar ORDER BY Tow_SRP DESC",
          // Numbers and logicals read as text as SQLite writes them.
          "SELECT Tow_nr, Upper(Tow_SRP) FROM Towar WHERE Tow_SRP LIKE '%.5' OR Tow_SRP LIKE "
          "'1%.0' ORDER BY Tow_nr",
          "SELECT Dok_Nr, Upper(Dok_Zaplacono), Upper(Dok_Data) FROM Dok WHERE Dok_Zaplacono "
          "LIKE '1' ORDER BY Dok_Nr",
          "SELECT Tow_nr FROM Towar WHERE Tow_Grupa_nr LIKE '2' ORDER BY Tow_nr"})
        expectSameResult(QString::fromUtf8(q));
}
