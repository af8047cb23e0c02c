#pragma once

#include "compute/VectorRegisters.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

namespace tarvex {

// Does work(i) for every i in 0..count-1 on up to maxThreads threads started
// for the call, the calling one among them, fewer when there are not
// leastPerThread items for each. Each item is done whole by one thread, the
// items taken in turn, so that an item's result is the one it has when done
// alone; each thread first clears the upper halves of the vector registers.
// Every thread has ended when it returns, and an error of any of them is
// thrown again here. When no thread can be had, those started so far and the
// calling one do the rest.
template <typename Work>
void DoSideBySide(std::size_t count, int maxThreads, std::size_t leastPerThread, Work work) {
    std::atomic<std::size_t> next{0};
    const auto doItems = [&] {
        ClearUpperVectorHalves();
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    const int threads = std::clamp<int>(
        std::min<int>(static_cast<int>(std::thread::hardware_concurrency()), maxThreads), 1,
        static_cast<int>(count / std::max<std::size_t>(leastPerThread, 1)) + 1);
    // The helpers end (their futures wait for them) before this returns, or
    // before an error of the calling thread leaves it.
    std::vector<std::future<void>> helpers;
    try {
        for (int i = 1; i < threads; ++i)
            helpers.push_back(std::async(std::launch::async, doItems));
    } catch (const std::system_error&) {
        // No thread to be had: the threads started so far and this one do
        // the rest.
    }
    doItems();
    for (auto& helper : helpers) helper.get();
}

} // namespace tarvex
