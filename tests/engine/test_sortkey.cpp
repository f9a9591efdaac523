#include "engine/sortkey.h"
#include "engine/sqlfunctions.h"
#include <QList>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using engine::beginsWithPolish;
using engine::comparePolish;
using engine::polishSortKey;
using engine::polishSortKeyUpperBound;

namespace {

int sgn(int v) {
    return (v > 0) - (v < 0);
}

// As the server compares bytea: bytes as unsigned, a key that begins a longer one first.
int compareKeys(const QByteArray& a, const QByteArray& b) {
    const int n = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
    if (n != 0) return sgn(n);
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

// Polish letters of both cases, ASCII punctuation, digits and blanks, letters folded onto a
// base letter, Latin-1 signs outside the letters, CJK, characters outside the BMP (the last one
// weighing most of all) and lone surrogates.
QString randomText(std::mt19937& rng) {
    static const QList<uint> chars =
        QStringLiteral("aąbcćdeęlłnńoósśzźżAĄCĆEĘLŁNŃOÓSŚZŹŻ 0129-.,_~'\"!@/\\éÉöÖžçß×÷¿\u00a0"
                       "\u0080\u017f\u0180\u0410\u4e2d\uffff")
            .toUcs4() +
        QList<uint>{0x1F600, 0x10FFFF, 0x1, 0x7F};
    std::uniform_int_distribution<int> pick(0, int(chars.size()) + 1);
    std::u16string s;
    const int len = std::uniform_int_distribution<int>(0, 7)(rng);
    for (int i = 0; i < len; ++i) {
        const int k = pick(rng);
        if (k == chars.size()) {
            s += char16_t(0xD800); // a high surrogate without its pair
        } else if (k == chars.size() + 1) {
            s += char16_t(0xDC01);
        } else if (QChar::requiresSurrogates(chars[k])) {
            s += QChar::highSurrogate(chars[k]);
            s += QChar::lowSurrogate(chars[k]);
        } else {
            s += char16_t(chars[k]);
        }
    }
    return QString::fromStdU16String(s);
}

} // namespace

TEST(PolishSortKey, BytesOrderAsComparePolishOnRandomTexts) {
    std::mt19937 rng(20261210);
    QList<QString> texts;
    for (int i = 0; i < 4000; ++i)
        texts << randomText(rng);
    // Pairs that share a beginning are where a key could go wrong, so many are made so.
    for (int i = 0; i < 2000; ++i)
        texts << texts[i] + randomText(rng);
    for (int i = 0; i < 30000; ++i) {
        const QString& a = texts[rng() % texts.size()];
        const QString& b = texts[rng() % texts.size()];
        ASSERT_EQ(compareKeys(polishSortKey(a), polishSortKey(b)), sgn(comparePolish(a, b)))
            << qPrintable(a) << " | " << qPrintable(b);
    }
    // Sorting by key gives the order sorting by comparePolish gives.
    QList<QString> byKey = texts;
    std::stable_sort(byKey.begin(), byKey.end(), [](const QString& a, const QString& b) {
        return compareKeys(polishSortKey(a), polishSortKey(b)) < 0;
    });
    for (qsizetype i = 1; i < byKey.size(); ++i)
        ASSERT_LE(comparePolish(byKey[i - 1], byKey[i]), 0)
            << qPrintable(byKey[i - 1]) << " | " << qPrintable(byKey[i]);
}

TEST(PolishSortKey, EqualExactlyWhenTheTextsCompareEqual) {
    EXPECT_EQ(polishSortKey(u"Łódź Żółć"), polishSortKey(u"łÓDŹ żÓŁĆ"));
    EXPECT_EQ(polishSortKey(u"Café"), polishSortKey(u"CAFÉ"));
    EXPECT_EQ(polishSortKey(u"éa"), polishSortKey(u"Ëa")); // other accents fold together
    EXPECT_NE(polishSortKey(u"lata"), polishSortKey(u"łata"));
    EXPECT_NE(polishSortKey(u"a"), polishSortKey(u"a "));
    EXPECT_TRUE(polishSortKey(u"").isEmpty());
    // Every character up to U+017F against every other: a shared key means an equal weight.
    for (char16_t a = 0; a < 0x180; ++a)
        for (char16_t b = 0; b < 0x180; ++b)
            ASSERT_EQ(
                compareKeys(polishSortKey(QStringView(&a, 1)), polishSortKey(QStringView(&b, 1))),
                sgn(comparePolish(QStringView(&a, 1), QStringView(&b, 1))))
                << int(a) << " " << int(b);
}

TEST(PolishSortKey, PolishWordsKeepTheirLength) {
    // ASCII letters and digits take a byte and the Polish letters two at most, as in UTF-8.
    EXPECT_EQ(polishSortKey(u"Kowalski 12").size(), 11);
    EXPECT_LE(polishSortKey(u"ŻÓŁW").size(), 8);
}

TEST(PolishSortKey, UpperBoundClosesTheRangeOfTextsBeginningWithAPrefix) {
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        const QString prefix = randomText(rng).left(3);
        const QString text = (i % 2 ? prefix : QString()) + randomText(rng);
        const QByteArray key = polishSortKey(text);
        const bool inRange = compareKeys(key, polishSortKey(prefix)) >= 0 &&
                             compareKeys(key, polishSortKeyUpperBound(prefix)) < 0;
        ASSERT_EQ(inRange, beginsWithPolish(text, prefix))
            << qPrintable(text) << " | " << qPrintable(prefix);
    }
    // Case and Polish folding alike, as the filters' "begins with" reads them.
    const QByteArray lo = polishSortKey(u"śr"), hi = polishSortKeyUpperBound(u"śr");
    for (const char16_t* t : {u"Śruba", u"ŚR", u"śrubokręt"})
        EXPECT_TRUE(compareKeys(polishSortKey(t), lo) >= 0 && compareKeys(polishSortKey(t), hi) < 0)
            << qPrintable(QString::fromUtf16(t));
    for (const char16_t* t : {u"Sruba", u"Ś", u"śs", u"Śś"})
        EXPECT_FALSE(compareKeys(polishSortKey(t), lo) >= 0 &&
                     compareKeys(polishSortKey(t), hi) < 0)
            << qPrintable(QString::fromUtf16(t));
}
