#include "engine/sqlfunctions.h"
#include "engine/error.h"
#include "engine/values.h"
#include <QChar>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <sqlite3.h>

namespace engine {

namespace {

// ---------------------------------------------------------------------------------------------
// Weights of the text order.
//
// Each code point has one 32-bit weight and texts compare as sequences of weights. The table is
// written out by hand on purpose: indexes on disk were built with this order, so it must not move
// when a library underneath is upgraded. ASCII non-letters keep their code point order (times 4);
// a letter and its capital weigh base*4; the Polish letters sit right after their base letter
// (base*4+1, and ż at z*4+2 after ź); other accented Latin letters sort just after their base
// letter and its Polish sibling (base*4+3). Everything else comes after all of these in code point
// order, so U+10FFFF weighs the most.

constexpr uint32_t kOther = 0x10000;
constexpr char32_t kTableSize = 0x180; // Basic Latin, Latin-1 Supplement, Latin Extended-A

struct Fold {
    char base;
    uint32_t rank;
    const char16_t* letters; // both cases
};

constexpr Fold kFolds[] = {
    {'a', 1, u"ąĄ"},
    {'c', 1, u"ćĆ"},
    {'e', 1, u"ęĘ"},
    {'l', 1, u"łŁ"},
    {'n', 1, u"ńŃ"},
    {'o', 1, u"óÓ"},
    {'s', 1, u"śŚ"},
    {'z', 1, u"źŹ"},
    {'z', 2, u"żŻ"},

    {'a', 3, u"àáâãäåæāăÀÁÂÃÄÅÆĀĂ"},
    {'c', 3, u"çĉċčÇĈĊČ"},
    {'d', 3, u"ďđðĎĐÐ"},
    {'e', 3, u"èéêëēĕėěÈÉÊËĒĔĖĚ"},
    {'g', 3, u"ĝğġģĜĞĠĢ"},
    {'h', 3, u"ĥħĤĦ"},
    {'i', 3, u"ìíîïĩīĭįıĳÌÍÎÏĨĪĬĮİĲ"},
    {'j', 3, u"ĵĴ"},
    {'k', 3, u"ķĸĶ"},
    {'l', 3, u"ĺļľŀĹĻĽĿ"},
    {'n', 3, u"ñņňŉŋÑŅŇŊ"},
    {'o', 3, u"òôõöøōŏőœÒÔÕÖØŌŎŐŒ"},
    {'r', 3, u"ŕŗřŔŖŘ"},
    {'s', 3, u"ŝşšſßŜŞŠ"},
    {'t', 3, u"ţťŧþŢŤŦÞ"},
    {'u', 3, u"ùúûüũūŭůűųÙÚÛÜŨŪŬŮŰŲ"},
    {'w', 3, u"ŵŴ"},
    {'y', 3, u"ýÿŷÝŶŸ"},
    {'z', 3, u"žŽ"},
};

constexpr std::array<uint32_t, kTableSize> buildWeights() {
    std::array<uint32_t, kTableSize> w{};
    for (char32_t c = 0; c < kTableSize; ++c)
        w[c] = c < 0x80 ? c * 4 : kOther + c;
    for (char32_t c = 'A'; c <= 'Z'; ++c)
        w[c] = (c + 32) * 4;
    for (char32_t c = 'a'; c <= 'z'; ++c)
        w[c] = c * 4;
    int folded = 0;
    for (const Fold& f : kFolds)
        for (const char16_t* p = f.letters; *p; ++p) {
            // A letter listed twice or outside the table stops the build here.
            if (*p < 0x80 || *p >= kTableSize || w[*p] < kOther) throw "bad fold table";
            w[*p] = uint32_t(f.base) * 4 + f.rank;
            ++folded;
        }
    // Every letter of Latin-1 Supplement (62) and Latin Extended-A (128) is placed.
    if (folded != 62 + 128) throw "fold table incomplete";
    return w;
}

constexpr std::array<uint32_t, kTableSize> kWeights = buildWeights();

static_assert(kWeights[u'Ł'] == 'l' * 4 + 1 && kWeights[u'ż'] == 'z' * 4 + 2);
static_assert(kWeights[u'É'] == kWeights[u'é'] && kWeights[u'é'] < 'f' * 4);
static_assert(kWeights[u'~'] < kOther && kWeights[0xD7] > kWeights[u'~']); // × is no letter

inline uint32_t weightOf(char32_t cp) {
    return cp < kTableSize ? kWeights[cp] : kOther + cp;
}

// One code point of UTF-8. A byte that does not begin a well-formed sequence (stray continuation,
// overlong form, surrogate, cut-off end) stands for itself, so any bytes compare without harm.
inline char32_t nextUtf8(const unsigned char*& p, const unsigned char* end) {
    const unsigned c = *p;
    if (c < 0x80) {
        ++p;
        return c;
    }
    const auto left = end - p;
    auto cont = [&](int i) { return (p[i] & 0xC0) == 0x80; };
    if (c >= 0xC2 && c <= 0xDF) {
        if (left >= 2 && cont(1)) {
            char32_t cp = ((c & 0x1F) << 6) | (p[1] & 0x3F);
            p += 2;
            return cp;
        }
    } else if (c >= 0xE0 && c <= 0xEF) {
        if (left >= 3 && cont(1) && cont(2)) {
            char32_t cp = ((c & 0x0F) << 12) | ((p[1] & 0x3F) << 6) | (p[2] & 0x3F);
            if (cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) {
                p += 3;
                return cp;
            }
        }
    } else if (c >= 0xF0 && c <= 0xF4) {
        if (left >= 4 && cont(1) && cont(2) && cont(3)) {
            char32_t cp =
                ((c & 0x07) << 18) | ((p[1] & 0x3F) << 12) | ((p[2] & 0x3F) << 6) | (p[3] & 0x3F);
            if (cp >= 0x10000 && cp <= 0x10FFFF) {
                p += 4;
                return cp;
            }
        }
    }
    ++p;
    return c;
}

// One code point of UTF-16; a lone surrogate stands for itself.
inline char32_t nextUtf16(const char16_t*& p, const char16_t* end) {
    const char16_t c = *p++;
    if (QChar::isHighSurrogate(c) && p < end && QChar::isLowSurrogate(*p))
        return QChar::surrogateToUcs4(c, *p++);
    return c;
}

inline int sign(uint32_t a, uint32_t b) {
    return a < b ? -1 : 1;
}

int compareUtf16(const char16_t* pa, const char16_t* ea, const char16_t* pb, const char16_t* eb) {
    // As in the UTF-8 form: skip the identical beginning, not splitting a surrogate pair.
    const char16_t* const startA = pa;
    while (pa < ea && pb < eb && *pa == *pb)
        ++pa, ++pb;
    if (pa == ea && pb == eb) return 0;
    if (pa > startA && QChar::isHighSurrogate(pa[-1])) --pa, --pb;
    while (pa < ea && pb < eb) {
        const char16_t ca = *pa, cb = *pb;
        if (ca < 0x80 && cb < 0x80) {
            if (ca != cb && kWeights[ca] != kWeights[cb]) return sign(kWeights[ca], kWeights[cb]);
            ++pa, ++pb;
            continue;
        }
        const uint32_t wa = weightOf(nextUtf16(pa, ea));
        const uint32_t wb = weightOf(nextUtf16(pb, eb));
        if (wa != wb) return sign(wa, wb);
    }
    return pa < ea ? 1 : pb < eb ? -1 : 0;
}

bool beginsWithUtf8(const unsigned char* pt, const unsigned char* et, const unsigned char* pp,
                    const unsigned char* ep) {
    while (pp < ep) {
        if (pt >= et) return false;
        const unsigned ct = *pt, cp = *pp;
        if (ct < 0x80 && cp < 0x80) {
            if (ct != cp && kWeights[ct] != kWeights[cp]) return false;
            ++pt, ++pp;
            continue;
        }
        if (weightOf(nextUtf8(pt, et)) != weightOf(nextUtf8(pp, ep))) return false;
    }
    return true;
}

// Appends `cp` as UTF-8; `out` has room for four bytes.
inline char* putUtf8(char* out, char32_t cp) {
    if (cp < 0x80) {
        *out++ = char(cp);
    } else if (cp < 0x800) {
        *out++ = char(0xC0 | (cp >> 6));
        *out++ = char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *out++ = char(0xE0 | (cp >> 12));
        *out++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out++ = char(0x80 | (cp & 0x3F));
    } else {
        *out++ = char(0xF0 | (cp >> 18));
        *out++ = char(0x80 | ((cp >> 12) & 0x3F));
        *out++ = char(0x80 | ((cp >> 6) & 0x3F));
        *out++ = char(0x80 | (cp & 0x3F));
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// Casts of local SQL. These run once per row over whole tables, so the common forms are read
// straight from SQLite's bytes; only text the quick readers cannot settle (non-ASCII blanks,
// odd time forms) goes through the general readers in values.cpp, which define the answer.

inline bool isBlank(unsigned char c) {
    return c == ' ' || (c >= 0x09 && c <= 0x0D);
}
inline bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

struct Bytes {
    const unsigned char* p;
    const unsigned char* e;
    auto size() const { return e - p; }
    bool allDigits() const {
        if (p == e) return false;
        for (auto q = p; q < e; ++q)
            if (!isDigit(*q)) return false;
        return true;
    }
    int toInt() const {
        int v = 0;
        for (auto q = p; q < e; ++q)
            v = v * 10 + (*q - '0');
        return v;
    }
};

Bytes trimmed(Bytes b) {
    while (b.p < b.e && isBlank(*b.p))
        ++b.p;
    while (b.e > b.p && isBlank(b.e[-1]))
        --b.e;
    return b;
}

bool isAscii(const unsigned char* p, int n) {
    for (int i = 0; i < n; ++i)
        if (p[i] >= 0x80) return false;
    return true;
}

// The text of a value as UTF-8; nullptr only when SQLite ran out of memory.
const unsigned char* textOf(sqlite3_value* v, int& n) {
    auto s = sqlite3_value_text(v);
    n = sqlite3_value_bytes(v);
    if (!s && n == 0 && sqlite3_value_type(v) != SQLITE_NULL) // an empty blob
        return reinterpret_cast<const unsigned char*>("");
    return s;
}

// The date forms parseLooseDate reads, on ASCII text without surrounding blanks.
QDate quickDate(Bytes t) {
    const unsigned char* sep = nullptr;
    for (auto q = t.p; q < t.e && !sep; ++q)
        if (*q == '.' || *q == '-' || *q == '/') sep = q;
    if (!sep) return {};
    Bytes part[3];
    int n = 0;
    const unsigned char* start = t.p;
    for (auto q = t.p; q <= t.e; ++q) {
        if (q == t.e || *q == *sep) {
            if (n == 3) return {};
            part[n++] = {start, q};
            start = q + 1;
        }
    }
    if (n != 3) return {};
    for (const Bytes& b : part)
        if (!b.allDigits()) return {};
    if (part[0].size() == 4 && part[1].size() <= 2 && part[2].size() <= 2)
        return QDate(part[0].toInt(), part[1].toInt(), part[2].toInt());
    if (part[2].size() == 4 && part[0].size() <= 2 && part[1].size() <= 2)
        return QDate(part[2].toInt(), part[1].toInt(), part[0].toInt());
    return {};
}

// H:mm, H:mm:ss or H:mm:ss.zzz as parseLooseTimestamp accepts them; false when unsure.
bool quickTime(Bytes t) {
    auto number = [&](int minLen, int maxLen, int maxValue) {
        int len = 0, v = 0;
        while (len < maxLen && t.p < t.e && isDigit(*t.p))
            v = v * 10 + (*t.p++ - '0'), ++len;
        return len >= minLen && v <= maxValue;
    };
    auto skip = [&](char c) { return t.p < t.e && *t.p == c ? (++t.p, true) : false; };
    if (!number(1, 2, 23) || !skip(':') || !number(2, 2, 59)) return false;
    if (t.p == t.e) return true;
    if (!skip(':') || !number(2, 2, 59)) return false;
    if (t.p == t.e) return true;
    return skip('.') && number(3, 3, 999) && t.p == t.e;
}

void resultDate(sqlite3_context* ctx, const QDate& d) {
    if (!d.isValid() || d.year() < 1 || d.year() > 9999) return sqlite3_result_null(ctx);
    char buf[10];
    const int y = d.year(), m = d.month(), day = d.day();
    buf[0] = char('0' + y / 1000), buf[1] = char('0' + y / 100 % 10);
    buf[2] = char('0' + y / 10 % 10), buf[3] = char('0' + y % 10), buf[4] = '-';
    buf[5] = char('0' + m / 10), buf[6] = char('0' + m % 10), buf[7] = '-';
    buf[8] = char('0' + day / 10), buf[9] = char('0' + day % 10);
    sqlite3_result_text(ctx, buf, 10, SQLITE_TRANSIENT);
}

void plDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) != SQLITE_TEXT) return sqlite3_result_null(ctx);
    int n = 0;
    auto s = textOf(argv[0], n);
    if (!s) return sqlite3_result_error_nomem(ctx);
    // As for numbers: an ASCII character no date or time has in it settles the answer.
    bool ascii = true;
    for (int i = 0; i < n; ++i) {
        const unsigned char c = s[i];
        if (c >= 0x80)
            ascii = false;
        else if (!isDigit(c) && !isBlank(c) && c != '.' && c != '-' && c != '/' && c != ':' &&
                 c != 'T')
            return sqlite3_result_null(ctx);
    }
    if (ascii) {
        Bytes t = trimmed({s, s + n});
        const unsigned char* blank = t.p;
        while (blank < t.e && *blank != ' ')
            ++blank;
        if (blank == t.e && t.size() > 10 && t.p[10] == 'T') blank = t.p + 10;
        QDate d = quickDate(trimmed({t.p, blank}));
        if (!d.isValid()) return sqlite3_result_null(ctx);
        if (blank == t.e || quickTime(trimmed({blank + 1, t.e}))) return resultDate(ctx, d);
    }
    try {
        auto ts = parseLooseTimestamp(QString::fromUtf8(reinterpret_cast<const char*>(s), n));
        if (!ts) return sqlite3_result_null(ctx);
        resultDate(ctx, ts->date());
    } catch (...) {
        sqlite3_result_error_nomem(ctx);
    }
}

// As CAST(.. AS NUMERIC) does: an integer when the number is whole and fits one exactly.
void resultNumber(sqlite3_context* ctx, double v) {
    constexpr double kExactInt = 2251799813685248.0; // 2^51
    if (v == std::floor(v) && std::fabs(v) <= kExactInt)
        sqlite3_result_int64(ctx, sqlite3_int64(v));
    else
        sqlite3_result_double(ctx, v);
}

// A number in the plain forms: [+|-]digits[.digits][e[+|-]digits], "," or "." as decimal point.
// False when the text is no such number (the general reader then decides).
bool quickNumber(sqlite3_context* ctx, Bytes t) {
    char buf[64];
    const auto n = t.size();
    if (n == 0 || n >= qsizetype(sizeof buf)) return false;
    bool plainInt = true;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = char(t.p[i]);
        buf[i] = c == ',' ? '.' : c;
        if (!isDigit(t.p[i]) && !(i == 0 && (c == '-' || c == '+'))) plainInt = false;
    }
    const char* b = buf;
    const char* e = buf + n;
    if (*b == '+') ++b;
    if (b == e || *b == '+' || (*b == '-' && (b != buf || b + 1 == e || !isDigit(b[1]))))
        return false;
    if (plainInt) {
        sqlite3_int64 i = 0;
        auto r = std::from_chars(b, e, i);
        if (r.ec == std::errc() && r.ptr == e) {
            sqlite3_result_int64(ctx, i);
            return true;
        }
    }
    double v = 0;
    auto r = std::from_chars(b, e, v, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != e || !std::isfinite(v)) return false;
    resultNumber(ctx, v);
    return true;
}

