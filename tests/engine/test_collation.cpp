#include "engine/sqlfunctions.h"
#include "engine/values.h"
#include <QList>
#include <QVariant>
#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

using engine::beginsWithPolish;
using engine::comparePolish;
using engine::prefixUpperBound;
using engine::upperPolish;

namespace {

const QString kLower = QStringLiteral("aąbcćdeęfghijklłmnńoópqrstuvwxyzźż");
const QString kUpper = QStringLiteral("AĄBCĆDEĘFGHIJKLŁMNŃOÓPQRSTUVWXYZŹŻ");

int sgn(int v) {
    return (v > 0) - (v < 0);
}

int cmp8(const QByteArray& a, const QByteArray& b) {
    return comparePolish(a.constData(), int(a.size()), b.constData(), int(b.size()));
}

// Both forms of the order, which must always agree.
int cmp(const QString& a, const QString& b) {
    const int r16 = sgn(comparePolish(a, b));
    const int r8 = sgn(cmp8(a.toUtf8(), b.toUtf8()));
    EXPECT_EQ(r16, r8) << qPrintable(a) << " vs " << qPrintable(b);
    return r16;
}

QString randomText(std::mt19937& rng, const QString& alphabet, int maxLen) {
    const QList<uint> chars = alphabet.toUcs4(); // never splits a surrogate pair
    std::uniform_int_distribution<int> pick(0, int(chars.size()) - 1);
    std::u32string s(std::uniform_int_distribution<int>(0, maxLen)(rng), U' ');
    for (char32_t& c : s)
        c = chars[pick(rng)];
    return QString::fromUcs4(s.data(), qsizetype(s.size()));
}

// Polish letters of both cases, ASCII, other accented letters, a CJK character and a
// character outside the BMP.
QString mixedText(std::mt19937& rng) {
    static const QString alphabet = kLower + kUpper + QStringLiteral(" 09-.,_~éÉöÖžçß中") +
                                    QString::fromUcs4(U"\U0001F600\U0010FFFF");
    return randomText(rng, alphabet, 6);
}

// An in-memory database with the functions registered. Parameters are texts or NULL.
class Db {
public:
    Db() {
        EXPECT_EQ(sqlite3_open(":memory:", &db_), SQLITE_OK);
        engine::registerSqlFunctions(db_);
    }
    ~Db() { sqlite3_close(db_); }

    void exec(const char* sql) { ASSERT_TRUE(column(sql).isEmpty()); }

    // The first column of every row: a null QVariant for NULL, qint64, double or QString.
    QList<QVariant> column(const char* sql, const QList<QVariant>& args = {}) {
        QList<QVariant> out;
        for (const char* rest = sql; *rest;) {
            sqlite3_stmt* st = nullptr;
            EXPECT_EQ(sqlite3_prepare_v2(db_, rest, -1, &st, &rest), SQLITE_OK)
                << sqlite3_errmsg(db_);
            if (!st) break;
            for (int i = 0; i < args.size(); ++i) {
                const QByteArray u = args[i].toString().toUtf8();
                if (args[i].isNull())
                    sqlite3_bind_null(st, i + 1);
                else
                    sqlite3_bind_text(st, i + 1, u.constData(), int(u.size()), SQLITE_TRANSIENT);
            }
            while (sqlite3_step(st) == SQLITE_ROW) {
                const int type = sqlite3_column_type(st, 0);
                auto text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
                out.append(type == SQLITE_NULL      ? QVariant()
                           : type == SQLITE_INTEGER ? QVariant(qint64(sqlite3_column_int64(st, 0)))
                           : type == SQLITE_FLOAT   ? QVariant(sqlite3_column_double(st, 0))
                                                    : QVariant(QString::fromUtf8(text)));
            }
            EXPECT_EQ(sqlite3_finalize(st), SQLITE_OK) << sqlite3_errmsg(db_);
        }
        return out;
    }

