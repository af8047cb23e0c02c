#pragma once

#include "compute/VectorRegisters.h"
#include "compute/WorkAhead.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <thread>

namespace tarvex {

// Does work(i) for every i in 0..count-1 on up to maxThreads threads, the
// calling one among them, fewer when there are not leastPerThread items for
// each. Each item is done whole by one thread, the items taken in turn, so
// that an item's result is the one it has when done alone; each thread first
// clears the upper halves of the vector registers. Every item is done and
// every thread that took part has left the work when it returns, and an
// error of any of them is thrown again here. Helpers that no core has started
// by the time the calling thread runs out of items leave their share to it,
// and when no thread can be had at all the calling one does the rest.
template <typename Work>
void DoSideBySide(std::size_t count, int maxThreads, std::size_t leastPerThread, Work work) {
    std::atomic<std::size_t> next{0};
    const auto doItems = [&work, &next, count] {
        ClearUpperVectorHalves();
        for (std::size_t i = next++; i < count; i = next++) work(i);
    };
    const int threads = std::clamp<int>(
        std::min<int>(static_cast<int>(std::thread::hardware_concurrency()), maxThreads), 1,
        static_cast<int>(count / std::max<std::size_t>(leastPerThread, 1)) + 1);
    // When no thread can be had, the helpers started so far and this thread
    // do the rest.
    std::deque<WorkAhead> helpers;
    for (int i = 1; i < threads; ++i)
        if (!helpers.emplace_back(std::ref(doItems)).Start()) break;
    // The calling thread's own error waits, like the others, until no helper
    // works on the items any more.
    std::exception_ptr own;
    try {
        doItems();
    } catch (...) {
        own = std::current_exception();
        // Nothing more is taken up after an error.
        next = count;
    }
    // A helper that has not started by now leaves its share to this thread,
    // which has done it; the others are waited for.
    for (WorkAhead& helper : helpers) helper.TakeBack();
    if (own) std::rethrow_exception(own);
    for (WorkAhead& helper : helpers) helper.Wait();
}

} // namespace tarvex
