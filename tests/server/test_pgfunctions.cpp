#include "engine/pgfunctions.h"
#include "engine/pq.h"
#include "engine/serverlocation.h"
#include "engine/sortkey.h"
#include "engine/sqlfunctions.h"
#include "support/pgcluster.h"
#include <QList>
#include <QVariant>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <random>
#include <sqlite3.h>

namespace {

// One server for the file: starting a cluster takes seconds.
class PgFunctions : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cluster_ = std::make_unique<PgCluster>();
        if (!cluster_->missing().isEmpty() || !cluster_->running()) return;
        const auto location =
            engine::parseServerLocation(cluster_->location(QStringLiteral("funkcje")));
        conn_.reset(PQconnectdb(location.connectionString().constData()));
        if (PQstatus(conn_.get()) != CONNECTION_OK) return;
        const QByteArray sql = "CREATE SCHEMA funkcje;\n" +
                               engine::pgSupportFunctionsSql(QStringLiteral("funkcje")).toUtf8();
        engine::pq::Result r(PQexec(conn_.get(), sql.constData()));
        created_ = PQresultStatus(r.get()) == PGRES_COMMAND_OK;
        if (!created_) failure_ = PQerrorMessage(conn_.get());
        sqlite3_open(":memory:", &lite_);
        engine::registerSqlFunctions(lite_);
    }
    static void TearDownTestSuite() {
        sqlite3_close(lite_);
        lite_ = nullptr;
        conn_.reset();
        cluster_.reset();
    }
    void SetUp() override {
        if (!cluster_->missing().isEmpty()) GTEST_SKIP() << cluster_->missing().toStdString();
        ASSERT_TRUE(cluster_->running());
        ASSERT_EQ(PQstatus(conn_.get()), CONNECTION_OK) << PQerrorMessage(conn_.get());
        ASSERT_TRUE(created_) << failure_;
    }

    // The server's answer as text (NULL as nullopt), arguments as text.
    static std::optional<QString> server(const char* sql, const QList<QVariant>& args) {
        QList<QByteArray> bytes;
        std::vector<const char*> values;
        for (const QVariant& a : args) {
            bytes << a.toString().toUtf8();
            values.push_back(a.isNull() ? nullptr : bytes.back().constData());
        }
        engine::pq::Result r(PQexecParams(conn_.get(), sql, int(values.size()), nullptr,
                                          values.data(), nullptr, nullptr, 0));
        EXPECT_EQ(PQresultStatus(r.get()), PGRES_TUPLES_OK) << sql << PQerrorMessage(conn_.get());
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQgetisnull(r.get(), 0, 0))
            return std::nullopt;
        return QString::fromUtf8(PQgetvalue(r.get(), 0, 0));
    }

    // SQLite's answer: nullopt for NULL, else the value (qint64, double or QString).
    static std::optional<QVariant> local(const char* sql, const QList<QVariant>& args) {
        sqlite3_stmt* st = nullptr;
        EXPECT_EQ(sqlite3_prepare_v2(lite_, sql, -1, &st, nullptr), SQLITE_OK);
        QList<QByteArray> bytes;
        for (int i = 0; i < args.size(); ++i) {
            bytes << args[i].toString().toUtf8();
            if (args[i].isNull())
                sqlite3_bind_null(st, i + 1);
            else
                sqlite3_bind_text(st, i + 1, bytes.back().constData(), int(bytes.back().size()),
                                  SQLITE_STATIC);
        }
        std::optional<QVariant> out;
        if (sqlite3_step(st) == SQLITE_ROW) {
            switch (sqlite3_column_type(st, 0)) {
            case SQLITE_NULL:
                break;
            case SQLITE_INTEGER:
                out = qint64(sqlite3_column_int64(st, 0));
                break;
            case SQLITE_FLOAT:
                out = sqlite3_column_double(st, 0);
                break;
            default:
                out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
            }
        }
        sqlite3_finalize(st);
        return out;
    }

    static inline std::unique_ptr<PgCluster> cluster_;
    static inline engine::pq::Connection conn_;
    static inline sqlite3* lite_ = nullptr;
    static inline bool created_ = false;
    static inline std::string failure_;
};

