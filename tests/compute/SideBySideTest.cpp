#include "compute/SideBySide.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <stdexcept>
#include <thread>
#include <vector>

namespace tarvex {
namespace {

// Every item is done once, on one thread or many, and none when there are none.
TEST(SideBySide, EveryItemOnce) {
    for (const int threads : {1, 2, 4, 8}) {
        for (const std::size_t count : {std::size_t{0}, std::size_t{1}, std::size_t{997}}) {
            std::vector<std::atomic<int>> done(count + 1);
            DoSideBySide(count, threads, 1, [&](std::size_t i) { ++done[i]; });
            for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(done[i].load(), 1) << i;
            EXPECT_EQ(done[count].load(), 0) << threads << " threads, " << count << " items";
        }
    }
}

// An error of the calling thread or of a helper is thrown again, once no
// thread works on the items any more.
TEST(SideBySide, AnErrorIsThrownOnceNoThreadWorks) {
    for (const std::size_t failing : {std::size_t{0}, std::size_t{5}, std::size_t{63}}) {
        std::atomic<int> working{0};
        const auto work = [&](std::size_t i) {
            ++working;
            std::this_thread::sleep_for(std::chrono::microseconds(100));
            --working;
            if (i == failing) throw std::runtime_error("item");
        };
        EXPECT_THROW(DoSideBySide(64, 4, 1, work), std::runtime_error) << failing;
        EXPECT_EQ(working.load(), 0) << failing;
    }
}

// Calls that end before their helpers are started: a helper that comes late
// leaves the work, whose owner has returned, alone (the address sanitizer
// sees any use of it).
TEST(SideBySide, HelpersThatComeLateLeaveTheWorkAlone) {
    int done = 0;
    for (int call = 0; call < 300; ++call) {
        std::vector<int> items(2, 0);
        const std::function<void(std::size_t)> work = [&items](std::size_t i) { items[i] = 1; };
        DoSideBySide(items.size(), 2, 1, work);
        done += items[0] + items[1];
    }
    EXPECT_EQ(done, 600);
}

} // namespace
} // namespace tarvex
