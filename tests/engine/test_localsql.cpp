#include "engine/error.h"
#include "engine/localsql.h"
#include "engine/sqlfunctions.h"
#include <gtest/gtest.h>
#include <sqlite3.h>

using namespace engine;

namespace {

FieldDef fd(const char* name, FieldType type, int size = 0) {
    return FieldDef{QString::fromUtf8(name), type, size};
}

TableDef table(const char* name, QList<FieldDef> fields) {
    TableDef t;
    t.name = QString::fromUtf8(name);
    t.fields = std::move(fields);
    return t;
}

const QList<TableDef>& catalogue() {
    using T = FieldType;
    static const QList<TableDef> tables = {
        table("Towar", {fd("Tow_nr", T::AutoInc), fd("Tow_Grupa_nr", T::LongInt),
                        fd("Tow_Nazwa", T::Alpha, 50), fd("Tow_Nr_Producent", T::LongInt),
                        fd("Tow_SRP", T::Number), fd("Tow_Nazwa2", T::Alpha, 50)}),
        table("Grupa", {fd("Grupa_Nr", T::AutoInc), fd("Grupa_Nazwa", T::Alpha, 30)}),
        table("Cecha", {fd("Cecha_Nr", T::AutoInc), fd("Cecha_Opis", T::Alpha, 30),
                        fd("Cecha_Typ", T::Alpha, 1)}),
        table("Opis", {fd("Opis_Tow_Nr", T::LongInt), fd("Opis_Cecha_Nr", T::LongInt),
                       fd("Opis_Nr", T::AutoInc), fd("Opis_Opis", T::Alpha, 100)}),
        table("Szablon", {fd("Szablon_Grupa_Nr", T::LongInt), fd("Szablon_Znaczenie", T::LongInt),
                          fd("Szablon_Cecha_Nr", T::LongInt), fd("Szablon_nr", T::AutoInc)}),
        table("Firmy", {fd("Firma_Nr", T::AutoInc), fd("Firma_Skrot", T::Alpha, 30)}),
        table("Dok", {fd("Dok_Nr", T::AutoInc), fd("Dok_Data", T::Date),
                      fd("Dok_Czas", T::Timestamp), fd("Dok_Zaplacono", T::Logical)}),
    };
    return tables;
}

std::optional<TableDef> lookup(const QString& bare) {
    for (const auto& t : catalogue())
        if (t.name.compare(bare, Qt::CaseInsensitive) == 0) return t;
    return std::nullopt;
}

LocalSqlQuery translate(const QString& text) {
    return translateLocalSql(text, lookup);
}
LocalSqlQuery translate(const char* text) {
    return translate(QString::fromUtf8(text));
}

QString lines(std::initializer_list<const char*> ls) {
    QStringList out;
    for (auto l : ls)
        out << QString::fromUtf8(l);
    return out.join(u'\n');
}

// The worked example of the query builder, exactly as it writes it (line 14 ends in a blank).
const char* const kWorkedExample = "SELECT DISTINCT Towar.*\n"
                                   "FROM Towar , Grupa , Cecha , Opis\n"
                                   "WHERE\n"
                                   "Towar.Tow_Grupa_Nr=Grupa.Grupa_Nr\n"
                                   "and\n"
                                   "Towar.Tow_Nr=Opis.Opis_Tow_Nr\n"
                                   "and\n"
                                   "Opis.Opis_Cecha_Nr=Cecha.Cecha_Nr\n"
                                   "and\n"
                                   "Grupa.Grupa_Nr=12\n"
                                   "and\n"
                                   "Upper(Towar.Tow_Nazwa) LIKE \"%ŚRUBA%\"\n"
                                   "and\n"
                                   "(Opis.Opis_Cecha_Nr=7 and \n"
                                   "CAST(Opis.Opis_Opis AS NUMERIC)>=10.5\n"
                                   ")\n"
                                   "ORDER BY Towar.Tow_Nazwa";

// An in-memory database set up as the engine sets up its connections.
class LocalSqlDb : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
        sqlite3_db_config(db_, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
        registerSqlFunctions(db_);
        exec("PRAGMA case_sensitive_like=ON");
        exec(R"(CREATE TABLE "Towar" ("Tow_nr" INTEGER PRIMARY KEY, "Tow_Grupa_nr" INTEGER,
                 "Tow_Nazwa" TEXT, "Tow_Nr_Producent" INTEGER, "Tow_SRP" REAL, "Tow_Nazwa2" TEXT);
             CREATE TABLE "Grupa" ("Grupa_Nr" INTEGER PRIMARY KEY, "Grupa_Nazwa" TEXT);
             CREATE TABLE "Cecha" ("Cecha_Nr" INTEGER PRIMARY KEY, "Cecha_Opis" TEXT, "Cecha_Typ" TEXT);
             CREATE TABLE "Opis" ("Opis_Tow_Nr" INTEGER, "Opis_Cecha_Nr" INTEGER,
                 "Opis_Nr" INTEGER PRIMARY KEY, "Opis_Opis" TEXT);
             CREATE TABLE "Szablon" ("Szablon_Grupa_Nr" INTEGER, "Szablon_Znaczenie" INTEGER,
                 "Szablon_Cecha_Nr" INTEGER, "Szablon_nr" INTEGER PRIMARY KEY);
             CREATE TABLE "Firmy" ("Firma_Nr" INTEGER PRIMARY KEY, "Firma_Skrot" TEXT);
             CREATE TABLE "Dok" ("Dok_Nr" INTEGER PRIMARY KEY, "Dok_Data" TEXT, "Dok_Czas" TEXT,
                 "Dok_Zaplacono" INTEGER);)");
    }
    void TearDown() override { sqlite3_close(db_); }

    void exec(const char* sql) {
        char* err = nullptr;
        ASSERT_EQ(sqlite3_exec(db_, sql, nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
    }

    // Rows of the translated query; each row its columns joined with "|" (NULL as "-").
    QStringList rows(const QString& text) {
        const LocalSqlQuery q = translate(text);
        sqlite3_stmt* st = nullptr;
        const QByteArray sql = q.sql.toUtf8();
        EXPECT_EQ(sqlite3_prepare_v2(db_, sql.constData(), -1, &st, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db_) << "\n"
            << sql.constData();
        if (!st) return {};
        EXPECT_EQ(sqlite3_bind_parameter_count(st), q.params.size());
        for (int i = 0; i < q.params.size(); ++i) {
            const QVariant& v = q.params[i];
            if (!v.isValid() || v.isNull())
                sqlite3_bind_null(st, i + 1);
            else if (v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::Int)
                sqlite3_bind_int64(st, i + 1, v.toLongLong());
            else if (v.typeId() == QMetaType::Double)
                sqlite3_bind_double(st, i + 1, v.toDouble());
            else
                sqlite3_bind_text(st, i + 1, v.toString().toUtf8().constData(), -1,
                                  SQLITE_TRANSIENT);
        }
        QStringList out;
        while (sqlite3_step(st) == SQLITE_ROW) {
            QStringList cols;
            for (int c = 0; c < sqlite3_column_count(st); ++c) {
                auto t = reinterpret_cast<const char*>(sqlite3_column_text(st, c));
                cols << (t ? QString::fromUtf8(t) : QStringLiteral("-"));
            }
            out << cols.join(u'|');
        }
        EXPECT_EQ(sqlite3_finalize(st), SQLITE_OK) << sqlite3_errmsg(db_);
        return out;
    }
    QStringList rows(const char* text) { return rows(QString::fromUtf8(text)); }

    // Opis rows of attribute 1, one per value, item numbers 1.. in order; NULL for nullptr.
    void opisValues(std::initializer_list<const char*> values) {
        exec(R"(INSERT INTO "Cecha" VALUES (1, 'Wartość', 'A'))");
        int n = 0;
        for (auto v : values) {
            ++n;
            const QByteArray sql =
                QStringLiteral("INSERT INTO \"Opis\" VALUES (%1, 1, %1, %2)")
                    .arg(QString::number(n),
                         v ? u'\'' + QString::fromUtf8(v) + u'\'' : QStringLiteral("NULL"))
                    .toUtf8();
            exec(sql.constData());
        }
    }
    QStringList itemsWhere(const char* condition) {
        return rows(QStringLiteral("SELECT Opis.Opis_Tow_Nr FROM Opis WHERE ") +
                    QString::fromUtf8(condition) + QStringLiteral(" ORDER BY Opis.Opis_Tow_Nr"));
    }

    sqlite3* db_ = nullptr;
};

QString rejection(const QString& text) {
    try {
        translate(text);
    } catch (const EngineError& e) {
        EXPECT_EQ(e.kind(), EngineError::Kind::BadSql) << text.toStdString();
        EXPECT_TRUE(e.message().startsWith(u"Zapytanie SQL jest niepoprawne: ")) << e.what();
        return e.message();
    }
    ADD_FAILURE() << "accepted: " << text.toStdString();
    return {};
}
QString rejection(const char* text) {
    return rejection(QString::fromUtf8(text));
}

} // namespace

// ---------------------------------------------------------------------------------------------

TEST(LocalSqlText, WorkedExampleBindsEveryLiteralAndReturnsTowarColumns) {
    const LocalSqlQuery q = translate(kWorkedExample);
    EXPECT_EQ(q.params, (QVariantList{12LL, QStringLiteral("%ŚRUBA%"), 7LL, 10.5}));
    EXPECT_FALSE(q.sql.contains(u"12")) << q.sql.toStdString();
    EXPECT_FALSE(q.sql.contains(u"ŚRUBA"));
    EXPECT_TRUE(
        q.sql.startsWith(u"SELECT DISTINCT \"Towar\".\"Tow_nr\", \"Towar\".\"Tow_Grupa_nr\""));
    EXPECT_TRUE(q.sql.contains(u"pl_upper(\"Towar\".\"Tow_Nazwa\") LIKE ?"));
    EXPECT_TRUE(q.sql.contains(u"pl_num(\"Opis\".\"Opis_Opis\") >= ?"));
    EXPECT_TRUE(
        q.sql.endsWith(u" ORDER BY (+\"Towar\".\"Tow_Nazwa\") COLLATE PL, \"Towar\".rowid"));
    EXPECT_FALSE(q.sql.contains(u"= ? COLLATE")); // comparisons stay exact

    ASSERT_EQ(q.columns.size(), lookup(QStringLiteral("Towar"))->fields.size());
    EXPECT_EQ(q.columns[0].name, u"Tow_nr");
    EXPECT_EQ(q.columns[0].type, FieldType::AutoInc);
    EXPECT_EQ(q.columns[2].name, u"Tow_Nazwa");
    EXPECT_EQ(q.columns[2].size, 50);
    EXPECT_EQ(q.columns[4].type, FieldType::Number);
}

TEST(LocalSqlText, TableNamesAndColumnsIgnoreLetterCaseAndDbSuffix) {
    const LocalSqlQuery q =
        translate("select towar.tow_nazwa, GRUPA_NAZWA from towar.DB, \"Grupa.db\" "
                  "where TOWAR.TOW_NR = 1 order by tow_srp desc, Grupa.grupa_nazwa asc");
    EXPECT_EQ(q.sql,
              u"SELECT \"Towar\".\"Tow_Nazwa\", \"Grupa\".\"Grupa_Nazwa\" FROM \"Towar\", "
              u"\"Grupa\" WHERE \"Towar\".\"Tow_nr\" = ? ORDER BY (+\"Towar\".\"Tow_SRP\") DESC, "
              u"(+\"Grupa\".\"Grupa_Nazwa\") COLLATE PL, \"Towar\".rowid");
    ASSERT_EQ(q.columns.size(), 2);
    EXPECT_EQ(q.columns[1].name, u"Grupa_Nazwa");
}

TEST(LocalSqlText, SelectListExpressionsAliasesAndRepeatedNames) {
    const LocalSqlQuery q = translate("SELECT *, Upper(G2.Grupa_Nazwa) AS Duze, "
                                      "CAST(Grupa.Grupa_Nazwa AS DATE) FROM Grupa, Grupa G2");
    QStringList names;
    for (const auto& c : q.columns)
        names << c.name;
    EXPECT_EQ(names, (QStringList{"Grupa_Nr", "Grupa_Nazwa", "Grupa_Nr_1", "Grupa_Nazwa_1", "Duze",
                                  "CAST"}));
    EXPECT_EQ(q.columns[4].type, FieldType::Alpha);
    EXPECT_EQ(q.columns[5].type, FieldType::Date);
    EXPECT_TRUE(q.sql.contains(u"FROM \"Grupa\", \"Grupa\" AS \"G2\""));
    EXPECT_TRUE(q.sql.contains(u"\"G2\".\"Grupa_Nr\" AS \"Grupa_Nr_1\""));
}

TEST(LocalSqlText, LiteralsTakeTheStoredFormOfWhatTheyAreComparedWith) {
    // Dates are read in every accepted form; a literal that is no date binds NULL.
    EXPECT_EQ(
        translate("SELECT * FROM Dok WHERE Dok.Dok_Data > \"1.2.2000\" OR Dok_Data<'2000-3-5'")
            .params,
        (QVariantList{QStringLiteral("2000-02-01"), QStringLiteral("2000-03-05")}));
    EXPECT_EQ(translate("SELECT * FROM Dok WHERE \"31-12-1999\" <= Dok_Data").params,
              (QVariantList{QStringLiteral("1999-12-31")}));
    const QVariantList noDate = translate("SELECT * FROM Dok WHERE Dok_Data = \"jutro\"").params;
    ASSERT_EQ(noDate.size(), 1);
    EXPECT_TRUE(noDate[0].isNull());
    EXPECT_EQ(translate("SELECT * FROM Dok WHERE Dok_Czas >= \"05.01.2001 7:30\"").params,
              (QVariantList{QStringLiteral("2001-01-05 07:30:00")}));
    EXPECT_EQ(translate("SELECT * FROM Dok WHERE Dok_Zaplacono = \"T\"").params,
              (QVariantList{1LL}));
    // Numbers: a text literal against a number is read as one; a number against text stays as
    // written.
    EXPECT_EQ(translate("SELECT * FROM Towar WHERE Tow_SRP > '10,5' AND Tow_SRP < -3").params,
              (QVariantList{10.5, -3LL}));
    EXPECT_EQ(translate("SELECT * FROM Opis WHERE Opis_Opis = 7.50").params,
              (QVariantList{QStringLiteral("7.50")}));
}

TEST(LocalSqlText, EmptyTextFindsEmptyFields) {
    EXPECT_TRUE(translate("SELECT * FROM Grupa WHERE Grupa_Nazwa = \"\"")
                    .sql.endsWith(u"WHERE \"Grupa\".\"Grupa_Nazwa\" IS NULL"));
    EXPECT_TRUE(translate("SELECT * FROM Grupa WHERE '' <> Upper(Grupa_Nazwa)")
                    .sql.endsWith(u"WHERE pl_upper(\"Grupa\".\"Grupa_Nazwa\") IS NOT NULL"));
}

TEST(LocalSqlText, RejectsEverythingOutsideTheDialect) {
    // The query builder's text with no condition at all.
    EXPECT_EQ(rejection(lines(
                  {"SELECT DISTINCT Towar.*", "FROM Towar ", "WHERE", "ORDER BY Towar.Tow_Nazwa"})),
              u"Zapytanie SQL jest niepoprawne: brak warunku po WHERE (wiersz 3).");
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE").contains(u"brak warunku po WHERE"));
    // An attribute chosen without a value operator: the block holds only its opening line.
    EXPECT_EQ(rejection(lines({"SELECT DISTINCT Towar.*", "FROM Towar , Cecha , Opis", "WHERE",
                               "Towar.Tow_Nr=Opis.Opis_Tow_Nr", "and", "(Opis.Opis_Cecha_Nr=7 and ",
                               ")", "ORDER BY Towar.Tow_Nazwa"})),
              u"Zapytanie SQL jest niepoprawne: brak warunku po AND (wiersz 6).");
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE ()").contains(u"pusty nawias"));
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE (Tow_nr=1").contains(u"nawiasu zamykającego"));
    // A value holding a double quote, a price with a decimal comma.
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE Upper(Towar.Tow_Nazwa)=\"AB\"C\"")
                    .contains(u"niezamknięty cudzysłów"));
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE Tow_Nazwa='abc").contains(u"cudzysłów"));
    EXPECT_TRUE(rejection(lines({"SELECT DISTINCT Towar.*", "FROM Towar ", "WHERE",
                                 "Towar.Tow_SRP>100,5", "ORDER BY Towar.Tow_Nazwa"}))
                    .contains(u"(wiersz 4)"));

    for (const char* other :
         {"INSERT INTO Towar VALUES (1)", "DELETE FROM Towar", "UPDATE Towar SET Tow_Nazwa='x'",
          "DROP TABLE Towar", "PRAGMA user_version", "ATTACH 'x.db' AS x", "  "})
        rejection(other);
    EXPECT_TRUE(rejection("SELECT * FROM Towar; DELETE FROM Towar").contains(u"jedno polecenie"));
    EXPECT_TRUE(rejection("SELECT * FROM Towar;;").contains(u"jedno polecenie"));
    EXPECT_NO_THROW(translate("SELECT * FROM Towar;"));
    rejection("SELECT * FROM Towar WHERE Tow_nr=1 garbage");
    rejection("SELECT * FROM Towar ORDER BY");
    rejection("SELECT * FROM Towar ORDER Tow_Nazwa");
    rejection("SELECT * FROM Towar ORDER BY 1");
    rejection("SELECT * FROM Towar WHERE Tow_Nazwa");
    rejection("SELECT * FROM Towar WHERE Tow_Nazwa = NULL");
    rejection("SELECT * FROM Towar WHERE Tow_SRP = 5 -- komentarz");
    rejection("SELECT * FROM Towar WHERE Tow_SRP = 5 /* komentarz */");
    rejection("SELECT * FROM Towar JOIN Grupa ON Tow_Grupa_nr = Grupa_Nr");
    rejection("SELECT * FROM Towar WHERE CAST(Tow_Nazwa AS INTEGER) > 1");
    rejection("SELECT Tow_Nazwa");
    rejection("SELECT FROM Towar");
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE Lower(Tow_Nazwa)='a'").contains(u"Lower"));
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE Towar.Tow_Brak=1").contains(u"Tow_Brak"));
    EXPECT_TRUE(rejection("SELECT * FROM Towar WHERE Grupa.Grupa_Nr=1").contains(u"Grupa"));
    EXPECT_TRUE(rejection("SELECT * FROM Grupa, Grupa G2 WHERE Grupa_Nazwa='x'").contains(u"G2"));
    EXPECT_TRUE(rejection("SELECT * FROM Grupa, Grupa").contains(u"dwa razy"));
    try {
        translate("SELECT * FROM Towar ,\n Magazyn.db");
        FAIL();
    } catch (const EngineError& e) {
        EXPECT_EQ(e.message(),
                  u"Zapytanie SQL jest niepoprawne: nie ma tabeli Magazyn (wiersz 2).");
        EXPECT_EQ(e.table(), u"Magazyn");
    }
}