    QVariant one(const char* sql, const QList<QVariant>& args = {}) {
        auto rows = column(sql, args);
        EXPECT_EQ(rows.size(), 1) << sql;
        return rows.value(0);
    }

    QStringList texts(const char* sql, const QList<QVariant>& args = {}) {
        QStringList out;
        for (const QVariant& v : column(sql, args))
            out << v.toString();
        return out;
    }

    void insertAll(const QStringList& values) {
        exec("BEGIN");
        for (const QString& v : values)
            column("INSERT INTO t(x) VALUES (?)", {v});
        exec("COMMIT");
    }

private:
    sqlite3* db_ = nullptr;
};

} // namespace

// ---------------------------------------------------------------------------------------------
// The order itself

TEST(PolishOrder, AlphabetInEitherCase) {
    for (int i = 0; i < kLower.size(); ++i) {
        EXPECT_EQ(cmp(kLower.mid(i, 1), kUpper.mid(i, 1)), 0) << qPrintable(kLower.mid(i, 1));
        for (int j = i + 1; j < kLower.size(); ++j) {
            EXPECT_LT(cmp(kLower.mid(i, 1), kLower.mid(j, 1)), 0);
            EXPECT_LT(cmp(kUpper.mid(i, 1), kLower.mid(j, 1)), 0);
            EXPECT_LT(cmp(kLower.mid(i, 1), kUpper.mid(j, 1)), 0);
        }
    }
    EXPECT_EQ(cmp(u"Łata"_qs, u"łata"_qs), 0);
    EXPECT_EQ(cmp(u"ŻÓŁW"_qs, u"żółw"_qs), 0);
    EXPECT_LT(cmp(u"ab"_qs, u"ABC"_qs), 0);
    EXPECT_LT(cmp(u"Kot"_qs, u"kotek"_qs), 0);
    EXPECT_LT(cmp(u""_qs, u"a"_qs), 0);
    EXPECT_LT(cmp(u"Lublin"_qs, u"Łódź"_qs), 0);
    EXPECT_LT(cmp(u"Łódź"_qs, u"Mława"_qs), 0);
    EXPECT_LT(cmp(u"zebra"_qs, u"źrebię"_qs), 0);
    EXPECT_LT(cmp(u"źrebię"_qs, u"żaba"_qs), 0);
    EXPECT_LT(cmp(u"sęk"_qs, u"SĘKI"_qs), 0);
}

TEST(PolishOrder, CharactersBesideThePolishAlphabet) {
    // Blank, digits and most punctuation before letters; other accented letters right after
    // their base letter and its Polish sibling; every other script after all Latin letters.
    EXPECT_LT(cmp(u"a b"_qs, u"a1"_qs), 0);
    EXPECT_LT(cmp(u"a9"_qs, u"aa"_qs), 0);
    EXPECT_LT(cmp(u"e"_qs, u"ę"_qs), 0);
    EXPECT_LT(cmp(u"ę"_qs, u"é"_qs), 0);
    EXPECT_LT(cmp(u"École"_qs, u"f"_qs), 0);
    EXPECT_EQ(cmp(u"ÉCOLE"_qs, u"école"_qs), 0);
    EXPECT_LT(cmp(u"ż"_qs, u"ž"_qs), 0);
    EXPECT_LT(cmp(u"ž"_qs, u"{"_qs), 0);
    EXPECT_LT(cmp(u"~"_qs, u"×"_qs), 0);
    EXPECT_LT(cmp(u"ż"_qs, u"中"_qs), 0);
    EXPECT_LT(cmp(u"中"_qs, QString::fromUcs4(U"\U0001F600")), 0);
    EXPECT_LT(cmp(QString::fromUcs4(U"\U0001F600"), QString::fromUcs4(U"\U0010FFFF")), 0);
    EXPECT_LT(cmp(QString(QChar(0xFFFF)), QString::fromUcs4(U"\U00010000")), 0);
}

