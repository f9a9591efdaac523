#include "engine/error.h"
#include "engine/filterexpr.h"
#include "engine/sortkey.h"
#include "engine/sqlfunctions.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace engine;

namespace {

// Two tables written by hand in the engine's stored forms, on a connection with the engine's
// collation and functions.
class FilterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        registerSqlFunctions(db_);
        exec(R"(
            CREATE TABLE Towar(id INTEGER PRIMARY KEY, Tow_Nr INTEGER, Tow_Nazwa TEXT,
                               Tow_Grupa_Nr INTEGER, Tow_Cena REAL);
            CREATE INDEX ix_nazwa ON Towar(Tow_Nazwa COLLATE PL);
            INSERT INTO Towar VALUES (1, 1, 'ŚRUBA M6', 4, 1.5), (2, 2, 'śruba M8', 4, 2.25),
                (3, 3, 'Śrubka', 4, -1), (4, 4, 'Sruba', 5, 10), (5, 17, 'O''Reilly', NULL, NULL),
                (6, NULL, NULL, 0, 0), (7, 7, 'żaba', 5, 3);
            CREATE TABLE Dokument(id INTEGER PRIMARY KEY, Dok_Typ INTEGER, Dok_Zaplacono INTEGER,
                                  Dok_Data_Wyst TEXT, Dok_Czas TEXT);
            INSERT INTO Dokument VALUES (1, 1, 1, '2024-01-01', '2024-01-01 08:00:00'),
                (2, 1, 0, '2024-12-31', NULL), (3, 1, NULL, '2023-12-31', NULL),
                (4, 2, 0, '2024-06-15', '2024-06-15 12:30:00'), (5, 1, NULL, NULL, NULL);
        )");
    }
    void TearDown() override { sqlite3_close(db_); }

    void exec(const char* sql) {
        char* err = nullptr;
        ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, &err), SQLITE_OK) << err;
    }

    static FilterResolver resolver(const QString& table) {
        return [table](const QString& name) -> std::optional<FilterColumn> {
            static const QList<FieldDef> fields = {
                {"Tow_Nr", FieldType::LongInt},       {"Tow_Nazwa", FieldType::Alpha, 40},
                {"Tow_Grupa_Nr", FieldType::LongInt}, {"Tow_Cena", FieldType::Number},
                {"Dok_Typ", FieldType::LongInt},      {"Dok_Zaplacono", FieldType::Logical},
                {"Dok_Data_Wyst", FieldType::Date},   {"Dok_Czas", FieldType::Timestamp},
                {"Dok_Skan", FieldType::Graphic}};
            for (const FieldDef& f : fields)
                if (f.name.compare(name, Qt::CaseInsensitive) == 0 &&
                    f.name.startsWith(table.left(3)))
                    return FilterColumn{'"' + table + "\".\"" + f.name + '"', f};
            return std::nullopt;
        };
    }

    static SqlFragment translate(const QString& expr, const QString& table = "Towar") {
        return translateFilter(expr, table, resolver(table));
    }

    sqlite3_stmt* prepare(const QString& sql, const QVariantList& params) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr), SQLITE_OK)
            << sql.toStdString() << ": " << sqlite3_errmsg(db_);
        for (int i = 0; i < params.size(); ++i) {
            const QVariant& v = params[i];
            if (v.isNull())
                sqlite3_bind_null(st, i + 1);
            else if (v.typeId() == QMetaType::LongLong)
                sqlite3_bind_int64(st, i + 1, v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(st, i + 1, v.toDouble());
            else
                sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1,
                                  SQLITE_TRANSIENT);
        }
        return st;
    }

    // Ids of the rows the filter keeps.
    QList<int> ids(const QString& expr, const QString& table = "Towar") {
        SqlFragment f = translate(expr, table);
        sqlite3_stmt* st =
            prepare("SELECT id FROM " + table + " WHERE " + f.sql + " ORDER BY id", f.params);
        QList<int> out;
        while (st && sqlite3_step(st) == SQLITE_ROW)
            out << sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        return out;
    }

    static QString rejection(const QString& expr) {
        try {
            translate(expr);
        } catch (const EngineError& e) {
            EXPECT_EQ(e.kind(), EngineError::Kind::BadFilter);
            EXPECT_EQ(e.table(), "Towar");
            return e.message();
        }
        return "accepted";
    }

    sqlite3* db_ = nullptr;
};