// ---------------------------------------------------------------------------------------------

TEST_F(LocalSqlDb, WorkedExampleFindsTheRightItemsInNameOrder) {
    exec(R"(INSERT INTO "Grupa" VALUES (12, 'Złączne'), (13, 'Inne');
            INSERT INTO "Cecha" VALUES (7, 'Długość', 'N'), (8, 'Kolor', 'A');
            INSERT INTO "Towar" ("Tow_nr", "Tow_Grupa_nr", "Tow_Nazwa") VALUES
              (1, 12, 'śruba M8'), (2, 12, 'ŚRUBA łeb'), (3, 12, 'Śruba Z'), (4, 12, 'Śruba krótka'),
              (5, 13, 'Śruba obca'), (6, 12, 'Wkręt'), (7, 12, 'Śruba Ą'), (8, 12, 'Śruba bez');
            INSERT INTO "Opis" ("Opis_Tow_Nr", "Opis_Cecha_Nr", "Opis_Opis") VALUES
              (1, 7, '12'), (1, 7, '10,5'), (2, 7, '10.5'), (3, 7, '100'), (4, 7, '9.99'),
              (5, 7, '20'), (6, 7, '20'), (7, 7, 'abc'), (7, 8, '50'), (3, 8, 'czarny');)");
    // Item 1 matches through two Opis rows and appears once; Polish order, letter case ignored.
    EXPECT_EQ(rows(kWorkedExample),
              (QStringList{"2|12|ŚRUBA łeb|-|-|-", "1|12|śruba M8|-|-|-", "3|12|Śruba Z|-|-|-"}));
    const QString plain =
        QString::fromUtf8(kWorkedExample).replace(QStringLiteral("DISTINCT "), QString());
    EXPECT_EQ(rows(plain).size(), 4);
}