TEST(PolishOrder, LatinLettersFoldOntoTheirBaseLetter) {
    // Checked against Unicode's own data so that a letter left out of the hand-written table,
    // or put under the wrong base letter, shows up.
    for (char16_t c = 0x80; c < 0x180; ++c) {
        const QChar ch(c);
        const QString s(ch);
        if (!ch.isLetter() || c == 0xAA || c == 0xB5 || c == 0xBA) {
            EXPECT_GT(cmp(s, u"\x7f"_qs), 0) << int(c);
            continue;
        }
        EXPECT_GT(cmp(s, u"a"_qs), 0) << int(c);
        EXPECT_LT(cmp(s, u"{"_qs), 0) << int(c);
        if (c != 0x130) { // İ lowers to a plain i
            EXPECT_EQ(cmp(s, QString(ch.toLower())), 0) << int(c);
        }
        if (ch.decompositionTag() == QChar::Canonical) {
            const QChar base = ch.decomposition().at(0).toLower();
            const QString next(QChar(base.unicode() + 1));
            EXPECT_GT(cmp(s, QString(base)), 0) << int(c);
            EXPECT_LT(cmp(s, next), 0) << int(c);
        }
    }
}

TEST(PolishOrder, RandomTextsFormOneConsistentOrder) {
    std::mt19937 rng(20240611);
    std::vector<QString> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back(mixedText(rng));
    std::sort(texts.begin(), texts.end(),
              [](const QString& a, const QString& b) { return comparePolish(a, b) < 0; });
    for (size_t i = 0; i + 1 < texts.size(); ++i) {
        ASSERT_LE(cmp(texts[i], texts[i + 1]), 0) << i;
        ASSERT_GE(cmp(texts[i + 1], texts[i]), 0) << i;
    }
    std::uniform_int_distribution<size_t> pick(0, texts.size() - 1);
    for (int n = 0; n < 20000; ++n) {
        const QString &a = texts[pick(rng)], &b = texts[pick(rng)], &c = texts[pick(rng)];
        const int ab = cmp(a, b), bc = cmp(b, c), ac = cmp(a, c);
        ASSERT_EQ(ab, -cmp(b, a));
        if (ab <= 0 && bc <= 0) {
            ASSERT_LE(ac, 0);
        }
        if (ab == 0 && bc == 0) {
            ASSERT_EQ(ac, 0);
        }
    }
}

TEST(PolishOrder, PolishWordsFollowTheAlphabetIgnoringCase) {
    // An independent model: letters compared by their place in the alphabet.
    auto model = [](const QString& a, const QString& b) {
        for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i) {
            const auto x = kLower.indexOf(a[i].toLower()), y = kLower.indexOf(b[i].toLower());
            if (x != y) return x < y ? -1 : 1;
        }
        return sgn(int(a.size() - b.size()));
    };
    std::mt19937 rng(7);
    for (int n = 0; n < 20000; ++n) {
        const QString a = randomText(rng, kLower + kUpper, 5);
        const QString b = n % 3 ? randomText(rng, kLower + kUpper, 5) : a.toUpper();
        ASSERT_EQ(cmp(a, b), model(a, b)) << qPrintable(a) << " " << qPrintable(b);
    }
}