using Ids = QList<int>;

TEST_F(FilterTest, ExpressionsOfTheProgram) {
    EXPECT_EQ(ids("tow_grupa_nr=4 and tow_nazwa = 'ŚRUBA*' and tow_nr<>17"), Ids({1, 2}));
    EXPECT_EQ(ids("tow_nr<>17"), Ids({1, 2, 3, 4, 6, 7}));
    EXPECT_EQ(ids(" Tow_Nazwa = 'sruba'"), Ids({4}));
    EXPECT_EQ(ids("not Dok_Zaplacono", "Dokument"), Ids({2, 3, 4, 5}));
    EXPECT_EQ(ids("Dok_Typ=1 and (not Dok_Zaplacono) and Dok_Data_Wyst>=01-01-2024 and "
                  "Dok_Data_Wyst<=31-12-2024",
                  "Dokument"),
              Ids({2}));
}

TEST_F(FilterTest, ValuesAreParametersAndPlainComparisonsStayPlain) {
    SqlFragment f = translate("Tow_Grupa_Nr=4 and tow_nazwa='ŚRUBA*' and tow_cena>=2,5");
    EXPECT_EQ(f.sql,
              "((\"Towar\".\"Tow_Grupa_Nr\" = ?) AND (\"Towar\".\"Tow_Nazwa\" COLLATE PL >= ? "
              "AND \"Towar\".\"Tow_Nazwa\" COLLATE PL <= ?) AND (\"Towar\".\"Tow_Cena\" >= ?))");
    EXPECT_EQ(f.params, QVariantList({qint64(4), "ŚRUBA", prefixUpperBound("ŚRUBA"), 2.5}));
    f = translate("Dok_Data_Wyst>=01-01-2024", "Dokument");
    EXPECT_EQ(f.params, QVariantList({"2024-01-01"}));
    EXPECT_FALSE(f.sql.contains("2024"));
}

TEST_F(FilterTest, BeginsWithIgnoresCaseButNotPolishLetters) {
    EXPECT_EQ(ids("tow_nazwa = 'śruba*'"), Ids({1, 2})); // not "Śrubka", not "Sruba"
    EXPECT_EQ(ids("tow_nazwa = 'ŚRUB*'"), Ids({1, 2, 3}));
    EXPECT_EQ(ids("tow_nazwa <> 'śruba*'"), Ids({3, 4, 5, 6, 7})); // the empty name too
    EXPECT_EQ(ids("tow_nazwa = '*'"), Ids({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ids("tow_nazwa <> '*'"), Ids({}));
    EXPECT_EQ(ids("tow_nazwa = 'O''Reilly'"), Ids({5}));
    EXPECT_EQ(ids("tow_nazwa = \"o'reilly\""), Ids({5}));
    EXPECT_EQ(ids("tow_nazwa >= 'Ś'"), Ids({1, 2, 3, 7}));
}

TEST_F(FilterTest, BeginsWithWalksTheIndex) {
    SqlFragment f = translate("tow_nazwa = 'ŚRUBA*'");
    sqlite3_stmt* st = prepare("EXPLAIN QUERY PLAN SELECT id FROM Towar WHERE " + f.sql, f.params);
    QString plan;
    while (sqlite3_step(st) == SQLITE_ROW)
        plan += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 3)));
    sqlite3_finalize(st);
    EXPECT_TRUE(plan.contains("SEARCH") && plan.contains("ix_nazwa")) << plan.toStdString();
}

