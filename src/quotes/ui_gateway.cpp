#include "quotes/ui_gateway.h"

namespace tickora {

UiGateway::UiGateway(Poster post)
    : post_(std::move(post)),
      state_(std::make_shared<State>()),
      uiThread_(std::this_thread::get_id()) {}

UiGateway::~UiGateway() {
    Close();
}

bool UiGateway::RunQueuedNow(State& state) {
    std::vector<std::function<void()>> tasks;
    {
        std::lock_guard lock(state.mutex);
        if (state.closed) return false;
        tasks.swap(state.queued);
    }
    for (const auto& task : tasks) {
        if (state.closed) break;
        task();
    }
    return !tasks.empty();
}

void UiGateway::RunQueued(const std::shared_ptr<State>& state, const Poster& post,
                          bool State::*cause) {
    {
        std::lock_guard lock(state->mutex);
        (*state).*cause = false;
    }
    const bool ran = RunQueuedNow(*state);
    std::lock_guard lock(state->mutex);
    // More may follow what just ran: look again at the end of a quiet time.
    if ((!ran && state->queued.empty()) || state->closed || state->lookPending) return;
    state->lookPending = true;
    post([state, post] { RunQueued(state, post, &State::lookPending); }, kQuietMs);
}

bool UiGateway::Call(const std::function<void()>& fn) {
    if (state_->closed) return false;
    if (std::this_thread::get_id() == uiThread_) {
        RunQueuedNow(*state_);
        if (state_->closed) return false;
        fn();
        return true;
    }
    struct Request {
        bool done = false;
        bool ran = false;
    };
    auto request = std::make_shared<Request>();
    auto state = state_;
    // The posted task owns what it needs, so it stays harmless if it runs late.
    post_(
        [state, request, fn] {
            RunQueuedNow(*state);
            std::unique_lock lock(state->mutex);
            if (!state->closed) {
                lock.unlock();
                fn();
                lock.lock();
                request->ran = true;
            }
            request->done = true;
            state->wake.notify_all();
        },
        0);
    std::unique_lock lock(state->mutex);
    state->wake.wait(lock, [&] { return request->done || state->closed.load(); });
    return request->ran;
}

void UiGateway::Post(std::function<void()> fn, bool urgent) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed) return;
        state_->queued.push_back(std::move(fn));
        if ((state_->lookPending && !urgent) || state_->wakePosted) return;
        state_->wakePosted = true;
    }
    if (std::this_thread::get_id() == uiThread_) {
        RunQueued(state_, post_, &State::wakePosted);
        return;
    }
    post_([state = state_, post = post_] { RunQueued(state, post, &State::wakePosted); }, 0);
}

void UiGateway::Close() {
    std::vector<std::function<void()>> dropped;
    {
        std::lock_guard lock(state_->mutex);
        state_->closed = true;
        dropped.swap(state_->queued);
    }
    state_->wake.notify_all();
}

bool UiGateway::IsClosed() const {
    return state_->closed;
}

}  // namespace tickora