inline bool isNumberChar(unsigned char c) {
    return isDigit(c) || c == '.' || c == ',' || c == '+' || c == '-' || c == 'e' || c == 'E';
}

void plNum(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
        return sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
    case SQLITE_FLOAT:
        return sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
    case SQLITE_TEXT:
        break;
    default:
        return sqlite3_result_null(ctx);
    }
    int n = 0;
    auto s = textOf(argv[0], n);
    if (!s) return sqlite3_result_error_nomem(ctx);
    // Words, names and codes are no numbers: an ASCII character that is neither blank nor part
    // of a number settles it without building a string.
    bool ascii = true;
    for (int i = 0; i < n; ++i) {
        if (s[i] >= 0x80)
            ascii = false;
        else if (!isNumberChar(s[i]) && !isBlank(s[i]))
            return sqlite3_result_null(ctx);
    }
    if (ascii) {
        Bytes t = trimmed({s, s + n});
        if (t.size() == 0) return sqlite3_result_null(ctx);
        if (quickNumber(ctx, t)) return;
    }
    try {
        auto v = parseLooseNumber(QString::fromUtf8(reinterpret_cast<const char*>(s), n));
        if (!v) return sqlite3_result_null(ctx);
        resultNumber(ctx, *v);
    } catch (...) {
        sqlite3_result_error_nomem(ctx);
    }
}