TEST_F(FilterTest, EmptyFieldsReadAsZeroEmptyTextOrFalse) {
    EXPECT_EQ(ids("tow_grupa_nr=0"), Ids({5, 6}));
    EXPECT_EQ(ids("tow_grupa_nr=4"), Ids({1, 2, 3}));
    EXPECT_EQ(ids("tow_cena < 1"), Ids({3, 5, 6}));
    EXPECT_EQ(ids("tow_cena > -2"), Ids({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(ids("tow_nazwa < 'b'"), Ids({6}));
    EXPECT_EQ(ids("tow_nazwa = ''"), Ids({6}));
    EXPECT_EQ(ids("Dok_Zaplacono = false", "Dokument"), Ids({2, 3, 4, 5}));
    EXPECT_EQ(ids("Dok_Zaplacono <> T", "Dokument"), Ids({2, 3, 4, 5}));
    EXPECT_EQ(ids("Dok_Zaplacono", "Dokument"), Ids({1}));
    // A blank date comes before every date.
    EXPECT_EQ(ids("Dok_Data_Wyst < '2024-01-01'", "Dokument"), Ids({3, 5}));
    EXPECT_EQ(ids("Dok_Data_Wyst >= 1.1.2024", "Dokument"), Ids({1, 2, 4}));
    EXPECT_EQ(ids("Dok_Czas >= 15-06-2024", "Dokument"), Ids({4}));
    EXPECT_EQ(ids("Dok_Czas < '2024-06-15 12:30'", "Dokument"), Ids({1, 2, 3, 5}));
}

TEST_F(FilterTest, NotAndOrPrecedence) {
    EXPECT_EQ(ids("tow_nr=1 or tow_nr=2 and tow_grupa_nr=5"), Ids({1}));
    EXPECT_EQ(ids("(tow_nr=1 or tow_nr=4) AND tow_grupa_nr=5"), Ids({4}));
    // `not` of a comparison keeps the rows whose blank field fails it.
    EXPECT_EQ(ids("NOT tow_grupa_nr=4"), Ids({4, 5, 6, 7}));
    EXPECT_EQ(ids("not (tow_grupa_nr=4 Or tow_cena>=3)"), Ids({5, 6}));
    EXPECT_EQ(ids("not not Dok_Zaplacono or Dok_Typ=2", "Dokument"), Ids({1, 4}));
}

TEST_F(FilterTest, ValuesOfAnotherType) {
    EXPECT_EQ(ids("tow_nr = '17'"), Ids({5}));
    EXPECT_EQ(ids("tow_cena = 2.25"), Ids({2}));
    SqlFragment f = translate("tow_nazwa = 0012");
    EXPECT_EQ(f.params, QVariantList({"0012"}));
    EXPECT_TRUE(f.sql.contains("COLLATE PL"));
}

TEST_F(FilterTest, RejectedExpressionsSayWhy) {
    EXPECT_EQ(rejection("tow_nazwa = 'abc"),
              "Niepoprawne wyrażenie filtru \"tow_nazwa = 'abc\" w tabeli Towar: niezamknięty "
              "cudzysłów.");
    const std::pair<const char*, const char*> cases[] = {
        {"(tow_nr=1", "brak nawiasu zamykającego"},
        {"tow_nr=1)", "nadmiarowy nawias zamykający"},
        {"tow_nr=", "brak wartości po operatorze ="},
        {"tow_nr= and tow_nr=2", "brak wartości po operatorze ="},
        {"tow_nr => 1", "nieznany operator \"=>\""},
        {"tow_nr=1 2", "nieoczekiwany element \"2\""},
        {"tow_nr=1 and", "brak warunku"},
        {"towar_nr=1", "nieznane pole towar_nr"},
        {"   ", "wyrażenie jest puste"},
        {"tow_nr = 'abc'", "nie jest liczbą"},
        {"tow_nr = 1,234.5", "nie jest liczbą"},
        {"tow_nr", "po polu tow_nr brak operatora"},
        {"tow_nazwa = abc", "musi być w cudzysłowie"},
        {"tow_nr = 1; drop", "niedozwolony znak \";\""},
    };
    for (auto [expr, cause] : cases) {
        const QString m = rejection(expr);
        EXPECT_TRUE(
            m.startsWith(
                QString("Niepoprawne wyrażenie filtru \"%1\"").arg(QString(expr).trimmed())) &&
            m.contains(cause))
            << expr << " -> " << m.toStdString();
    }
    EXPECT_TRUE(rejection(QString(100000, u'(') + "tow_nr=1").contains("zbyt głęboko"));
    EXPECT_THROW(translateFilter("Dok_Data_Wyst = 31-02-2024", "Dokument", resolver("Dokument")),
                 EngineError);
    EXPECT_THROW(translateFilter("Dok_Zaplacono = 2", "Dokument", resolver("Dokument")),
                 EngineError);
    EXPECT_THROW(translateFilter("Dok_Skan = 'x'", "Dokument", resolver("Dokument")), EngineError);
}

// On a server a text condition binds sort keys and compares the key column, so the server's
// collation plays no part and an index on the key serves; other fields stay as on SQLite.
TEST_F(FilterTest, OnTheServerTextComparesByItsSortKey) {
    auto pg = [](const QString& expr, const FilterResolver& resolve = resolver("Towar")) {
        return translateFilter(expr, "Towar", resolve, SqlDialect::Postgres);
    };
    SqlFragment f = pg("Tow_Nazwa = 'Śr*' and Tow_Nazwa >= 'b' and tow_nr = 3");
    EXPECT_EQ(f.sql.toStdString(),
              R"((("Towar"."Tow_Nazwa__k" >= ? AND "Towar"."Tow_Nazwa__k" < ?) AND )"
              R"(("Towar"."Tow_Nazwa__k" >= ?) AND ("Towar"."Tow_Nr" = ?)))");
    EXPECT_EQ(f.params, (QVariantList{polishSortKey(u"śr"), polishSortKeyUpperBound(u"ŚR"),
                                      polishSortKey(u"B"), qint64(3)}));
    // Negated, empty fields match as on SQLite; "begins with nothing" is every row.
    EXPECT_EQ(pg("not Tow_Nazwa = 'a*'").sql,
              R"(("Towar"."Tow_Nazwa__k" IS NULL OR "Towar"."Tow_Nazwa__k" < ? OR )"
              R"("Towar"."Tow_Nazwa__k" >= ?))");
    EXPECT_EQ(pg("Tow_Nazwa < 'x'").sql,
              R"(("Towar"."Tow_Nazwa__k" < ? OR "Towar"."Tow_Nazwa" IS NULL))");
    EXPECT_EQ(pg("Tow_Nazwa = '*'").sql, "TRUE");
    // A column that is an expression has no companion: its key is computed.
    const FilterResolver computed = [](const QString&) -> std::optional<FilterColumn> {
        return FilterColumn{"pl_upper(\"x\")", {"Tow_Nazwa", FieldType::Alpha, 40}};
    };
    EXPECT_EQ(pg("Tow_Nazwa = 'a'", computed).sql, R"((pl_key(pl_upper("x")) = ?))");
    // Dates are text with a key there too, so the key's index serves them.
    f = translateFilter("Dok_Data_Wyst >= 01-01-2024", "Dokument", resolver("Dokument"),
                        SqlDialect::Postgres);
    EXPECT_EQ(f.sql.toStdString(), R"(("Dokument"."Dok_Data_Wyst__k" >= ?))");
    EXPECT_EQ(f.params, QVariantList{polishSortKey(u"2024-01-01")});
    // The default stays SQLite's.
    EXPECT_TRUE(translate("Tow_Nazwa = 'a'").sql.contains("COLLATE PL"));
}

} // namespace