TEST(PolishOrder, InvalidUtf8IsOrderedWithoutHarm) {
    const QList<QByteArray> bad = {
        "\xC3",
        "\xC3\x28",
        "\xED\xA0\x80",
        "\xC0\xAF",
        "\xF4\x90\x80\x80",
        "\xE2\x82",
        "\x80\x80",
        "\xFF",
        "abc\xC5",
        "\xC5\x81" /* Ł */,
        "\xF0\x9F\x98",
        "\xF0\x9F\x98\x80",
        "",
        "l",
        "\xEF\xBF\xBF",
    };
    for (const auto& a : bad)
        for (const auto& b : bad) {
            EXPECT_EQ(sgn(cmp8(a, b)), -sgn(cmp8(b, a)));
            for (const auto& c : bad)
                if (cmp8(a, b) <= 0 && cmp8(b, c) <= 0) {
                    EXPECT_LE(cmp8(a, c), 0);
                }
        }
    EXPECT_EQ(cmp8("\xC5\x81", "\xC5\x82"), 0); // Ł, ł
    EXPECT_LT(cmp8("\xC5\x81", "\xFF"), 0);
    // Random bytes: sorting must give an order every adjacent pair agrees with.
    std::mt19937 rng(3);
    std::vector<QByteArray> junk;
    for (int i = 0; i < 2000; ++i) {
        QByteArray b;
        for (int n = std::uniform_int_distribution<int>(0, 6)(rng); n > 0; --n)
            b += char(std::uniform_int_distribution<int>(0, 255)(rng));
        junk.push_back(b);
    }
    std::sort(junk.begin(), junk.end(), [](auto& a, auto& b) { return cmp8(a, b) < 0; });
    for (size_t i = 0; i + 1 < junk.size(); ++i)
        ASSERT_GE(cmp8(junk[i + 1], junk[i]), 0);
}

// ---------------------------------------------------------------------------------------------
// Prefixes and upper case

TEST(PolishPrefix, BeginsWithAgreesWithTheUpperBound) {
    EXPECT_TRUE(beginsWithPolish(u"Śruba M8", u"śRU"));
    EXPECT_FALSE(beginsWithPolish(u"Sruba", u"śru"));
    EXPECT_FALSE(beginsWithPolish(u"ab", u"abc"));
    EXPECT_TRUE(beginsWithPolish(u"abc", u""));
    EXPECT_TRUE(beginsWithPolish(u"", u""));
    std::mt19937 rng(11);
    for (int n = 0; n < 5000; ++n) {
        const QString s = randomText(rng, kLower + kUpper + u" 1ćéü中"_qs, 6);
        QString p = n % 2 ? s.left(std::uniform_int_distribution<int>(0, 3)(rng)).toUpper()
                          : randomText(rng, u"aĄbćéÜ"_qs, 2);
        const bool inRange = cmp(s, p) >= 0 && cmp(s, prefixUpperBound(p)) < 0;
        ASSERT_EQ(beginsWithPolish(s, p), inRange) << qPrintable(s) << " / " << qPrintable(p);
        if (n % 2) {
            ASSERT_TRUE(inRange);
        }
    }
}

TEST(PolishUpper, UnicodeUpperCaseKeepsLength) {
    EXPECT_EQ(upperPolish(u"zażółć gęślą jaźń 12"), u"ZAŻÓŁĆ GĘŚLĄ JAŹŃ 12"_qs);
    EXPECT_EQ(upperPolish(u"straße"), u"STRAßE"_qs);
    EXPECT_EQ(upperPolish(u"éöç"), u"ÉÖÇ"_qs);
    EXPECT_EQ(upperPolish(QString::fromUcs4(U"x\U00010428")), QString::fromUcs4(U"X\U00010400"));
    const QString lone = u"a"_qs + QChar(0xD800) + u"b"_qs;
    EXPECT_EQ(upperPolish(lone), u"A"_qs + QChar(0xD800) + u"B"_qs);
    EXPECT_EQ(upperPolish(u""), QString());
}

// ---------------------------------------------------------------------------------------------
// On a database