QString pick(std::mt19937& rng, const QStringList& from) {
    return from[int(rng() % from.size())];
}

QString digits(std::mt19937& rng, int maxLen) {
    QString s;
    const int n = int(rng() % (maxLen + 1));
    for (int i = 0; i < n; ++i)
        s += QChar(u'0' + char16_t(rng() % 10));
    return s;
}

// Texts of every kind the functions meet: words with Polish and other letters, punctuation,
// blanks of several kinds, characters outside the BMP.
QString randomText(std::mt19937& rng) {
    static const QList<uint> chars =
        QStringLiteral("aąbcćdeęlłnńoósśzźżAĄCĆEĘLŁNŃOÓSŚZŹŻ 0129-.,_~'\"!@/\\#$%^&*()[]{}|<>?"
                       "éÉöÖžçßÿŸ×÷¿\u00a0\u0080\u017f\u0180\u0130\u0131\u01c5\u0410\u0430\u1e9e"
                       "\u4e2d\uffff\t\u2028\u1f80\u1ff3")
            .toUcs4() +
        QList<uint>{0x1F600, 0x10400, 0x10428, 0x10FFFF, 0x1, 0x7F};
    std::u32string s;
    const int len = int(rng() % 9);
    for (int i = 0; i < len; ++i)
        s += char32_t(chars[int(rng() % chars.size())]);
    return QString::fromUcs4(s.data(), qsizetype(s.size()));
}

QString randomNumber(std::mt19937& rng) {
    static const QStringList blanks = {"", "", " ", "\u00a0", "\t", "\u3000"};
    static const QStringList signs = {"", "", "-", "+", "--"};
    static const QStringList points = {"", ".", ",", ",", ". "};
    static const QStringList exps = {"", "", "", "e", "E+", "e-", "e+0"};
    QString s =
        pick(rng, blanks) + pick(rng, signs) + digits(rng, 4) + pick(rng, points) + digits(rng, 3);
    const QString e = pick(rng, exps);
    if (!e.isEmpty()) s += e + digits(rng, 3);
    return s + pick(rng, blanks);
}

QString randomDate(std::mt19937& rng) {
    static const QStringList seps = {".", "-", "/", ".", ":"};
    static const QStringList times = {"",       "",        " 10:30",     " 9:05:01",
                                      "T23:59", " 24:00",  " 7:5",       " 12:00:00.123",
                                      "T1:00",  "  8:00 ", " 10:30:1.5", " x"};
    const QString sep = pick(rng, seps);
    const QString sep2 = rng() % 8 ? sep : pick(rng, seps);
    // Mostly near-real dates (day 0..32, month 0..13, leap years), now and then any digits.
    auto part = [&](int top, int width) {
        if (rng() % 10 == 0) return digits(rng, width);
        const QString n = QString::number(rng() % (top + 1));
        return rng() % 2 ? n.rightJustified(width, u'0') : n;
    };
    const QString day = part(32, 2), month = part(13, 2);
    const QString year = rng() % 10 ? QString::number(1896 + rng() % 210) : digits(rng, 4);
    const QString date =
        rng() % 2 ? day + sep + month + sep2 + year : year + sep + month + sep2 + day;
    return (rng() % 4 ? QString() : QStringLiteral(" ")) + date + pick(rng, times);
}

const QStringList kFixedNumbers = {"1 200,50",
                                   "1200,50",
                                   "1.200,50",
                                   "1,200.50",
                                   "-0",
                                   "-0,0",
                                   "+5",
                                   "5.",
                                   ".5",
                                   "-.5",
                                   ",5",
                                   "1e3",
                                   "1e",
                                   "e3",
                                   "inf",
                                   "nan",
                                   "0x10",
                                   " 42 ",
                                   "\u00a042\u00a0",
                                   "١٢",
                                   "１２",
                                   "9007199254740993",
                                   "123456789012345678901234567890",
                                   "1e308",
                                   "2e308",
                                   "1e-320",
                                   "1e-400",
                                   "0e-400",
                                   "abc",
                                   "",
                                   "   "};

