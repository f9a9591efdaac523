#include "engine/ring.h"
#include <deque>
#include <gtest/gtest.h>
#include <memory>
#include <random>

using engine::Ring;

// The ring against a deque, through growth while wrapped around, and dropping what it holds.
TEST(Ring, BehavesAsADequeAndLetsGoOfWhatItDrops) {
    Ring<std::shared_ptr<int>> ring;
    std::deque<int> model;
    std::mt19937 rng(7);
    auto held = std::make_shared<int>(-1);
    for (int step = 0; step < 5000; ++step) {
        const int what = int(rng() % 6);
        if (what <= 1 || model.empty()) {
            const bool front = rng() % 2;
            auto v = step % 50 == 0 ? held : std::make_shared<int>(step);
            if (front) {
                ring.push_front(std::move(v));
                model.push_front(step % 50 == 0 ? -1 : step);
            } else {
                ring.push_back(std::move(v));
                model.push_back(step % 50 == 0 ? -1 : step);
            }
        } else if (what == 2) {
            EXPECT_EQ(*ring.take_front(), model.front());
            model.pop_front();
        } else if (what == 3) {
            ring.pop_back();
            model.pop_back();
        } else if (what == 4 && step % 97 == 0) {
            ring.clear();
            model.clear();
        }
        ASSERT_EQ(ring.size(), model.size());
        if (!model.empty()) {
            ASSERT_EQ(*ring.front(), model.front());
            ASSERT_EQ(*ring.back(), model.back());
        }
    }
    ring.clear();
    EXPECT_TRUE(ring.empty());
    EXPECT_EQ(held.use_count(), 1) << "nothing dropped is still held by the ring";
}