void plUpper(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    int n = 0;
    auto s = textOf(argv[0], n);
    if (!s) return sqlite3_result_error_nomem(ctx);
    // No simple upper-case mapping more than doubles a character's UTF-8 length.
    const bool ascii = isAscii(s, n);
    char* out = static_cast<char*>(sqlite3_malloc64(ascii ? n + 1 : 2 * sqlite3_uint64(n) + 4));
    if (!out) return sqlite3_result_error_nomem(ctx);
    char* o = out;
    const unsigned char* p = s;
    const unsigned char* end = s + n;
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            *o++ = char(c >= 'a' && c <= 'z' ? c - 32 : c);
            ++p;
            continue;
        }
        const unsigned char* start = p;
        const char32_t cp = nextUtf8(p, end);
        if (p == start + 1) // a stray byte is kept as it is
            *o++ = char(c);
        else
            o = putUtf8(o, QChar::toUpper(cp));
    }
    sqlite3_result_text64(ctx, out, sqlite3_uint64(o - out), sqlite3_free, SQLITE_UTF8);
}

void plPrefix(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL)
        return sqlite3_result_int(ctx, 0);
    int nt = 0, np = 0;
    auto t = textOf(argv[0], nt);
    auto p = textOf(argv[1], np);
    if (!t || !p) return sqlite3_result_error_nomem(ctx);
    sqlite3_result_int(ctx, beginsWithUtf8(t, t + nt, p, p + np) ? 1 : 0);
}

