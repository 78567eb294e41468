#include "quotes/ui_gateway.h"

namespace tickora {

UiGateway::UiGateway(Poster post)
    : post_(std::move(post)),
      state_(std::make_shared<State>()),
      uiThread_(std::this_thread::get_id()) {}

UiGateway::~UiGateway() {
    Close();
}

bool UiGateway::Call(const std::function<void()>& fn) {
    if (state_->closed) return false;
    if (std::this_thread::get_id() == uiThread_) {
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
    post_([state, request, fn] {
        std::unique_lock lock(state->mutex);
        if (!state->closed) {
            lock.unlock();
            fn();
            lock.lock();
            request->ran = true;
        }
        request->done = true;
        state->wake.notify_all();
    });
    std::unique_lock lock(state->mutex);
    state->wake.wait(lock, [&] { return request->done || state->closed.load(); });
    return request->ran;
}

void UiGateway::Close() {
    {
        std::lock_guard lock(state_->mutex);
        state_->closed = true;
    }
    state_->wake.notify_all();
}

bool UiGateway::IsClosed() const {
    return state_->closed;
}

}  // namespace tickora
