#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tickora {

// The only way a worker touches the window: each request is posted to the UI thread and
// the worker waits until it has run. Closing (on the UI thread, while the window is being
// destroyed) releases every waiting worker, makes later requests no-ops, and raises the
// cancel flag that running fetches watch.
class UiGateway {
  public:
    // Queues a task for the UI thread's event loop.
    using Poster = std::function<void(std::function<void()>)>;

    explicit UiGateway(Poster post);
    ~UiGateway();
    UiGateway(const UiGateway&) = delete;
    UiGateway& operator=(const UiGateway&) = delete;

    // Runs fn on the UI thread and waits for it; on the UI thread itself it runs fn
    // directly. Returns false, without running fn, once the gateway is closed.
    bool Call(const std::function<void()>& fn);

    void Close();
    bool IsClosed() const;
    const std::atomic<bool>& CancelFlag() const { return state_->closed; }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::atomic<bool> closed{false};
    };
    Poster post_;
    std::shared_ptr<State> state_;
    std::thread::id uiThread_;
};

}  // namespace tickora