const QStringList kFixedDates = {"01.02.2024",
                                 "1.2.2024",
                                 "2024-02-29",
                                 "2023-02-29",
                                 "31.04.2024",
                                 "2024/12/31",
                                 "2024.1.2",
                                 "0000-01-01",
                                 "0001-01-01",
                                 "9999-12-31",
                                 "12.2024.01",
                                 "2024-01-02 10:00",
                                 "2024-01-02T10:00:00",
                                 "2024-01-02T",
                                 "2024-01-02 25:00",
                                 " 02.01.2024 ",
                                 "02-01.2024",
                                 "20240102",
                                 "2024-001-02",
                                 "",
                                 "\u00a02024-01-02\u00a0",
                                 "2024-01-02\u00a010:00"};

} // namespace

TEST_F(PgFunctions, TextFunctionsAgreeWithSQLite) {
    std::mt19937 rng(1210);
    QList<QVariant> values = {QVariant(), QString(), QStringLiteral("Źdźbło ŻÓŁĆ ß ǅ İı Ÿ")};
    for (int i = 0; i < 600; ++i)
        values << randomText(rng);
    for (const QVariant& v : values) {
        const QString shown = v.isNull() ? QStringLiteral("NULL") : v.toString();
        for (auto [lite, pg] :
             {std::pair{"SELECT pl_upper(?)", "SELECT funkcje.pl_upper($1)"},
              std::pair{"SELECT pl_upper(?)", "SELECT funkcje.pl_upper_table($1)"},
              std::pair{"SELECT pl_fold(?)", "SELECT funkcje.pl_fold($1)"}}) {
            const auto expected = local(lite, {v});
            const auto got = server(pg, {v});
            ASSERT_EQ(got.has_value(), expected.has_value()) << pg << " " << qPrintable(shown);
            if (got) {
                EXPECT_EQ(*got, expected->toString()) << pg << " " << qPrintable(shown);
            }
        }
        const auto letters = local("SELECT pl_letters(?)", {v});
        EXPECT_EQ(server("SELECT funkcje.pl_letters($1)", {v}).value_or("NULL"),
                  QString::number(letters->toLongLong()))
            << qPrintable(shown);
        if (v.isNull()) {
            EXPECT_FALSE(server("SELECT funkcje.pl_key($1)", {v}));
            continue;
        }
        const auto key = server("SELECT funkcje.pl_key($1)", {v});
        ASSERT_TRUE(key && key->startsWith(QStringLiteral("\\x")));
        EXPECT_EQ(QByteArray::fromHex(key->mid(2).toLatin1()), engine::polishSortKey(v.toString()))
            << qPrintable(shown);
    }
}

TEST_F(PgFunctions, PrefixAgreesWithSQLite) {
    std::mt19937 rng(5);
    for (int i = 0; i < 600; ++i) {
        const QString text = randomText(rng);
        QVariant prefix = i % 3 ? text.left(int(rng() % 4)) : randomText(rng).left(2);
        if (i % 5 == 0) prefix = engine::upperPolish(prefix.toString());
        if (i % 97 == 0) prefix = QVariant();
        const QVariant t = i % 89 == 0 ? QVariant() : QVariant(text);
        const auto expected = local("SELECT pl_prefix(?, ?)", {t, prefix});
        EXPECT_EQ(server("SELECT funkcje.pl_prefix($1, $2)", {t, prefix}),
                  expected->toLongLong() ? QStringLiteral("t") : QStringLiteral("f"))
            << qPrintable(text) << " | " << qPrintable(prefix.toString());
    }
}