TEST(PlCollation, IndexFollowsComparePolish) {
    Db db;
    db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, x TEXT); CREATE INDEX ix ON t(x COLLATE PL)");
    std::mt19937 rng(5);
    QStringList values;
    // Texts that go on with U+10FFFF after a prefix are past its upper bound, so none here.
    for (int i = 0; i < 3000; ++i)
        values << mixedText(rng).remove(QString::fromUcs4(U"\U0010FFFF"));
    db.insertAll(values);
    EXPECT_EQ(db.one("PRAGMA integrity_check").toString(), u"ok"_qs);

    const QString plan =
        db.texts("EXPLAIN QUERY PLAN SELECT x FROM t ORDER BY x COLLATE PL").join(u' ');
    EXPECT_FALSE(plan.contains(u"TEMP B-TREE"_qs)) << qPrintable(plan);
    const QStringList rows = db.texts("SELECT x FROM t ORDER BY x COLLATE PL");
    ASSERT_EQ(rows.size(), values.size());
    for (qsizetype i = 0; i + 1 < rows.size(); ++i)
        ASSERT_LE(cmp(rows[i], rows[i + 1]), 0);

    // Prefix ranges read off the index hold exactly the texts that begin with the prefix.
    for (const QString& p : {u"a"_qs, u"Ż"_qs, u"ą1"_qs, u"É"_qs, u""_qs}) {
        const auto range = db.texts("SELECT x FROM t WHERE x COLLATE PL >= ?1 AND "
                                    "x COLLATE PL < ?2 ORDER BY x COLLATE PL",
                                    {p, prefixUpperBound(p)});
        const auto viaFunction =
            db.texts("SELECT x FROM t WHERE pl_prefix(x, ?1) = 1 ORDER BY x COLLATE PL, id", {p});
        qsizetype expected = 0;
        for (const QString& v : values)
            expected += beginsWithPolish(v, p) ? 1 : 0;
        EXPECT_EQ(range.size(), expected) << qPrintable(p);
        EXPECT_EQ(viaFunction.size(), expected) << qPrintable(p);
        for (const QString& v : range)
            EXPECT_TRUE(beginsWithPolish(v, p)) << qPrintable(v);
    }
}

TEST(PlCollation, NearestKeySearch) {
    Db db;
    db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, x TEXT); CREATE INDEX ix ON t(x COLLATE PL)");
    db.insertAll({u"b"_qs, u"Ąb"_qs, u"abd"_qs, u"ABC"_qs, u"AAA"_qs});
    auto nearest = [&](const QString& key) {
        return db.texts("SELECT x FROM t WHERE x COLLATE PL >= ? ORDER BY x COLLATE PL LIMIT 1",
                        {key});
    };
    EXPECT_EQ(nearest(u"ab"_qs), QStringList{u"ABC"_qs});
    EXPECT_EQ(nearest(u"abc"_qs), QStringList{u"ABC"_qs});
    EXPECT_EQ(nearest(u"aż"_qs), QStringList{u"Ąb"_qs});
    EXPECT_EQ(nearest(u"ą"_qs), QStringList{u"Ąb"_qs});
    EXPECT_EQ(nearest(u"c"_qs), QStringList{});
    EXPECT_EQ(db.one("SELECT count(*) FROM t WHERE x = 'abc' COLLATE PL").toInt(), 1);
}

TEST(PlFunctions, NumAcceptsCommaOrPointAndRejectsTheRest) {
    Db db;
    EXPECT_EQ(db.one("SELECT pl_num('10,5')"), QVariant(10.5));
    EXPECT_EQ(db.one("SELECT pl_num(' 10.5 ')"), QVariant(10.5));
    EXPECT_EQ(db.one("SELECT pl_num('-3,25')"), QVariant(-3.25));
    EXPECT_EQ(db.one("SELECT pl_num('1e3')"), QVariant(qint64(1000)));
    EXPECT_EQ(db.one("SELECT typeof(pl_num('10'))").toString(), u"integer"_qs);
    EXPECT_EQ(db.one("SELECT typeof(pl_num('10,0'))").toString(), u"integer"_qs);
    EXPECT_EQ(db.one("SELECT pl_num('9223372036854775807')"),
              QVariant(qint64(9223372036854775807LL)));
    EXPECT_EQ(db.one("SELECT pl_num(7)"), QVariant(qint64(7)));
    EXPECT_EQ(db.one("SELECT pl_num(2.5)"), QVariant(2.5));
    for (const char* sql :
         {"SELECT pl_num('abc')", "SELECT pl_num('')", "SELECT pl_num('  ')", "SELECT pl_num(NULL)",
          "SELECT pl_num('1.2.3')", "SELECT pl_num('1,000.5')", "SELECT pl_num('12 000')",
          "SELECT pl_num('+-5')", "SELECT pl_num('nan')", "SELECT pl_num('1e999')",
          "SELECT pl_num(x'3130')"})
        EXPECT_TRUE(db.one(sql).isNull()) << sql;

    // A text that is no number matches no number, not even 0 as CAST would make it.
    db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, x TEXT)");
    db.insertAll({u"abc"_qs, u"0"_qs, u"0,0"_qs, u""_qs});
    EXPECT_EQ(db.one("SELECT count(*) FROM t WHERE pl_num(x) = 0").toInt(), 2);
}

