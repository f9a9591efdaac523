#pragma once
#include <QString>
#include <QStringList>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

namespace sample {

// A small deterministic generator (splitmix64). The same seed gives the same numbers on every
// platform and library version, which std:: distributions do not promise. A generator can be
// made for one (stream, index) pair, so that, say, item 123456 is always the same item however
// many items are made and in whatever order they are asked for.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    Rng(std::uint64_t seed, std::uint64_t stream, std::uint64_t index)
        : state_(mix(seed ^ mix(stream * 0x9E3779B97F4A7C15ull + index + 1))) {}

    std::uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ull;
        return mix(state_);
    }
    // lo..hi, both included.
    int range(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }
    double real() { return double(next() >> 11) * 0x1.0p-53; } // [0, 1)
    double between(double lo, double hi) { return lo + (hi - lo) * real(); }
    bool chance(double p) { return real() < p; }
    template <class T> const T& pick(const std::vector<T>& v) {
        return v[std::size_t(range(0, int(v.size()) - 1))];
    }
    const QString& pick(const QStringList& v) { return v[range(0, int(v.size()) - 1)]; }
    template <class T, std::size_t N> const T& pick(const T (&a)[N]) {
        return a[range(0, int(N) - 1)];
    }
    // Lists written in place; returned by value, as the list dies with the expression.
    const char* pick(std::initializer_list<const char*> l) {
        return l.begin()[range(0, int(l.size()) - 1)];
    }
    int pick(std::initializer_list<int> l) { return l.begin()[range(0, int(l.size()) - 1)]; }
    double pick(std::initializer_list<double> l) { return l.begin()[range(0, int(l.size()) - 1)]; }
    QString digits(int n) {
        QString s;
        for (int i = 0; i < n; ++i)
            s += QChar(u'0' + range(0, 9));
        return s;
    }

private:
    static std::uint64_t mix(std::uint64_t z) {
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t state_;
};

// Money and measures as the catalogue keeps them.
inline double round2(double v) {
    return std::round(v * 100.0) / 100.0;
}

} // namespace sample
