#include "engine/sortkey.h"
#include "engine/sqlfunctions.h"
#include <QChar>
#include <algorithm>
#include <array>
#include <numeric>

namespace engine {

namespace {

// Characters below this have hand-written weights; from here on a character's weight follows
// every one of theirs, in code point order.
constexpr char32_t kRankedEnd = 0x180;

// The ranks are taken from comparePolish itself rather than from a copy of its table, so the
// key cannot drift from the order it stands for.
const std::array<char32_t, kRankedEnd>& rankedCodes() {
    static const std::array<char32_t, kRankedEnd> codes = [] {
        std::array<char16_t, kRankedEnd> chars{};
        std::iota(chars.begin(), chars.end(), char16_t(0));
        auto cmp = [](char16_t a, char16_t b) {
            return comparePolish(QStringView(&a, 1), QStringView(&b, 1));
        };
        std::stable_sort(chars.begin(), chars.end(),
                         [&](char16_t a, char16_t b) { return cmp(a, b) < 0; });
        std::array<char32_t, kRankedEnd> out{};
        char32_t rank = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i > 0 && cmp(chars[i - 1], chars[i]) != 0) ++rank;
            out[chars[i]] = rank;
        }
        return out;
    }();
    return codes;
}

inline void putCode(char*& o, char32_t cp) {
    if (cp < 0x80) {
        *o++ = char(cp);
    } else if (cp < 0x800) {
        *o++ = char(0xC0 | (cp >> 6));
        *o++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = char(0xE0 | (cp >> 12));
        *o++ = char(0x80 | ((cp >> 6) & 0x3F));
        *o++ = char(0x80 | (cp & 0x3F));
    } else {
        *o++ = char(0xF0 | (cp >> 18));
        *o++ = char(0x80 | ((cp >> 12) & 0x3F));
        *o++ = char(0x80 | ((cp >> 6) & 0x3F));
        *o++ = char(0x80 | (cp & 0x3F));
    }
}

} // namespace

char32_t polishSortCode(char32_t cp) {
    return cp < kRankedEnd ? rankedCodes()[cp] : cp;
}

QByteArray polishSortKey(QStringView text) {
    const auto& ranked = rankedCodes();
    // A UTF-16 unit never takes more than three bytes (a pair takes four for two units).
    QByteArray key(text.size() * 3, Qt::Uninitialized);
    char* const start = key.data();
    char* o = start;
    const char16_t* p = text.utf16();
    const char16_t* const end = p + text.size();
    while (p < end) {
        char32_t cp = *p++;
        if (cp < kRankedEnd) {
            // Ranks stay below 0x100: one byte for ASCII letters and digits, two at most.
            putCode(o, ranked[cp]);
            continue;
        }
        // As comparePolish does, a lone surrogate stands for itself.
        if (QChar::isHighSurrogate(cp) && p < end && QChar::isLowSurrogate(*p))
            cp = QChar::surrogateToUcs4(char16_t(cp), *p++);
        putCode(o, cp);
    }
    key.truncate(o - start);
    return key;
}

QByteArray polishSortKeyUpperBound(QStringView prefix) {
    return polishSortKey(prefix) + char(0xFF);
}

} // namespace engine