TEST_F(LocalSqlDb, EqualityAndLikeAreExactUpperIsNot) {
    exec(R"(INSERT INTO "Towar" ("Tow_nr", "Tow_Nazwa", "Tow_SRP", "Tow_Nr_Producent") VALUES
              (1, 'Śruba', 150, 1), (2, 'ŚRUBA', 100, 2), (3, 'śruba', 99.5, 1), (4, 'Nakrętka', NULL, 3);
            INSERT INTO "Firmy" VALUES (1, 'Abc'), (2, 'ABC'), (3, 'xyz');)");
    auto names = [&](const char* cond) {
        return rows(QStringLiteral("SELECT Tow_nr FROM Towar WHERE ") + QString::fromUtf8(cond) +
                    QStringLiteral(" ORDER BY Tow_nr"));
    };
    EXPECT_EQ(names("Tow_Nazwa = \"Śruba\""), QStringList{"1"});
    EXPECT_EQ(names("Tow_Nazwa LIKE \"%ruba\""), (QStringList{"1", "3"}));
    EXPECT_EQ(names("Tow_Nazwa LIKE \"ś_uba\""), QStringList{"3"});
    EXPECT_EQ(names("Upper(Tow_Nazwa) = \"ŚRUBA\""), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names("Upper(Towar.Tow_Nazwa) LIKE \"ŚR%\""), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(names("NOT Upper(Tow_Nazwa) LIKE \"ŚR%\""), QStringList{"4"});
    EXPECT_EQ(names("Tow_Nazwa NOT LIKE \"Ś%\" and Tow_SRP is not null"), QStringList{"3"});
    EXPECT_EQ(names("Tow_SRP>100"), QStringList{"1"});
    EXPECT_EQ(names("Tow_SRP>=99.5 and not (Tow_SRP=150 or Tow_SRP<>100)"), QStringList{"2"});
    EXPECT_EQ(names("Tow_SRP IS NULL"), QStringList{"4"});
    EXPECT_EQ(names("Tow_SRP BETWEEN 99.5 AND 100"), (QStringList{"2", "3"}));

    const char* producer = "SELECT DISTINCT Towar.*\nFROM Towar , Firmy \nWHERE\n"
                           "Towar.Tow_Nr_Producent=Firmy.Firma_Nr\nand\n"
                           "Upper(Firmy.Firma_Skrot)=\"ABC\"\nORDER BY Towar.Tow_Nazwa";
    QStringList found = rows(producer);
    found.sort();
    EXPECT_EQ(found,
              (QStringList{"1|-|Śruba|1|150.0|-", "2|-|ŚRUBA|2|100.0|-", "3|-|śruba|1|99.5|-"}));
}

TEST_F(LocalSqlDb, NumericCastIgnoresTextThatIsNoNumber) {
    opisValues({"abc", "10,5", "10.5", "-3", "0", nullptr, "12 szt", "9"});
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS NUMERIC)>=0"), (QStringList{"2", "3", "5", "8"}));
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS NUMERIC)>=10.5"), (QStringList{"2", "3"}));
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS NUMERIC)<10"), (QStringList{"4", "5", "8"}));
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS NUMERIC)=-3"), QStringList{"4"});
    // Compared as text, "9", "abc" and "12 szt" all come after "10.5".
    EXPECT_EQ(itemsWhere("Opis.Opis_Opis > '10.5'"), (QStringList{"1", "7", "8"}));
}