// The letter a code point is searched as: lower case, without the marks of its letters (ł is l).
inline char32_t foldOf(char32_t cp) {
    if (cp < kTableSize && kWeights[cp] < kOther) return kWeights[cp] / 4;
    return QChar::toLower(cp);
}

void plFold(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return sqlite3_result_null(ctx);
    int n = 0;
    auto s = textOf(argv[0], n);
    if (!s) return sqlite3_result_error_nomem(ctx);
    // Folding never lengthens a Latin letter; a lower-case form elsewhere at most doubles.
    char* out = static_cast<char*>(sqlite3_malloc64(2 * sqlite3_uint64(n) + 4));
    if (!out) return sqlite3_result_error_nomem(ctx);
    char* o = out;
    const unsigned char* p = s;
    const unsigned char* end = s + n;
    while (p < end) {
        if (*p < 0x80) {
            *o++ = char(kWeights[*p] / 4);
            ++p;
            continue;
        }
        const unsigned char* start = p;
        const char32_t cp = nextUtf8(p, end);
        if (p == start + 1) // a stray byte is kept as it is
            *o++ = char(*start);
        else
            o = putUtf8(o, foldOf(cp));
    }
    sqlite3_result_text64(ctx, out, sqlite3_uint64(o - out), sqlite3_free, SQLITE_UTF8);
}

