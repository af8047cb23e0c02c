#pragma once

#include "compute/VectorRegisters.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

namespace tarvex {

namespace side_by_side {

// What the threads of one DoSideBySide share. A helper joins only while the
// call is open: once the calling thread has run out of items it closes the
// call and waits for the helpers that joined, never for one not yet started
// (on a busy machine a new thread may wait for a core longer than the whole
// work takes). A helper that comes late finds the call closed and ends
// without touching the work; the state outlives it.
struct Shared {
    std::atomic<std::size_t> next{0};
    std::mutex mutex;
    std::condition_variable done;
    int working = 0;
    bool closed = false;
    std::exception_ptr error;
};

} // namespace side_by_side

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
    using side_by_side::Shared;
    const auto shared = std::make_shared<Shared>();
    const auto doItems = [&work, &shared = *shared, count] {
        ClearUpperVectorHalves();
        for (std::size_t i = shared.next++; i < count; i = shared.next++) work(i);
    };
    const std::function<void()> items = doItems;
    const int threads = std::clamp<int>(
        std::min<int>(static_cast<int>(std::thread::hardware_concurrency()), maxThreads), 1,
        static_cast<int>(count / std::max<std::size_t>(leastPerThread, 1)) + 1);
    try {
        for (int i = 1; i < threads; ++i)
            std::thread([shared, &items] {
                {
                    const std::lock_guard lock(shared->mutex);
                    if (shared->closed) return;
                    ++shared->working;
                }
                try {
                    items();
                } catch (...) {
                    const std::lock_guard lock(shared->mutex);
                    if (!shared->error) shared->error = std::current_exception();
                }
                const std::lock_guard lock(shared->mutex);
                if (--shared->working == 0) shared->done.notify_all();
            }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the threads started so far and this one do
        // the rest.
    }
    // The calling thread's own error waits, like the others, until no helper
    // works on the items any more.
    std::exception_ptr own;
    try {
        doItems();
    } catch (...) {
        own = std::current_exception();
        // Nothing more is taken up after an error.
        shared->next = count;
    }
    std::unique_lock lock(shared->mutex);
    shared->closed = true;
    shared->done.wait(lock, [&] { return shared->working == 0; });
    if (own) std::rethrow_exception(own);
    if (shared->error) std::rethrow_exception(shared->error);
}

} // namespace tarvex
