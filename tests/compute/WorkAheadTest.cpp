#include "compute/WorkAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>

namespace tarvex {
namespace {

using namespace std::chrono_literals;

// Handed to a thread and at once taken back (done here, or left) or waited
// for: the work is done once by whoever took it, or not at all when left, and
// a thread that starts after the owner and the work's data have gone leaves
// them alone (the address sanitizer sees any use of them).
TEST(WorkAhead, DoneOnceByWhoeverTookItAndNeverAfterItsOwner) {
    const std::thread::id owner = std::this_thread::get_id();
    for (int round = 0; round < 600; ++round) {
        const auto runs = std::make_unique<int>(0);
        std::thread::id ranOn;
        WorkAhead ahead([&] {
            ++*runs;
            ranOn = std::this_thread::get_id();
        });
        ASSERT_TRUE(ahead.Start());
        if (round % 3 == 0) {
            const bool here = ahead.DoHereUnlessTaken();
            EXPECT_FALSE(ahead.DoHereUnlessTaken());
            ahead.Wait();
            ASSERT_EQ(*runs, 1) << round;
            EXPECT_EQ(ranOn == owner, here) << round;
        } else if (round % 3 == 1) {
            const bool back = ahead.TakeBack();
            EXPECT_FALSE(ahead.TakeBack());
            EXPECT_FALSE(ahead.DoHereUnlessTaken());
            ahead.Wait();
            ASSERT_EQ(*runs, back ? 0 : 1) << round;
        } else {
            ahead.Wait();
            ASSERT_EQ(*runs, 1) << round;
            EXPECT_NE(ranOn, owner);
        }
    }
}

// Work never handed to a thread (as when none can be had) is the owner's: left
// or done here, waited for by nobody.
TEST(WorkAhead, NeverHandedToAThreadIsTheOwners) {
    int runs = 0;
    {
        WorkAhead left([&] { ++runs; });
        EXPECT_TRUE(left.TakeBack());
        left.Wait();
        WorkAhead done([&] { ++runs; });
        EXPECT_TRUE(done.DoHereUnlessTaken());
        done.Wait();
    }
    EXPECT_EQ(runs, 1);
}

// A wait until a stage the work reports returns while the work goes on; the
// owner gone while its thread works waits for the work's end.
TEST(WorkAhead, WaitsForAReportedStageAndTheEndHoweverTheOwnerGoes) {
    std::atomic<int> stage{0};
    std::promise<void> release;
    bool released = false;
    {
        WorkAhead ahead([&] {
            ahead.Report([&] { stage = 1; });
            released = release.get_future().wait_for(10s) == std::future_status::ready;
            std::this_thread::sleep_for(20ms);
            ahead.Report([&] { stage = 2; });
        });
        ASSERT_TRUE(ahead.Start());
        ahead.WaitUntil([&] { return stage == 1; });
        EXPECT_EQ(stage.load(), 1);
        release.set_value();
    }
    EXPECT_TRUE(released);
    EXPECT_EQ(stage.load(), 2);
}

// An error of the work, done on the thread or here, is thrown again at every
// wait that meets the work's end, and not where it was done.
TEST(WorkAhead, AnErrorIsThrownAgainAtEachWait) {
    const auto fail = [] { throw std::runtime_error("work"); };
    WorkAhead onThread(fail);
    ASSERT_TRUE(onThread.Start());
    EXPECT_THROW(onThread.Wait(), std::runtime_error);
    EXPECT_THROW(onThread.WaitUntil([] { return true; }), std::runtime_error);
    WorkAhead here(fail);
    EXPECT_NO_THROW(here.DoHereUnlessTaken());
    EXPECT_THROW(here.Wait(), std::runtime_error);
}

} // namespace
} // namespace tarvex