TEST_F(LocalSqlDb, DateCastComparesDatesInEveryForm) {
    opisValues({"31.12.1999", "1999-06-15", "1999.01.01", "5-3-1999", "2000.01.01", "1998.12.31",
                "nie data", "31.02.1999", nullptr});
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS DATE) BETWEEN \"1999.01.01\" and \"1999.12.31\""),
              (QStringList{"1", "2", "3", "4"}));
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS DATE)>=\"1999.12.31\""), (QStringList{"1", "5"}));
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS DATE)=\"05.03.1999\""), QStringList{"4"});
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS DATE)<'1999-1-2'"), (QStringList{"3", "6"}));
    EXPECT_EQ(itemsWhere("CAST(Opis.Opis_Opis AS DATE) NOT BETWEEN '1.1.1999' and '31-12-1999'"),
              (QStringList{"5", "6"}));
    // A literal that is no date matches nothing and is no error.
    EXPECT_TRUE(itemsWhere("CAST(Opis.Opis_Opis AS DATE)<>\"1999.13.01\"").isEmpty());
    EXPECT_TRUE(itemsWhere("CAST(Opis.Opis_Opis AS DATE)>=\"abc\"").isEmpty());

    exec(R"(INSERT INTO "Dok" VALUES (1, '1999-12-31', '1999-12-31 23:59:00', 1),
                                     (2, '2000-01-02', '2000-01-02 08:00:00', 0))");
    EXPECT_EQ(rows("SELECT Dok_Nr FROM Dok WHERE Dok_Data >= '1.1.2000'"), QStringList{"2"});
    EXPECT_EQ(rows("SELECT Dok_Nr FROM Dok WHERE CAST(Dok_Czas AS DATE) = '31.12.1999'"),
              QStringList{"1"});
    EXPECT_EQ(rows("SELECT Dok_Nr FROM Dok WHERE Dok_Zaplacono = 'N'"), QStringList{"2"});
}

