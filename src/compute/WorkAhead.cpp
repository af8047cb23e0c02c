#include "compute/WorkAhead.h"

#include <system_error>
#include <thread>
#include <utility>

namespace tarvex {

WorkAhead::WorkAhead(std::function<void()> work) : state_(std::make_shared<State>()) {
    state_->work = std::move(work);
}

WorkAhead::~WorkAhead() {
    if (!onThread_ || TakeBack()) return;
    std::unique_lock lock(state_->mutex);
    state_->changed.wait(lock, [this] { return state_->ended; });
}

bool WorkAhead::Start() {
    try {
        std::thread([state = state_] {
            if (!state->taken.exchange(true)) state->Run();
        }).detach();
    } catch (const std::system_error&) {
        return false;
    }
    onThread_ = true;
    return true;
}

bool WorkAhead::TakeBack() {
    if (state_->taken.exchange(true)) return false;
    onThread_ = false;
    return true;
}

bool WorkAhead::DoHereUnlessTaken() {
    if (!TakeBack()) return false;
    state_->Run();
    return true;
}

void WorkAhead::State::Run() {
    std::exception_ptr thrown;
    try {
        work();
    } catch (...) {
        thrown = std::current_exception();
    }
    const std::lock_guard lock(mutex);
    error = thrown;
    ended = true;
    changed.notify_all();
}

} // namespace tarvex