void plLetters(sqlite3_context* ctx, int, sqlite3_value** argv) {
    int n = 0;
    auto s = textOf(argv[0], n);
    if (!s && sqlite3_value_type(argv[0]) != SQLITE_NULL) return sqlite3_result_error_nomem(ctx);
    quint64 mask = 0;
    for (int i = 0; i < n; ++i)
        if (const int bit = searchLetterBit(s[i]); bit >= 0) mask |= quint64(1) << bit;
    sqlite3_result_int64(ctx, sqlite3_int64(mask));
}

int collatePl(void*, int na, const void* a, int nb, const void* b) {
    return comparePolish(static_cast<const char*>(a), na, static_cast<const char*>(b), nb);
}

} // namespace

int comparePolish(const char* a, int na, const char* b, int nb) {
    auto pa = reinterpret_cast<const unsigned char*>(a);
    auto pb = reinterpret_cast<const unsigned char*>(b);
    const auto ea = pa + (na > 0 ? na : 0);
    const auto eb = pb + (nb > 0 ? nb : 0);
    // Keys next to each other in an index share long beginnings: skip the identical bytes a
    // word at a time, then step back to just after an ASCII byte, which always ends a character
    // in both texts, and weigh from there.
    const size_t n = size_t(std::min(ea - pa, eb - pb));
    size_t k = 0;
    for (uint64_t x, y; k + 8 <= n; k += 8) {
        std::memcpy(&x, pa + k, 8);
        std::memcpy(&y, pb + k, 8);
        if (x != y) break;
    }
    while (k < n && pa[k] == pb[k])
        ++k;
    if (k == n && ea - pa == eb - pb) return 0;
    while (k > 0 && pa[k - 1] >= 0x80)
        --k;
    pa += k, pb += k;
    while (pa < ea && pb < eb) {
        const unsigned ca = *pa, cb = *pb;
        if ((ca | cb) < 0x80) {
            if (ca != cb && kWeights[ca] != kWeights[cb]) return sign(kWeights[ca], kWeights[cb]);
            ++pa, ++pb;
            continue;
        }
        const uint32_t wa = weightOf(nextUtf8(pa, ea));
        const uint32_t wb = weightOf(nextUtf8(pb, eb));
        if (wa != wb) return sign(wa, wb);
    }
    return pa < ea ? 1 : pb < eb ? -1 : 0;
}