TEST_F(LocalSqlDb, QuotesInsideLiteralsAndInjectionStayData) {
    exec(R"(INSERT INTO "Firmy" VALUES (1, 'A"B'), (2, 'O''Neil'), (3, 'x');
            INSERT INTO "Towar" ("Tow_nr", "Tow_Nazwa") VALUES (1, 'x'), (2, 'X" OR 1=1 --');)");
    EXPECT_EQ(rows("SELECT Firma_Nr FROM Firmy WHERE Firma_Skrot=\"A\"\"B\""), QStringList{"1"});
    EXPECT_EQ(rows("SELECT Firma_Nr FROM Firmy WHERE Firma_Skrot='O''Neil'"), QStringList{"2"});
    EXPECT_EQ(rows("SELECT Firma_Nr FROM Firmy WHERE Firma_Skrot=\"O'Neil\""), QStringList{"2"});

    const char* attack =
        "SELECT Tow_nr FROM Towar WHERE Upper(Towar.Tow_Nazwa)=\"x\"\" OR 1=1 --\"";
    const LocalSqlQuery q = translate(attack);
    EXPECT_FALSE(q.sql.contains(u"1=1")) << q.sql.toStdString();
    EXPECT_EQ(q.params, QVariantList{QStringLiteral("x\" OR 1=1 --")});
    EXPECT_TRUE(rows(attack).isEmpty());
    EXPECT_EQ(rows("SELECT Tow_nr FROM Towar WHERE Upper(Tow_Nazwa)=\"X\"\" OR 1=1 --\""),
              QStringList{"2"});
    EXPECT_TRUE(rows("SELECT Tow_nr FROM Towar WHERE Tow_Nazwa='x'' OR ''a''=''a'").isEmpty());
}