TEST_F(PgFunctions, NumbersReadAsSQLiteReadsThem) {
    std::mt19937 rng(42);
    QList<QVariant> values = {QVariant()};
    for (const QString& s : kFixedNumbers)
        values << s;
    for (int i = 0; i < 1500; ++i)
        values << randomNumber(rng);
    int numbers = 0;
    for (const QVariant& v : values) {
        const auto expected = local("SELECT pl_num(?)", {v});
        const auto got = server("SELECT funkcje.pl_num($1)", {v});
        ASSERT_EQ(got.has_value(), expected.has_value())
            << "[" << qPrintable(v.toString()) << "] " << qPrintable(got.value_or("NULL"));
        if (!got) continue;
        ++numbers;
        EXPECT_EQ(got->toDouble(), expected->toDouble()) << qPrintable(v.toString());
    }
    EXPECT_GT(numbers, 300); // the generator makes numbers as well as near misses
    EXPECT_EQ(server("SELECT funkcje.pl_num($1)", {QStringLiteral("1200,50")}),
              QStringLiteral("1200.50"));
    EXPECT_EQ(server("SELECT funkcje.pl_num(12::bigint) + funkcje.pl_num(true)", {}),
              QStringLiteral("13"));
}

TEST_F(PgFunctions, DatesReadAsSQLiteReadsThem) {
    std::mt19937 rng(2024);
    QList<QVariant> values = {QVariant()};
    for (const QString& s : kFixedDates)
        values << s;
    for (int i = 0; i < 1500; ++i)
        values << randomDate(rng);
    int dates = 0;
    for (const QVariant& v : values) {
        const auto expected = local("SELECT pl_date(?)", {v});
        const auto got = server("SELECT funkcje.pl_date($1)", {v});
        ASSERT_EQ(got.has_value(), expected.has_value())
            << "[" << qPrintable(v.toString()) << "] " << qPrintable(got.value_or("NULL"));
        if (!got) continue;
        ++dates;
        EXPECT_EQ(*got, expected->toString()) << qPrintable(v.toString());
    }
    EXPECT_GT(dates, 200);
    // Dates and timestamps of the server's own types are their day; a number is no date.
    EXPECT_EQ(server("SELECT funkcje.pl_date(timestamp '2024-03-04 23:59:59')", {}),
              QStringLiteral("2024-03-04"));
    EXPECT_EQ(server("SELECT funkcje.pl_date(date '2024-03-04')", {}),
              QStringLiteral("2024-03-04"));
    EXPECT_FALSE(server("SELECT funkcje.pl_date(20240304)", {}));
}

TEST_F(PgFunctions, CreatingThemAgainChangesNothing) {
    const QByteArray sql = engine::pgSupportFunctionsSql(QStringLiteral("funkcje")).toUtf8();
    engine::pq::Result r(PQexec(conn_.get(), sql.constData()));
    ASSERT_EQ(PQresultStatus(r.get()), PGRES_COMMAND_OK) << PQerrorMessage(conn_.get());
    EXPECT_EQ(server("SELECT funkcje.pl_upper('żółw')", {}), QStringLiteral("ŻÓŁW"));
}

// Where the server has a C.UTF-8 collation whose upper() maps as the program does, pl_upper is
// that upper(); either way it agrees with SQLite (above).
TEST_F(PgFunctions, UpperIsTheServersOwnWhenItMapsAlike) {
    const auto collation = server("SELECT collname FROM pg_collation WHERE collname IN "
                                  "('C.utf8', 'C.UTF-8') AND collprovider = 'c' LIMIT 1",
                                  {});
    if (!collation) GTEST_SKIP() << "no C.UTF-8 collation on this server";
    const auto body = server("SELECT prosrc FROM pg_proc WHERE proname = 'pl_upper' AND "
                             "pronamespace = 'funkcje'::regnamespace",
                             {});
    ASSERT_TRUE(body);
    EXPECT_TRUE(body->contains(QStringLiteral("upper(x COLLATE"))) << qPrintable(*body);
}