TEST(PlFunctions, NumReadsAsParseLooseNumberDoes) {
    Db db;
    std::mt19937 rng(17);
    const QString alphabet = u"0123456789.,+-eE x\t"_qs;
    for (int n = 0; n < 20000; ++n) {
        QString s = randomText(rng, alphabet, 7);
        if (n % 50 == 0) s += QChar(0xA0); // non-ASCII text takes the general path
        if (n % 50 == 1) s = u"\u2003"_qs + s + u"ó"_qs;
        const auto expected = engine::parseLooseNumber(s);
        const QVariant got = db.one("SELECT pl_num(?)", {s});
        ASSERT_EQ(got.isNull(), !expected) << '"' << qPrintable(s) << '"';
        if (expected) {
            ASSERT_EQ(got.toDouble(), *expected) << qPrintable(s);
        }
    }
}

TEST(PlFunctions, DateReadsTheLooseFormsAndTimestamps) {
    Db db;
    const QList<std::pair<const char*, const char*>> cases = {
        {"5.3.2024", "2024-03-05"},
        {"05-03-2024", "2024-03-05"},
        {"2024.3.5", "2024-03-05"},
        {"2024-03-05", "2024-03-05"},
        {" 2024/03/05 ", "2024-03-05"},
        {"2024-03-05 10:20:30", "2024-03-05"},
        {"2024-03-05 10:20:30.125", "2024-03-05"},
        {"2024-03-05T10:20", "2024-03-05"},
        {"29.02.2024", "2024-02-29"},
        {"0001-01-01", "0001-01-01"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(db.one("SELECT pl_date(?)", {QString::fromUtf8(in)}).toString(),
                  QString::fromUtf8(out))
            << in;
    for (const char* bad : {"29.02.2023", "2024-13-01", "abc", "", "2024-03", "2024-03-05 25:00",
                            "2024-03-05 10", "24-03-05", "0000-01-01", "2024-03-05x"})
        EXPECT_TRUE(db.one("SELECT pl_date(?)", {QString::fromUtf8(bad)}).isNull()) << bad;
    EXPECT_TRUE(db.one("SELECT pl_date(NULL)").isNull());
    EXPECT_TRUE(db.one("SELECT pl_date(20240305)").isNull());
}

TEST(PlFunctions, DateReadsAsParseLooseTimestampDoes) {
    // Dates and times near the edges of their forms, some with one character changed.
    Db db;
    std::mt19937 rng(23);
    auto num = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto field = [&](int lo, int hi, int width) {
        return QString::number(num(lo, hi)).rightJustified(num(0, 1) ? width : 1, u'0');
    };
    auto any = [&](const QString& choices) {
        return choices.mid(num(0, int(choices.size()) - 1), 1);
    };
    for (int n = 0; n < 20000; ++n) {
        const QString sep = any(u".-/"_qs);
        const QString y = field(0, 10000, 4), m = field(0, 13, 2), d = field(0, 32, 2);
        QString s = n % 2 ? d + sep + m + sep + y : y + sep + m + sep + d;
        if (n % 3 == 0) {
            s += any(u" T"_qs) + (num(0, 5) ? u""_qs : u" "_qs) + field(0, 25, 2) + u':' +
                 field(0, 61, 2);
            if (num(0, 1)) s += u':' + field(0, 61, 2);
            if (num(0, 2) == 0) s += u'.' + field(0, 9999, 3);
        }
        if (n % 4 == 0) s[num(0, int(s.size()) - 1)] = any(u"0123456789.-/: T\tx"_qs)[0];
        if (n % 7 == 0) s = any(u" \n"_qs) + s + any(u" \u00a0"_qs);
        if (n % 11 == 0) s = any(u"\u2003x"_qs) + s + any(u"\u00a0ó"_qs);
        const auto ts = engine::parseLooseTimestamp(s);
        const QVariant got = db.one("SELECT pl_date(?)", {s});
        ASSERT_EQ(got.isNull(), !ts) << '"' << qPrintable(s) << '"';
        if (ts) {
            ASSERT_EQ(got.toString(), engine::dateToStorage(ts->date())) << qPrintable(s);
        }
    }
}

TEST(PlFunctions, UpperAndPrefix) {
    Db db;
    EXPECT_EQ(db.one("SELECT pl_upper('zażółć gęślą jaźń')").toString(), u"ZAŻÓŁĆ GĘŚLĄ JAŹŃ"_qs);
    EXPECT_EQ(db.one("SELECT pl_upper('straße')").toString(), u"STRAßE"_qs);
    EXPECT_EQ(db.one("SELECT pl_upper(12)").toString(), u"12"_qs);
    EXPECT_EQ(db.one("SELECT pl_upper('')").toString(), QString());
    EXPECT_TRUE(db.one("SELECT pl_upper(NULL)").isNull());
    EXPECT_EQ(db.one("SELECT hex(pl_upper(x'61C5FF'))").toString(), u"41C5FF"_qs);

    EXPECT_EQ(db.one("SELECT pl_prefix('Śruba M8', 'śRU')").toInt(), 1);
    EXPECT_EQ(db.one("SELECT pl_prefix('Sruba', 'śru')").toInt(), 0);
    EXPECT_EQ(db.one("SELECT pl_prefix('ab', 'abc')").toInt(), 0);
    EXPECT_EQ(db.one("SELECT pl_prefix('abc', '')").toInt(), 1);
    EXPECT_EQ(db.one("SELECT pl_prefix(NULL, 'a')").toInt(), 0);
    EXPECT_EQ(db.one("SELECT pl_prefix('a', NULL)").toInt(), 0);
    EXPECT_EQ(db.one("SELECT pl_prefix(123, '12')").toInt(), 1);
}

TEST(PlFunctions, UsableInIndexes) {
    // Expression indexes accept only deterministic functions.
    Db db;
    db.exec("CREATE TABLE t(id INTEGER PRIMARY KEY, x TEXT);"
            "CREATE INDEX i1 ON t(pl_upper(x)); CREATE INDEX i2 ON t(pl_num(x));"
            "CREATE INDEX i3 ON t(pl_date(x)); CREATE INDEX i4 ON t(x) WHERE pl_prefix(x, 'a')");
    db.insertAll({u"łódź"_qs, u"10,5"_qs, u"1.2.2024"_qs, u"abc"_qs});
    EXPECT_EQ(db.one("SELECT x FROM t WHERE pl_upper(x) = 'ŁÓDŹ'").toString(), u"łódź"_qs);
    EXPECT_EQ(db.one("SELECT x FROM t WHERE pl_num(x) = 10.5").toString(), u"10,5"_qs);
    EXPECT_EQ(db.one("SELECT x FROM t WHERE pl_date(x) = '2024-02-01'").toString(), u"1.2.2024"_qs);
    EXPECT_EQ(db.one("PRAGMA integrity_check").toString(), u"ok"_qs);
}