TEST_F(LocalSqlDb, AttributePickerResolvesUnqualifiedNames) {
    exec(R"(INSERT INTO "Grupa" VALUES (5, 'Śruby'), (6, 'Kleje');
            INSERT INTO "Cecha" VALUES (1, 'Długość', 'N'), (2, 'Kolor', 'A'), (3, 'Data', 'D');
            INSERT INTO "Szablon" VALUES (5, 1, 1, 1), (5, 2, 2, 2), (6, 1, 2, 3), (6, 2, 3, 4);)");
    const QString picker = lines({"SELECT DISTINCT Cecha.*", "FROM Grupa , Cecha , Szablon",
                                  "WHERE", "Cecha.Cecha_Nr=Szablon.Szablon_Cecha_Nr", "and",
                                  "Szablon.Szablon_Grupa_Nr=Grupa_nr"});
    const LocalSqlQuery q = translate(picker);
    EXPECT_TRUE(q.sql.contains(u"\"Szablon\".\"Szablon_Grupa_Nr\" = \"Grupa\".\"Grupa_Nr\""));
    ASSERT_EQ(q.columns.size(), 3);
    EXPECT_EQ(q.columns[1].name, u"Cecha_Opis");

    QStringList all = rows(picker);
    all.sort();
    EXPECT_EQ(all, (QStringList{"1|Długość|N", "2|Kolor|A", "3|Data|D"}));
    QStringList inFive = rows(picker + QStringLiteral("\nand Grupa.Grupa_Nr=5"));
    inFive.sort();
    EXPECT_EQ(inFive, (QStringList{"1|Długość|N", "2|Kolor|A"}));
}

