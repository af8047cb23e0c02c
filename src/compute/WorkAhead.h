#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>

namespace tarvex {

// Work handed ahead to a detached thread of its own, which its owner may take
// back as long as the thread has not started it: on a busy machine a new
// thread may wait for a core longer than the whole work takes, and the owner
// then does the work itself or leaves it to whoever needs its results. It
// guarantees:
// - the work is done at most once, on the thread or on the owner's thread,
//   and a thread that starts after the work was taken back ends without
//   touching it;
// - what the thread needs lives on while it runs, so a thread that starts
//   after its owner has gone ends harmlessly;
// - an error of the work is kept and thrown again at each wait that meets
//   the work's end;
// - the work has ended when the owner goes, however it goes: its destructor
//   takes the work back or waits for its end.
class WorkAhead {
  public:
    explicit WorkAhead(std::function<void()> work);
    ~WorkAhead();
    WorkAhead(const WorkAhead&) = delete;
    WorkAhead& operator=(const WorkAhead&) = delete;

    // Hands the work to a thread of its own; false when no thread can be
    // had, the work then being the owner's as if taken back. Called once.
    bool Start();
    // Takes the work back unless its thread has started it or it was taken
    // back before: whether this call took it.
    bool TakeBack();
    // Takes the work back and does it here, its error kept for the waits:
    // whether it was done here.
    bool DoHereUnlessTaken();
    // Waits for the end of the work when its thread has it, and throws the
    // work's error again when it ended with one.
    void Wait() {
        WaitUntil([] { return false; });
    }
    // The same, but returning as soon as reached(), read under the lock of
    // Report, holds.
    template <typename Reached> void WaitUntil(Reached reached) {
        std::unique_lock lock(state_->mutex);
        if (onThread_) state_->changed.wait(lock, [&] { return state_->ended || reached(); });
        if (state_->ended && state_->error) std::rethrow_exception(state_->error);
    }
    // How far the work has come: change runs under the lock that WaitUntil
    // reads under, and the waits are woken.
    template <typename Change> void Report(Change change) {
        const std::lock_guard lock(state_->mutex);
        change();
        state_->changed.notify_all();
    }

  private:
    // Shared with the thread, which keeps it alive while it runs.
    struct State {
        std::function<void()> work;
        std::atomic<bool> taken{false};
        std::mutex mutex;
        std::condition_variable changed;
        bool ended = false;
        std::exception_ptr error;
        void Run();
    };

    const std::shared_ptr<State> state_;
    bool onThread_ = false; // the thread has the work, or may still take it
};

} // namespace tarvex
