#pragma once
#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

namespace engine {

// A double-ended queue in one array that keeps its room when emptied. A cursor's rows ahead
// and behind are dropped and refilled on every move of a range or a master; a std::deque would
// give back its blocks and allocate them again each time. A value dropped is replaced by a
// default one at once, and one taken is moved out, so nothing it holds stays behind in the
// array (for values whose move leaves them empty, as rows' do).
template <class T> class Ring {
public:
    bool empty() const { return size_ == 0; }
    size_t size() const { return size_; }
    T& front() { return slots_[head_]; }
    const T& front() const { return slots_[head_]; }
    T& back() { return slots_[at(size_ - 1)]; }
    const T& back() const { return slots_[at(size_ - 1)]; }

    void push_back(T&& v) {
        grow();
        slots_[at(size_)] = std::move(v);
        ++size_;
    }
    void push_front(T&& v) {
        grow();
        head_ = (head_ + slots_.size() - 1) & (slots_.size() - 1);
        slots_[head_] = std::move(v);
        ++size_;
    }
    T take_front() {
        T v = std::move(slots_[head_]);
        head_ = (head_ + 1) & (slots_.size() - 1);
        --size_;
        return v;
    }
    void pop_back() {
        slots_[at(size_ - 1)] = T();
        --size_;
    }
    void clear() {
        while (size_ > 0)
            pop_back();
        head_ = 0;
    }

private:
    size_t at(size_t i) const { return (head_ + i) & (slots_.size() - 1); }
    void grow() {
        if (size_ == slots_.size()) enlarge();
    }
    void enlarge() {
        // A power of two; the first room takes a cursor's first rows at once.
        std::vector<T> bigger(std::max<size_t>(32, slots_.size() * 2));
        for (size_t i = 0; i < size_; ++i)
            bigger[i] = std::move(slots_[at(i)]);
        slots_.swap(bigger);
        head_ = 0;
    }

    std::vector<T> slots_;
    size_t head_ = 0;
    size_t size_ = 0;
};

} // namespace engine