TEST(LocalSqlText, RefusesNestingDeeperThanAnyQueryWithAMessage) {
    auto nested = [](int depth, const QString& open, const QString& inner,
                     const QString& close) -> QString {
        return QStringLiteral("SELECT Tow_nr FROM Towar WHERE ") + open.repeated(depth) + inner +
               close.repeated(depth);
    };
    const QString tooDeep = QStringLiteral("zbyt głęboko zagnieżdżone nawiasy");
    // Thousands of levels once ran the stack out; every way of nesting now stops with a message.
    EXPECT_TRUE(rejection(nested(6000, QStringLiteral("("), QStringLiteral("Tow_nr=1"),
                                 QStringLiteral(")")))
                    .contains(tooDeep));
    EXPECT_TRUE(rejection(nested(6000, QStringLiteral("NOT "), QStringLiteral("Tow_nr=1"), {}))
                    .contains(tooDeep));
    EXPECT_TRUE(rejection(nested(6000, QStringLiteral("Upper("), QStringLiteral("Tow_Nazwa"),
                                 QStringLiteral(")")) +
                          QStringLiteral("='A'"))
                    .contains(tooDeep));
    // An unclosed run of parentheses is refused the same way, not read to its end.
    EXPECT_TRUE(rejection(nested(100000, QStringLiteral("("), {}, {})).contains(tooDeep));
    // Nesting people write still works.
    EXPECT_NO_THROW(translate(
        nested(50, QStringLiteral("("), QStringLiteral("Tow_nr=1"), QStringLiteral(")"))));
}

