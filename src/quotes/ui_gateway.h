#pragma once
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tickora {

// The only way a worker touches the window. A request is posted to the UI thread, either
// waited for (Call) or queued (Post). Closing (on the UI thread, while the window is being
// destroyed) releases every waiting worker, drops queued requests, makes later ones no-ops,
// and raises the cancel flag that running fetches watch.
class UiGateway {
  public:
    // Runs a task on the UI thread's event loop after delayMs; only the gateway's own tasks
    // on the UI thread ask for a delay.
    using Poster = std::function<void(std::function<void()> task, int delayMs)>;

    // Requests queued within this time of the UI thread's last wake-up for them wait for the
    // end of it and run together: a burst costs the UI thread one wake-up (and one repaint)
    // per frame, not one per request.
    static constexpr int kQuietMs = 16;

    explicit UiGateway(Poster post);
    ~UiGateway();
    UiGateway(const UiGateway&) = delete;
    UiGateway& operator=(const UiGateway&) = delete;

    // Runs fn on the UI thread, after every queued request, and waits for it; on the UI
    // thread itself it runs them directly. Returns false, without running fn, once closed.
    bool Call(const std::function<void()>& fn);
    // Queues fn for the UI thread and returns at once. Queued requests run in order. A lone
    // request wakes the UI thread at once; one queued within kQuietMs after that runs at the
    // end of that time, with any others queued meanwhile, unless it is urgent (the last of a
    // burst): then it wakes the UI thread at once, for all that is queued.
    void Post(std::function<void()> fn, bool urgent = false);

    void Close();
    bool IsClosed() const;
    const std::atomic<bool>& CancelFlag() const { return state_->closed; }

  private:
    struct State {
        std::mutex mutex;
        std::condition_variable wake;
        std::atomic<bool> closed{false};
        std::vector<std::function<void()>> queued;
        bool wakePosted = false;   // the UI thread is about to run the queue
        bool lookPending = false;  // it runs the queue again at the end of a quiet time
    };
    // On the UI thread, woken by a request or at the end of a quiet time (cause names which):
    // runs what is queued, and if anything ran, looks again after kQuietMs.
    static void RunQueued(const std::shared_ptr<State>& state, const Poster& post,
                          bool State::*cause);
    // On the UI thread: runs what is queued, nothing more; whether anything ran.
    static bool RunQueuedNow(State& state);

    Poster post_;
    std::shared_ptr<State> state_;
    std::thread::id uiThread_;
};

}  // namespace tickora