int comparePolish(QStringView a, QStringView b) {
    auto pa = a.utf16();
    auto pb = b.utf16();
    return compareUtf16(pa, pa + a.size(), pb, pb + b.size());
}

bool beginsWithPolish(QStringView text, QStringView prefix) {
    const char16_t* pt = text.utf16();
    const char16_t* et = pt + text.size();
    const char16_t* pp = prefix.utf16();
    const char16_t* ep = pp + prefix.size();
    while (pp < ep) {
        if (pt >= et) return false;
        if (weightOf(nextUtf16(pt, et)) != weightOf(nextUtf16(pp, ep))) return false;
    }
    return true;
}

QString upperPolish(QStringView text) {
    QString out(text.size(), Qt::Uninitialized);
    char16_t* o = reinterpret_cast<char16_t*>(out.data());
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    while (p < end) {
        const char16_t c = *p;
        if (c < 0x80) {
            *o++ = c >= u'a' && c <= u'z' ? char16_t(c - 32) : c;
            ++p;
            continue;
        }
        const char32_t cp = nextUtf16(p, end);
        char32_t up = QChar::toUpper(cp);
        // The result has the text's length: a mapping that would leave the plane is not taken.
        if (QChar::requiresSurrogates(up) != QChar::requiresSurrogates(cp)) up = cp;
        if (QChar::requiresSurrogates(up)) {
            *o++ = QChar::highSurrogate(up);
            *o++ = QChar::lowSurrogate(up);
        } else {
            *o++ = char16_t(up);
        }
    }
    return out;
}

int searchLetterBit(char32_t c) {
    // Letters and digits, then the ASCII punctuation but the four rarest (\ ^ ` ~).
    static constexpr std::array<int8_t, 128> kBits = [] {
        std::array<int8_t, 128> b{};
        for (auto& x : b)
            x = -1;
        int next = 0;
        for (char c = 'a'; c <= 'z'; ++c)
            b[size_t(c)] = int8_t(next++);
        for (char c = '0'; c <= '9'; ++c)
            b[size_t(c)] = int8_t(next++);
        for (char c : std::string_view("!\"#$%&'()*+,-./:;<=>?@[]_{|}"))
            b[size_t(c)] = int8_t(next++);
        return b;
    }();
    return c < 128 ? kBits[c] : -1;
}

QString foldPolish(QStringView text) {
    QString out;
    out.reserve(text.size());
    const char16_t* p = text.utf16();
    const char16_t* end = p + text.size();
    while (p < end) {
        const char32_t cp = foldOf(nextUtf16(p, end));
        if (QChar::requiresSurrogates(cp)) {
            out += QChar(QChar::highSurrogate(cp));
            out += QChar(QChar::lowSurrogate(cp));
        } else {
            out += QChar(char16_t(cp));
        }
    }
    return out;
}

QString prefixUpperBound(const QString& prefix) {
    // U+10FFFF weighs more than any other character, so the bound follows every text that
    // begins with the prefix (short of texts that themselves go on with U+10FFFF).
    return prefix + QChar(QChar::highSurrogate(0x10FFFF)) + QChar(QChar::lowSurrogate(0x10FFFF));
}

void registerSqlFunctions(sqlite3* db) {
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    struct Fn {
        const char* name;
        int args;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    const Fn fns[] = {
        {"pl_upper", 1, plUpper},
        {"pl_num", 1, plNum},
        {"pl_date", 1, plDate},
        {"pl_prefix", 2, plPrefix},
        {"pl_fold", 1, plFold},
        {"pl_letters", 1, plLetters},
    };
    int rc = sqlite3_create_collation_v2(db, "PL", SQLITE_UTF8, nullptr, collatePl, nullptr);
    for (const Fn& f : fns) {
        if (rc != SQLITE_OK) break;
        rc = sqlite3_create_function_v2(db, f.name, f.args, flags, nullptr, f.fn, nullptr, nullptr,
                                        nullptr);
    }
    if (rc != SQLITE_OK)
        throw EngineError(EngineError::Kind::Io,
                          QStringLiteral("Nie można przygotować bazy danych do pracy: %1.")
                              .arg(QString::fromUtf8(sqlite3_errmsg(db))));
}

} // namespace engine