// The server's text of a query: text sorts by its key with empty values first, conditions
// compare text exactly, LIKE keeps backslashes as characters, and ordered DISTINCT rows are
// grouped (the server orders DISTINCT rows only by what they show).
TEST(LocalSqlText, OnTheServerTextSortsByItsKeyAndDistinctRowsAreGrouped) {
    auto pg = [](const char* text) {
        return translateLocalSql(QString::fromUtf8(text), lookup, SqlDialect::Postgres);
    };
    LocalSqlQuery q = pg("SELECT * FROM Towar WHERE Tow_Nazwa > 'a' AND Tow_Nr_Producent LIKE '1%' "
                         "ORDER BY Upper(Tow_Nazwa) DESC, Tow_Nazwa2, Tow_SRP");
    EXPECT_EQ(
        q.sql.mid(q.sql.indexOf(u" WHERE")),
        QStringLiteral(R"( WHERE "Towar"."Tow_Nazwa" COLLATE "C" > ? AND )"
                       R"(CAST("Towar"."Tow_Nr_Producent" AS text) LIKE ? ESCAPE '' ORDER BY )"
                       R"(pl_key(pl_upper("Towar"."Tow_Nazwa")) DESC NULLS LAST, )"
                       R"("Towar"."Tow_Nazwa2__k" NULLS FIRST, "Towar"."Tow_SRP" NULLS )"
                       R"(FIRST, "Towar".rowid)"));
    EXPECT_TRUE(q.idSql.startsWith(u"SELECT \"Towar\".rowid FROM \"Towar\" WHERE"));
    EXPECT_TRUE(q.idSql.endsWith(u"\"Towar\".\"Tow_SRP\" NULLS FIRST, \"Towar\".rowid"));

    q = pg(kWorkedExample);
    EXPECT_TRUE(q.sql.startsWith(u"SELECT \"Towar\".\"Tow_nr\", ")) << q.sql.toStdString();
    EXPECT_TRUE(q.sql.endsWith(u" GROUP BY 1, 2, 3, 4, 5, 6 ORDER BY min(encode("
                               u"\"Towar\".\"Tow_Nazwa__k\", 'hex') COLLATE \"C\") NULLS FIRST, "
                               u"min(\"Towar\".rowid)"))
        << q.sql.toStdString();
    EXPECT_EQ(q.rowTable, u"Towar");
    EXPECT_TRUE(q.idSql.contains(u" GROUP BY \"Towar\".rowid ORDER BY min(encode("));
    // Without an order DISTINCT stays DISTINCT; CAST of a timestamp takes its day.
    q = pg("SELECT DISTINCT CAST(Dok_Czas AS DATE) FROM Dok");
    EXPECT_EQ(q.sql, QStringLiteral(R"(SELECT DISTINCT pl_date("Dok"."Dok_Czas") AS "CAST" )"
                                    R"(FROM "Dok")"));
    // SQLite's text is what it was.
    EXPECT_TRUE(translate(kWorkedExample).sql.startsWith(u"SELECT DISTINCT "));
}
